#include "uninstallrun.h"

#include <set>

#include "scopeguard.h"
#include "testsupport.h"

UninstallRun RunUninstaller(const std::wstring& commandLine, const std::wstring& caption,
                            const BoxAnswer& answer) {
  UninstallRun run;
  PROCESS_INFORMATION original = {};
  const DWORD start = GetTickCount();
  if (!StartProcess(commandLine, original)) return run;
  UniqueHandle originalProcess(original.hProcess);
  CloseHandle(original.hThread);

  UniqueHandle copy;
  std::set<DWORD> pids = {original.dwProcessId};
  auto ours = [&pids](DWORD pid) { return pids.count(pid) > 0; };
  std::set<HWND> answered;
  // The copy is looked for while the original runs and for a moment after it ended: with
  // the temporary folder on another volume the original may end before the copy is seen.
  DWORD originalEnded = 0;
  while (GetTickCount() - start < 120000) {
    if (!copy) {
      const std::vector<DWORD> children = ChildProcesses(original.dwProcessId);
      if (!children.empty()) {
        copy.Reset(OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE,
                               children.front()));
        pids.insert(children.front());
        wchar_t path[MAX_PATH] = {};
        DWORD size = MAX_PATH;
        if (copy && QueryFullProcessImageNameW(copy.Get(), 0, path, &size)) run.copyPath = path;
      }
    }
    HWND box = FindDialog(caption, ours);
    if (box != nullptr && answered.insert(box).second) {
      run.boxTexts.push_back(DialogText(box));
      AnswerDialog(box, answer(run.boxTexts.back()));
    }
    const bool originalDone = WaitForSingleObject(originalProcess.Get(), 20) == WAIT_OBJECT_0;
    if (originalDone && originalEnded == 0) originalEnded = GetTickCount();
    const bool copyDone = copy ? WaitForSingleObject(copy.Get(), 0) == WAIT_OBJECT_0
                               : originalDone && GetTickCount() - originalEnded > 2000;
    if (originalDone && copyDone) break;
  }
  run.milliseconds = GetTickCount() - start;
  run.finished = WaitForSingleObject(originalProcess.Get(), 0) == WAIT_OBJECT_0;
  GetExitCodeProcess(originalProcess.Get(), &run.exitCode);
  if (copy) {
    run.copySeen = true;
    run.copyFinished = WaitForSingleObject(copy.Get(), 0) == WAIT_OBJECT_0;
    GetExitCodeProcess(copy.Get(), &run.copyExitCode);
  }
  return run;
}

bool RegisteredForDeletionAtRestart(const std::wstring& path) {
  wchar_t data[16384] = {};
  DWORD size = sizeof(data) - sizeof(wchar_t) * 2;
  if (RegGetValueW(HKEY_LOCAL_MACHINE, L"System\\CurrentControlSet\\Control\\Session Manager",
                   L"PendingFileRenameOperations", RRF_RT_REG_MULTI_SZ, nullptr, data,
                   &size) != ERROR_SUCCESS) {
    return false;
  }
  const std::wstring wanted = L"\\??\\" + path;
  for (const wchar_t* entry = data; entry < data + size / sizeof(wchar_t);
       entry += wcslen(entry) + 1) {
    if (lstrcmpiW(entry, wanted.c_str()) == 0) return true;
  }
  return false;
}
