// Library and program look-up that never takes a file from the program's own folder or the
// current folder: an installer is started from download folders that anybody can write to.
#pragma once
#include <windows.h>

#include <string>

// Restricts the default library search of the process to the system folder. Call it first in
// every program entry, before anything loads a library; libraries that are not imported
// directly (the delay-loaded ones among them) are then found in the system folder only.
void RestrictLibrarySearch();

// Loads a system library by name ("Shcore.dll") from the system folder.
HMODULE LoadSystemLibrary(const wchar_t* name);

// Loads a library that a script names: a full path loads that file, with its own folder
// searched for the libraries it needs; a bare name or a relative path resolves in the system
// folder only.
HMODULE LoadNamedLibrary(const std::wstring& name);

// The full path of a program in the system folder ("regsvr32.exe") or the Windows folder
// ("explorer.exe"); empty when the folder cannot be read.
std::wstring SystemProgramPath(const wchar_t* program);
std::wstring WindowsProgramPath(const wchar_t* program);
