#include "switchtable.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

using Entries = std::map<std::wstring, std::wstring>;

struct SwitchCase {
  const wchar_t* commandLine;
  Entries expected;
};

class SwitchTableCases : public ::testing::TestWithParam<SwitchCase> {};

TEST_P(SwitchTableCases, ParsesIntoExpectedEntries) {
  SwitchTable table(GetParam().commandLine);
  EXPECT_EQ(table.Entries(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    CommandLines, SwitchTableCases,
    ::testing::Values(
        SwitchCase{L"\"C:\\Setup\\Setup.exe\" /InstallListenWnd 66212 /InstallSlience true",
                   {{L"\"C:\\Setup\\Setup.exe\"", L""}, {L"InstallListenWnd", L"66212"},
                    {L"InstallSlience", L"true"}}},
        SwitchCase{L"\"C:\\Program Files\\Setup.exe\" /debug",
                   {{L"\"C:\\Program", L"Files\\Setup.exe\""}, {L"debug", L""}}},
        SwitchCase{L"setup.exe /installslience true", {{L"setup.exe", L""}, {L"installslience", L"true"}}},
        SwitchCase{L"/debug", {{L"debug", L""}}},
        SwitchCase{L"/debug 0", {{L"debug", L"0"}}},
        SwitchCase{L"/InstallSlience   \"true\"  ", {{L"InstallSlience", L"true"}}},
        SwitchCase{L"/InstallSlience \"a\"b\"", {{L"InstallSlience", L"a\"b"}}},
        SwitchCase{L"/InstallSlience true /InstallSlience false", {{L"InstallSlience", L"false"}}},
        SwitchCase{L"/Path C:/Temp", {{L"Path", L"C:"}, {L"Temp", L""}}},
        SwitchCase{L"//debug", {{L"debug", L""}}},
        SwitchCase{L"/", {}},
        SwitchCase{L"", {}},
        SwitchCase{L"/x \"", {{L"x", L"\""}}},
        SwitchCase{L"/x \"\"", {{L"x", L""}}},
        SwitchCase{L"/a\tb c", {{L"a\tb", L"c"}}},
        SwitchCase{L"/v \t\x1D value \x01", {{L"v", L"value"}}},
        SwitchCase{L"/v \x1E", {{L"v", L"\x1E"}}}));

TEST(SwitchTable, GetValueEmptiesOutValueAndMatchesCase) {
  SwitchTable table(L"setup.exe /InstallSlience true /debug");
  std::wstring value = L"stale";
  EXPECT_FALSE(table.GetValue(L"installslience", value));
  EXPECT_TRUE(value.empty());
  EXPECT_TRUE(table.GetValue(L"InstallSlience", value));
  EXPECT_EQ(value, L"true");
  value = L"stale";
  EXPECT_TRUE(table.GetValue(L"debug", value));
  EXPECT_TRUE(value.empty());
}
