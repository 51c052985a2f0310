// A skinned popup menu against the same menu drawn by the system, in one run under Wine (or
// Windows): a popup of 40 items (texts, shortcuts, checks, separators) is opened, painted whole
// and closed. Skinned, its background image is built, every item is drawn from the skin and the
// window is subclassed and given its region; plain, the system draws it. Timings are medians of
// rounds; each round times both sides, so that other load on the machine falls on both. The goal
// is printed at the end with the figure and whether it is met.
#include "classlib/Win.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "classlib/Forms.h"
#include "classlib/Menus.h"
#include "skin/engine/acSkinPack.h"
#include "skin/engine/sSkinManager.h"
#include "skin/windows/sSkinMenus.h"
#include "bench/win/BenchSkin.h"
#include "bench/win/BenchTiming.h"

namespace {

using namespace qvbench;

constexpr int kRounds = 9;
constexpr int kOpensPerRound = 10;
constexpr int kItems = 40;

// Paints the open popup at once and closes it: a message posted before the menu opens reaches
// this window from the menu's own loop, once the popup window is there.
LRESULT CALLBACK CloserProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg != WM_APP) return DefWindowProcA(wnd, msg, wParam, lParam);
  HWND popup = FindOpenPopupMenuWindow();
  if (!popup) {
    PostMessageA(wnd, WM_APP, 0, 0);
    return 0;
  }
  UpdateWindow(popup);
  EndMenu();
  return 0;
}

HWND MakeCloser() {
  WNDCLASSA wc{};
  wc.lpfnWndProc = CloserProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "QvBenchMenuCloser";
  RegisterClassA(&wc);
  return CreateWindowExA(0, wc.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
}

double SecondsPerOpen(TPopupMenu* menu, HWND closer) {
  const double t0 = Now();
  for (int i = 0; i < kOpensPerRound; ++i) {
    PostMessageA(closer, WM_APP, 0, 0);
    menu->Popup(100, 60);
    Application->ProcessMessages();
  }
  return (Now() - t0) / kOpensPerRound;
}

}  // namespace

int main() {
  NoteUnoptimisedBuild();
  TsSkinManager* manager = StartWithBuiltInSkin();
  if (!manager) return 1;
  TacSkinableMenus* menus = SkinableMenusOf(manager);
  if (!menus) {
    std::printf("the skinned menus are not there\n");
    return 1;
  }
  manager->MenuSupport()->IcoLineSkin = "ICOLINE";

  auto* form = Create<TForm>(Application);
  form->SetBounds(20, 20, 300, 200);
  form->Show();
  auto* menu = Create<TPopupMenu>(form);
  for (int i = 0; i < kItems; ++i) {
    auto* item = Create<TMenuItem>(form);
    item->SetCaption(i % 10 == 9 ? "-" : "Menu item number " + std::to_string(i + 1));
    if (i % 7 == 3) item->SetShortCut(ShortCut(WORD('A' + i % 26), TShiftState{ssCtrl}));
    if (i % 5 == 2) item->SetChecked(true);
    if (i % 11 == 6) item->SetEnabled(false);
    menu->Items()->Add(item);
  }
  HWND closer = MakeCloser();
  // The skinned side draws every item (separators aside) on each open.
  int drawn = 0;
  menus->OnDrawItem = TsMenuManagerDrawItemEvent(
      &drawn, [](void* n, TObject*, TCanvas*, TRect, TOwnerDrawState, TsMenuItemType) { ++*static_cast<int*>(n); });

  // Both sides warmed up (fonts, brushes, the skin's pictures), then timed in turns.
  std::vector<double> skinned, plain, ratio;
  for (int round = -1; round < kRounds; ++round) {
    menus->PreparePopupMenu(menu, true);
    const double s = SecondsPerOpen(menu, closer);
    menus->PreparePopupMenu(menu, false);
    const double p = SecondsPerOpen(menu, closer);
    if (round < 0) continue;
    skinned.push_back(s);
    plain.push_back(p);
    ratio.push_back(s / p);
  }
  std::printf("%d-bit build; medians of %d rounds of %d opens\n", int(sizeof(void*) * 8), kRounds, kOpensPerRound);
  std::printf("skinned items drawn per open: %.1f\n", double(drawn) / ((kRounds + 1) * kOpensPerRound));
  std::printf("popup of %d items opened, painted and closed: skinned %.2f ms, plain %.2f ms\n", kItems,
              Median(skinned) * 1e3, Median(plain) * 1e3);
  const double figure = Median(ratio);
  std::printf("\n%-56s %8s %9s  %s\n", "goal", "figure", "target", "met");
  std::printf("%-56s %8.2f %7s%.2f  %s\n", "skinned popup of 40 items / plain popup", figure, "<", 3.0,
              figure < 3.0 ? "yes" : "NO");
  DestroyWindow(closer);
  form->Free();
  manager->Free();
  return 0;
}
