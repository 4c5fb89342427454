// Drawing primitives of the controls: colour fills, gradients, lines and borders, and the
// clipping regions of a control's painting. Colours are 0xAARRGGBB. Fills are alpha-blended,
// so that the pixels of an off-screen bitmap carry the colour's alpha (a layered window shows
// them as drawn); a colour whose alpha is 0 draws nothing.
#pragma once
#include <windows.h>

void DrawColor(HDC dc, const RECT& rect, DWORD color);
// A two-colour gradient, top to bottom when vertical, else left to right.
void DrawGradient(HDC dc, const RECT& rect, DWORD first, DWORD second, bool vertical);
// A rectangle outline `size` pixels wide inside rect; style is a pen style (PS_SOLID draws
// with colour fills, the others with a pen).
void DrawRect(HDC dc, const RECT& rect, int size, DWORD color, int style = PS_SOLID);
// A rounded rectangle outline with the ellipse size width × height.
void DrawRoundRect(HDC dc, const RECT& rect, int width, int height, int size, DWORD color,
                   int style = PS_SOLID);
// A colour fill inside the rounded rectangle.
void FillRoundRect(HDC dc, const RECT& rect, int width, int height, DWORD color);

// Narrows the clipping region of a device context for the life of the object and restores
// the previous region afterwards.
class CRenderClip {
 public:
  // Clips to rect.
  CRenderClip(HDC dc, const RECT& rect);
  // Clips to rect and, inside it, to the rounded rectangle of item with the ellipse size.
  CRenderClip(HDC dc, const RECT& rect, const RECT& item, int width, int height);
  ~CRenderClip();
  CRenderClip(const CRenderClip&) = delete;
  CRenderClip& operator=(const CRenderClip&) = delete;

 private:
  void Narrow(HRGN region);

  HDC dc_;
  HRGN old_ = nullptr;
  bool hadRegion_ = false;
};
