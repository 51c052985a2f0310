// The list view adapter: the list's colours from the skin (its own given back exactly), thumb
// dragging through LVM_SCROLL, and its "SysHeader32" column header hooked and painted in the skin
// while the list shows its report view.
#include "skin/windows/acSBUtils.h"

#include <algorithm>
#include <numeric>
#include <vector>

#include "classlib/ComCtrls.h"
#include "skin/engine/sQuorvexGraph.h"
#include "skin/engine/sStyleSimply.h"
#include "skin/windows/acSBUtils/Internal.h"

using namespace acsb;

namespace {

// The hooked header's adapter, and the procedure the header had before the adapter's. The second
// stays while the adapter's procedure is in the header's chain (another procedure was put over it
// after the adapter's, so it could not be taken out): that procedure then passes everything on.
constexpr const char* HeaderAdapterProp = "QvHeaderAdapter";
constexpr const char* HeaderPrevProcProp = "QvHeaderPrevProc";

LRESULT CALLBACK HeaderWndProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
  auto* adapter = static_cast<TacListViewWnd*>(GetPropA(Wnd, HeaderAdapterProp));
  if (!adapter || adapter->HeaderWnd != Wnd) {
    auto prev = reinterpret_cast<WNDPROC>(GetPropA(Wnd, HeaderPrevProcProp));
    if (Msg == WM_NCDESTROY) RemovePropA(Wnd, HeaderPrevProcProp);
    return prev ? CallWindowProcA(prev, Wnd, Msg, WParam, LParam) : DefWindowProcA(Wnd, Msg, WParam, LParam);
  }
  TMessage m = MakeMessage(Msg, WParam, LParam);
  try {
    adapter->HeaderMessage(m);
  } catch (...) {
    HandleBoundaryException(nullptr);
  }
  return m.Result;
}

bool IsHeaderClass(HWND Wnd) {
  char name[96] = {};
  return GetClassNameA(Wnd, name, int(sizeof name)) > 0 && lstrcmpiA(name, WC_HEADERA) == 0;
}

COLORREF ListColor(HWND Wnd, UINT Msg) { return COLORREF(SendMessageA(Wnd, Msg, 0, 0)); }

}  // namespace

// ---- Colours -----------------------------------------------------------------------------------

void TacListViewWnd::AfterConstruction() {
  TacEditWnd::AfterConstruction();
  HookHeader();
}

void TacListViewWnd::StoreOriginalColors() {
  TacEditWnd::StoreOriginalColors();
  if (!WndHandle || !IsWindow(WndHandle)) return;
  SavedBkColor = ListColor(WndHandle, LVM_GETBKCOLOR);
  SavedTextColor = ListColor(WndHandle, LVM_GETTEXTCOLOR);
  SavedTextBkColor = ListColor(WndHandle, LVM_GETTEXTBKCOLOR);
  ColorsSaved_ = true;
}

void TacListViewWnd::RestoreOriginalColors() {
  UnhookHeader();
  TacEditWnd::RestoreOriginalColors();
  if (!ColorsSaved_ || !WndHandle || !IsWindow(WndHandle)) return;
  // Once: the window shows its own colours from now on, whatever it is given while plain.
  ColorsSaved_ = false;
  SendMessageA(WndHandle, LVM_SETBKCOLOR, 0, LPARAM(SavedBkColor));
  SendMessageA(WndHandle, LVM_SETTEXTBKCOLOR, 0, LPARAM(SavedTextBkColor));
  SendMessageA(WndHandle, LVM_SETTEXTCOLOR, 0, LPARAM(SavedTextColor));
  InvalidateRect(WndHandle, nullptr, TRUE);
}

void TacListViewWnd::ApplySkinColors() {
  // Coming back from the plain look: the colours the window shows now are its own.
  if (!ColorsSaved_) StoreOriginalColors();
  TacEditWnd::ApplySkinColors();
  COLORREF bk, text;
  if (!ItemColors(SkinData, DialogMode, false, bk, text)) return;
  bool changed = false;
  auto set = [&](UINT get, UINT put, COLORREF c) {
    if (ListColor(WndHandle, get) == c) return;
    SendMessageA(WndHandle, put, 0, LPARAM(c));
    changed = true;
  };
  set(LVM_GETBKCOLOR, LVM_SETBKCOLOR, bk);
  set(LVM_GETTEXTBKCOLOR, LVM_SETTEXTBKCOLOR, bk);
  set(LVM_GETTEXTCOLOR, LVM_SETTEXTCOLOR, text);
  if (changed) InvalidateRect(WndHandle, nullptr, TRUE);
}

bool TacListViewWnd::ReportView() const {
  return WndHandle && SendMessageA(WndHandle, LVM_GETVIEW, 0, 0) == LV_VIEW_DETAILS;
}

// ---- Messages ----------------------------------------------------------------------------------

void TacListViewWnd::HandleMessage(TMessage& Message) {
  auto alive = AliveToken();
  const UINT msg = Message.Msg;
  switch (msg) {
    case SM_QUORVEXCMD:
      if (IsOwnManager(Message, SkinData) &&
          (Message.WParamHi() == QC_SKINLOADED || Message.WParamHi() == QC_REFRESH)) {
        TacEditWnd::HandleMessage(Message);
        if (!*alive) return;
        // A header given back when the last skin went is hooked again; either way it shows the
        // new skin.
        HookHeader();
        if (HeaderWnd && !SkinSwitchRunning())
          RedrawWindow(HeaderWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        return;
      }
      break;
    case WM_PAINT:
      if (!Skinned) ApplySkinColors();
      HookHeader();
      break;
    case WM_HSCROLL:
    case WM_VSCROLL:
      if (LOWORD(Message.WParam) == SB_THUMBTRACK) {
        TrackThumb(Message);
        return;
      }
      if (msg == WM_VSCROLL) {
        PassOn(Message);
        return;
      }
      break;
    default: break;
  }
  TacEditWnd::HandleMessage(Message);
  if (!*alive) return;
  switch (msg) {
    case LVM_ARRANGE: RefreshScrollInfo(this, true); break;
    case WM_STYLECHANGED:
      // The view may have changed: the header shows the skin in report view only.
      RefreshScrollInfo(this, true);
      HookHeader();
      if (HeaderWnd) InvalidateRect(HeaderWnd, nullptr, TRUE);
      break;
    case WM_PRINT:
      if (Message.WParam && ReportView()) PrintHeader(HDC(Message.WParam));
      break;
    case WM_LBUTTONUP:
      if (GetCapture() == WndHandle) ReleaseCapture();
      break;
    case WM_PARENTNOTIFY: {
      const auto child = reinterpret_cast<HWND>(Message.LParam);
      const UINT event = LOWORD(Message.WParam);
      if ((event == WM_CREATE || event == WM_DESTROY) && child && IsHeaderClass(child)) {
        if (event == WM_DESTROY) {
          if (child == HeaderWnd) UnhookHeader();
        } else {
          HookHeaderWindow(child);
        }
      }
      break;
    }
    default: break;
  }
}

void TacListViewWnd::TrackThumb(TMessage& Message) {
  const bool vertical = Message.Msg == WM_VSCROLL;
  const int bar = vertical ? SB_VERT : SB_HORZ;
  // The position dragged to: the tracked one of the adapter's drag (it is not cut to 16 bits),
  // else what the message carries.
  TacScrollBar* b = vertical ? VertBar : HorzBar;
  const int pos = ThumbTracking && b ? b->ScrollInfo.nTrackPos : int(HIWORD(Message.WParam));
  // The list scrolls from where it stands now, whoever sent the message.
  SCROLLINFO si{sizeof(SCROLLINFO), SIF_POS, 0, 0, 0, 0, 0};
  GetScrollInfo(WndHandle, bar, &si);
  const int delta = pos - si.nPos;
  Message.Result = 0;
  if (delta == 0) return;
  // Report view scrolls by lines and list view by columns, each told in pixels; icon views by pixels.
  int step = 1;
  const LRESULT view = SendMessageA(WndHandle, LVM_GETVIEW, 0, 0);
  if ((vertical && view == LV_VIEW_DETAILS) || (!vertical && view == LV_VIEW_LIST)) {
    RECT item{LVIR_BOUNDS, 0, 0, 0};
    if (SendMessageA(WndHandle, LVM_GETITEMRECT, 0, LPARAM(&item)))
      step = std::max(1, int(vertical ? item.bottom - item.top : item.right - item.left));
  }
  SendMessageA(WndHandle, LVM_SCROLL, vertical ? 0 : WPARAM(delta * step), vertical ? LPARAM(delta * step) : 0);
}

// ---- The header --------------------------------------------------------------------------------

void TacListViewWnd::HookHeader() {
  if (Destroyed || HeaderWnd || !SkinOn() || !WndHandle) return;
  if (HWND header = FindWindowExA(WndHandle, nullptr, WC_HEADERA, nullptr)) HookHeaderWindow(header);
}

void TacListViewWnd::HookHeaderWindow(HWND Header) {
  if (Header == HeaderWnd || Destroyed || !SkinOn() || !IsWindow(Header)) return;
  UnhookHeader();
  auto prev = reinterpret_cast<WNDPROC>(GetPropA(Header, HeaderPrevProcProp));
  if (!prev) {
    prev = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(Header, GWLP_WNDPROC));
    SetPropA(Header, HeaderPrevProcProp, reinterpret_cast<HANDLE>(prev));
    SetWindowLongPtrA(Header, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(HeaderWndProc));
  }
  SetPropA(Header, HeaderAdapterProp, this);
  HeaderWnd = Header;
  OldHeaderProc = prev;
  PressedColumn = HotColumn = -1;
  HeaderPressed = false;
  InvalidateRect(Header, nullptr, TRUE);
}

void TacListViewWnd::UnhookHeader() {
  const HWND header = HeaderWnd;
  HeaderWnd = nullptr;
  OldHeaderProc = nullptr;
  PressedColumn = HotColumn = -1;
  HeaderPressed = false;
  if (!header || !IsWindow(header)) return;
  if (GetPropA(header, HeaderAdapterProp) == this) RemovePropA(header, HeaderAdapterProp);
  auto prev = reinterpret_cast<WNDPROC>(GetPropA(header, HeaderPrevProcProp));
  if (prev && reinterpret_cast<WNDPROC>(GetWindowLongPtrA(header, GWLP_WNDPROC)) == HeaderWndProc) {
    SetWindowLongPtrA(header, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(prev));
    RemovePropA(header, HeaderPrevProcProp);
  }
  InvalidateRect(header, nullptr, TRUE);
}

int TacListViewWnd::HeaderHitTest(LPARAM Point, bool* OnDivider) const {
  HDHITTESTINFO hit{};
  hit.pt = POINT{std::int16_t(LOWORD(Point)), std::int16_t(HIWORD(Point))};
  const int item = int(SendMessageA(HeaderWnd, HDM_HITTEST, 0, LPARAM(&hit)));
  const bool divider = (hit.flags & (HHT_ONDIVIDER | HHT_ONDIVOPEN)) != 0;
  if (OnDivider) *OnDivider = divider;
  return (hit.flags & HHT_ONHEADER) || divider ? item : -1;
}

void TacListViewWnd::HeaderMessage(TMessage& Message) {
  const HWND header = HeaderWnd;
  const WNDPROC prev = OldHeaderProc;
  auto alive = AliveToken();
  auto passOn = [&] {
    Message.Result = prev ? CallWindowProcA(prev, header, Message.Msg, Message.WParam, Message.LParam)
                          : DefWindowProcA(header, Message.Msg, Message.WParam, Message.LParam);
    return *alive && HeaderWnd == header;
  };
  if (!SkinOn() || !ReportView()) {
    passOn();
    return;
  }
  const bool buttons = (GetWindowLongPtrA(header, GWL_STYLE) & HDS_BUTTONS) != 0;
  switch (Message.Msg) {
    case WM_NCDESTROY:
      passOn();
      if (*alive && HeaderWnd == header) UnhookHeader();
      RemovePropA(header, HeaderAdapterProp);
      RemovePropA(header, HeaderPrevProcProp);
      return;
    case WM_PAINT:
    case WM_PRINTCLIENT:
      PaintHeader(HDC(Message.WParam));
      Message.Result = 0;
      return;
    case WM_ERASEBKGND: Message.Result = 1; return;
    case WM_WINDOWPOSCHANGING:
      if (IsWindowVisible(WndHandle)) SendMessageA(WndHandle, WM_NCPAINT, 0, 0);
      if (*alive) passOn();
      return;
    case WM_LBUTTONUP:
      // The press ends before the list is told of the click (it may sort and mark the column).
      if (buttons) {
        PressedColumn = -1;
        HeaderPressed = false;
        InvalidateRect(header, nullptr, FALSE);
      }
      passOn();
      return;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      if (!passOn() || !buttons) return;
      HeaderPressed = true;
      {
        bool divider = false;
        const int hit = HeaderHitTest(Message.LParam, &divider);
        PressedColumn = divider ? -1 : hit;
      }
      RedrawWindow(header, nullptr, nullptr, RDW_INVALIDATE);
      return;
    case WM_CAPTURECHANGED:
      if (!passOn()) return;
      if (PressedColumn >= 0 && HWND(Message.LParam) != header) {
        PressedColumn = -1;
        HeaderPressed = false;
        InvalidateRect(header, nullptr, FALSE);
      }
      return;
    case WM_MOUSEMOVE:
      if (passOn()) HeaderMouseMove(Message);
      return;
    case WM_MOUSELEAVE:
      if (!passOn()) return;
      if (HotColumn >= 0) {
        HotColumn = -1;
        InvalidateRect(header, nullptr, FALSE);
      }
      return;
    default: passOn(); return;
  }
}

void TacListViewWnd::HeaderMouseMove(const TMessage& Message) {
  const int hit = HeaderHitTest(Message.LParam);
  if (hit == HotColumn) return;
  HotColumn = hit;
  TRACKMOUSEEVENT tme{sizeof tme, TME_LEAVE, HeaderWnd, 0};
  TrackMouseEvent(&tme);
  InvalidateRect(HeaderWnd, nullptr, FALSE);
}

void TacListViewWnd::PaintHeader(HDC DC) {
  if (!HeaderWnd) return;
  PaintScope ps(HeaderWnd, DC);
  if (!ps.Get()) return;
  RECT client{};
  GetClientRect(HeaderWnd, &client);
  HeaderHeight = client.bottom;
  const int count = std::max(0, int(SendMessageA(HeaderWnd, HDM_GETITEMCOUNT, 0, 0)));
  std::vector<int> order(std::size_t(count), 0);
  std::iota(order.begin(), order.end(), 0);
  if (count > 0 && (GetWindowLongPtrA(HeaderWnd, GWL_STYLE) & HDS_FULLDRAG))
    SendMessageA(HeaderWnd, HDM_GETORDERARRAY, WPARAM(count), LPARAM(order.data()));
  int right = 0;
  for (int index : order) {
    RECT r{};
    if (!SendMessageA(HeaderWnd, HDM_GETITEMRECT, WPARAM(index), LPARAM(&r))) continue;
    right = std::max(right, int(r.right));
    if (r.right <= r.left || r.bottom <= r.top) continue;
    HeaderHeight = r.bottom - r.top;
    PaintColumn(ps, index, FromRECT(r));
  }
  // The header beyond the last column: an empty column.
  if (right < client.right) PaintColumn(ps, -1, Rect(right, 0, client.right, client.bottom));
}

void TacListViewWnd::PaintColumn(HDC DC, int Index, const TRect& R) {
  const int w = R.Width(), h = R.Height();
  TsSkinManager* sm = SkinData->SkinManager();
  if (w <= 0 || h <= 0 || !sm) return;
  auto bmp = MakeBmp24(w, h);
  const char* section = sm->SectionIndexOf("COLHEADER") >= 0 ? "COLHEADER" : "BUTTON";
  const int skinIndex = sm->SectionIndexOf(section);
  const int state = Index < 0 ? 0 : Index == PressedColumn ? 2 : Index == HotColumn && PressedColumn < 0 ? 1 : 0;
  // The colour behind transparent parts of the column: the list's own.
  SharedParentColor =
      SkinData->OwnerControl ? SkinData->OwnerControl->Color() : TColor(ListColor(WndHandle, LVM_GETBKCOLOR));
  PaintSectionItem(skinIndex, section, EmptyCacheInfo, true, state, Rect(0, 0, w, h), R.TopLeft(), bmp.get(), sm);
  SharedParentColor = clParentColorUnset;
  if (Index >= 0) {
    char text[1024] = {};
    HDITEMA item{};
    item.mask = HDI_TEXT | HDI_FORMAT | HDI_IMAGE;
    item.pszText = text;
    item.cchTextMax = int(sizeof text);
    SendMessageA(HeaderWnd, HDM_GETITEMA, WPARAM(Index), LPARAM(&item));
    TCanvas* canvas = bmp->Canvas();
    UseWindowFont(canvas);
    canvas->Brush()->SetStyle(bsClear);
    const int down = state == 2 ? 1 : 0;
    TRect tr = Rect(4 + down, 1 + down, w - 4, h - 1 + down);
    // The column's image: from the class library list's small images, else the header's list.
    if (item.fmt & (HDF_IMAGE | HDF_BITMAP)) {
      auto* lv = dynamic_cast<TCustomListView*>(SkinData->OwnerControl);
      if (lv && lv->SmallImages() && Index < lv->Columns()->Count()) {
        TCustomImageList* images = lv->SmallImages();
        const int image = lv->Columns()->Items(Index)->ImageIndex();
        if (image >= 0 && image < images->Count()) {
          images->Draw(canvas, tr.Left, (h - images->Height()) / 2 + down, image, lv->Enabled());
          tr.Left += images->Width() + 4;
        }
      } else if (!lv) {
        auto list = reinterpret_cast<HIMAGELIST>(SendMessageA(HeaderWnd, HDM_GETIMAGELIST, 0, 0));
        int cx = 0, cy = 0;
        if (list && item.iImage >= 0 && item.iImage < ImageList_GetImageCount(list) &&
            ImageList_GetIconSize(list, &cx, &cy)) {
          ImageList_Draw(list, item.iImage, canvas->Handle(), tr.Left, (h - cy) / 2 + down, ILD_TRANSPARENT);
          tr.Left += cx + 4;
        }
      }
    }
    // The sort arrow: a scroll button's glyph (down or up) in a box beside the text.
    const TacConstData& cd = sm->ConstData();
    const int arrow = (item.fmt & HDF_SORTDOWN) ? cd.ScrollBtnBottom.GlyphMask
                      : (item.fmt & HDF_SORTUP) ? cd.ScrollBtnTop.GlyphMask
                                                : -1;
    int boxWidth = 0, arrowHeight = 0;
    if (sm->IsMaskIndex(arrow)) {
      const TsMaskData& m = sm->Mask(arrow);
      boxWidth = m.FrameWidth() + 6;
      arrowHeight = m.FrameHeight();
    }
    const std::string caption = text;
    const int extent = canvas->TextWidth(caption) + 5;
    const int limit = tr.Right - boxWidth;
    switch (item.fmt & HDF_JUSTIFYMASK) {
      case HDF_RIGHT:
        tr.Right = limit;
        tr.Left = std::max(tr.Left, tr.Right - extent);
        break;
      case HDF_CENTER:
        tr.Left += std::max(0, (tr.Width() - extent - boxWidth) / 2);
        tr.Right = std::min(tr.Left + extent, limit);
        break;
      default: tr.Right = std::min(tr.Left + extent, limit); break;
    }
    if (boxWidth > 0)
      PaintMaskImageByIndex(bmp.get(), TPoint{tr.Right + 6, (h - arrowHeight) / 2}, state, 0, arrow, sm);
    DrawSectionText(canvas, caption, IsWindowEnabled(WndHandle) != FALSE, tr,
                    DT_END_ELLIPSIS | DT_EXPANDTABS | DT_SINGLELINE | DT_VCENTER, skinIndex, state != 0, sm);
  }
  BlitBmp(DC, R.Left, R.Top, bmp.get());
}

void TacListViewWnd::PrintHeader(HDC DC) {
  if (!HeaderWnd || !IsWindowVisible(HeaderWnd)) return;
  // The header lies where the window shows it, clipped to the list's client area.
  RECT wr{}, hr{}, cr{};
  GetWindowRect(WndHandle, &wr);
  GetWindowRect(HeaderWnd, &hr);
  GetClientRect(WndHandle, &cr);
  POINT org{0, 0};
  ClientToScreen(WndHandle, &org);
  SavedDC saved(DC);
  IntersectClipRect(DC, org.x - wr.left, org.y - wr.top, org.x - wr.left + cr.right, org.y - wr.top + cr.bottom);
  OffsetViewportOrgEx(DC, hr.left - wr.left, hr.top - wr.top, nullptr);
  PaintHeader(DC);
}
