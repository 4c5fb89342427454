#include "debugcapture.h"

#include "debugoutput.h"
#include "stringconv.h"

namespace {

constexpr DWORD kDebugPrint = 0x40010006;      // DBG_PRINTEXCEPTION_C
constexpr DWORD kDebugPrintWide = 0x4001000A;  // DBG_PRINTEXCEPTION_WIDE_C
DebugCapture* g_activeCapture = nullptr;

}  // namespace

LONG CALLBACK DebugCapture::OnException(EXCEPTION_POINTERS* pointers) {
  DWORD code = pointers->ExceptionRecord->ExceptionCode;
  return code == kDebugPrint || code == kDebugPrintWide ? EXCEPTION_CONTINUE_EXECUTION
                                                        : EXCEPTION_CONTINUE_SEARCH;
}

void DebugCapture::InstallProcessHandler() {
  static PVOID handler = AddVectoredExceptionHandler(1, &DebugCapture::OnException);
  (void)handler;
}

void DebugCapture::OnLine(const wchar_t* line) {
  DebugCapture* capture = g_activeCapture;
  if (capture == nullptr) return;
  {
    std::lock_guard<std::mutex> lock(capture->mutex_);
    capture->wideLines_.push_back(line);
  }
  capture->Add(GetCurrentProcessId(), WideToSystemAnsi(line));
}

void DebugCapture::Add(DWORD pid, std::string text) {
  std::lock_guard<std::mutex> lock(mutex_);
  entries_.push_back(Entry{pid, std::move(text)});
}

DebugCapture::DebugCapture(Scope scope) {
  g_activeCapture = this;
  SetDebugLineSink(&DebugCapture::OnLine);
  if (scope == Scope::kThisProcess) return;
  mapping_ = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 4096,
                                L"DBWIN_BUFFER");
  view_ = static_cast<const char*>(MapViewOfFile(mapping_, FILE_MAP_READ, 0, 0, 4096));
  bufferReady_ = CreateEventW(nullptr, FALSE, FALSE, L"DBWIN_BUFFER_READY");
  dataReady_ = CreateEventW(nullptr, FALSE, FALSE, L"DBWIN_DATA_READY");
  stop_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  thread_ = std::thread([this] { RunMonitor(); });
}

DebugCapture::~DebugCapture() {
  SetDebugLineSink(nullptr);
  g_activeCapture = nullptr;
  if (!thread_.joinable()) return;
  SetEvent(stop_);
  thread_.join();
  UnmapViewOfFile(view_);
  CloseHandle(mapping_);
  CloseHandle(bufferReady_);
  CloseHandle(dataReady_);
  CloseHandle(stop_);
}

void DebugCapture::RunMonitor() {
  HANDLE waits[2] = {dataReady_, stop_};
  SetEvent(bufferReady_);
  while (WaitForMultipleObjects(2, waits, FALSE, INFINITE) == WAIT_OBJECT_0) {
    DWORD pid = *reinterpret_cast<const DWORD*>(view_);
    const char* text = view_ + sizeof(DWORD);
    // Lines of this process already came through the sink.
    if (pid != GetCurrentProcessId()) Add(pid, std::string(text, strnlen(text, 4096 - sizeof(DWORD))));
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

std::vector<std::wstring> DebugCapture::WideLines() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return wideLines_;
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
  wideLines_.clear();
}
