// Arithmetic of the skinned status bar and track bar, without any platform header.
//
// Every routine guards its divisions and clips what it returns, so zero or negative widths, a bar
// narrower than its panels, a single tick or an empty channel give a well-defined answer.
#pragma once

#include <span>
#include <vector>

#include "classlib/core/Types.h"

namespace qv {

// ---- Status bar ---------------------------------------------------------------------------------

// The slot of panel Index of a bar BarWidth x BarHeight whose panels are Widths wide: each panel
// starts one pixel after the one before it ends (the sum of Width + 1 of the panels before it)
// and is Width + 1 wide; the last one reaches the bar's right edge whatever its width. Negative
// widths count as 0; an index out of range gives an empty rectangle.
TRect StatusPanelSlot(std::span<const int> Widths, int Index, int BarWidth, int BarHeight);

// ---- Track bar --------------------------------------------------------------------------------------

// The channel rectangle as the system reports it, in the bar's own orientation: a vertical bar's
// channel is taller than wide. A rectangle that comes back in the other orientation (some systems
// report a vertical bar's channel as if it were horizontal) is turned back by swapping its axes.
TRect ChannelInOrientation(TRect Reported, bool Vertical);

// The channel band the skin paints: Thickness (one frame of the channel image less one pixel)
// across, centred across the system's channel; along the bar it keeps the channel's extent.
// Thickness below 1 leaves the channel as it is.
TRect ChannelBand(const TRect& Channel, bool Vertical, int Thickness);

enum class TTickSpacing { Automatic, Manual };

// Where the ticks sit along the bar (X of a horizontal bar, Y of a vertical one), in order, at most
// one a pixel: Count ticks between ChannelStart and ChannelEnd. Automatic spacing divides the
// channel less the thumb length evenly, the first tick half a thumb in from the start; ticks closer
// than a pixel fill every pixel from the first to the last, whatever their count. Manual spacing
// puts the first and the last ticks half a thumb in from the ends and the others at Manual (the
// positions of the ticks between, in any order). A count of 1 gives the first tick only; 0 or less
// gives none.
std::vector<int> TickPositions(TTickSpacing Spacing, int Count, int ChannelStart, int ChannelEnd, int ThumbLength,
                               std::span<const int> Manual = {});

// The positions of manual ticks of the given values (in any order), placed on the line through
// two ticks whose positions the system gave: (Value0, Position0) and (Value1, Position1).
std::vector<int> ManualTickPositions(std::span<const int> Values, int Value0, int Position0, int Value1, int Position1);

// The distance of the ticks from the channel's edge: half the thumb's thickness beyond the
// channel's, plus 2.
int TickOffset(int ThumbThickness, int ChannelThickness);

// Whether one frame of a thumb image (FrameWidth x FrameHeight) fits the thumb rectangle as it
// is: the same size, or the system's default thumb (23 long across the channel, 11 wide along it)
// for a frame 21 long.
bool ThumbImageFits(int FrameWidth, int FrameHeight, const TRect& Thumb, bool Vertical);

}  // namespace qv
