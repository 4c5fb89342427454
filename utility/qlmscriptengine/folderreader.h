// The output of one 7z folder (solid block), decoded through its coder chain in pieces: Copy,
// LZMA, LZMA2 (on several threads where the stream allows it) and PPMd coders, branch and
// delta filters, BCJ2. The chain is checked as the LZMA SDK's 7z decoder checks it, with the
// same status codes; the folder's CRC, when the archive has one, is checked at its end.
#pragma once
#include <memory>

#include "7z.h"
#include "7zCrc.h"
#include "archiveinput.h"
#include "decodedstream.h"

class FolderReader : public DecodedStream {
 public:
  // Prepares the decoders of folder `folder` of `db`; fails with the decoder's status for an
  // unsupported or inconsistent chain, or SZ_ERROR_MEM.
  static SRes Open(const CSzArEx& db, UInt32 folder, ArchiveInput& input,
                   const DecodeLimits& limits, std::unique_ptr<FolderReader>* reader);

  UInt32 Folder() const { return folder_; }
  UInt64 Size() const { return size_; }
  // Bytes handed on so far.
  UInt64 Position() const { return position_; }

  SRes Look(const Byte** data, size_t* size) override;
  void Skip(size_t count) override;
  // After the last byte: the coders' end checks, then the folder's CRC.
  SRes Finish() override;

 private:
  FolderReader(UInt32 folder, UInt64 size, std::unique_ptr<DecodedStream> stream,
               const CSzBitUi32s& crcs);

  UInt32 folder_;
  UInt64 size_;
  UInt64 position_ = 0;
  std::unique_ptr<DecodedStream> stream_;
  const Byte* looked_ = nullptr;  // the bytes of the last Look not yet handed on
  bool hasCrc_;
  UInt32 expectedCrc_ = 0;
  UInt32 crc_ = CRC_INIT_VAL;
};
