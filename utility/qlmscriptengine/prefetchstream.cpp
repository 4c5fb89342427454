#include "prefetchstream.h"

#include <algorithm>
#include <system_error>

namespace {
constexpr size_t kPieces = 3;
}  // namespace

PrefetchStream::PrefetchStream(std::unique_ptr<DecodedStream> inner, size_t pieceSize)
    : inner_(std::move(inner)), pieces_(kPieces) {
  for (Piece& piece : pieces_) piece.bytes.resize(std::max<size_t>(pieceSize, 1));
}

std::unique_ptr<DecodedStream> PrefetchStream::Wrap(std::unique_ptr<DecodedStream> inner,
                                                    size_t pieceSize) {
  std::unique_ptr<PrefetchStream> prefetch(new PrefetchStream(std::move(inner), pieceSize));
  try {
    prefetch->thread_ = std::thread(&PrefetchStream::Work, prefetch.get());
  } catch (const std::system_error&) {
    return std::move(prefetch->inner_);
  }
  return prefetch;
}

PrefetchStream::~PrefetchStream() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stop_ = true;
  }
  changed_.notify_all();
  if (thread_.joinable()) thread_.join();
}

void PrefetchStream::Work() {
  for (;;) {
    {
      std::unique_lock<std::mutex> lock(mutex_);
      changed_.wait(lock, [this] { return stop_ || filled_ - read_ < pieces_.size(); });
      if (stop_) return;
    }
    // The piece after the filled ones is this thread's until it is counted as filled.
    Piece& piece = pieces_[filled_ % pieces_.size()];
    // A failure still publishes the bytes before it.
    const SRes res = ReadInto(*inner_, piece.bytes.data(), piece.bytes.size(), &piece.size);
    const bool end = res == SZ_OK && piece.size != piece.bytes.size();
    const SRes finish = end ? inner_->Finish() : SZ_OK;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (piece.size != 0) ++filled_;
      error_ = res;
      ended_ = end;
      finish_ = finish;
    }
    changed_.notify_all();
    if (res != SZ_OK || end) return;
  }
}

SRes PrefetchStream::Look(const Byte** data, size_t* size) {
  std::unique_lock<std::mutex> lock(mutex_);
  changed_.wait(lock, [this] { return read_ != filled_ || error_ != SZ_OK || ended_; });
  if (read_ != filled_) {
    const Piece& piece = pieces_[read_ % pieces_.size()];
    *data = piece.bytes.data() + offset_;
    *size = piece.size - offset_;
    return SZ_OK;
  }
  *size = 0;
  return error_;
}

void PrefetchStream::Skip(size_t count) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    offset_ += count;
    if (offset_ != pieces_[read_ % pieces_.size()].size) return;
    offset_ = 0;
    ++read_;
  }
  changed_.notify_all();
}

SRes PrefetchStream::Finish() {
  std::unique_lock<std::mutex> lock(mutex_);
  changed_.wait(lock, [this] { return error_ != SZ_OK || ended_; });
  return error_ != SZ_OK ? error_ : finish_;
}
