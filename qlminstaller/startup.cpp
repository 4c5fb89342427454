#include "startup.h"

#include <cwchar>

#include "debugoutput.h"
#include "qlmscriptengine.h"

std::wstring LogBasePath() {
  wchar_t temp[MAX_PATH + 1] = {};
  GetTempPathW(MAX_PATH, temp);
  std::wstring path = temp;
  if (!path.empty() && path.back() != L'\\') path += L'\\';
  return path + L"RykInstall.log";
}

HWND ListenWindowFromSwitches(const SwitchTable& switches) {
  std::wstring value;
  if (!switches.GetValue(L"InstallListenWnd", value)) return nullptr;
  return reinterpret_cast<HWND>(static_cast<ULONG_PTR>(wcstoul(value.c_str(), nullptr, 10)));
}

namespace {

std::wstring ExecutableFolder() {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder = path;
  return folder.substr(0, folder.find_last_of(L'\\') + 1);
}

}  // namespace

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
