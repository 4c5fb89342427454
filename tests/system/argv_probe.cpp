// system_argv_probe <output file> [arguments...]: writes the items that the script function
// Lua_GetCommandLineArgv returns, one a line, into the output file.
#include <cstring>

#include "qlmscriptengine.h"

int main() {
  static const char kChunk[] =
      "local items = Lua_GetCommandLineArgv()\n"
      "local out = io.open(items[2], 'wb')\n"
      "for i = 1, #items do out:write(items[i], '\\n') end\n"
      "out:close()\n";
  return QLMScriptEngine::Instance().DoBuffer(kChunk, strlen(kChunk), "probe") ? 0 : 1;
}
