#include "installerwriter.h"

#include <cstring>

#include "scopeguard.h"

namespace {

const wchar_t* ResourceKey(const std::wstring& name, WORD id) {
  return name.empty() ? MAKEINTRESOURCEW(id) : name.c_str();
}

bool AddResources(const std::wstring& target, const std::vector<PackResource>& resources) {
  HANDLE update = BeginUpdateResourceW(target.c_str(), FALSE);
  if (update == nullptr) return false;
  for (const PackResource& resource : resources) {
    if (!UpdateResourceW(update, ResourceKey(resource.type, resource.typeId),
                         ResourceKey(resource.name, resource.nameId),
                         MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL),
                         const_cast<char*>(resource.bytes.data()),
                         static_cast<DWORD>(resource.bytes.size()))) {
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
    error = L"stub is not a Windows program (PE): " + path;
    return false;
  }
  return true;
}

bool WriteInstaller(const std::wstring& stub, const std::vector<PackResource>& resources,
                    const std::wstring& output, std::wstring& error) {
  const std::wstring temporary = output + L".qlmpack-part";
  if (!CopyFileW(stub.c_str(), temporary.c_str(), FALSE)) {
    error = L"cannot write " + output;
    return false;
  }
  auto removeTemporary = MakeScopeGuard([&temporary] { DeleteFileW(temporary.c_str()); });
  SetFileAttributesW(temporary.c_str(), FILE_ATTRIBUTE_NORMAL);
  if (!AddResources(temporary, resources)) {
    error = L"cannot add the resources to " + output + L" (error " +
            std::to_wstring(GetLastError()) + L")";
    return false;
  }
  if (!MoveFileExW(temporary.c_str(), output.c_str(),
                   MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    error = L"cannot write " + output;
    return false;
  }
  removeTemporary.Dismiss();
  return true;
}
