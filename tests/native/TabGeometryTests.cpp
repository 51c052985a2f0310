// The arithmetic of the page control: where tabs are painted, strip and frame, rows, close
// buttons.
#include <gtest/gtest.h>

#include "skin/controls/core/acTabGeometry.h"

using namespace qv;

namespace {

std::string Text(const TRect& r) {
  return std::to_string(r.Left) + "," + std::to_string(r.Top) + "," + std::to_string(r.Right) + "," +
         std::to_string(r.Bottom);
}

}  // namespace

// The painted tab from the native item (10, 2, 60, 22): the active tab stands 2 pixels out of a top
// item on every side and reaches down over the frame; inactive tabs lose their right pixel and
// reach under the frame (top: 4 rows below the item); buttons and empty items stay as they are.
TEST(TabGeometry, PaintedTabFromItem) {
  const TRect item{10, 2, 60, 22};
  struct {
    TabSide Side;
    bool Tabs, Active;
    TRect Item, Painted;
  } cases[] = {
      {TabSide::Top, true, true, item, {8, 0, 62, 24}},
      {TabSide::Top, true, false, item, {10, 2, 59, 26}},
      {TabSide::Bottom, true, true, item, {8, -1, 62, 23}},
      {TabSide::Bottom, true, false, item, {10, 0, 59, 22}},
      {TabSide::Left, true, true, item, {9, 0, 63, 23}},
      {TabSide::Left, true, false, item, {10, 1, 63, 22}},
      {TabSide::Right, true, true, item, {7, 0, 61, 24}},
      {TabSide::Right, true, false, item, {8, 1, 59, 22}},
      {TabSide::Top, false, true, item, item},
      {TabSide::Left, false, false, item, item},
      {TabSide::Top, true, true, {10, 2, 10, 22}, {10, 2, 10, 22}},
  };
  for (const auto& c : cases)
    EXPECT_EQ(Text(c.Painted), Text(SkinTabRectOf(c.Item, c.Side, c.Tabs, c.Active)))
        << int(c.Side) << " tabs " << c.Tabs << " active " << c.Active;
}

// Strip and frame split the client area at the display area (with tabs), for the four sides; the
// frame's edge lies 4 pixels above a top display area and 1 pixel outside the others.
TEST(TabGeometry, StripAndFrameSplitTheClient) {
  const TRect client{0, 0, 200, 150}, display{4, 30, 196, 146};
  const TRect sideDisplay{40, 4, 160, 146};
  struct {
    TabSide Side;
    TRect Display, Strip, Frame;
  } cases[] = {
      {TabSide::Top, display, {0, 0, 200, 26}, {0, 26, 200, 150}},
      {TabSide::Bottom, {4, 4, 196, 120}, {0, 121, 200, 150}, {0, 0, 200, 121}},
      {TabSide::Left, sideDisplay, {0, 0, 39, 150}, {39, 0, 200, 150}},
      {TabSide::Right, sideDisplay, {161, 0, 200, 150}, {0, 0, 161, 150}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Text(c.Strip), Text(TabsRectOf(client, c.Display, c.Side, true))) << int(c.Side);
    EXPECT_EQ(Text(c.Frame), Text(PageFrameRectOf(client, c.Display, c.Side, true))) << int(c.Side);
    EXPECT_EQ(Text(client), Text(TabsRectOf(client, c.Display, c.Side, false)));
    EXPECT_EQ(Text(client), Text(PageFrameRectOf(client, c.Display, c.Side, false)));
  }
}

// Rows count from the one farthest from the pages; one row without several.
TEST(TabGeometry, RowsCountFromTheFarthest) {
  const TRect strip{0, 0, 200, 60};
  struct {
    TabSide Side;
    TRect Item;
    int Rows, Row;
  } cases[] = {
      {TabSide::Top, {0, 2, 50, 20}, 3, 1},     {TabSide::Top, {0, 20, 50, 38}, 3, 2},
      {TabSide::Top, {0, 38, 50, 56}, 3, 3},    {TabSide::Bottom, {0, 2, 50, 20}, 3, 3},
      {TabSide::Bottom, {0, 38, 50, 56}, 3, 1}, {TabSide::Left, {2, 0, 20, 50}, 2, 1},
      {TabSide::Left, {20, 0, 38, 50}, 2, 2},   {TabSide::Right, {2, 0, 20, 50}, 2, 2},
      {TabSide::Right, {20, 0, 38, 50}, 2, 1},  {TabSide::Top, {0, 38, 50, 56}, 1, 1},
      {TabSide::Top, {0, 0, 0, 0}, 3, 1},
  };
  for (const auto& c : cases)
    EXPECT_EQ(c.Row, TabRowOf(c.Item, strip, c.Side, c.Rows)) << int(c.Side) << " " << Text(c.Item);
}

// A close button in the top-right corner of its tab; frames of bad skin images have no size.
TEST(TabGeometry, CloseButtonAndFrameSizes) {
  EXPECT_EQ(Text(TRect{44, 3, 59, 16}), Text(CloseBtnRectOf(TRect{10, 2, 60, 24}, 15, 13)));
  EXPECT_EQ(15, FrameWidthOf(45, 3));
  EXPECT_EQ(0, FrameWidthOf(45, 0));
  EXPECT_EQ(0, FrameWidthOf(45, -2));
  EXPECT_EQ(13, FrameHeightOf(26, 1));
  EXPECT_EQ(0, FrameHeightOf(26, -1));
}
