// Test images and the differential check of the pixel kernels: one case, built from a stream of
// bytes (random or fuzzer input), runs a fast kernel and its reference twin on identical copies
// and reports any difference. Shared by the native tests and the fuzz target.
#pragma once

#include <climits>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "skin/engine/core/acMaskPaint.h"
#include "skin/engine/core/acPixelKernels.h"

namespace qvtest {

// An image that owns its bytes: rows of 3 * Width bytes plus Pad bytes of padding (filled with a
// marker that no kernel may touch), top-down or bottom-up (negative stride).
struct TOwnedImage {
  int Width = 0, Height = 0, Pad = 0;
  bool BottomUp = false;
  std::vector<std::uint8_t> Bytes;

  TOwnedImage() = default;
  TOwnedImage(int w, int h, int pad = 0, bool bottomUp = false) : Width(w), Height(h), Pad(pad), BottomUp(bottomUp) {
    Bytes.assign(std::size_t(RowBytes()) * std::size_t(h), 0xA5);
    if (w > 0)
      for (int y = 0; y < h; ++y) std::memset(Row(y), 0, std::size_t(w) * 3);
  }
  std::ptrdiff_t RowBytes() const { return std::ptrdiff_t(Width) * 3 + Pad; }
  qv::TImageView View() {
    if (Bytes.empty()) return qv::TImageView{Width, Height, RowBytes(), nullptr};
    if (!BottomUp) return qv::TImageView{Width, Height, RowBytes(), Bytes.data()};
    return qv::TImageView{Width, Height, -RowBytes(), Bytes.data() + RowBytes() * (Height - 1)};
  }
  std::uint8_t* Row(int y) { return View().Row(y); }
  qv::TBgr Pixel(int x, int y) { return View().Pixel(x, y); }
  void Set(int x, int y, qv::TBgr c) { View().SetPixel(x, y, c); }
  void Fill(qv::TBgr c) {
    for (int y = 0; y < Height; ++y)
      for (int x = 0; x < Width; ++x) Set(x, y, c);
  }
  // true when every padding byte still holds the marker.
  bool PaddingIntact() const {
    for (int y = 0; y < Height; ++y)
      for (int i = 0; i < Pad; ++i)
        if (Bytes[std::size_t(RowBytes()) * y + std::size_t(Width) * 3 + i] != 0xA5) return false;
    return true;
  }
};

// A colour written as the class library writes it (0x00BBGGRR).
inline qv::TBgr Bgr(qv::TColorRef c) { return qv::BgrOf(c); }

// A stream of bytes: from a buffer (zeros after its end) or from a small generator.
class TByteSource {
 public:
  TByteSource(const std::uint8_t* data, std::size_t size) : Data_(data), Size_(size) {}
  explicit TByteSource(std::uint64_t seed) : State_(seed * 2654435761u + 1) {}

  std::uint8_t Byte() {
    if (Data_) return Pos_ < Size_ ? Data_[Pos_++] : 0;
    State_ ^= State_ << 13;
    State_ ^= State_ >> 7;
    State_ ^= State_ << 17;
    return std::uint8_t(State_ >> 24);
  }
  unsigned Word() { return unsigned(Byte()) | (unsigned(Byte()) << 8); }
  // lo..hi inclusive.
  int Int(int lo, int hi) { return lo + int(Word() % unsigned(hi - lo + 1)); }
  bool Bool() { return Byte() & 1; }

 private:
  const std::uint8_t* Data_ = nullptr;
  std::size_t Size_ = 0, Pos_ = 0;
  std::uint64_t State_ = 0;
};

// Rows made of runs of one kind: the key, 0x00, 0xFF, white, or random bytes (biased to 0 and
// 255), so that all-transparent, all-opaque and mixed runs all occur.
inline TOwnedImage RandomImage(TByteSource& src, int w, int h) {
  TOwnedImage img(w, h, src.Int(0, 5), src.Bool());
  for (int y = 0; y < h; ++y) {
    std::uint8_t* row = img.Row(y);
    for (int x = 0; x < w;) {
      const int run = std::min(w - x, src.Int(1, 40));
      const int kind = src.Int(0, 5);
      for (int i = 0; i < run; ++i, ++x) {
        std::uint8_t* p = row + 3 * x;
        switch (kind) {
          case 0: p[0] = 0xFF, p[1] = 0x00, p[2] = 0xFF; break;
          case 1: p[0] = p[1] = p[2] = 0x00; break;
          case 2: p[0] = p[1] = p[2] = 0xFF; break;
          default:
            for (int c = 0; c < 3; ++c) {
              const int b = src.Int(0, 3);
              p[c] = b == 0 ? 0x00 : b == 1 ? 0xFF : src.Byte();
            }
        }
      }
    }
  }
  return img;
}

// A coordinate around an image of size N: mostly near it, sometimes far out or at the limits.
inline int Coord(TByteSource& src, int n) {
  switch (src.Int(0, 15)) {
    case 0: return INT_MIN + src.Int(0, 3);
    case 1: return INT_MAX - src.Int(0, 3);
    case 2: return src.Int(-100000, 100000);
    default: return src.Int(-n - 3, 2 * n + 3);
  }
}

inline TRect RandomRect(TByteSource& src, int w, int h) {
  if (src.Int(0, 9) == 0) return TRect{Coord(src, w), Coord(src, h), Coord(src, w), Coord(src, h)};
  const int l = src.Int(-3, w + 2), t = src.Int(-3, h + 2);
  return TRect{l, t, l + src.Int(-1, w + 4), t + src.Int(-1, h + 4)};
}

inline qv::TColorRef RandomKey(TByteSource& src) {
  switch (src.Int(0, 3)) {
    case 0: return qv::clKeyMagenta;
    case 1: return 0xFFFFFF;
    case 2: return 0x000000;
    default: return 0xFF000000u | (src.Word() << 8);  // no key
  }
}

// A parent image under the painted one, sometimes not ready, sometimes one colour.
inline qv::TCacheView RandomCache(TByteSource& src, TOwnedImage& cacheImg) {
  static const qv::TKeyPattern kFill(qv::TBgr{0x12, 0x9A, 0xE4});
  if (src.Int(0, 7) == 0) return qv::TCacheView{{}, 0, 0, src.Int(0, 4) != 0, &kFill};
  return qv::TCacheView{cacheImg.View(), src.Int(-6, 6), src.Int(-6, 6), src.Int(0, 4) != 0};
}

// A mask over Img; with Runs (the key runs of Img), sometimes painted through them.
inline qv::TMaskFrames RandomMask(TByteSource& src, TOwnedImage& img, const qv::TKeyRunIndex* runs = nullptr) {
  qv::TMaskFrames m;
  m.Image = img.View();
  if (runs && src.Bool()) m.KeyRuns = runs;
  m.R = src.Int(0, 4) ? TRect{src.Int(0, 2), src.Int(0, 2), img.Width - src.Int(0, 2), img.Height - src.Int(0, 2)}
                      : RandomRect(src, img.Width, img.Height);
  m.ImageCount = src.Int(-1, 4);
  m.MaskType = src.Int(0, 5) == 0 ? src.Int(-2, 3) : src.Int(0, 1);
  m.MarginLeft = src.Int(-2, 9);
  m.MarginTop = src.Int(-2, 9);
  m.MarginRight = src.Int(-2, 9);
  m.MarginBottom = src.Int(-2, 9);
  m.DrawMode = src.Bool() ? qv::TMaskDrawMode::Tile : qv::TMaskDrawMode::Stretch;
  return m;
}

inline bool SameRects(const std::vector<TRect>& a, const std::vector<TRect>& b) { return a == b; }

// Runs one differential case; returns an empty string when the fast and the reference kernel
// agree (and kept the padding intact), else a description.
inline std::string RunDifferentialCase(TByteSource& src) {
  const int kind = src.Int(0, 19);
  const int w = src.Int(0, 3) == 0 ? src.Int(0, 70) : src.Int(0, 24);
  const int h = src.Int(0, 10);
  TOwnedImage dstA = RandomImage(src, w, h);
  TOwnedImage other = RandomImage(src, src.Int(0, 3) ? w : src.Int(0, 40), src.Int(0, 3) ? h : src.Int(0, 12));
  TOwnedImage cacheImg = RandomImage(src, src.Int(0, 30), src.Int(0, 12));
  TOwnedImage dstB = dstA;
  const qv::TImageView a = dstA.View(), b = dstB.View(), s = other.View();
  qv::TKeyRunIndex otherRuns;
  qv::BuildKeyRunIndex(s, qv::clKeyMagenta, otherRuns);
  std::vector<TRect> runsA, runsB;
  const char* name = "?";
  switch (kind) {
    case 0: {
      name = "BlendBitmaps";
      const int amount = src.Int(-10, 270);
      qv::BlendBitmaps(a, s, amount);
      qv::ref::BlendBitmaps(b, s, amount);
      break;
    }
    case 1: {
      name = "BlendBitmapRect";
      const int op = src.Int(-10, 270);
      const TRect r = RandomRect(src, s.Width, s.Height);
      const TPoint p{Coord(src, w), Coord(src, h)};
      qv::BlendBitmapRect(a, s, op, r, p);
      qv::ref::BlendBitmapRect(b, s, op, r, p);
      break;
    }
    case 2: {
      name = "BlendRectKeyed";
      const double k = src.Int(-20, 120) / 100.0;
      const TRect r = RandomRect(src, s.Width, s.Height);
      const int x = Coord(src, w), y = Coord(src, h);
      const qv::TColorRef key = RandomKey(src);
      qv::BlendRectKeyed(a, x, y, s, r, k, key);
      qv::ref::BlendRectKeyed(b, x, y, s, r, k, key);
      break;
    }
    case 3: {
      name = "BlendColorRect";
      const TRect r = RandomRect(src, w, h);
      const int pct = src.Int(-10, 110), radius = src.Int(-2, 40);
      const qv::TColorRef col = src.Word() | (unsigned(src.Byte()) << 16);
      const bool blur = src.Bool();
      qv::BlendColorRect(a, r, pct, col, blur, radius);
      qv::ref::BlendColorRect(b, r, pct, col, blur, radius);
      break;
    }
    case 4: {
      name = "CopyTransparent";
      const int x = Coord(src, w), y = Coord(src, h);
      const qv::TColorRef key = RandomKey(src);
      qv::CopyTransparent(a, s, x, y, key);
      qv::ref::CopyTransparent(b, s, x, y, key);
      break;
    }
    case 5: {
      name = "CopyTransparentRect";
      const TRect r = RandomRect(src, s.Width, s.Height);
      const int x = Coord(src, w), y = Coord(src, h);
      const qv::TColorRef key = RandomKey(src);
      const qv::TCacheView cache = RandomCache(src, cacheImg);
      const bool use = src.Bool();
      qv::CopyTransparentRect(a, s, x, y, r, key, cache, use);
      qv::ref::CopyTransparentRect(b, s, x, y, r, key, cache, use);
      break;
    }
    case 6: {
      name = "CopyByMask";
      const TRect dr = RandomRect(src, w, h), sr = RandomRect(src, s.Width, s.Height / 2);
      const qv::TCacheView cache = RandomCache(src, cacheImg);
      const bool use = src.Bool();
      qv::CopyByMask(dr, sr, a, s, cache, use);
      qv::ref::CopyByMask(dr, sr, b, s, cache, use);
      break;
    }
    case 7:
      name = "GrayscaleBmp";
      qv::GrayscaleBmp(a);
      qv::ref::GrayscaleBmp(b);
      break;
    case 8: {
      name = "GrayscaleBmpKeyed";
      const qv::TColorRef key = RandomKey(src) & 0xFFFFFF;
      qv::GrayscaleBmpKeyed(a, key);
      qv::ref::GrayscaleBmpKeyed(b, key);
      break;
    }
    case 9: {
      name = "CollectKeyRuns";
      const qv::TColorRef key = RandomKey(src) & 0xFFFFFF;
      qv::CollectKeyRuns(a, key, runsA);
      qv::ref::CollectKeyRuns(b, key, runsB);
      break;
    }
    case 10: {
      name = "PaintMaskRect";
      const qv::TMaskFrames m = RandomMask(src, other, &otherRuns);
      const TRect r = RandomRect(src, w, h);
      const bool filling = src.Bool(), use = src.Bool();
      const int state = src.Int(-2, 5);
      const qv::TCacheView cache = RandomCache(src, cacheImg);
      qv::PaintMaskRect(a, r, filling, cache, m, state, use);
      qv::ref::PaintMaskRect(b, r, filling, cache, m, state, use);
      break;
    }
    case 11: {
      name = "PaintMaskImage";
      const qv::TMaskFrames m = RandomMask(src, other, &otherRuns);
      const TPoint p{Coord(src, w), Coord(src, h)};
      const int state = src.Int(-2, 5), mode = src.Int(0, 3);
      qv::PaintMaskImage(a, p, state, mode, m);
      qv::ref::PaintMaskImage(b, p, state, mode, m);
      break;
    }
    case 12: {
      name = "PaintMaskRegion";
      const qv::TMaskFrames m = RandomMask(src, other, &otherRuns);
      const bool filling = src.Bool();
      const int state = src.Int(-2, 5);
      qv::PaintMaskRegion(a, filling, m, state, runsA);
      qv::ref::PaintMaskRegion(b, filling, m, state, runsB);
      break;
    }
    case 13: {
      name = "CollectCornerRects";
      const qv::TMaskFrames m = RandomMask(src, other, &otherRuns);
      const int width = src.Int(0, 3) ? src.Int(-2, 60) : Coord(src, 60);
      const int y = src.Int(0, 3) ? src.Int(-5, 50) : Coord(src, 50);
      const bool bottom = src.Bool();
      qv::CollectCornerRects(runsA, width, m, bottom, y);
      qv::ref::CollectCornerRects(runsB, width, m, bottom, y);
      break;
    }
    case 14: {
      name = "PaintCornerImages";
      qv::TMaskFrames m[4];
      const qv::TMaskFrames* corners[4] = {};
      for (int i = 0; i < 4; ++i) {
        m[i] = RandomMask(src, other, &otherRuns);
        if (src.Int(0, 3)) corners[i] = &m[i];
      }
      const TRect r = RandomRect(src, w, h);
      const int state = src.Int(-2, 5);
      qv::PaintCornerImages(a, r, state, corners);
      qv::ref::PaintCornerImages(b, r, state, corners);
      break;
    }
    case 15: {
      name = "BlendBitmapsInto";
      const int amount = src.Int(-10, 270);
      TOwnedImage third = RandomImage(src, src.Int(0, 3) ? w : src.Int(0, 40), src.Int(0, 3) ? h : src.Int(0, 12));
      qv::BlendBitmapsInto(a, s, third.View(), amount);
      qv::ref::BlendBitmapsInto(b, s, third.View(), amount);
      break;
    }
    case 16: {
      // Rows kept in a cache between paints of several states and widths (and back).
      name = "PaintMaskRect (kept rows)";
      const qv::TMaskFrames m = RandomMask(src, other, &otherRuns);
      qv::TMaskPaintCache rows(src.Bool() ? 0 : std::size_t(1) << 20);
      const qv::TCacheView cache = RandomCache(src, cacheImg);
      struct TCall {
        TRect R;
        int State;
        bool Filling;
      } calls[3];
      for (TCall& c : calls) c = TCall{RandomRect(src, w, h), src.Int(-1, 3), src.Bool()};
      for (int i : {0, 1, 2, 0, 1}) {
        qv::PaintMaskRect(a, calls[i].R, calls[i].Filling, cache, m, calls[i].State, true, &rows);
        qv::ref::PaintMaskRect(b, calls[i].R, calls[i].Filling, cache, m, calls[i].State, true);
      }
      break;
    }
    case 17: {
      name = "CopyTransparentIndexed";
      const qv::TColorRef key = RandomKey(src) & 0xFFFFFF;
      qv::TKeyRunIndex index;
      qv::BuildKeyRunIndex(s, key, index);
      const TRect r = RandomRect(src, s.Width, s.Height);
      const int x = Coord(src, w), y = Coord(src, h);
      const qv::TCacheView cache = RandomCache(src, cacheImg);
      const bool use = src.Bool();
      qv::CopyTransparentIndexed(a, s, index, x, y, r, cache, use);
      qv::ref::CopyTransparentRect(b, s, x, y, r, key, cache, use);
      break;
    }
    case 18: {
      name = "FillRect";
      const TRect r = RandomRect(src, w, h);
      const qv::TColorRef color = RandomKey(src);
      qv::FillRect(a, r, color);
      qv::ref::FillRect(b, r, color);
      break;
    }
    default: {
      // The row primitives on rows of one image, with the other image as second operand.
      name = "rows";
      if (w == 0 || h == 0 || s.Width < w || s.Height < h) break;
      const int y = src.Int(0, h - 1), op = src.Int(0, 3);
      const unsigned wt = unsigned(src.Int(0, 255));
      const qv::TBgr key = Bgr(RandomKey(src));
      const std::uint8_t* s0 = s.Row(y);
      const std::uint8_t* m0 = s.Row(src.Int(0, h - 1));
      if (op == 0) {
        qv::rows::BlendConst(a.Row(y), a.Row(y), s0, w, wt);
        qv::rows::ref::BlendConst(b.Row(y), b.Row(y), s0, w, wt);
      } else if (op == 1) {
        qv::rows::BlendMask(a.Row(y), s0, m0, a.Row(y), w);
        qv::rows::ref::BlendMask(b.Row(y), s0, m0, b.Row(y), w);
      } else if (op == 2) {
        const bool withBg = src.Bool();
        qv::rows::CopyKeyed(a.Row(y), s0, withBg ? m0 : nullptr, w, qv::TKeyPattern(key));
        qv::rows::ref::CopyKeyed(b.Row(y), s0, withBg ? m0 : nullptr, w, key);
      } else {
        const bool hasKey = src.Bool();
        qv::rows::BlendKeyed(a.Row(y), s0, w, wt, qv::TKeyPattern(key), hasKey);
        qv::rows::ref::BlendKeyed(b.Row(y), s0, w, wt, key, hasKey);
      }
    }
  }
  std::string err;
  if (dstA.Bytes != dstB.Bytes)
    err = std::string(name) + ": fast and reference images differ";
  else if (!SameRects(runsA, runsB))
    err = std::string(name) + ": fast and reference rectangles differ";
  else if (!dstA.PaddingIntact())
    err = std::string(name) + ": row padding written";
  return err;
}

// The same case at every level the processor offers; the first difference names its level.
template <class MakeSource>
std::string RunDifferentialCaseAtEveryLevel(MakeSource&& make) {
  for (qv::rows::TSimdLevel level : qv::rows::AvailableLevels()) {
    qv::rows::TLevelScope scope(level);
    TByteSource src = make();
    const std::string err = RunDifferentialCase(src);
    if (!err.empty()) return std::string(qv::rows::LevelName(level)) + ": " + err;
  }
  return {};
}

}  // namespace qvtest
