// The skinned labels.
//
// Labels hold no skin state of their own: they read the default manager. Under a loaded skin a
// label draws its text in the skin's global font colour (TsLabel: unless UseSkinColor is off),
// optionally over a skin section (SkinSection) painted on the parent's image, and a disabled
// label mixes its text into the background. The colour the program gave the font is kept while
// the skin's colour is shown and given back when the skin goes.
//
// TsEditLabel is the caption a skinned edit's bound label shows; TsWebLabel opens its URL with
// the shell on a click (only web and mail addresses, see acWebAddress.h) and shows HoverFont
// while the mouse is over it.
#pragma once

#include "classlib/Win.h"

#include <string>

#include "classlib/StdCtrls.h"
#include "skin/engine/sCommonData.h"

class TsSkinManager;

class TsCustomLabel : public TCustomLabel {
 public:
  QV_CLASS_NAME(TsCustomLabel)
  explicit TsCustomLabel(TComponent* AOwner);

  // ---- published
  // A section painted under the text (empty: none).
  const std::string& SkinSection() const { return FSkinSection; }
  void SetSkinSection(const std::string& Value);
  TNotifyEvent OnMouseEnter;
  TNotifyEvent OnMouseLeave;
  TNotifyEvent GetOnMouseEnter() const { return OnMouseEnter; }
  void SetOnMouseEnter(TNotifyEvent Value) { OnMouseEnter = Value; }
  TNotifyEvent GetOnMouseLeave() const { return OnMouseLeave; }
  void SetOnMouseLeave(TNotifyEvent Value) { OnMouseLeave = Value; }

  // The font the text is drawn with now (the skin's colour applied where it applies).
  virtual TFont* GetCurrentFont();
  void WndProc(TMessage& Message) override;

  // The colour the program gave the font, shown again once the skin's colour goes.
  TColor OwnFontColor() const { return FOwnColor; }

 protected:
  void Paint() override;
  void DoDrawText(TRect& Rect, UINT Flags) override;

  // Font.Color = Color for the skin; the program's colour is kept for GiveBackFontColor.
  void ApplySkinFontColor(TColor Color);
  // The skin's colour is taken away: the font shows the program's colour again.
  void GiveBackFontColor();
  // The font change under way is the label's own, not the program's.
  bool QuietFontChange() const { return FQuiet > 0; }
  // A font change made by the label itself, not the program's.
  template <class F>
  void ChangeFontQuietly(F&& Change) {
    const bool parentFont = ParentFont_;
    ++FQuiet;
    Change();
    --FQuiet;
    ParentFont_ = parentFont;
  }

 private:
  void PaintSection();
  void FontChangedMessage();

  std::string FSkinSection;
  TColor FOwnColor;
  // The font shows a colour of the skin's, not FOwnColor.
  bool FSkinColored = false;
  int FQuiet = 0;
};

class TsLabel : public TsCustomLabel {
 public:
  QV_CLASS_NAME(TsLabel)
  explicit TsLabel(TComponent* AOwner);

  // ---- published
  bool UseSkinColor() const { return FUseSkinColor; }
  void SetUseSkinColor(bool Value);

  TFont* GetCurrentFont() override;
  void WndProc(TMessage& Message) override;

 private:
  bool FUseSkinColor = true;
};

// The caption label of a skinned edit, made by its TsBoundLabel.
class TsEditLabel : public TsLabel {
 public:
  QV_CLASS_NAME(TsEditLabel)
  TsEditLabel(TComponent* AOwner, TsBoundLabel* BoundLabel);
  ~TsEditLabel() override;
  TsBoundLabel* BoundLabel() const { return FBoundLabel; }

 private:
  TsBoundLabel* FBoundLabel;
};

// ShowWindow codes the web label opens its address with.
enum TsWindowShowMode : std::uint8_t {
  soHide,
  soNormal,
  soShowMinimized,
  soMaximize,
  soShowNoActivate,
  soShow,
  soMinimize,
  soShowMinNoActive,
  soShowNA,
  soRestore,
  soDefault
};

// The shell call that opens an address (ShellExecuteA unless replaced, e.g. by a test).
using TShellExecuteProc = HINSTANCE(WINAPI*)(HWND, LPCSTR, LPCSTR, LPCSTR, LPCSTR, INT);
extern TShellExecuteProc WebLabelShellExecute;

class TsWebLabel : public TsCustomLabel {
 public:
  QV_CLASS_NAME(TsWebLabel)
  explicit TsWebLabel(TComponent* AOwner);
  ~TsWebLabel() override;

  // ---- published
  // The normal font (also the label's Font while the mouse is not over it).
  void SetFont(TFont* Value);
  TFont* HoverFont() const { return FHoverFont; }
  void SetHoverFont(TFont* Value) { FHoverFont->Assign(Value); }
  const std::string& URL() const { return FURL; }
  void SetURL(const std::string& Value) { FURL = Value; }
  TsWindowShowMode ShowMode() const { return FShowMode; }
  void SetShowMode(TsWindowShowMode Value) { FShowMode = Value; }

  bool Hovered() const { return FHovered; }
  TFont* GetCurrentFont() override;
  void WndProc(TMessage& Message) override;

  // Opens URL with the shell when it is a web or mail address; true when the shell was asked.
  bool OpenURL();

 protected:
  void Loaded() override;

 private:
  void HoverChanged(bool Hovered);

  TFont* FNormalFont;
  TFont* FHoverFont;
  std::string FURL;
  TsWindowShowMode FShowMode = soDefault;
  bool FHovered = false;
};
