#include "ppmdstream.h"

#include "Alloc.h"
#include "CpuArch.h"

PpmdStream::PpmdStream(PackReader input, UInt64 outSize, size_t outputPiece)
    : PieceStream(outSize, outputPiece), input_(std::move(input)) {
  link_.vt.Read = &PpmdStream::ReadByte;
  link_.self = this;
  Ppmd7_Construct(&ppmd_);
}

// Ppmd7_Construct leaves the model without memory, which Ppmd7_Free takes as nothing to free.
PpmdStream::~PpmdStream() { Ppmd7_Free(&ppmd_, &g_Alloc); }

SRes PpmdStream::Init(const Byte* props, unsigned propsSize) {
  if (propsSize != 5) return SZ_ERROR_UNSUPPORTED;
  const unsigned order = props[0];
  const UInt32 memSize = GetUi32(props + 1);
  if (order < PPMD7_MIN_ORDER || order > PPMD7_MAX_ORDER || memSize < PPMD7_MIN_MEM_SIZE ||
      memSize > PPMD7_MAX_MEM_SIZE) {
    return SZ_ERROR_UNSUPPORTED;
  }
  if (!Ppmd7_Alloc(&ppmd_, memSize, &g_Alloc)) return SZ_ERROR_MEM;
  Ppmd7_Init(&ppmd_, order);
  ppmd_.rc.dec.Stream = &link_.vt;
  const bool started = Ppmd7z_RangeDec_Init(&ppmd_.rc.dec) != 0;
  if (extra_) return InputFailure();
  return started ? SZ_OK : SZ_ERROR_DATA;
}

SRes PpmdStream::InputFailure() const {
  return extra_ && readError_ != SZ_OK ? readError_ : SZ_ERROR_DATA;
}

Byte PpmdStream::ReadByte(IByteInPtr p) {
  PpmdStream* self = reinterpret_cast<const Link*>(p)->self;
  if (self->cur_ != self->lookEnd_) return *self->cur_++;
  if (!self->extra_) {
    self->input_.Skip(static_cast<size_t>(self->cur_ - self->looked_));
    size_t size = 0;
    self->readError_ = self->input_.Look(&self->looked_, &size);
    self->cur_ = self->looked_;
    self->lookEnd_ = self->looked_ + size;
    if (self->readError_ == SZ_OK && size != 0) return *self->cur_++;
  }
  self->extra_ = true;
  return 0;
}

SRes PpmdStream::Fill(Byte* dest, size_t count) {
  for (size_t i = 0; i < count; ++i) {
    const int symbol = Ppmd7z_DecodeSymbol(&ppmd_);
    if (extra_ || symbol < 0) return InputFailure();
    dest[i] = static_cast<Byte>(symbol);
  }
  return SZ_OK;
}

SRes PpmdStream::Finish() {
  if (error_ != SZ_OK) return error_;
  if (extra_) return error_ = InputFailure();
  if (!Ppmd7z_RangeDec_IsFinishedOK(&ppmd_.rc.dec)) return error_ = SZ_ERROR_DATA;
  input_.Skip(static_cast<size_t>(cur_ - looked_));
  looked_ = cur_;
  if (input_.Remaining() != 0) error_ = SZ_ERROR_DATA;
  return error_;
}
