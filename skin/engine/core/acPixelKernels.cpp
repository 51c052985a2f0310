#include "skin/engine/core/acPixelKernels.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "skin/engine/core/acPixelKernelsImpl.h"

namespace qv {

using detail::TTransfer;
#if QV_HAVE_SSE2
using detail::TKey48;
#endif

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

// Row primitives ------------------------------------------------------------------------------

namespace rows {

#if QV_HAVE_SSE2
namespace {

using detail::Load;
using detail::Store;
using detail::TKey48;

inline __m128i Div255x16(__m128i x) {
  const __m128i t = _mm_add_epi16(x, _mm_set1_epi16(128));
  return _mm_srli_epi16(_mm_add_epi16(t, _mm_srli_epi16(t, 8)), 8);
}

// (A * W + B * (255 - W)) / 255 rounded for 16 bytes, W per 16-bit lane (low and high halves).
inline __m128i Blend16(__m128i a, __m128i b, __m128i wlo, __m128i whi) {
  const __m128i zero = _mm_setzero_si128(), full = _mm_set1_epi16(255);
  const __m128i lo = _mm_add_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(a, zero), wlo),
                                   _mm_mullo_epi16(_mm_unpacklo_epi8(b, zero), _mm_sub_epi16(full, wlo)));
  const __m128i hi = _mm_add_epi16(_mm_mullo_epi16(_mm_unpackhi_epi8(a, zero), whi),
                                   _mm_mullo_epi16(_mm_unpackhi_epi8(b, zero), _mm_sub_epi16(full, whi)));
  return _mm_packus_epi16(Div255x16(lo), Div255x16(hi));
}

}  // namespace
#endif

void BlendConst(std::uint8_t* dst, const std::uint8_t* a, const std::uint8_t* b, int n, unsigned w) {
  if (n <= 0) return;
  const std::size_t bytes = std::size_t(n) * 3;
  if (w >= 255) {
    if (dst != a) std::memmove(dst, a, bytes);
    return;
  }
  if (w == 0) {
    if (dst != b) std::memmove(dst, b, bytes);
    return;
  }
  std::size_t i = 0;
#if QV_HAVE_SSE2
  const __m128i vw = _mm_set1_epi16(short(w));
  for (; i + 16 <= bytes; i += 16) Store(dst + i, Blend16(Load(a + i), Load(b + i), vw, vw));
#endif
  for (; i < bytes; ++i) dst[i] = std::uint8_t(Div255(a[i] * w + b[i] * (255 - w)));
}

void BlendMask(std::uint8_t* dst, const std::uint8_t* src, const std::uint8_t* mask, const std::uint8_t* bg, int n) {
  if (n <= 0) return;
  const std::size_t bytes = std::size_t(n) * 3;
  std::size_t i = 0;
#if QV_HAVE_SSE2
  const __m128i zero = _mm_setzero_si128(), ones = _mm_set1_epi8(char(0xFF));
  for (; i + 16 <= bytes; i += 16) {
    const __m128i m = Load(mask + i);
    if (_mm_movemask_epi8(_mm_cmpeq_epi8(m, zero)) == 0xFFFF) {
      Store(dst + i, Load(src + i));  // opaque: the usual case inside a border
    } else if (_mm_movemask_epi8(_mm_cmpeq_epi8(m, ones)) == 0xFFFF) {
      if (bg != dst) Store(dst + i, Load(bg + i));  // transparent
    } else {
      // Src * (255 - M) + Bg * M: Bg takes the weight M.
      Store(dst + i, Blend16(Load(bg + i), Load(src + i), _mm_unpacklo_epi8(m, zero), _mm_unpackhi_epi8(m, zero)));
    }
  }
#endif
  for (; i < bytes; ++i) {
    const unsigned m = mask[i];
    dst[i] = std::uint8_t(Div255(src[i] * (255 - m) + bg[i] * m));
  }
}

namespace {

inline bool IsKey(const std::uint8_t* p, TBgr key) { return p[0] == key.B && p[1] == key.G && p[2] == key.R; }

}  // namespace

void CopyKeyed(std::uint8_t* dst, const std::uint8_t* src, const std::uint8_t* bg, int n, TBgr key) {
  int p = 0;
#if QV_HAVE_SSE2
  const TKey48 k(key);
  for (; p + 16 <= n; p += 16) {
    const std::uint8_t* s = src + 3 * p;
    std::uint8_t* d = dst + 3 * p;
    const std::uint64_t hits = k.Match(s);
    if (hits == 0) {
      if (d != s) {
        Store(d, Load(s));
        Store(d + 16, Load(s + 16));
        Store(d + 32, Load(s + 32));
      }
    } else if (hits == TKey48::kAll) {
      if (bg && bg + 3 * p != d) std::memmove(d, bg + 3 * p, 48);
    } else {
      for (int j = 0; j < 16; ++j) {
        if ((hits >> (3 * j)) & 1) {
          if (bg) std::memmove(d + 3 * j, bg + 3 * (p + j), 3);
        } else {
          std::memmove(d + 3 * j, s + 3 * j, 3);
        }
      }
    }
  }
#endif
  for (; p < n; ++p) {
    if (IsKey(src + 3 * p, key)) {
      if (bg) std::memmove(dst + 3 * p, bg + 3 * p, 3);
    } else {
      std::memmove(dst + 3 * p, src + 3 * p, 3);
    }
  }
}

void BlendKeyed(std::uint8_t* dst, const std::uint8_t* src, int n, unsigned w, TBgr key, bool hasKey) {
  if (!hasKey) {
    BlendConst(dst, dst, src, n, w);
    return;
  }
  int p = 0;
#if QV_HAVE_SSE2
  const TKey48 k(key);
  const __m128i vw = _mm_set1_epi16(short(w));
  for (; p + 16 <= n; p += 16) {
    const std::uint8_t* s = src + 3 * p;
    std::uint8_t* d = dst + 3 * p;
    const std::uint64_t hits = k.Match(s);
    if (hits == TKey48::kAll) continue;
    if (hits == 0) {
      for (int j = 0; j < 48; j += 16) Store(d + j, Blend16(Load(d + j), Load(s + j), vw, vw));
    } else {
      for (int j = 0; j < 16; ++j)
        if (!((hits >> (3 * j)) & 1))
          for (int c = 0; c < 3; ++c) d[3 * j + c] = std::uint8_t(Div255(d[3 * j + c] * w + s[3 * j + c] * (255 - w)));
    }
  }
#endif
  for (; p < n; ++p) {
    if (IsKey(src + 3 * p, key)) continue;
    for (int c = 0; c < 3; ++c) dst[3 * p + c] = std::uint8_t(Div255(dst[3 * p + c] * w + src[3 * p + c] * (255 - w)));
  }
}

// Key runs of one row: appends [start, end) pairs.
static void KeyRunsOfRow(const std::uint8_t* row, int n, TBgr key, int y, std::vector<TRect>& runs) {
  int start = -1, p = 0;
#if QV_HAVE_SSE2
  const TKey48 k(key);
  for (; p + 16 <= n; p += 16) {
    const std::uint64_t hits = k.Match(row + 3 * p);
    if (hits == 0 && start < 0) continue;
    if (hits == TKey48::kAll && start >= 0) continue;
    for (int j = 0; j < 16; ++j) {
      const bool hit = (hits >> (3 * j)) & 1;
      if (hit && start < 0) {
        start = p + j;
      } else if (!hit && start >= 0) {
        runs.push_back(TRect{start, y, p + j, y + 1});
        start = -1;
      }
    }
  }
#endif
  for (; p < n; ++p) {
    const bool hit = IsKey(row + 3 * p, key);
    if (hit && start < 0) {
      start = p;
    } else if (!hit && start >= 0) {
      runs.push_back(TRect{start, y, p, y + 1});
      start = -1;
    }
  }
  if (start >= 0) runs.push_back(TRect{start, y, n, y + 1});
}

namespace ref {

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

}  // namespace ref
}  // namespace rows

// Image kernels (fast) ------------------------------------------------------------------------

void BlendBitmaps(const TImageView& dst, const TImageView& src, int amount) {
  if (dst.Empty() || src.Empty()) return;
  const unsigned w = unsigned(std::clamp(amount, 0, 255));
  const int width = std::min(dst.Width, src.Width), height = std::min(dst.Height, src.Height);
  for (int y = 0; y < height; ++y) rows::BlendConst(dst.Row(y), dst.Row(y), src.Row(y), width, w);
}

void BlendBitmapRect(const TImageView& dst, const TImageView& src, int opacity, const TRect& srcRect, TPoint dstPoint) {
  const TTransfer t = detail::ClipTransfer(dst, src, srcRect, dstPoint.X, dstPoint.Y);
  const unsigned w = unsigned(std::clamp(opacity, 0, 255));
  for (int j = 0; j < t.H; ++j) {
    std::uint8_t* d = dst.At(t.DX, t.DY + j);
    rows::BlendConst(d, src.At(t.SX, t.SY + j), d, t.W, w);
  }
}

void BlendRectKeyed(const TImageView& dst, int x, int y, const TImageView& src, const TRect& srcRect, double k,
                    TColorRef keyColor) {
  const TTransfer t = detail::ClipTransfer(dst, src, srcRect, x, y);
  const unsigned w = WeightOf(k);
  const bool hasKey = HasColorKey(keyColor);
  const TBgr key = BgrOf(keyColor);
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
  const TBgr col = BgrOf(color);
  std::vector<std::uint8_t> colorRow(std::size_t(w) * 3);
  for (int x = 0; x < w; ++x) {
    colorRow[3 * x] = col.B;
    colorRow[3 * x + 1] = col.G;
    colorRow[3 * x + 2] = col.R;
  }
  for (int y = c.Top; y < c.Bottom; ++y) {
    std::uint8_t* row = img.At(c.Left, y);
    rows::BlendConst(row, row, colorRow.data(), w, keep);
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

void CopyTransparent(const TImageView& dst, const TImageView& src, int x, int y, TColorRef keyColor) {
  const TTransfer t = detail::ClipTransfer(dst, src, TRect{0, 0, src.Width, src.Height}, x, y);
  const TBgr key = BgrOf(keyColor);
  for (int j = 0; j < t.H; ++j) rows::CopyKeyed(dst.At(t.DX, t.DY + j), src.At(t.SX, t.SY + j), nullptr, t.W, key);
}

void CopyTransparentRect(const TImageView& dst, const TImageView& src, int x, int y, const TRect& srcRect,
                         TColorRef keyColor, const TCacheView& cache, bool useCache) {
  const TTransfer t = detail::ClipTransfer(dst, src, srcRect, x, y);
  const TBgr key = BgrOf(keyColor);
  const bool withCache = useCache && cache.Usable();
  for (int j = 0; j < t.H; ++j) {
    std::uint8_t* d = dst.At(t.DX, t.DY + j);
    const std::uint8_t* s = src.At(t.SX, t.SY + j);
    if (!withCache) {
      rows::CopyKeyed(d, s, nullptr, t.W, key);
      continue;
    }
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

namespace {

// Grey scale of one row; with a key, runs of 16 key pixels are passed over whole.
void GrayRow(std::uint8_t* row, int n, const TBgr* key) {
  int p = 0;
#if QV_HAVE_SSE2
  if (key) {
    const TKey48 match(*key);
    for (; p + 16 <= n; p += 16) {
      std::uint8_t* d = row + 3 * p;
      const std::uint64_t hits = match.Match(d);
      if (hits == TKey48::kAll) continue;
      for (int j = 0; j < 16; ++j, d += 3)
        if (!((hits >> (3 * j)) & 1)) d[0] = d[1] = d[2] = detail::GrayOf(d[0], d[1], d[2]);
    }
  }
#endif
  for (; p < n; ++p) {
    std::uint8_t* d = row + 3 * p;
    if (key && d[0] == key->B && d[1] == key->G && d[2] == key->R) continue;
    d[0] = d[1] = d[2] = detail::GrayOf(d[0], d[1], d[2]);
  }
}

}  // namespace

void GrayscaleBmp(const TImageView& img) {
  if (img.Empty()) return;
  for (int y = 0; y < img.Height; ++y) GrayRow(img.Row(y), img.Width, nullptr);
}

void GrayscaleBmpKeyed(const TImageView& img, TColorRef key) {
  if (img.Empty()) return;
  const TBgr k = BgrOf(key);
  for (int y = 0; y < img.Height; ++y) GrayRow(img.Row(y), img.Width, &k);
}

void CollectKeyRuns(const TImageView& img, TColorRef key, std::vector<TRect>& runs) {
  if (img.Empty()) return;
  const TBgr k = BgrOf(key);
  for (int y = 0; y < img.Height; ++y) rows::KeyRunsOfRow(img.Row(y), img.Width, k, y, runs);
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
