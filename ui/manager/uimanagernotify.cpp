// Notifications: delivered at once, or queued and delivered from the window's own message
// queue (one wake-up message for any number of queued records).
#include "uicontrol.h"
#include "uimanager.h"

void CPaintManagerUI::SendNotify(CControlUI* sender, const wchar_t* type, WPARAM wParam,
                                 LPARAM lParam, bool async) {
  NotifyMsg msg;
  msg.type = type;
  msg.sender = sender;
  msg.wParam = wParam;
  msg.lParam = lParam;
  SendNotify(msg, async);
}

void CPaintManagerUI::SendNotify(NotifyMsg& msg, bool async) {
  msg.mouse = lastMousePos_;
  msg.timestamp = GetTickCount();
  if (usedVirtualWnd_ && msg.sender != nullptr) msg.virtualWnd = msg.sender->GetVirtualWnd();
  if (async) {
    asyncNotify_.push_back(msg);
    PostAsyncWakeUp();
    return;
  }
  DeliverNotify(msg);
}

void CPaintManagerUI::DeliverNotify(NotifyMsg& msg) {
  if (msg.sender != nullptr && !msg.sender->OnNotify(&msg)) return;
  for (INotifyUI* notifier : std::vector<INotifyUI*>(notifiers_)) notifier->Notify(msg);
}

void CPaintManagerUI::PostAsyncWakeUp() {
  if (asyncPosted_ || window_ == nullptr) return;
  asyncPosted_ = PostMessageW(window_, kMsgAsyncNotify, 0, 0) != FALSE;
}

void CPaintManagerUI::FreeDelayedCleanup() {
  std::vector<CControlUI*> cleanup;
  cleanup.swap(delayedCleanup_);
  for (CControlUI* control : cleanup) delete control;
}

void CPaintManagerUI::HandleAsyncNotify() {
  asyncPosted_ = false;
  FreeDelayedCleanup();
  while (!asyncNotify_.empty()) {
    NotifyMsg msg = asyncNotify_.front();
    asyncNotify_.pop_front();
    DeliverNotify(msg);
  }
}
