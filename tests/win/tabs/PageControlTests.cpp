// The skinned page control: hot tracking and close buttons with real mouse input read back from
// the screen, page changes in the class library's order with and without the animation, the tab
// scroller, the plain close buttons, the page hint, and following the skin.
#include <gtest/gtest.h>

#include <memory>

#include "classlib/ComCtrls.h"
#include "classlib/StdCtrls.h"
#include "classlib/ExtCtrlsPanels.h"
#include "skin/controls/sGroupBox.h"
#include "skin/controls/sPanel.h"
#include "skin/controls/sSpeedButton.h"
#include "skin/engine/sFade.h"
#include "skin/windows/acSBUtils.h"
#include "tests/support/AdapterTestSupport.h"
#include "tests/win/tabs/TabsFixture.h"

using namespace qvtest;

namespace {

class PageControl : public TabsTest {
 protected:
  void Click(TControl* c, TPoint p) {
    MouseTo(c, p.X, p.Y);
    MouseButton(MOUSEEVENTF_LEFTDOWN);
    MouseButton(MOUSEEVENTF_LEFTUP);
  }
};

// What OnCloseBtnClick did and what it answers.
struct TCloseLog {
  std::vector<int> Pages;
  bool CanClose = true;
  TacCloseAction Action = acaFree;
  bool FreeItself = false;
  TPageControl* Control = nullptr;
  void Clicked(TComponent*, int PageIndex, bool& CanCloseOut, TacCloseAction& ActionOut) {
    Pages.push_back(PageIndex);
    if (FreeItself) Control->Pages(PageIndex)->Free();
    CanCloseOut = CanClose;
    ActionOut = Action;
  }
};

// The close buttons shown on a plain control.
int CountTabButtons(TWinControl* pc) {
  int n = 0;
  for (int i = 0; i < pc->ControlCount(); ++i)
    if (auto* b = dynamic_cast<TsTabBtn*>(pc->Controls(i)); b && b->Visible()) ++n;
  return n;
}

// Records whether a message posted to it was dispatched.
LRESULT CALLBACK FlagProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_APP + 7) {
    *reinterpret_cast<bool*>(GetWindowLongPtrA(wnd, GWLP_USERDATA)) = true;
    return 0;
  }
  return DefWindowProcA(wnd, msg, wParam, lParam);
}

}  // namespace

// Moving from tab to tab shows the tab under the mouse hot and the one left normal again; the
// active tab is never drawn hot; leaving the strip leaves every tab normal.
TEST_F(PageControl, HotTrackingWithTheMouse) {
  LoadStandardSkin();
  TsPageControl* pc = MakePages(4);
  pc->SetHotTrack(true);
  flush_events();
  MouseAway();
  struct {
    int Over;  // tab under the mouse, -1: below the strip
    int States[4];
    int Hot;
  } steps[] = {
      {1, {2, 1, 0, 0}, 1}, {2, {2, 0, 1, 0}, 2}, {0, {2, 0, 0, 0}, -1}, {3, {2, 0, 0, 1}, 3}, {-1, {2, 0, 0, 0}, -1},
  };
  for (const auto& s : steps) {
    const TPoint p = s.Over >= 0 ? Centre(ItemRect(pc, s.Over)) : Point(200, 150);
    MouseTo(pc, p.X, p.Y);
    EXPECT_EQ(s.Hot, pc->HotTabIndex()) << "over " << s.Over;
    for (int t = 0; t < 4; ++t)
      EXPECT_EQ(ColorText(Tab(s.States[t])), At(pc, TabBody(pc, t, t == 0))) << "over " << s.Over << " tab " << t;
  }
}

// The page events come in the class library's order whether the control is plain or skinned, with
// or without the page-change animation; the animation's overlay and timer are gone afterwards.
TEST_F(PageControl, PageChangeEventsAndAnimation) {
  LoadStandardSkin();
  struct {
    const char* Name;
    bool Skinned, Animated;
  } cases[] = {{"class library", false, false}, {"skinned", true, false}, {"animated", true, true}};
  std::vector<std::string> expected;
  for (const auto& c : cases) {
    TPageControl* pc = nullptr;
    if (c.Skinned) {
      TsPageControl* s = MakePages(3);
      Manager->PageChange()->SetActive(c.Animated);
      Manager->PageChange()->SetTime(90);
      pc = s;
    } else {
      pc = Create<TPageControl>(Form);
      pc->SetParent(Form);
      pc->SetBounds(10, 10, 400, 200);
      for (int i = 0; i < 3; ++i) {
        auto* page = Create<TTabSheet>(Form);
        page->SetPageControl(pc);
        page->SetCaption("Tab " + std::to_string(i));
      }
      flush_events();
    }
    TPageLog log;
    log.Attach(pc);
    const int timers = TacSelfFreeingTimer::LiveCount();
    const TRect target = ItemRect(pc, 2);
    Click(pc, Centre(target));
    EXPECT_EQ(c.Animated, log.Overlaid) << c.Name;
    if (c.Animated) {
      EXPECT_TRUE(pump_until([&] { return OutputOverlayWindow() == nullptr; })) << c.Name;
      EXPECT_TRUE(pump_until([&] { return TacSelfFreeingTimer::LiveCount() == timers; })) << c.Name;
    }
    EXPECT_EQ(nullptr, OutputOverlayWindow()) << c.Name;
    EXPECT_EQ(2, pc->ActivePageIndex()) << c.Name;
    if (expected.empty())
      expected = log.Events;
    else
      EXPECT_EQ(expected, log.Events) << c.Name;
    if (c.Skinned) {
      auto* s = static_cast<TsPageControl*>(pc);
      EXPECT_EQ(ColorText(Tab(2)), At(pc, TabBody(s, 2, true))) << c.Name;
      EXPECT_EQ(ColorText(Tab(0)), At(pc, TabBody(s, 0, false))) << c.Name;
    }
    pc->Free();
    flush_events();
  }
  EXPECT_EQ((std::vector<std::string>{"changing Tab 0", "change Tab 2"}), expected);
}

// A page that another replaces lets go of the images of everything on it, skinned controls (window
// and graphic ones, deep inside) and adapted windows alike, for nothing shows them; shown again by
// a click on its tab, it looks as it did.
TEST_F(PageControl, HiddenPageLetsItsImagesGoAndLooksAlikeShownAgain) {
  LoadStandardSkin();
  TsPageControl* pc = MakePages(2);
  TTabSheet* page = pc->Pages(0);
  auto* panel = Create<TsPanel>(Form);
  panel->SetParent(page);
  panel->SetBounds(8, 8, 220, 130);
  auto* box = Create<TsGroupBox>(Form);
  box->SetParent(panel);
  box->SetBounds(8, 8, 150, 90);
  box->SetCaption("Box");
  auto* button = Create<TsSpeedButton>(Form);
  button->SetParent(panel);
  button->SetBounds(166, 12, 40, 26);
  auto* plain = Create<TPanel>(Form);
  plain->SetParent(page);
  plain->SetBounds(240, 8, 140, 130);
  auto* plainData = new TsCommonData(plain, true);
  plainData->SetSkinManager(Manager);
  auto* adapter = Create<TacPanelWnd>(plain->Handle(), plainData, Manager, "PANEL", true);
  MouseAway();
  RedrawWindow(pc->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
  // The page itself: the tab strip shows the focus the clicks give the control.
  const Capture before = SettledScreen(page->Handle());
  const struct {
    const char* Name;
    TsCommonData* Data;
  } kept[] = {{"panel", FindSkinData(panel)},
              {"group box inside it", FindSkinData(box)},
              {"speed button inside it", FindSkinData(button)},
              {"adapted panel", adapter->SkinData}};
  for (const auto& k : kept) ASSERT_FALSE(k.Data->CacheBmp->Empty()) << k.Name << " painted";
  Click(pc, Centre(ItemRect(pc, 1)));
  flush_events();
  ASSERT_EQ(1, pc->ActivePageIndex());
  for (const auto& k : kept) EXPECT_TRUE(k.Data->CacheBmp->Empty()) << k.Name << " keeps its image hidden";
  Click(pc, Centre(ItemRect(pc, 0)));
  MouseAway();
  ASSERT_EQ(0, pc->ActivePageIndex());
  const Capture after = SettledScreen(page->Handle());
  EXPECT_EQ(0, DifferingPixels(before, after)) << "the page looks as it did";
  adapter->Free();
  plain->Free();
  delete plainData;
}

// Close buttons of the skinned control: a press and release on a button fire OnCloseBtnClick with
// the page, and the action frees or hides it; a refusal, a press elsewhere or a press beside the
// button closes nothing.
TEST_F(PageControl, SkinnedCloseButtons) {
  LoadStandardSkin();
  struct {
    const char* Name;
    bool CanClose;
    TacCloseAction Action;
    int PressOffset;  // the press lands this far left of the button's left edge (0: on it)
    bool ReleaseOnButton;
    int Pages, Visible;
  } cases[] = {
      {"free", true, acaFree, 0, true, 3, 3},
      {"hide", true, acaHide, 0, true, 4, 3},
      {"refused", false, acaFree, 0, true, 4, 4},
      {"pressed elsewhere", true, acaFree, 12, true, 4, 4},
      {"beside the button", true, acaFree, 1, false, 4, 4},
  };
  for (const auto& c : cases) {
    TsPageControl* pc = MakePages(4);
    pc->SetShowCloseBtns(true);
    TCloseLog log;
    log.Control = pc;
    log.CanClose = c.CanClose;
    log.Action = c.Action;
    pc->OnCloseBtnClick = MakeMethod<&TCloseLog::Clicked>(&log);
    flush_events();
    ASSERT_GE(pc->BtnSkinIndex(), 0);
    const TRect button = pc->CloseBtnRect(pc->Pages(1));
    ASSERT_FALSE(button.IsEmpty());
    MouseTo(pc, button.Left - c.PressOffset, button.Top + 3);
    MouseButton(MOUSEEVENTF_LEFTDOWN);
    if (c.ReleaseOnButton) MouseTo(pc, button.Left + 3, button.Top + 3);
    MouseButton(MOUSEEVENTF_LEFTUP);
    flush_events();
    const bool clicked = c.PressOffset == 0 && c.ReleaseOnButton;
    EXPECT_EQ(clicked ? std::vector<int>{1} : std::vector<int>{}, log.Pages) << c.Name;
    EXPECT_EQ(c.Pages, pc->PageCount()) << c.Name;
    EXPECT_EQ(c.Visible, pc->VisibleTabsCount()) << c.Name;
    EXPECT_FALSE(CloseBtnPressed) << c.Name;
    pc->Free();
    flush_events();
  }
}

// A button's look on the screen: normal, hot under the mouse, pressed while the left button is down.
TEST_F(PageControl, SkinnedCloseButtonStates) {
  TSkinBuilder b = TSkinBuilder::Standard();
  LoadSkin(b);
  TsPageControl* pc = MakePages(3);
  pc->SetShowCloseBtns(true);
  flush_events();
  MouseAway();
  const COLORREF states[] = {TSkinBuilder::FrameColor(Builder.MaskOrdinal("GLOBALINFO", "SICONCLOSE"), 0),
                             TSkinBuilder::FrameColor(Builder.MaskOrdinal("GLOBALINFO", "SICONCLOSE"), 1),
                             TSkinBuilder::FrameColor(Builder.MaskOrdinal("GLOBALINFO", "SICONCLOSE"), 2)};
  const TRect button = pc->CloseBtnRect(pc->Pages(2));
  const TPoint probe = Point(button.Left + 3, button.Top + 5);
  EXPECT_EQ(ColorText(states[0]), At(pc, probe));
  MouseTo(pc, probe.X, probe.Y);
  EXPECT_EQ(ColorText(states[1]), At(pc, probe));
  MouseButton(MOUSEEVENTF_LEFTDOWN);
  EXPECT_EQ(ColorText(states[2]), At(pc, probe));
  MouseTo(pc, 200, 150);
  MouseButton(MOUSEEVENTF_LEFTUP);
  EXPECT_EQ(3, pc->PageCount());
}

// The plain close buttons: one speed button per page with a visible tab; the handler is told the
// page (not the tab, which a hidden page before it shifts), and a page freed by the handler itself
// leaves no button behind.
TEST_F(PageControl, PlainCloseButtons) {
  TsPageControl* pc = MakePages(4);
  pc->SetShowCloseBtns(true);
  flush_events();
  EXPECT_EQ(4, CountTabButtons(pc));
  pc->Pages(0)->SetTabVisible(false);
  flush_events();
  EXPECT_EQ(3, CountTabButtons(pc));
  auto* third = static_cast<TsTabSheet*>(pc->Pages(2));
  ASSERT_NE(nullptr, third->CloseButton());
  TCloseLog log;
  log.Control = pc;
  log.CanClose = false;
  log.FreeItself = true;
  pc->OnCloseBtnClick = MakeMethod<&TCloseLog::Clicked>(&log);
  TsTabBtn* button = third->CloseButton();
  const long controls = TControl::LiveCount();
  Click(button, Point(7, 7));
  EXPECT_EQ(std::vector<int>{2}, log.Pages);
  EXPECT_EQ(3, pc->PageCount());
  EXPECT_TRUE(pump_until([&] { return CountTabButtons(pc) == 2; }));
  // The page and its button are gone.
  EXPECT_TRUE(pump_until([&] { return TControl::LiveCount() == controls - 2; }));

  // Removing the buttons, or a skin coming, frees them all.
  pc->SetShowCloseBtns(false);
  EXPECT_EQ(0, CountTabButtons(pc));
  pc->SetShowCloseBtns(true);
  EXPECT_EQ(2, CountTabButtons(pc));
  LoadStandardSkin();
  EXPECT_EQ(0, CountTabButtons(pc));
  EXPECT_GE(pc->BtnSkinIndex(), 0);
}

// A single-line strip whose tabs do not fit gets the skinned up-down in place of the native
// arrows; clicking its right button scrolls the strip; the skin going frees it and the native
// arrows come back; it follows the strip's side and width; several rows or side tabs get none.
TEST_F(PageControl, TabScroller) {
  LoadStandardSkin();
  TsPageControl* pc = MakePages(20);
  ASSERT_NE(nullptr, pc->UpDown());
  EXPECT_EQ(nullptr, FindWindowExA(pc->Handle(), nullptr, "msctls_updown32", nullptr));
  TsUpDown* ud = pc->UpDown();
  EXPECT_EQ(pc->Width() - ud->Width(), ud->Left());
  EXPECT_EQ(0, ud->Top());
  EXPECT_EQ(pc->HiddenTabsCount(), ud->Max());
  EXPECT_EQ(0, ud->Position());
  const int firstLeft = ItemRect(pc, 0).Left;
  Click(ud, Point(ud->Width() * 3 / 4, ud->Height() / 2));
  EXPECT_TRUE(pump_until([&] { return ud->Position() == 1; }));
  EXPECT_NE(firstLeft, ItemRect(pc, 0).Left);

  Manager->SetActive(false);
  flush_events();
  EXPECT_EQ(nullptr, pc->UpDown());
  EXPECT_TRUE(pump_until([&] { return FindWindowExA(pc->Handle(), nullptr, "msctls_updown32", nullptr) != nullptr; }));
  Manager->SetActive(true);
  flush_events();
  EXPECT_NE(nullptr, pc->UpDown());

  // It follows the strip to the bottom edge, goes when the tabs fit and comes back when they don't.
  pc->SetTabPosition(tpBottom);
  flush_events();
  ASSERT_NE(nullptr, pc->UpDown());
  EXPECT_EQ(pc->Height() - pc->UpDown()->Height(), pc->UpDown()->Top());
  EXPECT_EQ(ColorText(Tab(0, "TABBOTTOM")), At(pc, TabBody(pc, 1, false)));
  pc->SetWidth(1900);
  flush_events();
  EXPECT_EQ(nullptr, pc->UpDown());
  pc->SetWidth(400);
  flush_events();
  EXPECT_NE(nullptr, pc->UpDown());

  pc->SetMultiLine(true);
  flush_events();
  EXPECT_EQ(nullptr, pc->UpDown());
  TsPageControl* side = MakePages(20, tpLeft, Rect(10, 220, 410, 340));
  EXPECT_EQ(nullptr, side->UpDown());
  TsPageControl* few = MakePages(2, tpBottom, Rect(420, 10, 540, 200));
  EXPECT_EQ(nullptr, few->UpDown());
}

// The hint over a tab is that page's hint.
TEST_F(PageControl, PageHint) {
  TsPageControl* pc = MakePages(3);
  pc->SetHint("control");
  pc->Pages(1)->SetHint("second page");
  THintInfo info;
  info.HintStr = "control";
  info.CursorPos = Centre(ItemRect(pc, 1));
  EXPECT_EQ(0, pc->Perform(CM_HINTSHOW, 0, reinterpret_cast<LPARAM>(&info)));
  EXPECT_EQ("second page", info.HintStr);
  info.HintStr = "control";
  info.CursorPos = Point(200, 150);
  pc->Perform(CM_HINTSHOW, 0, reinterpret_cast<LPARAM>(&info));
  EXPECT_EQ("control", info.HintStr);
}

// A mouse move handles no other message meanwhile (a handler run from the queue could free the
// control under it); painting outside a paint message leaves a paint that is due pending.
TEST_F(PageControl, NoReentranceAndNoEatenPaints) {
  LoadStandardSkin();
  TsPageControl* pc = MakePages(4);
  pc->SetHotTrack(true);
  pc->SetShowCloseBtns(true);
  flush_events();
  WNDCLASSA wc{};
  wc.lpfnWndProc = FlagProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "QvTabsFlag";
  RegisterClassA(&wc);
  HWND flag = CreateWindowExA(0, "QvTabsFlag", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
  bool dispatched = false;
  SetWindowLongPtrA(flag, GWLP_USERDATA, LONG_PTR(&dispatched));
  PostMessageA(flag, WM_APP + 7, 0, 0);
  const TPoint p = Centre(ItemRect(pc, 2));
  SendMessageA(pc->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(p.X, p.Y));
  EXPECT_EQ(2, pc->HotTabIndex());
  EXPECT_FALSE(dispatched);
  flush_events();
  EXPECT_TRUE(dispatched);
  DestroyWindow(flag);

  // A part of the control waits for its paint while the page changes and a tab is hovered.
  RECT due{300, 150, 320, 170};
  InvalidateRect(pc->Handle(), &due, FALSE);
  pc->SetActivePageIndex(3);
  const TPoint q = Centre(ItemRect(pc, 1));
  SendMessageA(pc->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(q.X, q.Y));
  RECT pending{};
  EXPECT_TRUE(GetUpdateRect(pc->Handle(), &pending, FALSE));
  EXPECT_TRUE(pending.left <= due.left && pending.bottom >= due.bottom);
}

// The skin comes and goes: the control's frame, its close buttons and its pages follow.
TEST_F(PageControl, FollowsTheSkin) {
  LoadStandardSkin();
  TsPageControl* pc = MakePages(3, tpBottom);
  auto* button = Create<TButton>(Form);
  button->SetParent(pc->Pages(0));
  button->SetBounds(100, 60, 80, 24);
  pc->SetShowCloseBtns(true);
  flush_events();
  const TPoint frame = Point(pc->Width() - 3, 40);
  EXPECT_EQ(ColorText(Frame("PAGECONTROLBOTTOM", 0)), At(pc, frame));
  EXPECT_EQ("PAGECONTROLBOTTOM", pc->FrameSection());
  EXPECT_EQ(0, CountTabButtons(pc));
  Manager->SetActive(false);
  flush_events();
  EXPECT_NE(ColorText(Frame("PAGECONTROLBOTTOM", 0)), At(pc, frame));
  EXPECT_EQ(3, CountTabButtons(pc));
  Manager->SetActive(true);
  flush_events();
  EXPECT_EQ(ColorText(Frame("PAGECONTROLBOTTOM", 0)), At(pc, frame));
  EXPECT_EQ(0, CountTabButtons(pc));
  // The page shows the page control's picture around its child.
  EXPECT_EQ(At(pc, Point(pc->Pages(0)->Left() + 20, pc->Pages(0)->Top() + 20)),
            ColorText(CachePixel(pc->SkinData(), pc->Pages(0)->Left() + 20, pc->Pages(0)->Top() + 20)));
}

// A new tab size holds painting back (the control answers busy) only until the strip is laid out
// again; a print paints the whole picture into the given DC, the active page at its place.
TEST_F(PageControl, TabSizeChangeAndPrint) {
  LoadStandardSkin();
  TsPageControl* pc = MakePages(3);
  auto busy = [&] { return SendMessageA(pc->Handle(), SM_QUORVEXCMD, MAKEWPARAM(0, QC_ISBUSY), 0); };
  EXPECT_EQ(0, busy());
  SendMessageA(pc->Handle(), TCM_SETITEMSIZE, 0, MAKELPARAM(80, 34));
  EXPECT_EQ(1, busy());
  flush_events();
  EXPECT_EQ(0, busy());
  EXPECT_EQ(34, ItemRect(pc, 1).Height());
  EXPECT_EQ(ColorText(Tab(0)), At(pc, TabBody(pc, 1, false)));
  EXPECT_EQ(ColorText(Tab(2)), At(pc, TabBody(pc, 0, true)));

  // Printed as the page-change fade prints it, a plain edit on the page shows as on the screen,
  // frame and text.
  auto* edit = Create<TEdit>(Form);
  edit->SetParent(pc->Pages(0));
  edit->SetBounds(60, 50, 120, 24);
  edit->SetText("Plain edit");
  flush_events();
  std::unique_ptr<TBitmap> print(CreateBmp24(pc->Width(), pc->Height()));
  FillBmpRect(print.get(), Rect(0, 0, pc->Width(), pc->Height()), TColor(0x123456));
  SendMessageA(pc->Handle(), WM_PRINT, WPARAM(print->Canvas()->Handle()),
               PRF_CLIENT | PRF_NONCLIENT | PRF_CHILDREN | PRF_ERASEBKGND);
  auto printed = [&](TPoint p) { return ColorText(GetPixel(print->Canvas()->Handle(), p.X, p.Y)); };
  for (TPoint p : {TabBody(pc, 1, false), TabBody(pc, 0, true), Point(pc->Width() - 3, pc->Height() / 2),
                   Point(pc->Pages(0)->Left() + 20, pc->Pages(0)->Top() + 20)})
    EXPECT_EQ(At(pc, p), printed(p)) << p.X << "," << p.Y;
  RECT er{};
  GetWindowRect(edit->Handle(), &er);
  const Capture shown = CaptureScreenRect(er);
  MapWindowPoints(nullptr, pc->Handle(), reinterpret_cast<POINT*>(&er), 2);
  int differing = 0;
  for (int y = 0; y < shown.Height(); ++y)
    for (int x = 0; x < shown.Width(); ++x)
      differing += shown.Pixel(x, y) != GetPixel(print->Canvas()->Handle(), er.left + x, er.top + y) ? 1 : 0;
  EXPECT_EQ(0, differing) << "pixels of the edit printed otherwise than shown";
}
