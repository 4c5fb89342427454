#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "debugcapture.h"
#include "debugoutput.h"
#include "qlmscriptengine.h"
#include "scripterror.h"
#include "stringconv.h"

namespace {

lua_State* L() { return QLMScriptEngine::Instance().State(); }

void Run(const std::string& chunk) {
  ASSERT_TRUE(QLMScriptEngine::Instance().DoBuffer(chunk.data(), chunk.size(), "test")) << chunk;
}

}  // namespace

TEST(EngineDebugLines, MissingResourceGivesFourLines) {
  DebugCapture capture;
  EXPECT_FALSE(QLMScriptEngine::Instance().DoResLua(L"LUA", L"INSTSCRIPT.LUAC"));
  capture.Settle(GetCurrentProcessId());
  std::vector<std::string> lines = capture.Lines(GetCurrentProcessId());
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0], "vd LoadResource failed. Type : LUA ID : INSTSCRIPT.LUAC\r\n");
  EXPECT_EQ(lines[1], "vd file:qlmscriptengine\r\n");
  EXPECT_EQ(lines[2].rfind("vd line:", 0), 0u);
  EXPECT_EQ(lines[3].rfind("vd err:18", 0), 0u);  // a resource error code
}
