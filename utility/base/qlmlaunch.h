// Launch and foreground helpers shared by the installer window and the script functions.
#pragma once
#include <windows.h>

#include <string>

// Starts `file` through the desktop shell: "<Windows folder>\explorer.exe" "<file>"
// "<parameters>" (WinExec, SW_SHOWNORMAL). Returns WinExec's result (greater than 31 on
// success).
UINT ProcessLauncherExplorerLevel(const std::wstring& file, const std::wstring& parameters);

// The command line that ProcessLauncherExplorerLevel runs, before the ANSI conversion.
std::wstring ExplorerLevelCommandLine(const std::wstring& file, const std::wstring& parameters);

// Raises `window` over other applications although this process is not in the foreground.
void ForceForegroundWindow(HWND window);
