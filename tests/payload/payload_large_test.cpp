// An installer whose payload resource is one solid block of at least 550 MiB installs it
// silently: the large-address-aware process holds the resource, its copy and the decoded
// block at once.
#include <gtest/gtest.h>

#include <sstream>

#include "testsupport.h"

namespace {

std::wstring Widen(const std::string& text) {
  int units = MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, nullptr, 0);
  std::wstring wide(units, L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, &wide[0], units);
  wide.resize(units - 1);
  return wide;
}

unsigned long long FileSize(const std::wstring& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return ~0ull;
  return (static_cast<unsigned long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

TEST(LargePayload, SingleSolidBlockOfAtLeast550MiBInstalls) {
  TempFolder dest(L"qlmlarge");
  TempFolder result(L"qlmlargeresult");
  std::wstring resultFile = result / L"result.txt";
  SetEnvironmentVariableW(L"QLM_LARGE_DEST", dest.Path().c_str());
  SetEnvironmentVariableW(L"QLM_LARGE_RESULT", resultFile.c_str());
  ProcessResult run = RunProcess(L"\"" + ModuleFolder() +
                                     L"..\\bin\\qlm_large_installer.exe\" /InstallSlience true",
                                 2700000);
  ASSERT_TRUE(run.finished);
  EXPECT_EQ("true", ReadFileBytes(resultFile));

  std::istringstream manifest(ReadFileBytes(ModuleFolder() + L"payload-large\\manifest.txt"));
  ASSERT_FALSE(manifest.str().empty());
  unsigned long long total = 0;
  int files = 0;
  std::string line;
  while (std::getline(manifest, line)) {
    std::istringstream fields(line);
    unsigned long long size = 0;
    std::string name;
    fields >> size;
    std::getline(fields >> std::ws, name);
    std::wstring path = dest.Path() + L"\\" + Widen(name);
    for (wchar_t& c : path) c = c == L'/' ? L'\\' : c;
    ASSERT_EQ(size, FileSize(path)) << name;
    total += size;
    ++files;
  }
  EXPECT_GE(total, 550ull * 1024 * 1024);
  EXPECT_GT(files, 0);
}

}  // namespace
