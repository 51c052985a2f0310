// What the parts of the form provider share among themselves and show no one else: the live
// providers, small tests of the form's state, the frame's window rectangle, and the custom move
// and resize frame.
#pragma once

#include "skin/windows/sSkinProvider.h"

#include <memory>
#include <unordered_set>

#include "classlib/GdiScopes.h"
#include "skin/engine/sQuorvexGraph.h"
#include "skin/engine/sSkinManager.h"
#include "skin/engine/sStyleSimply.h"
#include "skin/windows/Hooks.h"
#include "skin/windows/acSBUtils.h"
#include "skin/windows/core/acFormGeometry.h"
#include "skin/windows/sSkinMenus.h"

namespace acsp {

struct TBmpFree {
  void operator()(TBitmap* b) const { b->Free(); }
};
using TBmpPtr = std::unique_ptr<TBitmap, TBmpFree>;

// Space between title-bar buttons and before the first of them.
inline constexpr int kTitleButtonSpacing = 2;
// Size of a title-bar button the skin gives no image for.
inline constexpr int kDefaultButtonSize = 21;
inline constexpr int kDefaultMDIButtonSize = 16;

// Every provider that exists (inert ones included).
std::unordered_set<const TsSkinProvider*>& LiveProviders();
inline bool IsLive(const TsSkinProvider* p) { return p && LiveProviders().count(p) != 0; }

inline bool Dying(const TComponent* c) { return c && c->ComponentState().Contains(csDestroying); }
inline bool Creating(const TCustomForm* f) { return f && f->FormState().Contains(fsCreating); }
inline bool Reading(const TComponent* c) {
  return c && (c->ComponentState().Contains(csReading) || c->ComponentState().Contains(csLoading));
}

// The window's rectangle on the screen (empty for no window).
TRect WindowRectOf(HWND Wnd);
// WM_NCPAINT to the form's window (nothing without one).
void SendNCPaint(TCustomForm* Form);
// The form's window is minimized.
bool Iconic(const TCustomForm* Form);
bool Zoomed(const TCustomForm* Form);
// The form's main menu (nullptr when it has none).
TMainMenu* MainMenuOf(const TCustomForm* Form);
// The MDI frame's active child when it is maximized (nullptr otherwise).
TCustomForm* MaximizedChildOf(const TCustomForm* Frame);
// The MDI frame provider is alive and skinned.
bool MDIProviderSkinned();

// ---- Title-bar buttons ------------------------------------------------------------------------------

}  // namespace acsp

// A title-bar button as it shows now: its code, its record, the mask painted for it, its size and
// whether it answers the mouse.
struct TsSkinProvider::TButtonSlot {
  int Code = 0;
  TsCaptionButton* Data = nullptr;
  int Image = -1;
  int Width = 0;
  int Height = 0;
  bool Enabled = true;
};

namespace acsp {

// ---- The custom move and resize frame (one for the whole process) -------------------------------------

// Starts the frame for the provider's form: Moving, or sizing by SizingCode (10 .. 17) from the
// screen point Start.
void StartDragFrame(TsSkinProvider* Provider, bool Moving, int SizingCode, TPoint Start);
// The mouse moved to a screen point: the frame follows.
void DragFrameMouseMove(TPoint Point);
// Ends the frame: erased, the desktop DC given back; with Apply the form is moved or sized to it.
void EndDragFrame(bool Apply);
// A frame runs (for Provider: for its form).
bool DragFrameRunning(const TsSkinProvider* Provider = nullptr);
// The hit code that starts the next custom resize (HTCAPTION or 10 .. 17 of the last hit test).
extern int PendingSizingCode;

}  // namespace acsp
