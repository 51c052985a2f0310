// Extra controls of the class library; for now the timer.
#pragma once

#include "classlib/Win.h"

#include "classlib/Controls.h"

// A window timer on a hidden window of its own: the virtual Timer (which calls OnTimer) runs
// every Interval milliseconds while Enabled and Interval is not 0, with or without a handler, so
// descendants can do their work in Timer. An exception in Timer goes to the application's
// exception handler.
class TTimer : public TComponent {
 public:
  QV_CLASS_NAME(TTimer)
  explicit TTimer(TComponent* AOwner);
  ~TTimer() override;
  // Starts the timer of a new object (enabled, 1000 ms), so that a handler assigned later fires.
  void AfterConstruction() override;
  void BeforeDestruction() override;

  bool Enabled() const { return Enabled_; }
  void SetEnabled(bool v);
  unsigned Interval() const { return Interval_; }
  void SetInterval(unsigned v);
  TNotifyEvent OnTimer;
  // Assigns OnTimer and starts the interval anew (the published property's setter).
  void SetOnTimer(TNotifyEvent v);
  TNotifyEvent GetOnTimer() const { return OnTimer; }

 protected:
  virtual void Timer();

 private:
  void UpdateTimer();
  void WndProc(TMessage& Message);
  HWND Window_ = nullptr;
  bool Enabled_ = true;
  unsigned Interval_ = 1000;
  bool Running_ = false;
};
