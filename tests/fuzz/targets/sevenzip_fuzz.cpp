// The 7z reader with its item-name check: ExtractArchive over the input as a payload in
// memory, into a private folder that is emptied after every input.
#include <windows.h>

#include <string>

#include "archiveextractor.h"
#include "memoryinstream.h"

namespace {

void Empty(const std::wstring& folder) {
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    if (wcscmp(found.cFileName, L".") == 0 || wcscmp(found.cFileName, L"..") == 0) continue;
    std::wstring path = folder + L"\\" + found.cFileName;
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      Empty(path);
      RemoveDirectoryW(path.c_str());
    } else {
      DeleteFileW(path.c_str());
    }
  } while (FindNextFileW(search, &found));
  FindClose(search);
}

const std::wstring& Destination() {
  static const std::wstring folder = [] {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    std::wstring path = std::wstring(temp) + L"qlmfuzz7z-" + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(path.c_str(), nullptr);
    return path;
  }();
  return folder;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  MemoryInStream stream(data, size);
  ExtractArchive(stream.Stream(), Destination(), nullptr, nullptr);
  Empty(Destination());
  return 0;
}
