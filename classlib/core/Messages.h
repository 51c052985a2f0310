// The message record and the class library's own notification messages.
//
// TMessage carries a window message through the class library's Dispatch and WindowProc chains.
// Its fields are as wide as the platform's WPARAM / LPARAM / LRESULT (pointer-sized), so the
// record needs no platform header and the portable core can build and inspect messages.
//
// Message handling: TObject has a virtual Dispatch(TMessage&) whose root version passes the
// message to the virtual DefaultHandler. A class that handles messages overrides Dispatch with a
// switch on Msg; for a message it does not consume (or after its own work, where the framework
// would call "inherited") it calls its base class's Dispatch. Window controls override
// DefaultHandler to call the window's previous procedure.
#pragma once

#include <cstdint>

struct TMessage {
  std::uint32_t Msg = 0;
  std::uintptr_t WParam = 0;
  std::intptr_t LParam = 0;
  std::intptr_t Result = 0;

  std::uint16_t WParamLo() const { return static_cast<std::uint16_t>(WParam & 0xFFFF); }
  std::uint16_t WParamHi() const { return static_cast<std::uint16_t>((WParam >> 16) & 0xFFFF); }
  std::uint16_t LParamLo() const { return static_cast<std::uint16_t>(static_cast<std::uintptr_t>(LParam) & 0xFFFF); }
  std::uint16_t LParamHi() const {
    return static_cast<std::uint16_t>((static_cast<std::uintptr_t>(LParam) >> 16) & 0xFFFF);
  }
  std::uint16_t ResultLo() const { return static_cast<std::uint16_t>(static_cast<std::uintptr_t>(Result) & 0xFFFF); }
  std::uint16_t ResultHi() const {
    return static_cast<std::uint16_t>((static_cast<std::uintptr_t>(Result) >> 16) & 0xFFFF);
  }
  // Signed coordinates packed in LParam (mouse messages): X in the low word, Y in the high word.
  int LParamX() const { return static_cast<std::int16_t>(LParamLo()); }
  int LParamY() const { return static_cast<std::int16_t>(LParamHi()); }
};

inline TMessage MakeMessage(std::uint32_t msg, std::uintptr_t wparam = 0, std::intptr_t lparam = 0) {
  TMessage m;
  m.Msg = msg;
  m.WParam = wparam;
  m.LParam = lparam;
  return m;
}

inline constexpr std::uint16_t LoWord(std::uintptr_t v) { return static_cast<std::uint16_t>(v & 0xFFFF); }
inline constexpr std::uint16_t HiWord(std::uintptr_t v) { return static_cast<std::uint16_t>((v >> 16) & 0xFFFF); }
// Two 16-bit halves as one 32-bit value (low word first), as WPARAM / LPARAM builders use it.
inline constexpr std::uint32_t MakeLong(std::uint16_t lo, std::uint16_t hi) {
  return static_cast<std::uint32_t>(lo) | (static_cast<std::uint32_t>(hi) << 16);
}

// Notification messages of the class library, numbered from CM_BASE.
inline constexpr std::uint32_t CM_BASE = 0xB000;
inline constexpr std::uint32_t CM_ACTIVATE = CM_BASE + 0;
inline constexpr std::uint32_t CM_DEACTIVATE = CM_BASE + 1;
inline constexpr std::uint32_t CM_GOTFOCUS = CM_BASE + 2;
inline constexpr std::uint32_t CM_LOSTFOCUS = CM_BASE + 3;
inline constexpr std::uint32_t CM_CANCELMODE = CM_BASE + 4;
inline constexpr std::uint32_t CM_DIALOGKEY = CM_BASE + 5;
inline constexpr std::uint32_t CM_DIALOGCHAR = CM_BASE + 6;
inline constexpr std::uint32_t CM_FOCUSCHANGED = CM_BASE + 7;
inline constexpr std::uint32_t CM_PARENTFONTCHANGED = CM_BASE + 8;
inline constexpr std::uint32_t CM_PARENTCOLORCHANGED = CM_BASE + 9;
inline constexpr std::uint32_t CM_HITTEST = CM_BASE + 10;
inline constexpr std::uint32_t CM_VISIBLECHANGED = CM_BASE + 11;
inline constexpr std::uint32_t CM_ENABLEDCHANGED = CM_BASE + 12;
inline constexpr std::uint32_t CM_COLORCHANGED = CM_BASE + 13;
inline constexpr std::uint32_t CM_FONTCHANGED = CM_BASE + 14;
inline constexpr std::uint32_t CM_CURSORCHANGED = CM_BASE + 15;
inline constexpr std::uint32_t CM_CTL3DCHANGED = CM_BASE + 16;
inline constexpr std::uint32_t CM_PARENTCTL3DCHANGED = CM_BASE + 17;
inline constexpr std::uint32_t CM_TEXTCHANGED = CM_BASE + 18;
inline constexpr std::uint32_t CM_MOUSEENTER = CM_BASE + 19;
inline constexpr std::uint32_t CM_MOUSELEAVE = CM_BASE + 20;
inline constexpr std::uint32_t CM_MENUCHANGED = CM_BASE + 21;
inline constexpr std::uint32_t CM_APPKEYDOWN = CM_BASE + 22;
inline constexpr std::uint32_t CM_APPSYSCOMMAND = CM_BASE + 23;
inline constexpr std::uint32_t CM_BUTTONPRESSED = CM_BASE + 24;
inline constexpr std::uint32_t CM_SHOWINGCHANGED = CM_BASE + 25;
inline constexpr std::uint32_t CM_ENTER = CM_BASE + 26;
inline constexpr std::uint32_t CM_EXIT = CM_BASE + 27;
inline constexpr std::uint32_t CM_DESIGNHITTEST = CM_BASE + 28;
inline constexpr std::uint32_t CM_ICONCHANGED = CM_BASE + 29;
inline constexpr std::uint32_t CM_WANTSPECIALKEY = CM_BASE + 30;
inline constexpr std::uint32_t CM_INVOKEHELP = CM_BASE + 31;
inline constexpr std::uint32_t CM_WINDOWHOOK = CM_BASE + 32;
inline constexpr std::uint32_t CM_RELEASE = CM_BASE + 33;
inline constexpr std::uint32_t CM_SHOWHINTCHANGED = CM_BASE + 34;
inline constexpr std::uint32_t CM_PARENTSHOWHINTCHANGED = CM_BASE + 35;
inline constexpr std::uint32_t CM_SYSCOLORCHANGE = CM_BASE + 36;
inline constexpr std::uint32_t CM_WININICHANGE = CM_BASE + 37;
inline constexpr std::uint32_t CM_FONTCHANGE = CM_BASE + 38;
inline constexpr std::uint32_t CM_TIMECHANGE = CM_BASE + 39;
inline constexpr std::uint32_t CM_TABSTOPCHANGED = CM_BASE + 40;
inline constexpr std::uint32_t CM_UIACTIVATE = CM_BASE + 41;
inline constexpr std::uint32_t CM_UIDEACTIVATE = CM_BASE + 42;
inline constexpr std::uint32_t CM_DOCWINDOWACTIVATE = CM_BASE + 43;
inline constexpr std::uint32_t CM_CONTROLLISTCHANGE = CM_BASE + 44;
inline constexpr std::uint32_t CM_GETDATALINK = CM_BASE + 45;
inline constexpr std::uint32_t CM_CHILDKEY = CM_BASE + 46;
inline constexpr std::uint32_t CM_DRAG = CM_BASE + 47;
inline constexpr std::uint32_t CM_HINTSHOW = CM_BASE + 48;
inline constexpr std::uint32_t CM_DIALOGHANDLE = CM_BASE + 49;
inline constexpr std::uint32_t CM_ISTOOLCONTROL = CM_BASE + 50;
inline constexpr std::uint32_t CM_RECREATEWND = CM_BASE + 51;
inline constexpr std::uint32_t CM_INVALIDATE = CM_BASE + 52;
inline constexpr std::uint32_t CM_SYSFONTCHANGED = CM_BASE + 53;
inline constexpr std::uint32_t CM_CONTROLCHANGE = CM_BASE + 54;
inline constexpr std::uint32_t CM_CHANGED = CM_BASE + 55;
inline constexpr std::uint32_t CM_DOCKCLIENT = CM_BASE + 56;
inline constexpr std::uint32_t CM_UNDOCKCLIENT = CM_BASE + 57;
inline constexpr std::uint32_t CM_FLOAT = CM_BASE + 58;
inline constexpr std::uint32_t CM_BORDERCHANGED = CM_BASE + 59;
inline constexpr std::uint32_t CM_BIDIMODECHANGED = CM_BASE + 60;
inline constexpr std::uint32_t CM_PARENTBIDIMODECHANGED = CM_BASE + 61;
inline constexpr std::uint32_t CM_ALLCHILDRENFLIPPED = CM_BASE + 62;
inline constexpr std::uint32_t CM_ACTIONUPDATE = CM_BASE + 63;
inline constexpr std::uint32_t CM_ACTIONEXECUTE = CM_BASE + 64;
inline constexpr std::uint32_t CM_HINTSHOWPAUSE = CM_BASE + 65;
inline constexpr std::uint32_t CM_DOCKNOTIFICATION = CM_BASE + 66;
inline constexpr std::uint32_t CM_MOUSEWHEEL = CM_BASE + 67;

// Reflected notifications: a parent sends the message it received from a child back to that
// child as CN_BASE + the window message number. The window message numbers are written out here
// so the portable core needs no platform header.
inline constexpr std::uint32_t CN_BASE = 0xBC00;
inline constexpr std::uint32_t CN_CHARTOITEM = CN_BASE + 0x002F;         // WM_CHARTOITEM
inline constexpr std::uint32_t CN_COMMAND = CN_BASE + 0x0111;            // WM_COMMAND
inline constexpr std::uint32_t CN_COMPAREITEM = CN_BASE + 0x0039;        // WM_COMPAREITEM
inline constexpr std::uint32_t CN_CTLCOLORBTN = CN_BASE + 0x0135;        // WM_CTLCOLORBTN
inline constexpr std::uint32_t CN_CTLCOLORDLG = CN_BASE + 0x0136;        // WM_CTLCOLORDLG
inline constexpr std::uint32_t CN_CTLCOLOREDIT = CN_BASE + 0x0133;       // WM_CTLCOLOREDIT
inline constexpr std::uint32_t CN_CTLCOLORLISTBOX = CN_BASE + 0x0134;    // WM_CTLCOLORLISTBOX
inline constexpr std::uint32_t CN_CTLCOLORMSGBOX = CN_BASE + 0x0132;     // WM_CTLCOLORMSGBOX
inline constexpr std::uint32_t CN_CTLCOLORSCROLLBAR = CN_BASE + 0x0137;  // WM_CTLCOLORSCROLLBAR
inline constexpr std::uint32_t CN_CTLCOLORSTATIC = CN_BASE + 0x0138;     // WM_CTLCOLORSTATIC
inline constexpr std::uint32_t CN_DELETEITEM = CN_BASE + 0x002D;         // WM_DELETEITEM
inline constexpr std::uint32_t CN_DRAWITEM = CN_BASE + 0x002B;           // WM_DRAWITEM
inline constexpr std::uint32_t CN_HSCROLL = CN_BASE + 0x0114;            // WM_HSCROLL
inline constexpr std::uint32_t CN_MEASUREITEM = CN_BASE + 0x002C;        // WM_MEASUREITEM
inline constexpr std::uint32_t CN_PARENTNOTIFY = CN_BASE + 0x0210;       // WM_PARENTNOTIFY
inline constexpr std::uint32_t CN_VKEYTOITEM = CN_BASE + 0x002E;         // WM_VKEYTOITEM
inline constexpr std::uint32_t CN_VSCROLL = CN_BASE + 0x0115;            // WM_VSCROLL
inline constexpr std::uint32_t CN_KEYDOWN = CN_BASE + 0x0100;            // WM_KEYDOWN
inline constexpr std::uint32_t CN_KEYUP = CN_BASE + 0x0101;              // WM_KEYUP
inline constexpr std::uint32_t CN_CHAR = CN_BASE + 0x0102;               // WM_CHAR
inline constexpr std::uint32_t CN_SYSKEYDOWN = CN_BASE + 0x0104;         // WM_SYSKEYDOWN
inline constexpr std::uint32_t CN_SYSCHAR = CN_BASE + 0x0106;            // WM_SYSCHAR
inline constexpr std::uint32_t CN_NOTIFY = CN_BASE + 0x004E;             // WM_NOTIFY

static_assert(CM_DIALOGKEY == 0xB005 && CM_TEXTCHANGED == 0xB012 && CM_SHOWINGCHANGED == 0xB019 &&
              CM_UIACTIVATE == 0xB029 && CM_CHANGED == 0xB037 && CM_BIDIMODECHANGED == 0xB03C &&
              CM_ACTIONUPDATE == 0xB03F && CM_MOUSEWHEEL == 0xB043);
static_assert(CN_DRAWITEM == 0xBC2B && CN_MEASUREITEM == 0xBC2C && CN_KEYDOWN == 0xBD00 && CN_CHAR == 0xBD02 &&
              CN_SYSKEYDOWN == 0xBD04 && CN_SYSCHAR == 0xBD06 && CN_COMMAND == 0xBD11);
