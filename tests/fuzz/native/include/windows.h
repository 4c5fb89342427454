// The few Windows types and the one conversion call that the natively fuzzed parsers use, so
// that they build for Linux with clang and the sanitizers. wchar_t has 32 bits here; the
// targets feed it UTF-16 code units only, as on Windows.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cwchar>

using BYTE = uint8_t;
using WORD = uint16_t;
using DWORD = uint32_t;
using UINT = unsigned int;
using LONG = int32_t;
using BOOL = int;
using COLORREF = DWORD;

struct HINSTANCE__;
using HINSTANCE = HINSTANCE__*;

struct SIZE {
  LONG cx;
  LONG cy;
};
struct RECT {
  LONG left;
  LONG top;
  LONG right;
  LONG bottom;
};

constexpr UINT CP_ACP = 0;
constexpr UINT CP_UTF8 = 65001;

constexpr COLORREF RGB(BYTE red, BYTE green, BYTE blue) {
  return red | static_cast<COLORREF>(green) << 8 | static_cast<COLORREF>(blue) << 16;
}

// UTF-8 (ill-formed sequences become U+FFFD) or, for CP_ACP, one unit per byte. With a null
// output it returns the count of units needed.
int MultiByteToWideChar(UINT codePage, DWORD flags, const char* bytes, int size, wchar_t* out,
                        int capacity);
