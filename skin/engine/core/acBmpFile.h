// BMP files of skin images.
//
// Read: BITMAPINFOHEADER and its V4 / V5 successors, uncompressed 24-bit, 32-bit (BI_RGB, or
// BI_BITFIELDS with the ordinary 8-bit masks; alpha dropped) and 8-bit palette images, stored
// bottom-up or top-down. Everything else (OS/2 headers, RLE, 1, 4 and 16 bits, JPEG / PNG inside a
// BMP) is refused with an error text. Every size is checked against the data and the skin limits
// before anything is allocated.
// Written: 24-bit bottom-up BITMAPINFOHEADER files.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "skin/engine/core/acImage.h"

namespace qv {

// Decodes a BMP file. On failure returns false, leaves `out` unchanged and sets `error`.
bool DecodeBmp(const std::uint8_t* data, std::size_t size, TImage24& out, std::string& error);
std::vector<std::uint8_t> EncodeBmp(const TImage24& img);

}  // namespace qv
