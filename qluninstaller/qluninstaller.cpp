// Program entry of the uninstaller that an installer writes beside the product (as
// Uninstall.exe). It runs the configuration and uninstall chunks found beside it and the five
// hooks on the main thread, like the installer's silent road. Started from the product
// folder it is the original run; started by the original with /UninstallFrom it is the copy
// that does the removal (uninstallstages.h).
#include <windows.h>

#include <string>

#include "modulepath.h"
#include "rykbaselog.h"
#include "safelibrary.h"
#include "stringconv.h"
#include "switchtable.h"
#include "uninstallstages.h"

const wchar_t kSwitchSilent[] = L"UninstallSilent";
const wchar_t kSwitchFrom[] = L"UninstallFrom";
const wchar_t kSwitchOriginal[] = L"UninstallOriginal";
const wchar_t kSwitchResult[] = L"UninstallResult";
const wchar_t kSwitchMoved[] = L"UninstallMoved";

namespace {

// The installer's log: the same daily file in the temporary folder.
void StartLog() { CRykBaseLog::Instance().InitLogger(WideToAnsi(LogBasePath())); }

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  RestrictLibrarySearch();
  StartLog();
  SwitchTable switches(GetCommandLineW());
  std::wstring value;
  const bool silent = switches.GetValue(kSwitchSilent, value) && value == L"true";
  const bool copy = switches.GetValue(kSwitchFrom, value);
  return static_cast<int>(copy ? RunCopy(switches, silent) : RunOriginal(silent));
}
