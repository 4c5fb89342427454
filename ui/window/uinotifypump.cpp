#include "uinotifypump.h"

#include "uicontrol.h"

const CNotifyPump::NotifyMap* CNotifyPump::ClassNotifyMap() {
  static const NotifyMapEntry entries[] = {EndOfMap()};
  static const NotifyMap map = {nullptr, entries};
  return &map;
}

bool CNotifyPump::AddVirtualWnd(const std::wstring& name, CNotifyPump* pump) {
  if (pump == nullptr) return false;
  return virtualWnds_.emplace(name, pump).second;
}

bool CNotifyPump::RemoveVirtualWnd(const std::wstring& name) {
  return virtualWnds_.erase(name) != 0;
}

bool CNotifyPump::NotifyPump(NotifyMsg& msg) {
  if (!msg.virtualWnd.empty()) {
    auto found = virtualWnds_.find(msg.virtualWnd);
    if (found != virtualWnds_.end() && found->second->LoopDispatch(msg)) return true;
  }
  return LoopDispatch(msg);
}

bool CNotifyPump::LoopDispatch(NotifyMsg& msg) {
  std::wstring sender = msg.sender != nullptr ? msg.sender->GetName() : std::wstring();
  for (const NotifyMap* map = GetNotifyMap(); map != nullptr; map = map->base) {
    const NotifyMapEntry* chosen = nullptr;
    for (const NotifyMapEntry* entry = map->entries; entry->type != nullptr; ++entry) {
      if (msg.type != entry->type) continue;
      if (entry->control[0] == 0) {
        chosen = entry;
      } else if (sender == entry->control) {
        chosen = entry;
        break;
      }
    }
    if (chosen == nullptr) continue;
    if (chosen->whole != nullptr) {
      (this->*chosen->whole)(msg);
    } else {
      (this->*chosen->params)(msg.wParam, msg.lParam);
    }
    return true;
  }
  return false;
}
