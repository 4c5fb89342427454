#include <cstdlib>

#include "skintestsupport.h"
#include "uiimage.h"

namespace {

// Pixel (x, y) of an image as premultiplied B, G, R, A bytes.
const BYTE* PixelAt(const ImageInfo& image, int x, int y) {
  return image.bits + (static_cast<size_t>(y) * image.width + x) * 4;
}

}  // namespace

using SkinImageTest = SkinTest;

TEST_F(SkinImageTest, FormatsDecodeToSizeAndPixels) {
  struct {
    const wchar_t* file;
    int tolerance;
  } cases[] = {{L"solid.png", 0}, {L"solid.jpg", 8}, {L"solid.bmp", 0}, {L"solid.gif", 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << std::string(c.file, c.file + wcslen(c.file)));
    auto image = LoadSkinImage(UiDataFolder() + c.file, nullptr, 0, nullptr);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->width, 5);
    EXPECT_EQ(image->height, 3);
    EXPECT_FALSE(image->alpha);
    for (int y = 0; y < 3; ++y) {
      for (int x = 0; x < 5; ++x) {
        const BYTE* p = PixelAt(*image, x, y);
        EXPECT_LE(std::abs(p[0] - 0xC0), c.tolerance);
        EXPECT_LE(std::abs(p[1] - 0x40), c.tolerance);
        EXPECT_LE(std::abs(p[2] - 0x20), c.tolerance);
        EXPECT_EQ(p[3], 0xFF);
      }
    }
  }
  EXPECT_EQ(LoadSkinImage(UiDataFolder() + L"broken.png", nullptr, 0, nullptr), nullptr);
  EXPECT_EQ(LoadSkinImage(UiDataFolder() + L"missing.png", nullptr, 0, nullptr), nullptr);
}

TEST_F(SkinImageTest, TranslucentPixelsArePremultiplied) {
  auto image = LoadSkinImage(UiDataFolder() + L"half.png", nullptr, 0, nullptr);
  ASSERT_NE(image, nullptr);
  EXPECT_TRUE(image->alpha);
  const BYTE* p = PixelAt(*image, 2, 1);
  EXPECT_EQ(p[3], 128);
  EXPECT_EQ(p[2], 128);
  EXPECT_EQ(p[1], 0);
  EXPECT_EQ(p[0], 0);
}

TEST_F(SkinImageTest, MaskColourBecomesTransparent) {
  auto image = LoadSkinImage(UiDataFolder() + L"skin\\Image\\Btn.png", nullptr, 0xFFFF0000, nullptr);
  ASSERT_NE(image, nullptr);
  EXPECT_TRUE(image->alpha);
  for (int x = 0; x < image->width; ++x) EXPECT_EQ(*reinterpret_cast<const DWORD*>(PixelAt(*image, x, 3)), 0u);
  auto unmasked = LoadSkinImage(UiDataFolder() + L"skin\\Image\\Btn.png", nullptr, 0xFF333333, nullptr);
  ASSERT_NE(unmasked, nullptr);
  EXPECT_FALSE(unmasked->alpha);
}

TEST_F(SkinImageTest, ManagerAndSharedTables) {
  UseSkinFolder();
  CPaintManagerUI first;
  CPaintManagerUI second;
  const ImageInfo* own = first.FindOrLoadImage(L"Image/Btn.png");
  ASSERT_NE(own, nullptr);
  EXPECT_EQ(first.FindOrLoadImage(L"Image/Btn.png"), own);
  EXPECT_EQ(second.GetImage(L"Image/Btn.png"), nullptr);

  const ImageInfo* shared = first.AddImage(L"Image/Plain.png", nullptr, 0, true, true);
  ASSERT_NE(shared, nullptr);
  EXPECT_EQ(shared->originalBits.size(), 8u * 4 * 4);
  EXPECT_EQ(second.FindOrLoadImage(L"Image/Plain.png"), shared);

  first.RemoveAllImages(false);
  EXPECT_EQ(first.GetImage(L"Image/Btn.png"), nullptr);
  EXPECT_EQ(first.GetImage(L"Image/Plain.png"), shared);
  first.RemoveAllImages(true);
  EXPECT_EQ(second.GetImage(L"Image/Plain.png"), nullptr);

  // A resource type asks for a numeric id.
  EXPECT_EQ(first.AddImage(L"Image/Btn.png", L"PNG"), nullptr);
  EXPECT_EQ(first.FindOrLoadImage(L"Image/None.png"), nullptr);
}

TEST_F(SkinImageTest, SvgRendersAtTheScaleInItsName) {
  UseMemoryArchive(L"skin_deflated.zip", L"");
  struct {
    const wchar_t* name;
    int width;
    int height;
  } cases[] = {{L"Image/Shape.svg", 10, 6}, {L"Image/Shape@200.svg", 20, 12}};
  for (const auto& c : cases) {
    auto image = LoadSkinImage(c.name, nullptr, 0, nullptr);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->width, c.width);
    EXPECT_EQ(image->height, c.height);
    EXPECT_EQ(*reinterpret_cast<const DWORD*>(PixelAt(*image, 1, 1)), 0xFFFF0000u);
    EXPECT_EQ(*reinterpret_cast<const DWORD*>(PixelAt(*image, c.width - 2, c.height - 2)), 0xFF0000FFu);
  }
  // At 200 % the draw info names the variant and doubles the source; it draws the same SVG at
  // twice its size.
  CPaintManagerUI manager;
  manager.GetDPIObj()->SetScale(200);
  const DrawInfo* info = manager.GetDrawInfo(L"file='Image/Shape.svg' source='0,0,5,6'", L"");
  EXPECT_EQ(info->imageName, L"Image/Shape@200.svg");
  const RECT doubled = {0, 0, 10, 12};
  EXPECT_TRUE(EqualRect(&info->source, &doubled));
  const ImageInfo* image = manager.FindOrLoadImage(info->imageName);
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(image->width, 20);
}
