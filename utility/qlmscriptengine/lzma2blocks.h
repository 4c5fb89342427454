// Finding the independent blocks of an LZMA2 stream from its chunk headers alone. A chunk that
// resets the dictionary (control byte 1, or 0xE0 and above) also leaves the decoder needing
// new properties and a state reset, so decoding from there with a fresh decoder gives what
// decoding the whole stream gives: such chunks start the blocks that can be decoded apart.
#pragma once
#include "archiveinput.h"

struct Lzma2Block {
  UInt64 packStart = 0;  // input positions of the block's chunks
  UInt64 packEnd = 0;
  UInt64 unpackStart = 0;  // position of its output in the stream's output
  UInt64 unpackSize = 0;
  // False: the chunk headers are out of the ordinary here (damaged, not ending where the
  // stream does, or a block above the size limit); this block and everything after it are
  // left to the single-thread decoder, which gives the exact result.
  bool regular = true;
  bool last = false;  // ends with the stream's end marker
};

class Lzma2BlockScanner {
 public:
  // The LZMA2 stream at input bytes [packStart, packStart + packSize) with `outSize` bytes of
  // output; blocks above `maxBlock` bytes of output are not regular.
  Lzma2BlockScanner(ArchiveInput& input, UInt64 packStart, UInt64 packSize, UInt64 outSize,
                    UInt64 maxBlock);
  void SetMaxBlock(UInt64 maxBlock) { maxBlock_ = maxBlock; }
  // Reads the headers of the next block; false once every block was found (the last one
  // either ends the stream or is not regular).
  bool Next(Lzma2Block* block);

 private:
  enum class Chunk { kData, kEnd, kBroken };
  // Reads the header of the chunk at pos_: its kind, whether it starts a block, its full
  // length and its output size.
  Chunk ReadChunk(bool* startsBlock, UInt64* length, UInt64* unpack);

  ArchiveInput& input_;
  UInt64 pos_;
  UInt64 packEnd_;
  UInt64 outSize_;
  UInt64 unpacked_ = 0;
  UInt64 maxBlock_;
  bool done_ = false;
};
