#include "startup.h"

#include <cwchar>

#include "debugoutput.h"
#include "modulepath.h"
#include "qlmscriptengine.h"

HWND ListenWindowFromSwitches(const SwitchTable& switches) {
  return reinterpret_cast<HWND>(SwitchNumber(switches, L"InstallListenWnd"));
}

std::wstring ExecutableFolder() { return FolderOf(ModulePath()) + L"\\"; }

bool LoadScripts(bool debugMode) {
  QLMScriptEngine& engine = QLMScriptEngine::Instance();
  if (debugMode) {
    const std::wstring folder = ExecutableFolder();
    if (!engine.DoLua((folder + L"..\\resource\\lua\\Global_var.lua").c_str())) {
      DebugLine(L"DoLua failed, GLOBAL_VAR.LUA");
      return false;
    }
    if (!engine.DoLua((folder + L"..\\resource\\lua\\InstScript.lua").c_str())) {
      DebugLine(L"DoResLua failed, INSTSCRIPT.LUA");
      return false;
    }
    return true;
  }
  if (!engine.DoResLua(L"LUA", L"GLOBAL_VAR.LUAC")) {
    DebugLine(L"DoResLua failed, GLOBAL_VAR.LUAC");
    return false;
  }
  if (!engine.DoResLua(L"LUA", L"INSTSCRIPT.LUAC")) {
    DebugLine(L"DoResLua failed, INSTSCRIPT.LUAC");
    return false;
  }
  return true;
}

bool ChooseSilentRoad(bool silentSwitchHolds) {
  if (silentSwitchHolds) return true;
  QLMScriptEngine& engine = QLMScriptEngine::Instance();
  return engine.GetGlobalBoolean("global_enable_ss_install") &&
         engine.GetGlobalBoolean("global_ss_install");
}
