// The rich edit's input: the message filter that feeds the window's messages to the text
// services, the context menu, the services' notifications and the control events.
#include <windows.h>
#include <imm.h>

#include "scopeguard.h"
#include "uimanager.h"
#include "uirichedit.h"
#include "uitxtwinhost.h"

namespace {

// Context menu command ids.
enum : UINT {
  kMenuUndo = 101,
  kMenuCut = 102,
  kMenuCopy = 103,
  kMenuPaste = 104,
  kMenuClear = 105,
  kMenuSelectAll = 106,
  kMenuRedo = 107,
};

// A point packed into a message's lParam (signed coordinates).
POINT PointOf(LPARAM lParam) {
  return POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
}

bool IsKeyMessage(UINT message) { return message >= WM_KEYFIRST && message <= WM_KEYLAST; }

// Every mouse message, the wheels included.
bool IsAnyMouseMessage(UINT message) {
  return message >= WM_MOUSEFIRST && message <= WM_MOUSELAST;
}

// Moves, presses and releases: they belong to the control under the pointer.
bool IsPointerMessage(UINT message) {
  return IsAnyMouseMessage(message) && message != WM_MOUSEWHEEL && message != WM_MOUSEHWHEEL;
}

}  // namespace

// What the message filter does with a mouse message (and WM_SETCURSOR) before the services.
CRichEditUI::MouseRoute CRichEditUI::RouteMouseMessage(UINT message, LPARAM lParam) {
  POINT point = PointOf(lParam);
  HWND window = manager_->GetPaintWindow();
  if (!host_->IsCaptured()) {
    if (IsPointerMessage(message) && manager_->FindControl(point) != this) {
      if (message == WM_LBUTTONUP) firstClick_ = false;
      return MouseRoute::kIgnore;
    }
    if (message == WM_SETCURSOR) {
      GetCursorPos(&point);
      ScreenToClient(window, &point);
    } else if (message == WM_MOUSEWHEEL) {
      ScreenToClient(window, &point);
    }
    const RECT& client = host_->GetClientRect();
    if (!PtInRect(&client, point) || manager_->IsCaptured()) return MouseRoute::kIgnore;
  }
  if (autoSelAll_ && firstClick_) {
    if (message == WM_LBUTTONUP) firstClick_ = false;
    return MouseRoute::kIgnore;
  }
  if (message == WM_LBUTTONDOWN || message == WM_LBUTTONDBLCLK || message == WM_RBUTTONDOWN) {
    if (!manager_->IsNoActivate()) ::SetFocus(window);
    if (message != WM_LBUTTONDBLCLK && !IsFocused() && autoSelAll_) firstClick_ = true;
    SetFocus();
    // The selection made on taking the focus survives this click.
    if (firstClick_) return MouseRoute::kConsume;
  }
  return MouseRoute::kServices;
}

LRESULT CRichEditUI::MessageHandler(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) {
  if (!IsVisible() || !IsEnabled() || host_ == nullptr || manager_ == nullptr) return 0;
  const bool mouse = IsAnyMouseMessage(message);
  if (mouse && !IsMouseEnabled()) return 0;
  if (message == WM_MOUSEWHEEL && (GET_KEYSTATE_WPARAM(wParam) & MK_CONTROL) == 0) return 0;
  bool counts = true;
  if (message == WM_IME_COMPOSITION) {
    MoveCompositionWindow();
    return 0;
  } else if (mouse || message == WM_SETCURSOR) {
    switch (RouteMouseMessage(message, lParam)) {
      case MouseRoute::kIgnore:
        return 0;
      case MouseRoute::kConsume:
        handled = true;
        return 0;
      case MouseRoute::kServices:
        break;
    }
    // The paint manager sees the moves as well, for its hover and leave tracking, unless the
    // services hold the capture.
    counts = message != WM_SETCURSOR && (message != WM_MOUSEMOVE || host_->IsCaptured());
  } else if (IsKeyMessage(message)) {
    if (!IsFocused()) return 0;
  } else if (message == WM_CONTEXTMENU) {
    POINT screen = PointOf(lParam);
    POINT point = screen;
    ScreenToClient(manager_->GetPaintWindow(), &point);
    if (!wantMenu_ || manager_->FindControl(point) != this) return 0;
    ShowContextMenu(screen);
    handled = true;
    return 0;
  } else if (message == WM_COMMAND) {
    if (IsFocused()) RunMenuCommand(LOWORD(wParam));
    return 0;
  } else if (message == WM_HELP) {
    counts = false;
  } else {
    return 0;
  }
  LRESULT result = 0;
  HRESULT answer = TxSendMessage(message, wParam, lParam, &result);
  if (counts && (answer == S_OK || IsKeyMessage(message) || (mouse && host_->IsCaptured()))) {
    handled = true;
  }
  return result;
}

void CRichEditUI::MoveCompositionWindow() {
  HWND window = manager_->GetPaintWindow();
  HIMC context = ImmGetContext(window);
  if (context == nullptr) return;
  auto release = MakeScopeGuard([window, context] { ImmReleaseContext(window, context); });
  RECT caret = host_->GetCaretRect();
  COMPOSITIONFORM form = {};
  form.dwStyle = CFS_POINT;
  form.ptCurrentPos = POINT{caret.left, caret.top};
  ImmSetCompositionWindow(context, &form);
}

void CRichEditUI::ShowContextMenu(POINT screen) {
  HMENU menu = CreatePopupMenu();
  if (menu == nullptr) return;
  auto destroy = MakeScopeGuard([menu] { DestroyMenu(menu); });
  const bool empty = SendServicesMessage(EM_SELECTIONTYPE) == SEL_EMPTY;
  auto state = [](bool enabled) { return static_cast<UINT>(enabled ? MF_ENABLED : MF_GRAYED); };
  AppendMenuW(menu, MF_STRING | state(SendServicesMessage(EM_CANUNDO) == 1), kMenuUndo,
              L"撤销(&U)");
  AppendMenuW(menu, MF_STRING | state(SendServicesMessage(EM_CANREDO) == 1), kMenuRedo,
              L"重做(&R)");
  AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(menu, MF_STRING | state(!IsReadOnly() && !empty), kMenuCut, L"剪切(&X)");
  AppendMenuW(menu, MF_STRING | state(!empty), kMenuCopy, L"复制(&C)");
  AppendMenuW(menu, MF_STRING | state(!IsReadOnly()), kMenuPaste, L"粘贴(&V)");
  AppendMenuW(menu, MF_STRING | state(!IsReadOnly() && !empty), kMenuClear, L"清空(&L)");
  AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(menu, MF_STRING, kMenuSelectAll, L"全选(&A)");
  TrackPopupMenu(menu, TPM_RIGHTBUTTON, screen.x, screen.y, 0, manager_->GetPaintWindow(),
                 nullptr);
}

void CRichEditUI::RunMenuCommand(UINT id) {
  switch (id) {
    case kMenuUndo: SendServicesMessage(EM_UNDO); break;
    case kMenuCut: SendServicesMessage(WM_CUT); break;
    case kMenuCopy: SendServicesMessage(WM_COPY); break;
    case kMenuPaste: SendServicesMessage(WM_PASTE); break;
    case kMenuClear: SendServicesMessage(WM_CLEAR); break;
    case kMenuSelectAll: SetSelAll(); break;
    case kMenuRedo: SendServicesMessage(EM_REDO); break;
    default: break;
  }
}

HRESULT CRichEditUI::TxSendMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  ITextServices* services = host_ != nullptr ? host_->GetTextServices() : nullptr;
  if (services == nullptr) return S_FALSE;
  if (message == WM_KEYDOWN && manager_ != nullptr) {
    if (wParam != VK_RETURN) {
      Notify(kNotifyKeyDown, wParam, 0);
    } else if (!wantReturn_ || (GetKeyState(VK_CONTROL) < 0 && !wantCtrlReturn_)) {
      Notify(kNotifyReturn);
      return S_OK;
    }
  }
  return services->TxSendMessage(message, wParam, lParam, result);
}

bool CRichEditUI::OnTxViewChanged(bool) { return true; }

void CRichEditUI::OnTxNotify(DWORD code, void* data) {
  if (manager_ == nullptr) return;
  if (code == EN_CHANGE) {
    Notify(kNotifyTextChanged);
    return;
  }
  const bool forwarded = code == EN_MSGFILTER || code == EN_SELCHANGE || code == EN_DROPFILES ||
                         code == EN_PROTECTED || code == EN_STOPNOUNDO ||
                         (code >= EN_SAVECLIPBOARD && code <= EN_DRAGDROPDONE);
  if (!forwarded || data == nullptr) return;
  HWND window = manager_->GetPaintWindow();
  auto* header = static_cast<NMHDR*>(data);
  header->hwndFrom = window;
  header->idFrom = static_cast<UINT_PTR>(GetWindowLongPtrW(window, GWLP_ID));
  header->code = code;
  SendMessageW(window, WM_NOTIFY, header->idFrom, reinterpret_cast<LPARAM>(header));
}

void CRichEditUI::DoEvent(ControlEvent& event) {
  if (ForwardMouseEvent(event)) return;
  switch (event.type) {
    case UIEvent::SetCursor:
      if (IsEnabled() && host_ != nullptr && manager_ != nullptr) {
        POINT point;
        GetCursorPos(&point);
        ScreenToClient(manager_->GetPaintWindow(), &point);
        if (host_->DoSetCursor(point)) return;
      }
      break;
    case UIEvent::MouseEnter:
      if (!IsEnabled()) return;
      buttonState_ |= kStateHot;
      ApplyTextColor();
      return;
    case UIEvent::MouseLeave:
      buttonState_ &= ~kStateHot;
      ApplyTextColor();
      return;
    case UIEvent::SetFocus:
      focused_ = true;
      if (host_ != nullptr) {
        if (autoSelAll_) SetSelAll();
        host_->ActivateInPlace();
        SendServicesMessage(WM_SETFOCUS);
      }
      ApplyTextColor();
      return;
    case UIEvent::KillFocus:
      focused_ = false;
      if (host_ != nullptr) {
        host_->ActivateInPlace();
        SendServicesMessage(WM_KILLFOCUS);
      }
      ApplyTextColor();
      return;
    case UIEvent::Timer:
      if (event.wParam == kCaretTimer) {
        if (manager_ != nullptr && manager_->IsLayered() && focused_ &&
            GetFocus() == manager_->GetPaintWindow()) {
          caretPhase_ = !caretPhase_;
          InvalidateCaret();
        }
        return;
      }
      Notify(kNotifyTimer, event.wParam, event.lParam);
      SendServicesMessage(WM_TIMER, event.wParam, event.lParam);
      return;
    case UIEvent::ScrollWheel:
      if ((event.keyState & kKeyStateControl) != 0) return;
      // This toolkit has no scroll bars: the wheel scrolls a multi-line box's text.
      if (IsMultiLine() && host_ != nullptr) {
        SendServicesMessage(WM_VSCROLL, event.wParam == 1 ? SB_LINEDOWN : SB_LINEUP);
        return;
      }
      break;
    case UIEvent::KeyDown:
    case UIEvent::KeyUp:
    case UIEvent::Char:
    case UIEvent::MouseMove:
    case UIEvent::ButtonDown:
    case UIEvent::ButtonUp:
    case UIEvent::DblClick:
      return;
    default:
      break;
  }
  CContainerUI::DoEvent(event);
}

void CRichEditUI::InvalidateCaret() {
  if (host_ == nullptr || manager_ == nullptr || !manager_->IsLayered()) return;
  RECT caret = host_->GetCaretRect();
  if (IntersectRect(&caret, &caret, &item_) && ClipToAncestors(caret)) {
    manager_->Invalidate(caret);
  }
}
