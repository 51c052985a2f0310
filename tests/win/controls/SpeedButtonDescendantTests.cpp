// The speed button's descendants as far as they are speed buttons: the tab close button, the
// combo edit's button and the spin edit's timer button (their defaults, section and painting).
#include <gtest/gtest.h>

#include "skin/controls/sCustomComboEdit.h"
#include "skin/controls/sPageControl.h"
#include "skin/controls/sSpinEdit.h"
#include "tests/support/ControlsFixture.h"

using namespace qvtest;

namespace {

class SpeedButtonDescendant : public ControlsTest {
 protected:
  template <class T>
  T* Make(int x, int y, int w, int h) {
    auto* b = Create<T>(Form);
    b->SetParent(Form);
    b->SetBounds(x, y, w, h);
    flush_events();
    return b;
  }
};

}  // namespace

TEST_F(SpeedButtonDescendant, TabButtonShowsABoldRedX) {
  auto* b = Create<TsTabBtn>(Form);
  EXPECT_TRUE(b->Flat());
  EXPECT_EQ("X", b->Caption());
  EXPECT_TRUE(b->Font()->Style().Contains(fsBold));
  EXPECT_EQ(TColor(0x0000FF), b->Font()->Color());
  EXPECT_EQ(nullptr, b->Page);
  EXPECT_EQ("SPEEDBUTTON", b->SkinData()->SkinSection());
}

TEST_F(SpeedButtonDescendant, EditButtonDefaults) {
  auto* b = Create<TsEditButton>(Form);
  EXPECT_EQ(Form, b->Edit());
  EXPECT_EQ(Form, b->Owner());
  EXPECT_EQ("SPEEDBUTTON", b->SkinData()->SkinSection());
  EXPECT_TRUE(b->Flat());
  EXPECT_EQ(crArrow, b->Cursor());
  EXPECT_EQ(alRight, b->Align());
  EXPECT_EQ(22, b->Width());
  EXPECT_FALSE(b->ShowCaption());
  b->SetCaption("...");
  b->SetShowCaption(true);
  EXPECT_EQ("...", b->Caption());
}

TEST_F(SpeedButtonDescendant, TimerButtonSkinnedLeavesTheParentColourUnset) {
  LoadStandardSkin();
  auto* b = Make<TsTimerSpeedButton>(10, 10, 40, 30);
  EXPECT_EQ(TsTimerBtnFlags{}, b->TimeBtnState());
  b->SkinData()->BGChanged = true;
  b->Repaint();
  flush_events();
  EXPECT_FALSE(b->SkinData()->BGChanged);
  EXPECT_EQ(clParentColorUnset, SharedParentColor);
  EXPECT_EQ(ColorText(Frame("SPEEDBUTTON", 0)), ColorText(CachePixel(b->SkinData(), 20, 1)));
}

TEST_F(SpeedButtonDescendant, TimerButtonDrawsItsFocusRectangleWhenAsked) {
  auto* b = Make<TsTimerSpeedButton>(10, 10, 40, 30);
  auto edgeColours = [&] {
    b->Repaint();
    flush_events();
    const Capture shot = CaptureScreen(Form->Handle());
    // The focus rectangle's left edge: client x = 3 of the button.
    POINT p{b->Left() + 3, b->Top() + 10};
    ClientToScreen(Form->Handle(), &p);
    RECT wr;
    GetWindowRect(Form->Handle(), &wr);
    std::string column;
    for (int y = 0; y < 10; ++y) column += ColorText(shot.Pixel(p.x - wr.left, p.y - wr.top + y)) + " ";
    return column;
  };
  const std::string plain = edgeColours();
  b->SetTimeBtnState(TsTimerBtnFlags{tbFocusRect});
  const std::string focused = edgeColours();
  EXPECT_NE(plain, focused);
}

TEST_F(SpeedButtonDescendant, DescendantsFollowTheSkinCommandsAsSpeedButtons) {
  LoadStandardSkin();
  auto* tab = Make<TsTabBtn>(10, 10, 15, 15);
  auto* timer = Make<TsTimerSpeedButton>(40, 10, 20, 20);
  auto* edit = Make<TsEditButton>(70, 10, 22, 20);
  for (TsSpeedButton* b :
       {static_cast<TsSpeedButton*>(tab), static_cast<TsSpeedButton*>(timer), static_cast<TsSpeedButton*>(edit)})
    EXPECT_TRUE(b->ControlStyle().Contains(csOpaque)) << b->ClassName();
  Manager->SetActive(false);
  flush_events();
  for (TsSpeedButton* b :
       {static_cast<TsSpeedButton*>(tab), static_cast<TsSpeedButton*>(timer), static_cast<TsSpeedButton*>(edit)})
    EXPECT_FALSE(b->ControlStyle().Contains(csOpaque)) << b->ClassName();
}
