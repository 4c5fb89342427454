// The script value types AString, WString, RawBuffer and DllManager, and the library table
// GLibTab: their registry names, module openers and the helpers they share.
#pragma once
#include <windows.h>

#include <string>

#include "luaheaders.h"

extern const char kAStringMetaTable[];
extern const char kWStringMetaTable[];
extern const char kRawBufferMetaTable[];
extern const char kDllManagerMetaTable[];
extern const char kGlobalLibTableMetaTable[];

// Module openers for the library-require procedure: each registers its type's metatable
// and returns the module table.
int OpenAStringModule(lua_State* L);
int OpenWStringModule(lua_State* L);
int OpenRawBufferModule(lua_State* L);
int OpenDllManagerModule(lua_State* L);
// Registers a type's metatable under `metaTable` (its __index is the metatable itself unless
// `metaMethods` gives one) and pushes the module table with `functions`.
int OpenTypeModule(lua_State* L, const char* metaTable, const luaL_Reg* metaMethods,
                   const luaL_Reg* functions);
// Creates the global GLibTab; leaves the stack as it found it.
int CreateGlobalLibTable(lua_State* L);

// The value at `index` converted for a WString or an AString: strings and numbers from
// UTF-8, AString and WString objects from their text, anything else the empty text.
std::wstring ToWideText(lua_State* L, int index);
std::string ToAnsiText(lua_State* L, int index);

// Pushes a new DllManager object holding `module`.
void PushDllManager(lua_State* L, HMODULE module);
