// The row kernels written once over a level's vector operations (not a public header).
//
// Included by each level's source after it has defined, inside its own namespace:
//   V, kVW            the vector type and its width in bytes, QV_LEVEL_VW the width again (16 or 32)
//   QV_OP, QV_MEMBER  "always inline with the level's target" for helpers and member functions
//   QV_ENTRY          the level's target for the kernels themselves
//   Ld, St, Zero, AllOnes, Eq8, Bits, Select, Expand, TWeight, MakeWeight, Mix, MixBytes
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
#else
constexpr uint64_t kStartsLo = 0x9249249249249249ull;  // bits 3k, k = 0..21
constexpr uint64_t kStartsHi = 0x24924924ull;          // bytes 66 + 3k, k = 0..9
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

QV_OP V MaskStep(V s, V m, V bg) {
  const uint32_t all = kVW == 32 ? ~0u : 0xFFFFu;
  if (Bits(Eq8(m, Zero())) == all) return s;
  if (Bits(Eq8(m, AllOnes())) == all) return bg;
  return MixBytes(s, bg, m);
}

QV_ENTRY void BlendConstK(uint8_t* dst, const uint8_t* a, const uint8_t* b, std::size_t bytes, unsigned w) {
  const TWeight wt = MakeWeight(w);
  if (bytes < std::size_t(kVW)) {
    uint8_t ta[kVW] = {}, tb[kVW] = {};
    std::memcpy(ta, a, bytes);
    std::memcpy(tb, b, bytes);
    St(ta, Mix(Ld(ta), Ld(tb), wt));
    std::memcpy(dst, ta, bytes);
    return;
  }
  const std::size_t last = bytes - kVW;
  const V tail = Mix(Ld(a + last), Ld(b + last), wt);
  std::size_t i = 0;
  for (; i + 2 * kVW <= last; i += 2 * kVW) {
    const V r0 = Mix(Ld(a + i), Ld(b + i), wt), r1 = Mix(Ld(a + i + kVW), Ld(b + i + kVW), wt);
    St(dst + i, r0);
    St(dst + i + kVW, r1);
  }
  for (; i < last; i += kVW) St(dst + i, Mix(Ld(a + i), Ld(b + i), wt));
  St(dst + last, tail);
}

QV_ENTRY void BlendMaskK(uint8_t* dst, const uint8_t* src, const uint8_t* mask, const uint8_t* bg, std::size_t bytes) {
  if (bytes < std::size_t(kVW)) {
    uint8_t ts[kVW] = {}, tm[kVW] = {}, tb[kVW] = {};
    std::memcpy(ts, src, bytes);
    std::memcpy(tm, mask, bytes);
    std::memcpy(tb, bg, bytes);
    St(ts, MixBytes(Ld(ts), Ld(tb), Ld(tm)));
    std::memcpy(dst, ts, bytes);
    return;
  }
  const std::size_t last = bytes - kVW;
  const V tail = MaskStep(Ld(src + last), Ld(mask + last), Ld(bg + last));
  for (std::size_t i = 0; i < last; i += kVW) St(dst + i, MaskStep(Ld(src + i), Ld(mask + i), Ld(bg + i)));
  St(dst + last, tail);
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

QV_ENTRY void CopyKeyedK(uint8_t* dst, const uint8_t* src, const uint8_t* bg, int n, const TKeyPattern& key) {
  if (n <= 0) return;
  V k[3];
  LoadKey(key, k);
  const uint8_t* back = bg ? bg : dst;
  V out[3];
  if (n < kP) {
    uint8_t ts[kBlockBytes] = {}, tb[kBlockBytes] = {};
    std::memcpy(ts, src, std::size_t(n) * 3);
    std::memcpy(tb, back, std::size_t(n) * 3);
    CopyBlock(ts, tb, k, out);
    Store3(ts, out);
    std::memcpy(dst, ts, std::size_t(n) * 3);
    return;
  }
  const std::size_t last = std::size_t(n - kP) * 3;
  V tail[3];
  CopyBlock(src + last, back + last, k, tail);
  for (std::size_t o = 0; o < last; o += kBlockBytes) {
    const uint8_t* s = src + o;
    uint8_t* d = dst + o;
    const V s0 = Ld(s), s1 = Ld(s + kVW), s2 = Ld(s + 2 * kVW);
    const TBlockKeys keys = KeysOf(s0, s1, s2, k);
    if (keys.None()) {
      St(d, s0), St(d + kVW, s1), St(d + 2 * kVW, s2);
    } else if (keys.All()) {
      if (bg) St(d, Ld(bg + o)), St(d + kVW, Ld(bg + o + kVW)), St(d + 2 * kVW, Ld(bg + o + 2 * kVW));
    } else {
      const uint8_t* b = back + o;
      V m[3];
      KeyMasks(keys, m);
      St(d, Select(m[0], Ld(b), s0));
      St(d + kVW, Select(m[1], Ld(b + kVW), s1));
      St(d + 2 * kVW, Select(m[2], Ld(b + 2 * kVW), s2));
    }
  }
  Store3(dst + last, tail);
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

QV_ENTRY void BlendKeyedK(uint8_t* dst, const uint8_t* src, int n, unsigned w, const TKeyPattern& key) {
  if (n <= 0) return;
  V k[3];
  LoadKey(key, k);
  const TWeight wt = MakeWeight(w);
  V out[3];
  if (n < kP) {
    uint8_t ts[kBlockBytes] = {}, td[kBlockBytes] = {};
    std::memcpy(ts, src, std::size_t(n) * 3);
    std::memcpy(td, dst, std::size_t(n) * 3);
    BlendKeyedBlock(td, ts, k, wt, out);
    Store3(td, out);
    std::memcpy(dst, td, std::size_t(n) * 3);
    return;
  }
  const std::size_t last = std::size_t(n - kP) * 3;
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
