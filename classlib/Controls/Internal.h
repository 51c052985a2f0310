// What the files of the Controls unit share among themselves (not part of its public header): the
// process-wide control state and small helpers.
#pragma once

#include "classlib/Win.h"

#include <algorithm>
#include <map>
#include <vector>

#include "classlib/Controls.h"

namespace controls_impl {

// The window property that binds a window to its control.
inline constexpr const char* kControlProp = "QvControl";

// The control whose window is being created (bound by the first message the window gets).
extern thread_local TWinControl* CreationControl;
// The graphic control that holds the mouse through its parent's capture.
extern TControl* CaptureControl_;
// The control under the mouse.
extern TControl* MouseControl_;
extern TControl* DragControl_;
extern long LiveControls;
extern UINT NextControlId;

// Window procedure of each window class the library registered, by class atom: windows whose
// control is gone (or never bound) still reach their class's own procedure.
std::map<ATOM, WNDPROC>& ClassProcs();
WNDPROC ClassProcOf(HWND wnd);

// The control canvases holding a DC (released at idle time).
std::vector<TControlCanvas*>& CanvasList();

inline LPARAM PointToLParam(int x, int y) {
  return static_cast<LPARAM>(
      MAKELONG(static_cast<WORD>(static_cast<short>(x)), static_cast<WORD>(static_cast<short>(y))));
}

inline void MoveWindowOrg(HDC dc, int dx, int dy) {
  POINT p;
  GetWindowOrgEx(dc, &p);
  SetWindowOrgEx(dc, p.x - dx, p.y - dy, nullptr);
}

template <typename T>
void ListRemove(std::vector<T*>& list, T* item) {
  auto it = std::find(list.begin(), list.end(), item);
  if (it != list.end()) list.erase(it);
}

}  // namespace controls_impl
