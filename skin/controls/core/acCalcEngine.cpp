#include "skin/controls/core/acCalcEngine.h"

#include <algorithm>
#include <cctype>
#include <cmath>

#include "classlib/core/SysUtils.h"
#include "skin/engine/core/acPaintUtils.h"

namespace qv {

namespace {
constexpr char kEnter = 13, kEsc = 27, kBack = 8, kCopy = 3, kPaste = 22;
}  // namespace

TacCalcEngine::TacCalcEngine() = default;

void TacCalcEngine::SetPrecision(int Value) { FPrecision = std::clamp(Value, 2, 18); }

void TacCalcEngine::Beep() {
  if (BeepOnError && OnBeep) OnBeep();
}

void TacCalcEngine::SetText(const std::string& Value) {
  if (FText == Value) return;
  FText = Value;
  if (OnDisplayChange) OnDisplayChange();
}

double TacCalcEngine::DisplayValue() const {
  if (FStatus == TacCalcStatus::Error) return 0;
  double v = 0;
  return TryParseFloat(Trim(FText), v, FormatSettings.DecimalSeparator) ? v : 0;
}

void TacCalcEngine::ShowValue(double Value) {
  if (!std::isfinite(Value)) {
    Fail();
    return;
  }
  if (Value == 0) Value = 0;  // no "-0"
  SetText(FloatToStrF(Value, ffGeneral, FPrecision, 0));
  if (OnValueShown) OnValueShown();
}

void TacCalcEngine::Fail() {
  FStatus = TacCalcStatus::Error;
  SetText("Error");
  Beep();
  if (OnError) OnError();
}

void TacCalcEngine::Clear() {
  FStatus = TacCalcStatus::Result;
  ShowValue(0);
  FOperator = '=';
}

void TacCalcEngine::StartNumber() {
  if (FStatus != TacCalcStatus::Result) return;
  FStatus = TacCalcStatus::Typing;
  SetText("0");
}

TacCalcAction TacCalcEngine::Key(char Key) {
  Key = char(std::toupper(static_cast<unsigned char>(Key)));
  if (FStatus == TacCalcStatus::Error && Key != 'C') return TacCalcAction::None;
  if (OnKeyFilter) OnKeyFilter(Key);
  const char dec = FormatSettings.DecimalSeparator;
  switch (Key) {
    case '0':
    case '1':
    case '2':
    case '3':
    case '4':
    case '5':
    case '6':
    case '7':
    case '8':
    case '9': {
      StartNumber();
      std::string t = FText == "0" ? std::string() : FText;
      const bool negative = t.find('-') != std::string::npos;
      const std::size_t room = std::size_t(std::max(2, FPrecision) + (negative ? 1 : 0));
      if (t.find('E') == std::string::npos && t.size() < room)
        SetText(t + Key);
      else
        Beep();
      return TacCalcAction::None;
    }
    case '.':
    case ',':
      StartNumber();
      if (FText.find(dec) == std::string::npos) SetText(FText + dec);
      return TacCalcAction::None;
    case kBack:
      StartNumber();
      if (FText.size() == 1 || (FText.size() == 2 && FText[0] == '-'))
        SetText("0");
      else
        SetText(FText.substr(0, FText.size() - 1));
      return TacCalcAction::None;
    case 'C': Clear(); return TacCalcAction::None;
    case kEsc:
      if (FText == "0") return TacCalcAction::Close;
      Clear();
      return TacCalcAction::None;
    case kCopy: return TacCalcAction::Copy;
    case kPaste: return TacCalcAction::Paste;
    case 'Q': {
      FStatus = TacCalcStatus::Result;
      const double v = DisplayValue();
      if (v >= 0)
        ShowValue(std::sqrt(v));
      else
        Fail();
      return TacCalcAction::None;
    }
    case 'R': {
      FStatus = TacCalcStatus::Result;
      const double v = DisplayValue();
      if (v != 0)
        ShowValue(1 / v);
      else
        Fail();
      return TacCalcAction::None;
    }
    case '_': ShowValue(-DisplayValue()); return TacCalcAction::None;
    case '+':
    case '-':
    case '*':
    case '/':
    case '%':
    case '=':
    case kEnter: return OperatorKey(Key);
    default: return TacCalcAction::None;
  }
}

TacCalcAction TacCalcEngine::OperatorKey(char Key) {
  if (Key == kEnter && FStatus == TacCalcStatus::Result && HasOwner) return TacCalcAction::HandBack;
  if (FStatus == TacCalcStatus::Typing) {
    FStatus = TacCalcStatus::Result;
    double x = DisplayValue();
    if (Key == '%') {
      if (FOperator == '*' || FOperator == '/')
        x = x / 100;
      else if (FOperator == '+' || FOperator == '-')
        x = FOperand * x / 100;
    }
    switch (FOperator) {
      case '*': ShowValue(FOperand * x); break;
      case '+': ShowValue(FOperand + x); break;
      case '-': ShowValue(FOperand - x); break;
      case '/':
        if (x == 0)
          Fail();
        else
          ShowValue(FOperand / x);
        break;
      default: break;
    }
    if (FStatus == TacCalcStatus::Error) return TacCalcAction::None;
  }
  FOperator = Key;
  FOperand = DisplayValue();
  if ((Key == '%' || Key == '=' || Key == kEnter) && OnResult) OnResult();
  if (Key == '=' && HasOwner) return TacCalcAction::HandBack;
  return TacCalcAction::None;
}

void TacCalcEngine::MemoryKey(TMemoryKey Which) {
  if (FStatus == TacCalcStatus::Error) return;
  switch (Which) {
    case TMemoryKey::Store: FMemory = DisplayValue(); break;
    case TMemoryKey::Add: FMemory += DisplayValue(); break;
    case TMemoryKey::Recall:
      StartNumber();
      ShowValue(FMemory);
      break;
    case TMemoryKey::Clear: FMemory = 0; break;
  }
  if (!std::isfinite(FMemory)) {
    FMemory = 0;
    Fail();
  }
}

bool TacCalcEngine::Paste(std::string_view Text, std::string_view CurrencyString) {
  std::string s(Text);
  if (!CurrencyString.empty()) s = ReplaceAllStr(s, CurrencyString, "");
  s = Trim(s);
  double v = 0;
  if (FStatus == TacCalcStatus::Error || !TryParseFloat(s, v, FormatSettings.DecimalSeparator)) {
    Beep();
    return false;
  }
  // A pasted number takes part in the next operator like a typed one.
  StartNumber();
  ShowValue(v);
  return true;
}

}  // namespace qv
