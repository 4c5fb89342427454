#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "debugcapture.h"
#include "debugoutput.h"
#include "qlmscriptengine.h"
#include "scriptcallback.h"
#include "scripterror.h"
#include "stringconv.h"
#include "testsupport.h"

namespace {

QLMScriptEngine& Engine() { return QLMScriptEngine::Instance(); }
lua_State* L() { return Engine().State(); }

void RunChunk(const std::string& chunk) {
  ASSERT_TRUE(Engine().DoBuffer(chunk.data(), chunk.size(), "test")) << chunk;
}

// The precompiled-chunk header of a 32-bit interpreter with double numbers.
const std::string kChunkHeader32("\x1bLua\x52\x00\x01\x04\x04\x04\x08\x00\x19\x93\r\n\x1a\n", 18);

}  // namespace

TEST(EngineGlobals, ConversionsAndDefaults) {
  RunChunk(u8"s_text = 'abc' s_utf8 = '中文' s_int = 1024 s_real = 1.5 s_true = true s_false = false "
      u8"s_table = {} s_numtext = '17' s_zero = 0 s_empty = ''");
  struct StringCase {
    const char* name;
    std::wstring expected;
  };
  for (const StringCase& c : std::vector<StringCase>{{"s_text", L"abc"},
                                                     {"s_utf8", L"中文"},
                                                     {"s_int", L"1024"},
                                                     {"s_real", L"1.5"},
                                                     {"s_true", L""},
                                                     {"s_table", L""},
                                                     {"s_missing", L""}}) {
    EXPECT_EQ(Engine().GetGlobalString(c.name), c.expected) << c.name;
  }
  struct IntegerCase {
    const char* name;
    int expected;
  };
  for (const IntegerCase& c : std::vector<IntegerCase>{
           {"s_int", 1024}, {"s_numtext", 17}, {"s_text", 0}, {"s_true", 0}, {"s_missing", 0}}) {
    EXPECT_EQ(Engine().GetGlobalInteger(c.name), c.expected) << c.name;
  }
  struct BooleanCase {
    const char* name;
    bool expected;
  };
  for (const BooleanCase& c : std::vector<BooleanCase>{{"s_true", true},
                                                       {"s_false", false},
                                                       {"s_missing", false},
                                                       {"s_zero", true},
                                                       {"s_empty", true},
                                                       {"s_table", true}}) {
    EXPECT_EQ(Engine().GetGlobalBoolean(c.name), c.expected) << c.name;
  }
  EXPECT_EQ(lua_gettop(L()), 0);
}

TEST(EngineGlobals, SettersStoreScriptValues) {
  Engine().SetGlobalString("w_text", L"C:\\Program Files\\中文");
  Engine().SetGlobalBoolean("w_flag", true);
  Engine().SetGlobalNumber("w_number", 4294967295.0);
  RunChunk(u8"w_ok = (w_text == 'C:\\\\Program Files\\\\中文') and w_flag == true and "
      "w_number == 4294967295");
  EXPECT_TRUE(Engine().GetGlobalBoolean("w_ok"));
}

TEST(EngineChunks, SourceAndThirtyTwoBitChunksLoadOthersAreRefused) {
  lua_State* state = L();
  ASSERT_EQ(luaL_loadstring(state, "chunk_ran = 'yes'"), LUA_OK);
  std::string dumped;
  lua_dump(
      state,
      [](lua_State*, const void* p, size_t size, void* out) {
        static_cast<std::string*>(out)->append(static_cast<const char*>(p), size);
        return 0;
      },
      &dumped);
  lua_pop(state, 1);
  ASSERT_GE(dumped.size(), kChunkHeader32.size());
  EXPECT_EQ(dumped.substr(0, kChunkHeader32.size()), kChunkHeader32);
  EXPECT_TRUE(Engine().DoBuffer(dumped.data(), dumped.size(), "dumped"));
  EXPECT_EQ(Engine().GetGlobalString("chunk_ran"), L"yes");

  // A chunk written by a 64-bit interpreter (size_t of 8 bytes) is refused, not run.
  std::string chunk64 = dumped;
  chunk64[8] = 8;
  DebugCapture capture;
  EXPECT_FALSE(Engine().DoBuffer(chunk64.data(), chunk64.size(), "chunk64"));
  std::vector<std::string> lines = capture.Lines(GetCurrentProcessId());
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_NE(lines[0].find("precompiled chunk"), std::string::npos) << lines[0];
  EXPECT_EQ(lines[0].rfind("vd ", 0), 0u);
  EXPECT_EQ(lines[1], "vd luaL_loadbuffer failed!\r\n");

  capture.Clear();
  EXPECT_FALSE(Engine().DoBuffer("x = = 1", 7, "syntax"));
  lines = capture.Lines(GetCurrentProcessId());
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], "vd [string \"syntax\"]:1: unexpected symbol near '='\r\n");
  EXPECT_EQ(lines[1], "vd luaL_loadbuffer failed!\r\n");
  EXPECT_EQ(lua_gettop(L()), 0);
}

TEST(EngineChunks, LuacToolWritesTheChunkTheInstallerAccepts) {
  TempFolder folder;
  ASSERT_TRUE(WriteFileBytes(folder / L"in.lua", "luac_global = 6 * 7\n"));
  std::wstring luac = BinFolder() + L"luac.exe";
  ProcessResult result = RunProcess(L"\"" + luac + L"\" -o \"" + (folder / L"out.luac") +
                                    L"\" \"" + (folder / L"in.lua") + L"\"");
  ASSERT_TRUE(result.finished);
  EXPECT_EQ(result.exitCode, 0u);
  std::string chunk = ReadFileBytes(folder / L"out.luac");
  ASSERT_GE(chunk.size(), kChunkHeader32.size());
  EXPECT_EQ(chunk.substr(0, kChunkHeader32.size()), kChunkHeader32);
  EXPECT_TRUE(Engine().DoLua((folder / L"out.luac").c_str()));
  EXPECT_EQ(Engine().GetGlobalInteger("luac_global"), 42);
}

TEST(EngineDebugLines, MissingResourceGivesFourLines) {
  DebugCapture capture;
  EXPECT_FALSE(Engine().DoResLua(L"LUA", L"INSTSCRIPT.LUAC"));
  std::vector<std::string> lines = capture.Lines(GetCurrentProcessId());
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0], "vd LoadResource failed. Type : LUA ID : INSTSCRIPT.LUAC\r\n");
  EXPECT_EQ(lines[1], "vd file:qlmscriptengine\r\n");
  EXPECT_EQ(lines[2].rfind("vd line:", 0), 0u);
  EXPECT_EQ(lines[3].rfind("vd err:18", 0), 0u);  // a resource error code
}

TEST(EngineDebugLines, LongLinesAreCutAtTheBufferEnd) {
  DebugCapture capture;
  std::wstring text(3000, L'x');
  DebugLine(L"%s", text.c_str());
  DebugJoinedFailureReport(L"Open failed!", L"unit", 12);
  std::vector<std::wstring> lines = capture.WideLines();
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0], L"vd " + std::wstring(kDebugLineUnits - 4, L'x'));
  EXPECT_EQ(lines[1], L"vd Open failed!vd file:unit\r\n");
  EXPECT_EQ(lines[2], L"vd Open failed!vd line:12\r\n");
  EXPECT_EQ(lines[3].rfind(L"vd Open failed!vd err:", 0), 0u);
}

TEST(EngineHooks, AbsentOrNonFunctionHooksAreSkipped) {
  RunChunk("hook_calls = 0 QLMSE_Table = {} QLMSE_Number = 5 "
      "function QLMSE_Counted() hook_calls = hook_calls + 1 end");
  Engine().CallHook("QLMSE_Missing");
  Engine().CallHook("QLMSE_Table");
  Engine().CallHook("QLMSE_Number");
  Engine().CallHook("QLMSE_Counted");
  Engine().CallHook("QLMSE_Counted");
  EXPECT_EQ(Engine().GetGlobalInteger("hook_calls"), 2);
  EXPECT_EQ(lua_gettop(L()), 0);
}

TEST(EngineBuiltins, LibrariesAndTablesAreGlobalsWithoutRequire) {
  RunChunk("libs_ok = type(string) == 'table' and type(bit32) == 'table' and type(debug) == 'table' "
      "and type(io) == 'table' and package.loaded.string == string and "
      "next(package.preload) == nil");
  EXPECT_TRUE(Engine().GetGlobalBoolean("libs_ok"));
}

namespace {

std::wstring g_composed;

int ComposingHandler(lua_State* state) {
  g_composed = ComposeScriptErrorText(state);
  return 1;
}

std::wstring ComposeFor(const char* chunk, const char* name) {
  lua_State* state = L();
  lua_pushcfunction(state, ComposingHandler);
  EXPECT_EQ(luaL_loadbuffer(state, chunk, strlen(chunk), name), LUA_OK);
  EXPECT_NE(lua_pcall(state, 0, 0, 1), LUA_OK);
  lua_settop(state, 0);
  return g_composed;
}

const std::wstring kFeedback = L"请向我们反馈以上错误信息，以便我们改善产品质量！";

}  // namespace

TEST(ScriptError, BoxTextListsTheErrorAndEveryLevel) {
  EXPECT_EQ(ComposeFor("error('x')", "errtest"),
            L"[string \"errtest\"]:1: x\n"
            L"      <call stack>\n"
            L"-> | unknown : line -1 [=[C] : line -1]\n"
            L"--  | error() : line -1 [=[C] : line -1]\n"
            L"--  | unknown : line 1 [errtest : line 0]\n" +
                kFeedback);
  EXPECT_EQ(ComposeFor("local function inner()\n  error({})\nend\ninner()\n", "@nested.lua"),
            L"(null)\n"
            L"      <call stack>\n"
            L"-> | unknown : line -1 [=[C] : line -1]\n"
            L"--  | error() : line -1 [=[C] : line -1]\n"
            L"--  | inner() : line 2 [@nested.lua : line 1]\n"
            L"--  | unknown : line 4 [@nested.lua : line 0]\n" +
                kFeedback);
}

TEST(ScriptError, BoxIsShownAndTheProcessEndsWithCodeZero) {
  TempFolder folder;
  ASSERT_TRUE(WriteFileBytes(folder / L"fail.lua", "before = 1\nerror('boom')\n"));
  MessageBoxAnswerer answerer(kScriptErrorCaption, IDOK);
  ProcessResult result = RunScriptInChild(folder / L"fail.lua");
  ASSERT_TRUE(result.finished);
  EXPECT_EQ(result.exitCode, 0u);  // the runner itself would end with 3
  ASSERT_TRUE(answerer.Wait(5000));
  std::wstring text = answerer.LastText();
  EXPECT_NE(text.find(L":2: boom\n      <call stack>\n-> | unknown : line -1 [=[C] : line -1]\n"),
            std::wstring::npos)
      << WideToUtf8(text);
  EXPECT_NE(text.find(kFeedback), std::wstring::npos);
}

namespace {

lua_Alloc g_realAlloc = nullptr;
void* g_realUserData = nullptr;

void* RefusingAlloc(void* ud, void* block, size_t oldSize, size_t newSize) {
  if (newSize > oldSize) return nullptr;
  return g_realAlloc(ud, block, oldSize, newSize);
}

// Script function that makes every later allocation fail, so that the next allocation raises
// a memory error, which the interpreter reports without calling the message handler.
int FailAllocations(lua_State* state) {
  lua_setallocf(state, RefusingAlloc, g_realUserData);
  return 0;
}

}  // namespace

TEST(ScriptCallbacks, PathAndCodeShapes) {
  lua_State* state = L();
  RunChunk("seen = '' function cb_code(path, code) seen = path .. '|' .. code return 7 end "
      "function cb_nil(path, code) end "
      "function cb_path(path) seen = 'path:' .. path end");
  for (const char* name : {"cb_code", "cb_nil", "cb_path"}) lua_getglobal(state, name);
  {
    ScriptCallback code(state, 1);
    ScriptCallback none(state, 2);
    ScriptCallback path(state, 3);
    ScriptCallback notFunction(state, 10);
    EXPECT_FALSE(notFunction.Valid());
    EXPECT_EQ(code.CallPathCode(L"C:\\中\\a.txt", 4294967295u), 7);
    EXPECT_EQ(Engine().GetGlobalString("seen"), L"C:\\中\\a.txt|4294967295");
    EXPECT_EQ(none.CallPathCode(L"x", 1), 0);
    path.CallPath(L"C:\\b");
    EXPECT_EQ(Engine().GetGlobalString("seen"), L"path:C:\\b");
    EXPECT_EQ(lua_gettop(state), 3);
  }
  lua_settop(state, 0);
  // The references are released with the holders.
  lua_pushnil(state);
  int probe = luaL_ref(state, LUA_REGISTRYINDEX);
  luaL_unref(state, LUA_REGISTRYINDEX, probe);
  EXPECT_LE(probe, 4);
}

TEST(ScriptCallbacks, ErrorsOutsideTheHandlerGiveTwoAndADebugLine) {
  lua_State* state = L();
  g_realAlloc = lua_getallocf(state, &g_realUserData);
  lua_register(state, "fail_allocations", FailAllocations);
  RunChunk("function cb_oom(path, code) fail_allocations() local t = {1, 2, 3} end "
      "function cb_oom_path(path) fail_allocations() local t = {1, 2, 3} end");
  DebugCapture capture;
  lua_getglobal(state, "cb_oom");
  lua_getglobal(state, "cb_oom_path");
  {
    ScriptCallback code(state, 1);
    ScriptCallback path(state, 2);
    EXPECT_EQ(code.CallPathCode(L"p", 1), 2);
    lua_setallocf(state, g_realAlloc, g_realUserData);
    path.CallPath(L"p");
    lua_setallocf(state, g_realAlloc, g_realUserData);
    EXPECT_EQ(lua_gettop(state), 2);
  }
  lua_settop(state, 0);
  std::vector<std::string> lines = capture.Lines(GetCurrentProcessId());
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], "vd not enough memory\r\n");
  EXPECT_EQ(lines[1], "vd not enough memory\r\n");
}
