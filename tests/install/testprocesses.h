// Programs that the installation tests start and watch: plain child processes, windows
// programs whose windows must exist before a test goes on, and the 3014 listener.
#pragma once
#include <windows.h>

#include <string>

// Folder of the project's programs (<build>\bin\), with a trailing backslash.
std::wstring BinFolder();

// A started program; terminated on destruction if it still runs.
class ChildProcess {
 public:
  explicit ChildProcess(const std::wstring& commandLine);
  virtual ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  bool Started() const { return info_.hProcess != nullptr; }
  DWORD Pid() const { return info_.dwProcessId; }
  // Waits until the process has a top-level window of the class; false after the timeout.
  // (Wine gives processes helper windows of other classes, so the class matters.)
  HWND WaitForWindow(const wchar_t* className, DWORD timeoutMs = 60000) const;
  // True when the process ended within the timeout; its exit code goes to `exitCode`.
  bool WaitExit(DWORD timeoutMs, DWORD& exitCode) const;

 private:
  PROCESS_INFORMATION info_ = {};
};

// The listener program: counts message 3014 and answers the count on request.
class ListenerProcess {
 public:
  ListenerProcess();
  HWND Window() const { return window_; }
  // The count of 3014 messages received so far; -1 when the listener does not answer.
  int Count() const;

 private:
  ChildProcess process_;
  HWND window_ = nullptr;
};
