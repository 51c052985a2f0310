// The skinned up-down: its arrow buttons follow the mouse (real input, read from the screen), a
// button at the limit of its direction looks disabled and is never hot or pressed, the halves
// split with the odd pixel below or to the right, and without its sections it is the class
// library's up-down.
#include <gtest/gtest.h>

#include "skin/controls/sUpDown.h"
#include "tests/support/ControlsFixture.h"

using namespace qvtest;

namespace {

class UpDown : public ControlsTest {
 protected:
  TsUpDown* MakeUpDown(TUDOrientation o, int Position, int w, int h) {
    auto* ud = Create<TsUpDown>(Form);
    ud->SetOrientation(o);
    ud->SetParent(Form);
    ud->SetBounds(30, 30, w, h);
    ud->SetMin(0);
    ud->SetMax(10);
    ud->SetPosition(Position);
    flush_events();
    return ud;
  }
  // The look of a button: the frame colour of its section in a state, or "dimmed" (blended with the
  // form's colour) for a button that looks disabled.
  std::string Look(const char* Section, int State) const { return ColorText(Frame(Section, State)); }
  std::string Dimmed(const char* Section) const {
    const COLORREF f = Frame(Section, 0), p = ColorToRGB(Form->Color());
    auto mix = [](int a, int b) { return (a * 60 + b * 40 + 50) / 100; };
    return ColorText(
        RGB(mix(GetRValue(f), GetRValue(p)), mix(GetGValue(f), GetGValue(p)), mix(GetBValue(f), GetBValue(p))));
  }
};

// Near enough: the blend rounds on its own terms.
bool Near(const std::string& a, const std::string& b) {
  auto v = [](const std::string& s) { return std::stoul(s.substr(1), nullptr, 16); };
  const unsigned x = v(a), y = v(b);
  for (int k = 0; k < 24; k += 8)
    if (std::abs(int((x >> k) & 0xFF) - int((y >> k) & 0xFF)) > 2) return false;
  return true;
}

}  // namespace

// Hover, press and release of each button, read back from the screen, vertical and horizontal;
// the button whose direction is at its limit stays dimmed and is never hot or pressed, and a
// horizontal up-down takes its own limits (its first button goes down, to Min).
TEST_F(UpDown, ButtonsFollowTheMouse) {
  LoadStandardSkin();
  struct {
    const char* Name;
    TUDOrientation Orientation;
    int Position;
    bool First;  // the button under the mouse
    const char* Section;
    const char* Other;
    std::string Normal, Hot, Pressed, OtherLook;
    int PositionAfter;
  } cases[] = {
      {"top", udVertical, 5, true, "SCROLLBTNTOP", "SCROLLBTNBOTTOM", "0", "1", "2", "0", 6},
      {"bottom", udVertical, 5, false, "SCROLLBTNBOTTOM", "SCROLLBTNTOP", "0", "1", "2", "0", 4},
      {"top at Max", udVertical, 10, true, "SCROLLBTNTOP", "SCROLLBTNBOTTOM", "d", "d", "d", "0", 10},
      {"left at Max", udHorizontal, 10, true, "SCROLLBTNLEFT", "SCROLLBTNRIGHT", "0", "1", "2", "d", 9},
      {"right at Min", udHorizontal, 0, false, "SCROLLBTNRIGHT", "SCROLLBTNLEFT", "0", "1", "2", "d", 1},
  };
  for (const auto& c : cases) {
    MouseAway();
    const bool vertical = c.Orientation == udVertical;
    TsUpDown* ud = MakeUpDown(c.Orientation, c.Position, vertical ? 20 : 41, vertical ? 41 : 20);
    ASSERT_TRUE(ud->SkinnedPaint());
    // A point of each button clear of its glyph; the second button takes the odd pixel.
    const TPoint mine = vertical ? Point(3, c.First ? 10 : 30) : Point(c.First ? 4 : 24, 10);
    const TPoint other = vertical ? Point(3, c.First ? 30 : 10) : Point(c.First ? 24 : 4, 10);
    auto look = [&](const std::string& code, const char* section) {
      return code == "d" ? Dimmed(section) : Look(section, code[0] - '0');
    };
    // The other button keeps its look until the press moves the position.
    auto check = [&](const std::string& want, const char* step, bool withOther) {
      const std::string got = ColorText(ScreenPixel(ud, mine.X, mine.Y));
      EXPECT_TRUE(Near(look(want, c.Section), got)) << c.Name << " " << step << ": " << got;
      if (withOther) {
        EXPECT_TRUE(Near(look(c.OtherLook, c.Other), ColorText(ScreenPixel(ud, other.X, other.Y))))
            << c.Name << " " << step;
      }
    };
    check(c.Normal, "normal", true);
    MouseTo(ud, mine.X, mine.Y);
    check(c.Hot, "hot", true);
    MouseButton(MOUSEEVENTF_LEFTDOWN);
    check(c.Pressed, "pressed", false);
    EXPECT_EQ(c.Pressed == "2", ud->BtnState() >= 3) << c.Name;
    MouseButton(MOUSEEVENTF_LEFTUP);
    // A release that moved nothing leaves the other button as it was (it is not shown hot).
    check(c.Hot, "released", c.PositionAfter == c.Position);
    EXPECT_EQ(c.PositionAfter, ud->Position()) << c.Name;
    MouseAway();
    ud->Free();
    flush_events();
  }
}

// The odd pixel row goes to the second button; without ShowInaccessibility a button at its limit
// looks normal; a disabled up-down dims both buttons; a skin without the arrow sections of the
// orientation leaves the class library's look.
TEST_F(UpDown, HalvesLimitsAndPlainLook) {
  LoadStandardSkin();
  TsUpDown* ud = MakeUpDown(udVertical, 10, 20, 41);
  EXPECT_TRUE(Near(Dimmed("SCROLLBTNTOP"), ColorText(ScreenPixel(ud, 3, 19))));
  EXPECT_TRUE(Near(Look("SCROLLBTNBOTTOM", 0), ColorText(ScreenPixel(ud, 3, 20))));
  ud->SetShowInaccessibility(false);
  flush_events();
  EXPECT_TRUE(Near(Look("SCROLLBTNTOP", 0), ColorText(ScreenPixel(ud, 3, 10))));
  ud->SetEnabled(false);
  flush_events();
  EXPECT_TRUE(Near(Dimmed("SCROLLBTNTOP"), ColorText(ScreenPixel(ud, 3, 10))));
  EXPECT_TRUE(Near(Dimmed("SCROLLBTNBOTTOM"), ColorText(ScreenPixel(ud, 3, 30))));
  ud->Free();

  FreeAndNil(Manager);
  LoadSkin(TSkinBuilder::Standard().RemoveSection("SCROLLBTNTOP"));
  ud = MakeUpDown(udVertical, 5, 20, 41);
  EXPECT_FALSE(ud->SkinnedPaint());
  EXPECT_NE(ColorText(Frame("SCROLLBTNBOTTOM", 0)), ColorText(ScreenPixel(ud, 3, 30)));
  TsUpDown* h = MakeUpDown(udHorizontal, 5, 41, 20);
  EXPECT_TRUE(h->SkinnedPaint());
}
