// Skinned scroll bars never show the system look: the pointer resting on and leaving a bar, the
// windows' own scroll updates, thumb drags (the other bar, past the window's edge) and drags that
// end without a button-up, a frame calculation cut short by the adapter's release, a press on a
// bar that hits no part. Real input, the bars read back from the screen.
#include "tests/support/AdapterTestSupport.h"

#include <string>

#include "skin/windows/core/acScrollGeometry.h"
#include "tests/support/core/SkinBuilder.h"

namespace qvtest {
namespace {

struct TScrolled {
  int Code;
  int Pos;
};
// WM_VSCROLL messages that reached the spied edit.
std::vector<TScrolled> EditScrolls;
WNDPROC EditProc = nullptr;
LRESULT CALLBACK EditSpy(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_VSCROLL) EditScrolls.push_back(TScrolled{LOWORD(wParam), HIWORD(wParam)});
  return CallWindowProcA(EditProc, wnd, msg, wParam, lParam);
}

constexpr COLORREF Marker = RGB(1, 2, 3);

class ScrollBarLook : public AdapterTest {
 protected:
  void SetUp() override {
    AdapterTest::SetUp();
    Top = Track(CreatePlainWindow(nullptr, 0, 30, 30, 440, 360));
    EditScrolls.clear();
  }
  void TearDown() override {
    if (GetAsyncKeyState(VK_LBUTTON) & 0x8000) LeftButton(false);
    FreeAndNil(Adapter);
    AdapterTest::TearDown();
  }
  // A multi-line edit with both bars and more text than it shows, its scroll messages spied.
  HWND MakeEdit() {
    HWND edit = Track(CreateWindowExA(
        0, "EDIT", "",
        WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_AUTOHSCROLL,
        20, 20, 240, 200, Top, nullptr, GetModuleHandleA(nullptr), nullptr));
    std::string text;
    for (int i = 1; i <= 120; ++i) text += "Line " + std::to_string(i) + " of an edit, wider than the window shows\r\n";
    SetWindowTextA(edit, text.c_str());
    EditProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&EditSpy)));
    Attach(edit);
    return edit;
  }
  void Attach(HWND wnd) {
    Adapter = Create<TacEditWnd>(wnd, nullptr, Manager, "EDIT", true);
    ASSERT_FALSE(Adapter->Destroyed);
    flush_events(40, 1500);
  }
  TRect Bar(HWND wnd, int kind) {
    TRect r;
    if (kind == 0)
      GetHorzBarRect(Adapter, wnd, r);
    else
      GetVertBarRect(Adapter, wnd, r);
    return r;
  }
  // A marker pixel drawn over the window's frame; true while the screen still shows it.
  static void Mark(HWND wnd, POINT screen) {
    RECT wr{};
    GetWindowRect(wnd, &wr);
    WindowDC dc(wnd);
    SetPixel(dc, screen.x - wr.left, screen.y - wr.top, Marker);
  }
  static bool Marked(POINT screen) {
    return CaptureScreenRect(RECT{screen.x, screen.y, screen.x + 1, screen.y + 1}).Pixel(0, 0) == Marker;
  }
  // The edit's scroll position agrees with the line it shows first.
  static void ExpectPositionFollowsText(HWND edit) {
    EXPECT_EQ(int(SendMessageA(edit, EM_GETFIRSTVISIBLELINE, 0, 0)), GetScrollPos(edit, SB_VERT));
  }

  HWND Top = nullptr;
  TacEditWnd* Adapter = nullptr;
};

TEST_F(ScrollBarLook, PointerRestingOnAndLeavingABar) {
  HWND edit = MakeEdit();
  const TRect v = Bar(edit, 1), h = Bar(edit, 0);
  const int x = v.Left + v.Width() / 2;
  MouseTo(x, v.Bottom - 8);  // the down arrow
  ASSERT_TRUE(pump_until([] { return ScrollState.HotPart == qv::sbpSecondArrow; }, 1000));
  Settle();
  EXPECT_EQ(0, BarPixelsNotSkinned(edit, Adapter)) << "hovered";
  // Resting there repaints nothing: markers over both bars stay.
  const POINT onVert{x, v.Top + v.Height() / 2}, onHorz{h.Left + h.Width() / 2, h.Top + h.Height() / 2};
  Mark(edit, onVert);
  Mark(edit, onHorz);
  pump_until([] { return false; }, 300);
  EXPECT_TRUE(Marked(onVert));
  EXPECT_TRUE(Marked(onHorz));
  // Another hot part repaints the hovered bar only.
  MouseTo(x, v.Top + 4);
  ASSERT_TRUE(pump_until([] { return ScrollState.HotPart == qv::sbpFirstArrow; }, 1000));
  Settle();
  EXPECT_FALSE(Marked(onVert));
  EXPECT_TRUE(Marked(onHorz));
  // Leaving: both bars painted in the skin's normal look, and they stay so.
  MouseTo(v.Right + 150, v.Bottom + 60);
  ASSERT_TRUE(pump_until([] { return ScrollState.HoverTimer == 0; }, 1500));
  Settle();
  EXPECT_FALSE(Marked(onHorz));
  EXPECT_EQ(0, BarPixelsNotSkinned(edit, Adapter)) << "left";
  EXPECT_EQ(-1, ScrollState.HotBar);
}

TEST_F(ScrollBarLook, WindowsOwnScrollUpdates) {
  HWND list =
      Track(CreateWindowExA(WS_EX_CLIENTEDGE, "LISTBOX", "", WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_NOINTEGRALHEIGHT,
                            20, 20, 180, 200, Top, nullptr, GetModuleHandleA(nullptr), nullptr));
  for (int i = 1; i <= 100; ++i) SendMessageA(list, LB_ADDSTRING, 0, LPARAM(("Item " + std::to_string(i)).c_str()));
  Attach(list);
  SendMessageA(list, LB_SETTOPINDEX, 50, 0);
  Settle();
  ASSERT_EQ(0, BarPixelsNotSkinned(list, Adapter));
  // Items deleted above the top row move the list's position.
  int min = 0, before = 0, after = 0;
  GetScrollRange(list, SB_VERT, &min, &before);
  SendMessageA(list, LB_DELETESTRING, 0, 0);
  SendMessageA(list, LB_DELETESTRING, 0, 0);
  Settle();
  GetScrollRange(list, SB_VERT, &min, &after);
  EXPECT_EQ(before - 2, after);
  EXPECT_EQ(0, BarPixelsNotSkinned(list, Adapter)) << "items deleted";
  FreeAndNil(Adapter);

  // A window that sets its scroll information itself, with redraw, while it handles a message.
  HWND wnd = Track(CreatePlainWindow(Top, WS_BORDER | WS_VSCROLL | WS_HSCROLL, 220, 20, 200, 160));
  SCROLLINFO si{sizeof si, SIF_RANGE | SIF_PAGE | SIF_POS, 0, 100, 10, 0, 0};
  SetScrollInfo(wnd, SB_VERT, &si, FALSE);
  SetScrollInfo(wnd, SB_HORZ, &si, FALSE);
  Attach(wnd);
  PlainLog.OnMessage = [](HWND w, UINT msg, WPARAM wp, LPARAM) {
    if (msg != WM_APP) return;
    SCROLLINFO pos{sizeof pos, SIF_POS, 0, 0, 0, int(wp), 0};
    SetScrollInfo(w, SB_VERT, &pos, TRUE);
    SetScrollInfo(w, SB_HORZ, &pos, TRUE);
  };
  for (int pos : {60, 90, 0}) {
    SendMessageA(wnd, WM_APP, WPARAM(pos), 0);
    Settle();
    EXPECT_EQ(0, BarPixelsNotSkinned(wnd, Adapter)) << "position " << pos;
  }
}

TEST_F(ScrollBarLook, ThumbDraggedAlongAndPastTheWindowsEdge) {
  HWND edit = MakeEdit();
  const TRect v = Bar(edit, 1);
  RECT wr{};
  GetWindowRect(edit, &wr);
  const int x = v.Left + v.Width() / 2, y0 = v.Top + 16 + 4;
  MouseTo(x, y0);
  LeftButton(true);
  ASSERT_TRUE(Adapter->ThumbTracking);
  // The edit moves its text and sets both bars (with redraw) at each step.
  for (int y : {y0 + 30, y0 + 60, int(wr.bottom) + 40, int(wr.bottom) + 120}) {
    MouseTo(x, y);
    EXPECT_EQ(0, BarPixelsNotSkinned(edit, Adapter)) << "pointer at " << y;
  }
  // Past the edge the thumb lies at the end of its channel.
  const COLORREF thumb = TSkinBuilder::FrameColor(Builder.MaskOrdinal("SCROLLSLIDERV", "BORDERSMASK"), 2);
  const Capture cap = CaptureScreen(edit);
  EXPECT_EQ(thumb, cap.Pixel(v.Left - wr.left + 2, v.Bottom - 16 - 3 - wr.top));
  LeftButton(false);
  EXPECT_FALSE(Adapter->ThumbTracking);
  EXPECT_EQ(0, BarPixelsNotSkinned(edit, Adapter)) << "released";
  ExpectPositionFollowsText(edit);
}

TEST_F(ScrollBarLook, DragEndedWithoutAButtonUp) {
  HWND edit = MakeEdit();
  for (bool freed : {false, true}) {
    SCOPED_TRACE(freed ? "adapter freed" : "capture lost");
    if (!Adapter) Attach(edit);
    const TRect v = Bar(edit, 1);
    SendMessageA(edit, EM_LINESCROLL, 0, -1000);
    Settle();
    const int x = v.Left + v.Width() / 2, y0 = v.Top + 16 + 4;
    MouseTo(x, y0);
    LeftButton(true);
    MouseTo(x, y0 + 50);
    ASSERT_FALSE(EditScrolls.empty());
    const int last = ScrollState.LastTrackPos;
    ASSERT_GT(last, 0);
    EditScrolls.clear();
    if (freed)
      FreeAndNil(Adapter);
    else
      SetCapture(Top);  // another window takes the mouse
    // The drag ends as a button-up would end it, once.
    ASSERT_EQ(2u, EditScrolls.size());
    EXPECT_EQ(SB_THUMBPOSITION, EditScrolls[0].Code);
    EXPECT_EQ(last, EditScrolls[0].Pos);
    EXPECT_EQ(SB_ENDSCROLL, EditScrolls[1].Code);
    EXPECT_EQ(last, EditScrolls[1].Pos);
    LeftButton(false);
    if (GetCapture()) ReleaseCapture();
    Settle();
    EXPECT_EQ(2u, EditScrolls.size());
    EXPECT_EQ(-1, ScrollState.ClickedPart);
    // The edit's position goes on following its text.
    SendMessageA(edit, EM_LINESCROLL, 0, 7);
    ExpectPositionFollowsText(edit);
    if (Adapter) {
      EXPECT_FALSE(Adapter->ThumbTracking);
    }
  }
}

TEST_F(ScrollBarLook, FrameCalculationCutShortByTheRelease) {
  HWND wnd = Track(CreatePlainWindow(Top, WS_BORDER | WS_VSCROLL | WS_HSCROLL, 20, 20, 200, 160));
  Attach(wnd);
  // The window's own procedure frees the adapter while it computes the frame without the bars.
  PlainLog.OnMessage = [this](HWND, UINT msg, WPARAM, LPARAM) {
    if (msg == WM_NCCALCSIZE && Adapter) FreeAndNil(Adapter);
  };
  SetWindowPos(wnd, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_FRAMECHANGED);
  PlainLog.OnMessage = nullptr;
  ASSERT_EQ(nullptr, Adapter);
  const LONG_PTR style = GetWindowLongPtrA(wnd, GWL_STYLE);
  EXPECT_TRUE(style & WS_VSCROLL);
  EXPECT_TRUE(style & WS_HSCROLL);
  // The window's own bars have their room again.
  RECT cr{};
  GetClientRect(wnd, &cr);
  EXPECT_EQ(200 - 2 - GetSystemMetrics(SM_CXVSCROLL), cr.right);
  EXPECT_EQ(160 - 2 - GetSystemMetrics(SM_CYHSCROLL), cr.bottom);
}

TEST_F(ScrollBarLook, ClickBesideAThumbTooLongForItsChannel) {
  // A horizontal bar 40 pixels long: two 16-pixel arrows and an 8-pixel channel that the 10-pixel
  // thumb does not fit. A click in the channel hits no part.
  HWND wnd = Track(CreatePlainWindow(Top, WS_BORDER | WS_HSCROLL, 20, 20, 42, 100));
  SCROLLINFO si{sizeof si, SIF_RANGE | SIF_PAGE | SIF_POS, 0, 100, 10, 0, 0};
  SetScrollInfo(wnd, SB_HORZ, &si, FALSE);
  Attach(wnd);
  const TRect h = Bar(wnd, 0);
  ASSERT_EQ(40, h.Width());
  ASSERT_EQ(-1, ScrollBarHitTest(Adapter->HorzBar, wnd, h, h.Top + 3, h.Left + 20));
  MouseTo(h.Left + 20, h.Top + 3);
  PlainLog.Clear();
  // Pressed and released at once: a modal tracking loop of the system's would take the release.
  INPUT in[2]{};
  in[0].type = in[1].type = INPUT_MOUSE;
  in[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  in[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  SendInput(2, in, sizeof in[0]);
  pump_until([] { return (GetAsyncKeyState(VK_LBUTTON) & 0x8000) == 0; });
  Settle();
  EXPECT_EQ(0, BarPixelsNotSkinned(wnd, Adapter));
  EXPECT_EQ(0, PlainLog.Count(WM_HSCROLL));
  EXPECT_NE(wnd, GetCapture());
}

}  // namespace
}  // namespace qvtest
