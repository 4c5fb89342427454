// The pieces of the start-up sequence that the entry and the window road share.
#pragma once
#include <windows.h>

#include <string>

#include "switchtable.h"

// Sent to the listening window of another process when the installation is over.
constexpr UINT kMsgInstallationOver = 3014;

struct StartupState {
  HINSTANCE instance = nullptr;
  std::wstring logBasePath;
  HWND listenWindow = nullptr;
  bool debugMode = false;
  HANDLE instanceHandle = nullptr;
};

// The InstallListenWnd switch read as an unsigned decimal number; null when absent.
HWND ListenWindowFromSwitches(const SwitchTable& switches);
// The folder of the running program, with a trailing backslash.
std::wstring ExecutableFolder();
// Debug mode: the script files beside the executable; otherwise the "LUA" resources.
// Writes the failure line and returns false when a chunk does not load or run.
bool LoadScripts(bool debugMode);
// The mode decision, made after QLMSE_BeforeInit.
bool ChooseSilentRoad(bool silentSwitchHolds);
// The window road; ends the run when the installer window is gone.
void RunWindowRoad(StartupState& state);
