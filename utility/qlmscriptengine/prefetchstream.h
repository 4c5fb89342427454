// Decoding a few pieces ahead on a thread of its own: while the calling thread checks and
// writes one piece, the next ones are decoded. Used for streams that decode on one thread.
#pragma once
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "decodedstream.h"

class PrefetchStream : public DecodedStream {
 public:
  // The stream decoded ahead in pieces of `pieceSize` bytes; `inner` itself when no thread
  // can be started.
  static std::unique_ptr<DecodedStream> Wrap(std::unique_ptr<DecodedStream> inner,
                                             size_t pieceSize);
  ~PrefetchStream() override;

  SRes Look(const Byte** data, size_t* size) override;
  void Skip(size_t count) override;
  // The inner stream's end checks, made by the thread once it has decoded everything.
  SRes Finish() override;

 private:
  struct Piece {
    std::vector<Byte> bytes;
    size_t size = 0;
  };

  PrefetchStream(std::unique_ptr<DecodedStream> inner, size_t pieceSize);
  void Work();

  std::unique_ptr<DecodedStream> inner_;  // used by the thread alone once it runs
  // A ring: the thread fills piece number `filled_`, the calling thread reads number `read_`.
  std::vector<Piece> pieces_;
  UInt64 filled_ = 0;
  UInt64 read_ = 0;
  size_t offset_ = 0;  // bytes of the piece being read that were handed on
  bool ended_ = false;
  SRes error_ = SZ_OK;   // the decoding failure after the filled pieces
  SRes finish_ = SZ_OK;  // the inner stream's end checks
  bool stop_ = false;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::thread thread_;
};
