// The manager's cached indexes, published properties by name, its menu skinning (popup menus found
// by the application hook) and the hook's exceptions.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <memory>

#include "classlib/ComCtrls.h"
#include "classlib/Forms.h"
#include "classlib/core/TypInfo.h"
#include "skin/controls/sCustomComboEdit.h"
#include "skin/controls/sPageControl.h"
#include "skin/controls/sSpeedButton.h"
#include "skin/controls/sSpinEdit.h"
#include "skin/engine/sCommonData.h"
#include "skin/engine/sQuorvexGraph.h"
#include "skin/engine/sSkinManager.h"
#include "tests/support/MessageSpy.h"
#include "tests/support/Pump.h"
#include "tests/support/SkinTestSupport.h"

using namespace qvtest;

namespace {

// ---- Cached indexes --------------------------------------------------------------------------------

class Seams : public SkinEngineTest {
 protected:
  void TearDown() override {
    FreeAndNil(Manager);
    SkinEngineTest::TearDown();
  }
  TsSkinManager* Manager = nullptr;
};

TEST_F(Seams, CachedIndexesOfScrollBarsCombosTabsAndGrip) {
  TSkinBuilder b = TSkinBuilder::Standard();
  for (const char* s : {"SCROLLBTNTOP", "SCROLLBAR1H", "COMBOBTN", "TABLEFT"}) {
    b.Mask(s, "PATTERN", 4, 4, 1);
    b.Mask(s, "HOTPATTERN", 4, 4, 1);
  }
  b.Key("SCROLLBTNLEFT", "RESERVEDBOOLEAN", "TRUE");
  Manager = CreateTestManager(b);
  const TacConstData& cd = Manager->ConstData();
  const struct {
    const char* Section;
    const TacSectionIndexes& Ix;
    bool Glyph;
  } table[] = {
      {"SCROLLBTNTOP", cd.ScrollBtnTop, true},   {"SCROLLBTNBOTTOM", cd.ScrollBtnBottom, true},
      {"SCROLLBTNLEFT", cd.ScrollBtnLeft, true}, {"SCROLLBTNRIGHT", cd.ScrollBtnRight, true},
      {"SCROLLSLIDERH", cd.ScrollSliderH, true}, {"SCROLLSLIDERV", cd.ScrollSliderV, true},
      {"SCROLLBAR1H", cd.ScrollBar1H, false},    {"SCROLLBAR1V", cd.ScrollBar1V, false},
      {"SCROLLBAR2H", cd.ScrollBar2H, false},    {"SCROLLBAR2V", cd.ScrollBar2V, false},
      {"COMBOBTN", cd.ComboBtn, false},          {"TABTOP", cd.TabTop, false},
      {"TABBOTTOM", cd.TabBottom, false},        {"TABLEFT", cd.TabLeft, false},
      {"TABRIGHT", cd.TabRight, false},
  };
  for (const auto& row : table) {
    SCOPED_TRACE(row.Section);
    EXPECT_EQ(Manager->SectionIndexOf(row.Section), row.Ix.Section);
    EXPECT_GE(row.Ix.Section, 0);
    EXPECT_EQ(Manager->MaskIndexOf(row.Section, "BORDERSMASK"), row.Ix.Mask);
    EXPECT_EQ(Manager->MaskIndexOf(row.Section, "PATTERN"), row.Ix.Pattern);
    EXPECT_EQ(Manager->MaskIndexOf(row.Section, "HOTPATTERN"), row.Ix.HotPattern);
    EXPECT_EQ(row.Glyph ? Manager->MaskIndexOf(row.Section, "GLYPHMASK") : -1, row.Ix.GlyphMask);
  }
  EXPECT_GE(cd.ScrollBtnTop.Pattern, 0);
  EXPECT_EQ(-1, cd.ScrollBtnBottom.Pattern);
  EXPECT_EQ(Manager->MaskIndexOf("COMBOBOX", "GLYPHMASK"), cd.ComboBoxGlyph);
  EXPECT_EQ(Manager->SectionIndexOf("GLOBALINFO"), cd.GlobalInfo);
  EXPECT_EQ(Manager->MaskIndexOf("GLOBALINFO", "GRIPIMAGE"), cd.GripImage);
  EXPECT_GE(cd.GripImage, 0);
  EXPECT_TRUE(cd.ScrollArrowsFromImage);

  // Another skin without these sections: every index -1 again.
  TSkinBuilder bare;
  bare.Section("BUTTON");
  Manager->AddInternalSkin("Bare", bare.Packed());
  Manager->SetSkinName("Bare");
  EXPECT_EQ(-1, Manager->ConstData().ScrollBtnTop.Section);
  EXPECT_EQ(-1, Manager->ConstData().ScrollBtnTop.GlyphMask);
  EXPECT_EQ(-1, Manager->ConstData().GripImage);
  EXPECT_EQ(-1, Manager->ConstData().GlobalInfo);
  EXPECT_FALSE(Manager->ConstData().ScrollArrowsFromImage);
}

// The shipped skins load by name from the three sources: stored with the program (the built-in
// "Default"), a folder and a packed file of the skin folder; ListSkins names each once.
TEST_F(Seams, ShippedSkinsLoadFromAllThreeSources) {
  namespace fs = std::filesystem;
  const fs::path skins = fs::path(__FILE__).parent_path().parent_path().parent_path().parent_path() / "skins";
  ASSERT_TRUE(fs::is_directory(skins)) << skins.string();
  TTempDir dir;
  fs::copy(skins / "Graphite", dir.Path() / "Graphite");
  fs::copy_file(skins / "Graphite.asz", dir.Path() / "PackedGraphite.asz");
  fs::copy_file(skins / "Default.asz", dir.Path() / "Default.asz");
  Manager = Create<TsSkinManager>(nullptr);
  Manager->SetSkinDirectory(dir.Path().string());
  TStringList* names = Create<TStringList>();
  std::string first;
  Manager->ListSkins(names, stAllSkins, first);
  ASSERT_EQ(3, names->Count());
  EXPECT_EQ("Default", names->Strings(0)) << "stored and packed: named once";
  EXPECT_EQ("Graphite", names->Strings(1));
  EXPECT_EQ("PackedGraphite", names->Strings(2));
  EXPECT_EQ("Default", first);
  Manager->ListSkins(names, stUnpacked, first);
  EXPECT_EQ(2, names->Count()) << "stored skins and folders";
  names->Free();

  const struct {
    const char* Name;
    std::string Source;
  } table[] = {{"Default", "(stored with the program)"},
               {"Graphite", (dir.Path() / "Graphite").string()},
               {"PackedGraphite", (dir.Path() / "PackedGraphite.asz").string()}};
  for (const auto& row : table) {
    SCOPED_TRACE(row.Name);
    Manager->SetSkinName(row.Name);
    EXPECT_EQ("", Manager->LastError());
    ASSERT_TRUE(Manager->SkinData()->Active);
    EXPECT_EQ(row.Source, Manager->SkinData()->SkinSource);
    EXPECT_EQ(row.Name, Manager->SkinData()->SkinName);
    EXPECT_GE(Manager->ConstData().ScrollBtnTop.GlyphMask, 0);
    EXPECT_GE(Manager->ConstData().GripImage, 0);
  }
  // The unit registered the command message's name when it started.
  EXPECT_NE(0u, RegisteredSkinCommand);
  EXPECT_EQ(RegisteredSkinCommand, RegisterWindowMessageA(SkinCommandName));
}

// The packed skins' decompression is linked into the program: a bare Windows has no zlib1.dll, so
// no program of the library may import it (all of them link alike; this one stands for them).
TEST_F(Seams, ProgramImportsNoCompressionLibrary) {
  const auto* base = reinterpret_cast<const BYTE*>(GetModuleHandleA(nullptr));
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  ASSERT_NE(0u, dir.VirtualAddress);
  std::vector<std::string> dlls;
  for (auto* d = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress); d->Name; ++d) {
    std::string name = reinterpret_cast<const char*>(base + d->Name);
    for (char& ch : name) ch = char(std::tolower(static_cast<unsigned char>(ch)));
    dlls.push_back(name);
  }
  EXPECT_NE(dlls.end(), std::find(dlls.begin(), dlls.end(), "kernel32.dll")) << "the import table was read";
  EXPECT_EQ(dlls.end(), std::find(dlls.begin(), dlls.end(), "zlib1.dll"));
}

// ---- Published properties -------------------------------------------------------------------------

TEST_F(Seams, PublishedPropertiesByName) {
  Manager = CreateTestManager(TSkinBuilder::Standard());
  EXPECT_EQ(1, GetOrdPropByName(Manager, "Active"));
  EXPECT_EQ(1, GetOrdPropByName(Manager, "SkinnedPopups"));
  EXPECT_TRUE(SetPropContains(Manager, "SkinningRules", "srStdDialogs"));
  EXPECT_TRUE(ChangeSetPropElement(Manager, "SkinningRules", "srStdDialogs", false));
  EXPECT_EQ((TacSkinningRules{srStdForms, srThirdParty}), Manager->SkinningRules());
  EXPECT_EQ(Manager->MenuSupport(), GetObjPropByName(Manager, "MenuSupport"));
  EXPECT_EQ(Manager->ThirdParty(), GetObjPropByName(Manager, "ThirdParty"));
  EXPECT_TRUE(HasPropByName(Manager, "OnGetMenuExtraLineData"));
  EXPECT_EQ(32, GetOrdPropByName(Manager->MenuSupport(), "ExtraLineWidth"));
  EXPECT_TRUE(SetOrdPropByName(Manager->MenuSupport(), "UseExtraLine", 1));
  EXPECT_TRUE(Manager->MenuSupport()->UseExtraLine);
  EXPECT_EQ(Manager->MenuSupport()->ExtraLineFont(), GetObjPropByName(Manager->MenuSupport(), "ExtraLineFont"));
  // Setting Active by name takes the skin away as the setter does.
  EXPECT_TRUE(SetOrdPropByName(Manager, "Active", 0));
  EXPECT_FALSE(Manager->SkinData()->Active);
  EXPECT_EQ(-1, GetOrdPropByName(Manager, "NoSuchProperty"));

  TTestHost host;
  auto* c = Create<TTestSkinControl>(nullptr, tcButton);
  TsCommonData* sd = c->SkinData;
  EXPECT_EQ(0, GetOrdPropByName(sd, "CustomColor"));
  EXPECT_TRUE(SetOrdPropByName(sd, "CustomColor", 1));
  EXPECT_TRUE(sd->CustomColor);
  EXPECT_TRUE(SetOrdPropByName(sd, "CustomFont", 1));
  EXPECT_TRUE(sd->CustomFont);
  EXPECT_EQ(nullptr, GetObjPropByName(sd, "SkinManager")) << "nullptr: the default manager";
  auto* other = CreateTestManager(TSkinBuilder::Standard(), "Other", false);
  ASSERT_NE(nullptr, GetPropInfo(sd, "SkinManager"));
  GetPropInfo(sd, "SkinManager")->SetObj(sd, other);
  EXPECT_EQ(other, sd->SkinManager());
  EXPECT_EQ(other, GetObjPropByName(sd, "SkinManager"));
  c->Free();
  other->Free();
}

// ---- Menus ---------------------------------------------------------------------------------------------

class TRecordingMenus : public TsSkinableMenus {
 public:
  explicit TRecordingMenus(TsSkinManager* m) : TsSkinableMenus(m) { ++Alive; }
  ~TRecordingMenus() override { --Alive; }
  void UpdateMenus() override {
    ++Updates;
    TsSkinableMenus::UpdateMenus();
  }
  void HookPopupWindow(HWND Wnd) override { Hooked.push_back(Wnd); }
  int Updates = 0;
  std::vector<HWND> Hooked;
  static inline int Alive = 0;
};

TEST_F(Seams, ManagerOwnsItsMenusAndFollowsSkinnedPopups) {
  CreateSkinableMenusProc = [](TsSkinManager* m) -> TsSkinableMenus* { return new TRecordingMenus(m); };
  Manager = CreateTestManager(TSkinBuilder::Standard());
  CreateSkinableMenusProc = nullptr;
  auto* menus = dynamic_cast<TRecordingMenus*>(Manager->SkinableMenus());
  ASSERT_NE(nullptr, menus);
  EXPECT_EQ(Manager, menus->SkinManager);
  EXPECT_TRUE(menus->Skinned) << "a loaded skin skins the menus";
  const int before = menus->Updates;
  Manager->SetSkinnedPopups(false);
  EXPECT_EQ(before + 1, menus->Updates);
  EXPECT_FALSE(Manager->SkinnedPopups());
  Manager->SetActive(false);
  EXPECT_FALSE(menus->Skinned);
  EXPECT_EQ(1, TRecordingMenus::Alive);
  FreeAndNil(Manager);
  EXPECT_EQ(0, TRecordingMenus::Alive) << "the manager frees its menus";
}

// The popup drawing posts 0xBCB3 to the application window when it cannot find the popup's window;
// the manager's application hook finds the open popup window and hands it to the menus.
TEST_F(Seams, ApplicationHookHandsTheOpenPopupToTheMenus) {
  CreateSkinableMenusProc = [](TsSkinManager* m) -> TsSkinableMenus* { return new TRecordingMenus(m); };
  Manager = CreateTestManager(TSkinBuilder::Standard());
  CreateSkinableMenusProc = nullptr;
  auto* menus = static_cast<TRecordingMenus*>(Manager->SkinableMenus());
  HWND app = Application->Handle();

  // No popup open: nothing to hand over.
  EXPECT_EQ(nullptr, FindOpenPopupMenuWindow());
  SendMessageA(app, WM_POPUPMENUSHOWN, 0, 0);
  EXPECT_TRUE(menus->Hooked.empty());

  HWND popup = CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, "#32768", "", WS_POPUP, 20, 20, 60, 40, nullptr,
                               nullptr, nullptr, nullptr);
  ASSERT_NE(nullptr, popup);
  ShowWindow(popup, SW_SHOWNOACTIVATE);
  EXPECT_EQ(popup, FindOpenPopupMenuWindow());
  SendMessageA(app, WM_POPUPMENUSHOWN, 0, 0);
  SendMessageA(app, WM_POPUPMENUSHOWN2, 0, 0);
  EXPECT_EQ((std::vector<HWND>{popup, popup}), menus->Hooked);

  // Not while popups are not skinned, nor without a skin.
  menus->Hooked.clear();
  Manager->SetSkinnedPopups(false);
  SendMessageA(app, WM_POPUPMENUSHOWN, 0, 0);
  Manager->SetSkinnedPopups(true);
  Manager->SetActive(false);
  SendMessageA(app, WM_POPUPMENUSHOWN, 0, 0);
  EXPECT_TRUE(menus->Hooked.empty());
  Manager->SetActive(true);

  // A second manager that is not the default one leaves it to the default manager.
  CreateSkinableMenusProc = [](TsSkinManager* m) -> TsSkinableMenus* { return new TRecordingMenus(m); };
  auto* other = CreateTestManager(TSkinBuilder::Standard(), "Other", false);
  CreateSkinableMenusProc = nullptr;
  SendMessageA(app, WM_POPUPMENUSHOWN, 0, 0);
  EXPECT_EQ(1u, menus->Hooked.size());
  EXPECT_TRUE(static_cast<TRecordingMenus*>(other->SkinableMenus())->Hooked.empty());
  other->Free();
  DestroyWindow(popup);

  // A freed manager's hook is gone with it.
  FreeAndNil(Manager);
  SendMessageA(app, WM_POPUPMENUSHOWN, 0, 0);
}

// An exception of the dialog unit's hook procedure never leaves the hook: it goes to the
// application, and the window being made is made all the same.
struct THookLog {
  std::vector<std::string> Messages;
  void OnException(TObject*, const Exception& e) { Messages.push_back(e.Message()); }
};
int ThrowingHookCalls = 0;
LRESULT ThrowingHook(int, WPARAM, LPARAM) {
  ++ThrowingHookCalls;
  throw Exception("hook failed");
}

TEST_F(Seams, HookExceptionsGoToTheApplication) {
  THookLog log;
  const TExceptionEvent old = Application->OnException;
  Application->OnException = MakeMethod<&THookLog::OnException>(&log);
  DialogHookProc = ThrowingHook;
  Manager = CreateTestManager(TSkinBuilder::Standard());
  ASSERT_TRUE(Manager->HookInstalled());
  ThrowingHookCalls = 0;
  HWND w = CreateWindowExA(0, "STATIC", "x", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  EXPECT_NE(nullptr, w);
  DestroyWindow(w);
  DialogHookProc = nullptr;
  Application->OnException = old;
  EXPECT_GT(ThrowingHookCalls, 0);
  ASSERT_FALSE(log.Messages.empty());
  EXPECT_EQ("hook failed", log.Messages.front());
}

}  // namespace
