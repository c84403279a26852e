#include "framework/timer.h"

#include <map>

#include "framework/application.h"
#include "framework/form_reader.h"

namespace stampwell {
namespace {

std::map<UINT_PTR, TTimer*>& Timers() {
  static std::map<UINT_PTR, TTimer*> timers;
  return timers;
}
UINT_PTR g_next_timer_id = 1;

}  // namespace

TTimer::TTimer(TComponent* owner) : TComponent(owner) {}

TTimer::~TTimer() {
  enabled_ = false;
  Update();
}

void TTimer::SetEnabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  Update();
}

void TTimer::SetInterval(unsigned interval) {
  if (interval == interval_) return;
  interval_ = interval;
  Update();
}

void TTimer::Update() {
  if (id_) {
    ::KillTimer(Application().UtilityWindow(), id_);
    Timers().erase(id_);
    id_ = 0;
  }
  if (enabled_ && interval_ > 0 && OnTimer) {
    UINT_PTR id = g_next_timer_id++;
    if (::SetTimer(Application().UtilityWindow(), id, interval_, nullptr)) {
      id_ = id;
      Timers()[id_] = this;
    }
  }
}

void TTimer::SetOnTimer(TNotifyEvent handler) {
  OnTimer = std::move(handler);
  Update();
}

void TTimer::Timer() { FireEvent(OnTimer, this); }

void TTimer::Dispatch(UINT_PTR id) {
  auto it = Timers().find(id);
  if (it != Timers().end()) it->second->Timer();
}

bool TTimer::SetProperty(const std::string& name, const FormValue& value, FormReadContext& context) {
  if (name == "Enabled") enabled_ = context.Boolean(value);
  else if (name == "Interval") interval_ = static_cast<unsigned>(context.Integer(value));
  else if (name == "OnTimer") context.Bind(OnTimer, value);
  else return TComponent::SetProperty(name, value, context);
  return true;
}

}  // namespace stampwell
