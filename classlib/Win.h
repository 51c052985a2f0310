// The one way the library includes the platform headers: every Windows-side header includes this
// first, so the A/W name macros (TextOut, DrawText ...) map member names the same way in
// every translation unit.
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef STRICT
#define STRICT
#endif
#include <windows.h>
#include <commctrl.h>

// GetObject is a member name of the class library (TStrings); the graphics function is called
// as GetObjectA.
#ifdef GetObject
#undef GetObject
#endif

#include "classlib/core/Types.h"

static_assert(sizeof(TRect) == sizeof(RECT), "TRect must have the layout of RECT");
static_assert(sizeof(TPoint) == sizeof(POINT), "TPoint must have the layout of POINT");
static_assert(sizeof(TSize) == sizeof(SIZE), "TSize must have the layout of SIZE");

inline RECT* AsRECT(TRect* r) { return reinterpret_cast<RECT*>(r); }
inline const RECT* AsRECT(const TRect* r) { return reinterpret_cast<const RECT*>(r); }
inline POINT* AsPOINT(TPoint* p) { return reinterpret_cast<POINT*>(p); }
inline TRect FromRECT(const RECT& r) { return TRect{int(r.left), int(r.top), int(r.right), int(r.bottom)}; }
