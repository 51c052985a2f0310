#include "classlib/core/SysUtils.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>
#include <vector>

TFormatSettings FormatSettings;

EOleSysError::EOleSysError(std::int32_t code)
    : Exception("OLE error " + IntToHex(static_cast<std::uint32_t>(code), 8)), ErrorCode_(code) {}

void Abort() { throw EAbort("Operation aborted"); }

void RaiseListIndexError(int index) { throw EListError("List index out of bounds (" + IntToStr(index) + ")"); }

// ---------------------------------------------------------------------------------------------
// Integers

std::string IntToStr(std::int64_t value) { return std::to_string(value); }

std::string IntToHex(std::uint64_t value, int digits) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string s;
  do {
    s.insert(s.begin(), kHex[value & 15]);
    value >>= 4;
  } while (value != 0);
  if (static_cast<int>(s.size()) < digits) s.insert(0, static_cast<size_t>(digits) - s.size(), '0');
  return s;
}

namespace {
bool IsBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }

std::string_view TrimView(std::string_view s) {
  size_t b = 0, e = s.size();
  while (b < e && IsBlank(s[b])) ++b;
  while (e > b && IsBlank(s[e - 1])) --e;
  return s.substr(b, e - b);
}
}  // namespace

bool TryStrToInt64(std::string_view s, std::int64_t& value) {
  s = TrimView(s);
  if (s.empty()) return false;
  bool negative = false;
  if (s[0] == '+' || s[0] == '-') {
    negative = s[0] == '-';
    s.remove_prefix(1);
  }
  int base = 10;
  if (!s.empty() && s[0] == '$') {
    base = 16;
    s.remove_prefix(1);
  } else if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
    base = 16;
    s.remove_prefix(2);
  }
  if (s.empty()) return false;
  std::uint64_t magnitude = 0;
  auto r = std::from_chars(s.data(), s.data() + s.size(), magnitude, base);
  if (r.ec != std::errc() || r.ptr != s.data() + s.size()) return false;
  if (base == 16 && !negative) {
    // Hexadecimal may spell the bit pattern of a negative number.
    value = static_cast<std::int64_t>(magnitude);
    return true;
  }
  const std::uint64_t limit = negative ? std::uint64_t{1} << 63 : (std::uint64_t{1} << 63) - 1;
  if (magnitude > limit) return false;
  value = negative ? static_cast<std::int64_t>(0 - magnitude) : static_cast<std::int64_t>(magnitude);
  return true;
}

bool TryStrToInt(std::string_view s, int& value) {
  std::int64_t v;
  if (!TryStrToInt64(s, v)) return false;
  std::string_view t = TrimView(s);
  bool hex = t.find('$') != std::string_view::npos || t.find('x') != std::string_view::npos ||
             t.find('X') != std::string_view::npos;
  if (hex && v >= 0 && v <= 0xFFFFFFFFLL) {
    value = static_cast<int>(static_cast<std::uint32_t>(v));
    return true;
  }
  if (v < std::numeric_limits<int>::min() || v > std::numeric_limits<int>::max()) return false;
  value = static_cast<int>(v);
  return true;
}

int StrToInt(std::string_view s) {
  int v;
  if (!TryStrToInt(s, v)) throw EConvertError("'" + std::string(s) + "' is not a valid integer value");
  return v;
}

std::int64_t StrToInt64(std::string_view s) {
  std::int64_t v;
  if (!TryStrToInt64(s, v)) throw EConvertError("'" + std::string(s) + "' is not a valid integer value");
  return v;
}

int StrToIntDef(std::string_view s, int def) {
  int v;
  return TryStrToInt(s, v) ? v : def;
}

// ---------------------------------------------------------------------------------------------
// Floating point: parsing

bool TryStrToFloat(std::string_view s, Extended& value, const TFormatSettings& fs) {
  s = TrimView(s);
  // Syntax: [sign] digits [sep digits] [e [sign] digits], at least one mantissa digit.
  std::string text;
  size_t i = 0;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
    if (s[i] == '-') text += '-';
    ++i;
  }
  int mantissaDigits = 0;
  while (i < s.size() && s[i] >= '0' && s[i] <= '9') {
    text += s[i++];
    ++mantissaDigits;
  }
  if (i < s.size() && s[i] == fs.DecimalSeparator) {
    text += '.';
    ++i;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') {
      text += s[i++];
      ++mantissaDigits;
    }
  }
  if (mantissaDigits == 0) return false;
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
    text += 'e';
    ++i;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) text += s[i++];
    int expDigits = 0;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') {
      text += s[i++];
      ++expDigits;
    }
    if (expDigits == 0) return false;
  }
  if (i != s.size()) return false;
  double v = 0;
  auto r = std::from_chars(text.data(), text.data() + text.size(), v);
  if (r.ptr != text.data() + text.size()) return false;
  if (r.ec == std::errc::result_out_of_range) {
    // Underflow reads as zero; overflow is an error.
    bool tiny = text.find("e-") != std::string::npos;
    if (!tiny) return false;
    v = text[0] == '-' ? -0.0 : 0.0;
  } else if (r.ec != std::errc()) {
    return false;
  }
  value = v;
  return true;
}

Extended StrToFloat(std::string_view s, const TFormatSettings& fs) {
  Extended v;
  if (!TryStrToFloat(s, v, fs)) throw EConvertError("'" + std::string(s) + "' is not a valid floating point value");
  return v;
}

Extended StrToFloatDef(std::string_view s, Extended def, const TFormatSettings& fs) {
  Extended v;
  return TryStrToFloat(s, v, fs) ? v : def;
}

// ---------------------------------------------------------------------------------------------
// Floating point: formatting
//
// A value is first turned into the shortest decimal text that reads back as the same double
// (so 0.285 is 285 x 10^-3, not 0.28499999...) and then rounded decimally, halves away from
// zero, to the digits a format asks for.

namespace {

struct Decimal {
  bool Negative = false;
  std::string Digits;  // significant digits, no leading or trailing zeros; empty for zero
  int Exponent = 0;    // value = 0.Digits x 10^Exponent
  bool IsZero() const { return Digits.empty(); }
};

Decimal ToDecimal(double v) {
  Decimal d;
  d.Negative = std::signbit(v);
  v = std::fabs(v);
  if (v == 0) return d;
  char buf[64];
  auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::scientific);
  std::string_view s(buf, static_cast<size_t>(r.ptr - buf));
  size_t e = s.find('e');
  std::string_view mant = s.substr(0, e);
  int exp10 = 0;
  std::from_chars(s.data() + e + 1 + (s[e + 1] == '+' ? 1 : 0), s.data() + s.size(), exp10);
  for (char c : mant)
    if (c != '.') d.Digits += c;
  while (!d.Digits.empty() && d.Digits.back() == '0') d.Digits.pop_back();
  d.Exponent = exp10 + 1;
  return d;
}

// Keeps the first n significant digits, rounding half away from zero.
void RoundDigits(Decimal& d, int n) {
  if (d.IsZero() || n >= static_cast<int>(d.Digits.size())) return;
  if (n < 0) {
    d.Digits.clear();
    return;
  }
  bool up = d.Digits[static_cast<size_t>(n)] >= '5';
  d.Digits.resize(static_cast<size_t>(n));
  if (up) {
    int i = n - 1;
    while (i >= 0 && d.Digits[static_cast<size_t>(i)] == '9') {
      d.Digits[static_cast<size_t>(i)] = '0';
      --i;
    }
    if (i >= 0) {
      ++d.Digits[static_cast<size_t>(i)];
    } else {
      d.Digits.insert(d.Digits.begin(), '1');
      ++d.Exponent;
    }
  }
  while (!d.Digits.empty() && d.Digits.back() == '0') d.Digits.pop_back();
}

void RoundDecimals(Decimal& d, int decimals) { RoundDigits(d, d.Exponent + decimals); }

// The digit at decimal position p (0 = first digit after the point, -1 = units ...).
char DigitAt(const Decimal& d, int index) {
  // index into Digits for a position: integer digit k (from the left) is Digits[k].
  if (index < 0 || index >= static_cast<int>(d.Digits.size())) return '0';
  return d.Digits[static_cast<size_t>(index)];
}

std::string IntegerDigits(const Decimal& d) {
  std::string s;
  for (int i = 0; i < d.Exponent; ++i) s += DigitAt(d, i);
  return s;  // empty when the integer part is zero
}

std::string FractionDigits(const Decimal& d, int count) {
  std::string s;
  for (int i = 0; i < count; ++i) s += DigitAt(d, d.Exponent + i);
  return s;
}

std::string GroupThousands(const std::string& digits, char sep) {
  if (sep == '\0' || digits.size() <= 3) return digits;
  std::string out;
  for (size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) out += sep;
    out += digits[i];
  }
  return out;
}

std::string ExponentText(int exp, bool forceSign, int minDigits) {
  std::string s = std::to_string(exp < 0 ? -exp : exp);
  if (static_cast<int>(s.size()) < minDigits) s.insert(0, static_cast<size_t>(minDigits) - s.size(), '0');
  if (exp < 0)
    s.insert(s.begin(), '-');
  else if (forceSign)
    s.insert(s.begin(), '+');
  return s;
}

std::string NonFinite(double v) {
  if (std::isnan(v)) return "NAN";
  return v < 0 ? "-INF" : "INF";
}

std::string FixedText(const Decimal& d, int decimals, char decSep, char thousandSep) {
  std::string intPart = IntegerDigits(d);
  if (intPart.empty()) intPart = "0";
  std::string s = GroupThousands(intPart, thousandSep);
  if (decimals > 0) {
    s += decSep;
    s += FractionDigits(d, decimals);
  }
  return s;
}

std::string ExponentFormText(Decimal d, int precision, int digits, char decSep) {
  RoundDigits(d, precision);
  std::string s;
  s += DigitAt(d, 0);
  if (precision > 1) {
    s += decSep;
    for (int i = 1; i < precision; ++i) s += DigitAt(d, i);
  }
  int exp = d.IsZero() ? 0 : d.Exponent - 1;
  s += 'E';
  s += ExponentText(exp, true, std::clamp(digits, 0, 4));
  return (d.Negative && !d.IsZero() ? "-" : "") + s;
}

std::string ApplyCurrency(const std::string& number, bool negative, const TFormatSettings& fs) {
  const std::string& c = fs.CurrencyString;
  const std::string& n = number;
  if (!negative) {
    switch (fs.CurrencyFormat) {
      case 1: return n + c;
      case 2: return c + " " + n;
      case 3: return n + " " + c;
      default: return c + n;
    }
  }
  switch (fs.NegCurrFormat) {
    case 1: return "-" + c + n;
    case 2: return c + "-" + n;
    case 3: return c + n + "-";
    case 4: return "(" + n + c + ")";
    case 5: return "-" + n + c;
    case 6: return n + "-" + c;
    case 7: return n + c + "-";
    case 8: return "-" + n + " " + c;
    case 9: return "-" + c + " " + n;
    case 10: return n + " " + c + "-";
    case 11: return c + " " + n + "-";
    case 12: return c + " -" + n;
    case 13: return n + "- " + c;
    case 14: return "(" + c + " " + n + ")";
    case 15: return "(" + n + " " + c + ")";
    default: return "(" + c + n + ")";
  }
}

}  // namespace

std::string FloatToStrF(Extended value, TFloatFormat format, int precision, int digits, const TFormatSettings& fs) {
  if (!std::isfinite(value)) return NonFinite(value);
  precision = std::clamp(precision, 1, 18);
  Decimal d = ToDecimal(value);
  switch (format) {
    case ffExponent: return ExponentFormText(d, precision, digits, fs.DecimalSeparator);
    case ffFixed:
    case ffNumber:
    case ffCurrency: {
      digits = std::clamp(digits, 0, 18);
      RoundDigits(d, precision);
      if (d.Exponent > precision) return ExponentFormText(d, precision, 0, fs.DecimalSeparator);
      RoundDecimals(d, digits);
      char thousand = format == ffFixed ? '\0' : fs.ThousandSeparator;
      std::string s = FixedText(d, digits, fs.DecimalSeparator, thousand);
      bool negative = d.Negative && !d.IsZero();
      if (format == ffCurrency) return ApplyCurrency(s, negative, fs);
      return negative ? "-" + s : s;
    }
    case ffGeneral:
    default: {
      RoundDigits(d, precision);
      if (d.IsZero()) return "0";
      std::string s;
      if (d.Exponent > precision || d.Exponent < -4) {
        s += DigitAt(d, 0);
        if (d.Digits.size() > 1) {
          s += fs.DecimalSeparator;
          s += d.Digits.substr(1);
        }
        s += 'E';
        s += ExponentText(d.Exponent - 1, false, std::clamp(digits, 0, 4));
      } else {
        std::string intPart = IntegerDigits(d);
        s = intPart.empty() ? "0" : intPart;
        int fraction = static_cast<int>(d.Digits.size()) - d.Exponent;
        if (fraction > 0) {
          s += fs.DecimalSeparator;
          s += FractionDigits(d, fraction);
        }
      }
      return d.Negative ? "-" + s : s;
    }
  }
}

std::string FloatToStr(Extended value, const TFormatSettings& fs) { return FloatToStrF(value, ffGeneral, 15, 0, fs); }

// ---------------------------------------------------------------------------------------------
// FormatFloat

namespace {

struct Section {
  std::string_view Text;
  int IntPlaces = 0;    // '0' and '#' before the decimal point (or the exponent)
  int IntZeros = 0;     // placeholders from the first '0' to the point: minimum integer digits
  int MinDecimals = 0;  // up to the last '0' after the point
  int MaxDecimals = 0;  // every placeholder after the point
  bool Thousands = false;
  bool Scientific = false;
  bool Empty() const { return Text.empty(); }
};

// Splits on ';' outside quotes.
std::vector<std::string_view> SplitSections(std::string_view f) {
  std::vector<std::string_view> out;
  size_t start = 0;
  char quote = 0;
  for (size_t i = 0; i < f.size(); ++i) {
    char c = f[i];
    if (quote) {
      if (c == quote) quote = 0;
    } else if (c == '\'' || c == '"') {
      quote = c;
    } else if (c == ';') {
      out.push_back(f.substr(start, i - start));
      start = i + 1;
    }
  }
  out.push_back(f.substr(start));
  return out;
}

bool IsExponentAt(std::string_view t, size_t i) {
  return (t[i] == 'E' || t[i] == 'e') && i + 1 < t.size() && (t[i + 1] == '+' || t[i + 1] == '-');
}

Section Analyse(std::string_view text) {
  Section s;
  s.Text = text;
  bool afterPoint = false;
  int firstZero = -1;
  int decimalIndex = 0;
  char quote = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (quote) {
      if (c == quote) quote = 0;
      continue;
    }
    if (c == '\'' || c == '"') {
      quote = c;
    } else if (c == '0' || c == '#') {
      if (afterPoint) {
        ++decimalIndex;
        ++s.MaxDecimals;
        if (c == '0') s.MinDecimals = decimalIndex;
      } else {
        if (c == '0' && firstZero < 0) firstZero = s.IntPlaces;
        ++s.IntPlaces;
      }
    } else if (c == '.') {
      afterPoint = true;
    } else if (c == ',') {
      if (!afterPoint) s.Thousands = true;
    } else if (IsExponentAt(text, i)) {
      s.Scientific = true;
      break;
    }
  }
  if (firstZero >= 0) s.IntZeros = s.IntPlaces - firstZero;
  return s;
}

// Formats a non-negative magnitude with one section.
std::string RenderSection(const Section& sec, Decimal d, const TFormatSettings& fs) {
  std::string intDigits;
  std::string fracDigits;
  int exponent = 0;
  if (sec.Scientific) {
    int intPlaces = std::max(sec.IntPlaces, 1);
    RoundDigits(d, intPlaces + sec.MaxDecimals);
    if (!d.IsZero()) {
      exponent = d.Exponent - intPlaces;
      d.Exponent = intPlaces;
    }
    intDigits = IntegerDigits(d);
    if (intDigits.empty()) intDigits = "0";  // a mantissa always shows a digit
    fracDigits = FractionDigits(d, sec.MaxDecimals);
  } else {
    RoundDecimals(d, sec.MaxDecimals);
    intDigits = IntegerDigits(d);
    fracDigits = FractionDigits(d, sec.MaxDecimals);
  }
  while (static_cast<int>(fracDigits.size()) > sec.MinDecimals && !fracDigits.empty() && fracDigits.back() == '0')
    fracDigits.pop_back();
  if (static_cast<int>(intDigits.size()) < sec.IntZeros)
    intDigits.insert(0, static_cast<size_t>(sec.IntZeros) - intDigits.size(), '0');

  const int L = static_cast<int>(intDigits.size());
  const char thousand = sec.Thousands ? fs.ThousandSeparator : '\0';
  std::string out;
  int place = 0;      // integer placeholder being filled
  int next = 0;       // next integer digit to emit
  int fracIndex = 0;  // next fraction digit
  bool afterPoint = false;
  bool pointDone = false;
  auto emitInt = [&](int count) {
    for (int k = 0; k < count && next < L; ++k) {
      out += intDigits[static_cast<size_t>(next)];
      ++next;
      int remaining = L - next;
      if (thousand != '\0' && remaining > 0 && remaining % 3 == 0) out += thousand;
    }
  };
  auto emitPoint = [&]() {
    if (pointDone) return;
    pointDone = true;
    if (!fracDigits.empty()) out += fs.DecimalSeparator;
  };
  const std::string_view t = sec.Text;
  for (size_t i = 0; i < t.size(); ++i) {
    char c = t[i];
    if (c == '\'' || c == '"') {
      size_t end = t.find(c, i + 1);
      if (end == std::string_view::npos) end = t.size();
      std::string_view lit = t.substr(i + 1, end - i - 1);
      if (afterPoint || place == 0 || next > 0 || place >= sec.IntPlaces) out += lit;
      i = end;
      continue;
    }
    if (c == '0' || c == '#') {
      if (!afterPoint) {
        // Placeholder p stands for digit L - IntPlaces + p; the first one also takes the digits
        // beyond the placeholders. Missing digits stay blank (a '#') or were padded above.
        int last = L - sec.IntPlaces + place;
        if (last + 1 > next) emitInt(last + 1 - next);
        ++place;
      } else {
        if (fracIndex < static_cast<int>(fracDigits.size())) out += fracDigits[static_cast<size_t>(fracIndex)];
        ++fracIndex;
      }
      continue;
    }
    if (c == '.' && !afterPoint) {
      emitInt(L - next);  // a format without integer placeholders still shows the integer part
      afterPoint = true;
      emitPoint();
      continue;
    }
    if (c == ',') continue;
    if (IsExponentAt(t, i)) {
      emitInt(L - next);
      afterPoint = true;
      emitPoint();
      bool forceSign = t[i + 1] == '+';
      size_t j = i + 2;
      int minDigits = 0;
      while (j < t.size() && t[j] == '0') {
        ++minDigits;
        ++j;
      }
      out += t[i] == 'e' ? 'e' : 'E';
      out += ExponentText(exponent, forceSign, std::min(minDigits, 4));
      i = j - 1;
      continue;
    }
    // A literal inside the run of integer placeholders separates digits: shown once a digit
    // has been shown. Elsewhere it is always shown.
    if (afterPoint || place == 0 || next > 0 || place >= sec.IntPlaces) out += c;
  }
  if (!afterPoint) emitInt(L - next);
  return out;
}

}  // namespace

std::string FormatFloat(std::string_view format, Extended value, const TFormatSettings& fs) {
  if (!std::isfinite(value)) return NonFinite(value);
  if (format.empty()) return FloatToStr(value, fs);
  auto parts = SplitSections(format);
  Section pos = Analyse(parts[0]);
  Section neg = parts.size() > 1 ? Analyse(parts[1]) : Section{};
  Section zero = parts.size() > 2 ? Analyse(parts[2]) : Section{};

  Decimal magnitude = ToDecimal(value);
  const bool negative = magnitude.Negative;
  magnitude.Negative = false;
  auto roundsToZero = [&](const Section& s) {
    Decimal d = magnitude;
    if (s.Scientific)
      RoundDigits(d, std::max(s.IntPlaces, 1) + s.MaxDecimals);
    else
      RoundDecimals(d, s.MaxDecimals);
    return d.IsZero();
  };
  const Section& signSection = (negative && !neg.Empty()) ? neg : pos;
  if (roundsToZero(signSection)) {
    if (!zero.Empty()) return RenderSection(zero, Decimal{}, fs);
    return RenderSection(pos, Decimal{}, fs);
  }
  if (negative) {
    if (!neg.Empty()) return RenderSection(neg, magnitude, fs);
    return "-" + RenderSection(pos, magnitude, fs);
  }
  return RenderSection(pos, magnitude, fs);
}

// ---------------------------------------------------------------------------------------------
// Text

std::string Trim(std::string_view s) { return std::string(TrimView(s)); }

std::string TrimLeft(std::string_view s) {
  size_t b = 0;
  while (b < s.size() && IsBlank(s[b])) ++b;
  return std::string(s.substr(b));
}

std::string TrimRight(std::string_view s) {
  size_t e = s.size();
  while (e > 0 && IsBlank(s[e - 1])) --e;
  return std::string(s.substr(0, e));
}

namespace {
char Upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }
char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

int CompareBy(std::string_view a, std::string_view b, char (*fold)(char)) {
  size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    auto ca = static_cast<unsigned char>(fold ? fold(a[i]) : a[i]);
    auto cb = static_cast<unsigned char>(fold ? fold(b[i]) : b[i]);
    if (ca != cb) return ca < cb ? -1 : 1;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}
}  // namespace

std::string UpperCase(std::string_view s) {
  std::string r(s);
  for (char& c : r) c = Upper(c);
  return r;
}

std::string LowerCase(std::string_view s) {
  std::string r(s);
  for (char& c : r) c = Lower(c);
  return r;
}

int CompareText(std::string_view a, std::string_view b) { return CompareBy(a, b, Upper); }
int CompareStr(std::string_view a, std::string_view b) { return CompareBy(a, b, nullptr); }
bool SameText(std::string_view a, std::string_view b) { return a.size() == b.size() && CompareText(a, b) == 0; }
int AnsiCompareText(std::string_view a, std::string_view b) { return CompareBy(a, b, Upper); }
int AnsiCompareStr(std::string_view a, std::string_view b) { return CompareBy(a, b, nullptr); }
std::string AnsiUpperCase(std::string_view s) { return UpperCase(s); }
std::string AnsiLowerCase(std::string_view s) { return LowerCase(s); }

std::string StringReplaceAll(std::string_view s, std::string_view from, std::string_view to) {
  if (from.empty()) return std::string(s);
  std::string out;
  size_t i = 0;
  while (true) {
    size_t p = s.find(from, i);
    if (p == std::string_view::npos) break;
    out.append(s.substr(i, p - i));
    out.append(to);
    i = p + from.size();
  }
  out.append(s.substr(i));
  return out;
}

bool IsValidIdent(std::string_view s) {
  if (s.empty()) return false;
  auto alpha = [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_'; };
  if (!alpha(s[0])) return false;
  for (char c : s)
    if (!alpha(c) && !(c >= '0' && c <= '9')) return false;
  return true;
}

std::string QuotedStr(std::string_view s, char quote) {
  std::string out(1, quote);
  for (char c : s) {
    out += c;
    if (c == quote) out += quote;
  }
  out += quote;
  return out;
}
