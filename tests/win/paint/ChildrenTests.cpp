// Copies of a parent's cache that leave its children out, and graphic children painted over it.
#include "tests/win/paint/PaintTestSupport.h"

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

class Children : public PaintTest {
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

TEST_F(Children, CopyLeavesWindowChildrenOut) {
  CopyCacheExcludingChildren(Parent, Parent->SkinData, TPoint{0, 0}, TRect{0, 0, 100, 80}, DC, false, 0, 0);
  EXPECT_EQ(Hex(At(5, 5)), Hex(0x0000FF));
  EXPECT_EQ(Hex(At(15, 15)), Hex(0xFFFFFF)) << "the window child's place is left out";
  EXPECT_EQ(Hex(At(55, 45)), Hex(0x0000FF)) << "a graphic child that is not opaque is painted over";
}

TEST_F(Children, CopyClipsToRAndShiftsChildren) {
  Graphic->SetControlStyle(Graphic->ControlStyle() + csOpaque);
  CopyCacheExcludingChildren(Parent, Parent->SkinData, TPoint{0, 0}, TRect{0, 0, 60, 50}, DC, false, 5, 5);
  EXPECT_EQ(Hex(At(12, 12)), Hex(0x0000FF)) << "children moved by (5, 5)";
  EXPECT_EQ(Hex(At(20, 20)), Hex(0xFFFFFF));
  EXPECT_EQ(Hex(At(57, 47)), Hex(0xFFFFFF)) << "an opaque graphic child is left out";
  EXPECT_EQ(Hex(At(70, 70)), Hex(0xFFFFFF)) << "outside R";
}

TEST_F(Children, CopyExcludingChildWindows) {
  CopyCacheExcludingChildWnds(Parent->Handle(), Parent->SkinData, TRect{0, 0, 100, 80}, TRect{0, 0, 100, 80}, DC, false,
                              0, 0);
  EXPECT_EQ(Hex(At(5, 5)), Hex(0x0000FF));
  EXPECT_EQ(Hex(At(15, 15)), Hex(0xFFFFFF));
  EXPECT_EQ(Hex(At(55, 45)), Hex(0x0000FF));
}

// FixCorners: a child's window region is left out instead of its rectangle, so the parent's image
// shows in its cut corners.
TEST_F(Children, FixCornersFollowsTheChildRegion) {
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

TEST_F(Children, GraphicChildrenPaintAtTheirPlace) {
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

TEST_F(Children, AlignedChildrenSize) {
  Child->SetAlign(alTop);
  Graphic->SetAlign(alTop);
  EXPECT_EQ(AlignedChildrenSize(Parent, alTop, false), 20);
  EXPECT_EQ(AlignedChildrenSize(Parent, alTop, true), 30);
  EXPECT_EQ(AlignedChildrenSize(Parent, alLeft, true), 0);
}

}  // namespace
