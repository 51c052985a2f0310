// Geometry, layout and text helpers of the skin painters, without any platform header.
//
// The Windows side (sQuorvexGraph, sStyleSimply) wraps these around the class library's canvas;
// here they work on plain numbers and strings so they can be tested natively.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "classlib/core/Types.h"

namespace qv {

// ---- Geometry ---------------------------------------------------------------------------------

inline int RectWidth(const TRect& r) { return r.Right - r.Left; }
inline int RectHeight(const TRect& r) { return r.Bottom - r.Top; }
inline bool IsInRange(int value, int min, int max) { return value >= min && value <= max; }
inline int ChooseInt(bool condition, int a, int b) { return condition ? a : b; }
// Four integers as one record (left, top, right, bottom).
inline TRect MakeRect(int a, int b, int c, int d) { return TRect{a, b, c, d}; }
// true when Inner lies wholly inside Outer (edges may touch).
inline bool RectInsideRect(const TRect& inner, const TRect& outer) {
  return inner.Left >= outer.Left && inner.Top >= outer.Top && inner.Right <= outer.Right &&
         inner.Bottom <= outer.Bottom;
}
// Value limited to Min..Max (Min wins when the range is empty).
inline int LimitToRange(int value, int min, int max) {
  if (value > max) value = max;
  if (value < min) value = min;
  return value;
}
inline int IntMax(int a, int b) { return a > b ? a : b; }

// ---- Glyph and caption layout of a button ---------------------------------------------------

// In the order of the class library's button layouts and alignments.
enum class TGlyphLayout : std::uint8_t { GlyphLeft, GlyphRight, GlyphTop, GlyphBottom };
enum class THorzAlign : std::uint8_t { Left, Right, Center };

// Places a glyph and a caption block in Client. Margin is the distance from the client edge the
// layout starts at (-1: the block is placed by Alignment, centred by default); Spacing the gap
// between glyph and caption (-1: the free space is shared evenly). A missing glyph or caption
// (size 0) takes no spacing. RightToLeft swaps the left and right layouts. GlyphPos is the
// glyph's top-left corner, TextBounds the caption's rectangle, both in Client's coordinates.
void CalcGlyphTextLayout(const TRect& client, TSize glyphSize, TSize textSize, TGlyphLayout layout,
                         THorzAlign alignment, int margin, int spacing, TPoint& glyphPos, TRect& textBounds,
                         bool rightToLeft);

// ---- Text -------------------------------------------------------------------------------------

// The colour text is written in on a fill (both 0x00BBGGRR): Ink where it stands out on the fill
// (their brightnesses at least 96 of 255 apart), else black or white, whichever stands out more.
std::uint32_t InkOn(std::uint32_t ink, std::uint32_t fill);

// Text, or Text shortened from the end with "..." appended until Measure says it fits MaxWidth;
// empty when MaxWidth is below 1 or even "..." alone does not fit.
std::string CutTextToWidthBy(std::string_view text, int maxWidth, const std::function<int(std::string_view)>& measure);

// The N-th (1-based) word of S, words separated by any of Delimiters; empty when there is none.
std::string ExtractWord(int n, std::string_view s, std::string_view delimiters);
// A number with DecimalSeparator as decimal point, blanks around it allowed; false for anything
// else (empty, trailing characters, out of range).
bool TryParseFloat(std::string_view s, double& value, char decimalSeparator = '.');
// The integer part of a number text grouped by Separator every three digits (sign and fraction
// kept): "-1234567.5" -> "-1,234,567.5".
std::string InsertThousandSeparators(std::string_view s, char separator = ',', char decimalSeparator = '.');
// Count copies of C (none for Count below 1).
std::string RepeatChar(char c, int count);
// S without blanks (spaces and tabs) at both ends.
std::string TrimSpaces(std::string_view s);
// S without any of the characters in Chars.
std::string DeleteChars(std::string_view s, std::string_view chars);
// Every occurrence of From replaced by To (an empty From changes nothing).
std::string ReplaceAllStr(std::string_view s, std::string_view from, std::string_view to);

// ---- Fading -----------------------------------------------------------------------------------

// The steps of a hover fade: FADINGITERATIONS, halved when Fast, never below one.
int FadeIterationsOf(int iterations, bool fast);

}  // namespace qv
