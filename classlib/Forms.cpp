#include "classlib/Forms.h"

#include <algorithm>

#include "classlib/GdiScopes.h"
#include "classlib/core/TypInfo.h"

TMenuHandleHook FormMenuHandleHook = nullptr;
TMenuMessageHook FormMenuMessageHook = nullptr;

namespace {

long LiveForms = 0;
constexpr UINT_PTR kHintShowTimer = 1;
constexpr UINT_PTR kHintHideTimer = 2;

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
      SetPropA(w, "QvControl", this);
    }
    return;
  }
  HMENU menu = FormStyle_ != fsMDIChild ? MenuHandle() : nullptr;
  HWND w = CreateWindowExA(Params.ExStyle, Params.WinClassName.c_str(), Params.Caption.c_str(), Params.Style, Params.X,
                           Params.Y, Params.Width, Params.Height, Params.WndParent,
                           (Params.Style & WS_CHILD) ? nullptr : menu, Params.WindowClass.hInstance, Params.Param);
  if (w && !Handle_) {
    Handle_ = w;
    SetPropA(w, "QvControl", this);
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
      RemovePropA(w, "QvControl");
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
  Canvas_->FreeHandle();
  Canvas_->Lock();
  Canvas_->SetHandle(DC);
  try {
    Paint();
  } catch (...) {
    Canvas_->SetHandle(nullptr);
    Canvas_->Unlock();
    throw;
  }
  Canvas_->SetHandle(nullptr);
  Canvas_->Unlock();
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
      if (FormMenuMessageHook && FormMenuMessageHook(Message)) return;
      break;
    default: break;
  }
  switch (Message.Msg) {
    case CM_SHOWINGCHANGED:
      if (Showing_) {
        DoShow();
        if (!*alive) return;
        ApplyPosition();
        if (FormStyle_ == fsMDIChild && FormState_.Contains(fsCreatedMDIChild)) {
          static const int cmds[] = {SW_SHOWNORMAL, SW_SHOWMINIMIZED, SW_SHOWMAXIMIZED};
          ShowWindow(Handle_, cmds[WindowState_]);
          SendMessageA(GetParent(Handle_), WM_MDIACTIVATE, reinterpret_cast<WPARAM>(Handle_), 0);
        } else if (Parent_ || ParentWindow_) {
          TWinControl::Dispatch(Message);
        } else {
          static const int cmds[] = {SW_SHOWNORMAL, SW_SHOWMINIMIZED, SW_SHOWMAXIMIZED};
          ShowWindow(Handle_, cmds[WindowState_]);
        }
      } else {
        DoHide();
        if (!*alive) return;
        // Hiding the active window hands the activation on to another window.
        if (Handle_) ShowWindow(Handle_, SW_HIDE);
      }
      return;
    case CM_RELEASE: Free(); return;
    case CM_ACTIVATE: Activate(); return;
    case CM_DEACTIVATE: Deactivate(); return;
    case CM_DIALOGKEY:
      if (GetKeyState(VK_MENU) >= 0) {
        switch (Message.WParam) {
          case VK_TAB:
            if (GetKeyState(VK_CONTROL) >= 0) {
              SelectNext(ActiveControl_, GetKeyState(VK_SHIFT) >= 0, true);
              Message.Result = 1;
              return;
            }
            break;
          case VK_LEFT:
          case VK_RIGHT:
          case VK_UP:
          case VK_DOWN:
            if (ActiveControl_ && ActiveControl_->Parent()) {
              ActiveControl_->Parent()->SelectNext(ActiveControl_,
                                                   Message.WParam == VK_RIGHT || Message.WParam == VK_DOWN, false);
              Message.Result = 1;
              return;
            }
            break;
        }
      }
      TWinControl::Dispatch(Message);
      return;
    case WM_ACTIVATE: SetActive(LOWORD(Message.WParam) != WA_INACTIVE); return;
    case WM_MDIACTIVATE:
      DefaultHandler(Message);
      if (!*alive) return;
      if (reinterpret_cast<HWND>(Message.LParam) == Handle_)
        SetActive(true);
      else if (reinterpret_cast<HWND>(Message.WParam) == Handle_)
        SetActive(false);
      return;
    case WM_CLOSE: Close(); return;
    case WM_QUERYENDSESSION: Message.Result = CloseQuery() ? 1 : 0; return;
    case WM_PAINT:
      if (Handle_ && IsIconic(Handle_) && !ClientHandle_) {
        DefaultHandler(Message);
        return;
      }
      ControlState_.Include(csCustomPaint);
      try {
        TWinControl::Dispatch(Message);
      } catch (...) {
        if (*alive) ControlState_.Exclude(csCustomPaint);
        throw;
      }
      if (*alive) ControlState_.Exclude(csCustomPaint);
      return;
    case WM_GETMINMAXINFO: {
      TWinControl::Dispatch(Message);
      if (!*alive) return;
      // The constraints bound the sizes the user (or anyone moving the window) can give it.
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
      return;
    }
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
// THintWindow

THintWindow::THintWindow(TComponent* AOwner) : TCustomControl(AOwner) {
  Color_ = clInfoBk;
  ParentColor_ = false;
  Brush_->SetColor(Color_);
  Visible_ = false;
  Font_->SetColor(clInfoText);
}

void THintWindow::CreateParams(TCreateParams& Params) {
  TCustomControl::CreateParams(Params);
  Params.Style = WS_POPUP | WS_BORDER;
  Params.ExStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
  Params.WndParent = Application ? Application->Handle() : nullptr;
  Params.WindowClass.style |= CS_SAVEBITS;
}

void THintWindow::Paint() {
  TCanvas* c = Canvas();
  RECT r;
  ::GetClientRect(Handle_, &r);
  c->Brush()->SetColor(Color_);
  c->FillRect(FromRECT(r));
  c->Font()->Assign(Font_);
  c->Brush()->SetStyle(bsClear);
  InflateRect(&r, -2, -2);
  std::string text = Caption();
  DrawTextA(c->Handle(), text.c_str(), static_cast<int>(text.size()), &r,
            DrawTextBiDiModeFlags(DT_LEFT | DT_NOPREFIX | DT_WORDBREAK));
  c->Brush()->SetStyle(bsSolid);
}

TRect THintWindow::CalcHintRect(int MaxWidth, const std::string& AHint) {
  RECT r{0, 0, MaxWidth, 0};
  ScreenDC dc;
  SelectedObject font(dc, Font_->Handle());
  DrawTextA(dc, AHint.c_str(), static_cast<int>(AHint.size()), &r, DT_CALCRECT | DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
  return Rect(0, 0, r.right + 6, r.bottom + 2 + 4);
}

void THintWindow::ActivateHint(const TRect& Rect, const std::string& AHint) {
  SetCaption(AHint);
  TRect r = Rect;
  TRect area = Screen ? Screen->DesktopRect() : r;
  if (r.Right > area.Right) r.Offset(area.Right - r.Right, 0);
  if (r.Left < area.Left) r.Offset(area.Left - r.Left, 0);
  if (r.Bottom > area.Bottom) r.Offset(0, area.Bottom - r.Bottom);
  Left_ = r.Left;
  Top_ = r.Top;
  Width_ = r.Width();
  Height_ = r.Height();
  SetWindowPos(Handle(), HWND_TOPMOST, r.Left, r.Top, r.Width(), r.Height(), SWP_SHOWWINDOW | SWP_NOACTIVATE);
  InvalidateRect(Handle_, nullptr, TRUE);
}

void THintWindow::ReleaseHandle() { DestroyHandle(); }

bool THintWindow::IsHintShowing() const { return Handle_ && IsWindowVisible(Handle_); }

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
      if (Message.WParam == kHintShowTimer) {
        StopHintTimer();
        ActivateHint(Mouse->CursorPos());
      } else if (Message.WParam == kHintHideTimer) {
        CancelHint();
      }
      Message.Result = 0;
      return;
    case WM_ACTIVATEAPP:
      if (Message.WParam)
        OnActivate(this);
      else {
        CancelHint();
        OnDeactivate(this);
      }
      return;
    default: return;
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
// TScreen

TScreen::TScreen(TComponent* AOwner) : TComponent(AOwner) {
  MenuFont_ = new TFont();
  HintFont_ = new TFont();
  NONCLIENTMETRICSA ncm{};
  ncm.cbSize = sizeof ncm;
  if (SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof ncm, &ncm, 0)) {
    MenuFont_->SetHandle(static_cast<HFONT>(TrackGdiObject(CreateFontIndirectA(&ncm.lfMenuFont))));
    HintFont_->SetHandle(static_cast<HFONT>(TrackGdiObject(CreateFontIndirectA(&ncm.lfStatusFont))));
  }
  PixelsPerInch_ = GetDeviceCaps(ScreenDC(), LOGPIXELSY);
}

TScreen::~TScreen() {
  delete MenuFont_;
  delete HintFont_;
}

void TScreen::SetCursor(TCursor v) {
  if (Cursor_ == v) return;
  Cursor_ = v;
  if (v != crDefault) {
    ::SetCursor(CursorHandle(v));
    return;
  }
  // Back to the controls' own cursors: the window under the mouse chooses again.
  POINT p;
  GetCursorPos(&p);
  HWND w = WindowFromPoint(p);
  if (w && GetWindowThreadProcessId(w, nullptr) == GetCurrentThreadId()) {
    LRESULT hit = SendMessageA(w, WM_NCHITTEST, 0, MAKELPARAM(p.x, p.y));
    SendMessageA(w, WM_SETCURSOR, reinterpret_cast<WPARAM>(w), MAKELPARAM(LOWORD(hit), WM_MOUSEMOVE));
  } else {
    ::SetCursor(LoadCursorA(nullptr, IDC_ARROW));
  }
}

TRect TScreen::WorkAreaRect() const {
  RECT r{0, 0, Width(), Height()};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &r, 0);
  return FromRECT(r);
}

TRect TScreen::DesktopRect() const {
  return Bounds(GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN),
                GetSystemMetrics(SM_CXVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN));
}

void TScreen::AddForm(TCustomForm* f) { Forms_.push_back(f); }

void TScreen::RemoveForm(TCustomForm* f) {
  auto it = std::find(Forms_.begin(), Forms_.end(), f);
  if (it != Forms_.end()) Forms_.erase(it);
  if (ActiveForm_ == f) SetActiveForm(nullptr);
  if (ActiveControl_ && (ActiveControl_ == f || f->ContainsControl(ActiveControl_))) ActiveControl_ = nullptr;
}

TCustomForm* TScreen::Forms(int index) const {
  if (index < 0 || index >= FormCount()) RaiseListIndexError(index);
  return Forms_[static_cast<size_t>(index)];
}

void TScreen::SetActiveForm(TCustomForm* f) {
  if (f) {
    // The list runs from the form activated last.
    auto it = std::find(Forms_.begin(), Forms_.end(), f);
    if (it != Forms_.end() && it != Forms_.begin()) std::rotate(Forms_.begin(), it, it + 1);
  }
  if (ActiveForm_ == f) return;
  ActiveForm_ = f;
  OnActiveFormChange(this);
}

void TScreen::SetActiveControl(TWinControl* c) {
  if (ActiveControl_ == c) return;
  ActiveControl_ = c;
  OnActiveControlChange(this);
}

// ---------------------------------------------------------------------------------------------
// The globals: made before main, never destroyed (windows of the process go with it).

TApplication* Application = new TApplication(nullptr);
TScreen* Screen = new TScreen(nullptr);

// ---------------------------------------------------------------------------------------------
// Published properties

static const bool kFormProps = RegisterProperties<TCustomForm, TWinControl>([](auto& p) {
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
