// Published properties by name: registration, inheritance, and absent properties.
#include <gtest/gtest.h>

#include <cctype>

#include "classlib/core/Classes.h"
#include "classlib/core/TypInfo.h"

namespace {

enum THeaderOption : std::uint8_t { hoAutoResize, hoOwnerDraw, hoShowSortGlyphs };
using THeaderOptions = TSet<THeaderOption>;
enum TAlignment : std::uint8_t { taLeftJustify, taRightJustify, taCenter };

class TFontLike : public TPersistent {
 public:
  QV_CLASS_NAME(TFontLike)
  int Color() const { return Color_; }
  void SetColor(int c) { Color_ = c; }

 private:
  int Color_ = 0;
};

class TGridLike : public TComponent {
 public:
  QV_CLASS_NAME(TGridLike)
  explicit TGridLike(TComponent* owner = nullptr) : TComponent(owner) {}
  ~TGridLike() override { delete TitleFont_; }

  int FixedColor() const { return FixedColor_; }
  void SetFixedColor(int c) {
    FixedColor_ = c;
    ++Writes;
  }
  bool Flat() const { return Flat_; }
  void SetFlat(bool v) { Flat_ = v; }
  TAlignment Alignment() const { return Alignment_; }
  void SetAlignment(TAlignment a) { Alignment_ = a; }
  int RowCount() const { return 5; }
  THeaderOptions Options() const { return Options_; }
  void SetOptions(THeaderOptions o) {
    Options_ = o;
    ++Writes;
  }
  TFontLike* TitleFont() const { return TitleFont_; }
  TNotifyEvent OnDraw() const { return OnDraw_; }
  void SetOnDraw(TNotifyEvent e) { OnDraw_ = e; }

  int Writes = 0;

 private:
  int FixedColor_ = 0x123456;
  bool Flat_ = false;
  TAlignment Alignment_ = taLeftJustify;
  THeaderOptions Options_{hoAutoResize};
  TFontLike* TitleFont_ = new TFontLike;
  TNotifyEvent OnDraw_;
};

// Re-publishes FixedColor with a different setter, adds one property.
class TFancyGrid : public TGridLike {
 public:
  QV_CLASS_NAME(TFancyGrid)
  using TGridLike::TGridLike;
  void SetFixedColorTwice(int c) { SetFixedColor(c * 2); }
  int FooterColor() const { return 7; }
};

// Not registered: an application's own class finds its ancestors' properties.
class TAppGrid : public TFancyGrid {
 public:
  using TFancyGrid::TFancyGrid;
};

const bool kFontProps = RegisterProperties<TFontLike, TPersistent>(
    [](auto& p) { p.Ord("Color", &TFontLike::Color, &TFontLike::SetColor); });

const bool kGridProps = RegisterProperties<TGridLike, TComponent>([](auto& p) {
  p.Ord("FixedColor", &TGridLike::FixedColor, &TGridLike::SetFixedColor);
  p.Ord("Flat", &TGridLike::Flat, &TGridLike::SetFlat);
  p.Ord("Alignment", &TGridLike::Alignment, &TGridLike::SetAlignment);
  p.Ord("RowCount", &TGridLike::RowCount);
  p.Set("Options", &TGridLike::Options, &TGridLike::SetOptions, {"hoAutoResize", "hoOwnerDraw", "hoShowSortGlyphs"});
  p.Obj("TitleFont", &TGridLike::TitleFont);
  p.Method("OnDraw", &TGridLike::OnDraw, &TGridLike::SetOnDraw);
});

const bool kFancyProps = RegisterProperties<TFancyGrid, TGridLike>([](auto& p) {
  p.Ord("FixedColor", &TFancyGrid::FixedColor, &TFancyGrid::SetFixedColorTwice);
  p.Ord("FooterColor", &TFancyGrid::FooterColor);
});

// Registered with a base that is not: it still overrides what its registered ancestors publish.
class TMiddleGrid : public TFancyGrid {
 public:
  using TFancyGrid::TFancyGrid;
};
class TSkinGrid : public TMiddleGrid {
 public:
  QV_CLASS_NAME(TSkinGrid)
  using TMiddleGrid::TMiddleGrid;
  void SetFixedColorThrice(int c) { SetFixedColor(c * 3); }
};

const bool kSkinGridProps = RegisterProperties<TSkinGrid, TMiddleGrid>(
    [](auto& p) { p.Ord("FixedColor", &TSkinGrid::FixedColor, &TSkinGrid::SetFixedColorThrice); });

TEST(TypInfo, OrdinalPropertiesByName) {
  ASSERT_TRUE(kFontProps && kGridProps && kFancyProps);
  auto* grid = Create<TGridLike>();
  EXPECT_TRUE(HasPropByName(grid, "FixedColor"));
  EXPECT_TRUE(HasPropByName(grid, "fixedcolor"));
  EXPECT_EQ(GetOrdPropByName(grid, "FixedColor"), 0x123456);
  EXPECT_TRUE(SetOrdPropByName(grid, "FixedColor", 0xFF));
  EXPECT_EQ(grid->FixedColor(), 0xFF);
  EXPECT_TRUE(SetOrdPropByName(grid, "Flat", 1));
  EXPECT_TRUE(grid->Flat());
  EXPECT_EQ(GetOrdPropByName(grid, "Flat"), 1);
  EXPECT_TRUE(SetOrdPropByName(grid, "Alignment", taCenter));
  EXPECT_EQ(grid->Alignment(), taCenter);
  // Read-only: readable, not written.
  EXPECT_EQ(GetOrdPropByName(grid, "RowCount"), 5);
  EXPECT_FALSE(SetOrdPropByName(grid, "RowCount", 9));
  grid->Free();
}

TEST(TypInfo, MissingPropertiesReadAsAbsentAndAreNotWritten) {
  auto* grid = Create<TGridLike>();
  TObject plain;
  const int writes = grid->Writes;
  EXPECT_FALSE(HasPropByName(grid, "FooterColor"));  // only the descendant publishes it
  EXPECT_EQ(GetOrdPropByName(grid, "FooterColor"), -1);
  EXPECT_FALSE(SetOrdPropByName(grid, "FooterColor", 1));
  EXPECT_EQ(GetObjPropByName(grid, "HeaderFont"), nullptr);
  EXPECT_FALSE(SetPropContains(grid, "Columns", "hoOwnerDraw"));
  EXPECT_FALSE(ChangeSetPropElement(grid, "Columns", "hoOwnerDraw", true));
  EXPECT_FALSE(ChangeSetPropElement(grid, "Options", "hoNoSuchThing", true));
  EXPECT_EQ(GetOrdPropByName(grid, "TitleFont"), -1);        // an object is not an ordinal
  EXPECT_EQ(GetObjPropByName(grid, "FixedColor"), nullptr);  // nor an ordinal an object
  EXPECT_EQ(grid->Writes, writes);
  EXPECT_FALSE(HasPropByName(&plain, "Color"));
  EXPECT_FALSE(HasPropByName(nullptr, "Color"));
  EXPECT_EQ(GetOrdPropByName(nullptr, "Color"), -1);
  EXPECT_FALSE(GetMethodPropByName<TNotifyEvent>(grid, "OnPaint").Assigned());
  grid->Free();
}

TEST(TypInfo, SetPropertiesByElementName) {
  auto* grid = Create<TGridLike>();
  EXPECT_TRUE(SetPropContains(grid, "Options", "hoAutoResize"));
  EXPECT_FALSE(SetPropContains(grid, "Options", "hoOwnerDraw"));
  EXPECT_TRUE(ChangeSetPropElement(grid, "Options", "HOOWNERDRAW", true));
  EXPECT_EQ(grid->Options(), (THeaderOptions{hoAutoResize, hoOwnerDraw}));
  EXPECT_TRUE(ChangeSetPropElement(grid, "Options", "hoAutoResize", false));
  EXPECT_EQ(grid->Options(), THeaderOptions(hoOwnerDraw));
  EXPECT_EQ(GetOrdPropByName(grid, "Options"), 2);
  const int writes = grid->Writes;
  EXPECT_TRUE(ChangeSetPropElement(grid, "Options", "hoOwnerDraw", true));  // already there
  EXPECT_EQ(grid->Writes, writes);
  grid->Free();
}

TEST(TypInfo, ObjectAndNestedProperties) {
  auto* grid = Create<TGridLike>();
  TObject* font = GetObjPropByName(grid, "TitleFont");
  ASSERT_EQ(font, grid->TitleFont());
  EXPECT_TRUE(SetOrdPropByName(font, "Color", 0xABCDEF));
  EXPECT_EQ(grid->TitleFont()->Color(), 0xABCDEF);
  EXPECT_FALSE(SetObjPropByName(grid, "TitleFont", nullptr));  // read-only object property
  grid->Free();
}

struct TPainter {
  int Calls = 0;
  void Draw(TObject*) { ++Calls; }
  void Other(TObject*, int) {}
};

TEST(TypInfo, MethodProperties) {
  auto* grid = Create<TGridLike>();
  TPainter painter;
  TNotifyEvent handler = MakeMethod<&TPainter::Draw>(&painter);
  EXPECT_FALSE(GetMethodPropByName<TNotifyEvent>(grid, "OnDraw").Assigned());
  EXPECT_TRUE(SetMethodPropByName(grid, "OnDraw", handler));
  EXPECT_EQ(GetMethodPropByName<TNotifyEvent>(grid, "OnDraw"), handler);
  grid->OnDraw()(grid);
  EXPECT_EQ(painter.Calls, 1);
  // A handler of another type is neither read nor written.
  using TOtherEvent = TMethod<void(TObject*, int)>;
  EXPECT_FALSE(SetMethodPropByName(grid, "OnDraw", MakeMethod<&TPainter::Other>(&painter)));
  EXPECT_FALSE(GetMethodPropByName<TOtherEvent>(grid, "OnDraw").Assigned());
  EXPECT_TRUE(SetMethodPropByName(grid, "OnDraw", TNotifyEvent()));
  EXPECT_FALSE(grid->OnDraw().Assigned());
  grid->Free();
}

TEST(TypInfo, DescendantsInheritAndOverride) {
  auto* fancy = Create<TFancyGrid>();
  auto* app = Create<TAppGrid>();
  for (TGridLike* g : {static_cast<TGridLike*>(fancy), static_cast<TGridLike*>(app)}) {
    EXPECT_TRUE(HasPropByName(g, "TitleFont"));
    EXPECT_EQ(GetOrdPropByName(g, "FooterColor"), 7);
    EXPECT_TRUE(SetOrdPropByName(g, "FixedColor", 10));
    EXPECT_EQ(g->FixedColor(), 20);  // the descendant's registration wins
  }
  // One entry per name, ancestors' properties first, the override in its ancestor's place.
  auto list = GetPropList(app);
  ASSERT_EQ(list.size(), 8u);
  EXPECT_EQ(list[0]->Name, "FixedColor");
  EXPECT_EQ(list.back()->Name, "FooterColor");
  ASSERT_TRUE(kSkinGridProps);
  auto* skin = Create<TSkinGrid>();
  EXPECT_TRUE(SetOrdPropByName(skin, "FixedColor", 10));
  EXPECT_EQ(skin->FixedColor(), 30);
  EXPECT_EQ(GetPropList(skin).size(), list.size());
  EXPECT_EQ(GetPropList(skin)[0], GetPropInfo(skin, "FixedColor"));
  skin->Free();
  fancy->Free();
  app->Free();
}

// String properties: by value and by reference, a setter that normalises, a read-only one, a field.
class TSheetLike : public TComponent {
 public:
  QV_CLASS_NAME(TSheetLike)
  explicit TSheetLike(TComponent* owner = nullptr) : TComponent(owner) {}
  std::string Caption() const { return Caption_; }
  void SetCaption(const std::string& v) {
    Caption_ = v;
    ++Writes;
  }
  const std::string& TabSkin() const { return TabSkin_; }
  void SetTabSkin(std::string v) {
    for (char& ch : v) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    TabSkin_ = std::move(v);
    ++Writes;
  }
  const std::string& Kind() const { return Kind_; }
  int ImageIndex() const { return ImageIndex_; }
  void SetImageIndex(int v) { ImageIndex_ = v; }
  std::string ButtonSkin;
  int Writes = 0;

 private:
  std::string Caption_ = "Page";
  std::string TabSkin_;
  std::string Kind_ = "sheet";
  int ImageIndex_ = 3;
};

// Re-publishes Caption with a setter of its own.
class TFancySheet : public TSheetLike {
 public:
  QV_CLASS_NAME(TFancySheet)
  using TSheetLike::TSheetLike;
  void SetBracketed(const std::string& v) { SetCaption("[" + v + "]"); }
};

const bool kSheetProps = RegisterProperties<TSheetLike, TComponent>([](auto& p) {
  p.Str("Caption", &TSheetLike::Caption, &TSheetLike::SetCaption);
  p.Str("TabSkin", &TSheetLike::TabSkin, &TSheetLike::SetTabSkin);
  p.Str("Kind", &TSheetLike::Kind);
  p.Str("ButtonSkin", &TSheetLike::ButtonSkin);
  p.Ord("ImageIndex", &TSheetLike::ImageIndex, &TSheetLike::SetImageIndex);
});
const bool kFancySheetProps = RegisterProperties<TFancySheet, TSheetLike>(
    [](auto& p) { p.Str("Caption", &TFancySheet::Caption, &TFancySheet::SetBracketed); });

// Each row writes a value by name, then reads the property back by name.
TEST(TypInfo, StringPropertiesByName) {
  ASSERT_TRUE(kSheetProps && kFancySheetProps);
  auto* sheet = Create<TSheetLike>();
  auto* fancy = Create<TFancySheet>();
  struct {
    TSheetLike* Object;
    const char* Name;
    const char* Value;
    bool Written;
    const char* Read;
  } rows[] = {
      {sheet, "Caption", "Page 1", true, "Page 1"},
      {sheet, "CAPTION", "", true, ""},               // names without case; empty is a value
      {sheet, "TabSkin", "tabTop", true, "TABTOP"},   // through the setter
      {sheet, "ButtonSkin", "arrow", true, "arrow"},  // a field
      {sheet, "Kind", "form", false, "sheet"},        // read-only
      {sheet, "ImageIndex", "7", false, ""},          // an ordinal is no string
      {sheet, "Hint", "x", false, ""},                // not published
      {fancy, "Caption", "a", true, "[a]"},           // the descendant's registration wins
      {fancy, "TabSkin", "button", true, "BUTTON"},   // inherited
      {nullptr, "Caption", "x", false, ""},
  };
  for (const auto& r : rows) {
    const int writes = r.Object ? r.Object->Writes : 0;
    EXPECT_EQ(SetStrPropByName(r.Object, r.Name, r.Value), r.Written) << r.Name << " " << r.Value;
    EXPECT_EQ(GetStrPropByName(r.Object, r.Name), r.Read) << r.Name << " " << r.Value;
    if (r.Object && !r.Written) EXPECT_EQ(r.Object->Writes, writes) << r.Name;
  }
  EXPECT_EQ(sheet->ImageIndex(), 3);
  // A string is not read or written as another kind, and says whether it can be written.
  EXPECT_EQ(GetOrdPropByName(sheet, "Caption"), -1);
  EXPECT_FALSE(SetOrdPropByName(sheet, "Caption", 1));
  EXPECT_EQ(GetObjPropByName(sheet, "TabSkin"), nullptr);
  ASSERT_NE(GetPropInfo(sheet, "Kind"), nullptr);
  EXPECT_EQ(GetPropInfo(sheet, "Kind")->Kind, TTypeKind::String);
  EXPECT_FALSE(GetPropInfo(sheet, "Kind")->Writable());
  EXPECT_TRUE(GetPropInfo(fancy, "Caption")->Writable());
  EXPECT_EQ(GetPropList(fancy).size(), 5u);
  sheet->Free();
  fancy->Free();
}

}  // namespace
