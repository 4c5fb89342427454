#include "uiimagedecode.h"

#define STB_IMAGE_IMPLEMENTATION
#define STBI_NO_STDIO
#include <stb/stb_image.h>

bool DecodeRasterImage(const std::vector<BYTE>& bytes, std::vector<BYTE>& rgba, int& width,
                       int& height) {
  if (bytes.empty() || bytes.size() > 0x7FFFFFFF) return false;
  int components = 0;
  stbi_uc* pixels = stbi_load_from_memory(bytes.data(), static_cast<int>(bytes.size()), &width,
                                          &height, &components, 4);
  if (pixels == nullptr) return false;
  rgba.assign(pixels, pixels + static_cast<size_t>(width) * height * 4);
  stbi_image_free(pixels);
  return true;
}
