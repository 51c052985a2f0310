// Row kernels for processors with AVX-512 (F, BW and VL): the blends and the copy by bits on 64-byte
// vectors, the copy on 32-byte ones. The rest of the level is the AVX2 level's (acRowKernels.cpp makes
// its table).
//
// A row is worked in the places of a vector's size of the destination it touches, so that every
// store is aligned and never straddles two cache lines: the first and the last place are loaded and
// stored under a mask of the row's bytes (masked-off bytes are neither read nor written, nor can they
// fault), the places between in whole vectors. No place is written twice, so a row may be blended in
// place.
#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "skin/engine/core/acCompiler.h"
#include "skin/engine/core/acRowKernels.h"

#if QV_X86
#include <immintrin.h>

namespace qv::rows::avx512 {
namespace {

#define QV_OP static QV_ALWAYS_INLINE QV_TARGET_AVX512

using V = __m512i;
constexpr std::size_t kVW = 64;

// (A * W + B * (255 - W)) / 255 rounded, as the AVX2 level: byte-pair multiplies of the weights with
// the pixels less 128 give T - 128 * 255; adding 0x8000 gives T + 128, and (T + 128) * 257 >> 16 is
// the exact rounded quotient.
QV_OP V Mix(V a, V b, V pair) {
  const V x = _mm512_set1_epi8(char(0x80)), bias = _mm512_set1_epi16(short(0x8000)), m = _mm512_set1_epi16(257);
  a = _mm512_xor_si512(a, x);
  b = _mm512_xor_si512(b, x);
  const V lo = _mm512_maddubs_epi16(pair, _mm512_unpacklo_epi8(a, b));
  const V hi = _mm512_maddubs_epi16(pair, _mm512_unpackhi_epi8(a, b));
  return _mm512_packus_epi16(_mm512_mulhi_epu16(_mm512_add_epi16(lo, bias), m),
                             _mm512_mulhi_epu16(_mm512_add_epi16(hi, bias), m));
}

// The masks of the bytes from and below each place of a 64-byte vector (0..64), as tables: a 32-bit
// build would otherwise work each out in pairs of registers at each end of every row.
struct TByteMasks {
  alignas(64) std::uint64_t From[65], Below[65];
  constexpr TByteMasks() : From(), Below() {
    for (int i = 0; i <= 64; ++i) {
      From[i] = i == 64 ? 0 : ~std::uint64_t(0) << i;
      Below[i] = i == 64 ? ~std::uint64_t(0) : (std::uint64_t(1) << i) - 1;
    }
  }
};
constexpr TByteMasks kByteMasks;

// The bytes [From, Below) of a place (0 <= From, Below <= 64) as a mask, from the tables.
QV_OP __mmask64 PlaceBytes(std::ptrdiff_t from, std::ptrdiff_t below) {
  auto* const fromMasks = const_cast<__mmask64*>(reinterpret_cast<const __mmask64*>(kByteMasks.From));
  auto* const belowMasks = const_cast<__mmask64*>(reinterpret_cast<const __mmask64*>(kByteMasks.Below));
  return _kand_mask64(_load_mask64(fromMasks + from), _load_mask64(belowMasks + below));
}

// The place of Dst's row from Offset on (Offset may be below 0 for the first place), its bytes of
// the row under Mask.
QV_OP void MixPart(std::uint8_t* dst, const std::uint8_t* a, const std::uint8_t* b, std::ptrdiff_t offset,
                   __mmask64 mask, V pair) {
  const V r = Mix(_mm512_maskz_loadu_epi8(mask, a + offset), _mm512_maskz_loadu_epi8(mask, b + offset), pair);
  _mm512_mask_storeu_epi8(dst + offset, mask, r);
}

// The bytes [From, To) of a 32-byte place (0 <= From < To <= 32) as a mask.
QV_OP __mmask32 Bytes32(std::size_t from, std::size_t to) {
  const std::uint32_t all = ~std::uint32_t(0);
  return __mmask32((all << from) & (all >> (32 - to)));
}

QV_OP void CopyPart(std::uint8_t* dst, const std::uint8_t* src, std::ptrdiff_t offset, __mmask32 mask) {
  _mm256_mask_storeu_epi8(dst + offset, mask, _mm256_maskz_loadu_epi8(mask, src + offset));
}

template <bool Stream>
QV_OP void BlendRow(std::uint8_t* dst, const std::uint8_t* a, const std::uint8_t* b, std::size_t bytes, V pair) {
  const std::size_t lead = reinterpret_cast<std::uintptr_t>(dst) & (kVW - 1);
  if (lead + bytes <= kVW) {
    MixPart(dst, a, b, -std::ptrdiff_t(lead), PlaceBytes(std::ptrdiff_t(lead), std::ptrdiff_t(lead + bytes)), pair);
    return;
  }
  // The first place, the whole places, the last one.
  MixPart(dst, a, b, -std::ptrdiff_t(lead), PlaceBytes(std::ptrdiff_t(lead), std::ptrdiff_t(kVW)), pair);
  std::size_t i = kVW - lead;
  for (; i + kVW <= bytes; i += kVW) {
    const V r = Mix(_mm512_loadu_si512(a + i), _mm512_loadu_si512(b + i), pair);
    if (Stream)
      _mm512_stream_si512(reinterpret_cast<V*>(dst + i), r);
    else
      _mm512_store_si512(dst + i, r);
  }
  if (i < bytes) MixPart(dst, a, b, std::ptrdiff_t(i), PlaceBytes(0, std::ptrdiff_t(bytes - i)), pair);
}

template <bool Stream>
QV_OP void Blend(TRowsOut dst, TRowsIn a, TRowsIn b, std::size_t bytes, int rows, unsigned w) {
  if (bytes == 0) return;
  const V pair = _mm512_set1_epi16(short(w | ((255 - w) << 8)));
  for (int r = 0; r < rows; ++r)
    BlendRow<Stream>(dst.P + std::ptrdiff_t(r) * dst.Stride, a.P + std::ptrdiff_t(r) * a.Stride,
                     b.P + std::ptrdiff_t(r) * b.Stride, bytes, pair);
  if (Stream) _mm_sfence();
}

// A copy on 32-byte vectors: a row's stretch of a skin image (a thousand bytes or so) lies in 16 to 32
// of them, and its two partial ends are a masked load and store each (the AVX2 level's copy wrote
// them as unaligned vectors, which straddle a cache line as often as not).
QV_OP void Copy(std::uint8_t* dst, const std::uint8_t* src, std::size_t bytes) {
  constexpr std::size_t kW = 32;
  if (bytes == 0) return;
  const std::size_t lead = reinterpret_cast<std::uintptr_t>(dst) & (kW - 1);
  if (lead + bytes <= kW) {
    CopyPart(dst, src, -std::ptrdiff_t(lead), Bytes32(lead, lead + bytes));
    return;
  }
  CopyPart(dst, src, -std::ptrdiff_t(lead), Bytes32(lead, kW));
  std::size_t i = kW - lead;
  for (; i + 2 * kW <= bytes; i += 2 * kW) {
    const __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + i));
    const __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + i + kW));
    _mm256_store_si256(reinterpret_cast<__m256i*>(dst + i), a);
    _mm256_store_si256(reinterpret_cast<__m256i*>(dst + i + kW), b);
  }
  if (i + kW <= bytes) {
    _mm256_store_si256(reinterpret_cast<__m256i*>(dst + i),
                       _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + i)));
    i += kW;
  }
  if (i < bytes) CopyPart(dst, src, std::ptrdiff_t(i), Bytes32(0, bytes - i));
}

// The masks of eight places of a row from the bits at W on, bit B of the first word first (B = 0..63):
// the eight words from there, each taking the next word's low bits above its own.
// (The shifts are spelt with a mask of all eight words: GCC's header leaves the plain ones' unused
// operand undefined, and warns of it on 32-bit builds.)
QV_OP V Realign(const std::uint64_t* w, __m128i right, __m128i left) {
  return _mm512_or_si512(_mm512_maskz_srl_epi64(0xFF, _mm512_loadu_si512(w), right),
                         _mm512_maskz_sll_epi64(0xFF, _mm512_loadu_si512(w + 1), left));
}

// A place of a row that lies partly outside it (from O on, O < 0 or O + 64 > End), the source's bytes
// stored under Keep and, with a back, the back's under the rest: the bytes outside the row are
// neither read nor written.
template <bool WithBack>
QV_OP void StorePart(std::uint8_t* dst, const std::uint8_t* src, const std::uint8_t* back, std::ptrdiff_t o,
                     std::ptrdiff_t end, __mmask64 keep) {
  const __mmask64 row = PlaceBytes(std::max<std::ptrdiff_t>(-o, 0), std::min<std::ptrdiff_t>(end - o, kVW));
  const __mmask64 k = _kand_mask64(keep, row);
  _mm512_mask_storeu_epi8(dst + o, k, _mm512_maskz_loadu_epi8(k, src + o));
  if (WithBack) {
    const __mmask64 b = _kandn_mask64(keep, row);
    _mm512_mask_storeu_epi8(dst + o, b, _mm512_maskz_loadu_epi8(b, back + o));
  }
}

// Places of a row from O on (the first at O may start before the row, the last end past it), each
// a store of the source's bytes under its mask in Keep and, with a back, of the back's under the rest.
// The whole places go by a loop of a few pointers, which a 32-bit build keeps in its registers.
template <bool WithBack>
QV_OP void StorePlaces(std::uint8_t* dst, const std::uint8_t* src, const std::uint8_t* back, std::ptrdiff_t o,
                       std::ptrdiff_t end, __mmask64* keep, std::ptrdiff_t places) {
  constexpr std::ptrdiff_t kW = std::ptrdiff_t(kVW);
  const std::ptrdiff_t whole = std::min(places, (end - o) / kW);
  std::ptrdiff_t j = 0;
  if (o < 0) StorePart<WithBack>(dst, src, back, o, end, keep[j++]);
  std::uint8_t* d = dst + o + j * kW;
  const std::uint8_t* s = src + o + j * kW;
  const std::uint8_t* b = WithBack ? back + o + j * kW : nullptr;
  for (__mmask64 *m = keep + j, *const stop = keep + whole; m < stop; ++m, d += kW, s += kW) {
    const __mmask64 k = _load_mask64(m);
    _mm512_mask_storeu_epi8(d, k, _mm512_loadu_epi8(s));
    if (WithBack) {
      _mm512_mask_storeu_epi8(d, _knot_mask64(k), _mm512_loadu_epi8(b));
      b += kW;
    }
  }
  j = std::max(j, whole);
  if (j < places) StorePart<WithBack>(dst, src, back, o + j * kW, end, keep[j]);
}

// A row is worked in pieces of up to 64 places: the masks of a piece's places are made first, into a
// buffer the stores then take them from (taken from vectors one by one, each would cost a shuffle).
constexpr std::ptrdiff_t kPiece = 64;

// One row of the copy by bits: each place of the destination is one masked store of the source's bytes
// under the place's word of bits (a shift of the row's words by the place's distance from a word), so
// that a row of finely scattered key pixels costs what its copy does, with no look at a pixel. The
// words are made eight at a time, in a vector.
QV_OP void CopyBitsRow(std::uint8_t* dst, const std::uint8_t* src, const std::uint64_t* bits, std::size_t from,
                       std::size_t bytes) {
  constexpr std::ptrdiff_t kW = std::ptrdiff_t(kVW);
  const std::ptrdiff_t lead = std::ptrdiff_t(reinterpret_cast<std::uintptr_t>(dst) & (kVW - 1));
  // The first place starts Lead bytes before the row: its bits Lead before bit From, counted here
  // from the word before the row's words.
  const std::size_t first = from + kVW - std::size_t(lead);
  const std::uint64_t* w = bits - 1 + first / 64;
  const int shift = int(first % 64);
  const __m128i right = _mm_cvtsi32_si128(shift), left = _mm_cvtsi32_si128(64 - shift);
  alignas(64) __mmask64 masks[kPiece];
  const std::ptrdiff_t end = std::ptrdiff_t(bytes);
  for (std::ptrdiff_t o = -lead; o < end;) {
    const std::ptrdiff_t places = std::min(kPiece, (end - o + kW - 1) / kW);
    for (std::ptrdiff_t i = 0; i < places; i += 8) _mm512_store_si512(masks + i, Realign(w + i, right, left));
    w += places;
    StorePlaces<false>(dst, src, nullptr, o, end, masks, places);
    o += places * kW;
  }
}

// The key colour's copy works as the copy by bits, with the bits of each piece made from the source's
// bytes compared with the key: a place's comparisons are a 64-bit mask, and a key pixel is three of
// its bits in a row at a pixel's first byte (its last one or two may lie in the next place's mask).
// The masks are worked eight places at a time as the lanes of a vector, the next place's mask and
// the place before's key pixels brought in by shifting the lanes, so that a place costs its load, its
// comparison and its store, whatever its pixels are.

// Where the pixels of eight places start, each place 64 bytes on from the one before (a byte past 21
// pixels: the place after one whose pixels start at its byte P has them start at byte P + 2, modulo
// 3), from a first place whose pixels start at its byte P = 0..2: bits P, P + 3, ... of each lane.
struct TPixelStarts {
  alignas(64) std::uint64_t Lanes[3][8];
  constexpr TPixelStarts() : Lanes() {
    for (int p = 0; p < 3; ++p)
      for (int j = 0; j < 8; ++j)
        for (int b = (p + 2 * j) % 3; b < 64; b += 3) Lanes[p][j] |= std::uint64_t(1) << b;
  }
};
constexpr TPixelStarts kPixelStarts;

// A place's byte comparisons with the key, where the place lies partly outside its row (from At on)
// or wholly past it: the bytes outside compare unequal.
QV_OP void CompareKeysPart(const std::uint8_t* src, std::ptrdiff_t at, std::ptrdiff_t end, const V& key,
                           __mmask64* equal) {
  if (at >= end) {
    *equal = 0;
    return;
  }
  const __mmask64 row = PlaceBytes(std::max<std::ptrdiff_t>(-at, 0), std::min<std::ptrdiff_t>(end - at, kVW));
  _store_mask64(equal, _mm512_mask_cmpeq_epi8_mask(row, _mm512_maskz_loadu_epi8(row, src + at), key));
}

// The byte comparisons with the key of Count places of a row from O on, the first one's pixels starting
// at its byte Phase; the whole places by a loop of a few pointers, which a 32-bit build keeps in its
// registers.
QV_OP void CompareKeys(const std::uint8_t* src, std::ptrdiff_t o, std::ptrdiff_t end, std::ptrdiff_t count, int phase,
                       const V* keys, __mmask64* equal) {
  constexpr std::ptrdiff_t kW = std::ptrdiff_t(kVW);
  // The keys of the places in turn: each place's pixels start at a byte two on from the place before.
  auto turn = [](const V* k, const V* first) { return k == first ? first + 2 : k - 1; };
  const V* key = keys + phase;
  std::ptrdiff_t j = 0;
  if (o < 0) CompareKeysPart(src, o, end, *key, equal + j++), key = turn(key, keys);
  const std::ptrdiff_t whole = std::min(count, (end - o) / kW);
  const std::uint8_t* s = src + o + j * kW;
  for (__mmask64 *e = equal + j, *const stop = equal + whole; e < stop; ++e, s += kW, key = turn(key, keys))
    _store_mask64(e, _mm512_cmpeq_epi8_mask(_mm512_loadu_epi8(s), *key));
  for (j = std::max(j, whole); j < count; ++j, key = turn(key, keys))
    CompareKeysPart(src, o + j * kW, end, *key, equal + j);
}

// A piece of a row of the key colour's copy: Places places from O on (End: the row's length), the
// first one's pixels starting at its byte Phase; First when it is the row's first piece.
struct TKeyedPiece {
  std::uint8_t* Dst;
  const std::uint8_t* Src;
  const std::uint8_t* Back;
  std::ptrdiff_t O, End, Places;
  int Phase;
  bool First;
};

// What each place of a piece keeps, from the byte comparisons of its places and of the place after
// (Equal); Before: the key pixels' first bytes in the eight places before, carried from piece to piece.
QV_OP void KeepOfPiece(const TKeyedPiece& piece, const __mmask64* equal, __mmask64* keep, V& before) {
  if (piece.First) before = _mm512_setzero_si512();
  for (std::ptrdiff_t i = 0, p = piece.Phase; i < piece.Places; i += 8, p = p == 2 ? 0 : p + 1) {
    const V e = _mm512_load_si512(equal + i), next = _mm512_loadu_si512(equal + i + 1);
    const V second = _mm512_or_si512(_mm512_maskz_srli_epi64(0xFF, e, 1), _mm512_maskz_slli_epi64(0xFF, next, 63));
    const V third = _mm512_or_si512(_mm512_maskz_srli_epi64(0xFF, e, 2), _mm512_maskz_slli_epi64(0xFF, next, 62));
    const V starts =
        _mm512_and_si512(_mm512_ternarylogic_epi64(e, second, third, 0x80), _mm512_load_si512(kPixelStarts.Lanes[p]));
    // A key pixel from the last or second last byte of the place before takes this one's first
    // bytes too.
    const V carried = _mm512_maskz_alignr_epi64(0xFF, starts, before, 7);
    before = starts;
    const V spread = _mm512_ternarylogic_epi64(starts, _mm512_maskz_slli_epi64(0xFF, starts, 1),
                                               _mm512_maskz_slli_epi64(0xFF, starts, 2), 0xFE);
    _mm512_store_si512(keep + i, _mm512_ternarylogic_epi64(spread, _mm512_maskz_srli_epi64(0xFF, carried, 62),
                                                           _mm512_maskz_srli_epi64(0xFF, carried, 63), 0x01));
  }
}

// Rows of the key colour's copy (N whole pixels each); Keys: the key laid out for a place whose pixels
// start at its byte 0, 1 and 2. The rows are cut into pieces, and each piece's comparisons are made
// before the piece ahead of it is worked out and stored: a piece's masks are read as vectors from
// the words its comparisons stored one by one, which the processor cannot hand over from the stores
// and waits for until they are written, and by then they are.
template <bool WithBack>
QV_OP void CopyKeyedRows(TRowsOut dst, TRowsIn src, TRowsIn back, int n, int rows, const V* keys) {
  constexpr std::ptrdiff_t kW = std::ptrdiff_t(kVW);
  const std::ptrdiff_t end = std::ptrdiff_t(n) * 3;
  // Each place's comparisons (and those of the place after the piece, and room for the last lanes'
  // neighbours) for the piece ahead and the one after it, and what each place keeps.
  alignas(64) __mmask64 equal[2][kPiece + 8], keep[kPiece];
  V before = _mm512_setzero_si512();
  TKeyedPiece ahead{};
  bool pending = false;
  int slot = 0;
  for (int r = 0; r < rows; ++r) {
    TKeyedPiece piece{dst.P + std::ptrdiff_t(r) * dst.Stride,
                      src.P + std::ptrdiff_t(r) * src.Stride,
                      WithBack ? back.P + std::ptrdiff_t(r) * back.Stride : nullptr,
                      0,
                      end,
                      0,
                      0,
                      true};
    const std::ptrdiff_t lead = std::ptrdiff_t(reinterpret_cast<std::uintptr_t>(piece.Dst) & (kVW - 1));
    piece.O = -lead;
    piece.Phase = int(lead % 3);  // the first place's pixels start at its byte Lead modulo 3
    for (; piece.O < end; piece.First = false) {
      piece.Places = std::min(kPiece, (end - piece.O + kW - 1) / kW);
      CompareKeys(piece.Src, piece.O, end, piece.Places + 1, piece.Phase, keys, equal[slot]);
      if (pending) {
        KeepOfPiece(ahead, equal[1 - slot], keep, before);
        StorePlaces<WithBack>(ahead.Dst, ahead.Src, ahead.Back, ahead.O, ahead.End, keep, ahead.Places);
      }
      ahead = piece, pending = true, slot = 1 - slot;
      piece.O += piece.Places * kW;
      piece.Phase = int((piece.Phase + 2 * piece.Places) % 3);
    }
  }
  if (pending) {
    KeepOfPiece(ahead, equal[1 - slot], keep, before);
    StorePlaces<WithBack>(ahead.Dst, ahead.Src, ahead.Back, ahead.O, ahead.End, keep, ahead.Places);
  }
}

}  // namespace
}  // namespace qv::rows::avx512

namespace qv::rows::detail {

// Each place of a row is either streamed whole or written by an ordinary store under a mask, so no
// line is both streamed and brought back into the caches.
QV_TARGET_AVX512 void BlendConstAvx512(TRowsOut dst, TRowsIn a, TRowsIn b, std::size_t bytes, int rows, unsigned w) {
  avx512::Blend<false>(dst, a, b, bytes, rows, w);
}
QV_TARGET_AVX512 void BlendConstStreamAvx512(TRowsOut dst, TRowsIn a, TRowsIn b, std::size_t bytes, int rows,
                                             unsigned w) {
  avx512::Blend<true>(dst, a, b, bytes, rows, w);
}

QV_TARGET_AVX512 void CopyAvx512(std::uint8_t* dst, const std::uint8_t* src, std::size_t bytes) {
  avx512::Copy(dst, src, bytes);
}

// Rows of whole pixels: each row's places as in the copy by bits; the key laid out for the three
// places a pixel's first byte may take in a place. Bg, when given, fills the key pixels.
QV_TARGET_AVX512 void CopyKeyedAvx512(TRowsOut dst, TRowsIn src, TRowsIn bg, int n, int rows, const TKeyPattern& key) {
  if (n <= 0) return;
  const avx512::V keys[3] = {_mm512_loadu_si512(key.Bytes), _mm512_loadu_si512(key.Bytes + 2),
                             _mm512_loadu_si512(key.Bytes + 1)};
  if (bg.P)
    avx512::CopyKeyedRows<true>(dst, src, bg, n, rows, keys);
  else
    avx512::CopyKeyedRows<false>(dst, src, bg, n, rows, keys);
}

QV_TARGET_AVX512 void CopyByBitsAvx512(TRowsOut dst, TRowsIn src, const std::uint64_t* bits, std::ptrdiff_t bitStride,
                                       std::size_t from, std::size_t bytes, int rows) {
  if (bytes == 0) return;
  for (int r = 0; r < rows; ++r)
    avx512::CopyBitsRow(dst.P + std::ptrdiff_t(r) * dst.Stride, src.P + std::ptrdiff_t(r) * src.Stride,
                        bits + std::ptrdiff_t(r) * bitStride, from, bytes);
}

}  // namespace qv::rows::detail

#endif
