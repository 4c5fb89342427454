#include "skintestsupport.h"
#include "uidrawinfo.h"

namespace {

bool Equal(const RECT& a, const RECT& b) { return EqualRect(&a, &b) != FALSE; }

struct DrawInfoCase {
  const wchar_t* drawing;
  const wchar_t* modify;
  int scale;
  const wchar_t* imageName;
  RECT dest;
  RECT source;
  RECT corner;
};

// Image/Btn.png has a 200 % variant in the skin, Image/Plain.png has none.
const DrawInfoCase kCases[] = {
    {L"Image/Btn.png", L"", 200, L"Image/Btn@200.png", {}, {}, {}},
    {L"Image/Btn.png", L"", 100, L"Image/Btn.png", {}, {}, {}},
    {L"file='Image/Btn.png' source='0,0,216,36'", L"", 200, L"Image/Btn@200.png", {}, {0, 0, 432, 72}, {}},
    {L"file='Image/Plain.png' source='0,0,216,36'", L"", 200, L"Image/Plain.png", {}, {0, 0, 216, 36}, {}},
    {L"file='Image/Btn.png' source='0,0,216,36'", L"", 100, L"Image/Btn.png", {}, {0, 0, 216, 36}, {}},
    {L"file='Image/Plain.png' dest='0,1,14,15'", L"", 200, L"Image/Plain.png", {0, 2, 28, 30}, {}, {}},
    {L"file='Image/Plain.png' dest='0,1,14,15' dest200='1,1,5,5'", L"", 200, L"Image/Plain.png",
     {1, 1, 5, 5}, {}, {}},
    {L"file='Image/Btn.png' source='0,0,8,4' source200='0,0,3,3'", L"", 200, L"Image/Btn@200.png",
     {}, {0, 0, 3, 3}, {}},
    {L"file='Image/Btn.png' corner='1,2,3,4'", L"", 200, L"Image/Btn@200.png", {}, {}, {2, 4, 6, 8}},
    {L"file='Image/Plain.png' corner='1,2,3,4'", L"", 200, L"Image/Plain.png", {}, {}, {1, 2, 3, 4}},
    {L"file='Image/BkPath.svg' source='0,0,10,10'", L"", 200, L"Image/BkPath@200.svg", {},
     {0, 0, 20, 20}, {}},
    {L"file='Image/Plain.png' dest='0,0,4,4'", L"file='Image/Btn.png' dest='1,1,2,2'", 200,
     L"Image/Btn@200.png", {2, 2, 4, 4}, {}, {}},
    {L"file=\"Image/Plain.png\" file='Image/Btn.png' res=Image/Btn.png", L"", 100, L"Image/Btn.png",
     {}, {}, {}},
};

}  // namespace

class DrawInfoTest : public SkinTest {
 protected:
  void Check(CPaintManagerUI& manager, const DrawInfoCase& c) {
    const DrawInfo* info = manager.GetDrawInfo(c.drawing, c.modify);
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(info->imageName, c.imageName);
    EXPECT_TRUE(Equal(info->dest, c.dest));
    EXPECT_TRUE(Equal(info->source, c.source));
    EXPECT_TRUE(Equal(info->corner, c.corner));
  }
};

TEST_F(DrawInfoTest, RectanglesAndVariantsInFolderAndArchive) {
  for (int setup = 0; setup < 2; ++setup) {
    Reset();
    if (setup == 0) {
      UseSkinFolder();
    } else {
      UseMemoryArchive(L"skin_deflated.zip", L"");
    }
    for (const DrawInfoCase& c : kCases) {
      SCOPED_TRACE(testing::Message() << "setup " << setup << " scale " << c.scale << " case "
                                      << (&c - kCases));
      CPaintManagerUI manager;
      manager.GetDPIObj()->SetScale(c.scale);
      Check(manager, c);
    }
  }
}

TEST_F(DrawInfoTest, TokenizerAndValueKeys) {
  auto pairs = ParseImageAttributes(L"file='a b.png' source=\"1,2,3,4\" fade=128 file='x.png'");
  ASSERT_EQ(pairs.size(), 3u);
  EXPECT_EQ(pairs[L"file"], L"a b.png");
  EXPECT_EQ(pairs[L"source"], L"1,2,3,4");
  EXPECT_EQ(pairs[L"fade"], L"128");

  CPaintManagerUI manager;
  const DrawInfo* info = manager.GetDrawInfo(
      L"file='Image/Plain.png' mask='#FF333333' fade='300' hole='true' xtiled='1' ytiled='False' "
      L"hsl='yes' iconsize='16,12' iconalign='center' restype='PNG'",
      L"fade='64'");
  EXPECT_EQ(info->mask, 0xFF333333u);
  EXPECT_EQ(info->fade, 64);
  EXPECT_TRUE(info->hole);
  EXPECT_TRUE(info->xTiled);
  EXPECT_TRUE(info->yTiled);
  EXPECT_TRUE(info->hsl);
  EXPECT_EQ(info->iconSize.cx, 16);
  EXPECT_EQ(info->iconSize.cy, 12);
  EXPECT_EQ(info->iconAlign, L"center");
  EXPECT_EQ(info->resourceType, L"PNG");
  EXPECT_EQ(manager.GetDrawInfo(L"file='a.png' fade='300'", L"")->fade, 255);
  EXPECT_EQ(manager.GetDrawInfo(L"file='a.png' hole='off'", L"")->hole, false);
}

TEST_F(DrawInfoTest, CacheIsRebuiltAfterADpiChange) {
  UseSkinFolder();
  CPaintManagerUI manager;
  const DrawInfo* first = manager.GetDrawInfo(L"file='Image/Btn.png' dest='0,1,14,15'", L"");
  EXPECT_EQ(manager.GetDrawInfo(L"file='Image/Btn.png' dest='0,1,14,15'", L""), first);
  EXPECT_EQ(first->imageName, L"Image/Btn.png");
  manager.SetDPI(192);
  const DrawInfo* scaled = manager.GetDrawInfo(L"file='Image/Btn.png' dest='0,1,14,15'", L"");
  EXPECT_EQ(scaled->imageName, L"Image/Btn@200.png");
  EXPECT_TRUE(Equal(scaled->dest, RECT{0, 2, 28, 30}));
}
