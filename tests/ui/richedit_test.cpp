// The rich edit on the platform's text services, in real (layered) windows: typing as the
// keyboard sends it and through real X key events, Enter and Tab, the text API, clipboard and
// context menu, undo, the client rectangle and the text drawn into it at 100 % and 200 %, the
// drawn caret and its blinking, the length limit, read-only boxes, the first click of
// autoselall and the tip of an empty box.
#include <gtest/gtest.h>
#include <windows.h>
#include <imm.h>

#include <algorithm>
#include <cwchar>
#include <string>
#include <vector>

#include "skintestsupport.h"
#include "testsupport.h"
#include "uirichedit.h"
#include "uitestwindow.h"
#include "uitxtwinhost.h"

namespace {

// A layered 320 × 150 window with a white column that holds the given rich edits.
std::wstring EditWindow(const std::wstring& edits, const wchar_t* window = L"bktrans=\"true\"") {
  return std::wstring(L"<Window size=\"320,150\" ") + window +
         L"><Font id=\"1\" name=\"WenQuanYi Micro Hei\" size=\"14\" default=\"true\"/>"
         L"<VerticalLayout bkcolor=\"#FFFFFFFF\" inset=\"10,10,10,10\" childpadding=\"10\">" +
         edits + L"</VerticalLayout></Window>";
}

// The installer's one-line folder box.
const wchar_t kPathEdit[] =
    L"<RichEdit name=\"edit\" height=\"34\" font=\"1\" align=\"left\" textcolor=\"#FF333333\" "
    L"RichEditDpiTextPadding=\"true\" textpadding=\"15,8,0,8\" TabSuppot=\"true\" "
    L"autoselall=\"false\" multiline=\"false\" rich=\"false\" CaretFollowTextColor=\"true\" "
    L"autohscroll=\"true\" transparent=\"true\" wantreturn=\"false\" valign=\"vcenter\" "
    L"nativebkcolor=\"#FFFFFFFF\"/>";

CRichEditUI* Edit(TestWindow& window, const wchar_t* name = L"edit") {
  CControlUI* control = window.Find(name);
  return control != nullptr ? static_cast<CRichEditUI*>(control->GetInterface(L"RichEdit"))
                            : nullptr;
}

// Each character as the keyboard sends it: key down, the character, key up, through the
// message loop's pre-message handling.
void Type(TestWindow& window, const std::wstring& text) {
  for (wchar_t character : text) {
    SHORT scan = VkKeyScanW(character);
    WPARAM key = scan != -1 ? LOBYTE(scan) : VK_PROCESSKEY;
    window.Key(WM_KEYDOWN, key, 1);
    window.Key(WM_CHAR, character, 1);
    window.Key(WM_KEYUP, key, 0xC0000001);
  }
}

// The enabled and greyed state of the items of an open popup menu.
struct MenuItem {
  UINT id;
  std::wstring text;
  bool grayed;
};

// A test window that reads the context menu while it is open and then closes it, pressing a
// key in it first when asked to.
class MenuWindow : public TestWindow {
 public:
  using TestWindow::TestWindow;
  std::vector<MenuItem> items;
  int opened = 0;
  WPARAM keyInMenu = 0;

 protected:
  LRESULT HandleCustomMessage(UINT message, WPARAM wParam, LPARAM lParam,
                              bool& handled) override {
    if (message == WM_ENTERIDLE && wParam == MSGF_MENU) {
      HWND popup = reinterpret_cast<HWND>(lParam);
      auto menu = reinterpret_cast<HMENU>(::SendMessageW(popup, MN_GETHMENU, 0, 0));
      if (menu != nullptr && items.empty()) {
        ++opened;
        for (int i = 0; i < GetMenuItemCount(menu); ++i) {
          wchar_t text[64] = {};
          GetMenuStringW(menu, i, text, 64, MF_BYPOSITION);
          UINT state = GetMenuState(menu, i, MF_BYPOSITION);
          items.push_back(MenuItem{GetMenuItemID(menu, i), text, (state & MF_GRAYED) != 0});
        }
        if (keyInMenu != 0) {
          ::PostMessageW(popup, WM_KEYDOWN, keyInMenu, 0);
        } else {
          EndMenu();
        }
      }
    }
    return TestWindow::HandleCustomMessage(message, wParam, lParam, handled);
  }
};

// Opens the context menu at a client point the way the system does after a right click.
void ContextMenuAt(TestWindow& window, int x, int y) {
  const POINT screen = window.ToScreen(x, y);
  ::SendMessageW(window.GetHWND(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(window.GetHWND()),
                 MAKELPARAM(screen.x, screen.y));
  window.Pump(50);
}

// The bounding box of the pixels inside rect that differ from the white background.
RECT InkBox(const TestWindow& window, const RECT& rect) {
  RECT box = {rect.right, rect.bottom, rect.left, rect.top};
  for (int y = rect.top; y < rect.bottom; ++y) {
    for (int x = rect.left; x < rect.right; ++x) {
      if (window.Pixel(x, y) == 0xFFFFFFFF) continue;
      box.left = std::min<LONG>(box.left, x);
      box.top = std::min<LONG>(box.top, y);
      box.right = std::max<LONG>(box.right, x + 1);
      box.bottom = std::max<LONG>(box.bottom, y + 1);
    }
  }
  return box;
}

class RichEditTest : public SkinTest {
 protected:
  void TearDown() override {
    CPaintManagerUI::SetAllDPI(96);
    SkinTest::TearDown();
  }
};

TEST_F(RichEditTest, TheSkinsAttributesMakeAOneLineBoxAndUnknownOnesStayCustom) {
  TestWindow window(EditWindow(kPathEdit));
  ASSERT_TRUE(window.Open());
  CRichEditUI* edit = Edit(window);
  ASSERT_NE(edit, nullptr);
  EXPECT_STREQ(edit->GetClass(), L"RichEdit");
  EXPECT_NE(edit->GetHost(), nullptr);
  EXPECT_EQ(edit->GetWinStyle(), static_cast<DWORD>(ES_AUTOHSCROLL));
  EXPECT_FALSE(edit->IsWantReturn());
  EXPECT_FALSE(edit->IsRich());
  EXPECT_EQ(edit->GetCustomAttribute(L"valign"), L"vcenter");
  EXPECT_EQ(edit->GetCustomAttribute(L"nativebkcolor"), L"#FFFFFFFF");
  // Tab moves on from a one-line box; it is a tab stop with the I-beam cursor.
  EXPECT_EQ(edit->GetControlFlags(), static_cast<UINT>(UIFLAG_TABSTOP | UIFLAG_SETCURSOR));
}

// Attaching a tree requests no tab navigation: a box focused after the first layout keeps the
// focus through the next paints instead of passing it on to the next tab stop.
TEST_F(RichEditTest, ABoxFocusedAfterTheFirstLayoutKeepsTheFocusThroughLaterPaints) {
  TestWindow window(EditWindow(L"<RichEdit name=\"edit\" font=\"1\" multiline=\"false\"/>"
                               L"<RichEdit name=\"next\" font=\"1\" multiline=\"false\"/>"));
  ASSERT_TRUE(window.Open());
  CRichEditUI* edit = Edit(window);
  edit->SetFocus();
  window.Paint();
  window.Paint();
  EXPECT_EQ(window.GetPaintManager().GetFocus(), edit);
}

TEST_F(RichEditTest, TypedCharactersChangeTheTextAndNotifyEachKeyAndChange) {
  TestWindow window(EditWindow(kPathEdit));
  ASSERT_TRUE(window.Open());
  CRichEditUI* edit = Edit(window);
  edit->SetFocus();
  window.ClearNotes();
  Type(window, L"D:\\a1");
  EXPECT_EQ(edit->GetText(), L"D:\\a1");
  EXPECT_EQ(window.Notes(kNotifyTextChanged).size(), 5u);
  std::vector<WPARAM> keys;
  for (const NotifyRecord& note : window.Notes(kNotifyKeyDown)) keys.push_back(note.wParam);
  std::vector<WPARAM> expected;
  for (wchar_t character : std::wstring(L"D:\\a1")) {
    expected.push_back(LOBYTE(VkKeyScanW(character)));
  }
  EXPECT_EQ(keys, expected);
  // Backspace reaches the services as well.
  window.ClearNotes();
  window.Key(WM_KEYDOWN, VK_BACK, 1);
  window.Key(WM_CHAR, L'\b', 1);
  EXPECT_EQ(edit->GetText(), L"D:\\a");
  EXPECT_EQ(window.Notes(kNotifyTextChanged).size(), 1u);
}

TEST_F(RichEditTest, RealXKeyEventsTypeIntoTheBoxClickedWithTheXPointer) {
  TestWindow window(EditWindow(kPathEdit));
  ASSERT_TRUE(window.Open(100, 100));
  CRichEditUI* edit = Edit(window);
  RECT text = edit->GetHost()->GetClientRect();
  const POINT target = window.ToScreen(text.left + 20, (text.top + text.bottom) / 2);
  window.ClearNotes();
  ASSERT_TRUE(StartXdotool(L"mousemove " + std::to_wstring(target.x) + L" " +
                           std::to_wstring(target.y) + L" click 1 sleep 0.3 type --delay 40 "
                           L"\"D:\\x y\""));
  PumpUntil([&] { return edit->GetText() == L"D:\\x y"; }, 15000);
  EXPECT_EQ(edit->GetText(), L"D:\\x y");
  EXPECT_EQ(window.GetPaintManager().GetFocus(), edit);
  EXPECT_EQ(window.Notes(kNotifyTextChanged).size(), 6u);
  std::vector<WPARAM> keys;
  for (const NotifyRecord& note : window.Notes(kNotifyKeyDown)) {
    if (note.wParam != VK_SHIFT) keys.push_back(note.wParam);
  }
  EXPECT_EQ(keys, (std::vector<WPARAM>{'D', VK_OEM_1, VK_OEM_5, 'X', VK_SPACE, 'Y'}));
  window.ParkPointer();
}

TEST_F(RichEditTest, EnterIsTakenByTheBoxOnlyWhenItWantsIt) {
  struct Case {
    const wchar_t* attributes;
    bool notifiesReturn;
    const wchar_t* text;
  } cases[] = {
      {L"multiline=\"false\" wantreturn=\"false\"", true, L"ab"},
      {L"multiline=\"true\" wantreturn=\"false\"", true, L"ab"},
      {L"multiline=\"true\" wantreturn=\"true\"", false, L"ab\r"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.attributes);
    TestWindow window(EditWindow(std::wstring(L"<RichEdit name=\"edit\" font=\"1\" ") +
                                 c.attributes + L"/>"));
    ASSERT_TRUE(window.Open());
    CRichEditUI* edit = Edit(window);
    edit->SetFocus();
    Type(window, L"ab");
    window.ClearNotes();
    Type(window, L"\r");
    EXPECT_EQ(edit->GetText(), c.text);
    EXPECT_EQ(window.Notes(kNotifyReturn).size(), c.notifiesReturn ? 1u : 0u);
    EXPECT_EQ(window.Notes(kNotifyTextChanged).empty(), c.notifiesReturn);
  }
}

TEST_F(RichEditTest, TabReachesAMultiLineBoxThatWantsItAndMovesOnFromAOneLineBox) {
  TestWindow window(EditWindow(
      L"<RichEdit name=\"notes\" font=\"1\" multiline=\"true\" wanttab=\"true\"/>"
      L"<RichEdit name=\"edit\" font=\"1\" multiline=\"false\"/>"
      L"<RichEdit name=\"last\" font=\"1\" multiline=\"false\"/>"));
  ASSERT_TRUE(window.Open());
  CPaintManagerUI& manager = window.GetPaintManager();
  CRichEditUI* notes = Edit(window, L"notes");
  notes->SetFocus();
  Type(window, L"a\tb");
  EXPECT_EQ(notes->GetText(), L"a\tb");
  EXPECT_EQ(manager.GetFocus(), notes);
  manager.SetFocus(Edit(window));
  window.Key(WM_KEYDOWN, VK_TAB, 1);
  EXPECT_EQ(manager.GetFocus(), Edit(window, L"last"));
  EXPECT_EQ(Edit(window)->GetText(), L"");
}

TEST_F(RichEditTest, SetTextReplacesAllTextAndGetTextReturnsItWhole) {
  TestWindow window(EditWindow(
      L"<RichEdit name=\"edit\" font=\"1\" multiline=\"false\" text=\"C:\\Program Files\"/>"));
  ASSERT_TRUE(window.Open());
  CRichEditUI* edit = Edit(window);
  EXPECT_EQ(edit->GetText(), L"C:\\Program Files");
  std::wstring longPath = L"C:\\";
  while (longPath.size() < 259) longPath += L"目录\\";
  longPath.resize(259);
  for (const std::wstring& text : {std::wstring(L"D:\\游戏\\产品"), longPath, std::wstring()}) {
    window.ClearNotes();
    edit->SetText(text);
    EXPECT_EQ(edit->GetText(), text);
    EXPECT_EQ(window.Notes(kNotifyTextChanged).size(), 1u);
  }
}

TEST_F(RichEditTest, SelectAllCopyAndPasteIntoASecondBox) {
  MenuWindow window(EditWindow(
      L"<RichEdit name=\"edit\" font=\"1\" multiline=\"false\" text=\"E:\\复制\\this\"/>"
      L"<RichEdit name=\"second\" font=\"1\" multiline=\"false\"/>"));
  ASSERT_TRUE(window.Open());
  CRichEditUI* edit = Edit(window);
  CRichEditUI* second = Edit(window, L"second");
  edit->SetFocus();
  // "全选(&A)" chosen in the open menu with its key.
  window.keyInMenu = 'A';
  RECT pos = edit->GetPos();
  ContextMenuAt(window, pos.left + 20, pos.top + 10);
  ASSERT_EQ(window.opened, 1);
  // The whole text (the services may count the closing paragraph mark in as well).
  CHARRANGE all = edit->GetSel();
  EXPECT_EQ(all.cpMin, 0);
  EXPECT_GE(all.cpMax, 10);
  ::SendMessageW(window.GetHWND(), WM_COMMAND, 103, 0);
  second->SetFocus();
  ::SendMessageW(window.GetHWND(), WM_COMMAND, 104, 0);
  EXPECT_EQ(second->GetText(), L"E:\\复制\\this");
  // Menu commands only reach the box with the focus.
  ::SendMessageW(window.GetHWND(), WM_COMMAND, 105, 0);
  EXPECT_EQ(edit->GetText(), L"E:\\复制\\this");
}

TEST_F(RichEditTest, TheContextMenuGreysWhatTheSelectionAndReadOnlyForbid) {
  struct Case {
    const wchar_t* attributes;
    bool select;
    std::vector<bool> grayed;  // undo, redo, cut, copy, paste, clear, select all
  } cases[] = {
      {L"", false, {true, true, true, true, false, true, false}},
      {L"", true, {true, true, false, false, false, false, false}},
      {L"readonly=\"true\"", true, {true, true, true, false, true, true, false}},
  };
  const std::vector<std::wstring> texts = {L"撤销(&U)", L"重做(&R)", L"", L"剪切(&X)", L"复制(&C)",
                                           L"粘贴(&V)", L"清空(&L)", L"", L"全选(&A)"};
  const std::vector<UINT> ids = {101, 107, 0, 102, 103, 104, 105, 0, 106};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.attributes << (c.select ? " selected" : ""));
    MenuWindow window(EditWindow(
        std::wstring(L"<RichEdit name=\"edit\" font=\"1\" multiline=\"false\" text=\"abc\" ") +
        c.attributes + L"/>"));
    ASSERT_TRUE(window.Open());
    CRichEditUI* edit = Edit(window);
    edit->SetFocus();
    edit->SetSel(c.select ? 0 : 1, 1);
    RECT pos = edit->GetPos();
    ContextMenuAt(window, pos.left + 20, pos.top + 10);
    ASSERT_EQ(window.items.size(), texts.size());
    std::vector<bool> grayed;
    for (size_t i = 0; i < window.items.size(); ++i) {
      EXPECT_EQ(window.items[i].text, texts[i]);
      EXPECT_EQ(window.items[i].id, ids[i]);
      if (ids[i] != 0) grayed.push_back(window.items[i].grayed);
    }
    EXPECT_EQ(grayed, c.grayed);
  }
}

TEST_F(RichEditTest, UndoAndRedoFollowTypingAndNoMenuWithoutWantMenu) {
  MenuWindow window(EditWindow(
      L"<RichEdit name=\"edit\" font=\"1\" multiline=\"false\"/>"
      L"<RichEdit name=\"plain\" font=\"1\" multiline=\"false\" WantMenu=\"false\"/>"));
  ASSERT_TRUE(window.Open());
  CRichEditUI* edit = Edit(window);
  edit->SetFocus();
  Type(window, L"xyz");
  RECT pos = edit->GetPos();
  ContextMenuAt(window, pos.left + 20, pos.top + 10);
  ASSERT_FALSE(window.items.empty());
  EXPECT_FALSE(window.items[0].grayed);
  ::SendMessageW(window.GetHWND(), WM_COMMAND, 101, 0);
  EXPECT_EQ(edit->GetText(), L"");
  ::SendMessageW(window.GetHWND(), WM_COMMAND, 107, 0);
  EXPECT_EQ(edit->GetText(), L"xyz");

  window.items.clear();
  RECT plain = window.Find(L"plain")->GetPos();
  ContextMenuAt(window, plain.left + 20, plain.top + 10);
  EXPECT_EQ(window.opened, 1);
}

// Moves over the text reach the paint manager too: the pointer coming straight from another
// control into the text makes the box hot (with its hot text colour) and the other one leave.
TEST_F(RichEditTest, ThePointerMovingIntoTheTextMakesTheBoxHot) {
  TestWindow window(EditWindow(
      L"<Control name=\"other\" height=\"30\" ReponseMouseEnterLeave=\"true\"/>"
      L"<RichEdit name=\"edit\" height=\"40\" font=\"1\" multiline=\"false\" "
      L"textcolor=\"#FF000000\" text=\"MMMM\"/>"));
  ASSERT_TRUE(window.Open());
  CRichEditUI* edit = Edit(window);
  edit->SetHotTextColor(0xFFFF0000);
  RECT text = edit->GetHost()->GetClientRect();
  auto redInk = [&] {
    window.Paint();
    RECT pos = edit->GetPos();
    for (int y = pos.top; y < pos.bottom; ++y) {
      for (int x = pos.left; x < pos.right; ++x) {
        DWORD pixel = window.Pixel(x, y);
        if ((pixel >> 16 & 0xFF) > 200 && (pixel >> 8 & 0xFF) < 60 && (pixel & 0xFF) < 60) {
          return true;
        }
      }
    }
    return false;
  };
  EXPECT_FALSE(redInk());
  window.Mouse(WM_MOUSEMOVE, 20, 20);
  window.ClearNotes();
  window.Mouse(WM_MOUSEMOVE, text.left + 5, text.top + 5);
  EXPECT_EQ(window.GetPaintManager().GetHover(), edit);
  EXPECT_EQ(window.NoteTypes(), L"mouseleave");
  EXPECT_TRUE(redInk());
  window.Mouse(WM_MOUSEMOVE, 20, 20);
  EXPECT_FALSE(redInk());
}

// Characters from an input method arrive as WM_IME_CHAR and reach the services as WM_CHAR;
// a composition places its window at the caret.
TEST_F(RichEditTest, InputMethodCharactersArriveAndTheCompositionWindowFollowsTheCaret) {
  TestWindow window(EditWindow(kPathEdit));
  ASSERT_TRUE(window.Open());
  CRichEditUI* edit = Edit(window);
  edit->SetFocus();
  Type(window, L"C:\\");
  for (wchar_t character : std::wstring(L"软件")) {
    window.Key(WM_IME_CHAR, character, 1);
    window.Pump();
  }
  EXPECT_EQ(edit->GetText(), L"C:\\软件");
  window.Key(WM_IME_COMPOSITION, 0, GCS_COMPSTR);
  HIMC context = ImmGetContext(window.GetHWND());
  ASSERT_NE(context, nullptr);
  COMPOSITIONFORM form = {};
  EXPECT_TRUE(ImmGetCompositionWindow(context, &form));
  ImmReleaseContext(window.GetHWND(), context);
  RECT caret = edit->GetHost()->GetCaretRect();
  EXPECT_EQ(form.dwStyle, static_cast<DWORD>(CFS_POINT));
  EXPECT_EQ(form.ptCurrentPos.x, caret.left);
  EXPECT_EQ(form.ptCurrentPos.y, caret.top);
  EXPECT_GT(caret.left, edit->GetHost()->GetClientRect().left);
}

// The services' own notifications: those of the list reach the window as WM_NOTIFY from the
// window itself; a resize request reshapes the client rectangle.
class NotifyWindow : public TestWindow {
 public:
  using TestWindow::TestWindow;
  std::vector<NMHDR> headers;

 protected:
  LRESULT HandleCustomMessage(UINT message, WPARAM wParam, LPARAM lParam,
                              bool& handled) override {
    if (message == WM_NOTIFY) headers.push_back(*reinterpret_cast<NMHDR*>(lParam));
    return TestWindow::HandleCustomMessage(message, wParam, lParam, handled);
  }
};

TEST_F(RichEditTest, SelectionChangesReachTheWindowAndResizeRequestsTheClientRectangle) {
  NotifyWindow window(EditWindow(
      L"<RichEdit name=\"edit\" font=\"1\" multiline=\"true\" text=\"one\"/>"));
  ASSERT_TRUE(window.Open());
  SetWindowLongPtrW(window.GetHWND(), GWLP_ID, 77);
  CRichEditUI* edit = Edit(window);
  edit->SendServicesMessage(EM_SETEVENTMASK, 0, ENM_CHANGE | ENM_SELCHANGE | ENM_REQUESTRESIZE);
  edit->SetSel(0, 2);
  ASSERT_FALSE(window.headers.empty());
  EXPECT_EQ(window.headers.back().hwndFrom, window.GetHWND());
  EXPECT_EQ(window.headers.back().idFrom, 77u);
  EXPECT_EQ(window.headers.back().code, static_cast<UINT>(EN_SELCHANGE));

  RECT before = edit->GetHost()->GetClientRect();
  window.headers.clear();
  edit->SendServicesMessage(EM_REQUESTRESIZE);
  RECT after = edit->GetHost()->GetClientRect();
  EXPECT_EQ(after.left, before.left);
  EXPECT_EQ(after.top, before.top);
  EXPECT_LT(after.bottom, before.bottom);
  EXPECT_GT(after.bottom, after.top);
  EXPECT_TRUE(window.headers.empty());
}

// With EnabledAlpha the text of a transparent box gets the alpha of its brightest channel
// instead of the window's repair to opaque.
TEST_F(RichEditTest, EnabledAlphaGivesTextPixelsTheAlphaOfTheirBrightestChannel) {
  for (bool enabled : {false, true}) {
    SCOPED_TRACE(enabled);
    TestWindow window(std::wstring(L"<Window size=\"200,60\" bktrans=\"true\">"
                                   L"<Font id=\"1\" name=\"WenQuanYi Micro Hei\" size=\"20\"/>"
                                   L"<Container><RichEdit name=\"edit\" font=\"1\" "
                                   L"textcolor=\"#FF606060\" text=\"HHHH\" EnabledAlpha=\"") +
                      (enabled ? L"true" : L"false") + L"\"/></Container></Window>");
    ASSERT_TRUE(window.Open());
    window.Paint();
    int core = 0;
    for (int y = 0; y < 60; ++y) {
      for (int x = 0; x < 200; ++x) {
        DWORD pixel = window.Pixel(x, y);
        if ((pixel & 0x00FFFFFF) != 0x606060) continue;
        ++core;
        EXPECT_EQ(pixel >> 24, enabled ? 0x60u : 0xFFu);
      }
    }
    EXPECT_GT(core, 10);
  }
}

TEST_F(RichEditTest, TheWheelScrollsAMultiLineBox) {
  TestWindow window(EditWindow(
      L"<RichEdit name=\"edit\" height=\"40\" font=\"1\" multiline=\"true\" "
      L"autovscroll=\"true\"/>"));
  ASSERT_TRUE(window.Open());
  CRichEditUI* edit = Edit(window);
  edit->SetText(L"1\r2\r3\r4\r5\r6\r7\r8");
  edit->SetSel(0, 0);
  EXPECT_EQ(edit->SendServicesMessage(EM_GETFIRSTVISIBLELINE), 0);
  RECT pos = edit->GetPos();
  const POINT screen = window.ToScreen(pos.left + 20, pos.top + 20);
  ::SendMessageW(window.GetHWND(), WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA),
                 MAKELPARAM(screen.x, screen.y));
  EXPECT_GT(edit->SendServicesMessage(EM_GETFIRSTVISIBLELINE), 0);
}

TEST_F(RichEditTest, TheClientRectangleKeepsTheScaledPaddingAndTheTextInsideIt) {
  struct Case {
    int dpi;
    RECT inset;  // of the client rectangle in the item rectangle
  } cases[] = {{96, {15, 8, 0, 8}}, {192, {30, 16, 0, 16}}};
  LONG inkHeight[2] = {};
  for (int i = 0; i < 2; ++i) {
    const Case& c = cases[i];
    SCOPED_TRACE(c.dpi);
    TestWindow window(EditWindow(kPathEdit));
    ASSERT_TRUE(window.Open(100, 100));
    CPaintManagerUI::SetAllDPI(c.dpi);
    CRichEditUI* edit = Edit(window);
    edit->SetText(L"C:\\Program Files (x86)\\Product");
    window.Paint();
    RECT item = edit->GetPos();
    EXPECT_EQ(item.bottom - item.top, 34 * c.dpi / 96);
    RECT client = edit->GetHost()->GetClientRect();
    EXPECT_EQ(RectText(client),
              RectText(RECT{item.left + c.inset.left, item.top + c.inset.top,
                            item.right - c.inset.right, item.bottom - c.inset.bottom}));
    RECT ink = InkBox(window, item);
    ASSERT_LT(ink.left, ink.right) << "no text drawn";
    EXPECT_GE(ink.left, client.left);
    EXPECT_GE(ink.top, client.top);
    EXPECT_LE(ink.bottom, client.bottom);
    EXPECT_LT(ink.left, client.left + 4 * c.dpi / 96);
    inkHeight[i] = ink.bottom - ink.top;
    // Drawn text on a layered window is opaque.
    EXPECT_EQ(window.Pixel(ink.left, (ink.top + ink.bottom) / 2) >> 24, 0xFFu);
  }
  // The font follows the scale.
  EXPECT_NEAR(inkHeight[1], 2 * inkHeight[0], 3);
}

// A padding written while the window is at 200 % is scaled once, whether or not it follows
// later scale changes.
TEST_F(RichEditTest, APaddingSetAtTwoHundredPercentIsScaledOnce) {
  for (const wchar_t* follow : {L"true", L"false"}) {
    SCOPED_TRACE(follow);
    TestWindow window(EditWindow(kPathEdit));
    ASSERT_TRUE(window.Open());
    CPaintManagerUI::SetAllDPI(192);
    CRichEditUI* edit = Edit(window);
    edit->SetAttribute(L"RichEditDpiTextPadding", follow);
    edit->SetAttribute(L"textpadding", L"10,4,6,2");
    window.Paint();
    RECT item = edit->GetPos();
    EXPECT_EQ(RectText(edit->GetHost()->GetClientRect()),
              RectText(RECT{item.left + 20, item.top + 8, item.right - 12, item.bottom - 4}));
    CPaintManagerUI::SetAllDPI(96);
  }
}

// The caret pixels of a layered window: drawn while the box has the focus, in the text colour,
// blinking with the system caret blink time.
TEST_F(RichEditTest, ALayeredWindowDrawsTheCaretInTheTextColourAndBlinksIt) {
  struct Case {
    const wchar_t* follow;
    DWORD color;
  } cases[] = {{L"true", 0xFF2060C0}, {L"false", 0xFF000000}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.follow);
    TestWindow window(EditWindow(
        std::wstring(L"<RichEdit name=\"edit\" height=\"34\" font=\"1\" multiline=\"false\" "
                     L"textcolor=\"#FF2060C0\" textpadding=\"15,8,0,8\" CaretFollowTextColor=\"") +
        c.follow + L"\"/>"));
    ASSERT_TRUE(window.Open());
    CRichEditUI* edit = Edit(window);
    window.Paint();
    RECT empty = InkBox(window, edit->GetPos());
    EXPECT_TRUE(IsRectEmpty(&empty)) << "drawn without the focus: " << RectText(empty);
    edit->SetFocus();
    window.Paint();
    ASSERT_TRUE(edit->GetHost()->IsCaretShown());
    RECT caret = edit->GetHost()->GetCaretRect();
    ASSERT_FALSE(IsRectEmpty(&caret));
    EXPECT_EQ(caret.left, edit->GetHost()->GetClientRect().left);
    EXPECT_EQ(window.Pixel(caret.left, (caret.top + caret.bottom) / 2), c.color);
    // Two blink times show it hidden and shown again.
    bool hidden = false;
    bool shownAgain = false;
    DWORD end = GetTickCount() + 3 * GetCaretBlinkTime();
    while (GetTickCount() < end && !shownAgain) {
      window.Pump(20);
      DWORD pixel = window.Pixel(caret.left, (caret.top + caret.bottom) / 2);
      if (pixel == 0xFFFFFFFF) hidden = true;
      if (hidden && pixel == c.color) shownAgain = true;
    }
    EXPECT_TRUE(hidden);
    EXPECT_TRUE(shownAgain);
  }
}

TEST_F(RichEditTest, MaxCharLimitsTypingAndReadOnlyRefusesIt) {
  struct Case {
    const wchar_t* attributes;
    const wchar_t* text;
  } cases[] = {
      {L"maxchar=\"4\"", L"abcd"},
      {L"maxchar=\"0\"", L"abcdef"},
      {L"readonly=\"true\"", L""},
      {L"readonly=\"false\"", L"abcdef"},
  };
  // Wine's services report a change for a character refused at the limit as well; a read-only
  // box reports none.
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.attributes);
    TestWindow window(EditWindow(
        std::wstring(L"<RichEdit name=\"edit\" font=\"1\" multiline=\"false\" ") + c.attributes +
        L"/>"));
    ASSERT_TRUE(window.Open());
    CRichEditUI* edit = Edit(window);
    edit->SetFocus();
    window.ClearNotes();
    Type(window, L"abcdef");
    EXPECT_EQ(edit->GetText(), c.text);
    if (*c.text == 0) {
      EXPECT_TRUE(window.Notes(kNotifyTextChanged).empty());
    }
  }
}

TEST_F(RichEditTest, WithAutoSelAllTheFirstClickSelectsAllAndTheNextPlacesTheCaret) {
  TestWindow window(EditWindow(
      L"<RichEdit name=\"edit\" height=\"34\" font=\"1\" multiline=\"false\" "
      L"autoselall=\"true\" text=\"C:\\Games\\Product\"/>"
      L"<RichEdit name=\"other\" font=\"1\" multiline=\"false\"/>"));
  ASSERT_TRUE(window.Open());
  CRichEditUI* edit = Edit(window);
  Edit(window, L"other")->SetFocus();
  RECT pos = edit->GetPos();
  window.Click(pos.left + 30, pos.top + 17);
  EXPECT_EQ(window.GetPaintManager().GetFocus(), edit);
  CHARRANGE range = edit->GetSel();
  EXPECT_EQ(range.cpMin, 0);
  EXPECT_GE(range.cpMax, 16);
  window.Click(pos.left + 30, pos.top + 17);
  range = edit->GetSel();
  EXPECT_EQ(range.cpMin, range.cpMax);
  EXPECT_GT(range.cpMin, 0);
  EXPECT_LT(range.cpMin, 16);
}

TEST_F(RichEditTest, AnEmptyBoxShowsItsTipUntilItHasTheFocus) {
  struct Case {
    const wchar_t* focusShow;
    bool tipWhileFocused;
  } cases[] = {{L"false", false}, {L"true", true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.focusShow);
    TestWindow window(EditWindow(
        std::wstring(L"<RichEdit name=\"edit\" height=\"34\" font=\"1\" multiline=\"false\" "
                     L"tipvalue=\"请选择\" tipvaluecolor=\"#FFFF0000\" textpadding=\"15,8,0,8\" "
                     L"FocusShowTipValue=\"") +
        c.focusShow + L"\"/>"));
    ASSERT_TRUE(window.Open());
    CRichEditUI* edit = Edit(window);
    window.Paint();
    RECT tip = InkBox(window, edit->GetPos());
    ASSERT_FALSE(IsRectEmpty(&tip));
    EXPECT_GE(tip.left, edit->GetPos().left + 15);
    auto hasRed = [&] {
      for (int y = tip.top; y < tip.bottom; ++y) {
        for (int x = tip.left; x < tip.right; ++x) {
          if (window.Pixel(x, y) == 0xFFFF0000) return true;
        }
      }
      return false;
    };
    EXPECT_TRUE(hasRed());
    edit->SetFocus();
    window.Paint();
    EXPECT_EQ(hasRed(), c.tipWhileFocused);
    // Text hides the tip.
    edit->SetText(L"x");
    window.Paint();
    EXPECT_FALSE(hasRed());
  }
}

}  // namespace
