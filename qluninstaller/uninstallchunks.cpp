#include "uninstallchunks.h"

#include <windows.h>

#include <algorithm>
#include <cwctype>

#include "debugoutput.h"
#include "qlmscriptengine.h"
#include "scopeguard.h"
#include "stringconv.h"

const wchar_t kConfigChunkFile[] = L"Global_var.luac";
const wchar_t kUninstallChunkFile[] = L"UninstScript.luac";

namespace {

bool ReadChunkFile(const std::wstring& path, std::string& bytes) {
  UniqueHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
  LARGE_INTEGER size = {};
  if (!file || !GetFileSizeEx(file.Get(), &size) || size.QuadPart <= 0 ||
      size.QuadPart > 0x4000000) {
    DebugLine(L"%s is missing or unreadable (error %lu)\r\n", path.c_str(), GetLastError());
    return false;
  }
  bytes.resize(static_cast<size_t>(size.QuadPart));
  DWORD read = 0;
  if (!ReadFile(file.Get(), &bytes[0], static_cast<DWORD>(bytes.size()), &read, nullptr) ||
      read != bytes.size()) {
    DebugLine(L"%s cannot be read (error %lu)\r\n", path.c_str(), GetLastError());
    return false;
  }
  return true;
}

// Loads a chunk without running it, so that the original uninstaller can check the uninstall
// chunk and leave running it to the copy.
bool CheckChunk(const std::string& bytes, const std::string& chunkName) {
  lua_State* L = QLMScriptEngine::Instance().State();
  const bool loaded = luaL_loadbuffer(L, bytes.data(), bytes.size(), chunkName.c_str()) == LUA_OK;
  if (!loaded) DebugLine(L"%s\r\n", Utf8ToWide(lua_tostring(L, -1)).c_str());
  lua_pop(L, 1);
  return loaded;
}

}  // namespace

bool LoadUninstallChunks(const std::wstring& folder, bool runUninstallChunk,
                         std::wstring& failedFile) {
  QLMScriptEngine& engine = QLMScriptEngine::Instance();
  for (const wchar_t* file : {kConfigChunkFile, kUninstallChunkFile}) {
    failedFile = file;
    std::string bytes;
    if (!ReadChunkFile(folder + L"\\" + file, bytes)) return false;
    const std::string chunkName = WideToAnsi(file);
    const bool run = file == kConfigChunkFile || runUninstallChunk;
    if (run ? !engine.DoBuffer(bytes.data(), bytes.size(), chunkName.c_str())
            : !CheckChunk(bytes, chunkName)) {
      return false;
    }
  }
  failedFile.clear();
  return true;
}

std::wstring ProductName() {
  return QLMScriptEngine::Instance().GetGlobalString("global_product_name");
}

// One uninstaller per installed product: the object is named after the product folder (in
// lower case, as the file system compares; a backslash is not allowed in the name).
std::wstring UninstallInstanceName(const std::wstring& folder) {
  std::wstring name = folder;
  std::transform(name.begin(), name.end(), name.begin(),
                 [](wchar_t c) { return c == L'\\' ? L'/' : std::towlower(c); });
  return L"Global\\QLMUninstall:" + name;
}
