// Test skins made by the tests themselves.
//
// Every state frame of every mask is one distinct solid colour (FrameColor), and each frame's four
// corners carry runs of the key colour 0xFF00FF of unequal length along the outer row (top-left 1,
// top-right 2, bottom-left 3, bottom-right 4 pixels by default), so a test can tell the state and
// the placement of a frame from single pixels. For mask type 1 the lower half holds the mask:
// MaskOpaque where the frame shows, MaskClear under the key runs. Section colours are distinct too
// (SectionColor). Variants: sections left out, raw (malformed) key values and mask entries, files
// replaced or removed, all frames cut from one master bitmap.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "skin/engine/core/acPackedSkin.h"
#include "skin/engine/core/acSkinModel.h"

namespace qvtest {

using qv::TColorRef;

struct TTestMask {
  std::string Section, Property;
  int FrameWidth = 12, FrameHeight = 12, Count = 3, MaskType = 0;
  int Margins[4] = {0, 0, 0, 0};
  int BorderWidth = 0;
  qv::TsDrawMode Mode = qv::TsDrawMode::Stretch;
  bool HotOnly = false;  // a border not painted in state 0
  std::string RawValue;  // when set, written to Options.dat as it stands (after "PROPERTY=")
};

class TSkinBuilder {
 public:
  static constexpr TColorRef MaskOpaque = 0x000000;
  static constexpr TColorRef MaskClear = 0xFFFFFF;

  TSkinBuilder() = default;
  // A skin with the sections and masks the forms and controls read (see the .cpp for the list).
  static TSkinBuilder Standard();

  TSkinBuilder& Section(const std::string& name, const std::string& parentClass = "");
  TSkinBuilder& Key(const std::string& section, const std::string& key, const std::string& value);
  TTestMask& Mask(const std::string& section, const std::string& property, int frameWidth = 12, int frameHeight = 12,
                  int count = 3, int maskType = 0);
  TSkinBuilder& RemoveSection(const std::string& name);  // with its masks
  TSkinBuilder& RemoveMask(const std::string& section, const std::string& property);
  TSkinBuilder& RawMask(const std::string& section, const std::string& property, const std::string& raw);
  TSkinBuilder& UseMaster(bool on = true) {
    Master_ = on;
    return *this;
  }
  TSkinBuilder& CornerRuns(std::array<int, 4> runs) {
    Runs_ = runs;
    return *this;
  }
  // Files put in or taken out after the skin's own files are made.
  TSkinBuilder& ReplaceFile(const std::string& name, std::vector<std::uint8_t> bytes);
  TSkinBuilder& DropFile(const std::string& name);
  // Defined out of line: Windows headers rename ReplaceFile in the programs that include them.
  TSkinBuilder& ReplaceOptions(const std::string& text);

  // The distinct colours (never the key colour).
  static TColorRef FrameColor(int maskOrdinal, int state);
  static TColorRef SectionColor(int sectionOrdinal);
  // Ordinal of a mask in this builder (its order of creation), -1 when none.
  int MaskOrdinal(const std::string& section, const std::string& property) const;
  const std::array<int, 4>& Runs() const { return Runs_; }

  std::string OptionsText() const;
  std::vector<qv::TPackedEntry> Files() const;
  std::vector<std::uint8_t> Packed() const;
  // Loads the files through the loader; nullptr (and the error) when they do not load.
  std::unique_ptr<qv::TSkinModel> Load(std::string* error = nullptr) const;
  std::filesystem::path WriteFolder(const std::filesystem::path& folder) const;
  std::filesystem::path WritePacked(const std::filesystem::path& file) const;

  // The image of one mask: frames side by side (and the mask half for type 1).
  qv::TImage24 MaskImage(int maskOrdinal) const;

 private:
  struct TSec {
    std::string Name;
    std::vector<std::pair<std::string, std::string>> Keys;
  };
  TSec* FindSection(const std::string& name);
  std::string FileNameOf(int maskOrdinal) const;

  std::vector<TSec> Sections_;
  std::vector<TTestMask> Masks_;
  std::vector<std::pair<std::string, std::vector<std::uint8_t>>> Replaced_;
  std::vector<std::string> Dropped_;
  std::array<int, 4> Runs_{1, 2, 3, 4};
  bool Master_ = false;
};

// A temporary folder removed with everything in it when the object goes.
class TTempDir {
 public:
  TTempDir();
  ~TTempDir();
  TTempDir(const TTempDir&) = delete;
  TTempDir& operator=(const TTempDir&) = delete;
  const std::filesystem::path& Path() const { return Path_; }

 private:
  std::filesystem::path Path_;
};

}  // namespace qvtest
