#include "uninstallchunks.h"

#include <windows.h>

#include <algorithm>
#include <cwctype>

#include "debugoutput.h"
#include "filebytes.h"
#include "qlmscriptengine.h"
#include "stringconv.h"

const wchar_t kConfigChunkFile[] = L"Global_var.luac";
const wchar_t kUninstallChunkFile[] = L"UninstScript.luac";

namespace {

constexpr size_t kMaxChunkSize = 0x4000000;  // 64 MB: far beyond any script chunk

bool ReadChunkFile(const std::wstring& path, std::string& bytes) {
  const FileReadError result = ReadWholeFile(path, kMaxChunkSize, bytes);
  if (result == FileReadError::kRead || result == FileReadError::kNoMemory) {
    DebugLine(L"%s cannot be read (error %lu)\r\n", path.c_str(), GetLastError());
    return false;
  }
  if (result != FileReadError::kNone || bytes.empty()) {
    DebugLine(L"%s is missing or unreadable (error %lu)\r\n", path.c_str(), GetLastError());
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
