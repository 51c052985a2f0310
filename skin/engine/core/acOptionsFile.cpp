#include "skin/engine/core/acOptionsFile.h"

#include <cctype>
#include <unordered_set>

#include "skin/engine/core/acSkinValues.h"

namespace qv {

bool IsValidSkinFileName(std::string_view name) {
  if (name.empty() || name.size() > 255 || name.front() == '.') return false;
  for (char c : name) {
    const unsigned char u = static_cast<unsigned char>(c);
    if (u <= 0x20 || u == 0x7F || c == '/' || c == '\\' || c == ':' || c == '*' || c == '?' || c == '"' || c == '<' ||
        c == '>' || c == '|')
      return false;
  }
  return true;
}

namespace {

constexpr std::size_t kMaxLine = 4096;

bool ParseIntList(std::string_view text, int* out, int count, int min, int max) {
  for (int i = 0; i < count; ++i) {
    std::size_t comma = text.find(',');
    if ((comma == std::string_view::npos) != (i == count - 1)) return false;
    if (!ParseSkinInt(text.substr(0, comma), min, max, out[i])) return false;
    if (comma != std::string_view::npos) text.remove_prefix(comma + 1);
  }
  return true;
}

// "file=X rect=x,y,w,h count=N type=T margins=l,t,r,b border=B mode=stretch|tile hotonly=0|1"
std::string ParseMaskFields(std::string_view text, TOptionsMask& e) {
  std::unordered_set<std::string> seen;
  text = TrimBlanks(text);
  constexpr int kMax = skinlimits::MaxImageSide;
  while (!text.empty()) {
    std::size_t end = text.find_first_of(" \t");
    std::string_view field = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : TrimBlanks(text.substr(end));
    std::size_t eq = field.find('=');
    if (eq == std::string_view::npos || eq == 0) return "mask field \"" + std::string(field) + "\" is not name=value";
    std::string name = UpperCase(field.substr(0, eq));
    std::string_view value = field.substr(eq + 1);
    if (!seen.insert(name).second) return "mask field " + name + " given twice";
    if (name == "FILE") {
      if (!IsValidSkinFileName(value)) return "bad image file name \"" + std::string(value) + "\"";
      e.FileName = std::string(value);
    } else if (name == "RECT") {
      int v[4];
      if (!ParseIntList(value, v, 4, 0, kMax)) return "rect=x,y,width,height expected";
      e.Mask.R = Bounds(v[0], v[1], v[2], v[3]);
      e.HasRect = true;
    } else if (name == "COUNT") {
      if (!ParseSkinInt(value, -1000000, 1000000, e.Mask.ImageCount)) return "count: a whole number expected";
    } else if (name == "TYPE") {
      if (!ParseSkinInt(value, -1000000, 1000000, e.Mask.MaskType)) return "type: a whole number expected";
    } else if (name == "MARGINS") {
      int v[4];
      if (!ParseIntList(value, v, 4, -kMax, kMax)) return "margins=left,top,right,bottom expected";
      e.Mask.MarginLeft = v[0];
      e.Mask.MarginTop = v[1];
      e.Mask.MarginRight = v[2];
      e.Mask.MarginBottom = v[3];
    } else if (name == "BORDER") {
      if (!ParseSkinInt(value, -kMax, kMax, e.Mask.BorderWidth)) return "border: a whole number expected";
    } else if (name == "HOTONLY") {
      if (!ParseSkinBool(value, e.Mask.HotOnly)) return "hotonly: 1 or 0 expected";
    } else if (name == "MODE") {
      std::string m = UpperCase(value);
      if (m == "STRETCH")
        e.Mask.DrawMode = TsDrawMode::Stretch;
      else if (m == "TILE")
        e.Mask.DrawMode = TsDrawMode::Tile;
      else
        return "mode: stretch or tile expected";
    } else {
      return "unknown mask field " + name;
    }
  }
  // The frame checks that do not need the image.
  if (e.Mask.ImageCount < 1 || e.Mask.ImageCount > skinlimits::MaxImageCount)
    return "state count " + std::to_string(e.Mask.ImageCount) + " outside 1.." +
           std::to_string(skinlimits::MaxImageCount);
  if (e.Mask.MaskType != 0 && e.Mask.MaskType != 1)
    return "mask type " + std::to_string(e.Mask.MaskType) + " is not 0 or 1";
  if (e.FileName.empty() && !e.HasRect) return "a mask of the master bitmap needs rect=";
  return {};
}

bool StartsWithNoCase(std::string_view s, std::string_view prefix) {
  if (s.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i)
    if (std::toupper(static_cast<unsigned char>(s[i])) != std::toupper(static_cast<unsigned char>(prefix[i])))
      return false;
  return true;
}

}  // namespace

bool ParseOptionsFile(std::string_view text, TOptionsFile& out, std::string& error) {
  if (text.size() > skinlimits::MaxOptionsBytes) {
    error = std::string(kOptionsFileName) + " is larger than " + std::to_string(skinlimits::MaxOptionsBytes) + " bytes";
    return false;
  }
  if (text.size() >= 3 && text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  TOptionsFile file;
  std::unordered_set<std::string> sectionNames;
  std::unordered_set<std::string> maskNames;
  std::unordered_set<std::string> keyNames;  // of the current section
  int lineNo = 0;
  auto fail = [&](const std::string& what) {
    error = std::string(kOptionsFileName) + " line " + std::to_string(lineNo) + ": " + what;
    return false;
  };
  while (!text.empty()) {
    ++lineNo;
    std::size_t nl = text.find('\n');
    std::string_view line = text.substr(0, nl);
    text = nl == std::string_view::npos ? std::string_view() : text.substr(nl + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.size() > kMaxLine) return fail("line longer than " + std::to_string(kMaxLine) + " characters");
    for (char c : line) {
      const unsigned char u = static_cast<unsigned char>(c);
      if ((u < 0x20 && c != '\t') || u == 0x7F) return fail("control character in the text");
    }
    line = TrimBlanks(line);
    if (line.empty() || line.front() == ';' || line.front() == '#') continue;
    if (line.front() == '[') {
      if (line.back() != ']') return fail("section header without ']'");
      std::string name = UpperCase(TrimBlanks(line.substr(1, line.size() - 2)));
      if (!IsValidSkinName(name)) return fail("bad section name \"" + name + "\"");
      if (!sectionNames.insert(name).second) return fail("section [" + name + "] given twice");
      if (int(file.Sections.size()) >= skinlimits::MaxSections) return fail("too many sections");
      TsGeneralData s;
      s.Name = name;
      file.Sections.push_back(std::move(s));
      keyNames.clear();
      continue;
    }
    std::size_t eq = line.find('=');
    if (eq == std::string_view::npos) return fail("\"key=value\" or \"[SECTION]\" expected");
    std::string key = UpperCase(TrimBlanks(line.substr(0, eq)));
    std::string_view value = TrimBlanks(line.substr(eq + 1));
    if (!IsValidSkinName(key)) return fail("bad key name \"" + key + "\"");
    if (file.Sections.empty()) return fail("key outside a section");
    TsGeneralData& sec = file.Sections.back();
    if (StartsWithNoCase(value, "mask:")) {
      if (!maskNames.insert(sec.Name + "\x1F" + key).second)
        return fail("mask " + key + " given twice in [" + sec.Name + "]");
      if (int(file.Masks.size()) >= skinlimits::MaxMasks) return fail("too many masks");
      TOptionsMask m;
      m.Mask.SectionName = sec.Name;
      m.Mask.PropertyName = key;
      std::string err = ParseMaskFields(value.substr(5), m);
      if (!err.empty()) return fail("[" + sec.Name + "] " + key + ": " + err);
      file.Masks.push_back(std::move(m));
      continue;
    }
    if (!keyNames.insert(key).second) return fail("key " + key + " given twice in [" + sec.Name + "]");
    if (int(sec.Keys.size()) >= skinlimits::MaxKeysPerSection) return fail("too many keys in [" + sec.Name + "]");
    sec.Keys.emplace_back(key, std::string(value));
    std::string err = TsGeneralData::CheckKey(sec.Keys.back().first, sec.Keys.back().second);
    if (!err.empty()) return fail("[" + sec.Name + "] " + err);
  }
  for (TsGeneralData& sec : file.Sections) {
    std::string err = sec.ParseKeys();  // every key was checked above
    if (!err.empty()) {
      error = std::string(kOptionsFileName) + ": [" + sec.Name + "] " + err;
      return false;
    }
  }
  out = std::move(file);
  return true;
}

std::string WriteOptionsFile(const TOptionsFile& file) {
  std::string s = "; Skin description (see docs/skin-format.md)\n";
  std::unordered_set<std::string> written;
  auto writeMasks = [&](const std::string& section) {
    for (const TOptionsMask& m : file.Masks) {
      if (m.Mask.SectionName != section) continue;
      const TsMaskData& d = m.Mask;
      s += d.PropertyName + "=mask:";
      if (!m.FileName.empty()) s += " file=" + m.FileName;
      if (m.HasRect)
        s += " rect=" + std::to_string(d.R.Left) + "," + std::to_string(d.R.Top) + "," + std::to_string(d.R.Width()) +
             "," + std::to_string(d.R.Height());
      s += " count=" + std::to_string(d.ImageCount) + " type=" + std::to_string(d.MaskType);
      if (d.MarginLeft || d.MarginTop || d.MarginRight || d.MarginBottom)
        s += " margins=" + std::to_string(d.MarginLeft) + "," + std::to_string(d.MarginTop) + "," +
             std::to_string(d.MarginRight) + "," + std::to_string(d.MarginBottom);
      if (d.BorderWidth) s += " border=" + std::to_string(d.BorderWidth);
      s += d.DrawMode == TsDrawMode::Tile ? " mode=tile" : " mode=stretch";
      if (d.HotOnly) s += " hotonly=1";
      s += "\n";
    }
  };
  for (const TsGeneralData& sec : file.Sections) {
    s += "\n[" + sec.Name + "]\n";
    for (const auto& kv : sec.Keys) s += kv.first + "=" + kv.second + "\n";
    if (written.insert(sec.Name).second) writeMasks(sec.Name);
  }
  // Masks of sections that have no keys of their own.
  for (const TOptionsMask& m : file.Masks) {
    if (!written.insert(m.Mask.SectionName).second) continue;
    s += "\n[" + m.Mask.SectionName + "]\n";
    writeMasks(m.Mask.SectionName);
  }
  return s;
}

}  // namespace qv
