// Check boxes, radio buttons, group boxes, a radio group, edits, a memo, a spin edit and a list
// box of the gallery, each in its states, built onto a given parent.
#pragma once

class TWinControl;

// The controls placed from the parent's top-left corner over about 690 x 440 pixels; the
// parent's owner owns them. They follow the default skin manager. Returns the check box that
// shows the focused look (to be focused while its page is shown).
TWinControl* AddCheckEditListExamples(TWinControl* Parent);
