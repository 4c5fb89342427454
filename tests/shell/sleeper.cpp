// shell_sleeper <milliseconds> <file>: sleeps, then writes "done" into the file.
#include <windows.h>

#include <cwchar>

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) return 1;
  Sleep(static_cast<DWORD>(_wtoi(argv[1])));
  HANDLE file = CreateFileW(argv[2], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 2;
  DWORD written = 0;
  WriteFile(file, "done", 4, &written, nullptr);
  CloseHandle(file);
  return 0;
}
