#include "skin/controls/sCurrencyEdit.h"

#include "classlib/core/TypInfo.h"

TsCurrencyEdit::TsCurrencyEdit(TComponent* AOwner) : TsCustomNumEdit(AOwner) {
  FSkinData->TypeCode = tcCurrencyEdit;
  SetWidth(80);
  SetAutoSize(true);
  // A currency edit shows no glyph: the button takes no room.
  UpdateButton();
}

namespace {
const bool kCurrencyEditProps = RegisterProperties<TsCurrencyEdit, TsCustomNumEdit>([](auto&) {});
}  // namespace
