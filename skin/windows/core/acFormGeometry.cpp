#include "skin/windows/core/acFormGeometry.h"

#include <algorithm>
#include <cstdlib>

namespace qv {

int TitleIconSize(int captionHeight) {
  if (captionHeight < 9) return 0;
  if (captionHeight <= 16) return 8;
  if (captionHeight <= 27) return 16;
  return 32;
}

int TitleBandTop(int height, int captionHeight, int borderHeight, int hiddenRows) {
  return hiddenRows + std::max(0, (captionHeight + borderHeight - hiddenRows - height) / 2);
}

TRect PlaceTitleButton(int right, int width, int height, int captionHeight, int borderHeight, int hiddenRows) {
  TRect r;
  r.Right = right;
  r.Left = right - width;
  r.Top = hiddenRows == 0 ? (captionHeight - height + borderHeight) / 2
                          : TitleBandTop(height, captionHeight, borderHeight, hiddenRows);
  if (height < 16) r.Top += 2;
  r.Bottom = r.Top + height;
  return r;
}

bool IsTitleElementCode(int code) {
  switch (code) {
    case htSysMenu:
    case htMinButton:
    case htMaxButton:
    case htClose:
    case htHelp:
    case htMDIClose:
    case htMDIMax:
    case htMDIMin: return true;
    default: return code >= htTitleButton;
  }
}

namespace {

// The element whose columns hold X; null when none.
const TTitleElement* ElementAtX(const std::vector<TTitleElement>& elements, int x) {
  for (const TTitleElement& e : elements)
    if (x >= e.Rect.Left && x < e.Rect.Right) return &e;
  return nullptr;
}

}  // namespace

int TitleHitTest(const TTitleLayout& layout, TPoint p) {
  if (p.Y >= layout.BandTop && p.Y < layout.BandBottom) {
    if (!layout.Icon.IsEmpty() && p.X >= layout.Icon.Left && p.X < layout.Icon.Right) return htSysMenu;
    const TTitleElement* e = ElementAtX(layout.Buttons, p.X);
    if (!e) return htCaption;
    return e->Enabled ? e->Code : htCaption;
  }
  if (layout.HasGrip && p.X >= layout.GripPoint.X && p.Y >= layout.GripPoint.Y && p.X < layout.Window.cx &&
      p.Y < layout.Window.cy && (layout.GripArea.IsEmpty() || layout.GripArea.Contains(p)))
    return htBottomRight;
  for (const TTitleElement& e : layout.MenuLineButtons)
    if (e.Rect.Contains(p)) return e.Enabled ? e.Code : htNowhere;
  if (layout.Maximized) {
    const TRect inner{2, 2, layout.Window.cx - 4, layout.Window.cy - 4};
    if (!inner.Contains(p)) return htTransparent;
  }
  return htNowhere;
}

int SnapCoordinate(int p, int s, int e, int buffer) {
  const long long d = static_cast<long long>(p) + s - e;
  return std::llabs(d) < buffer ? e - s : p;
}

TPoint SnapToWorkArea(TPoint pos, TSize size, const TRect& workArea, TPoint monitorOrigin, int buffer) {
  pos.X = SnapCoordinate(pos.X, size.cx, workArea.Right, buffer);
  pos.Y = SnapCoordinate(pos.Y, size.cy, workArea.Bottom, buffer);
  pos.X = SnapCoordinate(pos.X, monitorOrigin.X, workArea.Left, buffer);
  pos.Y = SnapCoordinate(pos.Y, monitorOrigin.Y, workArea.Top, buffer);
  return pos;
}

TRect SizeDragFrame(const TRect& start, int sizingCode, int dx, int dy, int minWidth, int minHeight) {
  const int minW = std::max(minWidth, 1), minH = std::max(minHeight, 1);
  bool left = false, right = false, top = false, bottom = false;
  switch (sizingCode) {
    case 10: left = true; break;
    case 11: right = true; break;
    case 12: top = true; break;
    case 13: top = left = true; break;
    case 14: top = right = true; break;
    case 15: bottom = true; break;
    case 16: bottom = left = true; break;
    case 17: bottom = right = true; break;
    default: return start;
  }
  TRect r = start;
  if (left) r.Left = std::min(start.Left + dx, start.Right - minW);
  if (right) r.Right = std::max(start.Right + dx, start.Left + minW);
  if (top) r.Top = std::min(start.Top + dy, start.Bottom - minH);
  if (bottom) r.Bottom = std::max(start.Bottom + dy, start.Top + minH);
  return r;
}

}  // namespace qv
