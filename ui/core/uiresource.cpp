#include "uiresource.h"

#include <cstdint>
#include <new>
#include <string>

#include "scopeguard.h"
#include "uiskinsource.h"
#include "uimarkup.h"
#include "uiresourcezip.h"

namespace {

constexpr size_t kNoLimit = SIZE_MAX;

SkinFileError ReadWholeFile(const std::wstring& path, size_t maxSize, std::vector<BYTE>& bytes) {
  UniqueHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return SkinFileError::kOpenFile;
  LARGE_INTEGER size;
  if (!GetFileSizeEx(file.Get(), &size)) return SkinFileError::kReadFile;
  if (size.QuadPart == 0) return SkinFileError::kEmpty;
  if (static_cast<uint64_t>(size.QuadPart) > maxSize || size.QuadPart > 0x7FFFFFFF) {
    return SkinFileError::kTooLarge;
  }
  try {
    bytes.resize(static_cast<size_t>(size.QuadPart));
  } catch (const std::bad_alloc&) {
    return SkinFileError::kReadFile;
  }
  DWORD read = 0;
  if (!ReadFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) ||
      read != bytes.size()) {
    bytes.clear();
    return SkinFileError::kReadFile;
  }
  return SkinFileError::kNone;
}

// The archive to read from: the one kept open, or `opened` for this read only.
CSkinArchive* AcquireArchive(std::unique_ptr<CSkinArchive>& opened) {
  if (CSkinSource::IsCachedResourceArchive()) return CSkinSource::GetResourceArchiveHandle();
  opened = CSkinArchive::OpenFile(
      CSkinSource::GetResourcePath() + CSkinSource::GetResourceArchive(),
      CSkinSource::GetResourceArchivePassword());
  return opened.get();
}

SkinFileError ReadSkinFile(std::wstring_view name, size_t maxSize, std::vector<BYTE>& bytes) {
  bytes.clear();
  std::wstring entry(name);
  if (CSkinSource::GetResourceArchive().empty()) {
    return ReadWholeFile(CSkinSource::GetResourcePath() + entry, maxSize, bytes);
  }
  std::unique_ptr<CSkinArchive> opened;
  CSkinArchive* archive = AcquireArchive(opened);
  if (archive == nullptr) return SkinFileError::kOpenArchive;
  switch (archive->Read(entry, maxSize, bytes)) {
    case CSkinArchive::ReadResult::kOk: return SkinFileError::kNone;
    case CSkinArchive::ReadResult::kNotFound: return SkinFileError::kNotInArchive;
    case CSkinArchive::ReadResult::kEmpty: return SkinFileError::kEmpty;
    case CSkinArchive::ReadResult::kTooLarge: return SkinFileError::kTooLarge;
    case CSkinArchive::ReadResult::kUnzipFailed: break;
  }
  return SkinFileError::kUnzip;
}

}  // namespace

SkinFileError ReadSkinMarkupFile(std::wstring_view name, std::vector<BYTE>& bytes) {
  return ReadSkinFile(name, CMarkup::kMaxFileSize, bytes);
}

bool ReadSkinAssetFile(std::wstring_view name, std::vector<BYTE>& bytes) {
  if (ReadSkinFile(name, kNoLimit, bytes) == SkinFileError::kNone) return true;
  return ReadWholeFile(std::wstring(name), kNoLimit, bytes) == SkinFileError::kNone;
}

bool SkinFileExists(std::wstring_view name) {
  std::wstring entry(name);
  if (CSkinSource::GetResourceArchive().empty()) {
    DWORD attributes = GetFileAttributesW((CSkinSource::GetResourcePath() + entry).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
  }
  std::unique_ptr<CSkinArchive> opened;
  CSkinArchive* archive = AcquireArchive(opened);
  return archive != nullptr && archive->Contains(entry);
}

bool LockModuleResource(HINSTANCE module, UINT id, const wchar_t* type, const BYTE*& data,
                        DWORD& size) {
  HRSRC resource = FindResourceW(module, MAKEINTRESOURCEW(id), type);
  if (resource == nullptr) return false;
  HGLOBAL loaded = LoadResource(module, resource);
  size = SizeofResource(module, resource);
  data = loaded != nullptr ? static_cast<const BYTE*>(LockResource(loaded)) : nullptr;
  return data != nullptr && size != 0;
}
