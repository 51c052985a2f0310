// The Controls unit's free routines and process-wide state: cursors and shift states, the
// boundary for exceptions, finding controls, mouse capture, the window procedure of every control
// window, the mouse object and utility windows.
#include "classlib/Controls.h"

#include <cstdint>

#include "classlib/Controls/Internal.h"
#include "classlib/Forms.h"
#include "classlib/WindowProps.h"

namespace controls_impl {

thread_local TWinControl* CreationControl = nullptr;
TControl* CaptureControl_ = nullptr;
TControl* MouseControl_ = nullptr;
TControl* DragControl_ = nullptr;
long LiveControls = 0;
UINT NextControlId = 100;

std::map<ATOM, WNDPROC>& ClassProcs() {
  static std::map<ATOM, WNDPROC> procs;
  return procs;
}

WNDPROC ClassProcOf(HWND wnd) {
  ATOM atom = static_cast<ATOM>(GetClassLongPtrA(wnd, GCW_ATOM));
  auto it = ClassProcs().find(atom);
  return it != ClassProcs().end() && it->second ? it->second : DefWindowProcA;
}

std::vector<TControlCanvas*>& CanvasList() {
  static std::vector<TControlCanvas*> list;
  return list;
}

}  // namespace controls_impl

using namespace controls_impl;

HCURSOR CursorHandle(TCursor cursor) {
  LPCSTR id = IDC_ARROW;
  switch (cursor) {
    case crNone: return nullptr;
    case crCross: id = IDC_CROSS; break;
    case crIBeam: id = IDC_IBEAM; break;
    case crSizeNESW: id = IDC_SIZENESW; break;
    case crSizeNS: id = IDC_SIZENS; break;
    case crSizeNWSE: id = IDC_SIZENWSE; break;
    case crSizeWE: id = IDC_SIZEWE; break;
    case crUpArrow: id = IDC_UPARROW; break;
    case crHourGlass: id = IDC_WAIT; break;
    case crNo: id = IDC_NO; break;
    case crAppStart: id = IDC_APPSTARTING; break;
    case crHelp: id = IDC_HELP; break;
    case crHandPoint: id = IDC_HAND; break;
    case crSizeAll: id = IDC_SIZEALL; break;
    default: break;
  }
  return LoadCursorA(nullptr, id);  // shared system cursor, never destroyed
}

TShiftState KeysToShiftState(WPARAM keys) {
  TShiftState s;
  if (keys & MK_SHIFT) s.Include(ssShift);
  if (keys & MK_CONTROL) s.Include(ssCtrl);
  if (keys & MK_LBUTTON) s.Include(ssLeft);
  if (keys & MK_RBUTTON) s.Include(ssRight);
  if (keys & MK_MBUTTON) s.Include(ssMiddle);
  if (GetKeyState(VK_MENU) < 0) s.Include(ssAlt);
  return s;
}

TShiftState KeyboardShiftState() {
  TShiftState s;
  if (GetKeyState(VK_SHIFT) < 0) s.Include(ssShift);
  if (GetKeyState(VK_CONTROL) < 0) s.Include(ssCtrl);
  if (GetKeyState(VK_MENU) < 0) s.Include(ssAlt);
  return s;
}

TShiftState KeyDataToShiftState(LPARAM keyData) {
  TShiftState s;
  if (GetKeyState(VK_SHIFT) < 0) s.Include(ssShift);
  if (GetKeyState(VK_CONTROL) < 0) s.Include(ssCtrl);
  if (keyData & 0x20000000) s.Include(ssAlt);
  return s;
}

bool IsAccel(WPARAM key, const std::string& caption) {
  for (std::size_t i = 0; i + 1 < caption.size(); ++i) {
    if (caption[i] != '&') continue;
    if (caption[i + 1] == '&') {
      ++i;
      continue;
    }
    return CharUpperA(
               reinterpret_cast<LPSTR>(static_cast<std::uintptr_t>(static_cast<unsigned char>(caption[i + 1])))) ==
           CharUpperA(reinterpret_cast<LPSTR>(static_cast<std::uintptr_t>(key & 0xFF)));
  }
  return false;
}

void HandleBoundaryException(TObject* Sender) {
  try {
    if (Application) Application->HandleException(Sender);
  } catch (...) {
    // The last line of defence: nothing leaves a callback.
  }
}

// ---------------------------------------------------------------------------------------------
// Global helpers

// The window's property is the record of its control, mirrored in a table by window (every message
// to a control's window looks its control up). A window missing from the table is looked up by its
// property only when it is of a class the library registered (the others never carry it: asking them
// would only cost a round trip to the window server).

namespace {

TWindowPropTable<TWinControl>& ControlWindows() {
  static auto* table = new TWindowPropTable<TWinControl>(kControlProp);  // never freed: windows may go at exit
  return *table;
}

}  // namespace

void BindControlWindow(HWND Wnd, TWinControl* Control) {
  if (Wnd) ControlWindows().Set(Wnd, Control);
}

void UnbindControlWindow(HWND Wnd, TWinControl* Control) {
  if (Wnd) ControlWindows().Remove(Wnd, Control);
}

TWinControl* FindControl(HWND Wnd) {
  if (!Wnd) return nullptr;
  TWinControl* c = nullptr;
  if (ControlWindows().Lookup(Wnd, c)) return c;
  if (reinterpret_cast<WNDPROC>(GetClassLongPtrA(Wnd, GCLP_WNDPROC)) != StdWndProc) return nullptr;
  return ControlWindows().FromProperty(Wnd);
}

TWinControl* FindVCLWindow(TPoint Pos) {
  HWND w = WindowFromPoint(POINT{Pos.X, Pos.Y});
  while (w) {
    if (TWinControl* c = FindControl(w)) return c;
    w = GetParent(w);
  }
  return nullptr;
}

TControl* FindDragTarget(TPoint Pos, bool AllowDisabled) {
  TWinControl* w = FindVCLWindow(Pos);
  if (!w) return nullptr;
  TControl* c = w->ControlAtPos(w->ScreenToClient(Pos), AllowDisabled);
  return c ? c : w;
}

TControl* GetCaptureControl() {
  TControl* r = FindControl(GetCapture());
  if (r && CaptureControl_ && CaptureControl_->Parent() == r) r = CaptureControl_;
  return r;
}

void SetCaptureControl(TControl* Control) {
  CaptureControl_ = nullptr;
  ReleaseCapture();
  if (!Control) return;
  if (!Control->IsWindowControl()) {
    if (!Control->Parent()) return;
    CaptureControl_ = Control;
    Control = Control->Parent();
  }
  SetCapture(static_cast<TWinControl*>(Control)->Handle());
}

TControl* MouseControl() { return MouseControl_; }

TCustomForm* GetParentForm(TControl* Control) {
  if (!Control) return nullptr;
  TControl* top = Control->GetTopParent();
  return dynamic_cast<TCustomForm*>(top);
}

TCustomForm* ValidParentForm(TControl* Control) {
  TCustomForm* f = GetParentForm(Control);
  if (!f) throw EInvalidOperation("Control '" + (Control ? Control->Name() : std::string()) + "' has no parent form");
  return f;
}

// ---------------------------------------------------------------------------------------------
// The window procedure of every control window.

LRESULT CALLBACK StdWndProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
  TWinControl* c = FindControl(Wnd);
  if (!c && CreationControl) {
    c = CreationControl;
    CreationControl = nullptr;
    c->Handle_ = Wnd;
    BindControlWindow(Wnd, c);
  }
  if (!c) return CallWindowProcA(ClassProcOf(Wnd), Wnd, Msg, WParam, LParam);
  TMessage m = MakeMessage(Msg, WParam, LParam);
  try {
    c->WindowProc(m);
  } catch (...) {
    HandleBoundaryException(c);
  }
  // A window that is gone leaves the table whatever became of its control: its handle may be given
  // to a new window.
  if (Msg == WM_NCDESTROY) ControlWindows().Forget(Wnd);
  return m.Result;
}

// ---------------------------------------------------------------------------------------------
// TMouse

static TMouse MouseInstance;
TMouse* Mouse = &MouseInstance;

TPoint TMouse::CursorPos() const {
  POINT p{0, 0};
  GetCursorPos(&p);
  return Point(p.x, p.y);
}

void TMouse::SetCursorPos(TPoint p) { ::SetCursorPos(p.X, p.Y); }

void TMouse::SetCapture(HWND wnd) {
  if (wnd)
    ::SetCapture(wnd);
  else
    ReleaseCapture();
}

int TMouse::WheelScrollLines() const {
  UINT lines = 3;
  SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
  return static_cast<int>(lines);
}

// ---------------------------------------------------------------------------------------------
// Utility windows

namespace {

LRESULT CALLBACK UtilWndProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
  auto* method = reinterpret_cast<TWndMethod*>(GetWindowLongPtrA(wnd, GWLP_USERDATA));
  if (!method) return DefWindowProcA(wnd, msg, wp, lp);
  TMessage m = MakeMessage(msg, wp, lp);
  m.Result = -1;  // "not answered" marker, replaced by the default answer below
  try {
    (*method)(m);
  } catch (...) {
    HandleBoundaryException(nullptr);
    return 0;
  }
  if (m.Result == -1) return DefWindowProcA(wnd, msg, wp, lp);
  return m.Result;
}

const char* UtilClassName() {
  static bool registered = false;
  static const char* name = "QvUtilWindow";
  if (!registered) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = UtilWndProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = name;
    RegisterClassA(&wc);
    registered = true;
  }
  return name;
}

}  // namespace

HWND AllocateHWnd(TWndMethod Method) {
  HWND w = CreateWindowExA(WS_EX_TOOLWINDOW, UtilClassName(), "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
  if (!w) throw EOSError("Cannot create a utility window", GetLastError());
  if (Method) SetWindowLongPtrA(w, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(new TWndMethod(Method)));
  return w;
}

void DeallocateHWnd(HWND Wnd) {
  if (!Wnd) return;
  auto* method = reinterpret_cast<TWndMethod*>(GetWindowLongPtrA(Wnd, GWLP_USERDATA));
  SetWindowLongPtrA(Wnd, GWLP_USERDATA, 0);
  DestroyWindow(Wnd);
  delete method;
}
