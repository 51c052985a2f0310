#include "skin/engine/core/acPackedSkin.h"

#include <zlib.h>

#include <cstring>
#include <unordered_set>

#include "skin/engine/core/acByteStream.h"
#include "skin/engine/core/acOptionsFile.h"
#include "skin/engine/core/acSkinModel.h"

namespace qv {

namespace {

constexpr char kMagic[4] = {'A', 'S', 'z', 'f'};

class TReader {
 public:
  TReader(const std::uint8_t* p, std::size_t n) : P_(p), N_(n) {}
  std::size_t Left() const { return N_ - Pos_; }
  bool U16(std::uint32_t& v) {
    if (Left() < 2) return false;
    v = std::uint32_t(P_[Pos_]) | (std::uint32_t(P_[Pos_ + 1]) << 8);
    Pos_ += 2;
    return true;
  }
  bool U32(std::uint32_t& v) {
    if (Left() < 4) return false;
    v = std::uint32_t(P_[Pos_]) | (std::uint32_t(P_[Pos_ + 1]) << 8) | (std::uint32_t(P_[Pos_ + 2]) << 16) |
        (std::uint32_t(P_[Pos_ + 3]) << 24);
    Pos_ += 4;
    return true;
  }
  const std::uint8_t* Take(std::size_t n) {
    if (Left() < n) return nullptr;
    const std::uint8_t* r = P_ + Pos_;
    Pos_ += n;
    return r;
  }

 private:
  const std::uint8_t* P_;
  std::size_t N_;
  std::size_t Pos_ = 0;
};

void Put16(std::vector<std::uint8_t>& v, std::uint32_t x) {
  v.push_back(std::uint8_t(x));
  v.push_back(std::uint8_t(x >> 8));
}
void Put32(std::vector<std::uint8_t>& v, std::uint32_t x) {
  for (int i = 0; i < 4; ++i) v.push_back(std::uint8_t(x >> (8 * i)));
}

}  // namespace

namespace {

// An entry's bytes inflated as they are read, straight into the reader's buffer.
class TInflateStream : public TByteStream {
 public:
  explicit TInflateStream(const TPackedIndexEntry& e) : TByteStream(e.Size) {
    Z_.next_in = const_cast<Bytef*>(e.Packed);
    Z_.avail_in = e.PackedSize;
    Ready_ = inflateInit(&Z_) == Z_OK;
  }
  ~TInflateStream() override {
    if (Ready_) inflateEnd(&Z_);
  }

 protected:
  bool DoRead(std::uint8_t* dst, std::size_t n, std::string& error) override {
    if (!Ready_) return Damaged(error);
    Z_.next_out = dst;
    Z_.avail_out = uInt(n);  // n is below the 40 MiB an entry may hold
    while (Z_.avail_out > 0) {
      if (Ended_) return Damaged(error);  // the data ends before the entry's size
      const int rc = inflate(&Z_, Z_NO_FLUSH);
      if (rc == Z_STREAM_END)
        Ended_ = true;
      else if (rc != Z_OK)
        return Damaged(error);
    }
    return true;
  }
  bool DoFinish(std::string& error) override {
    // Every byte is out: the compressed data must end here, and the entry's packed bytes with it.
    if (!Ready_) return Damaged(error);
    if (!Ended_) {
      Bytef extra = 0;
      Z_.next_out = &extra;
      Z_.avail_out = 1;
      if (inflate(&Z_, Z_FINISH) != Z_STREAM_END || Z_.avail_out != 1) return Damaged(error);
      Ended_ = true;
    }
    return Z_.avail_in == 0 || Damaged(error);
  }

 private:
  static bool Damaged(std::string& error) {
    error = "damaged compressed data";
    return false;
  }
  z_stream Z_{};
  bool Ready_ = false;
  bool Ended_ = false;
};

}  // namespace

bool ReadPackedIndex(const std::uint8_t* data, std::size_t size, std::vector<TPackedIndexEntry>& out,
                     std::string& error) {
  if (data == nullptr || size < 4 || std::memcmp(data, kMagic, 4) != 0) {
    error = "not a packed skin (no \"ASzf\" signature)";
    return false;
  }
  if (size < 12) {
    error = "packed skin truncated: " + std::to_string(size) + " bytes, not even its header";
    return false;
  }
  if (size > packlimits::MaxPackedBytes) {
    error = "packed skin larger than " + std::to_string(packlimits::MaxPackedBytes) + " bytes";
    return false;
  }
  TReader r(data + 4, size - 4);
  std::uint32_t version = 0, count = 0;
  r.U32(version);
  r.U32(count);
  if (version != packlimits::Version) {
    error = "packed skin version " + std::to_string(version) + " is not supported";
    return false;
  }
  if (count > packlimits::MaxEntries) {
    error = "packed skin entry count " + std::to_string(count) + " is not valid";
    return false;
  }
  // Each entry takes at least 2 + 1 + 4 + 4 bytes: a count the data cannot hold is refused at once.
  if (std::size_t(count) * 11 > r.Left()) {
    error = "packed skin truncated: " + std::to_string(count) + " entries cannot lie in the " +
            std::to_string(r.Left()) + " bytes left";
    return false;
  }
  std::vector<TPackedIndexEntry> entries;
  entries.reserve(count);
  std::unordered_set<std::string> names;
  std::size_t total = 0;
  for (std::uint32_t i = 0; i < count; ++i) {
    const std::string where = "packed skin entry " + std::to_string(i + 1);
    std::uint32_t nameLen = 0, unpacked = 0, packed = 0;
    if (!r.U16(nameLen)) {
      error = where + ": truncated name length";
      return false;
    }
    if (nameLen == 0 || nameLen > 255) {
      error = where + ": bad name length";
      return false;
    }
    const std::uint8_t* name = r.Take(nameLen);
    if (name == nullptr) {
      error = where + ": truncated name";
      return false;
    }
    TPackedIndexEntry e;
    e.Name.assign(reinterpret_cast<const char*>(name), nameLen);
    if (!IsValidSkinFileName(e.Name)) {
      error = where + ": unsafe file name";
      return false;
    }
    if (!names.insert(UpperCase(e.Name)).second) {
      error = where + ": file \"" + e.Name + "\" stored twice";
      return false;
    }
    if (!r.U32(unpacked) || !r.U32(packed)) {
      error = where + " (" + e.Name + "): truncated header";
      return false;
    }
    if (unpacked > skinlimits::MaxFileBytes || total + unpacked > packlimits::MaxTotalBytes) {
      error = where + " (" + e.Name + "): size " + std::to_string(unpacked) + " too large";
      return false;
    }
    if (std::uint64_t(unpacked) > std::uint64_t(packed) * packlimits::MaxUnpackRatio) {
      error = where + " (" + e.Name + "): size " + std::to_string(unpacked) + " cannot come from " +
              std::to_string(packed) + " packed bytes";
      return false;
    }
    e.Packed = r.Take(packed);
    if (e.Packed == nullptr) {
      error = where + " (" + e.Name + "): truncated data";
      return false;
    }
    e.Size = unpacked;
    e.PackedSize = packed;
    total += unpacked;
    entries.push_back(std::move(e));
  }
  if (r.Left() != 0) {
    error = "packed skin has " + std::to_string(r.Left()) + " bytes after its last entry";
    return false;
  }
  out = std::move(entries);
  return true;
}

std::unique_ptr<TByteStream> OpenPackedEntry(const TPackedIndexEntry& entry) {
  return std::make_unique<TInflateStream>(entry);
}

bool ReadPackedSkin(const std::uint8_t* data, std::size_t size, std::vector<TPackedEntry>& out, std::string& error) {
  std::vector<TPackedIndexEntry> index;
  if (!ReadPackedIndex(data, size, index, error)) return false;
  std::vector<TPackedEntry> entries;
  entries.reserve(index.size());
  for (std::size_t i = 0; i < index.size(); ++i) {
    TPackedEntry e{index[i].Name, std::vector<std::uint8_t>(index[i].Size)};
    auto in = OpenPackedEntry(index[i]);
    std::string err;
    if (!in->Read(e.Data.data(), e.Data.size(), err) || !in->Finish(err)) {
      error = "packed skin entry " + std::to_string(i + 1) + " (" + e.Name + "): " + err;
      return false;
    }
    entries.push_back(std::move(e));
  }
  out = std::move(entries);
  return true;
}

bool WritePackedSkin(const std::vector<TPackedEntry>& entries, std::vector<std::uint8_t>& out, std::string& error) {
  if (entries.size() > packlimits::MaxEntries) {
    error = "too many files for a packed skin";
    return false;
  }
  std::vector<std::uint8_t> v(kMagic, kMagic + 4);
  Put32(v, packlimits::Version);
  Put32(v, std::uint32_t(entries.size()));
  std::unordered_set<std::string> names;
  std::size_t total = 0;
  for (const TPackedEntry& e : entries) {
    if (!IsValidSkinFileName(e.Name) || !names.insert(UpperCase(e.Name)).second) {
      error = "bad or repeated file name \"" + e.Name + "\"";
      return false;
    }
    total += e.Data.size();
    if (e.Data.size() > skinlimits::MaxFileBytes || total > packlimits::MaxTotalBytes) {
      error = "file \"" + e.Name + "\" too large for a packed skin";
      return false;
    }
    uLongf bound = compressBound(uLong(e.Data.size()));
    std::vector<std::uint8_t> z(bound);
    std::uint8_t dummy = 0;
    if (compress2(z.data(), &bound, e.Data.empty() ? &dummy : e.Data.data(), uLong(e.Data.size()), 9) != Z_OK) {
      error = "compression failed for \"" + e.Name + "\"";
      return false;
    }
    Put16(v, std::uint32_t(e.Name.size()));
    v.insert(v.end(), e.Name.begin(), e.Name.end());
    Put32(v, std::uint32_t(e.Data.size()));
    Put32(v, std::uint32_t(bound));
    v.insert(v.end(), z.begin(), z.begin() + std::ptrdiff_t(bound));
  }
  if (v.size() > packlimits::MaxPackedBytes) {
    error = "packed skin too large";
    return false;
  }
  out = std::move(v);
  return true;
}

}  // namespace qv
