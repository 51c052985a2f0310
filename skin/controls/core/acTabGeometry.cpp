#include "skin/controls/core/acTabGeometry.h"

namespace qv {

TRect SkinTabRectOf(const TRect& item, TabSide side, bool plainTabs, bool active) {
  TRect r = item;
  if (!plainTabs || r.Left == r.Right) return r;
  if (active) {
    r.Bottom -= 1;
  } else {
    r.Bottom += 3;
    r.Right -= 1;
  }
  const int a = active ? 1 : 0;
  switch (side) {
    case TabSide::Top:
      r.Inflate(2 * a, 2 * a);
      r.Bottom += 1;
      break;
    case TabSide::Bottom:
      r.Inflate(2 * a, a);
      r.Top -= 2;
      r.Bottom += active ? 1 : -3;
      break;
    case TabSide::Left:
      r.Inflate(0, 1);
      r.Right += 2;
      if (active) {
        r.Inflate(1, 1);
      } else {
        r.Bottom -= 4;
        r.Right += 2;
      }
      break;
    case TabSide::Right:
      r.Inflate(1, 0);
      r.Offset(-1, -1);
      if (active) {
        r.Inflate(1, 1);
        r.Bottom += 3;
      } else {
        r.Bottom -= 2;
      }
      break;
  }
  return r;
}

TRect TabsRectOf(const TRect& client, const TRect& display, TabSide side, bool hasTabs) {
  TRect r = client;
  if (!hasTabs) return r;
  switch (side) {
    case TabSide::Top: r.Bottom = display.Top - 4; break;
    case TabSide::Bottom: r.Top = display.Bottom + 1; break;
    case TabSide::Left: r.Right = display.Left - 1; break;
    case TabSide::Right: r.Left = display.Right + 1; break;
  }
  return r;
}

TRect PageFrameRectOf(const TRect& client, const TRect& display, TabSide side, bool hasTabs) {
  TRect r = client;
  if (!hasTabs) return r;
  switch (side) {
    case TabSide::Top: r.Top = display.Top - 4; break;
    case TabSide::Bottom: r.Bottom = display.Bottom + 1; break;
    case TabSide::Left: r.Left = display.Left - 1; break;
    case TabSide::Right: r.Right = display.Right + 1; break;
  }
  return r;
}

int TabRowOf(const TRect& item, const TRect& tabs, TabSide side, int rows) {
  if (rows < 2) return 1;
  const int w = item.Width(), h = item.Height();
  if (w <= 0 || h <= 0) return 1;
  switch (side) {
    case TabSide::Top: return (h / 2 + item.Bottom) / h;
    case TabSide::Left: return (w / 2 + item.Right) / w;
    case TabSide::Right: return rows - (item.Right - tabs.Left + w / 2) / w + 1;
    case TabSide::Bottom: return rows - (item.Bottom - tabs.Top + h / 2) / h + 1;
  }
  return 1;
}

TRect CloseBtnRectOf(const TRect& tab, int btnWidth, int btnHeight) {
  return TRect{tab.Right - btnWidth - 1, tab.Top + 1, tab.Right - 1, tab.Top + btnHeight + 1};
}

int FrameWidthOf(int width, int count) { return count > 0 ? width / count : 0; }

int FrameHeightOf(int height, int maskType) { return maskType >= 0 ? height / (maskType + 1) : 0; }

}  // namespace qv
