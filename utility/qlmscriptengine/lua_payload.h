// Installation functions that unpack the payload archive and write resources into files.
#pragma once
#include "luaheaders.h"

// Lua_UnCompress7z(source, destination [, file mode [, file-done [, create-error]]]) -> boolean
int Lua_UnCompress7z(lua_State* L);
// Lua_ExtractResource(type, name or number, destination path) -> boolean
int Lua_ExtractResource(lua_State* L);
