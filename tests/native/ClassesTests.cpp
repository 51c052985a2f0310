// Object model: ownership, notifications, loading, lists, string lists and collections.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "classlib/core/Classes.h"

namespace {

std::vector<std::string> gLog;
int gLive = 0;

// A component that counts its instances and records the notifications it receives.
class TProbe : public TComponent {
 public:
  QV_CLASS_NAME(TProbe)
  TProbe(TComponent* owner, const std::string& name) : TComponent(owner) {
    ++gLive;
    SetName(name);
  }
  ~TProbe() override { --gLive; }

  void Notification(TComponent* c, TOperation op) override {
    gLog.push_back(Name() + (op == opInsert ? "+" : "-") + c->Name());
    if (op == opRemove && c == Partner) Partner = nullptr;
    TComponent::Notification(c, op);
  }
  void ReadState(TReader& reader) override {
    gLog.push_back("read " + Name() + " owner=" + (reader.Owner ? reader.Owner->Name() : "none"));
  }
  void Loaded() override {
    TComponent::Loaded();
    gLog.push_back("loaded " + Name() + (Loading() ? " still loading" : ""));
  }

  TComponent* Partner = nullptr;
};

// Reacts to notifications without calling the base version.
class TRude : public TProbe {
 public:
  using TProbe::TProbe;
  void Notification(TComponent* c, TOperation op) override {
    if (op == opRemove && c == Partner) Partner = nullptr;
  }
};

class Classes : public ::testing::Test {
 protected:
  void SetUp() override {
    gLog.clear();
    gLive = 0;
  }
  void TearDown() override { EXPECT_EQ(gLive, 0) << "components leaked"; }
};

TEST_F(Classes, OwnerFreesWholeTreeLastFirst) {
  auto* root = Create<TProbe>(nullptr, "Root");
  auto* a = Create<TProbe>(root, "A");
  Create<TProbe>(root, "B");
  Create<TProbe>(a, "A1");
  Create<TProbe>(a, "A2");
  EXPECT_EQ(gLive, 5);
  EXPECT_EQ(root->ComponentCount(), 2);
  EXPECT_EQ(a->ComponentIndex(), 0);
  EXPECT_EQ(root->FindComponent("b")->Name(), "B");
  EXPECT_EQ(root->FindComponent("A1"), nullptr);  // only direct components
  gLog.clear();
  root->Free();
  EXPECT_EQ(gLive, 0);
  // The dying owner tells no one of its own components' end.
  EXPECT_TRUE(gLog.empty()) << gLog.front();
}

TEST_F(Classes, NotificationsReachOwnerThenComponentsLastFirst) {
  auto* owner = Create<TProbe>(nullptr, "Owner");
  Create<TProbe>(owner, "A");
  auto* b = Create<TProbe>(owner, "B");
  gLog.clear();
  Create<TProbe>(owner, "C");
  EXPECT_EQ(gLog, (std::vector<std::string>{"Owner+C", "C+C", "B+C", "A+C"}));
  gLog.clear();
  b->Free();
  EXPECT_EQ(gLog, (std::vector<std::string>{"Owner-B", "C-B", "B-B", "A-B"}));
  EXPECT_EQ(owner->ComponentCount(), 2);
  owner->Free();
}

TEST_F(Classes, DestroyingStateSpreadsBeforeChildrenGo) {
  auto* owner = Create<TProbe>(nullptr, "Owner");
  auto* child = Create<TProbe>(owner, "Child");
  owner->Destroying();
  EXPECT_TRUE(child->ComponentState().Contains(csDestroying));
  EXPECT_FALSE(owner->ComponentState().Contains(csDesigning));
  owner->Free();
}

TEST_F(Classes, FreeNotificationAcrossOwners) {
  auto* form1 = Create<TProbe>(nullptr, "Form1");
  auto* form2 = Create<TProbe>(nullptr, "Form2");
  auto* user = Create<TProbe>(form1, "User");
  auto* used = Create<TProbe>(form2, "Used");
  user->Partner = used;
  used->FreeNotification(user);
  gLog.clear();
  used->Free();
  EXPECT_EQ(user->Partner, nullptr);
  EXPECT_NE(std::find(gLog.begin(), gLog.end(), "User-Used"), gLog.end());
  // The link went both ways: freeing the user afterwards touches nothing freed.
  form1->Free();
  form2->Free();
}

TEST_F(Classes, FreeNotificationSurvivesOverrideWithoutBaseCall) {
  auto* form1 = Create<TProbe>(nullptr, "Form1");
  auto* form2 = Create<TProbe>(nullptr, "Form2");
  auto* rude = Create<TRude>(form1, "Rude");
  auto* used = Create<TProbe>(form2, "Used");
  rude->Partner = used;
  used->FreeNotification(rude);
  form2->Free();  // would loop or leave a dangling link if the unlinking relied on the override
  EXPECT_EQ(rude->Partner, nullptr);
  form1->Free();
}

TEST_F(Classes, FreeNotificationRemovedIsNotSent) {
  auto* form1 = Create<TProbe>(nullptr, "Form1");
  auto* form2 = Create<TProbe>(nullptr, "Form2");
  auto* user = Create<TProbe>(form1, "User");
  auto* used = Create<TProbe>(form2, "Used");
  used->FreeNotification(user);
  used->RemoveFreeNotification(user);
  gLog.clear();
  used->Free();
  EXPECT_EQ(std::find(gLog.begin(), gLog.end(), "User-Used"), gLog.end());
  form1->Free();
  form2->Free();
}

TEST_F(Classes, InsertAndRemoveComponentMoveOwnership) {
  auto* o1 = Create<TProbe>(nullptr, "O1");
  auto* o2 = Create<TProbe>(nullptr, "O2");
  auto* c = Create<TProbe>(o1, "C");
  gLog.clear();
  o2->InsertComponent(c);
  EXPECT_EQ(c->Owner(), o2);
  EXPECT_EQ(o1->ComponentCount(), 0);
  EXPECT_EQ(gLog, (std::vector<std::string>{"O1-C", "C-C", "O2+C", "C+C"}));
  o2->RemoveComponent(c);
  EXPECT_EQ(c->Owner(), nullptr);
  c->Free();
  o1->Free();
  o2->Free();
}

TEST_F(Classes, NamesAreIdentifiersUniqueWithinOwner) {
  auto* owner = Create<TProbe>(nullptr, "Owner");
  Create<TProbe>(owner, "Button1");
  auto* other = Create<TProbe>(owner, "");
  try {
    other->SetName("BUTTON1");
    FAIL();
  } catch (const EComponentError& e) {
    EXPECT_STREQ(e.what(), "A component named BUTTON1 already exists");
  }
  EXPECT_THROW(other->SetName("1abc"), EComponentError);
  other->SetName("Button2");
  EXPECT_EQ(owner->FindComponent("button2"), other);
  owner->Free();
}

TEST_F(Classes, LoadingProtocol) {
  auto* form = Create<TProbe>(nullptr, "Form");
  Create<TProbe>(form, "Early");
  gLog.clear();
  BeginLoading(form);
  auto* late = Create<TProbe>(form, "Late");  // made while the form is read: joins the load
  EXPECT_TRUE(late->ComponentState().Contains(csLoading));
  EXPECT_TRUE(late->ComponentState().Contains(csReading));
  EXPECT_TRUE(form->Loading());
  EndLoading(form);
  EXPECT_EQ(gLog, (std::vector<std::string>{"read Form owner=none", "read Early owner=Form", "read Late owner=Form",
                                            "Form+Late", "Late+Late", "Early+Late", "loaded Form", "loaded Early",
                                            "loaded Late"}));
  EXPECT_FALSE(late->Loading());
  EXPECT_TRUE(late->ComponentState().Empty());
  form->Free();
}

TEST_F(Classes, AssignBetweenUnrelatedClassesRaises) {
  auto* a = Create<TProbe>(nullptr, "A");
  TStringList list;
  try {
    list.Assign(a);
    FAIL();
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), "Cannot assign a TProbe to a TStringList");
  }
  try {
    a->Assign(nullptr);
    FAIL();
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), "Cannot assign a nil to a TProbe");
  }
  a->Free();
}

// --- TList ----------------------------------------------------------------------------------

TEST_F(Classes, ListIndexErrorsAndMoves) {
  int x[4];
  TList list;
  for (int& v : x) list.Add(&v);
  list.Move(0, 3);
  EXPECT_EQ(list.Items(3), &x[0]);
  list.Exchange(0, 3);
  EXPECT_EQ(list.Items(0), &x[0]);
  EXPECT_EQ(list.Remove(&x[2]), 1);  // x0 x2 x3 x1
  EXPECT_EQ(list.IndexOf(&x[2]), -1);
  list.Add(nullptr);
  list.Pack();
  EXPECT_EQ(list.Count(), 3);
  try {
    list.Items(3);
    FAIL();
  } catch (const EListError& e) {
    EXPECT_STREQ(e.what(), "List index out of bounds (3)");
  }
  EXPECT_THROW(list.Insert(-1, nullptr), EListError);
}

// --- TStringList ----------------------------------------------------------------------------

struct ChangeCounter {
  int Changes = 0;
  int Changings = 0;
  void OnChange(TObject*) { ++Changes; }
  void OnChanging(TObject*) { ++Changings; }
};

TEST_F(Classes, StringListChangeEventsOncePerUpdate) {
  TStringList list;
  ChangeCounter counter;
  list.OnChange = MakeMethod<&ChangeCounter::OnChange>(&counter);
  list.OnChanging = MakeMethod<&ChangeCounter::OnChanging>(&counter);
  list.Add("a");
  list.Add("b");
  EXPECT_EQ(counter.Changes, 2);
  EXPECT_EQ(counter.Changings, 2);
  list.BeginUpdate();
  list.BeginUpdate();
  list.Add("c");
  list.Delete(0);
  list.SetStrings(0, "x");
  list.EndUpdate();
  EXPECT_EQ(counter.Changes, 2);
  list.EndUpdate();
  EXPECT_EQ(counter.Changes, 3);
  EXPECT_EQ(counter.Changings, 3);
  list.EndUpdate();  // unmatched: ignored
  EXPECT_EQ(counter.Changes, 3);
  list.SetText("1\r\n2\n3\r4\r\n");
  EXPECT_EQ(counter.Changes, 4);
  EXPECT_EQ(list.Count(), 4);
  EXPECT_EQ(list.Text(), "1\r\n2\r\n3\r\n4\r\n");
}

TEST_F(Classes, StringListSortedFindAndDuplicates) {
  struct Case {
    TDuplicates Dup;
    std::vector<std::string> Expected;
    bool Throws;
  };
  const Case cases[] = {
      {dupIgnore, {"apple", "Banana", "cherry"}, false},
      {dupAccept, {"apple", "Banana", "banana", "cherry"}, false},
      {dupError, {"apple", "Banana", "cherry"}, true},
  };
  for (const Case& c : cases) {
    TStringList list;
    list.SetDuplicates(c.Dup);
    list.SetSorted(true);
    list.Add("cherry");
    list.Add("Banana");
    list.Add("apple");
    if (c.Throws)
      EXPECT_THROW(list.Add("banana"), EListError);
    else
      list.Add("banana");
    std::vector<std::string> got;
    for (int i = 0; i < list.Count(); ++i) got.push_back(list.Strings(i));
    EXPECT_EQ(got, c.Expected) << "duplicates mode " << int(c.Dup);
    int index = -1;
    EXPECT_TRUE(list.Find("BANANA", index));
    EXPECT_EQ(index, 1);
    EXPECT_FALSE(list.Find("blueberry", index));
    EXPECT_EQ(index, c.Dup == dupAccept ? 3 : 2);
    EXPECT_EQ(list.IndexOf("CHERRY"), list.Count() - 1);
    EXPECT_THROW(list.Insert(0, "z"), EListError);
  }
}

TEST_F(Classes, StringListCaseSensitiveSortAndObjects) {
  TStringList list;
  TObject o1, o2;
  list.AddObject("b", &o1);
  list.AddObject("B", &o2);
  list.AddObject("a", nullptr);
  list.SetCaseSensitive(true);
  list.SetSorted(true);
  EXPECT_EQ(list.CommaText(), "B,a,b");
  EXPECT_EQ(list.IndexOfObject(&o1), 2);
  EXPECT_EQ(list.Objects(0), &o2);
  list.SetObjects(0, nullptr);
  EXPECT_EQ(list.IndexOfObject(&o2), -1);
}

TEST_F(Classes, StringListOwnsObjectsFreesThem) {
  static int live = 0;
  struct TCounted : TObject {
    TCounted() { ++live; }
    ~TCounted() override { --live; }
  };
  {
    TStringList list;
    list.SetOwnsObjects(true);
    list.AddObject("a", new TCounted);
    list.AddObject("b", new TCounted);
    list.AddObject("c", new TCounted);
    list.Delete(1);
    EXPECT_EQ(live, 2);
  }
  EXPECT_EQ(live, 0);
}

TEST_F(Classes, StringListCommaTextRoundTrip) {
  const struct {
    std::vector<std::string> Items;
    std::string Text;
  } cases[] = {
      {{"a", "b c", "d\"e", ""}, "a,\"b c\",\"d\"\"e\","},
      {{"a", "", "b"}, "a,,b"},
      {{""}, "\"\""},
      {{}, ""},
      {{"x,y", "z"}, "\"x,y\",z"},
  };
  for (const auto& c : cases) {
    TStringList list;
    for (const auto& s : c.Items) list.Add(s);
    EXPECT_EQ(list.CommaText(), c.Text);
    TStringList back;
    back.SetCommaText(c.Text);
    ASSERT_EQ(back.Count(), static_cast<int>(c.Items.size())) << c.Text;
    for (int i = 0; i < back.Count(); ++i) EXPECT_EQ(back.Strings(i), c.Items[static_cast<size_t>(i)]);
  }
  TStringList blanks;
  blanks.SetCommaText("one two,  three ,");
  EXPECT_EQ(blanks.Count(), 4);  // blanks split too; a trailing comma adds an empty item
  EXPECT_EQ(blanks.Strings(2), "three");
  EXPECT_EQ(blanks.Strings(3), "");
}

TEST_F(Classes, StringListAssignCopiesStringsAndObjects) {
  TStringList a, b;
  TObject o;
  a.AddObject("x", &o);
  a.Add("y");
  b.Add("old");
  b.Assign(&a);
  EXPECT_EQ(b.Text(), "x\r\ny\r\n");
  EXPECT_EQ(b.Objects(0), &o);
}

// --- TCollection ----------------------------------------------------------------------------

class TRecordingCollection;

class TRecItem : public TCollectionItem {
 public:
  QV_CLASS_NAME(TRecItem)
  using TCollectionItem::TCollectionItem;
  void SetValue(int v) {
    Value = v;
    Changed(false);
  }
  void Assign(TPersistent* source) override {
    if (auto* s = dynamic_cast<TRecItem*>(source)) {
      Value = s->Value;
      return;
    }
    TCollectionItem::Assign(source);
  }
  int Value = 0;
};

class TRecordingCollection : public TCollection {
 public:
  TRecordingCollection() : TCollection(ItemClass<TRecItem>()) {}
  std::vector<std::string> Log;

 protected:
  void Update(TCollectionItem* item) override {
    // Every item seen here is whole: its index and value are readable.
    std::string s = item ? "item" + std::to_string(item->Index()) : "all" + std::to_string(Count());
    Log.push_back(s);
  }
};

TEST_F(Classes, CollectionUpdateNotifications) {
  TRecordingCollection c;
  auto* first = static_cast<TRecItem*>(c.Add());
  c.Add();
  EXPECT_EQ(c.Log, (std::vector<std::string>{"all1", "all2"}));
  c.Log.clear();
  static_cast<TRecItem*>(c.Items(1))->SetValue(5);
  EXPECT_EQ(c.Log, (std::vector<std::string>{"item1"}));
  c.Log.clear();
  first->SetIndex(1);
  EXPECT_EQ(first->Index(), 1);
  EXPECT_EQ(c.Log, (std::vector<std::string>{"all2"}));
  c.Log.clear();
  c.BeginUpdate();
  c.Add();
  c.Insert(0);
  first->SetValue(3);
  c.Delete(0);
  EXPECT_TRUE(c.Log.empty());
  c.EndUpdate();
  EXPECT_EQ(c.Log, (std::vector<std::string>{"all3"}));
  c.Log.clear();
  c.Clear();
  EXPECT_EQ(c.Log, (std::vector<std::string>{"all0"}));
}

TEST_F(Classes, CollectionIdsOwnersAssignAndMoves) {
  TRecordingCollection a, b;
  auto* i0 = a.Add();
  auto* i1 = a.Add();
  EXPECT_EQ(i0->ID(), 0);
  EXPECT_EQ(i1->ID(), 1);
  EXPECT_EQ(a.FindItemID(1), i1);
  EXPECT_EQ(i1->GetOwner(), &a);
  static_cast<TRecItem*>(i1)->Value = 7;
  b.Assign(&a);
  ASSERT_EQ(b.Count(), 2);
  EXPECT_EQ(static_cast<TRecItem*>(b.Items(1))->Value, 7);
  i1->SetCollection(&b);
  EXPECT_EQ(a.Count(), 1);
  EXPECT_EQ(b.Count(), 3);
  EXPECT_EQ(i1->Index(), 2);
  EXPECT_THROW(a.Items(1), EListError);
  EXPECT_THROW(i1->SetIndex(5), EListError);
}

// --- Sets and events ------------------------------------------------------------------------

TEST_F(Classes, SetOperations) {
  TShiftState s{ssShift, ssCtrl};
  EXPECT_TRUE(s.Contains(ssCtrl));
  EXPECT_FALSE(s.Contains(ssAlt));
  EXPECT_EQ(s.ToBits(), 0b101u);
  EXPECT_EQ(s + ssAlt, (TShiftState{ssShift, ssAlt, ssCtrl}));
  EXPECT_EQ(s - ssShift, TShiftState(ssCtrl));
  EXPECT_EQ(s * (TShiftState{ssCtrl, ssLeft}), TShiftState(ssCtrl));
  EXPECT_TRUE(TShiftState(ssCtrl) <= s);
  EXPECT_FALSE(s <= TShiftState(ssCtrl));
  s.Exclude(ssShift).Include(ssDouble);
  EXPECT_EQ(s, (TShiftState{ssCtrl, ssDouble}));
  EXPECT_TRUE(TShiftState().Empty());
}

struct THandlerHost {
  int Clicks = 0;
  void Click(TObject*) { ++Clicks; }
  void Other(TObject*) {}
  void Key(TObject*, std::uint16_t& key, TShiftState) { key = 0; }
};

TEST_F(Classes, EventHandlersCompareByObjectAndMember) {
  THandlerHost h1, h2;
  TNotifyEvent a = MakeMethod<&THandlerHost::Click>(&h1);
  EXPECT_EQ(a, MakeMethod<&THandlerHost::Click>(&h1));
  EXPECT_NE(a, MakeMethod<&THandlerHost::Click>(&h2));
  EXPECT_NE(a, MakeMethod<&THandlerHost::Other>(&h1));
  EXPECT_NE(a, TNotifyEvent());
  a(nullptr);
  EXPECT_EQ(h1.Clicks, 1);
  TNotifyEvent none;
  none(nullptr);  // an unassigned handler does nothing
  TKeyEvent k = MakeMethod<&THandlerHost::Key>(&h1);
  std::uint16_t key = 13;
  k(nullptr, key, TShiftState());
  EXPECT_EQ(key, 0);
}

}  // namespace
