// Forms and the application: MDI frames and children, modal forms, keyboard routing through the
// message loop (key preview, dialog keys, native children), the mouse wheel, the screen's form
// list, the mouse, hints, menus across window recreation, the last messages of a freed control,
// and the locale's number formats.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "classlib/ExtCtrls.h"
#include "classlib/Forms.h"
#include "classlib/Menus.h"
#include "tests/support/FormFixture.h"
#include "tests/support/MessageSpy.h"
#include "tests/support/ProcSpy.h"
#include "tests/support/Pump.h"

using namespace qvtest;

// Each test runs on a fresh test form.
class Forms : public FormTest {};

namespace {

// A focusable window control of the system's button class.
class TPushControl : public TWinControl {
 public:
  QV_CLASS_NAME(TPushControl)
  explicit TPushControl(TComponent* AOwner) : TWinControl(AOwner) {
    ControlStyle_ = TControlStyle{csSetCaption, csDoubleClicks};
    SetBounds(10, 10, 80, 24);
    SetTabStop(true);
  }
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

// A window control with a native child window of its own (like a combo box's edit).
class THostControl : public TWinControl {
 public:
  QV_CLASS_NAME(THostControl)
  explicit THostControl(TComponent* AOwner) : TWinControl(AOwner) {
    SetBounds(10, 60, 120, 24);
    SetTabStop(true);
  }
  HWND Inner = nullptr;

 protected:
  void CreateWnd() override {
    TWinControl::CreateWnd();
    Inner = CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE, 0, 0, 100, 20, Handle_, nullptr,
                            GetModuleHandleA(nullptr), nullptr);
  }
};

// Every key and wheel event of the controls, in order, as "<who>:<what>".
struct InputLog {
  std::vector<std::string> Items;
  bool SwallowOnForm = false;
  bool WheelHandledOnForm = false;
  TObject* Form = nullptr;
  std::string Who(TObject* s) const { return s == Form ? "form" : "control"; }
  void KeyDown(TObject* s, std::uint16_t& key, TShiftState) {
    Items.push_back(Who(s) + ":down " + std::to_string(key));
    if (SwallowOnForm && s == Form) key = 0;
  }
  void KeyPress(TObject* s, char& key) {
    Items.push_back(Who(s) + ":press " + std::string(1, key));
    if (SwallowOnForm && s == Form) key = 0;
  }
  void Wheel(TObject* s, TShiftState, int delta, TPoint, bool& handled) {
    Items.push_back(Who(s) + ":wheel " + std::to_string(delta));
    if (s == Form) handled = WheelHandledOnForm;
  }
};

// Posts a key message to a window and runs it through the application's message loop.
void PostKey(HWND w, UINT msg, WPARAM key) {
  PostMessageA(w, msg, key, 1);
  Application->ProcessMessages();
}

TRect WindowRectIn(HWND w, HWND parent) {
  RECT r;
  GetWindowRect(w, &r);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  return FromRECT(r);
}

}  // namespace

// ---- Perform -----------------------------------------------------------------------------------

namespace {
struct Answerer {
  TWndMethod Old;
  void Proc(TMessage& m) {
    if (m.Msg == WM_APP + 7) {
      m.LParam = 1;  // an answer in LParam, the way skin queries are answered
      m.Result = 42;
      return;
    }
    Old(m);
  }
};
}  // namespace

TEST_F(Forms, PerformOfARecordShowsTheHandlersWrites) {
  auto* b = Create<TPushControl>(Form);
  b->SetParent(Form);
  Answerer a;
  a.Old = b->WindowProc;
  b->WindowProc = MakeMethod<&Answerer::Proc>(&a);
  TMessage m = MakeMessage(WM_APP + 7, 0, 0);
  EXPECT_EQ(42, b->Perform(m));
  EXPECT_EQ(1, m.LParam);
  EXPECT_EQ(42, m.Result);
  // The value form answers the same Result; the window answers it through SendMessage too.
  EXPECT_EQ(42, b->Perform(WM_APP + 7));
  EXPECT_EQ(42, SendMessageA(b->Handle(), WM_APP + 7, 0, 0));
  b->WindowProc = a.Old;
}

// ---- the last messages of a freed control ------------------------------------------------------

namespace {
std::vector<std::string> gLastWords;

class TLastWords : public TPushControl {
 public:
  QV_CLASS_NAME(TLastWords)
  using TPushControl::TPushControl;
  void WndProc(TMessage& m) override {
    // A derived window procedure: it only sees these if the object is still whole.
    if (m.Msg == WM_KILLFOCUS) gLastWords.push_back(ClassName() + ":WM_KILLFOCUS");
    if (m.Msg == WM_DESTROY) gLastWords.push_back(ClassName() + ":WM_DESTROY");
    if (m.Msg == WM_NCDESTROY) gLastWords.push_back(ClassName() + ":WM_NCDESTROY");
    TPushControl::WndProc(m);
  }
};
}  // namespace

TEST_F(Forms, FreeDestroysTheWindowWhileTheDerivedObjectIsWhole) {
  gLastWords.clear();
  auto* c = Create<TLastWords>(Form);
  c->SetParent(Form);
  Form->SetFocus();
  c->SetFocus();
  flush_events();
  ASSERT_TRUE(c->Focused());
  HWND h = c->Handle();
  c->Free();
  EXPECT_FALSE(IsWindow(h));
  const std::vector<std::string> expected = {"TLastWords:WM_KILLFOCUS", "TLastWords:WM_DESTROY",
                                             "TLastWords:WM_NCDESTROY"};
  EXPECT_EQ(expected, gLastWords);
  EXPECT_EQ(nullptr, Form->ActiveControl());
}

// ---- MDI ---------------------------------------------------------------------------------------

class FormsMdi : public ::testing::Test {
 protected:
  void SetUp() override {
    BaseForms = TCustomForm::LiveFormCount();
    OldMain = Application->MainForm();
    Frame = Create<TForm>(Application);
    Frame->SetFormStyle(fsMDIForm);
    Frame->SetBounds(20, 20, 600, 400);
    Application->SetMainForm(Frame);
    Frame->Show();
    flush_events();
  }
  void TearDown() override {
    if (Frame) FreeAndNil(Frame);
    Application->SetMainForm(OldMain);
    Application->ResetTerminated();
    flush_events();
    EXPECT_EQ(BaseForms, TCustomForm::LiveFormCount());
  }
  TForm* NewChild(const char* caption) {
    auto* c = Create<TForm>(Frame);
    c->SetBounds(0, 0, 200, 150);
    c->SetCaption(caption);
    c->SetFormStyle(fsMDIChild);  // an MDI child shows at once
    flush_events();
    return c;
  }
  long BaseForms = 0;
  TCustomForm* OldMain = nullptr;
  TForm* Frame = nullptr;
};

TEST_F(FormsMdi, FrameHasAClientWindowAndChildrenLiveInIt) {
  HWND client = Frame->ClientHandle();
  ASSERT_NE(nullptr, client);
  char cls[32] = {};
  GetClassNameA(client, cls, sizeof cls);
  EXPECT_EQ(0, lstrcmpiA("MDICLIENT", cls)) << cls;
  EXPECT_EQ(Frame->Handle(), GetParent(client));
  EXPECT_EQ(0, Frame->MDIChildCount());
  EXPECT_EQ(nullptr, Frame->ActiveMDIChild());

  TForm* a = NewChild("A");
  TForm* b = NewChild("B");
  EXPECT_EQ(client, GetParent(a->Handle()));
  EXPECT_EQ(client, GetParent(b->Handle()));
  EXPECT_TRUE(GetWindowLongPtrA(a->Handle(), GWL_EXSTYLE) & WS_EX_MDICHILD);
  EXPECT_EQ(2, Frame->MDIChildCount());
  std::vector<TCustomForm*> kids = {Frame->MDIChildren(0), Frame->MDIChildren(1)};
  EXPECT_NE(kids.end(), std::find(kids.begin(), kids.end(), a));
  EXPECT_NE(kids.end(), std::find(kids.begin(), kids.end(), b));
  EXPECT_THROW(Frame->MDIChildren(2), EListError);
  // The child shown last is the active one; activating another through the client moves it.
  EXPECT_EQ(b, Frame->ActiveMDIChild());
  EXPECT_TRUE(b->Active());
  SendMessageA(client, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(a->Handle()), 0);
  flush_events();
  EXPECT_EQ(a, Frame->ActiveMDIChild());
  EXPECT_TRUE(a->Active());
  EXPECT_FALSE(b->Active());
  Frame->Next();
  flush_events();
  EXPECT_EQ(b, Frame->ActiveMDIChild());
  // A plain form cannot be an MDI child without an MDI frame.
  TCustomForm* main = Application->MainForm();
  Application->SetMainForm(nullptr);
  auto* orphan = Create<TForm>(Application);
  EXPECT_THROW(orphan->SetFormStyle(fsMDIChild), EInvalidOperation);
  orphan->Free();
  Application->SetMainForm(main);
}

TEST_F(FormsMdi, TileAndCascadeArrangeTheChildren) {
  TForm* a = NewChild("A");
  TForm* b = NewChild("B");
  HWND client = Frame->ClientHandle();
  RECT cr;
  GetClientRect(client, &cr);

  Frame->SetTileMode(tbVertical);
  Frame->Tile();
  flush_events();
  TRect ra = WindowRectIn(a->Handle(), client), rb = WindowRectIn(b->Handle(), client);
  // Side by side: the same rows, no overlap, together the client's width.
  EXPECT_EQ(ra.Top, rb.Top);
  EXPECT_EQ(ra.Height(), rb.Height());
  EXPECT_TRUE(ra.Right <= rb.Left || rb.Right <= ra.Left);
  EXPECT_NEAR(cr.right, ra.Width() + rb.Width(), 2);
  // The objects follow their windows.
  EXPECT_EQ(ra, a->BoundsRect());

  Frame->SetTileMode(tbHorizontal);
  Frame->Tile();
  flush_events();
  ra = WindowRectIn(a->Handle(), client);
  rb = WindowRectIn(b->Handle(), client);
  EXPECT_EQ(ra.Left, rb.Left);
  EXPECT_TRUE(ra.Bottom <= rb.Top || rb.Bottom <= ra.Top);
  EXPECT_NEAR(cr.bottom, ra.Height() + rb.Height(), 2);

  Frame->Cascade();
  flush_events();
  ra = WindowRectIn(a->Handle(), client);
  rb = WindowRectIn(b->Handle(), client);
  // A staircase: same size, each step further right and down.
  EXPECT_EQ(ra.Width(), rb.Width());
  EXPECT_EQ(ra.Height(), rb.Height());
  EXPECT_NE(ra.Left, rb.Left);
  EXPECT_EQ(ra.Left < rb.Left, ra.Top < rb.Top);
}

TEST_F(FormsMdi, ClosingAChildAndFreeingTheFrame) {
  TForm* a = NewChild("A");
  NewChild("B");
  // An MDI child's default close action minimizes it.
  a->Close();
  flush_events();
  EXPECT_TRUE(IsIconic(a->Handle()));
  // caFree releases it through the queue.
  struct FreeOnClose {
    void Close(TObject*, TCloseAction& act) { act = caFree; }
  } h;
  a->OnClose = MakeMethod<&FreeOnClose::Close>(&h);
  a->Close();
  EXPECT_EQ(2, Frame->MDIChildCount());
  flush_events();
  EXPECT_EQ(1, Frame->MDIChildCount());
  // Freeing the frame frees the child it owns (counted by TearDown).
}

TEST_F(FormsMdi, ClientWindowTakesTheRoomAlignedControlsLeave) {
  auto* bar = Create<THostControl>(Frame);
  bar->SetHeight(30);
  bar->SetParent(Frame);
  bar->SetAlign(alTop);
  auto* side = Create<THostControl>(Frame);
  side->SetWidth(50);
  side->SetParent(Frame);
  side->SetAlign(alLeft);
  flush_events();
  TRect cr = Frame->ClientRect();
  EXPECT_EQ(Rect(50, 30, cr.Right, cr.Bottom), WindowRectIn(Frame->ClientHandle(), Frame->Handle()));
  // The frame's own resizing lays the client window out again.
  Frame->SetBounds(Frame->Left(), Frame->Top(), Frame->Width() + 60, Frame->Height() + 40);
  flush_events();
  cr = Frame->ClientRect();
  EXPECT_EQ(Rect(50, 30, cr.Right, cr.Bottom), WindowRectIn(Frame->ClientHandle(), Frame->Handle()));
  side->SetVisible(false);
  flush_events();
  EXPECT_EQ(Rect(0, 30, cr.Right, cr.Bottom), WindowRectIn(Frame->ClientHandle(), Frame->Handle()));
}

TEST_F(FormsMdi, ActivatingTheFrameFocusesTheActiveChild) {
  auto* other = Create<TForm>(Application);
  other->SetBounds(700, 40, 200, 150);
  other->Show();
  TForm* a = NewChild("A");
  auto* edit = Create<THostControl>(a);
  edit->SetParent(a);
  a->SetActiveControl(edit);
  other->SetFocus();
  flush_events();
  EXPECT_EQ(other, Screen->ActiveForm());
  Frame->SetFocus();
  flush_events();
  EXPECT_EQ(a, Frame->ActiveMDIChild());
  HWND focus = GetFocus();
  EXPECT_TRUE(focus == edit->Handle() || IsChild(edit->Handle(), focus)) << focus;
  EXPECT_EQ(edit, a->ActiveControl());
  other->Free();
}

TEST_F(FormsMdi, ChildKeepsItsStateAcrossRecreation) {
  TForm* a = NewChild("Kept");
  HWND old = a->Handle();
  a->RecreateWnd();
  flush_events();
  ASSERT_TRUE(a->HandleAllocated());
  EXPECT_NE(old, a->Handle());
  EXPECT_EQ(Frame->ClientHandle(), GetParent(a->Handle()));
  EXPECT_EQ("Kept", a->Caption());
  EXPECT_EQ(1, Frame->MDIChildCount());
}

// ---- modal forms -------------------------------------------------------------------------------

namespace {
struct ModalDriver {
  TCustomForm* Dialog = nullptr;
  HWND Other = nullptr;
  std::vector<TModalResult> Results;  // set one per tick
  std::vector<TCloseAction> Actions;  // answered one per close
  bool OtherWasDisabled = false;
  size_t Tick = 0, Closes = 0;
  void OnTimer(TObject*) {
    if (Other && !IsWindowEnabled(Other)) OtherWasDisabled = true;
    if (Tick < Results.size()) Dialog->SetModalResult(Results[Tick++]);
  }
  void OnClose(TObject*, TCloseAction& a) {
    if (Closes < Actions.size()) a = Actions[Closes];
    ++Closes;
  }
};
}  // namespace

TEST_F(Forms, ShowModalReturnsTheModalResult) {
  auto* dlg = Create<TForm>(Application);
  dlg->SetBounds(60, 60, 200, 120);
  auto* timer = Create<TTimer>(dlg);
  timer->SetInterval(20);
  ModalDriver d;
  d.Dialog = dlg;
  d.Other = Form->Handle();
  // The first answer is refused by OnClose (caNone), the second one ends the modal loop.
  d.Results = {mrOk, mrYes};
  d.Actions = {caNone, caHide};
  timer->OnTimer = MakeMethod<&ModalDriver::OnTimer>(&d);
  dlg->OnClose = MakeMethod<&ModalDriver::OnClose>(&d);
  EXPECT_EQ(mrYes, dlg->ShowModal());
  EXPECT_EQ(2u, d.Closes);
  EXPECT_TRUE(d.OtherWasDisabled);               // other windows are disabled while the form is modal ...
  EXPECT_TRUE(IsWindowEnabled(Form->Handle()));  // ... and enabled again afterwards
  EXPECT_FALSE(dlg->Visible());
  EXPECT_FALSE(dlg->FormState().Contains(fsModal));
  // A visible form cannot be made modal.
  dlg->Show();
  EXPECT_THROW(dlg->ShowModal(), EInvalidOperation);
  dlg->Hide();
  // Close() inside the modal loop answers mrCancel.
  struct Closer {
    TCustomForm* F;
    void Tick(TObject*) { F->Close(); }
  } closer{dlg};
  timer->OnTimer = MakeMethod<&Closer::Tick>(&closer);
  dlg->OnClose = TCloseEvent();
  EXPECT_EQ(mrCancel, dlg->ShowModal());
  timer->SetEnabled(false);
  // caFree in a modal form frees it after ShowModal returned.
  long forms = TCustomForm::LiveFormCount();
  ModalDriver f;
  f.Dialog = dlg;
  f.Results = {mrOk};
  f.Actions = {caFree};
  timer->OnTimer = MakeMethod<&ModalDriver::OnTimer>(&f);
  dlg->OnClose = MakeMethod<&ModalDriver::OnClose>(&f);
  timer->SetEnabled(true);
  EXPECT_EQ(mrOk, dlg->ShowModal());
  flush_events();
  EXPECT_EQ(forms - 1, TCustomForm::LiveFormCount());
}

// ---- keyboard through the message loop ---------------------------------------------------------

TEST_F(Forms, KeyPreviewLetsTheFormSeeKeysFirst) {
  auto* c = Create<TPushControl>(Form);
  c->SetParent(Form);
  InputLog log;
  log.Form = Form;
  Form->OnKeyDown = MakeMethod<&InputLog::KeyDown>(&log);
  Form->OnKeyPress = MakeMethod<&InputLog::KeyPress>(&log);
  c->OnKeyDown = MakeMethod<&InputLog::KeyDown>(&log);
  c->OnKeyPress = MakeMethod<&InputLog::KeyPress>(&log);
  HWND h = c->Handle();

  // Function keys: the loop's translation makes no characters of them.
  PostKey(h, WM_KEYDOWN, VK_F2);
  PostKey(h, WM_CHAR, 'a');
  EXPECT_EQ((std::vector<std::string>{"control:down 113", "control:press a"}), log.Items);

  log.Items.clear();
  Form->SetKeyPreview(true);
  PostKey(h, WM_KEYDOWN, VK_F3);
  PostKey(h, WM_CHAR, 'b');
  EXPECT_EQ((std::vector<std::string>{"form:down 114", "control:down 114", "form:press b", "control:press b"}),
            log.Items);

  // A form that takes the key (sets it to 0) keeps it from the control.
  log.Items.clear();
  log.SwallowOnForm = true;
  PostKey(h, WM_KEYDOWN, VK_F4);
  PostKey(h, WM_CHAR, 'c');
  EXPECT_EQ((std::vector<std::string>{"form:down 115", "form:press c"}), log.Items);
}

TEST_F(Forms, DialogKeysGoToTheFormThroughTheFocusedControl) {
  auto* a = Create<TPushControl>(Form);
  a->SetParent(Form);
  auto* b = Create<TPushControl>(Form);
  b->SetBounds(10, 40, 80, 24);
  b->SetParent(Form);
  Form->SetFocus();
  a->SetFocus();
  flush_events();
  ASSERT_TRUE(a->Focused());
  ProcSpy sa, sf;
  sa.Only = {CN_KEYDOWN, CN_CHAR, WM_KEYDOWN};
  sf.Only = {CM_DIALOGKEY, CM_DIALOGCHAR};
  sa.Attach(a);
  sf.Attach(Form);
  PostKey(a->Handle(), WM_KEYDOWN, VK_TAB);
  flush_events();
  // The control is asked first (CN_KEYDOWN), does not want Tab, and the form takes it as a
  // dialog key: the window never sees the key, and the focus moves on.
  EXPECT_EQ("", CheckSequence(sa.Seen, {{CN_KEYDOWN, msgWParam, VK_TAB}}));
  EXPECT_EQ("", CheckSequence(sf.Seen, {{CM_DIALOGKEY, msgWParam, VK_TAB}}));
  EXPECT_TRUE(b->Focused());
  EXPECT_EQ(b, Form->ActiveControl());
  // A character the control does not want is offered to the form as CM_DIALOGCHAR.
  sa.Seen.clear();
  sf.Seen.clear();
  PostKey(a->Handle(), WM_CHAR, 'x');
  EXPECT_EQ("", CheckSequence(sa.Seen, {{CN_CHAR, msgWParam, 'x'}}));
  EXPECT_EQ("", CheckSequence(sf.Seen, {{CM_DIALOGCHAR, msgWParam, 'x'}}));
  sa.Detach();
  sf.Detach();
}

TEST_F(Forms, KeysOfANativeChildGoToItsControlFirst) {
  auto* host = Create<THostControl>(Form);
  host->SetParent(Form);
  ASSERT_NE(nullptr, host->Inner);
  ProcSpy spy;
  spy.Only = {CN_KEYDOWN, CN_CHAR};
  spy.Attach(host);
  PostKey(host->Inner, WM_KEYDOWN, VK_RIGHT);
  PostKey(host->Inner, WM_CHAR, 'q');
  spy.Detach();
  EXPECT_EQ("", CheckSequence(spy.Seen, {{CN_KEYDOWN, msgWParam, VK_RIGHT}, {CN_CHAR, msgWParam, 'q'}}));
  // The character still reached the edit itself.
  char text[8] = {};
  GetWindowTextA(host->Inner, text, sizeof text);
  EXPECT_STREQ("q", text);
}

// ---- the mouse wheel ---------------------------------------------------------------------------

TEST_F(Forms, MouseWheelGoesToTheFocusedControlThenItsParentsOnce) {
  auto* c = Create<THostControl>(Form);  // a plain window control
  c->SetParent(Form);
  Form->SetFocus();
  c->SetFocus();
  flush_events();
  InputLog log;
  log.Form = Form;
  c->OnMouseWheel = MakeMethod<&InputLog::Wheel>(&log);
  Form->OnMouseWheel = MakeMethod<&InputLog::Wheel>(&log);
  ProcSpy spy;
  spy.Only = {CM_MOUSEWHEEL};
  spy.Attach(c);
  // Unhandled by anyone: each control is asked exactly once.
  LRESULT r = SendMessageA(c->Handle(), WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), MAKELPARAM(50, 50));
  EXPECT_EQ(0, r);
  EXPECT_EQ((std::vector<std::string>{"control:wheel 120", "form:wheel 120"}), log.Items);
  EXPECT_EQ(1, spy.Count(CM_MOUSEWHEEL));
  // The form handles it: the message is answered 1.
  log.Items.clear();
  log.WheelHandledOnForm = true;
  r = SendMessageA(Form->Handle(), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), MAKELPARAM(50, 50));
  EXPECT_EQ(1, r);
  EXPECT_EQ((std::vector<std::string>{"control:wheel -120", "form:wheel -120"}), log.Items);
  spy.Detach();
}

// ---- screen, mouse, hints ----------------------------------------------------------------------

TEST_F(Forms, ScreenListsTheFormsActivatedLastFirst) {
  auto* other = Create<TForm>(Application);
  other->SetBounds(400, 40, 200, 150);
  other->Show();
  flush_events();
  auto index = [](TCustomForm* f) {
    for (int i = 0; i < Screen->FormCount(); ++i)
      if (Screen->Forms(i) == f) return i;
    return -1;
  };
  ASSERT_GE(index(Form), 0);
  ASSERT_GE(index(other), 0);
  Form->SetFocus();
  flush_events();
  EXPECT_EQ(Form, Screen->ActiveForm());
  EXPECT_EQ(0, index(Form));
  other->SetFocus();
  flush_events();
  EXPECT_EQ(other, Screen->ActiveForm());
  EXPECT_EQ(0, index(other));
  EXPECT_EQ(1, index(Form));
  EXPECT_THROW(Screen->Forms(Screen->FormCount()), EListError);
  int count = Screen->FormCount();
  other->Free();
  EXPECT_EQ(count - 1, Screen->FormCount());
  EXPECT_EQ(-1, index(other));
  EXPECT_NE(other, Screen->ActiveForm());
  EXPECT_NE(nullptr, Screen->MenuFont());
  EXPECT_NE(nullptr, Screen->MenuFont()->Handle());
}

namespace {
class TSpot : public TGraphicControl {
 public:
  QV_CLASS_NAME(TSpot)
  using TGraphicControl::TGraphicControl;
};
}  // namespace

TEST_F(Forms, MouseCursorPosAndTheControlUnderIt) {
  auto* g = Create<TSpot>(Form);
  g->SetBounds(100, 80, 40, 30);
  g->SetParent(Form);
  TPoint p = g->ClientToScreen(Point(10, 10));
  Mouse->SetCursorPos(p);
  EXPECT_EQ(p, Mouse->CursorPos());
  EXPECT_EQ(g, FindDragTarget(Mouse->CursorPos(), false));
  EXPECT_EQ(Form, FindVCLWindow(Mouse->CursorPos()));
  TPoint q = Form->ClientToScreen(Point(5, 5));
  Mouse->SetCursorPos(q);
  EXPECT_EQ(q, Mouse->CursorPos());
  EXPECT_EQ(Form, FindDragTarget(q, false));
}

namespace {
struct HintProbe {
  TWndMethod Old;
  int Asked = 0;
  std::string Offered;
  TControl* Control = nullptr;
  bool Refuse = false;
  void Proc(TMessage& m) {
    if (m.Msg == CM_HINTSHOW) {
      ++Asked;
      auto* info = reinterpret_cast<THintInfo*>(m.LParam);
      Offered = info->HintStr;
      Control = info->HintControl;
      info->HintStr = "Changed by the control";
      m.Result = Refuse ? 1 : 0;
      return;
    }
    Old(m);
  }
};
}  // namespace

TEST_F(Forms, HintWindowAsksTheControlWithHintShow) {
  auto* g = Create<TSpot>(Form);
  g->SetBounds(60, 60, 50, 30);
  g->SetParent(Form);
  g->SetHint("Short|Long text");
  g->SetShowHint(true);
  HintProbe probe;
  probe.Old = g->WindowProc;
  g->WindowProc = MakeMethod<&HintProbe::Proc>(&probe);
  int oldPause = Application->HintPause();
  Application->SetHintPause(10);
  Mouse->SetCursorPos(g->ClientToScreen(Point(5, 5)));
  SendMessageA(Form->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(65, 65));
  EXPECT_TRUE(pump_until([] { return Application->HintWindow() && Application->HintWindow()->IsHintShowing(); }));
  EXPECT_EQ(1, probe.Asked);
  EXPECT_EQ("Short", probe.Offered);
  EXPECT_EQ(g, probe.Control);
  ASSERT_NE(nullptr, Application->HintWindow());
  EXPECT_EQ("Changed by the control", Application->HintWindow()->Caption());
  Application->CancelHint();
  EXPECT_FALSE(Application->HintWindow()->IsHintShowing());

  // A control that answers non-zero keeps the hint from showing.
  probe.Refuse = true;
  SendMessageA(Form->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(66, 66));
  EXPECT_TRUE(pump_until([&] { return probe.Asked == 2; }));
  flush_events();
  EXPECT_FALSE(Application->HintWindow()->IsHintShowing());
  Application->CancelHint();
  Application->SetHintPause(oldPause);
  g->WindowProc = probe.Old;
}

// ---- menus across recreation -------------------------------------------------------------------

TEST_F(Forms, MenuBarSurvivesRecreationAndFreeing) {
  auto* menu = Create<TMainMenu>(Form);
  auto* item = Create<TMenuItem>(menu);
  item->SetCaption("File");
  menu->Items()->Add(item);
  Form->SetMenu(menu);
  HMENU bar = menu->Handle();
  EXPECT_EQ(bar, GetMenu(Form->Handle()));
  Form->RecreateWnd();
  flush_events();
  // The menu object still owns the same live menu (the old window did not take it along), and
  // the new window shows it.
  EXPECT_TRUE(IsMenu(bar));
  EXPECT_EQ(bar, menu->Handle());
  EXPECT_EQ(menu->Handle(), GetMenu(Form->Handle()));
  EXPECT_EQ(1, GetMenuItemCount(GetMenu(Form->Handle())));
  // Freeing the form frees its menu once (no double destruction through the window).
  FreeAndNil(Form);
  EXPECT_FALSE(IsMenu(bar));
}

// ---- the locale's formats ----------------------------------------------------------------------

namespace {
std::string UserLocale(LCTYPE t) {
  char buf[32] = {};
  GetLocaleInfoA(LOCALE_USER_DEFAULT, t, buf, sizeof buf);
  return buf;
}
}  // namespace

TEST(FormsStandalone, FormatSettingsComeFromTheUserLocale) {
  // Any form starts the application, which reads the locale once.
  auto* f = Create<TForm>(Application);
  EXPECT_TRUE(Application->Initialized());
  f->Free();
  EXPECT_EQ(UserLocale(LOCALE_SDECIMAL)[0], FormatSettings.DecimalSeparator);
  EXPECT_EQ(UserLocale(LOCALE_SCURRENCY), FormatSettings.CurrencyString);

  // Changed user settings are what the formats read; the settings and the formats are put back
  // however the test ends.
  struct Restore {
    std::string Dec = UserLocale(LOCALE_SDECIMAL), Thou = UserLocale(LOCALE_STHOUSAND),
                Cur = UserLocale(LOCALE_SCURRENCY);
    TFormatSettings Saved = FormatSettings;
    ~Restore() {
      SetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, Dec.c_str());
      SetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_STHOUSAND, Thou.c_str());
      SetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SCURRENCY, Cur.c_str());
      FormatSettings = Saved;
    }
  } restore;
  ASSERT_TRUE(SetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, ","));
  ASSERT_TRUE(SetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_STHOUSAND, "."));
  ASSERT_TRUE(SetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SCURRENCY, "EUR"));
  InitFormatSettingsFromSystem();
  TFormatSettings read = FormatSettings;
  EXPECT_EQ(',', read.DecimalSeparator);
  EXPECT_EQ('.', read.ThousandSeparator);
  EXPECT_EQ("EUR", read.CurrencyString);
  EXPECT_EQ("1.234,5", FormatFloat("#,##0.0", 1234.5, read));
  EXPECT_DOUBLE_EQ(2.5, StrToFloat("2,5", read));
}

// ---- constraints of a top-level window ---------------------------------------------------------

TEST_F(Forms, ConstraintsBoundTheWindowWhoeverSizesIt) {
  Form->Constraints()->SetMinWidth(400);
  Form->Constraints()->SetMaxHeight(200);
  EXPECT_EQ(400, Form->Width());  // applied at once ...
  EXPECT_EQ(200, Form->Height());
  // ... and to a size given to the window behind the form's back (as the user's dragging does).
  SetWindowPos(Form->Handle(), nullptr, 0, 0, 120, 400, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  flush_events();
  RECT r;
  GetWindowRect(Form->Handle(), &r);
  EXPECT_EQ(400, r.right - r.left);
  EXPECT_EQ(200, r.bottom - r.top);
  EXPECT_EQ(400, Form->Width());
  EXPECT_EQ(200, Form->Height());
  // Maximizing stays inside the maximum too.
  Form->SetWindowState(wsMaximized);
  flush_events();
  GetWindowRect(Form->Handle(), &r);
  EXPECT_LE(r.bottom - r.top, 200);
  Form->SetWindowState(wsNormal);
  flush_events();
}

// ---- actions updated when the application is idle ----------------------------------------------

namespace {
struct ActionUpdater {
  TCustomAction* Action = nullptr;
  bool Allow = false;
  int Updates = 0;
  int Idles = 0;
  void Update(TObject*) {
    ++Updates;
    Action->SetEnabled(Allow);
  }
  void Idle(TObject*, bool&) { ++Idles; }
};
}  // namespace

TEST_F(Forms, IdleTimeUpdatesTheActionsOfVisibleForms) {
  auto* action = Create<TCustomAction>(Form);
  ActionUpdater u{action};
  action->OnUpdate = MakeMethod<&ActionUpdater::Update>(&u);
  auto* b = Create<TPushControl>(Form);
  b->SetParent(Form);
  b->SetAction(action);
  ProcSpy spy;
  spy.Only = {CM_ACTIONUPDATE};
  spy.Attach(b);
  // The application's loop handles what is queued; with the queue empty it goes idle (updating the
  // actions of visible forms) and waits, and a short timer wakes it again.
  Application->OnIdle = MakeMethod<&ActionUpdater::Idle>(&u);
  struct IdleHook {
    ~IdleHook() { Application->OnIdle = {}; }
  } idleHook;
  auto* wake = Create<TTimer>(Form);
  wake->SetInterval(30);
  auto idlePass = [&] {
    const int idles = u.Idles;
    for (int i = 0; i < 1000 && u.Idles == idles; ++i) Application->HandleMessage();
    return u.Idles > idles;
  };
  ASSERT_TRUE(idlePass());
  EXPECT_GE(u.Updates, 1);
  EXPECT_GE(spy.Count(CM_ACTIONUPDATE), 1);
  EXPECT_FALSE(b->Enabled());  // the control follows its action
  EXPECT_FALSE(IsWindowEnabled(b->Handle()));
  u.Allow = true;
  ASSERT_TRUE(idlePass());
  EXPECT_TRUE(b->Enabled());
  // A hidden form's actions wait.
  Form->Hide();
  int before = u.Updates;
  ASSERT_TRUE(idlePass());
  ASSERT_TRUE(idlePass());
  EXPECT_EQ(before, u.Updates);
  wake->Free();
  spy.Detach();
}

// ---- the active control of a form not shown yet ------------------------------------------------

TEST(FormsStandalone, HiddenFormNamesItsActiveControlBeforeShowing) {
  auto* f = Create<TForm>(Application);
  f->SetBounds(60, 60, 240, 160);
  auto* a = Create<TPushControl>(f);
  a->SetParent(f);
  auto* b = Create<TPushControl>(f);
  b->SetBounds(10, 50, 80, 24);
  b->SetParent(f);
  auto* off = Create<TPushControl>(f);
  off->SetBounds(10, 90, 80, 24);
  off->SetParent(f);
  off->SetEnabled(false);
  EXPECT_TRUE(b->CanFocus());     // the form's own visibility does not count ...
  EXPECT_FALSE(off->CanFocus());  // ... the control's and its parents' do
  EXPECT_NO_THROW(f->SetActiveControl(b));
  EXPECT_THROW(f->SetActiveControl(off), EInvalidOperation);
  EXPECT_EQ(b, f->ActiveControl());
  f->Show();
  f->SetFocus();
  flush_events();
  EXPECT_TRUE(b->Focused());
  // Records without a pointer are answered, not followed.
  EXPECT_EQ(0, SendMessageA(f->Handle(), WM_NOTIFY, 0, 0));
  EXPECT_EQ(0, SendMessageA(f->Handle(), WM_DRAWITEM, 0, 0));
  f->Free();
  flush_events();
}

// ---- form events -------------------------------------------------------------------------------

namespace {
struct FormEvents {
  std::vector<std::string> Items;
  TObject* A = nullptr;
  std::string Who(TObject* s) const { return s == A ? "a" : "b"; }
  void Show(TObject* s) { Items.push_back(Who(s) + ":show"); }
  void Hide(TObject* s) { Items.push_back(Who(s) + ":hide"); }
  void Activate(TObject* s) { Items.push_back(Who(s) + ":activate"); }
  void Deactivate(TObject* s) { Items.push_back(Who(s) + ":deactivate"); }
  void Paint(TObject* s) { Items.push_back(Who(s) + ":paint"); }
};
}  // namespace

TEST(FormsStandalone, ShowActivateDeactivateHideInOrder) {
  auto* a = Create<TForm>(Application);
  a->SetBounds(40, 40, 200, 150);
  auto* b = Create<TForm>(Application);
  b->SetBounds(300, 40, 200, 150);
  FormEvents ev;
  ev.A = a;
  for (TForm* f : {a, b}) {
    f->OnShow = MakeMethod<&FormEvents::Show>(&ev);
    f->OnHide = MakeMethod<&FormEvents::Hide>(&ev);
    f->OnActivate = MakeMethod<&FormEvents::Activate>(&ev);
    f->OnDeactivate = MakeMethod<&FormEvents::Deactivate>(&ev);
  }
  a->Show();
  a->SetFocus();
  flush_events();
  b->Show();
  b->SetFocus();
  flush_events();
  a->SetFocus();
  flush_events();
  b->Hide();
  flush_events();
  // Drop repeats of the same event the window system may add (a second activation).
  std::vector<std::string> seen;
  for (const std::string& s : ev.Items)
    if (seen.empty() || seen.back() != s) seen.push_back(s);
  EXPECT_EQ((std::vector<std::string>{"a:show", "a:activate", "b:show", "a:deactivate", "b:activate", "b:deactivate",
                                      "a:activate", "b:hide"}),
            seen);
  // OnPaint draws on the form's canvas when the window paints.
  ev.Items.clear();
  a->OnPaint = MakeMethod<&FormEvents::Paint>(&ev);
  a->Invalidate();
  flush_events();
  EXPECT_NE(ev.Items.end(), std::find(ev.Items.begin(), ev.Items.end(), "a:paint"));
  a->Free();
  b->Free();
}

TEST(FormsStandalone, ApplicationWindowHiddenOwnerOfTheFormsAndMinimize) {
  HWND app = Application->Handle();
  char cls[32] = {};
  GetClassNameA(app, cls, sizeof cls);
  EXPECT_STREQ("TApplication", cls);
  EXPECT_FALSE(IsWindowVisible(app));
  Application->SetTitle("Quorvex test");
  char title[32] = {};
  GetWindowTextA(app, title, sizeof title);
  EXPECT_STREQ("Quorvex test", title);
  auto* f = Create<TForm>(Application);
  f->SetBounds(40, 40, 200, 150);
  TCustomForm* oldMain = Application->MainForm();
  Application->SetMainForm(f);
  f->Show();
  flush_events();
  struct Counter {
    int N = 0;
    void Hit(TObject*) { ++N; }
  } minimized;
  Application->OnMinimize = MakeMethod<&Counter::Hit>(&minimized);
  Application->Minimize();
  flush_events();
  EXPECT_TRUE(IsIconic(f->Handle()));
  EXPECT_EQ(wsMinimized, f->WindowState());
  EXPECT_EQ(1, minimized.N);
  Application->Restore();
  flush_events();
  EXPECT_FALSE(IsIconic(f->Handle()));
  Application->OnMinimize = TNotifyEvent();
  f->Free();
  EXPECT_EQ(nullptr, Application->MainForm());  // a freed main form is forgotten
  Application->SetMainForm(oldMain);
}

// ---- timers ------------------------------------------------------------------------------------

namespace {
// A timer whose work is in the overridden Timer, without an OnTimer handler.
class TCountingTimer : public TTimer {
 public:
  QV_CLASS_NAME(TCountingTimer)
  using TTimer::TTimer;
  int Ticks = 0;

 protected:
  void Timer() override { ++Ticks; }
};

struct TimerVictim {
  TTimer* Timer = nullptr;
  int Ticks = 0;
  void Tick(TObject*) {
    ++Ticks;
    FreeAndNil(Timer);  // a handler that frees its own timer
  }
};
}  // namespace

TEST(FormsStandalone, TimerIntervalEnabledAndDescendantsWithoutHandler) {
  auto* t = Create<TCountingTimer>(nullptr);
  EXPECT_TRUE(t->Enabled());
  EXPECT_EQ(1000u, t->Interval());
  t->SetInterval(10);
  EXPECT_TRUE(pump_until([&] { return t->Ticks >= 2; }));
  t->SetEnabled(false);
  flush_events();
  int stopped = t->Ticks;
  flush_events(150, 300);
  EXPECT_EQ(stopped, t->Ticks);
  // Interval 0 keeps an enabled timer still.
  t->SetInterval(0);
  t->SetEnabled(true);
  flush_events(150, 300);
  EXPECT_EQ(stopped, t->Ticks);
  t->SetInterval(10);
  EXPECT_TRUE(pump_until([&] { return t->Ticks > stopped; }));
  t->Free();

  // A new timer runs with its defaults: a handler assigned to the field fires after a second.
  auto* fresh = Create<TCountingTimer>(nullptr);
  EXPECT_TRUE(pump_until([&] { return fresh->Ticks >= 1; }, 3000));
  fresh->Free();

  TimerVictim v;
  v.Timer = Create<TTimer>(nullptr);
  v.Timer->SetInterval(10);
  v.Timer->OnTimer = MakeMethod<&TimerVictim::Tick>(&v);
  EXPECT_TRUE(pump_until([&] { return v.Timer == nullptr; }));
  flush_events(100, 300);
  EXPECT_EQ(1, v.Ticks);
}

// ---- freeing the form from a child's handler, and silent aborts ---------------------------------

namespace {
struct FormKiller {
  TCustomForm* Form = nullptr;
  void Click(TObject*) { FreeAndNil(Form); }
};
struct AbortingClick {
  int Handled = 0;
  void Click(TObject*) { throw EAbort("quiet"); }
  void OnException(TObject*, const Exception&) { ++Handled; }
};
}  // namespace

TEST(FormsStandalone, FormFreedByItsChildsClick) {
  long forms = TCustomForm::LiveFormCount();
  long controls = TControl::LiveCount();
  auto* f = Create<TForm>(Application);
  auto* b = Create<TPushControl>(f);
  b->SetParent(f);
  f->Show();
  flush_events();
  FormKiller k{f};
  b->OnClick = MakeMethod<&FormKiller::Click>(&k);
  HWND bw = b->Handle();
  // WM_COMMAND to the form -> CN_COMMAND to the button -> the handler frees the form.
  SendMessageA(GetParent(bw), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(bw), BN_CLICKED), reinterpret_cast<LPARAM>(bw));
  flush_events();
  EXPECT_EQ(nullptr, k.Form);
  EXPECT_FALSE(IsWindow(bw));
  EXPECT_EQ(forms, TCustomForm::LiveFormCount());
  EXPECT_EQ(controls, TControl::LiveCount());
}

TEST_F(Forms, AbortIsSilent) {
  AbortingClick a;
  Application->OnException = MakeMethod<&AbortingClick::OnException>(&a);
  auto* g = Create<TSpot>(Form);
  g->SetBounds(10, 10, 30, 30);
  g->SetParent(Form);
  g->OnClick = MakeMethod<&AbortingClick::Click>(&a);
  SendMessageA(Form->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(15, 15));
  SendMessageA(Form->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(15, 15));
  EXPECT_EQ(0, a.Handled);  // the abort ended the click without a report
  Application->OnException = TExceptionEvent();
}

// ---- dragging ----------------------------------------------------------------------------------

namespace {
struct DragLog {
  std::vector<std::string> Items;
  bool Accept = true;
  void Start(TObject*) { Items.push_back("start"); }
  void Over(TObject*, TObject*, int, int, bool& accept) {
    Items.push_back("over");
    accept = Accept;
  }
  void Drop(TObject*, TObject*, int x, int y) {
    Items.push_back("drop " + std::to_string(x) + "," + std::to_string(y));
  }
  void End(TObject*, TObject* target, int, int) { Items.push_back(target ? "end on target" : "end nowhere"); }
};
}  // namespace

TEST_F(Forms, AutomaticDragDropsOnTheControlUnderTheMouse) {
  auto* source = Create<TSpot>(Form);
  source->SetBounds(10, 10, 30, 30);
  source->SetParent(Form);
  source->SetDragMode(dmAutomatic);
  auto* target = Create<TSpot>(Form);
  target->SetBounds(150, 100, 40, 40);
  target->SetParent(Form);
  DragLog log;
  source->OnStartDrag = MakeMethod<&DragLog::Start>(&log);
  source->OnEndDrag = MakeMethod<&DragLog::End>(&log);
  target->OnDragOver = MakeMethod<&DragLog::Over>(&log);
  target->OnDragDrop = MakeMethod<&DragLog::Drop>(&log);
  HWND h = Form->Handle();
  SendMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(15, 15));
  EXPECT_TRUE(source->Dragging());
  Mouse->SetCursorPos(target->ClientToScreen(Point(5, 6)));
  SendMessageA(h, WM_LBUTTONUP, 0, MAKELPARAM(155, 106));
  EXPECT_FALSE(source->Dragging());
  EXPECT_EQ((std::vector<std::string>{"start", "over", "drop 5,6", "end on target"}), log.Items);
  // A target that refuses leaves the drag ending nowhere.
  log.Items.clear();
  log.Accept = false;
  SendMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(15, 15));
  SendMessageA(h, WM_LBUTTONUP, 0, MAKELPARAM(155, 106));
  EXPECT_EQ((std::vector<std::string>{"start", "over", "end nowhere"}), log.Items);
  EXPECT_EQ(nullptr, GetCaptureControl());
}

// ---- where a form first shows ------------------------------------------------------------------

TEST(FormsStandalone, PositionCentredOnTheScreenOrOnItsOwnerForm) {
  TRect work = Screen->WorkAreaRect();
  auto* owner = Create<TForm>(Application);
  owner->SetBounds(100, 80, 400, 300);
  owner->Show();
  flush_events();

  struct Case {
    TPosition Position;
    TRect Around;  // what the form is centred on; empty: stays where it was put
  };
  const Case cases[] = {{poDesigned, TRect{}}, {poScreenCenter, work}, {poOwnerFormCenter, owner->BoundsRect()}};
  for (const Case& c : cases) {
    auto* f = Create<TForm>(owner);
    f->SetBounds(30, 40, 200, 100);
    f->SetPosition(c.Position);
    f->Show();
    flush_events();
    if (c.Around.IsEmpty()) {
      EXPECT_EQ(Bounds(30, 40, 200, 100), f->BoundsRect()) << int(c.Position);
    } else {
      EXPECT_EQ(c.Around.Left + (c.Around.Width() - 200) / 2, f->Left()) << int(c.Position);
      EXPECT_EQ(c.Around.Top + (c.Around.Height() - 100) / 2, f->Top()) << int(c.Position);
    }
    // Only the first showing places it.
    f->Hide();
    f->SetBounds(5, 6, 200, 100);
    f->Show();
    flush_events();
    EXPECT_EQ(Bounds(5, 6, 200, 100), f->BoundsRect()) << int(c.Position);
    f->Free();
  }
  owner->Free();
}

// ---- menu shortcuts ----------------------------------------------------------------------------

namespace {
struct MenuClicks {
  std::vector<std::string> Items;
  TObject* Main = nullptr;
  void Click(TObject* s) { Items.push_back(s == Main ? "main" : "popup"); }
  void Key(TObject*, std::uint16_t& key, TShiftState) { Items.push_back("key " + std::to_string(key)); }
};
}  // namespace

TEST_F(Forms, MenuShortcutsTakeTheKeyBeforeTheControl) {
  auto* menu = Create<TMainMenu>(Form);
  auto* open = Create<TMenuItem>(menu);
  open->SetCaption("Open");
  open->SetShortCut(ShortCut(VK_F5, {}));
  menu->Items()->Add(open);
  Form->SetMenu(menu);
  auto* popup = Create<TPopupMenu>(Form);
  auto* cut = Create<TMenuItem>(popup);
  cut->SetCaption("Cut");
  cut->SetShortCut(ShortCut(VK_F6, {}));
  popup->Items()->Add(cut);
  auto* c = Create<TPushControl>(Form);
  c->SetParent(Form);
  c->SetPopupMenu(popup);
  MenuClicks log;
  log.Main = open;
  open->OnClick = MakeMethod<&MenuClicks::Click>(&log);
  cut->OnClick = MakeMethod<&MenuClicks::Click>(&log);
  c->OnKeyDown = MakeMethod<&MenuClicks::Key>(&log);
  PostKey(c->Handle(), WM_KEYDOWN, VK_F5);  // the form's menu
  PostKey(c->Handle(), WM_KEYDOWN, VK_F6);  // the control's popup menu
  PostKey(c->Handle(), WM_KEYDOWN, VK_F7);  // nobody's: the control's
  open->SetEnabled(false);
  PostKey(c->Handle(), WM_KEYDOWN, VK_F5);  // a disabled item leaves the key alone
  EXPECT_EQ((std::vector<std::string>{"main", "popup", "key 118", "key 116"}), log.Items);
}
