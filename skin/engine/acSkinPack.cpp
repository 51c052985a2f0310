#include "skin/engine/acSkinPack.h"

bool LoadSkinResource(const char* ResourceName, std::vector<std::uint8_t>& Data, HMODULE Module) {
  Data.clear();
  if (!Module) Module = GetModuleHandleA(nullptr);
  HRSRC info = FindResourceA(Module, ResourceName, MAKEINTRESOURCEA(10));  // RT_RCDATA
  if (!info) return false;
  const DWORD size = SizeofResource(Module, info);
  HGLOBAL global = LoadResource(Module, info);  // module memory: nothing to free
  const void* bytes = global ? LockResource(global) : nullptr;
  if (!bytes || size == 0) return false;
  const auto* p = static_cast<const std::uint8_t*>(bytes);
  Data.assign(p, p + size);
  return true;
}

bool LoadBuiltInSkin(std::vector<std::uint8_t>& Data) { return LoadSkinResource(BuiltInSkinResource, Data); }

std::string ProgramFolder() {
  char path[MAX_PATH * 2] = {};
  const DWORD n = GetModuleFileNameA(nullptr, path, DWORD(sizeof path));
  std::string s(path, n);
  const auto slash = s.find_last_of("\\/");
  return slash == std::string::npos ? std::string(".") : s.substr(0, slash);
}
