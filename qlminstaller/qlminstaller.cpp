// Program entry: one run is one installation. Prepares the log, the switches and the
// scripts, applies the single-instance rule, runs QLMSE_BeforeInit and then takes the silent
// road or the window road. Always returns 0; failures are reported as debug-output lines.
#include <windows.h>
#include <gdiplus.h>
#include <objbase.h>

#include <string>

#include "appinstance.h"
#include "debugoutput.h"
#include "installmgr.h"
#include "modulepath.h"
#include "qlmscriptengine.h"
#include "rykbaselog.h"
#include "safelibrary.h"
#include "startup.h"
#include "stringconv.h"
#include "switchtable.h"

namespace {

// Starts GDI+ once for the process; it is shut down when the process exits.
void StartGdiplusOnce() {
  static ULONG_PTR token = 0;
  static struct Shutdown {
    ~Shutdown() {
      if (token) Gdiplus::GdiplusShutdown(token);
    }
  } shutdown;
  if (token) return;
  Gdiplus::GdiplusStartupInput input;
  Gdiplus::GdiplusStartup(&token, &input, nullptr);
}

void RunSilentRoad(HWND listenWindow, const std::wstring& logBasePath) {
  QLMScriptEngine& engine = QLMScriptEngine::Instance();
  engine.SetGlobalBoolean("global_ss_install", true);
  DebugLine(L"global_ss_install==true ~!\r\n");
  DebugLine(L"start ss install!");
  engine.SetGlobalString("InstallPath", engine.GetGlobalString("global_install_path"));

  CInstallMgr& manager = CInstallMgr::Instance();
  manager.BeforeInstall();
  manager.OnInstall();
  manager.BeforeComplete();
  manager.AfterComplete();

  if (listenWindow) SendMessageW(listenWindow, kMsgInstallationOver, 0, 0);
  CoUninitialize();
  MoveFileExW(logBasePath.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  RestrictLibrarySearch();
  StartupState state;
  state.instance = instance;
  state.logBasePath = LogBasePath();
  DeleteFileW(state.logBasePath.c_str());
  CRykBaseLog::Instance().InitLogger(WideToAnsi(state.logBasePath));

  SwitchTable switches(GetCommandLineW());
  state.listenWindow = ListenWindowFromSwitches(switches);
  std::wstring ignored;
  state.debugMode = switches.GetValue(L"debug", ignored);

  if (!LoadScripts(state.debugMode)) return 0;

  QLMScriptEngine& engine = QLMScriptEngine::Instance();
  std::wstring instanceName = engine.GetGlobalString("global_install_mutex_guid");
  int applicationNumber = 0;
  if (instanceName.empty()) {
    instanceName = kDefaultInstanceName;
    applicationNumber = engine.GetGlobalInteger("global_app_id");
  }
  std::wstring silentValue;
  const bool silentSwitchPresent = switches.GetValue(L"InstallSlience", silentValue);
  state.instanceHandle = CreateAppInstance(instanceName.c_str(), applicationNumber);
  if (state.instanceHandle && !silentSwitchPresent) {
    DebugLine(L"CreateAppInstance return true");
    CloseHandle(state.instanceHandle);
    return 0;
  }

  CoInitialize(nullptr);
  StartGdiplusOnce();
  CInstallMgr::Instance().BeforeInit();

  if (ChooseSilentRoad(silentSwitchPresent && silentValue == L"true")) {
    RunSilentRoad(state.listenWindow, state.logBasePath);
  } else {
    RunWindowRoad(state);
  }
  if (state.instanceHandle) CloseHandle(state.instanceHandle);
  return 0;
}
