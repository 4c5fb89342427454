#include "deletedirectories.h"

#include <windows.h>
#include <shlwapi.h>

#include <string>

#include "debugoutput.h"

namespace {

class FindGuard {
 public:
  explicit FindGuard(HANDLE find) : find_(find) {}
  FindGuard(const FindGuard&) = delete;
  FindGuard& operator=(const FindGuard&) = delete;
  ~FindGuard() {
    if (find_ != INVALID_HANDLE_VALUE) FindClose(find_);
  }
  bool Valid() const { return find_ != INVALID_HANDLE_VALUE; }
  HANDLE Get() const { return find_; }

 private:
  HANDLE find_;
};

std::wstring FullPath(const wchar_t* path) {
  wchar_t buffer[MAX_PATH] = {};
  DWORD units = GetFullPathNameW(path, MAX_PATH, buffer, nullptr);
  if (units == 0 || units >= MAX_PATH) return std::wstring();
  return buffer;
}

std::wstring WithoutTrailingSeparators(std::wstring path) {
  while (path.size() > 3 && (path.back() == L'\\' || path.back() == L'/')) path.pop_back();
  return path;
}

// Leaves `folder` as current directory before it is removed: the current directory moves to
// the folder's parent. Paths are compared in full and without regard to case, as the file
// system does.
void LeaveIfCurrent(const wchar_t* folder) {
  wchar_t current[MAX_PATH] = {};
  DWORD units = GetCurrentDirectoryW(MAX_PATH, current);
  if (units == 0 || units >= MAX_PATH) return;
  std::wstring full = WithoutTrailingSeparators(FullPath(folder));
  if (full.empty() || lstrcmpiW(WithoutTrailingSeparators(current).c_str(), full.c_str()) != 0) {
    return;
  }
  size_t last = full.find_last_of(L"\\/");
  if (last == std::wstring::npos) return;
  std::wstring parent = full.substr(0, last);
  if (parent.size() == 2 && parent[1] == L':') parent += L'\\';
  SetCurrentDirectoryW(parent.c_str());
}

void RemoveTree(const wchar_t* operation, const wchar_t* folder,
                const DeleteErrorCallback* onError) {
  DebugLine(L"%s %s", operation, folder);
  wchar_t pattern[MAX_PATH] = {};
  if (PathCombineW(pattern, folder, L"*.*") == nullptr) return;
  WIN32_FIND_DATAW entry = {};
  {
    FindGuard find(FindFirstFileW(pattern, &entry));
    if (!find.Valid()) return;
    std::wstring prefix = FullPath(pattern);
    prefix.erase(prefix.find_last_of(L"\\/") + 1);
    do {
      std::wstring name = entry.cFileName;
      std::wstring path = prefix + name;
      if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        if (name == L"." || name == L"..") continue;
        // A linked folder is unlinked, never emptied: its content lives elsewhere.
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
          RemoveDirectoryW(path.c_str());
        } else {
          RemoveTree(operation, path.c_str(), onError);
        }
        continue;
      }
      if (entry.dwFileAttributes & FILE_ATTRIBUTE_READONLY) {
        SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
      }
      if (!DeleteFileW(path.c_str()) && onError && *onError) {
        DWORD error = GetLastError();
        (*onError)(path.c_str(), error);
      }
    } while (FindNextFileW(find.Get(), &entry));
  }
  LeaveIfCurrent(folder);
  RemoveDirectoryW(folder);
}

}  // namespace

void DeleteDirectories(const wchar_t* folder) {
  RemoveTree(L"QLMScriptEngine::DeleteDirectories", folder, nullptr);
}

void DeleteDirectoriesEx(const wchar_t* folder, const DeleteErrorCallback& onError) {
  RemoveTree(L"QLMScriptEngine::DeleteDirectoriesEx", folder, &onError);
}
