// helper: a tool of the demo product; prints its own path.
#include <windows.h>

#include <cstdio>

int wmain() {
  wchar_t path[MAX_PATH];
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::printf("QLM Demo helper at %ls\n", path);
  return 0;
}
