// Forms in the other frame styles, each with a provider of its own: a tool window (small caption
// and small title buttons) and a dialog border (no icon, no sizing frame).
#pragma once

#include "classlib/Win.h"

class TCustomForm;

// Makes the forms once (Owner owns them) and shows them below Owner's top-left corner; returns the
// screen rectangle that holds both.
RECT ShowFrameExamples(TCustomForm* Owner);
