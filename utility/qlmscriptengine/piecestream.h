// A decoded stream whose coder writes each piece into a buffer of its own (PPMd, BCJ2).
#pragma once
#include <vector>

#include "decodedstream.h"

class PieceStream : public DecodedStream {
 public:
  SRes Look(const Byte** data, size_t* size) final;
  void Skip(size_t count) final { begin_ += count; }

 protected:
  PieceStream(UInt64 outSize, size_t outputPiece);
  // Decodes the next `count` bytes (at least 1) into `dest`.
  virtual SRes Fill(Byte* dest, size_t count) = 0;

  SRes error_ = SZ_OK;  // the first failure, answered from then on

 private:
  UInt64 outSize_;
  UInt64 produced_ = 0;
  std::vector<Byte> buffer_;
  size_t begin_ = 0;
  size_t end_ = 0;
};
