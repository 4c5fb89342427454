// Lua_UnCompress7z and Lua_ExtractResource against archives made by 7zz: every codec and
// filter compared with 7zz's own extraction, the callback protocol, the payload resource's
// signature exchange, damaged archives and item names that try to leave the destination.
#include <gtest/gtest.h>

#include <cstring>

#include "archivefixture.h"
#include "payloadfixture.h"
#include "qlmscriptengine.h"
#include "stringconv.h"
#include "testsupport.h"

namespace {

const char k7zSignature[] = "\x37\x7A\xBC\xAF\x27\x1C";

std::string Utf8(const std::wstring& text) { return WideToUtf8(text); }

// ---- every codec, filter and solid mode equals 7zz's extraction ----

class CodecTest : public ::testing::TestWithParam<const wchar_t*> {};

TEST_P(CodecTest, ExtractedTreeEqualsReference) {
  TempFolder dest(L"qlm7z");
  SetGlobalPath("SRC", PayloadData() + L"\\" + GetParam() + L".7z");
  SetGlobalPath("DEST", dest.Path());
  ASSERT_TRUE(RunBool("return Lua_UnCompress7z(SRC, DEST, true)"));
  EXPECT_EQ(L"", CompareTrees(dest.Path(), PayloadData() + L"\\ref\\" + GetParam()));
}

INSTANTIATE_TEST_SUITE_P(Archives, CodecTest,
                         ::testing::Values(L"lzma", L"lzma-nonsolid", L"lzma2", L"lzma2-nonsolid",
                                           L"copy", L"bcj", L"bcj2", L"arm", L"arm-nonsolid"));

// ---- the create-error callback protocol (edge.7z holds a, a/b and the file a/b/c.txt) ----

HANDLE g_block = INVALID_HANDLE_VALUE;

int ReleaseBlock(lua_State*) {
  if (g_block != INVALID_HANDLE_VALUE) CloseHandle(g_block);
  g_block = INVALID_HANDLE_VALUE;
  return 0;
}

struct CallbackCase {
  const char* label;
  bool blocked;         // c.txt is held open without sharing, so it cannot be created
  const char* callback; // body of the create-error callback, or nullptr for none
  bool result;
  bool written;         // c.txt holds the archive's bytes afterwards
  int calls;
};

const CallbackCase kCallbackCases[] = {
    {"free file, callback unused", false, "return 1", true, true, 0},
    {"blocked, no callback: abort", true, nullptr, false, false, 0},
    {"returns nothing after releasing: retried once", true, "release_block()", true, true, 1},
    {"returns nothing, still blocked: abort", true, "", false, false, 1},
    {"returns 1 for the last file: skipped, false", true, "return 1", false, false, 1},
    {"returns 7: abort", true, "return 7", false, false, 1},
    {"returns the string '0' after releasing: retried", true, "release_block() return '0'", true,
     true, 1},
};

class CallbackTest : public ::testing::TestWithParam<CallbackCase> {};

TEST_P(CallbackTest, CreateErrorDecides) {
  const CallbackCase& c = GetParam();
  lua_register(QLMScriptEngine::Instance().State(), "release_block", ReleaseBlock);
  TempFolder dest(L"qlmcb");
  std::wstring file = dest / L"a\\b\\c.txt";
  if (c.blocked) {
    CreateDirectoryW((dest / L"a").c_str(), nullptr);
    CreateDirectoryW((dest / L"a\\b").c_str(), nullptr);
    g_block = CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                          FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, g_block);
  }
  SetGlobalPath("SRC", PayloadData() + L"\\edge.7z");
  SetGlobalPath("DEST", dest.Path());
  RunScript("calls = 0; code = -1; where = ''");
  std::string callback = c.callback == nullptr
                             ? "nil"
                             : std::string("function(p, e) calls = calls + 1; code = e; where = p; ") +
                                   c.callback + " end";
  bool result = RunBool("return Lua_UnCompress7z(SRC, DEST, true, nil, " + callback + ")");
  ReleaseBlock(nullptr);

  EXPECT_EQ(c.result, result) << c.label;
  EXPECT_EQ(c.calls, GetGlobalInt("calls")) << c.label;
  if (c.calls > 0) {
    EXPECT_EQ(ERROR_SHARING_VIOLATION, GetGlobalInt("code")) << c.label;
    EXPECT_EQ(Utf8(file), GetGlobalText("where")) << c.label;
  }
  // The folders of a/b/c.txt exist even when the file itself was not written.
  EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW((dest / L"a\\b").c_str())) << c.label;
  EXPECT_EQ(c.written, ReadFileBytes(file) == "edge content\n") << c.label;
}

INSTANTIATE_TEST_SUITE_P(Cases, CallbackTest, ::testing::ValuesIn(kCallbackCases));

// ---- arguments ----

TEST(UnCompress7z, MissingDestinationCreatesNothingAndCallsNothing) {
  TempFolder work(L"qlmmiss");
  SetGlobalPath("SRC", PayloadData() + L"\\edge.7z");
  SetGlobalPath("DEST", work / L"missing");
  RunScript("calls = 0");
  EXPECT_FALSE(RunBool(
      "return Lua_UnCompress7z(SRC, DEST, true, function() calls = calls + 1 end, "
      "function() calls = calls + 1 return 0 end)"));
  EXPECT_EQ(0, GetGlobalInt("calls"));
  EXPECT_EQ(L"", ListFolder(work.Path()));
}

TEST(UnCompress7z, FileDoneCallbackTakenOnlyFromTheTopOfTheStack) {
  SetGlobalPath("SRC", PayloadData() + L"\\edge.7z");
  struct {
    const char* call;
    int expectedDone;
  } cases[] = {
      {"Lua_UnCompress7z(SRC, DEST, true, done)", 1},
      {"Lua_UnCompress7z(SRC, DEST, true, done, nil)", 0},  // fifth not a function: fourth unused
      {"Lua_UnCompress7z(SRC, DEST, true, done, function() return 1 end)", 1},
  };
  for (const auto& c : cases) {
    TempFolder dest(L"qlmdone");
    SetGlobalPath("DEST", dest.Path());
    RunScript("done_calls = 0; function done(p) done_calls = done_calls + 1; done_path = p end");
    EXPECT_TRUE(RunBool(std::string("return ") + c.call)) << c.call;
    EXPECT_EQ(c.expectedDone, GetGlobalInt("done_calls")) << c.call;
    if (c.expectedDone) {
      EXPECT_EQ(Utf8(dest / L"a\\b\\c.txt"), GetGlobalText("done_path"));
    }
  }
}

TEST(UnCompress7z, WrongArgumentCountsReturnFalse) {
  TempFolder dest(L"qlmargs");
  SetGlobalPath("SRC", PayloadData() + L"\\edge.7z");
  SetGlobalPath("DEST", dest.Path());
  for (const char* call : {"Lua_UnCompress7z()", "Lua_UnCompress7z(SRC)",
                           "Lua_UnCompress7z(SRC, DEST, true, nil, nil, nil)"}) {
    EXPECT_TRUE(RunBool(std::string("return ") + call + " == false")) << call;
  }
  EXPECT_EQ(L"", ListFolder(dest.Path()));
}

TEST(UnCompress7z, ReadOnlyFileIsOverwrittenAndTakesTheArchiveAttributes) {
  TempFolder dest(L"qlmro");
  CreateDirectoryW((dest / L"a").c_str(), nullptr);
  CreateDirectoryW((dest / L"a\\b").c_str(), nullptr);
  std::wstring file = dest / L"a\\b\\c.txt";
  ASSERT_TRUE(WriteFileBytes(file, "old"));
  SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_READONLY);
  SetGlobalPath("SRC", PayloadData() + L"\\edge.7z");
  SetGlobalPath("DEST", dest.Path());
  EXPECT_TRUE(RunBool("return Lua_UnCompress7z(SRC, DEST, true)"));
  EXPECT_EQ("edge content\n", ReadFileBytes(file));
  EXPECT_EQ(0u, GetFileAttributesW(file.c_str()) & FILE_ATTRIBUTE_READONLY);
}

TEST(UnCompress7z, FileArchiveWithExchangedSignatureIsRejected) {
  TempFolder dest(L"qlmswap");
  SetGlobalPath("SRC", PayloadData() + L"\\edge-payload.bin");
  SetGlobalPath("DEST", dest.Path());
  EXPECT_FALSE(RunBool("return Lua_UnCompress7z(SRC, DEST, true)"));
  EXPECT_EQ(L"", ListFolder(dest.Path()));
}

// ---- the payload resource: one run, in order, because the exchange outlives each call ----

TEST(PayloadResource, SignatureExchangeAcrossCallsOfOneRun) {
  TempFolder dest(L"qlmres");
  TempFolder second(L"qlmres2");
  SetGlobalPath("DEST", dest.Path());
  SetGlobalPath("DEST2", second.Path());
  SetGlobalPath("OUT", dest / L"payload.7z");
  SetGlobalPath("CHUNK", second / L"chunk.luac");

  // First extraction: exchanged back into a standard archive and extracted (its LZMA2 blocks
  // on as many threads as there are cores).
  ASSERT_TRUE(RunBool("return Lua_UnCompress7z('App.7z', DEST, false)"));
  EXPECT_EQ(L"", CompareTrees(dest.Path(), PayloadData() + L"\\ref\\lzma2-mt"));
  // Second extraction: the exchange restores the stored order, which is no archive.
  EXPECT_FALSE(RunBool("return Lua_UnCompress7z('APP.7Z', DEST2, false)"));
  EXPECT_EQ(L"", ListFolder(second.Path()));
  // Writing the "_7Z" resource exchanges once more: the file is the standard archive.
  ASSERT_TRUE(RunBool("return Lua_ExtractResource('_7Z', 'App.7z', OUT)"));
  std::string written = ReadFileBytes(dest / L"payload.7z");
  EXPECT_EQ(0, std::memcmp(written.data(), k7zSignature, 6));
  EXPECT_EQ(ReadFileBytes(PayloadData() + L"\\lzma2-mt.7z"), written);
  // Other types are written unchanged.
  ASSERT_TRUE(RunBool("return Lua_ExtractResource('LUA', 'TESTCHUNK', CHUNK)"));
  EXPECT_EQ(ReadFileBytes(PayloadData() + L"\\chunk.bin"), ReadFileBytes(second / L"chunk.luac"));
  // A resource by number, also as a numeric string.
  ASSERT_TRUE(RunBool("return Lua_UnCompress7z('2', DEST2)"));
  EXPECT_EQ("edge content\n", ReadFileBytes(second / L"a\\b\\c.txt"));
  // Missing resources and unwritable destinations.
  EXPECT_FALSE(RunBool("return Lua_UnCompress7z('NOPE.7Z', DEST2)"));
  EXPECT_FALSE(RunBool("return Lua_ExtractResource('LUA', 'NOPE', CHUNK)"));
  EXPECT_FALSE(RunBool("return Lua_ExtractResource('LUA', 'TESTCHUNK', DEST2 .. '\\\\no\\\\x')"));
}

// ---- damaged archives ----

struct Damage {
  const char* label;
  void (*apply)(std::string& archive);
  bool largeStays;  // the item before the damage (large.bin, first in the archive) stays
};

const Damage kDamages[] = {
    {"truncated", [](std::string& a) { a.resize(a.size() / 2); }, false},
    {"truncated header", [](std::string& a) { a.resize(a.size() - 5); }, false},
    {"flipped byte in the second item's data", [](std::string& a) { a[32 + 65536 + 2] ^= 0x55; },
     true},
    {"bad start header CRC", [](std::string& a) { a[8] ^= 0x01; }, false},
    {"bad header CRC", [](std::string& a) { a[a.size() - 3] ^= 0x01; }, false},
};

class DamageTest : public ::testing::TestWithParam<Damage> {};

TEST_P(DamageTest, ReturnsFalseWithoutCrashing) {
  TempFolder work(L"qlmdmg");
  std::string archive = ReadFileBytes(PayloadData() + L"\\damage.7z");
  ASSERT_GT(archive.size(), 65536u + 32u);
  GetParam().apply(archive);
  ASSERT_TRUE(WriteFileBytes(work / L"damaged.7z", archive));
  CreateDirectoryW((work / L"out").c_str(), nullptr);
  SetGlobalPath("SRC", work / L"damaged.7z");
  SetGlobalPath("DEST", work / L"out");
  EXPECT_FALSE(RunBool("return Lua_UnCompress7z(SRC, DEST, true)")) << GetParam().label;
  EXPECT_EQ(GetParam().largeStays, ReadFileBytes(work / L"out\\large.bin") ==
                                       ReadFileBytes(PayloadData() + L"\\damage\\large.bin"))
      << GetParam().label;
  EXPECT_FALSE(FileExists(work / L"out\\small.txt")) << GetParam().label;
}

INSTANTIATE_TEST_SUITE_P(Archives, DamageTest, ::testing::ValuesIn(kDamages));

// ---- item names that would leave the destination ----

// hostile.7z has a plain header with the 16-character placeholder name; it is replaced and the
// two header CRCs are recomputed.
std::string WithItemName(const std::wstring& name) {
  std::string archive = ReadFileBytes(PayloadData() + L"\\hostile.7z");
  const std::wstring placeholder = L"PPPPPPPPPPPPPPPP";
  std::string from(reinterpret_cast<const char*>(placeholder.data()), placeholder.size() * 2);
  std::string to(reinterpret_cast<const char*>(name.data()), name.size() * 2);
  size_t at = archive.find(from);
  if (at == std::string::npos || to.size() != from.size()) return std::string();
  archive.replace(at, from.size(), to);
  FixHeaderCrcs(archive);
  return archive;
}

struct NameCase {
  const wchar_t* name;  // 16 characters, like the placeholder
  bool safe;
};

const NameCase kNames[] = {
    {L"safe/eeeeeee.txt", true},  {L"../eeeeeeeee.txt", false}, {L"a/../../eeee.txt", false},
    {L"/eeeeeeeeeee.txt", false}, {L"\\eeeeeeeeeee.txt", false}, {L"..\\eeeeeeeee.txt", false},
    {L"C:eeeeeeeeee.txt", false}, {L"ok.txt:streamxyz", false}, {L"a/./eeeeeeee.txt", false},
};

class HostileNameTest : public ::testing::TestWithParam<NameCase> {};

TEST_P(HostileNameTest, NothingLandsOutsideTheDestination) {
  const NameCase& c = GetParam();
  std::wstring name = c.name;
  ASSERT_EQ(16u, name.size());
  std::string archive = WithItemName(name);
  ASSERT_FALSE(archive.empty());
  TempFolder work(L"qlmhost");
  CreateDirectoryW((work / L"x").c_str(), nullptr);
  CreateDirectoryW((work / L"x\\y").c_str(), nullptr);
  CreateDirectoryW((work / L"x\\y\\dest").c_str(), nullptr);
  ASSERT_TRUE(WriteFileBytes(work / L"hostile.7z", archive));
  SetGlobalPath("SRC", work / L"hostile.7z");
  SetGlobalPath("DEST", work / L"x\\y\\dest");

  EXPECT_EQ(c.safe, RunBool("return Lua_UnCompress7z(SRC, DEST, true)"));
  EXPECT_EQ(L"[hostile.7z][x]", ListFolder(work.Path()));
  EXPECT_EQ(L"[y]", ListFolder(work / L"x"));
  EXPECT_EQ(L"[dest]", ListFolder(work / L"x\\y"));
  if (c.safe) {
    EXPECT_EQ(L"[first.txt][safe]", ListFolder(work / L"x\\y\\dest"));
  } else {
    // Refused before anything is written.
    EXPECT_EQ(L"", ListFolder(work / L"x\\y\\dest"));
    EXPECT_FALSE(FileExists(L"C:eeeeeeeeee.txt"));
    EXPECT_FALSE(FileExists(L"C:\\eeeeeeeeeee.txt"));
  }
}

INSTANTIATE_TEST_SUITE_P(Names, HostileNameTest, ::testing::ValuesIn(kNames));

}  // namespace
