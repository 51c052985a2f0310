// Spin edits: an edit with an up / down button pair drawn in the skin.
//
// TsTimerSpeedButton is one button of the pair: a skinned speed button painted on the edit's window
// colour, with an optional focus rectangle, that repeats its click while it is held (after 400 ms,
// then every 100 ms). TsSpinButton is the window that holds the pair inside the edit; its buttons
// take their background from the edit's cache. TsBaseSpinEdit is the skinned edit that owns a spin
// button and steps with it and with the arrow keys; TsSpinEdit keeps an integer value within its
// limits.
#pragma once

#include "classlib/Win.h"

#include <cstdint>

#include "classlib/ExtCtrls.h"
#include "classlib/core/Sets.h"
#include "skin/controls/sEdit.h"
#include "skin/controls/sSpeedButton.h"

// tbAllowTimer: a held press repeats the click; tbFocusRect: a focus rectangle is drawn.
enum TsTimerBtnFlag : std::uint8_t { tbAllowTimer, tbFocusRect };
using TsTimerBtnFlags = TSet<TsTimerBtnFlag>;

class TsTimerSpeedButton : public TsSpeedButton {
 public:
  QV_CLASS_NAME(TsTimerSpeedButton)
  explicit TsTimerSpeedButton(TComponent* AOwner);

  TsTimerBtnFlags TimeBtnState() const { return FTimeBtnState; }
  void SetTimeBtnState(TsTimerBtnFlags Value);
  // The repeat timer (nullptr until the first press).
  TTimer* RepeatTimer() const { return FRepeatTimer; }

 protected:
  // The speed button's look laid on the window colour (the buttons stand inside an edit), then the
  // focus rectangle when the flag asks for it.
  void Paint() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

 private:
  void TimerExpired(TObject* Sender);

  TsTimerBtnFlags FTimeBtnState;
  TTimer* FRepeatTimer = nullptr;
};

class TsBaseSpinEdit;

class TsSpinButton : public TWinControl {
 public:
  QV_CLASS_NAME(TsSpinButton)
  explicit TsSpinButton(TComponent* AOwner);

  // ---- published
  TBitmap* UpGlyph() const { return FUpButton->Glyph(); }
  // nullptr: the default arrow, drawn in the spin button's font colour.
  void SetUpGlyph(TBitmap* Value);
  TBitmap* DownGlyph() const { return FDownButton->Glyph(); }
  void SetDownGlyph(TBitmap* Value);
  TNotifyEvent OnUpClick;
  TNotifyEvent OnDownClick;

  TsTimerSpeedButton* UpButton() const { return FUpButton; }
  TsTimerSpeedButton* DownButton() const { return FDownButton; }
  // The button that shows the focus rectangle while the spin button has the focus.
  TsTimerSpeedButton* FocusedButton() const { return FFocusedButton; }
  // The control that takes the focus when a button is pressed (the edit).
  TWinControl* FocusControl() const { return FFocusControl; }
  void SetFocusControl(TWinControl* Value);

  void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
  void WndProc(TMessage& Message) override;

 protected:
  void Loaded() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

 private:
  TsTimerSpeedButton* MakeButton();
  // QC_GETCACHE: the owner edit's cache, at the spin button's place in it.
  void AnswerCache(TMessage& Message);
  void SizeMessage(TMessage& Message);
  // The focused button shows (or no longer shows) the focus rectangle.
  void ShowFocus(bool Focused);
  // The size rule: at least 15 wide, the up button the upper half (rounded down), the down button
  // the rest. true when the bounds had to change.
  bool AdjustSize(int& W, int& H);
  void PlaceButtons(int W, int H);
  void DrawArrow(TsTimerSpeedButton* Button, bool Up);
  void ButtonClick(TObject* Sender);
  void ButtonMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
  void SetFocusBtn(TsTimerSpeedButton* Button);

  TsBaseSpinEdit* FOwnerEdit = nullptr;
  TsTimerSpeedButton* FUpButton = nullptr;
  TsTimerSpeedButton* FDownButton = nullptr;
  TsTimerSpeedButton* FFocusedButton = nullptr;
  TWinControl* FFocusControl = nullptr;
};

class TsBaseSpinEdit : public TsEdit {
 public:
  QV_CLASS_NAME(TsBaseSpinEdit)
  explicit TsBaseSpinEdit(TComponent* AOwner);
  ~TsBaseSpinEdit() override;

  // ---- published
  bool EditorEnabled() const { return FEditorEnabled; }
  void SetEditorEnabled(bool Value) { FEditorEnabled = Value; }
  TNotifyEvent OnUpClick;
  TNotifyEvent OnDownClick;

  TsSpinButton* Button() const { return FButton; }

  // ---- virtual operations, in this order for descendants
  // Whether a typed character may go into the text.
  virtual bool IsValidChar(char Key);
  virtual void StepUp() {}
  virtual void StepDown() {}

  void WndProc(TMessage& Message) override;

 protected:
  void Loaded() override;
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void KeyDown(std::uint16_t& Key, TShiftState Shift) override;
  void KeyPress(char& Key) override;
  // The whole text selected on entering by the keyboard, as in a one-line edit (the window is a
  // multi-line one for its text rectangle).
  void DoEnter() override;

  // The text rectangle, left of the spin button.
  void SetEditRect();

 private:
  void UpClick(TObject*) { StepUp(); }
  void DownClick(TObject*) { StepDown(); }
  void PlaceSpinButton();
  void ForEachButton(TMessage& Message);
  void SkinCommandMessage(TMessage& Message);
  // The clipboard's text put in place of the selection without its line breaks.
  void PasteMessage();
  // The buttons' fades stopped and their looks renewed (LeaveHover: their hover dropped too).
  void RenewButtons(bool LeaveHover);

  TsSpinButton* FButton = nullptr;
  bool FEditorEnabled = true;
};

class TsSpinEdit : public TsBaseSpinEdit {
 public:
  QV_CLASS_NAME(TsSpinEdit)
  explicit TsSpinEdit(TComponent* AOwner);

  // ---- published
  int MinValue() const { return FMinValue; }
  void SetMinValue(int Value) { FMinValue = Value; }
  int MaxValue() const { return FMaxValue; }
  void SetMaxValue(int Value) { FMaxValue = Value; }
  int Increment() const { return FIncrement; }
  void SetIncrement(int Value) { FIncrement = Value; }
  // MinValue when the text is empty or no integer.
  int Value() const;
  void SetValue(int Value);
  // The value within the limits (any value while MinValue equals MaxValue): below MinValue
  // MinValue, else above MaxValue MaxValue (also when MinValue lies above MaxValue); then held
  // within the integer.
  int CheckValue(std::int64_t Value) const;

  bool IsValidChar(char Key) override;
  void StepUp() override;
  void StepDown() override;
  void WndProc(TMessage& Message) override;

 private:
  // Value + Steps * Increment, at the integer limits rather than past them, then checked.
  void StepBy(std::int64_t Steps);
  void ExitMessage();

  int FMinValue = 0;
  int FMaxValue = 0;
  int FIncrement = 1;
};
