// The skinned track bar: the thumb, channel and ticks painted where the system puts them for both
// orientations and any range; the tick arithmetic; hover and press frames with the real mouse and
// the hints held off only by the bar that switched them off; OnUserChange for the user's moves
// only; the mirrored thumb; the system's look back on skin removal.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "skin/controls/core/acBarGeometry.h"
#include "skin/controls/sTrackBar.h"
#include "tests/support/ControlsFixture.h"

using namespace qvtest;

namespace {

struct TChangeLog {
  int Changes = 0;
  void OnUserChange(TObject*) { ++Changes; }
};

class TrackBar : public ControlsTest {
 protected:
  TsTrackBar* MakeBar(TTrackBarOrientation o, int min, int max, int position, int x = 20, int y = 20) {
    auto* b = Create<TsTrackBar>(Form);
    b->SetParent(Form);
    b->SetOrientation(o);
    if (o == trVertical)
      b->SetBounds(x, y, 45, 200);
    else
      b->SetBounds(x, y, 200, 45);
    b->SetMax(max);
    b->SetMin(min);
    b->SetFrequency(std::max(1, (max - min) / 5));
    b->SetPosition(position);
    flush_events();
    return b;
  }
  COLORREF Thumb(bool vertical, int state) const {
    return TSkinBuilder::FrameColor(Builder.MaskOrdinal("TRACKBAR", vertical ? "SLIDERVMASK" : "SLIDERMASK"), state);
  }
  COLORREF MaskColor(const char* property, int state = 0) const {
    return TSkinBuilder::FrameColor(Builder.MaskOrdinal("TRACKBAR", property), state);
  }
  static int Count(TWinControl* c, const TRect& r, COLORREF color) {
    return CaptureScreen(c->Handle()).CountColor(color, RECT{r.Left, r.Top, r.Right, r.Bottom});
  }
  static TPoint Centre(const TRect& r) { return Point((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2); }
};

}  // namespace

// For both orientations and any range the thumb is painted where the system has it, the channel
// band runs along the bar, and the ticks sit beside the channel.
TEST_F(TrackBar, ThumbChannelAndTicksWhereTheSystemHasThem) {
  LoadStandardSkin();
  MouseAway();
  const struct {
    TTrackBarOrientation O;
    int Min, Max, Position;
  } table[] = {
      {trHorizontal, 0, 10, 0}, {trHorizontal, 0, 10, 10},  {trHorizontal, -50, 50, 25}, {trVertical, 0, 10, 0},
      {trVertical, 0, 10, 10},  {trVertical, 0, 1000, 333}, {trHorizontal, 5, 5, 5},
  };
  for (const auto& row : table) {
    const bool v = row.O == trVertical;
    TsTrackBar* b = MakeBar(row.O, row.Min, row.Max, row.Position);
    const std::string name = std::string(v ? "vertical " : "horizontal ") + std::to_string(row.Min) + ".." +
                             std::to_string(row.Max) + " at " + std::to_string(row.Position);
    const TRect thumb = b->ThumbRect(), channel = b->ChannelRect();
    EXPECT_EQ(v, channel.Height() > channel.Width()) << name << ": the channel runs along the bar";
    EXPECT_EQ(v, thumb.Width() > thumb.Height()) << name << ": the thumb lies across it";
    // The thumb's frame covers the thumb but for its key corners, and nothing of it lies beyond.
    const COLORREF thumbColor = Thumb(v, 0);
    EXPECT_GT(Count(b, thumb, thumbColor), 11 * 21 - 12) << name;
    EXPECT_EQ(Count(b, Rect(0, 0, b->Width(), b->Height()), thumbColor), Count(b, thumb, thumbColor)) << name;
    // The channel band away from the thumb.
    const TPoint away = v ? Point(Centre(channel).X, thumb.Top < 100 ? channel.Bottom - 8 : channel.Top + 8)
                          : Point(thumb.Left < 100 ? channel.Right - 8 : channel.Left + 8, Centre(channel).Y);
    EXPECT_EQ(ColorText(MaskColor("SLIDERCHANNEL")), ColorText(ScreenPixel(b, away.X, away.Y))) << name;
    // Each tick's image beside the channel (centred on the tick along the bar; the test image's
    // corner key runs leave its second column of the first row, or row of the second column).
    const int offset = qv::TickOffset(v ? thumb.Width() : thumb.Height(), v ? channel.Width() : channel.Height());
    const std::vector<int> ticks = b->TickPositions();
    EXPECT_EQ(size_t(b->TickCount()), ticks.size()) << name;
    for (int t : ticks) {
      const TPoint p = v ? Point(channel.Right + offset + 1, t - 1) : Point(t, channel.Bottom + offset + 1);
      const bool underThumb = thumb.Contains(p);
      if (!underThumb) {
        EXPECT_EQ(ColorText(MaskColor(v ? "TICKVERT" : "TICKHORZ")), ColorText(ScreenPixel(b, p.X, p.Y)))
            << name << " tick at " << t;
      }
    }
    FreeAndNil(b);
  }
}

// The tick arithmetic never divides by zero, and a vertical channel reported in horizontal form
// is turned back.
TEST_F(TrackBar, TickAndChannelArithmetic) {
  using qv::TTickSpacing;
  const struct {
    TTickSpacing Spacing;
    int Count, Start, End, Thumb;
    std::vector<int> Manual, Want;
  } table[] = {
      {TTickSpacing::Automatic, 2, 8, 192, 11, {}, {13, 186}},
      {TTickSpacing::Automatic, 3, 8, 192, 11, {}, {13, 100, 186}},
      {TTickSpacing::Automatic, 1, 8, 192, 11, {}, {13}},
      {TTickSpacing::Automatic, 0, 8, 192, 11, {}, {}},
      {TTickSpacing::Manual, 4, 8, 192, 11, {50, 90}, {13, 50, 90, 187}},
      {TTickSpacing::Manual, 1, 8, 192, 11, {}, {13}},
      // At most one tick a pixel, in order.
      {TTickSpacing::Manual, 6, 8, 192, 11, {90, 50, 50, 13}, {13, 50, 90, 187}},
      {TTickSpacing::Automatic, 5, 8, 23, 11, {}, {13, 14, 15, 16, 17}},
  };
  for (const auto& row : table)
    EXPECT_EQ(row.Want, qv::TickPositions(row.Spacing, row.Count, row.Start, row.End, row.Thumb, row.Manual))
        << row.Count;
  // A million ticks: every pixel from the first tick to the last, once.
  const std::vector<int> dense = qv::TickPositions(TTickSpacing::Automatic, 1000001, 8, 192, 11);
  ASSERT_EQ(size_t(186 - 13 + 1), dense.size());
  EXPECT_EQ(13, dense.front());
  EXPECT_EQ(186, dense.back());
  // Manual ticks placed on the line through two the system placed.
  EXPECT_EQ((std::vector<int>{10, 60, 35, 110}),
            qv::ManualTickPositions(std::vector<int>{0, 10, 5, 20}, 0, 10, 20, 110));
  EXPECT_EQ((std::vector<int>{40, 40}), qv::ManualTickPositions(std::vector<int>{7, 7}, 7, 40, 7, 40));
  EXPECT_EQ(Rect(20, 8, 24, 192), qv::ChannelInOrientation(Rect(8, 20, 192, 24), true)) << "reported horizontally";
  EXPECT_EQ(Rect(20, 8, 24, 192), qv::ChannelInOrientation(Rect(20, 8, 24, 192), true)) << "reported vertically";
  EXPECT_EQ(Rect(8, 20, 192, 24), qv::ChannelInOrientation(Rect(8, 20, 192, 24), false));
}

// However many ticks a bar has, it paints at most one a pixel where the system has them, and a
// repaint takes no longer for a million than for a few (a message a tick took seconds).
TEST_F(TrackBar, AnyTickCountPaintsAtMostOneAPixelQuickly) {
  LoadStandardSkin();
  MouseAway();
  for (bool manual : {false, true}) {
    SCOPED_TRACE(manual ? "10,000 manual ticks" : "1,000,001 automatic ticks");
    TsTrackBar* b = MakeBar(trHorizontal, 0, manual ? 20000 : 1000000, 0);
    b->SetBounds(10, 20, 300, 45);
    if (manual) {
      b->SetTickStyle(tsManual);
      for (int i = 1; i <= 10000; ++i) SendMessageA(b->Handle(), TBM_SETTIC, FALSE, i * 2);
    } else {
      b->SetFrequency(1);
    }
    flush_events();
    const TRect channel = b->ChannelRect();
    const std::vector<int> ticks = b->TickPositions();
    EXPECT_LE(ticks.size(), size_t(channel.Width()));
    EXPECT_TRUE(std::is_sorted(ticks.begin(), ticks.end()));
    EXPECT_EQ(ticks.end(), std::adjacent_find(ticks.begin(), ticks.end()));
    if (manual) {
      // Each tick the system places lies within a pixel of one painted.
      for (int i : {0, 1, 2500, 7777, 9999}) {
        const int at = b->TickPos(i);
        const auto closest = std::lower_bound(ticks.begin(), ticks.end(), at - 1);
        ASSERT_NE(ticks.end(), closest) << i;
        EXPECT_LE(std::abs(*closest - at), 1) << "tick " << i << " at " << at;
      }
    }
    const DWORD t0 = GetTickCount();
    for (int i = 0; i < 5; ++i) RedrawWindow(b->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_LT(GetTickCount() - t0, 5 * 100u) << "five repaints";
    FreeAndNil(b);
  }
}

// Without tick images the ticks are etched marks; with ticks above the channel the thumb image
// points up (drawn upside down).
TEST_F(TrackBar, EtchedTicksAndMirroredThumb) {
  LoadSkin(TSkinBuilder::Standard().RemoveMask("TRACKBAR", "TICKHORZ"));
  TsTrackBar* b = MakeBar(trHorizontal, 0, 10, 10);
  b->SetTickMarks(tmTopLeft);
  flush_events();
  const TRect thumb = b->ThumbRect(), channel = b->ChannelRect();
  const int offset = qv::TickOffset(thumb.Height(), channel.Height());
  const int first = b->TickPositions().front();
  EXPECT_EQ(ColorText(ColorToRGB(clBtnShadow)), ColorText(ScreenPixel(b, first, channel.Top - offset - 4)));
  EXPECT_EQ(ColorText(RGB(255, 255, 255)), ColorText(ScreenPixel(b, first + 1, channel.Top - offset - 1)));
  // The frame's top row (a key run of one pixel at its left) is the thumb's bottom row now.
  const COLORREF color = Thumb(false, 0);
  EXPECT_NE(ColorText(color), ColorText(ScreenPixel(b, thumb.Left, thumb.Bottom - 1)));
  EXPECT_EQ(ColorText(color), ColorText(ScreenPixel(b, thumb.Left + 1, thumb.Bottom - 1)));
  // Its bottom row (three pixels of key) is the first row of the image in the thumb.
  EXPECT_NE(ColorText(color), ColorText(ScreenPixel(b, thumb.Left + 2, thumb.Top + 2)));
  EXPECT_EQ(ColorText(color), ColorText(ScreenPixel(b, thumb.Left + 3, thumb.Top + 2)));
}

// The thumb shows its hot frame under the real mouse and its pressed frame while pressed; the
// hints are off only while the bar holds them, and a bar that did not switch them off never
// switches them back.
TEST_F(TrackBar, HoverAndPressFramesAndHints) {
  LoadStandardSkin();
  TsTrackBar* b = MakeBar(trHorizontal, 0, 10, 5);
  const TPoint at = Centre(b->ThumbRect());
  auto shown = [&] { return ScreenPixel(b, at.X, at.Y); };
  MouseAway();
  EXPECT_EQ(ColorText(Thumb(false, 0)), ColorText(shown()));
  MouseTo(b, at.X, at.Y);
  EXPECT_TRUE(pump_until([&] { return shown() == Thumb(false, 1); })) << ColorText(shown());
  MouseButton(MOUSEEVENTF_LEFTDOWN);
  EXPECT_TRUE(pump_until([&] { return shown() == Thumb(false, 2); })) << ColorText(shown());
  EXPECT_FALSE(Application->ShowHint()) << "hints off while pressed";
  MouseButton(MOUSEEVENTF_LEFTUP);
  EXPECT_TRUE(Application->ShowHint());
  EXPECT_TRUE(pump_until([&] { return shown() == Thumb(false, 1); })) << ColorText(shown());

  b->Perform(WM_LBUTTONUP, 0, MAKELPARAM(at.X, at.Y));
  EXPECT_TRUE(Application->ShowHint()) << "a release without a press changes nothing";
  Application->SetShowHint(false);
  MouseButton(MOUSEEVENTF_LEFTDOWN);
  MouseButton(MOUSEEVENTF_LEFTUP);
  EXPECT_FALSE(Application->ShowHint()) << "the program's choice stays";
  Application->SetShowHint(true);
  MouseAway();
}

// OnUserChange fires for moves by the real mouse and keyboard, skinned or plain, and never for a
// position set in code.
TEST_F(TrackBar, UserChangeOnlyForTheUsersMoves) {
  for (bool skinned : {true, false}) {
    if (skinned) LoadStandardSkin();
    TsTrackBar* b = MakeBar(trHorizontal, 0, 20, 0);
    TChangeLog log;
    b->OnUserChange = MakeMethod<&TChangeLog::OnUserChange>(&log);
    b->SetPosition(7);
    flush_events();
    EXPECT_EQ(0, log.Changes) << "set in code";
    const TRect channel = b->ChannelRect();
    MouseTo(b, channel.Right - 10, Centre(channel).Y);
    MouseButton(MOUSEEVENTF_LEFTDOWN);
    MouseButton(MOUSEEVENTF_LEFTUP);
    EXPECT_GT(log.Changes, 0) << "a click on the channel, skinned " << skinned;
    EXPECT_GT(b->Position(), 7);
    const int afterClick = log.Changes, position = b->Position();
    b->SetFocus();
    flush_events();
    INPUT keys[2]{};
    keys[0].type = keys[1].type = INPUT_KEYBOARD;
    keys[0].ki.wVk = keys[1].ki.wVk = VK_LEFT;
    keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, keys, sizeof(INPUT));
    EXPECT_TRUE(pump_until([&] { return b->Position() == position - 1; })) << "skinned " << skinned;
    flush_events();
    EXPECT_GT(log.Changes, afterClick) << "a key, skinned " << skinned;
    MouseAway();
    FreeAndNil(b);
    FreeAndNil(Manager);
  }
}

// Removing the skin gives the system's own look back in a new window.
TEST_F(TrackBar, RemovalGivesTheSystemsLookBack) {
  LoadStandardSkin();
  TsTrackBar* b = MakeBar(trVertical, 0, 10, 3);
  const HWND skinned = b->Handle();
  const TRect thumb = b->ThumbRect();
  EXPECT_GT(Count(b, thumb, Thumb(true, 0)), 100);
  Manager->SetActive(false);
  flush_events();
  EXPECT_NE(skinned, b->Handle());
  EXPECT_EQ(3, b->Position());
  RedrawWindow(b->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  flush_events();
  EXPECT_EQ(0, Count(b, Rect(0, 0, b->Width(), b->Height()), Thumb(true, 0)));
  EXPECT_EQ(0, Count(b, Rect(0, 0, b->Width(), b->Height()), MaskColor("SLIDERCHANNEL")));
}
