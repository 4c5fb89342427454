#include "piecestream.h"

#include <algorithm>

PieceStream::PieceStream(UInt64 outSize, size_t outputPiece)
    : outSize_(outSize),
      buffer_(static_cast<size_t>(std::min<UInt64>(std::max<size_t>(outputPiece, 1), outSize))) {}

SRes PieceStream::Look(const Byte** data, size_t* size) {
  if (error_ != SZ_OK) return error_;
  if (begin_ == end_ && produced_ != outSize_) {
    const size_t count =
        static_cast<size_t>(std::min<UInt64>(buffer_.size(), outSize_ - produced_));
    error_ = Fill(buffer_.data(), count);
    if (error_ != SZ_OK) return error_;
    produced_ += count;
    begin_ = 0;
    end_ = count;
  }
  *data = buffer_.data() + begin_;
  *size = end_ - begin_;
  return SZ_OK;
}
