#include "skin/controls/sPageControl.h"

TsTabBtn::TsTabBtn(TComponent* AOwner) : TsSpeedButton(AOwner) {
  SetFlat(true);
  SetCaption("X");
  Font()->SetStyle(TFontStyles{fsBold});
  Font()->SetColor(TColor(0x0000FF));
}
