#include "skin/engine/core/acSkinModel.h"

#include <cctype>
#include <charconv>
#include <cstdint>
#include <vector>

#include "skin/engine/core/acSkinValues.h"

namespace qv {

std::string UpperCase(std::string_view s) {
  std::string r(s);
  for (char& c : r) c = char(std::toupper(static_cast<unsigned char>(c)));
  return r;
}

bool IsValidSkinName(std::string_view name) {
  if (name.empty() || name.size() > std::size_t(skinlimits::MaxNameLength)) return false;
  for (char c : name) {
    const unsigned char u = static_cast<unsigned char>(c);
    if (!(std::isalnum(u) || c == '_' || c == '-' || c == '.')) return false;
  }
  return true;
}

// ---------------------------------------------------------------------------------------------
// TsGeneralData

const std::string* TsGeneralData::Value(std::string_view key) const {
  for (const auto& kv : Keys)
    if (kv.first == key) return &kv.second;
  return nullptr;
}

namespace {

// Applies one key to the typed fields. Unknown keys are accepted as they are.
std::string ApplyKey(TsGeneralData& s, const std::string& key, const std::string& value) {
  std::string err;
  auto percent = [&](int& field) {
    int v = 0;
    if (!ParseSkinInt(value, 0, 100, v)) return "a whole number 0..100 expected";
    field = v;
    return "";
  };
  auto flag = [&](bool& field) {
    bool v = false;
    if (!ParseSkinBool(value, v)) return "TRUE or FALSE expected";
    field = v;
    return "";
  };
  auto colour = [&](TColorRef& field) {
    TColorRef v = 0;
    if (!ParseSkinColor(value, v)) return "a colour #RRGGBB expected";
    field = v;
    return "";
  };
  auto fonts = [&](TsFontColors& field) {
    TsFontColors v;
    if (!ParseSkinFontColors(value, v)) return "one to five colours #RRGGBB (or none for an outline) expected";
    field = v;
    return "";
  };
  const char* e = "";
  if (key == "COLOR")
    e = colour(s.Color);
  else if (key == "HOTCOLOR")
    e = colour(s.HotColor);
  else if (key == "FONTCOLOR")
    e = fonts(s.FontColor);
  else if (key == "HOTFONTCOLOR")
    e = fonts(s.HotFontColor);
  else if (key == "TRANSPARENCY")
    e = percent(s.Transparency);
  else if (key == "HOTTRANSPARENCY")
    e = percent(s.HotTransparency);
  else if (key == "GRADIENTPERCENT")
    e = percent(s.GradientPercent);
  else if (key == "IMAGEPERCENT")
    e = percent(s.ImagePercent);
  else if (key == "SHOWFOCUS")
    e = flag(s.ShowFocus);
  else if (key == "FADINGENABLED")
    e = flag(s.FadingEnabled);
  else if (key == "SAVETITLE")
    e = flag(s.SaveTitle);
  else if (key == "RESERVEDBOOLEAN")
    e = flag(s.ReservedBoolean);
  else if (key == "FADINGITERATIONS") {
    int v = 0;
    if (!ParseSkinInt(value, 1, 100, v))
      e = "a whole number 1..100 expected";
    else
      s.FadingIterations = v;
  } else if (key == "GRADIENTDATA") {
    TsGradientData v;
    if (!ParseSkinGradient(value, v))
      e = "two colours #RRGGBB and an optional direction V or H expected";
    else
      s.Gradient = v;
  } else if (key == "PARENTCLASS") {
    std::string p = UpperCase(TrimBlanks(value));
    if (!p.empty() && !IsValidSkinName(p))
      e = "a section name expected";
    else
      s.ParentClass = p;
  }
  if (*e) err = key + "=" + value + ": " + e;
  return err;
}

}  // namespace

std::string TsGeneralData::ParseKeys() {
  TsGeneralData fresh;
  fresh.Name = Name;
  fresh.Keys = Keys;
  bool hotColor = false, hotFont = false;
  for (const auto& kv : Keys) {
    std::string err = ApplyKey(fresh, kv.first, kv.second);
    if (!err.empty()) return err;
    hotColor |= kv.first == "HOTCOLOR";
    hotFont |= kv.first == "HOTFONTCOLOR";
  }
  // Hot colours default to the normal ones.
  if (!hotColor) fresh.HotColor = fresh.Color;
  if (!hotFont) fresh.HotFontColor = fresh.FontColor;
  *this = std::move(fresh);
  return {};
}

bool TsGeneralData::IsPainterKey(std::string_view key) {
  static constexpr std::string_view kKeys[] = {
      "COLOR",           "HOTCOLOR",        "FONTCOLOR",        "HOTFONTCOLOR", "TRANSPARENCY",
      "HOTTRANSPARENCY", "GRADIENTPERCENT", "IMAGEPERCENT",     "SHOWFOCUS",    "FADINGENABLED",
      "SAVETITLE",       "RESERVEDBOOLEAN", "FADINGITERATIONS", "GRADIENTDATA", "PARENTCLASS"};
  for (std::string_view k : kKeys)
    if (k == key) return true;
  return false;
}

std::string TsGeneralData::CheckKey(const std::string& key, const std::string& value) {
  TsGeneralData scratch;
  return ApplyKey(scratch, key, value);
}

std::string TsGeneralData::Set(std::string_view key, std::string_view value) {
  TsGeneralData copy = *this;
  copy.SetRaw(key, value);
  std::string err = copy.ParseKeys();
  if (err.empty()) *this = std::move(copy);
  return err;
}

void TsGeneralData::SetRaw(std::string_view key, std::string_view value) {
  std::string k = UpperCase(key);
  for (auto& kv : Keys)
    if (kv.first == k) {
      kv.second = std::string(value);
      return;
    }
  Keys.emplace_back(std::move(k), std::string(value));
}

void TsGeneralData::SetColor(std::string_view key, TColorRef c) { Set(key, FormatSkinColor(c)); }
void TsGeneralData::SetInt(std::string_view key, int v) { Set(key, std::to_string(v)); }
void TsGeneralData::SetBool(std::string_view key, bool v) { Set(key, v ? "TRUE" : "FALSE"); }
void TsGeneralData::SetFontColors(std::string_view key, const TsFontColors& c) { Set(key, FormatSkinFontColors(c)); }

// ---------------------------------------------------------------------------------------------
// Masks

std::string ValidateMask(const TsMaskData& m, int imageWidth, int imageHeight) {
  if (m.ImageCount < 1 || m.ImageCount > skinlimits::MaxImageCount)
    return "state count " + std::to_string(m.ImageCount) + " outside 1.." + std::to_string(skinlimits::MaxImageCount);
  if (m.MaskType != 0 && m.MaskType != 1) return "mask type " + std::to_string(m.MaskType) + " is not 0 or 1";
  const TRect& r = m.R;
  if (r.Left < 0 || r.Top < 0 || r.Right > imageWidth || r.Bottom > imageHeight || r.IsEmpty())
    return "rectangle outside the image (" + std::to_string(imageWidth) + " x " + std::to_string(imageHeight) + ")";
  if (r.Width() < m.ImageCount) return "rectangle narrower than its state count";
  if (r.Height() % (m.MaskType + 1) != 0) return "mask type 1 needs an even rectangle height";
  const int fw = m.FrameWidth(), fh = m.FrameHeight();
  if (m.MarginLeft < 0 || m.MarginTop < 0 || m.MarginRight < 0 || m.MarginBottom < 0) return "negative margin";
  if (m.MarginLeft > fw || m.MarginRight > fw || m.MarginLeft + m.MarginRight > fw || m.MarginTop > fh ||
      m.MarginBottom > fh || m.MarginTop + m.MarginBottom > fh)
    return "margins larger than the frame (" + std::to_string(fw) + " x " + std::to_string(fh) + ")";
  if (m.BorderWidth < 0 || 2 * m.BorderWidth > fw || 2 * m.BorderWidth > fh)
    return "border width larger than half the frame";
  return {};
}

// ---------------------------------------------------------------------------------------------
// TSkinModel

namespace {
std::string MaskKey(std::string_view section, std::string_view property) {
  std::string k;
  k.reserve(section.size() + property.size() + 1);
  k.append(section);
  k.push_back('\x1F');
  k.append(property);
  return k;
}
}  // namespace

void TSkinModel::RebuildIndex() {
  MaskRows_.Cache.Clear();
  for (TSkinImage& img : Images) BuildKeyRunIndex(img.Bitmap.View(), clKeyMagenta, img.KeyRuns);
  SectionIndex_.clear();
  MaskIndex_.clear();
  for (int i = 0; i < int(Sections.size()); ++i) SectionIndex_.emplace(Sections[i].Name, i);  // first wins
  for (int i = 0; i < int(Masks.size()); ++i)
    MaskIndex_.emplace(MaskKey(Masks[i].SectionName, Masks[i].PropertyName), i);
  BreakParentLoops();
}

void TSkinModel::BreakParentLoops() {
  // Each chain is walked once: 1 marks the sections of the chain being walked, 2 those done.
  std::vector<std::uint8_t> state(Sections.size(), 0);
  std::vector<int> chain;
  for (int start = 0; start < int(Sections.size()); ++start) {
    chain.clear();
    for (int cur = start; IsSectionIndex(cur) && state[cur] == 0;) {
      state[cur] = 1;
      chain.push_back(cur);
      const std::string& parent = Sections[cur].ParentClass;
      const int next = parent.empty() ? -1 : SectionIndexOf(parent);
      if (IsSectionIndex(next) && state[next] == 1) {
        Sections[cur].Set("PARENTCLASS", "");  // this section closes the loop
        break;
      }
      cur = next;
    }
    for (int i : chain) state[i] = 2;
  }
}

int TSkinModel::SectionIndexOf(std::string_view name) const {
  auto it = SectionIndex_.find(std::string(name));
  return it == SectionIndex_.end() ? -1 : it->second;
}

int TSkinModel::MaskIndexOf(std::string_view section, std::string_view property) const {
  auto it = MaskIndex_.find(MaskKey(section, property));
  return it == MaskIndex_.end() ? -1 : it->second;
}

int TSkinModel::LookupMask(int sectionIndex, std::string_view section, std::string_view property) const {
  int r = MaskIndexOf(section, property);
  if (r >= 0) return r;
  int idx = IsSectionIndex(sectionIndex) ? sectionIndex : SectionIndexOf(section);
  // RebuildIndex breaks loops; sections added since then are bounded by the number of sections.
  for (int steps = int(Sections.size()); steps > 0 && IsSectionIndex(idx); --steps) {
    const std::string& parent = Sections[idx].ParentClass;
    if (parent.empty()) break;
    r = MaskIndexOf(parent, property);
    if (r >= 0) return r;
    idx = SectionIndexOf(parent);
  }
  return -1;
}

std::array<int, 4> TSkinModel::CornerImages(int sectionIndex) const {
  std::array<int, 4> r{-1, -1, -1, -1};
  if (!IsSectionIndex(sectionIndex)) return r;
  const std::string& name = Sections[std::size_t(sectionIndex)].Name;
  for (std::size_t i = 0; i < r.size(); ++i) r[i] = LookupMask(sectionIndex, name, kCornerImageNames[i]);
  return r;
}

int TSkinModel::ImageIndexOf(std::string_view fileName) const {
  const std::string want = UpperCase(fileName);
  for (int i = 0; i < int(Images.size()); ++i)
    if (UpperCase(Images[i].FileName) == want) return i;
  return -1;
}

TSize TSkinModel::GetMaskItemSize(int maskIndex) const {
  if (!IsMaskIndex(maskIndex)) return {};
  const TsMaskData& m = Masks[maskIndex];
  return TSize{m.FrameWidth(), m.FrameHeight()};
}

namespace {
int MarginOf(int own, int border, int frame) {
  if (own > 0) return own;
  if (border > 0) return border;
  return frame / 3;
}
}  // namespace

int TSkinModel::MaskMarginLeft(int i) const {
  if (!IsMaskIndex(i)) return 0;
  const TsMaskData& m = Masks[i];
  return MarginOf(m.MarginLeft, m.BorderWidth, m.FrameWidth());
}
int TSkinModel::MaskMarginTop(int i) const {
  if (!IsMaskIndex(i)) return 0;
  const TsMaskData& m = Masks[i];
  return MarginOf(m.MarginTop, m.BorderWidth, m.FrameHeight());
}
int TSkinModel::MaskMarginRight(int i) const {
  if (!IsMaskIndex(i)) return 0;
  const TsMaskData& m = Masks[i];
  return MarginOf(m.MarginRight, m.BorderWidth, m.FrameWidth());
}
int TSkinModel::MaskMarginBottom(int i) const {
  if (!IsMaskIndex(i)) return 0;
  const TsMaskData& m = Masks[i];
  return MarginOf(m.MarginBottom, m.BorderWidth, m.FrameHeight());
}

const TImage24* TSkinModel::MaskImage(int maskIndex) const {
  if (!IsMaskIndex(maskIndex)) return nullptr;
  const int img = Masks[maskIndex].ImageIndex;
  if (img < 0 || img >= int(Images.size())) return nullptr;
  return &Images[img].Bitmap;
}

int TSkinModel::AddSection(const TsGeneralData& s) {
  Sections.push_back(s);
  SectionIndex_.emplace(s.Name, int(Sections.size()) - 1);
  return int(Sections.size()) - 1;
}

int TSkinModel::AddImage(std::string fileName, TImage24 bmp) {
  Images.push_back(TSkinImage{std::move(fileName), std::move(bmp), {}});
  BuildKeyRunIndex(Images.back().Bitmap.View(), clKeyMagenta, Images.back().KeyRuns);
  return int(Images.size()) - 1;
}

int TSkinModel::AddMask(const TsMaskData& m) {
  Masks.push_back(m);
  MaskIndex_.emplace(MaskKey(m.SectionName, m.PropertyName), int(Masks.size()) - 1);
  return int(Masks.size()) - 1;
}

}  // namespace qv
