// The window road: the skin for the toolkit, per-monitor DPI awareness, the installer window
// and its message loop, then the tidying up of the run.
// curl brings winsock2.h, which must come before windows.h.
#include <curl/curl.h>
#include <objbase.h>

#include <string>

#include "debugoutput.h"
#include "dlginstall.h"
#include "procaddress.h"
#include "safelibrary.h"
#include "scopeguard.h"
#include "startup.h"

namespace {

constexpr wchar_t kSourceFile[] = L"qlminstaller";
constexpr int kSkinResourceId = 999;
constexpr int kPerMonitorDpiAware = 2;
constexpr DWORD kInstallerStyle = 0x96C80000;
constexpr DWORD kInstallerExStyle = 0x00000100;

// The skin archive from the resource "PNG" 999, or the skin folder in debug mode.
bool SetSkinSource(const StartupState& state) {
  if (state.debugMode) {
    CPaintManagerUI::SetResourcePath((ExecutableFolder() + L"..\\Res\\Skin").c_str());
    return true;
  }
  HRSRC resource = FindResourceW(state.instance, MAKEINTRESOURCEW(kSkinResourceId), L"PNG");
  HGLOBAL loaded = resource != nullptr ? LoadResource(state.instance, resource) : nullptr;
  if (loaded == nullptr) {
    DebugFailureReport(kSourceFile, __LINE__);
    return false;
  }
  const void* bytes = LockResource(loaded);
  if (bytes == nullptr) {
    DebugJoinedFailureReport(L"LockResource failed.", kSourceFile, __LINE__);
    FreeResource(loaded);
    return false;
  }
  DWORD size = SizeofResource(state.instance, resource);
  if (size == 0) {
    DebugLine(L"ResSize == 0\r\n");
    FreeResource(loaded);
    return false;
  }
  // The bytes stay in the loaded image of the executable for the life of the process.
  CPaintManagerUI::SetResourceArchive(bytes, size, L"");
  FreeResource(loaded);
  return true;
}

void BecomePerMonitorDpiAware() {
  LibraryGuard shcore(LoadSystemLibrary(L"Shcore.dll"));
  using SetAwareness = HRESULT(WINAPI*)(int);
  auto setAwareness = LookUpFunction<SetAwareness>(shcore.Get(), "SetProcessDpiAwareness");
  if (setAwareness != nullptr) setAwareness(kPerMonitorDpiAware);
}

}  // namespace

void RunWindowRoad(StartupState& state) {
  CPaintManagerUI::SetInstance(state.instance);
  if (!SetSkinSource(state)) return;
  BecomePerMonitorDpiAware();
  curl_global_init(CURL_GLOBAL_ALL);
  CDlgInstall window(state.listenWindow);
  window.Create(nullptr, L"", kInstallerStyle, kInstallerExStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                CW_USEDEFAULT, CW_USEDEFAULT, nullptr);
  CPaintManagerUI::MessageLoop();
  CPaintManagerUI::Term();
  curl_global_cleanup();
  CoUninitialize();
  MoveFileExW(state.logBasePath.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
}
