#include "ffitestsupport.h"

#include "qlmscriptengine.h"

std::string Eval(const std::string& chunk) {
  lua_State* L = QLMScriptEngine::Instance().State();
  int base = lua_gettop(L);
  if (luaL_loadbuffer(L, chunk.data(), chunk.size(), "=test") != LUA_OK ||
      lua_pcall(L, 0, LUA_MULTRET, 0) != LUA_OK) {
    const char* message = lua_tostring(L, -1);
    std::string error = std::string("error: ") + (message ? message : "(no text)");
    lua_settop(L, base);
    return error;
  }
  std::string results;
  for (int index = base + 1; index <= lua_gettop(L); ++index) {
    if (index > base + 1) results += "|";
    size_t length = 0;
    const char* text = luaL_tolstring(L, index, &length);
    results.append(text, length);
    lua_pop(L, 1);
  }
  lua_settop(L, base);
  return results;
}
