// The installation folder of the welcome view: the folder text prepared from the skin and the
// scripts, the folder picker, and the checks and script globals of the install command.
#pragma once
#include <windows.h>

#include <string>

class CControlUI;

// Replaces the first "$name$" placeholder of the edit's text by the script global of that
// name (when it is not empty).
void PrepareFolderText(CControlUI* edit);

// Shows the system's folder picker starting at the edit's folder and puts the chosen folder,
// completed with the product's base folder name, into the edit.
void PickInstallFolder(HWND owner, CControlUI* edit);

// The picked folder completed with the product's base folder name: unchanged when it already
// ends in that name, else the name appended (after a backslash unless one ends it).
std::wstring CompleteChosenFolder(const std::wstring& chosen, const std::wstring& baseName);

// Whether the last component of the folder (after its last '\' or '/') is the base name.
bool CheckDir(const std::wstring& folder, const std::wstring& baseName);

// A folder on a drive letter that exists or could be created with all its parents; the
// folder is created as a side effect. UNC and relative paths are never usable.
bool IsUsableFolder(const std::wstring& path);

// The checks of the install command, in order, each refusal with its message box owned by
// `owner`: the folder, the script globals of the edit and of every option of the welcome
// view, the backup folder and the free space. True when the installation may start.
bool RunInstallChecks(HWND owner, CControlUI* edit, CControlUI* welcomeView);

// The required size of `global_need_disk_space` in bytes; text that is no unsigned decimal
// number counts as 0 (with a debug line naming it).
unsigned long long RequiredDiskSpace(const std::wstring& text);
// The free-space message for the required bytes ("%0.2f" megabytes, single precision).
std::wstring DiskSpaceMessage(unsigned long long required);
