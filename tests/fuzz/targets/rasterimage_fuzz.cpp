// The raster decoder of skin images (PNG, JPEG, BMP, GIF through stb_image).
#include <vector>

#include "uiimagedecode.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<BYTE> bytes(data, data + size);
  std::vector<BYTE> rgba;
  int width = 0;
  int height = 0;
  if (DecodeRasterImage(bytes, rgba, width, height)) {
    volatile size_t sink = rgba.size() + width + height;
    (void)sink;
  }
  return 0;
}
