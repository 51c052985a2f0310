// Shows a form with a skinned button in the skin built into the library, then ends: the exit code
// says what went wrong (0: nothing).
#include "classlib/Forms.h"
#include "skin/controls/sButton.h"
#include "skin/engine/acSkinPack.h"
#include "skin/engine/sSkinManager.h"

#include <cstdint>
#include <string>
#include <vector>

int main() {
  std::vector<std::uint8_t> skin;
  if (!LoadBuiltInSkin(skin)) return 1;  // the library's resources did not reach the program
  auto* form = Create<TForm>(Application);
  auto* manager = Create<TsSkinManager>(form);
  manager->SetSkinName(BuiltInSkinName);
  manager->SetActive(true);
  if (!manager->Active()) return 2;
  // The menus unit joined the engine though the program names nothing of it.
  if (std::string(manager->SkinableMenus()->ClassName()) != "TacSkinableMenus") return 4;
  auto* button = Create<TsButton>(form);
  button->SetParent(form);
  button->SetCaption("OK");
  form->Show();
  Application->ProcessMessages();
  if (!button->SkinData()->Skinned()) return 3;
  form->Free();
  return 0;
}
