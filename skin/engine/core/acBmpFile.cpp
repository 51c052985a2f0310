#include "skin/engine/core/acBmpFile.h"

#include <algorithm>
#include <cstring>

#include "skin/engine/core/acByteStream.h"
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

bool ReadBmpHeader(TByteStream& in, TBmpHeader& header, std::string& error) {
  const std::size_t size = in.Size();
  if (size < 14 + 40) {
    error = "not a BMP file (too short)";
    return false;
  }
  // The file header, the largest info header and the colour masks after a 40-byte one.
  std::uint8_t head[14 + 124 + 12] = {};
  if (!in.Read(head, 14 + 40, error)) return false;
  if (head[0] != 'B' || head[1] != 'M') {
    error = "not a BMP file (no \"BM\" signature)";
    return false;
  }
  TBmpHeader hd;
  hd.PixelOffset = U32(head + 10);
  const std::uint32_t headerSize = U32(head + 14);
  if (headerSize != 40 && headerSize != 52 && headerSize != 56 && headerSize != 108 && headerSize != 124) {
    error = "unsupported BMP header (size " + std::to_string(headerSize) + ")";
    return false;
  }
  if (std::size_t(14) + headerSize > size) {
    error = "BMP header truncated";
    return false;
  }
  if (!in.Read(head + 14 + 40, headerSize - 40, error)) return false;
  const std::uint8_t* h = head + 14;
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
  // Bytes of the file read so far.
  std::size_t consumed = 14 + headerSize;
  if (compression == kBiBitfields && bpp == 32) {
    // Masks follow a 40-byte header, or are part of the larger ones.
    if (std::size_t(14) + 40 + 12 > size) {
      error = "BMP colour masks truncated";
      return false;
    }
    if (headerSize == 40) {
      if (!in.Read(head + 14 + 40, 12, error)) return false;
      consumed += 12;
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
  hd.TopDown = rawHeight < 0;
  hd.Width = width;
  hd.Height = hd.TopDown ? -rawHeight : rawHeight;
  hd.BitsPerPixel = bpp;
  if (width > skinlimits::MaxImageSide || hd.Height > skinlimits::MaxImageSide ||
      hd.DecodedBytes() > skinlimits::MaxImageBytes) {
    error = "BMP image " + std::to_string(width) + " x " + std::to_string(hd.Height) + " is too large";
    return false;
  }
  hd.SrcStride = ((std::size_t(width) * bpp + 31) / 32) * 4;
  const std::size_t pixelBytes = hd.SrcStride * std::size_t(hd.Height);
  if (hd.PixelOffset < 14 + headerSize || hd.PixelOffset > size || size - hd.PixelOffset < pixelBytes) {
    error = "BMP pixel data truncated or misplaced";
    return false;
  }
  // Palette of an 8-bit image: right after the header (8-bit images have no colour masks).
  if (bpp == 8) {
    if (colorsUsed == 0) colorsUsed = 256;
    if (colorsUsed > 256) {
      error = "BMP palette larger than 256 colours";
      return false;
    }
    if (consumed + std::size_t(colorsUsed) * 4 > hd.PixelOffset) {
      error = "BMP palette truncated";
      return false;
    }
    std::uint8_t quads[256 * 4];
    if (!in.Read(quads, std::size_t(colorsUsed) * 4, error)) return false;
    consumed += std::size_t(colorsUsed) * 4;
    for (std::uint32_t i = 0; i < colorsUsed; ++i) std::memcpy(hd.Palette[i], quads + 4 * i, 3);
    hd.Colors = colorsUsed;
  }
  if (hd.PixelOffset >= consumed) {
    if (!in.Skip(hd.PixelOffset - consumed, error)) return false;
  } else {
    // The rows start inside the colour masks just read.
    hd.OverlapSize = consumed - hd.PixelOffset;
    std::memcpy(hd.Overlap, head + hd.PixelOffset, hd.OverlapSize);
  }
  header = hd;
  return true;
}

bool ReadBmpPixels(TByteStream& in, const TBmpHeader& hd, TImage24& out, std::string& error) {
  std::size_t overlapLeft = hd.OverlapSize;
  auto read = [&](std::uint8_t* dst, std::size_t n) {
    const std::size_t first = std::min(n, overlapLeft);
    std::memcpy(dst, hd.Overlap + (hd.OverlapSize - overlapLeft), first);
    overlapLeft -= first;
    return in.Read(dst + first, n - first, error);
  };
  TImage24 img(hd.Width, hd.Height);
  TImageView v = img.View();
  // 24-bit rows are stored as the image keeps them; the others go through one row of the file.
  std::vector<std::uint8_t> row(hd.BitsPerPixel == 24 ? 0 : hd.SrcStride);
  for (int i = 0; i < hd.Height; ++i) {
    std::uint8_t* d = v.Row(hd.TopDown ? i : hd.Height - 1 - i);
    if (hd.BitsPerPixel == 24) {
      if (!read(d, hd.SrcStride)) return false;
      continue;
    }
    if (!read(row.data(), row.size())) return false;
    const std::uint8_t* s = row.data();
    if (hd.BitsPerPixel == 32) {
      for (int x = 0; x < hd.Width; ++x) std::memcpy(d + 3 * x, s + 4 * x, 3);
      continue;
    }
    for (int x = 0; x < hd.Width; ++x) {
      if (s[x] >= hd.Colors) {
        error = "BMP pixel refers to a colour outside the palette";
        return false;
      }
      std::memcpy(d + 3 * x, hd.Palette[s[x]], 3);
    }
  }
  out = std::move(img);
  return true;
}

bool DecodeBmp(TByteStream& in, TImage24& out, std::string& error) {
  TBmpHeader header;
  return ReadBmpHeader(in, header, error) && ReadBmpPixels(in, header, out, error);
}

bool DecodeBmp(const std::uint8_t* data, std::size_t size, TImage24& out, std::string& error) {
  TMemoryStream in(data, size);
  return DecodeBmp(in, out, error);
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
