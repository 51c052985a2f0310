#include "skin/engine/sFade.h"

#include <algorithm>
#include <memory>
#include <set>

#include "classlib/GdiScopes.h"
#include "skin/engine/sSkinManager.h"

namespace {

// ---- Deferred freeing ---------------------------------------------------------------------------

std::set<TacSelfFreeingTimer*>& LiveTimers() {
  static std::set<TacSelfFreeingTimer*> live;
  return live;
}

constexpr UINT WM_FREETIMER = WM_APP + 0x51;
constexpr const char* kReaperClass = "QvFadeTimerReaper";

LRESULT CALLBACK ReaperProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_FREETIMER) {
    auto* t = reinterpret_cast<TacSelfFreeingTimer*>(lParam);
    // The timer may have been freed by its owner since the message was posted.
    if (LiveTimers().count(t) && !t->IsDestroying()) {
      try {
        t->Free();
      } catch (...) {
        HandleBoundaryException(nullptr);
      }
    }
    return 0;
  }
  return DefWindowProcA(wnd, msg, wParam, lParam);
}

HWND ReaperWindow() {
  static HWND wnd = nullptr;
  if (wnd && IsWindow(wnd)) return wnd;
  WNDCLASSA wc{};
  wc.lpfnWndProc = ReaperProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = kReaperClass;
  RegisterClassA(&wc);  // fails harmlessly when registered already
  wnd = CreateWindowExA(0, kReaperClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
  return wnd;
}

struct TBmpFree {
  void operator()(TBitmap* b) const { b->Free(); }
};

// A 24-bit copy of a bitmap (into Dst, made when nullptr).
void CopyBmp(TBitmap*& dst, TBitmap* src) {
  if (!dst) dst = CreateBmp24(0, 0);
  dst->SetPixelFormat(pf24bit);
  dst->SetSize(src ? src->Width() : 0, src ? src->Height() : 0);
  if (!src || src->Empty()) return;
  const qv::TImageView s = BmpView(src), d = BmpView(dst);
  if (s.Empty() || d.Empty()) return;
  for (int y = 0; y < s.Height; ++y) std::copy(s.Row(y), s.Row(y) + 3 * s.Width, d.Row(y));
}

bool SameSize(TBitmap* a, TBitmap* b) {
  return a && b && a->Width() == b->Width() && a->Height() == b->Height() && !a->Empty();
}

// A 24-bit bitmap the size of Like, made or resized only when it is not that already: the frame a
// fade paints into, once per fade, so that a tick allocates and reformats nothing.
void FitFrame(TBitmap*& frame, TBitmap* like) {
  const int w = like ? like->Width() : 0, h = like ? like->Height() : 0;
  if (!frame) frame = CreateBmp24(w, h);
  if (frame->PixelFormat() != pf24bit) frame->SetPixelFormat(pf24bit);
  if (frame->Width() != w || frame->Height() != h) frame->SetSize(w, h);
}

// Copies a frame to the control's place on the screen.
void ShowFrame(TControl* c, TBitmap* frame) {
  if (!c || !frame || frame->Empty()) return;
  HWND wnd = nullptr;
  int x = 0, y = 0;
  if (c->IsWindowControl()) {
    auto* w = static_cast<TWinControl*>(c);
    if (!w->HandleAllocated()) return;
    wnd = w->Handle();
  } else {
    if (!c->Parent() || !c->Parent()->HandleAllocated()) return;
    wnd = c->Parent()->Handle();
    x = c->Left();
    y = c->Top();
  }
  ClientDC dc(wnd);
  BitmapDC src(frame);
  if (!dc || !src) return;
  SavedDC saved(dc);
  IntersectClipRect(dc, x, y, x + c->Width(), y + c->Height());
  BitBlt(dc, x, y, frame->Width(), frame->Height(), src, 0, 0, SRCCOPY);
}

bool ControlAlive(TsCommonData* sd) { return sd && sd->OwnerControl && !sd->OwnerControl->IsDestroying(); }

}  // namespace

// ---- TacSelfFreeingTimer ------------------------------------------------------------------------

TacSelfFreeingTimer::TacSelfFreeingTimer(TComponent* AOwner) : TTimer(AOwner) {
  SetEnabled(false);
  LiveTimers().insert(this);
}

TacSelfFreeingTimer::~TacSelfFreeingTimer() {
  LiveTimers().erase(this);
  if (Slot_ && *Slot_ == this) *Slot_ = nullptr;
}

int TacSelfFreeingTimer::LiveCount() { return int(LiveTimers().size()); }

void TacSelfFreeingTimer::Timer() {
  if (FreePending_) return;
  InTick_ = true;
  try {
    Tick();
  } catch (...) {
    InTick_ = false;
    // The work cannot go on: end it, then report.
    FinishAndFree();
    throw;
  }
  InTick_ = false;
}

void TacSelfFreeingTimer::FinishAndFree() {
  SetEnabled(false);
  if (Slot_ && *Slot_ == this) *Slot_ = nullptr;
  Slot_ = nullptr;
  if (FreePending_) return;
  FreePending_ = true;
  HWND reaper = ReaperWindow();
  if (!reaper || !PostMessageA(reaper, WM_FREETIMER, 0, reinterpret_cast<LPARAM>(this))) {
    // No queue to defer to: the owner frees the timer with itself.
    FreePending_ = false;
  }
}

void TacSelfFreeingTimer::Release() {
  if (InTick_ || FreePending_) {
    FinishAndFree();
    return;
  }
  if (Slot_ && *Slot_ == this) *Slot_ = nullptr;
  Slot_ = nullptr;
  Free();
}

// ---- TsFadeTimer --------------------------------------------------------------------------------

TsFadeTimer::TsFadeTimer(TComponent* AOwner) : TacSelfFreeingTimer(AOwner) { SetInterval(10); }

TsFadeTimer::~TsFadeTimer() {
  ::Free(StartBmp_);
  ::Free(FrameBmp_);
}

void TsFadeTimer::Prepare(TsCommonData* sd, TsFadeTimer** slot, int iterations, int direction) {
  SetEnabled(false);
  // A fade that was running goes on from the frame on the screen.
  TBitmap* from = sd ? sd->CacheBmp : nullptr;
  if (SkinData == sd && Step > 0 && SameSize(FrameBmp_, from)) from = FrameBmp_;
  CopyBmp(StartBmp_, from);
  FitFrame(FrameBmp_, StartBmp_);
  SkinData = sd;
  Slot_ = reinterpret_cast<void**>(slot);
  Iterations = std::max(iterations, 1);
  Direction = direction;
  Step = 0;
}

void TsFadeTimer::FadeStep() {
  if (!ControlAlive(SkinData)) {
    FinishAndFree();
    return;
  }
  TControl* control = SkinData->OwnerControl;
  if (!control->Enabled()) {
    FinishAndFree();
    SkinData->Invalidate();
    return;
  }
  TBitmap* cache = SkinData->CacheBmp;
  if (!SameSize(StartBmp_, cache)) {
    // The control changed size meanwhile: show its look as it is now.
    FinishAndFree();
    SkinData->BGChanged = true;
    control->Repaint();
    return;
  }
  Step = std::min(Step + 1, Iterations);
  // One pass: the frame is the start image and the new look mixed.
  BlendBitmapsInto(FrameBmp_, StartBmp_, cache, qv::FadeAmount(Step, Iterations));
  if (SendControlSkinCommand(control, QC_FADEFRAME, reinterpret_cast<LPARAM>(FrameBmp_)) == 0)
    ShowFrame(control, FrameBmp_);
  if (Step >= Iterations) FinishAndFree();
}

// ---- TsAnimTimer --------------------------------------------------------------------------------

TsAnimTimer::TsAnimTimer(TComponent* AOwner) : TacSelfFreeingTimer(AOwner) { SetInterval(10); }

TsAnimTimer::~TsAnimTimer() {
  ::Free(StartBmp_);
  ::Free(FrameBmp_);
}

void TsAnimTimer::BindTo(TsCommonData* sd, bool fast, TsAnimTimer** slot) {
  SetEnabled(false);
  SkinData = sd;
  Slot_ = reinterpret_cast<void**>(slot);
  SetInterval(10);
  int iterations = 1;
  if (sd) {
    TsSkinManager* m = sd->SkinManager();
    const qv::TSkinModel* model = m ? m->Skin() : nullptr;
    if (model && model->IsSectionIndex(sd->SkinIndex))
      iterations = model->Sections[std::size_t(sd->SkinIndex)].FadingIterations;
  }
  Iterations = qv::FadeIterationsOf(iterations, fast);
  Step = 0;
  CopyBmp(StartBmp_, sd ? sd->CacheBmp : nullptr);
  FitFrame(FrameBmp_, StartBmp_);
}

void TsAnimTimer::AnimStep() {
  if (!ControlAlive(SkinData)) {
    FinishAndFree();
    return;
  }
  TControl* control = SkinData->OwnerControl;
  TBitmap* cache = SkinData->CacheBmp;
  if (!SameSize(StartBmp_, cache)) {
    FinishAndFree();
    control->Repaint();
    return;
  }
  Step = std::clamp(Step + 1, 1, Iterations);
  BlendBitmapsInto(FrameBmp_, StartBmp_, cache, qv::FadeAmount(Step, Iterations));
  if (Step >= Iterations) {
    // The last frame is the new look itself: the control paints from its cache again.
    FinishAndFree();
  }
  control->Repaint();
}

// ---- Starting and stopping ----------------------------------------------------------------------

void StopFade(TsFadeTimer*& timer) {
  TsFadeTimer* t = timer;
  if (!t || t->IsDestroying()) return;
  timer = nullptr;
  t->Release();
}

void StopAnimTimer(TsAnimTimer*& timer) {
  TsAnimTimer* t = timer;
  if (!t || t->IsDestroying()) return;
  timer = nullptr;
  t->Release();
}

void FadeOrRepaint(TsFadeTimer*& timer, TsCommonData* sd, bool fast, bool allowFade, int direction) {
  if (!sd || !sd->Skinned() || !ControlAlive(sd)) return;
  TControl* control = sd->OwnerControl;
  TsSkinManager* m = sd->SkinManager();
  const qv::TSkinModel* model = m ? m->Skin() : nullptr;
  const qv::TsGeneralData* sec =
      model && model->IsSectionIndex(sd->SkinIndex) ? &model->Sections[std::size_t(sd->SkinIndex)] : nullptr;
  const bool canFade = allowFade && !SkinChanging && sec && sec->FadingEnabled && sd->CacheBmp &&
                       !sd->CacheBmp->Empty() && !sd->BGChanged;
  if (canFade) {
    sd->BGChanged = true;
    if (!timer) timer = Create<TsFadeTimer>(control);
    timer->Prepare(sd, &timer, qv::FadeIterationsOf(sec->FadingIterations, fast), direction);
    // The control rebuilds its cache with the new look now.
    SendControlSkinCommand(control, QC_PREPAREFADE);
    if (timer && !sd->BGChanged && SameSize(timer->StartBmp(), sd->CacheBmp)) {
      timer->SetEnabled(true);
      return;
    }
    // The control kept no new look to fade to: paint it plainly.
  }
  sd->BGChanged = true;
  StopFade(timer);
  control->Repaint();
}

// ---- Show animation -----------------------------------------------------------------------------

namespace {

HWND OverlayWnd = nullptr;
TBitmap* OverlayImage = nullptr;  // the picture the overlay shows (the old image, then frames)
constexpr const char* kOverlayClass = "QvOutputOverlay";

// The overlay shows its picture. No exception may leave a window procedure: a canvas that cannot
// get its handle leaves the overlay unpainted and goes to the application's handler.
void PaintOverlay(HWND wnd) {
  PaintScope dc(wnd);
  try {
    BitmapDC src(OverlayImage);
    if (src) BitBlt(dc, 0, 0, OverlayImage->Width(), OverlayImage->Height(), src, 0, 0, SRCCOPY);
  } catch (...) {
    HandleBoundaryException(nullptr);
  }
}

LRESULT CALLBACK OverlayProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_NCHITTEST: return HTTRANSPARENT;
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: PaintOverlay(wnd); return 0;
  }
  return DefWindowProcA(wnd, msg, wParam, lParam);
}

// The fade of the overlay into the control's new picture, one frame per tick; after the last frame
// the overlay goes and the timer frees itself. Owned by the control, so it goes with it.
class TacOverlayFadeTimer : public TacSelfFreeingTimer {
 public:
  TacOverlayFadeTimer(TComponent* AOwner, TBitmap* Old, TBitmap* Now, int Steps)
      : TacSelfFreeingTimer(AOwner), Old_(Old), Now_(Now), Steps_(Steps) {}
  ~TacOverlayFadeTimer() override;

 protected:
  void Tick() override;

 private:
  std::unique_ptr<TBitmap, TBmpFree> Old_;
  std::unique_ptr<TBitmap, TBmpFree> Now_;
  int Steps_;
  int Step_ = 0;
};

TacOverlayFadeTimer* OverlayTimer = nullptr;

void DestroyOverlay() {
  if (TacOverlayFadeTimer* t = OverlayTimer) {
    OverlayTimer = nullptr;
    t->Release();
  }
  if (OverlayWnd) DestroyWindow(OverlayWnd);
  OverlayWnd = nullptr;
  FreeAndNil(OverlayImage);
}

TacOverlayFadeTimer::~TacOverlayFadeTimer() {
  if (OverlayTimer == this) {
    // Freed before its last frame (its control went): the overlay goes with it.
    OverlayTimer = nullptr;
    DestroyOverlay();
  }
}

void TacOverlayFadeTimer::Tick() {
  if (OverlayTimer != this || !OverlayWnd || !OverlayImage) {
    FinishAndFree();
    return;
  }
  ++Step_;
  BlendBitmapsInto(OverlayImage, Old_.get(), Now_.get(), qv::FadeAmount(Step_, Steps_));
  InvalidateRect(OverlayWnd, nullptr, FALSE);
  UpdateWindow(OverlayWnd);
  if (Step_ < Steps_) return;
  OverlayTimer = nullptr;
  FinishAndFree();
  DestroyOverlay();
}

TRect ScreenRectOf(TControl* c) {
  const TPoint p = c->ClientToScreen(TPoint{0, 0});
  if (c->IsWindowControl() && static_cast<TWinControl*>(c)->HandleAllocated()) {
    RECT r{};
    GetWindowRect(static_cast<TWinControl*>(c)->Handle(), &r);
    return FromRECT(r);
  }
  return TRect{p.X, p.Y, p.X + c->Width(), p.Y + c->Height()};
}

}  // namespace

HWND OutputOverlayWindow() { return OverlayWnd; }

bool OutputOverlayFading() { return OverlayTimer != nullptr; }

void FreeOutputOverlay() { DestroyOverlay(); }

void ShowOutputOverlay(TControl* control) {
  DestroyOverlay();
  if (!control || control->Width() <= 0 || control->Height() <= 0) return;
  const TRect r = ScreenRectOf(control);
  OverlayImage = CreateBmp24(r.Width(), r.Height());
  {
    ScreenDC screen;
    BitmapDC dst(OverlayImage);
    if (screen && dst) BitBlt(dst, 0, 0, r.Width(), r.Height(), screen, r.Left, r.Top, SRCCOPY);
  }
  WNDCLASSA wc{};
  wc.lpfnWndProc = OverlayProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = kOverlayClass;
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  RegisterClassA(&wc);
  OverlayWnd = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, kOverlayClass, "", WS_POPUP, r.Left,
                               r.Top, r.Width(), r.Height(), nullptr, nullptr, wc.hInstance, nullptr);
  if (!OverlayWnd) {
    FreeAndNil(OverlayImage);
    return;
  }
  ShowWindow(OverlayWnd, SW_SHOWNOACTIVATE);
  UpdateWindow(OverlayWnd);
}

void AnimateControlShow(TControl* control, int duration) {
  if (!OverlayWnd || !OverlayImage || OverlayTimer) {
    DestroyOverlay();
    return;
  }
  if (!control || !control->IsWindowControl() || !static_cast<TWinControl*>(control)->HandleAllocated()) {
    DestroyOverlay();
    return;
  }
  auto* w = static_cast<TWinControl*>(control);
  std::unique_ptr<TBitmap, TBmpFree> old(CreateBmpLike(OverlayImage));
  std::unique_ptr<TBitmap, TBmpFree> now(CreateBmpLike(OverlayImage));
  TBitmap* o = old.get();
  CopyBmp(o, OverlayImage);
  {
    // The control's new picture, printed off the screen (the overlay still covers it).
    TCanvas* c = now->Canvas();
    c->Lock();
    SendMessageA(w->Handle(), WM_PRINT, WPARAM(c->Handle()),
                 PRF_CLIENT | PRF_NONCLIENT | PRF_CHILDREN | PRF_ERASEBKGND);
    c->Unlock();
  }
  if (!OverlayWnd || !OverlayImage) return;  // the control took the overlay away while printing
  duration = std::max(duration, 0);
  const int steps = std::clamp(duration / 15, 1, 40);
  auto* timer = new TacOverlayFadeTimer(control, old.release(), now.release(), steps);
  OverlayTimer = timer;
  timer->SetInterval(UINT(std::max(10, duration / steps)));
  timer->SetEnabled(true);
}
