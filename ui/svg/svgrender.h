// The UI toolkit's SVG renderer: turns an SVG document into straight (non-premultiplied) RGBA
// pixels on a transparent background.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

struct SvgBitmap {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> rgba;  // width * height * 4 bytes, row by row from the top
};

// Reads the document's intrinsic size in pixels (its width and height, or its viewBox size
// when those are missing or relative). False when the data is not an SVG document.
bool SvgIntrinsicSize(const char* data, size_t size, double& width, double& height);

// Renders at `scale` times the intrinsic size; the bitmap is that size rounded up.
bool RenderSvg(const char* data, size_t size, double scale, SvgBitmap& out);

// Renders the document stretched to exactly width x height pixels.
bool RenderSvgToSize(const char* data, size_t size, int width, int height, SvgBitmap& out);
