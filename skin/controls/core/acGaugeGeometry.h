// The gauge's arithmetic, without any platform header: the percentage of a value in a range of any
// width, the length of the bars, and the end points of the pie's arc and of the needle.
#pragma once

#include <vector>

#include "classlib/core/Types.h"

namespace qv {

// (Progress - Min) * 100 / (Max - Min), truncated, computed in 64 bits so that ranges as wide as
// the whole 32-bit span neither overflow nor change sign; 0 when Max <= Min. Progress is taken
// inside the range.
int GaugePercent(int progress, int minValue, int maxValue);

// Round(percent * extent / 100) (ties to even), limited to 0 .. extent: the length of a bar that
// fills extent pixels at 100 %.
int GaugeBarLength(int percent, int extent);

// The filled part of the plain bars inside R (the gauge less its frame): the horizontal bar grows
// from R's left edge, the vertical one from its bottom edge. Empty at 0 %, R at 100 %.
TRect PlainHorzBar(int percent, const TRect& r);
TRect PlainVertBar(int percent, const TRect& r);

// The point where the pie's arc ends, running clockwise from 12 o'clock, in a box of twice
// (halfWidth, halfHeight): a = (percent / 50 + 0.5) * pi, (Round((1 - cos a) * halfWidth),
// Round((1 - sin a) * halfHeight)). At 100 % it is back at 12 o'clock.
TPoint PieArcEnd(int percent, int halfWidth, int halfHeight);
// The pie's wedge as a polygon in the same box, to be cut by the ellipse: the centre, then points
// on the radials from 12 o'clock clockwise to the arc's end, twice as far out as the ellipse.
std::vector<TPoint> PieWedge(int percent, int halfWidth, int halfHeight);
// The needle's tip over a dial standing on the row Base: a = percent / 100 * pi, from the left
// end of the base (0 %) over the top (50 %) to its right end (100 %).
TPoint NeedleTip(int percent, int halfWidth, int base);

}  // namespace qv
