// The text rules of the number edits, without any platform header: cleaning a typed number,
// keeping a value within its limits, reading a text as a value and judging a key by the text it
// would make. Separators are passed in (the edits take them from the locale); a thousand separator
// of '\0' means the locale has none.
#pragma once

#include <string>
#include <string_view>

namespace qv {

struct TacNumberSeparators {
  char Decimal = '.';
  char Thousand = ',';
};

// A typed number made readable: blanks at both ends trimmed, thousand separators removed, '.' and
// ',' that are not separators of the locale taken as its decimal separator, an empty text read as
// "0" and a lone "-" as "-0".
std::string CleanNumberText(std::string_view Text, TacNumberSeparators Sep);

// Value kept within MinValue .. MaxValue: equal limits keep any value; MinValue above MaxValue
// keeps only the lower limit when MaxValue is 0, only the upper one when MinValue is 0, else none.
double LimitNumber(double Value, double MinValue, double MaxValue);

// The text (line breaks dropped, cleaned) read as a signed number and kept within the limits.
// false, leaving Value as it was, when the text is no number.
bool ReadNumberText(std::string_view Text, TacNumberSeparators Sep, double MinValue, double MaxValue, double& Value);

// Whether a text that typing would make may stand: cleaned, it is a number with at most Decimals
// digits after the decimal separator (up to an exponent), and not negative when the limits are
// MinValue >= 0 and MaxValue > 0. The limits themselves are applied when the text is read.
bool IsValidNumberKeyText(std::string_view Text, TacNumberSeparators Sep, unsigned Decimals, double MinValue,
                          double MaxValue);

// The text with the thousand separators of its integer part (none when Sep.Thousand is '\0').
std::string GroupThousands(std::string_view Text, TacNumberSeparators Sep);

}  // namespace qv
