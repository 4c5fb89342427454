#include "skintestsupport.h"

using FontTest = SkinTest;

TEST_F(FontTest, SizesScaleAndUnknownIdsFallBack) {
  CPaintManagerUI manager;
  manager.GetDPIObj()->SetScale(200);
  HFONT font = manager.AddFont(1, L"Tahoma", 12, true, false, false);
  ASSERT_NE(font, nullptr);
  FontInfo* info = manager.GetFontInfo(1);
  ASSERT_NE(info, nullptr);
  EXPECT_EQ(info->font, font);
  EXPECT_EQ(info->size, 12);
  ASSERT_TRUE(info->hasMetrics);
  EXPECT_EQ(info->metrics.tmHeight - info->metrics.tmInternalLeading, 24);
  EXPECT_EQ(info->metrics.tmWeight, FW_BOLD);

  HFONT sharedDefault = manager.GetFont(-1);
  ASSERT_NE(sharedDefault, nullptr);
  EXPECT_EQ(manager.GetFont(99), sharedDefault);
  manager.SetDefaultFont(L"Tahoma", 10, false, false, false);
  EXPECT_NE(manager.GetFont(99), sharedDefault);
  EXPECT_EQ(manager.GetFont(99), manager.GetFont(-1));
}

TEST_F(FontTest, SharedFontsAndDpiRebuild) {
  CPaintManagerUI first;
  CPaintManagerUI second;
  HFONT shared = first.AddFont(5, L"Tahoma", 12, false, false, false, true);
  EXPECT_EQ(second.GetFont(5), shared);

  first.AddFont(6, L"Tahoma", 12, false, true, true);
  EXPECT_EQ(first.GetFontInfo(6)->metrics.tmHeight - first.GetFontInfo(6)->metrics.tmInternalLeading, 12);
  first.SetDPI(192);
  FontInfo* rebuilt = first.GetFontInfo(6);
  EXPECT_EQ(rebuilt->size, 12);
  EXPECT_EQ(rebuilt->metrics.tmHeight - rebuilt->metrics.tmInternalLeading, 24);
  EXPECT_TRUE(rebuilt->metrics.tmItalic);
  EXPECT_TRUE(rebuilt->metrics.tmUnderlined);
  EXPECT_NE(second.GetFont(5), shared);
}

TEST_F(FontTest, DefaultColoursAndFontFiles) {
  CPaintManagerUI manager;
  EXPECT_EQ(manager.GetDefaultDisabledColor(), 0xFFA7A6AAu);
  EXPECT_EQ(manager.GetDefaultFontColor(), 0xFF000000u);
  EXPECT_EQ(manager.GetDefaultLinkFontColor(), 0xFF0000FFu);
  EXPECT_EQ(manager.GetDefaultLinkHoverFontColor(), 0xFFD3215Fu);
  EXPECT_EQ(manager.GetDefaultSelectedBkColor(), 0xFFBAE4FFu);
  EXPECT_FALSE(manager.AddFontFile(L"missing.ttf"));
}
