// The original run: checks, asks, and hands the removal over to a temporary copy.
#include <windows.h>

#include <string>

#include "debugoutput.h"
#include "modulepath.h"
#include "scopeguard.h"
#include "scripterror.h"
#include "uninstallchunks.h"
#include "uninstallexit.h"
#include "uninstallmessages.h"
#include "uninstallstages.h"

namespace {

// The handle is inheritable: the copy keeps the object alive once the original has ended.
// Without an object (a name the system does not take) the run goes on unguarded, as the
// installer's single-instance rule does.
bool TakeInstance(const std::wstring& folder, UniqueHandle& instance) {
  SECURITY_ATTRIBUTES inherit = {sizeof(inherit), nullptr, TRUE};
  SetLastError(0);
  instance.Reset(CreateMutexW(&inherit, FALSE, UninstallInstanceName(folder).c_str()));
  const DWORD error = GetLastError();
  return error != ERROR_ALREADY_EXISTS && error != ERROR_ACCESS_DENIED;
}

// A new folder of this run only, so that the copy never loads a library that someone placed
// in the shared temporary folder.
bool CreatePrivateFolder(std::wstring& folder) {
  std::wstring base = TempFolder();
  if (base.empty()) return false;
  base += L"QLMUninstall-" + std::to_wstring(GetCurrentProcessId()) + L"-";
  for (DWORD attempt = GetTickCount(), last = attempt + 100; attempt != last; ++attempt) {
    folder = base + std::to_wstring(attempt);
    if (CreateDirectoryW(folder.c_str(), nullptr)) return true;
    if (GetLastError() != ERROR_ALREADY_EXISTS) return false;
  }
  return false;
}

std::wstring HandleText(HANDLE handle) {
  return std::to_wstring(reinterpret_cast<ULONG_PTR>(handle));
}

// Everything the hand-over created; undone unless the copy took over.
struct Handover {
  std::wstring program;  // the original program in the product folder
  std::wstring folder;   // the private folder
  std::wstring copy;
  std::wstring moved;     // the original program after its move; empty when it stayed
  UniqueHandle copyFile;  // delete-on-close: the copy's file goes when its last handle closes
  UniqueHandle resultRead;
  UniqueHandle resultWrite;
  UniqueHandle self;
  UniqueHandle copyProcess;

  // Moves the original program back where it was, so that the uninstaller can be started
  // again; leaves nothing in the temporary folder that the next restart does not remove.
  void Undo() {
    if (!moved.empty() && !MoveFileExW(moved.c_str(), program.c_str(), 0)) {
      DebugLine(L"cannot move %s back (error %lu)\r\n", moved.c_str(), GetLastError());
      MoveFileExW(moved.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
    }
    copyFile.Reset();
    if (!RemoveDirectoryW(folder.c_str())) {
      MoveFileExW(folder.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
    }
  }
};

bool StartCopy(Handover& handover, bool silent) {
  const std::wstring name = handover.program.substr(handover.program.find_last_of(L'\\') + 1);
  handover.copy = handover.folder + L"\\" + name;
  if (!CopyFileW(handover.program.c_str(), handover.copy.c_str(), TRUE)) return false;
  SECURITY_ATTRIBUTES inherit = {sizeof(inherit), nullptr, TRUE};
  handover.copyFile.Reset(CreateFileW(handover.copy.c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_DELETE, &inherit, OPEN_EXISTING,
                                      FILE_FLAG_DELETE_ON_CLOSE, nullptr));
  HANDLE read = nullptr;
  HANDLE write = nullptr;
  HANDLE self = nullptr;
  if (!handover.copyFile || !CreatePipe(&read, &write, &inherit, 0)) {
    DeleteFileW(handover.copy.c_str());
    return false;
  }
  handover.resultRead.Reset(read);
  handover.resultWrite.Reset(write);
  SetHandleInformation(read, HANDLE_FLAG_INHERIT, 0);
  if (!DuplicateHandle(GetCurrentProcess(), GetCurrentProcess(), GetCurrentProcess(), &self,
                       SYNCHRONIZE, TRUE, 0)) {
    return false;
  }
  handover.self.Reset(self);

  // A running program cannot be deleted, but it can be renamed within its volume: out of the
  // product folder, the original can wait for the copy and end with its result. On another
  // volume the original stays and ends as soon as the copy has loaded the chunks.
  const std::wstring moved = handover.copy + L".original";
  if (MoveFileExW(handover.program.c_str(), moved.c_str(), 0)) {
    handover.moved = moved;
  } else {
    DebugLine(L"the original stays in the product folder (error %lu)\r\n", GetLastError());
  }

  std::wstring commandLine = L"\"" + handover.copy + L"\" /" + kSwitchFrom + L" \"" +
                             FolderOf(handover.program) + L"\" /" + kSwitchOriginal + L" " +
                             HandleText(self) + L" /" + kSwitchResult + L" " + HandleText(write);
  if (!handover.moved.empty()) {
    commandLine += L" /" + std::wstring(kSwitchMoved) + L" \"" + moved + L"\"";
  }
  if (silent) commandLine += L" /" + std::wstring(kSwitchSilent) + L" true";
  // The original must not keep the product folder as its current folder.
  SetCurrentDirectoryW(handover.folder.c_str());
  STARTUPINFOW startup = {};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process = {};
  if (!CreateProcessW(handover.copy.c_str(), &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr,
                      handover.folder.c_str(), &startup, &process)) {
    return false;
  }
  handover.copyProcess.Reset(process.hProcess);
  CloseHandle(process.hThread);
  handover.resultWrite.Reset();
  handover.self.Reset();
  handover.copyFile.Reset();
  return true;
}

// The copy writes one exit code into the pipe; when it ends without one (a script error ended
// it), its own exit code counts.
unsigned WaitForResult(const Handover& handover) {
  DWORD code = 0;
  DWORD read = 0;
  if (ReadFile(handover.resultRead.Get(), &code, sizeof(code), &read, nullptr) &&
      read == sizeof(code)) {
    return code;
  }
  WaitForSingleObject(handover.copyProcess.Get(), INFINITE);
  GetExitCodeProcess(handover.copyProcess.Get(), &code);
  return code == kUninstallRemoved ? static_cast<DWORD>(kUninstallScriptFailed) : code;
}

}  // namespace

unsigned RunOriginal(bool silent) {
  // Nothing has changed while the original runs: a script error in a chunk is a refusal.
  SetScriptEndExitCode(kUninstallRefused);
  SetScriptErrorBox(!silent);
  Handover handover;
  handover.program = ModulePath();
  const std::wstring productFolder = FolderOf(handover.program);
  std::wstring failedFile;
  const bool loaded = LoadUninstallChunks(productFolder, false, failedFile);
  const UninstallMessages messages(silent, ProductName());
  if (!loaded) {
    messages.RefuseDamagedChunk(failedFile);
    return kUninstallRefused;
  }
  UniqueHandle instance;
  if (!TakeInstance(productFolder, instance)) {
    messages.RefuseSecondUninstaller();
    return kUninstallRefused;
  }
  if (!messages.ConfirmRemoval()) {
    DebugLine(L"uninstall cancelled\r\n");
    return kUninstallCancelled;
  }
  if (!CreatePrivateFolder(handover.folder)) {
    messages.RefuseTemporaryCopy(GetLastError());
    return kUninstallRefused;
  }
  if (!StartCopy(handover, silent)) {
    const DWORD error = GetLastError();
    handover.Undo();
    messages.RefuseTemporaryCopy(error);
    return kUninstallRefused;
  }
  const unsigned code = WaitForResult(handover);
  if (code != kUninstallRemoved) {
    handover.Undo();
    if (code != kUninstallRefused) messages.Failed(code);
  }
  return code;
}
