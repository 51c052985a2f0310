// The painting helpers: image-list items, text measuring, bitmaps, colours and keyed blends.
#include "tests/win/paint/PaintTestSupport.h"

#include "classlib/ImgList.h"

using namespace painttest;

namespace {

class GraphHelpers : public PaintTest {};

TEST_F(GraphHelpers, ImageListItemIntoABitmap) {
  auto* list = Create<TCustomImageList>(nullptr);
  list->SetSize(8, 6);
  TBmpPtr img = Bmp(8, 6, TColor(0x00FF00));
  ASSERT_EQ(list->Add(img.get(), nullptr), 0);
  TBmpPtr out(CreateBmp24(1, 1));
  EXPECT_TRUE(ImageListItemToBmp(out.get(), list, 0));
  EXPECT_EQ(out->Width(), 8);
  EXPECT_EQ(out->Height(), 6);
  EXPECT_EQ(Hex(Px(out.get(), 3, 3)), Hex(0x00FF00));
  EXPECT_FALSE(ImageListItemToBmp(out.get(), list, 1));
  EXPECT_FALSE(ImageListItemToBmp(out.get(), list, -1));
  EXPECT_FALSE(ImageListItemToBmp(out.get(), nullptr, 0));
  list->Free();
}

TEST_F(GraphHelpers, TextExtentAndDrawTextStr) {
  auto* font = Create<TFont>();
  font->SetHeight(-20);
  TSize small, big;
  TextExtentWithFont(font, "Wide text", big);
  font->SetHeight(-10);
  TextExtentWithFont(font, "Wide text", small);
  EXPECT_GT(big.cx, small.cx);
  EXPECT_GT(big.cy, small.cy);
  TSize none;
  TextExtentWithFont(font, "", none);
  EXPECT_EQ(none.cx, 0);
  font->Free();

  TBmpPtr bmp = Bmp(10, 10, clWhite);
  TRect r{0, 0, 0, 0};
  DrawTextStr(bmp->Canvas()->Handle(), "Measured", r, DT_CALCRECT | DT_SINGLELINE);
  EXPECT_EQ(r.Width(), bmp->Canvas()->TextWidth("Measured"));
}

TEST_F(GraphHelpers, BitmapHelpers) {
  TBmpPtr a(CreateBmp24(7, 5));
  EXPECT_EQ(a->PixelFormat(), pf24bit);
  TBmpPtr b(CreateBmpLike(a.get()));
  EXPECT_EQ(b->Width(), 7);
  EXPECT_EQ(b->Height(), 5);
  TBmpPtr none(CreateBmp24(-3, -3));
  EXPECT_TRUE(none->Empty());
  EXPECT_EQ(MakeColorKey(clFuchsia), TColor(0xFF00FF));
  EXPECT_EQ(ClampToByte(300), 255);
  EXPECT_EQ(ClampToByte(-1), 0);
  EXPECT_EQ(AverageColor(TColor(0x000000), TColor(0xFEFEFE)), TColor(0x7F7F7F));
  EXPECT_EQ(MixColors(TColor(0xFFFFFF), TColor(0x000000), 1.0), TColor(0xFFFFFF));
  // Copies and blends between different sizes stay inside both bitmaps.
  TBmpPtr big = Bmp(30, 30, TColor(0x00FF00)), tiny = Bmp(5, 5, TColor(0xFF00FF));
  CopyTransparent(big.get(), tiny.get(), 28, 28, TColor(0xFF00FF));
  CopyTransparent(tiny.get(), big.get(), -10, -10, TColor(0xFF00FF));
  BlendBitmaps(big.get(), tiny.get(), 999);
  BlendBitmapRect(tiny.get(), big.get(), -5, TRect{-10, -10, 100, 100}, TPoint{-3, 2});
  BlendColorRect(tiny.get(), TRect{-5, -5, 50, 50}, 150, TColor(0x000000));
  // The copy filled the small bitmap green; opacity 0 and a percent above 100 keep it.
  EXPECT_EQ(Hex(Px(tiny.get(), 4, 4)), Hex(0x00FF00));
  TRect wa;
  EXPECT_TRUE(GetDesktopWorkArea(wa));
  EXPECT_FALSE(wa.IsEmpty());
}

TEST_F(GraphHelpers, KeyedBlendWithoutKeyAndSystemColours) {
  TBmpPtr dst = Bmp(4, 4, TColor(0xFFFFFF)), src = Bmp(4, 4, TColor(0x000000));
  BlendRectKeyed(dst.get(), 0, 0, src.get(), TRect{0, 0, 4, 4}, 0.5, clNone);
  EXPECT_TRUE(NearMix(Px(dst.get(), 1, 1), 0xFFFFFF, 0x000000, 0.5)) << "clNone: no key, black blended too";
  TBmpPtr dst2 = Bmp(4, 4, TColor(0xFFFFFF));
  BlendRectKeyed(dst2.get(), 0, 0, src.get(), TRect{0, 0, 4, 4}, 0.5, TColor(0x000000));
  EXPECT_EQ(Hex(Px(dst2.get(), 1, 1)), Hex(0xFFFFFF)) << "black as key: skipped";
  EXPECT_EQ(MixColors(clBtnFace, clBtnFace, 0.3), TColor(ColorToRGB(clBtnFace)));
}

}  // namespace
