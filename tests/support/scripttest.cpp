#include "scripttest.h"

#include <gtest/gtest.h>

#include "qlmscriptengine.h"
#include "stringconv.h"

void RunChunk(const std::string& chunk) {
  ASSERT_TRUE(QLMScriptEngine::Instance().DoBuffer(chunk.data(), chunk.size(), "test")) << chunk;
}

std::string Quote(const std::wstring& text) { return "[==[" + WideToUtf8(text) + "]==]"; }

std::string Evaluate(const std::string& call) {
  RunChunk("local t = table.pack(" + call +
           ") qlm_result = t.n == 0 and '<none>' or type(t[1]) .. ':' .. tostring(t[1])");
  return WideToUtf8(QLMScriptEngine::Instance().GetGlobalString("qlm_result"));
}
