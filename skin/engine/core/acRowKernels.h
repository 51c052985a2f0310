// Row kernels of the pixel routines, one set per processor level, chosen once at start-up.
//
// Every level gives results bit-identical to the scalar reference rows (acPixelKernels.h,
// namespace qv::rows::ref), which stay the oracle of the tests and of the differential fuzzer.
// The vector levels have no scalar loop for a row's last pixels: the last vector (or block of
// three vectors for pixel kernels) overlaps the one before it and is computed from the inputs as
// they were before the row was written, so rows may be blended in place; rows shorter than one
// vector go through a small staging buffer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "classlib/core/Types.h"
#include "skin/engine/core/acImage.h"

namespace qv {

// A key colour repeated over 96 bytes (32 pixels): the key's bytes in the order any vector of 16
// or 32 bytes at a pixel boundary meets them. Built once per key; the skin's key is a constant.
struct TKeyPattern {
  TBgr Key;
  std::uint8_t Bytes[96] = {};
  constexpr explicit TKeyPattern(TBgr key) : Key(key) {
    for (int i = 0; i < 96; i += 3) {
      Bytes[i] = key.B;
      Bytes[i + 1] = key.G;
      Bytes[i + 2] = key.R;
    }
  }
};

inline constexpr TKeyPattern kMagentaKey{TBgr{0xFF, 0x00, 0xFF}};

// The pattern of Key: the constant one for magenta, else built into Scratch.
inline const TKeyPattern& KeyPatternOf(TBgr key, TKeyPattern& scratch) {
  if (key == kMagentaKey.Key) return kMagentaKey;
  scratch = TKeyPattern(key);
  return scratch;
}

namespace rows {

enum class TSimdLevel : std::uint8_t { Scalar, Sse2, Sse41, Avx2, Avx512 };

// Rows of an image as a kernel walks them: row i at P + i * Stride (Stride in bytes, either sign;
// 0 repeats one row).
template <class T>
struct TStrided {
  T* P = nullptr;
  std::ptrdiff_t Stride = 0;
};
using TRowsOut = TStrided<std::uint8_t>;
using TRowsIn = TStrided<const std::uint8_t>;

// One level's kernels, each over Rows rows of one length, so that a block of an image costs one
// call and the set-up (weights, key vectors, the last vector's place) is made once for all its
// rows. Byte counts, pixel counts and row counts may be 0. Dst may be the same memory as a source
// at the same place with the same stride (A, B, Bg), never partly overlapping it.
struct TRowKernels {
  TSimdLevel Level;
  // Dst = (A * W + B * (255 - W)) / 255 per byte, rounded; W 1..254.
  void (*BlendConst)(TRowsOut dst, TRowsIn a, TRowsIn b, std::size_t bytes, int rows, unsigned w);
  // The same with Dst written past the caches, for a destination larger than they are (the lines
  // are not read before they are written, and the sources keep the caches); Dst apart from A and B.
  void (*BlendConstStream)(TRowsOut dst, TRowsIn a, TRowsIn b, std::size_t bytes, int rows, unsigned w);
  // Dst = Src over Bytes bytes, apart from each other: the opaque stretches of a skin image's rows,
  // a few thousand bytes each, where a call of the C library's copy costs more than its bytes.
  void (*Copy)(std::uint8_t* dst, const std::uint8_t* src, std::size_t bytes);
  // N pixels at Dst of the colour of the pixel at Pixel (which Dst does not overlap).
  void (*Fill)(std::uint8_t* dst, const std::uint8_t* pixel, std::size_t n);
  // Dst = (Src * (255 - M) + Bg * M) / 255 per byte, M the mask byte.
  void (*BlendMask)(TRowsOut dst, TRowsIn src, TRowsIn mask, TRowsIn bg, std::size_t bytes, int rows);
  // Key pixels of Src: Dst = Bg (left as it is when Bg.P is null); other pixels: Dst = Src.
  void (*CopyKeyed)(TRowsOut dst, TRowsIn src, TRowsIn bg, int n, int rows, const TKeyPattern& key);
  // Pixels of Src other than the key: Dst = (Dst * W + Src * (255 - W)) / 255; W 0..255.
  void (*BlendKeyed)(TRowsOut dst, TRowsIn src, int n, int rows, unsigned w, const TKeyPattern& key);
  // Appends the runs of key pixels of a row as rectangles [start, Y, end, Y + 1].
  void (*KeyRuns)(const std::uint8_t* row, int n, const TKeyPattern& key, int y, std::vector<TRect>& runs);
  // Grey scale (77 R + 151 G + 28 B + 128) / 256 of each pixel, key pixels left when Key is given.
  void (*Gray)(TRowsOut img, int n, int rows, const TKeyPattern* key);
  // Dst = Src over Bytes bytes of each row, but only the bytes whose bit is set; the others are left
  // as they are. Row i's bits start at bit From of Bits + i * BitStride (64-bit words, either sign),
  // bit k of a word for the byte k after it; the words are read a word before a row's first bit and
  // up to 16 words past its last (the caller's bits are laid out so). Null where the level has no
  // copy that does better than the key colour's comparisons (every level below AVX-512).
  void (*CopyByBits)(TRowsOut dst, TRowsIn src, const std::uint64_t* bits, std::ptrdiff_t bitStride, std::size_t from,
                     std::size_t bytes, int rows);
};

namespace detail {
extern const TRowKernels* ActiveKernels;
}

// The kernels in use: the best level of the processor, chosen at start-up.
inline const TRowKernels& Kernels() { return *detail::ActiveKernels; }

const char* LevelName(TSimdLevel level);
// The best level the processor (and the build) offers.
TSimdLevel BestLevel();
// The levels that can run here, lowest first (Scalar always).
std::vector<TSimdLevel> AvailableLevels();
// The kernels of one level, or null when it cannot run here.
const TRowKernels* KernelsOf(TSimdLevel level);
// Puts a level in use (tests and benchmarks compare levels); returns the one in use before.
// A level that cannot run here changes nothing.
TSimdLevel UseLevel(TSimdLevel level);

// A level in use for as long as the object lives.
class TLevelScope {
 public:
  explicit TLevelScope(TSimdLevel level) : Saved_(UseLevel(level)) {}
  ~TLevelScope() { UseLevel(Saved_); }
  TLevelScope(const TLevelScope&) = delete;
  TLevelScope& operator=(const TLevelScope&) = delete;

 private:
  TSimdLevel Saved_;
};

}  // namespace rows
}  // namespace qv
