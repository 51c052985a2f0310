// The pixel kernels against memcpy (and memset for painters that only write), in one run.
//
// Every benchmark runs rounds; a round times the baseline over the bytes the kernel writes (a memcpy
// into the kernel's output from its input), then the kernel, then the baseline again, each repeated
// until it takes about a millisecond. A round's
// ratio is the kernel's time over the mean of the two baselines around it; the figures reported
// are medians over the rounds (kernel time, baseline time, ratio), so that the load other programs
// put on the machine while it runs falls on both alike. Counter "speed" is baseline / kernel (1.0:
// as fast as the baseline), "x_base" its inverse. At the end the goals are printed with today's
// medians, the lowest and highest figure of a round, and whether each is met, with the machine's
// load average before and after.
//
// Sizes come in pairs of even and odd widths: an odd width pads every row of a DIB (rows are
// multiples of 4 bytes), so its rows never touch and each block is walked row by row.
//
//   bench_native [--benchmark_filter=...]     all sizes: 99x31, 100x30, 101x30, 320x240, 321x240, 799x600, 800x600,
//                                             1919x1080, 1920x1080, 3840x2160
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "bench/KernelImages.h"
#include "skin/engine/core/acMaskPaint.h"
#include "skin/engine/core/acPixelKernels.h"
#include "skin/engine/core/acRowKernels.h"

using namespace qv;

namespace {

using qvbench::AddKeys;
using qvbench::KeysName;
using qvbench::SizeName;
using qvbench::TBenchImage;
using qvbench::Texture;
using qvbench::TKeys;
using TSize2 = qvbench::TKernelSize;
constexpr int kRounds = 11;

using Clock = std::chrono::steady_clock;

template <class Fn>
double NsPerCall(Fn&& fn, int reps) {
  const auto t0 = Clock::now();
  for (int i = 0; i < reps; ++i) {
    fn();
    benchmark::ClobberMemory();
  }
  return std::chrono::duration<double, std::nano>(Clock::now() - t0).count() / reps;
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0 : v[v.size() / 2];
}

struct TResult {
  double KernelNs = 0, BaseNs = 0, Ratio = 0;  // medians; Ratio = kernel / baseline
  double RatioLo = 0, RatioHi = 0;             // the lowest and highest ratio of a round
};
std::map<std::string, TResult>& Results() {
  static std::map<std::string, TResult> r;
  return r;
}

enum class TBase { Memcpy, Memset };

// Runs the rounds of one benchmark. The baseline moves the kernel's own bytes (From's to To's, the
// images the kernel reads and writes), so that both find the caches as the other left them.
template <class Kernel>
void Rounds(benchmark::State& state, const std::string& key, TBenchImage& to, const TBenchImage& from, TBase base,
            Kernel&& kernel) {
  const std::size_t bytes = to.PixelBytes();
  auto baseline = [&] {
    if (base == TBase::Memcpy)
      std::memcpy(to.Bytes.data(), from.Bytes.data(), bytes);
    else
      std::memset(to.Bytes.data(), 0x3C, bytes);
  };
  // Repetitions for about a millisecond of each part.
  const double probe = std::max(NsPerCall(baseline, 3), NsPerCall(kernel, 1));
  const int reps = std::max(1, int(1e6 / std::max(probe, 1.0)));
  std::vector<double> kernelNs, baseNs, ratios;
  for (auto _ : state) {
    const double before = NsPerCall(baseline, reps);
    const double k = NsPerCall(kernel, reps);
    const double after = NsPerCall(baseline, reps);
    state.SetIterationTime(k * 1e-9);
    kernelNs.push_back(k);
    baseNs.push_back((before + after) / 2);
    ratios.push_back(k / ((before + after) / 2));
  }
  TResult r{Median(kernelNs), Median(baseNs), Median(ratios), *std::min_element(ratios.begin(), ratios.end()),
            *std::max_element(ratios.begin(), ratios.end())};
  Results()[key] = r;
  state.counters["speed"] = 1 / r.Ratio;
  state.counters["x_base"] = r.Ratio;
  state.counters["base_ns"] = r.BaseNs;
  state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(bytes));
}

// ---- Benchmarks ---------------------------------------------------------------------------------

void BlendTwo(benchmark::State& state, TSize2 s, rows::TSimdLevel level) {
  rows::TLevelScope scope(level);
  TBenchImage dst(s.W, s.H), src(s.W, s.H);
  Texture(dst.View, 1);
  Texture(src.View, 90);
  const std::string key = std::string("blend/") + rows::LevelName(level) + "/" + SizeName(s);
  Rounds(state, key, dst, src, TBase::Memcpy, [&] { BlendBitmaps(dst.View, src.View, 100); });
}

void FadeFrame(benchmark::State& state, TSize2 s) {
  TBenchImage start(s.W, s.H), now(s.W, s.H), frame(s.W, s.H);
  Texture(start.View, 1);
  Texture(now.View, 77);
  Rounds(state, "fade/" + SizeName(s), frame, start, TBase::Memcpy,
         [&] { BlendBitmapsInto(frame.View, start.View, now.View, 140); });
}

void CopyScan(benchmark::State& state, TSize2 s, TKeys keys) {
  TBenchImage dst(s.W, s.H), src(s.W, s.H);
  Texture(src.View, 3);
  AddKeys(src.View, keys);
  Rounds(state, std::string("copy-scan/") + KeysName(keys) + "/" + SizeName(s), dst, src, TBase::Memcpy,
         [&] { CopyTransparent(dst.View, src.View, 0, 0, clKeyMagenta); });
}

void CopyRuns(benchmark::State& state, TSize2 s, TKeys keys) {
  TBenchImage dst(s.W, s.H), src(s.W, s.H);
  Texture(src.View, 3);
  AddKeys(src.View, keys);
  TKeyRunIndex index;
  BuildKeyRunIndex(src.View, clKeyMagenta, index);
  Rounds(state, std::string("copy-runs/") + KeysName(keys) + "/" + SizeName(s), dst, src, TBase::Memcpy, [&] {
    CopyTransparentIndexed(dst.View, src.View, index, 0, 0, TRect{0, 0, s.W, s.H}, TCacheView{}, false);
  });
}

// A form's frame: a border mask of three 48 x 48 frames with 16-pixel margins and key corners,
// painted over the whole target from rows kept between paints (or composed for each paint).
struct TBenchMask {
  TBenchImage Img{48 * 3, 48};
  TMaskFrames Frames;
  TKeyRunIndex Runs;
  TBenchMask() {
    Texture(Img.View, 6);
    for (int k = 0; k < 3; ++k)
      for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 48; ++x)
          if ((x < 3 || x > 44) && (y < 3 || y > 44)) Img.View.SetPixel(k * 48 + x, y, BgrOf(clKeyMagenta));
    BuildKeyRunIndex(Img.View, clKeyMagenta, Runs);
    Frames.Image = Img.View;
    Frames.R = TRect{0, 0, 48 * 3, 48};
    Frames.ImageCount = 3;
    Frames.MarginLeft = Frames.MarginTop = Frames.MarginRight = Frames.MarginBottom = 16;
    Frames.KeyRuns = &Runs;
  }
};

void NinePiece(benchmark::State& state, TSize2 s, bool kept, TBase base) {
  TBenchMask m;
  TBenchImage dst(s.W, s.H), parent(s.W, s.H);
  Texture(parent.View, 8);
  const TCacheView cache = MakeCacheView(parent.View, 0, 0);
  TMaskPaintCache rows;
  const std::string key = std::string("ninepiece/") + (kept ? "kept" : "composed") + "/" +
                          (base == TBase::Memcpy ? "memcpy" : "memset") + "/" + SizeName(s);
  Rounds(state, key, dst, parent, base, [&] {
    PaintMaskRect(dst.View, TRect{0, 0, s.W, s.H}, true, cache, m.Frames, 1, true, kept ? &rows : nullptr);
  });
}

// The other kernels at one size, for the record.
void Others(benchmark::State& state, int which) {
  const TSize2 s{800, 600};
  TBenchImage dst(s.W, s.H), src(s.W, s.H * 2);
  Texture(dst.View, 1);
  Texture(src.View, 90);
  AddKeys(TImageView{s.W, s.H, src.View.Stride, src.View.Bits}, TKeys::Runs);
  const TImageView upper{s.W, s.H, src.View.Stride, src.View.Bits};
  std::vector<TRect> runs;
  static const char* names[] = {"BlendRectKeyed", "BlendColorRect", "CopyByMask", "GrayscaleBmpKeyed",
                                "CollectKeyRuns"};
  TBenchImage from(s.W, s.H);
  Texture(from.View, 4);
  Rounds(state, std::string("other/") + names[which] + "/" + SizeName(s), dst, from, TBase::Memcpy, [&] {
    switch (which) {
      case 0: BlendRectKeyed(dst.View, 0, 0, upper, TRect{0, 0, s.W, s.H}, 0.4, clKeyMagenta); break;
      case 1: BlendColorRect(dst.View, TRect{0, 0, s.W, s.H}, 60, 0x808080, false, 0); break;
      case 2: CopyByMask(TRect{0, 0, s.W, s.H}, TRect{0, 0, s.W, s.H}, dst.View, src.View, TCacheView{}, false); break;
      case 3: GrayscaleBmpKeyed(dst.View, clKeyMagenta); break;  // grey stays grey: no restoring copy
      default:
        runs.clear();
        CollectKeyRuns(upper, clKeyMagenta, runs);
        benchmark::DoNotOptimize(runs.data());
    }
  });
}

void Register() {
  auto add = [](const std::string& name, auto fn) {
    benchmark::RegisterBenchmark(name.c_str(), fn)->Iterations(kRounds)->UseManualTime()->Unit(benchmark::kMicrosecond);
  };
  for (TSize2 s : qvbench::kKernelSizes) {
    const std::string n = SizeName(s);
    add("blend/" + n, [s](benchmark::State& st) { BlendTwo(st, s, rows::BestLevel()); });
    add("fade/" + n, [s](benchmark::State& st) { FadeFrame(st, s); });
    for (TKeys k : {TKeys::None, TKeys::Runs, TKeys::Scattered}) {
      add(std::string("copy-scan/") + KeysName(k) + "/" + n, [s, k](benchmark::State& st) { CopyScan(st, s, k); });
      add(std::string("copy-runs/") + KeysName(k) + "/" + n, [s, k](benchmark::State& st) { CopyRuns(st, s, k); });
    }
    add("ninepiece/kept/memset/" + n, [s](benchmark::State& st) { NinePiece(st, s, true, TBase::Memset); });
    add("ninepiece/kept/memcpy/" + n, [s](benchmark::State& st) { NinePiece(st, s, true, TBase::Memcpy); });
    add("ninepiece/composed/memcpy/" + n, [s](benchmark::State& st) { NinePiece(st, s, false, TBase::Memcpy); });
  }
  // Every level on one size: what each step of the dispatch is worth.
  for (rows::TSimdLevel level : rows::AvailableLevels())
    add(std::string("blend-level/") + rows::LevelName(level) + "/800x600", [level](benchmark::State& st) {
      BlendTwo(st, TSize2{800, 600}, level);
    });
  for (int i = 0; i < 5; ++i) add("other/" + std::to_string(i), [i](benchmark::State& st) { Others(st, i); });
}

std::string LoadAverage() {
  std::ifstream f("/proc/loadavg");
  std::string a, b, c;
  if (!(f >> a >> b >> c)) return "unknown";
  return a + " " + b + " " + c;
}

// ---- Goals ----------------------------------------------------------------------------------------

// A build whose core runs under the sanitizers times the sanitizers' checks, not the kernels.
void NoteSanitizedBuild() {
#if defined(QV_BENCH_SANITIZED)
  std::printf(
      "note: the core is built with sanitizers, so these figures only show that the benchmark runs; configure "
      "with -DQV_SANITIZE=OFF for real ones\n");
#endif
}

void PrintGoals(const std::string& loadBefore) {
  const auto& r = Results();
  NoteSanitizedBuild();
  std::printf("\nGoals (medians of %d rounds; speed = memcpy time / kernel time; processor level %s)\n", kRounds,
              rows::LevelName(rows::BestLevel()));
  std::printf("%-62s %-10s %8s %11s %9s  %s\n", "goal", "size", "figure", "rounds", "target", "met");
  auto row = [&](const std::string& goal, const std::string& key, const std::string& size, bool asSpeed,
                 double target) {
    auto it = r.find(key);
    if (it == r.end()) return;
    const TResult& x = it->second;
    const double v = asSpeed ? 1 / x.Ratio : x.Ratio;
    char rounds[32];
    std::snprintf(rounds, sizeof rounds, "%.2f-%.2f", asSpeed ? 1 / x.RatioHi : x.RatioLo,
                  asSpeed ? 1 / x.RatioLo : x.RatioHi);
    if (target <= 0) {
      std::printf("%-62s %-10s %8.2f %11s %9s\n", goal.c_str(), size.c_str(), v, rounds, "-");
      return;
    }
    const bool met = asSpeed ? v >= target : v < target;
    std::printf("%-62s %-10s %8.2f %11s %7s%.2f  %s\n", goal.c_str(), size.c_str(), v, rounds, asSpeed ? ">=" : "<",
                target, met ? "yes" : "NO");
  };
  auto target = [](TSize2 s, double t) { return s.W >= qvbench::kGoalWidth ? t : 0.0; };
  for (TSize2 s : qvbench::kKernelSizes)
    row("blend of two 24-bit images: speed vs memcpy",
        "blend/" + std::string(rows::LevelName(rows::BestLevel())) + "/" + SizeName(s), SizeName(s), true,
        target(s, 0.50));
  for (const char* kind : {"copy-runs", "copy-scan"})
    for (TKeys k : {TKeys::None, TKeys::Runs, TKeys::Scattered})
      for (TSize2 s : qvbench::kKernelSizes)
        row(std::string(kind == std::string("copy-runs") ? "skin image copy by key runs"
                                                         : "key-colour copy (scanning)") +
                ", keys " + KeysName(k) + ": speed vs memcpy",
            std::string(kind) + "/" + KeysName(k) + "/" + SizeName(s), SizeName(s), true,
            target(s, k == TKeys::Scattered ? 0.50 : 0.80));
  // The fade's goal is set for full-screen frames; the other sizes are printed beside them.
  for (TSize2 s : qvbench::kKernelSizes)
    row("fade frame: time vs memcpy of its bytes", "fade/" + SizeName(s), SizeName(s), false, s.H == 1080 ? 2.0 : 0.0);
  for (TSize2 s : qvbench::kKernelSizes)
    row("nine-piece paint, kept rows: speed vs memset (write only)", "ninepiece/kept/memset/" + SizeName(s),
        SizeName(s), true, 0.0);
  for (TSize2 s : qvbench::kKernelSizes)
    row("nine-piece paint, rows composed: speed vs memcpy", "ninepiece/composed/memcpy/" + SizeName(s), SizeName(s),
        true, 0.0);
  std::printf("(nine-piece against GDI: bench_win under Wine)\nload average before: %s, after: %s\n",
              loadBefore.c_str(), LoadAverage().c_str());
}

}  // namespace

int main(int argc, char** argv) {
  const std::string loadBefore = LoadAverage();
  NoteSanitizedBuild();
  Register();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  PrintGoals(loadBefore);
  benchmark::Shutdown();
  return 0;
}
