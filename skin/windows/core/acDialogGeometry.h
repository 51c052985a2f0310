// Arithmetic of skinned dialog windows, without any platform header: the frame kind a dialog's
// style gives, the adapter a dialog's child window gets by its class and style, and where the title
// buttons of a dialog go.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "classlib/core/Types.h"
#include "skin/windows/core/acFormGeometry.h"

namespace qv {

// ---- Frame kinds ------------------------------------------------------------------------------------

// The frame a dialog window has, read from its style.
enum TacFrameKind : std::uint8_t {
  fkModal = 0,      // DS_MODALFRAME without WS_THICKFRAME: dialog frame borders
  fkUnknown = 1,    // before the style was read: dialog frame borders
  fkFrameless = 2,  // WS_POPUP without the whole WS_CAPTION: no border, no caption
  fkSizeable = 3,   // anything else, WS_THICKFRAME included: sizing borders
};

// Style bits the frame arithmetic reads (the system's values).
inline constexpr std::uint32_t wsPopup = 0x80000000u;
inline constexpr std::uint32_t wsCaption = 0x00C00000u;
inline constexpr std::uint32_t wsSysMenu = 0x00080000u;
inline constexpr std::uint32_t wsThickFrame = 0x00040000u;
inline constexpr std::uint32_t wsMinimizeBox = 0x00020000u;
inline constexpr std::uint32_t wsMaximizeBox = 0x00010000u;
inline constexpr std::uint32_t dsModalFrame = 0x80u;
inline constexpr std::uint32_t wsExContextHelp = 0x400u;

TacFrameKind DialogFrameKind(std::uint32_t style);

// The system metrics a dialog frame is measured with.
struct TDialogMetrics {
  int DlgFrameX = 3, DlgFrameY = 3;  // SM_CXDLGFRAME, SM_CYDLGFRAME
  int FrameX = 4, FrameY = 4;        // SM_CXFRAME, SM_CYFRAME
  int Caption = 19;                  // SM_CYCAPTION
};

// Border thickness and caption height of a frame kind.
struct TDialogFrame {
  int BorderX = 0, BorderY = 0;
  int Caption = 0;  // 0 without the whole WS_CAPTION
};
TDialogFrame DialogFrameOf(TacFrameKind kind, std::uint32_t style, const TDialogMetrics& metrics);

// ---- Adapters of a dialog's children ----------------------------------------------------------------

// The window adapter a child of a dialog gets.
enum class TacDialogChildKind : std::uint8_t {
  None,        // left as it is
  Refuse,      // the whole dialog is left unskinned
  Icon,        // an icon or bitmap static
  Static,      // static text and frames
  TransPanel,  // a dialog inside the dialog, the folder browser's panel
  DlgPanel,    // a panel of the class library
  GroupBox,
  CheckBox,     // check boxes and radio buttons
  Button,       // push buttons, split buttons, command links, push-like check boxes and radio buttons
  ImageButton,  // push buttons that show a bitmap or an icon (BS_BITMAP, BS_ICON)
  ComboBox,
  ComboList,  // the list of a combo box
  Sizer,      // a size grip
  ListView,
  Spin,  // an up-down control
  Edit,  // edits and list boxes
  TreeView,
  Link,
  ToolBar,
  Count
};

struct TacDialogChildChoice {
  TacDialogChildKind Kind = TacDialogChildKind::None;
  const char* Section = "";
  bool DialogMode = false;  // the adapter paints as a dialog's child
};

// The choice for a child window by its class name in lower case, its style and its window size.
// Enumerated style fields are compared whole (BS_TYPEMASK, SS_TYPEMASK): owner-drawn buttons and
// statics, and static types that paint pictures of their own, are left alone.
TacDialogChildChoice DialogChildAdapter(std::string_view lowerClass, std::uint32_t style, int width, int height);

// The class name in lower case (ASCII letters only).
std::string LowerClassName(std::string_view name);

// ---- Title buttons -----------------------------------------------------------------------------------

// Title-button kinds of a dialog, from the right.
enum TacDialogButton : std::uint8_t { dbClose, dbMax, dbMin, dbHelp, dbCount };

// The title buttons of a dialog laid out right to left from the window's right edge less the
// border: Close (WS_SYSMENU), Maximize (WS_MAXIMIZEBOX), Minimize (WS_MINIMIZEBOX), Help
// (WS_EX_CONTEXTHELP). Each button's size is given; a hidden button gets an empty rectangle.
// Buttons are placed in the title band as a form's are (PlaceTitleButton), side by side.
struct TDialogButtonLayout {
  TRect Rects[dbCount];
  bool Shown[dbCount] = {};
  int Left = 0;  // the left edge of the leftmost shown button (the right edge less the border without any)
};
TDialogButtonLayout LayoutDialogButtons(int windowWidth, const TDialogFrame& frame, std::uint32_t style,
                                        std::uint32_t exStyle, const TSize (&sizes)[dbCount]);

}  // namespace qv
