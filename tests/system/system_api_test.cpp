#include <gtest/gtest.h>
#include <windows.h>
#include <shlobj.h>

#include <regex>
#include <string>
#include <vector>

#include "debugcapture.h"
#include "qlmscriptengine.h"
#include "rykbaselog.h"
#include "stringconv.h"
#include "testsupport.h"

namespace {

QLMScriptEngine& Engine() { return QLMScriptEngine::Instance(); }

void RunScript(const std::wstring& chunk) {
  const std::string utf8 = WideToUtf8(chunk);
  ASSERT_TRUE(Engine().DoBuffer(utf8.data(), utf8.size(), "test")) << utf8;
}

std::wstring SpecialFolder(int csidl) {
  wchar_t path[MAX_PATH] = {};
  SHGetSpecialFolderPathW(nullptr, path, csidl, FALSE);
  return path;
}

std::wstring OwnPath() {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  return path;
}

}  // namespace

TEST(SystemQueries, IsWow64InThe64BitPrefixAndMajorVersion) {
  RunScript(L"wow = Lua_IsWow64(); major = Lua_GetOSVersion()");
  EXPECT_TRUE(Engine().GetGlobalBoolean("wow"));
  EXPECT_EQ(Engine().GetGlobalString("wow"), L"") << "a boolean result";
  EXPECT_EQ(Engine().GetGlobalInteger("major"), static_cast<int>(GetVersion() & 0xFF));
  EXPECT_GE(Engine().GetGlobalInteger("major"), 6);
}

TEST(SystemQueries, RegVarByCsidlFeedsExpandEnv) {
  const struct {
    const wchar_t* name;
    int csidl;
  } folders[] = {{L"DESKTOP", CSIDL_DESKTOPDIRECTORY},
                 {L"COMMPROGRAMS", CSIDL_COMMON_PROGRAMS},
                 {L"APPDATA_R", CSIDL_APPDATA},
                 {L"PROGRAMDATA_C", CSIDL_COMMON_APPDATA}};
  for (const auto& f : folders) {
    const std::string where = WideToUtf8(f.name);
    RunScript(std::wstring(L"ok = Lua_RegVarByCSIDL('") + f.name + L"', " +
              std::to_wstring(f.csidl) + L"); text = Lua_ExpandEnv('%" + f.name +
              L"%\\\\Product')");
    EXPECT_TRUE(Engine().GetGlobalBoolean("ok")) << where;
    ASSERT_FALSE(SpecialFolder(f.csidl).empty()) << where;
    EXPECT_EQ(Engine().GetGlobalString("text"), SpecialFolder(f.csidl) + L"\\Product") << where;
  }
}

TEST(SystemQueries, RegVarByCsidlWithUnknownFolderReportsAndKeepsEnvironment) {
  SetEnvironmentVariableW(L"QLM_UNSET_BY_TEST", L"before");
  DebugCapture capture;
  RunScript(L"ok = Lua_RegVarByCSIDL('QLM_UNSET_BY_TEST', 9999)");
  EXPECT_FALSE(Engine().GetGlobalBoolean("ok"));
  std::vector<std::string> lines = capture.Lines(GetCurrentProcessId());
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0], "vd SHGetSpecialFolderPathW csidl=9999 failed!\r\n");
  EXPECT_EQ(lines[1], "vd file:qlmscriptengine\r\n");
  wchar_t value[64] = {};
  GetEnvironmentVariableW(L"QLM_UNSET_BY_TEST", value, 64);
  EXPECT_STREQ(value, L"before");
}

TEST(SystemQueries, ExpandEnvUsesTheLastArgument) {
  SetEnvironmentVariableW(L"QLM_PRODUCT", L"Acme");
  const std::wstring longText(300, L'x');
  const struct {
    std::wstring call;
    std::wstring expected;
  } cases[] = {
      {L"Lua_ExpandEnv('C:\\\\plain text')", L"C:\\plain text"},
      {L"Lua_ExpandEnv('')", L""},
      {L"Lua_ExpandEnv('%QLM_PRODUCT%\\\\bin')", L"Acme\\bin"},
      {L"Lua_ExpandEnv('ignored', '<%QLM_PRODUCT%>')", L"<Acme>"},
      {L"Lua_ExpandEnv('%QLM_NOT_DEFINED%')", L"%QLM_NOT_DEFINED%"},
      {L"Lua_ExpandEnv()", L""},
      // Longer than the 260-unit buffer: nothing rather than a cut path.
      {L"Lua_ExpandEnv('" + longText + L"')", L""},
  };
  for (const auto& c : cases) {
    const std::string where = WideToUtf8(c.call);
    RunScript(L"text = " + c.call);
    EXPECT_EQ(Engine().GetGlobalString("text"), c.expected) << where;
  }
}

TEST(SystemQueries, GetModuleFileName) {
  RunScript(
      L"own = Lua_GetModuleFileName(); other = Lua_GetModuleFileName('qlm_not_loaded.dll');"
      L"kernel = Lua_GetModuleFileName('kernel32')");
  EXPECT_EQ(Engine().GetGlobalString("own"), OwnPath());
  EXPECT_EQ(Engine().GetGlobalString("other"), OwnPath());
  const std::wstring kernel = Engine().GetGlobalString("kernel");
  ASSERT_GT(kernel.size(), 12u);
  EXPECT_EQ(_wcsicmp(kernel.c_str() + kernel.size() - 12, L"kernel32.dll"), 0) << kernel;
}

TEST(SystemQueries, GetCommandLineArgvStripsQuotes) {
  TempFolder temp(L"qlmargv");
  const std::wstring out = temp / L"argv.txt";
  const std::wstring probe = BinFolder() + L"system_argv_probe.exe";
  ProcessResult result =
      RunProcess(L"\"" + probe + L"\" \"" + out + L"\" \"with blank\" plain \"\"");
  ASSERT_TRUE(result.finished);
  ASSERT_EQ(result.exitCode, 0u);
  EXPECT_EQ(ReadFileBytes(out),
            WideToUtf8(probe) + "\n" + WideToUtf8(out) + "\nwith blank\nplain\n\n");
}

TEST(SystemQueries, GetDriverInstallPathProposesProgramFiles) {
  wchar_t base[MAX_PATH] = {};
  ExpandEnvironmentStringsW(L"%ProgramFiles%\\", base, MAX_PATH);
  // Other fixed drives of this prefix hold no program-files folder of that name.
  RunScript(L"path = Lua_GetDriverInstallPath()");
  const std::wstring path = Engine().GetGlobalString("path");
  EXPECT_EQ(path, base);
  EXPECT_NE(path.find(L"(x86)"), std::wstring::npos) << "the 32-bit folder under WOW64";
  EXPECT_EQ(path.back(), L'\\');
}

TEST(SystemPrivileges, EnablePrivilegeReadsTheLastTwoArguments) {
  const struct {
    const wchar_t* arguments;
    bool result;
    bool lookupFails;
  } cases[] = {
      {L"'SeShutdownPrivilege', true", true, false},
      {L"'SeShutdownPrivilege', false", true, false},
      {L"'ignored', 'SeShutdownPrivilege', 1", true, false},
      {L"'QlmNoSuchPrivilege', true", false, true},
      {L"'SeShutdownPrivilege'", false, true},
  };
  for (const auto& c : cases) {
    const std::string where = WideToUtf8(c.arguments);
    DebugCapture capture;
    RunScript(std::wstring(L"ok = Lua_EnablePrivilege(") + c.arguments + L")");
    EXPECT_EQ(Engine().GetGlobalBoolean("ok"), c.result) << where;
    std::vector<std::string> lines = capture.Lines(GetCurrentProcessId());
    if (c.lookupFails) {
      ASSERT_EQ(lines.size(), 3u) << where;
      EXPECT_EQ(lines[0].rfind("vd LookupPrivilegeValue failed!vd file:", 0), 0u)
          << lines[0] << where;
    } else {
      EXPECT_TRUE(lines.empty()) << where;
    }
  }
}

TEST(SystemLog, LogoutWritesDebugLineAndLogRecord) {
  TempFolder temp(L"qlmlogout");
  CRykBaseLog::Instance().InitLogger(WideToAnsi(temp / L"RykInstall.log"));
  ASSERT_TRUE(CRykBaseLog::Instance().Logger());
  DebugCapture capture;
  RunScript(L"Lua_Logout('step {} done 100%')");
  EXPECT_TRUE(capture.Contains("vd step {} done 100%", GetCurrentProcessId()));

  const std::string daily =
      ReadFileBytes(temp / AnsiToWide(CRykBaseLog::TodayFileName("RykInstall").c_str()));
  const std::regex record(R"(\[\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3}\] \[info\] \[\d+\] )"
                          R"(\[lua_system Lua_Logout: \d+\] log:step \{\} done 100%\r?\n)");
  EXPECT_TRUE(std::regex_match(daily, record)) << daily;
}
