#include "skin/engine/core/acPixelKernels.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>

#include "skin/engine/core/acPixelKernelsImpl.h"

namespace qv {

using detail::TTransfer;

// Colours -------------------------------------------------------------------------------------

std::uint8_t ClampToByte(int value) { return std::uint8_t(value < 0 ? 0 : value > 255 ? 255 : value); }

static std::uint8_t RoundToByte(double v) {
  if (!(v > 0)) return 0;  // also NaN
  if (v >= 255) return 255;
  return std::uint8_t(std::nearbyint(v));
}

TColorRef MixColors(TColorRef c1, TColorRef c2, double k) {
  TColorRef result = c1 & 0xFF000000u;
  for (int shift = 0; shift < 24; shift += 8) {
    const double a = double((c1 >> shift) & 0xFF), b = double((c2 >> shift) & 0xFF);
    result |= TColorRef(RoundToByte(b + (a - b) * k)) << shift;
  }
  return result;
}

TColorRef AverageColor(TColorRef c1, TColorRef c2) {
  TColorRef result = c1 & 0xFF000000u;
  for (int shift = 0; shift < 24; shift += 8)
    result |= ((((c1 >> shift) & 0xFF) + ((c2 >> shift) & 0xFF)) / 2) << shift;
  return result;
}

std::uint8_t WeightOf(double k) {
  if (!(k > 0)) return 0;
  if (k >= 1) return 255;
  return std::uint8_t(std::lround(k * 255.0));
}

int FadeAmount(int step, int iterations) {
  if (iterations < 1) iterations = 1;
  step = std::clamp(step, 0, iterations);
  const long long amount = 255 - (long long)step * 256 / iterations;
  return int(std::clamp(amount, 0LL, 255LL));
}

// Reference rows -------------------------------------------------------------------------------

namespace rows::ref {
namespace {
inline bool IsKey(const std::uint8_t* p, TBgr key) { return p[0] == key.B && p[1] == key.G && p[2] == key.R; }
}  // namespace

void BlendConst(std::uint8_t* dst, const std::uint8_t* a, const std::uint8_t* b, int n, unsigned w) {
  for (int i = 0; i < 3 * n; ++i) dst[i] = std::uint8_t(Div255(a[i] * w + b[i] * (255 - w)));
}

void BlendMask(std::uint8_t* dst, const std::uint8_t* src, const std::uint8_t* mask, const std::uint8_t* bg, int n) {
  for (int i = 0; i < 3 * n; ++i) dst[i] = std::uint8_t(Div255(src[i] * (255u - mask[i]) + bg[i] * unsigned(mask[i])));
}

void CopyKeyed(std::uint8_t* dst, const std::uint8_t* src, const std::uint8_t* bg, int n, TBgr key) {
  for (int p = 0; p < n; ++p) {
    const std::uint8_t* from = IsKey(src + 3 * p, key) ? (bg ? bg + 3 * p : nullptr) : src + 3 * p;
    if (from)
      for (int c = 0; c < 3; ++c) dst[3 * p + c] = from[c];
  }
}

void BlendKeyed(std::uint8_t* dst, const std::uint8_t* src, int n, unsigned w, TBgr key, bool hasKey) {
  for (int p = 0; p < n; ++p) {
    if (hasKey && IsKey(src + 3 * p, key)) continue;
    for (int c = 0; c < 3; ++c) dst[3 * p + c] = std::uint8_t(Div255(dst[3 * p + c] * w + src[3 * p + c] * (255 - w)));
  }
}

void KeyRuns(const std::uint8_t* row, int n, TBgr key, int y, std::vector<TRect>& runs) {
  for (int x = 0; x < n;) {
    if (!IsKey(row + 3 * x, key)) {
      ++x;
      continue;
    }
    int e = x;
    while (e < n && IsKey(row + 3 * e, key)) ++e;
    runs.push_back(TRect{x, y, e, y + 1});
    x = e;
  }
}

void Gray(std::uint8_t* row, int n, const TBgr* key) {
  for (int x = 0; x < n; ++x) {
    std::uint8_t* p = row + 3 * x;
    if (key && IsKey(p, *key)) continue;
    p[0] = p[1] = p[2] = qv::detail::GrayOf(p[0], p[1], p[2]);
  }
}

}  // namespace rows::ref

// Image kernels (fast) ------------------------------------------------------------------------

namespace {

// The W x H pixels at (X, Y) of an image as one run of bytes, when its rows touch (whole rows of
// an image without row padding): the first byte of the run in memory, else null.
std::uint8_t* FlatRun(const TImageView& v, int x, int y, int w, int h) {
  if (x != 0 || w != v.Width || (v.Stride != 3 * std::ptrdiff_t(w) && v.Stride != -3 * std::ptrdiff_t(w)))
    return nullptr;
  return v.Stride > 0 ? v.Row(y) : v.Row(y + h - 1);
}

// Runs of two or three images that line up byte for byte (same row order and stride).
bool SameFlat(const TImageView& a, const TImageView& b) { return a.Stride == b.Stride; }

}  // namespace

void BlendBitmaps(const TImageView& dst, const TImageView& src, int amount) {
  if (dst.Empty() || src.Empty()) return;
  const unsigned w = unsigned(std::clamp(amount, 0, 255));
  const int width = std::min(dst.Width, src.Width), height = std::min(dst.Height, src.Height);
  std::uint8_t* d = FlatRun(dst, 0, 0, width, height);
  const std::uint8_t* s = FlatRun(src, 0, 0, width, height);
  if (d && s && SameFlat(dst, src)) {
    rows::BlendBytes(d, d, s, std::size_t(width) * 3 * std::size_t(height), w);
    return;
  }
  for (int y = 0; y < height; ++y) rows::BlendConst(dst.Row(y), dst.Row(y), src.Row(y), width, w);
}

void BlendBitmapsInto(const TImageView& dst, const TImageView& a, const TImageView& b, int amount) {
  if (dst.Empty() || a.Empty() || b.Empty()) return;
  const unsigned w = unsigned(std::clamp(amount, 0, 255));
  const int width = std::min({dst.Width, a.Width, b.Width}), height = std::min({dst.Height, a.Height, b.Height});
  std::uint8_t* d = FlatRun(dst, 0, 0, width, height);
  const std::uint8_t* pa = FlatRun(a, 0, 0, width, height);
  const std::uint8_t* pb = FlatRun(b, 0, 0, width, height);
  if (d && pa && pb && SameFlat(dst, a) && SameFlat(dst, b)) {
    rows::BlendBytes(d, pa, pb, std::size_t(width) * 3 * std::size_t(height), w);
    return;
  }
  for (int y = 0; y < height; ++y) rows::BlendConst(dst.Row(y), a.Row(y), b.Row(y), width, w);
}

void BlendBitmapRect(const TImageView& dst, const TImageView& src, int opacity, const TRect& srcRect, TPoint dstPoint) {
  const TTransfer t = detail::ClipTransfer(dst, src, srcRect, dstPoint.X, dstPoint.Y);
  if (t.W <= 0 || t.H <= 0) return;
  const unsigned w = unsigned(std::clamp(opacity, 0, 255));
  std::uint8_t* d = FlatRun(dst, t.DX, t.DY, t.W, t.H);
  const std::uint8_t* s = FlatRun(src, t.SX, t.SY, t.W, t.H);
  if (d && s && SameFlat(dst, src)) {
    rows::BlendBytes(d, s, d, std::size_t(t.W) * 3 * std::size_t(t.H), w);
    return;
  }
  for (int j = 0; j < t.H; ++j) {
    std::uint8_t* row = dst.At(t.DX, t.DY + j);
    rows::BlendConst(row, src.At(t.SX, t.SY + j), row, t.W, w);
  }
}

void BlendRectKeyed(const TImageView& dst, int x, int y, const TImageView& src, const TRect& srcRect, double k,
                    TColorRef keyColor) {
  const TTransfer t = detail::ClipTransfer(dst, src, srcRect, x, y);
  if (t.W <= 0 || t.H <= 0) return;
  const unsigned w = WeightOf(k);
  const bool hasKey = HasColorKey(keyColor);
  TKeyPattern scratch(TBgr{});
  const TKeyPattern& key = KeyPatternOf(BgrOf(keyColor), scratch);
  for (int j = 0; j < t.H; ++j) rows::BlendKeyed(dst.At(t.DX, t.DY + j), src.At(t.SX, t.SY + j), t.W, w, key, hasKey);
}

namespace {

// (N + D / 2) / D for D = 1..2 * kMaxBlurRadius + 1 and sums of at most that many bytes, by a
// multiplication: with M = ceil(2^32 / D) the product N * M / 2^32 is exact below 2^16.
struct TRoundDiv {
  std::uint64_t M = 0;
  unsigned Half = 0;
  explicit TRoundDiv(unsigned d) : M(((std::uint64_t(1) << 32) + d - 1) / d), Half(d / 2) {}
  unsigned operator()(unsigned sum) const { return unsigned(((sum + Half) * M) >> 32); }
};

const TRoundDiv& RoundDivBy(int d) {
  static const auto table = [] {
    std::vector<TRoundDiv> t;
    for (int i = 1; i <= 2 * kMaxBlurRadius + 1; ++i) t.emplace_back(unsigned(i));
    return t;
  }();
  return table[std::size_t(d - 1)];
}

// Box blur of one line of N pixels from In to Out (each Step bytes apart), the window of
// 2 * Radius + 1 pixels clipped to the line; each mean rounded to the nearest integer.
void BoxBlurLine(const std::uint8_t* in, std::uint8_t* out, int n, int radius) {
  unsigned sum[3] = {0, 0, 0};
  int lo = 0, hi = -1;  // the window [lo, hi] summed so far
  for (int x = 0; x < n; ++x) {
    const int wantLo = std::max(0, x - radius), wantHi = std::min(n - 1, x + radius);
    while (hi < wantHi) {
      ++hi;
      for (int c = 0; c < 3; ++c) sum[c] += in[3 * hi + c];
    }
    while (lo < wantLo) {
      for (int c = 0; c < 3; ++c) sum[c] -= in[3 * lo + c];
      ++lo;
    }
    const TRoundDiv& div = RoundDivBy(hi - lo + 1);
    for (int c = 0; c < 3; ++c) out[3 * x + c] = std::uint8_t(div(sum[c]));
  }
}

}  // namespace

void BlendColorRect(const TImageView& img, const TRect& r, int percent, TColorRef color, bool blur, int radius) {
  const TRect c = detail::ClipToImage(img, r);
  if (c.IsEmpty()) return;
  const int w = c.Width(), h = c.Height();
  const unsigned keep = detail::PercentWeight(percent);
  // The colour laid over the rows in pieces of up to 256 pixels.
  constexpr int kPiece = 256;
  const TKeyPattern colour(BgrOf(color));
  std::uint8_t pattern[3 * kPiece];
  for (int i = 0; i < 3 * kPiece; i += 96) std::memcpy(pattern + i, colour.Bytes, 96);
  for (int y = c.Top; y < c.Bottom; ++y) {
    std::uint8_t* row = img.At(c.Left, y);
    for (int x = 0; x < w; x += kPiece) {
      const int n = std::min(kPiece, w - x);
      rows::BlendConst(row + 3 * x, row + 3 * x, pattern, n, keep);
    }
  }
  radius = std::clamp(radius, 0, kMaxBlurRadius);
  if (!blur || radius == 0) return;
  // Horizontal pass into a copy, then a vertical pass row by row with running column sums.
  const std::size_t rowBytes = std::size_t(w) * 3;
  std::vector<std::uint8_t> tmp(rowBytes * std::size_t(h));
  for (int y = 0; y < h; ++y) BoxBlurLine(img.At(c.Left, c.Top + y), tmp.data() + rowBytes * y, w, radius);
  std::vector<unsigned> sums(rowBytes, 0);
  int lo = 0, hi = -1;
  for (int y = 0; y < h; ++y) {
    const int wantLo = std::max(0, y - radius), wantHi = std::min(h - 1, y + radius);
    while (hi < wantHi) {
      const std::uint8_t* add = tmp.data() + rowBytes * std::size_t(++hi);
      for (std::size_t i = 0; i < rowBytes; ++i) sums[i] += add[i];
    }
    while (lo < wantLo) {
      const std::uint8_t* sub = tmp.data() + rowBytes * std::size_t(lo++);
      for (std::size_t i = 0; i < rowBytes; ++i) sums[i] -= sub[i];
    }
    const TRoundDiv& div = RoundDivBy(hi - lo + 1);
    std::uint8_t* out = img.At(c.Left, c.Top + y);
    for (std::size_t i = 0; i < rowBytes; ++i) out[i] = std::uint8_t(div(sums[i]));
  }
}

namespace {

// Copies the block T of Src to Dst skipping key pixels: as one run when the rows of both touch.
void CopyKeyedBlock(const TImageView& dst, const TImageView& src, const TTransfer& t, const TKeyPattern& key) {
  if (t.W <= 0 || t.H <= 0) return;
  std::uint8_t* d = FlatRun(dst, t.DX, t.DY, t.W, t.H);
  const std::uint8_t* s = FlatRun(src, t.SX, t.SY, t.W, t.H);
  if (d && s && SameFlat(dst, src) && (long long)t.W * t.H <= INT32_MAX) {
    rows::CopyKeyed(d, s, nullptr, t.W * t.H, key);
    return;
  }
  for (int j = 0; j < t.H; ++j) rows::CopyKeyed(dst.At(t.DX, t.DY + j), src.At(t.SX, t.SY + j), nullptr, t.W, key);
}

}  // namespace

void CopyTransparent(const TImageView& dst, const TImageView& src, int x, int y, TColorRef keyColor) {
  const TTransfer t = detail::ClipTransfer(dst, src, TRect{0, 0, src.Width, src.Height}, x, y);
  TKeyPattern scratch(TBgr{});
  CopyKeyedBlock(dst, src, t, KeyPatternOf(BgrOf(keyColor), scratch));
}

void CopyTransparentRect(const TImageView& dst, const TImageView& src, int x, int y, const TRect& srcRect,
                         TColorRef keyColor, const TCacheView& cache, bool useCache) {
  const TTransfer t = detail::ClipTransfer(dst, src, srcRect, x, y);
  TKeyPattern scratch(TBgr{});
  const TKeyPattern& key = KeyPatternOf(BgrOf(keyColor), scratch);
  const bool withCache = useCache && cache.Usable();
  if (!withCache) {
    CopyKeyedBlock(dst, src, t, key);
    return;
  }
  for (int j = 0; j < t.H; ++j) {
    std::uint8_t* d = dst.At(t.DX, t.DY + j);
    const std::uint8_t* s = src.At(t.SX, t.SY + j);
    detail::ForCacheParts(cache, t.DY + j, t.DX, t.W, [&](int off, int n, const std::uint8_t* bg) {
      rows::CopyKeyed(d + 3 * off, s + 3 * off, bg, n, key);
    });
  }
}

void CopyByMask(const TRect& dstRect, const TRect& srcRect, const TImageView& dst, const TImageView& src,
                const TCacheView& cache, bool fillFromCache) {
  const TImageView upper = detail::UpperHalf(src);
  const TRect sr = detail::SameSizeRect(dstRect, srcRect);
  const TTransfer t = detail::ClipTransfer(dst, upper, sr, dstRect.Left, dstRect.Top);
  const bool withCache = fillFromCache && cache.Usable();
  for (int j = 0; j < t.H; ++j) {
    std::uint8_t* d = dst.At(t.DX, t.DY + j);
    const std::uint8_t* s = src.At(t.SX, t.SY + j);
    const std::uint8_t* m = src.At(t.SX, t.SY + j + upper.Height);
    if (!withCache) {
      rows::BlendMask(d, s, m, d, t.W);
      continue;
    }
    detail::ForCacheParts(cache, t.DY + j, t.DX, t.W, [&](int off, int n, const std::uint8_t* bg) {
      rows::BlendMask(d + 3 * off, s + 3 * off, m + 3 * off, bg ? bg : d + 3 * off, n);
    });
  }
}

void GrayscaleBmp(const TImageView& img) {
  if (img.Empty()) return;
  if (std::uint8_t* run = FlatRun(img, 0, 0, img.Width, img.Height);
      run && (long long)img.Width * img.Height <= INT32_MAX) {
    rows::Kernels().Gray(run, img.Width * img.Height, nullptr);
    return;
  }
  for (int y = 0; y < img.Height; ++y) rows::Kernels().Gray(img.Row(y), img.Width, nullptr);
}

void GrayscaleBmpKeyed(const TImageView& img, TColorRef key) {
  if (img.Empty()) return;
  TKeyPattern scratch(TBgr{});
  const TKeyPattern& k = KeyPatternOf(BgrOf(key), scratch);
  if (std::uint8_t* run = FlatRun(img, 0, 0, img.Width, img.Height);
      run && (long long)img.Width * img.Height <= INT32_MAX) {
    rows::Kernels().Gray(run, img.Width * img.Height, &k);
    return;
  }
  for (int y = 0; y < img.Height; ++y) rows::Kernels().Gray(img.Row(y), img.Width, &k);
}

void CollectKeyRuns(const TImageView& img, TColorRef key, std::vector<TRect>& runs) {
  if (img.Empty()) return;
  TKeyPattern scratch(TBgr{});
  const TKeyPattern& k = KeyPatternOf(BgrOf(key), scratch);
  for (int y = 0; y < img.Height; ++y) rows::Kernels().KeyRuns(img.Row(y), img.Width, k, y, runs);
}

void BuildKeyRunIndex(const TImageView& img, TColorRef key, TKeyRunIndex& index) {
  index = TKeyRunIndex{};
  index.Key = BgrOf(key);
  if (img.Empty()) return;
  TKeyPattern scratch(TBgr{});
  const TKeyPattern& k = KeyPatternOf(index.Key, scratch);
  std::vector<TRect> runs;
  // The index may take at most half the bytes of the pixels it describes, and is made at its exact
  // size: an image of key pixels scattered finer than that (a checkerboard) is copied pixel by
  // pixel instead, so that a skin's images never claim much more memory than their pixels.
  const std::size_t maxRuns = std::size_t(img.Width) * std::size_t(img.Height) * 3 / 2 / sizeof(TKeyRunIndex::TRun);
  std::size_t count = 0;
  for (int y = 0; y < img.Height && count <= maxRuns; ++y) {
    runs.clear();
    rows::Kernels().KeyRuns(img.Row(y), img.Width, k, y, runs);
    count += runs.size();
  }
  if (count > maxRuns) return;
  index.Width = img.Width;
  index.Height = img.Height;
  index.First.reserve(std::size_t(img.Height) + 1);
  index.Runs.reserve(count);
  for (int y = 0; y < img.Height; ++y) {
    index.First.push_back(int(index.Runs.size()));
    runs.clear();
    rows::Kernels().KeyRuns(img.Row(y), img.Width, k, y, runs);
    for (const TRect& r : runs) index.Runs.push_back(TKeyRunIndex::TRun{r.Left, r.Right});
  }
  index.First.push_back(int(index.Runs.size()));
}

void CopyTransparentIndexed(const TImageView& dst, const TImageView& src, const TKeyRunIndex& index, int x, int y,
                            const TRect& srcRect, const TCacheView& cache, bool useCache) {
  if (!index.Matches(src)) {
    CopyTransparentRect(dst, src, x, y, srcRect, ColorOf(index.Key), cache, useCache);
    return;
  }
  const TTransfer t = detail::ClipTransfer(dst, src, srcRect, x, y);
  if (t.W <= 0 || t.H <= 0) return;
  if (index.Runs.empty()) {
    // No key pixel at all: a plain copy, in one piece when the rows of both images touch.
    std::uint8_t* d = FlatRun(dst, t.DX, t.DY, t.W, t.H);
    const std::uint8_t* s = FlatRun(src, t.SX, t.SY, t.W, t.H);
    if (d && s && SameFlat(dst, src)) {
      std::memcpy(d, s, std::size_t(t.W) * 3 * std::size_t(t.H));
      return;
    }
    for (int j = 0; j < t.H; ++j) std::memcpy(dst.At(t.DX, t.DY + j), src.At(t.SX, t.SY + j), std::size_t(t.W) * 3);
    return;
  }
  const bool withCache = useCache && cache.Usable();
  TKeyPattern scratch(TBgr{});
  const TKeyPattern& key = KeyPatternOf(index.Key, scratch);
  // Opaque stretches go out as one copy for as long as they run on in both images (from one row
  // into the next where rows touch); rows are taken in the destination's memory order.
  std::uint8_t* pd = nullptr;
  const std::uint8_t* ps = nullptr;
  std::size_t pn = 0;
  auto opaque = [&](std::uint8_t* d, const std::uint8_t* s, std::size_t n) {
    if (n == 0) return;
    if (pn && d == pd + pn && s == ps + pn) {
      pn += n;
      return;
    }
    if (pn) std::memcpy(pd, ps, pn);
    pd = d, ps = s, pn = n;
  };
  auto behind = [&](std::uint8_t* d, int dy, int dx, int n) {
    if (!withCache) return;
    detail::ForCacheParts(cache, dy, dx, n, [&](int off, int m, const std::uint8_t* bg) {
      if (bg) std::memcpy(d + 3 * std::size_t(off), bg, 3 * std::size_t(m));
    });
  };
  for (int i = 0; i < t.H; ++i) {
    const int j = dst.Stride < 0 ? t.H - 1 - i : i;
    const int sy = t.SY + j, dy = t.DY + j;
    std::uint8_t* d = dst.At(t.DX, dy);
    const std::uint8_t* s = src.At(t.SX, sy);
    const TKeyRunIndex::TRun* run = index.Runs.data() + index.First[std::size_t(sy)];
    const TKeyRunIndex::TRun* end = index.Runs.data() + index.First[std::size_t(sy) + 1];
    if (end - run > t.W / 32 + 2) {
      // Scattered key pixels: the vector copy does better than many small ones.
      if (!withCache) {
        rows::CopyKeyed(d, s, nullptr, t.W, key);
        continue;
      }
      detail::ForCacheParts(cache, dy, t.DX, t.W, [&](int off, int n, const std::uint8_t* bg) {
        rows::CopyKeyed(d + 3 * off, s + 3 * off, bg, n, key);
      });
      continue;
    }
    int pos = t.SX;
    const int stop = t.SX + t.W;
    for (; run != end && run->Left < stop; ++run) {
      if (run->Right <= pos) continue;
      const int a = std::max(run->Left, pos), b = std::min(run->Right, stop);
      opaque(d + 3 * std::size_t(pos - t.SX), s + 3 * std::size_t(pos - t.SX), 3 * std::size_t(a - pos));
      behind(d + 3 * std::size_t(a - t.SX), dy, t.DX + (a - t.SX), b - a);
      pos = b;
    }
    opaque(d + 3 * std::size_t(pos - t.SX), s + 3 * std::size_t(pos - t.SX), 3 * std::size_t(stop - pos));
  }
  if (pn) std::memcpy(pd, ps, pn);
}

// Reference versions: one pixel at a time, clipped pixel by pixel ------------------------------

namespace ref {
namespace {

bool Inside(const TImageView& img, long long x, long long y) {
  return !img.Empty() && x >= 0 && y >= 0 && x < img.Width && y < img.Height;
}

unsigned Mix(unsigned a, unsigned b, unsigned w) { return (a * w + b * (255 - w) + 127) / 255; }

bool SamePixel(const std::uint8_t* p, TBgr c) { return p[0] == c.B && p[1] == c.G && p[2] == c.R; }

void Put(std::uint8_t* d, const std::uint8_t* s) {
  const std::uint8_t b = s[0], g = s[1], r = s[2];
  d[0] = b;
  d[1] = g;
  d[2] = r;
}

// Calls Fn(dst pixel, src pixel, dx, dy) for each pixel of SrcRect placed at (X, Y) that lies
// inside both images.
template <class Fn>
void EachPixel(const TImageView& dst, const TImageView& src, const TRect& srcRect, long long x, long long y, Fn&& fn) {
  if (src.Empty() || dst.Empty()) return;
  const long long l = std::max<long long>(srcRect.Left, 0), t = std::max<long long>(srcRect.Top, 0);
  const long long r = std::min<long long>(srcRect.Right, src.Width),
                  b = std::min<long long>(srcRect.Bottom, src.Height);
  for (long long sy = t; sy < b; ++sy)
    for (long long sx = l; sx < r; ++sx) {
      const long long dx = x + (sx - srcRect.Left), dy = y + (sy - srcRect.Top);
      if (Inside(dst, dx, dy)) fn(dst.At(int(dx), int(dy)), src.At(int(sx), int(sy)), int(dx), int(dy));
    }
}

}  // namespace

void BlendBitmaps(const TImageView& dst, const TImageView& src, int amount) {
  const unsigned w = unsigned(std::clamp(amount, 0, 255));
  EachPixel(dst, src, TRect{0, 0, src.Width, src.Height}, 0, 0, [&](std::uint8_t* d, const std::uint8_t* s, int, int) {
    for (int c = 0; c < 3; ++c) d[c] = std::uint8_t(Mix(d[c], s[c], w));
  });
}

void BlendBitmapsInto(const TImageView& dst, const TImageView& a, const TImageView& b, int amount) {
  if (dst.Empty() || a.Empty() || b.Empty()) return;
  const unsigned w = unsigned(std::clamp(amount, 0, 255));
  for (int y = 0; y < std::min({dst.Height, a.Height, b.Height}); ++y)
    for (int x = 0; x < std::min({dst.Width, a.Width, b.Width}); ++x)
      for (int c = 0; c < 3; ++c) dst.At(x, y)[c] = std::uint8_t(Mix(a.At(x, y)[c], b.At(x, y)[c], w));
}

void BlendBitmapRect(const TImageView& dst, const TImageView& src, int opacity, const TRect& srcRect, TPoint dstPoint) {
  const unsigned w = unsigned(std::clamp(opacity, 0, 255));
  EachPixel(dst, src, srcRect, dstPoint.X, dstPoint.Y, [&](std::uint8_t* d, const std::uint8_t* s, int, int) {
    for (int c = 0; c < 3; ++c) d[c] = std::uint8_t(Mix(s[c], d[c], w));
  });
}

void BlendRectKeyed(const TImageView& dst, int x, int y, const TImageView& src, const TRect& srcRect, double k,
                    TColorRef keyColor) {
  const unsigned w = WeightOf(k);
  const bool hasKey = HasColorKey(keyColor);
  const TBgr key = BgrOf(keyColor);
  EachPixel(dst, src, srcRect, x, y, [&](std::uint8_t* d, const std::uint8_t* s, int, int) {
    if (hasKey && SamePixel(s, key)) return;
    for (int c = 0; c < 3; ++c) d[c] = std::uint8_t(Mix(d[c], s[c], w));
  });
}

void BlendColorRect(const TImageView& img, const TRect& r, int percent, TColorRef color, bool blur, int radius) {
  if (img.Empty()) return;
  const TRect c = IntersectRects(r, TRect{0, 0, img.Width, img.Height});
  if (c.IsEmpty()) return;
  const unsigned keep = detail::PercentWeight(percent);
  const TBgr col = BgrOf(color);
  const std::uint8_t colBytes[3] = {col.B, col.G, col.R};
  for (int y = c.Top; y < c.Bottom; ++y)
    for (int x = c.Left; x < c.Right; ++x) {
      std::uint8_t* p = img.At(x, y);
      for (int k = 0; k < 3; ++k) p[k] = std::uint8_t(Mix(p[k], colBytes[k], keep));
    }
  radius = std::clamp(radius, 0, kMaxBlurRadius);
  if (!blur || radius == 0) return;
  const int w = c.Width(), h = c.Height();
  std::vector<std::uint8_t> tmp(std::size_t(w) * h * 3);
  auto mean = [&](auto&& at, int pos, int len, int ch) {
    unsigned sum = 0, count = 0;
    for (int i = std::max(0, pos - radius); i <= std::min(len - 1, pos + radius); ++i, ++count) sum += at(i)[ch];
    return std::uint8_t((sum + count / 2) / count);
  };
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      for (int ch = 0; ch < 3; ++ch)
        tmp[(std::size_t(y) * w + x) * 3 + ch] = mean([&](int i) { return img.At(c.Left + i, c.Top + y); }, x, w, ch);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      for (int ch = 0; ch < 3; ++ch)
        img.At(c.Left + x, c.Top + y)[ch] = mean([&](int i) { return &tmp[(std::size_t(i) * w + x) * 3]; }, y, h, ch);
}

void CopyTransparent(const TImageView& dst, const TImageView& src, int x, int y, TColorRef keyColor) {
  const TBgr key = BgrOf(keyColor);
  EachPixel(dst, src, TRect{0, 0, src.Width, src.Height}, x, y, [&](std::uint8_t* d, const std::uint8_t* s, int, int) {
    if (!SamePixel(s, key)) Put(d, s);
  });
}

void CopyTransparentRect(const TImageView& dst, const TImageView& src, int x, int y, const TRect& srcRect,
                         TColorRef keyColor, const TCacheView& cache, bool useCache) {
  const TBgr key = BgrOf(keyColor);
  EachPixel(dst, src, srcRect, x, y, [&](std::uint8_t* d, const std::uint8_t* s, int dx, int dy) {
    if (!SamePixel(s, key)) {
      Put(d, s);
    } else if (useCache) {
      if (const std::uint8_t* bg = detail::CachePixel(cache, dx, dy)) Put(d, bg);
    }
  });
}

void CopyByMask(const TRect& dstRect, const TRect& srcRect, const TImageView& dst, const TImageView& src,
                const TCacheView& cache, bool fillFromCache) {
  const int half = src.Height / 2;
  const long long w =
      std::min<long long>((long long)srcRect.Right - srcRect.Left, (long long)dstRect.Right - dstRect.Left);
  const long long h =
      std::min<long long>((long long)srcRect.Bottom - srcRect.Top, (long long)dstRect.Bottom - dstRect.Top);
  if (src.Empty() || dst.Empty()) return;
  const long long i0 = std::max<long long>(0, -(long long)srcRect.Left),
                  j0 = std::max<long long>(0, -(long long)srcRect.Top);
  const long long i1 = std::min<long long>(w, (long long)src.Width - srcRect.Left);
  const long long j1 = std::min<long long>(h, (long long)half - srcRect.Top);
  for (long long j = j0; j < j1; ++j)
    for (long long i = i0; i < i1; ++i) {
      const long long sx = (long long)srcRect.Left + i, sy = (long long)srcRect.Top + j;
      const long long dx = (long long)dstRect.Left + i, dy = (long long)dstRect.Top + j;
      if (sx < 0 || sy < 0 || sx >= src.Width || sy >= half || !Inside(dst, dx, dy)) continue;
      std::uint8_t* d = dst.At(int(dx), int(dy));
      const std::uint8_t* s = src.At(int(sx), int(sy));
      const std::uint8_t* m = src.At(int(sx), int(sy) + half);
      const std::uint8_t* bg = fillFromCache ? detail::CachePixel(cache, int(dx), int(dy)) : nullptr;
      if (!bg) bg = d;
      std::uint8_t out[3];
      for (int c = 0; c < 3; ++c) out[c] = std::uint8_t(Mix(bg[c], s[c], m[c]));
      Put(d, out);
    }
}

void GrayscaleBmp(const TImageView& img) {
  if (img.Empty()) return;
  for (int y = 0; y < img.Height; ++y)
    for (int x = 0; x < img.Width; ++x) {
      std::uint8_t* p = img.At(x, y);
      p[0] = p[1] = p[2] = std::uint8_t((77 * p[2] + 151 * p[1] + 28 * p[0] + 128) / 256);
    }
}

void GrayscaleBmpKeyed(const TImageView& img, TColorRef key) {
  if (img.Empty()) return;
  const TBgr k = BgrOf(key);
  for (int y = 0; y < img.Height; ++y)
    for (int x = 0; x < img.Width; ++x) {
      std::uint8_t* p = img.At(x, y);
      if (!SamePixel(p, k)) p[0] = p[1] = p[2] = std::uint8_t((77 * p[2] + 151 * p[1] + 28 * p[0] + 128) / 256);
    }
}

void CollectKeyRuns(const TImageView& img, TColorRef key, std::vector<TRect>& runs) {
  if (img.Empty()) return;
  const TBgr k = BgrOf(key);
  for (int y = 0; y < img.Height; ++y)
    for (int x = 0; x < img.Width;) {
      if (!SamePixel(img.At(x, y), k)) {
        ++x;
        continue;
      }
      int e = x;
      while (e < img.Width && SamePixel(img.At(e, y), k)) ++e;
      runs.push_back(TRect{x, y, e, y + 1});
      x = e;
    }
}

}  // namespace ref

}  // namespace qv
