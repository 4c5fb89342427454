#include "luaapi.h"
#include "lua_filesystem.h"
#include "lua_registry.h"
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
    {"Lua_RegQuery", Lua_RegQuery},
    {"Lua_RegAdd", Lua_RegAdd},
    {"Lua_RegDel", Lua_RegDel},
    {"Lua_CreateDirectory", Lua_CreateDirectory},
    {"Lua_CopyFile", Lua_CopyFile},
    {"Lua_MoveFile", Lua_MoveFile},
    {"Lua_RenameFile", Lua_RenameFile},
    {"Lua_DeleteFile", Lua_DeleteFile},
    {"Lua_DeleteFileEx", Lua_DeleteFileEx},
    {"Lua_TaskKill", Lua_TaskKill},
    {"Lua_SCM", Lua_SCM},
    {"Lua_ExtractResource", Lua_ExtractResource},
    {"Lua_DelFileRecursive", Lua_DelFileRecursive},
    {"Lua_DelFileRecursiveEx", Lua_DelFileRecursiveEx},
    {"Lua_DeleteFileAfterReboot", Lua_DeleteFileAfterReboot},
    {"Lua_GetProcessId", Lua_GetProcessId},
    {"Lua_GetTempFileName", Lua_GetTempFileName},
    {"Lua_GetTempPath", Lua_GetTempPath},
    {"Lua_GetImagePathByPid", Lua_GetImagePathByPid},
    {"Lua_KillAllTaskByName", Lua_KillAllTaskByName},
    {"Lua_PathFileExists", Lua_PathFileExists},
    {"Lua_PathYetAnotherMakeUniqueName", Lua_PathYetAnotherMakeUniqueName},
    {nullptr, nullptr},
};
