// A window whose skin file does not exist: creating it shows the failure box and ends the
// process with exit code 1.
#include <windows.h>

#include "uiwindowimplbase.h"

namespace {

class MissingSkinWindow : public WindowImplBase {
 protected:
  const wchar_t* GetWindowClassName() const override { return L"QLMMissingSkin"; }
  std::wstring GetSkinFile() const override { return L"Layout/Missing.xml"; }
};

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int) {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  *wcsrchr(path, L'\\') = 0;
  CPaintManagerUI::SetInstance(instance);
  CPaintManagerUI::SetResourcePath(path);
  MissingSkinWindow window;
  window.Create(nullptr, L"probe", WS_POPUP | WS_VISIBLE, 0);
  return 0;
}
