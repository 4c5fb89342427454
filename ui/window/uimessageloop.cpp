// The process-wide message loop: messages of windows with a paint manager pass the
// manager's accelerator translators and pre-message handler before they are dispatched.
#include "uimanager.h"

namespace {

// A native edit window inside a layered window is painted by the toolkit, so its keys
// pass the owning managers like a child window's.
bool IsEditOfLayeredWindow(HWND window) {
  wchar_t className[16] = {};
  GetClassNameW(window, className, 16);
  if (lstrcmpW(className, L"EditWnd") != 0) return false;
  HWND parent = GetParent(window);
  return parent != nullptr && (GetWindowLongW(parent, GWL_EXSTYLE) & WS_EX_LAYERED) != 0;
}

}  // namespace

void CPaintManagerUI::MessageLoop() {
  MSG msg = {};
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (!TranslateMessage(&msg)) {
      ::TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
}

bool CPaintManagerUI::TranslateMessage(const MSG* msg) {
  MSG copy = *msg;
  LRESULT result = 0;
  bool child = (GetWindowLongW(msg->hwnd, GWL_STYLE) & WS_CHILD) != 0;
  if (child || IsEditOfLayeredWindow(msg->hwnd)) {
    // Every manager whose window is this window or an ancestor of it is asked; the message
    // is dispatched afterwards unless a translator swallowed it.
    for (CPaintManagerUI* manager : std::vector<CPaintManagerUI*>(Managers())) {
      for (HWND window = msg->hwnd; window != nullptr; window = GetParent(window)) {
        if (window != manager->GetPaintWindow()) continue;
        if (manager->TranslateAccelerator(&copy)) return true;
        manager->PreMessageHandler(msg->message, msg->wParam, msg->lParam, result);
        break;
      }
    }
    return false;
  }
  for (CPaintManagerUI* manager : std::vector<CPaintManagerUI*>(Managers())) {
    if (msg->hwnd != manager->GetPaintWindow()) continue;
    if (manager->TranslateAccelerator(&copy)) return true;
    return manager->PreMessageHandler(msg->message, msg->wParam, msg->lParam, result);
  }
  return false;
}
