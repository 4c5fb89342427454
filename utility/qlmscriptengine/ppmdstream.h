// The PPMd coder (PPMdH with the 7z range coder), decoded byte by byte into pieces with the
// checks and status codes of the 7z decoder.
#pragma once
#include "Ppmd7.h"
#include "archiveinput.h"
#include "piecestream.h"

class PpmdStream : public PieceStream {
 public:
  PpmdStream(PackReader input, UInt64 outSize, size_t outputPiece);
  ~PpmdStream() override;
  PpmdStream(const PpmdStream&) = delete;
  PpmdStream& operator=(const PpmdStream&) = delete;

  // Reads the 5 property bytes (order, memory size) and starts the model and the range
  // decoder: SZ_ERROR_UNSUPPORTED, SZ_ERROR_MEM or SZ_ERROR_DATA.
  SRes Init(const Byte* props, unsigned propsSize);

  SRes Finish() override;

 private:
  SRes Fill(Byte* dest, size_t count) override;
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
  PackReader input_;
  const Byte* looked_ = nullptr;  // the last Look of the input, taken up to `cur_`
  const Byte* cur_ = nullptr;
  const Byte* lookEnd_ = nullptr;
  bool extra_ = false;  // the decoder asked for more than the packed stream holds
  SRes readError_ = SZ_OK;
};
