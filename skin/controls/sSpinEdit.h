// Spin edits: an edit with an up / down button pair drawn in the skin.
//
// TsTimerSpeedButton is one button of the pair: a skinned speed button painted on the edit's window
// colour, with an optional focus rectangle.
#pragma once

#include "classlib/Win.h"

#include <cstdint>

#include "classlib/core/Sets.h"
#include "skin/controls/sSpeedButton.h"

// tbAllowTimer: a held press repeats the click; tbFocusRect: a focus rectangle is drawn.
enum TsTimerBtnFlag : std::uint8_t { tbAllowTimer, tbFocusRect };
using TsTimerBtnFlags = TSet<TsTimerBtnFlag>;

class TsTimerSpeedButton : public TsSpeedButton {
 public:
  QV_CLASS_NAME(TsTimerSpeedButton)
  explicit TsTimerSpeedButton(TComponent* AOwner);

  TsTimerBtnFlags TimeBtnState() const { return FTimeBtnState; }
  void SetTimeBtnState(TsTimerBtnFlags Value);

 protected:
  // The speed button's look laid on the window colour (the buttons stand inside an edit), then the
  // focus rectangle when the flag asks for it.
  void Paint() override;

 private:
  TsTimerBtnFlags FTimeBtnState;
};
