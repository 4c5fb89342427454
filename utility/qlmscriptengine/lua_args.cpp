#include "lua_args.h"

#include <windows.h>
#include <shlwapi.h>

#include "debugoutput.h"
#include "stringconv.h"

std::wstring TextArgument(lua_State* L, int index) {
  int type = lua_type(L, index);
  if (type != LUA_TSTRING && type != LUA_TNUMBER) return std::wstring();
  size_t length = 0;
  const char* text = lua_tolstring(L, index, &length);
  return Utf8ToWide(text, length);
}

bool ExpandIntoMaxPath(const std::wstring& text, std::wstring& expanded) {
  expanded.clear();
  wchar_t buffer[MAX_PATH] = {};
  DWORD needed = ExpandEnvironmentStringsW(text.c_str(), buffer, MAX_PATH);
  if (needed > MAX_PATH) return false;
  if (needed > 0) expanded = buffer;
  return true;
}

void PushWide(lua_State* L, const std::wstring& text) {
  std::string utf8 = WideToUtf8(text);
  lua_pushlstring(L, utf8.data(), utf8.size());
}

int PushBoolean(lua_State* L, bool value) {
  lua_pushboolean(L, value ? 1 : 0);
  return 1;
}

bool PathExists(const std::wstring& path) { return PathFileExistsW(path.c_str()) != FALSE; }

bool ExpandedPathArgument(lua_State* L, int index, const wchar_t* function, std::wstring& path) {
  std::wstring text = TextArgument(L, index);
  if (ExpandIntoMaxPath(text, path)) return true;
  DebugLine(L"Fun:%s, Description:%s is too long!\r\n", function, text.c_str());
  return false;
}

void ReportMissingPath(const wchar_t* function, const std::wstring& path) {
  DebugLine(L"Fun:%s, Description:%s it's not exists!\r\n", function, path.c_str());
}
