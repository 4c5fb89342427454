// qlmpack: builds a single-file installer from the stub program, the configuration, install
// and uninstall scripts, the skin, the payload archive and the icon.
//   qlmpack --stub QLMInstaller.exe --config Global_var.lua --install InstScript.lua
//           [--uninstall UninstScript.lua] [--skin <folder or .zip>] [--payload <.7z>]
//           [--icon <.ico>] -o Setup.exe
#include <windows.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "installerwriter.h"
#include "packresources.h"
#include "stringconv.h"

namespace {

constexpr WORD kSkinId = 999;
constexpr WORD kIconGroupId = 128;

int Fail(const std::wstring& message) {
  std::fprintf(stderr, "qlmpack: error: %s\n", WideToUtf8(message).c_str());
  return 1;
}

bool ParseOptions(int argc, wchar_t** argv, std::map<std::wstring, std::wstring>& options,
                  std::wstring& error) {
  static const wchar_t* const kKnown[] = {L"--stub",    L"--config", L"--install",
                                          L"--uninstall", L"--skin", L"--payload",
                                          L"--icon",    L"-o"};
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
      error = std::wstring(L"missing option ") + required +
              L" (usage: qlmpack --stub <exe> --config <lua> --install <lua> [--uninstall "
              L"<lua>] [--skin <folder|zip>] [--payload <7z>] [--icon <ico>] -o <output>)";
      return false;
    }
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

bool CollectResources(std::map<std::wstring, std::wstring>& options,
                      std::vector<PackResource>& out, std::wstring& error) {
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
  if (options.count(L"--icon") &&
      !BuildIconGroup(options[L"--icon"], kIconGroupId, out, error)) {
    return false;
  }
  return true;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  std::map<std::wstring, std::wstring> options;
  std::wstring error;
  if (!ParseOptions(argc, argv, options, error)) return Fail(error);
  if (!IsPortableExecutable(options[L"--stub"], error)) return Fail(error);
  std::vector<PackResource> resources;
  if (!CollectResources(options, resources, error)) return Fail(error);
  if (!WriteInstaller(options[L"--stub"], resources, options[L"-o"], error)) return Fail(error);
  return 0;
}
