// The common frame as the controls built on it see it: the skin commands every skinned control
// answers alike, the steps of a skin change around a control's own ones, containers passing the
// changes on to their children, and the order of the window procedure.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "skin/controls/sButton.h"
#include "skin/controls/sCommonFrame.h"
#include "skin/controls/sSpeedButton.h"
#include "tests/support/ControlsFixture.h"

using namespace qvtest;

namespace {

// A window control on the frame that writes what the frame asks of it into a shared log.
class TFrameProbe : public TacSkinnedControl<TWinControl> {
 public:
  QV_CLASS_NAME(TFrameProbe)
  TFrameProbe(TComponent* AOwner, std::vector<std::string>* Log, const char* Name)
      : TacSkinnedControl<TWinControl>(AOwner, tcPanel, true), FLog(Log), FName(Name) {}
  bool Container = false;

 protected:
  bool PassesSkinCommandsOn() const override { return Container; }
  bool AnswerAnyState(TMessage& Message) override {
    if (Message.WParamHi() <= QC_REFRESH) Note("got", Message.WParamHi());
    return false;
  }
  bool SkinnedMessage(TMessage& Message) override {
    if (Message.Msg == SM_QUORVEXCMD) Note("own", Message.WParamHi());
    return false;
  }
  bool AfterCommonMessage(TMessage& Message) override {
    if (Message.Msg == SM_QUORVEXCMD) Note("after common", Message.WParamHi());
    return false;
  }
  void StopFading() override { Note("stop"); }
  void AfterSkinChange(int Command) override { Note("after", Command); }
  void RepaintAfterUpdate() override { Note("repaint"); }

 private:
  void Note(const char* what, int n = -1) {
    FLog->push_back(FName + ":" + what + (n >= 0 ? " " + std::to_string(n) : std::string()));
  }
  std::vector<std::string>* FLog;
  std::string FName;
};

class CommonFrame : public ControlsTest {
 protected:
  TFrameProbe* MakeProbe(TWinControl* parent, const char* name, int x, int y, int w, int h) {
    auto* p = new TFrameProbe(Form, &Log, name);
    p->AfterConstruction();
    p->SetParent(parent);
    p->SetBounds(x, y, w, h);
    Probes.push_back(p);
    return p;
  }
  void TearDown() override {
    for (auto it = Probes.rbegin(); it != Probes.rend(); ++it) (*it)->Free();
    ControlsTest::TearDown();
  }
  std::vector<std::string> Log;
  std::vector<TFrameProbe*> Probes;
};

using TLog = std::vector<std::string>;

}  // namespace

TEST_F(CommonFrame, SkinChangesRunTheControlStepsAndContainersPassThemOn) {
  LoadStandardSkin();
  TsSkinManager* other = CreateTestManager(TSkinBuilder::Standard(), "Other", false);
  TFrameProbe* parent = MakeProbe(Form, "P", 10, 10, 200, 120);
  MakeProbe(parent, "C", 10, 10, 50, 30);
  flush_events();
  struct TCase {
    bool Container, Own;
    int Command;
    TLog Expected;
  } cases[] = {
      {true, true, QC_SKINLOADED, {"P:got 1", "C:got 1", "C:stop", "C:after 1", "P:stop", "P:after 1"}},
      {true, true, QC_SKINREMOVED, {"P:got 2", "P:stop", "C:got 2", "C:stop", "C:after 2", "P:after 2"}},
      {true, true, QC_REFRESH, {"P:got 3", "P:stop", "C:got 3", "C:stop", "C:after 3", "P:after 3"}},
      {true, false, QC_SKINLOADED, {"P:got 1", "C:got 1"}},
      {true, false, QC_REFRESH, {"P:got 3", "C:got 3"}},
      {false, true, QC_REFRESH, {"P:got 3", "P:stop", "P:after 3"}},
      {false, false, QC_SKINREMOVED, {"P:got 2"}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(testing::Message() << "container " << c.Container << " own " << c.Own << " command " << c.Command);
    parent->Container = c.Container;
    Log.clear();
    SendSkinCommand(parent->Handle(), c.Command, reinterpret_cast<LPARAM>(c.Own ? Manager : other));
    EXPECT_EQ(c.Expected, Log);
  }
  FreeAndNil(other);
}

TEST_F(CommonFrame, CommandsEveryControlAnswersAlike) {
  LoadStandardSkin();
  auto* button = Create<TsButton>(Form);
  button->SetParent(Form);
  button->SetBounds(10, 10, 80, 25);
  auto* speed = Create<TsSpeedButton>(Form);
  speed->SetParent(Form);
  speed->SetBounds(10, 50, 80, 25);
  TFrameProbe* probe = MakeProbe(Form, "P", 100, 10, 80, 25);
  flush_events();
  const std::vector<std::pair<TControl*, TsCommonData*>> controls = {
      {button, button->SkinData()}, {speed, speed->SkinData()}, {probe, probe->SkinData()}};
  for (bool skinned : {true, false}) {
    if (!skinned) Manager->SetActive(false);
    flush_events();
    for (auto [control, data] : controls) {
      SCOPED_TRACE(testing::Message() << control->ClassName() << " skinned " << skinned);
      EXPECT_EQ(skinned, data->Skinned());
      EXPECT_EQ(1, SendControlSkinCommand(control, QC_ISSKINNED));
      EXPECT_EQ(data->SkinIndex + 1, SendControlSkinCommand(control, QC_GETSECTIONINDEX));
      EXPECT_EQ(skinned ? Manager->SectionIndexOf(data->SkinSection()) + 1 : 0,
                SendControlSkinCommand(control, QC_GETSECTIONINDEX));
      EXPECT_EQ(reinterpret_cast<LRESULT>(static_cast<TObject*>(Application)),
                SendControlSkinCommand(control, QC_GETAPPLICATION));
      data->SetUpdating(true);
      SendControlSkinCommand(control, QC_UPDATEDONE);
      EXPECT_FALSE(data->UpdatingFlag());
    }
  }
  // Update done repaints only what was updating; stop fade reaches the control's own fade.
  Log.clear();
  SendSkinCommand(probe->Handle(), QC_UPDATEDONE);
  probe->SkinData()->SetUpdating(true);
  SendSkinCommand(probe->Handle(), QC_UPDATEDONE);
  SendSkinCommand(probe->Handle(), QC_STOPFADE);
  EXPECT_EQ((TLog{"P:repaint", "P:stop"}), Log);
}

TEST_F(CommonFrame, OwnCasesBeforeAndAfterTheCommonHandler) {
  LoadStandardSkin();
  TFrameProbe* probe = MakeProbe(Form, "P", 10, 10, 80, 25);
  flush_events();
  // QC_GETCACHE is answered by the common handler, an unknown code (41) by nobody.
  Log.clear();
  SendSkinCommand(probe->Handle(), QC_GETCACHE);
  SendSkinCommand(probe->Handle(), 41);
  EXPECT_EQ((TLog{"P:own 5", "P:own 41", "P:after common 41"}), Log);
}

// Hints held off by one control: another control's press meanwhile saves nothing (they are off
// already) and its release restores nothing; the first control's release brings them back. Hints
// the program switched off stay off.
TEST_F(CommonFrame, HintsSavedAndRestoredOnlyByTheControlThatSwitchedThemOff) {
  TFrameProbe* a = MakeProbe(Form, "A", 10, 10, 80, 25);
  TFrameProbe* b = MakeProbe(Form, "B", 10, 50, 80, 25);
  HintsOffWhilePressed(a);
  HintsOffWhilePressed(b);
  EXPECT_EQ(a, HintsSwitchedOffBy());
  RestoreHints(b);
  EXPECT_FALSE(Application->ShowHint());
  RestoreHints(a);
  EXPECT_TRUE(Application->ShowHint());
  EXPECT_EQ(nullptr, HintsSwitchedOffBy());

  Application->SetShowHint(false);
  HintsOffWhilePressed(a);
  EXPECT_EQ(nullptr, HintsSwitchedOffBy());
  RestoreHints(a);
  EXPECT_FALSE(Application->ShowHint());
  Application->SetShowHint(true);
}

// However often a paint's painters need the parent's image and colour (a disabled look, corners cut
// anew after a resize, a drop-down button's parts), the parent is asked once each per paint.
TEST_F(CommonFrame, APaintAsksTheParentForItsImageAndColourOnce) {
  LoadStandardSkin();
  auto* host = Create<TTestSkinControl>(Form);
  host->SetParent(Form);
  host->SetBounds(0, 0, 300, 200);
  host->SkinData->InitCacheBmp();
  host->SkinData->BGChanged = false;  // a parent busy rebuilding its image holds its children's paints
  auto* button = Create<TsButton>(Form);
  button->SetParent(host);
  button->SetBounds(10, 10, 90, 30);
  auto* speed = Create<TsSpeedButton>(Form);
  speed->SetParent(host);
  speed->SetBounds(10, 60, 90, 30);
  speed->SetButtonStyle(tbsDropDown);
  flush_events();
  struct TCase {
    const char* Name;
    TControl* Control;
    bool Enabled, Resize;
  } cases[] = {{"button", button, true, false},
               {"button disabled", button, false, false},
               {"button resized", button, true, true},
               {"drop-down disabled", speed, false, false},
               {"drop-down resized", speed, true, true}};
  for (const TCase& c : cases) {
    c.Control->SetEnabled(c.Enabled);
    if (c.Resize) c.Control->SetBounds(c.Control->Left(), c.Control->Top(), c.Control->Width() + 3, 30);
    flush_events();
    host->Commands.clear();
    c.Control->Perform(SM_QUORVEXCMD, WPARAM(QC_BGCHANGED) << 16, 0);
    c.Control->Repaint();
    int images = 0, colours = 0;
    for (const TRecordedCommand& r : host->Commands)
      images += r.Command == QC_GETCACHE, colours += r.Command == QC_GETPARENTCOLOR;
    EXPECT_EQ(images, 1) << c.Name;
    EXPECT_LE(colours, 1) << c.Name;
    c.Control->SetEnabled(true);
  }
}
