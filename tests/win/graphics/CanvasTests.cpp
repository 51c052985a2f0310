// TCanvas: drawing, object selection on its own DC or a foreign one, and its DC's lifetime.
#include "classlib/GdiScopes.h"
#include "tests/support/PixelProbe.h"
#include "tests/win/graphics/LeakCheck.h"

namespace {

using Canvas = GraphicsTest;

// A memory DC prepared by "someone else", with its own objects and settings.
struct ForeignDC {
  GdiObject<HBITMAP> Bitmap{CreateCompatibleBitmap(ScreenDC(), 20, 20)};
  GdiObject<HFONT> Font{CreateFontA(-12, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Arial")};
  GdiObject<HPEN> Pen{CreatePen(PS_SOLID, 1, RGB(1, 2, 3))};
  GdiObject<HBRUSH> Brush{CreateSolidBrush(RGB(4, 5, 6))};
  MemoryDC DC{nullptr, Bitmap};
  SelectedObject SelectedFont{DC, Font}, SelectedPen{DC, Pen}, SelectedBrush{DC, Brush};
  ForeignDC() {
    SetTextColor(DC, RGB(7, 8, 9));
    SetBkColor(DC, RGB(10, 11, 12));
    SetBkMode(DC, OPAQUE);
    SetROP2(DC, R2_COPYPEN);
  }
};

// A canvas bound to a foreign DC selects its own objects for drawing and leaves the DC as it
// found it when released.
TEST_F(Canvas, ForeignDCIsRestoredOnRelease) {
  ForeignDC f;
  {
    TCanvas canvas;
    canvas.SetHandle(f.DC);
    canvas.Font()->SetColor(clRed);
    canvas.Brush()->SetStyle(bsClear);
    canvas.Pen()->SetMode(pmXor);
    canvas.TextOut(0, 0, "Ag");
    canvas.Brush()->SetColor(clBlue);  // reselects a new brush while bound
    canvas.Rectangle(0, 0, 5, 5);
    EXPECT_NE(GetCurrentObject(f.DC, OBJ_FONT), f.Font);
    EXPECT_EQ(GetCurrentObject(f.DC, OBJ_BRUSH), canvas.Brush()->Handle());
    EXPECT_EQ(GetTextColor(f.DC), COLORREF(clRed));
    canvas.SetHandle(nullptr);
    EXPECT_EQ(GetCurrentObject(f.DC, OBJ_FONT), f.Font);
    EXPECT_EQ(GetCurrentObject(f.DC, OBJ_PEN), f.Pen);
    EXPECT_EQ(GetCurrentObject(f.DC, OBJ_BRUSH), f.Brush);
    EXPECT_EQ(GetTextColor(f.DC), RGB(7, 8, 9));
    EXPECT_EQ(GetBkColor(f.DC), RGB(10, 11, 12));
    EXPECT_EQ(GetBkMode(f.DC), OPAQUE);
    EXPECT_EQ(GetROP2(f.DC), R2_COPYPEN);
    // Bound again and destroyed while bound: the same.
    canvas.SetHandle(f.DC);
    canvas.FillRect(Rect(0, 0, 2, 2));
  }
  EXPECT_EQ(GetCurrentObject(f.DC, OBJ_BRUSH), f.Brush);
  EXPECT_EQ(GetCurrentObject(f.DC, OBJ_FONT), f.Font);
}

// A font changed while selected is put out of the DC before its old handle is deleted.
TEST_F(Canvas, ChangedFontLeavesTheDCFirst) {
  ForeignDC f;
  TCanvas canvas;
  canvas.SetHandle(f.DC);
  canvas.TextOut(0, 0, "a");
  HFONT old = canvas.Font()->Handle();
  EXPECT_EQ(GetCurrentObject(f.DC, OBJ_FONT), old);
  canvas.Font()->SetSize(20);
  EXPECT_EQ(GetObjectType(old), 0u) << "old font handle not deleted";
  EXPECT_EQ(GetCurrentObject(f.DC, OBJ_FONT), f.Font);
  canvas.TextOut(0, 0, "a");
  EXPECT_EQ(GetCurrentObject(f.DC, OBJ_FONT), canvas.Font()->Handle());
  canvas.SetHandle(nullptr);
}

TEST_F(Canvas, CanvasWithoutDCRaises) {
  TCanvas canvas;
  EXPECT_THROW(canvas.Handle(), EInvalidOperation);
  EXPECT_THROW(canvas.FillRect(Rect(0, 0, 1, 1)), EInvalidOperation);
}

// Each drawing routine, probed on a bitmap: table of (what is drawn, probe point, colour).
TEST_F(Canvas, DrawingRoutinesPaintWhereExpected) {
  TBitmap bmp;
  bmp.SetSize(40, 40);
  TCanvas* c = bmp.Canvas();
  c->Brush()->SetColor(clWhite);
  c->FillRect(Rect(0, 0, 40, 40));

  c->Brush()->SetColor(clRed);
  c->FillRect(Rect(0, 0, 5, 5));
  c->Brush()->SetColor(clBlue);
  c->FrameRect(Rect(10, 0, 15, 5));
  c->Pen()->SetColor(clLime);
  c->Brush()->SetColor(clYellow);
  c->Rectangle(20, 0, 25, 5);
  c->Pen()->SetColor(clBlack);
  c->MoveTo(0, 10);
  c->LineTo(10, 10);
  c->Brush()->SetColor(clAqua);
  c->Polygon({Point(20, 10), Point(30, 10), Point(30, 20), Point(20, 20)});
  c->Pen()->SetColor(clFuchsia);
  c->Polyline({Point(0, 30), Point(10, 30)});
  c->Brush()->SetColor(clNavy);
  c->Ellipse(30, 30, 40, 40);
  c->SetPixels(39, 0, clMaroon);

  const struct {
    int X, Y;
    TColor Color;
  } probes[] = {
      {2, 2, clRed},     {10, 2, clBlue},  {12, 2, clWhite},   {20, 2, clLime},  {22, 2, clYellow}, {5, 10, clBlack},
      {10, 10, clWhite}, {25, 15, clAqua}, {5, 30, clFuchsia}, {35, 35, clNavy}, {30, 30, clWhite}, {39, 0, clMaroon},
  };
  for (const auto& p : probes) EXPECT_EQ(c->Pixels(p.X, p.Y), p.Color) << p.X << "," << p.Y;
  EXPECT_EQ(c->PenPos(), Point(10, 10));  // Polyline leaves the pen position alone
  EXPECT_EQ(c->ClipRect(), Rect(0, 0, 40, 40));
}

TEST_F(Canvas, TextHonoursBrushStyle) {
  TBitmap bmp;
  bmp.SetSize(60, 30);
  TCanvas* c = bmp.Canvas();
  c->Brush()->SetColor(clLime);
  c->FillRect(Rect(0, 0, 60, 30));
  c->Font()->SetColor(clBlack);
  TSize ext = c->TextExtent("W");
  EXPECT_GT(ext.cx, 0);
  EXPECT_GT(ext.cy, 0);
  EXPECT_EQ(c->TextWidth("WW"), 2 * ext.cx);
  // Opaque: the cell takes the brush colour.
  c->Brush()->SetColor(clYellow);
  c->TextOut(0, 0, "W");
  EXPECT_EQ(c->Pixels(0, ext.cy - 1), clYellow);
  EXPECT_EQ(c->PenPos(), Point(ext.cx, 0));
  // Clear: the background stays.
  c->Brush()->SetStyle(bsClear);
  c->TextOut(30, 0, "W");
  EXPECT_EQ(c->Pixels(30, ext.cy - 1), clLime);
  // TextRect clips to its rectangle.
  c->Brush()->SetColor(clRed);
  c->TextRect(Rect(0, 20, 3, 30), 0, 20, "WWW");
  EXPECT_EQ(c->Pixels(1, 29), clRed);
  EXPECT_EQ(c->Pixels(4, 29), clLime);
}

TEST_F(Canvas, CopyRectUsesCopyMode) {
  TBitmap src;
  src.SetSize(4, 4);
  src.Canvas()->Brush()->SetColor(clRed);
  src.Canvas()->FillRect(Rect(0, 0, 4, 4));
  TBitmap dst;
  dst.SetSize(8, 8);
  dst.Canvas()->Brush()->SetColor(clBlue);
  dst.Canvas()->FillRect(Rect(0, 0, 8, 8));
  dst.Canvas()->CopyRect(Rect(0, 0, 8, 8), src.Canvas(), Rect(0, 0, 4, 4));  // stretched
  EXPECT_EQ(dst.Canvas()->Pixels(7, 7), clRed);
  dst.Canvas()->Brush()->SetColor(clBlue);
  dst.Canvas()->FillRect(Rect(0, 0, 8, 8));
  dst.Canvas()->SetCopyMode(cmSrcPaint);  // OR: blue | red = fuchsia
  dst.Canvas()->CopyRect(Rect(0, 0, 4, 4), src.Canvas(), Rect(0, 0, 4, 4));
  EXPECT_EQ(dst.Canvas()->Pixels(1, 1), clFuchsia);
  EXPECT_EQ(dst.Canvas()->Pixels(5, 5), clBlue);
}

TEST_F(Canvas, LockedBitmapCanvasKeepsItsDC) {
  TBitmap bmp;
  bmp.SetSize(2, 2);
  HDC dc = bmp.Canvas()->Handle();
  bmp.Canvas()->Lock();
  bmp.Handle();
  EXPECT_EQ(bmp.Canvas()->Handle(), dc);
  bmp.Canvas()->Unlock();
  bmp.Handle();
  EXPECT_FALSE(bmp.Canvas()->HandleAllocated());
}

// A canvas subclass that obtains its DC on demand through CreateHandle.
class TScreenCanvas : public TCanvas {
 public:
  ~TScreenCanvas() override { Release(); }
  void Release() {
    HDC dc = RawHandle();
    if (!dc) return;
    SetHandle(nullptr);
    DeleteMemoryDC(dc);
    ++Releases;
  }
  int Creates = 0;
  int Releases = 0;

 protected:
  void CreateHandle() override {
    ++Creates;
    SetHandle(CreateMemoryDC());
  }
};

TEST_F(Canvas, SubclassObtainsDCOnDemand) {
  TScreenCanvas c;
  EXPECT_FALSE(c.HandleAllocated());
  c.TextExtent("x");
  EXPECT_EQ(c.Creates, 1);
  c.FillRect(Rect(0, 0, 1, 1));
  EXPECT_EQ(c.Creates, 1);
  c.Release();
  c.Pixels(0, 0);
  EXPECT_EQ(c.Creates, 2);
}

TEST_F(Canvas, ColorToRGB) {
  EXPECT_EQ(ColorToRGB(clRed), COLORREF(0x0000FF));
  EXPECT_EQ(ColorToRGB(clBtnFace), GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(ColorToRGB(clHighlight), GetSysColor(COLOR_HIGHLIGHT));
  EXPECT_EQ(ColorToRGB(clMenuBar), GetSysColor(COLOR_MENUBAR));
  EXPECT_EQ(ColorToRGB(clNone), 0u);
  EXPECT_EQ(ColorToString(clFuchsia), "clFuchsia");
  EXPECT_EQ(ColorToString(0x123456), "$00123456");
}

}  // namespace
