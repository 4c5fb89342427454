#include <memory>

#include "luaheaders.h"
#include "packresources.h"
#include "stringconv.h"

namespace {

int AppendToString(lua_State*, const void* data, size_t size, void* target) {
  static_cast<std::string*>(target)->append(static_cast<const char*>(data), size);
  return 0;
}

std::wstring BaseName(const std::wstring& path) {
  size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

}  // namespace

bool CompileChunk(const std::wstring& path, std::string& chunk, std::wstring& error) {
  std::string source;
  if (!ReadWholeFile(path, source, error)) return false;
  std::unique_ptr<lua_State, decltype(&lua_close)> L(luaL_newstate(), &lua_close);
  if (!L) {
    error = L"out of memory";
    return false;
  }
  // The chunk keeps only the file's base name, so the bytes do not depend on where the
  // sources lie.
  const std::string chunkName = "@" + WideToUtf8(BaseName(path));
  if (luaL_loadbuffer(L.get(), source.data(), source.size(), chunkName.c_str()) != LUA_OK) {
    error = L"Lua syntax error in " + path + L": " + Utf8ToWide(lua_tostring(L.get(), -1));
    return false;
  }
  chunk.clear();
  lua_dump(L.get(), &AppendToString, &chunk);
  return true;
}
