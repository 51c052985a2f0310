// The skin manager: loading from the three sources, bad skins, listing, lookups, hot window, hook.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <new>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "skin/engine/acSkinPack.h"
#include "skin/engine/core/acSkinLoader.h"
#include "skin/engine/sSkinManager.h"
#include "tests/support/MessageSpy.h"
#include "tests/support/Pump.h"
#include "tests/support/SkinTestSupport.h"

using namespace qvtest;
namespace fs = std::filesystem;

namespace {

struct TErrorLog {
  std::vector<std::string> Texts;
  void OnError(TObject*, const std::string& text) { Texts.push_back(text); }
};

std::vector<std::string> Lines(TStrings* list) {
  std::vector<std::string> out;
  for (int i = 0; i < list->Count(); ++i) out.push_back(list->Strings(i));
  return out;
}

class SkinManager : public SkinEngineTest {
 protected:
  void TearDown() override {
    FreeAndNil(Manager);
    SkinEngineTest::TearDown();
  }
  TsSkinManager* Manager = nullptr;
  TTempDir Dir;
};

}  // namespace

TEST_F(SkinManager, LoadsFromFolder) {
  TSkinBuilder::Standard().WriteFolder(Dir.Path() / "FolderSkin");
  Manager = Create<TsSkinManager>(nullptr);
  Manager->SetSkinDirectory(Dir.Path().string());
  Manager->SetSkinName("FolderSkin");
  EXPECT_EQ("", Manager->LastError());
  ASSERT_TRUE(Manager->SkinData()->Active);
  EXPECT_EQ("FolderSkin", Manager->SkinName());
  EXPECT_EQ((Dir.Path() / "FolderSkin").string(), Manager->SkinData()->SkinSource);
  EXPECT_GE(Manager->SectionIndexOf("BUTTON"), 0);
}

// A skin loaded again is the one kept of it only while its source is as it was: a folder's image
// rewritten at the same size and a file taken away from it (the second fails and the look stays),
// a packed file written over and a stored skin's bytes changed in place are each read anew.
TEST_F(SkinManager, SkinLoadedAgainShowsWhatItsSourceHoldsNow) {
  const TSkinBuilder b = TSkinBuilder::Standard();
  const fs::path folder = b.WriteFolder(Dir.Path() / "Live");
  Manager = Create<TsSkinManager>(nullptr);
  Manager->SetSkinDirectory(Dir.Path().string());
  auto buttonFrame = [&] {
    const int mask = Manager->MaskIndexOf("BUTTON", "BORDERSMASK");
    return mask < 0 ? qv::TBgr{} : Manager->MaskImage(mask)->Pixel(6, 6);
  };
  const qv::TBgr button = qv::BgrOf(TSkinBuilder::FrameColor(b.MaskOrdinal("BUTTON", "BORDERSMASK"), 0));
  const qv::TBgr speed = qv::BgrOf(TSkinBuilder::FrameColor(b.MaskOrdinal("SPEEDBUTTON", "BORDERSMASK"), 0));
  // The speed button's picture, of the same size, in the button's place.
  std::vector<std::uint8_t> speedPicture;
  for (const qv::TPackedEntry& f : b.Files())
    if (f.Name == "speedbutton_bordersmask.bmp") speedPicture = f.Data;
  TSkinBuilder changed = TSkinBuilder::Standard();
  changed.ReplaceFile("button_bordersmask.bmp", speedPicture);
  b.WritePacked(Dir.Path() / "LivePacked.asz");
  Manager->AddInternalSkin("LiveStored", b.Packed());
  const struct {
    const char* Name;
    std::function<void()> Change;
  } sources[] = {
      {"Live",
       [&] {
         std::ofstream(folder / "button_bordersmask.bmp", std::ios::binary | std::ios::trunc)
             .write(reinterpret_cast<const char*>(speedPicture.data()), std::streamsize(speedPicture.size()));
         fs::last_write_time(folder / "button_bordersmask.bmp",
                             fs::file_time_type::clock::now() + std::chrono::seconds(2));
       }},
      {"LivePacked", [&] { changed.WritePacked(Dir.Path() / "LivePacked.asz"); }},
      {"LiveStored",
       [&] { Manager->InternalSkins()[Manager->InternalSkinIndex("LiveStored")].Data = changed.Packed(); }},
  };
  for (const auto& src : sources) {
    SCOPED_TRACE(src.Name);
    for (int i = 0; i < 2; ++i) {
      Manager->SetSkinName(src.Name);
      EXPECT_EQ("", Manager->LastError());
      EXPECT_TRUE(buttonFrame() == button) << "loaded " << i + 1 << " times, source unchanged";
    }
    src.Change();
    Manager->SetSkinName(src.Name);
    EXPECT_EQ("", Manager->LastError());
    EXPECT_TRUE(buttonFrame() == speed) << "the rewritten image shows";
  }
  Manager->SetSkinName("Live");
  fs::remove(folder / "edit_bordersmask.bmp");
  Manager->SetSkinName("Live");
  EXPECT_NE("", Manager->LastError()) << "a file gone is missed";
  EXPECT_TRUE(buttonFrame() == speed) << "the look stays";
}

TEST_F(SkinManager, LoadsFromPackedFile) {
  TSkinBuilder::Standard().WritePacked(Dir.Path() / "PackedSkin.asz");
  Manager = Create<TsSkinManager>(nullptr);
  Manager->SetSkinDirectory(Dir.Path().string());
  Manager->SetSkinName("PackedSkin");
  EXPECT_EQ("", Manager->LastError());
  ASSERT_TRUE(Manager->SkinData()->Active);
  EXPECT_EQ((Dir.Path() / "PackedSkin.asz").string(), Manager->SkinData()->SkinSource);
  EXPECT_GE(Manager->SectionIndexOf("EDIT"), 0);
}

TEST_F(SkinManager, LoadsBuiltInResource) {
  std::vector<std::uint8_t> bytes;
  ASSERT_TRUE(LoadBuiltInSkin(bytes)) << "the executable carries no built-in skin";
  EXPECT_EQ(0, std::string(bytes.begin(), bytes.begin() + 4).compare("ASzf"));
  Manager = Create<TsSkinManager>(nullptr);
  ASSERT_FALSE(Manager->InternalSkins().empty());
  EXPECT_EQ(BuiltInSkinName, Manager->InternalSkins().front().Name);
  // An empty skin folder: only the stored skin can answer the name.
  Manager->SetSkinDirectory(Dir.Path().string());
  Manager->SetSkinName(BuiltInSkinName);
  EXPECT_EQ("", Manager->LastError());
  ASSERT_TRUE(Manager->SkinData()->Active);
  EXPECT_EQ("(stored with the program)", Manager->SkinData()->SkinSource);
  EXPECT_GE(Manager->SectionIndexOf("FORM"), 0);
}

TEST_F(SkinManager, StoredSkinWinsOverFolderOfSameName) {
  TSkinBuilder other = TSkinBuilder::Standard();
  other.Section("ONLYONDISK");
  other.WriteFolder(Dir.Path() / "Same");
  Manager = Create<TsSkinManager>(nullptr);
  Manager->SetSkinDirectory(Dir.Path().string());
  Manager->AddInternalSkin("Same", TSkinBuilder::Standard().Packed());
  Manager->SetSkinName("Same");
  ASSERT_TRUE(Manager->SkinData()->Active);
  EXPECT_EQ(-1, Manager->SectionIndexOf("ONLYONDISK"));
}

// A bad skin of each kind: the previous skin stays with its sections, the error is told once. A skin
// that gives no section a look is bad, and so is a name that reaches outside the skin folder (here
// to a good skin beside it).
TEST_F(SkinManager, BadSkinsKeepThePreviousLook) {
  struct Case {
    std::string Name;
    void (*Make)(const fs::path& skins);
  };
  const fs::path skins = Dir.Path() / "Skins";
  fs::create_directories(skins);
  TSkinBuilder::Standard().WriteFolder(Dir.Path() / "Outside");
  const std::string outside = (Dir.Path() / "Outside").string();
  ASSERT_EQ(':', outside.at(1));
  auto nothing = [](const fs::path&) {};
  const Case cases[] = {
      {"NotThere", nothing},
      {"NoOptions",
       [](const fs::path& d) { TSkinBuilder::Standard().DropFile("Options.dat").WriteFolder(d / "NoOptions"); }},
      {"BadOptions",
       [](const fs::path& d) {
         TSkinBuilder::Standard()
             .RawMask("BUTTON", "BORDERSMASK", "mask: file=x.bmp count=0")
             .WriteFolder(d / "BadOptions");
       }},
      {"MissingImage",
       [](const fs::path& d) {
         TSkinBuilder::Standard().DropFile("button_bordersmask.bmp").WritePacked(d / "MissingImage.asz");
       }},
      {"Garbage",
       [](const fs::path& d) {
         std::ofstream(d / "Garbage.asz", std::ios::binary) << "ASzf but not a packed skin at all";
       }},
      {"Truncated",
       [](const fs::path& d) {
         auto bytes = TSkinBuilder::Standard().Packed();
         bytes.resize(bytes.size() / 2);
         std::ofstream f(d / "Truncated.asz", std::ios::binary);
         f.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
       }},
      {"EmptyOptions",
       [](const fs::path& d) { TSkinBuilder::Standard().ReplaceOptions("").WriteFolder(d / "EmptyOptions"); }},
      {"CommentsOnly",
       [](const fs::path& d) {
         TSkinBuilder::Standard().ReplaceOptions("; a skin\n\n# and nothing else\n").WriteFolder(d / "CommentsOnly");
       }},
      {"UnknownKeysOnly",
       [](const fs::path& d) {
         TSkinBuilder::Standard()
             .ReplaceOptions("[SKININFO]\nAUTHOR=someone\n[BUTTON]\nVERSION=2\n")
             .WritePacked(d / "UnknownKeysOnly.asz");
       }},
      {"EmptyPack",
       [](const fs::path& d) { TSkinBuilder::Standard().ReplaceOptions("").WritePacked(d / "EmptyPack.asz"); }},
      {"ParentLoop",
       [](const fs::path& d) {
         TSkinBuilder::Standard()
             .ReplaceOptions("[BUTTON]\nPARENTCLASS=EDIT\n[EDIT]\nPARENTCLASS=BUTTON\n")
             .WriteFolder(d / "ParentLoop");
       }},
      {"ParentChain",
       [](const fs::path& d) {
         std::string text;
         for (int i = 0; i < 2000; ++i)
           text += "[S" + std::to_string(i) + "]\nPARENTCLASS=S" + std::to_string(i + 1) + "\n";
         TSkinBuilder::Standard().ReplaceOptions(text).WritePacked(d / "ParentChain.asz");
       }},
      {"..\\Outside", nothing},
      {"../Outside", nothing},
      {"Skins\\..\\..\\Outside", nothing},
      {outside, nothing},
      {outside.substr(2), nothing},  // rooted, without the drive
  };
  TErrorLog log;
  Manager = CreateTestManager(TSkinBuilder::Standard(), "Good");
  Manager->SetSkinDirectory(skins.string());
  Manager->OnSkinLoadError = MakeMethod<&TErrorLog::OnError>(&log);
  ASSERT_TRUE(Manager->SkinData()->Active);
  const int button = Manager->SectionIndexOf("BUTTON");
  const qv::TSkinModel* before = Manager->Skin();

  TTestHost host;
  auto* ctrl = Create<TTestSkinControl>(nullptr, tcButton);
  ctrl->SetParent(host.Control());
  ctrl->SetBounds(10, 10, 60, 24);
  ctrl->HandleNeeded();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    c.Make(skins);
    log.Texts.clear();
    ctrl->Commands.clear();
    Manager->SetSkinName(c.Name);
    ASSERT_EQ(1u, log.Texts.size());
    EXPECT_NE(std::string::npos, log.Texts[0].find(c.Name)) << log.Texts[0];
    EXPECT_EQ(log.Texts[0], Manager->LastError());
    EXPECT_EQ("Good", Manager->SkinName());
    EXPECT_TRUE(Manager->SkinData()->Active);
    EXPECT_EQ(before, Manager->Skin());
    EXPECT_EQ(button, Manager->SectionIndexOf("BUTTON"));
    EXPECT_TRUE(ctrl->Commands.empty()) << "a failed load must not touch the controls";
    EXPECT_TRUE(ctrl->SkinData->Skinned());
  }
  // A good skin afterwards clears the error.
  Manager->SetSkinName("Good");
  EXPECT_EQ("", Manager->LastError());
  ctrl->Free();
}

namespace {
// Handles of this process open on a file whose path holds Part (every handle value asked).
int FilesOpenOn(const std::wstring& part) {
  int open = 0;
  for (std::uintptr_t v = 4; v < 0x4000; v += 4) {
    const HANDLE h = reinterpret_cast<HANDLE>(v);
    DWORD flags = 0;
    if (!GetHandleInformation(h, &flags) || GetFileType(h) != FILE_TYPE_DISK) continue;
    wchar_t path[MAX_PATH * 2] = {};
    if (GetFinalPathNameByHandleW(h, path, DWORD(std::size(path)), 0) &&
        std::wstring(path).find(part) != std::wstring::npos)
      ++open;
  }
  return open;
}
}  // namespace

// A folder skin's many files are read side by side, yet a bad file fails the load with the very
// text of the loader that reads them one by one: the first bad file in the skin's order is named,
// whichever was read first, every time. No file of any skin stays open (running out of memory on a
// reading thread is a case of RunningOutOfMemoryFailsCleanlyFromEverySource).
TEST_F(SkinManager, FolderSkinWithABadFileAmongManyFailsWithItsOwnText) {
  TSkinBuilder b = TSkinBuilder::Standard();
  for (int i = 0; i < 40; ++i) b.Mask("ZA" + std::to_string(i), "BORDERSMASK");
  const std::string early = "button_bordersmask.bmp", late = "za39_bordersmask.bmp";
  auto cut = [](const fs::path& file, std::uintmax_t size) { fs::resize_file(file, size); };
  const struct {
    const char* Name;
    std::function<void(const fs::path&)> Spoil;
  } cases[] = {
      {"EarlyCutLateGone",
       [&](const fs::path& d) {
         cut(d / early, fs::file_size(d / early) / 2);
         fs::remove(d / late);
       }},
      {"LateGone", [&](const fs::path& d) { fs::remove(d / late); }},
      {"EarlyGarbageLateCut",
       [&](const fs::path& d) {
         std::ofstream(d / early, std::ios::binary | std::ios::trunc) << "not a bitmap";
         cut(d / late, 20);
       }},
  };
  Manager = CreateTestManager(TSkinBuilder::Standard(), "Good");
  Manager->SetSkinDirectory(Dir.Path().string());
  b.WriteFolder(Dir.Path() / "Many");
  for (int i = 0; i < 2; ++i) {
    Manager->SetSkinName("Many");
    EXPECT_EQ("", Manager->LastError());
  }
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    const fs::path folder = b.WriteFolder(Dir.Path() / c.Name);
    c.Spoil(folder);
    std::string alone;
    ASSERT_EQ(nullptr, qv::LoadSkinFromFolder(folder, alone));
    ASSERT_NE(std::string::npos, alone.find(std::string(c.Name) == "LateGone" ? late : early)) << alone;
    for (int i = 0; i < 5; ++i) {
      Manager->SetSkinName(c.Name);
      const std::string error = Manager->LastError();
      ASSERT_GE(error.size(), alone.size());
      EXPECT_EQ(": " + alone, error.substr(error.size() - alone.size() - 2)) << "load " << i + 1;
      EXPECT_EQ("Many", Manager->SkinName());
    }
  }
  EXPECT_EQ(0, FilesOpenOn(Dir.Path().filename().wstring()));
}

TEST_F(SkinManager, BadSkinWithoutPreviousKeepsThePlainLook) {
  Manager = Create<TsSkinManager>(nullptr);
  Manager->SetSkinDirectory(Dir.Path().string());
  Manager->AddInternalSkin("Broken", std::vector<std::uint8_t>{'A', 'S', 'z', 'f', 1, 0});
  Manager->SetSkinName("Broken");
  EXPECT_FALSE(Manager->SkinData()->Active);
  EXPECT_EQ(nullptr, Manager->Skin());
  EXPECT_NE("", Manager->LastError());
  EXPECT_EQ("", Manager->SkinName());
  EXPECT_EQ(-1, Manager->SectionIndexOf("BUTTON"));
  EXPECT_FALSE(Manager->IsSectionIndex(0));
}

namespace {
// While armed, every allocation of this many bytes or more fails: the program runs out of memory.
std::size_t FailAllocationsFrom = SIZE_MAX;
struct TOutOfMemory {
  explicit TOutOfMemory(std::size_t from) { FailAllocationsFrom = from; }
  ~TOutOfMemory() { FailAllocationsFrom = SIZE_MAX; }
};
}  // namespace

// Allocates as the library's own operator new does (its operator delete frees with free).
void* operator new(std::size_t n) {
  if (n >= FailAllocationsFrom) throw std::bad_alloc();
  if (void* p = std::malloc(n ? n : 1)) return p;
  throw std::bad_alloc();
}

// A skin too large for the memory left fails like any bad skin, whether it comes from bytes, from
// the skins stored with the program, from a file or from a folder: error text, event, the previous
// skin kept.
TEST_F(SkinManager, RunningOutOfMemoryFailsCleanlyFromEverySource) {
  TSkinBuilder big = TSkinBuilder::Standard();
  big.Mask("BUTTON", "PATTERN", 700, 700, 1);  // 1.4 MB of pixels
  const std::vector<std::uint8_t> bytes = big.Packed();
  big.WritePacked(Dir.Path() / "Big.asz");
  big.WriteFolder(Dir.Path() / "BigFolder");  // its files read side by side: the large one on any thread
  TErrorLog log;
  Manager = CreateTestManager(TSkinBuilder::Standard(), "Good");
  Manager->SetSkinDirectory(Dir.Path().string());
  Manager->AddInternalSkin("Stored", bytes);
  Manager->OnSkinLoadError = MakeMethod<&TErrorLog::OnError>(&log);
  const qv::TSkinModel* before = Manager->Skin();
  const struct {
    const char* Name;
    std::function<void()> Load;
  } sources[] = {{"memory", [&] { Manager->LoadSkinFromBytes(bytes.data(), bytes.size(), "Big"); }},
                 {"stored", [&] { Manager->SetSkinName("Stored"); }},
                 {"file", [&] { Manager->SetSkinName("Big"); }},
                 {"folder", [&] { Manager->SetSkinName("BigFolder"); }}};
  for (const auto& src : sources) {
    SCOPED_TRACE(src.Name);
    log.Texts.clear();
    {
      TOutOfMemory oom(1 << 20);
      src.Load();
    }
    ASSERT_EQ(1u, log.Texts.size());
    EXPECT_NE(std::string::npos, log.Texts[0].find("not enough memory")) << log.Texts[0];
    EXPECT_EQ("Good", Manager->SkinName());
    EXPECT_EQ(before, Manager->Skin());
    src.Load();
    EXPECT_EQ("", Manager->LastError()) << "with the memory back it loads";
    Manager->SetSkinName("Good");
    before = Manager->Skin();
  }
}

TEST_F(SkinManager, ListSkinsIsSortedAndSkipsNonSkins) {
  TSkinBuilder::Standard().WriteFolder(Dir.Path() / "zeta");
  TSkinBuilder::Standard().WriteFolder(Dir.Path() / "Alpha");
  TSkinBuilder::Standard().WritePacked(Dir.Path() / "beta.asz");
  TSkinBuilder::Standard().WritePacked(Dir.Path() / "Gamma.ASZ");
  fs::create_directories(Dir.Path() / "NoSkin");
  std::ofstream(Dir.Path() / "readme.txt") << "not a skin";
  Manager = Create<TsSkinManager>(nullptr);
  Manager->SetSkinDirectory(Dir.Path().string());
  Manager->AddInternalSkin("Mu", TSkinBuilder::Standard().Packed());
  auto* list = Create<TStringList>();
  std::string first;

  // Names beyond ASCII are listed in the ANSI code page and load by the name listed; one that code
  // page cannot spell is left out.
  ASSERT_EQ(1252u, GetACP());
  TSkinBuilder::Standard().WriteFolder(Dir.Path() / fs::path(L"Gr\u00FCn"));
  TSkinBuilder::Standard().WritePacked(Dir.Path() / fs::path(L"K\u00E4se.asz"));
  TSkinBuilder::Standard().WriteFolder(Dir.Path() / fs::path(L"\u0416"));

  Manager->ListSkins(list, stAllSkins, first);
  std::vector<std::string> expected = {"Alpha", "beta", "Default", "Gamma", "Gr\xFCn", "K\xE4se", "Mu", "zeta"};
  if (Manager->InternalSkinIndex("Default") < 0) expected.erase(expected.begin() + 2);
  EXPECT_EQ(expected, Lines(list));
  EXPECT_EQ("Alpha", first);
  for (const std::string& name : expected) {
    Manager->SetSkinName(name);
    EXPECT_EQ("", Manager->LastError()) << name;
    EXPECT_EQ(name, Manager->SkinName());
  }

  Manager->ListSkins(list, stUnpacked, first);
  const auto unpacked = Lines(list);
  EXPECT_EQ(unpacked.end(), std::find(unpacked.begin(), unpacked.end(), "beta"));
  EXPECT_NE(unpacked.end(), std::find(unpacked.begin(), unpacked.end(), "zeta"));
  list->Free();
}

TEST_F(SkinManager, LookupsAndGlobalColours) {
  TSkinBuilder b = TSkinBuilder::Standard();
  b.Section("CHILD", "BUTTON");
  Manager = CreateTestManager(b);
  const int child = Manager->SectionIndexOf("CHILD");
  ASSERT_GE(child, 0);
  EXPECT_EQ(-1, Manager->MaskIndexOf("CHILD", "BORDERSMASK"));
  EXPECT_EQ(Manager->MaskIndexOf("BUTTON", "BORDERSMASK"), Manager->LookupMask(child, "CHILD", "BORDERSMASK"));
  EXPECT_EQ(-1, Manager->SectionIndexOf("button")) << "names compare exactly";
  EXPECT_TRUE(Manager->IsSectionIndex(0));
  EXPECT_FALSE(Manager->IsSectionIndex(-1));
  EXPECT_FALSE(Manager->IsSectionIndex(Manager->SectionCount()));
  EXPECT_FALSE(Manager->IsMaskIndex(Manager->MaskCount()));
  const int mask = Manager->MaskIndexOf("BUTTON", "BORDERSMASK");
  EXPECT_EQ((TSize{12, 12}), Manager->GetMaskItemSize(mask));
  EXPECT_EQ(4, Manager->MaskMarginLeft(mask)) << "a third of the frame width";
  EXPECT_EQ(4, Manager->MaskMarginBottom(mask));
  EXPECT_EQ(TColor(Manager->Section(Manager->ConstData().GlobalInfo).Color), Manager->GetGlobalColor());
  EXPECT_EQ(Manager->SectionIndexOf("COMBOBTN"), Manager->ConstData().ComboBtn.Section);
  EXPECT_EQ(Manager->MaskIndexOf("COMBOBOX", "GLYPHMASK"), Manager->ConstData().ComboBoxGlyph);
  EXPECT_EQ(Manager->SectionIndexOf("TABTOP"), Manager->ConstData().TabTop.Section);

  FreeAndNil(Manager);
  Manager = CreateTestManager(TSkinBuilder::Standard().RemoveSection("GLOBALINFO"));
  EXPECT_EQ(TColor(ColorToRGB(clBtnFace)), Manager->GetGlobalColor());
  EXPECT_EQ(clParentColorUnset, Manager->GetGlobalFontColor());
  EXPECT_EQ(TColor(ColorToRGB(clWindow)), Manager->GetGlobalHotColor());
}

TEST_F(SkinManager, DefaultManagerAndThirdPartyLists) {
  Manager = Create<TsSkinManager>(nullptr);
  EXPECT_TRUE(Manager->IsDefault());
  auto* second = Create<TsSkinManager>(nullptr);
  EXPECT_FALSE(second->IsDefault());
  second->Free();
  EXPECT_EQ(Manager, DefaultManager);

  ASSERT_EQ(17u, Manager->ThirdLists().size());
  EXPECT_EQ(std::string("StatusBar"), ThirdKindNames[tkStatusBar]);
  EXPECT_EQ(18, Manager->ThirdLists()[tkEdit]->Count());
  EXPECT_EQ("TEdit", Manager->ThirdLists()[tkEdit]->Strings(0));
  EXPECT_EQ("TDBEdit", Manager->ThirdLists()[tkEdit]->Strings(17));
  EXPECT_EQ("TButton", Manager->ThirdLists()[tkButton]->Strings(0));
  EXPECT_EQ(11, Manager->ThirdLists()[tkGrid]->Count());
  Manager->ThirdParty()->SetThirdButtons("TButton\r\nTMyButton\r\n");
  ASSERT_EQ(2, Manager->ThirdLists()[tkButton]->Count());
  EXPECT_EQ("TMyButton", Manager->ThirdLists()[tkButton]->Strings(1));

  EXPECT_TRUE(Manager->SkinnedPopups());
  EXPECT_TRUE(Manager->Active());
  EXPECT_EQ((TacSkinningRules{srStdForms, srStdDialogs, srThirdParty}), Manager->SkinningRules());
  EXPECT_FALSE(Manager->MenuSupport()->UseExtraLine);
  EXPECT_EQ(32, Manager->MenuSupport()->ExtraLineWidth);
  ASSERT_NE(nullptr, Manager->SkinableMenus());
  EXPECT_FALSE(Manager->SkinableMenus()->Skinned);

  FreeAndNil(Manager);
  EXPECT_EQ(nullptr, DefaultManager);
}

TEST_F(SkinManager, AnimEventAllowedFollowsTheDefaultSet) {
  Manager = Create<TsSkinManager>(nullptr);
  EXPECT_TRUE(AnimEventAllowed(aeMouseDown, TacAnimatEvents{aeGlobalDef}));
  Manager->SetAnimEventsDefault(TacAnimatEvents{aeMouseEnter});
  EXPECT_FALSE(AnimEventAllowed(aeMouseDown, TacAnimatEvents{aeGlobalDef}));
  EXPECT_TRUE(AnimEventAllowed(aeMouseEnter, TacAnimatEvents{aeGlobalDef}));
  EXPECT_TRUE(AnimEventAllowed(aeMouseDown, TacAnimatEvents{aeMouseDown}));
  EXPECT_FALSE(AnimEventAllowed(aeMouseUp, TacAnimatEvents{}));
}

// The old hot window hears 30 before the new one hears 29; the same window again sends nothing.
TEST_F(SkinManager, SetHotWindowSends30Then29) {
  Manager = CreateTestManager(TSkinBuilder::Standard());
  TTestHost host;
  auto* a = Create<TTestSkinControl>(nullptr);
  auto* b = Create<TTestSkinControl>(nullptr);
  for (auto* c : {a, b}) {
    c->SetParent(host.Control());
    c->SetBounds(0, 0, 20, 20);
    c->HandleNeeded();
  }
  MessageSpy spy;
  spy.Watch(a->Handle());
  spy.Watch(b->Handle());
  Manager->SetHotWindow(a->Handle());
  Manager->SetHotWindow(b->Handle());
  Manager->SetHotWindow(b->Handle());
  Manager->SetHotWindow(nullptr);
  std::vector<MsgEntry> cmds;
  for (const auto& e : spy.Entries())
    if (e.Msg == SM_QUORVEXCMD) cmds.push_back(e);
  const unsigned f = msgSent | msgWParam | msgHwnd;
  EXPECT_EQ("", CheckSequence(cmds, {{SM_QUORVEXCMD, f, SkinCommandWParam(29), 0, a->Handle()},
                                     {SM_QUORVEXCMD, f, SkinCommandWParam(30), 0, a->Handle()},
                                     {SM_QUORVEXCMD, f, SkinCommandWParam(29), 0, b->Handle()},
                                     {SM_QUORVEXCMD, f, SkinCommandWParam(30), 0, b->Handle()}}));
  EXPECT_EQ(nullptr, Manager->HotWindow());
  spy.Unwatch(a->Handle());
  spy.Unwatch(b->Handle());
  a->Free();
  b->Free();
}

namespace {
int ProvidersFreed = 0;
class TFakeProvider : public TComponent {
 public:
  TFakeProvider() : TComponent(nullptr) {}
  ~TFakeProvider() override { ++ProvidersFreed; }
};
int HookCalls = 0;
LRESULT FakeHook(int code, WPARAM w, LPARAM l) {
  ++HookCalls;
  return CallNextHookEx(CBTHook, code, w, l);
}
int MnuCleared = 0;
void FakeClearMnu() { ++MnuCleared; }
}  // namespace

TEST_F(SkinManager, HookIsInstalledOnceForTheDefaultManagerAndRemovedWithItsProviders) {
  DialogHookProc = FakeHook;
  ClearMnuArrayProc = FakeClearMnu;
  Manager = CreateTestManager(TSkinBuilder::Standard());
  ASSERT_TRUE(Manager->HookInstalled());
  ASSERT_NE(nullptr, DialogProviders);
  HHOOK first = CBTHook;
  Manager->InstallHook();
  EXPECT_EQ(first, CBTHook);

  auto* other = CreateTestManager(TSkinBuilder::Standard(), "Other", false);
  EXPECT_FALSE(other->HookInstalled());
  other->Free();

  HookCalls = 0;
  HWND w = CreateWindowExA(0, "STATIC", "x", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  DestroyWindow(w);
  EXPECT_GT(HookCalls, 0);

  ProvidersFreed = 0;
  MnuCleared = 0;
  DialogProviders->Add(Create<TFakeProvider>());
  DialogProviders->Add(nullptr);
  DialogProviders->Add(Create<TFakeProvider>());
  Manager->RemoveHook();
  EXPECT_EQ(2, ProvidersFreed);
  EXPECT_EQ(1, MnuCleared);
  EXPECT_EQ(nullptr, DialogProviders);
  EXPECT_EQ(nullptr, CBTHook);
  DialogHookProc = nullptr;
  ClearMnuArrayProc = nullptr;
}

TEST_F(SkinManager, SkinnedFormsList) {
  TTestHost h1, h2, h3;
  const std::size_t base = SkinnedForms().size();
  EXPECT_EQ(int(base) + 1, AddSkinnedForm(h1.Control()));
  EXPECT_EQ(int(base) + 2, AddSkinnedForm(h2.Control()));
  EXPECT_EQ(int(base) + 3, AddSkinnedForm(h3.Control()));
  RemoveSkinnedForm(h1.Control());
  ASSERT_EQ(base + 2, SkinnedForms().size());
  EXPECT_EQ(h3.Control(), SkinnedForms()[base]) << "the last entry moves into the freed place";
  RemoveSkinnedForm(h2.Control());
  RemoveSkinnedForm(h3.Control());
  RemoveSkinnedForm(h3.Control());
  EXPECT_EQ(base, SkinnedForms().size());
}
