// The script-error handler: the message handler of every protected call. It shows the error
// and the call stack in a message box and ends the process (exit code 0 unless the program
// chose another one).
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

// The exit code with which the engine ends the process on a script's behalf: after a script
// error and when the user aborts a failed deletion. 0 unless the program sets another; the
// uninstaller reports such an end as a failure.
void SetScriptEndExitCode(unsigned code);
unsigned ScriptEndExitCode();

// Whether a script error is shown in a box (the default) or, for a program that runs without
// a user, written to the debugger output.
void SetScriptErrorBox(bool show);

// lua_CFunction: shows the box (or writes the debug lines) and calls ExitProcess with the
// script end exit code; never returns.
int ScriptErrorHandler(lua_State* L);
