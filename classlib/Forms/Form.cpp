// TCustomForm: its window and border, showing and closing, modal loops, the active control and
// focus tracking, MDI.
#include "classlib/Forms.h"

#include <algorithm>

#include "classlib/core/TypInfo.h"

TMenuHandleHook FormMenuHandleHook = nullptr;
TMenuMessageHook FormMenuMessageHook = nullptr;

namespace {

long LiveForms = 0;

}  // namespace

// ---------------------------------------------------------------------------------------------
// TCustomForm

TCustomForm::TCustomForm(TComponent* AOwner) : TWinControl(AOwner) {
  ++LiveForms;
  ControlStyle_ = TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
  Visible_ = false;
  Left_ = 0;
  Top_ = 0;
  Width_ = 320;
  Height_ = 240;
  Color_ = clBtnFace;
  ParentColor_ = false;
  ParentFont_ = false;
  ParentShowHint_ = false;
  Brush_->SetColor(Color_);
  Icon_ = new TIcon();
  Canvas_ = new TControlCanvas();
  Canvas_->SetControl(this);
  FormState_.Include(fsCreating);
  if (Application) Application->Initialize();
  if (Screen) Screen->AddForm(this);
}

TCustomForm::~TCustomForm() {
  delete Canvas_;
  delete Icon_;
  --LiveForms;
}

long TCustomForm::LiveFormCount() { return LiveForms; }

void TCustomForm::AfterConstruction() {
  TWinControl::AfterConstruction();
  FormState_.Exclude(fsCreating);
  DoCreate();
}

void TCustomForm::BeforeDestruction() {
  Destroying();
  if (Screen) Screen->RemoveForm(this);
  if (Application) Application->ControlDestroyed(this);
  auto alive = AliveToken();
  try {
    DoDestroy();
  } catch (...) {
    HandleBoundaryException(this);
  }
  if (!*alive) return;
  ActiveControl_ = nullptr;
  FocusedControl_ = nullptr;
  TWinControl::BeforeDestruction();
}

void TCustomForm::DoCreate() { OnCreate(this); }
void TCustomForm::DoDestroy() { OnDestroy(this); }

void TCustomForm::SetBorderStyle(TFormBorderStyle v) {
  if (BorderStyle_ == v) return;
  BorderStyle_ = v;
  RecreateForStyle();
}

void TCustomForm::SetBorderIcons(TBorderIcons v) {
  if (BorderIcons_ == v) return;
  BorderIcons_ = v;
  RecreateForStyle();
}

void TCustomForm::SetFormStyle(TFormStyle v) {
  if (FormStyle_ == v) return;
  if (v == fsMDIChild || FormStyle_ == fsMDIChild || v == fsMDIForm || FormStyle_ == fsMDIForm) {
    if (HandleAllocated()) DestroyHandle();
    FormStyle_ = v;
    if (v == fsMDIChild) Visible_ = true;
    UpdateControlState();
    return;
  }
  FormStyle_ = v;
  if (HandleAllocated())
    SetWindowPos(Handle_, v == fsStayOnTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TCustomForm::RecreateForStyle() {
  if (HandleAllocated()) RecreateWnd();
}

TWindowState TCustomForm::WindowState() const {
  if (Handle_) {
    if (IsIconic(Handle_)) return wsMinimized;
    if (IsZoomed(Handle_)) return wsMaximized;
    return Showing_ ? wsNormal : WindowState_;
  }
  return WindowState_;
}

void TCustomForm::SetWindowState(TWindowState v) {
  WindowState_ = v;
  if (Handle_ && Showing_) {
    static const int cmds[] = {SW_SHOWNORMAL, SW_MINIMIZE, SW_SHOWMAXIMIZED};
    if (FormStyle_ == fsMDIChild && ClientHandle_ == nullptr && v == wsMaximized)
      SendMessageA(GetParent(Handle_), WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(Handle_), 0);
    else
      ShowWindow(Handle_, cmds[v]);
  }
}

void TCustomForm::SetMenu(TComponent* v) {
  Menu_ = v;
  if (v) v->FreeNotification(this);
  if (Handle_ && FormStyle_ != fsMDIChild) ::SetMenu(Handle_, MenuHandle());
}

HMENU TCustomForm::MenuHandle() const {
  if (!Menu_ || !FormMenuHandleHook) return nullptr;
  return FormMenuHandleHook(Menu_);
}

void TCustomForm::SetIcon(TIcon* v) {
  Icon_->Assign(v);
  if (Handle_) SendMessageA(Handle_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(Icon_->Handle()));
}

void TCustomForm::Notification(TComponent* AComponent, TOperation Operation) {
  TWinControl::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == Menu_) {
    Menu_ = nullptr;
    if (Handle_ && FormStyle_ != fsMDIChild) ::SetMenu(Handle_, nullptr);
  }
  if (AComponent == ActiveControl_) ActiveControl_ = nullptr;
  if (AComponent == FocusedControl_) FocusedControl_ = nullptr;
}

void TCustomForm::CreateParams(TCreateParams& Params) {
  TWinControl::CreateParams(Params);
  Params.Style &= ~static_cast<DWORD>(WS_CHILD | WS_TABSTOP);
  Params.Style |= WS_CLIPCHILDREN;
  Params.ExStyle &= ~static_cast<DWORD>(WS_EX_CONTROLPARENT);
  Params.WindowClass.style = CS_DBLCLKS;
  if (Parent_ || ParentWindow_) {
    Params.Style |= WS_CHILD;
    return;
  }
  Params.WndParent = Application ? Application->Handle() : nullptr;
  TBorderIcons icons = BorderIcons_;
  switch (BorderStyle_) {
    case bsNone:
      Params.Style |= WS_POPUP;
      icons = TBorderIcons{};
      break;
    case bsSingle: Params.Style |= WS_CAPTION | WS_BORDER; break;
    case bsSizeable: Params.Style |= WS_CAPTION | WS_THICKFRAME; break;
    case bsDialog:
      Params.Style |= WS_POPUP | WS_CAPTION;
      Params.ExStyle |= WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE;
      icons = icons * TBorderIcons{biSystemMenu, biHelp};
      break;
    case bsToolWindow:
      Params.Style |= WS_CAPTION;
      Params.ExStyle |= WS_EX_TOOLWINDOW;
      icons = icons * TBorderIcons{biSystemMenu};
      break;
    case bsSizeToolWin:
      Params.Style |= WS_CAPTION | WS_THICKFRAME;
      Params.ExStyle |= WS_EX_TOOLWINDOW;
      icons = icons * TBorderIcons{biSystemMenu};
      break;
  }
  if (BorderStyle_ != bsNone && icons.Contains(biSystemMenu)) {
    Params.Style |= WS_SYSMENU;
    if (icons.Contains(biMinimize)) Params.Style |= WS_MINIMIZEBOX;
    if (icons.Contains(biMaximize)) Params.Style |= WS_MAXIMIZEBOX;
    if (icons.Contains(biHelp) && (BorderStyle_ == bsDialog || !icons.Intersects({biMinimize, biMaximize})))
      Params.ExStyle |= WS_EX_CONTEXTHELP;
  }
  if (FormStyle_ == fsMDIChild) {
    Params.Style |= WS_CHILD | WS_CLIPSIBLINGS;
    Params.ExStyle |= WS_EX_MDICHILD;
  }
  if (FormStyle_ == fsStayOnTop) Params.ExStyle |= WS_EX_TOPMOST;
  if (Position_ == poDefault || Position_ == poDefaultPosOnly) Params.X = Params.Y = CW_USEDEFAULT;
  if (Position_ == poDefault || Position_ == poDefaultSizeOnly) Params.Width = Params.Height = CW_USEDEFAULT;
}

void TCustomForm::CreateWindowHandle(const TCreateParams& Params) {
  if (FormStyle_ == fsMDIChild && !Parent_ && !ParentWindow_) {
    TCustomForm* frame = Application ? Application->MainForm() : nullptr;
    if (!frame || frame == this || frame->FormStyle() != fsMDIForm || !frame->ClientHandle())
      throw EInvalidOperation("Cannot create form. No MDI forms are currently active");
    MDICREATESTRUCTA mcs{};
    mcs.szClass = Params.WinClassName.c_str();
    mcs.szTitle = Params.Caption.c_str();
    mcs.hOwner = Params.WindowClass.hInstance;
    mcs.x = Params.X;
    mcs.y = Params.Y;
    mcs.cx = Params.Width;
    mcs.cy = Params.Height;
    mcs.style = Params.Style & ~static_cast<DWORD>(WS_VISIBLE);
    mcs.lParam = reinterpret_cast<LPARAM>(Params.Param);
    // Set before the window exists: the messages of its creation already need the MDI child's
    // default procedure.
    FormState_.Include(fsCreatedMDIChild);
    HWND w =
        reinterpret_cast<HWND>(SendMessageA(frame->ClientHandle(), WM_MDICREATE, 0, reinterpret_cast<LPARAM>(&mcs)));
    if (!w) {
      FormState_.Exclude(fsCreatedMDIChild);
      return;
    }
    if (!Handle_) {
      Handle_ = w;
      BindControlWindow(w, this);
    }
    return;
  }
  HMENU menu = FormStyle_ != fsMDIChild ? MenuHandle() : nullptr;
  HWND w = CreateWindowExA(Params.ExStyle, Params.WinClassName.c_str(), Params.Caption.c_str(), Params.Style, Params.X,
                           Params.Y, Params.Width, Params.Height, Params.WndParent,
                           (Params.Style & WS_CHILD) ? nullptr : menu, Params.WindowClass.hInstance, Params.Param);
  if (w && !Handle_) {
    Handle_ = w;
    BindControlWindow(w, this);
  }
}

void TCustomForm::CreateWnd() {
  TWinControl::CreateWnd();
  if (!Icon_->Empty()) SendMessageA(Handle_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(Icon_->Handle()));
  if (FormStyle_ == fsMDIForm) {
    CLIENTCREATESTRUCT ccs{};
    ccs.hWindowMenu = nullptr;
    ccs.idFirstChild = 0xFF00;
    RECT r;
    ::GetClientRect(Handle_, &r);
    ClientHandle_ = CreateWindowExA(WS_EX_CLIENTEDGE, "MDICLIENT", nullptr,
                                    WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | WS_VSCROLL | WS_HSCROLL,
                                    0, 0, r.right, r.bottom, Handle_, nullptr, GetModuleHandleA(nullptr), &ccs);
    if (!ClientHandle_) throw EOSError("Cannot create the MDI client window", GetLastError());
    Realign();
  }
}

void TCustomForm::AlignControls(TControl* AControl, TRect& Rect) {
  TWinControl::AlignControls(AControl, Rect);
  if (ClientHandle_)
    SetWindowPos(ClientHandle_, HWND_BOTTOM, Rect.Left, Rect.Top, std::max(0, Rect.Width()), std::max(0, Rect.Height()),
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

void TCustomForm::DetachMenu() {
  // The menu bar belongs to the menu object: a window destroyed with it attached would destroy it.
  if (Handle_ && Menu_ && FormStyle_ != fsMDIChild && ::GetMenu(Handle_)) ::SetMenu(Handle_, nullptr);
}

void TCustomForm::DestroyWindowHandle() {
  Canvas_->FreeHandle();
  DetachMenu();
  if (FormState_.Contains(fsCreatedMDIChild) && Handle_) {
    HWND client = GetParent(Handle_);
    FormState_.Exclude(fsCreatedMDIChild);
    ControlState_.Include(csDestroyingHandle);
    HWND w = Handle_;
    if (client) SendMessageA(client, WM_MDIDESTROY, reinterpret_cast<WPARAM>(w), 0);
    if (IsWindow(w)) DestroyWindow(w);
    ControlState_.Exclude(csDestroyingHandle);
    if (Handle_ == w) {
      UnbindControlWindow(w, this);
      Handle_ = nullptr;
      Showing_ = false;
    }
    return;
  }
  ClientHandle_ = nullptr;  // destroyed with the frame
  TWinControl::DestroyWindowHandle();
}

void TCustomForm::DefaultHandler(TMessage& Message) {
  if (Handle_ && Message.Msg < CM_BASE) {
    if (ClientHandle_) {
      Message.Result = DefFrameProcA(Handle_, ClientHandle_, Message.Msg, Message.WParam, Message.LParam);
      return;
    }
    if (FormState_.Contains(fsCreatedMDIChild)) {
      Message.Result = DefMDIChildProcA(Handle_, Message.Msg, Message.WParam, Message.LParam);
      return;
    }
  }
  TWinControl::DefaultHandler(Message);
}

void TCustomForm::PaintWindow(HDC DC) {
  LockedCanvasOnDC canvas(Canvas_, DC);
  Paint();
}

void TCustomForm::Paint() { OnPaint(this); }
void TCustomForm::Activate() { OnActivate(this); }
void TCustomForm::Deactivate() { OnDeactivate(this); }
void TCustomForm::DoShow() { OnShow(this); }
void TCustomForm::DoHide() { OnHide(this); }
void TCustomForm::DoClose(TCloseAction& Action) { OnClose(this, Action); }

void TCustomForm::ApplyPosition() {
  if (Positioned_) return;
  Positioned_ = true;
  if (Parent_ || ParentWindow_ || FormStyle_ == fsMDIChild) return;
  TRect area = Screen ? Screen->WorkAreaRect() : Rect(0, 0, 800, 600);
  TRect around{};
  switch (Position_) {
    case poScreenCenter:
    case poDesktopCenter: around = area; break;
    case poMainFormCenter:
    case poOwnerFormCenter: {
      TCustomForm* c = nullptr;
      if (Position_ == poOwnerFormCenter) c = dynamic_cast<TCustomForm*>(Owner());
      if (!c && Application) c = Application->MainForm();
      if (c && c != this && c->HandleAllocated()) {
        RECT r;
        GetWindowRect(c->Handle(), &r);
        around = FromRECT(r);
      } else {
        around = area;
      }
      break;
    }
    default: return;
  }
  int x = around.Left + (around.Width() - Width_) / 2;
  int y = around.Top + (around.Height() - Height_) / 2;
  x = std::max(area.Left, std::min(x, area.Right - Width_));
  y = std::max(area.Top, std::min(y, area.Bottom - Height_));
  SetBounds(x, y, Width_, Height_);
}

void TCustomForm::Dispatch(TMessage& Message) {
  auto alive = AliveToken();
  switch (Message.Msg) {
    case WM_MEASUREITEM:
    case WM_DRAWITEM:
      if (!Message.LParam) break;  // no item record: nothing for the menus
      [[fallthrough]];
    case WM_COMMAND:
    case WM_INITMENUPOPUP:
    case WM_MENUCHAR:
      if (FormMenuMessageHook && FormMenuMessageHook(Message)) return;
      break;
    default: break;
  }
  switch (Message.Msg) {
    case CM_SHOWINGCHANGED: CMShowingChanged(Message); return;
    case CM_RELEASE: Free(); return;
    case CM_ACTIVATE: Activate(); return;
    case CM_DEACTIVATE: Deactivate(); return;
    case CM_DIALOGKEY:
      if (!CMDialogKey(Message)) TWinControl::Dispatch(Message);
      return;
    case WM_ACTIVATE: SetActive(LOWORD(Message.WParam) != WA_INACTIVE); return;
    case WM_MDIACTIVATE: WMMDIActivate(Message); return;
    case WM_CLOSE: Close(); return;
    case WM_QUERYENDSESSION: Message.Result = CloseQuery() ? 1 : 0; return;
    case WM_PAINT: WMPaint(Message); return;
    case WM_GETMINMAXINFO: WMGetMinMaxInfo(Message); return;
    case WM_ERASEBKGND:
      if (ClientHandle_) {
        Message.Result = 1;  // the MDI client covers the client area
        return;
      }
      break;
    case WM_SIZE:
      TWinControl::Dispatch(Message);
      if (!*alive) return;
      if (Handle_ && Message.WParam == SIZE_RESTORED && Showing_) WindowState_ = wsNormal;
      if (Message.WParam == SIZE_MINIMIZED) WindowState_ = wsMinimized;
      if (Message.WParam == SIZE_MAXIMIZED) WindowState_ = wsMaximized;
      return;
    case WM_SETFOCUS:
      TWinControl::Dispatch(Message);
      if (*alive && Handle_ && GetFocus() == Handle_ && ActiveControl_ && ActiveControl_->HandleAllocated() &&
          ActiveControl_->CanFocus())
        ::SetFocus(ActiveControl_->Handle());
      return;
    case WM_NCDESTROY:
      TWinControl::Dispatch(Message);
      if (*alive && !Handle_) FormState_.Exclude(fsCreatedMDIChild);
      return;
    case WM_DESTROY:
      DetachMenu();
      if (Active_) {
        Active_ = false;
        if (Screen && Screen->ActiveForm() == this) Screen->SetActiveForm(nullptr);
      }
      break;
  }
  TWinControl::Dispatch(Message);
}

void TCustomForm::CMShowingChanged(TMessage& Message) {
  auto alive = AliveToken();
  if (!Showing_) {
    DoHide();
    if (!*alive) return;
    // Hiding the active window hands the activation on to another window.
    if (Handle_) ShowWindow(Handle_, SW_HIDE);
    return;
  }
  DoShow();
  if (!*alive) return;
  ApplyPosition();
  static const int cmds[] = {SW_SHOWNORMAL, SW_SHOWMINIMIZED, SW_SHOWMAXIMIZED};
  if (FormStyle_ == fsMDIChild && FormState_.Contains(fsCreatedMDIChild)) {
    ShowWindow(Handle_, cmds[WindowState_]);
    SendMessageA(GetParent(Handle_), WM_MDIACTIVATE, reinterpret_cast<WPARAM>(Handle_), 0);
  } else if (Parent_ || ParentWindow_) {
    TWinControl::Dispatch(Message);
  } else {
    ShowWindow(Handle_, cmds[WindowState_]);
  }
}

// Tab and the arrow keys move the focus (without Alt); true when the key was used.
bool TCustomForm::CMDialogKey(TMessage& Message) {
  if (GetKeyState(VK_MENU) < 0) return false;
  switch (Message.WParam) {
    case VK_TAB:
      if (GetKeyState(VK_CONTROL) < 0) return false;
      SelectNext(ActiveControl_, GetKeyState(VK_SHIFT) >= 0, true);
      break;
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN:
      if (!ActiveControl_ || !ActiveControl_->Parent()) return false;
      ActiveControl_->Parent()->SelectNext(ActiveControl_, Message.WParam == VK_RIGHT || Message.WParam == VK_DOWN,
                                           false);
      break;
    default: return false;
  }
  Message.Result = 1;
  return true;
}

void TCustomForm::WMMDIActivate(TMessage& Message) {
  auto alive = AliveToken();
  DefaultHandler(Message);
  if (!*alive) return;
  if (reinterpret_cast<HWND>(Message.LParam) == Handle_)
    SetActive(true);
  else if (reinterpret_cast<HWND>(Message.WParam) == Handle_)
    SetActive(false);
}

// The form paints itself (csCustomPaint) unless it is an icon without an MDI client.
void TCustomForm::WMPaint(TMessage& Message) {
  if (Handle_ && IsIconic(Handle_) && !ClientHandle_) {
    DefaultHandler(Message);
    return;
  }
  auto alive = AliveToken();
  ControlState_.Include(csCustomPaint);
  try {
    TWinControl::Dispatch(Message);
  } catch (...) {
    if (*alive) ControlState_.Exclude(csCustomPaint);
    throw;
  }
  if (*alive) ControlState_.Exclude(csCustomPaint);
}

// The constraints bound the sizes the user (or anyone moving the window) can give it.
void TCustomForm::WMGetMinMaxInfo(TMessage& Message) {
  auto alive = AliveToken();
  TWinControl::Dispatch(Message);
  if (!*alive) return;
  auto* mmi = reinterpret_cast<MINMAXINFO*>(Message.LParam);
  const TSizeLimits& l = Constraints_->Limits();
  if (l.MinWidth > 0) mmi->ptMinTrackSize.x = l.MinWidth;
  if (l.MinHeight > 0) mmi->ptMinTrackSize.y = l.MinHeight;
  if (l.MaxWidth > 0) {
    mmi->ptMaxTrackSize.x = l.MaxWidth;
    mmi->ptMaxSize.x = l.MaxWidth;
  }
  if (l.MaxHeight > 0) {
    mmi->ptMaxTrackSize.y = l.MaxHeight;
    mmi->ptMaxSize.y = l.MaxHeight;
  }
}

void TCustomForm::Show() {
  SetVisible(true);
  if (HandleAllocated() && !Parent_) SetWindowPos(Handle_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

void TCustomForm::Hide() { SetVisible(false); }

bool TCustomForm::CloseQuery() {
  if (FormStyle_ == fsMDIForm) {
    for (int i = 0; i < MDIChildCount(); ++i)
      if (!MDIChildren(i)->CloseQuery()) return false;
  }
  bool can = true;
  OnCloseQuery(this, can);
  return can;
}

void TCustomForm::Close() {
  if (FormState_.Contains(fsModal)) {
    ModalResult_ = mrCancel;
    return;
  }
  auto alive = AliveToken();
  if (!CloseQuery() || !*alive) return;
  TCloseAction action = caHide;
  if (FormStyle_ == fsMDIChild) action = BorderIcons_.Contains(biMinimize) ? caMinimize : caNone;
  DoClose(action);
  if (!*alive || action == caNone) return;
  if (Application && Application->MainForm() == this) {
    Application->Terminate();
  } else if (action == caHide) {
    Hide();
  } else if (action == caMinimize) {
    SetWindowState(wsMinimized);
  } else {
    Release();
  }
}

void TCustomForm::Release() {
  if (HandleAllocated())
    PostMessageA(Handle_, CM_RELEASE, 0, 0);
  else
    Free();
}

namespace {

struct DisabledWindows {
  HWND Keep;
  std::vector<HWND> List;
};

BOOL CALLBACK DisableTaskWindow(HWND w, LPARAM lp) {
  auto* d = reinterpret_cast<DisabledWindows*>(lp);
  if (w != d->Keep && IsWindowVisible(w) && IsWindowEnabled(w)) {
    try {
      d->List.push_back(w);
    } catch (...) {
      return FALSE;  // no room to remember it: leave it (and the rest) enabled
    }
    EnableWindow(w, FALSE);
  }
  return TRUE;
}

}  // namespace

int TCustomForm::ShowModal() {
  if (Visible_ || !Enabled_ || FormState_.Contains(fsModal) || FormStyle_ == fsMDIChild)
    throw EInvalidOperation("Cannot make a visible window modal");
  if (HWND cap = GetCapture()) SendMessageA(cap, WM_CANCELMODE, 0, 0);
  ReleaseCapture();
  auto alive = AliveToken();
  FormState_.Include(fsModal);
  HWND activeWindow = GetActiveWindow();
  DisabledWindows disabled{Handle(), {}};
  EnumThreadWindows(GetCurrentThreadId(), DisableTaskWindow, reinterpret_cast<LPARAM>(&disabled));
  auto restore = [&] {
    for (HWND w : disabled.List)
      if (IsWindow(w)) EnableWindow(w, TRUE);
    if (activeWindow && IsWindow(activeWindow)) SetActiveWindow(activeWindow);
  };
  TModalResult result = mrNone;
  try {
    Show();
    ModalResult_ = mrNone;
    do {
      Application->HandleMessage();
      if (!*alive) break;
      if (Application->Terminated())
        ModalResult_ = mrCancel;
      else if (ModalResult_ != mrNone)
        CloseModal();
    } while (*alive && ModalResult_ == mrNone);
    if (*alive) {
      result = ModalResult_;
      Hide();
    }
  } catch (...) {
    restore();
    if (*alive) FormState_.Exclude(fsModal);
    throw;
  }
  restore();
  if (*alive) FormState_.Exclude(fsModal);
  return result;
}

void TCustomForm::CloseModal() {
  auto alive = AliveToken();
  TCloseAction action = caNone;
  if (CloseQuery()) {
    if (!*alive) return;
    action = caHide;
    DoClose(action);
    if (!*alive) return;
  }
  switch (action) {
    case caNone: ModalResult_ = mrNone; break;
    case caFree: Release(); break;
    default: break;
  }
}

// ---- focus tracking

void TCustomForm::SetActive(bool Value) {
  Active_ = Value;
  if (!Value) {
    Perform(CM_DEACTIVATE);
    return;
  }
  // Each step runs handlers of the program, which may free the form.
  auto alive = AliveToken();
  if (Screen) Screen->SetActiveForm(this);
  if (!*alive) return;
  if (!ActiveControl_) ActiveControl_ = FindNextControl(nullptr, true, true, false);
  SetWindowFocus();
  if (!*alive) return;
  Perform(CM_ACTIVATE);
  if (*alive && ActiveControl_) ActiveControl_->Perform(CM_UIACTIVATE);
}

void TCustomForm::SetWindowFocus() {
  if (!Handle_ || IsBeingDestroyed()) return;
  HWND h = (ActiveControl_ && ActiveControl_->HandleAllocated()) ? ActiveControl_->Handle() : Handle_;
  if (ActiveControl_ && !ActiveControl_->HandleAllocated()) h = ActiveControl_->Handle();
  if (GetFocus() != h) ::SetFocus(h);
}

void TCustomForm::SetActiveControl(TWinControl* v) {
  if (ActiveControl_ == v) return;
  if (v && !(v != this && GetParentForm(v) == this && (Loading() || v->CanFocus())))
    throw EInvalidOperation("Cannot focus a disabled or invisible window");
  ActiveControl_ = v;
  if (!Loading() && Active_) SetWindowFocus();
}

void TCustomForm::FocusControl(TWinControl* Control) {
  bool wasActive = Active_;
  SetActiveControl(Control);
  if (!wasActive) SetFocus();
}

void TCustomForm::SetFocus() {
  if (!Active_) {
    if (!(Visible_ && Enabled_)) throw EInvalidOperation("Cannot focus a disabled or invisible window");
    HWND w = Handle();
    SetForegroundWindow(w);
    SetActiveWindow(w);
    if (!Active_) SetActive(true);
  } else {
    SetWindowFocus();
  }
}

bool TCustomForm::SetFocusedControl(TWinControl* Control) {
  int count = ++FocusCount_;
  if (Control != this)
    ActiveControl_ = Control;
  else if (!(ActiveControl_ && ActiveControl_->HandleAllocated() && ActiveControl_->CanFocus()))
    ActiveControl_ = nullptr;  // else the form's own window got the focus on its way to the active
                               // control (an MDI child focused by its client): handed on in WM_SETFOCUS
  if (Screen) {
    Screen->SetActiveForm(this);
    Screen->SetActiveControl(Control);
  }
  if (!Control->ControlState().Contains(csFocusing)) {
    auto alive = AliveToken();
    TControlState st = Control->ControlState();
    Control->SetControlState(st + TControlState{csFocusing});
    auto cleanup = [&] {
      if (*alive) Control->SetControlState(Control->ControlState() - TControlState{csFocusing});
    };
    try {
      // Leave the controls of the old chain that do not contain the new one ...
      while (FocusedControl_ && !FocusedControl_->ContainsControl(Control)) {
        TWinControl* leaving = FocusedControl_;
        leaving->Perform(CM_EXIT);
        if (!*alive || FocusCount_ != count) {
          cleanup();
          return false;
        }
        FocusedControl_ = FocusedControl_ == leaving ? leaving->Parent() : FocusedControl_;
      }
      if (!FocusedControl_) FocusedControl_ = this;
      // ... and enter those down to the new one.
      while (FocusedControl_ != Control) {
        TWinControl* c = Control;
        while (c->Parent() != FocusedControl_) c = c->Parent();
        FocusedControl_ = c;
        c->Perform(CM_ENTER);
        if (!*alive || FocusCount_ != count) {
          cleanup();
          return false;
        }
      }
    } catch (...) {
      cleanup();
      throw;
    }
    cleanup();
    if (Control != this) Control->Perform(CM_UIACTIVATE);
  }
  Perform(CM_FOCUSCHANGED, 0, reinterpret_cast<LPARAM>(Control));
  return true;
}

void TCustomForm::DefocusControl(TWinControl* Control, bool Removing) {
  if (Removing && FocusedControl_ && Control->ContainsControl(FocusedControl_)) FocusedControl_ = Control->Parent();
  if (ActiveControl_ && Control->ContainsControl(ActiveControl_)) {
    ActiveControl_ = nullptr;
    if (Active_ && !IsBeingDestroyed() && Handle_ && Control->HandleAllocated() &&
        (GetFocus() == Control->Handle() || IsChild(Control->Handle(), GetFocus())))
      ::SetFocus(Handle_);
  }
}

void TCustomForm::UpdateActions() {
  if (IsBeingDestroyed()) return;
  auto alive = AliveToken();
  if (Action_) Perform(CM_ACTIONUPDATE, 0, reinterpret_cast<LPARAM>(Action_));
  if (*alive) InitiateChildActions();
}

// ---- MDI

TCustomForm* TCustomForm::ActiveMDIChild() const {
  if (!ClientHandle_) return nullptr;
  HWND w = reinterpret_cast<HWND>(SendMessageA(ClientHandle_, WM_MDIGETACTIVE, 0, 0));
  return dynamic_cast<TCustomForm*>(FindControl(w));
}

int TCustomForm::MDIChildCount() const {
  int n = 0;
  if (!ClientHandle_ || !Screen) return 0;
  for (int i = 0; i < Screen->FormCount(); ++i) {
    TCustomForm* f = Screen->Forms(i);
    if (f->FormStyle() == fsMDIChild && f->HandleAllocated() && GetParent(f->Handle_) == ClientHandle_) ++n;
  }
  return n;
}

TCustomForm* TCustomForm::MDIChildren(int index) const {
  if (ClientHandle_ && Screen) {
    for (int i = 0; i < Screen->FormCount(); ++i) {
      TCustomForm* f = Screen->Forms(i);
      if (f->FormStyle() == fsMDIChild && f->HandleAllocated() && GetParent(f->Handle_) == ClientHandle_) {
        if (index == 0) return f;
        --index;
      }
    }
  }
  RaiseListIndexError(index);
}

void TCustomForm::Tile() {
  if (ClientHandle_)
    SendMessageA(ClientHandle_, WM_MDITILE, TileMode_ == tbHorizontal ? MDITILE_HORIZONTAL : MDITILE_VERTICAL, 0);
}
void TCustomForm::Cascade() {
  if (ClientHandle_) SendMessageA(ClientHandle_, WM_MDICASCADE, 0, 0);
}
void TCustomForm::ArrangeIcons() {
  if (ClientHandle_) SendMessageA(ClientHandle_, WM_MDIICONARRANGE, 0, 0);
}
void TCustomForm::Next() {
  if (ClientHandle_) SendMessageA(ClientHandle_, WM_MDINEXT, 0, 0);
}
void TCustomForm::Previous() {
  if (ClientHandle_) SendMessageA(ClientHandle_, WM_MDINEXT, 0, 1);
}

// ---------------------------------------------------------------------------------------------
// Published properties

static const bool kFormProps = RegisterProperties<TCustomForm, TWinControl>([](auto& p) {
  p.Str("Caption", &TCustomForm::Caption, &TCustomForm::SetCaption);
  p.Ord("BorderStyle", &TCustomForm::BorderStyle, &TCustomForm::SetBorderStyle);
  p.Set("BorderIcons", &TCustomForm::BorderIcons, &TCustomForm::SetBorderIcons,
        {"biSystemMenu", "biMinimize", "biMaximize", "biHelp"});
  p.Ord("FormStyle", &TCustomForm::FormStyle, &TCustomForm::SetFormStyle);
  p.Ord("WindowState", &TCustomForm::WindowState, &TCustomForm::SetWindowState);
  p.Ord("Position", &TCustomForm::Position, &TCustomForm::SetPosition);
  p.Ord("KeyPreview", &TCustomForm::KeyPreview, &TCustomForm::SetKeyPreview);
  p.Obj("Menu", &TCustomForm::Menu, &TCustomForm::SetMenu);
  p.Obj("Icon", &TCustomForm::Icon, &TCustomForm::SetIcon);
  p.Obj("ActiveControl", &TCustomForm::ActiveControl, &TCustomForm::SetActiveControl);
});
