// Gradient backgrounds of sections, and painters that leave no handle behind.
#include "tests/win/paint/PaintTestSupport.h"

using namespace painttest;

namespace {

class Gradients : public PaintTest {
  void Customize(qvtest::TSkinBuilder& b) override {
    b.Section("GRAD");
    b.Key("GRAD", "GRADIENTPERCENT", "100");
    b.Key("GRAD", "GRADIENTDATA", "#000000 #FFFFFF V");
    b.Section("HALF");
    b.Key("HALF", "COLOR", "#000000");
    b.Key("HALF", "GRADIENTPERCENT", "50");
    b.Key("HALF", "GRADIENTDATA", "#FFFFFF #FFFFFF H");
    b.Section("NOGRAD");
    b.Key("NOGRAD", "GRADIENTPERCENT", "100");
  }
};

TEST_F(Gradients, GradientBackgrounds) {
  TBmpPtr bmp = Bmp(20, 100, clWhite);
  PaintSectionBackground(Section("GRAD"), "GRAD", EmptyCacheInfo, 0, TRect{0, 0, 20, 100}, TPoint{}, bmp.get(),
                         Manager);
  const qv::TColorRef top = Px(bmp.get(), 10, 1), bottom = Px(bmp.get(), 10, 98);
  EXPECT_LT(top & 0xFF, 0x10u) << Hex(top);
  EXPECT_GT(bottom & 0xFF, 0xF0u) << Hex(bottom);
  EXPECT_EQ(Px(bmp.get(), 0, 50), Px(bmp.get(), 19, 50)) << "vertical: rows are even";
  PaintSectionBackground(Section("HALF"), "HALF", EmptyCacheInfo, 0, TRect{0, 0, 20, 100}, TPoint{}, bmp.get(),
                         Manager);
  EXPECT_TRUE(NearMix(Px(bmp.get(), 10, 50), 0xFFFFFF, 0x000000, 0.5)) << Hex(Px(bmp.get(), 10, 50));
  // A gradient percentage without gradient data: the plain colour.
  PaintSectionBackground(Section("NOGRAD"), "NOGRAD", EmptyCacheInfo, 0, TRect{0, 0, 20, 100}, TPoint{}, bmp.get(),
                         Manager);
  EXPECT_EQ(Hex(Px(bmp.get(), 10, 50)), Hex(Px(bmp.get(), 10, 1)));
}

// Painting through the helpers leaves no GDI object or memory DC behind.
TEST_F(Gradients, PaintersLeaveNoHandles) {
  TBmpPtr bmp = Bmp(60, 40, clWhite);
  TBmpPtr dcBmp = Bmp(60, 40, clWhite);
  dcBmp->Canvas()->Lock();
  HDC dc = dcBmp->Canvas()->Handle();
  TGdiCounts before;
  // The first round makes the handles that live on (the font's own); later rounds add nothing.
  for (int i = 0; i < 4; ++i) {
    if (i == 1) before = GdiLiveCounts();
    PaintSectionItem(Section("GRAD"), "GRAD", EmptyCacheInfo, true, 1, TRect{0, 0, 60, 40}, TPoint{}, bmp.get(),
                     Manager);
    PaintSectionItemToDC(Section("BUTTON"), "BUTTON", EmptyCacheInfo, true, 1, TRect{5, 5, 50, 30}, TPoint{}, dc,
                         Manager);
    TSize s;
    TextExtentWithFont(bmp->Canvas()->Font(), "text", s);
    GetCaptionFontHeight();
    TRect r{0, 0, 60, 40};
    int w = 2;
    PaintFrame3D(dc, r, clWhite, clBlack, w);
    FillRectColor(dc, TRect{0, 0, 5, 5}, clRed);
  }
  EXPECT_EQ(GdiLiveCounts(), before);
  dcBmp->Canvas()->Unlock();
}

}  // namespace
