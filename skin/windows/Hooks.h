// The late-bound hooks of the window adapters: function pointers that the class library's units,
// the form provider or the program set to plug their work into adapter code that cannot include
// them. An adapter calls a hook only when it is set and does its plain work otherwise. Every such
// hook of this layer is listed here (the engine's: skin/engine/Hooks.h).
#pragma once

#include "classlib/Win.h"

#include "classlib/Forward.h"

// ---- Edit and MDI client adapters <- class library ---------------------------------------------------

// The container class of the class library that the edit adapter leaves without csOpaque and
// whose controls the MDI client paints under while a child is maximized; a test of a control's
// class, set at run time by the unit that brings the class (nullptr while none does).
extern bool (*IsContainerClass)(const TControl* Control);

// ---- MDI client adapter <- form provider ----------------------------------------------------------

// Provider work the MDI client adapter asks for; set by the form provider's unit. While they are
// nullptr (no provider unit) the client is skinned without that work: its background is always
// painted, tiling and cascading only mark the form's image changed and redraw the client, and the
// menu line is not refreshed.
extern bool (*MDIProviderAnimatingShow)(TObject* Provider);
// After tile or cascade: the provider's cached caption state reset, the active child's system menu
// style taken away (the provider draws the child's buttons in its menu line), the MDI form object
// updated, the title repainted.
extern void (*MDIProviderArranged)(TObject* Provider);
extern void (*MDIProviderRefreshMenuLine)(TObject* Provider);

// ---- Form provider <- MDI form skinning -----------------------------------------------------------------

class TsSkinProvider;

// The object that skins an MDI frame form's client window (set by the MDI form unit): made for the
// provider of an MDI frame, attached to the client window, and told when the frame was repainted.
// While nullptr the provider paints the MDI frame's own frame and the client window keeps its look.
extern TObject* (*CreateMDIFormProc)(TsSkinProvider* Provider);
extern void (*MDIFormConnectProc)(TObject* MDIForm);
extern void (*MDIFormRefreshProc)(TObject* MDIForm);

// ---- Skinned menus <- form provider -------------------------------------------------------------------

// The image of the menu line the form provider draws for the form window FormWnd (an MDI frame's
// provider draws the line for its children too), which the main menu's items are painted over; set
// by the form provider's unit. While it is nullptr, or gives nullptr, the items keep the class
// library's look.
extern TBitmap* (*MenuLineImageProc)(HWND FormWnd);
