// The tab adapters: tabs on each side painted at the rectangles the control reports, the active
// one in its own frame, the body in the section of its side, a control without tabs in "CHECKBOX";
// the page control's pages adapted once each (also pages made later, never its up-down), and the
// tab row's up-down adapter made once and kept.
#include "tests/support/ListAdapterTestSupport.h"

#include "classlib/ComCtrls.h"
#include "tests/support/RealInput.h"

namespace qvtest {
namespace {

class TabAdapters : public ListAdapterTest {
 protected:
  void TearDown() override {
    FreeAndNil(TabAdapter);
    ListAdapterTest::TearDown();
  }
  void FreeControls() override {
    if (Pages) Pages->Free();
    Pages = nullptr;
  }
  static void AddTabs(HWND tab, int count) {
    for (int i = 0; i < count; ++i) {
      std::string text = "Tab number " + std::to_string(i);
      TCITEMA item{};
      item.mask = TCIF_TEXT;
      item.pszText = text.data();
      SendMessageA(tab, TCM_INSERTITEMA, WPARAM(i), LPARAM(&item));
    }
  }
  TPageControl* Pages = nullptr;
  TacTabControlWnd* TabAdapter = nullptr;
};

TEST_F(TabAdapters, TabsOnEachSideAtTheRectanglesTheControlReports) {
  struct {
    DWORD Style;
    const char* Tab;
    const char* Body;
  } sides[] = {{0, "TABTOP", "PAGECONTROL"},
               {TCS_BOTTOM, "TABBOTTOM", "PAGECONTROLBOTTOM"},
               {TCS_VERTICAL | TCS_MULTILINE, "TABLEFT", "PAGECONTROLLEFT"},
               {TCS_VERTICAL | TCS_RIGHT | TCS_MULTILINE, "TABRIGHT", "PAGECONTROLRIGHT"},
               {TCS_BUTTONS, "BUTTON", nullptr},  // buttons have no body: the window shows round them
               {TCS_BUTTONS | TCS_FLATBUTTONS, "TOOLBUTTON", nullptr}};
  // Tab 1 is active, tab 2 under the real pointer (hot), tab 0 plain.
  const int states[] = {0, 2, 1};
  for (const auto& side : sides) {
    SCOPED_TRACE(side.Tab);
    HWND tab = Make(WC_TABCONTROLA, side.Style, 10, 10, 320, 320);
    AddTabs(tab, 3);
    SendMessageA(tab, TCM_SETCURSEL, 1, 0);
    TabAdapter = Create<TacTabControlWnd>(tab, nullptr, Manager, "PAGECONTROL", true);
    RECT item{};
    SendMessageA(tab, TCM_GETITEMRECT, 2, LPARAM(&item));
    POINT over{(item.left + item.right) / 2, (item.top + item.bottom) / 2};
    ClientToScreen(tab, &over);
    ASSERT_TRUE(MoveMouseTo(over));
    flush_events(40, 1000);
    EXPECT_EQ(2, TabAdapter->HotTab);
    const Capture c = CaptureScreen(tab);
    TRect active, body;
    TabAdapter->TabRect(1, true, active);
    TabAdapter->BodyRect(body);
    for (int i = 0; i < 3; ++i) {
      TRect r;
      TabAdapter->TabRect(i, i == 1, r);
      ASSERT_FALSE(r.IsEmpty()) << i;
      // A corner of the tab's frame that neither the active tab nor the body covers.
      const TPoint corners[] = {
          {r.Left + 2, r.Top + 2}, {r.Right - 3, r.Top + 2}, {r.Left + 2, r.Bottom - 3}, {r.Right - 3, r.Bottom - 3}};
      const TPoint* probe = nullptr;
      for (const TPoint& p : corners)
        if (i == 1 || (!active.Contains(p) && !body.Contains(p))) {
          probe = &p;
          break;
        }
      ASSERT_TRUE(probe) << i;
      EXPECT_EQ(Frame(side.Tab, "BORDERSMASK", states[i]), c.Pixel(probe->X, probe->Y)) << i;
      // The caption's ink lies inside the tab (side tabs' turned text too), hot when the tab is.
      int ink = 0;
      for (int y = std::max(r.Top, 0); y < std::min<int>(r.Bottom, c.Height()); ++y)
        for (int x = std::max(r.Left, 0); x < std::min<int>(r.Right, c.Width()); ++x)
          ink += c.Pixel(x, y) == Ink(side.Tab, states[i] != 0) ? 1 : 0;
      EXPECT_GT(ink, 8) << i;
    }
    // The body's corner away from the tabs.
    const bool right = side.Tab == std::string("TABLEFT");
    const bool bottom = side.Tab != std::string("TABBOTTOM");
    EXPECT_EQ(side.Body ? Frame(side.Body, "BORDERSMASK", 0) : COLORREF(GetSysColor(COLOR_WINDOW)),
              c.Pixel(right ? body.Right - 3 : body.Left + 2, bottom ? body.Bottom - 3 : body.Top + 2));
    FreeAndNil(TabAdapter);
    DestroyWindow(tab);
  }
  // Without tabs the whole window is a "CHECKBOX".
  HWND empty = Make(WC_TABCONTROLA, 0, 10, 10, 200, 120);
  TabAdapter = Create<TacTabControlWnd>(empty, nullptr, Manager, "PAGECONTROL", true);
  flush_events(40, 1000);
  const Capture c = CaptureScreen(empty);
  EXPECT_EQ(Frame("CHECKBOX", "BORDERSMASK", 0), c.Pixel(2, 2));
  EXPECT_EQ(Frame("CHECKBOX", "BORDERSMASK", 0), c.Pixel(c.Width() - 3, c.Height() - 3));
}

// The keyboard focus, given with the keyboard, marks the focused tab as the plain control marks it,
// and goes with the focus; tabs and buttons alike.
TEST_F(TabAdapters, FocusedTabMarkedAsThePlainOneIs) {
  for (DWORD style : {DWORD(0), DWORD(TCS_BUTTONS)}) {
    SCOPED_TRACE(style);
    HWND focusHolder = Make("EDIT", WS_TABSTOP | WS_BORDER, 10, 300, 80, 20);
    HWND plain = Make(WC_TABCONTROLA, style | WS_TABSTOP, 10, 10, 250, 120);
    HWND adapted = Make(WC_TABCONTROLA, style | WS_TABSTOP, 270, 10, 250, 120);
    for (HWND tab : {plain, adapted}) AddTabs(tab, 3);
    TabAdapter = Create<TacTabControlWnd>(adapted, nullptr, Manager, "PAGECONTROL", true);
    for (HWND tab : {plain, adapted}) {
      SCOPED_TRACE(tab == plain ? "plain" : "adapted");
      RECT item{};
      SendMessageA(tab, TCM_GETITEMRECT, 1, LPARAM(&item));
      // The focus comes by the keyboard, and the arrow key moves it to tab 1 (tabs choose it too).
      ASSERT_TRUE(FocusForKeys(tab));
      PressKey(VK_RIGHT);
      flush_events(40, 1000);
      ASSERT_EQ(1, SendMessageA(tab, TCM_GETCURFOCUS, 0, 0));
      const Capture focused = SettledScreen(tab);
      // The focus elsewhere, the choice as it was.
      ASSERT_TRUE(FocusForKeys(focusHolder));
      flush_events(40, 1000);
      const Capture away = SettledScreen(tab);
      int marked = 0;
      for (int y = item.top; y < item.bottom; ++y)
        for (int x = item.left; x < item.right; ++x) marked += focused.Pixel(x, y) != away.Pixel(x, y);
      EXPECT_GT(marked, 10) << "the focused tab marked, and the mark gone with the focus";
    }
    FreeAndNil(TabAdapter);
    for (HWND w : {focusHolder, plain, adapted}) DestroyWindow(w);
  }
}

// The tab section may be the skin's first one (index 0); a skin without it paints the tabs' texts
// over the tab row only.
TEST_F(TabAdapters, TabSectionFirstInTheSkinOrMissing) {
  TSkinBuilder first;
  first.Mask("TABTOP", "BORDERSMASK", 16, 16, 3);
  first.Mask("PAGECONTROL", "BORDERSMASK", 9, 9, 1);
  first.Section("GLOBALINFO");
  TSkinBuilder none = TSkinBuilder::Standard();
  none.RemoveSection("TABTOP");
  Manager->AddInternalSkin("First", first.Packed());
  Manager->AddInternalSkin("None", none.Packed());
  HWND tab = Make(WC_TABCONTROLA, 0, 10, 10, 320, 220);
  AddTabs(tab, 3);
  SendMessageA(tab, TCM_SETCURSEL, 1, 0);
  TabAdapter = Create<TacTabControlWnd>(tab, nullptr, Manager, "PAGECONTROL", true);
  for (const char* name : {"First", "None"}) {
    SCOPED_TRACE(name);
    Manager->SetSkinName(name);
    ASSERT_TRUE(Manager->SkinData()->Active);
    flush_events(40, 1000);
    const bool skinned = std::string(name) == "First";
    if (skinned) ASSERT_EQ(0, Manager->SectionIndexOf("TABTOP"));
    const Capture c = CaptureScreen(tab);
    TRect r;
    TabAdapter->TabRect(0, false, r);
    const COLORREF frame = TSkinBuilder::FrameColor(first.MaskOrdinal("TABTOP", "BORDERSMASK"), 0);
    if (skinned)
      EXPECT_EQ(frame, c.Pixel(r.Left + 2, r.Top + 2));
    else
      EXPECT_NE(Frame("TABTOP", "BORDERSMASK", 0), c.Pixel(r.Left + 2, r.Top + 2));
    int ink = 0;
    for (int y = std::max(r.Top, 0); y < r.Bottom; ++y)
      for (int x = std::max(r.Left, 0); x < r.Right; ++x)
        ink += c.Pixel(x, y) == Ink(skinned ? "TABTOP" : "PAGECONTROL") ? 1 : 0;
    EXPECT_GT(ink, 8);
  }
}

TEST_F(TabAdapters, PagesAdaptedOnceEachAndTheUpDownOnlyByItsOwnAdapter) {
  LibHost = std::make_unique<TTestHost>(360, 240);
  Pages = Create<TPageControl>(nullptr);
  Pages->SetBounds(10, 10, 300, 200);
  Pages->SetParent(LibHost->Control());
  auto addPage = [&](int i) {
    auto* page = Create<TTabSheet>(Pages);
    page->SetPageControl(Pages);
    page->SetCaption("A page with a long caption " + std::to_string(i));
  };
  for (int i = 0; i < 6; ++i) addPage(i);
  Data = new TsCommonData(Pages, false);
  Data->SetSkinSection("PAGECONTROL");
  TabAdapter = Create<TacPageControlWnd>(Pages->Handle(), Data, nullptr, "PAGECONTROL", true);
  auto* adapter = static_cast<TacPageControlWnd*>(TabAdapter);
  flush_events(40, 1000);
  // The tabs do not fit: the control shows its up-down, which gets one adapter of its own.
  const HWND updown = FindWindowExA(Pages->Handle(), nullptr, UPDOWN_CLASSA, nullptr);
  ASSERT_TRUE(updown);
  TacSpinWnd* spin = adapter->SpinWnd;
  ASSERT_TRUE(spin);
  EXPECT_EQ(spin, GetWndAdapter(updown));
  for (int i = 0; i < 3; ++i) {
    RedrawWindow(Pages->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW);
    flush_events(20, 500);
    EXPECT_EQ(spin, adapter->SpinWnd) << i;
  }
  // The class library makes a page's window when the page is first shown: each page is adapted as
  // its window comes, once; a window made again gets a new adapter and a freed page takes its
  // adapter with it (at the control's next frame paint), so no adapter outlives its window.
  auto checkPages = [&](const char* when) {
    int windows = 0;
    for (int i = 0; i < Pages->PageCount(); ++i) {
      if (!Pages->Pages(i)->HandleAllocated()) continue;
      ++windows;
      TacMainWnd* a = GetWndAdapter(Pages->Pages(i)->Handle());
      EXPECT_TRUE(a && adapter->Pages.Contains(a)) << when << " " << i;
    }
    EXPECT_EQ(windows, adapter->Pages.Count()) << when;
  };
  for (int i = 0; i < 6; ++i) {
    Pages->SetActivePageIndex(i);
    flush_events(20, 500);
  }
  checkPages("each page shown");
  EXPECT_EQ(6, adapter->Pages.Count());
  addPage(6);
  Pages->SetActivePageIndex(6);
  flush_events(20, 500);
  checkPages("a page added");
  EXPECT_EQ(7, adapter->Pages.Count());
  // A hidden page's window made again goes until the page shows.
  Pages->Pages(2)->RecreateWnd();
  Pages->Pages(3)->Free();
  RedrawWindow(Pages->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
  flush_events(40, 1000);
  checkPages("a window made again, a page freed");
  EXPECT_EQ(5, adapter->Pages.Count());
  Pages->SetActivePageIndex(2);
  flush_events(40, 1000);
  checkPages("the page shown again");
  EXPECT_EQ(6, adapter->Pages.Count());
  EXPECT_EQ(spin, adapter->SpinWnd) << "the up-down keeps its one adapter";
  EXPECT_EQ(spin, GetWndAdapter(updown));
  // The active page shows the body under it.
  Pages->SetActivePageIndex(0);
  flush_events(40, 1000);
  const Capture c = CaptureScreen(Pages->Pages(0)->Handle());
  EXPECT_EQ(Frame("PAGECONTROL", "BORDERSMASK", 0), c.Pixel(c.Width() / 2, c.Height() / 2));
  // The skin goes: the up-down's adapter goes with it and the up-down is its own again; the skin
  // comes back: a new one.
  Manager->SetActive(false);
  flush_events(40, 1000);
  EXPECT_EQ(nullptr, adapter->SpinWnd);
  EXPECT_EQ(nullptr, GetWndAdapter(updown));
  Manager->SetActive(true);
  flush_events(40, 1000);
  EXPECT_TRUE(adapter->SpinWnd && GetWndAdapter(updown) == adapter->SpinWnd);
}

}  // namespace
}  // namespace qvtest
