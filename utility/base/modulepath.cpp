#include "modulepath.h"

#include <windows.h>

std::wstring ModulePath() {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  return path;
}

std::wstring FolderOf(const std::wstring& path) { return path.substr(0, path.find_last_of(L'\\')); }

std::wstring TempFolder() {
  wchar_t temp[MAX_PATH + 1] = {};
  if (GetTempPathW(MAX_PATH, temp) == 0) return std::wstring();
  std::wstring folder = temp;
  if (folder.back() != L'\\') folder += L'\\';
  return folder;
}

std::wstring LogBasePath() { return TempFolder() + L"RykInstall.log"; }
