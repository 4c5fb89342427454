// The paint manager of one skinned window. It turns the window's messages into control
// events, owns the control tree and the hover, capture, focus and pressed-control state, runs
// control timers, lays out and paints through one off-screen bitmap (layered windows with
// per-pixel alpha), sends notifications and scales for DPI. Its implementation is split by
// concern: uimanager.cpp (tree and tables), uimanagerinput.cpp (messages and input),
// uimanagerfocus.cpp (focus, tab ring, pre-messages), uimanagertimers.cpp, uimanagerpaint.cpp,
// uimanagernotify.cpp, uimanagerdpi.cpp; the shadow window is in uishadow.cpp and the message
// loop in ui/window/uimessageloop.cpp.
#pragma once
#include <windows.h>

#include <deque>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "uievents.h"
#include "uimemorybitmap.h"
#include "uishadow.h"
#include "uiskinresources.h"
#include "uiskinsource.h"

class CControlUI;

// Posted to the manager's own window to deliver queued notifications and deletions.
constexpr UINT kMsgAsyncNotify = WM_APP + 1;
// Posted when the DPI scale changed: wParam the old scale, lParam the new one.
constexpr UINT kMsgDpiChanged = WM_USER + 2;

class CPaintManagerUI : public CSkinResources {
 public:
  CPaintManagerUI();
  ~CPaintManagerUI() override;

  // ---- The process-wide skin source, under the names the program entry uses ----
  static HINSTANCE GetInstance() { return CSkinSource::GetInstance(); }
  static void SetInstance(HINSTANCE instance) { CSkinSource::SetInstance(instance); }
  static const std::wstring& GetResourcePath() { return CSkinSource::GetResourcePath(); }
  static void SetResourcePath(const wchar_t* path) { CSkinSource::SetResourcePath(path); }
  static const std::wstring& GetResourceArchive() { return CSkinSource::GetResourceArchive(); }
  static const std::wstring& GetResourceArchivePassword() {
    return CSkinSource::GetResourceArchivePassword();
  }
  static bool IsCachedResourceArchive() { return CSkinSource::IsCachedResourceArchive(); }
  static void SetResourceArchive(const void* bytes, size_t size, const wchar_t* password) {
    CSkinSource::SetResourceArchive(bytes, size, password);
  }
  static void SetResourceArchiveFile(const wchar_t* name, const wchar_t* password) {
    CSkinSource::SetResourceArchiveFile(name, password);
  }
  // Frees the shared resource tables and closes the kept archive; called once at the end.
  static void Term() {
    CSkinResources::TermShared();
    CSkinSource::CloseArchive();
  }

  // ---- Message loop (class level) ----
  // Runs until the quit message; messages of windows with a paint manager pass its
  // accelerator translators and pre-message handler first.
  static void MessageLoop();
  // True when a translator or pre-message handler took the message.
  static bool TranslateMessage(const MSG* msg);

  // ---- Window and tree ----
  void Init(HWND window, const wchar_t* name = nullptr);
  HWND GetPaintWindow() const { return window_; }
  const std::wstring& GetName() const { return name_; }
  // Makes root the tree of this window; the old tree is deleted at the next wake-up.
  bool AttachDialog(CControlUI* root);
  CControlUI* GetRoot() const { return root_; }
  // Gives a control (and its subtree) this manager with initialisation and records names.
  bool InitControls(CControlUI* control, CControlUI* parent = nullptr);
  // Forgets every reference to the control and its subtree (hover, focus, click, timers,
  // names, tab ring, queued notifications): called when it leaves the tree.
  void ReapObjects(CControlUI* control);
  // Detaches the control and deletes it at the next wake-up.
  void AddDelayedCleanup(CControlUI* control);
  // Deletes the controls queued for deletion now.
  void FreeDelayedCleanup();

  CControlUI* FindControl(POINT point) const;
  CControlUI* FindControl(const std::wstring& name) const;

  // ---- Window attributes (sizes at 100 %) ----
  SIZE GetInitSize() const;
  void SetInitSize(int cx, int cy);
  SIZE GetMinInfo() const { return minInfo_; }
  void SetMinInfo(int cx, int cy) { minInfo_ = SIZE{cx, cy}; }
  SIZE GetMaxInfo() const { return maxInfo_; }
  void SetMaxInfo(int cx, int cy) { maxInfo_ = SIZE{cx, cy}; }
  const RECT& GetCaptionRect() const { return caption_; }
  void SetCaptionRect(const RECT& caption) { caption_ = caption; }
  const RECT& GetSizeBox() const { return sizeBox_; }
  void SetSizeBox(const RECT& sizeBox) { sizeBox_ = sizeBox; }
  const RECT& GetSizeBoxInset() const { return sizeBoxInset_; }
  void SetSizeBoxInset(const RECT& inset) { sizeBoxInset_ = inset; }
  SIZE GetRoundCorner() const { return roundCorner_; }
  void SetRoundCorner(int cx, int cy) { roundCorner_ = SIZE{cx, cy}; }
  bool IsShowUpdateRect() const { return showUpdateRect_; }
  void SetShowUpdateRect(bool show) { showUpdateRect_ = show; }
  BYTE GetOpacity() const { return opacity_; }
  // A constant window alpha through the system's layered attributes.
  void SetOpacity(BYTE opacity);
  bool IsLayered() const override { return layered_; }
  void SetLayered(bool layered);
  BYTE GetLayeredOpacity() const { return layeredOpacity_; }
  void SetLayeredOpacity(BYTE opacity);
  const std::wstring& GetLayeredImage() const { return layeredImage_; }
  void SetLayeredImage(const std::wstring& image);
  bool IsNoActivate() const { return noActivate_; }
  void SetNoActivate(bool noActivate) { noActivate_ = noActivate; }
  int GetHoverTime() const { return hoverTime_; }
  void SetHoverTime(int milliseconds) { hoverTime_ = milliseconds; }
  DWORD GetToolTipBkColor() const { return tooltipBkColor_; }
  void SetToolTipBkColor(DWORD color) { tooltipBkColor_ = color; }
  DWORD GetToolTipTextColor() const { return tooltipTextColor_; }
  void SetToolTipTextColor(DWORD color) { tooltipTextColor_ = color; }
  bool IsNormalTab() const { return normalTab_; }
  void SetNormalTab(bool on) { normalTab_ = on; }
  bool IsAutoDPI() const { return autoDpi_; }
  void SetAutoDPI(bool on);
  bool IsKillFocusSendButtonUp() const { return killFocusSendButtonUp_; }
  void SetKillFocusSendButtonUp(bool on) { killFocusSendButtonUp_ = on; }
  bool IsDockWindow() const { return dockWindow_; }
  void SetDockWindow(bool on) { dockWindow_ = on; }
  CShadowUI* GetShadow() { return &shadow_; }

  // ---- Notifications ----
  bool AddNotifier(INotifyUI* notifier);
  bool RemoveNotifier(INotifyUI* notifier);
  // Synchronous: the sender's own listeners, then the notifiers in registration order.
  // Asynchronous: queued and delivered from the window's own message queue.
  void SendNotify(NotifyMsg& msg, bool async = false);
  void SendNotify(CControlUI* sender, const wchar_t* type, WPARAM wParam = 0, LPARAM lParam = 0,
                  bool async = false);
  void UsedVirtualWnd(bool used) { usedVirtualWnd_ = used; }

  // ---- Filters and helpers ----
  bool AddPreMessageFilter(IMessageFilterUI* filter);
  bool RemovePreMessageFilter(IMessageFilterUI* filter);
  bool AddMessageFilter(IMessageFilterUI* filter);
  bool RemoveMessageFilter(IMessageFilterUI* filter);
  bool AddTranslateAccelerator(ITranslateAccelerator* translator);
  bool RemoveTranslateAccelerator(ITranslateAccelerator* translator);
  bool AddPostPaint(CControlUI* control);
  bool RemovePostPaint(CControlUI* control);
  // A native child window whose pixels are printed into a layered window's bitmap.
  bool AddNativeWindow(CControlUI* control, HWND window);
  bool RemoveNativeWindow(HWND window);

  // ---- Focus and tab ring ----
  CControlUI* GetFocus() const { return focus_; }
  void SetFocus(CControlUI* control);
  // Moves the focus to the next (or previous) tab stop in tree order; nothing when normal
  // tab navigation is off.
  bool SetNextTabControl(bool forward = true);
  void AddTabControl(CControlUI* control);
  // A container that gets "setfocusview"/"killfocusview" when the focus enters or leaves it.
  void AddFocusView(CControlUI* view);
  CControlUI* GetHover() const { return hover_; }
  CControlUI* GetClickControl() const { return click_; }

  // ---- Capture ----
  void SetCapture();
  void ReleaseCapture();
  bool IsCaptured() const { return captured_; }

  // ---- Timers (ids local to the window, recycled modulo 240) ----
  bool SetTimer(CControlUI* control, UINT id, UINT elapse);
  bool KillTimer(CControlUI* control, UINT id);
  void KillTimer(CControlUI* control);
  void RemoveAllTimers();

  // ---- Option groups ----
  bool AddOptionGroup(const std::wstring& group, CControlUI* control);
  const std::vector<CControlUI*>* GetOptionGroup(const std::wstring& group) const;
  void RemoveOptionGroup(const std::wstring& group, CControlUI* control);

  // ---- Layout and painting ----
  void Invalidate();
  void Invalidate(const RECT& rect);
  void NeedUpdate() { updateNeeded_ = true; }
  bool IsUpdateNeeded() const { return updateNeeded_; }
  POINT GetMousePos() const { return lastMousePos_; }
  // The off-screen bitmap of the last paint (32-bit top-down, premultiplied B, G, R, A).
  const DWORD* GetPaintOffscreenBits() const {
    return offscreen_ != nullptr ? offscreen_->Bits() : nullptr;
  }
  SIZE GetPaintOffscreenSize() const { return offscreen_ != nullptr ? offscreen_->Size() : SIZE{}; }

  // ---- DPI ----
  // Sets the scale for the DPI, makes fonts and images again, resizes the window, posts
  // kMsgDpiChanged and notifies the root with "dpichanged".
  void SetDPI(int dpi);
  // SetDPI on every manager of the process; the value becomes the all-windows DPI.
  static void SetAllDPI(int dpi);
  static int GetAllDPI();
  // The effective DPI of a monitor; a failed query is reported in a message box and the
  // screen's logical DPI answers.
  static int GetMonitorDPI(HMONITOR monitor);

  // ---- Messages ----
  bool MessageHandler(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
  bool PreMessageHandler(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
  bool TranslateAccelerator(MSG* msg);

 private:
  struct TimerRecord {
    CControlUI* control;
    UINT id;
    HWND window;
    UINT localId;
    bool killed;
  };
  struct NativeWindow {
    CControlUI* control;
    HWND window;
  };

  static std::vector<CPaintManagerUI*>& Managers();

  // Input (uimanagerinput.cpp).
  bool HandleMouseMove(WPARAM wParam, LPARAM lParam);
  bool HandleButtonDown(UIEvent type, WPARAM wParam, LPARAM lParam);
  void HandleMouseHover(WPARAM wParam, LPARAM lParam);
  void HandleMouseLeave();
  void ShowToolTip(CControlUI* control);
  void HideToolTip();
  ControlEvent MakeEvent(UIEvent type, CControlUI* sender, WPARAM wParam, LPARAM lParam) const;
  void SendEvent(CControlUI* control, UIEvent type, WPARAM wParam = 0, LPARAM lParam = 0);

  // Focus (uimanagerfocus.cpp).
  bool HandleTabKey();
  bool HandleShortcut(wchar_t key);

  // Painting (uimanagerpaint.cpp).
  bool HandlePaint();
  // Lays out what needs it; true when the root itself was laid out.
  bool LayOut();
  // Keeps an off-screen bitmap of the client size; false when none can be made.
  bool EnsureOffscreen(const RECT& client);
  void PrintNativeWindows(const RECT& paint);
  void RepairAlpha(const RECT& paint);
  void ApplyLayeredMask(const RECT& paint);
  void UpdateLayered(const RECT& paint);

  // Notifications (uimanagernotify.cpp).
  void DeliverNotify(NotifyMsg& msg);
  void PostAsyncWakeUp();
  void HandleAsyncNotify();

  // Whether control is the subtree root or lies inside it.
  static bool IsInside(const CControlUI* control, const CControlUI* subtree);

  HWND window_ = nullptr;
  HDC paintDCOwned_ = nullptr;
  std::wstring name_;
  CControlUI* root_ = nullptr;
  CControlUI* focus_ = nullptr;
  CControlUI* hover_ = nullptr;
  CControlUI* click_ = nullptr;
  CControlUI* keyPress_ = nullptr;
  CControlUI* tooltipControl_ = nullptr;
  HWND tooltipWindow_ = nullptr;
  std::wstring tooltipText_;
  bool mouseTracking_ = false;
  bool captured_ = false;
  bool dragging_ = false;
  POINT lastMousePos_ = {-1, -1};
  POINT buttonDownPos_ = {};
  int hoverTime_ = 400;

  SIZE initSize_ = {};
  SIZE minInfo_ = {};
  SIZE maxInfo_ = {};
  RECT caption_ = {};
  RECT sizeBox_ = {};
  RECT sizeBoxInset_ = {};
  SIZE roundCorner_ = {};
  bool showUpdateRect_ = false;
  BYTE opacity_ = 255;
  bool layered_ = false;
  BYTE layeredOpacity_ = 255;
  std::wstring layeredImage_;
  bool noActivate_ = false;
  DWORD tooltipBkColor_ = 0xFFFFFFFF;
  DWORD tooltipTextColor_ = 0xFF000000;
  bool normalTab_ = true;
  bool autoDpi_ = false;
  bool killFocusSendButtonUp_ = false;
  bool dockWindow_ = false;
  bool usedVirtualWnd_ = false;

  bool updateNeeded_ = false;
  bool firstLayout_ = true;
  bool focusNeeded_ = false;
  bool asyncPosted_ = false;
  RECT layeredUpdate_ = {};

  std::unique_ptr<MemoryBitmap> offscreen_;

  std::vector<TimerRecord> timers_;
  UINT lastTimerId_ = 4096;
  std::vector<INotifyUI*> notifiers_;
  std::vector<IMessageFilterUI*> preMessageFilters_;
  std::vector<IMessageFilterUI*> messageFilters_;
  std::vector<ITranslateAccelerator*> translators_;
  std::vector<CControlUI*> postPaint_;
  std::vector<NativeWindow> nativeWindows_;
  std::vector<CControlUI*> delayedCleanup_;
  std::deque<NotifyMsg> asyncNotify_;
  std::vector<CControlUI*> tabRing_;
  // Where the ring walk starts when the focus is not in the ring.
  size_t tabRingNext_ = 0;
  std::vector<CControlUI*> focusViews_;
  std::map<std::wstring, CControlUI*> nameMap_;
  std::map<std::wstring, std::vector<CControlUI*>> optionGroups_;

  CShadowUI shadow_;
};
