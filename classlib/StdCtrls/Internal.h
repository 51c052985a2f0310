// What the files of the StdCtrls unit share among themselves (not part of its public header).
#pragma once

#include "classlib/StdCtrls.h"

namespace stdctrls_impl {

// Colours of a static-like child: the control's font colour on its brush.
inline void AnswerCtlColor(TWinControl* c, TMessage& m) {
  HDC dc = reinterpret_cast<HDC>(m.WParam);
  SetTextColor(dc, ColorToRGB(c->Font()->Color()));
  SetBkColor(dc, ColorToRGB(c->Brush()->Color()));
  m.Result = reinterpret_cast<LRESULT>(c->Brush()->Handle());
}

}  // namespace stdctrls_impl
