// The grid adapters: the edit adapter's frame and bars, and the grid's own colours by published
// property name, kept per grid (and per column where a grid keeps them so) and given back exactly.
#include "skin/windows/acSBUtils.h"

#include "classlib/core/TypInfo.h"
#include "skin/windows/acSBUtils/Internal.h"

using namespace acsb;

namespace {

// The grid family that keeps a fixed font and colours per column.
bool IsAdvGrid(const TControl* c) { return c && std::string(c->ClassName()) == "TDBAdvGrid"; }

TFont* FontProp(TObject* o, const char* name) { return dynamic_cast<TFont*>(GetObjPropByName(o, name)); }

TCollection* ColumnsOf(TControl* c) { return dynamic_cast<TCollection*>(GetObjPropByName(c, "Columns")); }

void KeepOrd(TObject* o, const char* name, TColor& to) {
  if (HasPropByName(o, name)) to = TColor(GetOrdPropByName(o, name));
}

void SetOrd(TObject* o, const char* name, TColor color) {
  if (color != clNone && HasPropByName(o, name) && TColor(GetOrdPropByName(o, name)) != color)
    SetOrdPropByName(o, name, color);
}

void SetFontColor(TFont* f, TColor color) {
  if (f && color != clNone && f->Color() != color) f->SetColor(color);
}

}  // namespace

void TacGridWnd::StoreOriginalColors() {
  TacEditWnd::StoreOriginalColors();
  TControl* c = SkinData ? SkinData->OwnerControl : nullptr;
  if (!c) return;
  KeepOrd(c, "FixedColor", SavedFixedColor);
  KeepOrd(c, "FooterColor", SavedFooterColor);
  KeepOrd(c, "FooterCellColor", SavedFooterCellColor);
  KeepOrd(c, "TitleColor", SavedTitleColor);
  KeepOrd(c, "IndicatorIconColor", SavedIndicatorIconColor);
  if (TFont* f = FontProp(c, "TitleFont")) SavedTitleFontColor = f->Color();
  SavedColumns.clear();
  if (IsAdvGrid(c)) {
    if (TFont* f = FontProp(c, "FixedFont")) SavedFixedFontColor = f->Color();
    if (TCollection* columns = ColumnsOf(c))
      for (int i = 0; i < columns->Count(); ++i) {
        TCollectionItem* column = columns->Items(i);
        TColumnColors kept;
        if (TFont* f = FontProp(column, "HeaderFont")) kept.HeaderFont = f->Color();
        if (TFont* f = FontProp(column, "Font")) kept.Font = f->Color();
        KeepOrd(column, "Color", kept.Color);
        SavedColumns.push_back(kept);
      }
  }
  ColorsSaved_ = true;
}

void TacGridWnd::ApplySkinColors() {
  if (!ColorsSaved_) StoreOriginalColors();
  TacEditWnd::ApplySkinColors();
  TControl* c = SkinData ? SkinData->OwnerControl : nullptr;
  TsSkinManager* sm = SkinData ? SkinData->SkinManager() : nullptr;
  if (!c || !sm || !sm->Skin()) return;
  const bool section = sm->IsSectionIndex(SkinData->SkinIndex);
  const TColor global = sm->GetGlobalColor();
  // A skin without a global font colour leaves the title fonts alone.
  const TColor globalFont = sm->GetGlobalFontColor() == clParentColorUnset ? clNone : sm->GetGlobalFontColor();
  const TColor color = section ? TColor(sm->Section(SkinData->SkinIndex).Color) : clNone;
  const TColor fontColor = section ? TColor(sm->Section(SkinData->SkinIndex).FontColor.Text()) : clNone;
  const TColor hotFontColor = section ? TColor(sm->Section(SkinData->SkinIndex).HotFontColor.Text()) : clNone;
  SetOrd(c, "FixedColor", global);
  SetFontColor(FontProp(c, "TitleFont"), globalFont);
  if (IsAdvGrid(c)) {
    SetFontColor(FontProp(c, "FixedFont"), globalFont);
    if (TCollection* columns = ColumnsOf(c))
      for (int i = 0; i < columns->Count(); ++i) {
        TCollectionItem* column = columns->Items(i);
        SetFontColor(FontProp(column, "HeaderFont"), globalFont);
        SetFontColor(FontProp(column, "Font"), hotFontColor);
        SetOrd(column, "Color", color);
      }
  }
  SetOrd(c, "FooterColor", global);
  SetOrd(c, "FooterCellColor", global);
  SetOrd(c, "TitleColor", global);
  SetOrd(c, "IndicatorIconColor", fontColor);
}

void TacGridWnd::RestoreOriginalColors() {
  TacEditWnd::RestoreOriginalColors();
  TControl* c = SkinData ? SkinData->OwnerControl : nullptr;
  if (!ColorsSaved_ || !c || c->ComponentState().Contains(csDestroying)) return;
  ColorsSaved_ = false;
  SetOrd(c, "FixedColor", SavedFixedColor);
  SetFontColor(FontProp(c, "TitleFont"), SavedTitleFontColor);
  if (IsAdvGrid(c)) {
    SetFontColor(FontProp(c, "FixedFont"), SavedFixedFontColor);
    if (TCollection* columns = ColumnsOf(c))
      for (int i = 0; i < columns->Count() && i < int(SavedColumns.size()); ++i) {
        TCollectionItem* column = columns->Items(i);
        const TColumnColors& kept = SavedColumns[std::size_t(i)];
        SetFontColor(FontProp(column, "HeaderFont"), kept.HeaderFont);
        SetFontColor(FontProp(column, "Font"), kept.Font);
        SetOrd(column, "Color", kept.Color);
      }
  }
  SetOrd(c, "FooterColor", SavedFooterColor);
  SetOrd(c, "FooterCellColor", SavedFooterCellColor);
  SetOrd(c, "TitleColor", SavedTitleColor);
  SetOrd(c, "IndicatorIconColor", SavedIndicatorIconColor);
}

void TacGridWnd::HandleMessage(TMessage& Message) {
  auto alive = AliveToken();
  const UINT msg = Message.Msg;
  switch (msg) {
    case WM_ERASEBKGND: Message.Result = 1; return;  // the grid paints every pixel of its client area
    case WM_NCPAINT:
      if (IsWindowVisible(WndHandle)) SkinData->SetUpdating(false);
      break;
    case WM_VSCROLL: {
      // A data-aware grid scrolls by its records and reads the bar's position back: the dragged
      // position is set before the grid is told (one further at the drag's end).
      const int code = LOWORD(Message.WParam);
      TControl* c = SkinData->OwnerControl;
      if (c && HasPropByName(c, "DataSource") && (code == SB_THUMBPOSITION || code == SB_THUMBTRACK)) {
        SCROLLINFO si{sizeof(SCROLLINFO), SIF_ALL, 0, 0, 0, 0, 0};
        GetScrollInfo(WndHandle, SB_VERT, &si);
        const int track = ThumbTracking && VertBar ? VertBar->ScrollInfo.nTrackPos : int(HIWORD(Message.WParam));
        si.fMask = SIF_ALL;
        si.nTrackPos = track;
        si.nPos = code == SB_THUMBPOSITION ? track + 1 : track;
        SetScrollInfo(WndHandle, SB_VERT, &si, FALSE);
      }
      break;
    }
    default: break;
  }
  TacEditWnd::HandleMessage(Message);
  if (!*alive) return;
  switch (msg) {
    // The grid may have set its scroll information with the system drawing its own bar.
    case WM_PAINT: RefreshScrollInfo(this, true); break;
    case WM_WINDOWPOSCHANGED:
      if (IsWindowVisible(WndHandle)) SendMessageA(WndHandle, WM_NCPAINT, 0, 0);
      break;
    default: break;
  }
}

void TacGridEhWnd::HandleMessage(TMessage& Message) { TacGridWnd::HandleMessage(Message); }

// ---- The list, grid and tree kinds of the control adapter ---------------------------------------------

namespace {

const bool kListKinds = RegisterKindAdapter(tkListView, &MakeAdapter<TacListViewWnd>) &&
                        RegisterKindAdapter(tkGrid, &MakeAdapter<TacGridWnd>) &&
                        RegisterKindAdapter(tkGridEh, &MakeAdapter<TacGridEhWnd>) &&
                        RegisterKindAdapter(tkTreeView, &MakeAdapter<TacTreeViewWnd>) &&
                        RegisterKindAdapter(tkVirtualTree, &MakeAdapter<TacVirtualTreeViewWnd>);

}  // namespace
