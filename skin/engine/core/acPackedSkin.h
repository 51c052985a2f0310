// Packed skins (".asz"): the files of a skin folder in one file, each compressed with zlib.
//
//   "ASzf"                      magic
//   u32 version (1)
//   u32 entry count
//   per entry: u16 name length, name bytes, u32 size, u32 packed size, packed bytes (a zlib stream)
//
// All numbers little-endian. The reader checks every count and size against the data left and the
// skin limits before it allocates, and refuses duplicate or unsafe names and trailing bytes. The
// index of a packed skin unpacks nothing: an entry is unpacked only when it is opened, as a stream
// that inflates as it is read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace qv {

class TByteStream;

struct TPackedEntry {
  std::string Name;
  std::vector<std::uint8_t> Data;
};

// One entry as it lies in the packed bytes (which must outlive it).
struct TPackedIndexEntry {
  std::string Name;
  std::uint32_t Size = 0;  // unpacked
  const std::uint8_t* Packed = nullptr;
  std::uint32_t PackedSize = 0;
};

namespace packlimits {
inline constexpr std::uint32_t Version = 1;
inline constexpr std::uint32_t MaxEntries = 1024;
inline constexpr std::size_t MaxPackedBytes = std::size_t(128) << 20;  // the whole .asz
inline constexpr std::size_t MaxTotalBytes = std::size_t(128) << 20;   // all entries unpacked
// zlib's compressed data holds at most 1032 bytes in one (a 258-byte match in two bits): an entry
// whose size its packed bytes cannot hold is refused before anything is made for it.
inline constexpr std::uint32_t MaxUnpackRatio = 1032;
}  // namespace packlimits

// The entries of a packed skin, checked but not unpacked.
bool ReadPackedIndex(const std::uint8_t* data, std::size_t size, std::vector<TPackedIndexEntry>& out,
                     std::string& error);
// A stream of an entry's unpacked bytes; its Finish checks that the compressed data is sound and
// ends exactly after them.
std::unique_ptr<TByteStream> OpenPackedEntry(const TPackedIndexEntry& entry);
// Every entry unpacked (tools and tests; the loader opens only what it reads).
bool ReadPackedSkin(const std::uint8_t* data, std::size_t size, std::vector<TPackedEntry>& out, std::string& error);
// Packs the entries. Returns false (and an error text) for entries the reader would refuse.
bool WritePackedSkin(const std::vector<TPackedEntry>& entries, std::vector<std::uint8_t>& out, std::string& error);

}  // namespace qv
