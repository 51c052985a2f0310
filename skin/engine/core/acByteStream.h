// Files of a skin read front to back: from memory, from disk, or unpacked from a packed skin as they
// are read (acPackedSkin). The loader decodes each image straight from its stream, so a file is
// never held whole when only its decoded form is kept.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

namespace qv {

class TByteStream {
 public:
  TByteStream(const TByteStream&) = delete;
  TByteStream& operator=(const TByteStream&) = delete;
  virtual ~TByteStream() = default;

  // The length of the whole file, bytes read so far, bytes left.
  std::size_t Size() const { return Size_; }
  std::size_t Position() const { return Pos_; }
  std::size_t Left() const { return Size_ - Pos_; }

  // The next n bytes into dst; false with an error text when fewer are left or they cannot be read.
  bool Read(void* dst, std::size_t n, std::string& error);
  // Passes over the next n bytes.
  bool Skip(std::size_t n, std::string& error);
  // Passes over what is left and checks that the file is whole (a packed entry's compressed data
  // ends exactly there; a file on disk did not grow).
  bool Finish(std::string& error);

 protected:
  explicit TByteStream(std::size_t size) : Size_(size) {}
  void SetSize(std::size_t size) { Size_ = size; }
  // Exactly n bytes (n <= Left()); false with an error text when they cannot be had.
  virtual bool DoRead(std::uint8_t* dst, std::size_t n, std::string& error) = 0;
  // Passes over n bytes (n <= Left()); by default reads them into a scratch buffer.
  virtual bool DoSkip(std::size_t n, std::string& error);
  // The last check once every byte is passed.
  virtual bool DoFinish(std::string&) { return true; }

 private:
  std::size_t Size_;
  std::size_t Pos_ = 0;
};

// Bytes in memory that outlive the stream.
class TMemoryStream : public TByteStream {
 public:
  TMemoryStream(const std::uint8_t* data, std::size_t size) : TByteStream(data ? size : 0), Data_(data) {}

 protected:
  bool DoRead(std::uint8_t* dst, std::size_t n, std::string& error) override;
  bool DoSkip(std::size_t, std::string&) override { return true; }

 private:
  const std::uint8_t* Data_;
};

// A file on disk of at most maxBytes bytes.
class TFileStream : public TByteStream {
 public:
  // nullptr with an error text when the file is missing, unreadable or too large.
  static std::unique_ptr<TFileStream> Open(const std::filesystem::path& file, std::size_t maxBytes, std::string& error);

 protected:
  bool DoRead(std::uint8_t* dst, std::size_t n, std::string& error) override;
  bool DoSkip(std::size_t n, std::string& error) override;
  bool DoFinish(std::string& error) override;

 private:
  static constexpr std::size_t kBufferBytes = 64 * 1024;
  TFileStream(std::filesystem::path file, std::size_t size) : TByteStream(size), File_(std::move(file)) {}
  bool Failed(std::string& error) const;
  std::filesystem::path File_;
  std::unique_ptr<char[]> Buffer_;  // before In_: the stream reads into it until it is closed
  std::ifstream In_;
};

}  // namespace qv
