#include <gtest/gtest.h>

#include <string>

#include "ffitestsupport.h"

namespace {

// m: the accessors, for bases without the RawBuffer metatable (light userdata, text objects).
const char kPrelude[] = "local b = RawBuffer.New(8) local m = getmetatable(b) ";

void ExpectCases(const ScriptCase* cases, size_t count) {
  for (size_t i = 0; i < count; ++i) {
    EXPECT_EQ(Eval(std::string(kPrelude) + cases[i].chunk), cases[i].expected) << cases[i].chunk;
  }
}

}  // namespace

TEST(RawBuffer, NewGivesZeroFilledBlocks) {
  const ScriptCase cases[] = {
      {"return RawBuffer.New(0), RawBuffer.New(nil), RawBuffer.New()", "nil|nil|nil"},
      {"local o = RawBuffer.New(4) return o:OffsetGetAsUInt32(0), #tostring(o) > 0", "0|true"},
      {"return b:OffsetGetAsUInt32(0), b:OffsetGetAsUInt32(4), b:OffsetGetAsBoolean(4)",
       "0|0|false"},
      {"return package.loaded.RawBuffer == RawBuffer, m == debug.getregistry().RawBufferMetaTable, "
       "m.__index == m",
       "true|true|true"},
  };
  ExpectCases(cases, sizeof(cases) / sizeof(cases[0]));
}

TEST(RawBuffer, WidthAndSignConversions) {
  const ScriptCase cases[] = {
      {"b:OffsetSetAsInt32(0, -1) return b:OffsetGetAsUInt32(0), b:OffsetGetAsInt32(0), "
       "b:OffsetGetAsInt16(0), b:OffsetGetAsUInt16(0), b:OffsetGetAsInt8(0), b:OffsetGetAsUInt8(0)",
       "4294967295|-1|-1|65535|-1|255"},
      {"b:OffsetSetAsUInt32(0, 4294967295) return b:OffsetGetAsUInt32(0), b:OffsetGetAsInt32(0)",
       "4294967295|-1"},
      {"b:OffsetSetAsUInt8(0, 300) return b:OffsetGetAsUInt8(0), b:OffsetGetAsUInt8(1)", "44|0"},
      {"b:OffsetSetAsInt8(0, -2) b:OffsetSetAsInt16(2, 70000) b:OffsetSetAsUInt16(4, -1) "
       "return b:OffsetGetAsUInt8(0), b:OffsetGetAsUInt16(2), b:OffsetGetAsInt16(4), "
       "b:OffsetGetAsUInt8(6)",
       "254|4464|-1|0"},
      // Little-endian and unaligned.
      {"b:OffsetSetAsUInt32(1, 0x11223344) return b:OffsetGetAsUInt8(1), b:OffsetGetAsUInt8(4), "
       "b:OffsetGetAsUInt16(2), b:OffsetGetAsUInt32(1), b:OffsetGetAsUInt8(0), "
       "b:OffsetGetAsUInt8(5)",
       "68|17|8755|287454020|0|0"},
      {"b:OffsetSetAsBoolean(0, 0) b:OffsetSetAsBoolean(4, 'x') return b:OffsetGetAsUInt32(0), "
       "b:OffsetGetAsUInt32(4), b:OffsetGetAsBoolean(0)",
       "1|1|true"},
      {"b:OffsetSetAsUInt32(0, 7) b:OffsetSetAsBoolean(0, nil) b:OffsetSetAsUInt32(4, 7) "
       "b:OffsetSetAsBoolean(4, false) return b:OffsetGetAsUInt32(0), b:OffsetGetAsUInt32(4)",
       "0|0"},
      {"b:OffsetSetAsUInt32(0, 2) return b:OffsetGetAsBoolean(0)", "true"},
      // Offsets: a convertible string counts, a table counts as 0.
      {"b:OffsetSetAsUInt32('4', 9) b:OffsetSetAsUInt32({}, 5) "
       "return b:OffsetGetAsUInt32(4), b:OffsetGetAsUInt32(0), b:OffsetGetAsUInt32({})",
       "9|5|5"},
  };
  ExpectCases(cases, sizeof(cases) / sizeof(cases[0]));
}

TEST(RawBuffer, PointersAndOtherBases) {
  const ScriptCase cases[] = {
      // Pointer arithmetic: a light userdata base is the address itself.
      {"b:OffsetSetAsUInt16(2, 513) local p = b:OffsetGetAsPointer(2) "
       "return m.OffsetGetAsUInt16(p, 0), m.OffsetGetAsUInt16(b:OffsetGetAsPointer(8), -6), "
       "b:OffsetGetAsPointer(0) == m.OffsetGetAsPointer(p, -2)",
       "513|513|true"},
      {"m.OffsetSetAsUInt32(b:OffsetGetAsPointer(4), 0, 77) return b:OffsetGetAsUInt32(4)", "77"},
      // A stored pointer is the address of the text block; other values store 0.
      {"local w = WString.New(nil, 'hi') b:OffsetSetAsPointer(0, w) "
       "b:OffsetSetAsPointer(4, m.OffsetGetAsPointer(w, 0)) "
       "return b:OffsetGetAsUInt32(0) == b:OffsetGetAsUInt32(4), b:OffsetGetAsUInt32(0) ~= 0",
       "true|true"},
      {"b:OffsetSetAsUInt32(0, 1) b:OffsetSetAsPointer(0, 5) return b:OffsetGetAsUInt32(0)", "0"},
      // Text objects are bases too.
      {"local w = WString.New(nil, 'xyz') return m.OffsetGetAsWString(w, 2), "
       "m.OffsetGetAsUInt16(w, 0)",
       "yz|120"},
      {"local a = AString.New(nil, 'xyz') m.OffsetSetAsUInt8(a, 1, 81) return tostring(a)", "xQz"},
      {"return m.OffsetGetAsUInt32(GLibTab.kernel32, 0) ~= 0", "true"},
      // The base, offset and value are the last values of the call.
      {"b:OffsetSetAsUInt32(4, 9) m.OffsetSetAsUInt8(1, 2, b, 0, 7) "
       "return m.OffsetGetAsUInt32(nil, 'x', b, 4), b:OffsetGetAsUInt8(0)",
       "9|7"},
  };
  ExpectCases(cases, sizeof(cases) / sizeof(cases[0]));
}

TEST(RawBuffer, TextFieldsCopyBytes) {
  const ScriptCase cases[] = {
      // A WString made from "ab" copies 6 bytes: two units and the terminator.
      {"b:OffsetSetAsUInt32(0, 0xFFFFFFFF) b:OffsetSetAsUInt32(4, 0xFFFFFFFF) "
       "b:OffsetSetAsWString(0, WString.New(nil, 'ab')) "
       "return b:OffsetGetAsUInt16(0), b:OffsetGetAsUInt16(2), b:OffsetGetAsUInt16(4), "
       "b:OffsetGetAsUInt16(6), b:OffsetGetAsWString(0)",
       "97|98|0|65535|ab"},
      // Both setters copy bytes unconverted, whole blocks included.
      {"b:OffsetSetAsAString(1, WString.New(nil, 'c')) return b:OffsetGetAsWString(1)", "c"},
      {"b:OffsetSetAsWString(2, AString.New(nil, 'hey')) return b:OffsetGetAsAString(2)", "hey"},
      {"local s = RawBuffer.New(2) s:OffsetSetAsUInt16(0, 0x4241) b:OffsetSetAsAString(6, s) "
       "return b:OffsetGetAsAString(6)",
       "AB"},
      // A plain string copies its bytes and terminator.
      {"b:OffsetSetAsUInt32(0, 0xFFFFFFFF) b:OffsetSetAsAString(1, 'hi') "
       "return b:OffsetGetAsAString(1), b:OffsetGetAsUInt8(3), b:OffsetGetAsUInt8(0)",
       "hi|0|255"},
      // A light userdata or a number source copies nothing.
      {"b:OffsetSetAsUInt32(0, 5) b:OffsetSetAsWString(0, b:OffsetGetAsPointer(4)) "
       "b:OffsetSetAsWString(0, 12) return b:OffsetGetAsUInt32(0)",
       "5"},
      // A text without terminator ends at the block's end.
      {"local s = RawBuffer.New(4) s:OffsetSetAsUInt32(0, 0x64636261) "
       "return s:OffsetGetAsAString(0), s:OffsetGetAsAString(4), s:OffsetGetAsAString(2)",
       "abcd||cd"},
      {"local s = RawBuffer.New(5) s:OffsetSetAsUInt16(0, 65) s:OffsetSetAsUInt16(2, 66) "
       "s:OffsetSetAsUInt8(4, 67) return s:OffsetGetAsWString(0), s:OffsetGetAsWString(1)",
       "AB|\xe4\x88\x80\xe4\x8c\x80"},
  };
  ExpectCases(cases, sizeof(cases) / sizeof(cases[0]));
}

// Accesses that would leave a full userdata's block raise a script error instead of
// touching memory outside it.
TEST(RawBuffer, AccessesOutsideTheBlockAreScriptErrors) {
  const ScriptCase cases[] = {
      {"return b:OffsetGetAsUInt32(5)",
       "error: test:1: RawBuffer: 4 bytes at offset 5 lie outside the block of 8 bytes"},
      {"return b:OffsetGetAsUInt8(8)",
       "error: test:1: RawBuffer: 1 bytes at offset 8 lie outside the block of 8 bytes"},
      {"return b:OffsetGetAsInt16(-1)",
       "error: test:1: RawBuffer: 2 bytes at offset -1 lie outside the block of 8 bytes"},
      {"b:OffsetSetAsUInt32(6, 1)",
       "error: test:1: RawBuffer: 4 bytes at offset 6 lie outside the block of 8 bytes"},
      {"b:OffsetSetAsWString(0, WString.New(5, 'x'))",
       "error: test:1: RawBuffer: 10 bytes at offset 0 lie outside the block of 8 bytes"},
      {"b:OffsetSetAsAString(4, 'abcd')",
       "error: test:1: RawBuffer: 5 bytes at offset 4 lie outside the block of 8 bytes"},
      {"return b:OffsetGetAsPointer(9)",
       "error: test:1: RawBuffer: 0 bytes at offset 9 lie outside the block of 8 bytes"},
      {"return b:OffsetGetAsWString(9)",
       "error: test:1: RawBuffer: 0 bytes at offset 9 lie outside the block of 8 bytes"},
      {"return m.OffsetGetAsUInt16(WString.New(nil, 'a'), 3)",
       "error: test:1: RawBuffer: 2 bytes at offset 3 lie outside the block of 4 bytes"},
      {"b:OffsetSetAsWString(0, {})",
       "error: test:1: RawBuffer: a table cannot be copied into a buffer"},
      {"return m.OffsetGetAsUInt8(1234, 0)", "error: test:1: RawBuffer: the base has no address"},
      {"m.OffsetSetAsUInt8('abc', 0, 1)", "error: test:1: RawBuffer: the base has no address"},
      {"return m.OffsetGetAsUInt8(b)",
       "error: test:1: RawBuffer: a getter takes a base and an offset"},
      // The whole block and its end are still reachable.
      {"b:OffsetSetAsUInt32(4, 3) return b:OffsetGetAsUInt32(4), b:OffsetGetAsPointer(8) ~= nil, "
       "b:OffsetGetAsWString(8)",
       "3|true|"},
  };
  ExpectCases(cases, sizeof(cases) / sizeof(cases[0]));
}
