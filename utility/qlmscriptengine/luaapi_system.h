// Installation functions for system queries, the process environment, privileges, restart
// and the log.
#pragma once
#include "luaheaders.h"

// (variable name, CSIDL) -> true when the variable was set to the special folder.
int Lua_RegVarByCSIDL(lua_State* L);
// () -> the major system version.
int Lua_GetOSVersion(lua_State* L);
// () -> true for a 32-bit process on 64-bit Windows.
int Lua_IsWow64(lua_State* L);
// (text as last argument) -> the text with %NAME% references expanded.
int Lua_ExpandEnv(lua_State* L);
// ([module name]) -> the module's path, the own executable's when absent or not loaded.
int Lua_GetModuleFileName(lua_State* L);
// () -> table of the command-line arguments, or no result.
int Lua_GetCommandLineArgv(lua_State* L);
// () -> a program-files folder, on another fixed drive when one has it.
int Lua_GetDriverInstallPath(lua_State* L);
// (privilege name, enable flag as the last two arguments) -> boolean.
int Lua_EnablePrivilege(lua_State* L);
// (flags, reason) -> whether the restart or shutdown request was accepted.
int Lua_ExitWindows(lua_State* L);
// (text) -> nothing; writes a debug line and a log record.
int Lua_Logout(lua_State* L);
