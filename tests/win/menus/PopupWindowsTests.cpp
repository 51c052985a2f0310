// Popup menu windows of a skinned menu, opened for real: the window is subclassed and its region
// is its rectangle less the frame mask's transparent corner runs; the background image goes with
// the window; popups whose window the drawing could not find are handed over by the manager only
// while their item lives; opening and closing many popups leaves no GDI handle behind; a popup open
// through a skin switch shows the new skin.
#include "tests/win/menus/MenuTestSupport.h"

namespace qvtest {
namespace {

class PopupWindows : public MenuTest {
 protected:
  TPopupMenu* MakePopup(int count) {
    auto* menu = Create<TPopupMenu>(Form);
    for (int i = 0; i < count; ++i) NewItem("Item " + std::to_string(i), menu->Items());
    Menus()->PreparePopupMenu(menu, true);
    return menu;
  }
  // The region a window W x H gets from the test skin's frame mask: 9 x 9, margins a third (3),
  // key runs of 1 and 2 pixels on the top row, 3 and 4 on the bottom row, each cut to the corner.
  static HRGN ExpectedRegion(int w, int h, bool corners) {
    HRGN rgn = CreateRectRgn(0, 0, w, h);
    if (!corners) return rgn;
    const RECT cuts[] = {{0, 0, 1, 1}, {w - 2, 0, w, 1}, {0, h - 1, 3, h}, {w - 3, h - 1, w, h}};
    for (const RECT& c : cuts) {
      HRGN cut = CreateRectRgn(c.left, c.top, c.right, c.bottom);
      CombineRgn(rgn, rgn, cut, RGN_DIFF);
      DeleteObject(cut);
    }
    return rgn;
  }
};

TEST_F(PopupWindows, PopupIsSubclassedAndCutByTheFrameCorners) {
  // With the frame mask the corners go; without it the region is the whole window (no hole).
  for (bool mask : {true, false}) {
    SCOPED_TRACE(mask ? "frame mask" : "no frame mask");
    TSkinBuilder skin = MenuSkin();
    if (!mask) skin.RemoveMask("MAINMENU", "BORDERSMASK");
    LoadSkin(skin);
    TPopupMenu* menu = MakePopup(4);
    HWND seen = nullptr;
    RECT wr{};
    bool regionMatches = false;
    TMenuScript script;
    script.Then([&] {
      if (!(seen = DrawnPopup())) return false;
      GetWindowRect(seen, &wr);
      HRGN actual = CreateRectRgn(0, 0, 0, 0);
      HRGN expected = ExpectedRegion(wr.right - wr.left, wr.bottom - wr.top, mask);
      regionMatches = GetWindowRgn(seen, actual) != ERROR && EqualRgn(actual, expected);
      DeleteObject(actual);
      DeleteObject(expected);
      return true;
    });
    ASSERT_TRUE(script.Run(menu, 120, 120));
    EXPECT_TRUE(regionMatches) << "window " << wr.right - wr.left << " x " << wr.bottom - wr.top << ", region "
                               << WindowRegionRects(seen).size() << " rectangles";
    EXPECT_FALSE(IsWindow(seen));
    EXPECT_EQ(nullptr, MenuBitmap) << "the background goes with the window";
    EXPECT_EQ(nullptr, MenuState.CurrentFirstItem);
    menu->Free();
  }
}

TEST_F(PopupWindows, FrameAndBackgroundComeFromTheSharedImage) {
  TPopupMenu* menu = MakePopup(3);
  Capture shot;
  RECT wr{}, item{};
  TSettledShot settled;
  TMenuScript script;
  script.Then([&] {
    HWND wnd = DrawnPopup();
    if (!wnd) return false;
    GetWindowRect(wnd, &wr);
    item = PopupItemRect(menu->Items()->Handle(), 1);
    return settled.Take(wr, shot);
  });
  ASSERT_TRUE(script.Run(menu, 120, 120));
  const COLORREF frame = Frame("MAINMENU", "BORDERSMASK");
  const int w = shot.Width(), h = shot.Height();
  // The four bands of the frame, where no item lies.
  for (POINT p : {POINT{w / 2, 1}, POINT{1, h / 2}, POINT{w - 2, h / 2}, POINT{w / 2, h - 2}})
    EXPECT_EQ(ColorText(frame), ColorText(shot.Pixel(p.x, p.y))) << p.x << ", " << p.y;
  // Items in the section's colour.
  EXPECT_EQ(ColorText(SectionColor("MENUITEM")),
            ColorText(shot.Pixel(item.right - wr.left - 4, (item.top + item.bottom) / 2 - wr.top)));
  menu->Free();
}

// A popup whose window the item drawing could not find is handed to the menus by the manager's
// application hook; the message carries the item, which may be gone by the time it arrives.
TEST_F(PopupWindows, HandOverNeedsTheItemAlive) {
  HWND popup = CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, "#32768", "", WS_POPUP, 20, 20, 60, 40, nullptr,
                               nullptr, nullptr, nullptr);
  ASSERT_NE(nullptr, popup);
  ShowWindow(popup, SW_SHOWNOACTIVATE);
  const auto subclassed = [&] {
    return reinterpret_cast<WNDPROC>(GetWindowLongPtrA(popup, GWLP_WNDPROC)) == &PopupWndProc;
  };
  TMenuItem* gone = NewItem("Gone");
  const LPARAM goneData = reinterpret_cast<LPARAM>(gone);
  gone->Free();
  SendMessageA(Application->Handle(), WM_POPUPMENUSHOWN, 0, goneData);
  EXPECT_FALSE(subclassed());
  TMenuItem* alive = NewItem("Alive");
  SendMessageA(Application->Handle(), WM_POPUPMENUSHOWN, 0, reinterpret_cast<LPARAM>(alive));
  EXPECT_TRUE(subclassed());
  DestroyWindow(popup);
}

TEST_F(PopupWindows, ManyPopupsLeaveTheHandleCountAsItWas) {
  TPopupMenu* menu = MakePopup(6);
  menu->Items()->Items(2)->SetChecked(true);
  menu->Items()->Items(3)->SetEnabled(false);
  auto openOnce = [&] {
    TMenuScript script;
    script.Then([] { return DrawnPopup() != nullptr; });
    return script.Run(menu, 120, 120);
  };
  ASSERT_TRUE(openOnce());  // fonts, brushes and caches made once
  const int before = GdiHandleCount();
  for (int i = 0; i < 200; ++i) ASSERT_TRUE(openOnce()) << "popup " << i;
  EXPECT_EQ(before, GdiHandleCount());
  menu->Free();
}

// A skin switched while a popup menu is open: the popup shows the new skin alone, its frame and its
// items.
TEST_F(PopupWindows, SkinSwitchedWhileOpenShowsTheNewSkinAlone) {
  TPopupMenu* menu = MakePopup(3);
  const COLORREF oldFrame = Frame("MAINMENU", "BORDERSMASK"), oldItem = SectionColor("MENUITEM");
  // The frame mask and the item section made last: colours of their own.
  TSkinBuilder other = MenuSkin().RemoveSection("MAINMENU").RemoveSection("MENUITEM");
  other.Section("MENUITEM");
  other.Section("MAINMENU");
  other.Mask("MAINMENU", "BORDERSMASK", 9, 9, 1);
  Capture shot;
  RECT wr{};
  TSettledShot settled;
  TMenuScript script;
  script.Then([&] { return DrawnPopup() != nullptr; })
      .Then([&] {
        LoadSkin(other);
        return true;
      })
      .Then([&] {
        HWND wnd = DrawnPopup();
        if (!wnd) return false;
        GetWindowRect(wnd, &wr);
        return settled.Take(wr, shot);
      });
  ASSERT_TRUE(script.Run(menu, 120, 120));
  EXPECT_EQ(0, shot.CountColor(oldFrame)) << "the old frame";
  EXPECT_EQ(0, shot.CountColor(oldItem)) << "the old items";
  EXPECT_LT(0, shot.CountColor(Frame("MAINMENU", "BORDERSMASK"))) << "the new frame";
  EXPECT_LT(0, shot.CountColor(SectionColor("MENUITEM"))) << "the new items";
  menu->Free();
}

}  // namespace
}  // namespace qvtest
