// Installation functions that find and end processes, control services and register COM
// server libraries.
#pragma once
#include "luaheaders.h"

int Lua_TaskKill(lua_State* L);
int Lua_KillAllTaskByName(lua_State* L);
int Lua_GetProcessId(lua_State* L);
int Lua_GetImagePathByPid(lua_State* L);
int Lua_SCM(lua_State* L);
int Lua_RegSvr32(lua_State* L);
int Lua_RegistDll(lua_State* L);
