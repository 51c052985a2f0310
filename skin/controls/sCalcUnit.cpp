#include "skin/controls/sCalcUnit.h"

#include "classlib/Clipbrd.h"
#include "classlib/core/SysUtils.h"
#include "skin/controls/sCurrEdit.h"

bool CalcFormCreating = false;

namespace {

constexpr char kBack = 8, kEnter = 13, kEsc = 27;

// The calculator's keys: caption, column, row and width; the key the button sends. The places are
// in the client area of the calculator panel (inside its border band): a row of the memory
// indicator, Backspace and C, then four rows of a memory column and five key columns.
struct TKeyButton {
  const char* Caption;
  int Left, Top, Width;
  char Key;
};
constexpr int kRow[] = {28, 49, 70, 91, 112};
constexpr int kMemoryCol = 2;
constexpr int kCol[] = {34, 66, 98, 130, 162};
constexpr int kKeyWidth = 30;
constexpr TKeyButton kKeyButtons[] = {
    {"<-", 84, kRow[0], 54, kBack},
    {"C", 140, kRow[0], 54, 'C'},
    {"7", kCol[0], kRow[1], kKeyWidth, '7'},
    {"8", kCol[1], kRow[1], kKeyWidth, '8'},
    {"9", kCol[2], kRow[1], kKeyWidth, '9'},
    {"/", kCol[3], kRow[1], kKeyWidth, '/'},
    {"sqrt", kCol[4], kRow[1], kKeyWidth, 'Q'},
    {"4", kCol[0], kRow[2], kKeyWidth, '4'},
    {"5", kCol[1], kRow[2], kKeyWidth, '5'},
    {"6", kCol[2], kRow[2], kKeyWidth, '6'},
    {"*", kCol[3], kRow[2], kKeyWidth, '*'},
    {"%", kCol[4], kRow[2], kKeyWidth, '%'},
    {"1", kCol[0], kRow[3], kKeyWidth, '1'},
    {"2", kCol[1], kRow[3], kKeyWidth, '2'},
    {"3", kCol[2], kRow[3], kKeyWidth, '3'},
    {"-", kCol[3], kRow[3], kKeyWidth, '-'},
    {"1/%", kCol[4], kRow[3], kKeyWidth, 'R'},
    {"0", kCol[0], kRow[4], kKeyWidth, '0'},
    {"\xB1", kCol[1], kRow[4], kKeyWidth, '_'},
    {".", kCol[2], kRow[4], kKeyWidth, '.'},
    {"+", kCol[3], kRow[4], kKeyWidth, '+'},
    {"=", kCol[4], kRow[4], kKeyWidth, '='},
};
struct TMemoryButton {
  const char* Caption;
  const char* Hint;
  int Top;
  char Which;
};
constexpr TMemoryButton kMemoryButtons[] = {{"MC", "Clear memory", kRow[1], 'C'},
                                            {"MR", "From memory", kRow[2], 'R'},
                                            {"MS", "To memory", kRow[3], 'S'},
                                            {"MP", "Sum with memory", kRow[4], 'P'}};

TsSkinManager* ActiveDefaultManager() {
  TsSkinManager* sm = DefaultManager;
  return sm && sm->Active() && sm->SkinData()->Active ? sm : nullptr;
}

}  // namespace

TsCalcForm::TsCalcForm(TComponent* AOwner) : TForm(AOwner) {
  SetName("sCalcForm");
  SetCaption("Calculator");
  SetBorderStyle(bsNone);
  SetKeyPreview(true);
  SetPosition(poMainFormCenter);
  SetShowHint(true);
  SetClientSize(214, 172);
  FEngine.OnBeep = [] { MessageBeep(0); };
  FEngine.OnDisplayChange = [this] { RefreshDisplay(); };
  FEngine.OnError = [this] { OnCalcError(this); };
  FEngine.OnResult = [this] { OnCalcResult(this); };
  FEngine.OnValueShown = [this] { OnValueShown(this); };
  FEngine.OnKeyFilter = [this](char& Key) { OnCalcKey(this, Key); };
  BuildControls();
  RefreshDisplay();
}

TsCalcForm::~TsCalcForm() {
  FEngine.OnBeep = nullptr;
  FEngine.OnDisplayChange = nullptr;
  FEngine.OnError = nullptr;
  FEngine.OnResult = nullptr;
  FEngine.OnValueShown = nullptr;
  FEngine.OnKeyFilter = nullptr;
}

TsSpeedButton* TsCalcForm::AddButton(const char* Caption, int Left, int Top, int Width, char Key) {
  auto* b = ::Create<TsSpeedButton>(this);
  b->SkinData()->SetSkinSection("SPEEDBUTTON_SMALL");
  b->SetParent(FCalculatorPanel);
  b->SetBounds(Left, Top, Width, 20);
  b->SetCaption(Caption);
  b->OnClick = MakeMethod<&TsCalcForm::KeyButtonClick>(this);
  FKeyButtons.emplace_back(b, Key);
  if (Key >= '0' && Key <= '9') b->SetTag(Key - '0');
  return b;
}

void TsCalcForm::BuildControls() {
  FMainPanel = ::Create<TsPanel>(this);
  FMainPanel->SetParent(this);
  FMainPanel->SetAlign(alClient);
  FMainPanel->SetBorderWidth(2);
  FMainPanel->SkinData()->SetSkinSection("PANEL");

  FDragBar = ::Create<TsDragBar>(this);
  FDragBar->SetParent(FMainPanel);
  FDragBar->SetBounds(3, 3, 208, 20);
  FDragBar->SetCaption("Calculator");
  FDragBar->Font()->SetStyle(TFontStyles{fsBold});
  FDragBar->SkinData()->SetSkinSection("DRAGBAR");
  auto toolButton = [this](const char* Caption, const char* Hint, TNotifyEvent Click) {
    auto* b = ::Create<TsSpeedButton>(this);
    b->SetParent(FDragBar);
    b->SetAlign(alRight);
    b->SetWidth(20);
    b->SetCaption(Caption);
    b->SetHint(Hint);
    b->SetFlat(true);
    b->SkinData()->SetSkinSection("SPEEDBUTTON");
    b->OnClick = Click;
    return b;
  };
  FCloseButton = toolButton("X", "Close window", MakeMethod<&TsCalcForm::CloseClick>(this));
  FMinimizeButton = toolButton("_", "Minimize application", MakeMethod<&TsCalcForm::MinimizeClick>(this));

  FCalculatorPanel = ::Create<TsPanel>(this);
  FCalculatorPanel->SetParent(FMainPanel);
  FCalculatorPanel->SetAlign(alBottom);
  FCalculatorPanel->SetHeight(142);
  FCalculatorPanel->SetBorderWidth(4);
  FCalculatorPanel->SkinData()->SetSkinSection("PANEL");

  FDisplayPanel = ::Create<TsPanel>(this);
  FDisplayPanel->SetParent(FCalculatorPanel);
  FDisplayPanel->SetAlign(alTop);
  FDisplayPanel->SetHeight(20);
  FDisplayPanel->SetAlignment(taRightJustify);
  FDisplayPanel->SetBorderWidth(3);
  FDisplayPanel->SetBevelOuter(bvLowered);
  FDisplayPanel->Font()->SetStyle(TFontStyles{fsBold});
  FDisplayPanel->Font()->SetHeight(-15);
  FDisplayPanel->SetParentFont(false);
  FDisplayPanel->SkinData()->SetSkinSection("EDIT");

  FCalcPanel = ::Create<TsPanel>(this);
  FCalcPanel->SetParent(FCalculatorPanel);
  FCalcPanel->SetBounds(kMemoryCol, kRow[0], 78, 19);
  FCalcPanel->SetBevelOuter(bvLowered);
  FCalcPanel->SkinData()->SetSkinSection("PANEL");

  for (const TKeyButton& k : kKeyButtons) {
    TsSpeedButton* b = AddButton(k.Caption, k.Left, k.Top, k.Width, k.Key);
    if (k.Key == kBack || k.Key == 'C') {
      b->Font()->SetColor(clMaroon);
      b->Font()->SetStyle(TFontStyles{fsBold});
    }
    if (k.Key == 'R') b->SetVisible(false);
  }
  for (const TMemoryButton& m : kMemoryButtons) {
    auto* b = ::Create<TsSpeedButton>(this);
    b->SkinData()->SetSkinSection("SPEEDBUTTON_SMALL");
    b->SetParent(FCalculatorPanel);
    b->SetBounds(kMemoryCol, m.Top, kKeyWidth, 20);
    b->SetCaption(m.Caption);
    b->SetHint(m.Hint);
    b->Font()->SetColor(clNavy);
    b->OnClick = MakeMethod<&TsCalcForm::MemoryButtonClick>(this);
    FMemoryButtons.emplace_back(b, m.Which);
  }

  FPopupMenu = ::Create<TPopupMenu>(this);
  FPopupMenu->OnPopup = MakeMethod<&TsCalcForm::MenuPopup>(this);
  auto item = [this](const char* Caption, TShortCut Key, TNotifyEvent Click, bool Visible) {
    auto* i = ::Create<TMenuItem>(this);
    i->SetCaption(Caption);
    i->SetShortCut(Key);
    i->OnClick = Click;
    i->SetVisible(Visible);
    FPopupMenu->Items()->Add(i);
    return i;
  };
  item("&Copy", TShortCut(scCtrl | VK_INSERT), MakeMethod<&TsCalcForm::CopyClick>(this), true);
  FPasteItem = item("&Paste", TShortCut(scShift | VK_INSERT), MakeMethod<&TsCalcForm::PasteClick>(this), true);
  item("OK", TShortCut(VK_RETURN), MakeMethod<&TsCalcForm::OkClick>(this), false);
  item("Cancel", TShortCut(VK_ESCAPE), MakeMethod<&TsCalcForm::CancelClick>(this), false);
  SetPopupMenu(FPopupMenu);
}

TsSpeedButton* TsCalcForm::KeyButton(char Key) const {
  for (const auto& [b, k] : FKeyButtons)
    if (k == Key) return b;
  return nullptr;
}

TsSpeedButton* TsCalcForm::MemoryButton(char Which) const {
  for (const auto& [b, w] : FMemoryButtons)
    if (w == Which) return b;
  return nullptr;
}

void TsCalcForm::SetOwnerEdit(TsCustomNumEdit* Value) {
  FOwnerEdit = Value;
  if (Value) Value->FreeNotification(this);
  FEngine.HasOwner = Value != nullptr;
}

void TsCalcForm::Notification(TComponent* AComponent, TOperation Operation) {
  TForm::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FOwnerEdit) OwnerEditGone();
}

void TsCalcForm::OwnerEditGone() {
  FOwnerEdit = nullptr;
  FEngine.HasOwner = false;
}

void TsCalcForm::RefreshDisplay() {
  if (FDisplayPanel) {
    FDisplayPanel->SetCaption(FEngine.Text() + " ");
    FDisplayPanel->SkinData()->BGChanged = true;
  }
  OnDisplayChange(this);
}

// ---- keys -----------------------------------------------------------------------------------------------

void TsCalcForm::ProcessKey(char Key) { Carry(FEngine.Key(Key)); }

void TsCalcForm::Carry(qv::TacCalcAction Action) {
  switch (Action) {
    case qv::TacCalcAction::HandBack: HandBack(); break;
    case qv::TacCalcAction::Close:
      // Without an owner edit there is nobody to give the focus back to: the form only closes.
      if (FOwnerEdit && FOwnerEdit->CanFocus()) FOwnerEdit->SetFocus();
      Close();
      break;
    case qv::TacCalcAction::Copy: Copy(); break;
    case qv::TacCalcAction::Paste: Paste(); break;
    case qv::TacCalcAction::None: break;
  }
}

void TsCalcForm::HandBack() {
  if (!FOwnerEdit) return;
  auto alive = AliveToken();
  FOwnerEdit->AcceptPopupValue(FEngine.DisplayValue());
  if (*alive) Close();
}

void TsCalcForm::KeyPress(char& Key) {
  TForm::KeyPress(Key);
  if (Key == 0) return;
  const char k = Key;
  Key = 0;
  ProcessKey(k);
}

void TsCalcForm::MemoryKey(char Which) {
  using M = qv::TacCalcEngine::TMemoryKey;
  switch (Which) {
    case 'C': FEngine.MemoryKey(M::Clear); break;
    case 'R': FEngine.MemoryKey(M::Recall); break;
    case 'S': FEngine.MemoryKey(M::Store); break;
    case 'P': FEngine.MemoryKey(M::Add); break;
    default: return;
  }
  if (FCalcPanel) FCalcPanel->SetCaption(FEngine.Memory() != 0 ? "M" : "");
}

void TsCalcForm::Copy() { Clipboard()->SetAsText(FEngine.Text()); }

void TsCalcForm::Paste() {
  if (!Clipboard()->HasFormat(CF_TEXT)) return;
  FEngine.Paste(Clipboard()->AsText(), FormatSettings.CurrencyString);
}

// ---- buttons and menu -------------------------------------------------------------------------------------

void TsCalcForm::KeyButtonClick(TObject* Sender) {
  for (const auto& [b, k] : FKeyButtons)
    if (b == Sender) {
      ProcessKey(k);
      return;
    }
}

void TsCalcForm::MemoryButtonClick(TObject* Sender) {
  for (const auto& [b, w] : FMemoryButtons)
    if (b == Sender) {
      MemoryKey(w);
      return;
    }
}

void TsCalcForm::MenuPopup(TObject*) { FPasteItem->SetEnabled(Clipboard()->HasFormat(CF_TEXT)); }

void TsCalcForm::CopyClick(TObject*) { Copy(); }

void TsCalcForm::PasteClick(TObject*) { Paste(); }

// The hidden items carry Enter and Esc as their shortcuts: the keys do what they do when typed,
// after the items' own notifications.
void TsCalcForm::OkClick(TObject*) {
  if (FEngine.Status() == qv::TacCalcStatus::Error) {
    if (FEngine.BeepOnError) MessageBeep(0);
    return;
  }
  auto alive = AliveToken();
  FEngine.ShowValue(FEngine.DisplayValue());
  OnCalcOk(this);
  if (*alive) ProcessKey(kEnter);
}

void TsCalcForm::CancelClick(TObject*) {
  auto alive = AliveToken();
  OnCalcCancel(this);
  if (*alive) ProcessKey(kEsc);
}

void TsCalcForm::MinimizeClick(TObject*) { Application->Minimize(); }

void TsCalcForm::CloseClick(TObject*) { Close(); }

// ---- the form ---------------------------------------------------------------------------------------------------

void TsCalcForm::DoShow() {
  if (FOwnerEdit) FEngine.ShowValue(FOwnerEdit->Value());
  TsSkinManager* sm = ActiveDefaultManager();
  SetColor(sm ? sm->GetGlobalColor() : clBtnFace);
  TForm::DoShow();
}

void TsCalcForm::DoClose(TCloseAction& Action) {
  TForm::DoClose(Action);
  // A form that frees itself goes out of sight at once (and is not closed again as it loses the
  // activation meanwhile).
  if (Action == caFree && Visible()) Hide();
}

void TsCalcForm::Deactivate() {
  TForm::Deactivate();
  if (Visible()) Close();
}

void TsCalcForm::WndProc(TMessage& Message) {
  if (Message.Msg == WM_ERASEBKGND && ActiveDefaultManager()) {
    Message.Result = 1;
    return;
  }
  TForm::WndProc(Message);
}
