// File-system functions for scripts: create, copy, move, rename and delete files and folders,
// schedule deletions for the next restart, temporary and unique names. Paths are UTF-8; most
// have their environment references expanded.
#pragma once
#include "luaheaders.h"

int Lua_CreateDirectory(lua_State* L);
int Lua_CopyFile(lua_State* L);
int Lua_MoveFile(lua_State* L);
int Lua_RenameFile(lua_State* L);
int Lua_GetTempFileName(lua_State* L);
int Lua_GetTempPath(lua_State* L);
int Lua_PathFileExists(lua_State* L);
int Lua_PathYetAnotherMakeUniqueName(lua_State* L);

// Deletion (lua_filedelete.cpp).
int Lua_DeleteFile(lua_State* L);
int Lua_DeleteFileEx(lua_State* L);
int Lua_DelFileRecursive(lua_State* L);
int Lua_DelFileRecursiveEx(lua_State* L);
int Lua_DeleteFileAfterReboot(lua_State* L);
