#include "skin/controls/sSpinEdit.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstring>
#include <memory>

#include "classlib/Clipbrd.h"
#include "classlib/core/SysUtils.h"
#include "classlib/core/TypInfo.h"
#include "skin/engine/core/acPaintUtils.h"

// ---- TsTimerSpeedButton -----------------------------------------------------------------------------

namespace {
constexpr unsigned kFirstRepeat = 400;  // ms before the first repeat
constexpr unsigned kRepeat = 100;       // ms between repeats
}  // namespace

TsTimerSpeedButton::TsTimerSpeedButton(TComponent* AOwner) : TsSpeedButton(AOwner) {}

void TsTimerSpeedButton::SetTimeBtnState(TsTimerBtnFlags Value) {
  if (FTimeBtnState == Value) return;
  FTimeBtnState = Value;
  Invalidate();
}

void TsTimerSpeedButton::Paint() {
  if (Loading() || IsDying(this)) return;
  SharedParentColor = TColor(ColorToRGB(clWindow));
  struct TResetColor {
    ~TResetColor() { SharedParentColor = clParentColorUnset; }
  } reset;
  TsSpeedButton::Paint();
  if (FTimeBtnState.Contains(tbFocusRect)) {
    RECT r{3, 3, Width_ - 3, Height_ - 3};
    if (State_ == bsDown || State_ == bsExclusive) OffsetRect(&r, 1, 1);
    DrawFocusRect(Canvas_->Handle(), &r);
  }
}

void TsTimerSpeedButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  auto alive = AliveToken();
  TsSpeedButton::MouseDown(Button, Shift, X, Y);
  if (!*alive || Button != mbLeft || !Enabled() || !FTimeBtnState.Contains(tbAllowTimer)) return;
  // The press steps at once; held, it steps again after the first pause and then at the pace of
  // the repeats, until it is released (the release itself does not step again).
  Click();
  if (!*alive) return;
  if (!FRepeatTimer) {
    FRepeatTimer = ::Create<TTimer>(this);
    FRepeatTimer->OnTimer = MakeMethod<&TsTimerSpeedButton::TimerExpired>(this);
  }
  FRepeatTimer->SetEnabled(false);
  FRepeatTimer->SetInterval(kFirstRepeat);
  FRepeatTimer->SetEnabled(true);
}

void TsTimerSpeedButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (FRepeatTimer) FRepeatTimer->SetEnabled(false);
  if (Button != mbLeft || !FTimeBtnState.Contains(tbAllowTimer)) {
    TsSpeedButton::MouseUp(Button, Shift, X, Y);
    return;
  }
  // The press has stepped already: the release only ends it.
  const TNotifyEvent click = OnClick;
  OnClick = TNotifyEvent();
  auto alive = AliveToken();
  TsSpeedButton::MouseUp(Button, Shift, X, Y);
  if (*alive) OnClick = click;
}

void TsTimerSpeedButton::TimerExpired(TObject*) {
  FRepeatTimer->SetInterval(kRepeat);
  if (State_ == bsDown && Enabled()) Click();
}

// ---- TsSpinButton ---------------------------------------------------------------------------------------

TsSpinButton::TsSpinButton(TComponent* AOwner) : TWinControl(AOwner) {
  FOwnerEdit = dynamic_cast<TsBaseSpinEdit*>(AOwner);
  ControlStyle_.Exclude(csAcceptsControls);
  ControlStyle_.Exclude(csSetCaption);
  FUpButton = MakeButton();
  FDownButton = MakeButton();
  FFocusedButton = FUpButton;
  SetWidth(18);
}

TsTimerSpeedButton* TsSpinButton::MakeButton() {
  auto* b = ::Create<TsTimerSpeedButton>(this);
  b->SkinData()->SetSkinSection("SPEEDBUTTON_SMALL");
  b->SetParent(this);
  b->OnClick = MakeMethod<&TsSpinButton::ButtonClick>(this);
  b->OnMouseDown = MakeMethod<&TsSpinButton::ButtonMouseDown>(this);
  b->SetVisible(true);
  b->SetEnabled(true);
  b->SetFlat(false);
  b->SetTransparent(true);
  b->SetTimeBtnState(TsTimerBtnFlags{tbAllowTimer});
  return b;
}

void TsSpinButton::DrawArrow(TsTimerSpeedButton* Button, bool Up) {
  std::unique_ptr<TBitmap> bmp(CreateBmp24(9, 5));
  FillBmpRect(bmp.get(), Rect(0, 0, 9, 5), TColor(0xFF00FF));
  {
    TCanvas* c = bmp->Canvas();
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(clBlack);
    c->Pen()->SetStyle(psSolid);
    c->Pen()->SetColor(TColor(ColorToRGB(Font()->Color())));
    const POINT up[3] = {{1, 4}, {7, 4}, {4, 1}}, down[3] = {{1, 1}, {7, 1}, {4, 4}};
    Polygon(c->Handle(), Up ? up : down, 3);
  }
  Button->Glyph()->Assign(bmp.get());
  Button->Invalidate();
}

void TsSpinButton::SetUpGlyph(TBitmap* Value) {
  if (Value)
    FUpButton->Glyph()->Assign(Value);
  else
    DrawArrow(FUpButton, true);
}

void TsSpinButton::SetDownGlyph(TBitmap* Value) {
  if (Value)
    FDownButton->Glyph()->Assign(Value);
  else
    DrawArrow(FDownButton, false);
}

void TsSpinButton::SetFocusControl(TWinControl* Value) {
  FFocusControl = Value;
  if (Value) Value->FreeNotification(this);
}

void TsSpinButton::Notification(TComponent* AComponent, TOperation Operation) {
  TWinControl::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FFocusControl) FFocusControl = nullptr;
}

bool TsSpinButton::AdjustSize(int& W, int& H) {
  (void)H;
  if (W >= 15) return false;
  W = 15;
  return true;
}

void TsSpinButton::PlaceButtons(int W, int H) {
  if (!FUpButton || !FDownButton) return;
  const int up = H / 2;
  FUpButton->SetBounds(0, 0, W, up);
  FDownButton->SetBounds(0, up, W, H - up);
}

void TsSpinButton::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  const bool rule = !Loading() && AHeight != 0;
  if (rule) AdjustSize(AWidth, AHeight);
  TWinControl::SetBounds(ALeft, ATop, AWidth, AHeight);
  if (rule) PlaceButtons(Width_, Height_);
}

void TsSpinButton::Loaded() {
  TWinControl::Loaded();
  if (FOwnerEdit) {
    TsSkinManager* sm = FOwnerEdit->SkinData()->OwnSkinManager();
    FUpButton->SkinData()->SetSkinManager(sm);
    FDownButton->SkinData()->SetSkinManager(sm);
  }
  int w = Width_, h = Height_;
  if (h != 0) {
    AdjustSize(w, h);
    SetBounds(Left_, Top_, w, h);
  }
}

void TsSpinButton::ButtonClick(TObject* Sender) {
  if (Sender == FUpButton)
    OnUpClick(this);
  else if (Sender == FDownButton)
    OnDownClick(this);
}

void TsSpinButton::SetFocusBtn(TsTimerSpeedButton* Button) {
  if (Button == FFocusedButton) return;
  TsTimerSpeedButton* old = FFocusedButton;
  FFocusedButton = Button;
  if (!HandleAllocated() || !Focused()) return;
  TsTimerBtnFlags flags = old->TimeBtnState();
  flags.Exclude(tbFocusRect);
  old->SetTimeBtnState(flags);
  flags = Button->TimeBtnState();
  flags.Include(tbFocusRect);
  Button->SetTimeBtnState(flags);
}

void TsSpinButton::ButtonMouseDown(TObject* Sender, TMouseButton Button, TShiftState, int, int) {
  if (Button != mbLeft) return;
  if (CanFocus()) SetFocusBtn(static_cast<TsTimerSpeedButton*>(Sender));
  if (FFocusControl && FFocusControl->CanFocus() && !FFocusControl->Focused())
    FFocusControl->SetFocus();
  else if (TabStop_ && !Focused() && CanFocus())
    SetFocus();
}

void TsSpinButton::AnswerCache(TMessage& Message) {
  // The buttons lie on the edit's look: its cache, where the spin button is in its window.
  TBitmap* cache = FOwnerEdit ? FOwnerEdit->SkinData()->CacheBmp : nullptr;
  SharedCacheInfo = TsCacheInfo{};
  if (cache && !cache->Empty()) SharedCacheInfo = BuildCacheInfo(cache, Left_ + 2, Top_ + 2);
  Message.Result = 1;
}

void TsSpinButton::SizeMessage(TMessage& Message) {
  auto alive = AliveToken();
  TWinControl::WndProc(Message);
  if (!*alive) return;
  int w = Width_, h = Height_;
  if (h != 0 && !Loading()) {
    if (AdjustSize(w, h)) SetBounds(Left_, Top_, w, h);
    PlaceButtons(Width_, Height_);
  }
  Message.Result = 0;
}

void TsSpinButton::ShowFocus(bool Focused) {
  TsTimerBtnFlags flags = FFocusedButton->TimeBtnState();
  if (Focused)
    flags.Include(tbFocusRect);
  else
    flags.Exclude(tbFocusRect);
  FFocusedButton->SetTimeBtnState(flags);
}

void TsSpinButton::WndProc(TMessage& Message) {
  switch (Message.Msg) {
    case WM_ERASEBKGND: Message.Result = 1; return;
    case WM_GETDLGCODE: Message.Result = DLGC_WANTARROWS; return;
    case WM_SIZE: SizeMessage(Message); return;
    case SM_QUORVEXCMD:
      if (Message.WParamHi() == QC_GETCACHE) {
        AnswerCache(Message);
        return;
      }
      if (Message.WParamHi() == QC_ISBUSY) {
        Message.LParam = FOwnerEdit && FOwnerEdit->SkinData()->Updating() ? 1 : 0;
        Message.Result = Message.LParam;
        return;
      }
      break;
    default: break;
  }
  auto alive = AliveToken();
  TWinControl::WndProc(Message);
  if (!*alive) return;
  switch (Message.Msg) {
    case CM_ENABLEDCHANGED:
      FUpButton->SetEnabled(Enabled());
      FDownButton->SetEnabled(Enabled());
      break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS: ShowFocus(Message.Msg == WM_SETFOCUS); break;
    default: break;
  }
}

// ---- TsBaseSpinEdit ---------------------------------------------------------------------------------------

TsBaseSpinEdit::TsBaseSpinEdit(TComponent* AOwner) : TsEdit(AOwner) {
  ControlStyle_.Exclude(csSetCaption);
  ControlStyle_.Include(csAcceptsControls);
  FButton = ::Create<TsSpinButton>(this);
  FButton->SetVisible(false);
  FButton->SetParent(this);
  FButton->SetFocusControl(this);
  FButton->OnUpClick = MakeMethod<&TsBaseSpinEdit::UpClick>(this);
  FButton->OnDownClick = MakeMethod<&TsBaseSpinEdit::DownClick>(this);
  FButton->SetUpGlyph(nullptr);
  FButton->SetDownGlyph(nullptr);
  FButton->SetVisible(true);
}

TsBaseSpinEdit::~TsBaseSpinEdit() {
  // The spin button goes with the edit's components; nothing here uses it any more.
  FButton = nullptr;
}

void TsBaseSpinEdit::Loaded() {
  TsEdit::Loaded();
  if (!FButton) return;
  FButton->SetUpGlyph(nullptr);
  FButton->SetDownGlyph(nullptr);
}

bool TsBaseSpinEdit::IsValidChar(char Key) {
  const unsigned char k = static_cast<unsigned char>(Key);
  const bool accepted =
      Key == '+' || Key == '-' || (Key >= '0' && Key <= '9') || Key == FormatSettings.DecimalSeparator;
  // Enter, and Ctrl+Enter's line feed: the window is a multi-line one, but the field has one line.
  if (!accepted && (k >= 32 || Key == '\r' || Key == '\n')) return false;
  if (FEditorEnabled) return true;
  return k < 32 && Key != '\b';
}

void TsBaseSpinEdit::CreateParams(TCreateParams& Params) {
  TsEdit::CreateParams(Params);
  Params.Style &= ~DWORD(WS_BORDER);
  // The text rectangle (EM_SETRECTNP) holds only for a multi-line edit window.
  Params.Style |= WS_CLIPCHILDREN | ES_MULTILINE;
}

void TsBaseSpinEdit::CreateWnd() {
  TsEdit::CreateWnd();
  SetEditRect();
}

void TsBaseSpinEdit::SetEditRect() {
  if (!HandleAllocated() || !FButton) return;
  RECT r{0, 0, ClientWidth() - FButton->Width() - 2, ClientHeight() + 1};
  SendMessageA(Handle_, EM_SETRECTNP, 0, reinterpret_cast<LPARAM>(&r));
}

void TsBaseSpinEdit::PlaceSpinButton() {
  if (FButton) FButton->SetBounds(Width_ - FButton->Width() - 4, 0, FButton->Width(), Height_ - 4);
}

void TsBaseSpinEdit::KeyDown(std::uint16_t& Key, TShiftState Shift) {
  auto alive = AliveToken();
  if (Key == VK_UP)
    StepUp();
  else if (Key == VK_DOWN)
    StepDown();
  if (*alive) TsEdit::KeyDown(Key, Shift);
}

void TsBaseSpinEdit::KeyPress(char& Key) {
  if (!IsValidChar(Key)) {
    Key = 0;
    MessageBeep(0);
    return;
  }
  TsEdit::KeyPress(Key);
}

void TsBaseSpinEdit::DoEnter() {
  if (AutoSelect_ && !ControlState_.Contains(csLButtonDown)) SelectAll();
  TsEdit::DoEnter();
}

void TsBaseSpinEdit::ForEachButton(TMessage& Message) {
  for (TsTimerSpeedButton* b : {FButton->UpButton(), FButton->DownButton()}) {
    TMessage m = Message;
    b->WindowProc(m);
  }
}

void TsBaseSpinEdit::SkinCommandMessage(TMessage& Message) {
  if (IsOwnManagerCommand(Message, FSkinData)) {
    ForEachButton(Message);
    // The arrows again, in the font colour the skin gives now.
    FButton->SetUpGlyph(nullptr);
    FButton->SetDownGlyph(nullptr);
  } else if (Message.WParamHi() == QC_UPDATEDONE) {
    FButton->Repaint();
  }
}

void TsBaseSpinEdit::RenewButtons(bool LeaveHover) {
  for (TsTimerSpeedButton* b : {FButton->UpButton(), FButton->DownButton()}) {
    if (LeaveHover) b->SkinData()->MouseAbove = false;
    b->Perform(SM_QUORVEXCMD, SkinCommandWParam(QC_STOPFADE), 0);
    if (LeaveHover) {
      b->SkinData()->Invalidate();
    } else {
      b->SkinData()->BGChanged = true;
      b->Repaint();
    }
  }
}

void TsBaseSpinEdit::PasteMessage() {
  // The multi-line window would take the clipboard's line breaks into the one line of the field.
  if (!Clipboard()->HasFormat(CF_TEXT)) return;
  const std::string text = qv::DeleteChars(Clipboard()->AsText(), "\r\n");
  SendMessageA(Handle_, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()));
}

void TsBaseSpinEdit::WndProc(TMessage& Message) {
  if ((Message.Msg == WM_PASTE || Message.Msg == WM_CUT) && (!FEditorEnabled || ReadOnly_)) return;
  if (Message.Msg == WM_PASTE && HandleAllocated()) {
    PasteMessage();
    return;
  }
  auto alive = AliveToken();
  TsEdit::WndProc(Message);
  if (!*alive || !FButton) return;
  switch (Message.Msg) {
    case CM_TEXTCHANGED:
      // A multi-line window reports no change for a text the program sets (the value written by
      // SetValue, the buttons, the keys, the wheel): the change is told here, once, as a one-line
      // edit window tells it.
      if (HandleAllocated()) Change();
      break;
    case WM_GETDLGCODE:
      // A one-line field for the dialog keys, whatever the window's style: Tab and Enter move on.
      Message.Result &= ~LRESULT(DLGC_WANTTAB | DLGC_WANTALLKEYS);
      Message.Result |= DLGC_WANTARROWS;
      break;
    case SM_QUORVEXCMD: SkinCommandMessage(Message); break;
    case WM_PAINT:
      if (!FSkinData->Updating()) RenewButtons(false);
      break;
    case CM_ENABLEDCHANGED: FButton->SetEnabled(Enabled()); break;
    case CM_MOUSEENTER:
    case CM_MOUSELEAVE:
      // The edit's own entering and leaving, not its buttons' passed up to it.
      if (IsOwnEnterLeave(Message, this)) RenewButtons(true);
      break;
    case WM_SIZE:
      PlaceSpinButton();
      SetEditRect();
      break;
    default: break;
  }
}

// ---- TsSpinEdit -------------------------------------------------------------------------------------------

TsSpinEdit::TsSpinEdit(TComponent* AOwner) : TsBaseSpinEdit(AOwner) { FIncrement = 1; }

int TsSpinEdit::Value() const {
  int v = 0;
  const std::string text = Text();
  if (text.empty() || !TryStrToInt(text, v)) return FMinValue;
  return v;
}

int TsSpinEdit::CheckValue(std::int64_t Value) const {
  // The limits in this order, also when MinValue lies above MaxValue: below MinValue gives
  // MinValue, else above MaxValue gives MaxValue.
  if (FMinValue != FMaxValue) {
    if (Value < FMinValue)
      Value = FMinValue;
    else if (Value > FMaxValue)
      Value = FMaxValue;
  }
  return int(std::clamp<std::int64_t>(Value, INT_MIN, INT_MAX));
}

namespace {
// The integer a text of digits (with a sign) names, held at the 64-bit limits when it is longer;
// false for any other text.
bool ReadWholeNumber(const std::string& Text, std::int64_t& Out) {
  std::size_t i = Text.empty() || (Text[0] != '-' && Text[0] != '+') ? 0 : 1;
  if (i >= Text.size()) return false;
  const bool negative = Text[0] == '-';
  Out = 0;
  for (; i < Text.size(); ++i) {
    if (Text[i] < '0' || Text[i] > '9') return false;
    const int digit = Text[i] - '0';
    if (Out > (INT64_MAX - digit) / 10) {
      Out = negative ? INT64_MIN : INT64_MAX;
      for (; i < Text.size(); ++i)
        if (Text[i] < '0' || Text[i] > '9') return false;
      return true;
    }
    Out = Out * 10 + digit;
  }
  if (negative) Out = -Out;
  return true;
}
}  // namespace

void TsSpinEdit::ExitMessage() {
  // A value outside the limits, or one the integer cannot hold (which reads as MinValue until
  // then), is written back as the value it is held at, so that the text says what Value gives.
  std::int64_t typed = 0;
  if (!ReadWholeNumber(Text(), typed)) return;
  const int checked = CheckValue(typed);
  if (checked != typed) SetValue(checked);
}

void TsSpinEdit::SetValue(int Value) { SetText(std::to_string(CheckValue(Value))); }

void TsSpinEdit::StepBy(std::int64_t Steps) { SetValue(CheckValue(Value() + Steps * std::int64_t(FIncrement))); }

bool TsSpinEdit::IsValidChar(char Key) {
  const unsigned char k = static_cast<unsigned char>(Key);
  if ((k >= 32 && !(Key >= '0' && Key <= '9')) || Key == '\r' || Key == '\n') return false;
  if (EditorEnabled()) return true;
  return k < 32 && Key != '\b';
}

void TsSpinEdit::StepUp() {
  if (ReadOnly_) {
    MessageBeep(0);
    return;
  }
  if (OnUpClick)
    OnUpClick(this);
  else
    StepBy(1);
}

void TsSpinEdit::StepDown() {
  if (ReadOnly_) {
    MessageBeep(0);
    return;
  }
  if (OnDownClick)
    OnDownClick(this);
  else
    StepBy(-1);
}

void TsSpinEdit::WndProc(TMessage& Message) {
  auto alive = AliveToken();
  TsBaseSpinEdit::WndProc(Message);
  if (!*alive) return;
  if (Message.Msg == CM_EXIT) {
    ExitMessage();
  } else if (Message.Msg == CM_MOUSEWHEEL) {
    // A read-only value stays as it is.
    if (!ReadOnly_) StepBy(short(HiWord(Message.WParam)) / WHEEL_DELTA);
    Message.Result = 1;
  }
}

// ---- published properties ------------------------------------------------------------------------------------

namespace {
const bool kSpinButtonProps = RegisterProperties<TsSpinButton, TWinControl>([](auto& p) {
  p.Obj("UpGlyph", &TsSpinButton::UpGlyph, &TsSpinButton::SetUpGlyph);
  p.Obj("DownGlyph", &TsSpinButton::DownGlyph, &TsSpinButton::SetDownGlyph);
});
const bool kTimerButtonProps = RegisterProperties<TsTimerSpeedButton, TsSpeedButton>([](auto&) {});
const bool kBaseSpinProps = RegisterProperties<TsBaseSpinEdit, TsEdit>(
    [](auto& p) { p.Ord("EditorEnabled", &TsBaseSpinEdit::EditorEnabled, &TsBaseSpinEdit::SetEditorEnabled); });
const bool kSpinEditProps = RegisterProperties<TsSpinEdit, TsBaseSpinEdit>([](auto& p) {
  p.Ord("MinValue", &TsSpinEdit::MinValue, &TsSpinEdit::SetMinValue);
  p.Ord("MaxValue", &TsSpinEdit::MaxValue, &TsSpinEdit::SetMaxValue);
  p.Ord("Increment", &TsSpinEdit::Increment, &TsSpinEdit::SetIncrement);
  p.Ord("Value", &TsSpinEdit::Value, &TsSpinEdit::SetValue);
});
}  // namespace
