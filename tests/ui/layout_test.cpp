#include <gtest/gtest.h>

#include "skintestsupport.h"
#include "uitablayout.h"
#include "uitestwindow.h"

namespace {

struct LayoutCase {
  const char* label;
  const wchar_t* markup;
  int dpi;
  const wchar_t* control;
  RECT expected;
};

const LayoutCase kLayoutCases[] = {
    {"a centred 216-wide control lands at 192 whatever its padding",
     L"<Window size=\"600,100\"><HorizontalLayout><Control name=\"c\" width=\"216\" height=\"36\" "
     L"horzpaddingcenter=\"true\" padding=\"40,0,0,0\"/></HorizontalLayout></Window>",
     96, L"c", {192, 0, 408, 36}},
    {"only the lower-case word true centres",
     L"<Window size=\"600,100\"><HorizontalLayout><Control name=\"c\" width=\"216\" height=\"36\" "
     L"horzpaddingcenter=\"True\" padding=\"40,0,0,0\"/></HorizontalLayout></Window>",
     96, L"c", {40, 0, 256, 36}},
    {"two shared widths: the last takes the odd pixel (first)",
     L"<Window size=\"101,20\"><HorizontalLayout><Control name=\"a\"/><Control name=\"b\"/>"
     L"</HorizontalLayout></Window>",
     96, L"a", {0, 0, 50, 20}},
    {"two shared widths: the last takes the odd pixel (last)",
     L"<Window size=\"101,20\"><HorizontalLayout><Control name=\"a\"/><Control name=\"b\"/>"
     L"</HorizontalLayout></Window>",
     96, L"b", {50, 0, 101, 20}},
    {"ExpandBalance gives the odd pixel to the first",
     L"<Window size=\"101,20\"><HorizontalLayout ExpandBalance=\"true\"><Control name=\"a\"/>"
     L"<Control name=\"b\"/></HorizontalLayout></Window>",
     96, L"a", {0, 0, 51, 20}},
    {"fixed widths, child padding and one shared width",
     L"<Window size=\"200,20\"><HorizontalLayout childpadding=\"10\"><Control width=\"30\"/>"
     L"<Control name=\"s\" padding=\"5,2,5,3\"/><Control width=\"40\"/></HorizontalLayout></Window>",
     96, L"s", {45, 2, 145, 17}},
    {"a top padding of 231 at 200 % moves the child 462 down",
     L"<Window size=\"300,300\"><VerticalLayout><Control name=\"c\" height=\"10\" "
     L"padding=\"0,231,0,0\"/></VerticalLayout></Window>",
     192, L"c", {0, 462, 600, 482}},
    {"DPIPadding false keeps the padding unscaled",
     L"<Window size=\"300,300\"><VerticalLayout><Control name=\"c\" height=\"10\" "
     L"padding=\"0,231,0,0\" DPIPadding=\"false\"/></VerticalLayout></Window>",
     192, L"c", {0, 231, 600, 251}},
    {"a vertical layout centres by childalign",
     L"<Window size=\"100,100\"><VerticalLayout childalign=\"center\" inset=\"0,10,0,0\">"
     L"<Control name=\"c\" width=\"20\" height=\"10\"/></VerticalLayout></Window>",
     96, L"c", {40, 10, 60, 20}},
    {"floatalign right,vcenter puts a 38x34 child at 462,0 of 500x34",
     L"<Window size=\"500,34\"><HorizontalLayout><Control name=\"f\" float=\"true\" "
     L"floatalign=\"right,vcenter\" width=\"38\" height=\"34\"/></HorizontalLayout></Window>",
     96, L"f", {462, 0, 500, 34}},
    {"pos then width and height make a float child at 0,10 of 600x24",
     L"<Window size=\"600,100\"><Container><Control name=\"p\" float=\"true\" pos=\"0,10,0,0\" "
     L"width=\"600\" height=\"24\"/></Container></Window>",
     96, L"p", {0, 10, 600, 34}},
    {"float percentages place relative to the container",
     L"<Window size=\"200,100\"><Container><Control name=\"p\" float=\"0.5,0.5,0.5,0.5\" "
     L"pos=\"2,3,12,13\"/></Container></Window>",
     96, L"p", {102, 53, 112, 63}},
    {"a container's children fill its inset at its top-left, clamped",
     L"<Window size=\"200,100\"><Container inset=\"10,10,10,10\"><Control name=\"c\" "
     L"maxwidth=\"50\"/></Container></Window>",
     96, L"c", {10, 10, 60, 90}},
    {"the inset is scaled at 200 % unless DPIInset is false",
     L"<Window size=\"100,100\"><Container inset=\"10,10,10,10\" DPIInset=\"false\">"
     L"<Control name=\"c\"/></Container></Window>",
     192, L"c", {10, 10, 190, 190}},
};

class LayoutTest : public SkinTest, public ::testing::WithParamInterface<LayoutCase> {};

TEST_P(LayoutTest, PlacesTheControl) {
  const LayoutCase& c = GetParam();
  TestWindow window(c.markup);
  ASSERT_TRUE(window.Open());
  if (c.dpi != 96) {
    window.GetPaintManager().SetDPI(c.dpi);
    window.Paint();
  }
  CControlUI* control = window.Find(c.control);
  ASSERT_NE(control, nullptr);
  EXPECT_EQ(RectText(control->GetPos()), RectText(c.expected)) << c.label;
}

INSTANTIATE_TEST_SUITE_P(Cases, LayoutTest, ::testing::ValuesIn(kLayoutCases));

TEST_F(SkinTest, TabLayoutShowsOnePageAndNotifiesOnlyChanges) {
  TestWindow window(
      L"<Window size=\"200,100\"><TabLayout name=\"tabs\"><VerticalLayout name=\"p0\">"
      L"<Control name=\"inner\"/></VerticalLayout><Control name=\"p1\"/><Control name=\"p2\"/>"
      L"<Control name=\"p3\"/></TabLayout></Window>");
  ASSERT_TRUE(window.Open());
  auto* tabs = static_cast<CTabLayoutUI*>(window.Find(L"tabs")->GetInterface(L"TabLayout"));
  ASSERT_NE(tabs, nullptr);
  EXPECT_EQ(tabs->GetCurSel(), 0);
  EXPECT_TRUE(window.Find(L"inner")->IsVisible());
  EXPECT_FALSE(window.Find(L"p1")->IsVisible());
  EXPECT_EQ(RectText(window.Find(L"inner")->GetPos()), RectText(RECT{0, 0, 200, 100}));
  EXPECT_TRUE(tabs->SelectItem(1, false));
  EXPECT_FALSE(window.Find(L"inner")->IsVisible());
  EXPECT_TRUE(window.Find(L"p1")->IsVisible());
  EXPECT_FALSE(window.Find(L"p2")->IsVisible());
  window.Paint();
  EXPECT_EQ(RectText(window.Find(L"p1")->GetPos()), RectText(RECT{0, 0, 200, 100}));

  window.ClearNotes();
  EXPECT_TRUE(tabs->SelectItem(1, false));
  EXPECT_TRUE(window.Notes(L"tabselect").empty());
  EXPECT_FALSE(tabs->SelectItem(4, false));
  EXPECT_TRUE(tabs->SelectItem(3, false));
  auto notes = window.Notes(L"tabselect");
  ASSERT_EQ(notes.size(), 1u);
  EXPECT_EQ(notes[0].sender, L"tabs");
  EXPECT_EQ(notes[0].wParam, 3u);
  EXPECT_EQ(notes[0].lParam, 1);
}

}  // namespace
