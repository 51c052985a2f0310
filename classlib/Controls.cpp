#include "classlib/Controls.h"

#include <algorithm>
#include <map>
#include <utility>

#include "classlib/Forms.h"
#include "classlib/Menus.h"
#include "classlib/core/TypInfo.h"

namespace {

const char* const kControlProp = "QvControl";

thread_local TWinControl* CreationControl = nullptr;
TControl* CaptureControl_ = nullptr;
TControl* MouseControl_ = nullptr;
TControl* DragControl_ = nullptr;
long LiveControls = 0;
UINT NextControlId = 100;

// Window procedure of each window class the library registered, by class atom: windows whose
// control is gone (or never bound) still reach their class's own procedure.
std::map<ATOM, WNDPROC>& ClassProcs() {
  static std::map<ATOM, WNDPROC> procs;
  return procs;
}

WNDPROC ClassProcOf(HWND wnd) {
  ATOM atom = static_cast<ATOM>(GetClassLongPtrA(wnd, GCW_ATOM));
  auto it = ClassProcs().find(atom);
  return it != ClassProcs().end() && it->second ? it->second : DefWindowProcA;
}

std::vector<TControlCanvas*>& CanvasList() {
  static std::vector<TControlCanvas*> list;
  return list;
}

LPARAM PointToLParam(int x, int y) {
  return static_cast<LPARAM>(
      MAKELONG(static_cast<WORD>(static_cast<short>(x)), static_cast<WORD>(static_cast<short>(y))));
}

void MoveWindowOrg(HDC dc, int dx, int dy) {
  POINT p;
  GetWindowOrgEx(dc, &p);
  SetWindowOrgEx(dc, p.x - dx, p.y - dy, nullptr);
}

template <typename T>
void ListRemove(std::vector<T*>& list, T* item) {
  auto it = std::find(list.begin(), list.end(), item);
  if (it != list.end()) list.erase(it);
}

}  // namespace

// ---------------------------------------------------------------------------------------------

HCURSOR CursorHandle(TCursor cursor) {
  LPCSTR id = IDC_ARROW;
  switch (cursor) {
    case crNone: return nullptr;
    case crCross: id = IDC_CROSS; break;
    case crIBeam: id = IDC_IBEAM; break;
    case crSizeNESW: id = IDC_SIZENESW; break;
    case crSizeNS: id = IDC_SIZENS; break;
    case crSizeNWSE: id = IDC_SIZENWSE; break;
    case crSizeWE: id = IDC_SIZEWE; break;
    case crUpArrow: id = IDC_UPARROW; break;
    case crHourGlass: id = IDC_WAIT; break;
    case crNo: id = IDC_NO; break;
    case crAppStart: id = IDC_APPSTARTING; break;
    case crHelp: id = IDC_HELP; break;
    case crHandPoint: id = IDC_HAND; break;
    case crSizeAll: id = IDC_SIZEALL; break;
    default: break;
  }
  return LoadCursorA(nullptr, id);  // shared system cursor, never destroyed
}

TShiftState KeysToShiftState(WPARAM keys) {
  TShiftState s;
  if (keys & MK_SHIFT) s.Include(ssShift);
  if (keys & MK_CONTROL) s.Include(ssCtrl);
  if (keys & MK_LBUTTON) s.Include(ssLeft);
  if (keys & MK_RBUTTON) s.Include(ssRight);
  if (keys & MK_MBUTTON) s.Include(ssMiddle);
  if (GetKeyState(VK_MENU) < 0) s.Include(ssAlt);
  return s;
}

TShiftState KeyboardShiftState() {
  TShiftState s;
  if (GetKeyState(VK_SHIFT) < 0) s.Include(ssShift);
  if (GetKeyState(VK_CONTROL) < 0) s.Include(ssCtrl);
  if (GetKeyState(VK_MENU) < 0) s.Include(ssAlt);
  return s;
}

TShiftState KeyDataToShiftState(LPARAM keyData) {
  TShiftState s;
  if (GetKeyState(VK_SHIFT) < 0) s.Include(ssShift);
  if (GetKeyState(VK_CONTROL) < 0) s.Include(ssCtrl);
  if (keyData & 0x20000000) s.Include(ssAlt);
  return s;
}

void HandleBoundaryException(TObject* Sender) {
  try {
    if (Application) Application->HandleException(Sender);
  } catch (...) {
    // The last line of defence: nothing leaves a callback.
  }
}

// ---------------------------------------------------------------------------------------------
// TSizeConstraints

void TSizeConstraints::SetMinWidth(int v) {
  if (v == Limits_.MinWidth) return;
  Limits_.MinWidth = std::max(0, v);
  if (Limits_.MaxWidth > 0 && Limits_.MinWidth > Limits_.MaxWidth) Limits_.MaxWidth = Limits_.MinWidth;
  Change();
}
void TSizeConstraints::SetMinHeight(int v) {
  if (v == Limits_.MinHeight) return;
  Limits_.MinHeight = std::max(0, v);
  if (Limits_.MaxHeight > 0 && Limits_.MinHeight > Limits_.MaxHeight) Limits_.MaxHeight = Limits_.MinHeight;
  Change();
}
void TSizeConstraints::SetMaxWidth(int v) {
  if (v == Limits_.MaxWidth) return;
  Limits_.MaxWidth = std::max(0, v);
  if (Limits_.MaxWidth > 0 && Limits_.MinWidth > Limits_.MaxWidth) Limits_.MinWidth = Limits_.MaxWidth;
  Change();
}
void TSizeConstraints::SetMaxHeight(int v) {
  if (v == Limits_.MaxHeight) return;
  Limits_.MaxHeight = std::max(0, v);
  if (Limits_.MaxHeight > 0 && Limits_.MinHeight > Limits_.MaxHeight) Limits_.MinHeight = Limits_.MaxHeight;
  Change();
}
void TSizeConstraints::Assign(TPersistent* Source) {
  if (auto* s = dynamic_cast<TSizeConstraints*>(Source)) {
    Limits_ = s->Limits_;
    Change();
    return;
  }
  TPersistent::Assign(Source);
}
void TSizeConstraints::Change() {
  if (Control_) Control_->SetBounds(Control_->Left(), Control_->Top(), Control_->Width(), Control_->Height());
  OnChange(this);
}

// ---------------------------------------------------------------------------------------------
// TControl

TControl::TControl(TComponent* AOwner) : TComponent(AOwner), Alive_(std::make_shared<bool>(true)) {
  ++LiveControls;
  WindowProc = MakeMethod<&TControl::WndProc>(this);
  Constraints_ = new TSizeConstraints(this);
  Font_ = new TFont();
  Font_->OnChange = MakeMethod<&TControl::FontChanged>(this);
  ControlStyle_ = TControlStyle{csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
}

TControl::~TControl() {
  *Alive_ = false;
  delete Font_;
  delete Constraints_;
  --LiveControls;
}

long TControl::LiveCount() { return LiveControls; }

void TControl::BeforeDestruction() {
  Destroying();
  if (MouseControl_ == this) MouseControl_ = nullptr;
  if (CaptureControl_ == this) SetCaptureControl(nullptr);
  if (DragControl_ == this) DragControl_ = nullptr;
  if (Application) Application->ControlDestroyed(this);
  if (Parent_) Parent_->RemoveControl(this);
  if (Action_) {
    Action_->UnRegisterClient(this);
    Action_ = nullptr;
  }
  TComponent::BeforeDestruction();
}

LRESULT TControl::Perform(UINT Msg, WPARAM WParam, LPARAM LParam) {
  TMessage m = MakeMessage(Msg, WParam, LParam);
  WindowProc(m);
  return m.Result;
}

LRESULT TControl::Perform(TMessage& Message) {
  WindowProc(Message);
  return Message.Result;
}

void TControl::WndProc(TMessage& Message) {
  if (Message.Msg >= WM_MOUSEFIRST && Message.Msg <= WM_MOUSELAST && Message.Msg != WM_MOUSEWHEEL &&
      Message.Msg != WM_MOUSEHWHEEL) {
    if (!ControlStyle_.Contains(csDoubleClicks)) {
      switch (Message.Msg) {
        case WM_LBUTTONDBLCLK:
        case WM_RBUTTONDBLCLK:
        case WM_MBUTTONDBLCLK: Message.Msg -= WM_LBUTTONDBLCLK - WM_LBUTTONDOWN; break;
      }
    }
    switch (Message.Msg) {
      case WM_MOUSEMOVE:
        if (Application) Application->HintMouseMessage(this, Message);
        break;
      case WM_LBUTTONDOWN:
      case WM_LBUTTONDBLCLK:
        if (DragMode_ == dmAutomatic) {
          BeginDrag(false);
          return;
        }
        ControlState_.Include(csLButtonDown);
        break;
      case WM_LBUTTONUP: ControlState_.Exclude(csLButtonDown); break;
    }
  }
  Dispatch(Message);
}

void TControl::Dispatch(TMessage& Message) {
  auto alive = AliveToken();
  switch (Message.Msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
      bool dbl = Message.Msg == WM_LBUTTONDBLCLK;
      DefaultHandler(Message);
      if (!*alive) return;
      if (ControlStyle_.Contains(csCaptureMouse)) SetMouseCapture(true);
      if (ControlStyle_.Contains(csClickEvents)) {
        if (dbl)
          DblClick();
        else
          ControlState_.Include(csClicked);
        if (!*alive) return;
      }
      DoMouseDown(Message, mbLeft, dbl ? TShiftState{ssDouble} : TShiftState{});
      return;
    }
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
      DefaultHandler(Message);
      if (!*alive) return;
      DoMouseDown(Message, mbRight, Message.Msg == WM_RBUTTONDBLCLK ? TShiftState{ssDouble} : TShiftState{});
      return;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK:
      DefaultHandler(Message);
      if (!*alive) return;
      DoMouseDown(Message, mbMiddle, Message.Msg == WM_MBUTTONDBLCLK ? TShiftState{ssDouble} : TShiftState{});
      return;
    case WM_LBUTTONUP: {
      DefaultHandler(Message);
      if (!*alive) return;
      if (ControlStyle_.Contains(csCaptureMouse)) SetMouseCapture(false);
      if (DragControl_ == this) {
        EndDrag(true);
        if (!*alive) return;
      }
      if (ControlState_.Contains(csClicked)) {
        ControlState_.Exclude(csClicked);
        if (GetClientRect().Contains(Point(Message.LParamX(), Message.LParamY()))) Click();
        if (!*alive) return;
      }
      DoMouseUp(Message, mbLeft);
      return;
    }
    case WM_RBUTTONUP:
      DefaultHandler(Message);
      if (!*alive) return;
      DoMouseUp(Message, mbRight);
      return;
    case WM_MBUTTONUP:
      DefaultHandler(Message);
      if (!*alive) return;
      DoMouseUp(Message, mbMiddle);
      return;
    case WM_MOUSEMOVE:
      DefaultHandler(Message);
      if (!*alive) return;
      if (!ControlStyle_.Contains(csNoStdEvents))
        MouseMove(KeysToShiftState(Message.WParam), Message.LParamX(), Message.LParamY());
      return;
    case WM_CANCELMODE:
      DefaultHandler(Message);
      if (MouseCapture()) {
        SetMouseCapture(false);
        if (ControlState_.Contains(csLButtonDown)) Perform(WM_LBUTTONUP, 0, static_cast<LPARAM>(0xFFFFFFFF));
      } else {
        ControlState_.Exclude(csLButtonDown);
      }
      return;
    case WM_CONTEXTMENU: {
      TPoint p{static_cast<short>(LOWORD(Message.LParam)), static_cast<short>(HIWORD(Message.LParam))};
      bool handled = false;
      DoContextPopup(p, handled);
      if (!*alive) return;
      if (handled) {
        Message.Result = 1;
        return;
      }
      // The control's own popup menu opens at the point (at the control's top-left corner when
      // the keyboard asked for the menu and gave no point).
      if (PopupMenu_) {
        if (p.X == -1 && p.Y == -1) p = ClientToScreen(TPoint{0, 0});
        if (PopupContextMenu(this, PopupMenu_, p)) {
          if (*alive) Message.Result = 1;
          return;
        }
      }
      DefaultHandler(Message);
      return;
    }
    default:
      if (Message.Msg >= CM_BASE && Message.Msg < CN_BASE) {
        HandleCM(Message);
        return;
      }
      DefaultHandler(Message);
  }
}

void TControl::HandleCM(TMessage& Message) {
  switch (Message.Msg) {
    case CM_VISIBLECHANGED: InvalidateControl(true, Visible_ && ControlStyle_.Contains(csOpaque)); break;
    case CM_ENABLEDCHANGED:
    case CM_COLORCHANGED: Invalidate(); break;
    case CM_FONTCHANGED:
      Invalidate();
      if (AutoSize_) AdjustSize();
      break;
    case CM_TEXTCHANGED:
      if (!IsWindowControl()) Invalidate();
      break;
    case CM_PARENTCOLORCHANGED:
      if (ParentColor_) {
        if (Message.WParam != 0)
          SetColor(static_cast<TColor>(Message.LParam));
        else if (Parent_)
          SetColor(Parent_->Color());
        ParentColor_ = true;
      }
      break;
    case CM_PARENTFONTCHANGED:
      if (ParentFont_) {
        if (Message.WParam != 0)
          SetFont(reinterpret_cast<TFont*>(Message.LParam));
        else if (Parent_)
          SetFont(Parent_->Font());
        ParentFont_ = true;
      }
      break;
    case CM_PARENTSHOWHINTCHANGED:
      if (ParentShowHint_ && Parent_) {
        SetShowHint(Parent_->ShowHint());
        ParentShowHint_ = true;
      }
      break;
    case CM_PARENTBIDIMODECHANGED:
      if (ParentBiDiMode_ && Parent_) {
        SetBiDiMode(Parent_->BiDiMode());
        ParentBiDiMode_ = true;
      }
      break;
    case CM_MOUSEENTER:
    case CM_MOUSELEAVE:
      // The parents hear of it too, with the control that was entered or left in LParam.
      if (Parent_) Parent_->Perform(Message.Msg, Message.WParam, Message.LParam);
      break;
    case CM_HITTEST: Message.Result = HTCLIENT; break;
    case CM_CHANGED: break;
    case CM_ACTIONUPDATE:
      if (Action_) Message.Result = Action_->Update() ? 1 : 0;
      break;
    case CM_MOUSEWHEEL: {
      TPoint p{static_cast<short>(LOWORD(Message.LParam)), static_cast<short>(HIWORD(Message.LParam))};
      int delta = static_cast<short>(HIWORD(Message.WParam));
      if (DoMouseWheel(KeysToShiftState(LOWORD(Message.WParam)), delta, p)) {
        Message.Result = 1;
      } else if (Parent_) {
        Message.Result = Parent_->Perform(CM_MOUSEWHEEL, Message.WParam, Message.LParam);
      }
      break;
    }
    default: DefaultHandler(Message);
  }
}

void TControl::DoMouseDown(TMessage& m, TMouseButton Button, TShiftState Shift) {
  if (ControlStyle_.Contains(csNoStdEvents)) return;
  MouseDown(Button, KeysToShiftState(m.WParam) + Shift, m.LParamX(), m.LParamY());
}

void TControl::DoMouseUp(TMessage& m, TMouseButton Button) {
  if (ControlStyle_.Contains(csNoStdEvents)) return;
  MouseUp(Button, KeysToShiftState(m.WParam), m.LParamX(), m.LParamY());
}

void TControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  OnMouseDown(this, Button, Shift, X, Y);
}
void TControl::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) { OnMouseUp(this, Button, Shift, X, Y); }
void TControl::MouseMove(TShiftState Shift, int X, int Y) { OnMouseMove(this, Shift, X, Y); }

bool TControl::DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) {
  bool handled = false;
  OnMouseWheel(this, Shift, WheelDelta, MousePos, handled);
  return handled;
}

void TControl::Click() {
  if (Action_ && OnClick == TNotifyEvent()) {
    Action_->Execute();
    return;
  }
  OnClick(this);
}

void TControl::DblClick() { OnDblClick(this); }
void TControl::Resize() { OnResize(this); }
void TControl::Changed() { Perform(CM_CHANGED, 0, reinterpret_cast<LPARAM>(this)); }

void TControl::DoContextPopup(TPoint MousePos, bool& Handled) { OnContextPopup(this, MousePos, Handled); }

void TControl::FontChanged(TObject*) {
  ParentFont_ = false;
  Perform(CM_FONTCHANGED);
}

void TControl::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation == opRemove) {
    if (AComponent == PopupMenu_) PopupMenu_ = nullptr;
    if (AComponent == Action_) Action_ = nullptr;
  }
}

void TControl::Loaded() {
  TComponent::Loaded();
  if (Parent_) {
    if (ParentColor_) Perform(CM_PARENTCOLORCHANGED);
    if (ParentFont_) Perform(CM_PARENTFONTCHANGED);
    if (ParentShowHint_) Perform(CM_PARENTSHOWHINTCHANGED);
    if (ParentBiDiMode_) Perform(CM_PARENTBIDIMODECHANGED);
  }
  if (AutoSize_) AdjustSize();
  RequestAlign();
}

void TControl::SetParent(TWinControl* AParent) {
  if (Parent_ == AParent) return;
  if (AParent == this) throw EInvalidOperation("A control cannot have itself as its parent");
  if (Parent_) Parent_->RemoveControl(this);
  if (AParent) {
    AParent->InsertControl(this);
    UpdateAnchorRules();
  }
}

TControl* TControl::GetTopParent() {
  TControl* c = this;
  while (c->Parent_) c = c->Parent_;
  return c;
}

void TControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  TSize s = ConstrainSize(Constraints_->Limits(), AWidth, AHeight);
  AWidth = s.cx;
  AHeight = s.cy;
  if (ALeft == Left_ && ATop == Top_ && AWidth == Width_ && AHeight == Height_) return;
  if ((AWidth != Width_ || AHeight != Height_) && !CanResize(AWidth, AHeight)) {
    AWidth = Width_;
    AHeight = Height_;
    if (ALeft == Left_ && ATop == Top_) return;
  }
  InvalidateControl(Visible_, false);
  Left_ = ALeft;
  Top_ = ATop;
  Width_ = AWidth;
  Height_ = AHeight;
  UpdateAnchorRules();
  Invalidate();
  RequestAlign();
  if (!Loading()) Resize();
}

bool TControl::CanResize(int& NewWidth, int& NewHeight) {
  bool ok = true;
  OnCanResize(this, NewWidth, NewHeight, ok);
  return ok;
}

void TControl::UpdateBoundsRect(const TRect& r) {
  Left_ = r.Left;
  Top_ = r.Top;
  Width_ = r.Width();
  Height_ = r.Height();
  UpdateAnchorRules();
}

void TControl::UpdateAnchorRules() {
  if (!Parent_ || Parent_->InsideAlign_ > 0) return;
  TRect pr = Parent_->GetClientRect();
  AnchorBounds_ = BoundsRect();
  AnchorParentSize_ = TSize{pr.Width(), pr.Height()};
}

TRect TControl::GetClientRect() const { return Rect(0, 0, Width_, Height_); }

void TControl::SetClientSize(int w, int h) {
  TRect c = GetClientRect();
  SetBounds(Left_, Top_, Width_ - c.Width() + w, Height_ - c.Height() + h);
}

TPoint TControl::ClientOrigin() const {
  if (!Parent_) throw EInvalidOperation("Control '" + Name() + "' has no parent window");
  TPoint p = Parent_->ClientOrigin();
  return Point(p.X + Left_, p.Y + Top_);
}

TPoint TControl::ClientToScreen(TPoint p) const {
  TPoint o = ClientOrigin();
  return Point(p.X + o.X, p.Y + o.Y);
}

TPoint TControl::ScreenToClient(TPoint p) const {
  TPoint o = ClientOrigin();
  return Point(p.X - o.X, p.Y - o.Y);
}

TPoint TControl::ClientToParent(TPoint p, TWinControl* AParent) const {
  if (!AParent) AParent = Parent_;
  const TControl* c = this;
  while (c && c != AParent) {
    p.X += c->Left_;
    p.Y += c->Top_;
    c = c->Parent_;
  }
  if (!c) throw EInvalidOperation("Control is not a child of the given parent");
  return p;
}

TPoint TControl::ParentToClient(TPoint p, TWinControl* AParent) const {
  TPoint o = ClientToParent(Point(0, 0), AParent);
  return Point(p.X - o.X, p.Y - o.Y);
}

void TControl::SetAlign(TAlign v) {
  if (Align_ == v) return;
  TAlign old = Align_;
  Align_ = v;
  if (old == alNone) UpdateAnchorRules();
  RequestAlign();
}

void TControl::SetAnchors(TAnchors v) {
  if (Anchors_ == v) return;
  Anchors_ = v;
  UpdateAnchorRules();
}

void TControl::RequestAlign() {
  if (Parent_) Parent_->Realign();
}

void TControl::SetAutoSize(bool v) {
  if (AutoSize_ == v) return;
  AutoSize_ = v;
  if (v) AdjustSize();
}

bool TControl::CanAutoSize(int&, int&) { return true; }

void TControl::AdjustSize() {
  if (!AutoSize_ || Loading()) return;
  int w = Width_, h = Height_;
  if (CanAutoSize(w, h)) SetBounds(Left_, Top_, w, h);
}

void TControl::SetVisible(bool v) {
  if (Visible_ == v) return;
  VisibleChanging();
  Visible_ = v;
  Perform(CM_VISIBLECHANGED, v ? 1 : 0);
  RequestAlign();
}

void TControl::Show() {
  if (Parent_) Parent_->ShowControl(this);
  SetVisible(true);
}

void TControl::Hide() { SetVisible(false); }

bool TControl::Showing() const { return Visible_ && Parent_ && Parent_->Showing(); }

void TControl::SetEnabled(bool v) {
  if (Enabled_ == v) return;
  Enabled_ = v;
  Perform(CM_ENABLEDCHANGED);
}

std::string TControl::GetText() const {
  auto* self = const_cast<TControl*>(this);
  LRESULT len = self->Perform(WM_GETTEXTLENGTH);
  if (len <= 0) return std::string();
  std::string s(static_cast<size_t>(len) + 1, '\0');
  LRESULT got = self->Perform(WM_GETTEXT, s.size(), reinterpret_cast<LPARAM>(s.data()));
  s.resize(static_cast<size_t>(std::max<LRESULT>(0, std::min<LRESULT>(got, len))));
  return s;
}

void TControl::SetText(const std::string& v) {
  if (GetText() == v) return;
  Perform(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(v.c_str()));
  Perform(CM_TEXTCHANGED);
}

void TControl::SetColor(TColor v) {
  if (Color_ == v) return;
  Color_ = v;
  ParentColor_ = false;
  Perform(CM_COLORCHANGED);
}

void TControl::SetParentColor(bool v) {
  if (ParentColor_ == v) return;
  ParentColor_ = v;
  if (Parent_ && v && !ComponentState().Contains(csReading)) Perform(CM_PARENTCOLORCHANGED);
}

void TControl::SetParentFont(bool v) {
  if (ParentFont_ == v) return;
  ParentFont_ = v;
  if (Parent_ && v && !ComponentState().Contains(csReading)) Perform(CM_PARENTFONTCHANGED);
}

void TControl::SetCursor(TCursor v) {
  if (Cursor_ == v) return;
  Cursor_ = v;
  Perform(CM_CURSORCHANGED);
}

void TControl::SetShowHint(bool v) {
  if (ShowHint_ != v) {
    ShowHint_ = v;
    Perform(CM_SHOWHINTCHANGED);
  }
  ParentShowHint_ = false;
}

void TControl::SetParentShowHint(bool v) {
  if (ParentShowHint_ == v) return;
  ParentShowHint_ = v;
  if (Parent_ && v) Perform(CM_PARENTSHOWHINTCHANGED);
}

void TControl::SetPopupMenu(TComponent* v) {
  PopupMenu_ = v;
  if (v) v->FreeNotification(this);
}

void TControl::SetBiDiMode(TBiDiMode v) {
  if (BiDiMode_ != v) {
    BiDiMode_ = v;
    Perform(CM_BIDIMODECHANGED);
  }
  ParentBiDiMode_ = false;
}

void TControl::SetParentBiDiMode(bool v) {
  if (ParentBiDiMode_ == v) return;
  ParentBiDiMode_ = v;
  if (Parent_ && v) Perform(CM_PARENTBIDIMODECHANGED);
}

UINT TControl::DrawTextBiDiModeFlags(UINT Flags) const {
  UINT r = Flags;
  if (UseRightToLeftAlignment()) {
    if ((Flags & (DT_CENTER | DT_RIGHT)) == DT_LEFT)
      r = (r & ~static_cast<UINT>(DT_LEFT)) | DT_RIGHT;
    else if (Flags & DT_RIGHT)
      r &= ~static_cast<UINT>(DT_RIGHT);
  }
  return r | DrawTextBiDiModeFlagsReadingOnly();
}

UINT TControl::DrawTextBiDiModeFlagsReadingOnly() const { return UseRightToLeftReading() ? DT_RTLREADING : 0; }

void TControl::SetAction(TBasicAction* v) {
  if (Action_ == v) return;
  if (Action_) Action_->UnRegisterClient(this);
  Action_ = v;
  if (v) {
    v->RegisterClient(this);
    v->FreeNotification(this);
    ActionChange(v, Loading());
  }
}

void TControl::ActionChange(TObject* Sender, bool CheckDefaults) {
  auto* a = dynamic_cast<TCustomAction*>(Sender);
  if (!a) return;
  if (!CheckDefaults || Caption().empty()) SetCaption(a->Caption());
  if (!CheckDefaults || Enabled_) SetEnabled(a->Enabled());
  if (!CheckDefaults || Hint_.empty()) SetHint(a->Hint());
  if (!CheckDefaults || Visible_) SetVisible(a->Visible());
}

void TControl::BeginDrag(bool Immediate, int) {
  (void)Immediate;
  if (DragControl_) return;
  DragControl_ = this;
  OnStartDrag(this);
  SetMouseCapture(true);
}

void TControl::EndDrag(bool Drop) {
  if (DragControl_ != this) return;
  DragControl_ = nullptr;
  auto alive = AliveToken();
  SetMouseCapture(false);
  TPoint pos = Mouse->CursorPos();
  TControl* target = Drop ? FindDragTarget(pos, false) : nullptr;
  TPoint tp{};
  if (target) {
    tp = target->ScreenToClient(pos);
    bool accept = target->OnDragOver.Assigned();
    target->OnDragOver(target, this, tp.X, tp.Y, accept);
    if (accept)
      target->OnDragDrop(target, this, tp.X, tp.Y);
    else
      target = nullptr;
  }
  if (*alive) OnEndDrag(this, target, tp.X, tp.Y);
}

bool TControl::Dragging() const { return DragControl_ == this; }

void TControl::InvalidateControl(bool IsVisible, bool IsOpaque) {
  if (!IsVisible || !Parent_ || !Parent_->HandleAllocated()) return;
  RECT r = {Left_, Top_, Left_ + Width_, Top_ + Height_};
  InvalidateRect(Parent_->Handle(), &r, !(IsOpaque || Parent_->ControlStyle().Contains(csOpaque)));
}

void TControl::Invalidate() { InvalidateControl(Visible_, ControlStyle_.Contains(csOpaque)); }

void TControl::Update() {
  if (Parent_) Parent_->Update();
}

void TControl::Repaint() {
  if (!Visible_ || !Parent_ || !Parent_->HandleAllocated()) return;
  if (ControlStyle_.Contains(csOpaque)) {
    ClientDC dc(Parent_->Handle());
    SavedDC saved(dc);
    IntersectClipRect(dc, Left_, Top_, Left_ + Width_, Top_ + Height_);
    Parent_->PaintControls(dc, this);
  } else {
    Invalidate();
    Update();
  }
}

void TControl::SetZOrder(bool TopMost) {
  if (!Parent_) return;
  auto& list = Parent_->Controls_;
  auto it = std::find(list.begin(), list.end(), this);
  if (it == list.end()) return;
  list.erase(it);
  if (TopMost)
    list.push_back(this);
  else
    list.insert(list.begin(), this);
  InvalidateControl(Visible_, true);
}

bool TControl::MouseCapture() const { return GetCaptureControl() == this; }

void TControl::SetMouseCapture(bool v) {
  if (MouseCapture() == v) return;
  SetCaptureControl(v ? this : nullptr);
}

std::string TControl::GetShortHint(const std::string& hint) {
  auto p = hint.find('|');
  return p == std::string::npos ? hint : hint.substr(0, p);
}

// ---------------------------------------------------------------------------------------------
// Global helpers

TWinControl* FindControl(HWND Wnd) {
  if (!Wnd) return nullptr;
  return static_cast<TWinControl*>(GetPropA(Wnd, kControlProp));
}

TWinControl* FindVCLWindow(TPoint Pos) {
  HWND w = WindowFromPoint(POINT{Pos.X, Pos.Y});
  while (w) {
    if (TWinControl* c = FindControl(w)) return c;
    w = GetParent(w);
  }
  return nullptr;
}

TControl* FindDragTarget(TPoint Pos, bool AllowDisabled) {
  TWinControl* w = FindVCLWindow(Pos);
  if (!w) return nullptr;
  TControl* c = w->ControlAtPos(w->ScreenToClient(Pos), AllowDisabled);
  return c ? c : w;
}

TControl* GetCaptureControl() {
  TControl* r = FindControl(GetCapture());
  if (r && CaptureControl_ && CaptureControl_->Parent() == r) r = CaptureControl_;
  return r;
}

void SetCaptureControl(TControl* Control) {
  CaptureControl_ = nullptr;
  ReleaseCapture();
  if (!Control) return;
  if (!Control->IsWindowControl()) {
    if (!Control->Parent()) return;
    CaptureControl_ = Control;
    Control = Control->Parent();
  }
  SetCapture(static_cast<TWinControl*>(Control)->Handle());
}

TControl* MouseControl() { return MouseControl_; }

TCustomForm* GetParentForm(TControl* Control) {
  if (!Control) return nullptr;
  TControl* top = Control->GetTopParent();
  return dynamic_cast<TCustomForm*>(top);
}

TCustomForm* ValidParentForm(TControl* Control) {
  TCustomForm* f = GetParentForm(Control);
  if (!f) throw EInvalidOperation("Control '" + (Control ? Control->Name() : std::string()) + "' has no parent form");
  return f;
}

// ---------------------------------------------------------------------------------------------
// The window procedure of every control window.

LRESULT CALLBACK StdWndProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
  TWinControl* c = FindControl(Wnd);
  if (!c && CreationControl) {
    c = CreationControl;
    CreationControl = nullptr;
    c->Handle_ = Wnd;
    SetPropA(Wnd, kControlProp, c);
  }
  if (!c) return CallWindowProcA(ClassProcOf(Wnd), Wnd, Msg, WParam, LParam);
  TMessage m = MakeMessage(Msg, WParam, LParam);
  try {
    c->WindowProc(m);
  } catch (...) {
    HandleBoundaryException(c);
  }
  return m.Result;
}

// ---------------------------------------------------------------------------------------------
// TWinControl

TWinControl::TWinControl(TComponent* AOwner) : TControl(AOwner) {
  Brush_ = new TBrush();
  Brush_->SetColor(Color_);
}

TWinControl::~TWinControl() { delete Brush_; }

void TWinControl::BeforeDestruction() {
  Destroying();
  if (Parent_) {
    if (TCustomForm* f = GetParentForm(this)) f->DefocusControl(this, true);
  }
  if (Handle_) DestroyWindowHandle();
  while (ControlCount() > 0) {
    TControl* c = Controls(ControlCount() - 1);
    Remove(c);
    c->Free();
  }
  TControl::BeforeDestruction();
}

HWND TWinControl::Handle() {
  HandleNeeded();
  return Handle_;
}

void TWinControl::HandleNeeded() {
  if (Handle_) return;
  if (Parent_) Parent_->HandleNeeded();
  CreateHandle();
}

void TWinControl::SetParentWindow(HWND v) {
  if (ParentWindow_ == v) return;
  if (!Parent_) {
    if (Handle_ && !v) DestroyHandle();
    ParentWindow_ = v;
    if (Handle_ && v) ::SetParent(Handle_, v);
    UpdateControlState();
  } else {
    ParentWindow_ = v;
  }
}

void TWinControl::CreateParams(TCreateParams& Params) {
  Params = TCreateParams{};
  Params.Caption = Text_;
  Params.Style = WS_CHILD | WS_CLIPSIBLINGS;
  if (UseRightToLeftReading()) Params.ExStyle |= WS_EX_RTLREADING;
  if (UseRightToLeftScrollBar()) Params.ExStyle |= WS_EX_LEFTSCROLLBAR;
  if (UseRightToLeftAlignment()) Params.ExStyle |= WS_EX_RIGHT;
  if (ControlStyle_.Contains(csAcceptsControls)) {
    Params.Style |= WS_CLIPCHILDREN;
    Params.ExStyle |= WS_EX_CONTROLPARENT;
  }
  if (!Enabled_) Params.Style |= WS_DISABLED;
  if (TabStop_) Params.Style |= WS_TABSTOP;
  Params.X = Left_;
  Params.Y = Top_;
  Params.Width = Width_;
  Params.Height = Height_;
  Params.WndParent = Parent_ ? Parent_->Handle() : ParentWindow_;
  Params.WindowClass.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
  Params.WindowClass.lpfnWndProc = DefWindowProcA;
  Params.WindowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  Params.WindowClass.hbrBackground = nullptr;
  Params.WindowClass.hInstance = GetModuleHandleA(nullptr);
  Params.WinClassName = ClassName();
}

void TWinControl::CreateSubClass(TCreateParams& Params, const char* ControlClassName) {
  if (!ControlClassName) return;
  HINSTANCE save = Params.WindowClass.hInstance;
  WNDCLASSA wc{};
  if (!GetClassInfoA(save, ControlClassName, &wc) && !GetClassInfoA(nullptr, ControlClassName, &wc)) {
    throw EOSError(std::string("Window class \"") + ControlClassName + "\" is not registered", GetLastError());
  }
  Params.WindowClass = wc;
  Params.WindowClass.hInstance = save;
  Params.WindowClass.style =
      (wc.style & ~static_cast<UINT>(CS_OWNDC | CS_CLASSDC | CS_PARENTDC | CS_GLOBALCLASS)) | CS_VREDRAW | CS_HREDRAW;
}

void TWinControl::CreateWnd() {
  TCreateParams p;
  CreateParams(p);
  if (!p.WndParent && (p.Style & WS_CHILD)) throw EInvalidOperation("Control '" + Name() + "' has no parent window");
  DefWndProc_ = p.WindowClass.lpfnWndProc ? p.WindowClass.lpfnWndProc : DefWindowProcA;
  WNDCLASSA existing{};
  bool registered = GetClassInfoA(p.WindowClass.hInstance, p.WinClassName.c_str(), &existing);
  if (!registered || existing.lpfnWndProc != StdWndProc) {
    if (registered) UnregisterClassA(p.WinClassName.c_str(), p.WindowClass.hInstance);
    WNDCLASSA wc = p.WindowClass;
    wc.lpfnWndProc = StdWndProc;
    wc.lpszClassName = p.WinClassName.c_str();
    wc.lpszMenuName = nullptr;
    ATOM atom = RegisterClassA(&wc);
    if (!atom) throw EOSError("Cannot register window class " + p.WinClassName, GetLastError());
    ClassProcs()[atom] = DefWndProc_;
  }
  // The first message of the new window binds it to this control. Creations nest (a hook may
  // make another control's window before this one's first message): the outer one is put back.
  TWinControl* outer = CreationControl;
  CreationControl = this;
  try {
    CreateWindowHandle(p);
  } catch (...) {
    CreationControl = outer;
    throw;
  }
  CreationControl = outer;
  if (!Handle_) throw EOSError("Cannot create window of class " + p.WinClassName, GetLastError());
  Text_.clear();
  UpdateBounds();
  Perform(WM_SETFONT, reinterpret_cast<WPARAM>(Font_->Handle()), 1);
  if (AutoSize_) AdjustSize();
}

void TWinControl::CreateWindowHandle(const TCreateParams& Params) {
  HMENU id = nullptr;
  if (Params.Style & WS_CHILD) id = reinterpret_cast<HMENU>(static_cast<UINT_PTR>(NextControlId++));
  HWND w = CreateWindowExA(Params.ExStyle, Params.WinClassName.c_str(), Params.Caption.c_str(), Params.Style, Params.X,
                           Params.Y, Params.Width, Params.Height, Params.WndParent, id, Params.WindowClass.hInstance,
                           Params.Param);
  if (w && !Handle_) {
    // No message reached the window during creation (cannot happen with the system's windows,
    // but a foreign hook may have swallowed them): bind it now.
    Handle_ = w;
    SetPropA(w, kControlProp, this);
  }
}

void TWinControl::CreateHandle() {
  if (Handle_) return;
  ControlState_.Include(csCreating);
  try {
    CreateWnd();
  } catch (...) {
    ControlState_.Exclude(csCreating);
    throw;
  }
  ControlState_.Exclude(csCreating);
  if (Parent_) {
    // Keep the window's place among its siblings as in WinControls_ (bottom first): right below
    // the next one up that has a window, or on top. The system puts a new child window at the
    // bottom, so it is always placed.
    auto& list = Parent_->WinControls_;
    auto it = std::find(list.begin(), list.end(), this);
    HWND after = HWND_TOP;
    for (auto jt = it == list.end() ? it : it + 1; jt != list.end(); ++jt) {
      if ((*jt)->HandleAllocated()) {
        after = (*jt)->Handle_;
        break;
      }
    }
    SetWindowPos(Handle_, after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
  for (int i = 0; i < ControlCount(); ++i) Controls(i)->UpdateAnchorRules();
}

void TWinControl::DestroyWnd() {
  Text_ = GetText();
  DestroyWindowHandle();
}

void TWinControl::DestroyWindowHandle() {
  ControlState_.Include(csDestroyingHandle);
  HWND w = Handle_;
  for (TControlCanvas* cc : std::vector<TControlCanvas*>(CanvasList())) {
    if (cc->Control() == this || (cc->Control() && cc->Control()->Parent() == this)) cc->FreeHandle();
  }
  DestroyWindow(w);
  ControlState_.Exclude(csDestroyingHandle);
  if (Handle_ == w) {
    // The window went away without WM_NCDESTROY reaching us (a foreign procedure ate it).
    RemovePropA(w, kControlProp);
    Handle_ = nullptr;
    Showing_ = false;
  }
}

void TWinControl::DestroyHandle() {
  if (!Handle_) return;
  for (TWinControl* c : WinControls_) c->DestroyHandle();
  DestroyWnd();
}

void TWinControl::RecreateWnd() {
  if (Handle_) Perform(CM_RECREATEWND);
}

void TWinControl::UpdateControlState() {
  TControl* c = this;
  while (c->Parent()) {
    c = c->Parent();
    if (!c->Showing()) return;
  }
  if (dynamic_cast<TCustomForm*>(c) || static_cast<TWinControl*>(c)->ParentWindow_) UpdateShowing();
}

void TWinControl::UpdateShowing() {
  bool show = Visible_ && !ControlState_.Contains(csReadingState);
  if (show) {
    if (!Handle_) CreateHandle();
    for (TWinControl* c : std::vector<TWinControl*>(WinControls_)) c->UpdateShowing();
  }
  if (Handle_ && Showing_ != show) {
    Showing_ = show;
    try {
      Perform(CM_SHOWINGCHANGED);
    } catch (...) {
      Showing_ = !show;
      throw;
    }
    if (!show)
      for (TWinControl* c : std::vector<TWinControl*>(WinControls_)) c->UpdateShowing();
  }
}

void TWinControl::UpdateBounds() {
  if (!Handle_) return;
  RECT r;
  GetWindowRect(Handle_, &r);
  if (GetWindowLongPtrA(Handle_, GWL_STYLE) & WS_CHILD) {
    HWND parent = GetParent(Handle_);
    if (parent) MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  }
  TRect nr = FromRECT(r);
  if (nr != BoundsRect()) UpdateBoundsRect(nr);
}

TControl* TWinControl::Controls(int index) const {
  int n = static_cast<int>(Controls_.size());
  if (index < 0 || index >= ControlCount()) RaiseListIndexError(index);
  if (index < n) return Controls_[index];
  return WinControls_[index - n];
}

void TWinControl::Insert(TControl* AControl) {
  if (auto* w = dynamic_cast<TWinControl*>(AControl)) {
    WinControls_.push_back(w);
    TabList_.push_back(w);
  } else {
    Controls_.push_back(AControl);
  }
  AControl->Parent_ = this;
}

void TWinControl::Remove(TControl* AControl) {
  if (auto* w = dynamic_cast<TWinControl*>(AControl)) {
    ListRemove(TabList_, w);
    ListRemove(WinControls_, w);
  } else {
    ListRemove(Controls_, AControl);
  }
  AControl->Parent_ = nullptr;
}

void TWinControl::InsertControl(TControl* AControl) {
  Perform(CM_CONTROLLISTCHANGE, reinterpret_cast<WPARAM>(AControl), 1);
  Insert(AControl);
  if (!AControl->ComponentState().Contains(csReading)) {
    AControl->Perform(CM_PARENTCOLORCHANGED);
    AControl->Perform(CM_PARENTFONTCHANGED);
    AControl->Perform(CM_PARENTSHOWHINTCHANGED);
    AControl->Perform(CM_PARENTBIDIMODECHANGED);
    if (auto* w = dynamic_cast<TWinControl*>(AControl)) {
      w->Perform(CM_PARENTCTL3DCHANGED);
      w->UpdateControlState();
    } else if (HandleAllocated()) {
      AControl->Invalidate();
    }
    Realign();
  }
  Perform(CM_CONTROLCHANGE, reinterpret_cast<WPARAM>(AControl), 1);
}

void TWinControl::RemoveControl(TControl* AControl) {
  Perform(CM_CONTROLCHANGE, reinterpret_cast<WPARAM>(AControl), 0);
  if (auto* w = dynamic_cast<TWinControl*>(AControl)) {
    if (TCustomForm* f = GetParentForm(this)) f->DefocusControl(w, true);
    w->DestroyHandle();
  } else if (HandleAllocated()) {
    AControl->InvalidateControl(AControl->Visible(), false);
  }
  if (MouseControl_ == AControl) MouseControl_ = nullptr;
  if (CaptureControl_ == AControl) SetCaptureControl(nullptr);
  Remove(AControl);
  Perform(CM_CONTROLLISTCHANGE, reinterpret_cast<WPARAM>(AControl), 0);
  Realign();
}

bool TWinControl::ContainsControl(TControl* Control) const {
  while (Control && Control != this) Control = Control->Parent();
  return Control == this;
}

TControl* TWinControl::ControlAtPos(TPoint Pos, bool AllowDisabled, bool AllowWinControls) const {
  auto hits = [&](TControl* c) {
    if (!c->Visible() || !(c->Enabled() || AllowDisabled)) return false;
    if (!c->BoundsRect().Contains(Pos)) return false;
    return c->Perform(CM_HITTEST, 0, PointToLParam(Pos.X - c->Left(), Pos.Y - c->Top())) != 0;
  };
  if (AllowWinControls) {
    for (auto it = WinControls_.rbegin(); it != WinControls_.rend(); ++it)
      if (hits(*it)) return *it;
  }
  for (auto it = Controls_.rbegin(); it != Controls_.rend(); ++it)
    if (hits(*it)) return *it;
  return nullptr;
}

void TWinControl::Broadcast(TMessage& Message) {
  for (int i = 0; i < ControlCount(); ++i) {
    TControl* c = Controls(i);
    c->WindowProc(Message);
    if (Message.Result != 0) return;
  }
}

void TWinControl::InitiateChildActions() {
  // Action handlers may free controls: walk a snapshot and skip those gone meanwhile.
  std::vector<std::pair<TControl*, std::shared_ptr<bool>>> list;
  for (int i = 0; i < ControlCount(); ++i) list.emplace_back(Controls(i), Controls(i)->Alive_);
  for (auto& [c, alive] : list) {
    if (!*alive || c->IsBeingDestroyed()) continue;
    if (c->Action_) c->Perform(CM_ACTIONUPDATE, 0, reinterpret_cast<LPARAM>(c->Action_));
    if (*alive && c->IsWindowControl()) static_cast<TWinControl*>(c)->InitiateChildActions();
  }
}

void TWinControl::NotifyControls(UINT Msg) {
  TMessage m = MakeMessage(Msg);
  Broadcast(m);
}

void TWinControl::PaintControls(HDC DC, TControl* First) {
  size_t start = 0;
  if (First) {
    auto it = std::find(Controls_.begin(), Controls_.end(), First);
    if (it != Controls_.end()) start = static_cast<size_t>(it - Controls_.begin());
  }
  std::vector<TControl*> list(Controls_.begin() + static_cast<std::ptrdiff_t>(start), Controls_.end());
  for (TControl* c : list) {
    if (!c->Visible()) continue;
    RECT r = {c->Left(), c->Top(), c->Left() + c->Width(), c->Top() + c->Height()};
    if (!RectVisible(DC, &r)) continue;
    SavedDC saved(DC);
    MoveWindowOrg(DC, c->Left(), c->Top());
    IntersectClipRect(DC, 0, 0, c->Width(), c->Height());
    c->Perform(WM_PAINT, reinterpret_cast<WPARAM>(DC), 0);
  }
}

void TWinControl::PaintTo(HDC DC, int X, int Y) {
  SavedDC saved(DC);
  MoveWindowOrg(DC, X, Y);
  IntersectClipRect(DC, 0, 0, Width_, Height_);
  TMessage e = MakeMessage(WM_ERASEBKGND, reinterpret_cast<WPARAM>(DC), reinterpret_cast<LPARAM>(DC));
  WindowProc(e);
  TMessage p = MakeMessage(WM_PAINT, reinterpret_cast<WPARAM>(DC), 0);
  WindowProc(p);
  for (TWinControl* c : WinControls_)
    if (c->Visible()) c->PaintTo(DC, c->Left(), c->Top());
}

void TWinControl::EnableAlign() {
  if (AlignLevel_ > 0) --AlignLevel_;
  if (AlignLevel_ == 0 && AlignPending_) {
    AlignPending_ = false;
    Realign();
  }
}

void TWinControl::Realign() {
  if (AlignLevel_ > 0 || InsideAlign_ > 0) {
    if (AlignLevel_ > 0) AlignPending_ = true;
    return;
  }
  if (IsBeingDestroyed()) return;
  TRect r = GetClientRect();
  AdjustClientRect(r);
  AlignControls(nullptr, r);
}

void TWinControl::AdjustClientRect(TRect&) {}

void TWinControl::AlignControls(TControl*, TRect& Rect) {
  std::vector<TControl*> all;
  for (int i = 0; i < ControlCount(); ++i) all.push_back(Controls(i));
  bool any = false;
  std::vector<TAlignItem> items;
  for (TControl* c : all) {
    TAlignItem it;
    it.Align = c->Align_;
    it.Anchors = c->Anchors_;
    it.Visible = c->Visible_;
    it.Bounds = c->BoundsRect();
    it.AnchorBounds = c->AnchorBounds_;
    it.AnchorParentSize = c->AnchorParentSize_;
    it.Limits = c->Constraints_->Limits();
    if (it.Align != alNone || it.Anchors != DefaultAnchors) any = true;
    items.push_back(it);
  }
  if (!any) return;
  TRect client = GetClientRect();
  TRect rest = Rect;
  std::vector<TRect> out = AlignItems(items, Rect, TSize{client.Width(), client.Height()}, &rest);
  Rect = rest;  // what the aligned children left
  ++InsideAlign_;
  try {
    for (size_t i = 0; i < all.size(); ++i)
      if (out[i] != all[i]->BoundsRect()) all[i]->SetBounds(out[i].Left, out[i].Top, out[i].Width(), out[i].Height());
  } catch (...) {
    --InsideAlign_;
    throw;
  }
  --InsideAlign_;
}

void TWinControl::RequestAlign() { TControl::RequestAlign(); }

void TWinControl::GetTabOrderList(std::vector<TWinControl*>& List) {
  for (TWinControl* c : TabList_) {
    List.push_back(c);
    c->GetTabOrderList(List);
  }
}

TWinControl* TWinControl::FindNextControl(TWinControl* CurControl, bool GoForward, bool CheckTabStop,
                                          bool CheckParent) {
  std::vector<TWinControl*> list;
  GetTabOrderList(list);
  if (list.empty()) return nullptr;
  int n = static_cast<int>(list.size());
  int start = -1;
  for (int i = 0; i < n; ++i)
    if (list[i] == CurControl) start = i;
  if (start < 0) start = GoForward ? n - 1 : 0;
  int i = start;
  for (int k = 0; k < n; ++k) {
    i = GoForward ? (i + 1) % n : (i - 1 + n) % n;
    TWinControl* c = list[i];
    if ((!CheckTabStop || c->TabStop()) && (!CheckParent || c->Parent() == this) && c->CanFocus()) return c;
    if (i == start) break;
  }
  return nullptr;
}

void TWinControl::SelectNext(TWinControl* CurControl, bool GoForward, bool CheckTabStop) {
  TWinControl* c = FindNextControl(CurControl, GoForward, CheckTabStop, !CheckTabStop);
  if (c) c->SetFocus();
}

bool TWinControl::Focused() const { return Handle_ && GetFocus() == Handle_; }

bool TWinControl::CanFocus() const {
  TCustomForm* f = GetParentForm(const_cast<TWinControl*>(this));
  if (!f) return Visible_ && Enabled_;
  // Visible and enabled up to the form; the form itself may still be hidden (a form names its
  // active control before it is shown).
  for (const TControl* c = this; c != f; c = c->Parent())
    if (!c->Visible() || !c->Enabled()) return false;
  return true;
}

void TWinControl::SetFocus() {
  if (TCustomForm* f = GetParentForm(this))
    f->FocusControl(this);
  else if (ParentWindow_)
    ::SetFocus(Handle());
  else
    ValidParentForm(this);
}

void TWinControl::SetTabStop(bool v) {
  if (TabStop_ == v) return;
  TabStop_ = v;
  if (Handle_) {
    LONG_PTR s = GetWindowLongPtrA(Handle_, GWL_STYLE);
    SetWindowLongPtrA(Handle_, GWL_STYLE, v ? (s | WS_TABSTOP) : (s & ~static_cast<LONG_PTR>(WS_TABSTOP)));
  }
  Perform(CM_TABSTOPCHANGED);
}

int TWinControl::TabOrder() const {
  if (!Parent_) return -1;
  auto& l = Parent_->TabList_;
  auto it = std::find(l.begin(), l.end(), this);
  return it == l.end() ? -1 : static_cast<int>(it - l.begin());
}

void TWinControl::SetTabOrder(int v) {
  if (!Parent_) return;
  auto& l = Parent_->TabList_;
  ListRemove(l, this);
  if (v < 0 || v > static_cast<int>(l.size())) v = static_cast<int>(l.size());
  l.insert(l.begin() + v, this);
}

void TWinControl::SetCtl3D(bool v) {
  if (Ctl3D_ != v) {
    Ctl3D_ = v;
    Perform(CM_CTL3DCHANGED);
  }
  ParentCtl3D_ = false;
}

void TWinControl::SetParentCtl3D(bool v) {
  if (ParentCtl3D_ == v) return;
  ParentCtl3D_ = v;
  if (Parent_ && v) Perform(CM_PARENTCTL3DCHANGED);
}

void TWinControl::SetBorderWidth(int v) {
  if (v < 0) v = 0;
  if (BorderWidth_ == v) return;
  BorderWidth_ = v;
  Perform(CM_BORDERCHANGED);
}

void TWinControl::SetParentBackground(bool v) {
  if (ParentBackground() == v) return;
  ControlStyle_.Set(csParentBackground, v);
  Invalidate();
}

TRect TWinControl::GetClientRect() const {
  if (Handle_) {
    RECT r;
    ::GetClientRect(Handle_, &r);
    return FromRECT(r);
  }
  return TControl::GetClientRect();
}

TPoint TWinControl::ClientOrigin() const {
  POINT p{0, 0};
  HWND w = const_cast<TWinControl*>(this)->Handle();
  ::ClientToScreen(w, &p);
  return Point(p.x, p.y);
}

void TWinControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  TSize s = ConstrainSize(Constraints_->Limits(), AWidth, AHeight);
  AWidth = s.cx;
  AHeight = s.cy;
  if (ALeft == Left_ && ATop == Top_ && AWidth == Width_ && AHeight == Height_) return;
  if ((AWidth != Width_ || AHeight != Height_) && !CanResize(AWidth, AHeight)) {
    AWidth = Width_;
    AHeight = Height_;
  }
  if (Handle_ && !IsIconic(Handle_)) {
    SetWindowPos(Handle_, nullptr, ALeft, ATop, AWidth, AHeight, SWP_NOZORDER | SWP_NOACTIVATE);
    // WM_WINDOWPOSCHANGED took the new bounds; a window that refused them keeps its own.
  } else {
    bool resized = AWidth != Width_ || AHeight != Height_;
    Left_ = ALeft;
    Top_ = ATop;
    Width_ = AWidth;
    Height_ = AHeight;
    if (resized) {
      Realign();
      if (!Loading()) Resize();
    }
  }
  UpdateAnchorRules();
  RequestAlign();
}

void TWinControl::SetZOrder(bool TopMost) {
  if (!Parent_) {
    if (Handle_) SetWindowPos(Handle_, TopMost ? HWND_TOP : HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    return;
  }
  auto& list = Parent_->WinControls_;
  ListRemove(list, this);
  if (TopMost)
    list.push_back(this);
  else
    list.insert(list.begin(), this);
  if (Handle_)
    SetWindowPos(Handle_, TopMost ? HWND_TOP : HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TWinControl::Invalidate() { Perform(CM_INVALIDATE); }

void TWinControl::Update() {
  if (Handle_) UpdateWindow(Handle_);
}

void TWinControl::Repaint() {
  Invalidate();
  Update();
}

void TWinControl::SetParent(TWinControl* AParent) {
  if (Parent_ == nullptr && AParent && ParentWindow_ == nullptr && Handle_) DestroyHandle();
  TControl::SetParent(AParent);
}

void TWinControl::SetWindowText(const std::string& v) {
  if (Handle_)
    ::SetWindowTextA(Handle_, v.c_str());
  else
    Text_ = v;
}

void TWinControl::FontChanged(TObject* Sender) { TControl::FontChanged(Sender); }

void TWinControl::Loaded() {
  TControl::Loaded();
  Realign();
}

void TWinControl::Notification(TComponent* AComponent, TOperation Operation) {
  TControl::Notification(AComponent, Operation);
}

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
// handler, which may swallow it by setting the key to 0. True when the key is used up.
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
    case WM_MOUSEMOVE: {
      // Which control the mouse is over: a graphic child or the window itself.
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
      if (!*alive) return;
      if (target) {
        TRACKMOUSEEVENT tme{sizeof tme, TME_LEAVE, Handle_, 0};
        TrackMouseEvent(&tme);
      }
      break;
    }
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
    case WM_DRAWITEM: {
      auto* d = reinterpret_cast<DRAWITEMSTRUCT*>(Message.LParam);
      if (d->CtlType == ODT_MENU)
        DefaultHandler(Message);
      else
        ReflectToChild(Message, d->hwndItem);
      return;
    }
    case WM_MEASUREITEM: {
      auto* m = reinterpret_cast<MEASUREITEMSTRUCT*>(Message.LParam);
      if (m->CtlType == ODT_MENU)
        DefaultHandler(Message);
      else
        ReflectToChild(Message, Handle_ ? GetDlgItem(Handle_, static_cast<int>(m->CtlID)) : nullptr);
      return;
    }
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
    case CN_SYSKEYDOWN: {
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
      return;
    }
    case CN_CHAR:
    case CN_SYSCHAR: {
      Message.Result = 1;
      if (!ComponentState().Contains(csDesigning)) {
        bool wantsChars = Message.Msg == CN_CHAR && (Perform(WM_GETDLGCODE) & DLGC_WANTCHARS) != 0;
        if (!wantsChars && !(Message.Msg == CN_SYSCHAR && Message.WParam == VK_SPACE)) {
          TCustomForm* f = GetParentForm(this);
          if (f && f->Perform(CM_DIALOGCHAR, Message.WParam, Message.LParam) != 0) return;
        }
      }
      Message.Result = 0;
      return;
    }
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
        if (Handle_) Perform(WM_SETFONT, reinterpret_cast<WPARAM>(Font_->Handle()), 0);
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
        return;
      case CM_INVALIDATE:
        if (Handle_) InvalidateRect(Handle_, nullptr, !ControlStyle_.Contains(csOpaque));
        return;
      case CM_RECREATEWND: {
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
        return;
      }
      case CM_BORDERCHANGED:
        if (Handle_) {
          SetWindowPos(Handle_, nullptr, 0, 0, 0, 0,
                       SWP_NOACTIVATE | SWP_NOZORDER | SWP_NOMOVE | SWP_NOSIZE | SWP_FRAMECHANGED);
          if (Visible_) Invalidate();
        }
        return;
      case CM_CURSORCHANGED:
        if (Handle_ && Showing_) {
          POINT p;
          GetCursorPos(&p);
          if (WindowFromPoint(p) == Handle_)
            SendMessageA(Handle_, WM_SETCURSOR, reinterpret_cast<WPARAM>(Handle_), HTCLIENT);
        }
        return;
      default: break;
    }
  }
  if (Message.Msg < CM_BASE) {
    HandleWM(Message);
    return;
  }
  TControl::Dispatch(Message);
}

void TWinControl::HandleWM(TMessage& Message) {
  auto alive = AliveToken();
  switch (Message.Msg) {
    case WM_PAINT: WMPaint(Message); return;
    case WM_ERASEBKGND: {
      HDC dc = reinterpret_cast<HDC>(Message.WParam);
      if (ControlStyle_.Contains(csParentBackground) && Parent_ && Parent_->HandleAllocated()) {
        // The parent's background shows through: it erases and paints its client area (its own
        // picture and its graphic children, not its other windows) into our DC at our place.
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
      return;
    }
    case WM_PRINTCLIENT:
      // The client area into the given DC, as a paint with that DC would draw it.
      if (Message.WParam && (Message.LParam & PRF_CLIENT) && (!(Message.LParam & PRF_CHECKVISIBLE) || Visible_)) {
        TMessage paint = MakeMessage(WM_PAINT, Message.WParam, 0);
        PaintHandler(paint);
        if (*alive) Message.Result = 0;
        return;
      }
      DefaultHandler(Message);
      return;
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
    case WM_SETCURSOR:
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
      return;
    case WM_MOUSEWHEEL: {
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
      // Nobody took it. A window of a standard class may still scroll with it; a plain child
      // window would only hand it on to its parent window, whose controls have been asked
      // already (CM_MOUSEWHEEL climbs the parent chain), so it ends here.
      if (DefWndProc_ == DefWindowProcA && Parent_ && Parent_->HandleAllocated() &&
          GetParent(Handle_) == Parent_->Handle_)
        return;
      DefaultHandler(Message);
      return;
    }
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
    case WM_NCPAINT:
      DefaultHandler(Message);
      if (BorderWidth_ > 0 && *alive && Handle_) {
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
      return;
    case WM_CAPTURECHANGED:
      if (CaptureControl_ && CaptureControl_->Parent() == this && reinterpret_cast<HWND>(Message.LParam) != Handle_) {
        // The graphic child that held the mouse loses it with this window: it is told, as a
        // window control would be.
        TControl* lost = CaptureControl_;
        CaptureControl_ = nullptr;
        auto alive = Alive_;
        lost->Perform(WM_CAPTURECHANGED, 0, Message.LParam);
        if (!*alive) return;
      }
      DefaultHandler(Message);
      return;
    case WM_CONTEXTMENU: {
      // A graphic child under the point (it has no window to get the message) is asked first.
      const TPoint p{static_cast<short>(LOWORD(Message.LParam)), static_cast<short>(HIWORD(Message.LParam))};
      if (!(p.X == -1 && p.Y == -1) && Handle_) {
        if (TControl* c = ControlAtPos(ScreenToClient(p), false)) {
          Message.Result = c->Perform(WM_CONTEXTMENU, Message.WParam, Message.LParam);
          if (!*alive || Message.Result != 0) return;
        }
      }
      TControl::Dispatch(Message);
      return;
    }
    case WM_NCDESTROY: {
      HWND w = Handle_;
      DefaultHandler(Message);
      if (!*alive) return;
      if (w) RemovePropA(w, kControlProp);
      if (Handle_ == w) {
        Handle_ = nullptr;
        Showing_ = false;
      }
      if (MouseControl_ && (MouseControl_ == this || MouseControl_->Parent() == this)) MouseControl_ = nullptr;
      return;
    }
    default: TControl::Dispatch(Message);
  }
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

// Without a window the control keeps its text itself.
void TControl::DefaultHandler(TMessage& Message) {
  switch (Message.Msg) {
    case WM_GETTEXT: {
      size_t cap = Message.WParam;
      char* buf = reinterpret_cast<char*>(Message.LParam);
      if (cap == 0 || !buf) {
        Message.Result = 0;
        return;
      }
      size_t n = std::min(cap - 1, Text_.size());
      Text_.copy(buf, n);
      buf[n] = '\0';
      Message.Result = static_cast<LRESULT>(n);
      return;
    }
    case WM_GETTEXTLENGTH: Message.Result = static_cast<LRESULT>(Text_.size()); return;
    case WM_SETTEXT:
      Text_ = Message.LParam ? reinterpret_cast<const char*>(Message.LParam) : "";
      Message.Result = 1;
      return;
  }
}

// ---------------------------------------------------------------------------------------------
// TControlCanvas

TControlCanvas::~TControlCanvas() { FreeHandle(); }

void TControlCanvas::SetControl(TControl* v) {
  if (Control_ == v) return;
  FreeHandle();
  Control_ = v;
}

void TControlCanvas::CreateHandle() {
  if (!Control_) return;
  TWinControl* w = Control_->IsWindowControl() ? static_cast<TWinControl*>(Control_) : Control_->Parent();
  if (!w) return;
  DC_ = ClientDC::WithFlags(w->Handle(), DCX_CACHE | DCX_CLIPSIBLINGS);
  if (!DC_) return;
  if (!Control_->IsWindowControl()) {
    SetWindowOrgEx(DC_, -Control_->Left(), -Control_->Top(), nullptr);
    IntersectClipRect(DC_, 0, 0, Control_->Width(), Control_->Height());
  }
  CanvasList().push_back(this);
  SetHandle(DC_);
  UpdateTextFlags();
}

void TControlCanvas::FreeHandle() {
  if (!DC_) return;
  SetHandle(nullptr);
  DC_.Reset();
  ListRemove(CanvasList(), this);
}

void TControlCanvas::UpdateTextFlags() {
  TextFlags_ = 0;
  if (Control_ && Control_->UseRightToLeftReading()) TextFlags_ |= ETO_RTLREADING;
}

void TControlCanvas::FreeDeviceContexts() {
  for (TControlCanvas* c : std::vector<TControlCanvas*>(CanvasList()))
    if (c->LockCount() == 0) c->FreeHandle();
}

// ---------------------------------------------------------------------------------------------
// TGraphicControl / TCustomControl

TGraphicControl::TGraphicControl(TComponent* AOwner) : TControl(AOwner) {
  Canvas_ = new TControlCanvas();
  Canvas_->SetControl(this);
}

TGraphicControl::~TGraphicControl() { delete Canvas_; }

void TGraphicControl::Dispatch(TMessage& Message) {
  if (Message.Msg == WM_PAINT && Message.WParam != 0) {
    Canvas_->FreeHandle();
    Canvas_->Lock();
    Canvas_->SetHandle(reinterpret_cast<HDC>(Message.WParam));
    try {
      Paint();
    } catch (...) {
      Canvas_->SetHandle(nullptr);
      Canvas_->Unlock();
      throw;
    }
    Canvas_->SetHandle(nullptr);
    Canvas_->Unlock();
    return;
  }
  TControl::Dispatch(Message);
}

TCustomControl::TCustomControl(TComponent* AOwner) : TWinControl(AOwner) {
  Canvas_ = new TControlCanvas();
  Canvas_->SetControl(this);
}

TCustomControl::~TCustomControl() { delete Canvas_; }

void TCustomControl::Dispatch(TMessage& Message) {
  if (Message.Msg == WM_PAINT) {
    auto alive = AliveToken();
    ControlState_.Include(csCustomPaint);
    try {
      TWinControl::Dispatch(Message);
    } catch (...) {
      if (*alive) ControlState_.Exclude(csCustomPaint);
      throw;
    }
    if (*alive) ControlState_.Exclude(csCustomPaint);
    return;
  }
  TWinControl::Dispatch(Message);
}

void TCustomControl::PaintWindow(HDC DC) {
  Canvas_->FreeHandle();
  Canvas_->Lock();
  Canvas_->SetHandle(DC);
  try {
    Canvas_->UpdateTextFlags();
    Paint();
  } catch (...) {
    Canvas_->SetHandle(nullptr);
    Canvas_->Unlock();
    throw;
  }
  Canvas_->SetHandle(nullptr);
  Canvas_->Unlock();
}

void TCustomControl::DestroyWindowHandle() {
  Canvas_->FreeHandle();
  TWinControl::DestroyWindowHandle();
}

// ---------------------------------------------------------------------------------------------
// TMouse

static TMouse MouseInstance;
TMouse* Mouse = &MouseInstance;

TPoint TMouse::CursorPos() const {
  POINT p{0, 0};
  GetCursorPos(&p);
  return Point(p.x, p.y);
}

void TMouse::SetCursorPos(TPoint p) { ::SetCursorPos(p.X, p.Y); }

void TMouse::SetCapture(HWND wnd) {
  if (wnd)
    ::SetCapture(wnd);
  else
    ReleaseCapture();
}

int TMouse::WheelScrollLines() const {
  UINT lines = 3;
  SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
  return static_cast<int>(lines);
}

// ---------------------------------------------------------------------------------------------
// Actions

TBasicAction::~TBasicAction() = default;

void TBasicAction::BeforeDestruction() {
  for (TControl* c : std::vector<TControl*>(Clients_)) c->SetAction(nullptr);
  TComponent::BeforeDestruction();
}

bool TBasicAction::Execute() {
  if (!OnExecute) return false;
  OnExecute(this);
  return true;
}

bool TBasicAction::Update() {
  if (!OnUpdate) return false;
  OnUpdate(this);
  return true;
}

void TBasicAction::RegisterClient(TControl* c) {
  if (std::find(Clients_.begin(), Clients_.end(), c) == Clients_.end()) Clients_.push_back(c);
}

void TBasicAction::UnRegisterClient(TControl* c) { ListRemove(Clients_, c); }

void TBasicAction::Change() {
  for (TControl* c : std::vector<TControl*>(Clients_)) c->ActionChange(this, false);
}

void TCustomAction::SetCaption(const std::string& v) {
  if (Caption_ == v) return;
  Caption_ = v;
  Change();
}
void TCustomAction::SetEnabled(bool v) {
  if (Enabled_ == v) return;
  Enabled_ = v;
  Change();
}
void TCustomAction::SetChecked(bool v) {
  if (Checked_ == v) return;
  Checked_ = v;
  Change();
}
void TCustomAction::SetVisible(bool v) {
  if (Visible_ == v) return;
  Visible_ = v;
  Change();
}
void TCustomAction::SetHint(const std::string& v) {
  if (Hint_ == v) return;
  Hint_ = v;
  Change();
}
void TCustomAction::SetImageIndex(int v) {
  if (ImageIndex_ == v) return;
  ImageIndex_ = v;
  Change();
}

// ---------------------------------------------------------------------------------------------
// Published properties

static const bool kControlProps = RegisterProperties<TControl, TComponent>([](auto& p) {
  p.Ord("Left", &TControl::Left, &TControl::SetLeft);
  p.Ord("Top", &TControl::Top, &TControl::SetTop);
  p.Ord("Width", &TControl::Width, &TControl::SetWidth);
  p.Ord("Height", &TControl::Height, &TControl::SetHeight);
  p.Ord("Align", &TControl::Align, &TControl::SetAlign);
  p.Set("Anchors", &TControl::Anchors, &TControl::SetAnchors, {"akLeft", "akTop", "akRight", "akBottom"});
  p.Obj("Constraints", &TControl::Constraints, &TControl::SetConstraints);
  p.Ord("AutoSize", &TControl::AutoSize, &TControl::SetAutoSize);
  p.Ord("Visible", &TControl::Visible, &TControl::SetVisible);
  p.Ord("Enabled", &TControl::Enabled, &TControl::SetEnabled);
  p.Ord("Color", &TControl::Color, &TControl::SetColor);
  p.Ord("ParentColor", &TControl::ParentColor, &TControl::SetParentColor);
  p.Obj("Font", &TControl::Font, &TControl::SetFont);
  p.Ord("ParentFont", &TControl::ParentFont, &TControl::SetParentFont);
  p.Ord("Cursor", &TControl::Cursor, &TControl::SetCursor);
  p.Ord("ShowHint", &TControl::ShowHint, &TControl::SetShowHint);
  p.Ord("ParentShowHint", &TControl::ParentShowHint, &TControl::SetParentShowHint);
  p.Obj("PopupMenu", &TControl::PopupMenu, &TControl::SetPopupMenu);
  p.Ord("BiDiMode", &TControl::BiDiMode, &TControl::SetBiDiMode);
  p.Ord("ParentBiDiMode", &TControl::ParentBiDiMode, &TControl::SetParentBiDiMode);
  p.Ord("DragMode", &TControl::DragMode, &TControl::SetDragMode);
  p.Ord("DragKind", &TControl::DragKind, &TControl::SetDragKind);
  p.Ord("DragCursor", &TControl::DragCursor, &TControl::SetDragCursor);
  p.Obj("Action", &TControl::Action, &TControl::SetAction);
});

static const bool kWinControlProps = RegisterProperties<TWinControl, TControl>([](auto& p) {
  p.Ord("TabStop", &TWinControl::TabStop, &TWinControl::SetTabStop);
  p.Ord("TabOrder", &TWinControl::TabOrder, &TWinControl::SetTabOrder);
  p.Ord("Ctl3D", &TWinControl::Ctl3D, &TWinControl::SetCtl3D);
  p.Ord("ParentCtl3D", &TWinControl::ParentCtl3D, &TWinControl::SetParentCtl3D);
  p.Ord("BorderWidth", &TWinControl::BorderWidth, &TWinControl::SetBorderWidth);
  p.Ord("ParentBackground", &TWinControl::ParentBackground, &TWinControl::SetParentBackground);
  p.Ord("DoubleBuffered", &TWinControl::DoubleBuffered, &TWinControl::SetDoubleBuffered);
});

// ---------------------------------------------------------------------------------------------
// Utility windows

namespace {

LRESULT CALLBACK UtilWndProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
  auto* method = reinterpret_cast<TWndMethod*>(GetWindowLongPtrA(wnd, GWLP_USERDATA));
  if (!method) return DefWindowProcA(wnd, msg, wp, lp);
  TMessage m = MakeMessage(msg, wp, lp);
  m.Result = -1;  // "not answered" marker, replaced by the default answer below
  try {
    (*method)(m);
  } catch (...) {
    HandleBoundaryException(nullptr);
    return 0;
  }
  if (m.Result == -1) return DefWindowProcA(wnd, msg, wp, lp);
  return m.Result;
}

const char* UtilClassName() {
  static bool registered = false;
  static const char* name = "QvUtilWindow";
  if (!registered) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = UtilWndProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = name;
    RegisterClassA(&wc);
    registered = true;
  }
  return name;
}

}  // namespace

HWND AllocateHWnd(TWndMethod Method) {
  HWND w = CreateWindowExA(WS_EX_TOOLWINDOW, UtilClassName(), "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
  if (!w) throw EOSError("Cannot create a utility window", GetLastError());
  if (Method) SetWindowLongPtrA(w, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(new TWndMethod(Method)));
  return w;
}

void DeallocateHWnd(HWND Wnd) {
  if (!Wnd) return;
  auto* method = reinterpret_cast<TWndMethod*>(GetWindowLongPtrA(Wnd, GWLP_USERDATA));
  SetWindowLongPtrA(Wnd, GWLP_USERDATA, 0);
  DestroyWindow(Wnd);
  delete method;
}
