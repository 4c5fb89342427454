// Collects debug-output lines: those of this process through the debug-line sink, and, when
// asked for, those of other processes through the system-wide "DBWIN" buffer, the way a
// debug-output viewer does. One capture at a time per process.
#pragma once
#include <windows.h>

#include <mutex>
#include <string>
#include <thread>
#include <vector>

class DebugCapture {
 public:
  enum class Scope { kThisProcess, kWithChildProcesses };
  explicit DebugCapture(Scope scope = Scope::kThisProcess);
  ~DebugCapture();
  DebugCapture(const DebugCapture&) = delete;
  DebugCapture& operator=(const DebugCapture&) = delete;

  // Lines received so far from process `pid` (0: from every process), in order; lines of
  // this process are converted to the ANSI code page like a monitor would see them.
  std::vector<std::string> Lines(DWORD pid = 0) const;
  // Lines of this process as sent, in UTF-16.
  std::vector<std::wstring> WideLines() const;
  // Waits until the count of lines from `pid` stops growing for `quietMs`.
  void Settle(DWORD pid = 0, int quietMs = 300) const;
  bool Contains(const std::string& line, DWORD pid = 0) const;
  void Clear();

  // Drops debug prints raised by code outside the project (for example the test framework's
  // own failure output), as a debugger would take them. The test programs' main installs it.
  static void InstallProcessHandler();

 private:
  void RunMonitor();
  void Add(DWORD pid, std::string text);
  static void OnLine(const wchar_t* line);
  static LONG CALLBACK OnException(EXCEPTION_POINTERS* pointers);

  struct Entry {
    DWORD pid;
    std::string text;
  };
  HANDLE mapping_ = nullptr;
  HANDLE bufferReady_ = nullptr;
  HANDLE dataReady_ = nullptr;
  HANDLE stop_ = nullptr;
  const char* view_ = nullptr;
  mutable std::mutex mutex_;
  std::vector<Entry> entries_;
  std::vector<std::wstring> wideLines_;
  std::thread thread_;
};
