// The drop shadow of a skinned window: a layered, click-through popup owned by the window
// that follows it (moves, size changes, showing, hiding, destruction). It draws either a
// nine-grid image or a soft shadow generated from the window's outline.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

class CPaintManagerUI;

class CShadowUI {
 public:
  CShadowUI() = default;
  ~CShadowUI();
  CShadowUI(const CShadowUI&) = delete;
  CShadowUI& operator=(const CShadowUI&) = delete;

  // Registers the window class "UIShadowWnd" once for the process.
  static void RegisterWindowClass();

  bool IsShowShadow() const { return show_; }
  void ShowShadow(bool show) { show_ = show; }
  // Setters answer false and change nothing for a value out of range.
  bool SetSize(int size);
  bool SetSharpness(int sharpness);
  bool SetDarkness(int darkness);
  bool SetPosition(int x, int y);
  bool SetColor(DWORD color);
  bool SetImage(const std::wstring& image);
  bool SetShadowCorner(const RECT& corner);
  int GetSize() const { return size_; }
  int GetSharpness() const { return sharpness_; }
  int GetDarkness() const { return darkness_; }
  HWND GetWindow() const { return window_; }

  // Creates the shadow window for the manager's window when the shadow is shown.
  void Create(CPaintManagerUI* manager);
  // Shows and redraws the shadow for the owner's current size, position and state, or hides
  // it while the owner is hidden, minimised or maximised or there is nothing to draw.
  void Update();

 private:
  bool HasContent() const { return !image_.empty() || size_ != 0; }
  static LRESULT CALLBACK OwnerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                    UINT_PTR id, DWORD_PTR data);
  // The soft shadow: the outline's coverage blurred over `sharpness` pixels.
  void DrawSoftShadow(DWORD* bits, int width, int height, const RECT& window);

  CPaintManagerUI* manager_ = nullptr;
  HWND window_ = nullptr;
  HWND owner_ = nullptr;
  bool show_ = false;
  int size_ = 0;
  int sharpness_ = 5;
  int darkness_ = 150;
  int x_ = 0;
  int y_ = 0;
  DWORD color_ = 0;
  std::wstring image_;
  RECT corner_ = {};
};
