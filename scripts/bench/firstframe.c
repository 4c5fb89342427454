/* Start-up benchmark probe: starts a program and reports the milliseconds until its window of
   the given class shows a painted (not black) pixel at a client point, then ends it:
     firstframe <window class> <x> <y> <command line...> */
#include <windows.h>

#include <stdio.h>
#include <wchar.h>

int wmain(int argc, wchar_t** argv) {
  LARGE_INTEGER frequency, start, now;
  STARTUPINFOW startup = {sizeof startup};
  PROCESS_INFORMATION process;
  wchar_t command[4096] = L"";
  int i, x, y;
  if (argc < 5) {
    fwprintf(stderr, L"firstframe <window class> <x> <y> <command line...>\n");
    return 2;
  }
  x = _wtoi(argv[2]);
  y = _wtoi(argv[3]);
  for (i = 4; i < argc; ++i) {
    wcscat(command, L"\"");
    wcscat(command, argv[i]);
    wcscat(command, i + 1 < argc ? L"\" " : L"\"");
  }
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&start);
  if (!CreateProcessW(NULL, command, NULL, NULL, FALSE, 0, NULL, NULL, &startup, &process)) {
    fwprintf(stderr, L"cannot start %ls\n", command);
    return 1;
  }
  for (;;) {
    HWND window = FindWindowW(argv[1], NULL);
    QueryPerformanceCounter(&now);
    if ((now.QuadPart - start.QuadPart) / frequency.QuadPart > 120) {
      fwprintf(stderr, L"no painted window within two minutes\n");
      TerminateProcess(process.hProcess, 1);
      return 1;
    }
    if (window != NULL && IsWindowVisible(window)) {
      RECT rect;
      HDC screen = GetDC(NULL);
      COLORREF colour;
      GetWindowRect(window, &rect);
      colour = GetPixel(screen, rect.left + x, rect.top + y);
      ReleaseDC(NULL, screen);
      if (colour != 0 && colour != CLR_INVALID) break;
    }
    Sleep(2);
  }
  wprintf(L"%.1f\n", (now.QuadPart - start.QuadPart) * 1000.0 / frequency.QuadPart);
  TerminateProcess(process.hProcess, 0);
  WaitForSingleObject(process.hProcess, 10000);
  return 0;
}
