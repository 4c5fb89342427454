// Stands in for an installed product: appends its command line to the file named by the
// environment variable QLM_TEST_LAUNCH_RECORD and ends.
#include <windows.h>

#include <cstdio>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
  wchar_t path[MAX_PATH] = {};
  if (GetEnvironmentVariableW(L"QLM_TEST_LAUNCH_RECORD", path, MAX_PATH) == 0) return 1;
  FILE* file = _wfopen(path, L"a, ccs=UTF-8");
  if (file == nullptr) return 2;
  fwprintf(file, L"%ls\n", GetCommandLineW());
  fclose(file);
  return 0;
}
