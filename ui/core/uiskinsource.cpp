#include "uiskinsource.h"

#include <memory>

#include "uiresourcezip.h"

namespace {

struct SourceSettings {
  HINSTANCE instance = nullptr;
  HINSTANCE resourceDll = nullptr;
  std::wstring resourcePath;
  std::wstring archiveName;
  std::wstring archivePassword;
  bool cachedArchive = false;
  std::unique_ptr<CSkinArchive> archive;
};

SourceSettings& Settings() {
  static SourceSettings settings;
  return settings;
}

}  // namespace

HINSTANCE CSkinSource::GetInstance() { return Settings().instance; }

void CSkinSource::SetInstance(HINSTANCE instance) { Settings().instance = instance; }

HINSTANCE CSkinSource::GetWindowModule() {
  return Settings().instance != nullptr ? Settings().instance : GetModuleHandleW(nullptr);
}

HINSTANCE CSkinSource::GetResourceDll() {
  return Settings().resourceDll != nullptr ? Settings().resourceDll : Settings().instance;
}

void CSkinSource::SetResourceDll(HINSTANCE module) { Settings().resourceDll = module; }

const std::wstring& CSkinSource::GetResourcePath() { return Settings().resourcePath; }

void CSkinSource::SetResourcePath(const wchar_t* path) {
  std::wstring& stored = Settings().resourcePath;
  stored = path != nullptr ? path : L"";
  if (!stored.empty() && stored.back() != L'\\' && stored.back() != L'/') stored += L'\\';
}

const std::wstring& CSkinSource::GetResourceArchive() { return Settings().archiveName; }

const std::wstring& CSkinSource::GetResourceArchivePassword() {
  return Settings().archivePassword;
}

bool CSkinSource::IsCachedResourceArchive() { return Settings().cachedArchive; }

CSkinArchive* CSkinSource::GetResourceArchiveHandle() { return Settings().archive.get(); }

void CSkinSource::SetResourceArchive(const void* bytes, size_t size, const wchar_t* password) {
  SourceSettings& settings = Settings();
  if (settings.archiveName == kMemoryArchiveName) return;
  settings.archive.reset();
  settings.archiveName = kMemoryArchiveName;
  settings.cachedArchive = true;
  settings.archivePassword = password != nullptr ? password : L"";
  settings.archive = CSkinArchive::OpenMemory(bytes, size, settings.archivePassword);
}

void CSkinSource::SetResourceArchiveFile(const wchar_t* name, const wchar_t* password) {
  SourceSettings& settings = Settings();
  settings.archive.reset();
  settings.cachedArchive = false;
  settings.archiveName = name != nullptr ? name : L"";
  settings.archivePassword = password != nullptr ? password : L"";
}

void CSkinSource::CloseArchive() {
  SourceSettings& settings = Settings();
  settings.archive.reset();
  settings.cachedArchive = false;
  settings.archiveName.clear();
  settings.archivePassword.clear();
}
