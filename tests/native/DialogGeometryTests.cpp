// Dialog arithmetic: the adapter each child class and style gets (enumerated style fields compared
// whole), frame kinds and their measures, and the title buttons' places.
#include <gtest/gtest.h>

#include <string>

#include "skin/windows/core/acDialogGeometry.h"

using namespace qv;

namespace {

using K = TacDialogChildKind;

TEST(DialogGeometry, ChildAdapterByClassAndStyle) {
  struct {
    const char* Class;
    std::uint32_t Style;
    int W, H;
    K Kind;
    std::string Section;
  } cases[] = {
      // Buttons by their type field: owner-drawn, split and command-link types are no check boxes.
      {"Button", 0x0, 75, 23, K::Button, "BUTTON"},
      {"button", 0x1, 75, 23, K::Button, "BUTTON"},  // default push button
      {"button", 0x2, 75, 23, K::CheckBox, "CHECKBOX"},
      {"button", 0x3, 75, 23, K::CheckBox, "CHECKBOX"},
      {"button", 0x4, 75, 23, K::CheckBox, "CHECKBOX"},  // radio
      {"button", 0x5, 75, 23, K::CheckBox, "CHECKBOX"},
      {"button", 0x6, 75, 23, K::CheckBox, "CHECKBOX"},
      {"button", 0x7, 75, 23, K::GroupBox, "GROUPBOX"},
      {"button", 0x9, 75, 23, K::CheckBox, "CHECKBOX"},
      {"button", 0xB, 75, 23, K::None, ""},  // owner-drawn: its owner paints it
      {"button", 0xC, 75, 23, K::Button, "BUTTON"},
      {"button", 0xD, 75, 23, K::Button, "BUTTON"},
      {"button", 0xE, 75, 23, K::Button, "BUTTON"},  // command links
      {"button", 0xF, 75, 23, K::Button, "BUTTON"},
      {"button", 0x7 | 0x50010000, 75, 23, K::GroupBox, "GROUPBOX"},  // window style bits do not count
      // Push buttons with an image; check boxes and radio buttons that look like push buttons.
      {"button", 0x40, 40, 40, K::ImageButton, "BUTTON"},   // BS_ICON
      {"button", 0x81, 40, 40, K::ImageButton, "BUTTON"},   // BS_BITMAP, default
      {"button", 0xC | 0x40, 75, 23, K::Button, "BUTTON"},  // a split button keeps its arrow
      {"button", 0x1003, 75, 23, K::Button, "BUTTON"},
      {"button", 0x1009, 75, 23, K::Button, "BUTTON"},
      {"button", 0x1007, 75, 23, K::GroupBox, "GROUPBOX"},
      // Statics by their type field.
      {"static", 0x0, 50, 13, K::Static, "CHECKBOX"},
      {"static", 0x3, 32, 32, K::Icon, "CHECKBOX"},
      {"static", 0xE, 32, 32, K::Icon, "CHECKBOX"},
      {"static", 0x7, 50, 13, K::Static, "CHECKBOX"},  // a frame is no icon
      {"static", 0xF, 50, 13, K::None, ""},            // enhanced metafile: no owner-drawn match either
      {"static", 0xD, 50, 13, K::None, ""},
      {"static", 0x5, 50, 13, K::None, ""},
      {"static", 0x6, 50, 13, K::None, ""},
      {"static", 0xB, 50, 13, K::None, ""},
      {"static", 0x10, 50, 2, K::Static, "CHECKBOX"},  // etched line
      {"static", 0x3 | 0x200, 32, 32, K::Icon, "CHECKBOX"},
      // Other classes.
      {"#32770", 0, 200, 100, K::TransPanel, "CHECKBOX"},
      {"tpanel", 0, 200, 100, K::DlgPanel, "PANEL"},
      {"combobox", 0, 120, 21, K::ComboBox, "COMBOBOX"},
      {"comboboxex32", 0, 120, 21, K::ComboBox, "COMBOBOX"},
      {"combolbox", 0, 120, 100, K::ComboList, "COMBOBOX"},
      {"scrollbar", 0, 16, 16, K::Sizer, "CHECKBOX"},
      {"systabcontrol32", 0, 470, 349, K::Refuse, ""},
      {"systabcontrol32", 0, 470, 350, K::None, ""},
      {"syslistview32", 0, 200, 100, K::ListView, "EDIT"},
      {"msctls_updown32", 0, 16, 21, K::Spin, "SPEEDBUTTON_SMALL"},
      {"listbox", 0, 100, 100, K::Edit, "EDIT"},
      {"edit", 0, 100, 21, K::Edit, "EDIT"},
      {"systreeview32", 0, 100, 100, K::TreeView, "EDIT"},
      {"syslink", 0, 100, 13, K::Link, "CHECKBOX"},
      {"toolbarwindow32", 0x800, 100, 26, K::ToolBar, "BAR"},       // flat
      {"toolbarwindow32", 0x200, 100, 26, K::ToolBar, "CHECKBOX"},  // wrapping only
      {"toolbarwindow32", 0, 100, 26, K::ToolBar, "CHECKBOX"},
      {"x_shbrowseforfolder_y", 0, 100, 26, K::TransPanel, "CHECKBOX"},
      {"msctls_progress32", 0, 100, 16, K::None, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.Class) + " " + std::to_string(c.Style));
    const TacDialogChildChoice r = DialogChildAdapter(LowerClassName(c.Class), c.Style, c.W, c.H);
    EXPECT_EQ(int(c.Kind), int(r.Kind));
    EXPECT_EQ(c.Section, r.Section);
  }
}

TEST(DialogGeometry, FrameKindsAndButtons) {
  const TDialogMetrics m{3, 3, 4, 4, 19};
  struct {
    std::uint32_t Style;
    TacFrameKind Kind;
    int BorderX, Caption;
  } kinds[] = {
      {wsPopup | wsCaption | wsSysMenu | dsModalFrame, fkModal, 3, 19},
      {wsPopup | wsCaption | dsModalFrame | wsThickFrame, fkSizeable, 4, 19},
      {wsPopup | 0x00800000u, fkFrameless, 0, 0},  // a border without a caption
      {wsPopup | wsCaption | wsThickFrame, fkSizeable, 4, 19},
      {0x00800000u | dsModalFrame, fkModal, 3, 0},  // no complete caption: no caption band
  };
  for (const auto& k : kinds) {
    SCOPED_TRACE(k.Style);
    EXPECT_EQ(k.Kind, DialogFrameKind(k.Style));
    const TDialogFrame f = DialogFrameOf(DialogFrameKind(k.Style), k.Style, m);
    EXPECT_EQ(k.BorderX, f.BorderX);
    EXPECT_EQ(k.Caption, f.Caption);
  }
  EXPECT_EQ(3, DialogFrameOf(fkUnknown, wsCaption, m).BorderY);

  // Close, Maximize, Minimize, Help from the right edge less the border; small buttons two lower.
  const TSize sizes[dbCount] = {{16, 14}, {18, 18}, {16, 14}, {12, 10}};
  const TDialogFrame f{4, 4, 19};
  const TDialogButtonLayout all =
      LayoutDialogButtons(200, f, wsSysMenu | wsMaximizeBox | wsMinimizeBox, wsExContextHelp, sizes);
  EXPECT_EQ((TRect{180, 6, 196, 20}), all.Rects[dbClose]);
  EXPECT_EQ((TRect{162, 2, 180, 20}), all.Rects[dbMax]);
  EXPECT_EQ((TRect{146, 6, 162, 20}), all.Rects[dbMin]);
  EXPECT_EQ((TRect{134, 8, 146, 18}), all.Rects[dbHelp]);
  EXPECT_EQ(134, all.Left);
  // Only what the style shows takes room.
  const TDialogButtonLayout some = LayoutDialogButtons(200, f, wsSysMenu, wsExContextHelp, sizes);
  EXPECT_FALSE(some.Shown[dbMax]);
  EXPECT_TRUE(some.Rects[dbMax].IsEmpty());
  EXPECT_EQ((TRect{168, 8, 180, 18}), some.Rects[dbHelp]);
  EXPECT_EQ(196, LayoutDialogButtons(200, f, 0, 0, sizes).Left);
}

}  // namespace
