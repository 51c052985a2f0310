#include "skin/engine/core/acMaskPaint.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <iterator>

#include "skin/engine/core/acPixelKernelsImpl.h"

namespace qv {

namespace {

constexpr TBgr kKey{0xFF, 0x00, 0xFF};
constexpr TBgr kWhite{0xFF, 0xFF, 0xFF};

// What becomes of a transparent pixel.
enum class TBehind {
  Keep,   // Dst stays (or the cache image under it, when one is given)
  AsKey,  // the key colour is written (region painting)
};

// One of the three stretches of a nine-piece axis: target positions [T0, T1) taken from frame
// positions [S0, S0 + SLen); TLen = T1 - T0.
struct TAxisPiece {
  long long T0 = 0, T1 = 0;
  int S0 = 0, SLen = 0;
  bool Tile = false;
  bool Empty() const { return T1 <= T0 || SLen <= 0; }
  bool Identity() const { return SLen == T1 - T0; }
};

// The frame place of target places t = T, T + 1, ... of a piece: S0 + (t - T0) % SLen tiled,
// S0 + (t - T0) * SLen / (T1 - T0) stretched, stepped without a division per place.
class TAxisWalk {
 public:
  TAxisWalk(const TAxisPiece& p, long long t) : P_(p) {
    const long long rel = t - p.T0, len = p.T1 - p.T0;
    if (p.Tile) {
      Q_ = rel % p.SLen;
    } else {
      Q_ = rel * p.SLen / len;
      Rem_ = rel * p.SLen % len;
      StepQ_ = p.SLen / len;
      StepR_ = p.SLen % len;
    }
  }
  int operator*() const { return P_.S0 + int(Q_); }
  void operator++() {
    if (P_.Tile) {
      if (++Q_ == P_.SLen) Q_ = 0;
      return;
    }
    Q_ += StepQ_;
    Rem_ += StepR_;
    if (Rem_ >= P_.T1 - P_.T0) Rem_ -= P_.T1 - P_.T0, ++Q_;
  }

 private:
  const TAxisPiece& P_;
  long long Q_ = 0, Rem_ = 0, StepQ_ = 0, StepR_ = 0;
};

// The three pieces of an axis of target length D over a frame of length F with margins A, B
// (already limited to the frame): the start and end margins 1:1 (cut to the target, keeping the
// outer pixels), the middle stretched or tiled.
void AxisPieces(long long d, int f, int a, int b, bool tile, TAxisPiece out[3]) {
  for (int i = 0; i < 3; ++i) out[i] = TAxisPiece{};
  if (d <= 0) return;
  const long long ta = std::min<long long>(a, d), tb = std::min<long long>(b, d - ta);
  out[0] = TAxisPiece{0, ta, 0, int(ta), false};
  out[2] = TAxisPiece{d - tb, d, int(f - tb), int(tb), false};
  out[1] = TAxisPiece{ta, d - tb, a, f - a - b, tile};
}

bool Same(const std::uint8_t* p, TBgr c) { return p[0] == c.B && p[1] == c.G && p[2] == c.R; }

// The part of Dst under R as a view of its own, and where R's top-left corner lies in it.
TImageView ClipView(const TImageView& dst, const TRect& r, TPoint& origin) {
  const long long l = std::max<long long>(r.Left, 0), t = std::max<long long>(r.Top, 0);
  const long long rr = std::min<long long>(r.Right, dst.Width), b = std::min<long long>(r.Bottom, dst.Height);
  if (dst.Empty() || rr <= l || b <= t) return {};
  origin = TPoint{int(r.Left - l), int(r.Top - t)};
  return TImageView{int(rr - l), int(b - t), dst.Stride, dst.At(int(l), int(t))};
}

template <typename Paint>
void CornerImagesWith(const TImageView& dst, const TRect& r, int state, const TMaskFrames* const corners[4],
                      Paint paint) {
  TPoint o{};
  const TImageView v = ClipView(dst, r, o);
  if (v.Empty() || !corners) return;
  const long long w = (long long)r.Right - r.Left, h = (long long)r.Bottom - r.Top;
  for (int i = 0; i < 4; ++i) {
    if (!corners[i]) continue;
    const TMaskFrame f = MaskFrameOf(*corners[i], state);
    if (!f.Valid) continue;
    const long long x = o.X + ((i & 1) ? w - f.W : 0), y = o.Y + ((i & 2) ? h - f.H : 0);
    // Far outside the view (absurd rectangles): nothing of the image can land in it.
    if (x < -f.W || y < -f.H || x > v.Width || y > v.Height) continue;
    paint(v, TPoint{int(x), int(y)}, *corners[i]);
  }
}

}  // namespace

TMaskFrame MaskFrameOf(const TMaskFrames& mask, int state) {
  TMaskFrame f;
  if (mask.Image.Empty()) return f;
  const TRect rc = IntersectRects(mask.R, TRect{0, 0, mask.Image.Width, mask.Image.Height});
  if (rc.IsEmpty()) return f;
  const int count = std::max(1, mask.ImageCount);
  f.Type = mask.MaskType == 1 ? 1 : 0;
  f.W = rc.Width() / count;
  f.H = rc.Height() / (f.Type + 1);
  if (f.W <= 0 || f.H <= 0) return TMaskFrame{};
  state = std::clamp(state, 0, count - 1);
  f.X = rc.Left + state * f.W;
  f.Y = rc.Top;
  f.MaskDY = f.Type ? f.H : 0;
  f.ML = std::clamp(mask.MarginLeft, 0, f.W);
  f.MR = std::clamp(mask.MarginRight, 0, f.W - f.ML);
  f.MT = std::clamp(mask.MarginTop, 0, f.H);
  f.MB = std::clamp(mask.MarginBottom, 0, f.H - f.MT);
  f.Valid = true;
  return f;
}

namespace {

// Lays Count pixels of a frame row (Src, and its mask row for type 1) onto Dst at (DX, DY).
void CompositeRow(const TImageView& dst, int dx, int dy, const std::uint8_t* src, const std::uint8_t* mask, int count,
                  int type, TBehind behind, const TCacheView* cache) {
  std::uint8_t* d = dst.At(dx, dy);
  if (type == 0) {
    if (behind == TBehind::AsKey) {
      std::memmove(d, src, std::size_t(count) * 3);
    } else if (!cache) {
      rows::CopyKeyed(d, src, nullptr, count, kMagentaKey);
    } else {
      detail::ForCacheParts(*cache, dy, dx, count, [&](int off, int n, const std::uint8_t* bg) {
        rows::CopyKeyed(d + 3 * off, src + 3 * off, bg, n, kMagentaKey);
      });
    }
    return;
  }
  if (!cache || behind == TBehind::AsKey) {
    rows::BlendMask(d, src, mask, d, count);
  } else {
    detail::ForCacheParts(*cache, dy, dx, count, [&](int off, int n, const std::uint8_t* bg) {
      rows::BlendMask(d + 3 * off, src + 3 * off, mask + 3 * off, bg ? bg : d + 3 * off, n);
    });
  }
  if (behind == TBehind::AsKey)
    for (int i = 0; i < count; ++i)
      if (Same(mask + 3 * i, kWhite)) std::memcpy(d + 3 * i, &kKey, 3);
}

// What the composed rows of an entry were made from.
struct TRowsKey {
  long long Width = 0, C0 = 0, C1 = 0;  // target width and its visible columns [C0, C1) (first: they
                                        // tell most entries apart)
  const std::uint8_t* Bits = nullptr;
  std::ptrdiff_t Stride = 0;
  int FX = 0, FY = 0, FW = 0, FH = 0, MaskDY = 0, Type = 0, ML = 0, MR = 0;
  bool Tile = false;
  friend bool operator==(const TRowsKey&, const TRowsKey&) = default;
};

enum TRowKind : std::uint8_t { kOpaque, kClear, kMixed };

}  // namespace

// The rows of one state frame of a mask laid out at the width of a target, each composed once, when
// first painted: its pixels (and mask bytes for mask type 1) over the visible columns, whether it
// is opaque, clear or mixed, and for mask type 0 its runs of key pixels. Rows of tall frames at
// wide targets share one slot (composed again whenever another row is wanted).
struct TMaskPaintCache::TRows {
  TRowsKey Key;
  int N = 0;      // visible columns
  int Slots = 0;  // Key.FH, or 1
  // Bytes left as they are when the size changes: every slot is written whole before it is read.
  struct TBytes {
    std::unique_ptr<std::uint8_t[]> P;
    std::size_t Capacity = 0;
    void Resize(std::size_t n) {
      if (n > Capacity) P.reset(new std::uint8_t[n]), Capacity = n;
    }
    std::uint8_t* data() const { return P.get(); }
  } Pixels, Masks;
  std::vector<int> SlotRow;  // frame row composed in each slot, -1 when none
  std::vector<std::uint8_t> Kind;
  std::vector<std::vector<TRect>> Runs;  // Left / Right: columns from C0
  std::vector<int> SrcX;                 // frame column of each visible column
  // The visible part of each column piece: columns [From, To) counted from C0, taken 1:1 from frame
  // column S0 on, or stretched or tiled over the SLen frame columns from S0.
  struct TPiece {
    int From = 0, To = 0, S0 = 0, SLen = 0;
    bool Identity = false;
    int FirstRun = 0, Runs = 0;  // its runs in ColumnRuns when it is filled run by run, else Runs 0
  } Pieces[3];
  // The runs of columns that show one frame column each, for a piece stretched to several times
  // its frame width: each run is filled with its column's colour instead of copied pixel by pixel.
  struct TColumnRun {
    int From, N, SrcX;
  };
  std::vector<TColumnRun> ColumnRuns;
  // Per frame row of mask type 0, 0 when the key runs of the mask's image show it holds no key
  // pixel (its composed row is then opaque without a look at it), else 1.
  std::vector<std::uint8_t> KeyRows;
  std::uint64_t LastUse = 0;

  std::size_t Bytes() const {
    return Pixels.Capacity + Masks.Capacity + SrcX.capacity() * sizeof(int) +
           ColumnRuns.capacity() * sizeof(TColumnRun) + KeyRows.capacity() + 256;
  }
  void Reset(const TRowsKey& key, const TAxisPiece cols[3], const TMaskFrames& mask);
  // Slot of frame row SY, composed when it holds another row.
  int Row(const TImageView& image, int sy) {
    const int slot = Slots == 1 ? 0 : sy;
    return SlotRow[std::size_t(slot)] == sy ? slot : Compose(image, sy, slot);
  }
  int Compose(const TImageView& image, int sy, int slot);
  std::uint64_t Hash = 0;  // of Key, told apart first when an entry is looked for
};

namespace {

constexpr std::size_t kMaxComposedBytes = std::size_t(1) << 24;

// The N pixels at P are all of one colour: each is the one before it, compared eight bytes at a
// time (the pieces are short: no call).
bool SameColour(const std::uint8_t* p, int n) {
  const std::size_t bytes = n > 1 ? 3 * std::size_t(n - 1) : 0;
  std::size_t i = 0;
  for (; i + 8 <= bytes; i += 8) {
    std::uint64_t a, b;
    std::memcpy(&a, p + i, 8);
    std::memcpy(&b, p + i + 3, 8);
    if (a != b) return false;
  }
  for (; i < bytes; ++i)
    if (p[i] != p[i + 3]) return false;
  return true;
}

// N pixels from S to D; short runs (a margin) without a call.
void CopyPixels(std::uint8_t* d, const std::uint8_t* s, std::size_t n) {
  if (n > 8) {
    rows::Kernels().Copy(d, s, 3 * n);
    return;
  }
  for (std::size_t i = 0; i < 3 * n; ++i) d[i] = s[i];
}

// N pixels at D of the colour at Pixel.
void FillPixel(std::uint8_t* d, const std::uint8_t* pixel, std::size_t n) { rows::Kernels().Fill(d, pixel, n); }

}  // namespace

void TMaskPaintCache::TRows::Reset(const TRowsKey& key, const TAxisPiece cols[3], const TMaskFrames& mask) {
  Key = key;
  N = int(key.C1 - key.C0);
  const std::size_t rowBytes = std::size_t(N) * 3;
  Slots = rowBytes * std::size_t(key.FH) <= kMaxComposedBytes ? key.FH : 1;
  Pixels.Resize(rowBytes * std::size_t(Slots));
  Masks.Resize(key.Type ? rowBytes * std::size_t(Slots) : 0);
  KeyRows.assign(key.Type == 0 ? std::size_t(key.FH) : 0, 1);
  const TKeyRunIndex* index = mask.KeyRuns;
  if (key.Type == 0 && index && index->Key == kMagentaKey.Key && index->Matches(mask.Image))
    for (int y = 0; y < key.FH; ++y) {
      bool found = false;
      for (int r = index->First[std::size_t(key.FY + y)]; !found && r < index->First[std::size_t(key.FY + y) + 1]; ++r)
        found = index->Runs[std::size_t(r)].Left < key.FX + key.FW && index->Runs[std::size_t(r)].Right > key.FX;
      KeyRows[std::size_t(y)] = found;
    }
  SlotRow.assign(std::size_t(Slots), -1);
  Kind.assign(std::size_t(Slots), kOpaque);
  Runs.resize(std::size_t(Slots));
  // The column map, stepped without a division per column.
  SrcX.assign(std::size_t(N), 0);  // columns of pieces without pixels are never painted
  for (int pc = 0; pc < 3; ++pc) {
    const TAxisPiece& cp = cols[pc];
    const long long a = std::max(cp.T0, key.C0), b = std::min(cp.T1, key.C1);
    Pieces[pc] = TPiece{};
    if (cp.Empty() || b <= a) continue;
    Pieces[pc] = TPiece{int(a - key.C0), int(b - key.C0), cp.S0, cp.SLen, cp.Identity()};
    const long long len = cp.T1 - cp.T0;
    int* out = SrcX.data() + (a - key.C0);
    if (cp.Identity()) {
      for (long long t = a; t < b; ++t) *out++ = cp.S0 + int(t - cp.T0);
    } else if (cp.Tile) {
      int s = int((a - cp.T0) % cp.SLen);
      for (long long t = a; t < b; ++t) {
        *out++ = cp.S0 + s;
        if (++s == cp.SLen) s = 0;
      }
    } else {
      // (t - T0) * SLen / len, with quotient and remainder carried from column to column.
      const long long start = (a - cp.T0) * cp.SLen;
      long long q = start / len, rem = start % len;
      const long long stepQ = cp.SLen / len, stepR = cp.SLen % len;
      for (long long t = a; t < b; ++t) {
        *out++ = cp.S0 + int(q);
        q += stepQ;
        rem += stepR;
        if (rem >= len) rem -= len, ++q;
      }
    }
  }
  // Pieces stretched to at least kRunPixels times their frame width go run by run.
  constexpr int kRunPixels = 8;
  ColumnRuns.clear();
  for (int pc = 0; pc < 3; ++pc) {
    TPiece& p = Pieces[pc];
    if (p.Identity || cols[pc].Tile || p.To <= p.From || (long long)p.SLen * kRunPixels > cols[pc].T1 - cols[pc].T0)
      continue;
    p.FirstRun = int(ColumnRuns.size());
    for (int x = p.From; x < p.To;) {
      const int sx = SrcX[std::size_t(x)];
      int e = x + 1;
      while (e < p.To && SrcX[std::size_t(e)] == sx) ++e;
      ColumnRuns.push_back(TColumnRun{x, e - x, sx});
      x = e;
    }
    p.Runs = int(ColumnRuns.size()) - p.FirstRun;
  }
}

int TMaskPaintCache::TRows::Compose(const TImageView& image, int sy, int slot) {
  SlotRow[std::size_t(slot)] = sy;
  const std::size_t rowBytes = std::size_t(N) * 3;
  std::uint8_t* px = Pixels.data() + rowBytes * std::size_t(slot);
  const std::uint8_t* src = image.Bits + image.Stride * (Key.FY + sy) + 3 * std::ptrdiff_t(Key.FX);
  // A piece taken 1:1 is copied whole; a stretched or tiled one of a single colour is filled with
  // it (the usual edge and centre of a border), another pixel by pixel.
  auto gather = [&](std::uint8_t* out, const std::uint8_t* from) {
    for (const TPiece& p : Pieces) {
      if (p.To <= p.From) continue;
      std::uint8_t* o = out + 3 * std::size_t(p.From);
      const std::size_t n = std::size_t(p.To - p.From);
      if (p.Identity) {
        CopyPixels(o, from + 3 * std::size_t(SrcX[std::size_t(p.From)]), n);
        continue;
      }
      const std::uint8_t* first = from + 3 * std::size_t(p.S0);
      if (SameColour(first, p.SLen)) {
        FillPixel(o, first, n);
        continue;
      }
      if (p.Runs > 0) {
        for (const TColumnRun* run = ColumnRuns.data() + p.FirstRun; run != ColumnRuns.data() + p.FirstRun + p.Runs;
             ++run)
          FillPixel(out + 3 * std::size_t(run->From), from + 3 * std::size_t(run->SrcX), std::size_t(run->N));
        continue;
      }
      const int* sx = SrcX.data() + p.From;
      for (std::size_t i = 0; i < n; ++i) {
        const std::uint8_t* q = from + 3 * std::size_t(sx[i]);
        o[3 * i] = q[0];
        o[3 * i + 1] = q[1];
        o[3 * i + 2] = q[2];
      }
    }
  };
  gather(px, src);
  std::vector<TRect>& runs = Runs[std::size_t(slot)];
  runs.clear();
  if (Key.Type == 0 && !KeyRows[std::size_t(sy)]) {
    Kind[std::size_t(slot)] = kOpaque;
  } else if (Key.Type == 0) {
    rows::Kernels().KeyRuns(px, N, kMagentaKey, 0, runs);
    Kind[std::size_t(slot)] = runs.empty()                                                  ? kOpaque
                              : runs.size() == 1 && runs[0].Left == 0 && runs[0].Right == N ? kClear
                                                                                            : kMixed;
  } else {
    std::uint8_t* mk = Masks.data() + rowBytes * std::size_t(slot);
    gather(mk, src + image.Stride * Key.MaskDY);
    const bool zero = std::all_of(mk, mk + rowBytes, [](std::uint8_t v) { return v == 0; });
    const bool full = !zero && std::all_of(mk, mk + rowBytes, [](std::uint8_t v) { return v == 0xFF; });
    Kind[std::size_t(slot)] = zero ? kOpaque : full ? kClear : kMixed;
  }
  return slot;
}

TMaskPaintCache::TMaskPaintCache(std::size_t maxBytes) : MaxBytes_(maxBytes) {}
TMaskPaintCache::~TMaskPaintCache() = default;

void TMaskPaintCache::Clear() {
  Entries_.clear();
  Bytes_ = 0;
  std::fill(std::begin(Straight_), std::end(Straight_), 0);
}

int TMaskPaintCache::Entries() const { return int(Entries_.size()); }

namespace {

TRowsKey KeyOf(const TMaskFrames& mask, const TMaskFrame& f, bool tile, long long width, long long c0, long long c1) {
  TRowsKey k;
  k.Bits = mask.Image.Bits;
  k.Stride = mask.Image.Stride;
  k.FX = f.X, k.FY = f.Y, k.FW = f.W, k.FH = f.H, k.MaskDY = f.MaskDY, k.Type = f.Type, k.ML = f.ML, k.MR = f.MR;
  k.Tile = tile;
  k.Width = width, k.C0 = c0, k.C1 = c1;
  return k;
}

// Fills N pixels at D with the key colour.
void FillKey(std::uint8_t* d, int n) {
  for (int i = 0; i < n; i += 32)
    std::memcpy(d + 3 * std::size_t(i), kMagentaKey.Bytes, 3 * std::size_t(std::min(32, n - i)));
}

// Lays columns [X0, X1) (counted from C0) of composed row Slot onto Dst at (DX, DY).
void PaintSpan(const TImageView& dst, int dx, int dy, TMaskPaintCache::TRows& rw, int slot, int x0, int x1,
               TBehind behind, const TCacheView* cache) {
  const int n = x1 - x0;
  if (n <= 0) return;
  std::uint8_t* d = dst.At(dx, dy);
  const std::size_t rowBytes = std::size_t(rw.N) * 3;
  const std::uint8_t* s = rw.Pixels.data() + rowBytes * std::size_t(slot) + 3 * std::size_t(x0);
  const TRowKind kind = TRowKind(rw.Kind[std::size_t(slot)]);
  if (kind == kOpaque || (rw.Key.Type == 0 && behind == TBehind::AsKey)) {
    std::memcpy(d, s, 3 * std::size_t(n));
    return;
  }
  // What a transparent pixel at column X shows: the cache under it (when there is one).
  auto behindPart = [&](int x, int len) {
    if (!cache) return;
    detail::ForCacheParts(*cache, dy, dx + (x - x0), len, [&](int off, int m, const std::uint8_t* bg) {
      if (bg) std::memcpy(d + 3 * std::size_t(x - x0 + off), bg, 3 * std::size_t(m));
    });
  };
  if (rw.Key.Type == 0) {
    int pos = x0;
    for (const TRect& run : rw.Runs[std::size_t(slot)]) {
      if (run.Right <= pos) continue;
      if (run.Left >= x1) break;
      const int a = std::max(run.Left, pos), b = std::min(run.Right, x1);
      if (a > pos) std::memcpy(d + 3 * std::size_t(pos - x0), s + 3 * std::size_t(pos - x0), 3 * std::size_t(a - pos));
      behindPart(a, b - a);
      pos = b;
    }
    if (pos < x1) std::memcpy(d + 3 * std::size_t(pos - x0), s + 3 * std::size_t(pos - x0), 3 * std::size_t(x1 - pos));
    return;
  }
  const std::uint8_t* m = rw.Masks.data() + rowBytes * std::size_t(slot) + 3 * std::size_t(x0);
  if (behind == TBehind::AsKey) {
    if (kind == kClear) {
      FillKey(d, n);
      return;
    }
    rows::BlendMask(d, s, m, d, n);
    for (int i = 0; i < n; ++i)
      if (Same(m + 3 * i, kWhite)) std::memcpy(d + 3 * i, kMagentaKey.Bytes, 3);
    return;
  }
  if (kind == kClear) {
    behindPart(x0, n);
    return;
  }
  if (!cache) {
    rows::BlendMask(d, s, m, d, n);
    return;
  }
  detail::ForCacheParts(*cache, dy, dx, n, [&](int off, int k, const std::uint8_t* bg) {
    rows::BlendMask(d + 3 * off, s + 3 * off, m + 3 * off, bg ? bg : d + 3 * off, k);
  });
}

}  // namespace

namespace {

// A hash of the fields of Key (FNV-1a over them, field by field).
std::uint64_t HashOf(const TRowsKey& k) {
  std::uint64_t h = 0xcbf29ce484222325ull;
  auto mix = [&](std::uint64_t v) { h = (h ^ v) * 0x100000001b3ull; };
  mix(std::uint64_t(k.Width)), mix(std::uint64_t(k.C0)), mix(std::uint64_t(k.C1));
  mix(std::uint64_t(reinterpret_cast<std::uintptr_t>(k.Bits))), mix(std::uint64_t(k.Stride));
  mix(std::uint64_t(std::uint32_t(k.FX)) | std::uint64_t(std::uint32_t(k.FY)) << 32);
  mix(std::uint64_t(std::uint32_t(k.FW)) | std::uint64_t(std::uint32_t(k.FH)) << 32);
  mix(std::uint64_t(std::uint32_t(k.MaskDY)) | std::uint64_t(std::uint32_t(k.Type)) << 32);
  mix(std::uint64_t(std::uint32_t(k.ML)) | std::uint64_t(std::uint32_t(k.MR)) << 32 | std::uint64_t(k.Tile) << 63);
  return h;
}

}  // namespace

struct TMaskPaintCacheAccess {
  // The rows held for Key, or null.
  static TMaskPaintCache::TRows* Held(TMaskPaintCache& c, const TRowsKey& key) {
    const std::uint64_t hash = HashOf(key);
    for (auto& e : c.Entries_)
      if (e->Hash == hash && e->Key == key) {
        e->LastUse = ++c.Clock_;
        return e.get();
      }
    return nullptr;
  }
  // Whether Key was among the last painted straight; it is noted as painted straight now.
  static bool PaintedStraightLately(TMaskPaintCache& c, const TRowsKey& key) {
    const std::uint64_t hash = HashOf(key);
    for (std::uint64_t h : c.Straight_)
      if (h == hash) return true;
    c.Straight_[c.NextStraight_] = hash;
    c.NextStraight_ = (c.NextStraight_ + 1) % int(std::size(c.Straight_));
    return false;
  }
  // The rows for Key: those held when Reuse allows, else (re)composed in an entry that is new, or
  // recycled from the least recently used ones dropped to stay within the cache's size.
  static TMaskPaintCache::TRows& RowsFor(TMaskPaintCache& c, const TRowsKey& key, const TAxisPiece cols[3], bool reuse,
                                         const TMaskFrames& mask) {
    constexpr std::size_t kMaxEntries = 64;
    ++c.Clock_;
    const std::uint64_t hash = HashOf(key);
    std::unique_ptr<TMaskPaintCache::TRows> entry;
    for (auto it = c.Entries_.begin(); it != c.Entries_.end(); ++it)
      if ((*it)->Hash == hash && (*it)->Key == key) {
        if (reuse) {
          (*it)->LastUse = c.Clock_;
          return **it;
        }
        entry = std::move(*it);
        c.Entries_.erase(it);
        c.Bytes_ -= entry->Bytes();
        break;
      }
    auto dropOldest = [&] {
      auto oldest = std::min_element(c.Entries_.begin(), c.Entries_.end(),
                                     [](const auto& x, const auto& y) { return x->LastUse < y->LastUse; });
      c.Bytes_ -= (*oldest)->Bytes();
      if (!entry) entry = std::move(*oldest);
      c.Entries_.erase(oldest);
    };
    if (!entry && c.Entries_.size() >= kMaxEntries) dropOldest();
    if (!entry && !c.Entries_.empty() && c.Bytes_ >= c.MaxBytes_) dropOldest();
    if (!entry) entry = std::make_unique<TMaskPaintCache::TRows>();
    entry->Reset(key, cols, mask);
    entry->Hash = hash;
    const std::size_t bytes = entry->Bytes();
    while (!c.Entries_.empty() && c.Bytes_ + bytes > c.MaxBytes_) dropOldest();
    entry->LastUse = c.Clock_;
    c.Bytes_ += bytes;
    c.Entries_.push_back(std::move(entry));
    return *c.Entries_.back();
  }
};

namespace {

void PaintNine(const TImageView& dst, const TRect& r, bool filling, const TCacheView* cache, const TMaskFrames& mask,
               int state, TBehind behind, TMaskPaintCache* rowsCache) {
  if (dst.Empty()) return;
  const TMaskFrame f = MaskFrameOf(mask, state);
  if (!f.Valid) return;
  const bool tile = mask.DrawMode == TMaskDrawMode::Tile;
  const long long width = (long long)r.Right - r.Left, height = (long long)r.Bottom - r.Top;
  TAxisPiece cols[3], rws[3];
  AxisPieces(width, f.W, f.ML, f.MR, tile, cols);
  AxisPieces(height, f.H, f.MT, f.MB, tile, rws);
  // The part of the target that lies inside Dst, in target coordinates.
  const long long visL = std::max<long long>(0, -(long long)r.Left), visT = std::max<long long>(0, -(long long)r.Top);
  const long long visR = (long long)dst.Width - r.Left, visB = (long long)dst.Height - r.Top;
  const long long c0 = std::max<long long>(visL, 0), c1 = std::min<long long>(visR, width);
  if (c1 <= c0 || std::min(visB, height) <= visT) return;
  // The columns painted (from C0): those of the pieces with pixels to show, and on the middle
  // rows without Filling the two edge pieces only.
  struct TSpans {
    int N = 0;
    int From[3], To[3];
    void Add(long long a, long long b) {
      if (b <= a) return;
      if (N > 0 && To[N - 1] == int(a))
        To[N - 1] = int(b);
      else
        From[N] = int(a), To[N] = int(b), ++N;
    }
  } spans[2];
  for (int pc = 0; pc < 3; ++pc) {
    if (cols[pc].Empty()) continue;
    const long long a = std::max(cols[pc].T0, c0) - c0, b = std::min(cols[pc].T1, c1) - c0;
    spans[0].Add(a, b);
    if (pc != 1 || filling) spans[1].Add(a, b);
  }
  // The parts of the spans each column piece paints.
  struct TSegs {
    int N = 0;
    struct {
      int From, To, Piece;
    } S[9];
  } segs[2];
  for (int k = 0; k < 2; ++k)
    for (int i = 0; i < spans[k].N; ++i)
      for (int pc = 0; pc < 3; ++pc) {
        if (cols[pc].Empty()) continue;
        const long long a = std::max<long long>(cols[pc].T0 - c0, spans[k].From[i]),
                        b = std::min<long long>(cols[pc].T1 - c0, spans[k].To[i]);
        if (b > a) segs[k].S[segs[k].N++] = {int(a), int(b), pc};
      }
  // A frame row of mask type 0 that holds no key pixel and whose stretched or tiled pieces are each
  // of one colour (the rows of a flat border) is painted straight from the frame, its margins
  // copied and the rest filled, at any width without composing. Other rows are composed at the
  // target's width, kept for the next paint, and copied from there.
  constexpr int kKnownRows = 256;
  std::uint8_t known[kKnownRows] = {};  // per frame row: 0 not looked at, 1 straight, 2 composed
  const TKeyRunIndex* index = mask.KeyRuns;
  if (index && (index->Key != kMagentaKey.Key || !index->Matches(mask.Image))) index = nullptr;
  auto straight = [&](int sy) {
    if (f.Type != 0 || sy >= kKnownRows) return false;
    if (known[sy] == 0) {
      const std::uint8_t* row = mask.Image.At(f.X, f.Y + sy);
      bool ok = true;
      for (int pc = 0; pc < 3 && ok; ++pc)
        if (!cols[pc].Empty() && !cols[pc].Identity())
          ok = SameColour(row + 3 * std::size_t(cols[pc].S0), cols[pc].SLen);
      if (ok && index) {
        const int y = f.Y + sy;
        for (int i = index->First[std::size_t(y)]; ok && i < index->First[std::size_t(y) + 1]; ++i)
          ok = index->Runs[std::size_t(i)].Left >= f.X + f.W || index->Runs[std::size_t(i)].Right <= f.X;
      } else {
        for (int x = 0; ok && x < f.W; ++x) ok = !Same(row + 3 * x, kKey);
      }
      known[sy] = ok ? 1 : 2;
    }
    return known[sy] == 1;
  };
  auto paintStraight = [&](std::uint8_t* row, int sy, const TSegs& sg) {
    const std::uint8_t* from = mask.Image.At(f.X, f.Y + sy);
    for (int i = 0; i < sg.N; ++i) {
      const TAxisPiece& cp = cols[sg.S[i].Piece];
      std::uint8_t* o = row + 3 * std::size_t(sg.S[i].From);
      const std::size_t n = std::size_t(sg.S[i].To - sg.S[i].From);
      if (cp.Identity())
        CopyPixels(o, from + 3 * std::size_t(cp.S0 + (c0 + sg.S[i].From - cp.T0)), n);
      else
        FillPixel(o, from + 3 * std::size_t(cp.S0), n);
    }
  };
  // The composed rows: all rows come from those held, and from rows composed now when this frame
  // and width were painted straight lately; otherwise they are looked for when the first row that
  // is not painted straight is wanted. Without a cache they are composed anew in one entry kept for
  // the next call (its pixels may have changed since).
  thread_local TMaskPaintCache scratch(0);
  const TRowsKey key = KeyOf(mask, f, tile, width, c0, c1);
  TMaskPaintCache::TRows* rw = rowsCache ? TMaskPaintCacheAccess::Held(*rowsCache, key) : nullptr;
  if (!rw && rowsCache && f.Type == 0 && TMaskPaintCacheAccess::PaintedStraightLately(*rowsCache, key))
    rw = &TMaskPaintCacheAccess::RowsFor(*rowsCache, key, cols, true, mask);
  const bool keptRows = rw != nullptr;
  auto composed = [&]() -> TMaskPaintCache::TRows& {
    if (!rw)
      rw = rowsCache ? &TMaskPaintCacheAccess::RowsFor(*rowsCache, key, cols, true, mask)
                     : &TMaskPaintCacheAccess::RowsFor(scratch, key, cols, false, mask);
    return *rw;
  };
  const int dx = int(r.Left + c0);
  // A row with nothing to see through is copied as it was composed, by the row kernel (the rows of
  // a control are a few hundred bytes: a call of the C library's copy costs more than they do).
  const auto copy = rows::Kernels().Copy;
  const bool keyAsPixels = f.Type == 0 && behind == TBehind::AsKey;
  const std::size_t rowBytes = std::size_t(c1 - c0) * 3;
  for (int pr = 0; pr < 3; ++pr) {
    const TAxisPiece& rp = rws[pr];
    const long long r0 = std::max(rp.T0, visT), r1 = std::min(rp.T1, visB);
    if (rp.Empty() || r1 <= r0) continue;
    const int k = pr == 1 ? 1 : 0;
    const TSpans& sp = spans[k];
    TAxisWalk frameRow(rp, r0);
    std::uint8_t* row = dst.At(dx, int(r.Top + r0));
    for (long long ty = r0; ty < r1; ++ty, ++frameRow, row += dst.Stride) {
      const int sy = *frameRow;
      if (!keptRows && straight(sy)) {
        paintStraight(row, sy, segs[k]);
        continue;
      }
      TMaskPaintCache::TRows& rows = composed();
      const int slot = rows.Row(mask.Image, sy);
      if (keyAsPixels || rows.Kind[std::size_t(slot)] == kOpaque) {
        const std::uint8_t* px = rows.Pixels.data() + rowBytes * std::size_t(slot);
        for (int i = 0; i < sp.N; ++i)
          copy(row + 3 * std::size_t(sp.From[i]), px + 3 * std::size_t(sp.From[i]),
               3 * std::size_t(sp.To[i] - sp.From[i]));
        continue;
      }
      const int dy = int(r.Top + ty);
      for (int i = 0; i < sp.N; ++i)
        PaintSpan(dst, dx + sp.From[i], dy, rows, slot, sp.From[i], sp.To[i], behind, cache);
    }
  }
}

}  // namespace

void PaintMaskRect(const TImageView& dst, const TRect& r, bool filling, const TCacheView& cache,
                   const TMaskFrames& mask, int state, bool useCache, TMaskPaintCache* rows) {
  PaintNine(dst, r, filling, useCache && cache.Usable() ? &cache : nullptr, mask, state, TBehind::Keep, rows);
}

void PaintMaskImage(const TImageView& dst, TPoint point, int state, int mode, const TMaskFrames& mask) {
  const TMaskFrame f = MaskFrameOf(mask, state);
  if (!f.Valid) return;
  if (f.Type == 0 && mode != 2 && mask.KeyRuns && mask.KeyRuns->Key == kMagentaKey.Key &&
      mask.KeyRuns->Matches(mask.Image)) {
    CopyTransparentIndexed(dst, mask.Image, *mask.KeyRuns, point.X, point.Y, TRect{f.X, f.Y, f.X + f.W, f.Y + f.H},
                           TCacheView{}, false);
    return;
  }
  const detail::TTransfer t =
      detail::ClipTransfer(dst, mask.Image, TRect{f.X, f.Y, f.X + f.W, f.Y + f.H}, point.X, point.Y);
  std::vector<std::uint8_t> tmp(mode == 2 ? std::size_t(t.W) * 3 : 0);
  for (int j = 0; j < t.H; ++j) {
    const std::uint8_t* s = mask.Image.At(t.SX, t.SY + j);
    const std::uint8_t* m = f.Type ? mask.Image.At(t.SX, t.SY + f.MaskDY + j) : nullptr;
    std::uint8_t* d = dst.At(t.DX, t.DY + j);
    if (mode != 2) {
      CompositeRow(dst, t.DX, t.DY + j, s, m, t.W, f.Type, TBehind::Keep, nullptr);
      continue;
    }
    // Half opacity: the image laid over a copy of the row, then mixed with the row.
    std::memcpy(tmp.data(), d, tmp.size());
    const TImageView row{t.W, 1, 0, tmp.data()};
    CompositeRow(row, 0, 0, s, m, t.W, f.Type, TBehind::Keep, nullptr);
    rows::BlendConst(d, tmp.data(), d, t.W, 128);
  }
}

void PaintCornerImages(const TImageView& dst, const TRect& r, int state, const TMaskFrames* const corners[4]) {
  CornerImagesWith(dst, r, state, corners, [state](const TImageView& v, TPoint p, const TMaskFrames& m) {
    qv::PaintMaskImage(v, p, state, 0, m);
  });
}

void PaintMaskRegion(const TImageView& dst, bool filling, const TMaskFrames& mask, int state, std::vector<TRect>& cut,
                     TMaskPaintCache* rows) {
  if (dst.Empty()) return;
  PaintNine(dst, TRect{0, 0, dst.Width, dst.Height}, filling, nullptr, mask, state, TBehind::AsKey, rows);
  CollectKeyRuns(dst, clKeyMagenta, cut);
}

void CollectCornerRects(std::vector<TRect>& rects, int width, const TMaskFrames& mask, bool bottom, int y) {
  const TMaskFrame f = MaskFrameOf(mask, 0);
  if (!f.Valid || width <= 0) return;
  const int rowsN = bottom ? f.MB : f.MT;
  const int firstRow = bottom ? f.H - f.MB : 0;
  if (rowsN <= 0) return;
  // A transparent pixel: the key in the picture (type 0) or white in the mask half (type 1).
  const int dy = f.Type ? f.MaskDY : 0;
  const TColorRef key = f.Type ? 0xFFFFFFu : clKeyMagenta;
  struct TCorner {
    int Col, Cols;
    long long X;  // window x of the corner's first column
  } corners[2] = {{0, f.ML, 0}, {f.W - f.MR, f.MR, (long long)width - f.MR}};
  for (const TCorner& c : corners) {
    if (c.Cols <= 0) continue;
    const TImageView part{c.Cols, rowsN, mask.Image.Stride, mask.Image.At(f.X + c.Col, f.Y + dy + firstRow)};
    std::vector<TRect> runs;
    CollectKeyRuns(part, key, runs);
    for (const TRect& run : runs) {
      const long long l = std::max<long long>(0, c.X + run.Left), rr = std::min<long long>(width, c.X + run.Right);
      const long long top = (long long)y + run.Top;
      if (rr <= l || top < INT32_MIN || top + 1 > INT32_MAX) continue;
      rects.push_back(TRect{int(l), int(top), int(rr), int(top + 1)});
    }
  }
}

// Reference versions -------------------------------------------------------------------------

namespace ref {
namespace {

unsigned Mix(unsigned a, unsigned b, unsigned w) { return (a * w + b * (255 - w) + 127) / 255; }

bool InsideImg(const TImageView& img, long long x, long long y) {
  return !img.Empty() && x >= 0 && y >= 0 && x < img.Width && y < img.Height;
}

// The pixel of frame F at (SX, SY) laid over Dst's pixel (DX, DY).
void LayPixel(const TImageView& dst, long long dx, long long dy, const TMaskFrames& mask, const TMaskFrame& f, int sx,
              int sy, TBehind behind, const TCacheView* cache) {
  if (!InsideImg(dst, dx, dy)) return;
  std::uint8_t* d = dst.At(int(dx), int(dy));
  const std::uint8_t* s = mask.Image.At(f.X + sx, f.Y + sy);
  const std::uint8_t* bg = cache ? detail::CachePixel(*cache, int(dx), int(dy)) : nullptr;
  if (f.Type == 0) {
    const bool key = Same(s, kKey);
    const std::uint8_t* from = !key || behind == TBehind::AsKey ? s : bg;
    if (from) {
      const std::uint8_t px[3] = {from[0], from[1], from[2]};
      std::memcpy(d, px, 3);
    }
    return;
  }
  const std::uint8_t* m = mask.Image.At(f.X + sx, f.Y + f.MaskDY + sy);
  if (behind == TBehind::AsKey && Same(m, kWhite)) {
    d[0] = kKey.B;
    d[1] = kKey.G;
    d[2] = kKey.R;
    return;
  }
  const std::uint8_t* b = bg && behind == TBehind::Keep ? bg : d;
  std::uint8_t out[3];
  for (int c = 0; c < 3; ++c) out[c] = std::uint8_t(Mix(b[c], s[c], m[c]));
  std::memcpy(d, out, 3);
}

// Which stretch of an axis target position T falls in, and the frame position it shows; false
// where nothing is painted.
bool MapAxis(long long t, long long d, int f, int a, int b, bool tile, int& piece, int& s) {
  if (t < 0 || t >= d) return false;
  const long long ta = std::min<long long>(a, d), tb = std::min<long long>(b, d - ta);
  if (t < ta) {
    piece = 0;
    s = int(t);
    return true;
  }
  if (t >= d - tb) {
    piece = 2;
    s = int(f - (d - t));
    return true;
  }
  piece = 1;
  const long long mid = f - a - b, rel = t - ta, tm = d - ta - tb;
  if (mid <= 0) return false;
  s = a + int(tile ? rel % mid : rel * mid / tm);
  return true;
}

void PaintNineRef(const TImageView& dst, const TRect& r, bool filling, const TCacheView* cache, const TMaskFrames& mask,
                  int state, TBehind behind) {
  if (dst.Empty()) return;
  const TMaskFrame f = MaskFrameOf(mask, state);
  if (!f.Valid) return;
  const bool tile = mask.DrawMode == TMaskDrawMode::Tile;
  const long long w = (long long)r.Right - r.Left, h = (long long)r.Bottom - r.Top;
  for (int dy = 0; dy < dst.Height; ++dy)
    for (int dx = 0; dx < dst.Width; ++dx) {
      int pc, pr, sx, sy;
      if (!MapAxis((long long)dx - r.Left, w, f.W, f.ML, f.MR, tile, pc, sx)) continue;
      if (!MapAxis((long long)dy - r.Top, h, f.H, f.MT, f.MB, tile, pr, sy)) continue;
      if (pc == 1 && pr == 1 && !filling) continue;
      LayPixel(dst, dx, dy, mask, f, sx, sy, behind, cache);
    }
}

}  // namespace

void PaintMaskRect(const TImageView& dst, const TRect& r, bool filling, const TCacheView& cache,
                   const TMaskFrames& mask, int state, bool useCache) {
  PaintNineRef(dst, r, filling, useCache && cache.Usable() ? &cache : nullptr, mask, state, TBehind::Keep);
}

void PaintMaskImage(const TImageView& dst, TPoint point, int state, int mode, const TMaskFrames& mask) {
  const TMaskFrame f = MaskFrameOf(mask, state);
  if (!f.Valid) return;
  for (int sy = 0; sy < f.H; ++sy)
    for (int sx = 0; sx < f.W; ++sx) {
      const long long dx = (long long)point.X + sx, dy = (long long)point.Y + sy;
      if (!InsideImg(dst, dx, dy)) continue;
      std::uint8_t* d = dst.At(int(dx), int(dy));
      const std::uint8_t before[3] = {d[0], d[1], d[2]};
      LayPixel(dst, dx, dy, mask, f, sx, sy, TBehind::Keep, nullptr);
      if (mode == 2)
        for (int c = 0; c < 3; ++c) d[c] = std::uint8_t(Mix(d[c], before[c], 128));
    }
}

void PaintCornerImages(const TImageView& dst, const TRect& r, int state, const TMaskFrames* const corners[4]) {
  CornerImagesWith(dst, r, state, corners, [state](const TImageView& v, TPoint p, const TMaskFrames& m) {
    ref::PaintMaskImage(v, p, state, 0, m);
  });
}

void PaintMaskRegion(const TImageView& dst, bool filling, const TMaskFrames& mask, int state, std::vector<TRect>& cut) {
  if (dst.Empty()) return;
  PaintNineRef(dst, TRect{0, 0, dst.Width, dst.Height}, filling, nullptr, mask, state, TBehind::AsKey);
  ref::CollectKeyRuns(dst, clKeyMagenta, cut);
}

void CollectCornerRects(std::vector<TRect>& rects, int width, const TMaskFrames& mask, bool bottom, int y) {
  const TMaskFrame f = MaskFrameOf(mask, 0);
  if (!f.Valid || width <= 0) return;
  const int rowsN = bottom ? f.MB : f.MT, firstRow = bottom ? f.H - f.MB : 0;
  auto clear = [&](int sx, int sy) {
    return f.Type ? Same(mask.Image.At(f.X + sx, f.Y + f.MaskDY + sy), kWhite)
                  : Same(mask.Image.At(f.X + sx, f.Y + sy), kKey);
  };
  const int firstCol[2] = {0, f.W - f.MR}, cols[2] = {f.ML, f.MR};
  const long long origin[2] = {0, (long long)width - f.MR};
  for (int k = 0; k < 2; ++k)
    for (int row = 0; row < rowsN; ++row) {
      const long long top = (long long)y + row;
      for (int i = 0; i < cols[k];) {
        if (!clear(firstCol[k] + i, firstRow + row)) {
          ++i;
          continue;
        }
        int e = i;
        while (e < cols[k] && clear(firstCol[k] + e, firstRow + row)) ++e;
        const long long l = std::max<long long>(0, origin[k] + i), rr = std::min<long long>(width, origin[k] + e);
        if (rr > l && top >= INT32_MIN && top + 1 <= INT32_MAX)
          rects.push_back(TRect{int(l), int(top), int(rr), int(top + 1)});
        i = e;
      }
    }
}

}  // namespace ref

}  // namespace qv
