#include "archivefixture.h"

#include <windows.h>

#include <cstring>

#include "7z.h"
#include "7zAlloc.h"
#include "7zCrc.h"
#include "7zFile.h"
#include "archiveextractor.h"
#include "memoryinstream.h"
#include "payloadfixture.h"
#include "scopeguard.h"
#include "testsupport.h"

namespace {

const ISzAlloc kAllocator = {SzAlloc, SzFree};

// An opened archive database over bytes in memory.
class Database {
 public:
  explicit Database(const std::string& archive)
      : stream_(reinterpret_cast<const Byte*>(archive.data()), archive.size()),
        buffer_(1 << 14) {
    LookToRead2_CreateVTable(&look_, False);
    look_.buf = buffer_.data();
    look_.bufSize = buffer_.size();
    look_.realStream = stream_.Stream();
    LookToRead2_INIT(&look_);
    CrcGenerateTable();
    SzArEx_Init(&db_);
    status_ = SzArEx_Open(&db_, &look_.vt, &kAllocator, &kAllocator);
  }
  ~Database() { SzArEx_Free(&db_, &kAllocator); }
  SRes Status() const { return status_; }
  const CSzArEx& Db() const { return db_; }
  ILookInStreamPtr Look() const { return &look_.vt; }

 private:
  MemoryInStream stream_;
  std::vector<Byte> buffer_;
  CLookToRead2 look_;
  CSzArEx db_;
  SRes status_;
};

// Reads a 7z NUMBER at `pos`: its value and its length in bytes.
bool ReadNumber(const std::string& a, size_t pos, UInt64* value, size_t* length) {
  if (pos >= a.size()) return false;
  const Byte first = static_cast<Byte>(a[pos]);
  size_t extra = 0;
  while (extra < 8 && (first & (0x80 >> extra))) ++extra;
  if (pos + 1 + extra > a.size()) return false;
  UInt64 low = 0;
  for (size_t i = 0; i < extra; ++i) {
    low |= static_cast<UInt64>(static_cast<Byte>(a[pos + 1 + i])) << (8 * i);
  }
  const UInt64 high = extra < 8 ? (first & ((0x80 >> extra) - 1)) : 0;
  *value = low | (extra < 8 ? high << (8 * extra) : 0);
  *length = 1 + extra;
  return true;
}

// Writes `value` as a 7z NUMBER of the given length at `pos` (it must fit).
void WriteNumber(std::string& a, size_t pos, size_t length, UInt64 value) {
  const size_t extra = length - 1;
  Byte first = static_cast<Byte>(0xFF00 >> extra);
  if (extra < 8) first |= static_cast<Byte>(value >> (8 * extra));
  a[pos] = static_cast<char>(first);
  for (size_t i = 0; i < extra; ++i) a[pos + 1 + i] = static_cast<char>(value >> (8 * i));
}

size_t HeaderStart(const std::string& a) {
  UInt64 offset;
  std::memcpy(&offset, &a[12], 8);
  return static_cast<size_t>(32 + offset);
}

}  // namespace

std::string ReadArchive(const std::wstring& name) {
  return ReadFileBytes(PayloadData() + L"\\" + name + L".7z");
}

std::vector<ArchiveItem> ListItems(const std::string& archive) {
  std::vector<ArchiveItem> items;
  Database database(archive);
  if (database.Status() != SZ_OK) return items;
  const CSzArEx& db = database.Db();
  for (UInt32 i = 0; i < db.NumFiles; ++i) {
    std::wstring name(SzArEx_GetFileNameUtf16(&db, i, nullptr), L'\0');
    SzArEx_GetFileNameUtf16(&db, i, reinterpret_cast<UInt16*>(&name[0]));
    name.resize(name.size() - 1);
    for (wchar_t& c : name) c = c == L'/' ? L'\\' : c;
    ArchiveItem item;
    item.name = name;
    item.folder = db.FileToFolder[i];
    item.hasData = !SzArEx_IsDir(&db, i) && item.folder != static_cast<UInt32>(-1);
    item.hasCrc = SzBitWithVals_Check(&db.CRCs, i);
    item.crc = item.hasCrc ? db.CRCs.Vals[i] : 0;
    items.push_back(item);
  }
  return items;
}

FirstFolder ReadFirstFolder(const std::string& archive) {
  FirstFolder folder;
  Database database(archive);
  if (database.Status() != SZ_OK || database.Db().db.NumFolders == 0) return folder;
  const CSzArEx& db = database.Db();
  folder.packStart = db.dataPos + db.db.PackPositions[0];
  folder.packSize = db.db.PackPositions[1] - db.db.PackPositions[0];
  folder.unpackSize = SzAr_GetFolderUnpackSize(&db.db, 0);
  CSzData sd;
  sd.Data = db.db.CodersData;
  sd.Size = db.db.FoCodersOffsets[1];
  CSzFolder f;
  if (SzGetNextFolderItem(&f, &sd) == SZ_OK) {
    folder.props.assign(reinterpret_cast<const char*>(db.db.CodersData + f.Coders[0].PropsOffset),
                        f.Coders[0].PropsSize);
  }
  return folder;
}

SRes WholeBlockStatus(const std::string& archive) {
  Database database(archive);
  if (database.Status() != SZ_OK) return database.Status();
  const CSzArEx& db = database.Db();
  UInt32 block = 0xFFFFFFFF;
  Byte* buffer = nullptr;
  size_t bufferSize = 0;
  auto freeBuffer = MakeScopeGuard([&buffer] { ISzAlloc_Free(&kAllocator, buffer); });
  for (UInt32 i = 0; i < db.NumFiles; ++i) {
    if (SzArEx_IsDir(&db, i)) continue;
    size_t offset = 0;
    size_t size = 0;
    SRes res = SzArEx_Extract(&db, database.Look(), i, &block, &buffer, &bufferSize, &offset,
                              &size, &kAllocator, &kAllocator);
    if (res != SZ_OK) return res;
  }
  return SZ_OK;
}

SRes ExtractBytes(const std::string& archive, const std::wstring& destination,
                  const DecodeLimits& limits, Source source) {
  if (source == Source::kMemory) {
    MemoryInStream stream(reinterpret_cast<const Byte*>(archive.data()), archive.size());
    return ExtractArchive(stream.Stream(), destination, nullptr, nullptr, limits);
  }
  TempFolder folder(L"qlmsrc");
  const std::wstring path = folder / L"archive.7z";
  if (!WriteFileBytes(path, archive)) return SZ_ERROR_WRITE;
  UniqueHandle handle(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  CFileInStream stream;
  FileInStream_CreateVTable(&stream);
  stream.file.handle = handle.Get();
  stream.wres = 0;
  return ExtractArchive(&stream.vt, destination, nullptr, nullptr, limits);
}

void FixHeaderCrcs(std::string& archive) {
  CrcGenerateTable();
  UInt64 size;
  std::memcpy(&size, &archive[20], 8);
  const UInt32 headerCrc = CrcCalc(&archive[HeaderStart(archive)], static_cast<size_t>(size));
  std::memcpy(&archive[28], &headerCrc, 4);
  const UInt32 startCrc = CrcCalc(&archive[12], 20);
  std::memcpy(&archive[8], &startCrc, 4);
}

bool HalveFirstPackSize(std::string& archive) {
  // kHeader, kMainStreamsInfo, kPackInfo, pack position, stream count, kSize, first size.
  size_t pos = HeaderStart(archive);
  if (archive.compare(pos, 3, "\x01\x04\x06") != 0) return false;
  pos += 3;
  UInt64 value;
  size_t length;
  for (int field = 0; field < 2; ++field) {
    if (!ReadNumber(archive, pos, &value, &length)) return false;
    pos += length;
  }
  if (archive[pos] != '\x09' || !ReadNumber(archive, pos + 1, &value, &length)) return false;
  WriteNumber(archive, pos + 1, length, value / 2);
  FixHeaderCrcs(archive);
  return true;
}

bool BreakItemCrc(std::string& archive, UInt32 crc) {
  const std::string bytes(reinterpret_cast<const char*>(&crc), 4);
  const size_t at = archive.find(bytes, HeaderStart(archive));
  if (at == std::string::npos) return false;
  archive[at] ^= 0x01;
  FixHeaderCrcs(archive);
  return true;
}
