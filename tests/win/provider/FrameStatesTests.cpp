// Forms, dialog-border forms and an MDI frame with its children carried through every change of
// state, driven the way the user drives them (real clicks and keys) or from code: after each
// change, what the screen shows is checked against the state the window is in.
#include "tests/win/provider/ProviderTestSupport.h"

#include "classlib/Menus.h"
#include "skin/windows/core/acFormGeometry.h"

namespace qvtest {
namespace {

class FrameStates;

// Watches a form's non-client paints: the image painted must be as large as the window is then,
// whichever message told of a new size first.
struct TPaintWatch {
  TCustomForm* Form;
  TWndMethod Next;
  int StalePaints = 0;
  void Proc(TMessage& m) {
    Next(m);
    if (m.Msg != WM_NCPAINT || Form->FormStyle() == fsMDIChild || !IsWindowVisible(Form->Handle())) return;
    TsSkinProvider* p = TsSkinProvider::ProviderOf(Form);
    if (!p || !p->Skinned()) return;
    const TBitmap* image = p->SkinData->CacheBmp;
    // (Without an image the frame is the system's: the window is too large for one.)
    if (image && !image->Empty() && (image->Width() != p->FormWidth() || image->Height() != p->FormHeight()))
      ++StalePaints;
  }
};

struct TStateRow {
  const char* Name;
  void (FrameStates::*Run)();
};

class FrameStates : public ProviderTest, public ::testing::WithParamInterface<TStateRow> {
 public:
  void SetUp() override {
    ProviderTest::SetUp();
    Other = TSkinBuilder::Standard();
    // Removing a mask early in the list gives every later one a colour of its own.
    Other.RemoveMask("GLOBALINFO", "BICONHELP");
    Manager->AddInternalSkin("Other", Other.Packed());
    Skin = &Builder;
  }
  void TearDown() override {
    Park();
    for (auto& w : Watches)
      if (w->Form->WindowProc == MakeMethod<&TPaintWatch::Proc>(w.get())) w->Form->WindowProc = w->Next;
    if (Frame) {
      for (TForm* c : Children) c->Free();
      Children.clear();
      FreeAndNil(Frame);
      Application->SetMainForm(OldMain);
    }
    ProviderTest::TearDown();
  }

  // ---- the changes of state
  void MaximizeAndRestoreByButton();
  void RestoreByCaptionDoubleClick();
  void RestoreByWindowMenu();
  void RestoreFromCode();
  void MinimizeAndRestoreByButtons();
  void ShrinkAndGrowFromCode();
  void BorderStyleChanges();
  void SkinOnBeforeTheWindowExists();
  void SkinSwitchedAndRemovedInEachState();
  void ActivatedWhilePlain();
  void MDIChildMaximizedRestoredClosed();
  void MDISkinSwitchedAndRemovedWhileAChildIsMaximized();

 protected:
  // A sizeable form with a menu line, 600 x 400.
  TRecordingForm* MenuForm() {
    TRecordingForm* form = NewForm(bsSizeable, 600, 400);
    Watch(form);
    GiveMainMenu(form, {"&File", "&Edit"});
    flush_events();
    return form;
  }
  void Park() { MouseTo(POINT{GetSystemMetrics(SM_CXSCREEN) - 2, GetSystemMetrics(SM_CYSCREEN) - 2}); }
  void Click(TCustomForm* f, POINT at) {
    MouseTo(At(f, at.x, at.y));
    LeftButton(true);
    LeftButton(false);
    Park();
  }
  void ClickButton(TCustomForm* f, TsCaptionButton TsSkinProvider::*button) {
    Click(f, Centre(ProviderOf(f)->*button));
  }
  void SwitchSkin(const char* name) {
    Manager->SetSkinName(name);
    Skin = std::string(name) == "Other" ? &Other : &Builder;
    flush_events();
  }
  void RemoveSkin() {
    Manager->SetActive(false);
    flush_events();
  }
  void RestoreSkin() {
    Manager->SetActive(true);
    flush_events();
  }
  COLORREF SkinColor(const char* section, const char* prop, int state) const {
    return TSkinBuilder::FrameColor(Skin->MaskOrdinal(section, prop), state);
  }

  // ---- what the screen must show
  // Every form in play (the MDI frame and its children included) as the state it is in.
  void Expect(const char* when);
  void ExpectSkinned(TCustomForm* f);
  void ExpectPlain(TCustomForm* f);
  void ExpectMDIFrame();

  // An MDI frame with a Window menu and three skinned children side by side.
  void MakeMDI();

  void Watch(TCustomForm* f) {
    Watches.push_back(std::make_unique<TPaintWatch>(TPaintWatch{f, f->WindowProc}));
    f->WindowProc = MakeMethod<&TPaintWatch::Proc>(Watches.back().get());
  }

  TSkinBuilder Other;
  const TSkinBuilder* Skin = nullptr;
  std::vector<std::unique_ptr<TPaintWatch>> Watches;
  TForm* Frame = nullptr;
  std::vector<TRecordingForm*> Children;
  TCustomForm* OldMain = nullptr;
};

// The part of a window's rectangle the screen shows (window coordinates).
RECT OnScreen(TCustomForm* f) {
  RECT wr{};
  GetWindowRect(f->Handle(), &wr);
  const RECT screen{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  RECT vis{};
  IntersectRect(&vis, &wr, &screen);
  OffsetRect(&vis, -wr.left, -wr.top);
  return vis;
}

bool Shows(TCustomForm* f, POINT p) {
  const RECT vis = OnScreen(f);
  return PtInRect(&vis, p) != 0;
}

// Pixels of the key colour the screen shows in the window's rectangle.
int KeyPixels(HWND wnd) { return CaptureScreen(wnd).CountColor(0xFF00FF); }

int HitCode(TCustomForm* f, POINT at) {
  const POINT s = ProviderTest::At(f, at.x, at.y);
  return int(SendMessageA(f->Handle(), WM_NCHITTEST, 0, MAKELPARAM(s.x, s.y)));
}

void FrameStates::ExpectSkinned(TCustomForm* f) {
  SCOPED_TRACE(f->Caption());
  TsSkinProvider* p = ProviderOf(f);
  ASSERT_TRUE(p && p->Skinned());
  const HWND wnd = f->Handle();
  const bool iconic = IsIconic(wnd) != 0, zoomed = IsZoomed(wnd) != 0;
  const bool active = f->FormStyle() == fsMDIChild ? Frame->ActiveMDIChild() == f : GetActiveWindow() == wnd;
  const int w = p->FormWidth(), h = p->FormHeight();
  EXPECT_EQ(0, GetWindowLongA(wnd, GWL_STYLE) & WS_SYSMENU) << "the system draws no buttons";
  // The region is the window's.
  OwnedRegion rgn(CreateRectRgn(0, 0, 0, 0));
  RECT box{};
  EXPECT_NE(ERROR, GetWindowRgn(wnd, rgn)) << "a region";
  GetRgnBox(rgn, &box);
  auto text = [](RECT r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + "-" + std::to_string(r.right) + "," +
           std::to_string(r.bottom);
  };
  EXPECT_EQ(text(RECT{0, 0, w, h}), text(box)) << "region bounds";
  // The right and bottom borders and the title are the skin's, in the active look when active.
  EXPECT_EQ(active, p->FormActive);
  const int state = active ? 1 : 0;
  for (POINT at : {POINT{w - 1, h / 2}, POINT{w / 2, h - 1}}) {
    // (A minimized window is mostly title.)
    const char* section = at.y < p->CaptionHeight() + p->BorderHeight() ? "FORMTITLE" : "FORM";
    if (Shows(f, at))
      EXPECT_EQ(ColorText(SkinColor(section, "BORDERSMASK", state)), ColorText(ScreenPixel(f, at.x, at.y)))
          << "border at " << at.x << "," << at.y;
  }
  const POINT title{p->IconRect().Right + 2, p->BorderHeight() + 2};
  EXPECT_EQ(ColorText(SkinColor("FORMTITLE", "BORDERSMASK", state)), ColorText(ScreenPixel(f, title.x, title.y)))
      << "title";
  // Each title button is painted where the hit test finds it, whole on the screen.
  const bool small = f->BorderStyle() != bsSingle && f->BorderStyle() != bsSizeable;
  struct TButton {
    TsCaptionButton TsSkinProvider::*Button;
    int Code;
    const char* Image;
  };
  const TButton buttons[] = {
      {&TsSkinProvider::ButtonClose, HTCLOSE, small ? "SICONCLOSE" : "BICONCLOSE"},
      {&TsSkinProvider::ButtonMax, HTMAXBUTTON,
       zoomed  ? "BICONNORM"
       : small ? "SICONMAX"
               : "BICONMAX"},
      {&TsSkinProvider::ButtonMin, HTMINBUTTON,
       iconic  ? "BICONNORM"
       : small ? "SICONMIN"
               : "BICONMIN"},
  };
  int shown = 0;
  std::vector<std::pair<POINT, int>> hits;
  for (const TButton& b : buttons) {
    const TRect r = (p->*b.Button).Rect;
    if (r.IsEmpty()) continue;
    ++shown;
    SCOPED_TRACE(b.Image);
    const POINT c = Centre(p->*b.Button);
    hits.emplace_back(c, b.Code);
    EXPECT_TRUE(Shows(f, POINT{r.Left, r.Top}) && Shows(f, POINT{r.Right - 1, r.Bottom - 1})) << "whole on the screen";
    const COLORREF seen = ScreenPixel(f, c.x, c.y);
    if (active)
      EXPECT_EQ(ColorText(SkinColor("GLOBALINFO", b.Image, 0)), ColorText(seen));
    else
      EXPECT_NE(ColorText(SkinColor("FORMTITLE", "BORDERSMASK", 0)), ColorText(seen)) << "a button shows";
  }
  // (A hit test makes the button under the point hot: the looks are read first.)
  for (const auto& [c, code] : hits) EXPECT_EQ(code, HitCode(f, c)) << c.x << "," << c.y;
  HitCode(f, POINT{p->FormWidth() / 2, p->FormHeight() / 2});
  EXPECT_GT(shown, 0) << p->HotHitCode << " " << p->ButtonClose.State;
  const TRect icon = p->IconRect();
  if (!icon.IsEmpty()) EXPECT_TRUE(Shows(f, POINT{icon.Left, icon.Top})) << "the icon whole on the screen";
  EXPECT_EQ(0, KeyPixels(wnd)) << "no key colour";
}

void FrameStates::ExpectPlain(TCustomForm* f) {
  SCOPED_TRACE(f->Caption());
  EXPECT_EQ(ERROR, GetWindowRgn(f->Handle(), OwnedRegion(CreateRectRgn(0, 0, 0, 0)))) << "no region";
  EXPECT_NE(0, GetWindowLongA(f->Handle(), GWL_STYLE) & WS_SYSMENU);
  EXPECT_EQ(0, SkinPixels(f->Handle())) << "nothing of the skin";
}

void FrameStates::ExpectMDIFrame() {
  TsSkinProvider* fp = ProviderOf(Frame);
  TCustomForm* zoomed = nullptr;
  for (TRecordingForm* c : Children)
    if (IsZoomed(c->Handle())) zoomed = c;
  const bool skinned = Manager->Active();
  if (zoomed) {
    // A maximized child fills the client.
    RECT client{}, child{};
    GetClientRect(Frame->ClientHandle(), &client);
    GetClientRect(zoomed->Handle(), &child);
    EXPECT_EQ(client.right, child.right) << "the maximized child's width";
    EXPECT_EQ(client.bottom, child.bottom) << "the maximized child's height";
  }
  if (zoomed && skinned) {
    // Its buttons in the menu line, painted where the hit test finds them.
    struct TButton {
      TsCaptionButton TsSkinProvider::*Button;
      int Code;
      const char* Image;
    } const buttons[] = {{&TsSkinProvider::ButtonMDIClose, qv::htMDIClose, "SICONCLOSE"},
                         {&TsSkinProvider::ButtonMDIMax, qv::htMDIMax, "SICONMAX"},
                         {&TsSkinProvider::ButtonMDIMin, qv::htMDIMin, "SICONMIN"}};
    for (const TButton& b : buttons) {
      const POINT c = Centre(fp->*b.Button);
      EXPECT_EQ(ColorText(SkinColor("GLOBALINFO", b.Image, 0)), ColorText(ScreenPixel(Frame, c.x, c.y))) << b.Image;
    }
    for (const TButton& b : buttons) EXPECT_EQ(b.Code, HitCode(Frame, Centre(fp->*b.Button))) << b.Image;
    HitCode(Frame, POINT{fp->FormWidth() / 2, fp->FormHeight() / 2});
  } else if (zoomed) {
    // The system's menu bar of a maximized child: its window menu first, its buttons last.
    const HMENU bar = GetMenu(Frame->Handle());
    const int items = GetMenuItemCount(bar);
    EXPECT_EQ(GetSystemMenu(zoomed->Handle(), FALSE), GetSubMenu(bar, 0)) << "the child's window menu";
    for (auto [pos, command] :
         {std::pair{items - 3, SC_MINIMIZE}, std::pair{items - 2, SC_RESTORE}, std::pair{items - 1, SC_CLOSE}})
      EXPECT_EQ(UINT(command), GetMenuItemID(bar, pos)) << pos;
  }
  if (skinned) {
    ExpectSkinned(Frame);
    for (TRecordingForm* c : Children)
      if (!IsZoomed(c->Handle()) && !IsIconic(c->Handle()) && IsWindowVisible(c->Handle()) && !zoomed) ExpectSkinned(c);
  } else {
    ExpectPlain(Frame);
  }
}

void FrameStates::Expect(const char* when) {
  SCOPED_TRACE(when);
  Park();
  flush_events();
  for (auto& w : Watches) {
    EXPECT_EQ(0, w->StalePaints) << w->Form->Caption() << ": frames painted from an image of another size";
    w->StalePaints = 0;
  }
  if (Frame) {
    ExpectMDIFrame();
    return;
  }
  for (TCustomForm* f : Forms)
    if (Manager->Active())
      ExpectSkinned(f);
    else
      ExpectPlain(f);
}

// ---- the rows ------------------------------------------------------------------------------------

void FrameStates::MaximizeAndRestoreByButton() {
  TRecordingForm* f = MenuForm();
  Expect("normal");
  ClickButton(f, &TsSkinProvider::ButtonMax);
  ASSERT_TRUE(IsZoomed(f->Handle()));
  Expect("maximized by its button");
  ClickButton(f, &TsSkinProvider::ButtonMax);
  ASSERT_FALSE(IsZoomed(f->Handle()));
  Expect("restored by its button");
}

void FrameStates::RestoreByCaptionDoubleClick() {
  TRecordingForm* f = MenuForm();
  SendMessageA(f->Handle(), WM_SYSCOMMAND, SC_MAXIMIZE, 0);
  Expect("maximized");
  TsSkinProvider* p = ProviderOf(f);
  MouseTo(At(f, p->FormWidth() / 2, Centre(p->ButtonClose).y));
  LeftClicks(2);
  ASSERT_FALSE(IsZoomed(f->Handle()));
  Expect("restored by a double click on the caption");
}

void FrameStates::RestoreByWindowMenu() {
  TRecordingForm* f = MenuForm();
  WindowMenuKey(f->Handle(), 'X');
  ASSERT_TRUE(IsZoomed(f->Handle()));
  Expect("maximized from the window menu");
  WindowMenuKey(f->Handle(), 'R');
  ASSERT_FALSE(IsZoomed(f->Handle()));
  Expect("restored from the window menu");
}

void FrameStates::RestoreFromCode() {
  TRecordingForm* f = MenuForm();
  f->SetWindowState(wsMaximized);
  Expect("maximized from code");
  f->SetWindowState(wsNormal);
  Expect("restored from code");
}

void FrameStates::MinimizeAndRestoreByButtons() {
  TRecordingForm* f = MenuForm();
  ClickButton(f, &TsSkinProvider::ButtonMin);
  ASSERT_TRUE(IsIconic(f->Handle()));
  Expect("minimized by its button");
  ClickButton(f, &TsSkinProvider::ButtonMin);
  ASSERT_FALSE(IsIconic(f->Handle()));
  Expect("restored by the minimized bar's button");
}

struct TExceptionCount {
  int Seen = 0;
  void Handle(TObject*, const Exception&) { ++Seen; }
};

void FrameStates::ShrinkAndGrowFromCode() {
  TRecordingForm* f = MenuForm();
  f->SetBounds(60, 60, 300, 200);
  Expect("shrunk");
  f->SetBounds(60, 60, 640, 460);
  Expect("grown");
  // Larger than most processes can have an image of (a 32-bit one cannot): the system's frame
  // until the window is smaller again, or the skin's where the image could be had, and nothing for
  // the user to dismiss (an exception reaching the window procedure's edge would show a box).
  TExceptionCount exceptions;
  const TExceptionEvent before = Application->OnException;
  Application->OnException = MakeMethod<&TExceptionCount::Handle>(&exceptions);
  f->Constraints()->SetMaxWidth(20000);
  f->Constraints()->SetMaxHeight(20000);
  f->SetBounds(0, 0, 20000, 20000);
  flush_events();
  Application->OnException = before;
  ASSERT_GT(ProviderOf(f)->FormWidth(), 10000) << "the window is that large";
  EXPECT_EQ(0, exceptions.Seen);
  const bool imageHad = !ProviderOf(f)->SkinData->CacheBmp->Empty();
  OwnedRegion rgn(CreateRectRgn(0, 0, 0, 0));
  RECT box{};
  EXPECT_EQ(imageHad, GetWindowRgn(f->Handle(), rgn) != ERROR) << "a region with the skin's frame only";
  EXPECT_EQ(imageHad ? 20000 : 0, GetRgnBox(rgn, &box) != ERROR ? box.right : 0);
  EXPECT_EQ(!imageHad, (GetWindowLongA(f->Handle(), GWL_STYLE) & WS_SYSMENU) != 0) << "the system's buttons";
  f->SetBounds(60, 60, 500, 320);
  f->Constraints()->SetMaxWidth(0);
  f->Constraints()->SetMaxHeight(0);
  Expect("back from too large");
  f->SetWindowState(wsMaximized);
  f->SetBounds(60, 60, 320, 240);
  Expect("shrunk from maximized");
}

void FrameStates::BorderStyleChanges() {
  TRecordingForm* f = MenuForm();
  for (TFormBorderStyle style : {bsSingle, bsDialog, bsSizeToolWin, bsSizeable}) {
    f->SetBorderStyle(style);
    flush_events();
    Expect(style == bsSingle ? "single" : style == bsDialog ? "dialog" : style == bsSizeToolWin ? "tool" : "sizeable");
  }
}

void FrameStates::SkinOnBeforeTheWindowExists() {
  Manager->SetActive(false);
  flush_events();
  auto* form = Create<TRecordingForm>(Application);
  Forms.push_back(form);
  form->SetBounds(60, 60, 500, 360);
  form->SetCaption("Skinned before its window");
  Create<TsSkinProvider>(form);
  Watch(form);
  ASSERT_FALSE(form->HandleAllocated());
  Manager->SetActive(true);
  form->Show();
  SetForegroundWindow(form->Handle());
  Expect("shown");
}

void FrameStates::SkinSwitchedAndRemovedInEachState() {
  TRecordingForm* f = MenuForm();
  for (TWindowState state : {wsNormal, wsMaximized, wsMinimized}) {
    SCOPED_TRACE(state == wsNormal ? "normal" : state == wsMaximized ? "maximized" : "minimized");
    f->SetWindowState(state);
    flush_events();
    SwitchSkin("Other");
    Expect("switched");
    RemoveSkin();
    Expect("removed");
    RestoreSkin();
    Expect("back");
    SwitchSkin("Test");
    f->SetWindowState(wsNormal);
    SetForegroundWindow(f->Handle());
    Expect("normal again");
  }
}

// A form activated by a click while the skin is away shows the active look when the skin comes on
// again, and the form it took the activation from the inactive one.
void FrameStates::ActivatedWhilePlain() {
  TRecordingForm* f = MenuForm();
  TRecordingForm* other = NewForm(bsSizeable, 240, 160);
  other->SetBounds(700, 520, 240, 160);
  Expect("the other form active");
  RemoveSkin();
  Click(f, POINT{f->Width() / 2, f->Height() / 2});
  ASSERT_EQ(f->Handle(), GetActiveWindow());
  Expect("activated while plain");
  RestoreSkin();
  Expect("the skin on again");
}

void FrameStates::MakeMDI() {
  Builder.Section("MDIAREA");
  LoadSkin(Builder);
  Manager->AddInternalSkin("Other", Other.Section("MDIAREA").Packed());
  OldMain = Application->MainForm();
  Frame = Create<TForm>(Application);
  Frame->SetTag(-98);
  Frame->SetFormStyle(fsMDIForm);
  Frame->SetBounds(20, 20, 760, 520);
  Frame->SetCaption("MDI frame");
  GiveMainMenu(Frame, {"&Window"});
  Application->SetMainForm(Frame);
  Frame->HandleNeeded();
  Create<TsSkinProvider>(Frame)->Loaded();
  Watch(Frame);
  Frame->Show();
  for (int i = 0; i < 3; ++i) {
    auto* c = Create<TRecordingForm>(Frame);
    c->SetBounds(6 + 240 * i, 6 + 40 * i, 220, 160);
    c->SetCaption(std::string("Child ") + char('1' + i));
    Create<TsSkinProvider>(c);
    c->SetFormStyle(fsMDIChild);
    Children.push_back(c);
  }
  SetForegroundWindow(Frame->Handle());
  flush_events();
}

void FrameStates::MDIChildMaximizedRestoredClosed() {
  MakeMDI();
  Expect("three children");
  TRecordingForm* child = Children[2];
  ClickButton(child, &TsSkinProvider::ButtonMax);
  ASSERT_TRUE(IsZoomed(child->Handle()));
  Expect("a child maximized by its button");
  // Another child activated takes the maximized state over.
  SendMessageA(Frame->ClientHandle(), WM_MDIACTIVATE, WPARAM(Children[0]->Handle()), 0);
  ASSERT_TRUE(IsZoomed(Children[0]->Handle()));
  Expect("another child activated");
  ClickButton(Frame, &TsSkinProvider::ButtonMDIMax);
  ASSERT_FALSE(IsZoomed(Children[0]->Handle()));
  Expect("restored by the menu line's button");
  child->SetWindowState(wsMaximized);
  flush_events();
  ClickButton(Frame, &TsSkinProvider::ButtonMDIClose);
  Expect("the maximized child closed by the menu line's button");
}

void FrameStates::MDISkinSwitchedAndRemovedWhileAChildIsMaximized() {
  MakeMDI();
  Children[1]->SetWindowState(wsMaximized);
  flush_events();
  SwitchSkin("Other");
  Expect("switched");
  RemoveSkin();
  Expect("removed");
  RestoreSkin();
  Expect("back");
  Children[1]->SetWindowState(wsNormal);
  Expect("restored");
}

const TStateRow kRows[] = {
    {"MaximizeAndRestoreByButton", &FrameStates::MaximizeAndRestoreByButton},
    {"RestoreByCaptionDoubleClick", &FrameStates::RestoreByCaptionDoubleClick},
    {"RestoreByWindowMenu", &FrameStates::RestoreByWindowMenu},
    {"RestoreFromCode", &FrameStates::RestoreFromCode},
    {"MinimizeAndRestoreByButtons", &FrameStates::MinimizeAndRestoreByButtons},
    {"ShrinkAndGrowFromCode", &FrameStates::ShrinkAndGrowFromCode},
    {"BorderStyleChanges", &FrameStates::BorderStyleChanges},
    {"SkinOnBeforeTheWindowExists", &FrameStates::SkinOnBeforeTheWindowExists},
    {"SkinSwitchedAndRemovedInEachState", &FrameStates::SkinSwitchedAndRemovedInEachState},
    {"ActivatedWhilePlain", &FrameStates::ActivatedWhilePlain},
    {"MDIChildMaximizedRestoredClosed", &FrameStates::MDIChildMaximizedRestoredClosed},
    {"MDISkinSwitchedAndRemovedWhileAChildIsMaximized", &FrameStates::MDISkinSwitchedAndRemovedWhileAChildIsMaximized},
};

TEST_P(FrameStates, ScreenShowsTheState) { (this->*GetParam().Run)(); }

INSTANTIATE_TEST_SUITE_P(Rows, FrameStates, ::testing::ValuesIn(kRows),
                         [](const ::testing::TestParamInfo<TStateRow>& info) { return info.param.Name; });

}  // namespace
}  // namespace qvtest
