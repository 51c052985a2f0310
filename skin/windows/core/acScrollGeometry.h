// Arithmetic of the skinned scroll bars and of the adapters' frames, without any platform header.
//
// Coordinates run along one axis of a bar (X for a horizontal bar, Y for a vertical one); the
// Windows side picks the axis. Every routine guards its divisions and clips its rectangles, so a
// scroll range that is empty or reversed, a zero channel or a bad skin (frame counts of 0, mask
// types below 0) gives a well-defined answer instead of a division by zero.
#pragma once

#include <array>
#include <cstdint>

#include "classlib/core/Types.h"
#include "skin/engine/core/acImage.h"
#include "skin/engine/core/acMaskPaint.h"
#include "skin/engine/core/acPixelKernels.h"

namespace qv {

// Part codes of a bar; they equal the scroll codes sent to the window.
inline constexpr int sbpNone = -1;
inline constexpr int sbpFirstArrow = 0;   // SB_LINELEFT / SB_LINEUP
inline constexpr int sbpSecondArrow = 1;  // SB_LINERIGHT / SB_LINEDOWN
inline constexpr int sbpPageBefore = 2;   // SB_PAGELEFT / SB_PAGEUP
inline constexpr int sbpPageAfter = 3;    // SB_PAGERIGHT / SB_PAGEDOWN
inline constexpr int sbpThumb = 5;        // SB_THUMBTRACK

inline constexpr int DefaultArrowLength = 16;
inline constexpr int DefaultMinThumbSize = 10;

// The scroll state as a window reports it (SCROLLINFO without the header).
struct TScrollRange {
  int nMin = 0;
  int nMax = 0;
  unsigned nPage = 0;
  int nPos = 0;
  int nTrackPos = 0;
};

// a * b / c rounded half away from zero, computed in 64 bits; 0 when c is 0.
int MulDivSafe(int a, int b, int c);

// Width of one state frame: Width / Count (0 for a count below 1); height: Height / (MaskType + 1)
// (0 for a mask type below 0).
int SafeFrameWidth(int width, int count);
int SafeFrameHeight(int height, int maskType);

// The thumb along a bar running from Start to End with arrow buttons Btn long at both ends.
struct TThumb {
  int Size = 0;
  int Pos = 0;  // absolute coordinate of the thumb's start
};
TThumb CalcThumb(int start, int end, int btn, const TScrollRange& si, int minThumbSize);

// Whether the painter draws the thumb: MulDiv(nPage, channel, nMax - nMin) raised to the minimum
// lies in 1 .. channel.
bool ThumbDrawable(const TScrollRange& si, int channel, int minThumbSize);

// The part under a point. Along: the coordinate along the axis; Across, AcrossStart, AcrossEnd:
// the other axis and the bar's extent on it. Btn: the arrow length (halved when the bar is
// shorter than two arrows); Thumb computed with the same unhalved Btn.
int ScrollHitTest(int start, int end, int btn, const TThumb& thumb, int along, int across, int acrossStart,
                  int acrossEnd);

// Thumb dragging. The drag bounds run from BoundsStart to BoundsEnd (the bar without its arrows).
// The thumb start for a pointer coordinate, clamped to the bounds.
int TrackThumbStart(int pointer, int thumbOffset, int boundsStart, int boundsEnd, int thumbSize);
// The scroll position for a thumb start: nMin plus the share of the scrollable range, clamped to
// nMin .. nMax - max(nPage, 1) + 1; nMin when the track has no length.
int TrackThumbPosition(int thumbStart, int boundsStart, int boundsEnd, int thumbSize, const TScrollRange& si);
// Whether SB_THUMBTRACK sets the window's position first: whenever the tracked position lies in
// the range and differs from nPos, at the two ends of the range too. The window's track position
// (SIF_TRACKPOS) follows the position while the system does not track the thumb itself, so a
// control that reads it sees the thumb's place only when the position is set, at the ends as
// anywhere else.
bool ThumbTrackSetsPos(int pos, const TScrollRange& si);

// The frame of a window with skinned bars.
struct TBarFrame {
  TRect Window;  // window rectangle (screen)
  int BorderLeft = 0, BorderTop = 0, BorderRight = 0, BorderBottom = 0;
  int HorzThickness = 0;  // counted only when HorzVisible
  int VertThickness = 0;  // counted only when VertVisible
  bool HorzVisible = false;
  bool VertVisible = false;
  bool LeftScrollBar = false;
};
TRect HorzBarRect(const TBarFrame& f);
TRect VertBarRect(const TBarFrame& f);
// The box where the two bars meet (empty unless both are visible).
TRect CornerBoxRect(const TBarFrame& f);

// Room of the bars in the client rectangle computed by the window's own procedure (Client,
// changed in place). HasHorz / HasVert: the window style carries the bar.
struct TBarRoom {
  bool HorzVisible = false;
  bool VertVisible = false;
};
TBarRoom TakeBarRoom(TRect& client, bool hasHorz, bool hasVert, int horzThickness, int vertThickness,
                     bool leftScrollBar);

// The size grip shows in the corner box. Level: 0 the window has no parent, 1 its parent is a
// top-level window, 2 deeper. ParentClient: the parent's client rectangle (screen).
bool SizeGripShows(int level, const TRect& box, const TRect& parentClient, int borderLeft, int borderRight,
                   int borderBottom, bool leftScrollBar);

// One corner copy of a border frame onto a window, clipped to both.
struct TCornerCopy {
  int SrcX = 0, SrcY = 0;  // inside the frame
  int DstX = 0, DstY = 0;  // inside the window
  int W = 0, H = 0;        // 0 when nothing is left
};
// Top-left, bottom-left, bottom-right, top-right: margins WL, WT, WR, WB of a FrameW x FrameH
// frame placed on a W x H window.
std::array<TCornerCopy, 4> BorderCornerCopies(int frameW, int frameH, int w, int h, int wl, int wt, int wr, int wb);

// Gives every transparent pixel of the four corners of frame State of Mask, laid on Dst (the
// window's W x H image), the pixel of Parent under it (Parent.X, Parent.Y: the window's place in
// the parent's image) or, when the parent image is not usable, Color. Clipped everywhere.
void FillBorderCorners(const TImageView& dst, int w, int h, const TMaskFrames& mask, int state,
                       const TCacheView& parent, TColorRef color);

}  // namespace qv
