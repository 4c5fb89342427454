// The process-wide script engine: one Lua 5.2 state with the standard libraries, the script
// value types, GLibTab and the installation functions.
#pragma once
#include <string>

#include "luaheaders.h"

class QLMScriptEngine {
 public:
  static QLMScriptEngine& Instance();
  virtual ~QLMScriptEngine();

  lua_State* State() const { return state_; }

  // Runs the chunk stored as resource `name` of type `type` in the executable.
  bool DoResLua(const wchar_t* type, const wchar_t* name);
  // Runs a chunk (source text or precompiled) held in memory.
  bool DoBuffer(const char* data, size_t size, const char* chunkName);
  // Runs the chunk in a file.
  bool DoLua(const wchar_t* path);

  // Calls the function below `argumentCount` arguments with the script-error handler as
  // message handler; returns the interpreter status (0 on success).
  int CallProtected(int argumentCount, int resultCount);
  // Calls the global function `name` without arguments; anything else is skipped.
  void CallHook(const char* name);

  std::wstring GetGlobalString(const char* name);
  int GetGlobalInteger(const char* name);
  bool GetGlobalBoolean(const char* name);
  void SetGlobalString(const char* name, const std::wstring& text);
  void SetGlobalBoolean(const char* name, bool value);
  void SetGlobalNumber(const char* name, double value);

 private:
  QLMScriptEngine();
  static void CloseAtExit();

  lua_State* state_ = nullptr;
};
