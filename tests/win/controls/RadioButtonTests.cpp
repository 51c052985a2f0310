// The skinned radio button: a release checks it, its siblings are unchecked and repainted, and its
// glyphs follow from the screen.
#include <gtest/gtest.h>

#include "skin/controls/sRadioButton.h"
#include "tests/support/RealInput.h"
#include "tests/support/ControlsFixture.h"

using namespace qvtest;

namespace {

class RadioButton : public ControlsTest {
 protected:
  void SetUp() override {
    ControlsTest::SetUp();
    MouseAway();
  }
  TsRadioButton* Make(const char* caption, int y) {
    auto* r = Create<TsRadioButton>(Form);
    r->SetParent(Form);
    r->SetCaption(caption);
    r->SetLeft(20);
    r->SetTop(y);
    flush_events();
    return r;
  }
  COLORREF Glyph(const char* name, int state) const {
    return TSkinBuilder::FrameColor(Builder.MaskOrdinal("GLOBALINFO", name), state);
  }
  static COLORREF GlyphOnScreen(TsRadioButton* r) {
    const TRect g = r->CheckRect();
    return CaptureScreen(r->Handle()).Pixel((g.Left + g.Right) / 2, (g.Top + g.Bottom) / 2);
  }
};

}  // namespace

TEST_F(RadioButton, ClickChecksItAndRepaintsTheSiblingItUnchecks) {
  LoadStandardSkin();
  TsRadioButton* a = Make("First", 20);
  TsRadioButton* b = Make("Second", 50);
  TsRadioButton* c = Make("Third", 80);
  a->SetChecked(true);
  flush_events();
  EXPECT_EQ(ColorText(Glyph("RADIOCHECKED", 0)), ColorText(GlyphOnScreen(a)));
  struct Step {
    TsRadioButton* Click;
    bool A, B, C;
  };
  // A click on a checked button keeps it checked; the others follow the one clicked.
  const Step steps[] = {
      {b, false, true, false}, {b, false, true, false}, {c, false, false, true}, {a, true, false, false}};
  for (const Step& s : steps) {
    const TRect g = s.Click->CheckRect();
    ClickAt(ScreenPoint(s.Click, g.Left + 3, g.Top + 3));
    MouseAway();
    // The system tells a window that the mouse left it a moment later.
    ASSERT_TRUE(pump_until([&] { return !s.Click->SkinData()->MouseAbove; }));
    flush_events();
    EXPECT_EQ(s.A, a->Checked());
    EXPECT_EQ(s.B, b->Checked());
    EXPECT_EQ(s.C, c->Checked());
    for (TsRadioButton* r : {a, b, c}) {
      // The clicked one has the focus and stays hot; no unchecked one keeps its dot.
      const bool hot = r == s.Click;
      EXPECT_EQ(ColorText(Glyph(r->Checked() ? "RADIOCHECKED" : "RADIOUNCHECKED", hot ? 1 : 0)),
                ColorText(GlyphOnScreen(r)))
          << r->Caption();
    }
  }
}

TEST_F(RadioButton, SpaceChecksAndReadOnlyRefuses) {
  LoadStandardSkin();
  TsRadioButton* a = Make("First", 20);
  TsRadioButton* b = Make("Second", 50);
  a->SetChecked(true);
  ASSERT_TRUE(FocusForKeys(b->Handle()));
  b->SetReadOnly(true);
  PressKey(VK_SPACE);
  EXPECT_TRUE(a->Checked());
  b->SetReadOnly(false);
  PressKey(VK_SPACE);
  EXPECT_TRUE(b->Checked());
  EXPECT_FALSE(a->Checked());
  EXPECT_EQ(ColorText(Glyph("RADIOUNCHECKED", 0)), ColorText(GlyphOnScreen(a)));
}
