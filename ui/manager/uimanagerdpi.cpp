// DPI: every manager's scale, the all-windows DPI and the monitor DPI query.
#include "procaddress.h"
#include "uicontrol.h"
#include "uimanager.h"
#include "safelibrary.h"
#include "scopeguard.h"

namespace {

int& AllWindowsDpi() {
  static int dpi = 96;
  return dpi;
}

CControlUI* NotifyDpiChanged(CControlUI* control, void*) {
  control->OnDpiChanged();
  return nullptr;
}

}  // namespace

int CPaintManagerUI::GetAllDPI() { return AllWindowsDpi(); }

void CPaintManagerUI::SetAllDPI(int dpi) {
  AllWindowsDpi() = dpi;
  for (CPaintManagerUI* manager : std::vector<CPaintManagerUI*>(Managers())) manager->SetDPI(dpi);
}

void CPaintManagerUI::SetDPI(int dpi) {
  const int oldScale = GetDPIObj()->GetScale();
  SetResourceDPI(dpi);
  const int newScale = GetDPIObj()->GetScale();
  if (root_ != nullptr) root_->FindControl(NotifyDpiChanged, nullptr, UIFIND_ALL);
  if (window_ != nullptr && !IsZoomed(window_) && oldScale != 0) {
    RECT rect;
    GetWindowRect(window_, &rect);
    int width = MulDiv(rect.right - rect.left, newScale, oldScale);
    int height = MulDiv(rect.bottom - rect.top, newScale, oldScale);
    SetWindowPos(window_, nullptr, rect.left, rect.top, width, height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
  }
  if (root_ != nullptr) root_->NeedUpdate();
  if (window_ != nullptr) PostMessageW(window_, kMsgDpiChanged, oldScale, newScale);
  if (root_ != nullptr) SendNotify(root_, kNotifyDpiChanged, oldScale, newScale);
}

int CPaintManagerUI::GetMonitorDPI(HMONITOR monitor) {
  using GetDpiForMonitorFunction = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
  constexpr int kEffectiveDpi = 0;
  LibraryGuard shcore(LoadSystemLibrary(L"Shcore.dll"));
  auto query = LookUpFunction<GetDpiForMonitorFunction>(shcore.Get(), "GetDpiForMonitor");
  UINT x = 0;
  UINT y = 0;
  if (query != nullptr && SUCCEEDED(query(monitor, kEffectiveDpi, &x, &y))) {
    return static_cast<int>(x);
  }
  MessageBoxW(nullptr, L"GetDpiForMonitor failed", L"Notification", MB_OK);
  HDC screen = GetDC(nullptr);
  int dpi = GetDeviceCaps(screen, LOGPIXELSX);
  ReleaseDC(nullptr, screen);
  return dpi;
}
