// The marker that a planted library or program leaves: an empty file "<its own file name>"
// plus `suffix` in the folder named by QLM_PLANT_MARKERS (beside itself without it), so that a
// marker survives the removal of the folder the copy was planted in.
#pragma once
#include <windows.h>

inline void LeavePlantMarker(HMODULE self, const wchar_t* suffix) {
  wchar_t own[MAX_PATH];
  DWORD length = GetModuleFileNameW(self, own, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return;
  wchar_t marker[2 * MAX_PATH + 16];
  DWORD folder = GetEnvironmentVariableW(L"QLM_PLANT_MARKERS", marker, MAX_PATH);
  if (folder > 0 && folder < MAX_PATH) {
    const wchar_t* name = own;
    for (const wchar_t* p = own; *p != 0; ++p) {
      if (*p == L'\\' || *p == L'/') name = p + 1;
    }
    lstrcatW(marker, L"\\");
    lstrcatW(marker, name);
  } else {
    lstrcpyW(marker, own);
  }
  lstrcatW(marker, suffix);
  HANDLE file = CreateFileW(marker, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
}
