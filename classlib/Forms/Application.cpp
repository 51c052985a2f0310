// TApplication: its window, the message loop, idle work, hints and exceptions; and the two
// process-wide objects, Application and Screen.
#include "classlib/Forms.h"

#include <algorithm>

namespace {

constexpr UINT_PTR kHintShowTimer = 1;
constexpr UINT_PTR kHintHideTimer = 2;

}  // namespace

// ---------------------------------------------------------------------------------------------
// TApplication

LRESULT CALLBACK ApplicationWndProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
  auto* app = reinterpret_cast<TApplication*>(GetWindowLongPtrA(wnd, GWLP_USERDATA));
  if (!app) return DefWindowProcA(wnd, msg, wp, lp);
  TMessage m = MakeMessage(msg, wp, lp);
  m.Result = -1;  // not answered: the default answer below
  try {
    app->WndProc(m);
  } catch (...) {
    HandleBoundaryException(app);
    return 0;
  }
  if (m.Result == -1) return DefWindowProcA(wnd, msg, wp, lp);
  return m.Result;
}

namespace {

const char* AppClassName() {
  static bool registered = false;
  if (!registered) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = ApplicationWndProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.lpszClassName = "TApplication";
    RegisterClassA(&wc);
    registered = true;
  }
  return "TApplication";
}

std::string ModuleTitle() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string p = path;
  auto slash = p.find_last_of("\\/");
  if (slash != std::string::npos) p = p.substr(slash + 1);
  auto dot = p.find_last_of('.');
  if (dot != std::string::npos) p = p.substr(0, dot);
  return p;
}

}  // namespace

TApplication::TApplication(TComponent* AOwner) : TComponent(AOwner), Title_(ModuleTitle()) {}

void TApplication::Initialize() {
  // Not from the constructor: the application object is made before main, when the format
  // settings of another unit may not be constructed yet.
  if (Initialized_) return;
  Initialized_ = true;
  InitFormatSettingsFromSystem();
}

TApplication::~TApplication() {
  if (HintWindow_) {
    HintWindow_->Free();
    HintWindow_ = nullptr;
  }
  if (Handle_) {
    SetWindowLongPtrA(Handle_, GWLP_USERDATA, 0);
    DestroyWindow(Handle_);
  }
}

HWND TApplication::Handle() {
  if (!Handle_) {
    Initialize();
    int sx = GetSystemMetrics(SM_CXSCREEN) / 2, sy = GetSystemMetrics(SM_CYSCREEN) / 2;
    Handle_ = CreateWindowExA(WS_EX_TOOLWINDOW, AppClassName(), Title_.c_str(),
                              WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX, sx, sy, 0, 0,
                              nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    if (!Handle_) throw EOSError("Cannot create the application window", GetLastError());
    SetWindowLongPtrA(Handle_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  }
  return Handle_;
}

void TApplication::WndProc(TMessage& Message) {
  for (auto it = Hooks_.rbegin(); it != Hooks_.rend(); ++it) {
    if ((*it)(Message)) {
      if (Message.Result == -1) Message.Result = 0;
      return;
    }
  }
  switch (Message.Msg) {
    case WM_CLOSE:
      if (MainForm_) MainForm_->Close();
      Message.Result = 0;
      return;
    case WM_TIMER:
      HintTimer(Message.WParam);
      Message.Result = 0;
      return;
    case WM_ACTIVATEAPP: ActivateApp(Message.WParam != 0); return;
    default: return;
  }
}

// The application became active or inactive (the hint goes with it).
void TApplication::ActivateApp(bool active) {
  if (active) {
    OnActivate(this);
    return;
  }
  CancelHint();
  OnDeactivate(this);
}

// The hint timers: the pause before a hint shows, and its time on the screen.
void TApplication::HintTimer(WPARAM id) {
  if (id == kHintShowTimer) {
    StopHintTimer();
    ActivateHint(Mouse->CursorPos());
  } else if (id == kHintHideTimer) {
    CancelHint();
  }
}

void TApplication::HookMainWindow(TWindowHook Hook) {
  if (Hook && std::find(Hooks_.begin(), Hooks_.end(), Hook) == Hooks_.end()) Hooks_.push_back(Hook);
}

void TApplication::UnhookMainWindow(TWindowHook Hook) {
  auto it = std::find(Hooks_.begin(), Hooks_.end(), Hook);
  if (it != Hooks_.end()) Hooks_.erase(it);
}

std::string TApplication::Title() const { return Title_; }

void TApplication::SetTitle(const std::string& v) {
  Title_ = v;
  if (Handle_) SetWindowTextA(Handle_, v.c_str());
}

void TApplication::Run() {
  Initialize();
  if (MainForm_ && ShowMainForm_) MainForm_->Show();
  while (!Terminated_) {
    try {
      HandleMessage();
    } catch (...) {
      HandleException(this);
    }
  }
}

bool TApplication::IsKeyMsg(MSG& Msg) {
  if (Msg.message < WM_KEYFIRST || Msg.message > WM_KEYLAST) return false;
  HWND wnd = GetCapture();
  if (!wnd) {
    wnd = Msg.hwnd;
    if (MainForm_ && MainForm_->ClientHandle() && wnd == MainForm_->ClientHandle()) {
      wnd = MainForm_->Handle();
    } else {
      // A native child (a combo box's edit) hands its keys to the control it belongs to.
      while (wnd && !FindControl(wnd)) wnd = GetParent(wnd);
      if (!wnd) wnd = Msg.hwnd;
    }
  }
  TWinControl* c = FindControl(wnd);
  if (!c) return false;
  return c->Perform(CN_BASE + Msg.message, Msg.wParam, Msg.lParam) != 0;
}

bool TApplication::IsMDIMsg(MSG& Msg) {
  if (!MainForm_ || MainForm_->FormStyle() != fsMDIForm || !MainForm_->ClientHandle()) return false;
  TCustomForm* child = MainForm_->ActiveMDIChild();
  if (!child) return false;
  return TranslateMDISysAccel(MainForm_->ClientHandle(), &Msg) != 0;
}

bool TApplication::IsHintMsg(MSG& Msg) {
  if (HintWindow_ && HintWindow_->IsHintShowing()) {
    switch (Msg.message) {
      case WM_KEYDOWN:
      case WM_SYSKEYDOWN:
      case WM_LBUTTONDOWN:
      case WM_RBUTTONDOWN:
      case WM_MBUTTONDOWN:
      case WM_NCLBUTTONDOWN:
      case WM_NCRBUTTONDOWN:
      case WM_NCMBUTTONDOWN:
      case WM_ACTIVATE:
      case WM_ACTIVATEAPP: CancelHint(); break;
    }
  }
  return false;
}

bool TApplication::ProcessMessage(MSG& Msg) {
  if (!PeekMessageA(&Msg, nullptr, 0, 0, PM_REMOVE)) return false;
  if (Msg.message == WM_QUIT) {
    Terminated_ = true;
    return true;
  }
  bool handled = false;
  OnMessage(Msg, handled);
  if (!handled && !IsHintMsg(Msg) && !IsMDIMsg(Msg) && !IsKeyMsg(Msg)) {
    TranslateMessage(&Msg);
    DispatchMessageA(&Msg);
  }
  return true;
}

void TApplication::ProcessMessages() {
  MSG msg;
  while (ProcessMessage(msg)) {
  }
  TControlCanvas::FreeDeviceContexts();
}

void TApplication::HandleMessage() {
  MSG msg;
  if (!ProcessMessage(msg)) Idle(msg);
}

void TApplication::Idle(const MSG&) {
  bool done = true;
  try {
    OnIdle(this, done);
    if (done) DoActionIdle();
  } catch (...) {
    HandleException(this);
  }
  TControlCanvas::FreeDeviceContexts();
  if (done) WaitMessage();
}

void TApplication::DoActionIdle() {
  if (!Screen) return;
  std::vector<TCustomForm*> forms;
  for (int i = 0; i < Screen->FormCount(); ++i) forms.push_back(Screen->Forms(i));
  for (TCustomForm* f : forms) {
    // A form freed by an earlier form's action handler is no longer listed.
    bool listed = false;
    for (int i = 0; i < Screen->FormCount() && !listed; ++i) listed = Screen->Forms(i) == f;
    if (listed && f->HandleAllocated() && IsWindowVisible(f->Handle())) f->UpdateActions();
  }
}

void TApplication::Terminate() {
  Terminated_ = true;
  PostQuitMessage(0);
}

void TApplication::Minimize() {
  CancelHint();
  if (MainForm_ && MainForm_->HandleAllocated()) ShowWindow(MainForm_->Handle(), SW_MINIMIZE);
  OnMinimize(this);
}

void TApplication::Restore() {
  if (MainForm_ && MainForm_->HandleAllocated() && IsIconic(MainForm_->Handle()))
    ShowWindow(MainForm_->Handle(), SW_RESTORE);
  OnRestore(this);
}

void TApplication::BringToFront() {
  if (MainForm_ && MainForm_->HandleAllocated()) SetForegroundWindow(MainForm_->Handle());
}

// ---- hints

void TApplication::SetShowHint(bool v) {
  if (ShowHint_ == v) return;
  ShowHint_ = v;
  if (!v) {
    CancelHint();
    if (HintWindow_) {
      HintWindow_->Free();
      HintWindow_ = nullptr;
    }
  }
}

void TApplication::StartHintTimer(int Value, int Id) {
  StopHintTimer();
  if (SetTimer(Handle(), static_cast<UINT_PTR>(Id), static_cast<UINT>(Value), nullptr)) HintTimerOn_ = true;
}

void TApplication::StopHintTimer() {
  if (HintTimerOn_ && Handle_) {
    KillTimer(Handle_, kHintShowTimer);
    KillTimer(Handle_, kHintHideTimer);
  }
  HintTimerOn_ = false;
}

void TApplication::HintMouseMessage(TControl* Control, TMessage& Message) {
  if (!ShowHint_ || !Control || Control->IsDestroying()) return;
  TPoint p{Message.LParamX(), Message.LParamY()};
  TControl* hint = Control;
  while (hint && !hint->ShowHint()) hint = hint->Parent();
  if (!hint || TControl::GetShortHint(hint->Hint()).empty()) {
    if (HintControl_) CancelHint();
    return;
  }
  TPoint inHint = hint == Control ? p : hint->ScreenToClient(Control->ClientToScreen(p));
  if (hint != HintControl_ || !HintCursorRect_.Contains(inHint)) {
    bool wasShowing = HintWindow_ && HintWindow_->IsHintShowing();
    if (wasShowing) HintWindow_->ReleaseHandle();
    HintControl_ = hint;
    HintCursorRect_ = hint->ClientRect();
    StartHintTimer(wasShowing ? 50 : HintPause_, kHintShowTimer);
  }
}

void TApplication::ActivateHint(TPoint CursorPos) {
  TControl* c = HintControl_;
  if (!c || !ShowHint_) return;
  THintInfo info;
  info.HintControl = c;
  info.HintPos = Point(CursorPos.X, CursorPos.Y + GetSystemMetrics(SM_CYCURSOR) / 2 + 4);
  info.HintMaxWidth = Screen ? Screen->Width() : 800;
  info.HintColor = HintColor_;
  info.CursorRect = c->ClientRect();
  info.CursorPos = c->ScreenToClient(CursorPos);
  info.HideTimeout = HintHidePause_;
  info.HintStr = TControl::GetShortHint(c->Hint());
  bool canShow = c->Perform(CM_HINTSHOW, 0, reinterpret_cast<LPARAM>(&info)) == 0;
  OnShowHint(info.HintStr, canShow, info);
  if (!canShow || info.HintStr.empty()) return;
  HintCursorRect_ = info.CursorRect;
  if (!HintWindow_) HintWindow_ = ::Create<THintWindow>(nullptr);
  HintWindow_->SetColor(info.HintColor);
  TRect r = HintWindow_->CalcHintRect(info.HintMaxWidth, info.HintStr);
  r.Offset(info.HintPos.X, info.HintPos.Y);
  HintWindow_->ActivateHint(r, info.HintStr);
  HintActive_ = true;
  if (info.HideTimeout > 0) StartHintTimer(info.HideTimeout, kHintHideTimer);
}

void TApplication::CancelHint() {
  StopHintTimer();
  if (HintWindow_ && HintWindow_->HandleAllocated()) HintWindow_->ReleaseHandle();
  HintControl_ = nullptr;
  HintActive_ = false;
}

void TApplication::ControlDestroyed(TControl* Control) {
  if (Control == MainForm_) MainForm_ = nullptr;
  if (Control == HintControl_) CancelHint();
}

// ---- exceptions

void TApplication::HandleException(TObject* Sender) {
  std::exception_ptr e = std::current_exception();
  if (!e) return;
  auto deliver = [&](const Exception& ex) {
    try {
      if (OnException)
        OnException(Sender, ex);
      else
        ShowException(ex);
    } catch (...) {
      // An exception handler that raises has nowhere to go.
    }
  };
  try {
    std::rethrow_exception(e);
  } catch (const EAbort&) {
  } catch (const Exception& ex) {
    deliver(ex);
  } catch (const std::exception& ex) {
    deliver(Exception(ex.what()));
  } catch (...) {
    deliver(Exception("Unknown exception"));
  }
}

void TApplication::ShowException(const Exception& E) {
  std::string msg = E.Message();
  if (!msg.empty() && msg.back() != '.') msg += '.';
  HWND owner = MainForm_ && MainForm_->HandleAllocated() ? MainForm_->Handle() : nullptr;
  MessageBoxA(owner, msg.c_str(), Title_.c_str(), MB_OK | MB_ICONSTOP);
}

// ---------------------------------------------------------------------------------------------
// The globals: made before main, never destroyed (windows of the process go with it).

TApplication* Application = new TApplication(nullptr);
TScreen* Screen = new TScreen(nullptr);
