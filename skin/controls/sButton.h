// The skinned push button.
//
// While a skin is active the button's window is owner-drawn: the button paints its whole look
// (section "BUTTON", caption, focus dots, disabled look) into its cache bitmap and gives its window
// a region cut from the section's border mask, so that transparent corners show the parent.
// Pressing, releasing, hovering and focusing fade between looks. Without a skin it is the class
// library's button.
#pragma once

#include "classlib/Win.h"

#include "classlib/GdiScopes.h"
#include "classlib/StdCtrls.h"
#include "skin/controls/sCommonFrame.h"

class TsButton : public TacSkinnedControl<TButton> {
 public:
  QV_CLASS_NAME(TsButton)
  explicit TsButton(TComponent* AOwner);
  ~TsButton() override;

  // ---- published
  TsDisabledKind DisabledKind() const { return FDisabledKind; }
  void SetDisabledKind(TsDisabledKind Value);
  bool Down() const { return FDown; }
  void SetDown(bool Value);
  int FocusMargin() const { return FFocusMargin; }
  void SetFocusMargin(int Value) { FFocusMargin = Value; }
  // WordWrap: the base's, default true here.

  // The state the button is painted in: 0 normal, 1 hot, 2 pressed.
  int CurrentState();
  // Builds the whole look in the cache bitmap.
  void PrepareCache();
  // The rectangle the caption is drawn in (state 2 moves it by one pixel).
  virtual void CaptionRect(TRect& R);
  int MaxCaptionWidth() const;
  // The flags the caption is measured and drawn with: centred, wrapped to the button's width
  // with WordWrap; its own line breaks are kept either way.
  UINT CaptionFlags() const { return DT_EXPANDTABS | DT_CENTER | (WordWrap_ ? DT_WORDBREAK : 0); }

  // ---- state read by tests and the fade
  // The window region waiting to be given to the window: 0 none, 1 before the first paint.
  HRGN PendingRegion() const { return FRegion ? FRegion.Get() : FFirstPaint ? reinterpret_cast<HRGN>(1) : nullptr; }
  bool RegionChanged() const { return FRegionChanged; }
  bool DefaultFlag() const { return FDefaultFlag; }

 protected:
  void SkinLoaded() override;
  void CreateParams(TCreateParams& Params) override;
  void SetButtonStyle(bool ADefault) override;
  void ActionChange(TObject* Sender, bool CheckDefaults) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

  void BeforeSkinChange(int Command) override;
  void AfterSkinChange(int Command) override;
  bool SkinnedMessage(TMessage& Message) override;
  void AfterInherited(TMessage& Message) override;
  void PlainMessage(TMessage& Message) override;

  virtual void DrawCaptionText(TRect& R, UINT Flags);
  virtual void DrawCaption();

 private:
  void PaintHandler(TMessage& Message);
  bool SkinCommandMessage(TMessage& Message);
  // WM_SETFOCUS / CM_ENTER and WM_KILLFOCUS / CM_EXIT.
  bool FocusMessage(TMessage& Message, bool Gained);
  void MovedMessage();
  void SpaceKeyMessage(const TMessage& Message);
  void MeasureItemMessage(TMessage& Message);
  // BM_SETSTATE after the native button handled it: the window's pushed state changed.
  void PushedStateChanged();
  void DropRegion();
  // The pending region given to the window (Redraw: with a redraw); false when the window has that
  // shape already (nothing is set then).
  // Gives the window the pending region unless the one it has (asked of it; Current: the one it
  // has, nullptr for none) is of the same shape; true when it was given.
  bool SetRegion(bool Redraw);
  bool SetRegionOver(bool Redraw, HRGN Current);
  // In a skin switch: the cache copied to the window and the window cut to the pending region
  // without a pixel left of the old skin.
  void PaintAndCut(HDC DC);
  // When a skin switch's commands have walked, before its paint: the cache built in the new skin
  // and the window cut to the new shape (the paint then copies the cache).
  void CutToNewShape();
  // The plain push button: owner-draw style and window region dropped.
  void BackToPlainLook();
  void FollowAction();
  bool WindowPushed() const;

  TsDisabledKind FDisabledKind{dkBlended};
  bool FDown = false;
  int FFocusMargin = 1;
  // The mouse buttons whose press began on this button (each released on its own).
  TSet<TMouseButton> FPressed;
  // The state the cache was last built in; while it is built CurrentState answers it (the window
  // and the focus are asked once for each cache).
  int FPaintedState = -1;
  bool FBuildingCache = false;
  bool FRegionChanged = true;
  bool FSettingRegion = false;  // the window's region is being set (its position messages mean nothing)
  // The pending window region; before the first paint none is pending yet and the region is
  // given with a redraw.
  OwnedRegion FRegion;
  bool FFirstPaint = true;
  bool FDefaultFlag = false;
};

// Set while a quick click shows the pressed look before the release fade.
extern bool ShowButtonPressed;
