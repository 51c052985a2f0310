#include "classlib/StdCtrls.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "classlib/Forms.h"
#include "classlib/GdiScopes.h"
#include "classlib/core/TypInfo.h"

UINT AlignmentDrawFlags(TAlignment a) {
  switch (a) {
    case taRightJustify: return DT_RIGHT;
    case taCenter: return DT_CENTER;
    default: return DT_LEFT;
  }
}

namespace {

// Whether the caption has '&' before the character (case-insensitive), as a dialog accelerator.
bool IsAccel(WPARAM key, const std::string& caption) {
  for (std::size_t i = 0; i + 1 < caption.size(); ++i) {
    if (caption[i] != '&') continue;
    if (caption[i + 1] == '&') {
      ++i;
      continue;
    }
    return CharUpperA(
               reinterpret_cast<LPSTR>(static_cast<std::uintptr_t>(static_cast<unsigned char>(caption[i + 1])))) ==
           CharUpperA(reinterpret_cast<LPSTR>(static_cast<std::uintptr_t>(key & 0xFF)));
  }
  return false;
}

// Colours of a static-like child: the control's font colour on its brush.
void AnswerCtlColor(TWinControl* c, TMessage& m) {
  HDC dc = reinterpret_cast<HDC>(m.WParam);
  SetTextColor(dc, ColorToRGB(c->Font()->Color()));
  SetBkColor(dc, ColorToRGB(c->Brush()->Color()));
  m.Result = reinterpret_cast<LRESULT>(c->Brush()->Handle());
}

}  // namespace

// ---- TButtonControl ---------------------------------------------------------------------------

TButtonControl::TButtonControl(TComponent* AOwner) : TWinControl(AOwner) {}

void TButtonControl::SetWordWrap(bool v) {
  if (WordWrap_ == v) return;
  WordWrap_ = v;
  if (HandleAllocated()) RecreateWnd();
}

void TButtonControl::CreateParams(TCreateParams& Params) {
  TWinControl::CreateParams(Params);
  CreateSubClass(Params, "BUTTON");
  if (WordWrap_) Params.Style |= BS_MULTILINE;
}

void TButtonControl::ActionChange(TObject* Sender, bool CheckDefaults) {
  TWinControl::ActionChange(Sender, CheckDefaults);
  if (auto* a = dynamic_cast<TCustomAction*>(Sender)) {
    if (!CheckDefaults || !Checked()) {
      bool old = ClicksDisabled_;
      ClicksDisabled_ = true;
      SetChecked(a->Checked());
      ClicksDisabled_ = old;
    }
  }
}

void TButtonControl::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case CN_CTLCOLORBTN:
    case CN_CTLCOLORSTATIC: AnswerCtlColor(this, Message); return;
    case WM_LBUTTONDBLCLK:
      // The native button turns a double click into its own notification.
      DefaultHandler(Message);
      return;
    default: TWinControl::Dispatch(Message);
  }
}

// ---- TButton ----------------------------------------------------------------------------------

TButton::TButton(TComponent* AOwner) : TButtonControl(AOwner) {
  ControlStyle_ = TControlStyle{csSetCaption, csDoubleClicks};
  SetBounds(0, 0, 75, 25);
  TabStop_ = true;
}

void TButton::SetDefault(bool v) {
  if (Default_ == v) return;
  Default_ = v;
  if (HandleAllocated()) {
    TCustomForm* form = GetParentForm(this);
    if (form) {
      TWinControl* active = form->ActiveControl();
      TMessage m = MakeMessage(CM_FOCUSCHANGED, 0, reinterpret_cast<std::intptr_t>(active));
      Perform(m.Msg, m.WParam, m.LParam);
    }
  }
}

void TButton::Click() {
  if (TCustomForm* form = GetParentForm(this)) form->SetModalResult(ModalResult_);
  TButtonControl::Click();
}

void TButton::CreateParams(TCreateParams& Params) {
  TButtonControl::CreateParams(Params);
  Params.Style |= Default_ ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
}

void TButton::CreateWnd() {
  TButtonControl::CreateWnd();
  Active_ = Default_;
}

void TButton::SetButtonStyle(bool ADefault) {
  if (!HandleAllocated()) return;
  const LONG_PTR style = ADefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
  if ((GetWindowLongPtrA(Handle_, GWL_STYLE) & 0x0F) != style) SendMessageA(Handle_, BM_SETSTYLE, style, 1);
}

void TButton::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case CN_COMMAND:
      if (Message.WParamHi() == BN_CLICKED) Click();
      return;
    case CM_DIALOGKEY:
      if (((Message.WParam == VK_RETURN && Active_) || (Message.WParam == VK_ESCAPE && Cancel_)) &&
          KeyDataToShiftState(Message.LParam).Empty() && CanFocus()) {
        Click();
        Message.Result = 1;
        return;
      }
      TButtonControl::Dispatch(Message);
      return;
    case CM_DIALOGCHAR:
      if (IsAccel(Message.WParam, Caption()) && CanFocus()) {
        Click();
        Message.Result = 1;
        return;
      }
      TButtonControl::Dispatch(Message);
      return;
    case CM_FOCUSCHANGED: {
      auto* sender = reinterpret_cast<TWinControl*>(Message.LParam);
      bool active = dynamic_cast<TButton*>(sender) != nullptr ? sender == this : Default_;
      if (active != Active_ || HandleAllocated()) {
        Active_ = active;
        SetButtonStyle(active);
      }
      TButtonControl::Dispatch(Message);
      return;
    }
    default: TButtonControl::Dispatch(Message);
  }
}

// ---- TCustomCheckBox --------------------------------------------------------------------------

TCustomCheckBox::TCustomCheckBox(TComponent* AOwner) : TButtonControl(AOwner) {
  ControlStyle_ = TControlStyle{csSetCaption, csDoubleClicks};
  SetBounds(0, 0, 97, 17);
  TabStop_ = true;
}

void TCustomCheckBox::SetState(TCheckBoxState v) {
  if (State_ == v) return;
  State_ = v;
  if (HandleAllocated()) SendMessageA(Handle_, BM_SETCHECK, static_cast<WPARAM>(v), 0);
  if (!ClicksDisabled_) {
    auto alive = AliveToken();
    Changed();
    if (*alive) Click();
  }
}

void TCustomCheckBox::SetAllowGrayed(bool v) {
  AllowGrayed_ = v;
  if (!v && State_ == cbGrayed) SetState(cbUnchecked);
}

void TCustomCheckBox::SetAlignment(TLeftRight v) {
  if (Alignment_ == v) return;
  Alignment_ = v;
  if (HandleAllocated()) RecreateWnd();
}

namespace {
TAlignment ShownAlignment(const TControl* c, TAlignment a) {
  if (!c->UseRightToLeftAlignment()) return a;
  return a == taRightJustify ? taLeftJustify : taRightJustify;
}
}  // namespace

TAlignment TCustomCheckBox::GetControlsAlignment() const { return ShownAlignment(this, Alignment_); }
TAlignment TRadioButton::GetControlsAlignment() const { return ShownAlignment(this, Alignment_); }

void TCustomCheckBox::Toggle() {
  switch (State_) {
    case cbUnchecked: SetState(AllowGrayed_ ? cbGrayed : cbChecked); break;
    case cbChecked: SetState(cbUnchecked); break;
    case cbGrayed: SetState(cbChecked); break;
  }
}

void TCustomCheckBox::CreateParams(TCreateParams& Params) {
  TButtonControl::CreateParams(Params);
  Params.Style |= BS_3STATE;
  if (GetControlsAlignment() == taLeftJustify) Params.Style |= BS_LEFTTEXT;
}

void TCustomCheckBox::CreateWnd() {
  TButtonControl::CreateWnd();
  SendMessageA(Handle_, BM_SETCHECK, static_cast<WPARAM>(State_), 0);
}

void TCustomCheckBox::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case CN_COMMAND:
      if (Message.WParamHi() == BN_CLICKED) Toggle();
      return;
    case CM_DIALOGCHAR:
      if (IsAccel(Message.WParam, Caption()) && CanFocus()) {
        SetFocus();
        if (Focused()) Toggle();
        Message.Result = 1;
        return;
      }
      TButtonControl::Dispatch(Message);
      return;
    default: TButtonControl::Dispatch(Message);
  }
}

// ---- TRadioButton -----------------------------------------------------------------------------

TRadioButton::TRadioButton(TComponent* AOwner) : TButtonControl(AOwner) {
  ControlStyle_ = TControlStyle{csSetCaption, csDoubleClicks};
  SetBounds(0, 0, 113, 17);
}

void TRadioButton::SetAlignment(TLeftRight v) {
  if (Alignment_ == v) return;
  Alignment_ = v;
  if (HandleAllocated()) RecreateWnd();
}

void TRadioButton::SetChecked(bool v) {
  if (Checked_ == v) return;
  Checked_ = v;
  SetTabStop(v);
  if (HandleAllocated()) SendMessageA(Handle_, BM_SETCHECK, v ? BST_CHECKED : BST_UNCHECKED, 0);
  auto alive = AliveToken();
  if (v && Parent_) {
    // Copy first: a sibling's handler may change the parent's children.
    std::vector<TRadioButton*> siblings;
    for (int i = 0; i < Parent_->ControlCount(); ++i)
      if (auto* r = dynamic_cast<TRadioButton*>(Parent_->Controls(i)); r && r != this) siblings.push_back(r);
    for (TRadioButton* r : siblings) r->SetChecked(false);
    if (!*alive) return;
  }
  Changed();
  if (*alive && v && !ClicksDisabled_) Click();
}

void TRadioButton::CreateParams(TCreateParams& Params) {
  TButtonControl::CreateParams(Params);
  Params.Style |= BS_RADIOBUTTON;
  if (GetControlsAlignment() == taLeftJustify) Params.Style |= BS_LEFTTEXT;
}

void TRadioButton::CreateWnd() {
  TButtonControl::CreateWnd();
  SendMessageA(Handle_, BM_SETCHECK, Checked_ ? BST_CHECKED : BST_UNCHECKED, 0);
}

void TRadioButton::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case CN_COMMAND:
      if (Message.WParamHi() == BN_CLICKED)
        SetChecked(true);
      else if (Message.WParamHi() == BN_DOUBLECLICKED)
        DblClick();
      return;
    case CM_DIALOGCHAR:
      if (IsAccel(Message.WParam, Caption()) && CanFocus()) {
        SetFocus();
        if (Focused()) SetChecked(true);
        Message.Result = 1;
        return;
      }
      TButtonControl::Dispatch(Message);
      return;
    default: TButtonControl::Dispatch(Message);
  }
}

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

void TCustomGroupBox::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case CM_DIALOGCHAR:
      if (IsAccel(Message.WParam, Caption()) && CanFocus()) {
        SelectNext(this, true, true);
        Message.Result = 1;
        return;
      }
      TCustomControl::Dispatch(Message);
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

// ---- TCustomLabel -----------------------------------------------------------------------------

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

void TCustomLabel::AdjustBounds() {
  if (Loading() || !AutoSize_) return;
  TRect rect = ClientRect();
  if (!WordWrap_) rect.Right = rect.Left + 0x7FFF;
  {
    ScreenDC dc;
    CanvasOnDC bound(Canvas_, dc);
    DoDrawText(rect, DT_EXPANDTABS | DT_CALCRECT | (WordWrap_ ? DT_WORDBREAK : 0));
  }
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
      if (FocusControl_ && Enabled() && ShowAccelChar_ && IsAccel(Message.WParam, Caption()) &&
          FocusControl_->CanFocus()) {
        FocusControl_->SetFocus();
        Message.Result = 1;
        return;
      }
      TGraphicControl::Dispatch(Message);
      return;
    default: TGraphicControl::Dispatch(Message);
  }
}

// ---- TCustomEdit ------------------------------------------------------------------------------

TCustomEdit::TCustomEdit(TComponent* AOwner) : TWinControl(AOwner) {
  ControlStyle_ = TControlStyle{csClickEvents, csSetCaption, csDoubleClicks, csFixedHeight};
  SetBounds(0, 0, 121, 25);
  TabStop_ = true;
  ParentColor_ = false;
  Color_ = clWindow;
  AutoSize_ = true;
  AdjustHeight();
}

void TCustomEdit::SetMaxLength(int v) {
  MaxLength_ = std::max(0, v);
  if (HandleAllocated()) SendMessageA(Handle_, EM_LIMITTEXT, static_cast<WPARAM>(MaxLength_), 0);
}

void TCustomEdit::SetReadOnly(bool v) {
  ReadOnly_ = v;
  if (HandleAllocated()) SendMessageA(Handle_, EM_SETREADONLY, v ? 1 : 0, 0);
}

void TCustomEdit::SetPasswordChar(char v) {
  if (PasswordChar_ == v) return;
  PasswordChar_ = v;
  if (HandleAllocated()) {
    SendMessageA(Handle_, EM_SETPASSWORDCHAR, static_cast<unsigned char>(v), 0);
    ::InvalidateRect(Handle_, nullptr, TRUE);
  }
}

void TCustomEdit::SetCharCase(TEditCharCase v) {
  if (CharCase_ == v) return;
  CharCase_ = v;
  if (HandleAllocated()) {
    LONG_PTR style = GetWindowLongPtrA(Handle_, GWL_STYLE) & ~(ES_UPPERCASE | ES_LOWERCASE);
    if (v == ecUpperCase) style |= ES_UPPERCASE;
    if (v == ecLowerCase) style |= ES_LOWERCASE;
    SetWindowLongPtrA(Handle_, GWL_STYLE, style);
    // The window converts only new input; the present text follows the new case here.
    std::string t = Text();
    for (char& c : t)
      c = v == ecUpperCase   ? static_cast<char>(toupper(static_cast<unsigned char>(c)))
          : v == ecLowerCase ? static_cast<char>(tolower(static_cast<unsigned char>(c)))
                             : c;
    if (v != ecNormal) SetText(t);
  }
}

void TCustomEdit::SetHideSelection(bool v) {
  if (HideSelection_ == v) return;
  HideSelection_ = v;
  if (HandleAllocated()) RecreateWnd();
}

void TCustomEdit::SetBorderStyle(TBorderStyle v) {
  if (BorderStyle_ == v) return;
  BorderStyle_ = v;
  AdjustHeight();
  if (HandleAllocated()) RecreateWnd();
}

void TCustomEdit::SetAutoSize(bool v) {
  if (AutoSize_ == v) return;
  AutoSize_ = v;
  ControlStyle_.Set(csFixedHeight, v && BorderStyle_ == bsSingle);
  AdjustHeight();
}

bool TCustomEdit::Modified() const {
  if (Handle_) return SendMessageA(Handle_, EM_GETMODIFY, 0, 0) != 0;
  return Modified_;
}

void TCustomEdit::SetModified(bool v) {
  Modified_ = v;
  if (Handle_) SendMessageA(Handle_, EM_SETMODIFY, v ? 1 : 0, 0);
}

int TCustomEdit::SelStart() {
  DWORD start = 0, end = 0;
  SendMessageA(Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  return static_cast<int>(start);
}

void TCustomEdit::SetSelStart(int v) { SendMessageA(Handle(), EM_SETSEL, v, v); }

int TCustomEdit::SelLength() {
  DWORD start = 0, end = 0;
  SendMessageA(Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  return static_cast<int>(end - start);
}

void TCustomEdit::SetSelLength(int v) {
  int start = SelStart();
  SendMessageA(Handle_, EM_SETSEL, start, start + v);
  SendMessageA(Handle_, EM_SCROLLCARET, 0, 0);
}

std::string TCustomEdit::SelText() {
  int start = SelStart(), len = SelLength();
  return Text().substr(static_cast<std::size_t>(start), static_cast<std::size_t>(len));
}

void TCustomEdit::SetSelText(const std::string& v) {
  SendMessageA(Handle(), EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(v.c_str()));
}

void TCustomEdit::SelectAll() {
  if (HandleAllocated()) SendMessageA(Handle_, EM_SETSEL, 0, -1);
}

void TCustomEdit::Clear() { SetText(""); }
void TCustomEdit::ClearSelection() { SendMessageA(Handle(), WM_CLEAR, 0, 0); }
void TCustomEdit::CopyToClipboard() { SendMessageA(Handle(), WM_COPY, 0, 0); }
void TCustomEdit::CutToClipboard() { SendMessageA(Handle(), WM_CUT, 0, 0); }
void TCustomEdit::PasteFromClipboard() { SendMessageA(Handle(), WM_PASTE, 0, 0); }
void TCustomEdit::Undo() { SendMessageA(Handle(), WM_UNDO, 0, 0); }

void TCustomEdit::Change() {
  auto alive = AliveToken();
  Changed();
  if (*alive) OnChange(this);
}

void TCustomEdit::CreateParams(TCreateParams& Params) {
  TWinControl::CreateParams(Params);
  CreateSubClass(Params, "EDIT");
  Params.Style |= ES_AUTOHSCROLL | ES_AUTOVSCROLL;
  if (ReadOnly_) Params.Style |= ES_READONLY;
  if (CharCase_ == ecUpperCase) Params.Style |= ES_UPPERCASE;
  if (CharCase_ == ecLowerCase) Params.Style |= ES_LOWERCASE;
  if (!HideSelection_) Params.Style |= ES_NOHIDESEL;
  if (BorderStyle_ == bsSingle) {
    if (Ctl3D_)
      Params.ExStyle |= WS_EX_CLIENTEDGE;
    else
      Params.Style |= WS_BORDER;
  }
}

void TCustomEdit::CreateWnd() {
  Creating_ = true;
  try {
    TWinControl::CreateWnd();
  } catch (...) {
    Creating_ = false;
    throw;
  }
  Creating_ = false;
  SendMessageA(Handle_, EM_LIMITTEXT, static_cast<WPARAM>(MaxLength_), 0);
  SendMessageA(Handle_, EM_SETMODIFY, Modified_ ? 1 : 0, 0);
  if (PasswordChar_) SendMessageA(Handle_, EM_SETPASSWORDCHAR, static_cast<unsigned char>(PasswordChar_), 0);
  ControlStyle_.Set(csFixedHeight, AutoSize_ && BorderStyle_ == bsSingle);
  AdjustHeight();
}

void TCustomEdit::DestroyWnd() {
  if (Handle_) Modified_ = SendMessageA(Handle_, EM_GETMODIFY, 0, 0) != 0;
  TWinControl::DestroyWnd();
}

void TCustomEdit::DoEnter() {
  if (AutoSelect_ && !ControlState_.Contains(csLButtonDown) && HandleAllocated() &&
      (GetWindowLongPtrA(Handle_, GWL_STYLE) & ES_MULTILINE) == 0)
    SelectAll();
  TWinControl::DoEnter();
}

void TCustomEdit::AdjustHeight() {
  if (!AutoSize_ || BorderStyle_ != bsSingle) return;
  TEXTMETRICA tm{};
  {
    ScreenDC dc;
    SelectedObject font(dc, Font_->Handle());
    GetTextMetricsA(dc, &tm);
  }
  const int extra = GetSystemMetrics(SM_CYBORDER) * (Ctl3D_ ? 8 : 6);
  SetHeight(tm.tmHeight + extra);
}

void TCustomEdit::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case CN_COMMAND:
      if (Message.WParamHi() == EN_CHANGE && !Creating_) Change();
      return;
    case CN_CTLCOLOREDIT:
    case CN_CTLCOLORSTATIC: AnswerCtlColor(this, Message); return;
    case CM_FONTCHANGED:
      TWinControl::Dispatch(Message);
      if (HandleAllocated() || !Loading()) AdjustHeight();
      return;
    default: TWinControl::Dispatch(Message);
  }
}

// ---- TCustomMemo ------------------------------------------------------------------------------

namespace {
HWND MemoWnd(TCustomMemo* m) { return m->Handle(); }
}  // namespace

int TMemoStrings::Count() const {
  HWND w = MemoWnd(Memo_);
  int n = static_cast<int>(SendMessageA(w, EM_GETLINECOUNT, 0, 0));
  // The window counts an empty line after a final line break; the list does not.
  LRESULT start = SendMessageA(w, EM_LINEINDEX, static_cast<WPARAM>(n - 1), 0);
  if (n > 0 && SendMessageA(w, EM_LINELENGTH, static_cast<WPARAM>(start), 0) == 0) --n;
  return n;
}

std::string TMemoStrings::Get(int index) const {
  HWND w = MemoWnd(Memo_);
  LRESULT start = SendMessageA(w, EM_LINEINDEX, static_cast<WPARAM>(index), 0);
  if (index < 0 || start < 0) return {};
  int len = static_cast<int>(SendMessageA(w, EM_LINELENGTH, static_cast<WPARAM>(start), 0));
  std::string buf(static_cast<std::size_t>(std::max(len, 1) + 2), '\0');
  // The first WORD of the buffer tells the window its size.
  const WORD room = static_cast<WORD>(buf.size());
  std::memcpy(buf.data(), &room, sizeof room);
  LRESULT got = SendMessageA(w, EM_GETLINE, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(buf.data()));
  buf.resize(static_cast<std::size_t>(std::max<LRESULT>(0, std::min<LRESULT>(got, len))));
  return buf;
}

void TMemoStrings::Put(int index, const std::string& s) {
  HWND w = MemoWnd(Memo_);
  LRESULT start = SendMessageA(w, EM_LINEINDEX, static_cast<WPARAM>(index), 0);
  if (start < 0) return;
  LRESULT len = SendMessageA(w, EM_LINELENGTH, static_cast<WPARAM>(start), 0);
  SendMessageA(w, EM_SETSEL, static_cast<WPARAM>(start), start + len);
  SendMessageA(w, EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(s.c_str()));
}

void TMemoStrings::Insert(int index, const std::string& s) {
  if (index < 0) return;
  HWND w = MemoWnd(Memo_);
  LRESULT start = SendMessageA(w, EM_LINEINDEX, static_cast<WPARAM>(index), 0);
  std::string line;
  if (start >= 0 && index < Count()) {
    line = s + "\r\n";
  } else {
    if (index == 0) {
      start = 0;
      line = s;
    } else {
      start = SendMessageA(w, EM_LINEINDEX, static_cast<WPARAM>(index - 1), 0);
      if (start < 0) return;
      LRESULT len = SendMessageA(w, EM_LINELENGTH, static_cast<WPARAM>(start), 0);
      start += len;
      // A last line that already ends with a line break takes the new line after it.
      line = "\r\n" + s;
      if (len == 0 && index - 1 >= Count()) line = s;
    }
  }
  SendMessageA(w, EM_SETSEL, static_cast<WPARAM>(start), start);
  SendMessageA(w, EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(line.c_str()));
}

void TMemoStrings::Delete(int index) {
  HWND w = MemoWnd(Memo_);
  LRESULT start = SendMessageA(w, EM_LINEINDEX, static_cast<WPARAM>(index), 0);
  if (index < 0 || start < 0) return;
  LRESULT end = SendMessageA(w, EM_LINEINDEX, static_cast<WPARAM>(index + 1), 0);
  if (end < 0) {
    // The last line: take the line break before it instead.
    end = start + SendMessageA(w, EM_LINELENGTH, static_cast<WPARAM>(start), 0);
    if (start >= 2) start -= 2;
  }
  SendMessageA(w, EM_SETSEL, static_cast<WPARAM>(start), end);
  SendMessageA(w, EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(""));
}

void TMemoStrings::Clear() { Memo_->Clear(); }

void TMemoStrings::SetUpdateState(bool updating) {
  if (!Memo_->HandleAllocated()) return;
  SendMessageA(Memo_->Handle(), WM_SETREDRAW, updating ? 0 : 1, 0);
  if (!updating) Memo_->Refresh();
}

TCustomMemo::TCustomMemo(TComponent* AOwner) : TCustomEdit(AOwner) {
  AutoSize_ = false;
  ControlStyle_.Exclude(csFixedHeight);
  SetBounds(0, 0, 185, 89);
  Lines_ = new TMemoStrings(this);
}

TCustomMemo::~TCustomMemo() { delete Lines_; }

void TCustomMemo::SetScrollBars(TScrollStyle v) {
  if (ScrollBars_ == v) return;
  ScrollBars_ = v;
  if (HandleAllocated()) RecreateWnd();
}

void TCustomMemo::SetWordWrap(bool v) {
  if (WordWrap_ == v) return;
  WordWrap_ = v;
  if (HandleAllocated()) RecreateWnd();
}

void TCustomMemo::SetAlignment(TAlignment v) {
  if (Alignment_ == v) return;
  Alignment_ = v;
  if (HandleAllocated()) RecreateWnd();
}

void TCustomMemo::CreateParams(TCreateParams& Params) {
  TCustomEdit::CreateParams(Params);
  Params.Style |= ES_MULTILINE | ES_WANTRETURN;
  Params.Style &= ~static_cast<DWORD>(ES_AUTOHSCROLL);
  if (!WordWrap_ || ScrollBars_ == ssHorizontal || ScrollBars_ == ssBoth) Params.Style |= ES_AUTOHSCROLL;
  if (ScrollBars_ == ssVertical || ScrollBars_ == ssBoth) Params.Style |= WS_VSCROLL;
  if (ScrollBars_ == ssHorizontal || ScrollBars_ == ssBoth) Params.Style |= WS_HSCROLL;
  if (Alignment_ == taRightJustify) Params.Style |= ES_RIGHT;
  if (Alignment_ == taCenter) Params.Style |= ES_CENTER;
}

void TCustomMemo::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case WM_GETDLGCODE:
      TCustomEdit::Dispatch(Message);
      if (WantTabs_)
        Message.Result |= DLGC_WANTTAB;
      else
        Message.Result &= ~static_cast<std::intptr_t>(DLGC_WANTTAB);
      if (!WantReturns_) Message.Result &= ~static_cast<std::intptr_t>(DLGC_WANTALLKEYS);
      return;
    default: TCustomEdit::Dispatch(Message);
  }
}

// ---- TCustomComboBox --------------------------------------------------------------------------

namespace {
const char kComboOwnerProp[] = "QvComboOwner";
}

int TComboBoxStrings::Count() const {
  if (Combo_->HandleAllocated()) return static_cast<int>(SendMessageA(Combo_->Handle_, CB_GETCOUNT, 0, 0));
  return Combo_->SavedItems_->Count();
}

std::string TComboBoxStrings::Get(int index) const {
  if (!Combo_->HandleAllocated()) return Combo_->SavedItems_->Strings(index);
  LRESULT len = SendMessageA(Combo_->Handle_, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
  if (len == CB_ERR) throw EListError("List index out of bounds (" + std::to_string(index) + ")");
  std::string s(static_cast<std::size_t>(len) + 1, '\0');
  len = SendMessageA(Combo_->Handle_, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(s.data()));
  s.resize(static_cast<std::size_t>(std::max<LRESULT>(len, 0)));
  return s;
}

TObject* TComboBoxStrings::GetObject(int index) const {
  if (!Combo_->HandleAllocated()) return Combo_->SavedItems_->Objects(index);
  LRESULT d = SendMessageA(Combo_->Handle_, CB_GETITEMDATA, static_cast<WPARAM>(index), 0);
  if (d == CB_ERR) throw EListError("List index out of bounds (" + std::to_string(index) + ")");
  return reinterpret_cast<TObject*>(d);
}

void TComboBoxStrings::PutObject(int index, TObject* object) {
  if (!Combo_->HandleAllocated()) {
    Combo_->SavedItems_->SetObjects(index, object);
    return;
  }
  SendMessageA(Combo_->Handle_, CB_SETITEMDATA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(object));
}

int TComboBoxStrings::Add(const std::string& s) {
  if (!Combo_->HandleAllocated()) return Combo_->SavedItems_->Add(s);
  LRESULT r = SendMessageA(Combo_->Handle_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s.c_str()));
  if (r < 0) throw EOutOfResources("Not enough storage is available to complete this operation");
  return static_cast<int>(r);
}

void TComboBoxStrings::Insert(int index, const std::string& s) {
  if (!Combo_->HandleAllocated()) {
    Combo_->SavedItems_->Insert(index, s);
    return;
  }
  LRESULT r =
      SendMessageA(Combo_->Handle_, CB_INSERTSTRING, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(s.c_str()));
  if (r < 0) throw EOutOfResources("Not enough storage is available to complete this operation");
}

void TComboBoxStrings::Delete(int index) {
  if (!Combo_->HandleAllocated()) {
    Combo_->SavedItems_->Delete(index);
    return;
  }
  SendMessageA(Combo_->Handle_, CB_DELETESTRING, static_cast<WPARAM>(index), 0);
}

void TComboBoxStrings::Clear() {
  if (!Combo_->HandleAllocated()) {
    Combo_->SavedItems_->Clear();
    Combo_->SavedIndex_ = -1;
    return;
  }
  std::string text = Combo_->Text();
  SendMessageA(Combo_->Handle_, CB_RESETCONTENT, 0, 0);
  Combo_->SetText(text);  // the edit part keeps what was typed
  Combo_->Update();
}

int TComboBoxStrings::IndexOf(const std::string& s) const {
  if (!Combo_->HandleAllocated()) return Combo_->SavedItems_->IndexOf(s);
  // CB_FINDSTRINGEXACT compares without case, as the list does.
  LRESULT r =
      SendMessageA(Combo_->Handle_, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(s.c_str()));
  return r == CB_ERR ? -1 : static_cast<int>(r);
}

void TComboBoxStrings::SetUpdateState(bool updating) {
  if (!Combo_->HandleAllocated()) return;
  SendMessageA(Combo_->Handle_, WM_SETREDRAW, updating ? 0 : 1, 0);
  if (!updating) Combo_->Refresh();
}

TCustomComboBox::TCustomComboBox(TComponent* AOwner) : TWinControl(AOwner) {
  ControlStyle_ = TControlStyle{csSetCaption, csDoubleClicks, csFixedHeight};
  SetBounds(0, 0, 145, 25);
  TabStop_ = true;
  ParentColor_ = false;
  Color_ = clWindow;
  Items_ = new TComboBoxStrings(this);
  SavedItems_ = new TStringList();
  Canvas_ = new TCanvas();
}

TCustomComboBox::~TCustomComboBox() {
  delete Canvas_;
  delete Items_;
  delete SavedItems_;
}

void TCustomComboBox::BeforeDestruction() {
  RestoreChildren();
  TWinControl::BeforeDestruction();
}

void TCustomComboBox::SetStyle(TComboBoxStyle v) {
  if (Style_ == v) return;
  Style_ = v;
  ControlStyle_.Set(csFixedHeight, v != csSimple && v != csOwnerDrawVariable);
  if (HandleAllocated()) RecreateWnd();
}

int TCustomComboBox::ItemIndex() {
  if (HandleAllocated()) return static_cast<int>(SendMessageA(Handle_, CB_GETCURSEL, 0, 0));
  return SavedIndex_;
}

void TCustomComboBox::SetItemIndex(int v) {
  if (HandleAllocated()) {
    if (static_cast<int>(SendMessageA(Handle_, CB_GETCURSEL, 0, 0)) != v)
      SendMessageA(Handle_, CB_SETCURSEL, static_cast<WPARAM>(v), 0);
  } else {
    SavedIndex_ = v;
  }
}

int TCustomComboBox::ItemHeight() {
  if (HandleAllocated() && (Style_ == csOwnerDrawFixed || Style_ == csOwnerDrawVariable)) return ItemHeight_;
  if (HandleAllocated()) return static_cast<int>(SendMessageA(Handle_, CB_GETITEMHEIGHT, 0, 0));
  return ItemHeight_;
}

void TCustomComboBox::SetItemHeight(int v) {
  if (v <= 0 || ItemHeight_ == v) return;
  ItemHeight_ = v;
  if (HandleAllocated() && (Style_ == csOwnerDrawFixed || Style_ == csOwnerDrawVariable)) RecreateWnd();
}

bool TCustomComboBox::DroppedDown() {
  return HandleAllocated() && SendMessageA(Handle_, CB_GETDROPPEDSTATE, 0, 0) != 0;
}

void TCustomComboBox::SetDroppedDown(bool v) { SendMessageA(Handle(), CB_SHOWDROPDOWN, v ? 1 : 0, 0); }

void TCustomComboBox::SetSorted(bool v) {
  if (Sorted_ == v) return;
  Sorted_ = v;
  if (HandleAllocated()) {
    RecreateWnd();
  } else if (v) {
    SavedItems_->Sort();
  }
}

void TCustomComboBox::SetMaxLength(int v) {
  MaxLength_ = std::max(0, v);
  if (HandleAllocated()) SendMessageA(Handle_, CB_LIMITTEXT, static_cast<WPARAM>(MaxLength_), 0);
}

void TCustomComboBox::SetCharCase(TEditCharCase v) {
  if (CharCase_ == v) return;
  CharCase_ = v;
  if (HandleAllocated()) RecreateWnd();
}

bool TCustomComboBox::Focused() const {
  if (!Handle_) return false;
  HWND f = GetFocus();
  return f != nullptr && (f == Handle_ || f == EditHandle_ || f == ListHandle_);
}

void TCustomComboBox::Clear() {
  SetText("");
  Items_->Clear();
}

void TCustomComboBox::SelectAll() {
  if (HandleAllocated()) SendMessageA(Handle_, CB_SETEDITSEL, 0, MAKELPARAM(0, 0xFFFF));
}

void TCustomComboBox::Change() {
  auto alive = AliveToken();
  Changed();
  if (*alive) OnChange(this);
}

void TCustomComboBox::Select() {
  if (OnSelect)
    OnSelect(this);
  else
    Change();
}

void TCustomComboBox::DropDown() { OnDropDown(this); }

void TCustomComboBox::AdjustDropDown() {
  if (!HandleAllocated() || Style_ == csSimple) return;
  // The window of a drop-down combo box is as high as the box and its list together; the
  // system keeps that height for the list and shows the box at its own height.
  const int rows = std::clamp(Items_->Count(), 1, std::max(DropDownCount_, 1));
  const int itemHeight = static_cast<int>(SendMessageA(Handle_, CB_GETITEMHEIGHT, 0, 0));
  SetWindowPos(Handle_, nullptr, 0, 0, Width_, Height_ + itemHeight * rows + 2,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
}
void TCustomComboBox::CloseUp() { OnCloseUp(this); }

void TCustomComboBox::DrawItem(int Index, const TRect& Rect, TOwnerDrawState State) {
  if (OnDrawItem) {
    OnDrawItem(this, Index, Rect, State);
    return;
  }
  Canvas_->FillRect(Rect);
  if (Index >= 0 && Index < Items_->Count()) Canvas_->TextOut(Rect.Left + 2, Rect.Top, Items_->Strings(Index));
}

void TCustomComboBox::MeasureItem(int Index, int& Height) { OnMeasureItem(this, Index, Height); }

void TCustomComboBox::CreateParams(TCreateParams& Params) {
  TWinControl::CreateParams(Params);
  CreateSubClass(Params, "COMBOBOX");
  static const DWORD kStyles[] = {CBS_DROPDOWN, CBS_SIMPLE, CBS_DROPDOWNLIST,
                                  CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS,
                                  CBS_DROPDOWNLIST | CBS_OWNERDRAWVARIABLE | CBS_HASSTRINGS};
  Params.Style |= WS_VSCROLL | CBS_AUTOHSCROLL | kStyles[Style_];
  if (Sorted_) Params.Style |= CBS_SORT;
  if (CharCase_ == ecUpperCase) Params.Style |= CBS_UPPERCASE;
  if (CharCase_ == ecLowerCase) Params.Style |= CBS_LOWERCASE;
  Params.WindowClass.style &= ~(CS_HREDRAW | CS_VREDRAW);
}

void TCustomComboBox::CreateWnd() {
  TWinControl::CreateWnd();
  SendMessageA(Handle_, CB_LIMITTEXT, static_cast<WPARAM>(MaxLength_), 0);
  if (Style_ == csOwnerDrawFixed || Style_ == csOwnerDrawVariable)
    SendMessageA(Handle_, CB_SETITEMHEIGHT, 0, ItemHeight_);
  // The items kept while the control had no window go into the new one.
  std::string text = Text_;
  for (int i = 0; i < SavedItems_->Count(); ++i) {
    LRESULT at = SendMessageA(Handle_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(SavedItems_->Strings(i).c_str()));
    if (at >= 0)
      SendMessageA(Handle_, CB_SETITEMDATA, static_cast<WPARAM>(at), reinterpret_cast<LPARAM>(SavedItems_->Objects(i)));
  }
  // The chosen item stays chosen even when the new window sorts the items differently.
  if (SavedIndex_ >= 0 && SavedIndex_ < SavedItems_->Count()) {
    const std::string chosen = SavedItems_->Strings(SavedIndex_);
    TObject* data = SavedItems_->Objects(SavedIndex_);
    const int n = static_cast<int>(SendMessageA(Handle_, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < n; ++i) {
      if (reinterpret_cast<TObject*>(SendMessageA(Handle_, CB_GETITEMDATA, static_cast<WPARAM>(i), 0)) != data)
        continue;
      if (Items_->Strings(i) != chosen) continue;
      SavedIndex_ = i;
      break;
    }
  }
  SavedItems_->Clear();
  if (SavedIndex_ >= 0)
    SendMessageA(Handle_, CB_SETCURSEL, static_cast<WPARAM>(SavedIndex_), 0);
  else if (!text.empty() && Style_ != csDropDownList)
    ::SetWindowTextA(Handle_, text.c_str());
  SavedIndex_ = -1;
  SubclassChildren();
}

void TCustomComboBox::DestroyWnd() {
  if (Handle_) {
    SavedItems_->Clear();
    const int n = static_cast<int>(SendMessageA(Handle_, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < n; ++i) {
      TObject* data = reinterpret_cast<TObject*>(SendMessageA(Handle_, CB_GETITEMDATA, static_cast<WPARAM>(i), 0));
      LRESULT len = SendMessageA(Handle_, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0);
      std::string s(static_cast<std::size_t>(std::max<LRESULT>(len, 0)) + 1, '\0');
      len = SendMessageA(Handle_, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(s.data()));
      s.resize(static_cast<std::size_t>(std::max<LRESULT>(len, 0)));
      SavedItems_->AddObject(s, data);
    }
    SavedIndex_ = static_cast<int>(SendMessageA(Handle_, CB_GETCURSEL, 0, 0));
    RestoreChildren();
  }
  TWinControl::DestroyWnd();
}

void TCustomComboBox::SubclassChildren() {
  COMBOBOXINFO info{};
  info.cbSize = sizeof info;
  if (!GetComboBoxInfo(Handle_, &info)) return;
  EditHandle_ = Style_ == csDropDown || Style_ == csSimple ? info.hwndItem : nullptr;
  ListHandle_ = info.hwndList;
  if (EditHandle_) {
    SetPropA(EditHandle_, kComboOwnerProp, this);
    EditProc_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(EditHandle_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TCustomComboBox::ChildProc)));
  }
  if (ListHandle_) {
    SetPropA(ListHandle_, kComboOwnerProp, this);
    ListProc_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(ListHandle_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TCustomComboBox::ChildProc)));
  }
}

void TCustomComboBox::RestoreChildren() {
  auto restore = [](HWND& wnd, WNDPROC& proc) {
    if (wnd && IsWindow(wnd)) {
      // Only when nobody subclassed the child after us; otherwise the chain stays intact and
      // ChildProc passes everything on once the owner is gone.
      if (reinterpret_cast<WNDPROC>(GetWindowLongPtrA(wnd, GWLP_WNDPROC)) == &TCustomComboBox::ChildProc)
        SetWindowLongPtrA(wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(proc));
      else
        SetPropA(wnd, "QvComboOldProc", reinterpret_cast<HANDLE>(proc));
      RemovePropA(wnd, kComboOwnerProp);
    }
    wnd = nullptr;
    proc = nullptr;
  };
  restore(EditHandle_, EditProc_);
  restore(ListHandle_, ListProc_);
}

LRESULT CALLBACK TCustomComboBox::ChildProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* combo = static_cast<TCustomComboBox*>(GetPropA(wnd, kComboOwnerProp));
  if (!combo) {
    auto old = reinterpret_cast<WNDPROC>(GetPropA(wnd, "QvComboOldProc"));
    if (msg == WM_NCDESTROY) RemovePropA(wnd, "QvComboOldProc");
    return old ? CallWindowProcA(old, wnd, msg, wParam, lParam) : DefWindowProcA(wnd, msg, wParam, lParam);
  }
  WNDPROC proc = wnd == combo->EditHandle_ ? combo->EditProc_ : combo->ListProc_;
  TMessage m = MakeMessage(msg, wParam, lParam);
  try {
    combo->ComboWndProc(m, wnd, proc);
  } catch (...) {
    HandleBoundaryException(combo);
  }
  return m.Result;
}

void TCustomComboBox::ComboWndProc(TMessage& Message, HWND ComboWnd, WNDPROC ComboProc) {
  // Keys typed in the edit part reach the combo box's key events first.
  if (ComboWnd == EditHandle_) {
    switch (Message.Msg) {
      case WM_KEYDOWN:
      case WM_SYSKEYDOWN:
        if (DoKeyDown(Message)) return;
        break;
      case WM_CHAR: {
        if (DoKeyPress(Message)) return;
        const char ch = static_cast<char>(Message.WParam);
        Message.Result = CallWindowProcA(ComboProc, ComboWnd, Message.Msg, Message.WParam, Message.LParam);
        if (AutoComplete_ && Style_ == csDropDown && static_cast<unsigned char>(ch) >= 32) AutoCompleteText();
        return;
      }
      case WM_KEYUP:
      case WM_SYSKEYUP:
        if (DoKeyUp(Message)) return;
        break;
      default: break;
    }
  }
  Message.Result = CallWindowProcA(ComboProc, ComboWnd, Message.Msg, Message.WParam, Message.LParam);
}

void TCustomComboBox::AutoCompleteText() {
  // The typed text (up to the caret) completed by the first item that starts with it.
  DWORD start = 0, end = 0;
  SendMessageA(EditHandle_, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  const std::string typed = Text().substr(0, start);
  if (typed.empty()) return;
  LRESULT i = SendMessageA(Handle_, CB_FINDSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(typed.c_str()));
  if (i == CB_ERR) return;
  const std::string item = Items_->Strings(static_cast<int>(i));
  if (item.size() <= typed.size()) return;
  SendMessageA(Handle_, CB_SETCURSEL, static_cast<WPARAM>(i), 0);
  ::SetWindowTextA(EditHandle_, (typed + item.substr(typed.size())).c_str());
  SendMessageA(EditHandle_, EM_SETSEL, typed.size(), static_cast<LPARAM>(item.size()));
}

void TCustomComboBox::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case CN_COMMAND:
      switch (Message.WParamHi()) {
        case CBN_DBLCLK: DblClick(); break;
        case CBN_EDITCHANGE: Change(); break;
        case CBN_DROPDOWN: {
          auto alive = AliveToken();
          DropDown();
          if (*alive) AdjustDropDown();
          break;
        }
        case CBN_CLOSEUP: CloseUp(); break;
        case CBN_SELCHANGE: {
          auto alive = AliveToken();
          const int i = ItemIndex();
          if (i >= 0 && Style_ != csDropDownList) {
            // The edit part shows the chosen item only after this notification; set it now so
            // the events read the new text.
            SetText(Items_->Strings(i));
          }
          Click();
          if (*alive) Select();
          break;
        }
        default: break;
      }
      return;
    case CN_CTLCOLOREDIT:
    case CN_CTLCOLORLISTBOX:
    case CN_CTLCOLORSTATIC: AnswerCtlColor(this, Message); return;
    case CN_DRAWITEM: {
      auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(Message.LParam);
      TOwnerDrawState state = OwnerDrawStateFromODS(dis->itemState);
      Canvas_->SetHandle(dis->hDC);
      Canvas_->Font()->Assign(Font_);
      Canvas_->Brush()->Assign(Brush_);
      if (state.Contains(odSelected)) {
        Canvas_->Brush()->SetColor(clHighlight);
        Canvas_->Font()->SetColor(clHighlightText);
      }
      const TRect r = FromRECT(dis->rcItem);
      try {
        DrawItem(static_cast<int>(dis->itemID), r, state);
        if (state.Contains(odFocused) && !state.Contains(odNoFocusRect)) DrawFocusRect(dis->hDC, &dis->rcItem);
      } catch (...) {
        Canvas_->SetHandle(nullptr);
        throw;
      }
      Canvas_->SetHandle(nullptr);
      Message.Result = 1;
      return;
    }
    case CN_MEASUREITEM: {
      auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(Message.LParam);
      int h = ItemHeight_;
      if (Style_ == csOwnerDrawVariable && static_cast<int>(mis->itemID) >= 0)
        MeasureItem(static_cast<int>(mis->itemID), h);
      mis->itemHeight = static_cast<UINT>(std::max(h, 1));
      Message.Result = 1;
      return;
    }
    default: TWinControl::Dispatch(Message);
  }
}

// ---- published properties ----------------------------------------------------------------------

static const bool kStdCtrlsProps = [] {
  RegisterProperties<TButtonControl, TWinControl>(
      [](auto& p) { p.Ord("WordWrap", &TButtonControl::WordWrap, &TButtonControl::SetWordWrap); });
  RegisterProperties<TButton, TButtonControl>([](auto& p) {
    p.Ord("Default", &TButton::Default, &TButton::SetDefault);
    p.Ord("Cancel", &TButton::Cancel, &TButton::SetCancel);
    p.Ord("ModalResult", &TButton::ModalResult, &TButton::SetModalResult);
  });
  RegisterProperties<TCustomCheckBox, TButtonControl>([](auto& p) {
    p.Ord("State", &TCustomCheckBox::State, &TCustomCheckBox::SetState);
    p.Ord("Checked", &TCustomCheckBox::Checked, &TCustomCheckBox::SetCheckedValue);
    p.Ord("AllowGrayed", &TCustomCheckBox::AllowGrayed, &TCustomCheckBox::SetAllowGrayed);
    p.Ord("Alignment", &TCustomCheckBox::Alignment, &TCustomCheckBox::SetAlignment);
  });
  RegisterProperties<TRadioButton, TButtonControl>([](auto& p) {
    p.Ord("Checked", &TRadioButton::GetChecked, &TRadioButton::SetChecked);
    p.Ord("Alignment", &TRadioButton::Alignment, &TRadioButton::SetAlignment);
  });
  RegisterProperties<TCustomLabel, TGraphicControl>([](auto& p) {
    p.Ord("Alignment", &TCustomLabel::Alignment, &TCustomLabel::SetAlignment);
    p.Ord("ShowAccelChar", &TCustomLabel::ShowAccelChar, &TCustomLabel::SetShowAccelChar);
    p.Ord("Transparent", &TCustomLabel::Transparent, &TCustomLabel::SetTransparent);
    p.Ord("Layout", &TCustomLabel::Layout, &TCustomLabel::SetLayout);
    p.Ord("WordWrap", &TCustomLabel::WordWrap, &TCustomLabel::SetWordWrap);
    p.Ord("EllipsisPosition", &TCustomLabel::EllipsisPosition, &TCustomLabel::SetEllipsisPosition);
    p.Obj("FocusControl", &TCustomLabel::FocusControl, &TCustomLabel::SetFocusControl);
  });
  RegisterProperties<TCustomEdit, TWinControl>([](auto& p) {
    p.Ord("MaxLength", &TCustomEdit::MaxLength, &TCustomEdit::SetMaxLength);
    p.Ord("ReadOnly", &TCustomEdit::ReadOnly, &TCustomEdit::SetReadOnly);
    p.Ord("PasswordChar", &TCustomEdit::PasswordChar, &TCustomEdit::SetPasswordChar);
    p.Ord("CharCase", &TCustomEdit::CharCase, &TCustomEdit::SetCharCase);
    p.Ord("AutoSelect", &TCustomEdit::AutoSelect, &TCustomEdit::SetAutoSelect);
    p.Ord("HideSelection", &TCustomEdit::HideSelection, &TCustomEdit::SetHideSelection);
    p.Ord("BorderStyle", &TCustomEdit::BorderStyle, &TCustomEdit::SetBorderStyle);
    p.Ord("BevelInner", &TCustomEdit::BevelInner, &TCustomEdit::SetBevelInner);
    p.Ord("BevelOuter", &TCustomEdit::BevelOuter, &TCustomEdit::SetBevelOuter);
    p.Ord("BevelKind", &TCustomEdit::BevelKind, &TCustomEdit::SetBevelKind);
  });
  RegisterProperties<TCustomMemo, TCustomEdit>([](auto& p) {
    p.Obj("Lines", &TCustomMemo::Lines, &TCustomMemo::SetLines);
    p.Ord("ScrollBars", &TCustomMemo::ScrollBars, &TCustomMemo::SetScrollBars);
    p.Ord("WordWrap", &TCustomMemo::WordWrap, &TCustomMemo::SetWordWrap);
    p.Ord("Alignment", &TCustomMemo::Alignment, &TCustomMemo::SetAlignment);
  });
  RegisterProperties<TCustomComboBox, TWinControl>([](auto& p) {
    p.Ord("Style", &TCustomComboBox::Style, &TCustomComboBox::SetStyle);
    p.Obj("Items", &TCustomComboBox::Items, &TCustomComboBox::SetItems);
    p.Ord("ItemIndex", &TCustomComboBox::ItemIndex, &TCustomComboBox::SetItemIndex);
    p.Ord("ItemHeight", &TCustomComboBox::ItemHeight, &TCustomComboBox::SetItemHeight);
    p.Ord("DropDownCount", &TCustomComboBox::DropDownCount, &TCustomComboBox::SetDropDownCount);
    p.Ord("Sorted", &TCustomComboBox::Sorted, &TCustomComboBox::SetSorted);
    p.Ord("AutoComplete", &TCustomComboBox::AutoComplete, &TCustomComboBox::SetAutoComplete);
    p.Ord("MaxLength", &TCustomComboBox::MaxLength, &TCustomComboBox::SetMaxLength);
    p.Ord("CharCase", &TCustomComboBox::CharCase, &TCustomComboBox::SetCharCase);
  });
  return true;
}();
