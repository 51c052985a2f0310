// TCustomGroupBox.
#include "classlib/StdCtrls.h"

#include "classlib/GdiScopes.h"
#include "classlib/StdCtrls/Internal.h"
#include "classlib/core/TypInfo.h"

using namespace stdctrls_impl;

// ---- TCustomGroupBox --------------------------------------------------------------------------

TCustomGroupBox::TCustomGroupBox(TComponent* AOwner) : TCustomControl(AOwner) {
  ControlStyle_ = TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents,     csSetCaption,
                                csDoubleClicks,    csReplicatable, csParentBackground};
  SetBounds(0, 0, 185, 105);
}

void TCustomGroupBox::CreateParams(TCreateParams& Params) {
  TCustomControl::CreateParams(Params);
  Params.WindowClass.style &= ~(CS_HREDRAW | CS_VREDRAW);
}

void TCustomGroupBox::AdjustClientRect(TRect& Rect) {
  TCustomControl::AdjustClientRect(Rect);
  // Measured on a screen DC: the box may have no window yet.
  SIZE sz{};
  {
    ScreenDC dc;
    SelectedObject font(dc, Font_->Handle());
    GetTextExtentPoint32A(dc, "0", 1, &sz);
  }
  Rect.Top += sz.cy;
  Rect.Inflate(-1, -1);
  if (Ctl3D_) Rect.Inflate(-1, -1);
}

void TCustomGroupBox::Paint() {
  Canvas_->Font()->Assign(Font_);
  const int h = Canvas_->TextHeight("0");
  TRect r{0, h / 2 - 1, Width_, Height_};
  if (Ctl3D_) {
    r.Left++;
    r.Top++;
    Canvas_->Brush()->SetColor(clBtnHighlight);
    Canvas_->FrameRect(r);
    r.Offset(-1, -1);
    Canvas_->Brush()->SetColor(clBtnShadow);
  } else {
    Canvas_->Brush()->SetColor(clWindowFrame);
  }
  Canvas_->FrameRect(r);
  const std::string text = Caption();
  if (!text.empty()) {
    RECT tr{8, 0, 0, h};
    UINT flags = DrawTextBiDiModeFlags(DT_SINGLELINE);
    ::DrawTextA(Canvas_->Handle(), text.c_str(), -1, &tr, flags | DT_CALCRECT);
    if (UseRightToLeftAlignment()) OffsetRect(&tr, Width_ - 8 - tr.right, 0);
    Canvas_->Brush()->SetColor(Color_);
    Canvas_->Brush()->SetStyle(bsSolid);
    HDC dc = Canvas_->Handle();
    SetBkMode(dc, OPAQUE);
    SetBkColor(dc, ColorToRGB(Color_));
    ::DrawTextA(dc, text.c_str(), -1, &tr, flags);
  }
}

// The caption's accelerator focuses the first control in the box; true when it did.
bool TCustomGroupBox::FocusByAccel(TMessage& Message) {
  if (!IsAccel(Message.WParam, Caption()) || !CanFocus()) return false;
  SelectNext(this, true, true);
  Message.Result = 1;
  return true;
}

void TCustomGroupBox::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case CM_DIALOGCHAR:
      if (!FocusByAccel(Message)) TCustomControl::Dispatch(Message);
      return;
    case CM_TEXTCHANGED:
    case CM_FONTCHANGED:
      TCustomControl::Dispatch(Message);
      Invalidate();
      Realign();
      return;
    default: TCustomControl::Dispatch(Message);
  }
}

static const bool kCustomGroupBoxProps = RegisterProperties<TCustomGroupBox, TCustomControl>(
    [](auto& p) { p.Str("Caption", &TCustomGroupBox::Caption, &TCustomGroupBox::SetCaption); });
