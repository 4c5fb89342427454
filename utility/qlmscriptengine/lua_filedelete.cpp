#include <windows.h>
#include <shlwapi.h>

#include <optional>
#include <string>

#include "debugoutput.h"
#include "deletedirectories.h"
#include "lua_args.h"
#include "lua_filesystem.h"
#include "scriptcallback.h"
#include "scripterror.h"

namespace {

constexpr FILEOP_FLAGS kDeleteFlags = FOF_SILENT | FOF_NOCONFIRMATION;
constexpr FILEOP_FLAGS kQuietDeleteFlags =
    FOF_SILENT | FOF_NOCONFIRMATION | FOF_NOCONFIRMMKDIR | FOF_NOERRORUI;

// Deletes a file or a folder with its content through the shell; returns the shell's code.
int ShellDelete(const std::wstring& path, FILEOP_FLAGS flags) {
  std::wstring list = path + L'\0';
  SHFILEOPSTRUCTW operation = {};
  operation.wFunc = FO_DELETE;
  operation.pFrom = list.c_str();
  operation.fFlags = flags;
  return SHFileOperationW(&operation);
}

// Asks whether to retry, abort or ignore a deletion that failed; returns the answer.
int AskAboutLockedFile(const std::wstring& path) {
  std::wstring text = L"无法删除\"" + path +
                      L"\"，可能是被占用，请关闭占用程序后点击重试或者点击忽略在卸载完成之后手动删除！";
  return MessageBoxW(nullptr, text.c_str(), L"提示", MB_ABORTRETRYIGNORE | MB_ICONQUESTION);
}

}  // namespace

// Retry starts over on the same path; the answer to the last question decides the result.
int Lua_DeleteFile(lua_State* L) {
  std::wstring path;
  if (!ExpandedPathArgument(L, 1, L"Lua_DeleteFile", path)) return PushBoolean(L, false);
  for (;;) {
    if (!PathExists(path)) return PushBoolean(L, true);
    int code = ShellDelete(path, kDeleteFlags);
    if (code == 0) return PushBoolean(L, true);
    int answer = AskAboutLockedFile(path);
    if (answer == IDABORT) ExitProcess(ScriptEndExitCode());
    if (answer == IDRETRY) continue;
    DebugLine(L"Delete %s failed!\r\n", path.c_str());
    DebugLine(L"SHFileOperation error code : %#x\r\n", code);
    return PushBoolean(L, answer == IDIGNORE);
  }
}

int Lua_DeleteFileEx(lua_State* L) {
  std::wstring path;
  if (!ExpandedPathArgument(L, 1, L"Lua_DeleteFileEx", path)) return PushBoolean(L, false);
  if (!PathExists(path)) return PushBoolean(L, true);
  return PushBoolean(L, ShellDelete(path, kQuietDeleteFlags) == 0);
}

int Lua_DelFileRecursive(lua_State* L) {
  constexpr wchar_t kFunction[] = L"Lua_DelFileRecursive";
  DebugLine(kFunction);
  std::wstring path;
  if (!ExpandedPathArgument(L, 1, kFunction, path)) return PushBoolean(L, false);
  if (!PathExists(path)) return PushBoolean(L, true);
  if (PathIsDirectoryW(path.c_str())) {
    DebugLine(L"PathIsDirectoryW");
    DeleteDirectories(path.c_str());
  } else {
    DebugLine(L"Path is file!");
    DeleteFileW(path.c_str());
  }
  return 0;
}

int Lua_DelFileRecursiveEx(lua_State* L) {
  constexpr wchar_t kFunction[] = L"Lua_DelFileRecursiveEx";
  DebugLine(kFunction);
  // A function as last argument is held for this call and released on every path.
  std::optional<ScriptCallback> callback;
  if (lua_gettop(L) > 0 && lua_isfunction(L, -1)) {
    callback.emplace(L, -1);
    lua_pop(L, 1);
  }
  std::wstring path;
  if (!ExpandedPathArgument(L, 1, kFunction, path)) return PushBoolean(L, false);
  if (!PathExists(path)) return PushBoolean(L, true);
  DeleteErrorCallback onError;
  if (callback) {
    onError = [&callback](const wchar_t* file, unsigned long error) {
      return callback->CallPathCode(file, error);
    };
  }
  if (PathIsDirectoryW(path.c_str())) {
    DebugLine(L"PathIsDirectoryW");
    DeleteDirectoriesEx(path.c_str(), onError);
  } else {
    DebugLine(L"Path is file!");
    if (!DeleteFileW(path.c_str()) && onError) onError(path.c_str(), GetLastError());
  }
  return 0;
}

int Lua_DeleteFileAfterReboot(lua_State* L) {
  constexpr wchar_t kFunction[] = L"Lua_DeleteFileAfterReboot";
  DebugLine(kFunction);
  std::wstring path;
  if (!ExpandedPathArgument(L, 1, kFunction, path)) return PushBoolean(L, false);
  if (!PathExists(path)) return PushBoolean(L, true);
  return PushBoolean(L, MoveFileExW(path.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT) != FALSE);
}
