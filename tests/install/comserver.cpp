// Test library with the two registration entry points. Each call appends its name to the
// file named by the environment variable QLM_TEST_COMSERVER_RECORD.
#include <windows.h>

#include <cstdio>

namespace {

void Note(const char* entry) {
  wchar_t path[MAX_PATH] = {};
  if (!GetEnvironmentVariableW(L"QLM_TEST_COMSERVER_RECORD", path, MAX_PATH)) return;
  FILE* file = _wfopen(path, L"ab");
  if (!file) return;
  fprintf(file, "%s\n", entry);
  fclose(file);
}

}  // namespace

extern "C" __declspec(dllexport) HRESULT __stdcall DllRegisterServer() {
  Note("DllRegisterServer");
  return S_OK;
}

extern "C" __declspec(dllexport) HRESULT __stdcall DllUnregisterServer() {
  Note("DllUnregisterServer");
  return S_OK;
}
