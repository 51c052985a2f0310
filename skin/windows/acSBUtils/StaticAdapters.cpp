// The static adapters: static text, icons and bitmaps, link text.
#include "skin/windows/acSBUtils/StaticAdapters.h"

#include <cstddef>

#include "skin/engine/core/acPaintUtils.h"
#include "skin/engine/sQuorvexGraph.h"
#include "skin/engine/sStyleSimply.h"
#include "skin/windows/acSBUtils/Internal.h"

using namespace acsb;

HFONT GetMessageFont() {
  // The structure as every version of the system knows it (without the padded border width).
  NONCLIENTMETRICSW m{};
  m.cbSize = UINT(offsetof(NONCLIENTMETRICSW, iPaddedBorderWidth));
  if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, m.cbSize, &m, 0)) return nullptr;
  return CreateFontIndirectW(&m.lfMessageFont);
}

std::string StripLinkTags(std::string Text) {
  for (const char* tag : {"<A>", "</A>"})
    for (std::size_t at = Text.find(tag); at != std::string::npos; at = Text.find(tag, at))
      Text.erase(at, std::char_traits<char>::length(tag));
  return Text;
}

// ---- TacStaticWnd -----------------------------------------------------------------------------------

bool TacStaticWnd::SkinsWindow() const {
  return (GetWindowLongPtrA(WndHandle, GWL_STYLE) & WS_TABSTOP) == 0 &&
         (GetWindowLongPtrA(WndHandle, GWL_EXSTYLE) & WS_EX_STATICEDGE) == 0;
}

bool TacStaticWnd::AnswerAnyState(TMessage& Message) {
  if (Message.Msg == WM_DESTROY || Message.Msg == WM_NCDESTROY) {
    LeaveOnDestroy(Message);
    return true;
  }
  // A static the skin leaves alone answers nothing itself: every message reaches its procedure.
  if (SkinsWindow()) return false;
  PassOn(Message);
  return true;
}

void TacStaticWnd::AfterSkinChange(int Command) {
  // A frame or an etched line paints only its lines: what lies behind shows inside again.
  if (Command == QC_SKINREMOVED && ShowsParentThrough() && IsWindow(WndHandle)) ShowParentUnder(WndHandle);
}

void TacStaticWnd::HandleMessage(TMessage& Message) {
  const UINT msg = Message.Msg;
  const HWND wnd = WndHandle;
  switch (msg) {
    case WM_ERASEBKGND:
      if (!IsWindowVisible(wnd)) break;
      PaintStatic(this, Message);
      Painted_ = true;
      Message.Result = 1;
      return;
    case WM_PAINT: {
      // The content is painted with the background; a paint that erased nothing (or one asked
      // for with a DC) paints it here.
      Painted_ = false;
      auto alive = AliveToken();
      {
        PaintScope validate(wnd, HDC(Message.WParam));
        if (!*alive) return;
        if (Painted_ || !IsWindowVisible(wnd)) return;
      }
      PaintStatic(this, Message);
      return;
    }
    case WM_MOVE:
      SkinData->BGChanged = true;
      if (PassOn(Message)) RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
      return;
    case WM_NCPAINT: PassOn(Message); return;
    case WM_SETTEXT:
    case WM_ENABLE:
    case STM_SETICON:
    case STM_SETIMAGE: ChangeContent(Message); return;
    default: break;
  }
  TacMainWnd::HandleMessage(Message);
}

void TacStaticWnd::ChangeContent(TMessage& Message) {
  // The static draws its new content straight onto the screen; held back, the skin draws it.
  SkinData->BGChanged = true;
  if (!PassOnUnseen(Message)) return;
  if (Message.Msg == WM_SETTEXT) ReadCaption();
  RedrawWindow(WndHandle, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

void PaintStatic(TacStaticWnd* Adapter, TMessage& Message) {
  Adapter->UpdateRects();
  ClientDC dc(Adapter->WndHandle, HDC(Message.WParam));
  if (!dc) return;
  auto alive = Adapter->AliveToken();
  {
    SavedDC saved(dc);
    Adapter->SkinData->BGChanged = true;
    Adapter->SizeCache();
    SendSkinCommand(Adapter->WndHandle, QC_PREPAREFADE);
    if (!*alive) return;
    Adapter->PaintText();
  }
  Adapter->CopyCacheTo(dc);
}

void TacStaticWnd::WriteText(const std::string& Text) {
  TBitmap* cache = SkinData->CacheBmp;
  if (!cache || cache->Empty() || Text.empty()) return;
  const LONG_PTR style = GetWindowLongPtrA(WndHandle, GWL_STYLE);
  TCanvas* canvas = cache->Canvas();
  canvas->Brush()->SetStyle(bsClear);
  if (SendMessageA(WndHandle, WM_GETFONT, 0, 0))
    UseWindowFont(canvas);
  else if (HFONT font = GetMessageFont())
    canvas->Font()->SetHandle(font);  // the canvas owns it now
  UINT flags = DT_EXPANDTABS | DT_NOCLIP;
  TRect r = Rect(0, 0, WndSize.cx, WndSize.cy);
  switch (style & SS_TYPEMASK) {
    case SS_CENTER: flags |= DT_CENTER | DT_WORDBREAK; break;
    case SS_RIGHT: flags |= DT_RIGHT | DT_WORDBREAK; break;
    case SS_LEFTNOWORDWRAP:
    case SS_SIMPLE: flags |= DT_SINGLELINE; break;
    default:
      // Left-aligned text wraps within the window and 4 pixels beyond its right edge.
      flags |= DT_WORDBREAK;
      r.Right += 4;
      break;
  }
  if (style & SS_NOPREFIX) flags |= DT_NOPREFIX;
  if (style & SS_CENTERIMAGE) flags = (flags & ~UINT(DT_WORDBREAK)) | DT_SINGLELINE | DT_VCENTER;
  WriteControlText(canvas, Text, IsWindowEnabled(WndHandle) != FALSE, r, flags, SkinData, false);
}

void TacStaticWnd::PaintText() {
  if (!PaintShape()) WriteText(Caption);
}

bool TacStaticWnd::ShowsParentThrough() const {
  switch (GetWindowLongPtrA(WndHandle, GWL_STYLE) & SS_TYPEMASK) {
    case SS_BLACKFRAME:
    case SS_GRAYFRAME:
    case SS_WHITEFRAME:
    case SS_ETCHEDHORZ:
    case SS_ETCHEDVERT:
    case SS_ETCHEDFRAME: return true;
    default: return false;
  }
}

bool TacStaticWnd::PaintShape() {
  const LONG_PTR type = GetWindowLongPtrA(WndHandle, GWL_STYLE) & SS_TYPEMASK;
  TBitmap* cache = SkinData->CacheBmp;
  int colorIndex = -1;
  bool frame = false;
  switch (type) {
    case SS_BLACKRECT: colorIndex = COLOR_3DDKSHADOW; break;
    case SS_GRAYRECT: colorIndex = COLOR_3DSHADOW; break;
    case SS_WHITERECT: colorIndex = COLOR_3DHIGHLIGHT; break;
    case SS_BLACKFRAME: colorIndex = COLOR_3DDKSHADOW, frame = true; break;
    case SS_GRAYFRAME: colorIndex = COLOR_3DSHADOW, frame = true; break;
    case SS_WHITEFRAME: colorIndex = COLOR_3DHIGHLIGHT, frame = true; break;
    case SS_ETCHEDHORZ:
    case SS_ETCHEDVERT:
    case SS_ETCHEDFRAME: break;
    default: return false;
  }
  if (!cache || cache->Empty()) return true;
  const TRect all = Rect(0, 0, WndSize.cx, WndSize.cy);
  if (colorIndex < 0) {
    // An etched line or frame as the system etches it, over the skin.
    const UINT sides = type == SS_ETCHEDHORZ ? BF_TOP : type == SS_ETCHEDVERT ? BF_LEFT : BF_RECT;
    RECT r{0, 0, WndSize.cx, WndSize.cy};
    DrawEdge(cache->Canvas()->Handle(), &r, EDGE_ETCHED, sides);
    return true;
  }
  // A rectangle or a frame in the system's colour for it, or in black or white where that colour
  // would not stand out on the skin.
  const TColor under = cache->Canvas()->Pixels(WndSize.cx / 2, WndSize.cy / 2);
  const TColor ink = TColor(qv::InkOn(GetSysColor(colorIndex), COLORREF(ColorToRGB(under))));
  if (!frame) {
    FillBmpRect(cache, all, ink);
    return true;
  }
  for (const TRect& edge : {Rect(0, 0, WndSize.cx, 1), Rect(0, WndSize.cy - 1, WndSize.cx, WndSize.cy),
                            Rect(0, 0, 1, WndSize.cy), Rect(WndSize.cx - 1, 0, WndSize.cx, WndSize.cy)})
    FillBmpRect(cache, edge, ink);
  return true;
}

// ---- TacIconWnd and TacLinkWnd ----------------------------------------------------------------------

void TacIconWnd::PaintText() {
  TBitmap* cache = SkinData->CacheBmp;
  if (!cache || cache->Empty()) return;
  const LONG_PTR style = GetWindowLongPtrA(WndHandle, GWL_STYLE);
  const bool centre = (style & SS_CENTERIMAGE) != 0;
  BitmapDC dst(cache);
  if (!dst) return;
  if ((style & SS_TYPEMASK) == SS_BITMAP) {
    auto bmp = reinterpret_cast<HBITMAP>(SendMessageA(WndHandle, STM_GETIMAGE, IMAGE_BITMAP, 0));
    BITMAP info{};
    if (!bmp || GetObjectA(bmp, sizeof info, &info) != int(sizeof info)) return;
    const int x = centre ? (WndSize.cx - info.bmWidth) / 2 : 0, y = centre ? (WndSize.cy - info.bmHeight) / 2 : 0;
    MemoryDC src(dst, bmp);
    BitBlt(dst, x, y, info.bmWidth, info.bmHeight, src, 0, 0, SRCCOPY);
    return;
  }
  auto icon = reinterpret_cast<HICON>(SendMessageA(WndHandle, STM_GETICON, 0, 0));
  if (!icon) return;
  int x = 0, y = 0;
  if (centre) {
    ICONINFO ii{};
    if (GetIconInfo(icon, &ii)) {
      BITMAP info{};
      const bool colour = ii.hbmColor != nullptr;
      GetObjectA(colour ? ii.hbmColor : ii.hbmMask, sizeof info, &info);
      x = (WndSize.cx - info.bmWidth) / 2;
      y = (WndSize.cy - (colour ? info.bmHeight : info.bmHeight / 2)) / 2;
      // GetIconInfo hands out copies of the icon's bitmaps.
      GdiObject<HBITMAP> mask(ii.hbmMask), color(ii.hbmColor);
    }
  }
  DrawIconEx(dst, x, y, icon, 0, 0, 0, nullptr, DI_NORMAL);
}

void TacLinkWnd::PaintText() { WriteText(StripLinkTags(Caption)); }
