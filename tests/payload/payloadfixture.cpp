#include "payloadfixture.h"

#include <algorithm>
#include <vector>

#include "qlmscriptengine.h"
#include "stringconv.h"
#include "testsupport.h"

namespace {

lua_State* State() { return QLMScriptEngine::Instance().State(); }

struct Entry {
  std::wstring name;
  WIN32_FIND_DATAW data;
};

std::vector<Entry> Entries(const std::wstring& folder) {
  std::vector<Entry> entries;
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return entries;
  do {
    std::wstring name = data.cFileName;
    if (name != L"." && name != L"..") entries.push_back({name, data});
  } while (FindNextFileW(find, &data));
  FindClose(find);
  std::sort(entries.begin(), entries.end(),
            [](const Entry& a, const Entry& b) { return a.name < b.name; });
  return entries;
}

}  // namespace

std::wstring PayloadData() { return ModuleFolder() + L"payload-data"; }

bool RunBool(const std::string& code) {
  lua_State* L = State();
  int top = lua_gettop(L);
  bool result = luaL_dostring(L, code.c_str()) == LUA_OK && lua_gettop(L) > top &&
                lua_toboolean(L, top + 1);
  lua_settop(L, top);
  return result;
}

void RunScript(const std::string& code) {
  lua_State* L = State();
  int top = lua_gettop(L);
  luaL_dostring(L, code.c_str());
  lua_settop(L, top);
}

void SetGlobalPath(const char* name, const std::wstring& path) {
  lua_pushstring(State(), WideToUtf8(path).c_str());
  lua_setglobal(State(), name);
}

int GetGlobalInt(const char* name) {
  lua_getglobal(State(), name);
  int value = lua_tointeger(State(), -1);
  lua_pop(State(), 1);
  return value;
}

std::string GetGlobalText(const char* name) {
  lua_getglobal(State(), name);
  const char* text = lua_tostring(State(), -1);
  std::string value = text ? text : "";
  lua_pop(State(), 1);
  return value;
}

std::wstring CompareTrees(const std::wstring& actual, const std::wstring& expected) {
  std::vector<Entry> ours = Entries(actual);
  std::vector<Entry> theirs = Entries(expected);
  if (ours.size() != theirs.size()) {
    return L"entry count differs in " + actual + L": " + ListFolder(actual) + L" vs " +
           ListFolder(expected);
  }
  for (size_t i = 0; i < ours.size(); ++i) {
    const Entry& a = ours[i];
    const Entry& b = theirs[i];
    std::wstring pathA = actual + L"\\" + a.name;
    std::wstring pathB = expected + L"\\" + b.name;
    if (a.name != b.name) return L"name differs: " + pathA + L" vs " + pathB;
    bool folderA = (a.data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    bool folderB = (b.data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    if (folderA != folderB) return L"kind differs: " + pathA;
    if (folderA) {
      std::wstring inner = CompareTrees(pathA, pathB);
      if (!inner.empty()) return inner;
      continue;
    }
    if (ReadFileBytes(pathA) != ReadFileBytes(pathB)) return L"bytes differ: " + pathA;
    if (CompareFileTime(&a.data.ftLastWriteTime, &b.data.ftLastWriteTime) != 0) {
      return L"modification time differs: " + pathA;
    }
    if ((a.data.dwFileAttributes & FILE_ATTRIBUTE_READONLY) !=
        (b.data.dwFileAttributes & FILE_ATTRIBUTE_READONLY)) {
      return L"read-only bit differs: " + pathA;
    }
  }
  return std::wstring();
}

std::wstring ListFolder(const std::wstring& folder) {
  std::wstring names;
  for (const Entry& entry : Entries(folder)) names += L"[" + entry.name + L"]";
  return names;
}
