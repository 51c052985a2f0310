// The spin edit: its value rules, typing, the wheel, the arrow keys and the buttons under real
// input (with their repeat while held), the spin button's size rule, the text rectangle and the
// skinned buttons on the screen.
#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <string>

#include "classlib/Clipbrd.h"
#include "skin/controls/sSpinEdit.h"
#include "tests/support/RealInput.h"
#include "tests/support/ControlsFixture.h"

using namespace qvtest;

namespace {

class SpinEdit : public ControlsTest {
 protected:
  void SetUp() override {
    ControlsTest::SetUp();
    MouseAway();
  }
  TsSpinEdit* Make(int min = 0, int max = 0, int inc = 1) {
    auto* s = Create<TsSpinEdit>(Form);
    s->SetParent(Form);
    s->SetBounds(20, 20, 100, 24);
    s->SetMinValue(min);
    s->SetMaxValue(max);
    s->SetIncrement(inc);
    flush_events();
    return s;
  }
  static void Wheel(TsSpinEdit* s, int notches) {
    s->Perform(CM_MOUSEWHEEL, MAKEWPARAM(0, WORD(short(notches * WHEEL_DELTA))), 0);
  }
  // The middle of one of the spin buttons, on the screen.
  static POINT ButtonPoint(TsSpinEdit* s, bool up) {
    TsTimerSpeedButton* b = up ? s->Button()->UpButton() : s->Button()->DownButton();
    return ScreenPoint(s->Button(), b->Left() + b->Width() / 2, b->Top() + b->Height() / 2);
  }
};

}  // namespace

TEST_F(SpinEdit, ValueRules) {
  enum TAction { SetText, SetValue, StepUp, StepDown, WheelUp, WheelDown3, Exit };
  struct Case {
    const char* Name;
    int Min, Max, Inc;
    const char* Start;
    TAction Do;
    bool ReadOnly;
    int Expected;
  };
  const Case cases[] = {
      {"empty text reads as the minimum", 5, 10, 1, "", SetText, false, 5},
      {"no integer reads as the minimum", -3, 10, 1, "12a", SetText, false, -3},
      {"equal limits take any value", 0, 0, 1, "-123456", SetText, false, -123456},
      {"up", 0, 10, 3, "4", StepUp, false, 7},
      {"up stops at the maximum", 0, 10, 3, "9", StepUp, false, 10},
      {"down stops at the minimum", 2, 10, 3, "4", StepDown, false, 2},
      {"up saturates at the integer limit", 0, 0, 10, "2147483640", StepUp, false, INT_MAX},
      {"down saturates at the integer limit", 0, 0, 10, "-2147483640", StepDown, false, INT_MIN},
      {"a wheel notch steps by the increment", 0, 100, 5, "10", WheelUp, false, 15},
      {"three notches down, limited", 0, 100, 5, "10", WheelDown3, false, 0},
      {"the wheel leaves a read-only value", 0, 100, 5, "10", WheelUp, true, 10},
      {"a read-only value does not step", 0, 100, 5, "10", StepUp, true, 10},
      {"leaving rewrites a value above the limits", 0, 50, 1, "75", Exit, false, 50},
      {"leaving rewrites a text beyond the integer", 0, 50, 1, "99999999999", Exit, false, 50},
      {"... held at the integer without limits", 0, 0, 1, "-99999999999999999999999", Exit, false, INT_MIN},
      {"reversed limits: below the minimum gives it", 10, 5, 1, "3", SetValue, false, 10},
      {"reversed limits: else above the maximum gives it", 10, 5, 1, "12", SetValue, false, 5},
  };
  TsSpinEdit* s = Make();
  for (const Case& c : cases) {
    s->SetMinValue(c.Min);
    s->SetMaxValue(c.Max);
    s->SetIncrement(c.Inc);
    s->SetReadOnly(c.ReadOnly);
    s->SetText(c.Start);
    switch (c.Do) {
      case StepUp: s->StepUp(); break;
      case StepDown: s->StepDown(); break;
      case WheelUp: Wheel(s, 1); break;
      case WheelDown3: Wheel(s, -3); break;
      case Exit: s->Perform(CM_EXIT); break;
      case SetValue: s->SetValue(std::stoi(c.Start)); break;
      default: break;
    }
    EXPECT_EQ(c.Expected, s->Value()) << c.Name;
    if (c.Do == Exit) EXPECT_EQ(std::to_string(c.Expected), s->Text()) << c.Name << ": the text says the value";
  }
  // The value written is checked.
  s->SetReadOnly(false);
  s->SetMinValue(1);
  s->SetMaxValue(9);
  s->SetValue(42);
  EXPECT_EQ("9", s->Text());
}

TEST_F(SpinEdit, KeysTypeDigitsAndStep) {
  LoadStandardSkin();
  TsSpinEdit* s = Make(0, 1000, 10);
  s->SetText("17");
  ASSERT_TRUE(FocusForKeys(s->Handle()));
  EXPECT_EQ(2, s->SelLength()) << "entered: the whole value selected";
  s->SetText("");
  for (WORD k : {WORD('4'), WORD('X'), WORD(VK_OEM_MINUS), WORD('2')}) PressKey(k);
  EXPECT_EQ("42", s->Text()) << "digits only";
  PressKey(VK_UP);
  EXPECT_EQ(52, s->Value());
  PressKey(VK_DOWN);
  PressKey(VK_DOWN);
  EXPECT_EQ(32, s->Value());
  s->SetEditorEnabled(false);
  PressKey('7');
  PressKey(VK_BACK);
  EXPECT_EQ("32", s->Text()) << "no typing without the editor";
  PressKey(VK_UP);
  EXPECT_EQ(42, s->Value()) << "the arrows still step";
  s->SetReadOnly(true);
  PressKey(VK_UP);
  EXPECT_EQ(42, s->Value());
  // A press on the spin's buttons of a read-only edit keeps the value too.
  ClickAt(ButtonPoint(s, true));
  EXPECT_EQ(42, s->Value());
}

TEST_F(SpinEdit, HeldButtonStepsAtOnceThenRepeats) {
  LoadStandardSkin();
  TsSpinEdit* s = Make(0, 1000, 1);
  s->SetValue(0);
  const POINT up = ButtonPoint(s, true);
  MouseTo(s->Button(), up.x - s->Button()->ClientOrigin().X, up.y - s->Button()->ClientOrigin().Y);
  const DWORD pressed = GetTickCount();
  MouseButton(MOUSEEVENTF_LEFTDOWN);
  EXPECT_EQ(1, s->Value()) << "the press steps";
  ASSERT_TRUE(pump_until([&] { return s->Value() >= 2; }, 2000));
  const DWORD first = GetTickCount() - pressed;
  ASSERT_TRUE(pump_until([&] { return s->Value() >= 6; }, 2000));
  const DWORD four = GetTickCount() - pressed - first;
  EXPECT_GE(first, 350u) << "the first repeat waits";
  EXPECT_LT(four, 4 * 300u) << "then the repeats come quickly";
  MouseButton(MOUSEEVENTF_LEFTUP);
  const int released = s->Value();
  flush_events(300);
  EXPECT_EQ(released, s->Value()) << "the release does not step, the repeats stop";
  ClickAt(ButtonPoint(s, false));
  EXPECT_EQ(released - 1, s->Value());
}

TEST_F(SpinEdit, ButtonSizeRuleAndTextRectangle) {
  TsSpinEdit* s = Make();
  TsSpinButton* b = s->Button();
  b->SetBounds(0, 0, 10, 21);
  EXPECT_EQ(15, b->Width());
  EXPECT_EQ(Bounds(0, 0, 15, 10), b->UpButton()->BoundsRect());
  EXPECT_EQ(Bounds(0, 10, 15, 11), b->DownButton()->BoundsRect());
  // Resizing the edit puts the spin button at its right edge and the text left of it.
  s->SetBounds(20, 20, 120, 26);
  flush_events();
  EXPECT_EQ(120 - b->Width() - 4, b->Left());
  EXPECT_EQ(26 - 4, b->Height());
  RECT r{};
  SendMessageA(s->Handle(), EM_GETRECT, 0, LPARAM(&r));
  EXPECT_LE(r.right, s->ClientWidth() - b->Width() - 2) << "the text stops left of the buttons";
}

TEST_F(SpinEdit, SkinnedButtonsOnTheScreen) {
  LoadStandardSkin();
  TsSpinEdit* s = Make(0, 10);
  TsTimerSpeedButton* up = s->Button()->UpButton();
  auto at = [&](TsTimerSpeedButton* b) { return ScreenPixel(s->Button(), b->Left() + 1, b->Top() + b->Height() / 2); };
  EXPECT_EQ(ColorText(Frame("SPEEDBUTTON_SMALL", 0)), ColorText(at(up)));
  MouseTo(s->Button(), up->Left() + up->Width() / 2, up->Top() + up->Height() / 2);
  EXPECT_EQ(ColorText(Frame("SPEEDBUTTON_SMALL", 1)), ColorText(at(up)));
  Manager->SetActive(false);
  flush_events();
  EXPECT_NE(ColorText(Frame("SPEEDBUTTON_SMALL", 0)), ColorText(at(up)));
  Manager->SetActive(true);
  flush_events();
  MouseAway();
  EXPECT_EQ(ColorText(Frame("SPEEDBUTTON_SMALL", 0)), ColorText(at(s->Button()->DownButton())));
}

// Every way the value changes tells OnChange once, as a one-line edit tells a text set by the
// program; no way puts a line break into the one line of the field.
TEST_F(SpinEdit, ChangesAreToldOnceAndLineBreaksStayOut) {
  LoadStandardSkin();
  TsSpinEdit* s = Make(0, 100, 5);
  int changes = 0;
  struct TCounter {
    int* Count;
    void Changed(TObject*) { ++*Count; }
  } counter{&changes};
  s->OnChange = MakeMethod<&TCounter::Changed>(&counter);
  s->SetValue(10);
  ASSERT_TRUE(FocusForKeys(s->Handle()));
  const POINT middle = ScreenPoint(s, 20, s->Height() / 2);
  struct Case {
    const char* Name;
    std::function<void()> Do;
    int Value, Changes;
  };
  const Case cases[] = {
      {"SetValue", [&] { s->SetValue(20); }, 20, 1},
      {"SetValue to the same value", [&] { s->SetValue(20); }, 20, 0},
      {"the up button", [&] { ClickAt(ButtonPoint(s, true)); }, 25, 1},
      {"the down arrow key", [&] { PressKey(VK_DOWN); }, 20, 1},
      {"a wheel notch",
       [&] {
         MoveMouseTo(middle);
         INPUT in{};
         in.type = INPUT_MOUSE;
         in.mi.dwFlags = MOUSEEVENTF_WHEEL;
         in.mi.mouseData = DWORD(WHEEL_DELTA);
         SendInput(1, &in, sizeof in);
         flush_events();
       },
       25, 1},
      {"Ctrl+Enter",
       [&] {
         KeyDown(VK_CONTROL);
         PressKey(VK_RETURN);
         KeyUp(VK_CONTROL);
       },
       25, 0},
      {"pasting two lines",
       [&] {
         Clipboard()->SetAsText("8\r\n9");
         s->SelectAll();
         KeyDown(VK_CONTROL);
         PressKey('V');
         KeyUp(VK_CONTROL);
       },
       89, 1},
  };
  for (const Case& c : cases) {
    changes = 0;
    c.Do();
    EXPECT_EQ(c.Value, s->Value()) << c.Name;
    EXPECT_EQ(c.Changes, changes) << c.Name;
    EXPECT_EQ(std::to_string(c.Value), s->Text()) << c.Name;
  }
}
