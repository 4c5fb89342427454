#include "uiresourcezip.h"

#include <unzip.h>

#include <algorithm>
#include <cstring>
#include <new>

#include "scopeguard.h"
#include "stringconv.h"
#include "uizipcrypto.h"

// The memory block that minizip reads through the I/O functions below.
struct CSkinArchive::MemoryStream {
  const BYTE* base = nullptr;
  uLong size = 0;
  uLong position = 0;
};

namespace {

using MemoryStream = CSkinArchive::MemoryStream;

voidpf ZCALLBACK MemoryOpen(voidpf opaque, const char*, int mode) {
  if ((mode & ZLIB_FILEFUNC_MODE_READWRITEFILTER) != ZLIB_FILEFUNC_MODE_READ) return nullptr;
  static_cast<MemoryStream*>(opaque)->position = 0;
  return opaque;
}

uLong ZCALLBACK MemoryRead(voidpf, voidpf stream, void* buffer, uLong size) {
  auto* memory = static_cast<MemoryStream*>(stream);
  uLong count = std::min(size, memory->size - memory->position);
  std::memcpy(buffer, memory->base + memory->position, count);
  memory->position += count;
  return count;
}

uLong ZCALLBACK MemoryWrite(voidpf, voidpf, const void*, uLong) { return 0; }

long ZCALLBACK MemoryTell(voidpf, voidpf stream) {
  return static_cast<long>(static_cast<MemoryStream*>(stream)->position);
}

long ZCALLBACK MemorySeek(voidpf, voidpf stream, uLong offset, int origin) {
  auto* memory = static_cast<MemoryStream*>(stream);
  uLong base;
  switch (origin) {
    case ZLIB_FILEFUNC_SEEK_SET: base = 0; break;
    case ZLIB_FILEFUNC_SEEK_CUR: base = memory->position; break;
    case ZLIB_FILEFUNC_SEEK_END: base = memory->size; break;
    default: return -1;
  }
  if (offset > memory->size - base) return -1;
  memory->position = base + offset;
  return 0;
}

int ZCALLBACK MemoryClose(voidpf, voidpf) { return 0; }
int ZCALLBACK MemoryError(voidpf, voidpf) { return 0; }

bool AsciiEqualNoCase(const char* a, const std::string& b) {
  if (std::strlen(a) != b.size()) return false;
  for (size_t i = 0; i < b.size(); ++i) {
    unsigned char x = static_cast<unsigned char>(a[i]);
    unsigned char y = static_cast<unsigned char>(b[i]);
    if (x >= 'A' && x <= 'Z') x = static_cast<unsigned char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<unsigned char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

}  // namespace

CSkinArchive::~CSkinArchive() {
  if (zip_ != nullptr) unzClose(zip_);
}

std::unique_ptr<CSkinArchive> CSkinArchive::OpenMemory(const void* bytes, size_t size,
                                                       const std::wstring& password) {
  if (bytes == nullptr || size == 0) return nullptr;
  std::unique_ptr<CSkinArchive> archive(new CSkinArchive());
  archive->memory_ = std::make_unique<MemoryStream>();
  archive->memory_->base = static_cast<const BYTE*>(bytes);
  archive->memory_->size = static_cast<uLong>(size);
  return Open(std::move(archive), password);
}

std::unique_ptr<CSkinArchive> CSkinArchive::OpenFile(const std::wstring& path,
                                                     const std::wstring& password) {
  UniqueHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return nullptr;
  LARGE_INTEGER size;
  if (!GetFileSizeEx(file.Get(), &size) || size.QuadPart <= 0 || size.QuadPart > 0x7FFFFFFF) {
    return nullptr;
  }
  std::unique_ptr<CSkinArchive> archive(new CSkinArchive());
  try {
    archive->ownedBytes_.resize(static_cast<size_t>(size.QuadPart));
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
  DWORD read = 0;
  if (!ReadFile(file.Get(), archive->ownedBytes_.data(), static_cast<DWORD>(size.QuadPart), &read,
                nullptr) ||
      read != size.QuadPart) {
    return nullptr;
  }
  archive->memory_ = std::make_unique<MemoryStream>();
  archive->memory_->base = archive->ownedBytes_.data();
  archive->memory_->size = read;
  return Open(std::move(archive), password);
}

std::unique_ptr<CSkinArchive> CSkinArchive::Open(std::unique_ptr<CSkinArchive> archive,
                                                 const std::wstring& password) {
  zlib_filefunc_def functions = {};
  functions.zopen_file = MemoryOpen;
  functions.zread_file = MemoryRead;
  functions.zwrite_file = MemoryWrite;
  functions.ztell_file = MemoryTell;
  functions.zseek_file = MemorySeek;
  functions.zclose_file = MemoryClose;
  functions.zerror_file = MemoryError;
  functions.opaque = archive->memory_.get();
  archive->zip_ = unzOpen2("membuffer", &functions);
  if (archive->zip_ == nullptr) return nullptr;
  archive->password_ = WideToSystemAnsi(password.c_str());
  return archive;
}

bool CSkinArchive::Locate(const std::wstring& name) {
  std::wstring slashed = name;
  std::replace(slashed.begin(), slashed.end(), L'\\', L'/');
  std::string wanted = WideToUtf8(slashed);
  if (wanted.empty() || wanted.size() >= kMaxEntryName) return false;
  for (int status = unzGoToFirstFile(zip_); status == UNZ_OK; status = unzGoToNextFile(zip_)) {
    unz_file_info info;
    char entry[kMaxEntryName];
    if (unzGetCurrentFileInfo(zip_, &info, entry, sizeof entry, nullptr, 0, nullptr, 0) != UNZ_OK) {
      return false;
    }
    if (info.size_filename >= kMaxEntryName) continue;
    entry[info.size_filename] = 0;
    if (AsciiEqualNoCase(entry, wanted)) return true;
  }
  return false;
}

bool CSkinArchive::Contains(const std::wstring& name) { return Locate(name); }

CSkinArchive::ReadResult CSkinArchive::Read(const std::wstring& name, size_t maxSize,
                                            std::vector<BYTE>& out) {
  out.clear();
  if (!Locate(name)) return ReadResult::kNotFound;
  unz_file_info info;
  if (unzGetCurrentFileInfo(zip_, &info, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK) {
    return ReadResult::kUnzipFailed;
  }
  if (info.uncompressed_size == 0) return ReadResult::kEmpty;
  if (info.uncompressed_size > maxSize) return ReadResult::kTooLarge;
  std::vector<BYTE> packed;
  if (!ReadRawEntry(info, packed)) return ReadResult::kUnzipFailed;
  try {
    out.resize(info.uncompressed_size);
  } catch (const std::bad_alloc&) {
    return ReadResult::kUnzipFailed;
  }
  bool unpacked = info.compression_method == 0 ? packed.size() == out.size()
                                               : Inflate(packed, out);
  if (unpacked && info.compression_method == 0) out.swap(packed);
  // The CRC catches damaged data and a wrong password.
  if (!unpacked || crc32(0, out.data(), static_cast<uInt>(out.size())) != info.crc) {
    out.clear();
    return ReadResult::kUnzipFailed;
  }
  return ReadResult::kOk;
}

// Reads the current entry's stored bytes and removes the encryption of an encrypted one.
bool CSkinArchive::ReadRawEntry(const unz_file_info& info, std::vector<BYTE>& packed) {
  int method = 0;
  int level = 0;
  if (unzOpenCurrentFile2(zip_, &method, &level, 1) != UNZ_OK) return false;
  auto closeEntry = MakeScopeGuard([this] { unzCloseCurrentFile(zip_); });
  // A damaged directory may claim more packed bytes than the whole archive holds.
  if (info.compressed_size > memory_->size) return false;
  try {
    packed.resize(info.compressed_size);
  } catch (const std::bad_alloc&) {
    return false;
  }
  if (!packed.empty() &&
      unzReadCurrentFile(zip_, packed.data(), static_cast<unsigned>(packed.size())) !=
          static_cast<int>(packed.size())) {
    return false;
  }
  if ((info.flag & 1) == 0 || password_.empty()) return true;
  if (packed.size() < CZipDecryptor::kHeaderSize) return false;
  // With the sizes after the data (flag bit 3) the header checks the time, else the CRC.
  BYTE check = (info.flag & 8) != 0 ? static_cast<BYTE>(info.dosDate >> 8)
                                    : static_cast<BYTE>(info.crc >> 24);
  CZipDecryptor decryptor(password_);
  if (!decryptor.DecryptHeader(packed.data(), check)) return false;
  decryptor.Decrypt(packed.data() + CZipDecryptor::kHeaderSize,
                    packed.size() - CZipDecryptor::kHeaderSize);
  packed.erase(packed.begin(), packed.begin() + CZipDecryptor::kHeaderSize);
  return true;
}

bool CSkinArchive::Inflate(std::vector<BYTE>& packed, std::vector<BYTE>& out) {
  z_stream stream = {};
  if (inflateInit2(&stream, -MAX_WBITS) != Z_OK) return false;
  stream.next_in = packed.data();
  stream.avail_in = static_cast<uInt>(packed.size());
  stream.next_out = out.data();
  stream.avail_out = static_cast<uInt>(out.size());
  int status = inflate(&stream, Z_FINISH);
  inflateEnd(&stream);
  return (status == Z_STREAM_END || status == Z_OK || status == Z_BUF_ERROR) &&
         stream.avail_out == 0;
}
