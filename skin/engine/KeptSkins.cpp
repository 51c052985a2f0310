#include "skin/engine/KeptSkins.h"

#include "classlib/Win.h"

#include <algorithm>
#include <cstring>
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

 private:
  fs::path Folder_;
  std::map<std::string, const TStamp*> Exact_, AnyCase_;
  std::vector<qv::TPackedEntry> Files_;  // a file's bytes stay where they are when it grows
};

// The skins loaded last, newest last, each with what its source was when it was read.
enum class TSourceKind { Stored, PackedFile, Folder };
struct TKeptSkin {
  TSourceKind Kind;
  std::wstring Source;              // the stored skin's name, the file's or folder's path
  std::vector<TStamp> Stamps;       // a folder's entries
  std::vector<std::uint8_t> Bytes;  // a stored skin's or packed file's bytes
  std::shared_ptr<const qv::TSkinModel> Model;
};
constexpr std::size_t kKeptSkins = 2;
std::vector<TKeptSkin> Kept;

// The kept skin of the source, else the list's end.
std::vector<TKeptSkin>::iterator FindKept(TSourceKind kind, const std::wstring& source) {
  return std::find_if(Kept.begin(), Kept.end(),
                      [&](const TKeptSkin& k) { return k.Kind == kind && k.Source == source; });
}

void Keep(TKeptSkin skin) {
  auto same = FindKept(skin.Kind, skin.Source);
  if (same != Kept.end()) Kept.erase(same);
  if (Kept.size() >= kKeptSkins) Kept.erase(Kept.begin());
  Kept.push_back(std::move(skin));
}

// The kept model of a packed source holding these bytes (made the newest), else nullptr.
std::shared_ptr<const qv::TSkinModel> KeptPacked(TSourceKind kind, const std::wstring& source, const std::uint8_t* data,
                                                 std::size_t size) {
  auto it = FindKept(kind, source);
  if (it == Kept.end()) return nullptr;
  if (it->Bytes.size() != size || (size && std::memcmp(it->Bytes.data(), data, size) != 0)) {
    Kept.erase(it);
    return nullptr;
  }
  std::rotate(it, it + 1, Kept.end());
  return Kept.back().Model;
}

std::shared_ptr<const qv::TSkinModel> LoadPacked(TSourceKind kind, const std::wstring& source, const std::uint8_t* data,
                                                 std::size_t size, std::string& error) {
  if (auto model = KeptPacked(kind, source, data, size)) return model;
  std::shared_ptr<const qv::TSkinModel> model = qv::LoadSkinFromPackedBytes(data, size, error);
  if (model) Keep(TKeptSkin{kind, source, {}, std::vector<std::uint8_t>(data, data + size), model});
  return model;
}

}  // namespace

std::shared_ptr<const qv::TSkinModel> LoadFolderSkin(const fs::path& Folder, std::string& Error) {
  std::vector<TStamp> stamps = StampFolder(Folder);
  const std::wstring source = Folder.wstring();
  if (auto it = FindKept(TSourceKind::Folder, source); it != Kept.end()) {
    if (!stamps.empty() && it->Stamps == stamps) {
      std::rotate(it, it + 1, Kept.end());
      return Kept.back().Model;
    }
    Kept.erase(it);
  }
  if (stamps.empty()) {
    Error = "skin folder \"" + Folder.string() + "\" does not exist";
    return nullptr;
  }
  // Listed before the files are read: a file that changes meanwhile is read again next time.
  TFolderFiles files(Folder, stamps);
  std::shared_ptr<const qv::TSkinModel> model = qv::LoadSkinFromReader(
      [&](const std::string& name, std::string& err) -> std::unique_ptr<qv::TByteStream> {
        const std::vector<std::uint8_t>* bytes = files.Read(name, err);
        if (!bytes) return nullptr;
        return std::make_unique<qv::TMemoryStream>(bytes->data(), bytes->size());
      },
      Error);
  if (model) Keep(TKeptSkin{TSourceKind::Folder, source, std::move(stamps), {}, model});
  return model;
}

std::shared_ptr<const qv::TSkinModel> LoadPackedSkinFile(const fs::path& File, std::string& Error) {
  std::vector<std::uint8_t> bytes;
  if (!qv::ReadFileBounded(File, qv::packlimits::MaxPackedBytes, bytes, Error)) return nullptr;
  auto model = LoadPacked(TSourceKind::PackedFile, File.wstring(), bytes.data(), bytes.size(), Error);
  if (!model) Error = File.filename().string() + ": " + Error;
  return model;
}

std::shared_ptr<const qv::TSkinModel> LoadStoredSkin(const std::string& Name, const std::uint8_t* Data,
                                                     std::size_t Size, std::string& Error) {
  return LoadPacked(TSourceKind::Stored, std::wstring(Name.begin(), Name.end()), Data, Size, Error);
}

void ForgetKeptSkins() { Kept.clear(); }
