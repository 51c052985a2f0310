// Shared pieces of the menu tests: a test skin for menus, a fixture with a form and a loaded skin,
// a script that runs steps on a timer while a real popup menu is open, keyboard input, and a count
// of the process's GDI handles.
#pragma once

#include "classlib/Win.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "classlib/Forms.h"
#include "classlib/Menus.h"
#include "skin/windows/sSkinMenus.h"
#include "tests/support/GdiHandles.h"
#include "tests/support/PixelProbe.h"
#include "tests/support/Pump.h"
#include "tests/support/SkinTestSupport.h"

namespace qvtest {

// Sections and masks of menus, each of its own colour ("MENUITEM" first: a section at index 0 is
// a section like any other): the popup frame ("MAINMENU", a 9 x 9 mask
// with key runs of 1, 2, 3 and 4 pixels at its corners), items without a border ("MENUITEM",
// COLOR and HOTCOLOR show as they are), the separator line ("DIVIDERV"), caption items
// ("TOOLBAR"), the check marks ("GLOBALINFO"), the menu line, the extra line and the icon column.
TSkinBuilder MenuSkin();

// Presses and releases a key through the system's input queue.
void PressKey(WORD vk);
// Moves the mouse to a screen point, and sends mouse button events (MOUSEEVENTF_LEFTDOWN ...).
void MouseTo(POINT p);
void MouseButton(DWORD flags);

// Steps run one per timer tick while a popup menu is open; a step returns true when it is done.
// Each test builds the steps it needs; the menu closes after the last one.
class TMenuScript {
 public:
  using Step = std::function<bool()>;
  TMenuScript& Then(Step s) {
    Steps_.push_back(std::move(s));
    return *this;
  }
  // Opens the menu at a screen point and runs the steps; false when they did not all run before
  // the time ran out (the menu is closed anyway).
  bool Run(TPopupMenu* Menu, int X, int Y, DWORD TimeoutMs = 8000);
  // The same for a menu that something else opens (Open runs with the steps' timer set).
  bool Run(const std::function<void()>& Open, DWORD TimeoutMs = 8000);
  // Every step has run (or the time ran out): for an Open that waits for the menu to go.
  bool Over() const { return Done_ || CurrentScript_ != this; }

 private:
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD);
  std::vector<Step> Steps_;
  std::size_t Next_ = 0;
  DWORD Start_ = 0;
  DWORD Timeout_ = 0;
  bool Done_ = false;
  static inline TMenuScript* CurrentScript_ = nullptr;
};

// The open popup menu window that shows MenuBitmap with every item drawn: visible, subclassed,
// MenuBitmap as large as the window. Nullptr until then.
HWND DrawnPopup();

// What the screen shows in a rectangle once it has stopped changing: drawing reaches the screen
// some time after it is done (Wine flushes window surfaces while the thread waits), so a step
// takes the picture when two ticks in a row see the same one.
class TSettledShot {
 public:
  // true (and Shot set) when the rectangle shows what it showed at the last call.
  bool Take(const RECT& r, Capture& Shot);

 private:
  Capture Last_;
  RECT LastRect_{};
};

// The screen rectangle of item Pos of an open popup menu.
RECT PopupItemRect(HMENU Menu, int Pos);

// The region of a window as its list of rectangles (empty when it has none).
std::vector<RECT> WindowRegionRects(HWND Wnd);

class MenuTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  // Loads the builder's skin into the default manager (made when missing).
  void LoadSkin(const TSkinBuilder& builder);
  TacSkinableMenus* Menus() const { return SkinableMenusOf(Manager); }
  COLORREF Frame(const char* section, const char* prop, int state = 0) const {
    return TSkinBuilder::FrameColor(Builder.MaskOrdinal(section, prop), state);
  }
  // COLOR (or HOTCOLOR) of a section of the loaded skin.
  COLORREF SectionColor(const char* section, bool hot = false) const;
  TMenuItem* NewItem(const std::string& caption, TMenuItem* parent = nullptr);

  TSkinBuilder Builder = MenuSkin();
  TsSkinManager* Manager = nullptr;
  TForm* Form = nullptr;
};

}  // namespace qvtest
