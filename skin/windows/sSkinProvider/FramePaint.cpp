// The skinned form is drawn from one image, the provider's cache bitmap as large as the window:
// its metrics, its composition (background and border, grip, title, icon, buttons, caption, main-
// menu line, MDI area), the non-client paint in four copies, the client paint, and the window
// region cut from the skin's transparent corners.
#include "skin/windows/sSkinProvider/Internal.h"

using namespace acsp;

namespace {

// The colour shared among painters for what shows behind transparent parts, unset while the form
// composes its image (the form has no parent whose colour would show).
class TNoParentColor {
 public:
  TNoParentColor() : Saved_(SharedParentColor) { SharedParentColor = clParentColorUnset; }
  ~TNoParentColor() { SharedParentColor = Saved_; }
  TNoParentColor(const TNoParentColor&) = delete;
  TNoParentColor& operator=(const TNoParentColor&) = delete;

 private:
  TColor Saved_;
};

// Copies Rect of Src to (X, Y) of Dst (both 24-bit bitmaps).
void CopyBmpRect(TBitmap* dst, int x, int y, TBitmap* src, const TRect& r) {
  BitmapDC d(dst), s(src);
  if (d && s) BitBlt(d, x, y, r.Width(), r.Height(), s, r.Left, r.Top, SRCCOPY);
}

// The icon a form's title shows: its own, else its window's (the application's), else the system's.
HICON FormIcon(TCustomForm* form, bool big) {
  HICON icon = nullptr;
  if (form->Icon() && !form->Icon()->Empty()) icon = form->Icon()->Handle();
  if (!icon && form->HandleAllocated()) {
    icon = reinterpret_cast<HICON>(SendMessageA(form->Handle(), WM_GETICON, big ? ICON_BIG : ICON_SMALL, 0));
    if (!icon) icon = reinterpret_cast<HICON>(GetClassLongPtrA(form->Handle(), big ? GCLP_HICON : GCLP_HICONSM));
  }
  if (!icon) icon = LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_APPLICATION));
  return icon;
}

}  // namespace

// ---- Metrics -------------------------------------------------------------------------------------------

bool TsSkinProvider::HasBorder() const {
  return Form && (Form->BorderStyle() != bsNone || Form->FormStyle() == fsMDIChild);
}

int TsSkinProvider::CaptionHeight() const {
  if (!Form || !Form->HandleAllocated()) return 0;
  const LONG style = GetWindowLongA(const_cast<TCustomForm*>(Form)->Handle(), GWL_STYLE);
  const bool iconic = Iconic(Form);
  if (!((HasBorder() && (style & WS_CAPTION) == WS_CAPTION) || iconic)) return 0;
  const TFormBorderStyle bs = Form->BorderStyle();
  return FrameMetric(bs == bsToolWindow || bs == bsSizeToolWin ? SM_CYSMCAPTION : SM_CYCAPTION);
}

namespace {

// Fixed (thin) or sizing frame of a form's border style.
bool FixedFrame(const TCustomForm* form) {
  const TFormBorderStyle bs = form->BorderStyle();
  if (form->FormStyle() == fsMDIChild) return bs == bsSingle || bs == bsToolWindow;
  return bs == bsSingle || bs == bsDialog || bs == bsToolWindow;
}

}  // namespace

int TsSkinProvider::BorderHeight() const {
  if (!HasBorder()) return 0;
  return FrameMetric(FixedFrame(Form) ? SM_CYFIXEDFRAME : SM_CYFRAME);
}

int TsSkinProvider::BorderWidth() const {
  if (!HasBorder()) return 0;
  return FrameMetric(FixedFrame(Form) ? SM_CXFIXEDFRAME : SM_CXFRAME);
}

int TsSkinProvider::BottomFrameHeight() const { return BorderHeight() + (Form ? Form->BorderWidth() : 0); }

int TsSkinProvider::FormWidth() const {
  if (!Form) return 0;
  if (!Form->HandleAllocated()) return Form->Width();
  return WindowRectOf(const_cast<TCustomForm*>(Form)->Handle()).Width();
}

int TsSkinProvider::FormHeight() const {
  if (!Form) return 0;
  if (!Form->HandleAllocated()) return Form->Height();
  return WindowRectOf(const_cast<TCustomForm*>(Form)->Handle()).Height();
}

bool TsSkinProvider::MenuPresent() const {
  TMainMenu* menu = MainMenuOf(Form);
  if (!menu || !Form->HandleAllocated() || Form->FormStyle() == fsMDIChild) return false;
  if (!GetMenu(const_cast<TCustomForm*>(Form)->Handle())) return false;
  for (int i = 0; i < menu->Items()->Count(); ++i)
    if (menu->Items()->Items(i)->Visible()) return true;
  return false;
}

int TsSkinProvider::MenuLineTop() const {
  int top = CaptionHeight() + BorderHeight();
  if (!Form || !Form->HandleAllocated()) return top;
  // The line starts where the system put the bar.
  const HWND wnd = const_cast<TCustomForm*>(Form)->Handle();
  if (RECT first{}; GetMenu(wnd) && GetMenuItemRect(wnd, GetMenu(wnd), 0, &first))
    top = first.top - WindowRectOf(wnd).Top;
  return top;
}

int TsSkinProvider::MenuHeight() const { return MenuPresent() ? FrameMetric(SM_CYMENU) - 1 : 0; }

namespace {

// The extent of a skinned scroll bar of the form's own that shows (0 otherwise).
int FormBarExtent(const TacScrollWnd* bars, bool horizontal) {
  if (!bars || bars->Destroyed) return 0;
  TacScrollBar* bar = horizontal ? bars->HorzBar : bars->VertBar;
  return bar && bar->ScrollVisible ? GetScrollBarSize(bar, true, true) : 0;
}

}  // namespace

int TsSkinProvider::HeaderHeight() const {
  if (!Form || !Form->HandleAllocated()) return 0;
  const HWND wnd = const_cast<TCustomForm*>(Form)->Handle();
  RECT cr{};
  GetClientRect(wnd, &cr);
  int h = WindowRectOf(wnd).Height() - cr.bottom;
  if (CaptionHeight() != 0) h -= BorderHeight() + Form->BorderWidth();
  h = std::max(h, 0);
  if (Iconic(Form)) h += BorderHeight();
  return h - FormBarExtent(FormScrollWnd, true);
}

int TsSkinProvider::ClientOffsetX() const {
  if (!Form || !Form->HandleAllocated()) return 0;
  const HWND wnd = const_cast<TCustomForm*>(Form)->Handle();
  POINT p{0, 0};
  ClientToScreen(wnd, &p);
  return p.x - WindowRectOf(wnd).Left;
}

int TsSkinProvider::ClientOffsetY() const {
  if (!Form || !Form->HandleAllocated()) return 0;
  const HWND wnd = const_cast<TCustomForm*>(Form)->Handle();
  POINT p{0, 0};
  ClientToScreen(wnd, &p);
  return p.y - WindowRectOf(wnd).Top;
}

TSize TsSkinProvider::IconExtent() const {
  if (!Form || !ShowAppIcon) return TSize{};
  const TFormBorderStyle bs = Form->BorderStyle();
  if (bs != bsSingle && bs != bsSizeable) return TSize{};
  const int size = qv::TitleIconSize(CaptionHeight());
  return TSize{TitleIcon->Width() != 0 ? TitleIcon->Width() : size,
               TitleIcon->Height() != 0 ? TitleIcon->Height() : size};
}

TRect TsSkinProvider::IconRect() const {
  const TSize s = IconExtent();
  TRect r;
  r.Left = BorderWidth();
  r.Right = r.Left + s.cx;
  r.Top = qv::TitleBandTop(s.cy, CaptionHeight(), BorderHeight(), HiddenTitleRows());
  r.Bottom = r.Top + s.cy;
  return r;
}

int TsSkinProvider::HiddenTitleRows() const {
  // The system puts a maximized window's frame beyond the screen's edges.
  return Form && Form->FormStyle() != fsMDIChild && Zoomed(Form) ? BorderHeight() : 0;
}

bool TsSkinProvider::ImageFitsWindow() const {
  const TBitmap* cache = SkinData->CacheBmp;
  return cache && !cache->Empty() && TSize{cache->Width(), cache->Height()} == WindowSize();
}

bool TsSkinProvider::RegionFitsWindow() const {
  if (!Form || !Form->HandleAllocated()) return true;
  const LONG style = GetWindowLongA(const_cast<TCustomForm*>(Form)->Handle(), GWL_STYLE);
  // A window whose frame is not cut needs no region.
  if (!HasBorder() && !(style & WS_THICKFRAME) && !Iconic(Form)) return true;
  return RegionSize_ == WindowSize();
}

// ---- Composing the image ---------------------------------------------------------------------------------

bool TsSkinProvider::TitleStripFits() const {
  TBitmap* cache = SkinData->CacheBmp;
  return TitleStripBmp && cache && TitleStripBmp->Width() == FormWidth() && cache->Height() == FormHeight() &&
         cache->Width() == FormWidth();
}

bool TsSkinProvider::BorderStateless() const {
  TsSkinManager* sm = SkinData->SkinManager();
  if (!sm || !sm->IsSectionIndex(SkinData->SkinIndex)) return true;
  const TsGeneralData& gd = sm->Section(SkinData->SkinIndex);
  if (gd.Color != gd.HotColor || SkinData->HotTexture >= 0) return false;
  return !sm->IsMaskIndex(SkinData->BorderIndex) || sm->Mask(SkinData->BorderIndex).ImageCount <= 1;
}

void TsSkinProvider::SaveTitleStrip() {
  TBitmap* cache = SkinData->CacheBmp;
  const int h = std::min(CaptionHeight() + BorderHeight(), cache ? cache->Height() : 0);
  if (!cache || cache->Empty() || h <= 0) return;
  if (!TitleStripBmp) TitleStripBmp = CreateBmp24(cache->Width(), h);
  TitleStripBmp->SetSize(cache->Width(), h);
  CopyBmpRect(TitleStripBmp, 0, 0, cache, TRect{0, 0, cache->Width(), h});
}

void TsSkinProvider::PaintTitleStrip() {
  TBitmap* cache = SkinData->CacheBmp;
  const int h = std::min(CaptionHeight() + BorderHeight(), cache->Height());
  if (h <= 0 || !TitleBmp) return;
  TitleBmp->SetSize(cache->Width(), h);
  CopyBmpRect(TitleBmp, 0, 0, cache, TRect{0, 0, cache->Width(), h});
  TitleActive_ = FormActive;
  KeptTitle_ = TitleKey();
}

// ---- Kept parts ----------------------------------------------------------------------------------------

TsSkinProvider::TBaseKey TsSkinProvider::BaseKey() const {
  TBaseKey k;
  k.Window = WindowSize();
  // The state shows in the background where its border or colour has a look of its own for it.
  k.State = BorderStateless() ? 0 : FormActive ? 2 : 1;
  if (SkinData->CustomColor) k.Color = Form->Color();
  return k;
}

TsSkinProvider::TTitleKey TsSkinProvider::TitleKey() const {
  TTitleKey k;
  k.Base = BaseKey();
  k.Active = FormActive;
  k.Section = SkinData->SkinManager() ? SkinData->SkinManager()->SectionIndexOf(GetTitleSkin()) : -1;
  k.Icon = IconExtent().cx > 0 ? IconRect() : TRect{};
  k.Backdrop = ButtonsBackdrop();
  if (TIcon* icon = Form->Icon(); icon && !icon->Empty()) k.OwnIcon = icon->Handle();
  if (TBitmap* glyph = TitleIcon->Glyph(); glyph && !glyph->Empty() && glyph->HandleAllocated())
    k.Glyph = glyph->Handle();
  return k;
}

void TsSkinProvider::FreeKeptParts() {
  KeptTitle_.reset();
  KeptMenuLine_.reset();
}

void TsSkinProvider::PaintFrameCache() {
  TsSkinManager* sm = SkinData->SkinManager();
  if (!Form || !Form->HandleAllocated() || !sm || !sm->Skin() || PlainFrame()) return;
  if (FrameDirty && Form->FormStyle() == fsMDIForm)
    if (TCustomForm* child = MaximizedChildOf(Form); child && child->Showing()) {
      // A maximized child's frame change is painted once, like any other (the dirty mark would
      // otherwise keep the frame from ever being painted again).
      FrameDirty = false;
    }
  const int w = FormWidth(), h = FormHeight();
  TBitmap* cache = SkinData->CacheBmp;
  if (w <= 0 || h <= 0 || !cache) return;
  TNoParentColor noParentColor;
  const TRect all{0, 0, w, h};
  const bool saveTitle = sm->IsSectionIndex(SkinData->SkinIndex) && sm->Section(SkinData->SkinIndex).SaveTitle;
  const int caption = CaptionHeight();
  TitleOnly = false;
  if (SkinData->BGChanged || cache->Width() != w || cache->Height() != h) {
    if (!FrameDirty && saveTitle && caption != 0 && TitleStripFits() &&
        (FormActive == FrameActiveState_ || BorderStateless())) {
      // Only the title changed (caption text, active state of a border that looks the same).
      CopyBmpRect(cache, 0, 0, TitleStripBmp, TRect{0, 0, TitleStripBmp->Width(), TitleStripBmp->Height()});
      TitleOnly = true;
    } else {
      if (RegionSize_ != TSize{w, h}) RegionChanged = true;
      if (cache->Width() != w || cache->Height() != h) {
        if (!SizeImage(w, h)) return;
      }
      if (sm->IsSectionIndex(SkinData->SkinIndex)) {
        if (!HasBorder())
          PaintSectionBackground(SkinData->SkinIndex, SkinData->SkinSection(), EmptyCacheInfo, 0, all, TPoint{}, cache,
                                 sm);
        else
          PaintControlItem(SkinData, EmptyCacheInfo, true, FormActive ? 1 : 0, all, TPoint{}, cache, false);
      }
      if (GripMode == gmRightBottom) {
        const int grip = sm->LookupMask(sm->ConstData().GlobalInfo, "GLOBALINFO", "GRIPIMAGE");
        if (sm->IsMaskIndex(grip)) {
          const TSize s = sm->GetMaskItemSize(grip);
          PaintMaskImageByIndex(cache, TPoint{w - s.cx - BorderWidth(), h - s.cy - BorderHeight()}, 1, 1, grip, sm);
        }
      }
      if (saveTitle) SaveTitleStrip();
      FrameActiveState_ = FormActive;
    }
  }
  // The title under its caption and buttons is taken from the kept one when that was composed for
  // the frame as it is now.
  bool titlePainted = false;
  if (caption != 0) {
    const int strip = std::min(caption + BorderHeight(), h);
    if (KeptTitle_ && TitleBmp->Width() == w && TitleBmp->Height() == strip && *KeptTitle_ == TitleKey()) {
      CopyBmpRect(cache, 0, 0, TitleBmp, TRect{0, 0, w, strip});
    } else {
      titlePainted = true;
      const std::string titleSkin = GetTitleSkin();
      const int title = sm->SectionIndexOf(titleSkin);
      if (sm->IsSectionIndex(title))
        PaintSectionItem(title, titleSkin, EmptyCacheInfo, true, FormActive ? 1 : 0,
                         TRect{0, 0, w, caption + BorderHeight()}, TPoint{}, cache, sm);
      PaintIcon(cache);
      if (const TRect backdrop = ButtonsBackdrop(); !backdrop.IsEmpty())
        PaintMaskRectByIndex(cache, backdrop, true, EmptyCacheInfo,
                             sm->LookupMask(SkinData->SkinIndex, SkinData->SkinSection(), "TITLEBAR"),
                             FormActive ? 1 : 0, false, sm);
    }
  }
  // The menu line lies below the title strip: a title-only renewal keeps it unless its rows are to be
  // measured again (the menu or the activation changed).
  if (MenuPresent() && MenuHeight() > 0 && !(TitleOnly && MenuLineRows != -1)) PaintMenuLine(cache);
  if (caption != 0) {
    if (titlePainted) PaintTitleStrip();
    PaintTitleButtons();
    PaintCaption(cache);
  }
  if (Form->FormStyle() == fsMDIForm && MDIForm) PaintMDIArea(cache);
  FrameDirty = false;
  PaintFormOnPaint(cache);
  FramePainted = true;
  SkinData->BGChanged = false;
  SkinData->SetUpdating(false);
}

bool TsSkinProvider::SizeImage(int Width, int Height) {
  TBitmap* cache = SkinData->CacheBmp;
  try {
    cache->SetSize(Width, Height);
    return true;
  } catch (const EOutOfResources&) {
    cache->SetSize(0, 0);
  }
  // The system draws the frame (its buttons included) and the client until the size changes.
  PlainFrameSize_ = TSize{Width, Height};
  SetSystemMenuStyle(false);
  SetWindowRgn(Form->Handle(), nullptr, FALSE);
  RegionSize_ = TSize{};
  RedrawWindow(Form->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
  return false;
}

TRect TsSkinProvider::ButtonsBackdrop() const {
  TsSkinManager* sm = SkinData->SkinManager();
  const int caption = CaptionHeight();
  if (!sm || caption == 0) return TRect{};
  const int bar = sm->LookupMask(SkinData->SkinIndex, SkinData->SkinSection(), "TITLEBAR");
  const std::vector<TButtonSlot> buttons = ShownButtons();
  if (!sm->IsMaskIndex(bar) || buttons.empty()) return TRect{};
  int total = 0;
  for (const TButtonSlot& b : buttons) total += b.Width + kTitleButtonSpacing;
  const int margin = sm->Mask(bar).FrameWidth() / 3;
  const int right = FormWidth() - BorderWidth();
  return TRect{right - total - 2 * margin, BorderHeight(), right, caption + BorderHeight()};
}

void TsSkinProvider::PaintIcon(TBitmap* Cache) {
  const TRect r = IconRect();
  if (r.IsEmpty()) return;
  if (TBitmap* glyph = TitleIcon->Glyph(); glyph && !glyph->Empty()) {
    TBmpPtr scaled(CreateBmp24(r.Width(), r.Height()));
    {
      BitmapDC dst(scaled.get()), cache(Cache);
      BitmapDC src(glyph);
      if (!dst || !cache || !src) return;
      BitBlt(dst, 0, 0, r.Width(), r.Height(), cache, r.Left, r.Top, SRCCOPY);
      TransparentBlt(dst, 0, 0, r.Width(), r.Height(), src, 0, 0, glyph->Width(), glyph->Height(), 0xFF00FF);
      BitBlt(cache, r.Left, r.Top, r.Width(), r.Height(), dst, 0, 0, SRCCOPY);
    }
    return;
  }
  HICON icon = FormIcon(Form, r.Width() > 16);
  BitmapDC dc(Cache);
  if (dc && icon) DrawIconEx(dc, r.Left, r.Top, icon, r.Width(), r.Height(), 0, nullptr, DI_NORMAL);
}

TRect TsSkinProvider::CaptionPlace() const {
  TRect r{BorderWidth() + 4 + IconExtent().cx, 0, 0, CaptionHeight() + BorderHeight()};
  // The text keeps clear of the buttons and of the backdrop behind them.
  int right = FormWidth() - BorderWidth();
  for (const TButtonSlot& b : ShownButtons()) right = std::min(right, b.Data->Rect.Left);
  if (const TRect backdrop = ButtonsBackdrop(); !backdrop.IsEmpty()) right = std::min(right, backdrop.Left);
  r.Right = std::max(r.Left, right - 6);
  return r;
}

void TsSkinProvider::SelectCaptionFont(TCanvas* Canvas) {
  if (CaptionFontHeight_ < 0) CaptionFontHeight_ = std::max(0, GetCaptionFontHeight());
  CaptionFont_->Assign(Form->Font());
  TFontStyles style = CaptionFont_->Style();
  style.Include(fsBold);
  CaptionFont_->SetStyle(style);
  if (CaptionFontHeight_ > 0) CaptionFont_->SetHeight(CaptionFontHeight_);
  // A font made again costs more than the caption's text: the canvas keeps one of the same face.
  if (!Canvas->Font()->SameFace(CaptionFont_.get())) Canvas->Font()->Assign(CaptionFont_.get());
}

void TsSkinProvider::PaintCaption(TBitmap* Cache, bool KeptPlace) {
  CaptionInk_ = TRect{};
  if (!KeptPlace) CaptionPlace_ = CaptionPlace();
  const std::string text = Form->Caption();
  if (text.empty()) return;
  TsSkinManager* sm = SkinData->SkinManager();
  const int title = sm->SectionIndexOf(GetTitleSkin());
  TRect r = CaptionPlace_;
  if (r.Right <= r.Left) return;
  BitmapDC dc(Cache);
  if (!dc) return;
  TCanvas* canvas = Cache->Canvas();
  SelectCaptionFont(canvas);
  SIZE ext{};
  GetTextExtentPoint32A(canvas->Handle(), text.c_str(), int(text.size()), &ext);
  r.Top = qv::TitleBandTop(ext.cy, CaptionHeight(), BorderHeight(), HiddenTitleRows());
  r.Bottom = r.Top + ext.cy;
  const UINT flags =
      AlignmentDrawFlags(Form, CaptionAlignment) | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS;
  // Where the text's pixels may lie: its rectangle and the outline copies a pixel around it; a text
  // put at the left ends with its extent (and an overhang of a slanted face).
  CaptionInk_ = TRect{r.Left - 1, r.Top - 1, r.Right + 1, r.Bottom + 1};
  if ((flags & (DT_CENTER | DT_RIGHT | DT_RTLREADING)) == 0)
    CaptionInk_.Right = std::min(CaptionInk_.Right, r.Left + int(ext.cx) + int(ext.cy) + 1);
  // A text that fits is placed here from its one measure; a cut one or one read right to left is
  // laid out by DrawText.
  if (int(ext.cx) <= r.Width() && (flags & DT_RTLREADING) == 0) {
    const int x = (flags & DT_CENTER)  ? (r.Left + r.Right - int(ext.cx)) / 2
                  : (flags & DT_RIGHT) ? r.Right - int(ext.cx)
                                       : r.Left;
    DrawSectionLine(canvas, text, Form->Enabled(), x, r.Top, r, title, FormActive, sm);
    return;
  }
  WriteSectionText(canvas, text, Form->Enabled(), r, flags, title, FormActive, sm);
}

void TsSkinProvider::PaintMenuLine(TBitmap* Cache) {
  TsSkinManager* sm = SkinData->SkinManager();
  const HWND wnd = Form->Handle();
  HMENU bar = GetMenu(wnd);
  if (!bar) return;
  // (Rows measured again drop the kept line: its items changed or were laid out anew.)
  CountMenuLineRows();
  const TRect wr = WindowRectOf(wnd);
  const int top = MenuLineTop();
  const int lineHeight = MenuLineRows * MenuHeight();
  std::string name = MenuLineSkin;
  int section = name.empty() ? -1 : sm->SectionIndexOf(name);
  if (section < 0) {
    name = "MENULINE";
    section = sm->SectionIndexOf(name);
  }
  const int w = FormWidth();
  if (!sm->IsSectionIndex(section) || lineHeight <= 0) return;
  const TRect line{BorderWidth(), top, w - BorderWidth(), top + lineHeight};
  // The line and its items as composed last, when they were composed for the frame as it is now.
  const TMenuLineKey key{BaseKey(), line};
  if (KeptMenuLine_ && *KeptMenuLine_ == key && MenuLineBmp && MenuLineBmp->Width() == line.Width() &&
      MenuLineBmp->Height() == line.Height()) {
    CopyBmpRect(Cache, line.Left, line.Top, MenuLineBmp, TRect{0, 0, line.Width(), line.Height()});
    return;
  }
  PaintSectionItem(section, name, EmptyCacheInfo, true, 0, line, line.TopLeft(), Cache, sm);
  // The background under the items, for the menu drawing when the system draws an item alone.
  TempBmp->SetSize(w, lineHeight);
  CopyBmpRect(TempBmp, 0, 0, Cache, TRect{0, top, w, top + lineHeight});
  if (MDISkinProvider == this)
    if (TCustomForm* child = MaximizedChildOf(Form)) {
      HICON icon = FormIcon(child, false);
      BitmapDC dc(Cache);
      const int size = MenuHeight() - 2;
      if (dc && size > 0) DrawIconEx(dc, line.Left + 1, top + 1, icon, size, size, 0, nullptr, DI_NORMAL);
    }
  TCanvas* canvas = Cache->Canvas();
  BitmapDC dc(Cache);
  if (!dc) return;
  const int count = GetMenuItemCount(bar);
  for (int pos = 0; pos < count; ++pos) {
    MENUITEMINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_DATA;
    if (!GetMenuItemInfoA(bar, UINT(pos), TRUE, &info)) continue;
    // Items of the library only: the merged system menu of a maximized child is not one.
    TMenuItem* item = TMenuItem::FromData(info.dwItemData);
    if (!item || !item->Visible() || item->Caption().empty()) continue;
    RECT ir{};
    if (!GetMenuItemRect(wnd, bar, UINT(pos), &ir)) continue;
    TRect r = FromRECT(ir);
    r.Offset(-wr.Left, -wr.Top);
    SavedDC saved(dc);
    item->AdvancedDrawItem(canvas, r, TOwnerDrawState{odNoAccel}, true);
  }
  if (!MenuLineBmp) MenuLineBmp = CreateBmp24(0, 0);
  MenuLineBmp->SetSize(line.Width(), line.Height());
  CopyBmpRect(MenuLineBmp, 0, 0, Cache, line);
  KeptMenuLine_ = key;
}

void TsSkinProvider::PaintMDIArea(TBitmap* Cache) {
  TsSkinManager* sm = SkinData->SkinManager();
  const int section = sm->SectionIndexOf("MDIAREA");
  if (!sm->IsSectionIndex(section) || !Form->ClientHandle()) return;
  TRect r = WindowRectOf(Form->ClientHandle());
  const TRect wr = WindowRectOf(Form->Handle());
  r.Offset(-wr.Left, -wr.Top);
  BitmapDC dc(Cache);
  if (dc) PaintSectionItemToDC(section, "MDIAREA", EmptyCacheInfo, true, 0, r, r.TopLeft(), dc, sm);
}

void TsSkinProvider::PaintFormOnPaint(TBitmap* Cache) {
  if (!Form->OnPaint || !Form->Canvas()) return;
  BitmapDC dc(Cache);
  if (!dc) return;
  TCanvas* canvas = Form->Canvas();
  canvas->Lock();
  try {
    CanvasOnDC on(canvas, dc);
    SetWindowOrgEx(dc, -ClientOffsetX(), -ClientOffsetY(), nullptr);
    Form->OnPaint(Form);
  } catch (...) {
    canvas->Unlock();
    throw;
  }
  canvas->Unlock();
}

// ---- Title-bar buttons -----------------------------------------------------------------------------------

void TsSkinProvider::PlaceButton(TsCaptionButton& Button, int& X, int Width, int Height) {
  Button.Rect = qv::PlaceTitleButton(X, Width, Height, CaptionHeight(), BorderHeight(), HiddenTitleRows());
  X = Button.Rect.Left - kTitleButtonSpacing;
}

void TsSkinProvider::PaintTitleButtons() {
  TsSkinManager* sm = SkinData->SkinManager();
  TBitmap* cache = SkinData->CacheBmp;
  for (TsCaptionButton* b : {&ButtonClose, &ButtonMax, &ButtonMin, &ButtonHelp}) b->Rect = TRect{};
  for (int i = 0; i < TitleButtons->Count(); ++i) TitleButtons->Items(i)->BtnData.Rect = TRect{};
  int x = FormWidth() - BorderWidth() - kTitleButtonSpacing;
  for (const TButtonSlot& b : ShownButtons()) {
    PlaceButton(*b.Data, x, b.Width, b.Height);
    const int mode = FormActive && b.Enabled ? 1 : 2;
    if (sm->IsMaskIndex(b.Image))
      PaintMaskImageByIndex(cache, b.Data->Rect.TopLeft(), b.Enabled ? b.Data->State : 0, mode, b.Image, sm);
    if (b.Code >= qv::htTitleButton) {
      TsTitleButton* tb = TitleButtons->Items(b.Code - qv::htTitleButton);
      if (TBitmap* glyph = tb->Glyph(); glyph && !glyph->Empty()) {
        TBmpPtr g(CreateBmp24(glyph->Width(), glyph->Height()));
        CopyBmpRect(g.get(), 0, 0, glyph, TRect{0, 0, glyph->Width(), glyph->Height()});
        TacFast24 px;
        const TColor key = px.Attach(g.get()) ? px.GetPixel(0, g->Height() - 1) : TColor(0xFF00FF);
        const TRect& r = b.Data->Rect;
        CopyTransparent(cache, g.get(), r.Left + (r.Width() - g->Width()) / 2, r.Top + (r.Height() - g->Height()) / 2,
                        key);
      }
    }
  }
  PaintMDIButtons();
}

void TsSkinProvider::PaintMDIButtons() {
  for (TsCaptionButton* b : {&ButtonMDIClose, &ButtonMDIMax, &ButtonMDIMin}) b->Rect = TRect{};
  if (!ChildButtonsVisible() || MenuLineRows <= 0) return;
  TsSkinManager* sm = SkinData->SkinManager();
  const TSize s = MDIButtonSize();
  const int top = MenuLineTop() + (MenuHeight() - s.cy) / 2;
  int x = FormWidth() - BorderWidth() - kTitleButtonSpacing;
  for (TsCaptionButton* b : {&ButtonMDIClose, &ButtonMDIMax, &ButtonMDIMin}) {
    b->Rect = TRect{x - s.cx, top, x, top + s.cy};
    x = b->Rect.Left - kTitleButtonSpacing;
    const int code = b == &ButtonMDIClose ? qv::htMDIClose : b == &ButtonMDIMax ? qv::htMDIMax : qv::htMDIMin;
    const bool enabled = MDIButtonEnabled(code);
    if (sm->IsMaskIndex(b->ImageIndex))
      PaintMaskImageByIndex(SkinData->CacheBmp, b->Rect.TopLeft(), enabled ? b->State : 0, enabled ? 1 : 2,
                            b->ImageIndex, sm);
  }
}

// ---- Painting the window ---------------------------------------------------------------------------------

void TsSkinProvider::PaintNonClient(HDC DC) {
  if (!DC || !Form || PlainFrame()) return;
  TBitmap* cache = SkinData->CacheBmp;
  // An image of another size is never painted: the window changed since (whatever message told
  // of it first).
  if (SkinData->BGChanged || !ImageFitsWindow()) PaintFrameCache();
  if (PlainFrame()) return;
  SkinData->BGChanged = false;
  BitmapDC src(cache);
  if (!src) return;
  const int w = FormWidth(), h = FormHeight();
  const int fbw = Form->BorderWidth();
  const int header = HeaderHeight();
  const int side = BorderWidth() + fbw;
  const int bottom = BottomFrameHeight();
  BitBlt(DC, 0, 0, w, header, src, 0, 0, SRCCOPY);
  BitBlt(DC, 0, header, side, cache->Height() - header, src, 0, header, SRCCOPY);
  BitBlt(DC, bottom, h - bottom, w - bottom, bottom, src, bottom, h - bottom, SRCCOPY);
  BitBlt(DC, cache->Width() - side, header, side, cache->Height() - header, src, cache->Width() - side, header,
         SRCCOPY);
}

void TsSkinProvider::PaintFrameNow() {
  if (!Form || !Form->HandleAllocated() || PlainFrame()) return;
  if (IsMaximizedMDIChild() && IsLive(MDISkinProvider) && MDISkinProvider != this) {
    MDISkinProvider->PaintFrameNow();
    return;
  }
  SkinData->BGChanged = true;
  WindowDC dc(Form->Handle());
  SavedDC saved(dc);
  PaintNonClient(dc);
}

void TsSkinProvider::RepaintCaption() {
  if (!Form || !Form->HandleAllocated() || PlainFrame()) return;
  TBitmap* cache = SkinData->CacheBmp;
  const int stripHeight = CaptionHeight() + BorderHeight();
  // The title without its caption is kept from the last composition: when it still fits the window
  // and its state, the caption is written on it again.
  if (CaptionHeight() == 0 || SkinData->BGChanged || FrameDirty || !ImageFitsWindow() || !TitleBmp ||
      TitleBmp->Width() != cache->Width() || TitleBmp->Height() != stripHeight || TitleActive_ != FormActive ||
      IsMaximizedMDIChild()) {
    PaintFrameNow();
    return;
  }
  // The old text goes (the kept title lies under it), the new one is written, and what either
  // covers is painted.
  const TRect strip{0, 0, cache->Width(), stripHeight};
  const TRect old = IntersectRects(CaptionInk_, strip);
  if (!old.IsEmpty()) CopyBmpRect(cache, old.Left, old.Top, TitleBmp, old);
  PaintCaption(cache, true);
  const TRect ink = IntersectRects(CaptionInk_, strip);
  TRect band = old.IsEmpty()   ? ink
               : ink.IsEmpty() ? old
                               : TRect{std::min(old.Left, ink.Left), std::min(old.Top, ink.Top),
                                       std::max(old.Right, ink.Right), std::max(old.Bottom, ink.Bottom)};
  if (band.IsEmpty()) return;
  WindowDC dc(Form->Handle());
  BitmapDC src(cache);
  if (dc && src) BitBlt(dc, band.Left, band.Top, band.Width(), band.Height(), src, band.Left, band.Top, SRCCOPY);
}

void TsSkinProvider::PaintFormBackground(HDC DC, bool RepaintChildren) {
  if (!DC || !Form) return;
  TControl* only = SkinData->RepaintingControl;
  if (only && only->Parent() == Form) {
    PaintChildOnly(DC, only);
    return;
  }
  if (!SkinData->AlwaysRepaint) PaintFrameCache();
  if (Form->FormStyle() != fsMDIForm) {
    RECT cr{};
    GetClientRect(Form->Handle(), &cr);
    CopyCacheExcludingChildren(Form, SkinData, TPoint{ClientOffsetX(), ClientOffsetY()}, FromRECT(cr), DC, false, 0, 0);
    PaintGraphicChildren(DC, Form, TPoint{});
  }
  // The adapted controls repaint over the new background; in a skin switch they heard the refresh
  // in its walk, and its end paints them.
  if (RepaintChildren && !SkinSwitchRunning()) {
    RepaintChildControls(Form);
    TMessage m =
        MakeMessage(SM_QUORVEXCMD, SkinCommandWParam(QC_REFRESH), reinterpret_cast<LPARAM>(SkinData->SkinManager()));
    BroadcastToAdapter(m);
  }
  TitleOnly = false;
}

void TsSkinProvider::PaintChildOnly(HDC DC, TControl* Child) {
  SavedDC saved(DC);
  OffsetViewportOrgEx(DC, Child->Left(), Child->Top(), nullptr);
  IntersectClipRect(DC, 0, 0, Child->Width(), Child->Height());
  TControlState state = Child->ControlState();
  Child->SetControlState(state + TControlState{csPaintCopy});
  if (Child->ControlStyle().Contains(csOpaque)) {
    Child->Perform(WM_PAINT, WPARAM(DC), 0);
  } else if (Child->Width() > 0 && Child->Height() > 0) {
    TBmpPtr under(CreateBmp24(Child->Width(), Child->Height()));
    CopyBmpRect(
        under.get(), 0, 0, SkinData->CacheBmp,
        Bounds(Child->Left() + ClientOffsetX(), Child->Top() + ClientOffsetY(), Child->Width(), Child->Height()));
    BitmapDC bdc(under.get());
    if (bdc) {
      Child->Perform(WM_PAINT, WPARAM(HDC(bdc)), 0);
      BitBlt(DC, 0, 0, Child->Width(), Child->Height(), bdc, 0, 0, SRCCOPY);
    }
  }
  Child->SetControlState(Child->ControlState() - TControlState{csPaintCopy});
}

void TsSkinProvider::PaintClient(HDC DC) {
  if (!Form || !Form->HandleAllocated()) return;
  PaintScope ps(Form->Handle(), DC);
  SkinData->SetUpdating(false);
  if (AnimatingShow || Dying(Form)) return;
  // An MDI child under a frame whose maximized active child is another form shows nothing now.
  if (Form->FormStyle() == fsMDIChild && ChildMaximizing && MDIProviderSkinned()) {
    TCustomForm* active = MaximizedChildOf(MDISkinProvider->Form);
    if (active && active != Form) return;
  }
  PaintFormBackground(ps, true);
}

// ---- The window region ---------------------------------------------------------------------------------

void TsSkinProvider::BuildRegionRects() {
  RegionRects.assign(1, TRect{});
  TsSkinManager* sm = SkinData->SkinManager();
  if (!sm || !Form) return;
  const int w = FormWidth(), h = FormHeight();
  if (sm->IsMaskIndex(SkinData->BorderIndex)) {
    const TsMaskData& mask = sm->Mask(SkinData->BorderIndex);
    CollectCornerRects(RegionRects, w, mask, false, 0, sm);
    CollectCornerRects(RegionRects, w, mask, true, h - sm->MaskMarginBottom(SkinData->BorderIndex), sm);
  }
  const std::string titleSkin = GetTitleSkin();
  const int title = sm->SectionIndexOf(titleSkin);
  if (sm->IsSectionIndex(title) && CaptionHeight() != 0) {
    const int mask = sm->LookupMask(title, titleSkin, "BORDERSMASK");
    if (sm->IsMaskIndex(mask)) CollectCornerRects(RegionRects, w, sm->Mask(mask), false, 0, sm);
  }
}

HRGN TsSkinProvider::CreateFormRegion(int X, int Y) const {
  OwnedRegion rgn(CreateRectRgn(X, Y, X + FormWidth(), Y + FormHeight()));
  if (!rgn) return nullptr;
  for (const TRect& r : RegionRects) {
    if (r.IsEmpty()) continue;
    OwnedRegion part(CreateRectRgn(r.Left + X, r.Top + Y, r.Right + X, r.Bottom + Y));
    if (part) CombineRgn(rgn, rgn, part, RGN_DIFF);
  }
  return rgn.Release();
}

void TsSkinProvider::UpdateFormRegion(bool Repaint) {
  if (InMenuLoop || !Form || !Form->HandleAllocated()) return;
  if (!HasBorder() && !Iconic(Form)) {
    RegionSize_ = WindowSize();
    return;
  }
  const HWND wnd = Form->Handle();
  if (Form->Parent() || Form->ParentWindow()) {
    SetWindowRgn(wnd, nullptr, FALSE);
    RegionSize_ = WindowSize();
    return;
  }
  if (!FramePainted && SendMessageA(wnd, 0xBC4D, 0x41A2, 0) == 0x41A2) return;
  if (PrintDC) return;
  RegionUpdating = true;
  // The system owns the region once it takes it; a region it refuses stays ours and is deleted.
  OwnedRegion rgn(CreateFormRegion(0, 0));
  if (rgn && SetWindowRgn(wnd, rgn, Repaint)) {
    rgn.Release();
    RegionSize_ = TSize{FormWidth(), FormHeight()};
  }
}
