// The skinned memo: a multi-line edit whose frame and scroll bars are painted by an edit window
// adapter (held only while skinned) and whose colours follow the section "EDIT". A bound label
// follows it.
#pragma once

#include "classlib/Win.h"

#include "classlib/StdCtrls.h"
#include "skin/controls/sCommonFrame.h"
#include "skin/engine/Hooks.h"

class TsMemo : public TacSkinnedControl<TMemo> {
 public:
  QV_CLASS_NAME(TsMemo)
  explicit TsMemo(TComponent* AOwner);
  ~TsMemo() override;

  // ---- published (Text, CharCase: the base's)
  TsDisabledKind DisabledKind() const { return FDisabledKind; }
  void SetDisabledKind(TsDisabledKind Value);
  TsBoundLabel* BoundLabel() const { return FBoundLabel; }
  // The caret was moved (EM_SETSEL); the vertical scroll position changed (WM_VSCROLL).
  TNotifyEvent OnScrollCaret;
  TNotifyEvent OnVScroll;
  TNotifyEvent GetOnScrollCaret() const { return OnScrollCaret; }
  void SetOnScrollCaret(TNotifyEvent Value) { OnScrollCaret = Value; }
  TNotifyEvent GetOnVScroll() const { return OnVScroll; }
  void SetOnVScroll(TNotifyEvent Value) { OnVScroll = Value; }

  // The adapter that paints frame and scroll bars (nullptr while not skinned).
  TacControlScrollBars* ScrollWnd() const { return FScrollWnd.get(); }
  void WndProc(TMessage& Message) override;

 protected:
  void Loaded() override;
  bool ReadyAndSkinned() const override { return FrameSkinned(this, FSkinData, false); }
  void BeforeSkinChange(int Command) override;
  void AfterSkinChange(int Command) override;
  bool SkinnedMessage(TMessage& Message) override;
  void AfterInherited(TMessage& Message) override;

 private:
  TsDisabledKind FDisabledKind{dkBlended};
  TsBoundLabel* FBoundLabel = nullptr;
  std::unique_ptr<TacControlScrollBars> FScrollWnd;
};
