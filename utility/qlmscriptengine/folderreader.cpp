#include "folderreader.h"

#include "bcj2stream.h"
#include "coderids.h"
#include "copystream.h"
#include "filterstream.h"
#include "lzmastream.h"
#include "parallellzma2.h"
#include "ppmdstream.h"
#include "prefetchstream.h"

namespace {

bool IsMainMethod(UInt32 method) {
  return method == kMethodCopy || method == kMethodLzma || method == kMethodLzma2 ||
         method == kMethodPpmd;
}

bool IsSupportedCoder(const CSzCoderInfo& coder) {
  return coder.NumStreams == 1 && IsMainMethod(coder.MethodID);
}

bool IsSupportedFilter(UInt32 method) {
  switch (method) {
    case kMethodDelta:
    case kMethodBcj:
    case kMethodPpc:
    case kMethodIa64:
    case kMethodSparc:
    case kMethodArm:
    case kMethodRiscv:
    case kMethodArm64:
    case kMethodArmt:
      return true;
    default:
      return false;
  }
}

// The chains the decoder knows: one main coder; a main coder and a filter; three main coders
// feeding BCJ2 with its fixed stream layout.
SRes CheckSupportedFolder(const CSzFolder& f) {
  if (f.NumCoders < 1 || f.NumCoders > 4 || !IsSupportedCoder(f.Coders[0])) {
    return SZ_ERROR_UNSUPPORTED;
  }
  if (f.NumCoders == 1) {
    return f.NumPackStreams == 1 && f.PackStreams[0] == 0 && f.NumBonds == 0
               ? SZ_OK
               : SZ_ERROR_UNSUPPORTED;
  }
  if (f.NumCoders == 2) {
    const CSzCoderInfo& c = f.Coders[1];
    const bool layout = c.NumStreams == 1 && f.NumPackStreams == 1 && f.PackStreams[0] == 0 &&
                        f.NumBonds == 1 && f.Bonds[0].InIndex == 1 && f.Bonds[0].OutIndex == 0;
    return layout && IsSupportedFilter(c.MethodID) ? SZ_OK : SZ_ERROR_UNSUPPORTED;
  }
  if (f.NumCoders == 4) {
    if (!IsSupportedCoder(f.Coders[1]) || !IsSupportedCoder(f.Coders[2]) ||
        f.Coders[3].MethodID != kMethodBcj2 || f.Coders[3].NumStreams != 4) {
      return SZ_ERROR_UNSUPPORTED;
    }
    const bool layout =
        f.NumPackStreams == 4 && f.PackStreams[0] == 2 && f.PackStreams[1] == 6 &&
        f.PackStreams[2] == 1 && f.PackStreams[3] == 0 && f.NumBonds == 3 &&
        f.Bonds[0].InIndex == 5 && f.Bonds[0].OutIndex == 0 && f.Bonds[1].InIndex == 4 &&
        f.Bonds[1].OutIndex == 1 && f.Bonds[2].InIndex == 3 && f.Bonds[2].OutIndex == 2;
    return layout ? SZ_OK : SZ_ERROR_UNSUPPORTED;
  }
  return SZ_ERROR_UNSUPPORTED;
}

// The input range of one of the folder's packed streams.
struct PackRange {
  UInt64 start;
  UInt64 size;
};

// A main coder (Copy, LZMA, LZMA2, PPMd) over one packed stream, with the decoder's checks in
// its order. `parallel`: LZMA2 may decode on several threads.
SRes OpenCoder(const CSzCoderInfo& coder, const Byte* propsBase, PackRange pack,
               UInt64 outSize, bool parallel, ArchiveInput& input, const DecodeLimits& limits,
               std::unique_ptr<DecodedStream>* stream) {
  const Byte* props = propsBase + coder.PropsOffset;
  PackReader reader(input, pack.start, pack.size, limits.inputPiece);
  switch (coder.MethodID) {
    case kMethodCopy:
      if (pack.size != outSize) return SZ_ERROR_DATA;
      stream->reset(new CopyStream(std::move(reader), outSize));
      return SZ_OK;
    case kMethodLzma:
    case kMethodLzma2: {
      const bool lzma2 = coder.MethodID == kMethodLzma2;
      if (lzma2 && coder.PropsSize != 1) return SZ_ERROR_DATA;
      if (lzma2 && parallel) {
        return ParallelLzma2Stream::Create(input, pack.start, pack.size, props[0], outSize,
                                           limits, stream);
      }
      return LzmaStream::Open(lzma2 ? LzmaStream::Kind::kLzma2 : LzmaStream::Kind::kLzma,
                              std::move(reader), outSize, limits.outputPiece, props,
                              coder.PropsSize, stream);
    }
    case kMethodPpmd: {
      std::unique_ptr<PpmdStream> ppmd(
          new PpmdStream(std::move(reader), outSize, limits.outputPiece));
      RINOK(ppmd->Init(props, coder.PropsSize))
      *stream = std::move(ppmd);
      return SZ_OK;
    }
    default:
      return SZ_ERROR_UNSUPPORTED;
  }
}

}  // namespace

FolderReader::FolderReader(UInt32 folder, UInt64 size, std::unique_ptr<DecodedStream> stream,
                           const CSzBitUi32s& crcs)
    : folder_(folder), size_(size), stream_(std::move(stream)),
      hasCrc_(SzBitWithVals_Check(&crcs, folder)) {
  if (hasCrc_) expectedCrc_ = crcs.Vals[folder];
}

SRes FolderReader::Open(const CSzArEx& db, UInt32 folder, ArchiveInput& input,
                        const DecodeLimits& limits, std::unique_ptr<FolderReader>* reader) {
  const CSzAr& ar = db.db;
  const Byte* data = ar.CodersData + ar.FoCodersOffsets[folder];
  CSzData sd;
  sd.Data = data;
  sd.Size = ar.FoCodersOffsets[folder + 1] - ar.FoCodersOffsets[folder];
  CSzFolder f;
  RINOK(SzGetNextFolderItem(&f, &sd))
  if (sd.Size != 0 || f.UnpackStream != ar.FoToMainUnpackSizeIndex[folder]) {
    return SZ_ERROR_FAIL;
  }
  RINOK(CheckSupportedFolder(f))

  const UInt64* unpackSizes = ar.CoderUnpackSizes + ar.FoToCoderUnpackSizes[folder];
  const UInt64* packPositions = ar.PackPositions + ar.FoStartPackStreamIndex[folder];
  const auto pack = [&](UInt32 index) {
    return PackRange{db.dataPos + packPositions[index],
                     packPositions[index + 1] - packPositions[index]};
  };
  const UInt64 outSize = SzAr_GetFolderUnpackSize(&ar, folder);
  std::unique_ptr<DecodedStream> stream;
  bool threaded = false;  // LZMA2 decodes on several threads
  if (f.NumCoders == 4) {
    // Coders 0, 1 and 2 make the jump, call and main streams from packed streams 3, 2 and 0;
    // packed stream 1 is the range coder's.
    const UInt32 packIndex[3] = {3, 2, 0};
    std::unique_ptr<DecodedStream> inputs[3];
    for (UInt32 ci = 0; ci < 3; ++ci) {
      if (ci == 2 && unpackSizes[ci] > outSize) return SZ_ERROR_PARAM;
      RINOK(OpenCoder(f.Coders[ci], data, pack(packIndex[ci]), unpackSizes[ci], false, input,
                      limits, &inputs[ci]))
    }
    if ((unpackSizes[0] & 3) != 0 || (unpackSizes[1] & 3) != 0 ||
        unpackSizes[0] + unpackSizes[1] + unpackSizes[2] != outSize) {
      return SZ_ERROR_DATA;
    }
    const PackRange rc = pack(1);
    stream.reset(new Bcj2Stream(std::move(inputs[0]), std::move(inputs[1]),
                                std::move(inputs[2]),
                                PackReader(input, rc.start, rc.size, limits.inputPiece),
                                outSize, limits.outputPiece));
  } else {
    RINOK(OpenCoder(f.Coders[0], data, pack(0), outSize, true, input, limits, &stream))
    threaded = dynamic_cast<ParallelLzma2Stream*>(stream.get()) != nullptr;
    if (f.NumCoders == 2) {
      RINOK(FilterStream::Create(f.Coders[1], data + f.Coders[1].PropsOffset, std::move(stream),
                                 limits.outputPiece, &stream))
    }
  }
  // A chain that decodes on the calling thread decodes ahead on a thread of its own instead.
  if (!threaded && DecodeThreads(limits) > 1) {
    stream = PrefetchStream::Wrap(std::move(stream), limits.outputPiece);
  }
  reader->reset(new FolderReader(folder, outSize, std::move(stream), ar.FolderCRCs));
  return SZ_OK;
}

SRes FolderReader::Look(const Byte** data, size_t* size) {
  RINOK(stream_->Look(data, size))
  looked_ = *data;
  return SZ_OK;
}

void FolderReader::Skip(size_t count) {
  if (hasCrc_) crc_ = CrcUpdate(crc_, looked_, count);
  looked_ += count;
  stream_->Skip(count);
  position_ += count;
}

SRes FolderReader::Finish() {
  RINOK(stream_->Finish())
  if (hasCrc_ && CRC_GET_DIGEST(crc_) != expectedCrc_) return SZ_ERROR_CRC;
  return SZ_OK;
}
