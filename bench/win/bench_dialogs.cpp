// System message boxes through the dialog hook, in one run under Wine (or Windows): opening,
// painting and closing a skinned message box timed against the same box unskinned, and a soak of
// 1,000 skinned boxes with a skin switch every 100 that must leave the GDI objects, the private
// bytes and the list of dialog providers where they were. Each box is painted whole (frame and
// children) as soon as it shows and closed at once. Timings are medians of rounds; each round
// times both sides, so that other load on the machine falls on both. The goals are printed at the
// end with the figures and whether each is met.
#include "classlib/Win.h"

#include <psapi.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "classlib/Forms.h"
#include "skin/engine/acSkinPack.h"
#include "skin/engine/sSkinManager.h"
#include "skin/windows/acDials.h"
#include "bench/win/BenchTiming.h"

namespace {

using namespace qvbench;

constexpr int kRounds = 9;
constexpr int kBoxesPerRound = 20;
constexpr int kSoakBoxes = 1000;
constexpr int kSwitchEvery = 100;

int GdiObjects() {
  if (DWORD n = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS)) return int(n);
  int count = 0;
  for (std::uintptr_t v = 1; v < 0x10000; ++v) count += GetObjectType(reinterpret_cast<HGDIOBJ>(v)) != 0;
  return count;
}

SIZE_T PrivateBytes() {
  PROCESS_MEMORY_COUNTERS_EX pmc{};
  pmc.cb = sizeof pmc;
  K32GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&pmc), sizeof pmc);
  // Some systems leave the private count at 0: the committed bytes count the same allocations.
  return pmc.PrivateUsage != 0 ? pmc.PrivateUsage : pmc.PagefileUsage;
}

int LiveProviders() {
  int n = 0;
  if (DialogProviders)
    for (int i = 0; i < DialogProviders->Count(); ++i) n += DialogProviders->Items(i) != nullptr;
  return n;
}

// Paints a message box whole as soon as it shows, then closes it.
HHOOK ShowHook = nullptr;
LRESULT CALLBACK PaintAndClose(int code, WPARAM wParam, LPARAM lParam) {
  const LRESULT r = CallNextHookEx(ShowHook, code, wParam, lParam);
  const auto* cw = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
  if (code == HC_ACTION && cw->message == WM_WINDOWPOSCHANGED &&
      (reinterpret_cast<const WINDOWPOS*>(cw->lParam)->flags & SWP_SHOWWINDOW) != 0) {
    char cls[16] = {};
    GetClassNameA(cw->hwnd, cls, sizeof cls);
    if (std::string(cls) == "#32770") {
      RedrawWindow(cw->hwnd, nullptr, nullptr,
                   RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
      PostMessageA(cw->hwnd, WM_COMMAND, IDOK, 0);
    }
  }
  return r;
}

// Seconds for one message box opened, painted and closed.
double SecondsPerBox(int boxes) {
  const double t0 = Now();
  for (int i = 0; i < boxes; ++i) MessageBoxA(nullptr, "The session was copied to the keyboard.", "Copy", MB_OKCANCEL);
  return (Now() - t0) / boxes;
}

}  // namespace

int main(int argc, char** argv) {
#if defined(__GNUC__) && !defined(__OPTIMIZE__)
  std::printf("note: an unoptimised build; configure with -DCMAKE_BUILD_TYPE=Release for fair ratios\n");
#endif
  auto* manager = Create<TsSkinManager>(nullptr);
  manager->SetIsDefault(true);
  if (argc > 1) manager->SetSkinDirectory(argv[1]);
  manager->SetSkinName(BuiltInSkinName);
  if (!manager->SkinData()->Active || !manager->HookInstalled()) {
    std::printf("skin not loaded: %s\n", manager->LastError().c_str());
    return 1;
  }
  const std::string other = argc > 2 ? argv[2] : BuiltInSkinName;
  ShowHook = SetWindowsHookExA(WH_CALLWNDPROCRET, PaintAndClose, nullptr, GetCurrentThreadId());

  // Both sides warmed up, then timed in turns.
  std::vector<double> s, p, ratio;
  for (int round = -1; round < kRounds; ++round) {
    manager->SetActive(true);
    const double ts = SecondsPerBox(kBoxesPerRound);
    manager->SetActive(false);
    const double tp = SecondsPerBox(kBoxesPerRound);
    if (round < 0) continue;
    s.push_back(ts);
    p.push_back(tp);
    ratio.push_back(ts / tp);
  }
  manager->SetActive(true);

  // The soak: the first boxes made what the system keeps; then nothing may grow.
  SecondsPerBox(5);
  const int gdiBefore = GdiObjects();
  const SIZE_T bytesBefore = PrivateBytes();
  for (int i = 0; i < kSoakBoxes; ++i) {
    if (i % kSwitchEvery == 0) manager->SetSkinName(i / kSwitchEvery % 2 ? other : std::string(BuiltInSkinName));
    MessageBoxA(nullptr, "The session was copied to the keyboard.", "Copy", MB_OKCANCEL | MB_ICONINFORMATION);
  }
  manager->SetSkinName(BuiltInSkinName);
  const int gdiGrowth = GdiObjects() - gdiBefore;
  const double kbGrowth = (double(PrivateBytes()) - double(bytesBefore)) / 1024.0;
  const int providersLeft = LiveProviders() + (DialogProviders ? DialogProviders->Count() : 0);
  UnhookWindowsHookEx(ShowHook);

  std::printf("%d-bit build; medians of %d rounds of %d message boxes\n", int(sizeof(void*) * 8), kRounds,
              kBoxesPerRound);
  std::printf("message box opened, painted and closed: skinned %.2f ms, plain %.2f ms\n", Median(s) * 1e3,
              Median(p) * 1e3);
  std::printf(
      "%d skinned boxes, skin switched every %d: GDI objects %+d (of %d), private bytes %+.0f KB (of %.0f KB), "
      "providers left %d\n",
      kSoakBoxes, kSwitchEvery, gdiGrowth, gdiBefore, kbGrowth, double(bytesBefore) / 1024.0, providersLeft);
  const double figure = Median(ratio);
  std::printf("\n%-56s %8s %9s  %s\n", "goal", "figure", "target", "met");
  std::printf("%-56s %8.2f %7s%.2f  %s\n", "skinned message box / plain message box", figure, "<", 1.3,
              figure < 1.3 ? "yes" : "NO");
  std::printf("%-56s %8d %9s  %s\n", "GDI objects after 1,000 skinned boxes", gdiGrowth, "<= 4",
              gdiGrowth <= 4 ? "yes" : "NO");
  std::printf("%-56s %8.0f %9s  %s\n", "private KB after 1,000 skinned boxes", kbGrowth, "<= 512",
              kbGrowth <= 512 ? "yes" : "NO");
  std::printf("%-56s %8d %9s  %s\n", "dialog providers left", providersLeft, "0", providersLeft == 0 ? "yes" : "NO");
  manager->Free();
  return 0;
}
