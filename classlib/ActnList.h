// Action lists: the actions of a form gathered in one list that holds their images.
#pragma once

#include "classlib/Win.h"

#include <vector>

#include "classlib/Controls.h"
#include "classlib/ImgList.h"

class TCustomActionList : public TComponent {
 public:
  QV_CLASS_NAME(TCustomActionList)
  explicit TCustomActionList(TComponent* AOwner) : TComponent(AOwner) {}
  ~TCustomActionList() override;
  int ActionCount() const { return static_cast<int>(Actions_.size()); }
  TCustomAction* Actions(int Index) const;
  // The images of the actions (their ImageIndex); linked controls are told when it changes.
  TCustomImageList* Images() const { return Images_; }
  void SetImages(TCustomImageList* v);

 protected:
  friend class TCustomAction;
  void AddAction(TCustomAction* Action);
  void RemoveAction(TCustomAction* Action);
  void Notification(TComponent* AComponent, TOperation Operation) override;

 private:
  // Every action tells its controls (ActionChange).
  void ActionsChanged();
  std::vector<TCustomAction*> Actions_;
  TCustomImageList* Images_ = nullptr;
};

class TActionList : public TCustomActionList {
 public:
  QV_CLASS_NAME(TActionList)
  using TCustomActionList::TCustomActionList;
};
