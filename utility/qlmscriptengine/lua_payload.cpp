#include "lua_payload.h"

#include <windows.h>
#include <shlwapi.h>

#include <memory>
#include <string>

#include "7zFile.h"
#include "archiveextractor.h"
#include "debugoutput.h"
#include "memoryinstream.h"
#include "scopeguard.h"
#include "scriptcallback.h"
#include "stringconv.h"

namespace {

constexpr wchar_t kPayloadType[] = L"_7Z";
constexpr SRes kStatusOpenFailed = 1;
// Not a decoder status: the payload resource could not be found or loaded.
constexpr SRes kResourceMissing = -1;

std::wstring ArgText(lua_State* L, int index) {
  int type = lua_type(L, index);
  if (type != LUA_TSTRING && type != LUA_TNUMBER) return std::wstring();
  return Utf8ToWide(lua_tostring(L, index));
}

std::wstring ExpandPath(const std::wstring& path) {
  wchar_t buffer[MAX_PATH];
  DWORD units = ExpandEnvironmentStringsW(path.c_str(), buffer, MAX_PATH);
  if (units == 0 || units > MAX_PATH) return std::wstring();
  return buffer;
}

// A resource named by argument `index`: by identifier (low 16 bits) when the argument is a
// number or a numeric string, otherwise by name.
class ResourceName {
 public:
  ResourceName(lua_State* L, int index) : byNumber_(lua_isnumber(L, index) != 0) {
    if (byNumber_) {
      id_ = static_cast<WORD>(lua_tounsigned(L, index) & 0xFFFF);
    } else {
      name_ = ArgText(L, index);
    }
  }
  bool ByNumber() const { return byNumber_; }
  const wchar_t* Text() const { return name_.c_str(); }
  const wchar_t* Resource() const { return byNumber_ ? MAKEINTRESOURCEW(id_) : name_.c_str(); }

 private:
  bool byNumber_;
  WORD id_ = 0;
  std::wstring name_;
};

// A loaded resource of the executable; freed when the holder goes out of scope.
class LoadedResource {
 public:
  LoadedResource(const wchar_t* type, const wchar_t* name) : module_(GetModuleHandleW(nullptr)) {
    info_ = FindResourceW(module_, name, type);
    if (info_ != nullptr) handle_ = LoadResource(module_, info_);
  }
  LoadedResource(const LoadedResource&) = delete;
  LoadedResource& operator=(const LoadedResource&) = delete;
  ~LoadedResource() {
    if (handle_ != nullptr) FreeResource(handle_);
  }
  bool Loaded() const { return handle_ != nullptr; }
  Byte* Lock() const { return static_cast<Byte*>(LockResource(handle_)); }
  DWORD Size() const { return SizeofResource(module_, info_); }

 private:
  HMODULE module_;
  HRSRC info_ = nullptr;
  HGLOBAL handle_ = nullptr;
};

void StoreByte(Byte* address, Byte value) {
  DWORD previous = 0;
  VirtualProtect(address, 1, PAGE_READWRITE, &previous);
  *address = value;
  VirtualProtect(address, 1, previous, &previous);
}

// Exchanges bytes 0 and 1 in the process's image of the resource. The payload is stored with
// its 7z signature's first two bytes exchanged; the exchange is not undone.
void ExchangeSignature(Byte* data, DWORD size) {
  if (data == nullptr || size < 2) return;
  Byte first = data[0];
  StoreByte(&data[0], data[1]);
  StoreByte(&data[1], first);
}

void ReportMissing(const wchar_t* function, const std::wstring& path) {
  DebugLine(L"Fun:%s, Description:%s it's not exists!\r\n", function, path.c_str());
}

SRes ExtractFile(const std::wstring& source, const std::wstring& destination,
                 ScriptCallback* fileDone, ScriptCallback* createError) {
  DebugLine(L"UnCompress %s to %s .\r\n", source.c_str(), destination.c_str());
  UniqueHandle handle(CreateFileW(source.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!handle) return kStatusOpenFailed;
  CFileInStream stream;
  FileInStream_CreateVTable(&stream);
  stream.file.handle = handle.Get();
  stream.wres = 0;
  return ExtractArchive(&stream.vt, destination, fileDone, createError);
}

// Returns kResourceMissing when the resource cannot be found or loaded, otherwise the
// extraction status; SZ_ERROR_MEM when the loaded resource has no address.
SRes ExtractPayloadResource(const ResourceName& name, const std::wstring& destination,
                            ScriptCallback* fileDone, ScriptCallback* createError) {
  LoadedResource resource(kPayloadType, name.Resource());
  if (!resource.Loaded()) return kResourceMissing;
  if (!name.ByNumber()) {
    DebugLine(L"UnCompress %s to %s .\r\n", name.Text(), destination.c_str());
  }
  Byte* data = resource.Lock();
  DWORD size = resource.Size();
  if (data == nullptr) return SZ_ERROR_MEM;
  ExchangeSignature(data, size);
  // The decoder reads the loaded resource itself, whose signature is now restored: memory
  // stays at the resource's own pages however large the payload is.
  MemoryInStream stream(data, size);
  return ExtractArchive(stream.Stream(), destination, fileDone, createError);
}

}  // namespace

int Lua_UnCompress7z(lua_State* L) {
  const int count = lua_gettop(L);
  if (count < 2 || count > 5) {
    lua_pushboolean(L, 0);
    return 1;
  }
  // The callbacks are taken from the top of the stack: a create-error callback in the fifth
  // place, then a file-done callback only if it is now on top.
  std::unique_ptr<ScriptCallback> createError;
  if (count == 5 && lua_isfunction(L, 5)) {
    createError = std::make_unique<ScriptCallback>(L, 5);
    lua_pop(L, 1);
  }
  std::unique_ptr<ScriptCallback> fileDone;
  if (count >= 4 && lua_isfunction(L, -1)) fileDone = std::make_unique<ScriptCallback>(L, -1);
  const bool fileMode = count >= 3 && lua_type(L, 3) == LUA_TBOOLEAN && lua_toboolean(L, 3);

  const std::wstring destination = ExpandPath(ArgText(L, 2));
  if (!PathFileExistsW(destination.c_str())) {
    ReportMissing(L"Lua_UnCompress7z", destination);
    lua_pushboolean(L, 0);
    return 1;
  }

  SRes status;
  if (fileMode) {
    const std::wstring source = ExpandPath(ArgText(L, 1));
    if (!PathFileExistsW(source.c_str())) {
      ReportMissing(L"Lua_UnCompress7z", source);
      lua_pushboolean(L, 0);
      return 1;
    }
    status = ExtractFile(source, destination, fileDone.get(), createError.get());
  } else {
    status = ExtractPayloadResource(ResourceName(L, 1), destination, fileDone.get(),
                                    createError.get());
    if (status == kResourceMissing) {
      DebugLine(L"Fun:%s ,LoadResource failed!\r\n", L"Lua_UnCompress7z");
      lua_pushboolean(L, 0);
      return 1;
    }
  }

  if (status == SZ_OK) {
    DebugLine(L"UnCompress successful.\r\n");
  } else {
    DebugLine(L"Fun:%s, Description: UnCompress failed.!\r\n", L"Lua_UnCompress7z");
  }
  lua_pushboolean(L, status == SZ_OK);
  return 1;
}

int Lua_ExtractResource(lua_State* L) {
  const std::wstring destination = ExpandPath(ArgText(L, 3));
  const std::wstring type = ArgText(L, 1);
  ResourceName name(L, 2);
  LoadedResource resource(type.c_str(), name.Resource());
  if (!resource.Loaded()) {
    DebugLine(L"Fun:%s ,LoadResource failed!\r\n", L"Lua_ExtractResource");
    lua_pushboolean(L, 0);
    return 1;
  }
  UniqueHandle file(CreateFileW(destination.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) {
    DebugLine(L"Fun:%s ,CreateFileW %s failed!\r\n", L"Lua_ExtractResource", destination.c_str());
    lua_pushboolean(L, 0);
    return 1;
  }
  Byte* data = resource.Lock();
  DWORD size = resource.Size();
  if (type == kPayloadType) ExchangeSignature(data, size);
  DWORD written = 0;
  if (data == nullptr || !WriteFile(file.Get(), data, size, &written, nullptr) ||
      written != size) {
    DebugLine(L"Fun:%s ,WriteFile %s failed!\r\n", L"Lua_ExtractResource", destination.c_str());
    lua_pushboolean(L, 0);
    return 1;
  }
  lua_pushboolean(L, 1);
  return 1;
}
