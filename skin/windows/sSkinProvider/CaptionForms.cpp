// Windows that cover what the system would draw in the skin's place: the caption form laid over a
// form's header while the system draws its caption, and the strip of the MDI child buttons shown
// while the MDI frame's menu loop runs; and the MDI frame's repaint after a child's state changed.
#include "skin/windows/sSkinProvider/Internal.h"

using namespace acsp;

namespace {

// The MDI child buttons' strip (one per process).
TForm* MDIButtonsForm = nullptr;
TsSkinProvider* MDIButtonsOwner = nullptr;
TWndMethod MDIButtonsOldProc;
constexpr int kMDIButtonsWidth = 60;

// A borderless form of the application that is never skinned from outside.
TForm* MakeCoverForm() {
  auto* f = Create<TForm>(Application);
  f->SetTag(-98);
  f->SetBorderStyle(bsNone);
  return f;
}

// Copies the part Src of the provider's image to the cover's client area.
void PaintCover(HWND wnd, HDC given, TsSkinProvider* provider, TPoint src) {
  PaintScope ps(wnd, given);
  BitmapDC cache(provider ? provider->SkinData->CacheBmp : nullptr);
  RECT r{};
  GetClientRect(wnd, &r);
  if (ps.Get() && cache) BitBlt(ps, 0, 0, r.right, r.bottom, cache, src.X, src.Y, SRCCOPY);
}

struct TMDIButtonsProc {
  void Proc(TMessage& m) {
    switch (m.Msg) {
      case WM_ERASEBKGND: m.Result = 1; return;
      case WM_PAINT: {
        TsSkinProvider* p = IsLive(MDIButtonsOwner) ? MDIButtonsOwner : nullptr;
        PaintCover(MDIButtonsForm->Handle(), reinterpret_cast<HDC>(m.WParam), p,
                   TPoint{p ? p->FormWidth() - kMDIButtonsWidth : 0, p ? p->CaptionHeight() : 0});
        m.Result = 0;
        return;
      }
      default: MDIButtonsOldProc(m); return;
    }
  }
} MDIButtonsProcObject;

}  // namespace

// ---- The caption form --------------------------------------------------------------------------------

void TsSkinProvider::CaptionFormProc(TMessage& Message) {
  switch (Message.Msg) {
    case WM_ERASEBKGND: Message.Result = 1; return;
    case WM_NCHITTEST: Message.Result = HTTRANSPARENT; return;
    case WM_PAINT:
      PaintCover(CaptionForm->Handle(), reinterpret_cast<HDC>(Message.WParam), this, TPoint{});
      Message.Result = 0;
      return;
    default: CaptionFormOldWndProc(Message); return;
  }
}

void TsSkinProvider::ShowCaptionForm() {
  if (!Form || !Form->HandleAllocated() || !Application) return;
  if (SkinData->BGChanged) PaintFrameCache();
  if (!CaptionForm) {
    CaptionForm = MakeCoverForm();
    CaptionFormOldWndProc = CaptionForm->WindowProc;
    CaptionForm->WindowProc = MakeMethod<&TsSkinProvider::CaptionFormProc>(this);
  }
  TRect r = WindowRectOf(Form->Handle());
  int height = HeaderHeight();
  if (IsMaximizedMDIChild() && MDIProviderSkinned()) {
    // A maximized child's caption lives in the frame's menu line.
    const TRect frame = WindowRectOf(MDISkinProvider->Form->Handle());
    r = TRect{frame.Left, frame.Top + MDISkinProvider->MenuLineTop(), frame.Right,
              frame.Top + MDISkinProvider->MenuLineTop() + MDISkinProvider->MenuHeight()};
    height = r.Height();
  }
  if (height <= 0) return;
  const HWND after = Form->FormStyle() == fsStayOnTop ? HWND_TOPMOST : HWND_TOP;
  SetWindowPos(CaptionForm->Handle(), after, r.Left, r.Top, r.Width(), height,
               SWP_NOACTIVATE | SWP_SHOWWINDOW | SWP_NOREDRAW | SWP_NOOWNERZORDER | SWP_NOSENDCHANGING);
  RedrawWindow(CaptionForm->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

void TsSkinProvider::HideCaptionForm() {
  if (!CaptionForm) return;
  CaptionForm->WindowProc = CaptionFormOldWndProc;
  FreeAndNil(CaptionForm);
}

// ---- The MDI frame -------------------------------------------------------------------------------------

bool TsSkinProvider::IsMaximizedMDIChild() const { return Form && Form->FormStyle() == fsMDIChild && Zoomed(Form); }

bool TsSkinProvider::ActiveNow() const {
  if (!Form || !Form->HandleAllocated()) return false;
  const HWND wnd = const_cast<TCustomForm*>(Form)->Handle();
  if (Form->FormStyle() != fsMDIChild) return GetActiveWindow() == wnd;
  const HWND client = GetParent(wnd);
  return client && HWND(SendMessageA(client, WM_MDIGETACTIVE, 0, 0)) == wnd &&
         GetActiveWindow() == GetAncestor(wnd, GA_ROOT);
}

TsSkinProvider* TsSkinProvider::FrameProvider() const { return IsLive(MDISkinProvider) ? MDISkinProvider : nullptr; }

void TsSkinProvider::RefreshMDIFrame() {
  TsSkinProvider* frame = FrameProvider();
  if (!frame || !frame->Form || !frame->Form->HandleAllocated()) return;
  auto alive = frame->Alive_;
  frame->SkinData->BeginUpdate();
  if (Application) Application->ProcessMessages();
  if (!*alive || !frame->Form) return;
  frame->SkinData->BGChanged = true;
  frame->MenuLineRows = -1;
  if (frame->MDIForm && MDIFormRefreshProc) MDIFormRefreshProc(frame->MDIForm);
  frame->SkinData->EndUpdate();
  RedrawWindow(frame->Form->Handle(), nullptr, nullptr,
               RDW_INVALIDATE | RDW_INTERNALPAINT | RDW_ERASE | RDW_UPDATENOW | RDW_FRAME);
}

void TsSkinProvider::ShowMDIButtonsForm() {
  if (!Form || !Form->HandleAllocated() || !Application) return;
  if (!MDIButtonsForm) {
    MDIButtonsForm = MakeCoverForm();
    MDIButtonsForm->SetName("acMDIIcons");
    MDIButtonsOldProc = MDIButtonsForm->WindowProc;
    MDIButtonsForm->WindowProc = MakeMethod<&TMDIButtonsProc::Proc>(&MDIButtonsProcObject);
  }
  MDIButtonsOwner = this;
  const TRect r = WindowRectOf(Form->Handle());
  SetWindowPos(MDIButtonsForm->Handle(), HWND_TOP, r.Left + FormWidth() - kMDIButtonsWidth, r.Top + CaptionHeight(),
               kMDIButtonsWidth, GetSystemMetrics(SM_CYMENU) + 3, SWP_NOACTIVATE | SWP_HIDEWINDOW);
}

void TsSkinProvider::FreeMDIButtonsForm() {
  if (!MDIButtonsForm || (MDIButtonsOwner && MDIButtonsOwner != this)) return;
  MDIButtonsForm->WindowProc = MDIButtonsOldProc;
  FreeAndNil(MDIButtonsForm);
  MDIButtonsOwner = nullptr;
}
