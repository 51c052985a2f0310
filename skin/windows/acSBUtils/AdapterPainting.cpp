// Painting helpers that the list, bar and tab adapters share.
#include "skin/windows/acSBUtils.h"

#include "skin/windows/acSBUtils/Internal.h"

void acsb::BlitBmp(HDC DC, int X, int Y, TBitmap* Src) {
  if (!DC || !Src || Src->Empty()) return;
  BitmapDC src(Src);
  if (src) BitBlt(DC, X, Y, Src->Width(), Src->Height(), src, 0, 0, SRCCOPY);
}

TPoint acsb::ClientOffsetOf(HWND Wnd) {
  POINT org{0, 0};
  ClientToScreen(Wnd, &org);
  RECT wr{};
  GetWindowRect(Wnd, &wr);
  return TPoint{int(org.x - wr.left), int(org.y - wr.top)};
}
