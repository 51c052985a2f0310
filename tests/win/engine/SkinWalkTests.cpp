// The one path of a skin change: a skin switch, its removal and its return reach every window of
// every kind of container exactly once per command, and every window that shows is painted once,
// after the last command, under the shape it takes (cut before its paint, not inside it).
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "classlib/ExtCtrlsPanels.h"
#include "classlib/Forms.h"
#include "classlib/StdCtrls.h"
#include "skin/controls/sButton.h"
#include "skin/controls/sCheckBox.h"
#include "skin/controls/sGroupBox.h"
#include "skin/controls/sPageControl.h"
#include "skin/controls/sPanel.h"
#include "skin/controls/sSpeedButton.h"
#include "skin/engine/SkinWalk.h"
#include "skin/windows/acSBUtils.h"
#include "skin/windows/sSkinProvider.h"
#include "tests/support/MessageSpy.h"
#include "tests/support/ProcSpy.h"
#include "tests/support/Pump.h"
#include "tests/support/SkinTestSupport.h"

using namespace qvtest;

namespace {

// A window of a scene. A control of the class library that no adapter takes over is watched through
// its WindowProc (what its parent performs on it counts too: a page painted by its page control);
// an adapted control and a foreign window through the thread's message hooks (an adapter that
// attaches later goes in front of the window's procedure).
struct TWatched {
  std::string Kind, Name;
  HWND Wnd = nullptr;
  TControl* Tapped = nullptr;
  HWND Key() const { return Tapped ? reinterpret_cast<HWND>(Tapped) : Wnd; }
};

struct TSkinAction {
  const char* Name;
  int Heard[4];  // how often QC_SKINLOADED, QC_SKINREMOVED and QC_REFRESH are heard (by code; 0 unused)
};

// The test skin with the push button and the panel in other colours.
TSkinBuilder OtherSkin() {
  TSkinBuilder b = TSkinBuilder::Standard().RemoveSection("BUTTON").RemoveSection("PANEL");
  b.Section("BUTTON");
  b.Mask("BUTTON", "BORDERSMASK", 12, 12, 3);
  b.Section("PANEL");
  b.Mask("PANEL", "BORDERSMASK", 12, 12, 1);
  return b;
}

INT_PTR CALLBACK SilentDialogProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

HWND MakeBareDialog(int x, int y) {
  alignas(4) WORD buf[64] = {};
  auto* t = reinterpret_cast<DLGTEMPLATE*>(buf);
  t->style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
  t->cx = 140;
  t->cy = 60;
  WORD* p = reinterpret_cast<WORD*>(t + 1);
  *p++ = 0;  // no menu
  *p++ = 0;  // the dialog class
  for (const char* c = "Dialog"; *c; ++c) *p++ = WORD(*c);
  *p++ = 0;
  HWND dlg = CreateDialogIndirectParamA(GetModuleHandleA(nullptr), t, nullptr, SilentDialogProc, 0);
  SetWindowPos(dlg, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  return dlg;
}

template <class T>
T* Place(TComponent* owner, TWinControl* parent, int x, int y, int w, int h) {
  auto* c = Create<T>(owner);
  c->SetParent(parent);
  c->SetBounds(x, y, w, h);
  return c;
}

class SkinWalk : public SkinEngineTest {
 protected:
  void SetUp() override {
    Application->ResetTerminated();
    SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 2, GetSystemMetrics(SM_CYSCREEN) - 2);
    Manager = CreateTestManager(TSkinBuilder::Standard());
    Manager->AddInternalSkin("Other", OtherSkin().Packed());
    OldMain = Application->MainForm();
    MakeForm();
    MakeMDI();
    MakeDialog();
    flush_events();
  }
  void TearDown() override {
    if (Dialog) DestroyWindow(Dialog);
    FreeAndNil(Form);
    FreeAndNil(Frame);
    Application->SetMainForm(OldMain);
    flush_events();
    FreeAndNil(Manager);
    flush_events();
    SkinEngineTest::TearDown();
  }

  void Watch(const char* kind, const char* name, TControl* c) { Windows.push_back({kind, name, nullptr, c}); }
  void WatchAdapted(const char* kind, const char* name, TWinControl* c) {
    Windows.push_back({kind, name, c->Handle(), nullptr});
  }

  // A form with a provider holding the containers of each kind, and a bare window.
  void MakeForm() {
    Form = Create<TForm>(Application);
    Form->SetBounds(10, 10, 600, 420);
    Form->SetCaption("Containers");
    Create<TsSkinProvider>(Form);
    Watch("form", "form", Form);
    Watch("form", "push button", Place<TsButton>(Form, Form, 10, 10, 90, 26));

    auto* panel = Place<TsPanel>(Form, Form, 10, 50, 180, 100);
    Watch("panel", "panel", panel);
    Watch("panel", "push button", Place<TsButton>(Form, panel, 10, 10, 80, 26));
    Watch("panel", "speed button", Place<TsSpeedButton>(Form, panel, 10, 50, 80, 26));

    auto* group = Place<TsGroupBox>(Form, Form, 200, 50, 180, 100);
    Watch("group box", "group box", group);
    Watch("group box", "check box", Place<TsCheckBox>(Form, group, 10, 30, 120, 20));

    auto* pages = Place<TsPageControl>(Form, Form, 390, 50, 200, 150);
    auto* sheet = Create<TsTabSheet>(Form);
    sheet->SetPageControl(pages);
    sheet->SetCaption("Page");
    Watch("page control and tab sheet", "page control", pages);
    Watch("page control and tab sheet", "tab sheet", sheet);
    Watch("page control and tab sheet", "push button", Place<TsButton>(Form, sheet, 10, 10, 80, 26));

    auto* adapted = Place<TPanel>(Form, Form, 10, 160, 180, 130);
    WatchAdapted("adapted panel", "panel", adapted);
    Watch("adapted panel", "push button", Place<TsButton>(Form, adapted, 10, 10, 80, 26));
    Standard = Place<TButton>(Form, adapted, 10, 50, 80, 26);
    WatchAdapted("adapted panel", "standard button", Standard);
    Watch("adapted panel", "speed button", Place<TsSpeedButton>(Form, adapted, 10, 90, 80, 26));

    Form->Show();
    Bare = CreateWindowExA(WS_EX_CLIENTEDGE, "LISTBOX", "", WS_CHILD | WS_VISIBLE, 200, 170, 150, 80, Form->Handle(),
                           nullptr, GetModuleHandleA(nullptr), nullptr);
    SendMessageA(Bare, LB_ADDSTRING, 0, LPARAM("item"));
    Windows.push_back({"bare window inside a skinned form", "list box", Bare, nullptr});
  }

  void MakeMDI() {
    Frame = Create<TForm>(Application);
    Frame->SetTag(-98);  // its own provider, none from the dialog hook
    Frame->SetFormStyle(fsMDIForm);
    Frame->SetBounds(620, 10, 420, 320);
    Frame->SetCaption("MDI frame");
    Application->SetMainForm(Frame);
    Frame->HandleNeeded();
    Create<TsSkinProvider>(Frame)->Loaded();
    Frame->Show();
    auto* child = Create<TForm>(Frame);
    child->SetBounds(10, 10, 220, 150);
    child->SetCaption("Child");
    Create<TsSkinProvider>(child);
    auto* button = Place<TsButton>(child, child, 10, 10, 80, 26);
    child->SetFormStyle(fsMDIChild);
    flush_events();
    Watch("MDI child", "frame", Frame);
    Windows.push_back({"MDI child", "client", Frame->ClientHandle(), nullptr});
    Watch("MDI child", "child", child);
    Watch("MDI child", "push button", button);
  }

  void MakeDialog() {
    Dialog = MakeBareDialog(620, 400);
    HWND button = CreateWindowExA(0, "BUTTON", "OK", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 10, 10, 80, 26, Dialog,
                                  nullptr, GetModuleHandleA(nullptr), nullptr);
    ShowWindow(Dialog, SW_SHOW);
    flush_events();
    Windows.push_back({"dialog", "dialog", Dialog, nullptr});
    Windows.push_back({"dialog", "button", button, nullptr});
  }

  // Runs the action with every window watched; one line per window: how often it heard
  // QC_SKINLOADED, QC_SKINREMOVED and QC_REFRESH, how often it was painted during the walk and
  // after the last command, and how often its frame was measured again (WM_NCCALCSIZE: a new
  // region, a new frame) once its paint had begun.
  std::string Deliveries(const TSkinAction& action, void (*run)(TsSkinManager*)) {
    MessageSpy spy;
    std::vector<std::unique_ptr<ProcSpy>> taps;
    for (const TWatched& w : Windows) {
      if (w.Tapped) {
        taps.push_back(std::make_unique<ProcSpy>());
        taps.back()->Into = &spy;
        taps.back()->Attach(w.Tapped);
      } else {
        spy.Hook(w.Wnd);
      }
    }
    run(Manager);
    flush_events();
    for (auto& t : taps) t->Detach();
    const std::vector<MsgEntry>& e = spy.Entries();
    auto isCommand = [](const MsgEntry& m) {
      const int code = int(HIWORD(m.WParam));
      return m.Msg == SM_QUORVEXCMD && code >= QC_SKINLOADED && code <= QC_REFRESH;
    };
    const auto last = std::find_if(e.rbegin(), e.rend(), isCommand);
    const std::size_t end = last == e.rend() ? 0 : std::size_t(e.rend() - last);
    std::ostringstream out;
    for (const TWatched& w : Windows) {
      int heard[4] = {}, during = 0, after = 0, cut = 0;
      for (std::size_t i = 0; i < e.size(); ++i) {
        if (e[i].Wnd != w.Key()) continue;
        if (isCommand(e[i])) ++heard[HIWORD(e[i].WParam)];
        if (e[i].Msg == WM_PAINT) ++(i < end ? during : after);
        if (e[i].Msg == WM_NCCALCSIZE && after > 0) ++cut;
      }
      out << action.Name << ", " << w.Kind << ", " << w.Name << ": QC_SKINLOADED x" << heard[QC_SKINLOADED]
          << ", QC_SKINREMOVED x" << heard[QC_SKINREMOVED] << ", QC_REFRESH x" << heard[QC_REFRESH] << "; painted "
          << during << " during the walk, " << after << " after it; cut " << cut << " after its paint began\n";
    }
    return out.str();
  }

  std::string Expected(const TSkinAction& action) const {
    std::ostringstream out;
    for (const TWatched& w : Windows)
      out << action.Name << ", " << w.Kind << ", " << w.Name << ": QC_SKINLOADED x" << action.Heard[QC_SKINLOADED]
          << ", QC_SKINREMOVED x" << action.Heard[QC_SKINREMOVED] << ", QC_REFRESH x" << action.Heard[QC_REFRESH]
          << "; painted 0 during the walk, 1 after it; cut 0 after its paint began\n";
    return out.str();
  }

  TsSkinManager* Manager = nullptr;
  TCustomForm* OldMain = nullptr;
  TForm* Form = nullptr;
  TForm* Frame = nullptr;
  TButton* Standard = nullptr;
  HWND Bare = nullptr;
  HWND Dialog = nullptr;
  std::vector<TWatched> Windows;
};

}  // namespace

TEST_F(SkinWalk, EachWindowHearsEachCommandOnceAndIsPaintedOnceAfterTheWalk) {
  // The scene is skinned: the standard controls of the form and the dialog carry adapters.
  ASSERT_NE(nullptr, GetWndAdapter(Standard->Handle()));
  ASSERT_NE(nullptr, GetWndAdapter(Dialog));
  const TSkinAction actions[] = {{"switch", {0, 1, 0, 1}}, {"removal", {0, 0, 1, 0}}, {"return", {0, 1, 0, 1}}};
  void (*runs[])(TsSkinManager*) = {[](TsSkinManager* m) { m->SetSkinName("Other"); },
                                    [](TsSkinManager* m) { m->SetActive(false); },
                                    [](TsSkinManager* m) { m->SetActive(true); }};
  for (int i = 0; i < 3; ++i) EXPECT_EQ(Expected(actions[i]), Deliveries(actions[i], runs[i]));
}
