#include "archiveextractor.h"

#include <windows.h>

#include <algorithm>
#include <memory>
#include <new>
#include <vector>

#include "7z.h"
#include "7zAlloc.h"
#include "7zCrc.h"
#include "7zFile.h"
#include "archiveinput.h"
#include "debugoutput.h"
#include "folderreader.h"
#include "scopeguard.h"
#include "scriptcallback.h"

namespace {

constexpr size_t kLookAheadBufferSize = 1 << 14;
constexpr SRes kStatusFailed = SZ_ERROR_FAIL;
constexpr size_t kMaxWrite = static_cast<size_t>(4) << 20;
constexpr UInt32 kNoFolder = static_cast<UInt32>(-1);
// 7-Zip marks attribute words that carry a POSIX mode in their high 16 bits with this bit.
constexpr UInt32 kAttributeUnixExtension = 0x8000;

const ISzAlloc kAllocator = {SzAlloc, SzFree};

bool IsSeparator(wchar_t c) { return c == L'/' || c == L'\\'; }

// A component of only dots and blanks names the folder itself or its parent once Windows
// has trimmed its trailing dots and blanks.
bool IsDotComponent(const wchar_t* begin, const wchar_t* end) {
  for (const wchar_t* p = begin; p != end; ++p) {
    if (*p != L'.' && *p != L' ') return false;
  }
  return true;
}

const wchar_t* FindUnsafeName(const CSzArEx& db, std::vector<wchar_t>& name) {
  for (UInt32 i = 0; i < db.NumFiles; ++i) {
    name.resize(SzArEx_GetFileNameUtf16(&db, i, nullptr));
    SzArEx_GetFileNameUtf16(&db, i, reinterpret_cast<UInt16*>(name.data()));
    if (!IsSafeItemName(name.data())) return name.data();
  }
  return nullptr;
}

bool SetLastWriteTime(HANDLE file, const CSzArEx& db, UInt32 index) {
  if (!SzBitWithVals_Check(&db.MTime, index)) return true;
  FILETIME time;
  time.dwLowDateTime = db.MTime.Vals[index].Low;
  time.dwHighDateTime = db.MTime.Vals[index].High;
  return SetFileTime(file, nullptr, nullptr, &time) != FALSE;
}

void ApplyAttributes(const wchar_t* path, const CSzArEx& db, UInt32 index) {
  if (!SzBitWithVals_Check(&db.Attribs, index)) return;
  UInt32 attributes = db.Attribs.Vals[index];
  if (attributes & kAttributeUnixExtension) attributes &= kAttributeUnixExtension - 1;
  SetFileAttributesW(path, attributes);
}

HANDLE CreateItemFile(const wchar_t* path) {
  return CreateFileW(path, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                     FILE_ATTRIBUTE_NORMAL, nullptr);
}

// Creates every folder named before a "/" in the name part of `path` (which starts at
// `nameStart`) and turns those separators into "\".
void CreateParentFolders(std::vector<wchar_t>& path, size_t nameStart) {
  for (size_t k = nameStart; k < path.size() && path[k] != L'\0'; ++k) {
    if (path[k] != L'/') continue;
    path[k] = L'\0';
    CreateDirectoryW(path.data(), nullptr);
    path[k] = L'\\';
  }
}

// Makes *itemReader the reader at the data of item `index` (null for an item without data)
// and *size the item's size, opening the item's folder when it is not the one being read.
// Items come in archive order and each is read to its end before the next, so an item's data
// comes next in its folder's output, which is decoded once, from the start.
SRes PrepareItem(const CSzArEx& db, UInt32 index, ArchiveInput& input,
                 const DecodeLimits& limits, std::unique_ptr<FolderReader>& reader,
                 FolderReader** itemReader, UInt64* size) {
  *itemReader = nullptr;
  *size = 0;
  const UInt32 folder = db.FileToFolder[index];
  if (folder == kNoFolder) return SZ_OK;
  *size = SzArEx_GetFileSize(&db, index);
  const UInt64 offset = db.UnpackPositions[index] - db.UnpackPositions[db.FolderToFile[folder]];
  if (!reader || reader->Folder() != folder) {
    reader.reset();
    RINOK(FolderReader::Open(db, folder, input, limits, &reader))
  }
  if (reader->Position() != offset || offset + *size > reader->Size()) return SZ_ERROR_FAIL;
  *itemReader = reader.get();
  return SZ_OK;
}

// Hands the item's `size` bytes from `reader` (null for an item without data) to `file`, or
// drops them when `file` is null, checking the item's CRC and, when the item ends its folder,
// the folder's end. A failed write gives status 11 and sets *writeFailed.
SRes CopyItem(FolderReader* reader, const CSzArEx& db, UInt32 index, UInt64 size, HANDLE file,
              bool* writeFailed) {
  *writeFailed = false;
  if (reader == nullptr) return SZ_OK;
  const bool checkCrc = SzBitWithVals_Check(&db.CRCs, index);
  UInt32 crc = CRC_INIT_VAL;
  CSzFile writer;
  writer.handle = file;
  for (UInt64 left = size; left != 0;) {
    const Byte* data;
    size_t count;
    RINOK(reader->Look(&data, &count))
    if (count == 0) return SZ_ERROR_FAIL;
    count = static_cast<size_t>(std::min<UInt64>(std::min(count, kMaxWrite), left));
    if (checkCrc) crc = CrcUpdate(crc, data, count);
    if (file != nullptr) {
      size_t written = count;
      if (File_Write(&writer, data, &written) != 0 || written != count) {
        *writeFailed = true;
        return kStatusFailed;
      }
    }
    reader->Skip(count);
    left -= count;
  }
  if (checkCrc && CRC_GET_DIGEST(crc) != db.CRCs.Vals[index]) {
    // A decoding failure anywhere in the folder, or its bad CRC, outranks the item's bad CRC,
    // as when the whole folder is decoded first.
    RINOK(DrainAndFinish(*reader))
    return SZ_ERROR_CRC;
  }
  return reader->Position() == reader->Size() ? reader->Finish() : SZ_OK;
}

SRes ExtractItems(ISeekInStreamPtr stream, const std::wstring& destination,
                  ScriptCallback* fileDone, ScriptCallback* createError,
                  const DecodeLimits& limits) {
  std::vector<Byte> lookAhead(kLookAheadBufferSize);
  CLookToRead2 look;
  LookToRead2_CreateVTable(&look, False);
  look.buf = lookAhead.data();
  look.bufSize = lookAhead.size();
  look.realStream = stream;
  LookToRead2_INIT(&look);

  CrcGenerateTable();
  CSzArEx db;
  SzArEx_Init(&db);
  auto freeDb = MakeScopeGuard([&db] { SzArEx_Free(&db, &kAllocator); });
  SRes status = SzArEx_Open(&db, &look.vt, &kAllocator, &kAllocator);
  if (status != SZ_OK) return status;

  // Refuse the whole archive before anything is written when one item would land outside
  // the destination.
  std::vector<wchar_t> path;
  if (const wchar_t* unsafe = FindUnsafeName(db, path)) {
    DebugLine(L"Fun:%s, Description: item %s leaves the destination, nothing extracted.\r\n",
              L"ExtractArchive", unsafe);
    return SZ_ERROR_UNSUPPORTED;
  }

  ArchiveInput input(stream);
  std::unique_ptr<FolderReader> reader;
  const size_t nameStart = destination.size() + 1;

  for (UInt32 i = 0; i < db.NumFiles; ++i) {
    size_t nameUnits = SzArEx_GetFileNameUtf16(&db, i, nullptr);
    path.resize(nameStart + nameUnits);
    destination.copy(path.data(), destination.size());
    path[destination.size()] = L'\\';
    SzArEx_GetFileNameUtf16(&db, i, reinterpret_cast<UInt16*>(path.data() + nameStart));
    const wchar_t* fullPath = path.data();

    const bool isFolder = SzArEx_IsDir(&db, i);
    FolderReader* itemReader = nullptr;
    UInt64 size = 0;
    if (!isFolder) {
      status = PrepareItem(db, i, input, limits, reader, &itemReader, &size);
      if (status != SZ_OK) break;
    }
    CreateParentFolders(path, nameStart);
    if (isFolder) {
      CreateDirectoryW(fullPath, nullptr);
      continue;
    }

    DWORD existing = GetFileAttributesW(fullPath);
    if (existing != INVALID_FILE_ATTRIBUTES && (existing & FILE_ATTRIBUTE_READONLY)) {
      SetFileAttributesW(fullPath, existing & ~FILE_ATTRIBUTE_READONLY);
    }
    bool writeFailed = false;
    UniqueHandle file(CreateItemFile(fullPath));
    if (!file) {
      DWORD error = GetLastError();
      if (error == 0 || createError == nullptr) {
        status = kStatusFailed;
        break;
      }
      status = static_cast<SRes>(error);
      int answer = createError->CallPathCode(fullPath, error);
      if (answer == 1) {
        // A skipped item's data is still decoded and checked: the next item's data follows it.
        SRes dropped = CopyItem(itemReader, db, i, size, nullptr, &writeFailed);
        if (dropped != SZ_OK) {
          status = dropped;
          break;
        }
        continue;
      }
      if (answer != 0) {
        status = kStatusFailed;
        break;
      }
      file.Reset(CreateItemFile(fullPath));
      if (!file) {
        status = kStatusFailed;
        break;
      }
      status = SZ_OK;
    }

    status = CopyItem(itemReader, db, i, size, file.Get(), &writeFailed);
    if (status != SZ_OK) {
      // Nothing of an item whose data failed its checks stays behind.
      if (!writeFailed) {
        file.Reset();
        DeleteFileW(fullPath);
      }
      break;
    }
    SetLastWriteTime(file.Get(), db, i);
    if (!CloseHandle(file.Release()) && GetLastError() != 0) {
      status = kStatusFailed;
      break;
    }
    ApplyAttributes(fullPath, db, i);
    if (fileDone != nullptr) fileDone->CallPath(fullPath);
  }
  return status;
}

}  // namespace

bool IsSafeItemName(const wchar_t* name) {
  if (name == nullptr || *name == L'\0' || IsSeparator(*name)) return false;
  const wchar_t* componentStart = name;
  for (const wchar_t* p = name;; ++p) {
    if (*p == L':') return false;
    if (*p == L'\0' || IsSeparator(*p)) {
      if (IsDotComponent(componentStart, p)) return false;  // also catches empty components
      if (*p == L'\0') return true;
      componentStart = p + 1;
    }
  }
}

SRes ExtractArchive(ISeekInStreamPtr stream, const std::wstring& destination,
                    ScriptCallback* fileDone, ScriptCallback* createError,
                    const DecodeLimits& limits) {
  try {
    return ExtractItems(stream, destination, fileDone, createError, limits);
  } catch (const std::bad_alloc&) {
    return SZ_ERROR_MEM;
  }
}
