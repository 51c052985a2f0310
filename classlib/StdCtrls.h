// Standard controls of the class library on the system's window classes: push button, check box,
// radio button, group box, label, edit, memo and combo box.
//
// Each window control stands on a standard class ("BUTTON", "EDIT", "COMBOBOX") registered under
// its class-library name, keeps its properties in fields while it has no window and in the window
// while it has one, and turns the notifications its parent reflects back (CN_COMMAND, CN_DRAWITEM)
// into events.
#pragma once

#include "classlib/Win.h"

#include <cstdint>
#include <string>

#include "classlib/Forward.h"
#include "classlib/ControlEnums.h"
#include "classlib/Controls.h"
#include "classlib/Graphics.h"
#include "classlib/core/Classes.h"

// ---------------------------------------------------------------------------------------------
// Shared types.

using TDrawItemEvent = TMethod<void(TWinControl* Control, int Index, TRect Rect, TOwnerDrawState State)>;
using TMeasureItemEvent = TMethod<void(TWinControl* Control, int Index, int& Height)>;

// ---------------------------------------------------------------------------------------------

// Base of the button-like controls.
class TButtonControl : public TWinControl {
 public:
  QV_CLASS_NAME(TButtonControl)
  explicit TButtonControl(TComponent* AOwner);
  bool WordWrap() const { return WordWrap_; }
  void SetWordWrap(bool v);
  bool Checked() const { return GetChecked(); }
  void SetCheckedValue(bool v) { SetChecked(v); }
  void Dispatch(TMessage& Message) override;
  // The side of the caption as shown: the Alignment with right-to-left alignment applied.
  virtual TAlignment GetControlsAlignment() const { return taLeftJustify; }

 protected:
  virtual bool GetChecked() const { return false; }
  virtual void SetChecked(bool) {}
  // While set, a change of the check state fires no OnClick.
  bool ClicksDisabled() const { return ClicksDisabled_; }
  void SetClicksDisabled(bool v) { ClicksDisabled_ = v; }
  void CreateParams(TCreateParams& Params) override;
  void ActionChange(TObject* Sender, bool CheckDefaults) override;
  bool ClicksDisabled_ = false;
  bool WordWrap_ = false;
};

class TButton : public TButtonControl {
 public:
  QV_CLASS_NAME(TButton)
  explicit TButton(TComponent* AOwner);
  bool Default() const { return Default_; }
  void SetDefault(bool v);
  bool Cancel() const { return Cancel_; }
  void SetCancel(bool v) { Cancel_ = v; }
  TModalResult ModalResult() const { return ModalResult_; }
  void SetModalResult(TModalResult v) { ModalResult_ = v; }
  void Click() override;
  void Dispatch(TMessage& Message) override;
  // Whether the button is the one Enter presses now (the focused button, else the default one).
  bool Active() const { return Active_; }

 protected:
  // The focus moved: ADefault tells whether this button now answers Enter. The window style
  // becomes BS_DEFPUSHBUTTON or BS_PUSHBUTTON.
  virtual void SetButtonStyle(bool ADefault);
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  bool Default_ = false;
  bool Cancel_ = false;
  bool Active_ = false;
  TModalResult ModalResult_ = mrNone;

 private:
  bool ClickByKey(TMessage& Message);
  void FocusChanged(TWinControl* Focused);
};

// ---------------------------------------------------------------------------------------------

enum TCheckBoxState : std::uint8_t { cbUnchecked, cbChecked, cbGrayed };

class TCustomCheckBox : public TButtonControl {
 public:
  QV_CLASS_NAME(TCustomCheckBox)
  explicit TCustomCheckBox(TComponent* AOwner);
  TCheckBoxState State() const { return State_; }
  void SetState(TCheckBoxState v);
  bool AllowGrayed() const { return AllowGrayed_; }
  void SetAllowGrayed(bool v);
  TLeftRight Alignment() const { return Alignment_; }
  void SetAlignment(TLeftRight v);
  TAlignment GetControlsAlignment() const override;
  void Dispatch(TMessage& Message) override;
  bool GetChecked() const override { return State_ == cbChecked; }
  void SetChecked(bool v) override { SetState(v ? cbChecked : cbUnchecked); }

 protected:
  // The next state of a click: unchecked, (grayed,) checked, unchecked ...
  virtual void Toggle();
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  TCheckBoxState State_ = cbUnchecked;
  bool AllowGrayed_ = false;
  TLeftRight Alignment_ = taRightJustify;

 private:
  bool FocusByAccel(TMessage& Message);
};

class TCheckBox : public TCustomCheckBox {
 public:
  QV_CLASS_NAME(TCheckBox)
  using TCustomCheckBox::TCustomCheckBox;
};

class TRadioButton : public TButtonControl {
 public:
  QV_CLASS_NAME(TRadioButton)
  explicit TRadioButton(TComponent* AOwner);
  TLeftRight Alignment() const { return Alignment_; }
  void SetAlignment(TLeftRight v);
  TAlignment GetControlsAlignment() const override;
  void Dispatch(TMessage& Message) override;
  // Checking a radio button unchecks the radio buttons of the same parent; both send CM_CHANGED.
  void SetChecked(bool v) override;
  bool GetChecked() const override { return Checked_; }

 protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  bool Checked_ = false;
  TLeftRight Alignment_ = taRightJustify;

 private:
  bool FocusByAccel(TMessage& Message);
};

// A frame with a caption that holds other controls.
class TCustomGroupBox : public TCustomControl {
 public:
  QV_CLASS_NAME(TCustomGroupBox)
  explicit TCustomGroupBox(TComponent* AOwner);
  void AdjustClientRect(TRect& Rect) override;
  void Dispatch(TMessage& Message) override;

 protected:
  void CreateParams(TCreateParams& Params) override;
  void Paint() override;

 private:
  bool FocusByAccel(TMessage& Message);
};

class TGroupBox : public TCustomGroupBox {
 public:
  QV_CLASS_NAME(TGroupBox)
  using TCustomGroupBox::TCustomGroupBox;
};

// ---------------------------------------------------------------------------------------------

class TCustomLabel : public TGraphicControl {
 public:
  QV_CLASS_NAME(TCustomLabel)
  explicit TCustomLabel(TComponent* AOwner);
  TAlignment Alignment() const { return Alignment_; }
  void SetAlignment(TAlignment v);
  void SetAutoSize(bool v) override;
  bool ShowAccelChar() const { return ShowAccelChar_; }
  void SetShowAccelChar(bool v);
  bool Transparent() const { return !ControlStyle_.Contains(csOpaque); }
  void SetTransparent(bool v);
  TTextLayout Layout() const { return Layout_; }
  void SetLayout(TTextLayout v);
  bool WordWrap() const { return WordWrap_; }
  void SetWordWrap(bool v);
  TEllipsisPosition EllipsisPosition() const { return EllipsisPosition_; }
  void SetEllipsisPosition(TEllipsisPosition v);
  TWinControl* FocusControl() const { return FocusControl_; }
  void SetFocusControl(TWinControl* v);
  void Dispatch(TMessage& Message) override;

 protected:
  // The text to draw: the caption, a blank for an empty one while measuring.
  virtual std::string GetLabelText() const { return Caption(); }
  // Draws (or, with DT_CALCRECT, measures) the caption in Rect of the canvas.
  virtual void DoDrawText(TRect& Rect, UINT Flags);
  void Paint() override;
  virtual void AdjustBounds();
  void Loaded() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  TAlignment Alignment_ = taLeftJustify;
  bool ShowAccelChar_ = true;
  TTextLayout Layout_ = tlTop;
  bool WordWrap_ = false;
  TEllipsisPosition EllipsisPosition_ = epNone;
  TWinControl* FocusControl_ = nullptr;

 private:
  bool FocusByAccel(TMessage& Message);
  // Columns the text's ink takes past its advance, added to an autosized label's width.
  int FInkOverhang = 0;
  // What the last measurement of an autosized label was made from and what it gave: a label lays
  // its text out again only when its text, font (its colour aside), wrap width or drawing flags
  // change, not for a colour of its own or of the skin.
  struct TLaidOutText {
    std::string Text;
    LOGFONTA Font{};
    UINT Flags = 0;
    int WrapWidth = 0;
    bool Enabled = true;
    int Width = 0, Height = 0, InkOverhang = 0;
    bool Valid = false;
  };
  TLaidOutText FLaidOut;
};

class TLabel : public TCustomLabel {
 public:
  QV_CLASS_NAME(TLabel)
  using TCustomLabel::TCustomLabel;
};

// ---------------------------------------------------------------------------------------------

class TCustomEdit : public TWinControl {
 public:
  QV_CLASS_NAME(TCustomEdit)
  explicit TCustomEdit(TComponent* AOwner);
  int MaxLength() const { return MaxLength_; }
  void SetMaxLength(int v);
  bool ReadOnly() const { return ReadOnly_; }
  void SetReadOnly(bool v);
  char PasswordChar() const { return PasswordChar_; }
  void SetPasswordChar(char v);
  TEditCharCase CharCase() const { return CharCase_; }
  void SetCharCase(TEditCharCase v);
  bool AutoSelect() const { return AutoSelect_; }
  void SetAutoSelect(bool v) { AutoSelect_ = v; }
  bool HideSelection() const { return HideSelection_; }
  void SetHideSelection(bool v);
  TBorderStyle BorderStyle() const { return BorderStyle_; }
  void SetBorderStyle(TBorderStyle v);
  TBevelCut BevelInner() const { return BevelInner_; }
  void SetBevelInner(TBevelCut v) { BevelInner_ = v; }
  TBevelCut BevelOuter() const { return BevelOuter_; }
  void SetBevelOuter(TBevelCut v) { BevelOuter_ = v; }
  TBevelKind BevelKind() const { return BevelKind_; }
  void SetBevelKind(TBevelKind v) { BevelKind_ = v; }
  void SetAutoSize(bool v) override;
  bool Modified() const;
  void SetModified(bool v);
  int SelStart();
  void SetSelStart(int v);
  int SelLength();
  void SetSelLength(int v);
  std::string SelText();
  void SetSelText(const std::string& v);
  void SelectAll();
  virtual void Clear();
  void ClearSelection();
  void CopyToClipboard();
  void CutToClipboard();
  void PasteFromClipboard();
  void Undo();
  TNotifyEvent OnChange;
  void Dispatch(TMessage& Message) override;

 protected:
  // The text changed (EN_CHANGE): fires OnChange.
  virtual void Change();
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  void DoEnter() override;
  virtual void AdjustHeight();
  int MaxLength_ = 0;
  bool ReadOnly_ = false;
  char PasswordChar_ = 0;
  TEditCharCase CharCase_ = ecNormal;
  bool AutoSelect_ = true;
  bool HideSelection_ = true;
  TBorderStyle BorderStyle_ = bsSingle;
  TBevelCut BevelInner_ = bvRaised;
  TBevelCut BevelOuter_ = bvLowered;
  TBevelKind BevelKind_ = bkNone;
  bool Modified_ = false;
  bool Creating_ = false;
};

class TEdit : public TCustomEdit {
 public:
  QV_CLASS_NAME(TEdit)
  using TCustomEdit::TCustomEdit;
};

// The lines of a memo, read from and written to its window.
class TMemoStrings : public TStrings {
 public:
  QV_CLASS_NAME(TMemoStrings)
  explicit TMemoStrings(TCustomMemo* memo) : Memo_(memo) {}
  int Count() const override;
  void Insert(int index, const std::string& s) override;
  void Delete(int index) override;
  void Clear() override;

 protected:
  std::string Get(int index) const override;
  void Put(int index, const std::string& s) override;
  void SetUpdateState(bool updating) override;

 private:
  TCustomMemo* Memo_;
};

class TCustomMemo : public TCustomEdit {
 public:
  QV_CLASS_NAME(TCustomMemo)
  explicit TCustomMemo(TComponent* AOwner);
  ~TCustomMemo() override;
  TStrings* Lines() const { return Lines_; }
  void SetLines(TStrings* v) { Lines_->Assign(v); }
  TScrollStyle ScrollBars() const { return ScrollBars_; }
  void SetScrollBars(TScrollStyle v);
  bool WordWrap() const { return WordWrap_; }
  void SetWordWrap(bool v);
  bool WantReturns() const { return WantReturns_; }
  void SetWantReturns(bool v) { WantReturns_ = v; }
  bool WantTabs() const { return WantTabs_; }
  void SetWantTabs(bool v) { WantTabs_ = v; }
  TAlignment Alignment() const { return Alignment_; }
  void SetAlignment(TAlignment v);
  void Dispatch(TMessage& Message) override;

 protected:
  void CreateParams(TCreateParams& Params) override;
  void AdjustHeight() override {}
  TMemoStrings* Lines_ = nullptr;
  TScrollStyle ScrollBars_ = ssNone;
  bool WordWrap_ = true;
  bool WantReturns_ = true;
  bool WantTabs_ = false;
  TAlignment Alignment_ = taLeftJustify;
};

class TMemo : public TCustomMemo {
 public:
  QV_CLASS_NAME(TMemo)
  using TCustomMemo::TCustomMemo;
};

// ---------------------------------------------------------------------------------------------

enum TComboBoxStyle : std::uint8_t { csDropDown, csSimple, csDropDownList, csOwnerDrawFixed, csOwnerDrawVariable };

// ---- List and combo box windows -------------------------------------------------------------
// A control that makes its list or combo window again keeps the items meanwhile: read out of the
// old window, put into the new one in one pass.

// The messages that reach the items of one kind of window.
struct TListWindowKind {
  UINT GetCount, GetTextLen, GetText, GetItemData, AddString, SetItemData, InitStorage;
};
inline constexpr TListWindowKind ListBoxWindow{LB_GETCOUNT,  LB_GETTEXTLEN,  LB_GETTEXT,    LB_GETITEMDATA,
                                               LB_ADDSTRING, LB_SETITEMDATA, LB_INITSTORAGE};
inline constexpr TListWindowKind ComboBoxWindow{CB_GETCOUNT,  CB_GETLBTEXTLEN, CB_GETLBTEXT,  CB_GETITEMDATA,
                                                CB_ADDSTRING, CB_SETITEMDATA,  CB_INITSTORAGE};
// Proc, when given, takes the messages directly: the window class's own procedure, so that they
// pass through no subclass (the control's own dispatch costs more than the list's work for each
// item); otherwise they are sent.
// Appends the window's items (strings with their objects) to Items, in the window's order.
void ReadListWindowItems(HWND Wnd, const TListWindowKind& Kind, TStrings& Items, WNDPROC Proc = nullptr);
// Adds Items to the window in one pass: storage for all of them reserved first, objects set only
// where there is one. Returns how many items the window took.
int FillListWindow(HWND Wnd, const TListWindowKind& Kind, const TStrings& Items, WNDPROC Proc = nullptr);

// The items of a combo box, kept in its window (and in a list while it has none).
class TComboBoxStrings : public TStrings {
 public:
  QV_CLASS_NAME(TComboBoxStrings)
  explicit TComboBoxStrings(TCustomComboBox* combo) : Combo_(combo) {}
  int Count() const override;
  int Add(const std::string& s) override;
  void Insert(int index, const std::string& s) override;
  void Delete(int index) override;
  void Clear() override;
  int IndexOf(const std::string& s) const override;

 protected:
  std::string Get(int index) const override;
  TObject* GetObject(int index) const override;
  void PutObject(int index, TObject* object) override;
  void SetUpdateState(bool updating) override;

 private:
  friend class TCustomComboBox;
  TCustomComboBox* Combo_;
};

class TCustomComboBox : public TWinControl {
 public:
  QV_CLASS_NAME(TCustomComboBox)
  explicit TCustomComboBox(TComponent* AOwner);
  ~TCustomComboBox() override;
  void BeforeDestruction() override;

  TComboBoxStyle Style() const { return Style_; }
  void SetStyle(TComboBoxStyle v);
  TStrings* Items() const { return Items_; }
  void SetItems(TStrings* v) { Items_->Assign(v); }
  int ItemIndex();
  void SetItemIndex(int v);
  int ItemHeight();
  void SetItemHeight(int v);
  int DropDownCount() const { return DropDownCount_; }
  void SetDropDownCount(int v) { DropDownCount_ = v; }
  bool DroppedDown();
  void SetDroppedDown(bool v);
  bool Sorted() const { return Sorted_; }
  void SetSorted(bool v);
  bool AutoComplete() const { return AutoComplete_; }
  void SetAutoComplete(bool v) { AutoComplete_ = v; }
  int MaxLength() const { return MaxLength_; }
  void SetMaxLength(int v);
  TEditCharCase CharCase() const { return CharCase_; }
  void SetCharCase(TEditCharCase v);
  // A canvas that draws on whatever DC is attached to it (the draw-item DC, or a DC of the
  // caller's); no DC of its own.
  TCanvas* Canvas() const { return Canvas_; }
  HWND EditHandle() const { return EditHandle_; }
  HWND ListHandle() const { return ListHandle_; }
  bool Focused() const override;
  void Clear();
  void SelectAll();

  TNotifyEvent OnChange;
  TNotifyEvent OnSelect;
  TNotifyEvent OnDropDown;
  TNotifyEvent OnCloseUp;
  TDrawItemEvent OnDrawItem;
  TMeasureItemEvent OnMeasureItem;
  void Dispatch(TMessage& Message) override;

 protected:
  friend class TComboBoxStrings;
  // Draws item Index (or the edit part with odComboBoxEdit) on Canvas: OnDrawItem, or the text.
  virtual void DrawItem(int Index, const TRect& Rect, TOwnerDrawState State);
  virtual void MeasureItem(int Index, int& Height);
  // Messages of the edit and list children: the default passes them to the child's own procedure.
  virtual void ComboWndProc(TMessage& Message, HWND ComboWnd, WNDPROC ComboProc);
  virtual void Change();
  virtual void Select();
  virtual void DropDown();
  virtual void CloseUp();
  // Sizes the list that is about to drop down to DropDownCount items (fewer when there are fewer).
  void AdjustDropDown();
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void DestroyWnd() override;

  TComboBoxStyle Style_ = csDropDown;
  TComboBoxStrings* Items_ = nullptr;
  TStringList* SavedItems_ = nullptr;  // items kept while there is no window
  int SavedIndex_ = -1;
  int ItemHeight_ = 16;
  int DropDownCount_ = 8;
  bool Sorted_ = false;
  bool AutoComplete_ = true;
  int MaxLength_ = 0;
  TEditCharCase CharCase_ = ecNormal;
  TCanvas* Canvas_ = nullptr;
  HWND EditHandle_ = nullptr;
  HWND ListHandle_ = nullptr;
  WNDPROC EditProc_ = nullptr;
  WNDPROC ListProc_ = nullptr;

 private:
  void CNCommand(WORD Notification);
  void CNDrawItem(DRAWITEMSTRUCT& Item);
  void CNMeasureItem(MEASUREITEMSTRUCT& Item);
  void AutoCompleteText();
  static LRESULT CALLBACK ChildProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);
  void SubclassChildren();
  void RestoreChildren();
  // The place in the new window of the saved item Index (its text and object), Index when it is
  // not found.
  int FindSavedItem(int Index) const;
};

class TComboBox : public TCustomComboBox {
 public:
  QV_CLASS_NAME(TComboBox)
  using TCustomComboBox::TCustomComboBox;
};
