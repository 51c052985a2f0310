// Shared pieces of the form provider's tests: a fixture with the test skin loaded and forms that
// carry a provider, real mouse input, and the process's GDI handle count.
#pragma once

#include "classlib/Win.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "classlib/Forms.h"
#include "classlib/Menus.h"
#include "skin/engine/sQuorvexGraph.h"
#include "skin/windows/sSkinProvider.h"
#include "tests/support/GdiHandles.h"
#include "tests/support/MessageSpy.h"
#include "tests/support/PixelProbe.h"
#include "tests/support/Pump.h"
#include "tests/support/RealInput.h"
#include "tests/support/SkinTestSupport.h"

namespace qvtest {

// The mouse moved to a screen point (SendInput); returns once the cursor is there and what
// followed is handled.
void MouseTo(POINT p);
// The left button pressed or released where the cursor is.
void LeftButton(bool down);
// Clicks of the left button where the cursor is, queued at once (a press on the caption starts the
// system's move loop, which returns at the release).
void LeftClicks(int count);

// Alt+Space to the window (focused first), then a letter typed once its window menu shows;
// returns once the menu has closed again.
void WindowMenuKey(HWND wnd, WORD letter);

// A main menu of items with these captions given to the form; returns it.
TMainMenu* GiveMainMenu(TForm* form, std::initializer_list<const char*> captions);

// Pixels the screen shows in a window's rectangle in colours of the test skin's images (red 0x10,
// green below 0x10).
int SkinPixels(HWND wnd);

// A form that records the system commands it gets (and carries them out unless Swallow says no).
class TRecordingForm : public TForm {
 public:
  QV_CLASS_NAME(TRecordingForm)
  using TForm::TForm;
  std::vector<WPARAM> Commands;
  bool Swallow = false;
  void WndProc(TMessage& Message) override {
    if (Message.Msg == WM_SYSCOMMAND) {
      Commands.push_back(Message.WParam & 0xFFF0);
      if (Swallow) return;
    }
    TForm::WndProc(Message);
  }
};

class ProviderTest : public SkinEngineTest {
 protected:
  void SetUp() override;
  void TearDown() override;
  // Loads a skin into the default manager (made when missing).
  void LoadSkin(const TSkinBuilder& builder);
  // A shown form at (60, 60) with a provider; freed in TearDown.
  TRecordingForm* NewForm(TFormBorderStyle style = bsSizeable, int width = 320, int height = 240);
  static TsSkinProvider* ProviderOf(TCustomForm* form) { return TsSkinProvider::ProviderOf(form); }
  // The colour of a state frame of a mask of the test skin.
  COLORREF MaskColor(const char* section, const char* prop, int state) const {
    return TSkinBuilder::FrameColor(Builder.MaskOrdinal(section, prop), state);
  }
  // A pixel of the provider's image, and what the screen shows at that place of the window.
  static COLORREF CachePixel(TsSkinProvider* p, int x, int y);
  static COLORREF ScreenPixel(TCustomForm* form, int x, int y);

 public:
  // The screen point of a place in the window (window coordinates).
  static POINT At(TCustomForm* form, int x, int y);

 protected:
  // The centre of a title-bar button in window coordinates.
  static POINT Centre(const TsCaptionButton& b) {
    return POINT{(b.Rect.Left + b.Rect.Right) / 2, (b.Rect.Top + b.Rect.Bottom) / 2};
  }

  TSkinBuilder Builder = TSkinBuilder::Standard();
  TsSkinManager* Manager = nullptr;
  std::vector<TCustomForm*> Forms;
};

}  // namespace qvtest
