// The script-error handler: the message handler of every protected call. It shows the error
// and the call stack in a message box and ends the process with exit code 0.
#pragma once
#include <string>

#include "luaheaders.h"

// The box text: "<error>\n", the call-stack listing from level 0 (the running C function,
// normally the handler) outward, then the feedback sentence. The 8-bit part is converted
// with the thread ANSI code page.
std::wstring ComposeScriptErrorText(lua_State* L);

// "      <call stack>\n" and one line per activation record, starting at level 0.
std::string ComposeCallStack(lua_State* L);

extern const wchar_t kScriptErrorCaption[];

// lua_CFunction: shows the box and calls ExitProcess(0); never returns.
int ScriptErrorHandler(lua_State* L);
