#include "debugcapture.h"

#include <chrono>

DebugCapture::DebugCapture() {
  mapping_ = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 4096,
                                L"DBWIN_BUFFER");
  view_ = static_cast<const char*>(MapViewOfFile(mapping_, FILE_MAP_READ, 0, 0, 4096));
  bufferReady_ = CreateEventW(nullptr, FALSE, FALSE, L"DBWIN_BUFFER_READY");
  dataReady_ = CreateEventW(nullptr, FALSE, FALSE, L"DBWIN_DATA_READY");
  stop_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  thread_ = std::thread([this] { Run(); });
}

DebugCapture::~DebugCapture() {
  SetEvent(stop_);
  thread_.join();
  UnmapViewOfFile(view_);
  CloseHandle(mapping_);
  CloseHandle(bufferReady_);
  CloseHandle(dataReady_);
  CloseHandle(stop_);
}

void DebugCapture::Run() {
  HANDLE waits[2] = {dataReady_, stop_};
  SetEvent(bufferReady_);
  while (WaitForMultipleObjects(2, waits, FALSE, INFINITE) == WAIT_OBJECT_0) {
    Entry entry;
    entry.pid = *reinterpret_cast<const DWORD*>(view_);
    entry.text.assign(view_ + sizeof(DWORD), strnlen(view_ + sizeof(DWORD), 4096 - sizeof(DWORD)));
    {
      std::lock_guard<std::mutex> lock(mutex_);
      entries_.push_back(std::move(entry));
    }
    SetEvent(bufferReady_);
  }
}

std::vector<std::string> DebugCapture::Lines(DWORD pid) const {
  std::lock_guard<std::mutex> lock(mutex_);
  std::vector<std::string> lines;
  for (const Entry& entry : entries_) {
    if (pid == 0 || entry.pid == pid) lines.push_back(entry.text);
  }
  return lines;
}

void DebugCapture::Settle(DWORD pid, int quietMs) const {
  size_t count = Lines(pid).size();
  for (;;) {
    Sleep(quietMs);
    size_t now = Lines(pid).size();
    if (now == count) return;
    count = now;
  }
}

bool DebugCapture::Contains(const std::string& line, DWORD pid) const {
  for (const std::string& text : Lines(pid)) {
    if (text == line) return true;
  }
  return false;
}

void DebugCapture::Clear() {
  std::lock_guard<std::mutex> lock(mutex_);
  entries_.clear();
}
