// Device-context and GDI scopes: each gives back exactly what it obtained, on every way out, and
// nothing it was given.
#include <stdexcept>
#include <utility>

#include "classlib/GdiScopes.h"
#include "tests/support/Pump.h"
#include "tests/win/graphics/LeakCheck.h"

namespace {

using GdiScopes = GraphicsTest;

TEST_F(GdiScopes, StateSelectionsAndHandlesComeBackOnEveryWayOut) {
  GdiObject<HBITMAP> bmp(CreateCompatibleBitmap(ScreenDC(), 8, 8));
  GdiObject<HFONT> font(CreateFontA(-12, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Arial"));
  MemoryDC dc(nullptr, bmp);
  ASSERT_EQ(GetCurrentObject(dc, OBJ_BITMAP), bmp.Get());
  const HGDIOBJ ownFont = GetCurrentObject(dc, OBJ_FONT);
  try {
    SavedDC saved(dc);
    SelectedObject selected(dc, font);
    SetWindowOrgEx(dc, 5, 5, nullptr);
    IntersectClipRect(dc, 0, 0, 1, 1);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), font.Get());
    throw std::runtime_error("leaves the scope");
  } catch (const std::runtime_error&) {
  }
  POINT org{};
  GetWindowOrgEx(dc, &org);
  EXPECT_EQ(org.x, 0);
  RECT clip{};
  EXPECT_EQ(GetClipBox(dc, &clip), SIMPLEREGION);
  EXPECT_EQ(clip.right, 8);
  EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), ownFont);

  // A moved scope deletes its DC once; the bitmap it held selected is not its own.
  const TGdiCounts before = GdiLiveCounts();
  { MemoryDC moved = std::move(dc); }
  EXPECT_EQ(dc.Get(), nullptr);
  EXPECT_EQ(GdiLiveCounts().MemoryDCs, before.MemoryDCs - 1);
  EXPECT_EQ(GetObjectType(bmp), DWORD(OBJ_BITMAP));
  // An object handed on (to SetWindowRgn, say) leaves the count and stays alive.
  HRGN region = OwnedRegion(CreateRectRgn(0, 0, 1, 1)).Release();
  EXPECT_EQ(GdiLiveCounts().Objects, before.Objects);
  EXPECT_EQ(GetObjectType(region), DWORD(OBJ_REGION));
  DeleteObject(region);
  font.Reset();
  EXPECT_EQ(GdiLiveCounts().Objects, before.Objects - 1);
}

// A paint scope given a DC (a WM_PAINT that carries one) neither begins nor ends a paint, so the
// window's due paint is not eaten; without one it validates the window.
TEST_F(GdiScopes, PaintScopeWithAGivenDCLeavesThePaintDue) {
  HWND wnd = CreateWindowExA(WS_EX_TOOLWINDOW, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 20, 20, nullptr, nullptr,
                             GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(wnd, nullptr);
  qvtest::flush_events();
  InvalidateRect(wnd, nullptr, FALSE);
  {
    ClientDC given(wnd);
    PaintScope paint(wnd, given);
    EXPECT_EQ(paint.Get(), given.Get());
    WindowDC frame(wnd, given);
    EXPECT_FALSE(frame.Owned());
  }
  EXPECT_TRUE(GetUpdateRect(wnd, nullptr, FALSE));
  {
    PaintScope paint(wnd);
    EXPECT_NE(paint.Get(), nullptr);
    EXPECT_EQ(paint.Info().rcPaint.right, 20);
  }
  EXPECT_FALSE(GetUpdateRect(wnd, nullptr, FALSE));
  DestroyWindow(wnd);
}

}  // namespace
