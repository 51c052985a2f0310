#include "classlib/core/Classes.h"

#include <algorithm>

// ---------------------------------------------------------------------------------------------
// TPersistent

void TPersistent::Assign(TPersistent* Source) {
  if (Source != nullptr) {
    Source->AssignTo(this);
    return;
  }
  AssignError(nullptr);
}

void TPersistent::AssignTo(TPersistent* Dest) { Dest->AssignError(this); }

void TPersistent::AssignError(TPersistent* Source) {
  std::string sourceName = Source ? Source->ClassName() : std::string("nil");
  throw EConvertError("Cannot assign a " + sourceName + " to a " + ClassName());
}

// ---------------------------------------------------------------------------------------------
// TComponent

TComponent::TComponent(TComponent* AOwner) {
  if (AOwner != nullptr) {
    AOwner->ValidateRename(this, std::string(), Name_);
    AOwner->InsertSilently(this);
  }
}

TComponent::~TComponent() {
  if (!State_.Contains(csDestroying)) Destroying();
  // Deleted without Free, or Free's announcements already done: either way finish them here.
  if (!Removed_) {
    Removed_ = true;
    RemoveFreeNotifications();
    DetachFromOwner(Announced_);
  }
  DestroyComponents();
  if (Owner_ != nullptr) Owner_->RemoveSilently(this);
}

void TComponent::AfterConstruction() {
  TPersistent::AfterConstruction();
  if (Announced_) return;
  Announced_ = true;
  if (Owner_ != nullptr) {
    // A component made while its owner is being loaded is part of that load.
    if (Owner_->State_.Contains(csReading)) {
      State_ += TComponentState{csLoading, csReading};
      TComponent* root = Owner_;
      while (root->Owner_ != nullptr && root->Owner_->State_.Contains(csReading)) root = root->Owner_;
      TReader reader{root, Owner_};
      ReadState(reader);
    }
    Owner_->Notification(this, opInsert);
  }
}

void TComponent::BeforeDestruction() {
  if (!State_.Contains(csDestroying)) Destroying();
  TPersistent::BeforeDestruction();
  // Announce the removal while the whole object still exists, so receivers may inspect it.
  if (!Removed_) {
    Removed_ = true;
    RemoveFreeNotifications();
    DetachFromOwner(Announced_);
  }
}

void TComponent::DetachFromOwner(bool notify) {
  // The component stays in its owner's list (and keeps Owner) until its destructor; the owner
  // and its components are told now.
  if (Owner_ != nullptr && notify && !Owner_->State_.Contains(csDestroying)) Owner_->Notification(this, opRemove);
}

void TComponent::Destroying() {
  if (State_.Contains(csDestroying)) return;
  State_.Include(csDestroying);
  for (TComponent* c : Components_) c->Destroying();
}

TComponent* TComponent::Components(int index) const {
  if (index < 0 || index >= ComponentCount()) RaiseListIndexError(index);
  return Components_[static_cast<size_t>(index)];
}

int TComponent::ComponentIndex() const {
  if (Owner_ == nullptr) return -1;
  auto it = std::find(Owner_->Components_.begin(), Owner_->Components_.end(), this);
  return it == Owner_->Components_.end() ? -1 : static_cast<int>(it - Owner_->Components_.begin());
}

void TComponent::SetName(const std::string& value) {
  if (value == Name_) return;
  if (!value.empty() && !IsValidIdent(value)) throw EComponentError("'" + value + "' is not a valid component name");
  if (Owner_ != nullptr)
    Owner_->ValidateRename(this, Name_, value);
  else
    ValidateRename(nullptr, Name_, value);
  Name_ = value;
}

void TComponent::ValidateRename(TComponent* AComponent, const std::string& CurName, const std::string& NewName) {
  if (AComponent == nullptr || NewName.empty() || SameText(CurName, NewName)) return;
  TComponent* other = FindComponent(NewName);
  if (other != nullptr && other != AComponent)
    throw EComponentError("A component named " + NewName + " already exists");
}

void TComponent::InsertSilently(TComponent* c) {
  Components_.push_back(c);
  c->Owner_ = this;
}

void TComponent::RemoveSilently(TComponent* c) {
  auto it = std::find(Components_.begin(), Components_.end(), c);
  if (it != Components_.end()) Components_.erase(it);
  c->Owner_ = nullptr;
}

void TComponent::InsertComponent(TComponent* AComponent) {
  if (AComponent == nullptr || AComponent->Owner_ == this) return;
  ValidateRename(AComponent, std::string(), AComponent->Name_);
  if (AComponent->Owner_ != nullptr) AComponent->Owner_->RemoveComponent(AComponent);
  InsertSilently(AComponent);
  Notification(AComponent, opInsert);
}

void TComponent::RemoveComponent(TComponent* AComponent) {
  if (AComponent == nullptr || AComponent->Owner_ != this) return;
  Notification(AComponent, opRemove);
  RemoveSilently(AComponent);
}

TComponent* TComponent::FindComponent(std::string_view name) const {
  if (name.empty()) return nullptr;
  for (TComponent* c : Components_)
    if (SameText(c->Name_, name)) return c;
  return nullptr;
}

void TComponent::DestroyComponents() {
  while (!Components_.empty()) {
    TComponent* c = Components_.back();
    Components_.pop_back();
    c->Owner_ = nullptr;  // taken out first: the owner is not told of its own components' end
    c->Free();
  }
}

void TComponent::FreeNotification(TComponent* AComponent) {
  if (AComponent == nullptr || AComponent == this) return;
  if (Owner_ == nullptr || AComponent->Owner_ != Owner_) {
    if (std::find(FreeNotifies_.begin(), FreeNotifies_.end(), AComponent) == FreeNotifies_.end()) {
      FreeNotifies_.push_back(AComponent);
      AComponent->FreeNotification(this);
    }
  }
  State_.Include(csFreeNotification);
}

void TComponent::UnlinkFreeNotify(TComponent* c) {
  auto it = std::find(FreeNotifies_.begin(), FreeNotifies_.end(), c);
  if (it != FreeNotifies_.end()) FreeNotifies_.erase(it);
}

void TComponent::RemoveFreeNotification(TComponent* AComponent) {
  if (AComponent == nullptr) return;
  UnlinkFreeNotify(AComponent);
  AComponent->UnlinkFreeNotify(this);
}

void TComponent::RemoveFreeNotifications() {
  // Each partner is unlinked before it is told, so an override of Notification that does not
  // call the base cannot keep a dangling link (or loop).
  while (!FreeNotifies_.empty()) {
    TComponent* partner = FreeNotifies_.back();
    RemoveFreeNotification(partner);
    partner->Notification(this, opRemove);
  }
}

void TComponent::ReadState(TReader&) {}

void TComponent::Loaded() { State_.Exclude(csLoading); }

void TComponent::Notification(TComponent* AComponent, TOperation Operation) {
  if (Operation == opRemove && AComponent != nullptr) RemoveFreeNotification(AComponent);
  // Last first; the list may shrink while a receiver reacts.
  for (size_t i = Components_.size(); i > 0;) {
    --i;
    if (i >= Components_.size()) {
      i = Components_.size();
      continue;
    }
    Components_[i]->Notification(AComponent, Operation);
  }
}

namespace {
void CollectTree(TComponent* c, std::vector<TComponent*>& out) {
  out.push_back(c);
  for (int i = 0; i < c->ComponentCount(); ++i) CollectTree(c->Components(i), out);
}
}  // namespace

void BeginLoading(TComponent* root) {
  if (root == nullptr) return;
  std::vector<TComponent*> all;
  CollectTree(root, all);
  for (TComponent* c : all) c->State_ += TComponentState{csLoading, csReading};
  for (TComponent* c : all) {
    TReader reader{root, c->Owner()};
    c->ReadState(reader);
  }
}

void EndLoading(TComponent* root) {
  if (root == nullptr) return;
  std::vector<TComponent*> all;
  CollectTree(root, all);
  for (TComponent* c : all) c->State_.Exclude(csReading);
  for (TComponent* c : all) c->Loaded();
}

// ---------------------------------------------------------------------------------------------
// TList

void* TList::Items(int index) const {
  if (index < 0 || index >= Count()) RaiseListIndexError(index);
  return Items_[static_cast<size_t>(index)];
}

void TList::SetItems(int index, void* item) {
  if (index < 0 || index >= Count()) RaiseListIndexError(index);
  Items_[static_cast<size_t>(index)] = item;
}

int TList::Add(void* item) {
  Items_.push_back(item);
  return Count() - 1;
}

void TList::Insert(int index, void* item) {
  if (index < 0 || index > Count()) RaiseListIndexError(index);
  Items_.insert(Items_.begin() + index, item);
}

void TList::Delete(int index) {
  if (index < 0 || index >= Count()) RaiseListIndexError(index);
  Items_.erase(Items_.begin() + index);
}

int TList::Remove(void* item) {
  int i = IndexOf(item);
  if (i >= 0) Delete(i);
  return i;
}

void* TList::Extract(void* item) {
  int i = IndexOf(item);
  if (i < 0) return nullptr;
  Delete(i);
  return item;
}

int TList::IndexOf(const void* item) const {
  auto it = std::find(Items_.begin(), Items_.end(), item);
  return it == Items_.end() ? -1 : static_cast<int>(it - Items_.begin());
}

void TList::Exchange(int index1, int index2) {
  if (index1 < 0 || index1 >= Count()) RaiseListIndexError(index1);
  if (index2 < 0 || index2 >= Count()) RaiseListIndexError(index2);
  std::swap(Items_[static_cast<size_t>(index1)], Items_[static_cast<size_t>(index2)]);
}

void TList::Move(int curIndex, int newIndex) {
  if (curIndex == newIndex) return;
  if (newIndex < 0 || newIndex >= Count()) RaiseListIndexError(newIndex);
  void* item = Items(curIndex);
  Items_.erase(Items_.begin() + curIndex);
  Items_.insert(Items_.begin() + newIndex, item);
}

void TList::Pack() { Items_.erase(std::remove(Items_.begin(), Items_.end(), nullptr), Items_.end()); }

void TList::Sort(const std::function<int(void*, void*)>& compare) {
  std::stable_sort(Items_.begin(), Items_.end(), [&](void* a, void* b) { return compare(a, b) < 0; });
}

// ---------------------------------------------------------------------------------------------
// TStrings

int TStrings::Add(const std::string& s) {
  int index = Count();
  Insert(index, s);
  return index;
}

int TStrings::AddObject(const std::string& s, TObject* object) {
  int index = Add(s);
  PutObject(index, object);
  return index;
}

void TStrings::InsertObject(int index, const std::string& s, TObject* object) {
  Insert(index, s);
  PutObject(index, object);
}

void TStrings::Put(int index, const std::string& s) {
  BeginUpdate();
  try {
    TObject* object = GetObject(index);
    Delete(index);
    InsertObject(index, s, object);
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

TObject* TStrings::GetObject(int) const { return nullptr; }
void TStrings::PutObject(int, TObject*) {}
void TStrings::SetUpdateState(bool) {}

int TStrings::CompareStrings(const std::string& a, const std::string& b) const { return AnsiCompareText(a, b); }

int TStrings::IndexOf(const std::string& s) const {
  for (int i = 0, n = Count(); i < n; ++i)
    if (CompareStrings(Get(i), s) == 0) return i;
  return -1;
}

int TStrings::IndexOfObject(const TObject* object) const {
  for (int i = 0, n = Count(); i < n; ++i)
    if (GetObject(i) == object) return i;
  return -1;
}

void TStrings::Exchange(int index1, int index2) {
  BeginUpdate();
  try {
    std::string s1 = Get(index1), s2 = Get(index2);
    TObject* o1 = GetObject(index1);
    TObject* o2 = GetObject(index2);
    Put(index1, s2);
    Put(index2, s1);
    PutObject(index1, o2);
    PutObject(index2, o1);
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TStrings::Move(int curIndex, int newIndex) {
  if (curIndex == newIndex) return;
  BeginUpdate();
  try {
    std::string s = Get(curIndex);
    TObject* object = GetObject(curIndex);
    Delete(curIndex);
    InsertObject(newIndex, s, object);
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TStrings::AddStrings(const TStrings& strings) {
  BeginUpdate();
  try {
    for (int i = 0, n = strings.Count(); i < n; ++i) AddObject(strings.Get(i), strings.GetObject(i));
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TStrings::Assign(TPersistent* Source) {
  if (auto* src = dynamic_cast<TStrings*>(Source)) {
    if (src == this) return;
    BeginUpdate();
    try {
      Clear();
      AddStrings(*src);
    } catch (...) {
      EndUpdate();
      throw;
    }
    EndUpdate();
    return;
  }
  TPersistent::Assign(Source);
}

void TStrings::BeginUpdate() {
  if (UpdateCount_ == 0) SetUpdateState(true);
  ++UpdateCount_;
}

void TStrings::EndUpdate() {
  if (UpdateCount_ <= 0) return;
  --UpdateCount_;
  if (UpdateCount_ == 0) SetUpdateState(false);
}

std::string TStrings::Text() const {
  std::string out;
  for (int i = 0, n = Count(); i < n; ++i) {
    out += Get(i);
    out += "\r\n";
  }
  return out;
}

void TStrings::SetText(std::string_view text) {
  BeginUpdate();
  try {
    Clear();
    size_t i = 0;
    while (i < text.size()) {
      size_t start = i;
      while (i < text.size() && text[i] != '\r' && text[i] != '\n') ++i;
      Add(std::string(text.substr(start, i - start)));
      if (i < text.size() && text[i] == '\r') ++i;
      if (i < text.size() && text[i] == '\n') ++i;
    }
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

std::string TStrings::CommaText() const {
  int n = Count();
  if (n == 1 && Get(0).empty()) return "\"\"";
  std::string out;
  for (int i = 0; i < n; ++i) {
    std::string s = Get(i);
    bool quote = false;
    for (unsigned char c : s)
      if (c <= ' ' || c == ',' || c == '"') quote = true;
    if (i > 0) out += ',';
    out += quote ? QuotedStr(s, '"') : s;
  }
  return out;
}

void TStrings::SetCommaText(std::string_view text) {
  auto blank = [](char c) { return static_cast<unsigned char>(c) <= ' ' && c != '\0'; };
  BeginUpdate();
  try {
    Clear();
    size_t i = 0;
    while (i < text.size() && blank(text[i])) ++i;
    while (i < text.size()) {
      std::string item;
      if (text[i] == '"') {
        ++i;
        while (i < text.size()) {
          if (text[i] == '"') {
            if (i + 1 < text.size() && text[i + 1] == '"') {
              item += '"';
              i += 2;
              continue;
            }
            ++i;
            break;
          }
          item += text[i++];
        }
      } else {
        while (i < text.size() && text[i] != ',' && !blank(text[i])) item += text[i++];
      }
      Add(item);
      while (i < text.size() && blank(text[i])) ++i;
      if (i < text.size() && text[i] == ',') {
        ++i;
        // A trailing comma stands for one more, empty item.
        size_t j = i;
        while (j < text.size() && blank(text[j])) ++j;
        if (j >= text.size()) Add(std::string());
        i = j;
      }
    }
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

// ---------------------------------------------------------------------------------------------
// TStringList

TStringList::~TStringList() {
  OnChange = nullptr;
  OnChanging = nullptr;
  if (OwnsObjects_)
    for (Item& item : Items_) ::Free(std::exchange(item.Object, nullptr));
}

void TStringList::CheckIndex(int index) const {
  if (index < 0 || index >= Count()) RaiseListIndexError(index);
}

void TStringList::Changing() {
  if (UpdateCount() == 0) OnChanging(this);
}

void TStringList::Changed() {
  if (UpdateCount() == 0) OnChange(this);
}

void TStringList::SetUpdateState(bool updating) {
  if (updating)
    Changing();
  else
    Changed();
}

int TStringList::CompareStrings(const std::string& a, const std::string& b) const {
  return CaseSensitive_ ? AnsiCompareStr(a, b) : AnsiCompareText(a, b);
}

std::string TStringList::Get(int index) const {
  CheckIndex(index);
  return Items_[static_cast<size_t>(index)].S;
}

TObject* TStringList::GetObject(int index) const {
  CheckIndex(index);
  return Items_[static_cast<size_t>(index)].Object;
}

void TStringList::Put(int index, const std::string& s) {
  if (Sorted_) throw EListError("Operation not allowed on sorted list");
  CheckIndex(index);
  Changing();
  Items_[static_cast<size_t>(index)].S = s;
  Changed();
}

void TStringList::PutObject(int index, TObject* object) {
  CheckIndex(index);
  Changing();
  Items_[static_cast<size_t>(index)].Object = object;
  Changed();
}

int TStringList::Add(const std::string& s) { return AddObject(s, nullptr); }

int TStringList::AddObject(const std::string& s, TObject* object) {
  int index;
  if (!Sorted_) {
    index = Count();
  } else if (Find(s, index)) {
    switch (Duplicates_) {
      case dupIgnore: return index;
      case dupError: throw EListError("String list does not allow duplicates");
      case dupAccept:
        // After the equal ones, so equal strings keep the order they were added in.
        while (index < Count() && CompareStrings(Items_[static_cast<size_t>(index)].S, s) == 0) ++index;
        break;
    }
  }
  InsertItem(index, s, object);
  return index;
}

void TStringList::Insert(int index, const std::string& s) {
  if (Sorted_) throw EListError("Operation not allowed on sorted list");
  if (index < 0 || index > Count()) RaiseListIndexError(index);
  InsertItem(index, s, nullptr);
}

void TStringList::InsertItem(int index, const std::string& s, TObject* object) {
  Changing();
  Items_.insert(Items_.begin() + index, Item{s, object});
  Changed();
}

void TStringList::Delete(int index) {
  CheckIndex(index);
  Changing();
  TObject* object = Items_[static_cast<size_t>(index)].Object;
  Items_.erase(Items_.begin() + index);
  if (OwnsObjects_) ::Free(object);
  Changed();
}

void TStringList::Clear() {
  if (Items_.empty()) return;
  Changing();
  std::vector<Item> old;
  old.swap(Items_);
  if (OwnsObjects_)
    for (Item& item : old) ::Free(item.Object);
  Changed();
}

int TStringList::IndexOf(const std::string& s) const {
  if (!Sorted_) return TStrings::IndexOf(s);
  int index;
  return Find(s, index) ? index : -1;
}

void TStringList::Exchange(int index1, int index2) {
  CheckIndex(index1);
  CheckIndex(index2);
  Changing();
  std::swap(Items_[static_cast<size_t>(index1)], Items_[static_cast<size_t>(index2)]);
  Changed();
}

bool TStringList::Find(const std::string& s, int& index) const {
  // Lower bound; with duplicates the first equal item (dupAccept keeps them together).
  int lo = 0, hi = Count() - 1;
  bool found = false;
  while (lo <= hi) {
    int mid = lo + (hi - lo) / 2;
    int c = CompareStrings(Items_[static_cast<size_t>(mid)].S, s);
    if (c < 0) {
      lo = mid + 1;
    } else {
      hi = mid - 1;
      if (c == 0) found = true;
    }
  }
  index = lo;
  return found;
}

void TStringList::SortRange(const std::function<int(TStringList&, int, int)>& compare) {
  // Sort a permutation through the comparison by index, then apply it.
  std::vector<int> order(Items_.size());
  for (size_t i = 0; i < order.size(); ++i) order[i] = static_cast<int>(i);
  std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return compare(*this, a, b) < 0; });
  std::vector<Item> sorted;
  sorted.reserve(Items_.size());
  for (int i : order) sorted.push_back(std::move(Items_[static_cast<size_t>(i)]));
  Items_.swap(sorted);
}

void TStringList::Sort() {
  CustomSort([](TStringList& list, int a, int b) {
    return list.CompareStrings(list.Items_[static_cast<size_t>(a)].S, list.Items_[static_cast<size_t>(b)].S);
  });
}

void TStringList::CustomSort(const std::function<int(TStringList&, int, int)>& compare) {
  if (Count() < 2) return;
  Changing();
  SortRange(compare);
  Changed();
}

void TStringList::SetSorted(bool value) {
  if (Sorted_ == value) return;
  if (value) Sort();
  Sorted_ = value;
}

void TStringList::SetCaseSensitive(bool value) {
  if (CaseSensitive_ == value) return;
  CaseSensitive_ = value;
  if (Sorted_) Sort();
}

// ---------------------------------------------------------------------------------------------
// TCollectionItem / TCollection

TCollectionItem::TCollectionItem(TCollection* Collection) {
  if (Collection != nullptr) Collection->InsertItem(this);
}

TCollectionItem::~TCollectionItem() {
  if (Collection_ != nullptr) {
    TCollection* c = Collection_;
    c->RemoveItem(this);
    if (Announced_) c->Changed();
  }
}

void TCollectionItem::AfterConstruction() {
  TPersistent::AfterConstruction();
  if (Announced_) return;
  Announced_ = true;
  if (Collection_ != nullptr) Collection_->Changed();
}

void TCollectionItem::BeforeDestruction() {
  TPersistent::BeforeDestruction();
  // Leave the collection while whole, so its Update sees only complete items.
  SetCollection(nullptr);
}

void TCollectionItem::SetCollection(TCollection* value) {
  if (value == Collection_) return;
  if (Collection_ != nullptr) {
    TCollection* old = Collection_;
    old->RemoveItem(this);
    old->Changed();
  }
  if (value != nullptr) {
    value->InsertItem(this);
    value->Changed();
  }
}

int TCollectionItem::Index() const {
  if (Collection_ == nullptr) return -1;
  auto& items = Collection_->Items_;
  auto it = std::find(items.begin(), items.end(), this);
  return it == items.end() ? -1 : static_cast<int>(it - items.begin());
}

void TCollectionItem::SetIndex(int value) {
  int cur = Index();
  if (cur < 0 || value == cur) return;
  auto& items = Collection_->Items_;
  if (value < 0 || value >= static_cast<int>(items.size())) RaiseListIndexError(value);
  items.erase(items.begin() + cur);
  items.insert(items.begin() + value, this);
  Changed(true);
}

TPersistent* TCollectionItem::GetOwner() const { return Collection_; }

void TCollectionItem::Changed(bool AllItems) {
  if (Collection_ != nullptr && Collection_->UpdateCount_ == 0) Collection_->Update(AllItems ? nullptr : this);
}

TCollection::TCollection(ItemFactory itemClass) : ItemClass_(std::move(itemClass)) {}

TCollection::~TCollection() {
  UpdateCount_ = 1;  // no updates while the items go
  while (!Items_.empty()) {
    TCollectionItem* item = Items_.back();
    item->Free();
  }
}

TCollectionItem* TCollection::Items(int index) const {
  if (index < 0 || index >= Count()) RaiseListIndexError(index);
  return Items_[static_cast<size_t>(index)];
}

TCollectionItem* TCollection::Add() {
  if (!ItemClass_) throw EInvalidOperation("Collection has no item class");
  TCollectionItem* item = ItemClass_(this);
  if (item != nullptr && item->Collection_ != this) item->SetCollection(this);
  return item;
}

TCollectionItem* TCollection::Insert(int index) {
  if (index < 0 || index > Count()) RaiseListIndexError(index);
  BeginUpdate();
  TCollectionItem* item = nullptr;
  try {
    item = Add();
    Items_.pop_back();
    Items_.insert(Items_.begin() + index, item);
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
  return item;
}

void TCollection::Delete(int index) { Items(index)->Free(); }

void TCollection::Clear() {
  if (Items_.empty()) return;
  BeginUpdate();
  try {
    while (!Items_.empty()) Items_.back()->Free();
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

TCollectionItem* TCollection::FindItemID(int id) const {
  for (TCollectionItem* item : Items_)
    if (item->ID_ == id) return item;
  return nullptr;
}

void TCollection::Assign(TPersistent* Source) {
  if (auto* src = dynamic_cast<TCollection*>(Source)) {
    if (src == this) return;
    BeginUpdate();
    try {
      Clear();
      for (TCollectionItem* item : src->Items_) Add()->Assign(item);
    } catch (...) {
      EndUpdate();
      throw;
    }
    EndUpdate();
    return;
  }
  TPersistent::Assign(Source);
}

void TCollection::BeginUpdate() { ++UpdateCount_; }

void TCollection::EndUpdate() {
  if (UpdateCount_ <= 0) return;
  --UpdateCount_;
  Changed();
}

void TCollection::Update(TCollectionItem*) {}

void TCollection::Changed() {
  if (UpdateCount_ == 0) Update(nullptr);
}

void TCollection::InsertItem(TCollectionItem* item) {
  Items_.push_back(item);
  item->Collection_ = this;
  item->ID_ = NextID_++;
}

void TCollection::RemoveItem(TCollectionItem* item) {
  auto it = std::find(Items_.begin(), Items_.end(), item);
  if (it != Items_.end()) Items_.erase(it);
  item->Collection_ = nullptr;
}
