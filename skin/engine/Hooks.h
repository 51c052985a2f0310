// The late-bound hooks of the skin engine: function pointers that the window and control layers
// (or the program) set to plug their work into engine code that cannot include them. The engine
// calls a hook only when it is set and does its plain work otherwise. Every such hook of the
// engine is listed here (the class library's: classlib/Hooks.h).
#pragma once

#include "classlib/Win.h"

#include <cstdint>
#include <memory>

class TControl;
class TObject;
class TsBoundLabel;
class TsSkinableMenus;
class TsSkinManager;

// ---- Skin manager <- menus, dialog hook ----------------------------------------------------------

// Makes the manager's TsSkinableMenus (set by the menu unit to make its own kind; nullptr: the base).
extern TsSkinableMenus* (*CreateSkinableMenusProc)(TsSkinManager* Manager);

// The dialog hook's procedure (set by the dialog unit). It calls CallNextHookEx(CBTHook, ...)
// itself and returns that result. While nullptr the installed hook only passes calls on.
extern LRESULT (*DialogHookProc)(int Code, WPARAM WParam, LPARAM LParam);

// Empties the menu-adapter array when the manager removes its hook (set by the dialog unit).
extern void (*ClearMnuArrayProc)();

// ---- Per-control skin state <- program, labels ---------------------------------------------------

// The application object handed out by QC_GETAPPLICATION: the class library's Application unless the
// program sets another source.
extern TObject* (*GetApplicationObject)();

// Makes the TsEditLabel for a bound label (set by the label unit; nullptr: no label is made).
extern TControl* (*CreateEditLabelProc)(TsBoundLabel* BoundLabel);

// ---- Engine <- classes of the controls and window layers ----------------------------------------
// A few classes of the skinned controls and of window skinning get special treatment in the engine (sibling
// speed buttons share one hover; a form provider's skin data stands for its form), but the engine
// may not name them. Each such unit registers a type test for its kind when it starts, and the
// engine asks by kind; a test answers for the class and all its descendants. A kind nobody
// registered (its unit is not in the program) matches nothing.
enum class TacClassKind : std::uint8_t {
  SpeedButton,   // TsSpeedButton
  SkinProvider,  // TsSkinProvider
  SkinnedLabel,  // TsCustomLabel
  Count
};
using TacClassTest = bool (*)(const TObject* Obj);
void RegisterClassKind(TacClassKind Kind, TacClassTest Test);
bool IsClassKind(const TObject* Obj, TacClassKind Kind);
// Registers the type test "is a T" for Kind; returns true, for use in a unit's start-up constant.
template <class T>
bool RegisterClassKindOf(TacClassKind Kind) {
  RegisterClassKind(Kind, [](const TObject* Obj) { return dynamic_cast<const T*>(Obj) != nullptr; });
  return true;
}

// ---- Skinned controls <- window adapters ------------------------------------------------------------
// A skinned memo or list box draws its scroll bars through the window layer's edit adapter, which
// the control layer may not name: the control holds it through this interface, made by the hook
// that the window unit sets when it starts.
class TsCommonData;
class TacControlScrollBars {
 public:
  virtual ~TacControlScrollBars() = default;
  // The adapter's window went away: a new one must be made for the window the control has now.
  virtual bool WindowGone() const = 0;
  // Both bars' scroll information read again (Repaint: and the bars painted).
  virtual void RefreshBars(bool Repaint) = 0;
  // The room a visible bar takes across the window (0 when the bar is hidden).
  virtual int BarRoom(bool Vertical) const = 0;
};
// Makes the scroll-bar adapter for the window of a skinned control (nullptr: the bars stay the system's).
extern std::unique_ptr<TacControlScrollBars> (*CreateControlScrollBarsProc)(TsCommonData* SkinData);
// Keeps a skinned control's scroll-bar adapter in step with its skin: made when the control is
// skinned (one whose window went away is replaced), freed when it is not.
void UpdateControlScrollBars(TsCommonData* SkinData, std::unique_ptr<TacControlScrollBars>& Bars);

// A skinned combo box skins the frame and scroll bar of its list window through the window layer's
// list adapter, held the same way: freeing the object gives the list window back as it was.
class TacControlComboList {
 public:
  virtual ~TacControlComboList() = default;
  // The list window went away (the adapter has left it): a new one must be made for a new list.
  virtual bool WindowGone() const = 0;
  // The list's skin section index (-1 while the skin knows none), for the colours of its items.
  virtual int SectionIndex() const = 0;
};
// Makes the adapter of a combo box's list window, painted with Manager's skin; Simple: the list
// of a simple combo (shown under the edit field at all times). Nil while no window unit sets it:
// the list stays the system's.
extern std::unique_ptr<TacControlComboList> (*CreateComboListProc)(HWND ListWnd, TsSkinManager* Manager, bool Simple);

// ---- Hidden windows' images <- window adapters -----------------------------------------------------
// Lets go of the cache image of the window adapter on a window (set by the window unit; nullptr:
// only skinned controls let theirs go when hidden).
extern void (*ReleaseWindowCacheProc)(HWND Wnd);
