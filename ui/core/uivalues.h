// Readers for the value syntax of markup attributes and image attribute strings.
#pragma once
#include <windows.h>

#include <string>
#include <string_view>

// An optional leading '-' and decimal digits, read up to the first other character. Here and
// in sizes and rectangles a number beyond 32 bits stays at the largest (or smallest) one.
int ParseMarkupInt(const wchar_t* text);
// "true", "on", "yes", "ok", "1" and "false", "off", "no", "cancel", "0" (case-sensitive);
// other non-empty text is true, the empty text false.
bool ParseMarkupBool(const wchar_t* text);
// An optional '#', then every letter or digit is one digit in base 16 (letters run on to
// Z = 35), up to the first other character; the value keeps its low 32 bits (0xAARRGGBB).
DWORD ParseMarkupColor(const wchar_t* text);
// Markup sizes and rectangles: every character other than a digit or '-' ends one number,
// an empty number is 0, missing numbers are 0 and a '-' anywhere makes the number negative.
SIZE ParseMarkupSize(const wchar_t* text);
RECT ParseMarkupRect(const wchar_t* text);
// Image attribute rectangles: up to four signed integers separated by runs of any other
// characters; missing numbers are 0.
RECT ParseImageRect(const wchar_t* text);

// A markup colour (0xAARRGGBB) as the GDI colour of its red, green and blue; alpha is dropped.
inline COLORREF ColorRefOf(DWORD argb) {
  return RGB(argb >> 16 & 0xFF, argb >> 8 & 0xFF, argb & 0xFF);
}
