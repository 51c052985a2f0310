#include "tests/support/Pump.h"

namespace qvtest {

int flush_events(DWORD quietMs, DWORD maxMs) {
  int count = 0;
  DWORD start = GetTickCount();
  DWORD lastActivity = start;
  for (;;) {
    MSG msg;
    bool any = false;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
      ++count;
      any = true;
    }
    DWORD now = GetTickCount();
    if (any) lastActivity = now;
    if (now - lastActivity >= quietMs || now - start >= maxMs) break;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, quietMs / 4 + 1, QS_ALLINPUT);
  }
  return count;
}

}  // namespace qvtest
