// What the parts of the window adapters share among themselves and show no one else: the DC and
// bitmap scopes they paint with, the scroll bars' geometry and painting helpers, and the
// notifications the scrolling adapters look at.
#pragma once

#include "skin/windows/acSBUtils.h"

#include <algorithm>

#include "skin/engine/sQuorvexGraph.h"
#include "skin/windows/core/acScrollGeometry.h"

namespace acsb {

// The application object the skin command 60 answers with.
TObject* ApplicationObject();

// A 24-bit bitmap owned by the scope.
struct TTempBmp {
  explicit TTempBmp(int w, int h) : Bmp(CreateBmp24(std::max(w, 0), std::max(h, 0))) {}
  ~TTempBmp() { delete Bmp; }
  TTempBmp(const TTempBmp&) = delete;
  TTempBmp& operator=(const TTempBmp&) = delete;
  TBitmap* Bmp;
};

// A DC of a window unless one is given: the whole window's (GetWindowDC) or the client area's
// (GetDC); released on scope exit only when obtained here.
class TGivenOrOwnDC {
 public:
  enum TArea { daWindow, daClient };
  TGivenOrOwnDC(HWND wnd, HDC given, TArea area) : Wnd_(wnd), DC_(given) {
    if (!DC_) {
      DC_ = area == daWindow ? GetWindowDC(wnd) : GetDC(wnd);
      Own_ = true;
    }
  }
  ~TGivenOrOwnDC() {
    if (Own_ && DC_) ReleaseDC(Wnd_, DC_);
  }
  TGivenOrOwnDC(const TGivenOrOwnDC&) = delete;
  TGivenOrOwnDC& operator=(const TGivenOrOwnDC&) = delete;
  HDC Get() const { return DC_; }

 private:
  HWND Wnd_;
  HDC DC_;
  bool Own_ = false;
};

struct TWindowDC : TGivenOrOwnDC {
  TWindowDC(HWND wnd, HDC given) : TGivenOrOwnDC(wnd, given, daWindow) {}
};
struct TClientDC : TGivenOrOwnDC {
  TClientDC(HWND wnd, HDC given) : TGivenOrOwnDC(wnd, given, daClient) {}
};

// BeginPaint on construction, EndPaint on scope exit.
class TPaintScope {
 public:
  explicit TPaintScope(HWND wnd) : Wnd_(wnd) { BeginPaint(wnd, &PS_); }
  ~TPaintScope() { EndPaint(Wnd_, &PS_); }
  TPaintScope(const TPaintScope&) = delete;
  TPaintScope& operator=(const TPaintScope&) = delete;

 private:
  HWND Wnd_;
  PAINTSTRUCT PS_{};
};

// SaveDC on construction, RestoreDC on scope exit.
class TSavedDC {
 public:
  explicit TSavedDC(HDC dc) : DC_(dc), Saved_(dc ? SaveDC(dc) : 0) {}
  ~TSavedDC() {
    if (Saved_) RestoreDC(DC_, Saved_);
  }
  TSavedDC(const TSavedDC&) = delete;
  TSavedDC& operator=(const TSavedDC&) = delete;

 private:
  HDC DC_;
  int Saved_;
};

// ---- Scroll bars -----------------------------------------------------------------------------------

// The manager an adapter paints with: its own, else that of its skin data.
TsSkinManager* ManagerOf(const TacMainWnd* a);
qv::TScrollRange RangeOf(const SCROLLINFO& si);
// Reads the bar's scroll information from the window (all zero when it has none).
void ReadScrollInfo(TacScrollBar* bar, HWND wnd);
TRect WindowRectOf(HWND wnd);
// The adapter's frame as the geometry routines take it.
qv::TBarFrame FrameOf(TacScrollWnd* a, HWND wnd);
// The bar's rectangle in screen coordinates.
TRect BarScreenRect(TacScrollBar* bar, HWND wnd);
// Whether the size grip shows in the corner box (screen coordinates).
bool SizeGripShowsFor(TacScrollWnd* a, HWND wnd, const TRect& box);
// Asks the window for the image its frame is painted over (skin command 5 to the window itself).
TsCacheInfo AskOwnCache(TacScrollWnd* a, HWND wnd);
// One bar repainted on the window DC with a part pressed (-1: none).
void RepaintBar(TacScrollBar* bar, HWND wnd, int part);
TacScrollBar* BarOfKind(TacScrollWnd* a, int kind);
// Draws the bar with the thumb at tWindow (window-relative along the axis) in the pressed state.
void DrawTrackedBar(TacScrollBar* bar, HWND wnd, int tWindow);
// A click or a drag ends: the click part of the interaction state back to its start.
void ResetClickState();

// ---- Scrolling adapters ----------------------------------------------------------------------------

// Class-library notifications the scrolling adapters look at.
constexpr UINT CM_FOCUSNOTIFY = 0xB007;
constexpr UINT CM_ENABLEDNOTIFY = 0xB00C;
constexpr UINT CM_RESIZENOTIFY = 0xB029;
constexpr UINT CM_WHEELNOTIFY = 0xB043;
constexpr UINT CN_KEYDOWNNOTIFY = 0xBD00;
constexpr UINT CN_KEYUPNOTIFY = 0xBD01;
constexpr UINT WM_UNKNOWN2100 = 0x2100;
constexpr UINT WM_UNKNOWN3F = 0x3F;

inline void RefreshUpdating(TsCommonData* sd) {
  if (sd) sd->SetUpdating(sd->Updating());
}

inline bool IsOwnManager(const TMessage& m, TsCommonData* sd) {
  TsSkinManager* sm = sd ? sd->SkinManager() : nullptr;
  return sm && m.LParam == reinterpret_cast<LPARAM>(sm);
}

inline void AnswerCache(TsCommonData* sd) {
  if (sd && sd->CacheBmp && !sd->CacheBmp->Empty())
    SharedCacheInfo = BuildCacheInfo(sd->CacheBmp, 0, 0);
  else
    SharedCacheInfo = TsCacheInfo{};
}

}  // namespace acsb
