#include "classlib/core/Menus.h"

namespace {

// Names of the keys a shortcut may use, by virtual-key code.
struct KeyName {
  std::uint16_t Key;
  const char* Name;
};

constexpr KeyName kKeyNames[] = {
    {0x08, "BkSp"}, {0x09, "Tab"},   {0x0D, "Enter"}, {0x1B, "Esc"},   {0x20, "Space"}, {0x21, "PgUp"},  {0x22, "PgDn"},
    {0x23, "End"},  {0x24, "Home"},  {0x25, "Left"},  {0x26, "Up"},    {0x27, "Right"}, {0x28, "Down"},  {0x2D, "Ins"},
    {0x2E, "Del"},  {0x6A, "Num *"}, {0x6B, "Num +"}, {0x6D, "Num -"}, {0x6E, "Num ."}, {0x6F, "Num /"},
};

std::string KeyToText(std::uint16_t key) {
  if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z')) return std::string(1, static_cast<char>(key));
  if (key >= 0x60 && key <= 0x69) return "Num " + std::to_string(key - 0x60);   // numeric pad digits
  if (key >= 0x70 && key <= 0x87) return "F" + std::to_string(key - 0x70 + 1);  // F1..F24
  for (const KeyName& k : kKeyNames)
    if (k.Key == key) return k.Name;
  return std::string();
}

bool StartsWithText(std::string_view s, std::string_view prefix) {
  return s.size() >= prefix.size() && SameText(s.substr(0, prefix.size()), prefix);
}

}  // namespace

TShortCut ShortCut(std::uint16_t Key, TShiftState Shift) {
  if ((Key & 0xFF00) != 0) return 0;
  TShortCut result = Key;
  if (Shift.Contains(ssShift)) result |= scShift;
  if (Shift.Contains(ssCtrl)) result |= scCtrl;
  if (Shift.Contains(ssAlt)) result |= scAlt;
  return result;
}

void ShortCutToKey(TShortCut shortCut, std::uint16_t& Key, TShiftState& Shift) {
  Key = shortCut & 0xFF;
  Shift = TShiftState();
  if (shortCut & scShift) Shift.Include(ssShift);
  if (shortCut & scCtrl) Shift.Include(ssCtrl);
  if (shortCut & scAlt) Shift.Include(ssAlt);
}

std::string ShortCutToText(TShortCut shortCut) {
  std::string name = KeyToText(shortCut & 0xFF);
  if (name.empty()) return std::string();
  std::string prefix;
  if (shortCut & scShift) prefix += "Shift+";
  if (shortCut & scCtrl) prefix += "Ctrl+";
  if (shortCut & scAlt) prefix += "Alt+";
  return prefix + name;
}

TShortCut TextToShortCut(std::string_view text) {
  TShortCut flags = 0;
  static constexpr struct {
    const char* Name;
    TShortCut Flag;
  } kModifiers[] = {{"Shift+", scShift}, {"Ctrl+", scCtrl}, {"Alt+", scAlt}};
  bool more = true;
  while (more) {
    more = false;
    for (const auto& m : kModifiers) {
      if ((flags & m.Flag) == 0 && StartsWithText(text, m.Name)) {
        flags |= m.Flag;
        text.remove_prefix(std::string_view(m.Name).size());
        more = true;
      }
    }
  }
  if (text.empty()) return 0;
  for (std::uint16_t key = 1; key < 0x100; ++key) {
    std::string name = KeyToText(key);
    if (!name.empty() && SameText(name, text)) return static_cast<TShortCut>(key | flags);
  }
  return 0;
}
