// Installers whose payload resource is one solid block that unpacks to 2 GiB install it
// silently with a peak working set under 256 MB: the 32-bit installer never holds the block
// whole. large-single is one LZMA2 block decoded through a window of its 64 MB dictionary;
// large-multi is LZMA2 in 16 MB blocks decoded on several threads, each holding one block.
#include <gtest/gtest.h>
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "7zCrc.h"
#include "scopeguard.h"
#include "stringconv.h"
#include "testsupport.h"

namespace {

constexpr SIZE_T kPeakLimit = static_cast<SIZE_T>(256) << 20;

// Runs a command line to its end and reports the process's peak working set (0 when it did
// not start or did not end within the timeout). The counters are read while the process still
// exists, so the loop polls until it ends.
SIZE_T RunForPeakWorkingSet(const std::wstring& commandLine, DWORD timeoutMs) {
  PROCESS_INFORMATION info;
  if (!StartProcess(commandLine, info)) return 0;
  UniqueHandle process(info.hProcess);
  UniqueHandle thread(info.hThread);
  SIZE_T peak = 0;
  const DWORD start = GetTickCount();
  DWORD wait;
  do {
    wait = WaitForSingleObject(process.Get(), 50);
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof(counters);
    if (GetProcessMemoryInfo(process.Get(), &counters, sizeof(counters))) {
      peak = std::max(peak, counters.PeakWorkingSetSize);
    }
  } while (wait == WAIT_TIMEOUT && GetTickCount() - start < timeoutMs);
  if (wait != WAIT_OBJECT_0) {
    TerminateProcess(process.Get(), 1);
    peak = 0;
  }
  return peak;
}

// CRC-32 of a file, read in pieces; 0 with *size ~0 when it cannot be read.
UInt32 FileCrc(const std::wstring& path, unsigned long long* size) {
  *size = ~0ull;
  UniqueHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (!file) return 0;
  std::vector<char> buffer(1 << 20);
  UInt32 crc = CRC_INIT_VAL;
  unsigned long long total = 0;
  DWORD read = 0;
  while (ReadFile(file.Get(), buffer.data(), static_cast<DWORD>(buffer.size()), &read, nullptr) &&
         read != 0) {
    crc = CrcUpdate(crc, buffer.data(), read);
    total += read;
  }
  *size = total;
  return CRC_GET_DIGEST(crc);
}

class LargePayload : public ::testing::TestWithParam<const wchar_t*> {};

TEST_P(LargePayload, TwoGiBSolidBlockInstallsUnder256MB) {
  CrcGenerateTable();
  TempFolder dest(L"qlmlarge");
  TempFolder result(L"qlmlargeresult");
  const std::wstring resultFile = result / L"result.txt";
  SetEnvironmentVariableW(L"QLM_LARGE_DEST", dest.Path().c_str());
  SetEnvironmentVariableW(L"QLM_LARGE_RESULT", resultFile.c_str());
  const std::wstring installer = BinFolder() + L"qlm_large_" + GetParam() + L"_installer.exe";
  const SIZE_T peak = RunForPeakWorkingSet(L"\"" + installer + L"\" /InstallSlience true", 2700000);
  std::printf("large-%ls: peak working set %lu bytes (%.1f MB)\n", GetParam(),
              static_cast<unsigned long>(peak), peak / 1048576.0);
  RecordProperty("peak_working_set", std::to_string(peak));
  ASSERT_NE(0u, peak);
  EXPECT_LT(peak, kPeakLimit);
  EXPECT_EQ("true", ReadFileBytes(resultFile));

  std::istringstream manifest(ReadFileBytes(ModuleFolder() + L"payload-large\\manifest.txt"));
  unsigned long long total = 0;
  std::string line;
  while (std::getline(manifest, line)) {
    std::istringstream fields(line);
    unsigned long long size = 0;
    std::string crc;
    std::string name;
    fields >> size >> crc;
    std::getline(fields >> std::ws, name);
    std::wstring path = dest.Path() + L"\\" + Utf8ToWide(name.c_str());
    for (wchar_t& c : path) c = c == L'/' ? L'\\' : c;
    unsigned long long actualSize = 0;
    const UInt32 actualCrc = FileCrc(path, &actualSize);
    ASSERT_EQ(size, actualSize) << name;
    EXPECT_EQ(std::stoul(crc, nullptr, 16), actualCrc) << name;
    total += size;
  }
  EXPECT_EQ(2048ull << 20, total);
}

INSTANTIATE_TEST_SUITE_P(Payloads, LargePayload, ::testing::Values(L"single", L"multi"));

}  // namespace
