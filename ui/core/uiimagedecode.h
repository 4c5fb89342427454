// Decoders that turn skin image bytes into straight 8-bit RGBA pixels.
#pragma once
#include <windows.h>

#include <vector>

// PNG, JPEG, BMP, GIF (first frame) and the other formats of the raster decoder. Images with
// a side longer than 8192 pixels are refused, and so are PNGs of more than 4096 x 4096 pixels.
bool DecodeRasterImage(const std::vector<BYTE>& bytes, std::vector<BYTE>& rgba, int& width,
                       int& height);
// An SVG document rendered at its size times `scale` on a transparent background.
bool DecodeSvgImage(const std::vector<BYTE>& bytes, double scale, std::vector<BYTE>& rgba,
                    int& width, int& height);
