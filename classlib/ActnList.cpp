#include "classlib/ActnList.h"

#include <algorithm>
#include <string>

#include "classlib/core/TypInfo.h"

// ---- TCustomAction (the members that need the list) -------------------------------------------

TCustomAction::~TCustomAction() {
  if (ActionList_) ActionList_->RemoveAction(this);
}

void TCustomAction::SetActionList(TCustomActionList* v) {
  if (ActionList_ == v) return;
  if (ActionList_) ActionList_->RemoveAction(this);
  if (v) v->AddAction(this);
  Change();
}

// ---- TCustomActionList ------------------------------------------------------------------------

TCustomActionList::~TCustomActionList() {
  // The actions stay (they belong to their owner), without a list.
  for (TCustomAction* a : Actions_) a->ActionList_ = nullptr;
}

TCustomAction* TCustomActionList::Actions(int Index) const {
  if (Index < 0 || Index >= ActionCount()) throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
  return Actions_[static_cast<std::size_t>(Index)];
}

void TCustomActionList::AddAction(TCustomAction* Action) {
  Actions_.push_back(Action);
  Action->ActionList_ = this;
}

void TCustomActionList::RemoveAction(TCustomAction* Action) {
  auto it = std::find(Actions_.begin(), Actions_.end(), Action);
  if (it == Actions_.end()) return;
  Actions_.erase(it);
  Action->ActionList_ = nullptr;
}

void TCustomActionList::SetImages(TCustomImageList* v) {
  if (Images_ == v) return;
  if (Images_) Images_->RemoveFreeNotification(this);
  Images_ = v;
  if (v) v->FreeNotification(this);
  ActionsChanged();
}

void TCustomActionList::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == Images_) {
    Images_ = nullptr;
    if (!IsDestroying()) ActionsChanged();
  }
  if (auto* a = dynamic_cast<TCustomAction*>(AComponent)) RemoveAction(a);
}

void TCustomActionList::ActionsChanged() {
  for (TCustomAction* a : std::vector<TCustomAction*>(Actions_)) a->Change();
}

static const bool kActnListProps = RegisterProperties<TCustomActionList, TComponent>(
    [](auto& p) { p.Obj("Images", &TCustomActionList::Images, &TCustomActionList::SetImages); });
