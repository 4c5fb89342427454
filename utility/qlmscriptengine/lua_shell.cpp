#include <windows.h>
#include <intshcut.h>
#include <objbase.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <string>

#include "debugoutput.h"
#include "lua_textargs.h"
#include "luaapi_shell.h"
#include "qlmlaunch.h"
#include "scopeguard.h"

namespace {

constexpr DWORD kAllContexts =
    CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER | CLSCTX_REMOTE_SERVER;

bool IsPinVerb(const std::wstring& verb) {
  for (const wchar_t* pin : {L"Startpin", L"Startunpin", L"Taskbarpin", L"Taskbarunpin"}) {
    if (_wcsicmp(verb.c_str(), pin) == 0) return true;
  }
  return false;
}

bool IsUnpinVerb(const std::wstring& verb) {
  return _wcsicmp(verb.c_str(), L"Startunpin") == 0 || _wcsicmp(verb.c_str(), L"Taskbarunpin") == 0;
}

const wchar_t* NullWhenEmpty(const std::wstring& text) {
  return text.empty() ? nullptr : text.c_str();
}

// WinExec reports success with a value above 31; smaller values are error numbers.
bool LaunchedByDesktopShell(const std::wstring& file, const std::wstring& parameters) {
  return ProcessLauncherExplorerLevel(file, parameters) > 31;
}

bool ReportStepFailure(const wchar_t* format, const std::wstring& value, int sourceLine) {
  DebugLine(format, value.c_str());
  DebugFailureReport(kApiSourceFile, sourceLine);
  return false;
}

// Builds an internet shortcut for `url` and hands out its IPersistFile.
bool BuildInternetShortcut(const std::wstring& url, ComRef<IPersistFile>& persist) {
  ComRef<IUniformResourceLocatorW> shortcut;
  if (FAILED(CoCreateInstance(CLSID_InternetShortcut, nullptr, kAllContexts,
                              IID_IUniformResourceLocatorW, shortcut.OutVoid()))) {
    DebugJoinedFailureReport(L"CoCreateInstance(CLSID_InternetShortcut) failed!", kApiSourceFile,
                             __LINE__);
    return false;
  }
  if (FAILED(shortcut->SetURL(url.c_str(), 0))) {
    return ReportStepFailure(L"SetURL %s failed!\r\n", url, __LINE__);
  }
  if (FAILED(shortcut->QueryInterface(IID_IPersistFile, persist.OutVoid()))) {
    DebugJoinedFailureReport(L"QueryInterface IID_IPersistFile failed!", kApiSourceFile, __LINE__);
    return false;
  }
  return true;
}

// Builds a program link to the expanded `target`; arguments and description come from
// slots 3 and 4 only when the call passes at least four arguments.
bool BuildProgramLink(lua_State* L, const std::wstring& target, ComRef<IPersistFile>& persist) {
  const std::wstring path = ExpandPathText(target);
  ComRef<IShellLinkW> link;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, kAllContexts, IID_IShellLinkW,
                              link.OutVoid()))) {
    DebugJoinedFailureReport(L"CoCreateInstance(CLSID_ShellLink) failed!", kApiSourceFile,
                             __LINE__);
    return false;
  }
  if (lua_gettop(L) >= 4) {
    if (!lua_isnil(L, 3)) {
      const std::wstring arguments = ReadTextArgument(L, 3);
      if (FAILED(link->SetArguments(arguments.c_str()))) {
        return ReportStepFailure(L"SetArguments %s failed!\r\n", arguments, __LINE__);
      }
    }
    if (!lua_isnil(L, 4)) {
      const std::wstring description = ReadTextArgument(L, 4);
      if (FAILED(link->SetDescription(description.c_str()))) {
        return ReportStepFailure(L"SetDescription %s failed!\r\n", description, __LINE__);
      }
    }
  }
  if (FAILED(link->SetPath(path.c_str()))) {
    return ReportStepFailure(L"SetPath %s failed!\r\n", path, __LINE__);
  }
  const std::wstring folder = ParentFolder(path);
  if (FAILED(link->SetWorkingDirectory(folder.c_str()))) {
    return ReportStepFailure(L"SetWorkingDirectory %s failed!\r\n", folder, __LINE__);
  }
  if (FAILED(link->QueryInterface(IID_IPersistFile, persist.OutVoid()))) {
    DebugJoinedFailureReport(L"QueryInterface IID_IPersistFile failed!", kApiSourceFile, __LINE__);
    return false;
  }
  return true;
}

bool CreateShortcut(lua_State* L) {
  const std::wstring target = ReadTextArgument(L, 1);
  const std::wstring linkPath = ExpandPathText(ReadTextArgument(L, 2));

  const std::wstring folder = ParentFolder(linkPath);
  if (!PathFileExistsW(folder.c_str())) SHCreateDirectory(nullptr, folder.c_str());

  ComRef<IPersistFile> persist;
  const bool built = PathIsURLW(target.c_str()) ? BuildInternetShortcut(target, persist)
                                                : BuildProgramLink(L, target, persist);
  if (!built) return false;
  if (FAILED(persist->Save(linkPath.c_str(), TRUE))) {
    return ReportStepFailure(L"Save %s failed!\r\n", linkPath, __LINE__);
  }
  DebugLine(L"Save Shortcut %s \r\n", linkPath.c_str());
  return true;
}

// Starts `file` through the shell and waits for the process it started, if any.
bool ExecuteAndWait(const std::wstring& file, const std::wstring& parameters,
                    const std::wstring& folder) {
  SHELLEXECUTEINFOW info = {};
  info.cbSize = sizeof(info);
  info.fMask = SEE_MASK_NOCLOSEPROCESS;
  info.lpFile = file.c_str();
  info.lpParameters = NullWhenEmpty(parameters);
  info.lpDirectory = NullWhenEmpty(folder);
  info.nShow = SW_HIDE;
  const bool started = ShellExecuteExW(&info) != FALSE;
  UniqueHandle process(info.hProcess);
  if (process) WaitForSingleObject(process.Get(), INFINITE);
  return started;
}

bool Exec(lua_State* L) {
  std::wstring file = ReadTextArgument(L, 1);
  const std::wstring verb = ReadTextArgument(L, 2);
  std::wstring parameters;
  std::wstring folder;
  if (!PathIsURLW(file.c_str())) {
    file = ExpandPathText(file);
    if (!PathFileExistsW(file.c_str())) {
      if (IsUnpinVerb(verb)) return true;
      DebugLine(L"Fun:%s, Description:%s it's not exists!\r\n", L"Lua_Exec", file.c_str());
      return false;
    }
    parameters = ReadTextArgument(L, 3);
    folder = ParentFolder(file);
  }
  if (lua_toboolean(L, 5)) return LaunchedByDesktopShell(file, parameters);
  if (lua_toboolean(L, 4)) return ExecuteAndWait(file, parameters, folder);
  const auto code = reinterpret_cast<INT_PTR>(ShellExecuteW(nullptr, NullWhenEmpty(verb),
                                                            file.c_str(), NullWhenEmpty(parameters),
                                                            NullWhenEmpty(folder), SW_SHOWNORMAL));
  return code > 32 || IsPinVerb(verb);
}

}  // namespace

int Lua_CreateShortcut(lua_State* L) {
  ComInitGuard com(CoInitialize(nullptr), CoUninitialize);
  lua_pushboolean(L, CreateShortcut(L));
  return 1;
}

int Lua_Exec(lua_State* L) {
  lua_pushboolean(L, Exec(L));
  return 1;
}

int Lua_ExplorerExec(lua_State* L) {
  lua_pushboolean(L, LaunchedByDesktopShell(ReadTextArgument(L, 1), ReadTextArgument(L, 2)));
  return 1;
}

int Lua_ShellExec(lua_State* L) {
  const std::wstring file = ReadTextArgument(L, 1);
  const std::wstring parameters = ReadTextArgument(L, 2);
  SHELLEXECUTEINFOW info = {};
  info.cbSize = sizeof(info);
  info.fMask = SEE_MASK_NOCLOSEPROCESS;
  info.lpVerb = L"open";
  info.lpFile = file.c_str();
  info.lpParameters = NullWhenEmpty(parameters);
  info.nShow = SW_HIDE;
  const bool started = ShellExecuteExW(&info) != FALSE;
  UniqueHandle process(info.hProcess);
  lua_pushboolean(L, started);
  return 1;
}

int Lua_MsgBox(lua_State* L) {
  std::wstring text;
  std::wstring caption;
  UINT type = MB_OK;
  const int count = lua_gettop(L);
  if (count >= 1 && count <= 3) {
    text = ReadTextArgument(L, 1);
    caption = ReadTextArgument(L, 2);
    if (count == 3) type = static_cast<UINT>(lua_tounsigned(L, 3));
  }
  lua_pushnumber(L, MessageBoxW(nullptr, text.c_str(), caption.c_str(), type));
  return 1;
}
