// Skins stored with the program and skins on disk, on the Windows side: the built-in skin kept as
// a resource of the executable, and the skin folder beside the program.
#pragma once

#include "classlib/Win.h"

#include <cstdint>
#include <string>
#include <vector>

// The name of the built-in skin and of its RCDATA resource (skin/engine/acSkinPack.rc).
inline constexpr const char* BuiltInSkinName = "Default";
inline constexpr const char* BuiltInSkinResource = "QV_BUILTIN_SKIN";

// The packed bytes of an RCDATA resource of the executable; false when it is missing or empty.
bool LoadSkinResource(const char* ResourceName, std::vector<std::uint8_t>& Data, HMODULE Module = nullptr);
// The built-in skin's packed bytes; false when the program carries none.
bool LoadBuiltInSkin(std::vector<std::uint8_t>& Data);
// The folder of the running program (ends without a separator).
std::string ProgramFolder();
