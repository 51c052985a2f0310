// TSizeConstraints and TControl: bounds, alignment, visibility, fonts and colours, mouse and
// drag handling, actions and hints of every control, windowed or not.
#include "classlib/Controls.h"

#include "classlib/Controls/Internal.h"
#include "classlib/Forms.h"
#include "classlib/Hooks.h"
#include "classlib/Menus.h"
#include "classlib/core/TypInfo.h"

using namespace controls_impl;

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
    case WM_LBUTTONDBLCLK: WMLButtonDown(Message); return;
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
    case WM_LBUTTONUP: WMLButtonUp(Message); return;
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
    case WM_CANCELMODE: WMCancelMode(Message); return;
    case WM_CONTEXTMENU: WMContextMenu(Message); return;
    default:
      if (Message.Msg >= CM_BASE && Message.Msg < CN_BASE) {
        HandleCM(Message);
        return;
      }
      DefaultHandler(Message);
  }
}

void TControl::WMLButtonDown(TMessage& Message) {
  auto alive = AliveToken();
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
}

void TControl::WMLButtonUp(TMessage& Message) {
  auto alive = AliveToken();
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
}

void TControl::WMCancelMode(TMessage& Message) {
  DefaultHandler(Message);
  if (MouseCapture()) {
    SetMouseCapture(false);
    if (ControlState_.Contains(csLButtonDown)) Perform(WM_LBUTTONUP, 0, static_cast<LPARAM>(0xFFFFFFFF));
  } else {
    ControlState_.Exclude(csLButtonDown);
  }
}

void TControl::WMContextMenu(TMessage& Message) {
  auto alive = AliveToken();
  TPoint p{static_cast<short>(LOWORD(Message.LParam)), static_cast<short>(HIWORD(Message.LParam))};
  bool handled = false;
  DoContextPopup(p, handled);
  if (!*alive) return;
  if (handled) {
    Message.Result = 1;
    return;
  }
  // The control's own popup menu opens at the point (at the control's top-left corner when the
  // keyboard asked for the menu and gave no point).
  if (PopupMenu_) {
    if (p.X == -1 && p.Y == -1) p = ClientToScreen(TPoint{0, 0});
    if (PopupContextMenu(this, PopupMenu_, p)) {
      if (*alive) Message.Result = 1;
      return;
    }
  }
  DefaultHandler(Message);
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
    case CM_PARENTCOLORCHANGED: CMParentColorChanged(Message); break;
    case CM_PARENTFONTCHANGED: CMParentFontChanged(Message); break;
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
    case CM_MOUSEWHEEL: CMMouseWheel(Message); break;
    default: DefaultHandler(Message);
  }
}

void TControl::CMParentColorChanged(TMessage& Message) {
  if (!ParentColor_) return;
  if (Message.WParam != 0)
    SetColor(static_cast<TColor>(Message.LParam));
  else if (Parent_)
    SetColor(Parent_->Color());
  ParentColor_ = true;
}

void TControl::CMParentFontChanged(TMessage& Message) {
  if (!ParentFont_) return;
  if (Message.WParam != 0)
    SetFont(reinterpret_cast<TFont*>(Message.LParam));
  else if (Parent_)
    SetFont(Parent_->Font());
  ParentFont_ = true;
}

// The wheel turned over the control: its own handler first, then its parents'.
void TControl::CMMouseWheel(TMessage& Message) {
  TPoint p{static_cast<short>(LOWORD(Message.LParam)), static_cast<short>(HIWORD(Message.LParam))};
  int delta = static_cast<short>(HIWORD(Message.WParam));
  if (DoMouseWheel(KeysToShiftState(LOWORD(Message.WParam)), delta, p)) {
    Message.Result = 1;
  } else if (Parent_) {
    Message.Result = Parent_->Perform(CM_MOUSEWHEEL, Message.WParam, Message.LParam);
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
  if (WholeRepaintPendingHook && WholeRepaintPendingHook()) return;
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

// Without a window the control keeps its text itself.
void TControl::DefaultHandler(TMessage& Message) {
  switch (Message.Msg) {
    case WM_GETTEXT: CopyTextTo(Message); return;
    case WM_GETTEXTLENGTH: Message.Result = static_cast<LRESULT>(Text_.size()); return;
    case WM_SETTEXT:
      Text_ = Message.LParam ? reinterpret_cast<const char*>(Message.LParam) : "";
      Message.Result = 1;
      return;
  }
}

// WM_GETTEXT without a window: the text into the caller's buffer of WParam characters.
void TControl::CopyTextTo(TMessage& Message) const {
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
  p.Str("Hint", &TControl::Hint, &TControl::SetHint);
  p.Obj("PopupMenu", &TControl::PopupMenu, &TControl::SetPopupMenu);
  p.Ord("BiDiMode", &TControl::BiDiMode, &TControl::SetBiDiMode);
  p.Ord("ParentBiDiMode", &TControl::ParentBiDiMode, &TControl::SetParentBiDiMode);
  p.Ord("DragMode", &TControl::DragMode, &TControl::SetDragMode);
  p.Ord("DragKind", &TControl::DragKind, &TControl::SetDragKind);
  p.Ord("DragCursor", &TControl::DragCursor, &TControl::SetDragCursor);
  p.Obj("Action", &TControl::Action, &TControl::SetAction);
});
