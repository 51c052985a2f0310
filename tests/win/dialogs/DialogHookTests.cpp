// The dialog hook: real message boxes and dialogs of the thread skinned as they open (frame, title
// buttons, region, children's adapters), the frame's hit codes and clicks with real input, and the
// providers freed as the windows close.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "skin/windows/acDials.h"
#include "tests/support/AdapterTestSupport.h"
#include "tests/support/GdiHandles.h"
#include "tests/support/PixelProbe.h"
#include "tests/support/RealInput.h"

using namespace qvtest;

namespace {

int LiveProviders() {
  int n = 0;
  if (DialogProviders)
    for (int i = 0; i < DialogProviders->Count(); ++i) n += DialogProviders->Items(i) != nullptr;
  return n;
}

std::string AdapterName(HWND wnd) {
  TacMainWnd* a = GetWndAdapter(wnd);
  return a ? a->ClassName() : "";
}

TPoint Centre(const TRect& r, HWND wnd) {
  RECT w{};
  GetWindowRect(wnd, &w);
  return TPoint{w.left + (r.Left + r.Right) / 2, w.top + (r.Top + r.Bottom) / 2};
}

// ---- A message box opened by the test, looked at while it shows ----------------------------------------

std::function<void(HWND)> BoxInspector;
HWND BoxSeen = nullptr;

BOOL CALLBACK FindBox(HWND wnd, LPARAM found) {
  char cls[16] = {};
  GetClassNameA(wnd, cls, sizeof cls);
  if (lstrcmpA(cls, "#32770") == 0 && IsWindowVisible(wnd)) {
    *reinterpret_cast<HWND*>(found) = wnd;
    return FALSE;
  }
  return TRUE;
}

void CALLBACK BoxTimer(HWND, UINT, UINT_PTR id, DWORD) {
  HWND box = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), FindBox, LPARAM(&box));
  if (!box) return;
  KillTimer(nullptr, id);
  BoxSeen = box;
  flush_events(60, 1500);
  BoxInspector(box);
}

// Opens a message box; Inspect runs while it shows and must close it.
int RunMessageBox(UINT type, std::function<void(HWND)> inspect) {
  BoxInspector = std::move(inspect);
  BoxSeen = nullptr;
  SetTimer(nullptr, 0, 20, BoxTimer);
  const int answer = MessageBoxA(nullptr, "The session was copied.", "Copy session", type);
  BoxInspector = nullptr;
  return answer;
}

// ---- A dialog made from a template in memory ---------------------------------------------------------

std::vector<UINT> DialogLog;

INT_PTR CALLBACK LoggingDlgProc(HWND wnd, UINT msg, WPARAM, LPARAM) {
  if (msg != WM_SETCURSOR && msg != WM_NCHITTEST && msg != WM_NCMOUSEMOVE && msg != WM_MOUSEMOVE && msg != WM_GETICON &&
      msg != WM_TIMER && msg != WM_NCMOUSELEAVE && msg != WM_MOUSELEAVE)
    DialogLog.push_back(msg);
  if (msg == WM_CLOSE) {
    DestroyWindow(wnd);
    return TRUE;
  }
  return FALSE;
}

HWND MakeDialog(DWORD style, DWORD exStyle = 0, int w = 240, int h = 120) {
  alignas(4) WORD buf[64] = {};
  auto* t = reinterpret_cast<DLGTEMPLATE*>(buf);
  t->style = style & ~WS_VISIBLE;
  t->dwExtendedStyle = exStyle;
  t->cx = short(w);
  t->cy = short(h);
  t->x = 20;
  t->y = 20;
  WORD* p = reinterpret_cast<WORD*>(t + 1);
  *p++ = 0;  // no menu
  *p++ = 0;  // the dialog class
  for (const char* c = "Dialog"; *c; ++c) *p++ = WORD(*c);
  *p++ = 0;
  return CreateDialogIndirectParamA(GetModuleHandleA(nullptr), t, nullptr, LoggingDlgProc, 0);
}

// A message box made by the class library.
class TMessageForm : public TForm {
 public:
  QV_CLASS_NAME(TMessageForm)
  using TForm::TForm;
};

class DialogHook : public AdapterTest {
 protected:
  void SetUp() override {
    AdapterTest::SetUp();
    DialogLog.clear();
    ASSERT_TRUE(Manager->HookInstalled());
  }
  void TearDown() override {
    if (GetAsyncKeyState(VK_CONTROL) & 0x8000) KeyUp(VK_CONTROL);
    if (GetAsyncKeyState(VK_LBUTTON) & 0x8000) LeftButton(false);
    AdapterTest::TearDown();
  }
  TacDialogWnd* DialogAdapter(HWND wnd) { return dynamic_cast<TacDialogWnd*>(GetWndAdapter(wnd)); }
};

// Every kind of message box, opened from a timer: skinned with its property, its window menu
// style taken over by the frame, its corners cut and its children adapted; a real click on the
// close button closes it, unless its window menu's Close is greyed (as Windows greys it for Yes and
// No, and Abort, Retry and Ignore; the test greys it where the system does not): then the close
// button is greyed too and the click does nothing. The provider goes as the box closes.
TEST_F(DialogHook, MessageBoxesOfEveryKindOpenSkinnedAndCloseAsTheSystemsDo) {
  struct {
    const char* What;
    UINT Type;
    int Buttons;
    bool Icon;
    bool GreyClose;
    int Answer;  // with the close button greyed: the button the test presses instead
  } rows[] = {
      {"OK", MB_OK, 1, false, false, 0},
      {"OK, Cancel, information", MB_OKCANCEL | MB_ICONINFORMATION, 2, true, false, 0},
      {"Yes, No, question", MB_YESNO | MB_ICONQUESTION, 2, true, true, IDNO},
      {"Yes, No, Cancel, warning", MB_YESNOCANCEL | MB_ICONWARNING, 3, true, false, 0},
      {"Abort, Retry, Ignore, error", MB_ABORTRETRYIGNORE | MB_ICONERROR, 3, true, true, IDIGNORE},
      {"Retry, Cancel", MB_RETRYCANCEL, 2, false, false, 0},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.What);
    const int answer = RunMessageBox(r.Type, [&](HWND box) {
      TacDialogWnd* a = DialogAdapter(box);
      ASSERT_NE(nullptr, a);
      EXPECT_EQ(a, GetPropA(box, AdapterPropName));
      if (r.GreyClose) EnableMenuItem(GetSystemMenu(box, FALSE), SC_CLOSE, MF_BYCOMMAND | MF_GRAYED);
      EXPECT_EQ(!r.GreyClose, a->CloseEnabled());
      // The frame follows the active state the system gives (a program that is not in front gets
      // an inactive one).
      SendMessageA(box, WM_NCACTIVATE, FALSE, 0);
      EXPECT_FALSE(a->Active);
      SendMessageA(box, WM_NCACTIVATE, TRUE, 0);
      EXPECT_TRUE(a->Active);
      EXPECT_EQ(1, LiveProviders());
      EXPECT_EQ(qv::fkModal, a->FrameKind);
      // The adapter draws the window menu's button: the system's style is gone.
      EXPECT_EQ(0, GetWindowLongPtrA(box, GWL_STYLE) & WS_SYSMENU);
      EXPECT_NE(0u, a->StyleBits & WS_SYSMENU);
      // The skin's transparent corners are cut out of the window's region.
      RECT wr{};
      GetWindowRect(box, &wr);
      const int w = wr.right - wr.left, h = wr.bottom - wr.top;
      OwnedRegion rgn(CreateRectRgn(0, 0, 0, 0));
      ASSERT_NE(ERROR, GetWindowRgn(box, rgn));
      EXPECT_FALSE(PtInRegion(rgn, 0, 0));
      EXPECT_FALSE(PtInRegion(rgn, w - 1, 0));
      EXPECT_FALSE(PtInRegion(rgn, w - 2, 0));
      EXPECT_TRUE(PtInRegion(rgn, w / 2, h / 2));
      EXPECT_TRUE(PtInRegion(rgn, 5, 5));
      // Every child has the adapter of its kind.
      std::map<std::string, int> adapted;
      for (HWND c = GetTopWindow(box); c; c = GetWindow(c, GW_HWNDNEXT)) {
        char cls[32] = {};
        GetClassNameA(c, cls, sizeof cls);
        const LONG_PTR type = GetWindowLongPtrA(c, GWL_STYLE) & SS_TYPEMASK;
        std::string kind = cls;
        if (lstrcmpiA(cls, "Static") == 0) kind += type == SS_ICON ? " icon" : " text";
        adapted[kind + " " + AdapterName(c)] += IsWindowVisible(c) ? 1 : 0;
      }
      EXPECT_EQ(r.Buttons, adapted["Button TacBtnWnd"]);
      if (r.Icon) EXPECT_EQ(1, adapted["Static icon TacIconWnd"]);
      EXPECT_EQ(1, adapted["Static text TacStaticWnd"]);
      // The screen shows the close button, the title section and the dialog's section.
      const Capture shot = SettledScreen(box);
      const TRect& close = a->BtnClose.Rect;
      ASSERT_FALSE(close.IsEmpty());
      if (!r.GreyClose)
        EXPECT_EQ(Frame("GLOBALINFO", "SICONCLOSE", 0), shot.Pixel((close.Left + close.Right) / 2, close.Top + 3))
            << ColorText(shot.Pixel((close.Left + close.Right) / 2, close.Top + 3));
      EXPECT_EQ(Frame("FORMTITLE", "BORDERSMASK", 1), shot.Pixel(w / 2, 3)) << ColorText(shot.Pixel(w / 2, 3));
      EXPECT_EQ(Frame("FORM", "BORDERSMASK", 1), shot.Pixel(1, h / 2)) << ColorText(shot.Pixel(1, h / 2));
      // A real click on the close button.
      const TPoint at = Centre(close, box);
      ClickAt(POINT{at.X, at.Y});
      if (r.GreyClose) {
        flush_events(30, 500);
        EXPECT_TRUE(IsWindow(box));
        PostMessageA(box, WM_COMMAND, WPARAM(r.Answer), 0);
      }
    });
    // Closed by its close button, a box answers Cancel (Windows answers OK for a box of OK alone).
    if (r.GreyClose)
      EXPECT_EQ(r.Answer, answer);
    else
      EXPECT_TRUE(answer == IDCANCEL || (r.Type == MB_OK && answer == IDOK)) << answer;
    flush_events(30, 500);
    EXPECT_FALSE(IsWindow(BoxSeen));
    EXPECT_EQ(0, LiveProviders());
    EXPECT_EQ(0, DialogProviders ? DialogProviders->Count() : 0);
  }
}

TEST_F(DialogHook, FrameHitCodesAndClicksWithRealInput) {
  HWND dlg = Track(MakeDialog(WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX,
                              WS_EX_CONTEXTHELP, 260, 140));
  ASSERT_TRUE(dlg);
  ShowWindow(dlg, SW_SHOW);
  flush_events(60, 1500);
  TacDialogWnd* a = DialogAdapter(dlg);
  ASSERT_NE(nullptr, a);
  EXPECT_EQ(qv::fkSizeable, a->FrameKind);
  RECT wr{};
  GetWindowRect(dlg, &wr);
  const qv::TDialogFrame f = a->Frame();
  const int band = f.BorderY + f.Caption / 2;
  {
    // The title icon shows on the title itself: none of its pixels tinted with the key colour.
    const Capture shot = CaptureScreen(dlg);
    const COLORREF title = shot.Pixel(f.BorderX + GetSystemMetrics(SM_CXSMICON) + 1, band);
    int icon = 0, keyTinted = 0;
    for (int y = f.BorderY; y < f.BorderY + f.Caption; ++y)
      for (int x = f.BorderX; x < f.BorderX + GetSystemMetrics(SM_CXSMICON); ++x) {
        const COLORREF c = shot.Pixel(x, y);
        icon += c != title;
        keyTinted += GetRValue(c) >= 0x80 && GetBValue(c) >= 0x80 && GetGValue(c) <= 0x40 &&
                     std::abs(int(GetRValue(c)) - int(GetBValue(c))) <= 0x20;
      }
    EXPECT_GT(icon, 0) << "an icon shows";
    EXPECT_EQ(0, keyTinted);
  }
  struct {
    const char* Where;
    TPoint At;  // window coordinates
    LRESULT Code;
  } hits[] = {
      {"icon", {f.BorderX + 2, band}, HTSYSMENU},
      {"close", {(a->BtnClose.Rect.Left + a->BtnClose.Rect.Right) / 2, band}, HTCLOSE},
      {"maximize", {(a->BtnMax.Rect.Left + a->BtnMax.Rect.Right) / 2, band}, HTMAXBUTTON},
      {"minimize", {(a->BtnMin.Rect.Left + a->BtnMin.Rect.Right) / 2, band}, HTMINBUTTON},
      {"help", {(a->BtnHelp.Rect.Left + a->BtnHelp.Rect.Right) / 2, band}, HTHELP},
      {"caption", {(wr.right - wr.left) / 3, band}, HTCAPTION},
      {"client", {(wr.right - wr.left) / 2, (wr.bottom - wr.top) / 2}, HTCLIENT},
      {"left border", {1, (wr.bottom - wr.top) / 2}, HTLEFT},
      {"grip", {wr.right - wr.left - f.BorderX - 2, wr.bottom - wr.top - f.BorderY - 2}, HTBOTTOMRIGHT},
  };
  for (const auto& h : hits) {
    SCOPED_TRACE(h.Where);
    EXPECT_EQ(h.Code, SendMessageA(dlg, WM_NCHITTEST, 0, MAKELPARAM(wr.left + h.At.X, wr.top + h.At.Y)));
  }

  // Clicks, one row after the other on the same window: where the button goes down and up, with
  // Ctrl held (its key flag equals a hit code), and what the window is afterwards.
  enum Result { Normal, Zoomed, Closed };
  struct {
    const char* What;
    int Down, Up;
    bool Ctrl;
    Result After;
  } clicks[] = {
      {"minimize released on the caption", HTMINBUTTON, HTCAPTION, false, Normal},
      {"maximize with Ctrl held", HTMAXBUTTON, HTMAXBUTTON, true, Zoomed},
      {"restore", HTMAXBUTTON, HTMAXBUTTON, false, Normal},
      {"close released on maximize", HTCLOSE, HTMAXBUTTON, false, Normal},
      {"close", HTCLOSE, HTCLOSE, false, Closed},
  };
  for (const auto& c : clicks) {
    SCOPED_TRACE(c.What);
    ASSERT_TRUE(IsWindow(dlg));
    GetWindowRect(dlg, &wr);
    auto pointOf = [&](int code) {
      if (code == HTCAPTION) return TPoint{wr.left + (wr.right - wr.left) / 3, wr.top + f.BorderY + f.Caption / 2};
      return Centre(a->ButtonOf(code)->Rect, dlg);
    };
    const TPoint down = pointOf(c.Down), up = pointOf(c.Up);
    DialogLog.clear();
    if (c.Ctrl) KeyDown(VK_CONTROL);
    MouseTo(down.X, down.Y);
    LeftButton(true);
    EXPECT_EQ(2, a->ButtonOf(c.Down)->State);
    MouseTo(up.X, up.Y);
    LeftButton(false);
    if (c.Ctrl) KeyUp(VK_CONTROL);
    flush_events(60, 1000);
    // The title click itself never reaches the dialog: only the command it makes does.
    EXPECT_EQ(0, std::count(DialogLog.begin(), DialogLog.end(), UINT(WM_NCLBUTTONDOWN)));
    EXPECT_EQ(c.After == Closed, !IsWindow(dlg));
    if (c.After != Closed) {
      EXPECT_EQ(c.After == Zoomed, bool(IsZoomed(dlg)));
      EXPECT_FALSE(IsIconic(dlg));
    }
  }
  flush_events(30, 500);
  EXPECT_EQ(0, LiveProviders());
}

int MenuAdaptersMade = 0;

void CALLBACK CloseMenuTimer(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  MenuAdaptersMade += TacMnuArray.Count();
  EndMenu();
}

TEST_F(DialogHook, WindowMenuFromTheCaptionFollowsStyleAndState) {
  // Visible and enabled of Restore, Move, Size, Minimize, Maximize, Close ("v", "e", "-": hidden).
  struct {
    const char* What;
    DWORD Style;
    bool Zoom;
    const char* Items;
  } rows[] = {
      {"modal frame", DS_MODALFRAME | WS_SYSMENU, false, "- ve - - - ve"},
      {"sizeable with boxes", WS_THICKFRAME | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX, false, "v ve ve ve ve ve"},
      {"zoomed", WS_THICKFRAME | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX, true, "ve v ve ve v ve"},
      {"sizeable, no boxes", WS_THICKFRAME | WS_SYSMENU, false, "v ve ve - - ve"},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.What);
    HWND dlg = Track(MakeDialog(WS_POPUP | WS_CAPTION | r.Style));
    ShowWindow(dlg, r.Zoom ? SW_SHOWMAXIMIZED : SW_SHOW);
    flush_events(60, 1000);
    TacDialogWnd* a = DialogAdapter(dlg);
    ASSERT_NE(nullptr, a);
    RECT wr{};
    GetWindowRect(dlg, &wr);
    // A right click on the caption, or Alt+Space, shows the menu (closed again by a timer).
    SetTimer(nullptr, 0, 100, CloseMenuTimer);
    if (r.Zoom)
      SendMessageA(dlg, WM_SYSCOMMAND, SC_KEYMENU, ' ');
    else
      SendMessageA(dlg, WM_NCRBUTTONUP, HTCAPTION, MAKELPARAM(wr.left + 40, wr.top + 10));
    ASSERT_NE(nullptr, a->SystemMenu);
    std::string got;
    for (TMenuItem* item : {a->SystemMenu->ItemRestore, a->SystemMenu->ItemMove, a->SystemMenu->ItemSize,
                            a->SystemMenu->ItemMinimize, a->SystemMenu->ItemMaximize, a->SystemMenu->ItemClose}) {
      if (!got.empty()) got += ' ';
      got += !item->Visible() ? "-" : item->Enabled() ? "ve" : "v";
    }
    EXPECT_EQ(r.Items, got);
    // The menu's window had its adapter while it showed; none is kept once it closed.
    EXPECT_GE(MenuAdaptersMade, 1);
    EXPECT_EQ(0, TacMnuArray.Count());
    // One brush answers every colour question of the dialog.
    const auto brush = SendMessageA(dlg, WM_CTLCOLORDLG, 0, LPARAM(dlg));
    EXPECT_NE(0, brush);
    EXPECT_EQ(brush, SendMessageA(dlg, WM_CTLCOLORDLG, 0, LPARAM(dlg)));
    DestroyWindow(dlg);
  }
}

TEST_F(DialogHook, ChildrenAdaptedByClassTableAndDialogGivenBackOnSkinRemoval) {
  HWND dlg = Track(MakeDialog(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, 0, 300, 200));
  ASSERT_TRUE(dlg);
  struct {
    const char* Class;
    DWORD Style;
    const char* Adapter;
  } rows[] = {
      {"BUTTON", BS_PUSHBUTTON, "TacBtnWnd"},
      {"BUTTON", BS_AUTOCHECKBOX, "TacCheckBoxWnd"},
      {"BUTTON", BS_AUTORADIOBUTTON, "TacCheckBoxWnd"},
      {"BUTTON", BS_GROUPBOX, "TacGroupBoxWnd"},
      {"BUTTON", BS_OWNERDRAW, ""},
      {"BUTTON", BS_DEFCOMMANDLINK, "TacBtnWnd"},
      {"STATIC", SS_LEFT, "TacStaticWnd"},
      {"STATIC", SS_BLACKFRAME, "TacStaticWnd"},
      {"STATIC", SS_OWNERDRAW, ""},
      {"EDIT", WS_BORDER, "TacEditWnd"},
      {"LISTBOX", WS_BORDER, "TacEditWnd"},
      {"COMBOBOX", CBS_DROPDOWNLIST, "TacComboBoxWnd"},
      {"msctls_progress32", 0, ""},
      {"msctls_updown32", 0, "TacSpinWnd"},
      {"SCROLLBAR", SBS_SIZEGRIP, "TacSizerWnd"},
  };
  std::vector<HWND> kids;
  std::vector<qvtest::TWindowState> before;
  int y = 0;
  for (const auto& r : rows) {
    kids.push_back(CreateControl(dlg, r.Class, "Item", r.Style, 4 + (y / 150) * 140, y % 150, 130, 18));
    y += 20;
  }
  qvtest::TWindowState dlgBefore = WindowStateOf(dlg);
  for (HWND k : kids) before.push_back(WindowStateOf(k));
  ShowWindow(dlg, SW_SHOW);
  flush_events(60, 1500);
  ASSERT_NE(nullptr, DialogAdapter(dlg));
  for (std::size_t i = 0; i < kids.size(); ++i) {
    SCOPED_TRACE(std::string(rows[i].Class) + " " + std::to_string(rows[i].Style));
    EXPECT_EQ(rows[i].Adapter, AdapterName(kids[i]));
  }
  // A child made later gets its adapter at the next frame painting.
  HWND late = CreateControl(dlg, "BUTTON", "Late", BS_PUSHBUTTON, 150, 160, 80, 20);
  SendMessageA(dlg, WM_NCPAINT, 1, 0);
  EXPECT_EQ("TacBtnWnd", AdapterName(late));
  DestroyWindow(late);

  // The skin taken away: every window exactly as before, the region gone, no provider left.
  Manager->SetActive(false);
  flush_events(60, 1000);
  EXPECT_EQ(0, LiveProviders());
  // Shown and focused since: what showing did is no change of the skin's.
  dlgBefore.Style |= WS_VISIBLE;
  for (std::size_t i = 0; i < kids.size(); ++i) before[i].Check |= WindowStateOf(kids[i]).Check & BST_FOCUS;
  EXPECT_EQ(Describe(dlgBefore), Describe(WindowStateOf(dlg)));
  OwnedRegion rgn(CreateRectRgn(0, 0, 0, 0));
  EXPECT_EQ(ERROR, GetWindowRgn(dlg, rgn));
  for (std::size_t i = 0; i < kids.size(); ++i) {
    SCOPED_TRACE(rows[i].Class);
    EXPECT_EQ(Describe(before[i]), Describe(WindowStateOf(kids[i])));
  }
}

TEST_F(DialogHook, OpenDialogFollowsASkinSwitch) {
  HWND dlg = Track(MakeDialog(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME));
  ShowWindow(dlg, SW_SHOW);
  flush_events(60, 1000);
  TacDialogWnd* a = DialogAdapter(dlg);
  ASSERT_NE(nullptr, a);
  RECT wr{};
  GetWindowRect(dlg, &wr);
  const int h = wr.bottom - wr.top;
  const int state = a->Active ? 1 : 0;
  EXPECT_EQ(ColorText(Frame("FORM", "BORDERSMASK", state)), ColorText(SettledScreen(dlg).Pixel(1, h / 2)));
  // The same skin with the dialog's border in other colours.
  TSkinBuilder other = Builder;
  other.RemoveMask("FORM", "BORDERSMASK");
  other.Mask("FORM", "BORDERSMASK", 24, 24, 2).Margins[0] = 4;
  const std::vector<std::uint8_t> bytes = other.Packed();
  ASSERT_TRUE(Manager->LoadSkinFromBytes(bytes.data(), bytes.size(), "Other")) << Manager->LastError();
  flush_events(60, 1000);
  EXPECT_EQ(a, DialogAdapter(dlg));
  const COLORREF now = TSkinBuilder::FrameColor(other.MaskOrdinal("FORM", "BORDERSMASK"), a->Active ? 1 : 0);
  EXPECT_EQ(ColorText(now), ColorText(SettledScreen(dlg).Pixel(1, h / 2)));
}

TEST_F(DialogHook, UnskinnableTabDialogSecondDialogAndFreedProviders) {
  // A dialog holding the tab control the skin cannot show is left as it is and keeps no provider.
  HWND tabs = Track(MakeDialog(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, 0, 400, 300));
  HWND tab = CreateControl(tabs, WC_TABCONTROLA, "", 0, 0, 0, 470, 349);
  ShowWindow(tabs, SW_SHOW);
  flush_events(60, 1000);
  EXPECT_EQ("", AdapterName(tabs));
  EXPECT_NE(0, GetWindowLongPtrA(tabs, GWL_STYLE) & WS_SYSMENU);
  EXPECT_EQ(0, LiveProviders());
  DestroyWindow(tab);
  DestroyWindow(tabs);

  // While a skinned dialog shows, a second bare dialog is skinned only when it holds a tool bar.
  HWND first = Track(MakeDialog(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME));
  ShowWindow(first, SW_SHOW);
  flush_events(60, 1000);
  ASSERT_NE(nullptr, DialogAdapter(first));
  HWND plain = Track(MakeDialog(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME));
  ShowWindow(plain, SW_SHOW);
  flush_events(60, 1000);
  EXPECT_EQ(nullptr, DialogAdapter(plain));
  HWND withBar = Track(MakeDialog(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME));
  CreateControl(withBar, TOOLBARCLASSNAMEA, "", 0, 0, 0, 100, 24);
  ShowWindow(withBar, SW_SHOW);
  flush_events(60, 1000);
  EXPECT_NE(nullptr, DialogAdapter(withBar));
  EXPECT_EQ(2, LiveProviders());

  // Closing frees each provider at once and the list keeps no holes; a new window that gets a
  // closed one's handle is not taken for it.
  DestroyWindow(first);
  EXPECT_EQ(1, LiveProviders());
  EXPECT_EQ(1, DialogProviders->Count());
  DestroyWindow(withBar);
  DestroyWindow(plain);
  EXPECT_EQ(0, DialogProviders->Count());
  HWND again = Track(MakeDialog(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME));
  ShowWindow(again, SW_SHOW);
  flush_events(60, 1000);
  EXPECT_NE(nullptr, DialogAdapter(again));
  EXPECT_EQ(1, LiveProviders());
}

TEST_F(DialogHook, FormsWithoutProviderFollowTheSkinningRulesAndTag) {
  struct {
    const char* What;
    bool MessageForm;
    TacSkinningRules Rules;
    std::intptr_t Tag;
    bool Skinned;
  } rows[] = {
      {"form", false, {srStdForms}, 0, true},
      {"form, Tag -98", false, {srStdForms, srStdDialogs}, -98, false},
      {"form, dialogs only", false, {srStdDialogs}, 0, false},
      {"message form", true, {srStdDialogs}, 0, true},
      {"message form, forms only", true, {srStdForms}, 0, false},
      {"message form, Tag -98", true, {srStdDialogs}, -98, true},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.What);
    Manager->SetSkinningRules(r.Rules);
    TForm* form = r.MessageForm ? Create<TMessageForm>(Application) : Create<TForm>(Application);
    form->SetTag(r.Tag);
    form->SetBounds(60, 60, 200, 120);
    form->Show();
    flush_events(60, 1000);
    EXPECT_EQ(r.Skinned ? 1 : 0, LiveProviders());
    // The provider belongs to the form and goes with it.
    form->Free();
    flush_events(30, 500);
    EXPECT_EQ(0, LiveProviders());
  }
}

TEST_F(DialogHook, ManyMessageBoxesWithSkinSwitchesLeaveNothingBehind) {
  // The first box makes the one-time objects (fonts, the icon's bitmap of the system).
  auto clickOK = [](HWND box) {
    RECT r{};
    GetWindowRect(GetDlgItem(box, IDOK), &r);
    ClickAt(POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2});
  };
  RunMessageBox(MB_OK, clickOK);
  const int gdiBefore = GdiHandleCount();
  for (int i = 0; i < 30; ++i) {
    SCOPED_TRACE(i);
    if (i % 10 == 0) {
      Manager->SetActive(false);
      Manager->SetActive(true);
    }
    EXPECT_EQ(IDOK, RunMessageBox(MB_OK, [&](HWND box) {
                EXPECT_NE(nullptr, DialogAdapter(box));
                clickOK(box);
              }));
  }
  flush_events(30, 500);
  EXPECT_EQ(0, DialogProviders ? DialogProviders->Count() : 0);
  EXPECT_LE(GdiHandleCount(), gdiBefore + 2);
}

}  // namespace
