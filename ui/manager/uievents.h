// What the paint manager hands to controls (events) and what controls hand to the
// application (notifications), and the interfaces that receive them.
#pragma once
#include <windows.h>

#include <string>

class CControlUI;

// Low-level events that the paint manager sends to a control's event entry.
enum class UIEvent {
  KeyDown,
  KeyUp,
  Char,
  SysKey,
  MouseMove,
  MouseLeave,
  MouseEnter,
  MouseHover,
  ButtonDown,
  ButtonUp,
  RButtonDown,
  RButtonUp,
  MButtonDown,
  MButtonUp,
  DblClick,
  ContextMenu,
  ScrollWheel,
  KillFocus,
  SetFocus,
  WindowSize,
  SetCursor,
  Timer,
  BeginDrag,
  DragMoveBegin,
  DragMoving,
  DragMoveEnd,
};

inline bool IsMouseEvent(UIEvent type) {
  return type >= UIEvent::MouseMove && type <= UIEvent::ScrollWheel;
}
inline bool IsKeyEvent(UIEvent type) { return type >= UIEvent::KeyDown && type <= UIEvent::SysKey; }

// Key state bits of an event.
enum : WORD {
  kKeyStateLButton = 0x01,
  kKeyStateRButton = 0x02,
  kKeyStateShift = 0x04,
  kKeyStateControl = 0x08,
  kKeyStateAlt = 0x20,
};

struct ControlEvent {
  UIEvent type = UIEvent::MouseMove;
  CControlUI* sender = nullptr;
  DWORD timestamp = 0;
  POINT mouse = {};
  wchar_t key = 0;
  WORD keyState = 0;
  WPARAM wParam = 0;
  LPARAM lParam = 0;
};

// The notification record.
struct NotifyMsg {
  std::wstring type;
  std::wstring virtualWnd;
  CControlUI* sender = nullptr;
  DWORD timestamp = 0;
  POINT mouse = {};
  WPARAM wParam = 0;
  LPARAM lParam = 0;
};

// Notification type names.
inline constexpr wchar_t kNotifyWindowInit[] = L"windowinit";
inline constexpr wchar_t kNotifyWindowSize[] = L"windowsize";
inline constexpr wchar_t kNotifyDpiChanged[] = L"dpichanged";
inline constexpr wchar_t kNotifySetFocus[] = L"setfocus";
inline constexpr wchar_t kNotifyKillFocus[] = L"killfocus";
inline constexpr wchar_t kNotifySetFocusView[] = L"setfocusview";
inline constexpr wchar_t kNotifyKillFocusView[] = L"killfocusview";
inline constexpr wchar_t kNotifyTimer[] = L"timer";
inline constexpr wchar_t kNotifyTabSelect[] = L"tabselect";
inline constexpr wchar_t kNotifyClick[] = L"click";
inline constexpr wchar_t kNotifyRClick[] = L"rclick";
inline constexpr wchar_t kNotifyKeyDown[] = L"keydown";
inline constexpr wchar_t kNotifyChar[] = L"char";
inline constexpr wchar_t kNotifyMouseMove[] = L"mousemove";
inline constexpr wchar_t kNotifyMouseEnter[] = L"mouseenter";
inline constexpr wchar_t kNotifyMouseLeave[] = L"mouseleave";
inline constexpr wchar_t kNotifyMouseHover[] = L"mousehover";
inline constexpr wchar_t kNotifyMouseWheel[] = L"mousewheel";
inline constexpr wchar_t kNotifyButtonDown[] = L"buttondown";
inline constexpr wchar_t kNotifyButtonUp[] = L"buttonup";
inline constexpr wchar_t kNotifyRButtonDown[] = L"rbuttondown";
inline constexpr wchar_t kNotifyRButtonUp[] = L"rbuttonup";
inline constexpr wchar_t kNotifyDbClick[] = L"dbclick";
inline constexpr wchar_t kNotifyMenu[] = L"menu";
inline constexpr wchar_t kNotifySelectChanged[] = L"selectchanged";
inline constexpr wchar_t kNotifyTextChanged[] = L"textchanged";
inline constexpr wchar_t kNotifyReturn[] = L"return";
inline constexpr wchar_t kNotifyHeaderClick[] = L"headerclick";
inline constexpr wchar_t kNotifyItemSelect[] = L"itemselect";
inline constexpr wchar_t kNotifyBeginDrag[] = L"begindrag";
inline constexpr wchar_t kNotifyDragMoveBegin[] = L"dragmovebegin";
inline constexpr wchar_t kNotifyDragMoving[] = L"dragmoving";
inline constexpr wchar_t kNotifyDragMoveEnd[] = L"dragmoveend";

class INotifyUI {
 public:
  virtual ~INotifyUI() = default;
  virtual void Notify(NotifyMsg& msg) = 0;
};

// Sees a window message before the paint manager handles it; sets `handled` to stop it.
class IMessageFilterUI {
 public:
  virtual ~IMessageFilterUI() = default;
  virtual LRESULT MessageHandler(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) = 0;
};

// Answers 0 to swallow a message of the message loop.
class ITranslateAccelerator {
 public:
  virtual ~ITranslateAccelerator() = default;
  virtual LRESULT TranslateAccelerator(MSG* msg) = 0;
};
