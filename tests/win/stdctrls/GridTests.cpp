// The string grid: cells, fixed colour read by name (as the grid adapters do), scrolling.
#include <gtest/gtest.h>

#include "classlib/Forms.h"
#include "classlib/GdiScopes.h"
#include "classlib/Grids.h"
#include "classlib/core/TypInfo.h"
#include "tests/support/FormFixture.h"
#include "tests/support/Pump.h"

using namespace qvtest;

// Each test runs on a fresh test form.
class Grid : public FormTest {};

TEST_F(Grid, StringGridPaintsCellsAndScrollsByItsBars) {
  auto* g = Create<TStringGrid>(Form);
  g->SetParent(Form);
  g->SetBounds(0, 0, 200, 100);
  g->SetRowCount(20);
  g->SetCells(1, 1, "one");
  EXPECT_EQ("one", g->Cells(1, 1));
  EXPECT_EQ(static_cast<int>(clBtnFace), GetOrdPropByName(g, "FixedColor"));
  EXPECT_TRUE(SetOrdPropByName(g, "FixedColor", clRed));
  EXPECT_EQ(clRed, g->FixedColor());
  EXPECT_EQ(bsSingle, GetOrdPropByName(g, "BorderStyle"));
  EXPECT_NE(0, GetWindowLongPtrA(g->Handle(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
  EXPECT_NE(0, GetWindowLongPtrA(g->Handle(), GWL_STYLE) & WS_VSCROLL);

  // The fixed cell at (0, 0) in the fixed colour.
  flush_events();
  {
    GdiObject<HBITMAP> bmp(CreateCompatibleBitmap(ScreenDC(), 200, 100));
    MemoryDC mem(nullptr, bmp);
    g->PaintTo(mem, 0, 0);
    const int b = GetSystemMetrics(SM_CXEDGE);
    EXPECT_EQ(RGB(255, 0, 0), GetPixel(mem, b + 5, b + 5));
  }

  SendMessageA(g->Handle(), WM_VSCROLL, SB_LINEDOWN, 0);
  EXPECT_EQ(2, g->TopRow());
  EXPECT_TRUE(g->CellRect(1, 1).IsEmpty());
  EXPECT_EQ(2, GetScrollPos(g->Handle(), SB_VERT));
  g->SetBorderStyle(bsNone);
  g->HandleNeeded();
  EXPECT_EQ(0, GetWindowLongPtrA(g->Handle(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
  EXPECT_THROW(g->SetFixedRows(20), EInvalidOperation);
}
