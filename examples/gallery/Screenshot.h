// Saves what the screen shows of a window as a PNG file through the platform's image codecs.
#pragma once

#include "classlib/Win.h"

#include <string>

// Returns an empty string on success, else what failed.
std::string SaveWindowScreenshot(HWND wnd, const std::string& pngPath);
// The same for a rectangle of the screen.
std::string SaveScreenScreenshot(const RECT& r, const std::string& pngPath);
