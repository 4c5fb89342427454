// A seekable input stream for the 7z decoder over bytes held in memory (the payload resource
// as the process has loaded it).
#pragma once
#include <cstddef>

#include "7zTypes.h"

class MemoryInStream {
 public:
  MemoryInStream(const Byte* data, size_t size);
  virtual ~MemoryInStream() = default;
  MemoryInStream(const MemoryInStream&) = delete;
  MemoryInStream& operator=(const MemoryInStream&) = delete;

  // The decoder's view of this stream.
  ISeekInStreamPtr Stream() const { return &link_.vt; }

  // Copies up to *size bytes from the current position; *size becomes the count copied
  // (0 at the end).
  virtual SRes Read(void* buffer, size_t* size);
  // Origin 0: from the start, 1: from the current position, 2: from the end. *offset becomes
  // the new position. Any other origin fails with ERROR_INVALID_PARAMETER.
  virtual SRes Seek(Int64* offset, ESzSeek origin);

 private:
  static SRes ReadThunk(ISeekInStreamPtr p, void* buffer, size_t* size);
  static SRes SeekThunk(ISeekInStreamPtr p, Int64* offset, ESzSeek origin);
  static MemoryInStream* From(ISeekInStreamPtr p);

  // The decoder calls back with the address of `vt`; `self` leads back to this object.
  struct Link {
    ISeekInStream vt;
    MemoryInStream* self;
  };
  Link link_;
  const Byte* data_;
  size_t size_;
  size_t position_ = 0;
};
