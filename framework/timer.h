#pragma once
// A timer component: OnTimer every Interval milliseconds while Enabled, on the user-interface
// thread (WM_TIMER of the application's utility window).

#include <windows.h>

#include "framework/component.h"
#include "framework/events.h"

namespace stampwell {

class TTimer : public TComponent {
 public:
  explicit TTimer(TComponent* owner);
  ~TTimer() override;

  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);
  unsigned Interval() const { return interval_; }
  void SetInterval(unsigned interval);
  // Whether the system timer is running (enabled, an interval and a handler).
  bool Running() const { return id_ != 0; }

  // Set through SetOnTimer, which starts the timer when it is enabled.
  TNotifyEvent OnTimer;
  void SetOnTimer(TNotifyEvent handler);
  // Fires OnTimer now, as a tick would.
  void Timer();

  bool SetProperty(const std::string& name, const FormValue& value, FormReadContext& context) override;
  void Loaded() override { Update(); }

  // Delivers a WM_TIMER of the utility window.
  static void Dispatch(UINT_PTR id);

 private:
  void Update();

  bool enabled_ = true;
  unsigned interval_ = 1000;
  UINT_PTR id_ = 0;
};

}  // namespace stampwell
