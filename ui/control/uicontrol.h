// The base of every element of a skinned window: position and size rules, padding,
// visibility, texts, background and foreground decoration and border, and the turning of
// low-level events into notifications.
#pragma once
#include <windows.h>

#include <functional>
#include <map>
#include <string>
#include <type_traits>
#include <vector>

#include "uievents.h"

class CPaintManagerUI;
class CControlUI;

// Sets (on) or clears the bits in a flag word such as a style or state word.
template <class Word>
void SetBits(Word& word, std::common_type_t<Word> bits, bool on) {
  word = on ? word | bits : word & ~bits;
}

// Control flags answered by GetControlFlags.
constexpr UINT UIFLAG_TABSTOP = 0x01;
constexpr UINT UIFLAG_SETCURSOR = 0x02;
// The control takes the Tab key itself (a multi-line edit that wants Tab).
constexpr UINT UIFLAG_WANTTAB = 0x04;

// FindControl flags.
constexpr UINT UIFIND_ALL = 0;
constexpr UINT UIFIND_VISIBLE = 0x01;
constexpr UINT UIFIND_ENABLED = 0x02;
constexpr UINT UIFIND_HITTEST = 0x04;
constexpr UINT UIFIND_UPDATETEST = 0x08;
constexpr UINT UIFIND_TOP_FIRST = 0x10;
constexpr UINT UIFIND_ME_FIRST = 0x80000000;

// Float alignment bits (the horizontal part in bits 0-1, the vertical part in bits 2-3).
constexpr UINT kFloatAlignCenter = 0x1;
constexpr UINT kFloatAlignRight = 0x2;
constexpr UINT kFloatAlignHorizontal = 0x3;
constexpr UINT kFloatAlignVCenter = 0x4;
constexpr UINT kFloatAlignBottom = 0x8;
constexpr UINT kFloatAlignVertical = 0xC;

// Answers the control to stop the search at, or null to go on. `data` is the caller's; with
// UIFIND_HITTEST it is the POINT under test.
using FindControlProc = CControlUI* (*)(CControlUI* control, void* data);

// A list of callbacks; each receives the event or notification record (or the control) as
// `void*`. A callback answering false stops an event before the control handles it.
class CEventSource {
 public:
  using Callback = std::function<bool(void*)>;
  void operator+=(Callback callback) { callbacks_.push_back(std::move(callback)); }
  bool Empty() const { return callbacks_.empty(); }
  // Calls every callback; false when one of them answered false.
  bool operator()(void* param) const;

 private:
  std::vector<Callback> callbacks_;
};

struct FloatPercent {
  double left = 0;
  double top = 0;
  double right = 0;
  double bottom = 0;
};

class CControlUI {
 public:
  CControlUI();
  virtual ~CControlUI();
  CControlUI(const CControlUI&) = delete;
  CControlUI& operator=(const CControlUI&) = delete;

  virtual std::wstring GetName() const { return name_; }
  virtual void SetName(const std::wstring& name) { name_ = name; }
  virtual const wchar_t* GetClass() const { return L"ControlUI"; }
  // The object behind an interface name ("Control" for every control), or null.
  virtual void* GetInterface(const std::wstring& name);
  virtual UINT GetControlFlags() const { return 0; }
  // What a click or a shortcut does; `right` for the right mouse button. False when hidden
  // or disabled.
  virtual bool Activate(bool right = false);

  virtual CPaintManagerUI* GetManager() const { return manager_; }
  virtual void SetManager(CPaintManagerUI* manager, CControlUI* parent, bool init = true);
  virtual CControlUI* GetParent() const { return parent_; }

  virtual std::wstring GetText() const;
  virtual void SetText(const std::wstring& text);
  virtual bool IsResourceText() const { return resourceText_; }
  virtual void SetResourceText(bool resource) { resourceText_ = resource; }

  virtual bool IsDragEnabled() const { return dragEnabled_; }
  virtual void SetDragEnabled(bool enable) { dragEnabled_ = enable; }
  virtual bool IsDropEnabled() const { return dropEnabled_; }
  virtual void SetDropEnabled(bool enable) { dropEnabled_ = enable; }
  virtual bool IsDragMove() const { return dragMove_; }

  // Moves the control (and, in containers, its children) by an offset.
  virtual void Move(SIZE offset, bool invalidate = true);
  virtual const RECT& GetPos() const { return item_; }
  virtual void SetPos(RECT rect, bool invalidate = true);
  int GetWidth() const { return item_.right - item_.left; }
  int GetHeight() const { return item_.bottom - item_.top; }
  int GetX() const { return item_.left; }
  int GetY() const { return item_.top; }

  // Sizes as stored are at 100 %; the getters scale them by the manager's DPI scale.
  virtual RECT GetPadding() const;
  virtual void SetPadding(const RECT& padding);
  virtual SIZE GetFixedXY() const;
  virtual void SetFixedXY(SIZE xy);
  virtual int GetFixedWidth() const;
  virtual void SetFixedWidth(int width);
  virtual int GetFixedHeight() const;
  virtual void SetFixedHeight(int height);
  virtual int GetMinWidth() const;
  virtual void SetMinWidth(int width);
  virtual int GetMaxWidth() const;
  virtual void SetMaxWidth(int width);
  virtual int GetMinHeight() const;
  virtual void SetMinHeight(int height);
  virtual int GetMaxHeight() const;
  virtual void SetMaxHeight(int height);
  virtual const FloatPercent& GetFloatPercent() const { return floatPercent_; }
  virtual void SetFloatPercent(const FloatPercent& percent);
  virtual void SetFloatAlign(UINT align);
  virtual UINT GetFloatAlign() const { return floatAlign_; }
  virtual bool IsDPIPadding() const { return dpiPadding_; }
  virtual void SetDPIPadding(bool scale);
  virtual void SetDPITextPadding(bool scale);
  virtual bool IsDPITextPadding() const { return dpiTextPadding_; }
  virtual bool IsResponseMouseEnterLeave() const { return responseMouseEnterLeave_; }
  virtual void SetResponseMouseEnterLeave(bool respond) { responseMouseEnterLeave_ = respond; }

  virtual std::wstring GetToolTip() const;
  virtual void SetToolTip(const std::wstring& text);
  virtual int GetToolTipWidth() const;
  virtual void SetToolTipWidth(int width) { tooltipWidth_ = width; }
  virtual WORD GetCursor() const { return cursor_; }
  virtual void SetCursor(WORD cursor) { cursor_ = cursor; }
  virtual wchar_t GetShortcut() const { return shortcut_; }
  virtual void SetShortcut(wchar_t shortcut) { shortcut_ = shortcut; }
  virtual bool IsContextMenuUsed() const { return contextMenuUsed_; }
  virtual void SetContextMenuUsed(bool used) { contextMenuUsed_ = used; }
  virtual const std::wstring& GetUserData() const { return userData_; }
  virtual void SetUserData(const std::wstring& text) { userData_ = text; }
  virtual UINT_PTR GetTag() const { return tag_; }
  virtual void SetTag(UINT_PTR tag) { tag_ = tag; }

  // Visible when both its own flag and the flag its ancestors give it are set.
  virtual bool IsVisible() const { return visible_ && internVisible_; }
  virtual void SetVisible(bool visible = true);
  virtual void SetInternVisible(bool visible = true);
  virtual bool IsEnabled() const { return enabled_; }
  virtual void SetEnabled(bool enable = true);
  virtual bool IsMouseEnabled() const { return mouseEnabled_; }
  virtual void SetMouseEnabled(bool enable = true) { mouseEnabled_ = enable; }
  virtual bool IsKeyboardEnabled() const { return keyboardEnabled_; }
  virtual void SetKeyboardEnabled(bool enable = true) { keyboardEnabled_ = enable; }
  virtual bool IsFocused() const { return focused_; }
  virtual void SetFocus();
  virtual bool IsFloat() const { return float_; }
  virtual void SetFloat(bool isFloat = true);
  // Whether the point is an interactive part of an otherwise static control (a layout's
  // separator); the window's caption hit test drags only over static points.
  virtual bool IsInteractivePoint(POINT) const { return false; }
  bool IsDynamic() const { return dynamic_; }
  void SetDynamic(bool dynamic) { dynamic_ = dynamic; }
  bool IsTabSupport() const { return tabSupport_; }
  const std::wstring& GetVirtualWnd() const;
  void SetVirtualWnd(const std::wstring& name) { virtualWnd_ = name; }

  virtual CControlUI* FindControl(FindControlProc proc, void* data, UINT flags);

  // Runs DoInit and then the on-init listeners.
  void Init();
  virtual void DoInit();
  // The manager's DPI scale changed and its fonts were made again at the new scale.
  virtual void OnDpiChanged() {}

  // The event entry: the on-event listeners first, then DoEvent.
  virtual void Event(ControlEvent& event);
  virtual void DoEvent(ControlEvent& event);

  // Applies one attribute, replacing the value by the attribute list of the manager's style
  // of that name when there is one.
  void ApplyAttribute(const std::wstring& name, const std::wstring& value);
  // "&quot;" becomes '"', then the key=value pairs are applied in sorted key order; a list
  // that names a style of the manager applies the style instead.
  void ApplyAttributeList(const std::wstring& list);
  virtual void SetAttribute(const std::wstring& name, const std::wstring& value);
  std::wstring GetCustomAttribute(const std::wstring& name) const;

  virtual SIZE EstimateSize(SIZE available);

  // False stops the painting (the stop control was reached).
  virtual bool Paint(HDC dc, const RECT& paint, CControlUI* stop);
  virtual bool DoPaint(HDC dc, const RECT& paint, CControlUI* stop);
  virtual void PaintBkColor(HDC dc);
  virtual void PaintBkImage(HDC dc);
  virtual void PaintStatusImage(HDC dc);
  virtual void PaintForeColor(HDC dc);
  virtual void PaintForeImage(HDC dc);
  virtual void PaintText(HDC dc);
  virtual void PaintBorder(HDC dc);
  virtual void DoPostPaint(HDC dc, const RECT& paint);

  void Invalidate();
  bool IsUpdateNeeded() const { return updateNeeded_; }
  void NeedUpdate();
  void NeedParentUpdate();

  DWORD GetBkColor() const { return bkColor_; }
  void SetBkColor(DWORD color);
  DWORD GetBkColor2() const { return bkColor2_; }
  void SetBkColor2(DWORD color);
  DWORD GetBkColor3() const { return bkColor3_; }
  void SetBkColor3(DWORD color);
  DWORD GetForeColor() const { return foreColor_; }
  void SetForeColor(DWORD color);
  const std::wstring& GetBkImage() const { return bkImage_; }
  void SetBkImage(const std::wstring& image);
  const std::wstring& GetForeImage() const { return foreImage_; }
  void SetForeImage(const std::wstring& image);
  DWORD GetBorderColor() const { return borderColor_; }
  void SetBorderColor(DWORD color);
  DWORD GetFocusBorderColor() const { return focusBorderColor_; }
  void SetFocusBorderColor(DWORD color);
  int GetBorderSize() const;
  void SetBorderSize(int size);
  // Per-side border widths, scaled.
  RECT GetBorderRect() const;
  void SetBorderRect(const RECT& sizes);
  SIZE GetBorderRound() const;
  void SetBorderRound(SIZE round);
  SIZE GetBkRound() const;
  void SetBkRound(SIZE round);

  // The size within the control's minimum and maximum width and height.
  SIZE ClampToLimits(SIZE size) const;

  // Draws an image attribute string at the control's rectangle.
  bool DrawImage(HDC dc, const std::wstring& image, const std::wstring& modify = std::wstring());

  CEventSource OnInit;
  CEventSource OnDestroy;
  CEventSource OnSize;
  CEventSource OnEvent;
  CEventSource OnNotify;

 protected:
  // Sends the notification of this control through the manager (nothing without one).
  void Notify(const wchar_t* type, WPARAM wParam = 0, LPARAM lParam = 0);
  // A mouse event of a control that takes no mouse input goes to the parent (to the plain
  // control handling without one); true when it was handed on so.
  bool ForwardMouseEvent(ControlEvent& event);
  // Scales a stored 100 % value by the manager's DPI scale (unscaled without a manager).
  int Scale(int value) const;
  RECT Scale(const RECT& rect) const;
  SIZE Scale(SIZE size) const;
  // Fills the part being painted with the colour, inside the rounded rectangle of the item
  // when a round size is given.
  void FillBackground(HDC dc, DWORD color, SIZE round);
  // Clips the area by the rectangle of every ancestor; false when an ancestor is hidden or
  // nothing of the area is left.
  bool ClipToAncestors(RECT& area) const;

  CPaintManagerUI* manager_ = nullptr;
  CControlUI* parent_ = nullptr;
  std::wstring name_;
  std::wstring text_;
  std::wstring tooltip_;
  std::wstring userData_;
  std::wstring virtualWnd_;
  int tooltipWidth_ = 300;
  UINT_PTR tag_ = 0;
  wchar_t shortcut_ = 0;
  WORD cursor_ = 0;
  bool resourceText_ = false;

  RECT item_ = {};
  // The item rectangle for which painting is running (item ∩ paint rectangle).
  RECT paintRect_ = {};
  RECT padding_ = {};
  SIZE fixedXY_ = {};
  SIZE fixedSize_ = {};
  SIZE minSize_ = {};
  SIZE maxSize_ = {9999, 9999};
  bool float_ = false;
  UINT floatAlign_ = 0;
  FloatPercent floatPercent_;

  bool visible_ = true;
  bool internVisible_ = true;
  bool enabled_ = true;
  bool mouseEnabled_ = true;
  bool keyboardEnabled_ = true;
  bool focused_ = false;
  bool updateNeeded_ = true;
  bool tabSupport_ = false;
  bool horzPaddingCenter_ = false;
  bool vertPaddingCenter_ = false;
  bool dpiPadding_ = true;
  bool dpiTextPadding_ = true;
  bool responseMouseEnterLeave_ = false;
  bool contextMenuUsed_ = false;
  bool dragEnabled_ = false;
  bool dropEnabled_ = false;
  bool dragMove_ = false;
  bool dynamic_ = false;
  bool colorHsl_ = false;
  bool inOnSize_ = false;

  DWORD bkColor_ = 0;
  DWORD bkColor2_ = 0;
  DWORD bkColor3_ = 0;
  std::wstring gradient_;
  SIZE bkRound_ = {};
  DWORD foreColor_ = 0;
  DWORD borderColor_ = 0;
  DWORD focusBorderColor_ = 0;
  int borderSize_ = 0;
  RECT borderRect_ = {};
  int borderStyle_ = PS_SOLID;
  SIZE borderRound_ = {};
  std::wstring bkImage_;
  std::wstring foreImage_;

  std::map<std::wstring, std::wstring> customAttributes_;
};
