// Queue helpers for tests: the X11 driver under Wine delivers window changes asynchronously, so a
// test pumps until the queue has stayed empty for a while before it looks at windows or pixels.
#pragma once

#include "classlib/Win.h"

namespace qvtest {

// Dispatches every message of this thread until none has arrived for quietMs milliseconds, or
// until maxMs milliseconds have passed. Returns the number of messages dispatched.
int flush_events(DWORD quietMs = 60, DWORD maxMs = 3000);

// Pumps messages until cond() is true or timeoutMs passes; returns cond()'s last value.
template <typename Cond>
bool pump_until(Cond cond, DWORD timeoutMs = 3000) {
  DWORD start = GetTickCount();
  while (!cond()) {
    if (GetTickCount() - start > timeoutMs) return cond();
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  }
  return true;
}

}  // namespace qvtest
