// The common controls of the class library: tab control and page control, status bar, track
// bar, up-down, tool bar, list view and tree view, each on its system window class.
#pragma once

#include "classlib/Win.h"

#include <cstdint>
#include <string>
#include <vector>

#include "classlib/Forward.h"
#include "classlib/Controls.h"
#include "classlib/ImgList.h"
#include "classlib/Menus.h"
#include "classlib/ControlEnums.h"
#include "classlib/core/Classes.h"

// ---------------------------------------------------------------------------------------------
// Tab control and page control.

enum TTabStyle : std::uint8_t { tsTabs, tsButtons, tsFlatButtons };
enum TTabPosition : std::uint8_t { tpTop, tpBottom, tpLeft, tpRight };

using TTabChangingEvent = TMethod<void(TObject* Sender, bool& AllowChange)>;
using TDrawTabEvent = TMethod<void(TCustomTabControl* Control, int TabIndex, const TRect& Rect, bool Active)>;

// The tab captions, kept in the window (and in a list while there is none).
class TTabStrings : public TStrings {
 public:
  QV_CLASS_NAME(TTabStrings)
  explicit TTabStrings(TCustomTabControl* tabs) : Tabs_(tabs) {}
  int Count() const override;
  void Insert(int index, const std::string& s) override;
  void Delete(int index) override;
  void Clear() override;

 protected:
  std::string Get(int index) const override;
  void Put(int index, const std::string& s) override;
  TObject* GetObject(int index) const override;
  void PutObject(int index, TObject* object) override;

 private:
  TCustomTabControl* Tabs_;
};

class TCustomTabControl : public TWinControl {
 public:
  QV_CLASS_NAME(TCustomTabControl)
  explicit TCustomTabControl(TComponent* AOwner);
  ~TCustomTabControl() override;

  TStrings* Tabs() const { return Tabs_; }
  void SetTabs(TStrings* v) { Tabs_->Assign(v); }
  int TabIndex() const;
  void SetTabIndex(int v);
  TTabStyle Style() const { return Style_; }
  void SetStyle(TTabStyle v);
  TTabPosition TabPosition() const { return TabPosition_; }
  void SetTabPosition(TTabPosition v);
  bool HotTrack() const { return HotTrack_; }
  void SetHotTrack(bool v);
  bool MultiLine() const { return MultiLine_; }
  void SetMultiLine(bool v);
  bool OwnerDraw() const { return OwnerDraw_; }
  void SetOwnerDraw(bool v);
  TCustomImageList* Images() const { return Images_; }
  void SetImages(TCustomImageList* v);
  // A canvas bound to whatever DC the drawing code gives it.
  TCanvas* Canvas() const { return Canvas_; }
  // The client area left for the pages (TCM_ADJUSTRECT of the client rectangle).
  TRect DisplayRect();
  void AdjustClientRect(TRect& Rect) override;
  void Dispatch(TMessage& Message) override;

  TTabChangingEvent OnChanging;
  TNotifyEvent OnChange;
  TDrawTabEvent OnDrawTab;

 protected:
  friend class TTabStrings;
  // Asked before the selection changes: false keeps the present tab.
  virtual bool CanChange();
  virtual void Change();
  virtual void DrawTab(int TabIndex, const TRect& Rect, bool Active);
  virtual int GetImageIndex(int TabIndex) { return TabIndex; }
  void UpdateTabImages();
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

  TTabStrings* Tabs_ = nullptr;
  TStringList* SavedTabs_ = nullptr;
  int SavedTabIndex_ = -1;
  TTabStyle Style_ = tsTabs;
  TTabPosition TabPosition_ = tpTop;
  bool HotTrack_ = false;
  bool MultiLine_ = false;
  bool OwnerDraw_ = false;
  TCustomImageList* Images_ = nullptr;
  TCanvas* Canvas_ = nullptr;

 private:
  bool CNNotify(TMessage& Message);
  void CNDrawItem(TMessage& Message);
};

class TTabControl : public TCustomTabControl {
 public:
  QV_CLASS_NAME(TTabControl)
  using TCustomTabControl::TCustomTabControl;
};

class TTabSheet : public TWinControl {
 public:
  QV_CLASS_NAME(TTabSheet)
  explicit TTabSheet(TComponent* AOwner);
  void BeforeDestruction() override;
  TPageControl* PageControl() const { return PageControl_; }
  void SetPageControl(TPageControl* v);
  bool TabVisible() const { return TabVisible_; }
  void SetTabVisible(bool v);
  // The tab's place among the visible tabs (-1 when its tab is hidden).
  int TabIndex() const;
  int PageIndex() const;
  void SetPageIndex(int v);
  int ImageIndex() const { return ImageIndex_; }
  void SetImageIndex(int v);
  void Dispatch(TMessage& Message) override;

 protected:
  void CreateParams(TCreateParams& Params) override;

 private:
  friend class TPageControl;
  TPageControl* PageControl_ = nullptr;
  bool TabVisible_ = true;
  int ImageIndex_ = -1;
};

class TPageControl : public TCustomTabControl {
 public:
  QV_CLASS_NAME(TPageControl)
  explicit TPageControl(TComponent* AOwner);
  void BeforeDestruction() override;
  int PageCount() const { return static_cast<int>(Pages_.size()); }
  TTabSheet* Pages(int Index) const;
  TTabSheet* ActivePage() const { return ActivePage_; }
  void SetActivePage(TTabSheet* v);
  int ActivePageIndex() const { return ActivePage_ ? ActivePage_->PageIndex() : -1; }
  void SetActivePageIndex(int v);
  // The next or previous page with a visible tab after CurrentPage.
  TTabSheet* FindNextPage(TTabSheet* CurrentPage, bool GoForward, bool CheckTabVisible);
  void SelectNextPage(bool GoForward, bool CheckTabVisible = true);

 protected:
  friend class TTabSheet;
  // Makes the tab strip show the active page's tab.
  virtual void UpdateActivePage();
  void Change() override;
  int GetImageIndex(int TabIndex) override;
  void CreateWnd() override;
  void InsertPage(TTabSheet* Page);
  void RemovePage(TTabSheet* Page);
  void UpdateTab(TTabSheet* Page);
  // Rebuilds the tab captions from the pages.
  void RebuildTabs();
  TTabSheet* PageForTab(int TabIndex) const;

 private:
  std::vector<TTabSheet*> Pages_;
  TTabSheet* ActivePage_ = nullptr;
};

// ---------------------------------------------------------------------------------------------
// Status bar.

enum TStatusPanelStyle : std::uint8_t { psText, psOwnerDraw };
enum TStatusPanelBevel : std::uint8_t { pbNone, pbLowered, pbRaised };

class TStatusPanel : public TCollectionItem {
 public:
  QV_CLASS_NAME(TStatusPanel)
  explicit TStatusPanel(TCollection* Collection) : TCollectionItem(Collection) {}
  const std::string& Text() const { return Text_; }
  void SetText(const std::string& v);
  int Width() const { return Width_; }
  void SetWidth(int v);
  TAlignment Alignment() const { return Alignment_; }
  void SetAlignment(TAlignment v);
  TStatusPanelStyle Style() const { return Style_; }
  void SetStyle(TStatusPanelStyle v);
  TStatusPanelBevel Bevel() const { return Bevel_; }
  void SetBevel(TStatusPanelBevel v);
  void Assign(TPersistent* Source) override;

 private:
  std::string Text_;
  int Width_ = 50;
  TAlignment Alignment_ = taLeftJustify;
  TStatusPanelStyle Style_ = psText;
  TStatusPanelBevel Bevel_ = pbLowered;
};

class TStatusPanels : public TOwnedCollection {
 public:
  QV_CLASS_NAME(TStatusPanels)
  explicit TStatusPanels(TStatusBar* bar);
  TStatusPanel* Add() { return static_cast<TStatusPanel*>(TCollection::Add()); }
  TStatusPanel* Items(int i) const { return static_cast<TStatusPanel*>(TCollection::Items(i)); }

 protected:
  void Update(TCollectionItem* Item) override;

 private:
  TStatusBar* Bar_;
};

using TDrawPanelEvent = TMethod<void(TStatusBar* StatusBar, TStatusPanel* Panel, const TRect& Rect)>;

class TStatusBar : public TWinControl {
 public:
  QV_CLASS_NAME(TStatusBar)
  explicit TStatusBar(TComponent* AOwner);
  ~TStatusBar() override;
  TStatusPanels* Panels() const { return Panels_; }
  void SetPanels(TStatusPanels* v) { Panels_->Assign(v); }
  bool SimplePanel() const { return SimplePanel_; }
  void SetSimplePanel(bool v);
  const std::string& SimpleText() const { return SimpleText_; }
  void SetSimpleText(const std::string& v);
  // The window holds no more parts than this; the last one stretches over the panels beyond it.
  static constexpr int MaxWindowParts = 255;
  bool SizeGrip() const { return SizeGrip_; }
  void SetSizeGrip(bool v);
  // SizeGrip on the bar of a sizeable form (bsSizeable, bsSizeToolWin): the window's grip sizes
  // its parent, and only the form's is the form.
  bool SizeGripShown() const;
  void SetParent(TWinControl* AParent) override;
  bool UseSystemFont() const { return UseSystemFont_; }
  void SetUseSystemFont(bool v);
  TCanvas* Canvas() const { return Canvas_; }
  TDrawPanelEvent OnDrawPanel;
  void Dispatch(TMessage& Message) override;
  // Sends the panels (parts, texts, owner-draw flags) to the window.
  void UpdatePanels();

 protected:
  virtual void DrawPanel(TStatusPanel* Panel, const TRect& Rect);
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;

 private:
  void CNDrawItem(TMessage& Message);
  TStatusPanels* Panels_ = nullptr;
  bool SimplePanel_ = false;
  std::string SimpleText_;
  bool SizeGrip_ = true;
  bool UseSystemFont_ = true;
  TCanvas* Canvas_ = nullptr;
};

// ---------------------------------------------------------------------------------------------
// Track bar and up-down.

enum TTrackBarOrientation : std::uint8_t { trHorizontal, trVertical };
enum TTickStyle : std::uint8_t { tsNone, tsAuto, tsManual };
enum TTickMark : std::uint8_t { tmBottomRight, tmTopLeft, tmBoth };

class TTrackBar : public TWinControl {
 public:
  QV_CLASS_NAME(TTrackBar)
  explicit TTrackBar(TComponent* AOwner);
  int Min() const { return Min_; }
  void SetMin(int v);
  int Max() const { return Max_; }
  void SetMax(int v);
  int Position() const;
  void SetPosition(int v);
  TTrackBarOrientation Orientation() const { return Orientation_; }
  void SetOrientation(TTrackBarOrientation v);
  int ThumbLength() const { return ThumbLength_; }
  void SetThumbLength(int v);
  TTickStyle TickStyle() const { return TickStyle_; }
  void SetTickStyle(TTickStyle v);
  TTickMark TickMarks() const { return TickMarks_; }
  void SetTickMarks(TTickMark v);
  int Frequency() const { return Frequency_; }
  void SetFrequency(int v);
  int LineSize() const { return LineSize_; }
  void SetLineSize(int v);
  int PageSize() const { return PageSize_; }
  void SetPageSize(int v);
  TNotifyEvent OnChange;
  void Dispatch(TMessage& Message) override;

 protected:
  virtual void Changed();
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void DestroyWnd() override;

 private:
  void PositionMoved();
  int Min_ = 0, Max_ = 10, Position_ = 0;
  TTrackBarOrientation Orientation_ = trHorizontal;
  int ThumbLength_ = 20;
  TTickStyle TickStyle_ = tsAuto;
  TTickMark TickMarks_ = tmBottomRight;
  int Frequency_ = 1;
  int LineSize_ = 1;
  int PageSize_ = 2;
};

enum TUDAlignButton : std::uint8_t { udLeft, udRight };
enum TUDOrientation : std::uint8_t { udHorizontal, udVertical };
enum TUDBtnType : std::uint8_t { btNext, btPrev };
enum TUpDownDirection : std::uint8_t { updNone, updUp, updDown };
using TUDClickEvent = TMethod<void(TObject* Sender, TUDBtnType Button)>;
using TUDChangingEvent = TMethod<void(TObject* Sender, bool& AllowChange)>;
using TUDChangingEventEx =
    TMethod<void(TObject* Sender, bool& AllowChange, short NewValue, TUpDownDirection Direction)>;

class TCustomUpDown : public TWinControl {
 public:
  QV_CLASS_NAME(TCustomUpDown)
  explicit TCustomUpDown(TComponent* AOwner);
  int Min() const { return Min_; }
  void SetMin(int v);
  int Max() const { return Max_; }
  void SetMax(int v);
  int Position() const;
  void SetPosition(int v);
  int Increment() const { return Increment_; }
  void SetIncrement(int v);
  TUDOrientation Orientation() const { return Orientation_; }
  void SetOrientation(TUDOrientation v);
  TUDAlignButton AlignButton() const { return AlignButton_; }
  void SetAlignButton(TUDAlignButton v);
  TWinControl* Associate() const { return Associate_; }
  void SetAssociate(TWinControl* v);
  bool ArrowKeys() const { return ArrowKeys_; }
  void SetArrowKeys(bool v);
  bool Thousands() const { return Thousands_; }
  void SetThousands(bool v);
  bool Wrap() const { return Wrap_; }
  void SetWrap(bool v);
  // Hides the base's notify-style OnClick: an up-down reports which button was clicked.
  TUDClickEvent OnClick;
  TUDChangingEvent OnChanging;
  TUDChangingEventEx OnChangingEx;
  void Dispatch(TMessage& Message) override;

 protected:
  virtual bool CanChange();
  virtual bool DoCanChange(short NewVal, short Delta);
  virtual void Click(TUDBtnType Button);
  using TWinControl::Click;
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

 private:
  bool CNNotify(TMessage& Message);
  void PositionMoved();
  int Min_ = 0, Max_ = 100, Position_ = 0, Increment_ = 1;
  TUDOrientation Orientation_ = udVertical;
  TUDAlignButton AlignButton_ = udRight;
  TWinControl* Associate_ = nullptr;
  bool ArrowKeys_ = true;
  bool Thousands_ = true;
  bool Wrap_ = false;
};

class TUpDown : public TCustomUpDown {
 public:
  QV_CLASS_NAME(TUpDown)
  using TCustomUpDown::TCustomUpDown;
};

// ---------------------------------------------------------------------------------------------
// Tool bar.

enum TToolButtonStyle : std::uint8_t { tbsButton, tbsCheck, tbsDropDown, tbsSeparator, tbsDivider };
enum TCustomDrawStage : std::uint8_t { cdPrePaint, cdPostPaint, cdPreErase, cdPostErase };
enum TCustomDrawStateItem : std::uint8_t {
  cdsSelected,
  cdsGrayed,
  cdsDisabled,
  cdsChecked,
  cdsFocused,
  cdsDefault,
  cdsHot,
  cdsMarked,
  cdsIndeterminate
};
using TCustomDrawState = TSet<TCustomDrawStateItem>;
enum TTBCustomDrawFlag : std::uint8_t { tbNoEdges, tbHiliteHotTrack, tbNoOffset, tbNoMark, tbNoEtchedEffect };
using TTBCustomDrawFlags = TSet<TTBCustomDrawFlag>;

// Posted to a tool bar's window when the drop-down menu of one of its buttons has closed.
inline constexpr UINT CN_DROPDOWNCLOSED = WM_USER + 0x1000;

using TTBAdvancedCustomDrawEvent =
    TMethod<void(TToolBar* Sender, const TRect& ARect, TCustomDrawStage Stage, bool& DefaultDraw)>;
using TTBAdvancedCustomDrawBtnEvent =
    TMethod<void(TToolBar* Sender, TToolButton* Button, TCustomDrawState State, TCustomDrawStage Stage,
                 TTBCustomDrawFlags& Flags, bool& DefaultDraw)>;

// A button of a tool bar: the bar shows it as a native button (its item data is the object).
class TToolButton : public TGraphicControl {
 public:
  QV_CLASS_NAME(TToolButton)
  explicit TToolButton(TComponent* AOwner);
  void BeforeDestruction() override;
  TToolButtonStyle Style() const { return Style_; }
  void SetStyle(TToolButtonStyle v);
  int ImageIndex() const { return ImageIndex_; }
  void SetImageIndex(int v);
  bool Down() const;
  void SetDown(bool v);
  bool Grouped() const { return Grouped_; }
  void SetGrouped(bool v);
  TPopupMenu* DropdownMenu() const { return DropdownMenu_; }
  void SetDropdownMenu(TPopupMenu* v);
  TToolBar* ToolBar() const { return ToolBar_; }
  int Index() const;
  // Shows the drop-down menu under the button and returns when it closed (the bar then gets
  // CN_DROPDOWNCLOSED); true when there was a menu.
  bool CheckMenuDropdown();
  void SetParent(TWinControl* AParent) override;
  void Dispatch(TMessage& Message) override;

 protected:
  friend class TToolBar;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void Changed();
  TToolButtonStyle Style_ = tbsButton;
  int ImageIndex_ = -1;
  bool Down_ = false;
  bool Grouped_ = false;
  TPopupMenu* DropdownMenu_ = nullptr;
  TToolBar* ToolBar_ = nullptr;
};

class TToolBar : public TWinControl {
 public:
  QV_CLASS_NAME(TToolBar)
  explicit TToolBar(TComponent* AOwner);
  ~TToolBar() override;
  void BeforeDestruction() override;
  int ButtonCount() const { return static_cast<int>(Buttons_.size()); }
  TToolButton* Buttons(int Index) const { return Buttons_.at(static_cast<std::size_t>(Index)); }
  bool ShowCaptions() const { return ShowCaptions_; }
  void SetShowCaptions(bool v);
  TCustomImageList* Images() const { return Images_; }
  void SetImages(TCustomImageList* v);
  bool Flat() const { return Flat_; }
  void SetFlat(bool v);
  int ButtonWidth() const { return ButtonWidth_; }
  void SetButtonWidth(int v);
  int ButtonHeight() const { return ButtonHeight_; }
  void SetButtonHeight(int v);
  TCanvas* Canvas() const { return Canvas_; }
  // The native button's rectangle (client coordinates).
  TRect ButtonRect(int Index);
  TTBAdvancedCustomDrawEvent OnAdvancedCustomDraw;
  TTBAdvancedCustomDrawBtnEvent OnAdvancedCustomDrawButton;
  void Dispatch(TMessage& Message) override;

 protected:
  friend class TToolButton;
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void InsertButton(TToolButton* Button);
  void RemoveButton(TToolButton* Button);
  // Puts the buttons into the window again.
  void RecreateButtons();
  void UpdateButtonState(TToolButton* Button);
  LRESULT CustomDraw(NMTBCUSTOMDRAW& cd);

 private:
  void CNCommand(TMessage& Message);
  bool CNNotify(TMessage& Message);
  std::vector<TToolButton*> Buttons_;
  bool ShowCaptions_ = false;
  TCustomImageList* Images_ = nullptr;
  bool Flat_ = true;
  int ButtonWidth_ = 23;
  int ButtonHeight_ = 22;
  TCanvas* Canvas_ = nullptr;
  bool Rebuilding_ = false;
};

// ---------------------------------------------------------------------------------------------
// List view and tree view (what the skinned list adapters read).

enum TViewStyle : std::uint8_t { vsIcon, vsSmallIcon, vsList, vsReport };

class TListColumn : public TCollectionItem {
 public:
  QV_CLASS_NAME(TListColumn)
  explicit TListColumn(TCollection* Collection) : TCollectionItem(Collection) {}
  const std::string& Caption() const { return Caption_; }
  void SetCaption(const std::string& v);
  int Width() const;
  void SetWidth(int v);
  int ImageIndex() const { return ImageIndex_; }
  void SetImageIndex(int v);
  TAlignment Alignment() const { return Alignment_; }
  void SetAlignment(TAlignment v);

 private:
  friend class TCustomListView;
  std::string Caption_;
  int Width_ = 50;
  int ImageIndex_ = -1;
  TAlignment Alignment_ = taLeftJustify;
};

class TListColumns : public TOwnedCollection {
 public:
  QV_CLASS_NAME(TListColumns)
  explicit TListColumns(TCustomListView* owner);
  TListColumn* Add() { return static_cast<TListColumn*>(TCollection::Add()); }
  TListColumn* Items(int i) const { return static_cast<TListColumn*>(TCollection::Items(i)); }
  TCustomListView* Owner() const { return View_; }

 protected:
  void Update(TCollectionItem* Item) override;

 private:
  TCustomListView* View_;
};

class TCustomListView : public TWinControl {
 public:
  QV_CLASS_NAME(TCustomListView)
  explicit TCustomListView(TComponent* AOwner);
  ~TCustomListView() override;
  TListColumns* Columns() const { return Columns_; }
  void SetColumns(TListColumns* v) { Columns_->Assign(v); }
  TViewStyle ViewStyle() const { return ViewStyle_; }
  void SetViewStyle(TViewStyle v);
  TCustomImageList* SmallImages() const { return SmallImages_; }
  void SetSmallImages(TCustomImageList* v);
  TCustomImageList* LargeImages() const { return LargeImages_; }
  void SetLargeImages(TCustomImageList* v);
  TBorderStyle BorderStyle() const { return BorderStyle_; }
  void SetBorderStyle(TBorderStyle v);
  // Items: captions with image indexes (kept while there is no window).
  int ItemCount();
  int AddItem(const std::string& Caption, int ImageIndex = -1);
  std::string ItemCaption(int Index);
  void ClearItems();
  void UpdateColumns();

 protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

 private:
  struct SavedItem {
    std::string Caption;
    int Image;
  };
  TListColumns* Columns_ = nullptr;
  TViewStyle ViewStyle_ = vsIcon;
  TCustomImageList* SmallImages_ = nullptr;
  TCustomImageList* LargeImages_ = nullptr;
  TBorderStyle BorderStyle_ = bsSingle;
  std::vector<SavedItem> Saved_;
};

class TListView : public TCustomListView {
 public:
  QV_CLASS_NAME(TListView)
  using TCustomListView::TCustomListView;
};

class TCustomTreeView : public TWinControl {
 public:
  QV_CLASS_NAME(TCustomTreeView)
  explicit TCustomTreeView(TComponent* AOwner);
  TCustomImageList* Images() const { return Images_; }
  void SetImages(TCustomImageList* v);
  TBorderStyle BorderStyle() const { return BorderStyle_; }
  void SetBorderStyle(TBorderStyle v);
  // Nodes by handle: a node under Parent (nullptr: a root) with a text and an image index.
  HTREEITEM AddNode(HTREEITEM Parent, const std::string& Text, int ImageIndex = -1);
  std::string NodeText(HTREEITEM Node);
  int NodeCount();
  void ClearNodes();

 protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

 private:
  struct SavedNode {
    int Parent;  // index into Saved_, -1 for a root
    std::string Text;
    int Image;
  };
  void SaveNodes(HTREEITEM item, int parent);
  TCustomImageList* Images_ = nullptr;
  TBorderStyle BorderStyle_ = bsSingle;
  std::vector<SavedNode> Saved_;
};

class TTreeView : public TCustomTreeView {
 public:
  QV_CLASS_NAME(TTreeView)
  using TCustomTreeView::TCustomTreeView;
};
