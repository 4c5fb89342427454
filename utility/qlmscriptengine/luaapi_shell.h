// Installation functions for shortcuts, pinning, shell execution and message boxes.
#pragma once
#include "luaheaders.h"

// (target, link path [, arguments, description]) -> true when the shortcut file was saved.
int Lua_CreateShortcut(lua_State* L);
// (file, verb, parameters, wait, via desktop shell) -> boolean.
int Lua_Exec(lua_State* L);
// (file, parameters) -> boolean; started by the desktop shell process.
int Lua_ExplorerExec(lua_State* L);
// (file, parameters) -> boolean; opened through the shell without waiting.
int Lua_ShellExec(lua_State* L);
// (text [, caption [, type]]) -> the box's answer.
int Lua_MsgBox(lua_State* L);
