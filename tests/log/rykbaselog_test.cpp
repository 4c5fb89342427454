#include <gtest/gtest.h>

#include <regex>
#include <string>

#include "rykbaselog.h"
#include "stringconv.h"
#include "testsupport.h"

TEST(LogFiles, OldDailyFilesOfThisProgramAreRemoved) {
  TempFolder folder;
  const std::string today = CRykBaseLog::TodayFileName("RykInstall");
  struct FileCase {
    std::string name;
    bool kept;
  };
  const FileCase cases[] = {
      {"RykInstall_2023-11-06.log", false},
      {"RykInstall_old.txt", false},
      {today, true},
      {"RykInstall.log", true},
      {"rykinstall_2023-11-05.log", true},  // other case
      {"Other_2023-11-06.log", true},
      {"RykInstallX_2023-11-06.log", true},
  };
  for (const FileCase& c : cases) {
    ASSERT_TRUE(WriteFileBytes(folder / Utf8ToWide(c.name.c_str()), "x"));
  }
  CRykBaseLog::RemoveOldDailyFiles(WideToAnsi(folder.Path()), "RykInstall");
  for (const FileCase& c : cases) {
    EXPECT_EQ(FileExists(folder / Utf8ToWide(c.name.c_str())), c.kept) << c.name;
  }
}

TEST(LogFiles, RecordsFollowThePatternAndTodaysFileIsAppendedTo) {
  TempFolder folder;
  const std::wstring daily =
      folder / Utf8ToWide(CRykBaseLog::TodayFileName("RykInstall").c_str());
  ASSERT_TRUE(WriteFileBytes(daily, "earlier record\r\n"));

  CRykBaseLog::Instance().InitLogger(WideToAnsi(folder / L"RykInstall.log"));
  ASSERT_TRUE(CRykBaseLog::Instance().Logger());
  QLM_LOG("strAppPath:{}", "C:\\Program Files\\Product\\Tools\\");
  LogText("C:\\src\\installmgr.cpp", "KillAllToolProcess", 149, "literal {} braces");

  std::string content = ReadFileBytes(daily);
  EXPECT_FALSE(FileExists(folder / L"RykInstall.log"));
  std::regex expected(
      "earlier record\r\n"
      "\\[\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d\\.\\d{3}\\] \\[info\\] \\[\\d+\\] "
      "\\[rykbaselog_test TestBody: \\d+\\] strAppPath:C:\\\\Program Files\\\\Product\\\\Tools\\\\\r\n"
      "\\[[^\\]]+\\] \\[info\\] \\[\\d+\\] \\[installmgr KillAllToolProcess: 149\\] "
      "literal \\{\\} braces\r\n");
  EXPECT_TRUE(std::regex_match(content, expected)) << content;
}

TEST(LogFiles, AnUnwritableLogLeavesAnEmptyLoggerAndWritesNothing) {
  TempFolder folder;
  // The daily file's name is taken by a folder, so the sink cannot open it.
  const std::wstring daily =
      folder / Utf8ToWide(CRykBaseLog::TodayFileName("RykInstall").c_str());
  ASSERT_TRUE(CreateDirectoryW(daily.c_str(), nullptr));
  CRykBaseLog::Instance().InitLogger(WideToAnsi(folder / L"RykInstall.log"));
  EXPECT_FALSE(CRykBaseLog::Instance().Logger());
  QLM_LOG("nothing {}", 1);
}
