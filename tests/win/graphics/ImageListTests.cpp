// Image lists and icons.
#include "classlib/ImgList.h"
#include "classlib/core/DisabledLook.h"
#include "tests/win/graphics/LeakCheck.h"

namespace {

using ImageList = GraphicsTest;

// A 6 x 6 glyph: a fuchsia border (the key) around a red 4 x 4 square with a white centre.
void MakeGlyph(TBitmap& bmp) {
  bmp.SetSize(6, 6);
  TCanvas* c = bmp.Canvas();
  c->Brush()->SetColor(clFuchsia);
  c->FillRect(Rect(0, 0, 6, 6));
  c->Brush()->SetColor(clRed);
  c->FillRect(Rect(1, 1, 5, 5));
  c->Brush()->SetColor(clWhite);
  c->FillRect(Rect(2, 2, 4, 4));
}

TColor GrayOf(TColor c) { return TColor(qv::ColorOf(qv::DisabledGray(qv::BgrOf(c)))); }

TEST_F(ImageList, AddMaskedDrawsEnabledAndDisabled) {
  auto* list = Create<TImageList>(nullptr);
  list->SetSize(6, 6);
  TBitmap glyph;
  MakeGlyph(glyph);
  EXPECT_EQ(list->AddMasked(&glyph, clFuchsia), 0);
  EXPECT_EQ(list->AddMasked(&glyph, clDefault), 1);  // bottom-left pixel: fuchsia
  EXPECT_EQ(list->Count(), 2);
  // The source bitmap is left as it was.
  EXPECT_EQ(glyph.Canvas()->Pixels(0, 0), clFuchsia);

  TBitmap target;
  target.SetSize(20, 10);
  target.Canvas()->Brush()->SetColor(clLime);
  target.Canvas()->FillRect(Rect(0, 0, 20, 10));
  list->Draw(target.Canvas(), 0, 0, 0, true);
  list->Draw(target.Canvas(), 10, 0, 1, false);
  TCanvas* c = target.Canvas();
  const struct {
    int X, Y;
    TColor Color;
  } probes[] = {
      {0, 0, clLime},  {1, 1, clRed},          {2, 2, clWhite},          {5, 5, clLime},   // enabled
      {10, 0, clLime}, {11, 1, GrayOf(clRed)}, {12, 2, GrayOf(clWhite)}, {15, 5, clLime},  // disabled
  };
  for (const auto& p : probes)
    EXPECT_EQ(c->Pixels(p.X, p.Y), p.Color) << p.X << "," << p.Y << " " << ColorToString(c->Pixels(p.X, p.Y));
  // A bad index draws nothing.
  list->Draw(c, 0, 0, 7);
  EXPECT_EQ(c->Pixels(0, 0), clLime);
  Free(list);
}

TEST_F(ImageList, AddWithMaskAndGetBitmap) {
  auto* list = Create<TImageList>(nullptr);
  list->SetSize(6, 6);
  TBitmap glyph;
  MakeGlyph(glyph);
  TBitmap mask;
  mask.SetSize(6, 6);
  mask.Canvas()->Brush()->SetColor(clWhite);
  mask.Canvas()->FillRect(Rect(0, 0, 6, 6));
  mask.Canvas()->Brush()->SetColor(clBlack);
  mask.Canvas()->FillRect(Rect(2, 2, 4, 4));  // only the centre is opaque
  EXPECT_EQ(list->Add(&glyph, &mask), 0);
  list->SetBkColor(clBlue);
  TBitmap out;
  ASSERT_TRUE(list->GetBitmap(0, &out));
  EXPECT_EQ(out.Width(), 6);
  EXPECT_EQ(out.Canvas()->Pixels(2, 2), clWhite);
  EXPECT_EQ(out.Canvas()->Pixels(1, 1), clBlue);
  EXPECT_FALSE(list->GetBitmap(1, &out));
  // A bitmap twice as wide adds two images.
  TBitmap wide;
  wide.SetSize(12, 6);
  EXPECT_EQ(list->Add(&wide, nullptr), 1);
  EXPECT_EQ(list->Count(), 3);
  list->Delete(0);
  EXPECT_EQ(list->Count(), 2);
  EXPECT_THROW(list->Delete(5), EInvalidOperation);
  list->Clear();
  EXPECT_EQ(list->Count(), 0);
  Free(list);
}

TEST_F(ImageList, ChangesAndResizing) {
  int changes = 0;
  auto counter = [](void* data, TObject*) { ++*static_cast<int*>(data); };
  auto* list = Create<TImageList>(nullptr);
  list->OnChange = MakeFunctionMethod(+counter, &changes);
  TBitmap glyph;
  glyph.SetSize(16, 16);
  list->Add(&glyph, nullptr);
  EXPECT_EQ(changes, 1);
  list->SetWidth(8);  // a new size empties the list
  EXPECT_EQ(list->Count(), 0);
  EXPECT_EQ(changes, 2);
  auto* copy = Create<TImageList>(nullptr);
  list->SetSize(16, 16);
  list->Add(&glyph, nullptr);
  copy->Assign(list);
  EXPECT_EQ(copy->Count(), 1);
  EXPECT_NE(copy->Handle(), list->Handle());
  Free(copy);
  Free(list);
}

TEST_F(ImageList, OwnedByItsComponentOwner) {
  auto* owner = Create<TComponent>(nullptr);
  auto* list = Create<TImageList>(owner);
  list->Handle();
  EXPECT_EQ(GdiLiveCounts().ImageLists, 1);
  Free(owner);  // frees the list and its handle
}

TEST_F(ImageList, IconsAreOwnedAndAdded) {
  TIcon icon;
  icon.SetHandle(CopyIcon(LoadIconA(nullptr, MAKEINTRESOURCEA(32512) /* IDI_APPLICATION */)));
  EXPECT_GT(icon.Width(), 0);
  EXPECT_GT(icon.Height(), 0);
  TIcon copy;
  copy.Assign(&icon);
  EXPECT_NE(copy.Handle(), icon.Handle());
  EXPECT_EQ(copy.Width(), icon.Width());
  auto* list = Create<TImageList>(nullptr);
  list->SetSize(icon.Width(), icon.Height());
  EXPECT_EQ(list->AddIcon(&icon), 0);
  TBitmap bmp;
  bmp.SetSize(icon.Width(), icon.Height());
  bmp.Canvas()->Draw(0, 0, &icon);
  Free(list);
  HICON released = copy.ReleaseHandle();
  EXPECT_TRUE(copy.Empty());
  DestroyIcon(released);
}

}  // namespace
