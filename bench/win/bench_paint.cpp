// The skin painters against the platform doing the same work, and the messages a paint costs, in
// one run under Wine (or Windows):
//  - a nine-piece border mask painted over 800 x 600 and 1920 x 1080 (PaintMaskRect, rows kept
//    between paints as the skin keeps them) against GDI painting the same nine pieces into the same
//    DIB section: TransparentBlt for the pieces that hold key pixels (the corners), StretchBlt for
//    the rest;
//  - one fade frame (start image and new look mixed into the frame) against a memcpy of the
//    frame's bytes, at the same sizes;
//  - the window messages one skinned button's repaint sends, and those a skin switch sends to a
//    form of buttons.
// Timings are medians of rounds; each round times both sides, so that other load on the machine
// falls on both. The goals are printed at the end with the figures and whether each is met.
#include "classlib/Win.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "classlib/Forms.h"
#include "skin/controls/sButton.h"
#include "skin/engine/acSkinPack.h"
#include "skin/engine/core/acRowKernels.h"
#include "skin/engine/core/acSkinLoader.h"
#include "skin/engine/sCommonData.h"
#include "skin/engine/sQuorvexGraph.h"
#include "skin/engine/sSkinManager.h"
#include "bench/win/BenchSkin.h"
#include "bench/win/BenchTiming.h"

namespace {

using namespace qvbench;

constexpr int kRounds = 11;

// Medians of the two sides and of their ratio A / B over the rounds.
struct TPair {
  double A = 0, B = 0, Ratio = 0;
};

template <class FnA, class FnB>
TPair Compare(FnA&& a, FnB&& b) {
  a();
  b();  // warm up
  const double probe = std::max(SecondsPerCall(a, 1), SecondsPerCall(b, 1));
  const int reps = std::max(1, int(0.02 / std::max(probe, 1e-7)));
  std::vector<double> ta, tb, ratio;
  for (int r = 0; r < kRounds; ++r) {
    const double x = SecondsPerCall(a, reps), y = SecondsPerCall(b, reps);
    ta.push_back(x);
    tb.push_back(y);
    ratio.push_back(x / y);
  }
  return TPair{Median(ta), Median(tb), Median(ratio)};
}

// A skin whose BUTTON border mask has three 48 x 48 frames with 16-pixel margins and key corners.
constexpr int kFrame = 48, kMargin = 16;

std::vector<std::uint8_t> BenchSkin(int shade) {
  qv::TSkinModel m;
  qv::TImage24 img(kFrame * 3, kFrame);
  for (int s = 0; s < 3; ++s)
    for (int y = 0; y < kFrame; ++y)
      for (int x = 0; x < kFrame; ++x) {
        const bool corner = (x < 3 || x >= kFrame - 3) && (y < 3 || y >= kFrame - 3);
        img.SetPixel(s * kFrame + x, y,
                     corner ? qv::BgrOf(qv::clKeyMagenta)
                            : qv::TBgr{std::uint8_t(40 * s + x), std::uint8_t(y * 5), std::uint8_t(shade)});
      }
  m.AddImage("button.bmp", std::move(img));
  for (const char* name : {"BUTTON", "FORM"}) {
    qv::TsGeneralData sec;
    sec.Name = name;
    m.AddSection(sec);
  }
  qv::TsMaskData mask;
  mask.SectionName = "BUTTON";
  mask.PropertyName = "BORDERSMASK";
  mask.ImageIndex = 0;
  mask.R = TRect{0, 0, kFrame * 3, kFrame};
  mask.ImageCount = 3;
  mask.MarginLeft = mask.MarginTop = mask.MarginRight = mask.MarginBottom = kMargin;
  m.AddMask(mask);
  m.RebuildIndex();
  std::vector<std::uint8_t> packed;
  std::string error;
  if (!qv::PackSkin(m, packed, error)) std::printf("skin not packed: %s\n", error.c_str());
  return packed;
}

struct TSizedGoal {
  std::string Text, Size;
  double Figure, Target;
  bool AtLeast;
};
std::vector<TSizedGoal> SizedGoals;

void Goal(const std::string& text, const std::string& size, double figure, double target, bool atLeast) {
  SizedGoals.push_back(TSizedGoal{text, size, figure, target, atLeast});
}

// ---- Nine-piece paint against GDI -------------------------------------------------------------------

void NinePiece(TsSkinManager* manager, int w, int h) {
  const int maskIndex = manager->MaskIndexOf("BUTTON", "BORDERSMASK");
  const qv::TsMaskData& mask = manager->Mask(maskIndex);
  TBitmap* target = CreateBmp24(w, h);
  TBitmap* source = CreateBmp24(kFrame * 3, kFrame);  // the mask's image as a GDI bitmap
  {
    const qv::TImage24* img = manager->MaskImage(maskIndex);
    const qv::TImageView d = BmpView(source);
    for (int y = 0; y < kFrame; ++y)
      for (int x = 0; x < kFrame * 3; ++x) d.SetPixel(x, y, img->Pixel(x, y));
  }
  target->Canvas()->Lock();
  source->Canvas()->Lock();
  HDC td = target->Canvas()->Handle(), sd = source->Canvas()->Handle();
  SetStretchBltMode(td, COLORONCOLOR);
  // Frame 1 (hot), as PaintMaskRect paints it: pieces i (columns) x j (rows).
  const int fx = kFrame, m = kMargin;
  const int xs[3] = {0, m, w - m}, ws[3] = {m, w - 2 * m, m};
  const int ys[3] = {0, m, h - m}, hs[3] = {m, h - 2 * m, m};
  const int sxs[3] = {fx, fx + m, fx + kFrame - m}, sys[3] = {0, m, kFrame - m};
  const UINT key = RGB(0xFF, 0x00, 0xFF);
  auto ours = [&] { PaintMaskRect(target, TRect{0, 0, w, h}, true, EmptyCacheInfo, mask, 1, false, manager); };
  auto gdi = [&] {
    for (int j = 0; j < 3; ++j)
      for (int i = 0; i < 3; ++i) {
        const bool corner = i != 1 && j != 1;
        if (corner)
          TransparentBlt(td, xs[i], ys[j], ws[i], hs[j], sd, sxs[i], sys[j], m, m, key);
        else
          StretchBlt(td, xs[i], ys[j], ws[i], hs[j], sd, sxs[i], sys[j], m, m, SRCCOPY);
      }
    GdiFlush();
  };
  const TPair p = Compare(ours, gdi);
  const std::string size = std::to_string(w) + "x" + std::to_string(h);
  std::printf("nine-piece %-10s ours %8.3f ms   GDI (TransparentBlt x4, StretchBlt x5) %8.3f ms   ours %.1fx faster\n",
              size.c_str(), p.A * 1e3, p.B * 1e3, 1 / p.Ratio);
  Goal("nine-piece paint: times faster than GDI doing the same", size, 1 / p.Ratio, 3.0, true);
  for (TBitmap* b : {target, source}) {
    b->Canvas()->Unlock();
    b->Free();
  }
}

// ---- Fade frame against memcpy ------------------------------------------------------------------------

void FadeFrame(int w, int h) {
  TBitmap* start = CreateBmp24(w, h);
  TBitmap* now = CreateBmp24(w, h);
  TBitmap* frame = CreateBmp24(w, h);
  FillBmpRect(start, TRect{0, 0, w, h}, TColor(0x204080));
  FillBmpRect(now, TRect{0, 0, w, h}, TColor(0xC0A060));
  const qv::TImageView sv = BmpView(start), fv = BmpView(frame);
  // The frame's bytes as one block (DIB rows of these widths touch).
  std::uint8_t* fBytes = fv.Stride > 0 ? fv.Row(0) : fv.Row(h - 1);
  const std::uint8_t* sBytes = sv.Stride > 0 ? sv.Row(0) : sv.Row(h - 1);
  const std::size_t bytes = std::size_t(w) * 3 * h;
  int step = 0;
  auto ours = [&] { BlendBitmapsInto(frame, start, now, qv::FadeAmount(++step % 10, 10)); };
  auto copy = [&] { std::memcpy(fBytes, sBytes, bytes); };
  const TPair p = Compare(ours, copy);
  const std::string size = std::to_string(w) + "x" + std::to_string(h);
  std::printf("fade frame %-10s ours %8.3f ms   memcpy of its bytes %8.3f ms   %.2fx the memcpy\n", size.c_str(),
              p.A * 1e3, p.B * 1e3, p.Ratio);
  Goal("fade frame: time vs memcpy of its bytes", size, p.Ratio, 2.0, false);
  for (TBitmap* b : {start, now, frame}) b->Free();
}

// ---- Messages ------------------------------------------------------------------------------------------

struct TMessageCount {
  int All = 0;
  std::map<int, int> Commands;  // skin command code -> count
};
TMessageCount* Counting = nullptr;

LRESULT CALLBACK CountSent(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HC_ACTION && Counting) {
    const auto* cwp = reinterpret_cast<const CWPSTRUCT*>(lParam);
    ++Counting->All;
    if (cwp->message == SM_QUORVEXCMD) ++Counting->Commands[int(HIWORD(cwp->wParam))];
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

std::string Commands(const TMessageCount& c) {
  std::string s;
  for (auto [cmd, n] : c.Commands) s += (s.empty() ? "" : ", ") + std::to_string(cmd) + ": " + std::to_string(n);
  return s.empty() ? "none" : s;
}

void Drain() {
  for (int i = 0; i < 5; ++i) Application->ProcessMessages();
}

// A skinned container: it answers the skin commands (its image on QC_GETCACHE, its colour on QC_GETPARENTCOLOR) as
// skinned controls do and passes skin changes on to its children; its cache is one colour.
class TBenchPanel : public TWinControl {
 public:
  QV_CLASS_NAME(TBenchPanel)
  explicit TBenchPanel(TComponent* AOwner) : TWinControl(AOwner) {
    ControlStyle_.Include(csAcceptsControls);
    SkinData = new TsCommonData(this, true);
  }
  ~TBenchPanel() override { delete SkinData; }
  void Fill() {
    SkinData->InitCacheBmp();
    FillBmpRect(SkinData->CacheBmp, TRect{0, 0, Width(), Height()}, TColor(0x405060));
    SkinData->BGChanged = false;
  }
  void WndProc(TMessage& m) override {
    if (HandleCommonMessage(m, SkinData)) {
      const int cmd = m.WParamHi();
      if (m.Msg == SM_QUORVEXCMD && (cmd == QC_SKINLOADED || cmd == QC_SKINREMOVED || cmd == QC_REFRESH)) {
        TMessage pass = m;
        BroadcastToControls(this, pass);  // a container passes skin changes on
      }
      return;
    }
    TWinControl::WndProc(m);
  }
  TsCommonData* SkinData;
};

void Messages(TsSkinManager* manager) {
  constexpr int kButtons = 10;
  TForm* form = Create<TForm>(Application);
  form->SetBounds(20, 20, 560, 200);
  auto* panel = Create<TBenchPanel>(form);
  panel->SetParent(form);
  panel->SetBounds(0, 0, 540, 180);
  std::vector<TsButton*> buttons;
  for (int i = 0; i < kButtons; ++i) {
    auto* b = Create<TsButton>(form);
    b->SetParent(i % 2 ? static_cast<TWinControl*>(panel) : form);
    b->SetBounds(10 + (i % 5) * 100, 10 + (i / 5) * 40, 90, 30);
    b->SetCaption("Button " + std::to_string(i));
    buttons.push_back(b);
  }
  form->Show();
  panel->Fill();
  Drain();
  HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROC, CountSent, nullptr, GetCurrentThreadId());
  // Repaints of a button on the plain form and of buttons on the skinned container: a plain one, a
  // disabled one, and one after a resize (its window region made anew).
  buttons[3]->SetEnabled(false);
  Drain();
  TMessageCount paint[4];
  for (int i = 0; i < 4; ++i) {
    TsButton* b = buttons[std::size_t(i)];
    if (i == 2) {
      b = buttons[5];
      b->SetBounds(b->Left(), b->Top(), b->Width() + 4, b->Height());
      b = buttons[5];
    }
    if (i == 3) b = buttons[3];
    Counting = &paint[i];
    b->SkinData()->BGChanged = true;
    b->Repaint();
    Counting = nullptr;
    Drain();
  }
  TMessageCount sw;
  Counting = &sw;
  manager->SetSkinName("Bench B");
  Drain();
  Counting = nullptr;
  UnhookWindowsHookEx(hook);
  const char* what[4] = {"on a plain form", "on a skinned container", "on a skinned container, resized",
                         "on a skinned container, disabled"};
  for (int i = 0; i < 4; ++i)
    std::printf("one button repaint %s: %d messages sent (skin commands %s)\n", what[i], paint[i].All,
                Commands(paint[i]).c_str());
  std::printf("skin switch, form of %d buttons: %d messages sent, %.1f per button (skin commands %s)\n", kButtons,
              sw.All, double(sw.All) / kButtons, Commands(sw).c_str());
  form->Free();
  Drain();
}

}  // namespace

int main() {
  NoteUnoptimisedBuild();
  std::printf("processor level of the pixel kernels: %s; %d-bit build; medians of %d rounds\n",
              qv::rows::LevelName(qv::rows::Kernels().Level), int(sizeof(void*) * 8), kRounds);
  auto* manager = Create<TsSkinManager>(nullptr);
  manager->SetIsDefault(true);
  manager->AddInternalSkin("Bench A", BenchSkin(90));
  manager->AddInternalSkin("Bench B", BenchSkin(160));
  manager->SetSkinName("Bench A");
  if (manager->MaskIndexOf("BUTTON", "BORDERSMASK") < 0) {
    std::printf("skin not loaded: %s\n", manager->LastError().c_str());
    return 1;
  }
  for (auto [w, h] : {std::pair{800, 600}, std::pair{1920, 1080}}) NinePiece(manager, w, h);
  for (auto [w, h] : {std::pair{800, 600}, std::pair{1920, 1080}}) FadeFrame(w, h);
  Messages(manager);

  std::printf("\n%-56s %-10s %8s %9s  %s\n", "goal", "size", "figure", "target", "met");
  for (const TSizedGoal& g : SizedGoals) {
    const bool met = g.AtLeast ? g.Figure >= g.Target : g.Figure < g.Target;
    std::printf("%-56s %-10s %8.2f %7s%.2f  %s\n", g.Text.c_str(), g.Size.c_str(), g.Figure, g.AtLeast ? ">=" : "<",
                g.Target, met ? "yes" : "NO");
  }
  manager->Free();
  return 0;
}
