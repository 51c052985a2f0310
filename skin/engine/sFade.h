// Hover fading and state animation of skinned controls, and the fade-in of a shown control.
//
// A fade blends the control's old look (a copy of its cache taken when the fade starts) into its
// new look (the cache the control rebuilds on QC_PREPAREFADE), one step per timer tick. The weight
// of the old look falls from 255 to 0 over the steps and never leaves 0..255; a fade has at
// least one step. Both timers end by themselves: after the last step they stop, clear the
// control's pointer to them and are freed from the message queue (never inside their own tick).
// No exception leaves a tick: it goes to the application's handler.
#pragma once

#include "classlib/Win.h"

#include "classlib/Controls.h"
#include "classlib/ExtCtrls.h"
#include "classlib/Graphics.h"
#include "skin/engine/sCommonData.h"
#include "skin/engine/sQuorvexGraph.h"

// The paint event of controls that let the application draw over their look.
using TBmpPaintEvent = TMethod<void(TObject* Sender, TBitmap* Bmp)>;

// A timer that frees itself once its work is done. Slot, when given, is the owner's pointer to
// the timer: cleared when the timer goes.
class TacSelfFreeingTimer : public TTimer {
 public:
  QV_CLASS_NAME(TacSelfFreeingTimer)
  explicit TacSelfFreeingTimer(TComponent* AOwner);
  ~TacSelfFreeingTimer() override;

  // Stops the timer, clears the slot and frees the timer once the current message is done.
  void FinishAndFree();
  // Frees the timer now, or (inside its own tick) as FinishAndFree does.
  void Release();
  bool InTick() const { return InTick_; }
  // Number of these timers alive (for tests).
  static int LiveCount();

 protected:
  void Timer() override;
  virtual void Tick() = 0;
  void** Slot_ = nullptr;

 private:
  bool InTick_ = false;
  bool FreePending_ = false;
};

class TsFadeTimer : public TacSelfFreeingTimer {
 public:
  QV_CLASS_NAME(TsFadeTimer)
  explicit TsFadeTimer(TComponent* AOwner);
  ~TsFadeTimer() override;

  // Prepares a fade of SkinData's control over Iterations steps (at least one) from the current
  // cache (or from the frame on the screen when a fade was running).
  void Prepare(TsCommonData* SkinData, TsFadeTimer** Slot, int Iterations, int Direction);
  // One step of a running fade.
  void FadeStep();

  int Step = 0;
  int Iterations = 1;
  int Direction = 1;
  TsCommonData* SkinData = nullptr;
  TBitmap* StartBmp() const { return StartBmp_; }
  TBitmap* FrameBmp() const { return FrameBmp_; }

 protected:
  void Tick() override { FadeStep(); }

 private:
  TBitmap* StartBmp_ = nullptr;  // owned
  TBitmap* FrameBmp_ = nullptr;  // owned
};

class TsAnimTimer : public TacSelfFreeingTimer {
 public:
  QV_CLASS_NAME(TsAnimTimer)
  explicit TsAnimTimer(TComponent* AOwner);
  ~TsAnimTimer() override;

  // Binds the timer to a control's skin data: interval 10 ms, FADINGITERATIONS steps (halved
  // when Fast, at least one); the start image is a copy of the current cache.
  void BindTo(TsCommonData* SkinData, bool Fast, TsAnimTimer** Slot = nullptr);
  // One step: the current frame blends the start image with the owner's cache, then the owner
  // repaints. After the last step the timer ends and frees itself.
  void AnimStep();

  int Step = 0;
  int Iterations = 1;
  TsCommonData* SkinData = nullptr;
  TBitmap* StartBmp() const { return StartBmp_; }
  // The frame shown now; nullptr before the first step.
  TBitmap* Frame() const { return Step > 0 ? FrameBmp_ : nullptr; }

 protected:
  void Tick() override { AnimStep(); }

 private:
  TBitmap* StartBmp_ = nullptr;
  TBitmap* FrameBmp_ = nullptr;
};

// A hover fade of a skinned control (see the unit comment), or, when it may not fade, a plain
// repaint with any running fade stopped.
void FadeOrRepaint(TsFadeTimer*& Timer, TsCommonData* SkinData, bool Fast, bool AllowFade, int Direction = 1);
// Stops and frees a fade (nothing when there is none or it is being destroyed).
void StopFade(TsFadeTimer*& Timer);
void StopAnimTimer(TsAnimTimer*& Timer);

// Fade-in of a control shown anew: ShowOutputOverlay captures the screen under the control and
// covers it with the overlay window; AnimateControlShow prints the control's new picture and fades
// the overlay into it over Duration milliseconds on a self-freeing timer owned by the control (at
// least one frame); after the last frame the overlay goes. A new overlay, FreeOutputOverlay or the
// control's destruction ends a fade that is still running.
void ShowOutputOverlay(TControl* Control);
void AnimateControlShow(TControl* Control, int Duration);
// Takes the overlay away at once (a change that is not shown after all).
void FreeOutputOverlay();
// The overlay window while it is shown (0 otherwise), and whether its fade is running.
HWND OutputOverlayWindow();
bool OutputOverlayFading();
