// The application manifest that qlmpack writes into every installer and its uninstaller.
#pragma once
#include <string>

// requireAdministrator (the default, as a per-machine installer needs), highestAvailable or
// asInvoker.
extern const wchar_t kDefaultExecutionLevel[];
bool IsExecutionLevel(const std::wstring& level);

// The manifest (UTF-8 XML): the requested execution level, the supported systems from
// Windows 7 to Windows 11 and the dependency on version 6 of the common controls. It declares
// no DPI awareness: the installer sets that itself when it opens its window.
std::string ApplicationManifest(const std::wstring& executionLevel);
