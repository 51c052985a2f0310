// The gallery's page of the system's dialogs: a button for each set of message box buttons and
// each message box icon, and for the save-file, folder and font dialogs as the system makes them.
// Nothing here is skinned by the program: the dialog hook skins each window as it opens.
#pragma once

#include "classlib/Win.h"

class TWinControl;

// The buttons of the page, on Parent (their owner).
void AddDialogExamples(TWinControl* Parent);

// The dialogs the page opens, each returning when it is closed. A message box kind is one of
// kMessageBoxKinds (the text on its button and its MB_ flags).
struct TMessageBoxKind {
  const char* Caption;
  UINT Flags;
};
extern const TMessageBoxKind kMessageBoxKinds[];
extern const int kMessageBoxKindCount;
void ShowMessageBoxKind(HWND Owner, int Kind);
void ShowSaveDialog(HWND Owner);
void ShowFolderDialog(HWND Owner);
void ShowFontDialog(HWND Owner);
