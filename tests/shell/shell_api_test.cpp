#include <gtest/gtest.h>
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <string>
#include <vector>

#include "debugcapture.h"
#include "qlmscriptengine.h"
#include "scopeguard.h"
#include "stringconv.h"
#include "testsupport.h"

namespace {

void RunScript(const std::wstring& chunk) {
  const std::string utf8 = WideToUtf8(chunk);
  ASSERT_TRUE(QLMScriptEngine::Instance().DoBuffer(utf8.data(), utf8.size(), "test")) << utf8;
}

// The text as a Lua long-bracket string literal.
std::wstring Quote(const std::wstring& text) { return L"[==[" + text + L"]==]"; }

std::wstring Global(const char* name) { return QLMScriptEngine::Instance().GetGlobalString(name); }

std::wstring SleeperPath() { return BinFolder() + L"shell_sleeper.exe"; }

bool WaitForFile(const std::wstring& path, DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  while (!FileExists(path)) {
    if (GetTickCount() - start > timeoutMs) return false;
    Sleep(100);
  }
  return true;
}

struct LinkContent {
  std::wstring path, arguments, description, workingDirectory;
};

// Loads a saved .lnk back through the shell-link object.
bool LoadLink(const std::wstring& linkPath, LinkContent& content) {
  ComInitGuard com(CoInitialize(nullptr), CoUninitialize);
  IShellLinkW* link = nullptr;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                              reinterpret_cast<void**>(&link)))) {
    return false;
  }
  auto releaseLink = MakeScopeGuard([link] { link->Release(); });
  IPersistFile* persist = nullptr;
  if (FAILED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&persist)))) {
    return false;
  }
  auto releasePersist = MakeScopeGuard([persist] { persist->Release(); });
  if (FAILED(persist->Load(linkPath.c_str(), STGM_READ))) return false;
  wchar_t text[1024];
  text[0] = 0;
  link->GetPath(text, 1024, nullptr, SLGP_RAWPATH);
  content.path = text;
  text[0] = 0;
  link->GetArguments(text, 1024);
  content.arguments = text;
  text[0] = 0;
  link->GetDescription(text, 1024);
  content.description = text;
  text[0] = 0;
  link->GetWorkingDirectory(text, 1024);
  content.workingDirectory = text;
  return true;
}

class ShellApiTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetEnvironmentVariableW(L"QLMTEST_DIR", temp_.Path().c_str());
    CreateDirectoryW((temp_ / L"app").c_str(), nullptr);
    ASSERT_TRUE(WriteFileBytes(temp_ / L"app\\prog.exe", "MZ"));
  }
  TempFolder temp_{L"qlmshell"};
};

}  // namespace

struct LinkCase {
  const wchar_t* name;
  const wchar_t* extraArguments;  // appended after target and link path
  const wchar_t* arguments;
  const wchar_t* description;
};

TEST_F(ShellApiTest, ProgramLinkIsSavedWithExpandedTargetAndArgumentRule) {
  const LinkCase cases[] = {
      {L"four", L", '--run now', 'Product tool'", L"--run now", L"Product tool"},
      {L"two", L"", L"", L""},
      {L"three", L", '--ignored'", L"", L""},
      {L"nildescription", L", '-a', nil", L"-a", L""},
      {L"nilarguments", L", nil, 'About'", L"", L"About"},
      {L"fiveargs", L", 7, 'd', 'extra'", L"7", L"d"},
  };
  for (const LinkCase& c : cases) {
    const std::string where = WideToUtf8(c.name);
    const std::wstring link = std::wstring(L"%QLMTEST_DIR%\\links\\") + c.name + L"\\deep\\p.lnk";
    const std::wstring saved = temp_ / (std::wstring(L"links\\") + c.name + L"\\deep\\p.lnk");
    DebugCapture capture;
    RunScript(L"ok = Lua_CreateShortcut('%QLMTEST_DIR%\\\\app\\\\prog.exe', " + Quote(link) +
              c.extraArguments + L")");
    EXPECT_EQ(Global("ok"), L"") << "result must be a boolean" << where;
    EXPECT_TRUE(QLMScriptEngine::Instance().GetGlobalBoolean("ok")) << where;
    LinkContent content;
    ASSERT_TRUE(LoadLink(saved, content)) << where;
    EXPECT_EQ(content.path, temp_ / L"app\\prog.exe") << where;
    EXPECT_EQ(content.workingDirectory, temp_ / L"app") << where;
    EXPECT_EQ(content.arguments, c.arguments) << where;
    EXPECT_EQ(content.description, c.description) << where;
    EXPECT_TRUE(
        capture.Contains("vd Save Shortcut " + WideToAnsi(saved) + " \r\n", GetCurrentProcessId()))
        << where;
  }
}

TEST_F(ShellApiTest, ExistingLinkIsOverwritten) {
  RunScript(
      L"Lua_CreateShortcut('%QLMTEST_DIR%\\\\app\\\\prog.exe', '%QLMTEST_DIR%\\\\p.lnk', 'a', "
      L"'b')");
  ASSERT_TRUE(WriteFileBytes(temp_ / L"other.exe", "MZ"));
  RunScript(L"ok = Lua_CreateShortcut('%QLMTEST_DIR%\\\\other.exe', '%QLMTEST_DIR%\\\\p.lnk')");
  EXPECT_TRUE(QLMScriptEngine::Instance().GetGlobalBoolean("ok"));
  LinkContent content;
  ASSERT_TRUE(LoadLink(temp_ / L"p.lnk", content));
  EXPECT_EQ(content.path, temp_ / L"other.exe");
  EXPECT_EQ(content.arguments, L"");
}

TEST_F(ShellApiTest, UrlTargetGivesInternetShortcutWithUnexpandedUrl) {
  RunScript(
      L"ok = Lua_CreateShortcut('http://example.com/%QLMTEST_DIR%/a', "
      L"'%QLMTEST_DIR%\\\\web\\\\Site.url', 'x', 'y')");
  EXPECT_TRUE(QLMScriptEngine::Instance().GetGlobalBoolean("ok"));
  const std::string content = ReadFileBytes(temp_ / L"web\\Site.url");
  EXPECT_NE(content.find("URL=http://example.com/%QLMTEST_DIR%/a"), std::string::npos) << content;
}

TEST_F(ShellApiTest, FailedSaveIsReportedWithThePlainReport) {
  // The link path is an existing folder, so the save cannot create the file.
  CreateDirectoryW((temp_ / L"taken.lnk").c_str(), nullptr);
  DebugCapture capture;
  RunScript(
      L"ok = Lua_CreateShortcut('%QLMTEST_DIR%\\\\app\\\\prog.exe', "
      L"'%QLMTEST_DIR%\\\\taken.lnk', '', nil)");
  EXPECT_FALSE(QLMScriptEngine::Instance().GetGlobalBoolean("ok"));
  std::vector<std::string> lines = capture.Lines(GetCurrentProcessId());
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0], "vd Save " + WideToAnsi(temp_ / L"taken.lnk") + " failed!\r\n");
  EXPECT_EQ(lines[1], "vd file:qlmscriptengine\r\n");
  EXPECT_EQ(lines[2].rfind("vd line:", 0), 0u);
  EXPECT_EQ(lines[3].rfind("vd err:", 0), 0u);
}

TEST_F(ShellApiTest, ExecWithWaitFlagReturnsAfterTheProgramEnded) {
  SetEnvironmentVariableW(L"QLMTEST_SLEEPER", SleeperPath().c_str());
  const std::wstring marker = temp_ / L"waited.txt";
  const DWORD start = GetTickCount();
  RunScript(L"ok = Lua_Exec('%QLMTEST_SLEEPER%', nil, " + Quote(L"1500 \"" + marker + L"\"") +
            L", true)");
  EXPECT_TRUE(QLMScriptEngine::Instance().GetGlobalBoolean("ok"));
  EXPECT_TRUE(FileExists(marker)) << "returned before the program ended";
  EXPECT_GE(GetTickCount() - start, 1500u);
}

TEST_F(ShellApiTest, ExecWithoutWaitStartsTheProgram) {
  const std::wstring marker = temp_ / L"started.txt";
  RunScript(L"ok = Lua_Exec(" + Quote(SleeperPath()) + L", 'open', " +
            Quote(L"0 \"" + marker + L"\"") + L")");
  EXPECT_TRUE(QLMScriptEngine::Instance().GetGlobalBoolean("ok"));
  EXPECT_TRUE(WaitForFile(marker, 30000));
}

struct MissingCase {
  const wchar_t* verb;
  bool result;
  bool reported;
};

TEST_F(ShellApiTest, ExecOnMissingFileStartsNothing) {
  const MissingCase cases[] = {
      {L"'taskbarunpin'", true, false}, {L"'STARTUNPIN'", true, false},
      {L"'Taskbarpin'", false, true},   {L"nil", false, true},
      {L"'open'", false, true},
  };
  for (const MissingCase& c : cases) {
    const std::string where = WideToUtf8(c.verb);
    DebugCapture capture;
    RunScript(std::wstring(L"ok = Lua_Exec('%QLMTEST_DIR%\\\\missing.lnk', ") + c.verb + L")");
    EXPECT_EQ(QLMScriptEngine::Instance().GetGlobalBoolean("ok"), c.result) << where;
    std::vector<std::string> lines = capture.Lines(GetCurrentProcessId());
    if (c.reported) {
      ASSERT_EQ(lines.size(), 1u) << where;
      EXPECT_EQ(lines[0], "vd Fun:Lua_Exec, Description:" + WideToAnsi(temp_ / L"missing.lnk") +
                              " it's not exists!\r\n")
          << where;
    } else {
      EXPECT_TRUE(lines.empty()) << where;
    }
  }
}

TEST_F(ShellApiTest, UnpinVerbOnExistingShortcutIsTrueWhateverTheShellSays) {
  RunScript(L"Lua_CreateShortcut(" + Quote(SleeperPath()) + L", '%QLMTEST_DIR%\\\\pinned.lnk')");
  ASSERT_TRUE(FileExists(temp_ / L"pinned.lnk"));
  for (const wchar_t* verb : {L"Taskbarunpin", L"startunpin"}) {
    const std::string where = WideToUtf8(verb);
    RunScript(std::wstring(L"ok = Lua_Exec('%QLMTEST_DIR%\\\\pinned.lnk', '") + verb + L"')");
    EXPECT_TRUE(QLMScriptEngine::Instance().GetGlobalBoolean("ok")) << where;
  }
}

TEST_F(ShellApiTest, ShellExecOpensWithoutWaiting) {
  const std::wstring marker = temp_ / L"opened.txt";
  const DWORD start = GetTickCount();
  RunScript(L"ok = Lua_ShellExec(" + Quote(SleeperPath()) + L", " +
            Quote(L"3000 \"" + marker + L"\"") + L")");
  EXPECT_TRUE(QLMScriptEngine::Instance().GetGlobalBoolean("ok"));
  EXPECT_LT(GetTickCount() - start, 3000u);
  EXPECT_FALSE(FileExists(marker));
  EXPECT_TRUE(WaitForFile(marker, 30000));
}

struct BoxCase {
  const wchar_t* arguments;
  const wchar_t* caption;
  int button;
  int answer;
  const wchar_t* text;
};

TEST(ShellMsgBox, ReturnsTheAnswerOfTheBoxBuiltFromTheArguments) {
  const BoxCase cases[] = {
      {L"'Continue?', 'QLM box', 1 + 32", L"QLM box", IDCANCEL, IDCANCEL, L"Continue?"},
      {L"'Continue?', 'QLM box', 1 + 32", L"QLM box", IDOK, IDOK, L"Continue?"},
      {L"'Two', 'QLM two'", L"QLM two", IDOK, IDOK, L"Two"},
      {L"'Four', 'QLM four', 1, 'x'", L"", IDOK, IDOK, L""},
  };
  for (const BoxCase& c : cases) {
    const std::string where = WideToUtf8(c.arguments);
    MessageBoxAnswerer answerer(c.caption, c.button);
    RunScript(std::wstring(L"answer = Lua_MsgBox(") + c.arguments + L")");
    EXPECT_EQ(QLMScriptEngine::Instance().GetGlobalInteger("answer"), c.answer) << where;
    ASSERT_TRUE(answerer.Wait(5000)) << where;
    EXPECT_EQ(answerer.LastText(), c.text) << where;
  }
}
