#include "examples/gallery/MDIExamples.h"

#include "classlib/ComCtrls.h"
#include "classlib/Menus.h"
#include "classlib/StdCtrls.h"
#include "skin/engine/sSkinManager.h"
#include "skin/windows/sSkinProvider.h"

TMDIDemoForm::TMDIDemoForm(TComponent* AOwner) : TForm(AOwner) {
  SetCaption("MDI demo");
  SetBounds(40, 40, 640, 480);
  SetFormStyle(fsMDIForm);
  FSkinManager = ::Create<TsSkinManager>(this);
  ::Create<TsSkinProvider>(this);

  auto* menu = ::Create<TMainMenu>(this);
  auto* window = ::Create<TMenuItem>(menu);
  window->SetCaption("&Window");
  menu->Items()->Add(window);
  auto* tile = ::Create<TMenuItem>(menu);
  tile->SetCaption("&Tile");
  tile->OnClick = MakeMethod<&TMDIDemoForm::TileClick>(this);
  window->Add(tile);
  auto* cascade = ::Create<TMenuItem>(menu);
  cascade->SetCaption("&Cascade");
  cascade->OnClick = MakeMethod<&TMDIDemoForm::CascadeClick>(this);
  window->Add(cascade);
  SetMenu(menu);

  auto* bar = ::Create<TStatusBar>(this);
  bar->SetParent(this);
  bar->SetSimpleText("Three child forms, skinned by their providers");
  bar->SetSimplePanel(true);
}

void TMDIDemoForm::AddChildren() {
  static const char* const kCaptions[] = {"Notes", "Order", "Options"};
  for (int i = 0; i < 3; ++i) {
    auto* child = ::Create<TForm>(this);
    child->SetCaption(kCaptions[i]);
    child->SetBounds(16 + 150 * i, 16 + 40 * i, 260, 200);
    ::Create<TsSkinProvider>(child);
    auto* edit = ::Create<TEdit>(child);
    edit->SetParent(child);
    edit->SetBounds(12, 12, 180, 24);
    edit->SetText("An edit of child " + std::to_string(i + 1));
    auto* check = ::Create<TCheckBox>(child);
    check->SetParent(child);
    check->SetCaption("A check box");
    check->SetBounds(12, 46, 150, 20);
    check->SetChecked(i % 2 == 0);
    auto* memo = ::Create<TMemo>(child);
    memo->SetParent(child);
    memo->SetBounds(12, 74, 180, 50);
    memo->Lines()->Add("A memo");
    auto* button = ::Create<TButton>(child);
    button->SetParent(child);
    button->SetCaption("A button");
    button->SetBounds(12, 132, 100, 28);
    child->SetFormStyle(fsMDIChild);
  }
}

void TMDIDemoForm::MaximizeActiveChild() {
  if (TCustomForm* child = ActiveMDIChild()) child->SetWindowState(wsMaximized);
}

void TMDIDemoForm::SetSkinFolder(const std::string& Folder) { FSkinManager->SetSkinDirectory(Folder); }

void TMDIDemoForm::ChooseSkin(const std::string& Name) {
  if (Name.empty())
    FSkinManager->SetActive(false);
  else
    FSkinManager->SetSkinName(Name);
}

void TMDIDemoForm::TileClick(TObject*) {
  if (HandleAllocated()) SendMessageA(ClientHandle(), WM_MDITILE, MDITILE_VERTICAL, 0);
}

void TMDIDemoForm::CascadeClick(TObject*) {
  if (HandleAllocated()) SendMessageA(ClientHandle(), WM_MDICASCADE, 0, 0);
}
