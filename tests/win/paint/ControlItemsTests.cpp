// A section's whole look and a control's look from its own section: borders that show only when
// hot, corner images (also through PARENTCLASS), the parent colour asked first, the background
// alone.
#include "tests/win/paint/PaintTestSupport.h"

#include "tests/support/Pump.h"

using namespace painttest;

namespace {

// FLAT (ordinal 5): a hot-only 3-state border, a 3-state top-left corner image of 4 x 3 and a
// one-frame bottom-right corner image of 5 x 2. KID (6) inherits them through PARENTCLASS. The
// builder puts key runs in the corners of every frame: top-left 1 pixel, top-right 2, bottom-left
// and bottom-right 2 (limited to half the width).
class ControlItems : public PaintTest {
 protected:
  static constexpr int kFlat = 5, kKid = 6;

  void Customize(qvtest::TSkinBuilder& b) override {
    b.Section("FLAT");
    b.Mask("FLAT", "BORDERSMASK", 12, 12, 3).HotOnly = true;
    b.Mask("FLAT", "CORNERTOPLEFT", 4, 3, 3);
    b.Mask("FLAT", "CORNERBOTTOMRIGHT", 5, 2, 1);
    b.Section("KID", "FLAT");
  }
  qv::TColorRef Border(int state) const { return Frame("FLAT", "BORDERSMASK", state); }
  qv::TColorRef TopLeft(int state) const { return Frame("FLAT", "CORNERTOPLEFT", state); }
  qv::TColorRef BottomRight() const { return Frame("FLAT", "CORNERBOTTOMRIGHT", 0); }

  // A skinned window control of section FLAT, 40 x 30, on a host whose colour is HostColor.
  qvtest::TTestSkinControl* Place(TColor hostColor) {
    Host = std::make_unique<qvtest::TTestHost>();
    Host->Control()->SetColor(hostColor);
    auto* c = Create<qvtest::TTestSkinControl>(Host->Control(), tcButton);
    c->SetParent(Host->Control());
    c->SetBounds(5, 5, 40, 30);
    c->SkinData->SetSkinSection("FLAT");
    qvtest::flush_events(10, 300);
    return c;
  }
  void TearDown() override {
    Host.reset();
    PaintTest::TearDown();
  }
  std::unique_ptr<qvtest::TTestHost> Host;
};

struct TProbe {
  const char* Name;
  int X, Y;
};

// State 0 leaves the hot-only border out (the background shows, also under the corner image's
// key pixel); states 1 and 2 paint it. The corner images lie over the border in every state.
TEST_F(ControlItems, HotOnlyBorderAndCornerImagesOfASection) {
  for (int state : {0, 1, 2}) {
    SCOPED_TRACE("state " + std::to_string(state));
    TBmpPtr bmp = Bmp(40, 30, clWhite);
    PaintSectionItem(Section("FLAT"), "FLAT", EmptyCacheInfo, true, state, TRect{0, 0, 40, 30}, TPoint{}, bmp.get(),
                     Manager);
    const qv::TColorRef back = state == 0 ? SecColor(kFlat) : SecHotColor(kFlat);
    const qv::TColorRef edge = state == 0 ? back : Border(state);
    EXPECT_EQ(Hex(Px(bmp.get(), 20, 0)), Hex(edge)) << "top edge";
    EXPECT_EQ(Hex(Px(bmp.get(), 0, 15)), Hex(edge)) << "left edge";
    EXPECT_EQ(Hex(Px(bmp.get(), 20, 15)), Hex(edge)) << "centre (filling)";
    EXPECT_EQ(Hex(Px(bmp.get(), 1, 1)), Hex(TopLeft(state))) << "top-left corner image, frame of the state";
    EXPECT_EQ(Hex(Px(bmp.get(), 3, 1)), Hex(TopLeft(state))) << "its last column";
    EXPECT_EQ(Hex(Px(bmp.get(), 4, 1)), Hex(edge)) << "right of it";
    EXPECT_EQ(Hex(Px(bmp.get(), 0, 0)), Hex(back)) << "its key pixel: what lies below";
    EXPECT_EQ(Hex(Px(bmp.get(), 37, 28)), Hex(BottomRight())) << "bottom-right image, one frame for all states";
    EXPECT_EQ(Hex(Px(bmp.get(), 36, 28)), Hex(BottomRight())) << "its second column";
    EXPECT_EQ(Hex(Px(bmp.get(), 34, 28)), Hex(edge)) << "left of it: the bottom edge";
    EXPECT_EQ(Hex(Px(bmp.get(), 39, 0)), Hex(back))
        << "top-right: no corner image; the border's key keeps the background";
  }
}

// Corner images sit at the corners of R (not of the bitmap) and stay inside it.
TEST_F(ControlItems, CornerImagesFollowRAndPARENTCLASS) {
  TBmpPtr bmp = Bmp(60, 50, TColor(0x010203));
  PaintSectionItem(Section("KID"), "KID", EmptyCacheInfo, true, 1, TRect{10, 10, 50, 40}, TPoint{}, bmp.get(), Manager);
  EXPECT_EQ(Hex(Px(bmp.get(), 11, 11)), Hex(TopLeft(1)));
  EXPECT_EQ(Hex(Px(bmp.get(), 47, 38)), Hex(BottomRight()));
  EXPECT_EQ(Hex(Px(bmp.get(), 50, 39)), Hex(0x010203)) << "outside R";
  // A rectangle smaller than the corner images: nothing spills out of it.
  TBmpPtr small = Bmp(20, 20, TColor(0x010203));
  PaintSectionItem(Section("FLAT"), "FLAT", EmptyCacheInfo, true, 1, TRect{5, 5, 8, 7}, TPoint{}, small.get(), Manager);
  for (const TProbe p : {TProbe{"left", 4, 5}, {"above", 5, 4}, {"right", 8, 6}, {"below", 7, 7}})
    EXPECT_EQ(Hex(Px(small.get(), p.X, p.Y)), Hex(0x010203)) << p.Name;
}

// By indexes the border is the mask given: FLAT's hot-only mask is left out in state 0, BUTTON's is
// not; the corner images are the section's.
TEST_F(ControlItems, ByIndexesHonoursTheMaskGiven) {
  TBmpPtr bmp = Bmp(40, 30, clWhite);
  PaintSectionItemByIndexes(Section("FLAT"), Manager->MaskIndexOf("FLAT", "BORDERSMASK"), -1, -1, EmptyCacheInfo, true,
                            0, TRect{0, 0, 40, 30}, TPoint{}, bmp.get(), Manager);
  EXPECT_EQ(Hex(Px(bmp.get(), 20, 0)), Hex(SecColor(kFlat)));
  EXPECT_EQ(Hex(Px(bmp.get(), 1, 1)), Hex(TopLeft(0)));
  PaintSectionItemByIndexes(Section("FLAT"), Manager->MaskIndexOf("BUTTON", "BORDERSMASK"), -1, -1, EmptyCacheInfo,
                            true, 0, TRect{0, 0, 40, 30}, TPoint{}, bmp.get(), Manager);
  EXPECT_EQ(Hex(Px(bmp.get(), 20, 0)), Hex(Frame("BUTTON", "BORDERSMASK", 0)));
}

// PaintControlItem asks the parent for its colour before painting: a stale shared colour is never
// used. The border's transparent corners show it (UseCache without a parent image).
TEST_F(ControlItems, ControlItemAsksTheParentColourFirst) {
  auto* c = Place(TColor(0x0000C0));
  ASSERT_TRUE(c->SkinData->Skinned());
  SharedParentColor = TColor(0x00FF00);  // left over from an earlier question
  TBmpPtr bmp = Bmp(40, 30, clWhite);
  PaintControlItem(c->SkinData, EmptyCacheInfo, true, 1, TRect{0, 0, 40, 30}, TPoint{5, 5}, bmp.get(), true);
  EXPECT_EQ(Hex(SharedParentColor), Hex(0x0000C0));
  EXPECT_EQ(Hex(Px(bmp.get(), 39, 0)), Hex(0x0000C0)) << "border key over the parent colour";
  EXPECT_EQ(Hex(Px(bmp.get(), 20, 0)), Hex(Border(1)));
  EXPECT_EQ(Hex(Px(bmp.get(), 1, 1)), Hex(TopLeft(1)));
  EXPECT_EQ(Hex(Px(bmp.get(), 37, 28)), Hex(BottomRight()));

  // Without the cache the key pixels keep the background.
  TBmpPtr keep = Bmp(40, 30, clWhite);
  PaintControlItem(c->SkinData, EmptyCacheInfo, true, 1, TRect{0, 0, 40, 30}, TPoint{5, 5}, keep.get(), false);
  EXPECT_EQ(Hex(Px(keep.get(), 39, 0)), Hex(SecHotColor(kFlat)));

  // Normal state: the hot-only border stays out, the corner images do not.
  TBmpPtr normal = Bmp(40, 30, clWhite);
  PaintControlItem(c->SkinData, EmptyCacheInfo, true, 0, TRect{0, 0, 40, 30}, TPoint{5, 5}, normal.get(), true);
  EXPECT_EQ(Hex(Px(normal.get(), 20, 0)), Hex(SecColor(kFlat)));
  EXPECT_EQ(Hex(Px(normal.get(), 1, 1)), Hex(TopLeft(0)));
  c->Free();
}

// A skinned parent answers with its section's colour; the transparent parts take the parent's
// image when it is ready.
TEST_F(ControlItems, ControlItemOverASkinnedParent) {
  Host = std::make_unique<qvtest::TTestHost>();
  auto* panel = Create<qvtest::TTestSkinControl>(Host->Control(), tcPanel);
  panel->SetParent(Host->Control());
  panel->SetBounds(0, 0, 100, 80);
  auto* c = Create<qvtest::TTestSkinControl>(panel, tcButton);
  c->SetParent(panel);
  c->SetBounds(10, 10, 40, 30);
  c->SkinData->SetSkinSection("FLAT");
  qvtest::flush_events(10, 300);
  TBmpPtr bmp = Bmp(40, 30, clWhite);
  PaintControlItem(c->SkinData, EmptyCacheInfo, true, 1, TRect{0, 0, 40, 30}, TPoint{10, 10}, bmp.get(), true);
  EXPECT_EQ(Hex(Px(bmp.get(), 39, 0)), Hex(Manager->Section(Manager->SectionIndexOf("PANEL")).Color));

  TBmpPtr parentImage = Bmp(100, 80, TColor(0x102030));
  FillBmpRect(parentImage.get(), TRect{49, 10, 50, 11}, TColor(0x0A0B0C));
  PaintControlItem(c->SkinData, BuildCacheInfo(parentImage.get()), true, 1, TRect{0, 0, 40, 30}, TPoint{10, 10},
                   bmp.get(), true);
  EXPECT_EQ(Hex(Px(bmp.get(), 39, 0)), Hex(0x0A0B0C)) << "the parent's pixel under the key";
  EXPECT_EQ(Hex(Px(bmp.get(), 38, 0)), Hex(0x102030));
  panel->Free();
}

// The background alone: colour of the state, no border, no corner images.
TEST_F(ControlItems, ControlBackgroundAlone) {
  auto* c = Place(TColor(0x0000C0));
  for (int state : {0, 1}) {
    TBmpPtr bmp = Bmp(40, 30, clWhite);
    PaintControlBackground(c->SkinData, EmptyCacheInfo, state, TRect{0, 0, 40, 30}, TPoint{5, 5}, bmp.get());
    const qv::TColorRef back = state == 0 ? SecColor(kFlat) : SecHotColor(kFlat);
    for (const TProbe p : {TProbe{"edge", 20, 0}, {"corner image", 1, 1}, {"bottom right", 37, 28}, {"centre", 20, 15}})
      EXPECT_EQ(Hex(Px(bmp.get(), p.X, p.Y)), Hex(back)) << p.Name << ", state " << state;
  }
  // Nothing for a control that is not skinned.
  c->SkinData->SetSkinSection("NO SUCH SECTION");
  TBmpPtr untouched = Bmp(40, 30, clWhite);
  PaintControlItem(c->SkinData, EmptyCacheInfo, true, 1, TRect{0, 0, 40, 30}, TPoint{}, untouched.get(), true);
  PaintControlBackground(c->SkinData, EmptyCacheInfo, 1, TRect{0, 0, 40, 30}, TPoint{}, untouched.get());
  EXPECT_EQ(Hex(Px(untouched.get(), 20, 15)), Hex(0xFFFFFF));
  PaintControlItem(nullptr, EmptyCacheInfo, true, 1, TRect{0, 0, 40, 30}, TPoint{}, untouched.get(), true);
  c->Free();
}

}  // namespace

namespace {

int Count(TBitmap* b, qv::TColorRef c) {
  int n = 0;
  for (int y = 0; y < b->Height(); ++y)
    for (int x = 0; x < b->Width(); ++x) n += Px(b, x, y) == c;
  return n;
}

// The Write forms take R by reference: with DT_CALCRECT they measure into it and draw nothing;
// without, they draw as the Draw forms do. Skinned text takes the section's colour, unskinned the
// canvas font's.
TEST_F(ControlItems, WriteFormsMeasureWithCalcRectAndDrawOtherwise) {
  TBmpPtr bmp = Bmp(120, 40, TColor(0xFFFFFF));
  bmp->Canvas()->Font()->SetHeight(-20);
  TRect r{0, 0, 0, 0};
  WriteSectionText(bmp->Canvas(), "WMW", true, r, DT_CALCRECT | DT_SINGLELINE, Section("PLAIN"), false, Manager);
  EXPECT_GT(r.Width(), 10);
  EXPECT_GT(r.Height(), 10);
  EXPECT_EQ(Count(bmp.get(), 0xFFFFFF), 120 * 40) << "measuring draws nothing";
  TRect box{0, 0, 120, 40};
  WriteSectionText(bmp->Canvas(), "WMW", true, box, DT_SINGLELINE, Section("PLAIN"), true, Manager);
  EXPECT_GT(Count(bmp.get(), SecColor(kPlain) ^ 0xC0C0C0), 10) << "the hot font colour";

  auto* c = Place(TColor(0xFFFFFF));
  TBmpPtr own = Bmp(120, 40, TColor(0xFFFFFF));
  own->Canvas()->Font()->SetHeight(-20);
  TRect m{0, 0, 0, 0};
  WriteControlText(own->Canvas(), "WMW", true, m, DT_CALCRECT | DT_SINGLELINE, c->SkinData, false);
  EXPECT_EQ(m.Width(), r.Width()) << "same font, same size";
  EXPECT_EQ(Count(own.get(), 0xFFFFFF), 120 * 40);
  TRect all{0, 0, 120, 40};
  WriteControlText(own->Canvas(), "WMW", true, all, DT_SINGLELINE, c->SkinData, false);
  EXPECT_GT(Count(own.get(), SecColor(kFlat) ^ 0x808080), 10) << "the section's font colour";
  c->SkinData->SetSkinSection("NOSUCHSECTION");
  TBmpPtr plain = Bmp(120, 40, TColor(0xFFFFFF));
  plain->Canvas()->Font()->SetHeight(-20);
  plain->Canvas()->Font()->SetColor(TColor(0x0000FF));
  TRect p{0, 0, 120, 40};
  WriteControlText(plain->Canvas(), "WMW", true, p, DT_SINGLELINE, c->SkinData, false);
  EXPECT_GT(Count(plain.get(), 0x0000FF), 10) << "unskinned: the canvas font colour";
  c->Free();
}

}  // namespace
