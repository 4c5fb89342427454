/* The bare Win32 program of the start-up benchmark: one window of 600x460 that paints itself
   blue, and nothing else. */
#include <windows.h>

static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_PAINT) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    HBRUSH blue = CreateSolidBrush(RGB(47, 116, 240));
    FillRect(dc, &paint.rcPaint, blue);
    DeleteObject(blue);
    EndPaint(window, &paint);
    return 0;
  }
  if (message == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE previous, LPWSTR command, int show) {
  WNDCLASSW windowClass = {0};
  MSG msg;
  (void)previous;
  (void)command;
  (void)show;
  windowClass.lpfnWndProc = Proc;
  windowClass.hInstance = instance;
  windowClass.lpszClassName = L"QLMBareWindow";
  windowClass.hCursor = LoadCursorW(NULL, MAKEINTRESOURCEW(32512));
  RegisterClassW(&windowClass);
  CreateWindowExW(0, L"QLMBareWindow", L"bare", WS_POPUP | WS_VISIBLE, 340, 282, 600, 460, NULL,
                  NULL, instance, NULL);
  while (GetMessageW(&msg, NULL, 0, 0) > 0) DispatchMessageW(&msg);
  return 0;
}
