// Pixel kernels of the skin engine on 24-bit images (B, G, R bytes; see acImage.h).
//
// Every image kernel exists twice: the fast version in namespace qv (rows of contiguous bytes
// through the row kernels of the processor's level, whole images as one row where their rows
// touch) and a plain per-pixel version in namespace qv::ref. The two give bit-identical results;
// the reference one is what the tests and the fuzzer compare against.
//
// Blends are computed in integers: a weight W of 0..255 mixes two bytes as
// (A * W + B * (255 - W)) / 255 rounded to the nearest integer, so weight 255 gives A exactly and
// weight 0 gives B exactly. Rectangles are clipped to every image they touch; nothing is read or
// written outside an image. Source and destination must not overlap unless they are the same
// pixels at the same place.
#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

#include "classlib/core/Types.h"
#include "skin/engine/core/acImage.h"
#include "skin/engine/core/acRowKernels.h"

namespace qv {

// A parent's cached image behind a painted image: the painted image's pixel (x, y) lies over the
// parent's pixel (x + X, y + Y). Only used when Ready. With Fill (and no image) the parent is that
// one colour everywhere.
struct TCacheView {
  TImageView Image;
  int X = 0;
  int Y = 0;
  bool Ready = false;
  const TKeyPattern* Fill = nullptr;
  bool Usable() const { return Ready && (!Image.Empty() || Fill); }
};

inline TCacheView MakeCacheView(const TImageView& image, int x, int y) { return TCacheView{image, x, y, true}; }

// Colours -------------------------------------------------------------------------------------

std::uint8_t ClampToByte(int value);

// Per colour byte Round(C2 + (C1 - C2) * K) (halves to even), limited to 0..255; the high byte is
// taken from C1.
TColorRef MixColors(TColorRef c1, TColorRef c2, double k);

// The mean of two colours per byte (rounded down); the high byte is taken from C1.
TColorRef AverageColor(TColorRef c1, TColorRef c2);

// A weight factor 0.0..1.0 as an integer weight 0..255 (rounded, limited).
std::uint8_t WeightOf(double k);

// The weight of the start image in one step of a hover fade of Iterations steps: 255 at step 0,
// falling evenly to 0 at the last step. Iterations below 1 count as one step; the step is limited
// to 0..Iterations, so the result is always 0..255.
int FadeAmount(int step, int iterations);

// A colour key whose high byte is 0xFF means "no key".
inline bool HasColorKey(TColorRef key) { return (key >> 24) != 0xFF; }

// Image kernels (fast) ------------------------------------------------------------------------

// Dst = Dst * Amount / 255 + Src * (255 - Amount) / 255 over the common top-left area of both.
void BlendBitmaps(const TImageView& dst, const TImageView& src, int amount);

// Dst = A * Amount / 255 + B * (255 - Amount) / 255 over the common top-left area of the three
// images, in one pass (a fade frame from its start and target images).
void BlendBitmapsInto(const TImageView& dst, const TImageView& a, const TImageView& b, int amount);

// SrcRect of Src laid onto Dst at DstPoint with opacity Opacity (0..255, 255 = Src only),
// clipped to both images.
void BlendBitmapRect(const TImageView& dst, const TImageView& src, int opacity, const TRect& srcRect, TPoint dstPoint);

// Over SrcRect of Src laid at (X, Y) of Dst: Dst = Src - (Src - Dst) * K per byte (K limited to
// 0..1 and taken as the weight WeightOf(K) of Dst); Src pixels equal to KeyColor are skipped
// unless the key's high byte is 0xFF.
void BlendRectKeyed(const TImageView& dst, int x, int y, const TImageView& src, const TRect& srcRect, double k,
                    TColorRef keyColor);

// Lays Color over R of Img keeping Percent percent (0..100) of the existing pixels. With Blur the
// result inside R is then softened by a box blur of Radius pixels (limited to 0..kMaxBlurRadius),
// horizontally and then vertically, each mean rounded to the nearest integer.
inline constexpr int kMaxBlurRadius = 32;
void BlendColorRect(const TImageView& img, const TRect& r, int percent, TColorRef color, bool blur, int radius);

// Copies Src to (X, Y) of Dst skipping the pixels equal to KeyColor.
void CopyTransparent(const TImageView& dst, const TImageView& src, int x, int y, TColorRef keyColor);

// Copies SrcRect of Src to (X, Y) of Dst; pixels equal to KeyColor are skipped, or with UseCache
// (and a ready cache) taken from the cache image under them.
void CopyTransparentRect(const TImageView& dst, const TImageView& src, int x, int y, const TRect& srcRect,
                         TColorRef keyColor, const TCacheView& cache, bool useCache);

// Copies SrcRect of the upper half of Src into DstRect of Dst (the smaller size of the two) by
// the mask in the lower half of Src (the mask of row y lies at row y + Src.Height / 2): per byte,
// mask 0 takes Src, 255 leaves the pixel behind (Dst, or with FillFromCache and a ready cache the
// cache image under it), values between blend by the mask value.
void CopyByMask(const TRect& dstRect, const TRect& srcRect, const TImageView& dst, const TImageView& src,
                const TCacheView& cache, bool fillFromCache);

// Fills R (clipped to the image) with Color.
void FillRect(const TImageView& img, const TRect& r, TColorRef color);

// Grey scale: each pixel becomes (77 R + 151 G + 28 B + 128) / 256 in all three bytes.
void GrayscaleBmp(const TImageView& img);
// The same, leaving the pixels equal to Key unchanged.
void GrayscaleBmpKeyed(const TImageView& img, TColorRef key);

// Row runs of the pixels equal to Key in the whole image, appended to Runs as rectangles one
// pixel high, left to right and top to bottom.
void CollectKeyRuns(const TImageView& img, TColorRef key, std::vector<TRect>& runs);

// The runs of key pixels of an image, row by row: found once for an image that does not change
// (the skin's images, when the skin is loaded), so that copies of it move the opaque runs whole
// and never look at a pixel. Describes the image it was built from only while its pixels stay.
struct TKeyRunIndex {
  struct TRun {
    int Left, Right;
  };
  TBgr Key;
  int Width = 0, Height = 0;
  std::vector<int> First;  // per row, its first run in Runs; Height + 1 entries
  std::vector<TRun> Runs;
  // Where some row holds its key pixels scattered finely (more runs than ScatteredRuns) and the
  // processor has a copy by bits (acRowKernels.h): a bit per byte of the image, 0 for the bytes of
  // key pixels, row y's RowWords words from word 1 + y * RowWords on; the word before the first row
  // and 16 after the last are spare. An eighth of the pixels' bytes, made with the runs.
  std::vector<std::uint64_t> Bits;
  std::size_t RowWords = 0;
  bool Matches(const TImageView& img) const { return !First.empty() && img.Width == Width && img.Height == Height; }
  // A row of an image Width pixels wide with more runs than this is copied by the vector kernels
  // (by bits, or comparing its pixels with the key) rather than run by run.
  static int ScatteredRuns(int width) { return width / 32 + 2; }
};
void BuildKeyRunIndex(const TImageView& img, TColorRef key, TKeyRunIndex& index);

// CopyTransparentRect of an image through its key runs (Index, built from Src with KeyColor).
void CopyTransparentIndexed(const TImageView& dst, const TImageView& src, const TKeyRunIndex& index, int x, int y,
                            const TRect& srcRect, const TCacheView& cache, bool useCache);

namespace ref {

void BlendBitmaps(const TImageView& dst, const TImageView& src, int amount);
void BlendBitmapsInto(const TImageView& dst, const TImageView& a, const TImageView& b, int amount);
void BlendBitmapRect(const TImageView& dst, const TImageView& src, int opacity, const TRect& srcRect, TPoint dstPoint);
void BlendRectKeyed(const TImageView& dst, int x, int y, const TImageView& src, const TRect& srcRect, double k,
                    TColorRef keyColor);
void BlendColorRect(const TImageView& img, const TRect& r, int percent, TColorRef color, bool blur, int radius);
void CopyTransparent(const TImageView& dst, const TImageView& src, int x, int y, TColorRef keyColor);
void CopyTransparentRect(const TImageView& dst, const TImageView& src, int x, int y, const TRect& srcRect,
                         TColorRef keyColor, const TCacheView& cache, bool useCache);
void CopyByMask(const TRect& dstRect, const TRect& srcRect, const TImageView& dst, const TImageView& src,
                const TCacheView& cache, bool fillFromCache);
void FillRect(const TImageView& img, const TRect& r, TColorRef color);
void GrayscaleBmp(const TImageView& img);
void GrayscaleBmpKeyed(const TImageView& img, TColorRef key);
void CollectKeyRuns(const TImageView& img, TColorRef key, std::vector<TRect>& runs);

}  // namespace ref

// Row primitives shared by the kernels and the mask painter, through the kernels of the
// processor's level (acRowKernels.h). N counts pixels; the pointers are to 3 * N contiguous
// bytes. Dst may be the same memory as A, B or Bg (at the same place).
namespace rows {

// The exact rounded division by 255 of a value 0..65025.
inline unsigned Div255(unsigned x) { return (x + 127) / 255; }

// One row as a walk of one row.
inline TRowsOut OneRow(std::uint8_t* p) { return TRowsOut{p, 0}; }
inline TRowsIn OneRow(const std::uint8_t* p) { return TRowsIn{p, 0}; }

// Blocks of Rows rows of Bytes bytes (N pixels), each operand walked by its own stride. Rows that
// touch in every operand (a whole image without row padding) go to the kernel as one long row, and
// so do rows a DIB's few padding bytes apart, the destination's padding put back afterwards.
// Dst = A * W / 255 + B * (255 - W) / 255 per byte.
void BlendRows(TRowsOut dst, TRowsIn a, TRowsIn b, std::size_t bytes, int rows, unsigned w);
// Dst = Src.
void CopyRows(TRowsOut dst, TRowsIn src, std::size_t bytes, int rows);
// Key pixels of Src: Dst = Bg (left as it is when Bg.P is null); other pixels: Dst = Src.
void CopyKeyedRows(TRowsOut dst, TRowsIn src, TRowsIn bg, int n, int rows, const TKeyPattern& key);
// Dst = Src * (255 - M) / 255 + Bg * M / 255 per byte, M the byte of the mask rows.
void BlendMaskRows(TRowsOut dst, TRowsIn src, TRowsIn mask, TRowsIn bg, int n, int rows);

// Dst = A * W / 255 + B * (255 - W) / 255 per byte (over Bytes bytes for BlendBytes).
inline void BlendBytes(std::uint8_t* dst, const std::uint8_t* a, const std::uint8_t* b, std::size_t bytes, unsigned w) {
  BlendRows(OneRow(dst), OneRow(a), OneRow(b), bytes, 1, w);
}
inline void BlendConst(std::uint8_t* dst, const std::uint8_t* a, const std::uint8_t* b, int n, unsigned w) {
  if (n > 0) BlendBytes(dst, a, b, std::size_t(n) * 3, w);
}
// Dst = Src * (255 - M) / 255 + Bg * M / 255 per byte, M the byte of the mask row.
inline void BlendMask(std::uint8_t* dst, const std::uint8_t* src, const std::uint8_t* mask, const std::uint8_t* bg,
                      int n) {
  if (n > 0) Kernels().BlendMask(OneRow(dst), OneRow(src), OneRow(mask), OneRow(bg), std::size_t(n) * 3, 1);
}
// Key pixels of Src: Dst = Bg (or left as it is when Bg is null); other pixels: Dst = Src.
inline void CopyKeyed(std::uint8_t* dst, const std::uint8_t* src, const std::uint8_t* bg, int n,
                      const TKeyPattern& key) {
  if (n > 0) Kernels().CopyKeyed(OneRow(dst), OneRow(src), OneRow(bg), n, 1, key);
}
// Pixels of Src other than the key: Dst = Dst * W / 255 + Src * (255 - W) / 255; key pixels
// left as they are. Without a key every pixel is blended.
inline void BlendKeyed(std::uint8_t* dst, const std::uint8_t* src, int n, unsigned w, const TKeyPattern& key,
                       bool hasKey) {
  if (n <= 0) return;
  if (!hasKey)
    BlendConst(dst, dst, src, n, w);
  else
    Kernels().BlendKeyed(OneRow(dst), OneRow(src), n, 1, w, key);
}

namespace ref {
void BlendConst(std::uint8_t* dst, const std::uint8_t* a, const std::uint8_t* b, int n, unsigned w);
void BlendMask(std::uint8_t* dst, const std::uint8_t* src, const std::uint8_t* mask, const std::uint8_t* bg, int n);
void CopyKeyed(std::uint8_t* dst, const std::uint8_t* src, const std::uint8_t* bg, int n, TBgr key);
void BlendKeyed(std::uint8_t* dst, const std::uint8_t* src, int n, unsigned w, TBgr key, bool hasKey);
void KeyRuns(const std::uint8_t* row, int n, TBgr key, int y, std::vector<TRect>& runs);
void Gray(std::uint8_t* row, int n, const TBgr* key);
}  // namespace ref

}  // namespace rows

}  // namespace qv
