// The test support itself: the spy sees sent and posted messages in order, the sequence check
// accepts optional entries and reports mismatches, and the pixel probes read what was painted.
#include <gtest/gtest.h>

#include "classlib/GdiScopes.h"
#include "tests/support/MessageSpy.h"
#include "tests/support/PixelProbe.h"
#include "tests/support/Pump.h"

using namespace qvtest;

namespace {

LRESULT CALLBACK PaintRedProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_PAINT || msg == WM_PRINTCLIENT) {
    PaintScope dc(wnd, msg == WM_PAINT ? nullptr : HDC(wParam));
    RECT r;
    GetClientRect(wnd, &r);
    FillRect(dc, &r, GdiObject<HBRUSH>(CreateSolidBrush(RGB(255, 0, 0))));
    return 0;
  }
  return DefWindowProcA(wnd, msg, wParam, lParam);
}

HWND MakeWindow() {
  WNDCLASSA wc{};
  wc.lpfnWndProc = PaintRedProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "QvSpyTest";
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  RegisterClassA(&wc);
  return CreateWindowExA(0, "QvSpyTest", "spy", WS_POPUP | WS_VISIBLE, 10, 10, 120, 80, nullptr, nullptr,
                         GetModuleHandleA(nullptr), nullptr);
}

}  // namespace

TEST(Support, SpyRecordsSentAndPostedInOrder) {
  HWND wnd = MakeWindow();
  flush_events();
  MessageSpy spy;
  spy.Watch(wnd);
  SendMessageA(wnd, WM_USER + 1, 7, 8);
  PostMessageA(wnd, WM_USER + 2, 0, 0);
  flush_events();
  std::vector<MsgEntry> expected = {
      {WM_USER + 1, msgSent | msgWParam | msgLParam, 7, 8},
      {WM_USER + 2, msgPosted},
  };
  EXPECT_EQ("", CheckSequence(spy.Entries(), expected));
  DestroyWindow(wnd);
}

TEST(Support, SpySequenceCheckSkipsOptionalAndReportsMissing) {
  std::vector<MsgEntry> actual = {{WM_SIZE, msgSent}, {WM_MOVE, msgSent}};
  EXPECT_EQ("", CheckSequence(actual, {{WM_SIZE}, {WM_PAINT, msgOptional}, {WM_MOVE}}));
  std::string report = CheckSequence(actual, {{WM_SIZE}, {WM_PAINT}, {WM_MOVE}});
  EXPECT_NE(std::string::npos, report.find("WM_PAINT"));
  EXPECT_NE("", CheckSequence(actual, {{WM_SIZE}}));
}

TEST(Support, SpyUnwatchesOnDestroy) {
  HWND wnd = MakeWindow();
  MessageSpy spy;
  spy.Watch(wnd);
  DestroyWindow(wnd);
  EXPECT_TRUE(spy.Contains(WM_NCDESTROY));
}

TEST(Support, PixelProbeWMPrintAndScreenShowThePaintedClient) {
  HWND wnd = MakeWindow();
  flush_events();
  Capture printed = CaptureWMPrint(wnd);
  ASSERT_EQ(120, printed.Width());
  EXPECT_EQ(RGB(255, 0, 0), printed.Pixel(60, 40));
  Capture screen = CaptureScreen(wnd);
  EXPECT_EQ(RGB(255, 0, 0), screen.Pixel(60, 40)) << ColorText(screen.Pixel(60, 40));
  DestroyWindow(wnd);
}
