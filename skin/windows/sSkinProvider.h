// The form skin provider: the component that makes one form skinned. It takes over the form's
// window procedure and, while a skin is loaded, composes the whole window image (title bar, caption,
// title buttons, borders, main-menu line, size grip) into its cache bitmap, paints the non-client
// area from it in one go, cuts the window region from the skin's transparent corners, answers hit
// tests that match what it painted, turns clicks on its title buttons into system commands, skins
// the form's menus and window menu, and passes skin changes on to the form's controls. Without a
// skin every message goes to the form's own procedure and the form looks standard.
//
// Also here: the skinned window menu (TsSystemMenu) that replaces the system menu of a form whose
// title bar the provider draws, the published collection of extra title-bar buttons
// (TsTitleButtons) and the title icon settings (TsTitleIcon).
#pragma once

#include "classlib/Win.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "classlib/Controls.h"
#include "classlib/Forms.h"
#include "classlib/Graphics.h"
#include "classlib/Menus.h"
#include "classlib/core/Classes.h"
#include "skin/engine/sCommonData.h"

class TsSkinProvider;
class TsSkinManager;
class TacScrollWnd;

// A title-bar button's painting and hit state: 0 normal, 1 hot, 2 pressed; the mask index of its
// image (-1 none); its place in window coordinates.
struct TsCaptionButton {
  int State = 0;
  int ImageIndex = -1;
  TRect Rect{};
};

// ---- The window menu -------------------------------------------------------------------------------------

// Restore, Move, Size, Minimize, Maximize, a line and Close, each sending its system command to the
// form; with the provider's MakeSkinMenu an "Available skins" submenu on top.
class TsSystemMenu : public TPopupMenu {
 public:
  QV_CLASS_NAME(TsSystemMenu)
  explicit TsSystemMenu(TsSkinProvider* AProvider);

  // Visible and Enabled of every item from the form's border style, border icons, window state
  // and style (nothing without the form).
  void UpdateItems();
  // Puts the "Available skins" submenu and a line on top (a previous one is taken away first):
  // one radio item per available skin, the current one checked, a new column every 20 skins.
  void MakeSkinItems();
  // Takes the "Available skins" submenu and the line after it away.
  void RemoveSkinItems();

  TsSkinProvider* Provider = nullptr;
  TCustomForm* Form = nullptr;
  TMenuItem* ItemRestore = nullptr;
  TMenuItem* ItemMove = nullptr;
  TMenuItem* ItemSize = nullptr;
  TMenuItem* ItemMinimize = nullptr;
  TMenuItem* ItemMaximize = nullptr;
  TMenuItem* ItemClose = nullptr;

 private:
  TMenuItem* AddItem(const std::string& Name, const std::string& Caption, TNotifyEvent OnClick);
  bool HasSysMenu() const;
  void SendCommand(WPARAM Command);
  void RestoreClick(TObject* Sender);
  void MoveClick(TObject* Sender);
  void SizeClick(TObject* Sender);
  void MinimizeClick(TObject* Sender);
  void MaximizeClick(TObject* Sender);
  void CloseClick(TObject* Sender);
  void SkinItemClick(TObject* Sender);
  // The real skin names of the skin items, by their Tag (a name holding "&" is shown as "&&").
  std::vector<std::string> FSkinNames;
};

// The provider of an MDI child whose Maximize item was chosen (read and cleared by the provider).
extern TsSkinProvider* MaximizingMDIChild;
// The provider of the MDI frame form.
extern TsSkinProvider* MDISkinProvider;

// ---- Extra title-bar buttons -----------------------------------------------------------------------------

class TsTitleButton : public TCollectionItem {
 public:
  QV_CLASS_NAME(TsTitleButton)
  explicit TsTitleButton(TCollection* ACollection);
  ~TsTitleButton() override;
  void Assign(TPersistent* Source) override;
  std::string DisplayName() const override { return FName; }

  // Fire OnMouseDown / OnMouseUp with the button as Sender (Index is not passed on).
  void MouseDown(int Index, TMouseButton Button, TShiftState Shift, int X, int Y);
  void MouseUp(int Index, TMouseButton Button, TShiftState Shift, int X, int Y);

  // ---- published
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool Value) { FEnabled = Value; }
  TBitmap* Glyph() const { return FGlyph; }
  void SetGlyph(TBitmap* Value) { FGlyph->Assign(Value); }
  const std::string& Name() const { return FName; }
  void SetName(const std::string& Value);
  bool UseSkinData() const { return FUseSkinData; }
  void SetUseSkinData(bool Value) { FUseSkinData = Value; }
  TMouseEvent OnMouseDown;
  TMouseEvent OnMouseUp;
  TMouseEvent GetOnMouseDown() const { return OnMouseDown; }
  void SetOnMouseDown(TMouseEvent Value) { OnMouseDown = Value; }
  TMouseEvent GetOnMouseUp() const { return OnMouseUp; }
  void SetOnMouseUp(TMouseEvent Value) { OnMouseUp = Value; }

  // Painting and hit state, kept by the provider.
  TsCaptionButton BtnData;

 private:
  bool FEnabled = true;
  TBitmap* FGlyph;
  std::string FName;
  bool FUseSkinData = true;
};

class TsTitleButtons : public TCollection {
 public:
  QV_CLASS_NAME(TsTitleButtons)
  explicit TsTitleButtons(TsSkinProvider* AOwner);
  ~TsTitleButtons() override;
  TPersistent* GetOwner() const override;
  TsTitleButton* Items(int Index) const { return static_cast<TsTitleButton*>(TCollection::Items(Index)); }
  TsTitleButton* Add() { return static_cast<TsTitleButton*>(TCollection::Add()); }

  TsSkinProvider* FOwner;
};

// ---- Title icon settings ---------------------------------------------------------------------------------

class TsTitleIcon : public TPersistent {
 public:
  QV_CLASS_NAME(TsTitleIcon)
  TsTitleIcon();
  ~TsTitleIcon() override;
  void Assign(TPersistent* Source) override;

  TBitmap* Glyph() const { return FGlyph; }
  void SetGlyph(TBitmap* Value) { FGlyph->Assign(Value); }
  int Height() const { return FHeight; }
  void SetHeight(int Value) { FHeight = Value; }
  int Width() const { return FWidth; }
  void SetWidth(int Value) { FWidth = Value; }

 private:
  TBitmap* FGlyph;
  int FHeight = 0;
  int FWidth = 0;
};

// ---- Seams ----------------------------------------------------------------------------------------------

// The control adapter of a form (declared in skin/windows/sSkinProvider/CtrlAdapter.h, included at
// the end): it attaches window adapters to the form's standard controls. The provider makes one in
// InitAdapter while its form is skinned and forwards to it what the form's controls do.
class TacCtrlAdapter;

// The Windows major version the provider follows (from GetVersionEx at start-up). Below 6 the
// system draws the caption itself when the caption text or the active state changes, so the
// provider covers the title bar while it does, and the custom move and resize frame (rmBorder)
// works only there. Tests set another version to run either path; 0 goes back to the system's.
int ProviderWinVersion();
void SetProviderWinVersion(int Major);

// The system metrics the frame is measured with: GetSystemMetrics unless a test sets another
// source (nullptr goes back to GetSystemMetrics).
using TFrameMetricSource = int (*)(int Index);
void SetFrameMetricSource(TFrameMetricSource Source);
// The metric of GetSystemMetrics' index, asked of the system once until ForgetFrameMetrics (a
// change of the system's settings; a provider made).
int FrameMetric(int Index);
void ForgetFrameMetrics();

// ---- The provider ----------------------------------------------------------------------------------------

enum TsGripMode : std::uint8_t { gmNone, gmRightBottom };
enum TsResizeMode : std::uint8_t { rmStandard, rmBorder };
using TAddItemEvent = TMethod<void(TComponent* Item, bool& CanBeAdded, std::string& SkinSection)>;

class TsSkinProvider : public TComponent {
 public:
  QV_CLASS_NAME(TsSkinProvider)
  // Serves the first form in the chain AOwner, its owner, ...; stays inert (touches nothing) when
  // there is none or the form has a provider already.
  explicit TsSkinProvider(TComponent* AOwner);
  ~TsSkinProvider() override;
  void AfterConstruction() override;
  void BeforeDestruction() override;
  void Loaded() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  // Makes the control adapter and lets it adapt the form's controls (only while skinned).
  virtual void InitAdapter();

  // The provider a form's answer to QC_GETPROVIDER names; nullptr for anything else.
  static TsSkinProvider* FromAnswer(LRESULT Answer);
  // The provider serving a form (nullptr when none).
  static TsSkinProvider* ProviderOf(const TCustomForm* Form);
  // The form had WS_SYSMENU (the provider takes it away while it draws the title bar).
  bool HasSysMenu() const;
  // The provider serves its form: not inert, the form alive.
  bool Active() const { return Form != nullptr; }
  // The form is drawn in the skin now.
  bool Skinned() const;

  // ---- published
  bool GetMakeSkinMenu() const { return MakeSkinMenu; }
  void SetMakeSkinMenu(bool Value) { MakeSkinMenu = Value; }
  bool GetShowAppIcon() const { return ShowAppIcon; }
  void SetShowAppIcon(bool Value);
  TAlignment GetCaptionAlignment() const { return CaptionAlignment; }
  void SetCaptionAlignment(TAlignment Value);
  TsTitleIcon* GetTitleIcon() const { return TitleIcon; }
  void SetTitleIcon(TsTitleIcon* Value) { TitleIcon->Assign(Value); }
  TsTitleButtons* GetTitleButtons() const { return TitleButtons; }
  void SetTitleButtons(TsTitleButtons* Value) { TitleButtons->Assign(Value); }
  TsGripMode GetGripMode() const { return GripMode; }
  void SetGripMode(TsGripMode Value) { GripMode = Value; }
  TsCommonData* GetSkinData() const { return SkinData; }
  TsResizeMode GetResizeMode() const { return ResizeMode; }
  void SetResizeMode(TsResizeMode Value) { ResizeMode = Value; }
  bool GetScreenSnap() const { return ScreenSnap; }
  void SetScreenSnap(bool Value) { ScreenSnap = Value; }
  int GetSnapBuffer() const { return SnapBuffer; }
  void SetSnapBuffer(int Value) { SnapBuffer = Value; }
  bool GetUseGlobalColor() const { return UseGlobalColor; }
  void SetUseGlobalColor(bool Value);
  const std::string& GetTitleSkinProp() const { return TitleSkin; }
  void SetTitleSkin(const std::string& Value);
  const std::string& GetMenuLineSkin() const { return MenuLineSkin; }
  void SetMenuLineSkin(const std::string& Value);
  TAddItemEvent GetOnSkinItem() const { return OnSkinItem; }
  void SetOnSkinItem(TAddItemEvent Value) { OnSkinItem = Value; }

  // ---- preparing the form (Provider.cpp)
  // Readies the form for the current skin: window-menu style, system menu, icon indexes, colour,
  // menus (nothing without a manager, a form or its window).
  void PrepareForm();
  // The mask indexes of the title-button images.
  void UpdateIconIndexes();
  // Skinned: WS_SYSMENU taken away (the provider paints the buttons); else given back.
  void SetSystemMenuStyle(bool Skinned);
  // The form's menus made owner-drawn in the skin (or given back).
  void PrepareMenus(bool Skinned);
  // The main menu's bar rebuilt (owner-drawn items); false when locked or without items.
  bool RebuildMainMenu();
  void UpdateMDIForm(bool Create);
  void UpdateFormScrollBars();
  // The control adapter freed (its adapters leave their windows); the removal reached the adapted
  // controls with the rest of the form before.
  void DetachAdapter();
  void BroadcastToAdapter(TMessage& Message);
  // The whole frame composed again at the next non-client paint, which is sent now.
  void RepaintFrame();
  void LockFormRedraw(bool AlsoFrame);
  void UnlockFormRedraw(bool AlsoFrame);
  // TitleSkin, or "FORMTITLE".
  std::string GetTitleSkin() const;
  // The provider's entry for command records of the skin manager (none are handled).
  void ProcessCommand(TMessage& Message) { (void)Message; }

  // ---- frame metrics (FramePaint.cpp)
  bool HasBorder() const;
  int CaptionHeight() const;
  int BorderHeight() const;
  int BorderWidth() const;
  int BottomFrameHeight() const;
  int FormWidth() const;
  int FormHeight() const;
  int MenuHeight() const;
  bool MenuPresent() const;
  int HeaderHeight() const;
  int ClientOffsetX() const;
  int ClientOffsetY() const;
  TSize IconExtent() const;
  TRect IconRect() const;
  // The rows at the window's top the screen does not show: a maximized window's top border.
  int HiddenTitleRows() const;
  // The window's size now; whether the image and the region were made for it.
  TSize WindowSize() const { return TSize{FormWidth(), FormHeight()}; }
  bool ImageFitsWindow() const;
  bool RegionFitsWindow() const;

  // ---- painting and region (FramePaint.cpp)
  void PaintFrameCache();
  void PaintNonClient(HDC DC);
  void PaintFrameNow();
  // The caption written again over the kept title and painted alone (the whole frame is composed and
  // painted when the image was not made for the window as it is now).
  void RepaintCaption();
  void PaintFormBackground(HDC DC, bool RepaintChildren);
  // The WM_PAINT of the form (DC: the one the message carries, or 0).
  void PaintClient(HDC DC = nullptr);
  void PaintTitleButtons();
  void SaveTitleStrip();
  // The kept parts of the frame image (the title under its caption and buttons, the menu line with
  // its items) let go: the next composition paints them anew.
  void FreeKeptParts();
  void BuildRegionRects();
  // A region of the form's shape at (X, Y); the caller owns it.
  HRGN CreateFormRegion(int X, int Y) const;
  void UpdateFormRegion(bool Repaint);
  // The form cut to its frame's shape when the skin, the size or the state changed it.
  void CutFrameIfChanged();
  // A skin switch's cut of the form, before its paint (SkinWalk.h).
  void CutBeforeSwitchPaint();

  // ---- title-bar buttons and the mouse (TitleBar.cpp)
  // The element under the message's screen point; the hot element follows it.
  int HitTest(const TMessage& Message);
  int HitTestAt(TPoint ScreenPoint);
  void SetHotHT(int Code, bool Repaint = true);
  void SetPressedHT(int Code);
  // The mouse left the client area or the frame: the hot element goes unless the mouse is on it.
  void LeaveHot();
  void RepaintButton(int Code);
  // 1-based ordinal of the title button under X (window coordinates); 0 none.
  int ButtonIndexAt(int X) const;
  // A screen point relative to the window's top-left corner.
  void ScreenToFrame(int X, int Y, TPoint& P) const;
  TPoint FormLeftTop() const;
  // Pops the skinned window menu up at a screen point.
  void DropSystemMenu(int X, int Y);
  void CountMenuLineRows();
  // The button record of an element code (nullptr for codes without one).
  TsCaptionButton* ButtonOf(int Code);
  // The MDI frame's active child is maximized and has a menu: its buttons show in the menu line.
  bool ChildButtonsVisible() const;
  // The maximized child can take the command of its menu-line button (101 close, 102 restore,
  // 103 minimize) now.
  bool MDIButtonEnabled(int Code) const;
  // Where the maximized child's icon (its window menu) is in the menu line; empty when none.
  TRect MDIChildIconRect() const;
  // A click on the maximized child's icon in the menu line drops the child's skinned window menu
  // below it; false when the point is elsewhere or the child is not skinned.
  bool MDIChildIcon(TPoint ScreenPoint);

  // The form's window procedure while the provider serves it (WndProc.cpp).
  void NewWndProc(TMessage& Message);

  // ---- published fields
  bool MakeSkinMenu = false;
  bool ShowAppIcon = true;
  TAlignment CaptionAlignment = taLeftJustify;
  TsTitleIcon* TitleIcon = nullptr;        // owned
  TsTitleButtons* TitleButtons = nullptr;  // owned
  TsGripMode GripMode = gmNone;
  TsCommonData* SkinData = nullptr;  // owned; section "FORM"
  TsResizeMode ResizeMode = rmStandard;
  bool ScreenSnap = false;
  int SnapBuffer = 10;
  bool UseGlobalColor = true;
  std::string TitleSkin;
  std::string MenuLineSkin;
  TAddItemEvent OnSkinItem;

  // ---- state
  std::vector<TRect> RegionRects;  // cut out of the window region (transparent corners)
  bool RegionChanged = true;       // the region is built again before the next frame painting
  int HotHitCode = 0;              // the element hot or pressed; 0 none
  TBitmap* TitleBmp = nullptr;     // the title strip without its buttons and caption (kept)
  TBitmap* MenuLineBmp = nullptr;  // the main-menu line with its items (kept)
  bool TitleOnly = false;          // the next composition renews only the title part
  bool SysMenuStyleRemoved = false;
  bool FramePainted = false;  // the frame image was composed in full once
  int TitleButtonMask = -1;   // "TITLEBUTTON" of the extra title buttons
  bool FirstInit = false;
  bool MenuRebuilt = false;
  TsCaptionButton ButtonMin, ButtonMax, ButtonClose, ButtonHelp, ButtonMDIMin, ButtonMDIMax, ButtonMDIClose;
  bool InMenuLoop = false;                // a menu loop or close of the MDI frame runs: no region changes
  bool AnimatingShow = false;             // the first showing is animated
  TacCtrlAdapter* Adapter = nullptr;      // owned
  TacScrollWnd* FormScrollWnd = nullptr;  // owned; the form's skinned scroll bars
  TWndMethod OldWndProc;                  // the form's procedure before the provider's
  bool RegionUpdating = false;            // from setting the region to the end of the next non-client paint
  bool CaptionStyleAside = false;         // the caption style is off for a moment while a caption is stored
  bool FrameDirty = true;                 // the frame is composed in full at the next painting
  TObject* MDIForm = nullptr;             // owned; the MDI client's skinning object of an MDI frame form
  bool FormActive = false;                // the form is drawn active
  TBitmap* TempBmp = nullptr;             // the background under the main-menu line's items
  TCustomForm* Form = nullptr;            // the form served; nullptr while inert
  int MenuLineRows = -1;                  // rows of the main-menu line; -1: measured again
  TsSystemMenu* SystemMenu = nullptr;     // owned
  TBitmap* TitleStripBmp = nullptr;       // the top strip of the frame under the title
  TCustomForm* CaptionForm = nullptr;     // covers the header while the system draws a caption
  TWndMethod CaptionFormOldWndProc;
  bool HasParentBgChild = true;

 private:
  // ---- lifecycle (Provider.cpp)
  void GiveFormBack();
  void ApplyGlobalColor();
  void RestoreDesignedColor();
  void NotifyFormChanged();
  // ---- painting (FramePaint.cpp)
  // The image sized to the window; false when no image that large can be had (the frame is the
  // system's then, until the window's size changes).
  bool SizeImage(int Width, int Height);
  bool PlainFrame() const { return PlainFrameSize_ != TSize{}; }
  // The messages of the frame and the client go to the form's own procedure while the frame is
  // the system's; another size tries the image again.
  bool PlainFrameMessage(TMessage& Message);
  // Where the skin's backdrop behind the title buttons goes (empty without one).
  TRect ButtonsBackdrop() const;
  void PaintIcon(TBitmap* Cache);
  // KeptPlace: the caption goes where the last composition put it (its title and buttons are kept).
  void PaintCaption(TBitmap* Cache, bool KeptPlace = false);
  // Where the caption is written: after the icon, before the title buttons and their backdrop, in
  // the rows of the title strip.
  TRect CaptionPlace() const;
  // The canvas takes the caption's font: the form's, bold, as high as the system's caption font.
  void SelectCaptionFont(TCanvas* Canvas);
  void PaintMenuLine(TBitmap* Cache);
  void PaintMDIArea(TBitmap* Cache);
  void PaintFormOnPaint(TBitmap* Cache);
  void PaintTitleStrip();
  void PlaceButton(TsCaptionButton& Button, int& X, int Width, int Height);
  void PaintMDIButtons();
  bool TitleStripFits() const;
  int MenuLineTop() const;
  bool BorderStateless() const;
  void PaintChildOnly(HDC DC, TControl* Child);
  // ---- the title bar (TitleBar.cpp)
  struct TButtonSlot;
  std::vector<TButtonSlot> ShownButtons() const;
  TSize SystemButtonSize() const;
  TSize MDIButtonSize() const;
  int TitleButtonWidth(int Index) const;
  bool MaximizeAllowed() const;
  bool MinimizeShown() const;
  bool MaximizeEnabled() const;
  bool RestoreEnabled() const;
  bool MinimizeEnabled() const;
  bool HelpShown() const;
  void SetElementState(int Code, int State);
  void ButtonDown(TMessage& Message);
  void ButtonUp(TMessage& Message, int Code, bool NonClient);
  void ButtonDoubleClick(TMessage& Message);
  void RightButtonUp(TMessage& Message);
  void TrackPressed(TPoint ScreenPoint);
  void ButtonCommand(int Code, TMessage& Message);
  void WindowStateCommand(int Code);
  // ---- the window procedure (WndProc.cpp, WndMessages.cpp)
  bool AnswerAnyState(TMessage& Message);
  void PlainMessage(TMessage& Message);
  void AnswerPlainSkinLoaded(TMessage& Message);
  void SkinnedCommand(TMessage& Message);
  void SkinnedMessage(TMessage& Message);
  void SkinRemoved(TMessage& Message);
  void SkinLoaded(TMessage& Message);
  void SkinRefresh(TMessage& Message);
  // The skin change passed on to what lies inside the form, the adapted controls and the foreign
  // windows among it (PassSkinCommandOn).
  void BroadcastSkinChange(TMessage& Message);
  void WMCreate(TMessage& Message);
  void WMSize(TMessage& Message);
  void WMActivate(TMessage& Message);
  void WMSetText(TMessage& Message);
  void WMPaint(TMessage& Message);
  void WMEraseBkgnd(TMessage& Message);
  void WMWindowPosChanging(TMessage& Message);
  void WMWindowPosChanged(TMessage& Message);
  void WMNCHitTest(TMessage& Message);
  void WMNCPaint(TMessage& Message);
  void WMNCActivate(TMessage& Message);
  void WMSysCommand(TMessage& Message);
  void MDIChildSysCommand(TMessage& Message);
  void WMMouseMove(TMessage& Message);
  void WMParentNotify(TMessage& Message);
  void WMEnterMenuLoop(TMessage& Message);
  void WMMDIActivate(TMessage& Message);
  void WMPrint(TMessage& Message);
  void CMShowingChanged(TMessage& Message);
  // An MDI child showing or activated: readied for the skin when it is not yet, the frame's menu
  // line and client painted again.
  void MDIChildShown();
  // The MDI child's window is readied for the skin: a window menu made, the style without it.
  bool MDIChildReady() const;
  // An MDI child that shows now and is not ready yet is readied and its frame painted.
  void ReadyShownMDIChild();
  void CMMouseEnter(TMessage& Message);
  void Snap(WINDOWPOS& Pos);
  // ---- caption form and the MDI frame (CaptionForms.cpp)
  void ShowCaptionForm();
  void HideCaptionForm();
  void CaptionFormProc(TMessage& Message);
  void RefreshMDIFrame();
  void ShowMDIButtonsForm();
  void FreeMDIButtonsForm();
  bool IsMaximizedMDIChild() const;
  // The form is the active window now (an MDI child: the active child of the active frame).
  bool ActiveNow() const;
  TsSkinProvider* FrameProvider() const;

  TColor DesignedColor_ = clBtnFace;
  bool ColorSaved_ = false;
  bool FrameActiveState_ = false;  // the active state the frame was composed in
  TSize RegionSize_{};             // the window size the region was cut for
  TSize PlainFrameSize_{};         // the window size no image could be had for
  // What a kept part was composed for: the background under it (the window's size, its state
  // where the background shows it, a colour of the form's own) and its own inputs. A kept part is
  // used while its record is that of the frame now.
  struct TBaseKey {
    TSize Window{};
    int State = 0;
    TColor Color = clNone;
    bool operator==(const TBaseKey&) const = default;
  };
  struct TTitleKey {
    TBaseKey Base;
    bool Active = false;
    int Section = -1;
    TRect Icon{}, Backdrop{};
    HICON OwnIcon = nullptr;
    HBITMAP Glyph = nullptr;
    bool operator==(const TTitleKey&) const = default;
  };
  struct TMenuLineKey {
    TBaseKey Base;
    TRect Line{};
    bool operator==(const TMenuLineKey&) const = default;
  };
  TBaseKey BaseKey() const;
  TTitleKey TitleKey() const;
  std::optional<TTitleKey> KeptTitle_;                              // TitleBmp holds the title composed for it
  std::optional<TMenuLineKey> KeptMenuLine_;                        // MenuLineBmp holds the line composed for it
  bool TitleActive_ = false;                                        // the active state TitleBmp was composed in
  TRect CaptionPlace_{};                                            // the caption's place in the last composition
  TRect CaptionInk_{};                                              // where the caption's pixels may lie in the image
  int CaptionFontHeight_ = -1;                                      // the system's caption font height; -1: asked again
  std::unique_ptr<TFont> CaptionFont_ = std::make_unique<TFont>();  // never made into a handle
  std::shared_ptr<bool> Alive_ = std::make_shared<bool>(true);
};

// ---- Process-wide state of the providers ---------------------------------------------------------------

// The provider whose form last changed its window state through a title-bar button or MDI
// activation.
extern TsSkinProvider* StateChangingProvider;
// From an MDI child's creation while the active child is maximized until its first paint.
extern bool ChildMaximizing;
// A title-bar button is held down.
extern bool ButtonPressed;
// Keeps RebuildMainMenu from running inside itself.
extern bool MenuRebuildLock;

// clang-format off
#include "skin/windows/sSkinProvider/CtrlAdapter.h"
// clang-format on
