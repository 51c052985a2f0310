// The late-bound hooks of the skin engine: function pointers that the window and control layers
// (or the program) set to plug their work into engine code that cannot include them. The engine
// calls a hook only when it is set and does its plain work otherwise. Every such hook of the
// engine is listed here (the class library's: classlib/Hooks.h).
#pragma once

#include "classlib/Win.h"

class TControl;
class TObject;
class TsBoundLabel;
class TsSkinableMenus;
class TsSkinManager;

// ---- Skin manager <- menus, dialog hook ----------------------------------------------------------

// Makes the manager's TsSkinableMenus (set by the menu unit to make its own kind; nil: the base).
extern TsSkinableMenus* (*CreateSkinableMenusProc)(TsSkinManager* Manager);

// The dialog hook's procedure (set by the dialog unit). It calls CallNextHookEx(CBTHook, ...)
// itself and returns that result. While nil the installed hook only passes calls on.
extern LRESULT (*DialogHookProc)(int Code, WPARAM WParam, LPARAM LParam);

// Empties the menu-adapter array when the manager removes its hook (set by the dialog unit).
extern void (*ClearMnuArrayProc)();

// ---- Per-control skin state <- program, labels ---------------------------------------------------

// The application object handed out by command 60: the class library's Application unless the
// program sets another source.
extern TObject* (*GetApplicationObject)();

// Makes the TsEditLabel for a bound label (set by the label unit; nil: no label is made).
extern TControl* (*CreateEditLabelProc)(TsBoundLabel* BoundLabel);
