// The skinned combo box: the class library's combo box painted in the section "COMBOBOX" with its
// drop-down button in "COMBOBTN" (and the skin's combo arrow), the shown text drawn into the
// cache, the list of a long drop-down (more items than DropDownCount) skinned through the window
// layer's list adapter, and a read-only mode that keeps the choice as it is.
//
// The control paints its own window from the cache: the whole cache for a drop-down list, for a
// disabled or an unfocused drop-down combo; only the frame band and the button while the edit
// field of a focused drop-down combo (or the item drawn by an owner-drawn style) shows the text.
//
// Read-only: typing, cut, paste, clear and undo are swallowed in the edit field; the keys that
// change the choice (space, page and arrow keys, digits and letters, F4, Alt with a key) and the
// mouse wheel are swallowed in the box; a press of the left button only focuses the control, and
// the list never opens.
#pragma once

#include "classlib/Win.h"

#include <memory>
#include <string>

#include "classlib/StdCtrls.h"
#include "skin/controls/sCommonFrame.h"
#include "skin/engine/Hooks.h"

class TsCustomComboBox : public TacSkinnedControl<TCustomComboBox> {
 public:
  QV_CLASS_NAME(TsCustomComboBox)
  explicit TsCustomComboBox(TComponent* AOwner);
  ~TsCustomComboBox() override;

  // ---- published
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment Value);
  TsBoundLabel* BoundLabel() const { return FBoundLabel; }
  TsDisabledKind DisabledKind() const { return FDisabledKind; }
  void SetDisabledKind(TsDisabledKind Value);
  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool Value) { FReadOnly = Value; }

  // ---- state
  // The drop-down button is shown (its rectangle is empty when not).
  bool ShowButton() const { return FShowButton; }
  void SetShowButton(bool Value);
  // Set from the list's opening (CBN_DROPDOWN) until its closing (CBN_CLOSEUP).
  bool ListDropped() const { return FDropped; }
  // The adapter of the list window (nullptr while the list is the system's).
  TacControlComboList* ListAdapter() const { return FListAdapter.get(); }

  // The button in window coordinates: a scroll bar's width inside the 2-pixel frame, at the left
  // with a right-to-left scroll bar; empty for a simple combo or without the button.
  TRect ButtonRect() const;
  // The height of one frame of the skin's combo arrow (16 without one).
  int ArrowHeight() const;
  // The control's look into the cache bitmap.
  virtual void PrepareCache();
  // The control painted onto DC (the window's own DC when 0), from the cache.
  void PaintControl(HDC DC);

  bool Focused() const override;
  void Invalidate() override;
  void WndProc(TMessage& Message) override;
  void Dispatch(TMessage& Message) override;

 protected:
  void SkinLoaded() override;
  void ComboWndProc(TMessage& Message, HWND ComboWnd, WNDPROC ComboProc) override;
  void DrawItem(int Index, const TRect& Rect, TOwnerDrawState State) override;
  void DestroyWnd() override;

  void AfterSkinChange(int Command) override;
  void RepaintAfterUpdate() override { Repaint(); }
  bool SkinnedMessage(TMessage& Message) override;

 private:
  bool OwnerDrawsWithHandler() const;
  // The text the cache shows: a drop-down combo's own text, else the chosen item's (empty for none).
  std::string ShownText();
  void PaintButton();
  void PaintShownText(TOwnerDrawState State);
  void PaintBelowList(HDC DC);
  // The edit area of a skinned control, drawn over the copied cache.
  void DrawEditArea(int Index, const TRect& Rect, TOwnerDrawState State);
  void DrawItemText(int Index, const TRect& Rect);
  void ApplySkinColors();
  void FreeListAdapter();
  void MakeListAdapter(HWND ListWnd);
  // The read-only filter of the box's own messages; true: swallowed.
  bool ReadOnlySwallows(TMessage& Message);
  void FocusGot(TMessage& Message);
  void FocusLost(TMessage& Message);
  void EnterLeave(TMessage& Message);
  // The edit field of a drop-down combo covers most of it: the mouse over the field is over the
  // control.
  void EditMouseMessage(const TMessage& Message);
  bool MouseOverWindow() const;
  void SetMouseAbove(bool Value);
  void ComboCommand(TMessage& Message);

  TAlignment FAlignment = taLeftJustify;
  bool FReadOnly = false;
  TsDisabledKind FDisabledKind{dkBlended};
  TsBoundLabel* FBoundLabel = nullptr;
  bool FShowButton = true;
  HWND FListWnd = nullptr;
  std::unique_ptr<TacControlComboList> FListAdapter;
  bool FDropped = false;
};

class TsComboBox : public TsCustomComboBox {
 public:
  QV_CLASS_NAME(TsComboBox)
  using TsCustomComboBox::TsCustomComboBox;
};
