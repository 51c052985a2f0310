// Shared fixture of the skinned-control tests: a shown form and, on demand, a default manager
// loaded with a test skin whose every state frame is a distinct solid colour; real mouse input
// (SendInput) and pixels read back from the screen.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>

#include "classlib/Forms.h"
#include "skin/engine/sFade.h"
#include "skin/engine/sSkinManager.h"
#include "tests/support/PixelProbe.h"
#include "tests/support/Pump.h"
#include "tests/support/RealInput.h"
#include "tests/support/SkinTestSupport.h"

namespace qvtest {

class ControlsTest : public SkinEngineTest {
 protected:
  void SetUp() override {
    Application->ResetTerminated();
    Application->SetShowHint(true);
    Form = Create<TForm>(Application);
    Form->SetBounds(40, 40, 360, 260);
    Form->SetCaption("Controls");
    Form->Show();
    flush_events();
  }
  void TearDown() override {
    // A test that stopped half-way through a press leaves no button down for the next one.
    if (GetAsyncKeyState(VK_LBUTTON) & 0x8000) MouseButton(MOUSEEVENTF_LEFTUP);
    if (GetAsyncKeyState(VK_RBUTTON) & 0x8000) MouseButton(MOUSEEVENTF_RIGHTUP);
    if (Form) FreeAndNil(Form);
    flush_events();
    FreeAndNil(Manager);
    flush_events();
    SkinEngineTest::TearDown();
  }
  // Loads the skin as the default manager's.
  void LoadSkin(const TSkinBuilder& b) {
    Builder = b;
    Manager = CreateTestManager(Builder);
    flush_events();
  }
  void LoadStandardSkin() { LoadSkin(TSkinBuilder::Standard()); }
  COLORREF Frame(const char* section, int state) const {
    return TSkinBuilder::FrameColor(Builder.MaskOrdinal(section, "BORDERSMASK"), state);
  }
  static COLORREF CachePixel(TsCommonData* sd, int x, int y) {
    return CaptureBitmap(sd->CacheBmp->Handle()).Pixel(x, y);
  }

  // ---- real input, as the user gives it
  // The screen point of a control's client point.
  static POINT ScreenPoint(TControl* c, int x, int y) {
    const TPoint p = c->ClientToScreen(Point(x, y));
    return POINT{p.X, p.Y};
  }
  // The mouse moved to a control's client point; returns once the system has moved the cursor and
  // the messages that followed are handled.
  static void MouseTo(TControl* c, int x, int y) {
    const POINT p = ScreenPoint(c, x, y);
    EXPECT_TRUE(MoveMouseTo(p)) << "cursor at " << p.x << "," << p.y;
    flush_events();
  }
  // A mouse button pressed or released (MOUSEEVENTF_LEFTDOWN ...) where the cursor is.
  static void MouseButton(DWORD flag) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = flag;
    SendInput(1, &in, sizeof in);
    const bool down = flag == MOUSEEVENTF_LEFTDOWN || flag == MOUSEEVENTF_RIGHTDOWN;
    const int key = flag == MOUSEEVENTF_LEFTDOWN || flag == MOUSEEVENTF_LEFTUP ? VK_LBUTTON : VK_RBUTTON;
    EXPECT_TRUE(pump_until([&] { return ((GetAsyncKeyState(key) & 0x8000) != 0) == down; }));
    flush_events();
  }
  // What the screen shows at a control's client point.
  static COLORREF ScreenPixel(TControl* c, int x, int y) {
    const POINT p = ScreenPoint(c, x, y);
    return CaptureScreenRect(RECT{p.x, p.y, p.x + 1, p.y + 1}).Pixel(0, 0);
  }
  // The mouse out of the way of the test form (below its bottom-right corner).
  void MouseAway() {
    RECT r{};
    GetWindowRect(Form->Handle(), &r);
    const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dx = LONG((std::min<LONG>(r.right + 20, w - 1) * 65536LL + 32768) / w);
    in.mi.dy = LONG((std::min<LONG>(r.bottom + 20, h - 1) * 65536LL + 32768) / h);
    in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &in, sizeof in);
    flush_events();
  }

  TForm* Form = nullptr;
  TsSkinManager* Manager = nullptr;
  TSkinBuilder Builder;
};

}  // namespace qvtest
