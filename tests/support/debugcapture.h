// Collects debug-output lines (OutputDebugString) of this process and of child processes
// through the system-wide "DBWIN" buffer, the way a debug-output viewer does.
#pragma once
#include <windows.h>

#include <mutex>
#include <string>
#include <thread>
#include <vector>

class DebugCapture {
 public:
  DebugCapture();
  ~DebugCapture();
  DebugCapture(const DebugCapture&) = delete;
  DebugCapture& operator=(const DebugCapture&) = delete;

  // Lines received so far from process `pid` (0: from every process), in order.
  std::vector<std::string> Lines(DWORD pid = 0) const;
  // Waits until the count of lines from `pid` stops growing for `quietMs`.
  void Settle(DWORD pid = 0, int quietMs = 300) const;
  bool Contains(const std::string& line, DWORD pid = 0) const;
  void Clear();

 private:
  void Run();
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
  std::thread thread_;
};
