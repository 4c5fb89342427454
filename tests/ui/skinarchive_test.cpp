#include <string>

#include "skintestsupport.h"
#include "uimarkup.h"
#include "uiresource.h"

namespace {

const std::wstring kLong255 = L"long/" + std::wstring(246, L'a') + L".xml";
const std::wstring kLong256 = L"long/" + std::wstring(247, L'b') + L".xml";

std::wstring LoadRootName(const std::wstring& name, std::wstring* error = nullptr) {
  CMarkup markup;
  bool loaded = markup.LoadFromFile(name);
  if (error != nullptr) *error = markup.LastErrorMessage();
  if (!loaded) {
    EXPECT_TRUE(markup.LastErrorLocation().empty());
  }
  return loaded && markup.Root().IsValid() ? std::wstring(markup.Root().Name()) : L"";
}

}  // namespace

using SkinArchiveTest = SkinTest;

TEST_F(SkinArchiveTest, ArchivesFindEntriesByAnySeparatorAndCase) {
  struct {
    const wchar_t* file;
    const wchar_t* password;
  } archives[] = {
      {L"skin_stored.zip", L""},
      {L"skin_deflated.zip", L""},
      {L"skin_encrypted.zip", L"geheim"},
  };
  for (const auto& a : archives) {
    SCOPED_TRACE(testing::Message() << std::string(a.file, a.file + wcslen(a.file)));
    Reset();
    UseMemoryArchive(a.file, a.password);
    EXPECT_EQ(CPaintManagerUI::GetResourceArchive(), L"membuffer");
    EXPECT_TRUE(CPaintManagerUI::IsCachedResourceArchive());
    std::wstring error;
    EXPECT_EQ(LoadRootName(L"Layout/Layout.xml", &error), L"Window") << error.c_str();
    EXPECT_EQ(LoadRootName(L"Layout\\Layout.xml"), L"Window");
    EXPECT_EQ(LoadRootName(L"LAYOUT/layout.XML"), L"Window");
    EXPECT_EQ(LoadRootName(kLong255), L"A");
    EXPECT_EQ(LoadRootName(kLong256, &error), L"");
    EXPECT_EQ(error, L"Could not find ziped file");
    EXPECT_EQ(LoadRootName(L"Layout/Missing.xml", &error), L"");
    EXPECT_EQ(error, L"Could not find ziped file");
    CPaintManagerUI manager;
    const ImageInfo* image = manager.FindOrLoadImage(L"Image\\btn.PNG");
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->width, 8);
  }
}

TEST_F(SkinArchiveTest, WrongPasswordAndDamagedEntriesGiveNoData) {
  struct {
    const wchar_t* file;
    const wchar_t* password;
    const wchar_t* entry;
    const wchar_t* error;
  } cases[] = {
      {L"skin_encrypted.zip", L"falsch", L"Layout/Layout.xml", L"Could not unzip file"},
      {L"skin_encrypted.zip", L"", L"Layout/Layout.xml", L"Could not unzip file"},
      {L"skin_encrypted.zip", L"falsch", kLong255.c_str(), L"Could not unzip file"},
      {L"skin_damaged.zip", L"", L"a.xml", L"Could not unzip file"},
      {L"solid.png", L"", L"a.xml", L"Error opening zip file"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << std::string(c.file, c.file + wcslen(c.file)));
    Reset();
    UseMemoryArchive(c.file, c.password);
    std::wstring error;
    EXPECT_EQ(LoadRootName(c.entry, &error), L"");
    EXPECT_EQ(error, c.error);
    std::vector<BYTE> bytes;
    EXPECT_FALSE(ReadSkinAssetFile(L"Image/Btn.png", bytes));
  }
}

TEST_F(SkinArchiveTest, SecondMemoryArchiveIsIgnored) {
  UseMemoryArchive(L"skin_deflated.zip", L"");
  std::string other = ReadFileBytes(UiDataFolder() + L"skin_damaged.zip");
  CPaintManagerUI::SetResourceArchive(other.data(), other.size(), L"x");
  EXPECT_EQ(CPaintManagerUI::GetResourceArchivePassword(), L"");
  EXPECT_EQ(LoadRootName(L"Layout/Layout.xml"), L"Window");
}

TEST_F(SkinArchiveTest, ArchiveFileUnderTheResourcePath) {
  CPaintManagerUI::SetResourcePath(UiDataFolder().c_str());
  CPaintManagerUI::SetResourceArchiveFile(L"skin_encrypted.zip", L"geheim");
  EXPECT_FALSE(CPaintManagerUI::IsCachedResourceArchive());
  EXPECT_EQ(LoadRootName(L"Layout\\Layout.xml"), L"Window");
  EXPECT_TRUE(SkinFileExists(L"Image/Btn@200.png"));
  EXPECT_FALSE(SkinFileExists(L"Image/Plain@200.png"));
  CPaintManagerUI::SetResourceArchiveFile(L"missing.zip", L"");
  std::wstring error;
  LoadRootName(L"Layout/Layout.xml", &error);
  EXPECT_EQ(error, L"Error opening zip file");
}

TEST_F(SkinArchiveTest, FolderFilesAndTheirErrors) {
  TempFolder folder(L"qlmskin");
  std::string fits = "<A>" + std::string(CMarkup::kMaxFileSize - 7, ' ') + "</A>";
  ASSERT_EQ(fits.size(), CMarkup::kMaxFileSize);
  ASSERT_TRUE(WriteFileBytes(folder / L"fits.xml", fits));
  ASSERT_TRUE(WriteFileBytes(folder / L"large.xml", fits + " "));
  ASSERT_TRUE(WriteFileBytes(folder / L"empty.xml", ""));
  // Without a trailing separator the path gets a backslash.
  CPaintManagerUI::SetResourcePath(folder.Path().c_str());
  EXPECT_EQ(CPaintManagerUI::GetResourcePath(), folder.Path() + L"\\");

  EXPECT_EQ(LoadRootName(L"fits.xml"), L"A");
  std::wstring error;
  EXPECT_EQ(LoadRootName(L"large.xml", &error), L"");
  EXPECT_EQ(error, L"File too large");
  EXPECT_EQ(LoadRootName(L"empty.xml", &error), L"");
  EXPECT_EQ(error, L"File is empty");
  EXPECT_EQ(LoadRootName(L"missing.xml", &error), L"");
  EXPECT_EQ(error, L"Error opening file");

  // Images fall back to the name as a path when the skin has no such file.
  std::vector<BYTE> bytes;
  EXPECT_TRUE(ReadSkinAssetFile(UiDataFolder() + L"solid.png", bytes));
  EXPECT_FALSE(ReadSkinAssetFile(L"solid.png", bytes));
}
