// The shell namespace groundwork: item-ID lists, a folder of the namespace (TacShellFolder) and
// the desktop's folder object, which exists from the program's start-up to its shutdown.
//
// The unit initialises OLE when the program starts and makes the desktop folder object; at
// shutdown it frees that object and releases its interfaces before it releases OLE. A start-up
// that fails (no shell, no task allocator) leaves no desktop object and lets the program run on.
// The shell calls go through ShellApi, which a test may point at its own functions.
#pragma once

#include "classlib/Win.h"

#include <shlobj.h>

#include "classlib/core/Classes.h"

// ---- Item-ID lists ---------------------------------------------------------------------------------
// Every list is allocated and freed through the shell's task allocator. The routines that reach the
// shell raise EOleSysError with the shell's result when it fails.

// A zero-filled block of Size bytes; nullptr when it cannot be had.
LPITEMIDLIST CreatePIDL(UINT Size);
// The item after Item (by its leading size).
LPITEMIDLIST NextPIDL(LPCITEMIDLIST Item);
// The bytes of a list with its terminator; 0 for nullptr.
UINT GetPIDLSize(LPCITEMIDLIST List);
// A copy of a list (nullptr for nullptr, or when no memory can be had).
LPITEMIDLIST CopyPIDL(LPCITEMIDLIST List);
// A new list: the items of First, then those of Second, one terminator. Either may be nullptr or empty.
LPITEMIDLIST ConcatPIDLs(LPCITEMIDLIST First, LPCITEMIDLIST Second);
void DisposePIDL(LPITEMIDLIST List);
// The desktop's folder interface (the caller releases it) and item-ID list (the caller frees it).
IShellFolder* GetDesktopShellFolder();
LPITEMIDLIST GetDesktopPIDL();

// ---- A folder of the namespace ---------------------------------------------------------------------

class TacShellFolder : public TObject {
 public:
  // Keeps Folder, copies RelativeID and makes the absolute list: the parent's absolute list (nullptr:
  // the desktop object's; none for the desktop itself) followed by RelativeID.
  TacShellFolder(TacShellFolder* Parent, IShellFolder* Folder, LPCITEMIDLIST RelativeID);
  ~TacShellFolder() override;

  TacShellFolder* Parent() const { return FParent; }
  LPCITEMIDLIST RelativeID() const { return FPIDL; }
  LPCITEMIDLIST AbsoluteID() const { return FFullPIDL; }
  IShellFolder* ShellFolder() const { return FIShellFolder; }
  // The number of ancestors.
  int Level() const { return FLevel; }
  TStringList* Details() const { return FDetails; }

 private:
  TacShellFolder* FParent;
  LPITEMIDLIST FPIDL = nullptr;
  LPITEMIDLIST FFullPIDL = nullptr;
  IShellFolder* FIShellFolder;
  int FLevel = 0;
  TStringList* FDetails = nullptr;
  IUnknown* FIShellDetails = nullptr;
  IUnknown* FDetailInterface = nullptr;
};

// The desktop's folder object; nullptr when the start-up could not make it.
TacShellFolder* DesktopFolder();

// ---- Start-up and shutdown -------------------------------------------------------------------------

// The shell and OLE calls of the unit.
struct TacShellApi {
  HRESULT(WINAPI* OleInitialize)(LPVOID);
  void(WINAPI* OleUninitialize)();
  HRESULT(WINAPI* SHGetMalloc)(IMalloc**);
  HRESULT(WINAPI* SHGetDesktopFolder)(IShellFolder**);
  HRESULT(WINAPI* SHGetSpecialFolderLocation)(HWND, int, LPITEMIDLIST*);
};
// The system's functions unless replaced.
extern TacShellApi ShellApi;
TacShellApi SystemShellApi();

// What the program's start-up and shutdown run (each does nothing when done already).
void StartShellUnit();
void StopShellUnit();
