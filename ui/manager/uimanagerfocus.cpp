// The paint manager's focus, tab navigation and pre-message handling.
#include <algorithm>
#include <cwctype>

#include "uicontrol.h"
#include "uimanager.h"

namespace {

CControlUI* CollectTabStops(CControlUI* control, void* data) {
  if ((control->GetControlFlags() & UIFLAG_TABSTOP) != 0) {
    static_cast<std::vector<CControlUI*>*>(data)->push_back(control);
  }
  return nullptr;
}

struct ShortcutSearch {
  wchar_t key;
  bool takeNext;
};

// The first visible control with the shortcut, or the first non-label control after a
// label with it.
CControlUI* MatchShortcut(CControlUI* control, void* data) {
  auto* search = static_cast<ShortcutSearch*>(data);
  if (!control->IsVisible()) return nullptr;
  bool label = control->GetInterface(L"Label") != nullptr;
  if (search->takeNext && !label) return control;
  if (control->GetShortcut() == 0 ||
      static_cast<wchar_t>(std::towupper(control->GetShortcut())) != search->key) {
    return nullptr;
  }
  if (!label) return control;
  search->takeNext = true;
  return nullptr;
}

}  // namespace

void CPaintManagerUI::SetFocus(CControlUI* control) {
  if (control == focus_) return;
  if (control != nullptr && ::GetFocus() != window_) ::SetFocus(window_);
  CControlUI* old = focus_;
  // Which focus views the change leaves and enters, decided before any handler runs.
  std::vector<CControlUI*> left;
  std::vector<CControlUI*> entered;
  for (CControlUI* view : focusViews_) {
    bool hadOld = IsInside(old, view);
    bool hasNew = IsInside(control, view);
    if (hadOld && !hasNew) left.push_back(view);
    if (hasNew && !hadOld) entered.push_back(view);
  }
  if (old != nullptr) {
    focus_ = nullptr;
    SendEvent(old, UIEvent::KillFocus);
    SendNotify(old, kNotifyKillFocus, reinterpret_cast<WPARAM>(control), 0);
    for (CControlUI* view : left) SendNotify(view, kNotifyKillFocusView);
  }
  if (control == nullptr || control->GetManager() != this || !control->IsVisible() ||
      !control->IsEnabled()) {
    return;
  }
  focus_ = control;
  SendEvent(control, UIEvent::SetFocus);
  SendNotify(control, kNotifySetFocus);
  for (CControlUI* view : entered) SendNotify(view, kNotifySetFocusView);
}

bool CPaintManagerUI::SetNextTabControl(bool forward) {
  if (!normalTab_) return false;
  if (updateNeeded_ && forward) {
    // The tree is not laid out yet: serve the request at the next paint.
    focusNeeded_ = true;
    InvalidateRect(window_, nullptr, FALSE);
    return true;
  }
  if (root_ == nullptr) return false;
  std::vector<CControlUI*> stops;
  root_->FindControl(CollectTabStops, &stops, UIFIND_VISIBLE | UIFIND_ENABLED | UIFIND_ME_FIRST);
  if (stops.empty()) return false;
  auto current = std::find(stops.begin(), stops.end(), focus_);
  CControlUI* next;
  if (forward) {
    next = current == stops.end() || current + 1 == stops.end() ? stops.front() : *(current + 1);
  } else {
    next = current == stops.end() || current == stops.begin() ? stops.back() : *(current - 1);
  }
  SetFocus(next);
  return true;
}

bool CPaintManagerUI::HandleTabKey() {
  // A control that takes the Tab key itself (a multi-line edit that wants Tab) keeps it.
  if (focus_ != nullptr && focus_->IsVisible() && focus_->IsEnabled() &&
      (focus_->GetControlFlags() & UIFLAG_WANTTAB) != 0) {
    return false;
  }
  if (tabRing_.empty()) {
    SetNextTabControl(GetKeyState(VK_SHIFT) >= 0);
    return true;
  }
  // The ring walks forward whatever the Shift key says.
  tabRing_.erase(std::remove_if(tabRing_.begin(), tabRing_.end(),
                                [this](CControlUI* control) { return !IsInside(control, root_); }),
                 tabRing_.end());
  if (tabRing_.empty()) return true;
  auto current = std::find(tabRing_.begin(), tabRing_.end(), focus_);
  size_t start = current != tabRing_.end() ? static_cast<size_t>(current - tabRing_.begin()) + 1
                                           : tabRingNext_;
  for (size_t step = 0; step < tabRing_.size(); ++step) {
    size_t index = (start + step) % tabRing_.size();
    if (tabRing_[index]->IsVisible()) {
      tabRingNext_ = index + 1;
      SetFocus(tabRing_[index]);
      break;
    }
  }
  return true;
}

bool CPaintManagerUI::HandleShortcut(wchar_t key) {
  if (root_ == nullptr) return false;
  ShortcutSearch search = {static_cast<wchar_t>(std::towupper(key)), false};
  CControlUI* control = root_->FindControl(MatchShortcut, &search,
                                           UIFIND_ENABLED | UIFIND_ME_FIRST | UIFIND_TOP_FIRST);
  if (control == nullptr) return false;
  control->SetFocus();
  control->Activate();
  return true;
}

bool CPaintManagerUI::PreMessageHandler(UINT message, WPARAM wParam, LPARAM lParam,
                                        LRESULT& result) {
  for (IMessageFilterUI* filter : std::vector<IMessageFilterUI*>(preMessageFilters_)) {
    bool handled = false;
    LRESULT answer = filter->MessageHandler(message, wParam, lParam, handled);
    if (handled) {
      result = answer;
      return true;
    }
  }
  switch (message) {
    case WM_KEYDOWN:
      if (wParam == VK_TAB) return HandleTabKey();
      return false;
    case WM_SYSCHAR:
      return HandleShortcut(static_cast<wchar_t>(wParam));
    case WM_SYSKEYDOWN:
      if (focus_ != nullptr) SendEvent(focus_, UIEvent::SysKey, wParam, lParam);
      return false;
    default:
      return false;
  }
}
