// The skinned up-down: the class library's up-down control whose two arrow buttons are painted in
// the skin. It owns no skin data of its own: it paints with the default manager's skin (on a
// skinned page control, with that control's manager), in the arrow sections of its orientation
// ("SCROLLBTNTOP" / "SCROLLBTNBOTTOM", "SCROLLBTNLEFT" / "SCROLLBTNRIGHT") or in ButtonSkin, and
// keeps its own button state for hover and press. Without a skin it is the class library's
// up-down.
#pragma once

#include "classlib/Win.h"

#include <cstdint>
#include <string>

#include "classlib/ComCtrls.h"
#include "skin/controls/sCommonFrame.h"

class TsUpDown : public TCustomUpDown {
 public:
  QV_CLASS_NAME(TsUpDown)
  explicit TsUpDown(TComponent* AOwner);

  // ---- published
  // A button whose direction is at its limit looks disabled and gets no hot or pressed look.
  bool ShowInaccessibility() const { return FShowInaccessibility; }
  void SetShowInaccessibility(bool Value);
  TsDisabledKind DisabledKind() const { return FDisabledKind; }
  void SetDisabledKind(TsDisabledKind Value);
  // The section of the buttons; empty: the arrow sections.
  const std::string& ButtonSkin() const { return FButtonSkin; }
  void SetButtonSkin(const std::string& Value);

  void WndProc(TMessage& Message) override;

  // The button state: 0 none, 1 first button hot, 2 second hot, 3 first pressed, 4 second pressed.
  // The first button is the top one (vertical) or the left one (horizontal).
  std::uint8_t BtnState() const { return FBtnState; }
  // The first button's rectangle (client coordinates).
  TRect FirstButtonRect() const;
  // The buttons are painted from the skin now (a manager with a loaded skin that has the arrow
  // sections of the orientation).
  bool SkinnedPaint() const;
  // The manager the buttons are painted with: the skinned page control's when that is the parent,
  // else the default one.
  TsSkinManager* PaintManager() const;

 protected:
  // One button into Bmp (sized to half the control): Index 0 top, 1 left, 2 bottom, 3 right; the
  // second buttons take the odd pixel.
  void PaintUpDownButton(TBitmap* Bmp, int Index);

 private:
  void SetBtnState(std::uint8_t Value);
  // The direction of a button is at its limit: the first at Max (vertical) or Min (horizontal),
  // the second at Min (vertical) or Max (horizontal).
  bool FirstAtLimit() const;
  bool SecondAtLimit() const;
  TsCacheInfo GetParentCache();
  void HitTestMessage(TMessage& Message);
  // WM_LBUTTONDOWN and the double clicks: the hot button shows pressed unless its direction was at
  // its limit before the press.
  void PressMessage(TMessage& Message, bool Ends);
  void ReleaseMessage(TMessage& Message);
  void PaintMessage(TMessage& Message);
  bool SkinCommand(TMessage& Message);

  bool FShowInaccessibility = true;
  TsDisabledKind FDisabledKind{dkBlended};
  std::uint8_t FBtnState = 0;
  std::string FButtonSkin;
  bool FMouseDown = false;
};
