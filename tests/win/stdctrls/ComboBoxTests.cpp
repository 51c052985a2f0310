// The combo box: items and selection kept across window recreation, the five styles, the edit
// and list children reached through ComboWndProc, selection and typing as events, owner drawing.
#include <gtest/gtest.h>

#include "classlib/Forms.h"
#include "classlib/GdiScopes.h"
#include "classlib/StdCtrls.h"
#include "tests/support/FormFixture.h"
#include "tests/support/Pump.h"

using namespace qvtest;

// Each test runs on a fresh test form.
class ComboBox : public FormTest {};

namespace {

class TSpyCombo : public TComboBox {
 public:
  using TComboBox::TComboBox;
  int EditChars = 0;
  int ListMessages = 0;
  std::vector<int> Drawn;
  TOwnerDrawState LastState;

 protected:
  void ComboWndProc(TMessage& m, HWND wnd, WNDPROC proc) override {
    if (wnd == EditHandle() && m.Msg == WM_CHAR) ++EditChars;
    if (wnd == ListHandle()) ++ListMessages;
    TComboBox::ComboWndProc(m, wnd, proc);
  }
  void DrawItem(int Index, const TRect& Rect, TOwnerDrawState State) override {
    Drawn.push_back(Index);
    LastState = State;
    TComboBox::DrawItem(Index, Rect, State);
  }
};

struct Events {
  std::vector<std::string> Log;
  void Change(TObject*) { Log.push_back("change"); }
  void Select(TObject*) { Log.push_back("select"); }
};

}  // namespace

TEST_F(ComboBox, ComboItemsAndSelectionSurviveRecreation) {
  auto* c = Create<TComboBox>(Form);
  c->Items()->Add("beta");
  c->Items()->Add("alpha");  // items before the window exists
  c->SetItemIndex(1);
  c->SetParent(Form);
  EXPECT_EQ(2, SendMessageA(c->Handle(), CB_GETCOUNT, 0, 0));
  EXPECT_EQ(1, SendMessageA(c->Handle(), CB_GETCURSEL, 0, 0));
  c->Items()->Add("gamma");
  c->Items()->SetObjects(2, Form);
  c->SetSorted(true);  // recreates the window
  c->HandleNeeded();
  ASSERT_EQ(3, c->Items()->Count());
  EXPECT_EQ("alpha", c->Items()->Strings(0));
  EXPECT_EQ(Form, c->Items()->Objects(2));
  EXPECT_EQ(0, c->ItemIndex());  // "alpha" stays the chosen item
  EXPECT_NE(0, GetWindowLongPtrA(c->Handle(), GWL_STYLE) & CBS_SORT);
  EXPECT_EQ(1, c->Items()->IndexOf("BETA"));
  EXPECT_THROW(c->Items()->Strings(7), EListError);
  // Of two equal items, the chosen one stays chosen (not its twin before it), sorted or not.
  for (bool sorted : {false, true}) {
    SCOPED_TRACE(sorted ? "sorted" : "unsorted");
    c->SetSorted(sorted);
    c->Items()->Clear();
    for (const char* s : {"twin", "other", "twin"}) c->Items()->Add(s);
    c->SetItemIndex(2);
    c->RecreateWnd();
    c->HandleNeeded();
    EXPECT_EQ(2, c->ItemIndex());
    EXPECT_EQ("twin", c->Text());
  }
}

TEST_F(ComboBox, ComboStylesMakeTheirWindowsAndChildren) {
  struct Case {
    TComboBoxStyle Style;
    DWORD Bits;
    bool Edit;
  };
  const Case cases[] = {{csDropDown, CBS_DROPDOWN, true},
                        {csSimple, CBS_SIMPLE, true},
                        {csDropDownList, CBS_DROPDOWNLIST, false},
                        {csOwnerDrawFixed, CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED, false},
                        {csOwnerDrawVariable, CBS_DROPDOWNLIST | CBS_OWNERDRAWVARIABLE, false}};
  for (const Case& k : cases) {
    auto* c = Create<TComboBox>(Form);
    c->SetStyle(k.Style);
    c->SetParent(Form);
    const DWORD style = static_cast<DWORD>(GetWindowLongPtrA(c->Handle(), GWL_STYLE));
    EXPECT_EQ(k.Bits, style & (CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_OWNERDRAWVARIABLE)) << int(k.Style);
    EXPECT_EQ(k.Edit, c->EditHandle() != nullptr) << int(k.Style);
    EXPECT_NE(nullptr, c->ListHandle()) << int(k.Style);
    if (k.Edit) {
      EXPECT_EQ(c->Handle(), GetParent(c->EditHandle()));
    }
    c->Free();
  }
}

TEST_F(ComboBox, ComboTypingAndChoosingArriveAsEvents) {
  auto* c = Create<TSpyCombo>(Form);
  c->SetParent(Form);
  c->Items()->Add("one");
  c->Items()->Add("two");
  Events ev;
  c->OnChange = MakeMethod<&Events::Change>(&ev);
  SendMessageA(c->EditHandle(), WM_CHAR, 'x', 1);
  EXPECT_EQ(1, c->EditChars);
  EXPECT_EQ(std::vector<std::string>{"change"}, ev.Log);
  EXPECT_EQ("x", c->Text());
  // A selection by the user: OnSelect when assigned, else OnChange; the text follows the item.
  c->OnSelect = MakeMethod<&Events::Select>(&ev);
  ev.Log.clear();
  SendMessageA(c->Handle(), CB_SETCURSEL, 0, 0);
  SendMessageA(Form->Handle(), WM_COMMAND, MAKEWPARAM(0, CBN_SELCHANGE), reinterpret_cast<LPARAM>(c->Handle()));
  EXPECT_EQ(std::vector<std::string>{"select"}, ev.Log);
  EXPECT_EQ("one", c->Text());

  // Typing completes from the items, the completion selected after the caret.
  c->SetText("");
  c->Items()->Add("twelve");
  SendMessageA(c->EditHandle(), WM_CHAR, 't', 1);
  EXPECT_EQ("two", c->Text());
  SendMessageA(c->EditHandle(), WM_CHAR, 'W', 1);
  SendMessageA(c->EditHandle(), WM_CHAR, 'e', 1);
  EXPECT_EQ("tWelve", c->Text());
  DWORD s = 0, e = 0;
  SendMessageA(c->EditHandle(), EM_GETSEL, reinterpret_cast<WPARAM>(&s), reinterpret_cast<LPARAM>(&e));
  EXPECT_EQ(3u, s);
  EXPECT_EQ(6u, e);
  c->SetAutoComplete(false);
  SendMessageA(c->EditHandle(), WM_CHAR, 'x', 1);
  EXPECT_EQ("tWex", c->Text());

  c->SetDroppedDown(true);
  flush_events();
  EXPECT_TRUE(c->DroppedDown());
  EXPECT_GT(c->ListMessages, 0);
  c->SetDroppedDown(false);
  flush_events();
  EXPECT_FALSE(c->DroppedDown());
  EXPECT_TRUE(c->Focused() || GetFocus() != c->EditHandle());
}

TEST_F(ComboBox, OwnerDrawnComboDrawsItsEditPartThroughDrawItem) {
  auto* c = Create<TSpyCombo>(Form);
  c->SetStyle(csOwnerDrawFixed);
  c->SetItemHeight(20);
  c->SetParent(Form);
  c->Items()->Add("drawn");
  c->SetItemIndex(0);
  int handlerCalls = 0;
  c->OnDrawItem = TDrawItemEvent(&handlerCalls,
                                 [](void* d, TWinControl*, int, TRect, TOwnerDrawState) { ++*static_cast<int*>(d); });
  c->Drawn.clear();
  InvalidateRect(c->Handle(), nullptr, TRUE);
  UpdateWindow(c->Handle());
  flush_events();
  ASSERT_FALSE(c->Drawn.empty());
  EXPECT_EQ(0, c->Drawn.back());
  EXPECT_TRUE(c->LastState.Contains(odComboBoxEdit));
  EXPECT_GE(handlerCalls, 1);
  EXPECT_EQ(20, c->ItemHeight());
  EXPECT_EQ(20, SendMessageA(c->Handle(), CB_GETITEMHEIGHT, 0, 0));
  // The canvas draws on whatever DC it is given and lets it go again.
  ClientDC dc(c->Handle());
  c->Canvas()->SetHandle(dc);
  c->Canvas()->FillRect(Rect(0, 0, 2, 2));
  c->Canvas()->SetHandle(nullptr);
  EXPECT_FALSE(c->Canvas()->HandleAllocated());
}

TEST_F(ComboBox, DroppedListShowsDropDownCountItems) {
  auto* c = Create<TComboBox>(Form);
  c->SetStyle(csDropDownList);
  c->SetParent(Form);
  for (int i = 0; i < 20; ++i) c->Items()->Add("item " + std::to_string(i));
  const int boxHeight = c->Height();
  const int item = static_cast<int>(SendMessageA(c->Handle(), CB_GETITEMHEIGHT, 0, 0));
  auto listHeight = [&] {
    c->SetDroppedDown(true);
    flush_events();
    RECT r{};
    GetWindowRect(c->ListHandle(), &r);
    c->SetDroppedDown(false);
    flush_events();
    return static_cast<int>(r.bottom - r.top);
  };
  // Room for the items asked for (the list's frame may add a pixel or two); the box keeps its height.
  struct Case {
    int Count, Rows;
  } cases[] = {{4, 4}, {12, 12}, {50, 20}};
  for (const Case& k : cases) {
    c->SetDropDownCount(k.Count);
    const int h = listHeight();
    EXPECT_GE(h, k.Rows * item) << k.Count;
    EXPECT_LE(h, k.Rows * item + 4) << k.Count;
    EXPECT_EQ(boxHeight, c->Height()) << k.Count;
  }
}
