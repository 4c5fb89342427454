// What the engine registers in a new state, in registration order. Each table ends with a
// null entry; adding a function, type or global table is one line in luaapiregistry.cpp.
#pragma once
#include "luaheaders.h"

struct LuaModule {
  const char* name;
  lua_CFunction opener;  // returns the module table, registers the type's metatable
};

struct LuaApiFunction {
  const char* name;
  lua_CFunction function;
};

// AString, WString, RawBuffer, DllManager.
extern const LuaModule kScriptTypeModules[];
// Creators of global tables (GLibTab); each leaves the stack as it found it.
extern const lua_CFunction kGlobalTableCreators[];
// The installation functions, Lua_UnCompress7z first.
extern const LuaApiFunction kInstallationFunctions[];
