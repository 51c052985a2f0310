// Gradient backgrounds of skin sections.
//
// A section whose GRADIENTPERCENT is above 0 lays a two-colour gradient over its COLOR by that
// percentage. The gradient's colours and direction come from the section's key "GRADIENTDATA"
// (read with the skin, see docs/skin-format.md): two colours "#RRGGBB #RRGGBB" and an optional
// direction "V" (top to bottom, the default) or "H" (left to right). A section without gradient
// data shows its plain colour.
#pragma once

#include "classlib/Win.h"

#include "classlib/Graphics.h"
#include "skin/engine/core/acSkinModel.h"

using TsGradientData = qv::TsGradientData;

// The gradient of a section; false when it has none.
bool GetSectionGradient(const qv::TsGeneralData& section, TsGradientData& out);
// Reads a GRADIENTDATA value; false (out unchanged) when it is not one.
bool ParseGradientData(const std::string& text, TsGradientData& out);

// Fills R of the bitmap (clipped to it) with a gradient from Color1 to Color2; nothing for a
// gradient that is not valid.
void PaintGrad(TBitmap* bmp, const TRect& r, const TsGradientData& data);
