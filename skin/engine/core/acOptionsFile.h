// Options.dat: the text description of a skin (sections of keys, mask entries naming images).
// The syntax is described in docs/skin-format.md.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "skin/engine/core/acSkinModel.h"

namespace qv {

// A mask entry as written: the mask with the file it names (empty: the master bitmap). ImageIndex of
// Mask is not used here. When HasRect is false the rectangle is the whole image (filled in by the
// loader).
struct TOptionsMask {
  TsMaskData Mask;
  std::string FileName;
  bool HasRect = false;
};

struct TOptionsFile {
  std::vector<TsGeneralData> Sections;
  std::vector<TOptionsMask> Masks;
};

// The section and key naming the master bitmap.
inline constexpr const char* kSkinInfoSection = "SKININFO";
inline constexpr const char* kMasterBitmapKey = "MASTERBITMAP";
inline constexpr const char* kOptionsFileName = "Options.dat";

// true for a plain file name usable inside a skin: 1..255 printable characters without blanks,
// path separators, ':' or a leading '.'.
bool IsValidSkinFileName(std::string_view name);

// Parses Options.dat. On failure returns false and an error text naming the line.
bool ParseOptionsFile(std::string_view text, TOptionsFile& out, std::string& error);
std::string WriteOptionsFile(const TOptionsFile& file);

}  // namespace qv
