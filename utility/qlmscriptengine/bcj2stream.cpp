#include "bcj2stream.h"

#include <algorithm>
#include <cstring>

namespace {
constexpr size_t kWordQueueSize = 1 << 16;
}  // namespace

Bcj2Stream::WordQueue::WordQueue(std::unique_ptr<DecodedStream> stream, size_t capacity)
    : stream_(std::move(stream)), buffer_(std::max<size_t>(capacity, 4)) {}

SRes Bcj2Stream::WordQueue::View(const Byte** data, size_t* size) {
  if (end_ - begin_ < 4) {
    std::memmove(buffer_.data(), buffer_.data() + begin_, end_ - begin_);
    end_ -= begin_;
    begin_ = 0;
    size_t got;
    const SRes res = ReadInto(*stream_, buffer_.data() + end_, buffer_.size() - end_, &got);
    end_ += got;
    RINOK(res)
  }
  *data = buffer_.data() + begin_;
  *size = (end_ - begin_) & ~static_cast<size_t>(3);
  return SZ_OK;
}

Bcj2Stream::Bcj2Stream(std::unique_ptr<DecodedStream> jump, std::unique_ptr<DecodedStream> call,
                       std::unique_ptr<DecodedStream> main, PackReader rangeCoder,
                       UInt64 outSize, size_t outputPiece)
    : PieceStream(outSize, outputPiece), jump_(std::move(jump), kWordQueueSize),
      call_(std::move(call), kWordQueueSize), main_(std::move(main)),
      rangeCoder_(std::move(rangeCoder)) {
  Bcj2Dec_Init(&dec_);
  dec_.dest = nullptr;
  dec_.destLim = nullptr;
}

SRes Bcj2Stream::Step(bool* progressed) {
  const Byte* in[BCJ2_NUM_STREAMS];
  size_t size[BCJ2_NUM_STREAMS];
  RINOK(main_->Look(&in[BCJ2_STREAM_MAIN], &size[BCJ2_STREAM_MAIN]))
  RINOK(call_.View(&in[BCJ2_STREAM_CALL], &size[BCJ2_STREAM_CALL]))
  RINOK(jump_.View(&in[BCJ2_STREAM_JUMP], &size[BCJ2_STREAM_JUMP]))
  RINOK(rangeCoder_.Look(&in[BCJ2_STREAM_RC], &size[BCJ2_STREAM_RC]))
  for (unsigned i = 0; i < BCJ2_NUM_STREAMS; ++i) {
    dec_.bufs[i] = in[i];
    dec_.lims[i] = in[i] + size[i];
  }
  const Byte* destBefore = dec_.dest;
  RINOK(Bcj2Dec_Decode(&dec_))
  size_t used[BCJ2_NUM_STREAMS];
  for (unsigned i = 0; i < BCJ2_NUM_STREAMS; ++i) {
    used[i] = static_cast<size_t>(dec_.bufs[i] - in[i]);
  }
  main_->Skip(used[BCJ2_STREAM_MAIN]);
  call_.Take(used[BCJ2_STREAM_CALL]);
  jump_.Take(used[BCJ2_STREAM_JUMP]);
  rangeCoder_.Skip(used[BCJ2_STREAM_RC]);
  *progressed = dec_.dest != destBefore || used[BCJ2_STREAM_MAIN] != 0 ||
                used[BCJ2_STREAM_CALL] != 0 || used[BCJ2_STREAM_JUMP] != 0 ||
                used[BCJ2_STREAM_RC] != 0;
  return SZ_OK;
}

SRes Bcj2Stream::DrainRangeCoder() {
  while (rangeCoder_.Remaining() != 0) {
    const Byte* data;
    size_t size;
    RINOK(rangeCoder_.Look(&data, &size))
    if (size == 0) return SZ_ERROR_INPUT_EOF;
    rangeCoder_.Skip(size);
  }
  return SZ_OK;
}

SRes Bcj2Stream::Resolve(SRes error) {
  for (DecodedStream* stream : {&jump_.Stream(), &call_.Stream(), main_.get()}) {
    RINOK(DrainAndFinish(*stream))
  }
  RINOK(DrainRangeCoder())
  return error;
}

SRes Bcj2Stream::Fill(Byte* dest, size_t count) {
  dec_.dest = dest;
  dec_.destLim = dest + count;
  while (dec_.dest != dec_.destLim) {
    bool progressed = false;
    SRes res = Step(&progressed);
    if (res == SZ_OK && !progressed) {
      // The input the decoder waits for has given out.
      res = dec_.state == BCJ2_STREAM_RC && rangeCoder_.Remaining() != 0 ? SZ_ERROR_INPUT_EOF
                                                                         : SZ_ERROR_DATA;
    }
    if (res != SZ_OK) return Resolve(res);
  }
  return SZ_OK;
}

SRes Bcj2Stream::Finish() {
  if (error_ != SZ_OK) return error_;
  // One more step without room for output lets the decoder take the range coder's last
  // normalisation byte, which whole-buffer decoding takes before it stops.
  bool progressed = false;
  SRes res = Step(&progressed);
  if (res != SZ_OK) return error_ = Resolve(res);
  // Every input must be used up; a failure of a coder's stream comes first.
  bool leftover = !jump_.Empty() || !call_.Empty();
  for (DecodedStream* stream : {&jump_.Stream(), &call_.Stream(), main_.get()}) {
    const Byte* data;
    size_t size;
    res = stream->Look(&data, &size);
    if (res == SZ_OK) {
      leftover = leftover || size != 0;
      res = DrainAndFinish(*stream);
    }
    if (res != SZ_OK) return error_ = res;
  }
  leftover = leftover || rangeCoder_.Remaining() != 0;
  res = DrainRangeCoder();
  if (res == SZ_OK && (leftover || !Bcj2Dec_IsMaybeFinished(&dec_))) res = SZ_ERROR_DATA;
  return error_ = res;
}
