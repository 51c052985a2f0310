// The adapter of popup menu windows: the window's frame and background painted from the image of
// the open popup that the skinned menus draw (the same image their items are drawn over), or from
// the menu section when that image belongs to another window. The adapter frees itself when its
// window goes, and the popup state of the skinned menus is reset then. Part of the window adapters
// (include skin/windows/acSBUtils.h).
#pragma once

#include "skin/windows/acSBUtils.h"

class TacMnuWnd : public TacScrollWnd {
 public:
  QV_CLASS_NAME(TacMnuWnd)
  using TacScrollWnd::TacScrollWnd;
  void HandleMessage(TMessage& Message) override;
  // The section under the whole window, its corners over nothing, into the cache (while BGChanged).
  virtual void PaintMenuCache();

  int Painting = 0;  // 1 from the region's announcement (QC_POPUPREGION) until the background is painted

 protected:
  // The window going, and the skin commands (answered here alone), in any state.
  bool AnswerAnyState(TMessage& Message) override;

 private:
  // WM_DESTROY / WM_NCDESTROY: passed on, then the adapter leaves the window and frees itself.
  void WindowGoes(TMessage& Message);
  // The skin commands a menu window answers; every other one ends unanswered.
  void AnswerMenuCommand(TMessage& Message);
  void PaintBackground(HDC DC);
  // The 3-pixel frame band: from the open popup's image when it is this window's, else the cache.
  void PaintFrame();
};
