#include "skin/engine/FolderSkins.h"

#include "classlib/Win.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "skin/engine/core/acSkinLoader.h"

namespace {

struct TStamp {
  std::wstring Name;
  std::uint64_t Size = 0, Written = 0;
  bool operator==(const TStamp&) const = default;
};

// Every entry of the folder as it is now; empty when it cannot be listed.
std::vector<TStamp> StampFolder(const std::filesystem::path& folder) {
  std::vector<TStamp> stamps;
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileW((folder / L"*").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return stamps;
  do {
    stamps.push_back(
        TStamp{data.cFileName, (std::uint64_t(data.nFileSizeHigh) << 32) | data.nFileSizeLow,
               (std::uint64_t(data.ftLastWriteTime.dwHighDateTime) << 32) | data.ftLastWriteTime.dwLowDateTime});
  } while (FindNextFileW(find, &data));
  FindClose(find);
  return stamps;
}

// The files of the folder skins read last, newest last: a program switching between a few skins
// finds each of them here, and no more than a few are kept.
struct TKeptFolder {
  std::filesystem::path Folder;
  std::vector<TStamp> Stamps;
  std::vector<qv::TPackedEntry> Files;
};
constexpr std::size_t kKeptFolders = 2;
std::vector<TKeptFolder> Kept;

}  // namespace

std::unique_ptr<qv::TSkinModel> LoadFolderSkin(const std::filesystem::path& Folder, std::string& Error) {
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
  // Stamped before the files are read: a file that changes meanwhile is read again next time.
  TKeptFolder read{Folder, std::move(stamps), {}};
  std::unique_ptr<qv::TSkinModel> model = qv::LoadSkinFromFolder(Folder, Error, &read.Files);
  if (!model || read.Stamps.empty()) return model;
  if (Kept.size() >= kKeptFolders) Kept.erase(Kept.begin());
  Kept.push_back(std::move(read));
  return model;
}

void ForgetFolderSkins() { Kept.clear(); }
