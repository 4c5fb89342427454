// Test program with one top-level window of the class named by the second argument.
//   windowprogram close <class>   closes on WM_CLOSE and exits with code 7
//   windowprogram ignore <class>  ignores WM_CLOSE and SC_CLOSE; runs until terminated
// Without arguments it behaves as "ignore" with class QlmTestWindow, so copies of it can
// stand in for any long-running program. It ends by itself after five minutes.
#include <windows.h>

#include <cwchar>

namespace {

constexpr int kClosedExitCode = 7;
constexpr UINT kLifetimeMs = 300000;
bool g_ignoreClose = true;

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_SYSCOMMAND:
      if ((wparam & 0xFFF0) != SC_CLOSE) break;
      if (!g_ignoreClose) DestroyWindow(window);
      return 0;
    case WM_CLOSE:
      if (g_ignoreClose) return 0;
      DestroyWindow(window);
      return 0;
    case WM_TIMER:
      ExitProcess(1);
    case WM_DESTROY:
      PostQuitMessage(kClosedExitCode);
      return 0;
  }
  return DefWindowProcW(window, message, wparam, lparam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int) {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  g_ignoreClose = !(argc > 1 && wcscmp(argv[1], L"close") == 0);
  const wchar_t* className = argc > 2 ? argv[2] : L"QlmTestWindow";

  WNDCLASSW windowClass = {};
  windowClass.lpfnWndProc = WindowProc;
  windowClass.hInstance = instance;
  windowClass.lpszClassName = className;
  RegisterClassW(&windowClass);
  HWND window = CreateWindowW(className, L"QlmTestWindow", WS_OVERLAPPED, 0, 0, 100, 100,
                              nullptr, nullptr, instance, nullptr);
  if (!window) return -1;
  SetTimer(window, 1, kLifetimeMs, nullptr);
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
  return static_cast<int>(message.wParam);
}
