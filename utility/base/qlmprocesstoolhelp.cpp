#include "qlmprocesstoolhelp.h"

#include <tlhelp32.h>

#include "debugoutput.h"
#include "scopeguard.h"

namespace {

constexpr wchar_t kSourceFile[] = L"qlmprocesstoolhelp";

BOOL CALLBACK CloseWindowsOfProcess(HWND window, LPARAM pid) {
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner == static_cast<DWORD>(pid)) {
    PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    PostMessageW(window, WM_CLOSE, 0, 0);
  }
  return TRUE;
}

}  // namespace

ProcessToolHelp::ProcessToolHelp() : snapshot_(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0)) {}

ProcessToolHelp::~ProcessToolHelp() {
  if (snapshot_ != INVALID_HANDLE_VALUE) CloseHandle(snapshot_);
}

DWORD ProcessToolHelp::FindProcessId(const std::wstring& name) const {
  if (snapshot_ == INVALID_HANDLE_VALUE) return kNoProcess;
  PROCESSENTRY32W entry = {};
  entry.dwSize = sizeof(entry);
  for (BOOL more = Process32FirstW(snapshot_, &entry); more;
       more = Process32NextW(snapshot_, &entry)) {
    if (entry.th32ProcessID == 0) continue;
    if (lstrcmpiW(entry.szExeFile, name.c_str()) == 0) return entry.th32ProcessID;
  }
  return kNoProcess;
}

bool ProcessToolHelp::BuildDeviceMap() {
  DWORD length = GetLogicalDriveStringsW(0, nullptr);
  std::vector<wchar_t> drives(length + 1, L'\0');
  if (length == 0 || GetLogicalDriveStringsW(length, drives.data()) == 0) {
    DebugJoinedFailureReport(L"GetLogicalDriveStrings failed", kSourceFile, __LINE__);
    return false;
  }
  for (const wchar_t* drive = drives.data(); *drive; drive += 4) {
    std::wstring name(drive, 2);
    wchar_t device[MAX_PATH] = {};
    if (QueryDosDeviceW(name.c_str(), device, MAX_PATH)) deviceMap_[device] = name;
  }
  return true;
}

bool ProcessToolHelp::DevicePathToDosPath(std::wstring& path) {
  if (deviceMap_.empty() && !BuildDeviceMap()) return false;
  size_t position = 0;
  for (int i = 0; i < 3 && position != std::wstring::npos; ++i) {
    position = path.find(L'\\', i == 0 ? 0 : position + 1);
  }
  std::wstring prefix = position == std::wstring::npos ? std::wstring() : path.substr(0, position);
  if (prefix.empty()) return true;
  const std::wstring drive = deviceMap_[prefix];
  for (size_t at = path.find(prefix); at != std::wstring::npos;
       at = path.find(prefix, at + drive.size())) {
    path.replace(at, prefix.size(), drive);
  }
  return true;
}

bool KillProcess(DWORD pid) {
  if (pid == 0) return true;
  EnumWindows(CloseWindowsOfProcess, static_cast<LPARAM>(pid));
  EnablePrivilege(L"SeDebugPrivilege", true);
  UniqueHandle process(OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, pid));
  if (!process) return GetLastError() == ERROR_INVALID_PARAMETER;
  if (WaitForSingleObject(process.Get(), 3000) != WAIT_OBJECT_0) {
    TerminateProcess(process.Get(), 0);
  }
  return WaitForSingleObject(process.Get(), 3000) == WAIT_OBJECT_0;
}

bool EnablePrivilege(const wchar_t* privilege, bool enable) {
  HANDLE rawToken = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES, &rawToken)) {
    DebugJoinedFailureReport(L"OpenProcessToken failed!", kSourceFile, __LINE__);
    return false;
  }
  UniqueHandle token(rawToken);
  TOKEN_PRIVILEGES privileges = {};
  privileges.PrivilegeCount = 1;
  if (!LookupPrivilegeValueW(nullptr, privilege, &privileges.Privileges[0].Luid)) {
    DebugJoinedFailureReport(L"LookupPrivilegeValue failed!", kSourceFile, __LINE__);
    return false;
  }
  privileges.Privileges[0].Attributes = enable ? SE_PRIVILEGE_ENABLED : 0;
  if (!AdjustTokenPrivileges(token.Get(), FALSE, &privileges, sizeof(privileges), nullptr,
                             nullptr)) {
    DebugJoinedFailureReport(L"AdjustTokenPrivileges failed!", kSourceFile, __LINE__);
    return false;
  }
  return true;
}

void TerminateProcessesByName(const std::vector<std::wstring>& names) {
  UniqueHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!snapshot) return;
  PROCESSENTRY32W entry = {};
  entry.dwSize = sizeof(entry);
  for (BOOL more = Process32FirstW(snapshot.Get(), &entry); more;
       more = Process32NextW(snapshot.Get(), &entry)) {
    for (const std::wstring& name : names) {
      if (_wcsicmp(entry.szExeFile, name.c_str()) != 0) continue;
      UniqueHandle process(OpenProcess(PROCESS_ALL_ACCESS, FALSE, entry.th32ProcessID));
      if (process) TerminateProcess(process.Get(), 10000);
      break;
    }
  }
}
