// Forms, the application object, the screen object and the hint window.
//
// A form is a top-level window control (or an MDI child inside the main form's MDI client).
// It tracks which of its controls has the focus (CM_ENTER / CM_EXIT along the parent chains,
// CM_FOCUSCHANGED to all controls, CM_UIACTIVATE to the control that got it) and answers the
// dialog keys. The application runs the message loop: keyboard messages go to the focused
// control of the library first as CN_KEYDOWN / CN_CHAR ..., so a control (or its form, through
// CM_DIALOGKEY / CM_DIALOGCHAR) can take them before the window does.
#pragma once

#include "classlib/Win.h"

#include <functional>
#include <string>
#include <vector>

#include "classlib/Controls.h"
#include "classlib/Hooks.h"

enum TBorderIcon : std::uint8_t { biSystemMenu, biMinimize, biMaximize, biHelp };
using TBorderIcons = TSet<TBorderIcon>;
enum TFormStyle : std::uint8_t { fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop };
enum TWindowState : std::uint8_t { wsNormal, wsMinimized, wsMaximized };
enum TPosition : std::uint8_t {
  poDesigned,
  poDefault,
  poDefaultPosOnly,
  poDefaultSizeOnly,
  poScreenCenter,
  poDesktopCenter,
  poMainFormCenter,
  poOwnerFormCenter
};
enum TCloseAction : std::uint8_t { caNone, caHide, caFree, caMinimize };
enum TTileMode : std::uint8_t { tbHorizontal, tbVertical };
enum TFormStateItem : std::uint8_t { fsCreating, fsVisible, fsShowing, fsModal, fsCreatedMDIChild, fsActivated };
using TFormState = TSet<TFormStateItem>;

using TCloseEvent = TMethod<void(TObject* Sender, TCloseAction& Action)>;
using TCloseQueryEvent = TMethod<void(TObject* Sender, bool& CanClose)>;

class TCustomForm : public TWinControl {
 public:
  QV_CLASS_NAME(TCustomForm)
  // The form without resources (the framework's CreateNew).
  explicit TCustomForm(TComponent* AOwner);
  ~TCustomForm() override;
  void AfterConstruction() override;
  void BeforeDestruction() override;

  void Dispatch(TMessage& Message) override;
  void DefaultHandler(TMessage& Message) override;

  // ---- look and behaviour
  TFormBorderStyle BorderStyle() const { return BorderStyle_; }
  void SetBorderStyle(TFormBorderStyle v);
  TBorderIcons BorderIcons() const { return BorderIcons_; }
  void SetBorderIcons(TBorderIcons v);
  TFormStyle FormStyle() const { return FormStyle_; }
  void SetFormStyle(TFormStyle v);
  TWindowState WindowState() const;
  void SetWindowState(TWindowState v);
  TPosition Position() const { return Position_; }
  void SetPosition(TPosition v) { Position_ = v; }
  bool KeyPreview() const { return KeyPreview_; }
  void SetKeyPreview(bool v) { KeyPreview_ = v; }
  TComponent* Menu() const { return Menu_; }
  void SetMenu(TComponent* v);
  // The menu bar the form's window shows (0 without a menu).
  HMENU MenuHandle() const;
  TIcon* Icon() const { return Icon_; }
  void SetIcon(TIcon* v);
  TCanvas* Canvas() const { return Canvas_; }
  TFormState FormState() const { return FormState_; }
  TModalResult ModalResult() const { return ModalResult_; }
  void SetModalResult(TModalResult v) { ModalResult_ = v; }

  // ---- MDI
  HWND ClientHandle() const { return ClientHandle_; }
  TCustomForm* ActiveMDIChild() const;
  int MDIChildCount() const;
  TCustomForm* MDIChildren(int index) const;
  TTileMode TileMode() const { return TileMode_; }
  void SetTileMode(TTileMode v) { TileMode_ = v; }
  void Tile();
  void Cascade();
  void ArrangeIcons();
  void Next();
  void Previous();

  // ---- showing and closing
  void Show();
  void Hide();
  void Close();
  bool CloseQuery();
  virtual int ShowModal();
  // Frees the form once the messages now queued for it are handled.
  void Release();

  // ---- focus
  bool Active() const { return Active_; }
  TWinControl* ActiveControl() const { return ActiveControl_; }
  void SetActiveControl(TWinControl* v);
  void FocusControl(TWinControl* Control);
  // Called from a control's WM_SETFOCUS; false stops the message (focus moved on meanwhile).
  bool SetFocusedControl(TWinControl* Control);
  void DefocusControl(TWinControl* Control, bool Removing);
  void SetFocus() override;
  // Updates the actions of the form and of its controls (CM_ACTIONUPDATE to each linked control).
  void UpdateActions();
  bool CanFocus() const override { return Visible_ && Enabled_; }
  // The focused control of the form as the form tracks it.
  TWinControl* FocusedControl() const { return FocusedControl_; }

  bool DoKeyDown(TMessage& Message) { return TWinControl::DoKeyDown(Message); }
  bool DoKeyUp(TMessage& Message) { return TWinControl::DoKeyUp(Message); }
  bool DoKeyPress(TMessage& Message) { return TWinControl::DoKeyPress(Message); }

  TNotifyEvent OnActivate;
  TNotifyEvent OnDeactivate;
  TNotifyEvent OnShow;
  TNotifyEvent OnHide;
  TNotifyEvent OnPaint;
  TNotifyEvent OnCreate;
  TNotifyEvent OnDestroy;
  TCloseEvent OnClose;
  TCloseQueryEvent OnCloseQuery;

  static long LiveFormCount();

 protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void CreateWindowHandle(const TCreateParams& Params) override;
  void DestroyWindowHandle() override;
  void PaintWindow(HDC DC) override;
  // Aligns the children; an MDI frame's client window takes the room they leave.
  void AlignControls(TControl* AControl, TRect& Rect) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  virtual void Paint();
  virtual void Activate();
  virtual void Deactivate();
  virtual void DoShow();
  virtual void DoHide();
  virtual void DoClose(TCloseAction& Action);
  virtual void DoCreate();
  virtual void DoDestroy();
  void SetActive(bool Value);
  void SetWindowFocus();
  void CloseModal();

  TFormBorderStyle BorderStyle_ = bsSizeable;
  TBorderIcons BorderIcons_{biSystemMenu, biMinimize, biMaximize};
  TFormStyle FormStyle_ = fsNormal;
  TWindowState WindowState_ = wsNormal;
  TPosition Position_ = poDesigned;
  bool KeyPreview_ = false;
  TComponent* Menu_ = nullptr;
  TIcon* Icon_ = nullptr;
  TControlCanvas* Canvas_ = nullptr;
  TFormState FormState_;
  TModalResult ModalResult_ = mrNone;
  HWND ClientHandle_ = nullptr;
  TTileMode TileMode_ = tbHorizontal;
  bool Active_ = false;
  TWinControl* ActiveControl_ = nullptr;
  TWinControl* FocusedControl_ = nullptr;
  int FocusCount_ = 0;
  bool Positioned_ = false;

 private:
  void ApplyPosition();
  void RecreateForStyle();
  void DetachMenu();
  // Message handlers of Dispatch.
  void CMShowingChanged(TMessage& Message);
  bool CMDialogKey(TMessage& Message);
  void WMMDIActivate(TMessage& Message);
  void WMPaint(TMessage& Message);
  void WMGetMinMaxInfo(TMessage& Message);
};

class TForm : public TCustomForm {
 public:
  QV_CLASS_NAME(TForm)
  explicit TForm(TComponent* AOwner) : TCustomForm(AOwner) {}
};

// ---------------------------------------------------------------------------------------------

// What CM_HINTSHOW offers the control under the mouse (LParam points to it); a control that
// answers non-zero suppresses the hint.
struct THintInfo {
  TControl* HintControl = nullptr;
  TPoint HintPos;  // screen position of the hint window
  int HintMaxWidth = 0;
  TColor HintColor = clInfoBk;
  TRect CursorRect;  // in the control's client coordinates: the hint stays while the mouse is inside
  TPoint CursorPos;  // the mouse in the control's client coordinates
  int ReshowTimeout = 0;
  int HideTimeout = 0;
  std::string HintStr;
  void* HintData = nullptr;
};

class THintWindow : public TCustomControl {
 public:
  QV_CLASS_NAME(THintWindow)
  explicit THintWindow(TComponent* AOwner);
  virtual void ActivateHint(const TRect& Rect, const std::string& AHint);
  virtual TRect CalcHintRect(int MaxWidth, const std::string& AHint);
  void ReleaseHandle();
  bool IsHintShowing() const;

 protected:
  void CreateParams(TCreateParams& Params) override;
  void Paint() override;
};

using TExceptionEvent = TMethod<void(TObject* Sender, const Exception& E)>;
using TIdleEvent = TMethod<void(TObject* Sender, bool& Done)>;
using TMessageEvent = TMethod<void(MSG& Msg, bool& Handled)>;
using TShowHintEvent = TMethod<void(std::string& HintStr, bool& CanShow, THintInfo& HintInfo)>;
// A hook on the application window's messages; true consumes the message.
using TWindowHook = TMethod<bool(TMessage& Message)>;

class TApplication : public TComponent {
 public:
  QV_CLASS_NAME(TApplication)
  explicit TApplication(TComponent* AOwner);
  ~TApplication() override;

  // Starts the application's services once: the number and currency formats are read from the
  // user's locale. Called by the first form, CreateForm, Handle and Run; calling it again does
  // nothing.
  void Initialize();
  bool Initialized() const { return Initialized_; }

  // The hidden window of class "TApplication" (owner of the forms).
  HWND Handle();
  bool HandleAllocated() const { return Handle_ != nullptr; }
  TCustomForm* MainForm() const { return MainForm_; }
  void SetMainForm(TCustomForm* v) { MainForm_ = v; }
  bool ShowMainForm() const { return ShowMainForm_; }
  void SetShowMainForm(bool v) { ShowMainForm_ = v; }

  // Creates a form owned by the application; the first one becomes the main form.
  template <typename T>
  void CreateForm(T*& Reference) {
    Initialize();
    T* f = ::Create<T>(this);
    Reference = f;
    if (!MainForm_) {
      if (auto* cf = dynamic_cast<TCustomForm*>(f)) {
        cf->HandleNeeded();
        MainForm_ = cf;
      }
    }
  }

  void Run();
  void ProcessMessages();
  void HandleMessage();
  void Terminate();
  bool Terminated() const { return Terminated_; }
  // Clears the terminated state (after a modal loop or a test that ended the loop).
  void ResetTerminated() { Terminated_ = false; }
  void Minimize();
  void Restore();
  void BringToFront();

  std::string Title() const;
  void SetTitle(const std::string& v);

  // Hints.
  bool ShowHint() const { return ShowHint_; }
  void SetShowHint(bool v);
  TColor HintColor() const { return HintColor_; }
  void SetHintColor(TColor v) { HintColor_ = v; }
  int HintPause() const { return HintPause_; }
  void SetHintPause(int v) { HintPause_ = v; }
  int HintHidePause() const { return HintHidePause_; }
  void SetHintHidePause(int v) { HintHidePause_ = v; }
  void HintMouseMessage(TControl* Control, TMessage& Message);
  void ActivateHint(TPoint CursorPos);
  void CancelHint();
  THintWindow* HintWindow() const { return HintWindow_; }
  TControl* HintControl() const { return HintControl_; }

  // The exception being handled (call inside a catch block): OnException, or a message box
  // with its text; EAbort is ignored. Never lets an exception out.
  void HandleException(TObject* Sender);
  void ShowException(const Exception& E);

  void HookMainWindow(TWindowHook Hook);
  void UnhookMainWindow(TWindowHook Hook);
  // A control is going away: the application forgets it.
  void ControlDestroyed(TControl* Control);

  TExceptionEvent OnException;
  TIdleEvent OnIdle;
  TMessageEvent OnMessage;
  TNotifyEvent OnMinimize;
  TNotifyEvent OnRestore;
  TNotifyEvent OnActivate;
  TNotifyEvent OnDeactivate;
  TShowHintEvent OnShowHint;
  TNotifyEvent OnHint;

 private:
  friend LRESULT CALLBACK ApplicationWndProc(HWND, UINT, WPARAM, LPARAM);
  bool ProcessMessage(MSG& Msg);
  void Idle(const MSG& Msg);
  void DoActionIdle();
  bool IsKeyMsg(MSG& Msg);
  bool IsMDIMsg(MSG& Msg);
  bool IsHintMsg(MSG& Msg);
  void WndProc(TMessage& Message);
  void StartHintTimer(int Value, int Id);
  void StopHintTimer();
  void HintTimer(WPARAM id);
  void ActivateApp(bool active);

  HWND Handle_ = nullptr;
  bool Initialized_ = false;
  TCustomForm* MainForm_ = nullptr;
  bool ShowMainForm_ = true;
  bool Terminated_ = false;
  std::string Title_;
  std::vector<TWindowHook> Hooks_;
  bool ShowHint_ = true;
  TColor HintColor_ = clInfoBk;
  int HintPause_ = 500;
  int HintHidePause_ = 2500;
  THintWindow* HintWindow_ = nullptr;
  TControl* HintControl_ = nullptr;
  TRect HintCursorRect_{};
  bool HintActive_ = false;
  bool HintTimerOn_ = false;
};

// ---------------------------------------------------------------------------------------------

class TScreen : public TComponent {
 public:
  QV_CLASS_NAME(TScreen)
  explicit TScreen(TComponent* AOwner);
  ~TScreen() override;

  // The forms of the application, the one activated last first (new forms at the end).
  int FormCount() const { return static_cast<int>(Forms_.size()); }
  TCustomForm* Forms(int index) const;
  TCustomForm* ActiveForm() const { return ActiveForm_; }
  TCustomForm* ActiveCustomForm() const { return ActiveForm_; }
  TWinControl* ActiveControl() const { return ActiveControl_; }
  TCursor Cursor() const { return Cursor_; }
  void SetCursor(TCursor v);
  TFont* MenuFont() const { return MenuFont_; }
  TFont* HintFont() const { return HintFont_; }
  int Width() const { return GetSystemMetrics(SM_CXSCREEN); }
  int Height() const { return GetSystemMetrics(SM_CYSCREEN); }
  TRect WorkAreaRect() const;
  TRect DesktopRect() const;
  int PixelsPerInch() const { return PixelsPerInch_; }

  TNotifyEvent OnActiveFormChange;
  TNotifyEvent OnActiveControlChange;

 private:
  friend class TCustomForm;
  void AddForm(TCustomForm* f);
  void RemoveForm(TCustomForm* f);
  void SetActiveForm(TCustomForm* f);
  void SetActiveControl(TWinControl* c);

  std::vector<TCustomForm*> Forms_;
  TCustomForm* ActiveForm_ = nullptr;
  TWinControl* ActiveControl_ = nullptr;
  TCursor Cursor_ = crDefault;
  TFont* MenuFont_ = nullptr;
  TFont* HintFont_ = nullptr;
  int PixelsPerInch_ = 96;
};

extern TApplication* Application;
extern TScreen* Screen;
