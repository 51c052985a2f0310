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
  if (Spacing == TTickSpacing::Automatic) {
    const double step = double(ChannelEnd - ChannelStart - ThumbLength) / double(Count - 1);
    const int last = int(std::lround((Count - 1) * step + first));
    if (std::abs(step) < 1.0) {
      // Neighbours round to the same pixel or the next one: every pixel between gets one tick.
      for (int t = std::min(first, last); t <= std::max(first, last); ++t) ticks.push_back(t);
      return ticks;
    }
    ticks.reserve(std::size_t(Count));
    for (int i = 0; i < Count; ++i) ticks.push_back(int(std::lround(i * step + first)));
    return ticks;
  }
  ticks.reserve(std::size_t(std::min<std::size_t>(std::size_t(Count), Manual.size() + 2)));
  ticks.push_back(first);
  const int between = std::min(Count - 2, int(Manual.size()));
  ticks.insert(ticks.end(), Manual.begin(), Manual.begin() + between);
  if (between < Count - 2) ticks.push_back(first);
  ticks.push_back(ChannelEnd - ThumbLength / 2);
  std::sort(ticks.begin(), ticks.end());
  ticks.erase(std::unique(ticks.begin(), ticks.end()), ticks.end());
  return ticks;
}

std::vector<int> ManualTickPositions(std::span<const int> Values, int Value0, int Position0, int Value1,
                                     int Position1) {
  std::vector<int> out;
  out.reserve(Values.size());
  const double slope = Value1 == Value0 ? 0.0 : double(Position1 - Position0) / (double(Value1) - double(Value0));
  for (int v : Values) out.push_back(int(std::lround(Position0 + (double(v) - double(Value0)) * slope)));
  return out;
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
