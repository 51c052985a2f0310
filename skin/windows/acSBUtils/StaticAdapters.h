// Adapters of static windows: static text and shapes (rectangles, frames, etched lines), a static
// that shows an icon or a bitmap, and link text whose anchors are written as "<A>" ... "</A>". Each paints the whole
// window in one step when its background is erased: the section as it lies under the window in its parent's image, then
// the content, then one copy to the screen. A static with WS_TABSTOP or WS_EX_STATICEDGE keeps its own look. Part of
// the window adapters (include skin/windows/acSBUtils.h).
#pragma once

#include "skin/windows/acSBUtils.h"

class TacStaticWnd : public TacMainWnd {
 public:
  QV_CLASS_NAME(TacStaticWnd)
  using TacMainWnd::TacMainWnd;
  void HandleMessage(TMessage& Message) override;
  // The window's content onto the cache (after the section's background).
  virtual void PaintText();
  // The skin paints the window: not a static with WS_TABSTOP or WS_EX_STATICEDGE.
  bool SkinsWindow() const;

 protected:
  // The window going, and every message of a window the skin leaves alone, in any state.
  bool AnswerAnyState(TMessage& Message) override;
  // The skin going: a frame or an etched line shows what lies behind inside it again.
  void AfterSkinChange(int Command) override;
  // Text written into the cache in the section's colours, laid out as the static's style says.
  void WriteText(const std::string& Text);
  // A static of a shape (rectangle, frame or etched line) draws it into the cache as the system
  // draws it; false for any other static.
  bool PaintShape();
  // A frame or an etched line: the window paints nothing but its lines.
  bool ShowsParentThrough() const override;

 private:
  friend void PaintStatic(TacStaticWnd* Adapter, TMessage& Message);
  // The window's own handling of a message that changes what it shows runs unseen; the adapter
  // paints the window again afterwards.
  void ChangeContent(TMessage& Message);
  bool Painted_ = false;  // the background erase of the paint under way painted the window
};

class TacIconWnd : public TacStaticWnd {
 public:
  QV_CLASS_NAME(TacIconWnd)
  using TacStaticWnd::TacStaticWnd;
  // The icon (STM_GETICON) or the bitmap (STM_GETIMAGE) at its own size in the top-left corner,
  // centred with SS_CENTERIMAGE; nothing but the background without one.
  void PaintText() override;
};

class TacLinkWnd : public TacStaticWnd {
 public:
  QV_CLASS_NAME(TacLinkWnd)
  using TacStaticWnd::TacStaticWnd;
  // The text without its anchor tags ("<A>" and "</A>").
  void PaintText() override;
};

// The complete paint of a static adapter into the DC of the message (wParam; GetDC when 0).
void PaintStatic(TacStaticWnd* Adapter, TMessage& Message);
// A new font of the system's message font (the caller owns it); 0 when it cannot be read.
HFONT GetMessageFont();
// The text with every "<A>" and then every "</A>" taken out (exact, case-sensitive).
std::string StripLinkTags(std::string Text);
