// Adapters of combo boxes: TacComboBoxWnd paints a combo's frame and its drop-down button over
// what the combo draws and makes the adapter of the combo's list (TacComboListWnd), which paints the
// list's frame and skinned scroll bars; TacWWComboBoxWnd is the combo adapter of another control
// family, whose button rectangle differs. Part of the window adapters (include
// skin/windows/acSBUtils.h).
#pragma once

#include "skin/windows/acSBUtils.h"

class TacComboListWnd;

// The last CBN_DROPDOWN (true) or CBN_CLOSEUP (false) a combo adapter saw.
extern bool DroppedDown;

class TacComboBoxWnd : public TacEditWnd {
 public:
  QV_CLASS_NAME(TacComboBoxWnd)
  TacComboBoxWnd(HWND AHandle, TsCommonData* ASkinData, TsSkinManager* ASkinManager, const std::string& SkinSection,
                 bool Repaint = true);
  ~TacComboBoxWnd() override;
  void HandleMessage(TMessage& Message) override;
  // The drop-down button in window coordinates: a scroll bar's width inside the 2-pixel frame, at
  // the right (the left with WS_EX_RTLREADING); empty for a simple combo.
  virtual TRect ButtonRect();
  // The button in its state (2 while the list shows, 1 hot, else 0) onto the DC (the window's own
  // when 0).
  void PaintButton(HDC DC);
  bool IsSimple() const;

  HWND ListWnd = nullptr;
  TsCommonData* BtnSkinData = nullptr;  // the button's image (its cache bitmap)
  TacComboListWnd* ListAdapter = nullptr;

 private:
  // WM_PAINT: the combo paints itself, then the skin's frame bands and the button go over it.
  void ComboPaint(TMessage& Message);
  void PrintInto(HDC DC);
  // WM_CTLCOLORLISTBOX: the list's adapter made once, and the list's colours from its section.
  void ListColors(TMessage& Message);
  // The cache of a simple combo: its edit field's part of the window, from the section.
  void PrepareSimpleCache();
  // The edit field's text into the cache (WM_PRINT of drop-down combos).
  void PaintEditText();
  bool ListAdapterMade_ = false;
};

class TacComboListWnd : public TacEditWnd {
 public:
  QV_CLASS_NAME(TacComboListWnd)
  using TacEditWnd::TacEditWnd;
  void HandleMessage(TMessage& Message) override;
  // The list of a drop-down combo made with no skin data of its own keeps the mouse after a click
  // on its bars (it hands it back to the combo itself).
  bool KeepsCaptureOnButtonUp() const override { return !IsSimple && !(SkinData && SkinData->OwnerControl); }
  bool HearsButtonUpOfBars() const override { return false; }

  bool Tracking = false;  // the list selects by dragging now
  bool IsSimple = false;  // the list of a simple combo

 protected:
  bool KeepsThemeOnCreate() const override { return !Repaint_; }

 private:
  // The list's background in the cache: a drop-down list's window colour with a line around it,
  // a simple combo's list from the section.
  void PrepareBackground();
  void PaintFrame();
  void PrintInto(TMessage& Message);
};

class TacWWComboBoxWnd : public TacComboBoxWnd {
 public:
  QV_CLASS_NAME(TacWWComboBoxWnd)
  TacWWComboBoxWnd(HWND AHandle, TsCommonData* ASkinData, TsSkinManager* ASkinManager, const std::string& SkinSection,
                   bool Repaint = true);
  // A scroll bar's width when ShowButton, at the left with WS_EX_LEFTSCROLLBAR.
  TRect ButtonRect() override;

  bool ShowButton = true;
};
