// The skinned frame of a dialog window: its image (section, title, icon, caption, title buttons,
// size grip), the window region cut from the skin's corners, the frame bands on the screen and
// the hit test that matches them.
#include "skin/windows/acDials.h"

#include <algorithm>

#include "classlib/GdiScopes.h"
#include "skin/engine/sQuorvexGraph.h"
#include "skin/engine/sStyleSimply.h"

namespace {

constexpr const char* kTitleSection = "FORMTITLE";
constexpr int kDefaultButtonSize = 21;

int SmallIconWidth() { return FrameMetric(SM_CXSMICON); }

// The system's application icon (a shared icon: the same handle for the whole process).
HICON ApplicationIcon() {
  static const HICON icon = LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_APPLICATION));
  return icon;
}

// (As the forms' frames are measured: the caption's height is measured from a font at every asking.)
qv::TDialogMetrics SystemDialogMetrics() {
  qv::TDialogMetrics m;
  m.DlgFrameX = FrameMetric(SM_CXDLGFRAME);
  m.DlgFrameY = FrameMetric(SM_CYDLGFRAME);
  m.FrameX = FrameMetric(SM_CXFRAME);
  m.FrameY = FrameMetric(SM_CYFRAME);
  m.Caption = FrameMetric(SM_CYCAPTION);
  return m;
}

}  // namespace

// ---- State of the window ------------------------------------------------------------------------------

qv::TDialogFrame TacDialogWnd::Frame() const { return qv::DialogFrameOf(FrameKind, StyleBits, SystemDialogMetrics()); }

bool TacDialogWnd::Zoomed() const { return WndHandle && IsZoomed(WndHandle); }

bool TacDialogWnd::Iconic() const { return WndHandle && IsIconic(WndHandle); }

bool TacDialogWnd::CloseEnabled() const {
  if (!WndHandle) return true;
  if ((GetClassLongPtrA(WndHandle, GCL_STYLE) & CS_NOCLOSE) != 0) return false;
  // The window menu's Close greyed (a message box without a Cancel button: Yes and No, Abort, Retry
  // and Ignore) greys the close button as well. The menu stays the window's while the adapter has
  // taken its style away.
  HMENU menu = GetSystemMenu(WndHandle, FALSE);
  const UINT state = menu ? GetMenuState(menu, SC_CLOSE, MF_BYCOMMAND) : UINT(-1);
  return state == UINT(-1) || (state & (MF_GRAYED | MF_DISABLED)) == 0;
}

bool TacDialogWnd::MaxEnabled() const {
  return (StyleBits & WS_MAXIMIZEBOX) != 0 && !Zoomed() && (FrameKind == qv::fkUnknown || FrameKind == qv::fkSizeable);
}

bool TacDialogWnd::MinEnabled() const { return (StyleBits & WS_MINIMIZEBOX) != 0 && !Iconic(); }

bool TacDialogWnd::ButtonEnabled(int HitCode) const {
  switch (HitCode) {
    case HTCLOSE: return CloseEnabled();
    // While zoomed or iconic the Maximize button shows the restore image, which works.
    case HTMAXBUTTON: return MaxEnabled() || Zoomed() || Iconic();
    case HTMINBUTTON: return MinEnabled() || Iconic();
    default: return true;
  }
}

TsCaptionButton* TacDialogWnd::ButtonOf(int HitCode) {
  switch (HitCode) {
    case HTCLOSE: return &BtnClose;
    case HTMAXBUTTON: return &BtnMax;
    case HTMINBUTTON: return &BtnMin;
    case HTHELP: return &BtnHelp;
    default: return nullptr;
  }
}

// ---- Title buttons ----------------------------------------------------------------------------------

void TacDialogWnd::LoadButtonMasks() {
  TsSkinManager* sm = SkinData ? SkinData->SkinManager() : nullptr;
  if (!sm) return;
  const int gi = sm->ConstData().GlobalInfo;
  auto global = [&](const char* name) { return sm->LookupMask(gi, "GLOBALINFO", name); };
  if (!sm->IsMaskIndex(global("BICONCLOSE"))) {
    const int form = sm->SectionIndexOf("FORM");
    BtnMin.ImageIndex = sm->LookupMask(form, "FORM", "BICONMIN");
    BtnMax.ImageIndex = sm->LookupMask(form, "FORM", "BICONMAX");
    BtnClose.ImageIndex = sm->LookupMask(form, "FORM", "BICONCLOSE");
    BtnHelp.ImageIndex = sm->LookupMask(form, "FORM", "BICONHELP");
    return;
  }
  const bool bigFrame = FrameKind == qv::fkUnknown || FrameKind == qv::fkSizeable;
  if (!bigFrame && sm->IsMaskIndex(global("SICONCLOSE"))) {
    BtnClose.ImageIndex = global("SICONCLOSE");
    BtnMin.ImageIndex = global("SICONMIN");
    BtnMax.ImageIndex = global("SICONMAX");
    BtnHelp.ImageIndex = global("SICONHELP");
    if (!sm->IsMaskIndex(BtnHelp.ImageIndex)) BtnHelp.ImageIndex = global("BICONHELP");
    return;
  }
  BtnMin.ImageIndex = global("BICONMIN");
  BtnMax.ImageIndex = global("BICONMAX");
  BtnClose.ImageIndex = global("BICONCLOSE");
  BtnHelp.ImageIndex = global("BICONHELP");
}

int TacDialogWnd::ButtonImage(int HitCode) const {
  TsSkinManager* sm = SkinData->SkinManager();
  const int gi = sm->ConstData().GlobalInfo;
  auto normImage = [&] {
    const int g = sm->LookupMask(gi, "GLOBALINFO", "BICONNORM");
    return sm->IsMaskIndex(g) ? g : sm->LookupMask(SkinData->SkinIndex, SkinData->SkinSection(), "BICONNORM");
  };
  switch (HitCode) {
    case HTMAXBUTTON:
      if (Zoomed()) return normImage();
      if (Iconic()) {
        const int g = sm->LookupMask(gi, "GLOBALINFO", "BICONMAX");
        return sm->IsMaskIndex(g) ? g : sm->LookupMask(SkinData->SkinIndex, SkinData->SkinSection(), "BICONMAX");
      }
      return BtnMax.ImageIndex;
    case HTMINBUTTON: return Iconic() ? normImage() : BtnMin.ImageIndex;
    case HTCLOSE: return BtnClose.ImageIndex;
    case HTHELP: return BtnHelp.ImageIndex;
    default: return -1;
  }
}

void TacDialogWnd::LayoutButtons() {
  TsSkinManager* sm = SkinData->SkinManager();
  TSize sizes[qv::dbCount];
  const TsCaptionButton* btns[qv::dbCount] = {&BtnClose, &BtnMax, &BtnMin, &BtnHelp};
  for (int i = 0; i < qv::dbCount; ++i) {
    const int image = btns[i]->ImageIndex;
    sizes[i] =
        sm && sm->IsMaskIndex(image) ? sm->GetMaskItemSize(image) : TSize{kDefaultButtonSize, kDefaultButtonSize};
  }
  const qv::TDialogButtonLayout l = qv::LayoutDialogButtons(DlgWidth, Frame(), StyleBits, ExStyleBits, sizes);
  BtnClose.Rect = l.Rects[qv::dbClose];
  BtnMax.Rect = l.Rects[qv::dbMax];
  BtnMin.Rect = l.Rects[qv::dbMin];
  BtnHelp.Rect = l.Rects[qv::dbHelp];
}

void TacDialogWnd::PaintButtonImage(TBitmap* Cache, int HitCode, const TsCaptionButton& Btn) {
  TsSkinManager* sm = SkinData->SkinManager();
  const int image = ButtonImage(HitCode);
  if (Btn.Rect.IsEmpty() || !sm->IsMaskIndex(image)) return;
  const bool enabled = ButtonEnabled(HitCode);
  const int mode = (!Active || !enabled) && (Btn.State == 0 || !enabled) ? 2 : 1;
  PaintMaskImageByIndex(Cache, Btn.Rect.TopLeft(), enabled ? Btn.State : 0, mode, image, sm);
}

void TacDialogWnd::SaveButtonStrip() {
  TBitmap* cache = SkinData->CacheBmp;
  const int h = std::min(CaptionHeight() + BorderHeight(), cache->Height());
  if (h <= 0) return;
  ButtonStrip->SetSize(cache->Width(), h);
  BitmapDC src(cache), dst(ButtonStrip);
  if (src && dst) BitBlt(dst, 0, 0, cache->Width(), h, src, 0, 0, SRCCOPY);
}

void TacDialogWnd::RepaintButton(int HitCode) {
  TsCaptionButton* b = ButtonOf(HitCode);
  TBitmap* cache = SkinData ? SkinData->CacheBmp : nullptr;
  if (!b || b->Rect.IsEmpty() || !cache || cache->Empty() || ButtonStrip->Empty()) return;
  // A button reaching into the icon is not painted over it.
  if (b->Rect.Left <= BorderWidth() + SmallIconWidth()) return;
  {
    BitmapDC src(ButtonStrip), dst(cache);
    if (!src || !dst) return;
    BitBlt(dst, b->Rect.Left, b->Rect.Top, b->Rect.Width(), b->Rect.Height(), src, b->Rect.Left, b->Rect.Top, SRCCOPY);
  }
  PaintButtonImage(cache, HitCode, *b);
  WindowDC dc(WndHandle);
  BitmapDC src(cache);
  if (dc && src)
    BitBlt(dc, b->Rect.Left, b->Rect.Top, b->Rect.Width(), b->Rect.Height(), src, b->Rect.Left, b->Rect.Top, SRCCOPY);
}

// ---- The window image ---------------------------------------------------------------------------------

void TacDialogWnd::ReadIcon() {
  Icon = reinterpret_cast<HICON>(SendMessageA(WndHandle, WM_GETICON, ICON_SMALL, 0));
  if (!Icon) Icon = reinterpret_cast<HICON>(SendMessageA(WndHandle, WM_GETICON, ICON_BIG, 0));
  if (!Icon) Icon = ApplicationIcon();
  // The icon is drawn over the title (PaintTitle) at the small-icon size.
  IconSize = TSize{FrameMetric(SM_CXSMICON), FrameMetric(SM_CYSMICON)};
}

void TacDialogWnd::PaintTitle(TBitmap* Cache) {
  TsSkinManager* sm = SkinData->SkinManager();
  const qv::TDialogFrame f = Frame();
  const int band = Iconic() ? DlgHeight : f.Caption + f.BorderY;
  const int title = sm->SectionIndexOf(kTitleSection);
  if (sm->IsSectionIndex(title))
    PaintSectionItem(title, kTitleSection, EmptyCacheInfo, true, Active ? 1 : 0, TRect{0, 0, DlgWidth, band}, TPoint{},
                     Cache, sm);
  const int iconW = SmallIconWidth();
  if (IconSize.cx > 0 && IconSize.cy > 0 && Icon) {
    // Drawn over the title itself, the icon's soft edges blend with the title (over the key colour
    // they kept a fringe of it).
    BitmapDC dc(Cache);
    const int y = (f.Caption + f.BorderY - IconSize.cy) / 2;
    auto draw = [&] { return DrawIconEx(dc, f.BorderX, y, Icon, IconSize.cx, IconSize.cy, 0, nullptr, DI_NORMAL); };
    // An icon that cannot be drawn gives way to the application's.
    if (dc && !draw()) {
      Icon = ApplicationIcon();
      draw();
    }
  }
  LayoutButtons();
  int left = DlgWidth - f.BorderX;
  for (const TsCaptionButton* b : {&BtnClose, &BtnMax, &BtnMin, &BtnHelp})
    if (!b->Rect.IsEmpty()) left = std::min(left, b->Rect.Left);
  if ((StyleBits & WS_SYSMENU) != 0) {
    const int bar = sm->LookupMask(SkinData->SkinIndex, SkinData->SkinSection(), "TITLEBAR");
    if (sm->IsMaskIndex(bar))
      PaintMaskRectByIndex(Cache, TRect{left, f.BorderY, DlgWidth - f.BorderX, f.Caption + f.BorderY}, true,
                           EmptyCacheInfo, bar, Active ? 1 : 0, false, sm);
  }
  SaveButtonStrip();
  PaintButtonImage(Cache, HTCLOSE, BtnClose);
  PaintButtonImage(Cache, HTMAXBUTTON, BtnMax);
  PaintButtonImage(Cache, HTMINBUTTON, BtnMin);
  PaintButtonImage(Cache, HTHELP, BtnHelp);
  if (Caption.empty()) return;
  TRect r{f.BorderX + 4 + iconW, f.BorderY, left - 6, f.Caption + f.BorderY};
  if (r.Right <= r.Left) return;
  BitmapDC dc(Cache);
  if (!dc) return;
  TCanvas* canvas = Cache->Canvas();
  if (!canvas->Font()->SameFace(TitleFont)) canvas->Font()->Assign(TitleFont);
  const std::string text = CutTextToWidth(canvas, Caption, r.Width());
  DrawSectionText(canvas, text, true, r, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX, title, Active, sm);
}

void TacDialogWnd::PaintCache() {
  TsSkinManager* sm = SkinData->SkinManager();
  if (!sm || !sm->Skin()) return;
  TBitmap* cache = SkinData->CacheBmp;
  if (!SkinData->BGChanged && cache && cache->Width() == DlgWidth && cache->Height() == DlgHeight) return;
  RegionChanged = RegionChanged || RegionSize_ != TSize{DlgWidth, DlgHeight};
  WndSize = TSize{DlgWidth, DlgHeight};
  cache = SizeCache();
  if (cache->Empty()) return;
  const TRect all{0, 0, DlgWidth, DlgHeight};
  PaintControlItem(SkinData, EmptyCacheInfo, true, Active ? 1 : 0, all, TPoint{}, cache, false);
  const qv::TDialogFrame f = Frame();
  if (FrameKind == qv::fkSizeable) {
    const int grip = sm->LookupMask(sm->ConstData().GlobalInfo, "GLOBALINFO", "GRIPIMAGE");
    if (sm->IsMaskIndex(grip)) {
      const TSize s = sm->GetMaskItemSize(grip);
      PaintMaskImageByIndex(cache, TPoint{DlgWidth - s.cx - f.BorderX, DlgHeight - s.cy - f.BorderY}, 0, 1, grip, sm);
    }
  }
  if (f.Caption > 0) PaintTitle(cache);
  SkinData->BGChanged = false;
  SkinData->SetUpdating(false);
}

// ---- Region and frame bands ----------------------------------------------------------------------------

void TacDialogWnd::UpdateRegion() {
  if (RegionLock || !RegionChanged) return;
  if (FrameKind == qv::fkFrameless && (StyleBits & WS_THICKFRAME) == 0) return;
  TsSkinManager* sm = SkinData->SkinManager();
  const std::vector<TRect> before = std::move(RegionRects);
  RegionRects.clear();
  if (sm->IsMaskIndex(SkinData->BorderIndex)) {
    const TsMaskData& mask = sm->Mask(SkinData->BorderIndex);
    CollectCornerRects(RegionRects, DlgWidth, mask, false, 0, sm);
    CollectCornerRects(RegionRects, DlgWidth, mask, true, DlgHeight - sm->MaskMarginBottom(SkinData->BorderIndex), sm);
  }
  const int title = sm->SectionIndexOf(kTitleSection);
  if (sm->IsSectionIndex(title) && CaptionHeight() > 0) {
    const int mask = sm->LookupMask(title, kTitleSection, "BORDERSMASK");
    if (sm->IsMaskIndex(mask)) CollectCornerRects(RegionRects, DlgWidth, sm->Mask(mask), false, 0, sm);
  }
  RegionChanged = false;
  // A window that says it keeps its own region is left with it.
  if (SendMessageA(WndHandle, 0xBC4D, 0x41A2, 0) == 0x41A2) return;
  // The window has this region already (a change of skin or frame that left the shape as it was):
  // setting it again would only have the frame measured and painted once more.
  if (RegionSize_ == TSize{DlgWidth, DlgHeight} && RegionRects == before) return;
  OwnedRegion rgn(CreateRectRgn(0, 0, DlgWidth, DlgHeight));
  if (!rgn) return;
  for (const TRect& r : RegionRects) {
    if (r.IsEmpty()) continue;
    OwnedRegion part(CreateRectRgn(r.Left, r.Top, r.Right, r.Bottom));
    if (part) CombineRgn(rgn, rgn, part, RGN_DIFF);
  }
  RegionLock = true;
  // The system owns the region once it takes it.
  if (SetWindowRgn(WndHandle, rgn, TRUE)) {
    rgn.Release();
    RegionSize_ = TSize{DlgWidth, DlgHeight};
  }
  RegionLock = false;
}

void TacDialogWnd::PaintFrameBands() {
  TBitmap* cache = SkinData->CacheBmp;
  if (!cache || cache->Empty()) return;
  WindowDC dc(WndHandle);
  BitmapDC src(cache);
  if (!dc || !src) return;
  // Everything outside the client area: the frame as the window really has it, whatever the metrics say.
  RECT cr{};
  GetClientRect(WndHandle, &cr);
  POINT origin{0, 0};
  ClientToScreen(WndHandle, &origin);
  const int cx = origin.x - DlgRect.Left, cy = origin.y - DlgRect.Top;
  const int w = cache->Width(), h = cache->Height(), right = cx + cr.right, bottom = cy + cr.bottom;
  // Above, left of, right of and below the client area.
  BitBlt(dc, 0, 0, w, cy, src, 0, 0, SRCCOPY);
  BitBlt(dc, 0, cy, cx, bottom - cy, src, 0, cy, SRCCOPY);
  BitBlt(dc, right, cy, w - right, bottom - cy, src, right, cy, SRCCOPY);
  BitBlt(dc, 0, bottom, w, h - bottom, src, 0, bottom, SRCCOPY);
}

// ---- Hit testing --------------------------------------------------------------------------------------

int TacDialogWnd::HitTestAt(TPoint Screen) {
  UpdateRects();
  DlgRect = WndRect;
  const TPoint p{Screen.X - DlgRect.Left, Screen.Y - DlgRect.Top};
  const qv::TDialogFrame f = Frame();
  // What the title bar shows, hit-tested as a form's title bar is.
  qv::TTitleLayout l;
  l.Window = TSize{DlgRect.Width(), DlgRect.Height()};
  if (f.Caption > 0) {
    l.BandTop = f.BorderY;
    l.BandBottom = f.BorderY + f.Caption;
    l.Icon = TRect{f.BorderX, l.BandTop, f.BorderX + SmallIconWidth(), l.BandBottom};
    for (int code : {HTCLOSE, HTMAXBUTTON, HTMINBUTTON, HTHELP})
      if (const TsCaptionButton* b = ButtonOf(code); !b->Rect.IsEmpty())
        l.Buttons.push_back(qv::TTitleElement{code, b->Rect, ButtonEnabled(code)});
    // The side borders beside the caption stay the window's own.
    if (p.Y >= l.BandTop && p.Y < l.BandBottom && (p.X < f.BorderX || p.X >= l.Window.cx - f.BorderX)) return HTNOWHERE;
  }
  if (FrameKind == qv::fkSizeable) {
    TsSkinManager* sm = SkinData->SkinManager();
    const int grip = sm ? sm->LookupMask(sm->ConstData().GlobalInfo, "GLOBALINFO", "GRIPIMAGE") : -1;
    if (sm && sm->IsMaskIndex(grip)) {
      const TSize s = sm->GetMaskItemSize(grip);
      l.HasGrip = true;
      l.GripPoint = TPoint{l.Window.cx - s.cx - f.BorderX, l.Window.cy - s.cy - f.BorderY};
    }
  }
  l.Maximized = Zoomed();
  return qv::TitleHitTest(l, p);
}
