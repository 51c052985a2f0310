// Skinned group box and radio group.
//
// TsGroupBox is a framed container painted in section "GROUPBOX": the parent's background shows
// above the frame, the frame starts half way down the caption box, and the caption box (section
// CaptionSkin, "CHECKBOX" when empty) sits on the top edge at the left, centre or right. It passes
// skin changes on to its children and has them repaint after its own paint.
//
// TsRadioGroup makes one TsGroupButton per line of Items and lays them out in Columns columns
// (filled top to bottom, then left to right); ItemIndex is the checked button. While the group
// refuses changes (CanModify false) its buttons are read-only.
#pragma once

#include "classlib/Win.h"

#include <cstdint>
#include <string>
#include <vector>

#include "classlib/StdCtrls.h"
#include "skin/controls/sCommonFrame.h"
#include "skin/controls/sRadioButton.h"

enum TsCaptionLayout : std::uint8_t { clTopLeft, clTopCenter, clTopRight };

class TsGroupBox : public TacSkinnedControl<TGroupBox> {
 public:
  QV_CLASS_NAME(TsGroupBox)
  explicit TsGroupBox(TComponent* AOwner);

  // ---- published
  TsCaptionLayout CaptionLayout() const { return FCaptionLayout; }
  void SetCaptionLayout(TsCaptionLayout Value);
  int CaptionYOffset() const { return FCaptionYOffset; }
  void SetCaptionYOffset(int Value);
  const std::string& CaptionSkin() const { return FCaptionSkin; }
  void SetCaptionSkin(const std::string& Value);

  void AdjustClientRect(TRect& Rect) override;
  void Dispatch(TMessage& Message) override;

  // The caption box on the top edge.
  TRect CaptionRect();
  // Parent strip, frame and caption box into the cache bitmap.
  void PrepareCache();

 protected:
  void Paint() override;
  bool PassesSkinCommandsOn() const override { return true; }
  void RepaintAfterUpdate() override;
  bool SkinnedMessage(TMessage& Message) override;

 private:
  // The skinned look onto DC, children left out; the graphic children painted over it.
  void SkinnedPaint(HDC DC);
  void PaintHandler(TMessage& Message);
  void PaintCaptionBox(const TsCacheInfo& ParentCache, const TRect& CR);
  bool SkinActive() const;

  TsCaptionLayout FCaptionLayout = clTopLeft;
  int FCaptionYOffset = 0;
  std::string FCaptionSkin;
};

class TsRadioGroup;

// The radio button a radio group makes for each of its lines.
class TsGroupButton : public TsRadioButton {
 public:
  QV_CLASS_NAME(TsGroupButton)
  explicit TsGroupButton(TsRadioGroup* Group);
  ~TsGroupButton() override;

  bool GetReadOnly() const override;
  void Dispatch(TMessage& Message) override;
  TsRadioGroup* Group() const { return FGroup; }

 protected:
  void KeyPress(char& Key) override;
  void KeyDown(std::uint16_t& Key, TShiftState Shift) override;

 private:
  friend class TsRadioGroup;
  TsRadioGroup* FGroup;
  bool FInClick = false;
};

class TsRadioGroup : public TsGroupBox {
 public:
  QV_CLASS_NAME(TsRadioGroup)
  explicit TsRadioGroup(TComponent* AOwner);
  ~TsRadioGroup() override;

  // ---- published (AnimatEvents: the frame's, given to every button)
  int Columns() const { return FColumns; }
  void SetColumns(int Value);
  int ItemIndex() const { return FItemIndex; }
  void SetItemIndex(int Value);
  TStrings* Items() const { return FItems; }
  void SetItems(TStrings* Value) { FItems->Assign(Value); }

  // Whether the user may change the checked button (a descendant may refuse).
  virtual bool CanModify() { return true; }

  int ButtonCount() const { return int(FButtons.size()); }
  TsGroupButton* Buttons(int Index) const { return FButtons[std::size_t(Index)]; }
  // Sizes and places the buttons in columns.
  void PlaceButtons();
  void Dispatch(TMessage& Message) override;

 protected:
  void Loaded() override;
  bool AnswerAnyState(TMessage& Message) override;

 private:
  friend class TsGroupButton;
  bool Reading() const { return ComponentState().Contains(csReading); }
  void SetButtonCount(int Value);
  void RebuildButtons();
  void ItemsChange(TObject* Sender);
  void ButtonClick(TObject* Sender);

  std::vector<TsGroupButton*> FButtons;
  TStringList* FItems = nullptr;
  int FItemIndex = -1;
  int FColumns = 1;
  bool FUpdating = false;  // the group checks a button itself
};
