// TBitmap: pixel layout, copies, resizing, formats, files and handles.
#include <cstdio>
#include <cstring>

#include "classlib/GdiScopes.h"
#include "tests/support/PixelProbe.h"
#include "tests/win/graphics/LeakCheck.h"

namespace {

void FillPattern(TBitmap& bmp) {
  for (int y = 0; y < bmp.Height(); ++y) {
    auto* row = static_cast<std::uint8_t*>(bmp.ScanLine(y));
    for (int x = 0; x < bmp.Width(); ++x) {
      TColor c = PatternColor(x, y);
      row[x * 3 + 0] = BlueOf(c);
      row[x * 3 + 1] = GreenOf(c);
      row[x * 3 + 2] = RedOf(c);
    }
  }
}

std::string TempPath(const char* name) {
  char dir[MAX_PATH];
  GetTempPathA(MAX_PATH, dir);
  return std::string(dir) + name;
}

using Bitmap = GraphicsTest;

TEST_F(Bitmap, DefaultsTo24BitDibSections) {
  TBitmap bmp;
  EXPECT_TRUE(bmp.Empty());
  EXPECT_EQ(bmp.Handle(), nullptr);
  bmp.SetSize(5, 3);
  EXPECT_EQ(bmp.PixelFormat(), pf24bit);
  EXPECT_EQ(bmp.HandleType(), bmDIB);
  DIBSECTION ds{};
  ASSERT_EQ(GetObjectA(bmp.Handle(), sizeof ds, &ds), int(sizeof ds));
  EXPECT_EQ(ds.dsBmih.biBitCount, 24);
  EXPECT_EQ(bmp.Stride(), 16);  // 5 * 3 bytes padded to 4
}

// Pixels written through ScanLine read back the same through the canvas, GetDIBits and the
// image view, with row 0 at the top.
TEST_F(Bitmap, ScanLinePixelsAndDIBitsAgree) {
  TBitmap bmp;
  bmp.SetSize(7, 5);
  FillPattern(bmp);
  qv::TImageView view = bmp.ImageView();
  ASSERT_FALSE(view.Empty());
  EXPECT_LT(view.Stride, 0);
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 7; ++x) {
      SCOPED_TRACE(testing::Message() << x << "," << y);
      EXPECT_EQ(bmp.Canvas()->Pixels(x, y), PatternColor(x, y));
      EXPECT_EQ(TColor(qv::ColorOf(view.Pixel(x, y))), PatternColor(x, y));
    }
  qvtest::Capture cap = qvtest::CaptureBitmap(bmp.Handle());
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 7; ++x) EXPECT_EQ(TColor(cap.Pixel(x, y)), PatternColor(x, y)) << x << "," << y;
  // And the other way: canvas writes show in the scan lines.
  bmp.Canvas()->SetPixels(6, 0, clRed);
  auto* top = static_cast<std::uint8_t*>(bmp.ScanLine(0));
  EXPECT_EQ(top[18], 0);
  EXPECT_EQ(top[20], 255);
  EXPECT_THROW(bmp.ScanLine(5), EInvalidGraphicOperation);
  EXPECT_THROW(bmp.ScanLine(-1), EInvalidGraphicOperation);
}

TEST_F(Bitmap, AssignMakesADeepCopy) {
  TBitmap a;
  a.SetSize(6, 4);
  FillPattern(a);
  a.SetTransparent(true);
  a.SetTransparentColor(clLime);
  TBitmap b;
  b.Assign(&a);
  EXPECT_NE(a.Handle(), b.Handle());
  EXPECT_EQ(b.Width(), 6);
  EXPECT_EQ(b.Height(), 4);
  EXPECT_TRUE(b.Transparent());
  EXPECT_EQ(b.TransparentColor(), clLime);
  a.Canvas()->Brush()->SetColor(clBlack);
  a.Canvas()->FillRect(Rect(0, 0, 6, 4));
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 6; ++x) EXPECT_EQ(b.Canvas()->Pixels(x, y), PatternColor(x, y));
  // Assigning nullptr empties; assigning an empty bitmap copies its size only.
  b.Assign(nullptr);
  EXPECT_TRUE(b.Empty());
  EXPECT_EQ(b.Handle(), nullptr);
}

TEST_F(Bitmap, AssignKeepsPaletteFormats) {
  TBitmap a;
  a.SetSize(4, 2);
  a.SetPixelFormat(pf8bit);
  a.Canvas()->SetPixels(1, 1, clRed);
  TBitmap b;
  b.Assign(&a);
  EXPECT_EQ(b.PixelFormat(), pf8bit);
  EXPECT_EQ(b.Canvas()->Pixels(1, 1), clRed);
}

TEST_F(Bitmap, SetSizeKeepsContentAndFillsNewArea) {
  for (TPixelFormat pf : {pf24bit, pf32bit}) {
    SCOPED_TRACE(int(pf));
    TBitmap bmp;
    bmp.SetPixelFormat(pf);
    bmp.SetSize(4, 4);
    for (int y = 0; y < 4; ++y)
      for (int x = 0; x < 4; ++x) bmp.Canvas()->SetPixels(x, y, PatternColor(x, y));
    bmp.SetWidth(6);
    bmp.SetHeight(3);
    EXPECT_EQ(bmp.Width(), 6);
    EXPECT_EQ(bmp.Height(), 3);
    EXPECT_EQ(bmp.PixelFormat(), pf);
    for (int y = 0; y < 3; ++y) {
      for (int x = 0; x < 4; ++x) EXPECT_EQ(bmp.Canvas()->Pixels(x, y), PatternColor(x, y)) << x << "," << y;
      EXPECT_EQ(bmp.Canvas()->Pixels(5, y), clWhite);
    }
    bmp.Canvas()->Brush()->SetColor(clBlue);
    bmp.SetSize(7, 5);
    EXPECT_EQ(bmp.Canvas()->Pixels(6, 1), clBlue);
    EXPECT_EQ(bmp.Canvas()->Pixels(2, 4), clBlue);
    EXPECT_EQ(bmp.Canvas()->Pixels(0, 0), PatternColor(0, 0));
    EXPECT_EQ(bmp.Canvas()->Pixels(3, 2), PatternColor(3, 2));
    bmp.SetSize(0, 3);
    EXPECT_TRUE(bmp.Empty());
  }
}

TEST_F(Bitmap, TransparentColorDefaultsToBottomLeftPixel) {
  TBitmap bmp;
  bmp.SetSize(3, 3);
  bmp.Canvas()->Brush()->SetColor(clRed);
  bmp.Canvas()->FillRect(Rect(0, 0, 3, 3));
  bmp.Canvas()->SetPixels(0, 2, clFuchsia);
  EXPECT_EQ(bmp.TransparentMode(), tmAuto);
  EXPECT_EQ(bmp.TransparentColor(), clFuchsia);
  bmp.SetTransparentColor(clRed);
  EXPECT_EQ(bmp.TransparentMode(), tmFixed);
  EXPECT_EQ(bmp.TransparentColor(), clRed);
  bmp.SetTransparentMode(tmAuto);
  EXPECT_EQ(bmp.TransparentColor(), clFuchsia);
}

// A transparent bitmap drawn on a canvas leaves the key pixels out.
TEST_F(Bitmap, TransparentDrawLeavesKeyPixels) {
  TBitmap glyph;
  glyph.SetSize(4, 4);
  glyph.Canvas()->Brush()->SetColor(clFuchsia);
  glyph.Canvas()->FillRect(Rect(0, 0, 4, 4));
  glyph.Canvas()->Brush()->SetColor(clBlue);
  glyph.Canvas()->FillRect(Rect(1, 1, 3, 3));
  glyph.SetTransparent(true);
  TBitmap target;
  target.SetSize(8, 8);
  target.Canvas()->Brush()->SetColor(clLime);
  target.Canvas()->FillRect(Rect(0, 0, 8, 8));
  target.Canvas()->Draw(2, 2, &glyph);
  EXPECT_EQ(target.Canvas()->Pixels(2, 2), clLime);
  EXPECT_EQ(target.Canvas()->Pixels(3, 3), clBlue);
  EXPECT_EQ(target.Canvas()->Pixels(4, 4), clBlue);
  EXPECT_EQ(target.Canvas()->Pixels(5, 5), clLime);
  // Opaque and stretched.
  glyph.SetTransparent(false);
  target.Canvas()->StretchDraw(Rect(0, 0, 8, 8), &glyph);
  EXPECT_EQ(target.Canvas()->Pixels(0, 0), clFuchsia);
  EXPECT_EQ(target.Canvas()->Pixels(3, 4), clBlue);
}

struct FormatCase {
  TPixelFormat Format;
  const char* Name;
  int BitCount;
};

class BitmapFormats : public GraphicsTest, public testing::WithParamInterface<FormatCase> {};

// Colours each format holds exactly survive a save and a load, in that format.
TEST_P(BitmapFormats, SaveLoadRoundTrip) {
  const FormatCase& fc = GetParam();
  const TColor colors[] = {clBlack, clWhite, clRed, clBlue, clLime, clYellow};
  const int count = fc.Format == pf1bit ? 2 : 6;
  TBitmap bmp;
  bmp.SetSize(5, 3);
  bmp.SetPixelFormat(fc.Format);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 5; ++x) bmp.Canvas()->SetPixels(x, y, colors[(x + y * 5) % count]);
  std::vector<std::uint8_t> file = bmp.SaveToMemory();
  ASSERT_GE(file.size(), 54u);
  EXPECT_EQ(file[0], 'B');
  BITMAPINFOHEADER h;
  std::memcpy(&h, file.data() + 14, sizeof h);
  EXPECT_EQ(h.biBitCount, fc.BitCount);
  TBitmap loaded;
  loaded.LoadFromMemory(file.data(), file.size());
  EXPECT_EQ(loaded.PixelFormat(), fc.Format);
  ASSERT_EQ(loaded.Width(), 5);
  ASSERT_EQ(loaded.Height(), 3);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 5; ++x) EXPECT_EQ(loaded.Canvas()->Pixels(x, y), colors[(x + y * 5) % count]) << x << "," << y;
}

INSTANTIATE_TEST_SUITE_P(Formats, BitmapFormats,
                         testing::Values(FormatCase{pf1bit, "1", 1}, FormatCase{pf4bit, "4", 4},
                                         FormatCase{pf8bit, "8", 8}, FormatCase{pf16bit, "16", 16},
                                         FormatCase{pf24bit, "24", 24}, FormatCase{pf32bit, "32", 32}),
                         [](const testing::TestParamInfo<FormatCase>& info) {
                           return std::string("pf") + info.param.Name + "bit";
                         });

TEST_F(Bitmap, FileRoundTrip) {
  TBitmap bmp;
  bmp.SetSize(9, 4);
  FillPattern(bmp);
  std::string path = TempPath("qv_gfx_roundtrip.bmp");
  bmp.SaveToFile(path);
  TBitmap loaded;
  loaded.LoadFromFile(path);
  DeleteFileA(path.c_str());
  ASSERT_EQ(loaded.Width(), 9);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 9; ++x) EXPECT_EQ(loaded.Canvas()->Pixels(x, y), PatternColor(x, y));
  EXPECT_THROW(loaded.LoadFromFile(TempPath("qv_gfx_missing.bmp")), EInvalidGraphic);
}

// A top-down file (negative height) loads with its first stored row at the top.
TEST_F(Bitmap, LoadsTopDownFiles) {
  std::vector<std::uint8_t> file(14 + 40 + 2 * 4);
  BITMAPFILEHEADER fh{};
  fh.bfType = 0x4D42;
  fh.bfOffBits = 54;
  fh.bfSize = DWORD(file.size());
  BITMAPINFOHEADER h{};
  h.biSize = 40;
  h.biWidth = 1;
  h.biHeight = -2;
  h.biPlanes = 1;
  h.biBitCount = 24;
  std::memcpy(file.data(), &fh, sizeof fh);
  std::memcpy(file.data() + 14, &h, sizeof h);
  const std::uint8_t rows[8] = {0, 0, 255, 0, 255, 0, 0, 0};  // red row, then blue row
  std::memcpy(file.data() + 54, rows, 8);
  TBitmap bmp;
  bmp.LoadFromMemory(file.data(), file.size());
  EXPECT_EQ(bmp.Canvas()->Pixels(0, 0), clRed);
  EXPECT_EQ(bmp.Canvas()->Pixels(0, 1), clBlue);
}

// An RLE8 file decodes into an 8-bit bitmap with its palette.
TEST_F(Bitmap, LoadsRle8Files) {
  const std::uint8_t rle[] = {2, 0, 0, 0,                       // bottom row: two pixels of colour 0, end of line
                              1, 1, 1, 0,                       // top row: colour 1, then colour 0
                              0, 1};                            // end of bitmap
  const std::uint8_t palette[] = {0, 0, 255, 0, 255, 0, 0, 0};  // red, blue
  std::vector<std::uint8_t> file(14 + 40 + sizeof palette + sizeof rle);
  BITMAPFILEHEADER fh{};
  fh.bfType = 0x4D42;
  fh.bfOffBits = DWORD(14 + 40 + sizeof palette);
  fh.bfSize = DWORD(file.size());
  BITMAPINFOHEADER h{};
  h.biSize = 40;
  h.biWidth = 2;
  h.biHeight = 2;
  h.biPlanes = 1;
  h.biBitCount = 8;
  h.biCompression = BI_RLE8;
  h.biSizeImage = sizeof rle;
  h.biClrUsed = 2;
  std::memcpy(file.data(), &fh, sizeof fh);
  std::memcpy(file.data() + 14, &h, sizeof h);
  std::memcpy(file.data() + 54, palette, sizeof palette);
  std::memcpy(file.data() + fh.bfOffBits, rle, sizeof rle);
  TBitmap bmp;
  bmp.LoadFromMemory(file.data(), file.size());
  EXPECT_EQ(bmp.PixelFormat(), pf8bit);
  EXPECT_EQ(bmp.Canvas()->Pixels(0, 1), clRed);
  EXPECT_EQ(bmp.Canvas()->Pixels(1, 1), clRed);
  EXPECT_EQ(bmp.Canvas()->Pixels(0, 0), clBlue);
  EXPECT_EQ(bmp.Canvas()->Pixels(1, 0), clRed);
}

// Broken files raise EInvalidGraphic and leave the bitmap as it was.
TEST_F(Bitmap, RejectsBrokenFiles) {
  TBitmap good;
  good.SetSize(3, 3);
  FillPattern(good);
  const std::vector<std::uint8_t> valid = good.SaveToMemory();
  auto patched = [&](std::size_t offset, std::uint32_t value, int bytes) {
    std::vector<std::uint8_t> f = valid;
    for (int i = 0; i < bytes; ++i) f[offset + i] = std::uint8_t(value >> (8 * i));
    return f;
  };
  const struct {
    const char* Name;
    std::vector<std::uint8_t> File;
  } cases[] = {
      {"empty", {}},
      {"truncated pixels", std::vector<std::uint8_t>(valid.begin(), valid.end() - 4)},
      {"not BM", patched(0, 'X', 1)},
      {"offset beyond end", patched(10, 100000, 4)},
      {"header size too big", patched(14, 5000, 4)},
      {"zero width", patched(18, 0, 4)},
      {"negative width", patched(18, 0xFFFFFFFF, 4)},
      {"huge height", patched(22, 0x7FFFFFFF, 4)},
      {"odd bit count", patched(28, 7, 2)},
      {"jpeg compression", patched(30, BI_JPEG, 4)},
      {"too many colours", patched(46, 300, 4)},
  };
  TBitmap bmp;
  bmp.SetSize(2, 2);
  FillPattern(bmp);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    EXPECT_THROW(bmp.LoadFromMemory(c.File.data(), c.File.size()), EInvalidGraphic);
    EXPECT_EQ(bmp.Width(), 2);
    EXPECT_EQ(bmp.Canvas()->Pixels(1, 1), PatternColor(1, 1));
  }
}

TEST_F(Bitmap, HandleOwnership) {
  TBitmap bmp;
  void* bits = nullptr;
  HBITMAP raw = CreateDib24(3, 2, &bits);
  bmp.SetHandle(raw);
  EXPECT_EQ(bmp.Width(), 3);
  EXPECT_EQ(bmp.Height(), 2);
  EXPECT_EQ(bmp.PixelFormat(), pf24bit);
  // Fetching the handle releases the canvas's DC so the bitmap can be selected elsewhere.
  bmp.Canvas()->SetPixels(0, 0, clRed);
  {
    MemoryDC dc(nullptr);
    HGDIOBJ old = SelectObject(dc, bmp.Handle());
    EXPECT_NE(old, nullptr);
    EXPECT_EQ(GetPixel(dc, 0, 0), COLORREF(clRed));
    SelectObject(dc, old);
  }
  // Released: the caller owns it and the bitmap is empty.
  HBITMAP released = bmp.ReleaseHandle();
  EXPECT_EQ(released, raw);
  EXPECT_TRUE(bmp.Empty());
  EXPECT_EQ(GetObjectType(released), DWORD(OBJ_BITMAP));
  DeleteObject(released);
  // A replaced handle is deleted.
  bmp.SetSize(2, 2);
  HBITMAP first = bmp.Handle();
  bmp.SetSize(3, 3);
  EXPECT_EQ(GetObjectType(first), 0u);
}

TEST_F(Bitmap, DeviceBitmapsConvertForScanLines) {
  TBitmap bmp;
  bmp.SetSize(4, 4);
  bmp.Canvas()->SetPixels(2, 1, clYellow);
  bmp.SetHandleType(bmDDB);
  EXPECT_EQ(bmp.HandleType(), bmDDB);
  EXPECT_EQ(bmp.PixelFormat(), pfDevice);
  EXPECT_EQ(bmp.Canvas()->Pixels(2, 1), clYellow);
  auto* row = static_cast<std::uint8_t*>(bmp.ScanLine(1));
  EXPECT_EQ(bmp.HandleType(), bmDIB);
  EXPECT_EQ(row[6], 0);
  EXPECT_EQ(row[7], 255);
  EXPECT_EQ(row[8], 255);
}

TEST_F(Bitmap, OnChangeFiresForCanvasDrawing) {
  int changes = 0;
  auto counter = [](void* data, TObject*) { ++*static_cast<int*>(data); };
  TBitmap bmp;
  bmp.OnChange = MakeFunctionMethod(+counter, &changes);
  bmp.SetSize(2, 2);
  EXPECT_EQ(changes, 1);
  bmp.Canvas()->FillRect(Rect(0, 0, 1, 1));
  EXPECT_EQ(changes, 2);
  EXPECT_TRUE(bmp.Modified());
}

TEST_F(Bitmap, CreateAssignFreeCyclesLeaveNoHandles) {
  TGdiCounts start = GdiLiveCounts();
  for (int i = 0; i < 20; ++i) {
    auto* a = Create<TBitmap>();
    a->SetSize(10 + i, 5);
    a->Canvas()->Font()->SetStyle(fsBold);
    a->Canvas()->TextOut(0, 0, "x");
    auto* b = Create<TBitmap>();
    b->Assign(a);
    b->SetPixelFormat(i % 2 ? pf8bit : pf32bit);
    b->Canvas()->Rectangle(0, 0, 3, 3);
    a->Assign(b);
    Free(a);
    Free(b);
  }
  EXPECT_EQ(GdiLiveCounts(), start);
}

}  // namespace
