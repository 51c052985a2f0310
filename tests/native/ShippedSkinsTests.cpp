// The skins in skins/ (written by tools/skingen): they load from their folders and packed files,
// both forms agree, and they hold every section, mask and image the forms and controls read.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>
#include <filesystem>
#include <map>
#include <utility>

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

// ---- contrast of text against what lies under it

// Relative luminance of a colour (0xBBGGRR), as the web's accessibility guidelines define it.
double Luminance(TColorRef c) {
  auto lin = [](int v) {
    const double s = v / 255.0;
    return s <= 0.03928 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
  };
  return 0.2126 * lin(int(c & 0xFF)) + 0.7152 * lin(int((c >> 8) & 0xFF)) + 0.0722 * lin(int((c >> 16) & 0xFF));
}

double Contrast(TColorRef a, TColorRef b) {
  const double la = Luminance(a), lb = Luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// Each byte of Over laid over Under by Percent percent.
TColorRef LaidOver(TColorRef Over, TColorRef Under, int Percent) {
  TColorRef out = 0;
  for (int shift : {0, 8, 16}) {
    const int o = int((Over >> shift) & 0xFF), u = int((Under >> shift) & 0xFF);
    out |= TColorRef((u + (o - u) * Percent / 100) & 0xFF) << shift;
  }
  return out;
}

// The colours a section's text may lie on in a state (0 normal, 1 hot, 2 pressed). Where its border
// mask shows in that state with a solid inside, the inside covers the rest: its pixels. Otherwise
// its colour, the ends of its gradient and the pixels of its pattern laid over it, the parent (the
// skin's form colour) showing through by its transparency.
std::vector<TColorRef> FillColours(const TSkinModel& skin, int section, int state) {
  const TsGeneralData& sec = skin.Sections[std::size_t(section)];
  std::vector<TColorRef> fills;
  const int border = skin.LookupMask(section, sec.Name, "BORDERSMASK");
  if (border >= 0 && !(state == 0 && skin.Masks[std::size_t(border)].HotOnly)) {
    const TsMaskData& m = skin.Masks[std::size_t(border)];
    const TImage24& img = *skin.MaskImage(border);
    const int frame = std::min(state, m.ImageCount - 1);
    bool solid = true;
    for (int y = skin.MaskMarginTop(border); y < m.FrameHeight() - skin.MaskMarginBottom(border); ++y)
      for (int x = skin.MaskMarginLeft(border); x < m.FrameWidth() - skin.MaskMarginRight(border); ++x) {
        const TColorRef p = ColorOf(img.Pixel(m.R.Left + frame * m.FrameWidth() + x, m.R.Top + y));
        solid = solid && p != clKeyMagenta;
        fills.push_back(p);
      }
    if (solid && !fills.empty()) return fills;
    fills.clear();
  }
  const TColorRef base = state > 0 ? sec.HotColor : sec.Color;
  fills.push_back(base);
  if (sec.GradientPercent > 0 && sec.Gradient.Valid)
    for (TColorRef end : {sec.Gradient.Color1, sec.Gradient.Color2})
      fills.push_back(LaidOver(end, base, sec.GradientPercent));
  const int pattern = skin.LookupMask(section, sec.Name, state > 0 ? "HOTPATTERN" : "PATTERN");
  if (pattern >= 0) {
    const TsMaskData& m = skin.Masks[std::size_t(pattern)];
    const TImage24& img = *skin.MaskImage(pattern);
    for (int y = 0; y < m.FrameHeight(); ++y)
      for (int x = 0; x < m.FrameWidth(); ++x)
        fills.push_back(LaidOver(ColorOf(img.Pixel(m.R.Left + x, m.R.Top + y)), base,
                                 sec.ImagePercent > 0 ? sec.ImagePercent : 100));
  }
  const int transparency = state > 0 ? sec.HotTransparency : sec.Transparency;
  if (transparency > 0) {
    const TColorRef form = skin.Sections[std::size_t(skin.SectionIndexOf("GLOBALINFO"))].Color;
    for (TColorRef& f : fills) f = LaidOver(form, f, transparency);
  }
  return fills;
}

}  // namespace

// Every section that has a font colour keeps its text readable in every state: a contrast ratio
// of at least 4.5:1 against everything its text may lie on.
TEST(ShippedSkins, TextStandsOutFromItsFillInEveryState) {
  for (const char* name : {"Default", "Graphite"}) {
    std::string err;
    auto skin = LoadSkin(kSkins / name, err);
    ASSERT_TRUE(skin) << name << ": " << err;
    for (int i = 0; i < int(skin->Sections.size()); ++i) {
      const TsGeneralData& sec = skin->Sections[std::size_t(i)];
      if (!sec.HasKey("FONTCOLOR")) continue;
      for (int state = 0; state < 3; ++state) {
        const TColorRef text = (state > 0 ? sec.HotFontColor : sec.FontColor).Text() & 0xFFFFFF;
        double worst = 21;
        TColorRef under = 0;
        for (TColorRef f : FillColours(*skin, i, state))
          if (Contrast(text, f) < worst) {
            worst = Contrast(text, f);
            under = f;
          }
        EXPECT_GE(worst, 4.5) << name << " " << sec.Name << " state " << state << ": text " << std::hex << text
                              << " on " << under;
      }
    }
  }
}

// The marks of check boxes and radio buttons stand out from the inside of their boxes in every
// state, by 3:1 at least (a mark no text reads by, but one the eye must find).
TEST(ShippedSkins, CheckMarksStandOutFromTheirBoxes) {
  for (const char* name : {"Default", "Graphite"}) {
    std::string err;
    auto skin = LoadSkin(kSkins / name, err);
    ASSERT_TRUE(skin) << name << ": " << err;
    for (const char* glyph : {"BOXCHECKED", "BOXGRAYED", "RADIOCHECKED"}) {
      const int mask = skin->MaskIndexOf("GLOBALINFO", glyph);
      ASSERT_GE(mask, 0) << name << " " << glyph;
      const TsMaskData& m = skin->Masks[std::size_t(mask)];
      const TImage24& img = *skin->MaskImage(mask);
      for (int state = 0; state < m.ImageCount; ++state) {
        // Inside the ring: the commonest colour is the box's inside, the next the mark.
        std::map<TColorRef, int> counts;
        for (int y = 2; y < m.FrameHeight() - 2; ++y)
          for (int x = 2; x < m.FrameWidth() - 2; ++x)
            ++counts[ColorOf(img.Pixel(m.R.Left + state * m.FrameWidth() + x, m.R.Top + y))];
        counts.erase(clKeyMagenta);
        std::vector<std::pair<int, TColorRef>> byCount;
        for (const auto& [colour, n] : counts) byCount.emplace_back(n, colour);
        std::sort(byCount.rbegin(), byCount.rend());
        ASSERT_GE(byCount.size(), 2u) << name << " " << glyph << " state " << state << ": a mark";
        EXPECT_GE(Contrast(byCount[0].second, byCount[1].second), 3.0)
            << name << " " << glyph << " state " << state << std::hex << ": " << byCount[1].second << " on "
            << byCount[0].second;
      }
    }
  }
}
