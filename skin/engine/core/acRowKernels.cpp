#include "skin/engine/core/acRowKernels.h"

#include <cstring>

#include "skin/engine/core/acCompiler.h"
#include "skin/engine/core/acPixelKernels.h"

namespace qv::rows {

namespace detail {

#if QV_X86
extern const TRowKernels KernelsSse2;
extern const TRowKernels KernelsSse41;
extern const TRowKernels KernelsAvx2;
void BlendConstAvx512(TRowsOut dst, TRowsIn a, TRowsIn b, std::size_t bytes, int rows, unsigned w);
void BlendConstStreamAvx512(TRowsOut dst, TRowsIn a, TRowsIn b, std::size_t bytes, int rows, unsigned w);
void CopyAvx512(std::uint8_t* dst, const std::uint8_t* src, std::size_t bytes);
void CopyKeyedAvx512(TRowsOut dst, TRowsIn src, TRowsIn bg, int n, int rows, const TKeyPattern& key);
void CopyByBitsAvx512(TRowsOut dst, TRowsIn src, const std::uint64_t* bits, std::ptrdiff_t bitStride, std::size_t from,
                      std::size_t bytes, int rows);
#endif

// The scalar level: the reference rows (processors the vector levels cannot serve).
void GrayScalar(TRowsOut img, int n, int rows, const TKeyPattern* key) {
  for (int r = 0; r < rows; ++r) ref::Gray(img.P + std::ptrdiff_t(r) * img.Stride, n, key ? &key->Key : nullptr);
}

namespace {

template <class T>
T* RowOf(const TStrided<T>& r, int i) {
  return r.P + std::ptrdiff_t(i) * r.Stride;
}

void BlendConstScalar(TRowsOut dst, TRowsIn a, TRowsIn b, std::size_t bytes, int rows, unsigned w) {
  for (int r = 0; r < rows; ++r) {
    std::uint8_t* d = RowOf(dst, r);
    const std::uint8_t *pa = RowOf(a, r), *pb = RowOf(b, r);
    for (std::size_t i = 0; i < bytes; ++i) d[i] = std::uint8_t(Div255(pa[i] * w + pb[i] * (255 - w)));
  }
}

void BlendMaskScalar(TRowsOut dst, TRowsIn src, TRowsIn mask, TRowsIn bg, std::size_t bytes, int rows) {
  for (int r = 0; r < rows; ++r) {
    std::uint8_t* d = RowOf(dst, r);
    const std::uint8_t *s = RowOf(src, r), *m = RowOf(mask, r), *g = RowOf(bg, r);
    for (std::size_t i = 0; i < bytes; ++i) d[i] = std::uint8_t(Div255(s[i] * (255u - m[i]) + g[i] * m[i]));
  }
}

void CopyScalar(std::uint8_t* dst, const std::uint8_t* src, std::size_t bytes) { std::memcpy(dst, src, bytes); }

void FillScalar(std::uint8_t* dst, const std::uint8_t* pixel, std::size_t n) {
  for (std::size_t i = 0; i < n; ++i) dst[3 * i] = pixel[0], dst[3 * i + 1] = pixel[1], dst[3 * i + 2] = pixel[2];
}

void CopyKeyedScalar(TRowsOut dst, TRowsIn src, TRowsIn bg, int n, int rows, const TKeyPattern& key) {
  for (int r = 0; r < rows; ++r)
    ref::CopyKeyed(RowOf(dst, r), RowOf(src, r), bg.P ? RowOf(bg, r) : nullptr, n, key.Key);
}

void BlendKeyedScalar(TRowsOut dst, TRowsIn src, int n, int rows, unsigned w, const TKeyPattern& key) {
  for (int r = 0; r < rows; ++r) ref::BlendKeyed(RowOf(dst, r), RowOf(src, r), n, w, key.Key, true);
}

void KeyRunsScalar(const std::uint8_t* row, int n, const TKeyPattern& key, int y, std::vector<TRect>& runs) {
  ref::KeyRuns(row, n, key.Key, y, runs);
}

const TRowKernels KernelsScalar = {TSimdLevel::Scalar, BlendConstScalar, BlendConstScalar, CopyScalar,
                                   FillScalar,         BlendMaskScalar,  CopyKeyedScalar,  BlendKeyedScalar,
                                   KeyRunsScalar,      GrayScalar,       nullptr};

const cpu::TFeatures& Features() {
  static const cpu::TFeatures f = cpu::Detect();
  return f;
}

#if QV_X86
// The key colour's copy at the AVX-512 level: rows shorter than eight of its places (a small control's
// image, rows apart from one another) go to the AVX2 level's copy, whose blocks need no set-up per row
// (the AVX-512 copy works out where each row lies among the destination's places, and at a hundred
// pixels a row it ran at 0.14-0.16 of a memcpy's speed where the AVX2 copy runs at 0.17-0.23).
void CopyKeyedAvx512Level(TRowsOut dst, TRowsIn src, TRowsIn bg, int n, int rows, const TKeyPattern& key) {
  constexpr int kShortRow = 8 * 64 / 3;
  (rows > 1 && n < kShortRow ? KernelsAvx2.CopyKeyed : CopyKeyedAvx512)(dst, src, bg, n, rows, key);
}

// The AVX-512 level: the AVX2 kernels with the blends on 64-byte vectors, which do twice the work
// of an AVX2 vector in each instruction (a blend is bound by its arithmetic), the copy with the
// partial vectors at a stretch's ends under masks, and the copy by bits (masked stores). Made when
// first asked for, from the AVX2 table (initialised before any code runs).
const TRowKernels* KernelsAvx512() {
  static const TRowKernels k = [] {
    TRowKernels t = KernelsAvx2;
    t.Level = TSimdLevel::Avx512;
    t.BlendConst = BlendConstAvx512;
    t.BlendConstStream = BlendConstStreamAvx512;
    t.Copy = CopyAvx512;
    t.CopyByBits = CopyByBitsAvx512;
    t.CopyKeyed = CopyKeyedAvx512Level;
    return t;
  }();
  return &k;
}
#endif

const TRowKernels* Best() {
#if QV_X86
  const cpu::TFeatures& f = Features();
  if (f.Avx512) return KernelsAvx512();
  if (f.Avx2) return &KernelsAvx2;
  if (f.Sse41) return &KernelsSse41;
  if (f.Sse2) return &KernelsSse2;
#endif
  return &KernelsScalar;
}

}  // namespace

// Constant-initialised, so kernels run (at the scalar level) even from other start-up code; the
// processor's best level replaces it when this unit is initialised.
const TRowKernels* ActiveKernels = &KernelsScalar;

namespace {
struct TChooseAtStartUp {
  TChooseAtStartUp() { ActiveKernels = Best(); }
} ChooseAtStartUp;
}  // namespace

}  // namespace detail

const char* LevelName(TSimdLevel level) {
  switch (level) {
    case TSimdLevel::Scalar: return "scalar";
    case TSimdLevel::Sse2: return "sse2";
    case TSimdLevel::Sse41: return "sse4.1";
    case TSimdLevel::Avx2: return "avx2";
    case TSimdLevel::Avx512: return "avx512";
  }
  return "?";
}

const TRowKernels* KernelsOf(TSimdLevel level) {
  if (level == TSimdLevel::Scalar) return &detail::KernelsScalar;
#if QV_X86
  const cpu::TFeatures& f = detail::Features();
  if (level == TSimdLevel::Sse2 && f.Sse2) return &detail::KernelsSse2;
  if (level == TSimdLevel::Sse41 && f.Sse41) return &detail::KernelsSse41;
  if (level == TSimdLevel::Avx2 && f.Avx2) return &detail::KernelsAvx2;
  if (level == TSimdLevel::Avx512 && f.Avx512) return detail::KernelsAvx512();
#endif
  return nullptr;
}

TSimdLevel BestLevel() { return detail::Best()->Level; }

std::vector<TSimdLevel> AvailableLevels() {
  std::vector<TSimdLevel> out;
  for (TSimdLevel l : {TSimdLevel::Scalar, TSimdLevel::Sse2, TSimdLevel::Sse41, TSimdLevel::Avx2, TSimdLevel::Avx512})
    if (KernelsOf(l)) out.push_back(l);
  return out;
}

TSimdLevel UseLevel(TSimdLevel level) {
  const TSimdLevel before = detail::ActiveKernels->Level;
  if (const TRowKernels* k = KernelsOf(level)) detail::ActiveKernels = k;
  return before;
}

}  // namespace qv::rows
