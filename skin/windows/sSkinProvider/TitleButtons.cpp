// The extra title-bar buttons and the title icon settings of a provider.
#include "skin/windows/sSkinProvider.h"

#include "classlib/core/TypInfo.h"

// ---- TsTitleButton ----------------------------------------------------------------------------------------

TsTitleButton::TsTitleButton(TCollection* ACollection) : TCollectionItem(ACollection), FGlyph(new TBitmap()) {
  if (FName.empty()) FName = ClassName();
}

TsTitleButton::~TsTitleButton() { delete FGlyph; }

void TsTitleButton::Assign(TPersistent* Source) {
  if (auto* src = dynamic_cast<TsTitleButton*>(Source)) {
    FEnabled = src->FEnabled;
    FGlyph->Assign(src->FGlyph);
    FName = src->FName;
    FUseSkinData = src->FUseSkinData;
    OnMouseDown = src->OnMouseDown;
    OnMouseUp = src->OnMouseUp;
    return;
  }
  TCollectionItem::Assign(Source);
}

void TsTitleButton::SetName(const std::string& Value) {
  if (FName == Value) return;
  FName = Value;
  Changed(false);
}

void TsTitleButton::MouseDown(int, TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (OnMouseDown) OnMouseDown(this, Button, Shift, X, Y);
}

void TsTitleButton::MouseUp(int, TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (OnMouseUp) OnMouseUp(this, Button, Shift, X, Y);
}

TsTitleButtons::TsTitleButtons(TsSkinProvider* AOwner)
    : TCollection(TCollection::ItemClass<TsTitleButton>()), FOwner(AOwner) {}

TsTitleButtons::~TsTitleButtons() { FOwner = nullptr; }

TPersistent* TsTitleButtons::GetOwner() const { return FOwner; }

// ---- TsTitleIcon ------------------------------------------------------------------------------------------

TsTitleIcon::TsTitleIcon() : FGlyph(new TBitmap()) {}

TsTitleIcon::~TsTitleIcon() { delete FGlyph; }

void TsTitleIcon::Assign(TPersistent* Source) {
  if (auto* src = dynamic_cast<TsTitleIcon*>(Source)) {
    FGlyph->Assign(src->FGlyph);
    FHeight = src->FHeight;
    FWidth = src->FWidth;
    return;
  }
  TPersistent::Assign(Source);
}

// ---- Published properties ---------------------------------------------------------------------------------

namespace {
const bool kTitleButtonProps = [] {
  RegisterProperties<TsTitleButton, TCollectionItem>([](auto& p) {
    p.Ord("Enabled", &TsTitleButton::Enabled, &TsTitleButton::SetEnabled);
    p.Obj("Glyph", &TsTitleButton::Glyph, &TsTitleButton::SetGlyph);
    p.Str("Name", &TsTitleButton::Name, &TsTitleButton::SetName);
    p.Ord("UseSkinData", &TsTitleButton::UseSkinData, &TsTitleButton::SetUseSkinData);
    p.Method("OnMouseDown", &TsTitleButton::GetOnMouseDown, &TsTitleButton::SetOnMouseDown);
    p.Method("OnMouseUp", &TsTitleButton::GetOnMouseUp, &TsTitleButton::SetOnMouseUp);
  });
  RegisterProperties<TsTitleIcon, TPersistent>([](auto& p) {
    p.Obj("Glyph", &TsTitleIcon::Glyph, &TsTitleIcon::SetGlyph);
    p.Ord("Height", &TsTitleIcon::Height, &TsTitleIcon::SetHeight);
    p.Ord("Width", &TsTitleIcon::Width, &TsTitleIcon::SetWidth);
  });
  return true;
}();
}  // namespace
