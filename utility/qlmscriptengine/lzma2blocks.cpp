#include "lzma2blocks.h"

namespace {
constexpr Byte kEndMarker = 0;
constexpr Byte kCopyResetDictionary = 1;
constexpr Byte kCopy = 2;
constexpr Byte kLzmaResetDictionary = 0xE0;
}  // namespace

Lzma2BlockScanner::Lzma2BlockScanner(ArchiveInput& input, UInt64 packStart, UInt64 packSize,
                                     UInt64 outSize, UInt64 maxBlock)
    : input_(input), pos_(packStart), packEnd_(packStart + packSize), outSize_(outSize),
      maxBlock_(maxBlock) {}

Lzma2BlockScanner::Chunk Lzma2BlockScanner::ReadChunk(bool* startsBlock, UInt64* length,
                                                      UInt64* unpack) {
  Byte header[6];
  size_t size = sizeof(header);
  if (packEnd_ - pos_ < size) size = static_cast<size_t>(packEnd_ - pos_);
  if (size == 0 || input_.ReadAt(pos_, header, &size) != SZ_OK || size == 0) {
    return Chunk::kBroken;
  }
  const Byte control = header[0];
  *startsBlock = control == kCopyResetDictionary || control >= kLzmaResetDictionary;
  if (control == kEndMarker) {
    *length = 1;
    *unpack = 0;
    return Chunk::kEnd;
  }
  size_t headerSize;
  if (control == kCopyResetDictionary || control == kCopy) {
    headerSize = 3;
    if (size < headerSize) return Chunk::kBroken;
    *unpack = ((static_cast<UInt64>(header[1]) << 8) | header[2]) + 1;
    *length = headerSize + *unpack;
  } else if (control >= 0x80) {
    headerSize = control >= 0xC0 ? 6 : 5;  // with a properties byte from 0xC0 on
    if (size < headerSize) return Chunk::kBroken;
    *unpack = ((static_cast<UInt64>(control & 0x1F) << 16) |
               (static_cast<UInt64>(header[1]) << 8) | header[2]) + 1;
    *length = headerSize + ((static_cast<UInt64>(header[3]) << 8) | header[4]) + 1;
  } else {
    return Chunk::kBroken;
  }
  return *length <= packEnd_ - pos_ ? Chunk::kData : Chunk::kBroken;
}

bool Lzma2BlockScanner::Next(Lzma2Block* block) {
  if (done_) return false;
  *block = Lzma2Block();
  block->packStart = pos_;
  block->unpackStart = unpacked_;
  for (bool first = true;; first = false) {
    bool startsBlock = false;
    UInt64 length = 0;
    UInt64 unpack = 0;
    const Chunk chunk = ReadChunk(&startsBlock, &length, &unpack);
    if (chunk == Chunk::kData && startsBlock && !first) break;
    if (chunk == Chunk::kBroken || block->unpackSize + unpack > maxBlock_ ||
        unpacked_ + unpack > outSize_) {
      block->regular = false;
      done_ = true;
      break;
    }
    pos_ += length;
    unpacked_ += unpack;
    block->unpackSize += unpack;
    if (chunk == Chunk::kEnd) {
      block->last = true;
      block->regular = pos_ == packEnd_ && unpacked_ == outSize_;
      done_ = true;
      break;
    }
  }
  block->packEnd = pos_;
  return true;
}
