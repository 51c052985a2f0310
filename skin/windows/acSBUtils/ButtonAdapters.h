// Adapters of button windows: push buttons (TacBtnWnd), push buttons with a glyph (TacBitBtnWnd: a
// bitmap button of the class library, or a button window with an image), check boxes and radio
// buttons (TacCheckBoxWnd) and group boxes (TacGroupBoxWnd). Each paints the whole window into the
// cache and copies it to the window in one step, so a button never shows half drawn; what the
// button does on its own (pressing, checking, focus) it still does, its own drawing held back.
// Part of the window adapters (include skin/windows/acSBUtils.h).
#pragma once

#include "skin/windows/acSBUtils.h"

class TBitBtn;

// Button states of the painters: 0 normal, 1 hot, 2 pressed. Besides push buttons it paints what
// the system draws as push buttons: split buttons (their arrow part beside the caption), command
// links (arrow, caption and note) and push-like check boxes and radio buttons (pressed while
// checked).
class TacBtnWnd : public TacMainWnd {
 public:
  QV_CLASS_NAME(TacBtnWnd)
  using TacMainWnd::TacMainWnd;
  void HandleMessage(TMessage& Message) override;

  // 2 pushed (or a push-like one checked); 0 disabled; 1 focused, hot or a default button; else 0.
  int ButtonState();
  // The caption in the window's font, and the focus mark; a command link's arrow, caption and note.
  virtual void DrawCaption();
  virtual void DrawGlyph() {}
  virtual TSize GlyphSize() { return TSize{}; }
  virtual void DrawCaptionText(TRect R, UINT Flags);
  virtual TRect CaptionRect();
  virtual int MaxTextWidth();
  virtual TSize TextSize();
  // The whole look into the cache.
  virtual void PaintButton();

 protected:
  bool Pushed() const;
  bool IsDefaultButton() const;
  bool IsSplitButton() const;
  bool IsCommandLink() const;
  // The split button's arrow part (empty for other buttons) and the rest, where the caption goes.
  TRect SplitRect();
  TRect ContentRect();
  // WM_PAINT and WM_PRINT: the cache painted and copied to the given DC (the window's own when 0).
  void ButtonPaint(HDC Given);
  // A message that makes the button draw itself: its drawing held back, the skin paints after.
  void ChangeState(TMessage& Message);
  // After a mouse move: the window is the hot window while the pointer is inside it.
  void FollowPointer();

 private:
  // WM_SETFOCUS / WM_KILLFOCUS of an enabled button.
  void ChangeFocus(TMessage& Message, bool Focused);
  // The split button's arrow part: a divider and the skin's down arrow, pressed while the part is.
  void DrawSplitPart();
  void DrawCommandLink();
  // The command link's note, read with the length the window reports.
  std::string Note() const;
};

class TacBitBtnWnd : public TacBtnWnd {
 public:
  QV_CLASS_NAME(TacBitBtnWnd)
  using TacBtnWnd::TacBtnWnd;
  // The glyph of a bitmap button of the class library (its frame width and height), else the size
  // of the window's image (BM_GETIMAGE, a bitmap's or an icon's own size).
  TSize GlyphSize() override;
  int MaxTextWidth() override;
  TRect CaptionRect() override;
  // The glyph frame of the state (normal; disabled, pushed as the bitmap button chooses them) from
  // a copy of the glyph; the window's image without a bitmap button.
  void DrawGlyph() override;
  void DrawCaption() override;

 private:
  TBitBtn* BitBtn() const;
  TRect GlyphRect();
  // The window's image (BM_GETIMAGE) and whether it is a bitmap: asked by the type of the object
  // the window holds (a window asked for one kind may hand the other back).
  HANDLE Image(bool& IsBitmap) const;
  // A window with BS_BITMAP or BS_ICON shows its image alone.
  bool ImageOnly() const;
};

class TacCheckBoxWnd : public TacMainWnd {
 public:
  QV_CLASS_NAME(TacCheckBoxWnd)
  using TacMainWnd::TacMainWnd;
  void HandleMessage(TMessage& Message) override;
  // The look: section, caption and the check or radio glyph of the state, into the cache.
  void PaintCheckBox();
  // The glyph rectangle (empty when the skin has no glyph for the window's kind and state).
  TRect GlyphRect();

 private:
  void CheckPaint(HDC Given);
  int GlyphMask();
};

class TacGroupBoxWnd : public TacMainWnd {
 public:
  QV_CLASS_NAME(TacGroupBoxWnd)
  using TacMainWnd::TacMainWnd;
  void HandleMessage(TMessage& Message) override;
  // The caption band: 6 pixels in, the caption's width and 8 more, as high as the text and 2 more
  // (4 and 2 without a caption).
  TRect CaptionRect();
  void PaintGroupBox();

 protected:
  bool PassesSkinCommandsOn() const override { return true; }
  bool ShowsParentThrough() const override { return true; }
  // The skin going: the group box paints its whole background again, and its inside shows what
  // lies behind again (which the skin had painted).
  void BeforeSkinChange(int Command) override;
  void AfterSkinChange(int Command) override;

 private:
  // The paint into DC (the window DC when 0): the cache, then children and siblings left out.
  void GroupPaint(HDC DC);
  // The skin goes: the group box paints its whole background again.
  void ForgetOpaque();
  bool InPaint_ = false;
};
