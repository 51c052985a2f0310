#include "examples/gallery/DialogExamples.h"

#include <commdlg.h>
#include <shlobj.h>

#include "classlib/Forms.h"
#include "classlib/StdCtrls.h"

const TMessageBoxKind kMessageBoxKinds[] = {
    {"OK", MB_OK},
    {"OK, Cancel", MB_OKCANCEL},
    {"Yes, No", MB_YESNO},
    {"Yes, No, Cancel", MB_YESNOCANCEL},
    {"Abort, Retry, Ignore", MB_ABORTRETRYIGNORE},
    {"Retry, Cancel", MB_RETRYCANCEL},
    {"Information", MB_OK | MB_ICONINFORMATION},
    {"Warning", MB_OKCANCEL | MB_ICONWARNING},
    {"Error", MB_RETRYCANCEL | MB_ICONERROR},
    {"Question", MB_YESNO | MB_ICONQUESTION},
};
const int kMessageBoxKindCount = int(sizeof kMessageBoxKinds / sizeof kMessageBoxKinds[0]);

namespace {

HWND OwnerOf(TObject* Sender) {
  auto* c = dynamic_cast<TControl*>(Sender);
  TCustomForm* form = c ? GetParentForm(c) : nullptr;
  return form && form->HandleAllocated() ? form->Handle() : nullptr;
}

TButton* AddButton(TWinControl* Parent, const char* Caption, int X, int Y, std::intptr_t Tag, TNotifyEvent Click) {
  auto* b = Create<TButton>(Parent);
  b->SetParent(Parent);
  b->SetCaption(Caption);
  b->SetBounds(X, Y, 160, 28);
  b->SetTag(Tag);
  b->OnClick = Click;
  return b;
}

TGroupBox* AddGroup(TWinControl* Parent, const char* Caption, int X, int Y, int W, int H) {
  auto* g = Create<TGroupBox>(Parent);
  g->SetParent(Parent);
  g->SetCaption(Caption);
  g->SetBounds(X, Y, W, H);
  return g;
}

}  // namespace

void ShowMessageBoxKind(HWND Owner, int Kind) {
  if (Kind < 0 || Kind >= kMessageBoxKindCount) return;
  const TMessageBoxKind& k = kMessageBoxKinds[Kind];
  const std::string text = std::string("A system message box with ") + k.Caption + ", drawn in the skin.";
  MessageBoxA(Owner, text.c_str(), "Gallery", k.Flags);
}

void ShowSaveDialog(HWND Owner) {
  char file[MAX_PATH] = "skin.asz";
  OPENFILENAMEA ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = Owner;
  ofn.lpstrFilter = "Skins (*.asz)\0*.asz\0All files\0*.*\0";
  ofn.lpstrFile = file;
  ofn.nMaxFile = sizeof file;
  ofn.lpstrDefExt = "asz";
  ofn.Flags = OFN_EXPLORER | OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY;
  GetSaveFileNameA(&ofn);
}

void ShowFolderDialog(HWND Owner) {
  const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  char name[MAX_PATH] = {};
  BROWSEINFOA bi{};
  bi.hwndOwner = Owner;
  bi.pszDisplayName = name;
  bi.lpszTitle = "Choose the folder of the skins:";
  bi.ulFlags = BIF_RETURNONLYFSDIRS;
  if (LPITEMIDLIST chosen = SHBrowseForFolderA(&bi)) CoTaskMemFree(chosen);
  if (SUCCEEDED(com)) CoUninitialize();
}

void ShowFontDialog(HWND Owner) {
  LOGFONTA lf{};
  lf.lfHeight = -13;
  lstrcpynA(lf.lfFaceName, "Tahoma", LF_FACESIZE);
  CHOOSEFONTA cf{};
  cf.lStructSize = sizeof cf;
  cf.hwndOwner = Owner;
  cf.lpLogFont = &lf;
  cf.Flags = CF_SCREENFONTS | CF_EFFECTS | CF_INITTOLOGFONTSTRUCT;
  ChooseFontA(&cf);
}

void AddDialogExamples(TWinControl* Parent) {
  const TNotifyEvent boxClick(nullptr, [](void*, TObject* Sender) {
    if (auto* b = dynamic_cast<TComponent*>(Sender)) ShowMessageBoxKind(OwnerOf(Sender), int(b->Tag()));
  });
  TGroupBox* buttons = AddGroup(Parent, "Message boxes: the buttons", 8, 8, 356, 150);
  TGroupBox* icons = AddGroup(Parent, "Message boxes: the icons", 8, 170, 356, 114);
  for (int i = 0; i < kMessageBoxKindCount; ++i) {
    const bool icon = (kMessageBoxKinds[i].Flags & MB_ICONMASK) != 0;
    const int at = icon ? i - 6 : i;
    AddButton(icon ? icons : buttons, kMessageBoxKinds[i].Caption, 10 + (at % 2) * 172, 22 + (at / 2) * 40, i,
              boxClick);
  }
  TGroupBox* dialogs = AddGroup(Parent, "The system's dialogs", 380, 8, 190, 170);
  AddButton(dialogs, "Save a file...", 14, 22, 0,
            TNotifyEvent(nullptr, [](void*, TObject* Sender) { ShowSaveDialog(OwnerOf(Sender)); }));
  AddButton(dialogs, "Choose a folder...", 14, 62, 0,
            TNotifyEvent(nullptr, [](void*, TObject* Sender) { ShowFolderDialog(OwnerOf(Sender)); }));
  AddButton(dialogs, "Choose a font...", 14, 102, 0,
            TNotifyEvent(nullptr, [](void*, TObject* Sender) { ShowFontDialog(OwnerOf(Sender)); }));
}
