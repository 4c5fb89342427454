// The PPMd coder (PPMdH with the 7z range coder), decoded byte by byte into pieces with the
// checks and status codes of the 7z decoder.
#pragma once
#include <vector>

#include "Ppmd7.h"
#include "archiveinput.h"
#include "decodedstream.h"

class PpmdStream : public DecodedStream {
 public:
  PpmdStream(PackReader input, UInt64 outSize, size_t outputPiece);
  ~PpmdStream() override;
  PpmdStream(const PpmdStream&) = delete;
  PpmdStream& operator=(const PpmdStream&) = delete;

  // Reads the 5 property bytes (order, memory size) and starts the model and the range
  // decoder: SZ_ERROR_UNSUPPORTED, SZ_ERROR_MEM or SZ_ERROR_DATA.
  SRes Init(const Byte* props, unsigned propsSize);

  SRes Look(const Byte** data, size_t* size) override;
  void Skip(size_t count) override { begin_ += count; }
  SRes Finish() override;

 private:
  static Byte ReadByte(IByteInPtr p);
  // The status after the model or the input gave out.
  SRes InputFailure() const;

  // The range decoder calls back with the address of `vt`; `self` leads back to this object.
  struct Link {
    IByteIn vt;
    PpmdStream* self;
  };
  Link link_;
  CPpmd7 ppmd_;
  bool allocated_ = false;
  PackReader input_;
  const Byte* looked_ = nullptr;  // the last Look of the input, taken up to `cur_`
  const Byte* cur_ = nullptr;
  const Byte* lookEnd_ = nullptr;
  bool extra_ = false;  // the decoder asked for more than the packed stream holds
  SRes readError_ = SZ_OK;
  UInt64 outSize_;
  UInt64 decoded_ = 0;
  std::vector<Byte> out_;
  size_t begin_ = 0;
  size_t end_ = 0;
  SRes error_ = SZ_OK;
};
