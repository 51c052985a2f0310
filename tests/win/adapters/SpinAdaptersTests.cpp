// The up-down adapter with real input: each half in the state of the pointer and the button, along
// the up-down's own axis, the up-down counting as it does of its own; painting into a caller's DC
// leaves the DC to the caller.
#include "tests/support/AdapterTestSupport.h"

#include <commctrl.h>

namespace qvtest {
namespace {

class SpinAdapters : public AdapterTest {
 protected:
  void SetUp() override {
    AdapterTest::SetUp();
    Dialog = Track(CreatePlainWindow(nullptr, 0, 40, 40, 300, 200));
  }
  HWND UpDown(DWORD style, int w, int h) {
    HWND wnd = CreateControl(Dialog, UPDOWN_CLASSA, "", style, 40, 40, w, h);
    SendMessageA(wnd, UDM_SETRANGE32, 0, 99);
    SendMessageA(wnd, UDM_SETPOS32, 0, 50);
    return wnd;
  }
  HWND Dialog = nullptr;
};

struct TSpinCase {
  const char* Name;
  bool Horizontal;
  int Length;  // along the axis
  int Half;    // where the pointer goes: 0 off the window, 1 the half that counts up, -1 the other,
               // 2 the middle row of an odd length
  bool Held;
  int Up, Down;  // the states the two halves show
  int Count;     // what a press did to the position
};

// On a window that is not skinned: what shows between the halves and at their frames' transparent
// corners is the window's own colour, in every state.
TEST_F(SpinAdapters, EachHalfShowsThePointersStateAlongItsAxis) {
  const TSpinCase cases[] = {
      {"vertical, away", false, 48, 0, false, 0, 0, 0},
      {"vertical, over the upper", false, 48, 1, false, 1, 0, 0},
      {"vertical, lower pressed", false, 48, -1, true, 0, 2, -1},
      {"vertical, upper pressed", false, 48, 1, true, 2, 0, 1},
      {"horizontal, over the right", true, 48, 1, false, 1, 0, 0},
      {"horizontal, left pressed", true, 48, -1, true, 0, 2, -1},
      {"horizontal, right pressed", true, 48, 1, true, 2, 0, 1},
      {"disabled, pressed", false, 48, 1, true, -1, -1, 0},
      {"vertical odd, lower pressed", false, 31, -1, true, 0, 2, -1},
      {"vertical odd, middle row pressed", false, 31, 2, true, 0, 0, 0},
      {"horizontal odd, middle column pressed", true, 41, 2, true, 0, 0, 0},
      {"horizontal odd, right pressed", true, 41, 1, true, 2, 0, 1},
  };
  const COLORREF behind = GetSysColor(COLOR_WINDOW);
  for (const TSpinCase& c : cases) {
    SCOPED_TRACE(c.Name);
    HWND wnd = UpDown((c.Horizontal ? UDS_HORZ : 0) | (c.Up < 0 ? WS_DISABLED : 0), c.Horizontal ? c.Length : 20,
                      c.Horizontal ? 20 : c.Length);
    const TWindowState before = WindowStateOf(wnd);
    auto* a = Create<TacSpinWnd>(wnd, nullptr, Manager, "SPEEDBUTTON_SMALL", true);
    RECT r{};
    GetWindowRect(wnd, &r);
    // The up-down keeps its own width across the axis.
    const int w = r.right - r.left, h = r.bottom - r.top;
    ASSERT_EQ(c.Length, c.Horizontal ? w : h);
    // The half that counts up is the upper one, or the right one of a horizontal up-down.
    const POINT up = c.Horizontal ? POINT{r.left + w * 3 / 4, r.top + h / 2} : POINT{r.left + w / 2, r.top + h / 4};
    const POINT down = c.Horizontal ? POINT{r.left + w / 4, r.top + h / 2} : POINT{r.left + w / 2, r.top + h * 3 / 4};
    const POINT middle = c.Horizontal ? POINT{r.left + w / 2, r.top + h / 2} : POINT{r.left + w / 2, r.top + h / 2};
    const POINT at = c.Half == 2 ? middle : c.Half > 0 ? up : c.Half < 0 ? down : POINT{r.right + 40, r.bottom + 40};
    MouseTo(at.x, at.y);
    if (c.Held) LeftButton(true);
    const Capture shot = SettledScreen(wnd);
    const int position = int(SendMessageA(wnd, UDM_GETPOS32, 0, 0));
    if (c.Held) LeftButton(false);
    // The halves as the up-down tells them apart: of an odd length the middle row lies between.
    const RECT upHalf = c.Horizontal ? RECT{(w + 1) / 2, 0, w, h} : RECT{0, 0, w, h / 2};
    const RECT downHalf = c.Horizontal ? RECT{0, 0, w / 2, h} : RECT{0, (h + 1) / 2, w, h};
    // The top edge of each half's frame, right of its corner.
    const POINT upEdge{(upHalf.left + upHalf.right) / 2, upHalf.top};
    const POINT downEdge{(downHalf.left + downHalf.right) / 2, downHalf.top};
    if (c.Up < 0) {
      // Dimmed over what lies behind, in the normal state whatever the pointer does.
      const COLORREF normal = Frame("SPEEDBUTTON_SMALL", "BORDERSMASK", 0), top = shot.Pixel(upEdge.x, upEdge.y);
      EXPECT_NE(ColorText(normal), ColorText(top));
      EXPECT_EQ(ColorText(top), ColorText(shot.Pixel(downEdge.x, downEdge.y)));
      EXPECT_NE(ColorText(top), ColorText(GetSysColor(COLOR_WINDOW)));
    } else {
      EXPECT_EQ(ColorText(Frame("SPEEDBUTTON_SMALL", "BORDERSMASK", c.Up)), ColorText(shot.Pixel(upEdge.x, upEdge.y)));
      EXPECT_EQ(ColorText(Frame("SPEEDBUTTON_SMALL", "BORDERSMASK", c.Down)),
                ColorText(shot.Pixel(downEdge.x, downEdge.y)));
      // The arrows of the axis, in the halves' states.
      const char* upArrow = c.Horizontal ? "SCROLLBTNRIGHT" : "SCROLLBTNTOP";
      const char* downArrow = c.Horizontal ? "SCROLLBTNLEFT" : "SCROLLBTNBOTTOM";
      EXPECT_GT(shot.CountColor(Frame(upArrow, "GLYPHMASK", c.Up)), 0);
      EXPECT_GT(shot.CountColor(Frame(downArrow, "GLYPHMASK", c.Down)), 0);
    }
    EXPECT_EQ(50 + c.Count, position) << "the up-down counts as it does of its own";
    EXPECT_EQ(0, shot.CountColor(RGB(255, 0, 255))) << "the frames' transparent corners show what lies behind";
    if (c.Up >= 0) {
      EXPECT_EQ(ColorText(behind), ColorText(shot.Pixel(upHalf.left, upHalf.top))) << "top-left corner, counting up";
      EXPECT_EQ(ColorText(behind), ColorText(shot.Pixel(downHalf.left, downHalf.top))) << "the other's";
    }
    if (c.Length % 2) {
      const RECT gap = c.Horizontal ? RECT{w / 2, 0, w / 2 + 1, h} : RECT{0, h / 2, w, h / 2 + 1};
      EXPECT_EQ(gap.right - gap.left + gap.bottom - gap.top - 1, shot.CountColor(behind, gap)) << "between the halves";
    }
    MouseTo(r.right + 40, r.bottom + 40);
    a->Free();
    SendMessageA(wnd, UDM_SETPOS32, 0, 50);
    EXPECT_TRUE(before == WindowStateOf(wnd)) << Describe(WindowStateOf(wnd));
    DestroyWindow(wnd);
  }
}

TEST_F(SpinAdapters, PaintingIntoACallersDCLeavesTheDCToTheCaller) {
  HWND wnd = UpDown(0, 20, 48);
  auto* a = Create<TacSpinWnd>(wnd, nullptr, Manager, "SPEEDBUTTON_SMALL", true);
  HDC screen = GetDC(nullptr);
  HDC mem = CreateCompatibleDC(screen);
  HBITMAP bmp = CreateCompatibleBitmap(screen, 20, 48);
  ReleaseDC(nullptr, screen);
  HGDIOBJ old = SelectObject(mem, bmp);
  for (UINT msg : {UINT(WM_PAINT), UINT(WM_PRINT)}) {
    PatBlt(mem, 0, 0, 20, 48, BLACKNESS);
    SendMessageA(wnd, msg, WPARAM(mem), PRF_CLIENT);
    EXPECT_EQ(DWORD(OBJ_MEMDC), GetObjectType(mem));
    EXPECT_EQ(Frame("SPEEDBUTTON_SMALL", "BORDERSMASK", 0), GetPixel(mem, 10, 0) & 0xFFFFFF);
  }
  SelectObject(mem, old);
  DeleteObject(bmp);
  DeleteDC(mem);
  a->Free();
}

}  // namespace
}  // namespace qvtest
