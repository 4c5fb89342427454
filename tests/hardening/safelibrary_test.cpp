// Library look-up that never takes a file from the program's own folder: a copy of the
// planted library lies there under the names looked up, and Wine is told to prefer a library
// found on the search path for those names (as Windows does for any library that is not one
// of its known libraries).
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "safelibrary.h"
#include "testsupport.h"

namespace {

std::wstring ModulePathOf(HMODULE module) {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(module, path, MAX_PATH);
  return path;
}

std::wstring Lower(std::wstring text) {
  for (wchar_t& c : text) c = static_cast<wchar_t>(towlower(c));
  return text;
}

// Plants the marker library as `name` beside this program for the life of the object.
class Planted {
 public:
  explicit Planted(const std::wstring& name) : path_(ModuleFolder() + name) {
    CopyFileW((ModuleFolder() + L"..\\qlm_planted_library.dll").c_str(), path_.c_str(), FALSE);
  }
  ~Planted() {
    DeleteFileW(path_.c_str());
    DeleteFileW((path_ + L".loaded").c_str());
  }
  bool Exists() const { return FileExists(path_); }
  bool Loaded() const { return FileExists(path_ + L".loaded"); }
  const std::wstring& Path() const { return path_; }

 private:
  std::wstring path_;
};

TEST(SafeLibrary, SystemLibrariesComeFromTheSystemFolderWithACopyBesideTheProgram) {
  const std::wstring system = Lower(SystemProgramPath(L""));
  ASSERT_FALSE(system.empty());
  for (const wchar_t* name : {L"msimg32.dll", L"Msftedit.dll"}) {
    SCOPED_TRACE(testing::Message() << "library " << testing::PrintToString(std::wstring(name)));
    Planted planted(name);
    ASSERT_TRUE(planted.Exists());
    HMODULE module = LoadSystemLibrary(name);
    ASSERT_NE(module, nullptr);
    EXPECT_EQ(Lower(ModulePathOf(module)).rfind(system, 0), 0u) << ModulePathOf(module).c_str();
    EXPECT_FALSE(planted.Loaded());
    FreeLibrary(module);
  }
}

TEST(SafeLibrary, ScriptLibrariesLoadByFullPathButNotByBareNameFromTheProgramFolder) {
  Planted planted(L"qlm_named_probe.dll");
  EXPECT_EQ(LoadNamedLibrary(L"qlm_named_probe.dll"), nullptr);
  EXPECT_EQ(LoadNamedLibrary(L".\\qlm_named_probe.dll"), nullptr);
  EXPECT_FALSE(planted.Loaded());
  HMODULE module = LoadNamedLibrary(planted.Path());
  ASSERT_NE(module, nullptr);
  EXPECT_TRUE(planted.Loaded());
  FreeLibrary(module);
  // A bare system name still resolves, in the system folder.
  HMODULE kernel = LoadNamedLibrary(L"kernel32");
  EXPECT_NE(kernel, nullptr);
  FreeLibrary(kernel);
}

TEST(SafeLibrary, SystemProgramsHaveFullPaths) {
  wchar_t windows[MAX_PATH] = {};
  GetWindowsDirectoryW(windows, MAX_PATH);
  EXPECT_EQ(Lower(WindowsProgramPath(L"explorer.exe")),
            Lower(std::wstring(windows) + L"\\explorer.exe"));
  EXPECT_NE(GetFileAttributesW(SystemProgramPath(L"regsvr32.exe").c_str()),
            INVALID_FILE_ATTRIBUTES);
}

}  // namespace
