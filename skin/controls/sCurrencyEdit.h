// The currency edit: the number edit as the program's forms use it, with no button glyph (its
// button is 0 wide, so the click key opens nothing either).
#pragma once

#include "classlib/Win.h"

#include "skin/controls/sCurrEdit.h"

class TsCurrencyEdit : public TsCustomNumEdit {
 public:
  QV_CLASS_NAME(TsCurrencyEdit)
  explicit TsCurrencyEdit(TComponent* AOwner);
};
