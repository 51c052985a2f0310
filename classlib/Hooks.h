// The late-bound hooks of the class library: function pointers that a later unit or a higher layer
// sets to plug its work into code that cannot include it. Each is nullptr until set, and the code
// that calls one does its plain work without it. Every such hook of the class library is listed
// here (the skin engine's: skin/engine/Hooks.h).
#pragma once

#include "classlib/Win.h"

#include "classlib/Forward.h"

#include "classlib/core/Messages.h"

// ---- Forms <- Menus ----------------------------------------------------------------------------

// Gives the menu bar handle of a form's Menu component (set by the menu unit; the form's Menu is
// any component to the form code). Called when the form's window is made and its menu changes.
using TMenuHandleHook = HMENU (*)(TComponent* Menu);
extern TMenuHandleHook FormMenuHandleHook;

// Answers the menu messages a form receives (WM_COMMAND of a menu item, WM_MEASUREITEM /
// WM_DRAWITEM of ODT_MENU, WM_INITMENUPOPUP); true when it handled one (set by the menu unit).
using TMenuMessageHook = bool (*)(TMessage& Message);
extern TMenuMessageHook FormMenuMessageHook;

// ---- Controls <- skin engine -------------------------------------------------------------------

// Called after the class library hid a window control's window (set by the skin engine, which lets
// go of the images it keeps for painting the control and what lies inside it).
using TWindowHiddenHook = void (*)(TWinControl* Control);
extern TWindowHiddenHook WindowControlHiddenHook;

// true while every window will be painted anew, whole, when the work under way ends (set by the
// skin engine: a skin switch whose commands walk): a control asked to invalidate itself meanwhile
// leaves it to that paint.
using TRepaintPendingHook = bool (*)();
extern TRepaintPendingHook WholeRepaintPendingHook;
