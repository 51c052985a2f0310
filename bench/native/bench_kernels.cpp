// Pixel kernels against a memcpy of the same bytes, fast and reference versions side by side.
// Counter "x_memcpy": time of one kernel call divided by the time of copying the bytes the kernel
// writes (measured in the same run); lower is better, 1.0 is as fast as a copy.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>
#include <map>
#include <vector>

#include "skin/engine/core/acMaskPaint.h"
#include "skin/engine/core/acPixelKernels.h"

using namespace qv;

namespace {

constexpr int kW = 640, kH = 480;

struct TBenchImage {
  std::vector<std::uint8_t> Bytes;
  TImageView View;
  TBenchImage(int w, int h, bool bottomUp = true) : Bytes(std::size_t(DibStride24(w)) * h) {
    const std::ptrdiff_t stride = DibStride24(w);
    View =
        bottomUp ? TImageView{w, h, -stride, Bytes.data() + stride * (h - 1)} : TImageView{w, h, stride, Bytes.data()};
  }
};

// A picture with some texture, and a border-mask-like image: opaque almost everywhere, key runs
// at the corners and in a few stripes.
void Texture(const TImageView& v, unsigned seed) {
  for (int y = 0; y < v.Height; ++y)
    for (int x = 0; x < v.Width; ++x)
      v.SetPixel(x, y, TBgr{std::uint8_t(x * 7 + seed), std::uint8_t(y * 3 + seed), std::uint8_t((x ^ y) + seed)});
}
void KeyStripes(const TImageView& v) {
  for (int y = 0; y < v.Height; ++y)
    for (int x = 0; x < v.Width; ++x)
      if ((x < 6 && y < 6) || (y % 64 == 0) || (x > v.Width - 6 && y < 6)) v.SetPixel(x, y, BgrOf(clKeyMagenta));
}

// Nanoseconds to memcpy Bytes bytes, measured once per size.
double MemcpyNs(std::size_t bytes) {
  static std::map<std::size_t, double> cache;
  auto it = cache.find(bytes);
  if (it != cache.end()) return it->second;
  std::vector<std::uint8_t> a(bytes, 1), b(bytes, 2);
  using Clock = std::chrono::steady_clock;
  double best = 1e30;
  for (int round = 0; round < 5; ++round) {
    int reps = 0;
    const auto t0 = Clock::now();
    auto t1 = t0;
    do {
      std::memcpy(b.data(), a.data(), bytes);
      benchmark::ClobberMemory();
      ++reps;
      t1 = Clock::now();
    } while (t1 - t0 < std::chrono::milliseconds(2));
    best = std::min(best, std::chrono::duration<double, std::nano>(t1 - t0).count() / reps);
  }
  return cache[bytes] = best;
}

// Runs Body in the benchmark loop and reports its time as a multiple of a memcpy of Bytes.
template <class Body>
void Measure(benchmark::State& state, std::size_t bytes, Body&& body) {
  const double copyNs = MemcpyNs(bytes);
  using Clock = std::chrono::steady_clock;
  const auto t0 = Clock::now();
  for (auto _ : state) {
    body();
    benchmark::ClobberMemory();
  }
  const double ns = std::chrono::duration<double, std::nano>(Clock::now() - t0).count();
  if (state.iterations() > 0) state.counters["x_memcpy"] = ns / double(state.iterations()) / copyNs;
  state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(bytes));
}

const std::size_t kImageBytes = std::size_t(kW) * kH * 3;

template <bool Fast>
void BM_BlendBitmaps(benchmark::State& state) {
  TBenchImage dst(kW, kH), src(kW, kH);
  Texture(dst.View, 1);
  Texture(src.View, 90);
  Measure(state, kImageBytes, [&] {
    if (Fast)
      BlendBitmaps(dst.View, src.View, 100);
    else
      ref::BlendBitmaps(dst.View, src.View, 100);
  });
}

template <bool Fast>
void BM_BlendBitmapRect(benchmark::State& state) {
  TBenchImage dst(kW, kH), src(kW, kH);
  Texture(dst.View, 1);
  Texture(src.View, 90);
  const TRect r{1, 1, kW - 1, kH - 1};
  Measure(state, std::size_t(kW - 2) * (kH - 2) * 3, [&] {
    if (Fast)
      BlendBitmapRect(dst.View, src.View, 140, r, TPoint{1, 1});
    else
      ref::BlendBitmapRect(dst.View, src.View, 140, r, TPoint{1, 1});
  });
}

template <bool Fast>
void BM_BlendRectKeyed(benchmark::State& state) {
  TBenchImage dst(kW, kH), src(kW, kH);
  Texture(dst.View, 1);
  Texture(src.View, 90);
  KeyStripes(src.View);
  Measure(state, kImageBytes, [&] {
    if (Fast)
      BlendRectKeyed(dst.View, 0, 0, src.View, TRect{0, 0, kW, kH}, 0.4, clKeyMagenta);
    else
      ref::BlendRectKeyed(dst.View, 0, 0, src.View, TRect{0, 0, kW, kH}, 0.4, clKeyMagenta);
  });
}

template <bool Fast>
void BM_BlendColorRectBlur(benchmark::State& state) {
  TBenchImage img(kW, kH);
  Texture(img.View, 5);
  Measure(state, kImageBytes, [&] {
    if (Fast)
      BlendColorRect(img.View, TRect{0, 0, kW, kH}, 60, 0x808080, true, 2);
    else
      ref::BlendColorRect(img.View, TRect{0, 0, kW, kH}, 60, 0x808080, true, 2);
  });
}

template <bool Fast>
void BM_CopyTransparentRect(benchmark::State& state) {
  TBenchImage dst(kW, kH), src(kW, kH), cache(kW, kH);
  Texture(src.View, 3);
  KeyStripes(src.View);
  Texture(cache.View, 9);
  const TCacheView cv = MakeCacheView(cache.View, 0, 0);
  Measure(state, kImageBytes, [&] {
    if (Fast)
      CopyTransparentRect(dst.View, src.View, 0, 0, TRect{0, 0, kW, kH}, clKeyMagenta, cv, true);
    else
      ref::CopyTransparentRect(dst.View, src.View, 0, 0, TRect{0, 0, kW, kH}, clKeyMagenta, cv, true);
  });
}

template <bool Fast>
void BM_CopyByMask(benchmark::State& state) {
  // Picture above a mask that is black inside, white in the corners and grey on a ring.
  TBenchImage dst(kW, kH), src(kW, kH * 2);
  Texture(dst.View, 7);
  Texture(TImageView{kW, kH, src.View.Stride, src.View.Bits}, 11);
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x) {
      const int edge = std::min(std::min(x, kW - 1 - x), std::min(y, kH - 1 - y));
      const std::uint8_t m = edge < 3 ? 0xFF : edge < 5 ? 0x80 : 0x00;
      src.View.SetPixel(x, kH + y, TBgr{m, m, m});
    }
  Measure(state, kImageBytes, [&] {
    if (Fast)
      CopyByMask(TRect{0, 0, kW, kH}, TRect{0, 0, kW, kH}, dst.View, src.View, TCacheView{}, false);
    else
      ref::CopyByMask(TRect{0, 0, kW, kH}, TRect{0, 0, kW, kH}, dst.View, src.View, TCacheView{}, false);
  });
}

template <bool Fast>
void BM_GrayscaleBmpKeyed(benchmark::State& state) {
  TBenchImage img(kW, kH), orig(kW, kH);
  Texture(orig.View, 2);
  KeyStripes(orig.View);
  Measure(state, kImageBytes, [&] {
    std::memcpy(img.Bytes.data(), orig.Bytes.data(), img.Bytes.size());
    if (Fast)
      GrayscaleBmpKeyed(img.View, clKeyMagenta);
    else
      ref::GrayscaleBmpKeyed(img.View, clKeyMagenta);
  });
}

template <bool Fast>
void BM_CollectKeyRuns(benchmark::State& state) {
  TBenchImage img(kW, kH);
  Texture(img.View, 4);
  KeyStripes(img.View);
  std::vector<TRect> runs;
  Measure(state, kImageBytes, [&] {
    runs.clear();
    if (Fast)
      CollectKeyRuns(img.View, clKeyMagenta, runs);
    else
      ref::CollectKeyRuns(img.View, clKeyMagenta, runs);
    benchmark::DoNotOptimize(runs.data());
  });
}

// A form frame: a 3-state border mask of 30 x 30 frames with 8-pixel margins painted over a
// 640 x 480 window, transparent corners from the parent cache.
template <bool Fast>
void BM_PaintMaskRect(benchmark::State& state) {
  const int fw = 30;
  TBenchImage maskImg(fw * 3, fw), dst(kW, kH), cache(kW, kH);
  Texture(maskImg.View, 6);
  for (int k = 0; k < 3; ++k)
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < 3 - y; ++x) {
        maskImg.View.SetPixel(k * fw + x, y, BgrOf(clKeyMagenta));
        maskImg.View.SetPixel(k * fw + fw - 1 - x, y, BgrOf(clKeyMagenta));
      }
  Texture(cache.View, 8);
  TMaskFrames m;
  m.Image = maskImg.View;
  m.R = TRect{0, 0, fw * 3, fw};
  m.ImageCount = 3;
  m.MarginLeft = m.MarginTop = m.MarginRight = m.MarginBottom = 8;
  m.DrawMode = state.range(0) ? TMaskDrawMode::Tile : TMaskDrawMode::Stretch;
  const TCacheView cv = MakeCacheView(cache.View, 0, 0);
  Measure(state, kImageBytes, [&] {
    if (Fast)
      PaintMaskRect(dst.View, TRect{0, 0, kW, kH}, true, cv, m, 1, true);
    else
      ref::PaintMaskRect(dst.View, TRect{0, 0, kW, kH}, true, cv, m, 1, true);
  });
}

}  // namespace

BENCHMARK(BM_BlendBitmaps<true>)->Name("BlendBitmaps/fast");
BENCHMARK(BM_BlendBitmaps<false>)->Name("BlendBitmaps/ref");
BENCHMARK(BM_BlendBitmapRect<true>)->Name("BlendBitmapRect/fast");
BENCHMARK(BM_BlendBitmapRect<false>)->Name("BlendBitmapRect/ref");
BENCHMARK(BM_BlendRectKeyed<true>)->Name("BlendRectKeyed/fast");
BENCHMARK(BM_BlendRectKeyed<false>)->Name("BlendRectKeyed/ref");
BENCHMARK(BM_BlendColorRectBlur<true>)->Name("BlendColorRectBlur/fast");
BENCHMARK(BM_BlendColorRectBlur<false>)->Name("BlendColorRectBlur/ref");
BENCHMARK(BM_CopyTransparentRect<true>)->Name("CopyTransparentRect/fast");
BENCHMARK(BM_CopyTransparentRect<false>)->Name("CopyTransparentRect/ref");
BENCHMARK(BM_CopyByMask<true>)->Name("CopyByMask/fast");
BENCHMARK(BM_CopyByMask<false>)->Name("CopyByMask/ref");
BENCHMARK(BM_GrayscaleBmpKeyed<true>)->Name("GrayscaleBmpKeyed/fast");
BENCHMARK(BM_GrayscaleBmpKeyed<false>)->Name("GrayscaleBmpKeyed/ref");
BENCHMARK(BM_CollectKeyRuns<true>)->Name("CollectKeyRuns/fast");
BENCHMARK(BM_CollectKeyRuns<false>)->Name("CollectKeyRuns/ref");
BENCHMARK(BM_PaintMaskRect<true>)->Name("PaintMaskRect/fast")->Arg(0)->Arg(1);
BENCHMARK(BM_PaintMaskRect<false>)->Name("PaintMaskRect/ref")->Arg(0)->Arg(1);
