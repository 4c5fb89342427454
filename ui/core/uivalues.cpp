#include "uivalues.h"

#include <cwchar>

namespace {

bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

// Numbers too large for 32 bits stay at the nearest 32-bit value instead of overflowing: a
// skin's digits are not to be trusted.
constexpr long long kMagnitudeLimit = 2147483648LL;

long long AddDigit(long long magnitude, wchar_t digit) {
  magnitude = magnitude * 10 + (digit - L'0');
  return magnitude > kMagnitudeLimit ? kMagnitudeLimit : magnitude;
}

LONG Signed(long long magnitude, bool negative) {
  if (negative) return static_cast<LONG>(-magnitude);
  return static_cast<LONG>(magnitude == kMagnitudeLimit ? kMagnitudeLimit - 1 : magnitude);
}

// Reads `count` numbers of the markup size/rectangle syntax into `out`.
void ParseMarkupNumbers(const wchar_t* text, LONG* out, int count) {
  for (int i = 0; i < count; ++i) out[i] = 0;
  if (text == nullptr) return;
  int index = 0;
  long long value = 0;
  bool negative = false;
  for (const wchar_t* p = text;; ++p) {
    if (IsDigit(*p)) {
      value = AddDigit(value, *p);
    } else if (*p == L'-') {
      negative = true;
    } else {
      out[index++] = Signed(value, negative);
      value = 0;
      negative = false;
      if (*p == 0 || index == count) return;
    }
  }
}

}  // namespace

int ParseMarkupInt(const wchar_t* text) {
  if (text == nullptr) return 0;
  const wchar_t* p = text;
  bool negative = false;
  if (*p == L'-') {
    negative = true;
    ++p;
  }
  long long value = 0;
  while (IsDigit(*p)) value = AddDigit(value, *p++);
  return Signed(value, negative);
}

bool ParseMarkupBool(const wchar_t* text) {
  if (text == nullptr || *text == 0) return false;
  static const wchar_t* const kFalseWords[] = {L"false", L"off", L"no", L"cancel", L"0"};
  for (const wchar_t* word : kFalseWords) {
    if (wcscmp(text, word) == 0) return false;
  }
  return true;
}

DWORD ParseMarkupColor(const wchar_t* text) {
  if (text == nullptr) return 0;
  const wchar_t* p = text;
  if (*p == L'#') ++p;
  DWORD value = 0;
  for (;; ++p) {
    DWORD digit;
    if (IsDigit(*p)) {
      digit = *p - L'0';
    } else if (*p >= L'a' && *p <= L'z') {
      digit = *p - L'a' + 10;
    } else if (*p >= L'A' && *p <= L'Z') {
      digit = *p - L'A' + 10;
    } else {
      break;
    }
    value = value * 16 + digit;
  }
  return value;
}

SIZE ParseMarkupSize(const wchar_t* text) {
  LONG v[2];
  ParseMarkupNumbers(text, v, 2);
  return SIZE{v[0], v[1]};
}

RECT ParseMarkupRect(const wchar_t* text) {
  LONG v[4];
  ParseMarkupNumbers(text, v, 4);
  return RECT{v[0], v[1], v[2], v[3]};
}

RECT ParseImageRect(const wchar_t* text) {
  LONG v[4] = {0, 0, 0, 0};
  const wchar_t* p = text != nullptr ? text : L"";
  for (int i = 0; i < 4 && *p != 0; ++i) {
    while (*p != 0 && !IsDigit(*p) && !(*p == L'-' && IsDigit(p[1]))) ++p;
    if (*p == 0) break;
    bool negative = *p == L'-';
    if (negative) ++p;
    long long value = 0;
    while (IsDigit(*p)) value = AddDigit(value, *p++);
    v[i] = Signed(value, negative);
  }
  return RECT{v[0], v[1], v[2], v[3]};
}
