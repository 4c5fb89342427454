// The dialog builder: resource elements, includes, element names, default attribute lists,
// unknown elements, and the window base's answer to a skin that does not load.
#include <gtest/gtest.h>

#include "skintestsupport.h"
#include "uicontainer.h"
#include "uitestwindow.h"

namespace {

class BuilderTest : public SkinTest {
 protected:
  void WriteSkinFile(const std::wstring& name, const std::string& utf8) {
    CreateDirectoryW((folder_ / L"Layout").c_str(), nullptr);
    ASSERT_TRUE(WriteFileBytes(folder_ / name, utf8));
  }
  void UseFolder() { CPaintManagerUI::SetResourcePath(folder_.Path().c_str()); }

  TempFolder folder_{L"qlmskin"};
};

TEST_F(BuilderTest, AnIncludeRegistersItsFontsBeforeTheControlsThatFollow) {
  WriteSkinFile(L"font.xml",
                "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<Window>"
                "<Font id=\"2\" name=\"WenQuanYi Micro Hei\" size=\"16\" bold=\"true\"/>"
                "<Font id=\"17\" name=\"WenQuanYi Micro Hei\" size=\"12\" underline=\"true\"/>"
                "<Font name=\"Ignored\" default=\"true\"/></Window>");
  WriteSkinFile(L"Layout/Layout.xml",
                "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
                "<Window size=\"200,100\"><Include source=\"font.xml\"/>"
                "<HorizontalLayout name=\"row\"><Control name=\"first\"/>"
                "<Include source=\"row.xml\" count=\"2\"/><Control name=\"last\"/>"
                "</HorizontalLayout></Window>");
  WriteSkinFile(L"row.xml", "<Window><Control width=\"10\"/></Window>");
  UseFolder();
  TestWindow window(L"Layout/Layout.xml");
  ASSERT_TRUE(window.Open());
  CPaintManagerUI& manager = window.GetPaintManager();
  FontInfo* bold = manager.GetFontInfo(2);
  ASSERT_NE(bold, nullptr);
  EXPECT_EQ(bold->face, L"WenQuanYi Micro Hei");
  EXPECT_EQ(bold->size, 16);
  EXPECT_TRUE(bold->bold);
  EXPECT_TRUE(manager.GetFontInfo(17)->underline);
  // A default font without an id changes nothing.
  EXPECT_EQ(manager.GetFontInfo(-1)->face, manager.GetFontInfo(99)->face);
  EXPECT_NE(manager.GetFontInfo(-1)->face, L"Ignored");
  // The included controls stand where the Include stood, twice.
  auto* row = static_cast<CContainerUI*>(window.Find(L"row")->GetInterface(L"Container"));
  ASSERT_EQ(row->GetCount(), 4);
  EXPECT_EQ(row->GetItemAt(0)->GetName(), L"first");
  EXPECT_EQ(row->GetItemAt(1)->GetFixedWidth(), 10);
  EXPECT_EQ(row->GetItemAt(2)->GetFixedWidth(), 10);
  EXPECT_EQ(row->GetItemAt(3)->GetName(), L"last");
}

TEST_F(BuilderTest, ControlNamesIgnoreCaseButResourceAndWindowNamesDoNot) {
  TestWindow window(
      L"<Window size=\"120,80\" caption=\"0,0,0,10\"><font id=\"3\" name=\"X\" size=\"30\"/>"
      L"<verticallayout name=\"column\"><CONTROL name=\"upper\" padding=\"0, 231\"/>"
      L"</verticallayout></Window>");
  ASSERT_TRUE(window.Open());
  EXPECT_NE(window.Find(L"column"), nullptr);
  CControlUI* upper = window.Find(L"upper");
  ASSERT_NE(upper, nullptr);
  // "0, 231": the blank after the comma adds a number.
  EXPECT_EQ(RectText(upper->GetPadding()), RectText(RECT{0, 0, 231, 0}));
  EXPECT_EQ(window.GetPaintManager().GetFontInfo(3), window.GetPaintManager().GetFontInfo(-1));

  TestWindow lower(L"<window size=\"120,80\"><Control name=\"c\"/></window>");
  ASSERT_TRUE(lower.Open());
  RECT rect;
  GetWindowRect(lower.GetHWND(), &rect);
  // The lower-case root is no Window: its size is not applied.
  EXPECT_EQ(rect.right - rect.left, 300);
}

TEST_F(BuilderTest, DefaultListsApplyInKeyOrderAndStylesReplaceValues) {
  TestWindow window(
      L"<Window size=\"200,100\"><Default name=\"Control\" value=\"width=&quot;40&quot; "
      L"pos=&quot;0,0,10,10&quot;\"/><Style name=\"wide\" value=\"width=&quot;70&quot;\"/>"
      L"<HorizontalLayout><Control name=\"d\"/><Control name=\"s\" width=\"wide\"/>"
      L"<Control name=\"own\" width=\"25\"/></HorizontalLayout></Window>");
  ASSERT_TRUE(window.Open());
  // Sorted keys: pos first, then width.
  EXPECT_EQ(window.Find(L"d")->GetFixedWidth(), 40);
  EXPECT_EQ(window.Find(L"s")->GetFixedWidth(), 70);
  EXPECT_EQ(window.Find(L"own")->GetFixedWidth(), 25);
}

// Shared lists reach every manager until the end of the process, and Term() ends them: a
// skin loaded after Term() must not pick up the previous skin's styles.
TEST_F(BuilderTest, SharedStylesAndDefaultListsLastUntilTerm) {
  {
    CPaintManagerUI first;
    first.AddStyle(L"wide", L"width=\"70\"", true);
    first.AddDefaultAttributeList(L"Control", L"width=\"40\"", true);
    first.AddStyle(L"own", L"width=\"10\"");
  }
  {
    CPaintManagerUI second;
    ASSERT_NE(second.GetStyle(L"wide"), nullptr);
    EXPECT_EQ(*second.GetStyle(L"wide"), L"width=\"70\"");
    ASSERT_NE(second.GetDefaultAttributeList(L"Control"), nullptr);
    EXPECT_EQ(*second.GetDefaultAttributeList(L"Control"), L"width=\"40\"");
    EXPECT_EQ(second.GetStyle(L"own"), nullptr);
  }
  CPaintManagerUI::Term();
  CPaintManagerUI third;
  EXPECT_EQ(third.GetStyle(L"wide"), nullptr);
  EXPECT_EQ(third.GetDefaultAttributeList(L"Control"), nullptr);
}

TEST_F(BuilderTest, UnknownElementsDisappearWithTheirSubtreeAndUnknownAttributesAreKept) {
  TestWindow window(
      L"<Window size=\"200,100\"><HorizontalLayout name=\"row\"><Unknown name=\"u\">"
      L"<Control name=\"inside\"/></Unknown><Slider name=\"s\"/>"
      L"<Control name=\"after\" EditWndUseCtrlBk=\"true\"/></HorizontalLayout></Window>");
  ASSERT_TRUE(window.Open());
  EXPECT_EQ(window.Find(L"u"), nullptr);
  EXPECT_EQ(window.Find(L"inside"), nullptr);
  EXPECT_EQ(window.Find(L"s"), nullptr);
  ASSERT_NE(window.Find(L"after"), nullptr);
  EXPECT_EQ(window.Find(L"after")->GetCustomAttribute(L"EditWndUseCtrlBk"), L"true");
  auto* row = static_cast<CContainerUI*>(window.Find(L"row")->GetInterface(L"Container"));
  EXPECT_EQ(row->GetCount(), 1);
}

TEST_F(BuilderTest, ASkinThatDoesNotLoadEndsTheProgramAfterItsMessageBox) {
  MessageBoxAnswerer answerer(L"UI", IDOK);
  ProcessResult result = RunProcess(L"\"" + ModuleFolder() + L"ui_skinfail_probe.exe\"");
  ASSERT_TRUE(result.finished);
  EXPECT_EQ(result.exitCode, 1u);
  ASSERT_TRUE(answerer.Wait(5000));
  EXPECT_EQ(answerer.LastText(), L"加载资源文件失败：Layout/Missing.xml");
}

}  // namespace
