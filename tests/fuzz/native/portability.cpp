// The conversion call of the portability header and the skin file look-ups that the markup
// reader links against (a fuzz target reads no files).
#include <windows.h>

#include <string_view>
#include <vector>

#include "uiresource.h"

namespace {

// Decodes one UTF-8 sequence at bytes[i]; returns the code point or 0xFFFD and advances i.
uint32_t NextCodePoint(const unsigned char* bytes, int size, int& i) {
  unsigned char lead = bytes[i++];
  if (lead < 0x80) return lead;
  int extra = lead >= 0xF0 && lead < 0xF5 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC2 && lead < 0xE0 ? 1 : -1;
  if (lead >= 0xF5 || extra < 0) return 0xFFFD;
  uint32_t value = lead & (0x3F >> extra);
  for (int k = 0; k < extra; ++k) {
    if (i >= size || (bytes[i] & 0xC0) != 0x80) return 0xFFFD;
    value = (value << 6) | (bytes[i++] & 0x3F);
  }
  static const uint32_t kMinimum[] = {0, 0x80, 0x800, 0x10000};
  if (value < kMinimum[extra] || value > 0x10FFFF || (value >= 0xD800 && value < 0xE000)) {
    return 0xFFFD;
  }
  return value;
}

}  // namespace

int MultiByteToWideChar(UINT codePage, DWORD, const char* text, int size, wchar_t* out,
                        int capacity) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(text);
  int units = 0;
  auto put = [&](uint32_t unit) {
    if (out != nullptr && units < capacity) out[units] = static_cast<wchar_t>(unit);
    ++units;
  };
  for (int i = 0; i < size;) {
    if (codePage != CP_UTF8) {
      put(bytes[i++]);
      continue;
    }
    uint32_t value = NextCodePoint(bytes, size, i);
    if (value >= 0x10000) {
      put(0xD800 + ((value - 0x10000) >> 10));
      put(0xDC00 + ((value - 0x10000) & 0x3FF));
    } else {
      put(value);
    }
  }
  return out != nullptr && units > capacity ? 0 : units;
}

SkinFileError ReadSkinMarkupFile(std::wstring_view, std::vector<BYTE>&) {
  return SkinFileError::kOpenFile;
}
