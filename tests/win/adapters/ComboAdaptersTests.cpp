// Combo box adapters on combo boxes made as a dialog makes them: the button in each state and
// place, long lists with skinned bars and the section's colours, one adapter per list, skin data
// given to a list adapter left to its owner, destruction while the list is dropped down, and the
// button pressed with the mouse.
#include "tests/support/AdapterTestSupport.h"
#include "tests/support/RealInput.h"

#include <string>

namespace qvtest {
namespace {

class ComboAdapters : public AdapterTest {
 protected:
  void SetUp() override {
    AdapterTest::SetUp();
    Dialog = Track(CreatePlainWindow(nullptr, 0, 40, 40, 420, 360));
  }
  HWND Combo(DWORD style, int x = 20, int y = 20, int h = 200, DWORD exStyle = 0) {
    HWND wnd = CreateControl(Dialog, "COMBOBOX", "", style | WS_VSCROLL, x, y, 140, h, exStyle);
    for (int i = 1; i <= 30; ++i) SendMessageA(wnd, CB_ADDSTRING, 0, LPARAM(("Choice " + std::to_string(i)).c_str()));
    SendMessageA(wnd, CB_SETCURSEL, 0, 0);
    return wnd;
  }
  static HWND ListOf(HWND combo) {
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    GetComboBoxInfo(combo, &info);
    return info.hwndList;
  }
  HWND Dialog = nullptr;
};

struct TComboCase {
  const char* Name;
  DWORD Style, ExStyle;
  TacAdapterMaker Maker;
  int State;    // the button's frame; -1: no button
  bool AtLeft;  // the button at the left edge
  std::function<void(HWND)> Make;
};

TEST_F(ComboAdapters, ButtonShowsItsStateWhereItsKindPutsIt) {
  const TComboCase cases[] = {
      {"drop-down", CBS_DROPDOWN, 0, &MakeAdapter<TacComboBoxWnd>, 0, false, nullptr},
      {"drop-down list", CBS_DROPDOWNLIST, 0, &MakeAdapter<TacComboBoxWnd>, 0, false, nullptr},
      {"hot", CBS_DROPDOWNLIST, 0, &MakeAdapter<TacComboBoxWnd>, 1, false,
       [](HWND w) { DefaultManager->SetHotWindow(w); }},
      {"dropped down", CBS_DROPDOWN, 0, &MakeAdapter<TacComboBoxWnd>, 2, false,
       [](HWND w) { SendMessageA(w, CB_SHOWDROPDOWN, TRUE, 0); }},
      {"reading right to left", CBS_DROPDOWN, WS_EX_RTLREADING, &MakeAdapter<TacComboBoxWnd>, 0, true, nullptr},
      {"simple", CBS_SIMPLE, 0, &MakeAdapter<TacComboBoxWnd>, -1, false, nullptr},
      {"other family", CBS_DROPDOWN, 0, &MakeAdapter<TacWWComboBoxWnd>, 0, false, nullptr},
      {"other family, bar at the left", CBS_DROPDOWN, WS_EX_LEFTSCROLLBAR, &MakeAdapter<TacWWComboBoxWnd>, 0, true,
       nullptr},
      {"other family, reading right to left", CBS_DROPDOWN, WS_EX_RTLREADING, &MakeAdapter<TacWWComboBoxWnd>, 0, false,
       nullptr},
  };
  const int bw = GetSystemMetrics(SM_CXVSCROLL);
  for (const TComboCase& c : cases) {
    SCOPED_TRACE(c.Name);
    HWND wnd = Combo(c.Style, 20, 20, (c.Style & 3) == CBS_SIMPLE ? 120 : 200, c.ExStyle);
    TacMainWnd* a = c.Maker(wnd, nullptr, Manager, "COMBOBOX", true);
    if (c.Make) c.Make(wnd);
    flush_events(20, 500);
    RECT wr{};
    GetWindowRect(wnd, &wr);
    const int w = wr.right - wr.left;
    const Capture shot = SettledScreen(wnd);
    // The combo's frame from its section (the edit's border through its parent class).
    EXPECT_EQ(Frame("EDIT", "BORDERSMASK"), shot.Pixel(w / 2, 0));
    const int left = c.AtLeft ? 2 : w - 2 - bw;
    const COLORREF top = shot.Pixel(left + bw / 2, 2);
    if (c.State >= 0)
      EXPECT_EQ(Frame("COMBOBTN", "BORDERSMASK", c.State), top) << ColorText(top);
    else
      EXPECT_EQ(0, shot.CountColor(Frame("COMBOBTN", "BORDERSMASK", 0))) << "no button";
    SendMessageA(wnd, CB_SHOWDROPDOWN, FALSE, 0);
    DefaultManager->SetHotWindow(nullptr);
    a->Free();
    DestroyWindow(wnd);
  }
}

TEST_F(ComboAdapters, LongListsShowSkinnedBarsInTheSectionsColours) {
  const COLORREF slider = Frame("SCROLLSLIDERV", "BORDERSMASK");
  const COLORREF window = COLORREF(Manager->Section(Manager->SectionIndexOf("EDIT")).Color);
  for (DWORD style : {DWORD(CBS_DROPDOWN), DWORD(CBS_DROPDOWNLIST), DWORD(CBS_SIMPLE)}) {
    SCOPED_TRACE(style);
    HWND wnd = Combo(style, 20, 20, style == CBS_SIMPLE ? 160 : 200);
    auto* a = Create<TacComboBoxWnd>(wnd, nullptr, Manager, "COMBOBOX", true);
    if (style != CBS_SIMPLE) SendMessageA(wnd, CB_SHOWDROPDOWN, TRUE, 0);
    flush_events(40, 1000);
    HWND list = ListOf(wnd);
    auto* la = dynamic_cast<TacComboListWnd*>(GetWndAdapter(list));
    ASSERT_NE(nullptr, la);
    EXPECT_EQ(la, a->ListAdapter);
    EXPECT_EQ(style == CBS_SIMPLE, la->IsSimple);
    const Capture shot = SettledScreen(list);
    EXPECT_GT(shot.CountColor(slider), 0);
    EXPECT_EQ(0, BarPixelsNotSkinned(list, la));
    // The items lie on the section's colour (the selected one excepted).
    EXPECT_GT(shot.CountColor(window), shot.Width() * 4);
    SendMessageA(wnd, CB_SHOWDROPDOWN, FALSE, 0);
    a->Free();
    EXPECT_EQ(nullptr, GetWndAdapter(list)) << "the list's adapter goes with the combo's";
    DestroyWindow(wnd);
  }
}

TEST_F(ComboAdapters, SimpleListKeepsTheAdapterItHas) {
  HWND wnd = Combo(CBS_SIMPLE, 20, 20, 160);
  HWND list = ListOf(wnd);
  // The windows of a dialog are adapted one by one: the list first.
  auto* listAdapter = Create<TacEditWnd>(list, nullptr, Manager, "EDIT", true);
  auto* a = Create<TacComboBoxWnd>(wnd, nullptr, Manager, "COMBOBOX", true);
  RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  flush_events(40, 1000);
  EXPECT_EQ(listAdapter, GetWndAdapter(list));
  EXPECT_EQ(nullptr, a->ListAdapter) << "no second adapter for the list";
  a->Free();
  listAdapter->Free();
}

TEST_F(ComboAdapters, ListAdapterLeavesGivenSkinDataToItsOwner) {
  HWND wnd = Combo(CBS_SIMPLE, 20, 20, 160);
  auto* given = new TsCommonData(nullptr, true);
  given->SetSkinManager(Manager);
  given->SetSkinSection("EDIT");
  auto* la = Create<TacComboListWnd>(ListOf(wnd), given, Manager, "EDIT", true);
  la->Free();
  EXPECT_EQ("EDIT", given->SkinSection());
  delete given;  // freed once, by its owner
  // One that makes its own frees it, once.
  auto* own = Create<TacComboListWnd>(ListOf(wnd), nullptr, Manager, "EDIT", true);
  EXPECT_TRUE(own->OwnsSkinData);
  own->Free();
}

TEST_F(ComboAdapters, ListOfAControlAdaptedThroughTheEngineHook) {
  ASSERT_NE(nullptr, CreateComboListProc);
  HWND wnd = Combo(CBS_DROPDOWNLIST);
  HWND list = ListOf(wnd);
  const LONG_PTR proc = GetWindowLongPtrA(list, GWLP_WNDPROC);
  std::unique_ptr<TacControlComboList> held = CreateComboListProc(list, Manager, false);
  ASSERT_NE(nullptr, held);
  auto* la = dynamic_cast<TacComboListWnd*>(GetWndAdapter(list));
  ASSERT_NE(nullptr, la);
  EXPECT_EQ(Manager->SectionIndexOf("EDIT"), held->SectionIndex());
  EXPECT_EQ(nullptr, CreateComboListProc(list, Manager, false)) << "one adapter per list";
  SendMessageA(wnd, CB_SHOWDROPDOWN, TRUE, 0);
  flush_events(40, 1000);
  EXPECT_GT(SettledScreen(list).CountColor(Frame("SCROLLSLIDERV", "BORDERSMASK")), 0);
  SendMessageA(wnd, CB_SHOWDROPDOWN, FALSE, 0);
  held.reset();
  EXPECT_EQ(nullptr, GetWndAdapter(list));
  EXPECT_EQ(proc, GetWindowLongPtrA(list, GWLP_WNDPROC));
  // A list that goes with its combo leaves the holder knowing it.
  held = CreateComboListProc(list, Manager, false);
  DestroyWindow(wnd);
  EXPECT_TRUE(held->WindowGone());
}

TEST_F(ComboAdapters, DestroyedWhileItsListIsDroppedDown) {
  for (DWORD style : {DWORD(CBS_DROPDOWN), DWORD(CBS_DROPDOWNLIST)}) {
    HWND wnd = Combo(style);
    auto* a = Create<TacComboBoxWnd>(wnd, nullptr, Manager, "COMBOBOX", true);
    SendMessageA(wnd, CB_SHOWDROPDOWN, TRUE, 0);
    flush_events(40, 1000);
    HWND list = ListOf(wnd);
    ASSERT_TRUE(IsWindowVisible(list));
    ASSERT_NE(nullptr, a->ListAdapter);
    DestroyWindow(wnd);
    flush_events(20, 500);
    EXPECT_TRUE(a->Destroyed);
    EXPECT_TRUE(a->ListAdapter->Destroyed);
    EXPECT_FALSE(IsWindow(list));
    a->Free();
  }
}

TEST_F(ComboAdapters, ButtonPressedWithTheMouseWhileTheListShows) {
  HWND wnd = Combo(CBS_DROPDOWNLIST);
  auto* a = Create<TacComboBoxWnd>(wnd, nullptr, Manager, "COMBOBOX", true);
  flush_events(20, 500);
  RECT wr{};
  GetWindowRect(wnd, &wr);
  const TRect b = a->ButtonRect();
  auto button = [&] { return SettledScreen(wnd).Pixel(b.Left + b.Width() / 2, 2); };
  EXPECT_EQ(Frame("COMBOBTN", "BORDERSMASK", 0), button());
  MouseTo(wr.left + b.Left + b.Width() / 2, wr.top + b.Top + b.Height() / 2);
  EXPECT_EQ(Frame("COMBOBTN", "BORDERSMASK", 1), button());
  LeftButton(true);
  LeftButton(false);
  ASSERT_TRUE(pump_until([&] { return IsWindowVisible(ListOf(wnd)) != FALSE; }));
  EXPECT_EQ(Frame("COMBOBTN", "BORDERSMASK", 2), button());
  // A click on an item closes the list and chooses the item.
  RECT lr{};
  GetWindowRect(ListOf(wnd), &lr);
  const int item = int(SendMessageA(wnd, CB_GETITEMHEIGHT, 0, 0));
  MouseTo(lr.left + 20, lr.top + 2 + item * 3 + item / 2);
  LeftButton(true);
  LeftButton(false);
  ASSERT_TRUE(pump_until([&] { return !IsWindowVisible(ListOf(wnd)); }));
  EXPECT_EQ(3, SendMessageA(wnd, CB_GETCURSEL, 0, 0));
  EXPECT_NE(Frame("COMBOBTN", "BORDERSMASK", 2), button());
  a->Free();
}

// The list's bar with real input, on a drop-down and on a simple combo: an arrow clicked, the track
// clicked below the thumb, the thumb dragged, each given as one input (the plain list tracks its bar
// in a loop of its own until the button comes up). The list scrolls as the plain combo's list does
// and stays there when the button comes up, the combo keeps its selection and text, and a click on
// the list's top item then chooses it.
TEST_F(ComboAdapters, ListBarScrollsWithTheMouseAsThePlainOneDoes) {
  enum TPart { Arrow, Track, Thumb };
  struct TBarCase {
    const char* Name;
    DWORD Style;
    TPart Part;
  };
  const TBarCase cases[] = {
      {"drop-down list, arrow", CBS_DROPDOWNLIST, Arrow},
      {"drop-down list, track", CBS_DROPDOWNLIST, Track},
      {"drop-down list, thumb", CBS_DROPDOWNLIST, Thumb},
      {"simple, arrow", CBS_SIMPLE, Arrow},
      {"simple, track", CBS_SIMPLE, Track},
      {"simple, thumb", CBS_SIMPLE, Thumb},
  };
  struct TSeen {
    int Top = -1;  // the list's top item after the button came up
    bool Shown = false;
    LRESULT Selected = -1;
    std::string Text;
    LRESULT Chosen = -1;  // after a click on the top item
    bool ShownAfterChoice = false;
  };
  const int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
  auto at = [&](int x, int y, DWORD flags) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dx = LONG((x * 65536LL + 32768) / sw);
    in.mi.dy = LONG((y * 65536LL + 32768) / sh);
    in.mi.dwFlags = flags | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    return in;
  };
  for (const TBarCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TSeen seen[2];
    for (int adapted = 0; adapted < 2; ++adapted) {
      HWND wnd = Combo(c.Style, 20, 20, c.Style == CBS_SIMPLE ? 160 : 200);
      TacMainWnd* a = adapted ? Create<TacComboBoxWnd>(wnd, nullptr, Manager, "COMBOBOX", true) : nullptr;
      if (c.Style != CBS_SIMPLE) SendMessageA(wnd, CB_SHOWDROPDOWN, TRUE, 0);
      flush_events(40, 1000);
      HWND list = ListOf(wnd);
      ASSERT_TRUE(IsWindowVisible(list));
      RECT cr{};
      GetClientRect(list, &cr);
      POINT origin{0, 0};
      ClientToScreen(list, &origin);
      // The bar right of the client area: its arrows about a bar's width long, the thumb at the top.
      const int x = origin.x + cr.right + GetSystemMetrics(SM_CXVSCROLL) / 2;
      const int arrow = GetSystemMetrics(SM_CYVSCROLL);
      const int bottom = origin.y + cr.bottom;
      const int y = c.Part == Arrow ? bottom - arrow / 2 : c.Part == Track ? bottom - arrow - 6 : origin.y + arrow + 4;
      MouseTo(x, y);
      std::vector<INPUT> input{at(x, y, MOUSEEVENTF_LEFTDOWN)};
      if (c.Part == Thumb)
        for (int dy = 10; dy <= 40; dy += 10) input.push_back(at(x, y + dy, 0));
      input.push_back(at(x, c.Part == Thumb ? y + 40 : y, MOUSEEVENTF_LEFTUP));
      SendInput(UINT(input.size()), input.data(), sizeof(INPUT));
      pump_until([] { return (GetAsyncKeyState(VK_LBUTTON) & 0x8000) == 0; });
      flush_events(60, 1000);
      seen[adapted].Top = int(SendMessageA(list, LB_GETTOPINDEX, 0, 0));
      seen[adapted].Shown = IsWindowVisible(list) != FALSE;
      seen[adapted].Selected = SendMessageA(wnd, CB_GETCURSEL, 0, 0);
      char text[64] = {};
      GetWindowTextA(wnd, text, sizeof text);
      seen[adapted].Text = text;
      // Then the top item clicked: the list still has the mouse and takes the choice.
      ClickAt(POINT{origin.x + 20, origin.y + int(SendMessageA(list, LB_GETITEMHEIGHT, 0, 0)) / 2});
      flush_events(60, 1000);
      seen[adapted].Chosen = SendMessageA(wnd, CB_GETCURSEL, 0, 0);
      seen[adapted].ShownAfterChoice = IsWindowVisible(list) != FALSE;
      MouseTo(2, 2);
      if (c.Style != CBS_SIMPLE) SendMessageA(wnd, CB_SHOWDROPDOWN, FALSE, 0);
      if (a) a->Free();
      DestroyWindow(wnd);
      flush_events(20, 500);
    }
    EXPECT_GT(seen[0].Top, 0) << "the plain list scrolls";
    EXPECT_EQ(seen[0].Top, seen[1].Top) << "the top item after the button came up";
    EXPECT_EQ(seen[0].Shown, seen[1].Shown);
    EXPECT_EQ(seen[0].Selected, seen[1].Selected);
    EXPECT_EQ(seen[0].Text, seen[1].Text);
    EXPECT_EQ(seen[0].Top, seen[1].Chosen) << "the top item chosen";
    EXPECT_EQ(seen[0].Chosen, seen[1].Chosen);
    EXPECT_EQ(seen[0].ShownAfterChoice, seen[1].ShownAfterChoice);
  }
}

}  // namespace
}  // namespace qvtest
