#include "skin/controls/sCurrEdit.h"

#include <cmath>

#include "classlib/Clipbrd.h"
#include "classlib/core/TypInfo.h"
#include "skin/controls/sCalcUnit.h"
#include "skin/engine/sStyleSimply.h"

TsCustomNumEdit::TsCustomNumEdit(TComponent* AOwner) : TsCustomComboEdit(AOwner) {
  FDisplayFormat = DefaultDisplayFormat();
  SetMaxLength(0);
  SetPopupWidth(213);
  // The button opens the calculator: it shows the calculator's glyph.
  SetDefaultGlyphName(GlyphCalc);
  ReformatEditText();
}

qv::TacNumberSeparators TsCustomNumEdit::Separators() {
  return qv::TacNumberSeparators{FormatSettings.DecimalSeparator, FormatSettings.ThousandSeparator};
}

// ---- value and text -------------------------------------------------------------------------------------

bool TsCustomNumEdit::ReadText() {
  double v = 0;
  if (!qv::ReadNumberText(EditText(), Separators(), FMinValue, FMaxValue, v)) return false;
  FValue = v;
  return true;
}

Extended TsCustomNumEdit::Value() {
  if (!IsDesigning(this)) ReadText();
  return FValue;
}

void TsCustomNumEdit::SetValue(Extended Value) {
  if (!std::isfinite(Value)) return;
  FValue = CheckValue(Value);
  ReformatEditText();
  FSkinData->Invalidate();
}

void TsCustomNumEdit::SetMinValue(Extended Value) {
  if (FMinValue == Value) return;
  FMinValue = Value;
  SetValue(this->Value());
}

void TsCustomNumEdit::SetMaxValue(Extended Value) {
  if (FMaxValue == Value) return;
  FMaxValue = Value;
  SetValue(this->Value());
}

std::string TsCustomNumEdit::GetText() const { return DeleteChars(TsCustomComboEdit::GetText(), "\r\n"); }

void TsCustomNumEdit::SetText(const std::string& Value) {
  if (Loading()) {
    TsCustomComboEdit::SetText(Value);
    return;
  }
  double v = 0;
  if (qv::ReadNumberText(Value, Separators(), FMinValue, FMaxValue, v)) FValue = v;
  ReformatEditText();
  FSkinData->Invalidate();
}

void TsCustomNumEdit::SetDisplayFormat(const std::string& Value) {
  if (FDisplayFormat == Value) return;
  FDisplayFormat = Value;
  FSkinData->Invalidate();
  ReformatEditText();
}

void TsCustomNumEdit::SetDecimalPlaces(unsigned Value) {
  if (FDecimalPlaces == Value) return;
  FDecimalPlaces = Value;
  ReformatEditText();
  FSkinData->Invalidate();
}

void TsCustomNumEdit::SetAlignment(TAlignment Value) {
  FAlignment = Value;
  FSkinData->Invalidate();
}

void TsCustomNumEdit::ReformatEditText() {
  if (IsMasked()) return;
  std::string format = "0";
  if (FDecimalPlaces > 0) format += "." + std::string(FDecimalPlaces, '#');
  SetEditText(FormatFloat(format, FValue));
}

std::string TsCustomNumEdit::GetDisplayText() {
  if (FFocused) return GetText();
  const Extended v = Value();
  return FDisplayFormat.empty() ? FloatToStr(v) : FormatFloat(FDisplayFormat, v);
}

void TsCustomNumEdit::Clear() { SetText(""); }

void TsCustomNumEdit::Reset() {
  ReformatEditText();
  SelectAll();
}

// ---- typing -----------------------------------------------------------------------------------------------

bool TsCustomNumEdit::IsValidKey(char Key) {
  std::string text = EditText();
  DWORD start = 0, end = 0;
  if (HandleAllocated())
    SendMessageA(Handle_, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  start = std::min<DWORD>(start, DWORD(text.size()));
  end = std::clamp<DWORD>(end, start, DWORD(text.size()));
  text.replace(start, end - start, 1, Key);
  return qv::IsValidNumberKeyText(text, Separators(), FDecimalPlaces, FMinValue, FMaxValue);
}

void TsCustomNumEdit::KeyPress(char& Key) {
  const qv::TacNumberSeparators sep = Separators();
  if ((Key == '.' || Key == ',') && Key != sep.Thousand) Key = sep.Decimal;
  auto alive = AliveToken();
  TsCustomComboEdit::KeyPress(Key);
  if (!*alive || Key == 0) return;
  if (static_cast<unsigned char>(Key) >= 32 && !IsValidKey(Key)) {
    Key = 0;
    if (FBeepOnError) MessageBeep(0);
    return;
  }
  if (Key == 27) {
    Reset();
    Key = 0;
  }
}

void TsCustomNumEdit::Change() {
  if (FFormatting) return;
  FFormatting = true;
  const std::string old = EditText();
  std::string text = old;
  if (!text.empty() && text != "-") text = qv::CleanNumberText(text, Separators());
  if (!FDisplayFormat.empty()) text = qv::GroupThousands(text, Separators());
  if (text != old) {
    const int caret = HandleAllocated() ? SelStart() : 0;
    SetEditText(text);
    if (HandleAllocated() && Focused() && !IsDesigning(this)) {
      const int moved = std::max(0, caret + int(text.size()) - int(old.size()));
      SendMessageA(Handle_, EM_SETSEL, WPARAM(moved), LPARAM(moved));
    }
  }
  FFormatting = false;
  TsCustomComboEdit::Change();
}

void TsCustomNumEdit::PasteMessage(TMessage& Message) {
  // A paste that would leave no number is refused; one that does is read into the value.
  if (!Clipboard()->HasFormat(CF_TEXT)) return;
  std::string text = EditText();
  DWORD start = 0, end = 0;
  SendMessageA(Handle_, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  start = std::min<DWORD>(start, DWORD(text.size()));
  end = std::clamp<DWORD>(end, start, DWORD(text.size()));
  text.replace(start, end - start, Clipboard()->AsText());
  if (!qv::IsValidNumberKeyText(text, Separators(), FDecimalPlaces, FMinValue, FMaxValue)) {
    if (FBeepOnError) MessageBeep(0);
    return;
  }
  auto alive = AliveToken();
  TsCustomComboEdit::WndProc(Message);
  if (*alive) ReadText();
}

// ---- focus --------------------------------------------------------------------------------------------------

void TsCustomNumEdit::EnterMessage() {
  if (FFocused) return;
  FFocused = true;
  if (!(Focused() && AutoSelect_)) FSkinData->Invalidate();
  FFormatting = true;
  ReformatEditText();
  FFormatting = false;
}

void TsCustomNumEdit::ExitMessage() {
  // A text that is no number does not become the value, and does not hold the focus either: the
  // last good value is written back. A number beyond the limits is written back as the value it
  // was held at, so that the text says what Value gives; with CheckOnExit every text is written
  // back in the value's format.
  if (!IsDesigning(this)) {
    double typed = 0;
    const bool read = ReadText();
    const bool beyond = read && qv::ReadNumberText(EditText(), Separators(), 0, 0, typed) && typed != FValue;
    if (!read || beyond || FCheckOnExit) ReformatEditText();
  }
  FFocused = false;
  if (HandleAllocated()) SendMessageA(Handle_, EM_SETSEL, 0, 0);
  FSkinData->Invalidate();
}

void TsCustomNumEdit::WndProc(TMessage& Message) {
  switch (Message.Msg) {
    case CM_ENTER: EnterMessage(); break;
    case CM_EXIT: ExitMessage(); break;
    case WM_PASTE:
      if (DirectInput() && !ReadOnly() && HandleAllocated()) {
        PasteMessage(Message);
        return;
      }
      break;
    default: break;
  }
  TsCustomComboEdit::WndProc(Message);
}

// ---- painting ---------------------------------------------------------------------------------------------

void TsCustomNumEdit::PaintText() {
  TCanvas* canvas = FSkinData->CacheBmp->Canvas();
  canvas->SetFont(Font());
  // Where the window shows its text when it paints it itself.
  const int top = ClientOffset().Y + TextTop();
  const TRect r = Rect(3, top, Width_ - 3 - TextRight(), Height_ - 3);
  const UINT align = AlignmentDrawFlags(this, FAlignment);
  const bool hot = CurrentState() != 0;
  if (PasswordChar_) {
    DrawControlText(canvas, std::string(GetText().size(), PasswordChar_), Enabled(), r,
                    align | DT_WORDBREAK | DT_SINGLELINE | DT_NOPREFIX, FSkinData, hot);
    return;
  }
  DrawControlText(canvas, GetDisplayText(), Enabled(), r, align | DT_NOPREFIX, FSkinData, hot);
}

// ---- the calculator -------------------------------------------------------------------------------------------

void TsCustomNumEdit::ShowPopup() {
  if (!Popup()) {
    struct TCreating {
      TCreating() { CalcFormCreating = true; }
      ~TCreating() { CalcFormCreating = false; }
    };
    TsCalcForm* form = nullptr;
    {
      const TCreating creating;
      form = ::Create<TsCalcForm>(this);
    }
    form->SetPosition(poDesigned);
    if (form->DragBar() && form->DragBar()->Visible()) {
      form->DragBar()->SetVisible(false);
      form->SetHeight(form->Height() - 24);
    }
    form->SetPrecision(16);
    form->SetBeepOnError(FBeepOnError);
    form->SetOwnerEdit(this);
    form->ShowValue(Value());
    form->OnClose = MakeMethod<&TsCustomNumEdit::PopupClose>(this);
    SetPopup(form);
  }
  TsCustomComboEdit::ShowPopup();
}

void TsCustomNumEdit::PopupClose(TObject* Sender, TCloseAction& Action) {
  Action = caFree;
  if (Sender == Popup()) PopupClosed();
}

void TsCustomNumEdit::AcceptPopupValue(Extended Value) {
  auto alive = AliveToken();
  SetValue(Value);
  if (CanFocus()) SetFocus();
  if (!*alive) return;
  if (AutoSelect_) SelectAll();
  TsMaskEdit::Change();
}

namespace {
const bool kNumEditProps = RegisterProperties<TsCustomNumEdit, TsCustomComboEdit>([](auto& p) {
  p.Ord("Alignment", &TsCustomNumEdit::Alignment, &TsCustomNumEdit::SetAlignment);
  p.Ord("BeepOnError", &TsCustomNumEdit::BeepOnError, &TsCustomNumEdit::SetBeepOnError);
  p.Ord("CheckOnExit", &TsCustomNumEdit::CheckOnExit, &TsCustomNumEdit::SetCheckOnExit);
  p.Ord("DecimalPlaces", &TsCustomNumEdit::DecimalPlaces, &TsCustomNumEdit::SetDecimalPlaces);
  p.Str("DisplayFormat", &TsCustomNumEdit::DisplayFormat, &TsCustomNumEdit::SetDisplayFormat);
});
}  // namespace
