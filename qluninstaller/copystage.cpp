// The copy's run: loads the chunks from the product folder, runs the five hooks and reports
// the result to the original, then removes what is left of the two programs.
#include <objbase.h>
#include <windows.h>

#include <string>

#include "debugoutput.h"
#include "modulepath.h"
#include "qlmscriptengine.h"
#include "scopeguard.h"
#include "scripterror.h"
#include "uninstallchunks.h"
#include "uninstallexit.h"
#include "uninstallmessages.h"
#include "uninstallstages.h"

namespace {

HANDLE HandleSwitch(const SwitchTable& switches, const wchar_t* name) {
  return reinterpret_cast<HANDLE>(SwitchNumber(switches, name));
}

// The original reads one exit code from the pipe and ends with it.
class ResultChannel {
 public:
  ResultChannel(HANDLE pipe, HANDLE original) : pipe_(pipe), original_(original) {}

  // Hands `code` to the original and waits until it has ended.
  void Deliver(unsigned code) {
    DWORD value = code;
    DWORD written = 0;
    WriteFile(pipe_.Get(), &value, sizeof(value), &written, nullptr);
    pipe_.Reset();
    WaitForSingleObject(original_.Get(), INFINITE);
  }

 private:
  UniqueHandle pipe_;
  UniqueHandle original_;
};

void RunHooks(const std::wstring& productFolder, bool silent) {
  QLMScriptEngine& engine = QLMScriptEngine::Instance();
  // The folder the uninstaller was started from is where the product lies, whatever folder
  // the configuration chunk proposes.
  engine.SetGlobalString("global_install_path", productFolder);
  engine.SetGlobalString("InstallPath", productFolder);
  engine.SetGlobalBoolean("global_ss_install", silent);
  ComInitGuard com(CoInitialize(nullptr), CoUninitialize);
  for (const char* hook : {"QLMSE_BeforeInit", "QLMSE_BeforeInstall", "QLMSE_OnInstall",
                           "QLMSE_BeforeComplete", "QLMSE_AfterComplete"}) {
    engine.CallHook(hook);
  }
}

// The copy's own file goes when its last handle closes (the original opened it for deletion
// on close and this process inherited that handle); the restart removes the private folder,
// and the file too wherever deletion on close does not work.
void ScheduleOwnRemoval() {
  const std::wstring program = ModulePath();
  MoveFileExW(program.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
  MoveFileExW(FolderOf(program).c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
}

}  // namespace

unsigned RunCopy(const SwitchTable& switches, bool silent) {
  SetScriptEndExitCode(kUninstallScriptFailed);
  SetScriptErrorBox(!silent);
  std::wstring productFolder;
  switches.GetValue(kSwitchFrom, productFolder);
  std::wstring moved;
  const bool originalMoved = switches.GetValue(kSwitchMoved, moved);
  ResultChannel result(HandleSwitch(switches, kSwitchResult),
                       HandleSwitch(switches, kSwitchOriginal));
  auto removeOwnFiles = MakeScopeGuard(ScheduleOwnRemoval);

  std::wstring failedFile;
  const bool loaded = LoadUninstallChunks(productFolder, true, failedFile);
  const UninstallMessages messages(silent, ProductName());
  if (!loaded) {
    messages.RefuseDamagedChunk(failedFile);
    result.Deliver(kUninstallRefused);
    return kUninstallRefused;
  }
  // An original that could not leave the product folder ends now, before the hooks remove it.
  if (!originalMoved) result.Deliver(kUninstallRemoved);

  RunHooks(productFolder, silent);
  DebugLine(L"uninstalled from %s\r\n", productFolder.c_str());
  messages.Removed();
  if (originalMoved) {
    result.Deliver(kUninstallRemoved);
    if (!DeleteFileW(moved.c_str())) {
      MoveFileExW(moved.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
    }
  }
  return kUninstallRemoved;
}
