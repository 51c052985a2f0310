// Combo boxes, combo edits with each default glyph and glyph look, and number edits of the
// gallery, built onto a given parent.
#pragma once

class TWinControl;
class TsCustomNumEdit;

// The controls placed from the parent's top-left corner over about 690 x 440 pixels; the
// parent's owner owns them. They follow the default skin manager. Returns the currency edit whose
// calculator the gallery can open.
TsCustomNumEdit* AddComboExamples(TWinControl* Parent);
