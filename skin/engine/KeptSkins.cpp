#include "skin/engine/KeptSkins.h"

#include "classlib/Win.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstring>
#include <exception>
#include <map>
#include <mutex>
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

// An open file, closed when the scope ends.
class TFileHandle {
 public:
  explicit TFileHandle(HANDLE h) : H_(h) {}
  TFileHandle(const TFileHandle&) = delete;
  TFileHandle& operator=(const TFileHandle&) = delete;
  ~TFileHandle() {
    if (H_ != INVALID_HANDLE_VALUE) CloseHandle(H_);
  }
  HANDLE Get() const { return H_; }
  explicit operator bool() const { return H_ != INVALID_HANDLE_VALUE; }

 private:
  HANDLE H_;
};

// What reading a file came to: its bytes, else the error text, or what the read threw (running out
// of memory), to be thrown again where the loader asks for the file.
struct TFileRead {
  bool Read = false;
  std::vector<std::uint8_t> Bytes;
  std::string Error;
  std::exception_ptr Thrown;
};

// Bytes the stream owns: a file's, freed once its image is decoded.
struct TBytesHeld {
  std::vector<std::uint8_t> Bytes;
};
class THeldBytesStream : private TBytesHeld, public qv::TMemoryStream {
 public:
  explicit THeldBytesStream(std::vector<std::uint8_t> bytes)
      : TBytesHeld{std::move(bytes)}, qv::TMemoryStream(Bytes.data(), Bytes.size()) {}
};

// The files of a folder skin, each found in the folder's listing (by its name, else by its name in
// any case) with its size, and read whole in three calls: opened, read in one read (a byte more
// than listed, to see a file that grew since) and closed. Nothing is asked twice.
//
// Under Wine each file costs three round trips to the server (the open, the read's first use of the
// handle, the close), far more than its bytes: once the skin has named its images they are read on
// a few threads of the system's pool at once, so that the round trips overlap, while the loader
// decodes them in its order. The loader asks for each file as before and gets what its read came to,
// whichever thread read it: the first bad file in the skin's order fails the load with its own
// text. While the file it asks for is being read, the loader reads the next one no thread has begun.
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
  TFolderFiles(const TFolderFiles&) = delete;
  TFolderFiles& operator=(const TFolderFiles&) = delete;

  // The loader stopped (done, or at a bad file): files no thread has begun are not read, and the
  // reads under way end before what they read into goes.
  ~TFolderFiles() {
    Next_.store(Count_);
    if (Work_) {
      WaitForThreadpoolWorkCallbacks(Work_, TRUE);
      CloseThreadpoolWork(Work_);
    }
  }

  // Starts reading the files on threads, in the order given, as far as their listed sizes stay
  // within what is read ahead of the loader.
  void ReadAhead(const std::vector<std::string>& names) {
    if (Count_ != 0) return;
    std::size_t count = 0;
    std::uint64_t bytes = 0;
    for (; count < names.size(); ++count) {
      if (const TStamp* listed = Find(names[count])) bytes += listed->Size;
      if (bytes > kReadAheadBytes) break;
    }
    if (count < 2) return;
    Slots_.reset(new TSlot[count]);
    for (std::size_t i = 0; i < count; ++i) {
      Slots_[i].Name = names[i];
      SlotOf_.emplace(names[i], i);
    }
    Count_ = count;
    Work_ = CreateThreadpoolWork(&ReadSlotsCallback, this, nullptr);
    if (!Work_) return;  // the loader reads them itself
    const std::size_t threads = std::min<std::size_t>(kReaders, (count + 3) / 4);
    for (std::size_t i = 0; i < threads; ++i) SubmitThreadpoolWork(Work_);
  }

  // File Name of the skin as a stream of its bytes; nullptr with an error text. Throws what its read
  // threw.
  std::unique_ptr<qv::TByteStream> Take(const std::string& name, std::string& error) {
    TFileRead here;
    TFileRead* read = &here;
    auto slot = SlotOf_.find(name);
    if (slot == SlotOf_.end()) {
      ReadFile(name, here);
    } else {
      TSlot& s = Slots_[slot->second];
      SlotOf_.erase(slot);  // its bytes are handed over once
      // While another thread reads it, the loader reads the next file no thread has begun.
      while (!ReadSlot(s) && s.State.load() != kRead)
        if (!ReadSlot(Next_.fetch_add(1))) {
          std::unique_lock<std::mutex> lock(Lock_);
          Done_.wait(lock, [&] { return s.State.load() == kRead; });
          break;
        }
      read = &s.Outcome;
    }
    if (read->Thrown) std::rethrow_exception(read->Thrown);
    if (!read->Read) {
      error = read->Error;
      return nullptr;
    }
    return std::make_unique<THeldBytesStream>(std::move(read->Bytes));
  }

 private:
  static constexpr std::size_t kReaders = 4;
  static constexpr std::uint64_t kReadAheadBytes = std::uint64_t(64) << 20;
  enum { kWaiting, kReading, kRead };
  struct TSlot {
    std::string Name;
    std::atomic<int> State{kWaiting};
    TFileRead Outcome;
  };

  const TStamp* Find(const std::string& name) const {
    auto exact = Exact_.find(name);
    if (exact != Exact_.end()) return exact->second;
    auto any = AnyCase_.find(qv::UpperCase(name));
    return any != AnyCase_.end() ? any->second : nullptr;
  }

  static bool Claim(TSlot& s) {
    int waiting = kWaiting;
    return s.State.compare_exchange_strong(waiting, kReading);
  }

  static void CALLBACK ReadSlotsCallback(PTP_CALLBACK_INSTANCE, PVOID self, PTP_WORK) {
    try {
      static_cast<TFolderFiles*>(self)->ReadSlots();
    } catch (...) {
      // Only a lock that could not be taken: nothing leaves the pool's thread.
    }
  }

  // A reading thread's work: the next file no thread has begun, until none is left.
  void ReadSlots() {
    while (ReadSlot(Next_.fetch_add(1))) {
    }
  }

  // Slot I when it is one (false past the last).
  bool ReadSlot(std::size_t i) { return i < Count_ && (ReadSlot(Slots_[i]), true); }

  // Reads the slot's file unless a thread has begun it (false then). Nothing a read throws leaves
  // the thread: it is kept with the file.
  bool ReadSlot(TSlot& s) {
    if (!Claim(s)) return false;
    try {
      ReadFile(s.Name, s.Outcome);
    } catch (...) {
      s.Outcome.Thrown = std::current_exception();
    }
    {
      std::lock_guard<std::mutex> lock(Lock_);
      s.State.store(kRead);
    }
    Done_.notify_all();
    return true;
  }

  // Reads file Name whole into Out (any thread; reads nothing the threads change).
  void ReadFile(const std::string& name, TFileRead& out) const {
    if (!qv::IsValidSkinFileName(name)) {
      out.Error = "bad file name \"" + name + "\"";
      return;
    }
    const TStamp* listed = Find(name);
    if (!listed) {
      out.Error = "file \"" + name + "\" is missing from the skin folder";
      return;
    }
    const fs::path path = Folder_ / listed->Name;
    if (listed->Size > qv::skinlimits::MaxFileBytes) {
      out.Error = "\"" + path.string() + "\" is larger than " + std::to_string(qv::skinlimits::MaxFileBytes) + " bytes";
      return;
    }
    std::vector<std::uint8_t> bytes(std::size_t(listed->Size) + 1);
    TFileHandle h(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!h) {
      out.Error = "\"" + path.string() + "\" cannot be opened";
      return;
    }
    std::size_t size = 0;
    bool ok = true;
    for (;;) {
      DWORD got = 0;
      const std::size_t room = bytes.size() - size;
      ok = ::ReadFile(h.Get(), bytes.data() + size, DWORD(room), &got, nullptr) != FALSE;
      size += got;
      if (!ok || got < room) break;
      // Filled: the file grew since it was listed. Read on, within the largest file a skin holds.
      if (size > qv::skinlimits::MaxFileBytes) {
        ok = false;
        break;
      }
      bytes.resize(std::min<std::size_t>(2 * bytes.size(), qv::skinlimits::MaxFileBytes + 1));
    }
    if (!ok) {
      out.Error = "\"" + path.string() + "\" changed or could not be read whole";
      return;
    }
    bytes.resize(size);
    out.Bytes = std::move(bytes);
    out.Read = true;
  }

  fs::path Folder_;
  std::map<std::string, const TStamp*> Exact_, AnyCase_;
  // The files read ahead, and the next one no thread has begun.
  std::unique_ptr<TSlot[]> Slots_;
  std::map<std::string, std::size_t> SlotOf_;
  std::size_t Count_ = 0;
  std::atomic<std::size_t> Next_{0};
  std::mutex Lock_;
  std::condition_variable Done_;
  PTP_WORK Work_ = nullptr;
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
  std::shared_ptr<const qv::TSkinModel> model =
      qv::LoadSkinFromReader([&](const std::string& name, std::string& err) { return files.Take(name, err); }, Error,
                             [&](const std::vector<std::string>& names) { files.ReadAhead(names); });
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
