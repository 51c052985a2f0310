#include "tests/support/core/SkinBuilder.h"

#include <algorithm>
#include <atomic>
#include <cctype>
#include <chrono>
#include <random>
#include <system_error>

#include "skin/engine/core/acBmpFile.h"
#include "skin/engine/core/acSkinLoader.h"
#include "skin/engine/core/acSkinValues.h"

namespace qvtest {

namespace fs = std::filesystem;
using qv::TImage24;

TSkinBuilder TSkinBuilder::Standard() {
  TSkinBuilder b;
  b.Section("GLOBALINFO");
  for (const char* p : {"BICONCLOSE", "BICONMAX", "BICONMIN", "BICONNORM", "BICONHELP"})
    b.Mask("GLOBALINFO", p, 16, 14);
  for (const char* p : {"SICONCLOSE", "SICONMAX", "SICONMIN", "SICONHELP"}) b.Mask("GLOBALINFO", p, 12, 10);
  b.Mask("GLOBALINFO", "TITLEBUTTON", 16, 14);
  b.Mask("GLOBALINFO", "GRIPIMAGE", 12, 12, 2);
  for (const char* p : {"BOXCHECKED", "BOXUNCHECKED", "BOXGRAYED", "RADIOCHECKED", "RADIOUNCHECKED", "CHECK"})
    b.Mask("GLOBALINFO", p, 13, 13, 3);
  b.Section("FORM");
  b.Mask("FORM", "BORDERSMASK", 24, 24, 2).Margins[0] = 4;
  b.Mask("FORM", "TITLEBAR", 20, 18, 2);
  b.Section("FORMTITLE");
  b.Mask("FORMTITLE", "BORDERSMASK", 24, 22, 2);
  b.Section("DIALOG", "FORM");
  b.Section("MAINMENU");
  b.Mask("MAINMENU", "BORDERSMASK", 9, 9, 1);
  b.Section("MENULINE");
  b.Section("MENUITEM");
  b.Mask("MENUITEM", "BORDERSMASK", 9, 9, 2);
  for (const char* s : {"BUTTON", "SPEEDBUTTON", "SPEEDBUTTON_SMALL", "TOOLBUTTON", "COLHEADER", "UPDOWNBTN"}) {
    b.Section(s);
    b.Mask(s, "BORDERSMASK", 12, 12, 3);
  }
  for (const char* s : {"CHECKBOX", "RADIOBUTTON", "EDIT", "PANEL", "PANEL_LOW", "GROUPBOX", "STATUSBAR", "GAUGE",
                        "PROGRESSH", "PROGRESSV", "TRACKBAR", "TABSHEET", "BAR", "TOOLBAR", "DIVIDER", "DIVIDERV"}) {
    b.Section(s);
    b.Mask(s, "BORDERSMASK", 9, 9, 2);
  }
  b.Section("COMBOBOX", "EDIT");
  b.Mask("COMBOBOX", "GLYPHMASK", 8, 6, 3);
  b.Section("COMBOBTN");
  b.Mask("COMBOBTN", "BORDERSMASK", 12, 12, 3);
  b.Mask("STATUSBAR", "STATUSPANELMASK", 9, 9, 1);
  b.Mask("TRACKBAR", "SLIDERCHANNEL", 9, 5, 2);
  b.Mask("TRACKBAR", "SLIDERMASK", 11, 21, 3);
  b.Mask("TRACKBAR", "SLIDERVMASK", 21, 11, 3);
  b.Mask("TRACKBAR", "TICKHORZ", 2, 4, 3);
  b.Mask("TRACKBAR", "TICKVERT", 4, 2, 3);
  for (const char* s : {"TABTOP", "TABBOTTOM", "TABLEFT", "TABRIGHT"}) {
    b.Section(s);
    b.Mask(s, "BORDERSMASK", 12, 12, 3);
  }
  for (const char* s : {"PAGECONTROL", "PAGECONTROLBOTTOM", "PAGECONTROLLEFT", "PAGECONTROLRIGHT"}) {
    b.Section(s);
    b.Mask(s, "BORDERSMASK", 9, 9, 1);
  }
  for (const char* s :
       {"SCROLLBTNTOP", "SCROLLBTNBOTTOM", "SCROLLBTNLEFT", "SCROLLBTNRIGHT", "SCROLLSLIDERH", "SCROLLSLIDERV"}) {
    b.Section(s);
    b.Mask(s, "BORDERSMASK", 16, 16, 3);
    b.Mask(s, "GLYPHMASK", 7, 5, 3);
  }
  for (const char* s : {"SCROLLBAR1H", "SCROLLBAR2H", "SCROLLBAR1V", "SCROLLBAR2V"}) {
    b.Section(s);
    b.Mask(s, "BORDERSMASK", 9, 9, 3);
  }
  return b;
}

TSkinBuilder::TSec* TSkinBuilder::FindSection(const std::string& name) {
  for (TSec& s : Sections_)
    if (s.Name == name) return &s;
  return nullptr;
}

TSkinBuilder& TSkinBuilder::Section(const std::string& name, const std::string& parentClass) {
  if (!FindSection(name)) {
    TSec s;
    s.Name = name;
    const int ordinal = int(Sections_.size());
    s.Keys.emplace_back("COLOR", qv::FormatSkinColor(SectionColor(ordinal)));
    s.Keys.emplace_back("FONTCOLOR", qv::FormatSkinColor(SectionColor(ordinal) ^ 0x808080));
    s.Keys.emplace_back("HOTCOLOR", qv::FormatSkinColor(SectionColor(ordinal) ^ 0x404040));
    s.Keys.emplace_back("HOTFONTCOLOR", qv::FormatSkinColor(SectionColor(ordinal) ^ 0xC0C0C0));
    Sections_.push_back(std::move(s));
  }
  if (!parentClass.empty()) Key(name, "PARENTCLASS", parentClass);
  return *this;
}

TSkinBuilder& TSkinBuilder::Key(const std::string& section, const std::string& key, const std::string& value) {
  Section(section);
  TSec* s = FindSection(section);
  for (auto& kv : s->Keys)
    if (kv.first == key) {
      kv.second = value;
      return *this;
    }
  s->Keys.emplace_back(key, value);
  return *this;
}

TTestMask& TSkinBuilder::Mask(const std::string& section, const std::string& property, int frameWidth, int frameHeight,
                              int count, int maskType) {
  Section(section);
  for (TTestMask& m : Masks_)
    if (m.Section == section && m.Property == property) return m;
  TTestMask m;
  m.Section = section;
  m.Property = property;
  m.FrameWidth = frameWidth;
  m.FrameHeight = frameHeight;
  m.Count = count;
  m.MaskType = maskType;
  Masks_.push_back(m);
  return Masks_.back();
}

TSkinBuilder& TSkinBuilder::RemoveSection(const std::string& name) {
  std::erase_if(Sections_, [&](const TSec& s) { return s.Name == name; });
  std::erase_if(Masks_, [&](const TTestMask& m) { return m.Section == name; });
  return *this;
}

TSkinBuilder& TSkinBuilder::RemoveMask(const std::string& section, const std::string& property) {
  std::erase_if(Masks_, [&](const TTestMask& m) { return m.Section == section && m.Property == property; });
  return *this;
}

TSkinBuilder& TSkinBuilder::RawMask(const std::string& section, const std::string& property, const std::string& raw) {
  Mask(section, property).RawValue = raw;
  return *this;
}

TSkinBuilder& TSkinBuilder::ReplaceOptions(const std::string& text) {
  return ReplaceFile("Options.dat", {text.begin(), text.end()});
}

TSkinBuilder& TSkinBuilder::ReplaceFile(const std::string& name, std::vector<std::uint8_t> bytes) {
  Replaced_.emplace_back(name, std::move(bytes));
  return *this;
}

TSkinBuilder& TSkinBuilder::DropFile(const std::string& name) {
  Dropped_.push_back(name);
  return *this;
}

TColorRef TSkinBuilder::FrameColor(int maskOrdinal, int state) {
  // Blue spreads the masks, green the states, red the rest: all distinct for 4096 masks of up to 64
  // states, and never the key colour (red stays below 0xFF).
  const unsigned n = unsigned(maskOrdinal) * 64u + unsigned(state);
  const unsigned r = 0x10 + ((n >> 16) & 0x3F), g = (n >> 8) & 0xFF, b = n & 0xFF;
  return TColorRef(r | (g << 8) | (b << 16));
}

TColorRef TSkinBuilder::SectionColor(int sectionOrdinal) {
  const unsigned n = unsigned(sectionOrdinal) * 37u + 11u;
  return TColorRef(0x80 + (n & 0x3F)) | (TColorRef((n * 7) & 0xFF) << 8) | (TColorRef(0x40 + (n & 0x7F)) << 16);
}

int TSkinBuilder::MaskOrdinal(const std::string& section, const std::string& property) const {
  for (int i = 0; i < int(Masks_.size()); ++i)
    if (Masks_[i].Section == section && Masks_[i].Property == property) return i;
  return -1;
}

TImage24 TSkinBuilder::MaskImage(int ordinal) const {
  const TTestMask& m = Masks_[ordinal];
  const int w = std::max(1, m.FrameWidth), h = std::max(1, m.FrameHeight);
  const int count = std::clamp(m.Count, 1, 64);
  const int halves = m.MaskType == 1 ? 2 : 1;
  TImage24 img(w * count, h * halves);
  const qv::TBgr key = qv::BgrOf(qv::clKeyMagenta);
  for (int s = 0; s < count; ++s) {
    const qv::TBgr c = qv::BgrOf(FrameColor(ordinal, s));
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        img.SetPixel(s * w + x, y, c);
        if (halves == 2) img.SetPixel(s * w + x, h + y, qv::BgrOf(MaskOpaque));
      }
    // Key runs along the outer rows: top-left, top-right, bottom-left, bottom-right.
    auto run = [&](int corner, int y, bool fromLeft) {
      const int len = std::min(Runs_[corner], w / 2);
      for (int i = 0; i < len; ++i) {
        const int x = s * w + (fromLeft ? i : w - 1 - i);
        if (halves == 2)
          img.SetPixel(x, h + y, qv::BgrOf(MaskClear));
        else
          img.SetPixel(x, y, key);
      }
    };
    run(0, 0, true);
    run(1, 0, false);
    run(2, h - 1, true);
    run(3, h - 1, false);
  }
  return img;
}

std::string TSkinBuilder::FileNameOf(int ordinal) const {
  const TTestMask& m = Masks_[ordinal];
  std::string n = m.Section + "_" + m.Property + ".bmp";
  std::transform(n.begin(), n.end(), n.begin(), [](unsigned char c) { return char(std::tolower(c)); });
  return n;
}

std::string TSkinBuilder::OptionsText() const {
  std::string s = "; test skin\n";
  // Master layout: mask images stacked top to bottom.
  std::vector<int> masterY(Masks_.size(), 0);
  int y = 0;
  for (std::size_t i = 0; i < Masks_.size(); ++i) {
    masterY[i] = y;
    y += MaskImage(int(i)).Height();
  }
  if (Master_) s += "[SKININFO]\nMASTERBITMAP=master.bmp\n";
  for (const TSec& sec : Sections_) {
    s += "[" + sec.Name + "]\n";
    for (const auto& kv : sec.Keys) s += kv.first + "=" + kv.second + "\n";
    for (std::size_t i = 0; i < Masks_.size(); ++i) {
      const TTestMask& m = Masks_[i];
      if (m.Section != sec.Name) continue;
      s += m.Property + "=";
      if (!m.RawValue.empty()) {
        s += m.RawValue + "\n";
        continue;
      }
      s += "mask:";
      if (Master_) {
        const TImage24 img = MaskImage(int(i));
        s += " rect=0," + std::to_string(masterY[i]) + "," + std::to_string(img.Width()) + "," +
             std::to_string(img.Height());
      } else {
        s += " file=" + FileNameOf(int(i));
      }
      s += " count=" + std::to_string(m.Count) + " type=" + std::to_string(m.MaskType) +
           " margins=" + std::to_string(m.Margins[0]) + "," + std::to_string(m.Margins[1]) + "," +
           std::to_string(m.Margins[2]) + "," + std::to_string(m.Margins[3]) +
           " border=" + std::to_string(m.BorderWidth) +
           (m.Mode == qv::TsDrawMode::Tile ? " mode=tile" : " mode=stretch") + (m.HotOnly ? " hotonly=1" : "") + "\n";
    }
  }
  return s;
}

std::vector<qv::TPackedEntry> TSkinBuilder::Files() const {
  std::vector<qv::TPackedEntry> files;
  const std::string text = OptionsText();
  files.push_back({"Options.dat", std::vector<std::uint8_t>(text.begin(), text.end())});
  if (Master_) {
    int w = 1, h = 0;
    for (std::size_t i = 0; i < Masks_.size(); ++i) {
      const TImage24 img = MaskImage(int(i));
      w = std::max(w, img.Width());
      h += img.Height();
    }
    TImage24 master(w, std::max(h, 1));
    master.Fill(qv::TBgr{0x80, 0x80, 0x80});
    int y = 0;
    for (std::size_t i = 0; i < Masks_.size(); ++i) {
      const TImage24 img = MaskImage(int(i));
      for (int yy = 0; yy < img.Height(); ++yy)
        for (int x = 0; x < img.Width(); ++x) master.SetPixel(x, y + yy, img.Pixel(x, yy));
      y += img.Height();
    }
    files.push_back({"master.bmp", qv::EncodeBmp(master)});
  } else {
    for (std::size_t i = 0; i < Masks_.size(); ++i)
      if (Masks_[i].RawValue.empty()) files.push_back({FileNameOf(int(i)), qv::EncodeBmp(MaskImage(int(i)))});
  }
  for (const auto& replaced : Replaced_) {
    const std::string& name = replaced.first;
    auto it = std::find_if(files.begin(), files.end(), [&](const qv::TPackedEntry& e) { return e.Name == name; });
    if (it != files.end())
      it->Data = replaced.second;
    else
      files.push_back({name, replaced.second});
  }
  for (const std::string& name : Dropped_)
    std::erase_if(files, [&](const qv::TPackedEntry& e) { return e.Name == name; });
  return files;
}

std::vector<std::uint8_t> TSkinBuilder::Packed() const {
  std::vector<std::uint8_t> bytes;
  std::string error;
  qv::WritePackedSkin(Files(), bytes, error);
  return bytes;
}

std::unique_ptr<qv::TSkinModel> TSkinBuilder::Load(std::string* error) const {
  std::string e;
  auto skin = qv::LoadSkinFromEntries(Files(), e);
  if (error) *error = e;
  return skin;
}

fs::path TSkinBuilder::WriteFolder(const fs::path& folder) const {
  std::error_code ec;
  fs::create_directories(folder, ec);
  std::string e;
  for (const qv::TPackedEntry& f : Files()) qv::WriteFileBytes(folder / f.Name, f.Data, e);
  return folder;
}

fs::path TSkinBuilder::WritePacked(const fs::path& file) const {
  std::string e;
  qv::WriteFileBytes(file, Packed(), e);
  return file;
}

TTempDir::TTempDir() {
  static std::atomic<unsigned> counter{0};
  std::random_device rd;
  std::error_code ec;
  const fs::path base = fs::temp_directory_path(ec);
  for (int attempt = 0; attempt < 100; ++attempt) {
    Path_ = base / ("qvskin-" + std::to_string(rd()) + "-" + std::to_string(counter++));
    if (fs::create_directory(Path_, ec)) return;
  }
}

TTempDir::~TTempDir() {
  std::error_code ec;
  if (!Path_.empty()) fs::remove_all(Path_, ec);
}

}  // namespace qvtest
