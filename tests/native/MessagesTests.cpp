// The class library's message numbers: the published notification numbers, the reflected
// notifications as 0xBC00 + the window message, and the packing helpers of TMessage.
#include <gtest/gtest.h>

#include <cstdint>
#include <set>

#include "classlib/core/Messages.h"

namespace {

struct Numbered {
  const char* Name;
  std::uint32_t Value;
  std::uint32_t Expected;
};

// The numbers other code relies on, written out independently of the definitions.
const Numbered kPublished[] = {
    {"CM_DIALOGKEY", CM_DIALOGKEY, 0xB005},
    {"CM_DIALOGCHAR", CM_DIALOGCHAR, 0xB006},
    {"CM_VISIBLECHANGED", CM_VISIBLECHANGED, 0xB00B},
    {"CM_ENABLEDCHANGED", CM_ENABLEDCHANGED, 0xB00C},
    {"CM_COLORCHANGED", CM_COLORCHANGED, 0xB00D},
    {"CM_FONTCHANGED", CM_FONTCHANGED, 0xB00E},
    {"CM_TEXTCHANGED", CM_TEXTCHANGED, 0xB012},
    {"CM_MOUSEENTER", CM_MOUSEENTER, 0xB013},
    {"CM_MOUSELEAVE", CM_MOUSELEAVE, 0xB014},
    {"CM_SHOWINGCHANGED", CM_SHOWINGCHANGED, 0xB019},
    {"CM_ENTER", CM_ENTER, 0xB01A},
    {"CM_EXIT", CM_EXIT, 0xB01B},
    {"CM_UIACTIVATE", CM_UIACTIVATE, 0xB029},
    {"CM_CHANGED", CM_CHANGED, 0xB037},
    {"CM_BIDIMODECHANGED", CM_BIDIMODECHANGED, 0xB03C},
    {"CM_ACTIONUPDATE", CM_ACTIONUPDATE, 0xB03F},
    {"CM_MOUSEWHEEL", CM_MOUSEWHEEL, 0xB043},
    {"CN_DRAWITEM", CN_DRAWITEM, 0xBC2B},
    {"CN_MEASUREITEM", CN_MEASUREITEM, 0xBC2C},
    {"CN_KEYDOWN", CN_KEYDOWN, 0xBD00},
    {"CN_CHAR", CN_CHAR, 0xBD02},
    {"CN_SYSKEYDOWN", CN_SYSKEYDOWN, 0xBD04},
    {"CN_SYSCHAR", CN_SYSCHAR, 0xBD06},
    {"CN_COMMAND", CN_COMMAND, 0xBD11},
};

TEST(Messages, PublishedNotifications) {
  for (const Numbered& n : kPublished) EXPECT_EQ(n.Expected, n.Value) << n.Name;
}

// Reflections are the base plus the window message (numbers of the platform's messages).
const Numbered kReflected[] = {
    {"CN_COMMAND", CN_COMMAND, 0x0111},
    {"CN_NOTIFY", CN_NOTIFY, 0x004E},
    {"CN_DRAWITEM", CN_DRAWITEM, 0x002B},
    {"CN_MEASUREITEM", CN_MEASUREITEM, 0x002C},
    {"CN_HSCROLL", CN_HSCROLL, 0x0114},
    {"CN_VSCROLL", CN_VSCROLL, 0x0115},
    {"CN_CTLCOLOREDIT", CN_CTLCOLOREDIT, 0x0133},
    {"CN_CTLCOLORSTATIC", CN_CTLCOLORSTATIC, 0x0138},
    {"CN_CTLCOLORBTN", CN_CTLCOLORBTN, 0x0135},
    {"CN_CTLCOLORLISTBOX", CN_CTLCOLORLISTBOX, 0x0134},
    {"CN_KEYDOWN", CN_KEYDOWN, 0x0100},
    {"CN_KEYUP", CN_KEYUP, 0x0101},
    {"CN_CHAR", CN_CHAR, 0x0102},
    {"CN_SYSKEYDOWN", CN_SYSKEYDOWN, 0x0104},
    {"CN_SYSCHAR", CN_SYSCHAR, 0x0106},
    {"CN_DELETEITEM", CN_DELETEITEM, 0x002D},
    {"CN_COMPAREITEM", CN_COMPAREITEM, 0x0039},
};

TEST(Messages, ReflectionsAreBasePlusWindowMessage) {
  for (const Numbered& n : kReflected) EXPECT_EQ(0xBC00u + n.Expected, n.Value) << n.Name;
}

TEST(Messages, NotificationsAreDistinctAndBelowTheReflections) {
  const std::uint32_t all[] = {CM_ACTIVATE,
                               CM_DEACTIVATE,
                               CM_DIALOGKEY,
                               CM_DIALOGCHAR,
                               CM_FOCUSCHANGED,
                               CM_PARENTFONTCHANGED,
                               CM_PARENTCOLORCHANGED,
                               CM_HITTEST,
                               CM_VISIBLECHANGED,
                               CM_ENABLEDCHANGED,
                               CM_COLORCHANGED,
                               CM_FONTCHANGED,
                               CM_CURSORCHANGED,
                               CM_CTL3DCHANGED,
                               CM_PARENTCTL3DCHANGED,
                               CM_TEXTCHANGED,
                               CM_MOUSEENTER,
                               CM_MOUSELEAVE,
                               CM_MENUCHANGED,
                               CM_SHOWINGCHANGED,
                               CM_ENTER,
                               CM_EXIT,
                               CM_WANTSPECIALKEY,
                               CM_RELEASE,
                               CM_SHOWHINTCHANGED,
                               CM_PARENTSHOWHINTCHANGED,
                               CM_TABSTOPCHANGED,
                               CM_UIACTIVATE,
                               CM_CONTROLLISTCHANGE,
                               CM_CHILDKEY,
                               CM_HINTSHOW,
                               CM_RECREATEWND,
                               CM_INVALIDATE,
                               CM_CONTROLCHANGE,
                               CM_CHANGED,
                               CM_FLOAT,
                               CM_BORDERCHANGED,
                               CM_BIDIMODECHANGED,
                               CM_PARENTBIDIMODECHANGED,
                               CM_ACTIONUPDATE,
                               CM_ACTIONEXECUTE,
                               CM_MOUSEWHEEL};
  std::set<std::uint32_t> seen;
  for (std::uint32_t m : all) {
    EXPECT_GE(m, CM_BASE);
    EXPECT_LT(m, CN_BASE);
    EXPECT_TRUE(seen.insert(m).second) << std::hex << m;
  }
}

TEST(Messages, RecordPackedCoordinatesAreSigned) {
  TMessage m = MakeMessage(0x0200, 0x0001, static_cast<std::intptr_t>(MakeLong(0xFFFB, 0x0007)));
  EXPECT_EQ(-5, m.LParamX());
  EXPECT_EQ(7, m.LParamY());
  EXPECT_EQ(0xFFFBu, m.LParamLo());
  EXPECT_EQ(1u, m.WParamLo());
  EXPECT_EQ(0u, m.WParamHi());
  m.WParam = MakeLong(3, 0x8000);
  EXPECT_EQ(0x8000u, m.WParamHi());
  EXPECT_EQ(0u, m.Result);
}

}  // namespace
