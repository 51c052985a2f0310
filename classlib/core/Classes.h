// The object model of the class library: persistent objects, components with owners and
// notifications, lists, string lists, collections, and the common event types.
//
// Construction and destruction follow the two phases of System.h. Components and collection
// items are made with Create<T>(...): the constructor puts the new object into its owner's list
// (so Owner() and Index() work inside derived constructors) and AfterConstruction announces it
// (opInsert to the owner, Update to the collection) once the whole object exists. They are
// destroyed with Free(): BeforeDestruction announces the removal while the object is still whole,
// the destructors then take it out of its owner and free what it owns. Overrides of
// AfterConstruction and BeforeDestruction call their base class's version first. An object made
// with plain new is never announced to its owner (nor is its removal).
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "classlib/core/Events.h"
#include "classlib/core/Sets.h"
#include "classlib/core/SysUtils.h"
#include "classlib/core/System.h"
#include "classlib/core/Types.h"

// ---------------------------------------------------------------------------------------------
// Common event and state types.

enum TShiftStateItem : std::uint8_t { ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble };
using TShiftState = TSet<TShiftStateItem>;

enum TMouseButton : std::uint8_t { mbLeft, mbRight, mbMiddle };

using TNotifyEvent = TMethod<void(TObject* Sender)>;
using TMouseEvent = TMethod<void(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TMouseMoveEvent = TMethod<void(TObject* Sender, TShiftState Shift, int X, int Y)>;
using TKeyEvent = TMethod<void(TObject* Sender, std::uint16_t& Key, TShiftState Shift)>;
using TKeyPressEvent = TMethod<void(TObject* Sender, char& Key)>;
using TMouseWheelEvent =
    TMethod<void(TObject* Sender, TShiftState Shift, int WheelDelta, TPoint MousePos, bool& Handled)>;

// Keyboard shortcut: a virtual-key code in the low byte and the modifier flags below.
using TShortCut = std::uint16_t;
inline constexpr TShortCut scShift = 0x2000;
inline constexpr TShortCut scCtrl = 0x4000;
inline constexpr TShortCut scAlt = 0x8000;
inline constexpr TShortCut scNone = 0;

enum TOperation : std::uint8_t { opInsert, opRemove };

enum TComponentStateItem : std::uint8_t {
  csLoading,  // between BeginLoading and Loaded
  csReading,  // while the owner's loading runs (cleared before Loaded)
  csWriting,
  csDestroying,  // from BeforeDestruction (or the destructor) on
  csDesigning,   // never set at run time; kept so the tests of design mode read naturally
  csAncestor,
  csUpdating,
  csFixups,
  csFreeNotification,  // the component took part in a free notification
};
using TComponentState = TSet<TComponentStateItem>;

enum TDuplicates : std::uint8_t { dupIgnore, dupAccept, dupError };

// ---------------------------------------------------------------------------------------------

class TPersistent : public TObject {
 public:
  QV_CLASS_NAME(TPersistent)
  // Copies Source into this object: Source->AssignTo(this); raises EConvertError
  // "Cannot assign a <Source class> to a <this class>" when neither side knows the other.
  // Overrides handle the classes they know and call the base for the rest.
  virtual void Assign(TPersistent* Source);
  // The object that owns this one for naming and streaming (nullptr at this level).
  virtual TPersistent* GetOwner() const { return nullptr; }

 protected:
  virtual void AssignTo(TPersistent* Dest);
  [[noreturn]] void AssignError(TPersistent* Source);
};

class TComponent;

// Stands in for the form reader: what a component learns about its loading.
struct TReader {
  TComponent* Root = nullptr;   // the component being loaded (the form)
  TComponent* Owner = nullptr;  // the owner of the component being read
};

class TComponent : public TPersistent {
 public:
  QV_CLASS_NAME(TComponent)
  explicit TComponent(TComponent* AOwner);
  ~TComponent() override;

  void AfterConstruction() override;
  void BeforeDestruction() override;

  TComponent* Owner() const { return Owner_; }
  TPersistent* GetOwner() const override { return Owner_; }
  int ComponentCount() const { return static_cast<int>(Components_.size()); }
  TComponent* Components(int index) const;
  int ComponentIndex() const;  // position in the owner's list, -1 without owner

  const std::string& Name() const { return Name_; }
  // Raises EComponentError for an invalid identifier or a name another component of the same
  // owner has (compared without case). An empty name is allowed.
  virtual void SetName(const std::string& value);
  std::intptr_t Tag() const { return Tag_; }
  void SetTag(std::intptr_t value) { Tag_ = value; }

  TComponentState ComponentState() const { return State_; }
  bool Loading() const { return State_.Contains(csLoading); }
  bool IsDestroying() const { return State_.Contains(csDestroying); }

  // Takes AComponent from its present owner (if any) into this one's list and notifies.
  void InsertComponent(TComponent* AComponent);
  // Notifies and takes AComponent out of this one's list; it keeps existing, without owner.
  void RemoveComponent(TComponent* AComponent);
  // The owned component of that name (case-insensitive), nullptr when none or the name is empty.
  TComponent* FindComponent(std::string_view name) const;
  // Frees the owned components, last first.
  void DestroyComponents();
  // Sets csDestroying on this component and the ones it owns.
  void Destroying();

  // Asks to be told (Notification opRemove) when AComponent is freed; for components of other
  // owners (components of the same owner are told anyway). The link goes both ways.
  void FreeNotification(TComponent* AComponent);
  void RemoveFreeNotification(TComponent* AComponent);

  // Loading protocol (see BeginLoading / EndLoading below).
  virtual void ReadState(TReader& Reader);
  virtual void Loaded();
  // Tells this component and, through the base version, its owned components (last first)
  // that AComponent was inserted into or removed from their owner, or is being freed.
  virtual void Notification(TComponent* AComponent, TOperation Operation);

 protected:
  void SetComponentState(TComponentState state) { State_ = state; }
  void IncludeState(TComponentStateItem item) { State_.Include(item); }
  void ExcludeState(TComponentStateItem item) { State_.Exclude(item); }
  // Checks a new name before it is taken (raises EComponentError).
  virtual void ValidateRename(TComponent* AComponent, const std::string& CurName, const std::string& NewName);

 private:
  friend void BeginLoading(TComponent*);
  friend void EndLoading(TComponent*);
  void InsertSilently(TComponent* c);
  void RemoveSilently(TComponent* c);
  void DetachFromOwner(bool notify);
  void RemoveFreeNotifications();
  void UnlinkFreeNotify(TComponent* c);

  TComponent* Owner_ = nullptr;
  std::vector<TComponent*> Components_;
  std::vector<TComponent*> FreeNotifies_;
  std::string Name_;
  std::intptr_t Tag_ = 0;
  TComponentState State_;
  bool Announced_ = false;  // the owner was told of the insert (AfterConstruction ran)
  bool Removed_ = false;    // the removal has been announced
};

// Loading protocol, in place of reading a form from a stream. BeginLoading marks the root and
// every component it owns (recursively) csLoading + csReading and calls ReadState on each;
// components created with an owner that is reading join the load. The caller then sets the
// properties as a stream would. EndLoading clears csReading on all of them and calls Loaded on
// each, root first, then the owned components in order (depth first); Loaded clears csLoading.
void BeginLoading(TComponent* root);
void EndLoading(TComponent* root);

// ---------------------------------------------------------------------------------------------
// A list of untyped pointers. Index errors raise EListError "List index out of bounds (N)".

class TList : public TObject {
 public:
  QV_CLASS_NAME(TList)
  int Count() const { return static_cast<int>(Items_.size()); }
  void* Items(int index) const;
  void SetItems(int index, void* item);
  int Add(void* item);
  void Insert(int index, void* item);
  void Delete(int index);
  int Remove(void* item);  // removes the first occurrence; returns its index or -1
  void* Extract(void* item);
  int IndexOf(const void* item) const;
  void Clear() { Items_.clear(); }
  void* First() const { return Items(0); }
  void* Last() const { return Items(Count() - 1); }
  void Exchange(int index1, int index2);
  void Move(int curIndex, int newIndex);
  void Pack();  // removes the null entries
  void Sort(const std::function<int(void*, void*)>& compare);
  const std::vector<void*>& List() const { return Items_; }

 private:
  std::vector<void*> Items_;
};

// ---------------------------------------------------------------------------------------------
// Strings with associated objects.

// The Windows platform header defines GetObject as a macro (GetObjectA). Left in place it would
// rename TStrings::GetObject in the translation units that include that header first, while this
// library defines the member under its own name: a descendant that does not override it would
// then refer to a member that exists nowhere. The name is freed here (and in classlib/Win.h);
// code that wants the graphics function calls GetObjectA.
#ifdef GetObject
#undef GetObject
#endif

class TStrings : public TPersistent {
 public:
  QV_CLASS_NAME(TStrings)
  virtual int Count() const = 0;
  std::string Strings(int index) const { return Get(index); }
  void SetStrings(int index, const std::string& s) { Put(index, s); }
  TObject* Objects(int index) const { return GetObject(index); }
  void SetObjects(int index, TObject* object) { PutObject(index, object); }

  virtual int Add(const std::string& s);
  virtual int AddObject(const std::string& s, TObject* object);
  virtual void Insert(int index, const std::string& s) = 0;
  void InsertObject(int index, const std::string& s, TObject* object);
  virtual void Delete(int index) = 0;
  virtual void Clear() = 0;
  virtual int IndexOf(const std::string& s) const;  // case-insensitive, -1 when missing
  virtual int IndexOfObject(const TObject* object) const;
  virtual void Exchange(int index1, int index2);
  virtual void Move(int curIndex, int newIndex);
  void AddStrings(const TStrings& strings);
  void Assign(TPersistent* Source) override;

  // Lines ended by CR LF; setting splits on CR LF, CR or LF (a final line break adds no line).
  std::string Text() const;
  void SetText(std::string_view text);
  // Items separated by ',' ; an item with a blank, comma, quote or control character is quoted
  // with '"' (inner quotes doubled). Setting splits on commas and blanks outside quotes.
  std::string CommaText() const;
  void SetCommaText(std::string_view text);

  // Changes between BeginUpdate and the matching EndUpdate are announced once.
  void BeginUpdate();
  void EndUpdate();
  int UpdateCount() const { return UpdateCount_; }

 protected:
  // The access a descendant provides.
  virtual std::string Get(int index) const = 0;
  virtual void Put(int index, const std::string& s);
  virtual TObject* GetObject(int index) const;
  virtual void PutObject(int index, TObject* object);
  virtual void SetUpdateState(bool updating);
  virtual int CompareStrings(const std::string& a, const std::string& b) const;

 private:
  int UpdateCount_ = 0;
};

class TStringList : public TStrings {
 public:
  QV_CLASS_NAME(TStringList)
  ~TStringList() override;

  int Count() const override { return static_cast<int>(Items_.size()); }
  int Add(const std::string& s) override;
  int AddObject(const std::string& s, TObject* object) override;
  void Insert(int index, const std::string& s) override;
  void Delete(int index) override;
  void Clear() override;
  int IndexOf(const std::string& s) const override;
  void Exchange(int index1, int index2) override;

  // Binary search in a sorted list: true and the index when found, else false and the index
  // where s belongs. Valid only while Sorted.
  virtual bool Find(const std::string& s, int& index) const;
  virtual void Sort();
  // Sorts by compare(list, i, j) (< 0 when item i goes first); the list need not be Sorted.
  void CustomSort(const std::function<int(TStringList&, int, int)>& compare);

  bool Sorted() const { return Sorted_; }
  void SetSorted(bool value);
  TDuplicates Duplicates() const { return Duplicates_; }
  void SetDuplicates(TDuplicates value) { Duplicates_ = value; }
  bool CaseSensitive() const { return CaseSensitive_; }
  void SetCaseSensitive(bool value);
  // With OwnsObjects the list frees the objects of deleted items and its own at destruction.
  bool OwnsObjects() const { return OwnsObjects_; }
  void SetOwnsObjects(bool value) { OwnsObjects_ = value; }

  TNotifyEvent OnChange;
  TNotifyEvent OnChanging;

 protected:
  std::string Get(int index) const override;
  void Put(int index, const std::string& s) override;
  TObject* GetObject(int index) const override;
  void PutObject(int index, TObject* object) override;
  void SetUpdateState(bool updating) override;
  int CompareStrings(const std::string& a, const std::string& b) const override;
  virtual void Changed();
  virtual void Changing();
  void InsertItem(int index, const std::string& s, TObject* object);

 private:
  struct Item {
    std::string S;
    TObject* Object = nullptr;
  };
  void CheckIndex(int index) const;
  void SortRange(const std::function<int(TStringList&, int, int)>& compare);
  std::vector<Item> Items_;
  bool Sorted_ = false;
  bool CaseSensitive_ = false;
  bool OwnsObjects_ = false;
  TDuplicates Duplicates_ = dupIgnore;
};

// ---------------------------------------------------------------------------------------------
// Collections: ordered lists of items of one class, owned by the collection.

class TCollection;

class TCollectionItem : public TPersistent {
 public:
  QV_CLASS_NAME(TCollectionItem)
  explicit TCollectionItem(TCollection* Collection);
  ~TCollectionItem() override;
  void AfterConstruction() override;
  void BeforeDestruction() override;

  TCollection* Collection() const { return Collection_; }
  // Moves the item into another collection (nullptr: out of any).
  void SetCollection(TCollection* value);
  int Index() const;
  virtual void SetIndex(int value);
  int ID() const { return ID_; }
  TPersistent* GetOwner() const override;
  virtual std::string DisplayName() const { return ClassName(); }

 protected:
  // Tells the collection of a change: Update(this), or Update(nullptr) with AllItems.
  void Changed(bool AllItems);

 private:
  friend class TCollection;
  TCollection* Collection_ = nullptr;
  int ID_ = 0;
  bool Announced_ = false;
};

class TCollection : public TPersistent {
 public:
  QV_CLASS_NAME(TCollection)
  // Makes one item of the collection's item class, inside the collection.
  using ItemFactory = std::function<TCollectionItem*(TCollection*)>;
  template <typename T>
  static ItemFactory ItemClass() {
    return [](TCollection* c) -> TCollectionItem* { return Create<T>(c); };
  }

  explicit TCollection(ItemFactory itemClass);
  ~TCollection() override;

  int Count() const { return static_cast<int>(Items_.size()); }
  TCollectionItem* Items(int index) const;
  TCollectionItem* Add();
  TCollectionItem* Insert(int index);
  void Delete(int index);
  void Clear();
  TCollectionItem* FindItemID(int id) const;
  // Copies a collection: cleared, then one new item per source item, each assigned from it.
  void Assign(TPersistent* Source) override;

  // Updates between BeginUpdate and EndUpdate are collected into one Update(nullptr).
  virtual void BeginUpdate();
  virtual void EndUpdate();
  int UpdateCount() const { return UpdateCount_; }

 protected:
  // A change of Item (nullptr: of the collection as a whole: items added, removed, moved, cleared).
  virtual void Update(TCollectionItem* Item);
  void Changed();

 private:
  friend class TCollectionItem;
  void InsertItem(TCollectionItem* item);
  void RemoveItem(TCollectionItem* item);
  ItemFactory ItemClass_;
  std::vector<TCollectionItem*> Items_;
  int NextID_ = 0;
  int UpdateCount_ = 0;
};

// A collection that names its owner (for GetOwner), like those published by components.
class TOwnedCollection : public TCollection {
 public:
  QV_CLASS_NAME(TOwnedCollection)
  TOwnedCollection(TPersistent* owner, ItemFactory itemClass) : TCollection(std::move(itemClass)), Owner_(owner) {}
  TPersistent* GetOwner() const override { return Owner_; }

 private:
  TPersistent* Owner_;
};
