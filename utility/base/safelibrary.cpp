#include "safelibrary.h"

#include <shlwapi.h>

#include "procaddress.h"

namespace {

// The search flags arrived with Windows 8 and with update KB2533623 for Windows 7; without
// them LoadLibraryExW refuses the flags with ERROR_INVALID_PARAMETER.
bool SearchFlagsRefused() { return GetLastError() == ERROR_INVALID_PARAMETER; }

std::wstring InFolder(UINT (WINAPI* folder)(LPWSTR, UINT), const wchar_t* name) {
  wchar_t buffer[MAX_PATH];
  UINT length = folder(buffer, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return std::wstring();
  std::wstring path(buffer, length);
  if (path.back() != L'\\') path += L'\\';
  return path + name;
}

}  // namespace

void RestrictLibrarySearch() {
  using SetDirectories = BOOL(WINAPI*)(DWORD);
  auto setDirectories = LookUpFunction<SetDirectories>(GetModuleHandleW(L"kernel32.dll"),
                                                       "SetDefaultDllDirectories");
  if (setDirectories != nullptr && setDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32)) return;
  // Without the update at least the current folder leaves the search order.
  SetDllDirectoryW(L"");
}

HMODULE LoadSystemLibrary(const wchar_t* name) {
  // A bare name keeps the side-by-side redirection (comctl32 version 6 of the manifest).
  HMODULE module = LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  if (module != nullptr || !SearchFlagsRefused()) return module;
  std::wstring path = SystemProgramPath(name);
  return path.empty() ? nullptr : LoadLibraryW(path.c_str());
}

HMODULE LoadNamedLibrary(const std::wstring& name) {
  if (name.empty() || PathIsRelativeW(name.c_str())) return LoadSystemLibrary(name.c_str());
  HMODULE module = LoadLibraryExW(
      name.c_str(), nullptr, LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR | LOAD_LIBRARY_SEARCH_DEFAULT_DIRS);
  if (module != nullptr || !SearchFlagsRefused()) return module;
  return LoadLibraryExW(name.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

std::wstring SystemProgramPath(const wchar_t* program) {
  return InFolder(GetSystemDirectoryW, program);
}

std::wstring WindowsProgramPath(const wchar_t* program) {
  return InFolder(GetWindowsDirectoryW, program);
}
