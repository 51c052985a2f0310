// What the parts of the window adapters share among themselves and show no one else: the scroll
// bars' geometry and painting helpers, and the notifications the scrolling adapters look at.
#pragma once

#include "skin/windows/acSBUtils.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>

#include "skin/engine/sQuorvexGraph.h"
#include "skin/windows/core/acScrollGeometry.h"

namespace acsb {

// A window whose parent clips its children shows what the parent paints behind it where it paints
// nothing itself (the inside of a group box): the parent's background is laid under the window (the
// parent never paints there by itself), and the window is painted over it.
void ShowParentUnder(HWND wnd);
// The colour a window shows behind its children when it answers no skin command: a class-library
// control's Color, else the solid background brush of its window class, else the button face.
TColor PlainBackgroundOf(HWND wnd);
// The colour the parent of a window shows behind it: the parent's answer to QC_GETPARENTCOLOR, else
// its plain background.
TColor ParentColorOf(HWND wnd);
// The background and text of an adapted list's or tree's items: the system's window colours in the
// dialog look, else the section's (its hot colours when Hot); false when the skin has no section.
bool ItemColors(const TsCommonData* sd, bool DialogMode, bool Hot, COLORREF& Back, COLORREF& Text);

// ---- Containers ------------------------------------------------------------------------------------

// The skin commands the walk over the windows carries: skin loaded, removed and refresh.
bool IsWindowTreeCommand(const TMessage& Message);

// ---- Scroll bars -----------------------------------------------------------------------------------

// The manager an adapter paints with: its own, else that of its skin data.
TsSkinManager* ManagerOf(const TacMainWnd* a);
qv::TScrollRange RangeOf(const SCROLLINFO& si);
// Reads the bar's scroll information from the window (all zero when it has none).
void ReadScrollInfo(TacScrollBar* bar, HWND wnd);
TRect WindowRectOf(HWND wnd);
// The adapter's frame as the geometry routines take it.
qv::TBarFrame FrameOf(TacScrollWnd* a, HWND wnd);
// The bar's rectangle in screen coordinates.
TRect BarScreenRect(TacScrollBar* bar, HWND wnd);
// Whether the size grip shows in the corner box (screen coordinates).
bool SizeGripShowsFor(TacScrollWnd* a, HWND wnd, const TRect& box);
// Asks the window for the image its frame is painted over (QC_GETCACHE to the window itself).
TsCacheInfo AskOwnCache(TacScrollWnd* a, HWND wnd);
// One bar repainted on the window DC with a part pressed (-1: none).
void RepaintBar(TacScrollBar* bar, HWND wnd, int part);
TacScrollBar* BarOfKind(TacScrollWnd* a, int kind);
// The bar is the one whose thumb is being dragged in the window (painted where the pointer holds
// the thumb, ScrollState.TrackedThumb).
bool IsDraggedBar(const TacScrollBar* bar, HWND wnd);
// A click or a drag ends: the click part of the interaction state back to its start.
void ResetClickState();

// ---- Scrolling adapters ----------------------------------------------------------------------------

// Class-library notifications the scrolling adapters look at.
constexpr UINT CM_ENABLEDNOTIFY = 0xB00C;
constexpr UINT CM_RESIZENOTIFY = 0xB029;
constexpr UINT WM_UNKNOWN2100 = 0x2100;
constexpr UINT WM_UNKNOWN3F = 0x3F;

inline void RefreshUpdating(TsCommonData* sd) {
  if (sd) sd->SetUpdating(sd->Updating());
}

inline bool IsOwnManager(const TMessage& m, TsCommonData* sd) {
  TsSkinManager* sm = sd ? sd->SkinManager() : nullptr;
  return sm && m.LParam == reinterpret_cast<LPARAM>(sm);
}

inline void AnswerCache(TsCommonData* sd) {
  if (sd && sd->CacheBmp && !sd->CacheBmp->Empty())
    SharedCacheInfo = BuildCacheInfo(sd->CacheBmp, 0, 0);
  else
    SharedCacheInfo = TsCacheInfo{};
}

// ---- Painting helpers of the list, bar and tab adapters --------------------------------------------

// A 24-bit bitmap owned by the caller.
inline std::unique_ptr<TBitmap> MakeBmp24(int w, int h) {
  return std::unique_ptr<TBitmap>(CreateBmp24(std::max(w, 0), std::max(h, 0)));
}
// The bitmap copied to a DC at (X, Y).
void BlitBmp(HDC DC, int X, int Y, TBitmap* Src);
// Where the window's client area lies in the window (the frame's left and top widths).
TPoint ClientOffsetOf(HWND Wnd);
// A text of a window read with the length the window reports for it: Length(), then Read(buffer,
// size in characters including the terminating zero); no fixed buffer.
template <typename LengthFn, typename ReadFn>
std::string ReadReportedText(LengthFn Length, ReadFn Read) {
  const long long n = Length();
  if (n <= 0 || n > (1 << 24)) return {};
  std::string text(std::size_t(n) + 1, '\0');
  Read(text.data(), int(n) + 1);
  text.resize(std::strlen(text.c_str()));
  return text;
}

}  // namespace acsb
