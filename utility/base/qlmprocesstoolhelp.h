// Process tools: a process snapshot with lookup by executable name, NT device paths turned
// into drive-letter paths, ending processes and enabling privileges.
#pragma once
#include <windows.h>

#include <map>
#include <string>
#include <vector>

class ProcessToolHelp {
 public:
  ProcessToolHelp();  // takes the process snapshot
  virtual ~ProcessToolHelp();
  ProcessToolHelp(const ProcessToolHelp&) = delete;
  ProcessToolHelp& operator=(const ProcessToolHelp&) = delete;

  // Id of the first process whose executable name equals `name` ignoring case, or -1.
  DWORD FindProcessId(const std::wstring& name) const;
  // Replaces the NT device prefix of `path` (\Device\HarddiskVolume2) with its drive name.
  bool DevicePathToDosPath(std::wstring& path);
  bool BuildDeviceMap();

 private:
  HANDLE snapshot_;
  std::map<std::wstring, std::wstring> deviceMap_;
};

constexpr DWORD kNoProcess = static_cast<DWORD>(-1);

// Asks the process's windows to close, then terminates it; true when it is gone.
bool KillProcess(DWORD pid);
bool EnablePrivilege(const wchar_t* privilege, bool enable);
// Terminates (exit code 10000) every process whose executable name is in `names`.
void TerminateProcessesByName(const std::vector<std::wstring>& names);
