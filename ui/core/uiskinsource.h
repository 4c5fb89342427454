// Where skin files come from, for the whole process: the module instance (and an optional
// separate resource module), the resource folder and the skin archive (kept in memory, or a
// file under the resource folder opened for each read).
#pragma once
#include <windows.h>

#include <string>

class CSkinArchive;

class CSkinSource {
 public:
  // The archive name that stands for the in-memory skin archive.
  static constexpr const wchar_t* kMemoryArchiveName = L"membuffer";

  static HINSTANCE GetInstance();
  static void SetInstance(HINSTANCE instance);
  // The module that window classes and windows are registered under: the module instance
  // when set, else the program's own module.
  static HINSTANCE GetWindowModule();
  // The separate resource module when set, else the module instance.
  static HINSTANCE GetResourceDll();
  static void SetResourceDll(HINSTANCE module);
  static const std::wstring& GetResourcePath();
  // A non-empty path without a trailing separator gets a backslash.
  static void SetResourcePath(const wchar_t* path);
  static const std::wstring& GetResourceArchive();
  static const std::wstring& GetResourceArchivePassword();
  static bool IsCachedResourceArchive();
  static CSkinArchive* GetResourceArchiveHandle();
  // Keeps an archive held in memory open for the life of the process; ignored while the
  // in-memory archive is set. The bytes are not copied and must stay valid.
  static void SetResourceArchive(const void* bytes, size_t size, const wchar_t* password);
  // An archive file under the resource path, opened for each read.
  static void SetResourceArchiveFile(const wchar_t* name, const wchar_t* password);
  // Closes the kept archive and forgets the archive settings.
  static void CloseArchive();
};
