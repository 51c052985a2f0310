// Gradient backgrounds of skin sections.
//
// A section whose GRADIENTPERCENT is above 0 lays a two-colour gradient over its COLOR by that
// percentage. The gradient's colours and direction come from the section's key "GRADIENTDATA":
// two colours "#RRGGBB #RRGGBB" and an optional direction "V" (top to bottom, the default) or "H"
// (left to right). A section without valid gradient data shows its plain colour.
#pragma once

#include "classlib/Win.h"

#include "classlib/Graphics.h"
#include "skin/engine/core/acSkinModel.h"

struct TsGradientData {
  TColor Color1 = clBlack;
  TColor Color2 = clBlack;
  bool Vertical = true;
};

// The gradient of a section; false when it has no valid "GRADIENTDATA".
bool GetSectionGradient(const qv::TsGeneralData& section, TsGradientData& out);
bool ParseGradientData(const std::string& text, TsGradientData& out);

// Fills R of the bitmap (clipped to it) with a gradient from Color1 to Color2.
void PaintGrad(TBitmap* bmp, const TRect& r, const TsGradientData& data);
