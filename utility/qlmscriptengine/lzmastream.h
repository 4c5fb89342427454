// LZMA and LZMA2 decoding on the calling thread through a window of the dictionary's size
// (the stream's size when that is smaller), so that memory does not grow with the unpacked
// size. The end checks and status codes are those of the 7z decoder's whole-buffer decoding.
#pragma once
#include <memory>

#include "Lzma2Dec.h"
#include "archiveinput.h"
#include "decodedstream.h"

class LzmaStream : public DecodedStream {
 public:
  enum class Kind { kLzma, kLzma2 };

  // A stream made and initialised (Init) in one step.
  static SRes Open(Kind kind, PackReader input, UInt64 outSize, size_t outputPiece,
                   const Byte* props, unsigned propsSize, std::unique_ptr<DecodedStream>* stream);

  LzmaStream(Kind kind, PackReader input, UInt64 outSize, size_t outputPiece);
  ~LzmaStream() override;
  LzmaStream(const LzmaStream&) = delete;
  LzmaStream& operator=(const LzmaStream&) = delete;

  // Reads the coder properties (LZMA: 5 bytes; LZMA2: the dictionary byte) and allocates the
  // decoder and its window: SZ_ERROR_UNSUPPORTED for properties the decoder does not know,
  // SZ_ERROR_MEM.
  SRes Init(const Byte* props, unsigned propsSize);

  SRes Look(const Byte** data, size_t* size) override;
  void Skip(size_t count) override;
  SRes Finish() override;

 private:
  // Decodes the next piece into the window (every byte before it was handed on); with
  // `toEnd`, goes on after the last byte until the stream's end is confirmed.
  SRes Decode(bool toEnd);

  Kind kind_;
  PackReader input_;
  UInt64 outSize_;
  UInt64 decoded_ = 0;
  size_t piece_;
  CLzma2Dec dec_;  // LZMA uses its inner decoder alone
  std::unique_ptr<Byte[]> window_;
  size_t windowSize_ = 0;
  size_t readPos_ = 0;  // first byte in the window not yet handed on
  bool ended_ = false;
  SRes error_ = SZ_OK;
};
