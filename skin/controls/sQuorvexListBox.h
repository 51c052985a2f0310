// The skinned list box: a complete list-box control over the system "LISTBOX" window.
//
// Its frame and scroll bars are painted by an edit window adapter while a skin is active, its
// colours follow the section "EDIT", and a disabled list box shows its text in the average of its
// font and background colours. The system window draws only the items it shows, standard ones
// itself, owner-drawn and virtual ones through DrawItem. Items lives in the window (in a list of
// its own while the control has no window yet, or while the window is made again); filling it
// between BeginUpdate and EndUpdate redraws nothing until the end (the items then go straight to
// the system window).
//
// TsListBox publishes the selection modes: MultiSelect (several items) and ExtendedSelect (with
// Shift and Ctrl, else each click toggles an item).
#pragma once

#include "classlib/Win.h"

#include <cstdint>
#include <string>

#include "classlib/StdCtrls.h"
#include "skin/controls/sCommonFrame.h"
#include "skin/engine/Hooks.h"

enum TListBoxStyle : std::uint8_t { lbStandard, lbOwnerDrawFixed, lbOwnerDrawVariable, lbVirtual, lbVirtualOwnerDraw };

// The text, the object, and the search of the items of a virtual list, supplied by the program.
using TLBGetDataEvent = TMethod<void(TWinControl* Control, int Index, std::string& Data)>;
using TLBGetDataObjectEvent = TMethod<void(TWinControl* Control, int Index, TObject*& DataObject)>;
using TLBFindDataEvent = TMethod<int(TWinControl* Control, const std::string& FindString)>;

class TsQuorvexListBox;

// The items of a list box: a thin layer over the list-box messages.
class TListBoxStrings : public TStrings {
 public:
  QV_CLASS_NAME(TListBoxStrings)
  explicit TListBoxStrings(TsQuorvexListBox* AListBox) : FListBox(AListBox) {}
  TsQuorvexListBox* ListBox() const { return FListBox; }

  int Count() const override;
  int Add(const std::string& s) override;
  void Insert(int index, const std::string& s) override;
  void Delete(int index) override;
  void Clear() override;
  int IndexOf(const std::string& s) const override;
  void Exchange(int index1, int index2) override;
  void Move(int curIndex, int newIndex) override;

 protected:
  std::string Get(int index) const override;
  void Put(int index, const std::string& s) override;
  TObject* GetObject(int index) const override;
  void PutObject(int index, TObject* object) override;
  void SetUpdateState(bool updating) override;

 private:
  // The list-box window, made when the control can have one; nullptr while it cannot.
  HWND Wnd() const;
  bool Virtual() const;
  int InsertAt(int index, const std::string& s);
  // A message that changes the items.
  LRESULT Change(HWND w, UINT Msg, WPARAM WParam, LPARAM LParam);

  TsQuorvexListBox* FListBox;
  bool FMoving = false;
};

class TsQuorvexListBox : public TacSkinnedControl<TWinControl> {
 public:
  QV_CLASS_NAME(TsQuorvexListBox)
  explicit TsQuorvexListBox(TComponent* AOwner);
  ~TsQuorvexListBox() override;

  // ---- published
  unsigned AutoCompleteDelay() const { return FAutoCompleteDelay; }
  void SetAutoCompleteDelay(unsigned Value) { FAutoCompleteDelay = Value; }
  bool AutoComplete() const { return FAutoComplete; }
  void SetAutoComplete(bool Value) { FAutoComplete = Value; }
  bool AutoHideScroll() const { return FAutoHideScroll; }
  void SetAutoHideScroll(bool Value);
  TBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TBorderStyle Value);
  TsBoundLabel* BoundLabel() const { return FBoundLabel; }
  int Columns() const { return FColumns; }
  void SetColumns(int Value);
  TsDisabledKind DisabledKind() const { return FDisabledKind; }
  void SetDisabledKind(TsDisabledKind Value);
  bool IntegralHeight() const { return FIntegralHeight; }
  void SetIntegralHeight(bool Value);
  int ItemHeight() const;
  void SetItemHeight(int Value);
  TStrings* Items() const { return FItems; }
  void SetItems(TStrings* Value);
  bool Sorted() const { return FSorted; }
  void SetSorted(bool Value);
  TListBoxStyle Style() const { return FStyle; }
  void SetStyle(TListBoxStyle Value);
  int TabWidth() const { return FTabWidth; }
  void SetTabWidth(int Value);
  TLBGetDataEvent OnData;
  TLBGetDataObjectEvent OnDataObject;
  TLBFindDataEvent OnDataFind;
  TDrawItemEvent OnDrawItem;
  TMeasureItemEvent OnMeasureItem;
  TNotifyEvent OnVScroll;

  // ---- the list
  // Items.Count; for the virtual styles the count given to the window.
  int Count() const;
  // The number of items of a virtual list.
  void SetCount(int Value);
  void Clear() { FItems->Clear(); }
  // The current item (the caret's item with MultiSelect); -1 when none.
  int ItemIndex() const;
  void SetItemIndex(int Value);
  bool Selected(int Index) const;
  // Without MultiSelect true makes the item the current one and false deselects it when it is the
  // current one; with MultiSelect the item's own selection. Raises EListError for a bad index.
  void SetSelected(int Index, bool Value);
  int TopIndex() const;
  void SetTopIndex(int Value);
  LRESULT GetItemData(int Index) const;
  void SetItemData(int Index, LRESULT Data);
  // The item under a client point: -1 outside the client area; past the last item -1 when
  // Existing, else the index after the last.
  int ItemAtPos(TPoint Pos, bool Existing) const;
  // Index = Count: the place after the last item; beyond: empty.
  TRect ItemRect(int Index) const;
  void ClearSelection();
  void DeleteString(int Index);
  // Paints one item at once (when it is visible).
  void RepaintItem(int Index);
  TCanvas* Canvas() const { return FCanvas; }
  // The adapter that paints frame and scroll bars (nullptr while not skinned).
  TacControlScrollBars* ScrollWnd() const { return FScrollWnd.get(); }

  // ---- virtual operations, in this order for descendants
  // The look of the control into the cache bitmap (the adapter paints frame and bars from it).
  virtual void PrepareCache();
  virtual void MeasureItem(int Index, int& Height);
  virtual void DrawItem(int Index, const TRect& Rect, TOwnerDrawState State);

  void WndProc(TMessage& Message) override;
  void Dispatch(TMessage& Message) override;

 protected:
  bool MultiSelect() const { return FMultiSelect; }
  void SetMultiSelect(bool Value);
  bool ExtendedSelect() const { return FExtendedSelect; }
  void SetExtendedSelect(bool Value);

  void Loaded() override;
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  void KeyPress(char& Key) override;

  void BeforeSkinChange(int Command) override;
  void AfterSkinChange(int Command) override;
  void RepaintAfterUpdate() override;
  // The control's own cases come after the common handler.
  bool AfterCommonMessage(TMessage& Message) override;
  void AfterInherited(TMessage& Message) override;

 private:
  friend class TListBoxStrings;
  bool IsVirtual() const { return FStyle == lbVirtual || FStyle == lbVirtualOwnerDraw; }
  bool OwnerDrawsWithHandler() const;
  // A property that only the window's style holds: stored, the window made again.
  void StyleChanged();
  void SetColumnWidth();
  std::string VirtualText(int Index);
  void DrawItemMessage(TMessage& Message);
  void MeasureItemMessage(TMessage& Message);
  void ButtonDownMessage(TMessage& Message);
  void PrintMessage(TMessage& Message);
  // A disabled standard list: the visible items drawn in the disabled colour.
  void PaintDisabled(TMessage& Message);
  void TextMessage(TMessage& Message);
  void EnabledChanged(TMessage& Message);
  void FontChanged(TMessage& Message);
  void ApplySkinColors();

  unsigned FAutoCompleteDelay = 500;
  bool FAutoComplete = true;
  bool FAutoHideScroll = true;
  TBorderStyle FBorderStyle = bsSingle;
  TsBoundLabel* FBoundLabel = nullptr;
  int FColumns = 0;
  TsDisabledKind FDisabledKind{dkBlended};
  bool FIntegralHeight = false;
  int FItemHeight = 16;
  TListBoxStrings* FItems = nullptr;
  bool FSorted = false;
  TListBoxStyle FStyle = lbStandard;
  int FTabWidth = 0;
  bool FMultiSelect = false;
  bool FExtendedSelect = true;

  TControlCanvas* FCanvas = nullptr;
  // Kept while there is no window: the items, top index and item index, a virtual count.
  TStringList* FSaveItems = nullptr;
  int FSaveTopIndex = 0;
  int FSaveItemIndex = -1;
  int FSaveCount = -1;
  int FCount = 0;
  std::string FFilter;
  DWORD FLastTime = 0;
  std::unique_ptr<TacControlScrollBars> FScrollWnd;
};

class TsListBox : public TsQuorvexListBox {
 public:
  QV_CLASS_NAME(TsListBox)
  using TsQuorvexListBox::TsQuorvexListBox;

  // ---- published
  using TsQuorvexListBox::ExtendedSelect;
  using TsQuorvexListBox::MultiSelect;
  using TsQuorvexListBox::SetExtendedSelect;
  using TsQuorvexListBox::SetMultiSelect;
};
