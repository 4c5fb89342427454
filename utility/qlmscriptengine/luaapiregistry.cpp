#include "luaapi.h"
#include "scripttypes.h"
#include "lua_payload.h"
#include "lua_process.h"

const LuaModule kScriptTypeModules[] = {
    {"AString", OpenAStringModule},
    {"WString", OpenWStringModule},
    {"RawBuffer", OpenRawBufferModule},
    {"DllManager", OpenDllManagerModule},
    {nullptr, nullptr},
};

const lua_CFunction kGlobalTableCreators[] = {
    CreateGlobalLibTable,
    nullptr,
};

const LuaApiFunction kInstallationFunctions[] = {
    {"Lua_UnCompress7z", Lua_UnCompress7z},
    {"Lua_RegSvr32", Lua_RegSvr32},
    {"Lua_RegistDll", Lua_RegistDll},
    {"Lua_TaskKill", Lua_TaskKill},
    {"Lua_SCM", Lua_SCM},
    {"Lua_ExtractResource", Lua_ExtractResource},
    {"Lua_GetProcessId", Lua_GetProcessId},
    {"Lua_GetImagePathByPid", Lua_GetImagePathByPid},
    {"Lua_KillAllTaskByName", Lua_KillAllTaskByName},
    {nullptr, nullptr},
};
