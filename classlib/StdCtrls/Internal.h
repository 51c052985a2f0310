// What the files of the StdCtrls unit share among themselves (not part of its public header).
#pragma once

#include "classlib/StdCtrls.h"

#include <cstdint>
#include <string>

namespace stdctrls_impl {

// Whether the caption has '&' before the character (case-insensitive), as a dialog accelerator.
inline bool IsAccel(WPARAM key, const std::string& caption) {
  for (std::size_t i = 0; i + 1 < caption.size(); ++i) {
    if (caption[i] != '&') continue;
    if (caption[i + 1] == '&') {
      ++i;
      continue;
    }
    return CharUpperA(
               reinterpret_cast<LPSTR>(static_cast<std::uintptr_t>(static_cast<unsigned char>(caption[i + 1])))) ==
           CharUpperA(reinterpret_cast<LPSTR>(static_cast<std::uintptr_t>(key & 0xFF)));
  }
  return false;
}

// Colours of a static-like child: the control's font colour on its brush.
inline void AnswerCtlColor(TWinControl* c, TMessage& m) {
  HDC dc = reinterpret_cast<HDC>(m.WParam);
  SetTextColor(dc, ColorToRGB(c->Font()->Color()));
  SetBkColor(dc, ColorToRGB(c->Brush()->Color()));
  m.Result = reinterpret_cast<LRESULT>(c->Brush()->Handle());
}

}  // namespace stdctrls_impl
