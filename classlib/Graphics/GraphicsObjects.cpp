// The GDI objects of a canvas: TGraphicsObject and its TFont, TBrush and TPen.
#include "classlib/Graphics.h"

#include <cstring>

#include "classlib/GdiScopes.h"

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

namespace {

// The attributes of a logical font, as a TFont keeps them.
void ReadLogFont(LOGFONTA lf, std::string& name, int& height, TFontStyles& style, TFontCharset& charset,
                 TFontPitch& pitch, int& orientation) {
  lf.lfFaceName[LF_FACESIZE - 1] = 0;
  name = lf.lfFaceName;
  height = lf.lfHeight;
  style = TFontStyles{};
  style.Set(fsBold, lf.lfWeight >= FW_BOLD);
  style.Set(fsItalic, lf.lfItalic != 0);
  style.Set(fsUnderline, lf.lfUnderline != 0);
  style.Set(fsStrikeOut, lf.lfStrikeOut != 0);
  charset = lf.lfCharSet;
  const int p = lf.lfPitchAndFamily & 3;
  pitch = p == FIXED_PITCH ? fpFixed : p == VARIABLE_PITCH ? fpVariable : fpDefault;
  orientation = lf.lfEscapement;
}

}  // namespace

void TFont::SetLogFont(const LOGFONTA& Font) {
  ReadLogFont(Font, Name_, Height_, Style_, Charset_, Pitch_, Orientation_);
  Changed();
}

bool TFont::SameFace(const TFont* Other) const {
  return Other && Name_ == Other->Name_ && Height_ == Other->Height_ && Style_ == Other->Style_ &&
         Charset_ == Other->Charset_ && Pitch_ == Other->Pitch_ && Orientation_ == Other->Orientation_;
}

void TFont::SetHandle(HFONT font) {
  if (font == Handle_) return;
  if (font) {
    LOGFONTA lf{};
    if (GetObjectA(font, sizeof lf, &lf) == sizeof lf)
      ReadLogFont(lf, Name_, Height_, Style_, Charset_, Pitch_, Orientation_);
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
    const int height =
        f->PixelsPerInch_ == PixelsPerInch_ ? f->Height_ : MulDiv(f->Height_, PixelsPerInch_, f->PixelsPerInch_);
    // The same face keeps its handle (the colour is no part of it).
    const bool sameFace = Name_ == f->Name_ && Height_ == height && Style_ == f->Style_ && Charset_ == f->Charset_ &&
                          Pitch_ == f->Pitch_ && Orientation_ == f->Orientation_;
    Name_ = f->Name_;
    Height_ = height;
    Style_ = f->Style_;
    Color_ = f->Color_;
    Charset_ = f->Charset_;
    Pitch_ = f->Pitch_;
    Orientation_ = f->Orientation_;
    if (sameFace)
      OnChange(this);
    else
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
