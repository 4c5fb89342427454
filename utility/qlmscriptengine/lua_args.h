// Reading the arguments of installation functions: text by the to-string conversion, paths
// with their environment references expanded into MAX_PATH units.
#pragma once
#include <string>

#include "luaheaders.h"

// The argument at `index` as UTF-16: a string unchanged, a number as its text; any other value
// and an absent argument give the empty string.
std::wstring TextArgument(lua_State* L, int index);

// Expands environment references into a buffer of MAX_PATH units. An empty expansion gives the
// empty text; false when the expansion does not fit (`expanded` is then left empty).
bool ExpandIntoMaxPath(const std::wstring& text, std::wstring& expanded);

// Pushes UTF-16 text as a UTF-8 string.
void PushWide(lua_State* L, const std::wstring& text);

// Pushes one boolean result; returns the result count.
int PushBoolean(lua_State* L, bool value);

// A file or folder exists at `path`.
bool PathExists(const std::wstring& path);

// The path argument at `index` with its environment references expanded. A path whose
// expansion does not fit into MAX_PATH is refused with a debug line naming `function`.
bool ExpandedPathArgument(lua_State* L, int index, const wchar_t* function, std::wstring& path);

// The shared message for a path that does not exist.
void ReportMissingPath(const wchar_t* function, const std::wstring& path);
