#include "skin/windows/sSkinMenus.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include "classlib/Buttons.h"
#include "classlib/Forms.h"
#include "classlib/GdiScopes.h"
#include "classlib/core/TypInfo.h"
#include "skin/engine/PressedState.h"
#include "skin/engine/sQuorvexGraph.h"
#include "skin/engine/sStyleSimply.h"
#include "skin/windows/Hooks.h"

TBitmap* MenuBitmap = nullptr;
TBitmap* (*MenuLineImageProc)(HWND FormWnd) = nullptr;
bool PopupMenuShown = false;
TacMenuState MenuState;

namespace {

struct TBmpFree {
  void operator()(TBitmap* b) const { b->Free(); }
};
using TBmpPtr = std::unique_ptr<TBitmap, TBmpFree>;

const char* const kNoExtraLineData = "Don`t forget OnGetExtraLineData event...";
const char* const kSkinSelectItem = "SkinSelectItem";
// The system's popup frame (and, where the popup has none, the margin around its items).
constexpr int kSystemFrame = 3;
// The opacity of the menu line laid over a disabled top-line item.
constexpr int kDisabledLineOpacity = 102;
// What is left of a disabled popup item over the popup's background.
constexpr double kDisabledItemKeep = 0.4;

// The platform (NT family or not) and its major version, read once.
const OSVERSIONINFOA& OsVersion() {
  static const OSVERSIONINFOA info = [] {
    OSVERSIONINFOA vi{};
    vi.dwOSVersionInfoSize = sizeof vi;
#ifdef _MSC_VER
#pragma warning(suppress : 4996)
#endif
    GetVersionExA(&vi);
    return vi;
  }();
  return info;
}

bool IsNT() { return OsVersion().dwPlatformId == VER_PLATFORM_WIN32_NT; }
DWORD MajorVersion() { return OsVersion().dwMajorVersion; }

bool Designing(const TComponent* c) { return c && c->ComponentState().Contains(csDesigning); }

TMenuItem* FirstItemOf(TMenuItem* item) {
  TMenuItem* parent = item ? item->Parent() : nullptr;
  return parent && parent->Count() > 0 ? parent->Items(0) : item;
}

// The visible sub-items of the item's parent, in order.
std::vector<TMenuItem*> VisibleSiblings(TMenuItem* item) {
  std::vector<TMenuItem*> list;
  TMenuItem* parent = item ? item->Parent() : nullptr;
  if (!parent) return list;
  for (int i = 0; i < parent->Count(); ++i)
    if (parent->Items(i)->Visible()) list.push_back(parent->Items(i));
  return list;
}

bool RightToLeft(TMenuItem* item) {
  TMenu* menu = item ? item->GetParentMenu() : nullptr;
  return GetSystemMetrics(SM_MIDEASTENABLED) != 0 && menu && menu->BiDiMode() == bdRightToLeft;
}

std::string WithoutAmpersands(const std::string& s) {
  std::string r;
  r.reserve(s.size());
  for (char c : s)
    if (c != '&') r += c;
  return r;
}

TCustomImageList* ImagesOf(TMenuItem* item) {
  TMenu* menu = item ? item->GetParentMenu() : nullptr;
  return menu ? menu->Images() : nullptr;
}

UINT AlignmentFlag(TAlignment a) { return a == taRightJustify ? DT_RIGHT : a == taCenter ? DT_CENTER : DT_LEFT; }

// Copies a rectangle of MenuBitmap onto a DC.
void CopyFromMenuBitmap(HDC dc, int x, int y, int w, int h, int sx, int sy) {
  if (!MenuBitmap || w <= 0 || h <= 0) return;
  BitmapDC src(MenuBitmap);
  if (src.Get()) BitBlt(dc, x, y, w, h, src.Get(), sx, sy, SRCCOPY);
}

// The arrow of an item that opens a submenu, at the item's end in the colour of its text.
void SubmenuArrow(HDC dc, const TRect& r, bool rtl, bool enabled, bool hot, int skinIndex, TsSkinManager* manager) {
  const COLORREF color = manager && manager->IsSectionIndex(skinIndex)
                             ? ColorToRGB(SectionTextColor(skinIndex, enabled, hot, manager))
                             : GetSysColor(!enabled ? COLOR_GRAYTEXT
                                           : hot    ? COLOR_HIGHLIGHTTEXT
                                                    : COLOR_MENUTEXT);
  constexpr int kHalf = 3;  // the arrow is 2 * kHalf + 1 rows high and kHalf + 1 columns wide
  const int cy = (r.Top + r.Bottom) / 2;
  const int tip = rtl ? r.Left + 8 : r.Right - 8;
  GdiObject<HPEN> pen(CreatePen(PS_SOLID, 1, color));
  if (!pen) return;
  SelectedObject selected(dc, pen);
  for (int i = 0; i <= kHalf; ++i) {
    const int x = rtl ? tip + i : tip - i;
    MoveToEx(dc, x, cy - i, nullptr);
    LineTo(dc, x, cy + i + 1);
  }
}

// Text in a section's colours; without the section in the system's menu colours.
void ItemText(TCanvas* canvas, const std::string& text, bool enabled, const TRect& r, UINT flags, int skinIndex,
              bool hot, TsSkinManager* manager) {
  if (manager && manager->IsSectionIndex(skinIndex)) {
    DrawSectionText(canvas, text, enabled, r, flags, skinIndex, hot, manager);
    return;
  }
  HDC dc = canvas->Handle();
  SavedDC saved(dc);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(!enabled ? COLOR_GRAYTEXT : hot ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT));
  TRect t = r;
  DrawTextStr(dc, text, t, flags);
}

TsSkinableMenus* MakeSkinableMenus(TsSkinManager* manager) { return new TacSkinableMenus(manager); }

const bool kMakerRegistered = [] {
  CreateSkinableMenusProc = &MakeSkinableMenus;
  return true;
}();

// The handlers' entries, the same for every manager's menus.
TAdvancedMenuDrawItemEvent::Entry PopupDrawEntry() {
  return MakeMethod<&TacSkinableMenus::PopupDrawItem>(nullptr).Code();
}
TAdvancedMenuDrawItemEvent::Entry MainDrawEntry() {
  return MakeMethod<&TacSkinableMenus::MainDrawItem>(nullptr).Code();
}
TMenuMeasureItemEvent::Entry PopupMeasureEntry() {
  return MakeMethod<&TacSkinableMenus::PopupMeasureItem>(nullptr).Code();
}
TMenuMeasureItemEvent::Entry MainMeasureEntry() {
  return MakeMethod<&TacSkinableMenus::MainMeasureItem>(nullptr).Code();
}

void ClearOwnHandlers(TMenuItem* item) {
  if (TacSkinableMenus::IsOwnDrawHandler(item->OnAdvancedDrawItem)) item->OnAdvancedDrawItem = nullptr;
  if (TacSkinableMenus::IsOwnMeasureHandler(item->OnMeasureItem)) item->OnMeasureItem = nullptr;
}

// The unit's popup state goes with the program.
struct TUnitFinalization {
  ~TUnitFinalization() {
    ClearMenuState();
    delete MenuState.ExtraGlyph;
    MenuState.ExtraGlyph = nullptr;
    MenuState.ExtraSection.clear();
    MenuState.ExtraCaption.clear();
  }
} UnitFinalization;

}  // namespace

// ---- Popup state ---------------------------------------------------------------------------------------

void FreeMenuBitmap() {
  if (!MenuBitmap) return;
  TBitmap* b = MenuBitmap;
  MenuBitmap = nullptr;
  b->Free();
}

void ClearMenuState() {
  MenuState.CurrentFirstItem = nullptr;
  FreeMenuBitmap();
  MenuState.ExtraLineVisible = false;
  MenuState.ExtraDataFetched = false;
}

// ---- Item geometry ---------------------------------------------------------------------------------------

TSize MenuGlyphSize(TMenuItem* Item) {
  if (Item && Item->HasBitmap()) return TSize{Item->Bitmap()->Width(), Item->Bitmap()->Height()};
  if (TCustomImageList* images = ImagesOf(Item)) return TSize{images->Width(), images->Height()};
  return TSize{16, 16};
}

bool IsCaptionItem(TMenuItem* Item) {
  const std::string& c = Item->Caption();
  return !c.empty() && c.front() == '-' && c.back() == '-';
}

TsMenuItemType MenuItemKind(TMenuItem* Item) {
  if (Item->Caption() == "-") return smDivider;
  return IsCaptionItem(Item) ? smCaption : smNormal;
}

bool IsTopLineItem(TMenuItem* Item) {
  TMenuItem* parent = Item ? Item->Parent() : nullptr;
  return parent && !parent->Parent() && dynamic_cast<TMainMenu*>(Item->GetParentMenu()) != nullptr;
}

bool InFirstColumn(TMenuItem* Item) {
  TMenuItem* parent = Item ? Item->Parent() : nullptr;
  if (!parent) return true;
  for (int i = 0; i < parent->Count(); ++i) {
    TMenuItem* sibling = parent->Items(i);
    if (sibling->Break() != mbNone) return false;
    if (sibling == Item) break;
  }
  return true;
}

void SetMenuItemFont(TCanvas* Canvas, TMenuItem* Item) {
  if (Screen && Screen->MenuFont()) Canvas->Font()->Assign(Screen->MenuFont());
  // A menu without a form keeps the menu font's charset.
  if (TCustomForm* form = GetOwnerForm(Item ? Item->GetParentMenu() : nullptr))
    Canvas->Font()->SetCharset(form->Font()->Charset());
  TFontStyles style = Canvas->Font()->Style();
  if (Item && Item->Default())
    style.Include(fsBold);
  else
    style.Exclude(fsBold);
  Canvas->Font()->SetStyle(style);
}

TPoint PopupClientOffset(HWND Wnd) {
  RECT wr{};
  POINT origin{0, 0};
  if (!Wnd || !GetWindowRect(Wnd, &wr) || !ClientToScreen(Wnd, &origin)) return TPoint{kSystemFrame, kSystemFrame};
  return TPoint{int(origin.x - wr.left), int(origin.y - wr.top)};
}

// ---- TacSkinableMenus: set-up ----------------------------------------------------------------------------

TacSkinableMenus::TacSkinableMenus(TsSkinManager* ASkinManager) : TsSkinableMenus(ASkinManager) {}

TacSkinableMenus::~TacSkinableMenus() {
  // Items still holding this object's handlers (menus of forms the application does not own, menus
  // of no form) lose them: they would call into a freed object.
  for (TMenuItem* planted : FPlanted) {
    TMenuItem* item = TMenuItem::FromData(reinterpret_cast<ULONG_PTR>(planted));
    if (!item) continue;
    if (IsOwnDrawHandler(item->OnAdvancedDrawItem) && item->OnAdvancedDrawItem.Data() == this)
      item->OnAdvancedDrawItem = nullptr;
    if (IsOwnMeasureHandler(item->OnMeasureItem) && item->OnMeasureItem.Data() == this) item->OnMeasureItem = nullptr;
  }
}

TacSkinableMenus* SkinableMenusOf(TsSkinManager* Manager) {
  return Manager ? dynamic_cast<TacSkinableMenus*>(Manager->SkinableMenus()) : nullptr;
}

bool TacSkinableMenus::IsOwnDrawHandler(const TAdvancedMenuDrawItemEvent& Event) {
  return Event.Code() && (Event.Code() == PopupDrawEntry() || Event.Code() == MainDrawEntry());
}

bool TacSkinableMenus::IsOwnMeasureHandler(const TMenuMeasureItemEvent& Event) {
  return Event.Code() && (Event.Code() == PopupMeasureEntry() || Event.Code() == MainMeasureEntry());
}

void TacSkinableMenus::SetSkinned(bool Value) {
  if (Value == Skinned) return;
  Skinned = Value;
  InitForms(Value);
}

void TacSkinableMenus::InitForms(bool Value) {
  if (!Application || Designing(SkinManager)) return;
  for (int i = 0; i < Application->ComponentCount(); ++i) InitComponent(Application->Components(i), Value);
}

void TacSkinableMenus::InitComponent(TComponent* C, bool Value) {
  if (!C) return;
  const bool popups = Value && SkinManager && SkinManager->SkinnedPopups();
  if (auto* main = dynamic_cast<TMainMenu*>(C)) {
    PrepareMainMenu(main, Value);
    for (int i = 0; i < main->Items()->Count(); ++i) PrepareItems(main->Items()->Items(i), popups);
  } else if (auto* popup = dynamic_cast<TPopupMenu*>(C)) {
    PreparePopupMenu(popup, popups);
  } else if (auto* item = dynamic_cast<TMenuItem*>(C)) {
    if (!dynamic_cast<TMainMenu*>(item->GetParentMenu())) PrepareItems(item, popups);
  }
  for (int i = 0; i < C->ComponentCount(); ++i) InitComponent(C->Components(i), Value);
}

void TacSkinableMenus::PlantMainHandlers(TMenuItem* Item, bool Value) {
  if (!Value) {
    ClearOwnHandlers(Item);
    return;
  }
  Item->OnAdvancedDrawItem = MakeMethod<&TacSkinableMenus::MainDrawItem>(this);
  Item->OnMeasureItem = MakeMethod<&TacSkinableMenus::MainMeasureItem>(this);
  Planted(Item);
}

void TacSkinableMenus::PlantPopupHandlers(TMenuItem* Item, bool Value) {
  if (!Value) {
    ClearOwnHandlers(Item);
    return;
  }
  if (!Item->OnAdvancedDrawItem) Item->OnAdvancedDrawItem = MakeMethod<&TacSkinableMenus::PopupDrawItem>(this);
  if (!Item->OnMeasureItem) Item->OnMeasureItem = MakeMethod<&TacSkinableMenus::PopupMeasureItem>(this);
  Planted(Item);
}

void TacSkinableMenus::Planted(TMenuItem* Item) {
  // Items come and go (a window menu's skin items are made anew each time it drops): the gone
  // ones are forgotten now and then.
  if (FPlanted.size() >= 256 && FPlanted.size() >= 2 * std::size_t(TMenuItem::LiveCount()))
    std::erase_if(FPlanted, [](TMenuItem* i) { return !TMenuItem::FromData(reinterpret_cast<ULONG_PTR>(i)); });
  FPlanted.insert(Item);
}

void TacSkinableMenus::PrepareMainMenu(TMainMenu* Menu, bool Value) {
  if (!Menu || !Menu->Items()) return;
  const bool loaded = SkinManager && SkinManager->SkinData()->Active;
  for (int i = 0; i < Menu->Items()->Count(); ++i) {
    TMenuItem* item = Menu->Items()->Items(i);
    if (!Value)
      PlantMainHandlers(item, false);
    else if (loaded)
      PlantMainHandlers(item, true);
  }
  if (!Menu->IsDestroying()) Menu->SetOwnerDraw(Value);
}

void TacSkinableMenus::PrepareMainItem(TMenuItem* Item, bool Value) {
  if (!Item) return;
  if (TMenu* menu = Item->GetParentMenu()) menu->SetOwnerDraw(Value);
  if (!Value) {
    ClearOwnHandlers(Item);
  } else if (IsTopLineItem(Item)) {
    PlantMainHandlers(Item, true);
  } else if (SkinManager && SkinManager->SkinnedPopups()) {
    PlantPopupHandlers(Item, true);
  }
}

void TacSkinableMenus::PreparePopupMenu(TPopupMenu* Menu, bool Value) {
  if (!Menu) return;
  Menu->SetOwnerDraw(Value);
  TMenuAnimation animation = Menu->MenuAnimation();
  if (Value)
    animation.Include(maNone);
  else
    animation.Exclude(maNone);
  Menu->SetMenuAnimation(animation);
  PrepareItems(Menu->Items(), Value);
}

void TacSkinableMenus::PrepareItems(TMenuItem* Item, bool Value) {
  if (!Item) return;
  for (int i = 0; i < Item->Count(); ++i) {
    TMenuItem* sub = Item->Items(i);
    PlantPopupHandlers(sub, Value);
    PrepareItems(sub, Value);
  }
}

int TacSkinableMenus::GetSkinBorderWidth() {
  if (SkinBorderWidth < 0) {
    const int mask = SkinManager ? SkinManager->MaskIndexOf("MAINMENU", "BORDERSMASK") : -1;
    if (mask < 0) {
      SkinBorderWidth = 0;
    } else {
      const int width = SkinManager->Mask(mask).BorderWidth;
      SkinBorderWidth = width < 1 ? 3 : width;
    }
  }
  return SkinBorderWidth;
}

int TacSkinableMenus::ActiveExtraLineWidth() const {
  TacMenuSupport* support = SkinManager ? SkinManager->MenuSupport() : nullptr;
  return support && support->UseExtraLine && MenuState.ExtraLineVisible ? support->ExtraLineWidth : 0;
}

// ---- Measuring -------------------------------------------------------------------------------------------

namespace {

int RoundHalfEven(double v) { return int(std::nearbyint(v)); }

// The width an item asks for in a popup.
int MeasuredWidth(TacSkinableMenus& menus, TMenuItem* item, TCanvas* canvas) {
  SetMenuItemFont(canvas, item);
  std::string text;
  switch (MenuItemKind(item)) {
    case smCaption: text = "-" + item->Caption() + "-"; break;
    case smNormal: text = item->Caption() + ShortCutToText(item->ShortCut()); break;
    default: break;
  }
  TRect r{0, 0, 0, 0};
  if (!text.empty()) DrawTextStr(canvas->Handle(), text, r, DT_CALCRECT | DT_NOCLIP | DT_EXPANDTABS | DT_SINGLELINE);
  const TSize glyph = MenuGlyphSize(item);
  int width = 2 * glyph.cx + r.Width() + 3 * menus.Margin + menus.Spacing;
  if (MenuState.ExtraLineVisible && InFirstColumn(item)) width += menus.ActiveExtraLineWidth();
  return width;
}

}  // namespace

int TacSkinableMenus::MenuItemHeight(TMenuItem* Item, TCanvas* Canvas) {
  if (Item->Caption() == "-") return 2;
  SetMenuItemFont(Canvas, Item);
  const int text = RoundHalfEven(Canvas->TextHeight("W") * 1.25);
  if (IsCaptionItem(Item)) return text + 2 * Margin;
  return std::max(text, MenuGlyphSize(Item).cy) + 2 * Margin;
}

void TacSkinableMenus::PopupMeasureItem(TObject* Sender, TCanvas* ACanvas, int& Width, int& Height) {
  auto* item = dynamic_cast<TMenuItem*>(Sender);
  if (!item || item->IsDestroying() || !ACanvas) return;
  PopupMenuShown = true;
  TMenuItem* first = FirstItemOf(item);
  if (first != MenuState.CurrentFirstItem) {
    ClearMenuState();
    MenuState.CurrentFirstItem = first;
  }
  MenuState.LastItemType = MenuItemKind(item);
  if (!MenuState.ExtraDataFetched && !MenuState.FetchingExtraData && !Designing(SkinManager)) FetchExtraLineData(first);
  Width = MeasuredWidth(*this, item, ACanvas);
  Height = MenuItemHeight(item, ACanvas);
}

int TacSkinableMenus::PopupWidth(TMenuItem* FirstItem, TCanvas* Canvas) {
  int total = 0, column = 0;
  for (TMenuItem* item : VisibleSiblings(FirstItem)) {
    if (item->Break() != mbNone) {
      total += column + 4;
      column = 0;
    }
    column = std::max(column, MeasuredWidth(*this, item, Canvas) + 12);
  }
  return column + total;
}

int TacSkinableMenus::PopupHeight(TMenuItem* FirstItem, TCanvas* Canvas) {
  int best = 0, column = 0;
  for (TMenuItem* item : VisibleSiblings(FirstItem)) {
    if (item->Break() != mbNone) column = 0;
    column += MenuItemHeight(item, Canvas);
    best = std::max(best, column);
  }
  return best;
}

void TacSkinableMenus::MainMeasureItem(TObject* Sender, TCanvas* ACanvas, int& Width, int& Height) {
  auto* item = dynamic_cast<TMenuItem*>(Sender);
  if (!item || !ACanvas) return;
  Height = GetSystemMetrics(SM_CYMENU) - 1;
  SetMenuItemFont(ACanvas, item);
  Width = ACanvas->TextWidth(WithoutAmpersands(item->Caption()));
  if (TCustomImageList* images = ImagesOf(item); images && item->ImageIndex() >= 0) Width += images->Width() + 6;
}

// ---- Extra line and popup background -----------------------------------------------------------------------

void TacSkinableMenus::FetchExtraLineData(TMenuItem* FirstItem) {
  if (FirstItem && FirstItem->Name() == kSkinSelectItem) {
    MenuState.ExtraLineVisible = false;
    return;
  }
  MenuState.FetchingExtraData = true;
  MenuState.ExtraSection = "EXTRALINE";
  delete MenuState.ExtraGlyph;
  MenuState.ExtraGlyph = nullptr;
  MenuState.ExtraCaption = kNoExtraLineData;
  MenuState.ExtraLineVisible = true;
  struct TFetchEnd {
    ~TFetchEnd() { MenuState.FetchingExtraData = false; }
  } fetchEnd;
  if (SkinManager && SkinManager->OnGetMenuExtraLineData) {
    // The glyph handed back stays the application's: the line paints a copy of it.
    TBitmap* glyph = nullptr;
    bool visible = true;
    SkinManager->OnGetMenuExtraLineData(FirstItem, MenuState.ExtraSection, MenuState.ExtraCaption, glyph, visible);
    MenuState.ExtraLineVisible = visible;
    if (glyph && !glyph->Empty()) {
      MenuState.ExtraGlyph = new TBitmap();
      MenuState.ExtraGlyph->Assign(glyph);
    }
  }
  MenuState.ExtraCaption = WithoutAmpersands(MenuState.ExtraCaption);
  if (!MenuState.ExtraLineVisible) {
    delete MenuState.ExtraGlyph;
    MenuState.ExtraGlyph = nullptr;
  }
  MenuState.ExtraDataFetched = true;
}

void TacSkinableMenus::PaintExtraLine(int Height) {
  TacMenuSupport* support = SkinManager->MenuSupport();
  const int section = SkinManager->SectionIndexOf(MenuState.ExtraSection);
  if (!support->UseExtraLine || !MenuState.ExtraLineVisible || section < 0) return;
  const int border = GetSkinBorderWidth();
  const int sw = support->ExtraLineWidth, sh = Height - 2 * border;
  if (sw <= 0 || sh <= 0) return;
  TBmpPtr strip(CreateBmp24(sw, sh));
  PaintSectionItem(section, MenuState.ExtraSection, EmptyCacheInfo, true, 0, TRect{0, 0, sw, sh}, TPoint{0, 0},
                   strip.get(), SkinManager);
  {
    BitmapDC dc(strip.get());
    int reserve = 12;
    if (TBitmap* glyph = MenuState.ExtraGlyph) {
      reserve = 12 + glyph->Height() + 8;
      DrawGlyphFrame(dc.Get(), glyph, 1, 0, (sw - glyph->Width()) / 2, sh - 12 - glyph->Height());
    }
    if (!MenuState.ExtraCaption.empty()) {
      // The caption runs from bottom to top.
      TFont* source = support->ExtraLineFont();
      LOGFONTA lf = source->LogFont();
      lf.lfHeight = source->Size();
      lf.lfWidth = 0;
      lf.lfWeight = FW_NORMAL;
      lf.lfEscapement = -2700;
      lf.lfOrientation = -2700;
      GdiObject<HFONT> font(CreateFontIndirectA(&lf));
      if (font.Get()) {
        SavedDC saved(dc.Get());
        SelectObject(dc.Get(), font.Get());
        SetBkMode(dc.Get(), TRANSPARENT);
        SetTextColor(dc.Get(), COLORREF(SkinManager->Section(section).FontColor.Text() & 0xFFFFFF));
        TEXTMETRICA tm{};
        GetTextMetricsA(dc.Get(), &tm);
        const std::string& text = MenuState.ExtraCaption;
        TextOutA(dc.Get(), (sw - int(tm.tmHeight)) / 2, sh - reserve, text.c_str(), int(text.size()));
      }
    }
    BitmapDC dst(MenuBitmap);
    BitBlt(dst.Get(), border, border, sw, sh, dc.Get(), 0, 0, SRCCOPY);
  }
  delete MenuState.ExtraGlyph;
  MenuState.ExtraGlyph = nullptr;
}

void TacSkinableMenus::PreparePopupBitmap(TMenuItem* FirstItem, int Width, int Height, HWND Wnd) {
  if (MenuBitmap && FirstItem == MenuState.CurrentFirstItem) return;
  if (!SkinManager || Width <= 0 || Height <= 0) return;
  if (!MenuState.ExtraDataFetched && !MenuState.FetchingExtraData && !Designing(SkinManager))
    FetchExtraLineData(FirstItem);
  MenuState.CurrentFirstItem = FirstItem;
  FreeMenuBitmap();
  MenuBitmap = CreateBmp24(Width, Height);
  MenuState.TextStart = Margin + MenuGlyphSize(FirstItem).cx + Spacing;

  // Background and frame of the popup (the global colour where the skin has no popup section).
  FillBmpRect(MenuBitmap, TRect{0, 0, Width, Height}, SkinManager->GetGlobalColor());
  const int mainMenu = SkinManager->SectionIndexOf("MAINMENU");
  if (mainMenu >= 0)
    PaintSectionItem(mainMenu, "MAINMENU", EmptyCacheInfo, true, 0, TRect{0, 0, Width, Height}, TPoint{0, 0},
                     MenuBitmap, SkinManager);

  PaintExtraLine(Height);

  // The icon column.
  const std::string& icoLine = SkinManager->MenuSupport()->IcoLineSkin;
  const int icoSection = icoLine.empty() ? -1 : SkinManager->SectionIndexOf(icoLine);
  const int border = GetSkinBorderWidth();
  if (icoSection >= 0 && MenuState.TextStart > 0 && Height - 2 * border > 0) {
    TBmpPtr strip(CreateBmp24(MenuState.TextStart, Height - 2 * border));
    PaintSectionItem(icoSection, icoLine, EmptyCacheInfo, true, 0, TRect{0, 0, strip->Width(), strip->Height()},
                     TPoint{0, 0}, strip.get(), SkinManager);
    BitmapDC src(strip.get());
    BitmapDC dst(MenuBitmap);
    BitBlt(dst.Get(), ActiveExtraLineWidth() + border, border, strip->Width(), strip->Height(), src.Get(), 0, 0,
           SRCCOPY);
  }

  // The transparent corners of the popup's frame.
  MenuRegionRects.clear();
  const int mask = mainMenu >= 0 ? SkinManager->LookupMask(mainMenu, "MAINMENU", "BORDERSMASK") : -1;
  if (mask >= 0) {
    const TsMaskData& m = SkinManager->Mask(mask);
    CollectCornerRects(MenuRegionRects, Width, m, false, 0, SkinManager);
    CollectCornerRects(MenuRegionRects, Width, m, true, Height - SkinManager->MaskMarginBottom(mask), SkinManager);
  }
  if (Wnd) HookPopupWindow(Wnd, MenuBitmap);
}

// ---- Popup windows --------------------------------------------------------------------------------------

void TacSkinableMenus::HookPopupWindow(HWND Wnd) { HookPopupWindow(Wnd, MenuBitmap); }

void TacSkinableMenus::HookPopupWindow(HWND Wnd, TBitmap* Bitmap) {
  if (InHook || !Wnd || !IsWindow(Wnd)) return;
  if (reinterpret_cast<WNDPROC>(GetWindowLongPtrA(Wnd, GWLP_WNDPROC)) != &PopupWndProc) {
    SetWindowLongPtrA(Wnd, GWLP_USERDATA, GetWindowLongPtrA(Wnd, GWLP_WNDPROC));
    SetWindowLongPtrA(Wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&PopupWndProc));
  }
  if (IsNT() && Bitmap && !Bitmap->Empty() && SendSkinCommand(Wnd, QC_SETUPDATING) == 0) {
    SendSkinCommand(Wnd, QC_POPUPREGION);
    InHook = true;
    struct TInHookEnd {
      bool& Flag;
      ~TInHookEnd() { Flag = false; }
    } inHookEnd{InHook};
    OwnedRegion region(CreateRectRgn(0, 0, Bitmap->Width(), Bitmap->Height()));
    if (!region.Get()) return;
    // Without corners the region is the whole rectangle.
    for (const TRect& r : MenuRegionRects) {
      OwnedRegion cut(CreateRectRgn(r.Left, r.Top, r.Right, r.Bottom));
      if (cut.Get()) CombineRgn(region, region, cut, RGN_DIFF);
    }
    // The window owns the region once it has it.
    if (SetWindowRgn(Wnd, region, TRUE)) region.Release();
  }
  InHook = false;
}

LRESULT CALLBACK PopupWndProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
  auto old = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(Wnd, GWLP_USERDATA));
  auto passOn = [&] {
    return old ? CallWindowProcA(old, Wnd, Msg, WParam, LParam) : DefWindowProcA(Wnd, Msg, WParam, LParam);
  };
  try {
    switch (Msg) {
      case WM_DESTROY: ClearMenuState(); return passOn();
      case WM_ERASEBKGND: return 1;
      case WM_NCPAINT: {
        if (MajorVersion() >= 6) {
          RECT r{};
          GetWindowRect(Wnd, &r);
          if (MenuBitmap && MenuBitmap->Width() == r.right - r.left && MenuBitmap->Height() == r.bottom - r.top)
            return 1;
          passOn();
        }
        return 1;
      }
      default: return passOn();
    }
  } catch (...) {
    HandleBoundaryException(nullptr);
    return 0;
  }
}

// ---- Popup item drawing ----------------------------------------------------------------------------------

void TacSkinableMenus::PaintFrameBands(HWND Wnd, TMenuItem* Item, const TRect& ARect, int FirstColumn) {
  if (!MenuBitmap) return;
  WindowDC dc(Wnd);
  BitmapDC src(MenuBitmap);
  if (!dc.Get() || !src.Get()) return;
  const int w = MenuBitmap->Width(), h = MenuBitmap->Height();
  const TPoint off = MenuState.ClientOffset;
  const std::vector<TMenuItem*> visible = VisibleSiblings(Item);
  if (!visible.empty() && visible.front() == Item) BitBlt(dc.Get(), 0, 0, w, BorderWidth, src.Get(), 0, 0, SRCCOPY);
  if (!visible.empty() && visible.back() == Item)
    BitBlt(dc.Get(), 0, h - BorderWidth, w, BorderWidth, src.Get(), 0, h - BorderWidth, SRCCOPY);
  const int y = off.Y + ARect.Top;
  const int left = std::max(BorderWidth, GetSkinBorderWidth()) + ActiveExtraLineWidth() * FirstColumn;
  BitBlt(dc.Get(), 0, y, left, ARect.Height(), src.Get(), 0, y, SRCCOPY);
  BitBlt(dc.Get(), w - BorderWidth, y, BorderWidth, ARect.Height(), src.Get(), w - BorderWidth, y, SRCCOPY);
}

void TacSkinableMenus::FillColumnGaps(TCanvas* Canvas, TMenuItem* Item, const TRect& ARect) {
  if (!MenuBitmap) return;
  const TPoint off = MenuState.ClientOffset;
  // The bottom of the items' area, in the canvas's coordinates.
  const int bottom = MenuBitmap->Height() - off.Y - kSystemFrame;
  const std::vector<TMenuItem*> visible = VisibleSiblings(Item);
  auto it = std::find(visible.begin(), visible.end(), Item);
  if (it == visible.end()) return;
  const bool last = std::next(it) == visible.end();
  const bool columnEnds = !last && (*std::next(it))->Break() != mbNone;
  HDC dc = Canvas->Handle();
  if ((columnEnds || last) && ARect.Bottom < bottom)
    CopyFromMenuBitmap(dc, ARect.Left, ARect.Bottom, ARect.Width(), bottom - ARect.Bottom, ARect.Left + off.X,
                       ARect.Bottom + off.Y);
  if (Item->Break() != mbNone)
    CopyFromMenuBitmap(dc, ARect.Left - 4, ARect.Top, 4, bottom - ARect.Top, ARect.Left - 4 + off.X, ARect.Top + off.Y);
  Canvas->Changed();
}

void TacSkinableMenus::PaintCheckMark(TBitmap* Image, TMenuItem* Item, bool Hot) {
  int mask = SkinManager->MaskIndexOf("GLOBALINFO", Item->RadioItem() ? "RADIOCHECKED" : "CHECK");
  if (mask < 0) mask = SkinManager->MaskIndexOf("GLOBALINFO", "BOXCHECKED");
  if (mask < 0) return;
  const TsMaskData& m = SkinManager->Mask(mask);
  const int frameHeight = m.FrameHeight();
  PaintMaskImage(Image, TPoint{Margin, (Image->Height() - frameHeight) / 2}, Hot ? 1 : 0, 1, m, SkinManager);
}

void TacSkinableMenus::PaintItemGlyph(TBitmap* Image, TMenuItem* Item) {
  const bool rtl = RightToLeft(Item);
  TCustomImageList* images = ImagesOf(Item);
  if (!Item->HasBitmap() && images && Item->ImageIndex() >= 0) {
    const int y = (Image->Height() - images->Height()) / 2;
    const int x = rtl ? Image->Width() - y - images->Width() : y;
    images->Draw(Image->Canvas(), x, y, Item->ImageIndex(), true);
  } else if (Item->HasBitmap()) {
    TBitmap* glyph = Item->Bitmap();
    const int y = (Image->Height() - glyph->Height()) / 2;
    const int x = rtl ? Image->Width() - y - glyph->Width() : y;
    BitmapDC dc(Image);
    DrawGlyphFrame(dc.Get(), glyph, 1, 0, x, y);
  }
}

void TacSkinableMenus::PopupDrawItem(TObject* Sender, TCanvas* ACanvas, TRect ARect, TOwnerDrawState State) {
  auto* item = dynamic_cast<TMenuItem*>(Sender);
  if (!SkinManager || !item || !ACanvas || ARect.IsEmpty()) return;
  TMenuItem* first = FirstItemOf(item);
  const int firstColumn = MenuState.ExtraDataFetched && InFirstColumn(item) ? 1 : 0;
  if (first != MenuState.CurrentFirstItem) ClearMenuState();

  // A speed button's drop-down menu is showing: the hints its press switched off come back.
  if (DroppedDownButton()) {
    RestoreHints(HintsSwitchedOffBy());
    ClearDroppedDownButton();
  }

  // The popup window and its size.
  HWND wnd = IsNT() ? WindowFromDC(ACanvas->Handle()) : nullptr;
  int width = 0, height = 0;
  RECT wr{};
  if (wnd && GetWindowRect(wnd, &wr)) {
    width = wr.right - wr.left;
    height = wr.bottom - wr.top;
    MenuState.ClientOffset = PopupClientOffset(wnd);
  } else {
    wnd = nullptr;
    width = PopupWidth(first, ACanvas) + 2 * BorderWidth;
    height = PopupHeight(first, ACanvas) + 2 * BorderWidth;
    MenuState.ClientOffset = TPoint{kSystemFrame, kSystemFrame};
  }
  PreparePopupBitmap(first, width, height, wnd);
  if (!MenuBitmap) return;

  if (wnd) {
    PaintFrameBands(wnd, item, ARect, firstColumn);
  } else if (Application && Application->Handle()) {
    // The window is found by the manager's application hook once the message arrives.
    MSG pending;
    HWND app = Application->Handle();
    if (!PeekMessageA(&pending, app, WM_POPUPMENUSHOWN, WM_POPUPMENUSHOWN2, PM_NOREMOVE))
      PostMessageA(app, WM_POPUPMENUSHOWN, 0, reinterpret_cast<LPARAM>(item));
  }

  switch (MenuItemKind(item)) {
    case smDivider:
      MenuState.LastItemType = smDivider;
      DrawSeparator(ACanvas, ARect);
      return;
    case smCaption:
      MenuState.LastItemType = smCaption;
      DrawCaptionItem(ACanvas, item, ARect);
      return;
    default: break;
  }

  MenuState.LastItemType = smNormal;
  FillColumnGaps(ACanvas, item, ARect);

  const int extra = ActiveExtraLineWidth() * firstColumn;
  const int w = ARect.Width() - extra, h = ARect.Height();
  if (w <= 0 || h <= 0) return;
  const TPoint off = MenuState.ClientOffset;
  const TPoint place{ARect.Left + extra, ARect.Top};  // the image's place on the canvas
  TBmpPtr image(CreateBmp24(w, h));
  const bool enabled = item->Enabled();
  const bool selected = enabled && State.Contains(odSelected);
  const bool hot = enabled && (State.Contains(odSelected) || State.Contains(odHotLight));
  {
    BitmapDC dc(image.get());
    CopyFromMenuBitmap(dc.Get(), 0, 0, w, h, place.X + off.X, place.Y + off.Y);
  }
  const int section = SkinManager->SectionIndexOf("MENUITEM");
  if (section >= 0)
    PaintSectionItem(section, "MENUITEM", BuildCacheInfo(MenuBitmap, off.X, off.Y), true, selected ? 1 : 0,
                     TRect{0, 0, w, h}, place, image.get(), SkinManager);
  if (State.Contains(odChecked)) PaintCheckMark(image.get(), item, selected);
  const int glyphWidth = MenuGlyphSize(item).cx;
  PaintItemGlyph(image.get(), item);

  // Caption and shortcut.
  BitmapDC imageDC(image.get());
  TCanvas* canvas = image->Canvas();
  SetMenuItemFont(canvas, item);
  if (State.Contains(odDefault)) {
    TFontStyles style = canvas->Font()->Style();
    style.Include(fsBold);
    canvas->Font()->SetStyle(style);
  }
  const bool rtl = RightToLeft(item);
  TRect textRect{0, 0, w, h};
  if (rtl)
    textRect.Right -= glyphWidth + 2 * Margin + Spacing;
  else
    textRect.Left += glyphWidth + 2 * Margin + Spacing;
  std::string text = item->Caption();
  UINT flags = AlignmentFlag(Alignment);
  if (!text.empty() && text.front() == '\x08') {
    flags = DT_RIGHT;
    text = text.substr(1) + "      ";
  }
  flags |= DT_EXPANDTABS | DT_SINGLELINE | DT_VCENTER | DT_NOCLIP;
  if (rtl) flags |= DT_RIGHT;
  if (State.Contains(odNoAccel)) flags |= DT_HIDEPREFIX;
  ItemText(canvas, text, enabled, textRect, flags, section, hot, SkinManager);
  const std::string shortcut = ShortCutToText(item->ShortCut());
  if (!shortcut.empty()) {
    const int tw = canvas->TextWidth(shortcut);
    TRect r{w - tw - (rtl ? 6 : 8), 0, w - 8, h};
    r.Offset(-ActiveExtraLineWidth(), 0);
    ItemText(canvas, shortcut, enabled, r, DT_SINGLELINE | DT_VCENTER, section, hot, SkinManager);
  }
  if (item->Count() > 0) SubmenuArrow(canvas->Handle(), TRect{0, 0, w, h}, rtl, enabled, hot, section, SkinManager);
  if (OnDrawItem) OnDrawItem(item, canvas, TRect{0, 0, w, h}, State, MenuState.LastItemType);

  // A disabled item shows 40 % of itself over the popup's background.
  if (!enabled)
    BlendRectKeyed(image.get(), 0, 0, MenuBitmap,
                   TRect{place.X + off.X, place.Y + off.Y, place.X + off.X + w, place.Y + off.Y + h}, kDisabledItemKeep,
                   TColor(0xFF00FF));

  HDC target = ACanvas->Handle();
  BitBlt(target, place.X, place.Y, w, h, canvas->Handle(), 0, 0, SRCCOPY);
  if (item == first && ActiveExtraLineWidth() > 0 && (!IsNT() || MajorVersion() >= 6))
    CopyFromMenuBitmap(target, 0, 0, extra + kSystemFrame, MenuBitmap->Height(), off.X, off.Y);
  // The item is whole: the system's submenu arrow (drawn after the item, in the system's colours on
  // a box of its own) stays off it.
  ExcludeClipRect(target, ARect.Left, ARect.Top, ARect.Right, ARect.Bottom);
  ACanvas->Changed();
}

void TacSkinableMenus::DrawSeparator(TCanvas* Canvas, const TRect& ARect) {
  int mask = -1;
  const int divider = SkinManager->SectionIndexOf("DIVIDERV");
  if (divider >= 0) {
    mask = SkinManager->LookupMask(divider, "DIVIDERV", "BORDERSMASK");
  } else {
    const int trackBar = SkinManager->SectionIndexOf("TRACKBAR");
    mask = trackBar >= 0 ? SkinManager->LookupMask(trackBar, "TRACKBAR", "SLIDERCHANNEL") : -1;
  }
  if (mask < 0 || !MenuBitmap) {
    TRect r = ARect;
    int width = 1;
    PaintFrame3D(Canvas->Handle(), r, clGray, clWhite, width);
    Canvas->Changed();
    return;
  }
  const int w = ARect.Width(), h = ARect.Height();
  if (w <= 0 || h <= 0) return;
  const TPoint off = MenuState.ClientOffset;
  TBmpPtr image(CreateBmp24(w, h));
  {
    BitmapDC dc(image.get());
    CopyFromMenuBitmap(dc.Get(), 0, 0, w, h, ARect.Left + off.X, ARect.Top + off.Y);
  }
  const int extra = ActiveExtraLineWidth();
  TRect line{extra + Margin + Spacing, 0, w - (extra + 2 * Margin + Spacing), h};
  if (extra + MenuState.TextStart > line.Left) line.Left = extra + MenuState.TextStart + 2;
  PaintMaskRect(image.get(), line, true, BuildCacheInfo(image.get()), SkinManager->Mask(mask), 0, true, SkinManager);
  BitmapDC src(image.get());
  BitBlt(Canvas->Handle(), ARect.Left, ARect.Top, w, h, src.Get(), 0, 0, SRCCOPY);
  Canvas->Changed();
}

void TacSkinableMenus::DrawCaptionItem(TCanvas* Canvas, TMenuItem* Item, const TRect& ARect) {
  const int w = ARect.Width(), h = ARect.Height();
  if (w <= 0 || h <= 0) return;
  const TPoint off = MenuState.ClientOffset;
  const int extra = ActiveExtraLineWidth();
  TBmpPtr image(CreateBmp24(w, h));
  // The popup's background under the whole item: the extra line's part and the one-pixel border
  // band stay so.
  {
    BitmapDC dc(image.get());
    CopyFromMenuBitmap(dc.Get(), 0, 0, w, h, ARect.Left + off.X, ARect.Top + off.Y);
  }
  const TRect inner{extra + 1, 1, w - 1, h - 1};
  const int toolBar = SkinManager->SectionIndexOf("TOOLBAR");
  if (toolBar >= 0 && MenuBitmap)
    PaintSectionItem(toolBar, "TOOLBAR", BuildCacheInfo(MenuBitmap, off.X, off.Y), true, 0, inner,
                     TPoint{ARect.Left + inner.Left, ARect.Top + inner.Top}, image.get(), SkinManager);
  BitmapDC imageDC(image.get());
  TCanvas* canvas = image->Canvas();
  canvas->Font()->Assign(CaptionFont);
  ItemText(canvas, ExtractWord(1, Item->Caption(), "-"), true, TRect{extra, 0, w, h},
           DT_CENTER | DT_VCENTER | DT_SINGLELINE, toolBar, false, SkinManager);
  BitBlt(Canvas->Handle(), ARect.Left, ARect.Top, w, h, canvas->Handle(), 0, 0, SRCCOPY);
  Canvas->Changed();
}

// ---- Main-menu line ---------------------------------------------------------------------------------------

void TacSkinableMenus::MainDrawItem(TObject* Sender, TCanvas* ACanvas, TRect ARect, TOwnerDrawState State) {
  auto* item = dynamic_cast<TMenuItem*>(Sender);
  if (!SkinManager || !item || !ACanvas) return;
  TMenu* menu = item->GetParentMenu();
  HWND formWnd = nullptr;
  if (TCustomForm* form = GetOwnerForm(menu); form && form->HandleAllocated()) formWnd = form->Handle();
  TBitmap* lineImage = MenuLineImageProc ? MenuLineImageProc(formWnd) : nullptr;
  if (!lineImage) {
    // No provider draws the menu line: the class library's look.
    item->DrawPlainItem(ACanvas, ARect, State, true);
    return;
  }
  const int w = ARect.Width(), h = ARect.Height();
  if (w <= 0 || h <= 0) return;

  // Where the item lies in the line's background: the line starts at its first item's top.
  TPoint linePlace{ARect.Left, 0};
  if (formWnd && menu) {
    RECT first{}, wr{};
    if (GetMenuItemRect(formWnd, menu->Handle(), 0, &first) && GetWindowRect(formWnd, &wr))
      linePlace.Y = ARect.Top - (first.top - wr.top);
  }
  const TsCacheInfo lineCache = BuildCacheInfo(lineImage);
  const bool enabled = item->Enabled();
  const bool hot = State.Contains(odSelected) || State.Contains(odHotLight);
  const int section = SkinManager->SectionIndexOf("MENUITEM");

  // A disabled item is drawn into an image first.
  TBmpPtr image(enabled ? nullptr : CreateBmp24(w, h));
  BitmapDC imageDC(image.get());
  TCanvas* canvas = image ? image->Canvas() : ACanvas;
  const TRect r = image ? TRect{0, 0, w, h} : ARect;
  // An item at rest lies on the line itself (the item section's own colour would cut the line into
  // boxes); a hot one shows the item section's hot look.
  if (hot && section >= 0) {
    if (image)
      PaintSectionItem(section, "MENUITEM", lineCache, true, 1, r, linePlace, image.get(), SkinManager);
    else
      PaintSectionItemToDC(section, "MENUITEM", lineCache, true, 1, r, linePlace, ACanvas->Handle(), SkinManager);
  } else {
    BitmapDC line(lineImage);
    if (line) BitBlt(canvas->Handle(), r.Left, r.Top, w, h, line, linePlace.X, linePlace.Y, SRCCOPY);
  }

  // The glyph.
  const bool rtl = RightToLeft(item);
  TRect glyphRect{};
  TCustomImageList* images = ImagesOf(item);
  if (item->HasBitmap()) {
    TBitmap* glyph = item->Bitmap();
    const int x = rtl ? r.Right - 3 - glyph->Width() : r.Left + 3;
    const int y = r.Top + (h - glyph->Height()) / 2;
    glyphRect = TRect{x, y, x + glyph->Width() - 1, y + glyph->Height()};
    DrawGlyphFrame(canvas->Handle(), glyph, 1, 0, x, y);
  } else if (images && item->ImageIndex() >= 0) {
    const int x = rtl ? r.Right - 3 - images->Width() : r.Left + 3;
    const int y = r.Top + (h - images->Height()) / 2;
    glyphRect = TRect{x, y, x + images->Width() + 3, y + images->Height()};
    images->Draw(canvas, x, y, item->ImageIndex(), enabled);
  }

  SetMenuItemFont(canvas, item);
  TFontStyles style;
  if (State.Contains(odDefault)) style.Include(fsBold);
  canvas->Font()->SetStyle(style);
  TRect textRect{r.Left + Margin, r.Top, r.Right - Margin, r.Bottom};
  if (rtl)
    textRect.Right -= glyphRect.Width();
  else
    textRect.Left += glyphRect.Width();
  UINT flags = AlignmentFlag(Alignment) | DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_EXPANDTABS | DT_NOCLIP;
  if (State.Contains(odNoAccel)) flags |= DT_HIDEPREFIX;
  ItemText(canvas, item->Caption(), enabled, textRect, flags, SkinManager->SectionIndexOf("MENULINE"), enabled && hot,
           SkinManager);
  if (OnDrawItem) OnDrawItem(item, canvas, glyphRect, State, smTopLine);

  if (image) {
    BlendBitmapRect(image.get(), lineImage, kDisabledLineOpacity,
                    TRect{linePlace.X, linePlace.Y, linePlace.X + w, linePlace.Y + h}, TPoint{0, 0});
    BitBlt(ACanvas->Handle(), ARect.Left, ARect.Top, w, h, canvas->Handle(), 0, 0, SRCCOPY);
  }
  ACanvas->Changed();
}

// ---- Published properties ----------------------------------------------------------------------------------

namespace {
const bool kMenusProps = RegisterProperties<TacSkinableMenus, TPersistent>([](auto& p) {
  p.Ord("Margin", &TacSkinableMenus::GetMargin, &TacSkinableMenus::SetMargin);
  p.Ord("Alignment", &TacSkinableMenus::GetAlignment, &TacSkinableMenus::SetAlignment);
  p.Ord("BevelWidth", &TacSkinableMenus::GetBevelWidth, &TacSkinableMenus::SetBevelWidth);
  p.Ord("BorderWidth", &TacSkinableMenus::GetBorderWidth, &TacSkinableMenus::SetBorderWidth);
  p.Obj("CaptionFont", &TacSkinableMenus::GetCaptionFont, &TacSkinableMenus::SetCaptionFont);
  p.Ord("SkinBorderWidth", &TacSkinableMenus::GetSkinBorderWidth, &TacSkinableMenus::SetSkinBorderWidth);
  p.Ord("Spacing", &TacSkinableMenus::GetSpacing, &TacSkinableMenus::SetSpacing);
  p.Method("OnDrawItem", &TacSkinableMenus::GetOnDrawItem, &TacSkinableMenus::SetOnDrawItem);
});
}  // namespace
