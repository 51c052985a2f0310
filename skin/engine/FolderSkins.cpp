#include "skin/engine/FolderSkins.h"

#include "classlib/Win.h"

#include <algorithm>
#include <cstdint>
#include <map>
#include <vector>

#include "skin/engine/core/acByteStream.h"
#include "skin/engine/core/acOptionsFile.h"
#include "skin/engine/core/acSkinLoader.h"

namespace fs = std::filesystem;

namespace {

struct TStamp {
  std::wstring Name;
  std::uint64_t Size = 0, Written = 0;
  bool Folder = false;
  bool operator==(const TStamp&) const = default;
};

// Every entry of the folder as it is now; empty when it cannot be listed.
std::vector<TStamp> StampFolder(const fs::path& folder) {
  std::vector<TStamp> stamps;
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileW((folder / L"*").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return stamps;
  do {
    stamps.push_back(
        TStamp{data.cFileName, (std::uint64_t(data.nFileSizeHigh) << 32) | data.nFileSizeLow,
               (std::uint64_t(data.ftLastWriteTime.dwHighDateTime) << 32) | data.ftLastWriteTime.dwLowDateTime,
               (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0});
  } while (FindNextFileW(find, &data));
  FindClose(find);
  return stamps;
}

// The files of a folder skin, each found in the folder's listing (by its name, else by its name in
// any case) with its size, and read whole in three calls: opened, read in one read (a byte more
// than listed, to see a file that grew since) and closed. Nothing is asked twice: under Wine each
// call that reaches the server costs more than the bytes of a skin's image.
class TFolderFiles {
 public:
  TFolderFiles(const fs::path& folder, const std::vector<TStamp>& listing) : Folder_(folder) {
    for (const TStamp& s : listing)
      if (!s.Folder) {
        const std::string name = fs::path(s.Name).string();
        Exact_.emplace(name, &s);
        AnyCase_.emplace(qv::UpperCase(name), &s);
      }
  }

  // File Name of the skin, read whole into the files kept; nullptr with an error text.
  const std::vector<std::uint8_t>* Read(const std::string& name, std::string& error) {
    if (!qv::IsValidSkinFileName(name)) {
      error = "bad file name \"" + name + "\"";
      return nullptr;
    }
    auto exact = Exact_.find(name);
    const TStamp* listed = exact != Exact_.end() ? exact->second : nullptr;
    if (!listed) {
      auto any = AnyCase_.find(qv::UpperCase(name));
      if (any != AnyCase_.end()) listed = any->second;
    }
    if (!listed) {
      error = "file \"" + name + "\" is missing from the skin folder";
      return nullptr;
    }
    const fs::path path = Folder_ / listed->Name;
    if (listed->Size > qv::skinlimits::MaxFileBytes) {
      error = "\"" + path.string() + "\" is larger than " + std::to_string(qv::skinlimits::MaxFileBytes) + " bytes";
      return nullptr;
    }
    std::vector<std::uint8_t> bytes(std::size_t(listed->Size) + 1);
    HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
      error = "\"" + path.string() + "\" cannot be opened";
      return nullptr;
    }
    std::size_t size = 0;
    bool ok = true;
    for (;;) {
      DWORD got = 0;
      const std::size_t room = bytes.size() - size;
      ok = ReadFile(h, bytes.data() + size, DWORD(room), &got, nullptr) != FALSE;
      size += got;
      if (!ok || got < room) break;
      // Filled: the file grew since it was listed. Read on, within the largest file a skin holds.
      if (size > qv::skinlimits::MaxFileBytes) {
        ok = false;
        break;
      }
      bytes.resize(std::min<std::size_t>(2 * bytes.size(), qv::skinlimits::MaxFileBytes + 1));
    }
    CloseHandle(h);
    if (!ok) {
      error = "\"" + path.string() + "\" changed or could not be read whole";
      return nullptr;
    }
    bytes.resize(size);
    Files_.push_back(qv::TPackedEntry{name, std::move(bytes)});
    return &Files_.back().Data;
  }

  // The files read, as the loader named them.
  std::vector<qv::TPackedEntry>& Files() { return Files_; }

 private:
  fs::path Folder_;
  std::map<std::string, const TStamp*> Exact_, AnyCase_;
  std::vector<qv::TPackedEntry> Files_;  // a file's bytes stay where they are when it grows
};

// The files of the folder skins read last, newest last: a program switching between a few skins
// finds each of them here, and no more than a few are kept.
struct TKeptFolder {
  fs::path Folder;
  std::vector<TStamp> Stamps;
  std::vector<qv::TPackedEntry> Files;
};
constexpr std::size_t kKeptFolders = 2;
std::vector<TKeptFolder> Kept;

}  // namespace

std::unique_ptr<qv::TSkinModel> LoadFolderSkin(const fs::path& Folder, std::string& Error) {
  std::vector<TStamp> stamps = StampFolder(Folder);
  for (auto it = Kept.begin(); it != Kept.end(); ++it) {
    if (it->Folder != Folder) continue;
    if (!stamps.empty() && it->Stamps == stamps) {
      std::unique_ptr<qv::TSkinModel> model = qv::LoadSkinFromEntries(it->Files, Error);
      if (model) {
        std::rotate(it, it + 1, Kept.end());
        return model;
      }
    }
    Kept.erase(it);
    break;
  }
  if (stamps.empty()) {
    Error = "skin folder \"" + Folder.string() + "\" does not exist";
    return nullptr;
  }
  // Listed before the files are read: a file that changes meanwhile is read again next time.
  TKeptFolder read{Folder, std::move(stamps), {}};
  TFolderFiles files(Folder, read.Stamps);
  std::unique_ptr<qv::TSkinModel> model = qv::LoadSkinFromReader(
      [&](const std::string& name, std::string& err) -> std::unique_ptr<qv::TByteStream> {
        const std::vector<std::uint8_t>* bytes = files.Read(name, err);
        if (!bytes) return nullptr;
        return std::make_unique<qv::TMemoryStream>(bytes->data(), bytes->size());
      },
      Error);
  if (!model) return model;
  read.Files = std::move(files.Files());
  if (Kept.size() >= kKeptFolders) Kept.erase(Kept.begin());
  Kept.push_back(std::move(read));
  return model;
}

void ForgetFolderSkins() { Kept.clear(); }
