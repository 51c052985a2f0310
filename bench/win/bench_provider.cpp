// The form provider's frame, in one run under Wine (or Windows):
//  - a full rebuild of the window image of a form asked for at 1920 x 1080 (the screen may keep it
//    smaller: the window's own size is printed) with background and border, title, icon, buttons,
//    caption and menu line, and its non-client paint, against a memcpy of the image's bytes;
//  - a caption change (the title renewed and painted) against that full rebuild;
//  - one live resize step of an 800 x 600 form: the size changed, the new frame composed and
//    painted, the client painted, each step done before the next.
// Timings are medians of rounds, printed with the spread of the rounds. The goals are printed at
// the end with the figures and whether each is met.
#include "classlib/Win.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "classlib/Forms.h"
#include "classlib/Menus.h"
#include "classlib/StdCtrls.h"
#include "skin/engine/acSkinPack.h"
#include "skin/engine/sSkinManager.h"
#include "skin/windows/sSkinProvider.h"
#include "bench/win/BenchSkin.h"
#include "bench/win/BenchTiming.h"

namespace {

using namespace qvbench;

constexpr int kRounds = 15;
constexpr int kReps = 10;

// The lowest and highest figure of the rounds.
std::string Spread(const std::vector<double>& v) {
  char buf[48];
  std::snprintf(buf, sizeof buf, "%.2f-%.2f", *std::min_element(v.begin(), v.end()),
                *std::max_element(v.begin(), v.end()));
  return buf;
}

// A sizeable form with a provider, a main menu of five items and a few controls.
TForm* MakeForm(int Width, int Height) {
  auto* form = Create<TForm>(Application);
  form->SetCaption("Frame benchmark");
  form->SetBounds(0, 0, Width, Height);
  Create<TsSkinProvider>(form);
  auto* menu = Create<TMainMenu>(form);
  for (const char* caption : {"&File", "&Edit", "&View", "&Tools", "&Help"}) {
    auto* item = Create<TMenuItem>(form);
    item->SetCaption(caption);
    menu->Items()->Add(item);
  }
  form->SetMenu(menu);
  for (int i = 0; i < 4; ++i) {
    auto* button = Create<TButton>(form);
    button->SetParent(form);
    button->SetCaption("Button " + std::to_string(i + 1));
    button->SetBounds(16 + i * 110, 16, 100, 28);
  }
  form->Show();
  Pump();
  return form;
}

// The whole image composed again and the non-client area painted from it.
void FullFrame(TsSkinProvider* p) {
  p->SkinData->BGChanged = true;
  p->FrameDirty = true;
  SendMessageA(p->Form->Handle(), WM_NCPAINT, 1, 0);
  GdiFlush();
}

void FrameAndCaption() {
  TForm* form = MakeForm(1920, 1080);
  TsSkinProvider* p = TsSkinProvider::ProviderOf(form);
  if (!p || !p->Skinned()) {
    std::printf("the form is not skinned: the frame is not timed\n");
    form->Free();
    return;
  }
  TBitmap* cache = p->SkinData->CacheBmp;
  const std::size_t bytes = std::size_t(cache->Width()) * 3 * std::size_t(cache->Height());
  std::vector<char> from(bytes, 1), to(bytes);
  auto copy = [&] { std::memcpy(to.data(), from.data(), bytes); };
  int n = 0;
  auto caption = [&] {
    form->SetCaption(++n % 2 ? "Frame benchmark: a longer caption" : "Frame benchmark");
    GdiFlush();
  };
  FullFrame(p);
  caption();
  copy();
  // The provider's own part of a caption change: the caption written again and painted.
  auto title = [&] {
    p->RepaintCaption();
    GdiFlush();
  };
  std::vector<double> full, captions, titles, copies, fullRatio, captionRatio, titleRatio;
  for (int r = 0; r < kRounds; ++r) {
    // The four figures of a round are taken in turns, each round starting one further on, so that
    // none always finds the caches and the system as another left them.
    double f = 0, t = 0, ti = 0, c = 0;
    for (int k = 0; k < 4; ++k) switch ((r + k) % 4) {
        case 0: f = SecondsPerCall([&] { FullFrame(p); }, kReps); break;
        case 1: t = SecondsPerCall(caption, kReps); break;
        case 2: ti = SecondsPerCall(title, kReps); break;
        default: c = SecondsPerCall(copy, kReps); break;
      }
    full.push_back(f);
    captions.push_back(t);
    titles.push_back(ti);
    copies.push_back(c);
    fullRatio.push_back(f / c);
    captionRatio.push_back(t / f);
    titleRatio.push_back(ti / f);
  }
  // The system keeps a window within what the screen allows: the size timed, and named, is the
  // window's own.
  const std::string size = std::to_string(cache->Width()) + "x" + std::to_string(cache->Height());
  std::printf("form asked 1920x1080, window %s\n", size.c_str());
  std::printf(
      "%s form: full rebuild and non-client paint %.3f ms, caption change %.3f ms, memcpy of the image's %u "
      "bytes %.3f ms\n",
      size.c_str(), Median(full) * 1e3, Median(captions) * 1e3, unsigned(bytes), Median(copies) * 1e3);
  std::printf("ratios of the rounds: full frame / memcpy %s, caption change / full frame %s, title / full frame %s\n",
              Spread(fullRatio).c_str(), Spread(captionRatio).c_str(), Spread(titleRatio).c_str());
  Goals.push_back({"full frame " + size + ": time / memcpy of its bytes", Median(fullRatio), 4.0});
  std::printf("of the caption change, the title renewed and painted by the provider: %.3f ms\n", Median(titles) * 1e3);
  Goals.push_back({"caption change / full frame, " + size, Median(captionRatio), 0.2});
  Goals.push_back({"title renewed and painted / full frame, " + size, Median(titleRatio), 0.2});
  form->Free();
  Pump();
}

void ResizeStep() {
  TForm* form = MakeForm(800, 600);
  const HWND wnd = form->Handle();
  int n = 0;
  // The size changed (WM_WINDOWPOSCHANGED reaches the provider inside SetWindowPos) and everything
  // it made invalid painted before the next step.
  auto step = [&] {
    const int d = ++n % 2;
    SetWindowPos(wnd, nullptr, 0, 0, 800 + d, 600 + d, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    RedrawWindow(wnd, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    GdiFlush();
  };
  step();
  Pump();
  std::vector<double> steps;
  for (int r = 0; r < kRounds; ++r) {
    steps.push_back(SecondsPerCall(step, kReps));
    Pump();
  }
  for (double& s : steps) s *= 1e3;
  std::printf("live resize step of an 800x600 form: %.3f ms (rounds %s ms)\n", Median(steps), Spread(steps).c_str());
  // A step must be done before the next mouse move arrives at 60 moves a second.
  Goals.push_back({"live resize step 800x600 (ms)", Median(steps), 16.7});
  form->Free();
  Pump();
}

}  // namespace

int main() {
  NoteUnoptimisedBuild();
  TsSkinManager* manager = StartWithBuiltInSkin();
  if (!manager) return 1;
  std::printf("%d-bit build; medians of %d rounds\n", int(sizeof(void*) * 8), kRounds);
  FrameAndCaption();
  ResizeStep();

  PrintGoals();
  manager->Free();
  return 0;
}
