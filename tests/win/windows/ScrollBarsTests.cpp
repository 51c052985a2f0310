// Skinned scroll bars on subclassed windows: frame room, hit testing, clicks with auto-repeat,
// thumb dragging, painted parts and states, WM_PRINT against the screen, edit adapters of memos.
#include "tests/support/AdapterTestSupport.h"

#include <algorithm>

#include "classlib/StdCtrls.h"
#include "skin/windows/core/acScrollGeometry.h"
#include "tests/support/PixelProbe.h"
#include "tests/support/core/SkinBuilder.h"

namespace qvtest {
namespace {

struct TScrollEvent {
  UINT Msg;
  int Code;
  int Pos;
  DWORD Tick;
  int TrackPos;  // SIF_TRACKPOS read by the window while handling the message
};

class ScrollBars : public AdapterTest {
 protected:
  void SetUp() override {
    AdapterTest::SetUp();
    Top = Track(CreatePlainWindow(nullptr, 0, 30, 30, 420, 340));
  }
  void TearDown() override {
    if (GetCapture()) ReleaseCapture();
    FreeAndNil(Adapter);
    AdapterTest::TearDown();
  }
  // A child with both bars and a one-pixel border, range 0..100, page 10.
  HWND MakeScrolled(DWORD exStyle = 0, int w = 200, int h = 160) {
    HWND wnd = Track(CreatePlainWindow(Top, WS_BORDER | WS_VSCROLL | WS_HSCROLL, 20, 20, w, h, exStyle));
    SCROLLINFO si{sizeof si, SIF_RANGE | SIF_PAGE | SIF_POS, 0, 100, 10, 0, 0};
    SetScrollInfo(wnd, SB_VERT, &si, FALSE);
    SetScrollInfo(wnd, SB_HORZ, &si, FALSE);
    PlainLog.OnMessage = [this](HWND w, UINT msg, WPARAM wp, LPARAM) {
      if (msg != WM_VSCROLL && msg != WM_HSCROLL) return;
      SCROLLINFO ti{sizeof ti, SIF_TRACKPOS, 0, 0, 0, 0, 0};
      GetScrollInfo(w, msg == WM_VSCROLL ? SB_VERT : SB_HORZ, &ti);
      Events.push_back(TScrollEvent{msg, LOWORD(wp), HIWORD(wp), GetTickCount(), ti.nTrackPos});
    };
    return wnd;
  }
  void Attach(HWND wnd) {
    Adapter = Create<TacEditWnd>(wnd, nullptr, Manager, "EDIT", true);
    ASSERT_FALSE(Adapter->Destroyed);
    flush_events(40, 1500);
  }
  TRect VertRect(HWND wnd) {
    TRect r;
    GetVertBarRect(Adapter, wnd, r);
    return r;
  }
  static LPARAM ScreenLParam(int x, int y) { return MAKELPARAM(WORD(std::int16_t(x)), WORD(std::int16_t(y))); }
  std::vector<TScrollEvent> Codes(int code) const {
    std::vector<TScrollEvent> out;
    for (const auto& e : Events)
      if (e.Code == code) out.push_back(e);
    return out;
  }
  COLORREF Frame(const char* section, const char* prop, int state) const {
    return TSkinBuilder::FrameColor(Builder.MaskOrdinal(section, prop), state);
  }

  HWND Top = nullptr;
  TacEditWnd* Adapter = nullptr;
  std::vector<TScrollEvent> Events;
};

TEST_F(ScrollBars, ClientAreaShrinksByTheSkinnedBarSize) {
  for (DWORD ex : {DWORD(0), DWORD(WS_EX_LEFTSCROLLBAR)}) {
    SCOPED_TRACE(ex ? "left" : "right");
    HWND wnd = MakeScrolled(ex);
    Attach(wnd);
    Adapter->VertBar->Thickness = 24;
    Adapter->HorzBar->Thickness = 19;
    SetWindowPos(wnd, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_FRAMECHANGED);
    RECT cr{}, wr{};
    GetClientRect(wnd, &cr);
    GetWindowRect(wnd, &wr);
    POINT org{0, 0};
    ClientToScreen(wnd, &org);
    EXPECT_EQ(200 - 2 - 24, cr.right);
    EXPECT_EQ(160 - 2 - 19, cr.bottom);
    EXPECT_EQ(1 + (ex ? 24 : 0), org.x - wr.left);
    EXPECT_EQ(1, Adapter->BorderLeft);
    EXPECT_EQ(ex != 0, Adapter->LeftScrollBar);
    const TRect v = VertRect(wnd);
    EXPECT_EQ(ex ? wr.left + 1 : wr.right - 1 - 24, v.Left);
    EXPECT_EQ(24, v.Width());
    // The up arrow is painted where the bar lies, at the left with WS_EX_LEFTSCROLLBAR.
    const Capture cap = CaptureWMPrint(wnd);
    EXPECT_EQ(Frame("SCROLLBTNTOP", "BORDERSMASK", 0), cap.Pixel(v.Left - wr.left + 2, v.Top - wr.top + 8));
    // The frame hit test answers over the skinned bar.
    EXPECT_EQ(HTVSCROLL, SendMessageA(wnd, WM_NCHITTEST, 0, ScreenLParam(v.Left + 3, v.Top + 40)));
    FreeAndNil(Adapter);
    DestroyWindow(wnd);
  }
}

TEST_F(ScrollBars, BareWindowIsGivenBackOnDestroy) {
  HWND wnd = MakeScrolled();
  Attach(wnd);
  EXPECT_EQ(Adapter, GetPropA(wnd, "ACSBSC"));
  EXPECT_EQ(&AdapterWndProc, reinterpret_cast<WNDPROC>(GetWindowLongPtrA(wnd, GWLP_WNDPROC)));
  HANDLE prop = reinterpret_cast<HANDLE>(1);
  WNDPROC proc = nullptr;
  PlainLog.OnMessage = [&](HWND w, UINT msg, WPARAM, LPARAM) {
    if (msg == WM_DESTROY) {
      prop = GetPropA(w, "ACSBSC");
      proc = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(w, GWLP_WNDPROC));
    }
  };
  DestroyWindow(wnd);
  EXPECT_EQ(nullptr, prop);
  EXPECT_EQ(PlainProc, proc);
  EXPECT_TRUE(Adapter->Destroyed);
  EXPECT_EQ(nullptr, Adapter->HorzBar);
  EXPECT_EQ(nullptr, Adapter->VertBar);
}

TEST_F(ScrollBars, DetachingABareWindowGivesItBackAndFreesTheAdapter) {
  HWND wnd = MakeScrolled();
  Attach(wnd);
  Adapter->VertBar->Thickness = GetSystemMetrics(SM_CXVSCROLL) + 6;
  SetWindowPos(wnd, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_FRAMECHANGED);
  RECT skinned{}, plain{};
  GetClientRect(wnd, &skinned);
  auto alive = Adapter->AliveToken();
  DetachScrollWnd(wnd, true, true, Adapter);
  EXPECT_EQ(nullptr, Adapter);
  EXPECT_FALSE(*alive);
  EXPECT_EQ(PlainProc, reinterpret_cast<WNDPROC>(GetWindowLongPtrA(wnd, GWLP_WNDPROC)));
  EXPECT_EQ(nullptr, GetPropA(wnd, "ACSBSC"));
  // The frame was computed again by the window alone: the system's bar width.
  GetClientRect(wnd, &plain);
  EXPECT_EQ(6, plain.right - skinned.right);
}

TEST_F(ScrollBars, LeavingAHoveredBarStopsTheHoverTimer) {
  HWND wnd = MakeScrolled();
  Attach(wnd);
  const TRect v = VertRect(wnd);
  SetCursorPos(v.Left + 3, v.Bottom - 8);
  SendMessageA(wnd, WM_NCMOUSEMOVE, HTVSCROLL, ScreenLParam(v.Left + 3, v.Bottom - 8));
  EXPECT_EQ(1, ScrollState.HotBar);
  EXPECT_NE(0u, ScrollState.HoverTimer);
  SetCursorPos(2, 2);
  EXPECT_TRUE(pump_until([] { return ScrollState.HoverTimer == 0; }, 1500));
  EXPECT_EQ(-1, ScrollState.HotBar);
  EXPECT_EQ(-1, ScrollState.HotPart);
}

TEST_F(ScrollBars, NarrowWindowGetsNoVerticalBar) {
  HWND wnd = MakeScrolled(0, 12, 160);
  Attach(wnd);
  EXPECT_FALSE(Adapter->VertBar->ScrollVisible);
  EXPECT_TRUE(Adapter->HorzBar->ScrollVisible);
}

TEST_F(ScrollBars, ShortBarShowsTwoHalfArrowsAndScrollsByALine) {
  // Client 24 pixels high: the vertical bar is shorter than two 16-pixel arrows.
  HWND wnd = Track(CreatePlainWindow(Top, WS_BORDER | WS_VSCROLL, 20, 20, 120, 26));
  SCROLLINFO si{sizeof si, SIF_RANGE | SIF_PAGE | SIF_POS, 0, 100, 10, 40, 0};
  SetScrollInfo(wnd, SB_VERT, &si, FALSE);
  PlainLog.OnMessage = [this](HWND, UINT msg, WPARAM wp, LPARAM) {
    if (msg == WM_VSCROLL) Events.push_back(TScrollEvent{msg, LOWORD(wp), HIWORD(wp), GetTickCount(), 0});
  };
  Attach(wnd);
  const TRect v = VertRect(wnd);
  ASSERT_LT(v.Height(), 32);
  RECT wr{};
  GetWindowRect(wnd, &wr);
  const Capture cap = CaptureWMPrint(wnd);
  const int x = v.Left - wr.left + 2;
  EXPECT_EQ(Frame("SCROLLBTNTOP", "BORDERSMASK", 0), cap.Pixel(x, v.Top - wr.top + v.Height() / 4));
  EXPECT_EQ(Frame("SCROLLBTNBOTTOM", "BORDERSMASK", 0), cap.Pixel(x, v.Top - wr.top + 3 * v.Height() / 4));
  const RECT bar{v.Left - wr.left, v.Top - wr.top, v.Right - wr.left, v.Bottom - wr.top};
  EXPECT_EQ(0, cap.CountColor(Frame("SCROLLSLIDERV", "BORDERSMASK", 0), bar));
  for (int half : {0, 1}) {
    Events.clear();
    const int y = half == 0 ? v.Top + 2 : v.Bottom - 2;
    SendMessageA(wnd, WM_NCLBUTTONDOWN, HTVSCROLL, ScreenLParam(v.Left + 3, y));
    SendMessageA(wnd, WM_LBUTTONUP, 0, 0);
    ASSERT_EQ(2u, Events.size()) << half;
    EXPECT_EQ(half == 0 ? SB_LINEUP : SB_LINEDOWN, Events[0].Code);
    EXPECT_EQ(SB_ENDSCROLL, Events[1].Code);
  }
}

TEST_F(ScrollBars, ArrowLengthFromTheSkinAndBarThickness) {
  struct TCase {
    const char* Name;
    bool Reserved;         // "RESERVEDBOOLEAN" of SCROLLBTNLEFT
    int LeftW, LeftCount;  // SCROLLBTNLEFT BORDERSMASK frame width and count
    int TopH, TopType;     // SCROLLBTNTOP BORDERSMASK frame height and mask type (0: no mask)
    int ArrowLength;       // the bars' ArrowLength
    int Horz, Vert;        // expected arrow lengths with the skin
  } cases[] = {
      {"flag off", false, 20, 3, 22, 0, -1, 16, 16},
      {"from the images", true, 20, 3, 22, 0, -1, 20, 22},
      {"mask type 1 halves the height", true, 20, 3, 24, 1, -1, 20, 24},
      {"raised to 16", true, 12, 3, 10, 0, -1, 16, 16},
      {"no top image: default", true, 20, 3, 0, 0, -1, 20, 16},
      {"twice", true, 20, 3, 22, 0, -2, 40, 44},
      {"fixed", true, 20, 3, 22, 0, 7, 7, 7},
  };
  HWND wnd = MakeScrolled();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    TSkinBuilder b = TSkinBuilder::Standard();
    if (c.Reserved) b.Key("SCROLLBTNLEFT", "RESERVEDBOOLEAN", "TRUE");
    b.RemoveMask("SCROLLBTNLEFT", "BORDERSMASK");
    b.Mask("SCROLLBTNLEFT", "BORDERSMASK", c.LeftW, 16, c.LeftCount);
    b.RemoveMask("SCROLLBTNTOP", "BORDERSMASK");
    if (c.TopH > 0) b.Mask("SCROLLBTNTOP", "BORDERSMASK", 16, c.TopH, 3, c.TopType);
    TsSkinManager* sm = CreateTestManager(b, "Arrows", false);
    ASSERT_TRUE(sm->SkinData()->Active) << sm->LastError();
    auto* a = Create<TacEditWnd>(wnd, nullptr, sm, "EDIT", true);
    a->HorzBar->ArrowLength = a->VertBar->ArrowLength = c.ArrowLength;
    EXPECT_EQ(c.Horz, GetScrollBarSize(a->HorzBar, false, true));
    EXPECT_EQ(c.Vert, GetScrollBarSize(a->VertBar, false, true));
    // Without the skin: the default length (times the factor).
    const int plain = c.ArrowLength >= 0 ? c.ArrowLength : -c.ArrowLength * 16;
    EXPECT_EQ(plain, GetScrollBarSize(a->HorzBar, false, false));
    a->Free();
    FreeAndNil(sm);
  }
}

TEST_F(ScrollBars, LongSkinArrowsAreHitWhereTheyAreDrawn) {
  // Arrows 24 pixels long in the skin: the thumb starts after them and a click anywhere on a
  // drawn arrow scrolls by a line.
  TSkinBuilder b = TSkinBuilder::Standard();
  b.Key("SCROLLBTNLEFT", "RESERVEDBOOLEAN", "TRUE");
  b.RemoveMask("SCROLLBTNTOP", "BORDERSMASK");
  b.Mask("SCROLLBTNTOP", "BORDERSMASK", 16, 24, 3);
  TsSkinManager* sm = CreateTestManager(b, "LongArrows", false);
  HWND wnd = MakeScrolled();
  Adapter = Create<TacEditWnd>(wnd, nullptr, sm, "EDIT", true);
  flush_events(40, 1000);
  ASSERT_EQ(24, GetScrollBarSize(Adapter->VertBar, false, true));
  const TRect v = VertRect(wnd);
  RECT wr{};
  GetWindowRect(wnd, &wr);
  const Capture cap = CaptureWMPrint(wnd);
  const int x = v.Left - wr.left + 2;
  const COLORREF up = TSkinBuilder::FrameColor(b.MaskOrdinal("SCROLLBTNTOP", "BORDERSMASK"), 0);
  const COLORREF thumb = TSkinBuilder::FrameColor(b.MaskOrdinal("SCROLLSLIDERV", "BORDERSMASK"), 0);
  EXPECT_EQ(up, cap.Pixel(x, v.Top - wr.top + 22));
  EXPECT_EQ(thumb, cap.Pixel(x, v.Top - wr.top + 26));
  EXPECT_EQ(qv::sbpFirstArrow, ScrollBarHitTest(Adapter->VertBar, wnd, v, v.Top + 21, v.Left + 3));
  EXPECT_EQ(qv::sbpThumb, ScrollBarHitTest(Adapter->VertBar, wnd, v, v.Top + 26, v.Left + 3));
  EXPECT_EQ(qv::sbpSecondArrow, ScrollBarHitTest(Adapter->VertBar, wnd, v, v.Bottom - 21, v.Left + 3));
  Events.clear();
  SendMessageA(wnd, WM_NCLBUTTONDOWN, HTVSCROLL, ScreenLParam(v.Left + 3, v.Top + 21));
  SendMessageA(wnd, WM_LBUTTONUP, 0, 0);
  ASSERT_FALSE(Events.empty());
  EXPECT_EQ(SB_LINEUP, Events[0].Code);
  FreeAndNil(Adapter);
  FreeAndNil(sm);
}

TEST_F(ScrollBars, ThicknessAndMinimumThumbSize) {
  HWND wnd = MakeScrolled();
  Attach(wnd);
  EXPECT_EQ(GetSystemMetrics(SM_CYHSCROLL), GetScrollBarSize(Adapter->HorzBar, true, false));
  EXPECT_EQ(GetSystemMetrics(SM_CXVSCROLL), GetScrollBarSize(Adapter->VertBar, true, false));
  Adapter->VertBar->Thickness = -2;
  EXPECT_EQ(2 * GetSystemMetrics(SM_CXVSCROLL), GetScrollBarSize(Adapter->VertBar, true, false));
  Adapter->VertBar->Thickness = 0;
  EXPECT_EQ(0, GetScrollBarSize(Adapter->VertBar, true, false));
  EXPECT_EQ(Adapter->HorzBar, GetScrollBarOf(wnd, 0));
  EXPECT_EQ(Adapter->VertBar, GetScrollBarOf(wnd, 1));
  EXPECT_EQ(nullptr, GetScrollBarOf(wnd, 2));
  EXPECT_EQ(10, Adapter->VertBar->MinThumbSize);
  EXPECT_TRUE(SetMinThumbSize(wnd, 1, 25));
  EXPECT_EQ(10, Adapter->HorzBar->MinThumbSize);
  EXPECT_EQ(25, Adapter->VertBar->MinThumbSize);
  EXPECT_TRUE(SetMinThumbSize(wnd, 3, 4));
  EXPECT_EQ(4, Adapter->HorzBar->MinThumbSize);
  EXPECT_EQ(4, Adapter->VertBar->MinThumbSize);
  EXPECT_FALSE(SetMinThumbSize(Top, 3, 4));  // no adapter
}

TEST_F(ScrollBars, ArrowHeldRepeatsAfter300ThenEvery55Ms) {
  HWND wnd = MakeScrolled();
  Attach(wnd);
  const TRect v = VertRect(wnd);
  const int x = v.Left + v.Width() / 2, y = v.Bottom - 5;  // the second (down) arrow
  SetCursorPos(x, y);
  flush_events(30, 500);
  Events.clear();
  const DWORD start = GetTickCount();
  SendMessageA(wnd, WM_NCLBUTTONDOWN, HTVSCROLL, ScreenLParam(x, y));
  EXPECT_EQ(wnd, GetCapture());
  pump_until([&] { return GetTickCount() - start > 800; }, 2000);
  SendMessageA(wnd, WM_LBUTTONUP, 0, 0);
  EXPECT_NE(wnd, GetCapture());

  const auto lines = Codes(SB_LINEDOWN);
  ASSERT_GE(lines.size(), 4u);
  EXPECT_LT(lines[0].Tick - start, 100u);
  const DWORD second = lines[1].Tick - lines[0].Tick;
  EXPECT_GE(second, 250u);
  EXPECT_LE(second, 500u);
  std::vector<DWORD> gaps;
  for (std::size_t i = 2; i < lines.size(); ++i) gaps.push_back(lines[i].Tick - lines[i - 1].Tick);
  std::sort(gaps.begin(), gaps.end());
  const DWORD median = gaps[gaps.size() / 2];
  EXPECT_GE(median, 40u);
  EXPECT_LE(median, 110u);
  // The release ends the click with SB_ENDSCROLL at position 0, after the last line.
  ASSERT_FALSE(Events.empty());
  EXPECT_EQ(SB_ENDSCROLL, Events.back().Code);
  EXPECT_EQ(0, Events.back().Pos);
  EXPECT_EQ(WM_VSCROLL, Events.back().Msg);
  EXPECT_EQ(-1, ScrollState.ClickedPart);
  EXPECT_EQ(0u, ScrollState.RepeatTimer);
}

TEST_F(ScrollBars, ArrowClickOnADisabledBarDoesNothing) {
  HWND wnd = MakeScrolled();
  Attach(wnd);
  EnableScrollBar(wnd, SB_VERT, ESB_DISABLE_BOTH);
  const TRect v = VertRect(wnd);
  Events.clear();
  SendMessageA(wnd, WM_NCLBUTTONDOWN, HTVSCROLL, ScreenLParam(v.Left + 3, v.Bottom - 5));
  EXPECT_NE(wnd, GetCapture());
  SendMessageA(wnd, WM_LBUTTONUP, 0, 0);
  EXPECT_TRUE(Events.empty());
  EXPECT_EQ(HTNOWHERE, SendMessageA(wnd, WM_NCHITTEST, 0, ScreenLParam(v.Left + 3, v.Bottom - 5)));
}

TEST_F(ScrollBars, ThumbDragTracksThenPositionsAndEnds) {
  HWND wnd = MakeScrolled();
  Attach(wnd);
  const TRect v = VertRect(wnd);
  const int x = v.Left + v.Width() / 2;
  const int y0 = v.Top + 16 + 5;  // inside the thumb at the top of the channel
  SetCursorPos(x, y0);
  flush_events(30, 500);
  Events.clear();
  SendMessageA(wnd, WM_NCLBUTTONDOWN, HTVSCROLL, ScreenLParam(x, y0));
  EXPECT_TRUE(Adapter->ThumbTracking);
  for (int dy : {20, 40, 60}) {
    SetCursorPos(x, y0 + dy);
    PostMessageA(wnd, WM_MOUSEMOVE, 0, 0);
    flush_events(30, 500);
  }
  SendMessageA(wnd, WM_LBUTTONUP, 0, 0);
  EXPECT_FALSE(Adapter->ThumbTracking);

  const auto track = Codes(SB_THUMBTRACK);
  ASSERT_GE(track.size(), 2u);
  for (std::size_t i = 1; i < track.size(); ++i) EXPECT_GT(track[i].Pos, track[i - 1].Pos);
  // The window reading SIF_TRACKPOS sees the tracked position.
  EXPECT_EQ(track.back().Pos, track.back().TrackPos);
  ASSERT_GE(Events.size(), 2u);
  const TScrollEvent pos = Events[Events.size() - 2], end = Events.back();
  EXPECT_EQ(SB_THUMBPOSITION, pos.Code);
  EXPECT_EQ(track.back().Pos, pos.Pos);
  EXPECT_EQ(SB_ENDSCROLL, end.Code);
  EXPECT_EQ(track.back().Pos, end.Pos);
  EXPECT_NE(wnd, GetCapture());
}

TEST_F(ScrollBars, DragToBothEndsOfARangeAwayFromZero) {
  HWND wnd = MakeScrolled();
  SCROLLINFO si{sizeof si, SIF_RANGE | SIF_PAGE | SIF_POS, 50, 150, 10, 100, 0};  // positions 50 .. 141
  SetScrollInfo(wnd, SB_VERT, &si, FALSE);
  Attach(wnd);
  RefreshScrollInfo(Adapter, true);
  const TRect v = VertRect(wnd);
  const qv::TThumb thumb = qv::CalcThumb(v.Top, v.Bottom, 16, qv::TScrollRange{50, 150, 10, 100, 0}, 10);
  const int x = v.Left + v.Width() / 2, y0 = thumb.Pos + thumb.Size / 2;
  SetCursorPos(x, y0);
  flush_events(30, 500);
  Events.clear();
  SendMessageA(wnd, WM_NCLBUTTONDOWN, HTVSCROLL, ScreenLParam(x, y0));
  ASSERT_TRUE(Adapter->ThumbTracking);
  // Far past the bottom end, then far past the top end, then back into the middle.
  for (int y : {v.Bottom + 80, v.Top - 80, y0}) {
    SetCursorPos(x, y);
    PostMessageA(wnd, WM_MOUSEMOVE, 0, 0);
    flush_events(30, 500);
  }
  SendMessageA(wnd, WM_LBUTTONUP, 0, 0);
  const auto track = Codes(SB_THUMBTRACK);
  ASSERT_EQ(3u, track.size());
  EXPECT_EQ(141, track[0].Pos);
  EXPECT_EQ(50, track[1].Pos);
  EXPECT_NEAR(100, track[2].Pos, 2);
  // A window that reads SIF_TRACKPOS sees every tracked position, at the two ends as well.
  for (const auto& e : track) EXPECT_EQ(e.Pos, e.TrackPos);
  ASSERT_GE(Events.size(), 2u);
  EXPECT_EQ(SB_THUMBPOSITION, Events[Events.size() - 2].Code);
  EXPECT_EQ(track.back().Pos, Events[Events.size() - 2].Pos);
}

TEST_F(ScrollBars, StrayScrollMessageDuringADragLeavesTheDragAlone) {
  HWND wnd = MakeScrolled();
  Attach(wnd);
  const TRect v = VertRect(wnd);
  const int x = v.Left + v.Width() / 2, y0 = v.Top + 16 + 5;
  SetCursorPos(x, y0);
  flush_events(30, 500);
  SendMessageA(wnd, WM_NCLBUTTONDOWN, HTVSCROLL, ScreenLParam(x, y0));
  SetCursorPos(x, y0 + 40);
  PostMessageA(wnd, WM_MOUSEMOVE, 0, 0);
  flush_events(30, 500);
  const int tracked = ScrollState.LastTrackPos;
  ASSERT_GT(tracked, 0);
  // Someone else scrolls the window meanwhile (a key, a program).
  SendMessageA(wnd, WM_VSCROLL, SB_LINEDOWN, 0);
  EXPECT_TRUE(Adapter->ThumbTracking);
  EXPECT_EQ(wnd, GetCapture());
  EXPECT_EQ(tracked, ScrollState.LastTrackPos);
  Events.clear();
  SendMessageA(wnd, WM_LBUTTONUP, 0, 0);
  ASSERT_EQ(2u, Events.size());
  EXPECT_EQ(SB_THUMBPOSITION, Events[0].Code);
  EXPECT_EQ(tracked, Events[0].Pos);
  EXPECT_EQ(SB_ENDSCROLL, Events[1].Code);
}

TEST_F(ScrollBars, ButtonUpInAnotherAdaptedWindowLeavesTheClickAlone) {
  HWND first = MakeScrolled();
  Attach(first);
  HWND other = Track(CreatePlainWindow(Top, WS_BORDER | WS_VSCROLL, 240, 20, 150, 160));
  auto* otherAdapter = Create<TacEditWnd>(other, nullptr, Manager, "EDIT", true);
  flush_events(40, 1000);
  const TRect v = VertRect(first);
  const int x = v.Left + v.Width() / 2, y = v.Bottom - 5;
  SetCursorPos(x, y);
  flush_events(30, 500);
  SendMessageA(first, WM_NCLBUTTONDOWN, HTVSCROLL, ScreenLParam(x, y));
  ASSERT_EQ(first, GetCapture());
  PlainLog.Clear();
  SendMessageA(other, WM_LBUTTONUP, 0, 0);
  SendMessageA(other, WM_MOUSEMOVE, 0, 0);
  int toOther = 0;
  for (const auto& m : PlainLog.Messages) toOther += m.Wnd == other && (m.Msg == WM_VSCROLL || m.Msg == WM_HSCROLL);
  EXPECT_EQ(0, toOther);
  EXPECT_EQ(qv::sbpSecondArrow, ScrollState.ClickedPart);
  EXPECT_EQ(first, GetCapture());
  Events.clear();
  SendMessageA(first, WM_LBUTTONUP, 0, 0);
  ASSERT_FALSE(Events.empty());
  EXPECT_EQ(SB_ENDSCROLL, Events.back().Code);
  EXPECT_EQ(-1, ScrollState.ClickedPart);
  otherAdapter->Free();
}

TEST_F(ScrollBars, AdapterFreedByTheWindowDuringAClickOrADrag) {
  for (int part : {qv::sbpSecondArrow, qv::sbpThumb}) {
    SCOPED_TRACE(part);
    HWND wnd = MakeScrolled();
    Attach(wnd);
    const TRect v = VertRect(wnd);
    const int x = v.Left + v.Width() / 2;
    const int y = part == qv::sbpThumb ? v.Top + 16 + 5 : v.Bottom - 5;
    SetCursorPos(x, y);
    flush_events(30, 500);
    // The window frees its adapter while it handles the first scroll message.
    PlainLog.OnMessage = [&](HWND, UINT msg, WPARAM, LPARAM) {
      if ((msg == WM_VSCROLL || msg == WM_HSCROLL) && Adapter) FreeAndNil(Adapter);
    };
    SendMessageA(wnd, WM_NCLBUTTONDOWN, HTVSCROLL, ScreenLParam(x, y));
    if (part == qv::sbpThumb) {
      SetCursorPos(x, y + 40);
      PostMessageA(wnd, WM_MOUSEMOVE, 0, 0);
      flush_events(30, 500);
    }
    PlainLog.OnMessage = nullptr;
    EXPECT_EQ(nullptr, Adapter);
    EXPECT_EQ(PlainProc, reinterpret_cast<WNDPROC>(GetWindowLongPtrA(wnd, GWLP_WNDPROC)));
    EXPECT_EQ(nullptr, GetPropA(wnd, "ACSBSC"));
    EXPECT_NE(wnd, GetCapture());
    EXPECT_EQ(-1, ScrollState.ClickedPart);
    EXPECT_EQ(0u, ScrollState.RepeatTimer);
    // No repeat timer of the freed click is left to fire.
    PlainLog.Clear();
    pump_until([] { return false; }, 400);
    int timers = 0;
    for (const auto& m : PlainLog.Messages) timers += m.Msg == WM_TIMER && m.Wnd == wnd;
    EXPECT_EQ(0, timers);
    SendMessageA(wnd, WM_LBUTTONUP, 0, 0);
    DestroyWindow(wnd);
  }
}

TEST_F(ScrollBars, LostCaptureEndsADragOnceWithItsLastPosition) {
  HWND wnd = MakeScrolled();
  Attach(wnd);
  const TRect v = VertRect(wnd);
  const int x = v.Left + v.Width() / 2, y0 = v.Top + 16 + 5;
  SetCursorPos(x, y0);
  flush_events(30, 500);
  SendMessageA(wnd, WM_NCLBUTTONDOWN, HTVSCROLL, ScreenLParam(x, y0));
  SetCursorPos(x, y0 + 40);
  PostMessageA(wnd, WM_MOUSEMOVE, 0, 0);
  flush_events(30, 500);
  const int tracked = ScrollState.LastTrackPos;
  Events.clear();
  ReleaseCapture();  // someone else takes the mouse: the drag ends there, as a button-up ends it
  ASSERT_EQ(2u, Events.size());
  EXPECT_EQ(SB_THUMBPOSITION, Events[0].Code);
  EXPECT_EQ(tracked, Events[0].Pos);
  EXPECT_EQ(SB_ENDSCROLL, Events[1].Code);
  EXPECT_EQ(tracked, Events[1].Pos);
  // The button-up that comes later sends nothing more.
  Events.clear();
  SendMessageA(wnd, WM_LBUTTONUP, 0, 0);
  EXPECT_TRUE(Events.empty());
  EXPECT_EQ(0u, Codes(SB_THUMBPOSITION).size());
  EXPECT_FALSE(Adapter->ThumbTracking);
  EXPECT_EQ(-1, ScrollState.LastTrackPos);
}

TEST_F(ScrollBars, ForeignTimerReachesTheWindowOnce) {
  HWND wnd = MakeScrolled();
  Attach(wnd);
  PlainLog.Clear();
  SendMessageA(wnd, WM_TIMER, 77, 0);
  ScrollState.RepeatTimer = acRepeatTimerId;  // a scroll timer running meanwhile
  SendMessageA(wnd, WM_TIMER, 78, 0);
  ScrollState.RepeatTimer = 0;
  KillTimer(wnd, acRepeatTimerId);
  int n77 = 0, n78 = 0;
  for (const auto& m : PlainLog.Messages) {
    n77 += m.Msg == WM_TIMER && m.WParam == 77;
    n78 += m.Msg == WM_TIMER && m.WParam == 78;
  }
  EXPECT_EQ(1, n77);
  EXPECT_EQ(1, n78);
}

TEST_F(ScrollBars, PartsArePaintedInTheirStates) {
  HWND wnd = MakeScrolled();
  Attach(wnd);
  RECT wr{};
  GetWindowRect(wnd, &wr);
  const TRect v = VertRect(wnd);
  // A pixel on the left edge of the down arrow, inside its border band.
  const int ax = v.Left - wr.left + 2, ay = v.Bottom - wr.top - 8;
  // A pixel of the thumb's border band (the thumb starts below the up arrow).
  const int tx = ax, ty = v.Top - wr.top + 16 + 8;

  Capture normal = CaptureWMPrint(wnd);
  EXPECT_EQ(Frame("SCROLLBTNBOTTOM", "BORDERSMASK", 0), normal.Pixel(ax, ay));
  EXPECT_EQ(Frame("SCROLLSLIDERV", "BORDERSMASK", 0), normal.Pixel(tx, ty));

  // Hot: the pointer over the down arrow.
  SetCursorPos(v.Left + 3, v.Bottom - 8);
  SendMessageA(wnd, WM_NCMOUSEMOVE, HTVSCROLL, ScreenLParam(v.Left + 3, v.Bottom - 8));
  pump_until([&] { return ScrollState.HotPart == qv::sbpSecondArrow; }, 1000);
  EXPECT_EQ(Frame("SCROLLBTNBOTTOM", "BORDERSMASK", 1), CaptureWMPrint(wnd).Pixel(ax, ay));

  // Pressed while the button is held.
  SendMessageA(wnd, WM_NCLBUTTONDOWN, HTVSCROLL, ScreenLParam(v.Left + 3, v.Bottom - 8));
  EXPECT_EQ(Frame("SCROLLBTNBOTTOM", "BORDERSMASK", 2), CaptureWMPrint(wnd).Pixel(ax, ay));
  SendMessageA(wnd, WM_LBUTTONUP, 0, 0);

  // Disabled: dimmed arrows and no thumb.
  SetCursorPos(5, 5);
  flush_events(60, 1000);
  EnableScrollBar(wnd, SB_VERT, ESB_DISABLE_BOTH);
  Capture dim = CaptureWMPrint(wnd);
  EXPECT_NE(Frame("SCROLLBTNBOTTOM", "BORDERSMASK", 0), dim.Pixel(ax, ay));
  const RECT bar{v.Left - wr.left, v.Top - wr.top, v.Right - wr.left, v.Bottom - wr.top};
  EXPECT_EQ(0, dim.CountColor(Frame("SCROLLSLIDERV", "BORDERSMASK", 0), bar));
}

TEST_F(ScrollBars, CornerBoxShowsTheGripOnlyWhereItBelongs) {
  HWND wnd = MakeScrolled();
  Attach(wnd);
  RECT wr{};
  GetWindowRect(wnd, &wr);
  // A child of a top-level window away from the parent's corner: no grip.
  const COLORREF grip = Frame("GLOBALINFO", "GRIPIMAGE", 0);
  Capture cap = CaptureWMPrint(wnd);
  const TRect v = VertRect(wnd);
  const RECT box{v.Left - wr.left, v.Bottom - wr.top, v.Right - wr.left, wr.bottom - 1 - wr.top};
  EXPECT_EQ(0, cap.CountColor(grip, box));
  // Moved into the parent's bottom-right corner: the grip shows and answers as a size grip.
  RECT pc{};
  GetClientRect(Top, &pc);
  SetWindowPos(wnd, nullptr, pc.right - 200, pc.bottom - 160, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  flush_events(40, 1000);
  GetWindowRect(wnd, &wr);
  const TRect v2 = VertRect(wnd);
  cap = CaptureWMPrint(wnd);
  const RECT box2{v2.Left - wr.left, v2.Bottom - wr.top, v2.Right - wr.left, wr.bottom - 1 - wr.top};
  EXPECT_GT(cap.CountColor(grip, box2), 0);
  EXPECT_EQ(HTBOTTOMRIGHT, SendMessageA(wnd, WM_NCHITTEST, 0, ScreenLParam(v2.Left + 3, wr.bottom - 4)));
}

TEST_F(ScrollBars, PrintMatchesTheScreen) {
  HWND wnd = MakeScrolled();
  Attach(wnd);
  RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
  flush_events(60, 1500);
  const Capture screen = CaptureScreen(wnd);
  const Capture print = CaptureWMPrint(wnd);
  ASSERT_EQ(screen.Width(), print.Width());
  RECT wr{};
  GetWindowRect(wnd, &wr);
  const TRect v = VertRect(wnd);
  TRect h;
  GetHorzBarRect(Adapter, wnd, h);
  int differ = 0, total = 0;
  for (const TRect& r : {v, h})
    for (int y = r.Top; y < r.Bottom; ++y)
      for (int x = r.Left; x < r.Right; ++x, ++total)
        differ += screen.Pixel(x - wr.left, y - wr.top) != print.Pixel(x - wr.left, y - wr.top);
  EXPECT_GT(total, 0);
  EXPECT_EQ(0, differ);
  // The frame band too.
  for (int x = 0; x < print.Width(); ++x) EXPECT_EQ(screen.Pixel(x, 0), print.Pixel(x, 0)) << x;
}

TEST_F(ScrollBars, MemoAdapterIsReplacedWhenReskinned) {
  TTestHost host;
  auto* memo = Create<TMemo>(host.Control());
  memo->SetParent(host.Control());
  memo->SetBounds(5, 5, 150, 100);
  memo->SetScrollBars(ssBoth);
  auto* sd = new TsCommonData(memo, false);
  sd->SetSkinSection("EDIT");
  std::unique_ptr<TacControlScrollBars> bars;
  UpdateControlScrollBars(sd, bars);
  ASSERT_NE(nullptr, bars);
  auto* edit = dynamic_cast<TacEditWnd*>(GetWndAdapter(memo->Handle()));
  ASSERT_NE(nullptr, edit);
  auto first = edit->AliveToken();
  Manager->SetActive(false);
  UpdateControlScrollBars(sd, bars);
  EXPECT_EQ(nullptr, bars);
  EXPECT_FALSE(*first);
  EXPECT_EQ(nullptr, GetWndAdapter(memo->Handle()));
  Manager->SetActive(true);
  UpdateControlScrollBars(sd, bars);
  ASSERT_NE(nullptr, bars);
  edit = dynamic_cast<TacEditWnd*>(GetWndAdapter(memo->Handle()));
  ASSERT_NE(nullptr, edit);
  // After its window went away the adapter is Destroyed and the next update replaces it.
  auto second = edit->AliveToken();
  memo->Free();
  EXPECT_TRUE(edit->Destroyed);
  EXPECT_TRUE(bars->WindowGone());
  bars.reset();
  EXPECT_FALSE(*second);
  delete sd;
}

TEST_F(ScrollBars, SectionIndexAnswer) {
  HWND wnd = MakeScrolled();
  Attach(wnd);
  EXPECT_EQ(Manager->SectionIndexOf("EDIT") + 1, SendSkinCommand(wnd, QC_GETSECTIONINDEX));
}

}  // namespace
}  // namespace qvtest
