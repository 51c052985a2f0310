// Window controls as windows: form styles from BorderStyle / BorderIcons / FormStyle, colour
// reflection, the control-list notifications, focus broadcasts, mouse enter / leave between
// windows, the parent's background, and what window recreation keeps and frees.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "classlib/Forms.h"
#include "classlib/GdiScopes.h"
#include "tests/support/FormFixture.h"
#include "tests/support/MessageSpy.h"
#include "tests/support/ProcSpy.h"
#include "tests/support/Pump.h"

using namespace qvtest;

// Each test runs on a fresh test form.
class Windows : public FormTest {};

namespace {

using Spy = ProcSpy;

class TBtn : public TWinControl {
 public:
  QV_CLASS_NAME(TBtn)
  explicit TBtn(TComponent* AOwner) : TWinControl(AOwner) {
    ControlStyle_ = TControlStyle{csSetCaption, csDoubleClicks};
    SetBounds(10, 10, 80, 24);
    SetTabStop(true);
  }

 protected:
  void CreateParams(TCreateParams& p) override {
    TWinControl::CreateParams(p);
    CreateSubClass(p, "BUTTON");
  }
};

// A plain window control (the default window procedure).
class TPlain : public TWinControl {
 public:
  QV_CLASS_NAME(TPlain)
  using TWinControl::TWinControl;
};

class TBlock : public TGraphicControl {
 public:
  QV_CLASS_NAME(TBlock)
  explicit TBlock(TComponent* AOwner) : TGraphicControl(AOwner) { ControlStyle_.Include(csOpaque); }
  TColor Fill = clLime;

 protected:
  void Paint() override {
    Canvas()->Brush()->SetColor(Fill);
    Canvas()->FillRect(Rect(0, 0, Width(), Height()));
  }
};

// Paints its left half red and its right half blue.
class THalves : public TCustomControl {
 public:
  QV_CLASS_NAME(THalves)
  explicit THalves(TComponent* AOwner) : TCustomControl(AOwner) { ControlStyle_.Include(csAcceptsControls); }

 protected:
  void Paint() override {
    Canvas()->Brush()->SetColor(clRed);
    Canvas()->FillRect(Rect(0, 0, Width() / 2, Height()));
    Canvas()->Brush()->SetColor(clBlue);
    Canvas()->FillRect(Rect(Width() / 2, 0, Width(), Height()));
  }
};

// Paints the control into a memory bitmap and reads pixels of it.
struct Snapshot {
  GdiObject<HBITMAP> Bmp;
  MemoryDC Mem;
  explicit Snapshot(TWinControl* c)
      : Bmp(CreateCompatibleBitmap(ScreenDC(), c->Width(), c->Height())), Mem(nullptr, Bmp) {
    RECT r{0, 0, c->Width(), c->Height()};
    FillRect(Mem, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    c->PaintTo(Mem, 0, 0);
  }
  COLORREF At(int x, int y) const { return GetPixel(Mem, x, y); }
};

}  // namespace

// ---- form styles -------------------------------------------------------------------------------

namespace {
struct StyleCase {
  const char* Name;
  TFormBorderStyle Border;
  TBorderIcons Icons;
  TFormStyle Style;
  DWORD Has, HasNot;      // window style bits present / absent
  DWORD ExHas, ExHasNot;  // extended style bits present / absent
};

const TBorderIcons kAllIcons{biSystemMenu, biMinimize, biMaximize};

const StyleCase kStyleCases[] = {
    {"bsNone", bsNone, kAllIcons, fsNormal, WS_POPUP, WS_CAPTION | WS_THICKFRAME | WS_SYSMENU, 0, WS_EX_TOOLWINDOW},
    {"bsSingle", bsSingle, kAllIcons, fsNormal, WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX,
     WS_THICKFRAME | WS_POPUP, 0, WS_EX_TOOLWINDOW | WS_EX_DLGMODALFRAME},
    {"bsSizeable", bsSizeable, kAllIcons, fsNormal,
     WS_CAPTION | WS_THICKFRAME | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX, WS_POPUP, 0, WS_EX_TOOLWINDOW},
    {"bsDialog", bsDialog, kAllIcons, fsNormal, WS_CAPTION | WS_SYSMENU,
     WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX, WS_EX_DLGMODALFRAME, WS_EX_TOOLWINDOW},
    {"bsToolWindow", bsToolWindow, kAllIcons, fsNormal, WS_CAPTION | WS_SYSMENU,
     WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX, WS_EX_TOOLWINDOW, 0},
    {"bsSizeToolWin", bsSizeToolWin, kAllIcons, fsNormal, WS_CAPTION | WS_THICKFRAME | WS_SYSMENU,
     WS_MINIMIZEBOX | WS_MAXIMIZEBOX, WS_EX_TOOLWINDOW, 0},
    {"no system menu: no boxes", bsSizeable, TBorderIcons{biMinimize, biMaximize}, fsNormal, WS_CAPTION,
     WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX, 0, 0},
    {"minimize box only", bsSingle, TBorderIcons{biSystemMenu, biMinimize}, fsNormal, WS_MINIMIZEBOX, WS_MAXIMIZEBOX, 0,
     WS_EX_CONTEXTHELP},
    {"help button on a dialog", bsDialog, TBorderIcons{biSystemMenu, biHelp}, fsNormal, WS_SYSMENU, 0,
     WS_EX_CONTEXTHELP, 0},
    {"help button hidden by minimize and maximize boxes", bsSizeable,
     TBorderIcons{biSystemMenu, biMinimize, biMaximize, biHelp}, fsNormal, WS_SYSMENU, 0, 0, WS_EX_CONTEXTHELP},
    {"stay on top", bsSizeable, kAllIcons, fsStayOnTop, WS_CAPTION, 0, WS_EX_TOPMOST, 0},
};
}  // namespace

TEST_F(Windows, StylesFollowBorderStyleIconsAndFormStyle) {
  for (const StyleCase& c : kStyleCases) {
    auto* f = Create<TForm>(Application);
    f->SetBorderStyle(c.Border);
    f->SetBorderIcons(c.Icons);
    f->SetFormStyle(c.Style);
    HWND h = f->Handle();
    DWORD style = static_cast<DWORD>(GetWindowLongPtrA(h, GWL_STYLE));
    DWORD ex = static_cast<DWORD>(GetWindowLongPtrA(h, GWL_EXSTYLE));
    EXPECT_EQ(c.Has, style & c.Has) << c.Name;
    EXPECT_EQ(0u, style & c.HasNot) << c.Name;
    EXPECT_EQ(c.ExHas, ex & c.ExHas) << c.Name;
    EXPECT_EQ(0u, ex & c.ExHasNot) << c.Name;
    EXPECT_EQ(0u, style & WS_CHILD) << c.Name;
    EXPECT_EQ(Application->Handle(), GetWindow(h, GW_OWNER)) << c.Name;
    f->Free();
  }
}

TEST_F(Windows, ChangingTheBorderStyleRecreatesTheWindowKeepingItsState) {
  auto* b = Create<TBtn>(Form);
  b->SetParent(Form);
  b->SetCaption("child");
  HWND old = Form->Handle();
  TRect bounds = Form->BoundsRect();
  Form->SetBorderStyle(bsToolWindow);
  flush_events();
  EXPECT_NE(old, Form->Handle());
  EXPECT_FALSE(IsWindow(old));
  EXPECT_TRUE(GetWindowLongPtrA(Form->Handle(), GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
  EXPECT_TRUE(IsWindowVisible(Form->Handle()));
  EXPECT_EQ("Test form", Form->Caption());
  EXPECT_EQ(bounds.TopLeft(), Form->BoundsRect().TopLeft());
  EXPECT_EQ("child", b->Caption());
  EXPECT_EQ(Form->Handle(), GetParent(b->Handle()));
}

// ---- recreation keeps state and frees what it made ---------------------------------------------

TEST_F(Windows, RecreateWndKeepsStateAndLeavesNoHandles) {
  auto* disabled = Create<TBtn>(Form);
  disabled->SetParent(Form);
  disabled->SetEnabled(false);
  auto* hidden = Create<TBtn>(Form);
  hidden->SetBounds(10, 50, 80, 24);
  hidden->SetParent(Form);
  hidden->SetVisible(false);
  auto* focused = Create<TBtn>(Form);
  focused->SetBounds(10, 90, 80, 24);
  focused->SetParent(Form);
  Form->SetFocus();
  focused->SetFocus();
  flush_events();
  ASSERT_TRUE(focused->Focused());
  TGdiCounts before = GdiLiveCounts();
  for (int i = 0; i < 3; ++i) {
    Form->RecreateWnd();
    flush_events();
  }
  EXPECT_FALSE(IsWindowEnabled(disabled->Handle()));
  EXPECT_FALSE(hidden->Showing());
  EXPECT_FALSE(hidden->HandleAllocated() && IsWindowVisible(hidden->Handle()));
  EXPECT_TRUE(focused->Focused());
  EXPECT_EQ(focused, Form->ActiveControl());
  TGdiCounts after = GdiLiveCounts();
  EXPECT_EQ(before.Objects, after.Objects);
  EXPECT_EQ(before.MemoryDCs, after.MemoryDCs);
}

// ---- reflection of colours ---------------------------------------------------------------------

TEST_F(Windows, ControlColorMessagesReflectToTheChildsColours) {
  auto* b = Create<TBtn>(Form);
  b->SetParent(Form);
  b->SetColor(clRed);
  b->Font()->SetColor(clBlue);
  ClientDC dc(b->Handle());
  LRESULT brush = SendMessageA(Form->Handle(), WM_CTLCOLORBTN, reinterpret_cast<WPARAM>(dc.Get()),
                               reinterpret_cast<LPARAM>(b->Handle()));
  EXPECT_EQ(reinterpret_cast<LRESULT>(b->Brush()->Handle()), brush);
  EXPECT_EQ(RGB(0, 0, 255), GetTextColor(dc));
  EXPECT_EQ(RGB(255, 0, 0), GetBkColor(dc));
  // A window the library does not know gets the default answer.
  HWND raw = CreateWindowExA(0, "STATIC", "", WS_CHILD, 0, 0, 10, 10, Form->Handle(), nullptr,
                             GetModuleHandleA(nullptr), nullptr);
  LRESULT other = SendMessageA(Form->Handle(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc.Get()),
                               reinterpret_cast<LPARAM>(raw));
  EXPECT_NE(0, other);
  EXPECT_NE(brush, other);
  DestroyWindow(raw);
}

// ---- control list and focus notifications ------------------------------------------------------

TEST_F(Windows, ControlListChangesAreAnnouncedAroundTheChange) {
  auto* b = Create<TBtn>(Form);
  Spy spy;
  spy.Only = {CM_CONTROLLISTCHANGE, CM_CONTROLCHANGE};
  spy.Attach(Form);
  b->SetParent(Form);
  b->SetParent(nullptr);
  spy.Detach();
  const WPARAM w = reinterpret_cast<WPARAM>(b);
  EXPECT_EQ("", CheckSequence(spy.Seen, {{CM_CONTROLLISTCHANGE, msgWParam | msgLParam, w, 1},
                                         {CM_CONTROLCHANGE, msgWParam | msgLParam, w, 1},
                                         {CM_CONTROLCHANGE, msgWParam | msgLParam, w, 0},
                                         {CM_CONTROLLISTCHANGE, msgWParam | msgLParam, w, 0}}));
  EXPECT_FALSE(b->HandleAllocated());
  b->Free();
}

TEST_F(Windows, FocusChangesAreBroadcastToEveryControl) {
  auto* a = Create<TBtn>(Form);
  a->SetParent(Form);
  auto* b = Create<TBtn>(Form);
  b->SetBounds(10, 50, 80, 24);
  b->SetParent(Form);
  auto* g = Create<TBlock>(Form);
  g->SetBounds(120, 10, 20, 20);
  g->SetParent(Form);
  Form->SetFocus();
  flush_events();
  Spy sb, sg;
  sb.Only = sg.Only = {CM_FOCUSCHANGED};
  sb.Attach(b);
  sg.Attach(g);
  a->SetFocus();
  flush_events();
  sb.Detach();
  sg.Detach();
  const LPARAM l = reinterpret_cast<LPARAM>(a);
  EXPECT_EQ("", CheckSequence(sb.Seen, {{CM_FOCUSCHANGED, msgLParam, 0, l}}));
  EXPECT_EQ("", CheckSequence(sg.Seen, {{CM_FOCUSCHANGED, msgLParam, 0, l}}));
  EXPECT_EQ(a, Screen->ActiveControl());
}

// ---- mouse enter and leave between windows -----------------------------------------------------

TEST_F(Windows, MouseEnterAndLeaveBetweenTheFormAndAWindowChild) {
  auto* b = Create<TBtn>(Form);
  b->SetBounds(100, 100, 80, 30);
  b->SetParent(Form);
  Spy sf, sb;
  sf.Only = sb.Only = {CM_MOUSEENTER, CM_MOUSELEAVE};
  sf.Attach(Form);
  sb.Attach(b);
  SendMessageA(Form->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
  SendMessageA(b->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));  // into the child window
  SendMessageA(Form->Handle(), WM_MOUSELEAVE, 0, 0);             // the form's own leave comes late
  SendMessageA(b->Handle(), WM_MOUSELEAVE, 0, 0);                // out of everything
  sf.Detach();
  sb.Detach();
  const LPARAM fl = reinterpret_cast<LPARAM>(Form), bl = reinterpret_cast<LPARAM>(b);
  EXPECT_EQ("", CheckSequence(sb.Seen, {{CM_MOUSEENTER, msgLParam, 0, bl}, {CM_MOUSELEAVE, msgLParam, 0, bl}}));
  EXPECT_EQ("", CheckSequence(sf.Seen, {{CM_MOUSEENTER, msgLParam, 0, fl},
                                        {CM_MOUSELEAVE, msgLParam, 0, fl},
                                        {CM_MOUSEENTER, msgLParam, 0, bl},
                                        {CM_MOUSELEAVE, msgLParam, 0, bl}}));
  EXPECT_EQ(nullptr, MouseControl());
}

// ---- the parent's background -------------------------------------------------------------------

TEST_F(Windows, ParentBackgroundShowsTheParentsPictureAndGraphicChildren) {
  auto* host = Create<THalves>(Form);
  host->SetBounds(10, 10, 200, 100);
  host->SetParent(Form);
  auto* block = Create<TBlock>(Form);
  block->SetBounds(60, 25, 20, 20);
  block->SetParent(host);
  auto* child = Create<TPlain>(Form);
  child->SetBounds(50, 20, 100, 40);
  child->SetParent(host);
  child->SetParentBackground(true);
  flush_events();
  Snapshot s(child);
  EXPECT_EQ(RGB(255, 0, 0), s.At(5, 5));    // host (55, 25): left half
  EXPECT_EQ(RGB(0, 0, 255), s.At(60, 5));   // host (110, 25): right half
  EXPECT_EQ(RGB(0, 255, 0), s.At(15, 10));  // host (65, 30): the graphic child
  // Without it the child erases with its own colour.
  child->SetParentBackground(false);
  child->SetColor(clYellow);
  Snapshot own(child);
  EXPECT_EQ(RGB(255, 255, 0), own.At(5, 5));
}

// ---- z-order of recreated windows --------------------------------------------------------------

namespace {
// The library's children of a window, top of the z-order first.
std::vector<TWinControl*> WindowOrder(HWND parent) {
  std::vector<TWinControl*> order;
  for (HWND w = GetWindow(parent, GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT))
    if (TWinControl* c = FindControl(w)) order.push_back(c);
  return order;
}
}  // namespace

TEST_F(Windows, RecreatedWindowKeepsItsPlaceAmongItsSiblings) {
  std::vector<TWinControl*> kids;
  for (int i = 0; i < 4; ++i) {
    auto* c = Create<TBtn>(Form);
    c->SetBounds(10 + 20 * i, 10 + 20 * i, 80, 24);
    c->SetParent(Form);
    kids.push_back(c);
  }
  // Controls are listed bottom first; windows are walked top first.
  const std::vector<TWinControl*> expected = {kids[3], kids[2], kids[1], kids[0]};
  ASSERT_EQ(expected, WindowOrder(Form->Handle()));
  for (int i : {1, 2, 0, 3}) {
    kids[i]->RecreateWnd();
    EXPECT_EQ(expected, WindowOrder(Form->Handle())) << "after recreating child " << i;
  }
  // Bringing one to the front moves it in both orders.
  kids[1]->BringToFront();
  EXPECT_EQ((std::vector<TWinControl*>{kids[1], kids[3], kids[2], kids[0]}), WindowOrder(Form->Handle()));
  EXPECT_EQ(kids[1], Form->Controls(Form->ControlCount() - 1));
  kids[2]->RecreateWnd();
  EXPECT_EQ((std::vector<TWinControl*>{kids[1], kids[3], kids[2], kids[0]}), WindowOrder(Form->Handle()));
}

// ---- invalidating graphic children -------------------------------------------------------------

TEST_F(Windows, GraphicChildInvalidatesItsRectangleErasingUnlessOpaque) {
  auto* opaque = Create<TBlock>(Form);
  opaque->SetBounds(20, 20, 30, 30);
  opaque->SetParent(Form);
  auto* clear = Create<TBlock>(Form);
  clear->SetBounds(100, 20, 30, 30);
  clear->SetControlStyle(clear->ControlStyle() - TControlStyle{csOpaque});
  clear->SetParent(Form);
  flush_events();
  UpdateWindow(Form->Handle());
  Spy spy;
  spy.Only = {WM_ERASEBKGND, WM_PAINT};
  spy.Attach(Form);
  struct Case {
    TControl* Control;
    bool Erases;
  };
  for (const Case& c : {Case{opaque, false}, Case{clear, true}}) {
    spy.Seen.clear();
    c.Control->Invalidate();
    RECT r;
    ASSERT_TRUE(GetUpdateRect(Form->Handle(), &r, FALSE));
    EXPECT_EQ(c.Control->BoundsRect(), FromRECT(r));  // only its own rectangle
    UpdateWindow(Form->Handle());
    EXPECT_EQ(c.Erases ? 1 : 0, static_cast<int>(std::count_if(spy.Seen.begin(), spy.Seen.end(), [](const MsgEntry& e) {
                return e.Msg == WM_ERASEBKGND;
              })));
  }
  spy.Detach();
}

// ---- cursors -----------------------------------------------------------------------------------

TEST_F(Windows, ScreenCursorOverridesTheControlsUntilDefaultAgain) {
  auto* g = Create<TBlock>(Form);
  g->SetBounds(40, 40, 50, 50);
  g->SetParent(Form);
  g->SetCursor(crHandPoint);
  SetCursorPos(g->ClientToScreen(Point(10, 10)).X, g->ClientToScreen(Point(10, 10)).Y);
  flush_events();
  HWND h = Form->Handle();
  SendMessageA(h, WM_SETCURSOR, reinterpret_cast<WPARAM>(h), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  EXPECT_EQ(LoadCursorA(nullptr, IDC_HAND), GetCursor());  // the graphic child's cursor
  Screen->SetCursor(crHourGlass);
  EXPECT_EQ(LoadCursorA(nullptr, IDC_WAIT), GetCursor());
  SendMessageA(h, WM_SETCURSOR, reinterpret_cast<WPARAM>(h), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  EXPECT_EQ(LoadCursorA(nullptr, IDC_WAIT), GetCursor());  // the screen's wins meanwhile
  Screen->SetCursor(crDefault);
  EXPECT_EQ(LoadCursorA(nullptr, IDC_HAND), GetCursor());  // the control's again at once
}

// ---- window creation nested by a hook ----------------------------------------------------------

namespace {
// Counts the creation messages that reach its window procedure.
class TCreationWatch : public TBtn {
 public:
  QV_CLASS_NAME(TBtn)
  using TBtn::TBtn;
  int Creates = 0;
  void WndProc(TMessage& m) override {
    if (m.Msg == WM_NCCREATE || m.Msg == WM_CREATE) ++Creates;
    TBtn::WndProc(m);
  }
};

HHOOK gNestHook = nullptr;
TForm* gNested = nullptr;
bool gNestedDone = false;
LRESULT CALLBACK NestingCbt(int code, WPARAM wp, LPARAM lp) {
  if (code == HCBT_CREATEWND && !gNestedDone) {
    char cls[32] = {};
    GetClassNameA(reinterpret_cast<HWND>(wp), cls, sizeof cls);
    if (std::string(cls) == "TBtn") {
      // Before the button's window has had any message, another control makes its window.
      gNestedDone = true;
      try {
        gNested = Create<TForm>(Application);
        gNested->HandleNeeded();
      } catch (...) {
      }
    }
  }
  return CallNextHookEx(gNestHook, code, wp, lp);
}
}  // namespace

TEST_F(Windows, WindowsMadeWhileAnotherIsBeingCreatedBindToTheirOwnControls) {
  auto* b = Create<TCreationWatch>(Form);
  gNestedDone = false;
  gNested = nullptr;
  gNestHook = SetWindowsHookExA(WH_CBT, NestingCbt, nullptr, GetCurrentThreadId());
  ASSERT_NE(nullptr, gNestHook);
  b->SetParent(Form);  // makes the button's window
  UnhookWindowsHookEx(gNestHook);
  ASSERT_TRUE(gNestedDone);
  ASSERT_NE(nullptr, gNested);
  ASSERT_TRUE(gNested->HandleAllocated());
  EXPECT_EQ(gNested, FindControl(gNested->Handle()));
  ASSERT_TRUE(b->HandleAllocated());
  EXPECT_EQ(b, FindControl(b->Handle()));
  EXPECT_EQ(2, b->Creates);  // the button's own creation messages reached it
  // Both windows answer through their own controls.
  b->SetCaption("button");
  gNested->SetCaption("nested");
  char text[16] = {};
  GetWindowTextA(b->Handle(), text, sizeof text);
  EXPECT_STREQ("button", text);
  GetWindowTextA(gNested->Handle(), text, sizeof text);
  EXPECT_STREQ("nested", text);
  gNested->Free();
}
