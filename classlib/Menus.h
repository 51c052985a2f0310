// Menus of the class library on real menu handles: menu items in a tree, the form's main menu
// (a menu bar) and popup menus.
//
// Every item with sub-items owns a menu handle that lists its visible sub-items; an item's
// change rebuilds the handle of its parent. Items carry a process-unique command number and
// their own address as item data, so WM_COMMAND, WM_MEASUREITEM and WM_DRAWITEM (ODT_MENU) find
// the item from any window: the forms pass those messages to DispatchMenuMessage, popup menus
// are tracked with a hidden window of this unit that does the same. A menu whose OwnerDraw is
// set makes its items MFT_OWNERDRAW: they are measured with OnMeasureItem and drawn with
// OnAdvancedDrawItem (or a plain look when none is assigned).
#pragma once

#include "classlib/Win.h"

#include <cstdint>
#include <string>
#include <vector>

#include "classlib/ControlEnums.h"
#include "classlib/Forward.h"
#include "classlib/Graphics.h"
#include "classlib/ImgList.h"
#include "classlib/core/Classes.h"
#include "classlib/core/Menus.h"

enum TMenuBreak : std::uint8_t { mbNone, mbBreak, mbBarBreak };
enum TMenuAnimations : std::uint8_t { maLeftToRight, maRightToLeft, maTopToBottom, maBottomToTop, maNone };
using TMenuAnimation = TSet<TMenuAnimations>;
enum TPopupAlignment : std::uint8_t { paLeft, paRight, paCenter };
enum TTrackButton : std::uint8_t { tbRightButton, tbLeftButton };
enum TFindItemKind : std::uint8_t { fkCommand, fkHandle, fkShortCut };

using TMenuDrawItemEvent = TMethod<void(TObject* Sender, TCanvas* ACanvas, TRect ARect, bool Selected)>;
using TAdvancedMenuDrawItemEvent = TMethod<void(TObject* Sender, TCanvas* ACanvas, TRect ARect, TOwnerDrawState State)>;
using TMenuMeasureItemEvent = TMethod<void(TObject* Sender, TCanvas* ACanvas, int& Width, int& Height)>;
using TMenuChangeEvent = TMethod<void(TObject* Sender, TMenuItem* Source, bool Rebuild)>;

class TMenuItem : public TComponent {
 public:
  QV_CLASS_NAME(TMenuItem)
  explicit TMenuItem(TComponent* AOwner);
  ~TMenuItem() override;
  void BeforeDestruction() override;

  // ---- look
  const std::string& Caption() const { return Caption_; }
  void SetCaption(const std::string& v);
  // The item's own glyph (created on first use).
  TBitmap* Bitmap();
  void SetBitmap(TBitmap* v) { Bitmap()->Assign(v); }
  bool HasBitmap() const { return Bitmap_ && !Bitmap_->Empty(); }
  int ImageIndex() const { return ImageIndex_; }
  void SetImageIndex(int v);
  TMenuBreak Break() const { return Break_; }
  void SetBreak(TMenuBreak v);
  bool RadioItem() const { return RadioItem_; }
  void SetRadioItem(bool v);
  int GroupIndex() const { return GroupIndex_; }
  void SetGroupIndex(int v) { GroupIndex_ = v; }
  bool Checked() const { return Checked_; }
  void SetChecked(bool v);
  bool AutoCheck() const { return AutoCheck_; }
  void SetAutoCheck(bool v) { AutoCheck_ = v; }
  bool Default() const { return Default_; }
  void SetDefault(bool v);
  bool Enabled() const { return Enabled_; }
  void SetEnabled(bool v);
  bool Visible() const { return Visible_; }
  void SetVisible(bool v);
  TShortCut ShortCut() const { return ShortCut_; }
  void SetShortCut(TShortCut v);
  const std::string& Hint() const { return Hint_; }
  void SetHint(const std::string& v) { Hint_ = v; }
  bool IsLine() const { return Caption_ == "-"; }

  // ---- tree
  int Count() const { return static_cast<int>(Items_.size()); }
  TMenuItem* Items(int Index) const;
  TMenuItem* Parent() const { return Parent_; }
  int MenuIndex() const;
  void SetMenuIndex(int v);
  int IndexOf(const TMenuItem* Item) const;
  void Add(TMenuItem* Item) { Insert(Count(), Item); }
  // Raises EMenuError when the item already has a parent or the index is out of range.
  void Insert(int Index, TMenuItem* Item);
  // Takes the sub-item out (it stays alive, without parent).
  void Delete(int Index);
  void Remove(TMenuItem* Item);
  // Frees every sub-item.
  void Clear();
  // The sub-item with that caption, '&' left out on both sides, compared without case.
  TMenuItem* Find(const std::string& ACaption) const;
  // The menu this item belongs to (through its parents), nullptr when none.
  TMenu* GetParentMenu() const;

  // ---- handles
  WORD Command() const { return Command_; }
  // The submenu handle of an item with sub-items (made on first use).
  HMENU Handle();
  bool HandleAllocated() const { return Handle_ != nullptr; }

  virtual void Click();
  // Draws the item on ACanvas (owner-drawn menus): OnAdvancedDrawItem, OnDrawItem or the plain look.
  virtual void AdvancedDrawItem(TCanvas* ACanvas, TRect ARect, TOwnerDrawState State, bool TopLevel);
  // The plain look of an owner-drawn item, whatever handlers it has.
  void DrawPlainItem(TCanvas* ACanvas, TRect ARect, TOwnerDrawState State, bool TopLevel);
  virtual void MeasureItem(TCanvas* ACanvas, int& Width, int& Height);

  TNotifyEvent OnClick;
  TMenuDrawItemEvent OnDrawItem;
  TAdvancedMenuDrawItemEvent OnAdvancedDrawItem;
  TMenuMeasureItemEvent OnMeasureItem;
  TMenuChangeEvent OnChange;

  // The live item with that command number, or with that address (nullptr when it is not one).
  static TMenuItem* FromCommand(WORD Command);
  static TMenuItem* FromData(ULONG_PTR Data);
  static long LiveCount();

 protected:
  friend class TMenu;
  friend class TMainMenu;
  // A property changed: the parent's handle is rebuilt (Rebuild: the sub-items changed too).
  virtual void MenuChanged(bool Rebuild);
  void SetParentComponent(TComponent* Value);
  // Refills Handle_ with the visible sub-items.
  void RebuildHandle();
  // The item's entry in its parent's menu handle.
  void FillItemInfo(MENUITEMINFOA& info, std::string& text);
  TMenu* Menu_ = nullptr;  // set on the root item of a menu

 private:
  void TurnSiblingsOff();
  bool IsTopLevel() const;
  std::string Caption_;
  TBitmap* Bitmap_ = nullptr;
  int ImageIndex_ = -1;
  TMenuBreak Break_ = mbNone;
  bool RadioItem_ = false;
  int GroupIndex_ = 0;
  bool Checked_ = false;
  bool AutoCheck_ = false;
  bool Default_ = false;
  bool Enabled_ = true;
  bool Visible_ = true;
  TShortCut ShortCut_ = 0;
  std::string Hint_;
  std::vector<TMenuItem*> Items_;
  TMenuItem* Parent_ = nullptr;
  WORD Command_ = 0;
  HMENU Handle_ = nullptr;
  bool MenuBar_ = false;  // the handle is a menu bar (root of a main menu)
};

class TMenu : public TComponent {
 public:
  QV_CLASS_NAME(TMenu)
  explicit TMenu(TComponent* AOwner);
  ~TMenu() override;
  void BeforeDestruction() override;

  TMenuItem* Items() const { return Items_; }
  virtual HMENU Handle();
  bool OwnerDraw() const { return OwnerDraw_; }
  void SetOwnerDraw(bool v);
  TCustomImageList* Images() const { return Images_; }
  void SetImages(TCustomImageList* v);
  TBiDiMode BiDiMode() const { return BiDiMode_; }
  void SetBiDiMode(TBiDiMode v);
  // The window showing the menu (the form of a main menu, which becomes its menu bar); 0 when none.
  HWND WindowHandle() const { return WindowHandle_; }
  void SetWindowHandle(HWND v);

  // Runs the item with that command; false when the menu has none.
  bool DispatchCommand(WORD ACommand);
  // A submenu is about to open: the item owning it gets a click (to update its sub-items).
  bool DispatchPopup(HMENU AHandle);
  TMenuItem* FindItem(std::uintptr_t Value, TFindItemKind Kind);
  bool IsShortCut(TShortCut shortCut);

  TMenuChangeEvent OnChange;

 protected:
  friend class TMenuItem;
  virtual void MenuChanged(TObject* Sender, TMenuItem* Source, bool Rebuild);
  void Notification(TComponent* AComponent, TOperation Operation) override;
  TMenuItem* Items_ = nullptr;
  bool OwnerDraw_ = false;
  TCustomImageList* Images_ = nullptr;
  TBiDiMode BiDiMode_ = bdLeftToRight;
  HWND WindowHandle_ = nullptr;
};

class TMainMenu : public TMenu {
 public:
  QV_CLASS_NAME(TMainMenu)
  explicit TMainMenu(TComponent* AOwner);
  bool AutoMerge() const { return AutoMerge_; }
  void SetAutoMerge(bool v) { AutoMerge_ = v; }

 protected:
  void MenuChanged(TObject* Sender, TMenuItem* Source, bool Rebuild) override;

 private:
  bool AutoMerge_ = false;
};

class TPopupMenu : public TMenu {
 public:
  QV_CLASS_NAME(TPopupMenu)
  explicit TPopupMenu(TComponent* AOwner);
  ~TPopupMenu() override;
  // Shows the menu at a screen point; returns after it closed (the chosen item's OnClick runs
  // when its command arrives, just after).
  virtual void Popup(int X, int Y);
  TComponent* PopupComponent() const { return PopupComponent_; }
  void SetPopupComponent(TComponent* v);
  TPopupAlignment Alignment() const { return Alignment_; }
  void SetAlignment(TPopupAlignment v) { Alignment_ = v; }
  bool AutoPopup() const { return AutoPopup_; }
  void SetAutoPopup(bool v) { AutoPopup_ = v; }
  TTrackButton TrackButton() const { return TrackButton_; }
  void SetTrackButton(TTrackButton v) { TrackButton_ = v; }
  TMenuAnimation MenuAnimation() const { return MenuAnimation_; }
  void SetMenuAnimation(TMenuAnimation v) { MenuAnimation_ = v; }
  TPoint PopupPoint() const { return PopupPoint_; }
  TNotifyEvent OnPopup;
  TNotifyEvent OnClose;

 protected:
  virtual void DoPopup(TObject* Sender);
  void Notification(TComponent* AComponent, TOperation Operation) override;

 private:
  TComponent* PopupComponent_ = nullptr;
  TPopupAlignment Alignment_ = paLeft;
  bool AutoPopup_ = true;
  TTrackButton TrackButton_ = tbRightButton;
  TMenuAnimation MenuAnimation_;
  TPoint PopupPoint_{};
};

QV_EXCEPTION_CLASS(EMenuError, Exception)

// The window procedure side of menus: WM_COMMAND of a menu item (LParam 0, notification 0),
// WM_MEASUREITEM / WM_DRAWITEM of type ODT_MENU, WM_INITMENUPOPUP and WM_MENUCHAR (the letter an
// item's caption marks with "&") are answered for the menus of this library (true: the message
// is handled and Message.Result set).
bool DispatchMenuMessage(TMessage& Message);
// The window that owns tracked popup menus.
HWND PopupListWindow();
