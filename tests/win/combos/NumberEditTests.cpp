// The number edits: the keys they take and the values their texts read as, under the locale's
// separators and the limits; the display format and the round trips of Value and Text; leaving
// the edit with a text that is no number; Esc; typing with real keys.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <utility>

#include "classlib/Clipbrd.h"
#include "classlib/core/SysUtils.h"
#include "skin/controls/sCurrEdit.h"
#include "skin/controls/sCurrencyEdit.h"
#include "skin/controls/sGlyphUtils.h"
#include "tests/support/ControlsFixture.h"
#include "tests/support/RealInput.h"

using namespace qvtest;

namespace {

class NumberEdit : public ControlsTest {
 protected:
  void TearDown() override {
    FormatSettings = Saved;
    ControlsTest::TearDown();
  }
  TsCurrencyEdit* Make(int y = 20) {
    auto* e = Create<TsCurrencyEdit>(Form);
    e->SetParent(Form);
    e->SetBounds(20, y, 140, 22);
    flush_events();
    return e;
  }
  void Locale(char Decimal, char Thousand) {
    FormatSettings.DecimalSeparator = Decimal;
    FormatSettings.ThousandSeparator = Thousand;
  }
  TFormatSettings Saved = FormatSettings;
};

// The columns of an edit's text area (inside the frame and its corners, left of the button) on the
// screen that hold a pixel other than the area's commonest colour: where its text is drawn.
std::pair<int, int> InkColumns(TsCustomComboEdit* e) {
  const TPoint o = e->ClientToScreen(Point(2, 2));
  const int w = e->ClientWidth() - e->Button()->Width() - 4, h = e->ClientHeight() - 4;
  const Capture c = CaptureScreenRect(RECT{o.X, o.Y, o.X + w, o.Y + h});
  std::map<COLORREF, int> counts;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) ++counts[c.Pixel(x, y)];
  const COLORREF bg =
      std::max_element(counts.begin(), counts.end(), [](auto& a, auto& b) { return a.second < b.second; })->first;
  int first = -1, last = -1;
  for (int x = 0; x < w; ++x)
    for (int y = 0; y < h; ++y)
      if (c.Pixel(x, y) != bg) {
        if (first < 0) first = x;
        last = x;
        break;
      }
  return {first, last};
}

}  // namespace

TEST_F(NumberEdit, KeysAndTheValuesTheyMake) {
  struct Case {
    char Dec, Thou;
    double Min, Max;
    unsigned Decimals;
    const char* Start;  // the edit's text before (as typed)
    int SelStart;       // -1: the caret at the end
    int SelLength;
    char Key;           // 0: none
    const char* Paste;  // pasted at the selection instead of a key
    const char* Text;   // the text after
    double Value;       // Value read after
  };
  const Case cases[] = {
      {'.', ',', 0, 0, 2, "", -1, 0, '5', nullptr, "5", 5},
      {'.', ',', 0, 0, 2, "1234", -1, 0, '5', nullptr, "12,345", 12345},  // grouped as typed
      {'.', ',', 0, 0, 2, "12", -1, 0, 'x', nullptr, "12", 12},
      {'.', ',', 0, 0, 2, "12", -1, 0, '.', nullptr, "12.", 12},
      {'.', ',', 0, 0, 2, "12", -1, 0, ',', nullptr, "12", 12},  // the thousand separator adds nothing
      {'.', ',', 0, 0, 2, "1.2", -1, 0, '5', nullptr, "1.25", 1.25},
      {'.', ',', 0, 0, 2, "1.25", -1, 0, '7', nullptr, "1.25", 1.25},  // a third decimal
      {'.', ',', 0, 0, 0, "12.", -1, 0, '5', nullptr, "12.", 12},      // no decimals at all
      {'.', ',', 0, 0, 2, "123", 0, 3, '9', nullptr, "9", 9},          // the selection replaced
      {',', '.', 0, 0, 2, "12", -1, 0, '.', nullptr, "12", 12},
      {',', '.', 0, 0, 2, "12", -1, 0, ',', nullptr, "12,", 12},
      {',', '.', 0, 0, 2, "1234,", -1, 0, '5', nullptr, "1.234,5", 1234.5},
      {',', ' ', 0, 0, 2, "12", -1, 0, '.', nullptr, "12,", 12},  // '.' taken as the decimal ','
      {'.', ',', 0, 100, 2, "", -1, 0, '-', nullptr, "-", 0},
      {'.', ',', 0, 100, 2, "-", -1, 0, '5', nullptr, "-", 0},       // no negative number under 0 .. 100
      {'.', ',', 0, 100, 2, "10", -1, 0, '1', nullptr, "101", 100},  // the limit holds on reading
      {'.', ',', 0, 100, 2, "-5", -1, 0, 0, nullptr, "-5", 0},       // the signed value meets the limits
      {'.', ',', -50, 50, 2, "-", -1, 0, '5', nullptr, "-5", -5},
      {'.', ',', 10, 0, 2, "7", -1, 0, 0, nullptr, "7", 10},  // only the lower limit
      {'.', ',', 0, 10, 2, "70", -1, 0, 0, nullptr, "70", 10},
      {'.', ',', 0, 0, 2, "", -1, 0, 0, "12.5", "12.5", 12.5},
      {'.', ',', 0, 0, 2, "", -1, 0, 0, "1,234.5", "1,234.5", 1234.5},
      {'.', ',', 0, 0, 2, "7", -1, 0, 0, "abc", "7", 7},    // a paste that is no number is refused
      {'.', ',', 0, 0, 2, "7", -1, 0, 0, "1.234", "7", 7},  // three decimals
      {'.', ',', 0, 0, 2, "1", -1, 0, 0, "-2", "1", 1},
      {'.', ',', 0, 0, 2, "", -1, 0, 0, nullptr, "", 0},
  };
  TsCurrencyEdit* e = Make();
  for (const Case& c : cases) {
    Locale(c.Dec, c.Thou);
    e->SetMinValue(c.Min);
    e->SetMaxValue(c.Max);
    e->SetDecimalPlaces(c.Decimals);
    e->SetEditText(c.Start);
    const int len = int(e->EditText().size());
    const int at = c.SelStart < 0 ? len : c.SelStart;
    SendMessageA(e->Handle(), EM_SETSEL, at, at + c.SelLength);
    if (c.Key) SendMessageA(e->Handle(), WM_CHAR, static_cast<unsigned char>(c.Key), 0);
    if (c.Paste) {
      Clipboard()->SetAsText(c.Paste);
      SendMessageA(e->Handle(), WM_PASTE, 0, 0);
    }
    const std::string name = std::string(c.Start) + " + '" + (c.Key ? std::string(1, c.Key) : "") + "'" +
                             (c.Paste ? std::string(" paste ") + c.Paste : "") + " (" + c.Dec + c.Thou + ")";
    EXPECT_EQ(c.Text, e->EditText()) << name;
    EXPECT_DOUBLE_EQ(c.Value, e->Value()) << name;
  }
}

TEST_F(NumberEdit, ValueTextAndDisplayRoundTrips) {
  struct Case {
    char Dec, Thou;
    const char* Format;  // nullptr: the default display format
    unsigned Decimals;
    double Set;
    const char* EditText;
    const char* Shown;
    double Read;
  };
  const Case cases[] = {
      {'.', ',', nullptr, 2, 1234.5, "1234.5", "1 234.50", 1234.5},  // grouped only as one types
      {',', '.', nullptr, 2, 1234.5, "1234,5", "1 234,50", 1234.5},
      {'.', ',', nullptr, 2, -0.5, "-0.5", "-0.50", -0.5},
      {'.', ',', nullptr, 2, 0, "0", "0", 0},
      {'.', ',', "0.0 '%'", 1, 42.56, "42.6", "42.6 %", 42.6},
      {'.', ',', "", 3, -0.125, "-0.125", "-0.125", -0.125},
      {'.', ',', nullptr, 0, 1234.5, "1235", "1 235.00", 1235},
      {'.', '\0', nullptr, 2, 1234567.25, "1234567.25", "1 234 567.25", 1234567.25},
  };
  TsCurrencyEdit* e = Make();
  for (const Case& c : cases) {
    Locale(c.Dec, c.Thou);
    e->SetDisplayFormat(c.Format ? c.Format : e->DefaultDisplayFormat());
    e->SetDecimalPlaces(c.Decimals);
    e->SetValue(c.Set);
    EXPECT_EQ(c.EditText, e->EditText()) << c.Set;
    EXPECT_EQ(c.Shown, e->GetDisplayText()) << c.Set;
    EXPECT_DOUBLE_EQ(c.Read, e->Value()) << c.Set;
    // The text written back reads as the same value.
    e->SetText(e->Text());
    EXPECT_DOUBLE_EQ(c.Read, e->Value()) << c.Set;
  }
  Locale(',', '.');
  e->SetDecimalPlaces(2);
  e->SetText("1.234,5");
  EXPECT_DOUBLE_EQ(1234.5, e->Value());
  e->SetText("abc");
  EXPECT_DOUBLE_EQ(1234.5, e->Value()) << "a text that is no number keeps the value";
  e->SetText("");
  EXPECT_DOUBLE_EQ(0, e->Value());
  e->SetValue(3);
  e->Clear();
  EXPECT_EQ("0", e->EditText());
  e->SetMinValue(0);
  e->SetMaxValue(100);
  e->SetValue(-5);
  EXPECT_DOUBLE_EQ(0, e->Value());
  e->SetValue(50);
  e->SetMinValue(60);
  EXPECT_DOUBLE_EQ(60, e->Value()) << "new limits check the value again";
}

TEST_F(NumberEdit, LeavingTypingAndEsc) {
  Locale('.', ',');
  TsCurrencyEdit* e = Make();
  TsCurrencyEdit* other = Make(60);
  e->SetValue(7);
  ASSERT_TRUE(FocusForKeys(e->Handle()));
  EXPECT_TRUE(e->Editing());
  EXPECT_EQ(1, e->SelLength()) << "entering selects the whole text";
  // A text that is no number (set by a program) does not keep the focus when the user leaves.
  e->SetEditText("abc");
  other->SetFocus();
  flush_events();
  EXPECT_EQ(other->Handle(), GetFocus());
  EXPECT_FALSE(e->Editing());
  EXPECT_DOUBLE_EQ(7, e->Value());
  EXPECT_EQ("7", e->EditText()) << "the last good value written back";
  EXPECT_EQ("7.00", e->GetDisplayText());

  ASSERT_TRUE(FocusForKeys(e->Handle()));
  for (WORD k : {WORD('1'), WORD('2'), WORD('3'), WORD('4'), WORD('5'), WORD('6'), WORD(VK_OEM_PERIOD), WORD('5'),
                 WORD('5'), WORD('5'), WORD('A')})
    PressKey(k);
  EXPECT_EQ("123,456.55", e->EditText()) << "grouped as typed, two decimals, no letters";
  EXPECT_EQ("123,456.55", e->GetDisplayText()) << "the text itself while editing";
  PressKey(VK_ESCAPE);
  EXPECT_EQ("7", e->EditText()) << "Esc gives the text of the value back";
  EXPECT_EQ(1, e->SelLength());

  // With CheckOnExit the limited value is written back on leaving.
  e->SetCheckOnExit(true);
  e->SetMaxValue(100);
  e->SetEditText("250");
  other->SetFocus();
  flush_events();
  EXPECT_EQ("100", e->EditText());
  EXPECT_DOUBLE_EQ(100, e->Value());
}

// Not being edited, a number edit shows its value in its display format, under the pointer as
// well; leaving corrects a typed number beyond the limits; a number edit's button shows the
// calculator it opens (a currency edit keeps no button).
TEST_F(NumberEdit, ShowsItsValueUnlessEditedAndItsButtonTheCalculator) {
  Locale('.', ',');
  LoadStandardSkin();
  MouseAway();
  TsCurrencyEdit* e = Make();
  TsCurrencyEdit* other = Make(60);
  e->SetMaxValue(100);
  e->SetDisplayFormat("0.0 %");
  ASSERT_TRUE(FocusForKeys(e->Handle()));
  for (WORD k : {WORD('1'), WORD('5'), WORD('0')}) PressKey(k);
  other->SetFocus();
  flush_events();
  EXPECT_EQ("100", e->EditText()) << "the text says the value it was held at";
  EXPECT_DOUBLE_EQ(100, e->Value());
  EXPECT_EQ("100.0 %", e->GetDisplayText());
  const auto atRest = InkColumns(e);
  MouseTo(e, 10, e->Height() / 2);
  ASSERT_TRUE(e->SkinData()->MouseAbove);
  EXPECT_EQ(atRest, InkColumns(e)) << "hot, the value is drawn where it was, not the edit's own text";
  MouseAway();
  EXPECT_EQ(0, e->Button()->Width());

  auto* n = Create<TsCustomNumEdit>(Form);
  n->SetParent(Form);
  n->SetBounds(20, 100, 140, 22);
  flush_events();
  ASSERT_NE(nullptr, DefaultGlyph(GlyphCalc));
  EXPECT_EQ(DefaultGlyph(GlyphCalc), n->GlyphMode()->Chosen());
  EXPECT_EQ(DefaultGlyph(GlyphCalc)->Width() / 3 + 2, n->Button()->Width());
  const TPoint b = n->Button()->ClientToScreen(Point(0, 0));
  const Capture button = CaptureScreenRect(RECT{b.X, b.Y, b.X + n->Button()->Width(), b.Y + n->Button()->Height()});
  const COLORREF corner = button.Pixel(1, 1);
  EXPECT_LT(button.CountColor(corner), button.Width() * button.Height() * 9 / 10) << "the glyph is drawn";
}
