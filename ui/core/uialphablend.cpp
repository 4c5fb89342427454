#include "uialphablend.h"

#include <vector>

#include "procaddress.h"
#include "safelibrary.h"
#include "uimemorybitmap.h"

AlphaBlendFunction SystemAlphaBlend() {
  static const AlphaBlendFunction function =
      LookUpFunction<AlphaBlendFunction>(LoadSystemLibrary(L"msimg32.dll"), "AlphaBlend");
  return function;
}

UpdateLayeredWindowFunction SystemUpdateLayeredWindow() {
  static const UpdateLayeredWindowFunction function = LookUpFunction<UpdateLayeredWindowFunction>(
      GetModuleHandleW(L"user32.dll"), "UpdateLayeredWindow");
  return function;
}

SetLayeredWindowAttributesFunction SystemSetLayeredWindowAttributes() {
  static const SetLayeredWindowAttributesFunction function =
      LookUpFunction<SetLayeredWindowAttributesFunction>(GetModuleHandleW(L"user32.dll"),
                                                         "SetLayeredWindowAttributes");
  return function;
}

bool SoftwareAlphaBlend(HDC dc, int x, int y, int width, int height, HBITMAP source, int sx,
                        int sy, int sw, int sh, BYTE fade) {
  if (width <= 0 || height <= 0 || sw <= 0 || sh <= 0) return false;
  DIBSECTION section = {};
  if (GetObjectW(source, sizeof section, &section) != sizeof section ||
      section.dsBm.bmBits == nullptr || section.dsBm.bmBitsPixel != 32) {
    return false;
  }
  const int sourceWidth = section.dsBm.bmWidth;
  const int sourceHeight = section.dsBm.bmHeight;
  if (sx < 0 || sy < 0 || sx + sw > sourceWidth || sy + sh > sourceHeight) return false;
  // Top-down sections have a negative height in their header: row 0 is the top row.
  const bool topDown = section.dsBmih.biHeight < 0;
  const BYTE* sourceBits = static_cast<const BYTE*>(section.dsBm.bmBits);

  MemoryBitmap buffer(dc, width, height);
  if (!buffer.Valid()) return false;
  BitBlt(buffer.Dc(), 0, 0, width, height, dc, x, y, SRCCOPY);
  GdiFlush();
  BYTE* target = reinterpret_cast<BYTE*>(buffer.Bits());
  for (int row = 0; row < height; ++row) {
    int sourceRow = sy + row * sh / height;
    if (!topDown) sourceRow = sourceHeight - 1 - sourceRow;
    const BYTE* sourceLine = sourceBits + static_cast<size_t>(sourceRow) * sourceWidth * 4;
    BYTE* targetLine = target + static_cast<size_t>(row) * width * 4;
    for (int column = 0; column < width; ++column) {
      const BYTE* s = sourceLine + (sx + column * sw / width) * 4;
      BYTE* t = targetLine + column * 4;
      int alpha = s[3] * fade / 255;
      for (int c = 0; c < 3; ++c) t[c] = static_cast<BYTE>(s[c] * fade / 255 + t[c] * (255 - alpha) / 255);
      t[3] = static_cast<BYTE>(alpha + t[3] * (255 - alpha) / 255);
    }
  }
  BitBlt(dc, x, y, width, height, buffer.Dc(), 0, 0, SRCCOPY);
  return true;
}
