// qlm_luarunner <script.lua>: runs the script in the installer's engine. Exit code 1 when the
// script did not load or failed, 2 when it ran to its end.
#include <windows.h>
#include <shellapi.h>

#include "qlmscriptengine.h"

int main() {
  int count = 0;
  wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
  if (arguments == nullptr || count < 2) return 1;
  bool ran = QLMScriptEngine::Instance().DoLua(arguments[1]);
  LocalFree(arguments);
  return ran ? 2 : 1;
}
