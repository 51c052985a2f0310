// TCustomCheckBox and TRadioButton.
#include "classlib/StdCtrls.h"

#include <vector>

#include "classlib/StdCtrls/Internal.h"
#include "classlib/core/TypInfo.h"

using namespace stdctrls_impl;

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
      if (!FocusByAccel(Message)) TButtonControl::Dispatch(Message);
      return;
    default: TButtonControl::Dispatch(Message);
  }
}

// The caption's accelerator focuses the box and toggles it; true when it was the accelerator.
bool TCustomCheckBox::FocusByAccel(TMessage& Message) {
  if (!IsAccel(Message.WParam, Caption()) || !CanFocus()) return false;
  SetFocus();
  if (Focused()) Toggle();
  Message.Result = 1;
  return true;
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
      if (!FocusByAccel(Message)) TButtonControl::Dispatch(Message);
      return;
    default: TButtonControl::Dispatch(Message);
  }
}

// The caption's accelerator focuses the button and checks it; true when it was the accelerator.
bool TRadioButton::FocusByAccel(TMessage& Message) {
  if (!IsAccel(Message.WParam, Caption()) || !CanFocus()) return false;
  SetFocus();
  if (Focused()) SetChecked(true);
  Message.Result = 1;
  return true;
}

// ---- published properties ----------------------------------------------------------------------

static const bool kCustomCheckBoxProps = RegisterProperties<TCustomCheckBox, TButtonControl>([](auto& p) {
  p.Ord("State", &TCustomCheckBox::State, &TCustomCheckBox::SetState);
  p.Ord("Checked", &TCustomCheckBox::Checked, &TCustomCheckBox::SetCheckedValue);
  p.Ord("AllowGrayed", &TCustomCheckBox::AllowGrayed, &TCustomCheckBox::SetAllowGrayed);
  p.Ord("Alignment", &TCustomCheckBox::Alignment, &TCustomCheckBox::SetAlignment);
});

static const bool kRadioButtonProps = RegisterProperties<TRadioButton, TButtonControl>([](auto& p) {
  p.Ord("Checked", &TRadioButton::GetChecked, &TRadioButton::SetChecked);
  p.Ord("Alignment", &TRadioButton::Alignment, &TRadioButton::SetAlignment);
});
