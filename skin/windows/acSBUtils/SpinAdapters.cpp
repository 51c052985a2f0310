// The adapter of up-down windows.
#include "skin/windows/acSBUtils/SpinAdapters.h"

#include "skin/engine/sQuorvexGraph.h"
#include "skin/engine/sStyleSimply.h"
#include "skin/windows/acSBUtils/Internal.h"

using namespace acsb;

bool TacSpinWnd::Horizontal() const { return (GetWindowLongPtrA(WndHandle, GWL_STYLE) & UDS_HORZ) != 0; }

// The first half (upper, or left) takes the odd pixel.
TRect TacSpinWnd::UpRect() const {
  if (Horizontal()) return Rect(ButtonLeft + (WndSize.cx - ButtonLeft) / 2, 0, WndSize.cx, WndSize.cy);
  return Rect(ButtonLeft, 0, WndSize.cx, (WndSize.cy + 1) / 2);
}

TRect TacSpinWnd::DownRect() const {
  if (Horizontal()) return Rect(ButtonLeft, 0, ButtonLeft + (WndSize.cx - ButtonLeft) / 2, WndSize.cy);
  return Rect(ButtonLeft, WndSize.cy / 2, WndSize.cx, WndSize.cy);
}

void TacSpinWnd::HandleMessage(TMessage& Message) {
  if (!SkinOn()) {
    TacMainWnd::HandleMessage(Message);
    return;
  }
  auto alive = AliveToken();
  switch (Message.Msg) {
    case WM_NCPAINT:
    case WM_ERASEBKGND: return;
    case WM_PAINT: SpinPaint(HDC(Message.WParam)); return;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
      Pressed = Message.Msg != WM_LBUTTONUP;
      TacMainWnd::HandleMessage(Message);
      if (*alive) SendMessageA(WndHandle, WM_PAINT, 0, 0);
      return;
    case SM_QUORVEXCMD:
      if (Message.WParamHi() != QC_MOUSEENTERWND && Message.WParamHi() != QC_MOUSELEAVEWND) break;
      // The pointer came or went: the halves show it.
      TacMainWnd::HandleMessage(Message);
      if (*alive) SendMessageA(WndHandle, WM_PAINT, 0, 0);
      return;
    case WM_CAPTURECHANGED:
      // A press that ends without its button-up (the capture taken away) ends all the same.
      Pressed = false;
      break;
    case WM_MOUSEMOVE:
      TacMainWnd::HandleMessage(Message);
      if (*alive) FollowPointer();
      return;
    default: break;
  }
  TacMainWnd::HandleMessage(Message);
}

void TacSpinWnd::FollowPointer() {
  if (!DefaultManager || DefaultManager->ComponentState().Contains(csDesigning) || !IsWindowEnabled(WndHandle)) return;
  UpdateRects();
  POINT p{};
  GetCursorPos(&p);
  const RECT wr{WndRect.Left, WndRect.Top, WndRect.Right, WndRect.Bottom};
  if (PtInRect(&wr, p)) {
    if (DefaultManager->HotWindow() != WndHandle)
      DefaultManager->SetHotWindow(WndHandle);
    else
      SendMessageA(WndHandle, WM_PAINT, 0, 0);  // the hot half may have changed
  } else if (DefaultManager->HotWindow() == WndHandle) {
    DefaultManager->SetHotWindow(nullptr);
  }
}

void TacSpinWnd::SpinPaint(HDC DC) {
  UpdateRects();
  POINT p{};
  GetCursorPos(&p);
  p.x -= WndRect.Left;
  p.y -= WndRect.Top;
  const TRect up = UpRect();
  const int held = (Pressed ? 1 : 0) + 1;
  const bool inside =
      IsWindowEnabled(WndHandle) && p.x >= ButtonLeft && p.x < WndSize.cx && p.y >= 0 && p.y < WndSize.cy;
  // The halves meet in the middle: the pointer is in the first half up to it.
  const bool inUp = inside && (Horizontal() ? p.x >= up.Left : p.y < WndSize.cy / 2);
  UpState = inside && inUp ? held : 0;
  DownState = inside && !inUp ? held : 0;
  auto alive = AliveToken();
  PaintScope paint(WndHandle, DC);
  if (!*alive || AskUpdating()) return;
  ClientDC dc(WndHandle, DC);
  if (!dc) return;
  SkinData->BGChanged = true;
  PaintSpinCache();
  CopyCacheTo(dc, ButtonLeft, 0);
}

void TacSpinWnd::PaintSpinCache() {
  const TsCacheInfo ci = AskParentCacheWnd(WndHandle);
  TBitmap* cache = SizeCache();
  PaintButton(cache, ci, UpRect(), UpState, true);
  PaintButton(cache, ci, DownRect(), DownState, false);
  if (!IsWindowEnabled(WndHandle)) DimDisabled(cache, ci);
  SharedCacheInfo = TsCacheInfo{};
  SkinData->BGChanged = false;
}

void TacSpinWnd::PaintButton(TBitmap* Cache, const TsCacheInfo& CI, const TRect& R, int State, bool Up) {
  if (R.IsEmpty()) return;
  TsSkinManager* sm = SkinData->SkinManager();
  PaintControlItem(SkinData, CI, true, State, R, TPoint{WndPos.X + R.Left, WndPos.Y + R.Top}, Cache, true);
  const TacConstData& cd = sm->ConstData();
  const int glyph = Horizontal() ? (Up ? cd.ScrollBtnRight : cd.ScrollBtnLeft).GlyphMask
                                 : (Up ? cd.ScrollBtnTop : cd.ScrollBtnBottom).GlyphMask;
  if (!sm->IsMaskIndex(glyph)) return;
  const TsMaskData& mask = sm->Mask(glyph);
  const int gw = mask.FrameWidth(), gh = mask.FrameHeight();
  const TPoint at{R.Left + (R.Width() - gw) / 2, R.Top + (R.Height() - gh) / 2};
  // An arrow that does not fit leaves the button as it is.
  if (gw > 0 && gh > 0 && at.X >= R.Left && at.Y >= R.Top) PaintMaskImage(Cache, at, State, 1, mask, sm);
}
