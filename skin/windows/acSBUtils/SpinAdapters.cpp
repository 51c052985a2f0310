// The adapter of up-down windows.
#include "skin/windows/acSBUtils/SpinAdapters.h"

#include "skin/engine/sQuorvexGraph.h"
#include "skin/engine/sStyleSimply.h"
#include "skin/windows/acSBUtils/Internal.h"

using namespace acsb;

bool TacSpinWnd::Horizontal() const { return (GetWindowLongPtrA(WndHandle, GWL_STYLE) & UDS_HORZ) != 0; }

// The halves as the up-down itself tells them apart: of an odd length the middle row (or column)
// belongs to neither, and a click there does nothing.
TRect TacSpinWnd::UpRect() const {
  if (Horizontal()) {
    const int n = WndSize.cx - ButtonLeft;
    return Rect(ButtonLeft + (n + 1) / 2, 0, WndSize.cx, WndSize.cy);
  }
  return Rect(ButtonLeft, 0, WndSize.cx, WndSize.cy / 2);
}

TRect TacSpinWnd::DownRect() const {
  if (Horizontal()) return Rect(ButtonLeft, 0, ButtonLeft + (WndSize.cx - ButtonLeft) / 2, WndSize.cy);
  return Rect(ButtonLeft, (WndSize.cy + 1) / 2, WndSize.cx, WndSize.cy);
}

void TacSpinWnd::HandleMessage(TMessage& Message) {
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
  const int held = (Pressed ? 1 : 0) + 1;
  const bool enabled = IsWindowEnabled(WndHandle) != FALSE;
  const TPoint at{p.x, p.y};
  UpState = enabled && UpRect().Contains(at) ? held : 0;
  DownState = enabled && DownRect().Contains(at) ? held : 0;
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
  // What lies behind the window shows between the halves (and at the buttons' transparent corners).
  const TColor behind = ci.Ready ? clParentColorUnset : ParentColorOf(WndHandle);
  const TRect all = Rect(ButtonLeft, 0, WndSize.cx, WndSize.cy);
  if (ci.Ready && ci.Bmp) {
    const BitmapDC dst(cache), src(ci.Bmp);
    if (dst && src)
      BitBlt(dst, all.Left, 0, all.Width(), all.Height(), src, ci.X + WndPos.X + all.Left, ci.Y + WndPos.Y, SRCCOPY);
  } else {
    FillBmpRect(cache, all, behind);
  }
  PaintButton(cache, ci, UpRect(), UpState, true, behind);
  PaintButton(cache, ci, DownRect(), DownState, false, behind);
  if (!IsWindowEnabled(WndHandle)) DimDisabled(cache, ci);
  SharedCacheInfo = TsCacheInfo{};
  SkinData->BGChanged = false;
}

void TacSpinWnd::PaintButton(TBitmap* Cache, const TsCacheInfo& CI, const TRect& R, int State, bool Up, TColor Behind) {
  if (R.IsEmpty()) return;
  TsSkinManager* sm = SkinData->SkinManager();
  PaintControlItem(SkinData, CI, true, State, R, TPoint{WndPos.X + R.Left, WndPos.Y + R.Top}, Cache, true);
  FillButtonCorners(Cache, CI, R, State, Behind);
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

void TacSpinWnd::FillButtonCorners(TBitmap* Cache, const TsCacheInfo& CI, const TRect& R, int State, TColor Behind) {
  TsSkinManager* sm = SkinData->SkinManager();
  if (!sm->IsMaskIndex(SkinData->BorderIndex) || R.Width() < 2 || R.Height() < 2) return;
  qv::TMaskFrames mask = MaskFramesOf(sm, SkinData->BorderIndex);
  if (mask.ImageCount == 0) {
    mask.ImageCount = 3;
    mask.MaskType = 1;
  }
  const qv::TImageView all = BmpView(Cache);
  if (all.Empty()) return;
  const qv::TImageView half{R.Width(), R.Height(), all.Stride, all.At(R.Left, R.Top)};
  const qv::TCacheView parent =
      CI.Ready && CI.Bmp ? CacheViewAt(CI, WndPos.X + R.Left, WndPos.Y + R.Top) : qv::TCacheView{};
  qv::FillBorderCorners(half, R.Width(), R.Height(), mask, State, parent,
                        qv::TColorRef(ColorToRGB(Behind == clParentColorUnset ? clBtnFace : Behind)) & 0xFFFFFF);
}
