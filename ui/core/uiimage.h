// Decoded skin images: a 32-bit top-down DIB section with premultiplied B, G, R, A pixels.
#pragma once
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

struct ImageInfo {
  ImageInfo() = default;
  ~ImageInfo();
  ImageInfo(const ImageInfo&) = delete;
  ImageInfo& operator=(const ImageInfo&) = delete;

  HBITMAP bitmap = nullptr;
  BYTE* bits = nullptr;
  // The pixels as loaded, kept only for images loaded for colour adjustment.
  std::vector<BYTE> originalBits;
  int width = 0;
  int height = 0;
  // True when any pixel is not fully opaque (also set by the mask colour).
  bool alpha = false;
  bool useColourAdjust = false;
  std::wstring resourceType;
  HINSTANCE module = nullptr;
};

// Loads an image by file name through the skin resource lookup, or, with a non-empty type,
// the module resource of that numeric id. Pixels equal to `mask` (0xAARRGGBB, premultiplied)
// become fully transparent. Returns nothing when the data is missing or cannot be decoded.
std::unique_ptr<ImageInfo> LoadSkinImage(const std::wstring& name, const wchar_t* type, DWORD mask,
                                         HINSTANCE module);

// Makes an ImageInfo from straight (not premultiplied) RGBA pixels.
// A 32-bit top-down DIB section of width × height; `bits` receives its pixels.
HBITMAP CreateTopDownDib(HDC dc, int width, int height, void** bits);

std::unique_ptr<ImageInfo> CreateImageFromRgba(const BYTE* rgba, int width, int height, DWORD mask);
