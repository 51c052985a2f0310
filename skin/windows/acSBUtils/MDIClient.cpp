// The adapter of an MDI form's client window: its frame and background painted from the form's
// image, its bars skinned, its children moved by the skinned bars.
#include "skin/windows/acSBUtils.h"

#include <algorithm>

#include "skin/engine/sQuorvexGraph.h"
#include "skin/windows/acSBUtils/Internal.h"

using namespace acsb;

bool (*MDIProviderAnimatingShow)(TObject* Provider) = nullptr;
void (*MDIProviderArranged)(TObject* Provider) = nullptr;
void (*MDIProviderRefreshMenuLine)(TObject* Provider) = nullptr;

// ---- TacMDIWnd --------------------------------------------------------------------------------------

TacMDIWnd::~TacMDIWnd() {
  FormSkinData = nullptr;
  Provider = nullptr;
}

TPoint TacMDIWnd::BarCacheOffset() const {
  if (!Form || !Form->HandleAllocated()) return TPoint{};
  const TRect c = WindowRectOf(WndHandle);
  const TRect f = WindowRectOf(Form->Handle());
  return TPoint{c.Left - f.Left, c.Top - f.Top};
}

bool TacMDIWnd::MaximizedChild() const {
  BOOL maximized = FALSE;
  HWND active = HWND(SendMessageA(WndHandle, WM_MDIGETACTIVE, 0, LPARAM(&maximized)));
  return active && maximized;
}

void TacMDIWnd::PaintClientBackground(HDC DC) {
  if (!Form || !FormSkinData || !FormSkinData->CacheBmp || FormSkinData->CacheBmp->Empty()) return;
  if (MDIProviderAnimatingShow && Provider && MDIProviderAnimatingShow(Provider)) return;
  RECT cr{};
  GetClientRect(WndHandle, &cr);
  POINT org{0, 0};
  ClientToScreen(WndHandle, &org);
  const TRect f = WindowRectOf(Form->Handle());
  const TPoint src{org.x - f.Left, org.y - f.Top};
  CopyCacheExcludingChildren(Form, FormSkinData, src, FromRECT(cr), DC, false, 0, 0);
  PaintGraphicChildren(DC, Form, src);
}

void TacMDIWnd::PaintUnderContainers() {
  if (!IsContainerClass || !Form || !Form->HandleAllocated() || !FormSkinData || !FormSkinData->CacheBmp ||
      FormSkinData->CacheBmp->Empty())
    return;
  const HWND formWnd = Form->Handle();
  const TRect f = WindowRectOf(formWnd);
  POINT org{0, 0};
  ClientToScreen(formWnd, &org);
  ClientDC dc(formWnd);
  BitmapDC src(FormSkinData->CacheBmp);
  if (!dc.Get() || !src.Get()) return;
  for (int i = 0; i < Form->ControlCount(); ++i) {
    TControl* c = Form->Controls(i);
    if (!c || !c->Visible() || !IsContainerClass(c)) continue;
    const TRect b = c->BoundsRect();
    BitBlt(dc, b.Left, b.Top, b.Width(), b.Height(), src, b.Left + org.x - f.Left, b.Top + org.y - f.Top, SRCCOPY);
  }
}

void TacMDIWnd::PlainMessage(TMessage& Message) { TacMDIWnd::HandleMessage(Message); }

void TacMDIWnd::HandleMessage(TMessage& Message) {
  auto alive = AliveToken();
  const bool skinned = !Destroyed && FormSkinData && FormSkinData->Skinned(false);
  switch (Message.Msg) {
    case SM_QUORVEXCMD:
      if (Message.WParamHi() == QC_GETCACHE) {
        Message.Result = Form ? SendControlSkinCommand(Form, QC_GETCACHE) : 0;
        return;
      }
      break;
    case WM_NCPAINT:
      if (skinned) {
        PaintFrame(Message);
        return;
      }
      break;
    case WM_PAINT:
      if (skinned && !MaximizedChild()) {
        PaintScope paint(WndHandle);
        ClientDC dc(WndHandle, HDC(Message.WParam));
        SavedDC saved(dc);
        PaintClientBackground(dc);
        return;
      }
      break;
    case WM_ERASEBKGND:
      if (skinned && Message.WParam) {
        if (!MaximizedChild())
          PaintClientBackground(HDC(Message.WParam));
        else
          PaintUnderContainers();
        Message.Result = 1;
        return;
      }
      break;
    case WM_PRINT:
      if (skinned && Message.WParam) {
        Message.Result = 0;
        if (!MaximizedChild()) PrintInto(HDC(Message.WParam));
        return;
      }
      break;
    case WM_MDITILE:
    case WM_MDICASCADE: Arrange(Message); return;
    case WM_HSCROLL:
    case WM_VSCROLL:
      if (skinned && ScrollChildren(Message)) return;
      break;
    default: break;
  }
  if (SkinOn())
    TacBaseWnd::HandleMessage(Message);
  else
    TacScrollWnd::PlainMessage(Message);
  if (!*alive) return;
  switch (Message.Msg) {
    case SM_QUORVEXCMD: AfterScrollCommand(Message); break;
    case WM_UNKNOWN3F:
    case WM_PARENTNOTIFY: FollowBarStyles(); break;
    case WM_MDIREFRESHMENU:
      if (MDIProviderRefreshMenuLine && Provider) MDIProviderRefreshMenuLine(Provider);
      break;
    default: break;
  }
}

void TacMDIWnd::PaintFrame(TMessage& Message) {
  if (MaximizedChild()) {
    Message.Result = 1;
    return;
  }
  WindowDC dc(WndHandle);
  if (!dc) return;
  PaintFrameBand(dc);
  PaintScrollBars(this, WndHandle, dc);
}

void TacMDIWnd::PaintFrameBand(HDC DC) {
  if (!FormSkinData->CacheBmp || FormSkinData->CacheBmp->Empty()) return;
  const TPoint off = BarCacheOffset();
  const TRect c = WindowRectOf(WndHandle);
  BitmapDC src(FormSkinData->CacheBmp);
  if (src) BitBltBorder(DC, 0, 0, c.Width(), c.Height(), src, off.X, off.Y, 2);
}

void TacMDIWnd::PrintInto(HDC DC) {
  PaintScrollBars(this, WndHandle, DC);
  PaintFrameBand(DC);
  RECT wr{};
  GetWindowRect(WndHandle, &wr);
  POINT org{0, 0};
  ClientToScreen(WndHandle, &org);
  SavedDC saved(DC);
  OffsetViewportOrgEx(DC, org.x - wr.left, org.y - wr.top, nullptr);
  PaintClientBackground(DC);
}

void TacMDIWnd::Arrange(TMessage& Message) {
  auto alive = AliveToken();
  if (!PassOn(Message)) return;
  if (FormSkinData) FormSkinData->BGChanged = true;
  if (MDIProviderArranged && Provider) MDIProviderArranged(Provider);
  if (!*alive) return;
  RedrawWindow(WndHandle, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_FRAME);
}

void TacMDIWnd::AfterScrollCommand(TMessage& Message) {
  // Redraw is not switched off around the adapter's scroll messages (QC_LOCKREDRAW): a client
  // without WS_VISIBLE moves no child window when it scrolls. The bars the client draws itself
  // meanwhile are repainted once the message is handled.
  if (Message.WParamHi() != QC_UNLOCKREDRAW || LoWord(std::uintptr_t(Message.LParam)) == SB_THUMBTRACK) return;
  const HWND wnd = WndHandle;
  auto alive = AliveToken();
  RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
  if (!*alive) return;
  RefreshScrollInfo(this, false);
  UpdateWindow(wnd);
}

bool TacMDIWnd::ScrollChildren(TMessage& Message) {
  const int code = LoWord(std::uintptr_t(Message.WParam));
  if (code == SB_THUMBTRACK) return true;
  if (code != SB_THUMBPOSITION) {
    Message.WParam = WPARAM(code);
    return false;
  }
  const int bar = Message.Msg == WM_VSCROLL ? SB_VERT : SB_HORZ;
  SCROLLINFO si{sizeof si, SIF_RANGE | SIF_PAGE | SIF_POS, 0, 0, 0, 0, 0};
  if (!GetScrollInfo(WndHandle, bar, &si)) return true;
  const int last = std::max(si.nMin, si.nMax - std::max(int(si.nPage), 1) + 1);
  const int pos = std::clamp(int(HiWord(std::uintptr_t(Message.WParam))), si.nMin, last);
  const int shift = si.nPos - pos;
  SetScrollPos(WndHandle, bar, pos, FALSE);
  ScrollWindowEx(WndHandle, bar == SB_HORZ ? shift : 0, bar == SB_VERT ? shift : 0, nullptr, nullptr, nullptr, nullptr,
                 SW_INVALIDATE | SW_ERASE | SW_SCROLLCHILDREN);
  Message.Result = 0;
  return true;
}

void TacMDIWnd::FollowBarStyles() {
  const LONG_PTR style = GetWindowLongPtrA(WndHandle, GWL_STYLE);
  if (VertBar) VertBar->ScrollVisible = (style & WS_VSCROLL) != 0;
  if (HorzBar) HorzBar->ScrollVisible = (style & WS_HSCROLL) != 0;
  RefreshScrollInfo(this, true);
}
