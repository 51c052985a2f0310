// The memory a skin takes while it loads: the heap's peak above what it held before, read from the
// sanitizer's allocator (every malloc and new of the process, zlib's included). A small file must
// never claim more than what it decodes to: entries Options.dat does not name stay packed, named
// files are decoded as they are read and never held whole or copied.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>

#include "skin/engine/core/acBmpFile.h"
#include "skin/engine/core/acPackedSkin.h"
#include "skin/engine/core/acSkinLoader.h"
#include "tests/support/core/SkinBuilder.h"

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define QV_HEAP_METER 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define QV_HEAP_METER 1
#endif
#ifdef QV_HEAP_METER
#include <sanitizer/allocator_interface.h>
#endif

using namespace qv;
using qvtest::TTempDir;
namespace fs = std::filesystem;

namespace {

#ifdef QV_HEAP_METER
bool Metering = false;
std::size_t Peak = 0;
void OnMalloc(const volatile void*, std::size_t) {
  if (Metering) Peak = std::max(Peak, __sanitizer_get_current_allocated_bytes());
}
void OnFree(const volatile void*) {}
#endif

// The heap's peak while `run` runs, above what it held when it started; SIZE_MAX without the meter.
std::size_t PeakWhile(const std::function<void()>& run) {
#ifdef QV_HEAP_METER
  static const bool installed = __sanitizer_install_malloc_and_free_hooks(OnMalloc, OnFree) != 0;
  if (!installed) return SIZE_MAX;
  const std::size_t base = __sanitizer_get_current_allocated_bytes();
  Peak = base;
  Metering = true;
  run();
  Metering = false;
  return Peak - base;
#else
  run();
  return SIZE_MAX;
#endif
}

constexpr std::size_t MiB = std::size_t(1) << 20;

// One image of w x h in `colour`, with `key` pixels in a checkerboard of cells `cell` wide when
// cell > 0.
TImage24 Picture(int w, int h, TBgr colour, int cell = 0) {
  TImage24 img(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      img.SetPixel(x, y, cell > 0 && ((x / cell + y / cell) & 1) ? BgrOf(clKeyMagenta) : colour);
  return img;
}

std::vector<std::uint8_t> Text(const std::string& s) { return {s.begin(), s.end()}; }

// A skin of a few KB of pixels padded out with bytes nobody needs: a 16 x 16 image followed by
// nearly 40 MiB of zeros, and two entries of 40 MiB that Options.dat does not name. Packed, it is
// about 120 KB long.
std::vector<TPackedEntry> PaddedSkin() {
  std::vector<std::uint8_t> image = EncodeBmp(Picture(16, 16, TBgr{10, 20, 30}));
  image.resize(40 * MiB - 4096, 0);
  return {{"Options.dat", Text("[BUTTON]\nCOLOR=#102030\nPATTERN=mask: file=a.bmp\n")},
          {"a.bmp", std::move(image)},
          {"junk1.bin", std::vector<std::uint8_t>(40 * MiB - 4096, 0)},
          {"junk2.bin", std::vector<std::uint8_t>(40 * MiB - 4096, 0)}};
}

TEST(SkinMemory, SmallFilesClaimOnlyWhatTheyDecodeTo) {
  if (PeakWhile([] {}) == SIZE_MAX) GTEST_SKIP() << "the heap meter needs the address sanitizer";
  TTempDir tmp;
  std::string err;
  const std::vector<TPackedEntry> padded = PaddedSkin();
  std::vector<std::uint8_t> packed;
  ASSERT_TRUE(WritePackedSkin(padded, packed, err)) << err;
  ASSERT_LT(packed.size(), 200 * 1024u);
  ASSERT_TRUE(WriteFileBytes(tmp.Path() / "Padded.asz", packed, err)) << err;
  fs::create_directories(tmp.Path() / "Padded");
  for (const TPackedEntry& f : padded) ASSERT_TRUE(WriteFileBytes(tmp.Path() / "Padded" / f.Name, f.Data, err));

  // A skin of real pixels: its decoded images, one file at a time beside them, little else. One
  // image is a checkerboard of the key colour, whose key runs the model indexes.
  std::vector<TPackedEntry> real = {
      {"Options.dat", Text("[BUTTON]\nPATTERN=mask: file=big.bmp\nHOTPATTERN=mask: file=keyed.bmp\n")},
      {"big.bmp", EncodeBmp(Picture(1024, 1024, TBgr{1, 2, 3}))},
      {"keyed.bmp", EncodeBmp(Picture(512, 512, TBgr{4, 5, 6}, 1))}};
  const std::size_t decoded = std::size_t(DibStride24(1024)) * 1024 + std::size_t(DibStride24(512)) * 512;
  std::vector<std::uint8_t> realPacked;
  ASSERT_TRUE(WritePackedSkin(real, realPacked, err)) << err;

  const struct {
    const char* Name;
    std::function<std::unique_ptr<TSkinModel>(std::string&)> Load;
    std::size_t Images, Bound;
  } cases[] = {
      {"padded, packed in memory",
       [&](std::string& e) { return LoadSkinFromPackedBytes(packed.data(), packed.size(), e); }, 1, MiB / 4},
      {"padded, packed file", [&](std::string& e) { return LoadSkin(tmp.Path() / "Padded.asz", e); }, 1,
       packed.size() + MiB / 4},
      {"padded, folder", [&](std::string& e) { return LoadSkin(tmp.Path() / "Padded", e); }, 1, MiB / 4},
      {"real pixels", [&](std::string& e) { return LoadSkinFromPackedBytes(realPacked.data(), realPacked.size(), e); },
       2, decoded + MiB / 4},
  };
  for (const auto& c : cases) {
    std::unique_ptr<TSkinModel> skin;
    const std::size_t peak = PeakWhile([&] { skin = c.Load(err); });
    ASSERT_TRUE(skin) << c.Name << ": " << err;
    EXPECT_EQ(skin->Images.size(), c.Images) << c.Name;
    EXPECT_LE(peak, c.Bound) << c.Name;
  }

  // The same skin cut short inside its large image, the entry still claiming the image's size: it
  // fails before a pixel is made.
  std::vector<TPackedIndexEntry> index;
  ASSERT_TRUE(ReadPackedIndex(realPacked.data(), realPacked.size(), index, err)) << err;
  ASSERT_EQ("big.bmp", index[1].Name);
  std::vector<std::uint8_t> cut;
  ASSERT_TRUE(WritePackedSkin({real[0]}, cut, err)) << err;
  cut[8] = 2;  // entry count
  const std::uint32_t kept = 2000;
  ASSERT_GT(index[1].PackedSize, kept);
  const std::uint8_t head[] = {7, 0, 'b', 'i', 'g', '.', 'b', 'm', 'p'};
  cut.insert(cut.end(), std::begin(head), std::end(head));
  for (std::uint32_t v : {index[1].Size, kept})
    for (int i = 0; i < 4; ++i) cut.push_back(std::uint8_t(v >> (8 * i)));
  cut.insert(cut.end(), index[1].Packed, index[1].Packed + kept);
  std::unique_ptr<TSkinModel> skin;
  EXPECT_LE(PeakWhile([&] { skin = LoadSkinFromPackedBytes(cut.data(), cut.size(), err); }), MiB / 4);
  EXPECT_FALSE(skin);
  EXPECT_NE(err.find("big.bmp"), std::string::npos) << err;
}

}  // namespace
