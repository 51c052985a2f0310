// Controls of the class library on real windows: TControl (a rectangle on a parent, painted by
// it), TWinControl (a control with its own window), TGraphicControl and TCustomControl (controls
// that paint themselves on a canvas), the control canvas and the Mouse object.
//
// Messages: every control has a WindowProc, a TWndMethod that starts out as its own virtual
// WndProc; code that takes over a control replaces WindowProc, keeps the old one and passes the
// messages it does not consume on to it. WndProc does the common preprocessing and calls
// Dispatch, where each class handles its messages in a switch and passes the rest to its base;
// a window control's DefaultHandler finally calls the window class's own procedure. Window
// messages reach WindowProc through one static window procedure that finds the control by a
// window property, so other code may subclass the window with SetWindowLongPtr at any time.
#pragma once

#include "classlib/Win.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "classlib/ControlEnums.h"
#include "classlib/Forward.h"
#include "classlib/GdiScopes.h"
#include "classlib/Graphics.h"
#include "classlib/core/Classes.h"
#include "classlib/core/Layout.h"
#include "classlib/core/Messages.h"

using TWndMethod = TMethod<void(TMessage&)>;

enum TControlStyleItem : std::uint8_t {
  csAcceptsControls,
  csCaptureMouse,
  csDesignInteractive,
  csClickEvents,
  csFramed,
  csSetCaption,
  csOpaque,
  csDoubleClicks,
  csFixedWidth,
  csFixedHeight,
  csNoDesignVisible,
  csReplicatable,
  csNoStdEvents,
  csDisplayDragImage,
  csReflector,
  csActionClient,
  csMenuEvents,
  csNeedsBorderPaint,
  csParentBackground
};
using TControlStyle = TSet<TControlStyleItem>;

enum TControlStateItem : std::uint8_t {
  csLButtonDown,
  csClicked,
  csPalette,
  csReadingState,
  csAlignmentNeeded,
  csFocusing,
  csCreating,
  csPaintCopy,
  csCustomPaint,
  csDestroyingHandle,
  csDocking
};
using TControlState = TSet<TControlStateItem>;

enum TDragMode : std::uint8_t { dmManual, dmAutomatic };
enum TDragKind : std::uint8_t { dkDrag, dkDock };

using TCursor = int;
inline constexpr TCursor crDefault = 0;
inline constexpr TCursor crNone = -1;
inline constexpr TCursor crArrow = -2;
inline constexpr TCursor crCross = -3;
inline constexpr TCursor crIBeam = -4;
inline constexpr TCursor crSizeNESW = -6;
inline constexpr TCursor crSizeNS = -7;
inline constexpr TCursor crSizeNWSE = -8;
inline constexpr TCursor crSizeWE = -9;
inline constexpr TCursor crUpArrow = -10;
inline constexpr TCursor crHourGlass = -11;
inline constexpr TCursor crNo = -18;
inline constexpr TCursor crAppStart = -19;
inline constexpr TCursor crHelp = -20;
inline constexpr TCursor crHandPoint = -21;
inline constexpr TCursor crSizeAll = -22;
// The system cursor shown for a cursor value (crDefault: the arrow).
HCURSOR CursorHandle(TCursor cursor);

// Results of a modal form.
using TModalResult = int;
inline constexpr TModalResult mrNone = 0;
inline constexpr TModalResult mrOk = IDOK;
inline constexpr TModalResult mrCancel = IDCANCEL;
inline constexpr TModalResult mrAbort = IDABORT;
inline constexpr TModalResult mrRetry = IDRETRY;
inline constexpr TModalResult mrIgnore = IDIGNORE;
inline constexpr TModalResult mrYes = IDYES;
inline constexpr TModalResult mrNo = IDNO;
inline constexpr TModalResult mrAll = mrNo + 1;
inline constexpr TModalResult mrNoToAll = mrAll + 1;
inline constexpr TModalResult mrYesToAll = mrNoToAll + 1;

// What CreateParams fills in for CreateWnd.
struct TCreateParams {
  std::string Caption;
  DWORD Style = 0;
  DWORD ExStyle = 0;
  int X = 0, Y = 0, Width = 0, Height = 0;
  HWND WndParent = nullptr;
  void* Param = nullptr;
  WNDCLASSA WindowClass{};
  std::string WinClassName;
};

// Minimum and maximum sizes of a control; a change re-applies them through SetBounds.
class TSizeConstraints : public TPersistent {
 public:
  QV_CLASS_NAME(TSizeConstraints)
  explicit TSizeConstraints(class TControl* control) : Control_(control) {}
  int MinWidth() const { return Limits_.MinWidth; }
  int MinHeight() const { return Limits_.MinHeight; }
  int MaxWidth() const { return Limits_.MaxWidth; }
  int MaxHeight() const { return Limits_.MaxHeight; }
  void SetMinWidth(int v);
  void SetMinHeight(int v);
  void SetMaxWidth(int v);
  void SetMaxHeight(int v);
  const TSizeLimits& Limits() const { return Limits_; }
  void Assign(TPersistent* Source) override;
  TNotifyEvent OnChange;

 private:
  void Change();
  class TControl* Control_;
  TSizeLimits Limits_;
};

using TContextPopupEvent = TMethod<void(TObject* Sender, TPoint MousePos, bool& Handled)>;
using TDragDropEvent = TMethod<void(TObject* Sender, TObject* Source, int X, int Y)>;
using TDragOverEvent = TMethod<void(TObject* Sender, TObject* Source, int X, int Y, bool& Accept)>;
using TEndDragEvent = TMethod<void(TObject* Sender, TObject* Target, int X, int Y)>;
using TStartDragEvent = TMethod<void(TObject* Sender)>;
using TCanResizeEvent = TMethod<void(TObject* Sender, int& NewWidth, int& NewHeight, bool& Resize)>;

// Mouse keys and modifier keys of a mouse message's WParam, plus the keyboard's Alt.
TShiftState KeysToShiftState(WPARAM keys);
// The modifier keys held now (GetKeyState).
TShiftState KeyboardShiftState();
// The shift state of a key message (Alt from bit 29 of its key data).
TShiftState KeyDataToShiftState(LPARAM keyData);
// Whether the caption has '&' before the key's character (case-insensitive): the key is the
// caption's accelerator.
bool IsAccel(WPARAM key, const std::string& caption);

// ---------------------------------------------------------------------------------------------

class TControl : public TComponent {
 public:
  QV_CLASS_NAME(TControl)
  explicit TControl(TComponent* AOwner);
  ~TControl() override;
  void BeforeDestruction() override;

  // ---- messages
  TWndMethod WindowProc;
  virtual void WndProc(TMessage& Message);
  void Dispatch(TMessage& Message) override;
  void DefaultHandler(TMessage& Message) override;
  // Sends a message straight to WindowProc and returns its Result.
  LRESULT Perform(UINT Msg, WPARAM WParam = 0, LPARAM LParam = 0);
  // Sends the record itself through WindowProc, so what a handler writes into it (an answer left
  // in LParam, the Result) is there for the caller afterwards. Returns Result.
  LRESULT Perform(TMessage& Message);

  // ---- placement
  TWinControl* Parent() const { return Parent_; }
  virtual void SetParent(TWinControl* AParent);
  int Left() const { return Left_; }
  int Top() const { return Top_; }
  int Width() const { return Width_; }
  int Height() const { return Height_; }
  void SetLeft(int v) { SetBounds(v, Top_, Width_, Height_); }
  void SetTop(int v) { SetBounds(Left_, v, Width_, Height_); }
  void SetWidth(int v) { SetBounds(Left_, Top_, v, Height_); }
  void SetHeight(int v) { SetBounds(Left_, Top_, Width_, v); }
  virtual void SetBounds(int ALeft, int ATop, int AWidth, int AHeight);
  TRect BoundsRect() const { return Bounds(Left_, Top_, Width_, Height_); }
  void SetBoundsRect(const TRect& r) { SetBounds(r.Left, r.Top, r.Width(), r.Height()); }
  virtual TRect GetClientRect() const;
  TRect ClientRect() const { return GetClientRect(); }
  int ClientWidth() const { return GetClientRect().Width(); }
  int ClientHeight() const { return GetClientRect().Height(); }
  void SetClientWidth(int v) { SetClientSize(v, ClientHeight()); }
  void SetClientHeight(int v) { SetClientSize(ClientWidth(), v); }
  virtual void SetClientSize(int w, int h);
  // Screen position of the client area's top-left corner.
  virtual TPoint ClientOrigin() const;
  TPoint ClientToScreen(TPoint p) const;
  TPoint ScreenToClient(TPoint p) const;
  TPoint ClientToParent(TPoint p, TWinControl* AParent = nullptr) const;
  TPoint ParentToClient(TPoint p, TWinControl* AParent = nullptr) const;

  TAlign Align() const { return Align_; }
  void SetAlign(TAlign v);
  TAnchors Anchors() const { return Anchors_; }
  void SetAnchors(TAnchors v);
  TSizeConstraints* Constraints() const { return Constraints_; }
  void SetConstraints(TSizeConstraints* v) { Constraints_->Assign(v); }
  bool AutoSize() const { return AutoSize_; }
  virtual void SetAutoSize(bool v);
  // Proposes the size for AutoSize; false keeps the present size.
  virtual bool CanAutoSize(int& NewWidth, int& NewHeight);
  virtual bool CanResize(int& NewWidth, int& NewHeight);
  void AdjustSize();
  // Records the present bounds as the base of the anchor rules.
  void UpdateAnchorRules();

  // ---- visibility and state
  bool Visible() const { return Visible_; }
  void SetVisible(bool v);
  void Show();
  void Hide();
  // Visible and every parent showing (window controls: their window is shown).
  virtual bool Showing() const;
  bool Enabled() const { return GetEnabled(); }
  virtual bool GetEnabled() const { return Enabled_; }
  virtual void SetEnabled(bool v);
  TControlStyle ControlStyle() const { return ControlStyle_; }
  void SetControlStyle(TControlStyle v) { ControlStyle_ = v; }
  TControlState ControlState() const { return ControlState_; }
  void SetControlState(TControlState v) { ControlState_ = v; }

  // ---- text, colour, font
  std::string Caption() const { return GetText(); }
  void SetCaption(const std::string& v) { SetText(v); }
  std::string Text() const { return GetText(); }
  virtual std::string GetText() const;
  virtual void SetText(const std::string& v);
  TColor Color() const { return Color_; }
  void SetColor(TColor v);
  bool ParentColor() const { return ParentColor_; }
  void SetParentColor(bool v);
  TFont* Font() const { return Font_; }
  void SetFont(TFont* v) { Font_->Assign(v); }
  bool ParentFont() const { return ParentFont_; }
  void SetParentFont(bool v);
  TCursor Cursor() const { return Cursor_; }
  void SetCursor(TCursor v);
  const std::string& Hint() const { return Hint_; }
  void SetHint(const std::string& v) { Hint_ = v; }
  bool ShowHint() const { return ShowHint_; }
  void SetShowHint(bool v);
  bool ParentShowHint() const { return ParentShowHint_; }
  void SetParentShowHint(bool v);
  // A TPopupMenu (classlib/Menus.h); it opens on WM_CONTEXTMENU (see PopupContextMenu).
  TComponent* PopupMenu() const { return PopupMenu_; }
  void SetPopupMenu(TComponent* v);

  TBiDiMode BiDiMode() const { return BiDiMode_; }
  void SetBiDiMode(TBiDiMode v);
  bool ParentBiDiMode() const { return ParentBiDiMode_; }
  void SetParentBiDiMode(bool v);
  bool IsRightToLeft() const { return BiDiMode_ != bdLeftToRight; }
  bool UseRightToLeftAlignment() const { return BiDiMode_ == bdRightToLeft; }
  bool UseRightToLeftReading() const { return BiDiMode_ != bdLeftToRight; }
  bool UseRightToLeftScrollBar() const { return BiDiMode_ == bdRightToLeft || BiDiMode_ == bdRightToLeftNoAlign; }
  // DT_ flags adjusted for the reading order (DT_RIGHT and DT_LEFT swapped, DT_RTLREADING added).
  UINT DrawTextBiDiModeFlags(UINT Flags) const;
  UINT DrawTextBiDiModeFlagsReadingOnly() const;

  // ---- action (until action lists exist: enabled, caption, hint, image index)
  TBasicAction* Action() const { return Action_; }
  void SetAction(TBasicAction* v);
  // The action changed; CheckDefaults: only properties still at their defaults take its values.
  virtual void ActionChange(TObject* Sender, bool CheckDefaults);

  // ---- dragging (manual drag within the application)
  TDragMode DragMode() const { return DragMode_; }
  void SetDragMode(TDragMode v) { DragMode_ = v; }
  TDragKind DragKind() const { return DragKind_; }
  void SetDragKind(TDragKind v) { DragKind_ = v; }
  TCursor DragCursor() const { return DragCursor_; }
  void SetDragCursor(TCursor v) { DragCursor_ = v; }
  void BeginDrag(bool Immediate, int Threshold = -1);
  void EndDrag(bool Drop);
  bool Dragging() const;

  // ---- painting
  virtual void Invalidate();
  virtual void Update();
  virtual void Repaint();
  void Refresh() { Repaint(); }
  void BringToFront() { SetZOrder(true); }
  void SendToBack() { SetZOrder(false); }
  virtual void SetZOrder(bool TopMost);

  bool MouseCapture() const;
  void SetMouseCapture(bool v);
  virtual bool IsWindowControl() const { return false; }
  bool HasParent() const { return Parent_ != nullptr; }
  // The top-most parent (the control itself without one).
  TControl* GetTopParent();

  // ---- published-style events
  TNotifyEvent OnClick;
  TNotifyEvent OnDblClick;
  TMouseEvent OnMouseDown;
  TMouseEvent OnMouseUp;
  TMouseMoveEvent OnMouseMove;
  TMouseWheelEvent OnMouseWheel;
  TNotifyEvent OnResize;
  TContextPopupEvent OnContextPopup;
  TCanResizeEvent OnCanResize;
  TDragDropEvent OnDragDrop;
  TDragOverEvent OnDragOver;
  TEndDragEvent OnEndDrag;
  TStartDragEvent OnStartDrag;

  virtual void Click();
  virtual void DblClick();

  // A short hint (the text before '|').
  static std::string GetShortHint(const std::string& hint);

  // The control's instance counter for leak tests.
  static long LiveCount();

  // A token that lives as long as the control: message paths that run user code check it
  // before touching the control again (a handler may free the control).
  std::shared_ptr<bool> AliveToken() const { return Alive_; }

 protected:
  virtual void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
  virtual void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
  virtual void MouseMove(TShiftState Shift, int X, int Y);
  virtual bool DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos);
  virtual void Resize();
  virtual void DoContextPopup(TPoint MousePos, bool& Handled);
  virtual void Changed();  // CM_CHANGED to itself
  virtual void FontChanged(TObject* Sender);
  virtual void RequestAlign();
  virtual void VisibleChanging() {}
  virtual void AdjustBiDiMode() {}
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void Loaded() override;
  virtual void SetParentComponent(TComponent*) {}
  void InvalidateControl(bool IsVisible, bool IsOpaque);
  // Defaults the skin code reads back: the control is being torn down.
  bool IsBeingDestroyed() const { return ComponentState().Contains(csDestroying); }

  void UpdateBoundsRect(const TRect& r);  // window controls: bounds taken from the window
  void DoMouseDown(TMessage& m, TMouseButton Button, TShiftState Shift);
  void DoMouseUp(TMessage& m, TMouseButton Button);

  TWinControl* Parent_ = nullptr;
  int Left_ = 0, Top_ = 0, Width_ = 0, Height_ = 0;
  TAlign Align_ = alNone;
  TAnchors Anchors_ = DefaultAnchors;
  TRect AnchorBounds_{};
  TSize AnchorParentSize_{};
  TSizeConstraints* Constraints_ = nullptr;
  bool AutoSize_ = false;
  bool Visible_ = true;
  bool Enabled_ = true;
  TControlStyle ControlStyle_;
  TControlState ControlState_;
  std::string Text_;
  TColor Color_ = clWindow;
  bool ParentColor_ = true;
  TFont* Font_ = nullptr;
  bool ParentFont_ = true;
  TCursor Cursor_ = crDefault;
  std::string Hint_;
  bool ShowHint_ = false;
  bool ParentShowHint_ = true;
  TComponent* PopupMenu_ = nullptr;
  TBiDiMode BiDiMode_ = bdLeftToRight;
  bool ParentBiDiMode_ = true;
  TBasicAction* Action_ = nullptr;
  TDragMode DragMode_ = dmManual;
  TDragKind DragKind_ = dkDrag;
  TCursor DragCursor_ = crNo;

 private:
  friend class TWinControl;
  friend class TSizeConstraints;
  // Message handlers of Dispatch and HandleCM.
  void WMLButtonDown(TMessage& Message);
  void WMLButtonUp(TMessage& Message);
  void WMCancelMode(TMessage& Message);
  void WMContextMenu(TMessage& Message);
  void HandleCM(TMessage& Message);
  void CMParentColorChanged(TMessage& Message);
  void CMParentFontChanged(TMessage& Message);
  void CMMouseWheel(TMessage& Message);
  void CopyTextTo(TMessage& Message) const;
  std::shared_ptr<bool> Alive_;
};

// ---------------------------------------------------------------------------------------------

class TWinControl : public TControl {
 public:
  QV_CLASS_NAME(TWinControl)
  explicit TWinControl(TComponent* AOwner);
  ~TWinControl() override;
  void BeforeDestruction() override;

  void WndProc(TMessage& Message) override;
  void Dispatch(TMessage& Message) override;
  void DefaultHandler(TMessage& Message) override;

  // ---- window
  HWND Handle();
  bool HandleAllocated() const { return Handle_ != nullptr; }
  void HandleNeeded();
  // A top-level window control placed in a foreign window (ParentWindow) instead of a parent control.
  HWND ParentWindow() const { return ParentWindow_; }
  void SetParentWindow(HWND v);
  void RecreateWnd();
  // The window procedure of the window class the control's class stands on.
  WNDPROC DefWndProc() const { return DefWndProc_; }

  // ---- children
  int ControlCount() const { return static_cast<int>(Controls_.size() + WinControls_.size()); }
  // Graphic children in z-order (bottom first), then window children in z-order.
  TControl* Controls(int index) const;
  void InsertControl(TControl* AControl);
  void RemoveControl(TControl* AControl);
  bool ContainsControl(TControl* Control) const;
  TControl* ControlAtPos(TPoint Pos, bool AllowDisabled, bool AllowWinControls = false) const;
  // Perform on every child until one answers a non-zero Result.
  void Broadcast(TMessage& Message);
  // Asks every control below this one that is linked to an action to update it
  // (CM_ACTIONUPDATE), depth first; the application does so for its visible forms when idle.
  void InitiateChildActions();
  void NotifyControls(UINT Msg);
  void PaintControls(HDC DC, TControl* First);
  void PaintTo(HDC DC, int X, int Y);
  void DisableAlign() { ++AlignLevel_; }
  void EnableAlign();
  void Realign();
  // The rectangle children align in (client minus borders).
  virtual void AdjustClientRect(TRect& Rect);
  void GetTabOrderList(std::vector<TWinControl*>& List);
  TWinControl* FindNextControl(TWinControl* CurControl, bool GoForward, bool CheckTabStop, bool CheckParent);
  void SelectNext(TWinControl* CurControl, bool GoForward, bool CheckTabStop);

  // ---- focus
  virtual bool Focused() const;
  virtual bool CanFocus() const;
  virtual void SetFocus();
  bool TabStop() const { return TabStop_; }
  void SetTabStop(bool v);
  int TabOrder() const;
  void SetTabOrder(int v);

  // ---- look
  TBrush* Brush() const { return Brush_; }
  bool Ctl3D() const { return Ctl3D_; }
  void SetCtl3D(bool v);
  bool ParentCtl3D() const { return ParentCtl3D_; }
  void SetParentCtl3D(bool v);
  int BorderWidth() const { return BorderWidth_; }
  void SetBorderWidth(int v);
  bool ParentBackground() const { return ControlStyle_.Contains(csParentBackground); }
  void SetParentBackground(bool v);
  bool DoubleBuffered() const { return DoubleBuffered_; }
  void SetDoubleBuffered(bool v) { DoubleBuffered_ = v; }

  bool Showing() const override { return Showing_; }
  bool IsWindowControl() const override { return true; }
  TRect GetClientRect() const override;
  TPoint ClientOrigin() const override;
  void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
  void SetZOrder(bool TopMost) override;
  void Invalidate() override;
  void Update() override;
  void Repaint() override;
  void SetParent(TWinControl* AParent) override;

  TKeyEvent OnKeyDown;
  TKeyEvent OnKeyUp;
  TKeyPressEvent OnKeyPress;
  TNotifyEvent OnEnter;
  TNotifyEvent OnExit;

 protected:
  virtual void CreateParams(TCreateParams& Params);
  // Fills the window class from a standard class ("BUTTON", "EDIT" ...) the control stands on;
  // the window is registered under the class-library class name.
  void CreateSubClass(TCreateParams& Params, const char* ControlClassName);
  virtual void CreateWnd();
  virtual void CreateWindowHandle(const TCreateParams& Params);
  virtual void DestroyWnd();
  virtual void DestroyWindowHandle();
  void CreateHandle();
  void DestroyHandle();
  void UpdateControlState();
  void UpdateShowing();
  virtual void ShowControl(TControl*) {}
  virtual void PaintWindow(HDC DC);
  void PaintHandler(TMessage& Message);
  virtual void AlignControls(TControl* AControl, TRect& Rect);
  virtual void KeyDown(std::uint16_t& Key, TShiftState Shift);
  virtual void KeyUp(std::uint16_t& Key, TShiftState Shift);
  virtual void KeyPress(char& Key);
  bool DoKeyDown(TMessage& Message);
  bool DoKeyUp(TMessage& Message);
  bool DoKeyPress(TMessage& Message);
  bool DoKeyEvent(TMessage& Message, bool (TWinControl::*FormStep)(TMessage&),
                  void (TWinControl::*Handler)(std::uint16_t&, TShiftState));
  // A key that is the shortcut of a menu item (popup menus of the control and its parents, the
  // form's menu) runs the item; true when it did.
  bool IsMenuKey(const TMessage& Message);
  virtual void DoEnter();
  virtual void DoExit();
  virtual void SetWindowText(const std::string& v);
  void RequestAlign() override;
  void FontChanged(TObject* Sender) override;
  // Routes a mouse message of the window to the graphic child under the mouse (or holding the
  // capture); true when a child took it.
  bool IsControlMouseMsg(TMessage& Message);
  void UpdateMouseControl(TControl* Target);
  // Called when the window was created (children not yet).
  void UpdateBounds();
  void Loaded() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

  HWND Handle_ = nullptr;
  HWND ParentWindow_ = nullptr;
  WNDPROC DefWndProc_ = nullptr;
  // The font the window was last given (WM_SETFONT): a change of the font's colour alone keeps it.
  HFONT WindowFont_ = nullptr;
  std::vector<TControl*> Controls_;        // graphic children, z-order
  std::vector<TWinControl*> WinControls_;  // window children, z-order
  std::vector<TWinControl*> TabList_;
  TBrush* Brush_ = nullptr;
  bool Showing_ = false;
  bool TabStop_ = false;
  bool Ctl3D_ = true;
  bool ParentCtl3D_ = true;
  int BorderWidth_ = 0;
  bool DoubleBuffered_ = false;
  int AlignLevel_ = 0;
  bool AlignPending_ = false;
  bool Recreating_ = false;

 private:
  friend class TControl;
  friend class TCustomForm;
  friend LRESULT CALLBACK StdWndProc(HWND, UINT, WPARAM, LPARAM);
  void Insert(TControl* AControl);
  void Remove(TControl* AControl);
  bool TrackMouseOver(const TMessage& Message);
  void ReflectToChild(TMessage& Message, HWND Child);
  // Message handlers of Dispatch and HandleWM.
  void WMDrawItem(TMessage& Message);
  void WMMeasureItem(TMessage& Message);
  void CNKeyDown(TMessage& Message);
  void CNChar(TMessage& Message);
  void CMRecreateWnd();
  void CMCursorChanged();
  void HandleWM(TMessage& Message);
  void WMPaint(TMessage& Message);
  void WMEraseBkgnd(TMessage& Message);
  void WMPrintClient(TMessage& Message);
  void WMSetCursor(TMessage& Message);
  void WMMouseWheel(TMessage& Message);
  void WMNCPaint(TMessage& Message);
  void WMCaptureChanged(TMessage& Message);
  void WMContextMenu(TMessage& Message);
  void WMNCDestroy(TMessage& Message);
  void AlignChildren();
  bool DefaultPaintOnly() const;
  int InsideAlign_ = 0;
};

// Binds a freshly created window to its control; StdWndProc is every control's class procedure.
LRESULT CALLBACK StdWndProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam);
// The control that owns a window made by the class library (nullptr for any other window).
TWinControl* FindControl(HWND Wnd);
// A window bound to its control, and let go again (nothing when it is bound to another).
void BindControlWindow(HWND Wnd, TWinControl* Control);
void UnbindControlWindow(HWND Wnd, TWinControl* Control);
// The window control at a screen point (nullptr when the window there is not the library's).
TWinControl* FindVCLWindow(TPoint Pos);
// The control under a screen point, graphic children included.
TControl* FindDragTarget(TPoint Pos, bool AllowDisabled);
// The graphic control that holds the mouse capture, or the window control whose window does.
TControl* GetCaptureControl();
void SetCaptureControl(TControl* Control);
// The control the mouse is over (the last one that got CM_MOUSEENTER), nullptr when none.
TControl* MouseControl();
// A canvas-free helper: the parent form of a control (nullptr when its top parent is not a form).
TCustomForm* GetParentForm(TControl* Control);
TCustomForm* ValidParentForm(TControl* Control);

// ---------------------------------------------------------------------------------------------

// A canvas that paints on a control: on its own window (window controls) or on its parent's
// window, moved to the control's place and clipped to it (graphic controls). The DC is got on
// first use and released by FreeHandle (the control does so after painting and when its window
// goes away).
class TControlCanvas : public TCanvas {
 public:
  QV_CLASS_NAME(TControlCanvas)
  ~TControlCanvas() override;
  TControl* Control() const { return Control_; }
  void SetControl(TControl* v);
  void FreeHandle();
  void UpdateTextFlags();
  // DT_ flags for text the control draws (the control's reading order).
  int TextFlags() const { return TextFlags_; }
  // Releases the DCs of every control canvas that is not locked (called at idle time).
  static void FreeDeviceContexts();

 protected:
  void CreateHandle() override;

 private:
  TControl* Control_ = nullptr;
  ClientDC DC_;
  int TextFlags_ = 0;
};

// A control's own canvas locked to the DC it is painted on for the scope: a handle the canvas made
// for itself is freed first, and the canvas lets the DC go and is unlocked on exit, also when the
// painting throws.
class LockedCanvasOnDC {
 public:
  LockedCanvasOnDC(TControlCanvas* canvas, HDC dc) : Canvas_(canvas) {
    canvas->FreeHandle();
    canvas->Lock();
    canvas->SetHandle(dc);
  }
  ~LockedCanvasOnDC() {
    Canvas_->SetHandle(nullptr);
    Canvas_->Unlock();
  }
  LockedCanvasOnDC(const LockedCanvasOnDC&) = delete;
  LockedCanvasOnDC& operator=(const LockedCanvasOnDC&) = delete;

 private:
  TControlCanvas* Canvas_;
};

class TGraphicControl : public TControl {
 public:
  QV_CLASS_NAME(TGraphicControl)
  explicit TGraphicControl(TComponent* AOwner);
  ~TGraphicControl() override;
  TCanvas* Canvas() const { return Canvas_; }
  void Dispatch(TMessage& Message) override;

 protected:
  virtual void Paint() {}
  TControlCanvas* Canvas_ = nullptr;
};

class TCustomControl : public TWinControl {
 public:
  QV_CLASS_NAME(TCustomControl)
  explicit TCustomControl(TComponent* AOwner);
  ~TCustomControl() override;
  TCanvas* Canvas() const { return Canvas_; }
  void Dispatch(TMessage& Message) override;

 protected:
  virtual void Paint() {}
  void PaintWindow(HDC DC) override;
  void DestroyWindowHandle() override;
  TControlCanvas* Canvas_ = nullptr;
};

// ---------------------------------------------------------------------------------------------

class TMouse {
 public:
  TPoint CursorPos() const;
  void SetCursorPos(TPoint p);
  HWND Capture() const { return GetCapture(); }
  void SetCapture(HWND wnd);
  bool MousePresent() const { return GetSystemMetrics(SM_MOUSEPRESENT) != 0; }
  bool WheelPresent() const { return GetSystemMetrics(SM_MOUSEWHEELPRESENT) != 0; }
  int WheelScrollLines() const;
  int DragThreshold() const { return DragThreshold_; }
  void SetDragThreshold(int v) { DragThreshold_ = v; }

 private:
  int DragThreshold_ = 5;
};

extern TMouse* Mouse;

// ---------------------------------------------------------------------------------------------
// Actions, minimal: what a control takes from the action it is linked to.

class TBasicAction : public TComponent {
 public:
  QV_CLASS_NAME(TBasicAction)
  explicit TBasicAction(TComponent* AOwner) : TComponent(AOwner) {}
  ~TBasicAction() override;
  void BeforeDestruction() override;
  virtual bool Execute();
  virtual bool Update();
  TNotifyEvent OnExecute;
  TNotifyEvent OnUpdate;
  void RegisterClient(TControl* c);
  void UnRegisterClient(TControl* c);

 protected:
  void Change();
  std::vector<TControl*> Clients_;
};

class TCustomAction : public TBasicAction {
 public:
  QV_CLASS_NAME(TCustomAction)
  explicit TCustomAction(TComponent* AOwner) : TBasicAction(AOwner) {}
  ~TCustomAction() override;
  // The action list (classlib/ActnList.h) the action belongs to; its Images hold the action's
  // image. Both defined with the action lists.
  TCustomActionList* ActionList() const { return ActionList_; }
  void SetActionList(TCustomActionList* v);
  const std::string& Caption() const { return Caption_; }
  void SetCaption(const std::string& v);
  bool Enabled() const { return Enabled_; }
  void SetEnabled(bool v);
  bool Checked() const { return Checked_; }
  void SetChecked(bool v);
  bool Visible() const { return Visible_; }
  void SetVisible(bool v);
  const std::string& Hint() const { return Hint_; }
  void SetHint(const std::string& v);
  int ImageIndex() const { return ImageIndex_; }
  void SetImageIndex(int v);

 private:
  std::string Caption_;
  std::string Hint_;
  bool Enabled_ = true;
  bool Checked_ = false;
  bool Visible_ = true;
  int ImageIndex_ = -1;
  friend class TCustomActionList;
  TCustomActionList* ActionList_ = nullptr;
};
using TAction = TCustomAction;

// Opens Menu, a control's popup menu, at a screen point for Control (its PopupComponent) and
// returns after it closed; false, showing nothing, when Menu is not a popup menu or does not pop
// up by itself (AutoPopup off). Defined with the menus (classlib/Menus.cpp).
bool PopupContextMenu(TControl* Control, TComponent* Menu, TPoint ScreenPos);

// A hidden window whose messages go to Method (timers, the application's helpers); the window
// procedure catches exceptions and hands them to the application. Result defaults to the
// DefWindowProc answer when Method leaves the message unanswered (Result 0 and not handled).
HWND AllocateHWnd(TWndMethod Method);
void DeallocateHWnd(HWND Wnd);

// Hands an exception caught at a window procedure, hook or timer boundary to the application.
// Call only inside a catch block.
void HandleBoundaryException(TObject* Sender);
