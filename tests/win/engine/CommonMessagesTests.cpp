// The messages every skinned control answers alike (moves, sizes, focus, hover, the cache
// commands), controls known by type, the bound label and the small helpers of forms.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "classlib/ComCtrls.h"
#include "classlib/Forms.h"
#include "skin/controls/sCustomComboEdit.h"
#include "skin/controls/sPageControl.h"
#include "skin/controls/sSpeedButton.h"
#include "skin/controls/sSpinEdit.h"
#include "skin/engine/sCommonData.h"
#include "skin/engine/sSkinManager.h"
#include "skin/windows/sSkinProvider.h"
#include "tests/support/MessageSpy.h"
#include "tests/support/Pump.h"
#include "tests/support/SkinTestSupport.h"

using namespace qvtest;

namespace {

class CommonMessages : public SkinEngineTest {
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

// WM_MOVE: QC_PARENTMOVED with low word 1 to the control itself when it must repaint after a move.
TEST_F(CommonMessages, MoveSendsParentMovedWhenTheControlMustRepaint) {
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
TEST_F(CommonMessages, RepaintIfMovedRules) {
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

// WM_SIZE sets BGChanged; a container whose section has a gradient sends QC_PARENTMOVED to its
// children (their backgrounds lie on a gradient that changed).
TEST_F(CommonMessages, SizeOfAGradientContainerTellsItsChildren) {
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
TEST_F(CommonMessages, FocusUiStateAndParentNotify) {
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
TEST_F(CommonMessages, MouseEnterTakesTheHoverFromSiblingSpeedButtons) {
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
class TTestProvider : public TsSkinProvider {
 public:
  QV_CLASS_NAME(TTestProvider)
  using TsSkinProvider::TsSkinProvider;
};
}  // namespace

// Pages and form providers are known by their type: a page of any class repaints after a move, and
// skin data owned by a provider, of whatever descendant class, stands for the provider's form.
TEST_F(CommonMessages, PagesAndProvidersAreKnownByType) {
  auto* page = Create<TTestPage>(nullptr);
  auto* panel = Create<TTestSkinControl>(nullptr);
  auto* pageData = new TsCommonData(page, false);
  for (TsCommonData* sd : {pageData, panel->SkinData}) sd->SetSkinSection("PANEL");
  EXPECT_TRUE(pageData->RepaintIfMoved());
  EXPECT_FALSE(panel->SkinData->RepaintIfMoved()) << "an opaque control without a parent";
  delete pageData;

  auto* provider = Create<TsSkinProvider>(nullptr);
  auto* derived = Create<TTestProvider>(nullptr);
  EXPECT_TRUE(provider->SkinData->OwnerIsProvider());
  EXPECT_TRUE(derived->SkinData->OwnerIsProvider());
  EXPECT_FALSE(panel->SkinData->OwnerIsProvider());
  derived->Free();
  for (TObject* o : std::initializer_list<TObject*>{provider, panel, page}) o->Free();
}

// QC_INVALIDATECACHE, QC_SECTIONCHANGED, QC_BGCHANGED, QC_PARENTMOVED and QC_SETPARTLYHIDDEN through SendMessage;
// QC_PARENTMOVED passes on to the children.
TEST_F(CommonMessages, CommandsThatMarkTheCache) {
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
TEST_F(CommonMessages, SendControlSkinCommandReachesWhatCanAnswer) {
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

TEST_F(CommonMessages, BoundLabelMadeThroughItsSeamAndPlacedByLayout) {
  auto* edit = Place(tcEdit, nullptr);
  edit->SetBounds(100, 60, 80, 20);
  TsBoundLabel bound(edit->SkinData);
  bound.SetCaption("Name");
  // The label unit sets the seam when the program starts; this test puts its own in.
  auto* const labelUnitProc = CreateEditLabelProc;
  CreateEditLabelProc = nullptr;
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
    TsBoundLabelLayout Layout;
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
  CreateEditLabelProc = labelUnitProc;
}

// ---- Forms and warnings ---------------------------------------------------------------------------

TEST_F(CommonMessages, OwnerFormFollowsTheOwnerChain) {
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

TEST_F(CommonMessages, ShowWarningShowsTheTextAndReturnsWhenClosed) {
  WarningSeen.clear();
  const UINT_PTR timer = SetTimer(nullptr, 0, 50, CloseWarning);
  ShowWarning("The skin is not complete");
  KillTimer(nullptr, timer);
  EXPECT_EQ("The skin is not complete", WarningSeen);
}

}  // namespace
