// The skinned combo box: a read-only combo under real keys, the wheel and the mouse; the button's
// frame in each state and place read from the screen; the shown text of each style (an unfocused
// drop-down shows its own text, nothing chosen draws nothing); the list's skinned bars only for a
// long list, given back with the skin; the items and choice kept across skin changes.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "skin/controls/sComboBox.h"
#include "skin/engine/sQuorvexGraph.h"
#include "tests/support/ControlsFixture.h"
#include "tests/support/GdiHandles.h"
#include "tests/support/RealInput.h"

using namespace qvtest;

namespace {

class ComboBox : public ControlsTest {
 protected:
  void SetUp() override {
    ControlsTest::SetUp();
    MouseAway();
  }
  TsComboBox* Make(TComboBoxStyle style, int items = 30, int x = 20, int y = 20) {
    auto* c = Create<TsComboBox>(Form);
    c->SetStyle(style);
    c->SetParent(Form);
    c->SetBounds(x, y, 150, 22);
    for (int i = 1; i <= items; ++i) c->Items()->Add("Choice " + std::to_string(i));
    if (items > 0) c->SetItemIndex(2);
    flush_events();
    return c;
  }
  static HWND ListOf(TsComboBox* c) {
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    GetComboBoxInfo(c->Handle(), &info);
    return info.hwndList;
  }
  // The cache made anew.
  static Capture FreshCache(TsComboBox* c) {
    c->SkinData()->BGChanged = true;
    c->PrepareCache();
    return CaptureBitmap(c->SkinData()->CacheBmp->Handle());
  }
  // A custom font colour no frame uses.
  static constexpr COLORREF kText = RGB(0x12, 0x34, 0xF0);
};

struct TKeyCase {
  const char* Name;
  WORD Key;
  bool Alt;
};

}  // namespace

TEST_F(ComboBox, ReadOnlyKeepsItsChoiceUnderKeysWheelAndMouse) {
  LoadStandardSkin();
  const TKeyCase keys[] = {{"down", VK_DOWN, false}, {"up", VK_UP, false},          {"page down", VK_NEXT, false},
                           {"end", VK_END, false},   {"home", VK_HOME, false},      {"letter", 'C', false},
                           {"digit", '1', false},    {"keypad", VK_NUMPAD1, false}, {"space", VK_SPACE, false},
                           {"F4", VK_F4, false},     {"Alt+Down", VK_DOWN, true}};
  for (TComboBoxStyle style : {csDropDownList, csDropDown}) {
    SCOPED_TRACE(style == csDropDown ? "drop-down" : "drop-down list");
    TsComboBox* c = Make(style);
    c->SetReadOnly(true);
    const std::string text = c->Text();
    ASSERT_TRUE(FocusForKeys(style == csDropDown ? c->EditHandle() : c->Handle()));
    for (const TKeyCase& k : keys) {
      SCOPED_TRACE(k.Name);
      if (k.Alt) KeyDown(VK_MENU);
      PressKey(k.Key);
      if (k.Alt) KeyUp(VK_MENU);
      flush_events();
      EXPECT_EQ(2, c->ItemIndex());
      EXPECT_EQ(text, c->Text());
      EXPECT_FALSE(c->DroppedDown());
    }
    // Editing messages reach nothing; the wheel scrolls nothing of the choice.
    if (HWND edit = c->EditHandle()) {
      SendMessageA(edit, EM_SETSEL, 0, -1);
      for (UINT msg : {UINT(WM_CUT), UINT(WM_CLEAR), UINT(WM_PASTE), UINT(WM_UNDO)}) SendMessageA(edit, msg, 0, 0);
      EXPECT_EQ(text, c->Text());
    }
    SendMessageA(c->Handle(), WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA), 0);
    SendMessageA(c->Handle(), WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0);
    EXPECT_EQ(2, c->ItemIndex());
    // The button only focuses; the list stays closed.
    SetFocus(Form->Handle());
    ClickAt(ScreenPoint(c, c->Width() - 8, c->Height() / 2));
    EXPECT_TRUE(c->Focused());
    EXPECT_FALSE(c->DroppedDown());
    EXPECT_FALSE(c->ListDropped());
    // Writable again, the same keys change the choice.
    c->SetReadOnly(false);
    ASSERT_TRUE(FocusForKeys(style == csDropDown ? c->EditHandle() : c->Handle()));
    PressKey(VK_DOWN);
    EXPECT_EQ(3, c->ItemIndex());
    FreeAndNil(c);
  }
}

TEST_F(ComboBox, ButtonFrameInEachStateAndPlace) {
  LoadStandardSkin();
  const int bw = GetSystemMetrics(SM_CXVSCROLL);
  struct Case {
    const char* Name;
    TComboBoxStyle Style;
    int State;  // -1: no button
    bool AtLeft;
  } const cases[] = {{"normal", csDropDownList, 0, false},
                     {"focused", csDropDownList, 1, false},
                     {"under the mouse", csDropDown, 1, false},
                     {"owner-drawn", csOwnerDrawFixed, 0, false},
                     {"dropped down", csDropDown, 2, false},
                     {"right to left", csDropDownList, 0, true},
                     {"simple", csSimple, -1, false}};
  for (const Case& k : cases) {
    SCOPED_TRACE(k.Name);
    TsComboBox* c = Make(k.Style);
    if (k.Style == csSimple) c->SetHeight(127);
    if (k.AtLeft) c->SetBiDiMode(bdRightToLeft);
    if (k.State == 1 && k.Style == csDropDown) MouseTo(c, 20, c->Height() / 2);
    if (k.State == 1 && k.Style != csDropDown) ASSERT_TRUE(FocusForKeys(c->Handle()));
    if (k.State == 2) c->SetDroppedDown(true);
    flush_events();
    EXPECT_EQ(k.State == 2, c->ListDropped());
    const COLORREF btn0 = Frame("COMBOBTN", 0);
    if (k.State < 0) {
      EXPECT_TRUE(c->ButtonRect().IsEmpty());
      EXPECT_EQ(0, CaptureBitmap(c->SkinData()->CacheBmp->Handle()).CountColor(btn0));
      // Below a list of whole items, what lies behind the control.
      RECT lr{};
      GetWindowRect(ListOf(c), &lr);
      const TPoint bottom = c->ScreenToClient(Point(lr.left, lr.bottom));
      RECT wr{};
      GetWindowRect(c->Handle(), &wr);
      ASSERT_LT(bottom.Y, wr.bottom - wr.top - 1);
      EXPECT_EQ(ColorToRGB(Form->Color()),
                CaptureWMPrint(c->Handle(), PRF_CLIENT).Pixel(c->Width() / 2, c->Height() - 1));
      // The list shows in the skin, however short: its adapter, and the section's colour below
      // its items.
      EXPECT_NE(nullptr, c->ListAdapter());
      const Capture list = CaptureScreen(ListOf(c));
      EXPECT_EQ(ColorText(ColorToRGB(c->Color())), ColorText(list.Pixel(list.Width() / 2, list.Height() - 6)));
    } else {
      const int left = k.AtLeft ? 2 : c->Width() - 2 - bw;
      EXPECT_EQ(left, c->ButtonRect().Left);
      const COLORREF top = ScreenPixel(c, left + bw / 2, 2);
      EXPECT_EQ(Frame("COMBOBTN", k.State), top) << ColorText(top);
      // The frame of the control around it.
      EXPECT_EQ(Frame("EDIT", k.State == 1 ? 1 : 0), ScreenPixel(c, c->Width() / 2, 0));
      // The mouse leaves: the normal look again.
      if (k.State == 1 && k.Style == csDropDown) {
        MouseAway();
        EXPECT_TRUE(pump_until([&] { return ScreenPixel(c, left + bw / 2, 2) == Frame("COMBOBTN", 0); }));
      }
    }
    if (k.State == 2) {
      c->SetDroppedDown(false);
      flush_events();
      EXPECT_FALSE(c->ListDropped());
    }
    FreeAndNil(c);
    SetFocus(Form->Handle());
  }
}

TEST_F(ComboBox, ShownTextOfEachStyle) {
  LoadStandardSkin();
  enum TWhere { Nowhere, LeftHalf, RightHalf };
  struct Case {
    const char* Name;
    TComboBoxStyle Style;
    int Index;
    const char* Text;
    TAlignment Alignment;
    TWhere Where;
  } const cases[] = {{"chosen item", csDropDownList, 2, nullptr, taLeftJustify, LeftHalf},
                     {"right-justified", csDropDownList, 2, nullptr, taRightJustify, RightHalf},
                     {"nothing chosen", csDropDownList, -1, nullptr, taLeftJustify, Nowhere},
                     {"typed text, no item", csDropDown, -1, "Typed", taLeftJustify, LeftHalf},
                     {"empty drop-down", csDropDown, -1, "", taLeftJustify, Nowhere}};
  for (const Case& k : cases) {
    SCOPED_TRACE(k.Name);
    TsComboBox* c = Make(k.Style, 5);
    c->SkinData()->CustomFont = true;
    c->Font()->SetColor(TColor(kText));
    c->SetAlignment(k.Alignment);
    c->SetItemIndex(k.Index);
    if (k.Text) c->SetText(k.Text);
    flush_events();
    const Capture cache = FreshCache(c);
    const int half = cache.Width() / 2;
    const int left = cache.CountColor(kText, RECT{0, 0, half, cache.Height()});
    const int right = cache.CountColor(kText, RECT{half, 0, cache.Width(), cache.Height()});
    EXPECT_EQ(k.Where == LeftHalf, left > 0);
    EXPECT_EQ(k.Where == RightHalf, right > 0);
    FreeAndNil(c);
  }
  // An owner-drawn combo with nothing chosen paints without reading past its list.
  TsComboBox* c = Make(csOwnerDrawFixed, 3);
  c->SetItemIndex(-1);
  c->Repaint();
  flush_events();
  EXPECT_EQ(-1, c->ItemIndex());
}

TEST_F(ComboBox, OnlyALongListGetsSkinnedBarsAndGivesThemBack) {
  LoadStandardSkin();
  const COLORREF slider = Frame("SCROLLSLIDERV", 0);
  for (int items : {30, 5}) {
    SCOPED_TRACE(items);
    TsComboBox* c = Make(csDropDownList, items);
    HWND list = ListOf(c);
    const LONG_PTR proc = GetWindowLongPtrA(list, GWLP_WNDPROC);
    c->SetDroppedDown(true);
    flush_events(40, 1000);
    ASSERT_TRUE(IsWindowVisible(list));
    EXPECT_EQ(items > c->DropDownCount(), c->ListAdapter() != nullptr);
    const Capture shot = CaptureScreen(list);
    EXPECT_EQ(items > c->DropDownCount(), shot.CountColor(slider) > 0);
    c->SetDroppedDown(false);
    flush_events();
    // The skin goes: the list is the system's again.
    Manager->SetActive(false);
    flush_events();
    EXPECT_EQ(nullptr, c->ListAdapter());
    EXPECT_EQ(proc, GetWindowLongPtrA(list, GWLP_WNDPROC));
    EXPECT_EQ(clWindow, c->Color());
    Manager->SetActive(true);
    flush_events();
    // Freed while its skinned list shows.
    c->SetDroppedDown(true);
    flush_events(40, 1000);
    list = ListOf(c);
    FreeAndNil(c);
    flush_events();
    EXPECT_FALSE(IsWindow(list));
  }
}

TEST_F(ComboBox, ItemsAndChoiceKeptAcrossSkinChanges) {
  TsComboBox* c = Make(csDropDownList, 30);
  const std::string chosen = c->Text();
  // A drop-down's own text, given before it has a window.
  auto* typed = Create<TsComboBox>(Form);
  typed->Items()->Add("Item");
  typed->SetText("Own text");
  typed->SetParent(Form);
  typed->SetBounds(20, 60, 150, 22);
  flush_events();
  EXPECT_EQ("Own text", typed->Text());
  LoadStandardSkin();
  EXPECT_EQ("Own text", typed->Text());
  EXPECT_EQ(30, c->Items()->Count());
  EXPECT_EQ(2, c->ItemIndex());
  EXPECT_EQ(Frame("EDIT", 0), ScreenPixel(c, c->Width() / 2, 0));
  Manager->SetActive(false);
  flush_events();
  EXPECT_EQ(30, c->Items()->Count());
  EXPECT_EQ(chosen, c->Text());
  EXPECT_NE(Frame("EDIT", 0), ScreenPixel(c, c->Width() / 2, 0));
  Manager->SetActive(true);
  flush_events();
  EXPECT_EQ(2, c->ItemIndex());
  EXPECT_EQ(Frame("EDIT", 0), ScreenPixel(c, c->Width() / 2, 0));
  // Printed, the control shows its skin too; painting it over and over keeps no GDI object.
  EXPECT_EQ(Frame("EDIT", 0), CaptureWMPrint(c->Handle()).Pixel(c->Width() / 2, 0));
  const int handles = GdiHandleCount();
  for (int i = 0; i < 20; ++i) {
    c->SkinData()->MouseAbove = i % 2 == 0;
    c->SkinData()->BGChanged = true;
    c->Repaint();
    typed->Repaint();
  }
  flush_events();
  EXPECT_EQ(handles, GdiHandleCount());
}

// A skin switch costs no more with 20,000 items in a combo box than with 20: the window and its
// items stay as they are (making the window again copied every item out and back, seconds for a
// long list), and the list gets its skinned bars from the new skin. The two sides are timed in the
// same test, each as the better of two switches back and forth.
TEST_F(ComboBox, SkinSwitchTimeDoesNotGrowWithTheItems) {
  LoadStandardSkin();
  TSkinBuilder other = TSkinBuilder::Standard().RemoveSection("SCROLLSLIDERV");
  other.Section("SCROLLSLIDERV");
  other.Mask("SCROLLSLIDERV", "BORDERSMASK", 12, 12, 3);
  Manager->AddInternalSkin("Other", other.Packed());
  TsComboBox* c = Make(csDropDownList, 20);
  const auto switchTime = [&] {
    double best = 1e9;
    for (const char* skin : {"Other", "Test"}) {
      const DWORD t0 = GetTickCount();
      Manager->SetSkinName(skin);
      flush_events();
      best = std::min(best, double(GetTickCount() - t0));
    }
    return best;
  };
  const double few = switchTime();
  c->Items()->BeginUpdate();
  for (int i = 21; i <= 20000; ++i) c->Items()->Add("Choice " + std::to_string(i));
  c->Items()->EndUpdate();
  flush_events();
  const double many = switchTime();
  EXPECT_LT(many, 2 * few + 100) << "ms with 20,000 items against " << few << " ms with 20";
  EXPECT_EQ(20000, c->Items()->Count());
  EXPECT_EQ(2, c->ItemIndex());
  // The long list shows the bars of the skin in use.
  Manager->SetSkinName("Other");
  flush_events();
  const COLORREF slider = TSkinBuilder::FrameColor(other.MaskOrdinal("SCROLLSLIDERV", "BORDERSMASK"), 0);
  ASSERT_NE(Frame("SCROLLSLIDERV", 0), slider);
  c->SetDroppedDown(true);
  flush_events(40, 1000);
  EXPECT_GT(CaptureScreen(ListOf(c)).CountColor(slider), 0);
  c->SetDroppedDown(false);
  flush_events();
}
