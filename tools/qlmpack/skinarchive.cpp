#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <zip.h>

#include "packresources.h"
#include "scopeguard.h"
#include "stringconv.h"

namespace {

// Relative paths ("a/b.png") of every file beneath `folder`.
void ListFiles(const std::wstring& folder, const std::wstring& prefix,
               std::vector<std::wstring>& files) {
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return;
  do {
    std::wstring name = data.cFileName;
    if (name == L"." || name == L"..") continue;
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      ListFiles(folder + L"\\" + name, prefix + name + L"/", files);
    } else {
      files.push_back(prefix + name);
    }
  } while (FindNextFileW(find, &data));
  FindClose(find);
}

bool ZipFolder(const std::wstring& folder, const std::wstring& zipPath, std::wstring& error) {
  std::vector<std::wstring> files;
  ListFiles(folder, L"", files);
  std::sort(files.begin(), files.end());
  zipFile zip = zipOpen64(WideToSystemAnsi(zipPath.c_str()).c_str(), APPEND_STATUS_CREATE);
  if (zip == nullptr) {
    error = L"cannot create a temporary skin archive " + zipPath;
    return false;
  }
  zip_fileinfo info = {};
  info.tmz_date.tm_year = 2000;  // fixed, so that equal skins give equal archives
  info.tmz_date.tm_mday = 1;
  bool ok = true;
  for (const std::wstring& file : files) {
    std::string bytes;
    std::wstring path = folder + L"\\" + file;
    std::replace(path.begin(), path.end(), L'/', L'\\');
    if (!ReadWholeFile(path, bytes, error)) {
      ok = false;
      break;
    }
    std::string name = WideToUtf8(file);
    if (zipOpenNewFileInZip4(zip, name.c_str(), &info, nullptr, 0, nullptr, 0, nullptr,
                             Z_DEFLATED, Z_DEFAULT_COMPRESSION, 0, -MAX_WBITS, DEF_MEM_LEVEL,
                             Z_DEFAULT_STRATEGY, nullptr, 0, 0, 1 << 11) != ZIP_OK ||
        zipWriteInFileInZip(zip, bytes.data(), static_cast<unsigned>(bytes.size())) != ZIP_OK ||
        zipCloseFileInZip(zip) != ZIP_OK) {
      error = L"cannot add " + path + L" to the skin archive";
      ok = false;
      break;
    }
  }
  if (zipClose(zip, nullptr) != ZIP_OK && ok) {
    error = L"cannot finish the skin archive";
    ok = false;
  }
  return ok;
}

}  // namespace

bool BuildSkinArchive(const std::wstring& path, std::string& archive, std::wstring& error) {
  DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    error = L"skin not found: " + path;
    return false;
  }
  if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) return ReadWholeFile(path, archive, error);

  wchar_t folder[MAX_PATH];
  wchar_t zipPath[MAX_PATH];
  if (!GetTempPathW(MAX_PATH, folder) || !GetTempFileNameW(folder, L"qsk", 0, zipPath)) {
    error = L"cannot create a temporary file for the skin archive";
    return false;
  }
  auto remove = MakeScopeGuard([&zipPath] { DeleteFileW(zipPath); });
  return ZipFolder(path, zipPath, error) && ReadWholeFile(zipPath, archive, error);
}
