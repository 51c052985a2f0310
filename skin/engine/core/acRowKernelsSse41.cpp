// Row kernels for processors with SSSE3 and SSE4.1: blends by byte-pair multiplies, byte masks by
// shuffles and variable blends, and the grey scale.
#include <bit>
#include <cstring>
#include <vector>

#include "skin/engine/core/acCompiler.h"
#include "skin/engine/core/acRowKernels.h"

#if QV_X86
#include <smmintrin.h>
#include <tmmintrin.h>

namespace qv::rows::sse41 {

#define QV_OP static QV_ALWAYS_INLINE QV_TARGET_SSE41
#define QV_ENTRY static QV_TARGET_SSE41
#define QV_MEMBER QV_ALWAYS_INLINE QV_TARGET_SSE41
#define QV_LEVEL_VW 16
#define QV_LEVEL_GROUPS 1

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
QV_OP V Select(V m, V a, V b) { return _mm_blendv_epi8(b, a, m); }

QV_OP V And(V a, V b) { return _mm_and_si128(a, b); }
QV_OP V Shuffle(V v, V index) { return _mm_shuffle_epi8(v, index); }

// A group: five whole pixels in a vector, its last byte spare.
constexpr std::size_t kGroupBytes = 15;
QV_OP V LdGroup(const void* p) { return Ld(p); }
QV_OP void StGroup(void* p, V v) { St(p, v); }
QV_OP V Lanes(const std::uint8_t* sixteen) { return Ld(sixteen); }
// The group's first byte.
QV_OP std::uint8_t FirstByte(V v) { return std::uint8_t(_mm_cvtsi128_si32(v)); }

QV_OP V Expand(std::uint32_t bits) {
  const V spread =
      _mm_shuffle_epi8(_mm_cvtsi32_si128(int(bits)), _mm_set_epi8(1, 1, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0));
  const V select = _mm_set1_epi64x(0x8040201008040201ll);
  return _mm_cmpeq_epi8(_mm_and_si128(spread, select), select);
}

// Weighted sums by byte-pair multiplies: the weights (W, 255 - W) are the unsigned operand, the
// pixels less 128 the signed one, so a sum is T - 128 * 255; adding 0x8000 gives T + 128, and
// (T + 128) * 257 >> 16 is the exact rounded quotient T / 255.
struct TWeight {
  V Pair;
};
QV_OP TWeight MakeWeight(unsigned w) { return TWeight{_mm_set1_epi16(short(w | ((255 - w) << 8)))}; }

QV_OP V Finish(V lo, V hi) {
  const V bias = _mm_set1_epi16(short(0x8000)), m = _mm_set1_epi16(257);
  return _mm_packus_epi16(_mm_mulhi_epu16(_mm_add_epi16(lo, bias), m), _mm_mulhi_epu16(_mm_add_epi16(hi, bias), m));
}

QV_OP V Mix(V a, V b, const TWeight& w) {
  const V x = _mm_set1_epi8(char(0x80));
  a = _mm_xor_si128(a, x);
  b = _mm_xor_si128(b, x);
  return Finish(_mm_maddubs_epi16(w.Pair, _mm_unpacklo_epi8(a, b)), _mm_maddubs_epi16(w.Pair, _mm_unpackhi_epi8(a, b)));
}

QV_OP V MixBytes(V s, V b, V m) {
  const V x = _mm_set1_epi8(char(0x80));
  s = _mm_xor_si128(s, x);
  b = _mm_xor_si128(b, x);
  const V inv = _mm_xor_si128(m, AllOnes());
  return Finish(_mm_maddubs_epi16(_mm_unpacklo_epi8(inv, m), _mm_unpacklo_epi8(s, b)),
                _mm_maddubs_epi16(_mm_unpackhi_epi8(inv, m), _mm_unpackhi_epi8(s, b)));
}

// A pixel repeated over 48 bytes: its bytes in every lane, shuffled into the three phases.
QV_OP void PixelPattern(const std::uint8_t* pixel, V* p) {
  const V c = _mm_cvtsi32_si128(int(pixel[0] | pixel[1] << 8 | pixel[2] << 16));
  p[0] = _mm_shuffle_epi8(c, _mm_setr_epi8(0, 1, 2, 0, 1, 2, 0, 1, 2, 0, 1, 2, 0, 1, 2, 0));
  p[1] = _mm_shuffle_epi8(c, _mm_setr_epi8(1, 2, 0, 1, 2, 0, 1, 2, 0, 1, 2, 0, 1, 2, 0, 1));
  p[2] = _mm_shuffle_epi8(c, _mm_setr_epi8(2, 0, 1, 2, 0, 1, 2, 0, 1, 2, 0, 1, 2, 0, 1, 2));
}

#include "skin/engine/core/acRowKernelsBody.h"

namespace {

// Grey values of four pixels whose bytes lie at 0..11 of V: each pixel spread to B G G R with the
// weights 28, 100, 51, 77 (151 split in two), so that the weights fit the signed operand of the
// byte-pair multiply and no pair sum passes 32767.
QV_OP V Gray4(V v) {
  const V spread = _mm_shuffle_epi8(v, _mm_setr_epi8(0, 1, 1, 2, 3, 4, 4, 5, 6, 7, 7, 8, 9, 10, 10, 11));
  const V pairs = _mm_maddubs_epi16(spread, _mm_set1_epi32(0x4D33641C));  // 28, 100, 51, 77
  const V sums = _mm_madd_epi16(pairs, _mm_set1_epi16(1));
  return _mm_srli_epi32(_mm_add_epi32(sums, _mm_set1_epi32(128)), 8);
}

// Sixteen pixels (48 bytes at P) turned grey; with Key, its pixels kept.
QV_OP void GrayBlock(std::uint8_t* p, const V* k) {
  const V a = Ld(p), b = Ld(p + 16), c = Ld(p + 32);
  const V g0 = Gray4(a), g1 = Gray4(_mm_alignr_epi8(b, a, 12)), g2 = Gray4(_mm_alignr_epi8(c, b, 8)),
          g3 = Gray4(_mm_srli_si128(c, 4));
  const V g = _mm_packus_epi16(_mm_packs_epi32(g0, g1), _mm_packs_epi32(g2, g3));
  V o0 = _mm_shuffle_epi8(g, _mm_setr_epi8(0, 0, 0, 1, 1, 1, 2, 2, 2, 3, 3, 3, 4, 4, 4, 5));
  V o1 = _mm_shuffle_epi8(g, _mm_setr_epi8(5, 5, 6, 6, 6, 7, 7, 7, 8, 8, 8, 9, 9, 9, 10, 10));
  V o2 = _mm_shuffle_epi8(g, _mm_setr_epi8(10, 11, 11, 11, 12, 12, 12, 13, 13, 13, 14, 14, 14, 15, 15, 15));
  if (k) {
    const TBlockKeys keys = KeysOf(a, b, c, k);
    if (!keys.None()) {
      V m[3];
      KeyMasks(keys, m);
      o0 = Select(m[0], a, o0);
      o1 = Select(m[1], b, o1);
      o2 = Select(m[2], c, o2);
    }
  }
  St(p, o0);
  St(p + 16, o1);
  St(p + 32, o2);
}

// A pixel made grey is grey again (and never becomes the key unless it was grey already), so the
// last block of a row may simply overlap the one before.
QV_ENTRY void GrayK(TRowsOut img, int n, int rows, const TKeyPattern* key) {
  if (n <= 0) return;
  V kv[3];
  if (key) LoadKey(*key, kv);
  const V* k = key ? kv : nullptr;
  for (int r = 0; r < rows; ++r) {
    std::uint8_t* row = RowOf(img, r);
    if (n < 16) {
      std::uint8_t t[48] = {};
      std::memcpy(t, row, std::size_t(n) * 3);
      GrayBlock(t, k);
      std::memcpy(row, t, std::size_t(n) * 3);
      continue;
    }
    for (int p = 0; p + 16 < n; p += 16) GrayBlock(row + 3 * std::size_t(p), k);
    GrayBlock(row + 3 * std::size_t(n - 16), k);
  }
}

}  // namespace
}  // namespace qv::rows::sse41

namespace qv::rows::detail {
extern const TRowKernels KernelsSse41;
const TRowKernels KernelsSse41 = {
    TSimdLevel::Sse41, sse41::BlendConstK, sse41::BlendConstStreamK, sse41::CopyK, sse41::FillK, sse41::BlendMaskK,
    sse41::CopyKeyedK, sse41::BlendKeyedK, sse41::KeyRunsK,          sse41::GrayK, nullptr};
// The grey scale of the wider levels (it is no hot path).
void GraySse41(TRowsOut img, int n, int rows, const TKeyPattern* key) { sse41::GrayK(img, n, rows, key); }
}  // namespace qv::rows::detail

#endif
