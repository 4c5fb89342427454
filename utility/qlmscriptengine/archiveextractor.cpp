#include "archiveextractor.h"

#include <windows.h>

#include <new>
#include <vector>

#include "7z.h"
#include "7zAlloc.h"
#include "7zCrc.h"
#include "7zFile.h"
#include "debugoutput.h"
#include "scopeguard.h"
#include "scriptcallback.h"

namespace {

constexpr size_t kLookAheadBufferSize = 1 << 14;
constexpr SRes kStatusFailed = SZ_ERROR_FAIL;
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
                    ScriptCallback* fileDone, ScriptCallback* createError) {
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

  UInt32 blockIndex = 0xFFFFFFFF;
  Byte* outBuffer = nullptr;
  size_t outBufferSize = 0;
  auto freeOut = MakeScopeGuard([&outBuffer] { ISzAlloc_Free(&kAllocator, outBuffer); });
  const size_t nameStart = destination.size() + 1;

  for (UInt32 i = 0; i < db.NumFiles; ++i) {
    size_t nameUnits = SzArEx_GetFileNameUtf16(&db, i, nullptr);
    try {
      path.resize(nameStart + nameUnits);
    } catch (const std::bad_alloc&) {
      status = SZ_ERROR_MEM;
      break;
    }
    destination.copy(path.data(), destination.size());
    path[destination.size()] = L'\\';
    SzArEx_GetFileNameUtf16(&db, i, reinterpret_cast<UInt16*>(path.data() + nameStart));
    const wchar_t* fullPath = path.data();

    const bool isFolder = SzArEx_IsDir(&db, i);
    size_t offset = 0;
    size_t size = 0;
    if (!isFolder) {
      status = SzArEx_Extract(&db, &look.vt, i, &blockIndex, &outBuffer, &outBufferSize, &offset,
                              &size, &kAllocator, &kAllocator);
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
    UniqueHandle file(CreateItemFile(fullPath));
    if (!file) {
      DWORD error = GetLastError();
      if (error == 0 || createError == nullptr) {
        status = kStatusFailed;
        break;
      }
      status = static_cast<SRes>(error);
      int answer = createError->CallPathCode(fullPath, error);
      if (answer == 1) continue;
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

    CSzFile writer;
    writer.handle = file.Get();
    size_t written = size;
    if (File_Write(&writer, outBuffer + offset, &written) != 0 || written != size) {
      status = kStatusFailed;
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
