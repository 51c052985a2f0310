// The one path of a skin change: every walk of a skin command over controls and windows, the rule
// where a walk stops, the answers every skinned window gives about itself, and the paint that ends
// a skin switch.
//
// ---- The walk -----------------------------------------------------------------------------------
//
// A skin change reaches a window tree as the skin commands QC_SKINLOADED, QC_SKINREMOVED and
// QC_REFRESH, delivered to each window once. Delivering a command to a window sends it to the window
// (SendMessage to a window, or the window-less control's WindowProc), then goes on inside the
// window: a class-library control's controls (graphic controls included), the foreign
// windows under its window (windows that are no control of its own: a bare list box made with
// CreateWindowEx, an MDI client), a foreign window's child windows; each of them delivered in turn.
// A manager's command lists the window tree of each top-level window once, as it reaches it (the
// commands of a skin switch share one listing).
//
// The stop rule: the walk does not go on inside a window that passed the command on itself while
// it handled it (PassSkinCommandOn): a skinned container (a page, a skinned or adapted panel, a
// group box, a form's provider) hands the skin's coming to what lies inside it before its own
// answer and its refresh and going after it, so the walk leaves its inside to it. A window that
// does not pass a command on (a plain window, a skinned control with nothing inside it, a
// container that ignores another manager's command) has its inside walked. Either way each window
// inside hears the command once, from one sender.
//
// ---- Paint once -------------------------------------------------------------------------------
//
// While a manager switches skins (TSkinSwitch) the controls and adapters that hear the commands
// mark what changed and paint nothing. When the switch ends, the windows that take a new shape are
// cut first, forms before controls (CutBeforeSwitchPaint), then each visible top-level window of
// the thread is redrawn once, with its frame and its children. Outside a switch a command sent to
// one control (its section or manager changed) repaints it at once.
#pragma once

#include "classlib/Win.h"

#include <functional>
#include <memory>

#include "classlib/Controls.h"
#include "classlib/core/Messages.h"

// ---- Walks ----------------------------------------------------------------------------------------

// Delivers the message to the window (or control) and, unless it passes the message on itself,
// to what lies inside it. Result of Message: the window's answer.
void DeliverSkinCommand(HWND Wnd, TMessage& Message);
void DeliverSkinCommand(TControl* Control, TMessage& Message);

// A container hands the message on to what lies inside it, each child delivered in turn; called
// from the container's own handling of the message, which tells a walk that delivered it to the
// container to leave the inside to it. Stops at a child control being destroyed.
void PassSkinCommandOn(TWinControl* Container, const TMessage& Message);
void PassSkinCommandOn(HWND Container, const TMessage& Message);

// One send of a round over a list of windows (the control adapter's items): the round reaches
// every window of its list itself, so a container among them passes nothing on inside.
void SendInRound(HWND Wnd, TMessage& Message);

// The walk of a manager's command over every window of the thread: the forms with a provider
// first (they pass skin changes on themselves), then every other top-level window.
void SendSkinCommandToAll(TMessage& Message);

// A container passes a message on to its children: PassSkinCommandOn.
void BroadcastToControls(TWinControl* Control, TMessage& Message);
// QC_UPDATEDONE to each child control that is not a graphic control and not being destroyed.
void RepaintChildControls(TWinControl* Control);
// QC_UPDATEDONE to each child window.
void RepaintChildWindows(HWND Wnd);

// ---- Identity answers ---------------------------------------------------------------------------

// The questions every skinned control, adapter and form provider answers alike: QC_ISSKINNED
// (LParam and Result 1) and QC_GETAPPLICATION (Result is the application object). true when the
// message was one of them (it is answered then); false for anything else.
bool AnswerIdentity(TMessage& Message);

// ---- Paint once -------------------------------------------------------------------------------------

// A manager's skin switch: while the outermost object lives the commands' repaints are held back;
// its destruction redraws each visible top-level window of the thread once (frame, client and
// children).
class TSkinSwitch {
 public:
  TSkinSwitch();
  ~TSkinSwitch();
  TSkinSwitch(const TSkinSwitch&) = delete;
  TSkinSwitch& operator=(const TSkinSwitch&) = delete;
};

// true while a skin switch runs (its final redraw included): a control or adapter that hears a
// skin command marks its look changed and leaves the painting to the switch's end.
bool SkinSwitchRunning();
// true while a skin switch's commands walk, before its final redraw: what a window shows of another
// window's image (a parent's, a form's) is painted at the end, when that image is made.
bool SkinSwitchWalking();
// A control announces itself to its form (QC_CONTROLANNOUNCE) while a switch walks: the form hears it once
// when the commands have walked, before the final redraw (many controls announce themselves as
// the refresh reaches them, and each announcement makes the form's control adapter look at every
// control again).
void AnnounceAfterSwitch(HWND Form, TControl* Control);

// A window that takes a new shape in a skin switch (a form's corners, a button's) is cut when the
// commands have walked, before the final redraw: the forms first, then the controls, while its
// owner lives (Alive). Cut inside its own paint, a window would be drawn under its old shape and
// again under the new one, and each child's cut would make the system drop what it had worked
// out of the form's visible parts, painted just before; cut first, the shapes are all in place
// when the windows paint. false when no switch is walking (the cut is not kept; the window cuts
// itself as it paints).
enum class TCutOrder { Form, Control };
bool CutBeforeSwitchPaint(TCutOrder Order, std::shared_ptr<bool> Alive, std::function<void()> Cut);
