// Shared pieces of the window-adapter tests: a plain window class whose procedure records what
// reaches it, standard controls made as a dialog makes them, real input, and a fixture with a
// loaded test skin.
#pragma once

#include "classlib/Win.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "skin/engine/sSkinManager.h"
#include "skin/windows/acSBUtils.h"
#include "tests/support/PixelProbe.h"
#include "tests/support/Pump.h"
#include "tests/support/SkinTestSupport.h"

namespace qvtest {

struct TRecorded {
  UINT Msg;
  WPARAM WParam;
  LPARAM LParam;
  HWND Wnd;
};

// Messages that reached the window's own procedure ("QvAdpPlain" windows), and an action run
// inside that procedure for one message.
struct TPlainLog {
  std::vector<TRecorded> Messages;
  std::function<void(HWND, UINT, WPARAM, LPARAM)> OnMessage;
  int Count(UINT msg) const;
  int CountCommand(int command) const;  // SM_QUORVEXCMD with that command
  // ... that reached one window, sent by one manager.
  int CountCommand(int command, HWND wnd, const TsSkinManager* manager) const;
  void Clear() { Messages.clear(); }
};
extern TPlainLog PlainLog;

// The procedure of "QvAdpPlain" windows.
LRESULT CALLBACK PlainProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);
// A visible top-level window of class "QvAdpPlain" (style added to WS_OVERLAPPEDWINDOW), or a
// child of Parent.
HWND CreatePlainWindow(HWND parent = nullptr, DWORD style = 0, int x = 60, int y = 60, int w = 200, int h = 150,
                       DWORD exStyle = 0);

// A child window of a system class ("BUTTON", "STATIC", "COMBOBOX" ...) made with CreateWindowEx as
// a dialog makes its controls (WS_CHILD | WS_VISIBLE and the style, the dialog's font given with
// WM_SETFONT), shown at once.
HWND CreateControl(HWND parent, const char* cls, const char* text, DWORD style, int x, int y, int w, int h,
                   DWORD exStyle = 0);
// The window's procedure, styles, text, rectangle and button or static state, to compare a window
// before an adapter came with the window after it left.
struct TWindowState {
  WNDPROC Proc = nullptr;
  LONG_PTR Style = 0, ExStyle = 0;
  std::string Text;
  RECT Rect{};
  LRESULT Check = 0, Image = 0;
  HANDLE Prop = nullptr;
  bool operator==(const TWindowState& o) const {
    return Proc == o.Proc && Style == o.Style && ExStyle == o.ExStyle && Text == o.Text && EqualRect(&Rect, &o.Rect) &&
           Check == o.Check && Image == o.Image && Prop == o.Prop;
  }
};
TWindowState WindowStateOf(HWND wnd);
std::string Describe(const TWindowState& s);

// The scroll bars' process-wide interaction state and the shared scratch records back to their
// start, the mouse capture released and the pointer moved off every window, the queue drained: a
// test starts from the same state whatever ran before it in the same process.
void ResetScrollState();

// ---- Real input, read back from the screen

// The queue handled until it has been quiet for a moment, or for at most 400 ms: a hover timer
// keeps it busy while the pointer rests on a bar.
void Settle();
// The pointer moved (SendInput) to a screen point; returns once the cursor is there and the
// messages that followed are handled.
void MouseTo(int x, int y);
// The left button pressed or released where the pointer is (SendInput).
void LeftButton(bool down);
// What the screen shows of a window once it has stopped changing: drawing reaches the screen some
// time after it is done (Wine flushes window surfaces while the thread waits), so the picture is
// taken when two in a row, with the queue handled between them, agree (or after 2 seconds).
Capture SettledScreen(HWND wnd);
// The pixels of the window's visible bars (and their corner box) where the screen shows something
// else than the adapter paints for them (its WM_PRINT): 0 when the screen shows the skinned bars.
int BarPixelsNotSkinned(HWND wnd, TacScrollWnd* adapter);

class AdapterTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  TSkinBuilder Builder = TSkinBuilder::Standard();
  TsSkinManager* Manager = nullptr;
  std::vector<HWND> Windows;  // destroyed in TearDown when still alive
  HWND Track(HWND wnd) {
    Windows.push_back(wnd);
    return wnd;
  }
  // The colour of a mask's state frame in the test skin.
  COLORREF Frame(const char* section, const char* property, int state = 0) const {
    return TSkinBuilder::FrameColor(Builder.MaskOrdinal(section, property), state);
  }
  // A section's font colour (hot: its HOTFONTCOLOR) in the loaded skin.
  COLORREF Ink(const char* section, bool hot = false) const;
};

}  // namespace qvtest
