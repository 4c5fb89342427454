// Runs real installers under Wine: the start-up decisions, the silent road with its hooks, the
// single-instance rule, the listener notification, the tool processes and the completion
// marker. The test installer takes its configuration from environment variables and records
// each hook it runs.
#include <gtest/gtest.h>
#include <shlobj.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "appinstance.h"
#include "debugcapture.h"
#include "rykbaselog.h"
#include "scopeguard.h"
#include "stringconv.h"
#include "testprocesses.h"
#include "testsupport.h"

namespace {

struct InstallerSettings {
  bool enableSilent = false;        // global_enable_ss_install
  bool silentGlobal = false;        // global_ss_install
  bool beforeInitTurnsSilent = false;
  std::wstring mutexName;           // global_install_mutex_guid
  int appId = 0;                    // global_app_id
  std::wstring installPath = L"C:\\qlm test\\%TEMP%\\ ";  // global_install_path
};

struct InstallerRun {
  ProcessResult process;
  std::vector<std::string> hooks;       // the record file, one line per hook
  std::vector<std::string> debugLines;  // the installer's debug-output lines
  bool HasDebugLine(const std::string& line) const {
    return std::find(debugLines.begin(), debugLines.end(), line) != debugLines.end();
  }
};

std::wstring TestInstaller() { return BinFolder() + L"qlm_test_installer.exe"; }

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream stream(text);
  for (std::string line; std::getline(stream, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

const wchar_t* Flag(bool value) { return value ? L"true" : L"false"; }

// The listener outlives the cases so that each case sees only its own notifications.
ListenerProcess& Listener() {
  static ListenerProcess listener;
  return listener;
}

std::wstring WindowNumber(HWND window) {
  return std::to_wstring(reinterpret_cast<ULONG_PTR>(window));
}

InstallerRun RunInstaller(const std::wstring& exe, const std::wstring& arguments,
                          const InstallerSettings& settings) {
  TempFolder folder(L"qlmrun");
  const std::wstring record = folder / L"record.txt";
  SetEnvironmentVariableW(L"QLM_TEST_RECORD", record.c_str());
  SetEnvironmentVariableW(L"QLM_TEST_ENABLE_SS", Flag(settings.enableSilent));
  SetEnvironmentVariableW(L"QLM_TEST_SS", Flag(settings.silentGlobal));
  SetEnvironmentVariableW(L"QLM_TEST_BEFOREINIT_SS", Flag(settings.beforeInitTurnsSilent));
  SetEnvironmentVariableW(L"QLM_TEST_MUTEX_NAME", settings.mutexName.c_str());
  SetEnvironmentVariableW(L"QLM_TEST_APP_ID", std::to_wstring(settings.appId).c_str());
  SetEnvironmentVariableW(L"QLM_TEST_INSTALL_PATH", settings.installPath.c_str());

  InstallerRun run;
  DebugCapture capture(DebugCapture::Scope::kWithChildProcesses);
  run.process = RunProcess(L"\"" + exe + L"\" " + arguments, 120000);
  capture.Settle(run.process.pid);
  run.debugLines = capture.Lines(run.process.pid);
  run.hooks = SplitLines(ReadFileBytes(record));
  return run;
}

std::vector<std::string> SilentHooks(const InstallerSettings& settings) {
  const std::string path = WideToUtf8(settings.installPath);
  const std::string initial = settings.silentGlobal ? "true" : "false";
  return {"BeforeInit ss=" + initial + " InstallPath=nil",
          "BeforeInstall ss=true InstallPath=" + path,
          "OnInstall ss=true InstallPath=" + path,
          "BeforeComplete ss=true InstallPath=" + path,
          "AfterComplete ss=true InstallPath=" + path};
}

std::vector<std::string> WindowRoadHooks(const InstallerSettings& settings) {
  return {std::string("BeforeInit ss=") + (settings.silentGlobal ? "true" : "false") +
          " InstallPath=nil"};
}

void ExpectSilentRun(const InstallerRun& run, const InstallerSettings& settings) {
  ASSERT_TRUE(run.process.finished);
  EXPECT_EQ(run.process.exitCode, 0u);
  EXPECT_EQ(run.hooks, SilentHooks(settings));
  EXPECT_TRUE(run.HasDebugLine("vd global_ss_install==true ~!\r\n"));
  EXPECT_TRUE(run.HasDebugLine("vd start ss install!"));
}

// Holds a single-instance object the way a running installer does.
UniqueHandle HoldInstance(const std::wstring& objectName) {
  return UniqueHandle(CreateMutexW(nullptr, FALSE, objectName.c_str()));
}

std::wstring DefaultObjectName(int applicationNumber) {
  std::wstring name = kDefaultInstanceName;
  if (applicationNumber != 0) name += std::to_wstring(applicationNumber);
  return name;
}

}  // namespace

// ---------------------------------------------------------------------------------------
// The mode decision, every row of it, observed through the hooks that ran.

struct ModeCase {
  const char* name;
  const wchar_t* arguments;
  bool enableSilent;
  bool silentGlobal;
  bool beforeInitTurnsSilent;
  bool silent;
};

class ModeDecision : public testing::TestWithParam<ModeCase> {};

TEST_P(ModeDecision, TakesTheRoadOfTheTable) {
  const ModeCase& c = GetParam();
  InstallerSettings settings;
  settings.enableSilent = c.enableSilent;
  settings.silentGlobal = c.silentGlobal;
  settings.beforeInitTurnsSilent = c.beforeInitTurnsSilent;
  const int notifiedBefore = Listener().Count();
  ASSERT_GE(notifiedBefore, 0);
  const InstallerRun run = RunInstaller(
      TestInstaller(),
      std::wstring(c.arguments) + L" /InstallListenWnd " + WindowNumber(Listener().Window()),
      settings);
  EXPECT_EQ(Listener().Count() - notifiedBefore, c.silent ? 1 : 0);
  if (c.silent) {
    ExpectSilentRun(run, settings);
  } else {
    ASSERT_TRUE(run.process.finished);
    EXPECT_EQ(run.process.exitCode, 0u);
    EXPECT_EQ(run.hooks, WindowRoadHooks(settings));
    EXPECT_FALSE(run.HasDebugLine("vd start ss install!"));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ModeDecision,
    testing::Values(
        ModeCase{"SwitchTrueOverridesConfig", L"/InstallSlience true", false, false, false, true},
        ModeCase{"ConfigAllowsAndAsks", L"", true, true, false, true},
        ModeCase{"ConfigAllowsButDoesNotAsk", L"", true, false, false, false},
        ModeCase{"ConfigAsksButDoesNotAllow", L"", false, true, false, false},
        ModeCase{"SwitchUpperCaseDoesNotHold", L"/InstallSlience TRUE", false, false, false, false},
        ModeCase{"SwitchOneDoesNotHold", L"/InstallSlience 1", false, false, false, false},
        ModeCase{"SwitchUpperCaseLeavesItToConfig", L"/InstallSlience TRUE", true, true, false,
                 true},
        ModeCase{"BeforeInitTurnsSilentOn", L"", true, false, true, true},
        ModeCase{"BeforeInitCannotWithoutPermission", L"", false, false, true, false}),
    [](const testing::TestParamInfo<ModeCase>& info) { return info.param.name; });

// ---------------------------------------------------------------------------------------
// The single-instance rule against an object held the way a running installer holds it.

struct InstanceCase {
  const char* name;
  std::wstring heldObject;
  std::wstring mutexName;  // global_install_mutex_guid
  int appId;               // global_app_id
  const wchar_t* arguments;
  bool excluded;
  bool silent;  // when not excluded: the silent road (otherwise the window road)
};

class SingleInstance : public testing::TestWithParam<InstanceCase> {};

TEST_P(SingleInstance, ExcludesOnlyTheSameObject) {
  const InstanceCase& c = GetParam();
  UniqueHandle held = HoldInstance(c.heldObject);
  ASSERT_TRUE(held);
  InstallerSettings settings;
  settings.mutexName = c.mutexName;
  settings.appId = c.appId;
  settings.enableSilent = true;
  settings.silentGlobal = c.silent;
  const int notifiedBefore = Listener().Count();
  const InstallerRun run = RunInstaller(
      TestInstaller(),
      std::wstring(c.arguments) + L" /InstallListenWnd " + WindowNumber(Listener().Window()),
      settings);
  ASSERT_TRUE(run.process.finished);
  EXPECT_EQ(run.process.exitCode, 0u);
  const std::wstring objectName =
      c.mutexName.empty() ? DefaultObjectName(c.appId) : c.mutexName;
  EXPECT_TRUE(run.HasDebugLine("vd  szObjectName = " + WideToUtf8(objectName) + " "));
  EXPECT_EQ(run.HasDebugLine("vd CreateAppInstance return true"), c.excluded);
  if (c.excluded) {
    EXPECT_TRUE(run.hooks.empty());
  } else if (c.silent) {
    EXPECT_EQ(run.hooks, SilentHooks(settings));
  } else {
    EXPECT_EQ(run.hooks, WindowRoadHooks(settings));
  }
  EXPECT_EQ(Listener().Count() - notifiedBefore, !c.excluded && c.silent ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SingleInstance,
    testing::Values(
        InstanceCase{"SameDefaultNameAndNumber", DefaultObjectName(130), L"", 130, L"", true,
                     true},
        InstanceCase{"DefaultNameWithNumberZero", DefaultObjectName(0), L"", 0, L"", true, true},
        InstanceCase{"SilentSwitchInstallsAnyway", DefaultObjectName(131), L"", 131,
                     L"/InstallSlience true", false, true},
        InstanceCase{"AnySwitchValuePassesThenConfigDecides", DefaultObjectName(132), L"", 132,
                     L"/InstallSlience false", false, false},
        InstanceCase{"DifferentNumbersDoNotExclude", DefaultObjectName(133), L"", 134, L"", false,
                     true},
        InstanceCase{"ConfiguredNameIgnoresTheNumber", L"Global\\QlmTestInstaller",
                     L"Global\\QlmTestInstaller", 7, L"", true, true}),
    [](const testing::TestParamInfo<InstanceCase>& info) { return info.param.name; });

TEST(CreateAppInstance, FirstCallerKeepsTheObjectAndLaterOnesGetAHandle) {
  const std::wstring name = L"Global\\QlmTestInProcess";
  EXPECT_EQ(CreateAppInstance(name.c_str(), 5), nullptr);
  UniqueHandle second(CreateAppInstance(name.c_str(), 5));
  EXPECT_TRUE(second);
  // The object name carries the number: another number is another object.
  EXPECT_EQ(CreateAppInstance(name.c_str(), 6), nullptr);
  UniqueHandle plain(OpenMutexW(SYNCHRONIZE, FALSE, (name + L"5").c_str()));
  EXPECT_TRUE(plain);
}

// ---------------------------------------------------------------------------------------
// The listen window: only a handle read from leading digits is notified.

struct ListenCase {
  const char* name;
  bool withHandle;       // the listener's handle begins the value
  const wchar_t* value;  // text after the handle, or the whole value
  int notified;
};

class ListenWindow : public testing::TestWithParam<ListenCase> {};

TEST_P(ListenWindow, ReceivesOneNotificationAtTheEnd) {
  const ListenCase& c = GetParam();
  const std::wstring value =
      (c.withHandle ? WindowNumber(Listener().Window()) : std::wstring()) + c.value;
  const int before = Listener().Count();
  ASSERT_GE(before, 0);
  const InstallerRun run =
      RunInstaller(TestInstaller(), L"/InstallSlience true /InstallListenWnd " + value, {});
  ExpectSilentRun(run, {});
  EXPECT_EQ(Listener().Count() - before, c.notified);
}

INSTANTIATE_TEST_SUITE_P(
    Values, ListenWindow,
    testing::Values(ListenCase{"Handle", true, L"", 1},
                    ListenCase{"HandleFollowedByText", true, L"xyz", 1},
                    ListenCase{"Zero", false, L"0", 0},
                    ListenCase{"NoDigits", false, L"abc", 0}),
    [](const testing::TestParamInfo<ListenCase>& info) { return info.param.name; });

// ---------------------------------------------------------------------------------------
// A whole silent run: tool processes ended before QLMSE_OnInstall, every hook on one thread.

namespace {

// The thread column of the log records that contain `needle`, in file order.
std::vector<std::string> LogThreadsOf(const std::string& log, const std::string& needle) {
  std::vector<std::string> threads;
  for (const std::string& line : SplitLines(log)) {
    if (line.find(needle) == std::string::npos) continue;
    // "[date time] [info] [thread] text"
    const size_t open = line.find("] [", line.find("] [") + 1);
    const size_t close = line.find(']', open + 3);
    if (open == std::string::npos || close == std::string::npos) continue;
    threads.push_back(line.substr(open + 3, close - open - 3));
  }
  return threads;
}

std::wstring TodayLogPath() {
  wchar_t temp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  return std::wstring(temp) + AnsiToWide(CRykBaseLog::TodayFileName("RykInstall").c_str());
}

}  // namespace

TEST(SilentInstall, EndsToolProcessesFirstAndRunsEveryHookOnTheMainThread) {
  TempFolder install(L"qlmtools");
  const std::wstring tools = install / L"Tools";
  ASSERT_TRUE(CreateDirectoryW(tools.c_str(), nullptr));
  ASSERT_TRUE(CreateDirectoryW((tools + L"\\sub").c_str(), nullptr));
  const std::wstring program = BinFolder() + L"qlm_test_windowprogram.exe";
  for (const wchar_t* copy : {L"\\sub\\run.exe", L"\\sub\\keep.EXE", L"\\top.exe"}) {
    ASSERT_TRUE(CopyFileW(program.c_str(), (tools + copy).c_str(), FALSE));
  }
  ChildProcess run1(L"\"" + tools + L"\\sub\\run.exe\"");
  ChildProcess run2(L"\"" + tools + L"\\sub\\run.exe\"");
  ChildProcess keep(L"\"" + tools + L"\\sub\\keep.EXE\"");
  ChildProcess top(L"\"" + tools + L"\\top.exe\"");
  for (const ChildProcess* child : {&run1, &run2, &keep, &top}) {
    ASSERT_TRUE(child->WaitForWindow(L"QlmTestWindow"));
  }

  const std::string token = std::to_string(GetTickCount());
  SetEnvironmentVariableW(L"QLM_TEST_TOKEN", Utf8ToWide(token.c_str()).c_str());
  InstallerSettings settings;
  settings.installPath = install.Path();
  // Only the records that this run appends to today's log count.
  const size_t logStart = ReadFileBytes(TodayLogPath()).size();
  const InstallerRun run = RunInstaller(TestInstaller(), L"/InstallSlience true", settings);
  ExpectSilentRun(run, settings);

  for (const ChildProcess* child : {&run1, &run2}) {
    DWORD exitCode = 0;
    EXPECT_TRUE(child->WaitExit(60000, exitCode));
    EXPECT_EQ(exitCode, 10000u);
  }
  DWORD ignored = 0;
  EXPECT_FALSE(keep.WaitExit(0, ignored)) << "run.EXE-style extensions are not tool programs";
  EXPECT_FALSE(top.WaitExit(0, ignored)) << "programs directly in Tools are not tool programs";

  // The log's thread column: every hook and the tool-process search ran on one thread.
  const std::string log = ReadFileBytes(TodayLogPath()).substr(logStart);
  const std::vector<std::string> hooks = LogThreadsOf(log, "hook " + token + " ");
  const std::vector<std::string> search =
      LogThreadsOf(log, "strAppPath:" + WideToUtf8(tools) + "\\");
  ASSERT_EQ(hooks.size(), 5u);
  ASSERT_EQ(search.size(), 1u);
  for (const std::string& thread : hooks) EXPECT_EQ(thread, search[0]);
}

// ---------------------------------------------------------------------------------------
// The completion marker for the companion application.

struct MarkerCase {
  const char* name;
  const wchar_t* fileName;
  bool written;
};

class CompletionMarker : public testing::TestWithParam<MarkerCase> {};

TEST_P(CompletionMarker, IsWrittenOnlyForTheLowerCaseTag) {
  const MarkerCase& c = GetParam();
  wchar_t localAppData[MAX_PATH] = {};
  ASSERT_HRESULT_SUCCEEDED(
      SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, localAppData));
  const std::wstring markerFolder = std::wstring(localAppData) + L"\\RykDesktop";
  const std::wstring marker = markerFolder + L"\\Config.ini";
  RemoveTree(markerFolder);

  TempFolder folder(L"qlmmarker");
  const std::wstring installer = folder / c.fileName;
  ASSERT_TRUE(CopyFileW(TestInstaller().c_str(), installer.c_str(), FALSE));
  const InstallerRun run = RunInstaller(installer, L"/InstallSlience true", {});
  ExpectSilentRun(run, {});

  EXPECT_EQ(FileExists(marker), c.written);
  if (c.written) {
    wchar_t value[16] = {};
    GetPrivateProfileStringW(L"RykDesktop", L"GuideNewbieIndex", L"", value, 16, marker.c_str());
    EXPECT_STREQ(value, L"5");
  }
  RemoveTree(markerFolder);
}

INSTANTIATE_TEST_SUITE_P(Names, CompletionMarker,
                         testing::Values(MarkerCase{"LowerCaseTag", L"setup@ung.exe", true},
                                         MarkerCase{"UpperCaseTag", L"setup@UNG.exe", false}),
                         [](const testing::TestParamInfo<MarkerCase>& info) {
                           return info.param.name;
                         });

// ---------------------------------------------------------------------------------------
// Start-up failures end the run with their debug line before any hook.

struct StartFailureCase {
  const char* name;
  bool debugMode;
  const char* configScript;   // written as Global_var.lua when not null
  const char* installScript;  // written as InstScript.lua when not null
  // Every debug line of the run; an entry ending in '*' matches any line with that beginning.
  std::vector<std::string> lines;
};

bool LineMatches(const std::string& line, const std::string& pattern) {
  if (!pattern.empty() && pattern.back() == '*') {
    return line.compare(0, pattern.size() - 1, pattern, 0, pattern.size() - 1) == 0;
  }
  return line == pattern;
}

class StartFailure : public testing::TestWithParam<StartFailureCase> {};

TEST_P(StartFailure, EndsWithItsDebugLineAndExitCodeZero) {
  const StartFailureCase& c = GetParam();
  TempFolder root(L"qlmstart");
  ASSERT_TRUE(CreateDirectoryW((root / L"bin").c_str(), nullptr));
  const std::wstring installer = root / L"bin\\setup.exe";
  ASSERT_TRUE(CopyFileW((BinFolder() + L"QLMInstaller.exe").c_str(), installer.c_str(), FALSE));
  const std::wstring scripts = root / L"resource\\lua";
  SHCreateDirectoryExW(nullptr, scripts.c_str(), nullptr);
  if (c.configScript) WriteFileBytes(scripts + L"\\Global_var.lua", c.configScript);
  if (c.installScript) WriteFileBytes(scripts + L"\\InstScript.lua", c.installScript);

  const InstallerRun run = RunInstaller(installer, c.debugMode ? L"/debug" : L"", {});
  ASSERT_TRUE(run.process.finished);
  EXPECT_EQ(run.process.exitCode, 0u);
  ASSERT_EQ(run.debugLines.size(), c.lines.size()) << testing::PrintToString(run.debugLines);
  for (size_t i = 0; i < c.lines.size(); ++i) {
    EXPECT_TRUE(LineMatches(run.debugLines[i], c.lines[i]))
        << run.debugLines[i] << " vs " << c.lines[i];
  }
  EXPECT_TRUE(run.hooks.empty());
}

namespace {
// A configuration script whose QLMSE_BeforeInit would leave a trace if it ran.
const char kTracingConfig[] =
    "function QLMSE_BeforeInit()\n"
    "  local f = assert(io.open(os.getenv('QLM_TEST_RECORD'), 'a')) f:write('BeforeInit\\n') f:close()\n"
    "end\n";
}  // namespace

INSTANTIATE_TEST_SUITE_P(
    Cases, StartFailure,
    testing::Values(
        StartFailureCase{"MissingConfigResource", false, nullptr, nullptr,
                         {"vd LoadResource failed. Type : LUA ID : GLOBAL_VAR.LUAC\r\n",
                          "vd file:qlmscriptengine\r\n", "vd line:*", "vd err:*",
                          "vd DoResLua failed, GLOBAL_VAR.LUAC"}},
        StartFailureCase{"MissingConfigFile", true, nullptr, nullptr,
                         {"vd cannot open *", "vd luaL_loadbuffer failed!\r\n",
                          "vd DoLua failed, GLOBAL_VAR.LUA"}},
        StartFailureCase{"MissingInstallFile", true, kTracingConfig, nullptr,
                         {"vd cannot open *", "vd luaL_loadbuffer failed!\r\n",
                          "vd DoResLua failed, INSTSCRIPT.LUA"}},
        StartFailureCase{"BrokenInstallFile", true, kTracingConfig, "function (",
                         {"vd *", "vd luaL_loadbuffer failed!\r\n",
                          "vd DoResLua failed, INSTSCRIPT.LUA"}}),
    [](const testing::TestParamInfo<StartFailureCase>& info) { return info.param.name; });

TEST(DebugMode, RunsTheScriptFilesBesideTheExecutable) {
  TempFolder root(L"qlmdebug");
  ASSERT_TRUE(CreateDirectoryW((root / L"bin").c_str(), nullptr));
  const std::wstring installer = root / L"bin\\setup.exe";
  ASSERT_TRUE(CopyFileW((BinFolder() + L"QLMInstaller.exe").c_str(), installer.c_str(), FALSE));
  const std::wstring scripts = root / L"resource\\lua";
  SHCreateDirectoryExW(nullptr, scripts.c_str(), nullptr);
  WriteFileBytes(scripts + L"\\Global_var.lua",
                 "global_enable_ss_install = true global_ss_install = true\n"
                 "global_install_path = 'D:\\\\Product'\n");
  WriteFileBytes(scripts + L"\\InstScript.lua",
                 "local function note(name)\n"
                 "  local f = assert(io.open(os.getenv('QLM_TEST_RECORD'), 'a'))\n"
                 "  f:write(name, ' ', tostring(InstallPath), '\\n') f:close()\n"
                 "end\n"
                 "function QLMSE_BeforeInit() note('BeforeInit') end\n"
                 "function QLMSE_AfterComplete() note('AfterComplete') end\n");
  const InstallerRun run = RunInstaller(installer, L"/debug 0", {});
  ASSERT_TRUE(run.process.finished);
  EXPECT_EQ(run.process.exitCode, 0u);
  EXPECT_EQ(run.hooks, (std::vector<std::string>{"BeforeInit nil", "AfterComplete D:\\Product"}));
}
