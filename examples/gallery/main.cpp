// The gallery: one main form that shows the library's skinned controls and adapted windows.
//
//   gallery.exe [--skins FOLDER] [--skin NAME] [--page N] [--screenshot out.png]
//     --skins       where the skin folders and packed skins are (default: "skins" beside the program)
//     --skin        the skin to start with (default: the built-in skin; "" for the plain look)
//     --page        the page shown first (0: skinned controls, 1: standard controls, 2: checks, edits
//                   and lists, 3: plain windows, 4: labels, panels and bars, 5: pages and gauges,
//                   6: combos and number edits, 7: lists and bars, 8: dialogs)
//     --screenshot  show the form, save what the screen shows of it as PNG, and exit
//     --popup       with --screenshot: the form's popup menu is open in the picture
//     --menu LETTER with --screenshot: the main menu item of that accelerator is open in the picture
//     --frames      with --screenshot: the picture is of a tool window and a dialog-border form
//     --calculator  with --screenshot: the calculator of the number edits' page is open in the picture
//     --msgbox      with --screenshot: the form's message box shows, and the picture is of the box
//     --open, --color  with --screenshot: the same for the file-open dialog or the colour dialog
//     --save, --folder, --font  the same for the save-file, folder or font dialog
//     --box N       the same for the message box of kind N of the dialogs page (0: OK ... 9: question)
//     --mdi         the MDI demo instead: a frame form with three child forms
//     --maximized   with --mdi: the active child is maximized (--menu works there too)
#include "classlib/Forms.h"
#include "classlib/Menus.h"
#include "examples/gallery/DialogExamples.h"
#include "examples/gallery/FrameExamples.h"
#include "examples/gallery/GalleryForm.h"
#include "examples/gallery/MDIExamples.h"
#include "examples/gallery/Screenshot.h"
#include "skin/engine/acSkinPack.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

// Takes the screenshot while a popup menu is open, then closes the menu.
struct TPopupShot {
  HWND Form = nullptr;
  std::string Path;
  std::string Error = "the popup menu did not open";
  int Ticks = 0;
  bool Done = false;
} PopupShot;

void CALLBACK PopupShotTimer(HWND, UINT, UINT_PTR id, DWORD) {
  HWND popup = FindWindowA("#32768", nullptr);
  // A few ticks more once the menu shows, for its items to be drawn.
  if ((popup && IsWindowVisible(popup) && ++PopupShot.Ticks > 5) || PopupShot.Ticks > 100) {
    KillTimer(nullptr, id);
    if (popup) PopupShot.Error = SaveWindowScreenshot(PopupShot.Form, PopupShot.Path);
    PopupShot.Done = true;
    EndMenu();
  } else if (!popup) {
    ++PopupShot.Ticks;
  }
}

BOOL CALLBACK FindShownBox(HWND wnd, LPARAM found) {
  char cls[16] = {};
  GetClassNameA(wnd, cls, sizeof cls);
  if (std::strcmp(cls, "#32770") != 0 || !IsWindowVisible(wnd)) return TRUE;
  *reinterpret_cast<HWND*>(found) = wnd;
  return FALSE;
}

// Takes the screenshot of the message box the form opens, then closes it.
void CALLBACK BoxShotTimer(HWND, UINT, UINT_PTR id, DWORD) {
  HWND box = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), FindShownBox, LPARAM(&box));
  if ((box && ++PopupShot.Ticks > 10) || PopupShot.Ticks > 200) {
    KillTimer(nullptr, id);
    PopupShot.Error = box ? SaveWindowScreenshot(box, PopupShot.Path) : "the dialog did not open";
    PopupShot.Done = true;
    // Closed by its Cancel button, or No or OK when it has none (a message box of Yes and No).
    const int close = GetDlgItem(box, IDCANCEL) ? IDCANCEL : GetDlgItem(box, IDNO) ? IDNO : IDOK;
    if (box) PostMessageA(box, WM_COMMAND, close, 0);
  } else if (!box) {
    ++PopupShot.Ticks;
  }
}

// Opens the form's menu bar item of an accelerator key and saves the picture while it is open.
std::string ShootMenu(TCustomForm* form, char key) {
  PopupShot.Form = form->Handle();
  // The menu bar's loop runs inside the form's handling of the keyboard menu command.
  SetTimer(nullptr, 0, 50, &PopupShotTimer);
  PostMessageA(form->Handle(), WM_SYSCOMMAND, SC_KEYMENU, LPARAM(static_cast<unsigned char>(key)));
  const DWORD opened = GetTickCount();
  while (!PopupShot.Done && GetTickCount() - opened < 8000) {
    Application->ProcessMessages();
    Sleep(10);
  }
  return PopupShot.Error;
}

// Saves the screen's picture of the form after a moment, or runs the program.
int ShowOrShoot(TCustomForm* form, const std::string& screenshot) {
  if (screenshot.empty()) {
    Application->Run();
    return 0;
  }
  const DWORD start = GetTickCount();
  while (GetTickCount() - start < 1500) {
    Application->ProcessMessages();
    Sleep(10);
  }
  const std::string error = SaveWindowScreenshot(form->Handle(), screenshot);
  if (error.empty()) return 0;
  std::fprintf(stderr, "gallery: %s\n", error.c_str());
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  std::string screenshot;
  bool popup = false;
  bool calculator = false;
  bool msgbox = false;
  bool openDialog = false;
  bool colorDialog = false;
  std::string dialog;  // "save", "folder", "font" or "box"
  int boxKind = 0;
  bool frames = false;
  bool mdi = false;
  bool maximized = false;
  std::string menuKey;
  std::string skinFolder = ProgramFolder() + "\\skins";
  std::string skin = BuiltInSkinName;
  int page = 0;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--popup") == 0) {
      popup = true;
      continue;
    }
    if (std::strcmp(argv[i], "--frames") == 0) {
      frames = true;
      continue;
    }
    if (std::strcmp(argv[i], "--mdi") == 0) {
      mdi = true;
      continue;
    }
    if (std::strcmp(argv[i], "--maximized") == 0) {
      maximized = true;
      continue;
    }
    if (std::strcmp(argv[i], "--calculator") == 0) {
      calculator = true;
      continue;
    }
    if (std::strcmp(argv[i], "--msgbox") == 0 || std::strcmp(argv[i], "--open") == 0 ||
        std::strcmp(argv[i], "--color") == 0) {
      msgbox = argv[i][2] == 'm';
      openDialog = argv[i][2] == 'o';
      colorDialog = argv[i][2] == 'c';
      continue;
    }
    if (std::strcmp(argv[i], "--save") == 0 || std::strcmp(argv[i], "--folder") == 0 ||
        std::strcmp(argv[i], "--font") == 0) {
      dialog = argv[i] + 2;
      continue;
    }
    if (i + 1 >= argc) break;
    if (std::strcmp(argv[i], "--box") == 0) {
      dialog = "box";
      boxKind = std::atoi(argv[++i]);
    } else if (std::strcmp(argv[i], "--screenshot") == 0)
      screenshot = argv[++i];
    else if (std::strcmp(argv[i], "--skins") == 0)
      skinFolder = argv[++i];
    else if (std::strcmp(argv[i], "--skin") == 0)
      skin = argv[++i];
    else if (std::strcmp(argv[i], "--page") == 0)
      page = std::atoi(argv[++i]);
    else if (std::strcmp(argv[i], "--menu") == 0)
      menuKey = argv[++i];
  }

  Application->SetTitle("Gallery");
  if (mdi) {
    TMDIDemoForm* frame = nullptr;
    Application->CreateForm(frame);
    frame->SetSkinFolder(skinFolder);
    frame->ChooseSkin(skin);
    frame->Show();
    frame->AddChildren();
    if (maximized) frame->MaximizeActiveChild();
    if (screenshot.empty() || menuKey.empty()) return ShowOrShoot(frame, screenshot);
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < 1500) {
      Application->ProcessMessages();
      Sleep(10);
    }
    PopupShot.Path = screenshot;
    const std::string error = ShootMenu(frame, menuKey[0]);
    if (error.empty()) return 0;
    std::fprintf(stderr, "gallery: %s\n", error.c_str());
    return 1;
  }
  TGalleryForm* form = nullptr;
  Application->CreateForm(form);
  form->SetSkinFolder(skinFolder);
  form->ChooseSkin(skin);
  form->ShowPage(page);
  form->Show();

  if (!screenshot.empty()) {
    if (calculator) {
      form->ShowPage(6);
      Application->ProcessMessages();
      form->OpenCalculator();
    }
    DWORD start = GetTickCount();
    while (GetTickCount() - start < 1500) {
      Application->ProcessMessages();
      Sleep(10);
    }
    std::string error;
    PopupShot.Form = form->Handle();
    PopupShot.Path = screenshot;
    if (msgbox || openDialog || colorDialog || !dialog.empty()) {
      SetTimer(nullptr, 0, 50, &BoxShotTimer);
      if (msgbox) form->ShowMessageBox();
      if (openDialog) form->ShowOpenDialog();
      if (colorDialog) form->ShowColorDialog();
      if (dialog == "save") ShowSaveDialog(form->Handle());
      if (dialog == "folder") ShowFolderDialog(form->Handle());
      if (dialog == "font") ShowFontDialog(form->Handle());
      if (dialog == "box") ShowMessageBoxKind(form->Handle(), boxKind);
      error = PopupShot.Error;
    } else if (popup) {
      SetTimer(nullptr, 0, 50, &PopupShotTimer);
      const TPoint at = form->ClientToScreen(TPoint{420, 150});
      form->PopupMenuExample()->Popup(at.X, at.Y);
      error = PopupShot.Error;
    } else if (frames) {
      const RECT r = ShowFrameExamples(form);
      const DWORD shown = GetTickCount();
      while (GetTickCount() - shown < 1000) {
        Application->ProcessMessages();
        Sleep(10);
      }
      error = SaveScreenScreenshot(r, screenshot);
    } else if (!menuKey.empty()) {
      error = ShootMenu(form, menuKey[0]);
    } else {
      error = SaveWindowScreenshot(form->Handle(), screenshot);
    }
    if (!error.empty()) {
      std::fprintf(stderr, "gallery: %s\n", error.c_str());
      return 1;
    }
    return 0;
  }
  Application->Run();
  return 0;
}
