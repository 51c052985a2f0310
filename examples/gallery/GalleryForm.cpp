#include "examples/gallery/GalleryForm.h"

#include "classlib/ComCtrls.h"
#include "classlib/ExtCtrlsPanels.h"
#include "classlib/StdCtrls.h"
#include "examples/gallery/ButtonExamples.h"
#include "examples/gallery/CheckEditListExamples.h"
#include "examples/gallery/ComboExamples.h"
#include "examples/gallery/DialogExamples.h"
#include "examples/gallery/ListBarExamples.h"
#include "examples/gallery/MenuExamples.h"
#include "examples/gallery/PanelExamples.h"
#include "examples/gallery/PlainWindowExamples.h"
#include "examples/gallery/ScrollAdapterExamples.h"
#include "examples/gallery/StandardExamples.h"
#include "examples/gallery/TabExamples.h"
#include "skin/controls/sCurrEdit.h"
#include "skin/engine/sSkinManager.h"
#include "skin/windows/sSkinProvider.h"

namespace {
const char kPlainLook[] = "(plain look)";
}

TGalleryForm::TGalleryForm(TComponent* AOwner) : TForm(AOwner) {
  SetCaption("Gallery");
  SetBounds(40, 40, 728, 600);

  FSkinManager = ::Create<TsSkinManager>(this);
  // The form's frame, title bar, buttons, menu line and region come from the skin.
  FProvider = ::Create<TsSkinProvider>(this);
  // Its window menu offers the available skins too.
  FProvider->SetMakeSkinMenu(true);
  FPopupMenu = AddMenuExamples(this);

  FSkinChooser = ::Create<TComboBox>(this);
  FSkinChooser->SetParent(this);
  FSkinChooser->SetStyle(csDropDownList);
  FSkinChooser->SetBounds(16, 16, 200, 24);
  FSkinChooser->OnChange = MakeMethod<&TGalleryForm::SkinChooserChange>(this);

  FMessageBoxButton = ::Create<TButton>(this);
  FMessageBoxButton->SetParent(this);
  FMessageBoxButton->SetCaption("Message box");
  FMessageBoxButton->SetBounds(232, 14, 150, 28);
  FMessageBoxButton->OnClick = MakeMethod<&TGalleryForm::MessageBoxClick>(this);
  auto* openButton = ::Create<TButton>(this);
  openButton->SetParent(this);
  openButton->SetCaption("Open a file...");
  openButton->SetBounds(392, 14, 150, 28);
  openButton->OnClick = MakeMethod<&TGalleryForm::OpenDialogClick>(this);
  auto* colorButton = ::Create<TButton>(this);
  colorButton->SetParent(this);
  colorButton->SetCaption("Choose a colour...");
  colorButton->SetBounds(552, 14, 150, 28);
  colorButton->OnClick = MakeMethod<&TGalleryForm::ColorDialogClick>(this);

  FPages = ::Create<TPageControl>(this);
  FPages->SetParent(this);
  FPages->SetBounds(8, 52, 704, 484);
  TTabSheet* skinned = AddPage("Skinned controls");
  TTabSheet* standard = AddPage("Standard controls");
  FCheckPage = AddPage("Checks, edits and lists");
  FPages->OnChange = MakeMethod<&TGalleryForm::PageChange>(this);
  TTabSheet* plainWindows = AddPage("Plain windows");
  TTabSheet* panels = AddPage("Labels, panels and bars");
  TTabSheet* tabs = AddPage("Pages and gauges");
  TTabSheet* combos = AddPage("Combos and number edits");
  TTabSheet* lists = AddPage("Lists and bars");
  TTabSheet* dialogs = AddPage("Dialogs");

  auto* buttons = ::Create<TGroupBox>(this);
  buttons->SetParent(skinned);
  buttons->SetCaption("Push buttons and speed buttons");
  buttons->SetBounds(8, 8, 330, 180);
  auto* buttonArea = ::Create<TPanel>(this);
  buttonArea->SetParent(buttons);
  buttonArea->SetBevelOuter(bvNone);
  buttonArea->SetBounds(8, 20, 314, 152);
  AddButtonExamples(buttonArea);

  AddPlainControls(skinned);

  auto* scrolling = ::Create<TGroupBox>(this);
  scrolling->SetParent(skinned);
  scrolling->SetCaption("Skinned scroll bars on adapted windows");
  scrolling->SetBounds(8, 200, 676, 220);
  auto* scrollArea = ::Create<TPanel>(this);
  scrollArea->SetParent(scrolling);
  scrollArea->SetBevelOuter(bvNone);
  scrollArea->SetBounds(8, 20, 660, 192);
  AddScrollAdapterExamples(scrollArea);

  auto* standardArea = ::Create<TPanel>(this);
  standardArea->SetParent(standard);
  standardArea->SetBevelOuter(bvNone);
  standardArea->SetBounds(8, 8, 680, 430);
  AddStandardExamples(standardArea);

  auto* checkArea = ::Create<TPanel>(this);
  checkArea->SetParent(FCheckPage);
  checkArea->SetBevelOuter(bvNone);
  checkArea->SetBounds(4, 6, 692, 440);
  FCheckFocus = AddCheckEditListExamples(checkArea);

  auto* plainArea = ::Create<TPanel>(this);
  plainArea->SetParent(plainWindows);
  plainArea->SetBevelOuter(bvNone);
  plainArea->SetBounds(8, 8, 680, 430);
  AddPlainWindowExamples(plainArea);

  auto* panelArea = ::Create<TPanel>(this);
  panelArea->SetParent(panels);
  panelArea->SetBevelOuter(bvNone);
  panelArea->SetAlign(alClient);
  FWebLabel = AddPanelExamples(panelArea);

  auto* tabArea = ::Create<TPanel>(this);
  tabArea->SetParent(tabs);
  tabArea->SetBevelOuter(bvNone);
  tabArea->SetBounds(8, 8, 680, 430);
  AddTabExamples(tabArea);
  auto* comboArea = ::Create<TPanel>(this);
  comboArea->SetParent(combos);
  comboArea->SetBevelOuter(bvNone);
  comboArea->SetBounds(4, 6, 692, 440);
  FCurrencyEdit = AddComboExamples(comboArea);

  auto* listArea = ::Create<TPanel>(this);
  listArea->SetParent(lists);
  listArea->SetBevelOuter(bvNone);
  listArea->SetBounds(8, 8, 680, 430);
  AddListBarExamples(listArea);

  auto* dialogArea = ::Create<TPanel>(this);
  dialogArea->SetParent(dialogs);
  dialogArea->SetBevelOuter(bvNone);
  dialogArea->SetBounds(8, 8, 680, 430);
  AddDialogExamples(dialogArea);
}

void TGalleryForm::OpenCalculator() {
  if (FCurrencyEdit) FCurrencyEdit->ShowPopup();
}

TTabSheet* TGalleryForm::AddPage(const std::string& Caption) {
  auto* page = ::Create<TTabSheet>(this);
  page->SetPageControl(FPages);
  page->SetCaption(Caption);
  return page;
}

void TGalleryForm::ShowPage(int Index) {
  if (Index >= 0 && Index < FPages->PageCount()) FPages->SetActivePageIndex(Index);
  FocusCheckPage();
}

void TGalleryForm::FocusCheckPage() {
  if (FCheckFocus && FPages->ActivePage() == FCheckPage && FCheckFocus->CanFocus()) SetActiveControl(FCheckFocus);
}

void TGalleryForm::PageChange(TObject*) { FocusCheckPage(); }

void TGalleryForm::Activate() {
  TForm::Activate();
  FocusCheckPage();
}

void TGalleryForm::AddPlainControls(TWinControl* Parent) {
  // Controls of the class library that no skinned class or adapter takes over yet, in their plain
  // look beside the skinned ones.
  auto* group = ::Create<TGroupBox>(this);
  group->SetParent(Parent);
  group->SetCaption("Plain controls");
  group->SetBounds(354, 8, 330, 180);

  auto* label = ::Create<TLabel>(this);
  label->SetParent(group);
  label->SetCaption("A label");
  label->SetBounds(12, 24, 120, 16);

  auto* edit = ::Create<TEdit>(this);
  edit->SetParent(group);
  edit->SetText("An edit");
  edit->SetBounds(12, 44, 140, 22);

  auto* check = ::Create<TCheckBox>(this);
  check->SetParent(group);
  check->SetCaption("A check box");
  check->SetChecked(true);
  check->SetBounds(12, 74, 140, 20);

  for (int i = 0; i < 2; ++i) {
    auto* radio = ::Create<TRadioButton>(this);
    radio->SetParent(group);
    radio->SetCaption(i == 0 ? "First choice" : "Second choice");
    radio->SetChecked(i == 0);
    radio->SetBounds(12, 98 + i * 22, 140, 20);
  }

  auto* memo = ::Create<TMemo>(this);
  memo->SetParent(group);
  memo->SetBounds(168, 24, 150, 142);
  memo->SetScrollBars(ssVertical);
  for (int i = 1; i <= 20; ++i) memo->Lines()->Add("Line " + std::to_string(i) + " of a memo");
}

void TGalleryForm::SetSkinFolder(const std::string& Folder) {
  FSkinManager->SetSkinDirectory(Folder);
  FillSkinChooser();
}

void TGalleryForm::FillSkinChooser() {
  TStringList names;
  std::string first;
  FSkinManager->ListSkins(&names, stAllSkins, first);
  TStrings* items = FSkinChooser->Items();
  items->BeginUpdate();
  items->Clear();
  items->Add(kPlainLook);
  for (int i = 0; i < names.Count(); ++i) items->Add(names.Strings(i));
  items->EndUpdate();
  int index = items->IndexOf(FSkinManager->Active() ? FSkinManager->SkinName() : kPlainLook);
  FSkinChooser->SetItemIndex(index < 0 ? 0 : index);
}

void TGalleryForm::ChooseSkin(const std::string& Name) {
  if (Name.empty() || Name == kPlainLook) {
    FSkinManager->SetActive(false);
  } else {
    FSkinManager->SetSkinName(Name);
    FSkinManager->SetActive(true);
  }
  FollowLookInLinkColour(FWebLabel, FSkinManager);
  int index = FSkinChooser->Items()->IndexOf(Name.empty() ? std::string(kPlainLook) : Name);
  if (index >= 0) FSkinChooser->SetItemIndex(index);
}

void TGalleryForm::SkinChooserChange(TObject*) {
  int index = FSkinChooser->ItemIndex();
  if (index >= 0) ChooseSkin(FSkinChooser->Items()->Strings(index));
}

void TGalleryForm::MessageBoxClick(TObject*) { ShowMessageBox(); }

void TGalleryForm::OpenDialogClick(TObject*) { ShowOpenDialog(); }

void TGalleryForm::ColorDialogClick(TObject*) { ShowColorDialog(); }

void TGalleryForm::ShowOpenDialog() {
  char file[MAX_PATH] = {};
  OPENFILENAMEA ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = Handle();
  ofn.lpstrFilter = "Skins (*.asz)\0*.asz\0All files\0*.*\0";
  ofn.lpstrFile = file;
  ofn.nMaxFile = sizeof file;
  ofn.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_HIDEREADONLY;
  GetOpenFileNameA(&ofn);
}

void TGalleryForm::ShowColorDialog() {
  static COLORREF custom[16] = {};
  CHOOSECOLORA cc{};
  cc.lStructSize = sizeof cc;
  cc.hwndOwner = Handle();
  cc.rgbResult = RGB(0x30, 0x60, 0xC0);
  cc.lpCustColors = custom;
  cc.Flags = CC_RGBINIT | CC_FULLOPEN;
  ChooseColorA(&cc);
}

void TGalleryForm::ShowMessageBox() {
  MessageBoxA(Handle(), "This is a system message box, drawn in the skin.", "Gallery",
              MB_OKCANCEL | MB_ICONINFORMATION);
}
