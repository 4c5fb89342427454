#include "stringconv.h"

#include <windows.h>

#include <cstring>
#include <new>

namespace {

std::wstring MultiToWide(UINT codePage, const char* text, size_t length) {
  if (text == nullptr || length == 0) return std::wstring();
  if (length > 0x7FFFFFFF) throw std::bad_alloc();
  int count = MultiByteToWideChar(codePage, 0, text, static_cast<int>(length), nullptr, 0);
  if (count <= 0) return std::wstring();
  std::wstring result(static_cast<size_t>(count), L'\0');
  MultiByteToWideChar(codePage, 0, text, static_cast<int>(length), &result[0], count);
  return result;
}

std::string WideToMulti(UINT codePage, const wchar_t* text, size_t length) {
  if (text == nullptr || length == 0) return std::string();
  if (length > 0x7FFFFFFF) throw std::bad_alloc();
  int count = WideCharToMultiByte(codePage, 0, text, static_cast<int>(length), nullptr, 0,
                                  nullptr, nullptr);
  if (count <= 0) return std::string();
  std::string result(static_cast<size_t>(count), '\0');
  WideCharToMultiByte(codePage, 0, text, static_cast<int>(length), &result[0], count, nullptr,
                      nullptr);
  return result;
}

}  // namespace

std::wstring Utf8ToWide(const char* text) {
  return text ? MultiToWide(CP_UTF8, text, std::strlen(text)) : std::wstring();
}

std::wstring Utf8ToWide(const char* text, size_t length) {
  return MultiToWide(CP_UTF8, text, length);
}

std::string WideToUtf8(const wchar_t* text) {
  return text ? WideToMulti(CP_UTF8, text, wcslen(text)) : std::string();
}

std::string WideToUtf8(const std::wstring& text) {
  return WideToMulti(CP_UTF8, text.data(), text.size());
}

std::wstring AnsiToWide(const char* text) {
  return text ? MultiToWide(CP_THREAD_ACP, text, std::strlen(text)) : std::wstring();
}

std::wstring AnsiToWide(const char* text, size_t length) {
  return MultiToWide(CP_THREAD_ACP, text, length);
}

std::string WideToAnsi(const wchar_t* text) {
  return text ? WideToMulti(CP_THREAD_ACP, text, wcslen(text)) : std::string();
}

std::string WideToAnsi(const std::wstring& text) {
  return WideToMulti(CP_THREAD_ACP, text.data(), text.size());
}

std::string WideToSystemAnsi(const wchar_t* text) {
  return text ? WideToMulti(CP_ACP, text, wcslen(text)) : std::string();
}

void ReplaceAll(std::wstring& text, std::wstring_view from, std::wstring_view to) {
  if (from.empty()) return;
  for (size_t at = text.find(from); at != std::wstring::npos; at = text.find(from, at + to.size())) {
    text.replace(at, from.size(), to);
  }
}
