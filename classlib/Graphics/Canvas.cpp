// TCanvas: drawing on a DC with the canvas's font, pen and brush selected on demand.
#include "classlib/Graphics.h"

// ---- TCanvas ----------------------------------------------------------------------------------

TCanvas::TCanvas() {
  Font_ = Create<TFont>();
  Font_->OnChange = MakeMethod<&TCanvas::FontChanged>(this);
  Pen_ = Create<TPen>();
  Pen_->OnChange = MakeMethod<&TCanvas::PenChanged>(this);
  Brush_ = Create<TBrush>();
  Brush_->OnChange = MakeMethod<&TCanvas::BrushChanged>(this);
}

TCanvas::~TCanvas() {
  SetHandle(nullptr);
  FreeAndNil(Font_);
  FreeAndNil(Pen_);
  FreeAndNil(Brush_);
}

HDC TCanvas::Handle() {
  RequiredState(csAllValid);
  return Handle_;
}

void TCanvas::SetHandle(HDC dc) {
  if (dc == Handle_) return;
  if (Handle_) DeselectHandles();
  Handle_ = dc;
  State_ = dc ? TCanvasState(csHandleValid) : 0u;
}

void TCanvas::RequiredState(TCanvasState required) {
  TCanvasState needed = required & ~State_;
  if (!needed) return;
  if (needed & csHandleValid) {
    CreateHandle();
    if (!Handle_) throw EInvalidOperation("Canvas does not allow drawing");
  }
  if (needed & csFontValid) CreateFont();
  if (needed & csPenValid) CreatePen();
  if (needed & csBrushValid) CreateBrush();
  State_ |= needed;
}

void TCanvas::CreateFont() {
  HGDIOBJ prev = SelectObject(Handle_, Font_->Handle());
  if (!OldFont_) OldFont_ = prev;
  COLORREF c = SetTextColor(Handle_, ColorToRGB(Font_->Color()));
  if (!SavedText_) {
    OldTextColor_ = c;
    SavedText_ = true;
  }
}

void TCanvas::CreatePen() {
  HGDIOBJ prev = SelectObject(Handle_, Pen_->Handle());
  if (!OldPen_) OldPen_ = prev;
  int rop = SetROP2(Handle_, PenModeToROP2(Pen_->Mode()));
  if (!SavedRop_) {
    OldRop2_ = rop;
    SavedRop_ = true;
  }
}

void TCanvas::CreateBrush() {
  HGDIOBJ prev = SelectObject(Handle_, Brush_->Handle());
  if (!OldBrush_) OldBrush_ = prev;
  if (!SavedBk_) {
    OldBkColor_ = GetBkColor(Handle_);
    OldBkMode_ = GetBkMode(Handle_);
    SavedBk_ = true;
  }
  if (Brush_->Style() == bsClear) {
    SetBkMode(Handle_, TRANSPARENT);
  } else {
    SetBkColor(Handle_, ColorToRGB(Brush_->Color()));
    SetBkMode(Handle_, OPAQUE);
  }
}

void TCanvas::DeselectHandles() {
  if (Handle_) {
    if (OldFont_) SelectObject(Handle_, OldFont_);
    if (OldPen_) SelectObject(Handle_, OldPen_);
    if (OldBrush_) SelectObject(Handle_, OldBrush_);
    if (SavedText_) SetTextColor(Handle_, OldTextColor_);
    if (SavedBk_) {
      SetBkColor(Handle_, OldBkColor_);
      SetBkMode(Handle_, OldBkMode_);
    }
    if (SavedRop_) SetROP2(Handle_, OldRop2_);
  }
  OldFont_ = OldPen_ = OldBrush_ = nullptr;
  SavedText_ = SavedBk_ = SavedRop_ = false;
  State_ &= ~(csFontValid | csPenValid | csBrushValid);
}

void TCanvas::FontChanged(TObject*) {
  if (State_ & csFontValid) {
    State_ &= ~csFontValid;
    SelectObject(Handle_, OldFont_);
  }
}
void TCanvas::PenChanged(TObject*) {
  if (State_ & csPenValid) {
    State_ &= ~csPenValid;
    SelectObject(Handle_, OldPen_);
  }
}
void TCanvas::BrushChanged(TObject*) {
  if (State_ & csBrushValid) {
    State_ &= ~csBrushValid;
    SelectObject(Handle_, OldBrush_);
  }
}

void TCanvas::Refresh() { DeselectHandles(); }

void TCanvas::Changing() { OnChanging(this); }
void TCanvas::Changed() { OnChange(this); }

TPoint TCanvas::PenPos() {
  RequiredState(csHandleValid);
  POINT p{};
  GetCurrentPositionEx(Handle_, &p);
  return TPoint{int(p.x), int(p.y)};
}

TColor TCanvas::Pixels(int x, int y) {
  RequiredState(csHandleValid);
  COLORREF c = GetPixel(Handle_, x, y);
  return c == CLR_INVALID ? clNone : TColor(c);
}

void TCanvas::SetPixels(int x, int y, TColor color) {
  Changing();
  RequiredState(csHandleValid | csPenValid);
  SetPixel(Handle_, x, y, ColorToRGB(color));
  Changed();
}

TRect TCanvas::ClipRect() {
  RequiredState(csHandleValid);
  RECT r{};
  GetClipBox(Handle_, &r);
  return FromRECT(r);
}

void TCanvas::MoveTo(int x, int y) {
  RequiredState(csHandleValid);
  MoveToEx(Handle_, x, y, nullptr);
}

void TCanvas::LineTo(int x, int y) {
  Changing();
  RequiredState(csHandleValid | csPenValid | csBrushValid);
  ::LineTo(Handle_, x, y);
  Changed();
}

void TCanvas::FillRect(const TRect& r) {
  Changing();
  RequiredState(csHandleValid | csBrushValid);
  ::FillRect(Handle_, AsRECT(&r), Brush_->Handle());
  Changed();
}

void TCanvas::FrameRect(const TRect& r) {
  Changing();
  RequiredState(csHandleValid | csBrushValid);
  ::FrameRect(Handle_, AsRECT(&r), Brush_->Handle());
  Changed();
}

void TCanvas::Rectangle(int x1, int y1, int x2, int y2) {
  Changing();
  RequiredState(csHandleValid | csPenValid | csBrushValid);
  ::Rectangle(Handle_, x1, y1, x2, y2);
  Changed();
}

void TCanvas::RoundRect(int x1, int y1, int x2, int y2, int x3, int y3) {
  Changing();
  RequiredState(csHandleValid | csPenValid | csBrushValid);
  ::RoundRect(Handle_, x1, y1, x2, y2, x3, y3);
  Changed();
}

void TCanvas::Ellipse(int x1, int y1, int x2, int y2) {
  Changing();
  RequiredState(csHandleValid | csPenValid | csBrushValid);
  ::Ellipse(Handle_, x1, y1, x2, y2);
  Changed();
}

void TCanvas::Pie(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) {
  Changing();
  RequiredState(csHandleValid | csPenValid | csBrushValid);
  ::Pie(Handle_, x1, y1, x2, y2, x3, y3, x4, y4);
  Changed();
}

void TCanvas::Polygon(std::span<const TPoint> points) {
  if (points.empty()) return;
  Changing();
  RequiredState(csHandleValid | csPenValid | csBrushValid);
  ::Polygon(Handle_, reinterpret_cast<const POINT*>(points.data()), int(points.size()));
  Changed();
}

void TCanvas::Polyline(std::span<const TPoint> points) {
  if (points.empty()) return;
  Changing();
  RequiredState(csHandleValid | csPenValid | csBrushValid);
  ::Polyline(Handle_, reinterpret_cast<const POINT*>(points.data()), int(points.size()));
  Changed();
}

void TCanvas::DrawFocusRect(const TRect& r) {
  Changing();
  RequiredState(csHandleValid | csBrushValid);
  ::DrawFocusRect(Handle_, AsRECT(&r));
  Changed();
}

void TCanvas::TextOut(int x, int y, const std::string& text) {
  Changing();
  RequiredState(csHandleValid | csFontValid | csBrushValid);
  ExtTextOutA(Handle_, x, y, 0, nullptr, text.data(), UINT(text.size()), nullptr);
  SIZE size{};
  GetTextExtentPoint32A(Handle_, text.data(), int(text.size()), &size);
  MoveToEx(Handle_, x + size.cx, y, nullptr);
  Changed();
}

void TCanvas::TextRect(const TRect& r, int x, int y, const std::string& text) {
  Changing();
  RequiredState(csHandleValid | csFontValid | csBrushValid);
  UINT options = ETO_CLIPPED;
  if (Brush_->Style() != bsClear) options |= ETO_OPAQUE;
  ExtTextOutA(Handle_, x, y, options, AsRECT(&r), text.data(), UINT(text.size()), nullptr);
  Changed();
}

TSize TCanvas::TextExtent(const std::string& text) {
  RequiredState(csHandleValid | csFontValid);
  SIZE size{};
  GetTextExtentPoint32A(Handle_, text.data(), int(text.size()), &size);
  return TSize{int(size.cx), int(size.cy)};
}

void TCanvas::Draw(int x, int y, TGraphic* graphic) {
  if (!graphic || graphic->Empty()) return;
  StretchDraw(Bounds(x, y, graphic->Width(), graphic->Height()), graphic);
}

void TCanvas::StretchDraw(const TRect& r, TGraphic* graphic) {
  if (!graphic || graphic->Empty()) return;
  Changing();
  RequiredState(csAllValid);
  graphic->Draw(this, r);
  Changed();
}

void TCanvas::CopyRect(const TRect& dest, TCanvas* source, const TRect& sourceRect) {
  if (!source) return;
  Changing();
  RequiredState(csHandleValid | csFontValid | csBrushValid);
  source->RequiredState(csHandleValid | csBrushValid);
  int oldMode = SetStretchBltMode(Handle_, COLORONCOLOR);
  StretchBlt(Handle_, dest.Left, dest.Top, dest.Width(), dest.Height(), source->Handle_, sourceRect.Left,
             sourceRect.Top, sourceRect.Width(), sourceRect.Height(), CopyMode_);
  SetStretchBltMode(Handle_, oldMode);
  Changed();
}
