// Pixel kernels: hand-checked cases, clipping, negative strides, and the fast/reference
// differential check over random images.
#include <gtest/gtest.h>

#include <cmath>

#include "tests/support/core/KernelCases.h"

using namespace qv;
using qvtest::Bgr;
using qvtest::TOwnedImage;

namespace {

TOwnedImage Solid(int w, int h, std::uint32_t rgb, bool bottomUp = false, int pad = 3) {
  TOwnedImage img(w, h, pad, bottomUp);
  img.Fill(Bgr(rgb));
  return img;
}

std::uint32_t Rgb(TBgr p) { return std::uint32_t(p.R) | (std::uint32_t(p.G) << 8) | (std::uint32_t(p.B) << 16); }

}  // namespace

// --- colours and numbers ----------------------------------------------------------------------

TEST(PixelKernels, ClampToByte) {
  const struct {
    int In, Out;
  } cases[] = {{-1000, 0}, {-1, 0}, {0, 0}, {128, 128}, {255, 255}, {256, 255}, {INT_MAX, 255}, {INT_MIN, 0}};
  for (auto c : cases) EXPECT_EQ(ClampToByte(c.In), c.Out) << c.In;
}

TEST(PixelKernels, MixColorsPerByteRoundedHighByteFromFirst) {
  const struct {
    TColorRef C1, C2;
    double K;
    TColorRef Out;
  } cases[] = {
      {0x000000, 0xFFFFFF, 0.0, 0xFFFFFF},
      {0x000000, 0xFFFFFF, 1.0, 0x000000},
      {0x0000FF, 0x000000, 0.4, 0x000066},        // 102
      {0x000000, 0x0000FF, 0.5, 0x000080},        // 127.5 goes to the even 128
      {0x000000, 0x000001, 0.5, 0x000000},        // 0.5 goes to the even 0
      {0x12000000, 0x34102030, 1.0, 0x12000000},  // high byte of C1
      {0x00FF8040, 0x00000000, 0.25, 0x00402010},
      {0x000000, 0xFFFFFF, 2.0, 0x000000},  // out of range K stays in 0..255
      {0xFFFFFF, 0x000000, -1.0, 0x000000},
  };
  for (auto c : cases) EXPECT_EQ(MixColors(c.C1, c.C2, c.K), c.Out) << std::hex << c.C1 << " " << c.C2 << " " << c.K;
}

TEST(PixelKernels, AverageColor) {
  EXPECT_EQ(AverageColor(0x000000, 0xFFFFFF), 0x7F7F7Fu);
  EXPECT_EQ(AverageColor(0x102030, 0x302010), 0x202020u);
  EXPECT_EQ(AverageColor(0xAB000001, 0x00000002), 0xAB000001u);
}

TEST(PixelKernels, WeightOf) {
  EXPECT_EQ(WeightOf(0.0), 0);
  EXPECT_EQ(WeightOf(0.4), 102);
  EXPECT_EQ(WeightOf(1.0), 255);
  EXPECT_EQ(WeightOf(-3.0), 0);
  EXPECT_EQ(WeightOf(7.0), 255);
  EXPECT_EQ(WeightOf(std::nan("")), 0);
}

// The fade formula 255 - Step * 256 div Iterations reaches -1 at the last step and divides by
// zero without iterations; FadeAmount stays within 0..255 for any input.
TEST(PixelKernels, FadeAmountIsBoundedAndNeverDividesByZero) {
  const struct {
    int Step, Iterations, Out;
  } cases[] = {{0, 10, 255}, {1, 10, 230},          {5, 10, 127},     {9, 10, 25}, {10, 10, 0},
               {11, 10, 0},  {-4, 10, 255},         {0, 0, 255},      {1, 0, 0},   {3, -5, 0},
               {1, 1, 0},    {INT_MAX, INT_MAX, 0}, {1, INT_MAX, 255}};
  for (auto c : cases) EXPECT_EQ(FadeAmount(c.Step, c.Iterations), c.Out) << c.Step << "/" << c.Iterations;
  for (int it = -2; it < 40; ++it) {
    int last = 256;
    for (int step = 0; step <= std::max(it, 1); ++step) {
      const int a = FadeAmount(step, it);
      EXPECT_GE(a, 0);
      EXPECT_LE(a, last) << "amount must fall step by step";
      last = a;
    }
    EXPECT_EQ(last, 0) << "the last step shows the new image alone";
  }
}

// The vector division by 255 of every level agrees with the exact rounded quotient over every
// operand pair.
TEST(PixelKernels, RowBlendConstExhaustiveAgainstReference) {
  TOwnedImage a(256 * 256 / 3 + 1, 1), b(256 * 256 / 3 + 1, 1);
  for (int i = 0; i < 256 * 256 && i < a.Width * 3; ++i) {
    a.Row(0)[i] = std::uint8_t(i & 0xFF);
    b.Row(0)[i] = std::uint8_t(i >> 8);
  }
  std::vector<std::uint8_t> fast(std::size_t(a.Width) * 3), slow(fast.size());
  for (rows::TSimdLevel level : rows::AvailableLevels()) {
    rows::TLevelScope scope(level);
    for (unsigned w = 0; w < 256; ++w) {
      rows::BlendConst(fast.data(), a.Row(0), b.Row(0), a.Width, w);
      rows::ref::BlendConst(slow.data(), a.Row(0), b.Row(0), a.Width, w);
      ASSERT_EQ(fast, slow) << rows::LevelName(level) << " weight " << w;
      for (std::size_t i = 0; i < fast.size(); i += 997) {
        const double exact = (a.Row(0)[i] * double(w) + b.Row(0)[i] * double(255 - w)) / 255.0;
        ASSERT_LE(std::abs(fast[i] - exact), 0.5) << i;
      }
    }
  }
}

// --- blends -----------------------------------------------------------------------------------

TEST(PixelKernels, BlendBitmapsWeightsDestination) {
  const struct {
    int Amount;
    std::uint32_t Out;
  } cases[] = {{255, 0x102030}, {0, 0xF0E0D0}, {-5, 0xF0E0D0}, {300, 0x102030}, {128, 0x808080}};
  for (auto c : cases) {
    TOwnedImage dst = Solid(19, 3, 0x102030), src = Solid(19, 3, 0xF0E0D0, true);
    BlendBitmaps(dst.View(), src.View(), c.Amount);
    EXPECT_EQ(Rgb(dst.Pixel(18, 2)), c.Out) << c.Amount;
    EXPECT_TRUE(dst.PaddingIntact());
  }
}

TEST(PixelKernels, BlendBitmapsOfUnequalSizesTouchOnlyTheCommonArea) {
  TOwnedImage dst = Solid(5, 5, 0x000000), src = Solid(3, 2, 0xFFFFFF);
  BlendBitmaps(dst.View(), src.View(), 0);
  EXPECT_EQ(Rgb(dst.Pixel(2, 1)), 0xFFFFFFu);
  EXPECT_EQ(Rgb(dst.Pixel(3, 1)), 0u);
  EXPECT_EQ(Rgb(dst.Pixel(2, 2)), 0u);
}

TEST(PixelKernels, BlendBitmapRectClipsToBothImages) {
  const struct {
    TRect Src;
    TPoint At;
    int Painted;  // pixels of the 4 x 4 destination that change
  } cases[] = {
      {{0, 0, 4, 4}, {0, 0}, 9},
      {{0, 0, 4, 4}, {-2, -2}, 1},
      {{-3, -3, 2, 2}, {0, 0}, 1},
      {{1, 1, 3, 3}, {3, 3}, 1},
      {{0, 0, 4, 4}, {4, 0}, 0},
      {{2, 2, 1, 1}, {0, 0}, 0},
      {{0, 0, 9, 9}, {1, 1}, 9},
      {{INT_MIN, INT_MIN, INT_MAX, INT_MAX}, {0, 0}, 0},
      {{0, 0, INT_MAX, INT_MAX}, {INT_MIN, INT_MIN}, 0},
  };
  for (auto c : cases) {
    TOwnedImage dst = Solid(4, 4, 0x000000), src = Solid(3, 3, 0xFFFFFF, true);
    BlendBitmapRect(dst.View(), src.View(), 255, c.Src, c.At);
    int painted = 0;
    for (int y = 0; y < 4; ++y)
      for (int x = 0; x < 4; ++x) painted += Rgb(dst.Pixel(x, y)) != 0;
    EXPECT_EQ(painted, c.Painted) << c.Src.Left << "," << c.Src.Top << " at " << c.At.X << "," << c.At.Y;
    EXPECT_TRUE(dst.PaddingIntact());
  }
}

TEST(PixelKernels, BlendRectKeyedSkipsKeyAndMixesTheRest) {
  TOwnedImage dst = Solid(3, 1, 0x000000), src(3, 1);
  src.Set(0, 0, Bgr(0xFF00FF));
  src.Set(1, 0, Bgr(0xFFFFFF));
  src.Set(2, 0, Bgr(0x0000FF));
  // Dst = Src - (Src - Dst) * 0.4: 255 - 255 * 0.4 = 153.
  BlendRectKeyed(dst.View(), 0, 0, src.View(), TRect{0, 0, 3, 1}, 0.4, clKeyMagenta);
  EXPECT_EQ(Rgb(dst.Pixel(0, 0)), 0u);
  EXPECT_EQ(Rgb(dst.Pixel(1, 0)), 0x999999u);
  EXPECT_EQ(Rgb(dst.Pixel(2, 0)), 0x000099u);
  // A key with high byte 0xFF is no key: the magenta pixel is blended too.
  TOwnedImage dst2 = Solid(3, 1, 0x000000);
  BlendRectKeyed(dst2.View(), 0, 0, src.View(), TRect{0, 0, 3, 1}, 0.4, 0xFF000000u | clKeyMagenta);
  EXPECT_EQ(Rgb(dst2.Pixel(0, 0)), 0x990099u);
}

TEST(PixelKernels, BlendColorRectKeepsPercentInsideRectOnly) {
  TOwnedImage img = Solid(6, 4, 0x000000);
  BlendColorRect(img.View(), TRect{1, 1, 4, 3}, 60, 0xFFFFFF, false, 0);
  EXPECT_EQ(Rgb(img.Pixel(1, 1)), 0x666666u);  // 40 % of 255
  EXPECT_EQ(Rgb(img.Pixel(3, 2)), 0x666666u);
  EXPECT_EQ(Rgb(img.Pixel(0, 0)), 0u);
  EXPECT_EQ(Rgb(img.Pixel(4, 2)), 0u);
  BlendColorRect(img.View(), TRect{-50, -50, -1, -1}, 0, 0xFFFFFF, true, 5);  // outside: nothing
  EXPECT_EQ(Rgb(img.Pixel(0, 0)), 0u);
  EXPECT_TRUE(img.PaddingIntact());
}

TEST(PixelKernels, BlendColorRectBlurStaysInsideRectAndKeepsFlatAreas) {
  TOwnedImage img = Solid(9, 9, 0x000000, true);
  img.Set(4, 4, Bgr(0xFFFFFF));
  BlendColorRect(img.View(), TRect{2, 2, 7, 7}, 100, 0, true, 1);
  EXPECT_EQ(img.Pixel(4, 4).R, 28);  // 255 / 9 rounded
  EXPECT_EQ(img.Pixel(3, 3).R, 28);
  EXPECT_EQ(img.Pixel(2, 2).R, 0);
  EXPECT_EQ(img.Pixel(1, 4).R, 0);
  TOwnedImage flat = Solid(30, 7, 0x406080);
  BlendColorRect(flat.View(), TRect{0, 0, 30, 7}, 100, 0, true, 1000);
  for (int x = 0; x < 30; ++x) EXPECT_EQ(Rgb(flat.Pixel(x, 6)), 0x406080u);
}

// --- copies -----------------------------------------------------------------------------------

TEST(PixelKernels, CopyTransparentSkipsKeyPixels) {
  TOwnedImage dst = Solid(21, 2, 0x111111), src = Solid(20, 1, 0x00FF00, true);
  for (int x = 3; x < 19; ++x) src.Set(x, 0, Bgr(0xFF00FF));  // a whole SIMD block of key
  CopyTransparent(dst.View(), src.View(), 1, 1, clKeyMagenta);
  EXPECT_EQ(Rgb(dst.Pixel(0, 1)), 0x111111u);
  EXPECT_EQ(Rgb(dst.Pixel(1, 1)), 0x00FF00u);
  EXPECT_EQ(Rgb(dst.Pixel(3, 1)), 0x00FF00u);
  EXPECT_EQ(Rgb(dst.Pixel(4, 1)), 0x111111u);
  EXPECT_EQ(Rgb(dst.Pixel(19, 1)), 0x111111u);
  EXPECT_EQ(Rgb(dst.Pixel(20, 1)), 0x00FF00u);
  EXPECT_EQ(Rgb(dst.Pixel(5, 0)), 0x111111u);
}

TEST(PixelKernels, CopyTransparentRectTakesKeyPixelsFromCache) {
  TOwnedImage dst = Solid(4, 1, 0x111111), src(4, 1), cache = Solid(10, 10, 0x777777);
  src.Fill(Bgr(0xFF00FF));
  src.Set(0, 0, Bgr(0x0000FF));
  cache.Set(6, 5, Bgr(0xABCDEF));  // under dst (2, 0) with the offset (4, 5)
  const TCacheView cv = MakeCacheView(cache.View(), 4, 5);
  CopyTransparentRect(dst.View(), src.View(), 0, 0, TRect{0, 0, 4, 1}, clKeyMagenta, cv, true);
  EXPECT_EQ(Rgb(dst.Pixel(0, 0)), 0x0000FFu);
  EXPECT_EQ(Rgb(dst.Pixel(2, 0)), 0xABCDEFu);
  EXPECT_EQ(Rgb(dst.Pixel(3, 0)), 0x777777u);
  // Without UseCache, or with a cache that is not ready, key pixels keep the destination.
  TOwnedImage dst2 = Solid(4, 1, 0x111111);
  CopyTransparentRect(dst2.View(), src.View(), 0, 0, TRect{0, 0, 4, 1}, clKeyMagenta, cv, false);
  EXPECT_EQ(Rgb(dst2.Pixel(2, 0)), 0x111111u);
  TCacheView notReady = cv;
  notReady.Ready = false;
  CopyTransparentRect(dst2.View(), src.View(), 0, 0, TRect{0, 0, 4, 1}, clKeyMagenta, notReady, true);
  EXPECT_EQ(Rgb(dst2.Pixel(2, 0)), 0x111111u);
  // A cache too small to lie under the pixel leaves it alone.
  TOwnedImage dst3 = Solid(4, 1, 0x111111);
  CopyTransparentRect(dst3.View(), src.View(), 0, 0, TRect{0, 0, 4, 1}, clKeyMagenta, MakeCacheView(cache.View(), 7, 0),
                      true);
  EXPECT_EQ(Rgb(dst3.Pixel(2, 0)), 0x777777u);
  EXPECT_EQ(Rgb(dst3.Pixel(3, 0)), 0x111111u);
}

// A skin image copied by its key runs into an image laid out alike (rows a stride apart in both,
// padded or not, either row order, the whole image or a band a few pixels narrower), rows of
// border runs, whole key rows and scattered keys taking turns: the same pixels as the reference,
// and the destination's padding and the columns beside the band as they were.
TEST(PixelKernels, CopyByKeyRunsMatchesReferenceOverImagesLaidOutAlike) {
  struct TCase {
    int W, H, Pad, Inset;
    bool SrcUp, DstUp;
  } const cases[] = {{800, 70, 0, 0, true, true}, {799, 70, 3, 0, true, true},   {320, 9, 0, 0, false, false},
                     {801, 70, 1, 2, true, true}, {333, 40, 3, 5, false, false}, {640, 30, 0, 0, true, false},
                     {64, 300, 0, 0, true, true}, {96, 200, 2, 1, true, true},   {1400, 15, 1, 3, true, true},
                     {20, 200, 3, 1, false, true}};
  for (const TCase& c : cases) {
    qvtest::TByteSource bytes(std::uint64_t(c.W) * 7 + c.H);
    TOwnedImage src(c.W, c.H, c.Pad, c.SrcUp), dst(c.W, c.H, c.Pad, c.DstUp);
    for (int y = 0; y < c.H; ++y)
      for (int x = 0; x < c.W; ++x) {
        const int kind = (y / 5) % 4;  // border runs, a whole key row, scattered keys, none
        const bool key = kind == 0   ? x < 6 || x >= c.W - 6 || x == c.W / 2
                         : kind == 1 ? y % 5 == 0
                         : kind == 2 ? bytes.Int(0, 15) == 0
                                     : false;
        src.Set(x, y, key ? Bgr(0xFF00FF) : TBgr{bytes.Byte(), bytes.Byte(), bytes.Byte()});
        dst.Set(x, y, TBgr{bytes.Byte(), bytes.Byte(), bytes.Byte()});
      }
    for (int y = 0; y < c.H; ++y) std::memset(src.Row(y) + 3 * c.W, 0x3C, std::size_t(c.Pad));
    TKeyRunIndex index;
    BuildKeyRunIndex(src.View(), clKeyMagenta, index);
    TOwnedImage want = dst;
    const TRect band{c.Inset, 0, c.W - c.Inset, c.H};
    CopyTransparentIndexed(dst.View(), src.View(), index, c.Inset, 0, band, TCacheView{}, false);
    ref::CopyTransparentRect(want.View(), src.View(), c.Inset, 0, band, clKeyMagenta, TCacheView{}, false);
    EXPECT_EQ(dst.Bytes, want.Bytes) << c.W << " x " << c.H << " pad " << c.Pad << " inset " << c.Inset;
    EXPECT_TRUE(dst.PaddingIntact()) << c.W << " x " << c.H;
  }
}

TEST(PixelKernels, CopyByMaskBlackTakesWhiteLeavesGreyBlends) {
  // 3 x 1 picture above its 3 x 1 mask.
  TOwnedImage src(3, 2, 1, true), dst = Solid(3, 1, 0x000000);
  for (int x = 0; x < 3; ++x) src.Set(x, 0, Bgr(0xFFFFFF));
  src.Set(0, 1, Bgr(0x000000));
  src.Set(1, 1, Bgr(0xFFFFFF));
  src.Set(2, 1, Bgr(0x808080));
  CopyByMask(TRect{0, 0, 3, 1}, TRect{0, 0, 3, 1}, dst.View(), src.View(), TCacheView{}, false);
  EXPECT_EQ(Rgb(dst.Pixel(0, 0)), 0xFFFFFFu);
  EXPECT_EQ(Rgb(dst.Pixel(1, 0)), 0x000000u);
  EXPECT_EQ(Rgb(dst.Pixel(2, 0)), 0x7F7F7Fu);  // 255 * 127 / 255
  // White takes the cache instead.
  TOwnedImage cache = Solid(3, 1, 0x123456), dst2 = Solid(3, 1, 0x000000);
  CopyByMask(TRect{0, 0, 3, 1}, TRect{0, 0, 3, 1}, dst2.View(), src.View(), MakeCacheView(cache.View(), 0, 0), true);
  EXPECT_EQ(Rgb(dst2.Pixel(1, 0)), 0x123456u);
  // The picture never reaches into the mask half, whatever the source rectangle.
  TOwnedImage dst3 = Solid(3, 3, 0x000000);
  CopyByMask(TRect{0, 0, 3, 3}, TRect{0, 0, 3, 3}, dst3.View(), src.View(), TCacheView{}, false);
  EXPECT_EQ(Rgb(dst3.Pixel(0, 1)), 0u);
}

TEST(PixelKernels, GrayscaleWeightsAndKey) {
  const struct {
    std::uint32_t In;
    int Out;
  } cases[] = {{0xFFFFFF, 255}, {0x000000, 0}, {0x0000FF, 77}, {0x00FF00, 150}, {0xFF0000, 28}};
  for (auto c : cases) {
    TOwnedImage img = Solid(17, 1, c.In);
    GrayscaleBmp(img.View());
    EXPECT_EQ(Rgb(img.Pixel(16, 0)), std::uint32_t(c.Out * 0x010101)) << std::hex << c.In;
  }
  TOwnedImage img = Solid(40, 2, 0xFF00FF, true);
  img.Set(20, 1, Bgr(0x0000FF));
  GrayscaleBmpKeyed(img.View(), clKeyMagenta);
  EXPECT_EQ(Rgb(img.Pixel(19, 1)), 0xFF00FFu);
  EXPECT_EQ(Rgb(img.Pixel(20, 1)), 0x4D4D4Du);
}

TEST(PixelKernels, CollectKeyRunsAcrossBlocks) {
  TOwnedImage img = Solid(50, 2, 0x000000, true);
  for (int x = 2; x < 40; ++x) img.Set(x, 0, Bgr(0xFF00FF));
  img.Set(49, 0, Bgr(0xFF00FF));
  img.Set(0, 1, Bgr(0xFF00FF));
  std::vector<TRect> runs;
  CollectKeyRuns(img.View(), clKeyMagenta, runs);
  const std::vector<TRect> want = {{2, 0, 40, 1}, {49, 0, 50, 1}, {0, 1, 1, 2}};
  EXPECT_EQ(runs, want);
}

// A bottom-up image (negative stride) gives the same pixels as a top-down one.
TEST(PixelKernels, NegativeStrideMatchesTopDown) {
  for (int seed = 1; seed < 40; ++seed) {
    qvtest::TByteSource src(seed);
    TOwnedImage top = qvtest::RandomImage(src, 23, 5), other = qvtest::RandomImage(src, 23, 5);
    top.BottomUp = false;
    TOwnedImage up(23, 5, 2, true);
    for (int y = 0; y < 5; ++y) std::memcpy(up.Row(y), top.Row(y), 23 * 3);
    BlendRectKeyed(top.View(), 1, 1, other.View(), TRect{0, 0, 23, 5}, 0.3, clKeyMagenta);
    BlendRectKeyed(up.View(), 1, 1, other.View(), TRect{0, 0, 23, 5}, 0.3, clKeyMagenta);
    for (int y = 0; y < 5; ++y) ASSERT_EQ(std::memcmp(up.Row(y), top.Row(y), 23 * 3), 0) << seed;
  }
}

// --- differential -----------------------------------------------------------------------------

TEST(PixelKernels, FastKernelsMatchReferenceOnRandomImages) {
  for (std::uint64_t seed = 1; seed <= 30000; ++seed) {
    const std::string err = qvtest::RunDifferentialCaseAtEveryLevel([&] { return qvtest::TByteSource(seed); });
    ASSERT_TRUE(err.empty()) << "seed " << seed << ": " << err;
  }
}
