// Compares the renderer with rsvg-convert's images of the same documents (rendered at build
// time, see make_references.cmake) and reports the difference of every document.
#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#include <stb/stb_image.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "svg/svgrender.h"
#include "svgcases.h"
#include "testsupport.h"

namespace {

// Mean absolute channel error, in percent of full scale, that the documents may show on average
// at each zoom, and that no single document may exceed.
constexpr double kMaxAverageError = 2.0;
constexpr double kMaxDocumentError = 5.0;
const int kZooms[] = {1, 2};

struct Case {
  std::string name;  // as the reference images are named
  std::string svg;
};

std::wstring Widen(const std::string& s) { return std::wstring(s.begin(), s.end()); }

// Installed files are named <folder>_<file name without .svg>, as by make_references.cmake.
std::string InstalledName(const std::string& path) {
  size_t slash = path.rfind('/');
  size_t folderSlash = path.rfind('/', slash - 1);
  std::string folder = path.substr(folderSlash + 1, slash - folderSlash - 1);
  std::string file = path.substr(slash + 1);
  return folder + "_" + file.substr(0, file.size() - 4);
}

// Mean absolute difference of the premultiplied channels, in percent; negative when the
// sizes differ.
double MeanError(const SvgBitmap& mine, const unsigned char* ref, int w, int h) {
  if (mine.width != w || mine.height != h) return -1;
  double sum = 0;
  for (size_t i = 0; i < mine.rgba.size(); i += 4) {
    double aMine = mine.rgba[i + 3], aRef = ref[i + 3];
    for (int c = 0; c < 3; ++c) {
      sum += std::fabs(mine.rgba[i + c] * aMine - ref[i + c] * aRef) / 255.0;
    }
    sum += std::fabs(aMine - aRef);
  }
  return sum / (mine.rgba.size() * 255.0) * 100.0;
}

void CompareWithReferences(const std::vector<Case>& cases) {
  for (int zoom : kZooms) {
    double total = 0;
    for (const Case& c : cases) {
      SCOPED_TRACE(c.name + " at zoom " + std::to_string(zoom));
      ASSERT_FALSE(c.svg.empty()) << "document not readable";
      std::string png = ReadFileBytes(ModuleFolder() + L"svgref\\" + Widen(c.name) + L"@" +
                                      std::to_wstring(zoom) + L".png");
      int w = 0, h = 0, n = 0;
      unsigned char* ref = stbi_load_from_memory(
          reinterpret_cast<const stbi_uc*>(png.data()), static_cast<int>(png.size()), &w, &h, &n, 4);
      ASSERT_NE(ref, nullptr) << "reference image missing";
      SvgBitmap mine;
      bool rendered = RenderSvg(c.svg.data(), c.svg.size(), zoom, mine);
      double error = rendered ? MeanError(mine, ref, w, h) : -1;
      stbi_image_free(ref);
      ASSERT_TRUE(rendered);
      ASSERT_GE(error, 0) << "size " << mine.width << "x" << mine.height << " instead of " << w
                          << "x" << h;
      printf("svg similarity: %-32s zoom %d  mean channel error %6.3f %%\n", c.name.c_str(),
             zoom, error);
      EXPECT_LT(error, kMaxDocumentError);
      total += error;
    }
    double average = total / cases.size();
    printf("svg similarity: average at zoom %d over %u documents: %6.3f %%\n", zoom,
           static_cast<unsigned>(cases.size()), average);
    EXPECT_LT(average, kMaxAverageError) << "zoom " << zoom;
  }
}

TEST(SvgOracle, InstalledIconsMatchRsvg) {
  std::vector<Case> cases;
  for (const char* path : kInstalledFiles) {
    std::wstring windowsPath = L"Z:" + Widen(path);
    for (wchar_t& ch : windowsPath) {
      if (ch == L'/') ch = L'\\';
    }
    cases.push_back({InstalledName(path), ReadFileBytes(windowsPath)});
  }
  CompareWithReferences(cases);
}

TEST(SvgOracle, HandWrittenFixturesMatchRsvg) {
  std::vector<Case> cases;
  for (const SvgFixture& f : kFixtures) cases.push_back({f.name, f.svg});
  CompareWithReferences(cases);
}

}  // namespace
