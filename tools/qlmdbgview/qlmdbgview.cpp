// qlmdbgview <program> [arguments...]
// Runs a program and prints the debug-output lines (OutputDebugString) that it and the
// programs it starts write, one per line prefixed with "debug: ", until it ends. Exits with
// the program's exit code. Useful to see what an installer did in a silent run.
#include <windows.h>

#include <cstdio>
#include <string>

#include "safelibrary.h"

namespace {

constexpr DWORD kBufferSize = 4096;

std::wstring QuoteArgument(const std::wstring& argument) {
  if (!argument.empty() && argument.find_first_of(L" \t\"") == std::wstring::npos) return argument;
  std::wstring quoted = L"\"";
  for (wchar_t c : argument) {
    if (c == L'"') quoted += L'\\';
    quoted += c;
  }
  return quoted + L"\"";
}

void PrintLine(const char* text) {
  std::string line = text;
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
  printf("debug: %s\n", line.c_str());
  fflush(stdout);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  RestrictLibrarySearch();
  if (argc < 2) {
    fprintf(stderr, "usage: qlmdbgview <program> [arguments...]\n");
    return 2;
  }
  HANDLE mapping = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                      kBufferSize, L"DBWIN_BUFFER");
  if (mapping && GetLastError() == ERROR_ALREADY_EXISTS) {
    fprintf(stderr, "qlmdbgview: another debug-output viewer is running\n");
    return 2;
  }
  const char* view = mapping ? static_cast<const char*>(MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, kBufferSize)) : nullptr;
  HANDLE bufferReady = CreateEventW(nullptr, FALSE, FALSE, L"DBWIN_BUFFER_READY");
  HANDLE dataReady = CreateEventW(nullptr, FALSE, FALSE, L"DBWIN_DATA_READY");
  if (!view || !bufferReady || !dataReady) {
    fprintf(stderr, "qlmdbgview: cannot create the debug-output buffer (error %lu)\n", GetLastError());
    return 2;
  }

  std::wstring commandLine;
  for (int i = 1; i < argc; ++i) {
    if (i > 1) commandLine += L' ';
    commandLine += QuoteArgument(argv[i]);
  }
  STARTUPINFOW startup = {};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process = {};
  if (!CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process)) {
    fprintf(stderr, "qlmdbgview: cannot start %ls (error %lu)\n", argv[1], GetLastError());
    return 2;
  }
  CloseHandle(process.hThread);

  SetEvent(bufferReady);
  HANDLE waits[2] = {dataReady, process.hProcess};
  for (;;) {
    DWORD which = WaitForMultipleObjects(2, waits, FALSE, INFINITE);
    if (which == WAIT_OBJECT_0) {
      PrintLine(view + sizeof(DWORD));
      SetEvent(bufferReady);
      continue;
    }
    // The program ended: take the lines still on their way, then stop.
    while (WaitForSingleObject(dataReady, 200) == WAIT_OBJECT_0) {
      PrintLine(view + sizeof(DWORD));
      SetEvent(bufferReady);
    }
    break;
  }
  DWORD exitCode = 0;
  GetExitCodeProcess(process.hProcess, &exitCode);
  CloseHandle(process.hProcess);
  return static_cast<int>(exitCode);
}
