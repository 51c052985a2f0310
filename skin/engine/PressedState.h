// State the whole process shares while a mouse button holds a control down: the application's hints
// switched off, and the speed button whose drop-down menu is about to show. Skinned controls set it;
// the skinned menus read and clear it when the drop-down menu appears.
#pragma once

class TControl;

// The application's hints are switched off while the left mouse button is held on a button or a
// track bar. Only the control that switched them off saves and restores them, and it always does
// (release, capture loss, a drop-down menu's return, destruction), so they are never left off;
// a press elsewhere meanwhile changes nothing.
void HintsOffWhilePressed(TControl* Control);
void RestoreHints(TControl* Control);
// The control that switched the hints off (nullptr when none).
TControl* HintsSwitchedOffBy();

// The speed button whose drop-down menu is shown (nullptr when none).
TControl* DroppedDownButton();
void SetDroppedDownButton(TControl* Button);
// Forgets it (the skinned menus do so once the drop-down menu shows).
void ClearDroppedDownButton();
