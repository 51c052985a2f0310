// Keyboard shortcuts of menu items: a virtual-key code with Shift, Ctrl and Alt flags, and their
// texts ("Ctrl+Ins", "Shift+F5", "Alt+Down"). Key codes are the platform's virtual-key numbers,
// written out here so the portable core needs no platform header.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "classlib/core/Classes.h"

// Key | scShift / scCtrl / scAlt for the modifiers in Shift; 0 when Key does not fit a byte.
TShortCut ShortCut(std::uint16_t Key, TShiftState Shift);
// Splits a shortcut into its key and modifiers.
void ShortCutToKey(TShortCut shortCut, std::uint16_t& Key, TShiftState& Shift);
// "Shift+", "Ctrl+", "Alt+" (in that order) before the key's name; empty for 0 or for a key
// without a name.
std::string ShortCutToText(TShortCut shortCut);
// The inverse of ShortCutToText; modifier and key names compare without case; 0 when the text
// is not a shortcut.
TShortCut TextToShortCut(std::string_view text);
