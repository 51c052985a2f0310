// The glyph of a combo edit's button and the library's default button glyphs.
//
// A button glyph is a bitmap of three frames side by side (normal, hot, pressed) whose upper half
// is the picture and whose lower half the mask that lays it on the button (black: the picture
// shows). TsGlyphMode chooses the glyph of one combo edit: its own Glyph, or the default glyph
// the edit's class names, and how it looks while neither the edit nor the button is hot (greyed,
// blended with the button's background). The five default glyphs come from the program's bitmap
// resources "SF", "SR", "SD", "SE" and "SC", loaded once and freed when the program ends.
#pragma once

#include "classlib/Win.h"

#include <string>

#include "classlib/Graphics.h"
#include "classlib/core/Classes.h"

class TsCustomComboEdit;

// Names of the default glyphs.
inline constexpr const char* GlyphOpenFile = "BTN_OPENFILE";      // resource "SF", 3 frames of 20 x 17
inline constexpr const char* GlyphOpenFolder = "BTN_OPENFOLDER";  // "SR", 20 x 17
inline constexpr const char* GlyphDate = "BTN_DATE";              // "SD", 16 x 17
inline constexpr const char* GlyphEllipsis = "BTN_ELLIPSIS";      // "SE", 18 x 17
inline constexpr const char* GlyphCalc = "BTN_CALC";              // "SC", 19 x 17

// The default glyph of that name; nullptr for an empty or unknown name, or when the program carries
// no such resource.
TBitmap* DefaultGlyph(const std::string& Name);

// The frames of a button glyph, and the size of one.
inline constexpr int ButtonGlyphFrames = 3;

class TsGlyphMode : public TPersistent {
 public:
  QV_CLASS_NAME(TsGlyphMode)
  explicit TsGlyphMode(TsCustomComboEdit* AOwner);
  ~TsGlyphMode() override;

  // ---- published
  bool UseDefaultGlyph() const { return FUseDefaultGlyph; }
  void SetUseDefaultGlyph(bool Value);
  // 0 .. 100: how much of the glyph shows over the button's background while neither the edit nor
  // the button is hot (0: the glyph as it is).
  int Blend() const { return FBlend; }
  void SetBlend(int Value);
  // The own glyph (assigning one takes it instead of the default glyph).
  TBitmap* Glyph() const { return FGlyph; }
  void SetGlyph(TBitmap* Value);
  // Grey while neither the edit nor the button is hot.
  bool Grayed() const { return FGrayed; }
  void SetGrayed(bool Value);
  // The hint of the edit's button.
  std::string Hint() const;
  void SetHint(const std::string& Value);

  // The glyph shown: the own one when it is chosen and not empty, else the edit's default glyph;
  // nullptr when there is none.
  TBitmap* Chosen() const;
  // One frame of the chosen glyph: 0 wide for a currency edit (it shows none), 16 x 16 when there
  // is no glyph.
  int GlyphWidth() const;
  int GlyphHeight() const;
  // The amount of glyph over background that Blend stands for, 0 .. 255 (Blend 100: 255).
  int BlendAmount() const;
  TsCustomComboEdit* Owner() const { return FOwner; }

  void Assign(TPersistent* Source) override;

 private:
  // A change of the choice: the button's width renewed and the edit told to repaint.
  void ChoiceChanged();
  void GlyphChanged(TObject* Sender);

  TsCustomComboEdit* FOwner;
  int FBlend = 0;
  bool FGrayed = false;
  bool FUseDefaultGlyph = true;
  TBitmap* FGlyph = nullptr;
  bool FConverting = false;
};
