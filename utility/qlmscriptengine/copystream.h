// The Copy coder: the packed stream is the output.
#pragma once
#include "archiveinput.h"
#include "decodedstream.h"

class CopyStream : public DecodedStream {
 public:
  CopyStream(PackReader input, UInt64 outSize) : input_(std::move(input)), left_(outSize) {}

  SRes Look(const Byte** data, size_t* size) override {
    *size = 0;
    if (left_ == 0) return SZ_OK;
    RINOK(input_.Look(data, size))
    if (*size == 0) return SZ_ERROR_INPUT_EOF;  // the archive ends inside the stream
    if (*size > left_) *size = static_cast<size_t>(left_);
    return SZ_OK;
  }
  void Skip(size_t count) override {
    input_.Skip(count);
    left_ -= count;
  }
  SRes Finish() override { return SZ_OK; }

 private:
  PackReader input_;
  UInt64 left_;
};
