// The title bar's behaviour: hit codes for every element and edge, the buttons' looks under real
// mouse input read back from the screen and the system commands their clicks send, the caption's
// double click, snapping to the work area, the custom move frame, and the paths taken for Windows
// before and from version 6.
#include "tests/win/provider/ProviderTestSupport.h"

#include "classlib/StdCtrls.h"
#include "skin/engine/sFade.h"
#include "skin/windows/acDials.h"
#include "skin/windows/core/acFormGeometry.h"

namespace qvtest {
namespace {

using TitleBar = ProviderTest;

LPARAM ScreenLParam(POINT p) { return MAKELPARAM(p.x, p.y); }

int HitAt(TCustomForm* form, int x, int y) {
  return int(SendMessageA(form->Handle(), WM_NCHITTEST, 0, ScreenLParam(ProviderTest::At(form, x, y))));
}

TEST_F(TitleBar, HitCodesOfEveryElementAndEdge) {
  TRecordingForm* plain = NewForm();
  TsSkinProvider* p = ProviderOf(plain);
  p->TitleButtons->Add();
  p->TitleButtons->Add()->SetEnabled(false);
  p->RepaintFrame();
  TRecordingForm* noMax = NewForm();
  noMax->SetBorderIcons(TBorderIcons{biSystemMenu, biMinimize, biHelp});
  TRecordingForm* noIcon = NewForm(bsSingle);
  ProviderOf(noIcon)->SetShowAppIcon(false);
  TRecordingForm* zoomed = NewForm();
  zoomed->SetWindowState(wsMaximized);
  flush_events();
  ASSERT_TRUE(IsZoomed(zoomed->Handle()));
  auto centre = [](TCustomForm* f, TsCaptionButton TsSkinProvider::*b) { return Centre(ProviderOf(f)->*b); };
  auto extra = [&](int i) { return Centre(p->TitleButtons->Items(i)->BtnData); };
  const int w = p->FormWidth(), h = p->FormHeight(), bandY = centre(plain, &TsSkinProvider::ButtonClose).y;
  const TRect icon = p->IconRect();
  struct TRow {
    const char* What;
    TCustomForm* Form;
    POINT At;
    int Code;
  };
  const TRow rows[] = {
      {"close", plain, centre(plain, &TsSkinProvider::ButtonClose), HTCLOSE},
      {"maximize", plain, centre(plain, &TsSkinProvider::ButtonMax), HTMAXBUTTON},
      {"minimize", plain, centre(plain, &TsSkinProvider::ButtonMin), HTMINBUTTON},
      {"extra button", plain, extra(0), qv::htTitleButton},
      {"disabled extra button", plain, extra(1), HTCAPTION},
      {"icon", plain, POINT{(icon.Left + icon.Right) / 2, bandY}, HTSYSMENU},
      {"caption", plain, POINT{w / 2, bandY}, HTCAPTION},
      {"left edge", plain, POINT{1, h / 2}, HTLEFT},
      {"right edge", plain, POINT{w - 2, h / 2}, HTRIGHT},
      {"top edge", plain, POINT{w / 2, 1}, HTTOP},
      {"bottom edge", plain, POINT{w / 2, h - 2}, HTBOTTOM},
      {"bottom-right corner", plain, POINT{w - 2, h - 2}, HTBOTTOMRIGHT},
      {"client", plain, POINT{w / 2, h / 2}, HTCLIENT},
      {"minimize beside close", noMax, centre(noMax, &TsSkinProvider::ButtonMin), HTMINBUTTON},
      {"help beside minimize", noMax, centre(noMax, &TsSkinProvider::ButtonHelp), HTHELP},
      {"no icon, no window-menu strip", noIcon, POINT{ProviderOf(noIcon)->BorderWidth(), bandY}, HTCAPTION},
      {"maximized: restore", zoomed, centre(zoomed, &TsSkinProvider::ButtonMax), HTMAXBUTTON},
      {"maximized: close", zoomed, centre(zoomed, &TsSkinProvider::ButtonClose), HTCLOSE},
      {"maximized: edge", zoomed, POINT{1, ProviderOf(zoomed)->FormHeight() / 2}, HTTRANSPARENT},
  };
  for (const TRow& r : rows) EXPECT_EQ(r.Code, HitAt(r.Form, r.At.x, r.At.y)) << r.What;
}

TEST_F(TitleBar, ButtonsShowHotAndPressedAndClicksSendTheirCommands) {
  TRecordingForm* form = NewForm();
  form->SetBorderIcons(TBorderIcons{biSystemMenu, biMinimize, biMaximize, biHelp});
  form->Swallow = true;
  flush_events();
  TsSkinProvider* p = ProviderOf(form);
  struct TRow {
    const char* What;
    TsCaptionButton TsSkinProvider::*Button;
    const char* Image;
    WPARAM Command;
  };
  const TRow rows[] = {
      {"close", &TsSkinProvider::ButtonClose, "BICONCLOSE", SC_CLOSE},
      {"maximize", &TsSkinProvider::ButtonMax, "BICONMAX", SC_MAXIMIZE},
      {"minimize", &TsSkinProvider::ButtonMin, "BICONMIN", SC_MINIMIZE},
      {"help", &TsSkinProvider::ButtonHelp, "BICONHELP", SC_CONTEXTHELP},
  };
  const POINT away = At(form, p->FormWidth() / 2, p->FormHeight() / 2);
  for (const TRow& r : rows) {
    SCOPED_TRACE(r.What);
    const POINT c = Centre(p->*r.Button);
    auto look = [&] { return ColorText(ScreenPixel(form, c.x, c.y)); };
    EXPECT_EQ(ColorText(MaskColor("GLOBALINFO", r.Image, 0)), look());
    MouseTo(At(form, c.x, c.y));
    EXPECT_EQ(ColorText(MaskColor("GLOBALINFO", r.Image, 1)), look()) << "hot";
    LeftButton(true);
    EXPECT_EQ(ColorText(MaskColor("GLOBALINFO", r.Image, 2)), look()) << "pressed";
    // Dragged off, the button lets go; released there, nothing happens.
    MouseTo(away);
    EXPECT_EQ(ColorText(MaskColor("GLOBALINFO", r.Image, 0)), look());
    LeftButton(false);
    EXPECT_TRUE(form->Commands.empty());
    // Released over it, the command goes (pressed a few pixels off the first press: no double click).
    MouseTo(At(form, c.x + 4, c.y));
    LeftButton(true);
    LeftButton(false);
    EXPECT_EQ(std::vector<WPARAM>{r.Command}, form->Commands);
    form->Commands.clear();
    MouseTo(away);
  }
  // A release over the client area with Ctrl held carries the key in WParam, not a hit code.
  const POINT c = Centre(p->ButtonMin);
  MouseTo(At(form, c.x, c.y));
  LeftButton(true);
  MouseTo(away);
  INPUT ctrl{};
  ctrl.type = INPUT_KEYBOARD;
  ctrl.ki.wVk = VK_CONTROL;
  SendInput(1, &ctrl, sizeof ctrl);
  LeftButton(false);
  ctrl.ki.dwFlags = KEYEVENTF_KEYUP;
  SendInput(1, &ctrl, sizeof ctrl);
  flush_events();
  EXPECT_TRUE(form->Commands.empty());
}

TEST_F(TitleBar, DoubleClickOnTheCaptionMaximizesAndRestores) {
  TRecordingForm* form = NewForm();
  TsSkinProvider* p = ProviderOf(form);
  const POINT caption = At(form, p->FormWidth() / 2, Centre(p->ButtonClose).y);
  MouseTo(caption);
  LeftClicks(2);
  EXPECT_TRUE(pump_until([&] { return IsZoomed(form->Handle()) != 0; }));
  // A form that goes back to its icon each time it is restored is restored a few times at most.
  form->Commands.clear();
  form->Swallow = true;
  struct TMinimizer {
    TRecordingForm* Form;
    TWndMethod Next;
    void Proc(TMessage& m) {
      if (m.Msg == WM_SYSCOMMAND && (m.WParam & 0xFFF0) == SC_RESTORE) ShowWindow(Form->Handle(), SW_MINIMIZE);
      Next(m);
    }
  } minimizer{form, p->OldWndProc};
  const TWndMethod providerProc = p->OldWndProc;
  p->OldWndProc = MakeMethod<&TMinimizer::Proc>(&minimizer);
  SendMessageA(form->Handle(), WM_NCLBUTTONDBLCLK, HTCAPTION, ScreenLParam(caption));
  p->OldWndProc = providerProc;
  const auto restores = std::count(form->Commands.begin(), form->Commands.end(), WPARAM(SC_RESTORE));
  EXPECT_GE(restores, 2);
  EXPECT_LE(restores, 4);
}

// The system commands a dialog of the hook's gets, kept instead of carried out.
std::vector<WPARAM> DialogCommands;
WNDPROC DialogProc = nullptr;
LRESULT CALLBACK RecordingDialogProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_SYSCOMMAND && (wParam & 0xFFF0) != SC_KEYMENU) {
    DialogCommands.push_back(wParam & 0xFFF0);
    return 0;
  }
  return CallWindowProcA(DialogProc, wnd, msg, wParam, lParam);
}

INT_PTR CALLBACK PlainDialogProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

// A bare sizeable dialog with minimize and maximize boxes, which the dialog hook skins.
HWND MakeDialog() {
  alignas(4) WORD buf[32] = {};
  auto* t = reinterpret_cast<DLGTEMPLATE*>(buf);
  t->style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
  t->x = t->y = 30;
  t->cx = 200;
  t->cy = 100;
  return CreateDialogIndirectParamA(GetModuleHandleA(nullptr), t, nullptr, PlainDialogProc, 0);
}

// Alt+Space, then a window-menu item's letter: the item's command, on a form and on a dialog.
TEST_F(TitleBar, WindowMenuLettersOfFormsAndDialogs) {
  TRecordingForm* form = NewForm();
  form->Swallow = true;
  const HWND dlg = MakeDialog();
  ASSERT_TRUE(dlg);
  ShowWindow(dlg, SW_SHOW);
  flush_events();
  ASSERT_NE(nullptr, dynamic_cast<TacDialogWnd*>(GetWndAdapter(dlg))) << "skinned by the hook";
  DialogProc =
      reinterpret_cast<WNDPROC>(SetWindowLongPtrA(dlg, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&RecordingDialogProc)));
  const std::pair<WORD, WPARAM> rows[] = {{'N', SC_MINIMIZE}, {'C', SC_CLOSE}, {'M', SC_MOVE},   {'S', SC_SIZE},
                                          {'X', SC_MAXIMIZE}, {0, 0},          {'R', SC_RESTORE}};
  for (HWND wnd : {form->Handle(), dlg}) {
    SCOPED_TRACE(wnd == dlg ? "dialog" : "form");
    for (const auto& [letter, command] : rows) {
      if (!letter) {
        // Restore is there for a maximized window.
        ShowWindow(wnd, SW_MAXIMIZE);
        flush_events();
        continue;
      }
      form->Commands.clear();
      DialogCommands.clear();
      WindowMenuKey(wnd, letter);
      std::vector<WPARAM> got = wnd == dlg ? DialogCommands : form->Commands;
      std::erase(got, WPARAM(SC_KEYMENU));
      EXPECT_EQ(std::vector<WPARAM>{command}, got) << char(letter);
    }
  }
  SetWindowLongPtrA(dlg, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(DialogProc));
  DestroyWindow(dlg);
}

TEST_F(TitleBar, SnapsToTheWorkAreaWithinTheBuffer) {
  TRecordingForm* form = NewForm();
  TsSkinProvider* p = ProviderOf(form);
  p->SetScreenSnap(true);
  RECT work{};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  const int w = p->FormWidth(), h = p->FormHeight();
  struct TRow {
    const char* What;
    int X, Y, ExpectedX, ExpectedY;
  };
  const TRow rows[] = {
      {"near the right edge", work.right - w - 6, 100, work.right - w, 100},
      {"outside the buffer", work.right - w - 16, 100, work.right - w - 16, 100},
      {"near the bottom edge", 100, work.bottom - h + 4, 100, work.bottom - h},
      {"near the left edge", work.left + 7, 100, work.left, 100},
      {"near the top edge", 100, work.top + 3, 100, work.top},
  };
  for (const TRow& r : rows) {
    SetWindowPos(form->Handle(), nullptr, r.X, r.Y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    flush_events();
    RECT now{};
    GetWindowRect(form->Handle(), &now);
    EXPECT_EQ(r.ExpectedX, now.left) << r.What;
    EXPECT_EQ(r.ExpectedY, now.top) << r.What;
  }
}

TEST_F(TitleBar, MoveFrameIsErasedAndGivesItsDCBackWhateverEndsIt) {
  SetProviderWinVersion(5);
  for (bool destroy : {false, true}) {
    SCOPED_TRACE(destroy ? "form destroyed" : "capture lost");
    TRecordingForm* form = NewForm();
    TsSkinProvider* p = ProviderOf(form);
    p->SetResizeMode(rmBorder);
    const int w = p->FormWidth();
    // A point on the frame's right edge once it is moved by 30, 20: on the desktop beside the form.
    const POINT probe = At(form, w + 29, 60);
    auto screen = [&] {
      return ColorText(CaptureScreenRect(RECT{probe.x, probe.y, probe.x + 1, probe.y + 1}).Pixel(0, 0));
    };
    const std::string desktop = screen();
    const int dcs = GdiHandleCount(OBJ_DC);
    const POINT start = At(form, w / 2, Centre(p->ButtonClose).y);
    MouseTo(start);
    LeftButton(true);
    MouseTo(POINT{start.x + 30, start.y + 20});
    EXPECT_NE(desktop, screen()) << "the frame shows";
    if (destroy) {
      Forms.erase(std::find(Forms.begin(), Forms.end(), form));
      form->Free();
    } else {
      ReleaseCapture();
    }
    flush_events();
    EXPECT_EQ(desktop, screen()) << "the frame is erased";
    EXPECT_EQ(dcs, GdiHandleCount(OBJ_DC)) << "the screen DC given back";
    LeftButton(false);
  }
}

TEST_F(TitleBar, OlderWindowsCoverTheCaptionNewerTurnRedrawOff) {
  struct TSeen {
    bool Cover = false;
    bool Visible = true;
  };
  for (int version : {5, 6}) {
    SCOPED_TRACE(version);
    SetProviderWinVersion(version);
    TRecordingForm* form = NewForm();
    TsSkinProvider* p = ProviderOf(form);
    p->SetResizeMode(rmBorder);
    p->RepaintFrame();
    EXPECT_EQ(version < 6 ? rmBorder : rmStandard, p->GetResizeMode());
    // What the form's own procedure sees while it draws a caption of its own.
    struct TWatch {
      TsSkinProvider* P;
      TWndMethod Next;
      TSeen Activate, Text;
      void Proc(TMessage& m) {
        if (m.Msg == WM_NCACTIVATE || m.Msg == WM_SETTEXT) {
          TSeen& s = m.Msg == WM_NCACTIVATE ? Activate : Text;
          s.Cover = P->CaptionForm != nullptr && IsWindowVisible(P->CaptionForm->Handle());
          s.Visible = IsWindowVisible(P->Form->Handle()) != 0;
        }
        Next(m);
      }
    } watch{p, p->OldWndProc, {}, {}};
    p->OldWndProc = MakeMethod<&TWatch::Proc>(&watch);
    SendMessageA(form->Handle(), WM_NCACTIVATE, FALSE, 0);
    form->SetCaption("Another caption");
    flush_events();
    p->OldWndProc = watch.Next;
    EXPECT_EQ(version < 6, watch.Activate.Cover);
    EXPECT_EQ(version < 6, watch.Activate.Visible) << "the redraw is off from version 6";
    EXPECT_EQ(version < 6, watch.Text.Cover);
    EXPECT_EQ(nullptr, p->CaptionForm) << "the cover goes";
    EXPECT_EQ(ColorText(MaskColor("FORMTITLE", "BORDERSMASK", 0)), ColorText(ScreenPixel(form, 3, 3)));
  }
}

TEST_F(TitleBar, FirstShowingIsAnimatedBeforeVersionSix) {
  for (int version : {5, 6}) {
    SCOPED_TRACE(version);
    SetProviderWinVersion(version);
    auto* form = Create<TRecordingForm>(Application);
    Forms.push_back(form);
    form->SetBounds(80, 80, 300, 200);
    auto* button = Create<TButton>(form);
    button->SetParent(form);
    button->SetBounds(20, 20, 90, 28);
    TsSkinProvider* p = Create<TsSkinProvider>(form);
    // What the form's own procedure sees while it shows the form.
    struct TWatch {
      TsSkinProvider* P;
      TWndMethod Next;
      bool Animating = false, Overlay = false;
      void Proc(TMessage& m) {
        if (m.Msg == CM_SHOWINGCHANGED) {
          Animating = P->AnimatingShow;
          Overlay = OutputOverlayWindow() != nullptr;
        }
        Next(m);
      }
    } watch{p, p->OldWndProc};
    p->OldWndProc = MakeMethod<&TWatch::Proc>(&watch);
    form->Show();
    flush_events();
    p->OldWndProc = watch.Next;
    EXPECT_EQ(version < 6, watch.Animating);
    EXPECT_EQ(version < 6, watch.Overlay) << "the screen under the form is covered while it fades in";
    EXPECT_FALSE(p->AnimatingShow);
    EXPECT_FALSE(p->RegionUpdating);
    EXPECT_TRUE(IsWindowVisible(button->Handle())) << "the children's redraw is back on";
    HRGN rgn = CreateRectRgn(0, 0, 0, 0);
    EXPECT_NE(ERROR, GetWindowRgn(form->Handle(), rgn)) << "the region is cut";
    DeleteObject(rgn);
    EXPECT_EQ(ColorText(MaskColor("FORMTITLE", "BORDERSMASK", p->FormActive ? 1 : 0)),
              ColorText(ScreenPixel(form, 3, 3)));
  }
}

}  // namespace
}  // namespace qvtest
