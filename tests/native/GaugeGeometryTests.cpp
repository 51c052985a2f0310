// The gauge's arithmetic: the percentage over any 32-bit range, bars, pie and needle.
#include <gtest/gtest.h>

#include <climits>

#include "skin/controls/core/acGaugeGeometry.h"

using namespace qv;

namespace {

std::string Text(const TRect& r) {
  return std::to_string(r.Left) + "," + std::to_string(r.Top) + "," + std::to_string(r.Right) + "," +
         std::to_string(r.Bottom);
}

}  // namespace

// The percentage over ranges of any width: an empty range, negative ranges, the whole 32-bit
// span (which overflows 32-bit arithmetic), values outside the range and reversed ranges.
TEST(GaugeGeometry, PercentOverEdgeRanges) {
  struct {
    int Progress, Min, Max, Percent;
  } cases[] = {
      {5, 5, 5, 0},
      {47, 0, 100, 47},
      {0, -100, 100, 50},
      {-100, -100, 100, 0},
      {-1, -300, -200, 100},
      {INT_MIN, INT_MIN, INT_MAX, 0},
      {-1, INT_MIN, INT_MAX, 49},
      {0, INT_MIN, INT_MAX, 50},
      {INT_MAX, INT_MIN, INT_MAX, 100},
      {INT_MAX - 1, 0, INT_MAX, 99},
      {200, 0, 100, 100},
      {-5, 0, 100, 0},
      {5, 10, 0, 0},
  };
  for (const auto& c : cases)
    EXPECT_EQ(c.Percent, GaugePercent(c.Progress, c.Min, c.Max)) << c.Progress << " in " << c.Min << ".." << c.Max;
}

TEST(GaugeGeometry, BarsPieAndNeedle) {
  struct {
    int Percent, Extent, Length;
  } bars[] = {{0, 120, 0}, {100, 120, 120}, {50, 121, 60}, {50, 123, 62}, {33, 100, 33}, {150, 10, 10}, {50, 0, 0}};
  for (const auto& b : bars) EXPECT_EQ(b.Length, GaugeBarLength(b.Percent, b.Extent)) << b.Percent << " " << b.Extent;

  const TRect r{1, 1, 119, 29};
  EXPECT_TRUE(PlainHorzBar(0, r).IsEmpty());
  EXPECT_EQ(Text(r), Text(PlainHorzBar(100, r)));
  EXPECT_EQ(Text(TRect{1, 1, 60, 29}), Text(PlainHorzBar(50, r)));
  EXPECT_TRUE(PlainVertBar(0, r).IsEmpty());
  EXPECT_EQ(Text(r), Text(PlainVertBar(100, r)));
  EXPECT_EQ(Text(TRect{1, 15, 119, 29}), Text(PlainVertBar(50, r)));

  // Clockwise from 12 o'clock: a quarter ends at 3 o'clock, half at 6, the whole back at 12.
  struct {
    int Percent;
    TPoint Pie, Needle;
  } ends[] = {{25, {100, 50}, {15, 12}}, {50, {50, 100}, {50, 0}}, {75, {0, 50}, {85, 12}}, {100, {50, 0}, {100, 40}}};
  for (const auto& e : ends) {
    EXPECT_EQ(e.Pie, PieArcEnd(e.Percent, 50, 50)) << e.Percent;
    EXPECT_EQ(e.Needle, NeedleTip(e.Percent, 50, 40)) << e.Percent;
  }
  EXPECT_EQ((TPoint{0, 40}), NeedleTip(0, 50, 40));
}
