#include "luaapi.h"
#include "lua_payload.h"

const LuaModule kScriptTypeModules[] = {
    {nullptr, nullptr},
};

const lua_CFunction kGlobalTableCreators[] = {
    nullptr,
};

const LuaApiFunction kInstallationFunctions[] = {
    {"Lua_UnCompress7z", Lua_UnCompress7z},
    {"Lua_ExtractResource", Lua_ExtractResource},
    {nullptr, nullptr},
};
