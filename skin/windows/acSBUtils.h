// Window adapters: objects that stand in front of a window and skin it without the window's own
// code knowing, the skinned scroll bars they draw in the window frame, the scrolling adapters of
// edit-like windows and of the MDI client, and (in the headers of this unit's folder, included at
// the end) the adapters of static, button, combo box, panel, size grip, up-down and menu windows,
// list views, grids, trees, tool bars, tab and page controls and status bars.
//
// An adapter takes over the window's message stream: a bare window is subclassed with one static
// window procedure (AdapterWndProc) that finds its adapter through the window property "ACSBSC";
// a control of the class library (or the form of a form provider) has its WindowProc chained
// instead. One window carries at most one adapter. The creator owns the adapter and frees it with
// Free(); the adapter leaves its window by itself when the window is destroyed.
//
// Adapters are made with Create<T>(...): the constructor records the arguments and the finished
// object attaches itself in AfterConstruction, so every virtual operation runs on the whole object.
#pragma once

#include "classlib/Win.h"

#include <memory>
#include <string>
#include <vector>

#include "classlib/Controls.h"
#include "classlib/Forms.h"
#include "classlib/GdiScopes.h"
#include "classlib/Graphics.h"
#include "skin/engine/sCommonData.h"
#include "skin/engine/sSkinManager.h"
#include "skin/engine/sStyleSimply.h"
#include "skin/windows/Hooks.h"

class TacMainWnd;
class TacScrollWnd;
class TacScrollBar;

// The window property that holds a window's adapter.
inline constexpr const char* AdapterPropName = "ACSBSC";

// true while the dialog hook creates adapters (their DialogMode is then set).
extern bool HookAttaching;
// true while the control adapter of a form frees all its items at once.
extern bool AdapterItemsClearing;

// ---- The adapter base -------------------------------------------------------------------------------

class TacMainWnd : public TObject {
 public:
  QV_CLASS_NAME(TacMainWnd)
  // AHandle: the window (it must not carry an adapter already). ASkinData: the skin state to use,
  // or nullptr for one of the adapter's own (a bare window, subclassed). ASkinManager: nullptr for the one
  // of SkinData. SkinSection: written into SkinData only when it names no section yet. Repaint:
  // used by the scrolling adapters (the frame is recalculated when they attach).
  TacMainWnd(HWND AHandle, TsCommonData* ASkinData, TsSkinManager* ASkinManager, const std::string& SkinSection,
             bool Repaint = true);
  ~TacMainWnd() override;
  void AfterConstruction() override;
  void BeforeDestruction() override;

  virtual void StoreOriginalColors() {}
  virtual void RestoreOriginalColors() {}
  virtual void ApplySkinColors() { Skinned = true; }
  // The adapter's own table of what it does while its skin is on (SkinOn); descendants fall back
  // on their base's version, this one the base handler every adapter shares.
  virtual void HandleMessage(TMessage& Message);
  // What the window procedure and the chained window method call: the hook sequence every adapter
  // runs, as the skinned controls' common frame runs theirs (skin/controls/sCommonFrame.h):
  //   1. AnswerAnyState: what the adapter answers whatever state it is in; true ends the message.
  //   2. The skin's coming, refresh and going (QC_SKINLOADED, QC_REFRESH, QC_SKINREMOVED): a
  //      container passes them on to what lies inside it (PassSkinCommandOn: QC_SKINLOADED before
  //      its own answer, the others after it); for its own manager BeforeSkinChange and
  //      AfterSkinChange run around its answer.
  //   3. BeforeMessage; false ends the message.
  //   4. While the skin is on HandleMessage, else PlainMessage (the window's own look: by default
  //      the base handler's plain path, where almost everything goes on to the window).
  //   5. AfterMessage.
  void RouteMessage(TMessage& Message);

  // One brush per adapter for WM_CTLCOLOR* answers: made for the colour on first use, renewed only
  // when the colour changes, deleted with the adapter.
  HBRUSH CtlColorBrush(TColor Color);
  // A token that turns false when the adapter is destroyed: a handler whose passed-on message may
  // have freed the adapter checks it before it touches a field again.
  std::shared_ptr<bool> AliveToken() const { return Alive_; }
  // The window is painted in the skin now: its skin data names a section of a skin that its
  // manager has loaded and uses.
  bool SkinOn() const;
  // A skin came or was refreshed: the sections are looked up again and the image is made anew.
  void MarkSkinChanged();
  // The window painted again after a skin command (RedrawWindow with Flags, or with none its
  // WM_PAINT sent): at once outside a skin switch, not at all in one (its end paints every window).
  void RedrawAfterSkinCommand(UINT Flags);
  // The window method installed in place of a control's WindowProc.
  TWndMethod AdapterMethod() { return MakeMethod<&TacMainWnd::RouteMessage>(this); }
  // What the adapter changed on its owner control's style (csOpaque) goes back as it was; called
  // as the adapter leaves.
  void RestoreOwnerStyle();

  bool DialogMode = false;
  std::string Caption;
  TRect WndRect{};
  TSize WndSize{};
  TPoint WndPos{};
  TRect ParentRect{};
  HWND ParentWnd = nullptr;
  TWndMethod OldProc;
  WNDPROC OldWndProc = nullptr;
  HWND WndHandle = nullptr;
  TsSkinManager* SkinManager = nullptr;
  TsCommonData* SkinData = nullptr;
  std::uint8_t ScrollFlag = 0;
  bool Skinned = false;
  TColor SavedColor = clNone;
  TColor SavedFontColor = clNone;
  bool Destroyed = false;
  bool OwnsSkinData = false;
  // The window is being destroyed: leaving it, the adapter gives back what is not the window's own
  // (its procedure, property, the colours of its control) and nothing that dies with it (its visual
  // style, its look on the screen).
  bool WindowGoes = false;
  // The static procedure installed with SetWindowLongPtr; nullptr when a window method was chained.
  WNDPROC WndProcInstance = nullptr;

 protected:
  // Hooks the adapter into the window (AttachWndProc; the scrolling adapters build their bars).
  virtual void AttachToWindow();
  // Reads Caption from the window.
  void ReadCaption();
  // Switches the window's visual style off where visual styles are in use (not for "DIALOG"), and
  // gives the window the style it took off back.
  void ThemeOff(const std::string& SkinSection);
  void ThemeBack();
  // Adds csOpaque to the owner control's style.
  void MakeOwnerOpaque();
  // A window that shows already is painted in the skin at once (as the adapter comes).
  void ShowSkinNow();
  // Gives the window back while it lives and still routes through the adapter.
  void LeaveWindow();
  // Passes the message on (CallPrevProc into Result); false when the adapter was freed meanwhile.
  bool PassOn(TMessage& Message);
  // Step 1 of RouteMessage: true when the adapter answered the message itself, in any state.
  virtual bool AnswerAnyState(TMessage& Message) {
    (void)Message;
    return false;
  }
  // Step 2, around the adapter's answer to a skin change of its own manager (in any state).
  virtual void BeforeSkinChange(int Command) { (void)Command; }
  virtual void AfterSkinChange(int Command) { (void)Command; }
  // Step 4 while the skin is off.
  virtual void PlainMessage(TMessage& Message) { TacMainWnd::HandleMessage(Message); }
  // A child asks for the adapter's image (QC_GETCACHE): the shared record filled with the cache.
  virtual void AnswerChildCache();
  // Whether the window is busy (QC_ISBUSY): its image is being made anew, or it is updating.
  virtual bool Busy() const;
  // Runs before HandleMessage for every message; false ends the message (the adapter is gone).
  virtual bool BeforeMessage(TMessage& Message) {
    (void)Message;
    return true;
  }
  // Runs after HandleMessage for every message, while the adapter lives.
  virtual void AfterMessage(const TMessage& Message) { (void)Message; }
  // The window paints only part of itself (a group box's frame, a frame static's lines) and shows
  // its parent through the rest: as the adapter leaves, what the parent paints is laid under it
  // (ShowParentUnder), which a parent that clips its children never does itself.
  virtual bool ShowsParentThrough() const { return false; }
  // A container's adapter: the skin's coming, refresh and going are passed on to what lies inside
  // the window (PassSkinCommandOn: the coming before the window takes it, the others after).
  virtual bool PassesSkinCommandsOn() const { return false; }
  // The skin commands every adapter answers alike while its skin is on; true when the command
  // ends there (each adapter's own table lists only what differs):
  //   QC_UPDATEDONE       when Updating is set it is cleared and RepaintAfterUpdate runs.
  //   QC_ISSKINNED, QC_GETAPPLICATION  the answers every skinned window gives (AnswerIdentity).
  //   QC_GETSECTIONINDEX  Result = SkinIndex + 1 (0 when the section is unknown).
  bool AnswerCommonCommand(TMessage& Message);
  // QC_UPDATEDONE found the adapter Updating (cleared now): the window and its children are redrawn,
  // frame included. true when the command then goes on to the window as well.
  virtual bool RepaintAfterUpdate();
  // WM_DESTROY / WM_NCDESTROY: the adapter leaves the window (DetachOnDestroy) when it replaced
  // something, and the message goes on to the window.
  void LeaveOnDestroy(TMessage& Message);
  virtual void DetachOnDestroy();
  // The pointer moves over the window: it becomes the default manager's hot window until the
  // pointer leaves it (WM_MOUSELEAVE gives the hot window up).
  void TakeHotWindow();

  // ---- for the painting adapters
  // The window's and its parent's rectangles into WndRect, WndSize, WndPos, ParentRect, ParentWnd.
  void UpdateRects();
  // SkinData's Updating flag asked again (stored); true while updating (nothing is painted then).
  bool AskUpdating();
  // The cache bitmap made (24-bit) and sized to WndSize.
  TBitmap* SizeCache();
  // The cache copied to the DC: the part from (X, Y) on, to the same place.
  void CopyCacheTo(HDC DC, int X = 0, int Y = 0);
  // Hot: the owner control's answer, else the pointer is over the window (the manager's hot
  // window) or the window has the focus.
  bool IsHot() const;
  // The canvas draws with the owner control's font, else the window's own (WM_GETFONT), else the
  // system font, which a window without a font of its own draws with.
  void UseWindowFont(TCanvas* Canvas);
  // A disabled window's look in the cache: kept at 40 % over what lies behind it (the parent's
  // image when CI is ready, else the colour the parent shows).
  void DimDisabled(TBitmap* Bmp, const TsCacheInfo& CI);
  // Passes the message on while the window draws nothing itself (its drawing held back with
  // WM_SETREDRAW on a window that has WS_VISIBLE; a hidden window stays hidden); the adapter paints
  // afterwards. false when the adapter was freed meanwhile.
  bool PassOnUnseen(TMessage& Message);
  // The whole window painted again through its WM_PAINT (the caller marks what changed first).
  void RepaintNow();

  bool Repaint_ = true;
  std::string InitSection_;

 private:
  // The base's skin commands (QC_SKINLOADED, QC_SKINREMOVED, QC_REFRESH, QC_GETCACHE, QC_ISBUSY,
  // QC_ISTRANSPARENT, QC_GETPARENTCOLOR, QC_PREPAREFADE and the common ones); true when the
  // command ends there.
  bool AnswerSkinCommand(TMessage& Message);
  // Step 2 of RouteMessage.
  void FollowSkinChange(TMessage& Message);
  // Step 4: HandleMessage or PlainMessage.
  void Dispatch(TMessage& Message);
  // The window's visual style follows the skin of the adapter's manager: off while a skin is on,
  // back when it goes (never touched for the "DIALOG" section).
  void FollowSkinTheme(const TMessage& Message);
  std::shared_ptr<bool> Alive_ = std::make_shared<bool>(true);
  GdiObject<HBRUSH> Brush_;
  TColor BrushColor_ = clNone;
  TFont* WindowFont_ = nullptr;  // the window's own font as last read (UseWindowFont)
  HFONT WindowFontHandle_ = nullptr;
  bool OwnerOpaqueAdded_ = false;  // csOpaque was added to the owner control by the adapter
  bool ThemeTakenOff_ = false;     // the adapter switched the window's visual style off
};

// Makes an adapter of class T for a window: the one way every creator (the control adapter, the
// dialog hook, a program) attaches an adapter, so that tables can name adapter classes by their
// maker.
using TacAdapterMaker = TacMainWnd* (*)(HWND AHandle, TsCommonData* ASkinData, TsSkinManager* ASkinManager,
                                        const std::string& SkinSection, bool Repaint);
template <typename T>
TacMainWnd* MakeAdapter(HWND AHandle, TsCommonData* ASkinData, TsSkinManager* ASkinManager,
                        const std::string& SkinSection, bool Repaint) {
  return Create<T>(AHandle, ASkinData, ASkinManager, SkinSection, Repaint);
}

// The adapter class of each kind of the skin manager's class-name lists (TacThirdKind: "Edit",
// "Button" ...), the table the control adapter makes a form's controls' adapters from. Each
// adapter family enters its classes as the program starts (RegisterKindAdapter returns true, for a
// start-up constant); a kind no family entered gets no adapter.
bool RegisterKindAdapter(int Kind, TacAdapterMaker Maker);
// The maker entered for the kind; nullptr when none (or Kind is out of range).
TacAdapterMaker KindAdapter(int Kind);

// A list of adapters that never points at a freed one: an adapter that is freed (by its creator,
// or by itself when its window goes) leaves every list it is in. The list does not own its
// adapters; FreeAll frees them.
class TacAdapterList {
 public:
  TacAdapterList();
  ~TacAdapterList();
  TacAdapterList(const TacAdapterList&) = delete;
  TacAdapterList& operator=(const TacAdapterList&) = delete;
  void Add(TacMainWnd* Adapter);
  void Remove(TacMainWnd* Adapter);
  bool Contains(const TacMainWnd* Adapter) const;
  int Count() const { return int(Items_.size()); }
  TacMainWnd* operator[](int Index) const { return Items_[std::size_t(Index)]; }
  // Frees every adapter of the list (the list is empty afterwards).
  void FreeAll();
  // Every list forgets the adapter (its destructor calls this).
  static void Forget(const TacMainWnd* Adapter);

 private:
  std::vector<TacMainWnd*> Items_;
};

// The static window procedure of subclassed bare windows.
LRESULT CALLBACK AdapterWndProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam);

// Hands a message to what the adapter replaced; 0 when it replaced nothing. LParam is copied back
// from a chained window method.
LRESULT CallPrevProc(TacMainWnd* Adapter, HWND Wnd, UINT Msg, WPARAM WParam, LPARAM& LParam);
// Takes over the window: "ACSBSC" set, then the window procedure subclassed (bare window), the
// provider form's or the owner control's WindowProc chained.
void AttachWndProc(TacMainWnd* Adapter, HWND Wnd);
// Gives the window back (procedure, property, colours; frame redrawn when visible). With
// FreeAdapter the adapter is freed and the variable set to nullptr.
void DetachWndProc(HWND Wnd, bool FreeAdapter, bool Repaint, TacMainWnd*& Adapter);
template <typename T>
void DetachWndProc(HWND Wnd, bool FreeAdapter, bool Repaint, T*& Adapter) {
  TacMainWnd* a = Adapter;
  DetachWndProc(Wnd, FreeAdapter, Repaint, a);
  if (!a) Adapter = nullptr;
}
// The window's and its parent's rectangles, and the window's place in the parent's skin image.
void UpdateWndRects(HWND Wnd, HWND& ParentWnd, TRect& WndRect, TPoint& WndPos, TSize& WndSize, TRect& ParentRect);
// The adapter of a window (the "ACSBSC" property); nullptr when none.
TacMainWnd* GetWndAdapter(HWND Wnd);
// WM_CTLCOLOREDIT / WM_CTLCOLORLISTBOX at the parent of a bare edit or list window that its edit
// adapter paints in the skin (outside dialogs): the section's text and background colours on the
// DC, the adapter's brush in Result. false, nothing done, for any other window or message.
bool AnswerBareChildColors(TMessage& Message);

// ---- Shared painting of adapters --------------------------------------------------------------------

// Fills the transparent corner pixels of the window's border in the cache bitmap.
void FillBorderCorners(TsCommonData* SkinData, int State, TacMainWnd* Adapter);
// The first TWinControl among Owner's components (depth first) whose allocated handle is Handle.
TWinControl* FindWinControl(HWND Handle, TComponent* Owner);

// ---- Skinned scroll bars ----------------------------------------------------------------------------

// One scroll bar of a scrolling adapter.
class TacScrollBar : public TObject {
 public:
  QV_CLASS_NAME(TacScrollBar)
  std::uint16_t ScrollFlags = 0;  // 8 when the window style carries the bar
  bool ScrollVisible = false;     // the bar takes room in the frame and is painted
  SCROLLINFO ScrollInfo{sizeof(SCROLLINFO), SIF_ALL, 0, 0, 0, 0, 0};
  int ArrowLength = -1;  // -1: automatic
  int Thickness = -1;    // -1: automatic
  std::uint16_t BarKind = SB_HORZ;
  std::uint16_t MinThumbSize = 10;
  TacScrollWnd* Owner = nullptr;
  // The scroll state the bar was last painted with on the screen (range, page, position,
  // enabled): the adapter repaints the bar whenever the window's state differs from it, whatever
  // changed the state.
  SCROLLINFO Shown{};
  bool ShownEnabled = false;
};

// Timer ids (WM_TIMER on the adapted window).
inline constexpr UINT_PTR acHoverTimerId = 65522;
inline constexpr UINT_PTR acFirstRepeatTimerId = 65533;
inline constexpr UINT_PTR acRepeatTimerId = 65534;
inline constexpr UINT acHoverInterval = 20;
inline constexpr UINT acFirstRepeatDelay = 300;
inline constexpr UINT acRepeatInterval = 55;

// Interaction state of the scroll bars, one set for the whole process (one pointer exists).
struct TacScrollState {
  HWND CurrentScrollWnd = nullptr;  // window whose bar was last entered or clicked
  int ClickedPart = -1;             // part where the left button went down; -1: no click
  int PressedBar = -1;              // kind of the bar being clicked, or -1
  int PressedPart = -1;             // part drawn pressed (follows the pointer while held)
  UINT ScrollMsg = 0;               // WM_HSCROLL or WM_VSCROLL of the click in progress
  UINT_PTR RepeatTimer = 0;         // the running click timer, 0 when none
  int LastTrackPos = -1;            // last position sent while dragging the thumb
  int HotBar = -1;                  // kind of the bar under the pointer, -1 when none
  int HotPart = -1;                 // part under the pointer on the hot bar
  int LastHotPart = -1;             // hot part at the last hover repaint
  UINT_PTR HoverTimer = 0;          // the hover timer, 0 when none
  HWND HoverWnd = nullptr;          // the window whose hover timer runs
  TRect HotBarRect{};               // screen rectangle of the hovered bar
  int ThumbSize = 0;                // thumb length when a drag began
  int ThumbPos = 0;                 // thumb start when a drag began
  TRect ThumbBounds{};              // screen rectangle of the bar when a drag began
  int ThumbOffset = 0;              // pointer minus thumb start when a drag began
  int TrackedThumb = 0;             // thumb start of the drag in progress (window-relative)
};
extern TacScrollState ScrollState;

void AttachScrollWnd(TacScrollWnd* Adapter, HWND Wnd, bool Repaint);
void DetachScrollWnd(HWND Wnd, bool FreeAdapter, bool Repaint, TacScrollWnd*& Adapter);
template <typename T>
void DetachScrollWnd(HWND Wnd, bool FreeAdapter, bool Repaint, T*& Adapter) {
  TacScrollWnd* a = Adapter;
  DetachScrollWnd(Wnd, FreeAdapter, Repaint, a);
  if (!a) Adapter = nullptr;
}
void RefreshScrollInfo(TacScrollWnd* Adapter, bool Repaint);
// The visible bars' scroll information read again; a bar whose state differs from what it was last
// painted with is repainted (nothing while the adapter sends a scroll message itself). Whether a bar
// is enabled is asked again only with a changed range or position, or when EnabledMayChange.
void RepaintChangedBars(TacScrollWnd* Adapter, bool EnabledMayChange = false);
TacScrollBar* GetScrollBarOf(HWND Wnd, int Kind);
// Bars: 0 horizontal, 1 vertical, 3 both. false without adapter.
bool SetMinThumbSize(HWND Wnd, int Bars, int Size);
// Thickness (true) or arrow length (false) of a bar; UseSkin: the arrow length from the skin.
int GetScrollBarSize(TacScrollBar* Bar, bool Thickness, bool UseSkin);
bool IsScrollBarEnabled(TacScrollBar* Bar);
// The bar rectangles in screen coordinates.
void GetHorzBarRect(TacScrollWnd* Adapter, HWND Wnd, TRect& R);
void GetVertBarRect(TacScrollWnd* Adapter, HWND Wnd, TRect& R);
// Both bars and the corner box; DC 0: the window DC.
LRESULT PaintScrollBars(TacScrollWnd* Adapter, HWND Wnd, HDC DC);
// One bar; R relative to the window's top-left corner. 1 when painted.
int PaintScrollBar(TacScrollBar* Bar, HWND Wnd, HDC DC, int APressedPart, const TRect& R);
// The part under a screen point; R: the bar's screen rectangle.
int ScrollBarHitTest(TacScrollBar* Bar, HWND Wnd, const TRect& R, int Y, int X);
// QC_LOCKREDRAW, the scroll message (SB_THUMBTRACK sets the position first), QC_UNLOCKREDRAW.
LRESULT SendScrollMessage(HWND Wnd, UINT Msg, int Code, int Pos);

// Message handlers of the scrolling adapters; each returns the message result.
LRESULT ScrollNCCalcSize(TacScrollWnd* Adapter, HWND Wnd, WPARAM WParam, LPARAM LParam);
LRESULT ScrollNCHitTest(TacScrollWnd* Adapter, HWND Wnd, WPARAM WParam, LPARAM LParam);
LRESULT ScrollNCMouseMove(TacScrollWnd* Adapter, HWND Wnd, WPARAM WParam, LPARAM LParam);
LRESULT ScrollNCLButtonDown(TacScrollWnd* Adapter, HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam);
LRESULT ScrollMouseMove(TacScrollWnd* Adapter, HWND Wnd, WPARAM WParam, LPARAM LParam);
// The button-up ends a click or a drag of the window's bars; it goes on to the window unless it
// ended one and the window does not hear those (HearsButtonUpOfBars).
LRESULT ScrollLButtonUp(TacScrollWnd* Adapter, HWND Wnd, WPARAM WParam, LPARAM LParam);
LRESULT ScrollTimer(TacScrollWnd* Adapter, HWND Wnd, WPARAM WParam, LPARAM LParam);
LRESULT ScrollStyleChanged(TacScrollWnd* Adapter, HWND Wnd, WPARAM WParam, LPARAM LParam);
LRESULT ScrollSetCursor(TacScrollWnd* Adapter, HWND Wnd, WPARAM WParam, LPARAM LParam);

// ---- Scrolling adapters -----------------------------------------------------------------------------

class TacScrollWnd : public TacMainWnd {
 public:
  QV_CLASS_NAME(TacScrollWnd)
  using TacMainWnd::TacMainWnd;
  ~TacScrollWnd() override;
  void HandleMessage(TMessage& Message) override;
  // A list that keeps the mouse capture after a click on its bars (the list of a drop-down combo).
  virtual bool KeepsCaptureOnButtonUp() const { return false; }
  // The window hears the button-up that ends a click or a drag of its bars (a combo's list does
  // not: it would take it for the end of a choice and show its chosen item again, as the system's
  // own tracking of the bars never lets it).
  virtual bool HearsButtonUpOfBars() const { return true; }
  // The offset of the window's origin inside the image its bars are painted over (0, 0 but for the
  // MDI client, whose bars lie on the form's image).
  virtual TPoint BarCacheOffset() const { return TPoint{}; }
  // While the thumb is dragged the window's position is set to the tracked one before each
  // SB_THUMBTRACK, so that a window reading the tracking position (GetScrollInfo, SIF_TRACKPOS)
  // sees it; a window that scrolls only at SB_THUMBPOSITION from its own position says no.
  virtual bool SetsPositionWhileTracking() const { return true; }

  // A click or a drag of this window's bars ends without its button-up (the capture lost, the
  // adapter freed or leaving): as a button-up ends it, the window told with Notify.
  void FinishClick(bool Notify);
  // The interaction state forgets the window (hover timer, click state), as it leaves.
  void ForgetInteraction();

  TacScrollBar* HorzBar = nullptr;
  TacScrollBar* VertBar = nullptr;
  bool ThumbTracking = false;
  bool LeftScrollBar = false;
  int BorderLeft = 0, BorderRight = 0, BorderTop = 0, BorderBottom = 0;
  bool StyleChanging = false;
  // The last frame computation (WM_NCCALCSIZE) made room for skinned bars rather than for the
  // window's own.
  bool FrameSkinned = false;

 protected:
  void AttachToWindow() override;
  // The window leaving, and the UI-state message swallowed, in any state.
  bool AnswerAnyState(TMessage& Message) override;
  // Without the skin everything goes on to the window, whose own bars take their room.
  void PlainMessage(TMessage& Message) override;
  // Skin changes of the adapter's own manager (QC_SKINLOADED, QC_SKINREMOVED, QC_REFRESH) are followed whatever state
  // the adapter is in: one attached before its manager had a skin knows no section yet, and for a window without a
  // skinned control of its own nobody else re-reads it. The frame is computed again when the skin comes or goes.
  bool BeforeMessage(TMessage& Message) override;
  // Computes the frame again when it was computed for the other state (skinned or plain).
  void SyncFrame();
  void AfterMessage(const TMessage& Message) override;
  void BeforeDestruction() override;
  bool RepaintAfterUpdate() override;
  void DetachOnDestroy() override;

 private:
  // The scrolling adapter's skin commands (QC_SKINLOADED, QC_REFRESH, QC_GETCACHE and the common ones); true when the
  // command ends.
  bool AnswerScrollCommand(TMessage& Message);
  // The frame and mouse messages of the bars; true when the message ends there.
  bool HandleBarMessage(TMessage& Message);
  // WM_NCPAINT: the window's own frame, then the skinned bars over it.
  void PaintFrameAndBars(TMessage& Message);
  // The class library's resize notification: passed on, then the window is sized to WndSize.
  void ResizeToWndSize(TMessage& Message);
};

class TacBaseWnd : public TacScrollWnd {
 public:
  QV_CLASS_NAME(TacBaseWnd)
  using TacScrollWnd::TacScrollWnd;
  void HandleMessage(TMessage& Message) override;
};

class TacEditWnd : public TacBaseWnd {
 public:
  QV_CLASS_NAME(TacEditWnd)
  using TacBaseWnd::TacBaseWnd;
  void AfterConstruction() override;
  void StoreOriginalColors() override;
  void RestoreOriginalColors() override;
  void ApplySkinColors() override;
  void HandleMessage(TMessage& Message) override;

  TColor BgColor = clWindow;  // background of a bare window
  TColor BorderColor = 0;     // frame line of a bare window

 protected:
  // A combo's list made without the first frame refresh keeps its visual style.
  virtual bool KeepsThemeOnCreate() const { return false; }
  void PrintWindowInto(HDC DC);

 private:
  // The edit adapter's own skin commands (QC_REFRESH and QC_PREPAREFADE); true when the command ends there.
  bool AnswerEditCommand(TMessage& Message);
  // WM_PAINT while visible: the bars painted before the window paints its client area; false
  // while Updating (the window only validated) or when the adapter went away.
  bool PaintBeforeClient();
  // WM_NCPAINT while visible: the frame from the cache image, then the bars; not passed on.
  void PaintFrame(TMessage& Message);
};

class TacMDIWnd : public TacBaseWnd {
 public:
  QV_CLASS_NAME(TacMDIWnd)
  using TacBaseWnd::TacBaseWnd;
  ~TacMDIWnd() override;
  void HandleMessage(TMessage& Message) override;
  // The client is painted from its form's image whenever the form is skinned, whatever its own
  // section says: every message goes through HandleMessage.
  void PlainMessage(TMessage& Message) override;
  TPoint BarCacheOffset() const override;
  bool SetsPositionWhileTracking() const override { return false; }

  TCustomForm* Form = nullptr;
  TsCommonData* FormSkinData = nullptr;
  TObject* Provider = nullptr;

 private:
  bool MaximizedChild() const;
  void PaintClientBackground(HDC DC);
  // With a maximized child: the form's image under each of its controls of the container class,
  // onto the form.
  void PaintUnderContainers();
  // WM_NCPAINT: nothing with a maximized child (Result 1); else the frame band and the bars.
  void PaintFrame(TMessage& Message);
  // The client edge's 2-pixel band from the form's image.
  void PaintFrameBand(HDC DC);
  // WM_PRINT without a maximized child: bars, frame band and background.
  void PrintInto(HDC DC);
  // WM_MDITILE / WM_MDICASCADE: passed on, then the form's image renewed and the client redrawn.
  void Arrange(TMessage& Message);
  // QC_UNLOCKREDRAW after the adapter's scroll messages: the client and its children redrawn.
  void AfterScrollCommand(TMessage& Message);
  // The bars' visibility follows the window's scroll styles.
  void FollowBarStyles();
  // WM_HSCROLL / WM_VSCROLL: the children scrolled to a thumb's position here (the client's own
  // handling may read it from the wrong place); SB_THUMBTRACK ignored as the client does; the
  // other codes passed on without a position. true when the message ends here.
  bool ScrollChildren(TMessage& Message);
};

// A skinned memo or list box holds its edit adapter through the engine's TacControlScrollBars, a
// skinned combo box its list's adapter through TacControlComboList (skin/engine/Hooks.h): this unit
// makes them.

// ---- The adapters of the other window classes, a header for each family --------------------------------

// clang-format off
#include "skin/windows/acSBUtils/StaticAdapters.h"
#include "skin/windows/acSBUtils/ButtonAdapters.h"
#include "skin/windows/acSBUtils/ComboAdapters.h"
#include "skin/windows/acSBUtils/PanelAdapters.h"
#include "skin/windows/acSBUtils/SpinAdapters.h"
#include "skin/windows/acSBUtils/MenuWindowAdapters.h"
#include "skin/windows/acSBUtils/ListAdapters.h"
#include "skin/windows/acSBUtils/BarAdapters.h"
#include "skin/windows/acSBUtils/TabAdapters.h"
// clang-format on
