// Painting through the off-screen bitmap (layered and not), the layout notifications and the
// DPI rescaling of a whole window.
#include <gtest/gtest.h>

#include "skintestsupport.h"
#include "uitestwindow.h"

namespace {

using PaintTest = SkinTest;

// The colour on the screen at a client point of the window (no alpha). The X server shows
// a window's pixels a moment after it was painted: wait up to a second for the expected one.
COLORREF ScreenPixel(TestWindow& window, int x, int y, COLORREF expected) {
  const POINT point = window.ToScreen(x, y);
  COLORREF colour;
  for (int i = 0;; ++i) {
    HDC screen = GetDC(nullptr);
    colour = GetPixel(screen, point.x, point.y);
    ReleaseDC(nullptr, screen);
    if (colour == expected || i == 20) return colour;
    window.Pump(50);
  }
}

TEST_F(PaintTest, ALayeredWindowKeepsAlphaAndMakesGdiPixelsOpaque) {
  TestWindow window(
      L"<Window size=\"100,100\" bktrans=\"true\"><Container>"
      L"<Control float=\"true\" pos=\"0,0,20,20\" bkcolor=\"#80FF0000\"/>"
      L"<Control float=\"true\" pos=\"40,40,80,80\" bordercolor=\"#FF0000FF\" bordersize=\"2\" "
      L"borderround=\"10,10\"/>"
      L"<Control float=\"true\" pos=\"0,80,20,100\" bkcolor=\"#FF000000\"/>"
      L"</Container></Window>");
  ASSERT_TRUE(window.Open(100, 100));
  EXPECT_TRUE(window.GetPaintManager().IsLayered());
  EXPECT_NE(GetWindowLongW(window.GetHWND(), GWL_EXSTYLE) & WS_EX_LAYERED, 0);
  EXPECT_EQ(window.Pixel(10, 10), 0x80800000u) << std::hex << window.Pixel(10, 10);
  // The border is drawn with a GDI pen, which leaves alpha 0: repaired to opaque.
  EXPECT_EQ(window.Pixel(40, 60), 0xFF0000FFu) << std::hex << window.Pixel(40, 60);
  // An opaque black fill stays opaque; untouched pixels stay transparent.
  EXPECT_EQ(window.Pixel(10, 90), 0xFF000000u) << std::hex << window.Pixel(10, 90);
  EXPECT_EQ(window.Pixel(60, 60), 0u);
  EXPECT_EQ(window.Pixel(95, 5), 0u);
  // On the screen the window is blended over the root window (black on Xvfb).
  EXPECT_EQ(ScreenPixel(window, 10, 10, RGB(128, 0, 0)), RGB(128, 0, 0));
  EXPECT_EQ(ScreenPixel(window, 40, 60, RGB(0, 0, 255)), RGB(0, 0, 255));
}

TEST_F(PaintTest, AnOrdinaryWindowGetsTheBitmapCopied) {
  TestWindow window(
      L"<Window size=\"100,100\"><VerticalLayout bkcolor=\"#FF00FF00\">"
      L"<Control height=\"50\" bkcolor=\"#FFFFFFFF\" bkcolor2=\"#FF000000\"/></VerticalLayout></Window>");
  ASSERT_TRUE(window.Open(100, 100));
  EXPECT_FALSE(window.GetPaintManager().IsLayered());
  EXPECT_EQ(ScreenPixel(window, 5, 80, RGB(0, 255, 0)), RGB(0, 255, 0));
  // A vertical gradient from white to black.
  EXPECT_EQ(ScreenPixel(window, 5, 0, RGB(255, 255, 255)), RGB(255, 255, 255));
  EXPECT_EQ(ScreenPixel(window, 5, 49, RGB(0, 0, 0)), RGB(0, 0, 0));
  COLORREF middle = ScreenPixel(window, 5, 25, RGB(125, 125, 125));
  EXPECT_NEAR(GetRValue(middle), 125, 6);
}

TEST_F(PaintTest, TheFirstLayoutInitialisesAndLaterOnesReportTheSize) {
  TestWindow window(L"<Window size=\"100,100\"><Control name=\"c\"/></Window>");
  ASSERT_TRUE(window.Open());
  auto layoutNotes = [&] {
    std::wstring types;
    for (const NotifyRecord& note : window.Notes()) {
      if (note.type == L"windowinit" || note.type == L"windowsize") types += note.type + L" ";
    }
    return types;
  };
  EXPECT_EQ(layoutNotes(), L"windowinit windowsize ");
  window.ClearNotes();
  SetWindowPos(window.GetHWND(), nullptr, 0, 0, 150, 120, SWP_NOMOVE | SWP_NOZORDER);
  window.Paint();
  EXPECT_EQ(layoutNotes(), L"windowsize ");
  EXPECT_EQ(RectText(window.Find(L"c")->GetPos()), RectText(RECT{0, 0, 150, 120}));
}

TEST_F(PaintTest, SetAllDpiRescalesTheWindowItsFontsAndItsLayout) {
  TestWindow window(
      L"<Window size=\"600,460\"><Font id=\"1\" name=\"WenQuanYi Micro Hei\" size=\"12\"/>"
      L"<VerticalLayout><Control name=\"c\" height=\"30\"/></VerticalLayout></Window>");
  ASSERT_TRUE(window.Open(10, 10));
  CPaintManagerUI& manager = window.GetPaintManager();
  auto fontHeight = [&] {
    const TEXTMETRICW& metrics = manager.GetFontInfo(1)->metrics;
    return metrics.tmHeight - metrics.tmInternalLeading;
  };
  RECT rect;
  GetWindowRect(window.GetHWND(), &rect);
  EXPECT_EQ(rect.right - rect.left, 600);
  EXPECT_EQ(rect.bottom - rect.top, 460);
  EXPECT_EQ(fontHeight(), 12);
  window.ClearNotes();

  CPaintManagerUI::SetAllDPI(192);
  EXPECT_EQ(CPaintManagerUI::GetAllDPI(), 192);
  MSG posted;
  ASSERT_TRUE(PeekMessageW(&posted, window.GetHWND(), kMsgDpiChanged, kMsgDpiChanged, PM_REMOVE));
  EXPECT_EQ(posted.wParam, 100u);
  EXPECT_EQ(posted.lParam, 200);
  window.Paint();
  GetWindowRect(window.GetHWND(), &rect);
  EXPECT_EQ(rect.left, 10);
  EXPECT_EQ(rect.right - rect.left, 1200);
  EXPECT_EQ(rect.bottom - rect.top, 920);
  EXPECT_EQ(fontHeight(), 24);
  EXPECT_EQ(window.Notes(L"dpichanged").size(), 1u);
  EXPECT_EQ(window.Find(L"c")->GetHeight(), 60);
  CPaintManagerUI::SetAllDPI(96);
}

TEST_F(PaintTest, TheShadowWindowFollowsItsParametersRanges) {
  TestWindow window(L"<Window size=\"100,100\" showshadow=\"true\"><Control/></Window>");
  ASSERT_TRUE(window.Open());
  CShadowUI* shadow = window.GetPaintManager().GetShadow();
  ASSERT_NE(shadow->GetWindow(), nullptr);
  EXPECT_EQ(GetWindow(shadow->GetWindow(), GW_OWNER), window.GetHWND());
  EXPECT_NE(GetWindowLongW(shadow->GetWindow(), GWL_EXSTYLE) & WS_EX_TRANSPARENT, 0);
  EXPECT_FALSE(shadow->SetSize(36));
  EXPECT_FALSE(shadow->SetSharpness(-1));
  EXPECT_FALSE(shadow->SetDarkness(256));
  EXPECT_FALSE(shadow->SetPosition(0, -36));
  EXPECT_EQ(shadow->GetSize(), 0);
  EXPECT_TRUE(shadow->SetSize(8));
  EXPECT_EQ(shadow->GetSize(), 8);
  DestroyWindow(window.GetHWND());
  EXPECT_EQ(shadow->GetWindow(), nullptr);
}

}  // namespace
