// Conversions between script text (UTF-8), AString text (thread ANSI code page) and the
// platform's UTF-16. A null source converts to the empty string.
#pragma once
#include <string>
#include <string_view>

std::wstring Utf8ToWide(const char* text);
std::wstring Utf8ToWide(const char* text, size_t length);
std::string WideToUtf8(const wchar_t* text);
std::string WideToUtf8(const std::wstring& text);
std::wstring AnsiToWide(const char* text);
std::wstring AnsiToWide(const char* text, size_t length);
std::string WideToAnsi(const wchar_t* text);
std::string WideToAnsi(const std::wstring& text);
// Replaces every occurrence of `from` (searching on after each replacement).
void ReplaceAll(std::wstring& text, std::wstring_view from, std::wstring_view to);
// The system ANSI code page (CP_ACP), used for paths handed to 8-bit file functions.
std::string WideToSystemAnsi(const wchar_t* text);
