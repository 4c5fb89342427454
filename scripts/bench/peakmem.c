/* peakmem <program> [arguments...]: runs a program, waits for it and prints its wall time and
   peak memory as "seconds=<s> peak_working_set=<bytes> peak_pagefile=<bytes> exit=<code>". */
#include <windows.h>
#include <psapi.h>
#include <stdio.h>
#include <wchar.h>

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) return 2;
  wchar_t commandLine[32768] = L"";
  /* Only arguments with blanks are quoted: an NSIS installer reads "/D=" only unquoted. */
  for (int i = 1; i < argc; ++i) {
    const int quote = wcschr(argv[i], L' ') != NULL;
    if (i > 1) wcscat(commandLine, L" ");
    if (quote) wcscat(commandLine, L"\"");
    wcscat(commandLine, argv[i]);
    if (quote) wcscat(commandLine, L"\"");
  }
  STARTUPINFOW startup = {sizeof(startup)};
  PROCESS_INFORMATION info;
  LARGE_INTEGER frequency, start, end;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&start);
  if (!CreateProcessW(NULL, commandLine, NULL, NULL, FALSE, 0, NULL, NULL, &startup, &info)) {
    fprintf(stderr, "peakmem: cannot start (error %lu)\n", GetLastError());
    return 2;
  }
  /* The counters are read while the process still exists: poll until it ends. */
  PROCESS_MEMORY_COUNTERS counters = {sizeof(counters)};
  SIZE_T peakWorkingSet = 0, peakPagefile = 0;
  while (WaitForSingleObject(info.hProcess, 50) == WAIT_TIMEOUT) {
    if (GetProcessMemoryInfo(info.hProcess, &counters, sizeof(counters))) {
      if (counters.PeakWorkingSetSize > peakWorkingSet) peakWorkingSet = counters.PeakWorkingSetSize;
      if (counters.PeakPagefileUsage > peakPagefile) peakPagefile = counters.PeakPagefileUsage;
    }
  }
  QueryPerformanceCounter(&end);
  if (GetProcessMemoryInfo(info.hProcess, &counters, sizeof(counters))) {
    if (counters.PeakWorkingSetSize > peakWorkingSet) peakWorkingSet = counters.PeakWorkingSetSize;
    if (counters.PeakPagefileUsage > peakPagefile) peakPagefile = counters.PeakPagefileUsage;
  }
  DWORD code = 0;
  GetExitCodeProcess(info.hProcess, &code);
  printf("seconds=%.3f peak_working_set=%lu peak_pagefile=%lu exit=%lu\n",
         (double)(end.QuadPart - start.QuadPart) / (double)frequency.QuadPart,
         (unsigned long)peakWorkingSet, (unsigned long)peakPagefile, code);
  return 0;
}
