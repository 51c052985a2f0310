// Scroll-bar arithmetic: thumb geometry from the scroll state, hit testing, thumb dragging, bar
// rectangles and frame room, size grip placement and border corner filling.
#include <gtest/gtest.h>

#include <climits>

#include "skin/windows/core/acScrollGeometry.h"

using namespace qv;

namespace {

struct ThumbCase {
  const char* Name;
  int Start, End, Btn;
  TScrollRange Si;
  int MinThumb;
  int Size, Pos;
};

TEST(ScrollGeometry, ThumbFromScrollInfo) {
  const ThumbCase cases[] = {
      // length 200, channel 168
      {"page zero: arrow-long thumb", 0, 200, 16, {0, 99, 0, 0, 0}, 10, 16, 16},
      {"half page at start", 0, 200, 16, {0, 99, 50, 0, 0}, 10, 84, 16},
      {"half page at end", 0, 200, 16, {0, 99, 50, 50, 0}, 10, 84, 16 + 84},
      {"tiny page gets the minimum", 0, 200, 16, {0, 9999, 1, 0, 0}, 10, 10, 16},
      {"nMin shifts the position", 100, 300, 16, {50, 149, 50, 75, 0}, 10, 84, 116 + 42},
      {"position beyond the end is clamped", 0, 200, 16, {0, 99, 50, 500, 0}, 10, 84, 100},
      {"position before nMin is clamped", 0, 200, 16, {10, 109, 50, 0, 0}, 10, 84, 16},
      {"empty range", 0, 200, 16, {5, 4, 3, 5, 0}, 10, 0, 16},
      {"reversed range", 0, 200, 16, {50, 0, 3, 5, 0}, 10, 0, 16},
      {"page equal to range: no divide by zero", 0, 200, 16, {0, 0, 1, 0, 0}, 10, 168, 16},
      {"page covers all", 0, 200, 16, {0, 99, 100, 0, 0}, 10, 168, 16},
      {"bar shorter than arrows", 0, 20, 16, {0, 99, 10, 50, 0}, 10, 10, 16},
      {"extreme range", 0, 200, 16, {INT_MIN, INT_MAX, 1, 0, 0}, 10, 10, 16 + 79},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    const TThumb t = CalcThumb(c.Start, c.End, c.Btn, c.Si, c.MinThumb);
    EXPECT_EQ(c.Size, t.Size);
    EXPECT_EQ(c.Pos, t.Pos);
  }
}

TEST(ScrollGeometry, HitTestParts) {
  const TScrollRange si{0, 99, 50, 0, 0};
  const TThumb t = CalcThumb(0, 200, 16, si, 10);  // thumb 16..100
  struct {
    int Along, Across, Expected;
  } cases[] = {
      {0, 5, sbpFirstArrow},  {15, 5, sbpFirstArrow}, {16, 5, sbpThumb},        {99, 5, sbpThumb},
      {100, 5, sbpPageAfter}, {183, 5, sbpPageAfter}, {184, 5, sbpSecondArrow}, {199, 5, sbpSecondArrow},
      {200, 5, sbpNone},      {-1, 5, sbpNone},       {50, -1, sbpNone},        {50, 17, sbpNone},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Along);
    EXPECT_EQ(c.Expected, ScrollHitTest(0, 200, 16, t, c.Along, c.Across, 0, 17));
  }
  // Thumb in the middle: page areas on both sides.
  const TThumb mid = CalcThumb(0, 200, 16, TScrollRange{0, 99, 50, 25, 0}, 10);
  EXPECT_EQ(sbpPageBefore, ScrollHitTest(0, 200, 16, mid, mid.Pos - 1, 0, 0, 17));
  EXPECT_EQ(sbpThumb, ScrollHitTest(0, 200, 16, mid, mid.Pos, 0, 0, 17));
  EXPECT_EQ(sbpPageAfter, ScrollHitTest(0, 200, 16, mid, mid.Pos + mid.Size, 0, 0, 17));
}

TEST(ScrollGeometry, ShortBarHasTwoHalfArrows) {
  const TScrollRange si{0, 99, 10, 0, 0};
  const TThumb t = CalcThumb(0, 20, 16, si, 10);
  EXPECT_EQ(sbpFirstArrow, ScrollHitTest(0, 20, 16, t, 0, 0, 0, 17));
  EXPECT_EQ(sbpFirstArrow, ScrollHitTest(0, 20, 16, t, 9, 0, 0, 17));
  EXPECT_EQ(sbpSecondArrow, ScrollHitTest(0, 20, 16, t, 10, 0, 0, 17));
  EXPECT_EQ(sbpSecondArrow, ScrollHitTest(0, 20, 16, t, 19, 0, 0, 17));
  // A full-length thumb leaves nothing to hit between the arrows.
  const TThumb all = CalcThumb(0, 200, 16, TScrollRange{0, 99, 100, 0, 0}, 10);
  EXPECT_EQ(sbpNone, ScrollHitTest(0, 200, 16, all, 100, 0, 0, 17));
}

TEST(ScrollGeometry, ThumbDragPositions) {
  const TScrollRange si{10, 109, 50, 10, 0};  // scrollable 10 .. 60
  struct {
    int Start, Expected;
  } cases[] = {{16, 10}, {100, 60}, {58, 35}, {0, 10}, {400, 60}};
  for (const auto& c : cases) {
    const int t = TrackThumbStart(c.Start, 0, 16, 184, 84);
    SCOPED_TRACE(c.Start);
    EXPECT_EQ(c.Expected, TrackThumbPosition(t, 16, 184, 84, si));
  }
  // A track without length gives nMin instead of dividing by zero.
  EXPECT_EQ(10, TrackThumbPosition(16, 16, 100, 84, si));
  EXPECT_EQ(10, TrackThumbPosition(16, 16, 16, 0, si));
  // Offset of the pointer inside the thumb is kept.
  EXPECT_EQ(40, TrackThumbStart(50, 10, 16, 184, 84));
}

TEST(ScrollGeometry, ThumbTrackSetsPosInTheRangeAndAtItsEnds) {
  const TScrollRange si{10, 109, 50, 30, 0};  // positions 10 .. 60, now at 30
  EXPECT_TRUE(ThumbTrackSetsPos(10, si));
  EXPECT_TRUE(ThumbTrackSetsPos(60, si));
  EXPECT_TRUE(ThumbTrackSetsPos(11, si));
  EXPECT_TRUE(ThumbTrackSetsPos(59, si));
  EXPECT_FALSE(ThumbTrackSetsPos(30, si));  // already there
  EXPECT_FALSE(ThumbTrackSetsPos(9, si));
  EXPECT_FALSE(ThumbTrackSetsPos(61, si));
  // Page 0 counts as 1: the last position is nMax.
  EXPECT_TRUE(ThumbTrackSetsPos(109, TScrollRange{10, 109, 0, 30, 0}));
  // A reversed range has only nMin.
  EXPECT_TRUE(ThumbTrackSetsPos(5, TScrollRange{5, 0, 0, 0, 0}));
  EXPECT_FALSE(ThumbTrackSetsPos(6, TScrollRange{5, 0, 0, 0, 0}));
}

TEST(ScrollGeometry, ThumbDrawable) {
  EXPECT_TRUE(ThumbDrawable(TScrollRange{0, 99, 50, 0, 0}, 168, 10));
  EXPECT_FALSE(ThumbDrawable(TScrollRange{0, 0, 1, 0, 0}, 168, 10));  // no span
  EXPECT_FALSE(ThumbDrawable(TScrollRange{0, 99, 50, 0, 0}, 5, 10));  // minimum exceeds channel
  EXPECT_TRUE(ThumbDrawable(TScrollRange{0, 99, 0, 0, 0}, 168, 10));  // page 0: minimum size
}

TEST(ScrollGeometry, BarRectangles) {
  TBarFrame f;
  f.Window = Rect(100, 100, 300, 250);
  f.BorderLeft = f.BorderTop = f.BorderRight = f.BorderBottom = 2;
  f.HorzThickness = 17;
  f.VertThickness = 16;
  f.HorzVisible = f.VertVisible = true;
  EXPECT_EQ(Rect(102, 231, 282, 248), HorzBarRect(f));
  EXPECT_EQ(Rect(282, 102, 298, 231), VertBarRect(f));
  EXPECT_EQ(Rect(282, 231, 298, 248), CornerBoxRect(f));
  f.LeftScrollBar = true;
  EXPECT_EQ(Rect(118, 231, 298, 248), HorzBarRect(f));
  EXPECT_EQ(Rect(102, 102, 118, 231), VertBarRect(f));
  EXPECT_EQ(Rect(102, 231, 118, 248), CornerBoxRect(f));
  f.LeftScrollBar = false;
  f.HorzVisible = false;
  EXPECT_EQ(Rect(282, 102, 298, 248), VertBarRect(f));
  EXPECT_TRUE(CornerBoxRect(f).IsEmpty());
}

TEST(ScrollGeometry, BarRoomInTheClientRectangle) {
  struct {
    const char* Name;
    TRect Client;
    bool H, V, Left;
    TRect Expected;
    bool HV, VV;
  } cases[] = {
      {"both", Rect(2, 2, 198, 148), true, true, false, Rect(2, 2, 182, 131), true, true},
      {"left bar", Rect(2, 2, 198, 148), false, true, true, Rect(18, 2, 198, 148), false, true},
      {"narrow window: no vertical bar", Rect(2, 2, 12, 148), true, true, false, Rect(2, 2, 12, 131), true, false},
      {"flat window: no horizontal bar", Rect(2, 2, 198, 12), true, false, false, Rect(2, 2, 198, 12), false, false},
      {"no styles", Rect(2, 2, 198, 148), false, false, false, Rect(2, 2, 198, 148), false, false},
  };
  for (auto& c : cases) {
    SCOPED_TRACE(c.Name);
    TRect r = c.Client;
    const TBarRoom room = TakeBarRoom(r, c.H, c.V, 17, 16, c.Left);
    EXPECT_EQ(c.Expected, r);
    EXPECT_EQ(c.HV, room.HorzVisible);
    EXPECT_EQ(c.VV, room.VertVisible);
  }
}

TEST(ScrollGeometry, SizeGrip) {
  const TRect client = Rect(0, 0, 300, 200);
  EXPECT_TRUE(SizeGripShows(0, Rect(5, 5, 10, 10), client, 2, 2, 2, false));
  EXPECT_FALSE(SizeGripShows(2, Rect(282, 181, 298, 198), client, 2, 2, 2, false));
  EXPECT_TRUE(SizeGripShows(1, Rect(282, 181, 298, 198), client, 2, 2, 2, false));
  EXPECT_FALSE(SizeGripShows(1, Rect(280, 181, 296, 198), client, 2, 2, 2, false));
  EXPECT_TRUE(SizeGripShows(1, Rect(2, 181, 18, 198), client, 2, 2, 2, true));
  EXPECT_FALSE(SizeGripShows(1, Rect(2, 180, 18, 197), client, 2, 2, 2, true));
}

TEST(ScrollGeometry, SafeFrameSizes) {
  EXPECT_EQ(16, SafeFrameWidth(48, 3));
  EXPECT_EQ(0, SafeFrameWidth(48, 0));
  EXPECT_EQ(0, SafeFrameWidth(48, -2));
  EXPECT_EQ(8, SafeFrameHeight(16, 1));
  EXPECT_EQ(0, SafeFrameHeight(16, -1));
  EXPECT_EQ(0, MulDivSafe(5, 5, 0));
  EXPECT_EQ(3, MulDivSafe(5, 5, 8));  // 3.125
  EXPECT_EQ(-3, MulDivSafe(-5, 5, 8));
  EXPECT_EQ(3, MulDivSafe(3, 5, 6));  // 2.5 rounds away from zero
}

TEST(ScrollGeometry, CornerCopiesClipToFrameAndWindow) {
  // Margins larger than the window and the frame.
  for (const auto& c : BorderCornerCopies(9, 9, 4, 3, 20, 20, 20, 20)) {
    EXPECT_GE(c.SrcX, 0);
    EXPECT_GE(c.SrcY, 0);
    EXPECT_GE(c.DstX, 0);
    EXPECT_GE(c.DstY, 0);
    EXPECT_LE(c.SrcX + c.W, 9);
    EXPECT_LE(c.SrcY + c.H, 9);
    EXPECT_LE(c.DstX + c.W, 4);
    EXPECT_LE(c.DstY + c.H, 3);
  }
  const auto ok = BorderCornerCopies(9, 9, 50, 40, 3, 3, 3, 3);
  EXPECT_EQ(0, ok[0].DstX);
  EXPECT_EQ(37, ok[1].DstY);
  EXPECT_EQ(6, ok[2].SrcX);
  EXPECT_EQ(47, ok[2].DstX);
  EXPECT_EQ(47, ok[3].DstX);
  EXPECT_EQ(3, ok[3].W);
}

TImage24 KeyedFrame() {
  // One 6x6 frame: key pixels at (0,0) and (5,5), the rest grey.
  TImage24 img(6, 6);
  img.Fill(TBgr{0x80, 0x80, 0x80});
  img.SetPixel(0, 0, BgrOf(clKeyMagenta));
  img.SetPixel(5, 5, BgrOf(clKeyMagenta));
  return img;
}

TEST(ScrollGeometry, FillBorderCornersFromParentOrColour) {
  TImage24 maskImg = KeyedFrame();
  TMaskFrames m;
  m.Image = maskImg.View();
  m.R = Rect(0, 0, 6, 6);
  m.ImageCount = 1;
  m.MarginLeft = m.MarginTop = m.MarginRight = m.MarginBottom = 2;
  TImage24 dst(20, 10);
  dst.Fill(TBgr{1, 2, 3});
  TImage24 parent(40, 40);
  parent.Fill(TBgr{9, 9, 9});
  parent.SetPixel(5, 7, TBgr{200, 100, 50});
  FillBorderCorners(dst.View(), 20, 10, m, 0, MakeCacheView(parent.View(), 5, 7), 0x00FF00);
  EXPECT_EQ((TBgr{200, 100, 50}), dst.Pixel(0, 0));
  EXPECT_EQ((TBgr{9, 9, 9}), dst.Pixel(19, 9));
  EXPECT_EQ((TBgr{1, 2, 3}), dst.Pixel(1, 1));
  dst.Fill(TBgr{1, 2, 3});
  FillBorderCorners(dst.View(), 20, 10, m, 0, TCacheView{}, 0x00FF00);
  EXPECT_EQ(BgrOf(0x00FF00), dst.Pixel(0, 0));
  EXPECT_EQ(BgrOf(0x00FF00), dst.Pixel(19, 9));
  // A window smaller than the margins and a bad frame count stay inside the images.
  TImage24 tiny(1, 1);
  m.ImageCount = 0;
  m.MarginLeft = m.MarginRight = 50;
  FillBorderCorners(tiny.View(), 30, 30, m, 7, MakeCacheView(parent.View(), 39, 39), 0);
  SUCCEED();
}

}  // namespace
