// qlmpack: builds a single-file installer from the stub program, the configuration, install
// and uninstall scripts, the skin, the payload archive, the icon and the uninstaller program.
//   qlmpack --stub QLMInstaller.exe --config Global_var.lua --install InstScript.lua
//           [--uninstall UninstScript.lua] [--skin <folder or .zip>] [--payload <.7z>]
//           [--icon <.ico>] [--uninstaller QLMUninstaller.exe]
//           [--execution-level requireAdministrator|highestAvailable|asInvoker]
//           [--sign "<command with {file}>"] -o Setup.exe
// Every installer gets an application manifest; the uninstaller gets the same one and is
// signed before it is embedded, the installer after it is written.
#include <windows.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "installerwriter.h"
#include "manifest.h"
#include "packresources.h"
#include "safelibrary.h"
#include "scopeguard.h"
#include "stringconv.h"

namespace {

constexpr WORD kSkinId = 999;
constexpr WORD kIconGroupId = 128;
constexpr WORD kManifestId = 1;  // the manifest the system reads when it starts a program
// The embedded uninstaller program, which install scripts write out with Lua_ExtractResource.
constexpr wchar_t kUninstallerType[] = L"EXE";
constexpr wchar_t kUninstallerName[] = L"UNINSTALL.EXE";

const wchar_t kUsage[] =
    L" (usage: qlmpack --stub <exe> --config <lua> --install <lua> [--uninstall <lua>] [--skin "
    L"<folder|zip>] [--payload <7z>] [--icon <ico>] [--uninstaller <exe>] [--execution-level "
    L"requireAdministrator|highestAvailable|asInvoker] [--sign <command>] -o <output>)";

int Fail(const std::wstring& message) {
  std::fprintf(stderr, "qlmpack: error: %s\n", WideToUtf8(message).c_str());
  return 1;
}

bool ParseOptions(int argc, wchar_t** argv, std::map<std::wstring, std::wstring>& options,
                  std::wstring& error) {
  static const wchar_t* const kKnown[] = {
      L"--stub", L"--config",      L"--install",         L"--uninstall", L"--skin", L"--payload",
      L"--icon", L"--uninstaller", L"--execution-level", L"--sign",      L"-o"};
  for (int i = 1; i < argc; ++i) {
    std::wstring option = argv[i];
    bool known = false;
    for (const wchar_t* name : kKnown) known = known || option == name;
    if (!known) {
      error = L"unknown option " + option;
      return false;
    }
    if (i + 1 >= argc) {
      error = L"option " + option + L" needs a value";
      return false;
    }
    options[option] = argv[++i];
  }
  for (const wchar_t* required : {L"--stub", L"--config", L"--install", L"-o"}) {
    if (options.count(required) == 0) {
      error = std::wstring(L"missing option ") + required + kUsage;
      return false;
    }
  }
  if (options.count(L"--execution-level") == 0) {
    options[L"--execution-level"] = kDefaultExecutionLevel;
  } else if (!IsExecutionLevel(options[L"--execution-level"])) {
    error = L"unknown execution level " + options[L"--execution-level"] + kUsage;
    return false;
  }
  return true;
}

bool AddChunk(const std::wstring& path, const wchar_t* name, std::vector<PackResource>& out,
              std::wstring& error) {
  PackResource chunk;
  chunk.type = L"LUA";
  chunk.name = name;
  if (!CompileChunk(path, chunk.bytes, error)) return false;
  out.push_back(std::move(chunk));
  return true;
}

PackResource Manifest(const std::wstring& executionLevel) {
  PackResource manifest;
  manifest.typeId = kManifestType;
  manifest.nameId = kManifestId;
  manifest.bytes = ApplicationManifest(executionLevel);
  return manifest;
}

// The uninstaller program with the installer's manifest, signed, as a resource.
bool AddUninstaller(std::map<std::wstring, std::wstring>& options, std::vector<PackResource>& out,
                    std::wstring& error) {
  const std::wstring& program = options[L"--uninstaller"];
  if (!IsPortableExecutable(program, error)) return false;
  const std::wstring temporary = options[L"-o"] + L".qlmpack-uninstaller";
  auto removeTemporary = MakeScopeGuard([&temporary] { DeleteFileW(temporary.c_str()); });
  PackResource uninstaller;
  uninstaller.type = kUninstallerType;
  uninstaller.name = kUninstallerName;
  if (!BuildProgram(program, {Manifest(options[L"--execution-level"])}, options[L"--sign"],
                    temporary, error) ||
      !ReadWholeFile(temporary, uninstaller.bytes, error)) {
    return false;
  }
  out.push_back(std::move(uninstaller));
  return true;
}

bool CollectResources(std::map<std::wstring, std::wstring>& options, std::vector<PackResource>& out,
                      std::wstring& error) {
  out.push_back(Manifest(options[L"--execution-level"]));
  if (!AddChunk(options[L"--config"], L"GLOBAL_VAR.LUAC", out, error) ||
      !AddChunk(options[L"--install"], L"INSTSCRIPT.LUAC", out, error)) {
    return false;
  }
  if (options.count(L"--uninstall") &&
      !AddChunk(options[L"--uninstall"], L"UNINSTSCRIPT.LUAC", out, error)) {
    return false;
  }
  if (options.count(L"--skin")) {
    PackResource skin;
    skin.type = L"PNG";
    skin.nameId = kSkinId;
    if (!BuildSkinArchive(options[L"--skin"], skin.bytes, error)) return false;
    out.push_back(std::move(skin));
  }
  if (options.count(L"--payload")) {
    PackResource payload;
    payload.type = L"_7Z";
    payload.name = L"APP.7Z";
    if (!BuildPayload(options[L"--payload"], payload.bytes, error)) return false;
    out.push_back(std::move(payload));
  }
  if (options.count(L"--icon") && !BuildIconGroup(options[L"--icon"], kIconGroupId, out, error)) {
    return false;
  }
  return options.count(L"--uninstaller") == 0 || AddUninstaller(options, out, error);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  RestrictLibrarySearch();
  std::map<std::wstring, std::wstring> options;
  std::wstring error;
  if (!ParseOptions(argc, argv, options, error)) return Fail(error);
  if (!IsPortableExecutable(options[L"--stub"], error)) return Fail(error);
  std::vector<PackResource> resources;
  if (!CollectResources(options, resources, error)) return Fail(error);
  if (!WriteInstaller(options[L"--stub"], resources, options[L"--sign"], options[L"-o"], error)) {
    return Fail(error);
  }
  return 0;
}
