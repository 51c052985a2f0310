// The system clipboard.
//
// Clipboard() is the process's one TClipboard. The clipboard is opened for each operation (or
// once around several, between Open and Close) with a hidden window of its own as owner, so the
// data it puts there stays valid after the call.
#pragma once

#include "classlib/Win.h"

#include <string>

#include "classlib/core/Classes.h"

QV_EXCEPTION_CLASS(EClipboardException, Exception)

class TClipboard : public TPersistent {
 public:
  QV_CLASS_NAME(TClipboard)
  ~TClipboard() override;

  // Nested opening is counted; raises EClipboardException when the system clipboard stays busy.
  void Open();
  void Close();
  // Empties the clipboard (this program becomes its owner).
  void Clear();
  bool HasFormat(UINT format);

  // CF_TEXT: the text up to its first NUL; empty when there is none.
  std::string AsText();
  void SetAsText(const std::string& text);

  // Puts a block of data in a format (the clipboard is emptied first unless it is open already).
  void SetBuffer(UINT format, const void* data, std::size_t size);

 private:
  HWND OwnerWindow();
  void Adding();

  HWND Window_ = nullptr;
  int OpenRefCount_ = 0;
  bool Emptied_ = false;
};

TClipboard* Clipboard();
