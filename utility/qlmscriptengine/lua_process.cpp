#include "lua_process.h"

#include <windows.h>
#include <ole2.h>
#include <psapi.h>
#include <shlwapi.h>
#include <tlhelp32.h>

#include <algorithm>
#include <string>

#include "debugoutput.h"
#include "lua_args.h"
#include "qlmprocesstoolhelp.h"
#include "safelibrary.h"
#include "scopeguard.h"
#include "stringconv.h"

namespace {

constexpr wchar_t kSourceFile[] = L"qlmscriptengine";

// Limits of the service-state poll: the sleep follows a tenth of the service's wait hint,
// kept between the two bounds, and the whole poll gives up after kServicePollLimitMs.
constexpr DWORD kServicePollMinSleepMs = 100;
constexpr DWORD kServicePollMaxSleepMs = 1000;
constexpr DWORD kServicePollLimitMs = 60000;

// A path argument with its environment-variable references expanded; empty when the
// expansion does not fit.
std::wstring ExpandedPath(lua_State* L, int index) {
  std::wstring expanded;
  ExpandIntoMaxPath(TextArgument(L, index), expanded);
  return expanded;
}

// Steps shared by Lua_TaskKill and Lua_KillAllTaskByName: the process is an id (a number or a
// numeric string) or an executable name; true when it is gone or was never there.
bool KillProcessArgument(lua_State* L) {
  ProcessToolHelp toolHelp;
  DWORD pid = kNoProcess;
  if (lua_isnumber(L, 1)) {
    pid = lua_tounsigned(L, 1);
  } else {
    pid = toolHelp.FindProcessId(TextArgument(L, 1));
  }
  return pid == kNoProcess || KillProcess(pid);
}

enum class PollResult { kReached, kFailed, kQueryFailed };

// Polls the service until it reaches `target`. A service that falls back to stopped while it
// is being started, or that does not settle within the time limit, ends the poll unsuccessfully.
PollResult PollServiceState(SC_HANDLE service, DWORD target) {
  const DWORD started = GetTickCount();
  for (;;) {
    SERVICE_STATUS status = {};
    if (!QueryServiceStatus(service, &status)) return PollResult::kQueryFailed;
    if (status.dwCurrentState == target) return PollResult::kReached;
    if (target == SERVICE_RUNNING && status.dwCurrentState == SERVICE_STOPPED) {
      DebugLine(L"Lua_SCM: the service stopped while starting");
      return PollResult::kFailed;
    }
    if (GetTickCount() - started >= kServicePollLimitMs) {
      DebugLine(L"Lua_SCM: the service did not reach state %u within %u ms",
                static_cast<unsigned>(target), static_cast<unsigned>(kServicePollLimitMs));
      return PollResult::kFailed;
    }
    Sleep(std::clamp<DWORD>(status.dwWaitHint / 10, kServicePollMinSleepMs,
                            kServicePollMaxSleepMs));
  }
}

bool RegisterInProcess(lua_State* L) {
  ComInitGuard ole(OleInitialize(nullptr), OleUninitialize);
  const std::wstring path = ExpandedPath(L, 1);
  if (!PathFileExistsW(path.c_str())) {
    ReportMissingPath(L"Lua_RegSvr32", path);
    return false;
  }

  LibraryGuard library(LoadNamedLibrary(path));
  if (!library.Get()) {
    DebugLine(L"Fun:%s, Description: LoadLibrary %s Failed!\r\n", L"Lua_RegSvr32", path.c_str());
    DebugFailureReport(kSourceFile, __LINE__);
    return false;
  }
  using EntryPoint = HRESULT(STDAPICALLTYPE*)();
  const char* entryName = lua_toboolean(L, 2) ? "DllRegisterServer" : "DllUnregisterServer";
  auto entry = reinterpret_cast<EntryPoint>(
      reinterpret_cast<void*>(GetProcAddress(library.Get(), entryName)));
  return entry != nullptr && SUCCEEDED(entry());
}

bool RegisterWithRegsvr32(lua_State* L) {
  ComInitGuard ole(OleInitialize(nullptr), OleUninitialize);
  const std::wstring path = ExpandedPath(L, 1);
  if (!PathFileExistsW(path.c_str())) {
    ReportMissingPath(L"Lua_RegistDll", path);
    return false;
  }

  // By its full path: a bare "regsvr32" would be looked for in the installer's own folder and
  // the current folder first.
  const std::wstring commandLine = L"\"" + SystemProgramPath(L"regsvr32.exe") + L"\" " +
                                   TextArgument(L, 2) + L" \"" + path + L"\"";
  if (WinExec(WideToSystemAnsi(commandLine.c_str()).c_str(), SW_HIDE) > 32) return true;
  DebugLine(L"reg failed!!! %d", static_cast<int>(GetLastError()));
  return false;
}

bool ControlNamedService(lua_State* L) {
  SC_HANDLE rawManager = OpenSCManagerW(nullptr, nullptr, GENERIC_EXECUTE);
  if (!rawManager) {
    DebugJoinedFailureReport(L"OpenSCManager failed!", kSourceFile, __LINE__);
    return false;
  }
  auto closeManager = MakeScopeGuard([rawManager] { CloseServiceHandle(rawManager); });

  const std::wstring name = TextArgument(L, 1);
  SC_HANDLE service = OpenServiceW(rawManager, name.c_str(),
                                   SERVICE_START | SERVICE_STOP | SERVICE_QUERY_STATUS);
  if (!service) {
    if (GetLastError() == ERROR_SERVICE_DOES_NOT_EXIST) return true;
    DebugJoinedFailureReport(L"OpenService failed!", kSourceFile, __LINE__);
    return false;
  }
  auto closeService = MakeScopeGuard([service] { CloseServiceHandle(service); });

  SERVICE_STATUS status = {};
  if (!QueryServiceStatus(service, &status)) {
    DebugJoinedFailureReport(L"QueryServiceStatus failed!", kSourceFile, __LINE__);
    return false;
  }

  const std::wstring action = TextArgument(L, 2);
  DWORD target = 0;
  if (_wcsicmp(action.c_str(), L"start") == 0) {
    target = SERVICE_RUNNING;
    if (status.dwCurrentState == SERVICE_STOPPED && !StartServiceW(service, 0, nullptr)) {
      DebugJoinedFailureReport(L"StartService failed!", kSourceFile, __LINE__);
      return false;
    }
  } else if (_wcsicmp(action.c_str(), L"stop") == 0) {
    target = SERVICE_STOPPED;
    if (status.dwCurrentState == SERVICE_RUNNING &&
        !::ControlService(service, SERVICE_CONTROL_STOP, &status)) {
      DebugJoinedFailureReport(L"StopService failed!", kSourceFile, __LINE__);
      return false;
    }
  }
  const PollResult result =
      target == 0 ? PollResult::kQueryFailed : PollServiceState(service, target);
  if (result == PollResult::kQueryFailed) {
    DebugLine(L"Unknow Error in fun:%s\r\n", L"Lua_SCM");
    DebugFailureReport(kSourceFile, __LINE__);
  }
  return result == PollResult::kReached;
}

}  // namespace

int Lua_TaskKill(lua_State* L) {
  if (lua_type(L, 2) != LUA_TNIL) {
    const std::wstring windowClass = TextArgument(L, 2);
    UINT message = WM_SYSCOMMAND;
    WPARAM wparam = SC_CLOSE;
    LPARAM lparam = 0;
    if (lua_type(L, 3) != LUA_TNIL) {
      message = lua_tounsigned(L, 3);
      wparam = lua_tounsigned(L, 4);
      lparam = static_cast<LPARAM>(lua_tounsigned(L, 5));
    }
    // A message meant for another program's window never goes to this thread's own queue.
    if (HWND window = FindWindowW(windowClass.c_str(), nullptr)) {
      PostMessageW(window, message, wparam, lparam);
    }
  }
  lua_pushboolean(L, KillProcessArgument(L));
  return 1;
}

int Lua_KillAllTaskByName(lua_State* L) {
  lua_pushboolean(L, KillProcessArgument(L));
  return 1;
}

int Lua_GetProcessId(lua_State* L) {
  const std::wstring name = lua_gettop(L) > 0 ? TextArgument(L, -1) : std::wstring();
  UniqueHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  int found = 0;
  if (snapshot) {
    PROCESSENTRY32W entry = {};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32FirstW(snapshot.Get(), &entry); more;
         more = Process32NextW(snapshot.Get(), &entry)) {
      if (entry.th32ProcessID == 0 || _wcsicmp(entry.szExeFile, name.c_str()) != 0) continue;
      luaL_checkstack(L, 1, "too many processes");
      lua_pushnumber(L, static_cast<lua_Number>(entry.th32ProcessID));
      ++found;
    }
  }
  if (found == 0) {
    lua_pushinteger(L, -1);
    found = 1;
  }
  return found;
}

int Lua_GetImagePathByPid(lua_State* L) {
  if (lua_gettop(L) == 0) return 0;
  const DWORD pid = static_cast<DWORD>(lua_tointeger(L, -1));
  UniqueHandle process(OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, pid));
  if (!process) return 0;
  wchar_t image[MAX_PATH] = {};
  if (GetProcessImageFileNameW(process.Get(), image, MAX_PATH) == 0) return 0;
  process.Reset();
  std::wstring path = image;
  ProcessToolHelp toolHelp;
  if (!toolHelp.DevicePathToDosPath(path)) return 0;
  lua_pushstring(L, WideToUtf8(path).c_str());
  return 1;
}

int Lua_SCM(lua_State* L) {
  lua_pushboolean(L, ControlNamedService(L));
  return 1;
}

int Lua_RegSvr32(lua_State* L) {
  lua_pushboolean(L, RegisterInProcess(L));
  return 1;
}

int Lua_RegistDll(lua_State* L) {
  lua_pushboolean(L, RegisterWithRegsvr32(L));
  return 1;
}
