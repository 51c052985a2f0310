// TCustomUpDown and its associated control.
#include "classlib/ComCtrls.h"

#include <algorithm>

#include "classlib/core/TypInfo.h"

// ---- TCustomUpDown ----------------------------------------------------------------------------

TCustomUpDown::TCustomUpDown(TComponent* AOwner) : TWinControl(AOwner) {
  ControlStyle_ = TControlStyle{csCaptureMouse};
  SetBounds(0, 0, 17, 25);
}

int TCustomUpDown::Position() const {
  if (Handle_) {
    // The error flag speaks of the associate's text; without an associate the window's own
    // position is the one there is (it reports an error then all the same).
    BOOL err = FALSE;
    int p = static_cast<int>(SendMessageA(Handle_, UDM_GETPOS32, 0, reinterpret_cast<LPARAM>(&err)));
    if (!err || !Associate_) return p;
  }
  return Position_;
}

void TCustomUpDown::SetPosition(int v) {
  v = std::clamp(v, std::min(Min_, Max_), std::max(Min_, Max_));
  Position_ = v;
  if (HandleAllocated()) SendMessageA(Handle_, UDM_SETPOS32, 0, v);
}

void TCustomUpDown::SetMin(int v) {
  Min_ = v;
  if (HandleAllocated()) SendMessageA(Handle_, UDM_SETRANGE32, static_cast<WPARAM>(Min_), Max_);
}

void TCustomUpDown::SetMax(int v) {
  Max_ = v;
  if (HandleAllocated()) SendMessageA(Handle_, UDM_SETRANGE32, static_cast<WPARAM>(Min_), Max_);
}

void TCustomUpDown::SetIncrement(int v) {
  Increment_ = v;
  if (HandleAllocated()) {
    UDACCEL accel{0, static_cast<UINT>(v)};
    SendMessageA(Handle_, UDM_SETACCEL, 1, reinterpret_cast<LPARAM>(&accel));
  }
}

void TCustomUpDown::SetOrientation(TUDOrientation v) {
  if (Orientation_ == v) return;
  Orientation_ = v;
  SetBounds(Left_, Top_, Height_, Width_);
  if (HandleAllocated()) RecreateWnd();
}

void TCustomUpDown::SetAlignButton(TUDAlignButton v) {
  if (AlignButton_ == v) return;
  AlignButton_ = v;
  if (HandleAllocated()) RecreateWnd();
}

void TCustomUpDown::SetAssociate(TWinControl* v) {
  if (v == this) return;
  if (Associate_ && HandleAllocated()) SendMessageA(Handle_, UDM_SETBUDDY, 0, 0);
  Associate_ = v;
  if (v) {
    v->FreeNotification(this);
    if (HandleAllocated()) {
      SendMessageA(Handle_, UDM_SETBUDDY, reinterpret_cast<WPARAM>(v->Handle()), 0);
      SendMessageA(Handle_, UDM_SETPOS32, 0, Position_);
    }
  }
}

void TCustomUpDown::SetArrowKeys(bool v) {
  if (ArrowKeys_ == v) return;
  ArrowKeys_ = v;
  if (HandleAllocated()) RecreateWnd();
}

void TCustomUpDown::SetThousands(bool v) {
  if (Thousands_ == v) return;
  Thousands_ = v;
  if (HandleAllocated()) RecreateWnd();
}

void TCustomUpDown::SetWrap(bool v) {
  if (Wrap_ == v) return;
  Wrap_ = v;
  if (HandleAllocated()) RecreateWnd();
}

void TCustomUpDown::Notification(TComponent* AComponent, TOperation Operation) {
  TWinControl::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == Associate_) {
    Associate_ = nullptr;
    if (HandleAllocated() && !IsDestroying()) SendMessageA(Handle_, UDM_SETBUDDY, 0, 0);
  }
}

bool TCustomUpDown::CanChange() {
  bool allow = true;
  OnChanging(this, allow);
  return allow;
}

bool TCustomUpDown::DoCanChange(short NewVal, short Delta) {
  const TUpDownDirection dir = Delta < 0 ? updDown : Delta > 0 ? updUp : updNone;
  bool allow = CanChange();
  OnChangingEx(this, allow, NewVal, dir);
  return allow;
}

void TCustomUpDown::Click(TUDBtnType Button) { OnClick(this, Button); }

void TCustomUpDown::CreateParams(TCreateParams& Params) {
  TWinControl::CreateParams(Params);
  CreateSubClass(Params, UPDOWN_CLASSA);
  Params.Style |= UDS_SETBUDDYINT;
  Params.Style |= AlignButton_ == udRight ? UDS_ALIGNRIGHT : UDS_ALIGNLEFT;
  if (Orientation_ == udHorizontal) Params.Style |= UDS_HORZ;
  if (ArrowKeys_) Params.Style |= UDS_ARROWKEYS;
  if (!Thousands_) Params.Style |= UDS_NOTHOUSANDS;
  if (Wrap_) Params.Style |= UDS_WRAP;
}

void TCustomUpDown::CreateWnd() {
  TWinControl::CreateWnd();
  SendMessageA(Handle_, UDM_SETRANGE32, static_cast<WPARAM>(Min_), Max_);
  UDACCEL accel{0, static_cast<UINT>(Increment_)};
  SendMessageA(Handle_, UDM_SETACCEL, 1, reinterpret_cast<LPARAM>(&accel));
  if (Associate_) SendMessageA(Handle_, UDM_SETBUDDY, reinterpret_cast<WPARAM>(Associate_->Handle()), 0);
  SendMessageA(Handle_, UDM_SETPOS32, 0, Position_);
}

void TCustomUpDown::DestroyWnd() {
  if (Handle_) Position_ = Position();
  TWinControl::DestroyWnd();
}

void TCustomUpDown::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case CN_NOTIFY:
      if (!CNNotify(Message)) TWinControl::Dispatch(Message);
      return;
    case CN_HSCROLL:
    case CN_VSCROLL:
      if (LOWORD(Message.WParam) == SB_THUMBPOSITION) PositionMoved();
      Message.Result = 0;
      return;
    default: TWinControl::Dispatch(Message);
  }
}

// The position is about to change by a delta: the control may refuse; true when handled.
bool TCustomUpDown::CNNotify(TMessage& Message) {
  if (reinterpret_cast<NMHDR*>(Message.LParam)->code != static_cast<UINT>(UDN_DELTAPOS)) return false;
  auto* ud = reinterpret_cast<NMUPDOWN*>(Message.LParam);
  Message.Result = DoCanChange(static_cast<short>(ud->iPos + ud->iDelta), static_cast<short>(ud->iDelta)) ? 0 : 1;
  return true;
}

// The control moved its position: a click in the direction it moved.
void TCustomUpDown::PositionMoved() {
  const int p = Position();
  const int old = Position_;
  Position_ = p;
  if (p != old) Click(p > old ? btNext : btPrev);
}

// ---- published properties ----------------------------------------------------------------------

static const bool kCustomUpDownProps = RegisterProperties<TCustomUpDown, TWinControl>([](auto& p) {
  p.Ord("Min", &TCustomUpDown::Min, &TCustomUpDown::SetMin);
  p.Ord("Max", &TCustomUpDown::Max, &TCustomUpDown::SetMax);
  p.Ord("Position", &TCustomUpDown::Position, &TCustomUpDown::SetPosition);
  p.Ord("Increment", &TCustomUpDown::Increment, &TCustomUpDown::SetIncrement);
  p.Ord("Orientation", &TCustomUpDown::Orientation, &TCustomUpDown::SetOrientation);
  p.Ord("AlignButton", &TCustomUpDown::AlignButton, &TCustomUpDown::SetAlignButton);
  p.Obj("Associate", &TCustomUpDown::Associate, &TCustomUpDown::SetAssociate);
  p.Ord("ArrowKeys", &TCustomUpDown::ArrowKeys, &TCustomUpDown::SetArrowKeys);
  p.Ord("Thousands", &TCustomUpDown::Thousands, &TCustomUpDown::SetThousands);
  p.Ord("Wrap", &TCustomUpDown::Wrap, &TCustomUpDown::SetWrap);
});
