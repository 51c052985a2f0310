// Windows of the system's own classes made with CreateWindowEx as a dialog makes them, twice side
// by side: on the left each one adapted on its own (static text, a link, an icon, push buttons,
// check boxes and radio buttons, a group box, combo boxes with long lists, a panel with a size
// grip, an edit with an up-down), on the right the same windows as the system draws them.
#pragma once

class TWinControl;

// Built from the parent's top-left corner in about 680 x 420 pixels; the adapters follow the
// default skin manager and are freed with the parent's owner.
void AddPlainWindowExamples(TWinControl* Parent);
