// Texts of skin values: colours, numbers, flags and font colour lists as Options.dat writes them.
#pragma once

#include <string>
#include <string_view>

#include "skin/engine/core/acSkinModel.h"

namespace qv {

std::string_view TrimBlanks(std::string_view s);

// A whole decimal number (optional sign) within min..max.
bool ParseSkinInt(std::string_view text, int min, int max, int& out);
// TRUE / FALSE, 1 / 0 (case-insensitive).
bool ParseSkinBool(std::string_view text, bool& out);
// "#RRGGBB" (to 0x00BBGGRR).
bool ParseSkinColor(std::string_view text, TColorRef& out);
// One to five colours separated by blanks: the text colour and the outline copies left, top, right,
// bottom; "none" for an outline copy that is not drawn.
bool ParseSkinFontColors(std::string_view text, TsFontColors& out);

// "#RRGGBB #RRGGBB" and an optional direction "V" (top to bottom, the default) or "H" (left to
// right), case-insensitive; out.Valid set.
bool ParseSkinGradient(std::string_view text, TsGradientData& out);

std::string FormatSkinColor(TColorRef c);
std::string FormatSkinGradient(const TsGradientData& g);
std::string FormatSkinFontColors(const TsFontColors& c);

}  // namespace qv
