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
  ScrollState.TrackedThumb = t;
  const int pos = qv::TrackThumbPosition(t, boundsStart, boundsEnd, ScrollState.ThumbSize, RangeOf(bar->ScrollInfo));
  auto alive = a->AliveToken();
  if (pos != ScrollState.LastTrackPos) {
    ScrollState.LastTrackPos = pos;
    bar->ScrollInfo.nTrackPos = pos;
    a->ScrollFlag = 1;
    SendScrollMessage(wnd, ScrollState.ScrollMsg, SB_THUMBTRACK, pos);
    if (!*alive) return 0;
    a->ScrollFlag = 0;
  }
  // The bars after the window has followed the move (it may have drawn its own bars meanwhile):
  // the dragged one with the thumb under the pointer, the other when its state changed.
  if (a->ThumbTracking) RepaintBar(bar, wnd, qv::sbpThumb);
  if (*alive) RepaintChangedBars(a);
  return 0;
}

// Stops the repeat timer and resets the click state; the capture is released with Release (and
// when the window has it). Returns what the window must be told: the scroll message, the part
// clicked, whether a drag was under way and its last position.
struct TEndedClick {
  UINT Msg = 0;
  int Part = -1;
  bool Dragged = false;
  int LastPos = 0;
  TacScrollBar* Bar = nullptr;
};
TEndedClick EndClickState(TacScrollWnd* a, HWND wnd, bool release) {
  TEndedClick e{ScrollState.ScrollMsg, ScrollState.ClickedPart, a->ThumbTracking, ScrollState.LastTrackPos,
                BarOfKind(a, ScrollState.PressedBar)};
  if (ScrollState.RepeatTimer && IsWindow(wnd)) KillTimer(wnd, ScrollState.RepeatTimer);
  // The state ends before anything is sent: a handler of the scroll messages may start anew.
  ResetClickState();
  a->ThumbTracking = false;
  if (release && GetCapture() == wnd) ReleaseCapture();
  return e;
}

// Tells the window that the click or drag ended, as a button-up does: a drag scrolls to its last
// position (SB_THUMBPOSITION) and both end with SB_ENDSCROLL; the bar is then painted unpressed.
void NotifyEnd(TacScrollWnd* a, HWND wnd, const TEndedClick& e) {
  auto alive = a->AliveToken();
  a->ScrollFlag = 1;
  if (e.Part >= 0 && e.Part <= 3) {
    SendScrollMessage(wnd, e.Msg, SB_ENDSCROLL, 0);
  } else if (e.Part == qv::sbpThumb) {
    if (e.Dragged) {
      SendScrollMessage(wnd, e.Msg, SB_THUMBPOSITION, e.LastPos);
      if (!*alive) return;
      SendScrollMessage(wnd, e.Msg, SB_ENDSCROLL, e.LastPos);
    } else {
      SendScrollMessage(wnd, e.Msg, SB_ENDSCROLL, 0);
    }
  }
  if (!*alive) return;
  a->ScrollFlag = 0;
  if (e.Bar && e.Bar->Owner) RepaintBar(e.Bar, wnd, -1);
  if (*alive) RepaintChangedBars(a);
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
  auto* adapter = dynamic_cast<TacScrollWnd*>(GetWndAdapter(Wnd));
  if (Code == SB_THUMBTRACK && qv::ThumbTrackSetsPos(Pos, RangeOf(si)) &&
      (!adapter || adapter->SetsPositionWhileTracking()))
    SetScrollPos(Wnd, bar, Pos, FALSE);
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
    PaintScrollBars(Adapter, Wnd, nullptr);
  }
  // Over a bar the move stays here: the window's default handling would draw its own bar, hot.
  if (kind >= 0) return 0;
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
    ScrollState.TrackedThumb = ScrollState.ThumbPos - (vertical ? wr.Top : wr.Left);
    RepaintBar(bar, Wnd, qv::sbpThumb);
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
    const TEndedClick e = EndClickState(Adapter, Wnd, !Adapter->KeepsCaptureOnButtonUp());
    if (!*alive) return 0;
    NotifyEnd(Adapter, Wnd, e);
    if (!*alive || !Adapter->HearsButtonUpOfBars()) return 0;
  }
  LPARAM lp = LParam;
  return CallPrevProc(Adapter, Wnd, WM_LBUTTONUP, WParam, lp);
}

void TacScrollWnd::FinishClick(bool Notify) {
  if (ScrollState.ClickedPart == -1 || ScrollState.CurrentScrollWnd != WndHandle || !WndHandle) return;
  const TEndedClick e = EndClickState(this, WndHandle, true);
  if (Notify && IsWindow(WndHandle))
    NotifyEnd(this, WndHandle, e);
  else if (e.Bar && e.Bar->Owner && IsWindow(WndHandle))
    RepaintBar(e.Bar, WndHandle, -1);
}

namespace {

// The hover timer: the hot part follows the pointer (the hovered bar repainted only when it
// changes); once the pointer has left the bar the hover ends and both bars are repainted.
void HoverTick(TacScrollWnd* a, HWND wnd) {
  if (!ScrollState.HoverTimer) {
    KillTimer(wnd, acHoverTimerId);
    return;
  }
  POINT cp{};
  GetCursorPos(&cp);
  const TPoint p{cp.x, cp.y};
  TacScrollBar* bar = BarOfKind(a, ScrollState.HotBar);
  if (bar && ScrollState.HotBarRect.Contains(p)) {
    ScrollState.HotPart = ScrollBarHitTest(bar, wnd, ScrollState.HotBarRect, p.Y, p.X);
    if (ScrollState.HotPart != ScrollState.LastHotPart)
      RepaintBar(bar, wnd, ScrollState.PressedBar == ScrollState.HotBar ? ScrollState.PressedPart : -1);
    ScrollState.LastHotPart = ScrollState.HotPart;
  } else {
    KillTimer(wnd, acHoverTimerId);
    ScrollState.HoverTimer = 0;
    ScrollState.HoverWnd = nullptr;
    ScrollState.HotBar = ScrollState.LastHotPart = ScrollState.HotPart = -1;
    PaintScrollBars(a, wnd, nullptr);
  }
}

}  // namespace

LRESULT ScrollTimer(TacScrollWnd* Adapter, HWND Wnd, WPARAM WParam, LPARAM LParam) {
  auto alive = Adapter->AliveToken();
  switch (WParam) {
    case acHoverTimerId:
      if (!Adapter->ThumbTracking) HoverTick(Adapter, Wnd);
      return 0;
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
