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

const char* const kSections[] = {
    "GLOBALINFO", "FORM", "FORMTITLE", "DIALOG", "MDIAREA", "MAINMENU", "MENULINE", "MENUITEM", "ICOLINE",
    "EXTRALINE", "BUTTON", "SPEEDBUTTON", "SPEEDBUTTON_SMALL", "TOOLBUTTON", "UPDOWNBTN", "COLHEADER", "CHECKBOX",
    "RADIOBUTTON", "GROUPBOX", "EDIT", "COMBOBOX", "COMBOBTN", "PANEL", "PANEL_LOW", "BAR", "BARTITLE", "TOOLBAR",
    "DRAGBAR", "SPLITTER", "TABSHEET", "PAGECONTROL", "PAGECONTROLBOTTOM", "PAGECONTROLLEFT", "PAGECONTROLRIGHT",
    "TABTOP", "TABBOTTOM", "TABLEFT", "TABRIGHT", "STATUSBAR", "DIVIDER", "DIVIDERV", "GAUGE", "PROGRESSH",
    "PROGRESSV", "TRACKBAR", "SCROLLBTNTOP", "SCROLLBTNBOTTOM", "SCROLLBTNLEFT", "SCROLLBTNRIGHT", "SCROLLSLIDERH",
    "SCROLLSLIDERV", "SCROLLBAR1H", "SCROLLBAR2H", "SCROLLBAR1V", "SCROLLBAR2V"};

const char* const kMasks[][2] = {
    {"GLOBALINFO", "BICONCLOSE"}, {"GLOBALINFO", "BICONMAX"}, {"GLOBALINFO", "BICONMIN"},
    {"GLOBALINFO", "BICONNORM"}, {"GLOBALINFO", "BICONHELP"}, {"GLOBALINFO", "SICONCLOSE"},
    {"GLOBALINFO", "SICONMAX"}, {"GLOBALINFO", "SICONMIN"}, {"GLOBALINFO", "SICONHELP"},
    {"GLOBALINFO", "TITLEBUTTON"}, {"GLOBALINFO", "GRIPIMAGE"}, {"GLOBALINFO", "BOXCHECKED"},
    {"GLOBALINFO", "BOXUNCHECKED"}, {"GLOBALINFO", "BOXGRAYED"}, {"GLOBALINFO", "RADIOCHECKED"},
    {"GLOBALINFO", "RADIOUNCHECKED"}, {"GLOBALINFO", "CHECK"}, {"FORM", "BORDERSMASK"}, {"FORM", "TITLEBAR"},
    {"FORMTITLE", "BORDERSMASK"}, {"DIALOG", "BORDERSMASK"}, {"MAINMENU", "BORDERSMASK"},
    {"MENULINE", "BORDERSMASK"}, {"MENUITEM", "BORDERSMASK"}, {"BUTTON", "BORDERSMASK"},
    {"SPEEDBUTTON", "BORDERSMASK"}, {"SPEEDBUTTON_SMALL", "BORDERSMASK"}, {"TOOLBUTTON", "BORDERSMASK"},
    {"UPDOWNBTN", "BORDERSMASK"}, {"COLHEADER", "BORDERSMASK"}, {"CHECKBOX", "BORDERSMASK"},
    {"RADIOBUTTON", "BORDERSMASK"}, {"GROUPBOX", "BORDERSMASK"}, {"EDIT", "BORDERSMASK"},
    {"COMBOBOX", "BORDERSMASK"}, {"COMBOBOX", "GLYPHMASK"}, {"COMBOBTN", "BORDERSMASK"}, {"COMBOBTN", "PATTERN"},
    {"COMBOBTN", "HOTPATTERN"}, {"PANEL", "BORDERSMASK"}, {"PANEL_LOW", "BORDERSMASK"}, {"BAR", "BORDERSMASK"},
    {"BARTITLE", "BORDERSMASK"}, {"TOOLBAR", "BORDERSMASK"}, {"DRAGBAR", "BORDERSMASK"},
    {"SPLITTER", "BORDERSMASK"}, {"PAGECONTROL", "BORDERSMASK"}, {"PAGECONTROLBOTTOM", "BORDERSMASK"},
    {"PAGECONTROLLEFT", "BORDERSMASK"}, {"PAGECONTROLRIGHT", "BORDERSMASK"}, {"TABTOP", "BORDERSMASK"},
    {"TABBOTTOM", "BORDERSMASK"}, {"TABLEFT", "BORDERSMASK"}, {"TABRIGHT", "BORDERSMASK"},
    {"STATUSBAR", "BORDERSMASK"}, {"STATUSBAR", "STATUSPANELMASK"}, {"DIVIDER", "BORDERSMASK"},
    {"DIVIDERV", "BORDERSMASK"}, {"GAUGE", "BORDERSMASK"}, {"PROGRESSH", "BORDERSMASK"},
    {"PROGRESSV", "BORDERSMASK"}, {"TRACKBAR", "SLIDERCHANNEL"}, {"TRACKBAR", "SLIDERMASK"},
    {"TRACKBAR", "SLIDERVMASK"}, {"TRACKBAR", "TICKHORZ"}, {"TRACKBAR", "TICKVERT"},
};

const char* const kScrollSections[] = {"SCROLLBTNTOP", "SCROLLBTNBOTTOM", "SCROLLBTNLEFT", "SCROLLBTNRIGHT",
                                       "SCROLLSLIDERH", "SCROLLSLIDERV", "SCROLLBAR1H", "SCROLLBAR2H",
                                       "SCROLLBAR1V", "SCROLLBAR2V"};

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

}  // namespace
