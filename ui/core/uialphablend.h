// Alpha blending with the system function when it can be found, else in software, and the
// system's layered-window functions.
#pragma once
#include <windows.h>

using AlphaBlendFunction = BOOL(WINAPI*)(HDC, int, int, int, int, HDC, int, int, int, int,
                                         BLENDFUNCTION);
using UpdateLayeredWindowFunction = BOOL(WINAPI*)(HWND, HDC, POINT*, SIZE*, HDC, POINT*,
                                                  COLORREF, BLENDFUNCTION*, DWORD);
using SetLayeredWindowAttributesFunction = BOOL(WINAPI*)(HWND, COLORREF, BYTE, DWORD);

// The system functions, each looked up once at run time; null when the library lacks it.
AlphaBlendFunction SystemAlphaBlend();
UpdateLayeredWindowFunction SystemUpdateLayeredWindow();
SetLayeredWindowAttributesFunction SystemSetLayeredWindowAttributes();

// Source-over blending of a premultiplied 32-bit DIB section's part into dc, stretched to the
// destination size (nearest pixel), with the constant alpha `fade` and the per-pixel alpha.
bool SoftwareAlphaBlend(HDC dc, int x, int y, int width, int height, HBITMAP source, int sx,
                        int sy, int sw, int sh, BYTE fade);
