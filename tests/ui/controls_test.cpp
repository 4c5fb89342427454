// Labels, buttons, options and progress bars in real windows: measuring and drawing text,
// the event sequences of presses and drags (posted and through the X server), state images,
// option groups and the progress bar's foreground.
#include <gtest/gtest.h>

#include "skintestsupport.h"
#include "uibutton.h"
#include "uilabel.h"
#include "uioption.h"
#include "uiprogress.h"
#include "uirendertext.h"
#include "uitestwindow.h"

namespace {

constexpr wchar_t kFont[] = L"<Font id=\"1\" name=\"WenQuanYi Micro Hei\" size=\"14\"/>";

class ControlsTest : public SkinTest {
 protected:
  void SetUp() override {
    SkinTest::SetUp();
    CPaintManagerUI::SetResourcePath((UiDataFolder() + L"controls").c_str());
  }
};

template <typename T>
T* As(CControlUI* control, const wchar_t* name) {
  return control != nullptr ? static_cast<T*>(control->GetInterface(name)) : nullptr;
}

// Whether the blank-separated trail holds the token.
bool Has(const std::wstring& trail, const std::wstring& token) {
  std::wstring padded = L" " + trail + L" ";
  return padded.find(L" " + token + L" ") != std::wstring::npos;
}

// A screen point as xdotool's "x y".
std::wstring XdoPoint(const POINT& point) {
  return std::to_wstring(point.x) + L" " + std::to_wstring(point.y);
}

// The rows of the pixel box that hold ink (any channel above 0x60), as a count.
int InkedRows(const TestWindow& window, const RECT& box) {
  int rows = 0;
  for (int y = box.top; y < box.bottom; ++y) {
    for (int x = box.left; x < box.right; ++x) {
      DWORD pixel = window.Pixel(x, y);
      if ((pixel & 0xFF) > 0x60 || (pixel >> 8 & 0xFF) > 0x60 || (pixel >> 16 & 0xFF) > 0x60) {
        ++rows;
        break;
      }
    }
  }
  return rows;
}

TEST_F(ControlsTest, AnAutoWidthLabelMeasuresItsTextAndGrowsWithIt) {
  TestWindow window(std::wstring(L"<Window size=\"400,40\" bktrans=\"true\">") + kFont +
                    L"<HorizontalLayout><Label name=\"l\" font=\"1\" text=\"Setup\" "
                    L"autocalcwidth=\"true\" textpadding=\"7,0,5,0\"/><Control name=\"rest\"/>"
                    L"</HorizontalLayout></Window>");
  ASSERT_TRUE(window.Open());
  CPaintManagerUI& manager = window.GetPaintManager();
  auto measure = [&](const wchar_t* text) {
    RECT rect = {0, 0, 9999, 100};
    RenderText(manager.GetPaintDC(), &manager, rect, text, 0, 1, DT_SINGLELINE | DT_CALCRECT);
    return rect.right - rect.left;
  };
  CControlUI* label = window.Find(L"l");
  EXPECT_EQ(label->GetWidth(), measure(L"Setup") + 12);
  EXPECT_EQ(window.Find(L"rest")->GetPos().left, label->GetPos().right);
  label->SetText(L"Setup of the demo product");
  window.Paint();
  EXPECT_EQ(label->GetWidth(), measure(L"Setup of the demo product") + 12);
  EXPECT_GT(label->GetWidth(), measure(L"Setup") + 12);
  EXPECT_EQ(window.Find(L"rest")->GetPos().left, label->GetPos().right);

  // Measuring an empty text still writes the rectangle (left + 0.5 rounded + 1).
  RECT empty = {10, 10, 100, 100};
  RenderText(manager.GetPaintDC(), &manager, empty, L"", 0, 1, DT_SINGLELINE | DT_CALCRECT);
  EXPECT_EQ(empty.right, 11);
  EXPECT_NE(empty.bottom, 100);
}

TEST_F(ControlsTest, LabelAttributesFollowTheirDocumentOrder) {
  TestWindow window(
      L"<Window size=\"200,100\"><VerticalLayout>"
      L"<Label name=\"a\" align=\"center right\"/>"
      L"<Label name=\"b\" wordbreak=\"true\" valign=\"vcenter\"/>"
      L"<Label name=\"c\" valign=\"vcenter\" wordbreak=\"true\"/>"
      L"<Label name=\"d\" text=\"one{\\n}two\" endellipsis=\"true\" midellipsis=\"true\"/>"
      L"</VerticalLayout></Window>");
  ASSERT_TRUE(window.Open());
  UINT a = As<CLabelUI>(window.Find(L"a"), L"Label")->GetTextStyle();
  EXPECT_EQ(a & (DT_CENTER | DT_RIGHT), static_cast<UINT>(DT_RIGHT));
  UINT b = As<CLabelUI>(window.Find(L"b"), L"Label")->GetTextStyle();
  EXPECT_EQ(b & (DT_SINGLELINE | DT_WORDBREAK | DT_VCENTER),
            static_cast<UINT>(DT_SINGLELINE | DT_VCENTER));
  UINT c = As<CLabelUI>(window.Find(L"c"), L"Label")->GetTextStyle();
  EXPECT_EQ(c & (DT_SINGLELINE | DT_WORDBREAK | DT_EDITCONTROL),
            static_cast<UINT>(DT_WORDBREAK | DT_EDITCONTROL));
  CLabelUI* d = As<CLabelUI>(window.Find(L"d"), L"Label");
  EXPECT_EQ(d->GetText(), L"one\r\ntwo");
  EXPECT_NE(d->GetTextStyle() & DT_END_ELLIPSIS, 0u);
  EXPECT_NE(d->GetTextStyle() & kTextMiddleEllipsis, 0u);
}

TEST_F(ControlsTest, GdiplusTextOnALayeredWindowIsOpaqueAndChineseHasGlyphs) {
  TestWindow window(std::wstring(L"<Window size=\"300,80\" bktrans=\"true\">") + kFont +
                    L"<VerticalLayout><Label name=\"t\" font=\"1\" height=\"40\" "
                    L"textcolor=\"#FFFF0000\" text=\"Install\"/><HorizontalLayout>"
                    L"<Label name=\"an\" font=\"1\" width=\"40\" textcolor=\"#FF0000FF\" text=\"安\"/>"
                    L"<Label name=\"zhuang\" font=\"1\" width=\"40\" textcolor=\"#FF0000FF\" "
                    L"text=\"装\"/></HorizontalLayout></VerticalLayout></Window>");
  ASSERT_TRUE(window.Open());
  // Every drawn pixel is visible (no colour with alpha 0); the strokes' cores are opaque red.
  int solid = 0;
  int clear = 0;
  for (int y = 0; y < 40; ++y) {
    for (int x = 0; x < 120; ++x) {
      DWORD pixel = window.Pixel(x, y);
      if ((pixel & 0xFFFFFF) != 0) {
        EXPECT_NE(pixel >> 24, 0u) << x << "," << y;
      }
      if (pixel == 0xFFFF0000) ++solid;
      if (pixel == 0) ++clear;
    }
  }
  EXPECT_GT(solid, 10);
  EXPECT_GT(clear, 1000);
  // Two different characters draw two different shapes: no fallback boxes.
  int differing = 0;
  int inked = 0;
  for (int y = 40; y < 80; ++y) {
    for (int x = 0; x < 40; ++x) {
      DWORD left = window.Pixel(x, y);
      DWORD right = window.Pixel(x + 40, y);
      if (left != 0) ++inked;
      if ((left != 0) != (right != 0)) ++differing;
    }
  }
  EXPECT_GT(inked, 30);
  EXPECT_GT(differing, 20);
}

// An overlong line of capitals, trimmed at its end: the last columns hold only the
// ellipsis's dots, a short band, where untrimmed text shows whole letters.
void ExpectEndEllipsis(bool layered) {
  std::wstring window = layered ? L"<Window size=\"300,60\" bktrans=\"true\">"
                                : L"<Window size=\"300,60\">";
  TestWindow trimmed(window + kFont +
                     L"<VerticalLayout bkcolor=\"#FF000000\"><Label font=\"1\" height=\"30\" "
                     L"textcolor=\"#FFFFFFFF\" endellipsis=\"true\" text=\"WWWWWWWWWWWWWWWWWWWWWW"
                     L"WWWWWWWWWWWWW\"/><Label font=\"1\" height=\"30\" textcolor=\"#FFFFFFFF\" "
                     L"text=\"WWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWW\"/></VerticalLayout></Window>");
  ASSERT_TRUE(trimmed.Open());
  EXPECT_EQ(trimmed.GetPaintManager().IsLayered(), layered);
  // Find the rightmost inked column of the trimmed line.
  int last = -1;
  for (int x = 299; x >= 0 && last < 0; --x) {
    for (int y = 0; y < 30; ++y) {
      if ((trimmed.Pixel(x, y) & 0xFF) > 0x60) {
        last = x;
        break;
      }
    }
  }
  ASSERT_GT(last, 100);
  int tailRows = InkedRows(trimmed, RECT{last - 8, 0, last + 1, 30});
  int fullRows = InkedRows(trimmed, RECT{last - 8, 30, last + 1, 60});
  EXPECT_LE(tailRows, 4) << (layered ? "GDI+" : "DrawTextW");
  EXPECT_GT(fullRows, 8) << (layered ? "GDI+" : "DrawTextW");
}

TEST_F(ControlsTest, EndEllipsisTrimsWithGdiplusAndWithDrawText) {
  ExpectEndEllipsis(true);
  ExpectEndEllipsis(false);
}

constexpr wchar_t kButtons[] =
    L"<Window size=\"600,100\"><HorizontalLayout>"
    L"<Button name=\"b\" width=\"216\" height=\"36\" stateimage=\"Image/Strip.png\" "
    L"statecount=\"4\"/><Button name=\"off\" width=\"100\" height=\"36\" enabled=\"false\"/>"
    L"<Control/></HorizontalLayout></Window>";

TEST_F(ControlsTest, AButtonClicksOnlyWhenReleasedInsideItsRectangle) {
  TestWindow window(kButtons);
  ASSERT_TRUE(window.Open());
  window.ClearNotes();
  window.Mouse(WM_MOUSEMOVE, 50, 10);
  window.Mouse(WM_LBUTTONDOWN, 50, 10, MK_LBUTTON);
  window.Mouse(WM_MOUSEMOVE, 300, 10, MK_LBUTTON);
  EXPECT_EQ(As<CButtonUI>(window.Find(L"b"), L"Button")->GetState() & kButtonPushed, 0u);
  window.Mouse(WM_MOUSEMOVE, 400, 50, MK_LBUTTON);
  window.Mouse(WM_LBUTTONUP, 400, 50);
  EXPECT_EQ(window.Trail(),
            L"mouseenter:b setfocus:b buttondown:b mousemove:b mousemove:b buttonup:b");

  window.ClearNotes();
  window.Mouse(WM_MOUSEMOVE, 50, 10);
  window.Mouse(WM_LBUTTONDOWN, 50, 10, MK_LBUTTON);
  window.Mouse(WM_MOUSEMOVE, 300, 10, MK_LBUTTON);
  window.Mouse(WM_MOUSEMOVE, 60, 12, MK_LBUTTON);
  window.Mouse(WM_LBUTTONUP, 60, 12);
  EXPECT_EQ(window.Trail(), L"buttondown:b mousemove:b mousemove:b buttonup:b click:b");

  // A disabled button sends nothing; the keyboard activates an enabled one.
  window.ClearNotes();
  window.Click(250, 10);
  EXPECT_EQ(window.Trail().find(L":off"), std::wstring::npos) << window.Trail();
  window.GetPaintManager().SetFocus(window.Find(L"b"));
  window.ClearNotes();
  ::SendMessageW(window.GetHWND(), WM_KEYDOWN, VK_SPACE, 0);
  EXPECT_EQ(window.Trail(), L"click:b keydown:b");
}

TEST_F(ControlsTest, RealPointerInputPressesDragsAndClicks) {
  TestWindow window(kButtons);
  ASSERT_TRUE(window.Open(200, 200));
  window.ClearNotes();
  const std::wstring button = XdoPoint(window.ToScreen(50, 10));
  window.Xdo(L"mousemove " + button + L" click 1",
             [&] { return Has(window.Trail(), L"click:b"); });
  EXPECT_NE(window.Trail().find(L"buttondown:b buttonup:b click:b"), std::wstring::npos)
      << window.Trail();
  // Far enough in time that the next press is no double click.
  window.Pump(GetDoubleClickTime() + 100);
  window.ClearNotes();
  window.Xdo(L"mousemove " + button + L" mousedown 1 mousemove " +
                 XdoPoint(window.ToScreen(560, 90)) + L" mouseup 1",
             [&] { return Has(window.Trail(), L"buttonup:b"); });
  // A click would come with the release: what the release queued is processed too.
  window.Pump();
  std::wstring trail = window.Trail();
  EXPECT_TRUE(Has(trail, L"buttondown:b")) << trail;
  EXPECT_TRUE(Has(trail, L"buttonup:b")) << trail;
  EXPECT_FALSE(Has(trail, L"click:b")) << trail;
  window.ParkPointer();
}

TEST_F(ControlsTest, TheStateStripIsCutIntoFourStates) {
  TestWindow window(kButtons);
  ASSERT_TRUE(window.Open());
  auto* button = As<CButtonUI>(window.Find(L"b"), L"Button");
  auto colour = [&] {
    window.Paint();
    return window.Pixel(108, 18) & 0xFFFFFF;
  };
  EXPECT_EQ(colour(), 0xFF0000u);
  window.Mouse(WM_MOUSEMOVE, 108, 18);
  EXPECT_EQ(colour(), 0x00FF00u);
  window.Mouse(WM_LBUTTONDOWN, 108, 18, MK_LBUTTON);
  EXPECT_EQ(colour(), 0x0000FFu);
  window.Mouse(WM_LBUTTONUP, 108, 18);
  button->SetEnabled(false);
  EXPECT_EQ(colour(), 0x808080u);
  EXPECT_EQ(button->GetState(), kButtonDisabled);
  EXPECT_EQ(button->GetNormalImage(),
            L"res='Image/Strip.png' restype='' dest='0,0,0,0' source='0,0,216,36'");
}

TEST_F(ControlsTest, OptionGroupsAndDoubleClicks) {
  TestWindow window(
      L"<Window size=\"400,100\"><HorizontalLayout>"
      L"<Option name=\"o1\" group=\"g\" width=\"80\"/><Option name=\"o2\" group=\"g\" width=\"80\"/>"
      L"<Option name=\"o3\" group=\"g\" width=\"80\"/><Option name=\"free\" width=\"80\"/>"
      L"<Control/></HorizontalLayout></Window>");
  ASSERT_TRUE(window.Open());
  auto option = [&](const wchar_t* name) { return As<COptionUI>(window.Find(name), L"Option"); };
  option(L"o1")->Selected(true);
  option(L"o2")->Selected(true);
  window.ClearNotes();
  window.Click(200, 10);
  EXPECT_TRUE(option(L"o3")->IsSelected());
  EXPECT_FALSE(option(L"o1")->IsSelected());
  EXPECT_FALSE(option(L"o2")->IsSelected());
  std::wstring trail = window.Trail();
  EXPECT_NE(trail.find(L"click:o3 selectchanged:o2 selectchanged:o3"), std::wstring::npos)
      << trail;
  // Clicking the selected member keeps it and changes nothing.
  window.ClearNotes();
  window.Click(200, 10);
  EXPECT_TRUE(option(L"o3")->IsSelected());
  EXPECT_NE(window.Trail().find(L"click:o3"), std::wstring::npos);
  EXPECT_EQ(window.Trail().find(L"selectchanged"), std::wstring::npos);

  // A double click on an unselected free option selects it once and stays selected.
  COptionUI* free = option(L"free");
  auto doubleClick = [&] {
    window.Mouse(WM_MOUSEMOVE, 280, 10);
    window.Mouse(WM_LBUTTONDOWN, 280, 10, MK_LBUTTON);
    window.Mouse(WM_LBUTTONUP, 280, 10);
    window.Mouse(WM_LBUTTONDBLCLK, 280, 10, MK_LBUTTON);
    window.Mouse(WM_LBUTTONUP, 280, 10);
  };
  window.ClearNotes();
  doubleClick();
  EXPECT_TRUE(free->IsSelected());
  EXPECT_NE(window.Trail().find(L"selectchanged:free dbclick:free"), std::wstring::npos)
      << window.Trail();
  // On a selected one: the first click unselects, the double click presses, its release
  // selects again.
  window.ClearNotes();
  doubleClick();
  EXPECT_TRUE(free->IsSelected());
  EXPECT_EQ(window.Notes(L"selectchanged").size(), 2u);
}

TEST_F(ControlsTest, RealPointerInputTogglesAnOption) {
  TestWindow window(
      L"<Window size=\"300,60\"><HorizontalLayout><Option name=\"check\" width=\"100\" "
      L"selected=\"true\"/><Control/></HorizontalLayout></Window>");
  ASSERT_TRUE(window.Open(150, 150));
  auto* check = As<COptionUI>(window.Find(L"check"), L"Option");
  ASSERT_TRUE(check->IsSelected());
  window.ClearNotes();
  window.Xdo(L"mousemove " + XdoPoint(window.ToScreen(30, 20)) + L" click 1",
             [&] { return !check->IsSelected(); });
  EXPECT_FALSE(check->IsSelected());
  EXPECT_EQ(window.Notes(L"selectchanged").size(), 1u);
  window.ParkPointer();
}

TEST_F(ControlsTest, ProgressBarsNormaliseAndFillTheirParts) {
  TestWindow window(
      L"<Window size=\"600,100\"><VerticalLayout><Progress name=\"h\" width=\"490\" height=\"6\" "
      L"foreimage=\"Image/Fore.png\" value=\"50\"/><HorizontalLayout height=\"60\">"
      L"<Progress name=\"v\" width=\"20\" height=\"60\" hor=\"false\" value=\"25\" "
      L"forecolor=\"#FFFF0000\"/><Progress name=\"vi\" width=\"20\" height=\"60\" hor=\"false\" "
      L"value=\"25\" foreimage=\"Image/Fore.png\"/><Progress name=\"same\" min=\"50\" max=\"50\" "
      L"value=\"50\" width=\"20\" forecolor=\"#FF00FF00\"/></HorizontalLayout></VerticalLayout></Window>");
  ASSERT_TRUE(window.Open());
  auto progress = [&](const wchar_t* name) { return As<CProgressUI>(window.Find(name), L"Progress"); };
  CProgressUI* h = progress(L"h");
  EXPECT_EQ(h->GetForeModify(), L"dest='0,0,245,6'");
  h->SetValue(101);
  EXPECT_EQ(h->GetValue(), 50);
  h->SetValue(-1);
  EXPECT_EQ(h->GetValue(), 50);
  EXPECT_EQ(progress(L"same")->GetMaxValue(), 51);
  EXPECT_EQ(progress(L"same")->GetValue(), 50);

  // The colour fills from the top over (max - value), the image from the bottom over value.
  const RECT& v = window.Find(L"v")->GetPos();
  EXPECT_EQ(window.Pixel(v.left + 5, v.top + 44) & 0xFFFFFF, 0xFF0000u);
  EXPECT_EQ(window.Pixel(v.left + 5, v.top + 46), 0u);
  const RECT& vi = window.Find(L"vi")->GetPos();
  EXPECT_EQ(window.Pixel(vi.left + 5, vi.top + 44), 0u);
  EXPECT_EQ(window.Pixel(vi.left + 5, vi.top + 46) & 0xFFFFFF, 0x00C000u);

  // At 200 % a half-full bar's numbers are still half of the 100 % width.
  window.GetPaintManager().SetDPI(192);
  window.Paint();
  EXPECT_EQ(h->GetWidth(), 980);
  EXPECT_EQ(h->GetForeModify(), L"dest='0,0,245,6'");
  EXPECT_EQ(window.Pixel(h->GetPos().left + 489, h->GetPos().top + 6) & 0xFFFFFF, 0x00C000u);
  EXPECT_EQ(window.Pixel(h->GetPos().left + 491, h->GetPos().top + 6), 0u);
}

}  // namespace
