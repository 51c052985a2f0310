#include "skin/controls/sCustomComboEdit.h"

TsEditButton::TsEditButton(TComponent* AOwner) : TsSpeedButton(AOwner), FEdit(AOwner) {
  FSkinData->SetSkinSection("SPEEDBUTTON");
  SetFlat(true);
  SetCursor(crArrow);
  SetAlign(alRight);
  SetWidth(22);
  SetShowCaption(false);
}
