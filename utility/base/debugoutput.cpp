#include "debugoutput.h"

#include <windows.h>

#include <cstdarg>
#include <cstdio>
#include <cwchar>

namespace {

constexpr wchar_t kPrefix[] = L"vd ";
constexpr size_t kPrefixUnits = 3;

void EmitLine(const wchar_t* format, va_list args) {
  wchar_t buffer[kDebugLineUnits];
  wcscpy(buffer, kPrefix);
  // _vsnwprintf is the Microsoft formatter (%s = wide); it may leave the text unterminated
  // when it is cut, so the last unit is always set.
  _vsnwprintf(buffer + kPrefixUnits, kDebugLineUnits - kPrefixUnits - 1, format, args);
  buffer[kDebugLineUnits - 1] = L'\0';
  OutputDebugStringW(buffer);
}

void Emit(const wchar_t* format, ...) {
  va_list args;
  va_start(args, format);
  EmitLine(format, args);
  va_end(args);
}

}  // namespace

void DebugLine(const wchar_t* format, ...) {
  DWORD lastError = GetLastError();
  va_list args;
  va_start(args, format);
  EmitLine(format, args);
  va_end(args);
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
