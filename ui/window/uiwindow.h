// A thin wrapper of a native window: class registration, creation with the object as the
// creation parameter, and the window procedure that finds the object again through the
// window property "WndX".
#pragma once
#include <windows.h>

class CWindowWnd {
 public:
  CWindowWnd() = default;
  virtual ~CWindowWnd() = default;
  CWindowWnd(const CWindowWnd&) = delete;
  CWindowWnd& operator=(const CWindowWnd&) = delete;

  HWND GetHWND() const { return window_; }
  operator HWND() const { return window_; }

  // Registers the window class once (a class that exists counts as registered) and creates
  // the window; null on failure.
  HWND Create(HWND parent, const wchar_t* name, DWORD style, DWORD exStyle,
              int x = CW_USEDEFAULT, int y = CW_USEDEFAULT, int cx = CW_USEDEFAULT,
              int cy = CW_USEDEFAULT, HMENU menu = nullptr);
  virtual void ShowWindow(bool show = true, bool takeFocus = true);
  // Posts the close message with the result.
  void Close(UINT result = IDOK);
  // Centres on the owner, or on the nearest monitor's work area, clamped to that work area.
  void CenterWindow();
  // The icon resource as the big and the small window icon.
  void SetIcon(UINT resourceId);
  LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
  bool PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);

 protected:
  virtual const wchar_t* GetWindowClassName() const = 0;
  // Non-empty: the window class copies this existing class under the new name.
  virtual const wchar_t* GetSuperClassName() const { return L""; }
  virtual UINT GetClassStyle() const { return 0; }
  virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  // After the last message; the window handle is already gone.
  virtual void OnFinalMessage(HWND window);

  HWND window_ = nullptr;
  WNDPROC previousProc_ = DefWindowProcW;

 private:
  bool RegisterWindowClass();
  bool RegisterSuperclass();
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
};
