#include "skin/engine/core/acSkinValues.h"

#include <cctype>
#include <charconv>
#include <cstdio>

namespace qv {

std::string_view TrimBlanks(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

bool ParseSkinInt(std::string_view text, int min, int max, int& out) {
  text = TrimBlanks(text);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  if (text.empty() || text.size() > 11) return false;
  long long v = 0;
  auto [p, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
  if (ec != std::errc() || p != text.data() + text.size()) return false;
  if (v < min || v > max) return false;
  out = int(v);
  return true;
}

namespace {
bool EqualsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (std::toupper(static_cast<unsigned char>(a[i])) != std::toupper(static_cast<unsigned char>(b[i]))) return false;
  return true;
}
}  // namespace

bool ParseSkinBool(std::string_view text, bool& out) {
  text = TrimBlanks(text);
  if (EqualsNoCase(text, "TRUE") || text == "1") {
    out = true;
    return true;
  }
  if (EqualsNoCase(text, "FALSE") || text == "0") {
    out = false;
    return true;
  }
  return false;
}

bool ParseSkinColor(std::string_view text, TColorRef& out) {
  text = TrimBlanks(text);
  if (text.size() != 7 || text[0] != '#') return false;
  unsigned v = 0;
  for (std::size_t i = 1; i < 7; ++i)
    if (!std::isxdigit(static_cast<unsigned char>(text[i]))) return false;
  auto [p, ec] = std::from_chars(text.data() + 1, text.data() + 7, v, 16);
  if (ec != std::errc() || p != text.data() + 7) return false;
  const unsigned r = (v >> 16) & 0xFF, g = (v >> 8) & 0xFF, b = v & 0xFF;
  out = TColorRef(r | (g << 8) | (b << 16));
  return true;
}

bool ParseSkinFontColors(std::string_view text, TsFontColors& out) {
  TsFontColors r;
  std::size_t n = 0;
  text = TrimBlanks(text);
  while (!text.empty()) {
    std::size_t end = text.find_first_of(" \t");
    std::string_view word = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : TrimBlanks(text.substr(end));
    if (n >= r.Items.size()) return false;
    if (n > 0 && EqualsNoCase(word, "none")) {
      r.Items[n++] = clNoColor;
      continue;
    }
    if (!ParseSkinColor(word, r.Items[n])) return false;
    ++n;
  }
  if (n == 0) return false;
  out = r;
  return true;
}

bool ParseSkinGradient(std::string_view text, TsGradientData& out) {
  std::string_view words[4];
  std::size_t n = 0;
  text = TrimBlanks(text);
  while (!text.empty()) {
    if (n == 3) return false;
    std::size_t end = text.find_first_of(" \t");
    words[n++] = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : TrimBlanks(text.substr(end));
  }
  TsGradientData g;
  if (n < 2 || !ParseSkinColor(words[0], g.Color1) || !ParseSkinColor(words[1], g.Color2)) return false;
  if (n == 3) {
    if (EqualsNoCase(words[2], "H"))
      g.Vertical = false;
    else if (!EqualsNoCase(words[2], "V"))
      return false;
  }
  g.Valid = true;
  out = g;
  return true;
}

std::string FormatSkinGradient(const TsGradientData& g) {
  return FormatSkinColor(g.Color1) + " " + FormatSkinColor(g.Color2) + (g.Vertical ? " V" : " H");
}

std::string FormatSkinColor(TColorRef c) {
  char buf[8];
  std::snprintf(buf, sizeof buf, "#%02X%02X%02X", unsigned(c & 0xFF), unsigned((c >> 8) & 0xFF),
                unsigned((c >> 16) & 0xFF));
  return buf;
}

std::string FormatSkinFontColors(const TsFontColors& c) {
  std::string s = FormatSkinColor(c.Items[0]);
  if (!c.HasOutline()) return s;
  for (std::size_t i = 1; i < c.Items.size(); ++i) {
    s += ' ';
    s += c.Items[i] == clNoColor ? std::string("none") : FormatSkinColor(c.Items[i]);
  }
  return s;
}

}  // namespace qv
