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

// Blocks of rows ----------------------------------------------------------------------------------

namespace rows {
namespace {

// Rows that touch in every walk (each walked forwards by exactly its row's bytes) as one long row.
template <class... W>
void Flatten(std::size_t& bytes, int& count, const W&... walks) {
  if (count > 1 && ((walks.Stride == std::ptrdiff_t(bytes)) && ...)) {
    bytes *= std::size_t(count);
    count = 1;
  }
}

// Rows whose walks all step forwards by one stride a few bytes longer than a row (a DIB's rows,
// padded to whole words), a whole number of Units: Fn(first row, length) runs over pieces of rows
// as one long row each, and the bytes between the destination's rows are kept aside and put back
// after each piece (they may be pixels of a wider image the destination is part of). A piece is
// what the first-level cache holds, so that the bytes are put back into lines still there (after
// a larger piece each of them waited for its line). false when the rows are not laid out so.
template <class Fn, class... W>
bool AcrossPadding(const TRowsOut& dst, std::size_t bytes, int count, std::ptrdiff_t unit, Fn&& fn, const W&... walks) {
  const std::ptrdiff_t stride = dst.Stride, gap = stride - std::ptrdiff_t(bytes);
  if (count < 2 || gap <= 0 || gap > 3 || gap % unit != 0 || !((walks.Stride == stride) && ...)) return false;
  constexpr int kMaxPiece = 64;
  constexpr std::ptrdiff_t kPieceBytes = 16384;
  const int piece = int(std::clamp<std::ptrdiff_t>(kPieceBytes / stride, 2, kMaxPiece));
  std::uint8_t kept[kMaxPiece * 3];
  for (int first = 0; first < count; first += piece) {
    const int n = std::min(piece, count - first);
    std::uint8_t* p = dst.P + first * stride + std::ptrdiff_t(bytes);
    // The gaps are a byte to three, moved byte by byte: written out, so that no compiler makes a
    // call of the C library's copy of each (which costs more than a row's pixels at the sizes of a
    // control).
    auto move = [gap](std::uint8_t* to, const std::uint8_t* from) {
      to[0] = from[0];
      if (gap > 1) to[1] = from[1];
      if (gap > 2) to[2] = from[2];
    };
    for (int i = 0; i + 1 < n; ++i) move(kept + i * gap, p + i * stride);
    fn(first, std::size_t(n - 1) * std::size_t(stride) + bytes);
    for (int i = 0; i + 1 < n; ++i) move(p + i * stride, kept + i * gap);
  }
  return true;
}

template <class T>
TStrided<T> From(const TStrided<T>& walk, int row) {
  return TStrided<T>{walk.P + row * walk.Stride, 0};
}

}  // namespace

// A destination of at least this many bytes, written apart from its sources, is larger than the
// share of the caches a kernel can count on: it is written past them (a full-screen frame).
constexpr std::size_t kStreamBytes = std::size_t(4) << 20;

void BlendRows(TRowsOut dst, TRowsIn a, TRowsIn b, std::size_t bytes, int count, unsigned w) {
  if (bytes == 0 || count <= 0) return;
  const bool stream = bytes * std::size_t(count) >= kStreamBytes && dst.P != a.P && dst.P != b.P;
  Flatten(bytes, count, dst, a, b);
  auto blend = [&](TRowsOut d, TRowsIn x, TRowsIn y, std::size_t n, int rows) {
    if (w > 0 && w < 255) {
      (stream ? Kernels().BlendConstStream : Kernels().BlendConst)(d, x, y, n, rows, w);
      return;
    }
    const TRowsIn from = w >= 255 ? x : y;
    for (int r = 0; r < rows; ++r) {
      std::uint8_t* to = d.P + r * d.Stride;
      const std::uint8_t* s = from.P + r * from.Stride;
      if (to != s) std::memmove(to, s, n);
    }
  };
  // Rows written past the caches go row by row: the bytes between them are never written, so no
  // line is put back into the caches after it was streamed.
  if (!stream &&
      AcrossPadding(
          dst, bytes, count, 1,
          [&](int first, std::size_t n) { blend(From(dst, first), From(a, first), From(b, first), n, 1); }, a, b))
    return;
  blend(dst, a, b, bytes, count);
}

void CopyRows(TRowsOut dst, TRowsIn src, std::size_t bytes, int count) {
  if (bytes == 0 || count <= 0) return;
  Flatten(bytes, count, dst, src);
  if (AcrossPadding(
          dst, bytes, count, 1,
          [&](int first, std::size_t n) { Kernels().Copy(dst.P + first * dst.Stride, src.P + first * src.Stride, n); },
          src))
    return;
  for (int r = 0; r < count; ++r) std::memcpy(dst.P + r * dst.Stride, src.P + r * src.Stride, bytes);
}

void CopyKeyedRows(TRowsOut dst, TRowsIn src, TRowsIn bg, int n, int count, const TKeyPattern& key) {
  if (n <= 0 || count <= 0) return;
  std::size_t bytes = std::size_t(n) * 3;
  if ((long long)n * count > INT32_MAX / 2) {
    Kernels().CopyKeyed(dst, src, bg, n, count, key);
    return;
  }
  auto run = [&](int first, std::size_t length) {
    Kernels().CopyKeyed(From(dst, first), From(src, first), bg.P ? From(bg, first) : TRowsIn{}, int(length / 3), 1,
                        key);
  };
  if (bg.P) {
    Flatten(bytes, count, dst, src, bg);
    if (AcrossPadding(dst, bytes, count, 3, run, src, bg)) return;
  } else {
    Flatten(bytes, count, dst, src);
    if (AcrossPadding(dst, bytes, count, 3, run, src)) return;
  }
  Kernels().CopyKeyed(dst, src, bg, int(bytes / 3), count, key);
}

void BlendMaskRows(TRowsOut dst, TRowsIn src, TRowsIn mask, TRowsIn bg, int n, int count) {
  if (n <= 0 || count <= 0) return;
  std::size_t bytes = std::size_t(n) * 3;
  Flatten(bytes, count, dst, src, mask, bg);
  if (AcrossPadding(
          dst, bytes, count, 1,
          [&](int first, std::size_t length) {
            Kernels().BlendMask(From(dst, first), From(src, first), From(mask, first), From(bg, first), length, 1);
          },
          src, mask, bg))
    return;
  Kernels().BlendMask(dst, src, mask, bg, bytes, count);
}

}  // namespace rows

// Image kernels (fast) ------------------------------------------------------------------------
//
// Every block is walked in the destination's memory order (detail::WalkRows) and handed to the row
// kernels whole, so that the kernels' set-up is made once per block, not once per row.

using detail::WalkRows;
using detail::WalkRowsIn;

void BlendBitmaps(const TImageView& dst, const TImageView& src, int amount) {
  if (dst.Empty() || src.Empty()) return;
  const unsigned w = unsigned(std::clamp(amount, 0, 255));
  const int width = std::min(dst.Width, src.Width), height = std::min(dst.Height, src.Height);
  const bool up = dst.Stride < 0;
  rows::BlendRows(WalkRows(dst, 0, 0, height, up), WalkRowsIn(dst, 0, 0, height, up), WalkRowsIn(src, 0, 0, height, up),
                  std::size_t(width) * 3, height, w);
}

void BlendBitmapsInto(const TImageView& dst, const TImageView& a, const TImageView& b, int amount) {
  if (dst.Empty() || a.Empty() || b.Empty()) return;
  const unsigned w = unsigned(std::clamp(amount, 0, 255));
  const int width = std::min({dst.Width, a.Width, b.Width}), height = std::min({dst.Height, a.Height, b.Height});
  const bool up = dst.Stride < 0;
  rows::BlendRows(WalkRows(dst, 0, 0, height, up), WalkRowsIn(a, 0, 0, height, up), WalkRowsIn(b, 0, 0, height, up),
                  std::size_t(width) * 3, height, w);
}

void BlendBitmapRect(const TImageView& dst, const TImageView& src, int opacity, const TRect& srcRect, TPoint dstPoint) {
  const TTransfer t = detail::ClipTransfer(dst, src, srcRect, dstPoint.X, dstPoint.Y);
  if (t.W <= 0 || t.H <= 0) return;
  const unsigned w = unsigned(std::clamp(opacity, 0, 255));
  const bool up = dst.Stride < 0;
  rows::BlendRows(WalkRows(dst, t.DX, t.DY, t.H, up), WalkRowsIn(src, t.SX, t.SY, t.H, up),
                  WalkRowsIn(dst, t.DX, t.DY, t.H, up), std::size_t(t.W) * 3, t.H, w);
}

void BlendRectKeyed(const TImageView& dst, int x, int y, const TImageView& src, const TRect& srcRect, double k,
                    TColorRef keyColor) {
  const TTransfer t = detail::ClipTransfer(dst, src, srcRect, x, y);
  if (t.W <= 0 || t.H <= 0) return;
  const unsigned w = WeightOf(k);
  const bool hasKey = HasColorKey(keyColor);
  TKeyPattern scratch(TBgr{});
  const TKeyPattern& key = KeyPatternOf(BgrOf(keyColor), scratch);
  const bool up = dst.Stride < 0;
  const rows::TRowsOut d = WalkRows(dst, t.DX, t.DY, t.H, up);
  const rows::TRowsIn s = WalkRowsIn(src, t.SX, t.SY, t.H, up);
  if (hasKey)
    rows::Kernels().BlendKeyed(d, s, t.W, t.H, w, key);
  else
    rows::BlendRows(d, rows::TRowsIn{d.P, d.Stride}, s, std::size_t(t.W) * 3, t.H, w);
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
  const bool up = img.Stride < 0;
  for (int i = 0; i < h; ++i) {
    std::uint8_t* row = img.At(c.Left, c.Top + detail::WalkRow(i, h, up));
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

// Copies the block T of Src to Dst skipping key pixels.
void CopyKeyedBlock(const TImageView& dst, const TImageView& src, const TTransfer& t, const TKeyPattern& key) {
  if (t.W <= 0 || t.H <= 0) return;
  const bool up = dst.Stride < 0;
  rows::CopyKeyedRows(WalkRows(dst, t.DX, t.DY, t.H, up), WalkRowsIn(src, t.SX, t.SY, t.H, up), rows::TRowsIn{}, t.W,
                      t.H, key);
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
  const bool up = dst.Stride < 0;
  for (int i = 0; i < t.H; ++i) {
    const int j = detail::WalkRow(i, t.H, up);
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
  if (t.W <= 0 || t.H <= 0) return;
  const bool up = dst.Stride < 0;
  if (!(fillFromCache && cache.Usable())) {
    const rows::TRowsOut d = WalkRows(dst, t.DX, t.DY, t.H, up);
    rows::BlendMaskRows(d, WalkRowsIn(src, t.SX, t.SY, t.H, up), WalkRowsIn(src, t.SX, t.SY + upper.Height, t.H, up),
                        rows::TRowsIn{d.P, d.Stride}, t.W, t.H);
    return;
  }
  for (int i = 0; i < t.H; ++i) {
    const int j = detail::WalkRow(i, t.H, up);
    std::uint8_t* d = dst.At(t.DX, t.DY + j);
    const std::uint8_t* s = src.At(t.SX, t.SY + j);
    const std::uint8_t* m = src.At(t.SX, t.SY + j + upper.Height);
    detail::ForCacheParts(cache, t.DY + j, t.DX, t.W, [&](int off, int n, const std::uint8_t* bg) {
      rows::BlendMask(d + 3 * off, s + 3 * off, m + 3 * off, bg ? bg : d + 3 * off, n);
    });
  }
}

namespace {

void GrayRows(const TImageView& img, const TKeyPattern* key) {
  if (img.Empty()) return;
  rows::TRowsOut walk = WalkRows(img, 0, 0, img.Height, img.Stride < 0);
  int n = img.Width, count = img.Height;
  if (walk.Stride == 3 * std::ptrdiff_t(n) && (long long)n * count <= INT32_MAX) n *= count, count = 1;
  rows::Kernels().Gray(walk, n, count, key);
}

}  // namespace

void FillRect(const TImageView& img, const TRect& r, TColorRef color) {
  const TRect c = detail::ClipToImage(img, r);
  if (c.IsEmpty()) return;
  // The first row in memory filled, the others copied from it.
  const int h = c.Height();
  const std::size_t n = std::size_t(c.Width());
  const bool up = img.Stride < 0;
  const TBgr col = BgrOf(color);
  const std::uint8_t pixel[3] = {col.B, col.G, col.R};
  std::uint8_t* first = img.At(c.Left, c.Top + detail::WalkRow(0, h, up));
  rows::Kernels().Fill(first, pixel, n);
  for (int i = 1; i < h; ++i) rows::Kernels().Copy(img.At(c.Left, c.Top + detail::WalkRow(i, h, up)), first, 3 * n);
}

void GrayscaleBmp(const TImageView& img) { GrayRows(img, nullptr); }

void GrayscaleBmpKeyed(const TImageView& img, TColorRef key) {
  TKeyPattern scratch(TBgr{});
  GrayRows(img, &KeyPatternOf(BgrOf(key), scratch));
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
  bool scattered = false;
  for (int y = 0; y < img.Height; ++y) {
    index.First.push_back(int(index.Runs.size()));
    runs.clear();
    rows::Kernels().KeyRuns(img.Row(y), img.Width, k, y, runs);
    for (const TRect& r : runs) index.Runs.push_back(TKeyRunIndex::TRun{r.Left, r.Right});
    scattered = scattered || int(runs.size()) > TKeyRunIndex::ScatteredRuns(img.Width);
  }
  index.First.push_back(int(index.Runs.size()));
  if (!scattered || !rows::KernelsOf(rows::BestLevel())->CopyByBits) return;
  // The bits: every byte of a row set, then the bytes of its runs cleared.
  const std::size_t rowBytes = std::size_t(img.Width) * 3;
  index.RowWords = (rowBytes + 63) / 64;
  index.Bits.assign(1 + index.RowWords * std::size_t(img.Height) + 16, 0);
  auto set = [&](std::uint64_t* row, std::size_t from, std::size_t to, bool on) {
    for (std::size_t i = from; i < to;) {
      const std::size_t bit = i % 64, n = std::min<std::size_t>(64 - bit, to - i);
      const std::uint64_t m = (n == 64 ? ~std::uint64_t(0) : ((std::uint64_t(1) << n) - 1)) << bit;
      row[i / 64] = on ? row[i / 64] | m : row[i / 64] & ~m;
      i += n;
    }
  };
  for (int y = 0; y < img.Height; ++y) {
    std::uint64_t* row = index.Bits.data() + 1 + std::size_t(y) * index.RowWords;
    set(row, 0, rowBytes, true);
    for (int r = index.First[std::size_t(y)]; r < index.First[std::size_t(y) + 1]; ++r)
      set(row, 3 * std::size_t(index.Runs[std::size_t(r)].Left), 3 * std::size_t(index.Runs[std::size_t(r)].Right),
          false);
  }
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
    const bool up = dst.Stride < 0;
    const rows::TRowsOut d = WalkRows(dst, t.DX, t.DY, t.H, up);
    const rows::TRowsIn s = WalkRowsIn(src, t.SX, t.SY, t.H, up);
    rows::CopyRows(d, s, std::size_t(t.W) * 3, t.H);
    return;
  }
  const bool withCache = useCache && cache.Usable();
  TKeyPattern scratch(TBgr{});
  const TKeyPattern& key = KeyPatternOf(index.Key, scratch);
  // Opaque stretches go out as one copy for as long as they run on in both images (from one row
  // into the next where rows touch); rows are taken in the destination's memory order. A stretch of
  // a row or so is copied by the row kernel, a long one by the C library.
  std::uint8_t* pd = nullptr;
  const std::uint8_t* ps = nullptr;
  std::size_t pn = 0;
  const auto copy = rows::Kernels().Copy;
  auto flush = [&] {
    if (pn > 16384)
      std::memcpy(pd, ps, pn);
    else if (pn > 0)
      copy(pd, ps, pn);
  };
  auto opaque = [&](std::uint8_t* d, const std::uint8_t* s, std::size_t n) {
    if (n == 0) return;
    if (pn && d == pd + pn && s == ps + pn) {
      pn += n;
      return;
    }
    flush();
    pd = d, ps = s, pn = n;
  };
  auto behind = [&](std::uint8_t* d, int dy, int dx, int n) {
    if (!withCache) return;
    detail::ForCacheParts(cache, dy, dx, n, [&](int off, int m, const std::uint8_t* bg) {
      if (bg) std::memcpy(d + 3 * std::size_t(off), bg, 3 * std::size_t(m));
    });
  };
  // Rows of scattered key pixels go to the vector kernels together while they follow one another
  // (they do better there than many small copies): the copy by bits where the index holds them, else
  // the copy that compares each pixel with the key.
  const bool up = dst.Stride < 0;
  const rows::TRowsOut dw = WalkRows(dst, t.DX, t.DY, t.H, up);
  const rows::TRowsIn sw = WalkRowsIn(src, t.SX, t.SY, t.H, up);
  int scattered = 0, from = 0;
  const auto byBits = index.Bits.empty() ? nullptr : rows::Kernels().CopyByBits;
  auto copyScattered = [&] {
    if (scattered == 0) return;
    const rows::TRowsOut d{dw.P + from * dw.Stride, dw.Stride};
    const rows::TRowsIn s{sw.P + from * sw.Stride, sw.Stride};
    if (byBits) {
      const std::ptrdiff_t words = std::ptrdiff_t(index.RowWords);
      const int sy = up ? t.SY + t.H - 1 - from : t.SY + from;
      byBits(d, s, index.Bits.data() + 1 + sy * words, up ? -words : words, 3 * std::size_t(t.SX), 3 * std::size_t(t.W),
             scattered);
    } else {
      rows::CopyKeyedRows(d, s, rows::TRowsIn{}, t.W, scattered, key);
    }
    scattered = 0;
  };
  // The rows in the walk's order, their pointers stepped from one row to the next, and no call for a
  // stretch of no bytes: a row of a skin's border holds a few runs, and its bookkeeping must cost
  // little beside its copy.
  const TKeyRunIndex::TRun* const runs = index.Runs.data();
  const int* const first = index.First.data();
  const int stop = t.SX + t.W, step = up ? -1 : 1, scatteredRuns = TKeyRunIndex::ScatteredRuns(t.W);
  std::uint8_t* d = dw.P;
  const std::uint8_t* s = sw.P;
  for (int i = 0, sy = up ? t.SY + t.H - 1 : t.SY; i < t.H; ++i, sy += step, d += dw.Stride, s += sw.Stride) {
    const TKeyRunIndex::TRun* run = runs + first[sy];
    const TKeyRunIndex::TRun* const end = runs + first[sy + 1];
    const int dy = t.DY + (sy - t.SY);
    if (end - run > scatteredRuns) {
      if (!withCache) {
        if (scattered++ == 0) from = i;
        continue;
      }
      detail::ForCacheParts(cache, dy, t.DX, t.W, [&](int off, int n, const std::uint8_t* bg) {
        rows::CopyKeyed(d + 3 * off, s + 3 * off, bg, n, key);
      });
      continue;
    }
    copyScattered();
    int pos = t.SX;
    for (; run != end && run->Left < stop; ++run) {
      if (run->Right <= pos) continue;
      const int a = std::max(run->Left, pos), b = std::min(run->Right, stop);
      if (a > pos) opaque(d + 3 * std::size_t(pos - t.SX), s + 3 * std::size_t(pos - t.SX), 3 * std::size_t(a - pos));
      if (withCache) behind(d + 3 * std::size_t(a - t.SX), dy, t.DX + (a - t.SX), b - a);
      pos = b;
    }
    if (stop > pos)
      opaque(d + 3 * std::size_t(pos - t.SX), s + 3 * std::size_t(pos - t.SX), 3 * std::size_t(stop - pos));
  }
  copyScattered();
  flush();
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

void FillRect(const TImageView& img, const TRect& r, TColorRef color) {
  if (img.Empty()) return;
  const TRect c = IntersectRects(r, TRect{0, 0, img.Width, img.Height});
  const TBgr col = BgrOf(color);
  for (int y = c.Top; y < c.Bottom; ++y)
    for (int x = c.Left; x < c.Right; ++x) img.SetPixel(x, y, col);
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
