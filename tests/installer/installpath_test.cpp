// The folder rules of the welcome view: completing a picked folder, usable folders, the
// required space and its message.
#include <gtest/gtest.h>

#include "installpath.h"
#include "testsupport.h"

namespace {

TEST(InstallPath, APickedFolderIsCompletedWithTheBaseName) {
  const struct {
    const wchar_t* chosen;
    const wchar_t* completed;
  } cases[] = {
      {L"D:\\Tools", L"D:\\Tools\\Product"},
      {L"D:\\Tools\\Product", L"D:\\Tools\\Product"},
      {L"D:\\", L"D:\\Product"},
      {L"D:\\Tools\\product", L"D:\\Tools\\product\\Product"},
      {L"D:/Tools/", L"D:/Tools/Product"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(CompleteChosenFolder(c.chosen, L"Product"), c.completed) << c.chosen;
  }
  EXPECT_TRUE(CheckDir(L"C:\\a/Product", L"Product"));
  EXPECT_TRUE(CheckDir(L"Product", L"Product"));
  EXPECT_FALSE(CheckDir(L"C:\\Product\\", L"Product"));
}

TEST(InstallPath, OnlyFoldersOnADriveLetterAreUsableAndTheyAreCreated) {
  TempFolder folder(L"qlmpath");
  const std::wstring nested = folder / L"a\\b c\\d";
  EXPECT_TRUE(IsUsableFolder(nested));
  EXPECT_TRUE(FileExists(nested));
  EXPECT_TRUE(IsUsableFolder(nested));
  for (const wchar_t* refused : {L"\\\\server\\share\\dir", L"relative\\dir", L"Q:\\dir", L""}) {
    EXPECT_FALSE(IsUsableFolder(refused)) << refused;
  }
}

TEST(InstallPath, TheRequiredSpaceAndItsMessage) {
  EXPECT_EQ(RequiredDiskSpace(L"211812352"), 211812352u);
  EXPECT_EQ(RequiredDiskSpace(L" 18446744073709551615"), 18446744073709551615ull);
  EXPECT_EQ(RequiredDiskSpace(L"12MB"), 12u);
  EXPECT_EQ(RequiredDiskSpace(L"-5"), 0u);
  EXPECT_EQ(RequiredDiskSpace(L"lots"), 0u);
  EXPECT_EQ(DiskSpaceMessage(211812352),
            L"磁盘剩余可用空间不足,安装程序需要202.00MB的空间来完成安装！");
}

}  // namespace
