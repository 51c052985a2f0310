// Row kernels for processors with SSE2 (the baseline of every supported x86 processor).
#include <bit>
#include <cstring>
#include <vector>

#include "skin/engine/core/acCompiler.h"
#include "skin/engine/core/acRowKernels.h"

#if QV_X86
#include <emmintrin.h>

namespace qv::rows::sse2 {

#define QV_OP static QV_ALWAYS_INLINE QV_TARGET_SSE2
#define QV_ENTRY static QV_TARGET_SSE2
#define QV_MEMBER QV_ALWAYS_INLINE QV_TARGET_SSE2
#define QV_LEVEL_VW 16
#define QV_LEVEL_GROUPS 0  // no byte shuffle below SSSE3

using V = __m128i;
constexpr int kVW = 16;

QV_OP V Ld(const void* p) { return _mm_loadu_si128(static_cast<const V*>(p)); }
QV_OP void St(void* p, V v) { _mm_storeu_si128(static_cast<V*>(p), v); }
QV_OP void StStream(void* p, V v) { _mm_stream_si128(static_cast<V*>(p), v); }
QV_OP void Fence() { _mm_sfence(); }
QV_OP V Zero() { return _mm_setzero_si128(); }
QV_OP V AllOnes() { return _mm_set1_epi8(char(0xFF)); }
QV_OP V Eq8(V a, V b) { return _mm_cmpeq_epi8(a, b); }
QV_OP std::uint32_t Bits(V v) { return std::uint32_t(_mm_movemask_epi8(v)); }
// M ? A : B per byte (M all ones or all zeros per byte).
QV_OP V Select(V m, V a, V b) { return _mm_or_si128(_mm_and_si128(m, a), _mm_andnot_si128(m, b)); }

// Eight mask bits to eight bytes of 0x00 / 0xFF.
struct TByteMasks {
  std::uint64_t Of[256];
  constexpr TByteMasks() : Of() {
    for (int i = 0; i < 256; ++i)
      for (int b = 0; b < 8; ++b)
        if (i & (1 << b)) Of[i] |= std::uint64_t(0xFF) << (8 * b);
  }
};
constexpr TByteMasks kByteMasks;

QV_OP V Expand(std::uint32_t bits) {
  return _mm_set_epi64x(static_cast<long long>(kByteMasks.Of[(bits >> 8) & 0xFF]),
                        static_cast<long long>(kByteMasks.Of[bits & 0xFF]));
}

// (A * W + B * (255 - W)) / 255 rounded, as (T + 128) * 257 >> 16 with T the weighted sum: the
// exact rounded quotient for every T up to 255 * 255.
struct TWeight {
  V W, InvW;
};
QV_OP TWeight MakeWeight(unsigned w) { return TWeight{_mm_set1_epi16(short(w)), _mm_set1_epi16(short(255 - w))}; }

QV_OP V Div255(V t) { return _mm_mulhi_epu16(_mm_add_epi16(t, _mm_set1_epi16(128)), _mm_set1_epi16(257)); }

QV_OP V Mix(V a, V b, const TWeight& w) {
  const V z = Zero();
  const V lo =
      _mm_add_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(a, z), w.W), _mm_mullo_epi16(_mm_unpacklo_epi8(b, z), w.InvW));
  const V hi =
      _mm_add_epi16(_mm_mullo_epi16(_mm_unpackhi_epi8(a, z), w.W), _mm_mullo_epi16(_mm_unpackhi_epi8(b, z), w.InvW));
  return _mm_packus_epi16(Div255(lo), Div255(hi));
}

// (S * (255 - M) + B * M) / 255 per byte.
QV_OP V MixBytes(V s, V b, V m) {
  const V z = Zero(), full = _mm_set1_epi16(255);
  const V mlo = _mm_unpacklo_epi8(m, z), mhi = _mm_unpackhi_epi8(m, z);
  const V lo = _mm_add_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(s, z), _mm_sub_epi16(full, mlo)),
                             _mm_mullo_epi16(_mm_unpacklo_epi8(b, z), mlo));
  const V hi = _mm_add_epi16(_mm_mullo_epi16(_mm_unpackhi_epi8(s, z), _mm_sub_epi16(full, mhi)),
                             _mm_mullo_epi16(_mm_unpackhi_epi8(b, z), mhi));
  return _mm_packus_epi16(Div255(lo), Div255(hi));
}

// A pixel repeated over 48 bytes, written out eight pixels at a time (no byte shuffle here).
QV_OP void PixelPattern(const std::uint8_t* pixel, V* p) {
  std::uint8_t bytes[48];
  for (int i = 0; i < 48; i += 3) bytes[i] = pixel[0], bytes[i + 1] = pixel[1], bytes[i + 2] = pixel[2];
  p[0] = Ld(bytes), p[1] = Ld(bytes + 16), p[2] = Ld(bytes + 32);
}

#include "skin/engine/core/acRowKernelsBody.h"

}  // namespace qv::rows::sse2

namespace qv::rows::detail {
// Grey scale needs byte shuffles: below SSSE3 it is the reference row.
void GrayScalar(TRowsOut img, int n, int rows, const TKeyPattern* key);
extern const TRowKernels KernelsSse2;
const TRowKernels KernelsSse2 = {
    TSimdLevel::Sse2, sse2::BlendConstK, sse2::BlendConstStreamK, sse2::CopyK, sse2::FillK, sse2::BlendMaskK,
    sse2::CopyKeyedK, sse2::BlendKeyedK, sse2::KeyRunsK,          GrayScalar,  nullptr};
}  // namespace qv::rows::detail

#endif
