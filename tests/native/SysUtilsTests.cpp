// Number conversion and formatting, text helpers and keyboard shortcut texts.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "classlib/core/Menus.h"
#include "classlib/core/SysUtils.h"

namespace {

TFormatSettings Us() { return TFormatSettings{}; }

TFormatSettings German() {
  TFormatSettings fs;
  fs.DecimalSeparator = ',';
  fs.ThousandSeparator = '.';
  fs.CurrencyString = "EUR";
  fs.CurrencyFormat = 3;
  fs.NegCurrFormat = 8;
  return fs;
}

struct FormatCase {
  const char* Format;
  double Value;
  const char* Expected;
};

TEST(SysUtils, FormatFloatTable) {
  const FormatCase cases[] = {
      // digits, optional digits, rounding halves away from zero on the shortest decimal text
      {"0.00", 1234.5, "1234.50"},
      {"0.00", 0.285, "0.29"},
      {"0.00", 1.005, "1.01"},
      {"0.00", -0.125, "-0.13"},
      {"0", 2.5, "3"},
      {"0", -2.5, "-3"},
      {"0", 0.49999, "0"},
      {"#", 0, ""},
      {"#", 0.4, ""},
      {"00000", 42, "00042"},
      {"0.##", 5, "5"},
      {"0.##", 1.5, "1.5"},
      {"0.0#", 1.255, "1.26"},
      {"#.00", 0.5, ".50"},
      {"0.00", 9.999, "10.00"},
      // thousands: a ',' anywhere in the integer part
      {"#,##0.00", 1234567.891, "1,234,567.89"},
      {"#,##0", 999.5, "1,000"},
      {",0.0", -1234.5, "-1,234.5"},
      {"#,##0.00", 0.001, "0.00"},
      // literals in the digit run separate digits; leading ones are suppressed with the digits
      {"### ### ##0.00", 1234.5, "1 234.50"},
      {"### ### ##0.00", 5, "5.00"},
      {"### ### ##0.00", 123456789.0, "123 456 789.00"},
      {"'Total: '0.0", 3, "Total: 3.0"},
      {"\"x\"0", 7, "x7"},
      {"0' kg'", 7, "7 kg"},
      {"$#,##0.00", 1234, "$1,234.00"},
      // sections
      {"0.00;(0.00)", -1.5, "(1.50)"},
      {"0.00;(0.00);'zero'", 0, "zero"},
      {"0.00;(0.00);'zero'", -0.001, "zero"},  // rounds to zero: the zero section
      {"0.00;(0.00)", -0.001, "0.00"},         // negative zero without zero section: unsigned
      {"0.00", -0.0, "0.00"},
      {"0.00;;'z'", -2, "-2.00"},  // empty negative section: the first one, signed
      {"### ### ##0.00;-### ### ##0.00;0", -1234.5, "-1 234.50"},
      {"### ### ##0.00;-### ### ##0.00;0", 0, "0"},
      {"0.0;-0.0;'0'", 0.04, "0"},
      // scientific
      {"0.00E+00", 1234.5, "1.23E+03"},
      {"0.00E+00", 0.000123, "1.23E-04"},
      {"0.00E-00", 1234.5, "1.23E03"},
      {"0.00E+000", -1.5e10, "-1.50E+010"},
      {"0.0e-0", 0, "0.0e0"},
      {"#.##E+0", 9.999, "1E+1"},
      {"00.0E+0", 1234, "12.3E+2"},
  };
  for (const FormatCase& c : cases)
    EXPECT_EQ(FormatFloat(c.Format, c.Value, Us()), c.Expected) << "format " << c.Format << " value " << c.Value;
}

TEST(SysUtils, FormatFloatLocaleSeparatorsAndSpecialValues) {
  EXPECT_EQ(FormatFloat("#,##0.00", 1234567.5, German()), "1.234.567,50");
  EXPECT_EQ(FormatFloat("0.##", 0.5, German()), "0,5");
  TFormatSettings noGroup;
  noGroup.ThousandSeparator = '\0';
  EXPECT_EQ(FormatFloat("#,##0", 1234567, noGroup), "1234567");
  EXPECT_EQ(FormatFloat("0.00", std::numeric_limits<double>::quiet_NaN(), Us()), "NAN");
  EXPECT_EQ(FormatFloat("0.00", -std::numeric_limits<double>::infinity(), Us()), "-INF");
  EXPECT_EQ(FormatFloat("", 0.1 + 0.2, Us()), "0.3");
}

struct FloatCase {
  double Value;
  TFloatFormat Format;
  int Precision;
  int Digits;
  const char* Expected;
};

TEST(SysUtils, FloatToStrFTable) {
  const FloatCase cases[] = {
      {0, ffGeneral, 15, 0, "0"},
      {-0.0, ffGeneral, 15, 0, "0"},
      {0.1 + 0.2, ffGeneral, 15, 0, "0.3"},
      {0.1 + 0.2, ffGeneral, 17, 0, "0.30000000000000004"},
      {1.0 / 3, ffGeneral, 15, 0, "0.333333333333333"},
      {2.0 / 3, ffGeneral, 4, 0, "0.6667"},
      {123456, ffGeneral, 6, 0, "123456"},
      {1234567, ffGeneral, 6, 0, "1.23457E6"},
      {1e15, ffGeneral, 15, 0, "1E15"},
      {1e14, ffGeneral, 15, 0, "100000000000000"},
      {0.0001, ffGeneral, 15, 0, "0.0001"},
      {0.00001, ffGeneral, 15, 0, "0.00001"},
      {0.000001, ffGeneral, 15, 0, "1E-6"},
      {-1.5e-7, ffGeneral, 15, 2, "-1.5E-07"},
      {1234.5678, ffExponent, 4, 2, "1.235E+03"},
      {-0.00012, ffExponent, 3, 0, "-1.20E-4"},
      {0, ffExponent, 3, 3, "0.00E+000"},
      {1234.5678, ffFixed, 15, 2, "1234.57"},
      {-1234.5678, ffFixed, 15, 0, "-1235"},
      {-0.004, ffFixed, 15, 2, "0.00"},
      {0.5, ffFixed, 15, 0, "1"},
      {99.995, ffFixed, 15, 2, "100.00"},
      {123456.789, ffFixed, 4, 2, "1.235E+5"},
      {1234567.891, ffNumber, 15, 2, "1,234,567.89"},
      {-999.999, ffNumber, 15, 2, "-1,000.00"},
      {12, ffNumber, 15, 0, "12"},
      {1234.5, ffCurrency, 15, 2, "$1,234.50"},
      {-1234.5, ffCurrency, 15, 2, "($1,234.50)"},
      {-0.001, ffCurrency, 15, 2, "$0.00"},
  };
  for (const FloatCase& c : cases)
    EXPECT_EQ(FloatToStrF(c.Value, c.Format, c.Precision, c.Digits, Us()), c.Expected)
        << c.Value << " format " << int(c.Format) << " " << c.Precision << "/" << c.Digits;
}

TEST(SysUtils, FloatToStrFCurrencyPatterns) {
  TFormatSettings fs;
  fs.CurrencyString = "$";
  const char* positive[] = {"$1.50", "1.50$", "$ 1.50", "1.50 $"};
  for (int f = 0; f < 4; ++f) {
    fs.CurrencyFormat = static_cast<std::uint8_t>(f);
    EXPECT_EQ(FloatToStrF(1.5, ffCurrency, 15, 2, fs), positive[f]);
  }
  const char* negative[] = {"($1.50)", "-$1.50",  "$-1.50",  "$1.50-",  "(1.50$)", "-1.50$",  "1.50-$",   "1.50$-",
                            "-1.50 $", "-$ 1.50", "1.50 $-", "$ 1.50-", "$ -1.50", "1.50- $", "($ 1.50)", "(1.50 $)"};
  for (int f = 0; f < 16; ++f) {
    fs.NegCurrFormat = static_cast<std::uint8_t>(f);
    EXPECT_EQ(FloatToStrF(-1.5, ffCurrency, 15, 2, fs), negative[f]) << f;
  }
  EXPECT_EQ(FloatToStrF(-1234.5, ffCurrency, 15, 2, German()), "-1.234,50 EUR");
}

TEST(SysUtils, StrToFloatLocaleSeparators) {
  struct Case {
    const char* Text;
    bool German;
    bool Ok;
    double Value;
  };
  const Case cases[] = {
      {"1.5", false, true, 1.5},
      {"1,5", true, true, 1.5},
      {"1,5", false, false, 0},
      {"1.5", true, false, 0},
      {"  -2.25e2 ", false, true, -225},
      {"+.5", false, true, 0.5},
      {"5.", false, true, 5},
      {".", false, false, 0},
      {"", false, false, 0},
      {"1e", false, false, 0},
      {"1e+", false, false, 0},
      {"1.2.3", false, false, 0},
      {"inf", false, false, 0},
      {"nan", false, false, 0},
      {"1e999", false, false, 0},
      {"1e-999", false, true, 0},
      {"1,234.5", false, false, 0},
      {"0x10", false, false, 0},
  };
  for (const Case& c : cases) {
    double v = -1;
    EXPECT_EQ(TryStrToFloat(c.Text, v, c.German ? German() : Us()), c.Ok) << c.Text;
    if (c.Ok) EXPECT_DOUBLE_EQ(v, c.Value) << c.Text;
  }
  try {
    StrToFloat("abc", Us());
    FAIL();
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), "'abc' is not a valid floating point value");
  }
  EXPECT_DOUBLE_EQ(StrToFloatDef("x", 7, Us()), 7);
}

TEST(SysUtils, StrToFloatFormattedTextReadsBack) {
  const double values[] = {0.1, 1.0 / 3, 123456.789, -2.5e-8, 1e300, 5e-324};
  for (double v : values) EXPECT_EQ(StrToFloat(FloatToStrF(v, ffGeneral, 17, 0, German()), German()), v);
}

TEST(SysUtils, IntegerConversions) {
  struct Case {
    const char* Text;
    bool Ok;
    int Value;
  };
  const Case cases[] = {
      {"42", true, 42},
      {" -17 ", true, -17},
      {"+5", true, 5},
      {"$FF", true, 255},
      {"0x10", true, 16},
      {"$FFFFFFFF", true, -1},
      {"2147483647", true, 2147483647},
      {"-2147483648", true, -2147483647 - 1},
      {"2147483648", false, 0},
      {"", false, 0},
      {"12a", false, 0},
      {"-", false, 0},
      {"1 2", false, 0},
      {"$", false, 0},
  };
  for (const Case& c : cases) {
    int v = 0;
    EXPECT_EQ(TryStrToInt(c.Text, v), c.Ok) << c.Text;
    if (c.Ok) EXPECT_EQ(v, c.Value) << c.Text;
  }
  EXPECT_EQ(StrToIntDef("zz", -98), -98);
  try {
    StrToInt("zz");
    FAIL();
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), "'zz' is not a valid integer value");
  }
  EXPECT_EQ(IntToStr(-9007199254740993LL), "-9007199254740993");
  EXPECT_EQ(IntToHex(0xBEEF, 8), "0000BEEF");
}

TEST(SysUtils, TextHelpers) {
  EXPECT_EQ(Trim(" \t a b \r\n"), "a b");
  EXPECT_EQ(TrimLeft("  a "), "a ");
  EXPECT_EQ(TrimRight("  a "), "  a");
  EXPECT_EQ(UpperCase("abc-Z\xE4"), "ABC-Z\xE4");
  EXPECT_EQ(LowerCase("ABC"), "abc");
  EXPECT_EQ(CompareText("abc", "ABD"), -1);
  EXPECT_EQ(CompareText("ABC", "abc"), 0);
  EXPECT_GT(CompareStr("abc", "ABC"), 0);
  EXPECT_LT(AnsiCompareText("ab", "ABC"), 0);
  EXPECT_TRUE(SameText("Edit", "EDIT"));
  EXPECT_FALSE(SameText("Edit", "EDITS"));
  EXPECT_EQ(StringReplaceAll("a.b.c", ".", "::"), "a::b::c");
  EXPECT_TRUE(IsValidIdent("_Button1"));
  EXPECT_FALSE(IsValidIdent("1Button"));
  EXPECT_FALSE(IsValidIdent("a b"));
  EXPECT_EQ(QuotedStr("it's"), "'it''s'");
}

TEST(SysUtils, ShortCutKnownTexts) {
  EXPECT_EQ(ShortCutToText(16429), "Ctrl+Ins");
  EXPECT_EQ(ShortCutToText(8237), "Shift+Ins");
  EXPECT_EQ(ShortCutToText(32808), "Alt+Down");
  EXPECT_EQ(ShortCutToText(ShortCut('S', TShiftState{ssCtrl, ssShift})), "Shift+Ctrl+S");
  EXPECT_EQ(ShortCutToText(0x70 + 4 | scAlt), "Alt+F5");
  EXPECT_EQ(ShortCutToText(0), "");
  EXPECT_EQ(ShortCutToText(0x0D), "Enter");
  EXPECT_EQ(ShortCut(0x141, TShiftState(ssCtrl)), 0);
  EXPECT_EQ(TextToShortCut("ctrl+ins"), 16429);
  EXPECT_EQ(TextToShortCut("Alt+Shift+x"), 'X' | scAlt | scShift);
  EXPECT_EQ(TextToShortCut("Ctrl+"), 0);
  EXPECT_EQ(TextToShortCut("Hyper+A"), 0);
  std::uint16_t key;
  TShiftState shift;
  ShortCutToKey(32808, key, shift);
  EXPECT_EQ(key, 0x28);
  EXPECT_EQ(shift, TShiftState(ssAlt));
}

TEST(SysUtils, ShortCutEveryNamedKeyRoundTrips) {
  int named = 0;
  for (int key = 1; key < 256; ++key) {
    for (TShortCut mods : {TShortCut(0), scShift, scCtrl, scAlt, TShortCut(scShift | scCtrl | scAlt)}) {
      TShortCut sc = static_cast<TShortCut>(key | mods);
      std::string text = ShortCutToText(sc);
      if (text.empty()) continue;
      ++named;
      EXPECT_EQ(TextToShortCut(text), sc) << text;
    }
  }
  EXPECT_GT(named, 5 * 80);
}

}  // namespace
