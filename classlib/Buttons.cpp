#include "classlib/Buttons.h"

#include <algorithm>

#include "classlib/ActnList.h"
#include "classlib/GdiScopes.h"
#include "classlib/core/ButtonGlyph.h"
#include "classlib/core/TypInfo.h"

void CalcButtonLayout(const TRect& Client, TSize GlyphSize, TSize TextSize, TButtonLayout Layout, int Margin,
                      int Spacing, TPoint& GlyphPos, TRect& TextBounds) {
  const int cx = Client.Width(), cy = Client.Height();
  TPoint text{};
  const bool horizontal = Layout == blGlyphLeft || Layout == blGlyphRight;
  if (horizontal) {
    GlyphPos.Y = (cy - GlyphSize.cy + 1) / 2;
    text.Y = (cy - TextSize.cy + 1) / 2;
  } else {
    GlyphPos.X = (cx - GlyphSize.cx + 1) / 2;
    text.X = (cx - TextSize.cx + 1) / 2;
  }
  if (TextSize.cx == 0 || GlyphSize.cx == 0) Spacing = 0;
  if (Margin == -1) {
    if (Spacing == -1) {
      const int total = horizontal ? GlyphSize.cx + TextSize.cx : GlyphSize.cy + TextSize.cy;
      Margin = ((horizontal ? cx : cy) - total) / 3;
      Spacing = Margin;
    } else {
      const int total = horizontal ? GlyphSize.cx + Spacing + TextSize.cx : GlyphSize.cy + Spacing + TextSize.cy;
      Margin = ((horizontal ? cx : cy) - total + 1) / 2;
    }
  } else if (Spacing == -1) {
    const int total = horizontal ? cx - (Margin + GlyphSize.cx) : cy - (Margin + GlyphSize.cy);
    Spacing = (total - (horizontal ? TextSize.cx : TextSize.cy)) / 2;
  }
  switch (Layout) {
    case blGlyphLeft:
      GlyphPos.X = Margin;
      text.X = GlyphPos.X + GlyphSize.cx + Spacing;
      break;
    case blGlyphRight:
      GlyphPos.X = cx - Margin - GlyphSize.cx;
      text.X = GlyphPos.X - Spacing - TextSize.cx;
      break;
    case blGlyphTop:
      GlyphPos.Y = Margin;
      text.Y = GlyphPos.Y + GlyphSize.cy + Spacing;
      break;
    case blGlyphBottom:
      GlyphPos.Y = cy - Margin - GlyphSize.cy;
      text.Y = GlyphPos.Y - Spacing - TextSize.cy;
      break;
  }
  GlyphPos.X += Client.Left;
  GlyphPos.Y += Client.Top;
  TextBounds = Bounds(text.X + Client.Left, text.Y + Client.Top, TextSize.cx, TextSize.cy);
}

void DrawGlyphFrame(HDC dc, TBitmap* glyph, int numGlyphs, int frame, int x, int y) {
  if (!glyph || glyph->Empty()) return;
  numGlyphs = std::clamp(numGlyphs, 1, 4);
  const int w = glyph->Width() / numGlyphs, h = glyph->Height();
  if (w <= 0) return;
  frame = std::clamp(frame, 0, numGlyphs - 1);
  const COLORREF key = ColorToRGB(glyph->TransparentColor());
  TransparentBlt(dc, x, y, w, h, glyph->Canvas()->Handle(), frame * w, 0, w, h, key);
}

namespace {

// A one-frame glyph in its disabled look: the glyph's ink greyed and embossed (see
// qv::MakeDisabledGlyph), drawn with the glyph's transparent colour left out.
void DrawDisabledGlyph(HDC dc, TBitmap* glyph, int x, int y) {
  const int w = glyph->Width(), h = glyph->Height();
  if (w <= 0 || h <= 0) return;
  const COLORREF key = ColorToRGB(glyph->TransparentColor());
  TBitmap source, look;
  source.SetPixelFormat(pf24bit);
  source.SetSize(w, h);
  look.SetPixelFormat(pf24bit);
  look.SetSize(w, h);
  BitBlt(source.Canvas()->Handle(), 0, 0, w, h, glyph->Canvas()->Handle(), 0, 0, SRCCOPY);
  GdiFlush();
  qv::MakeDisabledGlyph(source.ImageView(), qv::BgrOf(key), look.ImageView(),
                        qv::BgrOf(GetSysColor(COLOR_BTNHIGHLIGHT)), qv::BgrOf(GetSysColor(COLOR_BTNSHADOW)));
  TransparentBlt(dc, x, y, w, h, look.Canvas()->Handle(), 0, 0, w, h, key);
}

// Glyph and caption of a button in Client of dc (already in the font to use).
void DrawGlyphAndCaption(HDC dc, const TRect& Client, TBitmap* glyph, int numGlyphs, TButtonState state,
                         const std::string& caption, TButtonLayout layout, int margin, int spacing, bool rtl) {
  TSize gs{};
  if (!glyph->Empty()) gs = TSize{glyph->Width() / std::clamp(numGlyphs, 1, 4), glyph->Height()};
  TSize ts{};
  if (!caption.empty()) {
    RECT r{0, 0, Client.Width(), 0};
    DrawTextA(dc, caption.c_str(), -1, &r, DT_CALCRECT | DT_SINGLELINE);
    ts = TSize{r.right - r.left, r.bottom - r.top};
  }
  if (rtl) layout = layout == blGlyphLeft ? blGlyphRight : layout == blGlyphRight ? blGlyphLeft : layout;
  TPoint gp{};
  TRect tb{};
  CalcButtonLayout(Client, gs, ts, layout, margin, spacing, gp, tb);
  int frame = 0;
  const int n = std::clamp(numGlyphs, 1, 4);
  if (state == bsDisabled && n > 1) frame = 1;
  if (state == bsDown && n > 2) frame = 2;
  if (state == bsExclusive && n > 3) frame = 3;
  if (state == bsDisabled && n == 1)
    DrawDisabledGlyph(dc, glyph, gp.X, gp.Y);
  else
    DrawGlyphFrame(dc, glyph, n, frame, gp.X, gp.Y);
  if (caption.empty()) return;
  SetBkMode(dc, TRANSPARENT);
  RECT r{tb.Left, tb.Top, tb.Right, tb.Bottom};
  const UINT flags = DT_CENTER | DT_VCENTER | DT_SINGLELINE | (rtl ? DT_RTLREADING : 0);
  if (state == bsDisabled) {
    OffsetRect(&r, 1, 1);
    SetTextColor(dc, GetSysColor(COLOR_BTNHIGHLIGHT));
    DrawTextA(dc, caption.c_str(), -1, &r, flags);
    OffsetRect(&r, -1, -1);
    SetTextColor(dc, GetSysColor(COLOR_BTNSHADOW));
  }
  DrawTextA(dc, caption.c_str(), -1, &r, flags);
}

}  // namespace

// ---- TBitBtn ----------------------------------------------------------------------------------

TBitBtn::TBitBtn(TComponent* AOwner) : TButton(AOwner) {
  Glyph_ = new TBitmap();
  Glyph_->OnChange = MakeMethod<&TBitBtn::GlyphChanged>(this);
}

TBitBtn::~TBitBtn() { delete Glyph_; }

void TBitBtn::GlyphChanged(TObject*) {
  if (!Glyph_->Empty() && Glyph_->Height() > 0 && Glyph_->Width() % Glyph_->Height() == 0) {
    int n = Glyph_->Width() / Glyph_->Height();
    NumGlyphs_ = n > 4 ? 1 : n;
  }
  Invalidate();
}

void TBitBtn::SetNumGlyphs(TNumGlyphs v) {
  v = std::clamp(v, 1, 4);
  if (NumGlyphs_ == v) return;
  NumGlyphs_ = v;
  Invalidate();
}

void TBitBtn::SetLayout(TButtonLayout v) {
  if (Layout_ == v) return;
  Layout_ = v;
  Invalidate();
}

void TBitBtn::SetMargin(int v) {
  if (Margin_ == v || v < -1) return;
  Margin_ = v;
  Invalidate();
}

void TBitBtn::SetSpacing(int v) {
  if (Spacing_ == v) return;
  Spacing_ = v;
  Invalidate();
}

void TBitBtn::CreateParams(TCreateParams& Params) {
  TButton::CreateParams(Params);
  Params.Style = (Params.Style & ~static_cast<DWORD>(BS_TYPEMASK)) | BS_OWNERDRAW;
}

void TBitBtn::SetButtonStyle(bool ADefault) {
  // The window stays owner-drawn; the default frame is part of the drawing.
  if (ADefault == IsFocused_) return;
  IsFocused_ = ADefault;
  Invalidate();
}

void TBitBtn::DrawItem(const DRAWITEMSTRUCT& dis) {
  HDC dc = dis.hDC;
  const bool down = (dis.itemState & ODS_SELECTED) != 0;
  const bool focused = (dis.itemState & ODS_FOCUS) != 0;
  RECT r{0, 0, Width_, Height_};
  if (IsFocused_ || focused) {
    FrameRect(dc, &r, GetSysColorBrush(COLOR_WINDOWFRAME));
    InflateRect(&r, -1, -1);
  }
  UINT flags = DFCS_BUTTONPUSH | DFCS_ADJUSTRECT;
  if (down) flags |= DFCS_PUSHED;
  if (dis.itemState & ODS_DISABLED) flags |= DFCS_INACTIVE;
  DrawFrameControl(dc, &r, DFC_BUTTON, flags);
  if (down) OffsetRect(&r, 1, 1);
  {
    SelectedObject font(dc, Font_->Handle());
    SetTextColor(dc, ColorToRGB(Font_->Color()));
    TButtonState state = !Enabled() ? bsDisabled : down ? bsDown : bsUp;
    DrawGlyphAndCaption(dc, TRect{r.left, r.top, r.right, r.bottom}, Glyph_, NumGlyphs_, state, Caption(), Layout_,
                        Margin_, Spacing_, UseRightToLeftAlignment());
  }
  if (focused && IsFocused_) {
    RECT fr{0, 0, Width_, Height_};
    InflateRect(&fr, -4, -4);
    DrawFocusRect(dc, &fr);
  }
}

void TBitBtn::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case CN_DRAWITEM:
      DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(Message.LParam));
      Message.Result = 1;
      return;
    case CM_FONTCHANGED:
    case CM_TEXTCHANGED:
    case CM_ENABLEDCHANGED:
      TButton::Dispatch(Message);
      Invalidate();
      return;
    default: TButton::Dispatch(Message);
  }
}

// ---- TSpeedButton -----------------------------------------------------------------------------

TSpeedButton::TSpeedButton(TComponent* AOwner) : TGraphicControl(AOwner) {
  ControlStyle_ = TControlStyle{csCaptureMouse, csDoubleClicks};
  SetBounds(0, 0, 23, 22);
  Color_ = clBtnFace;
  Glyph_ = new TBitmap();
  Glyph_->OnChange = MakeMethod<&TSpeedButton::GlyphChanged>(this);
}

TSpeedButton::~TSpeedButton() { delete Glyph_; }

void TSpeedButton::GlyphChanged(TObject*) {
  if (!Glyph_->Empty() && Glyph_->Height() > 0 && Glyph_->Width() % Glyph_->Height() == 0) {
    int n = Glyph_->Width() / Glyph_->Height();
    NumGlyphs_ = n > 4 ? 1 : n;
  }
  Invalidate();
}

void TSpeedButton::SetDown(bool v) {
  if (GroupIndex_ == 0) v = false;
  if (v == Down_) return;
  if (Down_ && !AllowAllUp_) return;
  Down_ = v;
  if (v) {
    if (State_ == bsUp) Invalidate();
    State_ = bsExclusive;
  } else {
    State_ = bsUp;
    Repaint();
  }
  if (v) UpdateExclusive();
}

void TSpeedButton::SetGroupIndex(int v) {
  if (GroupIndex_ == v) return;
  GroupIndex_ = v;
  UpdateExclusive();
}

void TSpeedButton::SetAllowAllUp(bool v) {
  if (AllowAllUp_ == v) return;
  AllowAllUp_ = v;
  UpdateExclusive();
}

void TSpeedButton::SetFlat(bool v) {
  if (Flat_ == v) return;
  Flat_ = v;
  Invalidate();
}

void TSpeedButton::SetLayout(TButtonLayout v) {
  if (Layout_ == v) return;
  Layout_ = v;
  Invalidate();
}

void TSpeedButton::SetMargin(int v) {
  if (Margin_ == v || v < -1) return;
  Margin_ = v;
  Invalidate();
}

void TSpeedButton::SetSpacing(int v) {
  if (Spacing_ == v) return;
  Spacing_ = v;
  Invalidate();
}

void TSpeedButton::SetNumGlyphs(TNumGlyphs v) {
  v = std::clamp(v, 1, 4);
  if (NumGlyphs_ == v) return;
  NumGlyphs_ = v;
  Invalidate();
}

void TSpeedButton::SetTransparent(bool v) {
  if (Transparent_ == v) return;
  Transparent_ = v;
  ControlStyle_.Set(csOpaque, !v);
  Invalidate();
}

void TSpeedButton::UpdateExclusive() {
  if (GroupIndex_ == 0 || !Parent_) return;
  TMessage m =
      MakeMessage(CM_BUTTONPRESSED, static_cast<std::uintptr_t>(GroupIndex_), reinterpret_cast<std::intptr_t>(this));
  Parent_->Broadcast(m);
}

void TSpeedButton::Loaded() {
  TGraphicControl::Loaded();
  State_ = Enabled() ? (Down_ ? bsExclusive : bsUp) : bsDisabled;
}

void TSpeedButton::Click() { TGraphicControl::Click(); }

void TSpeedButton::ActionChange(TObject* Sender, bool CheckDefaults) {
  TGraphicControl::ActionChange(Sender, CheckDefaults);
  auto* a = dynamic_cast<TCustomAction*>(Sender);
  if (!a) return;
  if (GroupIndex_ != 0 && (!CheckDefaults || !Down_)) SetDown(a->Checked());
  // An empty glyph takes the action's image from the images of its list.
  TCustomImageList* images = a->ActionList() ? a->ActionList()->Images() : nullptr;
  if (Glyph_->Empty() && images && a->ImageIndex() >= 0 && a->ImageIndex() < images->Count()) {
    TBitmap image;
    image.SetSize(images->Width(), images->Height());
    image.Canvas()->Brush()->SetColor(clFuchsia);
    image.Canvas()->FillRect(Rect(0, 0, images->Width(), images->Height()));
    images->Draw(image.Canvas(), 0, 0, a->ImageIndex());
    Glyph_->Assign(&image);
  }
}

void TSpeedButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  auto alive = AliveToken();
  TGraphicControl::MouseDown(Button, Shift, X, Y);
  if (!*alive) return;
  if (Button == mbLeft && Enabled()) {
    if (!Down_) {
      State_ = bsDown;
      Invalidate();
    }
    Dragging_ = true;
  }
}

void TSpeedButton::MouseMove(TShiftState Shift, int X, int Y) {
  auto alive = AliveToken();
  TGraphicControl::MouseMove(Shift, X, Y);
  if (!*alive || !Dragging_) return;
  TButtonState s = Down_ ? bsExclusive : bsUp;
  if (X >= 0 && X < ClientWidth() && Y >= 0 && Y <= ClientHeight()) s = Down_ ? bsExclusive : bsDown;
  if (s != State_) {
    State_ = s;
    Invalidate();
  }
}

void TSpeedButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  auto alive = AliveToken();
  TGraphicControl::MouseUp(Button, Shift, X, Y);
  if (!*alive || !Dragging_) return;
  Dragging_ = false;
  const bool doClick = X >= 0 && X < ClientWidth() && Y >= 0 && Y <= ClientHeight();
  if (GroupIndex_ == 0) {
    State_ = bsUp;
    MouseInControl_ = doClick;
    Invalidate();
  } else if (doClick) {
    SetDown(!Down_);
    if (Down_) Repaint();
  } else {
    if (Down_) State_ = bsExclusive;
    Repaint();
  }
  if (doClick) Click();
}

void TSpeedButton::Paint() {
  if (!Enabled()) {
    State_ = bsDisabled;
    Dragging_ = false;
  } else if (State_ == bsDisabled) {
    State_ = Down_ && GroupIndex_ != 0 ? bsExclusive : bsUp;
  }
  HDC dc = Canvas_->Handle();
  RECT r{0, 0, Width_, Height_};
  const bool pressed = State_ == bsDown || State_ == bsExclusive;
  if (!Transparent_ || !Flat_) {
    GdiObject<HBRUSH> b(CreateSolidBrush(ColorToRGB(Color_)));
    FillRect(dc, &r, b);
  }
  if (!Flat_) {
    DrawFrameControl(dc, &r, DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_ADJUSTRECT | (pressed ? DFCS_PUSHED : 0));
  } else {
    if (pressed || (MouseInControl_ && State_ != bsDisabled))
      DrawEdge(dc, &r, pressed ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
    InflateRect(&r, -1, -1);
  }
  if (State_ == bsExclusive && (!Flat_ || !MouseInControl_)) {
    // The held-down look: a checkered face.
    WORD bits[8] = {0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA};
    GdiObject<HBITMAP> pattern(CreateBitmap(8, 8, 1, 1, bits));
    GdiObject<HBRUSH> b(CreatePatternBrush(pattern));
    COLORREF oldText = SetTextColor(dc, GetSysColor(COLOR_BTNFACE));
    COLORREF oldBk = SetBkColor(dc, GetSysColor(COLOR_BTNHIGHLIGHT));
    FillRect(dc, &r, b);
    SetTextColor(dc, oldText);
    SetBkColor(dc, oldBk);
  }
  if (pressed) OffsetRect(&r, 1, 1);
  Canvas_->Font()->Assign(Font_);
  dc = Canvas_->Handle();
  SetTextColor(dc, ColorToRGB(Font_->Color()));
  DrawGlyphAndCaption(dc, TRect{r.left, r.top, r.right, r.bottom}, Glyph_, NumGlyphs_, State_, Caption(), Layout_,
                      Margin_, Spacing_, UseRightToLeftAlignment());
}

void TSpeedButton::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case CM_BUTTONPRESSED:
      if (GroupButtonPressed(Message)) return;
      break;
    case CM_MOUSEENTER:
      TGraphicControl::Dispatch(Message);
      if (Enabled() && !MouseInControl_ && GetCaptureControl() == nullptr) {
        MouseInControl_ = true;
        if (Flat_) Invalidate();
      }
      return;
    case CM_MOUSELEAVE:
      TGraphicControl::Dispatch(Message);
      if (MouseInControl_ && Enabled() && !Dragging_) {
        MouseInControl_ = false;
        if (Flat_) Invalidate();
      }
      return;
    case CM_ENABLEDCHANGED:
      TGraphicControl::Dispatch(Message);
      if (!Enabled()) MouseInControl_ = false;
      Repaint();
      return;
    case CM_TEXTCHANGED:
    case CM_FONTCHANGED:
      TGraphicControl::Dispatch(Message);
      Invalidate();
      return;
    case CM_DIALOGCHAR:
      if (IsAccel(Message.WParam, Caption()) && Enabled() && Visible() && Parent_ && Parent_->Showing()) {
        Click();
        Message.Result = 1;
        return;
      }
      break;
    default: break;
  }
  TGraphicControl::Dispatch(Message);
}

// Another button of the group went down: this one comes up; true when the sender is of the group.
bool TSpeedButton::GroupButtonPressed(const TMessage& Message) {
  if (static_cast<int>(Message.WParam) != GroupIndex_) return false;
  auto* sender = dynamic_cast<TSpeedButton*>(reinterpret_cast<TControl*>(Message.LParam));
  if (!sender || sender == this) return false;
  if (sender->Down() && Down_) {
    Down_ = false;
    State_ = bsUp;
    if (auto* a = dynamic_cast<TCustomAction*>(Action_)) a->SetChecked(false);
    Invalidate();
  }
  AllowAllUp_ = sender->AllowAllUp();
  return true;
}

// ---- published properties ----------------------------------------------------------------------

static const bool kButtonsProps = [] {
  RegisterProperties<TBitBtn, TButton>([](auto& p) {
    p.Obj("Glyph", &TBitBtn::Glyph, &TBitBtn::SetGlyph);
    p.Ord("NumGlyphs", &TBitBtn::NumGlyphs, &TBitBtn::SetNumGlyphs);
    p.Ord("Layout", &TBitBtn::Layout, &TBitBtn::SetLayout);
    p.Ord("Margin", &TBitBtn::Margin, &TBitBtn::SetMargin);
    p.Ord("Spacing", &TBitBtn::Spacing, &TBitBtn::SetSpacing);
  });
  RegisterProperties<TSpeedButton, TGraphicControl>([](auto& p) {
    p.Str("Caption", &TSpeedButton::Caption, &TSpeedButton::SetCaption);
    p.Ord("Down", &TSpeedButton::Down, &TSpeedButton::SetDown);
    p.Ord("GroupIndex", &TSpeedButton::GroupIndex, &TSpeedButton::SetGroupIndex);
    p.Ord("AllowAllUp", &TSpeedButton::AllowAllUp, &TSpeedButton::SetAllowAllUp);
    p.Ord("Flat", &TSpeedButton::Flat, &TSpeedButton::SetFlat);
    p.Ord("Layout", &TSpeedButton::Layout, &TSpeedButton::SetLayout);
    p.Ord("Margin", &TSpeedButton::Margin, &TSpeedButton::SetMargin);
    p.Ord("Spacing", &TSpeedButton::Spacing, &TSpeedButton::SetSpacing);
    p.Ord("NumGlyphs", &TSpeedButton::NumGlyphs, &TSpeedButton::SetNumGlyphs);
    p.Obj("Glyph", &TSpeedButton::Glyph, &TSpeedButton::SetGlyph);
    p.Ord("Transparent", &TSpeedButton::Transparent, &TSpeedButton::SetTransparent);
  });
  return true;
}();
