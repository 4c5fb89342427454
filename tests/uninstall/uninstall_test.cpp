// The demo product's round trips under Wine: DemoSetup.exe installs it silently into a
// temporary folder of the case, then its Uninstall.exe runs through the command lines that the
// install script registered. Afterwards the product folder, the keys (32-bit view), both
// shortcuts and the uninstall entry are gone and the temporary copy is gone or registered for
// deletion at restart; refusals and a cancelled run leave everything in place.
#include <gtest/gtest.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdio>

#include "debugcapture.h"
#include "scopeguard.h"
#include "testsupport.h"
#include "uninstallrun.h"

namespace {

constexpr wchar_t kUninstallKey[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\QLMDemo";
constexpr wchar_t kProductKey[] = L"Software\\QLMDemo";
constexpr wchar_t kCaption[] = L"QLM Demo Uninstall";

// A value of the installer's (32-bit) view of HKLM; empty when absent.
std::wstring MachineString(const wchar_t* key, const wchar_t* value) {
  wchar_t data[1024] = {};
  DWORD size = sizeof(data);
  if (RegGetValueW(HKEY_LOCAL_MACHINE, key, value, RRF_RT_REG_SZ, nullptr, data, &size) !=
      ERROR_SUCCESS) {
    return std::wstring();
  }
  return data;
}

bool MachineKeyExists(const wchar_t* key) {
  HKEY handle = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, key, 0, KEY_READ, &handle) != ERROR_SUCCESS) return false;
  RegCloseKey(handle);
  return true;
}

std::wstring ShellFolder(int csidl) {
  wchar_t path[MAX_PATH] = {};
  SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path);
  return path;
}

std::wstring DesktopShortcut() { return ShellFolder(CSIDL_DESKTOPDIRECTORY) + L"\\QLM Demo.lnk"; }
std::wstring MenuFolder() { return ShellFolder(CSIDL_COMMON_PROGRAMS) + L"\\QLM Demo"; }

int CountFiles(const std::wstring& folder) {
  int count = 0;
  WIN32_FIND_DATAW entry;
  HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &entry);
  if (find == INVALID_HANDLE_VALUE) return 0;
  do {
    const std::wstring name = entry.cFileName;
    if (name == L"." || name == L"..") continue;
    count +=
        (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? CountFiles(folder + L"\\" + name) : 1;
  } while (FindNextFileW(find, &entry));
  FindClose(find);
  return count;
}

// Each case installs the demo product with TMP and TEMP pointing into a folder of its own,
// so the product lands in <that folder>\QLMDemo; whatever a case leaves installed is
// uninstalled silently afterwards.
class DemoRoundTrip : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const wchar_t* name : {L"TMP", L"TEMP"}) {
      wchar_t value[MAX_PATH] = {};
      GetEnvironmentVariableW(name, value, MAX_PATH);
      saved_.push_back(value);
      SetEnvironmentVariableW(name, temp_.Path().c_str());
    }
    const ProcessResult install =
        RunProcess(L"\"" + BinFolder() + L"DemoSetup.exe\" /InstallSlience true", 120000);
    ASSERT_TRUE(install.finished);
    ASSERT_EQ(install.exitCode, 0u);
    ASSERT_TRUE(FileExists(Uninstaller()));
  }

  void TearDown() override {
    if (MachineKeyExists(kUninstallKey)) {
      RunUninstaller(MachineString(kUninstallKey, L"QuietUninstallString"), kCaption,
                     [](const std::wstring&) { return IDOK; });
    }
    SetEnvironmentVariableW(L"TMP", saved_[0].c_str());
    SetEnvironmentVariableW(L"TEMP", saved_[1].c_str());
  }

  std::wstring Folder() const { return temp_ / L"QLMDemo"; }
  std::wstring Uninstaller() const { return Folder() + L"\\Uninstall.exe"; }

  void ExpectRemoved(const UninstallRun& run) const {
    ExpectProductRemoved();
    ExpectTemporaryFilesGone(run);
  }

  // The product folder, its keys, both shortcuts and the uninstall entry are gone.
  void ExpectProductRemoved() const {
    EXPECT_FALSE(FileExists(Folder()));
    EXPECT_FALSE(MachineKeyExists(kUninstallKey));
    EXPECT_FALSE(MachineKeyExists(kProductKey));
    EXPECT_FALSE(FileExists(DesktopShortcut()));
    EXPECT_FALSE(FileExists(MenuFolder()));
  }

  // The copy's file and the original's moved program are gone or wait for the restart.
  static void ExpectTemporaryFilesGone(const UninstallRun& run) {
    ASSERT_TRUE(run.copySeen);
    ASSERT_TRUE(run.copyFinished);
    for (const std::wstring& path : {run.copyPath, run.copyPath + L".original"}) {
      EXPECT_TRUE(!FileExists(path) || RegisteredForDeletionAtRestart(path)) << path;
    }
  }

  void ExpectNothingRemoved() const {
    EXPECT_TRUE(FileExists(Uninstaller()));
    EXPECT_TRUE(FileExists(Folder() + L"\\DemoApp.exe"));
    EXPECT_TRUE(FileExists(Folder() + L"\\UninstScript.luac"));
    EXPECT_EQ(MachineString(kProductKey, L"InstallPath"), Folder());
    EXPECT_TRUE(FileExists(DesktopShortcut()));
    EXPECT_TRUE(FileExists(MenuFolder()));
  }

  TempFolder temp_{L"qlmuninst"};
  std::vector<std::wstring> saved_;
};

TEST_F(DemoRoundTrip, QuietUninstallStringRemovesEverything) {
  const std::wstring quiet = MachineString(kUninstallKey, L"QuietUninstallString");
  EXPECT_EQ(quiet, L"\"" + Uninstaller() + L"\" /UninstallSilent true");
  EXPECT_EQ(MachineString(kUninstallKey, L"UninstallString"), L"\"" + Uninstaller() + L"\"");
  const int files = CountFiles(Folder());

  const UninstallRun run =
      RunUninstaller(quiet, kCaption, [](const std::wstring&) { return IDOK; });
  ASSERT_TRUE(run.finished);
  EXPECT_EQ(run.exitCode, 0u);
  EXPECT_EQ(run.copyExitCode, 0u);
  EXPECT_TRUE(run.boxTexts.empty()) << "silent runs show no box";
  ExpectRemoved(run);
  std::printf("round trip: %d files removed in %lu ms (original and copy)\n", files,
              run.milliseconds);
}

TEST_F(DemoRoundTrip, UninstallStringAnsweredYesRemovesEverythingAndSaysSo) {
  const UninstallRun run = RunUninstaller(
      MachineString(kUninstallKey, L"UninstallString"), kCaption,
      [](const std::wstring& text) { return text.find(L"Do you want") == 0 ? IDYES : IDOK; });
  ASSERT_TRUE(run.finished);
  EXPECT_EQ(run.exitCode, 0u);
  ASSERT_EQ(run.boxTexts.size(), 2u);
  EXPECT_EQ(run.boxTexts[0], L"Do you want to remove QLM Demo and all of its components?");
  EXPECT_EQ(run.boxTexts[1], L"QLM Demo was removed from this computer.");
  ExpectRemoved(run);
}

TEST_F(DemoRoundTrip, UninstallStringAnsweredNoChangesNothing) {
  const UninstallRun run = RunUninstaller(MachineString(kUninstallKey, L"UninstallString"),
                                          kCaption, [](const std::wstring&) { return IDNO; });
  ASSERT_TRUE(run.finished);
  EXPECT_EQ(run.exitCode, 1u);
  EXPECT_EQ(run.boxTexts.size(), 1u);
  EXPECT_FALSE(run.copySeen);
  ExpectNothingRemoved();
}

TEST_F(DemoRoundTrip, RunningProductIsEndedBeforeItsFilesAreDeleted) {
  ChildProcess product(L"\"" + Folder() + L"\\DemoApp.exe\"");
  ASSERT_TRUE(product.Started());
  // The product runs once its window exists.
  ASSERT_NE(product.WaitForWindow(L"QLMDemoAppWindow", 15000), nullptr);

  const UninstallRun run = RunUninstaller(MachineString(kUninstallKey, L"QuietUninstallString"),
                                          kCaption, [](const std::wstring&) { return IDOK; });
  DWORD productExitCode = 0;
  EXPECT_TRUE(product.WaitExit(10000, productExitCode));
  EXPECT_EQ(run.exitCode, 0u);
  ExpectRemoved(run);
}

TEST_F(DemoRoundTrip, SecondUninstallerIsRefusedWhileTheFirstAsks) {
  DebugCapture capture(DebugCapture::Scope::kWithChildProcesses);
  ProcessResult second;
  const UninstallRun first = RunUninstaller(
      MachineString(kUninstallKey, L"UninstallString"), kCaption, [&](const std::wstring&) {
        // The first holds the product's uninstaller object while its question is open.
        second = RunProcess(L"\"" + Uninstaller() + L"\" /UninstallSilent true", 60000);
        return IDNO;
      });
  ASSERT_TRUE(second.finished);
  EXPECT_EQ(second.exitCode, 2u);
  capture.Settle(second.pid);
  EXPECT_TRUE(
      capture.Contains("vd The uninstaller of QLM Demo is already running.\r\n", second.pid));
  EXPECT_EQ(first.exitCode, 1u);
  ExpectNothingRemoved();
}

// With the temporary folder on another volume the original cannot leave the product folder:
// it ends as soon as the copy has loaded the chunks, and the copy removes everything after it.
TEST_F(DemoRoundTrip, TemporaryFolderOnAnotherVolumeStillRemovesEverything) {
  // Under Wine, Z:\dev\shm is a memory file system: a rename from the prefix cannot reach it.
  const std::wstring otherVolume =
      L"Z:\\dev\\shm\\qlmuninst_" + std::to_wstring(GetCurrentProcessId());
  CreateDirectoryW(otherVolume.c_str(), nullptr);
  // However the case ends, the folder goes and TMP and TEMP name the case's folder again (the
  // clean-up's uninstaller runs with them).
  auto restore = MakeScopeGuard([&] {
    for (const wchar_t* name : {L"TMP", L"TEMP"}) {
      SetEnvironmentVariableW(name, temp_.Path().c_str());
    }
    RemoveTree(otherVolume);
  });
  const std::wstring probe = Folder() + L"\\ReadMe.txt";
  if (MoveFileExW(probe.c_str(), (otherVolume + L"\\probe").c_str(), 0)) {
    MoveFileExW((otherVolume + L"\\probe").c_str(), probe.c_str(), 0);
    GTEST_SKIP() << "no second volume here";
  }
  SetEnvironmentVariableW(L"TMP", otherVolume.c_str());
  SetEnvironmentVariableW(L"TEMP", otherVolume.c_str());
  DebugCapture capture(DebugCapture::Scope::kWithChildProcesses);
  const UninstallRun run = RunUninstaller(MachineString(kUninstallKey, L"QuietUninstallString"),
                                          kCaption, [](const std::wstring&) { return IDOK; });
  EXPECT_EQ(run.exitCode, 0u);
  // The original may end before its copy is seen: the copy's private folder on the other
  // volume shows where it ran, and it must hold nothing that is not going at the restart.
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW((otherVolume + L"\\QLMUninstall-*").c_str(), &found);
  ASSERT_NE(search, INVALID_HANDLE_VALUE);
  FindClose(search);
  const std::wstring copyFolder = otherVolume + L"\\" + found.cFileName;
  for (int i = 0; i < 100 && !RemoveDirectoryW(copyFolder.c_str()) &&
                  !RegisteredForDeletionAtRestart(copyFolder);
       ++i) {
    Sleep(100);
  }
  EXPECT_TRUE(!FileExists(copyFolder) || RegisteredForDeletionAtRestart(copyFolder))
      << copyFolder;
  capture.Settle();
  EXPECT_TRUE(capture.Contains("vd the original stays in the product folder (error 17)\r\n"));
  ExpectProductRemoved();
}

struct RefusalCase {
  const char* name;
  const wchar_t* file;
  const char* content;  // nullptr: the file is deleted
  const char* product;  // as the refusal names it
};

class DemoRefusal : public DemoRoundTrip, public ::testing::WithParamInterface<RefusalCase> {};

TEST_P(DemoRefusal, DamagedChunkIsRefusedWithNothingRemoved) {
  const RefusalCase& c = GetParam();
  const std::wstring chunk = Folder() + L"\\" + c.file;
  const std::string original = ReadFileBytes(chunk);
  if (c.content) {
    ASSERT_TRUE(WriteFileBytes(chunk, c.content));
  } else {
    ASSERT_TRUE(DeleteFileW(chunk.c_str()));
  }
  DebugCapture capture(DebugCapture::Scope::kWithChildProcesses);
  const UninstallRun run = RunUninstaller(MachineString(kUninstallKey, L"QuietUninstallString"),
                                          kCaption, [](const std::wstring&) { return IDOK; });
  EXPECT_EQ(run.exitCode, 2u);
  EXPECT_FALSE(run.copySeen);
  EXPECT_TRUE(run.boxTexts.empty());
  capture.Settle();
  const std::string line = "vd " + std::string(c.product) +
                           " cannot be removed: its uninstall information " +
                           std::string(c.file, c.file + wcslen(c.file)) +
                           " is missing or damaged. Nothing was changed.\r\n";
  EXPECT_TRUE(capture.Contains(line)) << line;
  EXPECT_TRUE(FileExists(Uninstaller()));
  EXPECT_TRUE(MachineKeyExists(kProductKey));
  EXPECT_TRUE(FileExists(Folder() + L"\\DemoApp.exe"));
  WriteFileBytes(chunk, original);  // for the clean-up
}

INSTANTIATE_TEST_SUITE_P(
    Chunks, DemoRefusal,
    ::testing::Values(
        RefusalCase{"MissingUninstallChunk", L"UninstScript.luac", nullptr, "QLM Demo"},
        RefusalCase{"TruncatedUninstallChunk", L"UninstScript.luac", "\x1bLua\x52", "QLM Demo"},
        RefusalCase{"DamagedConfigChunk", L"Global_var.luac", "global_ = = 1", "the product"}),
    [](const ::testing::TestParamInfo<RefusalCase>& info) { return info.param.name; });

TEST_F(DemoRoundTrip, ScriptErrorEndsWithItsCodeAndPutsTheUninstallerBack) {
  const std::wstring chunk = Folder() + L"\\UninstScript.luac";
  const std::string original = ReadFileBytes(chunk);
  ASSERT_TRUE(WriteFileBytes(chunk, "function QLMSE_OnInstall() error('cannot remove') end\n"));
  const UninstallRun run = RunUninstaller(MachineString(kUninstallKey, L"QuietUninstallString"),
                                          kCaption, [](const std::wstring&) { return IDOK; });
  EXPECT_EQ(run.exitCode, 3u);
  EXPECT_EQ(run.copyExitCode, 3u);
  EXPECT_TRUE(run.boxTexts.empty()) << "silent: the script error goes to the debugger output";
  EXPECT_TRUE(FileExists(Uninstaller())) << "the product can be uninstalled again";
  ExpectTemporaryFilesGone(run);
  WriteFileBytes(chunk, original);  // for the clean-up
}

}  // namespace
