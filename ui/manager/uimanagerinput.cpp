// The paint manager's message handler: mouse, keyboard, focus, timers, tooltips and the
// messages that the window base leaves to it.
#include <windows.h>
#include <windowsx.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdlib>

#include "uicontrol.h"
#include "uimanager.h"
#include "uivalues.h"

namespace {

// Reflected notifications of native child windows arrive at the child as this base plus the
// original message number.
constexpr UINT kReflectBase = WM_USER + 0x1C00;
// A press becomes a drag once the pointer moved further than this.
constexpr int kDragThreshold = 4;

POINT PointOf(LPARAM lParam) { return POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}; }

WORD KeyState() {
  WORD state = 0;
  if (GetKeyState(VK_LBUTTON) < 0) state |= kKeyStateLButton;
  if (GetKeyState(VK_RBUTTON) < 0) state |= kKeyStateRButton;
  if (GetKeyState(VK_SHIFT) < 0) state |= kKeyStateShift;
  if (GetKeyState(VK_CONTROL) < 0) state |= kKeyStateControl;
  if (GetKeyState(VK_MENU) < 0) state |= kKeyStateAlt;
  return state;
}

bool IsMouseMessage(UINT message) {
  return message >= WM_MOUSEFIRST && message <= WM_MOUSELAST && message != WM_MOUSEWHEEL;
}

}  // namespace

ControlEvent CPaintManagerUI::MakeEvent(UIEvent type, CControlUI* sender, WPARAM wParam,
                                        LPARAM lParam) const {
  ControlEvent event;
  event.type = type;
  event.sender = sender;
  event.timestamp = GetTickCount();
  event.mouse = lastMousePos_;
  event.keyState = KeyState();
  if (IsKeyEvent(type)) event.key = static_cast<wchar_t>(wParam);
  event.wParam = wParam;
  event.lParam = lParam;
  return event;
}

void CPaintManagerUI::SendEvent(CControlUI* control, UIEvent type, WPARAM wParam, LPARAM lParam) {
  if (control == nullptr) return;
  ControlEvent event = MakeEvent(type, control, wParam, lParam);
  control->Event(event);
}

bool CPaintManagerUI::MessageHandler(UINT message, WPARAM wParam, LPARAM lParam,
                                     LRESULT& result) {
  if (window_ == nullptr) return false;
  for (IMessageFilterUI* filter : std::vector<IMessageFilterUI*>(messageFilters_)) {
    bool handled = false;
    LRESULT answer = filter->MessageHandler(message, wParam, lParam, handled);
    if (handled) {
      if (IsMouseMessage(message)) lastMousePos_ = PointOf(lParam);
      result = answer;
      return true;
    }
  }

  if (layered_) {
    switch (message) {
      case WM_NCCALCSIZE:
      case WM_NCPAINT:
        result = 0;
        return true;
      case WM_NCACTIVATE:
        if (IsIconic(window_)) break;
        result = wParam == 0 ? TRUE : FALSE;
        return true;
      default:
        break;
    }
  }

  switch (message) {
    case kMsgAsyncNotify:
      HandleAsyncNotify();
      result = 0;
      return true;
    case WM_CLOSE: {
      if (hover_ != nullptr) {
        CControlUI* hover = hover_;
        hover_ = nullptr;
        SendEvent(hover, UIEvent::MouseLeave);
      }
      if (click_ != nullptr) {
        CControlUI* click = click_;
        click_ = nullptr;
        SendEvent(click, UIEvent::ButtonUp);
      }
      SetFocus(nullptr);
      HWND owner = GetWindow(window_, GW_OWNER);
      if (owner != nullptr && GetActiveWindow() == window_) SetActiveWindow(owner);
      if (tooltipWindow_ != nullptr) {
        DestroyWindow(tooltipWindow_);
        tooltipWindow_ = nullptr;
        tooltipControl_ = nullptr;
      }
      return false;
    }
    case WM_ERASEBKGND:
      result = 1;
      return true;
    case WM_PAINT:
      result = 0;
      return HandlePaint();
    case WM_SIZE:
      if (focus_ != nullptr) SendEvent(focus_, UIEvent::WindowSize);
      if (root_ != nullptr) root_->NeedUpdate();
      return false;
    case WM_TIMER: {
      for (const TimerRecord& record : timers_) {
        if (record.window == window_ && record.localId == wParam && !record.killed) {
          CControlUI* control = record.control;
          SendEvent(control, UIEvent::Timer, record.id, lParam);
          break;
        }
      }
      return false;
    }
    case WM_MOUSEMOVE:
      return HandleMouseMove(wParam, lParam);
    case WM_LBUTTONDOWN:
      return HandleButtonDown(UIEvent::ButtonDown, wParam, lParam);
    case WM_LBUTTONDBLCLK:
      return HandleButtonDown(UIEvent::DblClick, wParam, lParam);
    case WM_RBUTTONDOWN:
      return HandleButtonDown(UIEvent::RButtonDown, wParam, lParam);
    case WM_MBUTTONDOWN:
      return HandleButtonDown(UIEvent::MButtonDown, wParam, lParam);
    case WM_LBUTTONUP: {
      lastMousePos_ = PointOf(lParam);
      ReleaseCapture();
      if (click_ == nullptr) return false;
      CControlUI* control = click_;
      click_ = nullptr;
      if (dragging_) {
        dragging_ = false;
        if (control->IsDragMove()) SendEvent(control, UIEvent::DragMoveEnd, wParam, lParam);
      }
      SendEvent(control, UIEvent::ButtonUp, wParam, lParam);
      return false;
    }
    case WM_RBUTTONUP:
    case WM_MBUTTONUP: {
      lastMousePos_ = PointOf(lParam);
      ReleaseCapture();
      CControlUI* control = click_ != nullptr ? click_ : FindControl(lastMousePos_);
      if (control == nullptr || control->GetManager() != this) return false;
      SendEvent(control, message == WM_RBUTTONUP ? UIEvent::RButtonUp : UIEvent::MButtonUp,
                wParam, lParam);
      return false;
    }
    case WM_MOUSEWHEEL: {
      POINT point = PointOf(lParam);
      ScreenToClient(window_, &point);
      CControlUI* control = FindControl(point);
      if (control != nullptr && control->GetManager() == this) {
        int delta = GET_WHEEL_DELTA_WPARAM(wParam);
        SendEvent(control, UIEvent::ScrollWheel, delta < 0 ? 1 : 0, lParam);
      }
      SendMessageW(window_, WM_MOUSEMOVE, 0, MAKELPARAM(lastMousePos_.x, lastMousePos_.y));
      result = 0;
      return true;
    }
    case WM_MOUSEHOVER:
      HandleMouseHover(wParam, lParam);
      result = 0;
      return true;
    case WM_MOUSELEAVE:
      HandleMouseLeave();
      return false;
    case WM_SETCURSOR: {
      if (LOWORD(lParam) != HTCLIENT) return false;
      POINT point;
      GetCursorPos(&point);
      ScreenToClient(window_, &point);
      CControlUI* control = FindControl(point);
      if (control == nullptr || (control->GetControlFlags() & UIFLAG_SETCURSOR) == 0) return false;
      SendEvent(control, UIEvent::SetCursor, wParam, lParam);
      result = TRUE;
      return true;
    }
    case WM_CONTEXTMENU:
      ReleaseCapture();
      if (click_ != nullptr) SendEvent(click_, UIEvent::ContextMenu, wParam, lParam);
      return false;
    case WM_KEYDOWN:
      if (focus_ == nullptr) return false;
      keyPress_ = focus_;
      SendEvent(focus_, UIEvent::KeyDown, wParam, lParam);
      return false;
    case WM_KEYUP: {
      if (keyPress_ == nullptr) return false;
      CControlUI* control = keyPress_;
      keyPress_ = nullptr;
      SendEvent(control, UIEvent::KeyUp, wParam, lParam);
      return false;
    }
    case WM_CHAR:
      if (focus_ != nullptr) SendEvent(focus_, UIEvent::Char, wParam, lParam);
      return false;
    case WM_SETFOCUS:
      if (focus_ != nullptr) SendEvent(focus_, UIEvent::SetFocus);
      return false;
    case WM_KILLFOCUS:
      if (click_ != nullptr && killFocusSendButtonUp_) {
        CControlUI* control = click_;
        click_ = nullptr;
        ReleaseCapture();
        SendEvent(control, UIEvent::ButtonUp);
      }
      SetFocus(nullptr);
      return false;
    case WM_COMMAND:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC: {
      HWND child = reinterpret_cast<HWND>(lParam);
      if (child == nullptr || child == window_) return false;
      result = SendMessageW(child, kReflectBase + message, wParam, lParam);
      return true;
    }
    case WM_NOTIFY: {
      auto* header = reinterpret_cast<NMHDR*>(lParam);
      if (header == nullptr || header->hwndFrom == nullptr || header->hwndFrom == window_) {
        return false;
      }
      result = SendMessageW(header->hwndFrom, kReflectBase + message, wParam, lParam);
      return true;
    }
    default:
      return false;
  }
}

bool CPaintManagerUI::HandleMouseMove(WPARAM wParam, LPARAM lParam) {
  if (!mouseTracking_) {
    TRACKMOUSEEVENT track = {sizeof track, TME_HOVER | TME_LEAVE, window_,
                             static_cast<DWORD>(hoverTime_)};
    if (tooltipWindow_ != nullptr) {
      track.dwHoverTime =
          static_cast<DWORD>(SendMessageW(tooltipWindow_, TTM_GETDELAYTIME, TTDT_INITIAL, 0));
    }
    TrackMouseEvent(&track);
    mouseTracking_ = true;
  }
  POINT point = PointOf(lParam);
  lastMousePos_ = point;
  CControlUI* control = FindControl(point);
  if (!captured_) {
    if (control != nullptr && control->GetManager() != this) return false;
    if (control != hover_) {
      CControlUI* old = hover_;
      hover_ = control;
      if (old != nullptr) {
        HideToolTip();
        SendEvent(old, UIEvent::MouseLeave, wParam, lParam);
      }
      if (hover_ != nullptr) SendEvent(hover_, UIEvent::MouseEnter, wParam, lParam);
    }
  }
  if (click_ != nullptr) {
    bool farEnough = std::abs(point.x - buttonDownPos_.x) > kDragThreshold ||
                     std::abs(point.y - buttonDownPos_.y) > kDragThreshold;
    if (!dragging_ && (wParam & MK_LBUTTON) != 0 && farEnough &&
        (click_->IsDragMove() || click_->IsDragEnabled())) {
      dragging_ = true;
      SendEvent(click_, click_->IsDragMove() ? UIEvent::DragMoveBegin : UIEvent::BeginDrag,
                wParam, lParam);
    } else if (dragging_ && click_->IsDragMove()) {
      SendEvent(click_, UIEvent::DragMoving, wParam, lParam);
    } else {
      SendEvent(click_, UIEvent::MouseMove, wParam, lParam);
    }
  } else if (control != nullptr) {
    SendEvent(control, UIEvent::MouseMove, wParam, lParam);
  }
  return false;
}

bool CPaintManagerUI::HandleButtonDown(UIEvent type, WPARAM wParam, LPARAM lParam) {
  ::SetFocus(window_);
  POINT point = PointOf(lParam);
  lastMousePos_ = point;
  buttonDownPos_ = point;
  CControlUI* control = FindControl(point);
  if (control == nullptr || control->GetManager() != this) return false;
  click_ = control;
  dragging_ = false;
  SetCapture();
  SetFocus(control);
  if (click_ == control) SendEvent(control, type, wParam, lParam);
  return false;
}

void CPaintManagerUI::HandleMouseHover(WPARAM wParam, LPARAM lParam) {
  // Hover tracking fires once; the next move arms it again.
  mouseTracking_ = false;
  POINT point = PointOf(lParam);
  CControlUI* control = FindControl(point);
  if (control == nullptr) return;
  SendEvent(control, UIEvent::MouseHover, wParam, lParam);
  if (control == tooltipControl_ || control->GetToolTip().empty()) return;
  tooltipControl_ = control;
  ShowToolTip(control);
}

void CPaintManagerUI::HandleMouseLeave() {
  HideToolTip();
  if (mouseTracking_) {
    POINT point;
    GetCursorPos(&point);
    POINT screen = point;
    ScreenToClient(window_, &point);
    RECT client;
    GetClientRect(window_, &client);
    bool inside =
        !IsIconic(window_) && GetActiveWindow() == window_ && PtInRect(&client, point) &&
        SendMessageW(window_, WM_NCHITTEST, 0, MAKELPARAM(screen.x, screen.y)) == HTCLIENT;
    if (!inside) point = POINT{-1, -1};
    SendMessageW(window_, WM_MOUSEMOVE, 0, MAKELPARAM(point.x, point.y));
  }
  mouseTracking_ = false;
  tooltipControl_ = nullptr;
}

void CPaintManagerUI::ShowToolTip(CControlUI* control) {
  tooltipText_ = control->GetToolTip();
  if (tooltipWindow_ == nullptr) {
    tooltipWindow_ = CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr,
                                     WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT,
                                     CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window_, nullptr,
                                     GetInstance(), nullptr);
    if (tooltipWindow_ == nullptr) return;
  }
  // The version 2 record size is understood by every version of the common controls.
  TOOLINFOW tool = {};
  tool.cbSize = TTTOOLINFOW_V2_SIZE;
  tool.uFlags = TTF_IDISHWND | TTF_TRACK;
  tool.hwnd = window_;
  tool.uId = reinterpret_cast<UINT_PTR>(window_);
  tool.hinst = GetInstance();
  tool.lpszText = &tooltipText_[0];
  tool.rect = control->GetPos();
  SendMessageW(tooltipWindow_, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  SendMessageW(tooltipWindow_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  SendMessageW(tooltipWindow_, TTM_SETMAXTIPWIDTH, 0, control->GetToolTipWidth());
  SendMessageW(tooltipWindow_, TTM_SETTIPBKCOLOR, ColorRefOf(tooltipBkColor_), 0);
  SendMessageW(tooltipWindow_, TTM_SETTIPTEXTCOLOR, ColorRefOf(tooltipTextColor_), 0);
  POINT cursor;
  GetCursorPos(&cursor);
  SendMessageW(tooltipWindow_, TTM_TRACKPOSITION, 0, MAKELPARAM(cursor.x, cursor.y + 20));
  SendMessageW(tooltipWindow_, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&tool));
}

void CPaintManagerUI::HideToolTip() {
  if (tooltipWindow_ == nullptr) return;
  TOOLINFOW tool = {};
  tool.cbSize = TTTOOLINFOW_V2_SIZE;
  tool.hwnd = window_;
  tool.uId = reinterpret_cast<UINT_PTR>(window_);
  SendMessageW(tooltipWindow_, TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&tool));
}
