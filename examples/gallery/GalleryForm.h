// The gallery's main form: a skin chooser, buttons that open a system message box, the file-open
// dialog and the colour dialog (skinned by the dialog hook), one example of every skinned control
// and adapted window the library has, and a page of every kind of message box and the other system
// dialogs.
#pragma once

#include "classlib/Forms.h"

#include <string>

class TButton;
class TComboBox;
class TLabel;
class TPageControl;
class TPopupMenu;
class TTabSheet;
class TWinControl;
class TsCustomNumEdit;
class TsWebLabel;
class TsSkinManager;
class TsSkinProvider;

class TGalleryForm : public TForm {
 public:
  QV_CLASS_NAME(TGalleryForm)
  explicit TGalleryForm(TComponent* AOwner);

  // Where the skin folders and packed skins are; the built-in skin needs none.
  void SetSkinFolder(const std::string& Folder);
  // Chooses a skin by name; an empty name gives the plain look.
  void ChooseSkin(const std::string& Name);

  TsSkinManager* SkinManager() const { return FSkinManager; }
  // Brings page Index of the gallery to the front (0: the skinned controls).
  void ShowPage(int Index);
  // The popup menu that opens on a right click on the form.
  TPopupMenu* PopupMenuExample() const { return FPopupMenu; }
  // Opens the calculator of the number edits' page.
  void OpenCalculator();
  // Opens the message box of the form's button (returns when it is closed).
  void ShowMessageBox();
  // Opens the system's file-open dialog and its colour dialog (each returns when closed).
  void ShowOpenDialog();
  void ShowColorDialog();

 protected:
  void Activate() override;

 private:
  // The page of checks, edits and lists shows its focused check box focused.
  void FocusCheckPage();
  void PageChange(TObject* Sender);
  TTabSheet* AddPage(const std::string& Caption);
  void AddPlainControls(TWinControl* Parent);
  void FillSkinChooser();
  void SkinChooserChange(TObject* Sender);
  void MessageBoxClick(TObject* Sender);
  void OpenDialogClick(TObject* Sender);
  void ColorDialogClick(TObject* Sender);

  TsSkinManager* FSkinManager = nullptr;
  TsSkinProvider* FProvider = nullptr;
  TComboBox* FSkinChooser = nullptr;
  TButton* FMessageBoxButton = nullptr;
  TPageControl* FPages = nullptr;
  TPopupMenu* FPopupMenu = nullptr;
  TTabSheet* FCheckPage = nullptr;
  TWinControl* FCheckFocus = nullptr;
  TsWebLabel* FWebLabel = nullptr;
  TsCustomNumEdit* FCurrencyEdit = nullptr;
};
