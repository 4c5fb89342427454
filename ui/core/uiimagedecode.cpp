#include "uiimagedecode.h"

#include <algorithm>
#include <cstdint>

#define STB_IMAGE_IMPLEMENTATION
#define STBI_NO_STDIO
// A skin image is window-sized or a strip of a few frames, at 200 % at the most: a file that
// declares a side longer than this is refused before the decoder allocates for it (the
// decoder's own limit, 2^24, lets a hostile header ask for gigabytes).
#define STBI_MAX_DIMENSIONS 8192
#include <stb/stb_image.h>

namespace {

// The raster decoder (stb_image 2.27) builds a JPEG Huffman table from the code counts of a
// DHT segment without checking that they add up to at most 256 symbols, and writes past the
// table when they do not. Such a file is refused before it is decoded: every DHT segment, also
// those between the scans of a progressive JPEG, is checked.
bool JpegHuffmanTablesFit(const std::vector<BYTE>& bytes) {
  const size_t size = bytes.size();
  // The decoder takes fill bytes (0xFF) before the start-of-image marker too.
  if (size < 2 || bytes[0] != 0xFF) return true;
  size_t p = 0;
  while (p + 1 < size) {
    if (bytes[p] != 0xFF) {  // entropy-coded data of a scan: on to the next marker
      ++p;
      continue;
    }
    const BYTE marker = bytes[p + 1];
    p += 2;
    if (marker == 0xFF) {  // fill byte
      --p;
      continue;
    }
    if (marker == 0x00 || marker == 0x01 || (marker >= 0xD0 && marker <= 0xD8)) continue;
    if (marker == 0xD9 || p + 2 > size) return true;
    const size_t length = (bytes[p] << 8) | bytes[p + 1];
    const size_t end = p + length;
    if (marker == 0xC4) {
      size_t q = p + 2;
      // The decoder reads zeros past the end of the data, so a table cut short still counts.
      while (q < end && q < size) {
        size_t symbols = 0;
        for (size_t i = 1; i <= 16 && q + i < size; ++i) symbols += bytes[q + i];
        if (symbols > 256) return false;
        q += 17 + symbols;
      }
    }
    p = end;
  }
  return true;
}

uint32_t BigEndian32(const BYTE* p) {
  return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | p[3];
}

// The decoder grows its buffer to a PNG chunk's declared length before it reads the chunk, so
// a chunk that claims more bytes than the file holds is refused first; so is a PNG of more
// than 4096 x 4096 pixels (its raw rows take up to 8 bytes a pixel).
bool PngChunksFit(const std::vector<BYTE>& bytes) {
  static const BYTE kSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
  const size_t size = bytes.size();
  if (size < 8 || !std::equal(kSignature, kSignature + 8, bytes.begin())) return true;
  constexpr uint64_t kMaxPixels = 4096 * 4096;
  for (size_t p = 8; p + 8 <= size;) {
    const uint64_t length = BigEndian32(&bytes[p]);
    if (length + 12 > size - p) return false;
    const BYTE* type = &bytes[p + 4];
    if (std::equal(type, type + 4, "IHDR") && length >= 8 &&
        uint64_t{BigEndian32(type + 4)} * BigEndian32(type + 8) > kMaxPixels) {
      return false;
    }
    if (std::equal(type, type + 4, "IEND")) return true;
    p += 12 + static_cast<size_t>(length);
  }
  return true;
}

}  // namespace

bool DecodeRasterImage(const std::vector<BYTE>& bytes, std::vector<BYTE>& rgba, int& width,
                       int& height) {
  if (bytes.empty() || bytes.size() > 0x7FFFFFFF) return false;
  if (!JpegHuffmanTablesFit(bytes) || !PngChunksFit(bytes)) return false;
  int components = 0;
  stbi_uc* pixels = stbi_load_from_memory(bytes.data(), static_cast<int>(bytes.size()), &width,
                                          &height, &components, 4);
  if (pixels == nullptr) return false;
  rgba.assign(pixels, pixels + static_cast<size_t>(width) * height * 4);
  stbi_image_free(pixels);
  return true;
}
