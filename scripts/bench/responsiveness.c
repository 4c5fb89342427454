/* Responsiveness probe: while an installer window installs, sends it a message with a
   time-out every 20 ms and records each round trip; prints the count, median, 99th percentile
   and maximum in milliseconds when the installer's process ends:
     responsiveness <window class> */
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>

static int Compare(const void* a, const void* b) {
  double x = *(const double*)a, y = *(const double*)b;
  return x < y ? -1 : x > y;
}

int wmain(int argc, wchar_t** argv) {
  static double trips[200000];
  int count = 0;
  LARGE_INTEGER frequency, before, after;
  HANDLE process = NULL;
  HWND window;
  DWORD pid = 0;
  if (argc < 2) return 2;
  window = FindWindowW(argv[1], NULL);
  if (window != NULL) GetWindowThreadProcessId(window, &pid);
  if (pid != 0) process = OpenProcess(SYNCHRONIZE, FALSE, pid);
  if (process == NULL) {
    fwprintf(stderr, L"no installer process or window\n");
    return 1;
  }
  QueryPerformanceFrequency(&frequency);
  while (WaitForSingleObject(process, 20) == WAIT_TIMEOUT && count < 200000) {
    DWORD_PTR result;
    QueryPerformanceCounter(&before);
    if (!SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &result)) break;
    QueryPerformanceCounter(&after);
    trips[count++] = (after.QuadPart - before.QuadPart) * 1000.0 / frequency.QuadPart;
  }
  if (count == 0) return 1;
  qsort(trips, count, sizeof trips[0], Compare);
  wprintf(L"%d %.2f %.2f %.2f\n", count, trips[count / 2], trips[count * 99 / 100],
          trips[count - 1]);
  return 0;
}
