// Control timers: each control's ids map to window-local system timer ids, which are
// recycled modulo 240 so that a window never holds more than 240 system timers.
#include "uicontrol.h"
#include "uimanager.h"

namespace {

constexpr UINT kLocalTimerIds = 240;

}  // namespace

bool CPaintManagerUI::SetTimer(CControlUI* control, UINT id, UINT elapse) {
  if (control == nullptr || window_ == nullptr) return false;
  for (TimerRecord& record : timers_) {
    if (record.control == control && record.window == window_ && record.id == id) {
      if (!record.killed) return false;
      if (::SetTimer(window_, record.localId, elapse, nullptr) == 0) return false;
      record.killed = false;
      return true;
    }
  }
  lastTimerId_ = (lastTimerId_ + 1) % kLocalTimerIds;
  if (::SetTimer(window_, lastTimerId_, elapse, nullptr) == 0) return false;
  timers_.push_back(TimerRecord{control, id, window_, lastTimerId_, false});
  return true;
}

bool CPaintManagerUI::KillTimer(CControlUI* control, UINT id) {
  for (TimerRecord& record : timers_) {
    if (record.control == control && record.window == window_ && record.id == id) {
      if (!record.killed) {
        ::KillTimer(record.window, record.localId);
        record.killed = true;
        return true;
      }
    }
  }
  return false;
}

void CPaintManagerUI::KillTimer(CControlUI* control) {
  for (auto it = timers_.begin(); it != timers_.end();) {
    if (it->control == control) {
      if (!it->killed) ::KillTimer(it->window, it->localId);
      it = timers_.erase(it);
    } else {
      ++it;
    }
  }
}

void CPaintManagerUI::RemoveAllTimers() {
  for (const TimerRecord& record : timers_) {
    if (!record.killed) ::KillTimer(record.window, record.localId);
  }
  timers_.clear();
}
