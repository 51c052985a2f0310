// The skinned speed button: a graphic control (no window of its own) painted in the skin section
// "SPEEDBUTTON" through a cache bitmap, with glyphs from a bitmap or an image list, caption and
// glyph alignment, an optional drop-down part with a popup menu, separator and divider styles,
// blending and greying of the glyph, and an animated change of state. Descendants (the tab close
// button, the auto-repeat spin button, the combo-edit button) override its virtual operations.
#pragma once

#include "classlib/Win.h"

#include <string>

#include "classlib/Buttons.h"
#include "classlib/ComCtrls.h"  // TToolButtonStyle
#include "classlib/ImgList.h"
#include "classlib/Menus.h"
#include "classlib/StdCtrls.h"
#include "skin/controls/sCommonFrame.h"

// Width of the arrow part of a drop-down button.
inline constexpr int DropDownArrowWidth = 16;

class TsSpeedButton : public TacSkinnedControl<TSpeedButton> {
 public:
  QV_CLASS_NAME(TsSpeedButton)
  explicit TsSpeedButton(TComponent* AOwner);
  ~TsSpeedButton() override;

  // ---- published
  TBmpPaintEvent OnPaint;
  TBmpPaintEvent GetOnPaint() const { return OnPaint; }
  void SetOnPaint(TBmpPaintEvent Value) { OnPaint = Value; }
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment Value);
  int Blend() const { return FBlend; }
  void SetBlend(int Value);
  TToolButtonStyle ButtonStyle() const { return FButtonStyle; }
  void SetButtonStyle(TToolButtonStyle Value);
  TsDisabledGlyphKind DisabledGlyphKind() const { return FDisabledGlyphKind; }
  void SetDisabledGlyphKind(TsDisabledGlyphKind Value);
  TsDisabledKind DisabledKind() const { return FDisabledKind; }
  void SetDisabledKind(TsDisabledKind Value);
  TPopupMenu* DropdownMenu() const { return FDropdownMenu; }
  void SetDropdownMenu(TPopupMenu* Value);
  bool Grayed() const { return FGrayed; }
  void SetGrayed(bool Value);
  int ImageIndex() const { return FImageIndex; }
  void SetImageIndex(int Value);
  TCustomImageList* Images() const { return FImages; }
  void SetImages(TCustomImageList* Value);
  bool ShowCaption() const { return FShowCaption; }
  void SetShowCaption(bool Value);
  bool DrawOverBorder() const { return FDrawOverBorder; }
  void SetDrawOverBorder(bool Value);
  int TextOffset() const { return FTextOffset; }
  void SetTextOffset(int Value);
  TAlignment TextAlignment() const { return FTextAlignment; }
  void SetTextAlignment(TAlignment Value);

  void ActionChange(TObject* Sender, bool CheckDefaults) override;
  void Invalidate() override;

  // ---- virtual operations, in slot order
  virtual void DrawCaptionText(TRect& R, UINT Flags);
  virtual void DrawCaption();
  virtual TSize CaptionSize();
  virtual void PaintGlyph();
  virtual int GlyphWidth();
  virtual int GlyphHeight();
  virtual void DrawGlyph();
  virtual void PrepareCache();
  virtual int CurrentState();
  virtual void CaptionRect(TRect& R);
  virtual void GlyphRect(TRect& R);

  int MaxCaptionWidth();
  // Repaints with the parent told (QC_SETREPAINTCHILD) that this child paints itself now.
  void RepaintSpeedButton();
  void AnimateOrRepaint(bool Fast, bool AllowFade);
  void StartAnim(bool Fast);
  void StopAnim();
  // Fills Glyph from the image list (two frames: the image and its disabled look); unskinned only.
  void MakeGlyphFromImageList();

  TsAnimTimer* AnimTimer() const { return FAnimTimer; }
  bool MenuShown() const { return FMenuShown; }
  TButtonState ButtonState() const { return State_; }

 protected:
  void SkinLoaded() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void Paint() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

  bool ReadyAndSkinned() const override { return FrameSkinned(this, FSkinData, false); }
  void StopFading() override { StopAnim(); }
  void BeforeSkinChange(int Command) override;
  void AfterSkinChange(int Command) override;
  void RepaintAfterUpdate() override { RepaintSpeedButton(); }
  bool SkinnedMessage(TMessage& Message) override;
  void AfterInherited(TMessage& Message) override;
  void PlainMessage(TMessage& Message) override;

  int ArrowWidth() const { return FButtonStyle == tbsDropDown ? DropDownArrowWidth : 0; }
  // One part's look in State into R (offset: R's place in the parent), its corners cut out.
  void PaintPart(const TsCacheInfo& ci, int State, const TRect& R, TPoint Offset);
  // The main part and the arrow part of the cache (the arrow part is empty without one).
  TRect MainPart() const { return Rect(0, 0, Width_ - ArrowWidth(), Height_); }
  TRect ArrowPart() const { return Rect(Width_ - ArrowWidth(), 0, Width_, Height_); }
  // The state of the arrow part of a drop-down button.
  int ArrowState();
  // The cache corners renewed over the parent's background in the states of their parts.
  void RepaintCorners();
  void FillBackground(const TsCacheInfo& ci);
  void ApplyStoredCaption();
  void ChangedLook();

 private:
  void GlyphChangedSkin(TObject* Sender);
  // The drop-down menu below the button, shown until it closes (a left press on the arrow part).
  void ShowDropdownMenu();
  bool SkinCommandMessage(TMessage& Message);
  // WM_LBUTTONUP before the inherited handling: a running animation gives way to the final look.
  void ReleaseDuringAnimation();
  void MouseEnterMessage(const TMessage& Message);
  void MouseLeaveMessage(const TMessage& Message);

  TAlignment FAlignment = taCenter;
  int FBlend = 0;
  TToolButtonStyle FButtonStyle = tbsButton;
  TsDisabledGlyphKind FDisabledGlyphKind{dgBlended};
  TsDisabledKind FDisabledKind{dkBlended};
  TPopupMenu* FDropdownMenu = nullptr;
  bool FGrayed = false;
  int FImageIndex = -1;
  TCustomImageList* FImages = nullptr;
  bool FShowCaption = true;
  bool FDrawOverBorder = true;
  int FTextOffset = 0;
  TAlignment FTextAlignment = taCenter;

  TsAnimTimer* FAnimTimer = nullptr;
  bool FLastDown = false;
  int FLastNumGlyphs = 1;
  int FLastSpacing = 4;
  TButtonLayout FLastLayout = blGlyphLeft;
  std::string FStoredCaption;
  bool FMenuShown = false;
  TNotifyEvent FOldGlyphChange;
};
