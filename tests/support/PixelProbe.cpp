#include "tests/support/PixelProbe.h"

#include <algorithm>

#include <cstdio>
#include <cstring>

#include "classlib/GdiScopes.h"

namespace qvtest {
namespace {

// Reads a DC's selected pixels in a rectangle through GetDIBits on a compatible copy.
Capture CaptureFromDC(HDC dc, int x, int y, int width, int height) {
  Capture cap(width, height);
  if (cap.Empty()) return cap;
  GdiObject<HBITMAP> bmp(CreateCompatibleBitmap(dc, width, height));
  {
    MemoryDC mem(dc, bmp);
    BitBlt(mem, 0, 0, width, height, dc, x, y, SRCCOPY);
  }
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  bi.bmiHeader.biWidth = width;
  bi.bmiHeader.biHeight = -height;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 24;
  bi.bmiHeader.biCompression = BI_RGB;
  GetDIBits(dc, bmp, 0, UINT(height), cap.Bits().data(), &bi, DIB_RGB_COLORS);
  return cap;
}

}  // namespace

Capture::Capture(int width, int height) : Width_(width > 0 ? width : 0), Height_(height > 0 ? height : 0) {
  Bits_.assign(size_t(Stride()) * size_t(Height_), 0);
}

COLORREF Capture::Pixel(int x, int y) const {
  if (x < 0 || y < 0 || x >= Width_ || y >= Height_) return CLR_INVALID;
  const unsigned char* p = Bits_.data() + size_t(y) * size_t(Stride()) + size_t(x) * 3;
  return RGB(p[2], p[1], p[0]);
}

int Capture::CountColor(COLORREF color, const RECT& r) const {
  int n = 0;
  for (int y = r.top < 0 ? 0 : r.top; y < r.bottom && y < Height_; ++y)
    for (int x = r.left < 0 ? 0 : r.left; x < r.right && x < Width_; ++x)
      if (Pixel(x, y) == color) ++n;
  return n;
}

int Capture::CountColor(COLORREF color) const {
  RECT r{0, 0, Width_, Height_};
  return CountColor(color, r);
}

Capture CaptureBitmap(HBITMAP bitmap) {
  BITMAP bm{};
  if (!bitmap || !GetObjectA(bitmap, sizeof bm, &bm)) return {};
  Capture cap(bm.bmWidth, bm.bmHeight);
  if (cap.Empty()) return cap;
  ScreenDC screen;
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  bi.bmiHeader.biWidth = bm.bmWidth;
  bi.bmiHeader.biHeight = -bm.bmHeight;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 24;
  bi.bmiHeader.biCompression = BI_RGB;
  GetDIBits(screen, bitmap, 0, UINT(bm.bmHeight), cap.Bits().data(), &bi, DIB_RGB_COLORS);
  return cap;
}

Capture CaptureWMPrint(HWND wnd, UINT flags) {
  RECT wr{};
  GetWindowRect(wnd, &wr);
  int width = wr.right - wr.left, height = wr.bottom - wr.top;
  Capture cap(width, height);
  if (cap.Empty()) return cap;
  ScreenDC screen;
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  bi.bmiHeader.biWidth = width;
  bi.bmiHeader.biHeight = -height;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 24;
  bi.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  GdiObject<HBITMAP> dib(CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!dib) return Capture();
  {
    MemoryDC mem(screen, dib);
    SendMessageA(wnd, WM_PRINT, WPARAM(mem.Get()), LPARAM(flags));
    GdiFlush();
  }
  std::memcpy(cap.Bits().data(), bits, cap.Bits().size());
  return cap;
}

Capture CaptureScreenRect(const RECT& r) {
  // Under Wine what a thread painted reaches the screen when the thread next finds its queue empty,
  // which a busy machine can put off past the read. A look at the queue with a filter no message
  // matches puts it there first (it removes nothing).
  MSG msg;
  PeekMessageA(&msg, nullptr, WM_APP + 0x3FFE, WM_APP + 0x3FFE, PM_NOREMOVE);
  return CaptureFromDC(ScreenDC(), r.left, r.top, r.right - r.left, r.bottom - r.top);
}

Capture CaptureScreen(HWND wnd) {
  RECT wr{};
  GetWindowRect(wnd, &wr);
  return CaptureScreenRect(wr);
}

std::string ColorText(COLORREF c) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "#%02X%02X%02X", GetRValue(c), GetGValue(c), GetBValue(c));
  return buf;
}

int DifferingPixels(const Capture& a, const Capture& b) {
  const int w = std::min(a.Width(), b.Width()), h = std::min(a.Height(), b.Height());
  int differ = a.Width() * a.Height() + b.Width() * b.Height() - 2 * w * h;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) differ += a.Pixel(x, y) != b.Pixel(x, y);
  return differ;
}

}  // namespace qvtest
