// The program editor's faders: 23 skinned track bars repainted after a skin switch against 23 plain
// ones repainted by the system, in one run under Wine (or Windows). Each round switches the skin
// (from the built-in skin to another and back, so every bar has new skin data to read) and then
// times the repaint of the skinned bars, whole (section, channel, ticks, thumb built into the cache
// and copied), against the plain bars' repaint. Timings are medians of rounds; each round times
// both sides, so that other load on the machine falls on both. It also times one repaint of an
// 800-px bar with from 2 to 1,000,001 ticks. The goals are printed at the end with the figures and
// whether each is met.
#include "classlib/Win.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "classlib/ComCtrls.h"
#include "classlib/Forms.h"
#include "skin/controls/sTrackBar.h"
#include "skin/engine/acSkinPack.h"
#include "skin/engine/sSkinManager.h"
#include "bench/win/BenchSkin.h"
#include "bench/win/BenchTiming.h"

namespace {

using namespace qvbench;

constexpr int kRounds = 9;
constexpr int kRepaintsPerRound = 5;
constexpr int kBars = 23;

template <class T>
TForm* MakeFaders(int top) {
  auto* form = Create<TForm>(Application);
  form->SetBounds(20, top, 16 + kBars * 34, 220);
  for (int i = 0; i < kBars; ++i) {
    auto* bar = Create<T>(form);
    bar->SetParent(form);
    bar->SetOrientation(trVertical);
    bar->SetBounds(8 + i * 34, 8, 32, 170);
    bar->SetMax(127);
    bar->SetFrequency(16);
    bar->SetPosition(i * 5);
  }
  form->Show();
  return form;
}

// Seconds for one repaint of every bar of the form, painted at once.
double SecondsPerRepaint(TForm* form) {
  const double t0 = Now();
  for (int r = 0; r < kRepaintsPerRound; ++r)
    for (int i = 0; i < form->ControlCount(); ++i)
      if (auto* bar = dynamic_cast<TWinControl*>(form->Controls(i)))
        RedrawWindow(bar->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  return (Now() - t0) / kRepaintsPerRound;
}

// Milliseconds for one repaint of an 800-px skinned bar with Ticks ticks (manual ones set one by one,
// else automatic ones at frequency 1), the median of kRounds.
double TickRepaintMs(int Ticks, bool Manual) {
  auto* form = Create<TForm>(Application);
  form->SetBounds(20, 500, 840, 120);
  auto* bar = Create<TsTrackBar>(form);
  bar->SetParent(form);
  bar->SetBounds(10, 10, 800, 45);
  bar->SetMax(Manual ? Ticks * 2 : Ticks - 1);
  bar->SetFrequency(1);
  if (Manual) {
    bar->SetTickStyle(tsManual);
    for (int i = 1; i < Ticks - 1; ++i) SendMessageA(bar->Handle(), TBM_SETTIC, FALSE, i * 2);
  }
  form->Show();
  Application->ProcessMessages();
  std::vector<double> t;
  for (int round = 0; round < kRounds; ++round) {
    const double t0 = Now();
    RedrawWindow(bar->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    t.push_back((Now() - t0) * 1e3);
  }
  form->Free();
  return Median(t);
}

}  // namespace

int main(int argc, char** argv) {
  NoteUnoptimisedBuild();
  std::string other;
  TsSkinManager* manager = StartForSwitches(argc, argv, other);
  if (!manager) return 1;

  TForm* skinned = MakeFaders<TsTrackBar>(20);
  TForm* plain = MakeFaders<TTrackBar>(260);
  Application->ProcessMessages();

  // Both sides warmed up, then timed in turns; each round starts from a skin switch.
  std::vector<double> s, p, ratio;
  for (int round = -1; round < kRounds; ++round) {
    manager->SetSkinName(round % 2 ? other : std::string(BuiltInSkinName));
    Application->ProcessMessages();
    const double ts = SecondsPerRepaint(skinned);
    const double tp = SecondsPerRepaint(plain);
    if (round < 0) continue;
    s.push_back(ts);
    p.push_back(tp);
    ratio.push_back(ts / tp);
  }
  std::printf("%d-bit build; medians of %d rounds of %d repaints of %d bars\n", int(sizeof(void*) * 8), kRounds,
              kRepaintsPerRound, kBars);
  std::printf("%d track bars repainted: skinned %.2f ms, plain %.2f ms\n", kBars, Median(s) * 1e3, Median(p) * 1e3);
  const double figure = Median(ratio);
  std::printf("\n%-56s %8s %9s  %s\n", "goal", "figure", "target", "met");
  std::printf("%-56s %8.2f %7s%.2f  %s\n", "23 skinned track bars after a switch / 23 plain", figure, "<", 3.0,
              figure < 3.0 ? "yes" : "NO");
  // Any tick count: at most one tick a pixel is painted.
  const struct {
    int Ticks;
    bool Manual;
  } tickRows[] = {{2, false}, {1000, false}, {10000, true}, {1000001, false}};
  for (const auto& row : tickRows) {
    const double ms = TickRepaintMs(row.Ticks, row.Manual);
    const std::string text = "800-px bar, " + std::to_string(row.Ticks) + (row.Manual ? " manual" : " automatic") +
                             " ticks: one repaint (ms)";
    std::printf("%-56s %8.2f %7s%.2f  %s\n", text.c_str(), ms, "<", 20.0, ms < 20.0 ? "yes" : "NO");
  }
  plain->Free();
  skinned->Free();
  manager->Free();
  return 0;
}
