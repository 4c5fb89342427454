// GLibTab: a global table that loads a library on the first access with a key and keeps it
// under that key for the lifetime of the state.
#include <string>

#include "safelibrary.h"
#include "scripttypes.h"
#include "stringconv.h"

const char kGlobalLibTableMetaTable[] = "GlobalLibTableMetaTable";

namespace {

// __index(table, key): only string and number keys load; a failed load stores nothing, so
// the next access tries again.
int LoadOnAccess(lua_State* L) {
  int keyType = lua_type(L, 2);
  if (keyType != LUA_TSTRING && keyType != LUA_TNUMBER) {
    lua_pushnil(L);
    return 1;
  }
  lua_pushvalue(L, 2);  // converted to text on the copy, so a number key stays a number
  std::wstring name = Utf8ToWide(lua_tostring(L, -1));
  lua_pop(L, 1);
  HMODULE module = LoadNamedLibrary(name);
  if (module == nullptr) {
    lua_pushnil(L);
    return 1;
  }
  PushDllManager(L, module);
  if (lua_type(L, 1) == LUA_TTABLE) {  // false only when a script calls __index itself
    lua_pushvalue(L, 2);
    lua_pushvalue(L, -2);
    lua_rawset(L, 1);
  }
  return 1;
}

}  // namespace

int CreateGlobalLibTable(lua_State* L) {
  lua_newtable(L);
  luaL_newmetatable(L, kGlobalLibTableMetaTable);
  lua_pushcfunction(L, LoadOnAccess);
  lua_setfield(L, -2, "__index");
  lua_setmetatable(L, -2);
  lua_setglobal(L, "GLibTab");
  return 0;
}
