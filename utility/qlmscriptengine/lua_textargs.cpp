#include "lua_textargs.h"

#include <windows.h>
#include <shlwapi.h>

#include <vector>

#include "lua_args.h"

std::wstring ReadTextArgument(lua_State* L, int index) {
  if (index < 1 || index > lua_gettop(L)) return std::wstring();
  return TextArgument(L, index);
}

std::wstring ExpandPathText(const std::wstring& path) {
  std::wstring expanded;
  ExpandIntoMaxPath(path, expanded);
  return expanded;
}

std::wstring ParentFolder(const std::wstring& path) {
  std::vector<wchar_t> buffer(path.begin(), path.end());
  buffer.push_back(L'\0');
  PathRemoveFileSpecW(buffer.data());
  return buffer.data();
}
