// The adapter of up-down windows: the two buttons painted from the section each in its state (the
// half under the pointer hot, or pressed while the mouse button is held), with the skin's arrows
// across them, over the parent's image; the up-down's own handling (clicks, repeats, keys) stays
// its own. Part of the window adapters (include skin/windows/acSBUtils.h).
#pragma once

#include "skin/windows/acSBUtils.h"

class TacSpinWnd : public TacMainWnd {
 public:
  QV_CLASS_NAME(TacSpinWnd)
  using TacMainWnd::TacMainWnd;
  void HandleMessage(TMessage& Message) override;
  // The buttons: the one that counts up (the upper, or the right of a horizontal up-down) and the
  // one that counts down, in window coordinates, from ButtonLeft on; of an odd length the middle row
  // or column lies between them.
  TRect UpRect() const;
  TRect DownRect() const;
  bool Horizontal() const;

  int ButtonLeft = 0;  // the painted part starts here
  bool Pressed = false;
  int UpState = 0, DownState = 0;  // 0 normal, 1 hot, 2 pressed

 private:
  // The states from where the pointer is, the cache painted and copied to DC (the window's when 0).
  void SpinPaint(HDC DC);
  void PaintSpinCache();
  // One half in its state over what lies behind the window (Behind: the parent's colour, or
  // clParentColorUnset when CI holds its image).
  void PaintButton(TBitmap* Cache, const TsCacheInfo& CI, const TRect& R, int State, bool Up, TColor Behind);
  // The transparent corners of the half's border show what lies behind the window.
  void FillButtonCorners(TBitmap* Cache, const TsCacheInfo& CI, const TRect& R, int State, TColor Behind);
  // After a mouse move: hot while the pointer is over the window, the hot half repainted.
  void FollowPointer();
};
