// Window-system conformance of the class library's controls and forms: message sequences seen
// by a spy on WindowProc, reflection, painting of graphic children, window recreation, freeing
// from handlers, and exceptions at the window procedure boundary.
#include <gtest/gtest.h>

#include <memory>

#include "classlib/ExtCtrls.h"
#include "classlib/Forms.h"
#include "classlib/GdiScopes.h"
#include "tests/support/FormFixture.h"
#include "tests/support/MessageSpy.h"
#include "tests/support/Pump.h"

using namespace qvtest;

// Each test runs on a fresh test form.
class Controls : public FormTest {};

namespace {

// Records every message reaching WindowProc of a control, then passes it on.
struct WindowProcSpy {
  TControl* Control = nullptr;
  TWndMethod Old;
  MessageSpy Spy;
  std::vector<UINT> Only;  // empty: record all

  void Attach(TControl* c) {
    Control = c;
    Old = c->WindowProc;
    c->WindowProc = MakeMethod<&WindowProcSpy::Proc>(this);
  }
  void Detach() {
    if (Control) Control->WindowProc = Old;
    Control = nullptr;
  }
  void Proc(TMessage& m) {
    if (Only.empty() || std::find(Only.begin(), Only.end(), m.Msg) != Only.end())
      Spy.Record(nullptr, m.Msg, m.WParam, m.LParam);
    Old(m);
  }
};

// A window control on the system's button class.
class TTestButton : public TWinControl {
 public:
  QV_CLASS_NAME(TTestButton)
  explicit TTestButton(TComponent* AOwner) : TWinControl(AOwner) {
    // Clicks come from the button's BN_CLICKED, not from the mouse-up logic of the base.
    ControlStyle_ = TControlStyle{csSetCaption, csDoubleClicks};
    SetBounds(10, 10, 80, 24);
    SetTabStop(true);
  }
  std::function<void()> OnCommand;
  void Dispatch(TMessage& m) override {
    if (m.Msg == CN_COMMAND && HIWORD(m.WParam) == BN_CLICKED) {
      Click();
      return;
    }
    TWinControl::Dispatch(m);
  }

 protected:
  void CreateParams(TCreateParams& p) override {
    TWinControl::CreateParams(p);
    CreateSubClass(p, "BUTTON");
    p.Style |= BS_PUSHBUTTON;
  }
};

// A graphic control painting one solid colour.
class TSolid : public TGraphicControl {
 public:
  QV_CLASS_NAME(TSolid)
  explicit TSolid(TComponent* AOwner) : TGraphicControl(AOwner) { ControlStyle_.Include(csOpaque); }
  COLORREF Fill = RGB(255, 0, 0);
  int Paints = 0;

 protected:
  void Paint() override {
    ++Paints;
    Canvas()->Brush()->SetColor(static_cast<TColor>(Fill));
    Canvas()->FillRect(Rect(0, 0, Width(), Height()));
  }
};

struct EventLog {
  std::vector<std::string> Items;
  void Click(TObject*) { Items.push_back("click"); }
};

COLORREF PixelAfterPaint(TWinControl* c, int x, int y) {
  GdiObject<HBITMAP> bmp(CreateCompatibleBitmap(ScreenDC(), c->Width(), c->Height()));
  MemoryDC mem(nullptr, bmp);
  c->PaintTo(mem, 0, 0);
  return GetPixel(mem, x, y);
}

}  // namespace

// ---- messages through Perform and SendMessage -----------------------------------------------

TEST_F(Controls, SetTextSendsSetTextThenTextChanged) {
  auto* b = Create<TTestButton>(Form);
  b->SetParent(Form);
  WindowProcSpy spy;
  spy.Only = {WM_SETTEXT, CM_TEXTCHANGED};
  spy.Attach(b);
  b->SetCaption("Hello");
  b->SetCaption("Hello");  // unchanged: nothing
  spy.Detach();
  EXPECT_EQ("", CheckSequence(spy.Spy.Entries(), {{WM_SETTEXT, 0}, {CM_TEXTCHANGED, 0}}));
  char buf[32] = {};
  GetWindowTextA(b->Handle(), buf, sizeof buf);
  EXPECT_STREQ("Hello", buf);
}

TEST_F(Controls, ColorAndFontChangesReachChildrenInOrder) {
  auto* b = Create<TTestButton>(Form);
  b->SetParent(Form);
  auto* g = Create<TSolid>(Form);
  g->SetParent(Form);
  WindowProcSpy sb, sg;
  sb.Only = sg.Only = {CM_PARENTCOLORCHANGED, CM_COLORCHANGED, CM_PARENTFONTCHANGED, CM_FONTCHANGED};
  sb.Attach(b);
  sg.Attach(g);
  Form->SetColor(clRed);
  Form->Font()->SetSize(14);
  sb.Detach();
  sg.Detach();
  const std::vector<MsgEntry> expected = {
      {CM_PARENTCOLORCHANGED, 0}, {CM_COLORCHANGED, 0}, {CM_PARENTFONTCHANGED, 0}, {CM_FONTCHANGED, 0}};
  EXPECT_EQ("", CheckSequence(sb.Spy.Entries(), expected));
  EXPECT_EQ("", CheckSequence(sg.Spy.Entries(), expected));
  EXPECT_EQ(clRed, g->Color());
  EXPECT_TRUE(g->ParentColor());
  EXPECT_EQ(14, b->Font()->Size());
  // A child with its own colour keeps it.
  g->SetColor(clBlue);
  Form->SetColor(clGreen);
  EXPECT_EQ(clBlue, g->Color());
}

TEST_F(Controls, PerformAndSendMessageGiveTheSameResult) {
  auto* b = Create<TTestButton>(Form);
  b->SetParent(Form);
  b->SetCaption("abc");
  EXPECT_EQ(3, b->Perform(WM_GETTEXTLENGTH));
  EXPECT_EQ(3, SendMessageA(b->Handle(), WM_GETTEXTLENGTH, 0, 0));
  EXPECT_EQ(HTCLIENT, Form->Perform(CM_HITTEST));
  // A control without a window keeps its text itself.
  auto* g = Create<TSolid>(Form);
  g->SetCaption("graphic");
  EXPECT_EQ("graphic", g->Caption());
  EXPECT_EQ(7, g->Perform(WM_GETTEXTLENGTH));
}

TEST_F(Controls, ShowingChangesInParentBeforeChildOrder) {
  auto* panel = Create<TTestButton>(Form);  // any window child
  WindowProcSpy spy;
  spy.Only = {CM_SHOWINGCHANGED, CM_VISIBLECHANGED};
  spy.Attach(panel);
  panel->SetParent(Form);
  EXPECT_TRUE(panel->Showing());
  panel->SetVisible(false);
  EXPECT_FALSE(panel->Showing());
  EXPECT_FALSE(IsWindowVisible(panel->Handle()));
  spy.Detach();
  EXPECT_EQ("", CheckSequence(spy.Spy.Entries(),
                              {{CM_SHOWINGCHANGED, 0}, {CM_VISIBLECHANGED, msgWParam, 0}, {CM_SHOWINGCHANGED, 0}}));
}

// ---- mouse enter and leave -------------------------------------------------------------------

TEST_F(Controls, MouseEnterAndLeaveForGraphicChildAndWindow) {
  auto* g = Create<TSolid>(Form);
  g->SetBounds(50, 50, 40, 40);
  g->SetParent(Form);
  WindowProcSpy sg, sf;
  sg.Only = sf.Only = {CM_MOUSEENTER, CM_MOUSELEAVE};
  sg.Attach(g);
  sf.Attach(Form);
  HWND h = Form->Handle();
  SendMessageA(h, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));    // onto the form
  SendMessageA(h, WM_MOUSEMOVE, 0, MAKELPARAM(60, 60));  // onto the graphic child
  SendMessageA(h, WM_MOUSEMOVE, 0, MAKELPARAM(61, 61));  // still there: nothing
  SendMessageA(h, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));    // back onto the form
  SendMessageA(h, WM_MOUSEMOVE, 0, MAKELPARAM(60, 60));  // the child again
  SendMessageA(h, WM_MOUSELEAVE, 0, 0);                  // out of the whole window
  sg.Detach();
  sf.Detach();
  const LPARAM gl = reinterpret_cast<LPARAM>(g), fl = reinterpret_cast<LPARAM>(Form);
  EXPECT_EQ("", CheckSequence(sg.Spy.Entries(), {{CM_MOUSEENTER, msgLParam, 0, gl},
                                                 {CM_MOUSELEAVE, msgLParam, 0, gl},
                                                 {CM_MOUSEENTER, msgLParam, 0, gl},
                                                 {CM_MOUSELEAVE, msgLParam, 0, gl}}));
  // The form hears of its own entering and leaving and of its child's (LParam the control).
  EXPECT_EQ("", CheckSequence(sf.Spy.Entries(), {{CM_MOUSEENTER, msgLParam, 0, fl},
                                                 {CM_MOUSELEAVE, msgLParam, 0, fl},
                                                 {CM_MOUSEENTER, msgLParam, 0, gl},
                                                 {CM_MOUSELEAVE, msgLParam, 0, gl},
                                                 {CM_MOUSEENTER, msgLParam, 0, fl},
                                                 {CM_MOUSELEAVE, msgLParam, 0, fl},
                                                 {CM_MOUSEENTER, msgLParam, 0, gl},
                                                 {CM_MOUSELEAVE, msgLParam, 0, gl}}));
  EXPECT_EQ(nullptr, MouseControl());
}

TEST_F(Controls, MouseMessagesRouteToGraphicChildWithCapture) {
  auto* g = Create<TSolid>(Form);
  g->SetBounds(50, 50, 40, 40);
  g->SetParent(Form);
  EventLog log;
  g->OnClick = MakeMethod<&EventLog::Click>(&log);
  HWND h = Form->Handle();
  SendMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(55, 55));
  EXPECT_EQ(g, GetCaptureControl());
  SendMessageA(h, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(200, 200));  // captured: still the child's
  SendMessageA(h, WM_LBUTTONUP, 0, MAKELPARAM(60, 60));
  EXPECT_EQ(nullptr, GetCaptureControl());
  ASSERT_EQ(1u, log.Items.size());
  // Released outside the child: no click.
  SendMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(55, 55));
  SendMessageA(h, WM_LBUTTONUP, 0, MAKELPARAM(150, 150));
  EXPECT_EQ(1u, log.Items.size());
}

// ---- painting --------------------------------------------------------------------------------

TEST_F(Controls, GraphicChildrenPaintInZOrderClipped) {
  auto* a = Create<TSolid>(Form);
  a->SetBounds(10, 10, 60, 60);
  a->Fill = RGB(255, 0, 0);
  a->SetParent(Form);
  auto* b = Create<TSolid>(Form);
  b->SetBounds(40, 40, 60, 60);
  b->Fill = RGB(0, 0, 255);
  b->SetParent(Form);
  Form->SetColor(static_cast<TColor>(RGB(0, 255, 0)));
  EXPECT_EQ(RGB(255, 0, 0), PixelAfterPaint(Form, 15, 15));
  EXPECT_EQ(RGB(0, 0, 255), PixelAfterPaint(Form, 50, 50));    // b lies above a
  EXPECT_EQ(RGB(0, 255, 0), PixelAfterPaint(Form, 105, 105));  // clipped: nothing beyond b
  a->BringToFront();
  EXPECT_EQ(RGB(255, 0, 0), PixelAfterPaint(Form, 50, 50));
  EXPECT_EQ(a, Form->Controls(1));
}

TEST_F(Controls, OpaqueGraphicRepaintPaintsAtOnce) {
  auto* a = Create<TSolid>(Form);
  a->SetBounds(10, 10, 30, 30);
  a->SetParent(Form);
  flush_events();
  int before = a->Paints;
  a->Repaint();
  EXPECT_EQ(before + 1, a->Paints);
}

// ---- reflection ------------------------------------------------------------------------------

TEST_F(Controls, CommandAndDrawItemReflectToChild) {
  auto* b = Create<TTestButton>(Form);
  b->SetParent(Form);
  WindowProcSpy spy;
  spy.Only = {CN_COMMAND, CN_DRAWITEM};
  spy.Attach(b);
  SendMessageA(b->Handle(), BM_CLICK, 0, 0);
  DRAWITEMSTRUCT dis{};
  dis.CtlType = ODT_BUTTON;
  dis.hwndItem = b->Handle();
  SendMessageA(Form->Handle(), WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&dis));
  spy.Detach();
  EXPECT_EQ(
      "", CheckSequence(spy.Spy.Entries(), {{CN_COMMAND, msgWParam, MAKEWPARAM(GetDlgCtrlID(b->Handle()), BN_CLICKED)},
                                            {CN_DRAWITEM, 0}}));
}

// ---- recreation ------------------------------------------------------------------------------

TEST_F(Controls, RecreateWndKeepsTextBoundsAndChildren) {
  auto* host = Create<TTestButton>(Form);
  host->SetParent(Form);
  host->SetCaption("kept");
  host->SetBounds(20, 30, 90, 28);
  auto* g = Create<TSolid>(Form);
  g->SetParent(Form);
  HWND oldForm = Form->Handle();
  HWND oldChild = host->Handle();
  Form->SetCaption("Form text");
  Form->RecreateWnd();
  flush_events();
  EXPECT_NE(oldForm, Form->Handle());
  EXPECT_FALSE(IsWindow(oldChild));
  ASSERT_TRUE(host->HandleAllocated());
  EXPECT_EQ(Form->Handle(), GetParent(host->Handle()));
  EXPECT_EQ("kept", host->Caption());
  EXPECT_EQ("Form text", Form->Caption());
  EXPECT_EQ(Bounds(20, 30, 90, 28), host->BoundsRect());
  RECT r;
  GetWindowRect(host->Handle(), &r);
  MapWindowPoints(nullptr, Form->Handle(), reinterpret_cast<POINT*>(&r), 2);
  EXPECT_EQ(20, r.left);
  EXPECT_EQ(30, r.top);
  EXPECT_EQ(2, Form->ControlCount());
  EXPECT_EQ(Form, FindControl(Form->Handle()));
}

namespace {
WNDPROC gForeignOld = nullptr;
int gForeignCalls = 0;
LRESULT CALLBACK ForeignProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
  ++gForeignCalls;
  WNDPROC old = gForeignOld;
  if (m == WM_NCDESTROY) {
    // A well-behaved subclasser puts the old procedure back as the window goes.
    SetWindowLongPtrA(w, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(old));
  }
  return CallWindowProcA(old, w, m, wp, lp);
}
}  // namespace

TEST_F(Controls, ForeignSubclassingSurvivesRecreateWnd) {
  auto* b = Create<TTestButton>(Form);
  b->SetParent(Form);
  // A method-pointer takeover (how skins adapt a control) stays across recreation ...
  WindowProcSpy spy;
  spy.Only = {WM_SETTEXT};
  spy.Attach(b);
  // ... and a SetWindowLongPtr subclass on the old window is carried off with it.
  gForeignOld =
      reinterpret_cast<WNDPROC>(SetWindowLongPtrA(b->Handle(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ForeignProc)));
  gForeignCalls = 0;
  SendMessageA(b->Handle(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("one"));
  EXPECT_GT(gForeignCalls, 0);
  b->RecreateWnd();
  EXPECT_EQ("one", b->Caption());
  int callsAfter = gForeignCalls;
  SendMessageA(b->Handle(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("two"));
  EXPECT_EQ(callsAfter, gForeignCalls);  // the new window is ours alone
  EXPECT_EQ("two", b->Caption());
  spy.Detach();
  EXPECT_EQ(2, spy.Spy.Count(WM_SETTEXT));
}

// ---- freeing ---------------------------------------------------------------------------------

namespace {
struct SelfFreeing {
  TControl* Victim = nullptr;
  void Click(TObject*) { FreeAndNil(Victim); }
};
}  // namespace

TEST_F(Controls, FreeDuringMessageHandler) {
  long base = TControl::LiveCount();
  auto* b = Create<TTestButton>(Form);
  b->SetParent(Form);
  SelfFreeing f{b};
  b->OnClick = MakeMethod<&SelfFreeing::Click>(&f);
  SendMessageA(b->Handle(), BM_CLICK, 0, 0);  // click -> CN_COMMAND -> OnClick frees the button
  flush_events();
  EXPECT_EQ(nullptr, f.Victim);
  EXPECT_EQ(base, TControl::LiveCount());
  EXPECT_EQ(0, Form->ControlCount());

  auto* g = Create<TSolid>(Form);
  g->SetBounds(50, 50, 40, 40);
  g->SetParent(Form);
  SelfFreeing fg{g};
  g->OnClick = MakeMethod<&SelfFreeing::Click>(&fg);
  SendMessageA(Form->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(55, 55));
  SendMessageA(Form->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(55, 55));
  EXPECT_EQ(nullptr, fg.Victim);
  EXPECT_EQ(base, TControl::LiveCount());
  EXPECT_EQ(nullptr, GetCaptureControl());
}

namespace {
struct CloseHandler {
  TCloseAction Action = caFree;
  int Calls = 0;
  void Close(TObject*, TCloseAction& a) {
    ++Calls;
    a = Action;
  }
};
}  // namespace

TEST_F(Controls, FormCloseWithCaFreeFreesLaterThroughTheQueue) {
  long base = TCustomForm::LiveFormCount();
  auto* f = Create<TForm>(Application);
  f->Show();
  flush_events();
  CloseHandler h;
  f->OnClose = MakeMethod<&CloseHandler::Close>(&h);
  f->Close();
  EXPECT_EQ(1, h.Calls);
  EXPECT_EQ(base + 1, TCustomForm::LiveFormCount());  // not inside the handler
  flush_events();
  EXPECT_EQ(base, TCustomForm::LiveFormCount());

  // WM_CLOSE from the system takes the same road; caHide only hides.
  auto* g = Create<TForm>(Application);
  g->Show();
  flush_events();
  CloseHandler hide{caHide};
  g->OnClose = MakeMethod<&CloseHandler::Close>(&hide);
  SendMessageA(g->Handle(), WM_CLOSE, 0, 0);
  EXPECT_FALSE(g->Visible());
  EXPECT_TRUE(IsWindow(g->Handle()));
  g->Free();
}

TEST_F(Controls, OwnershipFreesEverything) {
  long controls = TControl::LiveCount();
  long forms = TCustomForm::LiveFormCount();
  TGdiCounts gdi = GdiLiveCounts();
  {
    auto* f = Create<TForm>(Application);
    auto* b = Create<TTestButton>(f);
    b->SetParent(f);
    auto* g = Create<TSolid>(f);
    g->SetParent(f);
    auto* t = Create<TTimer>(f);
    t->SetInterval(50);
    auto* orphan = Create<TSolid>(f);  // owned, never parented
    (void)orphan;
    f->Show();
    flush_events();
    EXPECT_EQ(controls + 4, TControl::LiveCount());
    f->Free();
  }
  flush_events();
  EXPECT_EQ(controls, TControl::LiveCount());
  EXPECT_EQ(forms, TCustomForm::LiveFormCount());
  EXPECT_EQ(gdi.Objects, GdiLiveCounts().Objects);
  EXPECT_EQ(gdi.MemoryDCs, GdiLiveCounts().MemoryDCs);
}

// ---- exceptions ------------------------------------------------------------------------------

namespace {
struct Thrower {
  int Handled = 0;
  std::string Text;
  void Click(TObject*) { throw Exception("boom"); }
  void Tick(TObject*) { throw std::runtime_error("tick"); }
  void OnException(TObject*, const Exception& e) {
    ++Handled;
    Text = e.Message();
  }
};
}  // namespace

TEST_F(Controls, ExceptionInHandlerReachesHandleExceptionAndProgramGoesOn) {
  Thrower t;
  Application->OnException = MakeMethod<&Thrower::OnException>(&t);
  auto* b = Create<TTestButton>(Form);
  b->SetParent(Form);
  b->OnClick = MakeMethod<&Thrower::Click>(&t);
  SendMessageA(b->Handle(), BM_CLICK, 0, 0);
  EXPECT_EQ(1, t.Handled);
  EXPECT_EQ("boom", t.Text);
  // The button still works.
  SendMessageA(b->Handle(), BM_CLICK, 0, 0);
  EXPECT_EQ(2, t.Handled);
  // Timer callbacks are a boundary too.
  auto* timer = Create<TTimer>(Form);
  timer->SetInterval(10);
  timer->OnTimer = MakeMethod<&Thrower::Tick>(&t);
  EXPECT_TRUE(pump_until([&] { return t.Handled >= 3; }));
  EXPECT_EQ("tick", t.Text);
  timer->SetEnabled(false);
  Application->OnException = TExceptionEvent();
}

// ---- focus -----------------------------------------------------------------------------------

TEST_F(Controls, FocusMovesWithEnterExitAndDialogKeys) {
  auto* a = Create<TTestButton>(Form);
  a->SetParent(Form);
  auto* b = Create<TTestButton>(Form);
  b->SetBounds(10, 50, 80, 24);
  b->SetParent(Form);
  Form->SetFocus();
  flush_events();
  WindowProcSpy sa, sb;
  sa.Only = sb.Only = {CM_ENTER, CM_EXIT, CM_UIACTIVATE};
  sa.Attach(a);
  sb.Attach(b);
  a->SetFocus();
  flush_events();
  EXPECT_TRUE(a->Focused());
  EXPECT_EQ(a, Form->ActiveControl());
  // Tab goes through CN_KEYDOWN -> CM_DIALOGKEY to the form, which selects the next control.
  EXPECT_EQ(1, a->Perform(CN_KEYDOWN, VK_TAB, 0));
  flush_events();
  EXPECT_TRUE(b->Focused());
  sa.Detach();
  sb.Detach();
  EXPECT_EQ("", CheckSequence(sa.Spy.Entries(), {{CM_ENTER, msgOptional}, {CM_UIACTIVATE, msgOptional}, {CM_EXIT, 0}}));
  EXPECT_EQ("", CheckSequence(sb.Spy.Entries(), {{CM_ENTER, 0}, {CM_UIACTIVATE, 0}}));
}

// ---- layout ----------------------------------------------------------------------------------

TEST_F(Controls, AlignAndAnchorsFollowTheParent) {
  auto* top = Create<TSolid>(Form);
  top->SetHeight(30);
  top->SetParent(Form);
  top->SetAlign(alTop);
  auto* client = Create<TSolid>(Form);
  client->SetParent(Form);
  client->SetAlign(alClient);
  auto* anchored = Create<TTestButton>(Form);
  anchored->SetParent(Form);
  TRect cr = Form->ClientRect();
  anchored->SetBounds(cr.Width() - 90, cr.Height() - 34, 80, 24);
  anchored->SetAnchors(TAnchors{akRight, akBottom});
  EXPECT_EQ(Rect(0, 0, cr.Width(), 30), top->BoundsRect());
  EXPECT_EQ(Rect(0, 30, cr.Width(), cr.Height()), client->BoundsRect());
  Form->SetBounds(Form->Left(), Form->Top(), Form->Width() + 40, Form->Height() + 20);
  flush_events();
  TRect nr = Form->ClientRect();
  EXPECT_EQ(nr.Width(), top->Width());
  EXPECT_EQ(nr.Height() - 30, client->Height());
  EXPECT_EQ(nr.Width() - 90, anchored->Left());
  EXPECT_EQ(nr.Height() - 34, anchored->Top());
}
