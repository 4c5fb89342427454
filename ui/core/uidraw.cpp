#include "uidraw.h"

#include <algorithm>
#include <vector>

#include "uialphablend.h"
#include "uigdiselection.h"
#include "uimemorybitmap.h"
#include "uivalues.h"

namespace {

BYTE Alpha(DWORD color) { return static_cast<BYTE>(color >> 24); }

// 0xAARRGGBB as a premultiplied B, G, R, A pixel.
DWORD Premultiplied(DWORD color) {
  DWORD a = Alpha(color);
  DWORD r = (color >> 16 & 0xFF) * a / 255;
  DWORD g = (color >> 8 & 0xFF) * a / 255;
  DWORD b = (color & 0xFF) * a / 255;
  return a << 24 | r << 16 | g << 8 | b;
}

// Blends a premultiplied top-down pixel block over dc at (x, y), stretched to width × height.
void BlendBlock(HDC dc, int x, int y, int width, int height, const std::vector<DWORD>& pixels,
                int blockWidth, int blockHeight) {
  if (width <= 0 || height <= 0) return;
  MemoryBitmap block(dc, blockWidth, blockHeight);
  if (!block.Valid()) return;
  std::copy(pixels.begin(), pixels.end(), block.Bits());
  AlphaBlendFunction alphaBlend = SystemAlphaBlend();
  if (alphaBlend != nullptr) {
    BLENDFUNCTION function = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    alphaBlend(dc, x, y, width, height, block.Dc(), 0, 0, blockWidth, blockHeight, function);
  } else {
    SoftwareAlphaBlend(dc, x, y, width, height, block.Bitmap(), 0, 0, blockWidth, blockHeight,
                       255);
  }
}

}  // namespace

void DrawColor(HDC dc, const RECT& rect, DWORD color) {
  if (Alpha(color) == 0) return;
  BlendBlock(dc, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
             {Premultiplied(color)}, 1, 1);
}

void DrawGradient(HDC dc, const RECT& rect, DWORD first, DWORD second, bool vertical) {
  const int width = rect.right - rect.left;
  const int height = rect.bottom - rect.top;
  const int steps = vertical ? height : width;
  if (width <= 0 || height <= 0) return;
  // One pixel across, one step per pixel along the gradient, stretched across.
  std::vector<DWORD> pixels(steps);
  for (int i = 0; i < steps; ++i) {
    DWORD mixed = 0;
    for (int shift = 0; shift < 32; shift += 8) {
      int a = first >> shift & 0xFF;
      int b = second >> shift & 0xFF;
      int value = steps > 1 ? a + (b - a) * i / (steps - 1) : a;
      mixed |= static_cast<DWORD>(value) << shift;
    }
    pixels[i] = Premultiplied(mixed);
  }
  if (vertical) {
    BlendBlock(dc, rect.left, rect.top, width, height, pixels, 1, steps);
  } else {
    BlendBlock(dc, rect.left, rect.top, width, height, pixels, steps, 1);
  }
}

void DrawRect(HDC dc, const RECT& rect, int size, DWORD color, int style) {
  if (size <= 0) return;
  if (style == PS_SOLID) {
    DrawColor(dc, RECT{rect.left, rect.top, rect.right, rect.top + size}, color);
    DrawColor(dc, RECT{rect.left, rect.bottom - size, rect.right, rect.bottom}, color);
    DrawColor(dc, RECT{rect.left, rect.top + size, rect.left + size, rect.bottom - size}, color);
    DrawColor(dc, RECT{rect.right - size, rect.top + size, rect.right, rect.bottom - size}, color);
    return;
  }
  GdiSelection pen(dc, CreatePen(style, size, ColorRefOf(color)), GdiSelection::kOwned);
  GdiSelection noBrush(dc, GetStockObject(NULL_BRUSH));
  Rectangle(dc, rect.left, rect.top, rect.right, rect.bottom);
}

void DrawRoundRect(HDC dc, const RECT& rect, int width, int height, int size, DWORD color,
                   int style) {
  if (size <= 0 || Alpha(color) == 0) return;
  GdiSelection pen(dc, CreatePen(style, size, ColorRefOf(color)), GdiSelection::kOwned);
  GdiSelection noBrush(dc, GetStockObject(NULL_BRUSH));
  RoundRect(dc, rect.left, rect.top, rect.right, rect.bottom, width, height);
}

void FillRoundRect(HDC dc, const RECT& rect, int width, int height, DWORD color) {
  CRenderClip clip(dc, rect, rect, width, height);
  DrawColor(dc, rect, color);
}

CRenderClip::CRenderClip(HDC dc, const RECT& rect) : dc_(dc) {
  Narrow(CreateRectRgnIndirect(&rect));
}

CRenderClip::CRenderClip(HDC dc, const RECT& rect, const RECT& item, int width, int height)
    : dc_(dc) {
  HRGN region = CreateRectRgnIndirect(&rect);
  HRGN round = CreateRoundRectRgn(item.left, item.top, item.right + 1, item.bottom + 1, width,
                                  height);
  CombineRgn(region, region, round, RGN_AND);
  DeleteObject(round);
  Narrow(region);
}

void CRenderClip::Narrow(HRGN region) {
  old_ = CreateRectRgn(0, 0, 0, 0);
  hadRegion_ = GetClipRgn(dc_, old_) == 1;
  ExtSelectClipRgn(dc_, region, hadRegion_ ? RGN_AND : RGN_COPY);
  DeleteObject(region);
}

CRenderClip::~CRenderClip() {
  SelectClipRgn(dc_, hadRegion_ ? old_ : nullptr);
  DeleteObject(old_);
}
