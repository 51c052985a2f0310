#include "skin/controls/core/acBarGeometry.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace qv {

TRect StatusPanelSlot(std::span<const int> Widths, int Index, int BarWidth, int BarHeight) {
  if (Index < 0 || Index >= int(Widths.size())) return TRect{};
  int left = 0;
  for (int i = 0; i < Index; ++i) left += std::max(Widths[std::size_t(i)], 0) + 1;
  const bool last = Index + 1 == int(Widths.size());
  const int right = last ? BarWidth : left + std::max(Widths[std::size_t(Index)], 0) + 1;
  return TRect{left, 0, std::max(left, right), std::max(BarHeight, 0)};
}

TRect ChannelInOrientation(TRect Reported, bool Vertical) {
  const bool tall = Reported.Height() > Reported.Width();
  if (Vertical == tall || Reported.Width() == Reported.Height()) return Reported;
  std::swap(Reported.Left, Reported.Top);
  std::swap(Reported.Right, Reported.Bottom);
  return Reported;
}

TRect ChannelBand(const TRect& Channel, bool Vertical, int Thickness) {
  if (Thickness < 1) return Channel;
  TRect r = Channel;
  if (Vertical) {
    r.Left = Channel.Left + (Channel.Width() - Thickness) / 2;
    r.Right = r.Left + Thickness;
  } else {
    r.Top = Channel.Top + (Channel.Height() - Thickness) / 2;
    r.Bottom = r.Top + Thickness;
  }
  return r;
}

std::vector<int> TickPositions(TTickSpacing Spacing, int Count, int ChannelStart, int ChannelEnd, int ThumbLength,
                               std::span<const int> Manual) {
  std::vector<int> ticks;
  if (Count <= 0) return ticks;
  const int first = ChannelStart + ThumbLength / 2;
  if (Count == 1) {
    ticks.push_back(first);
    return ticks;
  }
  ticks.reserve(std::size_t(Count));
  if (Spacing == TTickSpacing::Automatic) {
    const double step = double(ChannelEnd - ChannelStart - ThumbLength) / double(Count - 1);
    for (int i = 0; i < Count; ++i) ticks.push_back(int(std::lround(i * step + first)));
    return ticks;
  }
  ticks.push_back(first);
  for (int i = 0; i < Count - 2; ++i) ticks.push_back(i < int(Manual.size()) ? Manual[std::size_t(i)] : first);
  ticks.push_back(ChannelEnd - ThumbLength / 2);
  return ticks;
}

int TickOffset(int ThumbThickness, int ChannelThickness) { return (ThumbThickness - ChannelThickness) / 2 + 2; }

bool ThumbImageFits(int FrameWidth, int FrameHeight, const TRect& Thumb, bool Vertical) {
  if (FrameWidth == Thumb.Width() && FrameHeight == Thumb.Height()) return true;
  // The thumb's length runs across the channel (the system's thumb length).
  const int length = Vertical ? Thumb.Width() : Thumb.Height();
  const int thickness = Vertical ? Thumb.Height() : Thumb.Width();
  const int frameLength = Vertical ? FrameWidth : FrameHeight;
  return length == 23 && thickness == 11 && frameLength == 21;
}

}  // namespace qv
