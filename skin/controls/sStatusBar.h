// The skinned status bar.
//
// The bar paints itself from its section ("STATUSBAR") into its cache bitmap: each panel framed by
// the section's "STATUSPANELMASK" or, in a skin without one, followed by the "DIVIDER" section
// (but the last), the panel texts in the section's font colours cut to their panels with "...",
// owner-drawn panels through OnDrawPanel on the bar's canvas bound to the cache, and the size grip
// from the skin's "GRIPIMAGE". The native bar keeps its parts, texts and hit testing; every change
// of them marks the cache stale. Without a skin it is the class library's status bar; removing
// the skin recreates the window so the native bar paints itself again.
#pragma once

#include "classlib/Win.h"

#include <string>

#include "classlib/ComCtrls.h"
#include "skin/controls/sCommonFrame.h"

class TsStatusBar : public TacSkinnedControl<TStatusBar> {
 public:
  QV_CLASS_NAME(TsStatusBar)
  explicit TsStatusBar(TComponent* AOwner);

  // The slot of panel Index in the skinned look (the whole bar without panels).
  TRect PanelSlot(int Index) const;
  // The text of part Index as the window holds it (a program may set it with SB_SETTEXT), without
  // the tabs that align it; a panel's own text past the window's parts (MaxWindowParts).
  std::string PartText(int Index);

  // Rebuilds the cache (when its background changed).
  void PrepareCache();
  // The cache to DC (the window's when 0), less the child windows, with the graphic children.
  void PaintStatusBar(HDC DC);

 protected:
  void PaintWindow(HDC DC) override;
  void CreateWnd() override;

  bool PassesSkinCommandsOn() const override { return true; }
  void AfterSkinChange(int Command) override;
  void RepaintAfterUpdate() override;
  bool SkinnedMessage(TMessage& Message) override;
  void AfterInherited(TMessage& Message) override;

 private:
  void PaintPanels();
  void PaintPanel(TStatusPanel* Panel, int Index, TRect R);
  void DrawPanel(TStatusPanel* Panel, const std::string& Text, TRect R, bool Last);
  void PaintDivider(const TRect& R);
  void WritePanelText(const std::string& Text, const TRect& R, UINT Flags);
  void PaintSizeGrip();
  void CopyBorder(HDC DC);
  void EraseMessage(TMessage& Message);
  void NCPaintMessage(TMessage& Message);
  void PrintMessage(TMessage& Message);
};
