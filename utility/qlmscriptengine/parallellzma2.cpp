#include "parallellzma2.h"

#include <algorithm>
#include <new>
#include <system_error>

#include "Alloc.h"
#include "lzmastream.h"

namespace {

SRes MakeSingle(ArchiveInput& input, UInt64 packStart, UInt64 packSize, Byte prop,
                UInt64 outSize, const DecodeLimits& limits,
                std::unique_ptr<DecodedStream>* stream) {
  return LzmaStream::Open(LzmaStream::Kind::kLzma2,
                          PackReader(input, packStart, packSize, limits.inputPiece), outSize,
                          limits.outputPiece, &prop, 1, stream);
}

}  // namespace

ParallelLzma2Stream::ParallelLzma2Stream(ArchiveInput& input, UInt64 packStart,
                                         UInt64 packSize, Byte prop, UInt64 outSize,
                                         const DecodeLimits& limits)
    : input_(input), packEnd_(packStart + packSize), prop_(prop), outSize_(outSize),
      limits_(limits), scanner_(input, packStart, packSize, outSize, limits.parallelMemory / 2) {}

SRes ParallelLzma2Stream::Create(ArchiveInput& input, UInt64 packStart, UInt64 packSize,
                                 Byte prop, UInt64 outSize, const DecodeLimits& limits,
                                 std::unique_ptr<DecodedStream>* stream) {
  try {
    const unsigned threads = DecodeThreads(limits);
    if (threads < 2) return MakeSingle(input, packStart, packSize, prop, outSize, limits, stream);
    std::unique_ptr<ParallelLzma2Stream> parallel(
        new ParallelLzma2Stream(input, packStart, packSize, prop, outSize, limits));
    Lzma2Block first;
    parallel->scanner_.Next(&first);
    if (!first.regular || first.last) {
      return MakeSingle(input, packStart, packSize, prop, outSize, limits, stream);
    }
    parallel->blocks_.push_back(first);
    // Each thread holds a block at a time: as many threads as blocks of this size fit, two at
    // least, since a regular block holds at most half the memory limit.
    const unsigned count = static_cast<unsigned>(std::min<UInt64>(
        threads, limits.parallelMemory / std::max<UInt64>(first.unpackSize, 1)));
    parallel->scanner_.SetMaxBlock(limits.parallelMemory / count);
    parallel->decoders_.resize(count);
    for (CLzma2Dec& dec : parallel->decoders_) {
      Lzma2Dec_CONSTRUCT(&dec)
      RINOK(Lzma2Dec_AllocateProbs(&dec, prop, &g_Alloc))
    }
    // The input buffers come from here, where a failure is a status: on the threads only the
    // block list grows (Known) and block buffers are taken without exceptions.
    parallel->slots_.resize(count);
    for (Slot& slot : parallel->slots_) {
      slot.input.resize(std::max<size_t>(limits.inputPiece, 1));
    }
    if (!parallel->Start(count)) {
      return MakeSingle(input, packStart, packSize, prop, outSize, limits, stream);
    }
    *stream = std::move(parallel);
    return SZ_OK;
  } catch (const std::bad_alloc&) {
    return SZ_ERROR_MEM;
  }
}

ParallelLzma2Stream::~ParallelLzma2Stream() {
  std::unique_lock<std::mutex> lock(mutex_);
  StopThreads(lock);
  for (CLzma2Dec& dec : decoders_) Lzma2Dec_FreeProbs(&dec, &g_Alloc);
}

bool ParallelLzma2Stream::Start(unsigned count) {
  try {
    for (unsigned i = 0; i < count; ++i) threads_.emplace_back(&ParallelLzma2Stream::Work, this, i);
  } catch (const std::system_error&) {
    std::unique_lock<std::mutex> lock(mutex_);
    StopThreads(lock);
    return false;
  }
  return true;
}

void ParallelLzma2Stream::StopThreads(std::unique_lock<std::mutex>& lock) {
  stop_ = true;
  lock.unlock();
  changed_.notify_all();
  for (std::thread& thread : threads_) thread.join();
  threads_.clear();
  lock.lock();
}

bool ParallelLzma2Stream::Known(UInt64 index) {
  try {
    Lzma2Block block;
    while (blocks_.size() <= index && scanner_.Next(&block)) blocks_.push_back(block);
  } catch (const std::bad_alloc&) {
    // The scanner has gone past a block the list lacks: the list is no guide any more. This
    // runs on a decoding thread too, where the exception would end the process.
    error_ = SZ_ERROR_MEM;
    stop_ = true;
    changed_.notify_all();
    return false;
  }
  return index < blocks_.size() && blocks_[index].regular;
}

void ParallelLzma2Stream::Work(unsigned index) {
  const UInt64 count = slots_.size();
  Slot& slot = slots_[index];
  for (UInt64 k = index;; k += count) {
    Lzma2Block block;
    {
      std::unique_lock<std::mutex> lock(mutex_);
      // The slot is free once its previous block (k - count) was handed on.
      changed_.wait(lock, [&] { return stop_ || head_ + count > k; });
      if (stop_ || !Known(k)) return;
      block = blocks_[k];
      slot.block = k;
      slot.produced = 0;
      slot.state = SlotState::kDecoding;
    }
    const bool decoded = DecodeBlock(decoders_[index], block, slot);
    {
      std::lock_guard<std::mutex> lock(mutex_);
      slot.state = decoded ? SlotState::kDone : SlotState::kFailed;
    }
    changed_.notify_all();
    if (!decoded) return;
  }
}

bool ParallelLzma2Stream::DecodeBlock(CLzma2Dec& dec, const Lzma2Block& block, Slot& slot) {
  const size_t size = static_cast<size_t>(block.unpackSize);
  if (slot.capacity < size) {
    slot.buffer.reset();
    slot.capacity = 0;
    slot.buffer.reset(new (std::nothrow) Byte[size]);
    if (!slot.buffer) return false;
    slot.capacity = size;
  }
  Lzma2Dec_Init(&dec);
  dec.decoder.dic = slot.buffer.get();
  dec.decoder.dicBufSize = size;
  UInt64 pos = block.packStart;
  size_t inPos = 0;
  size_t inEnd = 0;
  std::vector<Byte>& in = slot.input;
  for (;;) {
    if (stop_) return false;
    if (inPos == inEnd && pos != block.packEnd) {
      size_t count = static_cast<size_t>(std::min<UInt64>(in.size(), block.packEnd - pos));
      if (input_.ReadAt(pos, in.data(), &count) != SZ_OK || count == 0) return false;
      pos += count;
      inPos = 0;
      inEnd = count;
    }
    // Once the output is complete, the rest of the input must end the block exactly.
    const bool full = dec.decoder.dicPos == size;
    const SizeT limit = full ? size : std::min(size, dec.decoder.dicPos + limits_.outputPiece);
    SizeT inLength = inEnd - inPos;
    const SizeT before = dec.decoder.dicPos;
    ELzmaStatus status;
    if (Lzma2Dec_DecodeToDic(&dec, limit, in.data() + inPos, &inLength,
                             full ? LZMA_FINISH_END : LZMA_FINISH_ANY, &status) != SZ_OK) {
      return false;
    }
    inPos += inLength;
    if (dec.decoder.dicPos != before) {
      {
        std::lock_guard<std::mutex> lock(mutex_);
        slot.produced = dec.decoder.dicPos;
      }
      changed_.notify_all();
    }
    const bool inputDone = inPos == inEnd && pos == block.packEnd;
    if (full) {
      if (status == LZMA_STATUS_FINISHED_WITH_MARK) return block.last && inputDone;
      if (inputDone) return !block.last && status == LZMA_STATUS_NEEDS_MORE_INPUT;
      if (inLength == 0) return false;
    } else if (inLength == 0 && dec.decoder.dicPos == before) {
      return false;
    }
  }
}

SRes ParallelLzma2Stream::Wait(std::unique_lock<std::mutex>& lock, const Byte** data,
                               size_t* size) {
  for (;;) {
    // A failed switch, or Known out of memory here or on a thread, ends the stream.
    const bool known = error_ == SZ_OK && Known(head_);
    if (error_ != SZ_OK) return error_;
    if (!known) {
      if (head_ == blocks_.size()) {
        *size = 0;
        return SZ_OK;
      }
      return SwitchToSingle(lock, data, size);
    }
    Slot& slot = slots_[head_ % slots_.size()];
    if (slot.block == head_) {
      if (slot.produced > consumed_) {
        *data = slot.buffer.get() + consumed_;
        *size = slot.produced - consumed_;
        return SZ_OK;
      }
      if (slot.state == SlotState::kFailed) return SwitchToSingle(lock, data, size);
      if (slot.state == SlotState::kDone) {
        ++head_;
        consumed_ = 0;
        changed_.notify_all();
        continue;
      }
    }
    changed_.wait(lock);
  }
}

SRes ParallelLzma2Stream::SwitchToSingle(std::unique_lock<std::mutex>& lock, const Byte** data,
                                         size_t* size) {
  const Lzma2Block block = blocks_[head_];
  const size_t handedOn = consumed_;
  StopThreads(lock);
  slots_.clear();  // the block buffers go before the single-thread window comes
  std::unique_ptr<DecodedStream> single;
  SRes res = MakeSingle(input_, block.packStart, packEnd_ - block.packStart, prop_,
                        outSize_ - block.unpackStart, limits_, &single);
  if (res == SZ_OK) res = Discard(*single, handedOn);
  if (res != SZ_OK) return error_ = res;
  single_ = std::move(single);
  return single_->Look(data, size);
}

SRes ParallelLzma2Stream::Look(const Byte** data, size_t* size) {
  if (single_) return single_->Look(data, size);
  std::unique_lock<std::mutex> lock(mutex_);
  return Wait(lock, data, size);
}

void ParallelLzma2Stream::Skip(size_t count) {
  if (single_) {
    single_->Skip(count);
    return;
  }
  std::lock_guard<std::mutex> lock(mutex_);
  consumed_ += count;
}

SRes ParallelLzma2Stream::Finish() {
  if (!single_) {
    std::unique_lock<std::mutex> lock(mutex_);
    if (error_ == SZ_OK) {
      // Waits until the last block was checked by its thread.
      const Byte* data;
      size_t size = 0;
      error_ = Wait(lock, &data, &size);
      if (error_ == SZ_OK && size != 0 && !single_) error_ = SZ_ERROR_FAIL;
    }
    if (!single_) return error_;
  }
  return single_->Finish();
}
