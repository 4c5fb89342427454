#include "foreigncall.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "debugcapture.h"
#include "ffitestsupport.h"
#include "qlmscriptengine.h"
#include "scopeguard.h"
#include "scripterror.h"
#include "stringconv.h"
#include "testsupport.h"

namespace {

std::wstring TestLibraryPath() { return ModuleFolder() + L"ffitestlib.dll"; }

// Every chunk starts with the test library loaded as `lib` and kernel32 as `k`.
std::string WithLibrary(const std::string& chunk) {
  QLMScriptEngine::Instance().SetGlobalString("ffiLibPath", TestLibraryPath());
  return "local lib = assert(DllManager.Load(ffiLibPath)) local k = GLibTab.kernel32 " + chunk;
}

void ExpectCases(const ScriptCase* cases, size_t count) {
  for (size_t i = 0; i < count; ++i) {
    EXPECT_EQ(Eval(WithLibrary(cases[i].chunk)), cases[i].expected) << cases[i].chunk;
  }
}

uint32_t Mix(const std::vector<uint32_t>& words) {
  uint32_t mix = 7;
  for (uint32_t word : words) mix = mix * 31 + word;
  return mix;
}

}  // namespace

// Every argument position of both conventions, with arguments of several kinds.
TEST(ForeignCall, StdcallAndCdeclWithZeroToEightArguments) {
  const char* scriptArguments[] = {"11",    "nil",  "true",      "-2",
                                   "false", "4096", "123456789", "-100000"};
  const uint32_t words[] = {11, 0, 1, 0xFFFFFFFEu, 0, 4096, 123456789, 0xFFFE7960u};
  for (int count = 0; count <= 8; ++count) {
    std::string arguments;
    for (int i = 0; i < count; ++i) arguments += std::string(i ? ", " : "") + scriptArguments[i];
    std::string expected = std::to_string(Mix(std::vector<uint32_t>(words, words + count)));
    for (const char* convention : {"Std", "Cdecl"}) {
      bool callerCleans = std::string(convention) == "Cdecl";
      std::string chunk = "local f = lib:Get('" + std::string(convention) + "Mix" +
                          std::to_string(count) + "', 'uint', " + (callerCleans ? "true" : "nil") +
                          ") return (f(" + arguments + "))";
      EXPECT_EQ(Eval(WithLibrary(chunk)), expected) << chunk;
    }
  }
}

TEST(ForeignCall, ArgumentsBecomeWords) {
  const ScriptCase cases[] = {
      {"local e = lib:Get('Echo', 'int') return (e(nil)), (e(true)), (e(false)), (e(-5)), "
       "(e(4096))",
       "0|1|0|-5|4096"},
      {"local e = lib:Get('Echo', 'astr') return (e('abc')), (e(AString.New(nil, 'xyz')))",
       "abc|xyz"},
      {"local e = lib:Get('Echo', 'wstr') return (e(WString.New(nil, 'abc')))", "abc"},
      // A full userdata passes its block; OffsetGetAsPointer(8) lies 8 bytes further.
      {"local b = RawBuffer.New(16) local e = lib:Get('Echo', 'ptr') "
       "local u = lib:Get('Echo', 'uint') "
       "return e(b) == b:OffsetGetAsPointer(0), u(b:OffsetGetAsPointer(8)) - u(b)",
       "true|8"},
      {"local e = lib:Get('Echo', 'ptr') local p = RawBuffer.New(4):OffsetGetAsPointer(0) "
       "return e(p) == p",
       "true"},
  };
  ExpectCases(cases, sizeof(cases) / sizeof(cases[0]));
}

TEST(ForeignCall, ResultTypes) {
  const ScriptCase cases[] = {
      {"return (lib:Get('ReturnMinusOne', 'int')()), (lib:Get('ReturnMinusOne', 'uint')()), "
       "(lib:Get('ReturnMinusOne', 'bool')())",
       "-1|4294967295|true"},
      {"return (lib:Get('ReturnAllBits', 'int')()), (lib:Get('ReturnAllBits', 'uint')())",
       "-1|4294967295"},
      {"return (lib:Get('Echo', 'bool')(0)), (lib:Get('Echo', 'bool')(2))", "false|true"},
      {"return (lib:Get('ReturnAnsi', 'astr')()), (lib:Get('ReturnWide', 'wstr')())",
       "ansi text|wide \xc3\xbc\xe4\xb8\xad"},
      {"return type(lib:Get('ReturnAnsi', 'ptr')()), (lib:Get('Echo', 'uint')("
       "lib:Get('ReturnAnsi', 'ptr')())) == (lib:Get('ReturnAnsi', 'uint')())",
       "userdata|true"},
      // Zero is the empty text; another value below 0x10000 is no text address.
      {"local a, w = lib:Get('Echo', 'astr'), lib:Get('Echo', 'wstr') "
       "return a(0) == '', w(0) == '', (a(5)), (w(0xFFFF))",
       "true|true|nil|nil"},
      {"local r, e = lib:Get('ReturnMinusOne', 'void')() return r, type(e)", "nil|number"},
      {"local r, e = lib:Get('ReturnMinusOne')() return r, type(e)", "nil|number"},
      {"return (lib:Get('ReturnMinusOne', 'INT')()), (lib:Get('ReturnMinusOne', 5)())", "nil|nil"},
      {"return lib:Get('SetErrorAndReturn', 'uint')(1234)", "1234|1234"},
      // With more than four arguments the last two are the result type and the flag.
      {"return (lib:Get('ReturnMinusOne', 'uint', 'int', false)())", "-1"},
  };
  ExpectCases(cases, sizeof(cases) / sizeof(cases[0]));
}

// The thunk restores the stack pointer itself, so a wrong convention or argument count
// returns normally and the script goes on.
TEST(ForeignCall, MismatchedDeclarationsDoNotCorruptTheStack) {
  uint32_t mix3 = Mix({1, 2, 3});
  std::string chunk =
      "local before = 'kept' "
      "local s = lib:Get('StdMix3', 'uint', true) "
      "local c = lib:Get('CdeclMix3', 'uint', false) "
      "local few = lib:Get('StdMix8', 'uint') "
      "local many = lib:Get('CdeclMix0', 'uint', true) "
      "local r = {} "
      "for i = 1, 50 do r[1] = s(1, 2, 3) r[2] = c(1, 2, 3) few(1) r[3] = many(1, 2, 3, 4, 5) end "
      "return before, r[1], r[2], r[3], 'continued'";
  EXPECT_EQ(Eval(WithLibrary(chunk)),
            "kept|" + std::to_string(mix3) + "|" + std::to_string(mix3) + "|7|continued");
}

// A float result stays in the x87 registers; the thunk drops it, so repeated calls cannot
// overflow the register stack and spoil later arithmetic.
TEST(ForeignCall, FloatResultsDoNotSpoilArithmetic) {
  EXPECT_EQ(Eval(WithLibrary("local f = lib:Get('ReturnDouble', 'int', true) "
                             "for i = 1, 20 do f() end return 1.5 * 2 + 0.25, math.sqrt(16)")),
            "3.25|4");
}

// The same at the machine level (the emulator that runs the tests does not model an x87
// stack overflow, so the arithmetic above cannot show it): after the call the top register
// is empty.
TEST(ForeignCall, ThunkLeavesTheX87StackEmpty) {
  LibraryGuard library(LoadLibraryW(TestLibraryPath().c_str()));
  ASSERT_NE(library.Get(), nullptr);
  FARPROC returnDouble = GetProcAddress(library.Get(), "ReturnDouble");
  ASSERT_NE(returnDouble, nullptr);
  CallWithWords(reinterpret_cast<const void*>(returnDouble), nullptr, 0);
  uint16_t status = 0;
  asm volatile("fxam\n\tfnstsw %0" : "=a"(status));
  EXPECT_EQ(status & 0x4500, 0x4100);  // C3 and C0: the register is empty
}

TEST(ForeignCall, TableFunctionAndThreadArgumentsAreRefusedBeforeTheCall) {
  const ScriptCase cases[] = {
      {"local n = lib:Get('CallCount', 'uint') local f = lib:Get('StdMix2', 'uint') "
       "local before = n() local ok, e = pcall(f, {}, 1) "
       "local ok2, e2 = pcall(f, 1, print) local ok3, e3 = pcall(f, coroutine.create(print), 2) "
       "return ok, e, ok2, e2, ok3, e3, n() - before",
       "false|unknow argument type|false|unknow argument type|false|unknow argument type|0"},
  };
  ExpectCases(cases, sizeof(cases) / sizeof(cases[0]));
}

TEST(ForeignCall, LoadGetAndUnLoad) {
  DebugCapture capture;
  const ScriptCase cases[] = {
      {"return lib:Get('NoSuchExport')", "nil|127"},
      {"return getmetatable(lib).Get(RawBuffer.New(4), 'Echo')", "nil|hModule is nil"},
      {"local f, code = lib:Get('Echo', 'int') return type(f), code", "function|0"},
      {"return DllManager.Load('qlm_no_such_library.dll')", "nil|126"},
      {"return package.loaded.DllManager == DllManager, getmetatable(lib).__index == "
       "debug.getregistry().DllManagerMetaTable",
       "true|true"},
      // UnLoad releases once; the object then has no library.
      {"local other = DllManager.Load(ffiLibPath) "
       "local a = other:UnLoad() local b = other:UnLoad() "
       "local f, reason = other:Get('Echo') return a, b, f, reason, (lib:Get('Echo', 'int')(3))",
       "nil|nil|nil|hModule is nil|3"},
      {"return getmetatable(lib).UnLoad(5)", "nil"},
  };
  ExpectCases(cases, sizeof(cases) / sizeof(cases[0]));
  std::vector<std::wstring> lines = capture.WideLines();
  auto has = [&lines](const wchar_t* line) {
    for (const std::wstring& text : lines) {
      if (text == line) return true;
    }
    return false;
  };
  EXPECT_TRUE(has(L"if (nullptr == pfn)"));
  EXPECT_TRUE(has(L"vd if (nullptr == phMod)"));
}

// UnLoad releases one reference once: a second UnLoad of the same object must not take
// away the reference another object holds.
TEST(ForeignCall, UnLoadTwiceKeepsOtherObjectsLoaded) {
  TempFolder folder(L"qlmffi");
  std::wstring copy = folder / L"ffiunload.dll";
  ASSERT_TRUE(CopyFileW(TestLibraryPath().c_str(), copy.c_str(), FALSE));
  QLMScriptEngine::Instance().SetGlobalString("unloadLibPath", copy);
  EXPECT_EQ(Eval("unloadKeeper = DllManager.Load(unloadLibPath) "
                 "local other = DllManager.Load(unloadLibPath) other:UnLoad() other:UnLoad() "
                 "return (unloadKeeper:Get('Echo', 'int')(5))"),
            "5");
  EXPECT_NE(GetModuleHandleW(copy.c_str()), nullptr);
  EXPECT_EQ(Eval("unloadKeeper:UnLoad() unloadKeeper = nil"), "");
  EXPECT_EQ(GetModuleHandleW(copy.c_str()), nullptr);
}

TEST(ForeignCall, Kernel32ThroughGLibTab) {
  std::string pid = std::to_string(GetCurrentProcessId());
  const ScriptCase cases[] = {
      {"local len = k:Get('lstrlenW', 'int') return (len(WString.New(nil, 'hello'))), "
       "(len(WString.New(20, 'h\xc3\xa9')))",
       "5|2"},
      {"return (k:Get('lstrlenA', 'int')('hello'))", "5"},
      {"return (k:Get('GetCurrentProcessId', 'uint')()) == tonumber(ARG)", "true"},
      {"local r, e = k:Get('SetLastError', 'void')(4321) "
       "return r, e, (k:Get('GetLastError', 'uint')())",
       "nil|4321|4321"},
      // Out-parameters: a RawBuffer and a WString filled by the callee.
      {"local b = RawBuffer.New(4) "
       "local ok = k:Get('GetExitCodeProcess', 'bool')(k:Get('GetCurrentProcess', 'ptr')(), b) "
       "return ok, b:OffsetGetAsUInt32(0)",
       "true|259"},
      {"local w = WString.New(16) k:Get('lstrcpyW', 'ptr')(w, WString.New(nil, 'copied')) "
       "return tostring(w), #w",
       "copied|6"},
      // A pointer stored in a buffer reaches the text it points to.
      {"local b = RawBuffer.New(4) local w = WString.New(nil, 'hi') b:OffsetSetAsPointer(0, w) "
       "return (k:Get('lstrlenW', 'int')(b:OffsetGetAsUInt32(0)))",
       "2"},
  };
  for (const ScriptCase& c : cases) {
    std::string chunk = "local ARG = '" + pid + "' " + c.chunk;
    EXPECT_EQ(Eval(WithLibrary(chunk)), c.expected) << c.chunk;
  }
}

TEST(GLibTab, LoadsOnceCachesAndRetries) {
  TempFolder folder(L"qlmffi");
  std::wstring copy = folder / L"ffilate.dll";
  QLMScriptEngine::Instance().SetGlobalString("lateLibPath", copy);
  EXPECT_EQ(Eval("local a = GLibTab.kernel32 local b = GLibTab.kernel32 "
                 "return rawequal(a, b), rawget(GLibTab, 'kernel32') == a, "
                 "getmetatable(a) == debug.getregistry().DllManagerMetaTable"),
            "true|true|true");
  EXPECT_EQ(Eval("return GLibTab[lateLibPath], rawget(GLibTab, lateLibPath), GLibTab[{}], "
                 "GLibTab[true], GLibTab[12], rawget(GLibTab, 12)"),
            "nil|nil|nil|nil|nil|nil");
  ASSERT_TRUE(CopyFileW(TestLibraryPath().c_str(), copy.c_str(), FALSE));
  EXPECT_EQ(Eval("local l = GLibTab[lateLibPath] return rawequal(l, rawget(GLibTab, lateLibPath)), "
                 "(l:Get('Echo', 'int')(9))"),
            "true|9");
  EXPECT_EQ(Eval("return getmetatable(GLibTab) == debug.getregistry().GlobalLibTableMetaTable"),
            "true");
  EXPECT_EQ(Eval("GLibTab[lateLibPath]:UnLoad() rawset(GLibTab, lateLibPath, nil)"), "");
}

// A refused argument is a script error: the error box appears and the process ends with 0.
TEST(ForeignCall, TableArgumentEndsTheScriptWithTheErrorBox) {
  TempFolder folder(L"qlmffi");
  std::wstring script = folder / L"table_argument.lua";
  std::string libraryPath = WideToUtf8(TestLibraryPath());
  ASSERT_TRUE(WriteFileBytes(script, "local lib = DllManager.Load([[" + libraryPath +
                                         "]])\n"
                                         "local f = lib:Get('Echo', 'int')\n"
                                         "f({})\n"
                                         "error('not reached')\n"));
  MessageBoxAnswerer answerer(kScriptErrorCaption, IDOK);
  ProcessResult result = RunScriptInChild(script);
  ASSERT_TRUE(result.finished);
  EXPECT_EQ(result.exitCode, 0u);
  EXPECT_TRUE(answerer.Wait(5000));
  std::wstring text = answerer.LastText();
  EXPECT_NE(text.find(L"table_argument.lua:3: unknow argument type\n      <call stack>\n"),
            std::wstring::npos)
      << text;
}
