// Loading and saving whole skins: a folder with Options.dat and its images, a packed ".asz" file,
// or packed bytes in memory (a skin built into the program). A skin that cannot be loaded gives no
// model and an error text; the caller keeps the skin it had.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "skin/engine/core/acPackedSkin.h"
#include "skin/engine/core/acSkinModel.h"

namespace qv {

class TByteStream;

// Opens one file of a skin by its name (case-insensitive) for reading front to back; nullptr with an
// error text when the file is missing or unreadable. The loader reads Options.dat whole and decodes
// each image straight from its stream: no file is held beside what it decodes to.
using TSkinFileReader = std::function<std::unique_ptr<TByteStream>(const std::string& name, std::string& error)>;
// Told, once Options.dat is read and before the first image is, the files of the images the skin
// names: each once (in the case it is first written in) and in the order the reader is asked for
// them. A reader whose files are slow to open may start reading them all at once; the loader still
// asks for each, in that order, and stops at the first that fails.
using TSkinFilesNamed = std::function<void(const std::vector<std::string>& names)>;

std::unique_ptr<TSkinModel> LoadSkinFromReader(const TSkinFileReader& reader, std::string& error,
                                               const TSkinFilesNamed& named = {});
std::unique_ptr<TSkinModel> LoadSkinFromEntries(const std::vector<TPackedEntry>& files, std::string& error);
// With FilesRead, every file the skin names is read whole into it and decoded from there: what a
// caller may keep to load the same skin again with LoadSkinFromEntries, without opening a file.
std::unique_ptr<TSkinModel> LoadSkinFromFolder(const std::filesystem::path& folder, std::string& error,
                                               std::vector<TPackedEntry>* filesRead = nullptr);
std::unique_ptr<TSkinModel> LoadSkinFromPackedBytes(const std::uint8_t* data, std::size_t size, std::string& error);
std::unique_ptr<TSkinModel> LoadSkinFromPackedFile(const std::filesystem::path& file, std::string& error);
// A folder, or a file taken as a packed skin.
std::unique_ptr<TSkinModel> LoadSkin(const std::filesystem::path& path, std::string& error);

// The files of a skin: Options.dat and one 24-bit BMP per image.
bool SkinToFiles(const TSkinModel& skin, std::vector<TPackedEntry>& files, std::string& error);
bool SaveSkinToFolder(const TSkinModel& skin, const std::filesystem::path& folder, std::string& error);
bool PackSkin(const TSkinModel& skin, std::vector<std::uint8_t>& bytes, std::string& error);
bool SaveSkinToPackedFile(const TSkinModel& skin, const std::filesystem::path& file, std::string& error);

// true for a skin name that stays inside the skin folder: not empty, no drive (':'), not rooted and
// no part of dots and blanks only ("..", ". .").
bool IsPlainSkinName(std::string_view name);

// Names of the skins in a folder, sorted (case-insensitively): sub-folders holding "Options.dat" and
// ".asz" files without the extension.
std::vector<std::string> ListSkinNames(const std::filesystem::path& folder);

// Reads a whole file of at most maxBytes bytes.
bool ReadFileBounded(const std::filesystem::path& file, std::size_t maxBytes, std::vector<std::uint8_t>& out,
                     std::string& error);
bool WriteFileBytes(const std::filesystem::path& file, const std::vector<std::uint8_t>& bytes, std::string& error);

}  // namespace qv
