// LZMA2 decoding on several threads for streams written in independent blocks (7-Zip writes
// them so when it compresses on four threads or more). Each thread decodes whole blocks into a
// buffer of its own; the calling thread hands the output on in order, following the block it
// waits for while that block is decoded. A block that is not regular, or that a thread fails
// to decode, hands the rest of the stream to the single-thread decoder from that block's
// start, so that output and status are exactly those of single-thread decoding.
#pragma once
#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "Lzma2Dec.h"
#include "archiveinput.h"
#include "decodedstream.h"
#include "lzma2blocks.h"

class ParallelLzma2Stream : public DecodedStream {
 public:
  // The LZMA2 stream at input bytes [packStart, packStart + packSize) with dictionary byte
  // `prop`. Uses threads when the first block is regular, is not the whole stream and fits
  // the memory limit at least twice; otherwise gives a single-thread stream. Fails with
  // SZ_ERROR_UNSUPPORTED for a dictionary byte the decoder does not know, or SZ_ERROR_MEM.
  // Running out of memory later, on any thread, ends the stream with SZ_ERROR_MEM.
  static SRes Create(ArchiveInput& input, UInt64 packStart, UInt64 packSize, Byte prop,
                     UInt64 outSize, const DecodeLimits& limits,
                     std::unique_ptr<DecodedStream>* stream);
  ~ParallelLzma2Stream() override;

  SRes Look(const Byte** data, size_t* size) override;
  void Skip(size_t count) override;
  SRes Finish() override;

 private:
  enum class SlotState { kDecoding, kDone, kFailed };
  // One thread's input and block buffers and the block it holds.
  struct Slot {
    std::vector<Byte> input;
    std::unique_ptr<Byte[]> buffer;
    size_t capacity = 0;
    UInt64 block = ~static_cast<UInt64>(0);
    size_t produced = 0;  // bytes of the block decoded so far
    SlotState state = SlotState::kDecoding;
  };

  ParallelLzma2Stream(ArchiveInput& input, UInt64 packStart, UInt64 packSize, Byte prop,
                      UInt64 outSize, const DecodeLimits& limits);
  // Starts `count` threads; false when the system cannot start them all.
  bool Start(unsigned count);
  void Work(unsigned index);
  // Decodes one block into the slot, publishing its progress; false when the block does not
  // decode exactly as its headers say.
  bool DecodeBlock(CLzma2Dec& dec, const Lzma2Block& block, Slot& slot);
  // With the lock held: scans as far as block `index`; whether it exists and is regular.
  // Without memory for the block list: false, error_ SZ_ERROR_MEM and the threads stop.
  bool Known(UInt64 index);
  // With the lock held: waits until the head block has bytes to hand on (*size not 0), every
  // block was handed on (*size 0), or the rest went to the single-thread decoder.
  SRes Wait(std::unique_lock<std::mutex>& lock, const Byte** data, size_t* size);
  // Ends the threads and goes on with the single-thread decoder from the head block's start.
  SRes SwitchToSingle(std::unique_lock<std::mutex>& lock, const Byte** data, size_t* size);
  void StopThreads(std::unique_lock<std::mutex>& lock);

  ArchiveInput& input_;
  UInt64 packEnd_;
  Byte prop_;
  UInt64 outSize_;
  DecodeLimits limits_;

  std::mutex mutex_;
  std::condition_variable changed_;
  std::atomic<bool> stop_{false};
  Lzma2BlockScanner scanner_;
  std::vector<Lzma2Block> blocks_;
  std::vector<CLzma2Dec> decoders_;
  std::vector<Slot> slots_;
  std::vector<std::thread> threads_;
  UInt64 head_ = 0;     // the block being handed on
  size_t consumed_ = 0;  // bytes of the head block handed on

  std::unique_ptr<DecodedStream> single_;
  SRes error_ = SZ_OK;  // guarded by the lock while the threads run
};
