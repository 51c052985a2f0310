// TTrackBar.
#include "classlib/ComCtrls.h"

#include <algorithm>

#include "classlib/core/TypInfo.h"

// ---- TTrackBar --------------------------------------------------------------------------------

TTrackBar::TTrackBar(TComponent* AOwner) : TWinControl(AOwner) {
  ControlStyle_ = TControlStyle{csCaptureMouse, csClickEvents};
  SetBounds(0, 0, 150, 45);
  TabStop_ = true;
}

int TTrackBar::Position() const {
  if (Handle_) return static_cast<int>(SendMessageA(Handle_, TBM_GETPOS, 0, 0));
  return Position_;
}

void TTrackBar::SetPosition(int v) {
  v = std::clamp(v, Min_, Max_);
  if (Position() == v) return;
  Position_ = v;
  if (HandleAllocated()) SendMessageA(Handle_, TBM_SETPOS, TRUE, v);
  Changed();
}

void TTrackBar::SetMin(int v) {
  if (v > Max_) return;
  Min_ = v;
  if (HandleAllocated()) SendMessageA(Handle_, TBM_SETRANGEMIN, TRUE, v);
  if (Position() < v) SetPosition(v);
}

void TTrackBar::SetMax(int v) {
  if (v < Min_) return;
  Max_ = v;
  if (HandleAllocated()) SendMessageA(Handle_, TBM_SETRANGEMAX, TRUE, v);
  if (Position() > v) SetPosition(v);
}

void TTrackBar::SetOrientation(TTrackBarOrientation v) {
  if (Orientation_ == v) return;
  Orientation_ = v;
  SetBounds(Left_, Top_, Height_, Width_);
  if (HandleAllocated()) RecreateWnd();
}

void TTrackBar::SetThumbLength(int v) {
  ThumbLength_ = v;
  if (HandleAllocated()) SendMessageA(Handle_, TBM_SETTHUMBLENGTH, static_cast<WPARAM>(v), 0);
}

void TTrackBar::SetTickStyle(TTickStyle v) {
  if (TickStyle_ == v) return;
  TickStyle_ = v;
  if (HandleAllocated()) RecreateWnd();
}

void TTrackBar::SetTickMarks(TTickMark v) {
  if (TickMarks_ == v) return;
  TickMarks_ = v;
  if (HandleAllocated()) RecreateWnd();
}

void TTrackBar::SetFrequency(int v) {
  Frequency_ = v;
  if (HandleAllocated()) SendMessageA(Handle_, TBM_SETTICFREQ, static_cast<WPARAM>(v), 0);
}

void TTrackBar::SetLineSize(int v) {
  LineSize_ = v;
  if (HandleAllocated()) SendMessageA(Handle_, TBM_SETLINESIZE, 0, v);
}

void TTrackBar::SetPageSize(int v) {
  PageSize_ = v;
  if (HandleAllocated()) SendMessageA(Handle_, TBM_SETPAGESIZE, 0, v);
}

void TTrackBar::Changed() { OnChange(this); }

void TTrackBar::CreateParams(TCreateParams& Params) {
  TWinControl::CreateParams(Params);
  CreateSubClass(Params, TRACKBAR_CLASSA);
  Params.Style |= Orientation_ == trVertical ? TBS_VERT : TBS_HORZ;
  Params.Style |= TBS_FIXEDLENGTH;
  if (TickStyle_ == tsNone) Params.Style |= TBS_NOTICKS;
  if (TickStyle_ == tsAuto) Params.Style |= TBS_AUTOTICKS;
  if (TickMarks_ == tmTopLeft) Params.Style |= TBS_TOP;
  if (TickMarks_ == tmBoth) Params.Style |= TBS_BOTH;
  Params.WindowClass.style &= ~(CS_HREDRAW | CS_VREDRAW);
}

void TTrackBar::CreateWnd() {
  TWinControl::CreateWnd();
  SendMessageA(Handle_, TBM_SETTHUMBLENGTH, static_cast<WPARAM>(ThumbLength_), 0);
  SendMessageA(Handle_, TBM_SETLINESIZE, 0, LineSize_);
  SendMessageA(Handle_, TBM_SETPAGESIZE, 0, PageSize_);
  SendMessageA(Handle_, TBM_SETRANGEMIN, FALSE, Min_);
  SendMessageA(Handle_, TBM_SETRANGEMAX, FALSE, Max_);
  SendMessageA(Handle_, TBM_SETPOS, TRUE, Position_);
  SendMessageA(Handle_, TBM_SETTICFREQ, static_cast<WPARAM>(Frequency_), 0);
}

void TTrackBar::DestroyWnd() {
  if (Handle_) Position_ = static_cast<int>(SendMessageA(Handle_, TBM_GETPOS, 0, 0));
  TWinControl::DestroyWnd();
}

void TTrackBar::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case CN_HSCROLL:
    case CN_VSCROLL:
      PositionMoved();
      Message.Result = 0;
      return;
    default: TWinControl::Dispatch(Message);
  }
}

// The thumb moved: the new position is taken and announced.
void TTrackBar::PositionMoved() {
  const int p = static_cast<int>(SendMessageA(Handle_, TBM_GETPOS, 0, 0));
  if (p == Position_) return;
  Position_ = p;
  Changed();
}

// ---- published properties ----------------------------------------------------------------------

static const bool kTrackBarProps = RegisterProperties<TTrackBar, TWinControl>([](auto& p) {
  p.Ord("Min", &TTrackBar::Min, &TTrackBar::SetMin);
  p.Ord("Max", &TTrackBar::Max, &TTrackBar::SetMax);
  p.Ord("Position", &TTrackBar::Position, &TTrackBar::SetPosition);
  p.Ord("Orientation", &TTrackBar::Orientation, &TTrackBar::SetOrientation);
  p.Ord("ThumbLength", &TTrackBar::ThumbLength, &TTrackBar::SetThumbLength);
  p.Ord("TickStyle", &TTrackBar::TickStyle, &TTrackBar::SetTickStyle);
  p.Ord("TickMarks", &TTrackBar::TickMarks, &TTrackBar::SetTickMarks);
  p.Ord("Frequency", &TTrackBar::Frequency, &TTrackBar::SetFrequency);
});
