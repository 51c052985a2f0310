#include "skin/engine/core/acPaintUtils.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <utility>

namespace qv {

namespace {

struct TAxisPlace {
  int Glyph = 0;  // start of the glyph along the axis
  int Text = 0;   // start of the caption along the axis
};

// Places glyph and caption along one axis of length Avail. GlyphFirst: the glyph lies on the
// low side (left / top). Margin counts from the glyph's side; -1 lets Align place the block
// (0 low end, 1 high end, 2 centre).
TAxisPlace PlaceOnAxis(int avail, int glyph, int text, bool glyphFirst, int margin, int spacing, int align) {
  const bool both = glyph > 0 && text > 0;
  if (!both) spacing = 0;
  int m = margin;
  int s = spacing;
  if (margin < 0) {
    if (spacing < 0) {
      // The free space shared evenly: before, between and after.
      const int free = avail - glyph - text;
      if (both) {
        m = s = free / 3;
      } else {
        s = 0;
        m = free / 2;
      }
    } else {
      const int total = glyph + s + text;
      // Align counts from the low end; Margin from the glyph's side.
      int low = 0;
      if (align == 1)
        low = avail - total;
      else if (align == 2)
        low = (avail - total + 1) / 2;
      m = glyphFirst ? low : avail - total - low;
    }
  } else if (spacing < 0) {
    s = both ? (avail - m - glyph - text) / 2 : 0;
  }
  if (s < 0 && spacing < 0) s = 0;
  TAxisPlace p;
  if (glyphFirst) {
    p.Glyph = m;
    p.Text = glyph > 0 ? m + glyph + s : m;
  } else {
    p.Glyph = avail - m - glyph;
    p.Text = glyph > 0 ? p.Glyph - s - text : avail - m - text;
  }
  return p;
}

// Position of an item of size Size across an axis of length Avail (0 low, 1 high, 2 centre).
int PlaceAcross(int avail, int size, int align) {
  if (align == 0) return 0;
  if (align == 1) return avail - size;
  return (avail - size + 1) / 2;
}

int AlignCode(THorzAlign a) { return a == THorzAlign::Left ? 0 : a == THorzAlign::Right ? 1 : 2; }

}  // namespace

void CalcGlyphTextLayout(const TRect& client, TSize glyphSize, TSize textSize, TGlyphLayout layout,
                         THorzAlign alignment, int margin, int spacing, TPoint& glyphPos, TRect& textBounds,
                         bool rightToLeft) {
  if (rightToLeft) {
    if (layout == TGlyphLayout::GlyphLeft)
      layout = TGlyphLayout::GlyphRight;
    else if (layout == TGlyphLayout::GlyphRight)
      layout = TGlyphLayout::GlyphLeft;
    if (alignment == THorzAlign::Left)
      alignment = THorzAlign::Right;
    else if (alignment == THorzAlign::Right)
      alignment = THorzAlign::Left;
  }
  const int w = client.Right - client.Left;
  const int h = client.Bottom - client.Top;
  const int gw = glyphSize.cx > 0 && glyphSize.cy > 0 ? glyphSize.cx : 0;
  const int gh = gw > 0 ? glyphSize.cy : 0;
  const int tw = textSize.cx > 0 ? textSize.cx : 0;
  const int th = textSize.cy > 0 ? textSize.cy : 0;
  const int align = AlignCode(alignment);
  int gx, gy, tx, ty;
  if (layout == TGlyphLayout::GlyphLeft || layout == TGlyphLayout::GlyphRight) {
    TAxisPlace p = PlaceOnAxis(w, gw, tw, layout == TGlyphLayout::GlyphLeft, margin, spacing, align);
    gx = p.Glyph;
    tx = p.Text;
    gy = (h - gh + 1) / 2;
    ty = (h - th + 1) / 2;
  } else {
    // The vertical centring rule of the block; Alignment places across.
    TAxisPlace p = PlaceOnAxis(h, gh, th, layout == TGlyphLayout::GlyphTop, margin, spacing, 2);
    gy = p.Glyph;
    ty = p.Text;
    gx = PlaceAcross(w, gw, align);
    tx = PlaceAcross(w, tw, align);
  }
  glyphPos = TPoint{client.Left + gx, client.Top + gy};
  textBounds = TRect{client.Left + tx, client.Top + ty, client.Left + tx + tw, client.Top + ty + th};
}

std::uint32_t InkOn(std::uint32_t ink, std::uint32_t fill) {
  auto brightness = [](std::uint32_t c) {
    return (299 * int(c & 0xFF) + 587 * int((c >> 8) & 0xFF) + 114 * int((c >> 16) & 0xFF)) / 1000;
  };
  const int on = brightness(fill);
  const int apart = brightness(ink) - on;
  if (apart >= 96 || apart <= -96) return ink & 0xFFFFFF;
  return on >= 128 ? 0x000000u : 0xFFFFFFu;
}

std::string CutTextToWidthBy(std::string_view text, int maxWidth, const std::function<int(std::string_view)>& measure) {
  if (maxWidth < 1) return {};
  if (measure(text) <= maxWidth) return std::string(text);
  // The longest head that fits with "..." after it, found by halving: one measure per step, so a
  // caption of n characters costs O(n log n) rather than a measure for every length.
  std::string s;
  s.reserve(text.size() + 3);
  auto fits = [&](std::size_t len) {
    s.assign(text.substr(0, len));
    s += "...";
    return measure(s) <= maxWidth;
  };
  if (!fits(0)) return {};
  std::size_t lo = 0, hi = text.size();  // the head of lo characters fits, that of hi does not
  while (hi - lo > 1) {
    const std::size_t mid = lo + (hi - lo) / 2;
    (fits(mid) ? lo : hi) = mid;
  }
  s.assign(text.substr(0, lo));
  s += "...";
  return s;
}

std::string ExtractWord(int n, std::string_view s, std::string_view delimiters) {
  if (n < 1) return {};
  int index = 0;
  std::size_t i = 0;
  while (i < s.size()) {
    while (i < s.size() && delimiters.find(s[i]) != std::string_view::npos) ++i;
    if (i >= s.size()) break;
    std::size_t start = i;
    while (i < s.size() && delimiters.find(s[i]) == std::string_view::npos) ++i;
    if (++index == n) return std::string(s.substr(start, i - start));
  }
  return {};
}

bool TryParseFloat(std::string_view s, double& value, char decimalSeparator) {
  std::string t = TrimSpaces(s);
  if (t.empty()) return false;
  for (char& c : t) {
    if (c == decimalSeparator) {
      c = '.';
    } else if (c == '.' || !((c >= '0' && c <= '9') || c == '+' || c == '-' || c == 'e' || c == 'E')) {
      return false;
    }
  }
  errno = 0;
  char* end = nullptr;
  const double v = std::strtod(t.c_str(), &end);
  if (end != t.c_str() + t.size() || errno == ERANGE || !std::isfinite(v)) return false;
  value = v;
  return true;
}

std::string InsertThousandSeparators(std::string_view s, char separator, char decimalSeparator) {
  std::size_t start = 0;
  while (start < s.size() && (s[start] == '-' || s[start] == '+' || s[start] == ' ')) ++start;
  std::size_t end = start;
  while (end < s.size() && s[end] >= '0' && s[end] <= '9') ++end;
  (void)decimalSeparator;  // the integer part ends at the first character that is not a digit
  std::string out(s.substr(0, start));
  const std::size_t digits = end - start;
  for (std::size_t i = 0; i < digits; ++i) {
    if (i > 0 && (digits - i) % 3 == 0) out += separator;
    out += s[start + i];
  }
  out += s.substr(end);
  return out;
}

std::string RepeatChar(char c, int count) { return count > 0 ? std::string(std::size_t(count), c) : std::string(); }

std::string TrimSpaces(std::string_view s) {
  std::size_t b = 0, e = s.size();
  while (b < e && (s[b] == ' ' || s[b] == '\t')) ++b;
  while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t')) --e;
  return std::string(s.substr(b, e - b));
}

std::string DeleteChars(std::string_view s, std::string_view chars) {
  std::string out;
  out.reserve(s.size());
  for (char c : s)
    if (chars.find(c) == std::string_view::npos) out += c;
  return out;
}

std::string ReplaceAllStr(std::string_view s, std::string_view from, std::string_view to) {
  if (from.empty()) return std::string(s);
  std::string out;
  std::size_t i = 0;
  for (;;) {
    std::size_t j = s.find(from, i);
    if (j == std::string_view::npos) break;
    out += s.substr(i, j - i);
    out += to;
    i = j + from.size();
  }
  out += s.substr(i);
  return out;
}

int FadeIterationsOf(int iterations, bool fast) {
  int n = fast ? iterations / 2 : iterations;
  return n < 1 ? 1 : n;
}

}  // namespace qv
