// A live skin switch, in one run under Wine (or Windows): a form with its provider and 50 skinned
// controls (10 each of TsButton, TsSpeedButton, TsEdit, TsCheckBox and TsPanel) switched from the
// built-in skin to another one and back, against a plain repaint of the same form (frame, client
// and every control painted again in the skin it has). Each round times one switch (the skin
// loaded, every control told, everything painted and the queue empty) and one repaint, in turns,
// so that other load on the machine falls on both sides. The messages the switch and the repaint
// send are counted per control (and for one push button). Beside them, what the system alone takes to
// give the form and its push buttons the window regions of the other skin (the windows painted just
// before, as a switch finds them). The goals are printed at the end with the figures and whether
// each is met.
//
//   bench_skinswitch.exe [SKINS-FOLDER [OTHER-SKIN]]   (default: the shipped "skins" folder, "Graphite")
#include "classlib/Win.h"

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "classlib/Forms.h"
#include "skin/controls/sButton.h"
#include "skin/controls/sCheckBox.h"
#include "skin/controls/sEdit.h"
#include "skin/controls/sPanel.h"
#include "skin/controls/sSpeedButton.h"
#include "skin/engine/KeptSkins.h"
#include "skin/engine/acSkinPack.h"
#include "skin/engine/core/acSkinLoader.h"
#include "skin/engine/sSkinManager.h"
#include "skin/windows/sSkinProvider.h"
#include "bench/win/BenchSkin.h"
#include "bench/win/BenchTiming.h"

namespace {

using namespace qvbench;

constexpr int kRounds = 15;
constexpr int kEach = 10;

// Messages sent to windows of the thread while counting (SendMessage and what the system sends
// itself) and messages taken from the queue, all and those of one window.
struct TCount {
  long All = 0;
  long OfWindow = 0;
  HWND Window = nullptr;
};
TCount* Counting = nullptr;

LRESULT CALLBACK CountSent(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HC_ACTION && Counting) {
    ++Counting->All;
    if (reinterpret_cast<const CWPSTRUCT*>(lParam)->hwnd == Counting->Window) ++Counting->OfWindow;
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT CALLBACK CountPosted(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HC_ACTION && Counting && wParam == PM_REMOVE) {
    ++Counting->All;
    if (reinterpret_cast<const MSG*>(lParam)->hwnd == Counting->Window) ++Counting->OfWindow;
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

void Drain() {
  for (int i = 0; i < 3; ++i) {
    Application->ProcessMessages();
    Pump();
  }
}

TForm* MakeForm(TsButton*& FirstButton) {
  auto* form = Create<TForm>(Application);
  form->SetCaption("Skin switch");
  form->SetBounds(10, 10, 760, 420);
  Create<TsSkinProvider>(form);
  for (int i = 0; i < kEach; ++i) {
    const int x = 10 + (i % 5) * 148, y = 10 + (i / 5) * 190;
    auto* panel = Create<TsPanel>(form);
    panel->SetParent(form);
    panel->SetBounds(x, y + 150, 140, 30);
    panel->SetCaption("Panel " + std::to_string(i));
    auto* button = Create<TsButton>(form);
    button->SetParent(form);
    button->SetBounds(x, y, 140, 28);
    button->SetCaption("Button " + std::to_string(i));
    if (!FirstButton) FirstButton = button;
    auto* speed = Create<TsSpeedButton>(form);
    speed->SetParent(form);
    speed->SetBounds(x, y + 36, 140, 28);
    speed->SetCaption("Speed " + std::to_string(i));
    auto* edit = Create<TsEdit>(form);
    edit->SetParent(form);
    edit->SetBounds(x, y + 72, 140, 24);
    edit->SetText("Edit " + std::to_string(i));
    auto* check = Create<TsCheckBox>(form);
    check->SetParent(form);
    check->SetBounds(x, y + 108, 140, 24);
    check->SetCaption("Check " + std::to_string(i));
  }
  form->Show();
  Drain();
  return form;
}

// The form's window and its push buttons' windows, form first.
BOOL CALLBACK AddPushButton(HWND wnd, LPARAM list) {
  char cls[32] = {};
  GetClassNameA(wnd, cls, sizeof cls);
  if (std::string(cls) == "TsButton") reinterpret_cast<std::vector<HWND>*>(list)->push_back(wnd);
  return TRUE;
}

std::vector<HWND> ShapedWindows(TForm* form) {
  std::vector<HWND> list{form->Handle()};
  EnumChildWindows(form->Handle(), AddPushButton, reinterpret_cast<LPARAM>(&list));
  return list;
}

// The window regions the windows have now (nullptr where a window has none), owned by the caller.
std::vector<HRGN> RegionsOf(const std::vector<HWND>& windows) {
  std::vector<HRGN> list;
  for (HWND wnd : windows) {
    HRGN rgn = CreateRectRgn(0, 0, 0, 0);
    if (GetWindowRgn(wnd, rgn) == ERROR) {
      DeleteObject(rgn);
      rgn = nullptr;
    }
    list.push_back(rgn);
  }
  return list;
}

HRGN CopyOf(HRGN rgn) {
  if (!rgn) return nullptr;
  HRGN copy = CreateRectRgn(0, 0, 0, 0);
  CombineRgn(copy, rgn, nullptr, RGN_COPY);
  return copy;
}

void Repaint(TForm* form) {
  RedrawWindow(form->Handle(), nullptr, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
  Drain();
}

}  // namespace

int main(int argc, char** argv) {
  NoteUnoptimisedBuild();
  // The shipped skins: beside the program, else in the source tree two folders up (build/<arch>).
  std::string folder = argc > 1 ? argv[1] : ProgramFolder() + "\\skins";
  if (argc <= 1 && !std::filesystem::is_directory(std::filesystem::path(folder)))
    folder = ProgramFolder() + "\\..\\..\\skins";
  const std::string other = argc > 2 ? argv[2] : "Graphite";
  TsSkinManager* manager = StartWithBuiltInSkin(folder.c_str());
  if (!manager) return 1;
  manager->SetSkinName(other);
  if (manager->SkinName() != other) {
    std::printf("skin \"%s\" not loaded from \"%s\": %s\n", other.c_str(), folder.c_str(),
                manager->LastError().c_str());
    return 1;
  }
  manager->SetSkinName(BuiltInSkinName);
  TsButton* button = nullptr;
  TForm* form = MakeForm(button);

  // The messages of one switch there and back and of one repaint, with the hooks in place.
  HHOOK sent = SetWindowsHookExA(WH_CALLWNDPROC, CountSent, nullptr, GetCurrentThreadId());
  HHOOK posted = SetWindowsHookExA(WH_GETMESSAGE, CountPosted, nullptr, GetCurrentThreadId());
  TCount switching{0, 0, button->Handle()}, repaint{0, 0, button->Handle()};
  Counting = &switching;
  manager->SetSkinName(other);
  Drain();
  manager->SetSkinName(BuiltInSkinName);
  Drain();
  Counting = &repaint;
  Repaint(form);
  Repaint(form);
  Counting = nullptr;
  UnhookWindowsHookEx(posted);
  UnhookWindowsHookEx(sent);
  const int controls = 5 * kEach;

  // Both sides warmed up, then timed in turns.
  std::vector<double> sw, rp, ratio, load, again;
  for (int round = -1; round < kRounds; ++round) {
    double t0 = Now();
    manager->SetSkinName(round % 2 ? other : std::string(BuiltInSkinName));
    Drain();
    const double ts = Now() - t0;
    t0 = Now();
    Repaint(form);
    const double tr = Now() - t0;
    // What loading the skin alone takes, the first time (read and decoded, no window told) and
    // again (the model kept of it, as the switch finds it).
    std::string error;
    t0 = Now();
    auto model = qv::LoadSkin(std::filesystem::path(folder) / other, error);
    const double tl = Now() - t0;
    t0 = Now();
    auto kept = LoadFolderSkin(std::filesystem::path(folder) / other, error);
    const double ta = Now() - t0;
    if (round < 0) continue;
    load.push_back(tl);
    again.push_back(ta);
    sw.push_back(ts);
    rp.push_back(tr);
    ratio.push_back(ts / tr);
  }
  // What the system takes to give the form and its push buttons the shapes the two skins cut, and
  // nothing else: the part of a switch that no order of work in the library avoids. Each time the
  // windows were painted just before, as a switch finds them.
  const std::vector<HWND> shaped = ShapedWindows(form);
  const std::vector<HRGN> shapesNow = RegionsOf(shaped);
  manager->SetSkinName(manager->SkinName() == other ? std::string(BuiltInSkinName) : other);
  Drain();
  const std::vector<HRGN> shapesThen = RegionsOf(shaped);
  std::vector<double> cut;
  for (int round = -1; round < kRounds; ++round) {
    const std::vector<HRGN>& to = round % 2 ? shapesThen : shapesNow;
    std::vector<HRGN> copies;
    for (HRGN rgn : to) copies.push_back(CopyOf(rgn));
    Repaint(form);
    const double t0 = Now();
    for (std::size_t i = 0; i < shaped.size(); ++i) SetWindowRgn(shaped[i], copies[i], FALSE);
    Drain();
    if (round >= 0) cut.push_back(Now() - t0);
  }
  for (HRGN rgn : shapesNow)
    if (rgn) DeleteObject(rgn);
  for (HRGN rgn : shapesThen)
    if (rgn) DeleteObject(rgn);

  std::printf("%d-bit build; medians of %d rounds; switches between \"%s\" and \"%s\"\n", int(sizeof(void*) * 8),
              kRounds, BuiltInSkinName, other.c_str());
  std::printf("form of %d skinned controls: switch %.2f ms, repaint %.2f ms\n", controls, Median(sw) * 1e3,
              Median(rp) * 1e3);
  std::printf("loading \"%s\" alone: %.2f ms the first time, %.2f ms again\n", other.c_str(), Median(load) * 1e3,
              Median(again) * 1e3);
  std::printf(
      "the new window regions alone, as the system sets them (form and %d push buttons): %.2f ms, %.2f of the "
      "repaint\n",
      int(shaped.size()) - 1, Median(cut) * 1e3, Median(cut) / Median(rp));
  std::printf("messages per control: switch %.1f, repaint %.1f; one push button: switch %.1f, repaint %.1f\n",
              double(switching.All) / 2 / controls, double(repaint.All) / 2 / controls, double(switching.OfWindow) / 2,
              double(repaint.OfWindow) / 2);
  Goals.push_back({"skin switch of a form of 50 skinned controls / its repaint", Median(ratio), 1.5});
  PrintGoals();
  form->Free();
  manager->Free();
  return 0;
}
