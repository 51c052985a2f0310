// Scopes that own a device context, a DC state or a GDI object for as long as they live: the one
// way the library pairs GetDC / ReleaseDC, BeginPaint / EndPaint, SaveDC / RestoreDC, memory DCs,
// selections and owned handles, so that every path out of a routine (exceptions included) gives
// back exactly what the routine obtained and nothing else.
//
// DC scopes that may be handed a DC (ClientDC, WindowDC, PaintScope) use a given DC as it is and
// never release it: a routine releases only a DC it obtained itself. Every scope converts to its
// handle; Get() gives it explicitly. Owned GDI objects and memory DCs are counted like every
// handle the library makes (GdiLiveCounts).
#pragma once

#include "classlib/Win.h"

#include <utility>

#include "classlib/Graphics.h"

// ---- Device contexts of windows ------------------------------------------------------------------

// A DC obtained from a window and released with ReleaseDC, or a DC given by the caller (kept).
class WindowDCBase {
 public:
  WindowDCBase() = default;
  ~WindowDCBase() { Reset(); }
  WindowDCBase(WindowDCBase&& o) noexcept
      : Wnd_(o.Wnd_), DC_(std::exchange(o.DC_, nullptr)), Own_(std::exchange(o.Own_, false)) {}
  WindowDCBase& operator=(WindowDCBase&& o) noexcept {
    if (this != &o) {
      Reset();
      Wnd_ = o.Wnd_;
      DC_ = std::exchange(o.DC_, nullptr);
      Own_ = std::exchange(o.Own_, false);
    }
    return *this;
  }
  // Releases the DC now (when obtained here); the scope is empty afterwards.
  void Reset() {
    if (Own_ && DC_) ReleaseDC(Wnd_, DC_);
    DC_ = nullptr;
    Own_ = false;
  }
  HDC Get() const { return DC_; }
  operator HDC() const { return DC_; }
  // Whether the scope obtained the DC itself (false for a given DC).
  bool Owned() const { return Own_; }

 protected:
  WindowDCBase(HWND wnd, HDC given, HDC obtained)
      : Wnd_(wnd), DC_(given ? given : obtained), Own_(!given && obtained) {}

 private:
  HWND Wnd_ = nullptr;
  HDC DC_ = nullptr;
  bool Own_ = false;
};

// The client-area DC of a window (GetDC; the screen's for a null window) unless one is given.
class ClientDC : public WindowDCBase {
 public:
  ClientDC() = default;
  explicit ClientDC(HWND wnd, HDC given = nullptr) : WindowDCBase(wnd, given, given ? nullptr : GetDC(wnd)) {}
  // A DC from GetDCEx with the given DCX_ flags.
  static ClientDC WithFlags(HWND wnd, DWORD flags) { return ClientDC(wnd, GetDCEx(wnd, nullptr, flags), 0); }

 private:
  ClientDC(HWND wnd, HDC obtained, int) : WindowDCBase(wnd, nullptr, obtained) {}
};

// The screen's DC.
class ScreenDC : public ClientDC {
 public:
  ScreenDC() : ClientDC(nullptr) {}
};

// The DC of a whole window, frame included (GetWindowDC), unless one is given.
class WindowDC : public WindowDCBase {
 public:
  WindowDC() = default;
  explicit WindowDC(HWND wnd, HDC given = nullptr) : WindowDCBase(wnd, given, given ? nullptr : GetWindowDC(wnd)) {}
};

// BeginPaint on construction and EndPaint on exit; with a given DC (a WM_PAINT that carries one)
// neither happens and the given DC is used.
class PaintScope {
 public:
  explicit PaintScope(HWND wnd, HDC given = nullptr) : Wnd_(wnd), DC_(given) {
    if (!DC_) {
      DC_ = BeginPaint(wnd, &PS_);
      Began_ = true;
    }
  }
  ~PaintScope() {
    if (Began_) EndPaint(Wnd_, &PS_);
  }
  PaintScope(const PaintScope&) = delete;
  PaintScope& operator=(const PaintScope&) = delete;
  HDC Get() const { return DC_; }
  operator HDC() const { return DC_; }
  // The paint information (zero when a DC was given).
  const PAINTSTRUCT& Info() const { return PS_; }

 private:
  HWND Wnd_;
  HDC DC_;
  PAINTSTRUCT PS_{};
  bool Began_ = false;
};

// ---- DC state and selections ---------------------------------------------------------------------

// SaveDC on construction, RestoreDC on exit: clip, origins, selections and modes changed inside
// the scope go back. A null DC is ignored.
class SavedDC {
 public:
  explicit SavedDC(HDC dc) : DC_(dc), Saved_(dc ? SaveDC(dc) : 0) {}
  ~SavedDC() {
    if (Saved_) RestoreDC(DC_, Saved_);
  }
  SavedDC(const SavedDC&) = delete;
  SavedDC& operator=(const SavedDC&) = delete;

 private:
  HDC DC_;
  int Saved_;
};

// One object selected into a DC for the scope; what it displaced is selected back on exit.
class SelectedObject {
 public:
  SelectedObject(HDC dc, HGDIOBJ obj) : DC_(dc), Old_(dc && obj ? SelectObject(dc, obj) : nullptr) {}
  ~SelectedObject() {
    if (Old_) SelectObject(DC_, Old_);
  }
  SelectedObject(const SelectedObject&) = delete;
  SelectedObject& operator=(const SelectedObject&) = delete;

 private:
  HDC DC_;
  HGDIOBJ Old_;
};

// ---- Memory DCs ----------------------------------------------------------------------------------

// A memory DC compatible with a reference DC (the screen for null), optionally with a bitmap
// selected; on exit the bitmap is selected out and the DC deleted (the bitmap is not owned:
// declare its owner before the scope). Raises EOutOfResources when no DC can be made.
class MemoryDC {
 public:
  MemoryDC() = default;
  explicit MemoryDC(HDC reference, HBITMAP bitmap = nullptr) : DC_(CreateMemoryDC(reference)) {
    if (bitmap) Select(bitmap);
  }
  ~MemoryDC() { Reset(); }
  MemoryDC(MemoryDC&& o) noexcept : DC_(std::exchange(o.DC_, nullptr)), Old_(std::exchange(o.Old_, nullptr)) {}
  MemoryDC& operator=(MemoryDC&& o) noexcept {
    if (this != &o) {
      Reset();
      DC_ = std::exchange(o.DC_, nullptr);
      Old_ = std::exchange(o.Old_, nullptr);
    }
    return *this;
  }
  // Selects a bitmap; the DC's own first bitmap goes back on exit.
  void Select(HBITMAP bitmap) {
    HGDIOBJ prev = SelectObject(DC_, bitmap);
    if (!Old_) Old_ = prev;
  }
  void Reset() {
    if (!DC_) return;
    if (Old_) SelectObject(DC_, Old_);
    DeleteMemoryDC(DC_);
    DC_ = nullptr;
    Old_ = nullptr;
  }
  HDC Get() const { return DC_; }
  operator HDC() const { return DC_; }

 private:
  HDC DC_ = nullptr;
  HGDIOBJ Old_ = nullptr;
};

// The DC of a bitmap's canvas, the canvas locked for as long as the scope lives so the DC stays
// (an empty or null bitmap gives none).
class BitmapDC {
 public:
  explicit BitmapDC(TBitmap* bmp) : Bmp_(bmp) {
    if (!bmp || bmp->Empty()) return;
    bmp->Canvas()->Lock();
    try {
      DC_ = bmp->Canvas()->Handle();
    } catch (...) {
      bmp->Canvas()->Unlock();
      throw;
    }
  }
  ~BitmapDC() {
    if (DC_) Bmp_->Canvas()->Unlock();
  }
  BitmapDC(const BitmapDC&) = delete;
  BitmapDC& operator=(const BitmapDC&) = delete;
  HDC Get() const { return DC_; }
  operator HDC() const { return DC_; }

 private:
  TBitmap* Bmp_;
  HDC DC_ = nullptr;
};

// A canvas bound to a DC it does not own for the scope (the DC's state saved around it), drawing
// with a copy of font when one is given.
class CanvasOnDC {
 public:
  CanvasOnDC(TCanvas* canvas, HDC dc, TFont* font = nullptr) : Saved_(dc), Canvas_(canvas) {
    if (font) canvas->Font()->Assign(font);
    canvas->SetHandle(dc);
  }
  ~CanvasOnDC() { Canvas_->SetHandle(nullptr); }
  CanvasOnDC(const CanvasOnDC&) = delete;
  CanvasOnDC& operator=(const CanvasOnDC&) = delete;

 private:
  SavedDC Saved_;
  TCanvas* Canvas_;
};

// ---- Owned GDI objects ---------------------------------------------------------------------------

// A GDI object (brush, pen, font, bitmap, region) owned and counted by the scope and deleted on
// exit. Adopt a handle right after creating it: GdiObject<HBRUSH> b(CreateSolidBrush(c)).
template <class H>
class GdiObject {
 public:
  GdiObject() = default;
  explicit GdiObject(H handle) : H_(handle) { TrackGdiObject(handle); }
  ~GdiObject() { DeleteGdiObject(H_); }
  GdiObject(GdiObject&& o) noexcept : H_(std::exchange(o.H_, nullptr)) {}
  GdiObject& operator=(GdiObject&& o) noexcept {
    if (this != &o) {
      DeleteGdiObject(H_);
      H_ = std::exchange(o.H_, nullptr);
    }
    return *this;
  }
  // Deletes the object held and adopts another.
  void Reset(H handle = nullptr) { *this = GdiObject(handle); }
  // Hands the object to a new owner (SetWindowRgn, a TBitmap ...) and leaves the scope empty.
  H Release() {
    ForgetGdiObject(H_);
    return std::exchange(H_, nullptr);
  }
  H Get() const { return H_; }
  operator H() const { return H_; }

 private:
  H H_ = nullptr;
};

using OwnedRegion = GdiObject<HRGN>;
