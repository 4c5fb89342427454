// The paint manager's routing of real window messages: hover, capture, notifications and
// their queue, notify maps, focus, the tab ring, timers and the caption hit test.
#include <gtest/gtest.h>

#include <set>

#include "skintestsupport.h"
#include "uicontainer.h"
#include "uitestwindow.h"

namespace {

// Records the events that controls receive.
class EventLog {
 public:
  void Watch(CControlUI* control) {
    control->OnEvent += [this, control](void* param) {
      auto* event = static_cast<ControlEvent*>(param);
      events_.push_back({control->GetName(), event->type});
      return true;
    };
  }
  // Events of one control, in order.
  std::vector<UIEvent> Of(const std::wstring& name) const {
    std::vector<UIEvent> selected;
    for (const auto& entry : events_) {
      if (entry.first == name) selected.push_back(entry.second);
    }
    return selected;
  }

 private:
  std::vector<std::pair<std::wstring, UIEvent>> events_;
};

using EventsTest = SkinTest;

TEST_F(EventsTest, HoverEntersAndLeavesAsThePointerMoves) {
  TestWindow window(
      L"<Window size=\"200,50\"><HorizontalLayout><Control name=\"a\" ReponseMouseEnterLeave=\"true\"/>"
      L"<Control name=\"b\" ReponseMouseEnterLeave=\"true\"/><Control name=\"quiet\"/>"
      L"</HorizontalLayout></Window>");
  ASSERT_TRUE(window.Open());
  window.ClearNotes();
  window.Mouse(WM_MOUSEMOVE, 10, 10);
  window.Mouse(WM_MOUSEMOVE, 20, 10);
  window.Mouse(WM_MOUSEMOVE, 80, 10);
  window.Mouse(WM_MOUSEMOVE, 150, 10);
  EXPECT_EQ(window.GetPaintManager().GetHover(), window.Find(L"quiet"));
  EXPECT_EQ(window.Trail(),
            L"mouseenter:a mousemove:a mousemove:a mouseleave:a mouseenter:b mousemove:b "
            L"mouseleave:b mousemove:quiet");
}

TEST_F(EventsTest, ThePressedControlKeepsTheMouseAcrossTheWindowEdge) {
  // The log outlives the window: closing the window takes the focus from "a", and the log
  // hears that event.
  EventLog log;
  TestWindow window(
      L"<Window size=\"200,50\"><HorizontalLayout><Control name=\"a\"/><Control name=\"b\"/>"
      L"</HorizontalLayout></Window>");
  ASSERT_TRUE(window.Open());
  log.Watch(window.Find(L"a"));
  log.Watch(window.Find(L"b"));
  window.Mouse(WM_MOUSEMOVE, 10, 10);
  window.Mouse(WM_LBUTTONDOWN, 10, 10, MK_LBUTTON);
  EXPECT_EQ(GetCapture(), window.GetHWND());
  EXPECT_EQ(window.GetPaintManager().GetClickControl(), window.Find(L"a"));
  EXPECT_EQ(window.GetPaintManager().GetFocus(), window.Find(L"a"));
  // Over the other control and outside the window, the moves still go to the pressed one.
  window.Mouse(WM_MOUSEMOVE, 150, 10, MK_LBUTTON);
  window.Mouse(WM_MOUSEMOVE, -40, 300, MK_LBUTTON);
  window.Mouse(WM_LBUTTONUP, -40, 300);
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_EQ(window.GetPaintManager().GetClickControl(), nullptr);
  EXPECT_EQ(log.Of(L"a"),
            (std::vector<UIEvent>{UIEvent::MouseEnter, UIEvent::MouseMove, UIEvent::SetFocus,
                                  UIEvent::ButtonDown, UIEvent::MouseMove, UIEvent::MouseMove,
                                  UIEvent::ButtonUp}));
  EXPECT_TRUE(log.Of(L"b").empty());
}

TEST_F(EventsTest, QueuedNotificationsShareOneWakeUpAndKeepTheirOrder) {
  TestWindow window(L"<Window size=\"100,50\"><Control name=\"c\"/></Window>");
  ASSERT_TRUE(window.Open());
  window.ClearNotes();
  CPaintManagerUI& manager = window.GetPaintManager();
  manager.SendNotify(window.Find(L"c"), L"first", 1, 0, true);
  manager.SendNotify(window.Find(L"c"), L"second", 2, 0, true);
  EXPECT_TRUE(window.Notes().empty());
  int wakeUps = 0;
  MSG msg;
  std::vector<MSG> taken;
  while (PeekMessageW(&msg, window.GetHWND(), kMsgAsyncNotify, kMsgAsyncNotify, PM_REMOVE)) {
    ++wakeUps;
    taken.push_back(msg);
  }
  EXPECT_EQ(wakeUps, 1);
  for (MSG& wakeUp : taken) DispatchMessageW(&wakeUp);
  EXPECT_EQ(window.NoteTypes(), L"first second");
  // A synchronous notification sent from inside a handler arrives at once.
  manager.SendNotify(window.Find(L"c"), L"third", 3, 0, false);
  EXPECT_EQ(window.NoteTypes(), L"first second third");
}

TEST_F(EventsTest, QueuedNotificationsOfARemovedControlAreDropped) {
  TestWindow window(
      L"<Window size=\"100,50\"><HorizontalLayout name=\"row\"><Control name=\"gone\"/>"
      L"<Control name=\"kept\"/></HorizontalLayout></Window>");
  ASSERT_TRUE(window.Open());
  window.ClearNotes();
  CPaintManagerUI& manager = window.GetPaintManager();
  manager.SendNotify(window.Find(L"gone"), L"first", 0, 0, true);
  manager.SendNotify(window.Find(L"kept"), L"second", 0, 0, true);
  auto* row = static_cast<IContainerUI*>(window.Find(L"row")->GetInterface(L"IContainer"));
  ASSERT_TRUE(row->Remove(window.Find(L"gone")));
  EXPECT_EQ(window.Find(L"gone"), nullptr);
  window.Pump();
  auto seconds = window.Notes(L"second");
  ASSERT_EQ(seconds.size(), 1u);
  EXPECT_EQ(seconds[0].sender, L"kept");
  EXPECT_TRUE(window.Notes(L"first").empty());
}

// A window with a notify map of its own, chained to the window base's.
class MapWindow : public TestWindow {
 public:
  using TestWindow::TestWindow;
  std::vector<std::wstring> handled;

  static const NotifyMap* ClassNotifyMap() {
    static const NotifyMapEntry entries[] = {
        NotifyEntry(kNotifyClick, L"BtnClose", &MapWindow::OnCloseClick),
        NotifyEntry(kNotifySelectChanged, L"CheckA", &MapWindow::OnCheckA),
        NotifyEntry(kNotifySelectChanged, L"", &MapWindow::OnAnySelect),
        NotifyEntry(L"ping", L"", &MapWindow::OnPing),
        EndOfMap(),
    };
    static const NotifyMap map = {WindowImplBase::ClassNotifyMap(), entries};
    return &map;
  }

 protected:
  const NotifyMap* GetNotifyMap() const override { return ClassNotifyMap(); }
  void OnSelectChanged(NotifyMsg&) override { handled.push_back(L"base selectchanged"); }

 private:
  void OnCloseClick(NotifyMsg& msg) { handled.push_back(L"close " + msg.sender->GetName()); }
  void OnCheckA(NotifyMsg&) { handled.push_back(L"CheckA"); }
  void OnAnySelect(NotifyMsg& msg) { handled.push_back(L"any " + msg.sender->GetName()); }
  void OnPing(WPARAM wParam, LPARAM lParam) {
    handled.push_back(L"ping " + std::to_wstring(wParam) + L" " + std::to_wstring(lParam));
  }
};

TEST_F(EventsTest, NotifyMapsMatchNamesFirstAndFallBackToTheBaseTable) {
  MapWindow window(
      L"<Window size=\"200,50\"><HorizontalLayout><Control name=\"BtnClose\"/>"
      L"<Control name=\"CheckA\"/><Control name=\"CheckB\"/><Control name=\"minbtn\"/>"
      L"</HorizontalLayout></Window>");
  ASSERT_TRUE(window.Open());
  CPaintManagerUI& manager = window.GetPaintManager();
  manager.SendNotify(window.Find(L"BtnClose"), kNotifyClick);
  manager.SendNotify(window.Find(L"CheckA"), kNotifySelectChanged);
  manager.SendNotify(window.Find(L"CheckB"), kNotifySelectChanged);
  manager.SendNotify(window.Find(L"CheckB"), L"ping", 7, 9);
  EXPECT_EQ(window.handled, (std::vector<std::wstring>{L"close BtnClose", L"CheckA", L"any CheckB",
                                                        L"ping 7 9"}));
  // "minbtn" has no entry here: the base table's click minimises the window.
  manager.SendNotify(window.Find(L"minbtn"), kNotifyClick);
  window.Pump(100);
  EXPECT_TRUE(IsIconic(window.GetHWND()));
}

TEST_F(EventsTest, LosingTheWindowFocusRemovesTheControlFocus) {
  TestWindow window(
      L"<Window size=\"200,50\"><HorizontalLayout><Control name=\"a\"/><Control name=\"b\"/>"
      L"</HorizontalLayout></Window>");
  ASSERT_TRUE(window.Open());
  CPaintManagerUI& manager = window.GetPaintManager();
  manager.SetFocus(window.Find(L"a"));
  manager.SetFocus(window.Find(L"b"));
  auto kills = window.Notes(L"killfocus");
  ASSERT_EQ(kills.size(), 1u);
  EXPECT_EQ(kills[0].sender, L"a");
  EXPECT_EQ(kills[0].wParam, reinterpret_cast<WPARAM>(window.Find(L"b")));
  window.ClearNotes();
  ::SendMessageW(window.GetHWND(), WM_KILLFOCUS, 0, 0);
  EXPECT_EQ(manager.GetFocus(), nullptr);
  kills = window.Notes(L"killfocus");
  ASSERT_EQ(kills.size(), 1u);
  EXPECT_EQ(kills[0].sender, L"b");
  EXPECT_EQ(kills[0].wParam, 0u);
  EXPECT_TRUE(window.Notes(L"setfocus").empty());
}

TEST_F(EventsTest, TheTabRingWalksItsMembersInBuildOrderEitherWay) {
  TestWindow window(
      L"<Window size=\"300,50\" normaltab=\"false\"><HorizontalLayout>"
      L"<Control name=\"t1\" TabSuppot=\"true\"/><Control name=\"plain\"/>"
      L"<HorizontalLayout><Control name=\"t2\" TabSuppot=\"true\"/>"
      L"<Control name=\"t3\" TabSuppot=\"true\"/></HorizontalLayout>"
      L"<Control name=\"t4\" TabSuppot=\"true\"/></HorizontalLayout></Window>");
  ASSERT_TRUE(window.Open());
  CPaintManagerUI& manager = window.GetPaintManager();
  auto focusName = [&] {
    return manager.GetFocus() != nullptr ? manager.GetFocus()->GetName() : std::wstring(L"-");
  };
  std::vector<std::wstring> walk;
  for (int i = 0; i < 5; ++i) {
    window.Key(WM_KEYDOWN, VK_TAB);
    walk.push_back(focusName());
  }
  EXPECT_EQ(walk, (std::vector<std::wstring>{L"t1", L"t2", L"t3", L"t4", L"t1"}));

  BYTE keys[256];
  GetKeyboardState(keys);
  keys[VK_SHIFT] = 0x80;
  SetKeyboardState(keys);
  window.Key(WM_KEYDOWN, VK_TAB);
  EXPECT_EQ(focusName(), L"t2");
  keys[VK_SHIFT] = 0;
  SetKeyboardState(keys);

  // A click elsewhere takes the focus out of the ring; Tab goes on after the last used one.
  manager.SetFocus(window.Find(L"plain"));
  window.Key(WM_KEYDOWN, VK_TAB);
  EXPECT_EQ(focusName(), L"t3");
  window.Find(L"t4")->SetVisible(false);
  window.Key(WM_KEYDOWN, VK_TAB);
  EXPECT_EQ(focusName(), L"t1");
}

// Records the window-local ids of the system timers that fire.
class TimerWatch : public IMessageFilterUI {
 public:
  LRESULT MessageHandler(UINT message, WPARAM wParam, LPARAM, bool&) override {
    if (message == WM_TIMER) ids.insert(static_cast<UINT>(wParam));
    return 0;
  }
  std::set<UINT> ids;
};

TEST_F(EventsTest, ControlTimersUseRecycledWindowLocalIds) {
  TestWindow window(
      L"<Window size=\"100,50\"><HorizontalLayout><Control name=\"a\"/><Control name=\"b\"/>"
      L"</HorizontalLayout></Window>");
  ASSERT_TRUE(window.Open());
  CPaintManagerUI& manager = window.GetPaintManager();
  TimerWatch watch;
  manager.AddMessageFilter(&watch);
  CControlUI* a = window.Find(L"a");
  EXPECT_TRUE(manager.SetTimer(a, 7, 10));
  EXPECT_FALSE(manager.SetTimer(a, 7, 10));
  window.Pump(200);
  ASSERT_EQ(watch.ids.size(), 1u);
  UINT first = *watch.ids.begin();
  auto timers = window.Notes(L"timer");
  ASSERT_FALSE(timers.empty());
  EXPECT_EQ(timers[0].sender, L"a");
  EXPECT_EQ(timers[0].wParam, 7u);

  EXPECT_TRUE(manager.KillTimer(a, 7));
  window.Pump(50);
  watch.ids.clear();
  window.ClearNotes();
  window.Pump(100);
  EXPECT_TRUE(window.Notes(L"timer").empty());
  EXPECT_TRUE(manager.SetTimer(a, 7, 10));
  window.Pump(200);
  EXPECT_EQ(watch.ids, std::set<UINT>{first});

  // Three hundred timers: every one is set, and no system timer id reaches 240.
  manager.KillTimer(a);
  CControlUI* b = window.Find(L"b");
  for (UINT id = 0; id < 300; ++id) EXPECT_TRUE(manager.SetTimer(b, id, 50)) << id;
  watch.ids.clear();
  window.Pump(300);
  EXPECT_FALSE(watch.ids.empty());
  EXPECT_LT(*watch.ids.rbegin(), 240u);
  manager.KillTimer(b);
  manager.RemoveMessageFilter(&watch);
}

// A control of a class the caption band does not drag over, made by the builder callback.
class ClickPad : public CControlUI {
 public:
  const wchar_t* GetClass() const override { return L"ClickPadUI"; }
};

class PadWindow : public TestWindow {
 public:
  using TestWindow::TestWindow;
  CControlUI* CreateControl(const std::wstring& element) override {
    return element == L"ClickPad" ? new ClickPad() : nullptr;
  }
};

TEST_F(EventsTest, TheCaptionBandDragsOverStaticControlsOnly) {
  PadWindow window(
      L"<Window size=\"300,200\" caption=\"0,0,0,66\"><VerticalLayout>"
      L"<HorizontalLayout height=\"40\"><Control name=\"label\"/><ClickPad name=\"pad\" "
      L"width=\"40\"/></HorizontalLayout><Control/></VerticalLayout></Window>");
  ASSERT_TRUE(window.Open(100, 100));
  auto hitTest = [&](int x, int y) {
    const POINT point = window.ToScreen(x, y);
    return ::SendMessageW(window.GetHWND(), WM_NCHITTEST, 0, MAKELPARAM(point.x, point.y));
  };
  ASSERT_NE(window.Find(L"pad"), nullptr);
  EXPECT_EQ(hitTest(10, 10), HTCAPTION);
  EXPECT_EQ(hitTest(280, 10), HTCLIENT);
  EXPECT_EQ(hitTest(10, 65), HTCAPTION);
  EXPECT_EQ(hitTest(10, 66), HTCLIENT);

  window.GetPaintManager().SetDPI(192);
  window.Paint();
  EXPECT_EQ(hitTest(10, 131), HTCAPTION);
  EXPECT_EQ(hitTest(10, 132), HTCLIENT);
  EXPECT_EQ(hitTest(590, 10), HTCLIENT);
}

}  // namespace
