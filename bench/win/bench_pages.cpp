// The skinned page control against the plain class-library one, in one run under Wine (or
// Windows):
//  - switching pages of a 20-page control (the page-change animation off), page after page, each
//    switch painted before the next: a round goes once through every page; rounds of the skinned
//    and the plain control are timed in turns, so that other load on the machine falls on both;
//  - one frame of the page-change animation at 800 x 600, as each tick of the animation makes it:
//    the captured picture and the new page mixed into the frame, and the frame shown on the overlay
//    window that covers the control, against a memcpy of the frame's bytes.
// Timings are medians of rounds. The goals are printed at the end with the figures and whether
// each is met.
#include "classlib/Win.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "classlib/ComCtrls.h"
#include "classlib/Forms.h"
#include "classlib/GdiScopes.h"
#include "classlib/StdCtrls.h"
#include "skin/controls/sPageControl.h"
#include "skin/engine/acSkinPack.h"
#include "skin/engine/core/acPixelKernels.h"
#include "skin/engine/sFade.h"
#include "skin/engine/sQuorvexGraph.h"
#include "skin/engine/sSkinManager.h"
#include "bench/win/BenchSkin.h"
#include "bench/win/BenchTiming.h"

namespace {

using namespace qvbench;

constexpr int kPages = 20;
constexpr int kRounds = 11;

// Twenty pages with a caption, a label and an edit each, the first one active.
template <class TControlClass, class TPageClass>
TControlClass* MakePages(TWinControl* Parent, int Left) {
  auto* pc = Create<TControlClass>(Parent);
  pc->SetParent(Parent);
  pc->SetBounds(Left, 10, 420, 300);
  for (int i = 0; i < kPages; ++i) {
    auto* page = Create<TPageClass>(Parent);
    page->SetPageControl(pc);
    page->SetCaption("Page " + std::to_string(i + 1));
    auto* label = Create<TLabel>(Parent);
    label->SetParent(page);
    label->SetCaption("The page number " + std::to_string(i + 1));
    label->SetBounds(12, 12, 200, 16);
    auto* edit = Create<TEdit>(Parent);
    edit->SetParent(page);
    edit->SetBounds(12, 36, 160, 22);
  }
  pc->SetActivePageIndex(0);
  return pc;
}

// Seconds of one switch: once through every page, each switch painted before the next.
double SecondsPerSwitch(TPageControl* pc) {
  const double t0 = Now();
  for (int i = 1; i <= kPages; ++i) {
    pc->SetActivePageIndex(i % kPages);
    RedrawWindow(pc->Handle(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    Pump();
  }
  return (Now() - t0) / kPages;
}

void PageSwitches(TForm* Form) {
  auto* plain = MakePages<TPageControl, TTabSheet>(Form, 10);
  auto* skinned = MakePages<TsPageControl, TsTabSheet>(Form, 450);
  Pump();
  std::vector<double> s, p, ratio;
  for (int round = -1; round < kRounds; ++round) {
    const double ts = SecondsPerSwitch(skinned);
    const double tp = SecondsPerSwitch(plain);
    if (round < 0) continue;  // warming up
    s.push_back(ts);
    p.push_back(tp);
    ratio.push_back(ts / tp);
  }
  std::printf("page switch of a %d-page control: skinned %.3f ms, plain %.3f ms\n", kPages, Median(s) * 1e3,
              Median(p) * 1e3);
  Goals.push_back({"page switch, 20 pages: skinned / plain", Median(ratio), 2.0});
  skinned->Free();
  plain->Free();
}

// One frame of the page-change animation over an 800 x 600 page control: the picture the overlay
// captured and the control's new picture mixed into the frame, then the overlay window shown
// again (it copies a frame of that size to the screen), against a memcpy of the frame's bytes.
void AnimationFrame(TForm* Form) {
  const int w = 800, h = 600;
  auto* pc = MakePages<TsPageControl, TsTabSheet>(Form, 0);
  pc->SetBounds(0, 0, w, h);
  Pump();
  ShowOutputOverlay(pc);
  HWND overlay = OutputOverlayWindow();
  if (!overlay) {
    std::printf("no overlay window: the animation frame is not timed\n");
    pc->Free();
    return;
  }
  TBitmap* old = CreateBmp24(w, h);
  TBitmap* now = CreateBmp24(w, h);
  TBitmap* frame = CreateBmp24(w, h);
  {
    // The old picture from the screen, the new one printed as the animation prints it.
    ScreenDC screen;
    BitmapDC dst(old);
    const TPoint at = pc->ClientToScreen(Point(0, 0));
    if (screen && dst) BitBlt(dst, 0, 0, w, h, screen, at.X, at.Y, SRCCOPY);
  }
  pc->SetActivePageIndex(1);
  {
    TCanvas* c = now->Canvas();
    c->Lock();
    SendMessageA(pc->Handle(), WM_PRINT, WPARAM(c->Handle()), PRF_CLIENT | PRF_NONCLIENT | PRF_CHILDREN);
    c->Unlock();
  }
  const qv::TImageView ov = BmpView(old), fv = BmpView(frame);
  std::uint8_t* fBytes = fv.Stride > 0 ? fv.Row(0) : fv.Row(h - 1);
  const std::uint8_t* oBytes = ov.Stride > 0 ? ov.Row(0) : ov.Row(h - 1);
  const std::size_t bytes = std::size_t(w) * 3 * h;
  int step = 0;
  auto mix = [&] { BlendBitmapsInto(frame, old, now, qv::FadeAmount(++step % 10 + 1, 10)); };
  auto show = [&] {
    InvalidateRect(overlay, nullptr, FALSE);
    UpdateWindow(overlay);
    GdiFlush();
  };
  auto copy = [&] { std::memcpy(fBytes, oBytes, bytes); };
  mix();
  show();
  copy();
  std::vector<double> mixes, frames, copies, ratio;
  for (int r = 0; r < kRounds; ++r) {
    const double m = SecondsPerCall(mix, 10);
    const double f = m + SecondsPerCall(show, 10);
    const double c = SecondsPerCall(copy, 10);
    mixes.push_back(m);
    frames.push_back(f);
    copies.push_back(c);
    ratio.push_back(m / c);
  }
  std::printf("animation frame 800x600: %.3f ms (mixed %.3f ms, then shown); memcpy of its bytes %.3f ms\n",
              Median(frames) * 1e3, Median(mixes) * 1e3, Median(copies) * 1e3);
  std::printf("the whole frame, shown on the screen, is %.1f times the memcpy\n", Median(frames) / Median(copies));
  Goals.push_back({"animation frame 800x600, mixed: time / memcpy of its bytes", Median(ratio), 2.0});
  // A frame must be ready before the animation's next tick (15 ms apart).
  Goals.push_back({"animation frame 800x600, mixed and shown (ms)", Median(frames) * 1e3, 15.0});
  FreeOutputOverlay();
  for (TBitmap* bmp : {old, now, frame}) bmp->Free();
  pc->Free();
}

}  // namespace

int main() {
  NoteUnoptimisedBuild();
  TsSkinManager* manager = StartWithBuiltInSkin();
  if (!manager) return 1;
  // Page switches are timed without the animation; the frame is timed on its own.
  manager->PageChange()->SetActive(false);
  std::printf("%d-bit build; medians of %d rounds\n", int(sizeof(void*) * 8), kRounds);

  auto* form = Create<TForm>(Application);
  // The plain page control stays plain: nothing skins the form from outside.
  form->SetTag(-98);
  form->SetBounds(20, 20, 900, 700);
  form->Show();
  Pump();
  PageSwitches(form);
  form->SetBounds(0, 0, 820, 640);
  Pump();
  AnimationFrame(form);

  PrintGoals();
  form->Free();
  manager->Free();
  return 0;
}
