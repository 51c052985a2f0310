// Exceptions, number and text conversion, and the locale's number formats.
//
// The exception classes are plain C++ exceptions (copyable, derived from std::exception) with
// the framework's names and a Message(); the class library raises them with the message texts
// the framework uses. EAbort is the silent exception: the application's exception handler
// ignores it.
#pragma once

#include <cstdint>
#include <exception>
#include <string>
#include <string_view>

using Extended = double;

class Exception : public std::exception {
 public:
  explicit Exception(std::string message) : Message_(std::move(message)) {}
  const std::string& Message() const { return Message_; }
  void SetMessage(std::string message) { Message_ = std::move(message); }
  const char* what() const noexcept override { return Message_.c_str(); }
  virtual std::string ClassName() const { return "Exception"; }

 private:
  std::string Message_;
};

#define QV_EXCEPTION_CLASS(name, base)                       \
  class name : public base {                                 \
   public:                                                   \
    using base::base;                                        \
    std::string ClassName() const override { return #name; } \
  };

QV_EXCEPTION_CLASS(EAbort, Exception)
QV_EXCEPTION_CLASS(EConvertError, Exception)
QV_EXCEPTION_CLASS(EInvalidOperation, Exception)
QV_EXCEPTION_CLASS(EListError, Exception)
QV_EXCEPTION_CLASS(EComponentError, Exception)
QV_EXCEPTION_CLASS(EInvalidPointer, Exception)
QV_EXCEPTION_CLASS(EOutOfResources, Exception)

// An operating-system call failed; ErrorCode is the system's error number.
class EOSError : public Exception {
 public:
  EOSError(std::string message, std::uint32_t code) : Exception(std::move(message)), ErrorCode_(code) {}
  std::uint32_t ErrorCode() const { return ErrorCode_; }
  std::string ClassName() const override { return "EOSError"; }

 private:
  std::uint32_t ErrorCode_;
};

// A COM call failed; ErrorCode is the failing HRESULT.
class EOleSysError : public Exception {
 public:
  EOleSysError(std::string message, std::int32_t code) : Exception(std::move(message)), ErrorCode_(code) {}
  explicit EOleSysError(std::int32_t code);
  std::int32_t ErrorCode() const { return ErrorCode_; }
  std::string ClassName() const override { return "EOleSysError"; }

 private:
  std::int32_t ErrorCode_;
};

// Raises the silent exception.
[[noreturn]] void Abort();

// "List index out of bounds (N)", the framework's message for a bad list index.
[[noreturn]] void RaiseListIndexError(int index);

// ---------------------------------------------------------------------------------------------
// Locale settings of number and currency formatting.
//
// CurrencyFormat: 0 "$1", 1 "1$", 2 "$ 1", 3 "1 $". NegCurrFormat: 0 "($1)", 1 "-$1", 2 "$-1",
// 3 "$1-", 4 "(1$)", 5 "-1$", 6 "1-$", 7 "1$-", 8 "-1 $", 9 "-$ 1", 10 "1 $-", 11 "$ 1-",
// 12 "$ -1", 13 "1- $", 14 "($ 1)", 15 "(1 $)". A ThousandSeparator of '\0' means none.
struct TFormatSettings {
  char DecimalSeparator = '.';
  char ThousandSeparator = ',';
  std::string CurrencyString = "$";
  std::uint8_t CurrencyFormat = 0;
  std::uint8_t NegCurrFormat = 0;
  std::uint8_t CurrencyDecimals = 2;
};

// The process's settings. Portable defaults; on Windows InitFormatSettingsFromSystem (defined
// in the Windows part of the class library, called by the application at start-up) fills them
// from the user's locale.
extern TFormatSettings FormatSettings;
void InitFormatSettingsFromSystem();

// ---------------------------------------------------------------------------------------------
// Integers.
std::string IntToStr(std::int64_t value);
std::string IntToHex(std::uint64_t value, int digits);
// Decimal, optionally signed, or hexadecimal with a leading '$' or "0x"; surrounding blanks
// allowed. StrToInt raises EConvertError "'S' is not a valid integer value".
bool TryStrToInt(std::string_view s, int& value);
bool TryStrToInt64(std::string_view s, std::int64_t& value);
int StrToInt(std::string_view s);
int StrToIntDef(std::string_view s, int def);
std::int64_t StrToInt64(std::string_view s);

// ---------------------------------------------------------------------------------------------
// Floating point.
enum TFloatFormat { ffGeneral, ffExponent, ffFixed, ffNumber, ffCurrency };

// Decimal text with the settings' decimal separator, optional sign, digits, optional exponent;
// surrounding blanks allowed; no thousand separators. StrToFloat raises EConvertError
// "'S' is not a valid floating point value".
bool TryStrToFloat(std::string_view s, Extended& value, const TFormatSettings& fs = FormatSettings);
Extended StrToFloat(std::string_view s, const TFormatSettings& fs = FormatSettings);
Extended StrToFloatDef(std::string_view s, Extended def, const TFormatSettings& fs = FormatSettings);

// FloatToStrF(Value, Format, Precision, Digits):
//  ffGeneral  shortest of fixed or scientific with Precision significant digits, trailing zeros
//             removed; scientific when the exponent is beyond Precision or the value below 1E-5;
//             Digits is the minimum number of exponent digits (0..4).
//  ffExponent d.dddE+ddd with Precision significant digits, Digits exponent digits (minimum).
//  ffFixed    Digits decimals (0..18), no thousand separators; when the value has more integer
//             digits than Precision: d.dddE+d with Precision digits instead.
//  ffNumber   as ffFixed with thousand separators.
//  ffCurrency the CurrencyString, Digits decimals and the CurrencyFormat / NegCurrFormat.
// Precision is limited to 1..18 (doubles give at most 17 meaningful digits); NaN and infinities
// give "NAN", "INF" and "-INF".
std::string FloatToStrF(Extended value, TFloatFormat format, int precision, int digits,
                        const TFormatSettings& fs = FormatSettings);
// FloatToStrF(value, ffGeneral, 15, 0).
std::string FloatToStr(Extended value, const TFormatSettings& fs = FormatSettings);
// Formats by a picture: up to three sections separated by ';' for positive, negative and zero
// values. In a section: '0' a digit or zero, '#' a digit or nothing, '.' the decimal separator
// (the first one), ',' anywhere before it switches thousand separators on, "E+" "E-" "e+" "e-"
// scientific notation with the number of following '0's as minimum exponent digits, text in
// '...' or "..." literal, every other character literal. The negative section is used for
// values that are negative after rounding to the section's decimals and prints the magnitude;
// without it the positive section gets a '-'. The zero section is used for values that round
// to zero. An empty format gives FloatToStr's text.
std::string FormatFloat(std::string_view format, Extended value, const TFormatSettings& fs = FormatSettings);

// ---------------------------------------------------------------------------------------------
// Text.
std::string Trim(std::string_view s);  // removes characters <= ' ' at both ends
std::string TrimLeft(std::string_view s);
std::string TrimRight(std::string_view s);
std::string UpperCase(std::string_view s);  // ASCII letters only
std::string LowerCase(std::string_view s);
// Case-insensitive (ASCII) comparisons: < 0, 0, > 0.
int CompareText(std::string_view a, std::string_view b);
int CompareStr(std::string_view a, std::string_view b);
bool SameText(std::string_view a, std::string_view b);
// Comparisons for sorting user-visible text: by the 8-bit character code after case folding of
// the ASCII letters (no locale collation in the portable core).
int AnsiCompareText(std::string_view a, std::string_view b);
int AnsiCompareStr(std::string_view a, std::string_view b);
std::string AnsiUpperCase(std::string_view s);
std::string AnsiLowerCase(std::string_view s);
// Replaces every occurrence of `from` (non-empty) by `to`.
std::string StringReplaceAll(std::string_view s, std::string_view from, std::string_view to);
// A letter or '_' followed by letters, digits or '_'.
bool IsValidIdent(std::string_view s);
// Text in quotes with inner quotes doubled.
std::string QuotedStr(std::string_view s, char quote = '\'');
