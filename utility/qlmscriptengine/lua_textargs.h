// Argument reading shared by the shell and system installation functions.
#pragma once
#include <string>

#include "luaheaders.h"

// The text at stack slot `index` (a string, or a number as its text) in UTF-16; any other
// value, nil or an absent slot gives the empty string.
std::wstring ReadTextArgument(lua_State* L, int index);

// `path` with its %NAME% references expanded into 260 units; empty when the expansion fails
// or does not fit.
std::wstring ExpandPathText(const std::wstring& path);

// `path` without its last component (PathRemoveFileSpecW).
std::wstring ParentFolder(const std::wstring& path);

// Source-file name in the failure reports of these functions.
constexpr wchar_t kApiSourceFile[] = L"qlmscriptengine";
