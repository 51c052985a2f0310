// Combo edits: a skinned masked edit with a button at its right edge that opens a popup under the
// edit.
//
// TsEditButton is that button: a flat speed button aligned to the edit's right edge, without a
// caption, kept by the edit that owns it. In a skinned combo edit it shows the edit's look under it
// with the edit's glyph (TsGlyphMode, sGlyphUtils) in the frame of its state; plain, a flat speed
// button with the glyph over it.
//
// TsCustomComboEdit holds the popup a descendant makes (the number edit's calculator): the button
// and its click key (Alt+Down) show and hide it, and it goes when the focus moves anywhere but the
// edit, the popup or the button. The popup opens under the edit, or above it when there is no room
// below, inside the work area of the edit's monitor.
#pragma once

#include "classlib/Win.h"

#include <cstdint>
#include <string>

#include "classlib/Forms.h"
#include "classlib/core/Menus.h"
#include "skin/controls/core/acPopupPlace.h"
#include "skin/controls/sGlyphUtils.h"
#include "skin/controls/sMaskEdit.h"
#include "skin/controls/sSpeedButton.h"

class TsCustomComboEdit;

class TsEditButton : public TsSpeedButton {
 public:
  QV_CLASS_NAME(TsEditButton)
  // AOwner: the edit the button belongs to.
  explicit TsEditButton(TComponent* AOwner);

  // The edit that owns the button.
  TComponent* Edit() const { return FEdit; }
  // The same when it is a combo edit (nullptr otherwise: the button is a plain speed button).
  TsCustomComboEdit* ComboEdit() const { return FComboEdit; }

  // One frame of the edit's glyph.
  int GlyphWidth() override;
  int GlyphHeight() override;
  // The edit's look under the button with the glyph over it.
  void PrepareCache() override;
  // Copies the look (prepared when it must be) to DC at X, Y.
  void PaintTo(HDC DC, int X, int Y);
  // The frame of the glyph that the state shows: 2 pressed, 1 hot, 0 otherwise.
  int GlyphFrame();

 protected:
  void Paint() override;

 private:
  // The glyph frame onto Bmp, centred, in the looks of the glyph mode (Skinned: greyed and blended
  // while nothing is hot).
  void DrawEditGlyph(TBitmap* Bmp, bool Skinned);
  bool SkinnedLook();

  TComponent* FEdit;
  TsCustomComboEdit* FComboEdit;
};

// The area a popup stays inside for a control at ControlRect (screen coordinates): the work area
// of the monitor nearest to the control. Replaceable (tests stand for other screens with it).
using TacPopupAreaFunc = TRect (*)(const TRect& ControlRect);
extern TacPopupAreaFunc PopupArea;
TRect MonitorWorkArea(const TRect& ControlRect);

class TsCustomComboEdit : public TsMaskEdit {
 public:
  QV_CLASS_NAME(TsCustomComboEdit)
  explicit TsCustomComboEdit(TComponent* AOwner);
  ~TsCustomComboEdit() override;

  // ---- published (besides the edit's: AutoSelect, EditMask, Text, HideSelection, TabStop ...)
  TNotifyEvent OnButtonClick;
  TNotifyEvent GetOnButtonClick() const { return OnButtonClick; }
  void SetOnButtonClick(TNotifyEvent Value) { OnButtonClick = Value; }
  bool ShowButton() const { return FShowButton; }
  void SetShowButton(bool Value);
  // Opens the popup like the button (default Alt+Down).
  TShortCut ClickKey() const { return FClickKey; }
  void SetClickKey(TShortCut Value) { FClickKey = Value; }
  TsGlyphMode* GlyphMode() const { return FGlyphMode; }
  void SetGlyphMode(TsGlyphMode* Value) { FGlyphMode->Assign(Value); }
  // Typing, pasting and cutting reach the text (the button works either way).
  bool DirectInput() const { return FDirectInput; }
  void SetDirectInput(bool Value);
  // The edit's own read-only flag (the window is read-only also without direct input).
  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool Value);
  // Alignment of the text in the window.
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment Value);

  TsEditButton* Button() const { return FButton; }
  // The popup a descendant opens (nullptr while there is none).
  TCustomForm* Popup() const { return FPopup; }
  bool PopupVisible() const;
  int PopupWidth() const { return FPopupWidth; }
  void SetPopupWidth(int Value) { FPopupWidth = Value; }
  qv::TacPopupAlign PopupAlign() const { return FPopupAlign; }
  void SetPopupAlign(qv::TacPopupAlign Value) { FPopupAlign = Value; }
  // The name of the default glyph the class shows (empty: none).
  const std::string& DefaultGlyphName() const { return FDefaultGlyphName; }

  // ---- virtual operations, in this order for descendants
  virtual bool GetReadOnly() const { return FReadOnly; }
  // Places the popup under the edit and shows it (a descendant makes it first).
  virtual void ShowPopup();
  virtual void HidePopup();
  // The whole text selected (nothing for an empty text).
  virtual void SelectAll();

  // What a press of the button does: nothing while read-only; else OnButtonClick, then the popup
  // hidden when it shows and shown otherwise.
  void ButtonClick();
  // The button's visibility and width renewed from ShowButton and the glyph.
  void UpdateButton();
  // The width the button takes: 0 without ShowButton or a glyph; the glyph's width + 2 when a
  // glyph bitmap is chosen; 22 otherwise.
  int ButtonWidth() const;
  // Where the window's client area lies in the window (the edit's cache is of the whole window).
  TPoint ClientOffset();

  void Invalidate() override;
  void SetEditRect() override;
  void PaintBorder(HDC DC) override;
  void PaintText() override;
  void PaintEdit(HDC DC) override;
  int CurrentState() override;
  void WndProc(TMessage& Message) override;

 protected:
  void Loaded() override;
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void KeyDown(std::uint16_t& Key, TShiftState Shift) override;
  void KeyPress(char& Key) override;
  void Change() override;

  bool SkinnedMessage(TMessage& Message) override;

  // For descendants: the popup they made (it tells PopupClosed when it closes), the default glyph.
  void SetPopup(TCustomForm* Value) { FPopup = Value; }
  void SetDefaultGlyphName(const std::string& Value);
  // The popup closed (its form goes): the edit forgets it.
  void PopupClosed();
  // The text rectangle's right end: the button's room taken off.
  int TextRight() const;
  // Where the window's own text rectangle starts in its client area: the look drawn from the cache
  // shows the text where the window draws it while it is edited.
  int TextTop();

 private:
  // The look copied to the window: BeginPaint only for WM_PAINT (InPaint), the window's DC when DC
  // is 0.
  void PaintEditIn(HDC DC, bool InPaint);
  // The button drawn onto DC (window coordinates) from its own look.
  void PaintButtonOn(HDC DC);
  bool BorderPaintable();
  void ButtonClickHandler(TObject* Sender);
  void ButtonMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
  void ButtonMouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
  void ButtonHover(TObject* Sender);
  // The focus went to Wnd: the popup goes unless Wnd is the popup's, the edit's or the button's.
  void FocusMovedTo(HWND Wnd);
  void AfterMaskEdit(TMessage& Message);

  TsEditButton* FButton = nullptr;
  TShortCut FClickKey = 0x8028;  // Alt+Down
  bool FReadOnly = false;
  bool FDirectInput = true;
  TAlignment FAlignment = taLeftJustify;
  TsGlyphMode* FGlyphMode = nullptr;
  int FPopupWidth = 197;
  qv::TacPopupAlign FPopupAlign = qv::TacPopupAlign::RightEdges;
  bool FShowButton = true;
  TCustomForm* FPopup = nullptr;
  std::string FDefaultGlyphName;
  // The popup closed as the press that is going on began on the button: its click does not open
  // the popup again.
  bool FPopupClosedByPress = false;
  bool FIgnoreClick = false;
};
