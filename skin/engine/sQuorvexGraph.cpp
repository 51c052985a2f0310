#include "skin/engine/sQuorvexGraph.h"

#include <algorithm>
#include <cmath>

#include "classlib/GdiScopes.h"
#include "skin/engine/sCommonData.h"
#include "skin/engine/sSkinManager.h"

namespace {

// The skin in use by a manager (the default manager for nullptr); nullptr when none is loaded.
const qv::TSkinModel* ModelFor(TsSkinManager* manager) {
  if (!manager) manager = DefaultManager;
  return manager ? manager->Skin() : nullptr;
}

qv::TColorRef Rgb(TColor c) { return qv::TColorRef(ColorToRGB(c)) & 0xFFFFFF; }

// The colour behind a control: the shared parent colour when set, else the parent's own.
TColor BehindColor(TWinControl* parent) {
  if (SharedParentColor != clParentColorUnset) return SharedParentColor;
  if (parent) return TColor(Rgb(parent->Color()));
  return TColor(Rgb(clBtnFace));
}

}  // namespace

// ---- Pixel views ------------------------------------------------------------------------------

qv::TImageView BmpView(TBitmap* bmp) {
  if (!bmp || bmp->Empty()) return {};
  GdiFlush();  // GDI may still hold drawing on the bitmap in its batch
  return bmp->ImageView();
}

qv::TCacheView CacheView(const TsCacheInfo& ci) { return CacheViewAt(ci, 0, 0); }

qv::TCacheView CacheViewAt(const TsCacheInfo& ci, int dx, int dy) {
  qv::TCacheView v;
  if (!ci.Ready || !ci.Bmp) return v;
  v.Image = BmpView(ci.Bmp);
  v.X = ci.X + dx;
  v.Y = ci.Y + dy;
  v.Ready = !v.Image.Empty();
  return v;
}

qv::TMaskFrames MaskFramesOf(const qv::TSkinModel& model, const qv::TsMaskData& mask) {
  qv::TMaskFrames f;
  if (mask.ImageIndex < 0 || mask.ImageIndex >= int(model.Images.size())) return f;
  f.Image = model.Images[std::size_t(mask.ImageIndex)].Bitmap.View();
  f.KeyRuns = &model.Images[std::size_t(mask.ImageIndex)].KeyRuns;
  f.R = mask.R;
  f.ImageCount = mask.ImageCount;
  f.MaskType = mask.MaskType;
  auto margin = [&](int own, int third) {
    if (own > 0) return own;
    if (mask.BorderWidth > 0) return mask.BorderWidth;
    return third / 3;
  };
  // Frame sizes guarded here: a damaged entry (no frames, an unknown mask type) divides by nothing.
  const int frameW = mask.ImageCount > 0 ? mask.R.Width() / mask.ImageCount : mask.R.Width();
  const int frameH = mask.MaskType == 1 ? mask.R.Height() / 2 : mask.R.Height();
  f.MaskType = mask.MaskType == 1 ? 1 : 0;
  f.MarginLeft = margin(mask.MarginLeft, frameW);
  f.MarginRight = margin(mask.MarginRight, frameW);
  f.MarginTop = margin(mask.MarginTop, frameH);
  f.MarginBottom = margin(mask.MarginBottom, frameH);
  f.DrawMode = mask.DrawMode == qv::TsDrawMode::Tile ? qv::TMaskDrawMode::Tile : qv::TMaskDrawMode::Stretch;
  return f;
}

qv::TMaskFrames MaskFramesOf(TsSkinManager* manager, int maskIndex) {
  const qv::TSkinModel* model = ModelFor(manager);
  if (!model || !model->IsMaskIndex(maskIndex)) return {};
  return MaskFramesOf(*model, model->Masks[std::size_t(maskIndex)]);
}

// ---- Bitmaps and colours ----------------------------------------------------------------------

TBitmap* CreateBmp24(int width, int height) {
  TBitmap* bmp = Create<TBitmap>();
  try {
    bmp->SetPixelFormat(pf24bit);
    bmp->SetHandleType(bmDIB);
    bmp->SetSize(std::max(width, 0), std::max(height, 0));
  } catch (...) {
    bmp->Free();
    throw;
  }
  return bmp;
}

TBitmap* CreateBmpLike(TBitmap* bmp) { return CreateBmp24(bmp ? bmp->Width() : 0, bmp ? bmp->Height() : 0); }

void FillRectColor(HDC dc, const TRect& r, TColor color) {
  if (!dc || r.IsEmpty()) return;
  // ExtTextOut with ETO_OPAQUE fills without a brush object.
  const COLORREF old = SetBkColor(dc, ColorToRGB(color));
  ExtTextOutA(dc, 0, 0, ETO_OPAQUE, AsRECT(&r), nullptr, 0, nullptr);
  SetBkColor(dc, old);
}

void FillBmpRect(TBitmap* bmp, const TRect& r, TColor color) { qv::FillRect(BmpView(bmp), r, Rgb(color)); }

void GrayscaleBmp(TBitmap* bmp) { qv::GrayscaleBmp(BmpView(bmp)); }

void GrayscaleBmpKeyed(TBitmap* bmp, TColor key) { qv::GrayscaleBmpKeyed(BmpView(bmp), Rgb(key)); }

void BlendBitmaps(TBitmap* dst, TBitmap* src, int amount) {
  if (!dst || !src || dst == src) return;
  qv::BlendBitmaps(BmpView(dst), BmpView(src), std::clamp(amount, 0, 255));
}

void BlendBitmapsInto(TBitmap* dst, TBitmap* a, TBitmap* b, int amount) {
  if (!dst || !a || !b || dst == a || dst == b) return;
  qv::BlendBitmapsInto(BmpView(dst), BmpView(a), BmpView(b), std::clamp(amount, 0, 255));
}

void BlendBitmapRect(TBitmap* dst, TBitmap* src, int opacity, const TRect& srcRect, TPoint dstPoint) {
  if (!dst || !src) return;
  qv::BlendBitmapRect(BmpView(dst), BmpView(src), std::clamp(opacity, 0, 255), srcRect, dstPoint);
}

void BlendRectKeyed(TBitmap* dst, int x, int y, TBitmap* src, const TRect& srcRect, double k, TColor keyColor) {
  if (!dst || !src) return;
  // A key whose high byte is 0xFF means no key (system colours are not keys here).
  const bool noKey = keyColor == clNone || (std::uint32_t(keyColor) >> 24) == 0xFF;
  const qv::TColorRef key = noKey ? 0xFF000000u : Rgb(keyColor);
  qv::BlendRectKeyed(BmpView(dst), x, y, BmpView(src), srcRect, k, key);
}

void BlendColorRect(TBitmap* bmp, const TRect& r, int percent, TColor color, bool blur, int radius) {
  qv::BlendColorRect(BmpView(bmp), r, std::clamp(percent, 0, 100), Rgb(color), blur, radius);
}

void CopyTransparent(TBitmap* dst, TBitmap* src, int x, int y, TColor keyColor) {
  if (!dst || !src || dst == src) return;
  qv::CopyTransparent(BmpView(dst), BmpView(src), x, y, Rgb(keyColor));
}

void CopyTransparentRect(TBitmap* dst, TBitmap* src, int x, int y, const TRect& srcRect, TColor keyColor,
                         const TsCacheInfo& ci, bool useCache) {
  if (!dst || !src || dst == src) return;
  qv::CopyTransparentRect(BmpView(dst), BmpView(src), x, y, srcRect, Rgb(keyColor), CacheView(ci), useCache);
}

void CopyByMask(const TRect& dstRect, const TRect& srcRect, TBitmap* dst, TBitmap* src, const TsCacheInfo& ci,
                bool fillFromCache) {
  if (!dst || !src || dst == src) return;
  qv::CopyByMask(dstRect, srcRect, BmpView(dst), BmpView(src), CacheView(ci), fillFromCache);
}

bool ImageListItemToBmp(TBitmap* bmp, TCustomImageList* imageList, int index) {
  if (!bmp || !imageList || index < 0 || index >= imageList->Count()) return false;
  const TColor bk = imageList->BkColor() == clNone ? TColor(qv::clKeyMagenta) : imageList->BkColor();
  bmp->SetPixelFormat(pf24bit);
  bmp->SetSize(imageList->Width(), imageList->Height());
  FillBmpRect(bmp, TRect{0, 0, bmp->Width(), bmp->Height()}, bk);
  BitmapDC dc(bmp);
  if (!dc) return false;
  return ImageList_Draw(imageList->Handle(), index, dc, 0, 0, ILD_TRANSPARENT) != FALSE;
}

TColor MakeColorKey(TColor color) { return TColor(Rgb(color)); }

namespace {
// System colours are mixed as the colours they stand for.
qv::TColorRef Plain(TColor c) { return IsSystemColor(c) ? Rgb(c) : qv::TColorRef(c); }
}  // namespace

TColor MixColors(TColor c1, TColor c2, double k) { return TColor(qv::MixColors(Plain(c1), Plain(c2), k)); }

TColor AverageColor(TColor c1, TColor c2) { return TColor(qv::AverageColor(Plain(c1), Plain(c2))); }

std::uint8_t ClampToByte(int value) { return qv::ClampToByte(value); }

// ---- Border masks -------------------------------------------------------------------------------

void PaintMaskRect(TBitmap* bmp, const TRect& r, bool filling, const TsCacheInfo& ci, const qv::TsMaskData& mask,
                   int state, bool useCache, TsSkinManager* manager) {
  const qv::TSkinModel* model = ModelFor(manager);
  if (!model) return;
  qv::TMaskFrames f = MaskFramesOf(*model, mask);
  if (f.Image.Empty()) return;
  qv::PaintMaskRect(BmpView(bmp), r, filling, CacheView(ci), f, state, useCache, &model->MaskRows());
}

void PaintMaskRectByIndex(TBitmap* bmp, const TRect& r, bool filling, const TsCacheInfo& ci, int maskIndex, int state,
                          bool useCache, TsSkinManager* manager) {
  const qv::TSkinModel* model = ModelFor(manager);
  if (!model || !model->IsMaskIndex(maskIndex)) return;
  PaintMaskRect(bmp, r, filling, ci, model->Masks[std::size_t(maskIndex)], state, useCache, manager);
}

void PaintMaskImage(TBitmap* bmp, TPoint point, int state, int mode, const qv::TsMaskData& mask,
                    TsSkinManager* manager) {
  const qv::TSkinModel* model = ModelFor(manager);
  if (!model) return;
  qv::TMaskFrames f = MaskFramesOf(*model, mask);
  if (f.Image.Empty()) return;
  qv::PaintMaskImage(BmpView(bmp), point, state, mode, f);
}

void PaintMaskImageByIndex(TBitmap* bmp, TPoint point, int state, int mode, int maskIndex, TsSkinManager* manager) {
  const qv::TSkinModel* model = ModelFor(manager);
  if (!model || !model->IsMaskIndex(maskIndex)) return;
  PaintMaskImage(bmp, point, state, mode, model->Masks[std::size_t(maskIndex)], manager);
}

void PaintMaskRegion(TBitmap* bmp, HRGN rgn, bool filling, const qv::TsMaskData& mask, int state,
                     TsSkinManager* manager) {
  const qv::TSkinModel* model = ModelFor(manager);
  if (!model) return;
  qv::TMaskFrames f = MaskFramesOf(*model, mask);
  if (f.Image.Empty()) return;
  std::vector<TRect> cut;
  qv::PaintMaskRegion(BmpView(bmp), filling, f, state, cut, &model->MaskRows());
  // 0 and 1 stand for "no region" and "region pending" with the callers.
  if (reinterpret_cast<std::uintptr_t>(rgn) <= 1) return;
  for (const TRect& c : cut) {
    OwnedRegion part(CreateRectRgn(c.Left, c.Top, c.Right, c.Bottom));
    if (part) CombineRgn(rgn, rgn, part, RGN_DIFF);
  }
}

void CollectCornerRects(std::vector<TRect>& rects, int width, const qv::TsMaskData& mask, bool bottom, int y,
                        TsSkinManager* manager) {
  const qv::TSkinModel* model = ModelFor(manager);
  if (!model) return;
  qv::TMaskFrames f = MaskFramesOf(*model, mask);
  if (f.Image.Empty()) return;
  qv::CollectCornerRects(rects, width, f, bottom, y);
}

void RepaintCacheCornersIn(TsCommonData* skinData, int state, int corners, const TRect& part) {
  if (!skinData || !skinData->CacheBmp || !skinData->OwnerControl) return;
  TsSkinManager* manager = skinData->SkinManager();
  const qv::TSkinModel* model = ModelFor(manager);
  if (!model || !model->IsMaskIndex(skinData->BorderIndex)) return;
  const qv::TMaskFrames mf = MaskFramesOf(*model, model->Masks[std::size_t(skinData->BorderIndex)]);
  const qv::TMaskFrame f = qv::MaskFrameOf(mf, state);
  const qv::TImageView dst = BmpView(skinData->CacheBmp);
  if (!f.Valid || dst.Empty()) return;

  TControl* control = skinData->OwnerControl;
  const TsCacheInfo ci = AskParentCache(skinData);
  const qv::TCacheView parent = CacheViewAt(ci, control->Left(), control->Top());
  const qv::TBgr fill = qv::BgrOf(Rgb(BehindColor(control->Parent())));

  struct TCorner {
    int Bit, SX, SY, W, H, DX, DY;
  };
  // The part clipped to the cache; the corners are placed at the part's edges.
  const int left = std::max(part.Left, 0), top = std::max(part.Top, 0);
  const int right = std::min(part.Right, dst.Width), bottom = std::min(part.Bottom, dst.Height);
  if (right <= left || bottom <= top) return;
  const TCorner list[4] = {
      {1, f.X, f.Y, f.ML, f.MT, left, top},
      {2, f.X + f.W - f.MR, f.Y, f.MR, f.MT, right - f.MR, top},
      {4, f.X, f.Y + f.H - f.MB, f.ML, f.MB, left, bottom - f.MB},
      {8, f.X + f.W - f.MR, f.Y + f.H - f.MB, f.MR, f.MB, right - f.MR, bottom - f.MB},
  };
  std::vector<std::uint8_t> bg;
  for (const TCorner& c : list) {
    if (!(corners & c.Bit) || c.W <= 0 || c.H <= 0) continue;
    // Clip the corner to the part (a part smaller than its mask's corners).
    const int x0 = std::max(c.DX, left), x1 = std::min(c.DX + c.W, right);
    if (x1 <= x0) continue;
    const int n = x1 - x0;
    bg.resize(std::size_t(n) * 3);
    for (int row = 0; row < c.H; ++row) {
      const int dy = c.DY + row;
      if (dy < top || dy >= bottom) continue;
      for (int i = 0; i < n; ++i) {
        qv::TBgr p = fill;
        if (parent.Usable()) {
          const int px = parent.X + x0 + i, py = parent.Y + dy;
          if (px >= 0 && py >= 0 && px < parent.Image.Width && py < parent.Image.Height) p = parent.Image.Pixel(px, py);
        }
        bg[std::size_t(i) * 3] = p.B;
        bg[std::size_t(i) * 3 + 1] = p.G;
        bg[std::size_t(i) * 3 + 2] = p.R;
      }
      const std::uint8_t* src = mf.Image.At(c.SX + (x0 - c.DX), c.SY + row);
      std::uint8_t* out = dst.At(x0, dy);
      if (f.Type == 0)
        qv::rows::CopyKeyed(out, src, bg.data(), n, qv::kMagentaKey);
      else
        qv::rows::BlendMask(out, src, mf.Image.At(c.SX + (x0 - c.DX), c.SY + row + f.MaskDY), bg.data(), n);
    }
  }
}

void RepaintCacheCorners(TsCommonData* skinData, int state, int corners) {
  if (!skinData || !skinData->CacheBmp) return;
  RepaintCacheCornersIn(skinData, state, corners,
                        Rect(0, 0, skinData->CacheBmp->Width(), skinData->CacheBmp->Height()));
}

void RepaintAllCacheCorners(TsCommonData* skinData, int state) { RepaintCacheCorners(skinData, state, 15); }

// ---- Children and copies ------------------------------------------------------------------------

void PaintGraphicChildren(HDC dc, TWinControl* winControl, TPoint offset) {
  if (!dc || !winControl) return;
  for (int i = 0; i < winControl->ControlCount(); ++i) {
    TControl* c = winControl->Controls(i);
    if (!c || c->IsWindowControl() || !c->Visible() || c->ComponentState().Contains(csDestroying)) continue;
    if (c->Width() <= 0 || c->Height() <= 0) continue;
    SavedDC saved(dc);
    OffsetViewportOrgEx(dc, offset.X + c->Left(), offset.Y + c->Top(), nullptr);
    IntersectClipRect(dc, 0, 0, c->Width(), c->Height());
    c->Perform(WM_PAINT, WPARAM(dc), 0);
  }
}

namespace {

// Takes the rectangle (or, with FixCorners, the window region) of a child out of the DC's clip.
void ExcludeChild(HDC dc, HWND child, const TRect& r, bool fixCorners) {
  if (fixCorners && child) {
    OwnedRegion rgn(CreateRectRgn(0, 0, 0, 0));
    if (rgn && GetWindowRgn(child, rgn) != ERROR) {
      // The child's region is in its window coordinates; the parent's background shows
      // through its cut corners.
      OffsetRgn(rgn, r.Left, r.Top);
      ExtSelectClipRgn(dc, rgn, RGN_DIFF);
      return;
    }
  }
  ExcludeClipRect(dc, r.Left, r.Top, r.Right, r.Bottom);
}

void CopyCacheTo(HDC dc, TsCommonData* skinData, TPoint src, const TRect& r) {
  BitmapDC cache(skinData->CacheBmp);
  if (!cache) return;
  BitBlt(dc, r.Left, r.Top, r.Width(), r.Height(), cache, src.X, src.Y, SRCCOPY);
}

}  // namespace

void CopyCacheExcludingChildren(TWinControl* parent, TsCommonData* skinData, TPoint srcPos, const TRect& r, HDC dc,
                                bool fixCorners, int dx, int dy) {
  if (!dc || !skinData || !skinData->CacheBmp || r.IsEmpty()) return;
  SavedDC saved(dc);
  IntersectClipRect(dc, r.Left, r.Top, r.Right, r.Bottom);
  if (parent) {
    for (int i = 0; i < parent->ControlCount(); ++i) {
      TControl* c = parent->Controls(i);
      if (!c || !c->Visible()) continue;
      // Window children paint themselves; opaque graphic children cover their place.
      const bool window = c->IsWindowControl();
      if (!window && !c->ControlStyle().Contains(csOpaque)) continue;
      TRect b = c->BoundsRect();
      b.Offset(dx, dy);
      HWND h = nullptr;
      if (window) {
        auto* w = static_cast<TWinControl*>(c);
        if (w->HandleAllocated()) h = w->Handle();
      }
      ExcludeChild(dc, h, b, fixCorners);
    }
  }
  CopyCacheTo(dc, skinData, srcPos, r);
}

void CopyCacheExcludingChildWnds(HWND wnd, TsCommonData* skinData, const TRect& srcRect, const TRect& r, HDC dc,
                                 bool fixCorners, int dx, int dy) {
  if (!dc || !skinData || !skinData->CacheBmp || r.IsEmpty()) return;
  SavedDC saved(dc);
  IntersectClipRect(dc, r.Left, r.Top, r.Right, r.Bottom);
  if (wnd) {
    for (HWND child = GetWindow(wnd, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
      if (!IsWindowVisible(child)) continue;
      RECT wr{};
      GetWindowRect(child, &wr);
      MapWindowPoints(nullptr, wnd, reinterpret_cast<POINT*>(&wr), 2);
      TRect b = FromRECT(wr);
      b.Offset(dx, dy);
      ExcludeChild(dc, child, b, fixCorners);
    }
  }
  CopyCacheTo(dc, skinData, srcRect.TopLeft(), r);
}

// ---- Looks --------------------------------------------------------------------------------------

void ApplyDisabledLook(TBitmap* bmp, TsDisabledKind kind, TWinControl* parent, const TsCacheInfo& ci, TPoint offset) {
  qv::TImageView v = BmpView(bmp);
  if (v.Empty()) return;
  if (kind.Contains(dkGrayed)) qv::GrayscaleBmp(v);
  if (!kind.Contains(dkBlended)) return;
  const qv::TCacheView parentView = CacheView(ci);
  if (parentView.Usable()) {
    // Keep 40 % of the control, the rest from the parent's image behind it.
    const TRect src{parentView.X + offset.X, parentView.Y + offset.Y, parentView.X + offset.X + v.Width,
                    parentView.Y + offset.Y + v.Height};
    qv::BlendRectKeyed(v, 0, 0, parentView.Image, src, 0.4, 0xFF000000u);
  } else {
    qv::BlendColorRect(v, TRect{0, 0, v.Width, v.Height}, 50, Rgb(BehindColor(parent)), false, 0);
  }
}

void PaintGlyphFrame(TBitmap* glyph, TBitmap* bmp, const TRect& r, int numGlyphs, bool enabled, bool grayed,
                     TsDisabledGlyphKind disabledKind, int state, int blend, bool down) {
  if (!glyph || glyph->Empty() || !bmp || BmpView(bmp).Empty()) return;
  numGlyphs = std::clamp(numGlyphs, 1, 4);
  const int fw = glyph->Width() / numGlyphs;
  const int fh = glyph->Height();
  if (fw <= 0 || fh <= 0) return;
  // Frames: 0 up, 1 disabled, 2 pressed, 3 down (held).
  int frame = 0;
  if (!enabled)
    frame = numGlyphs > 1 ? 1 : 0;
  else if (down && numGlyphs > 3)
    frame = 3;
  else if ((state == 2 || down) && numGlyphs > 2)
    frame = 2;

  std::unique_ptr<TBitmap, void (*)(TBitmap*)> tmp(CreateBmp24(fw, fh), [](TBitmap* b) { b->Free(); });
  {
    BitmapDC src(glyph);
    BitmapDC dst(tmp.get());
    if (!src || !dst) return;
    BitBlt(dst, 0, 0, fw, fh, src, frame * fw, 0, SRCCOPY);
  }
  const TColor key = TColor(qv::clKeyMagenta);
  const TRect srcRect{0, 0, std::min(fw, std::max(r.Width(), 0)), std::min(fh, std::max(r.Height(), 0))};
  if (srcRect.IsEmpty()) return;
  if (!enabled) {
    if (disabledKind.Contains(dgGrayed)) GrayscaleBmpKeyed(tmp.get(), key);
    if (disabledKind.Contains(dgBlended)) {
      BlendRectKeyed(bmp, r.Left, r.Top, tmp.get(), srcRect, 0.5, key);
      return;
    }
  } else if (state == 0) {
    if (grayed) GrayscaleBmpKeyed(tmp.get(), key);
    if (blend > 0) {
      BlendRectKeyed(bmp, r.Left, r.Top, tmp.get(), srcRect, std::clamp(blend, 0, 100) / 100.0, key);
      return;
    }
  }
  qv::CopyTransparentRect(BmpView(bmp), BmpView(tmp.get()), r.Left, r.Top, srcRect, qv::clKeyMagenta, {}, false);
}

void PaintFrame3D(HDC dc, TRect& r, TColor topLeftColor, TColor bottomRightColor, int& width) {
  if (!dc) return;
  const COLORREF tl = ColorToRGB(topLeftColor), br = ColorToRGB(bottomRightColor);
  for (int i = 0; i < width && !r.IsEmpty(); ++i) {
    // Bottom-right first so the top-left colour owns the two shared corner pixels.
    FillRectColor(dc, TRect{r.Left, r.Bottom - 1, r.Right, r.Bottom}, TColor(br));
    FillRectColor(dc, TRect{r.Right - 1, r.Top, r.Right, r.Bottom}, TColor(br));
    FillRectColor(dc, TRect{r.Left, r.Top, r.Right - 1, r.Top + 1}, TColor(tl));
    FillRectColor(dc, TRect{r.Left, r.Top, r.Left + 1, r.Bottom - 1}, TColor(tl));
    r.Inflate(-1, -1);
  }
}

void BitBltBorder(HDC dc, int x, int y, int w, int h, HDC srcDC, int sx, int sy, int border) {
  if (!dc || !srcDC || w <= 0 || h <= 0 || border <= 0) return;
  const int bx = std::min(border, w), by = std::min(border, h);
  BitBlt(dc, x, y, w, by, srcDC, sx, sy, SRCCOPY);                                // top
  if (h > by) BitBlt(dc, x, y + h - by, w, by, srcDC, sx, sy + h - by, SRCCOPY);  // bottom
  const int midH = h - 2 * by;
  if (midH > 0) {
    BitBlt(dc, x, y + by, bx, midH, srcDC, sx, sy + by, SRCCOPY);                                // left
    if (w > bx) BitBlt(dc, x + w - bx, y + by, bx, midH, srcDC, sx + w - bx, sy + by, SRCCOPY);  // right
  }
}

void DrawFocusDots(TCanvas* canvas, const TRect& r) {
  if (!canvas || r.IsEmpty()) return;
  HDC dc = canvas->Handle();
  const COLORREF black = RGB(0, 0, 0), white = RGB(255, 255, 255);
  auto dot = [&](int x, int y) {
    SetPixelV(dc, x - 1, y - 1, white);
    SetPixelV(dc, x, y, black);
  };
  for (int x = r.Left; x < r.Right; x += 3) {
    dot(x, r.Top);
    dot(x, r.Bottom - 1);
  }
  for (int y = r.Top; y < r.Bottom; y += 3) {
    dot(r.Left, y);
    dot(r.Right - 1, y);
  }
  canvas->Changed();
}

void CalcGlyphTextLayout(const TRect& client, TSize glyphSize, TSize textSize, TButtonLayout layout,
                         TAlignment alignment, int margin, int spacing, TPoint& glyphPos, TRect& textBounds,
                         UINT biDiFlags) {
  const qv::TGlyphLayout l = qv::TGlyphLayout(std::clamp(int(layout), 0, 3));
  const qv::THorzAlign a = alignment == taLeftJustify    ? qv::THorzAlign::Left
                           : alignment == taRightJustify ? qv::THorzAlign::Right
                                                         : qv::THorzAlign::Center;
  qv::CalcGlyphTextLayout(client, glyphSize, textSize, l, a, margin, spacing, glyphPos, textBounds,
                          (biDiFlags & DT_RTLREADING) != 0);
}

// ---- Forms and utilities ------------------------------------------------------------------------

int AlignedChildrenSize(TWinControl* winControl, TAlign align, bool withGraphic) {
  if (!winControl) return 0;
  int sum = 0;
  for (int i = 0; i < winControl->ControlCount(); ++i) {
    TControl* c = winControl->Controls(i);
    if (!c || !c->Visible() || c->Align() != align) continue;
    if (!c->IsWindowControl() && !withGraphic) continue;
    if (align == alTop || align == alBottom)
      sum += c->Height();
    else if (align == alLeft || align == alRight)
      sum += c->Width();
  }
  return sum;
}

TCustomForm* GetOwnerForm(TComponent* component) {
  for (TComponent* c = component; c; c = c->Owner())
    if (auto* f = dynamic_cast<TCustomForm*>(c)) return f;
  return nullptr;
}

bool GetDesktopWorkArea(TRect& r) {
  RECT wa{};
  if (!SystemParametersInfoA(SPI_GETWORKAREA, 0, &wa, 0)) return false;
  r = FromRECT(wa);
  return true;
}

void ShowWarning(const std::string& text) {
  MessageBoxA(GetActiveWindow(), text.c_str(), "Warning", MB_OK | MB_ICONWARNING);
}
