// The tree adapters: standard tree views in the section's hot colours, and virtual trees of another
// component family, whose text colours and header painting are reached through their published
// properties and events.
#include "skin/windows/acSBUtils.h"

#include "classlib/core/TypInfo.h"
#include "skin/engine/sQuorvexGraph.h"
#include "skin/engine/sStyleSimply.h"
#include "skin/windows/acSBUtils/Internal.h"

using namespace acsb;

// ---- Tree view -----------------------------------------------------------------------------------

void TacTreeViewWnd::StoreOriginalColors() {
  TacEditWnd::StoreOriginalColors();
  if (!WndHandle || !IsWindow(WndHandle)) return;
  SavedBkColor = COLORREF(SendMessageA(WndHandle, TVM_GETBKCOLOR, 0, 0));
  SavedTextColor = COLORREF(SendMessageA(WndHandle, TVM_GETTEXTCOLOR, 0, 0));
  ColorsSaved_ = true;
}

void TacTreeViewWnd::RestoreOriginalColors() {
  TacEditWnd::RestoreOriginalColors();
  if (!ColorsSaved_ || !WndHandle || !IsWindow(WndHandle)) return;
  ColorsSaved_ = false;
  // -1 gives the window the system's colours back, as it had them.
  SendMessageA(WndHandle, TVM_SETBKCOLOR, 0, LPARAM(SavedBkColor));
  SendMessageA(WndHandle, TVM_SETTEXTCOLOR, 0, LPARAM(SavedTextColor));
  InvalidateRect(WndHandle, nullptr, TRUE);
}

void TacTreeViewWnd::ApplySkinColors() {
  if (!ColorsSaved_) StoreOriginalColors();
  Skinned = true;
  COLORREF bk, text;
  if (!ItemColors(SkinData, DialogMode, true, bk, text)) return;
  if (TControl* c = SkinData->OwnerControl;
      c && !DialogMode && !SkinData->CustomFont && c->Font()->Color() != TColor(text))
    c->Font()->SetColor(TColor(text));
  bool changed = false;
  if (COLORREF(SendMessageA(WndHandle, TVM_GETBKCOLOR, 0, 0)) != bk) {
    SendMessageA(WndHandle, TVM_SETBKCOLOR, 0, LPARAM(bk));
    changed = true;
  }
  if (COLORREF(SendMessageA(WndHandle, TVM_GETTEXTCOLOR, 0, 0)) != text) {
    SendMessageA(WndHandle, TVM_SETTEXTCOLOR, 0, LPARAM(text));
    changed = true;
  }
  if (changed) InvalidateRect(WndHandle, nullptr, TRUE);
}

void TacTreeViewWnd::HandleMessage(TMessage& Message) {
  switch (Message.Msg) {
    case WM_ERASEBKGND: EraseBackground(Message); return;
    case WM_LBUTTONUP: {
      auto alive = AliveToken();
      TacEditWnd::HandleMessage(Message);
      if (*alive && GetCapture() == WndHandle) ReleaseCapture();
      return;
    }
    case WM_PAINT: {
      // The tree sets its scroll information again as it paints, and the system draws its own bar
      // then, whether anything changed or not: the skinned bars go over it afterwards.
      auto alive = AliveToken();
      TacEditWnd::HandleMessage(Message);
      if (*alive && IsWindowVisible(WndHandle)) RefreshScrollInfo(this, true);
      return;
    }
    default: TacEditWnd::HandleMessage(Message); return;
  }
}

void TacTreeViewWnd::EraseBackground(TMessage& Message) {
  RefreshUpdating(SkinData);
  if (SkinData->UpdatingFlag()) return;
  if (!Skinned) ApplySkinColors();
  if (SkinData->BGChanged) {
    UpdateWndRects(WndHandle, ParentWnd, WndRect, WndPos, WndSize, ParentRect);
    PrepareWindowCache(SkinData, WndHandle, DialogMode);
  }
  TsSkinManager* sm = SkinData->SkinManager();
  const COLORREF color = DialogMode || !sm->IsSectionIndex(SkinData->SkinIndex)
                             ? GetSysColor(COLOR_WINDOW)
                             : ColorToRGB(TColor(sm->Section(SkinData->SkinIndex).HotColor));
  // The client area only: the frame is the non-client paint's.
  ClientDC dc(WndHandle, HDC(Message.WParam));
  if (!dc) return;
  RECT client{};
  GetClientRect(WndHandle, &client);
  FillRectColor(dc, FromRECT(client), TColor(color));
  Message.Result = 1;
}

// ---- Virtual tree --------------------------------------------------------------------------------

namespace {

constexpr TacHeaderPaintElements QueriedElements{hpeBackground, hpeDropMark, hpeSortGlyph, hpeText};

TObject* VetColors(TControl* c) { return c ? GetObjPropByName(c, "VETColors") : nullptr; }

bool HeaderVisible(TObject* header) { return header && SetPropContains(header, "Options", "hoVisible"); }

}  // namespace

TObject* TacVirtualTreeViewWnd::Header() const {
  return SkinData && SkinData->OwnerControl ? GetObjPropByName(SkinData->OwnerControl, "Header") : nullptr;
}

void TacVirtualTreeViewWnd::StoreOriginalColors() {
  TacEditWnd::StoreOriginalColors();
  TControl* c = SkinData ? SkinData->OwnerControl : nullptr;
  if (!c) return;
  if (TObject* colors = VetColors(c)) {
    SavedCompressedTextColor = TColor(GetOrdPropByName(colors, "CompressedTextColor"));
    SavedFileTextColor = TColor(GetOrdPropByName(colors, "FileTextColor"));
    SavedFolderTextColor = TColor(GetOrdPropByName(colors, "FolderTextColor"));
  }
  SavedOwnerDraw = SetPropContains(Header(), "Options", "hoOwnerDraw");
  ColorsSaved_ = true;
}

void TacVirtualTreeViewWnd::ApplySkinColors() {
  if (!ColorsSaved_) StoreOriginalColors();
  TacEditWnd::ApplySkinColors();
  TControl* c = SkinData ? SkinData->OwnerControl : nullptr;
  TsSkinManager* sm = SkinData ? SkinData->SkinManager() : nullptr;
  if (!c || !sm || !sm->IsSectionIndex(SkinData->SkinIndex)) return;
  const TColor text = TColor(sm->Section(SkinData->SkinIndex).HotFontColor.Text());
  if (TObject* colors = VetColors(c))
    for (const char* name : {"CompressedTextColor", "FileTextColor", "FolderTextColor"})
      if (TColor(GetOrdPropByName(colors, name)) != text) SetOrdPropByName(colors, name, text);
  // The header is painted in the skin only while the program paints it in no way of its own.
  if (!HeaderDrawInstalled && !GetMethodPropByName<TacAdvancedHeaderPaintEvent>(c, "OnAdvancedHeaderDraw").Assigned() &&
      SetMethodPropByName(c, "OnAdvancedHeaderDraw", MakeMethod<&TacVirtualTreeViewWnd::AdvancedHeaderDraw>(this))) {
    HeaderDrawInstalled = true;
    if (!GetMethodPropByName<TacHeaderPaintQueryElementsEvent>(c, "OnHeaderDrawQueryElements").Assigned())
      QueryInstalled = SetMethodPropByName(c, "OnHeaderDrawQueryElements",
                                           MakeMethod<&TacVirtualTreeViewWnd::HeaderDrawQueryElements>(this));
    ChangeSetPropElement(Header(), "Options", "hoOwnerDraw", true);
  }
}

void TacVirtualTreeViewWnd::RestoreOriginalColors() {
  TacEditWnd::RestoreOriginalColors();
  TControl* c = SkinData ? SkinData->OwnerControl : nullptr;
  if (!c || c->ComponentState().Contains(csDestroying)) return;
  // Only the handlers the adapter put there go, and only while they are still its own.
  if (HeaderDrawInstalled) {
    HeaderDrawInstalled = false;
    if (GetMethodPropByName<TacAdvancedHeaderPaintEvent>(c, "OnAdvancedHeaderDraw") ==
        MakeMethod<&TacVirtualTreeViewWnd::AdvancedHeaderDraw>(this))
      SetMethodPropByName(c, "OnAdvancedHeaderDraw", TacAdvancedHeaderPaintEvent());
    ChangeSetPropElement(Header(), "Options", "hoOwnerDraw", SavedOwnerDraw);
  }
  if (QueryInstalled) {
    QueryInstalled = false;
    if (GetMethodPropByName<TacHeaderPaintQueryElementsEvent>(c, "OnHeaderDrawQueryElements") ==
        MakeMethod<&TacVirtualTreeViewWnd::HeaderDrawQueryElements>(this))
      SetMethodPropByName(c, "OnHeaderDrawQueryElements", TacHeaderPaintQueryElementsEvent());
  }
  if (!ColorsSaved_) return;
  ColorsSaved_ = false;
  if (TObject* colors = VetColors(c)) {
    SetOrdPropByName(colors, "CompressedTextColor", SavedCompressedTextColor);
    SetOrdPropByName(colors, "FileTextColor", SavedFileTextColor);
    SetOrdPropByName(colors, "FolderTextColor", SavedFolderTextColor);
  }
}

void TacVirtualTreeViewWnd::HandleMessage(TMessage& Message) {
  switch (Message.Msg) {
    case WM_ERASEBKGND: Message.Result = 1; return;
    case WM_NCPAINT:
      if (IsWindowVisible(WndHandle)) {
        PaintFrame(Message);
        return;
      }
      break;
    case WM_HSCROLL:
    case WM_VSCROLL:
      if (LOWORD(Message.WParam) == SB_THUMBTRACK) {
        // The tree reads the bar's position: the dragged one is set first.
        const bool vertical = Message.Msg == WM_VSCROLL;
        TacScrollBar* bar = vertical ? VertBar : HorzBar;
        SCROLLINFO si{sizeof(SCROLLINFO), SIF_ALL, 0, 0, 0, 0, 0};
        GetScrollInfo(WndHandle, vertical ? SB_VERT : SB_HORZ, &si);
        si.nTrackPos = ThumbTracking && bar ? bar->ScrollInfo.nTrackPos : int(HIWORD(Message.WParam));
        si.nPos = si.nTrackPos;
        si.fMask = SIF_ALL;
        SetScrollInfo(WndHandle, vertical ? SB_VERT : SB_HORZ, &si, FALSE);
      }
      break;
    case WM_PRINT:
      if (Message.WParam) {
        PrintTree(Message);
        return;
      }
      break;
    default: break;
  }
  TacEditWnd::HandleMessage(Message);
}

void TacVirtualTreeViewWnd::PaintFrame(TMessage& Message) {
  UpdateWndRects(WndHandle, ParentWnd, WndRect, WndPos, WndSize, ParentRect);
  RefreshUpdating(SkinData);
  Message.Result = 0;
  if (SkinData->UpdatingFlag()) return;
  if (SkinData->BGChanged) {
    if (!Skinned) ApplySkinColors();
    PrepareWindowCache(SkinData, WndHandle, DialogMode);
  }
  FillBorderCorners(SkinData, 0, this);
  auto alive = AliveToken();
  LRESULT r = 0;
  {
    WindowDC dc(WndHandle);
    if (!dc) return;
    SavedDC saved(dc);
    if (SkinData->CacheBmp && !SkinData->CacheBmp->Empty()) {
      BitmapDC src(SkinData->CacheBmp);
      if (src) BitBltBorder(dc, 0, 0, SkinData->CacheBmp->Width(), SkinData->CacheBmp->Height(), src, 0, 0, BorderLeft);
    }
    // The tree draws its header (in its frame) into the window DC itself.
    LPARAM none = 0;
    CallPrevProc(this, WndHandle, WM_PRINT, WPARAM(dc.Get()), none);
    if (!*alive) return;
    r = PaintScrollBars(this, WndHandle, dc);
  }
  if (*alive) Message.Result = r;
}

void TacVirtualTreeViewWnd::PrintTree(TMessage& Message) {
  const HDC dc = HDC(Message.WParam);
  auto alive = AliveToken();
  SkinData->SetUpdating(false);
  UpdateWndRects(WndHandle, ParentWnd, WndRect, WndPos, WndSize, ParentRect);
  if (SkinData->BGChanged) {
    if (!Skinned) ApplySkinColors();
    PrepareWindowCache(SkinData, WndHandle, false);
  }
  {
    SavedDC saved(dc);
    TObject* header = Header();
    const int headerHeight = HeaderVisible(header) ? std::max(0, GetOrdPropByName(header, "Height")) : 0;
    OffsetViewportOrgEx(dc, BorderLeft, BorderLeft + headerHeight, nullptr);
    LPARAM client = PRF_CLIENT;
    CallPrevProc(this, WndHandle, WM_PRINTCLIENT, WPARAM(dc), client);
    if (!*alive) return;
  }
  if (!PassOn(Message)) return;
  FillBorderCorners(SkinData, 0, this);
  if (SkinData->CacheBmp && !SkinData->CacheBmp->Empty()) {
    BitmapDC src(SkinData->CacheBmp);
    if (src) BitBltBorder(dc, 0, 0, SkinData->CacheBmp->Width(), SkinData->CacheBmp->Height(), src, 0, 0, BorderLeft);
  }
  Message.Result = PaintScrollBars(this, WndHandle, dc);
}

void TacVirtualTreeViewWnd::HeaderDrawQueryElements(TObject*, TacHeaderPaintInfo&, TacHeaderPaintElements& Elements) {
  Elements = QueriedElements;
}

void TacVirtualTreeViewWnd::AdvancedHeaderDraw(TObject*, TacHeaderPaintInfo& PaintInfo,
                                               TacHeaderPaintElements Elements) {
  TsSkinManager* sm = SkinData ? SkinData->SkinManager() : nullptr;
  TCanvas* canvas = PaintInfo.TargetCanvas;
  if (ScrollFlag || !SkinOn() || !sm || !canvas) return;
  const TRect r = PaintInfo.PaintRectangle;
  const int w = r.Width(), h = r.Height();
  if (w <= 0 || h <= 0) return;
  if (!PaintInfo.Column) {
    // The header beyond the columns.
    canvas->Brush()->SetStyle(bsSolid);
    canvas->Brush()->SetColor(sm->IsSectionIndex(SkinData->SkinIndex) ? TColor(sm->Section(SkinData->SkinIndex).Color)
                                                                      : clBtnFace);
    canvas->FillRect(r);
    return;
  }
  const char* section = sm->SectionIndexOf("COLHEADER") >= 0 ? "COLHEADER" : "BUTTON";
  const int skinIndex = sm->SectionIndexOf(section);
  const int state = PaintInfo.IsDownIndex ? 2 : PaintInfo.IsHoverIndex ? 1 : 0;
  auto bmp = MakeBmp24(w, h);
  BitmapDC bmpDC(bmp.get());
  HDC target = canvas->Handle();
  if (Elements.Contains(hpeBackground)) {
    const TsCacheInfo ci =
        SkinData->CacheBmp && !SkinData->CacheBmp->Empty() ? BuildCacheInfo(SkinData->CacheBmp) : TsCacheInfo{};
    PaintSectionItem(skinIndex, section, ci, true, state, Rect(0, 0, w, h),
                     TPoint{r.Left + BorderLeft, r.Top + BorderTop}, bmp.get(), sm);
    BitBlt(target, r.Left, r.Top, w, h, bmpDC, 0, 0, SRCCOPY);
    return;
  }
  BitBlt(bmpDC, 0, 0, w, h, target, r.Left, r.Top, SRCCOPY);
  TCanvas* bc = bmp->Canvas();
  bc->SetFont(canvas->Font());
  bc->Brush()->SetStyle(bsClear);
  const std::string text = GetStrPropByName(PaintInfo.Column, "Text");
  TRect tr = PaintInfo.TextRectangle;
  tr.Offset(-r.Left, -r.Top);
  if (Elements.Contains(hpeText))
    DrawSectionText(bc, text, true, tr, DT_SINGLELINE | DT_VCENTER, skinIndex, state != 0, sm);
  if (Elements.Contains(hpeSortGlyph) && PaintInfo.ShowSortGlyph) {
    const TacConstData& cd = sm->ConstData();
    const int glyph =
        GetOrdPropByName(Header(), "SortDirection") == 0 ? cd.ScrollBtnBottom.GlyphMask : cd.ScrollBtnTop.GlyphMask;
    if (sm->IsMaskIndex(glyph))
      PaintMaskImageByIndex(bmp.get(),
                            TPoint{PaintInfo.SortGlyphPos.X - r.Left, (h - sm->Mask(glyph).FrameHeight()) / 2}, state,
                            0, glyph, sm);
  }
  if (Elements.Contains(hpeDropMark))
    DrawSectionText(bc, text, true, tr, DT_SINGLELINE | DT_VCENTER, skinIndex, state != 0, sm);
  BitBlt(target, r.Left, r.Top, w, h, bmpDC, 0, 0, SRCCOPY);
}
