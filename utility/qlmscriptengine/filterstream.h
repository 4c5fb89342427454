// A branch converter or delta filter after a folder's main coder. The upstream bytes are
// copied into a buffer and converted there (the upstream window is still the decoder's
// dictionary). A converter leaves the last bytes of a piece, a possibly cut instruction, for
// the next piece; at the end of the stream they pass unconverted, as in whole-buffer decoding.
#pragma once
#include <memory>
#include <vector>

#include "7z.h"
#include "Bra.h"
#include "Delta.h"
#include "decodedstream.h"

class FilterStream : public DecodedStream {
 public:
  // Checks the filter's method and properties as the 7z decoder does (SZ_ERROR_UNSUPPORTED).
  static SRes Create(const CSzCoderInfo& coder, const Byte* props,
                     std::unique_ptr<DecodedStream> upstream, size_t outputPiece,
                     std::unique_ptr<DecodedStream>* stream);

  SRes Look(const Byte** data, size_t* size) override;
  void Skip(size_t count) override { begin_ += count; }
  SRes Finish() override { return upstream_->Finish(); }

 private:
  FilterStream(std::unique_ptr<DecodedStream> upstream, size_t outputPiece);
  // Converts the start of `data` in place; returns how many bytes are final.
  size_t Convert(Byte* data, size_t size);

  std::unique_ptr<DecodedStream> upstream_;
  UInt32 method_ = 0;
  z7_Func_BranchConv branch_ = nullptr;  // every converter but x86 and delta
  UInt32 pc_ = 0;                        // stream position of the buffer's first byte
  UInt32 x86State_ = Z7_BRANCH_CONV_ST_X86_STATE_INIT_VAL;
  unsigned delta_ = 0;
  Byte deltaState_[DELTA_STATE_SIZE];
  std::vector<Byte> buffer_;
  size_t begin_ = 0;   // next byte to hand on
  size_t ready_ = 0;   // end of the converted bytes
  size_t filled_ = 0;  // end of the copied bytes
  SRes error_ = SZ_OK;
};
