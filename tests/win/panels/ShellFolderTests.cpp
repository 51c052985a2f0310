// The shell folder unit: the item-ID list routines on real items of the shell's namespace and on
// nullptr and empty lists, folder objects below the desktop's, and the unit's start-up and shutdown
// (OLE released after the interfaces, a failing start-up leaving no object and no error).
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "skin/controls/acShellCtrls.h"
#include "tests/support/Pump.h"

namespace {

std::vector<std::string> Calls;

// A folder interface that only counts its references.
class TFakeFolder : public IShellFolder {
 public:
  ULONG Refs = 1;
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** out) override {
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++Refs; }
  ULONG STDMETHODCALLTYPE Release() override {
    Calls.push_back("folder released");
    return --Refs;
  }
  HRESULT STDMETHODCALLTYPE ParseDisplayName(HWND, LPBC, LPOLESTR, ULONG*, PIDLIST_RELATIVE*, ULONG*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE EnumObjects(HWND, SHCONTF, IEnumIDList**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE BindToObject(PCUIDLIST_RELATIVE, LPBC, REFIID, void**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE BindToStorage(PCUIDLIST_RELATIVE, LPBC, REFIID, void**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE CompareIDs(LPARAM, PCUIDLIST_RELATIVE, PCUIDLIST_RELATIVE) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE CreateViewObject(HWND, REFIID, void**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetAttributesOf(UINT, PCUITEMID_CHILD_ARRAY, SFGAOF*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetUIObjectOf(HWND, UINT, PCUITEMID_CHILD_ARRAY, REFIID, UINT*, void**) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE GetDisplayNameOf(PCUITEMID_CHILD, SHGDNF, STRRET*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetNameOf(HWND, PCUITEMID_CHILD, LPCOLESTR, SHGDNF, PITEMID_CHILD*) override {
    return E_NOTIMPL;
  }
} FakeFolder;

// The system's task allocator, its release recorded.
class TRecordingMalloc : public IMalloc {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** out) override {
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override {
    Calls.push_back("allocator released");
    return 1;
  }
  void* STDMETHODCALLTYPE Alloc(SIZE_T n) override { return CoTaskMemAlloc(n); }
  void* STDMETHODCALLTYPE Realloc(void* p, SIZE_T n) override { return CoTaskMemRealloc(p, n); }
  void STDMETHODCALLTYPE Free(void* p) override {
    Calls.push_back("list freed");
    CoTaskMemFree(p);
  }
  SIZE_T STDMETHODCALLTYPE GetSize(void*) override { return SIZE_T(-1); }
  int STDMETHODCALLTYPE DidAlloc(void*) override { return -1; }
  void STDMETHODCALLTYPE HeapMinimize() override {}
} RecordingMalloc;

HRESULT failDesktop = S_OK;

HRESULT WINAPI RecordOleInitialize(LPVOID) {
  Calls.push_back("ole initialised");
  return S_FALSE;
}
void WINAPI RecordOleUninitialize() { Calls.push_back("ole released"); }
HRESULT WINAPI RecordingGetMalloc(IMalloc** m) {
  *m = &RecordingMalloc;
  return S_OK;
}
HRESULT WINAPI FakeDesktopFolder(IShellFolder** f) {
  if (FAILED(failDesktop)) return failDesktop;
  FakeFolder.Refs = 1;
  *f = &FakeFolder;
  return S_OK;
}

TacShellApi RecordingApi() {
  return TacShellApi{&RecordOleInitialize, &RecordOleUninitialize, &RecordingGetMalloc, &FakeDesktopFolder,
                     SystemShellApi().SHGetSpecialFolderLocation};
}

std::vector<BYTE> Bytes(LPCITEMIDLIST l) {
  const BYTE* p = reinterpret_cast<const BYTE*>(l);
  return std::vector<BYTE>(p, p + GetPIDLSize(l));
}

class ShellFolder : public ::testing::Test {
 protected:
  void TearDown() override {
    // Back to the unit the program started with.
    StopShellUnit();
    ShellApi = SystemShellApi();
    failDesktop = S_OK;
    StartShellUnit();
  }
};

}  // namespace

// The routines on nullptr, empty and real lists of the namespace (My Computer, the documents folder):
// sizes, copies and joins, the items one after another.
TEST_F(ShellFolder, ItemIDListsOnRealItems) {
  ASSERT_NE(nullptr, DesktopFolder()) << "made at start-up";
  EXPECT_EQ(0, DesktopFolder()->Level());
  EXPECT_EQ(2u, GetPIDLSize(DesktopFolder()->AbsoluteID())) << "the desktop's list is empty";
  EXPECT_EQ(0u, GetPIDLSize(nullptr));
  EXPECT_EQ(nullptr, CopyPIDL(nullptr));

  LPITEMIDLIST empty = CreatePIDL(2);
  for (int csidl : {CSIDL_DRIVES, CSIDL_PERSONAL, CSIDL_DESKTOP}) {
    LPITEMIDLIST item = nullptr;
    ASSERT_EQ(S_OK, SHGetSpecialFolderLocation(nullptr, csidl, &item)) << csidl;
    const std::vector<BYTE> want = Bytes(item);
    EXPECT_EQ(ILGetSize(item), GetPIDLSize(item)) << csidl;
    UINT walked = 2;
    for (LPCITEMIDLIST i = item; i->mkid.cb; i = NextPIDL(i)) walked += i->mkid.cb;
    EXPECT_EQ(walked, GetPIDLSize(item));
    const struct {
      const char* Name;
      LPITEMIDLIST List;
    } made[] = {{"copy", CopyPIDL(item)},
                {"nullptr joined with it", ConcatPIDLs(nullptr, item)},
                {"empty joined with it", ConcatPIDLs(empty, item)},
                {"it joined with nullptr", ConcatPIDLs(item, nullptr)},
                {"it joined with empty", ConcatPIDLs(item, empty)}};
    for (const auto& m : made) {
      EXPECT_EQ(want, Bytes(m.List)) << m.Name << ", folder " << csidl;
      EXPECT_NE(static_cast<void*>(item), static_cast<void*>(m.List));
      DisposePIDL(m.List);
    }
    LPITEMIDLIST twice = ConcatPIDLs(item, item);
    EXPECT_EQ(2 * GetPIDLSize(item) - 2, GetPIDLSize(twice));
    DisposePIDL(twice);
    CoTaskMemFree(item);
  }
  for (LPITEMIDLIST l : {ConcatPIDLs(nullptr, nullptr), ConcatPIDLs(empty, empty), CopyPIDL(empty)}) {
    EXPECT_EQ(2u, GetPIDLSize(l));
    DisposePIDL(l);
  }
  DisposePIDL(empty);
}

// A folder object below the desktop's: its level, its own list and the absolute list the shell
// resolves to the same folder.
TEST_F(ShellFolder, FoldersBelowTheDesktop) {
  TacShellFolder* desktop = DesktopFolder();
  ASSERT_NE(nullptr, desktop);
  LPITEMIDLIST drives = nullptr;
  ASSERT_EQ(S_OK, SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES, &drives));
  IShellFolder* folder = nullptr;
  ASSERT_EQ(S_OK,
            desktop->ShellFolder()->BindToObject(drives, nullptr, IID_IShellFolder, reinterpret_cast<void**>(&folder)));
  {
    TacShellFolder computer(nullptr, folder, drives);
    EXPECT_EQ(desktop, computer.Parent()) << "no parent: the desktop's";
    EXPECT_EQ(1, computer.Level());
    EXPECT_EQ(Bytes(drives), Bytes(computer.RelativeID()));
    EXPECT_EQ(Bytes(drives), Bytes(computer.AbsoluteID())) << "the desktop adds no items";
    TacShellFolder below(&computer, folder, drives);
    EXPECT_EQ(2, below.Level());
    EXPECT_EQ(2 * GetPIDLSize(drives) - 2, GetPIDLSize(below.AbsoluteID()));
    EXPECT_TRUE(computer.Details() && computer.Details()->Count() == 0);
  }
  EXPECT_EQ(0u, folder->Release()) << "the folder objects let their references go";
  CoTaskMemFree(drives);
}

// Shutdown frees the desktop object and releases the interfaces before OLE; a start-up whose shell
// fails makes no object, raises nothing and leaves OLE as it found it.
TEST_F(ShellFolder, StartUpAndShutdownOrder) {
  StopShellUnit();
  EXPECT_EQ(nullptr, DesktopFolder());
  ShellApi = RecordingApi();
  Calls.clear();
  StartShellUnit();
  ASSERT_NE(nullptr, DesktopFolder());
  EXPECT_EQ(&FakeFolder, DesktopFolder()->ShellFolder());
  Calls.clear();
  StopShellUnit();
  EXPECT_EQ(nullptr, DesktopFolder());
  ASSERT_FALSE(Calls.empty());
  EXPECT_EQ("ole released", Calls.back()) << "OLE goes last";
  EXPECT_EQ(std::vector<std::string>({"list freed", "list freed", "folder released", "folder released",
                                      "allocator released", "ole released"}),
            Calls);
  EXPECT_EQ(0u, FakeFolder.Refs);

  failDesktop = E_FAIL;
  Calls.clear();
  EXPECT_NO_THROW(StartShellUnit());
  EXPECT_EQ(nullptr, DesktopFolder());
  EXPECT_NO_THROW(StopShellUnit());
  EXPECT_EQ("ole released", Calls.back());
  EXPECT_THROW(GetDesktopShellFolder(), EOleSysError);
}
