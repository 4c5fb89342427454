#include <cstdlib>
#include <vector>

#include "skintestsupport.h"
#include "uialphablend.h"
#include "uiimage.h"
#include "uirender.h"

namespace {

constexpr DWORD kWhite = 0xFFFFFF;
constexpr DWORD kRed = 0xFF0000;
constexpr DWORD kGreen = 0x00FF00;
constexpr DWORD kBlue = 0x0000FF;

// A white 32-bit top-down memory bitmap selected into its own device context.
class Canvas {
 public:
  Canvas(int width, int height) : width_(width) {
    void* bits = nullptr;
    bitmap_ = CreateTopDownDib(nullptr, width, height, &bits);
    bits_ = static_cast<DWORD*>(bits);
    for (int i = 0; i < width * height; ++i) bits_[i] = kWhite;
    dc_ = CreateCompatibleDC(nullptr);
    old_ = SelectObject(dc_, bitmap_);
  }
  ~Canvas() {
    SelectObject(dc_, old_);
    DeleteDC(dc_);
    DeleteObject(bitmap_);
  }
  HDC Dc() const { return dc_; }
  DWORD Rgb(int x, int y) const {
    GdiFlush();
    return bits_[y * width_ + x] & 0xFFFFFF;
  }

 private:
  int width_;
  HBITMAP bitmap_;
  DWORD* bits_;
  HDC dc_;
  HGDIOBJ old_;
};

// An opaque image from 0xRRGGBB pixels, row by row.
std::unique_ptr<ImageInfo> MakeImage(int width, int height, const std::vector<DWORD>& colours,
                                     BYTE alpha = 255) {
  std::vector<BYTE> rgba;
  for (DWORD c : colours) {
    rgba.push_back(static_cast<BYTE>(c >> 16));
    rgba.push_back(static_cast<BYTE>(c >> 8));
    rgba.push_back(static_cast<BYTE>(c));
    rgba.push_back(alpha);
  }
  return CreateImageFromRgba(rgba.data(), width, height, 0);
}

bool Near(DWORD a, DWORD b, int tolerance) {
  for (int shift = 0; shift < 24; shift += 8) {
    if (std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)) > tolerance) {
      return false;
    }
  }
  return true;
}

struct PixelCheck {
  int x;
  int y;
  DWORD rgb;
};

void ExpectPixels(const Canvas& canvas, const std::vector<PixelCheck>& checks) {
  for (const PixelCheck& c : checks) {
    EXPECT_EQ(canvas.Rgb(c.x, c.y), c.rgb) << "pixel " << c.x << "," << c.y;
  }
}

const RECT kEverything = {0, 0, 1000, 1000};

}  // namespace

using RenderTest = SkinTest;

TEST_F(RenderTest, NineGridKeepsCornersAndStretchesEdges) {
  UseSkinFolder();
  CPaintManagerUI manager;
  // Grid.png: 6x6, 2-pixel red corners, green edges, blue centre.
  const std::vector<PixelCheck> frame = {
      {0, 0, kRed}, {1, 1, kRed}, {2, 0, kGreen}, {28, 0, kRed}, {29, 19, kRed}, {0, 18, kRed},
      {27, 0, kGreen}, {15, 1, kGreen}, {0, 10, kGreen}, {29, 10, kGreen}, {15, 19, kGreen},
  };
  Canvas canvas(30, 20);
  ASSERT_TRUE(DrawImageString(canvas.Dc(), &manager, RECT{0, 0, 30, 20}, kEverything,
                              L"file='Image/Grid.png' corner='2,2,2,2'"));
  ExpectPixels(canvas, frame);
  ExpectPixels(canvas, {{2, 2, kBlue}, {15, 10, kBlue}, {27, 17, kBlue}});

  Canvas holed(30, 20);
  ASSERT_TRUE(DrawImageString(holed.Dc(), &manager, RECT{0, 0, 30, 20}, kEverything,
                              L"file='Image/Grid.png' corner='2,2,2,2' hole='true'"));
  ExpectPixels(holed, frame);
  ExpectPixels(holed, {{2, 2, kWhite}, {15, 10, kWhite}, {27, 17, kWhite}});
}

TEST_F(RenderTest, TilingCutsTheLastTile) {
  auto row = MakeImage(3, 1, {kRed, kGreen, kBlue});
  Canvas x(10, 3);
  DrawImage(x.Dc(), row->bitmap, RECT{0, 0, 7, 2}, kEverything, RECT{0, 0, 3, 1}, RECT{}, false,
            255, false, true, false);
  ExpectPixels(x, {{0, 0, kRed}, {1, 1, kGreen}, {2, 0, kBlue}, {3, 1, kRed}, {5, 0, kBlue},
                   {6, 1, kRed}, {7, 0, kWhite}, {0, 2, kWhite}});

  auto column = MakeImage(1, 3, {kRed, kGreen, kBlue});
  Canvas y(3, 10);
  DrawImage(y.Dc(), column->bitmap, RECT{0, 0, 2, 7}, kEverything, RECT{0, 0, 1, 3}, RECT{}, false,
            255, false, false, true);
  ExpectPixels(y, {{0, 0, kRed}, {1, 4, kGreen}, {0, 5, kBlue}, {1, 6, kRed}, {0, 7, kWhite},
                   {2, 0, kWhite}});

  auto quad = MakeImage(2, 2, {kRed, kGreen, kBlue, kRed});
  Canvas both(6, 6);
  DrawImage(both.Dc(), quad->bitmap, RECT{0, 0, 5, 5}, kEverything, RECT{0, 0, 2, 2}, RECT{}, false,
            255, false, true, true);
  ExpectPixels(both, {{0, 0, kRed}, {1, 0, kGreen}, {0, 1, kBlue}, {2, 2, kRed}, {4, 4, kRed},
                      {3, 4, kGreen}, {4, 3, kBlue}, {5, 0, kWhite}, {0, 5, kWhite}});
}

TEST_F(RenderTest, FadeAndSoftwareBlendMatchTheSystemBlend) {
  auto red = MakeImage(2, 2, {kRed, kRed, kRed, kRed});
  Canvas faded(4, 4);
  DrawImage(faded.Dc(), red->bitmap, RECT{0, 0, 4, 4}, kEverything, RECT{0, 0, 2, 2}, RECT{}, false, 128);
  EXPECT_TRUE(Near(faded.Rgb(1, 1), 0xFF7F7F, 2)) << std::hex << faded.Rgb(1, 1);

  auto half = MakeImage(2, 2, {kRed, kRed, kRed, kRed}, 128);
  ASSERT_TRUE(half->alpha);
  ASSERT_NE(SystemAlphaBlend(), nullptr);
  for (BYTE fade : {BYTE(255), BYTE(100)}) {
    Canvas system(4, 4);
    Canvas software(4, 4);
    DrawImage(system.Dc(), half->bitmap, RECT{0, 0, 4, 4}, kEverything, RECT{0, 0, 2, 2}, RECT{}, true, fade);
    ASSERT_TRUE(SoftwareAlphaBlend(software.Dc(), 0, 0, 4, 4, half->bitmap, 0, 0, 2, 2, fade));
    for (int i = 0; i < 4; ++i) {
      EXPECT_TRUE(Near(system.Rgb(i, i), software.Rgb(i, i), 2))
          << std::hex << system.Rgb(i, i) << " " << software.Rgb(i, i);
    }
  }
  Canvas over(4, 4);
  DrawImage(over.Dc(), half->bitmap, RECT{0, 0, 4, 4}, kEverything, RECT{0, 0, 2, 2}, RECT{}, true);
  EXPECT_TRUE(Near(over.Rgb(0, 0), 0xFF7F7F, 2)) << std::hex << over.Rgb(0, 0);
}

TEST_F(RenderTest, DestinationRulesAndResults) {
  UseSkinFolder();
  CPaintManagerUI manager;
  const RECT item = {10, 10, 60, 40};
  Canvas anchored(70, 50);
  ASSERT_TRUE(DrawImageString(anchored.Dc(), &manager, item, kEverything,
                              L"file='Image/Plain.png' dest='-20,-10,-4,-2'"));
  ExpectPixels(anchored, {{40, 30, kGreen}, {55, 37, kGreen}, {39, 30, kWhite}, {56, 37, kWhite},
                          {40, 29, kWhite}, {40, 38, kWhite}});

  // A masked colour leaves the background; a clamped source stays inside the image.
  Canvas masked(70, 50);
  ASSERT_TRUE(DrawImageString(masked.Dc(), &manager, item, kEverything,
                              L"file='Image/Btn.png' mask='#FFFF0000' source='0,0,100,100'"));
  ExpectPixels(masked, {{10, 10, kWhite}, {35, 25, kWhite}});

  Canvas plain(70, 50);
  EXPECT_FALSE(DrawImageString(plain.Dc(), &manager, item, kEverything, L""));
  EXPECT_FALSE(DrawImageString(plain.Dc(), &manager, item, kEverything, L"file='Image/None.png'"));
  // Nothing meets the paint rectangle: drawn as far as needed.
  EXPECT_TRUE(DrawImageString(plain.Dc(), &manager, item, RECT{0, 0, 5, 5}, L"file='Image/Plain.png'"));
  ExpectPixels(plain, {{10, 10, kWhite}});
}
