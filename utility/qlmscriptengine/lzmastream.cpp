#include "lzmastream.h"

#include <algorithm>
#include <new>

#include "Alloc.h"

LzmaStream::LzmaStream(Kind kind, PackReader input, UInt64 outSize, size_t outputPiece)
    : kind_(kind), input_(std::move(input)), outSize_(outSize),
      piece_(std::max<size_t>(outputPiece, 1)) {
  Lzma2Dec_CONSTRUCT(&dec_)
}

SRes LzmaStream::Open(Kind kind, PackReader input, UInt64 outSize, size_t outputPiece,
                      const Byte* props, unsigned propsSize,
                      std::unique_ptr<DecodedStream>* stream) {
  std::unique_ptr<LzmaStream> lzma(new LzmaStream(kind, std::move(input), outSize, outputPiece));
  RINOK(lzma->Init(props, propsSize))
  *stream = std::move(lzma);
  return SZ_OK;
}

LzmaStream::~LzmaStream() { LzmaDec_FreeProbs(&dec_.decoder, &g_Alloc); }

SRes LzmaStream::Init(const Byte* props, unsigned propsSize) {
  if (kind_ == Kind::kLzma2) {
    RINOK(Lzma2Dec_AllocateProbs(&dec_, props[0], &g_Alloc))
    Lzma2Dec_Init(&dec_);
  } else {
    RINOK(LzmaDec_AllocateProbs(&dec_.decoder, props, propsSize, &g_Alloc))
    LzmaDec_Init(&dec_.decoder);
  }
  // The window must hold the whole dictionary unless it holds the whole stream.
  const UInt64 window =
      std::min<UInt64>(outSize_, std::max<UInt64>(dec_.decoder.prop.dicSize, piece_));
  windowSize_ = static_cast<size_t>(window);
  if (windowSize_ != window) return SZ_ERROR_MEM;
  window_.reset(new (std::nothrow) Byte[windowSize_ != 0 ? windowSize_ : 1]);
  if (!window_) return SZ_ERROR_MEM;
  dec_.decoder.dic = window_.get();
  dec_.decoder.dicBufSize = windowSize_;
  return SZ_OK;
}

SRes LzmaStream::Look(const Byte** data, size_t* size) {
  if (error_ != SZ_OK) return error_;
  if (readPos_ == dec_.decoder.dicPos && decoded_ != outSize_) {
    error_ = Decode(false);
    if (error_ != SZ_OK) return error_;
  }
  *data = window_.get() + readPos_;
  *size = dec_.decoder.dicPos - readPos_;
  return SZ_OK;
}

void LzmaStream::Skip(size_t count) { readPos_ += count; }

SRes LzmaStream::Finish() {
  if (error_ == SZ_OK && !ended_) error_ = Decode(true);
  return error_;
}

SRes LzmaStream::Decode(bool toEnd) {
  CLzmaDec& lzma = dec_.decoder;
  if (!toEnd && lzma.dicPos == windowSize_) lzma.dicPos = readPos_ = 0;
  SizeT limit = lzma.dicPos;
  ELzmaFinishMode mode = LZMA_FINISH_END;
  if (!toEnd) {
    const size_t room = std::min(windowSize_ - lzma.dicPos, piece_);
    const UInt64 left = outSize_ - decoded_;
    if (left > room) {
      limit += room;
      mode = LZMA_FINISH_ANY;
    } else {
      limit += static_cast<size_t>(left);
    }
  }
  // The checks after each step are those of the whole-buffer decoder, in its order.
  for (;;) {
    const Byte* in;
    size_t inSize;
    RINOK(input_.Look(&in, &inSize))
    SizeT inProcessed = inSize;
    const SizeT before = lzma.dicPos;
    ELzmaStatus status;
    const SRes res = kind_ == Kind::kLzma2
                         ? Lzma2Dec_DecodeToDic(&dec_, limit, in, &inProcessed, mode, &status)
                         : LzmaDec_DecodeToDic(&lzma, limit, in, &inProcessed, mode, &status);
    input_.Skip(inProcessed);
    decoded_ += lzma.dicPos - before;
    RINOK(res)
    if (status == LZMA_STATUS_FINISHED_WITH_MARK) {
      if (decoded_ != outSize_ || input_.Remaining() != 0) return SZ_ERROR_DATA;
      ended_ = true;
      return SZ_OK;
    }
    if (kind_ == Kind::kLzma && decoded_ == outSize_ && input_.Remaining() == 0 &&
        status == LZMA_STATUS_MAYBE_FINISHED_WITHOUT_MARK) {
      ended_ = true;
      return SZ_OK;
    }
    if (inProcessed == 0 && lzma.dicPos == before) return SZ_ERROR_DATA;
    if (!toEnd && lzma.dicPos == limit) return SZ_OK;
  }
}
