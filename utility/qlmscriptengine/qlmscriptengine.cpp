#include "qlmscriptengine.h"

#include <windows.h>

#include <cstdlib>
#include <mutex>
#include <stdexcept>

#include "debugoutput.h"
#include "luaapi.h"
#include "scripterror.h"
#include "stringconv.h"

namespace {

constexpr wchar_t kSourceFile[] = L"qlmscriptengine";

// The library-require procedure: call the opener, store the result in package.loaded and as
// a global of the same name, pop it.
void RequireLibrary(lua_State* L, const char* name, lua_CFunction opener) {
  luaL_requiref(L, name, opener, 1);
  lua_pop(L, 1);
}

void OpenStandardLibraries(lua_State* L) {
  RequireLibrary(L, "_G", luaopen_base);
  RequireLibrary(L, LUA_LOADLIBNAME, luaopen_package);
  RequireLibrary(L, LUA_COLIBNAME, luaopen_coroutine);
  RequireLibrary(L, LUA_TABLIBNAME, luaopen_table);
  RequireLibrary(L, LUA_IOLIBNAME, luaopen_io);
  RequireLibrary(L, LUA_OSLIBNAME, luaopen_os);
  RequireLibrary(L, LUA_STRLIBNAME, luaopen_string);
  RequireLibrary(L, LUA_BITLIBNAME, luaopen_bit32);
  RequireLibrary(L, LUA_MATHLIBNAME, luaopen_math);
  RequireLibrary(L, LUA_DBLIBNAME, luaopen_debug);
}

void OpenScriptApi(lua_State* L) {
  for (const LuaModule* module = kScriptTypeModules; module->name; ++module) {
    RequireLibrary(L, module->name, module->opener);
  }
  for (const lua_CFunction* creator = kGlobalTableCreators; *creator; ++creator) {
    (*creator)(L);
  }
  for (const LuaApiFunction* entry = kInstallationFunctions; entry->name; ++entry) {
    lua_register(L, entry->name, entry->function);
  }
}

// Reports a load failure: the interpreter's message, then the fixed line.
bool ReportLoadFailure(lua_State* L) {
  std::wstring message = Utf8ToWide(lua_tostring(L, -1));
  DebugLine(L"%s\r\n", message.c_str());
  DebugLine(L"luaL_loadbuffer failed!\r\n");
  lua_pop(L, 1);
  return false;
}

}  // namespace

QLMScriptEngine& QLMScriptEngine::Instance() {
  static std::once_flag once;
  static QLMScriptEngine* instance = nullptr;
  std::call_once(once, [] {
    instance = new QLMScriptEngine();
    std::atexit(&QLMScriptEngine::CloseAtExit);
  });
  return *instance;
}

QLMScriptEngine::QLMScriptEngine() {
  state_ = luaL_newstate();
  if (state_ == nullptr) throw std::runtime_error("E_FAIL: the script state cannot be created");
  OpenStandardLibraries(state_);
  OpenScriptApi(state_);
}

QLMScriptEngine::~QLMScriptEngine() {
  if (state_) lua_close(state_);
  state_ = nullptr;
}

void QLMScriptEngine::CloseAtExit() {
  QLMScriptEngine& engine = Instance();
  if (engine.state_) lua_close(engine.state_);
  engine.state_ = nullptr;
}

bool QLMScriptEngine::DoResLua(const wchar_t* type, const wchar_t* name) {
  HMODULE self = GetModuleHandleW(nullptr);
  HRSRC found = FindResourceW(self, name, type);
  HGLOBAL loaded = found ? LoadResource(self, found) : nullptr;
  if (loaded == nullptr) {
    DebugLine(L"LoadResource failed. Type : %s ID : %s\r\n", type, name);
    DebugFailureReport(kSourceFile, __LINE__);
    return false;
  }
  const void* data = LockResource(loaded);
  if (data == nullptr) {
    DebugJoinedFailureReport(L"LockResource failed.", kSourceFile, __LINE__);
    FreeResource(loaded);
    return false;
  }
  DWORD size = SizeofResource(self, found);
  if (size == 0) {
    DebugLine(L"ResSize == 0\r\n");
    FreeResource(loaded);
    return false;
  }
  std::string chunkName = WideToAnsi(name);
  bool result = DoBuffer(static_cast<const char*>(data), size, chunkName.c_str());
  FreeResource(loaded);
  return result;
}

bool QLMScriptEngine::DoBuffer(const char* data, size_t size, const char* chunkName) {
  if (luaL_loadbuffer(state_, data, size, chunkName) != LUA_OK) return ReportLoadFailure(state_);
  if (CallProtected(0, 0) != LUA_OK) {
    lua_pop(state_, 1);
    return false;
  }
  return true;
}

bool QLMScriptEngine::DoLua(const wchar_t* path) {
  std::string ansiPath = WideToSystemAnsi(path);
  if (luaL_loadfile(state_, ansiPath.c_str()) != LUA_OK) return ReportLoadFailure(state_);
  if (CallProtected(0, 0) != LUA_OK) {
    lua_pop(state_, 1);
    return false;
  }
  return true;
}

int QLMScriptEngine::CallProtected(int argumentCount, int resultCount) {
  int base = lua_gettop(state_) - argumentCount;
  lua_pushcfunction(state_, ScriptErrorHandler);
  lua_insert(state_, base);
  int status = lua_pcall(state_, argumentCount, resultCount, base);
  lua_remove(state_, base);
  return status;
}

void QLMScriptEngine::CallHook(const char* name) {
  lua_getglobal(state_, name);
  if (!lua_isfunction(state_, -1)) {
    lua_pop(state_, 1);
    return;
  }
  if (CallProtected(0, 0) != LUA_OK) lua_pop(state_, 1);
}

std::wstring QLMScriptEngine::GetGlobalString(const char* name) {
  lua_getglobal(state_, name);
  std::wstring value = Utf8ToWide(lua_tostring(state_, -1));
  lua_pop(state_, 1);
  return value;
}

int QLMScriptEngine::GetGlobalInteger(const char* name) {
  lua_getglobal(state_, name);
  int value = lua_tointeger(state_, -1);
  lua_pop(state_, 1);
  return value;
}

bool QLMScriptEngine::GetGlobalBoolean(const char* name) {
  lua_getglobal(state_, name);
  bool value = lua_toboolean(state_, -1) != 0;
  lua_pop(state_, 1);
  return value;
}

void QLMScriptEngine::SetGlobalString(const char* name, const std::wstring& text) {
  std::string utf8 = WideToUtf8(text);
  lua_pushlstring(state_, utf8.data(), utf8.size());
  lua_setglobal(state_, name);
}

void QLMScriptEngine::SetGlobalBoolean(const char* name, bool value) {
  lua_pushboolean(state_, value ? 1 : 0);
  lua_setglobal(state_, name);
}

void QLMScriptEngine::SetGlobalNumber(const char* name, double value) {
  lua_pushnumber(state_, value);
  lua_setglobal(state_, name);
}
