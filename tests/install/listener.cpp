// Test listener: a window titled by the first argument that counts message 3014. A message
// kQueryCount answers the count so far; WM_CLOSE (or the timeout of the second argument, in
// milliseconds) ends the program with the count as exit code.
#include <windows.h>

#include <cwchar>

namespace {

constexpr UINT kMsgInstallationOver = 3014;
constexpr UINT kQueryCount = WM_APP + 1;
constexpr UINT_PTR kTimeoutTimer = 1;
int g_count = 0;

LRESULT CALLBACK ListenerProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case kMsgInstallationOver:
      ++g_count;
      return 0;
    case kQueryCount:
      return g_count;
    case WM_TIMER:
      DestroyWindow(window);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(g_count);
      return 0;
    default:
      return DefWindowProcW(window, message, wparam, lparam);
  }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int) {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  const wchar_t* title = argc > 1 ? argv[1] : L"QlmTestListener";
  const UINT timeoutMs = argc > 2 ? wcstoul(argv[2], nullptr, 10) : 120000;

  WNDCLASSW windowClass = {};
  windowClass.lpfnWndProc = ListenerProc;
  windowClass.hInstance = instance;
  windowClass.lpszClassName = L"QlmTestListener";
  RegisterClassW(&windowClass);
  HWND window = CreateWindowW(L"QlmTestListener", title, WS_OVERLAPPED, 0, 0, 100, 100, nullptr,
                              nullptr, instance, nullptr);
  if (!window) return -1;
  SetTimer(window, kTimeoutTimer, timeoutMs, nullptr);
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
  return static_cast<int>(message.wParam);
}
