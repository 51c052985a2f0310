// The Graphics unit's free routines: the count of the handles the library makes, and colours.
#include "classlib/Graphics.h"

#include <atomic>
#include <cstdio>

// ---- Handle bookkeeping ------------------------------------------------------------------------

namespace {
std::atomic<long> gObjects{0};
std::atomic<long> gMemoryDCs{0};
std::atomic<long> gIcons{0};
std::atomic<long> gImageLists{0};
}  // namespace

TGdiCounts GdiLiveCounts() { return TGdiCounts{gObjects.load(), gMemoryDCs.load(), gIcons.load(), gImageLists.load()}; }

HGDIOBJ TrackGdiObject(HGDIOBJ obj) {
  if (obj) ++gObjects;
  return obj;
}
bool DeleteGdiObject(HGDIOBJ obj) {
  if (!obj) return false;
  --gObjects;
  return DeleteObject(obj) != FALSE;
}
void ForgetGdiObject(HGDIOBJ obj) {
  if (obj) --gObjects;
}
HDC CreateMemoryDC(HDC reference) {
  HDC dc = CreateCompatibleDC(reference);
  if (!dc) throw EOutOfResources("Out of system resources");
  ++gMemoryDCs;
  return dc;
}
void DeleteMemoryDC(HDC dc) {
  if (!dc) return;
  --gMemoryDCs;
  DeleteDC(dc);
}
HICON TrackIcon(HICON icon) {
  if (icon) ++gIcons;
  return icon;
}
void DestroyTrackedIcon(HICON icon) {
  if (!icon) return;
  --gIcons;
  DestroyIcon(icon);
}
void ForgetIcon(HICON icon) {
  if (icon) --gIcons;
}
HIMAGELIST TrackImageList(HIMAGELIST list) {
  if (list) ++gImageLists;
  return list;
}
void DestroyTrackedImageList(HIMAGELIST list) {
  if (!list) return;
  --gImageLists;
  ImageList_Destroy(list);
}

// ---- Colours ----------------------------------------------------------------------------------

COLORREF ColorToRGB(TColor color) {
  if (IsSystemColor(color)) return GetSysColor(SystemColorIndex(color));
  if (color == clNone || color == clDefault) return 0;
  return COLORREF(std::uint32_t(color) & 0xFFFFFF);
}

std::string ColorToString(TColor color) {
  static const struct {
    TColor Color;
    const char* Name;
  } kNames[] = {
      {clBlack, "clBlack"},
      {clMaroon, "clMaroon"},
      {clGreen, "clGreen"},
      {clOlive, "clOlive"},
      {clNavy, "clNavy"},
      {clPurple, "clPurple"},
      {clTeal, "clTeal"},
      {clGray, "clGray"},
      {clSilver, "clSilver"},
      {clRed, "clRed"},
      {clLime, "clLime"},
      {clYellow, "clYellow"},
      {clBlue, "clBlue"},
      {clFuchsia, "clFuchsia"},
      {clAqua, "clAqua"},
      {clWhite, "clWhite"},
      {clNone, "clNone"},
      {clDefault, "clDefault"},
      {clBtnFace, "clBtnFace"},
      {clWindow, "clWindow"},
      {clWindowText, "clWindowText"},
      {clHighlight, "clHighlight"},
      {clHighlightText, "clHighlightText"},
      {clBtnShadow, "clBtnShadow"},
      {clBtnHighlight, "clBtnHighlight"},
      {clBtnText, "clBtnText"},
      {clGrayText, "clGrayText"},
      {clInfoBk, "clInfoBk"},
      {clInfoText, "clInfoText"},
  };
  for (const auto& n : kNames)
    if (n.Color == color) return n.Name;
  char buf[16];
  std::snprintf(buf, sizeof buf, "$%08X", unsigned(color));
  return buf;
}
