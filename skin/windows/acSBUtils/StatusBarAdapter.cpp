// The status bar adapter: the whole bar painted into the cache (section, panel frames or dividers,
// texts, owner-drawn panels, size grip) and copied to the window in one step.
#include "skin/windows/acSBUtils.h"

#include <algorithm>
#include <vector>

#include "skin/engine/sQuorvexGraph.h"
#include "skin/engine/sStyleSimply.h"
#include "skin/windows/acSBUtils/Internal.h"

using namespace acsb;

TacStatusBarWnd::TacStatusBarWnd(HWND AHandle, TsCommonData* ASkinData, TsSkinManager* ASkinManager,
                                 const std::string& SkinSection, bool Repaint)
    : TacMainWnd(AHandle, ASkinData, ASkinManager, SkinSection, Repaint) {
  StatusBar = dynamic_cast<TStatusBar*>(SkinData->OwnerControl);
}

std::string TacStatusBarWnd::PartText(int Index, UINT* Type, LPARAM* Data) const {
  if (Type) *Type = 0;
  if (Data) *Data = 0;
  if (!WndHandle) return {};
  const LRESULT length = SendMessageA(WndHandle, SB_GETTEXTLENGTHA, WPARAM(Index), 0);
  const UINT type = HIWORD(length);
  if (Type) *Type = type;
  // The buffer as long as the window says the text is (an owner-drawn part answers with its value).
  std::string text(std::size_t(LOWORD(length)) + 1, '\0');
  const LRESULT got = SendMessageA(WndHandle, SB_GETTEXTA, WPARAM(Index), LPARAM(text.data()));
  if (type & SBT_OWNERDRAW) {
    if (Data) *Data = LPARAM(got);
    return {};
  }
  text.resize(std::strlen(text.c_str()));
  return text;
}

std::string TacStatusBarWnd::SimpleText(UINT* Type, LPARAM* Data) const {
  // The simple part is asked for by its own index (Windows keeps it there); a bar that keeps it as
  // its first part while it is simple (Wine) answers only there.
  std::string text = PartText(SB_SIMPLEID, Type, Data);
  if (!text.empty() || (Type && (*Type & SBT_OWNERDRAW))) return text;
  return PartText(0, Type, Data);
}

TPoint TacStatusBarWnd::ClientOffset() const { return ClientOffsetOf(WndHandle); }

// ---- The cache -----------------------------------------------------------------------------------

void TacStatusBarWnd::PrepareCache() {
  TsSkinManager* sm = SkinData->SkinManager();
  if (!sm) return;
  const TsCacheInfo ci = SkinData->OwnerControl ? AskParentCache(SkinData) : AskParentCacheWnd(WndHandle);
  TBitmap* cache = SizeCache();
  PaintControlItem(SkinData, ci, false, 0, Rect(0, 0, WndSize.cx, WndSize.cy), WndPos, cache, true);
  auto alive = AliveToken();
  const TPoint co = ClientOffset();
  if (SendMessageA(WndHandle, SB_ISSIMPLE, 0, 0)) {
    PaintPanel(SB_SIMPLEID, Rect(0, 1, WndSize.cx - 1, WndSize.cy - 1), true, true);
  } else {
    const int parts = int(SendMessageA(WndHandle, SB_GETPARTS, 0, 0));
    for (int i = 0; i < parts && *alive; ++i) {
      RECT r{};
      SendMessageA(WndHandle, SB_GETRECT, WPARAM(i), LPARAM(&r));
      TRect panel = FromRECT(r);
      panel.Offset(co.X, co.Y);
      panel.Inflate(-1, -1);
      PaintPanel(i, panel, false, i + 1 == parts);
    }
  }
  if (!*alive) return;
  if (GetWindowLongPtrA(WndHandle, GWL_STYLE) & SBARS_SIZEGRIP) PaintSizeGrip();
  SkinData->BGChanged = false;
}

void TacStatusBarWnd::PaintPanel(int Index, const TRect& R, bool Simple, bool Last) {
  TsSkinManager* sm = SkinData->SkinManager();
  TBitmap* cache = SkinData->CacheBmp;
  if (sm->IsSectionIndex(SkinData->SkinIndex)) {
    const int mask = sm->LookupMask(SkinData->SkinIndex, SkinData->SkinSection(), "STATUSPANELMASK");
    if (sm->IsMaskIndex(mask))
      PaintMaskRectByIndex(cache, Simple ? Rect(0, 0, WndSize.cx, WndSize.cy) : R, true, EmptyCacheInfo, mask, 0, true,
                           sm);
    else if (!Simple && !Last)
      PaintDivider(R);
  }
  UINT type = 0;
  LPARAM data = 0;
  std::string text = Simple ? SimpleText(&type, &data) : PartText(Index, &type, &data);
  TRect t = R;
  t.Inflate(-1, -1);
  // The part's icon at its left, the text after it.
  if (const auto icon =
          reinterpret_cast<HICON>(SendMessageA(WndHandle, SB_GETICON, Simple ? WPARAM(-1) : WPARAM(Index), 0))) {
    const int size = std::min(GetSystemMetrics(SM_CYSMICON), t.Height());
    if (size > 0) {
      const BitmapDC dc(cache);
      if (dc) DrawIconEx(dc, t.Left + 2, t.Top + (t.Height() - size) / 2, icon, size, size, 0, nullptr, DI_NORMAL);
      t.Left += size + 2;
    }
  }
  if (type & SBT_OWNERDRAW) {
    // The owner draws the panel into the cache: the class library's bar through its event, a
    // bare bar through its parent's WM_DRAWITEM.
    const BitmapDC dc(cache);
    if (!dc) return;
    if (StatusBar) {
      const int panel = Index;
      if (StatusBar->OnDrawPanel && panel >= 0 && panel < StatusBar->Panels()->Count()) {
        const CanvasOnDC bound(StatusBar->Canvas(), dc, StatusBar->Font());
        StatusBar->OnDrawPanel(StatusBar, StatusBar->Panels()->Items(panel), t);
      }
    } else if (HWND parent = GetParent(WndHandle)) {
      const SavedDC saved(dc);
      DRAWITEMSTRUCT dis{};
      dis.CtlType = ODT_STATIC;
      dis.CtlID = UINT(GetWindowLongPtrA(WndHandle, GWLP_ID));
      dis.itemID = UINT(Index);
      dis.hwndItem = WndHandle;
      dis.hDC = dc;
      dis.rcItem = RECT{t.Left, t.Top, t.Right, t.Bottom};
      dis.itemData = ULONG_PTR(data);
      SendMessageA(parent, WM_DRAWITEM, WPARAM(dis.CtlID), LPARAM(&dis));
    }
    return;
  }
  // A tab before the text centres it, two right-align it.
  UINT align = DT_LEFT;
  const std::size_t tabs = std::min<std::size_t>(text.find_first_not_of('\t'), text.size());
  if (tabs == 1) align = DT_CENTER;
  if (tabs >= 2) align = DT_RIGHT;
  text.erase(0, tabs);
  if (text.empty()) return;
  t.Left += 2;
  t.Right -= 4;
  t.Bottom -= 1;
  TCanvas* canvas = cache->Canvas();
  UseWindowFont(canvas);
  canvas->Brush()->SetStyle(bsClear);
  TRect shown = t;
  WriteControlText(canvas, CutTextToWidth(canvas, text, t.Width()), IsWindowEnabled(WndHandle) != FALSE, shown,
                   align | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX, SkinData, false);
}

void TacStatusBarWnd::PaintDivider(const TRect& R) {
  TsSkinManager* sm = SkinData->SkinManager();
  const int section = sm->SectionIndexOf("DIVIDER");
  if (section < 0) return;
  const int mask = sm->LookupMask(section, "DIVIDER", "BORDERSMASK");
  if (!sm->IsMaskIndex(mask)) return;
  const int w = sm->GetMaskItemSize(mask).cx - 1, h = WndSize.cy - 2;
  if (w <= 0 || h <= 0) return;
  const int x = R.Right - w;
  auto bmp = MakeBmp24(w, h);
  {
    const BitmapDC dst(bmp.get()), src(SkinData->CacheBmp);
    if (dst && src) BitBlt(dst, 0, 0, w, h, src, x, 1, SRCCOPY);
  }
  PaintSectionItem(section, "DIVIDER", BuildCacheInfo(SkinData->CacheBmp), true, 0, Rect(0, 0, w, h), Point(x, 1),
                   bmp.get(), sm);
  const BitmapDC dst(SkinData->CacheBmp);
  BlitBmp(dst, x, 1, bmp.get());
}

void TacStatusBarWnd::PaintSizeGrip() {
  TsSkinManager* sm = SkinData->SkinManager();
  const int grip = sm->ConstData().GripImage;
  if (!sm->IsMaskIndex(grip)) return;
  const TSize frame = sm->GetMaskItemSize(grip);
  const TPoint co = ClientOffset();
  PaintMaskImageByIndex(SkinData->CacheBmp, Point(WndSize.cx - frame.cx - co.X, WndSize.cy - frame.cy - co.Y), 0, 1,
                        grip, sm);
}

// ---- Painting ------------------------------------------------------------------------------------

void TacStatusBarWnd::PaintBar(HDC DC) {
  if (!DC || AskUpdating()) return;
  UpdateRects();
  TBitmap* cache = SkinData->CacheBmp;
  if (SkinData->BGChanged || !cache || cache->Width() != WndSize.cx || cache->Height() != WndSize.cy) {
    auto alive = AliveToken();
    PrepareCache();
    if (!*alive) return;
  }
  RECT client{};
  GetClientRect(WndHandle, &client);
  const TPoint co = ClientOffset();
  CopyCacheExcludingChildWnds(WndHandle, SkinData, Rect(co.X, co.Y, co.X + client.right, co.Y + client.bottom),
                              FromRECT(client), DC, true, 0, 0);
}

void TacStatusBarWnd::PaintFrame(HDC DC) {
  const TPoint co = ClientOffset();
  if (co.X <= 0 || AskUpdating()) return;
  UpdateRects();
  if (SkinData->BGChanged || !SkinData->CacheBmp || SkinData->CacheBmp->Width() != WndSize.cx) {
    auto alive = AliveToken();
    PrepareCache();
    if (!*alive) return;
  }
  const WindowDC dc(WndHandle, DC);
  const BitmapDC src(SkinData->CacheBmp);
  if (dc && src) BitBltBorder(dc, 0, 0, WndSize.cx, WndSize.cy, src, 0, 0, co.X);
}

void TacStatusBarWnd::HandleMessage(TMessage& Message) {
  const UINT msg = Message.Msg;
  switch (msg) {
    case SM_QUORVEXCMD:
      if (Message.WParamHi() == QC_REFRESH && IsOwnManager(Message, SkinData)) {
        MarkSkinChanged();
        RedrawAfterSkinCommand(RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW);
        return;
      }
      break;
    case WM_PAINT: {
      // One paint: the cache goes to the window, nothing of the bar's own painting.
      const PaintScope paint(WndHandle, HDC(Message.WParam));
      PaintBar(paint);
      Message.Result = 0;
      return;
    }
    case WM_PRINTCLIENT: PaintBar(HDC(Message.WParam)); return;
    case WM_ERASEBKGND:
      // The paint that follows covers the whole bar.
      Message.Result = 1;
      return;
    case WM_NCPAINT:
      if (ClientOffset().X > 0) {
        PaintFrame(nullptr);
        Message.Result = 0;
        return;
      }
      break;
    case WM_PRINT:
      if (const HDC dc = HDC(Message.WParam)) {
        PaintFrame(dc);
        const TPoint co = ClientOffset();
        const SavedDC saved(dc);
        OffsetViewportOrgEx(dc, co.X, co.Y, nullptr);
        PaintBar(dc);
        Message.Result = 0;
        return;
      }
      break;
    default: break;
  }
  auto alive = AliveToken();
  TacMainWnd::HandleMessage(Message);
  if (!*alive) return;
  switch (msg) {
    case WM_SIZE:
      SkinData->BGChanged = true;
      RedrawWindow(WndHandle, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE);
      break;
    // Every change of the parts, their texts or the font: the cache is stale (the bar invalidates
    // what changed itself).
    case SB_SETTEXTA:
    case SB_SETTEXTW:
    case SB_SETPARTS:
    case SB_SIMPLE:
    case SB_SETMINHEIGHT:
    case SB_SETICON:
    case WM_SETTEXT:
    case WM_SETFONT:
    case WM_STYLECHANGED:
    case CM_FONTCHANGED:
    case CM_ENABLEDCHANGED:
    case WM_ENABLE: SkinData->BGChanged = true; break;
    default: break;
  }
}

// ---- The bar kinds of the control adapter -------------------------------------------------------------

namespace {

const bool kBarKinds = RegisterKindAdapter(tkToolBar, &MakeAdapter<TacToolBarVCLWnd>) &&
                       RegisterKindAdapter(tkStatusBar, &MakeAdapter<TacStatusBarWnd>);

}  // namespace
