#include "classlib/ExtCtrlsPanels.h"

#include "classlib/core/TypInfo.h"

void Frame3D(TCanvas* Canvas, TRect& Rect, TColor TopColor, TColor BottomColor, int Width) {
  Rect.Bottom--;
  Rect.Right--;
  for (int i = 0; i < Width; ++i) {
    Canvas->Pen()->SetColor(TopColor);
    Canvas->Polyline({TPoint{Rect.Left, Rect.Bottom}, TPoint{Rect.Left, Rect.Top}, TPoint{Rect.Right, Rect.Top}});
    Canvas->Pen()->SetColor(BottomColor);
    Canvas->Polyline(
        {TPoint{Rect.Right, Rect.Top}, TPoint{Rect.Right, Rect.Bottom}, TPoint{Rect.Left - 1, Rect.Bottom}});
    Rect.Inflate(-1, -1);
  }
  Rect.Bottom++;
  Rect.Right++;
}

TCustomPanel::TCustomPanel(TComponent* AOwner) : TCustomControl(AOwner) {
  ControlStyle_ = TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents,  csSetCaption,
                                csOpaque,          csDoubleClicks, csReplicatable, csParentBackground};
  SetBounds(0, 0, 185, 41);
  Color_ = clBtnFace;
  ParentColor_ = false;
}

void TCustomPanel::SetAlignment(TAlignment v) {
  if (Alignment_ == v) return;
  Alignment_ = v;
  Invalidate();
}

void TCustomPanel::SetBevelInner(TBevelCut v) {
  if (BevelInner_ == v) return;
  BevelInner_ = v;
  Realign();
  Invalidate();
}

void TCustomPanel::SetBevelOuter(TBevelCut v) {
  if (BevelOuter_ == v) return;
  BevelOuter_ = v;
  Realign();
  Invalidate();
}

void TCustomPanel::SetBevelWidth(TBevelWidth v) {
  if (v < 1 || BevelWidth_ == v) return;
  BevelWidth_ = v;
  Realign();
  Invalidate();
}

void TCustomPanel::SetBorderStyle(TBorderStyle v) {
  if (BorderStyle_ == v) return;
  BorderStyle_ = v;
  if (HandleAllocated()) RecreateWnd();
}

void TCustomPanel::CreateParams(TCreateParams& Params) {
  TCustomControl::CreateParams(Params);
  if (BorderStyle_ == bsSingle) {
    if (Ctl3D_)
      Params.ExStyle |= WS_EX_CLIENTEDGE;
    else
      Params.Style |= WS_BORDER;
  }
  Params.WindowClass.style &= ~(CS_HREDRAW | CS_VREDRAW);
}

void TCustomPanel::AdjustClientRect(TRect& Rect) {
  TCustomControl::AdjustClientRect(Rect);
  Rect.Inflate(-BorderWidth_, -BorderWidth_);
  int bevel = 0;
  if (BevelOuter_ != bvNone) bevel += BevelWidth_;
  if (BevelInner_ != bvNone) bevel += BevelWidth_;
  Rect.Inflate(-bevel, -bevel);
}

void TCustomPanel::Paint() {
  TRect r = ClientRect();
  auto colors = [](TBevelCut cut, TColor& top, TColor& bottom) {
    top = cut == bvLowered ? clBtnShadow : clBtnHighlight;
    bottom = cut == bvLowered ? clBtnHighlight : clBtnShadow;
  };
  TColor top, bottom;
  if (BevelOuter_ != bvNone) {
    colors(BevelOuter_, top, bottom);
    Frame3D(Canvas_, r, top, bottom, BevelWidth_);
  }
  // The border lies between the two bevels, in the panel's colour.
  Frame3D(Canvas_, r, Color_, Color_, BorderWidth_);
  if (BevelInner_ != bvNone) {
    colors(BevelInner_, top, bottom);
    Frame3D(Canvas_, r, top, bottom, BevelWidth_);
  }
  Canvas_->Brush()->SetStyle(bsSolid);
  Canvas_->Brush()->SetColor(Color_);
  Canvas_->FillRect(r);
  const std::string text = Caption();
  if (text.empty()) return;
  Canvas_->Brush()->SetStyle(bsClear);
  Canvas_->Font()->Assign(Font_);
  HDC dc = Canvas_->Handle();
  SetBkMode(dc, TRANSPARENT);
  RECT tr{r.Left, r.Top, r.Right, r.Bottom};
  UINT flags = DrawTextBiDiModeFlags(DT_EXPANDTABS | DT_VCENTER | DT_SINGLELINE | AlignmentDrawFlags(Alignment_));
  DrawTextA(dc, text.c_str(), -1, &tr, flags);
}

void TCustomPanel::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case CM_TEXTCHANGED:
    case CM_FONTCHANGED:
      TCustomControl::Dispatch(Message);
      Invalidate();
      return;
    case CM_BORDERCHANGED:
      TCustomControl::Dispatch(Message);
      Invalidate();
      return;
    default: TCustomControl::Dispatch(Message);
  }
}

static const bool kPanelProps = RegisterProperties<TCustomPanel, TCustomControl>([](auto& p) {
  p.Str("Caption", &TCustomPanel::Caption, &TCustomPanel::SetCaption);
  p.Ord("Alignment", &TCustomPanel::Alignment, &TCustomPanel::SetAlignment);
  p.Ord("BevelInner", &TCustomPanel::BevelInner, &TCustomPanel::SetBevelInner);
  p.Ord("BevelOuter", &TCustomPanel::BevelOuter, &TCustomPanel::SetBevelOuter);
  p.Ord("BevelWidth", &TCustomPanel::BevelWidth, &TCustomPanel::SetBevelWidth);
  p.Ord("BorderStyle", &TCustomPanel::BorderStyle, &TCustomPanel::SetBorderStyle);
});
