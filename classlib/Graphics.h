// The class library's graphics on GDI: colours, fonts, brushes, pens, canvases and bitmaps.
//
// Ownership: every GDI handle made here has exactly one owner. A TFont, TBrush or TPen owns its
// handle, creates it on first use and recreates it after each change (the old handle is deleted
// only after the change was announced, so a canvas that had it selected has already put it out
// of its DC). A TBitmap owns its HBITMAP; its canvas owns a memory DC that holds the bitmap
// selected while the canvas is in use. A canvas over a foreign DC (SetHandle) selects its objects
// into that DC and, when the DC is released, selects back what the DC held and restores the text
// and background settings it changed, leaving the DC as it found it.
//
// The library counts the GDI objects, memory DCs, icons and image lists it creates and deletes
// (GdiLiveCounts), so tests can check that create / assign / free cycles leave nothing behind.
#pragma once

#include "classlib/Win.h"

#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <vector>

#include "classlib/Forward.h"
#include "classlib/core/Classes.h"
#include "classlib/core/Colors.h"
#include "classlib/core/Image24.h"
#include "classlib/core/Sets.h"
#include "classlib/core/SysUtils.h"

// ---- Handle bookkeeping ------------------------------------------------------------------------

struct TGdiCounts {
  long Objects = 0;     // fonts, pens, brushes, bitmaps, regions
  long MemoryDCs = 0;   // CreateCompatibleDC
  long Icons = 0;       // icons and cursors
  long ImageLists = 0;  // comctl32 image lists
  friend bool operator==(const TGdiCounts&, const TGdiCounts&) = default;
};
// The handles made by the library and not deleted yet.
TGdiCounts GdiLiveCounts();

// Routines through which the library creates and deletes the handles it counts. Track* take a
// freshly created (or adopted) handle and return it; Delete* delete it and count it; Forget*
// count a handle handed over to someone else without deleting it.
HGDIOBJ TrackGdiObject(HGDIOBJ obj);
bool DeleteGdiObject(HGDIOBJ obj);
void ForgetGdiObject(HGDIOBJ obj);
HDC CreateMemoryDC(HDC reference = nullptr);
void DeleteMemoryDC(HDC dc);
HICON TrackIcon(HICON icon);
void DestroyTrackedIcon(HICON icon);
void ForgetIcon(HICON icon);
HIMAGELIST TrackImageList(HIMAGELIST list);
void DestroyTrackedImageList(HIMAGELIST list);

// ---- Colours ----------------------------------------------------------------------------------

// Plain colours unchanged; system colours through GetSysColor; clNone and clDefault as black.
COLORREF ColorToRGB(TColor color);
std::string ColorToString(TColor color);

// ---- Exceptions -------------------------------------------------------------------------------

QV_EXCEPTION_CLASS(EInvalidGraphic, Exception)
QV_EXCEPTION_CLASS(EInvalidGraphicOperation, Exception)

// ---- Fonts, brushes, pens ---------------------------------------------------------------------

// A persistent object that owns one GDI handle, created on demand and renewed after each change.
class TGraphicsObject : public TPersistent {
 public:
  QV_CLASS_NAME(TGraphicsObject)
  ~TGraphicsObject() override;

  TNotifyEvent OnChange;
  bool HandleAllocated() const { return Handle_ != nullptr; }

 protected:
  // Announces a change: the current handle is given up, OnChange fires, then the old handle is
  // deleted (whoever had it selected has put it back by then).
  void Changed();
  HGDIOBJ Handle_ = nullptr;
};

enum TFontStyle { fsBold, fsItalic, fsUnderline, fsStrikeOut };
using TFontStyles = TSet<TFontStyle>;
enum TFontPitch { fpDefault, fpVariable, fpFixed };
using TFontCharset = std::uint8_t;

class TFont : public TGraphicsObject {
 public:
  QV_CLASS_NAME(TFont)
  TFont();

  HFONT Handle();
  // Takes ownership of the font and reads its attributes back.
  void SetHandle(HFONT font);

  const std::string& Name() const { return Name_; }
  void SetName(const std::string& name);
  // Size in points; Height in pixels (negative: character height without the internal leading).
  int Size() const;
  void SetSize(int points);
  int Height() const { return Height_; }
  void SetHeight(int pixels);
  TFontStyles Style() const { return Style_; }
  void SetStyle(TFontStyles style);
  TColor Color() const { return Color_; }
  void SetColor(TColor color);
  TFontCharset Charset() const { return Charset_; }
  void SetCharset(TFontCharset charset);
  TFontPitch Pitch() const { return Pitch_; }
  void SetPitch(TFontPitch pitch);
  // Escapement and orientation of the text in tenths of a degree, counter-clockwise.
  int Orientation() const { return Orientation_; }
  void SetOrientation(int tenths);
  int PixelsPerInch() const { return PixelsPerInch_; }
  void SetPixelsPerInch(int ppi) { PixelsPerInch_ = ppi > 0 ? ppi : PixelsPerInch_; }

  void Assign(TPersistent* source) override;

  // The logical font these attributes describe.
  LOGFONTA LogFont() const;
  // Takes the attributes of a logical font (no font is made for them yet).
  void SetLogFont(const LOGFONTA& Font);
  // The two describe the same font (the colour aside: it is no part of a font).
  bool SameFace(const TFont* Other) const;

 private:
  std::string Name_;
  int Height_ = -11;
  int PixelsPerInch_ = 96;
  TFontStyles Style_;
  TColor Color_ = clWindowText;
  TFontCharset Charset_ = DEFAULT_CHARSET;
  TFontPitch Pitch_ = fpDefault;
  int Orientation_ = 0;
};

enum TBrushStyle { bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross };

class TBrush : public TGraphicsObject {
 public:
  QV_CLASS_NAME(TBrush)
  HBRUSH Handle();
  void SetHandle(HBRUSH brush);

  TColor Color() const { return Color_; }
  void SetColor(TColor color);
  TBrushStyle Style() const { return Style_; }
  void SetStyle(TBrushStyle style);
  // A pattern bitmap (not owned; the brush copies its pixels when the handle is made).
  TBitmap* Bitmap() const { return Bitmap_; }
  void SetBitmap(TBitmap* bitmap);

  void Assign(TPersistent* source) override;

 private:
  TColor Color_ = clWhite;
  TBrushStyle Style_ = bsSolid;
  TBitmap* Bitmap_ = nullptr;
};

enum TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };
enum TPenMode {
  pmBlack,
  pmWhite,
  pmNop,
  pmNot,
  pmCopy,
  pmNotCopy,
  pmMergePenNot,
  pmMaskPenNot,
  pmMergeNotPen,
  pmMaskNotPen,
  pmMerge,
  pmNotMerge,
  pmMask,
  pmNotMask,
  pmXor,
  pmNotXor
};
// The raster operation (R2_*) of a pen mode.
int PenModeToROP2(TPenMode mode);

class TPen : public TGraphicsObject {
 public:
  QV_CLASS_NAME(TPen)
  HPEN Handle();
  void SetHandle(HPEN pen);

  TColor Color() const { return Color_; }
  void SetColor(TColor color);
  int Width() const { return Width_; }
  void SetWidth(int width);
  TPenStyle Style() const { return Style_; }
  void SetStyle(TPenStyle style);
  TPenMode Mode() const { return Mode_; }
  void SetMode(TPenMode mode);

  void Assign(TPersistent* source) override;

 private:
  TColor Color_ = clBlack;
  int Width_ = 1;
  TPenStyle Style_ = psSolid;
  TPenMode Mode_ = pmCopy;
};

// ---- Canvas -----------------------------------------------------------------------------------

enum TCanvasStateBit : unsigned { csHandleValid = 1, csFontValid = 2, csPenValid = 4, csBrushValid = 8 };
using TCanvasState = unsigned;
inline constexpr TCanvasState csAllValid = csHandleValid | csFontValid | csPenValid | csBrushValid;

using TCopyMode = DWORD;
inline constexpr TCopyMode cmBlackness = BLACKNESS;
inline constexpr TCopyMode cmDstInvert = DSTINVERT;
inline constexpr TCopyMode cmMergeCopy = MERGECOPY;
inline constexpr TCopyMode cmMergePaint = MERGEPAINT;
inline constexpr TCopyMode cmNotSrcCopy = NOTSRCCOPY;
inline constexpr TCopyMode cmNotSrcErase = NOTSRCERASE;
inline constexpr TCopyMode cmPatCopy = PATCOPY;
inline constexpr TCopyMode cmPatInvert = PATINVERT;
inline constexpr TCopyMode cmPatPaint = PATPAINT;
inline constexpr TCopyMode cmSrcAnd = SRCAND;
inline constexpr TCopyMode cmSrcCopy = SRCCOPY;
inline constexpr TCopyMode cmSrcErase = SRCERASE;
inline constexpr TCopyMode cmSrcInvert = SRCINVERT;
inline constexpr TCopyMode cmSrcPaint = SRCPAINT;
inline constexpr TCopyMode cmWhiteness = WHITENESS;

class TCanvas : public TPersistent {
 public:
  QV_CLASS_NAME(TCanvas)
  TCanvas();
  ~TCanvas() override;

  // The DC with font, pen and brush selected; a canvas without a DC asks CreateHandle for one
  // and raises EInvalidOperation when it gets none.
  HDC Handle();
  // Binds the canvas to a DC it does not own (nullptr releases the current one).
  void SetHandle(HDC dc);
  bool HandleAllocated() const { return Handle_ != nullptr; }

  TFont* Font() const { return Font_; }
  void SetFont(TFont* font) { Font_->Assign(font); }
  TBrush* Brush() const { return Brush_; }
  void SetBrush(TBrush* brush) { Brush_->Assign(brush); }
  TPen* Pen() const { return Pen_; }
  void SetPen(TPen* pen) { Pen_->Assign(pen); }
  TCopyMode CopyMode() const { return CopyMode_; }
  void SetCopyMode(TCopyMode mode) { CopyMode_ = mode; }

  TPoint PenPos();
  void SetPenPos(TPoint p) { MoveTo(p.X, p.Y); }
  TColor Pixels(int x, int y);
  void SetPixels(int x, int y, TColor color);
  // The clip box of the DC (the whole DC when nothing clips it).
  TRect ClipRect();

  // Lock counting for code that must keep the DC of a canvas while it paints (a locked bitmap
  // canvas keeps its DC when the bitmap's handle is fetched).
  void Lock() { ++LockCount_; }
  void Unlock() {
    if (LockCount_ > 0) --LockCount_;
  }
  bool TryLock() {
    Lock();
    return true;
  }
  int LockCount() const { return LockCount_; }

  void MoveTo(int x, int y);
  void LineTo(int x, int y);
  void FillRect(const TRect& r);
  void FrameRect(const TRect& r);
  void Rectangle(int x1, int y1, int x2, int y2);
  void Rectangle(const TRect& r) { Rectangle(r.Left, r.Top, r.Right, r.Bottom); }
  void RoundRect(int x1, int y1, int x2, int y2, int x3, int y3);
  void Ellipse(int x1, int y1, int x2, int y2);
  void Ellipse(const TRect& r) { Ellipse(r.Left, r.Top, r.Right, r.Bottom); }
  void Pie(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4);
  void Polygon(std::span<const TPoint> points);
  void Polygon(std::initializer_list<TPoint> points) {
    Polygon(std::span<const TPoint>(points.begin(), points.size()));
  }
  void Polyline(std::span<const TPoint> points);
  void Polyline(std::initializer_list<TPoint> points) {
    Polyline(std::span<const TPoint>(points.begin(), points.size()));
  }
  void DrawFocusRect(const TRect& r);

  // Text in the canvas font; the background is filled unless the brush is bsClear. TextOut
  // moves the pen position to the end of the text.
  void TextOut(int x, int y, const std::string& text);
  void TextRect(const TRect& r, int x, int y, const std::string& text);
  TSize TextExtent(const std::string& text);
  int TextWidth(const std::string& text) { return TextExtent(text).cx; }
  int TextHeight(const std::string& text) { return TextExtent(text).cy; }

  // A graphic at its own size, or stretched into a rectangle; transparent bitmaps leave their
  // transparent colour out.
  void Draw(int x, int y, TGraphic* graphic);
  void StretchDraw(const TRect& r, TGraphic* graphic);
  // Copies part of another canvas with CopyMode, stretched when the rectangles differ in size.
  void CopyRect(const TRect& dest, TCanvas* source, const TRect& sourceRect);

  // Puts the canvas's objects out of the DC; the next use selects them again.
  void Refresh();

  TNotifyEvent OnChange;
  TNotifyEvent OnChanging;

  // Announce a drawing operation on the canvas (OnChanging / OnChange); public so that code
  // drawing on Handle directly can announce its work like the canvas's own routines.
  virtual void Changing();
  virtual void Changed();

 protected:
  // Called when a DC is needed and none is bound; a canvas that can obtain its own DC (a bitmap
  // or control canvas) overrides it and calls SetHandle.
  virtual void CreateHandle() {}
  // Makes the parts of the state in Required valid (DC bound, font / pen / brush selected).
  virtual void RequiredState(TCanvasState required);
  TCanvasState State() const { return State_; }
  // The bound DC without making anything valid (nullptr when none).
  HDC RawHandle() const { return Handle_; }

 private:
  void CreateFont();
  void CreatePen();
  void CreateBrush();
  void DeselectHandles();
  void FontChanged(TObject* sender);
  void PenChanged(TObject* sender);
  void BrushChanged(TObject* sender);

  HDC Handle_ = nullptr;
  TCanvasState State_ = 0;
  TFont* Font_ = nullptr;
  TPen* Pen_ = nullptr;
  TBrush* Brush_ = nullptr;
  TCopyMode CopyMode_ = cmSrcCopy;
  int LockCount_ = 0;
  // What the bound DC held before this canvas changed it (restored on release).
  HGDIOBJ OldFont_ = nullptr;
  HGDIOBJ OldPen_ = nullptr;
  HGDIOBJ OldBrush_ = nullptr;
  bool SavedText_ = false;
  COLORREF OldTextColor_ = 0;
  bool SavedBk_ = false;
  COLORREF OldBkColor_ = 0;
  int OldBkMode_ = 0;
  bool SavedRop_ = false;
  int OldRop2_ = 0;
};

// ---- Graphics ---------------------------------------------------------------------------------

class TGraphic : public TPersistent {
 public:
  QV_CLASS_NAME(TGraphic)

  virtual int Width() const = 0;
  virtual void SetWidth(int width) = 0;
  virtual int Height() const = 0;
  virtual void SetHeight(int height) = 0;
  virtual bool Empty() const = 0;
  virtual bool Transparent() const { return Transparent_; }
  virtual void SetTransparent(bool value);
  bool Modified() const { return Modified_; }
  void SetModified(bool value) { Modified_ = value; }

  // Draws the graphic stretched into r of the canvas.
  virtual void Draw(TCanvas* canvas, const TRect& r) = 0;

  virtual void LoadFromFile(const std::string& fileName);
  virtual void SaveToFile(const std::string& fileName);
  // The graphic's file format in memory; graphics without one raise EInvalidGraphicOperation.
  virtual void LoadFromMemory(const void* data, std::size_t size);
  virtual std::vector<std::uint8_t> SaveToMemory();

  TNotifyEvent OnChange;

 protected:
  virtual void Changed();
  bool Transparent_ = false;
  bool Modified_ = false;
};

enum TPixelFormat { pfDevice, pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit, pfCustom };
enum TBitmapHandleType { bmDIB, bmDDB };
enum TTransparentMode { tmAuto, tmFixed };

class TBitmap : public TGraphic {
 public:
  QV_CLASS_NAME(TBitmap)
  TBitmap();
  ~TBitmap() override;

  int Width() const override { return Width_; }
  void SetWidth(int width) override { SetSize(width, Height_); }
  int Height() const override { return Height_; }
  void SetHeight(int height) override { SetSize(Width_, height); }
  // Resizes the bitmap keeping the pixels that still fit; new pixels take the canvas brush
  // colour (white for a bitmap without canvas).
  void SetSize(int width, int height);
  bool Empty() const override { return Width_ == 0 || Height_ == 0; }

  // The bitmap (created when missing). Fetching it releases the canvas's memory DC unless the
  // canvas is locked, so the bitmap can be selected into another DC.
  HBITMAP Handle();
  // Takes ownership of the bitmap; its size and format are read from it.
  void SetHandle(HBITMAP bitmap);
  bool HandleAllocated() const { return Handle_ != nullptr; }
  // Gives the bitmap up to the caller (who then owns it) and leaves this object empty.
  HBITMAP ReleaseHandle();

  TPixelFormat PixelFormat() const;
  // Converts the pixels to the new format.
  void SetPixelFormat(TPixelFormat format);
  TBitmapHandleType HandleType() const { return Bits_ || !Handle_ ? bmDIB : bmDDB; }
  void SetHandleType(TBitmapHandleType type);

  // The canvas drawing on the bitmap; its memory DC is made on first use.
  TCanvas* Canvas();

  // Row y of a DIB (row 0 is the top row), Stride() bytes apart in memory order.
  void* ScanLine(int row);
  // Bytes from one row to the next in memory (rows are stored bottom-up).
  int Stride() const { return Stride_; }
  // A 24-bit bitmap's pixels as an image view (top row first, negative stride); an empty view
  // for other formats.
  qv::TImageView ImageView();

  void Assign(TPersistent* source) override;
  void Draw(TCanvas* canvas, const TRect& r) override;

  void LoadFromMemory(const void* data, std::size_t size) override;
  std::vector<std::uint8_t> SaveToMemory() override;
  // A bitmap resource of the module (RT_BITMAP).
  void LoadFromResourceName(HINSTANCE instance, const std::string& name);
  void LoadFromResourceID(HINSTANCE instance, int id);

  // The colour left out when drawn transparently: the bottom-left pixel in tmAuto, the stored
  // colour in tmFixed (setting it switches to tmFixed).
  TColor TransparentColor();
  void SetTransparentColor(TColor color);
  TTransparentMode TransparentMode() const { return TransparentMode_; }
  void SetTransparentMode(TTransparentMode mode);

  // Drops the image, leaving an empty bitmap.
  void FreeImage();

 protected:
  void Changed() override;

 private:
  friend class TBitmapCanvas;
  // Releases the canvas's memory DC; a locked canvas keeps it unless force is set.
  void FreeContext(bool force);
  // A DC with the bitmap selected: the canvas's own.
  HDC CanvasDC();
  void Replace(HBITMAP bitmap, void* bits, int width, int height, int stride, TPixelFormat format, bool topDown);
  // SetSize of a 24- or 32-bit DIB through its pixels; false for other bitmaps.
  bool SetSizeByPixels(int width, int height);
  // Builds the bitmap from a packed or split DIB (header and colour table in dib, pixels in bits;
  // bits nullptr: the pixels follow the colour table).
  void LoadFromDib(const std::uint8_t* dib, std::size_t dibSize, const std::uint8_t* bits, std::size_t bitsAvail);
  void CanvasChanged(TObject* sender);

  HBITMAP Handle_ = nullptr;
  void* Bits_ = nullptr;
  int Width_ = 0;
  int Height_ = 0;
  int Stride_ = 0;
  bool TopDown_ = false;
  TPixelFormat PixelFormat_ = pf24bit;
  TBitmapCanvas* Canvas_ = nullptr;
  TTransparentMode TransparentMode_ = tmAuto;
  TColor TransparentColor_ = clDefault;
};

// Creates a 24-bit DIB section of the given size (bottom-up, at least 1 x 1); the caller owns
// it and deletes it with DeleteObject, or hands it to a TBitmap (SetHandle).
HBITMAP CreateDib24(int width, int height, void** bits = nullptr);

class TIcon : public TGraphic {
 public:
  QV_CLASS_NAME(TIcon)
  ~TIcon() override;

  HICON Handle() const { return Handle_; }
  // Takes ownership of the icon.
  void SetHandle(HICON icon);
  HICON ReleaseHandle();
  bool HandleAllocated() const { return Handle_ != nullptr; }

  int Width() const override { return Width_; }
  void SetWidth(int width) override;
  int Height() const override { return Height_; }
  void SetHeight(int height) override;
  bool Empty() const override { return Handle_ == nullptr; }

  // An icon resource; at its own size when width and height are 0.
  void LoadFromResourceName(HINSTANCE instance, const std::string& name, int width = 0, int height = 0);
  void LoadFromResourceID(HINSTANCE instance, int id, int width = 0, int height = 0);

  void Assign(TPersistent* source) override;
  void Draw(TCanvas* canvas, const TRect& r) override;

 private:
  HICON Handle_ = nullptr;
  int Width_ = 0;
  int Height_ = 0;
  // Size the next loaded icon is asked for (0: its own size).
  int RequestedWidth_ = 0;
  int RequestedHeight_ = 0;
};
