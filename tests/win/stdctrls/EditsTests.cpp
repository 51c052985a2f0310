// Edits, memos and masked edits: properties in the window and across recreation, change events
// from typing and from code, memo lines, and the mask's rules for typing, deleting and Esc.
#include <gtest/gtest.h>

#include "classlib/Forms.h"
#include "classlib/Mask.h"
#include "classlib/StdCtrls.h"
#include "tests/support/FormFixture.h"
#include "tests/support/Pump.h"

using namespace qvtest;

// Each test runs on a fresh test form.
class Edits : public FormTest {};

namespace {

struct Changes {
  int Count = 0;
  void OnChange(TObject*) { ++Count; }
};

std::string WindowText(HWND w) {
  char buf[256] = {};
  GetWindowTextA(w, buf, sizeof buf);
  return buf;
}

void Type(TWinControl* c, const std::string& s) {
  for (char ch : s) SendMessageA(c->Handle(), WM_CHAR, static_cast<unsigned char>(ch), 1);
}

void Key(TWinControl* c, WPARAM vk) {
  SendMessageA(c->Handle(), WM_KEYDOWN, vk, 1);
  SendMessageA(c->Handle(), WM_KEYUP, vk, 0xC0000001);
}

}  // namespace

TEST_F(Edits, EditPropertiesLiveInTheWindowAndSurviveRecreation) {
  auto* e = Create<TEdit>(Form);
  e->SetParent(Form);
  Changes ch;
  e->OnChange = MakeMethod<&Changes::OnChange>(&ch);
  e->SetText("hello");
  EXPECT_EQ("hello", WindowText(e->Handle()));
  EXPECT_EQ(1, ch.Count);
  SetWindowTextA(e->Handle(), "typed");
  EXPECT_EQ("typed", e->Text());
  EXPECT_EQ(2, ch.Count);
  Type(e, "!");
  EXPECT_EQ(3, ch.Count);

  e->SetMaxLength(12);
  e->SetReadOnly(true);
  e->SetPasswordChar('*');
  e->SetCharCase(ecUpperCase);  // the present text follows
  e->SetModified(true);
  e->RecreateWnd();
  e->HandleNeeded();
  const LONG_PTR style = GetWindowLongPtrA(e->Handle(), GWL_STYLE);
  EXPECT_EQ(12, SendMessageA(e->Handle(), EM_GETLIMITTEXT, 0, 0));
  EXPECT_NE(0, style & ES_READONLY);
  EXPECT_NE(0, style & ES_UPPERCASE);
  EXPECT_EQ('*', SendMessageA(e->Handle(), EM_GETPASSWORDCHAR, 0, 0));
  EXPECT_TRUE(e->Modified());
  EXPECT_EQ("!TYPED", e->Text());
  EXPECT_NE(0, GetWindowLongPtrA(e->Handle(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE);

  e->SetReadOnly(false);
  e->SelectAll();
  EXPECT_EQ(6, e->SelLength());
  e->SetSelStart(1);
  e->SetSelLength(2);
  EXPECT_EQ("TY", e->SelText());
  e->Clear();
  EXPECT_EQ("", e->Text());
}

// A change of the font's colour alone leaves the window its font: the margins a program gave the
// edit stay (a font given again puts them back to the font's) and so does the height; a new size
// reaches the window and the height follows it.
TEST_F(Edits, FontColourAloneKeepsTheWindowsFontAndMargins) {
  auto* e = Create<TEdit>(Form);
  e->SetParent(Form);
  e->HandleNeeded();
  SendMessageA(e->Handle(), EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELPARAM(17, 19));
  const int height = e->Height();
  e->Font()->SetColor(clRed);
  EXPECT_EQ(MAKELONG(17, 19), SendMessageA(e->Handle(), EM_GETMARGINS, 0, 0));
  EXPECT_EQ(height, e->Height());
  e->Font()->SetSize(2 * e->Font()->Size());
  EXPECT_EQ(e->Font()->Handle(), reinterpret_cast<HFONT>(SendMessageA(e->Handle(), WM_GETFONT, 0, 0)));
  EXPECT_GT(e->Height(), height);
}

TEST_F(Edits, EditSelectsItsTextWhenItGetsTheFocus) {
  auto* a = Create<TEdit>(Form);
  a->SetParent(Form);
  auto* b = Create<TEdit>(Form);
  b->SetParent(Form);
  b->SetTop(40);
  b->SetText("select me");
  b->SetAutoSelect(true);
  a->SetFocus();
  b->SetFocus();
  flush_events();
  EXPECT_EQ(0, b->SelStart());
  EXPECT_EQ(9, b->SelLength());
}

TEST_F(Edits, MemoLinesAreTheWindowsLines) {
  auto* m = Create<TMemo>(Form);
  m->SetParent(Form);
  m->Lines()->Add("one");
  m->Lines()->Add("two");
  m->Lines()->Insert(1, "between");
  ASSERT_EQ(3, m->Lines()->Count());
  EXPECT_EQ("one\r\nbetween\r\ntwo", WindowText(m->Handle()));
  EXPECT_EQ("between", m->Lines()->Strings(1));
  m->Lines()->SetStrings(0, "first");
  m->Lines()->Delete(2);
  EXPECT_EQ("first\r\nbetween", WindowText(m->Handle()));
  EXPECT_EQ(2, m->Lines()->Count());
  m->Lines()->Delete(0);
  EXPECT_EQ("between", WindowText(m->Handle()));

  m->SetScrollBars(ssVertical);
  m->SetWordWrap(false);
  m->HandleNeeded();
  const LONG_PTR style = GetWindowLongPtrA(m->Handle(), GWL_STYLE);
  EXPECT_NE(0, style & WS_VSCROLL);
  EXPECT_NE(0, style & ES_MULTILINE);
  EXPECT_NE(0, style & ES_AUTOHSCROLL);
  EXPECT_EQ("between", m->Text());
  m->Lines()->Clear();
  EXPECT_EQ(0, m->Lines()->Count());
}

TEST_F(Edits, MaskedEditTypesIntoInputPositionsOnly) {
  auto* e = Create<TMaskEdit>(Form);
  e->SetParent(Form);
  e->SetEditMask("000-0000;1;_");
  EXPECT_EQ("___-____", e->EditText());
  e->SetFocus();
  flush_events();
  e->SetSelStart(0);
  Type(e, "12x3456");  // the letter is refused
  EXPECT_EQ("123-456_", e->EditText());
  Type(e, "7");
  EXPECT_EQ("123-4567", e->Text());
  EXPECT_TRUE(e->IsComplete());
  Type(e, "\b");
  EXPECT_EQ("123-456_", e->EditText());
  EXPECT_FALSE(e->IsComplete());
  e->SetSelStart(1);
  Key(e, VK_DELETE);
  EXPECT_EQ("1_3-456_", e->EditText());
  // Esc gives back the text the edit had on getting the focus.
  Key(e, VK_ESCAPE);
  EXPECT_EQ("___-____", e->EditText());
  EXPECT_FALSE(e->Modified());

  // Literals left out of the value; case conversion; a value set in code takes the mask.
  e->SetEditMask(">LL-00;0;*");
  e->SetText("ab12");
  EXPECT_EQ("AB-12", e->EditText());
  EXPECT_EQ("AB12", e->Text());
  e->SetEditMask("");
  e->SetText("free text");
  EXPECT_EQ("free text", e->Text());
}
