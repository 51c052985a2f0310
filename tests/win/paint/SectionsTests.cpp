// Section and border-mask painting: state frames, filling, transparent parts over the parent's
// image or colour, backgrounds (colour, hot colour, pattern, transparency), regions and corners.
#include "tests/win/paint/PaintTestSupport.h"

using namespace painttest;

namespace {

class Sections : public PaintTest {};

// The nine-piece mask into 40 x 30: each state paints its own frame colour on the edges and, with
// Filling, in the centre; a state past the last frame takes the last one.
TEST_F(Sections, MaskRectPaintsTheStateFrame) {
  const struct { int State, Frame; } cases[] = {{0, 0}, {1, 1}, {2, 2}, {7, 2}, {-3, 0}};
  const int mask = Manager->MaskIndexOf("BUTTON", "BORDERSMASK");
  ASSERT_GE(mask, 0);
  for (const auto& c : cases) {
    TBmpPtr bmp = Bmp(40, 30, clWhite);
    PaintMaskRect(bmp.get(), TRect{0, 0, 40, 30}, true, EmptyCacheInfo, Manager->Mask(mask), c.State, false, Manager);
    const qv::TColorRef want = Frame("BUTTON", "BORDERSMASK", c.Frame);
    for (auto [x, y] : {std::pair{20, 0}, {0, 15}, {39, 15}, {20, 29}, {20, 15}, {5, 5}})
      EXPECT_EQ(Hex(Px(bmp.get(), x, y)), Hex(want)) << "state " << c.State << " at " << x << "," << y;
  }
}

TEST_F(Sections, MaskRectWithoutFillingKeepsTheCentre) {
  TBmpPtr bmp = Bmp(40, 30, TColor(0x123456));
  PaintMaskRectByIndex(bmp.get(), TRect{0, 0, 40, 30}, false, EmptyCacheInfo,
                       Manager->MaskIndexOf("BUTTON", "BORDERSMASK"), 1, false, Manager);
  EXPECT_EQ(Hex(Px(bmp.get(), 20, 15)), Hex(0x123456));
  EXPECT_EQ(Hex(Px(bmp.get(), 20, 0)), Hex(Frame("BUTTON", "BORDERSMASK", 1)));
}

// Key pixels of the frame (top-left run of 1, top-right run of 2) take the parent's image at the
// offset when a cache is used, and keep the bitmap otherwise.
TEST_F(Sections, MaskRectTransparentPartsFromParentCache) {
  TBmpPtr parent = Bmp(100, 100, TColor(0x00AA00));
  FillBmpRect(parent.get(), TRect{10, 20, 11, 21}, TColor(0x0000CC));  // under the control's (0, 0)
  const TsCacheInfo ci = BuildCacheInfo(parent.get(), 10, 20);
  const int mask = Manager->MaskIndexOf("BUTTON", "BORDERSMASK");
  TBmpPtr bmp = Bmp(40, 30, clWhite);
  PaintMaskRect(bmp.get(), TRect{0, 0, 40, 30}, true, ci, Manager->Mask(mask), 0, true, Manager);
  EXPECT_EQ(Hex(Px(bmp.get(), 0, 0)), Hex(0x0000CC));
  EXPECT_EQ(Hex(Px(bmp.get(), 39, 0)), Hex(0x00AA00));
  EXPECT_EQ(Hex(Px(bmp.get(), 38, 0)), Hex(0x00AA00));
  EXPECT_EQ(Hex(Px(bmp.get(), 37, 0)), Hex(Frame("BUTTON", "BORDERSMASK", 0)));

  TBmpPtr plain = Bmp(40, 30, clWhite);
  PaintMaskRect(plain.get(), TRect{0, 0, 40, 30}, true, ci, Manager->Mask(mask), 0, false, Manager);
  EXPECT_EQ(Hex(Px(plain.get(), 0, 0)), Hex(0xFFFFFF)) << "without the cache the key pixels keep the bitmap";
}

TEST_F(Sections, MaskRectClipsAndIgnoresBadInput) {
  const int mask = Manager->MaskIndexOf("BUTTON", "BORDERSMASK");
  TBmpPtr bmp = Bmp(10, 10, clWhite);
  // Partly outside, wholly outside, empty, and a non-24-bit target: nothing breaks.
  PaintMaskRect(bmp.get(), TRect{-20, -20, 5, 5}, true, EmptyCacheInfo, Manager->Mask(mask), 0, false, Manager);
  PaintMaskRect(bmp.get(), TRect{50, 50, 90, 90}, true, EmptyCacheInfo, Manager->Mask(mask), 0, false, Manager);
  PaintMaskRect(bmp.get(), TRect{5, 5, 5, 5}, true, EmptyCacheInfo, Manager->Mask(mask), 0, false, Manager);
  PaintMaskRectByIndex(bmp.get(), TRect{0, 0, 10, 10}, true, EmptyCacheInfo, 9999, 0, false, Manager);
  PaintMaskRectByIndex(bmp.get(), TRect{0, 0, 10, 10}, true, EmptyCacheInfo, -1, 0, false, Manager);
  PaintMaskRect(nullptr, TRect{0, 0, 10, 10}, true, EmptyCacheInfo, Manager->Mask(mask), 0, false, Manager);
  TBmpPtr mono(CreateBmp24(8, 8));
  mono->SetPixelFormat(pf1bit);
  PaintMaskRect(mono.get(), TRect{0, 0, 8, 8}, true, EmptyCacheInfo, Manager->Mask(mask), 0, false, Manager);
  EXPECT_EQ(Hex(Px(bmp.get(), 9, 9)), Hex(0xFFFFFF));
  // A mask with a frame count of 0 divides by nothing.
  qv::TsMaskData broken = Manager->Mask(mask);
  broken.ImageCount = 0;
  PaintMaskRect(bmp.get(), TRect{0, 0, 10, 10}, true, EmptyCacheInfo, broken, 1, false, Manager);
  broken.MaskType = -1;
  PaintMaskRect(bmp.get(), TRect{0, 0, 10, 10}, true, EmptyCacheInfo, broken, 1, false, Manager);
}

// Mask type 1: the mask half decides; its clear pixels show the parent's image.
TEST_F(Sections, MaskTypeOneUsesTheMaskHalf) {
  TBmpPtr parent = Bmp(40, 30, TColor(0x3366AA));
  const int mask = Manager->MaskIndexOf("PANEL", "BORDERSMASK");
  TBmpPtr bmp = Bmp(40, 30, clWhite);
  PaintMaskRect(bmp.get(), TRect{0, 0, 40, 30}, true, BuildCacheInfo(parent.get()), Manager->Mask(mask), 1, true,
                Manager);
  EXPECT_EQ(Hex(Px(bmp.get(), 0, 0)), Hex(0x3366AA));
  EXPECT_EQ(Hex(Px(bmp.get(), 20, 0)), Hex(Frame("PANEL", "BORDERSMASK", 1)));
}

// PaintSectionItem: background in the state's colour, then the border in the state's frame.
TEST_F(Sections, SectionItemStates) {
  for (int state : {0, 1, 2}) {
    TBmpPtr bmp = Bmp(40, 30, clWhite);
    PaintSectionItem(Section("BUTTON"), "BUTTON", EmptyCacheInfo, false, state, TRect{0, 0, 40, 30}, TPoint{0, 0},
                     bmp.get(), Manager);
    const qv::TColorRef back = state == 0 ? SecColor(kButton) : SecHotColor(kButton);
    EXPECT_EQ(Hex(Px(bmp.get(), 20, 15)), Hex(back)) << "centre, state " << state;
    EXPECT_EQ(Hex(Px(bmp.get(), 20, 0)), Hex(Frame("BUTTON", "BORDERSMASK", state))) << "edge, state " << state;
  }
}

// Only R is painted; the offset says where R lies in the parent's image.
TEST_F(Sections, SectionItemInASubRectangle) {
  TBmpPtr parent = Bmp(200, 200, TColor(0x4080C0));
  FillBmpRect(parent.get(), TRect{55, 65, 56, 66}, TColor(0x0A0B0C));
  TBmpPtr bmp = Bmp(60, 50, clWhite);
  PaintSectionItem(Section("BUTTON"), "BUTTON", BuildCacheInfo(parent.get()), true, 0, TRect{10, 10, 50, 40},
                   TPoint{55, 65}, bmp.get(), Manager);
  EXPECT_EQ(Hex(Px(bmp.get(), 9, 9)), Hex(0xFFFFFF)) << "outside R";
  EXPECT_EQ(Hex(Px(bmp.get(), 50, 40)), Hex(0xFFFFFF)) << "outside R";
  EXPECT_EQ(Hex(Px(bmp.get(), 10, 10)), Hex(0x0A0B0C)) << "key pixel over the parent at the offset";
  EXPECT_EQ(Hex(Px(bmp.get(), 30, 10)), Hex(Frame("BUTTON", "BORDERSMASK", 0)));
}

// Without a parent image the transparent corners show the shared parent colour when it is set.
TEST_F(Sections, SectionItemCornersShowTheParentColour) {
  SharedParentColor = TColor(0x00FFFF);
  TBmpPtr bmp = Bmp(40, 30, clWhite);
  PaintSectionItem(Section("BUTTON"), "BUTTON", EmptyCacheInfo, true, 0, TRect{0, 0, 40, 30}, TPoint{0, 0}, bmp.get(),
                   Manager);
  EXPECT_EQ(Hex(Px(bmp.get(), 0, 0)), Hex(0x00FFFF));
  EXPECT_EQ(Hex(Px(bmp.get(), 0, 29)), Hex(0x00FFFF));
}

TEST_F(Sections, SectionItemByIndexesAndMissingSection) {
  TBmpPtr bmp = Bmp(40, 30, clWhite);
  PaintSectionItemByIndexes(Section("PLAIN"), Manager->MaskIndexOf("BUTTON", "BORDERSMASK"), -1, -1, EmptyCacheInfo,
                            false, 2, TRect{0, 0, 40, 30}, TPoint{}, bmp.get(), Manager);
  EXPECT_EQ(Hex(Px(bmp.get(), 20, 15)), Hex(SecHotColor(kPlain)));
  EXPECT_EQ(Hex(Px(bmp.get(), 20, 29)), Hex(Frame("BUTTON", "BORDERSMASK", 2)));

  TBmpPtr untouched = Bmp(10, 10, clWhite);
  PaintSectionItem(-1, "NOSUCH", EmptyCacheInfo, true, 0, TRect{0, 0, 10, 10}, TPoint{}, untouched.get(), Manager);
  PaintSectionItem(9999, "", EmptyCacheInfo, true, 0, TRect{0, 0, 10, 10}, TPoint{}, untouched.get(), Manager);
  EXPECT_EQ(Hex(Px(untouched.get(), 5, 5)), Hex(0xFFFFFF)) << "a missing section paints nothing";
}

// The default manager stands in for a nullptr one.
TEST_F(Sections, SectionItemUsesTheDefaultManager) {
  ASSERT_EQ(DefaultManager, Manager);
  TBmpPtr bmp = Bmp(20, 20, clWhite);
  PaintSectionItem(Section("PLAIN"), "PLAIN", EmptyCacheInfo, true, 0, TRect{0, 0, 20, 20}, TPoint{}, bmp.get());
  EXPECT_EQ(Hex(Px(bmp.get(), 10, 10)), Hex(SecColor(kPlain)));
}

// TRANSPARENCY 50: half the section colour, half the parent's image; hot state opaque.
TEST_F(Sections, BackgroundTransparency) {
  TBmpPtr parent = Bmp(50, 50, TColor(0x204060));
  TBmpPtr bmp = Bmp(20, 20, clWhite);
  PaintSectionBackground(Section("GLASS"), "GLASS", BuildCacheInfo(parent.get()), 0, TRect{0, 0, 20, 20}, TPoint{5, 5},
                         bmp.get(), Manager);
  EXPECT_TRUE(NearMix(Px(bmp.get(), 10, 10), SecColor(kGlass), 0x204060, 0.5)) << Hex(Px(bmp.get(), 10, 10));
  PaintSectionBackground(Section("GLASS"), "GLASS", BuildCacheInfo(parent.get()), 1, TRect{0, 0, 20, 20}, TPoint{5, 5},
                         bmp.get(), Manager);
  EXPECT_EQ(Hex(Px(bmp.get(), 10, 10)), Hex(SecHotColor(kGlass)));
  // No parent image and no parent colour: the section's colour alone.
  PaintSectionBackground(Section("GLASS"), "GLASS", EmptyCacheInfo, 0, TRect{0, 0, 20, 20}, TPoint{}, bmp.get(),
                         Manager);
  EXPECT_EQ(Hex(Px(bmp.get(), 10, 10)), Hex(SecColor(kGlass)));
  SharedParentColor = TColor(0x000000);
  PaintSectionBackground(Section("GLASS"), "GLASS", EmptyCacheInfo, 0, TRect{0, 0, 20, 20}, TPoint{}, bmp.get(),
                         Manager);
  EXPECT_TRUE(NearMix(Px(bmp.get(), 10, 10), SecColor(kGlass), 0x000000, 0.5)) << Hex(Px(bmp.get(), 10, 10));
}

// PATTERN tiles from R's corner; HOTPATTERN in the hot state; FillColor replaces the colour.
TEST_F(Sections, BackgroundPatternAndFillColour) {
  TBmpPtr bmp = Bmp(23, 17, clWhite);
  PaintSectionBackground(Section("TILED"), "TILED", EmptyCacheInfo, 0, TRect{0, 0, 23, 17}, TPoint{}, bmp.get(),
                         Manager);
  const qv::TColorRef normal = Frame("TILED", "PATTERN", 0), hot = Frame("TILED", "HOTPATTERN", 0);
  // Tiles repeat every 5 x 4 pixels; their corner pixels hold the key colour of the test images.
  EXPECT_EQ(Hex(Px(bmp.get(), 2, 2)), Hex(normal));
  EXPECT_EQ(Hex(Px(bmp.get(), 22, 14)), Hex(normal));
  PaintSectionBackground(Section("TILED"), "TILED", EmptyCacheInfo, 2, TRect{0, 0, 23, 17}, TPoint{}, bmp.get(),
                         Manager);
  EXPECT_EQ(Hex(Px(bmp.get(), 2, 2)), Hex(hot));
  PaintSectionBackground(Section("PLAIN"), "PLAIN", EmptyCacheInfo, 0, TRect{0, 0, 23, 17}, TPoint{}, bmp.get(),
                         Manager, -1, -1, TColor(0x010203));
  EXPECT_EQ(Hex(Px(bmp.get(), 2, 2)), Hex(0x010203));
}

// PaintMaskRegion paints the frame and cuts its key pixels out of the region.
TEST_F(Sections, MaskRegionCutsTransparentCorners) {
  TBmpPtr bmp = Bmp(40, 30, clWhite);
  OwnedRegion rgn(CreateRectRgn(0, 0, 40, 30));
  PaintMaskRegion(bmp.get(), rgn, true, Manager->Mask(Manager->MaskIndexOf("BUTTON", "BORDERSMASK")), 1, Manager);
  EXPECT_FALSE(PtInRegion(rgn, 0, 0));
  EXPECT_TRUE(PtInRegion(rgn, 1, 0));
  EXPECT_FALSE(PtInRegion(rgn, 38, 0));
  EXPECT_FALSE(PtInRegion(rgn, 39, 0));
  EXPECT_FALSE(PtInRegion(rgn, 36, 29)) << "bottom-right run of 4";
  EXPECT_TRUE(PtInRegion(rgn, 35, 29));
  EXPECT_TRUE(PtInRegion(rgn, 20, 15));
  EXPECT_EQ(Hex(Px(bmp.get(), 20, 0)), Hex(Frame("BUTTON", "BORDERSMASK", 1)));
  // The markers 0 and 1 (no region / region pending) are not regions.
  PaintMaskRegion(bmp.get(), nullptr, true, Manager->Mask(Manager->MaskIndexOf("BUTTON", "BORDERSMASK")), 1, Manager);
  PaintMaskRegion(bmp.get(), reinterpret_cast<HRGN>(1), true,
                  Manager->Mask(Manager->MaskIndexOf("BUTTON", "BORDERSMASK")), 1, Manager);
}

TEST_F(Sections, CornerRectsForAWindow) {
  std::vector<TRect> rects;
  CollectCornerRects(rects, 100, Manager->Mask(Manager->MaskIndexOf("BUTTON", "BORDERSMASK")), false, 0, Manager);
  ASSERT_EQ(rects.size(), 2u);
  EXPECT_EQ(rects[0], (TRect{0, 0, 1, 1}));
  EXPECT_EQ(rects[1], (TRect{98, 0, 100, 1}));
}

// RepaintCacheCorners: the key pixels of the corners get the parent's colour (no parent cache),
// the rest of the corner the frame; corners not chosen stay as they were.
TEST_F(Sections, RepaintCacheCornersOverTheParent) {
  qvtest::TTestHost host;
  host.Control()->SetColor(TColor(0x00C000));
  auto* c = Create<qvtest::TTestSkinControl>(host.Control(), tcButton);
  c->SetParent(host.Control());
  c->SetBounds(10, 10, 40, 30);
  c->SkinData->InitCacheBmp();
  ASSERT_TRUE(c->SkinData->Skinned()) << c->SkinData->SkinSection();
  FillBmpRect(c->SkinData->CacheBmp, TRect{0, 0, 40, 30}, TColor(0x777777));
  RepaintCacheCorners(c->SkinData, 2, 1 | 8);
  TBitmap* cache = c->SkinData->CacheBmp;
  EXPECT_EQ(Hex(Px(cache, 0, 0)), Hex(0x00C000));
  EXPECT_EQ(Hex(Px(cache, 1, 0)), Hex(Frame("BUTTON", "BORDERSMASK", 2)));
  EXPECT_EQ(Hex(Px(cache, 39, 29)), Hex(0x00C000));
  EXPECT_EQ(Hex(Px(cache, 39, 0)), Hex(0x777777)) << "top-right not chosen";
  RepaintAllCacheCorners(c->SkinData, 0);
  EXPECT_EQ(Hex(Px(cache, 39, 0)), Hex(0x00C000));
  EXPECT_EQ(Hex(Px(cache, 37, 0)), Hex(Frame("BUTTON", "BORDERSMASK", 0)));
  c->Free();
}

// ---- Looks ---------------------------------------------------------------------------------------

TEST_F(Sections, DisabledLookGreyedAndBlended) {
  TBmpPtr bmp = Bmp(10, 10, TColor(0x2080F0));
  ApplyDisabledLook(bmp.get(), TsDisabledKind{dkGrayed}, nullptr, EmptyCacheInfo, TPoint{});
  const qv::TColorRef g = Px(bmp.get(), 5, 5);
  EXPECT_EQ(g & 0xFF, (g >> 8) & 0xFF);
  EXPECT_EQ(g & 0xFF, (g >> 16) & 0xFF);

  // Blended with the parent's image at the offset: 40 % of the control stays.
  TBmpPtr parent = Bmp(30, 30, TColor(0x000000));
  FillBmpRect(parent.get(), TRect{5, 5, 15, 15}, TColor(0xFFFFFF));
  TBmpPtr own = Bmp(10, 10, TColor(0x000000));
  ApplyDisabledLook(own.get(), TsDisabledKind{dkBlended}, nullptr, BuildCacheInfo(parent.get()), TPoint{5, 5});
  EXPECT_TRUE(NearMix(Px(own.get(), 0, 0), 0x000000, 0xFFFFFF, 0.4)) << Hex(Px(own.get(), 0, 0));
  EXPECT_TRUE(NearMix(Px(own.get(), 9, 9), 0x000000, 0xFFFFFF, 0.4)) << Hex(Px(own.get(), 9, 9));

  // No parent image: half and half with the parent's colour.
  qvtest::TTestHost host;
  host.Control()->SetColor(TColor(0xFFFFFF));
  TBmpPtr lone = Bmp(4, 4, TColor(0x000000));
  ApplyDisabledLook(lone.get(), TsDisabledKind{dkBlended}, host.Control(), EmptyCacheInfo, TPoint{});
  EXPECT_TRUE(NearMix(Px(lone.get(), 1, 1), 0x000000, 0xFFFFFF, 0.5)) << Hex(Px(lone.get(), 1, 1));

  TBmpPtr same = Bmp(4, 4, TColor(0x123456));
  ApplyDisabledLook(same.get(), TsDisabledKind{}, host.Control(), EmptyCacheInfo, TPoint{});
  EXPECT_EQ(Hex(Px(same.get(), 1, 1)), Hex(0x123456)) << "no kind: no change";
}

// Glyph frames: up, disabled, down; the key colour stays transparent; blend and grey while not hot.
TEST_F(Sections, GlyphFrameChoiceAndLooks) {
  TBmpPtr glyph = Bmp(12, 4, TColor(0x0000FF));                    // frame 0 red
  FillBmpRect(glyph.get(), TRect{4, 0, 8, 4}, TColor(0x00FF00));   // frame 1 green (disabled)
  FillBmpRect(glyph.get(), TRect{8, 0, 12, 4}, TColor(0xFF0000));  // frame 2 blue (down)
  FillBmpRect(glyph.get(), TRect{0, 0, 1, 1}, TColor(0xFF00FF));   // key pixel in frame 0
  auto paint = [&](bool enabled, int state, bool down, bool grayed, int blend, TsDisabledGlyphKind kind) {
    TBmpPtr bmp = Bmp(10, 10, TColor(0xFFFFFF));
    PaintGlyphFrame(glyph.get(), bmp.get(), TRect{2, 2, 6, 6}, 3, enabled, grayed, kind, state, blend, down);
    return bmp;
  };
  {
    TBmpPtr b = paint(true, 1, false, false, 0, {});
    EXPECT_EQ(Hex(Px(b.get(), 3, 3)), Hex(0x0000FF));
    EXPECT_EQ(Hex(Px(b.get(), 2, 2)), Hex(0xFFFFFF)) << "key pixel transparent";
    EXPECT_EQ(Hex(Px(b.get(), 6, 6)), Hex(0xFFFFFF)) << "outside R";
  }
  EXPECT_EQ(Hex(Px(paint(true, 2, false, false, 0, {}).get(), 3, 3)), Hex(0xFF0000));
  EXPECT_EQ(Hex(Px(paint(true, 0, true, false, 0, {}).get(), 3, 3)), Hex(0xFF0000));
  EXPECT_EQ(Hex(Px(paint(false, 0, false, false, 0, {}).get(), 3, 3)), Hex(0x00FF00));
  EXPECT_TRUE(NearMix(Px(paint(false, 0, false, false, 0, {dgBlended}).get(), 3, 3), 0xFFFFFF, 0x00FF00, 0.5));
  EXPECT_TRUE(NearMix(Px(paint(true, 0, false, false, 30, {}).get(), 3, 3), 0xFFFFFF, 0x0000FF, 0.3));
  EXPECT_EQ(Hex(Px(paint(true, 1, false, false, 30, {}).get(), 3, 3)), Hex(0x0000FF)) << "hot: no blend";
  const qv::TColorRef grey = Px(paint(true, 0, false, true, 0, {}).get(), 3, 3);
  EXPECT_EQ(grey & 0xFF, (grey >> 8) & 0xFF) << Hex(grey);
  // Bad frame counts and an empty glyph paint safely.
  TBmpPtr bmp = Bmp(10, 10, TColor(0xFFFFFF));
  PaintGlyphFrame(glyph.get(), bmp.get(), TRect{0, 0, 10, 10}, 0, true, false, {}, 0, 0, false);
  PaintGlyphFrame(glyph.get(), bmp.get(), TRect{0, 0, 10, 10}, 99, true, false, {}, 0, 0, false);
  TBmpPtr empty(CreateBmp24(0, 0));
  PaintGlyphFrame(empty.get(), bmp.get(), TRect{0, 0, 10, 10}, 1, true, false, {}, 0, 0, false);
}

TEST_F(Sections, FocusDotsFrameAndBorderCopy) {
  TBmpPtr bmp = Bmp(20, 20, TColor(0x808080));
  DrawFocusDots(bmp->Canvas(), TRect{3, 3, 15, 15});
  EXPECT_EQ(Hex(Px(bmp.get(), 3, 3)), Hex(0x000000));
  EXPECT_EQ(Hex(Px(bmp.get(), 2, 2)), Hex(0xFFFFFF));
  EXPECT_EQ(Hex(Px(bmp.get(), 6, 3)), Hex(0x000000));
  EXPECT_EQ(Hex(Px(bmp.get(), 4, 3)), Hex(0x808080));
  EXPECT_EQ(Hex(Px(bmp.get(), 14, 6)), Hex(0x000000));
  EXPECT_EQ(Hex(Px(bmp.get(), 8, 8)), Hex(0x808080));

  TBmpPtr frame = Bmp(10, 10, TColor(0x808080));
  TRect r{0, 0, 10, 10};
  int width = 2;
  frame->Canvas()->Lock();
  PaintFrame3D(frame->Canvas()->Handle(), r, TColor(0xFFFFFF), TColor(0x000000), width);
  frame->Canvas()->Unlock();
  EXPECT_EQ(r, (TRect{2, 2, 8, 8}));
  EXPECT_EQ(Hex(Px(frame.get(), 0, 5)), Hex(0xFFFFFF));
  EXPECT_EQ(Hex(Px(frame.get(), 1, 1)), Hex(0xFFFFFF));
  EXPECT_EQ(Hex(Px(frame.get(), 9, 5)), Hex(0x000000));
  EXPECT_EQ(Hex(Px(frame.get(), 5, 8)), Hex(0x000000));
  EXPECT_EQ(Hex(Px(frame.get(), 5, 5)), Hex(0x808080));

  TBmpPtr src = Bmp(10, 10, TColor(0x0000FF));
  TBmpPtr dst = Bmp(10, 10, TColor(0x00FF00));
  src->Canvas()->Lock();
  dst->Canvas()->Lock();
  BitBltBorder(dst->Canvas()->Handle(), 0, 0, 10, 10, src->Canvas()->Handle(), 0, 0, 2);
  src->Canvas()->Unlock();
  dst->Canvas()->Unlock();
  for (auto [x, y] : {std::pair{0, 0}, {1, 5}, {9, 9}, {8, 4}, {5, 1}, {5, 8}})
    EXPECT_EQ(Hex(Px(dst.get(), x, y)), Hex(0x0000FF)) << x << "," << y;
  for (auto [x, y] : {std::pair{2, 2}, {5, 5}, {7, 7}})
    EXPECT_EQ(Hex(Px(dst.get(), x, y)), Hex(0x00FF00)) << x << "," << y;
}

// ---- Text ----------------------------------------------------------------------------------------

struct TTextCase {
  const char* Name;
  bool Enabled, Hot;
};

class SectionsText : public PaintTest, public ::testing::WithParamInterface<TTextCase> {};

int CountColor(TBitmap* b, qv::TColorRef c) {
  int n = 0;
  for (int y = 0; y < b->Height(); ++y)
    for (int x = 0; x < b->Width(); ++x) n += Px(b, x, y) == c;
  return n;
}

// The text shows in the section's font colour of its state (disabled: mixed with the background
// at 0.4), and in no other state's colour.
TEST_P(SectionsText, ColoursPerState) {
  const TTextCase& tc = GetParam();
  const qv::TColorRef font = SecColor(kPlain) ^ 0x808080, hotFont = SecColor(kPlain) ^ 0xC0C0C0;
  const qv::TColorRef text = tc.Hot ? hotFont : font;
  const qv::TColorRef back = tc.Hot ? SecHotColor(kPlain) : SecColor(kPlain);
  const qv::TColorRef want = tc.Enabled ? text : qv::MixColors(text, back, 0.4);
  const qv::TColorRef others[] = {font, hotFont, qv::MixColors(font, SecColor(kPlain), 0.4),
                                  qv::MixColors(hotFont, SecHotColor(kPlain), 0.4)};
  TBmpPtr bmp = Bmp(120, 40, TColor(0xFFFFFF));
  bmp->Canvas()->Font()->SetHeight(-24);
  bmp->Canvas()->Font()->SetStyle(TFontStyles{fsBold});
  DrawSectionText(bmp->Canvas(), "WMW", tc.Enabled, TRect{0, 0, 120, 40}, DT_CENTER | DT_VCENTER | DT_SINGLELINE,
                  Section("PLAIN"), tc.Hot, Manager);
  EXPECT_GT(CountColor(bmp.get(), want), 20) << tc.Name;
  for (qv::TColorRef o : others)
    if (o != want) {
      EXPECT_EQ(CountColor(bmp.get(), o), 0) << tc.Name << ": colour " << Hex(o);
    }
}

INSTANTIATE_TEST_SUITE_P(States, SectionsText,
                         ::testing::Values(TTextCase{"normal", true, false}, TTextCase{"hot", true, true},
                                           TTextCase{"disabled", false, false}, TTextCase{"disabled hot", false, true}),
                         [](const auto& info) {
                           return std::string(info.param.Hot ? "Hot" : "Normal") +
                                  (info.param.Enabled ? "Enabled" : "Disabled");
                         });

// Outline copies are drawn around the text in their own colours.
class SectionsOutline : public PaintTest {
  void Customize(qvtest::TSkinBuilder& b) override { b.Key("PLAIN", "FONTCOLOR", "#102030 #FF0000 none none none"); }
};

int LeftmostInk(TBitmap* b) {
  for (int x = 0; x < b->Width(); ++x)
    for (int y = 0; y < b->Height(); ++y)
      if (Px(b, x, y) != 0xFFFFFF) return x;
  return -1;
}

TEST_F(SectionsOutline, LeftCopyBesideTheText) {
  auto draw = [&](const char* section) {
    TBmpPtr bmp = Bmp(120, 40, TColor(0xFFFFFF));
    bmp->Canvas()->Font()->SetHeight(-24);
    DrawSectionText(bmp->Canvas(), "III", true, TRect{0, 0, 120, 40}, DT_CENTER | DT_VCENTER | DT_SINGLELINE,
                    Section(section), false, Manager);
    return bmp;
  };
  TBmpPtr outlined = draw("PLAIN"), plain = draw("BUTTON");
  ASSERT_GE(LeftmostInk(plain.get()), 1);
  EXPECT_EQ(LeftmostInk(outlined.get()), LeftmostInk(plain.get()) - 1) << "the left copy lies one pixel left";
  EXPECT_GT(CountColor(outlined.get(), 0x302010), 0);
}

TEST_F(Sections, ControlTextWithoutSkinUsesTheFontColour) {
  qvtest::TTestHost host;
  auto* c = Create<qvtest::TTestSkinControl>(host.Control(), tcPanel);
  c->SkinData->SetSkinSection("NOSUCHSECTION");
  ASSERT_FALSE(c->SkinData->Skinned());
  c->SetColor(TColor(0xFFFFFF));
  TBmpPtr bmp = Bmp(120, 40, TColor(0xFFFFFF));
  bmp->Canvas()->Font()->SetHeight(-24);
  bmp->Canvas()->Font()->SetColor(TColor(0x000000));
  DrawControlText(bmp->Canvas(), "WMW", false, TRect{0, 0, 120, 40}, DT_CENTER | DT_VCENTER | DT_SINGLELINE,
                  c->SkinData, false);
  EXPECT_GT(CountColor(bmp.get(), qv::MixColors(0x000000, 0xFFFFFF, 0.4)), 20);
  EXPECT_EQ(CountColor(bmp.get(), 0x000000), 0);
  c->Free();
}

// CutTextToWidth on a real canvas.
TEST_F(Sections, CutTextToWidthOnACanvas) {
  TBmpPtr bmp = Bmp(10, 10, clWhite);
  TCanvas* c = bmp->Canvas();
  const std::string text = "Skinned controls";
  const int full = c->TextWidth(text), dots = c->TextWidth("...");
  EXPECT_EQ(CutTextToWidth(c, text, full), text);
  EXPECT_EQ(CutTextToWidth(c, text, 0), "");
  EXPECT_EQ(CutTextToWidth(c, text, -1), "");
  EXPECT_EQ(CutTextToWidth(c, text, dots), "...");
  EXPECT_EQ(CutTextToWidth(c, text, dots - 1), "") << "even the dots do not fit";
  const std::string cut = CutTextToWidth(c, text, full - 1);
  ASSERT_GE(cut.size(), 3u);
  EXPECT_EQ(cut.substr(cut.size() - 3), "...");
  EXPECT_LE(c->TextWidth(cut), full - 1);
  EXPECT_EQ(text.compare(0, cut.size() - 3, cut, 0, cut.size() - 3), 0) << "a head of the text";
  EXPECT_EQ(CutTextToWidth(c, "", 5), "");
}

TEST_F(Sections, AlignmentFlagsFollowReadingOrder) {
  qvtest::TTestHost host;
  TControl* c = host.Control();
  EXPECT_EQ(AlignmentDrawFlags(c, taLeftJustify), UINT(DT_LEFT));
  EXPECT_EQ(AlignmentDrawFlags(c, taRightJustify), UINT(DT_RIGHT));
  EXPECT_EQ(AlignmentDrawFlags(c, taCenter), UINT(DT_CENTER));
  c->SetBiDiMode(bdRightToLeft);
  EXPECT_EQ(AlignmentDrawFlags(c, taLeftJustify) & (DT_RIGHT | DT_LEFT), UINT(DT_RIGHT));
  EXPECT_GT(GetCaptionFontHeight(), 0);
}

// The four layouts through the Windows wrapper (reading order from the bi-di flags).
TEST_F(Sections, GlyphTextLayoutWrapper) {
  const struct {
    TButtonLayout Layout;
    UINT BiDi;
    TPoint Glyph;
    int TextLeft, TextTop;
  } cases[] = {
      {blGlyphLeft, 0, {25, 12}, 45, 15},
      {blGlyphRight, 0, {59, 12}, 25, 15},
      {blGlyphTop, 0, {42, 5}, 35, 25},
      {blGlyphBottom, 0, {42, 19}, 35, 5},
      {blGlyphLeft, DT_RTLREADING, {59, 12}, 25, 15},
  };
  for (const auto& c : cases) {
    TPoint g;
    TRect t;
    CalcGlyphTextLayout(TRect{0, 0, 100, 40}, TSize{16, 16}, TSize{30, 10}, c.Layout, taCenter, -1, 4, g, t, c.BiDi);
    EXPECT_EQ(g, c.Glyph) << int(c.Layout);
    EXPECT_EQ(t.Left, c.TextLeft) << int(c.Layout);
    EXPECT_EQ(t.Top, c.TextTop) << int(c.Layout);
  }
}

}  // namespace
