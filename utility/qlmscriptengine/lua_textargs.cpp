#include "lua_textargs.h"

#include <windows.h>
#include <shlwapi.h>

#include <vector>

#include "stringconv.h"

std::wstring ReadTextArgument(lua_State* L, int index) {
  if (index < 1 || index > lua_gettop(L)) return std::wstring();
  size_t length = 0;
  const char* text = lua_tolstring(L, index, &length);
  if (!text) return std::wstring();
  return Utf8ToWide(text, length);
}

std::wstring ExpandPathText(const std::wstring& path) {
  wchar_t buffer[MAX_PATH] = {};
  DWORD units = ExpandEnvironmentStringsW(path.c_str(), buffer, MAX_PATH);
  if (units == 0 || units > MAX_PATH) return std::wstring();
  return buffer;
}

std::wstring ParentFolder(const std::wstring& path) {
  std::vector<wchar_t> buffer(path.begin(), path.end());
  buffer.push_back(L'\0');
  PathRemoveFileSpecW(buffer.data());
  return buffer.data();
}
