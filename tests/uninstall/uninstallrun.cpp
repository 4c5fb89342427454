#include "uninstallrun.h"

#include <tlhelp32.h>

#include <set>

#include "scopeguard.h"

namespace {

DWORD FindChild(DWORD parent) {
  UniqueHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!snapshot) return 0;
  PROCESSENTRY32W entry = {};
  entry.dwSize = sizeof(entry);
  for (BOOL more = Process32FirstW(snapshot.Get(), &entry); more;
       more = Process32NextW(snapshot.Get(), &entry)) {
    if (entry.th32ParentProcessID == parent) return entry.th32ProcessID;
  }
  return 0;
}

struct BoxSearch {
  const std::wstring* caption;
  std::set<DWORD> pids;
  HWND found = nullptr;
};

BOOL CALLBACK MatchBox(HWND window, LPARAM context) {
  auto* search = reinterpret_cast<BoxSearch*>(context);
  wchar_t className[16] = {};
  wchar_t title[256] = {};
  GetClassNameW(window, className, 16);
  GetWindowTextW(window, title, 256);
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  if (wcscmp(className, L"#32770") == 0 && IsWindowVisible(window) && *search->caption == title &&
      search->pids.count(pid)) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

void AnswerBoxes(const std::wstring& caption, const std::set<DWORD>& pids, const BoxAnswer& answer,
                 std::set<HWND>& answered, std::vector<std::wstring>& texts) {
  BoxSearch search{&caption, pids};
  EnumWindows(MatchBox, reinterpret_cast<LPARAM>(&search));
  if (search.found == nullptr || answered.count(search.found)) return;
  wchar_t text[2048] = {};
  GetDlgItemTextW(search.found, 0xFFFF, text, 2048);
  texts.push_back(text);
  answered.insert(search.found);
  PostMessageW(search.found, WM_COMMAND, MAKEWPARAM(answer(text), BN_CLICKED), 0);
}

}  // namespace

UninstallRun RunUninstaller(const std::wstring& commandLine, const std::wstring& caption,
                            const BoxAnswer& answer,
                            const std::function<void(DWORD pid)>& whileWaiting) {
  UninstallRun run;
  STARTUPINFOW startup = {};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION original = {};
  std::wstring line = commandLine;
  const DWORD start = GetTickCount();
  if (!CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &original)) {
    return run;
  }
  UniqueHandle originalProcess(original.hProcess);
  CloseHandle(original.hThread);
  if (whileWaiting) whileWaiting(original.dwProcessId);

  UniqueHandle copy;
  std::set<DWORD> pids = {original.dwProcessId};
  std::set<HWND> answered;
  // The copy is looked for while the original runs and for a moment after it ended: with
  // the temporary folder on another volume the original may end before the copy is seen.
  DWORD originalEnded = 0;
  while (GetTickCount() - start < 120000) {
    if (!copy) {
      const DWORD pid = FindChild(original.dwProcessId);
      if (pid) {
        copy.Reset(OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid));
        pids.insert(pid);
        wchar_t path[MAX_PATH] = {};
        DWORD size = MAX_PATH;
        if (copy && QueryFullProcessImageNameW(copy.Get(), 0, path, &size)) run.copyPath = path;
      }
    }
    AnswerBoxes(caption, pids, answer, answered, run.boxTexts);
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
