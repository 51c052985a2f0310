// The calculator popup: key sequences and what they show, the memory, the error state, the value
// handed back to the number edit, closing, the clipboard, and the keys and buttons under real input.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "classlib/Clipbrd.h"
#include "classlib/core/SysUtils.h"
#include "skin/controls/sCalcUnit.h"
#include "skin/controls/sCurrEdit.h"
#include "skin/controls/sCurrencyEdit.h"
#include "tests/support/ControlsFixture.h"
#include "tests/support/RealInput.h"

using namespace qvtest;

namespace {

class CalcForm : public ControlsTest {
 protected:
  void TearDown() override {
    FormatSettings = Saved;
    ControlsTest::TearDown();
  }
  // Runs a sequence on the form: tokens apart by blanks; "MC" "MR" "MS" "MP" are the memory
  // buttons, "P<text>" pastes the text; in other tokens every character is a key, with '<' for
  // Backspace, '#' for Enter and '~' for Esc.
  static void Run(TsCalcForm* f, const std::string& Sequence) {
    std::size_t i = 0;
    while (i < Sequence.size()) {
      std::size_t end = Sequence.find(' ', i);
      if (end == std::string::npos) end = Sequence.size();
      const std::string token = Sequence.substr(i, end - i);
      i = end + 1;
      if (token.size() == 2 && token[0] == 'M' && std::string("CRSP").find(token[1]) != std::string::npos) {
        f->MemoryKey(token[1]);
      } else if (!token.empty() && token[0] == 'P') {
        Clipboard()->SetAsText(token.substr(1));
        f->Paste();
      } else {
        for (char c : token) f->ProcessKey(c == '<' ? '\b' : c == '#' ? '\r' : c == '~' ? '\x1B' : c);
      }
    }
  }
  TFormatSettings Saved = FormatSettings;
};

}  // namespace

TEST_F(CalcForm, KeySequences) {
  struct Case {
    const char* Keys;
    const char* Display;
    const char* MemoryShown;
    char Decimal = '.';
  };
  const Case cases[] = {
      {"1+2=", "3", ""},
      {"2+3*4=", "20", ""},  // each operator completes the one before it
      {"9-3-2=", "4", ""},
      {"1.5+1.25=", "2.75", ""},
      {"..5", "0.5", ""},
      {"1,5*2=", "3", "", ','},
      {"123<<", "1", ""},
      {"5_<", "0", ""},  // Backspace on "-5"
      {"5_+8=", "3", ""},
      {"200+10%", "220", ""},
      {"200*10%", "20", ""},
      {"50/4%", "1250", ""},
      {"9Q", "3", ""},
      {"2_Q", "Error", ""},
      {"4R", "0.25", ""},
      {"0R", "Error", ""},
      {"7/0=", "Error", ""},
      {"7/0= 1+2=", "Error", ""},  // only C leaves the error
      {"7/0= C", "0", ""},
      {"7/0= C 1+1=", "2", ""},
      {"P1e300 * P1e300 =", "Error", ""},  // an overflow is an error, never "INF"
      {"12 MS C MR", "12", "M"},
      {"12 MS 3 MP MR", "135", "M"},
      {"12 MS MC MR", "0", ""},
      {"4 MS C 2* MR =", "8", "M"},
      {"2+ P3 =", "5", ""},  // a pasted number takes part like a typed one
      {"5 Pabc", "5", ""},   // text that is no number is refused
      {"P$ 12.5 ", "12.5", ""},
      {"12~", "0", ""},  // Esc on a number clears it
      {"12345678901234567890", "1234567890123456", ""},
  };
  for (const Case& c : cases) {
    FormatSettings.DecimalSeparator = c.Decimal;
    FormatSettings.ThousandSeparator = c.Decimal == ',' ? '.' : ',';
    FormatSettings.CurrencyString = "$";
    auto* f = Create<TsCalcForm>(Application);
    f->SetPrecision(16);
    f->SetBeepOnError(false);
    Run(f, c.Keys);
    EXPECT_EQ(c.Display, f->DisplayText()) << c.Keys;
    EXPECT_EQ(std::string(c.Display) + " ", f->DisplayPanel()->Caption()) << c.Keys;
    EXPECT_EQ(c.MemoryShown, f->MemoryPanel()->Caption()) << c.Keys;
    Free(f);
  }
}

TEST_F(CalcForm, LayoutAsPopupOfANumberEdit) {
  LoadStandardSkin();
  auto* e = Create<TsCustomNumEdit>(Form);
  e->SetParent(Form);
  e->SetBounds(20, 20, 120, 22);
  e->SetValue(12.5);
  flush_events();
  e->ShowPopup();
  flush_events();
  auto* f = dynamic_cast<TsCalcForm*>(e->Popup());
  ASSERT_NE(nullptr, f);
  EXPECT_TRUE(f->Visible());
  EXPECT_EQ("12.5", f->DisplayText());
  EXPECT_FALSE(f->DragBar()->Visible());
  EXPECT_EQ(213, f->Width());
  EXPECT_EQ(172 - 24, f->ClientHeight());
  RECT wr{};
  GetWindowRect(f->Handle(), &wr);
  EXPECT_EQ(213, wr.right - wr.left);
  // Every button lies wholly inside the panel that holds it, where it can be seen and pressed.
  const TRect inside = f->CalculatorPanel()->ClientRect();
  for (char k : {'\b', 'C', '7', '9', '/', 'Q', '0', '=', '+'}) {
    TsSpeedButton* b = f->KeyButton(k);
    EXPECT_TRUE(b->Left() >= inside.Left && b->Top() >= inside.Top && b->Left() + b->Width() <= inside.Right &&
                b->Top() + b->Height() <= inside.Bottom)
        << b->Caption();
  }
  for (char m : {'C', 'P'}) EXPECT_LE(f->MemoryButton(m)->Top() + 20, inside.Bottom);
  EXPECT_LE(f->MemoryPanel()->Left() + f->MemoryPanel()->Width(), f->KeyButton('\b')->Left());
}

TEST_F(CalcForm, HandsTheValueBackUnderRealInput) {
  LoadStandardSkin();
  FormatSettings.DecimalSeparator = '.';
  auto* other = Create<TsCurrencyEdit>(Form);
  other->SetParent(Form);
  other->SetBounds(200, 20, 100, 22);
  auto* e = Create<TsCustomNumEdit>(Form);
  e->SetParent(Form);
  e->SetBounds(20, 20, 120, 22);
  flush_events();
  MouseAway();
  const POINT button = ScreenPoint(e->Button(), e->Button()->Width() / 2, e->Button()->Height() / 2);
  ClickAt(button);
  auto* f = dynamic_cast<TsCalcForm*>(e->Popup());
  ASSERT_NE(nullptr, f);
  ASSERT_TRUE(pump_until([&] { return GetActiveWindow() == f->Handle(); }));
  EXPECT_EQ(f->Handle(), GetAncestor(WindowFromPoint(POINT{f->Left() + 10, f->Top() + 10}), GA_ROOT))
      << "shown on the screen";
  // Keys: Enter on a number being typed computes; Enter on the result hands it back.
  for (WORD k : {WORD('1'), WORD(VK_ADD), WORD('2')}) PressKey(k);
  PressKey(VK_RETURN);
  EXPECT_EQ("3", f->DisplayText());
  EXPECT_EQ(f, e->Popup());
  PressKey(VK_RETURN);
  EXPECT_EQ(nullptr, e->Popup());
  EXPECT_DOUBLE_EQ(3, e->Value());
  EXPECT_EQ(e->Handle(), GetFocus());
  EXPECT_EQ(int(e->EditText().size()), e->SelLength()) << "the value handed back is selected";

  // The calculator's buttons under the mouse; "=" hands the value back at once.
  ClickAt(button);
  f = dynamic_cast<TsCalcForm*>(e->Popup());
  ASSERT_NE(nullptr, f);
  auto press = [&](char key) {
    TsSpeedButton* b = f->KeyButton(key);
    ClickAt(ScreenPoint(b, b->Width() / 2, b->Height() / 2));
  };
  for (char k : {'C', '7', '*', '6'}) press(k);
  EXPECT_EQ("6", f->DisplayText());
  press('=');
  EXPECT_EQ(nullptr, e->Popup());
  EXPECT_DOUBLE_EQ(42, e->Value());

  // Esc clears a number, then closes; a press elsewhere closes the calculator too.
  ClickAt(button);
  ASSERT_NE(nullptr, e->Popup());
  PressKey('5');
  PressKey(VK_ESCAPE);
  EXPECT_NE(nullptr, e->Popup());
  PressKey(VK_ESCAPE);
  EXPECT_EQ(nullptr, e->Popup());
  EXPECT_DOUBLE_EQ(42, e->Value()) << "Esc gives nothing back";
  ClickAt(button);
  ASSERT_NE(nullptr, e->Popup());
  ClickAt(ScreenPoint(other, 10, 10));
  EXPECT_EQ(nullptr, e->Popup());
}

TEST_F(CalcForm, WithoutAnOwnerEditEscClosesIt) {
  auto* f = Create<TsCalcForm>(Application);
  f->Show();
  flush_events();
  f->ProcessKey('\x1B');
  flush_events();
  EXPECT_FALSE(f->Visible());
  f->ProcessKey('1');
  f->ProcessKey('=');
  f->ProcessKey('\r');
  EXPECT_EQ("1", f->DisplayText()) << "Enter and = only compute without an owner";
  Free(f);
}
