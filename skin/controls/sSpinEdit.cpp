#include "skin/controls/sSpinEdit.h"

TsTimerSpeedButton::TsTimerSpeedButton(TComponent* AOwner) : TsSpeedButton(AOwner) {}

void TsTimerSpeedButton::SetTimeBtnState(TsTimerBtnFlags Value) {
  if (FTimeBtnState == Value) return;
  FTimeBtnState = Value;
  Invalidate();
}

void TsTimerSpeedButton::Paint() {
  if (Loading() || IsDying(this)) return;
  SharedParentColor = TColor(ColorToRGB(clWindow));
  struct TResetColor {
    ~TResetColor() { SharedParentColor = clParentColorUnset; }
  } reset;
  TsSpeedButton::Paint();
  if (FTimeBtnState.Contains(tbFocusRect)) {
    RECT r{3, 3, Width_ - 3, Height_ - 3};
    if (State_ == bsDown || State_ == bsExclusive) OffsetRect(&r, 1, 1);
    DrawFocusRect(Canvas_->Handle(), &r);
  }
}
