// The skinned masked edit. While it is neither focused nor under the mouse it shows its whole
// look from the cache, text included; while hot the native window draws the text and the edit
// only its frame. It introduces the painting operations the combo edit and the number edits
// override (SetEditRect, PaintBorder, PaintText, PaintEdit, CurrentState).
#pragma once

#include "classlib/Win.h"

#include "classlib/Mask.h"
#include "skin/controls/sCommonFrame.h"
#include "skin/controls/sEdit.h"

class TsMaskEdit : public TacSkinnedControl<TMaskEdit> {
 public:
  QV_CLASS_NAME(TsMaskEdit)
  explicit TsMaskEdit(TComponent* AOwner);
  ~TsMaskEdit() override;

  // ---- published (Align: the base's)
  TsDisabledKind DisabledKind() const { return FDisabledKind; }
  void SetDisabledKind(TsDisabledKind Value);
  TsBoundLabel* BoundLabel() const { return FBoundLabel; }

  // Frame pixels: 2 + 1 with Ctl3D for bsSingle, 0 for bsNone (hides the window control's own
  // BorderWidth, which an edit does not use).
  int BorderWidth() const;

  // ---- painting operations, in this order for descendants
  // The text rectangle of the window (a descendant leaves room for its button).
  virtual void SetEditRect() {}
  // The frame: a band 2 pixels wide of the cache (DC 0: the window's DC).
  virtual void PaintBorder(HDC DC);
  // The text (or its password characters) onto the cache.
  virtual void PaintText();
  // The whole look from the cache (DC 0: the window's DC).
  virtual void PaintEdit(HDC DC);
  // 1 while focused or under the mouse and enabled, else 0.
  virtual int CurrentState();

  void PrepareCache();
  void WndProc(TMessage& Message) override;

 protected:
  // The change notification, not while loading.
  void Change() override;

  bool AnswerAnyState(TMessage& Message) override;
  void AfterSkinChange(int Command) override;
  void RepaintAfterUpdate() override;
  bool SkinnedMessage(TMessage& Message) override;
  void AfterInherited(TMessage& Message) override;

 private:
  void PaintEditNow(HDC DC, bool InPaint);
  void PrintMessage(TMessage& Message);
  // WM_PAINT while hot: the window paints its text, then the frame.
  void HotPaintMessage(TMessage& Message);

  TsDisabledKind FDisabledKind{dkBlended};
  TsBoundLabel* FBoundLabel = nullptr;
};
