// 24-bit pixel images without any platform header.
//
// A TImageView describes pixels it does not own: Bits points at the first byte of row 0 (the top
// row) and Stride is the signed distance in bytes from one row to the next, so a bottom-up DIB
// section is described with Bits at its last scan line and a negative Stride. Pixels are stored
// B, G, R as in a 24-bit DIB. TImage24 owns its pixels (top-down, rows padded to 4 bytes like a DIB).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace qv {

// A colour as the class library stores it: 0x00BBGGRR.
using TColorRef = std::uint32_t;

struct TBgr {
  std::uint8_t B = 0, G = 0, R = 0;
  friend bool operator==(const TBgr&, const TBgr&) = default;
};

inline TBgr BgrOf(TColorRef c) {
  return TBgr{std::uint8_t((c >> 16) & 0xFF), std::uint8_t((c >> 8) & 0xFF), std::uint8_t(c & 0xFF)};
}
inline TColorRef ColorOf(TBgr p) { return TColorRef(p.R) | (TColorRef(p.G) << 8) | (TColorRef(p.B) << 16); }

struct TImageView {
  int Width = 0;
  int Height = 0;
  std::ptrdiff_t Stride = 0;
  std::uint8_t* Bits = nullptr;

  bool Empty() const { return Width <= 0 || Height <= 0 || Bits == nullptr; }
  std::uint8_t* Row(int y) const { return Bits + Stride * y; }
  std::uint8_t* At(int x, int y) const { return Row(y) + 3 * x; }
  TBgr Pixel(int x, int y) const {
    const std::uint8_t* p = At(x, y);
    return TBgr{p[0], p[1], p[2]};
  }
  void SetPixel(int x, int y, TBgr c) const {
    std::uint8_t* p = At(x, y);
    p[0] = c.B;
    p[1] = c.G;
    p[2] = c.R;
  }
};

// Bytes in one row of a 24-bit DIB of the given width (rows are padded to 4 bytes).
inline std::ptrdiff_t DibStride24(int width) { return ((std::ptrdiff_t(width) * 3 + 3) / 4) * 4; }

class TImage24 {
 public:
  TImage24() = default;
  TImage24(int width, int height) { SetSize(width, height); }

  void SetSize(int width, int height) {
    if (width < 0 || height < 0) width = height = 0;
    Width_ = width;
    Height_ = height;
    Pixels_.assign(std::size_t(DibStride24(width)) * std::size_t(height), 0);
  }
  void Fill(TBgr c) {
    for (int y = 0; y < Height_; ++y)
      for (int x = 0; x < Width_; ++x) View().SetPixel(x, y, c);
  }
  int Width() const { return Width_; }
  int Height() const { return Height_; }
  bool Empty() const { return Width_ == 0 || Height_ == 0; }
  TImageView View() {
    return TImageView{Width_, Height_, DibStride24(Width_), Pixels_.empty() ? nullptr : Pixels_.data()};
  }
  TImageView View() const { return const_cast<TImage24*>(this)->View(); }
  TBgr Pixel(int x, int y) const { return View().Pixel(x, y); }
  void SetPixel(int x, int y, TBgr c) { View().SetPixel(x, y, c); }

 private:
  int Width_ = 0;
  int Height_ = 0;
  std::vector<std::uint8_t> Pixels_;
};

}  // namespace qv
