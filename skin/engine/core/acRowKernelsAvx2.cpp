// Row kernels for processors with AVX2: the SSE4.1 kernels on 32-byte vectors.
#include <bit>
#include <cstring>
#include <vector>

#include "skin/engine/core/acCompiler.h"
#include "skin/engine/core/acRowKernels.h"

#if QV_X86
#include <immintrin.h>

namespace qv::rows::avx2 {

#define QV_OP static QV_ALWAYS_INLINE QV_TARGET_AVX2
#define QV_ENTRY static QV_TARGET_AVX2
#define QV_MEMBER QV_ALWAYS_INLINE QV_TARGET_AVX2
#define QV_LEVEL_VW 32
#define QV_LEVEL_GROUPS 1

using V = __m256i;
constexpr int kVW = 32;

QV_OP V Ld(const void* p) { return _mm256_loadu_si256(static_cast<const V*>(p)); }
QV_OP void St(void* p, V v) { _mm256_storeu_si256(static_cast<V*>(p), v); }
QV_OP void StStream(void* p, V v) { _mm256_stream_si256(static_cast<V*>(p), v); }
QV_OP void Fence() { _mm_sfence(); }
QV_OP V Zero() { return _mm256_setzero_si256(); }
QV_OP V AllOnes() { return _mm256_set1_epi8(char(0xFF)); }
QV_OP V Eq8(V a, V b) { return _mm256_cmpeq_epi8(a, b); }
QV_OP std::uint32_t Bits(V v) { return std::uint32_t(_mm256_movemask_epi8(v)); }
QV_OP V Select(V m, V a, V b) { return _mm256_blendv_epi8(b, a, m); }

QV_OP V And(V a, V b) { return _mm256_and_si256(a, b); }
QV_OP V Shuffle(V v, V index) { return _mm256_shuffle_epi8(v, index); }

// A group: five whole pixels in each 16-byte lane, the lanes' last bytes spare (shuffles stay
// inside a lane): 30 bytes loaded and stored as two lanes, the second starting at byte 15.
constexpr std::size_t kGroupBytes = 30;
QV_OP V LdGroup(const void* p) {
  const auto* b = static_cast<const std::uint8_t*>(p);
  return _mm256_inserti128_si256(_mm256_castsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(b))),
                                 _mm_loadu_si128(reinterpret_cast<const __m128i*>(b + 15)), 1);
}
QV_OP void StGroup(void* p, V v) {
  auto* b = static_cast<std::uint8_t*>(p);
  _mm_storeu_si128(reinterpret_cast<__m128i*>(b), _mm256_castsi256_si128(v));
  _mm_storeu_si128(reinterpret_cast<__m128i*>(b + 15), _mm256_extracti128_si256(v, 1));
}
// Sixteen bytes in both lanes.
QV_OP V Lanes(const std::uint8_t* sixteen) {
  return _mm256_broadcastsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(sixteen)));
}
// The group's first byte.
QV_OP std::uint8_t FirstByte(V v) { return std::uint8_t(_mm_cvtsi128_si32(_mm256_castsi256_si128(v))); }

QV_OP V Expand(std::uint32_t bits) {
  // Byte j of the result takes bit j: bytes 0..7 look at the bits' byte 0, 8..15 at byte 1 (and in the
  // upper lane, bytes 2 and 3).
  const V spread = _mm256_shuffle_epi8(
      _mm256_set1_epi32(int(bits)),
      _mm256_setr_epi8(0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 1, 1, 1, 1, 2, 2, 2, 2, 2, 2, 2, 2, 3, 3, 3, 3, 3, 3, 3, 3));
  const V select = _mm256_set1_epi64x(0x8040201008040201ll);
  return _mm256_cmpeq_epi8(_mm256_and_si256(spread, select), select);
}

// As the SSE4.1 level: byte-pair multiplies of the weights with the pixels less 128.
struct TWeight {
  V Pair;
};
QV_OP TWeight MakeWeight(unsigned w) { return TWeight{_mm256_set1_epi16(short(w | ((255 - w) << 8)))}; }

QV_OP V Finish(V lo, V hi) {
  const V bias = _mm256_set1_epi16(short(0x8000)), m = _mm256_set1_epi16(257);
  return _mm256_packus_epi16(_mm256_mulhi_epu16(_mm256_add_epi16(lo, bias), m),
                             _mm256_mulhi_epu16(_mm256_add_epi16(hi, bias), m));
}

QV_OP V Mix(V a, V b, const TWeight& w) {
  const V x = _mm256_set1_epi8(char(0x80));
  a = _mm256_xor_si256(a, x);
  b = _mm256_xor_si256(b, x);
  return Finish(_mm256_maddubs_epi16(w.Pair, _mm256_unpacklo_epi8(a, b)),
                _mm256_maddubs_epi16(w.Pair, _mm256_unpackhi_epi8(a, b)));
}

QV_OP V MixBytes(V s, V b, V m) {
  const V x = _mm256_set1_epi8(char(0x80));
  s = _mm256_xor_si256(s, x);
  b = _mm256_xor_si256(b, x);
  const V inv = _mm256_xor_si256(m, AllOnes());
  return Finish(_mm256_maddubs_epi16(_mm256_unpacklo_epi8(inv, m), _mm256_unpacklo_epi8(s, b)),
                _mm256_maddubs_epi16(_mm256_unpackhi_epi8(inv, m), _mm256_unpackhi_epi8(s, b)));
}

// A pixel repeated over 96 bytes: its bytes in every lane, shuffled into each lane's phase (a lane
// starts 16 bytes, one byte past a whole pixel, after the one before it).
QV_OP void PixelPattern(const std::uint8_t* pixel, V* p) {
  const V c = _mm256_set1_epi32(int(pixel[0] | pixel[1] << 8 | pixel[2] << 16));
  const V phase0 =
      _mm256_setr_epi8(0, 1, 2, 0, 1, 2, 0, 1, 2, 0, 1, 2, 0, 1, 2, 0, 1, 2, 0, 1, 2, 0, 1, 2, 0, 1, 2, 0, 1, 2, 0, 1);
  const V phase2 =
      _mm256_setr_epi8(2, 0, 1, 2, 0, 1, 2, 0, 1, 2, 0, 1, 2, 0, 1, 2, 0, 1, 2, 0, 1, 2, 0, 1, 2, 0, 1, 2, 0, 1, 2, 0);
  const V phase1 =
      _mm256_setr_epi8(1, 2, 0, 1, 2, 0, 1, 2, 0, 1, 2, 0, 1, 2, 0, 1, 2, 0, 1, 2, 0, 1, 2, 0, 1, 2, 0, 1, 2, 0, 1, 2);
  p[0] = _mm256_shuffle_epi8(c, phase0);
  p[1] = _mm256_shuffle_epi8(c, phase2);
  p[2] = _mm256_shuffle_epi8(c, phase1);
}

#include "skin/engine/core/acRowKernelsBody.h"

}  // namespace qv::rows::avx2

namespace qv::rows::detail {
void GraySse41(TRowsOut img, int n, int rows, const TKeyPattern* key);
extern const TRowKernels KernelsAvx2;
const TRowKernels KernelsAvx2 = {
    TSimdLevel::Avx2, avx2::BlendConstK, avx2::BlendConstStreamK, avx2::CopyK, avx2::FillK, avx2::BlendMaskK,
    avx2::CopyKeyedK, avx2::BlendKeyedK, avx2::KeyRunsK,          GraySse41,   nullptr};
}  // namespace qv::rows::detail

#endif
