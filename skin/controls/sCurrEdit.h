// The number edit: a combo edit that holds a floating-point Value within its limits, shows it in a
// display format while it is not edited, takes only keys that keep the text a number, and opens
// the calculator popup (sCalcUnit) from its button.
//
// While the edit has the focus its text is the value written plainly ("0.##" for two decimal
// places) with the thousand separators put in as one types; when it loses the focus the text is
// read into the value (limited) and the display format shows. A text that is no number never
// becomes the value: the last good value stays (and is written back on leaving the edit).
// Separators are the locale's (FormatSettings); '.' and ',' typed are taken as the decimal
// separator unless one is the thousand separator.
#pragma once

#include "classlib/Win.h"

#include <cstdint>
#include <string>

#include "classlib/core/SysUtils.h"
#include "skin/controls/core/acNumberText.h"
#include "skin/controls/sCustomComboEdit.h"

class TsCustomNumEdit : public TsCustomComboEdit {
 public:
  QV_CLASS_NAME(TsCustomNumEdit)
  explicit TsCustomNumEdit(TComponent* AOwner);

  // ---- published
  // Alignment of the value shown while the edit is not edited.
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment Value);
  bool BeepOnError() const { return FBeepOnError; }
  void SetBeepOnError(bool Value) { FBeepOnError = Value; }
  // Leaving the edit writes the limited value back into the text.
  bool CheckOnExit() const { return FCheckOnExit; }
  void SetCheckOnExit(bool Value) { FCheckOnExit = Value; }
  unsigned DecimalPlaces() const { return FDecimalPlaces; }
  void SetDecimalPlaces(unsigned Value);
  // FormatFloat's picture for the value shown (empty: FloatToStr).
  const std::string& DisplayFormat() const { return FDisplayFormat; }
  void SetDisplayFormat(const std::string& Value);
  Extended MaxValue() const { return FMaxValue; }
  void SetMaxValue(Extended Value);
  Extended MinValue() const { return FMinValue; }
  void SetMinValue(Extended Value);
  // The text read into the value first (outside design time).
  Extended Value();
  void SetValue(Extended Value);
  // The text without line breaks; setting it reads a number (a text that is none keeps the value).
  std::string GetText() const override;
  void SetText(const std::string& Value) override;
  void Clear() override;
  // The text of the current value again, all of it selected.
  void Reset() override;
  void ShowPopup() override;
  // The calculator's result: the value set, the edit focused (its text selected with AutoSelect)
  // and its change notification fired.
  void AcceptPopupValue(Extended Value);

  // ---- virtual operations, in this order for descendants
  // The text written from the value ("0.##" for two decimal places) unless an edit mask is set.
  virtual void ReformatEditText();
  virtual std::string DefaultDisplayFormat() const { return "### ### ##0.00;-### ### ##0.00;0"; }
  // Whether a printable key may go into the text at the caret.
  virtual bool IsValidKey(char Key);
  // The text painted: the edit text while it is edited, else the formatted value.
  virtual std::string GetDisplayText();

  // The locale's separators.
  static qv::TacNumberSeparators Separators();
  // The value within the limits.
  Extended CheckValue(Extended Value) const { return qv::LimitNumber(Value, FMinValue, FMaxValue); }
  // The text is being edited (between entering and leaving the edit).
  bool Editing() const { return FFocused; }

  void PaintText() override;
  void WndProc(TMessage& Message) override;

 protected:
  void KeyPress(char& Key) override;
  void Change() override;

 private:
  // The text read into the value; false (the value kept) when it is no number.
  bool ReadText();
  void EnterMessage();
  void ExitMessage();
  void PasteMessage(TMessage& Message);
  void PopupClose(TObject* Sender, TCloseAction& Action);
  // Sets the edit text without the formatting and change notifications of typing.
  void PutEditText(const std::string& Text);

  TAlignment FAlignment = taRightJustify;
  bool FFocused = false;
  Extended FValue = 0;
  Extended FMinValue = 0;
  Extended FMaxValue = 0;
  unsigned FDecimalPlaces = 2;
  bool FBeepOnError = true;
  bool FCheckOnExit = false;
  bool FFormatting = false;
  std::string FDisplayFormat;
};
