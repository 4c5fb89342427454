#include "lua_filesystem.h"

#include <windows.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <string>

#include "debugoutput.h"
#include "lua_args.h"

namespace {

constexpr FILEOP_FLAGS kCopyFlags = FOF_SILENT | FOF_NOCONFIRMATION | FOF_NOCONFIRMMKDIR;
constexpr FILEOP_FLAGS kMoveFlags = kCopyFlags | FOF_NOERRORUI;

// Copy or move through the shell: targets are overwritten, missing folders created.
int TransferFiles(lua_State* L, const wchar_t* function, UINT operation, FILEOP_FLAGS flags,
                  const wchar_t* verb) {
  std::wstring from;
  if (!ExpandedPathArgument(L, 1, function, from)) return PushBoolean(L, false);
  if (!PathExists(from)) {
    ReportMissingPath(function, from);
    return PushBoolean(L, false);
  }
  std::wstring to;
  if (!ExpandedPathArgument(L, 2, function, to)) return PushBoolean(L, false);
  // Path lists end with two terminators: one appended here, one from c_str().
  std::wstring fromList = from + L'\0';
  std::wstring toList = to + L'\0';
  SHFILEOPSTRUCTW operationData = {};
  operationData.wFunc = operation;
  operationData.pFrom = fromList.c_str();
  operationData.pTo = toList.c_str();
  operationData.fFlags = flags;
  int code = SHFileOperationW(&operationData);
  if (code != 0) {
    DebugLine(L"%s %s to %s failed!", verb, from.c_str(), to.c_str());
    DebugLine(L"SHFileOperation error code : %#x\r\n", code);
    return PushBoolean(L, false);
  }
  DebugLine(L"%s %s to %s !", verb, from.c_str(), to.c_str());
  return PushBoolean(L, true);
}

using MakeUniqueName = BOOL(WINAPI*)(PWSTR, PCWSTR, PCWSTR, PCWSTR);
constexpr WORD kMakeUniqueNameOrdinal = 75;

}  // namespace

int Lua_CreateDirectory(lua_State* L) {
  constexpr wchar_t kFunction[] = L"Lua_CreateDirectory";
  std::wstring path;
  if (!ExpandedPathArgument(L, 1, kFunction, path)) return PushBoolean(L, false);
  if (PathExists(path)) return PushBoolean(L, true);
  SHCreateDirectory(nullptr, path.c_str());
  if (PathExists(path)) {
    DebugLine(L"Create Directory %s!\r\n", path.c_str());
    return PushBoolean(L, true);
  }
  ReportMissingPath(kFunction, path);
  return PushBoolean(L, false);
}

int Lua_CopyFile(lua_State* L) {
  return TransferFiles(L, L"Lua_CopyFile", FO_COPY, kCopyFlags, L"Copy");
}

int Lua_MoveFile(lua_State* L) {
  return TransferFiles(L, L"Lua_MoveFile", FO_MOVE, kMoveFlags, L"Move");
}

int Lua_RenameFile(lua_State* L) {
  constexpr wchar_t kFunction[] = L"Lua_RenameFile";
  std::wstring from;
  if (!ExpandedPathArgument(L, 1, kFunction, from)) return PushBoolean(L, false);
  if (!PathExists(from)) {
    ReportMissingPath(kFunction, from);
    return PushBoolean(L, false);
  }
  std::wstring to;
  if (!ExpandedPathArgument(L, 2, kFunction, to)) return PushBoolean(L, false);
  if (MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING)) {
    DebugLine(L"MoveFile %s to %s !", from.c_str(), to.c_str());
    return PushBoolean(L, true);
  }
  DebugLine(L"MoveFile %s to %s failed!", from.c_str(), to.c_str());
  return PushBoolean(L, false);
}

int Lua_GetTempFileName(lua_State* L) {
  std::wstring folder;
  if (!ExpandedPathArgument(L, 1, L"Lua_GetTempFileName", folder)) {
    lua_pushnil(L);
    return 1;
  }
  std::wstring prefix = TextArgument(L, 2);
  wchar_t name[MAX_PATH] = {};
  if (GetTempFileNameW(folder.c_str(), prefix.c_str(), 0, name) == 0) {
    lua_pushnil(L);
    return 1;
  }
  PushWide(L, name);
  return 1;
}

// The local application-data folder; the temporary folder when only that one is known.
int Lua_GetTempPath(lua_State* L) {
  wchar_t temp[MAX_PATH + 1] = {};
  if (GetTempPathW(MAX_PATH, temp) == 0) {
    DebugLine(L"GetTempPath Failed!");
    lua_pushliteral(L, "");
    return 1;
  }
  wchar_t appData[MAX_PATH + 1] = {};
  if (!SHGetSpecialFolderPathW(nullptr, appData, CSIDL_LOCAL_APPDATA, FALSE)) {
    DebugLine(L"Get Local AppData Failed!");
    PushWide(L, temp);
    return 1;
  }
  PushWide(L, appData);
  return 1;
}

int Lua_PathFileExists(lua_State* L) {
  return PushBoolean(L, PathExists(TextArgument(L, 1)));
}

int Lua_PathYetAnotherMakeUniqueName(lua_State* L) {
  std::wstring path = TextArgument(L, 1);
  wchar_t unique[MAX_PATH + 1] = {};
  auto makeUniqueName = reinterpret_cast<MakeUniqueName>(reinterpret_cast<void (*)()>(
      GetProcAddress(GetModuleHandleW(L"shell32.dll"), MAKEINTRESOURCEA(kMakeUniqueNameOrdinal))));
  if (makeUniqueName) makeUniqueName(unique, path.c_str(), nullptr, nullptr);
  PushWide(L, unique);
  return 1;
}
