// The images the pixel-kernel benchmarks work on, shared by the native benchmark and the one under
// Windows: 24-bit images laid out as bottom-up DIBs (rows padded to whole words, the last row first
// in memory), a texture of varied bytes, and key pixels as skin images have them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "skin/engine/core/acImage.h"

namespace qvbench {

struct TKernelSize {
  int W, H;
};
// Pairs of even and odd widths: an odd width pads every row of a DIB, so its rows never touch. The
// smallest pair with goals (320 wide) lies in the second-level cache, where a memcpy is fastest.
inline constexpr TKernelSize kKernelSizes[] = {{99, 31},   {100, 30},  {101, 30},    {320, 240},   {321, 240},
                                               {799, 600}, {800, 600}, {1919, 1080}, {1920, 1080}, {3840, 2160}};
// Below this width the baseline is a memcpy of a few KB from the first-level cache, which no kernel
// that looks at its pixels can keep up with: those figures are printed without a goal.
inline constexpr int kGoalWidth = 320;

inline std::string SizeName(TKernelSize s) { return std::to_string(s.W) + "x" + std::to_string(s.H); }

// A 24-bit image laid out as a bottom-up DIB.
struct TBenchImage {
  std::vector<std::uint8_t> Bytes;
  qv::TImageView View;
  TBenchImage(int w, int h) : Bytes(std::size_t(qv::DibStride24(w)) * std::size_t(h)) {
    const std::ptrdiff_t stride = qv::DibStride24(w);
    View = qv::TImageView{w, h, -stride, Bytes.data() + stride * (h - 1)};
  }
  // The bytes of its pixels (a memcpy of them is the baseline).
  std::size_t PixelBytes() const { return std::size_t(View.Width) * 3 * std::size_t(View.Height); }
};

inline void Texture(const qv::TImageView& v, unsigned seed) {
  for (int y = 0; y < v.Height; ++y)
    for (int x = 0; x < v.Width; ++x)
      v.SetPixel(x, y, qv::TBgr{std::uint8_t(x * 7 + seed), std::uint8_t(y * 3 + seed), std::uint8_t((x ^ y) + seed)});
}

enum class TKeys { None, Runs, Scattered };
inline const char* KeysName(TKeys k) { return k == TKeys::None ? "none" : k == TKeys::Runs ? "runs" : "scattered"; }

// Key pixels as a border or a glyph has them: runs (six pixels at both ends of each row, every
// 64th row wholly), or scattered (one pixel in 16, at random).
inline void AddKeys(const qv::TImageView& v, TKeys keys) {
  std::uint32_t state = 12345;
  for (int y = 0; y < v.Height; ++y)
    for (int x = 0; x < v.Width; ++x) {
      bool key = false;
      if (keys == TKeys::Runs) key = x < 6 || x >= v.Width - 6 || y % 64 == 0;
      if (keys == TKeys::Scattered) {
        state = state * 1664525u + 1013904223u;
        key = (state >> 24) % 16 == 0;
      }
      if (key) v.SetPixel(x, y, qv::BgrOf(qv::clKeyMagenta));
    }
}

}  // namespace qvbench
