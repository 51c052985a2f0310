// The masked edit: an edit whose text follows an edit mask (classlib/core/EditMask.h). Typing
// fills the input positions one by one and skips the literals; Backspace and Delete blank a
// position; Esc gives back the text the edit had when it got the focus (Reset).
#pragma once

#include "classlib/Win.h"

#include <string>

#include "classlib/StdCtrls.h"
#include "classlib/core/EditMask.h"

class TCustomMaskEdit : public TCustomEdit {
 public:
  QV_CLASS_NAME(TCustomMaskEdit)
  explicit TCustomMaskEdit(TComponent* AOwner);
  const std::string& EditMask() const { return EditMask_; }
  void SetEditMask(const std::string& v);
  bool IsMasked() const { return !Mask_.Empty(); }
  // The text as shown, literals and blanks included.
  std::string EditText() const { return TCustomEdit::GetText(); }
  void SetEditText(const std::string& v);
  // The value: the shown text with blanks as spaces (literals kept when the mask says so).
  std::string GetText() const override;
  void SetText(const std::string& v) override;
  // Whether every required position is filled.
  bool IsComplete() const { return !IsMasked() || Mask_.Complete(EditText()); }
  // The text the edit had when it got the focus, back again; Modified cleared.
  virtual void Reset();

 protected:
  void KeyDown(std::uint16_t& Key, TShiftState Shift) override;
  void KeyPress(char& Key) override;
  void DoEnter() override;
  void Dispatch(TMessage& Message) override;

 private:
  void BlankSelection(std::string& text, int start, int end) const;
  void PutText(const std::string& text, int caret);
  void EditMasked(TMessage& Message);
  void PasteMasked();
  void CutMasked(TMessage& Message);
  std::string EditMask_;
  TEditMask Mask_;
  std::string OldValue_;
};

class TMaskEdit : public TCustomMaskEdit {
 public:
  QV_CLASS_NAME(TMaskEdit)
  using TCustomMaskEdit::TCustomMaskEdit;
};
