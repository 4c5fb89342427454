// Shared pieces of the payload tests: running script snippets in the engine, the archives
// made at build time, and comparing extracted trees.
#pragma once
#include <windows.h>

#include <string>

#include "luaheaders.h"

// The folder with the build-time archives (tests/payload-data beside the test program).
std::wstring PayloadData();

// Runs `code` in the engine's state; returns its first result as a boolean (false when the
// chunk fails to load or run).
bool RunBool(const std::string& code);
// Runs `code`, ignoring results.
void RunScript(const std::string& code);
void SetGlobalPath(const char* name, const std::wstring& path);
int GetGlobalInt(const char* name);
std::string GetGlobalText(const char* name);

// Empty when both trees hold the same names, folders, file bytes, file modification times and
// read-only bits; otherwise a description of the first difference.
std::wstring CompareTrees(const std::wstring& actual, const std::wstring& expected);

// Names in a folder (without "." and "..").
std::wstring ListFolder(const std::wstring& folder);
