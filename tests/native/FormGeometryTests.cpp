// Title-bar arithmetic of skinned forms: the element under a point, snapping to the work area and
// the custom resize frame, as tables.
#include <gtest/gtest.h>

#include "skin/windows/core/acFormGeometry.h"

using namespace qv;

namespace {

// A 300 x 200 window: buttons 16 wide in rows 6 .. 20, from the right: close, maximize (disabled),
// an extra button; the icon at 4 .. 20; the grip from 280, 180.
TTitleLayout Layout(bool maximized = false) {
  TTitleLayout l;
  l.Window = TSize{300, 200};
  l.BandTop = 6;
  l.BandBottom = 20;
  l.Icon = TRect{4, 6, 20, 22};
  l.Buttons = {{htClose, {280, 6, 296, 20}, true},
               {htMaxButton, {262, 6, 278, 20}, false},
               {htTitleButton + 0, {244, 6, 260, 20}, true}};
  l.HasGrip = true;
  l.GripPoint = TPoint{280, 180};
  l.MenuLineButtons = {{htMDIClose, {280, 30, 296, 44}, true}};
  l.Maximized = maximized;
  return l;
}

TEST(FormGeometry, TitleHitTest) {
  TTitleLayout barCorner = Layout();
  barCorner.GripArea = TRect{284, 184, 296, 196};  // the corner square between two scroll bars
  TTitleLayout noIcon = Layout();
  noIcon.Icon = TRect{4, 6, 4, 22};  // an icon of no width is no strip either
  const struct {
    const char* What;
    TTitleLayout L;
    TPoint P;
    int Code;
  } cases[] = {
      {"close", Layout(), {288, 10}, htClose},
      {"close, last column", Layout(), {295, 19}, htClose},
      {"right of close", Layout(), {296, 10}, htCaption},
      {"between buttons", Layout(), {279, 10}, htCaption},
      {"disabled maximize", Layout(), {270, 10}, htCaption},
      {"extra button", Layout(), {250, 10}, htTitleButton},
      {"icon", Layout(), {4, 10}, htSysMenu},
      {"icon of no width", noIcon, {4, 10}, htCaption},
      {"caption", Layout(), {150, 10}, htCaption},
      {"above the buttons", Layout(), {288, 5}, htNowhere},
      {"grip", Layout(), {290, 190}, htBottomRight},
      {"left of the grip", Layout(), {279, 190}, htNowhere},
      {"grip in the bars' corner", barCorner, {290, 190}, htBottomRight},
      {"grip outside the bars' corner", barCorner, {282, 190}, htNowhere},
      {"MDI child close", Layout(), {285, 35}, htMDIClose},
      {"client", Layout(), {150, 100}, htNowhere},
      {"maximized edge", Layout(true), {1, 100}, htTransparent},
      {"maximized inside", Layout(true), {150, 100}, htNowhere},
  };
  for (const auto& c : cases) EXPECT_EQ(c.Code, TitleHitTest(c.L, c.P)) << c.What;
  EXPECT_EQ(TRect(Rect(84, 6, 100, 20)), PlaceTitleButton(100, 16, 14, 18, 4)) << "less than 16 high: 2 lower";
  EXPECT_EQ(TRect(Rect(80, 1, 100, 21)), PlaceTitleButton(100, 20, 20, 19, 4));
  EXPECT_EQ(TRect(Rect(80, 4, 100, 24)), PlaceTitleButton(100, 20, 20, 19, 4, 4)) << "top border not shown";
  EXPECT_EQ(TRect(Rect(84, 8, 100, 22)), PlaceTitleButton(100, 16, 14, 18, 4, 4)) << "centred in the rows shown";
  EXPECT_EQ((std::vector<int>{0, 8, 8, 16, 16, 32}),
            (std::vector<int>{TitleIconSize(8), TitleIconSize(9), TitleIconSize(16), TitleIconSize(17),
                              TitleIconSize(27), TitleIconSize(28)}));
}

TEST(FormGeometry, SnapToWorkArea) {
  const TRect work{0, 0, 1000, 700};
  const struct {
    const char* What;
    TPoint Pos;
    TPoint Snapped;
  } cases[] = {
      {"inside the right buffer", {695, 300}, {700, 300}},
      {"past the right edge by less than the buffer", {709, 300}, {700, 300}},
      {"at the buffer's end", {690, 300}, {690, 300}},
      {"bottom", {100, 495}, {100, 500}},
      {"left", {-9, 300}, {0, 300}},
      {"top", {100, 9}, {100, 0}},
      {"far", {300, 300}, {300, 300}},
  };
  for (const auto& c : cases)
    EXPECT_EQ(c.Snapped, SnapToWorkArea(c.Pos, TSize{300, 200}, work, TPoint{0, 0}, 10)) << c.What;
}

TEST(FormGeometry, SizeDragFrame) {
  const TRect start{100, 100, 300, 250};
  const struct {
    const char* What;
    int Code, DX, DY, MinW, MinH;
    TRect Frame;
  } cases[] = {
      {"right edge", 11, 30, 50, 0, 0, {100, 100, 330, 250}},
      {"top-left corner", 13, -10, -20, 0, 0, {90, 80, 300, 250}},
      {"bottom-left corner", 16, 10, 10, 0, 0, {110, 100, 300, 260}},
      {"left edge stops at the minimum", 10, 500, 0, 50, 0, {250, 100, 300, 250}},
      {"bottom edge stops at the minimum", 15, 0, -500, 0, 40, {100, 100, 300, 140}},
      {"constraints of 0 keep one pixel", 17, -900, -900, 0, 0, {100, 100, 101, 101}},
      {"negative constraints keep one pixel", 12, 0, 900, -5, -5, {100, 249, 300, 250}},
      {"a code that is no edge", 2, 40, 40, 0, 0, start},
  };
  for (const auto& c : cases) EXPECT_EQ(c.Frame, SizeDragFrame(start, c.Code, c.DX, c.DY, c.MinW, c.MinH)) << c.What;
}

}  // namespace
