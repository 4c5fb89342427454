#include <gtest/gtest.h>

#include "uivalues.h"

TEST(MarkupValues, IntegersBooleansAndColours) {
  EXPECT_EQ(ParseMarkupInt(L"-42px"), -42);
  EXPECT_EQ(ParseMarkupInt(L"abc"), 0);
  EXPECT_EQ(ParseMarkupInt(L" 5"), 0);

  struct { const wchar_t* text; bool value; } booleans[] = {
      {L"true", true}, {L"on", true}, {L"yes", true}, {L"ok", true}, {L"1", true},
      {L"false", false}, {L"off", false}, {L"no", false}, {L"cancel", false}, {L"0", false},
      {L"True", true}, {L"False", true}, {L"", false}, {L"maybe", true},
  };
  for (const auto& c : booleans) EXPECT_EQ(ParseMarkupBool(c.text), c.value) << c.text;

  struct { const wchar_t* text; DWORD value; } colours[] = {
      {L"#FF333333", 0xFF333333}, {L"ff0000ff", 0xFF0000FF}, {L"0xFF123456", 0xFF123456},
      {L"#12 34", 0x12}, {L"#G", 16}, {L"#z", 35}, {L"", 0},
  };
  for (const auto& c : colours) EXPECT_EQ(ParseMarkupColor(c.text), c.value) << c.text;
}

TEST(MarkupValues, SizesAndRectangles) {
  struct { const wchar_t* text; RECT rect; } rects[] = {
      {L"0,231,0,0", {0, 231, 0, 0}},
      {L"1, 2,3,4", {1, 0, 2, 3}},
      {L"10,-20,30", {10, -20, 30, 0}},
      {L"5-,6", {-5, 6, 0, 0}},
      {L"", {0, 0, 0, 0}},
  };
  for (const auto& c : rects) {
    RECT r = ParseMarkupRect(c.text);
    EXPECT_TRUE(EqualRect(&r, &c.rect)) << c.text;
  }
  SIZE s = ParseMarkupSize(L"400,300");
  EXPECT_EQ(s.cx, 400);
  EXPECT_EQ(s.cy, 300);

  struct { const wchar_t* text; RECT rect; } imageRects[] = {
      {L"0, 1, 14,15", {0, 1, 14, 15}},
      {L"-20,-20,-4,-4", {-20, -20, -4, -4}},
      {L"3,4", {3, 4, 0, 0}},
  };
  for (const auto& c : imageRects) {
    RECT r = ParseImageRect(c.text);
    EXPECT_TRUE(EqualRect(&r, &c.rect)) << c.text;
  }
}
