// The paint manager's tree, tables and lists.
#include "uimanager.h"

#include <commctrl.h>

#include <algorithm>

#include "uialphablend.h"
#include "uicontrol.h"
#include "uirender.h"

namespace {

template <typename T>
bool AddUnique(std::vector<T>& list, T item) {
  if (std::find(list.begin(), list.end(), item) != list.end()) return false;
  list.push_back(item);
  return true;
}

template <typename T>
bool RemoveItem(std::vector<T>& list, T item) {
  auto found = std::find(list.begin(), list.end(), item);
  if (found == list.end()) return false;
  list.erase(found);
  return true;
}

CControlUI* CollectNames(CControlUI* control, void* data) {
  auto* names = static_cast<std::map<std::wstring, CControlUI*>*>(data);
  std::wstring name = control->GetName();
  if (!name.empty()) names->emplace(name, control);
  return nullptr;
}

CControlUI* HitTest(CControlUI* control, void*) { return control; }

}  // namespace

std::vector<CPaintManagerUI*>& CPaintManagerUI::Managers() {
  static std::vector<CPaintManagerUI*> managers;
  return managers;
}

CPaintManagerUI::CPaintManagerUI() {
  INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES};
  InitCommonControlsEx(&controls);
  CShadowUI::RegisterWindowClass();
}

CPaintManagerUI::~CPaintManagerUI() {
  RemoveAllTimers();
  // The tree is deleted while this manager still answers its controls' questions.
  CControlUI* root = root_;
  root_ = nullptr;
  delete root;
  FreeDelayedCleanup();
  if (tooltipWindow_ != nullptr) DestroyWindow(tooltipWindow_);
  offscreen_.reset();
  if (paintDCOwned_ != nullptr) ReleaseDC(window_, paintDCOwned_);
  RemoveItem(Managers(), this);
}

void CPaintManagerUI::Init(HWND window, const wchar_t* name) {
  defaultAttributes_.clear();
  styles_.clear();
  optionGroups_.clear();
  RemoveAllTimers();
  name_ = name != nullptr ? name : L"";
  if (window_ != window) {
    if (paintDCOwned_ != nullptr) ReleaseDC(window_, paintDCOwned_);
    window_ = window;
    paintDCOwned_ = GetDC(window);
    paintDC_ = paintDCOwned_;
    AddUnique(Managers(), this);
  }
}

bool CPaintManagerUI::AttachDialog(CControlUI* root) {
  shadow_.Create(this);
  focusViews_.clear();
  tabRing_.clear();
  tabRingNext_ = 0;
  SetFocus(nullptr);
  hover_ = nullptr;
  click_ = nullptr;
  keyPress_ = nullptr;
  if (root_ != nullptr) AddDelayedCleanup(root_);
  root_ = root;
  updateNeeded_ = true;
  firstLayout_ = true;
  if (autoDpi_) SetDPI(GetAllDPI());
  return InitControls(root);
}

bool CPaintManagerUI::InitControls(CControlUI* control, CControlUI* parent) {
  if (control == nullptr) return false;
  control->SetManager(this, parent != nullptr ? parent : control->GetParent(), true);
  control->FindControl(CollectNames, &nameMap_, UIFIND_ALL);
  return true;
}

bool CPaintManagerUI::IsInside(const CControlUI* control, const CControlUI* subtree) {
  for (; control != nullptr; control = control->GetParent()) {
    if (control == subtree) return true;
  }
  return false;
}

void CPaintManagerUI::ReapObjects(CControlUI* control) {
  if (control == nullptr) return;
  auto forget = [control](CControlUI*& holder) {
    if (IsInside(holder, control)) holder = nullptr;
  };
  if (IsInside(focus_, control)) focus_ = nullptr;
  forget(hover_);
  if (IsInside(click_, control)) {
    click_ = nullptr;
    if (captured_) ReleaseCapture();
  }
  forget(keyPress_);
  if (IsInside(tooltipControl_, control)) {
    HideToolTip();
    tooltipControl_ = nullptr;
  }
  for (auto it = timers_.begin(); it != timers_.end();) {
    if (IsInside(it->control, control)) {
      if (!it->killed) ::KillTimer(it->window, it->localId);
      it = timers_.erase(it);
    } else {
      ++it;
    }
  }
  auto drop = [control](std::vector<CControlUI*>& list) {
    list.erase(std::remove_if(list.begin(), list.end(),
                              [control](CControlUI* item) { return IsInside(item, control); }),
               list.end());
  };
  drop(tabRing_);
  drop(focusViews_);
  drop(postPaint_);
  nativeWindows_.erase(std::remove_if(nativeWindows_.begin(), nativeWindows_.end(),
                                      [control](const NativeWindow& native) {
                                        return IsInside(native.control, control);
                                      }),
                       nativeWindows_.end());
  for (auto it = nameMap_.begin(); it != nameMap_.end();) {
    it = IsInside(it->second, control) ? nameMap_.erase(it) : std::next(it);
  }
  for (auto it = optionGroups_.begin(); it != optionGroups_.end();) {
    drop(it->second);
    it = it->second.empty() ? optionGroups_.erase(it) : std::next(it);
  }
  // Records of a sender that is going away would reach the application dangling.
  asyncNotify_.erase(std::remove_if(asyncNotify_.begin(), asyncNotify_.end(),
                                    [control](const NotifyMsg& msg) {
                                      return IsInside(msg.sender, control);
                                    }),
                     asyncNotify_.end());
  if (root_ == control) root_ = nullptr;
}

void CPaintManagerUI::AddDelayedCleanup(CControlUI* control) {
  if (control == nullptr) return;
  ReapObjects(control);
  control->SetManager(nullptr, nullptr, false);
  delayedCleanup_.push_back(control);
  PostAsyncWakeUp();
}

CControlUI* CPaintManagerUI::FindControl(POINT point) const {
  if (root_ == nullptr) return nullptr;
  return root_->FindControl(HitTest, &point, UIFIND_VISIBLE | UIFIND_HITTEST | UIFIND_TOP_FIRST);
}

CControlUI* CPaintManagerUI::FindControl(const std::wstring& name) const {
  auto found = nameMap_.find(name);
  return found != nameMap_.end() ? found->second : nullptr;
}

SIZE CPaintManagerUI::GetInitSize() const { return GetDPIObj()->Scale(initSize_); }

void CPaintManagerUI::SetInitSize(int cx, int cy) {
  initSize_ = SIZE{cx, cy};
  if (root_ == nullptr && window_ != nullptr) {
    SIZE size = GetInitSize();
    SetWindowPos(window_, nullptr, 0, 0, size.cx, size.cy,
                 SWP_NOZORDER | SWP_NOMOVE | SWP_NOACTIVATE);
  }
}

void CPaintManagerUI::SetOpacity(BYTE opacity) {
  opacity_ = opacity;
  if (window_ == nullptr) return;
  SetLayeredWindowAttributesFunction setAttributes = SystemSetLayeredWindowAttributes();
  if (setAttributes == nullptr) return;
  LONG exStyle = GetWindowLongW(window_, GWL_EXSTYLE);
  SetWindowLongW(window_, GWL_EXSTYLE, exStyle | WS_EX_LAYERED);
  setAttributes(window_, 0, opacity, LWA_ALPHA);
}

void CPaintManagerUI::SetLayered(bool layered) {
  if (window_ == nullptr || layered_ == layered) return;
  if ((GetWindowLongW(window_, GWL_STYLE) & WS_CHILD) != 0) return;
  if (SystemUpdateLayeredWindow() == nullptr) return;
  layered_ = layered;
  if (root_ != nullptr) root_->NeedUpdate();
  Invalidate();
}

void CPaintManagerUI::SetLayeredOpacity(BYTE opacity) {
  layeredOpacity_ = opacity;
  Invalidate();
}

void CPaintManagerUI::SetLayeredImage(const std::wstring& image) {
  layeredImage_ = image;
  SetLayered(true);
  Invalidate();
}

void CPaintManagerUI::SetAutoDPI(bool on) {
  autoDpi_ = on;
  NeedUpdate();
}

bool CPaintManagerUI::AddNotifier(INotifyUI* notifier) { return AddUnique(notifiers_, notifier); }

bool CPaintManagerUI::RemoveNotifier(INotifyUI* notifier) {
  return RemoveItem(notifiers_, notifier);
}

bool CPaintManagerUI::AddPreMessageFilter(IMessageFilterUI* filter) {
  return AddUnique(preMessageFilters_, filter);
}

bool CPaintManagerUI::RemovePreMessageFilter(IMessageFilterUI* filter) {
  return RemoveItem(preMessageFilters_, filter);
}

bool CPaintManagerUI::AddMessageFilter(IMessageFilterUI* filter) {
  return AddUnique(messageFilters_, filter);
}

bool CPaintManagerUI::RemoveMessageFilter(IMessageFilterUI* filter) {
  return RemoveItem(messageFilters_, filter);
}

bool CPaintManagerUI::AddTranslateAccelerator(ITranslateAccelerator* translator) {
  return AddUnique(translators_, translator);
}

bool CPaintManagerUI::RemoveTranslateAccelerator(ITranslateAccelerator* translator) {
  return RemoveItem(translators_, translator);
}

bool CPaintManagerUI::TranslateAccelerator(MSG* msg) {
  for (ITranslateAccelerator* translator : std::vector<ITranslateAccelerator*>(translators_)) {
    if (translator->TranslateAccelerator(msg) == 0) return true;
  }
  return false;
}

bool CPaintManagerUI::AddPostPaint(CControlUI* control) { return AddUnique(postPaint_, control); }

bool CPaintManagerUI::RemovePostPaint(CControlUI* control) {
  return RemoveItem(postPaint_, control);
}

bool CPaintManagerUI::AddNativeWindow(CControlUI* control, HWND window) {
  if (control == nullptr || window == nullptr) return false;
  for (const NativeWindow& native : nativeWindows_) {
    if (native.window == window) return false;
  }
  nativeWindows_.push_back(NativeWindow{control, window});
  return true;
}

bool CPaintManagerUI::RemoveNativeWindow(HWND window) {
  auto found = std::find_if(nativeWindows_.begin(), nativeWindows_.end(),
                            [window](const NativeWindow& native) { return native.window == window; });
  if (found == nativeWindows_.end()) return false;
  nativeWindows_.erase(found);
  return true;
}

void CPaintManagerUI::AddTabControl(CControlUI* control) { AddUnique(tabRing_, control); }

void CPaintManagerUI::AddFocusView(CControlUI* view) { AddUnique(focusViews_, view); }

void CPaintManagerUI::SetCapture() {
  ::SetCapture(window_);
  captured_ = true;
}

void CPaintManagerUI::ReleaseCapture() {
  captured_ = false;
  ::ReleaseCapture();
}

bool CPaintManagerUI::AddOptionGroup(const std::wstring& group, CControlUI* control) {
  return AddUnique(optionGroups_[group], control);
}

const std::vector<CControlUI*>* CPaintManagerUI::GetOptionGroup(const std::wstring& group) const {
  auto found = optionGroups_.find(group);
  return found != optionGroups_.end() ? &found->second : nullptr;
}

void CPaintManagerUI::RemoveOptionGroup(const std::wstring& group, CControlUI* control) {
  auto found = optionGroups_.find(group);
  if (found == optionGroups_.end()) return;
  RemoveItem(found->second, control);
  if (found->second.empty()) optionGroups_.erase(found);
}

void CPaintManagerUI::Invalidate() {
  if (window_ == nullptr) return;
  RECT client;
  GetClientRect(window_, &client);
  Invalidate(client);
}

void CPaintManagerUI::Invalidate(const RECT& rect) {
  if (window_ == nullptr) return;
  RECT area = rect;
  if (area.left < 0) area.left = 0;
  if (area.top < 0) area.top = 0;
  if (area.right < area.left) area.right = area.left;
  if (area.bottom < area.top) area.bottom = area.top;
  if (layered_) UnionRect(&layeredUpdate_, &layeredUpdate_, &area);
  InvalidateRect(window_, &area, FALSE);
}
