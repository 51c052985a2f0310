// TGraphic: the base of pictures, with loading and saving through files.
#include "classlib/Graphics.h"

#include <fstream>
#include <iterator>

// ---- TGraphic ---------------------------------------------------------------------------------

void TGraphic::SetTransparent(bool value) {
  if (value == Transparent_) return;
  Transparent_ = value;
  Changed();
}

void TGraphic::Changed() {
  Modified_ = true;
  OnChange(this);
}

void TGraphic::LoadFromFile(const std::string& fileName) {
  std::ifstream in(fileName, std::ios::binary);
  if (!in) throw EInvalidGraphic("Cannot open file \"" + fileName + "\"");
  std::vector<std::uint8_t> data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  LoadFromMemory(data.data(), data.size());
}

void TGraphic::SaveToFile(const std::string& fileName) {
  std::vector<std::uint8_t> data = SaveToMemory();
  std::ofstream out(fileName, std::ios::binary | std::ios::trunc);
  if (!out) throw EInvalidGraphicOperation("Cannot create file \"" + fileName + "\"");
  out.write(reinterpret_cast<const char*>(data.data()), std::streamsize(data.size()));
  if (!out) throw EInvalidGraphicOperation("Cannot write file \"" + fileName + "\"");
}

void TGraphic::LoadFromMemory(const void*, std::size_t) {
  throw EInvalidGraphicOperation("Cannot load a " + ClassName() + " from memory");
}
std::vector<std::uint8_t> TGraphic::SaveToMemory() {
  throw EInvalidGraphicOperation("Cannot save a " + ClassName() + " to memory");
}
