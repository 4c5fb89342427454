// Alpha blending with the system function when it can be found, else in software.
#pragma once
#include <windows.h>

using AlphaBlendFunction = BOOL(WINAPI*)(HDC, int, int, int, int, HDC, int, int, int, int,
                                         BLENDFUNCTION);

// The system AlphaBlend, looked up once at run time; null when the library lacks it.
AlphaBlendFunction SystemAlphaBlend();

// Source-over blending of a premultiplied 32-bit DIB section's part into dc, stretched to the
// destination size (nearest pixel), with the constant alpha `fade` and the per-pixel alpha.
bool SoftwareAlphaBlend(HDC dc, int x, int y, int width, int height, HBITMAP source, int sx,
                        int sy, int sw, int sh, BYTE fade);
