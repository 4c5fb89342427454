#include "scripttypes.h"

int OpenTypeModule(lua_State* L, const char* metaTable, const luaL_Reg* metaMethods,
                   const luaL_Reg* functions) {
  luaL_newmetatable(L, metaTable);
  lua_pushvalue(L, -1);
  lua_setfield(L, -2, "__index");
  luaL_setfuncs(L, metaMethods, 0);
  lua_pop(L, 1);
  lua_newtable(L);
  luaL_setfuncs(L, functions, 0);
  return 1;
}
