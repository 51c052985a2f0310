// The gallery's MDI demo: an MDI frame form with a menu, a skin manager and a provider, and three
// child forms with standard controls that their providers' control adapters skin. The class
// library makes MDI children inside the application's main form only, so the demo runs as a
// program of its own (gallery.exe --mdi).
#pragma once

#include "classlib/Forms.h"

#include <string>

class TsSkinManager;

class TMDIDemoForm : public TForm {
 public:
  QV_CLASS_NAME(TMDIDemoForm)
  explicit TMDIDemoForm(TComponent* AOwner);
  // The frame is the application's main form: the children are made once it has its window.
  void AddChildren();
  void MaximizeActiveChild();
  void SetSkinFolder(const std::string& Folder);
  // An empty name gives the plain look.
  void ChooseSkin(const std::string& Name);

 private:
  void TileClick(TObject* Sender);
  void CascadeClick(TObject* Sender);
  TsSkinManager* FSkinManager = nullptr;
};
