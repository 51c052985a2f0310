// Actions: TBasicAction and TCustomAction with their client controls.
#include "classlib/Controls.h"

#include "classlib/Controls/Internal.h"

using namespace controls_impl;

// ---------------------------------------------------------------------------------------------
// Actions

TBasicAction::~TBasicAction() = default;

void TBasicAction::BeforeDestruction() {
  for (TControl* c : std::vector<TControl*>(Clients_)) c->SetAction(nullptr);
  TComponent::BeforeDestruction();
}

bool TBasicAction::Execute() {
  if (!OnExecute) return false;
  OnExecute(this);
  return true;
}

bool TBasicAction::Update() {
  if (!OnUpdate) return false;
  OnUpdate(this);
  return true;
}

void TBasicAction::RegisterClient(TControl* c) {
  if (std::find(Clients_.begin(), Clients_.end(), c) == Clients_.end()) Clients_.push_back(c);
}

void TBasicAction::UnRegisterClient(TControl* c) { ListRemove(Clients_, c); }

void TBasicAction::Change() {
  for (TControl* c : std::vector<TControl*>(Clients_)) c->ActionChange(this, false);
}

void TCustomAction::SetCaption(const std::string& v) {
  if (Caption_ == v) return;
  Caption_ = v;
  Change();
}
void TCustomAction::SetEnabled(bool v) {
  if (Enabled_ == v) return;
  Enabled_ = v;
  Change();
}
void TCustomAction::SetChecked(bool v) {
  if (Checked_ == v) return;
  Checked_ = v;
  Change();
}
void TCustomAction::SetVisible(bool v) {
  if (Visible_ == v) return;
  Visible_ = v;
  Change();
}
void TCustomAction::SetHint(const std::string& v) {
  if (Hint_ == v) return;
  Hint_ = v;
  Change();
}
void TCustomAction::SetImageIndex(int v) {
  if (ImageIndex_ == v) return;
  ImageIndex_ = v;
  Change();
}
