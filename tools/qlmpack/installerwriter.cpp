#include "installerwriter.h"

#include <cstring>

#include "scopeguard.h"
#include "signcommand.h"

namespace {

struct ResourceEntry {
  std::wstring name;  // a name, or empty when `nameId` is used
  WORD nameId = 0;
  WORD language = 0;
};

BOOL CALLBACK AddLanguage(HMODULE, LPCWSTR, LPCWSTR name, WORD language, LONG_PTR context) {
  ResourceEntry entry;
  if (IS_INTRESOURCE(name)) {
    entry.nameId = LOWORD(reinterpret_cast<ULONG_PTR>(name));
  } else {
    entry.name = name;
  }
  entry.language = language;
  reinterpret_cast<std::vector<ResourceEntry>*>(context)->push_back(entry);
  return TRUE;
}

BOOL CALLBACK AddNameLanguages(HMODULE module, LPCWSTR type, LPWSTR name, LONG_PTR context) {
  EnumResourceLanguagesW(module, type, name, AddLanguage, context);
  return TRUE;
}

std::vector<ResourceEntry> Manifests(const std::wstring& program) {
  std::vector<ResourceEntry> manifests;
  LibraryGuard module(LoadLibraryExW(program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
  if (module.Get()) {
    EnumResourceNamesW(module.Get(), RT_MANIFEST, AddNameLanguages,
                       reinterpret_cast<LONG_PTR>(&manifests));
  }
  return manifests;
}

const wchar_t* ResourceKey(const std::wstring& name, WORD id) {
  return name.empty() ? MAKEINTRESOURCEW(id) : name.c_str();
}

bool AddResources(const std::wstring& target, const std::vector<ResourceEntry>& removed,
                  const std::vector<PackResource>& resources) {
  HANDLE update = BeginUpdateResourceW(target.c_str(), FALSE);
  if (update == nullptr) return false;
  for (const ResourceEntry& entry : removed) {
    if (!UpdateResourceW(update, RT_MANIFEST, ResourceKey(entry.name, entry.nameId), entry.language,
                         nullptr, 0)) {
      EndUpdateResourceW(update, TRUE);
      return false;
    }
  }
  for (const PackResource& resource : resources) {
    if (!UpdateResourceW(
            update, ResourceKey(resource.type, resource.typeId),
            ResourceKey(resource.name, resource.nameId), MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL),
            const_cast<char*>(resource.bytes.data()), static_cast<DWORD>(resource.bytes.size()))) {
      EndUpdateResourceW(update, TRUE);
      return false;
    }
  }
  return EndUpdateResourceW(update, FALSE) != FALSE;
}

}  // namespace

bool IsPortableExecutable(const std::wstring& path, std::wstring& error) {
  std::string bytes;
  if (!ReadWholeFile(path, bytes, error)) return false;
  DWORD peOffset = 0;
  if (bytes.size() >= 0x40 && bytes[0] == 'M' && bytes[1] == 'Z') {
    std::memcpy(&peOffset, bytes.data() + 0x3C, sizeof(peOffset));
  }
  if (peOffset == 0 || peOffset > bytes.size() - 4 ||
      std::memcmp(bytes.data() + peOffset, "PE\0\0", 4) != 0) {
    error = L"not a Windows program (PE): " + path;
    return false;
  }
  return true;
}

bool BuildProgram(const std::wstring& program, const std::vector<PackResource>& resources,
                  const std::wstring& signCommand, const std::wstring& target,
                  std::wstring& error) {
  if (!CopyFileW(program.c_str(), target.c_str(), FALSE)) {
    error = L"cannot write " + target;
    return false;
  }
  SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_NORMAL);
  std::vector<ResourceEntry> removed;
  for (const PackResource& resource : resources) {
    if (resource.type.empty() && resource.typeId == kManifestType) removed = Manifests(program);
  }
  if (!AddResources(target, removed, resources)) {
    error = L"cannot add the resources to " + target + L" (error " +
            std::to_wstring(GetLastError()) + L")";
    return false;
  }
  return signCommand.empty() || RunSignCommand(signCommand, target, error);
}

bool WriteInstaller(const std::wstring& stub, const std::vector<PackResource>& resources,
                    const std::wstring& signCommand, const std::wstring& output,
                    std::wstring& error) {
  const std::wstring temporary = output + L".qlmpack-part";
  auto removeTemporary = MakeScopeGuard([&temporary] { DeleteFileW(temporary.c_str()); });
  if (!BuildProgram(stub, resources, signCommand, temporary, error)) return false;
  if (!MoveFileExW(temporary.c_str(), output.c_str(),
                   MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    error = L"cannot write " + output;
    return false;
  }
  removeTemporary.Dismiss();
  return true;
}
