#include "luaapi.h"

const LuaModule kScriptTypeModules[] = {
    {nullptr, nullptr},
};

const lua_CFunction kGlobalTableCreators[] = {
    nullptr,
};

const LuaApiFunction kInstallationFunctions[] = {
    {nullptr, nullptr},
};
