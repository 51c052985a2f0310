// What no one sees needs no image: when the class library hides a window control (a page of a page
// control that another page replaces, a panel, a form), the cache images of the skinned controls and
// adapted windows inside it are let go. Each is marked changed, so that it is painted anew when it
// shows again, and meanwhile answers its children that it is busy, as after a skin change.
#include "classlib/Win.h"

#include <exception>

#include "classlib/Controls.h"
#include "classlib/Hooks.h"
#include "skin/engine/Hooks.h"
#include "skin/engine/sCommonData.h"

void (*ReleaseWindowCacheProc)(HWND Wnd) = nullptr;

namespace {

void Release(TsCommonData* SkinData) {
  if (!SkinData || !SkinData->CacheBmp || SkinData->CacheBmp->Empty()) return;
  SkinData->CacheBmp->SetSize(0, 0);
  SkinData->BGChanged = true;
}

// The skinned controls of the class library inside Control, window and graphic ones.
void ReleaseControls(TWinControl* Control) {
  for (int i = 0; i < Control->ControlCount(); ++i) {
    TControl* child = Control->Controls(i);
    if (!child) continue;
    Release(FindSkinData(child));
    if (auto* wc = dynamic_cast<TWinControl*>(child)) ReleaseControls(wc);
  }
}

BOOL CALLBACK ReleaseWindow(HWND Wnd, LPARAM) {
  ReleaseWindowCacheProc(Wnd);
  return TRUE;
}

void ControlHidden(TWinControl* Control) {
  try {
    if (!Control || !Control->HandleAllocated() || IsWindowVisible(Control->Handle())) return;
    Release(FindSkinData(Control));
    ReleaseControls(Control);
    // Adapted windows: controls of the class library skinned from outside, and bare windows.
    if (ReleaseWindowCacheProc) {
      ReleaseWindowCacheProc(Control->Handle());
      EnumChildWindows(Control->Handle(), ReleaseWindow, 0);
    }
  } catch (const std::exception&) {
    // Nothing let go is lost: the images stay until the controls paint again.
  }
}

const bool kHiddenCaches = (WindowControlHiddenHook = &ControlHidden, true);

}  // namespace
