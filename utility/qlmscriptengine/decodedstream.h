// The output of one coder of a 7z folder, handed on in pieces so that a folder never needs a
// buffer of its full unpacked size.
#pragma once
#include <cstddef>

#include "7zTypes.h"

// Sizes and counts that shape the decoding. The defaults suit installers; tests use small
// pieces so that pieces split items, filter state and CRC regions at awkward places.
struct DecodeLimits {
  size_t inputPiece = 1 << 18;   // bytes read from the archive at once, per packed stream
  size_t outputPiece = 1 << 20;  // bytes a coder decodes before it hands them on
  unsigned threads = 0;          // decoding threads; 0: one per core (DecodeThreads)
  // Block buffers of the parallel LZMA2 decoder, all threads together.
  size_t parallelMemory = static_cast<size_t>(512) << 20;
};

// The decoding threads `limits` ask for: its count, or one per core but at most 8 (one thread
// hands all output on and checks it; beyond that many it is the bottleneck).
unsigned DecodeThreads(const DecodeLimits& limits);

class DecodedStream {
 public:
  virtual ~DecodedStream() = default;
  // The next decoded bytes: at least one until the whole output was handed on, then none.
  // They stay valid until the next Look or Skip. A failure is the decoder's status, and the
  // stream keeps answering with it.
  virtual SRes Look(const Byte** data, size_t* size) = 0;
  // Hands on `count` bytes of the last Look.
  virtual void Skip(size_t count) = 0;
  // Once the whole output was handed on: the checks the coder makes at the end of its
  // stream (end marker, packed stream used up, state of the decoder).
  virtual SRes Finish() = 0;
};

// Takes and drops `count` bytes (fewer if the stream ends first).
inline SRes Discard(DecodedStream& stream, UInt64 count) {
  while (count != 0) {
    const Byte* data;
    size_t size;
    RINOK(stream.Look(&data, &size))
    if (size == 0) break;
    if (size > count) size = static_cast<size_t>(count);
    stream.Skip(size);
    count -= size;
  }
  return SZ_OK;
}

// Copies bytes of the stream into `dest` until `room` bytes are there or the stream ends (so
// fewer bytes mean its end); *got counts them, also when the stream fails on the way.
SRes ReadInto(DecodedStream& stream, Byte* dest, size_t room, size_t* got);

// Drops what is left of the stream and makes its end checks.
inline SRes DrainAndFinish(DecodedStream& stream) {
  RINOK(Discard(stream, ~static_cast<UInt64>(0)))
  return stream.Finish();
}
