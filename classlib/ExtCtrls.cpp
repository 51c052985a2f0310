#include "classlib/ExtCtrls.h"

#include "classlib/core/TypInfo.h"

TTimer::TTimer(TComponent* AOwner) : TComponent(AOwner) { Window_ = AllocateHWnd(MakeMethod<&TTimer::WndProc>(this)); }

TTimer::~TTimer() { DeallocateHWnd(Window_); }

void TTimer::AfterConstruction() {
  TComponent::AfterConstruction();
  // A descendant's constructor may have stopped it already.
  if (!Running_) UpdateTimer();
}

void TTimer::BeforeDestruction() {
  Enabled_ = false;
  UpdateTimer();
  TComponent::BeforeDestruction();
}

void TTimer::UpdateTimer() {
  if (Running_) KillTimer(Window_, 1);
  Running_ = false;
  if (Interval_ != 0 && Enabled_) {
    if (!SetTimer(Window_, 1, Interval_, nullptr)) {
      Enabled_ = false;
      throw EOutOfResources("Not enough timers available");
    }
    Running_ = true;
  }
}

void TTimer::SetEnabled(bool v) {
  if (Enabled_ == v) return;
  Enabled_ = v;
  UpdateTimer();
}

void TTimer::SetInterval(unsigned v) {
  if (Interval_ == v) return;
  Interval_ = v;
  UpdateTimer();
}

void TTimer::SetOnTimer(TNotifyEvent v) {
  OnTimer = v;
  UpdateTimer();
}

void TTimer::Timer() { OnTimer(this); }

void TTimer::WndProc(TMessage& Message) {
  if (Message.Msg == WM_TIMER) {
    try {
      Timer();
    } catch (...) {
      HandleBoundaryException(this);
    }
    Message.Result = 0;
  }
}

static const bool kTimerProps = RegisterProperties<TTimer, TComponent>([](auto& p) {
  p.Ord("Enabled", &TTimer::Enabled, &TTimer::SetEnabled);
  p.Ord("Interval", &TTimer::Interval, &TTimer::SetInterval);
  p.Method("OnTimer", &TTimer::GetOnTimer, &TTimer::SetOnTimer);
});
