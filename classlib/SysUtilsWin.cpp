// The locale's number and currency formats, read from the user's settings.
#include "classlib/Win.h"
#include "classlib/core/SysUtils.h"

namespace {

std::string LocaleString(LCTYPE type, const char* fallback) {
  char buf[64] = {};
  int n = GetLocaleInfoA(LOCALE_USER_DEFAULT, type, buf, static_cast<int>(sizeof buf));
  if (n <= 1) return fallback;  // the count includes the terminating zero
  return std::string(buf, static_cast<size_t>(n - 1));
}

int LocaleInt(LCTYPE type, int fallback) {
  std::string s = LocaleString(type, "");
  return StrToIntDef(s, fallback);
}

}  // namespace

void InitFormatSettingsFromSystem() {
  TFormatSettings fs;
  std::string dec = LocaleString(LOCALE_SDECIMAL, ".");
  std::string thousand = LocaleString(LOCALE_STHOUSAND, ",");
  fs.DecimalSeparator = dec.empty() ? '.' : dec[0];
  // Locales that group with a no-break space report 0xA0; an empty entry means no grouping.
  fs.ThousandSeparator = thousand.empty() ? '\0' : thousand[0];
  fs.CurrencyString = LocaleString(LOCALE_SCURRENCY, "$");
  fs.CurrencyFormat = static_cast<std::uint8_t>(LocaleInt(LOCALE_ICURRENCY, 0) & 3);
  int neg = LocaleInt(LOCALE_INEGCURR, 0);
  fs.NegCurrFormat = static_cast<std::uint8_t>(neg >= 0 && neg <= 15 ? neg : 0);
  int digits = LocaleInt(LOCALE_ICURRDIGITS, 2);
  fs.CurrencyDecimals = static_cast<std::uint8_t>(digits >= 0 && digits <= 9 ? digits : 2);
  FormatSettings = fs;
}
