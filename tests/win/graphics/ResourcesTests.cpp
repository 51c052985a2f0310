// Bitmaps and icons loaded from a module's resources, checked against the system's own loader.
#include "classlib/GdiScopes.h"
#include "tests/win/graphics/LeakCheck.h"

namespace {

using Resources = GraphicsTest;

// The system's close-button bitmap (OBM_CLOSE) is a bitmap resource of user32.
constexpr int kCloseBitmap = 32754;

TEST_F(Resources, BitmapResourceMatchesTheSystemLoader) {
  HINSTANCE user32 = GetModuleHandleA("user32.dll");
  ASSERT_NE(nullptr, user32);
  GdiObject<HBITMAP> reference(static_cast<HBITMAP>(
      LoadImageA(user32, MAKEINTRESOURCEA(kCloseBitmap), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
  ASSERT_NE(nullptr, reference);
  BITMAP bm{};
  GetObjectA(reference, sizeof bm, &bm);

  TBitmap b;
  b.LoadFromResourceID(user32, kCloseBitmap);
  ASSERT_EQ(bm.bmWidth, b.Width());
  ASSERT_EQ(bm.bmHeight, b.Height());
  int mismatches = 0;
  {
    MemoryDC dc(nullptr, reference);
    for (int y = 0; y < b.Height(); ++y)
      for (int x = 0; x < b.Width(); ++x)
        if (static_cast<COLORREF>(b.Canvas()->Pixels(x, y)) != GetPixel(dc, x, y)) ++mismatches;
  }
  EXPECT_EQ(0, mismatches);
  b.Canvas()->Refresh();
}

TEST_F(Resources, MissingResourceRaisesAndKeepsTheImage) {
  TBitmap b;
  b.SetSize(3, 2);
  b.Canvas()->SetPixels(1, 1, clRed);
  EXPECT_THROW(b.LoadFromResourceName(GetModuleHandleA(nullptr), "NO_SUCH_BITMAP"), EInvalidGraphic);
  EXPECT_THROW(b.LoadFromResourceID(GetModuleHandleA(nullptr), 32000), EInvalidGraphic);
  EXPECT_EQ(3, b.Width());
  EXPECT_EQ(2, b.Height());
  EXPECT_EQ(clRed, b.Canvas()->Pixels(1, 1));
  TIcon i;
  EXPECT_THROW(i.LoadFromResourceName(GetModuleHandleA(nullptr), "NO_SUCH_ICON", 16, 16), EInvalidGraphic);
  EXPECT_TRUE(i.Empty());
}

}  // namespace
