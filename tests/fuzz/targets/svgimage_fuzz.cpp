// The SVG renderer as skin images reach it: the first byte chooses 100 % or 200 %.
#include <vector>

#include "uiimagedecode.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const double scale = data[0] % 2 == 0 ? 1.0 : 2.0;
  std::vector<BYTE> bytes(data + 1, data + size);
  std::vector<BYTE> rgba;
  int width = 0;
  int height = 0;
  if (DecodeSvgImage(bytes, scale, rgba, width, height)) {
    volatile size_t sink = rgba.size() + width + height;
    (void)sink;
  }
  return 0;
}
