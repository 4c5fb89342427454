// Drawing skin images into a device context: destination rules of image attribute strings,
// alpha blending, fade, nine-grid corners, holes and tiling.
#pragma once
#include <windows.h>

#include <string>

#include "uidrawinfo.h"

class CSkinResources;

// Draws an image attribute string (and its modify string) for a control at itemRect.
// True when drawn or when nothing needed drawing; false without image name or image.
bool DrawImageString(HDC dc, CSkinResources* manager, const RECT& itemRect, const RECT& paintRect,
                     const std::wstring& drawing, const std::wstring& modify = std::wstring());
bool DrawImageInfo(HDC dc, CSkinResources* manager, const RECT& itemRect, const RECT& paintRect,
                   const DrawInfo* info);

// The destination of an image inside itemRect: all-zero dest fills it; a negative right or
// bottom anchors the rectangle to the right or bottom edge.
RECT ImageDestination(const RECT& itemRect, const RECT& dest);

// Draws `source` of the bitmap into `dest` split by the nine-grid `corner`; only parts that
// meet paintRect are drawn.
void DrawImage(HDC dc, HBITMAP bitmap, const RECT& dest, const RECT& paintRect, const RECT& source,
               const RECT& corner, bool alpha, BYTE fade = 255, bool hole = false,
               bool xTiled = false, bool yTiled = false);
