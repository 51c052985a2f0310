// TCustomLabel and the alignment flags of drawn text.
#include "classlib/StdCtrls.h"

#include <algorithm>
#include <cstring>

#include "classlib/GdiScopes.h"
#include "classlib/StdCtrls/Internal.h"
#include "classlib/core/TypInfo.h"

using namespace stdctrls_impl;

UINT AlignmentDrawFlags(TAlignment a) {
  switch (a) {
    case taRightJustify: return DT_RIGHT;
    case taCenter: return DT_CENTER;
    default: return DT_LEFT;
  }
}

// ---- TCustomLabel -----------------------------------------------------------------------------

namespace {

// How far the ink of a single-line text drawn from x = 0 reaches past its advance, in the font
// selected into Dc. Glyphs may reach past their advance (italics, negative right bearings), and
// the rasterizer may place glyphs a little off the sum of the advances that measuring gives: a
// label sized to the advance alone would cut its last glyph.
int InkOverhang(HDC Dc, const std::string& Text, UINT Flags, int Advance, int Height) {
  if (Text.empty() || Advance <= 0 || Height <= 0) return 0;
  const int width = Advance + Height;  // room for any overhang a glyph of this height can have
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  bi.bmiHeader.biWidth = width;
  bi.bmiHeader.biHeight = -Height;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  bi.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  GdiObject<HBITMAP> bmp(CreateDIBSection(Dc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!bmp || !bits) return 0;
  MemoryDC mem(Dc, bmp);
  if (!mem) return 0;
  SelectedObject font(mem, GetCurrentObject(Dc, OBJ_FONT));
  PatBlt(mem, 0, 0, width, Height, WHITENESS);
  SetTextColor(mem, RGB(0, 0, 0));
  SetBkMode(mem, TRANSPARENT);
  RECT r{0, 0, width, Height};
  DrawTextA(mem, Text.c_str(), -1, &r, (Flags & ~(DT_CALCRECT | DT_RIGHT | DT_CENTER | DT_RTLREADING)) | DT_NOCLIP);
  GdiFlush();
  const auto* px = static_cast<const DWORD*>(bits);
  for (int x = width - 1; x >= Advance; --x)
    for (int y = 0; y < Height; ++y)
      if ((px[y * width + x] & 0xFFFFFF) != 0xFFFFFF) return x + 1 - Advance;
  return 0;
}

}  // namespace

TCustomLabel::TCustomLabel(TComponent* AOwner) : TGraphicControl(AOwner) {
  ControlStyle_ += TControlStyle{csOpaque, csReplicatable};
  SetBounds(0, 0, 65, 17);
  AutoSize_ = true;
}

void TCustomLabel::SetAlignment(TAlignment v) {
  if (Alignment_ == v) return;
  Alignment_ = v;
  Invalidate();
}

void TCustomLabel::SetAutoSize(bool v) {
  if (AutoSize_ == v) return;
  AutoSize_ = v;
  AdjustBounds();
}

void TCustomLabel::SetShowAccelChar(bool v) {
  if (ShowAccelChar_ == v) return;
  ShowAccelChar_ = v;
  AdjustBounds();
  Invalidate();
}

void TCustomLabel::SetTransparent(bool v) {
  if (Transparent() == v) return;
  ControlStyle_.Set(csOpaque, !v);
  Invalidate();
}

void TCustomLabel::SetLayout(TTextLayout v) {
  if (Layout_ == v) return;
  Layout_ = v;
  Invalidate();
}

void TCustomLabel::SetWordWrap(bool v) {
  if (WordWrap_ == v) return;
  WordWrap_ = v;
  AdjustBounds();
  Invalidate();
}

void TCustomLabel::SetEllipsisPosition(TEllipsisPosition v) {
  if (EllipsisPosition_ == v) return;
  EllipsisPosition_ = v;
  AutoSize_ = false;
  Invalidate();
}

void TCustomLabel::SetFocusControl(TWinControl* v) {
  FocusControl_ = v;
  if (v) v->FreeNotification(this);
}

void TCustomLabel::Notification(TComponent* AComponent, TOperation Operation) {
  TGraphicControl::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FocusControl_) FocusControl_ = nullptr;
}

void TCustomLabel::Loaded() {
  TGraphicControl::Loaded();
  AdjustBounds();
}

void TCustomLabel::DoDrawText(TRect& Rect, UINT Flags) {
  std::string text = GetLabelText();
  if ((Flags & DT_CALCRECT) && (text.empty() || (ShowAccelChar_ && text == "&"))) text += ' ';
  if (!ShowAccelChar_) Flags |= DT_NOPREFIX;
  if (!(Flags & DT_CALCRECT)) {
    switch (EllipsisPosition_) {
      case epPathEllipsis: Flags |= DT_PATH_ELLIPSIS; break;
      case epEndEllipsis: Flags |= DT_END_ELLIPSIS; break;
      case epWordEllipsis: Flags |= DT_WORD_ELLIPSIS; break;
      default: break;
    }
  }
  Flags = DrawTextBiDiModeFlags(Flags);
  Canvas_->Font()->Assign(Font_);
  RECT r{Rect.Left, Rect.Top, Rect.Right, Rect.Bottom};
  if (!Enabled()) {
    OffsetRect(&r, 1, 1);
    Canvas_->Font()->SetColor(clBtnHighlight);
    ::DrawTextA(Canvas_->Handle(), text.c_str(), -1, &r, Flags);
    OffsetRect(&r, -1, -1);
    Canvas_->Font()->SetColor(clBtnShadow);
  }
  ::DrawTextA(Canvas_->Handle(), text.c_str(), -1, &r, Flags);
  // DT_CALCRECT gives back the measured rectangle.
  Rect = FromRECT(r);
}

void TCustomLabel::Paint() {
  TRect rect = ClientRect();
  if (!Transparent()) {
    Canvas_->Brush()->SetColor(Color_);
    Canvas_->Brush()->SetStyle(bsSolid);
    Canvas_->FillRect(rect);
  }
  Canvas_->Brush()->SetStyle(bsClear);
  HDC dc = Canvas_->Handle();
  SetBkMode(dc, TRANSPARENT);
  UINT flags = DT_EXPANDTABS | (WordWrap_ ? DT_WORDBREAK : 0) | AlignmentDrawFlags(Alignment_);
  // The text is placed in its advance, whatever the alignment; its ink reaches into the rest.
  if (AutoSize_ && !WordWrap_ && FInkOverhang > 0) {
    rect.Right -= std::min(FInkOverhang, rect.Right);
    flags |= DT_NOCLIP;
  }
  if (Layout_ != tlTop) {
    TRect calc = rect;
    DoDrawText(calc, flags | DT_CALCRECT);
    if (Layout_ == tlBottom)
      rect.Offset(0, Height_ - calc.Bottom);
    else
      rect.Offset(0, (Height_ - calc.Bottom) / 2);
  }
  DoDrawText(rect, flags);
}

namespace {

bool SameLogFont(const LOGFONTA& a, const LOGFONTA& b) {
  return a.lfHeight == b.lfHeight && a.lfWidth == b.lfWidth && a.lfEscapement == b.lfEscapement &&
         a.lfOrientation == b.lfOrientation && a.lfWeight == b.lfWeight && a.lfItalic == b.lfItalic &&
         a.lfUnderline == b.lfUnderline && a.lfStrikeOut == b.lfStrikeOut && a.lfCharSet == b.lfCharSet &&
         a.lfOutPrecision == b.lfOutPrecision && a.lfClipPrecision == b.lfClipPrecision && a.lfQuality == b.lfQuality &&
         a.lfPitchAndFamily == b.lfPitchAndFamily && std::strncmp(a.lfFaceName, b.lfFaceName, LF_FACESIZE) == 0;
}

}  // namespace

void TCustomLabel::AdjustBounds() {
  if (Loading() || !AutoSize_) return;
  TRect rect = ClientRect();
  if (!WordWrap_) rect.Right = rect.Left + 0x7FFF;
  const UINT flags = DT_EXPANDTABS | DT_CALCRECT | (WordWrap_ ? DT_WORDBREAK : 0);
  // The same text in the same font measures the same: a change of colour alone (the program's or
  // the skin's) lays out nothing, however long the text. A wrapped text measures the same at the
  // width it was given and at the width it took (its lines break at the same words).
  std::string text = GetLabelText();
  const LOGFONTA font = Font_->LogFont();
  const UINT drawFlags = DrawTextBiDiModeFlags(flags) | (ShowAccelChar_ ? 0 : DT_NOPREFIX);
  const int wrapWidth = WordWrap_ ? rect.Right - rect.Left : 0;
  TLaidOutText& last = FLaidOut;
  if (!last.Valid || last.Text != text || !SameLogFont(last.Font, font) || last.Flags != drawFlags ||
      (wrapWidth != last.WrapWidth && wrapWidth != last.Width) || last.Enabled != Enabled()) {
    ScreenDC dc;
    CanvasOnDC bound(Canvas_, dc);
    DoDrawText(rect, flags);
    FInkOverhang = WordWrap_ || text.find('\n') != std::string::npos
                       ? 0
                       : InkOverhang(Canvas_->Handle(), text, DT_EXPANDTABS | (ShowAccelChar_ ? 0 : DT_NOPREFIX),
                                     rect.Right - rect.Left, rect.Bottom - rect.Top);
    last = TLaidOutText{std::move(text),        font,         drawFlags, wrapWidth, Enabled(), rect.Right - rect.Left,
                        rect.Bottom - rect.Top, FInkOverhang, true};
  } else {
    FInkOverhang = last.InkOverhang;
    rect = Rect(rect.Left, rect.Top, rect.Left + last.Width, rect.Top + last.Height);
  }
  rect.Right += FInkOverhang;
  int x = Left_;
  TAlignment a = Alignment_;
  if (UseRightToLeftAlignment()) a = a == taLeftJustify ? taRightJustify : a == taRightJustify ? taLeftJustify : a;
  if (a == taRightJustify) x += Width_ - rect.Right;
  SetBounds(x, Top_, rect.Right, rect.Bottom);
}

void TCustomLabel::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case CM_TEXTCHANGED:
      Invalidate();
      AdjustBounds();
      TGraphicControl::Dispatch(Message);
      return;
    case CM_FONTCHANGED:
      TGraphicControl::Dispatch(Message);
      AdjustBounds();
      return;
    case CM_DIALOGCHAR:
      if (!FocusByAccel(Message)) TGraphicControl::Dispatch(Message);
      return;
    default: TGraphicControl::Dispatch(Message);
  }
}

// The caption's accelerator focuses the label's FocusControl; true when it did.
bool TCustomLabel::FocusByAccel(TMessage& Message) {
  if (!FocusControl_ || !Enabled() || !ShowAccelChar_ || !IsAccel(Message.WParam, Caption()) ||
      !FocusControl_->CanFocus())
    return false;
  FocusControl_->SetFocus();
  Message.Result = 1;
  return true;
}

// ---- published properties ----------------------------------------------------------------------

static const bool kCustomLabelProps = RegisterProperties<TCustomLabel, TGraphicControl>([](auto& p) {
  p.Str("Caption", &TCustomLabel::Caption, &TCustomLabel::SetCaption);
  p.Ord("Alignment", &TCustomLabel::Alignment, &TCustomLabel::SetAlignment);
  p.Ord("ShowAccelChar", &TCustomLabel::ShowAccelChar, &TCustomLabel::SetShowAccelChar);
  p.Ord("Transparent", &TCustomLabel::Transparent, &TCustomLabel::SetTransparent);
  p.Ord("Layout", &TCustomLabel::Layout, &TCustomLabel::SetLayout);
  p.Ord("WordWrap", &TCustomLabel::WordWrap, &TCustomLabel::SetWordWrap);
  p.Ord("EllipsisPosition", &TCustomLabel::EllipsisPosition, &TCustomLabel::SetEllipsisPosition);
  p.Obj("FocusControl", &TCustomLabel::FocusControl, &TCustomLabel::SetFocusControl);
});
