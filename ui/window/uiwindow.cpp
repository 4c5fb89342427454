#include "uiwindow.h"

#include <algorithm>

#include "uiskinsource.h"

namespace {

constexpr wchar_t kObjectProperty[] = L"WndX";

}  // namespace

bool CWindowWnd::RegisterWindowClass() {
  WNDCLASSW windowClass = {};
  windowClass.style = GetClassStyle();
  windowClass.lpfnWndProc = WindowProc;
  windowClass.hInstance = CSkinSource::GetWindowModule();
  windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));
  windowClass.lpszClassName = GetWindowClassName();
  if (RegisterClassW(&windowClass) != 0) return true;
  return GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

bool CWindowWnd::RegisterSuperclass() {
  WNDCLASSEXW windowClass = {};
  windowClass.cbSize = sizeof windowClass;
  if (!GetClassInfoExW(nullptr, GetSuperClassName(), &windowClass) &&
      !GetClassInfoExW(CSkinSource::GetWindowModule(), GetSuperClassName(), &windowClass)) {
    return false;
  }
  previousProc_ = windowClass.lpfnWndProc;
  windowClass.lpfnWndProc = WindowProc;
  windowClass.hInstance = CSkinSource::GetWindowModule();
  windowClass.lpszClassName = GetWindowClassName();
  if (RegisterClassExW(&windowClass) != 0) return true;
  return GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

HWND CWindowWnd::Create(HWND parent, const wchar_t* name, DWORD style, DWORD exStyle, int x,
                        int y, int cx, int cy, HMENU menu) {
  const wchar_t* super = GetSuperClassName();
  bool registered = super != nullptr && *super != 0 ? RegisterSuperclass() : RegisterWindowClass();
  if (!registered) return nullptr;
  window_ = CreateWindowExW(exStyle, GetWindowClassName(), name, style, x, y, cx, cy, parent, menu,
                            CSkinSource::GetWindowModule(), this);
  return window_;
}

void CWindowWnd::ShowWindow(bool show, bool takeFocus) {
  if (!IsWindow(window_)) return;
  ::ShowWindow(window_, show ? (takeFocus ? SW_SHOWNORMAL : SW_SHOWNOACTIVATE) : SW_HIDE);
}

void CWindowWnd::Close(UINT result) {
  if (!IsWindow(window_)) return;
  PostMessage(WM_CLOSE, result, 0);
}

void CWindowWnd::CenterWindow() {
  RECT window;
  GetWindowRect(window_, &window);
  MONITORINFO monitor = {};
  monitor.cbSize = sizeof monitor;
  GetMonitorInfoW(MonitorFromWindow(window_, MONITOR_DEFAULTTONEAREST), &monitor);
  const RECT& work = monitor.rcWork;
  RECT center = work;
  HWND owner = GetWindow(window_, GW_OWNER);
  if (owner != nullptr && !IsIconic(owner)) {
    RECT ownerRect;
    GetWindowRect(owner, &ownerRect);
    RECT common;
    // An owner that barely meets the work area is no place to centre on.
    if (IntersectRect(&common, &ownerRect, &work) && common.right - common.left >= 10 &&
        common.bottom - common.top >= 10) {
      center = ownerRect;
    }
  }
  const LONG width = window.right - window.left;
  const LONG height = window.bottom - window.top;
  LONG left = (center.left + center.right) / 2 - width / 2;
  LONG top = (center.top + center.bottom) / 2 - height / 2;
  left = std::max(work.left, std::min(left, work.right - width));
  top = std::max(work.top, std::min(top, work.bottom - height));
  SetWindowPos(window_, nullptr, left, top, -1, -1, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CWindowWnd::SetIcon(UINT resourceId) {
  // The large system icon size, each side rounded up to a multiple of 16.
  int cx = (GetSystemMetrics(SM_CXICON) + 15) / 16 * 16;
  int cy = (GetSystemMetrics(SM_CYICON) + 15) / 16 * 16;
  HINSTANCE instance = CSkinSource::GetWindowModule();
  HANDLE big =
      LoadImageW(instance, MAKEINTRESOURCEW(resourceId), IMAGE_ICON, cx, cy, LR_DEFAULTCOLOR);
  HANDLE small =
      LoadImageW(instance, MAKEINTRESOURCEW(resourceId), IMAGE_ICON, cx, cy, LR_DEFAULTCOLOR);
  if (big != nullptr) SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
  if (small != nullptr) SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
}

LRESULT CWindowWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  return ::SendMessageW(window_, message, wParam, lParam);
}

bool CWindowWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  return ::PostMessageW(window_, message, wParam, lParam) != FALSE;
}

LRESULT CWindowWnd::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  return CallWindowProcW(previousProc_, window_, message, wParam, lParam);
}

void CWindowWnd::OnFinalMessage(HWND) {}

LRESULT CALLBACK CWindowWnd::WindowProc(HWND window, UINT message, WPARAM wParam,
                                        LPARAM lParam) {
  CWindowWnd* self = nullptr;
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
    self = static_cast<CWindowWnd*>(create->lpCreateParams);
    self->window_ = window;
    SetPropW(window, kObjectProperty, self);
  } else {
    self = static_cast<CWindowWnd*>(GetPropW(window, kObjectProperty));
    if (message == WM_NCDESTROY && self != nullptr) {
      LRESULT result = CallWindowProcW(self->previousProc_, window, message, wParam, lParam);
      RemovePropW(window, kObjectProperty);
      self->window_ = nullptr;
      self->OnFinalMessage(window);
      return result;
    }
  }
  if (self != nullptr) return self->HandleMessage(message, wParam, lParam);
  return DefWindowProcW(window, message, wParam, lParam);
}
