// The skinned page control's family.
//
// TsTabBtn is the close button put on a tab while the page control is not skinned: a flat speed
// button showing a bold red "X", bound to the page it closes.
#pragma once

#include "classlib/Win.h"

#include "skin/controls/sSpeedButton.h"

class TsTabSheet;

class TsTabBtn : public TsSpeedButton {
 public:
  QV_CLASS_NAME(TsTabBtn)
  explicit TsTabBtn(TComponent* AOwner);

  // The page the button closes.
  TsTabSheet* Page = nullptr;
};
