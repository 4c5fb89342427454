// Runs the Lua file named on the command line in the script engine. Exit code 7 when the
// chunk ran to its end; a script error ends the process through the script-error handler.
#include <windows.h>

#include <shellapi.h>

#include "qlmscriptengine.h"

int main() {
  int count = 0;
  LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
  if (arguments == nullptr || count < 2) return 2;
  bool ran = QLMScriptEngine::Instance().DoLua(arguments[1]);
  LocalFree(arguments);
  return ran ? 7 : 3;
}
