// Where a drop-down popup goes under (or over) the control that opens it, without any platform
// header: the combo edit asks the system for the area to keep the popup in and places it here.
#pragma once

#include "classlib/core/Types.h"

namespace qv {

// Which edges of the popup and its control line up.
enum class TacPopupAlign : int {
  RightEdges = 0,  // the popup's right edge under the control's right edge
  LeftEdges = 1,   // the left edges aligned
};

// The top-left corner of a popup Popup big that opens for a control at Control (screen
// coordinates), kept inside Area (the work area of the control's monitor; its origin may be
// negative on a virtual screen).
// Vertically the popup goes below the control, above it when it does not fit below, and, when it
// fits on neither side, on the side with more room, moved into the area. Horizontally it lines up
// by Align; when that puts it past the area's left (RightEdges) or right edge (LeftEdges) the other
// edges are aligned instead; then it is moved into the area (its left edge wins when it is wider
// than the area).
TPoint PlacePopup(const TRect& Control, TSize Popup, TacPopupAlign Align, const TRect& Area);

}  // namespace qv
