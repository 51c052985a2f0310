#include "skin/engine/core/acSkinLoader.h"

#include <algorithm>
#include <fstream>
#include <map>
#include <set>
#include <system_error>

#include "skin/engine/core/acBmpFile.h"
#include "skin/engine/core/acByteStream.h"
#include "skin/engine/core/acOptionsFile.h"

namespace qv {

namespace fs = std::filesystem;

bool ReadFileBounded(const fs::path& file, std::size_t maxBytes, std::vector<std::uint8_t>& out, std::string& error) {
  std::unique_ptr<TFileStream> in = TFileStream::Open(file, maxBytes, error);
  if (!in) return false;
  std::vector<std::uint8_t> bytes(in->Size());
  if (!in->Read(bytes.data(), bytes.size(), error) || !in->Finish(error)) return false;
  out = std::move(bytes);
  return true;
}

bool WriteFileBytes(const fs::path& file, const std::vector<std::uint8_t>& bytes, std::string& error) {
  std::ofstream o(file, std::ios::binary | std::ios::trunc);
  if (o) o.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
  o.close();
  if (!o) {
    error = "cannot write \"" + file.string() + "\"";
    return false;
  }
  return true;
}

namespace {

// A skin must give at least one section a look: a key the painters read or an image. An empty
// Options.dat, one of comments only or one whose keys no painter reads would throw the previous
// look away for the plain defaults everywhere.
bool HasUsableSection(const TOptionsFile& opts) {
  for (const TOptionsMask& m : opts.Masks)
    if (m.Mask.SectionName != kSkinInfoSection) return true;
  for (const TsGeneralData& s : opts.Sections) {
    if (s.Name == kSkinInfoSection) continue;
    // A parent only lends masks: a chain of sections that name parents and nothing else (one
    // that loops, or ends in no section) paints nothing.
    for (const auto& kv : s.Keys)
      if (TsGeneralData::IsPainterKey(kv.first) && kv.first != "PARENTCLASS") return true;
  }
  return false;
}

// The image files the loader reads, in its order: the master bitmap, then the files of the masks,
// each name once whatever its case, no more than a skin may hold.
std::vector<std::string> NamedImageFiles(const std::vector<TsGeneralData>& sections, const TOptionsFile& opts) {
  std::vector<std::string> names;
  std::set<std::string> seen;
  auto add = [&](const std::string& name) {
    if (int(names.size()) < skinlimits::MaxImages && IsValidSkinFileName(name) && seen.insert(UpperCase(name)).second)
      names.push_back(name);
  };
  for (const TsGeneralData& s : sections)
    if (s.Name == kSkinInfoSection)
      if (const std::string* master = s.Value(kMasterBitmapKey)) add(*master);
  for (const TOptionsMask& m : opts.Masks)
    if (!m.FileName.empty()) add(m.FileName);
  return names;
}

}  // namespace

bool IsPlainSkinName(std::string_view name) {
  if (name.empty() || name.find(':') != std::string_view::npos || name.front() == '\\' || name.front() == '/')
    return false;
  std::size_t start = 0;
  while (start <= name.size()) {
    const std::size_t end = std::min(name.find_first_of("\\/", start), name.size());
    // "..", and what Windows reads as it: a part of dots and blanks only (trailing ones are dropped).
    const std::string_view part = name.substr(start, end - start);
    if (!part.empty() && part.find_first_not_of(". ") == std::string_view::npos) return false;
    start = end + 1;
  }
  return true;
}

std::unique_ptr<TSkinModel> LoadSkinFromReader(const TSkinFileReader& reader, std::string& error,
                                               const TSkinFilesNamed& named) {
  std::string err;
  std::string text;
  {
    std::unique_ptr<TByteStream> in = reader(kOptionsFileName, err);
    if (!in) {
      error = err;
      return nullptr;
    }
    if (in->Size() > skinlimits::MaxOptionsBytes) {
      error = std::string(kOptionsFileName) + " is too large";
      return nullptr;
    }
    text.resize(in->Size());
    if (!in->Read(text.data(), text.size(), err) || !in->Finish(err)) {
      error = std::string(kOptionsFileName) + ": " + err;
      return nullptr;
    }
  }
  TOptionsFile opts;
  if (!ParseOptionsFile(text, opts, err)) {
    error = err;
    return nullptr;
  }
  std::string().swap(text);

  if (!HasUsableSection(opts)) {
    error = std::string(kOptionsFileName) + " gives no section a look (no key the painters read, no image)";
    return nullptr;
  }

  auto skin = std::make_unique<TSkinModel>();
  skin->Sections = std::move(opts.Sections);
  if (named) named(NamedImageFiles(skin->Sections, opts));
  std::map<std::string, int> imageByName;  // upper-case file name -> index
  std::size_t totalBytes = 0;
  // Each image is decoded from its file as the file is read; the decoded size is checked against
  // what the skin may still hold before the image is made.
  auto loadImage = [&](const std::string& name, int& index) -> bool {
    const std::string key = UpperCase(name);
    auto it = imageByName.find(key);
    if (it != imageByName.end()) {
      index = it->second;
      return true;
    }
    if (int(skin->Images.size()) >= skinlimits::MaxImages) {
      error = "too many images";
      return false;
    }
    std::string e;
    std::unique_ptr<TByteStream> in = reader(name, e);
    if (!in) {
      error = e;
      return false;
    }
    TBmpHeader header;
    if (!ReadBmpHeader(*in, header, e)) {
      error = "image \"" + name + "\": " + e;
      return false;
    }
    if (header.DecodedBytes() > skinlimits::MaxTotalImageBytes - totalBytes) {
      error = "the images of the skin are too large together";
      return false;
    }
    TImage24 img;
    if (!ReadBmpPixels(*in, header, img, e) || !in->Finish(e)) {
      error = "image \"" + name + "\": " + e;
      return false;
    }
    totalBytes += header.DecodedBytes();
    index = skin->AddImage(name, std::move(img));
    imageByName.emplace(key, index);
    return true;
  };

  for (const TsGeneralData& s : skin->Sections) {
    if (s.Name != kSkinInfoSection) continue;
    if (const std::string* master = s.Value(kMasterBitmapKey)) {
      if (!IsValidSkinFileName(*master)) {
        error = "[SKININFO] MASTERBITMAP: bad file name \"" + *master + "\"";
        return nullptr;
      }
      if (!loadImage(*master, skin->MasterImageIndex)) return nullptr;
    }
  }

  for (TOptionsMask& m : opts.Masks) {
    const std::string where = "[" + m.Mask.SectionName + "] " + m.Mask.PropertyName + ": ";
    int index = -1;
    if (m.FileName.empty()) {
      if (skin->MasterImageIndex < 0) {
        error = where + "no file= and the skin has no master bitmap";
        return nullptr;
      }
      index = skin->MasterImageIndex;
    } else if (!loadImage(m.FileName, index)) {
      error = where + error;
      return nullptr;
    }
    const TImage24& img = skin->Images[index].Bitmap;
    m.Mask.ImageIndex = index;
    if (!m.HasRect) m.Mask.R = TRect{0, 0, img.Width(), img.Height()};
    std::string e = ValidateMask(m.Mask, img.Width(), img.Height());
    if (!e.empty()) {
      error = where + e;
      return nullptr;
    }
    skin->Masks.push_back(std::move(m.Mask));
  }
  skin->RebuildIndex();
  return skin;
}

std::unique_ptr<TSkinModel> LoadSkinFromEntries(const std::vector<TPackedEntry>& files, std::string& error) {
  std::map<std::string, const TPackedEntry*> byName;
  for (const TPackedEntry& e : files) byName.emplace(UpperCase(e.Name), &e);
  TSkinFileReader reader = [&](const std::string& name, std::string& err) -> std::unique_ptr<TByteStream> {
    auto it = byName.find(UpperCase(name));
    if (it == byName.end()) {
      err = "file \"" + name + "\" is missing from the skin";
      return nullptr;
    }
    return std::make_unique<TMemoryStream>(it->second->Data.data(), it->second->Data.size());
  };
  return LoadSkinFromReader(reader, error);
}

std::unique_ptr<TSkinModel> LoadSkinFromFolder(const fs::path& folder, std::string& error,
                                               std::vector<TPackedEntry>* filesRead) {
  std::error_code ec;
  if (!fs::is_directory(folder, ec)) {
    error = "skin folder \"" + folder.string() + "\" does not exist";
    return nullptr;
  }
  // Only the files Options.dat names are opened, each by its name. A name written in another case
  // than the file's (on a file system that tells cases apart) is looked up once in a listing of the
  // folder, made the first time it is needed.
  std::map<std::string, fs::path> byName;
  bool listed = false;
  std::string listError;
  auto list = [&] {
    listed = true;
    std::error_code lec;
    std::size_t seen = 0;
    for (fs::directory_iterator it(folder, lec), end; !lec && it != end; it.increment(lec)) {
      if (++seen > 100000) break;
      std::error_code fec;
      if (it->is_regular_file(fec)) byName.emplace(UpperCase(it->path().filename().string()), it->path());
    }
    if (lec) listError = "skin folder \"" + folder.string() + "\" cannot be read";
  };
  auto open = [&](const std::string& name, std::string& err) -> std::unique_ptr<TFileStream> {
    if (!IsValidSkinFileName(name)) {
      err = "bad file name \"" + name + "\"";
      return nullptr;
    }
    std::string openError;
    if (auto exact = TFileStream::Open(folder / fs::path(name), skinlimits::MaxFileBytes, openError)) return exact;
    if (!listed) list();
    auto it = byName.find(UpperCase(name));
    if (it == byName.end()) {
      err = !listError.empty() ? listError : "file \"" + name + "\" is missing from the skin folder";
      return nullptr;
    }
    return TFileStream::Open(it->second, skinlimits::MaxFileBytes, err);
  };
  TSkinFileReader reader = [&](const std::string& name, std::string& err) -> std::unique_ptr<TByteStream> {
    std::unique_ptr<TFileStream> in = open(name, err);
    if (!in || !filesRead) return in;
    // Read whole into the caller's list; the bytes stay where they are when the list grows.
    std::vector<std::uint8_t> bytes(in->Size());
    if (!in->Read(bytes.data(), bytes.size(), err) || !in->Finish(err)) return nullptr;
    filesRead->push_back(TPackedEntry{name, std::move(bytes)});
    const std::vector<std::uint8_t>& kept = filesRead->back().Data;
    return std::make_unique<TMemoryStream>(kept.data(), kept.size());
  };
  if (filesRead) filesRead->clear();
  return LoadSkinFromReader(reader, error);
}

std::unique_ptr<TSkinModel> LoadSkinFromPackedBytes(const std::uint8_t* data, std::size_t size, std::string& error) {
  // Only the entries Options.dat names are unpacked, each as it is read; the others stay packed.
  std::vector<TPackedIndexEntry> index;
  if (!ReadPackedIndex(data, size, index, error)) return nullptr;
  std::map<std::string, const TPackedIndexEntry*> byName;
  for (const TPackedIndexEntry& e : index) byName.emplace(UpperCase(e.Name), &e);
  TSkinFileReader reader = [&](const std::string& name, std::string& err) -> std::unique_ptr<TByteStream> {
    auto it = byName.find(UpperCase(name));
    if (it == byName.end()) {
      err = "file \"" + name + "\" is missing from the skin";
      return nullptr;
    }
    return OpenPackedEntry(*it->second);
  };
  return LoadSkinFromReader(reader, error);
}

std::unique_ptr<TSkinModel> LoadSkinFromPackedFile(const fs::path& file, std::string& error) {
  std::vector<std::uint8_t> bytes;
  if (!ReadFileBounded(file, packlimits::MaxPackedBytes, bytes, error)) return nullptr;
  auto skin = LoadSkinFromPackedBytes(bytes.data(), bytes.size(), error);
  if (!skin) error = file.filename().string() + ": " + error;
  return skin;
}

std::unique_ptr<TSkinModel> LoadSkin(const fs::path& path, std::string& error) {
  std::error_code ec;
  if (fs::is_directory(path, ec)) return LoadSkinFromFolder(path, error);
  return LoadSkinFromPackedFile(path, error);
}

bool SkinToFiles(const TSkinModel& skin, std::vector<TPackedEntry>& files, std::string& error) {
  TOptionsFile opts;
  opts.Sections = skin.Sections;
  if (skin.MasterImageIndex >= 0) {
    if (skin.MasterImageIndex >= int(skin.Images.size())) {
      error = "master bitmap index out of range";
      return false;
    }
    auto it = std::find_if(opts.Sections.begin(), opts.Sections.end(),
                           [](const TsGeneralData& s) { return s.Name == kSkinInfoSection; });
    if (it == opts.Sections.end()) {
      TsGeneralData info;
      info.Name = kSkinInfoSection;
      opts.Sections.insert(opts.Sections.begin(), info);
      it = opts.Sections.begin();
    }
    it->SetRaw(kMasterBitmapKey, skin.Images[skin.MasterImageIndex].FileName);
  }
  for (const TsMaskData& m : skin.Masks) {
    if (m.ImageIndex < 0 || m.ImageIndex >= int(skin.Images.size())) {
      error = "[" + m.SectionName + "] " + m.PropertyName + ": image index out of range";
      return false;
    }
    const TImage24& img = skin.Images[m.ImageIndex].Bitmap;
    TOptionsMask e;
    e.Mask = m;
    const bool master = m.ImageIndex == skin.MasterImageIndex;
    if (!master) e.FileName = skin.Images[m.ImageIndex].FileName;
    e.HasRect = master || !(m.R == TRect{0, 0, img.Width(), img.Height()});
    opts.Masks.push_back(std::move(e));
  }
  std::vector<TPackedEntry> out;
  const std::string text = WriteOptionsFile(opts);
  out.push_back(TPackedEntry{kOptionsFileName, std::vector<std::uint8_t>(text.begin(), text.end())});
  for (const TSkinImage& img : skin.Images) {
    if (!IsValidSkinFileName(img.FileName)) {
      error = "bad image file name \"" + img.FileName + "\"";
      return false;
    }
    out.push_back(TPackedEntry{img.FileName, EncodeBmp(img.Bitmap)});
  }
  files = std::move(out);
  return true;
}

bool SaveSkinToFolder(const TSkinModel& skin, const fs::path& folder, std::string& error) {
  std::vector<TPackedEntry> files;
  if (!SkinToFiles(skin, files, error)) return false;
  std::error_code ec;
  fs::create_directories(folder, ec);
  if (ec) {
    error = "cannot create \"" + folder.string() + "\"";
    return false;
  }
  for (const TPackedEntry& f : files)
    if (!WriteFileBytes(folder / f.Name, f.Data, error)) return false;
  return true;
}

bool PackSkin(const TSkinModel& skin, std::vector<std::uint8_t>& bytes, std::string& error) {
  std::vector<TPackedEntry> files;
  return SkinToFiles(skin, files, error) && WritePackedSkin(files, bytes, error);
}

bool SaveSkinToPackedFile(const TSkinModel& skin, const fs::path& file, std::string& error) {
  std::vector<std::uint8_t> bytes;
  return PackSkin(skin, bytes, error) && WriteFileBytes(file, bytes, error);
}

namespace {
bool HasOptionsFile(const fs::path& dir) {
  std::error_code ec;
  for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
    std::error_code fec;
    if (it->is_regular_file(fec) && UpperCase(it->path().filename().string()) == UpperCase(kOptionsFileName))
      return true;
  }
  return false;
}
}  // namespace

std::vector<std::string> ListSkinNames(const fs::path& folder) {
  std::vector<std::string> names;
  std::error_code ec;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    std::error_code fec;
    const fs::path& p = it->path();
    if (it->is_directory(fec)) {
      if (HasOptionsFile(p)) names.push_back(p.filename().string());
    } else if (it->is_regular_file(fec) && UpperCase(p.extension().string()) == ".ASZ") {
      names.push_back(p.stem().string());
    }
  }
  std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
    const std::string ua = UpperCase(a), ub = UpperCase(b);
    return ua != ub ? ua < ub : a < b;
  });
  names.erase(std::unique(names.begin(), names.end()), names.end());
  return names;
}

}  // namespace qv
