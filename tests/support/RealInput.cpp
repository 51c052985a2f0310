#include "tests/support/RealInput.h"

#include <initializer_list>
#include <thread>

#include "tests/support/Pump.h"

namespace qvtest {
namespace {

// One mouse input per flag at the screen point, sent together; returns once the cursor is there
// and the messages that followed are handled.
void SendMouse(std::initializer_list<DWORD> flags, POINT screen) {
  const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
  INPUT in[4]{};
  UINT n = 0;
  for (DWORD f : flags) {
    in[n].type = INPUT_MOUSE;
    // Absolute coordinates run from 0 to 65535 over the screen: the middle of the pixel.
    in[n].mi.dx = LONG((screen.x * 65536LL + 32768) / w);
    in[n].mi.dy = LONG((screen.y * 65536LL + 32768) / h);
    in[n].mi.dwFlags = f | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE;
    ++n;
  }
  SendInput(n, in, sizeof in[0]);
  pump_until([&] {
    POINT p{};
    GetCursorPos(&p);
    return p.x == screen.x && p.y == screen.y && (GetAsyncKeyState(VK_LBUTTON) & 0x8000) == 0;
  });
  flush_events(30, 1000);
}

INPUT AbsoluteMouse(POINT screen, DWORD flags) {
  const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dx = LONG((screen.x * 65536LL + 32768) / w);
  in.mi.dy = LONG((screen.y * 65536LL + 32768) / h);
  in.mi.dwFlags = flags | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  return in;
}

void SendKey(WORD vk, bool up) {
  INPUT in{};
  in.type = INPUT_KEYBOARD;
  in.ki.wVk = vk;
  in.ki.wScan = WORD(MapVirtualKeyA(vk, MAPVK_VK_TO_VSC));
  in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  SendInput(1, &in, sizeof in);
  pump_until([&] { return ((GetAsyncKeyState(vk) & 0x8000) == 0) == up; });
  flush_events(30, 1000);
}

}  // namespace

bool MoveMouseTo(POINT screen) {
  const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
  INPUT in{};
  in.type = INPUT_MOUSE;
  // Absolute coordinates run from 0 to 65535 over the screen: the middle of the pixel.
  in.mi.dx = LONG((screen.x * 65536LL + 32768) / w);
  in.mi.dy = LONG((screen.y * 65536LL + 32768) / h);
  in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  SendInput(1, &in, sizeof in);
  return pump_until([&] {
    POINT now{};
    GetCursorPos(&now);
    return now.x == screen.x && now.y == screen.y;
  });
}

void ClickAt(POINT screen) {
  SendMouse({0}, screen);
  SendMouse({MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP}, screen);
}

void DoubleClickAt(POINT screen) {
  ClickAt(screen);
  SendMouse({MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP}, screen);
}

void DragBy(POINT screen, int dx, int dy) {
  MoveMouseTo(screen);
  std::thread mover([screen, dx, dy] {
    constexpr int kSteps = 5;
    Sleep(200);
    for (int i = 1; i <= kSteps; ++i) {
      INPUT in = AbsoluteMouse(POINT{screen.x + dx * i / kSteps, screen.y + dy * i / kSteps}, 0);
      SendInput(1, &in, sizeof in);
      Sleep(60);
    }
    Sleep(150);
    INPUT up = AbsoluteMouse(POINT{screen.x + dx, screen.y + dy}, MOUSEEVENTF_LEFTUP);
    SendInput(1, &up, sizeof up);
  });
  INPUT down = AbsoluteMouse(screen, MOUSEEVENTF_LEFTDOWN);
  SendInput(1, &down, sizeof down);
  flush_events(30, 3000);
  mover.join();
  pump_until([] { return (GetAsyncKeyState(VK_LBUTTON) & 0x8000) == 0; });
  flush_events(30, 1000);
}

void KeyDown(WORD vk) { SendKey(vk, false); }
void KeyUp(WORD vk) { SendKey(vk, true); }

void PressKey(WORD vk) {
  KeyDown(vk);
  KeyUp(vk);
}

bool FocusForKeys(HWND wnd) {
  HWND top = GetAncestor(wnd, GA_ROOT);
  SetForegroundWindow(top);
  SetActiveWindow(top);
  SetFocus(wnd);
  return pump_until([&] { return GetFocus() == wnd && GetForegroundWindow() == top; }, 2000);
}

}  // namespace qvtest
