// Layout of glyph and caption, text cutting, string and number helpers of the painters.
#include <gtest/gtest.h>

#include <climits>

#include "skin/engine/core/acPaintUtils.h"
#include "skin/engine/core/acPixelKernels.h"

using namespace qv;

namespace {

constexpr TGlyphLayout blGlyphLeft = TGlyphLayout::GlyphLeft, blGlyphRight = TGlyphLayout::GlyphRight,
                       blGlyphTop = TGlyphLayout::GlyphTop, blGlyphBottom = TGlyphLayout::GlyphBottom;
constexpr THorzAlign taLeftJustify = THorzAlign::Left, taRightJustify = THorzAlign::Right,
                     taCenter = THorzAlign::Center;

struct TLayoutCase {
  const char* Name;
  TRect Client;
  TSize Glyph, Text;
  TGlyphLayout Layout;
  THorzAlign Align;
  int Margin, Spacing;
  bool Rtl;
  TPoint GlyphPos;
  TRect TextBounds;
};

// Client 100 x 40, glyph 16 x 16, caption 30 x 10 unless said otherwise.
const TLayoutCase kLayoutCases[] = {
    {"left centred",
     {0, 0, 100, 40},
     {16, 16},
     {30, 10},
     blGlyphLeft,
     taCenter,
     -1,
     4,
     false,
     {25, 12},
     {45, 15, 75, 25}},
    {"right centred",
     {0, 0, 100, 40},
     {16, 16},
     {30, 10},
     blGlyphRight,
     taCenter,
     -1,
     4,
     false,
     {59, 12},
     {25, 15, 55, 25}},
    {"top centred", {0, 0, 100, 40}, {16, 16}, {30, 10}, blGlyphTop, taCenter, -1, 4, false, {42, 5}, {35, 25, 65, 35}},
    {"bottom centred",
     {0, 0, 100, 40},
     {16, 16},
     {30, 10},
     blGlyphBottom,
     taCenter,
     -1,
     4,
     false,
     {42, 19},
     {35, 5, 65, 15}},
    {"left margin", {0, 0, 100, 40}, {16, 16}, {30, 10}, blGlyphLeft, taCenter, 3, 4, false, {3, 12}, {23, 15, 53, 25}},
    {"right margin",
     {0, 0, 100, 40},
     {16, 16},
     {30, 10},
     blGlyphRight,
     taCenter,
     3,
     4,
     false,
     {81, 12},
     {47, 15, 77, 25}},
    {"top margin", {0, 0, 100, 40}, {16, 16}, {30, 10}, blGlyphTop, taCenter, 2, 1, false, {42, 2}, {35, 19, 65, 29}},
    {"bottom margin",
     {0, 0, 100, 40},
     {16, 16},
     {30, 10},
     blGlyphBottom,
     taCenter,
     2,
     1,
     false,
     {42, 22},
     {35, 11, 65, 21}},
    {"margin, free spacing",
     {0, 0, 100, 40},
     {16, 16},
     {30, 10},
     blGlyphLeft,
     taCenter,
     3,
     -1,
     false,
     {3, 12},
     {44, 15, 74, 25}},
    {"free margin and spacing",
     {0, 0, 100, 40},
     {16, 16},
     {30, 10},
     blGlyphLeft,
     taCenter,
     -1,
     -1,
     false,
     {18, 12},
     {52, 15, 82, 25}},
    {"right to left swaps",
     {0, 0, 100, 40},
     {16, 16},
     {30, 10},
     blGlyphLeft,
     taCenter,
     3,
     4,
     true,
     {81, 12},
     {47, 15, 77, 25}},
    {"no glyph: no spacing",
     {0, 0, 100, 40},
     {0, 0},
     {30, 10},
     blGlyphLeft,
     taCenter,
     -1,
     4,
     false,
     {35, 20},
     {35, 15, 65, 25}},
    {"no caption: glyph centred",
     {0, 0, 100, 40},
     {16, 16},
     {0, 0},
     blGlyphLeft,
     taCenter,
     -1,
     4,
     false,
     {42, 12},
     {58, 20, 58, 20}},
    {"left justified",
     {0, 0, 100, 40},
     {16, 16},
     {30, 10},
     blGlyphLeft,
     taLeftJustify,
     -1,
     4,
     false,
     {0, 12},
     {20, 15, 50, 25}},
    {"right justified",
     {0, 0, 100, 40},
     {16, 16},
     {30, 10},
     blGlyphLeft,
     taRightJustify,
     -1,
     4,
     false,
     {50, 12},
     {70, 15, 100, 25}},
    {"top, left justified",
     {0, 0, 100, 40},
     {16, 16},
     {30, 10},
     blGlyphTop,
     taLeftJustify,
     -1,
     4,
     false,
     {0, 5},
     {0, 25, 30, 35}},
    {"client offset",
     {10, 5, 110, 45},
     {16, 16},
     {30, 10},
     blGlyphLeft,
     taCenter,
     -1,
     4,
     false,
     {35, 17},
     {55, 20, 85, 30}},
    {"client too small",
     {0, 0, 20, 8},
     {16, 16},
     {30, 10},
     blGlyphLeft,
     taCenter,
     0,
     0,
     false,
     {0, -3},
     {16, 0, 46, 10}},
};

class PaintUtilsLayouts : public ::testing::TestWithParam<TLayoutCase> {};

TEST_P(PaintUtilsLayouts, PlacesGlyphAndCaption) {
  const TLayoutCase& c = GetParam();
  TPoint g{-99, -99};
  TRect t{-99, -99, -99, -99};
  CalcGlyphTextLayout(c.Client, c.Glyph, c.Text, c.Layout, c.Align, c.Margin, c.Spacing, g, t, c.Rtl);
  EXPECT_EQ(g, c.GlyphPos) << c.Name << ": glyph at " << g.X << "," << g.Y;
  EXPECT_EQ(t, c.TextBounds) << c.Name << ": text " << t.Left << "," << t.Top << "," << t.Right << "," << t.Bottom;
}

INSTANTIATE_TEST_SUITE_P(Table, PaintUtilsLayouts, ::testing::ValuesIn(kLayoutCases));

// Glyph and caption never overlap and keep the given spacing, whatever the layout.
TEST(PaintUtils, GlyphTextLayoutSpacingIsKept) {
  for (TGlyphLayout l : {blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom}) {
    for (int spacing : {0, 1, 4, 9}) {
      TPoint g;
      TRect t;
      CalcGlyphTextLayout({0, 0, 120, 80}, {16, 12}, {40, 14}, l, taCenter, -1, spacing, g, t, false);
      int gap = 0;
      switch (l) {
        case blGlyphLeft: gap = t.Left - (g.X + 16); break;
        case blGlyphRight: gap = g.X - t.Right; break;
        case blGlyphTop: gap = t.Top - (g.Y + 12); break;
        case blGlyphBottom: gap = g.Y - t.Bottom; break;
      }
      EXPECT_EQ(gap, spacing) << "layout " << int(l);
    }
  }
}

// --- CutTextToWidth --------------------------------------------------------------------------

int Width7(std::string_view s) { return int(s.size()) * 7; }

TEST(PaintUtils, CutTextToWidthEdgeCases) {
  const struct {
    const char* Text;
    int Max;
    const char* Out;
  } cases[] = {
      {"Hello", 35, "Hello"},                        // fits exactly
      {"Hello", 34, "H..."},                         // shortened from the end
      {"Hello", 28, "H..."},  {"Hello", 27, "..."},  // only the dots fit
      {"Hello", 21, "..."},   {"Hello", 20, ""},     // not even "..." fits: empty, and the loop ends
      {"Hello", 1, ""},       {"Hello", 0, ""},      // below 1: empty
      {"Hello", -7, ""},      {"", 5, ""},          {"", 0, ""}, {"ab", 14, "ab"},
  };
  for (const auto& c : cases) EXPECT_EQ(CutTextToWidthBy(c.Text, c.Max, Width7), c.Out) << c.Text << " in " << c.Max;
}

// A 16,000-character caption: the cut point is found by halving, one measure per step, and a text
// of which not even "..." fits ends after two measures.
TEST(PaintUtils, CutTextToWidthMeasuresLogarithmicallyOften) {
  const std::string text(16000, 'x');
  std::size_t calls = 0, chars = 0;
  auto counted = [&](std::string_view s) {
    ++calls;
    chars += s.size();
    return Width7(s);
  };
  const struct {
    int Max;
    std::size_t Kept;  // characters of the text kept before "..."; npos: the text is empty
    std::size_t MaxCalls;
  } cases[] = {{7 * 16000, 16000, 1}, {7 * 8000 + 20, 7999, 17}, {21, 0, 17}, {20, std::string::npos, 2}};
  for (const auto& c : cases) {
    calls = chars = 0;
    const std::string out = CutTextToWidthBy(text, c.Max, counted);
    if (c.Kept == std::string::npos)
      EXPECT_EQ(out, "");
    else if (c.Kept == text.size())
      EXPECT_EQ(out, text);
    else
      EXPECT_EQ(out, std::string(c.Kept, 'x') + "...") << c.Max;
    EXPECT_LE(calls, c.MaxCalls) << c.Max;
    EXPECT_LE(chars, c.MaxCalls * (text.size() + 3)) << c.Max;
  }
}

// --- strings and numbers ---------------------------------------------------------------------

TEST(PaintUtils, InkStandsOutOnItsFill) {
  struct {
    std::uint32_t Ink, Fill, Want;
  } cases[] = {
      {0xE0E0E0, 0x303030, 0xE0E0E0},    // light on dark: as it is
      {0xE0E0E0, 0xF0F0F0, 0x000000},    // light on light: black
      {0x202020, 0x303030, 0xFFFFFF},    // dark on dark: white
      {0x000000, 0xD4D0C8, 0x000000},    // the system's text on its button face
      {0xFF0000, 0x0000FF, 0xFFFFFF},    // blue on red: too close in brightness, and red is dark
      {0x801E1E1E, 0xFFFFFF, 0x1E1E1E},  // a high byte is no part of the colour
  };
  for (const auto& c : cases) EXPECT_EQ(c.Want, InkOn(c.Ink, c.Fill)) << std::hex << c.Ink << " on " << c.Fill;
}

TEST(PaintUtils, ExtractWord) {
  EXPECT_EQ(ExtractWord(1, "alpha beta", " "), "alpha");
  EXPECT_EQ(ExtractWord(2, "  alpha,, beta ", " ,"), "beta");
  EXPECT_EQ(ExtractWord(3, "alpha beta", " "), "");
  EXPECT_EQ(ExtractWord(0, "alpha", " "), "");
  EXPECT_EQ(ExtractWord(-1, "alpha", " "), "");
  EXPECT_EQ(ExtractWord(1, "", " "), "");
  EXPECT_EQ(ExtractWord(1, "abc", ""), "abc");
}

TEST(PaintUtils, TryParseFloat) {
  double v = -1;
  EXPECT_TRUE(TryParseFloat(" 12.5 ", v));
  EXPECT_DOUBLE_EQ(v, 12.5);
  EXPECT_TRUE(TryParseFloat("-3,25", v, ','));
  EXPECT_DOUBLE_EQ(v, -3.25);
  EXPECT_TRUE(TryParseFloat("1e3", v));
  EXPECT_DOUBLE_EQ(v, 1000);
  v = 7;
  for (const char* bad : {"", "  ", "1.2.3x", "12a", "abc", "inf", "nan", "0x10", "1e999", "3.5"}) {
    if (std::string_view(bad) == "3.5") {
      EXPECT_FALSE(TryParseFloat(bad, v, ',')) << "a point is no decimal separator here";
    } else {
      EXPECT_FALSE(TryParseFloat(bad, v)) << bad;
    }
  }
  EXPECT_DOUBLE_EQ(v, 7) << "a failed parse leaves the value";
}

TEST(PaintUtils, InsertThousandSeparators) {
  EXPECT_EQ(InsertThousandSeparators("1234567.5"), "1,234,567.5");
  EXPECT_EQ(InsertThousandSeparators("-1234"), "-1,234");
  EXPECT_EQ(InsertThousandSeparators("123"), "123");
  EXPECT_EQ(InsertThousandSeparators("123456", ' '), "123 456");
  EXPECT_EQ(InsertThousandSeparators("1000,25", '.', ','), "1.000,25");
  EXPECT_EQ(InsertThousandSeparators(""), "");
  EXPECT_EQ(InsertThousandSeparators("-"), "-");
}

TEST(PaintUtils, SmallStringHelpers) {
  EXPECT_EQ(RepeatChar('*', 3), "***");
  EXPECT_EQ(RepeatChar('*', 0), "");
  EXPECT_EQ(RepeatChar('*', -2), "");
  EXPECT_EQ(TrimSpaces(" \t a b \t"), "a b");
  EXPECT_EQ(TrimSpaces("   "), "");
  EXPECT_EQ(DeleteChars("1,234 567", ", "), "1234567");
  EXPECT_EQ(ReplaceAllStr("a--b--c", "--", "+"), "a+b+c");
  EXPECT_EQ(ReplaceAllStr("aaa", "a", "aa"), "aaaaaa");
  EXPECT_EQ(ReplaceAllStr("abc", "", "x"), "abc");
}

TEST(PaintUtils, GeometryHelpers) {
  EXPECT_EQ(RectWidth({2, 3, 10, 7}), 8);
  EXPECT_EQ(RectHeight({2, 3, 10, 7}), 4);
  EXPECT_TRUE(IsInRange(5, 5, 6));
  EXPECT_FALSE(IsInRange(7, 5, 6));
  EXPECT_EQ(ChooseInt(true, 1, 2), 1);
  EXPECT_EQ(ChooseInt(false, 1, 2), 2);
  EXPECT_EQ(LimitToRange(-5, 0, 10), 0);
  EXPECT_EQ(LimitToRange(50, 0, 10), 10);
  EXPECT_EQ(LimitToRange(5, 10, 0), 10) << "an empty range gives its minimum";
  EXPECT_TRUE(RectInsideRect({1, 1, 5, 5}, {0, 0, 5, 5}));
  EXPECT_FALSE(RectInsideRect({1, 1, 6, 5}, {0, 0, 5, 5}));
  EXPECT_EQ(IntMax(-3, -4), -3);
  const TRect r = MakeRect(1, -2, 30, 40);
  EXPECT_EQ(r, (TRect{1, -2, 30, 40})) << "the four integers in order, as one record";
}

// --- fade steps ------------------------------------------------------------------------------

TEST(PaintUtils, FadeIterationsNeverZero) {
  EXPECT_EQ(FadeIterationsOf(10, false), 10);
  EXPECT_EQ(FadeIterationsOf(10, true), 5);
  EXPECT_EQ(FadeIterationsOf(1, true), 1) << "one step halved must still run";
  EXPECT_EQ(FadeIterationsOf(0, false), 1);
  EXPECT_EQ(FadeIterationsOf(-4, true), 1);
}

TEST(PaintUtils, FadeAmountStaysInByteRange) {
  for (int it : {1, 2, 3, 5, 7, 10, 100}) {
    int last = 256;
    for (int step = 0; step <= it; ++step) {
      int a = qv::FadeAmount(step, it);
      EXPECT_GE(a, 0) << step << "/" << it;
      EXPECT_LE(a, 255);
      EXPECT_LE(a, last) << "the start image fades out monotonically";
      last = a;
    }
    EXPECT_EQ(qv::FadeAmount(0, it), 255);
    EXPECT_EQ(qv::FadeAmount(it, it), 0);
  }
}

}  // namespace
