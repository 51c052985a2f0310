#include "tests/win/provider/ProviderTestSupport.h"

#include <cstdint>

namespace qvtest {

TMainMenu* GiveMainMenu(TForm* form, std::initializer_list<const char*> captions) {
  auto* menu = Create<TMainMenu>(form);
  for (const char* caption : captions) {
    auto* item = Create<TMenuItem>(menu);
    item->SetCaption(caption);
    menu->Items()->Add(item);
  }
  form->SetMenu(menu);
  return menu;
}

void MouseTo(POINT p) {
  EXPECT_TRUE(MoveMouseTo(p)) << "cursor at " << p.x << "," << p.y;
  flush_events(30, 1000);
}

void LeftButton(bool down) {
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
  SendInput(1, &in, sizeof in);
  EXPECT_TRUE(pump_until([&] { return ((GetAsyncKeyState(VK_LBUTTON) & 0x8000) != 0) == down; }));
  flush_events(30, 1000);
}

void LeftClicks(int count) {
  std::vector<INPUT> in(std::size_t(count) * 2);
  for (std::size_t i = 0; i < in.size(); ++i) {
    in[i].type = INPUT_MOUSE;
    in[i].mi.dwFlags = i % 2 ? MOUSEEVENTF_LEFTUP : MOUSEEVENTF_LEFTDOWN;
  }
  SendInput(UINT(in.size()), in.data(), sizeof(INPUT));
  flush_events(60, 2000);
}

namespace {

WORD MenuLetter = 0;
DWORD LetterSent = 0;

bool MenuShows() {
  const HWND popup = FindWindowA("#32768", nullptr);
  return popup && IsWindowVisible(popup);
}

// Types the letter once the menu shows; closes the menu when the letter did not.
void CALLBACK PressLetterInMenu(HWND, UINT, UINT_PTR id, DWORD) {
  if (!MenuShows()) return;
  if (LetterSent) {
    if (GetTickCount() - LetterSent > 1000) {
      KillTimer(nullptr, id);
      EndMenu();
    }
    return;
  }
  LetterSent = GetTickCount();
  INPUT in[2]{};
  for (int i = 0; i < 2; ++i) {
    in[i].type = INPUT_KEYBOARD;
    in[i].ki.wVk = MenuLetter;
    in[i].ki.dwFlags = i ? KEYEVENTF_KEYUP : 0;
  }
  SendInput(2, in, sizeof in[0]);
}

}  // namespace

int SkinPixels(HWND wnd) {
  const Capture screen = CaptureScreen(wnd);
  int n = 0;
  for (int y = 0; y < screen.Height(); ++y)
    for (int x = 0; x < screen.Width(); ++x) {
      const COLORREF c = screen.Pixel(x, y);
      n += GetRValue(c) == 0x10 && GetGValue(c) < 0x10;
    }
  return n;
}

void WindowMenuKey(HWND wnd, WORD letter) {
  ASSERT_TRUE(FocusForKeys(wnd));
  flush_events();
  MenuLetter = letter;
  LetterSent = 0;
  const UINT_PTR timer = SetTimer(nullptr, 0, 50, &PressLetterInMenu);
  KeyDown(VK_MENU);
  PressKey(VK_SPACE);
  KeyUp(VK_MENU);
  EXPECT_TRUE(pump_until([] { return LetterSent && !MenuShows(); })) << "the menu opened and closed";
  KillTimer(nullptr, timer);
  flush_events();
}

void ProviderTest::SetUp() {
  Application->ResetTerminated();
  SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 2, GetSystemMetrics(SM_CYSCREEN) - 2);
  LoadSkin(Builder);
}

void ProviderTest::TearDown() {
  if (GetAsyncKeyState(VK_LBUTTON) & 0x8000) LeftButton(false);
  for (TCustomForm* f : Forms) f->Free();
  Forms.clear();
  flush_events();
  FreeAndNil(Manager);
  SetProviderWinVersion(0);
  SetFrameMetricSource(nullptr);
  ButtonPressed = false;
  flush_events();
  SkinEngineTest::TearDown();
}

void ProviderTest::LoadSkin(const TSkinBuilder& builder) {
  Builder = builder;
  if (!Manager) {
    Manager = CreateTestManager(Builder);
  } else {
    Manager->AddInternalSkin("Test2", Builder.Packed());
    Manager->SetSkinName("Test2");
  }
  flush_events();
}

TRecordingForm* ProviderTest::NewForm(TFormBorderStyle style, int width, int height) {
  auto* form = Create<TRecordingForm>(Application);
  Forms.push_back(form);
  form->SetBorderStyle(style);
  form->SetBounds(60, 60, width, height);
  form->SetCaption("Provider test");
  Create<TsSkinProvider>(form);
  form->Show();
  SetForegroundWindow(form->Handle());
  flush_events();
  return form;
}

COLORREF ProviderTest::CachePixel(TsSkinProvider* p, int x, int y) {
  return CaptureBitmap(p->SkinData->CacheBmp->Handle()).Pixel(x, y);
}

POINT ProviderTest::At(TCustomForm* form, int x, int y) {
  RECT r{};
  GetWindowRect(form->Handle(), &r);
  return POINT{r.left + x, r.top + y};
}

COLORREF ProviderTest::ScreenPixel(TCustomForm* form, int x, int y) {
  const POINT p = At(form, x, y);
  const RECT r{p.x, p.y, p.x + 1, p.y + 1};
  return CaptureScreenRect(r).Pixel(0, 0);
}

}  // namespace qvtest
