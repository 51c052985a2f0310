#include "skin/controls/core/acPopupPlace.h"

#include <algorithm>

namespace qv {

TPoint PlacePopup(const TRect& Control, TSize Popup, TacPopupAlign Align, const TRect& Area) {
  const int w = std::max(0, Popup.cx), h = std::max(0, Popup.cy);
  int y = Control.Bottom;
  if (y + h > Area.Bottom) {
    const int above = Control.Top - Area.Top, below = Area.Bottom - Control.Bottom;
    if (Control.Top - h >= Area.Top || above > below) y = Control.Top - h;
    y = std::max(Area.Top, std::min(y, Area.Bottom - h));
  }
  int x = 0;
  if (Align == TacPopupAlign::RightEdges) {
    x = Control.Right - w;
    if (x < Area.Left) x = Control.Left;
  } else {
    x = Control.Left;
    if (x + w > Area.Right) x = Control.Right - w;
  }
  if (x + w > Area.Right) x = Area.Right - w;
  if (x < Area.Left) x = Area.Left;
  return TPoint{x, y};
}

}  // namespace qv
