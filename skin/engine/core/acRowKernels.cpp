#include "skin/engine/core/acRowKernels.h"

#include "skin/engine/core/acCompiler.h"
#include "skin/engine/core/acPixelKernels.h"

namespace qv::rows {

namespace detail {

#if QV_X86
extern const TRowKernels KernelsSse2;
extern const TRowKernels KernelsSse41;
extern const TRowKernels KernelsAvx2;
#endif

// The scalar level: the reference rows (processors the vector levels cannot serve).
void GrayScalar(std::uint8_t* row, int n, const TKeyPattern* key) { ref::Gray(row, n, key ? &key->Key : nullptr); }

namespace {

void BlendConstScalar(std::uint8_t* dst, const std::uint8_t* a, const std::uint8_t* b, std::size_t bytes, unsigned w) {
  for (std::size_t i = 0; i < bytes; ++i) dst[i] = std::uint8_t(Div255(a[i] * w + b[i] * (255 - w)));
}

void BlendMaskScalar(std::uint8_t* dst, const std::uint8_t* src, const std::uint8_t* mask, const std::uint8_t* bg,
                     std::size_t bytes) {
  for (std::size_t i = 0; i < bytes; ++i) dst[i] = std::uint8_t(Div255(src[i] * (255u - mask[i]) + bg[i] * mask[i]));
}

void CopyKeyedScalar(std::uint8_t* dst, const std::uint8_t* src, const std::uint8_t* bg, int n,
                     const TKeyPattern& key) {
  ref::CopyKeyed(dst, src, bg, n, key.Key);
}

void BlendKeyedScalar(std::uint8_t* dst, const std::uint8_t* src, int n, unsigned w, const TKeyPattern& key) {
  ref::BlendKeyed(dst, src, n, w, key.Key, true);
}

void KeyRunsScalar(const std::uint8_t* row, int n, const TKeyPattern& key, int y, std::vector<TRect>& runs) {
  ref::KeyRuns(row, n, key.Key, y, runs);
}

const TRowKernels KernelsScalar = {TSimdLevel::Scalar, BlendConstScalar, BlendMaskScalar, CopyKeyedScalar,
                                   BlendKeyedScalar,   KeyRunsScalar,    GrayScalar};

const cpu::TFeatures& Features() {
  static const cpu::TFeatures f = cpu::Detect();
  return f;
}

const TRowKernels* Best() {
#if QV_X86
  const cpu::TFeatures& f = Features();
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
#endif
  return nullptr;
}

TSimdLevel BestLevel() { return detail::Best()->Level; }

std::vector<TSimdLevel> AvailableLevels() {
  std::vector<TSimdLevel> out;
  for (TSimdLevel l : {TSimdLevel::Scalar, TSimdLevel::Sse2, TSimdLevel::Sse41, TSimdLevel::Avx2})
    if (KernelsOf(l)) out.push_back(l);
  return out;
}

TSimdLevel UseLevel(TSimdLevel level) {
  const TSimdLevel before = detail::ActiveKernels->Level;
  if (const TRowKernels* k = KernelsOf(level)) detail::ActiveKernels = k;
  return before;
}

}  // namespace qv::rows
