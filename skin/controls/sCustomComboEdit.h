// Combo edits: a skinned edit with a button at its right edge that opens a popup under the edit.
//
// TsEditButton is that button: a flat skinned speed button aligned to the edit's right edge,
// without a caption, kept by the edit that owns it.
#pragma once

#include "classlib/Win.h"

#include "skin/controls/sSpeedButton.h"

class TsEditButton : public TsSpeedButton {
 public:
  QV_CLASS_NAME(TsEditButton)
  // AOwner: the edit the button belongs to.
  explicit TsEditButton(TComponent* AOwner);

  // The edit that owns the button.
  TComponent* Edit() const { return FEdit; }

 private:
  TComponent* FEdit;
};
