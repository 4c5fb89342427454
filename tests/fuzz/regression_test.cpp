// Every input that fuzzing found (tests/fuzz/regressions/<target>/<name>) replayed through the
// parser's ordinary entry, with the refusal or result that the parser gives it now.
#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "fuzzinput.h"
#include "uiimagedecode.h"
#include "uiresourcezip.h"
#include "uivalues.h"

namespace {

std::vector<BYTE> Finding(const std::string& target, const std::string& name) {
  std::ifstream file(std::string(QLM_FUZZ_REGRESSIONS) + "/" + target + "/" + name,
                     std::ios::binary);
  EXPECT_TRUE(file.good()) << target << "/" << name;
  return std::vector<BYTE>(std::istreambuf_iterator<char>(file), {});
}

TEST(FuzzFindings, MarkupNumbersBeyond32BitsStayAtTheLimit) {
  const std::vector<BYTE> finding = Finding("values", "int-overflow");
  const std::wstring text = Utf16Text(finding.data(), finding.size());
  EXPECT_EQ(ParseMarkupInt(text.c_str()), 2147483647);
  EXPECT_EQ(ParseMarkupRect(text.c_str()).left, 2147483647);
  EXPECT_EQ(ParseMarkupInt(L"-99999999999"), -2147483647 - 1);
  EXPECT_EQ(ParseImageRect(L"1,-99999999999").top, -2147483647 - 1);
}

TEST(FuzzFindings, RasterImagesThatWouldOverrunOrExhaustTheDecoderAreRefused) {
  for (const char* name : {"jpeg-huffman-overflow", "jpeg-huffman-overflow-fill",
                           "jpeg-huffman-overflow-cut-short", "huge-dimensions",
                           "png-chunk-beyond-file"}) {
    SCOPED_TRACE(name);
    std::vector<BYTE> rgba;
    int width = 0;
    int height = 0;
    EXPECT_FALSE(DecodeRasterImage(Finding("rasterimage", name), rgba, width, height));
    EXPECT_TRUE(rgba.empty());
  }
}

TEST(FuzzFindings, SvgEdgesRoundedOutsideTheColumnsRenderWithinTheBitmap) {
  std::vector<BYTE> input = Finding("svgimage", "raster-column-overflow");
  ASSERT_FALSE(input.empty());
  const double scale = input[0] % 2 == 0 ? 1.0 : 2.0;
  std::vector<BYTE> document(input.begin() + 1, input.end());
  std::vector<BYTE> rgba;
  int width = 0;
  int height = 0;
  ASSERT_TRUE(DecodeSvgImage(document, scale, rgba, width, height));
  EXPECT_EQ(rgba.size(), static_cast<size_t>(width) * height * 4);
}

TEST(FuzzFindings, ZipEntryClaimingMorePackedBytesThanTheArchiveFailsToUnzip) {
  std::vector<BYTE> zip = Finding("skinzip", "packed-size-beyond-archive");
  auto archive = CSkinArchive::OpenMemory(zip.data(), zip.size(), L"");
  ASSERT_TRUE(archive);
  std::vector<BYTE> bytes;
  EXPECT_EQ(archive->Read(L"Layout/Layout.xml", 4 * 1024 * 1024, bytes),
            CSkinArchive::ReadResult::kUnzipFailed);
  EXPECT_TRUE(bytes.empty());
}

}  // namespace
