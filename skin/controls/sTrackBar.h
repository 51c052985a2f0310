// The skinned track bar.
//
// The system's track bar keeps the position, range, ticks and the keyboard and mouse handling; the
// skinned bar paints its whole look into its cache bitmap: the section "TRACKBAR", focus dots, the
// channel ("SLIDERCHANNEL"), the ticks ("TICKHORZ" / "TICKVERT", etched marks without them) and the
// thumb ("SLIDERMASK" / "SLIDERVMASK"; none without it), the thumb in the normal, hot or pressed
// frame, fading between them on hover and press. OnUserChange fires for every scroll notification,
// skinned or not: the user moved the thumb (never for a position set in code). Removing the skin
// recreates the window, giving the system's own look back.
#pragma once

#include "classlib/Win.h"

#include "classlib/ComCtrls.h"
#include "skin/controls/sCommonFrame.h"

class TsTrackBar : public TacSkinnedControl<TTrackBar> {
 public:
  QV_CLASS_NAME(TsTrackBar)
  explicit TsTrackBar(TComponent* AOwner);

  // ---- published
  TsDisabledKind DisabledKind() const { return FDisabledKind; }
  void SetDisabledKind(TsDisabledKind Value);
  bool ShowFocus() const { return FShowFocus; }
  void SetShowFocus(bool Value);
  TNotifyEvent OnUserChange;
  TNotifyEvent GetOnUserChange() const { return OnUserChange; }
  void SetOnUserChange(TNotifyEvent Value) { OnUserChange = Value; }

  // ---- geometry as the system reports it (client coordinates)
  TRect ThumbRect();
  // In the bar's orientation, whatever orientation the system reports it in.
  TRect ChannelRect();
  int TickCount();
  int TickPos(int Index);
  // The ticks along the bar as they are painted (X of a horizontal bar, Y of a vertical one), in
  // order, at most one a pixel.
  std::vector<int> TickPositions();
  // The thumb's frame: 2 pressed, 1 hot, 0 normal.
  int ThumbState();

  // Builds the whole look in the cache bitmap.
  void PrepareCache();
  void WndProc(TMessage& Message) override;

 protected:
  void PaintWindow(HDC DC) override;
  virtual void PaintChannel();

  void AfterSkinChange(int Command) override;
  bool AnswerAnyState(TMessage& Message) override;
  bool SkinnedMessage(TMessage& Message) override;
  void AfterInherited(TMessage& Message) override;

 private:
  bool Vertical() const { return Orientation() == trVertical; }
  void PaintToCanvas(HDC DC);
  void PaintBody(const TsCacheInfo& Parent);
  // The ticks' images (etched marks without them) beside the channel.
  void PaintTicks(const TRect& Channel);
  void PaintThumb();
  bool OverThumb();
  void ButtonDown();
  void ButtonUp();
  bool FocusMessage(TMessage& Message, bool Gained);

  TsDisabledKind FDisabledKind{dkBlended};
  bool FShowFocus = false;
  int FTickLength = 4;
};
