#include "skin/engine/core/acBmpFile.h"

#include <cstring>

#include "skin/engine/core/acSkinModel.h"

namespace qv {

namespace {

std::uint32_t U32(const std::uint8_t* p) {
  return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) | (std::uint32_t(p[3]) << 24);
}
std::uint16_t U16(const std::uint8_t* p) { return std::uint16_t(p[0] | (p[1] << 8)); }
void Put32(std::vector<std::uint8_t>& v, std::uint32_t x) {
  for (int i = 0; i < 4; ++i) v.push_back(std::uint8_t(x >> (8 * i)));
}
void Put16(std::vector<std::uint8_t>& v, std::uint16_t x) {
  v.push_back(std::uint8_t(x));
  v.push_back(std::uint8_t(x >> 8));
}

constexpr std::uint32_t kBiRgb = 0, kBiBitfields = 3;

}  // namespace

bool DecodeBmp(const std::uint8_t* data, std::size_t size, TImage24& out, std::string& error) {
  if (data == nullptr || size < 14 + 40) {
    error = "not a BMP file (too short)";
    return false;
  }
  if (data[0] != 'B' || data[1] != 'M') {
    error = "not a BMP file (no \"BM\" signature)";
    return false;
  }
  const std::uint32_t pixelOffset = U32(data + 10);
  const std::uint32_t headerSize = U32(data + 14);
  if (headerSize != 40 && headerSize != 52 && headerSize != 56 && headerSize != 108 && headerSize != 124) {
    error = "unsupported BMP header (size " + std::to_string(headerSize) + ")";
    return false;
  }
  if (std::size_t(14) + headerSize > size) {
    error = "BMP header truncated";
    return false;
  }
  const std::uint8_t* h = data + 14;
  const std::int32_t width = std::int32_t(U32(h + 4));
  const std::int32_t rawHeight = std::int32_t(U32(h + 8));
  const std::uint16_t planes = U16(h + 12);
  const std::uint16_t bpp = U16(h + 14);
  const std::uint32_t compression = U32(h + 16);
  std::uint32_t colorsUsed = U32(h + 32);
  if (planes != 1) {
    error = "BMP plane count is not 1";
    return false;
  }
  if (bpp != 8 && bpp != 24 && bpp != 32) {
    error = "unsupported BMP colour depth " + std::to_string(bpp) + " (8, 24 or 32 bits expected)";
    return false;
  }
  if (compression == kBiBitfields && bpp == 32) {
    // Masks follow a 40-byte header, or are part of the larger ones.
    if (std::size_t(14) + 40 + 12 > size) {
      error = "BMP colour masks truncated";
      return false;
    }
    const std::uint8_t* m = h + 40;
    if (U32(m) != 0x00FF0000u || U32(m + 4) != 0x0000FF00u || U32(m + 8) != 0x000000FFu) {
      error = "unsupported BMP colour masks";
      return false;
    }
  } else if (compression != kBiRgb) {
    error = "compressed BMP files are not supported";
    return false;
  }
  if (rawHeight == INT32_MIN || width <= 0 || rawHeight == 0) {
    error = "BMP size " + std::to_string(width) + " x " + std::to_string(rawHeight) + " is not valid";
    return false;
  }
  const bool topDown = rawHeight < 0;
  const std::int32_t height = topDown ? -rawHeight : rawHeight;
  if (width > skinlimits::MaxImageSide || height > skinlimits::MaxImageSide ||
      std::size_t(DibStride24(width)) * std::size_t(height) > skinlimits::MaxImageBytes) {
    error = "BMP image " + std::to_string(width) + " x " + std::to_string(height) + " is too large";
    return false;
  }
  const std::size_t srcStride = ((std::size_t(width) * bpp + 31) / 32) * 4;
  const std::size_t pixelBytes = srcStride * std::size_t(height);
  if (pixelOffset < 14 + headerSize || pixelOffset > size || size - pixelOffset < pixelBytes) {
    error = "BMP pixel data truncated or misplaced";
    return false;
  }
  // Palette of an 8-bit image: right after the header (after the masks of a 40-byte BI_BITFIELDS
  // header, which 8-bit images do not have).
  std::uint8_t palette[256][3] = {};
  if (bpp == 8) {
    if (colorsUsed == 0) colorsUsed = 256;
    if (colorsUsed > 256) {
      error = "BMP palette larger than 256 colours";
      return false;
    }
    const std::size_t palStart = 14 + std::size_t(headerSize);
    if (palStart + std::size_t(colorsUsed) * 4 > pixelOffset) {
      error = "BMP palette truncated";
      return false;
    }
    for (std::uint32_t i = 0; i < colorsUsed; ++i) std::memcpy(palette[i], data + palStart + 4 * i, 3);
  }

  TImage24 img(width, height);
  TImageView v = img.View();
  for (int y = 0; y < height; ++y) {
    const int srcRow = topDown ? y : height - 1 - y;
    const std::uint8_t* s = data + pixelOffset + srcStride * std::size_t(srcRow);
    std::uint8_t* d = v.Row(y);
    switch (bpp) {
      case 24: std::memcpy(d, s, std::size_t(width) * 3); break;
      case 32:
        for (int x = 0; x < width; ++x) std::memcpy(d + 3 * x, s + 4 * x, 3);
        break;
      default:
        for (int x = 0; x < width; ++x) {
          if (s[x] >= colorsUsed) {
            error = "BMP pixel refers to a colour outside the palette";
            return false;
          }
          std::memcpy(d + 3 * x, palette[s[x]], 3);
        }
        break;
    }
  }
  out = std::move(img);
  return true;
}

std::vector<std::uint8_t> EncodeBmp(const TImage24& img) {
  const int w = img.Width(), h = img.Height();
  const std::size_t stride = std::size_t(DibStride24(w));
  const std::size_t pixels = stride * std::size_t(h);
  std::vector<std::uint8_t> v;
  v.reserve(54 + pixels);
  v.push_back('B');
  v.push_back('M');
  Put32(v, std::uint32_t(54 + pixels));
  Put32(v, 0);
  Put32(v, 54);
  Put32(v, 40);
  Put32(v, std::uint32_t(w));
  Put32(v, std::uint32_t(h));
  Put16(v, 1);
  Put16(v, 24);
  Put32(v, kBiRgb);
  Put32(v, std::uint32_t(pixels));
  Put32(v, 2835);  // 72 dpi
  Put32(v, 2835);
  Put32(v, 0);
  Put32(v, 0);
  TImageView src = img.View();
  for (int y = h - 1; y >= 0; --y) {
    const std::uint8_t* row = src.Row(y);
    v.insert(v.end(), row, row + stride);
  }
  return v;
}

}  // namespace qv
