// The skinned list box: selection in the three modes, the items' list operations, items kept
// without a window and across a new one, only the visible items drawn for 100,000 of them, mouse
// and keyboard under real input, the skinned frame, bars and colours, also inside an adapted panel.
#include <gtest/gtest.h>

#include "classlib/ExtCtrlsPanels.h"
#include "classlib/core/SysUtils.h"
#include "skin/controls/sQuorvexListBox.h"
#include "skin/windows/sSkinProvider.h"
#include "tests/support/RealInput.h"
#include "tests/support/ControlsFixture.h"

using namespace qvtest;

namespace {

class ListBox : public ControlsTest {
 protected:
  void SetUp() override {
    ControlsTest::SetUp();
    MouseAway();
  }
  TsListBox* Make(int items, int h = 120) {
    auto* l = Create<TsListBox>(Form);
    l->SetParent(Form);
    l->SetBounds(20, 20, 150, h);
    for (int i = 0; i < items; ++i) l->Items()->Add("Item " + std::to_string(i));
    flush_events();
    return l;
  }
};

struct TDrawCounter {
  int Draws = 0;
  int Clicks = 0;
  void Draw(TWinControl* c, int index, TRect r, TOwnerDrawState) {
    ++Draws;
    auto* l = static_cast<TsQuorvexListBox*>(c);
    l->Canvas()->TextOut(r.Left + 2, r.Top, l->Items()->Strings(index));
  }
  void Data(TWinControl*, int index, std::string& s) { s = "Virtual " + std::to_string(index); }
  void Click(TObject*) { ++Clicks; }
};

}  // namespace

TEST_F(ListBox, SelectionRoundTripsInEveryMode) {
  struct Mode {
    const char* Name;
    bool Multi, Extended;
  };
  for (const Mode& m : {Mode{"single", false, true}, Mode{"multiple", true, false}, Mode{"extended", true, true}}) {
    SCOPED_TRACE(m.Name);
    TsListBox* l = Make(6);
    l->SetMultiSelect(m.Multi);
    l->SetExtendedSelect(m.Extended);
    const LONG_PTR style = GetWindowLongPtrA(l->Handle(), GWL_STYLE);
    EXPECT_EQ(m.Multi && m.Extended, (style & LBS_EXTENDEDSEL) != 0);
    EXPECT_EQ(m.Multi && !m.Extended, (style & LBS_MULTIPLESEL) != 0);
    l->SetSelected(1, true);
    l->SetSelected(3, true);
    EXPECT_EQ(!m.Multi, !l->Selected(1)) << "one item at a time";
    EXPECT_TRUE(l->Selected(3));
    EXPECT_EQ(3, l->ItemIndex());
    // false deselects the item, in every mode, and nothing else.
    l->SetSelected(3, false);
    EXPECT_FALSE(l->Selected(3));
    EXPECT_EQ(m.Multi, l->Selected(1));
    l->SetSelected(5, false);
    EXPECT_FALSE(l->Selected(5)) << "false never selects";
    l->SetItemIndex(4);
    EXPECT_EQ(4, l->ItemIndex());
    l->SetSelected(2, true);
    l->ClearSelection();
    for (int i = 0; i < 6; ++i) EXPECT_FALSE(l->Selected(i)) << i;
    EXPECT_THROW(l->SetSelected(9, true), EListError);
    l->Free();
  }
}

TEST_F(ListBox, ItemsOperations) {
  TsListBox* l = Make(0);
  TStrings* s = l->Items();
  TObject* a = Create<TComponent>(Form);
  TObject* b = Create<TComponent>(Form);
  s->AddObject("alpha", a);
  s->AddObject("bravo", b);
  s->Add("charlie");
  s->Insert(1, "delta");
  EXPECT_EQ("alpha,delta,bravo,charlie", s->CommaText());
  EXPECT_EQ(2, s->IndexOf("BRAVO"));
  EXPECT_EQ(-1, s->IndexOf("echo"));
  l->SetItemIndex(0);
  s->Exchange(0, 3);
  EXPECT_EQ("charlie,delta,bravo,alpha", s->CommaText());
  EXPECT_EQ(3, l->ItemIndex()) << "the current item stays on its string";
  EXPECT_EQ(a, s->Objects(3));
  s->Move(2, 0);
  EXPECT_EQ("bravo,charlie,delta,alpha", s->CommaText());
  EXPECT_EQ(b, s->Objects(0)) << "the object moves with its string";
  l->SetItemIndex(1);
  s->SetStrings(1, "CHARLIE");
  EXPECT_EQ("CHARLIE", s->Strings(1));
  EXPECT_EQ(1, l->ItemIndex()) << "replacing a string keeps the selection";
  s->Delete(0);
  EXPECT_EQ(3, l->Count());
  EXPECT_THROW(s->Strings(7), EListError);
  l->Clear();
  EXPECT_EQ(0, l->Count());
}

TEST_F(ListBox, ItemsKeptWithoutAWindowAndAcrossANewOne) {
  auto* l = Create<TsListBox>(Form);
  for (const char* s : {"one", "two", "three"}) l->Items()->Add(s);
  l->SetItemIndex(1);
  EXPECT_FALSE(l->HandleAllocated());
  l->SetParent(Form);
  l->SetBounds(20, 20, 150, 50);
  for (int i = 3; i < 30; ++i) l->Items()->AddObject("Item " + std::to_string(i), reinterpret_cast<TObject*>(i));
  EXPECT_EQ(30, l->Count());
  EXPECT_EQ(1, l->ItemIndex());
  l->SetTopIndex(12);
  l->SetItemIndex(14);
  const HWND first = l->Handle();
  // Each of these makes the window again; Columns between two values only sets the width.
  struct Change {
    const char* Name;
    void (*Do)(TsListBox*);
    bool NewWindow;
  };
  const Change changes[] = {
      {"integral height", [](TsListBox* x) { x->SetIntegralHeight(true); }, true},
      {"columns", [](TsListBox* x) { x->SetColumns(2); }, true},
      {"more columns", [](TsListBox* x) { x->SetColumns(3); }, false},
      {"no columns", [](TsListBox* x) { x->SetColumns(0); }, true},
      {"owner drawn", [](TsListBox* x) { x->SetStyle(lbOwnerDrawFixed); }, true},
      {"no border", [](TsListBox* x) { x->SetBorderStyle(bsNone); }, true},
  };
  HWND wnd = first;
  for (const Change& c : changes) {
    c.Do(l);
    flush_events();
    EXPECT_EQ(c.NewWindow, l->Handle() != wnd) << c.Name;
    wnd = l->Handle();
    EXPECT_EQ(30, l->Count()) << c.Name;
    EXPECT_EQ(14, l->ItemIndex()) << c.Name;
    EXPECT_EQ("Item 14", l->Items()->Strings(l->ItemIndex())) << c.Name;
    EXPECT_EQ(reinterpret_cast<TObject*>(20), l->Items()->Objects(l->Items()->IndexOf("Item 20"))) << c.Name;
  }
  // Resizing without columns divides nothing.
  l->SetBounds(20, 20, 100, 60);
  flush_events();
  EXPECT_EQ(0, l->Columns());
}

TEST_F(ListBox, OnlyTheVisibleItemsAreDrawn) {
  for (TListBoxStyle style : {lbOwnerDrawFixed, lbVirtualOwnerDraw}) {
    SCOPED_TRACE(int(style));
    auto* l = Create<TsListBox>(Form);
    l->SetParent(Form);
    l->SetBounds(20, 20, 150, 160);
    l->SetStyle(style);
    TDrawCounter counter;
    l->OnDrawItem = MakeMethod<&TDrawCounter::Draw>(&counter);
    l->OnData = MakeMethod<&TDrawCounter::Data>(&counter);
    flush_events();
    const int visible = (l->ClientHeight() + l->ItemHeight() - 1) / l->ItemHeight();
    if (style == lbVirtualOwnerDraw) {
      l->SetCount(100000);
    } else {
      l->Items()->BeginUpdate();
      for (int i = 0; i < 100000; ++i) l->Items()->Add("Item " + std::to_string(i));
      l->Items()->EndUpdate();
    }
    flush_events();
    EXPECT_EQ(100000, l->Count());
    EXPECT_LE(counter.Draws, 2 * visible) << "filled";
    counter.Draws = 0;
    l->SetTopIndex(100000 - visible);
    flush_events();
    EXPECT_LE(counter.Draws, 2 * visible) << "scrolled to the end";
    EXPECT_EQ(style == lbVirtualOwnerDraw ? "Virtual 99999" : "Item 99999", l->Items()->Strings(99999));
    l->Free();
  }
}

TEST_F(ListBox, MouseAndKeysSelect) {
  LoadStandardSkin();
  TsListBox* l = Make(0);
  for (const char* s : {"apple", "banana", "blueberry", "cherry", "date", "fig"}) l->Items()->Add(s);
  l->SetMultiSelect(true);
  TDrawCounter counter;
  l->OnClick = MakeMethod<&TDrawCounter::Click>(&counter);
  flush_events();
  auto itemPoint = [&](int i) {
    const TRect r = l->ItemRect(i);
    return ScreenPoint(l, r.Left + 10, (r.Top + r.Bottom) / 2);
  };
  ClickAt(itemPoint(1));
  EXPECT_EQ(1, l->ItemIndex());
  EXPECT_TRUE(l->Selected(1));
  EXPECT_EQ(1, counter.Clicks);
  // Shift with the arrow keys extends the selection from the clicked item.
  ASSERT_TRUE(FocusForKeys(l->Handle()));
  KeyDown(VK_SHIFT);
  PressKey(VK_DOWN);
  PressKey(VK_DOWN);
  KeyUp(VK_SHIFT);
  for (int i = 0; i < 6; ++i) EXPECT_EQ(i >= 1 && i <= 3, l->Selected(i)) << i;
  // Typing finds the first item that starts with what was typed.
  PressKey('D');
  EXPECT_EQ(4, l->ItemIndex());
  EXPECT_TRUE(l->Selected(4));
  EXPECT_FALSE(l->Selected(1)) << "the selection is the item found";
}

TEST_F(ListBox, SkinnedFrameBarsAndColours) {
  LoadStandardSkin();
  TsListBox* l = Make(40);
  const TsGeneralData& gd = Manager->Section(Manager->SectionIndexOf("EDIT"));
  ASSERT_NE(nullptr, l->ScrollWnd());
  EXPECT_EQ(TColor(gd.Color), l->Color());
  EXPECT_EQ(TColor(gd.FontColor.Text()), l->Font()->Color());
  RECT wr{};
  GetWindowRect(l->Handle(), &wr);
  const Capture shown = CaptureScreenRect(wr);
  EXPECT_EQ(ColorText(Frame("EDIT", 0)), ColorText(shown.Pixel(0, 30)));
  EXPECT_EQ(ColorText(Frame("SCROLLBTNTOP", 0)), ColorText(shown.Pixel(wr.right - wr.left - 6, 5)));

  // Disabled: the text in the average of the font and background colours.
  l->SetEnabled(false);
  flush_events();
  const TColor average = AverageColor(l->Font()->Color(), l->Color());
  const TRect first = l->ItemRect(0);
  const Capture text = CaptureScreenRect(
      RECT{wr.left + 2 + first.Left, wr.top + 2 + first.Top, wr.left + 60, wr.top + 2 + first.Bottom});
  EXPECT_GT(text.CountColor(COLORREF(ColorToRGB(average))), 0);
  EXPECT_EQ(0, text.CountColor(GetSysColor(COLOR_GRAYTEXT)));

  Manager->SetActive(false);
  flush_events();
  EXPECT_EQ(nullptr, l->ScrollWnd());
  EXPECT_EQ(clWindow, l->Color());
  EXPECT_EQ(40, l->Count());
}

TEST_F(ListBox, ItemsShowInsideAPanelOfASkinnedForm) {
  // The form's control adapter adapts the panel; the skin comes while the form is hidden, and is
  // switched off and on while it shows: the list's colours follow, and its items are drawn.
  Form->Hide();
  Create<TsSkinProvider>(Form);
  auto* panel = Create<TPanel>(Form);
  panel->SetParent(Form);
  panel->SetBounds(0, 0, 200, 200);
  auto* l = Create<TsListBox>(Form);
  l->SetParent(panel);
  l->SetBounds(10, 10, 150, 160);
  for (int i = 1; i <= 50; ++i) l->Items()->Add("List item " + std::to_string(i));
  LoadStandardSkin();
  const TsGeneralData& gd = Manager->Section(Manager->SectionIndexOf("EDIT"));
  for (const char* step : {"shown", "skin switched off and on"}) {
    SCOPED_TRACE(step);
    if (Form->Visible()) {
      Manager->SetActive(false);
      flush_events();
      Manager->SetActive(true);
    }
    Form->Show();
    flush_events();
    EXPECT_EQ(TColor(gd.Color), l->Color());
    RECT wr{};
    GetWindowRect(l->Handle(), &wr);
    EXPECT_GT(CaptureScreenRect(wr).CountColor(COLORREF(gd.FontColor.Text())), 100) << "the items' text";
  }
}

// Enter and Esc are no part of a search: neither while one goes on nor once its delay has passed
// do they move the selection or click.
TEST_F(ListBox, EnterAndEscLeaveTheSelection) {
  TsListBox* l = Make(0);
  for (const char* s : {"apple", "banana", "blueberry", "cherry"}) l->Items()->Add(s);
  l->SetAutoCompleteDelay(200);
  TDrawCounter counter;
  l->OnClick = MakeMethod<&TDrawCounter::Click>(&counter);
  ASSERT_TRUE(FocusForKeys(l->Handle()));
  for (WORD key : {WORD(VK_RETURN), WORD(VK_ESCAPE)}) {
    for (bool delayPassed : {false, true}) {
      SCOPED_TRACE(std::to_string(key) + (delayPassed ? " after the delay" : " while searching"));
      PressKey('B');
      PressKey('L');
      ASSERT_EQ(2, l->ItemIndex());
      if (delayPassed) flush_events(300);
      counter.Clicks = 0;
      PressKey(key);
      EXPECT_EQ(2, l->ItemIndex());
      EXPECT_EQ(0, counter.Clicks);
      flush_events(300);
    }
  }
}
