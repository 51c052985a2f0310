// The skinned push button: plain behaviour without a skin, state frames in the cache, the window
// region from the border mask, owner-draw switching, foreign commands, hints, fades.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "classlib/StdCtrls.h"
#include "classlib/core/TypInfo.h"
#include "skin/controls/sButton.h"
#include "tests/support/ControlsFixture.h"

using namespace qvtest;

namespace {

struct TEventLog {
  int Enter = 0, Leave = 0, Ups = 0;
  void OnEnter(TObject*) { ++Enter; }
  void OnLeave(TObject*) { ++Leave; }
  void OnUp(TObject*, TMouseButton, TShiftState, int, int) { ++Ups; }
};

class Button : public ControlsTest {
 protected:
  TsButton* MakeButton(int x = 20, int y = 20, int w = 90, int h = 30, const char* caption = "") {
    auto* b = Create<TsButton>(Form);
    b->SetParent(Form);
    b->SetBounds(x, y, w, h);
    b->SetCaption(caption);
    flush_events();
    return b;
  }
  static LONG_PTR TypeOf(TsButton* b) { return GetWindowLongPtrA(b->Handle(), GWL_STYLE) & BS_TYPEMASK; }
  static void Paint(TsButton* b) {
    RedrawWindow(b->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    flush_events();
  }
  // The top edge's middle pixel: solid frame colour of the state painted last.
  static COLORREF Edge(TsButton* b) { return CachePixel(b->SkinData(), b->Width() / 2, 1); }
};

}  // namespace

// ---- without a skin ---------------------------------------------------------------------------------

TEST_F(Button, WithoutManagerIsPlainButtonAndFiresEnterLeave) {
  TsButton* b = MakeButton();
  EXPECT_EQ(BS_PUSHBUTTON, TypeOf(b));
  EXPECT_FALSE(b->SkinData()->Skinned());
  TEventLog log;
  b->OnMouseEnter = MakeMethod<&TEventLog::OnEnter>(&log);
  b->OnMouseLeave = MakeMethod<&TEventLog::OnLeave>(&log);
  b->Perform(CM_MOUSEENTER, 0, reinterpret_cast<LPARAM>(b));
  b->Perform(CM_MOUSELEAVE, 0, reinterpret_cast<LPARAM>(b));
  EXPECT_EQ(1, log.Enter);
  EXPECT_EQ(1, log.Leave);
  b->SetEnabled(false);
  b->Perform(CM_MOUSEENTER, 0, reinterpret_cast<LPARAM>(b));
  EXPECT_EQ(1, log.Enter);  // not while disabled
}

TEST_F(Button, PlainDefaultButtonKeepsItsDefaultFrame) {
  TsButton* def = MakeButton(10, 10);
  def->SetDefault(true);
  TsButton* other = MakeButton(10, 60);
  auto* edit = Create<TEdit>(Form);
  edit->SetParent(Form);
  edit->SetBounds(10, 110, 100, 22);
  flush_events();
  other->SetFocus();
  flush_events();
  EXPECT_EQ(BS_PUSHBUTTON, TypeOf(def));
  edit->SetFocus();
  flush_events();
  EXPECT_EQ(BS_DEFPUSHBUTTON, TypeOf(def));
}

TEST_F(Button, DefaultsAndSection) {
  TsButton* b = MakeButton();
  EXPECT_EQ("BUTTON", b->SkinData()->SkinSection());
  EXPECT_TRUE(b->WordWrap());
  EXPECT_EQ(1, b->FocusMargin());
  EXPECT_FALSE(b->Down());
  EXPECT_EQ(TsDisabledKind{dkBlended}, b->DisabledKind());
  EXPECT_EQ(TacAnimatEvents{aeGlobalDef}, b->AnimatEvents());
  EXPECT_FALSE(b->ControlStyle().Contains(csOpaque));
  EXPECT_FALSE(b->ControlStyle().Contains(csDoubleClicks));
}

// ---- skinned look -----------------------------------------------------------------------------------------

TEST_F(Button, OwnerDrawOnlyWhenTheSkinHasTheSection) {
  LoadSkin(TSkinBuilder::Standard().RemoveSection("BUTTON"));
  TsButton* b = MakeButton();
  EXPECT_TRUE(Manager->Active());
  EXPECT_NE(BS_OWNERDRAW, TypeOf(b));
  EXPECT_FALSE(b->SkinData()->Skinned());
}

TEST_F(Button, EraseBackgroundAnswersOneWhenSkinned) {
  LoadStandardSkin();
  TsButton* b = MakeButton();
  EXPECT_EQ(BS_OWNERDRAW, TypeOf(b));
  HDC dc = GetDC(b->Handle());
  EXPECT_EQ(1, SendMessageA(b->Handle(), WM_ERASEBKGND, WPARAM(dc), 0));
  ReleaseDC(b->Handle(), dc);
}

TEST_F(Button, StateFramesInTheCache) {
  LoadStandardSkin();
  TsButton* b = MakeButton(20, 20, 90, 30, "Go");
  TsButton* other = MakeButton(20, 80);
  other->SetFocus();
  flush_events();
  Paint(b);
  EXPECT_EQ(ColorText(Frame("BUTTON", 0)), ColorText(Edge(b))) << "normal";

  b->Perform(CM_MOUSEENTER, 0, reinterpret_cast<LPARAM>(b));
  Paint(b);
  EXPECT_EQ(ColorText(Frame("BUTTON", 1)), ColorText(Edge(b))) << "hot";

  SendMessageA(b->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  Paint(b);
  EXPECT_EQ(ColorText(Frame("BUTTON", 2)), ColorText(Edge(b))) << "pressed";
  SendMessageA(b->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  b->Perform(CM_MOUSELEAVE, 0, reinterpret_cast<LPARAM>(b));
  other->SetFocus();
  flush_events();
  Paint(b);
  EXPECT_EQ(ColorText(Frame("BUTTON", 0)), ColorText(Edge(b))) << "released, left";

  b->SetFocus();
  flush_events();
  Paint(b);
  EXPECT_EQ(ColorText(Frame("BUTTON", 1)), ColorText(Edge(b))) << "focused";

  other->SetFocus();
  b->SetDown(true);
  Paint(b);
  EXPECT_EQ(ColorText(Frame("BUTTON", 2)), ColorText(Edge(b))) << "down";
  b->SetDown(false);

  b->SetEnabled(false);
  Paint(b);
  const COLORREF disabled = Edge(b);
  for (int s = 0; s < 3; ++s) EXPECT_NE(ColorText(Frame("BUTTON", s)), ColorText(disabled)) << "disabled " << s;
}

TEST_F(Button, RegionCutFromTheMaskCorners) {
  LoadStandardSkin();
  TsButton* b = MakeButton(20, 20, 90, 30);
  Paint(b);
  HRGN rgn = CreateRectRgn(0, 0, 0, 0);
  ASSERT_NE(ERROR, GetWindowRgn(b->Handle(), rgn));
  const int w = b->Width(), h = b->Height();
  // Key runs: top-left 1, top-right 2, bottom-left 3, bottom-right 4 pixels along the outer rows.
  struct {
    int x, y;
    bool inside;
  } cases[] = {{0, 0, false},         {1, 0, true},         {w - 1, 0, false},    {w - 2, 0, false},
               {w - 3, 0, true},      {0, h - 1, false},    {2, h - 1, false},    {3, h - 1, true},
               {w - 4, h - 1, false}, {w - 5, h - 1, true}, {w / 2, h / 2, true}, {0, 1, true}};
  for (auto& c : cases) EXPECT_EQ(c.inside, PtInRegion(rgn, c.x, c.y) != 0) << c.x << "," << c.y;
  DeleteObject(rgn);
  EXPECT_EQ(nullptr, b->PendingRegion());  // the window owns it
}

TEST_F(Button, SkinRemovalRestoresThePlainButtonAndLoadingSkinsItAgain) {
  LoadStandardSkin();
  TsButton* b = MakeButton();
  Paint(b);
  HRGN rgn = CreateRectRgn(0, 0, 0, 0);
  ASSERT_NE(ERROR, GetWindowRgn(b->Handle(), rgn));

  Manager->SetActive(false);
  flush_events();
  EXPECT_EQ(BS_PUSHBUTTON, TypeOf(b));
  EXPECT_EQ(ERROR, GetWindowRgn(b->Handle(), rgn));
  EXPECT_EQ(nullptr, b->PendingRegion());

  Manager->SetActive(true);
  flush_events();
  EXPECT_EQ(BS_OWNERDRAW, TypeOf(b));
  Paint(b);
  EXPECT_NE(ERROR, GetWindowRgn(b->Handle(), rgn));
  DeleteObject(rgn);
}

TEST_F(Button, DefaultButtonKeepsDefaultStyleWhenSkinGoes) {
  LoadStandardSkin();
  TsButton* b = MakeButton();
  b->SetDefault(true);
  flush_events();
  Manager->SetActive(false);
  flush_events();
  EXPECT_EQ(BS_DEFPUSHBUTTON, TypeOf(b));
}

TEST_F(Button, CommandsOfAnotherManagerChangeNothing) {
  LoadStandardSkin();
  TsSkinManager* other = CreateTestManager(TSkinBuilder::Standard(), "Other", false);
  TsButton* b = MakeButton();
  Paint(b);
  for (int cmd : {QC_SKINREMOVED, QC_SKINLOADED, QC_REFRESH}) {
    b->SkinData()->BGChanged = false;
    SendSkinCommand(b->Handle(), cmd, reinterpret_cast<LPARAM>(other));
    EXPECT_EQ(BS_OWNERDRAW, TypeOf(b)) << cmd;
    EXPECT_FALSE(b->SkinData()->BGChanged) << cmd;
    EXPECT_FALSE(b->SkinData()->UpdatingFlag()) << cmd;
    EXPECT_GE(b->SkinData()->SkinIndex, 0) << cmd;
  }
  HRGN rgn = CreateRectRgn(0, 0, 0, 0);
  EXPECT_NE(ERROR, GetWindowRgn(b->Handle(), rgn));
  DeleteObject(rgn);
  FreeAndNil(other);
}

TEST_F(Button, RefreshSetsOwnerDrawAgain) {
  LoadStandardSkin();
  TsButton* b = MakeButton();
  SendMessageA(b->Handle(), BM_SETSTYLE, BS_PUSHBUTTON, 0);
  EXPECT_EQ(BS_PUSHBUTTON, TypeOf(b));
  SendSkinCommand(b->Handle(), QC_REFRESH, reinterpret_cast<LPARAM>(Manager));
  EXPECT_EQ(BS_OWNERDRAW, TypeOf(b));
}

TEST_F(Button, PrintIntoThePrintingDCKeepsTheRegionPending) {
  LoadStandardSkin();
  TsButton* b = MakeButton();
  Paint(b);
  HDC mem = CreateCompatibleDC(nullptr);
  PrintDC = mem;
  SendMessageA(b->Handle(), WM_PRINT, WPARAM(mem), PRF_CLIENT);
  PrintDC = nullptr;
  HRGN pending = b->PendingRegion();
  EXPECT_NE(nullptr, pending);
  EXPECT_NE(reinterpret_cast<HRGN>(1), pending);
  // A second print replaces the pending region (the old one is deleted, not leaked).
  PrintDC = mem;
  SendMessageA(b->Handle(), WM_PRINT, WPARAM(mem), PRF_CLIENT);
  PrintDC = nullptr;
  EXPECT_EQ(0, GetObjectType(pending));
  // Skin removal frees what is still pending.
  pending = b->PendingRegion();
  Manager->SetActive(false);
  EXPECT_EQ(nullptr, b->PendingRegion());
  EXPECT_EQ(0, GetObjectType(pending));
  DeleteDC(mem);
}

TEST_F(Button, UpdatingSuppressesPaintUntilCommandSix) {
  LoadStandardSkin();
  TsButton* b = MakeButton();
  Paint(b);
  SendSkinCommand(b->Handle(), QC_SETUPDATING, 0, 1);
  b->SkinData()->BGChanged = true;
  Paint(b);
  EXPECT_TRUE(b->SkinData()->BGChanged);
  SendSkinCommand(b->Handle(), QC_UPDATEDONE);
  flush_events();
  EXPECT_FALSE(b->SkinData()->UpdatingFlag());
  EXPECT_FALSE(b->SkinData()->BGChanged);
}

// ---- mouse, hints, fades ------------------------------------------------------------------------------

TEST_F(Button, ReleaseWithoutPressFiresNoMouseUp) {
  LoadStandardSkin();
  TsButton* b = MakeButton();
  TEventLog log;
  b->OnMouseUp = MakeMethod<&TEventLog::OnUp>(&log);
  SendMessageA(b->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  EXPECT_EQ(0, log.Ups);
  SendMessageA(b->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  SendMessageA(b->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  EXPECT_EQ(1, log.Ups);
}

TEST_F(Button, HintsOffWhilePressedAndBackOnRelease) {
  LoadStandardSkin();
  TsButton* b = MakeButton();
  SendMessageA(b->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  EXPECT_FALSE(Application->ShowHint());
  SendMessageA(b->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  EXPECT_TRUE(Application->ShowHint());
}

TEST_F(Button, HintsBackOnCaptureLossAndDestruction) {
  LoadStandardSkin();
  TsButton* b = MakeButton();
  SendMessageA(b->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  EXPECT_FALSE(Application->ShowHint());
  ReleaseCapture();
  flush_events();
  EXPECT_TRUE(Application->ShowHint());

  SendMessageA(b->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  EXPECT_FALSE(Application->ShowHint());
  b->Free();
  EXPECT_TRUE(Application->ShowHint());
  EXPECT_EQ(nullptr, HintsSwitchedOffBy());
}

TEST_F(Button, HintsThatWereOffStayOff) {
  LoadStandardSkin();
  TsButton* b = MakeButton();
  Application->SetShowHint(false);
  SendMessageA(b->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  SendMessageA(b->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  EXPECT_FALSE(Application->ShowHint());
  Application->SetShowHint(true);
}

TEST_F(Button, HoverFadeFinishesAndFreesItsTimer) {
  LoadSkin(TSkinBuilder::Standard().Key("BUTTON", "FADINGENABLED", "TRUE").Key("BUTTON", "FADINGITERATIONS", "4"));
  TsButton* b = MakeButton();
  Paint(b);
  b->Perform(CM_MOUSEENTER, 0, reinterpret_cast<LPARAM>(b));
  ASSERT_NE(nullptr, b->FadeTimer());
  EXPECT_TRUE(pump_until([&] { return b->FadeTimer() == nullptr; }, 3000));
  flush_events();
  EXPECT_EQ(0, TacSelfFreeingTimer::LiveCount());
  EXPECT_EQ(ColorText(Frame("BUTTON", 1)), ColorText(Edge(b)));
}

TEST_F(Button, QuickClickStopsThePressFade) {
  LoadSkin(TSkinBuilder::Standard().Key("BUTTON", "FADINGENABLED", "TRUE").Key("BUTTON", "FADINGITERATIONS", "20"));
  TsButton* b = MakeButton();
  Paint(b);
  b->Perform(CM_MOUSEENTER, 0, reinterpret_cast<LPARAM>(b));
  pump_until([&] { return b->FadeTimer() == nullptr; }, 3000);
  SendMessageA(b->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  ASSERT_NE(nullptr, b->FadeTimer());
  SendMessageA(b->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  EXPECT_TRUE(pump_until([&] { return b->FadeTimer() == nullptr; }, 3000));
  flush_events();
  EXPECT_EQ(0, TacSelfFreeingTimer::LiveCount());
}

TEST_F(Button, DestroyedDuringFadeLeavesNoTimer) {
  LoadSkin(TSkinBuilder::Standard().Key("BUTTON", "FADINGENABLED", "TRUE").Key("BUTTON", "FADINGITERATIONS", "20"));
  TsButton* b = MakeButton();
  Paint(b);
  b->Perform(CM_MOUSEENTER, 0, reinterpret_cast<LPARAM>(b));
  ASSERT_NE(nullptr, b->FadeTimer());
  b->Free();
  flush_events();
  EXPECT_EQ(0, TacSelfFreeingTimer::LiveCount());
}

// ---- more of the look ---------------------------------------------------------------------------------------

TEST_F(Button, DefaultButtonIsPaintedHotWhileItIsTheDefault) {
  LoadStandardSkin();
  TsButton* def = MakeButton(10, 10, 90, 30, "OK");
  def->SetDefault(true);
  auto* edit = Create<TEdit>(Form);
  edit->SetParent(Form);
  edit->SetBounds(10, 110, 100, 22);
  flush_events();
  edit->SetFocus();
  flush_events();
  Paint(def);
  EXPECT_TRUE(def->DefaultFlag());
  EXPECT_EQ(ColorText(Frame("BUTTON", 1)), ColorText(Edge(def)));
  // Another button takes the focus: it answers Enter now, the default one is painted normal.
  TsButton* other = MakeButton(10, 60);
  other->SetFocus();
  flush_events();
  Paint(def);
  EXPECT_FALSE(def->DefaultFlag());
  EXPECT_EQ(ColorText(Frame("BUTTON", 0)), ColorText(Edge(def)));
}

TEST_F(Button, SpaceKeyShowsThePressedLookAndItsReleaseRepaints) {
  LoadStandardSkin();
  TsButton* b = MakeButton(10, 10, 90, 30, "Go");
  b->SetFocus();
  flush_events();
  // Through the application's message loop, as typed: the key pushes the window, its character
  // reaches the form, which passes it on to its controls (CM_DIALOGCHAR).
  auto runUntil = [&](COLORREF edge) {
    for (DWORD start = GetTickCount(); Edge(b) != edge && GetTickCount() - start < 3000;) {
      Application->ProcessMessages();
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
  };
  PostMessageA(b->Handle(), WM_KEYDOWN, VK_SPACE, 0x00390001);
  PostMessageA(b->Handle(), WM_CHAR, ' ', 0x00390001);
  runUntil(Frame("BUTTON", 2));
  EXPECT_EQ(ColorText(Frame("BUTTON", 2)), ColorText(Edge(b))) << "held";
  PostMessageA(b->Handle(), WM_KEYUP, VK_SPACE, 0xC0390001);
  runUntil(Frame("BUTTON", 1));
  EXPECT_EQ(ColorText(Frame("BUTTON", 1)), ColorText(Edge(b))) << "released, focused";
}

TEST_F(Button, DisabledLookCoversTheCorners) {
  LoadSkin(TSkinBuilder::Standard().CornerRuns({0, 0, 0, 0}));
  TsButton* b = MakeButton(10, 10, 90, 30);
  Paint(b);
  EXPECT_EQ(ColorText(Frame("BUTTON", 0)), ColorText(CachePixel(b->SkinData(), 0, 0)));
  b->SetEnabled(false);
  Paint(b);
  const COLORREF edge = Edge(b);
  EXPECT_NE(ColorText(Frame("BUTTON", 0)), ColorText(edge));
  EXPECT_EQ(ColorText(edge), ColorText(CachePixel(b->SkinData(), 0, 0)));
  EXPECT_EQ(ColorText(edge), ColorText(CachePixel(b->SkinData(), b->Width() - 1, b->Height() - 1)));
}

TEST_F(Button, RegionIsFreedWhenTheButtonGoesBeforeItsFirstPaint) {
  LoadStandardSkin();
  // Before the first paint the pending region is the marker 1, which is no region object.
  auto* b = Create<TsButton>(Form);
  EXPECT_EQ(reinterpret_cast<HRGN>(1), b->PendingRegion());
  b->Free();
  // A region pending (print into the printing DC) is freed with the button.
  TsButton* c = MakeButton();
  HDC mem = CreateCompatibleDC(nullptr);
  PrintDC = mem;
  SendMessageA(c->Handle(), WM_PRINT, WPARAM(mem), PRF_CLIENT);
  PrintDC = nullptr;
  HRGN pending = c->PendingRegion();
  ASSERT_NE(nullptr, pending);
  ASSERT_NE(reinterpret_cast<HRGN>(1), pending);
  c->Free();
  EXPECT_EQ(0, GetObjectType(pending));
  DeleteDC(mem);
}

TEST_F(Button, EventsAndPropertiesByName) {
  TsButton* b = MakeButton();
  for (const char* name : {"SkinData", "AnimatEvents", "DisabledKind", "Down", "FocusMargin", "WordWrap",
                           "OnMouseEnter", "OnMouseLeave", "Default"})
    EXPECT_TRUE(HasPropByName(b, name)) << name;
  EXPECT_EQ(1, GetOrdPropByName(b, "WordWrap"));
  EXPECT_EQ(1, GetOrdPropByName(b, "FocusMargin"));
  TEventLog log;
  EXPECT_TRUE(SetMethodPropByName(b, "OnMouseEnter", TNotifyEvent(MakeMethod<&TEventLog::OnEnter>(&log))));
  b->Perform(CM_MOUSEENTER, 0, reinterpret_cast<LPARAM>(b));
  EXPECT_EQ(1, log.Enter);
}

// ---- the pressed look of a quick click, hints of two buttons ---------------------------------------------

namespace {
// Records the state each cache rebuild paints in (the caption is placed once per rebuild).
class TRecordingButton : public TsButton {
 public:
  using TsButton::TsButton;
  void CaptionRect(TRect& R) override {
    States.push_back(CurrentState());
    TsButton::CaptionRect(R);
  }
  std::vector<int> States;
};
}  // namespace

TEST_F(Button, QuickClickPaintsThePressedLookBeforeTheReleaseFade) {
  LoadSkin(TSkinBuilder::Standard().Key("BUTTON", "FADINGENABLED", "TRUE").Key("BUTTON", "FADINGITERATIONS", "20"));
  auto* b = Create<TRecordingButton>(Form);
  b->SetParent(Form);
  b->SetBounds(20, 20, 90, 30);
  b->SetCaption("Go");
  flush_events();
  Paint(b);
  SendMessageA(b->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  ASSERT_NE(nullptr, b->FadeTimer());  // the press fade has just begun
  b->States.clear();
  SendMessageA(b->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  ASSERT_FALSE(b->States.empty());
  EXPECT_EQ(2, b->States.front()) << "the pressed look comes first";
  EXPECT_NE(2, b->States.back()) << "then the released one";
  EXPECT_FALSE(ShowButtonPressed);
  EXPECT_TRUE(pump_until([&] { return b->FadeTimer() == nullptr; }, 3000));
}

TEST_F(Button, OnlyTheButtonThatSwitchedHintsOffRestoresThem) {
  LoadStandardSkin();
  TsButton* a = MakeButton(10, 10);
  TsButton* b = MakeButton(10, 60);
  SendMessageA(a->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  EXPECT_EQ(a, HintsSwitchedOffBy());
  // Another button's release without a press, and its destruction, leave them to the first one.
  SendMessageA(b->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  b->Free();
  EXPECT_FALSE(Application->ShowHint());
  EXPECT_EQ(a, HintsSwitchedOffBy());
  a->Free();
  EXPECT_TRUE(Application->ShowHint());
}

// ---- the mouse as the user moves it ------------------------------------------------------------------------

// The look on the screen follows the press: dragged off the button it is no longer pressed, back on
// it is pressed again, released it is not.
TEST_F(Button, DraggingOffAndBackShowsThePressedLookAgain) {
  LoadStandardSkin();
  MouseAway();
  TsButton* b = MakeButton(20, 20, 90, 30, "Go");
  TEventLog log;
  b->OnMouseUp = MakeMethod<&TEventLog::OnUp>(&log);
  const int x = b->Width() / 2;
  auto edge = [&] { return ColorText(ScreenPixel(b, x, 1)); };
  const std::string pressed = ColorText(Frame("BUTTON", 2)), hot = ColorText(Frame("BUTTON", 1));
  MouseTo(b, x, 15);
  EXPECT_EQ(hot, edge()) << "hovered";
  MouseButton(MOUSEEVENTF_LEFTDOWN);
  EXPECT_EQ(pressed, edge()) << "pressed";
  MouseTo(b, x, 60);
  EXPECT_EQ(hot, edge()) << "dragged off (focused)";
  MouseTo(b, x, 15);
  EXPECT_EQ(pressed, edge()) << "dragged back on";
  MouseButton(MOUSEEVENTF_LEFTUP);
  EXPECT_EQ(hot, edge()) << "released";
  EXPECT_EQ(1, log.Ups);
}

// A right click while the left button is held is a press of its own: the left release still
// releases the button.
TEST_F(Button, RightClickDuringTheLeftPressLeavesTheLeftReleaseItsDue) {
  LoadStandardSkin();
  MouseAway();
  TsButton* b = MakeButton(20, 20, 90, 30, "Go");
  TEventLog log;
  b->OnMouseUp = MakeMethod<&TEventLog::OnUp>(&log);
  const int x = b->Width() / 2;
  MouseTo(b, x, 15);
  MouseButton(MOUSEEVENTF_LEFTDOWN);
  MouseButton(MOUSEEVENTF_RIGHTDOWN);
  MouseButton(MOUSEEVENTF_RIGHTUP);
  EXPECT_EQ(ColorText(Frame("BUTTON", 2)), ColorText(ScreenPixel(b, x, 1))) << "still held";
  MouseButton(MOUSEEVENTF_LEFTUP);
  EXPECT_EQ(ColorText(Frame("BUTTON", 1)), ColorText(ScreenPixel(b, x, 1))) << "released";
  EXPECT_EQ(2, log.Ups);
  EXPECT_TRUE(Application->ShowHint());
}

// The focus dots go round the caption as it is drawn, every line of it and the outline copies of
// its text, with or without wrapping, also a caption that nearly fills the button: no dot and no
// dot's white pixel lies on the caption.
TEST_F(Button, FocusDotsEncloseEveryLineOfTheCaption) {
  const char* const outlined = "#000080 none none #C0C0C0 #C0C0C0";  // copies right and below
  const struct {
    int W, H;
    const char* Caption;
    bool Wrap, Outline;
  } table[] = {
      {120, 60, "Line one\nLine two is longer", true, false},
      {120, 60, "Line one\nLine two is longer", false, false},
      {90, 40, "A caption on two lines", true, false},
      {90, 40, "A caption on two lines", true, true},
  };
  for (const auto& row : table) {
    SCOPED_TRACE(std::string(row.Caption) + (row.Wrap ? ", wrapped" : "") + (row.Outline ? ", outlined" : ""));
    TSkinBuilder skin = TSkinBuilder::Standard().Key("BUTTON", "SHOWFOCUS", "TRUE");
    if (row.Outline) skin.Key("BUTTON", "FONTCOLOR", outlined).Key("BUTTON", "HOTFONTCOLOR", outlined);
    LoadSkin(skin);
    TsButton* b = MakeButton(20, 20, row.W, row.H, row.Caption);
    b->SetWordWrap(row.Wrap);
    b->SetFocus();
    Paint(b);
    const Capture c = CaptureBitmap(b->SkinData()->CacheBmp->Handle());
    // The caption's pixels: its hot text colour and its outline copies' (the dots may lie on the
    // frame when the caption leaves no room inside it).
    const COLORREF text = COLORREF(Manager->Section(Manager->SectionIndexOf("BUTTON")).HotFontColor.Text() & 0xFFFFFF);
    const auto isInk = [&](COLORREF p) { return p == text || (row.Outline && p == RGB(0xC0, 0xC0, 0xC0)); };
    RECT ink{c.Width(), c.Height(), -1, -1}, dots = ink;
    auto grow = [](RECT& r, int x, int y) {
      r = RECT{std::min<LONG>(r.left, x), std::min<LONG>(r.top, y), std::max<LONG>(r.right, x),
               std::max<LONG>(r.bottom, y)};
    };
    const auto isDot = [](COLORREF p) { return p == RGB(0, 0, 0) || p == RGB(255, 255, 255); };
    for (int y = 0; y < c.Height(); ++y)
      for (int x = 0; x < c.Width(); ++x) {
        const COLORREF p = c.Pixel(x, y);
        if (p == RGB(0, 0, 0))
          grow(dots, x, y);
        else if (isInk(p))
          grow(ink, x, y);
      }
    ASSERT_GE(ink.right, 0) << "caption drawn";
    EXPECT_GT(ink.bottom - ink.top, b->SkinData()->CacheBmp->Canvas()->TextHeight("W")) << "both lines";
    EXPECT_LT(dots.left, ink.left);
    EXPECT_LT(dots.top, ink.top);
    EXPECT_GT(dots.right, ink.right);
    EXPECT_GT(dots.bottom, ink.bottom);
    int onCaption = 0;
    for (int y = ink.top; y <= ink.bottom; ++y)
      for (int x = ink.left; x <= ink.right; ++x) onCaption += isDot(c.Pixel(x, y)) ? 1 : 0;
    EXPECT_EQ(0, onCaption) << "dot pixels inside the caption's bounds";
    FreeAndNil(b);
    FreeAndNil(Manager);
  }
}
