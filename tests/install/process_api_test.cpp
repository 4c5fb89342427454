// The process and service functions as scripts call them, against real processes, a real
// service and a real registration library under Wine.
#include <gtest/gtest.h>
#include <ole2.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "debugcapture.h"
#include "qlmscriptengine.h"
#include "scopeguard.h"
#include "stringconv.h"
#include "testprocesses.h"
#include "testsupport.h"

namespace {

QLMScriptEngine& Engine() { return QLMScriptEngine::Instance(); }

// Runs `chunk`; it leaves its findings in the global `r` as text.
std::string RunScript(const std::string& chunk) {
  EXPECT_TRUE(Engine().DoBuffer(chunk.data(), chunk.size(), "test")) << chunk;
  return WideToUtf8(Engine().GetGlobalString("r"));
}

std::string Quoted(const std::wstring& text) {
  std::string quoted = "'";
  for (char c : WideToUtf8(text)) {
    if (c == '\\' || c == '\'') quoted += '\\';
    quoted += c;
  }
  return quoted + "'";
}

std::wstring WindowProgram() { return BinFolder() + L"qlm_test_windowprogram.exe"; }

// A copy of the window program under its own name, so that name lookups see only the copies
// a test starts.
class NamedProgram {
 public:
  explicit NamedProgram(const std::wstring& fileName) : path_(folder_ / fileName) {
    CopyFileW(WindowProgram().c_str(), path_.c_str(), FALSE);
  }
  std::wstring CommandLine(const std::wstring& arguments) const {
    return L"\"" + path_ + L"\" " + arguments;
  }
  const std::wstring& Path() const { return path_; }

 private:
  TempFolder folder_{L"qlmprog"};
  std::wstring path_;
};

}  // namespace

// ---------------------------------------------------------------------------------------
// Lua_TaskKill: polite close first, termination with exit code 0 second.

struct TaskKillCase {
  const char* name;
  const wchar_t* mode;   // window program mode
  const char* process;   // how the script names the process: "pid", "pidtext" or "name"
  DWORD exitCode;        // 7: closed on WM_CLOSE; 0: terminated
};

class TaskKill : public testing::TestWithParam<TaskKillCase> {};

TEST_P(TaskKill, EndsTheProcess) {
  const TaskKillCase& c = GetParam();
  NamedProgram program(L"qlm_taskkill_target.exe");
  ChildProcess child(program.CommandLine(std::wstring(c.mode) + L" QlmTaskKillWindow"));
  ASSERT_TRUE(child.WaitForWindow(L"QlmTaskKillWindow"));
  std::string argument = "'qlm_taskkill_target.exe'";
  if (std::string(c.process) == "pid") argument = std::to_string(child.Pid());
  if (std::string(c.process) == "pidtext") argument = "'" + std::to_string(child.Pid()) + "'";
  EXPECT_EQ(RunScript("r = tostring(Lua_TaskKill(" + argument + ", nil))"), "true");
  DWORD exitCode = 99;
  ASSERT_TRUE(child.WaitExit(0, exitCode));
  EXPECT_EQ(exitCode, c.exitCode);
}

INSTANTIATE_TEST_SUITE_P(
    Programs, TaskKill,
    testing::Values(TaskKillCase{"ClosesOnRequest", L"close", "pid", 7},
                    TaskKillCase{"IgnoresRequest", L"ignore", "pidtext", 0},
                    TaskKillCase{"ByExecutableNameIgnoringCase", L"close", "name", 7}),
    [](const testing::TestParamInfo<TaskKillCase>& info) { return info.param.name; });

TEST(TaskKillWindowStep, PostsTheMessageToTheWindowOfTheClass) {
  // A nil message stands for SC_CLOSE; otherwise the message and its parameters are given.
  for (const char* message : {"nil", "0x10, 0, 0"}) {
    ChildProcess child(L"\"" + WindowProgram() + L"\" close QlmTaskKillByClass");
    ASSERT_TRUE(child.WaitForWindow(L"QlmTaskKillByClass"));
    // No process of that name: the result is true, and the window step alone closes it.
    EXPECT_EQ(RunScript(std::string("r = tostring(Lua_TaskKill('qlm_no_such_program.exe', "
                                    "'QlmTaskKillByClass', ") + message + "))"),
              "true");
    DWORD exitCode = 99;
    ASSERT_TRUE(child.WaitExit(60000, exitCode)) << message;
    EXPECT_EQ(exitCode, 7u);
  }
}

TEST(TaskKillWindowStep, NothingReachesTheOwnQueueWhenNoWindowHasTheClass) {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
  }
  EXPECT_EQ(RunScript("r = tostring(Lua_TaskKill(0, 'QlmNoSuchWindowClass', 0x12, 0, 0))"), "true");
  EXPECT_FALSE(PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) << message.message;
}

TEST(TaskKillTargets, NothingToEndIsSuccess) {
  EXPECT_EQ(RunScript("r = tostring(Lua_TaskKill(0)) .. ',' .. tostring(Lua_TaskKill('qlm_none.exe')) "
                ".. ',' .. tostring(Lua_KillAllTaskByName('qlm_none.exe'))"),
            "true,true,true");
}

// ---------------------------------------------------------------------------------------
// Lua_GetProcessId, Lua_KillAllTaskByName and Lua_GetImagePathByPid.

TEST(ProcessLookup, FindsEveryInstanceAndEndsThemOneByOne) {
  NamedProgram program(L"qlm_lookup_target.exe");
  ChildProcess first(program.CommandLine(L"close QlmLookupA"));
  ChildProcess second(program.CommandLine(L"close QlmLookupB"));
  ASSERT_TRUE(first.WaitForWindow(L"QlmLookupA"));
  ASSERT_TRUE(second.WaitForWindow(L"QlmLookupB"));

  const std::string ids = RunScript("r = table.concat({Lua_GetProcessId('QLM_LOOKUP_TARGET.EXE')}, ',')");
  const std::set<std::string> expected = {std::to_string(first.Pid()),
                                          std::to_string(second.Pid())};
  std::set<std::string> found;
  for (size_t start = 0; start <= ids.size();) {
    const size_t comma = std::min(ids.find(',', start), ids.size());
    found.insert(ids.substr(start, comma - start));
    start = comma + 1;
  }
  EXPECT_EQ(found, expected) << ids;

  // Each call ends the first process found; the script loops until the name is gone.
  EXPECT_EQ(RunScript("r = tostring(Lua_KillAllTaskByName('qlm_lookup_target.exe')) .. ',' .. "
                "select('#', Lua_GetProcessId('qlm_lookup_target.exe'))"),
            "true,1");
  EXPECT_EQ(RunScript("r = tostring(Lua_KillAllTaskByName('qlm_lookup_target.exe')) .. ',' .. "
                "table.concat({Lua_GetProcessId('qlm_lookup_target.exe')}, ',')"),
            "true,-1");
}

TEST(ProcessLookup, ImagePathHasADriveLetter) {
  NamedProgram program(L"qlm_image_target.exe");
  ChildProcess child(program.CommandLine(L"close QlmImagePath"));
  ASSERT_TRUE(child.WaitForWindow(L"QlmImagePath"));
  const std::string path = RunScript("r = Lua_GetImagePathByPid(" + std::to_string(child.Pid()) + ")");
  EXPECT_EQ(_wcsicmp(Utf8ToWide(path.c_str()).c_str(), program.Path().c_str()), 0)
      << path << " vs " << WideToUtf8(program.Path());
  EXPECT_EQ(RunScript("r = tostring(select('#', Lua_GetImagePathByPid(0)))"), "0");
}

// ---------------------------------------------------------------------------------------
// Lua_SCM against a service registered for the test.

namespace {

// Registers the test service under `name` and removes it again.
class TestService {
 public:
  TestService(const wchar_t* name, const std::wstring& arguments) : name_(name) {
    manager_ = OpenSCManagerW(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
    // A run that ended early may have left the service behind.
    if (SC_HANDLE leftover = OpenServiceW(manager_, name, SERVICE_ALL_ACCESS)) {
      SERVICE_STATUS status;
      ControlService(leftover, SERVICE_CONTROL_STOP, &status);
      DeleteService(leftover);
      CloseServiceHandle(leftover);
    }
    const std::wstring binary =
        L"\"" + BinFolder() + L"qlm_test_service.exe\"" + (arguments.empty() ? L"" : L" ") + arguments;
    service_ = CreateServiceW(manager_, name, name, SERVICE_ALL_ACCESS, SERVICE_WIN32_OWN_PROCESS,
                              SERVICE_DEMAND_START, SERVICE_ERROR_IGNORE, binary.c_str(), nullptr,
                              nullptr, nullptr, nullptr, nullptr);
  }
  ~TestService() {
    if (service_) {
      SERVICE_STATUS status;
      ControlService(service_, SERVICE_CONTROL_STOP, &status);
      DeleteService(service_);
      CloseServiceHandle(service_);
    }
    if (manager_) CloseServiceHandle(manager_);
  }
  bool Created() const { return service_ != nullptr; }
  DWORD State() const {
    SERVICE_STATUS status = {};
    QueryServiceStatus(service_, &status);
    return status.dwCurrentState;
  }

 private:
  std::wstring name_;
  SC_HANDLE manager_ = nullptr;
  SC_HANDLE service_ = nullptr;
};

}  // namespace

TEST(ServiceControl, StartsAndStopsARealService) {
  TestService service(L"QlmTestService", L"");
  ASSERT_TRUE(service.Created()) << GetLastError();
  DebugCapture failures;
  EXPECT_EQ(RunScript("r = tostring(Lua_SCM('QlmTestService', 'start'))"), "true");
  EXPECT_EQ(service.State(), static_cast<DWORD>(SERVICE_RUNNING));
  EXPECT_EQ(RunScript("r = tostring(Lua_SCM('QlmTestService', 'START'))"), "true");
  EXPECT_EQ(RunScript("r = tostring(Lua_SCM('QlmTestService', 'stop'))"), "true");
  EXPECT_EQ(service.State(), static_cast<DWORD>(SERVICE_STOPPED));
  EXPECT_EQ(RunScript("r = tostring(Lua_SCM('QlmTestService', 'stop'))"), "true");
  EXPECT_TRUE(failures.Lines().empty()) << testing::PrintToString(failures.Lines());

  failures.Clear();
  EXPECT_EQ(RunScript("r = tostring(Lua_SCM('QlmTestService', 'restart'))"), "false");
  const std::vector<std::string> lines = failures.Lines();
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0], "vd Unknow Error in fun:Lua_SCM\r\n");
  EXPECT_EQ(lines[1], "vd file:qlmscriptengine\r\n");
}

TEST(ServiceControl, MissingServiceIsSuccess) {
  EXPECT_EQ(RunScript("r = tostring(Lua_SCM('QlmNoSuchService', 'start'))"), "true");
}

TEST(ServiceControl, AServiceThatFallsBackToStoppedEndsThePollWithFalse) {
  TestService service(L"QlmTestServiceFail", L"fail");
  ASSERT_TRUE(service.Created()) << GetLastError();
  const DWORD start = GetTickCount();
  EXPECT_EQ(RunScript("r = tostring(Lua_SCM('QlmTestServiceFail', 'start'))"), "false");
  EXPECT_LT(GetTickCount() - start, 55000u);
}

// ---------------------------------------------------------------------------------------
// Lua_RegSvr32 and Lua_RegistDll: the entry point called, and OLE balanced on every path.

namespace {

class Registration : public testing::Test {
 protected:
  void SetUp() override {
    SetEnvironmentVariableW(L"QLM_TEST_COMSERVER_RECORD", record_.c_str());
    SetEnvironmentVariableW(L"QLM_TEST_BIN", BinFolder().c_str());
    WriteFileBytes(notALibrary_, "not a library");
  }
  std::string Record() const { return ReadFileBytes(record_); }
  // OLE is balanced when this thread can initialise it afresh.
  static bool OleBalanced() {
    const HRESULT hr = OleInitialize(nullptr);
    OleUninitialize();
    return hr == S_OK;
  }

  TempFolder folder_{L"qlmreg"};
  const std::wstring record_ = folder_ / L"record.txt";
  const std::wstring notALibrary_ = folder_ / L"broken.dll";
};

}  // namespace

TEST_F(Registration, RegSvr32CallsTheEntryPointOfTheFlag) {
  const std::string library = "'%QLM_TEST_BIN%qlm_test_comserver.dll'";
  EXPECT_EQ(RunScript("r = tostring(Lua_RegSvr32(" + library + ", true)) .. ',' .. "
                "tostring(Lua_RegSvr32(" + library + ")) .. ',' .. "
                "tostring(Lua_RegSvr32(" + library + ", false))"),
            "true,true,true");
  EXPECT_EQ(Record(), "DllRegisterServer\nDllUnregisterServer\nDllUnregisterServer\n");
  EXPECT_TRUE(OleBalanced());
}

TEST_F(Registration, FailuresReturnFalseAndBalanceOle) {
  const std::string broken = Quoted(notALibrary_);
  const std::string missing = Quoted(folder_ / L"missing.dll");
  const std::vector<std::string> calls = {
      "Lua_RegSvr32(" + missing + ", true)",
      "Lua_RegSvr32(" + broken + ", true)",
      "Lua_RegSvr32('%SystemRoot%\\\\system32\\\\kernel32.dll', true)",
      "Lua_RegistDll(" + missing + ", '/s')"};
  for (const std::string& call : calls) {
    EXPECT_EQ(RunScript("r = tostring(" + call + ")"), "false") << call;
    EXPECT_TRUE(OleBalanced()) << call;
  }
  DebugCapture capture;
  RunScript("r = tostring(Lua_RegSvr32(" + missing + "))");
  ASSERT_FALSE(capture.Lines().empty());
  EXPECT_EQ(capture.Lines()[0], "vd Fun:Lua_RegSvr32, Description:" +
                                    WideToAnsi(folder_ / L"missing.dll") + " it's not exists!\r\n");
}

TEST_F(Registration, RegistDllStartsRegsvr32WithTheOptions) {
  EXPECT_EQ(RunScript("r = tostring(Lua_RegistDll('%QLM_TEST_BIN%qlm_test_comserver.dll', '/s'))"),
            "true");
  EXPECT_TRUE(OleBalanced());
  // The registration tool runs on its own; wait for it to call the entry point.
  for (int i = 0; i < 600 && Record().empty(); ++i) Sleep(100);
  EXPECT_EQ(Record(), "DllRegisterServer\n");
}
