// Registry functions for scripts: read, write and delete values and key trees. Keys live in
// the view of the running process (the 32-bit view for the 32-bit installer on 64-bit Windows).
#pragma once
#include "luaheaders.h"

// (root, subkey, value name) -> string, number or nil.
int Lua_RegQuery(lua_State* L);
// (root, subkey, value name, type, data, overwrite) -> true.
int Lua_RegAdd(lua_State* L);
// (root, subkey) deletes the key tree; (root, subkey, value name) deletes one value. -> true.
int Lua_RegDel(lua_State* L);
