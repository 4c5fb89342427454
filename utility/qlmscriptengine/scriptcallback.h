// A script function passed to an installation function, held as a registry reference for the
// duration of that one call and released when the holder goes out of scope.
#pragma once
#include "luaheaders.h"

class ScriptCallback {
 public:
  // Takes a reference to the function at `index`; any other value leaves the holder empty.
  ScriptCallback(lua_State* L, int index);
  ScriptCallback(const ScriptCallback&) = delete;
  ScriptCallback& operator=(const ScriptCallback&) = delete;
  ~ScriptCallback();

  bool Valid() const { return ref_ != LUA_NOREF; }

  // int(path, code): the function's result read with lua_tointeger (nil gives 0), or 2 when
  // the protected call reports an error (its text goes to the debugger output).
  int CallPathCode(const wchar_t* path, unsigned long code);
  // void(path).
  void CallPath(const wchar_t* path);

 private:
  lua_State* L_;
  int ref_ = LUA_NOREF;
};
