// The main program of every Windows test executable.
#include <gtest/gtest.h>

#include "classlib/Win.h"

namespace {

// Tests run one after another on a desktop, each in a program of its own: whatever the one before
// left of the mouse and the keyboard (the pointer over where the next test's window will be, a
// button or a modifier key held by a test that failed half-way) is put back first.
void ResetInput() {
  const struct {
    int Key;
    DWORD Flags;
  } held[] = {{VK_LBUTTON, MOUSEEVENTF_LEFTUP}, {VK_RBUTTON, MOUSEEVENTF_RIGHTUP}, {VK_MBUTTON, MOUSEEVENTF_MIDDLEUP}};
  for (const auto& h : held) {
    if (!(GetAsyncKeyState(h.Key) & 0x8000)) continue;
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = h.Flags;
    SendInput(1, &in, sizeof in);
  }
  for (WORD key : {VK_SHIFT, VK_CONTROL, VK_MENU}) {
    if (!(GetAsyncKeyState(key) & 0x8000)) continue;
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = key;
    in.ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(1, &in, sizeof in);
  }
  SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1);
}

}  // namespace

int main(int argc, char** argv) {
  // No error boxes that would wait for a click on a display nobody watches.
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&icc);
  ResetInput();
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
