// Pixel probes for tests: read colours from bitmaps, from a window's WM_PRINT output and from the
// screen. Colours are returned as COLORREF (0x00BBGGRR).
#pragma once

#include "classlib/Win.h"

#include <string>
#include <vector>

namespace qvtest {

// A 24-bit top-down copy of some pixels, owned by the test.
class Capture {
 public:
  Capture() = default;
  Capture(int width, int height);

  int Width() const { return Width_; }
  int Height() const { return Height_; }
  bool Empty() const { return Width_ == 0 || Height_ == 0; }
  COLORREF Pixel(int x, int y) const;
  // Counts the pixels of one colour inside a rectangle (clipped to the capture).
  int CountColor(COLORREF color, const RECT& r) const;
  int CountColor(COLORREF color) const;
  std::vector<unsigned char>& Bits() { return Bits_; }
  int Stride() const { return ((Width_ * 3 + 3) / 4) * 4; }

 private:
  int Width_ = 0;
  int Height_ = 0;
  std::vector<unsigned char> Bits_;
};

// The pixels of any bitmap, converted to 24 bits.
Capture CaptureBitmap(HBITMAP bitmap);
// What the window paints for WM_PRINT (client, non-client, children, background) into a memory DC
// as large as the window.
Capture CaptureWMPrint(HWND wnd, UINT flags = PRF_CLIENT | PRF_NONCLIENT | PRF_CHILDREN | PRF_ERASEBKGND);
// What the screen shows in the window's rectangle (the composed frame as the user sees it), once
// what this thread painted has reached it.
Capture CaptureScreen(HWND wnd);
Capture CaptureScreenRect(const RECT& screenRect);

std::string ColorText(COLORREF c);
// The pixels in which two captures differ (over their common size; every pixel of the larger one
// beyond it counts as differing).
int DifferingPixels(const Capture& a, const Capture& b);

}  // namespace qvtest
