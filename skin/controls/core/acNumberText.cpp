#include "skin/controls/core/acNumberText.h"

#include "skin/engine/core/acPaintUtils.h"

namespace qv {

std::string CleanNumberText(std::string_view Text, TacNumberSeparators Sep) {
  std::string s = TrimSpaces(Text);
  // A space as the thousand separator is taken out like any other: "1 234" reads as 1234.
  if (Sep.Thousand != '\0') s = DeleteChars(s, std::string_view(&Sep.Thousand, 1));
  for (char c : {'.', ','}) {
    if (Sep.Decimal == c || Sep.Thousand == c) continue;
    for (char& ch : s)
      if (ch == c) ch = Sep.Decimal;
  }
  if (s.empty()) return "0";
  if (s == "-") return "-0";
  return s;
}

double LimitNumber(double Value, double MinValue, double MaxValue) {
  if (MinValue == MaxValue) return Value;
  if (MinValue < MaxValue) return Value < MinValue ? MinValue : Value > MaxValue ? MaxValue : Value;
  if (MaxValue == 0) return Value < MinValue ? MinValue : Value;
  if (MinValue == 0) return Value > MaxValue ? MaxValue : Value;
  return Value;
}

bool ReadNumberText(std::string_view Text, TacNumberSeparators Sep, double MinValue, double MaxValue, double& Value) {
  const std::string text = CleanNumberText(DeleteChars(Text, "\r\n"), Sep);
  double v = 0;
  if (!TryParseFloat(text, v, Sep.Decimal)) return false;
  // The signed value meets the limits: "-5" under a minimum of 0 reads as 0.
  Value = LimitNumber(v, MinValue, MaxValue);
  return true;
}

bool IsValidNumberKeyText(std::string_view Text, TacNumberSeparators Sep, unsigned Decimals, double MinValue,
                          double MaxValue) {
  const std::string text = CleanNumberText(Text, Sep);
  if (const auto dot = text.find(Sep.Decimal); dot != std::string::npos) {
    auto end = text.find_first_of("eE", dot);
    if (end == std::string::npos) end = text.size();
    if (end - dot - 1 > Decimals) return false;
  }
  double v = 0;
  if (!TryParseFloat(text, v, Sep.Decimal)) return false;
  return !(MinValue >= 0 && MaxValue > 0 && v < 0);
}

std::string GroupThousands(std::string_view Text, TacNumberSeparators Sep) {
  if (Sep.Thousand == '\0') return std::string(Text);
  return InsertThousandSeparators(Text, Sep.Thousand, Sep.Decimal);
}

}  // namespace qv
