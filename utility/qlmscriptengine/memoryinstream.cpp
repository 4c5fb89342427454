#include "memoryinstream.h"

#include <windows.h>

#include <cstring>

MemoryInStream::MemoryInStream(const Byte* data, size_t size) : data_(data), size_(size) {
  link_.vt.Read = &MemoryInStream::ReadThunk;
  link_.vt.Seek = &MemoryInStream::SeekThunk;
  link_.self = this;
}

SRes MemoryInStream::Read(void* buffer, size_t* size) {
  size_t available = position_ < size_ ? size_ - position_ : 0;
  size_t count = *size < available ? *size : available;
  if (count != 0) std::memcpy(buffer, data_ + position_, count);
  position_ += count;
  *size = count;
  return SZ_OK;
}

SRes MemoryInStream::Seek(Int64* offset, ESzSeek origin) {
  Int64 base;
  switch (origin) {
    case SZ_SEEK_SET: base = 0; break;
    case SZ_SEEK_CUR: base = static_cast<Int64>(position_); break;
    case SZ_SEEK_END: base = static_cast<Int64>(size_); break;
    default: return ERROR_INVALID_PARAMETER;
  }
  Int64 target = base + *offset;
  if (target < 0) return ERROR_NEGATIVE_SEEK;
  position_ = static_cast<size_t>(target);
  *offset = target;
  return SZ_OK;
}

MemoryInStream* MemoryInStream::From(ISeekInStreamPtr p) {
  return reinterpret_cast<const Link*>(p)->self;
}

SRes MemoryInStream::ReadThunk(ISeekInStreamPtr p, void* buffer, size_t* size) {
  return From(p)->Read(buffer, size);
}

SRes MemoryInStream::SeekThunk(ISeekInStreamPtr p, Int64* offset, ESzSeek origin) {
  return From(p)->Seek(offset, origin);
}
