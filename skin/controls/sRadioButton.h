// The skinned radio button: the check box's twin (see sCheckBox.h). Its state is Checked; a
// release of a press checks it (the class library then unchecks its siblings, which repaint);
// its skin glyphs are "RADIOCHECKED" and "RADIOUNCHECKED". Inside a skinned radio group it is
// read-only while the group refuses changes.
#pragma once

#include "classlib/Win.h"

#include "skin/controls/sCheckBox.h"

class TsRadioButton : public TacCheckControl<TRadioButton> {
 public:
  QV_CLASS_NAME(TsRadioButton)
  explicit TsRadioButton(TComponent* AOwner);

  bool GetReadOnly() const override;
  // Inherited, then WordWrap off while AutoSize is on.
  void Invalidate() override;

 protected:
  int SkinGlyphMask() override;
  TBitmap* UserGlyph() const override;
  TBitmap* UserGlyphForSize() const override { return GlyphChecked(); }
  void ReleasePress() override;
  WPARAM NativeCheckState() const override { return Checked_ ? BST_CHECKED : BST_UNCHECKED; }
  bool PaintsIntoWindowDC() const override { return true; }
};
