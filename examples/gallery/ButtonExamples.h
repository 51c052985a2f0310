// Push buttons and speed buttons of the gallery, built onto a given parent.
#pragma once

class TWinControl;

// Push buttons (default, disabled, multi-line) and speed buttons (flat, grouped, with glyphs, with
// a drop-down menu) placed from the parent's top-left corner; the parent's owner owns them. They
// follow the default skin manager.
void AddButtonExamples(TWinControl* Parent);
