// Adapters of containers and size grips: a panel of the class library in the section of its bevels
// with its caption and its children left alone, a dialog's panel that keeps the colour its program
// gave it, a transparent container, and a size grip that sizes its window from the corner with
// real input while it answers as the corner only where it lies.
#include "tests/support/AdapterTestSupport.h"

#include "classlib/ExtCtrlsPanels.h"
#include "classlib/ComCtrls.h"
#include "classlib/GdiScopes.h"
#include "classlib/StdCtrls.h"
#include "skin/controls/sButton.h"

namespace qvtest {
namespace {

class PanelAdapters : public AdapterTest {
 protected:
  void SetUp() override {
    AdapterTest::SetUp();
    Form = Create<TForm>(Application);
    Form->SetTag(-98);  // no provider from the dialog hook: the tests give the panels their adapters
    Form->SetBounds(40, 40, 420, 300);
    Form->Show();
    flush_events(20, 500);
  }
  void TearDown() override {
    FreeAndNil(Form);
    AdapterTest::TearDown();
  }
  TPanel* MakePanel() {
    auto* panel = Create<TPanel>(Form);
    panel->SetParent(Form);
    panel->SetBounds(20, 20, 240, 140);
    panel->SetCaption("Panel");
    auto* button = Create<TButton>(Form);
    button->SetParent(panel);
    button->SetBounds(10, 10, 70, 26);
    button->SetCaption("Child");
    Child = button;
    flush_events(20, 500);
    return panel;
  }
  COLORREF SectionColour(const char* section) const {
    return COLORREF(Manager->Section(Manager->SectionIndexOf(section)).Color);
  }
  TForm* Form = nullptr;
  TButton* Child = nullptr;
};

struct TPanelCase {
  TBevelCut Outer, Inner;
  TBorderStyle Border;
  const char* Section;  // nullptr: the panel holds no controls and keeps its own look
};

TEST_F(PanelAdapters, ClassLibraryPanelShowsTheSectionOfItsBevelsAroundItsChildren) {
  const TPanelCase cases[] = {
      {bvRaised, bvNone, bsNone, "PANEL"},      {bvRaised, bvLowered, bsNone, "GROUPBOX"},
      {bvLowered, bvNone, bsNone, "PANEL_LOW"}, {bvLowered, bvRaised, bsNone, "GROUPBOX"},
      {bvNone, bvNone, bsSingle, "PANEL_LOW"},  {bvNone, bvNone, bsNone, "CHECKBOX"},
      {bvRaised, bvNone, bsNone, nullptr},
  };
  for (const TPanelCase& c : cases) {
    SCOPED_TRACE(c.Section ? c.Section : "holds no controls");
    TPanel* panel = MakePanel();
    panel->SetBevelOuter(c.Outer);
    panel->SetBevelInner(c.Inner);
    panel->SetBorderStyle(c.Border);
    if (!c.Section) {
      TControlStyle cs = panel->ControlStyle();
      cs.Exclude(csAcceptsControls);
      panel->SetControlStyle(cs);
    }
    const TControlStyle style = panel->ControlStyle();
    auto* sd = new TsCommonData(panel, true);
    sd->SetSkinManager(Manager);
    TacMainWnd* a = MakeAdapter<TacPanelWnd>(panel->Handle(), sd, Manager, "PANEL", true);
    RedrawWindow(panel->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    flush_events(20, 500);
    const Capture shot = SettledScreen(panel->Handle());
    if (c.Section) {
      EXPECT_EQ(c.Section, sd->SkinSection());
      EXPECT_EQ(ColorText(Frame(c.Section, "BORDERSMASK")), ColorText(shot.Pixel(shot.Width() / 2, 0)));
      EXPECT_GT(shot.CountColor(Ink(c.Section)), 0) << "the caption";
      const Capture child = SettledScreen(Child->Handle());
      EXPECT_EQ(0, child.CountColor(Frame(c.Section, "BORDERSMASK")) + child.CountColor(SectionColour(c.Section)))
          << "the child keeps its own look";
    } else {
      EXPECT_EQ(0, shot.CountColor(Frame("PANEL", "BORDERSMASK")));
    }
    a->Free();
    EXPECT_EQ(nullptr, GetWndAdapter(panel->Handle()));
    EXPECT_TRUE(panel->ControlStyle() == style) << "csOpaque as it was";
    delete sd;
    panel->Free();
  }
}

TEST_F(PanelAdapters, DialogPanelKeepsTheColourItsProgramGaveIt) {
  // The program changes the colour while the adapter is on, or it does not.
  for (bool programChanges : {false, true}) {
    SCOPED_TRACE(programChanges ? "changed meanwhile" : "left alone");
    TPanel* panel = MakePanel();
    panel->SetColor(clRed);
    auto* a = Create<TacDlgPanelWnd>(panel->Handle(), nullptr, Manager, "PANEL", true);
    EXPECT_EQ(panel, a->Control);
    EXPECT_EQ("CHECKBOX", a->SkinData->SkinSection());
    EXPECT_EQ(Manager->GetGlobalColor(), panel->Color()) << "the skin's colour where the panel paints itself";
    RedrawWindow(panel->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    const Capture shot = SettledScreen(panel->Handle());
    EXPECT_EQ(ColorText(Frame("CHECKBOX", "BORDERSMASK")), ColorText(shot.Pixel(shot.Width() / 2, 0)));
    EXPECT_EQ(ColorText(COLORREF(ColorToRGB(Manager->GetGlobalColor()))),
              ColorText(shot.Pixel(shot.Width() - 20, shot.Height() - 20)));
    if (programChanges) panel->SetColor(clBlue);
    a->Free();
    EXPECT_EQ(programChanges ? clBlue : clRed, panel->Color());
    panel->Free();
  }
  // A window that is no panel of the class library is framed as a group.
  HWND plain = Track(CreatePlainWindow(Form->Handle(), 0, 20, 180, 200, 80));
  auto* a = Create<TacDlgPanelWnd>(plain, nullptr, Manager, "PANEL", true);
  EXPECT_EQ(nullptr, a->Control);
  RedrawWindow(plain, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
  EXPECT_EQ(ColorText(Frame("GROUPBOX", "BORDERSMASK")), ColorText(SettledScreen(plain).Pixel(100, 0)));
  a->Free();
}

TEST_F(PanelAdapters, TransparentContainerShowsTheSectionAroundItsChildWindows) {
  HWND page = Track(CreatePlainWindow(Form->Handle(), 0, 20, 20, 240, 140));
  HWND button = CreateControl(page, "BUTTON", "Child", BS_PUSHBUTTON, 40, 40, 90, 30);
  HWND text = CreateControl(page, "STATIC", "Text", SS_LEFT, 140, 90, 80, 30);
  const TWindowState before = WindowStateOf(page);
  Manager->SetActive(false);
  auto* a = Create<TacTransPanelWnd>(page, nullptr, Manager, "CHECKBOX", true);
  auto* t = Create<TacStaticWnd>(text, nullptr, Manager, "CHECKBOX", true);
  flush_events();
  Manager->SetActive(true);
  flush_events();
  RedrawWindow(page, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
  const Capture shot = SettledScreen(page);
  EXPECT_EQ(ColorText(Frame("CHECKBOX", "BORDERSMASK")), ColorText(shot.Pixel(120, 0)));
  EXPECT_EQ(0, SettledScreen(button).CountColor(Frame("CHECKBOX", "BORDERSMASK")));
  // The static inside, adapted while the skin was off, takes the skin as it comes.
  EXPECT_EQ(ColorText(Frame("CHECKBOX", "BORDERSMASK")), ColorText(SettledScreen(text).Pixel(78, 28)));
  t->Free();
  a->Free();
  EXPECT_TRUE(before == WindowStateOf(page)) << Describe(WindowStateOf(page));
}

struct TContainerCase {
  const char* Name;
  TacAdapterMaker Make;
  int Kind;          // 0: a bare window, 1: a panel of the class library, 2: a group box of the class library
  bool ControlData;  // the skin data of the control, as the control adapter gives it
};

TEST_F(PanelAdapters, ContainersPassTheSkinOnToTheWindowsInside) {
  // The walk over the windows stops at a skinned container: the skin's coming, refresh and going
  // reach a window inside it only through its adapter, a bare window inside a class-library
  // container included; a bare list box inside is given the skin's colours by it.
  const TContainerCase cases[] = {
      {"dialog panel, bare window", &MakeAdapter<TacDlgPanelWnd>, 0, false},
      {"dialog panel, class-library panel", &MakeAdapter<TacDlgPanelWnd>, 1, false},
      {"panel", &MakeAdapter<TacPanelWnd>, 1, true},
      {"group box", &MakeAdapter<TacGroupBoxWnd>, 2, true},
  };
  for (const TContainerCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TWinControl* control = nullptr;
    if (c.Kind == 2) {
      auto* group = Create<TGroupBox>(Form);
      group->SetParent(Form);
      group->SetBounds(20, 20, 240, 140);
      control = group;
    } else if (c.Kind == 1) {
      control = MakePanel();
    }
    HWND box = control ? control->Handle() : Track(CreatePlainWindow(Form->Handle(), 0, 20, 20, 240, 140));
    HWND text = CreateControl(box, "STATIC", "Text", SS_LEFT, 140, 90, 80, 30);
    HWND list = CreateControl(box, "LISTBOX", "", WS_VSCROLL | LBS_NOINTEGRALHEIGHT, 10, 50, 110, 80);
    SendMessageA(list, LB_ADDSTRING, 0, LPARAM("Item"));
    Manager->SetActive(false);
    TsCommonData* sd = c.ControlData ? new TsCommonData(control, true) : nullptr;
    if (sd) sd->SetSkinManager(Manager);
    TacMainWnd* a = c.Make(box, sd, Manager, "CHECKBOX", true);
    auto* t = Create<TacStaticWnd>(text, nullptr, Manager, "CHECKBOX", true);
    // The bare list box inside takes its colours from the container's adapter.
    auto* e = Create<TacEditWnd>(list, nullptr, Manager, "EDIT", true);
    flush_events();
    Manager->SetActive(true);
    flush_events();
    // The container painted again alone (as the gallery's form paints it after the windows inside
    // it when it first shows) leaves them as they are.
    for (const char* when : {"the skin came", "the container repainted"}) {
      SCOPED_TRACE(when);
      EXPECT_EQ(ColorText(Frame("CHECKBOX", "BORDERSMASK")), ColorText(SettledScreen(text).Pixel(78, 28)));
      EXPECT_EQ(ColorText(SectionColour("EDIT")), ColorText(SettledScreen(list).Pixel(40, 60)));
      RedrawWindow(box, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_NOCHILDREN);
    }
    Manager->SetActive(false);
    flush_events();
    EXPECT_EQ(0, SettledScreen(text).CountColor(Frame("CHECKBOX", "BORDERSMASK"))) << "the skin went";
    EXPECT_EQ(ColorText(GetSysColor(COLOR_WINDOW)), ColorText(SettledScreen(list).Pixel(40, 60)));
    Manager->SetActive(true);
    e->Free();
    t->Free();
    a->Free();
    delete sd;
    // Each case's container goes with it: the next one lies in the same place.
    if (control)
      control->Free();
    else
      DestroyWindow(box);
    flush_events();
  }
}

// A skinned push button's window region cuts its corners: there, inside every adapted container,
// the container's look shows, as it does beside the button (in a bare container, beside a bare
// window cut the same way).
TEST_F(PanelAdapters, RoundedSkinnedControlsShowTheContainerAtTheirCorners) {
  const TContainerCase cases[] = {
      {"panel", &MakeAdapter<TacPanelWnd>, 1, true},
      {"transparent container", &MakeAdapter<TacTransPanelWnd>, 0, false},
      {"dialog panel", &MakeAdapter<TacDlgPanelWnd>, 1, false},
      {"group box", &MakeAdapter<TacGroupBoxWnd>, 2, true},
      {"tab control", &MakeAdapter<TacTabControlWnd>, 3, false},
      {"status bar", &MakeAdapter<TacStatusBarWnd>, 4, false},
      {"tool bar", &MakeAdapter<TacToolBarVCLWnd>, 5, true},
  };
  const char* const sections[] = {"CHECKBOX", "CHECKBOX", "CHECKBOX", "PAGECONTROL", "STATUSBAR", "TOOLBAR"};
  for (const TContainerCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TWinControl* control = nullptr;
    if (c.Kind >= 2) {
      if (c.Kind == 2) control = Create<TGroupBox>(Form);
      if (c.Kind == 3) control = Create<TTabControl>(Form);
      if (c.Kind == 4) control = Create<TStatusBar>(Form);
      if (c.Kind == 5) control = Create<TToolBar>(Form);
      control->SetParent(Form);
      control->SetAlign(alNone);
      control->SetBounds(20, 20, 240, 140);
    } else if (c.Kind == 1) {
      control = MakePanel();
    }
    const HWND box = control ? control->Handle() : Track(CreatePlainWindow(Form->Handle(), 0, 20, 20, 240, 140));
    // A skinned button in a control; in a bare window a bare one (that paints nothing) cut to the
    // button's region.
    TsButton* button = nullptr;
    HWND child = nullptr;
    if (control) {
      button = Create<TsButton>(Form);
      button->SetParent(control);
      button->SetBounds(60, 60, 90, 30);
      button->SetCaption("Rounded");
      child = button->Handle();
    } else {
      child = CreatePlainWindow(box, 0, 60, 60, 90, 30);
      HRGN rgn = CreateRectRgn(0, 0, 90, 30);
      OwnedRegion corner(CreateRectRgn(0, 0, 1, 1)), other(CreateRectRgn(86, 29, 90, 30));
      CombineRgn(rgn, rgn, corner, RGN_DIFF);
      CombineRgn(rgn, rgn, other, RGN_DIFF);
      SetWindowRgn(child, rgn, TRUE);  // the window owns it now
    }
    TsCommonData* sd = c.ControlData ? new TsCommonData(control, true) : nullptr;
    if (sd) {
      sd->SetSkinManager(Manager);
      sd->SetSkinSection(sections[c.Kind]);
    }
    TacMainWnd* a = c.Make(box, sd, Manager, sections[c.Kind], true);
    RedrawWindow(box, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    const Capture shot = SettledScreen(box);
    ASSERT_NE(ERROR, GetWindowRgn(child, OwnedRegion(CreateRectRgn(0, 0, 0, 0)))) << "the child has its region";
    // The key runs of the test skin's corners: top-left 1 pixel, bottom-right 4.
    const int l = 60, t = 60, r = 60 + 90 - 1, b = 60 + 30 - 1;
    EXPECT_EQ(ColorText(shot.Pixel(l - 1, t)), ColorText(shot.Pixel(l, t))) << "top-left corner";
    EXPECT_EQ(ColorText(shot.Pixel(r + 1, b)), ColorText(shot.Pixel(r, b))) << "bottom-right corner";
    EXPECT_EQ(ColorText(shot.Pixel(r + 1, b)), ColorText(shot.Pixel(r - 3, b)));
    if (button) button->Free();
    a->Free();
    delete sd;
    if (control) control->Free();
    flush_events();
  }
}

// Steps of a drag run from a timer inside the system's sizing loop: once the loop runs, the pointer
// moves 40 to the right and 30 down, then the button is released.
int GripStep = 0;
POINT GripFrom{};
void CALLBACK DragGrip(HWND, UINT, UINT_PTR, DWORD) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  GetGUIThreadInfo(GetCurrentThreadId(), &info);
  INPUT in{};
  in.type = INPUT_MOUSE;
  if (GripStep == 0 && (info.flags & GUI_INMOVESIZE)) {
    const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    in.mi.dx = LONG(((GripFrom.x + 40) * 65536LL + 32768) / w);
    in.mi.dy = LONG(((GripFrom.y + 30) * 65536LL + 32768) / h);
    in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &in, sizeof in);
    GripStep = 1;
  } else if (GripStep == 1) {
    in.mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(1, &in, sizeof in);
    GripStep = 2;
  }
}

TEST_F(PanelAdapters, SizeGripSizesItsWindowFromTheCorner) {
  HWND top = Track(CreatePlainWindow(nullptr, 0, 60, 60, 300, 220));
  RECT cr{};
  GetClientRect(top, &cr);
  const int g = GetSystemMetrics(SM_CXVSCROLL);
  HWND grip = CreateControl(top, "SCROLLBAR", "", SBS_SIZEGRIP, cr.right - g, cr.bottom - g, g, g);
  auto* a = Create<TacSizerWnd>(grip, nullptr, Manager, "CHECKBOX", true);
  RedrawWindow(grip, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
  EXPECT_EQ(ColorText(Frame("CHECKBOX", "BORDERSMASK")), ColorText(SettledScreen(grip).Pixel(g / 2, 0)));
  RECT gr{}, tr{};
  GetWindowRect(grip, &gr);
  GetWindowRect(top, &tr);
  // The corner where the grip lies; elsewhere (a point given to it from outside) not.
  EXPECT_EQ(HTBOTTOMRIGHT, SendMessageA(grip, WM_NCHITTEST, 0, MAKELPARAM(gr.left + 2, gr.top + 2)));
  EXPECT_NE(HTBOTTOMRIGHT, SendMessageA(grip, WM_NCHITTEST, 0, MAKELPARAM(gr.left - 30, gr.top - 30)));
  // A scroll bar that is no grip is left to itself.
  HWND bar = CreateControl(top, "SCROLLBAR", "", SBS_VERT, 10, 10, g, 100);
  auto* b = Create<TacSizerWnd>(bar, nullptr, Manager, "CHECKBOX", true);
  RECT br{};
  GetWindowRect(bar, &br);
  EXPECT_EQ(HTCLIENT, SendMessageA(bar, WM_NCHITTEST, 0, MAKELPARAM(br.left + 2, br.top + 50)));
  EXPECT_EQ(0, SettledScreen(bar).CountColor(Frame("CHECKBOX", "BORDERSMASK")));
  b->Free();
  // Grabbed and dragged: the window grows, the grip keeps its size. The drag runs inside the
  // system's sizing loop, which a timer's steps drive from within.
  GripStep = 0;
  GripFrom = POINT{gr.left + g / 2, gr.top + g / 2};
  MouseTo(GripFrom.x, GripFrom.y);
  const UINT_PTR timer = SetTimer(nullptr, 0, 20, &DragGrip);
  LeftButton(true);
  EXPECT_TRUE(pump_until([] { return GripStep == 2; }, 5000));
  KillTimer(nullptr, timer);
  if (GetAsyncKeyState(VK_LBUTTON) & 0x8000) LeftButton(false);
  Settle();
  RECT tr2{}, gr2{};
  GetWindowRect(top, &tr2);
  GetWindowRect(grip, &gr2);
  EXPECT_GT(tr2.right - tr2.left, tr.right - tr.left) << "the window grew";
  EXPECT_EQ(g, gr2.right - gr2.left) << "the grip kept its size";
  a->Free();
}

}  // namespace
}  // namespace qvtest
