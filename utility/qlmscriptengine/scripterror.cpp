#include "scripterror.h"

#include <windows.h>

#include <cstdarg>
#include <cstdio>

#include "debugoutput.h"
#include "stringconv.h"

const wchar_t kScriptErrorCaption[] = L":-( 杯具，脚本执行时发生错误";

namespace {

constexpr wchar_t kFeedback[] = L"请向我们反馈以上错误信息，以便我们改善产品质量！";

// Set once at start-up, before any script runs.
unsigned g_endExitCode = 0;
bool g_showErrorBox = true;

std::string Printf(const char* format, ...) {
  va_list args;
  va_start(args, format);
  va_list copy;
  va_copy(copy, args);
  int size = vsnprintf(nullptr, 0, format, copy);
  va_end(copy);
  std::string text(static_cast<size_t>(size > 0 ? size : 0), '\0');
  if (size > 0) vsnprintf(&text[0], text.size() + 1, format, args);
  va_end(args);
  return text;
}

}  // namespace

std::string ComposeCallStack(lua_State* L) {
  std::string text;
  lua_Debug record;
  for (int level = 0; lua_getstack(L, level, &record); ++level) {
    lua_getinfo(L, "nSlu", &record);
    const char* prefix = "--  | ";
    if (level == 0) {
      text += "      <call stack>\n";
      prefix = "-> | ";
    }
    const char* source = record.source ? record.source : "(null)";
    if (record.name) {
      text += Printf("%s%s() : line %d [%s : line %d]\n", prefix, record.name,
                     record.currentline, source, record.linedefined);
    } else {
      text += Printf("%sunknown : line %d [%s : line %d]\n", prefix, record.currentline, source,
                     record.linedefined);
    }
  }
  return text;
}

std::wstring ComposeScriptErrorText(lua_State* L) {
  const char* message = lua_tostring(L, -1);
  std::string text = message ? message : "(null)";
  text += "\n";
  text += ComposeCallStack(L);
  std::wstring wide = AnsiToWide(text.c_str(), text.size());
  wide += kFeedback;
  return wide;
}

void SetScriptEndExitCode(unsigned code) { g_endExitCode = code; }

unsigned ScriptEndExitCode() { return g_endExitCode; }

void SetScriptErrorBox(bool show) { g_showErrorBox = show; }

int ScriptErrorHandler(lua_State* L) {
  std::wstring text = ComposeScriptErrorText(L);
  if (g_showErrorBox) {
    MessageBoxW(nullptr, text.c_str(), kScriptErrorCaption, MB_ICONERROR | MB_OK);
  } else {
    DebugLine(L"%s\r\n", kScriptErrorCaption);
    DebugLine(L"%s\r\n", text.c_str());
  }
  ExitProcess(g_endExitCode);
}
