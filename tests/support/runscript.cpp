// qlm_runscript <file.lua>: runs one script file through the engine. Exits with 0 when the
// script ran and 3 when it did not load or run (a run-time error normally ends the process
// through the script-error box with 0 before that).
#include "qlmscriptengine.h"

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) return 3;
  return QLMScriptEngine::Instance().DoLua(argv[1]) ? 0 : 3;
}
