// A 32-bit top-down DIB selected into a memory device context for the life of the object,
// cleared to transparent black.
#pragma once
#include <windows.h>

#include <algorithm>

#include "uiimage.h"

class MemoryBitmap {
 public:
  MemoryBitmap(HDC reference, int width, int height) : size_{width, height} {
    dc_ = CreateCompatibleDC(reference);
    void* bits = nullptr;
    bitmap_ = CreateTopDownDib(reference, width, height, &bits);
    bits_ = static_cast<DWORD*>(bits);
    if (dc_ != nullptr && bitmap_ != nullptr) {
      old_ = SelectObject(dc_, bitmap_);
      std::fill(bits_, bits_ + static_cast<size_t>(width) * height, 0);
    }
  }
  ~MemoryBitmap() {
    if (old_ != nullptr) SelectObject(dc_, old_);
    if (bitmap_ != nullptr) DeleteObject(bitmap_);
    if (dc_ != nullptr) DeleteDC(dc_);
  }
  MemoryBitmap(const MemoryBitmap&) = delete;
  MemoryBitmap& operator=(const MemoryBitmap&) = delete;
  bool Valid() const { return old_ != nullptr; }
  HDC Dc() const { return dc_; }
  HBITMAP Bitmap() const { return bitmap_; }
  DWORD* Bits() const { return bits_; }
  SIZE Size() const { return size_; }

 private:
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ old_ = nullptr;
  DWORD* bits_ = nullptr;
  SIZE size_;
};
