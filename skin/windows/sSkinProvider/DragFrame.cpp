// The custom move and resize frame of a form whose provider resizes by its border (rmBorder, on
// Windows before version 6): an inverted rectangle drawn on the screen follows the mouse while the
// button is held, and the form is moved or sized to it when the button is released. One frame runs
// at a time in the process; it is always erased and its screen DC given back, also when the form
// loses the mouse capture or goes away meanwhile.
#include "skin/windows/sSkinProvider/Internal.h"

namespace acsp {

int PendingSizingCode = 0;

namespace {

struct TDragFrame {
  TsSkinProvider* Provider = nullptr;
  HWND Wnd = nullptr;
  bool Moving = false;
  int SizingCode = 0;
  TRect Start;  // the window's rectangle when the drag began (screen)
  TRect Frame;  // the frame drawn now (screen)
  TPoint StartMouse;
  int MinWidth = 0, MinHeight = 0;
  ScreenDC* DC = nullptr;
  SavedDC* Saved = nullptr;
};

TDragFrame Drag;

// One inverted outline: drawn again at the same place it is erased.
void InvertFrame() {
  if (!Drag.DC || !*Drag.DC) return;
  const TRect& r = Drag.Frame;
  POINT pts[5] = {
      {r.Left, r.Top}, {r.Right - 1, r.Top}, {r.Right - 1, r.Bottom - 1}, {r.Left, r.Bottom - 1}, {r.Left, r.Top}};
  Polyline(*Drag.DC, pts, 5);
}

void ReleaseScreen() {
  delete Drag.Saved;
  Drag.Saved = nullptr;
  delete Drag.DC;
  Drag.DC = nullptr;
}

}  // namespace

bool DragFrameRunning(const TsSkinProvider* Provider) {
  return Drag.Provider && (!Provider || Drag.Provider == Provider);
}

void StartDragFrame(TsSkinProvider* Provider, bool Moving, int SizingCode, TPoint Start) {
  if (Drag.Provider) EndDragFrame(false);
  if (!Provider || !Provider->Form || !Provider->Form->HandleAllocated()) return;
  TCustomForm* form = Provider->Form;
  Drag = TDragFrame{};
  Drag.Provider = Provider;
  Drag.Wnd = form->Handle();
  Drag.Moving = Moving;
  Drag.SizingCode = Moving ? 0 : (SizingCode >= 10 && SizingCode <= 17 ? SizingCode : 17);
  Drag.Start = Drag.Frame = WindowRectOf(Drag.Wnd);
  Drag.StartMouse = Start;
  // Constraints of 0 stand for the system's smallest window.
  const TSizeLimits& l = form->Constraints()->Limits();
  Drag.MinWidth = l.MinWidth > 0 ? l.MinWidth : FrameMetric(SM_CXMINTRACK);
  Drag.MinHeight = l.MinHeight > 0 ? l.MinHeight : FrameMetric(SM_CYMINTRACK);
  Drag.DC = new ScreenDC();
  Drag.Saved = new SavedDC(*Drag.DC);
  SetROP2(*Drag.DC, R2_NOT);
  SelectObject(*Drag.DC, GetStockObject(NULL_BRUSH));
  InvertFrame();
  SetCapture(Drag.Wnd);
}

void DragFrameMouseMove(TPoint Point) {
  if (!Drag.Provider) return;
  InvertFrame();
  const int dx = Point.X - Drag.StartMouse.X, dy = Point.Y - Drag.StartMouse.Y;
  if (Drag.Moving) {
    Drag.Frame = Drag.Start;
    Drag.Frame.Offset(dx, dy);
  } else {
    Drag.Frame = qv::SizeDragFrame(Drag.Start, Drag.SizingCode, dx, dy, Drag.MinWidth, Drag.MinHeight);
  }
  InvertFrame();
}

void EndDragFrame(bool Apply) {
  if (!Drag.Provider) return;
  const TDragFrame d = Drag;
  // Marked ended first: giving the capture back comes here again.
  Drag.Provider = nullptr;
  InvertFrame();
  ReleaseScreen();
  Drag.DC = nullptr;
  Drag.Saved = nullptr;
  if (IsWindow(d.Wnd) && GetCapture() == d.Wnd) ReleaseCapture();
  if (!Apply || !IsWindow(d.Wnd)) return;
  TRect r = d.Frame;
  if (HWND parent = GetParent(d.Wnd); parent && (GetWindowLongA(d.Wnd, GWL_STYLE) & WS_CHILD))
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  MoveWindow(d.Wnd, r.Left, r.Top, r.Width(), r.Height(), TRUE);
}

}  // namespace acsp
