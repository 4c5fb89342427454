#include "uitestwindow.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "testsupport.h"

TestWindow::~TestWindow() {
  if (IsWindow(window_)) DestroyWindow(window_);
}

bool TestWindow::Open(int x, int y, DWORD exStyle) {
  if (Create(nullptr, L"test", WS_POPUP | WS_VISIBLE, exStyle, x, y, 300, 200) == nullptr) {
    return false;
  }
  for (int i = 0; i < 50 && paintManager_.IsUpdateNeeded(); ++i) Paint();
  Pump();
  return true;
}

void TestWindow::Pump(DWORD ms) { PumpMessages(ms); }

void PumpMessages(DWORD ms) {
  DWORD end = GetTickCount() + ms;
  auto timeLeft = [end] { return static_cast<LONG>(end - GetTickCount()) > 0; };
  do {
    MSG msg;
    // Timers can keep the queue from ever running empty: the time limit ends the pump too.
    for (int handled = 0; PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE); ++handled) {
      if (!CPaintManagerUI::TranslateMessage(&msg)) {
        ::TranslateMessage(&msg);
        DispatchMessageW(&msg);
      }
      if (handled > 100 && !timeLeft()) return;
    }
    if (ms > 0) Sleep(5);
  } while (timeLeft());
}

bool PumpUntil(const std::function<bool()>& done, DWORD ms) {
  for (DWORD start = GetTickCount(); GetTickCount() - start < ms;) {
    if (done()) return true;
    PumpMessages(10);
  }
  return done();
}

bool StartXdotool(const std::wstring& arguments) {
  PROCESS_INFORMATION info = {};
  if (!StartProcess(L"Z:\\usr\\bin\\xdotool " + arguments, info)) return false;
  CloseHandle(info.hThread);
  CloseHandle(info.hProcess);
  return true;
}

void TestWindow::Paint() {
  InvalidateRect(window_, nullptr, FALSE);
  UpdateWindow(window_);
  Pump();
}

std::vector<NotifyRecord> TestWindow::Notes(const wchar_t* type) const {
  std::vector<NotifyRecord> selected;
  for (const NotifyRecord& note : notes_) {
    if (type == nullptr || note.type == type) selected.push_back(note);
  }
  return selected;
}

std::wstring TestWindow::NoteTypes() const {
  std::wstring joined;
  for (const NotifyRecord& note : notes_) {
    if (!joined.empty()) joined += L' ';
    joined += note.type;
  }
  return joined;
}

std::wstring TestWindow::Trail() const {
  std::wstring trail;
  for (const NotifyRecord& note : notes_) {
    if (note.sender.empty()) continue;
    if (!trail.empty()) trail += L' ';
    trail += note.type + L":" + note.sender;
  }
  return trail;
}

void TestWindow::Notify(NotifyMsg& msg) {
  notes_.push_back(NotifyRecord{msg.type, msg.sender != nullptr ? msg.sender->GetName() : L"",
                                msg.wParam, msg.lParam});
  WindowImplBase::Notify(msg);
}

void TestWindow::Mouse(UINT message, int x, int y, WPARAM keys) {
  ::SendMessageW(window_, message, keys, MAKELPARAM(x, y));
}

void ClickAt(HWND window, int x, int y) {
  const LPARAM at = MAKELPARAM(x, y);
  ::SendMessageW(window, WM_MOUSEMOVE, 0, at);
  ::SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, at);
  ::SendMessageW(window, WM_LBUTTONUP, 0, at);
}

void TestWindow::Click(int x, int y) { ClickAt(window_, x, y); }

void TestWindow::Key(UINT message, WPARAM key, LPARAM lParam) {
  MSG msg = {window_, message, key, lParam, GetTickCount(), {}};
  if (!CPaintManagerUI::TranslateMessage(&msg)) DispatchMessageW(&msg);
}

void TestWindow::Xdo(const std::wstring& arguments, const std::function<bool()>& done,
                     DWORD ms) {
  if (!StartXdotool(arguments)) {
    ADD_FAILURE() << "xdotool did not start";
    return;
  }
  PumpUntil(done, ms);
}

void TestWindow::ParkPointer() {
  Xdo(L"mousemove 0 0", [] {
    POINT pointer = {-1, -1};
    return GetCursorPos(&pointer) && pointer.x == 0 && pointer.y == 0;
  });
}

POINT TestWindow::ToScreen(int x, int y) const {
  POINT point = {x, y};
  ClientToScreen(window_, &point);
  return point;
}

DWORD TestWindow::Pixel(int x, int y) const {
  const DWORD* bits = const_cast<CPaintManagerUI&>(paintManager_).GetPaintOffscreenBits();
  SIZE size = const_cast<CPaintManagerUI&>(paintManager_).GetPaintOffscreenSize();
  if (bits == nullptr || x < 0 || y < 0 || x >= size.cx || y >= size.cy) return 0xDEADBEEF;
  GdiFlush();
  return bits[static_cast<size_t>(y) * size.cx + x];
}

std::string RectText(const RECT& rect) {
  char text[64];
  std::snprintf(text, sizeof text, "(%ld, %ld, %ld, %ld)", rect.left, rect.top, rect.right,
                rect.bottom);
  return text;
}
