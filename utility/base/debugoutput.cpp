#include "debugoutput.h"

#include <windows.h>

#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <string>

namespace {

constexpr wchar_t kPrefix[] = L"vd ";
constexpr size_t kPrefixUnits = 3;
constexpr DWORD kMonitorBufferSize = 4096;

std::atomic<DebugLineSink> g_sink{nullptr};

// Hands a line to a debug-output monitor through the "DBWIN" buffer, the way
// OutputDebugString does when no debugger is attached. Returns false without a monitor.
bool SendToMonitor(const wchar_t* line) {
  HANDLE bufferReady = OpenEventW(SYNCHRONIZE, FALSE, L"DBWIN_BUFFER_READY");
  if (bufferReady == nullptr) return false;
  HANDLE dataReady = OpenEventW(EVENT_MODIFY_STATE, FALSE, L"DBWIN_DATA_READY");
  HANDLE mapping = OpenFileMappingW(FILE_MAP_WRITE, FALSE, L"DBWIN_BUFFER");
  void* view = mapping ? MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, 0) : nullptr;
  HANDLE mutex = CreateMutexW(nullptr, FALSE, L"DBWinMutex");
  if (dataReady && view && mutex) {
    std::string text(kMonitorBufferSize, '\0');
    int length = WideCharToMultiByte(CP_ACP, 0, line, -1, &text[0],
                                     kMonitorBufferSize - sizeof(DWORD), nullptr, nullptr);
    if (length <= 0) length = 1;
    text[length - 1] = '\0';
    WaitForSingleObject(mutex, INFINITE);
    if (WaitForSingleObject(bufferReady, 10000) == WAIT_OBJECT_0) {
      auto* buffer = static_cast<char*>(view);
      DWORD pid = GetCurrentProcessId();
      memcpy(buffer, &pid, sizeof(pid));
      memcpy(buffer + sizeof(pid), text.data(), static_cast<size_t>(length));
      SetEvent(dataReady);
    }
    ReleaseMutex(mutex);
  }
  if (mutex) CloseHandle(mutex);
  if (view) UnmapViewOfFile(view);
  if (mapping) CloseHandle(mapping);
  if (dataReady) CloseHandle(dataReady);
  CloseHandle(bufferReady);
  return true;
}

// A debugger receives the line through OutputDebugStringW; otherwise a debug-output monitor
// gets it directly. The debug-print exception is raised only for a debugger: without one it
// has no receiver, and raising exceptions while other threads wait is not reliable under the
// emulation that runs the tests.
void Deliver(const wchar_t* line) {
  if (DebugLineSink sink = g_sink.load()) sink(line);
  if (IsDebuggerPresent()) {
    OutputDebugStringW(line);
  } else {
    SendToMonitor(line);
  }
}

void EmitLine(const wchar_t* format, va_list args) {
  wchar_t buffer[kDebugLineUnits];
  wcscpy(buffer, kPrefix);
  // _vsnwprintf is the Microsoft formatter (%s = wide); it may leave the text unterminated
  // when it is cut, so the last unit is always set.
  _vsnwprintf(buffer + kPrefixUnits, kDebugLineUnits - kPrefixUnits - 1, format, args);
  buffer[kDebugLineUnits - 1] = L'\0';
  Deliver(buffer);
}

void Emit(const wchar_t* format, ...) {
  va_list args;
  va_start(args, format);
  EmitLine(format, args);
  va_end(args);
}

}  // namespace

void SetDebugLineSink(DebugLineSink sink) { g_sink.store(sink); }

void DebugLine(const wchar_t* format, ...) {
  DWORD lastError = GetLastError();
  va_list args;
  va_start(args, format);
  EmitLine(format, args);
  va_end(args);
  SetLastError(lastError);
}

void DebugText(const wchar_t* text) {
  DWORD lastError = GetLastError();
  wchar_t buffer[kDebugLineUnits];
  wcsncpy(buffer, text, kDebugLineUnits - 1);
  buffer[kDebugLineUnits - 1] = L'\0';
  Deliver(buffer);
  SetLastError(lastError);
}

void DebugFailureReport(const wchar_t* sourceFile, int sourceLine) {
  DWORD lastError = GetLastError();
  Emit(L"file:%s\r\n", sourceFile);
  Emit(L"line:%d\r\n", sourceLine);
  Emit(L"err:%d\r\n", static_cast<int>(lastError));
  SetLastError(lastError);
}

void DebugJoinedFailureReport(const wchar_t* message, const wchar_t* sourceFile, int sourceLine) {
  DWORD lastError = GetLastError();
  Emit(L"%svd file:%s\r\n", message, sourceFile);
  Emit(L"%svd line:%d\r\n", message, sourceLine);
  Emit(L"%svd err:%d\r\n", message, static_cast<int>(lastError));
  SetLastError(lastError);
}
