// The skinned page control and its pages.
//
// TsPageControl is the class library's page control painted in the skin. The native tab control
// still lays the tabs out, hit-tests them and switches pages; the control paints the page frame,
// the tab strip and the tabs itself from its cache bitmap: the frame and the inactive tabs live in
// the cache (rebuilt only when BGChanged), the active tab is painted on top of them, larger, and a
// hovered tab is repainted on the window alone. On top of the class library it adds hot tracking of
// single tabs, close buttons on the tabs (skinned: painted and hit-tested by the control; plain:
// one TsTabBtn per page), a skinned up-down that replaces the native scroll arrows of a single-line
// strip, per-page tab sections, the page hint and the skin manager's page-change animation.
//
// TsTabSheet is its page: painted from the page control's cache, through which its children find
// the background behind them. TsTabBtn is the close button of a tab while the control is plain.
#pragma once

#include "classlib/Win.h"

#include <cstdint>
#include <string>
#include <vector>

#include "classlib/ComCtrls.h"
#include "skin/controls/sCommonFrame.h"
#include "skin/controls/sSpeedButton.h"
#include "skin/controls/sUpDown.h"

class TsPageControl;
class TsTabSheet;

enum TacCloseAction : std::uint8_t { acaHide, acaFree };
// PageIndex: the page whose close button was clicked.
using TacCloseBtnClick = TMethod<void(TComponent* Sender, int PageIndex, bool& CanClose, TacCloseAction& Action)>;

// The close button on a tab of a plain page control: a flat speed button showing a bold red "X".
class TsTabBtn : public TsSpeedButton {
 public:
  QV_CLASS_NAME(TsTabBtn)
  explicit TsTabBtn(TComponent* AOwner);

  // The page the button closes (nullptr once the page is gone).
  TsTabSheet* Page = nullptr;
};

// Skin state stored with a page; it has no effect on painting.
class TsTabSkinData : public TPersistent {
 public:
  QV_CLASS_NAME(TsTabSkinData)
  bool CustomColor() const { return FCustomColor; }
  void SetCustomColor(bool Value) { FCustomColor = Value; }
  bool CustomFont() const { return FCustomFont; }
  void SetCustomFont(bool Value) { FCustomFont = Value; }
  const std::string& SkinSection() const { return FSkinSection; }
  void SetSkinSection(const std::string& Value) { FSkinSection = Value; }

 private:
  bool FCustomColor = false;
  bool FCustomFont = false;
  std::string FSkinSection;
};

class TsTabSheet : public TTabSheet {
 public:
  QV_CLASS_NAME(TsTabSheet)
  explicit TsTabSheet(TComponent* AOwner);
  ~TsTabSheet() override;
  void BeforeDestruction() override;
  void WndProc(TMessage& Message) override;

  // ---- published
  TsTabSkinData* SkinData() const { return FSkinData; }
  const std::string& ButtonSkin() const { return FButtonSkin; }
  void SetButtonSkin(const std::string& Value);
  // The section of this page's tab; empty: the default section of the tabs' side and style.
  const std::string& TabSkin() const { return FTabSkin; }
  void SetTabSkin(const std::string& Value);
  // The tab shows a close button while the page control's ShowCloseBtns is set.
  bool UseCloseBtn() const { return FUseCloseBtn; }
  void SetUseCloseBtn(bool Value);

  // The close button of the plain look (nullptr when none).
  TsTabBtn* CloseButton() const { return FCloseButton; }
  // The page control when it is a skinned one.
  TsPageControl* SkinnedControl() const;

 private:
  friend class TsPageControl;
  bool ControlSkinned() const;
  bool SkinCommand(TMessage& Message);
  void PaintMessage(TMessage& Message);
  void PrintMessage(TMessage& Message);
  void ChangedTabLook();

  TsTabSkinData* FSkinData = nullptr;
  std::string FButtonSkin;
  std::string FTabSkin;
  bool FUseCloseBtn = true;
  TsTabBtn* FCloseButton = nullptr;
};

class TsPageControl : public TacSkinnedControl<TPageControl> {
 public:
  QV_CLASS_NAME(TsPageControl)
  explicit TsPageControl(TComponent* AOwner);
  ~TsPageControl() override;
  void BeforeDestruction() override;
  void WndProc(TMessage& Message) override;

  // ---- published
  // The active page (nullptr when it is not a TsTabSheet); set through the class library's setter.
  TsTabSheet* ActivePage() const { return dynamic_cast<TsTabSheet*>(TPageControl::ActivePage()); }
  const std::string& CloseBtnSkin() const { return FCloseBtnSkin; }
  void SetCloseBtnSkin(const std::string& Value);
  bool ShowCloseBtns() const { return FShowCloseBtns; }
  void SetShowCloseBtns(bool Value);
  TacCloseBtnClick OnCloseBtnClick;
  TacCloseBtnClick GetOnCloseBtnClick() const { return OnCloseBtnClick; }
  void SetOnCloseBtnClick(TacCloseBtnClick Value) { OnCloseBtnClick = Value; }

  // ---- geometry (client coordinates)
  // The rectangle a tab is painted in (empty for a tab index out of range or without an active
  // page).
  TRect SkinTabRect(int TabIndex, bool Active);
  TRect TabsRect();
  TRect PageFrameRect();
  int TabRow(int TabIndex);
  // Tabs of a single-line strip scrolled out of sight (0 when not skinned).
  int HiddenTabsCount();
  // The page whose tab contains P (-1 when none).
  int TabAtPos(TPoint P);
  int VisibleTabsCount() const;
  // The close button of a page's tab while skinned; empty otherwise.
  TRect CloseBtnRect(TTabSheet* Page);
  // The section of the page frame for the tabs' side, and the tab section of a page (empty when
  // the skin paints no tab background for it).
  std::string FrameSectionName() const;
  std::string TabSectionName(TTabSheet* Page) const;

  // ---- painting (State: 0 normal, 1 hot, 2 active)
  void PaintTab(int PageIndex, int State, TBitmap* Bmp, TPoint Offset);
  void PaintTabToDC(int PageIndex, int State, HDC DC);
  void PaintInactiveTabs(const TsCacheInfo& CacheInfo);
  void RepaintTab(int PageIndex, int State);
  void RepaintTabStrip(HDC DC);
  void RepaintTabWithButton(int PageIndex, int BtnState, int TabState);
  virtual void DrawTabButton(HDC DC, const TRect& R, int State, HDC SrcDC);
  void DrawCloseButtons(HDC DC);
  // The state a page's close button is painted in now: hot or pressed while the mouse is on it.
  int CloseBtnState(int PageIndex, int Normal) const;
  void UpdateCloseBtnSkin();

  // ---- the tab scroller and the plain close buttons
  void UpdateUpDown();
  void PlaceUpDown();
  void UpdateCloseButtons();

  // ---- state read by tests
  TsUpDown* UpDown() const { return FUpDown; }
  int HotTabIndex() const { return FHotTabIndex; }
  int PaintedTabsCount() const { return FPaintedTabsCount; }
  const std::string& FrameSection() const { return FFrameSection; }
  bool TabSizeChanged() const { return FTabSizeChanged; }
  int BtnSkinIndex() const { return FBtnSkinIndex; }
  TSize CloseBtnSize() const { return TSize{FBtnWidth, FBtnHeight}; }
  // The page-change animation of the control's manager is switched on.
  bool PageChangeAnimated() const;

 protected:
  void UpdateActivePage() override;
  void SkinLoaded() override;
  void CreateWnd() override;

  bool PassesSkinCommandsOn() const override { return true; }
  bool AnswerAnyState(TMessage& Message) override;
  void AfterSkinChange(int Command) override;
  void RepaintAfterUpdate() override;
  bool SkinnedMessage(TMessage& Message) override;
  bool AfterCommonMessage(TMessage& Message) override;
  void AfterInherited(TMessage& Message) override;

 private:
  friend class TsTabSheet;
  // ---- tabs and pages
  TTabSheet* PageOf(int PageIndex) const;
  bool UsesCloseBtn(TTabSheet* Page) const;
  bool HasTabs();
  int TabState(TTabSheet* Page) const;
  TRect ItemRect(int TabIndex);
  // The section (name and indexes) a page's tab is painted in; Section -1 when none.
  struct TTabLook {
    std::string Name;
    int Section = -1;
    int Mask = -1;
  };
  TTabLook TabLookOf(TTabSheet* Page) const;
  void PaintTabContent(TTabSheet* Page, int State, TBitmap* Bmp, TRect R, TPoint Offset, int SectionIndex);
  void PaintSideTabText(TTabSheet* Page, int State, TBitmap* Bmp, TRect R, int SectionIndex);

  // ---- messages
  void PaintMessage(TMessage& Message);
  void PrintMessage(TMessage& Message);
  void NcPaintMessage(TMessage& Message);
  bool MouseMoveMessage(TMessage& Message);
  bool MouseLeaveMessage(TMessage& Message);
  bool CloseButtonMouse(TMessage& Message, bool Down);
  bool NotifyMessage(TMessage& Message);
  void HintShowMessage(TMessage& Message);
  void TabSizePending();
  // A new tab size is laid out: the control paints again, all of it.
  void TabSizeSettled();
  // The hot tab back to normal (its close button too).
  void LeaveHotTab(bool LookFlag);
  void ClosePage(TTabSheet* Page, int PageIndex, bool CanClose, TacCloseAction Action);

  // ---- the tab scroller and plain close buttons
  void CreateUpDown();
  void FreeUpDown();
  void UpDownClick(TObject* Sender, TUDBtnType Button);
  void CloseButtonClick(TObject* Sender);
  void FreeCloseButton(TTabSheet* Page);
  // With close buttons the tabs are widened so that the caption keeps clear of the button.
  void ApplyTabPadding();
  // The width taken by a tab's close button (0 when the tabs show none).
  int CloseBtnSpace() const;
  // A page going away gives up its close button.
  void PageGoes(TsTabSheet* Page);

  int FPaintedTabsCount = 0;
  std::string FFrameSection;
  TsUpDown* FUpDown = nullptr;
  int FHotTabIndex = -1;
  int FBtnSkinIndex = -1;
  int FBtnWidth = 0;
  int FBtnHeight = 0;
  bool FTabSizeChanged = false;
  std::string FCloseBtnSkin;
  bool FShowCloseBtns = false;
  // Inside CloseButtonClick: a close button freed meanwhile is freed once the click is over.
  int FInCloseClick = 0;
  std::vector<TsTabBtn*> FOrphanButtons;
  bool FUpdatingButtons = false;
  bool FUpdatingUpDown = false;
  // The close button shown hot or pressed (page index and state; -1: none): paints keep its look.
  int FBtnHotPage = -1;
  int FBtnHotState = 0;
  int FPaddingExtra = 0;
  // The native scroll arrows were taken away (the plain look needs a new window to get them back).
  bool FNativeArrowsGone = false;
  // The page whose close button the left button went down on.
  TTabSheet* FPressedBtnPage = nullptr;
};

// The left mouse button went down on a close button (one pressed close button at a time).
extern bool CloseBtnPressed;
