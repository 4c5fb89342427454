// A real top-level window built from markup text for the toolkit tests, with a recorder of
// the notifications it receives and helpers that send it real window messages.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "uicontrol.h"
#include "uiwindowimplbase.h"

struct NotifyRecord {
  std::wstring type;
  std::wstring sender;
  WPARAM wParam;
  LPARAM lParam;
};

// Processes this thread's queued messages (and those that arrive within `ms`), passing them
// through the paint managers' pre-message handling like the message loop does.
void PumpMessages(DWORD ms = 0);
// Processes this thread's messages until `done` holds or `ms` have passed; whether it holds.
bool PumpUntil(const std::function<bool()>& done, DWORD ms);

// Starts xdotool (a Linux program, through Wine's Z: drive) with the arguments, for real input
// through the X server. Wine cannot wait for a Linux process to end, so the caller waits for
// what the input does instead.
bool StartXdotool(const std::wstring& arguments);

// Press and release of the left button at a client point of the window, as window messages.
void ClickAt(HWND window, int x, int y);

class TestWindow : public WindowImplBase {
 public:
  explicit TestWindow(std::wstring markup) : markup_(std::move(markup)) {}
  ~TestWindow() override;

  // Creates the window as a visible popup at (x, y) and processes messages until its first
  // paint has laid it out.
  bool Open(int x = 100, int y = 100, DWORD exStyle = 0);
  // Processes the queued messages (and those that arrive within `ms`).
  void Pump(DWORD ms = 0);
  // Paints what is invalid now, through the message queue.
  void Paint();

  CControlUI* Find(const wchar_t* name) { return paintManager_.FindControl(std::wstring(name)); }
  // Notifications received so far, optionally only those of one type.
  std::vector<NotifyRecord> Notes(const wchar_t* type = nullptr) const;
  // The notification types received so far, in order, joined by blanks.
  std::wstring NoteTypes() const;
  // "type:sender" of the notifications from named controls, joined by blanks.
  std::wstring Trail() const;
  void ClearNotes() { notes_.clear(); }

  // Sends a mouse message at a client point, with the button state in wParam.
  void Mouse(UINT message, int x, int y, WPARAM keys = 0);
  // Press and release of the left button at a client point.
  void Click(int x, int y);
  void Key(UINT message, WPARAM key, LPARAM lParam = 0);
  // Starts xdotool with the arguments and processes this window's messages until `done`
  // holds (at most `ms`).
  void Xdo(const std::wstring& arguments, const std::function<bool()>& done, DWORD ms = 15000);
  // Moves the real pointer to the screen's origin and waits until it is there: a pointer left
  // where the next test window opens would send that window real mouse messages.
  void ParkPointer();
  // The screen point of a client point.
  POINT ToScreen(int x, int y) const;

  // A pixel of the manager's off-screen bitmap as 0xAARRGGBB (premultiplied).
  DWORD Pixel(int x, int y) const;

 protected:
  const wchar_t* GetWindowClassName() const override { return L"QLMTestWindow"; }
  std::wstring GetSkinFile() const override { return markup_; }
  void Notify(NotifyMsg& msg) override;

 private:
  std::wstring markup_;
  std::vector<NotifyRecord> notes_;
};

// The control's rectangle as (left, top, right, bottom) text, for readable failures.
std::string RectText(const RECT& rect);
