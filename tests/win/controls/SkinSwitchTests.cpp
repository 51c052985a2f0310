// A live change of skins as the gallery's chooser makes it: a skin loaded, taken away (the plain
// look), another one loaded, then a switch straight from one skin to the other. The push button
// and the speed button follow every step: owner-draw style, window region, opaque style and the
// frame colours of the skin in use.
#include <gtest/gtest.h>

#include "skin/controls/sButton.h"
#include "skin/controls/sSpeedButton.h"
#include "tests/support/ControlsFixture.h"

using namespace qvtest;

namespace {

// The standard test skin with the two button sections made last, so that their frames get colours
// the standard skin does not use for them.
TSkinBuilder OtherSkin() {
  TSkinBuilder b = TSkinBuilder::Standard().RemoveSection("BUTTON").RemoveSection("SPEEDBUTTON");
  for (const char* s : {"BUTTON", "SPEEDBUTTON"}) {
    b.Section(s);
    b.Mask(s, "BORDERSMASK", 12, 12, 3);
  }
  return b;
}

class SkinSwitch : public ControlsTest {
 protected:
  static LONG_PTR TypeOf(TsButton* b) { return GetWindowLongPtrA(b->Handle(), GWL_STYLE) & BS_TYPEMASK; }
  static bool HasRegion(TsButton* b) {
    HRGN rgn = CreateRectRgn(0, 0, 0, 0);
    const bool has = GetWindowRgn(b->Handle(), rgn) != ERROR;
    DeleteObject(rgn);
    return has;
  }
  void PaintAll() {
    RedrawWindow(Button->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    Speed->Repaint();
    flush_events();
  }
  // Both buttons show the normal frame of the skin `b`.
  void ExpectSkin(const TSkinBuilder& b, const char* step) {
    SCOPED_TRACE(step);
    PaintAll();
    EXPECT_EQ(BS_OWNERDRAW, TypeOf(Button));
    EXPECT_TRUE(HasRegion(Button));
    EXPECT_TRUE(Speed->ControlStyle().Contains(csOpaque));
    EXPECT_EQ(ColorText(TSkinBuilder::FrameColor(b.MaskOrdinal("BUTTON", "BORDERSMASK"), 0)),
              ColorText(CachePixel(Button->SkinData(), Button->Width() / 2, 1)));
    EXPECT_EQ(ColorText(TSkinBuilder::FrameColor(b.MaskOrdinal("SPEEDBUTTON", "BORDERSMASK"), 0)),
              ColorText(CachePixel(Speed->SkinData(), Speed->Width() / 2, 1)));
  }
  void ExpectPlain(const char* step) {
    SCOPED_TRACE(step);
    PaintAll();
    EXPECT_EQ(BS_PUSHBUTTON, TypeOf(Button));
    EXPECT_FALSE(HasRegion(Button));
    EXPECT_EQ(nullptr, Button->PendingRegion());
    EXPECT_FALSE(Speed->ControlStyle().Contains(csOpaque));
    EXPECT_FALSE(Button->SkinData()->Skinned());
    EXPECT_FALSE(Speed->SkinData()->Skinned());
  }
  TsButton* Button = nullptr;
  TsSpeedButton* Speed = nullptr;
};

}  // namespace

TEST_F(SkinSwitch, LoadRemoveLoadAnotherAndSwitchBack) {
  const TSkinBuilder first = TSkinBuilder::Standard();
  const TSkinBuilder second = OtherSkin();
  ASSERT_NE(first.MaskOrdinal("BUTTON", "BORDERSMASK"), second.MaskOrdinal("BUTTON", "BORDERSMASK"));
  LoadSkin(first);
  Manager->AddInternalSkin("Second", second.Packed());
  Button = Create<TsButton>(Form);
  Button->SetParent(Form);
  Button->SetBounds(20, 20, 90, 30);
  Speed = Create<TsSpeedButton>(Form);
  Speed->SetParent(Form);
  Speed->SetBounds(20, 70, 90, 30);
  flush_events();
  ExpectSkin(first, "first skin");

  Manager->SetActive(false);
  flush_events();
  ExpectPlain("skin removed");

  Manager->SetSkinName("Second");
  Manager->SetActive(true);
  flush_events();
  ExpectSkin(second, "second skin after the plain look");

  Manager->SetSkinName("Test");
  flush_events();
  ExpectSkin(first, "first skin straight from the second");

  Manager->SetActive(false);
  flush_events();
  ExpectPlain("removed again");
  Manager->SetActive(true);
  flush_events();
  ExpectSkin(first, "the same skin back");
}

TEST_F(SkinSwitch, ASkinWithoutTheButtonSectionsLeavesThePlainButtons) {
  LoadSkin(TSkinBuilder::Standard());
  Manager->AddInternalSkin("Bare",
                           TSkinBuilder::Standard().RemoveSection("BUTTON").RemoveSection("SPEEDBUTTON").Packed());
  Button = Create<TsButton>(Form);
  Button->SetParent(Form);
  Button->SetBounds(20, 20, 90, 30);
  Speed = Create<TsSpeedButton>(Form);
  Speed->SetParent(Form);
  Speed->SetBounds(20, 70, 90, 30);
  flush_events();
  ExpectSkin(TSkinBuilder::Standard(), "standard");
  Manager->SetSkinName("Bare");
  flush_events();
  // The manager stays active, but there is nothing to paint the buttons with.
  PaintAll();
  EXPECT_FALSE(Button->SkinData()->Skinned());
  EXPECT_FALSE(Speed->SkinData()->Skinned());
  EXPECT_NE(BS_OWNERDRAW, TypeOf(Button));
  EXPECT_FALSE(HasRegion(Button));
}
