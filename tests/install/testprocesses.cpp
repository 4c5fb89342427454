#include "testprocesses.h"

#include <cwchar>

#include "testsupport.h"

namespace {

constexpr UINT kQueryCount = WM_APP + 1;

struct WindowSearch {
  DWORD pid;
  const wchar_t* className;
  HWND found;
};

BOOL CALLBACK FindWindowOfProcess(HWND window, LPARAM parameter) {
  auto* search = reinterpret_cast<WindowSearch*>(parameter);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  wchar_t className[256] = {};
  GetClassNameW(window, className, 256);
  if (owner != search->pid || wcscmp(className, search->className) != 0) return TRUE;
  search->found = window;
  return FALSE;
}

HWND WindowOfProcess(DWORD pid, const wchar_t* className) {
  WindowSearch search = {pid, className, nullptr};
  EnumWindows(FindWindowOfProcess, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

}  // namespace

std::wstring BinFolder() { return ModuleFolder() + L"..\\bin\\"; }

ChildProcess::ChildProcess(const std::wstring& commandLine) {
  if (!StartProcess(commandLine, info_)) info_ = {};
}

ChildProcess::~ChildProcess() {
  if (!Started()) return;
  if (WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT) {
    TerminateProcess(info_.hProcess, 1);
    WaitForSingleObject(info_.hProcess, 5000);
  }
  CloseHandle(info_.hProcess);
  CloseHandle(info_.hThread);
}

HWND ChildProcess::WaitForWindow(const wchar_t* className, DWORD timeoutMs) const {
  const DWORD start = GetTickCount();
  while (Started() && GetTickCount() - start < timeoutMs) {
    if (HWND window = WindowOfProcess(info_.dwProcessId, className)) return window;
    Sleep(100);
  }
  return nullptr;
}

bool ChildProcess::WaitExit(DWORD timeoutMs, DWORD& exitCode) const {
  if (!Started() || WaitForSingleObject(info_.hProcess, timeoutMs) != WAIT_OBJECT_0) return false;
  return GetExitCodeProcess(info_.hProcess, &exitCode) != FALSE;
}

ListenerProcess::ListenerProcess()
    : process_(L"\"" + BinFolder() + L"qlm_test_listener.exe\" QlmListener 600000") {
  window_ = process_.WaitForWindow(L"QlmTestListener");
}

int ListenerProcess::Count() const {
  DWORD_PTR count = 0;
  if (!window_ ||
      !SendMessageTimeoutW(window_, kQueryCount, 0, 0, SMTO_ABORTIFHUNG, 10000, &count)) {
    return -1;
  }
  return static_cast<int>(count);
}
