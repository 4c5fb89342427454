#include "uiwindowimplbase.h"

#include <windowsx.h>

#include <algorithm>
#include <cwchar>
#include <iterator>

#include "uicontrol.h"
#include "uivalues.h"

namespace {

// Classes that the caption band drags the window over.
bool IsStaticClass(const wchar_t* className) {
  static const wchar_t* const kStatic[] = {
      L"controlui",          L"textui",       L"labelui",          L"containerui",
      L"horizontallayoutui", L"verticallayoutui", L"tablayoutui",  L"childlayoutui",
      L"dialoglayoutui",     L"progresscontainerui", L"cefcontrolui",
  };
  return std::any_of(std::begin(kStatic), std::end(kStatic),
                     [className](const wchar_t* name) { return _wcsicmp(className, name) == 0; });
}

}  // namespace

const CNotifyPump::NotifyMap* WindowImplBase::ClassNotifyMap() {
  static const NotifyMapEntry entries[] = {
      NotifyEntry(kNotifyClick, L"", &WindowImplBase::OnClick),
      NotifyEntry(kNotifyHeaderClick, L"", &WindowImplBase::OnHeaderClick),
      NotifyEntry(kNotifySelectChanged, L"", &WindowImplBase::OnSelectChanged),
      NotifyEntry(kNotifyTextChanged, L"", &WindowImplBase::OnTextChanged),
      NotifyEntry(kNotifyItemSelect, L"", &WindowImplBase::OnItemSelect),
      NotifyEntry(kNotifyTimer, L"", &WindowImplBase::OnTimer),
      EndOfMap(),
  };
  static const NotifyMap map = {CNotifyPump::ClassNotifyMap(), entries};
  return &map;
}

void WindowImplBase::OnClick(NotifyMsg& msg) {
  std::wstring name = msg.sender != nullptr ? msg.sender->GetName() : std::wstring();
  if (name == L"closebtn") {
    Close(1);
  } else if (name == L"minbtn") {
    SendMessage(WM_SYSCOMMAND, SC_MINIMIZE, 0);
  } else if (name == L"maxbtn") {
    SendMessage(WM_SYSCOMMAND, SC_MAXIMIZE, 0);
  } else if (name == L"restorebtn") {
    SendMessage(WM_SYSCOMMAND, SC_RESTORE, 0);
  }
}

void WindowImplBase::Notify(NotifyMsg& msg) {
  if (msg.sender != nullptr) NotifyPump(msg);
}

LRESULT WindowImplBase::MessageHandler(UINT message, WPARAM wParam, LPARAM, bool&) {
  if (message == WM_KEYDOWN && (wParam == VK_RETURN || wParam == VK_ESCAPE)) {
    ResponseDefaultKeyEvent(wParam);
  }
  return 0;
}

CControlUI* WindowImplBase::CreateControl(const std::wstring&) { return nullptr; }

std::wstring WindowImplBase::QueryControlText(const std::wstring&, const std::wstring&) {
  return std::wstring();
}

void WindowImplBase::OnFinalMessage(HWND) {
  paintManager_.RemovePreMessageFilter(this);
  paintManager_.RemoveNotifier(this);
  paintManager_.FreeDelayedCleanup();
}

bool WindowImplBase::IsInStaticControl(CControlUI* control, POINT point) const {
  for (; control != nullptr; control = control->GetParent()) {
    if (control->IsInteractivePoint(point) || !IsStaticClass(control->GetClass())) return false;
  }
  return true;
}

LRESULT WindowImplBase::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  bool handled = true;
  LRESULT result = 0;
  switch (message) {
    case WM_CREATE: result = OnCreate(message, wParam, lParam, handled); break;
    case WM_CLOSE: result = OnClose(message, wParam, lParam, handled); break;
    case WM_DESTROY: result = OnDestroy(message, wParam, lParam, handled); break;
    case WM_NCACTIVATE: result = OnNcActivate(message, wParam, lParam, handled); break;
    case WM_NCCALCSIZE: result = OnNcCalcSize(message, wParam, lParam, handled); break;
    case WM_NCPAINT: result = OnNcPaint(message, wParam, lParam, handled); break;
    case WM_NCHITTEST: result = OnNcHitTest(message, wParam, lParam, handled); break;
    case WM_GETMINMAXINFO: result = OnGetMinMaxInfo(message, wParam, lParam, handled); break;
    case WM_MOUSEWHEEL: result = OnMouseWheel(message, wParam, lParam, handled); break;
    case WM_MOUSEHOVER: result = OnMouseHover(message, wParam, lParam, handled); break;
    case WM_SIZE: result = OnSize(message, wParam, lParam, handled); break;
    case WM_CHAR: result = OnChar(message, wParam, lParam, handled); break;
    case WM_SYSCOMMAND: result = OnSysCommand(message, wParam, lParam, handled); break;
    case WM_KEYDOWN: result = OnKeyDown(message, wParam, lParam, handled); break;
    case WM_KILLFOCUS: result = OnKillFocus(message, wParam, lParam, handled); break;
    case WM_SETFOCUS: result = OnSetFocus(message, wParam, lParam, handled); break;
    case WM_LBUTTONDOWN: result = OnLButtonDown(message, wParam, lParam, handled); break;
    case WM_LBUTTONUP: result = OnLButtonUp(message, wParam, lParam, handled); break;
    case WM_RBUTTONDOWN: result = OnRButtonDown(message, wParam, lParam, handled); break;
    case WM_RBUTTONUP: result = OnRButtonUp(message, wParam, lParam, handled); break;
    case WM_MOUSEMOVE: result = OnMouseMove(message, wParam, lParam, handled); break;
    default: handled = false; break;
  }
  if (handled) return result;
  result = HandleCustomMessage(message, wParam, lParam, handled);
  if (handled) return result;
  if (paintManager_.MessageHandler(message, wParam, lParam, result)) return result;
  return CWindowWnd::HandleMessage(message, wParam, lParam);
}

LRESULT WindowImplBase::HandleCustomMessage(UINT, WPARAM, LPARAM, bool& handled) {
  handled = false;
  return 0;
}

LRESULT WindowImplBase::OnClose(UINT, WPARAM, LPARAM, bool& handled) {
  handled = false;
  return 0;
}

LRESULT WindowImplBase::OnDestroy(UINT, WPARAM, LPARAM, bool& handled) {
  handled = false;
  return 0;
}

LRESULT WindowImplBase::OnNcActivate(UINT, WPARAM wParam, LPARAM, bool& handled) {
  if (IsIconic(window_)) {
    handled = false;
    return 0;
  }
  return wParam == 0 ? TRUE : FALSE;
}

LRESULT WindowImplBase::OnNcCalcSize(UINT, WPARAM, LPARAM, bool&) { return 0; }

LRESULT WindowImplBase::OnNcPaint(UINT, WPARAM, LPARAM, bool&) { return 0; }

LRESULT WindowImplBase::OnNcHitTest(UINT, WPARAM, LPARAM lParam, bool&) {
  POINT point = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  ScreenToClient(window_, &point);
  RECT client;
  GetClientRect(window_, &client);
  if (!IsZoomed(window_)) {
    const RECT& inset = paintManager_.GetSizeBoxInset();
    client.left += inset.left;
    client.top += inset.top;
    client.right -= inset.right;
    client.bottom -= inset.bottom;
    const RECT& box = paintManager_.GetSizeBox();
    if (point.y < client.top + box.top) {
      if (point.x < client.left + box.left) return HTTOPLEFT;
      if (point.x > client.right - box.right) return HTTOPRIGHT;
      return HTTOP;
    }
    if (point.y > client.bottom - box.bottom) {
      if (point.x < client.left + box.left) return HTBOTTOMLEFT;
      if (point.x > client.right - box.right) return HTBOTTOMRIGHT;
      return HTBOTTOM;
    }
    if (point.x < client.left + box.left) return HTLEFT;
    if (point.x > client.right - box.right) return HTRIGHT;
  }
  RECT caption = paintManager_.GetCaptionRect();
  // The band's bottom follows the DPI scale; -1 reaches the bottom at every scale.
  LONG bottom = caption.bottom == -1 ? client.bottom
                                     : paintManager_.GetDPIObj()->Scale(caption.bottom);
  if (point.x >= client.left + caption.left && point.x < client.right - caption.right &&
      point.y >= caption.top && point.y < bottom) {
    CControlUI* control = paintManager_.FindControl(point);
    if (control != nullptr && IsInStaticControl(control, point)) return HTCAPTION;
  }
  return HTCLIENT;
}

LRESULT WindowImplBase::OnGetMinMaxInfo(UINT, WPARAM, LPARAM lParam, bool&) {
  auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
  MONITORINFO monitor = {};
  monitor.cbSize = sizeof monitor;
  GetMonitorInfoW(MonitorFromWindow(window_, MONITOR_DEFAULTTOPRIMARY), &monitor);
  RECT work = monitor.rcWork;
  if ((monitor.dwFlags & MONITORINFOF_PRIMARY) == 0) OffsetRect(&work, -work.left, -work.top);
  info->ptMaxPosition = POINT{work.left, work.top};
  info->ptMaxSize = POINT{work.right - work.left, work.bottom - work.top};
  SIZE maxInfo = paintManager_.GetMaxInfo();
  info->ptMaxTrackSize.x = maxInfo.cx != 0 ? maxInfo.cx : work.right - work.left;
  info->ptMaxTrackSize.y = maxInfo.cy != 0 ? maxInfo.cy : work.bottom - work.top;
  SIZE minInfo = paintManager_.GetDPIObj()->Scale(paintManager_.GetMinInfo());
  if (minInfo.cx != 0) info->ptMinTrackSize.x = minInfo.cx;
  if (minInfo.cy != 0) info->ptMinTrackSize.y = minInfo.cy;
  return 0;
}

LRESULT WindowImplBase::OnMouseWheel(UINT, WPARAM, LPARAM, bool& handled) {
  handled = false;
  return 0;
}

LRESULT WindowImplBase::OnMouseHover(UINT, WPARAM, LPARAM, bool& handled) {
  handled = false;
  return 0;
}

LRESULT WindowImplBase::OnSize(UINT, WPARAM, LPARAM, bool& handled) {
  SIZE round = paintManager_.GetRoundCorner();
  if (!IsIconic(window_) && (round.cx != 0 || round.cy != 0)) {
    RECT window;
    GetWindowRect(window_, &window);
    HRGN region = CreateRoundRectRgn(0, 0, window.right - window.left + 1,
                                     window.bottom - window.top + 1, round.cx, round.cy);
    SetWindowRgn(window_, region, TRUE);
  }
  handled = false;
  return 0;
}

LRESULT WindowImplBase::OnChar(UINT, WPARAM, LPARAM, bool& handled) {
  handled = false;
  return 0;
}

LRESULT WindowImplBase::OnSysCommand(UINT message, WPARAM wParam, LPARAM lParam, bool&) {
  if ((wParam & 0xFFF0) == SC_CLOSE) {
    SendMessage(WM_CLOSE);
    return 0;
  }
  bool zoomed = IsZoomed(window_) != FALSE;
  LRESULT result = CWindowWnd::HandleMessage(message, wParam, lParam);
  bool nowZoomed = IsZoomed(window_) != FALSE;
  if (zoomed != nowZoomed && !IsIconic(window_)) {
    CControlUI* maximise = paintManager_.FindControl(std::wstring(L"maxbtn"));
    CControlUI* restore = paintManager_.FindControl(std::wstring(L"restorebtn"));
    if (maximise != nullptr) maximise->SetVisible(!nowZoomed);
    if (restore != nullptr) restore->SetVisible(nowZoomed);
  }
  return result;
}

LRESULT WindowImplBase::OnCreate(UINT, WPARAM, LPARAM, bool&) {
  LONG style = GetWindowLongW(window_, GWL_STYLE);
  style &= ~WS_CAPTION;
  SetWindowLongW(window_, GWL_STYLE, style | WS_CLIPSIBLINGS | WS_CLIPCHILDREN);

  paintManager_.Init(window_, GetManagerName());
  paintManager_.AddPreMessageFilter(this);
  InitResource();

  CDialogBuilder builder;
  std::wstring skinFile = GetSkinFile();
  std::wstring skinType = GetSkinType();
  CControlUI* root = skinType.empty()
                         ? builder.Create(skinFile, nullptr, this, &paintManager_)
                         : builder.Create(skinFile, skinType.c_str(), this, &paintManager_);
  if (root == nullptr) {
    std::wstring text = L"加载资源文件失败：" + skinFile;
    MessageBoxW(nullptr, text.c_str(), L"UI", MB_OK | MB_ICONSTOP);
    ExitProcess(1);
  }
  paintManager_.AttachDialog(root);
  paintManager_.AddNotifier(this);
  InitWindow();
  return 0;
}

LRESULT WindowImplBase::OnKeyDown(UINT, WPARAM, LPARAM, bool& handled) {
  handled = false;
  return 0;
}

LRESULT WindowImplBase::OnKillFocus(UINT, WPARAM, LPARAM, bool& handled) {
  handled = false;
  return 0;
}

LRESULT WindowImplBase::OnSetFocus(UINT, WPARAM, LPARAM, bool& handled) {
  handled = false;
  return 0;
}

LRESULT WindowImplBase::OnLButtonDown(UINT, WPARAM, LPARAM, bool& handled) {
  handled = false;
  return 0;
}

LRESULT WindowImplBase::OnLButtonUp(UINT, WPARAM, LPARAM, bool& handled) {
  handled = false;
  return 0;
}

LRESULT WindowImplBase::OnRButtonDown(UINT, WPARAM, LPARAM, bool& handled) {
  handled = false;
  return 0;
}

LRESULT WindowImplBase::OnRButtonUp(UINT, WPARAM, LPARAM, bool& handled) {
  handled = false;
  return 0;
}

LRESULT WindowImplBase::OnMouseMove(UINT, WPARAM, LPARAM, bool& handled) {
  handled = false;
  return 0;
}
