// Real input for tests beyond moving the mouse: clicks given as one input (pressed and released
// at once, so that nothing repeating while a button is held gets the time), double clicks, and
// the keyboard, all through SendInput, so the messages reach the windows the way the system makes
// them. Each call pumps until the queue is quiet.
#pragma once

#include "classlib/Win.h"

namespace qvtest {

// The pointer moved to a screen point; true once the system has the cursor there.
bool MoveMouseTo(POINT screen);
// The pointer moved to a screen point, then the left button pressed and released there.
void ClickAt(POINT screen);
void DoubleClickAt(POINT screen);
// The left button pressed at a screen point, the pointer moved by (dx, dy) in steps and the button
// released there. The moves and the release come from another thread: a window may hold the
// press in a modal loop (moving or sizing) that returns only once the button is up.
void DragBy(POINT screen, int dx, int dy);
void KeyDown(WORD vk);
void KeyUp(WORD vk);
void PressKey(WORD vk);
// The window's top-level window in front and active, the window focused: keys reach it.
bool FocusForKeys(HWND wnd);

}  // namespace qvtest
