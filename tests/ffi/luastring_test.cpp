#include <gtest/gtest.h>

#include <string>

#include "ffitestsupport.h"

namespace {

// cap(o): the capacity in units, found by indexing until the block ends (nil).
const char kPrelude[] =
    "local function cap(o) local n = 0 while o[n] ~= nil do n = n + 1 end return n end "
    "local w = WString.New(nil, 'abc') local a = AString.New(nil, 'abc') ";

void ExpectCases(const ScriptCase* cases, size_t count) {
  for (size_t i = 0; i < count; ++i) {
    EXPECT_EQ(Eval(std::string(kPrelude) + cases[i].chunk), cases[i].expected) << cases[i].chunk;
  }
}

}  // namespace

TEST(ScriptStrings, NewSizesAndCapacities) {
  const ScriptCase cases[] = {
      {"return WString.New(0), WString.New(-3), WString.New(), AString.New(0)", "nil|nil|nil|nil"},
      {"local o = WString.New(5) return cap(o), #o, tostring(o)", "5|0|"},
      {"local o = AString.New(3) return cap(o), #o, tostring(o)", "3|0|"},
      {"local o = WString.New(nil, nil) return cap(o), #o", "1|0"},
      {"local o = WString.New(0, nil) return cap(o), #o", "1|0"},
      {"return cap(WString.New(nil, 'abc')), cap(WString.New(2, 'abc'))", "4|4"},
      {"local o = WString.New(10, 'abc') return cap(o), #o, tostring(o)", "10|3|abc"},
      {"local o = WString.New(nil, 12) return cap(o), #o, tostring(o)", "3|2|12"},
      {"local o = AString.New(-5, 'hello') return cap(o), #o, tostring(o)", "6|5|hello"},
      {"local o = WString.New(nil, 'gr\xc3\xbc\xc3\x9f\xe4\xb8\xad') return #o, tostring(o)",
       "5|gr\xc3\xbc\xc3\x9f\xe4\xb8\xad"},
      // Objects convert from their text; other values give the empty text.
      {"return tostring(WString.New(nil, AString.New(nil, 'xy'))), "
       "tostring(AString.New(nil, WString.New(nil, 'zw')))",
       "xy|zw"},
      {"return #WString.New(nil, true), #WString.New(nil, {}), #AString.New(nil, RawBuffer.New(4))",
       "0|0|0"},
  };
  ExpectCases(cases, sizeof(cases) / sizeof(cases[0]));
}

TEST(ScriptStrings, IndexReadsUnitsInsideTheBlock) {
  const ScriptCase cases[] = {
      {"return w[0], w[1], w[2], w[-1], w[3], w[4]", "a|b|c|nil||nil"},
      {"return w.x, w['2'], w[{}]", "a|c|a"},
      {"return a[0], a[2], a[-1], a[3], a[4], a.name", "a|c|nil||nil|a"},
      // A byte of 0x80 or above widens as a signed value.
      {"local o = AString.New(2) RawBuffer.New(1).OffsetSetAsUInt8(o, 0, 0xE9) "
       "return o[0] == '\\239\\191\\169'",
       "true"},
  };
  ExpectCases(cases, sizeof(cases) / sizeof(cases[0]));
}

TEST(ScriptStrings, AssignmentsReplaceOnlyInsideTheText) {
  const ScriptCase cases[] = {
      {"w[0] = 'z' return tostring(w)", "abc"},
      {"w[1] = 'xyz' return tostring(w), #w", "axc|3"},
      {"w[3] = 'q' w[7] = 'q' w[-1] = 'q' return tostring(w), #w", "abc|3"},
      {"w[1] = '' w[2] = {} w[1] = WString.New(nil, 'q') return tostring(w)", "abc"},
      {"w[2] = 5 w['1'] = 'Q' return tostring(w)", "aQ5"},
      {"a[1] = 'Z' return tostring(a), #a", "aZc|3"},
      {"a[0] = 'Z' a[3] = 'Z' a[1] = AString.New(nil, 'q') return tostring(a)", "abc"},
  };
  ExpectCases(cases, sizeof(cases) / sizeof(cases[0]));
}

TEST(ScriptStrings, ConcatenationMakesExactObjects) {
  const ScriptCase cases[] = {
      {"local o = w .. 'de' return tostring(o), cap(o), getmetatable(o) == getmetatable(w)",
       "abcde|6|true"},
      {"local o = 'de' .. w return tostring(o), getmetatable(o) == getmetatable(w)", "deabc|true"},
      {"return tostring(w .. 5), tostring(5 .. w)", "abc5|5abc"},
      {"local o = w .. AString.New(nil, 'xy') return tostring(o), getmetatable(o) == "
       "getmetatable(w)",
       "abcxy|true"},
      {"local o = a .. WString.New(nil, 'xy') return tostring(o), cap(o), "
       "getmetatable(o) == getmetatable(a)",
       "abcxy|6|true"},
      {"local o = w .. WString.New(3) return tostring(o), cap(o)", "abc|4"},
      {"return tostring(w .. true)", "abc"},
  };
  ExpectCases(cases, sizeof(cases) / sizeof(cases[0]));
}

TEST(ScriptStrings, EqualityComparesTextOfTheSameType) {
  const ScriptCase cases[] = {
      {"return w == WString.New(10, 'abc'), w == WString.New(nil, 'abd')", "true|false"},
      {"return a == AString.New(9, 'abc'), a == AString.New(nil, 'ab')", "true|false"},
      {"return w == a, w == 'abc', a == 'abc'", "false|false|false"},
  };
  ExpectCases(cases, sizeof(cases) / sizeof(cases[0]));
}

TEST(ScriptStrings, ModulesAndMetatablesAreRegistered) {
  EXPECT_EQ(Eval("return package.loaded.AString == AString, package.loaded.WString == WString, "
                 "getmetatable(WString.New(1)) == debug.getregistry().WStringMetaTable, "
                 "getmetatable(AString.New(1)) == debug.getregistry().AStringMetaTable"),
            "true|true|true|true");
}
