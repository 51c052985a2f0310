// Whole skins: BMP files, packed files, loading from a folder, a packed file and memory, and every
// kind of bad skin failing cleanly with its error text.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <functional>
#include <set>

#include "skin/engine/core/acBmpFile.h"
#include "skin/engine/core/acPackedSkin.h"
#include "skin/engine/core/acSkinLoader.h"
#include "tests/support/core/SkinBuilder.h"

using namespace qv;
using qvtest::TSkinBuilder;
using qvtest::TTempDir;
namespace fs = std::filesystem;

namespace {

TImage24 Pattern(int w, int h) {
  TImage24 img(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      img.SetPixel(x, y, TBgr{std::uint8_t(x * 7), std::uint8_t(y * 13), std::uint8_t(x ^ y)});
  return img;
}

bool SamePixels(const TImage24& a, const TImage24& b) {
  if (a.Width() != b.Width() || a.Height() != b.Height()) return false;
  for (int y = 0; y < a.Height(); ++y)
    for (int x = 0; x < a.Width(); ++x)
      if (!(a.Pixel(x, y) == b.Pixel(x, y))) return false;
  return true;
}

void Put32(std::vector<std::uint8_t>& v, std::size_t at, std::uint32_t x) {
  for (int i = 0; i < 4; ++i) v[at + i] = std::uint8_t(x >> (8 * i));
}

// A hand-made BMP: header fields as given, rows as given (already padded).
std::vector<std::uint8_t> MakeBmp(int w, int h, int bpp, std::uint32_t compression,
                                  const std::vector<std::uint8_t>& extra, const std::vector<std::uint8_t>& pixels) {
  std::vector<std::uint8_t> v(54, 0);
  v[0] = 'B';
  v[1] = 'M';
  Put32(v, 2, std::uint32_t(54 + extra.size() + pixels.size()));
  Put32(v, 10, std::uint32_t(54 + extra.size()));
  Put32(v, 14, 40);
  Put32(v, 18, std::uint32_t(w));
  Put32(v, 22, std::uint32_t(h));
  v[26] = 1;
  v[28] = std::uint8_t(bpp);
  Put32(v, 30, compression);
  v.insert(v.end(), extra.begin(), extra.end());
  v.insert(v.end(), pixels.begin(), pixels.end());
  return v;
}

TEST(SkinLoader, BmpFileRoundTripKeepsEveryPixel) {
  for (int w : {1, 2, 3, 4, 5, 17}) {
    const TImage24 src = Pattern(w, 3);
    const auto bytes = EncodeBmp(src);
    TImage24 back;
    std::string err;
    ASSERT_TRUE(DecodeBmp(bytes.data(), bytes.size(), back, err)) << err;
    EXPECT_TRUE(SamePixels(src, back)) << w;
  }
}

TEST(SkinLoader, BmpFileTopDown32And8BitImagesAreConverted) {
  std::string err;
  TImage24 img;
  // 2 x 2, 32-bit, top-down: rows given top first.
  const std::vector<std::uint8_t> px32 = {1, 2, 3, 0xAA, 4, 5, 6, 0xAA, 7, 8, 9, 0xAA, 10, 11, 12, 0xAA};
  auto bmp = MakeBmp(2, -2, 32, 0, {}, px32);
  ASSERT_TRUE(DecodeBmp(bmp.data(), bmp.size(), img, err)) << err;
  EXPECT_EQ(img.Pixel(0, 0), (TBgr{1, 2, 3}));
  EXPECT_EQ(img.Pixel(1, 1), (TBgr{10, 11, 12}));
  // The same with BI_BITFIELDS and the ordinary masks.
  const std::vector<std::uint8_t> masks = {0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0};
  bmp = MakeBmp(2, -2, 32, 3, masks, px32);
  ASSERT_TRUE(DecodeBmp(bmp.data(), bmp.size(), img, err)) << err;
  EXPECT_EQ(img.Pixel(1, 0), (TBgr{4, 5, 6}));
  // 8-bit bottom-up with a palette of two colours; rows padded to 4 bytes.
  std::vector<std::uint8_t> pal = {10, 20, 30, 0, 40, 50, 60, 0};
  auto pal8 = MakeBmp(3, 2, 8, 0, pal, {0, 1, 0, 0, 1, 1, 0, 0});
  Put32(pal8, 46, 2);  // colours used
  ASSERT_TRUE(DecodeBmp(pal8.data(), pal8.size(), img, err)) << err;
  EXPECT_EQ(img.Pixel(0, 1), (TBgr{10, 20, 30}));  // the first stored row is the bottom one
  EXPECT_EQ(img.Pixel(1, 1), (TBgr{40, 50, 60}));
  EXPECT_EQ(img.Pixel(0, 0), (TBgr{40, 50, 60}));
  // A pixel past the palette.
  pal8[54 + 8] = 7;
  EXPECT_FALSE(DecodeBmp(pal8.data(), pal8.size(), img, err));
  EXPECT_NE(err.find("outside the palette"), std::string::npos);
}

TEST(SkinLoader, BmpFileWrongFormatsAndSizesFail) {
  const auto good = EncodeBmp(Pattern(4, 4));
  struct TCase {
    std::vector<std::uint8_t> Bytes;
    const char* ErrorPart;
  };
  std::vector<TCase> cases;
  cases.push_back({{}, "too short"});
  auto b = good;
  b[0] = 'X';
  cases.push_back({b, "signature"});
  b = good;
  b[28] = 16;
  cases.push_back({b, "colour depth 16"});
  b = good;
  b[28] = 1;
  cases.push_back({b, "colour depth 1"});
  b = good;
  Put32(b, 30, 1);  // RLE8
  cases.push_back({b, "compressed"});
  b = good;
  Put32(b, 14, 12);  // OS/2 header
  cases.push_back({b, "unsupported BMP header"});
  b = good;
  Put32(b, 18, 0);
  cases.push_back({b, "not valid"});
  b = good;
  Put32(b, 22, 0x80000000u);
  cases.push_back({b, "not valid"});
  b = good;
  Put32(b, 18, 100000);
  cases.push_back({b, "too large"});
  b = good;
  Put32(b, 18, 8000);
  Put32(b, 22, 8000);
  cases.push_back({b, "too large"});
  b = good;
  b.resize(b.size() - 1);
  cases.push_back({b, "truncated"});
  b = good;
  Put32(b, 10, 0xFFFFFFF0u);
  cases.push_back({b, "truncated or misplaced"});
  b = good;
  b[26] = 2;
  cases.push_back({b, "plane"});
  for (const TCase& c : cases) {
    TImage24 img(1, 1);
    std::string err;
    EXPECT_FALSE(DecodeBmp(c.Bytes.data(), c.Bytes.size(), img, err)) << c.ErrorPart;
    EXPECT_NE(err.find(c.ErrorPart), std::string::npos) << err;
    EXPECT_EQ(img.Width(), 1);
  }
  // Every prefix of a good file fails without reading past it.
  for (std::size_t n = 0; n < good.size(); ++n) {
    std::vector<std::uint8_t> prefix(good.begin(), good.begin() + std::ptrdiff_t(n));
    TImage24 img;
    std::string err;
    EXPECT_FALSE(DecodeBmp(prefix.data(), prefix.size(), img, err)) << n;
  }
}

TEST(SkinLoader, PackedSkinRoundTripAndDamage) {
  std::vector<TPackedEntry> files = {
      {"Options.dat", {'[', 'A', ']', '\n'}}, {"a.bmp", EncodeBmp(Pattern(5, 5))}, {"empty.txt", {}}};
  std::vector<std::uint8_t> bytes;
  std::string err;
  ASSERT_TRUE(WritePackedSkin(files, bytes, err)) << err;
  ASSERT_EQ(std::memcmp(bytes.data(), "ASzf", 4), 0);
  std::vector<TPackedEntry> back;
  ASSERT_TRUE(ReadPackedSkin(bytes.data(), bytes.size(), back, err)) << err;
  ASSERT_EQ(back.size(), 3u);
  for (std::size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(back[i].Name, files[i].Name);
    EXPECT_EQ(back[i].Data, files[i].Data);
  }
  // Every truncation fails, and says so once the signature is whole.
  for (std::size_t n = 0; n < bytes.size(); ++n) {
    std::vector<TPackedEntry> out;
    EXPECT_FALSE(ReadPackedSkin(bytes.data(), n, out, err)) << n;
    EXPECT_NE(err.find(n < 4 ? "signature" : "truncated"), std::string::npos) << n << ": " << err;
  }
  struct TCase {
    std::size_t At;
    std::uint32_t Value;
    const char* ErrorPart;
  };
  // Offsets: magic 0, version 4, count 8, first entry: name length 12, name 14..24, size 25, packed 29.
  const TCase cases[] = {
      {0, 0x66535A42, "signature"},
      {4, 2, "version 2"},
      {8, 0xFFFFFFFF, "entry count"},
      {8, 1025, "entry count"},
      {8, 2, "after its last entry"},
      {25, 0x7FFFFFFF, "too large"},
      {25, 5, "damaged"},
      {25, 1 << 20, "cannot come from"},  // more than its 12 packed bytes can unpack to
      {29, 0xFFFFFF00, "truncated data"},
  };
  for (const TCase& c : cases) {
    auto bad = bytes;
    Put32(bad, c.At, c.Value);
    std::vector<TPackedEntry> out;
    EXPECT_FALSE(ReadPackedSkin(bad.data(), bad.size(), out, err)) << c.ErrorPart;
    EXPECT_NE(err.find(c.ErrorPart), std::string::npos) << err;
  }
  auto trailing = bytes;
  trailing.push_back(0);
  std::vector<TPackedEntry> out;
  EXPECT_FALSE(ReadPackedSkin(trailing.data(), trailing.size(), out, err));
  EXPECT_NE(err.find("after its last entry"), std::string::npos);
  // Names that would leave the skin, and repeated names, are refused both ways.
  for (const char* name : {"../x", "a/b", "a\\b", ".hidden", "c:x", "a b"}) {
    std::vector<TPackedEntry> f = {{name, {1}}};
    EXPECT_FALSE(WritePackedSkin(f, bytes, err)) << name;
  }
  std::vector<TPackedEntry> twice = {{"A.bmp", {1}}, {"a.BMP", {2}}};
  EXPECT_FALSE(WritePackedSkin(twice, bytes, err));
}

TEST(SkinLoader, PackedSkinDamagedNamesInTheFileAreRefused) {
  std::vector<TPackedEntry> files = {{"abc", {1, 2, 3}}, {"abd", {4}}};
  std::vector<std::uint8_t> bytes;
  std::string err;
  ASSERT_TRUE(WritePackedSkin(files, bytes, err));
  auto bad = bytes;
  bad[14] = '/';
  std::vector<TPackedEntry> out;
  EXPECT_FALSE(ReadPackedSkin(bad.data(), bad.size(), out, err));
  EXPECT_NE(err.find("unsafe"), std::string::npos);
  // Second name made equal to the first but for case.
  bad = bytes;
  const std::size_t second = 12 + 2 + 3 + 8 + (bytes.size() - 12) / 2;  // search instead of computing
  (void)second;
  for (std::size_t i = 20; i + 2 < bad.size(); ++i)
    if (bad[i] == 'a' && bad[i + 1] == 'b' && bad[i + 2] == 'd') {
      bad[i] = 'A';
      bad[i + 2] = 'C';
      break;
    }
  EXPECT_FALSE(ReadPackedSkin(bad.data(), bad.size(), out, err));
  EXPECT_NE(err.find("stored twice"), std::string::npos);
}

void ExpectSameSkin(const TSkinModel& a, const TSkinModel& b) {
  ASSERT_EQ(a.Sections.size(), b.Sections.size());
  for (std::size_t i = 0; i < a.Sections.size(); ++i) {
    EXPECT_EQ(a.Sections[i].Name, b.Sections[i].Name);
    EXPECT_EQ(a.Sections[i].Color, b.Sections[i].Color);
    EXPECT_EQ(a.Sections[i].ParentClass, b.Sections[i].ParentClass);
  }
  ASSERT_EQ(a.Masks.size(), b.Masks.size());
  for (std::size_t i = 0; i < a.Masks.size(); ++i) {
    const TsMaskData &x = a.Masks[i], &y = b.Masks[i];
    EXPECT_EQ(x.SectionName, y.SectionName);
    EXPECT_EQ(x.PropertyName, y.PropertyName);
    EXPECT_EQ(x.R, y.R);
    EXPECT_EQ(x.ImageCount, y.ImageCount);
    EXPECT_EQ(x.MaskType, y.MaskType);
    EXPECT_EQ(x.BorderWidth, y.BorderWidth);
    EXPECT_EQ(x.DrawMode, y.DrawMode);
    EXPECT_TRUE(SamePixels(*a.MaskImage(int(i)), *b.MaskImage(int(i))));
  }
  EXPECT_EQ(a.MasterImageIndex >= 0, b.MasterImageIndex >= 0);
}

TEST(SkinLoader, FolderPackedAndMemoryGiveTheSameSkin) {
  for (bool master : {false, true}) {
    TSkinBuilder b = TSkinBuilder::Standard();
    b.UseMaster(master);
    b.Mask("FORM", "BORDERSMASK").MaskType = 1;
    TTempDir tmp;
    std::string err;
    auto fromMemory = b.Load(&err);
    ASSERT_TRUE(fromMemory) << err;
    auto fromFolder = LoadSkin(b.WriteFolder(tmp.Path() / "Test"), err);
    ASSERT_TRUE(fromFolder) << err;
    auto fromPacked = LoadSkin(b.WritePacked(tmp.Path() / "Test.asz"), err);
    ASSERT_TRUE(fromPacked) << err;
    ExpectSameSkin(*fromMemory, *fromFolder);
    ExpectSameSkin(*fromMemory, *fromPacked);
    // Saving the loaded model and loading it again keeps it.
    ASSERT_TRUE(SaveSkinToFolder(*fromPacked, tmp.Path() / "Again", err)) << err;
    ASSERT_TRUE(SaveSkinToPackedFile(*fromFolder, tmp.Path() / "Again.asz", err)) << err;
    auto again = LoadSkin(tmp.Path() / "Again", err);
    ASSERT_TRUE(again) << err;
    ExpectSameSkin(*fromMemory, *again);
    again = LoadSkin(tmp.Path() / "Again.asz", err);
    ASSERT_TRUE(again) << err;
    ExpectSameSkin(*fromMemory, *again);
    std::vector<std::uint8_t> bytes;
    ASSERT_TRUE(PackSkin(*again, bytes, err));
    again = LoadSkinFromPackedBytes(bytes.data(), bytes.size(), err);
    ASSERT_TRUE(again) << err;
    ExpectSameSkin(*fromMemory, *again);
    EXPECT_EQ(fromMemory->MasterImageIndex >= 0, master);
  }
}

TEST(SkinLoader, BuilderFramesReadFromSinglePixels) {
  TSkinBuilder b = TSkinBuilder::Standard();
  auto skin = b.Load();
  ASSERT_TRUE(skin);
  const int m = skin->MaskIndexOf("BUTTON", "BORDERSMASK");
  ASSERT_GE(m, 0);
  const TImage24& img = *skin->MaskImage(m);
  const TRect r = skin->Masks[m].R;
  const TSize item = skin->GetMaskItemSize(m);
  const int ord = b.MaskOrdinal("BUTTON", "BORDERSMASK");
  for (int s = 0; s < 3; ++s) {
    const int x0 = r.Left + s * item.cx;
    EXPECT_EQ(ColorOf(img.Pixel(x0 + item.cx / 2, r.Top + item.cy / 2)), TSkinBuilder::FrameColor(ord, s));
    // Key runs of 1, 2, 3, 4 pixels in the four corners.
    EXPECT_EQ(ColorOf(img.Pixel(x0, r.Top)), clKeyMagenta);
    EXPECT_NE(ColorOf(img.Pixel(x0 + 1, r.Top)), clKeyMagenta);
    EXPECT_EQ(ColorOf(img.Pixel(x0 + item.cx - 2, r.Top)), clKeyMagenta);
    EXPECT_NE(ColorOf(img.Pixel(x0 + item.cx - 3, r.Top)), clKeyMagenta);
    EXPECT_EQ(ColorOf(img.Pixel(x0 + 2, r.Top + item.cy - 1)), clKeyMagenta);
    EXPECT_NE(ColorOf(img.Pixel(x0 + 3, r.Top + item.cy - 1)), clKeyMagenta);
    EXPECT_EQ(ColorOf(img.Pixel(x0 + item.cx - 4, r.Top + item.cy - 1)), clKeyMagenta);
    EXPECT_NE(ColorOf(img.Pixel(x0 + item.cx - 5, r.Top + item.cy - 1)), clKeyMagenta);
  }
  // All frame colours of the skin are distinct.
  std::set<TColorRef> colours;
  int frames = 0;
  for (int i = 0; i < int(skin->Masks.size()); ++i)
    for (int s = 0; s < skin->Masks[i].ImageCount; ++s, ++frames) colours.insert(TSkinBuilder::FrameColor(i, s));
  EXPECT_EQ(int(colours.size()), frames);
  EXPECT_EQ(colours.count(clKeyMagenta), 0u);
}

struct TBadSkin {
  const char* Name;
  std::function<void(TSkinBuilder&)> Spoil;
  const char* ErrorPart;
};

TEST(SkinLoader, BadSkinsFailWithAnErrorText) {
  const auto goodBmp = EncodeBmp(Pattern(4, 4));
  auto bmp16 = goodBmp;
  bmp16[28] = 16;
  const TBadSkin cases[] = {
      {"no Options.dat", [](TSkinBuilder& b) { b.DropFile("Options.dat"); }, "Options.dat"},
      {"missing image", [](TSkinBuilder& b) { b.DropFile("button_bordersmask.bmp"); }, "button_bordersmask.bmp"},
      {"malformed Options.dat", [](TSkinBuilder& b) { b.ReplaceOptions("[A]\nnonsense\n"); }, "line 2"},
      {"malformed value", [](TSkinBuilder& b) { b.Key("BUTTON", "TRANSPARENCY", "lots"); }, "TRANSPARENCY=lots"},
      {"malformed colour", [](TSkinBuilder& b) { b.Key("EDIT", "COLOR", "#GGGGGG"); }, "COLOR=#GGGGGG"},
      {"not a BMP",
       [](TSkinBuilder& b) {
         b.ReplaceFile("button_bordersmask.bmp", {'G', 'I', 'F', '8', '9'});
       },
       "button_bordersmask.bmp"},
      {"16-bit BMP", [&](TSkinBuilder& b) { b.ReplaceFile("button_bordersmask.bmp", bmp16); }, "colour depth 16"},
      {"state count 0", [](TSkinBuilder& b) { b.RawMask("BUTTON", "BORDERSMASK", "mask: file=x.bmp count=0"); },
       "state count 0"},
      {"mask type 7", [](TSkinBuilder& b) { b.RawMask("BUTTON", "BORDERSMASK", "mask: file=x.bmp type=7"); },
       "mask type 7"},
      {"margins larger than the image", [](TSkinBuilder& b) { b.Mask("BUTTON", "BORDERSMASK").Margins[0] = 13; },
       "margins larger"},
      {"border larger than the image", [](TSkinBuilder& b) { b.Mask("BUTTON", "BORDERSMASK").BorderWidth = 7; },
       "border width"},
      {"rectangle outside the image",
       [&](TSkinBuilder& b) {
         b.ReplaceFile("x.bmp", goodBmp);
         b.RawMask("BUTTON", "BORDERSMASK", "mask: file=x.bmp rect=2,2,3,3");
       },
       "outside the image"},
      {"absurd count",
       [](TSkinBuilder& b) { b.RawMask("BUTTON", "BORDERSMASK", "mask: file=x.bmp count=99999999999"); }, "count"},
      {"image smaller than its frames",
       [&](TSkinBuilder& b) {
         b.ReplaceFile("x.bmp", goodBmp);
         b.RawMask("BUTTON", "BORDERSMASK", "mask: file=x.bmp count=5");
       },
       "narrower"},
      {"master rect without a master",
       [](TSkinBuilder& b) { b.RawMask("BUTTON", "BORDERSMASK", "mask: rect=0,0,1,1"); }, "no master bitmap"},
      {"bad master name", [](TSkinBuilder& b) { b.Key("SKININFO", "MASTERBITMAP", "../m.bmp"); }, "MASTERBITMAP"},
      {"empty Options.dat", [](TSkinBuilder& b) { b.ReplaceOptions(""); }, "no section a look"},
      {"comments only", [](TSkinBuilder& b) { b.ReplaceOptions("\xEF\xBB\xBF; skin\r\n\r\n  # none\n"); },
       "no section a look"},
      {"keys no painter reads",
       [](TSkinBuilder& b) { b.ReplaceOptions("[SKININFO]\nMASTERBITMAP=m.bmp\n[A]\nAUTHOR=x\n[B]\n"); },
       "no section a look"},
      {"parents only, in a loop",
       [](TSkinBuilder& b) { b.ReplaceOptions("[A]\nPARENTCLASS=B\n[B]\nPARENTCLASS=C\n[C]\nPARENTCLASS=A\n"); },
       "no section a look"},
      {"parents only, 2,000 deep",
       [](TSkinBuilder& b) {
         std::string text;
         for (int i = 0; i < 2000; ++i)
           text += "[S" + std::to_string(i) + "]\nPARENTCLASS=S" + std::to_string(i + 1) + "\n";
         b.ReplaceOptions(text);
       },
       "no section a look"},
  };
  for (const TBadSkin& c : cases) {
    TSkinBuilder b = TSkinBuilder::Standard();
    c.Spoil(b);
    std::string err;
    EXPECT_EQ(b.Load(&err), nullptr) << c.Name;
    EXPECT_NE(err.find(c.ErrorPart), std::string::npos) << c.Name << ": " << err;
    // The same through a folder and a packed file.
    TTempDir tmp;
    std::string errFolder, errPacked;
    EXPECT_EQ(LoadSkin(b.WriteFolder(tmp.Path() / "S"), errFolder), nullptr) << c.Name;
    EXPECT_NE(errFolder.find(c.ErrorPart), std::string::npos) << c.Name << ": " << errFolder;
    EXPECT_EQ(LoadSkin(b.WritePacked(tmp.Path() / "S.asz"), errPacked), nullptr) << c.Name;
    EXPECT_NE(errPacked.find(c.ErrorPart), std::string::npos) << c.Name << ": " << errPacked;
  }
}

TEST(SkinLoader, MissingAndOddPathsFail) {
  TTempDir tmp;
  std::string err;
  EXPECT_EQ(LoadSkin(tmp.Path() / "nothing", err), nullptr);
  EXPECT_NE(err.find("missing"), std::string::npos) << err;
  EXPECT_EQ(LoadSkinFromFolder(tmp.Path() / "nothing", err), nullptr);
  EXPECT_NE(err.find("does not exist"), std::string::npos) << err;
  EXPECT_EQ(LoadSkin(tmp.Path(), err), nullptr);  // a folder without Options.dat
  EXPECT_NE(err.find("Options.dat"), std::string::npos) << err;
  std::ofstream(tmp.Path() / "short.asz") << "ASz";
  EXPECT_EQ(LoadSkin(tmp.Path() / "short.asz", err), nullptr);
  EXPECT_NE(err.find("ASzf"), std::string::npos) << err;
  EXPECT_EQ(LoadSkinFromPackedBytes(nullptr, 0, err), nullptr);
  // Options.dat as a folder.
  fs::create_directories(tmp.Path() / "odd" / "Options.dat");
  EXPECT_EQ(LoadSkin(tmp.Path() / "odd", err), nullptr);
  // A packed skin whose entries are fine but whose Options.dat is missing.
  std::vector<std::uint8_t> bytes;
  ASSERT_TRUE(WritePackedSkin({{"a.bmp", EncodeBmp(Pattern(2, 2))}}, bytes, err));
  EXPECT_EQ(LoadSkinFromPackedBytes(bytes.data(), bytes.size(), err), nullptr);
  EXPECT_NE(err.find("Options.dat"), std::string::npos) << err;
}

// A folder skin opens the files Options.dat names by those names: written in another case they are
// still found, and a file whose name differs from a named one only in case is never taken for it.
TEST(SkinLoader, FolderFileNamesMatchWithoutCase) {
  TSkinBuilder b;
  b.Mask("A", "M");
  TTempDir tmp;
  b.WriteFolder(tmp.Path() / "S");
  fs::rename(tmp.Path() / "S" / "a_m.bmp", tmp.Path() / "S" / "A_M.BMP");
  fs::rename(tmp.Path() / "S" / "Options.dat", tmp.Path() / "S" / "OPTIONS.DAT");
  std::string err;
  EXPECT_NE(LoadSkin(tmp.Path() / "S", err), nullptr) << err;
  b.WriteFolder(tmp.Path() / "T");
  for (const char* twin : {"A_M.bmp", "a_M.BMP", "OPTIONS.dat", "options.DAT"}) {
    std::vector<std::uint8_t> junk(64, 0x5A);
    ASSERT_TRUE(WriteFileBytes(tmp.Path() / "T" / twin, junk, err));
  }
  auto skin = LoadSkin(tmp.Path() / "T", err);
  ASSERT_NE(skin, nullptr) << err;
  auto fromMemory = b.Load(&err);
  ASSERT_TRUE(fromMemory) << err;
  ExpectSameSkin(*fromMemory, *skin);
}

TEST(SkinLoader, ListSkinNamesSortsFoldersAndPackedFiles) {
  TTempDir tmp;
  TSkinBuilder b;
  b.Section("A");
  b.WriteFolder(tmp.Path() / "zeta");
  b.WriteFolder(tmp.Path() / "Alpha");
  b.WritePacked(tmp.Path() / "beta.asz");
  b.WritePacked(tmp.Path() / "Gamma.ASZ");
  fs::create_directories(tmp.Path() / "NoSkin");
  std::ofstream(tmp.Path() / "readme.txt") << "x";
  const std::vector<std::string> want = {"Alpha", "beta", "Gamma", "zeta"};
  EXPECT_EQ(ListSkinNames(tmp.Path()), want);
  EXPECT_TRUE(ListSkinNames(tmp.Path() / "none").empty());
}

}  // namespace
