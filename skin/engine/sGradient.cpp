#include "skin/engine/sGradient.h"

#include <algorithm>

#include "classlib/GdiScopes.h"
#include "skin/engine/core/acSkinValues.h"

bool ParseGradientData(const std::string& text, TsGradientData& out) { return qv::ParseSkinGradient(text, out); }

bool GetSectionGradient(const qv::TsGeneralData& section, TsGradientData& out) {
  if (!section.Gradient.Valid) return false;
  out = section.Gradient;
  return true;
}

void PaintGrad(TBitmap* bmp, const TRect& r, const TsGradientData& data) {
  if (!bmp || bmp->Empty() || !data.Valid) return;
  const TRect c = IntersectRects(r, TRect{0, 0, bmp->Width(), bmp->Height()});
  if (c.IsEmpty()) return;
  // The gradient runs over the whole of R; only its visible part is drawn.
  const COLORREF a = data.Color1 & 0xFFFFFF, b = data.Color2 & 0xFFFFFF;
  TRIVERTEX v[2]{};
  v[0].x = r.Left;
  v[0].y = r.Top;
  v[0].Red = COLOR16(GetRValue(a) << 8);
  v[0].Green = COLOR16(GetGValue(a) << 8);
  v[0].Blue = COLOR16(GetBValue(a) << 8);
  v[1].x = r.Right;
  v[1].y = r.Bottom;
  v[1].Red = COLOR16(GetRValue(b) << 8);
  v[1].Green = COLOR16(GetGValue(b) << 8);
  v[1].Blue = COLOR16(GetBValue(b) << 8);
  GRADIENT_RECT g{0, 1};
  {
    BitmapDC dc(bmp);
    SavedDC saved(dc);
    IntersectClipRect(dc, c.Left, c.Top, c.Right, c.Bottom);
    GradientFill(dc, v, 2, &g, 1, data.Vertical ? GRADIENT_FILL_RECT_V : GRADIENT_FILL_RECT_H);
  }
  GdiFlush();
}
