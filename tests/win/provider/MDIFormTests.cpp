// An MDI frame form's client window under the frame's provider: one adapter however often it is
// connected, none without a skin, the client painted from the frame's image around its children,
// and the window given back whole.
#include "tests/win/provider/ProviderTestSupport.h"

#include "classlib/GdiScopes.h"
#include "classlib/StdCtrls.h"
#include "skin/windows/acSBUtils.h"
#include "skin/windows/sMDIForm.h"

namespace qvtest {
namespace {

class MDIForm : public ProviderTest {
 protected:
  void SetUp() override {
    ProviderTest::SetUp();
    Builder = TSkinBuilder::Standard();
    Builder.Section("MDIAREA");
    LoadSkin(Builder);
    OldMain = Application->MainForm();
    Frame = Create<TForm>(Application);
    Frame->SetTag(-98);  // no provider from the dialog hook: the test gives it its own
    Frame->SetFormStyle(fsMDIForm);
    Frame->SetBounds(40, 40, 600, 420);
    Frame->SetCaption("MDI frame");
    Application->SetMainForm(Frame);
    Frame->HandleNeeded();
    ClientProc = GetWindowLongPtrA(Frame->ClientHandle(), GWLP_WNDPROC);
    Provider = Create<TsSkinProvider>(Frame);
    Provider->Loaded();
    Frame->Show();
    flush_events();
  }
  void TearDown() override {
    FreeAndNil(Frame);
    Application->SetMainForm(OldMain);
    ProviderTest::TearDown();
  }
  TForm* NewChild(const char* caption, int x, int y) {
    auto* c = Create<TForm>(Frame);
    c->SetTag(-98);
    c->SetBounds(x, y, 180, 120);
    c->SetCaption(caption);
    c->SetFormStyle(fsMDIChild);
    flush_events();
    return c;
  }
  // A child with a provider and a control, made as a program makes them: the form has a window of
  // its own before it becomes an MDI child.
  TRecordingForm* NewSkinnedChild(const char* caption, int x, int y,
                                  TBorderIcons icons = TBorderIcons{biSystemMenu, biMinimize, biMaximize}) {
    auto* c = Create<TRecordingForm>(Frame);
    c->SetBounds(x, y, 180, 120);
    c->SetBorderIcons(icons);
    c->SetCaption(caption);
    Create<TsSkinProvider>(c);
    auto* edit = Create<TEdit>(c);
    edit->SetParent(c);
    edit->SetText(caption);
    c->SetFormStyle(fsMDIChild);
    flush_events();
    return c;
  }
  void AddWindowMenu() {
    auto* menu = Create<TMainMenu>(Frame);
    auto* item = Create<TMenuItem>(menu);
    item->SetCaption("&Window");
    menu->Items()->Add(item);
    auto* cascade = Create<TMenuItem>(menu);
    cascade->SetCaption("&Cascade");
    item->Add(cascade);
    Frame->SetMenu(menu);
    flush_events();
  }
  TsMDIForm* Mdi() const { return dynamic_cast<TsMDIForm*>(Provider->MDIForm); }
  HWND Client() const { return Frame->ClientHandle(); }
  TColor SectionColor(const char* name) const { return Manager->Section(Manager->SectionIndexOf(name)).Color; }

  TCustomForm* OldMain = nullptr;
  TForm* Frame = nullptr;
  TsSkinProvider* Provider = nullptr;
  LONG_PTR ClientProc = 0;
};

TEST_F(MDIForm, OneClientAdapterWhileSkinnedAndTheClientGivenBack) {
  TsMDIForm* mdi = Mdi();
  ASSERT_NE(nullptr, mdi);
  EXPECT_EQ(Frame, mdi->Form);
  ASSERT_NE(nullptr, mdi->MDIAdapter);
  EXPECT_EQ(mdi->MDIAdapter, GetWndAdapter(Client()));
  EXPECT_EQ(Provider->SkinData, mdi->MDIAdapter->FormSkinData);

  // Connected again and again: one adapter on the client, the ones before freed with their skin data.
  TacMDIWnd* first = mdi->MDIAdapter;
  mdi->ConnectToClient();
  EXPECT_EQ(first, mdi->MDIAdapter);
  const int handles = GdiHandleCount();
  for (int i = 0; i < 50; ++i) mdi->Connect();
  flush_events();
  EXPECT_EQ(mdi->MDIAdapter, GetWndAdapter(Client()));
  EXPECT_LE(GdiHandleCount(), handles + 2);

  // The skin goes: the client's own procedure back, no property; connecting then makes nothing.
  Manager->SetActive(false);
  flush_events();
  EXPECT_EQ(ClientProc, GetWindowLongPtrA(Client(), GWLP_WNDPROC));
  EXPECT_EQ(nullptr, GetPropA(Client(), AdapterPropName));
  if (TsMDIForm* left = Mdi()) {
    left->Connect();
    EXPECT_EQ(nullptr, left->MDIAdapter);
  }
  // And comes back.
  Manager->SetActive(true);
  flush_events();
  ASSERT_NE(nullptr, Mdi());
  ASSERT_NE(nullptr, Mdi()->MDIAdapter);
  EXPECT_EQ(Mdi()->MDIAdapter, GetWndAdapter(Client()));

  // The provider going first takes the adapter with it.
  Provider->Free();
  Provider = nullptr;
  flush_events();
  EXPECT_EQ(ClientProc, GetWindowLongPtrA(Client(), GWLP_WNDPROC));
  EXPECT_EQ(nullptr, GetPropA(Client(), AdapterPropName));
}

// The client shows the frame's MDI area around three children, also after they are tiled and
// after one is closed.
TEST_F(MDIForm, ClientPaintedFromTheFramesImage) {
  NewChild("One", 0, 0);
  NewChild("Two", 30, 30);
  TForm* three = NewChild("Three", 60, 60);
  const TColor area = SectionColor("MDIAREA");
  auto probe = [&] {
    flush_events();
    RECT cr{};
    GetClientRect(Client(), &cr);
    POINT p{cr.right - 6, cr.bottom - 6};  // the children stay in the top-left part
    ClientToScreen(Client(), &p);
    const RECT r{p.x, p.y, p.x + 1, p.y + 1};
    return CaptureScreenRect(r).Pixel(0, 0);
  };
  EXPECT_EQ(COLORREF(area), probe());
  SendMessageA(Client(), WM_MDICASCADE, 0, 0);
  EXPECT_EQ(COLORREF(area), probe());
  three->Free();
  EXPECT_EQ(COLORREF(area), probe());
}

// Every child's title bar is the skin's, the active child's in the active look, also after
// another child is activated.
TEST_F(MDIForm, ChildTitlesInTheSkinTheActiveOneActive) {
  AddWindowMenu();
  // Windows from version 6 on, and before it (the system's caption drawing covered meanwhile).
  for (int version : {6, 5}) {
    SCOPED_TRACE(version);
    SetProviderWinVersion(version);
    std::vector<TRecordingForm*> children;
    for (const char* caption : {"One", "Two", "Three"})
      children.push_back(NewSkinnedChild(caption, 4 + 190 * int(children.size()), 10 + 30 * int(children.size())));
    auto check = [&](TCustomForm* active) {
      flush_events();
      for (TRecordingForm* c : children) {
        SCOPED_TRACE(c->Caption());
        TsSkinProvider* p = ProviderOf(c);
        EXPECT_EQ(c == active, p->FormActive);
        EXPECT_EQ(0, GetWindowLongA(c->Handle(), GWL_STYLE) & WS_SYSMENU);
        // The title between the icon and the buttons, as the provider composed it.
        const int y = Centre(p->ButtonClose).y;
        for (int x : {p->IconRect().Right + 2, p->ButtonMin.Rect.Left - 3})
          EXPECT_EQ(ColorText(CachePixel(p, x, y)), ColorText(ScreenPixel(c, x, y))) << x;
      }
    };
    check(children[2]);
    // The user clicks the first child's caption.
    TsSkinProvider* first = ProviderOf(children[0]);
    MouseTo(At(children[0], first->FormWidth() / 2, Centre(first->ButtonClose).y));
    LeftClicks(1);
    check(children[0]);
    MouseTo(POINT{GetSystemMetrics(SM_CXSCREEN) - 2, GetSystemMetrics(SM_CYSCREEN) - 2});
    for (TRecordingForm* c : children) c->Free();
    flush_events();
  }
}

// Pixels of the window's right strip (its vertical bar) where the screen shows something else than
// the window paints for WM_PRINT.
int BarPixelsNotAsPrinted(HWND wnd) {
  RECT wr{};
  GetWindowRect(wnd, &wr);
  const Capture screen = CaptureScreen(wnd), print = CaptureWMPrint(wnd);
  const int w = wr.right - wr.left, h = wr.bottom - wr.top;
  int differ = 0;
  for (int y = 0; y < h; ++y)
    for (int x = w - GetSystemMetrics(SM_CXVSCROLL) - 2; x < w; ++x) differ += screen.Pixel(x, y) != print.Pixel(x, y);
  return differ;
}

// A skin switch paints the children, the client's frame and its scroll bars in the new skin; the
// skin going gives every window back (procedures, window-menu styles, regions, the system's bars
// and captions); the skin coming back takes them again.
TEST_F(MDIForm, SkinSwitchAndRemovalWithChildrenAndScrollBars) {
  AddWindowMenu();
  TSkinBuilder other = TSkinBuilder::Standard();
  other.RemoveMask("FORMTITLE", "BORDERSMASK");
  Manager->AddInternalSkin("Other", other.Packed());
  // Wine's client made without children drops its scroll styles: given back.
  ShowScrollBar(Client(), SB_BOTH, TRUE);
  std::vector<TRecordingForm*> children{NewSkinnedChild("One", 4, 4), NewSkinnedChild("Two", 200, 30)};
  SetWindowPos(children[1]->Handle(), nullptr, 200, 300, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  flush_events();
  ASSERT_TRUE(GetWindowLongPtrA(Client(), GWL_STYLE) & WS_VSCROLL);
  auto skinned = [&](const char* when) {
    SCOPED_TRACE(when);
    flush_events();
    ASSERT_NE(nullptr, Mdi());
    TacMDIWnd* adapter = Mdi()->MDIAdapter;
    ASSERT_NE(nullptr, adapter);
    EXPECT_EQ(adapter, GetWndAdapter(Client()));
    EXPECT_TRUE(adapter->VertBar->ScrollVisible);
    EXPECT_EQ(0, BarPixelsNotAsPrinted(Client())) << "client";
    for (TRecordingForm* c : children) {
      TsSkinProvider* p = ProviderOf(c);
      EXPECT_EQ(0, GetWindowLongA(c->Handle(), GWL_STYLE) & WS_SYSMENU) << c->Caption();
      const int x = p->IconRect().Right + 2, y = Centre(p->ButtonClose).y;
      EXPECT_EQ(ColorText(CachePixel(p, x, y)), ColorText(ScreenPixel(c, x, y))) << c->Caption();
    }
  };
  skinned("first skin");
  const COLORREF firstTitle = ScreenPixel(children[0], ProviderOf(children[0])->IconRect().Right + 2,
                                          Centre(ProviderOf(children[0])->ButtonClose).y);
  Manager->SetSkinName("Other");
  skinned("other skin");
  EXPECT_NE(ColorText(firstTitle), ColorText(ScreenPixel(children[0], ProviderOf(children[0])->IconRect().Right + 2,
                                                         Centre(ProviderOf(children[0])->ButtonClose).y)));

  Manager->SetActive(false);
  flush_events();
  EXPECT_EQ(ClientProc, GetWindowLongPtrA(Client(), GWLP_WNDPROC));
  EXPECT_EQ(nullptr, GetPropA(Client(), AdapterPropName));
  // Nothing on the screen in the skin's colours: frame, menu line, client, bars and children.
  EXPECT_EQ(0, SkinPixels(Frame->Handle()));
  for (TRecordingForm* c : children) {
    SCOPED_TRACE(c->Caption());
    EXPECT_NE(0, GetWindowLongA(c->Handle(), GWL_STYLE) & WS_SYSMENU);
    EXPECT_EQ(ERROR, GetWindowRgn(c->Handle(), OwnedRegion(CreateRectRgn(0, 0, 0, 0))));
  }

  Manager->SetActive(true);
  skinned("skin back");
}

// A maximized child through a skin switch and the skin going: its buttons in the new skin's images,
// then the system's own in the frame's menu bar (the child's window menu and its three buttons),
// and back in the skin.
TEST_F(MDIForm, MaximizedChildThroughSkinSwitchAndRemoval) {
  AddWindowMenu();
  TSkinBuilder other = TSkinBuilder::Standard();
  other.RemoveMask("GLOBALINFO", "BICONHELP");  // the small images after it change colour
  Manager->AddInternalSkin("Other", other.Packed());
  TRecordingForm* child = NewSkinnedChild("One", 10, 10);
  NewSkinnedChild("Two", 60, 40);
  child->SetFocus();
  child->SetWindowState(wsMaximized);
  flush_events();
  ASSERT_TRUE(IsZoomed(child->Handle()));
  const HMENU bar = GetMenu(Frame->Handle());
  const int items = GetMenuItemCount(bar);
  auto buttonsLook = [&](const TSkinBuilder& skin) {
    flush_events();
    std::string looks;
    for (auto [button, image] :
         {std::pair{&TsSkinProvider::ButtonMDIMin, "SICONMIN"}, std::pair{&TsSkinProvider::ButtonMDIMax, "SICONMAX"},
          std::pair{&TsSkinProvider::ButtonMDIClose, "SICONCLOSE"}}) {
      const POINT c = Centre(Provider->*button);
      const COLORREF want = TSkinBuilder::FrameColor(skin.MaskOrdinal("GLOBALINFO", image), 0);
      looks += image + std::string(ScreenPixel(Frame, c.x, c.y) == want ? " skinned " : " not skinned ");
    }
    return looks;
  };
  const std::string skinned = "SICONMIN skinned SICONMAX skinned SICONCLOSE skinned ";
  EXPECT_EQ(skinned, buttonsLook(Builder));
  Manager->SetSkinName("Other");
  EXPECT_EQ(skinned, buttonsLook(other));
  EXPECT_EQ(items, GetMenuItemCount(bar));

  Manager->SetActive(false);
  flush_events();
  EXPECT_TRUE(IsZoomed(child->Handle()));
  EXPECT_NE(0, GetWindowLongA(child->Handle(), GWL_STYLE) & WS_SYSMENU);
  EXPECT_EQ(0, SkinPixels(Frame->Handle()));
  // The system's menu bar of a maximized child: its window menu first, its buttons last.
  ASSERT_EQ(GetSystemMenu(child->Handle(), FALSE), GetSubMenu(bar, 0));
  for (auto [pos, command] :
       {std::pair{items - 3, SC_MINIMIZE}, std::pair{items - 2, SC_RESTORE}, std::pair{items - 1, SC_CLOSE}})
    EXPECT_EQ(UINT(command), GetMenuItemID(bar, pos)) << pos;

  Manager->SetActive(true);
  EXPECT_EQ(skinned, buttonsLook(other));
  EXPECT_EQ(0, GetWindowLongA(child->Handle(), GWL_STYLE) & WS_SYSMENU);
}

// The menu a popup menu window shows, taken by a timer inside the menu's loop, which it ends.
// MenuProbeSeen: what the screen showed at MenuProbe meanwhile.
HMENU OpenedMenu = nullptr;
POINT MenuProbe{};
COLORREF MenuProbeSeen = CLR_INVALID;
void CALLBACK CloseOpenMenu(HWND, UINT, UINT_PTR id, DWORD) {
  HWND popup = FindWindowA("#32768", nullptr);
  if (!popup || !IsWindowVisible(popup)) return;
  KillTimer(nullptr, id);
  OpenedMenu = HMENU(SendMessageA(popup, MN_GETHMENU, 0, 0));
  const RECT r{MenuProbe.x, MenuProbe.y, MenuProbe.x + 1, MenuProbe.y + 1};
  MenuProbeSeen = CaptureScreenRect(r).Pixel(0, 0);
  EndMenu();
}

// A maximized child's minimize, restore and close buttons in the frame's menu line: drawn from the
// skin's small button images, hot under the mouse, pressed while held, let go when the mouse is
// dragged off, and a click sends the child its command.
TEST_F(MDIForm, MaximizedChildsButtonsInTheMenuLine) {
  AddWindowMenu();
  struct TRow {
    const char* What;
    TsCaptionButton TsSkinProvider::*Button;
    const char* Image;
    WPARAM Command;
    bool (*Done)(HWND);
  };
  const TRow rows[] = {
      {"minimize", &TsSkinProvider::ButtonMDIMin, "SICONMIN", SC_MINIMIZE, [](HWND w) { return IsIconic(w) != 0; }},
      {"restore", &TsSkinProvider::ButtonMDIMax, "SICONMAX", SC_RESTORE,
       [](HWND w) { return !IsZoomed(w) && !IsIconic(w); }},
      // A child's close minimizes it (the form's default close action).
      {"close", &TsSkinProvider::ButtonMDIClose, "SICONCLOSE", SC_CLOSE, [](HWND w) { return !IsZoomed(w); }},
  };
  TRecordingForm* child = NewSkinnedChild("One", 10, 10);
  NewSkinnedChild("Two", 60, 40);
  child->SetFocus();
  for (const TRow& r : rows) {
    SCOPED_TRACE(r.What);
    child->SetWindowState(wsMaximized);
    child->SetFocus();
    flush_events();
    ASSERT_TRUE(IsZoomed(child->Handle()));
    ASSERT_TRUE(Provider->ChildButtonsVisible());
    const POINT c = Centre(Provider->*r.Button);
    auto look = [&] { return ColorText(ScreenPixel(Frame, c.x, c.y)); };
    EXPECT_EQ(ColorText(MaskColor("GLOBALINFO", r.Image, 0)), look());
    MouseTo(At(Frame, c.x, c.y));
    EXPECT_EQ(ColorText(MaskColor("GLOBALINFO", r.Image, 1)), look()) << "hot";
    LeftButton(true);
    EXPECT_EQ(ColorText(MaskColor("GLOBALINFO", r.Image, 2)), look()) << "pressed";
    MouseTo(At(Frame, Provider->FormWidth() / 2, Provider->FormHeight() / 2));
    EXPECT_EQ(ColorText(MaskColor("GLOBALINFO", r.Image, 0)), look()) << "dragged off";
    LeftButton(false);
    EXPECT_TRUE(child->Commands.empty());
    EXPECT_TRUE(IsZoomed(child->Handle()));
    MouseTo(At(Frame, c.x + 2, c.y));
    LeftButton(true);
    LeftButton(false);
    EXPECT_EQ(std::vector<WPARAM>{r.Command}, child->Commands);
    EXPECT_TRUE(r.Done(child->Handle()));
    child->Commands.clear();
    MouseTo(At(Frame, Provider->FormWidth() / 2, Provider->FormHeight() / 2));
    // The child's own title (restored or minimized) is the skin's again.
    TsSkinProvider* cp = ProviderOf(child);
    const int tx = cp->IconRect().Right + 2, ty = Centre(cp->ButtonClose).y;
    EXPECT_EQ(ColorText(CachePixel(cp, tx, ty)), ColorText(ScreenPixel(child, tx, ty))) << "child's title";
    EXPECT_EQ(0, GetWindowLongA(child->Handle(), GWL_STYLE) & WS_SYSMENU);
    child->SetWindowState(wsNormal);
    flush_events();
  }

  // The maximized child's icon drops the child's own skinned window menu.
  child->SetWindowState(wsMaximized);
  flush_events();
  const TRect icon = Provider->MDIChildIconRect();
  ASSERT_FALSE(icon.IsEmpty());
  OpenedMenu = nullptr;
  MouseTo(At(Frame, (icon.Left + icon.Right) / 2, (icon.Top + icon.Bottom) / 2));
  SetTimer(nullptr, 0, 50, &CloseOpenMenu);
  LeftButton(true);
  LeftButton(false);
  EXPECT_EQ(ProviderOf(child)->SystemMenu->Handle(), OpenedMenu);
  EXPECT_TRUE(IsZoomed(child->Handle()));

  // While the frame's menu is open, the buttons stay the skin's.
  MenuProbe = At(Frame, Centre(Provider->ButtonMDIClose).x, Centre(Provider->ButtonMDIClose).y);
  OpenedMenu = nullptr;
  MenuProbeSeen = CLR_INVALID;
  RECT window{};  // the bar's "Window" item, after the child's window menu
  ASSERT_TRUE(GetMenuItemRect(Frame->Handle(), GetMenu(Frame->Handle()), 1, &window));
  MouseTo(POINT{(window.left + window.right) / 2, (window.top + window.bottom) / 2});
  SetTimer(nullptr, 0, 50, &CloseOpenMenu);
  LeftClicks(1);
  EXPECT_NE(nullptr, OpenedMenu);
  EXPECT_EQ(ColorText(MaskColor("GLOBALINFO", "SICONCLOSE", 0)), ColorText(MenuProbeSeen)) << "menu open";

  // A child without a minimize box: its minimize button is never hot or pressed and sends nothing.
  TRecordingForm* fixed = NewSkinnedChild("Fixed", 30, 30, TBorderIcons{biSystemMenu, biMaximize});
  fixed->SetWindowState(wsMaximized);
  flush_events();
  ASSERT_TRUE(IsZoomed(fixed->Handle()));
  const POINT c = Centre(Provider->ButtonMDIMin);
  const COLORREF rest = ScreenPixel(Frame, c.x, c.y);
  EXPECT_NE(ColorText(MaskColor("GLOBALINFO", "SICONMIN", 0)), ColorText(rest)) << "drawn disabled";
  MouseTo(At(Frame, c.x, c.y));
  EXPECT_EQ(ColorText(rest), ColorText(ScreenPixel(Frame, c.x, c.y))) << "hot";
  LeftButton(true);
  EXPECT_EQ(ColorText(rest), ColorText(ScreenPixel(Frame, c.x, c.y))) << "pressed";
  LeftButton(false);
  EXPECT_TRUE(fixed->Commands.empty());
  EXPECT_TRUE(IsZoomed(fixed->Handle()));
}

}  // namespace
}  // namespace qvtest
