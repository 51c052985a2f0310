// The skins in skins/ (written by tools/skingen): they load from their folders and packed files,
// both forms agree, and they hold every section, mask and image the forms and controls read.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "skin/engine/core/acSkinLoader.h"

using namespace qv;
namespace fs = std::filesystem;

namespace {

const fs::path kSkins = fs::path(__FILE__).parent_path().parent_path().parent_path() / "skins";

const char* const kSections[] = {"GLOBALINFO",
                                 "FORM",
                                 "FORMTITLE",
                                 "DIALOG",
                                 "MDIAREA",
                                 "MAINMENU",
                                 "MENULINE",
                                 "MENUITEM",
                                 "ICOLINE",
                                 "EXTRALINE",
                                 "BUTTON",
                                 "SPEEDBUTTON",
                                 "SPEEDBUTTON_SMALL",
                                 "TOOLBUTTON",
                                 "UPDOWNBTN",
                                 "COLHEADER",
                                 "CHECKBOX",
                                 "RADIOBUTTON",
                                 "GROUPBOX",
                                 "EDIT",
                                 "COMBOBOX",
                                 "COMBOBTN",
                                 "PANEL",
                                 "PANEL_LOW",
                                 "BAR",
                                 "BARTITLE",
                                 "TOOLBAR",
                                 "DRAGBAR",
                                 "SPLITTER",
                                 "TABSHEET",
                                 "PAGECONTROL",
                                 "PAGECONTROLBOTTOM",
                                 "PAGECONTROLLEFT",
                                 "PAGECONTROLRIGHT",
                                 "TABTOP",
                                 "TABBOTTOM",
                                 "TABLEFT",
                                 "TABRIGHT",
                                 "STATUSBAR",
                                 "DIVIDER",
                                 "DIVIDERV",
                                 "GAUGE",
                                 "PROGRESSH",
                                 "PROGRESSV",
                                 "TRACKBAR",
                                 "SCROLLBTNTOP",
                                 "SCROLLBTNBOTTOM",
                                 "SCROLLBTNLEFT",
                                 "SCROLLBTNRIGHT",
                                 "SCROLLSLIDERH",
                                 "SCROLLSLIDERV",
                                 "SCROLLBAR1H",
                                 "SCROLLBAR2H",
                                 "SCROLLBAR1V",
                                 "SCROLLBAR2V"};

const char* const kMasks[][2] = {
    {"GLOBALINFO", "BICONCLOSE"},
    {"GLOBALINFO", "BICONMAX"},
    {"GLOBALINFO", "BICONMIN"},
    {"GLOBALINFO", "BICONNORM"},
    {"GLOBALINFO", "BICONHELP"},
    {"GLOBALINFO", "SICONCLOSE"},
    {"GLOBALINFO", "SICONMAX"},
    {"GLOBALINFO", "SICONMIN"},
    {"GLOBALINFO", "SICONHELP"},
    {"GLOBALINFO", "TITLEBUTTON"},
    {"GLOBALINFO", "GRIPIMAGE"},
    {"GLOBALINFO", "BOXCHECKED"},
    {"GLOBALINFO", "BOXUNCHECKED"},
    {"GLOBALINFO", "BOXGRAYED"},
    {"GLOBALINFO", "RADIOCHECKED"},
    {"GLOBALINFO", "RADIOUNCHECKED"},
    {"GLOBALINFO", "CHECK"},
    {"FORM", "BORDERSMASK"},
    {"FORM", "TITLEBAR"},
    {"FORMTITLE", "BORDERSMASK"},
    {"DIALOG", "BORDERSMASK"},
    {"MAINMENU", "BORDERSMASK"},
    {"MENULINE", "BORDERSMASK"},
    {"MENUITEM", "BORDERSMASK"},
    {"BUTTON", "BORDERSMASK"},
    {"SPEEDBUTTON", "BORDERSMASK"},
    {"SPEEDBUTTON_SMALL", "BORDERSMASK"},
    {"TOOLBUTTON", "BORDERSMASK"},
    {"UPDOWNBTN", "BORDERSMASK"},
    {"COLHEADER", "BORDERSMASK"},
    {"CHECKBOX", "BORDERSMASK"},
    {"RADIOBUTTON", "BORDERSMASK"},
    {"GROUPBOX", "BORDERSMASK"},
    {"EDIT", "BORDERSMASK"},
    {"COMBOBOX", "BORDERSMASK"},
    {"COMBOBOX", "GLYPHMASK"},
    {"COMBOBTN", "BORDERSMASK"},
    {"COMBOBTN", "PATTERN"},
    {"COMBOBTN", "HOTPATTERN"},
    {"PANEL", "BORDERSMASK"},
    {"PANEL_LOW", "BORDERSMASK"},
    {"BAR", "BORDERSMASK"},
    {"BARTITLE", "BORDERSMASK"},
    {"TOOLBAR", "BORDERSMASK"},
    {"DRAGBAR", "BORDERSMASK"},
    {"SPLITTER", "BORDERSMASK"},
    {"PAGECONTROL", "BORDERSMASK"},
    {"PAGECONTROLBOTTOM", "BORDERSMASK"},
    {"PAGECONTROLLEFT", "BORDERSMASK"},
    {"PAGECONTROLRIGHT", "BORDERSMASK"},
    {"TABTOP", "BORDERSMASK"},
    {"TABBOTTOM", "BORDERSMASK"},
    {"TABLEFT", "BORDERSMASK"},
    {"TABRIGHT", "BORDERSMASK"},
    {"STATUSBAR", "BORDERSMASK"},
    {"STATUSBAR", "STATUSPANELMASK"},
    {"DIVIDER", "BORDERSMASK"},
    {"DIVIDERV", "BORDERSMASK"},
    {"GAUGE", "BORDERSMASK"},
    {"PROGRESSH", "BORDERSMASK"},
    {"PROGRESSV", "BORDERSMASK"},
    {"TRACKBAR", "SLIDERCHANNEL"},
    {"TRACKBAR", "SLIDERMASK"},
    {"TRACKBAR", "SLIDERVMASK"},
    {"TRACKBAR", "TICKHORZ"},
    {"TRACKBAR", "TICKVERT"},
};

const char* const kScrollSections[] = {"SCROLLBTNTOP",  "SCROLLBTNBOTTOM", "SCROLLBTNLEFT", "SCROLLBTNRIGHT",
                                       "SCROLLSLIDERH", "SCROLLSLIDERV",   "SCROLLBAR1H",   "SCROLLBAR2H",
                                       "SCROLLBAR1V",   "SCROLLBAR2V"};

void ExpectComplete(const TSkinModel& skin, const std::string& name) {
  for (const char* s : kSections) EXPECT_GE(skin.SectionIndexOf(s), 0) << name << ": section " << s;
  for (const auto& m : kMasks) EXPECT_GE(skin.MaskIndexOf(m[0], m[1]), 0) << name << ": " << m[0] << " " << m[1];
  for (int i = 0; i < 10; ++i) {
    const char* s = kScrollSections[i];
    for (const char* p : {"BORDERSMASK", "PATTERN", "HOTPATTERN"})
      EXPECT_GE(skin.MaskIndexOf(s, p), 0) << name << ": " << s << " " << p;
    if (i < 6) EXPECT_GE(skin.MaskIndexOf(s, "GLYPHMASK"), 0) << name << ": " << s << " GLYPHMASK";
  }
  // The arrow length is read from the left button's image.
  const int left = skin.SectionIndexOf("SCROLLBTNLEFT");
  ASSERT_GE(left, 0);
  EXPECT_TRUE(skin.Sections[left].ReservedBoolean);
  // Three-state controls have three frames; the form frame two (inactive, active).
  EXPECT_EQ(skin.Masks[skin.MaskIndexOf("BUTTON", "BORDERSMASK")].ImageCount, 3);
  EXPECT_EQ(skin.Masks[skin.MaskIndexOf("FORM", "BORDERSMASK")].ImageCount, 2);
  // Rounded form corners are cut with the key colour.
  const int form = skin.MaskIndexOf("FORMTITLE", "BORDERSMASK");
  const TsMaskData& m = skin.Masks[form];
  EXPECT_EQ(ColorOf(skin.MaskImage(form)->Pixel(m.R.Left, m.R.Top)), clKeyMagenta) << name;
  // The default horizontal thumb has the system's size (11 x 21).
  EXPECT_EQ(skin.GetMaskItemSize(skin.MaskIndexOf("TRACKBAR", "SLIDERMASK")), (TSize{11, 21}));
}

TEST(ShippedSkins, LoadCompleteFromFolderAndPackedFile) {
  for (const char* name : {"Default", "Graphite"}) {
    std::string err;
    auto folder = LoadSkin(kSkins / name, err);
    ASSERT_TRUE(folder) << name << ": " << err;
    auto packed = LoadSkin(kSkins / (std::string(name) + ".asz"), err);
    ASSERT_TRUE(packed) << name << ": " << err;
    ExpectComplete(*folder, name);
    ExpectComplete(*packed, name);
    ASSERT_EQ(folder->Masks.size(), packed->Masks.size());
    for (std::size_t i = 0; i < folder->Masks.size(); ++i) {
      const TImage24 &a = *folder->MaskImage(int(i)), &b = *packed->MaskImage(int(i));
      ASSERT_EQ(a.Width(), b.Width());
      ASSERT_EQ(a.Height(), b.Height());
      EXPECT_TRUE(std::equal(a.View().Bits, a.View().Bits + DibStride24(a.Width()) * a.Height(), b.View().Bits));
    }
  }
}

TEST(ShippedSkins, AreListed) {
  const auto names = ListSkinNames(kSkins);
  EXPECT_EQ(std::count(names.begin(), names.end(), "Default"), 1);
  EXPECT_EQ(std::count(names.begin(), names.end(), "Graphite"), 1);
}

TEST(ShippedSkins, TheTwoLookDifferent) {
  std::string err;
  auto a = LoadSkin(kSkins / "Default.asz", err);
  auto b = LoadSkin(kSkins / "Graphite.asz", err);
  ASSERT_TRUE(a && b);
  const int ia = a->SectionIndexOf("GLOBALINFO"), ib = b->SectionIndexOf("GLOBALINFO");
  EXPECT_NE(a->Sections[ia].Color, b->Sections[ib].Color);
  EXPECT_GE(a->MasterImageIndex, 0);  // one cut from a master bitmap, one with its own files
  EXPECT_LT(b->MasterImageIndex, 0);
}

// The drawn part (pixels other than the key) of frame 0 of a mask: its width and height.
TSize DrawnSize(const TSkinModel& skin, int mask) {
  const TsMaskData& m = skin.Masks[std::size_t(mask)];
  const TImage24& img = *skin.MaskImage(mask);
  int x0 = m.FrameWidth(), y0 = m.FrameHeight(), x1 = -1, y1 = -1;
  for (int y = 0; y < m.FrameHeight(); ++y)
    for (int x = 0; x < m.FrameWidth(); ++x)
      if (ColorOf(img.Pixel(m.R.Left + x, m.R.Top + y)) != clKeyMagenta) {
        x0 = std::min(x0, x);
        y0 = std::min(y0, y);
        x1 = std::max(x1, x);
        y1 = std::max(y1, y);
      }
  return x1 < 0 ? TSize{} : TSize{x1 - x0 + 1, y1 - y0 + 1};
}

// Arrows of scroll buttons and combo boxes are big enough to be seen: at least 7 pixels across
// and 4 along, in every state.
TEST(ShippedSkins, ArrowGlyphsAreLargeEnough) {
  const struct {
    const char* Section;
    bool Horizontal;
  } arrows[] = {{"SCROLLBTNTOP", false},
                {"SCROLLBTNBOTTOM", false},
                {"SCROLLBTNLEFT", true},
                {"SCROLLBTNRIGHT", true},
                {"COMBOBOX", false}};
  for (const char* name : {"Default", "Graphite"}) {
    std::string err;
    auto skin = LoadSkin(kSkins / name, err);
    ASSERT_TRUE(skin) << err;
    for (const auto& a : arrows) {
      const int mask = skin->MaskIndexOf(a.Section, "GLYPHMASK");
      ASSERT_GE(mask, 0) << name << " " << a.Section;
      const TSize size = DrawnSize(*skin, mask);
      const int across = a.Horizontal ? size.cy : size.cx, along = a.Horizontal ? size.cx : size.cy;
      EXPECT_GE(across, 7) << name << " " << a.Section;
      EXPECT_GE(along, 4) << name << " " << a.Section;
    }
  }
}

// The shipped skins use what the format offers: gradient data on backgrounds, borders shown only
// when hot (flat tool buttons, menu items), corner images (Graphite's group boxes).
TEST(ShippedSkins, UseGradientsHotOnlyBordersAndCornerImages) {
  std::string err;
  auto def = LoadSkin(kSkins / "Default.asz", err);
  auto graphite = LoadSkin(kSkins / "Graphite.asz", err);
  ASSERT_TRUE(def && graphite) << err;
  const TsGeneralData& sheet = def->Sections[std::size_t(def->SectionIndexOf("TABSHEET"))];
  EXPECT_TRUE(sheet.Gradient.Valid);
  EXPECT_GT(sheet.GradientPercent, 0);
  for (auto* skin : {def.get(), graphite.get()}) {
    EXPECT_TRUE(skin->Masks[std::size_t(skin->MaskIndexOf("TOOLBUTTON", "BORDERSMASK"))].HotOnly);
    EXPECT_TRUE(skin->Masks[std::size_t(skin->MaskIndexOf("MENUITEM", "BORDERSMASK"))].HotOnly);
    EXPECT_FALSE(skin->Masks[std::size_t(skin->MaskIndexOf("BUTTON", "BORDERSMASK"))].HotOnly);
  }
  const auto corners = graphite->CornerImages(graphite->SectionIndexOf("GROUPBOX"));
  for (int c : corners) EXPECT_GE(c, 0);
  EXPECT_EQ(def->CornerImages(def->SectionIndexOf("GROUPBOX"))[0], -1);
}

}  // namespace
