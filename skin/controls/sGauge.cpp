#include "skin/controls/sGauge.h"

#include <climits>
#include <cstdlib>
#include <memory>
#include <vector>

#include "classlib/GdiScopes.h"
#include "classlib/core/TypInfo.h"
#include "skin/controls/core/acGaugeGeometry.h"
#include "skin/engine/sStyleSimply.h"

namespace {

using TBmpPtr = std::unique_ptr<TBitmap>;

// A 24-bit bitmap of the size with every pixel black.
TBmpPtr BlackBitmap(int Width, int Height) {
  TBmpPtr bmp(CreateBmp24(Width, Height));
  BitmapDC dc(bmp.get());
  if (dc) PatBlt(dc, 0, 0, Width, Height, BLACKNESS);
  return bmp;
}

// Dst = Dst xor Src.
void InvertInto(TBitmap* Dst, TBitmap* Src) {
  BitmapDC d(Dst), s(Src);
  if (d && s) BitBlt(d, 0, 0, Dst->Width(), Dst->Height(), s, 0, 0, SRCINVERT);
}

std::string RangeError(int Low, int High) {
  return "Value must be between " + std::to_string(Low) + " and " + std::to_string(High);
}

}  // namespace

TsGauge::TsGauge(TComponent* AOwner) : TacSkinnedControl<TGraphicControl>(AOwner, tcGauge, false) {
  ControlStyle_.Include(csOpaque);
  SetBounds(Left_, Top_, 120, 30);
}

// ---- properties -------------------------------------------------------------------------------------

int TsGauge::PercentDone() const { return qv::GaugePercent(FProgress, FMinValue, FMaxValue); }

void TsGauge::SetKind(TsGaugeKind Value) {
  if (FKind == Value) return;
  FKind = Value;
  Invalidate();
}

void TsGauge::SetBorderStyle(TBorderStyle Value) {
  if (FBorderStyle == Value) return;
  FBorderStyle = Value;
  Invalidate();
}

void TsGauge::SetBackColor(TColor Value) {
  if (FBackColor == Value) return;
  FBackColor = Value;
  Invalidate();
}

void TsGauge::SetForeColor(TColor Value) {
  FForeColor = Value;
  Repaint();
}

void TsGauge::SetShowText(bool Value) {
  if (FShowText == Value) return;
  FShowText = Value;
  Invalidate();
}

void TsGauge::SetSuffix(const std::string& Value) {
  if (FSuffix == Value) return;
  FSuffix = Value;
  FSkinData->Invalidate();
}

void TsGauge::SetProgressSkin(const std::string& Value) {
  if (FProgressSkin == Value) return;
  FProgressSkin = Value;
  FSkinData->Invalidate();
}

void TsGauge::SetMinValue(int Value) {
  if (Value == FMinValue) return;
  // The least value is allowed; the greatest is MaxValue itself (an empty range).
  if (Value > FMaxValue && !Loading()) throw EInvalidOperation(RangeError(INT_MIN, FMaxValue));
  FMinValue = Value;
  if (FProgress < Value) SetProgress(Value);
  Repaint();
}

void TsGauge::SetMaxValue(int Value) {
  if (Value == FMaxValue) return;
  if (Value < FMinValue && !Loading()) throw EInvalidOperation(RangeError(FMinValue, INT_MAX));
  FMaxValue = Value;
  if (FProgress > Value) SetProgress(Value);
  Repaint();
}

void TsGauge::SetProgress(int Value) {
  // A range reversed while loading has no inside: the value stays as given then.
  if (FMinValue <= FMaxValue) Value = LimitToRange(Value, FMinValue, FMaxValue);
  if (Value == FProgress) return;
  const int oldPercent = PercentDone();
  FProgress = Value;
  if (PercentDone() != oldPercent) {
    if (!SkinChanging) FSkinData->BGChanged = true;
    Repaint();
  }
  OnChange(this);
}

std::string TsGauge::BarSection() const {
  if (FKind != gkHorizontalBar && FKind != gkVerticalBar) return {};
  if (!FProgressSkin.empty()) return FProgressSkin;
  return FKind == gkHorizontalBar ? "PROGRESSH" : "PROGRESSV";
}

// ---- painting -------------------------------------------------------------------------------------------

TRect TsGauge::PlainArea() const {
  TRect r = Rect(0, 0, Width_, Height_);
  if (FBorderStyle == bsSingle) r.Inflate(-1, -1);
  return r;
}

void TsGauge::Paint() {
  if (Width_ < 1 || Height_ < 1) return;
  if (FSkinData->Skinned())
    PaintSkinned();
  else
    PaintPlain();
}

void TsGauge::DrawPie(TCanvas* Canvas, const TRect& R, int Percent) {
  Canvas->Pen()->SetColor(FForeColor);
  Canvas->Pen()->SetWidth(1);
  Canvas->Brush()->SetStyle(bsSolid);
  Canvas->Brush()->SetColor(FBackColor);
  Canvas->Ellipse(R);
  if (Percent < 1) return;
  const int hw = R.Width() / 2, hh = R.Height() / 2;
  const TPoint end = qv::PieArcEnd(Percent, hw, hh);
  Canvas->Brush()->SetColor(FForeColor);
  // The arc runs counter-clockwise from its first point: from the end back to 12 o'clock.
  Canvas->Pie(R.Left, R.Top, R.Right, R.Bottom, R.Left + end.X, R.Top + end.Y, R.Left + hw, R.Top);
}

void TsGauge::DrawPieText(TCanvas* Canvas, const TRect& R, int Percent, const std::string& Text) {
  const UINT flags = DT_CENTER | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX;
  const HDC dc = Canvas->Handle();
  const SavedDC saved(dc);
  // The areas: beside the ellipse, the ellipse in BackColor, the pie in ForeColor.
  const OwnedRegion ellipse(CreateEllipticRgn(R.Left, R.Top, R.Right + 1, R.Bottom + 1));
  const OwnedRegion beside(CreateRectRgn(R.Left, R.Top, R.Right, R.Bottom));
  CombineRgn(beside, beside, ellipse, RGN_DIFF);
  const OwnedRegion pie(CreateRectRgn(0, 0, 0, 0));
  if (Percent >= 1) {
    std::vector<POINT> wedge;
    for (const TPoint& p : qv::PieWedge(Percent, R.Width() / 2, R.Height() / 2))
      wedge.push_back(POINT{R.Left + p.X, R.Top + p.Y});
    const OwnedRegion polygon(CreatePolygonRgn(wedge.data(), int(wedge.size()), WINDING));
    CombineRgn(pie, polygon, ellipse, RGN_AND);
  }
  const OwnedRegion back(CreateRectRgn(0, 0, 0, 0));
  CombineRgn(back, ellipse, pie, RGN_DIFF);
  SelectClipRgn(dc, beside);
  DrawControlText(Canvas, Text, Enabled(), R, flags, FSkinData, false);
  // The section's text colour where it stands out on the fill, else black or white.
  const TsGeneralData* gd = SectionOf(FSkinData);
  const TColor ink = gd ? TColor(gd->FontColor.Text()) : Font()->Color();
  auto standsOut = [&](TColor fill) {
    auto luma = [](TColor c) {
      const COLORREF rgb = COLORREF(ColorToRGB(c));
      return (299 * GetRValue(rgb) + 587 * GetGValue(rgb) + 114 * GetBValue(rgb)) / 1000;
    };
    if (std::abs(luma(ink) - luma(fill)) >= 96) return ink;
    return luma(fill) >= 128 ? TColor(0x000000) : TColor(0xFFFFFF);
  };
  SetBkMode(dc, TRANSPARENT);
  for (const auto& [area, fill] : {std::pair<HRGN, TColor>{back, FBackColor}, {pie, FForeColor}}) {
    SelectClipRgn(dc, area);
    SetTextColor(dc, ColorToRGB(Enabled() ? standsOut(fill) : AverageColor(standsOut(fill), fill)));
    TRect r = R;
    DrawTextStr(dc, Text, r, flags);
  }
}

void TsGauge::DrawNeedle(TCanvas* Canvas, const TRect& R, int Percent) {
  Canvas->Pen()->SetColor(FForeColor);
  Canvas->Pen()->SetWidth(1);
  // The dial: the upper half of an ellipse as wide as R standing on R's bottom edge.
  const int base = R.Bottom - 1;
  Canvas->Pie(R.Left, R.Top, R.Right, R.Top + 2 * (base - R.Top), R.Right, base, R.Left, base);
  Canvas->MoveTo(R.Left, base);
  Canvas->LineTo(R.Right, base);
  if (Percent < 1) return;
  const int hw = R.Width() / 2;
  const TPoint tip = qv::NeedleTip(Percent, hw, base - R.Top);
  Canvas->MoveTo(R.Left + hw, base);
  Canvas->LineTo(R.Left + tip.X, R.Top + tip.Y);
}

void TsGauge::PaintPlain() {
  const int w = Width_, h = Height_;
  const TRect r = PlainArea();
  const int percent = PercentDone();
  TBmpPtr image = BlackBitmap(w, h);
  {
    // The kind is drawn on black and laid into the image with xor, so that the text laid in the
    // same way afterwards inverts what lies under it.
    TBmpPtr kind = BlackBitmap(w, h);
    TCanvas* c = kind->Canvas();
    c->Brush()->SetStyle(bsSolid);
    switch (FKind) {
      case gkText:
      case gkHorizontalBar:
      case gkVerticalBar: {
        c->Brush()->SetColor(FBackColor);
        c->FillRect(r);
        const TRect bar = FKind == gkHorizontalBar ? qv::PlainHorzBar(percent, r)
                          : FKind == gkVerticalBar ? qv::PlainVertBar(percent, r)
                                                   : TRect{};
        if (!bar.IsEmpty()) {
          c->Brush()->SetColor(FForeColor);
          c->FillRect(bar);
        }
        break;
      }
      case gkPie:
        c->Brush()->SetColor(Color());
        c->FillRect(Rect(0, 0, w, h));
        DrawPie(c, FBorderStyle == bsSingle ? Rect(0, 0, w, h) : r, percent);
        break;
      case gkNeedle:
        c->Brush()->SetColor(Color());
        c->FillRect(Rect(0, 0, w, h));
        c->Brush()->SetColor(FBackColor);
        DrawNeedle(c, r, percent);
        break;
    }
    InvertInto(image.get(), kind.get());
  }
  if (FShowText) {
    TBmpPtr text = BlackBitmap(w, h);
    TCanvas* c = text->Canvas();
    c->SetFont(Font());
    c->Font()->SetColor(TColor(0xFFFFFF));
    c->Brush()->SetStyle(bsClear);
    TRect tr = r;
    DrawTextStr(c->Handle(), std::to_string(percent) + "%", tr, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    InvertInto(image.get(), text.get());
  }
  BitmapDC src(image.get());
  if (src) BitBlt(Canvas()->Handle(), 0, 0, w, h, src, 0, 0, SRCCOPY);
}

void TsGauge::PaintSkinnedBar(TBitmap* Cache, int Percent) {
  const std::string section = BarSection();
  TsSkinManager* sm = FSkinData->SkinManager();
  const int index = sm->SectionIndexOf(section);
  if (index < 0) return;
  const bool horizontal = FKind == gkHorizontalBar;
  const int w = horizontal ? qv::GaugeBarLength(Percent, Width_) : Width_;
  const int h = horizontal ? Height_ : qv::GaugeBarLength(Percent, Height_);
  if (w <= 0 || h <= 0) return;
  const TPoint at = horizontal ? Point(0, 0) : Point(0, Height_ - h);
  TBmpPtr bar(CreateBmp24(w, h));
  PaintSectionItem(index, section, BuildCacheInfo(Cache), true, 0, Rect(0, 0, w, h), at, bar.get(), sm);
  BitmapDC d(Cache), s(bar.get());
  if (d && s) BitBlt(d, at.X, at.Y, w, h, s, 0, 0, SRCCOPY);
}

void TsGauge::PaintSkinned() {
  // While the parent is being updated nothing is painted (what shows stays as it is).
  if (FSkinData->Updating()) return;
  const TsCacheInfo ci = BeginPrepareCache(this, FSkinData);
  TBitmap* cache = FSkinData->CacheBmp;
  const TRect all = Rect(0, 0, Width_, Height_);
  PaintControlItem(FSkinData, ci, true, 0, all, Point(Left_, Top_), cache, true);
  const int percent = PercentDone();
  switch (FKind) {
    case gkHorizontalBar:
    case gkVerticalBar: PaintSkinnedBar(cache, percent); break;
    case gkPie: DrawPie(cache->Canvas(), all, percent); break;
    case gkNeedle:
      cache->Canvas()->Brush()->SetStyle(bsClear);
      DrawNeedle(cache->Canvas(), all, percent);
      break;
    case gkText: break;
  }
  if (FShowText) {
    TCanvas* c = cache->Canvas();
    c->SetFont(Font());
    c->Brush()->SetStyle(bsClear);
    const std::string text = std::to_string(percent) + FSuffix;
    if (FKind == gkPie)
      DrawPieText(c, all, percent, text);
    else
      DrawControlText(c, text, Enabled(), all, DT_CENTER | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX, FSkinData, false);
  }
  EndPrepareCache(FSkinData);
  RepaintAllCacheCorners(FSkinData, 0);
  {
    BitmapDC src(cache);
    if (src) BitBlt(Canvas()->Handle(), 0, 0, Width_, Height_, src, 0, 0, SRCCOPY);
  }
  // The gauge keeps no cache between paints.
  delete FSkinData->CacheBmp;
  FSkinData->CacheBmp = nullptr;
}

// ---- published properties ------------------------------------------------------------------------------------

namespace {
const bool kGaugeProps = RegisterProperties<TsGauge, TGraphicControl>([](auto& p) {
  p.Obj("SkinData", &TsGauge::SkinData);
  p.Ord("Kind", &TsGauge::Kind, &TsGauge::SetKind);
  p.Ord("BorderStyle", &TsGauge::BorderStyle, &TsGauge::SetBorderStyle);
  p.Ord("BackColor", &TsGauge::BackColor, &TsGauge::SetBackColor);
  p.Ord("ForeColor", &TsGauge::ForeColor, &TsGauge::SetForeColor);
  p.Ord("MinValue", &TsGauge::MinValue, &TsGauge::SetMinValue);
  p.Ord("MaxValue", &TsGauge::MaxValue, &TsGauge::SetMaxValue);
  p.Ord("Progress", &TsGauge::Progress, &TsGauge::SetProgress);
  p.Ord("ShowText", &TsGauge::ShowText, &TsGauge::SetShowText);
  p.Str("ProgressSkin", &TsGauge::ProgressSkin, &TsGauge::SetProgressSkin);
  p.Str("Suffix", &TsGauge::Suffix, &TsGauge::SetSuffix);
  p.Method("OnChange", &TsGauge::GetOnChange, &TsGauge::SetOnChange);
});
}  // namespace
