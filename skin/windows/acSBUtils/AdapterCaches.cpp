// The window adapters' part in letting hidden windows' images go (skin/engine/HiddenCaches.cpp):
// the adapter on a window empties its cache image and is painted anew when the window shows again.
#include "skin/engine/Hooks.h"
#include "skin/engine/sCommonData.h"
#include "skin/windows/acSBUtils.h"

namespace {

void ReleaseAdapterCache(HWND Wnd) {
  TacMainWnd* adapter = GetWndAdapter(Wnd);
  if (!adapter || adapter->Destroyed || !adapter->SkinData) return;
  TsCommonData* sd = adapter->SkinData;
  if (!sd->CacheBmp || sd->CacheBmp->Empty()) return;
  sd->CacheBmp->SetSize(0, 0);
  sd->BGChanged = true;
}

const bool kAdapterCaches = (ReleaseWindowCacheProc = &ReleaseAdapterCache, true);

}  // namespace
