// Dispatch of notifications to member handlers through notify maps: one static table per
// window class, chained to the table of its base class. In one table an entry naming the
// sender wins; an entry without a control name is the fallback for every other sender.
#pragma once
#include <windows.h>

#include <map>
#include <string>

#include "uievents.h"

class CNotifyPump {
 public:
  // Kind 2 handlers receive the whole record, kind 1 handlers its wParam and lParam.
  using WholeHandler = void (CNotifyPump::*)(NotifyMsg&);
  using ParamHandler = void (CNotifyPump::*)(WPARAM, LPARAM);
  struct NotifyMapEntry {
    const wchar_t* type;  // null ends the table
    const wchar_t* control;  // empty: any control
    WholeHandler whole;
    ParamHandler params;
  };
  struct NotifyMap {
    const NotifyMap* base;
    const NotifyMapEntry* entries;
  };

  virtual ~CNotifyPump() = default;

  bool AddVirtualWnd(const std::wstring& name, CNotifyPump* pump);
  bool RemoveVirtualWnd(const std::wstring& name);
  // True when a handler took the record.
  bool NotifyPump(NotifyMsg& msg);

  static const NotifyMap* ClassNotifyMap();

 protected:
  virtual const NotifyMap* GetNotifyMap() const { return ClassNotifyMap(); }

  template <typename T>
  static NotifyMapEntry NotifyEntry(const wchar_t* type, const wchar_t* control,
                                    void (T::*handler)(NotifyMsg&)) {
    return NotifyMapEntry{type, control, static_cast<WholeHandler>(handler), nullptr};
  }
  template <typename T>
  static NotifyMapEntry NotifyEntry(const wchar_t* type, const wchar_t* control,
                                    void (T::*handler)(WPARAM, LPARAM)) {
    return NotifyMapEntry{type, control, nullptr, static_cast<ParamHandler>(handler)};
  }
  static NotifyMapEntry EndOfMap() { return NotifyMapEntry{nullptr, nullptr, nullptr, nullptr}; }

 private:
  bool LoopDispatch(NotifyMsg& msg);

  std::map<std::wstring, CNotifyPump*> virtualWnds_;
};
