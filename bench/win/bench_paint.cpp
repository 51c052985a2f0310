// The skin painters against the platform and memcpy doing the same work, and the messages a paint
// costs, in one run under Wine (or Windows):
//  - the pixel kernels at the image sizes users meet, odd widths (padded rows) beside even ones,
//    against a memcpy of the bytes they write: two images blended, skin images copied without key
//    pixels, with key runs at their borders and with key pixels scattered, and a fade frame;
//  - a nine-piece border mask painted (PaintMaskRect) against GDI painting the same nine pieces into
//    the same DIB section, TransparentBlt for the pieces that hold key pixels and StretchBlt for the
//    rest: again and again at one size (rows kept between paints, as the skin keeps them), and first
//    paints, each at a size not painted before (a resize, a new control). The masks: the bench
//    skin's, with key corners, and, when a skins folder is given, Graphite's BUTTON and PANEL, which
//    hold no key pixel;
//  - the window messages one skinned button's repaint sends, and those a skin switch sends to a
//    form of buttons.
// Timings are medians of rounds; each round times both sides, the one that goes first alternating
// from round to round, so that other load on the machine falls on both alike. The goals are printed
// at the end with the figures, the lowest and highest of a round, and whether each is met.
//
//   bench_paint.exe [SKINS-FOLDER]
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
#include "skin/engine/core/acPixelKernels.h"
#include "skin/engine/core/acRowKernels.h"
#include "skin/engine/core/acSkinLoader.h"
#include "skin/engine/sCommonData.h"
#include "skin/engine/sQuorvexGraph.h"
#include "skin/engine/sSkinManager.h"
#include "bench/KernelImages.h"
#include "bench/win/BenchSkin.h"
#include "bench/win/BenchTiming.h"

namespace {

using namespace qvbench;

constexpr int kRounds = 11;

// Medians of the two sides and of their ratio A / B over the rounds, and the lowest and highest
// ratio of a round (how much the machine's other load moved it).
struct TPair {
  double A = 0, B = 0, Ratio = 0, RatioLo = 0, RatioHi = 0;
};

template <class FnA, class FnB>
TPair Compare(FnA&& a, FnB&& b, double secondsPerSide = 0.02) {
  a();
  b();  // warm up
  const double probe = std::max(SecondsPerCall(a, 1), SecondsPerCall(b, 1));
  const int reps = std::max(1, int(secondsPerSide / std::max(probe, 1e-7)));
  std::vector<double> ta, tb, ratio;
  for (int r = 0; r < kRounds; ++r) {
    double x = 0, y = 0;
    BothSides(
        r, [&] { x = SecondsPerCall(a, reps); }, [&] { y = SecondsPerCall(b, reps); });
    ta.push_back(x);
    tb.push_back(y);
    ratio.push_back(x / y);
  }
  return TPair{Median(ta), Median(tb), Median(ratio), *std::min_element(ratio.begin(), ratio.end()),
               *std::max_element(ratio.begin(), ratio.end())};
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
  double Figure, Lo, Hi, Target;
  bool AtLeast;
};
std::vector<TSizedGoal> SizedGoals;

// A goal on the ratio of P's sides (AsSpeed: on its inverse, how many times faster the first side
// is), with the lowest and highest figure of a round beside the median.
void Goal(const std::string& text, const std::string& size, const TPair& p, bool asSpeed, double target, bool atLeast) {
  const double figure = asSpeed ? 1 / p.Ratio : p.Ratio, lo = asSpeed ? 1 / p.RatioHi : p.RatioLo,
               hi = asSpeed ? 1 / p.RatioLo : p.RatioHi;
  SizedGoals.push_back(TSizedGoal{text, size, figure, lo, hi, target, atLeast});
}

// ---- Pixel kernels against memcpy -----------------------------------------------------------------

// Each kernel against a memcpy of the bytes it writes, at each size (4K is left to the native
// benchmark).
void Kernels() {
  for (TKernelSize s : kKernelSizes) {
    if (s.W > 1920) continue;
    const std::string size = SizeName(s);
    const bool goal = s.W >= kGoalWidth;
    TBenchImage dst(s.W, s.H), src(s.W, s.H), other(s.W, s.H);
    Texture(dst.View, 1);
    Texture(src.View, 90);
    Texture(other.View, 40);
    TBenchImage keyed[3] = {TBenchImage(s.W, s.H), TBenchImage(s.W, s.H), TBenchImage(s.W, s.H)};
    qv::TKeyRunIndex runs[3];
    for (TKeys k : {TKeys::None, TKeys::Runs, TKeys::Scattered}) {
      TBenchImage& img = keyed[int(k)];
      Texture(img.View, 3);
      AddKeys(img.View, k);
      qv::BuildKeyRunIndex(img.View, qv::clKeyMagenta, runs[int(k)]);
    }
    // The baseline moves the bytes the kernel reads to where it writes them: from its own source
    // image into its destination, so that both sides meet the same two images in the caches, at
    // the same distance from each other.
    auto copyFrom = [&](const TBenchImage& from) {
      return [&dst, &from] { std::memcpy(dst.Bytes.data(), from.Bytes.data(), dst.PixelBytes()); };
    };
    const auto copy = copyFrom(src);
    auto speed = [&](const char* text, auto&& kernel, const TBenchImage& from, double target) {
      Goal(text, size, Compare(kernel, copyFrom(from), 0.01), true, goal ? target : 0, true);
    };
    speed(
        "blend of two images: speed vs memcpy", [&] { qv::BlendBitmaps(dst.View, src.View, 100); }, src, 0.5);
    const TRect all{0, 0, s.W, s.H};
    const char* copies[3] = {"skin image copy, no key pixels: speed vs memcpy",
                             "skin image copy, key runs at the borders: speed vs memcpy",
                             "skin image copy, key pixels scattered: speed vs memcpy"};
    for (TKeys k : {TKeys::None, TKeys::Runs, TKeys::Scattered})
      speed(
          copies[int(k)],
          [&] {
            qv::CopyTransparentIndexed(dst.View, keyed[int(k)].View, runs[int(k)], 0, 0, all, qv::TCacheView{}, false);
          },
          keyed[int(k)], k == TKeys::Scattered ? 0.5 : 0.8);
    speed(
        "key-colour copy, key pixels scattered: speed vs memcpy",
        [&] { qv::CopyTransparent(dst.View, keyed[int(TKeys::Scattered)].View, 0, 0, qv::clKeyMagenta); },
        keyed[int(TKeys::Scattered)], 0.5);
    int step = 0;
    const TPair fade = Compare(
        [&] { qv::BlendBitmapsInto(dst.View, src.View, other.View, qv::FadeAmount(++step % 10, 10)); }, copy, 0.01);
    Goal("fade frame: time vs memcpy of its bytes", size, fade, false, s.H == 1080 ? 2.0 : 0, false);
  }
}

// ---- Nine-piece paint against GDI -------------------------------------------------------------------

// A border mask of a skin, painted by the skin and by GDI.
struct TNineMask {
  std::string Name;
  TsSkinManager* Manager;
  int Index;
};

void NinePiece(const TNineMask& m, int w, int h) {
  const qv::TsMaskData& mask = m.Manager->Mask(m.Index);
  const qv::TImage24* img = m.Manager->MaskImage(m.Index);
  TBitmap* target = CreateBmp24(w, h);
  TBitmap* source = CreateBmp24(img->Width(), img->Height());  // the mask's image as a GDI bitmap
  {
    const qv::TImageView d = BmpView(source);
    for (int y = 0; y < img->Height(); ++y)
      for (int x = 0; x < img->Width(); ++x) d.SetPixel(x, y, img->Pixel(x, y));
  }
  target->Canvas()->Lock();
  source->Canvas()->Lock();
  HDC td = target->Canvas()->Handle(), sd = source->Canvas()->Handle();
  SetStretchBltMode(td, COLORONCOLOR);
  // Frame 1 (hot) in nine pieces i (columns) x j (rows), as PaintMaskRect lays them out.
  const int state = std::min(1, mask.ImageCount - 1), fw = mask.FrameWidth(), fh = mask.FrameHeight();
  const int fx = mask.R.Left + state * fw, fy = mask.R.Top;
  const int ml = mask.MarginLeft, mr = mask.MarginRight, mt = mask.MarginTop, mb = mask.MarginBottom;
  const int sxs[3] = {fx, fx + ml, fx + fw - mr}, sws[3] = {ml, fw - ml - mr, mr};
  const int sys[3] = {fy, fy + mt, fy + fh - mb}, shs[3] = {mt, fh - mt - mb, mb};
  // A piece with key pixels needs TransparentBlt.
  bool keyed[3][3] = {};
  for (int j = 0; j < 3; ++j)
    for (int i = 0; i < 3; ++i)
      for (int y = sys[j]; y < sys[j] + shs[j]; ++y)
        for (int x = sxs[i]; x < sxs[i] + sws[i]; ++x)
          keyed[j][i] = keyed[j][i] || img->Pixel(x, y) == qv::BgrOf(qv::clKeyMagenta);
  const UINT key = RGB(0xFF, 0x00, 0xFF);
  auto gdi = [&](int pw, int ph) {
    const int xs[3] = {0, ml, pw - mr}, ws[3] = {ml, pw - ml - mr, mr};
    const int ys[3] = {0, mt, ph - mb}, hs[3] = {mt, ph - mt - mb, mb};
    for (int j = 0; j < 3; ++j)
      for (int i = 0; i < 3; ++i) {
        if (ws[i] <= 0 || hs[j] <= 0 || sws[i] <= 0 || shs[j] <= 0) continue;
        if (keyed[j][i])
          TransparentBlt(td, xs[i], ys[j], ws[i], hs[j], sd, sxs[i], sys[j], sws[i], shs[j], key);
        else
          StretchBlt(td, xs[i], ys[j], ws[i], hs[j], sd, sxs[i], sys[j], sws[i], shs[j], SRCCOPY);
      }
    GdiFlush();
  };
  auto ours = [&](int pw, int ph) {
    PaintMaskRect(target, TRect{0, 0, pw, ph}, true, EmptyCacheInfo, mask, state, false, m.Manager);
  };
  const std::string size = std::to_string(w) + "x" + std::to_string(h);
  const TPair again = Compare([&] { ours(w, h); }, [&] { gdi(w, h); });
  // First paints: a width not painted lately each time (more widths than the rows kept), on both
  // sides alike; every width shows the whole border (no width below the two margins).
  const int widths = std::clamp(w - ml - mr, 1, 128);
  int n = 0, k = 0;
  const TPair first = Compare([&] { ours(w - n++ % widths, h); }, [&] { gdi(w - k++ % widths, h); });
  std::printf(
      "nine-piece %-14s %-10s again: ours %8.2f us, GDI %8.2f us (%.1fx); first: ours %8.2f us, GDI %8.2f us (%.1fx)\n",
      m.Name.c_str(), size.c_str(), again.A * 1e6, again.B * 1e6, 1 / again.Ratio, first.A * 1e6, first.B * 1e6,
      1 / first.Ratio);
  Goal("nine-piece " + m.Name + ", again: times faster than GDI", size, again, true, 3.0, true);
  Goal("nine-piece " + m.Name + ", first paint: times faster than GDI", size, first, true, 3.0, true);
  for (TBitmap* b : {target, source}) {
    b->Canvas()->Unlock();
    b->Free();
  }
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

int main(int argc, char** argv) {
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
  Kernels();
  const TNineMask bench{"(key corners)", manager, manager->MaskIndexOf("BUTTON", "BORDERSMASK")};
  for (auto [w, h] : {std::pair{800, 600}, std::pair{1920, 1080}}) NinePiece(bench, w, h);
  TsSkinManager* graphite = nullptr;
  if (argc > 1) {
    graphite = Create<TsSkinManager>(nullptr);
    graphite->SetSkinDirectory(argv[1]);
    graphite->SetSkinName("Graphite");
    const int button = graphite->MaskIndexOf("BUTTON", "BORDERSMASK"),
              panel = graphite->MaskIndexOf("PANEL", "BORDERSMASK");
    if (button < 0 || panel < 0) {
      std::printf("Graphite not loaded from \"%s\": %s\n", argv[1], graphite->LastError().c_str());
    } else {
      for (auto [w, h] : {std::pair{75, 25}, std::pair{160, 40}})
        NinePiece({"Graphite BUTTON", graphite, button}, w, h);
      for (auto [w, h] : {std::pair{300, 200}, std::pair{800, 600}})
        NinePiece({"Graphite PANEL", graphite, panel}, w, h);
    }
  }
  Messages(manager);

  std::printf("\n%-62s %-10s %8s %11s %9s  %s\n", "goal", "size", "figure", "rounds", "target", "met");
  for (const TSizedGoal& g : SizedGoals) {
    char rounds[32];
    std::snprintf(rounds, sizeof rounds, "%.2f-%.2f", g.Lo, g.Hi);
    if (g.Target <= 0) {
      std::printf("%-62s %-10s %8.2f %11s %9s\n", g.Text.c_str(), g.Size.c_str(), g.Figure, rounds, "-");
      continue;
    }
    const bool met = g.AtLeast ? g.Figure >= g.Target : g.Figure < g.Target;
    std::printf("%-62s %-10s %8.2f %11s %7s%.2f  %s\n", g.Text.c_str(), g.Size.c_str(), g.Figure, rounds,
                g.AtLeast ? ">=" : "<", g.Target, met ? "yes" : "NO");
  }
  if (graphite) graphite->Free();
  manager->Free();
  return 0;
}
