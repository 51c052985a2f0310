// Pixel kernels of the skin engine on 24-bit images (B, G, R bytes; see acImage.h).
//
// Every image kernel exists twice: the fast version in namespace qv (SSE2 over rows of contiguous
// bytes where the compiler offers it) and a plain per-pixel version in namespace qv::ref. The two
// give bit-identical results; the reference one is what the tests and the fuzzer compare against.
//
// Blends are computed in integers: a weight W of 0..255 mixes two bytes as
// (A * W + B * (255 - W)) / 255 rounded to the nearest integer, so weight 255 gives A exactly and
// weight 0 gives B exactly. Rectangles are clipped to every image they touch; nothing is read or
// written outside an image. Source and destination must not overlap unless they are the same
// pixels at the same place.
#pragma once

#include <cstdint>
#include <vector>

#include "classlib/core/Types.h"
#include "skin/engine/core/acImage.h"

namespace qv {

// A parent's cached image behind a painted image: the painted image's pixel (x, y) lies over the
// parent's pixel (x + X, y + Y). Only used when Ready.
struct TCacheView {
  TImageView Image;
  int X = 0;
  int Y = 0;
  bool Ready = false;
  bool Usable() const { return Ready && !Image.Empty(); }
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

// Dst := Dst * Amount / 255 + Src * (255 - Amount) / 255 over the common top-left area of both.
void BlendBitmaps(const TImageView& dst, const TImageView& src, int amount);

// SrcRect of Src laid onto Dst at DstPoint with opacity Opacity (0..255, 255 = Src only),
// clipped to both images.
void BlendBitmapRect(const TImageView& dst, const TImageView& src, int opacity, const TRect& srcRect, TPoint dstPoint);

// Over SrcRect of Src laid at (X, Y) of Dst: Dst := Src - (Src - Dst) * K per byte (K limited to
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

// Grey scale: each pixel becomes (77 R + 151 G + 28 B + 128) / 256 in all three bytes.
void GrayscaleBmp(const TImageView& img);
// The same, leaving the pixels equal to Key unchanged.
void GrayscaleBmpKeyed(const TImageView& img, TColorRef key);

// Row runs of the pixels equal to Key in the whole image, appended to Runs as rectangles one
// pixel high, left to right and top to bottom.
void CollectKeyRuns(const TImageView& img, TColorRef key, std::vector<TRect>& runs);

namespace ref {

void BlendBitmaps(const TImageView& dst, const TImageView& src, int amount);
void BlendBitmapRect(const TImageView& dst, const TImageView& src, int opacity, const TRect& srcRect, TPoint dstPoint);
void BlendRectKeyed(const TImageView& dst, int x, int y, const TImageView& src, const TRect& srcRect, double k,
                    TColorRef keyColor);
void BlendColorRect(const TImageView& img, const TRect& r, int percent, TColorRef color, bool blur, int radius);
void CopyTransparent(const TImageView& dst, const TImageView& src, int x, int y, TColorRef keyColor);
void CopyTransparentRect(const TImageView& dst, const TImageView& src, int x, int y, const TRect& srcRect,
                         TColorRef keyColor, const TCacheView& cache, bool useCache);
void CopyByMask(const TRect& dstRect, const TRect& srcRect, const TImageView& dst, const TImageView& src,
                const TCacheView& cache, bool fillFromCache);
void GrayscaleBmp(const TImageView& img);
void GrayscaleBmpKeyed(const TImageView& img, TColorRef key);
void CollectKeyRuns(const TImageView& img, TColorRef key, std::vector<TRect>& runs);

}  // namespace ref

// Row primitives shared by the kernels and the mask painter. N counts pixels; the pointers are to
// 3 * N contiguous bytes. Dst may be the same as A, B or Bg.
namespace rows {

// The exact rounded division by 255 of a value 0..65025.
inline unsigned Div255(unsigned x) { return (x + 127) / 255; }

// Dst := A * W / 255 + B * (255 - W) / 255 per byte.
void BlendConst(std::uint8_t* dst, const std::uint8_t* a, const std::uint8_t* b, int n, unsigned w);
// Dst := Src * (255 - M) / 255 + Bg * M / 255 per byte, M the byte of the mask row.
void BlendMask(std::uint8_t* dst, const std::uint8_t* src, const std::uint8_t* mask, const std::uint8_t* bg, int n);
// Key pixels of Src: Dst := Bg (or left as it is when Bg is null); other pixels: Dst := Src.
void CopyKeyed(std::uint8_t* dst, const std::uint8_t* src, const std::uint8_t* bg, int n, TBgr key);
// Pixels of Src other than the key: Dst := Dst * W / 255 + Src * (255 - W) / 255; key pixels
// left as they are. Without a key every pixel is blended.
void BlendKeyed(std::uint8_t* dst, const std::uint8_t* src, int n, unsigned w, TBgr key, bool hasKey);

namespace ref {
void BlendConst(std::uint8_t* dst, const std::uint8_t* a, const std::uint8_t* b, int n, unsigned w);
void BlendMask(std::uint8_t* dst, const std::uint8_t* src, const std::uint8_t* mask, const std::uint8_t* bg, int n);
void CopyKeyed(std::uint8_t* dst, const std::uint8_t* src, const std::uint8_t* bg, int n, TBgr key);
void BlendKeyed(std::uint8_t* dst, const std::uint8_t* src, int n, unsigned w, TBgr key, bool hasKey);
}  // namespace ref

}  // namespace rows

}  // namespace qv
