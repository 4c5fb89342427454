#include "filebytes.h"

#include <windows.h>

#include <cstdint>
#include <new>

#include "scopeguard.h"

FileReadError ReadWholeFile(const std::wstring& path, size_t maxSize, std::string& bytes) {
  bytes.clear();
  UniqueHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
  LARGE_INTEGER size = {};
  if (!file || !GetFileSizeEx(file.Get(), &size)) return FileReadError::kOpen;
  if (size.QuadPart > 0x7FFFFFFF || static_cast<uint64_t>(size.QuadPart) > maxSize) {
    return FileReadError::kTooLarge;
  }
  try {
    bytes.resize(static_cast<size_t>(size.QuadPart));
  } catch (const std::bad_alloc&) {
    return FileReadError::kNoMemory;
  }
  // A read may return fewer bytes than asked; a file that shrank meanwhile ends as a failure.
  size_t done = 0;
  while (done < bytes.size()) {
    DWORD read = 0;
    if (!ReadFile(file.Get(), &bytes[done], static_cast<DWORD>(bytes.size() - done), &read,
                  nullptr) ||
        read == 0) {
      bytes.clear();
      return FileReadError::kRead;
    }
    done += read;
  }
  return FileReadError::kNone;
}
