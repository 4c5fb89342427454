// Where the running program and the temporary folder are.
#pragma once
#include <string>

// Full path of the running program.
std::wstring ModulePath();
// The folder part of `path`, without a trailing backslash.
std::wstring FolderOf(const std::wstring& path);
// The user's temporary folder with a trailing backslash; empty when the system gives none.
std::wstring TempFolder();
// "RykInstall.log" in the temporary folder: the base file of the installer's and the
// uninstaller's daily logs.
std::wstring LogBasePath();
