// The control adapter of a skinned form: it gives the form's standard controls (edits, buttons,
// lists, grids, tool bars ... and foreign controls named by class) window adapters, so that they
// show in the skin without being skinned controls of their own. A control qualifies by its exact
// class name, found in one of the skin manager's class-name lists; the list's kind chooses the
// section and the adapter class (the adapter families enter theirs with RegisterKindAdapter). One
// TacAdapterItem per adapted control holds the skin data and the window adapter made for it. Part
// of the form provider (include skin/windows/sSkinProvider.h).
#pragma once

#include "skin/windows/sSkinProvider.h"

#include "classlib/StdCtrls.h"

class TacMainWnd;
class TacCtrlAdapter;

// true while a control adapter walks the controls of a form (AddAllItems).
extern bool AddingItems;

// What AttachControl does for a control of each kind: the section the item's skin data gets (empty:
// the one AddItem gave it is kept) and the section passed to the window adapter.
struct TacKindSections {
  const char* ItemSection;
  const char* AdapterSection;
};
// By kind (TacThirdKind).
const TacKindSections& KindSections(int Kind);
// The kind of the first of the manager's class-name lists that holds the class name (exact,
// case-sensitive comparison); -1 when none does.
int ThirdKindOf(TsSkinManager* Manager, const std::string& ClassName);

// One adapted control: the skin data the window adapter paints with, and the adapter.
class TacAdapterItem : public TPersistent {
 public:
  QV_CLASS_NAME(TacAdapterItem)
  TacAdapterItem();
  ~TacAdapterItem() override;

  // Gives the control its window adapter by the kind of its class name (none for a class in no
  // list, a control without a window or parent, or a skinned control).
  virtual void AttachControl(TControl* AControl);

  TControl* Control = nullptr;        // not owned
  TsCommonData* SkinData = nullptr;   // owned; type code tcAdapterItem
  TacCtrlAdapter* Adapter = nullptr;  // the owner
  TacMainWnd* WndAdapter = nullptr;   // owned; nullptr when none was made
};

class TacCtrlAdapter : public TPersistent {
 public:
  QV_CLASS_NAME(TacCtrlAdapter)
  explicit TacCtrlAdapter(TsSkinProvider* AProvider);
  // The items freed, the labels given their colour and transparency back.
  ~TacCtrlAdapter() override;

  // The control would be adapted: not tagged -98, with a window when a window control, not a
  // skinned control already; a label unless the provider's OnSkinItem refuses it; another control
  // when its class name stands in one of the manager's lists.
  virtual bool IsControlSupported(TControl* Control);
  // The item at Index; nullptr outside 0 .. Count - 1.
  virtual TacAdapterItem* GetItem(int Index) const;
  int Count() const { return int(Items.size()); }
  // AddItem with DefaultSection: for a control put on the form at run time.
  virtual void AddNewItem(TControl* Control);
  // Adds or refreshes the item of one control: a new item gets its adapter (and is dropped again
  // when none is made); an item whose adapter left its window (the window was made again) gets a
  // new one; an item with a live adapter stays as it is.
  virtual void AddItem(TControl* Control, const std::string& Section);
  // Frees the item at Index; the last item takes its place.
  virtual void RemoveItem(int Index);
  // The message sent to the window of every control whose adapter lives; items added or removed
  // by the receivers meanwhile are not missed nor touched after they go.
  virtual void BroadcastMessage(TMessage& Message);
  // Adapts a whole tree of controls (nullptr: the provider's form): its owned components and its child
  // controls, depth first; labels are made transparent in the skin's font colour.
  void AddAllItems(TWinControl* OwnerControl);
  // Drops the items that have no adapter, keeping the order of the others. An item whose adapter
  // left a window that was destroyed while its control lives stays: the control's new window gets
  // a new adapter in it as the form hears of it (a control made again announces itself through
  // its leaving adapter), or at the next walk.
  void CleanItems();
  // Frees every item.
  void ClearItems();

  std::vector<TacAdapterItem*> Items;  // owned
  TsSkinProvider* Provider = nullptr;
  std::string DefaultSection;

 private:
  struct TLabelLook {
    TCustomLabel* Label;
    bool Transparent;
    TColor FontColor;
    bool ParentFont;
  };
  // The provider's answer for a control (true when there is no handler).
  bool AskProvider(TControl* Control, std::string& Section);
  void AddLevel(TWinControl* Owner);
  void AddFromList(TControl* Control, bool FromComponents);
  void SkinLabel(TCustomLabel* Label);
  void RestoreLabels();
  // A control of an item is being freed (while still whole): its item goes with its adapter.
  void ControlFreed(TComponent* Control);
  friend class TacControlWatch;
  TsSkinManager* Manager() const;
  std::vector<TLabelLook> Labels_;
  // Told when an item's control is freed.
  TComponent* Watch_ = nullptr;
};
