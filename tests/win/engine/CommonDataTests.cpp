// Per-control skin state and the skin commands: defaults, default sections, the Updating rules,
// commands of other managers, query answers through SendMessage, the shared parent colour.
#include <gtest/gtest.h>

#include "classlib/Forms.h"
#include "skin/engine/sCommonData.h"
#include "skin/engine/sSkinManager.h"
#include "tests/support/MessageSpy.h"
#include "tests/support/Pump.h"
#include "tests/support/SkinTestSupport.h"

using namespace qvtest;

namespace {

class CommonData : public SkinEngineTest {
 protected:
  void SetUp() override {
    Manager = CreateTestManager(TSkinBuilder::Standard());
    Host = new TTestHost();
  }
  void TearDown() override {
    for (auto* c : Made) c->Free();
    Made.clear();
    delete Host;
    FreeAndNil(Manager);
    SkinEngineTest::TearDown();
  }
  TTestSkinControl* Place(std::uint8_t typeCode, TWinControl* parent = nullptr, const std::string& section = "") {
    auto* c = Create<TTestSkinControl>(nullptr, typeCode);
    if (!section.empty()) c->SkinData->SetSkinSection(section);
    c->SetParent(parent ? parent : Host->Control());
    c->SetBounds(10, 10, 80, 30);
    c->HandleNeeded();
    if (!parent) Made.push_back(c);
    return c;
  }
  LRESULT Ask(TWinControl* c, int cmd) { return SendSkinCommand(c->Handle(), cmd); }

  TsSkinManager* Manager = nullptr;
  TTestHost* Host = nullptr;
  std::vector<TControl*> Made;
};

class TNotAControl : public TPersistent {
 public:
  QV_CLASS_NAME(TNotAControl)
};

}  // namespace

TEST_F(CommonData, Defaults) {
  TNotAControl owner;
  TsCommonData sd(&owner, false);
  EXPECT_EQ(-1, sd.SkinIndex);
  EXPECT_EQ(-1, sd.BorderIndex);
  EXPECT_EQ(-1, sd.Texture);
  EXPECT_EQ(-1, sd.HotTexture);
  EXPECT_TRUE(sd.BGChanged);
  EXPECT_TRUE(sd.PartlyHidden);
  EXPECT_FALSE(sd.UpdatingFlag());
  EXPECT_FALSE(sd.Focused);
  EXPECT_FALSE(sd.MouseAbove);
  EXPECT_EQ(nullptr, sd.OwnSkinManager());
  EXPECT_EQ(Manager, sd.SkinManager()) << "falls back to the default manager";
  EXPECT_EQ(nullptr, sd.OwnerControl);
  EXPECT_EQ(&owner, sd.OwnerObject);
  EXPECT_EQ(nullptr, sd.CacheBmp);
  EXPECT_EQ("", sd.SkinSection());
  EXPECT_FALSE(sd.Updating()) << "without an owner control only the flag counts";
  sd.SetUpdating(true);
  EXPECT_TRUE(sd.Updating());

  auto* ctrl = Create<TTestSkinControl>(nullptr);
  EXPECT_EQ(ctrl, ctrl->SkinData->OwnerControl);
  ASSERT_NE(nullptr, ctrl->SkinData->CacheBmp);
  EXPECT_EQ(pf24bit, ctrl->SkinData->CacheBmp->PixelFormat());
  EXPECT_TRUE(ctrl->SkinData->CacheBmp->Empty());
  EXPECT_EQ(ctrl->SkinData, FindSkinData(ctrl));
  ctrl->Free();
}

TEST_F(CommonData, LoadedPicksTheDefaultSectionByTypeCode) {
  const struct {
    std::uint8_t Code;
    const char* Section;
  } table[] = {
      {tcEdit, "EDIT"},
      {tcComboBox, "COMBOBOX"},
      {tcBar, "BAR"},
      {tcBarTitle, "BARTITLE"},
      {tcCheckBox, "CHECKBOX"},
      {tcCheckBoxAlt, "CHECKBOX"},
      {tcRadioButton, "RADIOBUTTON"},
      {tcPanel, "PANEL"},
      {tcPanelLow, "PANEL_LOW"},
      {tcToolBar, "TOOLBAR"},
      {tcDragBar, "DRAGBAR"},
      {tcTabSheet, "TABSHEET"},
      {tcGroupBox, "GROUPBOX"},
      {tcGroupBoxAlt, "GROUPBOX"},
      {tcSplitter, "SPLITTER"},
      {tcSpeedButton, "SPEEDBUTTON"},
      {tcSpeedButtonAlt, "SPEEDBUTTON"},
      {tcButton, "BUTTON"},
      {tcBitBtn, "BUTTON"},
      {tcToolButton, "TOOLBUTTON"},
      {tcPageControl, "PAGECONTROL"},
      {tcStatusBar, "STATUSBAR"},
      {tcGauge, "GAUGE"},
      {tcTrackBar, "TRACKBAR"},
      {200, "TTESTSKINCONTROL"},
  };
  for (const auto& row : table) {
    SCOPED_TRACE(row.Section);
    auto* c = Create<TTestSkinControl>(nullptr, row.Code);
    EXPECT_EQ(row.Section, c->SkinData->SkinSection());
    EXPECT_EQ(Manager->SectionIndexOf(row.Section), c->SkinData->SkinIndex);
    c->Free();
  }
  // A section set before Loaded is kept and only looked up again.
  auto* kept = new TTestSkinControl(nullptr, tcButton);
  kept->SkinData->SetSkinSection("edit");
  kept->AfterConstruction();
  EXPECT_EQ("EDIT", kept->SkinData->SkinSection());
  EXPECT_EQ(Manager->SectionIndexOf("EDIT"), kept->SkinData->SkinIndex);
  kept->SkinData->SetSkinSection("");
  EXPECT_EQ("UNKNOWN", kept->SkinData->SkinSection());
  EXPECT_EQ(-1, kept->SkinData->SkinIndex);
  kept->Free();
}

TEST_F(CommonData, UpdateIndexesReadsMaskAndPatterns) {
  auto* c = Place(tcButton);
  const TsCommonData* sd = c->SkinData;
  EXPECT_EQ(Manager->SectionIndexOf("BUTTON"), sd->SkinIndex);
  EXPECT_EQ(Manager->MaskIndexOf("BUTTON", "BORDERSMASK"), sd->BorderIndex);
  EXPECT_EQ(Manager->MaskIndexOf("BUTTON", "PATTERN"), sd->Texture);
  c->SkinData->SetSkinSection("NOSUCHSECTION");
  EXPECT_EQ(-1, sd->SkinIndex);
  EXPECT_EQ(-1, sd->BorderIndex);
  EXPECT_FALSE(sd->Skinned());
}

// Section index 0 is a real section.
TEST_F(CommonData, SectionIndexZeroIsSkinned) {
  ASSERT_EQ(0, Manager->SectionIndexOf("GLOBALINFO"));
  auto* c = Place(tcPanel, nullptr, "GLOBALINFO");
  EXPECT_EQ(0, c->SkinData->SkinIndex);
  EXPECT_TRUE(c->SkinData->Skinned());
  EXPECT_TRUE(c->SkinData->Skinned(false));
  EXPECT_EQ(1, Ask(c, QC_ISSKINNED));
}

TEST_F(CommonData, SkinnedNeedsAManagerWithALoadedSkin) {
  auto* c = Place(tcButton);
  EXPECT_TRUE(c->SkinData->Skinned());
  Manager->SetActive(false);
  EXPECT_FALSE(c->SkinData->Skinned());
  EXPECT_EQ(-1, c->SkinData->SkinIndex) << "QC_SKINREMOVED took the indexes away";
  Manager->SetActive(true);
  EXPECT_TRUE(c->SkinData->Skinned());
  FreeAndNil(Manager);
  EXPECT_FALSE(c->SkinData->Skinned());
}

// A skin switch sends each control QC_SKINLOADED (the new skin: indexes read again) and then QC_REFRESH,
// and asks no control with skin data whether it is skinned. Removal sends QC_SKINREMOVED.
TEST_F(CommonData, ManagerSendsLoadedThenRefreshOnLoadAndRemovedOnRemoval) {
  auto* c = Place(tcButton);
  auto* g = Create<TTestSkinGraphic>(nullptr);
  g->SetParent(c);
  g->SetBounds(2, 2, 10, 10);
  for (const char* skin : {"Test", "Other"}) {
    SCOPED_TRACE(skin);
    if (std::string(skin) == "Other") Manager->AddInternalSkin("Other", TSkinBuilder::Standard().Packed());
    c->Commands.clear();
    g->Commands.clear();
    c->SkinData->SkinIndex = -1;  // what the old skin's index was means nothing now
    Manager->SetSkinName(skin);
    EXPECT_EQ((std::vector<int>{QC_SKINLOADED, QC_REFRESH}), c->CommandCodes()) << "no query";
    for (const auto& cmd : c->Commands) EXPECT_EQ(reinterpret_cast<LPARAM>(Manager), cmd.LParam);
    EXPECT_TRUE(c->SkinData->Skinned()) << "the indexes of the new skin were read";
    ASSERT_EQ(2u, g->Commands.size()) << "children of a skinned control are reached through it";
    EXPECT_EQ(QC_SKINLOADED, g->Commands[0].Command);
    EXPECT_EQ(QC_REFRESH, g->Commands[1].Command);
  }
  c->Commands.clear();
  Manager->SetActive(false);
  EXPECT_EQ((std::vector<int>{QC_SKINREMOVED}), c->CommandCodes());
  g->Free();
}

TEST_F(CommonData, CommandsOfAnotherManagerChangeNothing) {
  auto* c = Place(tcEdit);
  TsSkinManager* other = CreateTestManager(TSkinBuilder::Standard(), "Other", false);
  TsCommonData* sd = c->SkinData;
  const int skinIndex = sd->SkinIndex, border = sd->BorderIndex;
  const TColor color = c->Color();
  sd->BGChanged = false;
  sd->SetUpdating(false);
  for (int cmd : {QC_SKINLOADED, QC_SKINREMOVED, QC_REFRESH}) {
    SCOPED_TRACE(cmd);
    SendSkinCommand(c->Handle(), cmd, reinterpret_cast<LPARAM>(other));
    SendSkinCommand(c->Handle(), cmd, 0);
    EXPECT_EQ(skinIndex, sd->SkinIndex);
    EXPECT_EQ(border, sd->BorderIndex);
    EXPECT_FALSE(sd->BGChanged);
    EXPECT_FALSE(sd->UpdatingFlag());
    EXPECT_EQ(color, c->Color());
  }
  // The own manager's commands do act.
  SendSkinCommand(c->Handle(), QC_SKINREMOVED, reinterpret_cast<LPARAM>(Manager));
  EXPECT_EQ(-1, sd->SkinIndex);
  EXPECT_TRUE(sd->UpdatingFlag());
  SendSkinCommand(c->Handle(), QC_SKINLOADED, reinterpret_cast<LPARAM>(Manager));
  EXPECT_EQ(skinIndex, sd->SkinIndex);
  SendSkinCommand(c->Handle(), QC_REFRESH, reinterpret_cast<LPARAM>(Manager));
  EXPECT_FALSE(sd->UpdatingFlag());
  EXPECT_TRUE(sd->BGChanged);
  other->Free();
}

TEST_F(CommonData, EditColoursFollowTheSkinUnlessCustom) {
  auto* c = Place(tcCustomEdit);
  const TsGeneralData& edit = Manager->Section(Manager->SectionIndexOf("EDIT"));
  SendSkinCommand(c->Handle(), QC_REFRESH, reinterpret_cast<LPARAM>(Manager));
  EXPECT_EQ(TColor(edit.Color), c->Color());
  EXPECT_EQ(TColor(edit.FontColor.Text()), c->Font()->Color());
  SendSkinCommand(c->Handle(), QC_SKINREMOVED, reinterpret_cast<LPARAM>(Manager));
  EXPECT_EQ(clWindow, c->Color());
  EXPECT_EQ(clWindowText, c->Font()->Color());
  c->SkinData->CustomColor = true;
  c->SetColor(clRed);
  SendSkinCommand(c->Handle(), QC_SKINLOADED, reinterpret_cast<LPARAM>(Manager));
  SendSkinCommand(c->Handle(), QC_REFRESH, reinterpret_cast<LPARAM>(Manager));
  EXPECT_EQ(clRed, c->Color());
  EXPECT_EQ(TColor(edit.FontColor.Text()), c->Font()->Color());
}

// Query answers must survive SendMessage, which passes LParam by value.
TEST_F(CommonData, QueryAnswersArriveThroughSendMessage) {
  auto* c = Place(tcButton);
  TsCommonData* sd = c->SkinData;
  const struct {
    const char* Name;
    int Command;
    void (*Set)(TsCommonData*);
    LRESULT Expected;
  } table[] = {
      {"skinned", QC_ISSKINNED, [](TsCommonData*) {}, 1},
      {"idle", QC_ISBUSY,
       [](TsCommonData* s) {
         s->BGChanged = false;
         s->SetUpdating(false);
       },
       0},
      {"bg changed", QC_ISBUSY,
       [](TsCommonData* s) {
         s->BGChanged = true;
         s->SetUpdating(false);
       },
       1},
      {"updating", QC_ISBUSY,
       [](TsCommonData* s) {
         s->BGChanged = false;
         s->SetUpdating(true);
       },
       1},
      {"partly hidden", QC_ISPARTLYHIDDEN, [](TsCommonData* s) { s->PartlyHidden = true; }, 1},
      {"wholly inside", QC_ISPARTLYHIDDEN, [](TsCommonData* s) { s->PartlyHidden = false; }, 0},
      {"always repaint", QC_ISTRANSPARENT, [](TsCommonData* s) { s->AlwaysRepaint = true; }, 1},
  };
  for (const auto& row : table) {
    SCOPED_TRACE(row.Name);
    row.Set(sd);
    EXPECT_EQ(row.Expected, Ask(c, row.Command));
  }
  EXPECT_TRUE(AskWindow(c->Handle(), QC_ISSKINNED));
  EXPECT_TRUE(AskControl(c, QC_ISSKINNED));
  sd->AlwaysRepaint = false;
  sd->BGChanged = true;
  EXPECT_TRUE(AskControl(c, QC_ISBUSY));

  // A plain window control answers nothing.
  auto* plain = Create<TWinControl>(nullptr);
  plain->SetParent(Host->Control());
  plain->HandleNeeded();
  EXPECT_FALSE(AskWindow(plain->Handle(), QC_ISSKINNED));
  EXPECT_FALSE(AskControl(plain, QC_ISSKINNED));
  plain->Free();

  // Commands that set flags take their argument from the low word.
  SendSkinCommand(c->Handle(), QC_SETUPDATING, 0, 1);
  EXPECT_TRUE(sd->UpdatingFlag());
  SendSkinCommand(c->Handle(), QC_SETUPDATING, 0, 0);
  EXPECT_FALSE(sd->UpdatingFlag());
  SendSkinCommand(c->Handle(), QC_SETALWAYSREPAINT, 0, 1);
  EXPECT_TRUE(sd->AlwaysRepaint);
  sd->BGChanged = false;
  SendSkinCommand(c->Handle(), QC_INVALIDATECACHE, 0, 0);
  EXPECT_FALSE(sd->BGChanged);
  SendSkinCommand(c->Handle(), QC_INVALIDATECACHE, 0, 1);
  EXPECT_TRUE(sd->BGChanged);
}

TEST_F(CommonData, UpdatingRules) {
  auto* parent = Place(tcPanel);
  auto* child = Place(tcButton, parent);
  TsCommonData* sd = child->SkinData;
  sd->SetUpdating(false);
  parent->SkinData->BGChanged = false;
  parent->SkinData->SetUpdating(false);
  EXPECT_FALSE(sd->Updating());

  parent->SkinData->BGChanged = true;
  EXPECT_TRUE(sd->Updating()) << "a parent that is being repainted holds its children";
  parent->SkinData->BGChanged = false;

  sd->SetUpdating(true);
  EXPECT_TRUE(sd->Updating());
  sd->SetUpdating(false);

  child->SetParent(nullptr);
  EXPECT_TRUE(sd->Updating()) << "no parent";
  child->SetParent(parent);
  child->HandleNeeded();

  Manager->SetActive(false);
  sd->SetUpdating(false);
  EXPECT_TRUE(sd->Updating()) << "no loaded skin";
  Manager->SetActive(true);
  sd->SetUpdating(false);
  parent->SkinData->BGChanged = false;
  parent->SkinData->SetUpdating(false);
  EXPECT_FALSE(sd->Updating());

  // QC_UPDATEDONE from the parent clears it on the child side through the control's own handling;
  // QC_BEGINUPDATE and QC_ENDUPDATE reach the control on BeginUpdate / EndUpdate.
  child->Commands.clear();
  sd->BeginUpdate();
  EXPECT_TRUE(sd->UpdatingFlag());
  sd->EndUpdate();
  EXPECT_FALSE(sd->UpdatingFlag());
  EXPECT_EQ((std::vector<int>{QC_BEGINUPDATE, QC_ENDUPDATE}), child->CommandCodes());
  child->Free();
}

TEST_F(CommonData, SharedCacheAnswers) {
  auto* parent = Place(tcPanel);
  auto* child = Place(tcButton, parent);
  parent->SkinData->InitCacheBmp();
  EXPECT_EQ(80, parent->SkinData->CacheBmp->Width());
  TsCacheInfo ci = AskParentCache(child->SkinData);
  EXPECT_TRUE(ci.Ready);
  EXPECT_EQ(parent->SkinData->CacheBmp, ci.Bmp);
  EXPECT_EQ(0, ci.X);
  ci = AskParentCacheWnd(child->Handle());
  EXPECT_TRUE(ci.Ready);
  // Hiding empties the cache: the hidden parent has no background to give until it shows again.
  // Shown, its empty cache is an image still to be painted, which the asker waits for.
  parent->SetVisible(false);
  ASSERT_TRUE(parent->SkinData->CacheBmp->Empty());
  EXPECT_FALSE(AskParentCache(child->SkinData).Ready);
  EXPECT_FALSE(AskParentCacheWnd(child->Handle()).Ready);
  parent->SetVisible(true);
  ASSERT_TRUE(parent->SkinData->CacheBmp->Empty());
  EXPECT_TRUE(AskParentCache(child->SkinData).Ready);
  // A parent without a cache bitmap answers "not ready"; a window that does not answer too.
  delete parent->SkinData->CacheBmp;
  parent->SkinData->CacheBmp = nullptr;
  EXPECT_FALSE(AskParentCache(child->SkinData).Ready);
  EXPECT_FALSE(AskParentCacheWnd(parent->Handle()).Ready) << "the host control does not answer";
  const TsCacheInfo built = BuildCacheInfo(child->SkinData->CacheBmp, 3, 4);
  EXPECT_TRUE(built.Ready);
  EXPECT_EQ(3, built.X);
  EXPECT_EQ(4, built.Y);
  EXPECT_FALSE(EmptyCacheInfo.Ready);
  child->Free();
}

// A stale colour from an earlier question is never taken for the answer.
TEST_F(CommonData, UpdateParentColorResetsBeforeAsking) {
  auto* child = Place(tcButton);
  Host->Control()->SetColor(clRed);  // a plain parent: no answer to QC_GETPARENTCOLOR
  SharedParentColor = clLime;
  UpdateParentColor(child);
  EXPECT_EQ(TColor(ColorToRGB(clRed)), SharedParentColor);

  auto* skinnedParent = Place(tcPanel);
  auto* inner = Place(tcButton, skinnedParent);
  SharedParentColor = clLime;
  UpdateParentColor(inner);
  EXPECT_EQ(TColor(Manager->Section(Manager->SectionIndexOf("PANEL")).Color), SharedParentColor);
  inner->Free();
}

TEST_F(CommonData, AnnounceAndRepaintChildren) {
  auto* top = Place(tcPanel);
  auto* mid = Place(tcPanel, top);
  auto* leaf = Place(tcButton, mid);
  top->Commands.clear();
  MessageSpy spy;
  spy.Watch(Host->Control()->Handle());
  AnnounceToParentForm(leaf);
  spy.Unwatch(Host->Control()->Handle());
  EXPECT_TRUE(top->Commands.empty()) << "only the top parent (the host) is told";
  EXPECT_EQ("",
            CheckSequence(spy.Entries(), {{SM_QUORVEXCMD, msgSent | msgWParam | msgLParam,
                                           SkinCommandWParam(QC_CONTROLANNOUNCE), reinterpret_cast<LPARAM>(leaf)}}));

  mid->Commands.clear();
  leaf->Commands.clear();
  RepaintChildControls(top);
  EXPECT_EQ((std::vector<int>{QC_UPDATEDONE}), mid->CommandCodes());
  EXPECT_TRUE(leaf->Commands.empty());
  mid->Commands.clear();
  RepaintChildWindows(top->Handle());
  EXPECT_EQ((std::vector<int>{QC_UPDATEDONE}), mid->CommandCodes());

  // Broadcasting reaches every control inside once: a child that passes a command on itself hands
  // it to what lies inside it, and for one that does not the broadcast goes on inside it.
  for (int command : {QC_BGCHANGED, QC_REFRESH}) {
    leaf->Commands.clear();
    mid->Commands.clear();
    TMessage m = MakeMessage(SM_QUORVEXCMD, SkinCommandWParam(command), 0);
    BroadcastToControls(top, m);
    EXPECT_EQ((std::vector<int>{command}), mid->CommandCodes());
    EXPECT_EQ((std::vector<int>{command}), leaf->CommandCodes());
  }
  leaf->Free();
  mid->Free();
}

TEST_F(CommonData, HoverAndFocusFlags) {
  auto* c = Place(tcButton);
  auto* panel = Place(tcPanel);
  c->Perform(CM_MOUSEENTER, 0, 0);
  EXPECT_TRUE(c->SkinData->MouseAbove);
  EXPECT_TRUE(c->SkinData->IsHot());
  EXPECT_EQ(c->Handle(), Manager->HotWindow());
  panel->Perform(CM_MOUSEENTER, 0, 0);
  EXPECT_FALSE(panel->SkinData->MouseAbove) << "panels ignore hovering";
  EXPECT_FALSE(panel->SkinData->IsHot());
  c->Perform(CM_MOUSELEAVE, 0, 0);
  EXPECT_FALSE(c->SkinData->MouseAbove);
  c->SkinData->MouseAbove = true;
  c->SkinData->Focused = true;
  c->Perform(CM_ENABLEDCHANGED, 0, 0);
  EXPECT_FALSE(c->SkinData->MouseAbove);
  EXPECT_FALSE(c->SkinData->Focused);

  c->SkinData->InitCacheBmp();
  c->Perform(CM_VISIBLECHANGED, 0, 0);
  EXPECT_TRUE(c->SkinData->CacheBmp->Empty());
  c->SkinData->SetUpdating(true);
  c->SkinData->BGChanged = false;
  c->Perform(CM_VISIBLECHANGED, 1, 0);
  EXPECT_FALSE(c->SkinData->UpdatingFlag());
  EXPECT_TRUE(c->SkinData->BGChanged);
}

TEST_F(CommonData, ControlIsReady) {
  auto* loose = Create<TTestSkinControl>(nullptr);
  EXPECT_FALSE(ControlIsReady(loose));
  loose->SetParent(Host->Control());
  loose->HandleNeeded();
  EXPECT_TRUE(ControlIsReady(loose));
  EXPECT_FALSE(ControlIsReady(nullptr));
  loose->Free();
}

TEST_F(CommonData, Fast24ReadsAndWritesPixels) {
  TBitmap bmp;
  bmp.SetPixelFormat(pf24bit);
  bmp.SetSize(4, 3);
  TacFast24 fast;
  ASSERT_TRUE(fast.Attach(&bmp));
  fast.SetPixel(3, 2, TColor(0x123456));
  EXPECT_EQ(TColor(0x123456), fast.GetPixel(3, 2));
  EXPECT_EQ(TColor(0x123456), TColor(GetPixel(bmp.Canvas()->Handle(), 3, 2)));
  EXPECT_EQ(0, fast.GetPixel(4, 0));
  TBitmap empty;
  EXPECT_FALSE(fast.Attach(&empty));
}

TEST_F(CommonData, AnswersBySendMessageFillTheSharedRecords) {
  auto* c = Place(tcPanel);
  c->SkinData->InitCacheBmp();
  SharedCacheInfo = TsCacheInfo{};
  SendSkinCommand(c->Handle(), QC_GETCACHE);
  EXPECT_TRUE(SharedCacheInfo.Ready);
  EXPECT_EQ(c->SkinData->CacheBmp, SharedCacheInfo.Bmp);

  SharedParentColor = clParentColorUnset;
  EXPECT_EQ(1, SendSkinCommand(c->Handle(), QC_GETPARENTCOLOR));
  EXPECT_EQ(TColor(Manager->Section(c->SkinData->SkinIndex).Color), SharedParentColor);

  // QC_GETAPPLICATION hands out the class library's application, or what the program put in its place.
  EXPECT_EQ(reinterpret_cast<LRESULT>(static_cast<TObject*>(Application)),
            SendSkinCommand(c->Handle(), QC_GETAPPLICATION));
  static TNotAControl app;
  auto* const saved = GetApplicationObject;
  GetApplicationObject = [] { return static_cast<TObject*>(&app); };
  EXPECT_EQ(reinterpret_cast<LRESULT>(static_cast<TObject*>(&app)), SendSkinCommand(c->Handle(), QC_GETAPPLICATION));
  GetApplicationObject = saved;

  c->SkinData->PartlyHidden = false;
  SendSkinCommand(c->Handle(), QC_SETPARTLYHIDDEN);
  EXPECT_TRUE(c->SkinData->PartlyHidden);
  auto* g = Create<TTestSkinGraphic>(nullptr);
  SendSkinCommand(c->Handle(), QC_SETREPAINTCHILD, reinterpret_cast<LPARAM>(g));
  EXPECT_EQ(g, c->SkinData->RepaintingControl);
  SendSkinCommand(c->Handle(), QC_SETREPAINTCHILD, 0);
  EXPECT_EQ(nullptr, c->SkinData->RepaintingControl);
  g->Free();

  // QC_SECTIONCHANGED invalidates only a control of the announced section.
  c->SkinData->BGChanged = false;
  SendSkinCommand(c->Handle(), QC_SECTIONCHANGED, reinterpret_cast<LPARAM>("BUTTON"));
  EXPECT_FALSE(c->SkinData->BGChanged);
  SendSkinCommand(c->Handle(), QC_SECTIONCHANGED, reinterpret_cast<LPARAM>("PANEL"));
  EXPECT_TRUE(c->SkinData->BGChanged);
}

TEST_F(CommonData, SectionOrManagerChangeTellsAReadyControl) {
  auto* c = Place(tcButton);
  // The section it has, named in another case, is no change: nothing read again, nobody told.
  c->Commands.clear();
  c->SkinData->BGChanged = false;
  c->SkinData->SetSkinSection("Button");
  EXPECT_EQ("BUTTON", c->SkinData->SkinSection());
  EXPECT_FALSE(c->SkinData->BGChanged);
  EXPECT_TRUE(c->CommandCodes().empty());
  c->SkinData->SetSkinSection("panel");
  EXPECT_EQ(Manager->SectionIndexOf("PANEL"), c->SkinData->SkinIndex);
  EXPECT_EQ((std::vector<int>{QC_REFRESH}), c->CommandCodes());
  c->SkinData->SetSkinSection("BUTTON");
  TsSkinManager* other = CreateTestManager(TSkinBuilder::Standard().RemoveSection("BUTTON"), "Other", false);
  c->Commands.clear();
  c->SkinData->SetSkinManager(other);
  EXPECT_EQ(other, c->SkinData->SkinManager());
  EXPECT_EQ(-1, c->SkinData->SkinIndex);
  EXPECT_EQ((std::vector<int>{QC_SKINREMOVED}), c->CommandCodes());
  c->Commands.clear();
  c->SkinData->SetSkinManager(nullptr);
  EXPECT_EQ(Manager, c->SkinData->SkinManager());
  EXPECT_EQ(Manager->SectionIndexOf("BUTTON"), c->SkinData->SkinIndex);
  EXPECT_EQ((std::vector<int>{QC_REFRESH}), c->CommandCodes());
  other->Free();
}
