#include "skin/controls/acShellCtrls.h"

#include <ole2.h>

#include <cstring>

#include "classlib/core/SysUtils.h"

TacShellApi SystemShellApi() {
  return TacShellApi{&::OleInitialize, &::OleUninitialize, &::SHGetMalloc, &::SHGetDesktopFolder,
                     &::SHGetSpecialFolderLocation};
}

TacShellApi ShellApi = SystemShellApi();

namespace {

struct TShellUnit {
  bool Started = false;
  bool OleInitialized = false;
  CRITICAL_SECTION Lock{};
  TacShellFolder* Desktop = nullptr;
  // The unit's two interfaces: the task allocator and the desktop's folder.
  IMalloc* Malloc = nullptr;
  IShellFolder* DesktopFolder = nullptr;
} Unit;

class TUnitLock {
 public:
  TUnitLock() {
    if (Unit.Started) EnterCriticalSection(&Unit.Lock);
  }
  ~TUnitLock() {
    if (Unit.Started) LeaveCriticalSection(&Unit.Lock);
  }
  TUnitLock(const TUnitLock&) = delete;
  TUnitLock& operator=(const TUnitLock&) = delete;
};

void Check(HRESULT hr) {
  if (FAILED(hr)) throw EOleSysError(std::int32_t(hr));
}

IMalloc* TaskAllocator() {
  const TUnitLock lock;
  if (!Unit.Malloc) Check(ShellApi.SHGetMalloc(&Unit.Malloc));
  return Unit.Malloc;
}

void CreateDesktopFolder() {
  LPITEMIDLIST list = GetDesktopPIDL();
  IShellFolder* folder = GetDesktopShellFolder();
  Unit.DesktopFolder = folder;
  if (list) {
    try {
      Unit.Desktop = new TacShellFolder(nullptr, folder, list);
    } catch (...) {
      DisposePIDL(list);
      throw;
    }
    DisposePIDL(list);
  }
}

// The unit's start-up and shutdown with the program.
struct TShellUnitLifetime {
  TShellUnitLifetime() { StartShellUnit(); }
  ~TShellUnitLifetime() { StopShellUnit(); }
} Lifetime;

}  // namespace

// ---- item-ID lists ----------------------------------------------------------------------------------

LPITEMIDLIST CreatePIDL(UINT Size) {
  void* block = TaskAllocator()->Alloc(Size);
  if (block) std::memset(block, 0, Size);
  return static_cast<LPITEMIDLIST>(block);
}

LPITEMIDLIST NextPIDL(LPCITEMIDLIST Item) {
  return reinterpret_cast<LPITEMIDLIST>(const_cast<BYTE*>(reinterpret_cast<const BYTE*>(Item)) + Item->mkid.cb);
}

UINT GetPIDLSize(LPCITEMIDLIST List) {
  if (!List) return 0;
  UINT size = sizeof(USHORT);
  for (LPCITEMIDLIST item = List; item->mkid.cb; item = NextPIDL(item)) size += item->mkid.cb;
  return size;
}

LPITEMIDLIST CopyPIDL(LPCITEMIDLIST List) {
  if (!List) return nullptr;
  const UINT size = GetPIDLSize(List);
  LPITEMIDLIST copy = CreatePIDL(size);
  if (copy) std::memcpy(copy, List, size);
  return copy;
}

LPITEMIDLIST ConcatPIDLs(LPCITEMIDLIST First, LPCITEMIDLIST Second) {
  // The items only: the terminators stay out, the new block's last two bytes are its own.
  const UINT first = First ? GetPIDLSize(First) - sizeof(USHORT) : 0;
  const UINT second = Second ? GetPIDLSize(Second) - sizeof(USHORT) : 0;
  LPITEMIDLIST list = CreatePIDL(first + second + sizeof(USHORT));
  if (!list) return nullptr;
  auto* bytes = reinterpret_cast<BYTE*>(list);
  if (first) std::memcpy(bytes, First, first);
  if (second) std::memcpy(bytes + first, Second, second);
  return list;
}

void DisposePIDL(LPITEMIDLIST List) {
  if (List) TaskAllocator()->Free(List);
}

IShellFolder* GetDesktopShellFolder() {
  IShellFolder* folder = nullptr;
  Check(ShellApi.SHGetDesktopFolder(&folder));
  return folder;
}

LPITEMIDLIST GetDesktopPIDL() {
  LPITEMIDLIST list = nullptr;
  Check(ShellApi.SHGetSpecialFolderLocation(nullptr, CSIDL_DESKTOP, &list));
  return list;
}

// ---- TacShellFolder ---------------------------------------------------------------------------------

TacShellFolder::TacShellFolder(TacShellFolder* Parent, IShellFolder* Folder, LPCITEMIDLIST RelativeID)
    : FParent(Parent ? Parent : Unit.Desktop), FIShellFolder(Folder) {
  LPITEMIDLIST relative = CopyPIDL(RelativeID);
  LPITEMIDLIST absolute = nullptr;
  try {
    if (FParent) {
      absolute = ConcatPIDLs(FParent->AbsoluteID(), RelativeID);
    } else {
      LPITEMIDLIST desktop = GetDesktopPIDL();
      absolute = ConcatPIDLs(desktop, RelativeID);
      DisposePIDL(desktop);
    }
  } catch (...) {
    DisposePIDL(relative);
    throw;
  }
  FPIDL = relative;
  FFullPIDL = absolute;
  FDetails = new TStringList();
  if (FIShellFolder) FIShellFolder->AddRef();
  for (TacShellFolder* p = FParent; p; p = p->FParent) ++FLevel;
}

TacShellFolder::~TacShellFolder() {
  delete FDetails;
  FDetails = nullptr;
  // Freed through the allocator while the unit still holds it.
  if (Unit.Malloc) {
    DisposePIDL(FPIDL);
    DisposePIDL(FFullPIDL);
  }
  FPIDL = FFullPIDL = nullptr;
  for (IUnknown** i : {&FIShellDetails, &FDetailInterface})
    if (*i) (*i)->Release(), *i = nullptr;
  if (FIShellFolder) FIShellFolder->Release();
  FIShellFolder = nullptr;
}

TacShellFolder* DesktopFolder() { return Unit.Desktop; }

// ---- start-up and shutdown ----------------------------------------------------------------------------

void StartShellUnit() {
  if (Unit.Started) return;
  InitializeCriticalSection(&Unit.Lock);
  Unit.Started = true;
  const HRESULT hr = ShellApi.OleInitialize(nullptr);
  Unit.OleInitialized = SUCCEEDED(hr);
  try {
    CreateDesktopFolder();
  } catch (...) {
    // Without the shell the program runs on; only the desktop object is missing.
    delete Unit.Desktop;
    Unit.Desktop = nullptr;
  }
}

void StopShellUnit() {
  if (!Unit.Started) return;
  delete Unit.Desktop;
  Unit.Desktop = nullptr;
  // The interfaces go before OLE does.
  if (Unit.DesktopFolder) Unit.DesktopFolder->Release();
  Unit.DesktopFolder = nullptr;
  if (Unit.Malloc) Unit.Malloc->Release();
  Unit.Malloc = nullptr;
  Unit.Started = false;
  DeleteCriticalSection(&Unit.Lock);
  if (Unit.OleInitialized) ShellApi.OleUninitialize();
  Unit.OleInitialized = false;
}
