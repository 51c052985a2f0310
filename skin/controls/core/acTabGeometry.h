// Geometry of the skinned page control, without any platform header: where a tab is painted from
// the native item rectangle, the tab strip and the page frame, the row a tab lies in, and the
// close button on a tab. Every rectangle is in client coordinates of the page control.
#pragma once

#include <cstdint>

#include "classlib/core/Types.h"

namespace qv {

// The side the tabs stand on (the order of the page control's TabPosition).
enum class TabSide : std::uint8_t { Top, Bottom, Left, Right };

// The rectangle a tab is painted in. Plain tabs (not buttons) are enlarged from their item
// rectangle so that they join the page frame: the active tab stands out around its item and
// overlaps the frame, inactive tabs reach under it (the frame is painted over them). Buttons and
// empty items are painted as they are.
TRect SkinTabRectOf(const TRect& item, TabSide side, bool plainTabs, bool active);

// The tab strip: the client area on the tabs' side of the page frame (the whole client area when
// there are no tabs). Display is the area the pages fill.
TRect TabsRectOf(const TRect& client, const TRect& display, TabSide side, bool hasTabs);
// The page frame: the client area less the tab strip.
TRect PageFrameRectOf(const TRect& client, const TRect& display, TabSide side, bool hasTabs);

// The row of a tab, 1 being the row farthest from the pages (so rows are painted from 1 up and
// nearer rows overlap farther ones). Rows is the native row count; 1 with fewer than two.
int TabRowOf(const TRect& item, const TRect& tabs, TabSide side, int rows);

// The close button in the top-right corner of a tab rectangle.
TRect CloseBtnRectOf(const TRect& tab, int btnWidth, int btnHeight);

// Width and height of one state frame of a skin image: its width divided by the frame count, its
// height by the mask rows (mask type + 1); 0 for a count below 1 or a mask type below 0.
int FrameWidthOf(int width, int count);
int FrameHeightOf(int height, int maskType);

}  // namespace qv
