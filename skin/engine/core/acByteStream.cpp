#include "skin/engine/core/acByteStream.h"

#include <algorithm>
#include <cstring>
#include <system_error>

namespace qv {

namespace fs = std::filesystem;

bool TByteStream::Read(void* dst, std::size_t n, std::string& error) {
  if (n > Left()) {
    error = "the file ends " + std::to_string(n - Left()) + " bytes early";
    return false;
  }
  if (n == 0) return true;
  if (!DoRead(static_cast<std::uint8_t*>(dst), n, error)) return false;
  Pos_ += n;
  return true;
}

bool TByteStream::Skip(std::size_t n, std::string& error) {
  if (n > Left()) {
    error = "the file ends " + std::to_string(n - Left()) + " bytes early";
    return false;
  }
  if (n == 0) return true;
  if (!DoSkip(n, error)) return false;
  Pos_ += n;
  return true;
}

bool TByteStream::Finish(std::string& error) { return Skip(Left(), error) && DoFinish(error); }

bool TByteStream::DoSkip(std::size_t n, std::string& error) {
  std::uint8_t scratch[16384];
  while (n > 0) {
    const std::size_t step = std::min(n, sizeof scratch);
    if (!DoRead(scratch, step, error)) return false;
    n -= step;
  }
  return true;
}

bool TMemoryStream::DoRead(std::uint8_t* dst, std::size_t n, std::string&) {
  std::memcpy(dst, Data_ + Position(), n);
  return true;
}

std::unique_ptr<TFileStream> TFileStream::Open(const fs::path& file, std::size_t maxBytes, std::string& error) {
  std::error_code ec;
  if (!fs::is_regular_file(file, ec)) {
    error = "\"" + file.string() + "\" is missing or not a file";
    return nullptr;
  }
  std::unique_ptr<TFileStream> s(new TFileStream(file, 0));
  // A skin's files are small: one buffer takes most of them in one read of the system (the default
  // buffer of a few hundred bytes costs a read per row of an image).
  s->Buffer_.reset(new char[kBufferBytes]);
  s->In_.rdbuf()->pubsetbuf(s->Buffer_.get(), kBufferBytes);
  s->In_.open(file, std::ios::binary);
  const std::streamoff size = s->In_ ? std::streamoff(s->In_.seekg(0, std::ios::end).tellg()) : -1;
  if (!s->In_ || size < 0 || !s->In_.seekg(0, std::ios::beg)) {
    error = "\"" + file.string() + "\" cannot be opened";
    return nullptr;
  }
  if (std::uintmax_t(size) > maxBytes) {
    error = "\"" + file.string() + "\" is larger than " + std::to_string(maxBytes) + " bytes";
    return nullptr;
  }
  s->SetSize(std::size_t(size));
  return s;
}

bool TFileStream::Failed(std::string& error) const {
  error = "\"" + File_.string() + "\" changed or could not be read whole";
  return false;
}

bool TFileStream::DoRead(std::uint8_t* dst, std::size_t n, std::string& error) {
  In_.read(reinterpret_cast<char*>(dst), std::streamsize(n));
  return std::size_t(In_.gcount()) == n || Failed(error);
}

bool TFileStream::DoSkip(std::size_t n, std::string& error) {
  In_.seekg(std::streamoff(n), std::ios::cur);
  return In_.good() || Failed(error);
}

bool TFileStream::DoFinish(std::string& error) { return In_.peek() == std::char_traits<char>::eof() || Failed(error); }

}  // namespace qv
