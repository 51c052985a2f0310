// Arithmetic of a skinned form's title bar and frame, without any platform header: the icon size,
// where title-bar buttons go, which element a point of the window hits, snapping a moved form to
// the work area, and the rectangle of the custom move and resize frame.
//
// Coordinates of title-bar elements are window coordinates (relative to the window's top-left
// corner); hit codes are the system's (HTCAPTION 2, HTSYSMENU 3, HTMINBUTTON 8 ...) and the
// form provider's own (101 to 103, 1000 + i).
#pragma once

#include <vector>

#include "classlib/core/Types.h"

namespace qv {

// Hit codes the title bar answers with.
inline constexpr int htTransparent = -1;
inline constexpr int htNowhere = 0;
inline constexpr int htCaption = 2;
inline constexpr int htSysMenu = 3;
inline constexpr int htMinButton = 8;
inline constexpr int htMaxButton = 9;
inline constexpr int htLeft = 10;
inline constexpr int htBottomRight = 17;
inline constexpr int htClose = 20;
inline constexpr int htHelp = 21;
inline constexpr int htMDIClose = 101;
inline constexpr int htMDIMax = 102;
inline constexpr int htMDIMin = 103;
inline constexpr int htTitleButton = 1000;  // + the index of an extra title button

// Size of the title icon for a caption height: 0 below 9, 8 up to 16, 16 up to 27, 32 above.
int TitleIconSize(int captionHeight);

// The top of an element Height high centred in the title band (caption plus top border) of which
// the screen shows all but the first HiddenRows (a maximized window's top border lies beyond the
// screen's edge): never above the rows shown.
int TitleBandTop(int height, int captionHeight, int borderHeight, int hiddenRows = 0);
// The place of a title-bar button whose right edge is Right: centred in the title band shown,
// two pixels lower when it is less than 16 high.
TRect PlaceTitleButton(int right, int width, int height, int captionHeight, int borderHeight, int hiddenRows = 0);

// One element of the title bar as it is painted.
struct TTitleElement {
  int Code = htNowhere;
  TRect Rect;
  bool Enabled = true;  // a disabled element answers HTCAPTION and is never hot
};

// What the title bar shows, for hit testing.
struct TTitleLayout {
  TSize Window;     // the window's size
  int BandTop = 0;  // the rows of the title buttons, BandTop <= y < BandBottom
  int BandBottom = 0;
  TRect Icon;                          // empty without an icon
  std::vector<TTitleElement> Buttons;  // the title buttons in their order from the right
  bool HasGrip = false;                // the size grip's top-left corner is GripPoint
  TPoint GripPoint;
  TRect GripArea;  // when not empty, the grip answers only inside it (the scroll bars' corner square)
  std::vector<TTitleElement> MenuLineButtons;  // the MDI child's buttons in the menu line
  bool Maximized = false;
};

// The element under P (window coordinates): HTSYSMENU over the icon; the code of an enabled
// button, HTCAPTION over a disabled one or elsewhere in the button rows; HTBOTTOMRIGHT on the
// grip; an MDI child's button; HTTRANSPARENT two pixels in from the edges of a maximized window;
// HTNOWHERE when the system is to decide.
int TitleHitTest(const TTitleLayout& layout, TPoint p);
// The hit code names an element that shows a hot look (icon, buttons, MDI buttons).
bool IsTitleElementCode(int code);

// A coordinate P of an edge of size S moved to E - S when it comes within Buffer of edge E.
int SnapCoordinate(int p, int s, int e, int buffer);
// A form at Pos of Size moved onto the work area's right, bottom, left and top edges (in this
// order) when within Buffer of them; MonitorOrigin is the top-left corner of the form's monitor.
TPoint SnapToWorkArea(TPoint pos, TSize size, const TRect& workArea, TPoint monitorOrigin, int buffer);

// The custom resize frame: Start (the window's rectangle when the drag began) with the edges of
// SizingCode (10 left ... 17 bottom-right) moved by (DX, DY); an edge stops where the window would
// become smaller than MinWidth x MinHeight, and never lets it become narrower or lower than one
// pixel. Other codes move nothing.
TRect SizeDragFrame(const TRect& start, int sizingCode, int dx, int dy, int minWidth, int minHeight);

}  // namespace qv
