// Every adapter of static, button, combo box, panel, size grip and up-down windows on a window
// made as a dialog makes it: attached, painted and let go a thousand times, the window is given back
// as it was (procedure, styles, text, check state, image) and no GDI handle stays behind; a window
// destroyed with its adapter on leaves an adapter that can be freed without touching the window.
#include "tests/support/AdapterTestSupport.h"

#include <commctrl.h>

#include "tests/support/GdiHandles.h"

namespace qvtest {
namespace {

class AdapterCycles : public AdapterTest {
 protected:
  void SetUp() override {
    AdapterTest::SetUp();
    Dialog = Track(CreatePlainWindow(nullptr, 0, 40, 40, 420, 320));
  }
  HWND Dialog = nullptr;
};

struct TCycleCase {
  const char* Class;
  const char* Text;
  DWORD Style;
  TacAdapterMaker Maker;
  const char* Section;
  std::function<void(HWND)> Prepare;
};

// Each adapter of these families with a window of its kind.
std::vector<TCycleCase> AdaptedWindows() {
  const auto checked = [](HWND w) { SendMessageA(w, BM_SETCHECK, BST_CHECKED, 0); };
  const auto items = [](HWND w) {
    for (int i = 0; i < 20; ++i) SendMessageA(w, CB_ADDSTRING, 0, LPARAM("Choice"));
    SendMessageA(w, CB_SETCURSEL, 3, 0);
  };
  return {
      {"STATIC", "Text", SS_LEFT, &MakeAdapter<TacStaticWnd>, "CHECKBOX", nullptr},
      {"STATIC", "", SS_ICON, &MakeAdapter<TacIconWnd>, "CHECKBOX",
       [](HWND w) { SendMessageA(w, STM_SETICON, WPARAM(LoadIconA(nullptr, IDI_WARNING)), 0); }},
      {"STATIC", "A <A>link</A>", SS_LEFT, &MakeAdapter<TacLinkWnd>, "CHECKBOX", nullptr},
      {"BUTTON", "Push", BS_DEFPUSHBUTTON, &MakeAdapter<TacBtnWnd>, "BUTTON", nullptr},
      {"BUTTON", "Image", BS_PUSHBUTTON | BS_BITMAP, &MakeAdapter<TacBitBtnWnd>, "BUTTON",
       [](HWND w) {
         SendMessageA(w, BM_SETIMAGE, IMAGE_BITMAP, LPARAM(LoadBitmapA(nullptr, MAKEINTRESOURCEA(32760))));
       }},
      {"BUTTON", "Check", BS_AUTO3STATE, &MakeAdapter<TacCheckBoxWnd>, "CHECKBOX",
       [](HWND w) { SendMessageA(w, BM_SETCHECK, BST_INDETERMINATE, 0); }},
      {"BUTTON", "Radio", BS_AUTORADIOBUTTON, &MakeAdapter<TacCheckBoxWnd>, "CHECKBOX", checked},
      {"BUTTON", "Group", BS_GROUPBOX, &MakeAdapter<TacGroupBoxWnd>, "GROUPBOX", nullptr},
      {"COMBOBOX", "", CBS_DROPDOWNLIST | WS_VSCROLL, &MakeAdapter<TacComboBoxWnd>, "COMBOBOX", items},
      {"COMBOBOX", "", CBS_SIMPLE | WS_VSCROLL, &MakeAdapter<TacComboBoxWnd>, "COMBOBOX", items},
      {"COMBOBOX", "", CBS_DROPDOWN | WS_VSCROLL, &MakeAdapter<TacWWComboBoxWnd>, "EDIT", items},
      {"QvAdpPlain", "", 0, &MakeAdapter<TacDlgPanelWnd>, "PANEL", nullptr},
      {"QvAdpPlain", "", 0, &MakeAdapter<TacTransPanelWnd>, "CHECKBOX", nullptr},
      {"SCROLLBAR", "", SBS_SIZEGRIP, &MakeAdapter<TacSizerWnd>, "CHECKBOX", nullptr},
      {UPDOWN_CLASSA, "", UDS_HORZ, &MakeAdapter<TacSpinWnd>, "SPEEDBUTTON_SMALL", nullptr},
  };
}

TEST_F(AdapterCycles, AttachPaintAndLeaveAThousandTimes) {
  for (const TCycleCase& c : AdaptedWindows()) {
    SCOPED_TRACE(std::string(c.Class) + " " + c.Text);
    int handles = -1;
    HWND wnd = CreateControl(Dialog, c.Class, c.Text, c.Style, 20, 20, 160, 120);
    if (c.Prepare) c.Prepare(wnd);
    const TWindowState before = WindowStateOf(wnd);
    for (int i = 0; i < 1000; ++i) {
      TacMainWnd* a = c.Maker(wnd, nullptr, Manager, c.Section, true);
      // Painted now and then: what a paint makes is made again the next time.
      if (i % 20 == 0)
        RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
      a->Free();
      // The first cycle makes what stays for the process (the brushes of the window classes, the
      // fonts of the painters); from then on nothing may be left behind.
      if (handles < 0) handles = GdiHandleCount();
    }
    EXPECT_TRUE(before == WindowStateOf(wnd)) << Describe(before) << "\n" << Describe(WindowStateOf(wnd));
    EXPECT_EQ(handles, GdiHandleCount());
    // Destroyed with its adapter on: the adapter leaves and is freed afterwards.
    TacMainWnd* a = c.Maker(wnd, nullptr, Manager, c.Section, true);
    DestroyWindow(wnd);
    EXPECT_TRUE(a->Destroyed);
    a->Free();
  }
}

TEST_F(AdapterCycles, SkinRemovedAndBackWhileTheAdaptersStayOn) {
  SetWindowPos(Dialog, nullptr, 0, 0, 600, 340, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  std::vector<HWND> windows;
  std::vector<Capture> plain;
  std::vector<TacMainWnd*> adapters;
  const std::vector<TCycleCase> cases = AdaptedWindows();
  for (std::size_t i = 0; i < cases.size(); ++i) {
    const TCycleCase& c = cases[i];
    HWND wnd = CreateControl(Dialog, c.Class, c.Text, c.Style, 10 + int(i % 5) * 114, 10 + int(i / 5) * 100, 104, 60);
    if (c.Prepare) c.Prepare(wnd);
    windows.push_back(wnd);
  }
  // (An up-down shows nothing until it is painted once.)
  RedrawWindow(Dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
  for (HWND wnd : windows) plain.push_back(SettledScreen(wnd));
  for (std::size_t i = 0; i < cases.size(); ++i)
    adapters.push_back(cases[i].Maker(windows[i], nullptr, Manager, cases[i].Section, true));
  RedrawWindow(Dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
  auto expectSkin = [&](bool on, const char* when) {
    for (std::size_t i = 0; i < cases.size(); ++i) {
      SCOPED_TRACE(std::string(when) + ": " + cases[i].Class + " " + cases[i].Text);
      const int differing = DifferingPixels(plain[i], SettledScreen(windows[i]));
      if (on)
        EXPECT_GT(differing, 0) << "in the skin";
      else
        EXPECT_EQ(0, differing) << "as the system draws it";
    }
  };
  expectSkin(true, "skinned");
  Manager->SetActive(false);
  expectSkin(false, "skin removed");
  Manager->SetActive(true);
  RedrawWindow(Dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
  expectSkin(true, "skin back");
  for (TacMainWnd* a : adapters) a->Free();
  expectSkin(false, "adapters gone");
}

}  // namespace
}  // namespace qvtest
