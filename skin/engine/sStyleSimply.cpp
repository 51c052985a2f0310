#include "skin/engine/sStyleSimply.h"

#include <algorithm>
#include <array>
#include <memory>

#include "classlib/GdiScopes.h"
#include "classlib/core/TypInfo.h"
#include "skin/engine/sGradient.h"
#include "skin/engine/sSkinManager.h"

namespace {

TsSkinManager* ManagerOr(TsSkinManager* m) { return m ? m : DefaultManager; }

const qv::TSkinModel* ModelOf(TsSkinManager* m) {
  m = ManagerOr(m);
  return m ? m->Skin() : nullptr;
}

qv::TColorRef Rgb(TColor c) { return qv::TColorRef(ColorToRGB(c)) & 0xFFFFFF; }

struct TBmpFree {
  void operator()(TBitmap* b) const { b->Free(); }
};
using TBmpPtr = std::unique_ptr<TBitmap, TBmpFree>;

// The colour behind transparent parts when no parent image is ready: the shared parent colour,
// else the given fallback (clNone: none).
TColor BehindColor(TColor fallback) {
  if (SharedParentColor != clParentColorUnset) return SharedParentColor;
  return fallback;
}

// Where the painted rectangle's pixels lie in the parent's image: pixel (x, y) of the bitmap
// over pixel (x + X, y + Y) of the parent.
qv::TCacheView ParentViewFor(const TsCacheInfo& ci, const TRect& r, TPoint offset) {
  return CacheViewAt(ci, offset.X - r.Left, offset.Y - r.Top);
}

// Frame 0 of an image mask repeated over a W x H image.
qv::TImage24 TiledImage(const qv::TSkinModel& model, int maskIndex, int w, int h) {
  qv::TImage24 out;
  if (!model.IsMaskIndex(maskIndex) || w <= 0 || h <= 0) return out;
  const qv::TMaskFrames mf = MaskFramesOf(model, model.Masks[std::size_t(maskIndex)]);
  const qv::TMaskFrame f = qv::MaskFrameOf(mf, 0);
  if (!f.Valid || f.W <= 0 || f.H <= 0) return out;
  out.SetSize(w, h);
  const qv::TImageView v = out.View();
  for (int y = 0; y < h; ++y) {
    const std::uint8_t* src = mf.Image.At(f.X, f.Y + y % f.H);
    std::uint8_t* dst = v.Row(y);
    for (int x = 0; x < w;) {
      const int n = std::min(f.W, w - x);
      std::copy(src, src + 3 * n, dst + 3 * x);
      x += n;
    }
  }
  return out;
}

void PaintBackgroundCore(const qv::TSkinModel& model, int skinIndex, int image, TColor fillColor, TColor behind,
                         const TsCacheInfo& ci, int state, const TRect& rIn, TPoint offset, TBitmap* bmp) {
  const qv::TImageView dst = BmpView(bmp);
  if (dst.Empty() || !model.IsSectionIndex(skinIndex)) return;
  const qv::TsGeneralData& sec = model.Sections[std::size_t(skinIndex)];
  const bool hot = state > 0;
  const qv::TCacheView parent = ParentViewFor(ci, rIn, offset);
  const TRect r = IntersectRects(rIn, TRect{0, 0, dst.Width, dst.Height});
  if (r.IsEmpty()) return;
  const int w = r.Width(), h = r.Height();

  // 1. Colour.
  const TColor color = fillColor != clNone ? fillColor : TColor(hot ? sec.HotColor : sec.Color);
  FillBmpRect(bmp, r, color);

  // 2. Gradient laid over the colour by GRADIENTPERCENT.
  TsGradientData grad;
  if (sec.GradientPercent > 0 && GetSectionGradient(sec, grad)) {
    TBmpPtr g(CreateBmp24(w, h));
    // The gradient spans the whole painted rectangle, also where it is clipped.
    PaintGrad(g.get(), TRect{rIn.Left - r.Left, rIn.Top - r.Top, rIn.Right - r.Left, rIn.Bottom - r.Top}, grad);
    qv::BlendBitmapRect(dst, BmpView(g.get()), sec.GradientPercent * 255 / 100, TRect{0, 0, w, h}, r.TopLeft());
  }

  // 3. Pattern image, laid over by IMAGEPERCENT (all of it when 0).
  if (image >= 0) {
    qv::TImage24 tile = TiledImage(model, image, w, h);
    if (!tile.Empty()) {
      const int percent = sec.ImagePercent > 0 ? sec.ImagePercent : 100;
      qv::BlendBitmapRect(dst, tile.View(), percent * 255 / 100, TRect{0, 0, w, h}, r.TopLeft());
    }
  }

  // 4. The parent shows through by TRANSPARENCY.
  const int transparency = std::clamp(hot ? sec.HotTransparency : sec.Transparency, 0, 100);
  if (transparency > 0) {
    const double keep = (100 - transparency) / 100.0;
    if (parent.Usable()) {
      const TRect src{r.Left + parent.X, r.Top + parent.Y, r.Right + parent.X, r.Bottom + parent.Y};
      qv::BlendRectKeyed(dst, r.Left, r.Top, parent.Image, src, keep, 0xFF000000u);
    } else if (behind != clNone) {
      qv::BlendColorRect(dst, r, 100 - transparency, Rgb(behind), false, 0);
    }
  }
}

void PaintBorderCore(const qv::TSkinModel& model, int maskIndex, TColor behind, const TsCacheInfo& ci, bool filling,
                     int state, const TRect& r, TPoint offset, TBitmap* bmp, bool useCache) {
  if (!model.IsMaskIndex(maskIndex)) return;
  // A border the skin shows only when hot or pressed.
  if (state <= 0 && model.Masks[std::size_t(maskIndex)].HotOnly) return;
  const qv::TImageView dst = BmpView(bmp);
  if (dst.Empty() || r.IsEmpty()) return;
  const qv::TMaskFrames mf = MaskFramesOf(model, model.Masks[std::size_t(maskIndex)]);
  if (mf.Image.Empty()) return;
  qv::TCacheView cache = ParentViewFor(ci, r, offset);
  const qv::TKeyPattern fill(qv::BgrOf(Rgb(behind)));
  if (useCache && !cache.Usable() && behind != clNone) {
    // No parent image: the transparent parts show the colour behind the control.
    cache = qv::TCacheView{};
    cache.Fill = &fill;
    cache.Ready = true;
  }
  qv::PaintMaskRect(dst, r, filling, cache, mf, state, useCache && cache.Usable(), &model.MaskRows());
}

// The section's corner images laid over R, after its border.
void PaintCornersCore(const qv::TSkinModel& model, int skinIndex, int state, const TRect& r, TBitmap* bmp) {
  const std::array<int, 4> index = model.CornerImages(skinIndex);
  qv::TMaskFrames frames[4];
  const qv::TMaskFrames* corners[4] = {};
  bool any = false;
  for (int i = 0; i < 4; ++i) {
    if (!model.IsMaskIndex(index[std::size_t(i)])) continue;
    frames[i] = MaskFramesOf(model, model.Masks[std::size_t(index[std::size_t(i)])]);
    if (frames[i].Image.Empty()) continue;
    corners[i] = &frames[i];
    any = true;
  }
  if (any) qv::PaintCornerImages(BmpView(bmp), r, state, corners);
}

int ImageFor(const qv::TSkinModel& model, int skinIndex, const std::string& section, int state, int normalImage,
             int hotImage) {
  if (state > 0) {
    int hot = hotImage >= 0 ? hotImage : model.LookupMask(skinIndex, section, "HOTPATTERN");
    if (hot >= 0) return hot;
  }
  return normalImage >= 0 ? normalImage : model.LookupMask(skinIndex, section, "PATTERN");
}

std::string SectionName(const qv::TSkinModel& model, int skinIndex, const std::string& section) {
  if (!section.empty()) return section;
  return model.IsSectionIndex(skinIndex) ? model.Sections[std::size_t(skinIndex)].Name : std::string();
}

}  // namespace

// ---- Sections -----------------------------------------------------------------------------------

void PaintSectionBackground(int skinIndex, const std::string& section, const TsCacheInfo& ci, int state, const TRect& r,
                            TPoint offset, TBitmap* bmp, TsSkinManager* skinManager, int normalImage, int hotImage,
                            TColor fillColor) {
  const qv::TSkinModel* model = ModelOf(skinManager);
  if (!model || !model->IsSectionIndex(skinIndex)) return;
  const std::string name = SectionName(*model, skinIndex, section);
  PaintBackgroundCore(*model, skinIndex, ImageFor(*model, skinIndex, name, state, normalImage, hotImage), fillColor,
                      BehindColor(clNone), ci, state, r, offset, bmp);
}

void PaintSectionItem(int skinIndex, const std::string& section, const TsCacheInfo& ci, bool filling, int state,
                      const TRect& r, TPoint offset, TBitmap* bmp, TsSkinManager* skinManager, int normalImage,
                      int hotImage) {
  const qv::TSkinModel* model = ModelOf(skinManager);
  if (!model || !model->IsSectionIndex(skinIndex)) return;
  const std::string name = SectionName(*model, skinIndex, section);
  const TColor behind = BehindColor(clNone);
  PaintBackgroundCore(*model, skinIndex, ImageFor(*model, skinIndex, name, state, normalImage, hotImage), clNone,
                      behind, ci, state, r, offset, bmp);
  PaintBorderCore(*model, model->LookupMask(skinIndex, name, "BORDERSMASK"), behind, ci, filling, state, r, offset, bmp,
                  true);
  PaintCornersCore(*model, skinIndex, state, r, bmp);
}

void PaintSectionItemByIndexes(int skinIndex, int maskIndex, int backgroundIndex, int hotBackgroundIndex,
                               const TsCacheInfo& ci, bool filling, int state, const TRect& r, TPoint offset,
                               TBitmap* bmp, TsSkinManager* skinManager) {
  const qv::TSkinModel* model = ModelOf(skinManager);
  if (!model || !model->IsSectionIndex(skinIndex)) return;
  const int image = state > 0 && hotBackgroundIndex >= 0 ? hotBackgroundIndex : backgroundIndex;
  const TColor behind = BehindColor(clNone);
  PaintBackgroundCore(*model, skinIndex, image, clNone, behind, ci, state, r, offset, bmp);
  PaintBorderCore(*model, maskIndex, behind, ci, filling, state, r, offset, bmp, true);
  PaintCornersCore(*model, skinIndex, state, r, bmp);
}

void PaintSectionItemToDC(int skinIndex, const std::string& section, const TsCacheInfo& ci, bool filling, int state,
                          const TRect& r, TPoint offset, HDC dc, TsSkinManager* skinManager) {
  if (!dc || r.IsEmpty()) return;
  TBmpPtr tmp(CreateBmp24(r.Width(), r.Height()));
  TCanvas* canvas = tmp->Canvas();
  canvas->Lock();
  BitBlt(canvas->Handle(), 0, 0, r.Width(), r.Height(), dc, r.Left, r.Top, SRCCOPY);
  canvas->Unlock();
  PaintSectionItem(skinIndex, section, ci, filling, state, TRect{0, 0, r.Width(), r.Height()}, offset, tmp.get(),
                   skinManager);
  canvas->Lock();
  BitBlt(dc, r.Left, r.Top, r.Width(), r.Height(), canvas->Handle(), 0, 0, SRCCOPY);
  canvas->Unlock();
}

namespace {

TColor ControlBehind(TsCommonData* sd) {
  TColor fallback = clNone;
  if (sd->OwnerControl && sd->OwnerControl->Parent()) fallback = TColor(Rgb(sd->OwnerControl->Parent()->Color()));
  return BehindColor(fallback);
}

}  // namespace

void PaintControlItem(TsCommonData* skinData, const TsCacheInfo& ci, bool filling, int state, const TRect& r,
                      TPoint offset, TBitmap* bmp, bool useCache) {
  if (!skinData) return;
  const qv::TSkinModel* model = ModelOf(skinData->SkinManager());
  if (!model || !model->IsSectionIndex(skinData->SkinIndex)) return;
  // The colour behind the transparent parts, asked of the parent now.
  if (skinData->OwnerControl && skinData->OwnerControl->Parent()) UpdateParentColor(skinData->OwnerControl);
  const int image = state > 0 && skinData->HotTexture >= 0 ? skinData->HotTexture : skinData->Texture;
  const TColor behind = ControlBehind(skinData);
  PaintBackgroundCore(*model, skinData->SkinIndex, image, clNone, behind, ci, state, r, offset, bmp);
  PaintBorderCore(*model, skinData->BorderIndex, behind, ci, filling, state, r, offset, bmp, useCache);
  PaintCornersCore(*model, skinData->SkinIndex, state, r, bmp);
}

void PaintControlBackground(TsCommonData* skinData, const TsCacheInfo& ci, int state, const TRect& r, TPoint offset,
                            TBitmap* bmp) {
  if (!skinData) return;
  const qv::TSkinModel* model = ModelOf(skinData->SkinManager());
  if (!model || !model->IsSectionIndex(skinData->SkinIndex)) return;
  const int image = state > 0 && skinData->HotTexture >= 0 ? skinData->HotTexture : skinData->Texture;
  PaintBackgroundCore(*model, skinData->SkinIndex, image, clNone, ControlBehind(skinData), ci, state, r, offset, bmp);
}

// ---- Text ---------------------------------------------------------------------------------------

TColor SectionTextColor(int skinIndex, bool enabled, bool hot, TsSkinManager* skinManager) {
  const qv::TSkinModel* model = ModelOf(skinManager);
  if (!model || !model->IsSectionIndex(skinIndex)) return clNone;
  const qv::TsGeneralData& sec = model->Sections[std::size_t(skinIndex)];
  const qv::TColorRef text = (hot ? sec.HotFontColor : sec.FontColor).Text() & 0xFFFFFF;
  if (enabled) return TColor(text);
  return MixColors(TColor(text), TColor(hot ? sec.HotColor : sec.Color), 0.4);
}

namespace {

void DrawTextIn(HDC dc, const std::string& text, TRect& r, UINT flags, COLORREF color) {
  SetTextColor(dc, color);
  DrawTextA(dc, text.c_str(), int(text.size()), AsRECT(&r), flags);
}

// The section's text colours in their drawing order: each outline copy with its offset, then the
// text itself in place. False when the section is not in the skin.
template <class Draw>
bool ForEachTextColour(int skinIndex, bool enabled, bool hot, TsSkinManager* skinManager, Draw draw) {
  const qv::TSkinModel* model = ModelOf(skinManager);
  if (!model || !model->IsSectionIndex(skinIndex)) return false;
  const qv::TsGeneralData& sec = model->Sections[std::size_t(skinIndex)];
  const qv::TsFontColors& fc = hot ? sec.HotFontColor : sec.FontColor;
  if (enabled && fc.HasOutline()) {
    static const int kShift[4][2] = {{-1, 0}, {0, -1}, {1, 0}, {0, 1}};  // left, top, right, bottom
    for (int i = 0; i < 4; ++i)
      if (fc.Items[std::size_t(i) + 1] != qv::clNoColor)
        draw(kShift[i][0], kShift[i][1], COLORREF(fc.Items[std::size_t(i) + 1] & 0xFFFFFF));
  }
  draw(0, 0, COLORREF(ColorToRGB(SectionTextColor(skinIndex, enabled, hot, skinManager))));
  return true;
}

void SectionText(TCanvas* canvas, const std::string& text, bool enabled, TRect& r, UINT flags, int skinIndex, bool hot,
                 TsSkinManager* skinManager) {
  if (!canvas) return;
  const qv::TSkinModel* model = ModelOf(skinManager);
  if (!model || !model->IsSectionIndex(skinIndex)) return;
  HDC dc = canvas->Handle();
  if (flags & DT_CALCRECT) {
    DrawTextA(dc, text.c_str(), int(text.size()), AsRECT(&r), flags);
    return;
  }
  if (text.empty()) return;
  {
    SavedDC saved(dc);
    SetBkMode(dc, TRANSPARENT);
    ForEachTextColour(skinIndex, enabled, hot, skinManager, [&](int dx, int dy, COLORREF colour) {
      TRect o = r;
      o.Offset(dx, dy);
      DrawTextIn(dc, text, o, flags, colour);
    });
  }
  canvas->Changed();
}

void PlainText(TCanvas* canvas, const std::string& text, bool enabled, TRect& r, UINT flags, TControl* owner) {
  if (!canvas) return;
  HDC dc = canvas->Handle();
  if (flags & DT_CALCRECT) {
    DrawTextA(dc, text.c_str(), int(text.size()), AsRECT(&r), flags);
    return;
  }
  if (text.empty()) return;
  TColor color = TColor(Rgb(canvas->Font()->Color()));
  if (!enabled) color = MixColors(color, TColor(Rgb(owner ? owner->Color() : clBtnFace)), 0.4);
  {
    SavedDC saved(dc);
    SetBkMode(dc, TRANSPARENT);
    TRect t = r;
    DrawTextIn(dc, text, t, flags, ColorToRGB(color));
  }
  canvas->Changed();
}

}  // namespace

void DrawSectionText(TCanvas* canvas, const std::string& text, bool enabled, const TRect& r, UINT flags, int skinIndex,
                     bool hot, TsSkinManager* skinManager) {
  TRect t = r;
  SectionText(canvas, text, enabled, t, flags & ~UINT(DT_CALCRECT), skinIndex, hot, skinManager);
}

void DrawSectionLine(TCanvas* canvas, const std::string& text, bool enabled, int X, int Y, const TRect& Clip,
                     int skinIndex, bool hot, TsSkinManager* skinManager) {
  if (!canvas || text.empty()) return;
  HDC dc = canvas->Handle();
  // (The two settings changed are put back by hand: a saved state costs as much as a colour's text.)
  const int mode = SetBkMode(dc, TRANSPARENT);
  const COLORREF before = GetTextColor(dc);
  const bool drawn = ForEachTextColour(skinIndex, enabled, hot, skinManager, [&](int dx, int dy, COLORREF colour) {
    TRect clip = Clip;
    clip.Offset(dx, dy);
    SetTextColor(dc, colour);
    ExtTextOutA(dc, X + dx, Y + dy, ETO_CLIPPED, AsRECT(&clip), text.c_str(), UINT(text.size()), nullptr);
  });
  SetTextColor(dc, before);
  SetBkMode(dc, mode);
  if (drawn) canvas->Changed();
}

void WriteSectionText(TCanvas* canvas, const std::string& text, bool enabled, TRect& r, UINT flags, int skinIndex,
                      bool hot, TsSkinManager* skinManager) {
  SectionText(canvas, text, enabled, r, flags, skinIndex, hot, skinManager);
}

void WriteControlText(TCanvas* canvas, const std::string& text, bool enabled, TRect& r, UINT flags,
                      TsCommonData* skinData, bool hot) {
  if (skinData && skinData->Skinned())
    SectionText(canvas, text, enabled, r, flags, skinData->SkinIndex, hot, skinData->SkinManager());
  else
    PlainText(canvas, text, enabled, r, flags, skinData ? skinData->OwnerControl : nullptr);
}

void DrawControlText(TCanvas* canvas, const std::string& text, bool enabled, const TRect& r, UINT flags,
                     TsCommonData* skinData, bool hot) {
  TRect t = r;
  WriteControlText(canvas, text, enabled, t, flags & ~UINT(DT_CALCRECT), skinData, hot);
}

int DrawTextStr(HDC dc, const std::string& text, TRect& r, UINT flags) {
  if (!dc) return 0;
  return DrawTextA(dc, text.c_str(), int(text.size()), AsRECT(&r), flags);
}

void TextExtentWithFont(TFont* font, const std::string& text, TSize& size) {
  size = TSize{};
  MemoryDC dc(nullptr);
  SelectedObject selected(dc, font ? font->Handle() : nullptr);
  SIZE s{};
  if (GetTextExtentPoint32A(dc, text.c_str(), int(text.size()), &s)) size = TSize{int(s.cx), int(s.cy)};
}

UINT AlignmentDrawFlags(TControl* control, TAlignment alignment) {
  const UINT base = alignment == taRightJustify ? DT_RIGHT : alignment == taCenter ? DT_CENTER : DT_LEFT;
  return control ? control->DrawTextBiDiModeFlags(base) : base;
}

std::string CutTextToWidth(TCanvas* canvas, const std::string& text, int maxWidth) {
  if (!canvas) return maxWidth < 1 ? std::string() : text;
  return qv::CutTextToWidthBy(text, maxWidth,
                              [canvas](std::string_view s) { return canvas->TextWidth(std::string(s)); });
}

int GetCaptionFontHeight() {
  NONCLIENTMETRICSA ncm{};
  ncm.cbSize = sizeof(ncm);
  if (!SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof(ncm), &ncm, 0)) return 0;
  GdiObject<HFONT> font(CreateFontIndirectA(&ncm.lfCaptionFont));
  if (!font) return 0;
  MemoryDC dc(nullptr);
  SelectedObject selected(dc, font);
  TEXTMETRICA tm{};
  return GetTextMetricsA(dc, &tm) ? int(tm.tmHeight) : 0;
}

namespace {

// How a disabled control is dimmed: its published DisabledKind, blended for a control without one
// (the default of every skinned control's DisabledKind).
TsDisabledKind DisabledKindOf(TControl* c) {
  if (!HasPropByName(c, "DisabledKind")) return TsDisabledKind{dkBlended};
  TsDisabledKind kind;
  if (SetPropContains(c, "DisabledKind", "dkBlended")) kind.Include(dkBlended);
  if (SetPropContains(c, "DisabledKind", "dkGrayed")) kind.Include(dkGrayed);
  return kind;
}

}  // namespace

void PrepareWindowCache(TsCommonData* SkinData, HWND Wnd, bool UseGlobalColor) {
  if (!SkinData || !SkinData->BGChanged || !Wnd) return;
  RECT wr{};
  GetWindowRect(Wnd, &wr);
  const TRect r = FromRECT(wr);
  const TsCacheInfo ci = AskParentCacheWnd(Wnd);
  if (!SkinData->CacheBmp) SkinData->CacheBmp = CreateBmp24(0, 0);
  if (SkinData->CacheBmp->PixelFormat() != pf24bit) SkinData->CacheBmp->SetPixelFormat(pf24bit);
  SkinData->CacheBmp->SetSize(std::max(r.Width(), 0), std::max(r.Height(), 0));
  TsSkinManager* sm = SkinData->SkinManager();
  const bool globalDefined = sm && sm->SectionIndexOf("GLOBALINFO") >= 0 &&
                             (sm->GetGlobalColor() & 0xFFFFFF) != (clParentColorUnset & 0xFFFFFF);
  TPoint offset{};
  if (UseGlobalColor && globalDefined) {
    FillBmpRect(SkinData->CacheBmp, Rect(0, 0, r.Width(), r.Height()), sm->GetGlobalColor());
  } else {
    HWND parent = GetParent(Wnd);
    if (!parent) return;  // nothing to lie on: the cache stays to be made
    RECT pr{};
    GetWindowRect(parent, &pr);
    offset = TPoint{r.Left - pr.left - ci.X, r.Top - pr.top - ci.Y};
    if (sm && sm->IsSectionIndex(SkinData->SkinIndex))
      PaintControlItem(SkinData, ci, true, 0, Rect(0, 0, r.Width(), r.Height()), offset, SkinData->CacheBmp, true);
  }
  if (SkinData->OwnerControl && !SkinData->OwnerControl->Enabled())
    ApplyDisabledLook(SkinData->CacheBmp, DisabledKindOf(SkinData->OwnerControl), SkinData->OwnerControl->Parent(), ci,
                      offset);
  SkinData->BGChanged = false;
}
