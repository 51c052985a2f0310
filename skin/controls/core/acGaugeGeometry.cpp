#include "skin/controls/core/acGaugeGeometry.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>

namespace qv {

namespace {
int RoundHalfEven(double v) { return int(std::nearbyint(v)); }
}  // namespace

int GaugePercent(int progress, int minValue, int maxValue) {
  if (maxValue <= minValue) return 0;
  const std::int64_t lo = minValue, hi = maxValue;
  const std::int64_t p = std::clamp<std::int64_t>(progress, lo, hi);
  return int((p - lo) * 100 / (hi - lo));
}

int GaugeBarLength(int percent, int extent) {
  if (extent <= 0) return 0;
  return std::clamp(RoundHalfEven(percent * double(extent) * 0.01), 0, extent);
}

TRect PlainHorzBar(int percent, const TRect& r) {
  const int w = GaugeBarLength(percent, r.Width());
  return w > 0 ? TRect{r.Left, r.Top, r.Left + w, r.Bottom} : TRect{};
}

TRect PlainVertBar(int percent, const TRect& r) {
  const int h = GaugeBarLength(percent, r.Height());
  return h > 0 ? TRect{r.Left, r.Bottom - h, r.Right, r.Bottom} : TRect{};
}

TPoint PieArcEnd(int percent, int halfWidth, int halfHeight) {
  const double a = (percent / 50.0 + 0.5) * std::numbers::pi;
  return TPoint{RoundHalfEven((1 - std::cos(a)) * halfWidth), RoundHalfEven((1 - std::sin(a)) * halfHeight)};
}

std::vector<TPoint> PieWedge(int percent, int halfWidth, int halfHeight) {
  std::vector<TPoint> points{TPoint{halfWidth, halfHeight}};
  const int steps = std::max(1, std::clamp(percent, 0, 100) * 64 / 100);
  for (int i = 0; i <= steps; ++i) {
    const double a = (std::clamp(percent, 0, 100) * double(i) / steps / 50.0 + 0.5) * std::numbers::pi;
    points.push_back(
        TPoint{RoundHalfEven((1 - 2 * std::cos(a)) * halfWidth), RoundHalfEven((1 - 2 * std::sin(a)) * halfHeight)});
  }
  return points;
}

TPoint NeedleTip(int percent, int halfWidth, int base) {
  const double a = percent / 100.0 * std::numbers::pi;
  return TPoint{RoundHalfEven((1 - std::cos(a)) * halfWidth), RoundHalfEven((1 - std::sin(a)) * base)};
}

}  // namespace qv
