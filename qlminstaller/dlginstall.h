// The installer window: a welcome view (folder, options, install button), an install view
// (animated background, progress bar, percentage) and a completion view (the completion
// number, start button) on one tab layout of the skin "Layout/Layout.xml".
#pragma once
#include <windows.h>

#include "uiwindowimplbase.h"

class CButtonUI;
class CHorizontalLayoutUI;
class CLabelUI;
class COptionUI;
class CProgressUI;
class CRichEditUI;
class CTabLayoutUI;
class CVerticalLayoutUI;

// Timers of the install view's animation and of the progress bar.
constexpr UINT kTimerAnimation = 1989;
constexpr UINT kTimerProgress = 1990;

class CDlgInstall : public WindowImplBase {
 public:
  // The listen window (or null) receives 3014 when the installation is over.
  explicit CDlgInstall(HWND listenWindow = nullptr) : listenWindow_(listenWindow) {}
  ~CDlgInstall() override = default;

  static const NotifyMap* ClassNotifyMap();

 protected:
  const wchar_t* GetWindowClassName() const override { return L"CDlgInstall"; }
  std::wstring GetSkinFile() const override { return L"Layout/Layout.xml"; }
  const NotifyMap* GetNotifyMap() const override { return ClassNotifyMap(); }
  void InitWindow() override;
  void OnTimer(NotifyMsg& msg) override;
  LRESULT OnClose(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;
  LRESULT OnDestroy(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;
  LRESULT HandleCustomMessage(UINT message, WPARAM wParam, LPARAM lParam,
                              bool& handled) override;

 private:
  void FindControls();
  void ApplyMonitorDpi();
  void OnCloseRequest(NotifyMsg& msg);
  void OnLicenceLink(NotifyMsg& msg);
  void OnInstallCommand(NotifyMsg& msg);
  void OnSelectPath(NotifyMsg& msg);
  void OnStart(NotifyMsg& msg);
  void OnLicenceChanged(NotifyMsg& msg);
  void StartInstallation();
  void ProgressTick();
  void UpdateProgressLabel();
  void Complete();
  void ShowCompletionNumber();
  void LaunchProduct();

  HWND listenWindow_;
  int completionNumber_ = 0;
  bool installing_ = false;
  CTabLayoutUI* tabMain_ = nullptr;
  CVerticalLayoutUI* vertInitView_ = nullptr;
  CButtonUI* btnInstall_ = nullptr;
  CRichEditUI* editInstallPath_ = nullptr;
  COptionUI* checkDesktopLaunch_ = nullptr;
  COptionUI* checkAutoStartup_ = nullptr;
  COptionUI* checkLicence_ = nullptr;
  CVerticalLayoutUI* vertInstallView_ = nullptr;
  CProgressUI* progressInstall_ = nullptr;
  CLabelUI* labelInstallValue_ = nullptr;
  CVerticalLayoutUI* vertUpdateView_ = nullptr;
  CVerticalLayoutUI* vertInfoTipView_ = nullptr;
  CVerticalLayoutUI* vertCompleteView_ = nullptr;
  CHorizontalLayoutUI* horizNumber_ = nullptr;
  CButtonUI* btnStart_ = nullptr;
  CLabelUI* completeViewLabel_ = nullptr;
  CHorizontalLayoutUI* horizCaptionBtn_ = nullptr;
};
