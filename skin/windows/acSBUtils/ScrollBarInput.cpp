// Skinned scroll bars: the pointer on them. Hit testing, hover, clicks with auto-repeat and thumb
// dragging turned into the window's ordinary WM_HSCROLL / WM_VSCROLL messages, with the one
// interaction state of the process.
#include "skin/windows/acSBUtils.h"

#include <algorithm>

#include "skin/windows/acSBUtils/Internal.h"
#include "skin/windows/core/acScrollGeometry.h"

using namespace acsb;

TacScrollState ScrollState;

namespace {

int LParamX(LPARAM l) { return std::int16_t(LOWORD(DWORD_PTR(l))); }
int LParamY(LPARAM l) { return std::int16_t(HIWORD(DWORD_PTR(l))); }

TPoint MessagePoint() {
  const DWORD pos = GetMessagePos();
  return TPoint{std::int16_t(LOWORD(pos)), std::int16_t(HIWORD(pos))};
}

}  // namespace

void acsb::ResetClickState() {
  ScrollState.ClickedPart = -1;
  ScrollState.PressedPart = -1;
  ScrollState.PressedBar = -1;
  ScrollState.RepeatTimer = 0;
  ScrollState.ScrollMsg = 0;
  ScrollState.LastTrackPos = -1;
}

namespace {

LRESULT TrackThumb(TacScrollBar* bar, HWND wnd, int x, int y) {
  TacScrollWnd* a = bar->Owner;
  const bool vertical = bar->BarKind == 1;
  const int arrow = GetScrollBarSize(bar, false, true);
  const TRect wr = WindowRectOf(wnd);
  const int origin = vertical ? wr.Top : wr.Left;
  const int boundsStart = (vertical ? ScrollState.ThumbBounds.Top : ScrollState.ThumbBounds.Left) + arrow - origin;
  const int boundsEnd = (vertical ? ScrollState.ThumbBounds.Bottom : ScrollState.ThumbBounds.Right) - arrow - origin;
  const int pointer = (vertical ? y : x) - origin;
  const int t = qv::TrackThumbStart(pointer, ScrollState.ThumbOffset, boundsStart, boundsEnd, ScrollState.ThumbSize);
  DrawTrackedBar(bar, wnd, t);
  const int pos = qv::TrackThumbPosition(t, boundsStart, boundsEnd, ScrollState.ThumbSize, RangeOf(bar->ScrollInfo));
  if (pos != ScrollState.LastTrackPos) {
    bar->ScrollInfo.nTrackPos = pos;
    auto alive = a->AliveToken();
    a->ScrollFlag = 1;
    SendScrollMessage(wnd, ScrollState.ScrollMsg, SB_THUMBTRACK, pos);
    if (!*alive) return 0;
    a->ScrollFlag = 0;
  }
  ScrollState.LastTrackPos = pos;
  return 0;
}

}  // namespace

int ScrollBarHitTest(TacScrollBar* Bar, HWND Wnd, const TRect& R, int Y, int X) {
  (void)Wnd;
  if (!Bar) return qv::sbpNone;
  const bool vertical = Bar->BarKind == 1;
  // The arrows as long as they are drawn (the skin's length), here as in the thumb's placing and
  // dragging: a click lands on the part the user sees under the pointer.
  const int btn = GetScrollBarSize(Bar, false, true);
  const int start = vertical ? R.Top : R.Left, end = vertical ? R.Bottom : R.Right;
  const qv::TThumb thumb = qv::CalcThumb(start, end, btn, RangeOf(Bar->ScrollInfo), Bar->MinThumbSize);
  return vertical ? qv::ScrollHitTest(start, end, btn, thumb, Y, X, R.Left, R.Right)
                  : qv::ScrollHitTest(start, end, btn, thumb, X, Y, R.Top, R.Bottom);
}

LRESULT SendScrollMessage(HWND Wnd, UINT Msg, int Code, int Pos) {
  SendSkinCommand(Wnd, QC_LOCKREDRAW, 0);
  const int bar = Msg == WM_HSCROLL ? SB_HORZ : SB_VERT;
  SCROLLINFO si{sizeof(SCROLLINFO), SIF_RANGE | SIF_PAGE | SIF_POS, 0, 0, 0, 0, 0};
  GetScrollInfo(Wnd, bar, &si);
  if (Code == SB_THUMBTRACK && qv::ThumbTrackSetsPos(Pos, RangeOf(si))) SetScrollPos(Wnd, bar, Pos, FALSE);
  if (!IsWindow(Wnd)) return 0;
  SendMessageA(Wnd, Msg, MAKEWPARAM(WORD(Code), WORD(Pos)), 0);
  if (!IsWindow(Wnd)) return 0;
  return SendSkinCommand(Wnd, QC_UNLOCKREDRAW, LPARAM(MAKELONG(WORD(Code), WORD(Msg))));
}

// ---- Message handlers ----------------------------------------------------------------------------

LRESULT ScrollNCHitTest(TacScrollWnd* Adapter, HWND Wnd, WPARAM WParam, LPARAM LParam) {
  const TPoint p{LParamX(LParam), LParamY(LParam)};
  const qv::TBarFrame f = FrameOf(Adapter, Wnd);
  if (f.HorzVisible) {
    const TRect r = qv::HorzBarRect(f);
    if (r.Contains(p)) return IsScrollBarEnabled(Adapter->HorzBar) ? HTHSCROLL : HTNOWHERE;
  }
  if (f.VertVisible) {
    const TRect r = qv::VertBarRect(f);
    if (r.Contains(p)) return IsScrollBarEnabled(Adapter->VertBar) ? HTVSCROLL : HTNOWHERE;
  }
  const TRect box = qv::CornerBoxRect(f);
  if (!box.IsEmpty() && SizeGripShowsFor(Adapter, Wnd, box)) {
    const TRect h = qv::HorzBarRect(f), v = qv::VertBarRect(f);
    const TRect grip = Rect(std::min(h.Right, v.Right), h.Top, std::max(h.Right, v.Right), h.Bottom);
    if (grip.Contains(p)) return HTBOTTOMRIGHT;
  }
  LPARAM lp = LParam;
  return CallPrevProc(Adapter, Wnd, WM_NCHITTEST, WParam, lp);
}

LRESULT ScrollNCMouseMove(TacScrollWnd* Adapter, HWND Wnd, WPARAM WParam, LPARAM LParam) {
  ScrollState.CurrentScrollWnd = Wnd;
  const int kind = WParam == HTHSCROLL ? 0 : WParam == HTVSCROLL ? 1 : -1;
  if (kind >= 0 && ScrollState.HoverTimer && ScrollState.HoverWnd != Wnd) {
    // The pointer came over another window's bar: the old hover ends there first.
    if (ScrollState.HoverWnd && IsWindow(ScrollState.HoverWnd)) KillTimer(ScrollState.HoverWnd, acHoverTimerId);
    ScrollState.HoverTimer = 0;
    ScrollState.HotBar = ScrollState.LastHotPart = ScrollState.HotPart = -1;
  }
  if (kind >= 0 && ScrollState.HotBar != kind) {
    ScrollState.HoverWnd = Wnd;
    ScrollState.LastHotPart = ScrollState.HotPart = -1;
    ScrollState.HotBarRect = BarScreenRect(BarOfKind(Adapter, kind), Wnd);
    ScrollState.HotBar = kind;
    ScrollState.HoverTimer = SetTimer(Wnd, acHoverTimerId, acHoverInterval, nullptr);
    auto alive = Adapter->AliveToken();
    PaintScrollBars(Adapter, Wnd, nullptr);
    if (!*alive) return 0;
  }
  LPARAM lp = LParam;
  return CallPrevProc(Adapter, Wnd, WM_NCMOUSEMOVE, WParam, lp);
}

LRESULT ScrollNCLButtonDown(TacScrollWnd* Adapter, HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
  ScrollState.CurrentScrollWnd = Wnd;
  TacScrollBar* bar;
  if (WParam == HTHSCROLL) {
    ScrollState.ScrollMsg = WM_HSCROLL;
    ScrollState.PressedBar = 0;
    bar = Adapter->HorzBar;
  } else {
    ScrollState.ScrollMsg = WM_VSCROLL;
    ScrollState.PressedBar = 1;
    bar = Adapter->VertBar;
  }
  const TPoint p{LParamX(LParam), LParamY(LParam)};
  const TRect br = BarScreenRect(bar, Wnd);
  ScrollState.ClickedPart = ScrollBarHitTest(bar, Wnd, br, p.Y, p.X);
  auto alive = Adapter->AliveToken();
  if (ScrollState.ClickedPart >= 0 && ScrollState.ClickedPart <= 3) {
    if (!IsScrollBarEnabled(bar)) {
      ResetClickState();  // a disabled bar does nothing, and takes no capture
      return 0;
    }
    ScrollState.PressedPart = ScrollBarHitTest(bar, Wnd, br, p.Y, p.X);
    RepaintBar(bar, Wnd, ScrollState.PressedPart);
    SendScrollMessage(Wnd, ScrollState.ScrollMsg, ScrollState.ClickedPart, 0);
    if (!*alive) return 0;
    ScrollState.PressedPart = ScrollState.ClickedPart;
    ScrollState.RepeatTimer = SetTimer(Wnd, acFirstRepeatTimerId, acFirstRepeatDelay, nullptr);
  } else if (ScrollState.ClickedPart == qv::sbpThumb) {
    if (!IsScrollBarEnabled(bar)) {
      ResetClickState();
      return 0;
    }
    ReadScrollInfo(bar, Wnd);
    const bool vertical = bar->BarKind == 1;
    const qv::TThumb t = qv::CalcThumb(vertical ? br.Top : br.Left, vertical ? br.Bottom : br.Right,
                                       GetScrollBarSize(bar, false, true), RangeOf(bar->ScrollInfo), bar->MinThumbSize);
    ScrollState.ThumbSize = t.Size;
    ScrollState.ThumbPos = t.Pos;
    ScrollState.ThumbBounds = br;
    Adapter->ThumbTracking = true;
    bar->ScrollInfo.nTrackPos = bar->ScrollInfo.nPos;
    ScrollState.ThumbOffset = (vertical ? p.Y : p.X) - ScrollState.ThumbPos;
    ScrollState.LastTrackPos = bar->ScrollInfo.nPos;
    ScrollState.PressedPart = qv::sbpThumb;
    const TRect wr = WindowRectOf(Wnd);
    DrawTrackedBar(bar, Wnd, ScrollState.ThumbPos - (vertical ? wr.Top : wr.Left));
  } else {
    ResetClickState();
    LPARAM lp = LParam;
    return CallPrevProc(Adapter, Wnd, Msg == WM_NCLBUTTONDBLCLK ? WM_NCLBUTTONDBLCLK : WM_NCLBUTTONDOWN, WParam, lp);
  }
  if (ScrollState.ClickedPart != -1) SetCapture(Wnd);
  return 0;
}

LRESULT ScrollMouseMove(TacScrollWnd* Adapter, HWND Wnd, WPARAM WParam, LPARAM LParam) {
  // A click or a drag belongs to the window it began in.
  TacScrollBar* bar = ScrollState.CurrentScrollWnd == Wnd ? BarOfKind(Adapter, ScrollState.PressedBar) : nullptr;
  if (Adapter->ThumbTracking && bar) {
    const TPoint p = MessagePoint();
    return TrackThumb(bar, Wnd, p.X, p.Y);
  }
  if (bar &&
      ((ScrollState.ClickedPart >= 0 && ScrollState.ClickedPart <= 3) || ScrollState.ClickedPart == qv::sbpThumb)) {
    const TPoint p = MessagePoint();
    const int part = ScrollBarHitTest(bar, Wnd, BarScreenRect(bar, Wnd), p.Y, p.X);
    const int wanted = part == ScrollState.ClickedPart ? ScrollState.ClickedPart : -1;
    if (wanted != ScrollState.PressedPart) {
      ScrollState.PressedPart = wanted;
      RepaintBar(bar, Wnd, ScrollState.PressedPart);
    }
    return 0;
  }
  LPARAM lp = LParam;
  return CallPrevProc(Adapter, Wnd, WM_MOUSEMOVE, WParam, lp);
}

LRESULT ScrollLButtonUp(TacScrollWnd* Adapter, HWND Wnd, WPARAM WParam, LPARAM LParam) {
  auto alive = Adapter->AliveToken();
  if (ScrollState.ClickedPart != -1 && ScrollState.CurrentScrollWnd == Wnd) {  // a click of this window's bars
    const int clicked = ScrollState.ClickedPart;
    const UINT msg = ScrollState.ScrollMsg;
    TacScrollBar* bar = BarOfKind(Adapter, ScrollState.PressedBar);
    const int track = ScrollState.LastTrackPos;
    const bool tracking = Adapter->ThumbTracking;
    if (ScrollState.RepeatTimer) KillTimer(Wnd, ScrollState.RepeatTimer);
    // The state ends before anything is sent: a handler of the scroll messages may start anew.
    ResetClickState();
    if (!Adapter->KeepsCaptureOnButtonUp() && GetCapture() == Wnd) ReleaseCapture();
    if (!*alive) return 0;
    Adapter->ScrollFlag = 1;
    if (clicked >= 0 && clicked <= 3) {
      SendScrollMessage(Wnd, msg, SB_ENDSCROLL, 0);
    } else if (clicked == qv::sbpThumb) {
      // Only a drag of our own scrolls to its last position.
      Adapter->ThumbTracking = false;
      if (tracking) {
        SendScrollMessage(Wnd, msg, SB_THUMBPOSITION, track);
        if (!*alive) return 0;
        SendScrollMessage(Wnd, msg, SB_ENDSCROLL, track);
      } else {
        SendScrollMessage(Wnd, msg, SB_ENDSCROLL, 0);
      }
    }
    if (!*alive) return 0;
    Adapter->ScrollFlag = 0;
    if (bar && bar->Owner) RepaintBar(bar, Wnd, -1);
  }
  LPARAM lp = LParam;
  return CallPrevProc(Adapter, Wnd, WM_LBUTTONUP, WParam, lp);
}

void TacScrollWnd::CancelClick() {
  if (ScrollState.ClickedPart == -1 || ScrollState.CurrentScrollWnd != WndHandle) return;
  if (ScrollState.RepeatTimer) KillTimer(WndHandle, ScrollState.RepeatTimer);
  TacScrollBar* bar = BarOfKind(this, ScrollState.PressedBar);
  ResetClickState();
  ThumbTracking = false;
  if (bar) RepaintBar(bar, WndHandle, -1);
}

LRESULT ScrollTimer(TacScrollWnd* Adapter, HWND Wnd, WPARAM WParam, LPARAM LParam) {
  auto alive = Adapter->AliveToken();
  switch (WParam) {
    case acHoverTimerId: {
      if (Adapter->ThumbTracking) return 0;
      if (!ScrollState.HoverTimer) {
        KillTimer(Wnd, acHoverTimerId);
        return 0;
      }
      POINT cp{};
      GetCursorPos(&cp);
      const TPoint p{cp.x, cp.y};
      TacScrollBar* bar = BarOfKind(Adapter, ScrollState.HotBar);
      if (bar && ScrollState.HotBarRect.Contains(p)) {
        ScrollState.HotPart = ScrollBarHitTest(bar, Wnd, ScrollState.HotBarRect, p.Y, p.X);
        if (ScrollState.HotPart != ScrollState.LastHotPart)
          RepaintBar(bar, Wnd, ScrollState.PressedBar == ScrollState.HotBar ? ScrollState.PressedPart : -1);
        ScrollState.LastHotPart = ScrollState.HotPart;
      } else {
        KillTimer(Wnd, acHoverTimerId);
        ScrollState.HoverTimer = 0;
        ScrollState.HoverWnd = nullptr;
        ScrollState.HotBar = ScrollState.LastHotPart = ScrollState.HotPart = -1;
        PaintScrollBars(Adapter, Wnd, nullptr);
      }
      return 0;
    }
    case acFirstRepeatTimerId:
      KillTimer(Wnd, acFirstRepeatTimerId);
      if (ScrollState.RepeatTimer != acFirstRepeatTimerId) return 0;  // left over from an ended click
      ScrollState.RepeatTimer = SetTimer(Wnd, acRepeatTimerId, acRepeatInterval, nullptr);
      return 0;
    case acRepeatTimerId:
      if (ScrollState.RepeatTimer != acRepeatTimerId) {
        KillTimer(Wnd, acRepeatTimerId);
        return 0;
      }
      ScrollMouseMove(Adapter, Wnd, 0, 0);
      if (!*alive) return 0;
      if (ScrollState.PressedPart != -1) {
        Adapter->ScrollFlag = 1;
        SendScrollMessage(Wnd, ScrollState.ScrollMsg, ScrollState.PressedPart, 0);
        if (!*alive) return 0;
        Adapter->ScrollFlag = 0;
      }
      return 0;
    default: {
      // A timer of the window's own reaches its procedure once, with its own id.
      LPARAM lp = LParam;
      return CallPrevProc(Adapter, Wnd, WM_TIMER, WParam, lp);
    }
  }
}

LRESULT ScrollSetCursor(TacScrollWnd* Adapter, HWND Wnd, WPARAM WParam, LPARAM LParam) {
  LPARAM lp = LParam;
  return CallPrevProc(Adapter, Wnd, WM_SETCURSOR, WParam, lp);
}
