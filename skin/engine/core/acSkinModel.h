// The loaded skin in memory: sections with their keys, masks and images, the image list.
//
// A section (`TsGeneralData`) keeps every key of its Options.dat block as text, in file order, and
// the keys the painters read typed. A mask (`TsMaskData`) is one image or border mask: a rectangle
// of an image of the image list, split into state frames side by side (and, for mask type 1, a
// mask half below them). Names of sections and properties are stored upper-case; lookups compare
// exactly. The format on disk is described in docs/skin-format.md.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "classlib/core/Types.h"
#include "skin/engine/core/acImage.h"
#include "skin/engine/core/acMaskPaint.h"
#include "skin/engine/core/acPixelKernels.h"

namespace qv {

// "No colour": an outline colour that is not drawn.
inline constexpr TColorRef clNoColor = 0xFFFFFFFF;

// Bounds every loader and builder keeps to.
namespace skinlimits {
inline constexpr int MaxSections = 2000;
inline constexpr int MaxKeysPerSection = 256;
inline constexpr int MaxMasks = 10000;
inline constexpr int MaxImages = 1000;
inline constexpr int MaxNameLength = 64;
inline constexpr int MaxImageCount = 64;                             // state frames of one mask
inline constexpr int MaxImageSide = 8192;                            // pixels
inline constexpr std::size_t MaxImageBytes = std::size_t(32) << 20;  // decoded pixels of one image
inline constexpr std::size_t MaxTotalImageBytes = std::size_t(96) << 20;
inline constexpr std::size_t MaxOptionsBytes = std::size_t(1) << 20;  // Options.dat
inline constexpr std::size_t MaxFileBytes = std::size_t(40) << 20;    // any single file of a skin
}  // namespace skinlimits

// Font colours of a section: the text colour, then the outline copies (left, top, right, bottom),
// clNoColor when a copy is not drawn.
struct TsFontColors {
  std::array<TColorRef, 5> Items{0, clNoColor, clNoColor, clNoColor, clNoColor};
  TColorRef Text() const { return Items[0]; }
  bool HasOutline() const {
    return Items[1] != clNoColor || Items[2] != clNoColor || Items[3] != clNoColor || Items[4] != clNoColor;
  }
  friend bool operator==(const TsFontColors&, const TsFontColors&) = default;
};

// The two-colour gradient of a section (key GRADIENTDATA: "#RRGGBB #RRGGBB [V|H]"), laid over its
// COLOR by GRADIENTPERCENT. Valid is false when the section has none.
struct TsGradientData {
  bool Valid = false;
  TColorRef Color1 = 0;
  TColorRef Color2 = 0;
  bool Vertical = true;  // top to bottom; false: left to right
  friend bool operator==(const TsGradientData&, const TsGradientData&) = default;
};

// Property names of a section's corner images: laid over the section's look at the four corners
// of the painted rectangle (top-left, top-right, bottom-left, bottom-right), after its border.
inline constexpr std::array<const char*, 4> kCornerImageNames = {"CORNERTOPLEFT", "CORNERTOPRIGHT", "CORNERBOTTOMLEFT",
                                                                 "CORNERBOTTOMRIGHT"};

// One section of the skin.
struct TsGeneralData {
  std::string Name;         // upper-case
  std::string ParentClass;  // upper-case; empty when none

  // Typed keys; defaults stand when the key is missing.
  TColorRef Color = 0xC8D0D4;  // RGB 212, 208, 200
  TsFontColors FontColor;
  TColorRef HotColor = 0xC8D0D4;
  TsFontColors HotFontColor;
  int Transparency = 0;
  int HotTransparency = 0;
  int GradientPercent = 0;
  int ImagePercent = 0;
  bool ShowFocus = false;
  bool FadingEnabled = false;
  int FadingIterations = 5;
  bool ReservedBoolean = false;
  bool SaveTitle = false;  // the form title strip may be kept between paints
  TsGradientData Gradient;

  // Every key as read (upper-case key, value with surrounding blanks removed), in order.
  std::vector<std::pair<std::string, std::string>> Keys;

  // The raw value of a key; nullptr when the section has no such key.
  const std::string* Value(std::string_view key) const;
  bool HasKey(std::string_view key) const { return Value(key) != nullptr; }

  // Sets a key (upper-cased) and, for a typed key, its field. Returns an error text, empty on success;
  // on error nothing changes.
  std::string Set(std::string_view key, std::string_view value);
  // Stores a key's text without checking it (test skins with malformed values).
  void SetRaw(std::string_view key, std::string_view value);
  // Re-reads the typed fields from Keys (defaults first). Returns an error text, empty on success.
  std::string ParseKeys();
  // Checks one key's value as ParseKeys would. Returns an error text, empty when it is sound.
  static std::string CheckKey(const std::string& key, const std::string& value);
  // true for a key the painters read (COLOR, FONTCOLOR ... PARENTCLASS); other keys are kept as
  // text only.
  static bool IsPainterKey(std::string_view key);

  // Convenience setters for typed keys.
  void SetColor(std::string_view key, TColorRef c);
  void SetInt(std::string_view key, int v);
  void SetBool(std::string_view key, bool v);
  void SetFontColors(std::string_view key, const TsFontColors& c);
};

enum class TsDrawMode : std::uint8_t { Stretch = 0, Tile = 1 };

// One image or border mask.
struct TsMaskData {
  std::string SectionName;   // upper-case
  std::string PropertyName;  // upper-case ("BORDERSMASK", "GLYPHMASK", "PATTERN" ...)
  int ImageIndex = -1;       // index into TSkinModel::Images
  TRect R;                   // the frames (and mask half) inside that image
  int ImageCount = 1;        // state frames side by side
  int MaskType = 0;          // 0: 0xFF00FF key marks transparency; 1: a mask half below the frames
  int MarginLeft = 0, MarginTop = 0, MarginRight = 0, MarginBottom = 0;
  int BorderWidth = 0;
  TsDrawMode DrawMode = TsDrawMode::Stretch;
  // A border mask that is not painted in state 0 (normal): only the hot and pressed looks show it.
  bool HotOnly = false;

  int FrameWidth() const { return ImageCount > 0 ? R.Width() / ImageCount : 0; }
  int FrameHeight() const { return R.Height() / (MaskType + 1); }
};

struct TSkinImage {
  std::string FileName;  // as named in Options.dat
  TImage24 Bitmap;
  TKeyRunIndex KeyRuns;  // its runs of the key 0xFF00FF, found when the image is added or indexed
};

// Checks a mask against the image it names. Returns an error text, empty when the mask is sound.
std::string ValidateMask(const TsMaskData& m, int imageWidth, int imageHeight);

// true for a name usable as a section or property name: 1..MaxNameLength characters of
// A-Z, a-z, 0-9, '_', '-', '.'.
bool IsValidSkinName(std::string_view name);
std::string UpperCase(std::string_view s);

class TSkinModel {
 public:
  std::vector<TsGeneralData> Sections;
  std::vector<TsMaskData> Masks;
  std::vector<TSkinImage> Images;
  int MasterImageIndex = -1;  // the master bitmap (SKININFO MASTERBITMAP), -1 when none

  // Lookups (exact, case-sensitive names as stored).
  int SectionIndexOf(std::string_view name) const;
  int MaskIndexOf(std::string_view section, std::string_view property) const;
  // As MaskIndexOf, retried through the PARENTCLASS chain of the section at sectionIndex (of the
  // section named `section` when sectionIndex is not valid). Stops at a loop.
  int LookupMask(int sectionIndex, std::string_view section, std::string_view property) const;
  int ImageIndexOf(std::string_view fileName) const;  // case-insensitive
  // The corner images of a section (kCornerImageNames order), each found as LookupMask finds
  // masks; -1 where there is none.
  std::array<int, 4> CornerImages(int sectionIndex) const;

  bool IsSectionIndex(int i) const { return i >= 0 && i < int(Sections.size()); }
  bool IsMaskIndex(int i) const { return i >= 0 && i < int(Masks.size()); }

  // Width and height of one state frame; 0, 0 for a bad index.
  TSize GetMaskItemSize(int maskIndex) const;
  // Border widths of a mask: its own margin when above 0, else its border width when above 0, else
  // a third of the frame width (left, right) or height (top, bottom). 0 for a bad index.
  int MaskMarginLeft(int maskIndex) const;
  int MaskMarginTop(int maskIndex) const;
  int MaskMarginRight(int maskIndex) const;
  int MaskMarginBottom(int maskIndex) const;

  // The pixels of a mask's image; nullptr for a bad index.
  const TImage24* MaskImage(int maskIndex) const;

  // Adders for code that builds a skin. Each returns the new index.
  int AddSection(const TsGeneralData& s);
  int AddImage(std::string fileName, TImage24 bmp);
  int AddMask(const TsMaskData& m);

  // Must be called after Sections, Masks or the pixels of Images were changed directly (the loader
  // does it). Breaks PARENTCLASS loops (BreakParentLoops).
  void RebuildIndex();
  // A PARENTCLASS chain that comes back to a section already in it loses the parent of the section
  // where it closes, walking the sections in order (A -> B -> A: B's parent goes).
  void BreakParentLoops();

  // Rows of border masks composed for painting, kept while the images stay (a copy of the model
  // starts without them).
  TMaskPaintCache& MaskRows() const { return MaskRows_.Cache; }

 private:
  struct TRowsHolder {
    mutable TMaskPaintCache Cache;
    TRowsHolder() = default;
    TRowsHolder(const TRowsHolder&) {}
    TRowsHolder& operator=(const TRowsHolder&) {
      Cache.Clear();
      return *this;
    }
  };
  TRowsHolder MaskRows_;
  std::unordered_map<std::string, int> SectionIndex_;
  std::unordered_map<std::string, int> MaskIndex_;
};

}  // namespace qv
