// Clipping helpers shared by the pixel kernels and the mask painter (not a public header).
#pragma once

#include <algorithm>
#include <cstdint>

#include "skin/engine/core/acPixelKernels.h"

namespace qv::detail {

// A block of W x H pixels to move from (SX, SY) of a source to (DX, DY) of a destination, already
// inside both images (W or H 0 when nothing is left).
struct TTransfer {
  int SX = 0, SY = 0, DX = 0, DY = 0, W = 0, H = 0;
};

// SrcRect of Src placed with its top-left at (DX, DY) of Dst, clipped to both images.
inline TTransfer ClipTransfer(const TImageView& dst, const TImageView& src, const TRect& srcRect, long long dx,
                              long long dy) {
  TTransfer t;
  if (dst.Empty() || src.Empty()) return t;
  long long l = srcRect.Left, tp = srcRect.Top, r = srcRect.Right, b = srcRect.Bottom;
  if (l < 0) dx -= l, l = 0;
  if (tp < 0) dy -= tp, tp = 0;
  r = std::min<long long>(r, src.Width);
  b = std::min<long long>(b, src.Height);
  if (dx < 0) l -= dx, dx = 0;
  if (dy < 0) tp -= dy, dy = 0;
  const long long w = std::min<long long>(r - l, dst.Width - dx), h = std::min<long long>(b - tp, dst.Height - dy);
  if (w <= 0 || h <= 0) return t;
  t.SX = int(l);
  t.SY = int(tp);
  t.DX = int(dx);
  t.DY = int(dy);
  t.W = int(w);
  t.H = int(h);
  return t;
}

// The H rows from (X, Y) down of an image as the kernels walk them: from the row at the lowest
// address when Up (the destination is a bottom-up image), so that every block is walked forwards
// through the destination's memory, as the processor's prefetchers expect.
inline rows::TRowsOut WalkRows(const TImageView& v, int x, int y, int h, bool up) {
  return up ? rows::TRowsOut{v.At(x, y + h - 1), -v.Stride} : rows::TRowsOut{v.At(x, y), v.Stride};
}
inline rows::TRowsIn WalkRowsIn(const TImageView& v, int x, int y, int h, bool up) {
  return up ? rows::TRowsIn{v.At(x, y + h - 1), -v.Stride} : rows::TRowsIn{v.At(x, y), v.Stride};
}
// Row I of H in the destination's memory order, as a row of the image (counted from the top).
inline int WalkRow(int i, int h, bool up) { return up ? h - 1 - i : i; }

inline TRect ClipToImage(const TImageView& img, const TRect& r) {
  if (img.Empty()) return TRect{};
  return IntersectRects(r, TRect{0, 0, img.Width, img.Height});
}

// SrcRect cut to the size of DstRect where that is smaller (the top-left stays).
inline TRect SameSizeRect(const TRect& dstRect, const TRect& srcRect) {
  const long long w =
      std::min<long long>((long long)srcRect.Right - srcRect.Left, (long long)dstRect.Right - dstRect.Left);
  const long long h =
      std::min<long long>((long long)srcRect.Bottom - srcRect.Top, (long long)dstRect.Bottom - dstRect.Top);
  if (w <= 0 || h <= 0) return TRect{};
  return TRect{srcRect.Left, srcRect.Top, int(srcRect.Left + w), int(srcRect.Top + h)};
}

// The picture half of an image whose lower half is a mask.
inline TImageView UpperHalf(const TImageView& img) {
  TImageView v = img;
  v.Height = img.Height / 2;
  return v;
}

inline unsigned PercentWeight(int percent) { return unsigned(std::clamp(percent, 0, 100)) * 255 / 100; }

inline std::uint8_t GrayOf(unsigned b, unsigned g, unsigned r) {
  return std::uint8_t((77 * r + 151 * g + 28 * b + 128) >> 8);
}

// Splits the pixels [X0, X0 + N) of row Y of a painted image by whether the cache image lies under
// them: Fn(offset, count, bg) with bg the cache pixels under them, or null where there are none.
template <class Fn>
void ForCacheParts(const TCacheView& cache, int y, int x0, int n, Fn&& fn) {
  if (n <= 0) return;
  if (cache.Usable() && cache.Image.Empty()) {
    // One colour: handed out 32 pixels at a time.
    for (int i = 0; i < n; i += 32) fn(i, std::min(32, n - i), cache.Fill->Bytes);
    return;
  }
  const long long cy = (long long)y + cache.Y;
  if (!cache.Usable() || cy < 0 || cy >= cache.Image.Height) {
    fn(0, n, nullptr);
    return;
  }
  const long long cx0 = (long long)x0 + cache.X;
  const long long a = std::clamp<long long>(-cx0, 0, n), b = std::clamp<long long>(cache.Image.Width - cx0, a, n);
  if (a > 0) fn(0, int(a), nullptr);
  if (b > a) fn(int(a), int(b - a), cache.Image.At(int(cx0 + a), int(cy)));
  if (b < n) fn(int(b), int(n - b), nullptr);
}

// The cache pixel under pixel (X, Y) of a painted image, null when there is none.
inline const std::uint8_t* CachePixel(const TCacheView& cache, int x, int y) {
  if (!cache.Usable()) return nullptr;
  if (cache.Image.Empty()) return cache.Fill->Bytes;
  const long long cx = (long long)x + cache.X, cy = (long long)y + cache.Y;
  if (cx < 0 || cy < 0 || cx >= cache.Image.Width || cy >= cache.Image.Height) return nullptr;
  return cache.Image.At(int(cx), int(cy));
}

}  // namespace qv::detail
