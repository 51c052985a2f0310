// Packed skins (".asz"): the files of a skin folder in one file, each compressed with zlib.
//
//   "ASzf"                      magic
//   u32 version (1)
//   u32 entry count
//   per entry: u16 name length, name bytes, u32 size, u32 packed size, packed bytes (a zlib stream)
//
// All numbers little-endian. The reader checks every count and size against the data left and the
// skin limits before it allocates, and refuses duplicate or unsafe names and trailing bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace qv {

struct TPackedEntry {
  std::string Name;
  std::vector<std::uint8_t> Data;
};

namespace packlimits {
inline constexpr std::uint32_t Version = 1;
inline constexpr std::uint32_t MaxEntries = 1024;
inline constexpr std::size_t MaxPackedBytes = std::size_t(128) << 20;  // the whole .asz
inline constexpr std::size_t MaxTotalBytes = std::size_t(128) << 20;   // all entries unpacked
}  // namespace packlimits

bool ReadPackedSkin(const std::uint8_t* data, std::size_t size, std::vector<TPackedEntry>& out, std::string& error);
// Packs the entries. Returns false (and an error text) for entries the reader would refuse.
bool WritePackedSkin(const std::vector<TPackedEntry>& entries, std::vector<std::uint8_t>& out, std::string& error);

}  // namespace qv
