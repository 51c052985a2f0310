// The start every Windows benchmark shares: a word on an unoptimised build, and the default skin
// manager with the built-in skin the timings are made against.
#pragma once

#include <cstdio>
#include <string>

#include "skin/engine/acSkinPack.h"
#include "skin/engine/sSkinManager.h"

namespace qvbench {

// Ratios of an unoptimised build say little: the run says so first.
inline void NoteUnoptimisedBuild() {
#if defined(__GNUC__) && !defined(__OPTIMIZE__)
  std::printf("note: an unoptimised build; configure with -DCMAKE_BUILD_TYPE=Release for fair ratios\n");
#endif
}

// The default manager showing the built-in skin (SkinsFolder, when given, holds the other skins a
// benchmark switches to); nullptr, with the manager's error printed, when the skin did not load.
inline TsSkinManager* StartWithBuiltInSkin(const char* SkinsFolder = nullptr) {
  auto* manager = Create<TsSkinManager>(nullptr);
  manager->SetIsDefault(true);
  if (SkinsFolder) manager->SetSkinDirectory(SkinsFolder);
  manager->SetSkinName(BuiltInSkinName);
  if (manager->SkinData()->Active) return manager;
  std::printf("skin not loaded: %s\n", manager->LastError().c_str());
  manager->Free();
  return nullptr;
}

// The skins of a benchmark that switches them, from its command line (FOLDER [SKIN]): the manager
// showing the built-in skin with FOLDER as its skin folder, and the skin to switch to in Other
// (SKIN, else the built-in skin loaded again under another name).
inline TsSkinManager* StartForSwitches(int argc, char** argv, std::string& Other) {
  Other = argc > 2 ? argv[2] : BuiltInSkinName;
  return StartWithBuiltInSkin(argc > 1 ? argv[1] : nullptr);
}

}  // namespace qvbench
