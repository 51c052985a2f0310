// Row kernels of every processor level against the reference rows: every row length from empty to
// several blocks (short rows, exact blocks, overlapped last blocks), in place and not, with guard
// bytes around each row; and the choice of the level.
#include <gtest/gtest.h>

#include "skin/engine/core/acCompiler.h"
#include "tests/support/core/KernelCases.h"

using namespace qv;
using qvtest::TByteSource;

namespace {

constexpr int kGuard = 40;
constexpr std::uint8_t kGuardByte = 0xA5;

// A row of N pixels between guard bytes, filled by runs of key, black, white and noise; rows of
// different lengths start at different places within a vector's alignment.
struct TGuardedRow {
  std::vector<std::uint8_t> Bytes;
  int N;
  int Lead;
  TGuardedRow(TByteSource& src, int n, TBgr key)
      : Bytes(std::size_t(n) * 3 + 2 * kGuard + 31, kGuardByte), N(n), Lead(kGuard + n % 32) {
    for (int x = 0; x < n;) {
      const int run = std::min(n - x, src.Int(1, 12)), kind = src.Int(0, 4);
      for (int i = 0; i < run; ++i, ++x) {
        std::uint8_t* p = Px() + 3 * x;
        const TBgr c = kind == 0   ? key
                       : kind == 1 ? TBgr{}
                       : kind == 2 ? TBgr{255, 255, 255}
                                   : TBgr{src.Byte(), src.Byte(), src.Byte()};
        p[0] = c.B, p[1] = c.G, p[2] = c.R;
      }
    }
  }
  std::uint8_t* Px() { return Bytes.data() + Lead; }
  bool GuardsIntact() const {
    for (std::size_t i = 0; i < Bytes.size(); ++i)
      if ((i < std::size_t(Lead) || i >= std::size_t(Lead + 3 * N)) && Bytes[i] != kGuardByte) return false;
    return true;
  }
};

rows::TRowsOut Row(std::uint8_t* p) { return rows::TRowsOut{p, 0}; }
rows::TRowsIn In(const std::uint8_t* p) { return rows::TRowsIn{p, 0}; }

struct TCaseName {
  rows::TSimdLevel Level;
  const char* Kernel;
  int N;
  friend std::ostream& operator<<(std::ostream& o, const TCaseName& c) {
    return o << rows::LevelName(c.Level) << " " << c.Kernel << " n=" << c.N;
  }
};

}  // namespace

TEST(RowKernels, EveryLevelMatchesReferenceAtEveryRowLength) {
  const TBgr keys[] = {TBgr{0xFF, 0x00, 0xFF}, TBgr{0, 0, 0}, TBgr{0x12, 0x34, 0x56}};
  for (rows::TSimdLevel level : rows::AvailableLevels()) {
    const rows::TRowKernels& k = *rows::KernelsOf(level);
    ASSERT_EQ(k.Level, level);
    for (int n = 0; n <= 200; ++n) {
      TByteSource src(std::uint64_t(n) * 7 + unsigned(level));
      const TBgr key = keys[n % 3];
      const TKeyPattern pattern(key);
      const unsigned w = unsigned(src.Int(1, 254));
      TGuardedRow a(src, n, key), b(src, n, key), m(src, n, key);
      const std::size_t bytes = std::size_t(n) * 3;
      auto check = [&](const char* kernel, auto&& fast, auto&& slow) {
        TGuardedRow x = a, y = a;
        fast(x);
        slow(y);
        EXPECT_EQ(x.Bytes, y.Bytes) << TCaseName{level, kernel, n};
        EXPECT_TRUE(x.GuardsIntact()) << TCaseName{level, kernel, n};
      };
      // In place over either operand, and into a third row.
      check(
          "BlendConst(dst=a)", [&](TGuardedRow& r) { k.BlendConst(Row(r.Px()), In(r.Px()), In(b.Px()), bytes, 1, w); },
          [&](TGuardedRow& r) { rows::ref::BlendConst(r.Px(), r.Px(), b.Px(), n, w); });
      check(
          "BlendConst(dst=b)", [&](TGuardedRow& r) { k.BlendConst(Row(r.Px()), In(b.Px()), In(r.Px()), bytes, 1, w); },
          [&](TGuardedRow& r) { rows::ref::BlendConst(r.Px(), b.Px(), r.Px(), n, w); });
      check(
          "BlendConst(into)", [&](TGuardedRow& r) { k.BlendConst(Row(r.Px()), In(m.Px()), In(b.Px()), bytes, 1, w); },
          [&](TGuardedRow& r) { rows::ref::BlendConst(r.Px(), m.Px(), b.Px(), n, w); });
      check(
          "BlendConstStream",
          [&](TGuardedRow& r) { k.BlendConstStream(Row(r.Px()), In(m.Px()), In(b.Px()), bytes, 1, w); },
          [&](TGuardedRow& r) { rows::ref::BlendConst(r.Px(), m.Px(), b.Px(), n, w); });
      check(
          "Copy", [&](TGuardedRow& r) { k.Copy(r.Px(), b.Px(), bytes); },
          [&](TGuardedRow& r) { std::memcpy(r.Px(), b.Px(), bytes); });
      check(
          "Fill", [&](TGuardedRow& r) { k.Fill(r.Px(), b.Px(), std::size_t(n)); },
          [&](TGuardedRow& r) {
            for (int i = 0; i < n; ++i) std::memcpy(r.Px() + 3 * i, b.Px(), 3);
          });
      check(
          "BlendMask(bg=dst)",
          [&](TGuardedRow& r) { k.BlendMask(Row(r.Px()), In(b.Px()), In(m.Px()), In(r.Px()), bytes, 1); },
          [&](TGuardedRow& r) { rows::ref::BlendMask(r.Px(), b.Px(), m.Px(), r.Px(), n); });
      check(
          "CopyKeyed(keep)", [&](TGuardedRow& r) { k.CopyKeyed(Row(r.Px()), In(b.Px()), In(nullptr), n, 1, pattern); },
          [&](TGuardedRow& r) { rows::ref::CopyKeyed(r.Px(), b.Px(), nullptr, n, key); });
      check(
          "CopyKeyed(bg)", [&](TGuardedRow& r) { k.CopyKeyed(Row(r.Px()), In(b.Px()), In(m.Px()), n, 1, pattern); },
          [&](TGuardedRow& r) { rows::ref::CopyKeyed(r.Px(), b.Px(), m.Px(), n, key); });
      check(
          "BlendKeyed", [&](TGuardedRow& r) { k.BlendKeyed(Row(r.Px()), In(b.Px()), n, 1, w, pattern); },
          [&](TGuardedRow& r) { rows::ref::BlendKeyed(r.Px(), b.Px(), n, w, key, true); });
      check(
          "Gray", [&](TGuardedRow& r) { k.Gray(Row(r.Px()), n, 1, nullptr); },
          [&](TGuardedRow& r) { rows::ref::Gray(r.Px(), n, nullptr); });
      check(
          "Gray(key)", [&](TGuardedRow& r) { k.Gray(Row(r.Px()), n, 1, &pattern); },
          [&](TGuardedRow& r) { rows::ref::Gray(r.Px(), n, &key); });
      std::vector<TRect> fastRuns, refRuns;
      k.KeyRuns(a.Px(), n, pattern, 3, fastRuns);
      rows::ref::KeyRuns(a.Px(), n, key, 3, refRuns);
      EXPECT_EQ(fastRuns, refRuns) << TCaseName{level, "KeyRuns", n};
    }
  }
}

namespace {

// Key pixels down an image in bands of rows: scattered one by one, in runs, none, every pixel.
qvtest::TOwnedImage BandedImage(TByteSource& src, int w, int h, int pad, bool bottomUp, TBgr key) {
  qvtest::TOwnedImage img(w, h, pad, bottomUp);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const int band = (y / 3) % 4;
      const bool isKey = band == 0 ? src.Int(0, 3) == 0 : band == 1 ? (x / 7) % 3 == 0 : band == 3;
      img.Set(x, y, isKey ? key : TBgr{src.Byte(), src.Byte(), src.Byte()});
    }
  return img;
}

template <class T>
rows::TStrided<T> Walk(qvtest::TOwnedImage& img) {
  return rows::TStrided<T>{img.Row(0), img.View().Stride};
}

}  // namespace

// Blocks of rows through every level's kernels against the reference, row by row: odd and even
// widths, padded rows and rows that touch, each operand top-down or bottom-up, in place and not,
// key pixels in bands that change the copy's way of working as it goes down the image; then the
// same through the helpers that hand touching rows over as one.
TEST(RowKernels, EveryLevelMatchesReferenceOverBlocksOfRows) {
  struct TCase {
    int W, H, Pad;
  } const cases[] = {{1, 3, 0},    {5, 7, 1},    {31, 9, 3},   {32, 4, 0},   {33, 13, 2},  {99, 31, 3},
                     {100, 30, 0}, {101, 30, 2}, {257, 40, 1}, {320, 24, 0}, {799, 14, 3}, {1000, 12, 0}};
  const TBgr key{0xFF, 0x00, 0xFF};
  const TKeyPattern pattern(key);
  for (rows::TSimdLevel level : rows::AvailableLevels())
    for (const TCase& c : cases)
      for (int layout = 0; layout < 4; ++layout) {
        rows::TLevelScope scope(level);
        const rows::TRowKernels& k = rows::Kernels();
        TByteSource src(std::uint64_t(c.W) * 131 + c.H + layout);
        const bool dstUp = layout & 1, srcUp = layout & 2;
        const std::size_t bytes = std::size_t(c.W) * 3;
        qvtest::TOwnedImage dst = BandedImage(src, c.W, c.H, c.Pad, dstUp, key);
        qvtest::TOwnedImage a = BandedImage(src, c.W, c.H, (c.Pad + 1) % 4, srcUp, key);
        // Laid out as Dst, with other bytes than Dst's in its padding: a kernel that runs over the
        // padding must put Dst's back.
        qvtest::TOwnedImage m = BandedImage(src, c.W, c.H, c.Pad, dstUp, key);
        for (int y = 0; y < c.H; ++y) std::memset(m.Row(y) + bytes, 0x3C, std::size_t(c.Pad));
        const unsigned w = unsigned(src.Int(1, 254));
        auto check = [&](const char* kernel, auto&& fast, auto&& slowRow) {
          qvtest::TOwnedImage x = dst, y = dst;
          fast(x);
          for (int r = 0; r < c.H; ++r) slowRow(y, r);
          EXPECT_EQ(x.Bytes, y.Bytes) << TCaseName{level, kernel, c.W} << " rows " << c.H << " layout " << layout;
          EXPECT_TRUE(x.PaddingIntact()) << TCaseName{level, kernel, c.W} << " layout " << layout;
        };
        using Out = std::uint8_t;
        using In = const std::uint8_t;
        check(
            "BlendConst(in place)",
            [&](qvtest::TOwnedImage& d) { k.BlendConst(Walk<Out>(d), Walk<In>(d), Walk<In>(a), bytes, c.H, w); },
            [&](qvtest::TOwnedImage& d, int r) { rows::ref::BlendConst(d.Row(r), d.Row(r), a.Row(r), c.W, w); });
        check(
            "BlendConstStream",
            [&](qvtest::TOwnedImage& d) { k.BlendConstStream(Walk<Out>(d), Walk<In>(a), Walk<In>(m), bytes, c.H, w); },
            [&](qvtest::TOwnedImage& d, int r) { rows::ref::BlendConst(d.Row(r), a.Row(r), m.Row(r), c.W, w); });
        check(
            "BlendRows(into)",
            [&](qvtest::TOwnedImage& d) { rows::BlendRows(Walk<Out>(d), Walk<In>(a), Walk<In>(m), bytes, c.H, w); },
            [&](qvtest::TOwnedImage& d, int r) { rows::ref::BlendConst(d.Row(r), a.Row(r), m.Row(r), c.W, w); });
        check(
            "BlendMaskRows(bg=dst)",
            [&](qvtest::TOwnedImage& d) {
              rows::BlendMaskRows(Walk<Out>(d), Walk<In>(a), Walk<In>(m), Walk<In>(d), c.W, c.H);
            },
            [&](qvtest::TOwnedImage& d, int r) { rows::ref::BlendMask(d.Row(r), a.Row(r), m.Row(r), d.Row(r), c.W); });
        check(
            "CopyKeyed(keep)",
            [&](qvtest::TOwnedImage& d) { k.CopyKeyed(Walk<Out>(d), Walk<In>(a), rows::TRowsIn{}, c.W, c.H, pattern); },
            [&](qvtest::TOwnedImage& d, int r) { rows::ref::CopyKeyed(d.Row(r), a.Row(r), nullptr, c.W, key); });
        check(
            "CopyKeyedRows(bg)",
            [&](qvtest::TOwnedImage& d) {
              rows::CopyKeyedRows(Walk<Out>(d), Walk<In>(a), Walk<In>(m), c.W, c.H, pattern);
            },
            [&](qvtest::TOwnedImage& d, int r) { rows::ref::CopyKeyed(d.Row(r), a.Row(r), m.Row(r), c.W, key); });
        // Operands laid out alike: their rows touch when there is no padding.
        check(
            "BlendRows(alike)",
            [&](qvtest::TOwnedImage& d) { rows::BlendRows(Walk<Out>(d), Walk<In>(d), Walk<In>(m), bytes, c.H, w); },
            [&](qvtest::TOwnedImage& d, int r) { rows::ref::BlendConst(d.Row(r), d.Row(r), m.Row(r), c.W, w); });
        check(
            "BlendMaskRows(alike)",
            [&](qvtest::TOwnedImage& d) {
              rows::BlendMaskRows(Walk<Out>(d), Walk<In>(m), Walk<In>(m), Walk<In>(d), c.W, c.H);
            },
            [&](qvtest::TOwnedImage& d, int r) { rows::ref::BlendMask(d.Row(r), m.Row(r), m.Row(r), d.Row(r), c.W); });
        check(
            "CopyKeyedRows(keep, alike)",
            [&](qvtest::TOwnedImage& d) { rows::CopyKeyedRows(Walk<Out>(d), Walk<In>(m), {}, c.W, c.H, pattern); },
            [&](qvtest::TOwnedImage& d, int r) { rows::ref::CopyKeyed(d.Row(r), m.Row(r), nullptr, c.W, key); });
        check(
            "BlendKeyed",
            [&](qvtest::TOwnedImage& d) { k.BlendKeyed(Walk<Out>(d), Walk<In>(a), c.W, c.H, w, pattern); },
            [&](qvtest::TOwnedImage& d, int r) { rows::ref::BlendKeyed(d.Row(r), a.Row(r), c.W, w, key, true); });
        check(
            "Gray(key)", [&](qvtest::TOwnedImage& d) { k.Gray(Walk<Out>(d), c.W, c.H, &pattern); },
            [&](qvtest::TOwnedImage& d, int r) { rows::ref::Gray(d.Row(r), c.W, &key); });
      }
}

// Whole images whose rows touch are blended as one run: the result is the same as row by row, for
// top-down and bottom-up images, and an image laid out otherwise than its partner is not run flat.
TEST(RowKernels, FlatImagesBlendAsRowByRow) {
  for (bool bottomUp : {false, true})
    for (int w : {1, 4, 5, 16, 33}) {
      TByteSource src(std::uint64_t(w) + bottomUp);
      qvtest::TOwnedImage a(w, 7, 0, bottomUp), b(w, 7, 0, !bottomUp);  // b: the other row order
      for (int y = 0; y < 7; ++y)
        for (int x = 0; x < w; ++x) {
          a.Set(x, y, TBgr{src.Byte(), src.Byte(), src.Byte()});
          b.Set(x, y, TBgr{src.Byte(), src.Byte(), src.Byte()});
        }
      qvtest::TOwnedImage flat = a, slow = a, out(w, 7, 0, bottomUp), outRef(w, 7, 0, bottomUp);
      BlendBitmaps(flat.View(), b.View(), 77);
      ref::BlendBitmaps(slow.View(), b.View(), 77);
      EXPECT_EQ(flat.Bytes, slow.Bytes) << w << " " << bottomUp;
      BlendBitmapsInto(out.View(), a.View(), flat.View(), 200);
      ref::BlendBitmapsInto(outRef.View(), a.View(), flat.View(), 200);
      EXPECT_EQ(out.Bytes, outRef.Bytes) << w << " " << bottomUp;
    }
}

// A frame larger than the caches is written past them: the same bytes as the reference, the padding
// of its rows kept, whether its rows touch or not; a blend in place never takes that way and still
// matches. (Each level's kernel is checked row by row above.)
TEST(RowKernels, FramesLargerThanTheCachesBlendAsRowByRow) {
  for (auto [w, pad] : {std::pair{1920, 0}, std::pair{1283, 3}}) {
    const int h = 1100;
    qvtest::TOwnedImage a(w, h, pad, true), b(w, h, pad, true);
    TByteSource src{std::uint64_t(w)};
    for (auto* img : {&a, &b})
      for (int y = 0; y < h; ++y)
        for (std::size_t i = 0; i < std::size_t(w) * 3; ++i) img->Row(y)[i] = src.Byte();
    qvtest::TOwnedImage outRef(w, h, pad, true);
    ref::BlendBitmapsInto(outRef.View(), a.View(), b.View(), 99);
    // Every level streams the lines inside each row and writes the partial ones at its ends.
    for (rows::TSimdLevel level : rows::AvailableLevels()) {
      rows::TLevelScope scope(level);
      qvtest::TOwnedImage out(w, h, pad, true);
      BlendBitmapsInto(out.View(), a.View(), b.View(), 99);
      EXPECT_EQ(out.Bytes, outRef.Bytes) << w << " " << rows::LevelName(level);
    }
    BlendBitmaps(a.View(), b.View(), 99);
    EXPECT_EQ(a.Bytes, outRef.Bytes) << w << " in place";
  }
}

TEST(RowKernels, LevelIsTheBestTheProcessorOffers) {
  const cpu::TFeatures f = cpu::Detect();
  const rows::TSimdLevel want = !QV_X86    ? rows::TSimdLevel::Scalar
                                : f.Avx512 ? rows::TSimdLevel::Avx512
                                : f.Avx2   ? rows::TSimdLevel::Avx2
                                : f.Sse41  ? rows::TSimdLevel::Sse41
                                : f.Sse2   ? rows::TSimdLevel::Sse2
                                           : rows::TSimdLevel::Scalar;
  EXPECT_EQ(rows::BestLevel(), want);
  EXPECT_EQ(rows::Kernels().Level, want) << "chosen at start-up";
  // Every level up to the best one can run; a level above it is refused.
  const auto levels = rows::AvailableLevels();
  EXPECT_EQ(levels.back(), want);
  EXPECT_EQ(int(levels.size()), int(want) + 1);
  if (want != rows::TSimdLevel::Avx512) {
    EXPECT_EQ(rows::KernelsOf(rows::TSimdLevel::Avx512), nullptr);
    EXPECT_EQ(rows::UseLevel(rows::TSimdLevel::Avx512), want);
    EXPECT_EQ(rows::Kernels().Level, want);
  }
  {
    rows::TLevelScope scalar(rows::TSimdLevel::Scalar);
    EXPECT_EQ(rows::Kernels().Level, rows::TSimdLevel::Scalar);
  }
  EXPECT_EQ(rows::Kernels().Level, want);
}
