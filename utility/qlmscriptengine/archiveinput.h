// Reading the packed streams of a 7z archive. The coders of a folder, and the threads of the
// parallel LZMA2 decoder, read different streams of one archive input at once; each keeps its
// own position and buffer, and one lock serialises their access to the input stream.
#pragma once
#include <cstddef>
#include <mutex>
#include <vector>

#include "7zTypes.h"

class ArchiveInput {
 public:
  explicit ArchiveInput(ISeekInStreamPtr stream) : stream_(stream) {}
  ArchiveInput(const ArchiveInput&) = delete;
  ArchiveInput& operator=(const ArchiveInput&) = delete;

  // Reads up to *size bytes at `position`; *size becomes the count read, fewer only where the
  // input ends.
  SRes ReadAt(UInt64 position, Byte* buffer, size_t* size);

 private:
  std::mutex mutex_;
  ISeekInStreamPtr stream_;
  UInt64 position_ = ~static_cast<UInt64>(0);  // where the stream stands; unknown at first
};

// One packed stream, bytes [start, start + size) of the archive input, read in pieces.
class PackReader {
 public:
  PackReader(ArchiveInput& input, UInt64 start, UInt64 size, size_t pieceSize);

  // The next bytes of the packed stream; *size is 0 at its end, or where the input ends
  // before it (then Remaining() is not 0).
  SRes Look(const Byte** data, size_t* size);
  // Takes `count` bytes of the last Look.
  void Skip(size_t count);
  // Bytes of the packed stream not yet taken.
  UInt64 Remaining() const { return remaining_; }

 private:
  ArchiveInput& input_;
  UInt64 next_;  // input position of the first byte not yet read into the buffer
  UInt64 remaining_;
  std::vector<Byte> buffer_;
  size_t begin_ = 0;
  size_t end_ = 0;
};
