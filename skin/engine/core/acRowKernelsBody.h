// The row kernels written once over a level's vector operations (not a public header).
//
// Included by each level's source after it has defined, inside its own namespace:
//   V, kVW            the vector type and its width in bytes, QV_LEVEL_VW the width again (16 or 32)
//   QV_OP, QV_MEMBER  "always inline with the level's target" for helpers and member functions
//   QV_ENTRY          the level's target for the kernels themselves
//   Ld, St, Zero, AllOnes, Eq8, Bits, Select, Expand, TWeight, MakeWeight, Mix, MixBytes
//   StStream, Fence   a store past the caches to an address aligned to kVW, and the fence that
//                     orders such stores before what follows
//   PixelPattern      a pixel's three bytes repeated over a block of three vectors
//   QV_LEVEL_GROUPS   1 when the level has byte shuffles, and then And, Shuffle, kGroupBytes,
//                     LdGroup, StGroup, Lanes, FirstByte (see CopyKeyedGroups)
// A pixel block is three vectors: kVW pixels, 3 * kVW bytes, starting on a pixel boundary. The
// level's source includes <bit>, <cstring> and <vector> before its namespace.

namespace {

using std::uint32_t;
using std::uint64_t;
using std::uint8_t;

constexpr int kP = kVW;  // pixels per block
constexpr std::size_t kBlockBytes = 3 * std::size_t(kVW);

#if QV_LEVEL_VW == 16
QV_OP uint32_t CompactThirds48(uint64_t x) {
  // Bits 3k (k = 0..15) to bits k.
  x &= 0x1249249249249249ull;
  x = (x ^ (x >> 2)) & 0x10c30c30c30c30c3ull;
  x = (x ^ (x >> 4)) & 0x100f00f00f00f00full;
  x = (x ^ (x >> 8)) & 0x001f0000ff0000ffull;
  x = (x ^ (x >> 16)) & 0x001f00000000ffffull;
  x = (x ^ (x >> 32)) & 0x00000000001fffffull;
  return uint32_t(x);
}
constexpr uint64_t kStartsLo = 0x249249249249ull;  // bits 3k, k = 0..15
constexpr uint64_t kStartsHi = 0;
// The first bytes of the pixels in each vector's 16 bits.
constexpr uint32_t kFirst[3] = {0x9249u, 0x4924u, 0x2492u};
#else
constexpr uint64_t kStartsLo = 0x9249249249249249ull;  // bits 3k, k = 0..21
constexpr uint64_t kStartsHi = 0x24924924ull;          // bytes 66 + 3k, k = 0..9
constexpr uint32_t kFirst[3] = {0x49249249u, 0x92492492u, 0x24924924u};
#endif

// The key pixels of one block: a bit at the first byte of each key pixel (bytes 0..63 in Lo, the
// rest in Hi); the per-byte masks and the per-pixel bits are worked out only where wanted.
struct TBlockKeys {
  uint64_t Lo, Hi;
  QV_MEMBER bool None() const { return (Lo | Hi) == 0; }
  QV_MEMBER bool All() const { return Lo == kStartsLo && Hi == kStartsHi; }
  // Per vector J, one bit per byte of a key pixel.
  QV_MEMBER void Full(uint32_t* out) const {
#if QV_LEVEL_VW == 16
    const uint64_t full = Lo | (Lo << 1) | (Lo << 2);
    out[0] = uint32_t(full & 0xFFFF);
    out[1] = uint32_t((full >> 16) & 0xFFFF);
    out[2] = uint32_t(full >> 32);
#else
    const uint64_t fullLo = Lo | (Lo << 1) | (Lo << 2);
    const uint64_t fullHi = Hi | (Hi << 1) | (Hi << 2) | ((Lo >> 63) * 3);
    out[0] = uint32_t(fullLo);
    out[1] = uint32_t(fullLo >> 32);
    out[2] = uint32_t(fullHi);
#endif
  }
  // One bit per pixel.
  QV_MEMBER uint32_t Pixels() const {
#if QV_LEVEL_VW == 16
    return CompactThirds48(Lo);
#else
    // Bits 3k of the low word (in halves, for 32-bit builds), 2 + 3k of the high.
    return _pext_u32(uint32_t(Lo), 0x49249249u) | (_pext_u32(uint32_t(Lo >> 32), 0x92492492u) << 11) |
           (_pext_u32(uint32_t(Hi), 0x24924924u) << 22);
#endif
  }
};

QV_OP TBlockKeys KeysOf(V s0, V s1, V s2, const V* k) {
  const uint32_t e0 = Bits(Eq8(s0, k[0])), e1 = Bits(Eq8(s1, k[1])), e2 = Bits(Eq8(s2, k[2]));
  // Most blocks hold no key pixel, and most of those no pixel whose first byte is the key's: those
  // are told in a few 32-bit operations.
  if (((e0 & kFirst[0]) | (e1 & kFirst[1]) | (e2 & kFirst[2])) == 0) return TBlockKeys{0, 0};
#if QV_LEVEL_VW == 16
  const uint64_t m = uint64_t(e0) | (uint64_t(e1) << 16) | (uint64_t(e2) << 32);
  return TBlockKeys{m & (m >> 1) & (m >> 2) & kStartsLo, 0};
#else
  const uint64_t lo = uint64_t(e0) | (uint64_t(e1) << 32), hi = e2;
  return TBlockKeys{lo & ((lo >> 1) | (hi << 63)) & ((lo >> 2) | (hi << 62)) & kStartsLo,
                    hi & (hi >> 1) & (hi >> 2) & kStartsHi};
#endif
}

// Byte masks of the key pixels of a block, per vector.
QV_OP void KeyMasks(const TBlockKeys& keys, V* m) {
  uint32_t full[3];
  keys.Full(full);
  m[0] = Expand(full[0]);
  m[1] = Expand(full[1]);
  m[2] = Expand(full[2]);
}

QV_OP void LoadKey(const TKeyPattern& key, V* k) {
  k[0] = Ld(key.Bytes);
  k[1] = Ld(key.Bytes + kVW);
  k[2] = Ld(key.Bytes + 2 * kVW);
}

// ---- Byte kernels ---------------------------------------------------------------------------------

// Row R of a walk.
QV_OP uint8_t* RowOf(const TRowsOut& r, int i) { return r.P + std::ptrdiff_t(i) * r.Stride; }
QV_OP const uint8_t* RowOf(const TRowsIn& r, int i) { return r.P + std::ptrdiff_t(i) * r.Stride; }

QV_OP V MaskStep(V s, V m, V bg) {
  const uint32_t all = kVW == 32 ? ~0u : 0xFFFFu;
  if (Bits(Eq8(m, Zero())) == all) return s;
  if (Bits(Eq8(m, AllOnes())) == all) return bg;
  return MixBytes(s, bg, m);
}

// Bytes from Dst up to the next place aligned to a vector (0 when Dst is aligned): stores from there
// on never straddle two cache lines.
QV_OP std::size_t ToAligned(const uint8_t* dst) {
  return (kVW - (reinterpret_cast<std::uintptr_t>(dst) & (kVW - 1))) & (kVW - 1);
}

// One row of BlendConst, at least one vector long; Last: the place of its last vector. The first and
// the last vector are worked out from the row as it was and stored last, unaligned, over the
// aligned ones between.
QV_OP void BlendConstRow(uint8_t* dst, const uint8_t* a, const uint8_t* b, std::size_t last, const TWeight& wt) {
  const V head = Mix(Ld(a), Ld(b), wt), tail = Mix(Ld(a + last), Ld(b + last), wt);
  std::size_t i = ToAligned(dst);
  for (; i + 2 * kVW <= last; i += 2 * kVW) {
    const V r0 = Mix(Ld(a + i), Ld(b + i), wt), r1 = Mix(Ld(a + i + kVW), Ld(b + i + kVW), wt);
    St(dst + i, r0);
    St(dst + i + kVW, r1);
  }
  for (; i < last; i += kVW) St(dst + i, Mix(Ld(a + i), Ld(b + i), wt));
  St(dst, head);
  St(dst + last, tail);
}

QV_ENTRY void BlendConstK(TRowsOut dst, TRowsIn a, TRowsIn b, std::size_t bytes, int rows, unsigned w) {
  if (bytes == 0) return;
  const TWeight wt = MakeWeight(w);
  if (bytes < std::size_t(kVW)) {
    for (int r = 0; r < rows; ++r) {
      uint8_t ta[kVW] = {}, tb[kVW] = {};
      std::memcpy(ta, RowOf(a, r), bytes);
      std::memcpy(tb, RowOf(b, r), bytes);
      St(ta, Mix(Ld(ta), Ld(tb), wt));
      std::memcpy(RowOf(dst, r), ta, bytes);
    }
    return;
  }
  const std::size_t last = bytes - kVW;
  for (int r = 0; r < rows; ++r) BlendConstRow(RowOf(dst, r), RowOf(a, r), RowOf(b, r), last, wt);
}

// Bytes [From, To) of a row of BlendConst, fewer than a cache line, by stores that stay inside them
// (the row holds at least one vector; Dst is apart from A and B).
QV_OP void BlendConstPart(uint8_t* dst, const uint8_t* a, const uint8_t* b, std::size_t from, std::size_t to,
                          std::size_t bytes, const TWeight& wt) {
  if (to - from >= std::size_t(kVW)) {
    std::size_t i = from;
    for (; i + kVW <= to; i += kVW) St(dst + i, Mix(Ld(a + i), Ld(b + i), wt));
    if (i < to) St(dst + to - kVW, Mix(Ld(a + to - kVW), Ld(b + to - kVW), wt));
    return;
  }
  if (to == from) return;
  // A vector of the row around the part, put in place through a buffer.
  const std::size_t at = from + kVW <= bytes ? from : bytes - kVW;
  uint8_t t[kVW];
  St(t, Mix(Ld(a + at), Ld(b + at), wt));
  std::memcpy(dst + from, t + (from - at), to - from);
}

// One row of BlendConst, at least one vector long, written past the caches: the cache lines that lie
// wholly inside the row go out as streaming stores, and the row's partial lines at both ends (which
// it may share with the bytes between rows, or with the rows next to it) by ordinary stores that
// never touch a streamed line, so that no line is both streamed and read back into the caches.
QV_OP void BlendConstRowStream(uint8_t* dst, const uint8_t* a, const uint8_t* b, std::size_t bytes, const TWeight& wt) {
  constexpr std::size_t kLine = 64;
  const std::size_t head = (kLine - (reinterpret_cast<std::uintptr_t>(dst) & (kLine - 1))) & (kLine - 1);
  if (bytes < head + kLine) {
    BlendConstRow(dst, a, b, bytes - kVW, wt);
    return;
  }
  const std::size_t end = head + ((bytes - head) & ~(kLine - 1));
  for (std::size_t i = head; i < end; i += 2 * kVW) {
    const V r0 = Mix(Ld(a + i), Ld(b + i), wt), r1 = Mix(Ld(a + i + kVW), Ld(b + i + kVW), wt);
    StStream(dst + i, r0);
    StStream(dst + i + kVW, r1);
  }
  BlendConstPart(dst, a, b, 0, head, bytes, wt);
  BlendConstPart(dst, a, b, end, bytes, bytes, wt);
}

// BlendConst for a destination larger than the caches: its lines are written without being read
// first, and stay out of the caches that hold the two sources.
QV_ENTRY void BlendConstStreamK(TRowsOut dst, TRowsIn a, TRowsIn b, std::size_t bytes, int rows, unsigned w) {
  if (bytes < std::size_t(kVW)) {
    BlendConstK(dst, a, b, bytes, rows, w);
    return;
  }
  const TWeight wt = MakeWeight(w);
  for (int r = 0; r < rows; ++r) BlendConstRowStream(RowOf(dst, r), RowOf(a, r), RowOf(b, r), bytes, wt);
  Fence();
}

QV_ENTRY void BlendMaskK(TRowsOut dst, TRowsIn src, TRowsIn mask, TRowsIn bg, std::size_t bytes, int rows) {
  if (bytes == 0) return;
  if (bytes < std::size_t(kVW)) {
    for (int r = 0; r < rows; ++r) {
      uint8_t ts[kVW] = {}, tm[kVW] = {}, tb[kVW] = {};
      std::memcpy(ts, RowOf(src, r), bytes);
      std::memcpy(tm, RowOf(mask, r), bytes);
      std::memcpy(tb, RowOf(bg, r), bytes);
      St(ts, MixBytes(Ld(ts), Ld(tb), Ld(tm)));
      std::memcpy(RowOf(dst, r), ts, bytes);
    }
    return;
  }
  const std::size_t last = bytes - kVW;
  for (int r = 0; r < rows; ++r) {
    uint8_t* d = RowOf(dst, r);
    const uint8_t *s = RowOf(src, r), *m = RowOf(mask, r), *g = RowOf(bg, r);
    const V tail = MaskStep(Ld(s + last), Ld(m + last), Ld(g + last));
    for (std::size_t i = 0; i < last; i += kVW) St(d + i, MaskStep(Ld(s + i), Ld(m + i), Ld(g + i)));
    St(d + last, tail);
  }
}

QV_ENTRY void CopyK(uint8_t* dst, const uint8_t* src, std::size_t bytes) {
  if (bytes < std::size_t(kVW)) {
    std::memcpy(dst, src, bytes);
    return;
  }
  // The first and last vectors unaligned, over the aligned ones between.
  const std::size_t last = bytes - kVW;
  const V head = Ld(src), tail = Ld(src + last);
  std::size_t i = ToAligned(dst);
  for (; i + kVW <= last; i += 2 * kVW) {
    const V a = Ld(src + i), b = Ld(src + i + kVW);
    St(dst + i, a);
    St(dst + i + kVW, b);
  }
  if (i < last) St(dst + i, Ld(src + i));
  St(dst, head);
  St(dst + last, tail);
}

// Eight pixels of one colour as three 8-byte words (the bytes repeat every eight pixels).
QV_OP void EightPixels(const uint8_t* pixel, uint64_t* w) {
  const uint64_t p = uint64_t(pixel[0]) | uint64_t(pixel[1]) << 8 | uint64_t(pixel[2]) << 16;
  w[0] = p | p << 24 | p << 48;
  w[1] = p >> 16 | p << 8 | p << 32 | p << 56;
  w[2] = p >> 8 | p << 16 | p << 40;
}

QV_ENTRY void FillK(uint8_t* dst, const uint8_t* pixel, std::size_t n) {
  if (n == 0) return;
  const std::size_t bytes = n * 3;
  uint64_t w[3];
  EightPixels(pixel, w);
  if (bytes < kBlockBytes) {
    // Eight pixels at a time, the last eight overlapping those before.
    if (n < 8) {
      for (std::size_t i = 0; i < n; ++i) dst[3 * i] = pixel[0], dst[3 * i + 1] = pixel[1], dst[3 * i + 2] = pixel[2];
      return;
    }
    for (std::size_t i = 0; i + 24 <= bytes; i += 24) std::memcpy(dst + i, w, 24);
    std::memcpy(dst + bytes - 24, w, 24);
    return;
  }
  // Blocks of pixels as vectors: the first and the last block unaligned, over blocks from the first
  // aligned place on, whose pattern starts at that place's byte of a pixel.
  V p[3], q[3];
  PixelPattern(pixel, p);
  const std::size_t a = ToAligned(dst), phase = a % 3;
  const uint8_t turned[3] = {pixel[phase], pixel[(phase + 1) % 3], pixel[(phase + 2) % 3]};
  PixelPattern(turned, q);
  for (std::size_t o = a; o + kBlockBytes <= bytes; o += kBlockBytes)
    St(dst + o, q[0]), St(dst + o + kVW, q[1]), St(dst + o + 2 * kVW, q[2]);
  St(dst, p[0]), St(dst + kVW, p[1]), St(dst + 2 * kVW, p[2]);
  const std::size_t o = bytes - kBlockBytes;
  St(dst + o, p[0]), St(dst + o + kVW, p[1]), St(dst + o + 2 * kVW, p[2]);
}

// ---- Pixel kernels --------------------------------------------------------------------------------

// One block of CopyKeyed: what Dst becomes, Back being what a key pixel shows.
QV_OP void CopyBlock(const uint8_t* s, const uint8_t* back, const V* k, V* out) {
  const V s0 = Ld(s), s1 = Ld(s + kVW), s2 = Ld(s + 2 * kVW);
  const TBlockKeys keys = KeysOf(s0, s1, s2, k);
  out[0] = s0, out[1] = s1, out[2] = s2;
  if (keys.None()) return;
  V m[3];
  KeyMasks(keys, m);
  out[0] = Select(m[0], Ld(back), s0);
  out[1] = Select(m[1], Ld(back + kVW), s1);
  out[2] = Select(m[2], Ld(back + 2 * kVW), s2);
}

QV_OP void Store3(uint8_t* d, const V* v) {
  St(d, v[0]);
  St(d + kVW, v[1]);
  St(d + 2 * kVW, v[2]);
}

// The blocks of a row of CopyKeyed from O on, up to (not including) To; the number of blocks that
// held key and other pixels both.
QV_OP std::size_t CopyKeyedBlocks(uint8_t* dst, const uint8_t* src, const uint8_t* bg, std::size_t o, std::size_t to,
                                  const V* k) {
  const uint8_t* back = bg ? bg : dst;
  std::size_t mixed = 0;
  for (; o < to; o += kBlockBytes) {
    const uint8_t* s = src + o;
    uint8_t* d = dst + o;
    const V s0 = Ld(s), s1 = Ld(s + kVW), s2 = Ld(s + 2 * kVW);
    const TBlockKeys keys = KeysOf(s0, s1, s2, k);
    if (keys.None()) {
      St(d, s0), St(d + kVW, s1), St(d + 2 * kVW, s2);
    } else if (keys.All()) {
      if (bg) St(d, Ld(bg + o)), St(d + kVW, Ld(bg + o + kVW)), St(d + 2 * kVW, Ld(bg + o + 2 * kVW));
    } else {
      ++mixed;
      const uint8_t* b = back + o;
      V m[3];
      KeyMasks(keys, m);
      St(d, Select(m[0], Ld(b), s0));
      St(d + kVW, Select(m[1], Ld(b + kVW), s1));
      St(d + 2 * kVW, Select(m[2], Ld(b + 2 * kVW), s2));
    }
  }
  return mixed;
}

#if QV_LEVEL_GROUPS
// The key in a group's layout, and the shuffles that bring each byte of a pixel the comparisons of
// the pixel's two other bytes.
struct TGroupKey {
  V Key, Next, After;
};
QV_OP TGroupKey GroupKeyOf(const TKeyPattern& key) {
  alignas(16) static constexpr uint8_t kNext[16] = {1, 2, 0, 4, 5, 3, 7, 8, 6, 10, 11, 9, 13, 14, 12, 0x80};
  alignas(16) static constexpr uint8_t kAfter[16] = {2, 0, 1, 5, 3, 4, 8, 6, 7, 11, 9, 10, 14, 12, 13, 0x80};
  return TGroupKey{Lanes(key.Bytes), Lanes(kNext), Lanes(kAfter)};
}

// A stretch where most blocks hold key and other pixels both, from O on until a group reaches To,
// five pixels to a lane: a pixel's byte mask is its three comparisons brought together by two
// shuffles, with no branch. Each group's back is read before the group before it is written,
// which would otherwise overlap the read and stall it. A lane's spare byte is written with what
// the source holds there, and written again by the lane or group after it; the last group's one
// is given back what the back held, so that where the back is the destination itself the bytes
// from where the groups stop on are as they were. Returns where it stopped. The caller leaves two
// groups and a vector of the row after To.
QV_OP std::size_t CopyKeyedGroups(uint8_t* dst, const uint8_t* src, const uint8_t* bg, std::size_t o, std::size_t to,
                                  const TGroupKey& g) {
  if (o >= to) return o;
  const uint8_t* back = bg ? bg : dst;
  V b = LdGroup(back + o);
  for (; o < to; o += kGroupBytes) {
    const V x = LdGroup(src + o);
    const V next = LdGroup(back + o + kGroupBytes);
    const V e = Eq8(x, g.Key);
    StGroup(dst + o, Select(And(And(e, Shuffle(e, g.Next)), Shuffle(e, g.After)), b, x));
    b = next;
  }
  dst[o] = FirstByte(b);
  return o;
}
#endif

QV_ENTRY void CopyKeyedK(TRowsOut dst, TRowsIn src, TRowsIn bg, int n, int rows, const TKeyPattern& key) {
  if (n <= 0) return;
  V k[3];
  LoadKey(key, k);
  if (n < kP) {
    const std::size_t bytes = std::size_t(n) * 3;
    for (int r = 0; r < rows; ++r) {
      uint8_t* d = RowOf(dst, r);
      uint8_t ts[kBlockBytes] = {}, tb[kBlockBytes] = {};
      std::memcpy(ts, RowOf(src, r), bytes);
      std::memcpy(tb, bg.P ? RowOf(bg, r) : d, bytes);
      V out[3];
      CopyBlock(ts, tb, k, out);
      Store3(ts, out);
      std::memcpy(d, ts, bytes);
    }
    return;
  }
  const std::size_t last = std::size_t(n - kP) * 3;
#if QV_LEVEL_GROUPS
  // Most images hold their key pixels in runs (corners, borders, a glyph's background), and their
  // blocks are copied whole or skipped whole. Where the key is scattered finely, most blocks hold
  // both and the branch-free groups do better: the blocks are looked at eight at a time, and after
  // a look that found most of them mixed the next 128 blocks' worth (across rows) go by groups,
  // twice as many after each look that finds them mixed again (up to 1,024), so that a finely
  // keyed image is looked at seldom.
  constexpr std::size_t kLook = 8 * kBlockBytes, kGroupRun = 16 * kLook, kMaxGroupRun = 8 * kGroupRun;
  const TGroupKey g = GroupKeyOf(key);
  std::size_t groupsLeft = 0, groupRun = kGroupRun;
#endif
  for (int r = 0; r < rows; ++r) {
    uint8_t* d = RowOf(dst, r);
    const uint8_t* s = RowOf(src, r);
    const uint8_t* b = bg.P ? RowOf(bg, r) : nullptr;
    // The last block is worked out from the row as it was, then written over what the others
    // wrote there.
    V tail[3];
    CopyBlock(s + last, (b ? b : d) + last, k, tail);
#if QV_LEVEL_GROUPS
    for (std::size_t o = 0; o < last;) {
      if (groupsLeft > 0) {
        const std::size_t end = CopyKeyedGroups(d, s, b, o, std::min(last, o + groupsLeft), g);
        groupsLeft -= std::min(groupsLeft, end - o);
        o = end;
        continue;
      }
      const std::size_t to = std::min(last, o + kLook), looked = (to - o + kBlockBytes - 1) / kBlockBytes;
      if (CopyKeyedBlocks(d, s, b, o, to, k) * 4 > looked * 3) {
        groupsLeft = groupRun;
        groupRun = std::min(2 * groupRun, kMaxGroupRun);
      } else {
        groupRun = kGroupRun;
      }
      o += looked * kBlockBytes;
    }
#else
    CopyKeyedBlocks(d, s, b, 0, last, k);
#endif
    Store3(d + last, tail);
  }
}

QV_OP void BlendKeyedBlock(const uint8_t* d, const uint8_t* s, const V* k, const TWeight& wt, V* out) {
  const V s0 = Ld(s), s1 = Ld(s + kVW), s2 = Ld(s + 2 * kVW);
  const V d0 = Ld(d), d1 = Ld(d + kVW), d2 = Ld(d + 2 * kVW);
  const TBlockKeys keys = KeysOf(s0, s1, s2, k);
  out[0] = Mix(d0, s0, wt), out[1] = Mix(d1, s1, wt), out[2] = Mix(d2, s2, wt);
  if (keys.None()) return;
  V m[3];
  KeyMasks(keys, m);
  out[0] = Select(m[0], d0, out[0]);
  out[1] = Select(m[1], d1, out[1]);
  out[2] = Select(m[2], d2, out[2]);
}

// One row of BlendKeyed, at least one block long.
QV_OP void BlendKeyedRow(uint8_t* dst, const uint8_t* src, std::size_t last, const V* k, const TWeight& wt) {
  V tail[3];
  BlendKeyedBlock(dst + last, src + last, k, wt, tail);
  for (std::size_t o = 0; o < last; o += kBlockBytes) {
    const uint8_t* s = src + o;
    uint8_t* d = dst + o;
    const V s0 = Ld(s), s1 = Ld(s + kVW), s2 = Ld(s + 2 * kVW);
    const TBlockKeys keys = KeysOf(s0, s1, s2, k);
    if (keys.All()) continue;
    const V d0 = Ld(d), d1 = Ld(d + kVW), d2 = Ld(d + 2 * kVW);
    V r0 = Mix(d0, s0, wt), r1 = Mix(d1, s1, wt), r2 = Mix(d2, s2, wt);
    if (!keys.None()) {
      V m[3];
      KeyMasks(keys, m);
      r0 = Select(m[0], d0, r0);
      r1 = Select(m[1], d1, r1);
      r2 = Select(m[2], d2, r2);
    }
    St(d, r0), St(d + kVW, r1), St(d + 2 * kVW, r2);
  }
  Store3(dst + last, tail);
}

QV_ENTRY void BlendKeyedK(TRowsOut dst, TRowsIn src, int n, int rows, unsigned w, const TKeyPattern& key) {
  if (n <= 0) return;
  V k[3];
  LoadKey(key, k);
  const TWeight wt = MakeWeight(w);
  if (n < kP) {
    const std::size_t bytes = std::size_t(n) * 3;
    for (int r = 0; r < rows; ++r) {
      uint8_t* d = RowOf(dst, r);
      uint8_t ts[kBlockBytes] = {}, td[kBlockBytes] = {};
      std::memcpy(ts, RowOf(src, r), bytes);
      std::memcpy(td, d, bytes);
      V out[3];
      BlendKeyedBlock(td, ts, k, wt, out);
      Store3(td, out);
      std::memcpy(d, td, bytes);
    }
    return;
  }
  const std::size_t last = std::size_t(n - kP) * 3;
  for (int r = 0; r < rows; ++r) BlendKeyedRow(RowOf(dst, r), RowOf(src, r), last, k, wt);
}

// Runs of the key pixels Pixels (bit i: pixel Base + i) of a stretch of Len pixels, continuing a run
// that is open at Open (-1 when none).
QV_OP void RunsOfBits(uint32_t pixels, int len, int base, int& open, int y, std::vector<TRect>& runs) {
  const uint32_t inside = len >= 32 ? ~0u : (1u << len) - 1;
  pixels &= inside;
  if (pixels == 0) {
    if (open >= 0) runs.push_back(TRect{open, y, base, y + 1}), open = -1;
    return;
  }
  if (pixels == inside) {
    if (open < 0) open = base;
    return;
  }
  int pos = 0;
  while (pos < len) {
    if (open < 0) {
      const uint32_t rest = pixels >> pos;
      if (!rest) break;
      pos += std::countr_zero(rest);
      open = base + pos;
    } else {
      const uint32_t rest = (~pixels & inside) >> pos;
      if (!rest) break;
      pos += std::countr_zero(rest);
      runs.push_back(TRect{open, y, base + pos, y + 1});
      open = -1;
    }
  }
}

QV_ENTRY void KeyRunsK(const uint8_t* row, int n, const TKeyPattern& key, int y, std::vector<TRect>& runs) {
  if (n <= 0) return;
  V k[3];
  LoadKey(key, k);
  int open = -1;
  if (n < kP) {
    // Padding pixels never equal the key.
    uint8_t t[kBlockBytes];
    for (std::size_t i = 0; i < kBlockBytes; ++i) t[i] = uint8_t(~key.Bytes[i]);
    std::memcpy(t, row, std::size_t(n) * 3);
    const TBlockKeys keys = KeysOf(Ld(t), Ld(t + kVW), Ld(t + 2 * kVW), k);
    RunsOfBits(keys.Pixels(), n, 0, open, y, runs);
  } else {
    int p = 0;
    for (; p + kP <= n; p += kP) {
      const uint8_t* s = row + 3 * std::size_t(p);
      RunsOfBits(KeysOf(Ld(s), Ld(s + kVW), Ld(s + 2 * kVW), k).Pixels(), kP, p, open, y, runs);
    }
    if (p < n) {
      // The last block overlaps the one before; its first pixels are done already.
      const uint8_t* s = row + 3 * std::size_t(n - kP);
      const uint32_t pixels = KeysOf(Ld(s), Ld(s + kVW), Ld(s + 2 * kVW), k).Pixels() >> (p - (n - kP));
      RunsOfBits(pixels, n - p, p, open, y, runs);
    }
  }
  if (open >= 0) runs.push_back(TRect{open, y, n, y + 1});
}

}  // namespace
