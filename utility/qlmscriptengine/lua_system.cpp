#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <string>
#include <vector>

#include "debugoutput.h"
#include "lua_textargs.h"
#include "luaapi_system.h"
#include "qlmprocesstoolhelp.h"
#include "rykbaselog.h"
#include "scopeguard.h"
#include "stringconv.h"

namespace {

void PushWide(lua_State* L, const std::wstring& text) {
  const std::string utf8 = WideToUtf8(text);
  lua_pushlstring(L, utf8.data(), utf8.size());
}

// Roots ("C:") of the fixed drives in letter order.
std::vector<std::wstring> FixedDriveRoots() {
  std::vector<std::wstring> roots;
  const DWORD drives = GetLogicalDrives();
  for (int bit = 0; bit <= 30; ++bit) {
    if (!(drives & (1u << bit))) continue;
    wchar_t root[8] = {};
    _snwprintf(root, 7, L"%c%s", static_cast<wchar_t>(L'A' + bit), L":");
    if (GetDriveTypeW(root) == DRIVE_FIXED) roots.push_back(root);
  }
  return roots;
}

}  // namespace

int Lua_RegVarByCSIDL(lua_State* L) {
  const int csidl = static_cast<int>(lua_tointeger(L, 2));
  wchar_t folder[MAX_PATH] = {};
  if (!SHGetSpecialFolderPathW(nullptr, folder, csidl, FALSE)) {
    DebugLine(L"SHGetSpecialFolderPathW csidl=%d failed!\r\n", csidl);
    DebugFailureReport(kApiSourceFile, __LINE__);
    lua_pushboolean(L, 0);
    return 1;
  }
  const std::wstring name = ReadTextArgument(L, 1);
  if (!SetEnvironmentVariableW(name.c_str(), folder)) {
    DebugJoinedFailureReport(L"SetEnvironmentVariableW failed!", kApiSourceFile, __LINE__);
    lua_pushboolean(L, 0);
    return 1;
  }
  lua_pushboolean(L, 1);
  return 1;
}

int Lua_GetOSVersion(lua_State* L) {
  lua_pushinteger(L, LOBYTE(LOWORD(GetVersion())));
  return 1;
}

int Lua_IsWow64(lua_State* L) {
  using IsWow64ProcessFunction = BOOL(WINAPI*)(HANDLE, PBOOL);
  BOOL wow64 = FALSE;
  FARPROC found = GetProcAddress(GetModuleHandleW(L"kernel32"), "IsWow64Process");
  auto isWow64Process = reinterpret_cast<IsWow64ProcessFunction>(reinterpret_cast<void*>(found));
  if (isWow64Process) isWow64Process(GetCurrentProcess(), &wow64);
  lua_pushboolean(L, wow64);
  return 1;
}

int Lua_ExpandEnv(lua_State* L) {
  PushWide(L, ExpandPathText(ReadTextArgument(L, lua_gettop(L))));
  return 1;
}

int Lua_GetModuleFileName(lua_State* L) {
  HMODULE module = nullptr;
  if (lua_gettop(L) >= 1) module = GetModuleHandleW(ReadTextArgument(L, 1).c_str());
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(module, path, MAX_PATH);
  PushWide(L, path);
  return 1;
}

int Lua_GetCommandLineArgv(lua_State* L) {
  int count = 0;
  LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
  auto release = MakeScopeGuard([arguments] {
    if (arguments) LocalFree(arguments);
  });
  if (!arguments || count <= 0) return 0;
  lua_createtable(L, count, 0);
  for (int i = 0; i < count; ++i) {
    PushWide(L, arguments[i]);
    lua_rawseti(L, -2, i + 1);
  }
  return 1;
}

int Lua_GetDriverInstallPath(lua_State* L) {
  const std::vector<std::wstring> roots = FixedDriveRoots();
  const std::wstring base = ExpandPathText(L"%ProgramFiles%\\");
  std::wstring result = base;
  if (roots.size() > 1 && base.size() >= 2) {
    for (size_t i = 1; i < roots.size(); ++i) {
      std::wstring candidate = roots[i] + base.substr(2);
      if (PathFileExistsW(candidate.c_str())) {
        result = candidate;
        break;
      }
    }
  }
  PushWide(L, result);
  return 1;
}

int Lua_EnablePrivilege(lua_State* L) {
  const int top = lua_gettop(L);
  const std::wstring name = ReadTextArgument(L, top - 1);
  const bool enable = top >= 1 && lua_toboolean(L, top);
  lua_pushboolean(L, EnablePrivilege(name.c_str(), enable));
  return 1;
}

int Lua_ExitWindows(lua_State* L) {
  EnablePrivilege(L"SeShutdownPrivilege", true);
  const UINT flags = static_cast<UINT>(lua_tounsigned(L, 1));
  const DWORD reason = static_cast<DWORD>(lua_tounsigned(L, 2));
  lua_pushboolean(L, ExitWindowsEx(flags, reason));
  return 1;
}

int Lua_Logout(lua_State* L) {
  const std::wstring text = ReadTextArgument(L, 1);
  DebugLine(L"%s", text.c_str());
  LogFormatted(__FILE__, "Lua_Logout", __LINE__, "log:{}", WideToAnsi(text));
  return 0;
}
