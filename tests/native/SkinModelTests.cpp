// Lookups of the skin model: sections, masks, the PARENTCLASS chain, frame sizes and margins.
#include <gtest/gtest.h>

#include "skin/engine/core/acSkinModel.h"
#include "tests/support/core/SkinBuilder.h"

using namespace qv;
using qvtest::TSkinBuilder;

namespace {

std::unique_ptr<TSkinModel> LoadOrFail(const TSkinBuilder& b) {
  std::string err;
  auto skin = b.Load(&err);
  EXPECT_TRUE(skin) << err;
  return skin;
}

TEST(SkinModel, LookupsAreExact) {
  TSkinBuilder b;
  b.Section("BUTTON");
  b.Mask("BUTTON", "BORDERSMASK");
  b.Section("EDIT");
  auto skin = LoadOrFail(b);
  ASSERT_TRUE(skin);
  EXPECT_EQ(skin->SectionIndexOf("BUTTON"), 0);
  EXPECT_EQ(skin->SectionIndexOf("EDIT"), 1);
  EXPECT_EQ(skin->SectionIndexOf("button"), -1);
  EXPECT_EQ(skin->SectionIndexOf(""), -1);
  EXPECT_EQ(skin->MaskIndexOf("BUTTON", "BORDERSMASK"), 0);
  EXPECT_EQ(skin->MaskIndexOf("BUTTON", "GLYPHMASK"), -1);
  EXPECT_EQ(skin->MaskIndexOf("EDIT", "BORDERSMASK"), -1);
  EXPECT_EQ(skin->MaskIndexOf("BUTTONBORDERSMASK", ""), -1);
  EXPECT_TRUE(skin->IsSectionIndex(1));
  EXPECT_FALSE(skin->IsSectionIndex(2));
  EXPECT_FALSE(skin->IsSectionIndex(-1));
  EXPECT_TRUE(skin->IsMaskIndex(0));
  EXPECT_FALSE(skin->IsMaskIndex(1));
}

TEST(SkinModel, LookupMaskFollowsParentClass) {
  TSkinBuilder b;
  b.Section("BASE");
  b.Mask("BASE", "BORDERSMASK");
  b.Section("MIDDLE", "BASE");
  b.Mask("MIDDLE", "GLYPHMASK");
  b.Section("LEAF", "MIDDLE");
  b.Section("ORPHAN", "NOSUCHSECTION");
  auto skin = LoadOrFail(b);
  ASSERT_TRUE(skin);
  const int leaf = skin->SectionIndexOf("LEAF");
  const int base = skin->MaskIndexOf("BASE", "BORDERSMASK");
  const int glyph = skin->MaskIndexOf("MIDDLE", "GLYPHMASK");
  EXPECT_EQ(skin->MaskIndexOf("LEAF", "BORDERSMASK"), -1);  // no fallback here
  EXPECT_EQ(skin->LookupMask(leaf, "LEAF", "BORDERSMASK"), base);
  EXPECT_EQ(skin->LookupMask(leaf, "LEAF", "GLYPHMASK"), glyph);
  EXPECT_EQ(skin->LookupMask(leaf, "LEAF", "PATTERN"), -1);
  // A bad index falls back on the section's name.
  EXPECT_EQ(skin->LookupMask(-1, "LEAF", "BORDERSMASK"), base);
  EXPECT_EQ(skin->LookupMask(999, "LEAF", "BORDERSMASK"), base);
  // The index decides the chain when it is valid.
  EXPECT_EQ(skin->LookupMask(skin->SectionIndexOf("ORPHAN"), "LEAF", "BORDERSMASK"), -1);
  EXPECT_EQ(skin->LookupMask(-1, "ORPHAN", "BORDERSMASK"), -1);
  EXPECT_EQ(skin->LookupMask(-1, "NOSUCHSECTION", "BORDERSMASK"), -1);
}

TEST(SkinModel, ParentClassCyclesEnd) {
  TSkinBuilder b;
  b.Section("A", "B");
  b.Section("B", "C");
  b.Section("C", "A");
  b.Section("SELF", "SELF");
  b.Section("D", "A");
  b.Section("X");
  b.Mask("X", "ONLYHERE");
  auto skin = LoadOrFail(b);
  ASSERT_TRUE(skin);
  for (const char* s : {"A", "B", "C", "SELF", "D"})
    EXPECT_EQ(skin->LookupMask(skin->SectionIndexOf(s), s, "ONLYHERE"), -1) << s;
  // Each loop is broken where it closes, walking the sections in order; the rest of a chain stays.
  const std::pair<const char*, const char*> parents[] = {{"A", "B"}, {"B", "C"}, {"C", ""}, {"SELF", ""}, {"D", "A"}};
  for (const auto& [name, parent] : parents) {
    const TsGeneralData& sec = skin->Sections[std::size_t(skin->SectionIndexOf(name))];
    EXPECT_EQ(parent, sec.ParentClass) << name;
    EXPECT_EQ(std::string(parent), sec.Value("PARENTCLASS") ? *sec.Value("PARENTCLASS") : "") << name;
  }
  // A cycle that passes a section with the mask still finds it.
  TSkinBuilder c;
  c.Section("A", "B");
  c.Section("B", "A");
  c.Mask("B", "M");
  auto skin2 = LoadOrFail(c);
  ASSERT_TRUE(skin2);
  EXPECT_EQ(skin2->LookupMask(skin2->SectionIndexOf("A"), "A", "M"), skin2->MaskIndexOf("B", "M"));
}

struct TMarginCase {
  int FrameW, FrameH, Count, Type;
  int Margins[4];
  int Border;
  int Left, Top, Right, Bottom;
  TSize Item;
};

TEST(SkinModel, MarginRulesAndItemSize) {
  const TMarginCase cases[] = {
      // Own margins win.
      {30, 21, 3, 0, {4, 5, 6, 7}, 2, 4, 5, 6, 7, {30, 21}},
      // Border width where a margin is 0.
      {30, 21, 3, 0, {0, 5, 0, 0}, 2, 2, 5, 2, 2, {30, 21}},
      // A third of the frame when neither is set.
      {30, 21, 3, 0, {0, 0, 0, 0}, 0, 10, 7, 10, 7, {30, 21}},
      {10, 8, 2, 1, {0, 0, 0, 0}, 0, 3, 2, 3, 2, {10, 8}},  // mask type 1: frame height is half
      {1, 1, 1, 0, {0, 0, 0, 0}, 0, 0, 0, 0, 0, {1, 1}},
  };
  for (const TMarginCase& c : cases) {
    TSkinBuilder b;
    auto& m = b.Mask("S", "M", c.FrameW, c.FrameH, c.Count, c.Type);
    std::copy(c.Margins, c.Margins + 4, m.Margins);
    m.BorderWidth = c.Border;
    auto skin = LoadOrFail(b);
    ASSERT_TRUE(skin);
    EXPECT_EQ(skin->MaskMarginLeft(0), c.Left);
    EXPECT_EQ(skin->MaskMarginTop(0), c.Top);
    EXPECT_EQ(skin->MaskMarginRight(0), c.Right);
    EXPECT_EQ(skin->MaskMarginBottom(0), c.Bottom);
    EXPECT_EQ(skin->GetMaskItemSize(0), c.Item);
  }
  TSkinModel empty;
  EXPECT_EQ(empty.GetMaskItemSize(0), TSize{});
  EXPECT_EQ(empty.MaskMarginLeft(-1), 0);
  EXPECT_EQ(empty.MaskImage(0), nullptr);
}

TEST(SkinModel, ValidateMaskBounds) {
  TsMaskData m;
  m.R = Bounds(0, 0, 30, 10);
  m.ImageCount = 3;
  EXPECT_EQ(ValidateMask(m, 30, 10), "");
  EXPECT_NE(ValidateMask(m, 29, 10).find("outside the image"), std::string::npos);
  m.R = Bounds(-1, 0, 30, 10);
  EXPECT_NE(ValidateMask(m, 40, 10).find("outside the image"), std::string::npos);
  m.R = Bounds(0, 0, 2, 10);
  EXPECT_NE(ValidateMask(m, 40, 10).find("narrower"), std::string::npos);
  m.R = Bounds(0, 0, 30, 9);
  m.MaskType = 1;
  EXPECT_NE(ValidateMask(m, 40, 10).find("even"), std::string::npos);
  m.MaskType = 0;
  m.MarginLeft = 6;
  m.MarginRight = 5;
  EXPECT_NE(ValidateMask(m, 40, 10).find("margins larger"), std::string::npos);
  m.MarginLeft = m.MarginRight = 0;
  m.MarginTop = 10;
  EXPECT_NE(ValidateMask(m, 40, 10).find("margins larger"), std::string::npos);
  m.MarginTop = -1;
  EXPECT_NE(ValidateMask(m, 40, 10).find("negative"), std::string::npos);
  m.MarginTop = 0;
  m.BorderWidth = 5;
  EXPECT_NE(ValidateMask(m, 40, 10).find("border width"), std::string::npos);
}

}  // namespace
