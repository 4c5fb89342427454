// qlmpack.exe: an installer it writes carries every resource with the right bytes, bad input
// gets one error line and leaves an existing output untouched, equal inputs give equal bytes,
// and the installers are large-address-aware. Every installer and its uninstaller carry one
// application manifest with the execution level chosen at pack time.
#include <gtest/gtest.h>
#include <lauxlib.h>
#include <lua.h>
#include <msxml2.h>

#include <cstring>
#include <vector>

#include "scopeguard.h"
#include "testsupport.h"

namespace {

std::wstring PayloadArchive() { return ModuleFolder() + L"payload-data\\edge.7z"; }

struct PackRun {
  DWORD exitCode = 0xFFFFFFFF;
  std::string errors;
};

// Runs qlmpack with `arguments` and collects its error stream.
PackRun RunPack(const std::wstring& arguments) {
  PackRun run;
  SECURITY_ATTRIBUTES inherit = {sizeof(inherit), nullptr, TRUE};
  HANDLE readEnd = nullptr;
  HANDLE writeEnd = nullptr;
  if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0)) return run;
  SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOW startup = {};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdError = writeEnd;
  startup.hStdOutput = writeEnd;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  PROCESS_INFORMATION info = {};
  std::wstring commandLine = L"\"" + BinFolder() + L"qlmpack.exe\" " + arguments;
  BOOL started = CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, TRUE, CREATE_NO_WINDOW,
                                nullptr, nullptr, &startup, &info);
  CloseHandle(writeEnd);
  if (started) {
    char buffer[4096];
    DWORD read = 0;
    while (ReadFile(readEnd, buffer, sizeof(buffer), &read, nullptr) && read > 0) {
      run.errors.append(buffer, read);
    }
    WaitForSingleObject(info.hProcess, 120000);
    GetExitCodeProcess(info.hProcess, &run.exitCode);
    CloseHandle(info.hProcess);
    CloseHandle(info.hThread);
  }
  CloseHandle(readEnd);
  return run;
}

std::wstring Quoted(const std::wstring& path) { return L"\"" + path + L"\""; }

// A 16x16 icon with one image of fake bitmap bytes.
std::string IconFile(const std::string& image) {
  std::string icon("\0\0\1\0\1\0", 6);
  unsigned char entry[16] = {16, 16, 0, 0, 1, 0, 32, 0};
  DWORD size = static_cast<DWORD>(image.size());
  DWORD offset = 6 + 16;
  std::memcpy(entry + 8, &size, 4);
  std::memcpy(entry + 12, &offset, 4);
  icon.append(reinterpret_cast<const char*>(entry), 16);
  return icon + image;
}

std::string ResourceBytes(HMODULE module, const wchar_t* type, const wchar_t* name) {
  HRSRC info = FindResourceW(module, name, type);
  if (info == nullptr) return std::string();
  HGLOBAL loaded = LoadResource(module, info);
  const char* data = static_cast<const char*>(LockResource(loaded));
  return data ? std::string(data, SizeofResource(module, info)) : std::string();
}

bool IsLargeAddressAware(const std::wstring& path) {
  std::string image = ReadFileBytes(path);
  if (image.size() < 0x40) return false;
  DWORD pe = 0;
  std::memcpy(&pe, &image[0x3C], 4);
  WORD characteristics = 0;
  std::memcpy(&characteristics, &image[pe + 4 + 18], 2);
  return (characteristics & IMAGE_FILE_LARGE_ADDRESS_AWARE) != 0;
}

class QlmpackTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteFileBytes(dir_ / L"config.lua", "global_product_name = 'Packed'\n");
    WriteFileBytes(dir_ / L"install.lua", "packed_install = 42\n");
    WriteFileBytes(dir_ / L"uninstall.lua", "packed_uninstall = true\n");
    WriteFileBytes(dir_ / L"bad.lua", "local x = 1\nx = = 2\n");
    MakeSkin(dir_ / L"skin");
    WriteFileBytes(dir_ / L"skin.zip", std::string("PK\5\6", 4) + std::string(18, '\0'));
    WriteFileBytes(dir_ / L"icon.ico", IconFile(kIconImage));
  }
  static void MakeSkin(const std::wstring& folder) {
    CreateDirectoryW(folder.c_str(), nullptr);
    CreateDirectoryW((folder + L"\\Layout").c_str(), nullptr);
    CreateDirectoryW((folder + L"\\Image").c_str(), nullptr);
    WriteFileBytes(folder + L"\\Layout\\Layout.xml", "<Window size=\"400,300\"/>");
    WriteFileBytes(folder + L"\\font.xml", "<Fonts/>");
    WriteFileBytes(folder + L"\\Image\\bg.png", std::string("\x89PNG\r\n\x1a\n", 8));
  }
  std::wstring Arguments(const std::wstring& output, const std::wstring& skin) const {
    return L"--stub " + Quoted(BinFolder() + L"QLMInstaller.exe") + L" --config " +
           Quoted(dir_ / L"config.lua") + L" --install " + Quoted(dir_ / L"install.lua") +
           L" --uninstall " + Quoted(dir_ / L"uninstall.lua") + L" --skin " + Quoted(skin) +
           L" --payload " + Quoted(PayloadArchive()) + L" --icon " + Quoted(dir_ / L"icon.ico") +
           L" --uninstaller " + Quoted(BinFolder() + L"QLMUninstaller.exe") +
           L" --execution-level asInvoker -o " + Quoted(output);
  }

  static constexpr const char* kIconImage = "fake icon image bytes";
  TempFolder dir_{L"qlmpack"};
};

TEST_F(QlmpackTest, InstallerCarriesEveryResource) {
  std::wstring output = dir_ / L"Setup.exe";
  PackRun run = RunPack(Arguments(output, dir_ / L"skin.zip"));
  ASSERT_EQ(0u, run.exitCode) << run.errors;
  EXPECT_TRUE(IsLargeAddressAware(output));

  HMODULE module = LoadLibraryExW(output.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(nullptr, module);
  std::string payload = ResourceBytes(module, L"_7Z", L"App.7z");
  std::string archive = ReadFileBytes(PayloadArchive());
  std::swap(archive[0], archive[1]);
  EXPECT_EQ(archive, payload);
  EXPECT_EQ(ReadFileBytes(dir_ / L"skin.zip"),
            ResourceBytes(module, L"PNG", MAKEINTRESOURCEW(999)));
  EXPECT_EQ(kIconImage, ResourceBytes(module, RT_ICON, MAKEINTRESOURCEW(1)));
  std::string group = ResourceBytes(module, RT_GROUP_ICON, MAKEINTRESOURCEW(128));
  ASSERT_EQ(6u + 14u, group.size());
  EXPECT_EQ(1, group[12 + 6]);  // the entry names icon 1

  // The chunks are 32-bit precompiled chunks that run in this interpreter.
  struct {
    const wchar_t* name;
    const char* global;
  } chunks[] = {{L"GLOBAL_VAR.LUAC", "global_product_name"},
                {L"INSTSCRIPT.LUAC", "packed_install"},
                {L"UNINSTSCRIPT.LUAC", "packed_uninstall"}};
  const char header[] = "\x1bLua\x52\x00\x01\x04\x04\x04\x08\x00\x19\x93\r\n\x1a\n";
  for (const auto& chunk : chunks) {
    std::string bytes = ResourceBytes(module, L"LUA", chunk.name);
    ASSERT_GE(bytes.size(), sizeof(header) - 1);
    EXPECT_EQ(0, std::memcmp(bytes.data(), header, sizeof(header) - 1));
    lua_State* L = luaL_newstate();
    EXPECT_EQ(LUA_OK, luaL_loadbuffer(L, bytes.data(), bytes.size(), "chunk"));
    EXPECT_EQ(LUA_OK, lua_pcall(L, 0, 0, 0));
    lua_getglobal(L, chunk.global);
    EXPECT_TRUE(lua_toboolean(L, -1));
    lua_close(L);
  }
  FreeLibrary(module);
}

TEST_F(QlmpackTest, SkinFolderIsZippedAndEqualInputsGiveEqualBytes) {
  // A second copy of the skin with other file times zips to the same bytes.
  Sleep(1100);
  MakeSkin(dir_ / L"skin2");
  PackRun first = RunPack(Arguments(dir_ / L"one.exe", dir_ / L"skin"));
  PackRun second = RunPack(Arguments(dir_ / L"two.exe", dir_ / L"skin2"));
  ASSERT_EQ(0u, first.exitCode) << first.errors;
  ASSERT_EQ(0u, second.exitCode) << second.errors;
  std::string one = ReadFileBytes(dir_ / L"one.exe");
  EXPECT_FALSE(one.empty());
  EXPECT_TRUE(one == ReadFileBytes(dir_ / L"two.exe"));

  HMODULE module = LoadLibraryExW((dir_ / L"one.exe").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(nullptr, module);
  std::string skin = ResourceBytes(module, L"PNG", MAKEINTRESOURCEW(999));
  FreeLibrary(module);
  EXPECT_EQ(0, skin.compare(0, 4, "PK\3\4"));
  for (const char* name : {"Layout/Layout.xml", "font.xml", "Image/bg.png"}) {
    EXPECT_NE(std::string::npos, skin.find(name)) << name;
  }
}

TEST(QlmpackStub, InstallerProgramIsLargeAddressAware) {
  EXPECT_TRUE(IsLargeAddressAware(BinFolder() + L"QLMInstaller.exe"));
}

struct BadInput {
  const char* label;
  const wchar_t* replace;  // the argument text to replace
  const wchar_t* with;     // its replacement (file names are relative to the test folder)
  const char* message;     // part of the one error line
};

const BadInput kBadInputs[] = {
    {"missing install script", L"install.lua", L"missing.lua", "cannot read"},
    {"Lua syntax error", L"install.lua", L"bad.lua", "bad.lua:2:"},
    {"payload that is not a 7z archive", L"payload-data\\edge.7z",
     L"payload-data\\edge-payload.bin", "not a 7z archive"},
    {"stub that is not a program", L"QLMInstaller.exe", L"..\\tests\\payload-data\\chunk.bin",
     "not a Windows program"},
    {"unwritable output", L"Out.exe", L"no\\such\\folder\\Out.exe", "cannot write"},
    {"missing output option", L" -o ", L" --icon ", "missing option -o"},
    {"unknown execution level", L"asInvoker", L"admin", "unknown execution level admin"},
    {"uninstaller that is not a program", L"QLMUninstaller.exe",
     L"..\\tests\\payload-data\\chunk.bin", "not a Windows program"},
};

class QlmpackBadInputTest : public QlmpackTest, public ::testing::WithParamInterface<BadInput> {};

TEST_P(QlmpackBadInputTest, OneErrorLineAndTheOldOutputStays) {
  const BadInput& c = GetParam();
  std::wstring output = dir_ / L"Out.exe";
  ASSERT_TRUE(WriteFileBytes(output, "previous installer"));
  std::wstring arguments = Arguments(output, dir_ / L"skin");
  size_t at = arguments.find(c.replace);
  ASSERT_NE(std::wstring::npos, at) << c.label;
  arguments.replace(at, wcslen(c.replace), c.with);

  PackRun run = RunPack(arguments);
  EXPECT_NE(0u, run.exitCode) << c.label;
  EXPECT_EQ(0u, run.errors.find("qlmpack: error: ")) << run.errors;
  EXPECT_NE(std::string::npos, run.errors.find(c.message)) << run.errors;
  EXPECT_EQ(run.errors.size() - 1, run.errors.find('\n')) << "one line: " << run.errors;
  EXPECT_EQ("previous installer", ReadFileBytes(output)) << c.label;
  for (const wchar_t* temporary : {L".qlmpack-part", L".qlmpack-uninstaller"}) {
    EXPECT_FALSE(FileExists(output + temporary)) << "temporary left: " << c.label;
  }
}

INSTANTIATE_TEST_SUITE_P(Inputs, QlmpackBadInputTest, ::testing::ValuesIn(kBadInputs));

// ---------------------------------------------------------------------------------------
// The application manifest.

BOOL CALLBACK AddManifest(HMODULE module, LPCWSTR type, LPCWSTR name, WORD language,
                         LONG_PTR found) {
  HRSRC info = FindResourceExW(module, type, name, language);
  const char* data = static_cast<const char*>(LockResource(LoadResource(module, info)));
  reinterpret_cast<std::vector<std::string>*>(found)->emplace_back(data,
                                                                   SizeofResource(module, info));
  return TRUE;
}

BOOL CALLBACK AddManifestLanguages(HMODULE module, LPCWSTR type, LPWSTR name, LONG_PTR found) {
  EnumResourceLanguagesW(module, type, name, AddManifest, found);
  return TRUE;
}

// Every manifest of the program, in every language.
std::vector<std::string> Manifests(const std::wstring& program) {
  std::vector<std::string> manifests;
  LibraryGuard module(LoadLibraryExW(program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
  if (module.Get() == nullptr) return manifests;
  EnumResourceNamesW(module.Get(), RT_MANIFEST, AddManifestLanguages,
                     reinterpret_cast<LONG_PTR>(&manifests));
  return manifests;
}

// What a manifest declares, read with the system's XML parser from the manifest's bytes.
struct ManifestFacts {
  bool parsed = false;
  std::wstring level;
  std::vector<std::wstring> systems;
  std::wstring commonControls;  // the version of the dependency
};

// IXMLDOMDocument2; the import libraries lack its identifier.
const IID kIidXmlDocument2 = {
    0x2933BF95, 0x7B36, 0x11d2, {0xB2, 0x0E, 0x00, 0xC0, 0x4F, 0x98, 0x3E, 0x60}};

std::wstring NodeText(IXMLDOMNode* node) {
  BSTR text = nullptr;
  if (node == nullptr || FAILED(node->get_text(&text))) return std::wstring();
  std::wstring value = text ? text : L"";
  SysFreeString(text);
  return value;
}

std::wstring SelectText(IXMLDOMDocument2* document, const wchar_t* path) {
  ComRef<IXMLDOMNode> node;
  BSTR query = SysAllocString(path);
  document->selectSingleNode(query, node.Out());
  SysFreeString(query);
  return NodeText(node.Get());
}

void SetProperty(IXMLDOMDocument2* document, const wchar_t* name, const wchar_t* value) {
  BSTR property = SysAllocString(name);
  VARIANT text;
  VariantInit(&text);
  text.vt = VT_BSTR;
  text.bstrVal = SysAllocString(value);
  document->setProperty(property, text);
  VariantClear(&text);
  SysFreeString(property);
}

ManifestFacts ReadManifest(const std::string& bytes, const std::wstring& scratchFile) {
  ManifestFacts facts;
  WriteFileBytes(scratchFile, bytes);
  ComInitGuard com(CoInitialize(nullptr), CoUninitialize);
  CLSID documentClass;
  ComRef<IXMLDOMDocument2> document;
  if (FAILED(CLSIDFromProgID(L"Msxml2.DOMDocument.3.0", &documentClass)) ||
      FAILED(CoCreateInstance(documentClass, nullptr, CLSCTX_INPROC_SERVER, kIidXmlDocument2,
                              document.OutVoid()))) {
    return facts;
  }
  document->put_async(VARIANT_FALSE);
  VARIANT source;
  VariantInit(&source);
  source.vt = VT_BSTR;
  source.bstrVal = SysAllocString(scratchFile.c_str());
  VARIANT_BOOL loaded = VARIANT_FALSE;
  facts.parsed = SUCCEEDED(document->load(source, &loaded)) && loaded == VARIANT_TRUE;
  VariantClear(&source);
  SetProperty(document.Get(), L"SelectionLanguage", L"XPath");
  SetProperty(document.Get(), L"SelectionNamespaces",
              L"xmlns:a='urn:schemas-microsoft-com:asm.v1' "
              L"xmlns:s='urn:schemas-microsoft-com:asm.v3' "
              L"xmlns:c='urn:schemas-microsoft-com:compatibility.v1'");
  facts.level = SelectText(document.Get(),
                           L"/a:assembly/s:trustInfo/s:security/s:requestedPrivileges/"
                           L"s:requestedExecutionLevel/@level");
  facts.commonControls =
      SelectText(document.Get(),
                 L"/a:assembly/a:dependency/a:dependentAssembly/"
                 L"a:assemblyIdentity[@name='Microsoft.Windows.Common-Controls']/@version");
  ComRef<IXMLDOMNodeList> systems;
  BSTR query = SysAllocString(L"/a:assembly/c:compatibility/c:application/c:supportedOS/@Id");
  if (SUCCEEDED(document->selectNodes(query, systems.Out())) && systems) {
    for (ComRef<IXMLDOMNode> node; systems->nextNode(node.Out()) == S_OK && node; node.Reset()) {
      facts.systems.push_back(NodeText(node.Get()));
    }
  }
  SysFreeString(query);
  return facts;
}

struct LevelCase {
  const char* name;
  const wchar_t* option;  // the --execution-level value; nullptr: the option is left out
  const wchar_t* level;
};

class QlmpackManifestTest : public QlmpackTest, public ::testing::WithParamInterface<LevelCase> {};

TEST_P(QlmpackManifestTest, InstallerAndUninstallerCarryOneManifestAndTheInstallerRuns) {
  const LevelCase& c = GetParam();
  const std::wstring mark = dir_ / L"ran.txt";
  WriteFileBytes(dir_ / L"marking.lua",
                 "function QLMSE_AfterComplete()\n"
                 "  local f = assert(io.open(os.getenv('QLM_TEST_MARK'), 'w')) f:write('ran')"
                 " f:close()\nend\n");
  const std::wstring output = dir_ / L"Setup.exe";
  std::wstring arguments = L"--stub " + Quoted(BinFolder() + L"QLMInstaller.exe") + L" --config " +
                           Quoted(dir_ / L"config.lua") + L" --install " +
                           Quoted(dir_ / L"marking.lua") + L" --uninstaller " +
                           Quoted(BinFolder() + L"QLMUninstaller.exe") + L" -o " + Quoted(output);
  if (c.option) arguments += std::wstring(L" --execution-level ") + c.option;
  const PackRun run = RunPack(arguments);
  ASSERT_EQ(0u, run.exitCode) << run.errors;

  const std::vector<std::string> manifests = Manifests(output);
  ASSERT_EQ(manifests.size(), 1u);
  const ManifestFacts facts = ReadManifest(manifests[0], dir_ / L"manifest.xml");
  EXPECT_TRUE(facts.parsed);
  EXPECT_EQ(facts.level, c.level);
  EXPECT_EQ(facts.systems, (std::vector<std::wstring>{L"{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",
                                                      L"{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",
                                                      L"{1f676c76-80e1-4239-95bb-83d0f6d0da78}",
                                                      L"{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"}))
      << "Windows 7, 8, 8.1, 10 and 11";
  EXPECT_EQ(facts.commonControls, L"6.0.0.0");

  // The embedded uninstaller carries the same manifest.
  HMODULE module = LoadLibraryExW(output.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(module, nullptr);
  const std::string uninstaller = ResourceBytes(module, L"EXE", L"UNINSTALL.EXE");
  FreeLibrary(module);
  ASSERT_EQ(0, uninstaller.compare(0, 2, "MZ"));
  ASSERT_TRUE(WriteFileBytes(dir_ / L"Uninstall.exe", uninstaller));
  EXPECT_EQ(Manifests(dir_ / L"Uninstall.exe"), manifests);

  SetEnvironmentVariableW(L"QLM_TEST_MARK", mark.c_str());
  const ProcessResult installed = RunProcess(Quoted(output) + L" /InstallSlience true", 120000);
  EXPECT_TRUE(installed.finished);
  EXPECT_EQ("ran", ReadFileBytes(mark)) << "the installer runs with its manifest";
}

INSTANTIATE_TEST_SUITE_P(
    Levels, QlmpackManifestTest,
    ::testing::Values(LevelCase{"Default", nullptr, L"requireAdministrator"},
                      LevelCase{"RequireAdministrator", L"requireAdministrator",
                                L"requireAdministrator"},
                      LevelCase{"HighestAvailable", L"highestAvailable", L"highestAvailable"},
                      LevelCase{"AsInvoker", L"asInvoker", L"asInvoker"}),
    [](const ::testing::TestParamInfo<LevelCase>& info) { return info.param.name; });

TEST_F(QlmpackTest, ManifestOfAPackedStubIsReplaced) {
  const std::wstring first = dir_ / L"first.exe";
  const std::wstring second = dir_ / L"second.exe";
  ASSERT_EQ(0u, RunPack(Arguments(first, dir_ / L"skin")).exitCode);
  std::wstring arguments = Arguments(second, dir_ / L"skin");
  arguments.replace(arguments.find(L"asInvoker"), 9, L"highestAvailable");
  arguments.replace(arguments.find(BinFolder() + L"QLMInstaller.exe"),
                    (BinFolder() + L"QLMInstaller.exe").size(), first);
  const PackRun run = RunPack(arguments);
  ASSERT_EQ(0u, run.exitCode) << run.errors;
  const std::vector<std::string> manifests = Manifests(second);
  ASSERT_EQ(manifests.size(), 1u);
  EXPECT_EQ(ReadManifest(manifests[0], dir_ / L"manifest.xml").level, L"highestAvailable");
}

}  // namespace
