// Skin sections and texts of skinned controls written and read by their published names: what each
// setter keeps, and what the controls paint and show with it.
#include <gtest/gtest.h>

#include "classlib/core/TypInfo.h"
#include "skin/controls/sButton.h"
#include "skin/controls/sGauge.h"
#include "skin/controls/sUpDown.h"
#include "tests/win/tabs/TabsFixture.h"

using namespace qvtest;

namespace {

class PublishedStrings : public TabsTest {};

}  // namespace

TEST_F(PublishedStrings, SectionsAndTextsByName) {
  LoadStandardSkin();
  TsPageControl* pc = MakePages(3);
  TTabSheet* page = pc->Pages(1);
  auto* gauge = Create<TsGauge>(Form);
  gauge->SetParent(Form);
  gauge->SetBounds(20, 230, 120, 40);
  gauge->SetKind(gkHorizontalBar);
  gauge->SetShowText(false);
  gauge->SetProgress(50);
  auto* button = Create<TsButton>(Form);
  button->SetParent(Form);
  button->SetBounds(160, 230, 90, 30);
  auto* updown = Create<TsUpDown>(Form);
  updown->SetParent(Form);
  updown->SetBounds(270, 230, 20, 40);
  flush_events();

  struct {
    TObject* Object;
    const char* Name;
    const char* Value;
    const char* Read;
  } rows[] = {
      {page, "TabSkin", "BUTTON", "BUTTON"},
      {page, "ButtonSkin", "TOOLBUTTON", "TOOLBUTTON"},
      {page, "Caption", "Renamed", "Renamed"},
      {GetObjPropByName(page, "SkinData"), "SkinSection", "tabtop", "tabtop"},  // stored as given
      {pc, "CloseBtnSkin", "BUTTON", "BUTTON"},
      {gauge, "ProgressSkin", "BUTTON", "BUTTON"},
      {gauge, "Suffix", " pct", " pct"},
      {updown, "ButtonSkin", "BUTTON", "BUTTON"},
      {button, "Caption", "&Apply", "&Apply"},
      {GetObjPropByName(button, "SkinData"), "SkinSection", "checkbox", "CHECKBOX"},  // upper-cased
      {Form, "Hint", "The form", "The form"},
      {Manager->MenuSupport(), "IcoLineSkin", "ICOLINE", "ICOLINE"},
      {GetObjPropByName(Manager, "ThirdParty"), "ThirdGrids", "TMyGrid\nTOtherGrid", "TMyGrid\nTOtherGrid"},
  };
  for (const auto& r : rows) {
    ASSERT_NE(nullptr, r.Object) << r.Name;
    EXPECT_TRUE(SetStrPropByName(r.Object, r.Name, r.Value)) << r.Name;
    EXPECT_EQ(r.Read, GetStrPropByName(r.Object, r.Name)) << r.Name;
  }
  EXPECT_EQ("BUTTON", static_cast<TsTabSheet*>(page)->TabSkin());
  EXPECT_EQ(" pct", gauge->Suffix());
  EXPECT_EQ("TMyGrid\nTOtherGrid", Manager->ThirdParty()->ThirdGrids());
  // Ordinals and objects are not strings.
  EXPECT_FALSE(SetStrPropByName(gauge, "Progress", "9"));
  EXPECT_EQ(50, gauge->Progress());
  EXPECT_EQ("", GetStrPropByName(pc, "SkinData"));

  // The controls paint and show what was written.
  flush_events();
  EXPECT_EQ(ColorText(Frame("BUTTON", 0)), At(pc, TabBody(pc, 1, false)));
  EXPECT_EQ(ColorText(Frame("BUTTON", 0)), ColorText(ScreenPixel(gauge, 30, 20)));
  EXPECT_EQ(ColorText(Frame("CHECKBOX", 0)), ColorText(ScreenPixel(button, button->Width() / 2, 1)));
  char text[64] = {};
  GetWindowTextA(button->Handle(), text, sizeof text);
  EXPECT_STREQ("&Apply", text);
  TCITEMA item{};
  item.mask = TCIF_TEXT;
  item.pszText = text;
  item.cchTextMax = sizeof text;
  ASSERT_TRUE(SendMessageA(pc->Handle(), TCM_GETITEMA, 1, LPARAM(&item)));
  EXPECT_STREQ("Renamed", text);
}
