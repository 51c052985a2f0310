// String lists of the Windows side: the platform header is included before the class library on
// purpose, so its GetObject macro is in force when the string classes are declared. A
// descendant that overrides neither GetObject nor PutObject must still link and answer nullptr, and
// one that overrides GetObject by that name must be reached from the core's own code.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "classlib/StdCtrls.h"
#include "classlib/core/Classes.h"
#include "tests/support/FormFixture.h"

using namespace qvtest;

// Each test runs on a fresh test form.
class StringsLink : public FormTest {};

namespace {

// Strings kept in a vector; no object access of its own.
class TPlainStrings : public TStrings {
 public:
  int Count() const override { return static_cast<int>(Items.size()); }
  void Insert(int index, const std::string& s) override { Items.insert(Items.begin() + index, s); }
  void Delete(int index) override { Items.erase(Items.begin() + index); }
  void Clear() override { Items.clear(); }
  std::vector<std::string> Items;

 protected:
  std::string Get(int index) const override { return Items.at(static_cast<std::size_t>(index)); }
};

// The same with one object for every line, given by an override named as the framework names it.
class TTaggedStrings : public TPlainStrings {
 public:
  TObject* Tag = nullptr;

 protected:
  TObject* GetObject(int) const override { return Tag; }
};

}  // namespace

TEST_F(StringsLink, DescendantWithoutObjectAccessLinksAndHoldsNoObjects) {
  TPlainStrings s;
  TStringList owner;
  s.AddObject("a", &owner);  // the base ignores the object
  s.Add("b");
  EXPECT_EQ(nullptr, s.Objects(0));
  EXPECT_EQ(-1, s.IndexOfObject(&owner));
  s.SetObjects(1, &owner);
  EXPECT_EQ(nullptr, s.Objects(1));
  s.Exchange(0, 1);
  EXPECT_EQ("b", s.Strings(0));
}

TEST_F(StringsLink, OverrideByTheFrameworkNameIsTheVirtualTheCoreCalls) {
  TTaggedStrings t;
  t.Add("x");
  t.Add("y");
  t.Tag = &t;
  EXPECT_EQ(&t, t.Objects(1));
  EXPECT_EQ(0, t.IndexOfObject(&t));  // searched by the core library's TStrings
  TStringList copy;
  copy.Assign(&t);  // copies the objects through the override
  ASSERT_EQ(2, copy.Count());
  EXPECT_EQ(&t, copy.Objects(0));
}

TEST_F(StringsLink, MemoLinesCarryNoObjects) {
  auto* memo = Create<TMemo>(Form);
  memo->SetParent(Form);
  memo->Lines()->Add("one");
  memo->Lines()->AddObject("two", Form);
  ASSERT_EQ(2, memo->Lines()->Count());
  EXPECT_EQ(nullptr, memo->Lines()->Objects(1));
  EXPECT_EQ(-1, memo->Lines()->IndexOfObject(Form));
}
