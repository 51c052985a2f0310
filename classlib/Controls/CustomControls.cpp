// The controls that paint on a canvas of their own: TControlCanvas, TGraphicControl and
// TCustomControl.
#include "classlib/Controls.h"

#include "classlib/Controls/Internal.h"

using namespace controls_impl;

// ---------------------------------------------------------------------------------------------
// TControlCanvas

TControlCanvas::~TControlCanvas() { FreeHandle(); }

void TControlCanvas::SetControl(TControl* v) {
  if (Control_ == v) return;
  FreeHandle();
  Control_ = v;
}

void TControlCanvas::CreateHandle() {
  if (!Control_) return;
  TWinControl* w = Control_->IsWindowControl() ? static_cast<TWinControl*>(Control_) : Control_->Parent();
  if (!w) return;
  DC_ = ClientDC::WithFlags(w->Handle(), DCX_CACHE | DCX_CLIPSIBLINGS);
  if (!DC_) return;
  if (!Control_->IsWindowControl()) {
    SetWindowOrgEx(DC_, -Control_->Left(), -Control_->Top(), nullptr);
    IntersectClipRect(DC_, 0, 0, Control_->Width(), Control_->Height());
  }
  CanvasList().push_back(this);
  SetHandle(DC_);
  UpdateTextFlags();
}

void TControlCanvas::FreeHandle() {
  if (!DC_) return;
  SetHandle(nullptr);
  DC_.Reset();
  ListRemove(CanvasList(), this);
}

void TControlCanvas::UpdateTextFlags() {
  TextFlags_ = 0;
  if (Control_ && Control_->UseRightToLeftReading()) TextFlags_ |= ETO_RTLREADING;
}

void TControlCanvas::FreeDeviceContexts() {
  for (TControlCanvas* c : std::vector<TControlCanvas*>(CanvasList()))
    if (c->LockCount() == 0) c->FreeHandle();
}

// ---------------------------------------------------------------------------------------------
// TGraphicControl / TCustomControl

TGraphicControl::TGraphicControl(TComponent* AOwner) : TControl(AOwner) {
  Canvas_ = new TControlCanvas();
  Canvas_->SetControl(this);
}

TGraphicControl::~TGraphicControl() { delete Canvas_; }

void TGraphicControl::Dispatch(TMessage& Message) {
  if (Message.Msg == WM_PAINT && Message.WParam != 0) {
    LockedCanvasOnDC canvas(Canvas_, reinterpret_cast<HDC>(Message.WParam));
    Paint();
    return;
  }
  TControl::Dispatch(Message);
}

TCustomControl::TCustomControl(TComponent* AOwner) : TWinControl(AOwner) {
  Canvas_ = new TControlCanvas();
  Canvas_->SetControl(this);
}

TCustomControl::~TCustomControl() { delete Canvas_; }

void TCustomControl::Dispatch(TMessage& Message) {
  if (Message.Msg == WM_PAINT) {
    auto alive = AliveToken();
    ControlState_.Include(csCustomPaint);
    try {
      TWinControl::Dispatch(Message);
    } catch (...) {
      if (*alive) ControlState_.Exclude(csCustomPaint);
      throw;
    }
    if (*alive) ControlState_.Exclude(csCustomPaint);
    return;
  }
  TWinControl::Dispatch(Message);
}

void TCustomControl::PaintWindow(HDC DC) {
  LockedCanvasOnDC canvas(Canvas_, DC);
  Canvas_->UpdateTextFlags();
  Paint();
}

void TCustomControl::DestroyWindowHandle() {
  Canvas_->FreeHandle();
  TWinControl::DestroyWindowHandle();
}
