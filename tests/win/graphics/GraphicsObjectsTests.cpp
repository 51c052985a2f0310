// TFont, TBrush and TPen: attributes, their handles and when they are made anew.
#include "tests/win/graphics/LeakCheck.h"

namespace {

using GraphicsObjects = GraphicsTest;

TEST_F(GraphicsObjects, FontAttributesAndSize) {
  TFont f;
  EXPECT_EQ(f.Name(), "Tahoma");
  EXPECT_EQ(f.Size(), 8);
  f.SetSize(12);
  EXPECT_EQ(f.Height(), -MulDiv(12, f.PixelsPerInch(), 72));
  f.SetStyle(TFontStyles{fsBold, fsUnderline});
  LOGFONTA lf{};
  ASSERT_EQ(GetObjectA(f.Handle(), sizeof lf, &lf), int(sizeof lf));
  EXPECT_EQ(lf.lfWeight, FW_BOLD);
  EXPECT_TRUE(lf.lfUnderline);
  EXPECT_FALSE(lf.lfItalic);
  EXPECT_EQ(lf.lfHeight, f.Height());
  EXPECT_STREQ(lf.lfFaceName, "Tahoma");
  f.SetOrientation(900);
  ASSERT_EQ(GetObjectA(f.Handle(), sizeof lf, &lf), int(sizeof lf));
  EXPECT_EQ(lf.lfEscapement, 900);
  EXPECT_EQ(lf.lfOrientation, 900);
}

TEST_F(GraphicsObjects, FontHandleRecreatedOnChangeAndNeverShared) {
  TFont a;
  HFONT h1 = a.Handle();
  EXPECT_EQ(a.Handle(), h1);  // kept while nothing changes
  a.SetName("Arial");
  HFONT h2 = a.Handle();
  EXPECT_NE(h1, h2);
  EXPECT_EQ(GetObjectType(h1), 0u);
  // A colour change keeps the handle (colour is not part of the font).
  a.SetColor(clRed);
  EXPECT_EQ(a.Handle(), h2);
  TFont b;
  b.Assign(&a);
  EXPECT_EQ(b.Name(), "Arial");
  EXPECT_EQ(b.Color(), clRed);
  EXPECT_NE(b.Handle(), a.Handle());
  // Same attributes set separately: still separate handles.
  TFont c;
  c.SetName("Arial");
  EXPECT_NE(c.Handle(), a.Handle());
}

TEST_F(GraphicsObjects, FontOnChangeFiresOncePerChange) {
  int changes = 0;
  auto counter = [](void* data, TObject*) { ++*static_cast<int*>(data); };
  TFont f;
  f.OnChange = MakeFunctionMethod(+counter, &changes);
  f.SetSize(10);
  f.SetSize(10);
  f.SetStyle(fsItalic);
  TFont g;
  g.SetName("Arial");
  f.Assign(&g);
  EXPECT_EQ(changes, 3);
}

TEST_F(GraphicsObjects, FontSetHandleAdoptsAndReadsBack) {
  TFont f;
  HFONT raw = CreateFontA(-20, 0, 0, 0, FW_BOLD, TRUE, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Arial");
  f.SetHandle(raw);  // the font owns it from here on (counted as adopted)
  EXPECT_EQ(f.Name(), "Arial");
  EXPECT_EQ(f.Height(), -20);
  EXPECT_TRUE(f.Style().Contains(fsBold));
  EXPECT_TRUE(f.Style().Contains(fsItalic));
  EXPECT_EQ(f.Handle(), raw);
  f.SetSize(9);
  EXPECT_EQ(GetObjectType(raw), 0u);
}

TEST_F(GraphicsObjects, BrushAndPenHandles) {
  TBrush b;
  b.SetColor(clRed);
  LOGBRUSH lb{};
  ASSERT_TRUE(GetObjectA(b.Handle(), sizeof lb, &lb));
  EXPECT_EQ(lb.lbColor, COLORREF(clRed));
  b.SetStyle(bsClear);
  ASSERT_TRUE(GetObjectA(b.Handle(), sizeof lb, &lb));
  EXPECT_EQ(lb.lbStyle, UINT(BS_HOLLOW));
  b.SetColor(clBlue);  // a colour makes a clear brush solid again
  EXPECT_EQ(b.Style(), bsSolid);
  TPen p;
  p.SetWidth(3);
  p.SetColor(clBtnFace);
  LOGPEN lp{};
  ASSERT_TRUE(GetObjectA(p.Handle(), sizeof lp, &lp));
  EXPECT_EQ(lp.lopnWidth.x, 3);
  EXPECT_EQ(lp.lopnColor, GetSysColor(COLOR_BTNFACE));
}

}  // namespace
