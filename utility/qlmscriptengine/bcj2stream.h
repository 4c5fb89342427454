// The BCJ2 filter: x86 code rebuilt from four inputs, the main, call and jump streams (the
// outputs of the folder's first three coders) and a packed range-coder stream, all taken in
// pieces. Errors are reported with the precedence of whole-buffer decoding, which decodes
// the three coders' streams one after another before it combines them.
#pragma once
#include <memory>
#include <vector>

#include "Bcj2.h"
#include "archiveinput.h"
#include "piecestream.h"

class Bcj2Stream : public PieceStream {
 public:
  // `jump`, `call` and `main` are the outputs of the folder's coders 0, 1 and 2.
  Bcj2Stream(std::unique_ptr<DecodedStream> jump, std::unique_ptr<DecodedStream> call,
             std::unique_ptr<DecodedStream> main, PackReader rangeCoder, UInt64 outSize,
             size_t outputPiece);

  SRes Finish() override;

 private:
  // Bytes of a call or jump stream in whole 4-byte words, as the decoder takes them.
  class WordQueue {
   public:
    WordQueue(std::unique_ptr<DecodedStream> stream, size_t capacity);
    DecodedStream& Stream() { return *stream_; }
    // The queued words, topped up from the stream when less than a word is queued.
    SRes View(const Byte** data, size_t* size);
    void Take(size_t count) { begin_ += count; }
    bool Empty() const { return begin_ == end_; }

   private:
    std::unique_ptr<DecodedStream> stream_;
    std::vector<Byte> buffer_;
    size_t begin_ = 0;
    size_t end_ = 0;
  };

  SRes Fill(Byte* dest, size_t count) override;
  // Runs the decoder once over the current pieces of its inputs and takes what it used.
  SRes Step(bool* progressed);
  // The status whole-buffer decoding reports when this one met `error`: a failure of the
  // coders' streams, in coder order, or of the range-coder stream comes first.
  SRes Resolve(SRes error);
  // Reads the rest of the range-coder stream: SZ_ERROR_INPUT_EOF when the archive ends first.
  SRes DrainRangeCoder();

  WordQueue jump_;
  WordQueue call_;
  std::unique_ptr<DecodedStream> main_;
  PackReader rangeCoder_;
  CBcj2Dec dec_;
};
