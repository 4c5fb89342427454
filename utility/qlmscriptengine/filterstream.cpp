#include "filterstream.h"

#include <algorithm>
#include <cstring>

#include "CpuArch.h"
#include "coderids.h"

namespace {
// Room for the unconverted tail of a piece (the longest is an IA-64 bundle).
constexpr size_t kTailRoom = 16;
}  // namespace

FilterStream::FilterStream(std::unique_ptr<DecodedStream> upstream, size_t outputPiece)
    : upstream_(std::move(upstream)), buffer_(std::max<size_t>(outputPiece, 1) + kTailRoom) {}

SRes FilterStream::Create(const CSzCoderInfo& coder, const Byte* props,
                          std::unique_ptr<DecodedStream> upstream, size_t outputPiece,
                          std::unique_ptr<DecodedStream>* stream) {
  std::unique_ptr<FilterStream> filter(new FilterStream(std::move(upstream), outputPiece));
  filter->method_ = coder.MethodID;
  switch (coder.MethodID) {
    case kMethodDelta:
      if (coder.PropsSize != 1) return SZ_ERROR_UNSUPPORTED;
      filter->delta_ = static_cast<unsigned>(props[0]) + 1;
      Delta_Init(filter->deltaState_);
      break;
    case kMethodArm64:
    case kMethodRiscv:
      // An optional start address, aligned to the instruction size.
      if (coder.PropsSize == 4) {
        filter->pc_ = GetUi32(props);
        if (filter->pc_ & (coder.MethodID == kMethodArm64 ? 3 : 1)) return SZ_ERROR_UNSUPPORTED;
      } else if (coder.PropsSize != 0) {
        return SZ_ERROR_UNSUPPORTED;
      }
      filter->branch_ = coder.MethodID == kMethodArm64 ? Z7_BRANCH_CONV_DEC(ARM64)
                                                       : Z7_BRANCH_CONV_DEC(RISCV);
      break;
    default:
      if (coder.PropsSize != 0) return SZ_ERROR_UNSUPPORTED;
      switch (coder.MethodID) {
        case kMethodBcj: break;
        case kMethodPpc: filter->branch_ = Z7_BRANCH_CONV_DEC(PPC); break;
        case kMethodIa64: filter->branch_ = Z7_BRANCH_CONV_DEC(IA64); break;
        case kMethodSparc: filter->branch_ = Z7_BRANCH_CONV_DEC(SPARC); break;
        case kMethodArm: filter->branch_ = Z7_BRANCH_CONV_DEC(ARM); break;
        case kMethodArmt: filter->branch_ = Z7_BRANCH_CONV_DEC(ARMT); break;
        default: return SZ_ERROR_UNSUPPORTED;
      }
  }
  *stream = std::move(filter);
  return SZ_OK;
}

size_t FilterStream::Convert(Byte* data, size_t size) {
  size_t done;
  if (method_ == kMethodDelta) {
    Delta_Decode(deltaState_, delta_, data, size);
    done = size;
  } else if (method_ == kMethodBcj) {
    done = static_cast<size_t>(z7_BranchConvSt_X86_Dec(data, size, pc_, &x86State_) - data);
  } else {
    done = static_cast<size_t>(branch_(data, size, pc_) - data);
  }
  pc_ += static_cast<UInt32>(done);
  return done;
}

SRes FilterStream::Look(const Byte** data, size_t* size) {
  if (error_ != SZ_OK) return error_;
  if (begin_ == ready_) {
    // Everything converted was handed on: the unconverted tail moves to the front.
    std::memmove(buffer_.data(), buffer_.data() + ready_, filled_ - ready_);
    filled_ -= ready_;
    begin_ = ready_ = 0;
    while (ready_ == 0) {
      size_t got;
      error_ = ReadInto(*upstream_, buffer_.data() + filled_, buffer_.size() - filled_, &got);
      filled_ += got;
      if (error_ != SZ_OK) return error_;
      const bool ended = filled_ != buffer_.size();
      ready_ = Convert(buffer_.data(), filled_);
      if (ended) {
        ready_ = filled_;
        break;
      }
    }
  }
  *data = buffer_.data() + begin_;
  *size = ready_ - begin_;
  return SZ_OK;
}
