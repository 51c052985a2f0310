// Buttons with glyphs: the bitmap push button (an owner-drawn "BUTTON" window) and the speed
// button (a graphic control without a window of its own, with up / down groups).
#pragma once

#include "classlib/Win.h"

#include <cstdint>

#include "classlib/Controls.h"
#include "classlib/Graphics.h"
#include "classlib/StdCtrls.h"

enum TButtonLayout : std::uint8_t { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };
enum TButtonState : std::uint8_t { bsUp, bsDisabled, bsDown, bsExclusive };
using TNumGlyphs = int;  // 1 to 4 frames: up, disabled, down, exclusive

// Where glyph and caption go inside a button of the given client rectangle: the classic rule
// (Margin -1 centres the block, Spacing -1 spreads glyph and caption evenly). Exposed for tests.
void CalcButtonLayout(const TRect& Client, TSize GlyphSize, TSize TextSize, TButtonLayout Layout, int Margin,
                      int Spacing, TPoint& GlyphPos, TRect& TextBounds);
// Draws frame `frame` (0-based) of an n-frame glyph at (x, y); the bottom-left pixel is the
// transparent colour.
void DrawGlyphFrame(HDC dc, TBitmap* glyph, int numGlyphs, int frame, int x, int y);

class TBitBtn : public TButton {
 public:
  QV_CLASS_NAME(TBitBtn)
  explicit TBitBtn(TComponent* AOwner);
  ~TBitBtn() override;
  TBitmap* Glyph() const { return Glyph_; }
  void SetGlyph(TBitmap* v) { Glyph_->Assign(v); }
  TNumGlyphs NumGlyphs() const { return NumGlyphs_; }
  void SetNumGlyphs(TNumGlyphs v);
  TButtonLayout Layout() const { return Layout_; }
  void SetLayout(TButtonLayout v);
  int Margin() const { return Margin_; }
  void SetMargin(int v);
  int Spacing() const { return Spacing_; }
  void SetSpacing(int v);
  void Dispatch(TMessage& Message) override;

 protected:
  void CreateParams(TCreateParams& Params) override;
  void SetButtonStyle(bool ADefault) override;
  virtual void DrawItem(const DRAWITEMSTRUCT& DrawItemStruct);

 private:
  void GlyphChanged(TObject* Sender);
  TBitmap* Glyph_ = nullptr;
  TNumGlyphs NumGlyphs_ = 1;
  TButtonLayout Layout_ = blGlyphLeft;
  int Margin_ = -1;
  int Spacing_ = 4;
  bool IsFocused_ = false;
};

class TSpeedButton : public TGraphicControl {
 public:
  QV_CLASS_NAME(TSpeedButton)
  explicit TSpeedButton(TComponent* AOwner);
  ~TSpeedButton() override;

  bool Down() const { return Down_; }
  void SetDown(bool v);
  int GroupIndex() const { return GroupIndex_; }
  void SetGroupIndex(int v);
  bool AllowAllUp() const { return AllowAllUp_; }
  void SetAllowAllUp(bool v);
  bool Flat() const { return Flat_; }
  void SetFlat(bool v);
  TButtonLayout Layout() const { return Layout_; }
  void SetLayout(TButtonLayout v);
  int Margin() const { return Margin_; }
  void SetMargin(int v);
  int Spacing() const { return Spacing_; }
  void SetSpacing(int v);
  TNumGlyphs NumGlyphs() const { return NumGlyphs_; }
  void SetNumGlyphs(TNumGlyphs v);
  // The glyph bitmap is owned; its OnChange is the button's handler, which code may replace
  // (keeping the old one to chain to).
  TBitmap* Glyph() const { return Glyph_; }
  void SetGlyph(TBitmap* v) { Glyph_->Assign(v); }
  bool Transparent() const { return Transparent_; }
  void SetTransparent(bool v);

  void Click() override;
  void Dispatch(TMessage& Message) override;
  void ActionChange(TObject* Sender, bool CheckDefaults) override;

 protected:
  void Paint() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void Loaded() override;
  // Tells the other buttons of the group that this one went down.
  void UpdateExclusive();
  void GlyphChanged(TObject* Sender);

  TButtonState State_ = bsUp;
  bool MouseInControl_ = false;
  bool Dragging_ = false;
  bool Down_ = false;
  int GroupIndex_ = 0;
  bool AllowAllUp_ = false;
  bool Flat_ = false;
  TButtonLayout Layout_ = blGlyphLeft;
  int Margin_ = -1;
  int Spacing_ = 4;
  TNumGlyphs NumGlyphs_ = 1;
  TBitmap* Glyph_ = nullptr;
  bool Transparent_ = true;

 private:
  bool GroupButtonPressed(const TMessage& Message);
};
