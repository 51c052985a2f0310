// TButtonControl and TButton.
#include "classlib/StdCtrls.h"

#include "classlib/Forms.h"
#include "classlib/StdCtrls/Internal.h"
#include "classlib/core/TypInfo.h"

using namespace stdctrls_impl;

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
    case CM_DIALOGCHAR:
      if (!ClickByKey(Message)) TButtonControl::Dispatch(Message);
      return;
    case CM_FOCUSCHANGED:
      FocusChanged(reinterpret_cast<TWinControl*>(Message.LParam));
      TButtonControl::Dispatch(Message);
      return;
    default: TButtonControl::Dispatch(Message);
  }
}

// Return (the default button, or the focused one) and Escape (the cancel button) as dialog keys,
// or the caption's accelerator, click the button; true when one did.
bool TButton::ClickByKey(TMessage& Message) {
  const bool mine = Message.Msg == CM_DIALOGKEY
                        ? ((Message.WParam == VK_RETURN && Active_) || (Message.WParam == VK_ESCAPE && Cancel_)) &&
                              KeyDataToShiftState(Message.LParam).Empty()
                        : IsAccel(Message.WParam, Caption());
  if (!mine || !CanFocus()) return false;
  Click();
  Message.Result = 1;
  return true;
}

// The focus moved to Focused: a button that takes the focus is the active (default-looking) one,
// else the default button is.
void TButton::FocusChanged(TWinControl* Focused) {
  bool active = dynamic_cast<TButton*>(Focused) != nullptr ? Focused == this : Default_;
  if (active != Active_ || HandleAllocated()) {
    Active_ = active;
    SetButtonStyle(active);
  }
}

// ---- published properties ----------------------------------------------------------------------

static const bool kButtonControlProps = RegisterProperties<TButtonControl, TWinControl>([](auto& p) {
  p.Str("Caption", &TButtonControl::Caption, &TButtonControl::SetCaption);
  p.Ord("WordWrap", &TButtonControl::WordWrap, &TButtonControl::SetWordWrap);
});

static const bool kButtonProps = RegisterProperties<TButton, TButtonControl>([](auto& p) {
  p.Ord("Default", &TButton::Default, &TButton::SetDefault);
  p.Ord("Cancel", &TButton::Cancel, &TButton::SetCancel);
  p.Ord("ModalResult", &TButton::ModalResult, &TButton::SetModalResult);
});
