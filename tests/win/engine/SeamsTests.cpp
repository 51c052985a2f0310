// The manager's cached indexes, published properties by name, its menu skinning (popup menus found
// by the application hook), the common message handling of skinned controls, the bound label and
// the small helpers of forms.
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

class engine_Seams : public SkinEngineTest {
 protected:
  void TearDown() override {
    FreeAndNil(Manager);
    SkinEngineTest::TearDown();
  }
  TsSkinManager* Manager = nullptr;
};

TEST_F(engine_Seams, CachedIndexesOfScrollBarsCombosTabsAndGrip) {
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
TEST_F(engine_Seams, ShippedSkinsLoadFromAllThreeSources) {
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
TEST_F(engine_Seams, ProgramImportsNoCompressionLibrary) {
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

TEST_F(engine_Seams, PublishedPropertiesByName) {
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
  EXPECT_EQ(nullptr, GetObjPropByName(sd, "SkinManager")) << "nil: the default manager";
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

TEST_F(engine_Seams, ManagerOwnsItsMenusAndFollowsSkinnedPopups) {
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
TEST_F(engine_Seams, ApplicationHookHandsTheOpenPopupToTheMenus) {
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

TEST_F(engine_Seams, HookExceptionsGoToTheApplication) {
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

// ---- Common message handling -----------------------------------------------------------------------

class engine_Common : public SkinEngineTest {
 protected:
  void SetUp() override {
    TSkinBuilder b = TSkinBuilder::Standard();
    b.Section("GRADPANEL");
    b.Key("GRADPANEL", "GRADIENTPERCENT", "50");
    b.Key("GRADPANEL", "GRADIENTDATA", "#000000 #FFFFFF");
    b.Section("GLASS");
    b.Key("GLASS", "TRANSPARENCY", "40");
    Manager = CreateTestManager(b);
    Host = std::make_unique<TTestHost>();
  }
  void TearDown() override {
    Host.reset();
    FreeAndNil(Manager);
    SkinEngineTest::TearDown();
  }
  TTestSkinControl* Place(std::uint8_t code, TWinControl* parent, const std::string& section = "") {
    auto* c = Create<TTestSkinControl>(parent ? static_cast<TComponent*>(parent) : Host->Control(), code);
    if (!section.empty()) c->SkinData->SetSkinSection(section);
    c->SetParent(parent ? parent : Host->Control());
    c->SetBounds(5, 5, 60, 40);
    c->HandleNeeded();
    return c;
  }
  TsSkinManager* Manager = nullptr;
  std::unique_ptr<TTestHost> Host;
};

// WM_MOVE: command 20 with low word 1 to the control itself when it must repaint after a move.
TEST_F(engine_Common, MoveSendsCommand20WhenTheControlMustRepaint) {
  auto* glass = Place(tcPanel, nullptr, "GLASS");
  auto* opaque = Place(tcPanel, nullptr, "PANEL");
  for (auto* c : {glass, opaque}) c->Commands.clear();
  glass->SetBounds(7, 7, 60, 40);
  opaque->SetBounds(9, 9, 60, 40);
  ASSERT_FALSE(glass->Commands.empty()) << "a transparent section repaints after a move";
  EXPECT_EQ(QC_PARENTMOVED, glass->Commands.back().Command);
  EXPECT_EQ(1, glass->Commands.back().Arg);
  const std::vector<int> codes = opaque->CommandCodes();
  EXPECT_EQ(codes.end(), std::find(codes.begin(), codes.end(), QC_PARENTMOVED))
      << "an opaque control on a plain parent does not";
}

// RepaintIfMoved, rule by rule.
TEST_F(engine_Common, RepaintIfMovedRules) {
  auto* parent = Place(tcPanel, nullptr, "PANEL");
  auto* c = Place(tcButton, parent, "PANEL");
  TsCommonData* sd = c->SkinData;
  EXPECT_FALSE(sd->RepaintIfMoved()) << "opaque, enabled, in an opaque parent";
  sd->AlwaysRepaint = true;
  EXPECT_TRUE(sd->RepaintIfMoved());
  sd->AlwaysRepaint = false;
  c->SetEnabled(false);
  EXPECT_TRUE(sd->RepaintIfMoved()) << "disabled";
  c->SetEnabled(true);
  c->SetVisible(false);
  EXPECT_TRUE(sd->RepaintIfMoved()) << "invisible";
  c->SetVisible(true);
  sd->SetSkinSection("GLASS");
  EXPECT_TRUE(sd->RepaintIfMoved()) << "TRANSPARENCY above 0";
  sd->SetSkinSection("PANEL");
  parent->SkinData->SetSkinSection("GLASS");
  EXPECT_TRUE(sd->RepaintIfMoved()) << "the parent answers 19 with 1";
  EXPECT_EQ(1, SendSkinCommand(parent->Handle(), QC_ISTRANSPARENT));
  parent->SkinData->SetSkinSection("PANEL");
  sd->SetSkinSection("NOSUCHSECTION");
  EXPECT_TRUE(sd->RepaintIfMoved()) << "not skinned";
  c->Free();
}

// WM_SIZE sets BGChanged; a container whose section has a gradient sends command 20 to its
// children (their backgrounds lie on a gradient that changed).
TEST_F(engine_Common, SizeOfAGradientContainerTellsItsChildren) {
  auto* grad = Place(tcPanel, nullptr, "GRADPANEL");
  auto* plain = Place(tcPanel, nullptr, "PANEL");
  auto* a = Place(tcButton, grad);
  auto* g = Create<TTestSkinGraphic>(grad);
  g->SetParent(grad);
  g->SetBounds(1, 1, 5, 5);
  auto* b = Place(tcButton, plain);
  for (auto* c : {grad, plain, a, b}) {
    c->SkinData->BGChanged = false;
    c->Commands.clear();
  }
  g->Commands.clear();
  grad->SetBounds(5, 5, 90, 70);
  plain->SetBounds(5, 5, 90, 70);
  EXPECT_TRUE(grad->SkinData->BGChanged);
  EXPECT_TRUE(plain->SkinData->BGChanged);
  auto has20 = [](const std::vector<TRecordedCommand>& v) {
    return std::any_of(v.begin(), v.end(), [](const TRecordedCommand& r) { return r.Command == QC_PARENTMOVED; });
  };
  EXPECT_TRUE(has20(a->Commands));
  EXPECT_TRUE(has20(g->Commands)) << "graphic children through Perform";
  EXPECT_FALSE(has20(b->Commands));
}

// Focus messages set and clear Focused (and BGChanged) of a focusable window control; WM_UPDATEUISTATE
// is swallowed when skinned; WM_PARENTNOTIFY of a created child announces the control to its form.
TEST_F(engine_Common, FocusUiStateAndParentNotify) {
  auto* c = Place(tcEdit, nullptr);
  c->SkinData->BGChanged = false;
  c->Perform(WM_SETFOCUS, 0, 0);
  EXPECT_TRUE(c->SkinData->Focused);
  EXPECT_TRUE(c->SkinData->BGChanged);
  c->Perform(WM_KILLFOCUS, 0, 0);
  EXPECT_FALSE(c->SkinData->Focused);

  // The visual-styles function was looked up when the unit started (the system offers it).
  EXPECT_NE(nullptr, acSetWindowTheme);
  TMessage ui = MakeMessage(WM_UPDATEUISTATE, 0, 0);
  EXPECT_TRUE(HandleCommonMessage(ui, c->SkinData));
  c->SkinData->SetSkinSection("NOSUCHSECTION");
  EXPECT_FALSE(HandleCommonMessage(ui, c->SkinData)) << "unskinned: passed on";
  c->SkinData->SetSkinSection("EDIT");

  MessageSpy spy;
  spy.Watch(Host->Control()->Handle());
  TMessage pn = MakeMessage(WM_PARENTNOTIFY, WM_CREATE, 0);
  EXPECT_FALSE(HandleCommonMessage(pn, c->SkinData));
  spy.Unwatch(Host->Control()->Handle());
  EXPECT_EQ("", CheckSequence(spy.Entries(), {{SM_QUORVEXCMD, msgSent | msgWParam | msgLParam,
                                               SkinCommandWParam(QC_CONTROLANNOUNCE), reinterpret_cast<LPARAM>(c)}}));
  TMessage other = MakeMessage(WM_TIMER, 0, 0);
  EXPECT_FALSE(HandleCommonMessage(other, c->SkinData));
  EXPECT_FALSE(HandleCommonMessage(other, nullptr));
}

// The mouse entering a control takes the hover from every sibling speed button, of whatever
// descendant class; the engine knows the class by its type, not its name.
TEST_F(engine_Common, MouseEnterTakesTheHoverFromSiblingSpeedButtons) {
  auto* panel = Place(tcPanel, nullptr, "PANEL");
  const std::vector<TsSpeedButton*> buttons = {Create<TsSpeedButton>(panel), Create<TsTimerSpeedButton>(panel),
                                               Create<TsEditButton>(panel), Create<TsTabBtn>(panel)};
  for (std::size_t i = 0; i < buttons.size(); ++i) {
    buttons[i]->SetParent(panel);
    buttons[i]->SetBounds(2 + 22 * int(i), 2, 20, 20);
  }
  auto* c = Create<TTestSkinGraphic>(panel);
  c->SetParent(panel);
  c->SetBounds(100, 2, 20, 20);
  for (TsSpeedButton* sb : buttons) {
    SCOPED_TRACE(sb->ClassName());
    sb->Perform(CM_MOUSEENTER, 0, 0);
    ASSERT_TRUE(sb->SkinData()->MouseAbove);
    c->Perform(CM_MOUSEENTER, 0, 0);
    EXPECT_FALSE(sb->SkinData()->MouseAbove) << "the speed button was told the mouse left";
    EXPECT_TRUE(c->SkinData->MouseAbove);
  }
  EXPECT_EQ(panel->Handle(), Manager->HotWindow()) << "a graphic control's hot window is its parent's";
  EXPECT_FALSE(IsClassKind(c, TacClassKind::SpeedButton));
  EXPECT_FALSE(IsClassKind(nullptr, TacClassKind::SpeedButton));
}

namespace {
class TTestPage : public TTabSheet {
 public:
  QV_CLASS_NAME(TTestPage)
  using TTabSheet::TTabSheet;
};
class TTestProvider : public TComponent {
 public:
  QV_CLASS_NAME(TTestProvider)
  TTestProvider() : TComponent(nullptr) {}
};
}  // namespace

// Pages and form providers are known by their type: a page of any class repaints after a move, and
// skin data owned by a registered provider class stands for the provider's form.
TEST_F(engine_Common, PagesAndProvidersAreKnownByType) {
  auto* page = Create<TTestPage>(nullptr);
  auto* panel = Create<TTestSkinControl>(nullptr);
  auto* pageData = new TsCommonData(page, false);
  for (TsCommonData* sd : {pageData, panel->SkinData}) sd->SetSkinSection("PANEL");
  EXPECT_TRUE(pageData->RepaintIfMoved());
  EXPECT_FALSE(panel->SkinData->RepaintIfMoved()) << "an opaque control without a parent";
  delete pageData;

  auto* provider = Create<TTestProvider>();
  auto* providerData = new TsCommonData(provider, true);
  EXPECT_FALSE(providerData->OwnerIsProvider()) << "no provider class is registered";
  RegisterClassKindOf<TTestProvider>(TacClassKind::SkinProvider);
  EXPECT_TRUE(providerData->OwnerIsProvider());
  EXPECT_FALSE(panel->SkinData->OwnerIsProvider());
  RegisterClassKind(TacClassKind::SkinProvider, nullptr);
  delete providerData;
  for (TObject* o : std::initializer_list<TObject*>{provider, panel, page}) o->Free();
}

// Commands 12, 13, 17, 20 and 22 through SendMessage; command 20 passes on to the children.
TEST_F(engine_Common, CommandsThatMarkTheCache) {
  auto* parent = Place(tcPanel, nullptr, "GLASS");
  auto* child = Place(tcButton, parent, "GLASS");
  TsCommonData* sd = parent->SkinData;
  sd->BGChanged = false;
  SendSkinCommand(parent->Handle(), QC_BGCHANGED);
  EXPECT_TRUE(sd->BGChanged);
  sd->BGChanged = false;
  const std::string other = "BUTTON", mine = "GLASS";
  SendSkinCommand(parent->Handle(), QC_SECTIONCHANGED, reinterpret_cast<LPARAM>(other.c_str()));
  EXPECT_FALSE(sd->BGChanged);
  SendSkinCommand(parent->Handle(), QC_SECTIONCHANGED, reinterpret_cast<LPARAM>(mine.c_str()));
  EXPECT_TRUE(sd->BGChanged) << "a control of the announced section is invalidated";
  sd->BGChanged = false;
  child->Commands.clear();
  SendSkinCommand(parent->Handle(), QC_PARENTMOVED, 0, 1);
  EXPECT_TRUE(sd->BGChanged);
  ASSERT_FALSE(child->Commands.empty());
  EXPECT_EQ(QC_PARENTMOVED, child->Commands.front().Command);
  EXPECT_TRUE(child->SkinData->BGChanged);
  sd->PartlyHidden = false;
  SendSkinCommand(parent->Handle(), QC_SETPARTLYHIDDEN);
  EXPECT_TRUE(sd->PartlyHidden);
  child->Free();
}

// SendControlSkinCommand: Perform for a graphic control, SendMessage for a window control with a
// handle, nothing otherwise.
TEST_F(engine_Common, SendControlSkinCommandReachesWhatCanAnswer) {
  auto* g = Create<TTestSkinGraphic>(Host->Control());
  g->SetParent(Host->Control());
  EXPECT_EQ(1, SendControlSkinCommand(g, QC_ISSKINNED));
  auto* loose = Create<TTestSkinControl>(Host->Control(), tcButton);
  EXPECT_FALSE(loose->HandleAllocated());
  EXPECT_EQ(0, SendControlSkinCommand(loose, QC_ISSKINNED)) << "no handle: not sent";
  EXPECT_FALSE(loose->HandleAllocated()) << "and none made";
  loose->SetParent(Host->Control());
  loose->HandleNeeded();
  EXPECT_EQ(1, SendControlSkinCommand(loose, QC_ISSKINNED));
  EXPECT_EQ(0, SendControlSkinCommand(nullptr, QC_ISSKINNED));
  EXPECT_TRUE(AskControl(g, QC_ISSKINNED)) << "asked through its WindowProc";
  EXPECT_FALSE(AskWindow(nullptr, QC_ISSKINNED));
}

// ---- Bound label -----------------------------------------------------------------------------------

class TBoundLabelText : public TGraphicControl {
 public:
  QV_CLASS_NAME(TBoundLabelText)
  explicit TBoundLabelText(TsBoundLabel* owner) : TGraphicControl(nullptr), Owner(owner) { SetBounds(0, 0, 30, 12); }
  ~TBoundLabelText() override {
    if (Owner) Owner->LabelDestroyed();
  }
  TsBoundLabel* Owner;
};

TEST_F(engine_Common, BoundLabelMadeThroughItsSeamAndPlacedByLayout) {
  auto* edit = Place(tcEdit, nullptr);
  edit->SetBounds(100, 60, 80, 20);
  TsBoundLabel bound(edit->SkinData);
  bound.SetCaption("Name");
  bound.SetActive(true);
  EXPECT_EQ(nullptr, bound.TheLabel()) << "no label unit: no label";
  bound.SetActive(false);

  CreateEditLabelProc = [](TsBoundLabel* b) -> TControl* { return new TBoundLabelText(b); };
  bound.SetActive(true);
  CreateEditLabelProc = nullptr;
  TControl* label = bound.TheLabel();
  ASSERT_NE(nullptr, label);
  EXPECT_EQ("Name", label->Caption());
  EXPECT_EQ(edit->Parent(), label->Parent());
  const struct {
    TsCaptionLayout Layout;
    int X, Y;
  } table[] = {
      {sclLeft, 100 - 30 - 4 - 2, 60 + (20 - 12) / 2},
      {sclLeftTop, 100 - 30 - 4 - 2, 60},
      {sclTopLeft, 102, 60 - 12 - 2},
      {sclTopCenter, 100 + (80 - 30) / 2, 60 - 12 - 2},
      {sclTopRight, 100 + 80 - 30 - 2, 60 - 12 - 2},
      {sclBottomLeft, 102, 60 + 20 + 2},
  };
  bound.SetIndent(2);
  for (const auto& row : table) {
    bound.SetLayout(row.Layout);
    EXPECT_EQ(row.X, label->Left()) << int(row.Layout);
    EXPECT_EQ(row.Y, label->Top()) << int(row.Layout);
  }
  edit->SetEnabled(false);
  bound.AlignLabel();
  EXPECT_FALSE(label->Enabled()) << "the label follows the edit";
  // The label's own destructor clears the reference.
  label->Free();
  EXPECT_EQ(nullptr, bound.TheLabel());
  CreateEditLabelProc = [](TsBoundLabel* b) -> TControl* { return new TBoundLabelText(b); };
  bound.SetActive(false);
  bound.SetActive(true);
  CreateEditLabelProc = nullptr;
  EXPECT_NE(nullptr, bound.TheLabel());
  bound.SetActive(false);
  EXPECT_EQ(nullptr, bound.TheLabel()) << "inactive: freed";
}

// ---- Forms and warnings ---------------------------------------------------------------------------

TEST_F(engine_Common, OwnerFormFollowsTheOwnerChain) {
  auto* form = Create<TForm>(Application);
  auto* panel = Create<TTestSkinControl>(form, tcPanel);
  auto* inner = Create<TTestSkinGraphic>(panel);
  EXPECT_EQ(form, GetOwnerForm(inner));
  EXPECT_EQ(form, GetOwnerForm(form));
  auto* lone = Create<TTestSkinGraphic>(nullptr);
  EXPECT_EQ(nullptr, GetOwnerForm(lone));
  EXPECT_EQ(nullptr, GetOwnerForm(nullptr));
  lone->Free();
  form->Free();
}

std::string WarningSeen;
void CALLBACK CloseWarning(HWND, UINT, UINT_PTR id, DWORD) {
  HWND box = FindWindowA("#32770", "Warning");
  if (!box) return;
  KillTimer(nullptr, id);
  char text[256] = {};
  for (HWND c = GetWindow(box, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    char cls[32] = {};
    GetClassNameA(c, cls, sizeof cls);
    if (std::string(cls) == "Static" && GetWindowTextA(c, text, sizeof text) > 0 && text[0]) WarningSeen = text;
  }
  PostMessageA(box, WM_COMMAND, IDOK, 0);
}

TEST_F(engine_Common, ShowWarningShowsTheTextAndReturnsWhenClosed) {
  WarningSeen.clear();
  const UINT_PTR timer = SetTimer(nullptr, 0, 50, CloseWarning);
  ShowWarning("The skin is not complete");
  KillTimer(nullptr, timer);
  EXPECT_EQ("The skin is not complete", WarningSeen);
}

}  // namespace
