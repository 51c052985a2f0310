// The calculator popup of the number edits: a small borderless form with a four-function
// calculator (qv::TacCalcEngine) built from skinned panels, a drag bar and speed buttons.
//
// It edits a display text, keeps one pending operator with its operand and a memory, and on "="
// (or Enter on a result) writes the result into its owner edit and closes. It closes on Esc while
// the display shows "0", on its close button and when it loses the activation. Keys typed on the
// form, the buttons and the form's popup menu (copy, paste; hidden OK and Cancel items that carry
// Enter and Esc) all go through the same key processing.
#pragma once

#include "classlib/Win.h"

#include <string>
#include <vector>

#include "classlib/Forms.h"
#include "classlib/Menus.h"
#include "skin/controls/core/acCalcEngine.h"
#include "skin/controls/sPanel.h"
#include "skin/controls/sSpeedButton.h"

class TsCustomNumEdit;

// Set while a number edit creates its calculator.
extern bool CalcFormCreating;

using TacCalcKeyEvent = TMethod<void(TObject* Sender, char& Key)>;

class TsCalcForm : public TForm {
 public:
  QV_CLASS_NAME(TsCalcForm)
  explicit TsCalcForm(TComponent* AOwner);
  ~TsCalcForm() override;

  // ---- the calculator
  const std::string& DisplayText() const { return FEngine.Text(); }
  void SetDisplayText(const std::string& Value) { FEngine.SetText(Value); }
  // The display read as a number (0 in the error state).
  double DisplayValue() const { return FEngine.DisplayValue(); }
  // The value written in the display's format (general, Precision digits).
  void ShowValue(double Value) { FEngine.ShowValue(Value); }
  int Precision() const { return FEngine.Precision(); }
  void SetPrecision(int Value) { FEngine.SetPrecision(Value); }
  bool BeepOnError() const { return FEngine.BeepOnError; }
  void SetBeepOnError(bool Value) { FEngine.BeepOnError = Value; }
  double Memory() const { return FEngine.Memory(); }
  const qv::TacCalcEngine& Engine() const { return FEngine; }
  // The edit that takes the result (nullptr: none; Enter and "=" then only compute).
  TsCustomNumEdit* OwnerEdit() const { return FOwnerEdit; }
  void SetOwnerEdit(TsCustomNumEdit* Value);
  // One key as typed on the form.
  void ProcessKey(char Key);
  // The memory buttons' work: 'C' clear, 'R' recall, 'S' store, 'P' add.
  void MemoryKey(char Which);
  void Copy();
  void Paste();

  // Optional notifications, called when assigned.
  TNotifyEvent OnCalcError;
  TNotifyEvent OnCalcOk;
  TNotifyEvent OnCalcCancel;
  TNotifyEvent OnCalcResult;
  TNotifyEvent OnDisplayChange;
  TNotifyEvent OnValueShown;
  TacCalcKeyEvent OnCalcKey;

  // ---- the form's parts
  TsPanel* MainPanel() const { return FMainPanel; }
  TsDragBar* DragBar() const { return FDragBar; }
  TsPanel* CalculatorPanel() const { return FCalculatorPanel; }
  TsPanel* DisplayPanel() const { return FDisplayPanel; }
  // The memory indicator ("M" while the memory is not 0).
  TsPanel* MemoryPanel() const { return FCalcPanel; }
  TPopupMenu* Menu() const { return FPopupMenu; }
  // The button that sends Key (nullptr when none does).
  TsSpeedButton* KeyButton(char Key) const;
  TsSpeedButton* MemoryButton(char Which) const;

  virtual void RefreshDisplay();
  void WndProc(TMessage& Message) override;

 protected:
  void KeyPress(char& Key) override;
  void DoShow() override;
  void Deactivate() override;
  void DoClose(TCloseAction& Action) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

 private:
  void BuildControls();
  TsSpeedButton* AddButton(const char* Caption, int Left, int Top, int Width, char Key);
  void KeyButtonClick(TObject* Sender);
  void MemoryButtonClick(TObject* Sender);
  void CopyClick(TObject* Sender);
  void PasteClick(TObject* Sender);
  void OkClick(TObject* Sender);
  void CancelClick(TObject* Sender);
  void MenuPopup(TObject* Sender);
  void MinimizeClick(TObject* Sender);
  void CloseClick(TObject* Sender);
  void OwnerEditGone();
  // What the engine asked for after a key.
  void Carry(qv::TacCalcAction Action);
  // The display value to the owner edit, which takes the focus; the form closes.
  void HandBack();

  qv::TacCalcEngine FEngine;
  TsCustomNumEdit* FOwnerEdit = nullptr;
  TsPanel* FMainPanel = nullptr;
  TsDragBar* FDragBar = nullptr;
  TsSpeedButton* FMinimizeButton = nullptr;
  TsSpeedButton* FCloseButton = nullptr;
  TsPanel* FCalculatorPanel = nullptr;
  TsPanel* FDisplayPanel = nullptr;
  TsPanel* FCalcPanel = nullptr;
  TPopupMenu* FPopupMenu = nullptr;
  TMenuItem* FPasteItem = nullptr;
  std::vector<std::pair<TsSpeedButton*, char>> FKeyButtons;
  std::vector<std::pair<TsSpeedButton*, char>> FMemoryButtons;
};
