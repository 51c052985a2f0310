#include "skin/controls/sRadioButton.h"

#include "classlib/core/TypInfo.h"
#include "skin/controls/sGroupBox.h"

TsRadioButton::TsRadioButton(TComponent* AOwner) : TacCheckControl<TRadioButton>(AOwner, tcRadioButton) {}

bool TsRadioButton::GetReadOnly() const {
  if (auto* group = dynamic_cast<TsRadioGroup*>(Parent_)) return !group->CanModify();
  return TacCheckControl<TRadioButton>::GetReadOnly();
}

void TsRadioButton::Invalidate() {
  TacCheckControl<TRadioButton>::Invalidate();
  if (AutoSize_ && WordWrap_) SetWordWrap(false);
}

int TsRadioButton::SkinGlyphMask() { return GlobalGlyphMask(Checked_ ? "RADIOCHECKED" : "RADIOUNCHECKED"); }

TBitmap* TsRadioButton::UserGlyph() const {
  if (Checked_) return GlyphChecked();
  return GlyphUnChecked()->Empty() ? nullptr : GlyphUnChecked();
}

void TsRadioButton::ReleasePress() {
  auto alive = AliveToken();
  SetChecked(true);
  if (*alive) Repaint();
}

namespace {
const bool kRadioButtonProps = RegisterProperties<TsRadioButton, TRadioButton>([](auto& p) {
  p.Obj("SkinData", &TsRadioButton::SkinData);
  p.Set("AnimatEvents", &TsRadioButton::AnimatEvents, &TsRadioButton::SetAnimatEvents,
        {"aeMouseEnter", "aeMouseLeave", "aeMouseDown", "aeMouseUp", "aeGlobalDef"});
  p.Set("DisabledKind", &TsRadioButton::DisabledKind, &TsRadioButton::SetDisabledKind, {"dkBlended", "dkGrayed"});
  p.Ord("AutoSize", &TsRadioButton::AutoSize, &TsRadioButton::SetAutoSize);
  p.Ord("Margin", &TsRadioButton::Margin, &TsRadioButton::SetMargin);
  p.Obj("GlyphChecked", &TsRadioButton::GlyphChecked, &TsRadioButton::SetGlyphChecked);
  p.Obj("GlyphUnChecked", &TsRadioButton::GlyphUnChecked, &TsRadioButton::SetGlyphUnChecked);
  p.Ord("ReadOnly", &TsRadioButton::ReadOnly, &TsRadioButton::SetReadOnly);
  p.Ord("ShowFocus", &TsRadioButton::ShowFocus, &TsRadioButton::SetShowFocus);
  p.Ord("TextIndent", &TsRadioButton::TextIndent, &TsRadioButton::SetTextIndent);
  p.Ord("WordWrap", &TsRadioButton::WordWrap, &TsRadioButton::SetWordWrap);
});
}  // namespace
