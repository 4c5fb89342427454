#include "archiveinput.h"

#include <algorithm>

SRes ArchiveInput::ReadAt(UInt64 position, Byte* buffer, size_t* size) {
  std::lock_guard<std::mutex> lock(mutex_);
  const size_t wanted = *size;
  *size = 0;
  if (position_ != position) {
    Int64 offset = static_cast<Int64>(position);
    SRes res = ISeekInStream_Seek(stream_, &offset, SZ_SEEK_SET);
    if (res != SZ_OK) {
      position_ = ~static_cast<UInt64>(0);
      return res;
    }
    position_ = static_cast<UInt64>(offset);
  }
  while (*size < wanted) {
    size_t count = wanted - *size;
    SRes res = ISeekInStream_Read(stream_, buffer + *size, &count);
    if (res != SZ_OK) {
      position_ = ~static_cast<UInt64>(0);
      return res;
    }
    if (count == 0) break;
    *size += count;
    position_ += count;
  }
  return SZ_OK;
}

PackReader::PackReader(ArchiveInput& input, UInt64 start, UInt64 size, size_t pieceSize)
    : input_(input), next_(start), remaining_(size) {
  buffer_.resize(static_cast<size_t>(std::min<UInt64>(std::max<size_t>(pieceSize, 1), size)));
}

SRes PackReader::Look(const Byte** data, size_t* size) {
  if (begin_ == end_) {
    begin_ = end_ = 0;
    size_t count = static_cast<size_t>(std::min<UInt64>(buffer_.size(), remaining_));
    if (count != 0) {
      RINOK(input_.ReadAt(next_, buffer_.data(), &count))
      next_ += count;
      end_ = count;
    }
  }
  *data = buffer_.data() + begin_;
  *size = end_ - begin_;
  return SZ_OK;
}

void PackReader::Skip(size_t count) {
  begin_ += count;
  remaining_ -= count;
}
