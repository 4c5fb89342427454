#include "scriptcallback.h"

#include "debugoutput.h"
#include "qlmscriptengine.h"
#include "stringconv.h"

ScriptCallback::ScriptCallback(lua_State* L, int index) : L_(L) {
  if (lua_isfunction(L, index)) {
    lua_pushvalue(L, index);
    ref_ = luaL_ref(L, LUA_REGISTRYINDEX);
  }
}

ScriptCallback::~ScriptCallback() {
  if (ref_ != LUA_NOREF) luaL_unref(L_, LUA_REGISTRYINDEX, ref_);
}

namespace {

void ReportCallbackError(lua_State* L) {
  std::wstring text = Utf8ToWide(lua_tostring(L, -1));
  DebugLine(L"%s\r\n", text.c_str());
  lua_pop(L, 1);
}

}  // namespace

int ScriptCallback::CallPathCode(const wchar_t* path, unsigned long code) {
  int top = lua_gettop(L_);
  lua_rawgeti(L_, LUA_REGISTRYINDEX, ref_);
  std::string utf8 = WideToUtf8(path);
  lua_pushlstring(L_, utf8.data(), utf8.size());
  lua_pushunsigned(L_, code);
  if (QLMScriptEngine::Instance().CallProtected(2, 1) != LUA_OK) {
    ReportCallbackError(L_);
    lua_settop(L_, top);
    return 2;
  }
  int result = lua_tointeger(L_, -1);
  lua_settop(L_, top);
  return result;
}

void ScriptCallback::CallPath(const wchar_t* path) {
  int top = lua_gettop(L_);
  lua_rawgeti(L_, LUA_REGISTRYINDEX, ref_);
  std::string utf8 = WideToUtf8(path);
  lua_pushlstring(L_, utf8.data(), utf8.size());
  if (QLMScriptEngine::Instance().CallProtected(1, 1) != LUA_OK) ReportCallbackError(L_);
  lua_settop(L_, top);
}
