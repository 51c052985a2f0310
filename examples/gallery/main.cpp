// The gallery: one main form that shows the library's skinned controls and adapted windows.
//
//   gallery.exe [--skins FOLDER] [--skin NAME] [--page N] [--screenshot out.png]
//     --skins       where the skin folders and packed skins are (default: "skins" beside the program)
//     --skin        the skin to start with (default: the built-in skin; "" for the plain look)
//     --page        the page shown first (0: skinned controls, 1: standard controls)
//     --screenshot  show the form, save what the screen shows of it as PNG, and exit
#include "classlib/Forms.h"
#include "examples/gallery/GalleryForm.h"
#include "examples/gallery/Screenshot.h"
#include "skin/engine/acSkinPack.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

int main(int argc, char** argv) {
  std::string screenshot;
  std::string skinFolder = ProgramFolder() + "\\skins";
  std::string skin = BuiltInSkinName;
  int page = 0;
  for (int i = 1; i + 1 < argc; ++i) {
    if (std::strcmp(argv[i], "--screenshot") == 0)
      screenshot = argv[++i];
    else if (std::strcmp(argv[i], "--skins") == 0)
      skinFolder = argv[++i];
    else if (std::strcmp(argv[i], "--skin") == 0)
      skin = argv[++i];
    else if (std::strcmp(argv[i], "--page") == 0)
      page = std::atoi(argv[++i]);
  }

  Application->SetTitle("Gallery");
  TGalleryForm* form = nullptr;
  Application->CreateForm(form);
  form->SetSkinFolder(skinFolder);
  form->ChooseSkin(skin);
  form->ShowPage(page);
  form->Show();

  if (!screenshot.empty()) {
    DWORD start = GetTickCount();
    while (GetTickCount() - start < 1500) {
      Application->ProcessMessages();
      Sleep(10);
    }
    std::string error = SaveWindowScreenshot(form->Handle(), screenshot);
    if (!error.empty()) {
      std::fprintf(stderr, "gallery: %s\n", error.c_str());
      return 1;
    }
    return 0;
  }
  Application->Run();
  return 0;
}
