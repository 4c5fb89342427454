// The paint manager of one skinned window.
#pragma once
#include <windows.h>

#include "uiskinresources.h"
#include "uiskinsource.h"

class CPaintManagerUI : public CSkinResources {
 public:
  // The process-wide skin source, under the names the program entry uses.
  static HINSTANCE GetInstance() { return CSkinSource::GetInstance(); }
  static void SetInstance(HINSTANCE instance) { CSkinSource::SetInstance(instance); }
  static const std::wstring& GetResourcePath() { return CSkinSource::GetResourcePath(); }
  static void SetResourcePath(const wchar_t* path) { CSkinSource::SetResourcePath(path); }
  static const std::wstring& GetResourceArchive() { return CSkinSource::GetResourceArchive(); }
  static const std::wstring& GetResourceArchivePassword() {
    return CSkinSource::GetResourceArchivePassword();
  }
  static bool IsCachedResourceArchive() { return CSkinSource::IsCachedResourceArchive(); }
  static void SetResourceArchive(const void* bytes, size_t size, const wchar_t* password) {
    CSkinSource::SetResourceArchive(bytes, size, password);
  }
  static void SetResourceArchiveFile(const wchar_t* name, const wchar_t* password) {
    CSkinSource::SetResourceArchiveFile(name, password);
  }
  // Frees the shared images and fonts and closes the kept archive; called once at the end.
  static void Term() {
    CSkinResources::TermShared();
    CSkinSource::CloseArchive();
  }

  bool IsLayered() const override { return layered_; }

 private:
  bool layered_ = false;
};
