// TBitmap: DIB sections and device bitmaps, their canvas, pixel formats, files and resources.
#include "classlib/Graphics.h"

#include <algorithm>
#include <cstring>

#include "classlib/GdiScopes.h"

// ---- TBitmap ----------------------------------------------------------------------------------

class TBitmapCanvas : public TCanvas {
 public:
  QV_CLASS_NAME(TBitmapCanvas)
  explicit TBitmapCanvas(TBitmap* bitmap) : Bitmap_(bitmap) {}
  ~TBitmapCanvas() override { FreeContext(); }

  // The memory DC with the bitmap selected, without selecting font, pen or brush.
  HDC DC() {
    RequiredState(csHandleValid);
    return RawHandle();
  }
  void FreeContext() {
    if (!DC_) return;
    SetHandle(nullptr);
    DC_.Reset();
  }

 protected:
  void CreateHandle() override {
    DC_ = MemoryDC(nullptr, Bitmap_->Handle_);
    SetHandle(DC_);
  }

 private:
  TBitmap* Bitmap_;
  MemoryDC DC_;
};

namespace {

int BitsPerPixel(TPixelFormat pf) {
  switch (pf) {
    case pf1bit: return 1;
    case pf4bit: return 4;
    case pf8bit: return 8;
    case pf15bit:
    case pf16bit: return 16;
    case pf32bit: return 32;
    default: return 24;
  }
}

int DibStride(int width, int bpp) { return ((width * bpp + 31) / 32) * 4; }

// A BITMAPINFO with room for a full colour table or three masks.
struct TDibInfo {
  BITMAPINFOHEADER Header{};
  RGBQUAD Colors[256]{};
  BITMAPINFO* Info() { return reinterpret_cast<BITMAPINFO*>(this); }
};

void DefaultPalette(TPixelFormat pf, RGBQUAD* colors, int& count) {
  count = 0;
  if (pf == pf1bit) {
    colors[1] = RGBQUAD{255, 255, 255, 0};
    count = 2;
  } else if (pf == pf4bit) {
    static const COLORREF kVga[16] = {0x000000, 0x000080, 0x008000, 0x008080, 0x800000, 0x800080, 0x808000, 0x808080,
                                      0xC0C0C0, 0x0000FF, 0x00FF00, 0x00FFFF, 0xFF0000, 0xFF00FF, 0xFFFF00, 0xFFFFFF};
    for (int i = 0; i < 16; ++i) colors[i] = RGBQUAD{GetBValue(kVga[i]), GetGValue(kVga[i]), GetRValue(kVga[i]), 0};
    count = 16;
  } else if (pf == pf8bit) {
    // A 6 x 6 x 6 colour cube and 40 greys.
    for (int i = 0; i < 216; ++i)
      colors[i] = RGBQUAD{BYTE((i % 6) * 51), BYTE((i / 6 % 6) * 51), BYTE((i / 36) * 51), 0};
    for (int i = 0; i < 40; ++i) {
      BYTE g = BYTE(i * 255 / 39);
      colors[216 + i] = RGBQUAD{g, g, g, 0};
    }
    count = 256;
  }
}

// A DIB section (bottom-up) or, for pfDevice, a screen-compatible bitmap.
HBITMAP CreateBitmapOfFormat(int width, int height, TPixelFormat pf, const RGBQUAD* palette, int paletteCount,
                             void** bits) {
  *bits = nullptr;
  HBITMAP bmp = nullptr;
  if (pf == pfDevice) {
    bmp = CreateCompatibleBitmap(ScreenDC(), width, height);
  } else {
    TDibInfo info;
    info.Header.biSize = sizeof(BITMAPINFOHEADER);
    info.Header.biWidth = width;
    info.Header.biHeight = height;
    info.Header.biPlanes = 1;
    info.Header.biBitCount = WORD(BitsPerPixel(pf));
    info.Header.biCompression = BI_RGB;
    if (pf == pf16bit) {
      info.Header.biCompression = BI_BITFIELDS;
      DWORD masks[3] = {0xF800, 0x07E0, 0x001F};
      std::memcpy(info.Colors, masks, sizeof masks);
    } else if (info.Header.biBitCount <= 8) {
      int count = 0;
      if (palette && paletteCount > 0) {
        count = std::min(paletteCount, 1 << info.Header.biBitCount);
        std::memcpy(info.Colors, palette, sizeof(RGBQUAD) * count);
      } else {
        DefaultPalette(pf, info.Colors, count);
      }
      info.Header.biClrUsed = count;
    }
    bmp = CreateDIBSection(nullptr, info.Info(), DIB_RGB_COLORS, bits, nullptr, 0);
  }
  if (!bmp) throw EOutOfResources("Out of system resources");
  return static_cast<HBITMAP>(TrackGdiObject(bmp));
}

// The colour table of a palette DIB selected into dc.
int ReadColorTable(HDC dc, RGBQUAD* colors) { return int(GetDIBColorTable(dc, 0, 256, colors)); }

std::uint32_t Read32(const std::uint8_t* p) {
  return std::uint32_t(p[0]) | (p[1] << 8) | (p[2] << 16) | (std::uint32_t(p[3]) << 24);
}

[[noreturn]] void InvalidBitmap() { throw EInvalidGraphic("Bitmap image is not valid"); }

}  // namespace

HBITMAP CreateDib24(int width, int height, void** bits) {
  void* b = nullptr;
  HBITMAP bmp = CreateBitmapOfFormat(std::max(width, 1), std::max(height, 1), pf24bit, nullptr, 0, &b);
  ForgetGdiObject(bmp);  // the caller's, outside the library's count
  if (bits) *bits = b;
  return bmp;
}

TBitmap::TBitmap() = default;

TBitmap::~TBitmap() {
  FreeAndNil(Canvas_);
  DeleteGdiObject(Handle_);
}

void TBitmap::FreeContext(bool force) {
  if (Canvas_ && (force || Canvas_->LockCount() == 0)) Canvas_->FreeContext();
}

HDC TBitmap::CanvasDC() {
  Canvas();
  return Canvas_->DC();
}

TCanvas* TBitmap::Canvas() {
  if (!Canvas_) {
    Canvas_ = Create<TBitmapCanvas>(this);
    Canvas_->OnChange = MakeMethod<&TBitmap::CanvasChanged>(this);
  }
  return Canvas_;
}

void TBitmap::CanvasChanged(TObject*) { Changed(); }
void TBitmap::Changed() { TGraphic::Changed(); }

void TBitmap::Replace(HBITMAP bitmap, void* bits, int width, int height, int stride, TPixelFormat format,
                      bool topDown) {
  FreeContext(true);
  HBITMAP old = Handle_;
  Handle_ = bitmap;
  Bits_ = bits;
  Width_ = width;
  Height_ = height;
  Stride_ = stride;
  PixelFormat_ = format;
  TopDown_ = topDown;
  DeleteGdiObject(old);
}

HBITMAP TBitmap::Handle() {
  FreeContext(false);
  return Handle_;
}

void TBitmap::SetSize(int width, int height) {
  width = std::max(width, 0);
  height = std::max(height, 0);
  if (width == Width_ && height == Height_) return;
  if (width == 0 || height == 0) {
    Replace(nullptr, nullptr, width, height, 0, PixelFormat_, false);
    Changed();
    return;
  }
  if (SetSizeByPixels(width, height)) return;
  RGBQUAD palette[256];
  int paletteCount = 0;
  if (Handle_ && Bits_ && BitsPerPixel(PixelFormat_) <= 8) paletteCount = ReadColorTable(CanvasDC(), palette);
  void* bits = nullptr;
  HBITMAP bmp = CreateBitmapOfFormat(width, height, PixelFormat_, palette, paletteCount, &bits);
  {
    MemoryDC dst(nullptr, bmp);
    GdiObject<HBRUSH> brush(CreateSolidBrush(Canvas_ ? ColorToRGB(Canvas_->Brush()->Color()) : RGB(255, 255, 255)));
    RECT all{0, 0, width, height};
    ::FillRect(dst, &all, brush);
    if (Handle_) BitBlt(dst, 0, 0, std::min(width, Width_), std::min(height, Height_), CanvasDC(), 0, 0, SRCCOPY);
  }
  Replace(bmp, bits, width, height, DibStride(width, BitsPerPixel(PixelFormat_)), PixelFormat_, false);
  Changed();
}

bool TBitmap::SetSizeByPixels(int width, int height) {
  // A 24- or 32-bit DIB of the library's own (bottom-up) is filled and its content kept through
  // its pixels: the same bytes GDI would write, without a device context made for it.
  if ((PixelFormat_ != pf24bit && PixelFormat_ != pf32bit) || (Handle_ && (!Bits_ || TopDown_))) return false;
  const int bpp = BitsPerPixel(PixelFormat_), bytes = bpp / 8;
  void* bits = nullptr;
  HBITMAP bmp = CreateBitmapOfFormat(width, height, PixelFormat_, nullptr, 0, &bits);
  const int stride = DibStride(width, bpp);
  const COLORREF fill = Canvas_ ? ColorToRGB(Canvas_->Brush()->Color()) : RGB(255, 255, 255);
  const std::uint8_t px[4] = {GetBValue(fill), GetGValue(fill), GetRValue(fill), 0};
  auto* dst = static_cast<std::uint8_t*>(bits);
  if (px[0] == px[1] && px[1] == px[2] && (bytes == 3 || px[0] == 0)) {
    std::memset(dst, px[0], std::size_t(stride) * std::size_t(height));
  } else {
    for (int x = 0; x < width; ++x) std::memcpy(dst + x * bytes, px, std::size_t(bytes));
    for (int y = 1; y < height; ++y) std::memcpy(dst + std::size_t(y) * stride, dst, std::size_t(width) * bytes);
  }
  if (Handle_) {
    // What the old image had at the top-left stays: rows counted from the top of bottom-up images.
    GdiFlush();
    const auto* src = static_cast<const std::uint8_t*>(Bits_);
    const int rows = std::min(height, Height_);
    const std::size_t run = std::size_t(std::min(width, Width_)) * bytes;
    for (int y = 0; y < rows; ++y)
      std::memcpy(dst + std::size_t(height - 1 - y) * stride, src + std::size_t(Height_ - 1 - y) * Stride_, run);
  }
  Replace(bmp, bits, width, height, stride, PixelFormat_, false);
  Changed();
  return true;
}

void TBitmap::SetHandle(HBITMAP bitmap) {
  if (bitmap == Handle_) return;
  if (!bitmap) {
    FreeImage();
    return;
  }
  DIBSECTION ds{};
  int got = GetObjectA(bitmap, sizeof ds, &ds);
  if (got == int(sizeof ds) && ds.dsBm.bmBits) {
    TPixelFormat pf = pf24bit;
    switch (ds.dsBmih.biBitCount) {
      case 1: pf = pf1bit; break;
      case 4: pf = pf4bit; break;
      case 8: pf = pf8bit; break;
      case 16: pf = ds.dsBmih.biCompression == BI_BITFIELDS && ds.dsBitfields[1] == 0x07E0 ? pf16bit : pf15bit; break;
      case 32: pf = pf32bit; break;
      case 24: pf = pf24bit; break;
      default: pf = pfCustom;
    }
    Replace(static_cast<HBITMAP>(TrackGdiObject(bitmap)), ds.dsBm.bmBits, ds.dsBm.bmWidth, ds.dsBm.bmHeight,
            DibStride(ds.dsBm.bmWidth, ds.dsBmih.biBitCount), pf, ds.dsBmih.biHeight < 0);
  } else {
    BITMAP bm{};
    if (GetObjectA(bitmap, sizeof bm, &bm) == 0) throw EInvalidGraphic("Invalid bitmap handle");
    Replace(static_cast<HBITMAP>(TrackGdiObject(bitmap)), nullptr, bm.bmWidth, bm.bmHeight, bm.bmWidthBytes, pfDevice,
            false);
  }
  Changed();
}

HBITMAP TBitmap::ReleaseHandle() {
  FreeContext(true);
  HBITMAP h = Handle_;
  ForgetGdiObject(h);
  Handle_ = nullptr;
  Replace(nullptr, nullptr, 0, 0, 0, PixelFormat_, false);
  Changed();
  return h;
}

void TBitmap::FreeImage() {
  Replace(nullptr, nullptr, 0, 0, 0, PixelFormat_, false);
  Changed();
}

TPixelFormat TBitmap::PixelFormat() const { return Handle_ && !Bits_ ? pfDevice : PixelFormat_; }

void TBitmap::SetPixelFormat(TPixelFormat format) {
  if (format == pfCustom || format == PixelFormat()) return;
  if (Empty()) {
    PixelFormat_ = format;
    Changed();
    return;
  }
  void* bits = nullptr;
  HBITMAP bmp = CreateBitmapOfFormat(Width_, Height_, format, nullptr, 0, &bits);
  {
    MemoryDC dst(nullptr, bmp);
    BitBlt(dst, 0, 0, Width_, Height_, CanvasDC(), 0, 0, SRCCOPY);
  }
  Replace(bmp, bits, Width_, Height_, DibStride(Width_, BitsPerPixel(format)), format, false);
  Changed();
}

void TBitmap::SetHandleType(TBitmapHandleType type) {
  if (type == HandleType()) return;
  SetPixelFormat(type == bmDDB ? pfDevice : pf24bit);
}

void* TBitmap::ScanLine(int row) {
  if (Empty() || row < 0 || row >= Height_) throw EInvalidGraphicOperation("Scan line index out of range");
  if (HandleType() == bmDDB) SetHandleType(bmDIB);
  GdiFlush();
  int index = TopDown_ ? row : Height_ - 1 - row;
  return static_cast<std::uint8_t*>(Bits_) + std::ptrdiff_t(index) * Stride_;
}

qv::TImageView TBitmap::ImageView() {
  if (Empty() || PixelFormat() != pf24bit) return {};
  auto* top = static_cast<std::uint8_t*>(ScanLine(0));
  return qv::TImageView{Width_, Height_, TopDown_ ? std::ptrdiff_t(Stride_) : -std::ptrdiff_t(Stride_), top};
}

void TBitmap::Assign(TPersistent* source) {
  if (!source) {
    FreeImage();
    return;
  }
  auto* b = dynamic_cast<TBitmap*>(source);
  if (!b) {
    TPersistent::Assign(source);
    return;
  }
  if (b == this) return;
  if (b->Empty() || !b->Handle_) {
    Replace(nullptr, nullptr, b->Width_, b->Height_, 0, b->PixelFormat_, false);
  } else {
    TPixelFormat pf = b->PixelFormat();
    RGBQUAD palette[256];
    int paletteCount = 0;
    if (b->Bits_ && BitsPerPixel(pf) <= 8) paletteCount = ReadColorTable(b->CanvasDC(), palette);
    void* bits = nullptr;
    HBITMAP bmp =
        CreateBitmapOfFormat(b->Width_, b->Height_, pf == pfCustom ? pf24bit : pf, palette, paletteCount, &bits);
    if (bits && b->Bits_ && pf != pfCustom) {
      GdiFlush();
      int stride = DibStride(b->Width_, BitsPerPixel(pf));
      for (int y = 0; y < b->Height_; ++y) {
        int srcRow = b->TopDown_ ? b->Height_ - 1 - y : y;
        std::memcpy(static_cast<std::uint8_t*>(bits) + std::ptrdiff_t(y) * stride,
                    static_cast<std::uint8_t*>(b->Bits_) + std::ptrdiff_t(srcRow) * b->Stride_, stride);
      }
    } else {
      MemoryDC dst(nullptr, bmp);
      BitBlt(dst, 0, 0, b->Width_, b->Height_, b->CanvasDC(), 0, 0, SRCCOPY);
    }
    Replace(bmp, bits, b->Width_, b->Height_, bits ? DibStride(b->Width_, BitsPerPixel(pf)) : 0,
            pf == pfCustom ? pf24bit : pf, false);
  }
  Transparent_ = b->Transparent_;
  TransparentMode_ = b->TransparentMode_;
  TransparentColor_ = b->TransparentColor_;
  Changed();
}

void TBitmap::Draw(TCanvas* canvas, const TRect& r) {
  if (Empty() || !canvas) return;
  HDC src = CanvasDC();
  HDC dst = canvas->Handle();
  if (Transparent()) {
    TransparentBlt(dst, r.Left, r.Top, r.Width(), r.Height(), src, 0, 0, Width_, Height_,
                   ColorToRGB(TransparentColor()));
  } else {
    int oldMode = SetStretchBltMode(dst, COLORONCOLOR);
    StretchBlt(dst, r.Left, r.Top, r.Width(), r.Height(), src, 0, 0, Width_, Height_, canvas->CopyMode());
    SetStretchBltMode(dst, oldMode);
  }
}

TColor TBitmap::TransparentColor() {
  if (TransparentMode_ == tmFixed && TransparentColor_ != clDefault) return TransparentColor_;
  if (Empty()) return clDefault;
  COLORREF c = GetPixel(CanvasDC(), 0, Height_ - 1);
  return c == CLR_INVALID ? clDefault : TColor(c);
}

void TBitmap::SetTransparentColor(TColor color) {
  TTransparentMode mode = color == clDefault ? tmAuto : tmFixed;
  if (color == TransparentColor_ && mode == TransparentMode_) return;
  TransparentColor_ = color;
  TransparentMode_ = mode;
  Changed();
}

void TBitmap::SetTransparentMode(TTransparentMode mode) {
  if (mode == TransparentMode_) return;
  SetTransparentColor(mode == tmAuto ? clDefault : TransparentColor());
}

void TBitmap::LoadFromDib(const std::uint8_t* dib, std::size_t dibSize, const std::uint8_t* bits,
                          std::size_t bitsAvail) {
  if (!dib || dibSize < sizeof(BITMAPINFOHEADER)) InvalidBitmap();
  std::uint32_t headerSize = Read32(dib);
  if (headerSize < sizeof(BITMAPINFOHEADER) || headerSize > dibSize) InvalidBitmap();
  BITMAPINFOHEADER h;
  std::memcpy(&h, dib, sizeof h);
  const bool topDown = h.biHeight < 0;
  const long long width = h.biWidth;
  const long long height = topDown ? -static_cast<long long>(h.biHeight) : h.biHeight;
  const int bpp = h.biBitCount;
  if (width <= 0 || height <= 0 || width > 65535 || height > 65535 || width * height > (1LL << 28)) InvalidBitmap();
  if (h.biPlanes != 1) InvalidBitmap();
  if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32) InvalidBitmap();
  const DWORD comp = h.biCompression;
  const bool rle = comp == BI_RLE8 || comp == BI_RLE4;
  if (!(comp == BI_RGB || (comp == BI_RLE8 && bpp == 8) || (comp == BI_RLE4 && bpp == 4) ||
        (comp == BI_BITFIELDS && (bpp == 16 || bpp == 32))))
    InvalidBitmap();
  if (rle && topDown) InvalidBitmap();

  std::size_t offset = headerSize;
  DWORD masks[3] = {0, 0, 0};
  if (comp == BI_BITFIELDS) {
    if (headerSize >= 52) {
      std::memcpy(masks, dib + 40, sizeof masks);
    } else {
      if (dibSize - offset < sizeof masks) InvalidBitmap();
      std::memcpy(masks, dib + offset, sizeof masks);
      offset += sizeof masks;
    }
  }
  std::size_t colors = 0;
  if (bpp <= 8) {
    colors = h.biClrUsed ? h.biClrUsed : (1u << bpp);
    if (colors > (1u << bpp)) InvalidBitmap();
  } else {
    colors = h.biClrUsed;  // an optional table that only shifts the pixels
    if (colors > 256) InvalidBitmap();
  }
  if (dibSize - offset < colors * sizeof(RGBQUAD)) InvalidBitmap();
  const std::uint8_t* table = dib + offset;
  offset += colors * sizeof(RGBQUAD);
  if (!bits) {
    bits = dib + offset;
    bitsAvail = dibSize - offset;
  }
  const std::size_t stride = std::size_t(DibStride(int(width), bpp));
  if (rle) {
    if (h.biSizeImage == 0 || h.biSizeImage > bitsAvail) InvalidBitmap();
  } else if (stride * std::size_t(height) > bitsAvail) {
    InvalidBitmap();
  }

  TPixelFormat pf = pf24bit;
  switch (bpp) {
    case 1: pf = pf1bit; break;
    case 4: pf = pf4bit; break;
    case 8: pf = pf8bit; break;
    case 16:
      if (comp == BI_RGB || (masks[0] == 0x7C00 && masks[1] == 0x03E0 && masks[2] == 0x001F))
        pf = pf15bit;
      else if (masks[0] == 0xF800 && masks[1] == 0x07E0 && masks[2] == 0x001F)
        pf = pf16bit;
      break;
    case 32:
      if (comp == BI_RGB || (masks[0] == 0xFF0000 && masks[1] == 0xFF00 && masks[2] == 0xFF)) pf = pf32bit;
      break;
  }

  TDibInfo src;
  std::memcpy(&src.Header, &h, sizeof h);
  src.Header.biSize = sizeof(BITMAPINFOHEADER);
  if (comp == BI_BITFIELDS) {
    std::memcpy(src.Colors, masks, sizeof masks);
  } else if (bpp <= 8) {
    std::memcpy(src.Colors, table, colors * sizeof(RGBQUAD));
    src.Header.biClrUsed = DWORD(colors);
  } else {
    src.Header.biClrUsed = 0;
  }
  if (!rle) src.Header.biSizeImage = 0;

  void* newBits = nullptr;
  HBITMAP bmp = CreateBitmapOfFormat(int(width), int(height), pf, bpp <= 8 ? src.Colors : nullptr,
                                     bpp <= 8 ? int(colors) : 0, &newBits);
  int lines = 0;
  {
    MemoryDC dc(nullptr);
    lines = SetDIBits(dc, bmp, 0, UINT(height), bits, src.Info(), DIB_RGB_COLORS);
  }
  if (lines <= 0) {
    DeleteGdiObject(bmp);
    InvalidBitmap();
  }
  Replace(bmp, newBits, int(width), int(height), DibStride(int(width), BitsPerPixel(pf)), pf, false);
  Changed();
}

void TBitmap::LoadFromMemory(const void* data, std::size_t size) {
  const auto* p = static_cast<const std::uint8_t*>(data);
  if (!p || size < sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER) || p[0] != 'B' || p[1] != 'M') InvalidBitmap();
  std::uint32_t offBits = Read32(p + 10);
  if (offBits < sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER) || offBits > size) InvalidBitmap();
  LoadFromDib(p + sizeof(BITMAPFILEHEADER), offBits - sizeof(BITMAPFILEHEADER), p + offBits, size - offBits);
}

std::vector<std::uint8_t> TBitmap::SaveToMemory() {
  if (Empty()) throw EInvalidGraphicOperation("Cannot save an empty bitmap");
  TBitmap* source = this;
  TBitmap converted;
  if (!Bits_ || PixelFormat_ == pfCustom) {
    converted.Assign(this);
    converted.SetPixelFormat(pf24bit);
    source = &converted;
  }
  const int bpp = BitsPerPixel(source->PixelFormat_);
  const int stride = DibStride(Width_, bpp);
  TDibInfo info;
  info.Header.biSize = sizeof(BITMAPINFOHEADER);
  info.Header.biWidth = Width_;
  info.Header.biHeight = Height_;
  info.Header.biPlanes = 1;
  info.Header.biBitCount = WORD(bpp);
  info.Header.biCompression = source->PixelFormat_ == pf16bit ? BI_BITFIELDS : BI_RGB;
  info.Header.biSizeImage = DWORD(stride) * DWORD(Height_);
  info.Header.biXPelsPerMeter = info.Header.biYPelsPerMeter = 3780;
  std::size_t tableBytes = 0;
  if (source->PixelFormat_ == pf16bit) {
    DWORD masks[3] = {0xF800, 0x07E0, 0x001F};
    std::memcpy(info.Colors, masks, sizeof masks);
    tableBytes = sizeof masks;
  } else if (bpp <= 8) {
    int count = ReadColorTable(source->CanvasDC(), info.Colors);
    info.Header.biClrUsed = DWORD(count);
    tableBytes = std::size_t(count) * sizeof(RGBQUAD);
  }
  BITMAPFILEHEADER fh{};
  fh.bfType = 0x4D42;
  fh.bfOffBits = DWORD(sizeof fh + sizeof info.Header + tableBytes);
  fh.bfSize = fh.bfOffBits + info.Header.biSizeImage;
  std::vector<std::uint8_t> out(fh.bfSize);
  std::memcpy(out.data(), &fh, sizeof fh);
  std::memcpy(out.data() + sizeof fh, &info.Header, sizeof info.Header);
  std::memcpy(out.data() + sizeof fh + sizeof info.Header, info.Colors, tableBytes);
  GdiFlush();
  for (int y = 0; y < Height_; ++y) {
    int srcRow = source->TopDown_ ? Height_ - 1 - y : y;
    std::memcpy(out.data() + fh.bfOffBits + std::size_t(y) * stride,
                static_cast<const std::uint8_t*>(source->Bits_) + std::ptrdiff_t(srcRow) * source->Stride_, stride);
  }
  return out;
}

void TBitmap::LoadFromResourceName(HINSTANCE instance, const std::string& name) {
  HRSRC res = FindResourceA(instance, name.c_str(), MAKEINTRESOURCEA(2) /* RT_BITMAP */);
  if (!res) throw EInvalidGraphic("Resource " + name + " not found");
  HGLOBAL global = LoadResource(instance, res);
  const auto* data = global ? static_cast<const std::uint8_t*>(LockResource(global)) : nullptr;
  if (!data) throw EInvalidGraphic("Resource " + name + " not found");
  LoadFromDib(data, SizeofResource(instance, res), nullptr, 0);
}

void TBitmap::LoadFromResourceID(HINSTANCE instance, int id) {
  HRSRC res = FindResourceA(instance, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(2));
  if (!res) throw EInvalidGraphic("Resource " + std::to_string(id) + " not found");
  HGLOBAL global = LoadResource(instance, res);
  const auto* data = global ? static_cast<const std::uint8_t*>(LockResource(global)) : nullptr;
  if (!data) throw EInvalidGraphic("Resource " + std::to_string(id) + " not found");
  LoadFromDib(data, SizeofResource(instance, res), nullptr, 0);
}
