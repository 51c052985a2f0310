#include "classlib/Graphics.h"

#include <atomic>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>

#include "classlib/GdiScopes.h"

// ---- Handle bookkeeping ------------------------------------------------------------------------

namespace {
std::atomic<long> gObjects{0};
std::atomic<long> gMemoryDCs{0};
std::atomic<long> gIcons{0};
std::atomic<long> gImageLists{0};
}  // namespace

TGdiCounts GdiLiveCounts() { return TGdiCounts{gObjects.load(), gMemoryDCs.load(), gIcons.load(), gImageLists.load()}; }

HGDIOBJ TrackGdiObject(HGDIOBJ obj) {
  if (obj) ++gObjects;
  return obj;
}
bool DeleteGdiObject(HGDIOBJ obj) {
  if (!obj) return false;
  --gObjects;
  return DeleteObject(obj) != FALSE;
}
void ForgetGdiObject(HGDIOBJ obj) {
  if (obj) --gObjects;
}
HDC CreateMemoryDC(HDC reference) {
  HDC dc = CreateCompatibleDC(reference);
  if (!dc) throw EOutOfResources("Out of system resources");
  ++gMemoryDCs;
  return dc;
}
void DeleteMemoryDC(HDC dc) {
  if (!dc) return;
  --gMemoryDCs;
  DeleteDC(dc);
}
HICON TrackIcon(HICON icon) {
  if (icon) ++gIcons;
  return icon;
}
void DestroyTrackedIcon(HICON icon) {
  if (!icon) return;
  --gIcons;
  DestroyIcon(icon);
}
void ForgetIcon(HICON icon) {
  if (icon) --gIcons;
}
HIMAGELIST TrackImageList(HIMAGELIST list) {
  if (list) ++gImageLists;
  return list;
}
void DestroyTrackedImageList(HIMAGELIST list) {
  if (!list) return;
  --gImageLists;
  ImageList_Destroy(list);
}

namespace {

int ScreenPixelsPerInch() {
  static const int ppi = [] {
    ScreenDC dc;
    int v = dc ? GetDeviceCaps(dc, LOGPIXELSY) : 96;
    return v > 0 ? v : 96;
  }();
  return ppi;
}

}  // namespace

// ---- Colours ----------------------------------------------------------------------------------

COLORREF ColorToRGB(TColor color) {
  if (IsSystemColor(color)) return GetSysColor(SystemColorIndex(color));
  if (color == clNone || color == clDefault) return 0;
  return COLORREF(std::uint32_t(color) & 0xFFFFFF);
}

std::string ColorToString(TColor color) {
  static const struct {
    TColor Color;
    const char* Name;
  } kNames[] = {
      {clBlack, "clBlack"},
      {clMaroon, "clMaroon"},
      {clGreen, "clGreen"},
      {clOlive, "clOlive"},
      {clNavy, "clNavy"},
      {clPurple, "clPurple"},
      {clTeal, "clTeal"},
      {clGray, "clGray"},
      {clSilver, "clSilver"},
      {clRed, "clRed"},
      {clLime, "clLime"},
      {clYellow, "clYellow"},
      {clBlue, "clBlue"},
      {clFuchsia, "clFuchsia"},
      {clAqua, "clAqua"},
      {clWhite, "clWhite"},
      {clNone, "clNone"},
      {clDefault, "clDefault"},
      {clBtnFace, "clBtnFace"},
      {clWindow, "clWindow"},
      {clWindowText, "clWindowText"},
      {clHighlight, "clHighlight"},
      {clHighlightText, "clHighlightText"},
      {clBtnShadow, "clBtnShadow"},
      {clBtnHighlight, "clBtnHighlight"},
      {clBtnText, "clBtnText"},
      {clGrayText, "clGrayText"},
      {clInfoBk, "clInfoBk"},
      {clInfoText, "clInfoText"},
  };
  for (const auto& n : kNames)
    if (n.Color == color) return n.Name;
  char buf[16];
  std::snprintf(buf, sizeof buf, "$%08X", unsigned(color));
  return buf;
}

// ---- TGraphicsObject --------------------------------------------------------------------------

TGraphicsObject::~TGraphicsObject() { DeleteGdiObject(Handle_); }

void TGraphicsObject::Changed() {
  HGDIOBJ old = Handle_;
  Handle_ = nullptr;
  OnChange(this);
  DeleteGdiObject(old);
}

// ---- TFont ------------------------------------------------------------------------------------

TFont::TFont() : Name_("Tahoma"), PixelsPerInch_(ScreenPixelsPerInch()) { Height_ = -MulDiv(8, PixelsPerInch_, 72); }

LOGFONTA TFont::LogFont() const {
  LOGFONTA lf{};
  lf.lfHeight = Height_;
  lf.lfEscapement = Orientation_;
  lf.lfOrientation = Orientation_;
  lf.lfWeight = Style_.Contains(fsBold) ? FW_BOLD : FW_NORMAL;
  lf.lfItalic = Style_.Contains(fsItalic);
  lf.lfUnderline = Style_.Contains(fsUnderline);
  lf.lfStrikeOut = Style_.Contains(fsStrikeOut);
  lf.lfCharSet = Charset_;
  lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
  lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
  lf.lfQuality = DEFAULT_QUALITY;
  lf.lfPitchAndFamily = Pitch_ == fpFixed ? FIXED_PITCH : Pitch_ == fpVariable ? VARIABLE_PITCH : DEFAULT_PITCH;
  std::strncpy(lf.lfFaceName, Name_.c_str(), LF_FACESIZE - 1);
  return lf;
}

HFONT TFont::Handle() {
  if (!Handle_) {
    LOGFONTA lf = LogFont();
    Handle_ = TrackGdiObject(CreateFontIndirectA(&lf));
    if (!Handle_) throw EOutOfResources("Out of system resources");
  }
  return static_cast<HFONT>(Handle_);
}

void TFont::SetHandle(HFONT font) {
  if (font == Handle_) return;
  if (font) {
    LOGFONTA lf{};
    if (GetObjectA(font, sizeof lf, &lf) == sizeof lf) {
      lf.lfFaceName[LF_FACESIZE - 1] = 0;
      Name_ = lf.lfFaceName;
      Height_ = lf.lfHeight;
      Style_ = TFontStyles{};
      Style_.Set(fsBold, lf.lfWeight >= FW_BOLD);
      Style_.Set(fsItalic, lf.lfItalic != 0);
      Style_.Set(fsUnderline, lf.lfUnderline != 0);
      Style_.Set(fsStrikeOut, lf.lfStrikeOut != 0);
      Charset_ = lf.lfCharSet;
      int pitch = lf.lfPitchAndFamily & 3;
      Pitch_ = pitch == FIXED_PITCH ? fpFixed : pitch == VARIABLE_PITCH ? fpVariable : fpDefault;
      Orientation_ = lf.lfEscapement;
    }
  }
  HGDIOBJ old = Handle_;
  Handle_ = TrackGdiObject(font);
  OnChange(this);
  DeleteGdiObject(old);
}

void TFont::SetName(const std::string& name) {
  if (name.empty() || name == Name_) return;
  Name_ = name;
  Changed();
}
int TFont::Size() const { return -MulDiv(Height_, 72, PixelsPerInch_); }
void TFont::SetSize(int points) { SetHeight(-MulDiv(points, PixelsPerInch_, 72)); }
void TFont::SetHeight(int pixels) {
  if (pixels == Height_) return;
  Height_ = pixels;
  Changed();
}
void TFont::SetStyle(TFontStyles style) {
  if (style == Style_) return;
  Style_ = style;
  Changed();
}
void TFont::SetColor(TColor color) {
  if (color == Color_) return;
  Color_ = color;
  // The colour is no part of the font handle: the handle stays, canvases set the new colour.
  OnChange(this);
}
void TFont::SetCharset(TFontCharset charset) {
  if (charset == Charset_) return;
  Charset_ = charset;
  Changed();
}
void TFont::SetPitch(TFontPitch pitch) {
  if (pitch == Pitch_) return;
  Pitch_ = pitch;
  Changed();
}
void TFont::SetOrientation(int tenths) {
  if (tenths == Orientation_) return;
  Orientation_ = tenths;
  Changed();
}

void TFont::Assign(TPersistent* source) {
  if (auto* f = dynamic_cast<TFont*>(source)) {
    if (f == this) return;
    Name_ = f->Name_;
    Height_ = f->PixelsPerInch_ == PixelsPerInch_ ? f->Height_ : MulDiv(f->Height_, PixelsPerInch_, f->PixelsPerInch_);
    Style_ = f->Style_;
    Color_ = f->Color_;
    Charset_ = f->Charset_;
    Pitch_ = f->Pitch_;
    Orientation_ = f->Orientation_;
    Changed();
    return;
  }
  TPersistent::Assign(source);
}

// ---- TBrush -----------------------------------------------------------------------------------

HBRUSH TBrush::Handle() {
  if (!Handle_) {
    HBRUSH brush = nullptr;
    if (Bitmap_ && !Bitmap_->Empty()) {
      brush = CreatePatternBrush(Bitmap_->Handle());
    } else {
      LOGBRUSH lb{};
      lb.lbColor = ColorToRGB(Color_);
      switch (Style_) {
        case bsSolid: lb.lbStyle = BS_SOLID; break;
        case bsClear: lb.lbStyle = BS_HOLLOW; break;
        default: {
          static const ULONG_PTR kHatch[] = {HS_HORIZONTAL, HS_VERTICAL, HS_FDIAGONAL,
                                             HS_BDIAGONAL,  HS_CROSS,    HS_DIAGCROSS};
          lb.lbStyle = BS_HATCHED;
          lb.lbHatch = kHatch[Style_ - bsHorizontal];
        }
      }
      brush = CreateBrushIndirect(&lb);
    }
    if (!brush) throw EOutOfResources("Out of system resources");
    Handle_ = TrackGdiObject(brush);
  }
  return static_cast<HBRUSH>(Handle_);
}

void TBrush::SetHandle(HBRUSH brush) {
  if (brush == Handle_) return;
  if (brush) {
    LOGBRUSH lb{};
    if (GetObjectA(brush, sizeof lb, &lb) == sizeof lb) {
      Color_ = TColor(lb.lbColor);
      Style_ = lb.lbStyle == BS_HOLLOW ? bsClear : bsSolid;
      if (lb.lbStyle == BS_HATCHED && lb.lbHatch <= HS_DIAGCROSS) Style_ = TBrushStyle(bsHorizontal + lb.lbHatch);
    }
  }
  Bitmap_ = nullptr;
  HGDIOBJ old = Handle_;
  Handle_ = TrackGdiObject(brush);
  OnChange(this);
  DeleteGdiObject(old);
}

void TBrush::SetColor(TColor color) {
  if (color == Color_ && Style_ != bsClear) return;
  Color_ = color;
  if (Style_ == bsClear) Style_ = bsSolid;
  Changed();
}
void TBrush::SetStyle(TBrushStyle style) {
  if (style == Style_) return;
  Style_ = style;
  Changed();
}
void TBrush::SetBitmap(TBitmap* bitmap) {
  if (bitmap == Bitmap_) return;
  Bitmap_ = bitmap;
  Changed();
}
void TBrush::Assign(TPersistent* source) {
  if (auto* b = dynamic_cast<TBrush*>(source)) {
    if (b == this) return;
    Color_ = b->Color_;
    Style_ = b->Style_;
    Bitmap_ = b->Bitmap_;
    Changed();
    return;
  }
  TPersistent::Assign(source);
}

// ---- TPen -------------------------------------------------------------------------------------

int PenModeToROP2(TPenMode mode) {
  static const int kRop[] = {R2_BLACK,       R2_WHITE,      R2_NOP,         R2_NOT,        R2_COPYPEN,  R2_NOTCOPYPEN,
                             R2_MERGEPENNOT, R2_MASKPENNOT, R2_MERGENOTPEN, R2_MASKNOTPEN, R2_MERGEPEN, R2_NOTMERGEPEN,
                             R2_MASKPEN,     R2_NOTMASKPEN, R2_XORPEN,      R2_NOTXORPEN};
  return kRop[mode];
}

HPEN TPen::Handle() {
  if (!Handle_) {
    static const UINT kStyle[] = {PS_SOLID, PS_DASH, PS_DOT, PS_DASHDOT, PS_DASHDOTDOT, PS_NULL, PS_INSIDEFRAME};
    LOGPEN lp{};
    lp.lopnStyle = kStyle[Style_];
    lp.lopnWidth.x = Width_;
    lp.lopnColor = ColorToRGB(Color_);
    Handle_ = TrackGdiObject(CreatePenIndirect(&lp));
    if (!Handle_) throw EOutOfResources("Out of system resources");
  }
  return static_cast<HPEN>(Handle_);
}

void TPen::SetHandle(HPEN pen) {
  if (pen == Handle_) return;
  if (pen) {
    LOGPEN lp{};
    if (GetObjectA(pen, sizeof lp, &lp) == sizeof lp) {
      Color_ = TColor(lp.lopnColor);
      Width_ = lp.lopnWidth.x;
      switch (lp.lopnStyle & PS_STYLE_MASK) {
        case PS_DASH: Style_ = psDash; break;
        case PS_DOT: Style_ = psDot; break;
        case PS_DASHDOT: Style_ = psDashDot; break;
        case PS_DASHDOTDOT: Style_ = psDashDotDot; break;
        case PS_NULL: Style_ = psClear; break;
        case PS_INSIDEFRAME: Style_ = psInsideFrame; break;
        default: Style_ = psSolid;
      }
    }
  }
  HGDIOBJ old = Handle_;
  Handle_ = TrackGdiObject(pen);
  OnChange(this);
  DeleteGdiObject(old);
}

void TPen::SetColor(TColor color) {
  if (color == Color_) return;
  Color_ = color;
  Changed();
}
void TPen::SetWidth(int width) {
  if (width < 0 || width == Width_) return;
  Width_ = width;
  Changed();
}
void TPen::SetStyle(TPenStyle style) {
  if (style == Style_) return;
  Style_ = style;
  Changed();
}
void TPen::SetMode(TPenMode mode) {
  if (mode == Mode_) return;
  Mode_ = mode;
  // The mode is a DC setting, not part of the pen: the handle stays, canvases set the new mode.
  OnChange(this);
}
void TPen::Assign(TPersistent* source) {
  if (auto* p = dynamic_cast<TPen*>(source)) {
    if (p == this) return;
    Color_ = p->Color_;
    Width_ = p->Width_;
    Style_ = p->Style_;
    Mode_ = p->Mode_;
    Changed();
    return;
  }
  TPersistent::Assign(source);
}

// ---- TCanvas ----------------------------------------------------------------------------------

TCanvas::TCanvas() {
  Font_ = Create<TFont>();
  Font_->OnChange = MakeMethod<&TCanvas::FontChanged>(this);
  Pen_ = Create<TPen>();
  Pen_->OnChange = MakeMethod<&TCanvas::PenChanged>(this);
  Brush_ = Create<TBrush>();
  Brush_->OnChange = MakeMethod<&TCanvas::BrushChanged>(this);
}

TCanvas::~TCanvas() {
  SetHandle(nullptr);
  FreeAndNil(Font_);
  FreeAndNil(Pen_);
  FreeAndNil(Brush_);
}

HDC TCanvas::Handle() {
  RequiredState(csAllValid);
  return Handle_;
}

void TCanvas::SetHandle(HDC dc) {
  if (dc == Handle_) return;
  if (Handle_) DeselectHandles();
  Handle_ = dc;
  State_ = dc ? TCanvasState(csHandleValid) : 0u;
}

void TCanvas::RequiredState(TCanvasState required) {
  TCanvasState needed = required & ~State_;
  if (!needed) return;
  if (needed & csHandleValid) {
    CreateHandle();
    if (!Handle_) throw EInvalidOperation("Canvas does not allow drawing");
  }
  if (needed & csFontValid) CreateFont();
  if (needed & csPenValid) CreatePen();
  if (needed & csBrushValid) CreateBrush();
  State_ |= needed;
}

void TCanvas::CreateFont() {
  HGDIOBJ prev = SelectObject(Handle_, Font_->Handle());
  if (!OldFont_) OldFont_ = prev;
  COLORREF c = SetTextColor(Handle_, ColorToRGB(Font_->Color()));
  if (!SavedText_) {
    OldTextColor_ = c;
    SavedText_ = true;
  }
}

void TCanvas::CreatePen() {
  HGDIOBJ prev = SelectObject(Handle_, Pen_->Handle());
  if (!OldPen_) OldPen_ = prev;
  int rop = SetROP2(Handle_, PenModeToROP2(Pen_->Mode()));
  if (!SavedRop_) {
    OldRop2_ = rop;
    SavedRop_ = true;
  }
}

void TCanvas::CreateBrush() {
  HGDIOBJ prev = SelectObject(Handle_, Brush_->Handle());
  if (!OldBrush_) OldBrush_ = prev;
  if (!SavedBk_) {
    OldBkColor_ = GetBkColor(Handle_);
    OldBkMode_ = GetBkMode(Handle_);
    SavedBk_ = true;
  }
  if (Brush_->Style() == bsClear) {
    SetBkMode(Handle_, TRANSPARENT);
  } else {
    SetBkColor(Handle_, ColorToRGB(Brush_->Color()));
    SetBkMode(Handle_, OPAQUE);
  }
}

void TCanvas::DeselectHandles() {
  if (Handle_) {
    if (OldFont_) SelectObject(Handle_, OldFont_);
    if (OldPen_) SelectObject(Handle_, OldPen_);
    if (OldBrush_) SelectObject(Handle_, OldBrush_);
    if (SavedText_) SetTextColor(Handle_, OldTextColor_);
    if (SavedBk_) {
      SetBkColor(Handle_, OldBkColor_);
      SetBkMode(Handle_, OldBkMode_);
    }
    if (SavedRop_) SetROP2(Handle_, OldRop2_);
  }
  OldFont_ = OldPen_ = OldBrush_ = nullptr;
  SavedText_ = SavedBk_ = SavedRop_ = false;
  State_ &= ~(csFontValid | csPenValid | csBrushValid);
}

void TCanvas::FontChanged(TObject*) {
  if (State_ & csFontValid) {
    State_ &= ~csFontValid;
    SelectObject(Handle_, OldFont_);
  }
}
void TCanvas::PenChanged(TObject*) {
  if (State_ & csPenValid) {
    State_ &= ~csPenValid;
    SelectObject(Handle_, OldPen_);
  }
}
void TCanvas::BrushChanged(TObject*) {
  if (State_ & csBrushValid) {
    State_ &= ~csBrushValid;
    SelectObject(Handle_, OldBrush_);
  }
}

void TCanvas::Refresh() { DeselectHandles(); }

void TCanvas::Changing() { OnChanging(this); }
void TCanvas::Changed() { OnChange(this); }

TPoint TCanvas::PenPos() {
  RequiredState(csHandleValid);
  POINT p{};
  GetCurrentPositionEx(Handle_, &p);
  return TPoint{int(p.x), int(p.y)};
}

TColor TCanvas::Pixels(int x, int y) {
  RequiredState(csHandleValid);
  COLORREF c = GetPixel(Handle_, x, y);
  return c == CLR_INVALID ? clNone : TColor(c);
}

void TCanvas::SetPixels(int x, int y, TColor color) {
  Changing();
  RequiredState(csHandleValid | csPenValid);
  SetPixel(Handle_, x, y, ColorToRGB(color));
  Changed();
}

TRect TCanvas::ClipRect() {
  RequiredState(csHandleValid);
  RECT r{};
  GetClipBox(Handle_, &r);
  return FromRECT(r);
}

void TCanvas::MoveTo(int x, int y) {
  RequiredState(csHandleValid);
  MoveToEx(Handle_, x, y, nullptr);
}

void TCanvas::LineTo(int x, int y) {
  Changing();
  RequiredState(csHandleValid | csPenValid | csBrushValid);
  ::LineTo(Handle_, x, y);
  Changed();
}

void TCanvas::FillRect(const TRect& r) {
  Changing();
  RequiredState(csHandleValid | csBrushValid);
  ::FillRect(Handle_, AsRECT(&r), Brush_->Handle());
  Changed();
}

void TCanvas::FrameRect(const TRect& r) {
  Changing();
  RequiredState(csHandleValid | csBrushValid);
  ::FrameRect(Handle_, AsRECT(&r), Brush_->Handle());
  Changed();
}

void TCanvas::Rectangle(int x1, int y1, int x2, int y2) {
  Changing();
  RequiredState(csHandleValid | csPenValid | csBrushValid);
  ::Rectangle(Handle_, x1, y1, x2, y2);
  Changed();
}

void TCanvas::RoundRect(int x1, int y1, int x2, int y2, int x3, int y3) {
  Changing();
  RequiredState(csHandleValid | csPenValid | csBrushValid);
  ::RoundRect(Handle_, x1, y1, x2, y2, x3, y3);
  Changed();
}

void TCanvas::Ellipse(int x1, int y1, int x2, int y2) {
  Changing();
  RequiredState(csHandleValid | csPenValid | csBrushValid);
  ::Ellipse(Handle_, x1, y1, x2, y2);
  Changed();
}

void TCanvas::Pie(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) {
  Changing();
  RequiredState(csHandleValid | csPenValid | csBrushValid);
  ::Pie(Handle_, x1, y1, x2, y2, x3, y3, x4, y4);
  Changed();
}

void TCanvas::Polygon(std::span<const TPoint> points) {
  if (points.empty()) return;
  Changing();
  RequiredState(csHandleValid | csPenValid | csBrushValid);
  ::Polygon(Handle_, reinterpret_cast<const POINT*>(points.data()), int(points.size()));
  Changed();
}

void TCanvas::Polyline(std::span<const TPoint> points) {
  if (points.empty()) return;
  Changing();
  RequiredState(csHandleValid | csPenValid | csBrushValid);
  ::Polyline(Handle_, reinterpret_cast<const POINT*>(points.data()), int(points.size()));
  Changed();
}

void TCanvas::DrawFocusRect(const TRect& r) {
  Changing();
  RequiredState(csHandleValid | csBrushValid);
  ::DrawFocusRect(Handle_, AsRECT(&r));
  Changed();
}

void TCanvas::TextOut(int x, int y, const std::string& text) {
  Changing();
  RequiredState(csHandleValid | csFontValid | csBrushValid);
  ExtTextOutA(Handle_, x, y, 0, nullptr, text.data(), UINT(text.size()), nullptr);
  SIZE size{};
  GetTextExtentPoint32A(Handle_, text.data(), int(text.size()), &size);
  MoveToEx(Handle_, x + size.cx, y, nullptr);
  Changed();
}

void TCanvas::TextRect(const TRect& r, int x, int y, const std::string& text) {
  Changing();
  RequiredState(csHandleValid | csFontValid | csBrushValid);
  UINT options = ETO_CLIPPED;
  if (Brush_->Style() != bsClear) options |= ETO_OPAQUE;
  ExtTextOutA(Handle_, x, y, options, AsRECT(&r), text.data(), UINT(text.size()), nullptr);
  Changed();
}

TSize TCanvas::TextExtent(const std::string& text) {
  RequiredState(csHandleValid | csFontValid);
  SIZE size{};
  GetTextExtentPoint32A(Handle_, text.data(), int(text.size()), &size);
  return TSize{int(size.cx), int(size.cy)};
}

void TCanvas::Draw(int x, int y, TGraphic* graphic) {
  if (!graphic || graphic->Empty()) return;
  StretchDraw(Bounds(x, y, graphic->Width(), graphic->Height()), graphic);
}

void TCanvas::StretchDraw(const TRect& r, TGraphic* graphic) {
  if (!graphic || graphic->Empty()) return;
  Changing();
  RequiredState(csAllValid);
  graphic->Draw(this, r);
  Changed();
}

void TCanvas::CopyRect(const TRect& dest, TCanvas* source, const TRect& sourceRect) {
  if (!source) return;
  Changing();
  RequiredState(csHandleValid | csFontValid | csBrushValid);
  source->RequiredState(csHandleValid | csBrushValid);
  int oldMode = SetStretchBltMode(Handle_, COLORONCOLOR);
  StretchBlt(Handle_, dest.Left, dest.Top, dest.Width(), dest.Height(), source->Handle_, sourceRect.Left,
             sourceRect.Top, sourceRect.Width(), sourceRect.Height(), CopyMode_);
  SetStretchBltMode(Handle_, oldMode);
  Changed();
}

// ---- TGraphic ---------------------------------------------------------------------------------

void TGraphic::SetTransparent(bool value) {
  if (value == Transparent_) return;
  Transparent_ = value;
  Changed();
}

void TGraphic::Changed() {
  Modified_ = true;
  OnChange(this);
}

void TGraphic::LoadFromFile(const std::string& fileName) {
  std::ifstream in(fileName, std::ios::binary);
  if (!in) throw EInvalidGraphic("Cannot open file \"" + fileName + "\"");
  std::vector<std::uint8_t> data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  LoadFromMemory(data.data(), data.size());
}

void TGraphic::SaveToFile(const std::string& fileName) {
  std::vector<std::uint8_t> data = SaveToMemory();
  std::ofstream out(fileName, std::ios::binary | std::ios::trunc);
  if (!out) throw EInvalidGraphicOperation("Cannot create file \"" + fileName + "\"");
  out.write(reinterpret_cast<const char*>(data.data()), std::streamsize(data.size()));
  if (!out) throw EInvalidGraphicOperation("Cannot write file \"" + fileName + "\"");
}

void TGraphic::LoadFromMemory(const void*, std::size_t) {
  throw EInvalidGraphicOperation("Cannot load a " + ClassName() + " from memory");
}
std::vector<std::uint8_t> TGraphic::SaveToMemory() {
  throw EInvalidGraphicOperation("Cannot save a " + ClassName() + " to memory");
}

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

// ---- TIcon ------------------------------------------------------------------------------------

TIcon::~TIcon() { DestroyTrackedIcon(Handle_); }

void TIcon::SetHandle(HICON icon) {
  if (icon == Handle_) return;
  HICON old = Handle_;
  Handle_ = TrackIcon(icon);
  Width_ = Height_ = 0;
  if (icon) {
    ICONINFO ii{};
    if (GetIconInfo(icon, &ii)) {
      BITMAP bm{};
      if (ii.hbmColor && GetObjectA(ii.hbmColor, sizeof bm, &bm)) {
        Width_ = bm.bmWidth;
        Height_ = bm.bmHeight;
      } else if (ii.hbmMask && GetObjectA(ii.hbmMask, sizeof bm, &bm)) {
        Width_ = bm.bmWidth;
        Height_ = bm.bmHeight / 2;
      }
      // These bitmaps are copies the system made for the call.
      GdiObject<HBITMAP> color(ii.hbmColor), mask(ii.hbmMask);
    }
  }
  DestroyTrackedIcon(old);
  Changed();
}

HICON TIcon::ReleaseHandle() {
  HICON h = Handle_;
  ForgetIcon(h);
  Handle_ = nullptr;
  Width_ = Height_ = 0;
  Changed();
  return h;
}

void TIcon::SetWidth(int width) {
  if (Handle_) throw EInvalidGraphicOperation("Cannot change the size of an icon");
  RequestedWidth_ = std::max(width, 0);
}
void TIcon::SetHeight(int height) {
  if (Handle_) throw EInvalidGraphicOperation("Cannot change the size of an icon");
  RequestedHeight_ = std::max(height, 0);
}

void TIcon::LoadFromResourceName(HINSTANCE instance, const std::string& name, int width, int height) {
  if (width == 0) width = RequestedWidth_;
  if (height == 0) height = RequestedHeight_;
  HANDLE icon = LoadImageA(instance, name.c_str(), IMAGE_ICON, width, height, 0);
  if (!icon) throw EInvalidGraphic("Resource " + name + " not found");
  SetHandle(static_cast<HICON>(icon));
}

void TIcon::LoadFromResourceID(HINSTANCE instance, int id, int width, int height) {
  if (width == 0) width = RequestedWidth_;
  if (height == 0) height = RequestedHeight_;
  HANDLE icon = LoadImageA(instance, MAKEINTRESOURCEA(id), IMAGE_ICON, width, height, 0);
  if (!icon) throw EInvalidGraphic("Resource " + std::to_string(id) + " not found");
  SetHandle(static_cast<HICON>(icon));
}

void TIcon::Assign(TPersistent* source) {
  if (!source) {
    SetHandle(nullptr);
    return;
  }
  if (auto* i = dynamic_cast<TIcon*>(source)) {
    if (i == this) return;
    SetHandle(i->Handle_ ? CopyIcon(i->Handle_) : nullptr);
    return;
  }
  TPersistent::Assign(source);
}

void TIcon::Draw(TCanvas* canvas, const TRect& r) {
  if (!Handle_ || !canvas) return;
  DrawIconEx(canvas->Handle(), r.Left, r.Top, Handle_, r.Width(), r.Height(), 0, nullptr, DI_NORMAL);
}
