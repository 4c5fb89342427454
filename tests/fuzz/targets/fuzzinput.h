// Turning a fuzz input into the values a parser takes.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

// Little-endian UTF-16 code units, as Windows holds text (an odd last byte is dropped).
inline std::wstring Utf16Units(const uint8_t* data, size_t size) {
  std::wstring text(size / 2, L'\0');
  for (size_t i = 0; i < text.size(); ++i) {
    text[i] = static_cast<wchar_t>(data[2 * i] | (data[2 * i + 1] << 8));
  }
  return text;
}

// The same text up to its first zero unit, for parsers of zero-terminated text.
inline std::wstring Utf16Text(const uint8_t* data, size_t size) {
  std::wstring text = Utf16Units(data, size);
  return text.substr(0, text.find(L'\0'));
}
