// BMP files of skin images.
//
// Read: BITMAPINFOHEADER and its V4 / V5 successors, uncompressed 24-bit, 32-bit (BI_RGB, or
// BI_BITFIELDS with the ordinary 8-bit masks; alpha dropped) and 8-bit palette images, stored
// bottom-up or top-down. Everything else (OS/2 headers, RLE, 1, 4 and 16 bits, JPEG / PNG inside a
// BMP) is refused with an error text. Every size is checked against the data and the skin limits
// before anything is allocated. Files are read front to back, rows straight into the image.
// Written: 24-bit bottom-up BITMAPINFOHEADER files.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "skin/engine/core/acImage.h"

namespace qv {

class TByteStream;

// What the headers of a BMP file say, read and checked before any pixel.
struct TBmpHeader {
  int Width = 0;
  int Height = 0;
  bool TopDown = false;
  int BitsPerPixel = 0;            // 8, 24 or 32
  std::uint32_t PixelOffset = 0;   // where the rows start in the file
  std::size_t SrcStride = 0;       // bytes of one stored row
  std::uint32_t Colors = 0;        // palette entries of an 8-bit image
  std::uint8_t Palette[256][3]{};  // B, G, R
  // Bytes of the headers that belong to the pixel rows as well (a file whose rows start inside its
  // colour masks): the rows' first bytes.
  std::uint8_t Overlap[12]{};
  std::size_t OverlapSize = 0;
  // Bytes the decoded image takes (24-bit rows padded to 4 bytes).
  std::size_t DecodedBytes() const { return std::size_t(DibStride24(Width)) * std::size_t(Height); }
};

// Reads and checks the headers (and palette) of a BMP file, leaving the stream at its first pixel
// row. Every size is checked against the file's length and the skin limits here.
bool ReadBmpHeader(TByteStream& in, TBmpHeader& header, std::string& error);
// Reads the pixel rows the header describes into a new image. On failure `out` is unchanged.
bool ReadBmpPixels(TByteStream& in, const TBmpHeader& header, TImage24& out, std::string& error);

// Decodes a BMP file, from a stream or from memory. On failure returns false, leaves `out`
// unchanged and sets `error`.
bool DecodeBmp(TByteStream& in, TImage24& out, std::string& error);
bool DecodeBmp(const std::uint8_t* data, std::size_t size, TImage24& out, std::string& error);
std::vector<std::uint8_t> EncodeBmp(const TImage24& img);

}  // namespace qv
