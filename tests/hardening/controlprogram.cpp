// The control of the planting test: a minimal window program that imports the same system
// libraries as the installer, loads the same libraries at run time from the system folder
// and calls one function of each, and does nothing of its own. The libraries that Wine's own
// libraries then load from the search path (for this program as for the installer) are not
// counted against the installer.
#include <winsock2.h>
#include <windows.h>
#include <commctrl.h>
#include <imm.h>
#include <objbase.h>
#include <shellapi.h>
#include <shlwapi.h>

#include "procaddress.h"
#include "safelibrary.h"

namespace {

void Pump(DWORD milliseconds) {
  DWORD end = GetTickCount() + milliseconds;
  MSG message;
  while (GetTickCount() < end) {
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
    Sleep(20);
  }
}

// One call into each library that the installer loads before its window is shown.
void UseStartLibraries() {
  using Startup = int(WINAPI*)(ULONG_PTR*, const void*, void*);
  struct StartupInput {
    UINT32 version = 1;
    void* callback = nullptr;
    BOOL noThread = FALSE;
    BOOL noCodecs = FALSE;
  } input;
  ULONG_PTR token = 0;
  if (auto startup = LookUpFunction<Startup>(LoadSystemLibrary(L"gdiplus.dll"), "GdiplusStartup")) {
    startup(&token, &input, nullptr);
  }
  using InitControls = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
  INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES};
  if (auto init = LookUpFunction<InitControls>(LoadSystemLibrary(L"comctl32.dll"),
                                               "InitCommonControlsEx")) {
    init(&controls);
  }
  using SetAwareness = HRESULT(WINAPI*)(int);
  if (auto aware = LookUpFunction<SetAwareness>(LoadSystemLibrary(L"Shcore.dll"),
                                                "SetProcessDpiAwareness")) {
    aware(2);
  }
}

// The system's theming draws parts of the installer window before the installer loads
// msimg32 itself; a themed push button drawn into memory does the same here.
void DrawThemedPart(HWND window) {
  using OpenTheme = HANDLE(WINAPI*)(HWND, LPCWSTR);
  using DrawBackground = HRESULT(WINAPI*)(HANDLE, HDC, int, int, const RECT*, const RECT*);
  using CloseTheme = HRESULT(WINAPI*)(HANDLE);
  HMODULE uxtheme = LoadSystemLibrary(L"uxtheme.dll");
  auto open = LookUpFunction<OpenTheme>(uxtheme, "OpenThemeData");
  auto draw = LookUpFunction<DrawBackground>(uxtheme, "DrawThemeBackground");
  auto close = LookUpFunction<CloseTheme>(uxtheme, "CloseThemeData");
  if (open == nullptr || draw == nullptr || close == nullptr) return;
  HANDLE theme = open(window, L"BUTTON");
  if (theme == nullptr) return;
  HDC screen = GetDC(window);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, 100, 30);
  HGDIOBJ old = SelectObject(memory, bitmap);
  RECT part = {0, 0, 100, 30};
  constexpr int kPushButton = 1;
  constexpr int kNormal = 1;
  draw(theme, memory, kPushButton, kNormal, &part, nullptr);
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(window, screen);
  close(theme);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  RestrictLibrarySearch();
  // One call into each imported library keeps it in the import table.
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, L"Software", 0, KEY_READ, &key) == ERROR_SUCCESS) {
    RegCloseKey(key);
  }
  DeleteObject(CreateSolidBrush(0));
  CoInitialize(nullptr);
  SHFILEINFOW info = {};
  SHGetFileInfoW(L"x.txt", FILE_ATTRIBUTE_NORMAL, &info, sizeof info, SHGFI_USEFILEATTRIBUTES);
  PathFileExistsW(L"C:\\");
  WSADATA wsa;
  if (WSAStartup(MAKEWORD(2, 2), &wsa) == 0) WSACleanup();
  UseStartLibraries();

  WNDCLASSW windowClass = {};
  windowClass.lpfnWndProc = DefWindowProcW;
  windowClass.hInstance = instance;
  windowClass.lpszClassName = L"QLMPlantingControl";
  RegisterClassW(&windowClass);
  // The installer window's styles (a captioned pop-up).
  HWND window = CreateWindowExW(WS_EX_WINDOWEDGE, windowClass.lpszClassName, L"control",
                                0x96C80000, 0, 0, 300, 200, nullptr, nullptr, instance, nullptr);
  CreateWindowExW(0, L"BUTTON", L"button", WS_CHILD | WS_VISIBLE, 10, 10, 100, 30, window,
                  nullptr, instance, nullptr);
  ImmReleaseContext(window, ImmGetContext(window));
  Pump(500);
  DrawThemedPart(window);
  // The installer loads these once its window paints (Wine's theming loads msimg32 itself
  // from the search path as soon as it draws a themed window, before the installer's load).
  LoadSystemLibrary(L"msimg32.dll");
  LoadSystemLibrary(L"Msftedit.dll");
  Pump(300);
  DestroyWindow(window);
  CoUninitialize();
  return 0;
}
