#include "qlmlaunch.h"

#include "safelibrary.h"
#include "stringconv.h"

// The shell by its full path: a bare "explorer.exe" would be looked for in the installer's
// own folder and the current folder first.
std::wstring ExplorerLevelCommandLine(const std::wstring& file, const std::wstring& parameters) {
  return L"\"" + WindowsProgramPath(L"explorer.exe") + L"\" \"" + file + L"\" \"" + parameters +
         L"\"";
}

UINT ProcessLauncherExplorerLevel(const std::wstring& file, const std::wstring& parameters) {
  std::string commandLine = WideToAnsi(ExplorerLevelCommandLine(file, parameters));
  return WinExec(commandLine.c_str(), SW_SHOWNORMAL);
}

void ForceForegroundWindow(HWND window) {
  DWORD foregroundThread = GetWindowThreadProcessId(GetForegroundWindow(), nullptr);
  DWORD thisThread = GetCurrentThreadId();
  AttachThreadInput(thisThread, foregroundThread, TRUE);
  ShowWindow(window, SW_SHOWNORMAL);
  SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  SetWindowPos(window, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  SetForegroundWindow(window);
  AttachThreadInput(thisThread, foregroundThread, FALSE);
}
