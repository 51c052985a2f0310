// Copies of a parent's cache that leave its children out, painting graphic children over it, and
// the image-list and text-measuring helpers.
#include "tests/win/paint/PaintTestSupport.h"

#include "classlib/ImgList.h"
#include "tests/support/Pump.h"

using namespace painttest;

namespace {

// A graphic control that fills itself with one colour.
class TSolidGraphic : public TGraphicControl {
 public:
  QV_CLASS_NAME(TSolidGraphic)
  explicit TSolidGraphic(TComponent* AOwner) : TGraphicControl(AOwner) {}
  TColor Fill = TColor(0x00FF00);

 protected:
  void Paint() override {
    Canvas()->Brush()->SetColor(Fill);
    Canvas()->FillRect(TRect{0, 0, Width(), Height()});
  }
};

class ChildrenTest : public PaintTest {
 protected:
  void SetUp() override {
    PaintTest::SetUp();
    Host = std::make_unique<qvtest::TTestHost>(300, 200);
    Parent = Create<qvtest::TTestSkinControl>(Host->Control(), tcPanel);
    Parent->SetParent(Host->Control());
    Parent->SetBounds(0, 0, 100, 80);
    Parent->SkinData->InitCacheBmp();
    FillBmpRect(Parent->SkinData->CacheBmp, TRect{0, 0, 100, 80}, TColor(0x0000FF));
    Child = Create<TWinControl>(Parent);
    Child->SetParent(Parent);
    Child->SetBounds(10, 10, 20, 20);
    Graphic = Create<TSolidGraphic>(Parent);
    Graphic->SetParent(Parent);
    Graphic->SetBounds(50, 40, 10, 10);
    qvtest::flush_events(20, 500);
    Target = Bmp(100, 80, TColor(0xFFFFFF));
    Target->Canvas()->Lock();
    DC = Target->Canvas()->Handle();
  }
  void TearDown() override {
    Target->Canvas()->Unlock();
    Target.reset();
    Parent->Free();
    Host.reset();
    PaintTest::TearDown();
  }
  qv::TColorRef At(int x, int y) {
    GdiFlush();
    return Px(Target.get(), x, y);
  }

  std::unique_ptr<qvtest::TTestHost> Host;
  qvtest::TTestSkinControl* Parent = nullptr;
  TWinControl* Child = nullptr;
  TSolidGraphic* Graphic = nullptr;
  TBmpPtr Target;
  HDC DC = nullptr;
};

TEST_F(ChildrenTest, CopyLeavesWindowChildrenOut) {
  CopyCacheExcludingChildren(Parent, Parent->SkinData, TPoint{0, 0}, TRect{0, 0, 100, 80}, DC, false, 0, 0);
  EXPECT_EQ(Hex(At(5, 5)), Hex(0x0000FF));
  EXPECT_EQ(Hex(At(15, 15)), Hex(0xFFFFFF)) << "the window child's place is left out";
  EXPECT_EQ(Hex(At(55, 45)), Hex(0x0000FF)) << "a graphic child that is not opaque is painted over";
}

TEST_F(ChildrenTest, CopyClipsToRAndShiftsChildren) {
  Graphic->SetControlStyle(Graphic->ControlStyle() + csOpaque);
  CopyCacheExcludingChildren(Parent, Parent->SkinData, TPoint{0, 0}, TRect{0, 0, 60, 50}, DC, false, 5, 5);
  EXPECT_EQ(Hex(At(12, 12)), Hex(0x0000FF)) << "children moved by (5, 5)";
  EXPECT_EQ(Hex(At(20, 20)), Hex(0xFFFFFF));
  EXPECT_EQ(Hex(At(57, 47)), Hex(0xFFFFFF)) << "an opaque graphic child is left out";
  EXPECT_EQ(Hex(At(70, 70)), Hex(0xFFFFFF)) << "outside R";
}

TEST_F(ChildrenTest, CopyExcludingChildWindows) {
  CopyCacheExcludingChildWnds(Parent->Handle(), Parent->SkinData, TRect{0, 0, 100, 80}, TRect{0, 0, 100, 80}, DC, false,
                              0, 0);
  EXPECT_EQ(Hex(At(5, 5)), Hex(0x0000FF));
  EXPECT_EQ(Hex(At(15, 15)), Hex(0xFFFFFF));
  EXPECT_EQ(Hex(At(55, 45)), Hex(0x0000FF));
}

// FixCorners: a child's window region is left out instead of its rectangle, so the parent's image
// shows in its cut corners.
TEST_F(ChildrenTest, FixCornersFollowsTheChildRegion) {
  OwnedRegion rgn(CreateRectRgn(2, 2, 20, 20));  // the child's top-left two rows and columns are cut
  ASSERT_TRUE(SetWindowRgn(Child->Handle(), rgn.Release(), FALSE));  // the window owns the region now
  CopyCacheExcludingChildWnds(Parent->Handle(), Parent->SkinData, TRect{0, 0, 100, 80}, TRect{0, 0, 100, 80}, DC, true,
                              0, 0);
  EXPECT_EQ(Hex(At(10, 10)), Hex(0x0000FF)) << "cut corner shows the cache";
  EXPECT_EQ(Hex(At(15, 15)), Hex(0xFFFFFF));
  FillBmpRect(Target.get(), TRect{0, 0, 100, 80}, TColor(0xFFFFFF));
  CopyCacheExcludingChildWnds(Parent->Handle(), Parent->SkinData, TRect{0, 0, 100, 80}, TRect{0, 0, 100, 80}, DC, false,
                              0, 0);
  EXPECT_EQ(Hex(At(10, 10)), Hex(0xFFFFFF)) << "without FixCorners the whole rectangle is left out";
}

TEST_F(ChildrenTest, GraphicChildrenPaintAtTheirPlace) {
  PaintGraphicChildren(DC, Parent, TPoint{0, 0});
  EXPECT_EQ(Hex(At(55, 45)), Hex(0x00FF00));
  EXPECT_EQ(Hex(At(60, 50)), Hex(0xFFFFFF)) << "clipped to the child";
  FillBmpRect(Target.get(), TRect{0, 0, 100, 80}, TColor(0xFFFFFF));
  PaintGraphicChildren(DC, Parent, TPoint{-20, -10});
  EXPECT_EQ(Hex(At(35, 35)), Hex(0x00FF00));
  EXPECT_EQ(Hex(At(55, 45)), Hex(0xFFFFFF));
  Graphic->SetVisible(false);
  FillBmpRect(Target.get(), TRect{0, 0, 100, 80}, TColor(0xFFFFFF));
  PaintGraphicChildren(DC, Parent, TPoint{0, 0});
  EXPECT_EQ(Hex(At(55, 45)), Hex(0xFFFFFF)) << "invisible children are not painted";
}

TEST_F(ChildrenTest, AlignedChildrenSize) {
  Child->SetAlign(alTop);
  Graphic->SetAlign(alTop);
  EXPECT_EQ(AlignedChildrenSize(Parent, alTop, false), 20);
  EXPECT_EQ(AlignedChildrenSize(Parent, alTop, true), 30);
  EXPECT_EQ(AlignedChildrenSize(Parent, alLeft, true), 0);
}

TEST_F(PaintTest, ImageListItemIntoABitmap) {
  auto* list = Create<TCustomImageList>(nullptr);
  list->SetSize(8, 6);
  TBmpPtr img = Bmp(8, 6, TColor(0x00FF00));
  ASSERT_EQ(list->Add(img.get(), nullptr), 0);
  TBmpPtr out(CreateBmp24(1, 1));
  EXPECT_TRUE(ImageListItemToBmp(out.get(), list, 0));
  EXPECT_EQ(out->Width(), 8);
  EXPECT_EQ(out->Height(), 6);
  EXPECT_EQ(Hex(Px(out.get(), 3, 3)), Hex(0x00FF00));
  EXPECT_FALSE(ImageListItemToBmp(out.get(), list, 1));
  EXPECT_FALSE(ImageListItemToBmp(out.get(), list, -1));
  EXPECT_FALSE(ImageListItemToBmp(out.get(), nullptr, 0));
  list->Free();
}

TEST_F(PaintTest, TextExtentAndDrawTextStr) {
  auto* font = Create<TFont>();
  font->SetHeight(-20);
  TSize small, big;
  TextExtentWithFont(font, "Wide text", big);
  font->SetHeight(-10);
  TextExtentWithFont(font, "Wide text", small);
  EXPECT_GT(big.cx, small.cx);
  EXPECT_GT(big.cy, small.cy);
  TSize none;
  TextExtentWithFont(font, "", none);
  EXPECT_EQ(none.cx, 0);
  font->Free();

  TBmpPtr bmp = Bmp(10, 10, clWhite);
  TRect r{0, 0, 0, 0};
  DrawTextStr(bmp->Canvas()->Handle(), "Measured", r, DT_CALCRECT | DT_SINGLELINE);
  EXPECT_EQ(r.Width(), bmp->Canvas()->TextWidth("Measured"));
}

TEST_F(PaintTest, BitmapHelpers) {
  TBmpPtr a(CreateBmp24(7, 5));
  EXPECT_EQ(a->PixelFormat(), pf24bit);
  TBmpPtr b(CreateBmpLike(a.get()));
  EXPECT_EQ(b->Width(), 7);
  EXPECT_EQ(b->Height(), 5);
  TBmpPtr none(CreateBmp24(-3, -3));
  EXPECT_TRUE(none->Empty());
  EXPECT_EQ(MakeColorKey(clFuchsia), TColor(0xFF00FF));
  EXPECT_EQ(ClampToByte(300), 255);
  EXPECT_EQ(ClampToByte(-1), 0);
  EXPECT_EQ(AverageColor(TColor(0x000000), TColor(0xFEFEFE)), TColor(0x7F7F7F));
  EXPECT_EQ(MixColors(TColor(0xFFFFFF), TColor(0x000000), 1.0), TColor(0xFFFFFF));
  // Copies and blends between different sizes stay inside both bitmaps.
  TBmpPtr big = Bmp(30, 30, TColor(0x00FF00)), tiny = Bmp(5, 5, TColor(0xFF00FF));
  CopyTransparent(big.get(), tiny.get(), 28, 28, TColor(0xFF00FF));
  CopyTransparent(tiny.get(), big.get(), -10, -10, TColor(0xFF00FF));
  BlendBitmaps(big.get(), tiny.get(), 999);
  BlendBitmapRect(tiny.get(), big.get(), -5, TRect{-10, -10, 100, 100}, TPoint{-3, 2});
  BlendColorRect(tiny.get(), TRect{-5, -5, 50, 50}, 150, TColor(0x000000));
  // The copy filled the small bitmap green; opacity 0 and a percent above 100 keep it.
  EXPECT_EQ(Hex(Px(tiny.get(), 4, 4)), Hex(0x00FF00));
  TRect wa;
  EXPECT_TRUE(GetDesktopWorkArea(wa));
  EXPECT_FALSE(wa.IsEmpty());
}

}  // namespace

namespace {

class GradientTest : public PaintTest {
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

TEST_F(GradientTest, GradientBackgrounds) {
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
TEST_F(GradientTest, PaintersLeaveNoHandles) {
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

namespace {

TEST_F(PaintTest, KeyedBlendWithoutKeyAndSystemColours) {
  TBmpPtr dst = Bmp(4, 4, TColor(0xFFFFFF)), src = Bmp(4, 4, TColor(0x000000));
  BlendRectKeyed(dst.get(), 0, 0, src.get(), TRect{0, 0, 4, 4}, 0.5, clNone);
  EXPECT_TRUE(NearMix(Px(dst.get(), 1, 1), 0xFFFFFF, 0x000000, 0.5)) << "clNone: no key, black blended too";
  TBmpPtr dst2 = Bmp(4, 4, TColor(0xFFFFFF));
  BlendRectKeyed(dst2.get(), 0, 0, src.get(), TRect{0, 0, 4, 4}, 0.5, TColor(0x000000));
  EXPECT_EQ(Hex(Px(dst2.get(), 1, 1)), Hex(0xFFFFFF)) << "black as key: skipped";
  EXPECT_EQ(MixColors(clBtnFace, clBtnFace, 0.3), TColor(ColorToRGB(clBtnFace)));
}

}  // namespace
