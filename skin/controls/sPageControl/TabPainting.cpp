// How the skinned page control looks: the geometry of tabs, tab strip and page frame, the cache
// (frame, strip, inactive tabs row by row), one tab in each of the four positions with image and
// caption, the close buttons, and the paint handlers.
#include <algorithm>
#include <memory>
#include <optional>
#include <vector>

#include "skin/controls/core/acTabGeometry.h"
#include "skin/controls/sPageControl.h"
#include "skin/engine/sStyleSimply.h"

namespace {

using TBmpPtr = std::unique_ptr<TBitmap>;

qv::TabSide SideOf(TTabPosition p) { return qv::TabSide(p); }

void CopyBits(HDC Dst, const TRect& R, HDC Src, TPoint From) {
  if (Dst && Src && !R.IsEmpty()) BitBlt(Dst, R.Left, R.Top, R.Width(), R.Height(), Src, From.X, From.Y, SRCCOPY);
}

TRect Moved(TRect R, TPoint By) {
  R.Offset(By.X, By.Y);
  return R;
}

}  // namespace

// ---- pages and tabs -------------------------------------------------------------------------------------

TTabSheet* TsPageControl::PageOf(int PageIndex) const {
  return PageIndex >= 0 && PageIndex < PageCount() ? Pages(PageIndex) : nullptr;
}

bool TsPageControl::UsesCloseBtn(TTabSheet* Page) const {
  auto* s = dynamic_cast<TsTabSheet*>(Page);
  return !s || s->UseCloseBtn();
}

bool TsPageControl::HasTabs() { return HandleAllocated() && SendMessageA(Handle_, TCM_GETITEMCOUNT, 0, 0) > 0; }

int TsPageControl::VisibleTabsCount() const {
  int n = 0;
  for (int i = 0; i < PageCount(); ++i)
    if (Pages(i)->TabVisible()) ++n;
  return n;
}

TRect TsPageControl::ItemRect(int TabIndex) {
  if (!HandleAllocated() || TabIndex < 0) return TRect{};
  // The rectangle of a tab scrolled out of sight is filled in too, though the answer is FALSE.
  RECT r{};
  SendMessageA(Handle_, TCM_GETITEMRECT, WPARAM(TabIndex), LPARAM(&r));
  return FromRECT(r);
}

TRect TsPageControl::SkinTabRect(int TabIndex, bool Active) {
  if (TabIndex < 0 || TabIndex >= PageCount() || !TPageControl::ActivePage()) return TRect{};
  return qv::SkinTabRectOf(ItemRect(TabIndex), SideOf(TabPosition()), Style() == tsTabs, Active);
}

TRect TsPageControl::TabsRect() {
  const TRect client = Rect(0, 0, Width_, Height_);
  return qv::TabsRectOf(client, DisplayRect(), SideOf(TabPosition()), HasTabs());
}

TRect TsPageControl::PageFrameRect() {
  const TRect client = Rect(0, 0, Width_, Height_);
  return qv::PageFrameRectOf(client, DisplayRect(), SideOf(TabPosition()), HasTabs());
}

int TsPageControl::TabRow(int TabIndex) {
  const int rows = HandleAllocated() ? int(SendMessageA(Handle_, TCM_GETROWCOUNT, 0, 0)) : 0;
  if (rows < 2) return 1;
  return qv::TabRowOf(ItemRect(TabIndex), TabsRect(), SideOf(TabPosition()), rows);
}

int TsPageControl::HiddenTabsCount() {
  if (!FSkinData || !FSkinData->Skinned()) return 0;
  const int limit = Width_ - (FUpDown ? FUpDown->Width() : 0) - 3;
  int hidden = 0, tab = 0;
  for (int i = 0; i < PageCount(); ++i) {
    if (!Pages(i)->TabVisible()) continue;
    const TRect r = ItemRect(tab++);
    if (!r.IsEmpty() && (r.Right > limit || r.Right < 5)) ++hidden;
  }
  return hidden;
}

int TsPageControl::TabAtPos(TPoint P) {
  for (int i = 0; i < PageCount(); ++i) {
    TTabSheet* page = Pages(i);
    if (page->TabVisible() && SkinTabRect(page->TabIndex(), false).Contains(P)) return i;
  }
  return -1;
}

int TsPageControl::TabState(TTabSheet* Page) const {
  if (Page == TPageControl::ActivePage()) return 2;
  return HotTrack() ? 1 : 0;
}

TRect TsPageControl::CloseBtnRect(TTabSheet* Page) {
  if (!Page || !FSkinData->Skinned()) return TRect{};
  const TRect r = SkinTabRect(Page->TabIndex(), Page == TPageControl::ActivePage());
  return qv::CloseBtnRectOf(r, FBtnWidth, FBtnHeight);
}

std::string TsPageControl::FrameSectionName() const {
  const std::string& own = FSkinData->SkinSection();
  if (own != "PAGECONTROL") return own;
  static const char* const names[] = {"PAGECONTROL", "PAGECONTROLBOTTOM", "PAGECONTROLLEFT", "PAGECONTROLRIGHT"};
  return names[TabPosition() & 3];
}

TsPageControl::TTabLook TsPageControl::TabLookOf(TTabSheet* Page) const {
  TTabLook look;
  TsSkinManager* sm = FSkinData->SkinManager();
  if (!sm || !sm->Skin()) return look;
  const TacConstData& cd = sm->ConstData();
  // A skin without the top tab section paints no tab backgrounds at all (index 0 is a section).
  if (cd.TabTop.Section < 0) return look;
  auto* sheet = dynamic_cast<TsTabSheet*>(Page);
  const std::string own = sheet ? sheet->TabSkin() : std::string();
  auto byName = [&](const std::string& name) {
    look.Name = name;
    look.Section = sm->SectionIndexOf(name);
    look.Mask = look.Section >= 0 ? sm->LookupMask(look.Section, name, "BORDERSMASK") : -1;
  };
  switch (Style()) {
    case tsTabs:
      if (!own.empty()) {
        byName(own);
      } else {
        static const char* const names[] = {"TABTOP", "TABBOTTOM", "TABLEFT", "TABRIGHT"};
        const TacSectionIndexes* ix[] = {&cd.TabTop, &cd.TabBottom, &cd.TabLeft, &cd.TabRight};
        const int side = TabPosition() & 3;
        look.Name = names[side];
        look.Section = ix[side]->Section;
        look.Mask = ix[side]->Mask;
      }
      break;
    case tsButtons: byName(own.empty() ? "BUTTON" : own); break;
    case tsFlatButtons: byName(own.empty() ? "TOOLBUTTON" : own); break;
  }
  return look;
}

std::string TsPageControl::TabSectionName(TTabSheet* Page) const {
  const TTabLook look = TabLookOf(Page);
  return look.Section >= 0 && FSkinData->SkinManager()->IsMaskIndex(look.Mask) ? look.Name : std::string();
}

// ---- one tab ----------------------------------------------------------------------------------------------

void TsPageControl::PaintTab(int PageIndex, int State, TBitmap* Bmp, TPoint Offset) {
  TTabSheet* page = PageOf(PageIndex);
  if (!page || !page->TabVisible() || !Bmp) return;
  TTabSheet* active = TPageControl::ActivePage();
  const int tab = page->TabIndex();
  const TRect r0 = SkinTabRect(tab, page == active);
  // A hot tab scrolled out to the left is not painted.
  if (State == 1 && r0.Left < 0) return;
  const TRect r = SkinTabRect(tab, State == 2 && page == active);
  if (r.IsEmpty()) return;

  TsSkinManager* sm = FSkinData->SkinManager();
  const TTabLook look = TabLookOf(page);
  if (look.Section >= 0 && sm->IsMaskIndex(look.Mask)) {
    TBitmap* cache = FSkinData->CacheBmp;
    TBmpPtr tabBmp(CreateBmp24(r.Width(), r.Height()));
    const TRect at = Moved(r, Offset);
    if (State == 2 && page == active) {
      // The active tab lies over the frame and the strip as the cache holds them.
      {
        BitmapDC src(cache), dst(tabBmp.get());
        CopyBits(dst, Rect(0, 0, r.Width(), r.Height()), src, r.TopLeft());
      }
      {
        BitmapDC src(tabBmp.get()), dst(Bmp);
        CopyBits(dst, at, src, Point(0, 0));
      }
      PaintSectionItem(look.Section, look.Name, BuildCacheInfo(tabBmp.get()), true, State, at, Point(0, 0), Bmp, sm);
    } else {
      PaintSectionItem(look.Section, look.Name, BuildCacheInfo(cache), true, State, Rect(0, 0, r.Width(), r.Height()),
                       r.TopLeft(), tabBmp.get(), sm);
      BitmapDC src(tabBmp.get()), dst(Bmp);
      if (dst) {
        // Inactive tabs reach under the page frame; the frame stays over them.
        const SavedDC saved(dst);
        const TRect frame = Moved(PageFrameRect(), Offset);
        ExcludeClipRect(dst, frame.Left, frame.Top, frame.Right, frame.Bottom);
        CopyBits(dst, at, src, Point(0, 0));
      }
    }
  }
  PaintTabContent(page, State, Bmp, r, Offset, look.Section);
}

void TsPageControl::PaintTabContent(TTabSheet* Page, int State, TBitmap* Bmp, TRect R, TPoint Offset,
                                    int SectionIndex) {
  TCanvas* canvas = Bmp->Canvas();
  const bool isActive = Page == TPageControl::ActivePage();
  if (OwnerDraw()) {
    if (!OnDrawTab) return;
    BitmapDC dc(Bmp);
    if (!dc) return;
    // The handler draws in client coordinates: the bitmap's origin is moved to them.
    const SavedDC saved(dc);
    OffsetWindowOrgEx(dc, -Offset.X, -Offset.Y, nullptr);
    const CanvasOnDC bind(Canvas(), dc, Font());
    OnDrawTab(this, Page->TabIndex(), R, isActive);
    return;
  }
  R.Offset(Offset.X, Offset.Y);
  const std::string text = Page->Caption();
  // A disabled page, or a disabled control, shows its caption disabled.
  const bool enabled = Enabled() && Page->Enabled();
  if (TabPosition() == tpLeft || TabPosition() == tpRight) {
    PaintSideTabText(Page, State, Bmp, R, SectionIndex);
    return;
  }
  TsSkinManager* sm = FSkinData->SkinManager();
  canvas->SetFont(Font());
  canvas->Brush()->SetStyle(bsClear);
  // The caption keeps clear of the tab's close button.
  if (FShowCloseBtns && UsesCloseBtn(Page)) R.Right -= CloseBtnSpace() + 1;
  TCustomImageList* images = Images();
  const int image = Page->ImageIndex();
  const bool hasImage = images && image >= 0 && image < images->Count();
  const TRect tabArea = R;
  int imageWidth = 0;
  if (hasImage) {
    imageWidth = images->Width();
    const int x = R.Left + (R.Width() - (canvas->TextWidth(text) + imageWidth + 8)) / 2;
    const int y = R.Top + (R.Height() - images->Height()) / 2;
    images->Draw(canvas, x, y, image, enabled);
    R.Left += imageWidth;
  }
  WriteSectionText(canvas, text, enabled, R, DT_CENTER | DT_VCENTER | DT_SINGLELINE, SectionIndex, State != 0, sm);
  if (Focused() && State == 2 && !text.empty()) {
    TRect m = Rect(0, 0, 0, 0);
    DrawTextStr(canvas->Handle(), text, m, DT_CALCRECT | DT_SINGLELINE);
    TRect f = Bounds(tabArea.Left + (tabArea.Width() - m.Width()) / 2,
                     tabArea.Top + (tabArea.Height() - m.Height()) / 2, m.Width(), m.Height());
    f.Inflate(2, 1);
    if (hasImage) f.Offset(imageWidth / 2, 0);
    DrawFocusDots(canvas, f);
  }
}

void TsPageControl::PaintSideTabText(TTabSheet* Page, int State, TBitmap* Bmp, TRect R, int SectionIndex) {
  TCanvas* canvas = Bmp->Canvas();
  TsSkinManager* sm = FSkinData->SkinManager();
  const bool left = TabPosition() == tpLeft;
  const bool isActive = Page == TPageControl::ActivePage();
  const std::string text = Page->Caption();
  const bool enabled = Enabled() && Page->Enabled();
  // The rotated font: always "Arial" at normal weight with the control font's height; left tabs
  // read from bottom to top, right tabs from top to bottom.
  TFont* font = canvas->Font();
  font->Assign(Font());
  font->SetName("Arial");
  TFontStyles style = Font()->Style();
  style.Exclude(fsBold);
  font->SetStyle(style);
  font->SetOrientation(left ? -2700 : -900);
  if (sm && sm->IsSectionIndex(SectionIndex)) {
    const TsGeneralData& gd = sm->Section(SectionIndex);
    font->SetColor(TColor(State != 0 ? gd.HotFontColor.Text() : gd.FontColor.Text()));
  }
  if (!enabled) font->SetColor(TColor(0x808080));
  canvas->Brush()->SetStyle(bsClear);
  if (!left) R.Offset(-2, -1);
  const TSize extent = canvas->TextExtent(text);
  const int cx = extent.cx, cy = extent.cy;
  TCustomImageList* images = Images();
  const int image = Page->ImageIndex();
  const bool hasImage = images && image >= 0 && image < images->Count();
  TRect focus = R;
  if (hasImage) {
    if (isActive && State == 2) R.Offset(2, 0);
    const int iw = images->Width(), ih = images->Height();
    const int ix = R.Left + (R.Width() - iw) / 2;
    if (left) {
      const int iy = R.Bottom - (R.Height() - (ih + 4 + cx)) / 2 - ih;
      images->Draw(canvas, ix, iy, image, Enabled());
      canvas->TextRect(R, R.Left + (R.Width() - cy) / 2, iy - 4, text);
    } else {
      const int iy = R.Top + (R.Height() - (ih + 4 + cx)) / 2;
      images->Draw(canvas, ix, iy, image, Enabled());
      canvas->TextRect(R, cy + R.Left + (R.Width() - cy) / 2, iy + 4 + ih, text);
    }
    focus = R;
    focus.Inflate((cy - R.Width()) / 2, (cx - R.Height()) / 2 + 2);
    focus.Offset(0, left ? -(ih + 4) / 2 : (ih + 4) / 2);
  } else {
    if (left)
      canvas->TextRect(R, R.Left + (R.Width() - cy) / 2, R.Bottom - (R.Height() - cx) / 2, text);
    else
      canvas->TextRect(R, cy + R.Left + (R.Width() - cy) / 2, R.Top + (R.Height() - cx) / 2, text);
    focus = R;
    focus.Inflate((cy - R.Width()) / 2, (cx - R.Height()) / 2);
  }
  canvas->SetFont(Font());
  if (Focused() && State == 2 && !text.empty()) DrawFocusDots(canvas, focus);
}

// ---- painting on the window ------------------------------------------------------------------------------

void TsPageControl::PaintTabToDC(int PageIndex, int State, HDC DC) {
  TTabSheet* page = PageOf(PageIndex);
  if (!page || !page->TabVisible() || !DC) return;
  const TRect r = SkinTabRect(page->TabIndex(), State == 2);
  if (r.IsEmpty()) return;
  TBmpPtr bmp(CreateBmp24(r.Width(), r.Height()));
  PaintTab(PageIndex, State, bmp.get(), Point(-r.Left, -r.Top));
  BitmapDC src(bmp.get());
  CopyBits(DC, r, src, Point(0, 0));
  if (FShowCloseBtns && UsesCloseBtn(page)) DrawTabButton(DC, r, CloseBtnState(PageIndex, 0), src);
}

void TsPageControl::RepaintTab(int PageIndex, int State) {
  TTabSheet* page = PageOf(PageIndex);
  if (!page || !page->TabVisible() || !HandleAllocated()) return;
  const ClientDC dc(Handle_);
  if (!dc) return;
  const SavedDC saved(dc);
  const TRect r = SkinTabRect(page->TabIndex(), false);
  IntersectClipRect(dc, r.Left, r.Top, r.Right, r.Bottom);
  if (TTabSheet* active = TPageControl::ActivePage()) {
    const TRect a = SkinTabRect(active->TabIndex(), true);
    ExcludeClipRect(dc, a.Left, a.Top, a.Right, a.Bottom);
  }
  PaintTabToDC(PageIndex, State, dc);
}

void TsPageControl::PaintInactiveTabs(const TsCacheInfo& CacheInfo) {
  if (IsDying(this) || !FSkinData->CacheBmp) return;
  TBitmap* cache = FSkinData->CacheBmp;
  const TRect strip = TabsRect();
  {
    BitmapDC dst(cache);
    if (!dst) return;
    BitmapDC parent(CacheInfo.Ready ? CacheInfo.Bmp : nullptr);
    if (parent) {
      const int x = CacheInfo.X + Left_ + strip.Left, y = CacheInfo.Y + Top_ + strip.Top;
      const int w = std::min(strip.Width(), CacheInfo.Bmp->Width() - x);
      const int h = std::min(strip.Height(), CacheInfo.Bmp->Height() - y);
      if (w > 0 && h > 0) BitBlt(dst, strip.Left, strip.Top, w, h, parent, x, y, SRCCOPY);
    } else if (Parent_) {
      FillRectColor(dst, strip, TColor(ColorToRGB(Parent_->Color())));
    }
  }
  // Rows far from the pages first, so that nearer rows overlap them.
  TTabSheet* active = TPageControl::ActivePage();
  struct TTabRow {
    int Page, Row;
  };
  std::vector<TTabRow> tabs;
  const int rows = HandleAllocated() ? int(SendMessageA(Handle_, TCM_GETROWCOUNT, 0, 0)) : 1;
  const TRect tabsRect = rows > 1 ? TabsRect() : TRect{};
  for (int i = 0; i < PageCount(); ++i) {
    TTabSheet* page = Pages(i);
    if (!page->TabVisible() || page == active) continue;
    const int row = rows > 1 ? qv::TabRowOf(ItemRect(page->TabIndex()), tabsRect, SideOf(TabPosition()), rows) : 1;
    tabs.push_back({i, row});
  }
  std::stable_sort(tabs.begin(), tabs.end(), [](const TTabRow& a, const TTabRow& b) { return a.Row < b.Row; });
  for (const TTabRow& t : tabs) PaintTab(t.Page, 0, cache, Point(0, 0));
}

void TsPageControl::RepaintTabStrip(HDC DC) {
  const TsCacheInfo ci = AskParentCache(FSkinData);
  if (HasTabs()) PaintInactiveTabs(ci);
  // While the page-change animation covers the control the strip is only rebuilt in the cache:
  // the animation shows it.
  if (PageChangeAnimated() && !IsDesigning(this)) return;
  TRect strip = TabsRect();
  switch (TabPosition()) {
    case tpTop: strip.Bottom += 2; break;
    case tpBottom: strip.Top -= 2; break;
    case tpLeft: strip.Right += 2; break;
    case tpRight: strip.Left -= 2; break;
  }
  {
    BitmapDC src(FSkinData->CacheBmp);
    CopyBits(DC, strip, src, strip.TopLeft());
  }
  DrawCloseButtons(DC);
}

void TsPageControl::RepaintTabWithButton(int PageIndex, int BtnState, int TabState) {
  TTabSheet* page = PageOf(PageIndex);
  if (!page || !FShowCloseBtns || !UsesCloseBtn(page) || !page->TabVisible() || !HandleAllocated()) return;
  const TRect r = SkinTabRect(page->TabIndex(), page == TPageControl::ActivePage());
  if (r.IsEmpty()) return;
  TBmpPtr bmp(CreateBmp24(r.Width(), r.Height()));
  PaintTab(PageIndex, TabState, bmp.get(), Point(-r.Left, -r.Top));
  BitmapDC src(bmp.get());
  if (TabState != 2) {
    // The rows of the tab that lie over the frame are taken back from the cache.
    BitmapDC cache(FSkinData->CacheBmp);
    const int rows = std::min(5, r.Height());
    CopyBits(src, Rect(0, r.Height() - rows, r.Width(), r.Height()), cache, Point(r.Left, r.Bottom - rows));
  }
  // The look is kept for the paints that follow while the mouse stays on the button.
  if (BtnState > 0) {
    FBtnHotPage = PageIndex;
    FBtnHotState = BtnState;
  } else if (FBtnHotPage == PageIndex) {
    FBtnHotPage = -1;
  }
  const ClientDC dc(Handle_);
  DrawTabButton(dc, r, BtnState, src);
}

int TsPageControl::CloseBtnState(int PageIndex, int Normal) const {
  return PageIndex >= 0 && PageIndex == FBtnHotPage ? FBtnHotState : Normal;
}

// ---- close buttons ---------------------------------------------------------------------------------------

void TsPageControl::UpdateCloseBtnSkin() {
  FBtnSkinIndex = -1;
  FBtnWidth = FBtnHeight = 0;
  TsSkinManager* sm = FSkinData->SkinManager();
  if (!sm || !sm->Skin()) return;
  if (!FCloseBtnSkin.empty()) {
    FBtnSkinIndex = sm->SectionIndexOf(FCloseBtnSkin);
    if (FBtnSkinIndex >= 0) FBtnWidth = FBtnHeight = 15;
    return;
  }
  const int global = sm->ConstData().GlobalInfo;
  if (global < 0) return;
  int mask = sm->LookupMask(global, "GLOBALINFO", "SICONCLOSE");
  if (!sm->IsMaskIndex(mask)) mask = sm->LookupMask(global, "GLOBALINFO", "BICONCLOSE");
  if (!sm->IsMaskIndex(mask)) return;
  const TsMaskData& m = sm->Mask(mask);
  // A close image without frames or with a bad mask type has no size: no button is drawn.
  FBtnWidth = qv::FrameWidthOf(m.R.Width(), m.ImageCount);
  FBtnHeight = qv::FrameHeightOf(m.R.Height(), m.MaskType);
  if (FBtnWidth > 0 && FBtnHeight > 0) FBtnSkinIndex = mask;
}

void TsPageControl::DrawTabButton(HDC DC, const TRect& R, int State, HDC SrcDC) {
  if (FBtnSkinIndex < 0 || !DC || FBtnWidth <= 0 || FBtnHeight <= 0) return;
  TsSkinManager* sm = FSkinData->SkinManager();
  if (!sm || !sm->Skin()) return;
  const TRect b = qv::CloseBtnRectOf(R, FBtnWidth, FBtnHeight);
  TBmpPtr bmp(CreateBmp24(FBtnWidth, FBtnHeight));
  {
    BitmapDC dst(bmp.get());
    if (SrcDC) {
      CopyBits(dst, Rect(0, 0, FBtnWidth, FBtnHeight), SrcDC, Point(R.Width() - FBtnWidth - 1, 1));
    } else {
      BitmapDC cache(FSkinData->CacheBmp);
      CopyBits(dst, Rect(0, 0, FBtnWidth, FBtnHeight), cache, b.TopLeft());
    }
  }
  if (FCloseBtnSkin.empty()) {
    if (sm->IsMaskIndex(FBtnSkinIndex)) PaintMaskImage(bmp.get(), Point(0, 0), State, 1, sm->Mask(FBtnSkinIndex), sm);
  } else if (sm->IsSectionIndex(FBtnSkinIndex)) {
    PaintSectionItem(FBtnSkinIndex, FCloseBtnSkin, BuildCacheInfo(FSkinData->CacheBmp, b.Left, b.Top), true, State,
                     Rect(0, 0, FBtnWidth, FBtnHeight), Point(0, 0), bmp.get(), sm);
    TCanvas* c = bmp->Canvas();
    c->SetFont(Font());
    c->Font()->SetStyle(TFontStyles{fsBold});
    c->Font()->SetColor(TColor(0x0000FF));
    c->Brush()->SetStyle(bsClear);
    const TSize t = c->TextExtent("X");
    const int d = State == 2 ? 1 : 0;
    c->TextOut((FBtnWidth - t.cx) / 2 + d, (FBtnHeight - t.cy) / 2 + d, "X");
  }
  BitmapDC src(bmp.get());
  CopyBits(DC, b, src, Point(0, 0));
}

void TsPageControl::DrawCloseButtons(HDC DC) {
  if (!FShowCloseBtns) return;
  TTabSheet* active = TPageControl::ActivePage();
  int tab = 0;
  for (int i = 0; i < PageCount(); ++i) {
    TTabSheet* page = Pages(i);
    if (!page->TabVisible()) continue;
    if (UsesCloseBtn(page))
      DrawTabButton(DC, SkinTabRect(tab, page == active), CloseBtnState(i, page == active ? 2 : 0), nullptr);
    ++tab;
  }
}

// ---- paint handlers --------------------------------------------------------------------------------------

void TsPageControl::PaintMessage(TMessage& Message) {
  HDC given = reinterpret_cast<HDC>(Message.WParam);
  // A paint without a DC validates the window and paints all of it on the window's DC.
  std::optional<PaintScope> validate;
  if (!given) validate.emplace(Handle_);
  Message.Result = 0;
  if (RefreshUpdating(FSkinData) || FTabSizeChanged) return;
  const ClientDC dc(Handle_, given);
  if (!dc) return;
  const SavedDC savedAll(dc);
  NotePartlyHidden(this, FSkinData);

  TsSkinManager* sm = FSkinData->SkinManager();
  FFrameSection = FrameSectionName();
  int frameIndex = sm->SectionIndexOf(FFrameSection);
  if (frameIndex < 0) {
    // A skin without the section of the tabs' side frames the pages in the control's own.
    FFrameSection = FSkinData->SkinSection();
    frameIndex = sm->SectionIndexOf(FFrameSection);
  }
  if (frameIndex < 0) return;
  FSkinData->SkinIndex = frameIndex;

  const TsCacheInfo ci = AskParentCache(FSkinData);
  FSkinData->InitCacheBmp();
  const bool tabs = HasTabs();
  if (FSkinData->BGChanged) {
    if (tabs) PaintInactiveTabs(ci);
    if (Parent_) SharedParentColor = TColor(ColorToRGB(Parent_->Color()));
    const TRect frame = PageFrameRect();
    PaintSectionItem(frameIndex, FFrameSection, ci, false, 0, frame, Point(Left_ + frame.Left, Top_ + frame.Top),
                     FSkinData->CacheBmp, sm);
    SharedParentColor = clParentColorUnset;
    FSkinData->BGChanged = false;
  }

  TTabSheet* active = TPageControl::ActivePage();
  const int activeIndex = active ? active->PageIndex() : -1;
  {
    const SavedDC activeClip(dc);
    if (tabs && active) {
      const TRect a = SkinTabRect(active->TabIndex(), true);
      ExcludeClipRect(dc, a.Left, a.Top, a.Right, a.Bottom);
    }
    {
      const SavedDC buttonClip(dc);
      if (FShowCloseBtns) {
        // The buttons are drawn over the copy: their places are left out of it (no flicker).
        for (int i = 0; i < PageCount(); ++i) {
          TTabSheet* page = Pages(i);
          if (page == active || !page->TabVisible() || !UsesCloseBtn(page)) continue;
          const TRect b = CloseBtnRect(page);
          ExcludeClipRect(dc, b.Left, b.Top, b.Right, b.Bottom);
        }
      }
      CopyCacheExcludingChildren(this, FSkinData, Point(0, 0), Rect(0, 0, Width_, Height_), dc, true, 0, 0);
    }
    DrawCloseButtons(dc);
    PaintGraphicChildren(dc, this, Point(0, 0));
    // The hot tab keeps its look through a paint (the native control repaints hot tabs itself).
    if (tabs && HotTrack() && FHotTabIndex >= 0 && FHotTabIndex != activeIndex) PaintTabToDC(FHotTabIndex, 1, dc);
  }
  if (tabs && active) {
    PaintTabToDC(activeIndex, 2, dc);
    if (active->HandleAllocated() && active->Showing()) {
      if (Message.LParam == 1 && given) {
        const SavedDC pageOrigin(dc);
        OffsetWindowOrgEx(dc, -active->Left(), -active->Top(), nullptr);
        active->Perform(WM_PAINT, WPARAM(HDC(dc)), 1);
      } else {
        active->Perform(WM_PAINT, 0, 0);
      }
    }
  }
  validate.reset();
  FPaintedTabsCount = VisibleTabsCount();
}

void TsPageControl::PrintMessage(TMessage& Message) {
  HDC dc = reinterpret_cast<HDC>(Message.WParam);
  UpdateUpDown();
  UpdateCloseButtons();
  FSkinData->SetUpdating(false);
  if (!dc) return;
  SendMessageA(Handle_, WM_PAINT, Message.WParam, 1);
  if (Message.LParam & PRF_CHILDREN) PrintChildWindows(Handle_, dc, Message.LParam);
  Message.Result = 0;
}

void TsPageControl::NcPaintMessage(TMessage& Message) {
  TTabSheet* active = TPageControl::ActivePage();
  if (RefreshUpdating(FSkinData)) {
    Message.Result = 0;
    return;
  }
  const ClientDC dc(Handle_);
  if (!dc) return;
  const SavedDC saved(dc);
  const TRect strip = TabsRect();
  ExcludeClipRect(dc, strip.Left, strip.Top, strip.Right, strip.Bottom);
  const TRect page = active->BoundsRect();
  ExcludeClipRect(dc, page.Left, page.Top, page.Right, page.Bottom);
  if (HasTabs()) {
    const TRect a = SkinTabRect(active->TabIndex(), true);
    ExcludeClipRect(dc, a.Left, a.Top, a.Right, a.Bottom);
  }
  CopyCacheExcludingChildren(this, FSkinData, Point(0, 0), Rect(0, 0, Width_, Height_), dc, true, 0, 0);
  Message.Result = 0;
}

void TsPageControl::TabSizePending() {
  if (!FSkinData->UpdatingFlag() && HandleAllocated() && FSkinData->CacheBmp) {
    const ClientDC dc(Handle_);
    const SavedDC saved(dc);
    TRect strip = TabsRect();
    {
      BitmapDC cache(FSkinData->CacheBmp);
      CopyBits(dc, strip, cache, strip.TopLeft());
    }
    if (HasTabs()) PaintInactiveTabs(AskParentCache(FSkinData));
    {
      const SavedDC buttons(dc);
      if (FShowCloseBtns) {
        TTabSheet* active = TPageControl::ActivePage();
        for (int i = 0; i < PageCount(); ++i) {
          TTabSheet* page = Pages(i);
          if (page == active || !page->TabVisible() || !UsesCloseBtn(page)) continue;
          const TRect b = CloseBtnRect(page);
          ExcludeClipRect(dc, b.Left, b.Top, b.Right, b.Bottom);
        }
      }
      CopyCacheExcludingChildren(this, FSkinData, strip.TopLeft(), strip, dc, false, 0, 0);
    }
    // The band of the frame next to the strip.
    TRect band = strip;
    switch (TabPosition()) {
      case tpTop: band = Rect(strip.Left, strip.Bottom, strip.Right, strip.Bottom + 4); break;
      case tpBottom: band = Rect(strip.Left, strip.Top - 4, strip.Right, strip.Top); break;
      case tpLeft: band = Rect(strip.Left, strip.Top, strip.Left + 4, strip.Bottom); break;
      case tpRight: band = Rect(strip.Left - 4, strip.Top, strip.Left, strip.Bottom); break;
    }
    BitmapDC cache(FSkinData->CacheBmp);
    CopyBits(dc, band, cache, band.TopLeft());
  }
  FTabSizeChanged = false;
}
