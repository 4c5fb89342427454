#include "svg/svgrender.h"

#include <cmath>

#include "svg/svgdocument.h"

namespace {

// Bitmaps larger than this many pixels are refused rather than allocated.
constexpr double kMaxPixels = 64.0 * 1024 * 1024;

}  // namespace

bool SvgIntrinsicSize(const char* data, size_t size, double& width, double& height) {
  svg::Document doc;
  if (!doc.Load(data, size)) return false;
  width = doc.Width();
  height = doc.Height();
  return true;
}

bool RenderSvgToSize(const char* data, size_t size, int width, int height, SvgBitmap& out) {
  if (width <= 0 || height <= 0 || static_cast<double>(width) * height > kMaxPixels) {
    return false;
  }
  svg::Document doc;
  if (!doc.Load(data, size)) return false;
  svg::Canvas canvas(width, height);
  doc.Render(canvas, svg::Matrix::Scale(width / doc.Width(), height / doc.Height()));
  out.width = width;
  out.height = height;
  out.rgba = canvas.ToStraightRgba();
  return true;
}

bool RenderSvg(const char* data, size_t size, double scale, SvgBitmap& out) {
  svg::Document doc;
  if (!(scale > 0) || !doc.Load(data, size)) return false;
  double w = std::ceil(doc.Width() * scale - 1e-6), h = std::ceil(doc.Height() * scale - 1e-6);
  if (w < 1 || h < 1 || w * h > kMaxPixels) return false;
  svg::Canvas canvas(static_cast<int>(w), static_cast<int>(h));
  doc.Render(canvas, svg::Matrix::Scale(scale, scale));
  out.width = canvas.Width();
  out.height = canvas.Height();
  out.rgba = canvas.ToStraightRgba();
  return true;
}
