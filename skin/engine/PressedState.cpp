#include "skin/engine/PressedState.h"

#include "classlib/Forms.h"

namespace {
TControl* HintsOffOwner = nullptr;
bool SavedShowHint = false;
TControl* DroppedDown = nullptr;
}  // namespace

void HintsOffWhilePressed(TControl* Control) {
  if (!Application || HintsOffOwner) return;
  // Nothing to restore when the hints are off already: somebody else switched them off.
  if (!Application->ShowHint()) return;
  SavedShowHint = true;
  HintsOffOwner = Control;
  Application->SetShowHint(false);
}

void RestoreHints(TControl* Control) {
  if (!Control || HintsOffOwner != Control) return;
  HintsOffOwner = nullptr;
  if (Application) Application->SetShowHint(SavedShowHint);
}

TControl* HintsSwitchedOffBy() { return HintsOffOwner; }

TControl* DroppedDownButton() { return DroppedDown; }
void SetDroppedDownButton(TControl* Button) { DroppedDown = Button; }
void ClearDroppedDownButton() { DroppedDown = nullptr; }
