// Long contents through skin changes and window re-creation, in one run under Wine (or Windows):
//  - a skin switch on a form with a skinned combo box of 30,000 and of 100,000 items, against the
//    same switch with 30 items in it (the items are not copied out and back);
//  - the class library's combo box made again with its items, against its first fill with them
//    (the items read out and put back in one pass);
//  - the skin taken away from a skinned label of a wrapped 200 KB caption, against a repaint of it
//    (a colour alone lays nothing out again).
// Each round times both sides of a pair, so that other load on the machine falls on both; the
// figures are medians of the rounds. The goals are printed at the end.
#include "classlib/Win.h"

#include <cstdio>
#include <string>
#include <vector>

#include "classlib/Forms.h"
#include "classlib/StdCtrls.h"
#include "skin/controls/sComboBox.h"
#include "skin/controls/sLabel.h"
#include "skin/engine/acSkinPack.h"
#include "skin/engine/sSkinManager.h"
#include "bench/win/BenchSkin.h"
#include "bench/win/BenchTiming.h"

namespace {

using namespace qvbench;

template <class Fn>
double Seconds(Fn&& fn) {
  const double t0 = Now();
  fn();
  return Now() - t0;
}

void Fill(TStrings* items, int count) {
  items->BeginUpdate();
  items->Clear();
  for (int i = 0; i < count; ++i) items->Add("Choice number " + std::to_string(i));
  items->EndUpdate();
}

// Seconds of a skin switch with Count items in the combo box, and of one with 30.
struct TSwitchRound {
  double Many, Few;
};
TSwitchRound SwitchRound(TsSkinManager* manager, TsComboBox* combo, int count, const std::string& a,
                         const std::string& b) {
  TSwitchRound r{};
  Fill(combo->Items(), 30);
  Pump();
  r.Few = Seconds([&] {
    manager->SetSkinName(a);
    Pump();
  });
  Fill(combo->Items(), count);
  Pump();
  r.Many = Seconds([&] {
    manager->SetSkinName(b);
    Pump();
  });
  return r;
}

}  // namespace

int main(int argc, char** argv) {
  NoteUnoptimisedBuild();
  std::string other;
  TsSkinManager* manager = StartForSwitches(argc, argv, other);
  if (!manager) return 1;
  const std::string first = BuiltInSkinName;

  auto* form = Create<TForm>(Application);
  form->SetBounds(20, 20, 640, 480);
  auto* combo = Create<TsComboBox>(form);
  combo->SetParent(form);
  combo->SetBounds(10, 10, 200, 24);
  auto* plainCombo = Create<TComboBox>(form);
  plainCombo->SetParent(form);
  plainCombo->SetBounds(220, 10, 200, 24);
  form->Show();
  Pump();

  std::printf("%d-bit build\n", int(sizeof(void*) * 8));
  struct TSize {
    int Items, Rounds;
  } const sizes[] = {{30000, 5}, {100000, 3}};
  for (const TSize& size : sizes) {
    std::vector<double> many, few, ratio;
    for (int round = 0; round < size.Rounds; ++round) {
      const bool back = round % 2;
      const TSwitchRound r = SwitchRound(manager, combo, size.Items, back ? first : other, back ? other : first);
      many.push_back(r.Many);
      few.push_back(r.Few);
      ratio.push_back(r.Many / r.Few);
    }
    std::printf("skin switch with a skinned combo box of %d items: %.0f ms, with 30 items: %.0f ms\n", size.Items,
                Median(many) * 1e3, Median(few) * 1e3);
    Goals.push_back({"switch, combo of " + std::to_string(size.Items) + " items (s)", Median(many), 1.0});
    Goals.push_back({"switch, combo of " + std::to_string(size.Items) + " items / 30 items", Median(ratio), 1.5});
  }
  Fill(combo->Items(), 0);

  for (const TSize& size : sizes) {
    std::vector<double> fill, remake, ratio;
    for (int round = 0; round < size.Rounds; ++round) {
      const double f = Seconds([&] {
        Fill(plainCombo->Items(), size.Items);
        Pump();
      });
      const double m = Seconds([&] {
        plainCombo->RecreateWnd();
        plainCombo->HandleNeeded();
        Pump();
      });
      fill.push_back(f);
      remake.push_back(m);
      ratio.push_back(m / f);
    }
    std::printf("combo box of %d items: first fill %.0f ms, made again %.0f ms\n", size.Items, Median(fill) * 1e3,
                Median(remake) * 1e3);
    Goals.push_back({"combo of " + std::to_string(size.Items) + " items made again / filled", Median(ratio), 2.0});
  }
  Fill(plainCombo->Items(), 0);

  // A wrapped caption of 200 KB.
  std::string caption;
  for (int i = 0; caption.size() < 200 * 1024; ++i) caption += "Word " + std::to_string(i) + " ";
  auto* label = Create<TsLabel>(form);
  label->SetParent(form);
  label->SetBounds(10, 50, 600, 400);
  label->SetWordWrap(true);
  label->SetCaption(caption);
  Pump();
  std::vector<double> removed, repainted, ratio;
  for (int round = 0; round < 3; ++round) {
    const double r = Seconds([&] {
      label->Invalidate();
      Pump();
    });
    const double s = Seconds([&] {
      manager->SetActive(false);
      Pump();
    });
    manager->SetActive(true);
    Pump();
    removed.push_back(s);
    repainted.push_back(r);
    ratio.push_back(s / r);
  }
  std::printf("skinned label of a wrapped 200 KB caption: skin removed %.0f ms, repainted %.0f ms\n",
              Median(removed) * 1e3, Median(repainted) * 1e3);
  Goals.push_back({"skin removed from a 200 KB label / its repaint", Median(ratio), 1.5});

  PrintGoals();
  form->Free();
  manager->Free();
  return 0;
}
