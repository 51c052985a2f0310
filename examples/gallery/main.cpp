// The gallery: one main form that shows the library's skinned controls and adapted windows.
//
//   gallery.exe                       shows the form
//   gallery.exe --screenshot out.png  shows the form, saves what the screen shows of it, exits
#include "classlib/Win.h"
#include "examples/gallery/Screenshot.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace {

const int kMessageBoxButton = 101;

LRESULT CALLBACK GalleryProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_CREATE:
      CreateWindowExA(0, "BUTTON", "Show a message box", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 16, 16, 180, 28,
                      wnd, HMENU(INT_PTR(kMessageBoxButton)), GetModuleHandleA(nullptr), nullptr);
      return 0;
    case WM_COMMAND:
      if (LOWORD(wParam) == kMessageBoxButton)
        MessageBoxA(wnd, "This is a system message box.", "Gallery", MB_OK | MB_ICONINFORMATION);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcA(wnd, msg, wParam, lParam);
}

void Pump(DWORD ms) {
  DWORD start = GetTickCount();
  while (GetTickCount() - start < ms) {
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&m);
      DispatchMessageA(&m);
    }
    Sleep(10);
  }
}

}  // namespace

int main(int argc, char** argv) {
  std::string screenshot;
  for (int i = 1; i + 1 < argc; ++i)
    if (std::strcmp(argv[i], "--screenshot") == 0) screenshot = argv[i + 1];

  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&icc);
  WNDCLASSA wc{};
  wc.lpfnWndProc = GalleryProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.hbrBackground = HBRUSH(COLOR_BTNFACE + 1);
  wc.lpszClassName = "TGalleryForm";
  RegisterClassA(&wc);
  HWND form = CreateWindowExA(0, wc.lpszClassName, "Gallery", WS_OVERLAPPEDWINDOW, 40, 40, 640, 480, nullptr,
                              nullptr, wc.hInstance, nullptr);
  ShowWindow(form, SW_SHOW);
  UpdateWindow(form);

  if (!screenshot.empty()) {
    Pump(1500);
    std::string error = SaveWindowScreenshot(form, screenshot);
    DestroyWindow(form);
    if (!error.empty()) {
      std::fprintf(stderr, "gallery: %s\n", error.c_str());
      return 1;
    }
    return 0;
  }
  MSG m;
  while (GetMessageA(&m, nullptr, 0, 0) > 0) {
    TranslateMessage(&m);
    DispatchMessageA(&m);
  }
  return 0;
}
