// The dialog hook: windows the program does not build itself (message boxes, the system's standard
// dialogs, pop-up menus) and forms without a form provider of their own are skinned from outside, as
// they open, by a CBT hook on the GUI thread.
//
// The default skin manager installs the hook while it has a skin (skin/engine/sSkinManager.h) and
// hands every call to CBTProc. Each window skinned gets a TacProvider in the list DialogProviders:
// a form gets a form provider; a bare dialog window (class "#32770") gets a TacDialogWnd that draws
// its title bar, borders, title buttons and window menu (TacSystemMenu) from the skin and cuts its
// window region, and window adapters for its child windows by their class. A provider is freed as
// its window is destroyed, and every provider goes with the hook.
#pragma once

#include "classlib/Win.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "classlib/Menus.h"
#include "classlib/core/Classes.h"
#include "skin/windows/acSBUtils.h"
#include "skin/windows/core/acDialogGeometry.h"
#include "skin/windows/sSkinProvider.h"

class TacDialogWnd;

// ---- The hook ------------------------------------------------------------------------------------

// The hook procedure: CallNextHookEx first (its result is always the answer), then
//   HCBT_CREATEWND: a pop-up menu window ("#32768") gets a menu window adapter (TacMnuArray);
//   HCBT_DESTROYWND: closed dialogs' providers are freed (FreeClosedDialogs);
//   HCBT_ACTIVATE: the window is skinned (SkinWindow).
LRESULT CBTProc(int Code, WPARAM WParam, LPARAM LParam);
// Skins a top-level window as it is activated; true when a provider was made for it. Windows that
// are skinned already (QC_ISSKINNED), that have a provider, "TApplication" windows, forms with Tag -98
// and everything the manager's SkinningRules leave out are left alone.
bool SkinWindow(HWND Wnd);
// Frees every provider whose window is gone (its dialog adapter left the destroyed window, or its
// bare window was destroyed) and drops the empty entries of the list.
void FreeClosedDialogs();
// Frees the menu window adapters made for pop-up menus.
void ClearMnuArray();

// The menu window adapters made for pop-up menus: an adapter leaves the list as it is freed (a menu
// window's adapter frees itself when its window goes), so the list holds the open menus only.
extern TacAdapterList TacMnuArray;
// The style of the last dialog whose skinning began.
extern std::uint32_t DialogStyle;
// A title button held down (of a form or a dialog adapter): ButtonPressed of sSkinProvider.h.
// Set while a dialog's window region is replaced.
extern bool RegionLock;

// Makes the window adapter of a dialog's child of one kind (nullptr: that kind of child is left as it
// is). The table is filled with the adapters of this library; a program may put its own in.
extern TacAdapterMaker DialogChildMakers[std::size_t(qv::TacDialogChildKind::Count)];
// Makes the adapter of a pop-up menu window (nullptr: the menus keep the look the menu drawing gives).
extern TacAdapterMaker MenuWindowMaker;

// ---- The provider of one skinned window ---------------------------------------------------------------

class TacProvider : public TComponent {
 public:
  QV_CLASS_NAME(TacProvider)
  explicit TacProvider(TComponent* AOwner);
  ~TacProvider() override;

  // Starts skinning a bare window: for a dialog ("#32770") the dialog adapter, the children's
  // adapters and QC_SKINLOADED. false when the dialog cannot be skinned (its provider is then
  // taken off the list).
  bool InitDialog(HWND AWnd);
  // Every child window, depth first (a window's own children before it), to AttachChild; false at
  // the first child that makes the dialog unskinnable.
  bool AttachChildren(HWND AWnd);
  // Gives one child window its adapter by its class (nothing for a window skinned already); false
  // for a child that makes the dialog unskinnable.
  bool AttachChild(HWND AWnd);
  // The provider's window is gone: it is freed by the next FreeClosedDialogs.
  bool Closed() const;

  bool LeftScrollBar = false;
  HWND Wnd = nullptr;
  TsSkinProvider* SkinProvider = nullptr;  // made for a form (owned by the form)
  TacDialogWnd* DialogWnd = nullptr;       // owned
  TacAdapterList* Adapters = nullptr;      // the children's adapters (owned)
  bool WindowDestroyed = false;            // a bare window without a dialog adapter was destroyed
};

// ---- The window menu of a dialog ------------------------------------------------------------------

class TacSystemMenu : public TPopupMenu {
 public:
  QV_CLASS_NAME(TacSystemMenu)
  explicit TacSystemMenu(TacDialogWnd* AOwner);

  // Visible and Enabled of every item from the window's style and state.
  void UpdateItems();

  TacDialogWnd* Adapter = nullptr;
  TMenuItem* ItemRestore = nullptr;
  TMenuItem* ItemMove = nullptr;
  TMenuItem* ItemSize = nullptr;
  TMenuItem* ItemMinimize = nullptr;
  TMenuItem* ItemMaximize = nullptr;
  TMenuItem* ItemClose = nullptr;

 private:
  TMenuItem* AddItem(const std::string& Name, const std::string& Caption, WPARAM Command, bool Update);
  void ItemClick(TObject* Sender);
};

// ---- The dialog adapter ------------------------------------------------------------------------------

class TacDialogWnd : public TacScrollWnd {
 public:
  QV_CLASS_NAME(TacDialogWnd)
  TacDialogWnd(HWND AHandle, TsCommonData* ASkinData, TsSkinManager* ASkinManager, const std::string& SkinSection,
               bool Repaint = true);
  ~TacDialogWnd() override;
  void HandleMessage(TMessage& Message) override;
  // The window going (the dialog's provider freed with it) in any state.
  bool AnswerAnyState(TMessage& Message) override;
  // The window is being destroyed.
  bool Closing() const { return Closing_; }
  // The window's own frame back as the adapter leaves a live window: its window menu style and a
  // window without a region.
  void RestoreOriginalColors() override;

  // Reads the style, frame kind, icon and caption font, and takes WS_SYSMENU away (the adapter
  // draws the window menu's buttons itself).
  void ReadStyle();
  // The title buttons' images from the skin (GLOBALINFO's, small ones on dialog frames).
  void LoadButtonMasks();

  // ---- frame (DialogFrame.cpp)
  qv::TDialogFrame Frame() const;
  int BorderWidth() const { return Frame().BorderX; }
  int BorderHeight() const { return Frame().BorderY; }
  int CaptionHeight() const { return Frame().Caption; }
  bool Zoomed() const;
  bool Iconic() const;
  bool CloseEnabled() const;
  bool MaxEnabled() const;
  bool MinEnabled() const;
  // The title buttons' places (window coordinates) from the style and the images' sizes.
  void LayoutButtons();
  TsCaptionButton* ButtonOf(int HitCode);
  // The whole window image into the cache (while the background is marked changed).
  void PaintCache();
  // One title button from the cache's saved strip, in its state, onto the window.
  void RepaintButton(int HitCode);
  // The window region cut from the skin's transparent corners (when it changed).
  void UpdateRegion();
  // The frame bands from the cache onto the window DC.
  void PaintFrameBands();
  // The element under a screen point (HTNOWHERE: the window's own procedure decides).
  int HitTestAt(TPoint Screen);
  // The hot title button follows a hit code (0: none).
  void SetHot(int HitCode, bool Pressed = false);
  void ShowSystemMenu(int X, int Y);

  int HotButton = 0;
  bool Active = true;
  bool ChildrenAttached = false;
  TsCaptionButton BtnMin, BtnMax, BtnClose, BtnHelp;
  std::vector<TRect> RegionRects;
  TSize IconSize{};            // the title icon's size; empty without one
  TFont* TitleFont = nullptr;  // owned
  std::uint32_t StyleBits = 0;
  std::uint32_t ExStyleBits = 0;
  bool RegionChanged = true;
  TRect DlgRect{};
  int DlgWidth = 0;
  int DlgHeight = 0;
  qv::TacFrameKind FrameKind = qv::fkUnknown;
  TBitmap* ButtonStrip = nullptr;       // owned; the title background behind the buttons
  HICON Icon = nullptr;                 // the window's icon, or the application's when the window's cannot be drawn
  TacSystemMenu* SystemMenu = nullptr;  // owned; made the first time it is shown
  TacProvider* Provider = nullptr;

 protected:
  // A dialog holds its children's adapters: the skin's coming, refresh and going reach them from it.
  bool PassesSkinCommandsOn() const override { return true; }

 private:
  // ---- messages (DialogWnd.cpp)
  bool AnswerDialogCommand(TMessage& Message);
  void NCPaint(TMessage& Message);
  void NCHitTest(TMessage& Message);
  void NCLButtonDown(TMessage& Message);
  // The left button released (Screen: where); Code: what the point hits now.
  void ButtonReleased(TPoint Screen);
  void NCLButtonDblClk(TMessage& Message);
  void NCRButton(TMessage& Message);
  void EraseBackground(TMessage& Message);
  void ReattachChildren();
  void MarkChanged();
  // The window's size differs from the one the image was made for.
  bool SizeChanged() const;
  // ---- painting (DialogFrame.cpp)
  void PaintTitle(TBitmap* Cache);
  void PaintButtonImage(TBitmap* Cache, int HitCode, const TsCaptionButton& Btn);
  int ButtonImage(int HitCode) const;
  bool ButtonEnabled(int HitCode) const;
  void SaveButtonStrip();
  void ReadIcon();
  bool Capturing_ = false;       // the mouse is captured while a title button is held
  bool SysMenuRemoved_ = false;  // WS_SYSMENU was taken away by the adapter
  bool Closing_ = false;         // the window is being destroyed
  TSize RegionSize_{};           // the window size the region was cut for
};
