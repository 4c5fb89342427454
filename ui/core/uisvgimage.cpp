#include "svg/svgrender.h"
#include "uiimagedecode.h"

bool DecodeSvgImage(const std::vector<BYTE>& bytes, double scale, std::vector<BYTE>& rgba,
                    int& width, int& height) {
  if (bytes.empty()) return false;
  const char* data = reinterpret_cast<const char*>(bytes.data());
  double documentWidth = 0;
  double documentHeight = 0;
  if (!SvgIntrinsicSize(data, bytes.size(), documentWidth, documentHeight)) return false;
  // The document size is truncated to whole pixels before scaling.
  width = static_cast<int>(static_cast<int>(documentWidth) * scale);
  height = static_cast<int>(static_cast<int>(documentHeight) * scale);
  if (width <= 0 || height <= 0) return false;
  SvgBitmap bitmap;
  if (!RenderSvgToSize(data, bytes.size(), width, height, bitmap)) return false;
  rgba.swap(bitmap.rgba);
  return true;
}
