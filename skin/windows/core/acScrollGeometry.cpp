#include "skin/windows/core/acScrollGeometry.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace qv {

namespace {
// a * b / c rounded half away from zero; exact while a and b stay within 32 bits, through double
// beyond that (the extreme scroll ranges only).
std::int64_t MulDiv64(std::int64_t a, std::int64_t b, std::int64_t c) {
  if (c == 0) return 0;
  const std::int64_t lim = std::int64_t(1) << 31;
  if (a > lim || a < -lim || b > lim || b < -lim) return std::llround(double(a) * double(b) / double(c));
  const std::int64_t num = a * b;
  std::int64_t q = num / c;
  const std::int64_t rem = num % c;
  if (rem != 0) {
    const std::int64_t absRem2 = (rem < 0 ? -rem : rem) * 2;
    const std::int64_t absC = c < 0 ? -c : c;
    if (absRem2 >= absC) q += ((num < 0) != (c < 0)) ? -1 : 1;
  }
  return q;
}
int ToInt(std::int64_t v) { return int(std::clamp<std::int64_t>(v, INT32_MIN, INT32_MAX)); }
}  // namespace

int MulDivSafe(int a, int b, int c) { return ToInt(MulDiv64(a, b, c)); }

int SafeFrameWidth(int width, int count) { return count >= 1 ? width / count : 0; }
int SafeFrameHeight(int height, int maskType) { return maskType >= 0 ? height / (maskType + 1) : 0; }

TThumb CalcThumb(int start, int end, int btn, const TScrollRange& si, int minThumbSize) {
  TThumb t;
  const int length = end - start;
  const std::int64_t range = std::int64_t(si.nMax) - si.nMin + 1;
  const int channel = length - 2 * btn;
  if (si.nPage == 0)
    t.Size = btn;
  else if (range <= 0)
    t.Size = 0;
  else
    t.Size = std::max(ToInt(MulDiv64(si.nPage, channel, range)), minThumbSize);
  int offset = 0;
  if (range > 0) {
    const std::int64_t page = std::max<std::int64_t>(si.nPage, 1);
    offset = ToInt(MulDiv64(std::int64_t(si.nPos) - si.nMin, channel - t.Size, range - page));
    offset = std::clamp(offset, 0, std::max(0, channel - t.Size));
  }
  t.Pos = start + btn + offset;
  return t;
}

bool ThumbDrawable(const TScrollRange& si, int channel, int minThumbSize) {
  const std::int64_t span = std::int64_t(si.nMax) - si.nMin;
  if (span <= 0) return false;
  const int size = std::max(ToInt(MulDiv64(si.nPage, channel, span)), minThumbSize);
  return size >= 1 && size <= channel;
}

int ScrollHitTest(int start, int end, int btn, const TThumb& thumb, int along, int across, int acrossStart,
                  int acrossEnd) {
  if (across < acrossStart || across >= acrossEnd) return sbpNone;
  const int length = end - start;
  const int fullBtn = btn;
  if (length <= 2 * btn) btn = length / 2;
  if (along >= start && along < start + btn) return sbpFirstArrow;
  if (along >= end - btn && along < end) return sbpSecondArrow;
  if (thumb.Size >= length - 2 * fullBtn) return sbpNone;
  if (along >= thumb.Pos && along < thumb.Pos + thumb.Size) return sbpThumb;
  if (along >= start + btn && along < thumb.Pos) return sbpPageBefore;
  if (along < thumb.Pos + thumb.Size) return sbpNone;
  if (along < end - btn) return sbpPageAfter;
  return sbpNone;
}

int TrackThumbStart(int pointer, int thumbOffset, int boundsStart, int boundsEnd, int thumbSize) {
  const int hi = std::max(boundsStart, boundsEnd - thumbSize);
  return std::clamp(pointer - thumbOffset, boundsStart, hi);
}

int TrackThumbPosition(int thumbStart, int boundsStart, int boundsEnd, int thumbSize, const TScrollRange& si) {
  const std::int64_t span = std::int64_t(si.nMax) - si.nMin;
  const int page = int(std::max<unsigned>(std::min<unsigned>(si.nPage, INT32_MAX), 1u));
  const std::int64_t hi64 = std::max<std::int64_t>(si.nMin, std::int64_t(si.nMax) - page + 1);
  const int hi = int(std::clamp<std::int64_t>(hi64, INT32_MIN, INT32_MAX));
  const int track = boundsEnd - boundsStart - thumbSize;
  if (track <= 0) return si.nMin;
  std::int64_t pos;
  if (span >= 1) {
    const std::int64_t scrollable = std::clamp<std::int64_t>(span - std::int64_t(si.nPage) + 1, 0, INT32_MAX);
    pos = std::int64_t(si.nMin) + MulDiv64(thumbStart - boundsStart, scrollable, track);
  } else {
    pos = std::int64_t(si.nMin) + (thumbStart - boundsStart);
  }
  return int(std::clamp<std::int64_t>(pos, si.nMin, hi));
}

bool ThumbTrackSetsPos(int pos, const TScrollRange& si) {
  const std::int64_t last =
      std::max<std::int64_t>(si.nMin, std::int64_t(si.nMax) - std::max<std::int64_t>(si.nPage, 1) + 1);
  return pos != si.nPos && pos >= si.nMin && std::int64_t(pos) <= last;
}

TRect HorzBarRect(const TBarFrame& f) {
  const int vt = f.VertVisible ? f.VertThickness : 0;
  const int ht = f.HorzVisible ? f.HorzThickness : 0;
  TRect r = f.Window;
  r.Left += f.BorderLeft + (f.LeftScrollBar ? vt : 0);
  r.Right -= f.BorderRight + (f.LeftScrollBar ? 0 : vt);
  r.Bottom -= f.BorderBottom;
  r.Top = r.Bottom - ht;
  return r;
}

TRect VertBarRect(const TBarFrame& f) {
  const int vt = f.VertVisible ? f.VertThickness : 0;
  const int ht = f.HorzVisible ? f.HorzThickness : 0;
  TRect r = f.Window;
  r.Top += f.BorderTop;
  r.Bottom -= ht + f.BorderBottom;
  if (f.LeftScrollBar) {
    r.Left += f.BorderLeft;
    r.Right = r.Left + vt;
  } else {
    r.Right -= f.BorderRight;
    r.Left = r.Right - vt;
  }
  return r;
}

TRect CornerBoxRect(const TBarFrame& f) {
  if (!f.HorzVisible || !f.VertVisible) return TRect{};
  TRect r;
  r.Bottom = f.Window.Bottom - f.BorderBottom;
  r.Top = r.Bottom - f.HorzThickness;
  if (f.LeftScrollBar) {
    r.Left = f.Window.Left + f.BorderLeft;
    r.Right = r.Left + f.VertThickness;
  } else {
    r.Right = f.Window.Right - f.BorderRight;
    r.Left = r.Right - f.VertThickness;
  }
  return r;
}

TBarRoom TakeBarRoom(TRect& client, bool hasHorz, bool hasVert, int horzThickness, int vertThickness,
                     bool leftScrollBar) {
  TBarRoom room;
  room.HorzVisible = hasHorz && horzThickness <= client.Height();
  if (room.HorzVisible) client.Bottom -= horzThickness;
  room.VertVisible = hasVert && vertThickness <= client.Width();
  if (room.VertVisible) {
    if (leftScrollBar)
      client.Left += vertThickness;
    else
      client.Right -= vertThickness;
  }
  return room;
}

bool SizeGripShows(int level, const TRect& box, const TRect& parentClient, int borderLeft, int borderRight,
                   int borderBottom, bool leftScrollBar) {
  if (level <= 0) return true;
  if (level >= 2) return false;
  if (box.Bottom + borderBottom != parentClient.Bottom) return false;
  if (leftScrollBar) return box.Left - borderLeft == parentClient.Left;
  return box.Right + borderRight == parentClient.Right;
}

namespace {
TCornerCopy ClipCopy(int sx, int sy, int dx, int dy, int w, int h, int frameW, int frameH, int ww, int wh) {
  // Clip the source to the frame and the target to the window, moving both together.
  auto clipAxis = [](int& s, int& d, int& len, int sLimit, int dLimit) {
    if (s < 0) {
      d -= s;
      len += s;
      s = 0;
    }
    if (d < 0) {
      s -= d;
      len += d;
      d = 0;
    }
    len = std::min(len, std::min(sLimit - s, dLimit - d));
    if (len < 0) len = 0;
  };
  clipAxis(sx, dx, w, frameW, ww);
  clipAxis(sy, dy, h, frameH, wh);
  if (w <= 0 || h <= 0) return TCornerCopy{};
  return TCornerCopy{sx, sy, dx, dy, w, h};
}
}  // namespace

std::array<TCornerCopy, 4> BorderCornerCopies(int frameW, int frameH, int w, int h, int wl, int wt, int wr, int wb) {
  wl = std::max(wl, 0);
  wt = std::max(wt, 0);
  wr = std::max(wr, 0);
  wb = std::max(wb, 0);
  return {ClipCopy(0, 0, 0, 0, wl, wt, frameW, frameH, w, h),
          ClipCopy(0, frameH - wb, 0, h - wb, wl, wb, frameW, frameH, w, h),
          ClipCopy(frameW - wr, frameH - wb, w - wr, h - wb, wr, wb, frameW, frameH, w, h),
          ClipCopy(frameW - wr, 0, w - wr, 0, wr, wt, frameW, frameH, w, h)};
}

void FillBorderCorners(const TImageView& dst, int w, int h, const TMaskFrames& mask, int state,
                       const TCacheView& parent, TColorRef color) {
  if (dst.Empty() || mask.Image.Empty()) return;
  const TMaskFrame fr = MaskFrameOf(mask, state);
  if (!fr.Valid) return;
  w = std::min(w, dst.Width);
  h = std::min(h, dst.Height);
  const bool fromParent = parent.Usable();
  const TBgr fill = BgrOf(color);
  const TBgr key = BgrOf(clKeyMagenta);
  for (const TCornerCopy& c : BorderCornerCopies(fr.W, fr.H, w, h, fr.ML, fr.MT, fr.MR, fr.MB)) {
    for (int y = 0; y < c.H; ++y) {
      for (int x = 0; x < c.W; ++x) {
        const int ix = fr.X + c.SrcX + x, iy = fr.Y + c.SrcY + y;
        if (ix < 0 || iy < 0 || ix >= mask.Image.Width || iy >= mask.Image.Height) continue;
        bool transparent;
        if (fr.Type == 0) {
          transparent = mask.Image.Pixel(ix, iy) == key;
        } else {
          const int my = iy + fr.MaskDY;
          if (my >= mask.Image.Height) continue;
          const TBgr m = mask.Image.Pixel(ix, my);
          transparent = m.B != 0 || m.G != 0 || m.R != 0;
        }
        if (!transparent) continue;
        const int dx = c.DstX + x, dy = c.DstY + y;
        if (fromParent) {
          const int px = dx + parent.X, py = dy + parent.Y;
          if (px < 0 || py < 0 || px >= parent.Image.Width || py >= parent.Image.Height) continue;
          dst.SetPixel(dx, dy, parent.Image.Pixel(px, py));
        } else {
          dst.SetPixel(dx, dy, fill);
        }
      }
    }
  }
}

}  // namespace qv
