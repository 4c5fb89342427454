#include "dlginstall.h"

#include <process.h>
#include <shellapi.h>

#include <cwchar>
#include <string>

#include "debugoutput.h"
#include "installmgr.h"
#include "installpath.h"
#include "qlmlaunch.h"
#include "qlmscriptengine.h"
#include "startup.h"
#include "uibutton.h"
#include "uihorizontallayout.h"
#include "uilabel.h"
#include "uioption.h"
#include "uiprogress.h"
#include "uirichedit.h"
#include "uitablayout.h"
#include "uiverticallayout.h"

namespace {

constexpr wchar_t kTitleSuffix[] = L"安装";
constexpr wchar_t kCloseQuestion[] = L"您确定要退出安装程序？";
constexpr wchar_t kCloseCaption[] = L"提醒";
constexpr wchar_t kProgressFormat[] = L"安装中...  (%d％)";
constexpr wchar_t kAnimationFrameFormat[] = L"Image/InstallBk%d.png";
constexpr UINT kProgressPeriod = 300;
constexpr UINT kWindowIcon = 128;

// The control when it is of the class behind the interface name (or derived from it).
template <typename T>
T* Checked(CControlUI* control, const wchar_t* interfaceName) {
  return control != nullptr ? static_cast<T*>(control->GetInterface(interfaceName)) : nullptr;
}

CControlUI* FindIn(CControlUI* view, const wchar_t* name) {
  auto* container = Checked<CContainerUI>(view, L"Container");
  return container != nullptr ? container->FindSubControl(name) : nullptr;
}

QLMScriptEngine& Engine() { return QLMScriptEngine::Instance(); }

// The monitor DPI rounded down to the steps 96, 120, 144, 168 and 192 (below 96 unchanged).
int RoundDpiToStep(int dpi) {
  if (dpi < 96) return dpi;
  if (dpi >= 192) return 192;
  return 96 + (dpi - 96) / 24 * 24;
}

}  // namespace

const CNotifyPump::NotifyMap* CDlgInstall::ClassNotifyMap() {
  static const NotifyMapEntry entries[] = {
      NotifyEntry(kNotifyClick, L"BtnClose", &CDlgInstall::OnCloseRequest),
      NotifyEntry(kNotifyClick, L"BtnLicenceLink", &CDlgInstall::OnLicenceLink),
      NotifyEntry(kNotifyClick, L"BtnInstall", &CDlgInstall::OnInstallCommand),
      NotifyEntry(kNotifyClick, L"BtnSelectPath", &CDlgInstall::OnSelectPath),
      NotifyEntry(kNotifyClick, L"BtnStart", &CDlgInstall::OnStart),
      NotifyEntry(kNotifySelectChanged, L"CheckLicence", &CDlgInstall::OnLicenceChanged),
      NotifyEntry(kNotifyTimer, L"", &CDlgInstall::OnTimer),
      EndOfMap(),
  };
  static const NotifyMap map = {WindowImplBase::ClassNotifyMap(), entries};
  return &map;
}

void CDlgInstall::FindControls() {
  tabMain_ = Checked<CTabLayoutUI>(paintManager_.FindControl(std::wstring(L"TabMain")),
                                   L"TabLayout");
  vertInitView_ = Checked<CVerticalLayoutUI>(
      paintManager_.FindControl(std::wstring(L"VertInitView")), L"VerticalLayout");
  btnInstall_ = Checked<CButtonUI>(FindIn(vertInitView_, L"BtnInstall"), L"Button");
  editInstallPath_ = Checked<CRichEditUI>(FindIn(vertInitView_, L"EditInstallPath"), L"RichEdit");
  checkDesktopLaunch_ = Checked<COptionUI>(FindIn(vertInitView_, L"CheckDesktopLaunch"), L"Option");
  checkAutoStartup_ = Checked<COptionUI>(FindIn(vertInitView_, L"CheckAutoStartup"), L"Option");
  checkLicence_ = Checked<COptionUI>(FindIn(vertInitView_, L"CheckLicence"), L"Option");
  vertInstallView_ = Checked<CVerticalLayoutUI>(
      paintManager_.FindControl(std::wstring(L"VertInstallView")), L"VerticalLayout");
  progressInstall_ = Checked<CProgressUI>(FindIn(vertInstallView_, L"ProgressInstall"),
                                          L"Progress");
  labelInstallValue_ = Checked<CLabelUI>(FindIn(vertInstallView_, L"LabelInstallValue"), L"Label");
  vertUpdateView_ = Checked<CVerticalLayoutUI>(
      paintManager_.FindControl(std::wstring(L"VertUpdateView")), L"VerticalLayout");
  vertInfoTipView_ = Checked<CVerticalLayoutUI>(
      paintManager_.FindControl(std::wstring(L"VertInfoTipView")), L"VerticalLayout");
  vertCompleteView_ = Checked<CVerticalLayoutUI>(
      paintManager_.FindControl(std::wstring(L"VertCompleteView")), L"VerticalLayout");
  horizNumber_ = Checked<CHorizontalLayoutUI>(FindIn(vertCompleteView_, L"HorizNumber"),
                                              L"HorizontalLayout");
  btnStart_ = Checked<CButtonUI>(FindIn(vertCompleteView_, L"BtnStart"), L"Button");
  completeViewLabel_ = Checked<CLabelUI>(FindIn(vertCompleteView_, L"CompleteViewlabel"), L"Label");
  horizCaptionBtn_ = Checked<CHorizontalLayoutUI>(
      paintManager_.FindControl(std::wstring(L"HorizCaptionBtn")), L"HorizontalLayout");
  // The controls of a missing view cannot be found: the window still opens, and the install
  // command refuses to start an installation it could not show.
  const struct {
    const void* view;
    const wchar_t* name;
  } views[] = {{vertInitView_, L"VertInitView"},
               {vertInstallView_, L"VertInstallView"},
               {vertCompleteView_, L"VertCompleteView"}};
  for (const auto& view : views) {
    if (view.view == nullptr) DebugLine(L"the skin has no %s", view.name);
  }
}

void CDlgInstall::ApplyMonitorDpi() {
  HMONITOR monitor = MonitorFromWindow(window_, MONITOR_DEFAULTTOPRIMARY);
  CPaintManagerUI::SetAllDPI(RoundDpiToStep(CPaintManagerUI::GetMonitorDPI(monitor)));
}

void CDlgInstall::InitWindow() {
  SetIcon(kWindowIcon);
  std::wstring title = Engine().GetGlobalString("global_product_name") + kTitleSuffix;
  SetWindowTextW(window_, title.c_str());
  FindControls();
  ApplyMonitorDpi();
  if (checkAutoStartup_ != nullptr) {
    checkAutoStartup_->SetVisible(Engine().GetGlobalBoolean("global_startup_check_visable"));
    checkAutoStartup_->Selected(Engine().GetGlobalBoolean("global_startup_check"), true);
  }
  PrepareFolderText(editInstallPath_);
  CenterWindow();
}

void CDlgInstall::OnCloseRequest(NotifyMsg&) {
  if (vertCompleteView_ != nullptr && vertCompleteView_->IsVisible()) {
    Close(1);
    return;
  }
  if (MessageBoxW(window_, kCloseQuestion, kCloseCaption, MB_OKCANCEL | MB_ICONQUESTION) == IDOK) {
    PostMessage(WM_CLOSE, 2, 0);
  }
}

void CDlgInstall::OnLicenceLink(NotifyMsg&) {
  std::wstring address = Engine().GetGlobalString("global_licence_url");
  ShellExecuteW(nullptr, nullptr, address.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void CDlgInstall::OnLicenceChanged(NotifyMsg&) {
  if (checkLicence_ != nullptr && btnInstall_ != nullptr) {
    btnInstall_->SetEnabled(checkLicence_->IsSelected());
  }
}

void CDlgInstall::OnSelectPath(NotifyMsg&) { PickInstallFolder(window_, editInstallPath_); }

void CDlgInstall::OnInstallCommand(NotifyMsg&) {
  if (installing_ || tabMain_ == nullptr || vertInstallView_ == nullptr ||
      horizCaptionBtn_ == nullptr || progressInstall_ == nullptr) {
    return;
  }
  if (!RunInstallChecks(window_, editInstallPath_, vertInitView_)) return;
  CInstallMgr::Instance().BeforeInstall();
  StartInstallation();
}

void CDlgInstall::StartInstallation() {
  tabMain_->SelectItem(vertInstallView_, true);
  horizCaptionBtn_->SetVisible(false);

  HRSRC payload = FindResourceW(nullptr, L"APP.7Z", L"_7Z");
  DWORD size = payload != nullptr ? SizeofResource(nullptr, payload) : 0;
  auto pace = static_cast<unsigned>(size * 0.000309651279221807 / 100);
  Engine().SetGlobalNumber("global_install_progress_elapse", pace);

  installing_ = true;
  HANDLE worker = reinterpret_cast<HANDLE>(
      _beginthreadex(nullptr, 0, InstallWorkerProc, window_, 0, nullptr));
  if (worker != nullptr) {
    CloseHandle(worker);
  } else {
    // No worker will ever complete: let the user close the window instead of refusing forever.
    installing_ = false;
    DebugLine(L"the install worker did not start (error %lu)\r\n", GetLastError());
  }

  progressInstall_->SetValue(0);
  paintManager_.SetTimer(progressInstall_, kTimerProgress, kProgressPeriod);
  paintManager_.SetTimer(vertInstallView_, kTimerAnimation,
                         static_cast<UINT>(vertInstallView_->GetTag()));
  vertInstallView_->SetTag(0);
}

void CDlgInstall::OnTimer(NotifyMsg& msg) {
  if (msg.sender == nullptr) return;
  if (msg.sender == vertInstallView_ && msg.wParam == kTimerAnimation) {
    UINT_PTR frame = (vertInstallView_->GetTag() + 1) % 3;
    vertInstallView_->SetTag(frame);
    wchar_t image[64];
    _snwprintf(image, 64, kAnimationFrameFormat, static_cast<int>(frame));
    image[63] = 0;
    vertInstallView_->SetBkImage(image);
  } else if (msg.sender == progressInstall_ && msg.wParam == kTimerProgress) {
    ProgressTick();
  }
}

void CDlgInstall::ProgressTick() {
  if (progressInstall_->GetValue() + 2 < progressInstall_->GetMaxValue()) {
    progressInstall_->SetValue(progressInstall_->GetValue() + 2);
  }
  UpdateProgressLabel();
  // The worker may be running a hook: the value is published only while no step runs.
  CInstallMgr::Instance().TrySetGlobalNumber("global_install_progress_pos",
                                             progressInstall_->GetValue());
  if (progressInstall_->GetValue() >= progressInstall_->GetMaxValue()) Complete();
}

void CDlgInstall::UpdateProgressLabel() {
  if (labelInstallValue_ == nullptr || progressInstall_ == nullptr) return;
  wchar_t text[64];
  _snwprintf(text, 64, kProgressFormat, progressInstall_->GetValue());
  text[63] = 0;
  labelInstallValue_->SetText(text);
}

LRESULT CDlgInstall::HandleCustomMessage(UINT message, WPARAM wParam, LPARAM lParam,
                                         bool& handled) {
  if (message == kMsgInstallWorkerDone && progressInstall_ != nullptr) {
    completionNumber_ = static_cast<int>(wParam);
    progressInstall_->SetValue(progressInstall_->GetMaxValue());
  }
  return WindowImplBase::HandleCustomMessage(message, wParam, lParam, handled);
}

void CDlgInstall::Complete() {
  if (tabMain_ == nullptr || btnStart_ == nullptr || horizCaptionBtn_ == nullptr ||
      vertInstallView_ == nullptr || progressInstall_ == nullptr) {
    return;
  }
  paintManager_.KillTimer(vertInstallView_, kTimerAnimation);
  paintManager_.KillTimer(progressInstall_, kTimerProgress);
  progressInstall_->SetValue(progressInstall_->GetMaxValue());
  UpdateProgressLabel();
  UpdateWindow(window_);
  horizCaptionBtn_->SetVisible(true);
  installing_ = false;
  if (listenWindow_ != nullptr) ::SendMessageW(listenWindow_, kMsgInstallationOver, 0, 0);
  ForceForegroundWindow(window_);
  if (Engine().GetGlobalBoolean("global_show_completewindow")) {
    if (vertCompleteView_ != nullptr) tabMain_->SelectItem(vertCompleteView_, false);
    btnStart_->SetFocus();
    ShowCompletionNumber();
  } else {
    LaunchProduct();
  }
}

void CDlgInstall::ShowCompletionNumber() {
  if (horizNumber_ == nullptr) return;
  horizNumber_->RemoveAll();
  wchar_t digits[16];
  _snwprintf(digits, 16, L"%d", completionNumber_);
  digits[15] = 0;
  for (const wchar_t* digit = digits; *digit != 0; ++digit) {
    auto* box = new CHorizontalLayoutUI();
    box->SetFixedWidth(28);
    box->SetFixedHeight(36);
    auto* label = new CLabelUI();
    label->SetFixedWidth(24);
    label->SetText(std::wstring(1, *digit));
    label->SetBorderRound(SIZE{2, 2});
    label->SetBorderColor(0xFF1FC880);
    label->SetBorderRect(RECT{1, 1, 2, 2});
    label->SetAttribute(L"align", L"center");
    label->SetAttribute(L"valign", L"vcenter");
    label->SetFont(18);
    label->SetTextColor(0xFF1FC880);
    label->SetAttribute(L"horzpaddingcenter", L"true");
    box->Add(label);
    horizNumber_->Add(box);
  }
}

void CDlgInstall::OnStart(NotifyMsg&) { LaunchProduct(); }

void CDlgInstall::LaunchProduct() {
  wchar_t folder[MAX_PATH] = {};
  ExpandEnvironmentStringsW(Engine().GetGlobalString("global_install_path").c_str(), folder,
                            MAX_PATH);
  wchar_t file[MAX_PATH * 2] = {};
  _snwprintf(file, MAX_PATH * 2, L"%ls\\%ls", folder,
             Engine().GetGlobalString("global_main_app_name").c_str());
  file[MAX_PATH * 2 - 1] = 0;
  std::wstring parameters = Engine().GetGlobalString("global_start_parameter");
  if (Engine().GetGlobalBoolean("global_startuseexplorer_level")) {
    DebugLine(L"ProcessLauncherExplorerLevel~!\r\n");
    ProcessLauncherExplorerLevel(file, parameters);
  } else {
    ShellExecuteW(nullptr, nullptr, file, parameters.c_str(), nullptr, SW_SHOWNORMAL);
  }
  CInstallMgr::Instance().AfterComplete();
  PostMessage(WM_CLOSE, 1, 0);
}

LRESULT CDlgInstall::OnClose(UINT, WPARAM, LPARAM, bool& handled) {
  // While the worker runs its hooks the window stays: ending the run under it would leave
  // the product half installed and the listen window without its message.
  handled = installing_;
  return 0;
}

LRESULT CDlgInstall::OnDestroy(UINT, WPARAM, LPARAM, bool& handled) {
  PostQuitMessage(0);
  handled = false;
  return 0;
}
