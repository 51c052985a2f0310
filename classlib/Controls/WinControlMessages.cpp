// TWinControl's messages: keys, mouse routing to graphic children, the window procedure, the
// message routes and painting.
#include "classlib/Controls.h"

#include "classlib/Controls/Internal.h"
#include "classlib/Forms.h"
#include "classlib/Hooks.h"
#include "classlib/Menus.h"

using namespace controls_impl;

TWindowHiddenHook WindowControlHiddenHook = nullptr;
TRepaintPendingHook WholeRepaintPendingHook = nullptr;

void TWinControl::KeyDown(std::uint16_t& Key, TShiftState Shift) { OnKeyDown(this, Key, Shift); }
void TWinControl::KeyUp(std::uint16_t& Key, TShiftState Shift) { OnKeyUp(this, Key, Shift); }
void TWinControl::KeyPress(char& Key) { OnKeyPress(this, Key); }
void TWinControl::DoEnter() { OnEnter(this); }
void TWinControl::DoExit() { OnExit(this); }

bool TWinControl::DoKeyDown(TMessage& Message) {
  return DoKeyEvent(Message, &TWinControl::DoKeyDown, &TWinControl::KeyDown);
}

bool TWinControl::DoKeyUp(TMessage& Message) { return DoKeyEvent(Message, &TWinControl::DoKeyUp, &TWinControl::KeyUp); }

// A key going down or up: the form sees it first when it previews keys, then the control's own
// handler, which may swallow it by setting the key to 0. true when the key is used up.
bool TWinControl::DoKeyEvent(TMessage& Message, bool (TWinControl::*FormStep)(TMessage&),
                             void (TWinControl::*Handler)(std::uint16_t&, TShiftState)) {
  auto alive = AliveToken();
  TCustomForm* f = GetParentForm(this);
  if (f && f != this && f->KeyPreview() && (static_cast<TWinControl*>(f)->*FormStep)(Message)) return true;
  if (!*alive) return true;
  std::uint16_t key = static_cast<std::uint16_t>(Message.WParam);
  if (!ControlStyle_.Contains(csNoStdEvents)) {
    (this->*Handler)(key, KeyDataToShiftState(Message.LParam));
    if (!*alive) return true;
    if (key == 0) return true;
  }
  Message.WParam = key;
  return false;
}

bool TWinControl::DoKeyPress(TMessage& Message) {
  auto alive = AliveToken();
  TCustomForm* f = GetParentForm(this);
  if (f && f != this && f->KeyPreview() && f->DoKeyPress(Message)) return true;
  if (!*alive) return true;
  char ch = static_cast<char>(Message.WParam);
  if (!ControlStyle_.Contains(csNoStdEvents)) {
    KeyPress(ch);
    if (!*alive) return true;
    if (ch == 0) return true;
  }
  Message.WParam = static_cast<unsigned char>(ch);
  return false;
}

bool TWinControl::IsMenuKey(const TMessage& Message) {
  if (ComponentState().Contains(csDesigning)) return false;
  TShortCut sc = ShortCut(static_cast<std::uint16_t>(Message.WParam), KeyDataToShiftState(Message.LParam));
  if (sc == scNone) return false;
  // The popup menus of the control and its parents, then the menu of its form; a shortcut of an
  // enabled item runs the item and takes the key.
  auto alive = AliveToken();
  for (TControl* c = this; c; c = c->Parent()) {
    if (auto* popup = dynamic_cast<TMenu*>(c->PopupMenu()); popup && popup->IsShortCut(sc)) return true;
    if (!*alive) return true;
  }
  TCustomForm* form = GetParentForm(this);
  if (auto* menu = form ? dynamic_cast<TMenu*>(form->Menu()) : nullptr; menu && menu->IsShortCut(sc)) return true;
  return !*alive;
}

void TWinControl::UpdateMouseControl(TControl* Target) {
  if (Target == MouseControl_) return;
  TControl* old = MouseControl_;
  MouseControl_ = Target;
  if (old) old->Perform(CM_MOUSELEAVE, 0, reinterpret_cast<LPARAM>(old));
  // The leave handler may have moved the mouse control on (or freed the target).
  if (Target && MouseControl_ == Target) Target->Perform(CM_MOUSEENTER, 0, reinterpret_cast<LPARAM>(Target));
}

bool TWinControl::IsControlMouseMsg(TMessage& Message) {
  TControl* c = nullptr;
  if (GetCapture() == Handle_) {
    if (CaptureControl_ && CaptureControl_->Parent() == this) c = CaptureControl_;
  } else {
    c = ControlAtPos(Point(Message.LParamX(), Message.LParamY()), false);
  }
  if (!c) return false;
  Message.Result = c->Perform(Message.Msg, Message.WParam,
                              PointToLParam(Message.LParamX() - c->Left(), Message.LParamY() - c->Top()));
  return true;
}

void TWinControl::WndProc(TMessage& Message) {
  switch (Message.Msg) {
    case WM_SETFOCUS: {
      TCustomForm* f = GetParentForm(this);
      if (f && !f->SetFocusedControl(this)) return;
      break;
    }
    case WM_KILLFOCUS:
      if (ControlState_.Contains(csFocusing)) return;
      break;
    case WM_SETFONT: WindowFont_ = reinterpret_cast<HFONT>(Message.WParam); break;
    case WM_MOUSEMOVE:
      if (!TrackMouseOver(Message)) return;  // the control went away
      break;
    case WM_MOUSELEAVE:
      // The mouse left the window: the window or its graphic child under the mouse is left.
      if (MouseControl_ == this ||
          (MouseControl_ && !MouseControl_->IsWindowControl() && MouseControl_->Parent() == this))
        UpdateMouseControl(nullptr);
      break;
  }
  if (Message.Msg >= WM_MOUSEFIRST && Message.Msg <= WM_MOUSELAST && Message.Msg != WM_MOUSEWHEEL &&
      Message.Msg != WM_MOUSEHWHEEL) {
    auto alive = AliveToken();
    if (IsControlMouseMsg(Message)) {
      if (*alive && Message.Result == 0 && Handle_)
        DefWindowProcA(Handle_, Message.Msg, Message.WParam, Message.LParam);
      return;
    }
  }
  TControl::WndProc(Message);
}

// Which control the mouse is over (a graphic child or the window itself) becomes the mouse
// control; false when that freed this control.
bool TWinControl::TrackMouseOver(const TMessage& Message) {
  TPoint p = Point(Message.LParamX(), Message.LParamY());
  TControl* target = this;
  if (GetCapture() == Handle_ && CaptureControl_ && CaptureControl_->Parent() == this) {
    target = CaptureControl_->BoundsRect().Contains(p) ? CaptureControl_ : nullptr;
  } else if (!GetClientRect().Contains(p)) {
    target = nullptr;
  } else if (TControl* c = ControlAtPos(p, true)) {
    target = c;
  }
  auto alive = Alive_;
  UpdateMouseControl(target);
  if (!*alive) return false;
  if (target) {
    TRACKMOUSEEVENT tme{sizeof tme, TME_LEAVE, Handle_, 0};
    TrackMouseEvent(&tme);
  }
  return true;
}

void TWinControl::ReflectToChild(TMessage& Message, HWND Child) {
  if (TWinControl* c = Child ? FindControl(Child) : nullptr) {
    Message.Result = c->Perform(CN_BASE + Message.Msg, Message.WParam, Message.LParam);
    return;
  }
  DefaultHandler(Message);
}

void TWinControl::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case WM_COMMAND: ReflectToChild(Message, reinterpret_cast<HWND>(Message.LParam)); return;
    case WM_NOTIFY:
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
    case WM_DELETEITEM:
    case WM_COMPAREITEM:
      if (!Message.LParam) {  // no record to find the child by
        DefaultHandler(Message);
        return;
      }
      break;
    default: break;
  }
  switch (Message.Msg) {
    case WM_NOTIFY: ReflectToChild(Message, reinterpret_cast<NMHDR*>(Message.LParam)->hwndFrom); return;
    case WM_DRAWITEM: WMDrawItem(Message); return;
    case WM_MEASUREITEM: WMMeasureItem(Message); return;
    case WM_DELETEITEM: ReflectToChild(Message, reinterpret_cast<DELETEITEMSTRUCT*>(Message.LParam)->hwndItem); return;
    case WM_COMPAREITEM:
      ReflectToChild(Message, reinterpret_cast<COMPAREITEMSTRUCT*>(Message.LParam)->hwndItem);
      return;
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_CHARTOITEM:
    case WM_VKEYTOITEM:
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
      if (Message.LParam) {
        ReflectToChild(Message, reinterpret_cast<HWND>(Message.LParam));
        return;
      }
      break;
    case CN_CTLCOLORMSGBOX:
    case CN_CTLCOLOREDIT:
    case CN_CTLCOLORLISTBOX:
    case CN_CTLCOLORBTN:
    case CN_CTLCOLORDLG:
    case CN_CTLCOLORSCROLLBAR:
    case CN_CTLCOLORSTATIC: {
      HDC dc = reinterpret_cast<HDC>(Message.WParam);
      ::SetTextColor(dc, ColorToRGB(Font_->Color()));
      ::SetBkColor(dc, ColorToRGB(Brush_->Color()));
      Message.Result = reinterpret_cast<LRESULT>(Brush_->Handle());
      return;
    }
    case CN_KEYDOWN:
    case CN_SYSKEYDOWN: CNKeyDown(Message); return;
    case CN_CHAR:
    case CN_SYSCHAR: CNChar(Message); return;
    default: break;
  }
  if (Message.Msg >= CM_BASE && Message.Msg < CN_BASE) {
    switch (Message.Msg) {
      case CM_ENTER: DoEnter(); return;
      case CM_EXIT: DoExit(); return;
      case CM_FOCUSCHANGED:
      case CM_DIALOGKEY:
      case CM_DIALOGCHAR: Broadcast(Message); return;
      case CM_COLORCHANGED:
        Brush_->SetColor(Color_);
        NotifyControls(CM_PARENTCOLORCHANGED);
        Invalidate();
        return;
      case CM_FONTCHANGED:
        // A change of colour alone leaves the window its font (and the layout of its text).
        if (Handle_ && Font_->Handle() != WindowFont_)
          Perform(WM_SETFONT, reinterpret_cast<WPARAM>(Font_->Handle()), 0);
        NotifyControls(CM_PARENTFONTCHANGED);
        Invalidate();
        if (AutoSize_) AdjustSize();
        return;
      case CM_SHOWHINTCHANGED: NotifyControls(CM_PARENTSHOWHINTCHANGED); return;
      case CM_BIDIMODECHANGED:
        NotifyControls(CM_PARENTBIDIMODECHANGED);
        if (Handle_) RecreateWnd();
        return;
      case CM_CTL3DCHANGED: NotifyControls(CM_PARENTCTL3DCHANGED); return;
      case CM_PARENTCTL3DCHANGED:
        if (ParentCtl3D_ && Parent_) {
          SetCtl3D(Parent_->Ctl3D());
          ParentCtl3D_ = true;
        }
        return;
      case CM_ENABLEDCHANGED:
        if (!Enabled_ && Parent_)
          if (TCustomForm* f = GetParentForm(this)) f->DefocusControl(this, false);
        if (Handle_) EnableWindow(Handle_, Enabled_);
        return;
      case CM_VISIBLECHANGED:
        if (!Visible_ && Parent_)
          if (TCustomForm* f = GetParentForm(this)) f->DefocusControl(this, false);
        UpdateControlState();
        return;
      case CM_SHOWINGCHANGED:
        SetWindowPos(
            Handle_, nullptr, 0, 0, 0, 0,
            SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | (Showing_ ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
        if (!Showing_ && WindowControlHiddenHook) WindowControlHiddenHook(this);
        return;
      case CM_INVALIDATE:
        if (Handle_ && !(WholeRepaintPendingHook && WholeRepaintPendingHook()))
          InvalidateRect(Handle_, nullptr, !ControlStyle_.Contains(csOpaque));
        return;
      case CM_RECREATEWND: CMRecreateWnd(); return;
      case CM_BORDERCHANGED:
        if (Handle_) {
          SetWindowPos(Handle_, nullptr, 0, 0, 0, 0,
                       SWP_NOACTIVATE | SWP_NOZORDER | SWP_NOMOVE | SWP_NOSIZE | SWP_FRAMECHANGED);
          if (Visible_) Invalidate();
        }
        return;
      case CM_CURSORCHANGED: CMCursorChanged(); return;
      default: break;
    }
  }
  if (Message.Msg < CM_BASE) {
    HandleWM(Message);
    return;
  }
  TControl::Dispatch(Message);
}

// Owner-draw records of child windows go to the child as CN_DRAWITEM; menu items are the
// window's own.
void TWinControl::WMDrawItem(TMessage& Message) {
  auto* d = reinterpret_cast<DRAWITEMSTRUCT*>(Message.LParam);
  if (d->CtlType == ODT_MENU)
    DefaultHandler(Message);
  else
    ReflectToChild(Message, d->hwndItem);
}

void TWinControl::WMMeasureItem(TMessage& Message) {
  auto* m = reinterpret_cast<MEASUREITEMSTRUCT*>(Message.LParam);
  if (m->CtlType == ODT_MENU)
    DefaultHandler(Message);
  else
    ReflectToChild(Message, Handle_ ? GetDlgItem(Handle_, static_cast<int>(m->CtlID)) : nullptr);
}

// A key going down in the window (reflected from the message loop): menu keys, the child-key
// notification, then the dialog keys the control does not want itself go to the form. Result 0
// lets the window have the key.
void TWinControl::CNKeyDown(TMessage& Message) {
  Message.Result = 1;
  if (IsMenuKey(Message)) return;
  if (!ComponentState().Contains(csDesigning)) {
    std::uint16_t key = static_cast<std::uint16_t>(Message.WParam);
    if (Perform(CM_CHILDKEY, key, reinterpret_cast<LPARAM>(this)) != 0) return;
    if (Message.Msg == CN_KEYDOWN) {
      LRESULT mask = 0;
      switch (key) {
        case VK_TAB: mask = DLGC_WANTTAB; break;
        case VK_LEFT:
        case VK_RIGHT:
        case VK_UP:
        case VK_DOWN: mask = DLGC_WANTARROWS; break;
        case VK_RETURN:
        case VK_EXECUTE:
        case VK_ESCAPE:
        case VK_CANCEL: mask = DLGC_WANTALLKEYS; break;
      }
      if (mask != 0 && Perform(CM_WANTSPECIALKEY, key) == 0 && (Perform(WM_GETDLGCODE) & mask) == 0) {
        TCustomForm* f = GetParentForm(this);
        if (f && f->Perform(CM_DIALOGKEY, key, Message.LParam) != 0) return;
      }
    }
  }
  Message.Result = 0;
}

// A character the control does not want goes to the form as a dialog character (mnemonics).
void TWinControl::CNChar(TMessage& Message) {
  Message.Result = 1;
  if (!ComponentState().Contains(csDesigning)) {
    bool wantsChars = Message.Msg == CN_CHAR && (Perform(WM_GETDLGCODE) & DLGC_WANTCHARS) != 0;
    if (!wantsChars && !(Message.Msg == CN_SYSCHAR && Message.WParam == VK_SPACE)) {
      TCustomForm* f = GetParentForm(this);
      if (f && f->Perform(CM_DIALOGCHAR, Message.WParam, Message.LParam) != 0) return;
    }
  }
  Message.Result = 0;
}

void TWinControl::CMRecreateWnd() {
  bool wasFocused = Focused();
  Recreating_ = true;
  try {
    DestroyHandle();
    UpdateControlState();
  } catch (...) {
    Recreating_ = false;
    throw;
  }
  Recreating_ = false;
  if (wasFocused && Handle_) ::SetFocus(Handle_);
}

// The cursor changed while the mouse is over the window: it takes the new one at once.
void TWinControl::CMCursorChanged() {
  if (!Handle_ || !Showing_) return;
  POINT p;
  GetCursorPos(&p);
  if (WindowFromPoint(p) == Handle_) SendMessageA(Handle_, WM_SETCURSOR, reinterpret_cast<WPARAM>(Handle_), HTCLIENT);
}

void TWinControl::HandleWM(TMessage& Message) {
  auto alive = AliveToken();
  switch (Message.Msg) {
    case WM_PAINT: WMPaint(Message); return;
    case WM_ERASEBKGND: WMEraseBkgnd(Message); return;
    case WM_PRINTCLIENT: WMPrintClient(Message); return;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      if (!DoKeyDown(Message)) DefaultHandler(Message);
      return;
    case WM_KEYUP:
    case WM_SYSKEYUP:
      if (!DoKeyUp(Message)) DefaultHandler(Message);
      return;
    case WM_CHAR:
      if (!DoKeyPress(Message)) DefaultHandler(Message);
      return;
    case WM_SETCURSOR: WMSetCursor(Message); return;
    case WM_MOUSEWHEEL: WMMouseWheel(Message); return;
    case WM_WINDOWPOSCHANGED:
      DefaultHandler(Message);
      if (!*alive) return;
      UpdateBounds();
      return;
    case WM_SIZE:
      UpdateBounds();
      DefaultHandler(Message);
      if (!*alive) return;
      Realign();
      if (!Loading()) Resize();
      return;
    case WM_NCCALCSIZE:
      DefaultHandler(Message);
      if (BorderWidth_ > 0) {
        RECT* r = reinterpret_cast<RECT*>(Message.LParam);
        InflateRect(r, -BorderWidth_, -BorderWidth_);
      }
      return;
    case WM_NCPAINT: WMNCPaint(Message); return;
    case WM_CAPTURECHANGED: WMCaptureChanged(Message); return;
    case WM_CONTEXTMENU: WMContextMenu(Message); return;
    case WM_NCDESTROY: WMNCDestroy(Message); return;
    default: TControl::Dispatch(Message);
  }
}

void TWinControl::WMEraseBkgnd(TMessage& Message) {
  HDC dc = reinterpret_cast<HDC>(Message.WParam);
  if (ControlStyle_.Contains(csParentBackground) && Parent_ && Parent_->HandleAllocated()) {
    // The parent's background shows through: it erases and paints its client area (its own
    // picture and its graphic children, not its other windows) into our DC at our place.
    auto alive = AliveToken();
    SavedDC saved(dc);
    MoveWindowOrg(dc, -Left_, -Top_);
    Parent_->Perform(WM_ERASEBKGND, Message.WParam, Message.WParam);
    if (*alive) Parent_->Perform(WM_PRINTCLIENT, Message.WParam, PRF_CLIENT);
  } else if (!DoubleBuffered_ || Message.WParam == static_cast<WPARAM>(Message.LParam)) {
    RECT r;
    ::GetClientRect(Handle_, &r);
    FillRect(dc, &r, Brush_->Handle());
  }
  Message.Result = 1;
}

// The client area into the given DC, as a paint with that DC would draw it.
void TWinControl::WMPrintClient(TMessage& Message) {
  if (Message.WParam && (Message.LParam & PRF_CLIENT) && (!(Message.LParam & PRF_CHECKVISIBLE) || Visible_)) {
    auto alive = AliveToken();
    TMessage paint = MakeMessage(WM_PAINT, Message.WParam, 0);
    PaintHandler(paint);
    if (*alive) Message.Result = 0;
    return;
  }
  DefaultHandler(Message);
}

// The cursor over the client area: the screen's, else the one of the graphic child under the
// mouse, else the control's own.
void TWinControl::WMSetCursor(TMessage& Message) {
  if (reinterpret_cast<HWND>(Message.WParam) == Handle_ && LOWORD(Message.LParam) == HTCLIENT) {
    TCursor cur = Screen ? Screen->Cursor() : crDefault;
    if (cur == crDefault) {
      POINT p;
      GetCursorPos(&p);
      ::ScreenToClient(Handle_, &p);
      TControl* c = ControlAtPos(Point(p.x, p.y), false);
      cur = c ? c->Cursor() : Cursor_;
      if (cur == crDefault && c) cur = Cursor_;
    }
    if (cur != crDefault) {
      ::SetCursor(CursorHandle(cur));
      Message.Result = 1;
      return;
    }
  }
  DefaultHandler(Message);
}

void TWinControl::WMMouseWheel(TMessage& Message) {
  auto alive = AliveToken();
  TMessage m = MakeMessage(CM_MOUSEWHEEL, Message.WParam, Message.LParam);
  // The focused control (or the one under the mouse) first, then its parents.
  TControl* target = this;
  if (TCustomForm* f = GetParentForm(this))
    if (f->ActiveControl()) target = f->ActiveControl();
  target->WindowProc(m);
  if (!*alive) return;
  if (m.Result != 0) {
    Message.Result = m.Result;
    return;
  }
  // Nobody took it. A window of a standard class may still scroll with it; a plain child window
  // would only hand it on to its parent window, whose controls have been asked already
  // (CM_MOUSEWHEEL climbs the parent chain), so it ends here.
  if (DefWndProc_ == DefWindowProcA && Parent_ && Parent_->HandleAllocated() && GetParent(Handle_) == Parent_->Handle_)
    return;
  DefaultHandler(Message);
}

// The frame, then the border band (BorderWidth) in the control's colour.
void TWinControl::WMNCPaint(TMessage& Message) {
  auto alive = AliveToken();
  DefaultHandler(Message);
  if (BorderWidth_ <= 0 || !*alive || !Handle_) return;
  WindowDC dc(Handle_);
  RECT wr, cr;
  GetWindowRect(Handle_, &wr);
  ::GetClientRect(Handle_, &cr);
  MapWindowPoints(Handle_, nullptr, reinterpret_cast<POINT*>(&cr), 2);
  OffsetRect(&cr, -wr.left, -wr.top);
  RECT band = cr;
  InflateRect(&band, BorderWidth_, BorderWidth_);
  ExcludeClipRect(dc, cr.left, cr.top, cr.right, cr.bottom);
  FillRect(dc, &band, Brush_->Handle());
}

void TWinControl::WMCaptureChanged(TMessage& Message) {
  if (CaptureControl_ && CaptureControl_->Parent() == this && reinterpret_cast<HWND>(Message.LParam) != Handle_) {
    // The graphic child that held the mouse loses it with this window: it is told, as a window
    // control would be.
    TControl* lost = CaptureControl_;
    CaptureControl_ = nullptr;
    auto alive = Alive_;
    lost->Perform(WM_CAPTURECHANGED, 0, Message.LParam);
    if (!*alive) return;
  }
  DefaultHandler(Message);
}

// A graphic child under the point (it has no window to get the message) is asked first.
void TWinControl::WMContextMenu(TMessage& Message) {
  auto alive = AliveToken();
  const TPoint p{static_cast<short>(LOWORD(Message.LParam)), static_cast<short>(HIWORD(Message.LParam))};
  if (!(p.X == -1 && p.Y == -1) && Handle_) {
    if (TControl* c = ControlAtPos(ScreenToClient(p), false)) {
      Message.Result = c->Perform(WM_CONTEXTMENU, Message.WParam, Message.LParam);
      if (!*alive || Message.Result != 0) return;
    }
  }
  TControl::Dispatch(Message);
}

// The window is gone: the control lets go of it and of the mouse.
void TWinControl::WMNCDestroy(TMessage& Message) {
  auto alive = AliveToken();
  HWND w = Handle_;
  DefaultHandler(Message);
  if (!*alive) return;
  if (w) UnbindControlWindow(w, this);
  if (Handle_ == w) {
    Handle_ = nullptr;
    Showing_ = false;
  }
  if (MouseControl_ && (MouseControl_ == this || MouseControl_->Parent() == this)) MouseControl_ = nullptr;
}

bool TWinControl::DefaultPaintOnly() const { return !ControlState_.Contains(csCustomPaint) && Controls_.empty(); }

void TWinControl::WMPaint(TMessage& Message) {
  if (!DoubleBuffered_ || Message.WParam != 0) {
    if (!DefaultPaintOnly())
      PaintHandler(Message);
    else if (Message.WParam == 0 || DefWndProc_ != DefWindowProcA)
      DefaultHandler(Message);
    // else: the plain default procedure would draw nothing into the given DC and only validate
    // the window.
    return;
  }
  PaintScope dc(Handle_);
  RECT cr;
  ::GetClientRect(Handle_, &cr);
  GdiObject<HBITMAP> bmp(CreateCompatibleBitmap(dc, std::max<LONG>(1, cr.right), std::max<LONG>(1, cr.bottom)));
  MemoryDC mem(dc, bmp);
  Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(mem.Get()), reinterpret_cast<LPARAM>(mem.Get()));
  TMessage m = MakeMessage(WM_PAINT, reinterpret_cast<WPARAM>(mem.Get()), 0);
  WMPaint(m);
  BitBlt(dc, 0, 0, cr.right, cr.bottom, mem, 0, 0, SRCCOPY);
}

void TWinControl::PaintHandler(TMessage& Message) {
  PaintScope dc(Handle_, reinterpret_cast<HDC>(Message.WParam));
  if (Controls_.empty()) {
    PaintWindow(dc);
  } else {
    SavedDC saved(dc);
    bool clip = true;
    for (TControl* c : Controls_) {
      if (c->Visible() && c->ControlStyle().Contains(csOpaque)) {
        if (ExcludeClipRect(dc, c->Left(), c->Top(), c->Left() + c->Width(), c->Top() + c->Height()) == NULLREGION) {
          clip = false;
          break;
        }
      }
    }
    if (clip) PaintWindow(dc);
  }
  PaintControls(dc, nullptr);
}

void TWinControl::PaintWindow(HDC DC) {
  // The plain default procedure draws nothing into a given DC; it would only validate the
  // window (BeginPaint), eating a paint that is still due.
  if (DefWndProc_ == DefWindowProcA) return;
  TMessage m = MakeMessage(WM_PAINT, reinterpret_cast<WPARAM>(DC), 0);
  DefaultHandler(m);
}

void TWinControl::DefaultHandler(TMessage& Message) {
  if (Handle_) {
    if (Message.Msg == WM_CONTEXTMENU && Parent_) {
      Message.Result = Parent_->Perform(Message.Msg, Message.WParam, Message.LParam);
      if (Message.Result != 0) return;
    }
    if (Message.Msg >= CN_BASE && Message.Msg < CN_BASE + 0x400) {
      // Reflected notifications nobody handled: the parent's default answer.
      if (Message.Msg >= CN_CTLCOLORMSGBOX && Message.Msg <= CN_CTLCOLORSTATIC) {
        HWND parent = GetParent(Handle_);
        Message.Result =
            DefWindowProcA(parent ? parent : Handle_, Message.Msg - CN_BASE, Message.WParam, Message.LParam);
      }
      return;
    }
    Message.Result = CallWindowProcA(DefWndProc_, Handle_, Message.Msg, Message.WParam, Message.LParam);
    return;
  }
  TControl::DefaultHandler(Message);
}
