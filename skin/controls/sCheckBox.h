// The skinned check box, and the frame it shares with its twin, the skinned radio button.
//
// While a skin is active the control takes the mouse and the space bar away from the native
// button: a press sets a pressed flag, its release (over the control) changes the state, which is
// kept in the class library's fields only (the native window is told again when the skin goes).
// The box, its check glyph, the caption and the focus dots are painted into the cache bitmap. The
// glyph comes from an image list (check box only), from two bitmaps of the user's, or from the
// skin's shared images ("BOXCHECKED" ... of section "GLOBALINFO").
//
// A glyph bitmap, user's or image-list image alike, holds three state frames side by side (normal,
// hot, pressed) in its upper half and their blending masks in its lower half.
//
// ReadOnly refuses every change by the user, skinned or not (clicks, double clicks, the space bar,
// the accelerator key).
#pragma once

#include "classlib/Win.h"

#include <cstdint>

#include "classlib/ImgList.h"
#include "classlib/StdCtrls.h"
#include "skin/controls/sCommonFrame.h"

// What the check box and the radio button share; TBase is TCustomCheckBox or TRadioButton.
template <class TBase>
class TacCheckControl : public TacSkinnedControl<TBase> {
 public:
  TacCheckControl(TComponent* AOwner, std::uint8_t TypeCode);
  ~TacCheckControl() override;

  // ---- published
  int Margin() const { return FMargin; }
  void SetMargin(int Value);
  TsDisabledKind DisabledKind() const { return FDisabledKind; }
  void SetDisabledKind(TsDisabledKind Value);
  TBitmap* GlyphChecked() const { return FGlyphChecked; }
  void SetGlyphChecked(TBitmap* Value);
  TBitmap* GlyphUnChecked() const { return FGlyphUnChecked; }
  void SetGlyphUnChecked(TBitmap* Value);
  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool Value) { FReadOnly = Value; }
  bool ShowFocus() const { return FShowFocus; }
  void SetShowFocus(bool Value);
  int TextIndent() const { return FTextIndent; }
  void SetTextIndent(int Value);
  // AutoSize (default true here) and WordWrap: the base's.

  // The user may not change the state.
  virtual bool GetReadOnly() const { return FReadOnly; }

  // Where the glyph goes; (0, 0, 16, 16) when no glyph is found anywhere.
  TRect CheckRect();
  // The glyph's state: 2 pressed, 1 hot (not read-only), 0 normal.
  int GlyphState();
  // Box, caption, glyph and disabled look into the cache bitmap.
  void PrepareCache();
  bool CanAutoSize(int& NewWidth, int& NewHeight) override;
  void Loaded() override;
  void WndProc(TMessage& Message) override;
  void Dispatch(TMessage& Message) override;

  // A mouse button or the space bar went down on the control and is not released yet.
  bool Pressed() const { return FPressed; }

 protected:
  // ---- what the two controls do differently
  // The mask of the skin glyph for the present state (-1 when the skin has none).
  virtual int SkinGlyphMask() = 0;
  // The user bitmap drawn for the present state (nullptr: nothing is drawn).
  virtual TBitmap* UserGlyph() const = 0;
  // The bitmap whose size gives the user glyph's frame size.
  virtual TBitmap* UserGlyphForSize() const = 0;
  // The image list and index of the present state's image (nullptr when the list is not used).
  virtual TCustomImageList* ListGlyph(int& Index) const {
    Index = -1;
    return nullptr;
  }
  // A press released over the control: the state changes.
  virtual void ReleasePress() = 0;
  // The native window's check state for the present state (BM_SETCHECK).
  virtual WPARAM NativeCheckState() const = 0;
  // Painting without a DC in the message goes to the window's DC.
  virtual bool PaintsIntoWindowDC() const { return false; }

  void AfterSkinChange(int Command) override;
  bool AnswerAnyState(TMessage& Message) override;
  // Mouse enter and leave, focus and the visual theme, before the common handler.
  bool SkinnedMessage(TMessage& Message) override;
  // The rest of the control's own cases, after it.
  bool AfterCommonMessage(TMessage& Message) override;

  // The skin glyph mask of GLOBALINFO named Name (-1 when missing).
  int GlobalGlyphMask(const char* Name) const;
  void GlyphChanged(TObject* Sender);
  void LookChanged();

 private:
  // The unskinned control: a read-only one keeps its state; true drops the message.
  bool DropPlainMessage(TMessage& Message);
  void PaintHandler(TMessage& Message);
  void PaintGlyph();
  void PaintCaption();
  void TakeFocusQuietly();
  bool FocusGained(TMessage& Message);
  bool FocusLost(TMessage& Message);
  bool SpaceDown(TMessage& Message);
  bool SpaceUp(TMessage& Message);
  bool ButtonDown(TMessage& Message);
  bool ButtonUp(TMessage& Message);
  void FrameSize(int& W, int& H);

  int FMargin = 2;
  TsDisabledKind FDisabledKind{dkBlended};
  TBitmap* FGlyphChecked = nullptr;
  TBitmap* FGlyphUnChecked = nullptr;
  bool FReadOnly = false;
  bool FShowFocus = true;
  int FTextIndent = 0;
  bool FPressed = false;
};

class TsCheckBox : public TacCheckControl<TCustomCheckBox> {
 public:
  QV_CLASS_NAME(TsCheckBox)
  explicit TsCheckBox(TComponent* AOwner);

  // ---- published (Alignment, AllowGrayed, State and Checked are the base's)
  TCustomImageList* Images() const { return FImages; }
  void SetImages(TCustomImageList* Value);
  int ImgChecked() const { return FImgChecked; }
  void SetImgChecked(int Value);
  int ImgUnchecked() const { return FImgUnchecked; }
  void SetImgUnchecked(int Value);

  void SetChecked(bool Value) override;
  void ActionChange(TObject* Sender, bool CheckDefaults) override;

 protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;

  int SkinGlyphMask() override;
  TBitmap* UserGlyph() const override;
  TBitmap* UserGlyphForSize() const override;
  TCustomImageList* ListGlyph(int& Index) const override;
  void ReleasePress() override { Toggle(); }
  WPARAM NativeCheckState() const override { return WPARAM(State_); }

 private:
  TCustomImageList* FImages = nullptr;
  int FImgChecked = 0;
  int FImgUnchecked = 0;
};

extern template class TacCheckControl<TCustomCheckBox>;
extern template class TacCheckControl<TRadioButton>;
