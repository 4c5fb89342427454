// Extraction in pieces: every codec and filter gives 7zz's tree from a memory stream (as the
// payload resource is read) and from a file, with pieces that split items, filter state and
// CRC regions at odd places, and on several threads; damaged archives give the status that
// whole-block decoding gives and leave no damaged file; the parallel LZMA2 decoder gives the
// single-thread decoder's bytes and status, and reports running out of memory on its threads.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <set>
#include <tuple>

#include "archivefixture.h"
#include "archiveinput.h"
#include "lzma2blocks.h"
#include "lzmastream.h"
#include "memoryinstream.h"
#include "parallellzma2.h"
#include "payloadfixture.h"
#include "scopeguard.h"
#include "stringconv.h"
#include "testsupport.h"

namespace {

DecodeLimits Limits(size_t inputPiece, size_t outputPiece, unsigned threads,
                    size_t parallelMemory) {
  DecodeLimits limits;
  limits.inputPiece = inputPiece;
  limits.outputPiece = outputPiece;
  limits.threads = threads;
  limits.parallelMemory = parallelMemory;
  return limits;
}

struct LimitsCase {
  const char* label;
  DecodeLimits limits;
};

// The test archives' LZMA2 blocks hold 64 KB: 1 MB of block buffers is room for 3 threads.
const LimitsCase kLimits[] = {
    {"default", DecodeLimits()},
    {"odd pieces, one thread", Limits(7, 1021, 1, DecodeLimits().parallelMemory)},
    {"odd pieces, three threads", Limits(509, 4099, 3, 1 << 20)},
};

const wchar_t* const kArchives[] = {
    L"lzma",  L"lzma-nonsolid", L"lzma2", L"lzma2-nonsolid", L"copy",  L"bcj",
    L"bcj2",  L"arm",           L"arm-nonsolid", L"ppmd",    L"delta", L"armt",
    L"arm64", L"ppc",           L"sparc", L"ia64",           L"riscv", L"lzma2-mt",
    L"bcj-mt", L"bcj2-code"};

// ---- every archive, both sources, every set of limits ----

class PiecesTest
    : public ::testing::TestWithParam<std::tuple<const wchar_t*, LimitsCase, Source>> {};

TEST_P(PiecesTest, TreeEqualsReference) {
  const wchar_t* name = std::get<0>(GetParam());
  const LimitsCase& limits = std::get<1>(GetParam());
  const bool memory = std::get<2>(GetParam()) == Source::kMemory;
  TempFolder dest(L"qlmpiece");
  EXPECT_EQ(SZ_OK, ExtractBytes(ReadArchive(name), dest.Path(), limits.limits,
                                std::get<2>(GetParam())))
      << limits.label << (memory ? ", memory" : ", file");
  EXPECT_EQ(L"", CompareTrees(dest.Path(), PayloadData() + L"\\ref\\" + name))
      << limits.label << (memory ? ", memory" : ", file");
}

INSTANTIATE_TEST_SUITE_P(Archives, PiecesTest,
                         ::testing::Combine(::testing::ValuesIn(kArchives),
                                            ::testing::ValuesIn(kLimits),
                                            ::testing::Values(Source::kMemory, Source::kFile)));

// ---- an item skipped in the middle of a solid block ----

TEST(Pieces, ItemSkippedInTheMiddleOfASolidBlock) {
  // The create-error callback skips a file that is held open; its bytes are still decoded on
  // the way to the next item, which comes out whole.
  const std::vector<ArchiveItem> items = ListItems(ReadArchive(L"lzma2-mt"));
  std::vector<ArchiveItem> inBlock;
  for (const ArchiveItem& item : items) {
    if (item.hasData) inBlock.push_back(item);
  }
  ASSERT_GE(inBlock.size(), 3u);
  const std::wstring skipped = inBlock[inBlock.size() / 2].name;
  TempFolder dest(L"qlmskip");
  const std::wstring held = dest / skipped;
  for (size_t at = held.find(L'\\', dest.Path().size() + 1); at != std::wstring::npos;
       at = held.find(L'\\', at + 1)) {
    CreateDirectoryW(held.substr(0, at).c_str(), nullptr);
  }
  HANDLE block = CreateFileW(held.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, block);
  SetGlobalPath("SRC", PayloadData() + L"\\lzma2-mt.7z");
  SetGlobalPath("DEST", dest.Path());
  RunScript("skips = 0");
  const bool result = RunBool(
      "return Lua_UnCompress7z(SRC, DEST, true, nil, function() skips = skips + 1 return 1 end)");
  CloseHandle(block);
  EXPECT_TRUE(result);
  EXPECT_EQ(1, GetGlobalInt("skips"));
  EXPECT_EQ("", ReadFileBytes(held));
  const std::wstring ref = PayloadData() + L"\\ref\\lzma2-mt";
  for (const ArchiveItem& item : inBlock) {
    if (item.name == skipped) continue;
    EXPECT_EQ(ReadFileBytes(ref + L"\\" + item.name), ReadFileBytes(dest / item.name))
        << WideToUtf8(item.name);
  }
}

// ---- damaged archives ----

struct Damage {
  const char* label;
  // Damages the archive; returns the CRC of the one item it breaks, or 0 for damage to the
  // packed data; false when the archive is not as expected.
  bool (*apply)(std::string& archive, UInt32* brokenCrc);
};

bool BreakItem(std::string& archive, UInt32* brokenCrc, bool last) {
  std::vector<ArchiveItem> items = ListItems(archive);
  std::vector<ArchiveItem> inFirst;
  for (const ArchiveItem& item : items) {
    if (item.hasData && item.folder == 0 && item.hasCrc) inFirst.push_back(item);
  }
  if (inFirst.size() < 2) return false;
  *brokenCrc = (last ? inFirst.back() : inFirst[inFirst.size() / 2]).crc;
  return BreakItemCrc(archive, *brokenCrc);
}

const Damage kDamages[] = {
    {"truncated packed stream",
     [](std::string& a, UInt32*) { return HalveFirstPackSize(a); }},
    {"flipped byte in the middle of the packed data",
     [](std::string& a, UInt32*) {
       const FirstFolder folder = ReadFirstFolder(a);
       a[static_cast<size_t>(folder.packStart + folder.packSize / 2)] ^= 0x40;
       return folder.packSize != 0;
     }},
    {"bad CRC of an item in the middle of the block",
     [](std::string& a, UInt32* crc) { return BreakItem(a, crc, false); }},
    {"bad CRC of the block's last item",
     [](std::string& a, UInt32* crc) { return BreakItem(a, crc, true); }},
};

// Solid archives whose first folder holds several items.
const wchar_t* const kDamagedArchives[] = {L"lzma",      L"lzma2", L"lzma2-mt", L"bcj-mt",
                                           L"bcj2-code", L"ppmd",  L"delta"};

class DamageStatusTest
    : public ::testing::TestWithParam<std::tuple<const wchar_t*, Damage, LimitsCase>> {};

TEST_P(DamageStatusTest, SameStatusAsWholeBlockAndNoDamagedFile) {
  const wchar_t* name = std::get<0>(GetParam());
  const Damage& damage = std::get<1>(GetParam());
  const LimitsCase& limits = std::get<2>(GetParam());
  const std::string label = std::string(damage.label) + ", " + limits.label;
  std::string archive = ReadArchive(name);
  UInt32 brokenCrc = 0;
  ASSERT_TRUE(damage.apply(archive, &brokenCrc)) << label;
  const SRes expected = WholeBlockStatus(archive);
  ASSERT_NE(SZ_OK, expected) << label;

  TempFolder dest(L"qlmdmg");
  EXPECT_EQ(expected, ExtractBytes(archive, dest.Path(), limits.limits, Source::kMemory))
      << label;
  // Whatever was written is the reference; after the broken item nothing is written.
  const std::wstring ref = PayloadData() + L"\\ref\\" + name;
  bool broken = false;
  for (const ArchiveItem& item : ListItems(ReadArchive(name))) {
    if (!item.hasData) continue;
    const std::wstring path = dest / item.name;
    if (FileExists(path)) {
      EXPECT_FALSE(broken) << label << ": written after the broken item: " << WideToUtf8(path);
      EXPECT_EQ(ReadFileBytes(ref + L"\\" + item.name), ReadFileBytes(path))
          << label << ": " << WideToUtf8(path);
      continue;
    }
    // The first missing item is the broken one, when the damage is to one item's CRC.
    if (!broken && brokenCrc != 0) {
      EXPECT_EQ(brokenCrc, item.crc) << label << ": missing " << WideToUtf8(path);
    }
    broken = true;
  }
  EXPECT_TRUE(broken) << label;
}

INSTANTIATE_TEST_SUITE_P(Archives, DamageStatusTest,
                         ::testing::Combine(::testing::ValuesIn(kDamagedArchives),
                                            ::testing::ValuesIn(kDamages),
                                            ::testing::Values(kLimits[1], kLimits[2])));

// ---- the parallel LZMA2 decoder against the single-thread one ----

struct Output {
  std::string bytes;
  SRes status = SZ_OK;
};

Output ReadAll(DecodedStream& stream) {
  Output out;
  for (;;) {
    const Byte* data;
    size_t size;
    out.status = stream.Look(&data, &size);
    if (out.status != SZ_OK) return out;
    if (size == 0) break;
    out.bytes.append(reinterpret_cast<const char*>(data), size);
    stream.Skip(size);
  }
  out.status = stream.Finish();
  return out;
}

struct BlockDamage {
  const char* label;
  // Damages the middle block (of the archive's LZMA2 blocks) in place.
  void (*apply)(std::string& archive, const Lzma2Block& block);
};

const BlockDamage kBlockDamages[] = {
    {"intact", [](std::string&, const Lzma2Block&) {}},
    {"flipped byte in the middle block's data",
     [](std::string& a, const Lzma2Block& b) {
       a[static_cast<size_t>(b.packStart + (b.packEnd - b.packStart) / 2)] ^= 0x40;
     }},
    {"invalid control byte at the middle block",
     [](std::string& a, const Lzma2Block& b) { a[static_cast<size_t>(b.packStart)] = 3; }},
};

TEST(ParallelLzma2, GivesTheSingleThreadBytesAndStatus) {
  const DecodeLimits limits = kLimits[2].limits;
  for (const BlockDamage& damage : kBlockDamages) {
    std::string archive = ReadArchive(L"lzma2-mt");
    const FirstFolder folder = ReadFirstFolder(archive);
    ASSERT_EQ(1u, folder.props.size());
    std::vector<Lzma2Block> blocks;
    {
      MemoryInStream stream(reinterpret_cast<const Byte*>(archive.data()), archive.size());
      ArchiveInput input(stream.Stream());
      Lzma2BlockScanner scanner(input, folder.packStart, folder.packSize, folder.unpackSize,
                                ~static_cast<UInt64>(0));
      Lzma2Block block;
      while (scanner.Next(&block)) blocks.push_back(block);
    }
    ASSERT_GE(blocks.size(), 6u);
    // A middle block whose first chunk is LZMA-compressed, so that damage shows in decoding.
    const Lzma2Block& middle = blocks[3];
    ASSERT_GE(static_cast<Byte>(archive[static_cast<size_t>(middle.packStart)]), 0xE0);
    damage.apply(archive, middle);

    MemoryInStream stream(reinterpret_cast<const Byte*>(archive.data()), archive.size());
    ArchiveInput input(stream.Stream());
    LzmaStream single(LzmaStream::Kind::kLzma2,
                      PackReader(input, folder.packStart, folder.packSize, limits.inputPiece),
                      folder.unpackSize, limits.outputPiece);
    ASSERT_EQ(SZ_OK, single.Init(reinterpret_cast<const Byte*>(folder.props.data()), 1));
    const Output expected = ReadAll(single);

    std::unique_ptr<DecodedStream> parallel;
    ASSERT_EQ(SZ_OK, ParallelLzma2Stream::Create(input, folder.packStart, folder.packSize,
                                                 static_cast<Byte>(folder.props[0]),
                                                 folder.unpackSize, limits, &parallel));
    ASSERT_NE(nullptr, dynamic_cast<ParallelLzma2Stream*>(parallel.get())) << damage.label;
    const Output actual = ReadAll(*parallel);

    EXPECT_EQ(expected.status, actual.status) << damage.label;
    // Both hand on a prefix of the same output; intact, the whole of it.
    const size_t common = std::min(expected.bytes.size(), actual.bytes.size());
    EXPECT_EQ(expected.bytes.substr(0, common), actual.bytes.substr(0, common)) << damage.label;
    if (expected.status == SZ_OK) {
      EXPECT_EQ(folder.unpackSize, actual.bytes.size()) << damage.label;
      EXPECT_EQ(expected.bytes, actual.bytes) << damage.label;
    } else {
      EXPECT_GE(actual.bytes.size(), blocks[3].unpackStart) << damage.label;
    }
  }
}

// ---- running out of memory on a decoding thread ----

// Armed with the test's thread, this program's allocations fail once: the one that grows the
// parallel decoder's block list from one block to two, when another thread makes it.
std::atomic<DWORD> g_armedBy{0};
std::atomic<bool> g_failed{false};

}  // namespace

void* operator new(std::size_t size) {
  DWORD armedBy = g_armedBy;
  if (armedBy != 0 && size == 2 * sizeof(Lzma2Block) && GetCurrentThreadId() != armedBy &&
      g_armedBy.compare_exchange_strong(armedBy, 0)) {
    g_failed = true;
    throw std::bad_alloc();
  }
  if (void* memory = std::malloc(size != 0 ? size : 1)) return memory;
  throw std::bad_alloc();
}

namespace {

TEST(ParallelLzma2, NoMemoryOnADecodingThreadEndsTheStreamNotTheProcess) {
  const std::string archive = ReadArchive(L"lzma2-mt");
  const FirstFolder folder = ReadFirstFolder(archive);
  MemoryInStream stream(reinterpret_cast<const Byte*>(archive.data()), archive.size());
  ArchiveInput input(stream.Stream());
  g_failed = false;
  g_armedBy = GetCurrentThreadId();
  auto disarm = MakeScopeGuard([] { g_armedBy = 0; });
  std::unique_ptr<DecodedStream> parallel;
  ASSERT_EQ(SZ_OK, ParallelLzma2Stream::Create(input, folder.packStart, folder.packSize,
                                               static_cast<Byte>(folder.props[0]),
                                               folder.unpackSize, kLimits[2].limits, &parallel));
  ASSERT_NE(nullptr, dynamic_cast<ParallelLzma2Stream*>(parallel.get()));
  // A thread asks for the second block as it starts; nothing is read before that failed.
  for (int waited = 0; waited < 10000 && !g_failed; ++waited) Sleep(1);
  ASSERT_TRUE(g_failed);
  EXPECT_EQ(SZ_ERROR_MEM, ReadAll(*parallel).status);
}

}  // namespace
