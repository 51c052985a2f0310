// TScreen: the forms of the process, the active form and control, the system fonts, the cursor
// and the desktop areas.
#include "classlib/Forms.h"

#include <algorithm>

#include "classlib/GdiScopes.h"

// ---------------------------------------------------------------------------------------------
// TScreen

TScreen::TScreen(TComponent* AOwner) : TComponent(AOwner) {
  MenuFont_ = new TFont();
  HintFont_ = new TFont();
  NONCLIENTMETRICSA ncm{};
  ncm.cbSize = sizeof ncm;
  if (SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof ncm, &ncm, 0)) {
    MenuFont_->SetHandle(static_cast<HFONT>(TrackGdiObject(CreateFontIndirectA(&ncm.lfMenuFont))));
    HintFont_->SetHandle(static_cast<HFONT>(TrackGdiObject(CreateFontIndirectA(&ncm.lfStatusFont))));
  }
  PixelsPerInch_ = GetDeviceCaps(ScreenDC(), LOGPIXELSY);
}

TScreen::~TScreen() {
  delete MenuFont_;
  delete HintFont_;
}

void TScreen::SetCursor(TCursor v) {
  if (Cursor_ == v) return;
  Cursor_ = v;
  if (v != crDefault) {
    ::SetCursor(CursorHandle(v));
    return;
  }
  // Back to the controls' own cursors: the window under the mouse chooses again.
  POINT p;
  GetCursorPos(&p);
  HWND w = WindowFromPoint(p);
  if (w && GetWindowThreadProcessId(w, nullptr) == GetCurrentThreadId()) {
    LRESULT hit = SendMessageA(w, WM_NCHITTEST, 0, MAKELPARAM(p.x, p.y));
    SendMessageA(w, WM_SETCURSOR, reinterpret_cast<WPARAM>(w), MAKELPARAM(LOWORD(hit), WM_MOUSEMOVE));
  } else {
    ::SetCursor(LoadCursorA(nullptr, IDC_ARROW));
  }
}

TRect TScreen::WorkAreaRect() const {
  RECT r{0, 0, Width(), Height()};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &r, 0);
  return FromRECT(r);
}

TRect TScreen::DesktopRect() const {
  return Bounds(GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN),
                GetSystemMetrics(SM_CXVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN));
}

void TScreen::AddForm(TCustomForm* f) { Forms_.push_back(f); }

void TScreen::RemoveForm(TCustomForm* f) {
  auto it = std::find(Forms_.begin(), Forms_.end(), f);
  if (it != Forms_.end()) Forms_.erase(it);
  if (ActiveForm_ == f) SetActiveForm(nullptr);
  if (ActiveControl_ && (ActiveControl_ == f || f->ContainsControl(ActiveControl_))) ActiveControl_ = nullptr;
}

TCustomForm* TScreen::Forms(int index) const {
  if (index < 0 || index >= FormCount()) RaiseListIndexError(index);
  return Forms_[static_cast<size_t>(index)];
}

void TScreen::SetActiveForm(TCustomForm* f) {
  if (f) {
    // The list runs from the form activated last.
    auto it = std::find(Forms_.begin(), Forms_.end(), f);
    if (it != Forms_.end() && it != Forms_.begin()) std::rotate(Forms_.begin(), it, it + 1);
  }
  if (ActiveForm_ == f) return;
  ActiveForm_ = f;
  OnActiveFormChange(this);
}

void TScreen::SetActiveControl(TWinControl* c) {
  if (ActiveControl_ == c) return;
  ActiveControl_ = c;
  OnActiveControlChange(this);
}
