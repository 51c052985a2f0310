// Page controls, gauges and an up-down of the gallery, built onto a given parent.
#pragma once

class TWinControl;

// A page control of twelve tabs (images, close buttons, one disabled page), one with its tabs at
// the bottom and one at the left; gauges of the five kinds driven by a timer; an up-down with its
// edit. Laid out from the parent's top-left corner in about 680 x 420 pixels; the parent's owner
// owns them. They follow the default skin manager.
void AddTabExamples(TWinControl* Parent);
