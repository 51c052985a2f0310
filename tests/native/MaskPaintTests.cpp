// Border-mask painting: nine pieces, states, draw modes, transparency, guards, corner rectangles.
#include <gtest/gtest.h>

#include "tests/support/core/KernelCases.h"

using namespace qv;
using qvtest::Bgr;
using qvtest::TOwnedImage;

namespace {

constexpr int kFrame = 6, kMargin = 2;
constexpr TColorRef kDst = 0x333333, kKeyC = 0xFF00FF;

// Per state k: corners 0x0000A0 + k, edges 0x00A000 + k, centre 0xA00000 + k. The top edge's two
// middle columns differ (0x00A000 + k and 0x00B000 + k) so stretching and tiling can be told
// apart. Pixel (0, 0) and (5, 0) of each frame are transparent.
TColorRef Corner(int k) { return 0x0000A0 + k; }
TColorRef Edge(int k) { return 0x00A000 + k; }
TColorRef Edge2(int k) { return 0x00B000 + k; }
TColorRef Centre(int k) { return 0xA00000 + k; }

struct TTestMask {
  TOwnedImage Img;
  TMaskFrames Mask;
};

TTestMask MakeMask(int type = 0, int count = 3) {
  TTestMask t{TOwnedImage(kFrame * count, kFrame * (type + 1), 1, true), {}};
  for (int k = 0; k < count; ++k)
    for (int y = 0; y < kFrame; ++y)
      for (int x = 0; x < kFrame; ++x) {
        const bool midX = x >= kMargin && x < kFrame - kMargin, midY = y >= kMargin && y < kFrame - kMargin;
        TColorRef c = midX && midY ? Centre(k) : midX || midY ? Edge(k) : Corner(k);
        if (y < kMargin && x == kMargin + 1) c = Edge2(k);
        const bool clear = y == 0 && (x == 0 || x == kFrame - 1);
        if (clear && type == 0) c = kKeyC;
        t.Img.Set(k * kFrame + x, y, Bgr(c));
        if (type == 1) t.Img.Set(k * kFrame + x, kFrame + y, Bgr(clear ? 0xFFFFFF : 0x000000));
      }
  t.Mask.Image = t.Img.View();
  t.Mask.R = TRect{0, 0, t.Img.Width, t.Img.Height};
  t.Mask.ImageCount = count;
  t.Mask.MaskType = type;
  t.Mask.MarginLeft = t.Mask.MarginTop = t.Mask.MarginRight = t.Mask.MarginBottom = kMargin;
  return t;
}

TColorRef At(TOwnedImage& img, int x, int y) { return ColorOf(img.Pixel(x, y)); }

TOwnedImage Target(int w = 12, int h = 12) {
  TOwnedImage img(w, h, 2, false);
  img.Fill(Bgr(kDst));
  return img;
}

// Both versions paint; they must agree, and the fast result is returned.
void Paint(TOwnedImage& dst, const TRect& r, bool filling, const TCacheView& cache, const TMaskFrames& m, int state,
           bool useCache) {
  TOwnedImage copy = dst;
  PaintMaskRect(dst.View(), r, filling, cache, m, state, useCache);
  ref::PaintMaskRect(copy.View(), r, filling, cache, m, state, useCache);
  EXPECT_EQ(dst.Bytes, copy.Bytes) << "fast and reference differ";
  EXPECT_TRUE(dst.PaddingIntact());
}

}  // namespace

TEST(MaskPaint, NinePiecesOfTheStateFrame) {
  const struct { int State, Frame; } states[] = {{0, 0}, {1, 1}, {2, 2}, {7, 2}, {-3, 0}};
  for (auto s : states) {
    TTestMask t = MakeMask();
    TOwnedImage dst = Target();
    Paint(dst, TRect{1, 1, 11, 11}, false, TCacheView{}, t.Mask, s.State, false);
    const int k = s.Frame;
    const struct {
      int X, Y;
      TColorRef Want;
    } probes[] = {
        {1, 1, kDst},       {2, 1, Corner(k)},   {10, 1, kDst},    {9, 1, Corner(k)},  // top corners, key kept
        {1, 10, Corner(k)}, {10, 10, Corner(k)},                                       // bottom corners
        {5, 2, Edge(k)},    {1, 5, Edge(k)},     {10, 6, Edge(k)}, {6, 10, Edge(k)},   // edges
        {5, 5, kDst},       {0, 0, kDst},        {11, 11, kDst},                       // no centre, outside
    };
    for (auto p : probes) EXPECT_EQ(At(dst, p.X, p.Y), p.Want) << "state " << s.State << " at " << p.X << "," << p.Y;
    TOwnedImage filled = Target();
    Paint(filled, TRect{1, 1, 11, 11}, true, TCacheView{}, t.Mask, s.State, false);
    EXPECT_EQ(At(filled, 5, 5), Centre(k));
  }
}

TEST(MaskPaint, EdgesStretchedOrTiled) {
  TTestMask t = MakeMask();
  // Target 10 wide: the top edge's middle is 6 pixels made of the frame's 2 middle columns.
  const struct {
    TMaskDrawMode Mode;
    TColorRef Row[6];
  } cases[] = {
      {TMaskDrawMode::Stretch, {Edge(0), Edge(0), Edge(0), Edge2(0), Edge2(0), Edge2(0)}},
      {TMaskDrawMode::Tile, {Edge(0), Edge2(0), Edge(0), Edge2(0), Edge(0), Edge2(0)}},
  };
  for (auto& c : cases) {
    t.Mask.DrawMode = c.Mode;
    TOwnedImage dst = Target(10, 10);
    Paint(dst, TRect{0, 0, 10, 10}, true, TCacheView{}, t.Mask, 0, false);
    for (int i = 0; i < 6; ++i) EXPECT_EQ(At(dst, 2 + i, 1), c.Row[i]) << i;
  }
}

TEST(MaskPaint, TransparentPixelsFromCacheAtOffset) {
  TTestMask t = MakeMask();
  TOwnedImage cache(20, 20, 0, true);
  cache.Fill(Bgr(0x010203));
  cache.Set(3 + 1, 4 + 1, Bgr(0x445566));  // under dst (1, 1)
  TOwnedImage dst = Target();
  Paint(dst, TRect{1, 1, 11, 11}, false, MakeCacheView(cache.View(), 3, 4), t.Mask, 0, true);
  EXPECT_EQ(At(dst, 1, 1), 0x445566u);
  EXPECT_EQ(At(dst, 10, 1), 0x010203u);
  EXPECT_EQ(At(dst, 5, 5), kDst) << "the centre is not painted without filling";
  // UseCache off, or a cache that is not ready: the destination stays.
  TOwnedImage dst2 = Target();
  Paint(dst2, TRect{1, 1, 11, 11}, false, MakeCacheView(cache.View(), 3, 4), t.Mask, 0, false);
  EXPECT_EQ(At(dst2, 1, 1), kDst);
  TCacheView notReady = MakeCacheView(cache.View(), 3, 4);
  notReady.Ready = false;
  Paint(dst2, TRect{1, 1, 11, 11}, false, notReady, t.Mask, 0, true);
  EXPECT_EQ(At(dst2, 1, 1), kDst);
}

TEST(MaskPaint, MaskHalfBelowTheFrames) {
  TTestMask t = MakeMask(1);
  TOwnedImage cache(12, 12, 0, false);
  cache.Fill(Bgr(0x0A0B0C));
  TOwnedImage dst = Target();
  Paint(dst, TRect{0, 0, 12, 12}, true, MakeCacheView(cache.View(), 0, 0), t.Mask, 1, true);
  EXPECT_EQ(At(dst, 0, 0), 0x0A0B0Cu);
  EXPECT_EQ(At(dst, 11, 0), 0x0A0B0Cu);
  EXPECT_EQ(At(dst, 1, 0), Corner(1));
  EXPECT_EQ(At(dst, 6, 6), Centre(1));
}

// Margins wider than the frame or the target, rectangles off the image and zero sizes paint what
// is left and never touch memory outside the images (the sanitizers watch).
TEST(MaskPaint, GuardsAgainstBadGeometry) {
  const struct {
    const char* Name;
    TRect R;
    int Margin, Count;
    TRect MaskR;
    int ProbeX, ProbeY;
    TColorRef Want;
  } cases[] = {
      {"target smaller than margins", {0, 0, 3, 3}, 2, 3, {0, 0, 18, 6}, 2, 1, Corner(1)},
      {"margins wider than frame", {0, 0, 12, 12}, 100, 3, {0, 0, 18, 6}, 5, 5, Corner(1)},
      {"no image count", {0, 0, 12, 12}, 2, 0, {0, 0, 6, 6}, 5, 0, Edge(0)},
      {"negative count", {0, 0, 12, 12}, 2, -4, {0, 0, 6, 6}, 5, 0, Edge(0)},
      {"mask rect off image", {0, 0, 12, 12}, 2, 3, {100, 100, 200, 200}, 5, 3, kDst},
      {"frames narrower than a pixel", {0, 0, 12, 12}, 2, 1000, {0, 0, 18, 6}, 5, 3, kDst},
      {"zero width target", {4, 4, 4, 10}, 2, 3, {0, 0, 18, 6}, 4, 5, kDst},
      {"inverted target", {10, 10, 2, 2}, 2, 3, {0, 0, 18, 6}, 5, 5, kDst},
      {"target off the image", {-50, -50, -20, -20}, 2, 3, {0, 0, 18, 6}, 0, 0, kDst},
      {"huge target", {INT_MIN, INT_MIN, INT_MAX, INT_MAX}, 2, 3, {0, 0, 18, 6}, 5, 5, Centre(1)},
      {"target overhanging", {-3, -3, 8, 8}, 2, 3, {0, 0, 18, 6}, 6, 6, Corner(1)},
  };
  for (auto& c : cases) {
    TTestMask t = MakeMask();
    t.Mask.MarginLeft = t.Mask.MarginTop = t.Mask.MarginRight = t.Mask.MarginBottom = c.Margin;
    t.Mask.ImageCount = c.Count;
    t.Mask.R = c.MaskR;
    TOwnedImage dst = Target();
    Paint(dst, c.R, true, TCacheView{}, t.Mask, 1, false);
    EXPECT_EQ(At(dst, c.ProbeX, c.ProbeY), c.Want) << c.Name;
  }
  // An empty destination and an empty mask image do nothing.
  TTestMask t = MakeMask();
  TOwnedImage empty(0, 0);
  PaintMaskRect(empty.View(), TRect{0, 0, 5, 5}, true, TCacheView{}, t.Mask, 0, false);
  TMaskFrames none;
  TOwnedImage dst = Target();
  PaintMaskRect(dst.View(), TRect{0, 0, 5, 5}, true, TCacheView{}, none, 0, false);
  EXPECT_EQ(At(dst, 2, 2), kDst);
}

TEST(MaskPaint, MaskImageCopiesOneFrame) {
  const struct {
    int Mode, State;
    TPoint At;
    int ProbeX, ProbeY;
    TColorRef Want;
  } cases[] = {
      {1, 1, {2, 2}, 3, 2, Corner(1)},
      {1, 1, {2, 2}, 2, 2, kDst},
      {1, 9, {2, 2}, 4, 4, Centre(2)},
      {0, 0, {-2, -2}, 1, 1, Centre(0)},
      {1, 0, {8, 8}, 11, 11, Centre(0)},
      {1, 0, {12, 0}, 11, 0, kDst},
      // Half opacity: red (0xA0 * 128 + 0x33 * 127) / 255 = 0x6A, the others 0x33 * 127 / 255 = 0x19.
      {2, 0, {0, 0}, 1, 0, 0x19196A},
      {2, 0, {0, 0}, 0, 0, kDst},
  };
  for (auto& c : cases) {
    TTestMask t = MakeMask();
    TOwnedImage dst = Target(), copy = Target();
    PaintMaskImage(dst.View(), c.At, c.State, c.Mode, t.Mask);
    ref::PaintMaskImage(copy.View(), c.At, c.State, c.Mode, t.Mask);
    EXPECT_EQ(dst.Bytes, copy.Bytes);
    EXPECT_EQ(At(dst, c.ProbeX, c.ProbeY), c.Want) << "mode " << c.Mode << " state " << c.State;
  }
}

TEST(MaskPaint, CornerRectsForRegion) {
  TTestMask t = MakeMask();
  for (int k = 0; k < 3; ++k) {
    t.Img.Set(k * kFrame + 1, 0, Bgr(kKeyC));  // top-left run of two
    t.Img.Set(k * kFrame + 0, 1, Bgr(kKeyC));
    t.Img.Set(k * kFrame + 0, 5, Bgr(kKeyC));  // bottom-left corner
  }
  const struct {
    bool Bottom;
    int Width, Y;
    std::vector<TRect> Want;
  } cases[] = {
      {false, 100, 0, {{0, 0, 2, 1}, {0, 1, 1, 2}, {99, 0, 100, 1}}},
      {false, 100, 7, {{0, 7, 2, 8}, {0, 8, 1, 9}, {99, 7, 100, 8}}},
      {true, 100, 50, {{0, 51, 1, 52}}},
      {false, 1, 0, {{0, 0, 1, 1}, {0, 1, 1, 2}, {0, 0, 1, 1}}},  // window narrower than the corners
      {false, 0, 0, {}},
  };
  for (auto& c : cases) {
    for (int type = 0; type < 2; ++type) {
      std::vector<TRect> fast, slow;
      TTestMask m = t;
      m.Mask.Image = m.Img.View();
      if (type == 1) {
        // The same corners as a mask half: white where the key was.
        m = MakeMask(1);
        for (int k = 0; k < 3; ++k) {
          m.Img.Set(k * kFrame + 1, kFrame + 0, Bgr(0xFFFFFF));
          m.Img.Set(k * kFrame + 0, kFrame + 1, Bgr(0xFFFFFF));
          m.Img.Set(k * kFrame + 0, kFrame + 5, Bgr(0xFFFFFF));
        }
      }
      CollectCornerRects(fast, c.Width, m.Mask, c.Bottom, c.Y);
      ref::CollectCornerRects(slow, c.Width, m.Mask, c.Bottom, c.Y);
      EXPECT_EQ(fast, c.Want) << "type " << type << " width " << c.Width << " bottom " << c.Bottom;
      EXPECT_EQ(slow, c.Want);
    }
  }
}

TEST(MaskPaint, RegionRunsOfPaintedBitmap) {
  TTestMask t = MakeMask(1);
  TOwnedImage dst = Target(10, 4), copy = Target(10, 4);
  std::vector<TRect> fast, slow;
  PaintMaskRegion(dst.View(), true, t.Mask, 0, fast);
  ref::PaintMaskRegion(copy.View(), true, t.Mask, 0, slow);
  const std::vector<TRect> want = {{0, 0, 1, 1}, {9, 0, 10, 1}};
  EXPECT_EQ(fast, want);
  EXPECT_EQ(slow, want);
  EXPECT_EQ(dst.Bytes, copy.Bytes);
  EXPECT_EQ(At(dst, 0, 0), kKeyC) << "a wholly transparent pixel is painted as the key";
}

namespace {

// A corner image: Count frames of W x H, frame k all Base + k but for its top-left pixel (the key).
struct TCornerImage {
  TOwnedImage Img;
  TMaskFrames Mask;
};

TCornerImage CornerImage(int w, int h, TColorRef base, int count = 3) {
  TCornerImage c{TOwnedImage(w * count, h, 3, false), {}};
  for (int k = 0; k < count; ++k)
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) c.Img.Set(k * w + x, y, Bgr(x == 0 && y == 0 ? kKeyC : base + k));
  c.Mask.Image = c.Img.View();
  c.Mask.R = TRect{0, 0, c.Img.Width, c.Img.Height};
  c.Mask.ImageCount = count;
  return c;
}

}  // namespace

// Corner images lie at the four corners of R, in the state's frame, transparent by the key, and
// never reach outside R or the target.
TEST(MaskPaint, CornerImagesAtTheCornersOfR) {
  TCornerImage tl = CornerImage(3, 2, 0x101000), tr = CornerImage(2, 3, 0x202000), bl = CornerImage(4, 1, 0x303000),
               br = CornerImage(1, 4, 0x404000);
  const TMaskFrames* all[4] = {&tl.Mask, &tr.Mask, &bl.Mask, &br.Mask};
  const struct {
    const char* Name;
    TRect R;
    int State;
    int X, Y;
    TColorRef Want;
  } cases[] = {
      {"top-left key", {2, 3, 14, 13}, 1, 2, 3, kDst},
      {"top-left", {2, 3, 14, 13}, 1, 4, 4, 0x101001},
      {"top-left ends", {2, 3, 14, 13}, 1, 5, 4, kDst},
      {"top-right", {2, 3, 14, 13}, 1, 13, 5, 0x202001},
      {"top-right begins", {2, 3, 14, 13}, 1, 11, 4, kDst},
      {"bottom-left", {2, 3, 14, 13}, 1, 5, 12, 0x303001},
      {"bottom-right", {2, 3, 14, 13}, 1, 13, 10, 0x404001},
      {"bottom-right above", {2, 3, 14, 13}, 1, 13, 8, kDst},
      {"state past the frames: last", {2, 3, 14, 13}, 9, 4, 4, 0x101002},
      {"negative state: first", {2, 3, 14, 13}, -1, 4, 4, 0x101000},
      {"R over the top-left edge", {-5, -5, 8, 8}, 0, 7, 7, 0x404000},
      {"R over the top-left edge: right of R", {-5, -5, 8, 8}, 0, 8, 7, kDst},
      {"R smaller than the image", {0, 0, 2, 2}, 0, 1, 1, 0x404000},
      {"R smaller than the image: outside R", {0, 0, 2, 2}, 0, 2, 0, kDst},
      {"R outside the target", {20, 20, 30, 30}, 0, 15, 15, kDst},
      {"empty R", {6, 6, 6, 6}, 0, 6, 6, kDst},
      {"absurd R", {-2147483647, -2147483647, 2147483647, 2147483647}, 0, 8, 8, kDst},
  };
  for (const auto& c : cases) {
    TOwnedImage dst = Target(16, 16), copy = Target(16, 16);
    PaintCornerImages(dst.View(), c.R, c.State, all);
    ref::PaintCornerImages(copy.View(), c.R, c.State, all);
    EXPECT_EQ(dst.Bytes, copy.Bytes) << c.Name;
    EXPECT_TRUE(dst.PaddingIntact()) << c.Name;
    EXPECT_EQ(At(dst, c.X, c.Y), c.Want) << c.Name;
  }
  // Missing corners and images without pixels are left out.
  TCornerImage none = CornerImage(2, 2, 0x505000);
  none.Mask.R = TRect{50, 50, 60, 60};
  const TMaskFrames* some[4] = {nullptr, &none.Mask, nullptr, &br.Mask};
  TOwnedImage dst = Target(16, 16);
  PaintCornerImages(dst.View(), TRect{0, 0, 16, 16}, 0, some);
  EXPECT_EQ(At(dst, 15, 0), kDst);
  EXPECT_EQ(At(dst, 15, 14), 0x404000u);
  PaintCornerImages(dst.View(), TRect{0, 0, 16, 16}, 0, nullptr);
  PaintCornerImages(TImageView{}, TRect{0, 0, 16, 16}, 0, all);
}
